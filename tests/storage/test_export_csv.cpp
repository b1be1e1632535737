// The tabular text export: number format, sections and their order, one row
// per element and family, and the example project written and read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/elements.h"
#include "storage/export_csv.h"
#include "storage/projektdatei.h"
#include "support/netzbau.h"

using namespace t21;
using t21::test::Flaeche;
using t21::test::Netzbau;
using t21::test::StandardKEM;
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

struct TAbschnitt {
  std::string Titel;
  std::vector<std::string> Zeilen;  // header and rows
};

// Splits the export at its opening lines (one blank, then the title).
std::vector<TAbschnitt> Abschnitte(const std::string& text) {
  std::vector<TAbschnitt> r;
  const auto zeilen = Teile(text, "\r\n");
  for (size_t i = 0; i < zeilen.size(); ++i) {
    if (zeilen[i] == " " && i + 1 < zeilen.size()) {
      r.push_back({zeilen[++i], {}});
      continue;
    }
    EXPECT_FALSE(r.empty()) << "Zeile vor dem ersten Abschnitt: " << zeilen[i];
    if (!r.empty()) r.back().Zeilen.push_back(zeilen[i]);
  }
  return r;
}

double Zahl(const std::string& s) {
  double v = NAN;
  const auto e = std::from_chars(s.data(), s.data() + s.size(), v);
  EXPECT_TRUE(e.ec == std::errc() && e.ptr == s.data() + s.size()) << "keine Zahl: \"" << s << "\"";
  return v;
}

// The row of section a whose first column is name.
std::vector<std::string> Zeile(const TAbschnitt& a, const std::string& name, int nr = 0) {
  for (size_t i = 1; i < a.Zeilen.size(); ++i) {
    auto f = Teile(a.Zeilen[i], "\t");
    if (f[0] == name && nr-- == 0) return f;
  }
  ADD_FAILURE() << "keine Zeile " << name << " in " << a.Titel;
  return {};
}

}  // namespace

TEST(CSVExport, NumbersInTheGeneralFormatWithDecimalPoint) {
  const std::pair<double, const char*> faelle[] = {
      {0, "0"},
      {-0.0, "0"},
      {0.5, "0.5"},
      {-2.25, "-2.25"},
      {128, "128"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {1.5e-7, "1.5E-7"},
      {123456789012345, "123456789012345"},
      {1e15, "1E15"},
      {2.5e20, "2.5E20"},
      {NAN, "NAN"},
      {INFINITY, "INF"},
      {-INFINITY, "-INF"},
  };
  for (const auto& [v, text] : faelle) EXPECT_EQ(CSVZahl(v), text) << v;
  EXPECT_EQ(CSVBool(true), "-1");
  EXPECT_EQ(CSVBool(false), "0");
  EXPECT_EQ(CSVDatum(36599), "14.03.2000");
}

TEST(CSVExport, SectionAndClassLabelByElementKind) {
  struct Fall {
    const char* typ;
    int abschnitt;
    const char* klasse;
  };
  const Fall faelle[] = {
      {"NET", 1, "Siedlungsgebiet"},
      {"KEM", 2, "MW-Netz"},
      {"KES", 2, "SW-Netz"},
      {"KER", 2, "RW-Netz"},
      {"RUB", 3, "Regenüberlaufbecken"},
      {"RU", 4, "Regenüberlauf"},
      {"RKB", 5, "Regenklärbecken"},
      {"KLG", 6, "Kläranlage"},
      {"OMA", 7, "ortspez. Maßnahme"},
      {"EST", 8, "Einleitungsstelle"},
      {"CON", 9, "Connector"},
      {"REG", 0, ""},
      {"AEK", 0, ""},
      {"AEO", 0, ""},
      {"VBE", 0, ""},
      {"VSC", 0, ""},
  };
  for (const Fall& f : faelle) {
    auto e = CreateHydElement(f.typ);
    ASSERT_TRUE(e) << f.typ;
    EXPECT_EQ(CSVAbschnitt(*e), f.abschnitt) << f.typ;
    EXPECT_EQ(CSVKlasse(*e), f.klasse) << f.typ;
    // A row has as many columns as its header, the name included.
    if (f.abschnitt > 0) {
      EXPECT_EQ(Teile(CSVHeader(*e), "\t").size(), Teile(CSVString(*e, TNET{}), "\t").size() + 1)
          << f.typ;
    }
  }
  EXPECT_EQ(Teile(CSVHeader(TSUM{}), "\t").size(), Teile(CSVString(TSUM{}), "\t").size() + 3);
  EXPECT_EQ(Teile(CSVHeader(TParameter{}), "\t").size(),
            Teile(CSVString(TParameter{}), "\t").size() + 2);
  EXPECT_EQ(CSVHeader(*CreateHydElement("REG")), "ELEMENT\tDatei");
  EXPECT_EQ(CSVHeader(*CreateHydElement("AEK")), "ELEMENT");
}

TEST(CSVExport, RootOnlyModel) {
  TM3Model m;
  const auto a = Abschnitte(CreateCSVFile(m));
  ASSERT_EQ(a.size(), 13u);
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].Titel, kCSVTitel[i]);
  const TElement& w = *TM3Model::ElementOf(m.Root());
  EXPECT_EQ(a[0].Zeilen, (std::vector<std::string>{CSVHeader(w.SUM), std::string(kWurzelName) +
                                                                         "\t-\tSiedlungsgebiet\t" +
                                                                         CSVString(w.SUM)}));
  ASSERT_EQ(a[1].Zeilen.size(), 2u);
  EXPECT_EQ(a[1].Zeilen[0],
            "ELEMENT\tNummer\tName\tVariante\tAuftraggeber\tDatum\tHNA\tPSIa\tZEBEV");
  EXPECT_EQ(Teile(a[1].Zeilen[1], "\t")[2], kWurzelName);
  for (int s : {2, 3, 4, 5, 6, 7, 8, 9, 12})
    EXPECT_TRUE(a[static_cast<size_t>(s)].Zeilen.empty()) << s;
  EXPECT_EQ(a[10].Zeilen.size(), 11u);
  ASSERT_EQ(a[11].Zeilen.size(), 19u);
  EXPECT_EQ(a[11].Zeilen[0], "Dauerstufe\tRegenspende");
  EXPECT_EQ(a[11].Zeilen[1], "5 min\t" + CSVZahl(m.Netz().Spenden.values[1]));
  EXPECT_EQ(a[11].Zeilen[18], "72 h\t" + CSVZahl(m.Netz().Spenden.values[18]));
}

TEST(CSVExport, KindsOfTheirOwnRowsFlagsAndRates) {
  Netzbau n;
  n.Neu("KER", "Gewerbegebiet");
  StandardKEM(n.El<TKER>("Gewerbegebiet"));
  n.El<TKER>("Gewerbegebiet").AEs.Liste = {Flaeche(4, 80, 3, 0.5), Flaeche(2, 50, 1)};
  n.Neu("EST", "Bach");
  auto& est = n.El<TEST>("Bach");
  est.SetData(4, 0.2, 12, 7.0, 2.1, 310, 305, 1500, 2, 1.2, 5, 30, 0.3, 0.4, 12, 4, 120, 2500, true,
              false, true, false, true, "2", "II", "3", 9, 1, true, false, 2, 3, 1, 0, 0.2, true,
              80, 500, false, n.Netz());
  n.Neu("REG", "Station");
  n.El<TREG>("Station").SetData("regen/station 1.REG");
  n.Neu("AEK", "Flächen");
  n.Parent("Gewerbegebiet", "Bach");
  n.Rechnen();
  const auto a = Abschnitte(CreateCSVFile(n.m));

  EXPECT_EQ(Zeile(a[0], "Gewerbegebiet")[2], "RW-Netz");
  EXPECT_EQ(Zeile(a[0], "Gewerbegebiet")[1], "Bach");
  EXPECT_EQ(Zeile(a[2], "Gewerbegebiet").size(), 43u);
  // Rain gauge and sub-area element: their own row just before their sums.
  const auto& e = a[0].Zeilen;
  const auto reg = std::find(e.begin(), e.end(), "Station\tregen/station 1.REG");
  ASSERT_NE(reg, e.end());
  EXPECT_EQ(Teile(*(reg + 1), "\t")[0], "Station");
  EXPECT_EQ(Teile(*(reg + 1), "\t").size(), 40u);
  EXPECT_NE(std::find(e.begin(), e.end(), "Flächen\t"), e.end());

  const auto bach = Zeile(a[8], "Bach");
  const auto kopf = Teile(a[8].Zeilen[0], "\t");
  auto spalte = [&](const char* name) {
    return bach[static_cast<size_t>(std::find(kopf.begin(), kopf.end(), name) - kopf.begin())];
  };
  EXPECT_EQ(spalte("Abflussdrosselung"), "-1");
  EXPECT_EQ(spalte("QUELLE"), "-1");
  EXPECT_EQ(spalte("QUELLLAUF"), "0");
  EXPECT_EQ(spalte("STAU"), "-1");
  EXPECT_EQ(spalte("SALMONIDEN"), "0");
  EXPECT_EQ(spalte("WBP: Zufluss O"), "True");
  EXPECT_EQ(spalte("WBP: Zufluss U"), "False");
  EXPECT_EQ(spalte("GUETE"), "II");
  EXPECT_EQ(spalte("Lage"), "1");
  EXPECT_EQ(spalte("LAGE"), "1");
  EXPECT_EQ(Zahl(spalte("cv BSB5")), est.CV.BSB);
  EXPECT_NEAR(Zahl(spalte("D0")), 0.2 * n.Netz().cO2sat, 1e-12);

  // Load rows: the rate of every entry.
  const char* raten[] = {"0", "0.5", "1", "2", "4", "8", "16", "32", "64", "128"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Zeile(a[10], "Bach", i)[1], raten[i]);
  // Sub-areas of the catchment, in list order.
  ASSERT_EQ(a[12].Zeilen.size(), 3u);
  EXPECT_EQ(a[12].Zeilen[0], "Element\tBezeichnung\tAE\tB\tfD\tAEb\tKategorie");
  EXPECT_EQ(Teile(a[12].Zeilen[1], "\t"),
            (std::vector<std::string>{"Gewerbegebiet", "", "4", "80", "0.5", "3.2", "3"}));
}

TEST(CSVExport, ExampleProjectWrittenAndReadBack) {
  TM3Model m;
  ASSERT_TRUE(A3_Laden(m, (kBeispiel / "Beispiel").string()).Ok);
  const fs::path datei =
      fs::temp_directory_path() / ("t21_csv_" + std::to_string(::getpid()) + ".CSV");
  std::string fehler;
  ASSERT_TRUE(SaveToCSV(m, datei.string(), fehler)) << fehler;
  std::ifstream ein(datei, std::ios::binary);
  std::stringstream s;
  s << ein.rdbuf();
  fs::remove(datei);
  std::string text = s.str();
  ASSERT_GE(text.size(), 2u);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  text.resize(text.size() - 2);
  const auto a = Abschnitte(text);
  ASSERT_EQ(a.size(), 13u);
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].Titel, kCSVTitel[i]);

  // Every element in the sums and the loads; each in its family's section.
  std::vector<const TElement*> elemente;
  for (int i = 0; i < m.Count(); ++i)
    if (const TElement* e = TM3Model::ElementOf(m.GetNode(i))) elemente.push_back(e);
  std::vector<size_t> zahl(13, 0);
  size_t teilflaechen = 0, eigeneZeilen = 0;
  for (const TElement* e : elemente) {
    ++zahl[static_cast<size_t>(CSVAbschnitt(*e))];
    if (CSVAbschnitt(*e) == 0) ++eigeneZeilen;
    if (auto* k = dynamic_cast<const TKEZ*>(e)) teilflaechen += k->AEs.Liste.size();
  }
  EXPECT_EQ(a[0].Zeilen.size(), 1 + elemente.size() + eigeneZeilen);
  EXPECT_EQ(a[0].Zeilen[0], CSVHeader(TSUM{}));
  for (size_t s = 1; s <= 9; ++s)
    EXPECT_EQ(a[s].Zeilen.size(), zahl[s] ? zahl[s] + 1 : 0) << a[s].Titel;
  EXPECT_EQ(zahl[2], 3u);
  EXPECT_EQ(a[10].Zeilen.size(), 1 + 10 * elemente.size());
  EXPECT_EQ(a[11].Zeilen.size(), 19u);
  EXPECT_EQ(a[12].Zeilen.size(), teilflaechen ? teilflaechen + 1 : 0);

  // The numbers read back are the model's (15 significant digits).
  auto gleich = [](double gelesen, double wert) {
    EXPECT_NEAR(gelesen, wert, 1e-14 * std::max(1.0, std::fabs(wert)));
  };
  for (const TElement* e : elemente) {
    const auto sum = Zeile(a[0], e->Name(), CSVAbschnitt(*e) == 0 ? 1 : 0);
    ASSERT_EQ(sum.size(), 40u);
    gleich(Zahl(sum[3]), e->SUM.E);
    gleich(Zahl(sum[8]), e->SUM.QT());
    gleich(Zahl(sum[14]), e->SUM.QR);
    for (int i = 0; i < kAnzahlQr; ++i) {
      const auto f = Zeile(a[10], e->Name(), i);
      ASSERT_EQ(f.size(), 13u);
      gleich(Zahl(f[1]), kQr[static_cast<size_t>(i)]);
      gleich(Zahl(f[2]), e->AB[i].Q);
      gleich(Zahl(f[3]), e->AB[i].BSB);
      gleich(Zahl(f[6]), e->AB[i].cPH());
      gleich(Zahl(f[12]), e->AB[i].cCSB());
    }
  }
  const auto& rub = dynamic_cast<const TRUB&>(*TM3Model::ElementOf(m.GetNode("RÜB Mitte")));
  const auto rubZeile = Zeile(a[3], "RÜB Mitte");
  gleich(Zahl(rubZeile[1]), rub.QD);
  gleich(Zahl(rubZeile[23]), rub.Verf);
  EXPECT_EQ(rubZeile[10], "0");  // ac
  for (size_t d = 1; d <= 18; ++d)
    gleich(Zahl(Teile(a[11].Zeilen[d], "\t")[1]), m.Netz().Spenden.values[d]);
  // No decimal commas in the loads.
  for (size_t z = 1; z < a[10].Zeilen.size(); ++z)
    EXPECT_EQ(a[10].Zeilen[z].find(','), std::string::npos) << a[10].Zeilen[z];
}
