// The tabular text in the user's number and date settings: the settings from
// the environment, numbers and dates in them, the example project as a
// spreadsheet with German settings reads it, and a table as text.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>

#include "model/elements.h"
#include "storage/export_csv.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";

std::vector<std::string> Teile(const std::string& s, const std::string& trenner) {
  std::vector<std::string> r;
  size_t a = 0;
  for (size_t e; (e = s.find(trenner, a)) != std::string::npos; a = e + trenner.size())
    r.push_back(s.substr(a, e - a));
  r.push_back(s.substr(a));
  return r;
}

// A cell as a spreadsheet with German settings reads it: "," decimal
// separator, "." groups thousands ("3.125" is 3125), exponent E. Nothing for
// a cell that is no number.
std::optional<double> DeutscheZahl(const std::string& c) {
  std::string s;
  size_t i = 0;
  if (i < c.size() && c[i] == '-') s += c[i++];
  size_t ziffern = 0;
  for (; i < c.size() && (std::isdigit(static_cast<unsigned char>(c[i])) || c[i] == '.'); ++i)
    if (c[i] != '.') s += c[i], ++ziffern;
  if (i < c.size() && c[i] == ',') {
    s += '.';
    for (++i; i < c.size() && std::isdigit(static_cast<unsigned char>(c[i])); ++i) s += c[i];
  }
  if (ziffern == 0) return std::nullopt;
  if (i < c.size() && (c[i] == 'E' || c[i] == 'e')) s += c.substr(i), i = c.size();
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (i != c.size() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<double> PunktZahl(const std::string& c) {
  double v = 0;
  const auto r = std::from_chars(c.data(), c.data() + c.size(), v);
  if (c.empty() || r.ec != std::errc() || r.ptr != c.data() + c.size()) return std::nullopt;
  return v;
}

}  // namespace

TEST(CSVZahlenformat, NumbersAndDatesInTheSettings) {
  const TZahlenformat de = TZahlenformat::Deutsch();
  const std::pair<double, const char*> zahlen[] = {
      {0, "0"},           {0.5, "0,5"},     {-2.25, "-2,25"},       {128, "128"},
      {3.125, "3,125"},   {0.464, "0,464"}, {1173.625, "1173,625"}, {1.0 / 3, "0,333333333333333"},
      {1.5e-7, "1,5E-7"}, {1e15, "1E15"},   {NAN, "NAN"},           {-INFINITY, "-INF"},
  };
  for (const auto& [v, text] : zahlen) {
    EXPECT_EQ(CSVZahl(v, de), text) << v;
    std::string punkt = text;
    if (const auto p = punkt.find(','); p != std::string::npos) punkt[p] = '.';
    EXPECT_EQ(CSVZahl(v, TZahlenformat::Dezimalpunkt()), punkt) << v;
    EXPECT_EQ(CSVZahl(v), punkt) << v;
  }
  const std::pair<const char*, const char*> daten[] = {
      {"dd.MM.yyyy", "04.03.2000"}, {"M/d/yyyy", "3/4/2000"},     {"dd/MM/yy", "04/03/00"},
      {"yyyy-MM-dd", "2000-03-04"}, {"d. M. yyyy", "4. 3. 2000"},
  };
  TDateTime t = 0;
  ASSERT_TRUE(EncodeDate(2000, 3, 4, t));
  for (const auto& [muster, text] : daten) EXPECT_EQ(CSVDatum(t, {",", muster}), text) << muster;
  EXPECT_EQ(CSVDatum(t, de), "04.03.2000");
  EXPECT_EQ(CSVDatum(t), "04.03.2000");
}

TEST(CSVZahlenformat, SettingsFromTheEnvironment) {
  struct Fall {
    const char *all, *numeric, *time, *lang;
  };
  // No locale, C, POSIX and a locale that is not installed: German.
  const Fall deutsch[] = {
      {nullptr, nullptr, nullptr, nullptr},   {"", "", "", ""},
      {"C", nullptr, nullptr, "de_DE.UTF-8"}, {nullptr, "POSIX", "C", nullptr},
      {nullptr, nullptr, nullptr, "C.UTF-8"}, {nullptr, nullptr, nullptr, "xx_YY.UTF-8"},
  };
  for (const Fall& f : deutsch) {
    const TZahlenformat z = ZahlenformatAus(f.all, f.numeric, f.time, f.lang);
    EXPECT_EQ(z.Dezimal, ",");
    EXPECT_EQ(z.Datum, "dd.MM.yyyy");
  }
}

TEST(CSVZahlenformat, ExampleAsAGermanSpreadsheetReadsIt) {
  TM3Model m;
  ASSERT_TRUE(A3_Laden(m, (kBeispiel / "Beispiel").string()).Ok);
  const auto de = Teile(CreateCSVFile(m, TZahlenformat::Deutsch()), "\r\n");
  const auto punkt = Teile(CreateCSVFile(m), "\r\n");
  ASSERT_EQ(de.size(), punkt.size());
  // Cell by cell: every number of the text with decimal point is a number
  // under German rules with the same value (none grouped into thousands);
  // the other cells are the same text.
  size_t zahlen = 0, bruch = 0;
  for (size_t z = 0; z < de.size(); ++z) {
    const auto d = Teile(de[z], "\t"), p = Teile(punkt[z], "\t");
    ASSERT_EQ(d.size(), p.size()) << z;
    for (size_t s = 0; s < d.size(); ++s) {
      const auto wert = PunktZahl(p[s]);
      if (!wert || p[s] == "NAN" || p[s].find("INF") != std::string::npos) {
        EXPECT_EQ(d[s], p[s]) << z << ":" << s;
        continue;
      }
      ++zahlen;
      if (p[s].find('.') != std::string::npos) ++bruch;
      EXPECT_EQ(d[s].find('.'), std::string::npos) << d[s];
      const auto gelesen = DeutscheZahl(d[s]);
      ASSERT_TRUE(gelesen) << z << ":" << s << " \"" << d[s] << "\"";
      EXPECT_EQ(*gelesen, *wert) << d[s];
    }
  }
  EXPECT_GT(zahlen, 1000u);
  EXPECT_GT(bruch, 500u);

  // And against the project's values: the sums and loads of every element.
  std::map<std::string, const TElement*> elemente;
  for (int i = 0; i < m.Count(); ++i)
    if (const TElement* e = TM3Model::ElementOf(m.GetNode(i))) elemente[e->Name()] = e;
  auto gleich = [](std::optional<double> gelesen, double wert) {
    ASSERT_TRUE(gelesen);
    EXPECT_NEAR(*gelesen, wert, 1e-14 * std::max(1.0, std::fabs(wert)));
  };
  std::string abschnitt;
  std::map<std::string, int> lastzeile;
  size_t verglichen = 0;
  for (size_t z = 0; z + 1 < de.size(); ++z) {
    if (de[z] == " ") {
      abschnitt = de[++z];
      continue;
    }
    const auto f = Teile(de[z], "\t");
    const auto e = elemente.find(f[0]);
    if (e == elemente.end()) continue;
    if (abschnitt == "Elemente" && f.size() == 40) {
      gleich(DeutscheZahl(f[3]), e->second->SUM.E);
      gleich(DeutscheZahl(f[12]), e->second->SUM.QT24());
      ++verglichen;
    } else if (abschnitt == "Frachten und Konzentrationen") {
      const int i = lastzeile[f[0]]++;
      gleich(DeutscheZahl(f[1]), kQr[static_cast<size_t>(i)]);
      gleich(DeutscheZahl(f[2]), e->second->AB[i].Q);
      gleich(DeutscheZahl(f[9]), e->second->AB[i].cBSB());
      ++verglichen;
    }
  }
  EXPECT_EQ(verglichen, 11 * elemente.size());
}

TEST(CSVZahlenformat, TableAsText) {
  auto schema = std::make_shared<TSchema>();
  for (const auto& [name, typ] : {std::pair{"Zeit", TFeldTyp::Date},
                                  {"Q", TFeldTyp::Float},
                                  {"N", TFeldTyp::Integer},
                                  {"Ok", TFeldTyp::Boolean},
                                  {"Text", TFeldTyp::String}}) {
    TFeld f;
    f.Name = name;
    f.Typ = typ;
    schema->Felder.push_back(f);
  }
  schema->Felder[1].Label = "Q [l/s]";
  TTabelle t(schema);
  TDateTime tag = 0;
  ASSERT_TRUE(EncodeDate(2001, 5, 1, tag));
  const int a = t.Anhaengen();
  t.Setze(a, "Zeit", tag);
  t.Setze(a, "Q", 1173.625);
  t.Setze(a, "N", 12);
  t.Setze(a, "Ok", true);
  t.Setze(a, "Text", std::string("x.y"));
  const int b = t.Anhaengen();
  t.Setze(b, "Q", 0.5);
  t.Setze(b, "Text", std::string("z"));
  EXPECT_EQ(TabellenText(t, TZahlenformat::Deutsch()),
            "Zeit\tQ [l/s]\tN\tOk\tText\r\n01.05.2001\t1173,625\t12\tTrue\tx.y\r\n0,5\tz");
  EXPECT_EQ(TabellenText(t, {".", "M/d/yyyy"}),
            "Zeit\tQ [l/s]\tN\tOk\tText\r\n5/1/2001\t1173.625\t12\tTrue\tx.y\r\n0.5\tz");
}
