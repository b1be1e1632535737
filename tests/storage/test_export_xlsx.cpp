// Excel workbooks: the file is read back as a spreadsheet reader does (zip
// container, workbook, shared strings, styles, sheets) and holds the project
// tables with the same numbers as the tabular text.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>  // the Excel writer's own dependency

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <sstream>

#include "storage/export_csv.h"
#include "storage/export_xlsx.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";

// ---- a small reader of zip containers (stored or deflated entries)

uint32_t Le(const std::string& s, size_t p, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(s[p + static_cast<size_t>(i)]);
  return v;
}

std::map<std::string, std::string> Entpacken(const std::string& zip) {
  std::map<std::string, std::string> r;
  const size_t ende = zip.rfind(std::string("PK\x05\x06", 4));
  if (ende == std::string::npos) return r;
  const uint32_t anzahl = Le(zip, ende + 10, 2);
  size_t p = Le(zip, ende + 16, 4);
  for (uint32_t i = 0; i < anzahl; ++i) {
    if (zip.compare(p, 4, "PK\x01\x02", 4) != 0) break;
    const uint32_t methode = Le(zip, p + 10, 2), gepackt = Le(zip, p + 20, 4),
                   groesse = Le(zip, p + 24, 4), nlen = Le(zip, p + 28, 2),
                   elen = Le(zip, p + 30, 2), klen = Le(zip, p + 32, 2), lokal = Le(zip, p + 42, 4);
    const std::string name = zip.substr(p + 46, nlen);
    p += 46 + nlen + elen + klen;
    const size_t daten = lokal + 30 + Le(zip, lokal + 26, 2) + Le(zip, lokal + 28, 2);
    std::string inhalt(groesse, '\0');
    if (methode == 0) {
      inhalt = zip.substr(daten, gepackt);
    } else if (methode == 8) {
      z_stream z{};
      inflateInit2(&z, -MAX_WBITS);
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + daten));
      z.avail_in = gepackt;
      z.next_out = reinterpret_cast<Bytef*>(inhalt.data());
      z.avail_out = groesse;
      const int e = inflate(&z, Z_FINISH);
      inflateEnd(&z);
      if (e != Z_STREAM_END) continue;
    } else {
      continue;
    }
    r[name] = inhalt;
  }
  return r;
}

// ---- the workbook as a reader sees it

struct TZelle {
  bool Zahl = false;
  double Wert = 0;
  std::string Text;
  int Stil = 0;
};

struct TBlatt {
  std::string Name;
  std::map<std::pair<int, int>, TZelle> Zellen;  // (row, column) from 1
  int Zeilen = 0;                                // the last row with a value
  const TZelle* Z(int r, int c) const {
    const auto it = Zellen.find({r, c});
    return it == Zellen.end() ? nullptr : &it->second;
  }
  int Spalte(const std::string& kopf) const {
    for (const auto& [rc, z] : Zellen)
      if (rc.first == 1 && z.Text == kopf) return rc.second;
    ADD_FAILURE() << Name << ": keine Spalte " << kopf;
    return 0;
  }
};

struct TMappeGelesen {
  std::vector<TBlatt> Blaetter;
  // Per cell style: number format, bold, fill colour.
  struct TStil {
    int Format = 0;
    bool Fett = false;
    std::string Fuellung;
  };
  std::vector<TStil> Stile;
  const TBlatt& Blatt(const std::string& n) const {
    for (const auto& b : Blaetter)
      if (b.Name == n) return b;
    throw std::runtime_error("kein Blatt " + n);
  }
};

std::pair<int, int> Adresse(const std::string& r) {
  int c = 0;
  size_t i = 0;
  for (; i < r.size() && r[i] >= 'A' && r[i] <= 'Z'; ++i) c = c * 26 + (r[i] - 'A' + 1);
  return {std::stoi(r.substr(i)), c};
}

TMappeGelesen LiesMappe(const fs::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::stringstream s;
  s << ein.rdbuf();
  auto teile = Entpacken(s.str());
  TMappeGelesen m;
  auto xml = [&](const std::string& name, pugi::xml_document& d) {
    EXPECT_TRUE(teile.count(name)) << name;
    EXPECT_TRUE(d.load_string(teile[name].c_str())) << name;
  };
  pugi::xml_document wb, rels, ss, st;
  xml("xl/workbook.xml", wb);
  xml("xl/_rels/workbook.xml.rels", rels);
  xml("xl/sharedStrings.xml", ss);
  xml("xl/styles.xml", st);
  std::vector<std::string> texte;
  for (auto si : ss.child("sst").children("si")) {
    std::string t;
    for (auto n : si.select_nodes(".//t")) t += n.node().text().get();
    texte.push_back(t);
  }
  std::vector<pugi::xml_node> fonts, fills;
  for (auto f : st.child("styleSheet").child("fonts").children("font")) fonts.push_back(f);
  for (auto f : st.child("styleSheet").child("fills").children("fill")) fills.push_back(f);
  for (auto xf : st.child("styleSheet").child("cellXfs").children("xf")) {
    TMappeGelesen::TStil stil;
    stil.Format = xf.attribute("numFmtId").as_int();
    stil.Fett = fonts.at(xf.attribute("fontId").as_uint()).child("b");
    stil.Fuellung = fills.at(xf.attribute("fillId").as_uint())
                        .child("patternFill")
                        .child("fgColor")
                        .attribute("rgb")
                        .value();
    m.Stile.push_back(stil);
  }
  for (auto sh : wb.child("workbook").child("sheets").children("sheet")) {
    TBlatt b;
    b.Name = sh.attribute("name").value();
    const std::string id = sh.attribute("r:id").value();
    std::string ziel;
    for (auto r : rels.child("Relationships").children("Relationship"))
      if (id == r.attribute("Id").value()) ziel = r.attribute("Target").value();
    pugi::xml_document ws;
    xml("xl/" + ziel, ws);
    for (auto row : ws.child("worksheet").child("sheetData").children("row")) {
      for (auto c : row.children("c")) {
        TZelle z;
        z.Stil = c.attribute("s").as_int();
        const std::string t = c.attribute("t").value();
        if (t == "s") {
          z.Text = texte.at(c.child("v").text().as_uint());
        } else if (c.child("v")) {
          z.Zahl = true;
          z.Wert = c.child("v").text().as_double();
        }
        const auto rc = Adresse(c.attribute("r").value());
        if (c.child("v")) b.Zeilen = std::max(b.Zeilen, rc.first);  // rows with content
        b.Zellen[rc] = z;
      }
    }
    m.Blaetter.push_back(std::move(b));
  }
  return m;
}

// ---- the tabular text, by section and column

struct TCsv {
  std::map<std::string, std::vector<std::vector<std::string>>> Abschnitt;  // title: header, rows
  // The value of column kopf in the row of element name of section titel.
  double Wert(const std::string& titel, const std::string& name, const std::string& kopf) const {
    const auto& a = Abschnitt.at(titel);
    const auto& h = a.at(0);
    const size_t s = static_cast<size_t>(std::find(h.begin(), h.end(), kopf) - h.begin());
    for (size_t r = 1; r < a.size(); ++r)
      if (a[r][0] == name) return std::stod(a[r].at(s));
    ADD_FAILURE() << titel << ": " << name;
    return NAN;
  }
};

TCsv LiesCsv(const std::string& text) {
  TCsv c;
  std::vector<std::string> zeilen;
  for (size_t a = 0, e; a <= text.size(); a = e + 2) {
    e = text.find("\r\n", a);
    if (e == std::string::npos) e = text.size();
    zeilen.push_back(text.substr(a, e - a));
  }
  std::string titel;
  for (size_t i = 0; i < zeilen.size(); ++i) {
    if (zeilen[i] == " ") {
      titel = zeilen[++i];
      continue;
    }
    std::vector<std::string> f;
    std::stringstream s(zeilen[i]);
    for (std::string x; std::getline(s, x, '\t');) f.push_back(x);
    c.Abschnitt[titel].push_back(f);
  }
  return c;
}

class Mappe : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_xlsx_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

}  // namespace

TEST(Excel, CellNames) {
  const std::tuple<int, int, const char*> faelle[] = {
      {1, 1, "A1"},   {3, 26, "Z3"},     {2, 27, "AA2"}, {1, 52, "AZ1"},
      {1, 53, "BA1"}, {10, 702, "ZZ10"}, {1, 0, ""}};
  for (const auto& [r, c, name] : faelle) EXPECT_EQ(ExcelCellName(r, c), name) << r << "," << c;
}

TEST(Excel, TableAsTextShiftsValuesAfterANull) {
  auto s = std::make_shared<TSchema>();
  for (const char* n : {"A", "B", "C"}) {
    TFeld f;
    f.Name = n;
    f.Typ = TFeldTyp::Float;
    s->Felder.push_back(f);
  }
  s->Felder[1].Label = "Bezeichnung B";
  TTabelle t(s);
  EXPECT_EQ(TabellenText(t, TZahlenformat::Dezimalpunkt()), "A\tBezeichnung B\tC");
  const double werte[2][3] = {{1, 2.5, 3}, {4, NAN, 6}};
  for (const auto& w : werte) {
    const int z = t.Anhaengen();
    for (int i = 0; i < 3; ++i)
      if (!std::isnan(w[i])) t.Setze(z, i, w[i]);
  }
  EXPECT_EQ(TabellenText(t, TZahlenformat::Dezimalpunkt()), "A\tBezeichnung B\tC\r\n1\t2.5\t3\r\n4\t6");
}

TEST_F(Mappe, OneTableAsWorkbook) {
  auto s = std::make_shared<TSchema>();
  const std::tuple<const char*, TFeldTyp, const char*> spalten[] = {
      {"NAME", TFeldTyp::String, "Bezeichnung"},
      {"WERT", TFeldTyp::Float, ""},
      {"N", TFeldTyp::Integer, ""},
      {"AKTIV", TFeldTyp::Boolean, ""},
      {"TAG", TFeldTyp::Date, ""}};
  for (const auto& [n, typ, label] : spalten) {
    TFeld f;
    f.Name = n;
    f.Typ = typ;
    f.Label = label;
    s->Felder.push_back(f);
  }
  TTabelle t(s);
  int z = t.Anhaengen();
  t.Setze(z, "NAME", std::string("Mühlbach"));
  t.Setze(z, "WERT", 12.5);
  t.Setze(z, "N", 3);
  t.Setze(z, "AKTIV", true);
  t.Setze(z, "TAG", 36599.0);
  z = t.Anhaengen();
  t.Setze(z, "WERT", INFINITY);
  std::string fehler;
  ASSERT_TRUE(SaveDataSetToEXCEL(t, (dir / "eins.xlsx").string(), "Werte", fehler)) << fehler;
  const auto m = LiesMappe(dir / "eins.xlsx");
  ASSERT_EQ(m.Blaetter.size(), 1u);
  const TBlatt& b = m.Blaetter[0];
  EXPECT_EQ(b.Name, "Werte");
  EXPECT_EQ(b.Z(1, 1)->Text, "Bezeichnung");
  EXPECT_EQ(b.Z(1, 5)->Text, "TAG");
  EXPECT_EQ(b.Z(2, 1)->Text, "Mühlbach");
  EXPECT_TRUE(b.Z(2, 2)->Zahl);
  EXPECT_EQ(b.Z(2, 2)->Wert, 12.5);
  EXPECT_TRUE(b.Z(2, 3)->Zahl);
  EXPECT_EQ(b.Z(2, 4)->Text, "True");
  EXPECT_EQ(b.Z(2, 5)->Text, "14.03.2000");
  ASSERT_TRUE(b.Z(3, 1));  // a null is an empty cell of the range
  EXPECT_FALSE(b.Z(3, 1)->Zahl);
  EXPECT_EQ(b.Z(3, 1)->Text, "");
  EXPECT_EQ(b.Z(3, 2)->Text, "INF");

  EXPECT_FALSE(SaveDataSetToEXCEL(t, (dir / "zwei.xlsx").string(), "a/b", fehler));
  EXPECT_NE(fehler.find("a/b"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "zwei.xlsx"));
}

TEST_F(Mappe, ExampleProjectHoldsTheTablesWithTheNumbersOfTheText) {
  TM3Model m;
  ASSERT_TRUE(A3_Laden(m, (kBeispiel / "Beispiel").string()).Ok);
  TDataModule1 dm;
  std::string fehler;
  ASSERT_TRUE(SaveModelToEXCEL(dm, m, (dir / "Beispiel.xlsx").string(), fehler)) << fehler;
  for (const auto& [name, t] : dm.Tabellen) EXPECT_EQ(t->Anzahl(), 0) << name;

  const auto mappe = LiesMappe(dir / "Beispiel.xlsx");
  ASSERT_EQ(mappe.Blaetter.size(), dm.Dateien.size());
  for (size_t i = 0; i < dm.Dateien.size(); ++i) {
    const TBlatt& b = mappe.Blaetter[i];
    const TTabelle& t = *dm.Dateien[i].second;
    EXPECT_EQ(b.Name, t.Schema().Name);
    // The header: display labels, bold on yellow, text format; every cell
    // of the range carries the text format.
    for (int c = 1; c <= t.Spalten(); ++c) {
      const TFeld& f = t.Schema().Felder[static_cast<size_t>(c - 1)];
      ASSERT_TRUE(b.Z(1, c)) << b.Name << c;
      EXPECT_EQ(b.Z(1, c)->Text, f.Name == "PSIm" ? "fD" : Anzeigename(f));
      const auto& stil = mappe.Stile.at(static_cast<size_t>(b.Z(1, c)->Stil));
      EXPECT_TRUE(stil.Fett);
      EXPECT_EQ(stil.Fuellung, "FFFFFF00");
      EXPECT_EQ(stil.Format, 49);
    }
    for (const auto& [rc, z] : b.Zellen) {
      EXPECT_EQ(mappe.Stile.at(static_cast<size_t>(z.Stil)).Format, 49) << b.Name;
      if (rc.first > 1) {
        EXPECT_FALSE(mappe.Stile.at(static_cast<size_t>(z.Stil)).Fett);
      }
    }
  }
  const TBlatt& hyd = mappe.Blatt("CDSHyd");
  std::vector<std::string> namen;
  for (int i = 0; i < m.Count(); ++i)
    if (TM3Model::ElementOf(m.GetNode(i))) namen.push_back(m.GetNode(i)->Name);
  ASSERT_EQ(hyd.Zeilen, static_cast<int>(namen.size()) + 1);
  for (size_t r = 0; r < namen.size(); ++r) {
    EXPECT_EQ(hyd.Z(static_cast<int>(r) + 2, hyd.Spalte("NAME"))->Text, namen[r]);
    EXPECT_TRUE(hyd.Z(static_cast<int>(r) + 2, hyd.Spalte("ID"))->Zahl);
  }
  EXPECT_EQ(hyd.Z(2, hyd.Spalte("FolgeElement"))->Text, "");
  EXPECT_EQ(mappe.Blatt("CDSKEZ").Zeilen, 4);  // header and three catchments

  // The same numbers as the tabular text, row by row through the element ID.
  const TCsv csv = LiesCsv(CreateCSVFile(m));
  auto name = [&](const TBlatt& b, int r) {
    const double id = b.Z(r, b.Spalte("ID"))->Wert;
    for (int h = 2; h <= hyd.Zeilen; ++h)
      if (hyd.Z(h, hyd.Spalte("ID"))->Wert == id) return hyd.Z(h, hyd.Spalte("NAME"))->Text;
    return std::string();
  };
  struct Vergleich {
    const char* blatt;
    const char* abschnitt;
    std::vector<std::pair<const char*, const char*>> spalten;  // sheet label, text column
  };
  const Vergleich vergleiche[] = {
      {"CDSNet",
       "geschlossenes Siedlungsgebiet",
       {{"JahresNiederschlagsHöhe", "HNA"}, {"JahresAbflussbeiwert", "PSIa"}}},
      {"CDSKEZ",
       "Netze",
       {{"Aek", "AE"},
        {"EinwohnerDichte", "ED"},
        {"Wasserverbrauch", "WS"},
        {"GewerblicheAbflussSpende", "QG"},
        {"ArbeitsstundenProTag", "AG"},
        {"ArbeitsTageProJahr", "BG"},
        {"FremdwasserSpende", "QF"},
        {"ProzentsatzQRT24", "PQRT24"},
        {"TagesmittelX", "X"},
        {"MittlereGeländeneigungsGruppe", "NGM"},
        {"EinleitungsAbfluss", "QR1"},
        {"TF", "TF"},
        {"K", "k"},
        {"MV", "MV"},
        {"BV", "BV"},
        {"PSIa", "PSIa"},
        {"SWGL", "SW-GANGL."},
        {"CH.BSB", "CH BSB5"},
        {"CH.NH4", "CH NH4-N"},
        {"CH.PH-Wert", "CH pH"},
        {"CG.Alkalinität", "CG ALK"},
        {"CGCSB", "CG CSB"}}},
      {"CDSEbw",
       "Regenüberlaufbecken",
       {{"Drosselabfluss", "QD"}, {"Volumen", "VOLUMEN"}, {"MaxQKUE", "maxQKÜ"}}},
      {"CDSEst",
       "Einleitungen",
       {{"SohleOben", "Sohle oben"},
        {"SohleUnten", "Sohle unten"},
        {"Länge", "Länge"},
        {"SohlBreite", "Sohlbreite"},
        {"kst", "Stricklerwert"},
        {"Aeo", "AEo"},
        {"SpendeMNQ", "MNq"},
        {"SpendeHQ1", "Hq1"},
        {"x", "x"}}},
      {"CDSCON", "Connectoren", {{"TF", "TF"}}},
  };
  int verglichen = 0;
  for (const Vergleich& v : vergleiche) {
    const TBlatt& b = mappe.Blatt(v.blatt);
    ASSERT_GT(b.Zeilen, 1) << v.blatt;
    for (int r = 2; r <= b.Zeilen; ++r) {
      const std::string element = name(b, r);
      ASSERT_FALSE(element.empty()) << v.blatt << " Zeile " << r;
      for (const auto& [label, kopf] : v.spalten) {
        const TZelle* z = b.Z(r, b.Spalte(label));
        ASSERT_TRUE(z && z->Zahl) << v.blatt << " " << label;
        const double t = csv.Wert(v.abschnitt, element, kopf);
        EXPECT_NEAR(z->Wert, t, 1e-13 * std::max(1.0, std::fabs(t))) << element << " " << label;
        ++verglichen;
      }
    }
  }
  EXPECT_GE(verglichen, 80);
}
