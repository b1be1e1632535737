// The project file: a round trip keeps the model; damaged files are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "model/elements.h"
#include "storage/datenpaket.h"
#include "storage/export_csv.h"
#include "storage/projektdatei.h"
#include "storage/projekttabellen.h"
#include "support/netzbau.h"

using namespace t21;
using t21::test::Flaeche;
using t21::test::Netzbau;
using t21::test::StandardKEM;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";

std::string Datei(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// Every file below a folder with its content: equal before and after a step
// when the step wrote no file.
std::map<std::string, std::string> Ordnerinhalt(const fs::path& ordner) {
  std::map<std::string, std::string> r;
  for (const auto& e : fs::recursive_directory_iterator(ordner))
    if (e.is_regular_file()) r[fs::relative(e.path(), ordner).string()] = Datei(e.path());
  return r;
}

// Replaces the first occurrence of each text.
void Ersetze(std::string& text, std::initializer_list<std::pair<std::string, std::string>> l) {
  for (const auto& [von, nach] : l) {
    const auto p = text.find(von);
    ASSERT_NE(p, std::string::npos) << von;
    text.replace(p, von.size(), nach);
  }
}

class Projektdatei : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_proj_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string Basis(const char* name) { return (dir / name).string(); }
  static std::string Lies(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
};

// A model with every kind the file has a place for.
void BaueModell(Netzbau& n) {
  TNET& net = n.Netz();
  net.SetData(750, 0.7, "42", "Prüfprojekt \"Süd\" & <Nord>", "", "", 44000, 0, false, 0.667, 0.05,
              2.74, 20, 5, 7.4, 2.8, 10, 2, 10, 17,
              StandardReferenzListen().Kostra.Find("Muster A138 (n=0,2)"), 350);
  net.ctAFS63 = 140;
  n.m.Referenz.SWGanglinien.AddGL("eigene", std::array<double, 24>{2, 0});
  n.Neu("KEM", "Altstadt");
  auto& k = n.El<TKEM>("Altstadt");
  StandardKEM(k);
  k.AEs.Liste = {Flaeche(20, 50, 2), Flaeche(10, 30, 1, 0.7)};
  k.AEs.Liste[0].Bezeichnung = "Dächer";
  k.SWGL = 6;
  k.Memo = {"erste Zeile", std::string(600, 'm')};
  n.Neu("RUB", "RÜB 1");
  auto& b = n.El<TRUB>("RÜB 1");
  b.SetData(25, 999999, 800, true, 3, 12, 14, 15, 0.01);
  b.Script = {"QD := 30;", "IF VOLUMEN > 100 THEN QD := 40;"};
  b.ScriptActive = true;
  n.Neu("RU", "RÜ 2");
  n.Neu("CON", "C");
  n.El<TCON>("C").TF = 7.5;
  n.Neu("REG", "Regen");
  n.El<TREG>("Regen").FileName = "regen/station 1.REG";
  n.Neu("EST", "Bach");
  auto& est = n.El<TEST>("Bach");
  est.SetData(4, 0.2, 12, 7.0, 2.1, 310, 305, 1500, 2, 1.2, 5, 30, 0.3, 0.4, 12, 4, 120, 2500,
              false, true, false, false, true, "2", "II", "3", 9, 1, true, false, 2, 3, 1, 0, 0.2,
              true, 80, 500, true, n.Netz());
  n.Neu("OMA", "Filter");
  n.El<TOMA>("Filter").SetData(15, 80, 60, 90, 7.1, 2.2, 80, 0.2, "Retentionsbodenfilter", 300,
                               999999, false, 60, 30, 10);
  n.Neu("KLG", "Kläranlage");
  n.El<TKLG>("Kläranlage").SetData(5, 3, 7.3, 2.7, 70, n.Netz());
  n.Neu("AEO", "Wald");
  n.El<TAEO>("Wald").SetData(2.5, 0.8);
  n.Neu("VBE", "Becken");
  n.El<TVBE>("Becken").SetData("Reinhold (n=0,2)", 1.15, 0.8, 20, 10, 2, 1.5, 1e-5, 2e-5, true);
  n.El<TVBE>("Becken").AEs.Liste = {Flaeche(2, 80, 1)};
  n.Neu("AEK", "Flächen");
  n.El<TAEK>("Flächen").AEs.Liste = {Flaeche(3, 40, 3, 0.5)};
  n.Parent("Altstadt", "C").Parent("C", "RÜB 1").Parent("RÜB 1", "Bach");
  n.KUE("RÜB 1", "Bach").GEW("RÜB 1", "Bach").KUE("Altstadt", "Regen").GEW("Altstadt", "Bach");
  n.Parent("RÜ 2", "Bach");
  TCadShape* pol = n.m.CreateNewShape("POL", "Linie", 10, 20);
  pol->Koordinaten = {{12.5, 3}, {0, 1}};
  TCadShape* tex = n.m.CreateNewShape("TEX", "Text", 5, 5);
  tex->Val = "Hinweis";
  tex->Font.Fett = tex->Font.Unterstrichen = true;
  tex->Font.Name = "Liberation Sans";
  n.Shape("Bach")->Ausrichtung = 12;
  n.Shape("Bach")->X2 = 333;
  n.m.SetSelected(n.Shape("RÜ 2"));
  n.m.ParViewSettings.Zoom = 2.5;
  n.m.AutoOeffnen = true;
  n.m.PrintList = {"Altstadt", "RÜB 1"};
  n.Rechnen();
}

}  // namespace

// A side file that cannot be written fails the save with its message and
// leaves the project modified; the side files written before are whole.
TEST_F(Projektdatei, SideFileThatCannotBeWrittenFailsTheSave) {
  Netzbau a;
  BaueModell(a);
  a.m.FileName = Basis("seiten");
  std::filesystem::create_directories(a.m.FileName + ".PRL");  // in the way of the rename
  TDataModule1 dm;
  std::string fehler;
  a.m.Modified = 1;
  EXPECT_FALSE(Speichern(a.m, fehler, &dm));
  EXPECT_NE(fehler.find(".PRL"), std::string::npos) << fehler;
  EXPECT_NE(a.m.Modified, 0);
  EXPECT_FALSE(std::filesystem::exists(a.m.FileName + ".PRL.tmp"));
  TDataModule1 b;
  EXPECT_TRUE(b.LoadUserDefaults(a.m.FileName + ".DEF"));
  std::filesystem::remove(a.m.FileName + ".PRL");
  ASSERT_TRUE(Speichern(a.m, fehler, &dm)) << fehler;
  EXPECT_EQ(a.m.Modified, 0);
}

TEST_F(Projektdatei, RoundTripKeepsTheModel) {
  Netzbau a;
  BaueModell(a);
  a.m.FileName = Basis("projekt");
  std::string fehler;
  ASSERT_TRUE(Speichern(a.m, fehler)) << fehler;
  EXPECT_EQ(a.m.Modified, 0);

  Netzbau b;
  const TLadeErgebnis e = A3_Laden(b.m, Basis("projekt"));
  ASSERT_TRUE(e.Ok) << e.Fehler;
  EXPECT_TRUE(e.Hinweise.empty());
  EXPECT_TRUE(e.Meldung.empty());
  ASSERT_EQ(b.m.Count(), a.m.Count());
  EXPECT_EQ(b.m.GetNode(0)->Name, kWurzelName);
  EXPECT_FALSE(b.m.GetNode(0)->Visible);
  for (int i = 0; i < a.m.Count(); ++i) {
    const TCadShape* x = a.m.GetNode(i);
    const TCadShape* y = b.m.GetNode(x->Name);
    ASSERT_NE(y, nullptr) << x->Name;
    EXPECT_EQ(y->Typ(), x->Typ());
    EXPECT_EQ(y->Parent() ? y->Parent()->Name : "", x->Parent() ? x->Parent()->Name : "")
        << x->Name;
    EXPECT_EQ(y->KUE() ? y->KUE()->Name : "", x->KUE() ? x->KUE()->Name : "") << x->Name;
    EXPECT_EQ(y->GEW() ? y->GEW()->Name : "", x->GEW() ? x->GEW()->Name : "") << x->Name;
    EXPECT_EQ(y->X1, x->X1);
    EXPECT_EQ(y->X2, x->X2);
    EXPECT_EQ(y->Y2, x->Y2);
    EXPECT_EQ(y->Font, x->Font) << x->Name;
    EXPECT_EQ(y->Pen, x->Pen);
    EXPECT_EQ(y->Brush, x->Brush);
    EXPECT_EQ(y->Ausrichtung, x->Ausrichtung);
    EXPECT_EQ(y->Model->IsSelected(y), x->Model->IsSelected(x)) << x->Name;
    EXPECT_EQ(y->Koordinaten, x->Koordinaten);
    EXPECT_EQ(y->Al, x->Al.substr(0, 3));  // the column holds three characters
  }
  EXPECT_EQ(b.m.LetzteSelektion()->Name, "RÜ 2");
  EXPECT_EQ(b.m.ParViewSettings, a.m.ParViewSettings);
  EXPECT_TRUE(b.m.AutoOeffnen);
  EXPECT_EQ(b.m.PrintList, a.m.PrintList);

  const TNET& n = b.Netz();
  EXPECT_EQ(n.ProjektName, a.Netz().ProjektName);
  EXPECT_EQ(n.Datum, 44000);
  EXPECT_EQ(n.HNA, 750);
  EXPECT_EQ(n.Temperatur, 17);
  EXPECT_EQ(n.mNN, 350);
  EXPECT_EQ(n.ctAFS63, 140);
  EXPECT_EQ(n.Spenden.values, a.Netz().Spenden.values);  // all 19, the 72-hour value too
  EXPECT_EQ(n.Spenden.name, "Muster A138 (n=0,2)");
  EXPECT_DOUBLE_EQ(n.cO2sat, O2Saettigung(17, 350));
  EXPECT_EQ(b.m.Referenz.SWGanglinien.Count(), 7);
  EXPECT_EQ(b.m.Referenz.SWGanglinien.Eintraege[6].name, "eigene");

  const auto& k = b.El<TKEM>("Altstadt");
  const auto& ka = a.El<TKEM>("Altstadt");
  EXPECT_EQ(k.Memo, ka.Memo);  // longer than the 512 characters of MEMO
  ASSERT_EQ(k.AEs.Liste.size(), 2u);
  EXPECT_EQ(k.AEs.Liste[0].Bezeichnung, "Dächer");
  EXPECT_EQ(k.AEs.Liste[1].fD, 0.7);
  EXPECT_EQ(k.SWGL, 6);
  EXPECT_EQ(k.CH.BSB, ka.CH.BSB);
  EXPECT_EQ(k.CH.PH, ka.CH.PH);
  EXPECT_EQ(k.WS, ka.WS);
  for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(k.AB[i].Q, ka.AB[i].Q);

  const auto& rub = b.El<TRUB>("RÜB 1");
  EXPECT_EQ(rub.QD, 25);
  EXPECT_EQ(rub.Volumen, 800);
  EXPECT_TRUE(rub.Nebenschluss);
  EXPECT_EQ(rub.Do2KUE, 14);
  EXPECT_EQ(rub.xDI, 0.01);
  EXPECT_EQ(rub.Script, a.El<TRUB>("RÜB 1").Script);
  EXPECT_TRUE(rub.ScriptActive);
  EXPECT_EQ(b.El<TRU>("RÜ 2").MaxQKUE, 999999);
  EXPECT_EQ(b.El<TCON>("C").TF, 7.5);
  EXPECT_EQ(b.El<TREG>("Regen").FileName, "regen/station 1.REG");
  const auto& e1 = a.El<TEST>("Bach");
  const auto& e2 = b.El<TEST>("Bach");
  EXPECT_EQ(e2.Profil.LEN, 1500);
  EXPECT_EQ(e2.Profil.BWSP, e1.Profil.BWSP);
  EXPECT_EQ(e2.AE0, 12);
  EXPECT_EQ(e2.EUTROPH, "2");
  EXPECT_EQ(e2.GUETE, "II");
  EXPECT_EQ(e2.WBP.WBP1StrukturU, 3);
  EXPECT_TRUE(e2.Drosselung);
  EXPECT_TRUE(e2.Salmoniden);
  EXPECT_EQ(e2.Lage, 1);
  EXPECT_NEAR(e2.CV.cPH(), e1.CV.cPH(), 1e-12);
  EXPECT_NEAR(e2.CV.cBSB(), e1.CV.cBSB(), 1e-12);
  EXPECT_NEAR(e2.CV.cNH4(), e1.CV.cNH4(), 1e-12);
  EXPECT_EQ(b.El<TOMA>("Filter").Art, "Retentionsbodenfilter");
  EXPECT_EQ(b.El<TOMA>("Filter").ETA.BSB, a.El<TOMA>("Filter").ETA.BSB);
  EXPECT_EQ(b.El<TOMA>("Filter").N, 0.2);
  EXPECT_EQ(b.El<TKLG>("Kläranlage").ETA.NH4, 3);
  EXPECT_EQ(b.El<TAEO>("Wald").kD, 2.5);
  EXPECT_TRUE(b.El<TVBE>("Becken").Vorreinigung);
  EXPECT_EQ(b.El<TVBE>("Becken").Ls, 20);
  EXPECT_EQ(b.El<TVBE>("Becken").Reihe, "Reinhold (n=0,2)");
  EXPECT_EQ(b.El<TVBE>("Becken").AEs.Liste.size(), 1u);
  ASSERT_EQ(b.El<TAEK>("Flächen").AEs.Liste.size(), 1u);
  EXPECT_EQ(b.El<TAEK>("Flächen").AEs.Liste[0].fD, 0.5);
  for (int i = 0; i < kAnzahlQr; ++i)
    EXPECT_EQ(b.Element("Bach").AB[i].Q, a.Element("Bach").AB[i].Q);

  // saving the loaded model again gives the same file
  b.m.FileName = Basis("zweit");
  ASSERT_TRUE(Speichern(b.m, fehler));
  const std::string x = Lies(Basis("zweit") + ".T21"), y = Lies(Basis("projekt") + ".T21");
  const auto d = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
  EXPECT_TRUE(x == y) << "erster Unterschied: "
                      << x.substr(static_cast<size_t>(d.first - x.begin()), 80);
}

TEST_F(Projektdatei, PacketFormat) {
  Netzbau a;
  a.Neu("CON", "C");
  a.El<TCON>("C").TF = 0.1;
  const std::string text = PaketAlsText(*ModellAlsPaket(a.m));
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET "
                       "Version=\"2.0\"><METADATA><FIELDS>",
                       0),
            0u);
  EXPECT_EQ(text.find('\n'), std::string::npos);  // one line
  EXPECT_NE(text.find("<FIELD attrname=\"ProgVersion\" fieldtype=\"string\" WIDTH=\"255\"/>"),
            std::string::npos);
  EXPECT_NE(text.find("<FIELD attrname=\"SHP\" fieldtype=\"nested\">"), std::string::npos);
  EXPECT_NE(text.find("TF=\"0.1\""), std::string::npos);
  EXPECT_NE(text.find("<SHP><ROWSHP Name=\"geschlossenes Siedlungsgebiet\" Typ=\"NET\""),
            std::string::npos);

  // column names are matched without regard to case
  std::string klein = text;
  for (const char* w : {"attrname=\"TF\"", "TF=\"0.1\""}) {
    const auto p = klein.find(w);
    ASSERT_NE(p, std::string::npos);
    klein.replace(p, 2, p == klein.find("attrname=\"TF\"") ? "at" : "tf");
  }
  const auto pos = klein.find("TF=\"0.1\"");
  if (pos != std::string::npos) klein.replace(pos, 2, "tf");
  std::ofstream(Basis("klein") + ".T21", std::ios::binary) << klein;
  Netzbau b;
  ASSERT_TRUE(A3_Laden(b.m, Basis("klein")).Ok);
  EXPECT_EQ(b.El<TCON>("C").TF, 0.1);
}

TEST_F(Projektdatei, PolylinesAndFontStyles) {
  EXPECT_EQ(PunkteAlsText({{12.5, 3}, {0, 1}}), "12,500000;3,000000;0,000000;1,000000;");
  EXPECT_EQ(PunkteAusText("12,500000;3,000000;0,000000;1,000000;"),
            (std::vector<TPunkt>{{12.5, 3}, {0, 1}}));
  EXPECT_TRUE(PunkteAusText("").empty());
  EXPECT_EQ(PunkteAusText("1;x;"), (std::vector<TPunkt>{{1, 0}}));
  TSchrift f;
  f.Fett = f.Unterstrichen = true;
  EXPECT_EQ(SchriftstilText(f), "bu");
  TSchrift g;
  SchriftstilLesen("ub", g);
  EXPECT_TRUE(g.Fett && g.Unterstrichen && !g.Kursiv && !g.Durchgestrichen);
}

TEST_F(Projektdatei, LongPolylinesKeepEveryVertex) {
  // Val holds 512 characters, some 23 vertices; a longer polyline keeps its
  // whole list in ValLang, and Val its leading whole vertices.
  auto polylinie = [](TM3Model& m, const char* name, int n) {
    TCadShape* s = m.CreateShape("POL", name, 0, 0);
    for (int i = 0; i < n; ++i) s->Koordinaten.push_back({i * 10.125, (i % 7) * -3.5 + 1e4});
    return s;
  };
  Netzbau a;
  const TCadShape* lang = polylinie(a.m, "POL.1", 500);
  const TCadShape* kurz = polylinie(a.m, "POL.2", 3);
  std::string fehler;
  ASSERT_TRUE(A3_SaveAs(a.m, Basis("lang"), fehler));
  Netzbau b;
  ASSERT_TRUE(A3_Laden(b.m, Basis("lang")).Ok);
  for (const TCadShape* s : {lang, kurz}) {
    const TCadShape* w = b.m.GetNode(std::string_view(s->Name));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Koordinaten, s->Koordinaten) << s->Name;
  }
  // Saved again, the file is the same.
  ASSERT_TRUE(A3_SaveAs(b.m, Basis("wieder"), fehler));
  EXPECT_EQ(Lies(Basis("wieder") + ".T21"), Lies(Basis("lang") + ".T21"));

  // A reader of Val alone (an older version) gets the first vertices whole.
  auto paket = ModellAlsPaket(a.m);
  const TTabelle& shp = paket->Kind(0, "SHP");
  const int r = shp.Finde("Name", "POL.1");
  const std::string val = AlsText(shp.Wert(r, "Val"));
  EXPECT_LE(val.size(), 512u);
  const auto anfang = PunkteAusText(val);
  ASSERT_GT(anfang.size(), 10u);
  EXPECT_EQ(PunkteAlsText(anfang), val);
  EXPECT_TRUE(std::equal(anfang.begin(), anfang.end(), lang->Koordinaten.begin()));
  EXPECT_TRUE(IstNull(shp.Wert(shp.Finde("Name", "POL.2"), "ValLang")));
  // ... and so does this version, reading a file without ValLang.
  std::string text = Lies(Basis("lang") + ".T21");
  // (A plain search: a regular expression over the 8,000-character value
  // recurses once per character in the standard library.)
  for (size_t p; (p = text.find(" ValLang=\"")) != std::string::npos;)
    text.erase(p, text.find('"', p + 10) + 1 - p);
  std::ofstream(Basis("alt") + ".T21", std::ios::binary) << text;
  Netzbau c;
  ASSERT_TRUE(A3_Laden(c.m, Basis("alt")).Ok);
  EXPECT_EQ(c.m.GetNode(std::string_view("POL.1"))->Koordinaten, anfang);

  // A drawing without a long polyline has no column ValLang: its file is
  // the one earlier versions wrote.
  Netzbau d;
  polylinie(d.m, "POL.1", 10);
  const std::string kurzText = PaketAlsText(*ModellAlsPaket(d.m));
  EXPECT_EQ(kurzText.find("ValLang"), std::string::npos);
  EXPECT_NE(PaketAlsText(*paket).find("attrname=\"ValLang\""), std::string::npos);
}

TEST_F(Projektdatei, OlderVersionIsRepairedWithAMessage) {
  Netzbau a;
  a.Neu("RUB", "B");
  a.El<TRUB>("B").Script = {"QD := MAX(1, 2);"};
  a.El<TRUB>("B").QD = 12.5;
  a.El<TRUB>("B").Volumen = 800;
  a.El<TRUB>("B").Memo = {"Becken 3, alt"};
  std::string text = PaketAlsText(*ModellAlsPaket(a.m));
  Ersetze(text, {{"ProgVersion=\"1.2\"", "ProgVersion=\"1.1\""},
                 {"QD=\"12.5\"", "QD=\"12,5\""},
                 {" V=\"800\"", " V=\"800,0\""}});
  std::ofstream(Basis("alt") + ".T21", std::ios::binary) << text;
  const auto vorher = Ordnerinhalt(dir);
  Netzbau b;
  const TLadeErgebnis e = A3_Laden(b.m, Basis("alt"));
  ASSERT_TRUE(e.Ok) << e.Fehler;
  // Opening wrote no file: the project file as it was, no copy beside it.
  EXPECT_EQ(Ordnerinhalt(dir), vorher);
  EXPECT_FALSE(fs::exists(Basis("alt") + ".T21~"));
  // The numbers with their decimal commas, the texts with their commas.
  const auto& rub = b.El<TRUB>("B");
  EXPECT_EQ(rub.QD, 12.5);
  EXPECT_EQ(rub.Volumen, 800);
  EXPECT_EQ(rub.Script, a.El<TRUB>("B").Script);
  EXPECT_EQ(rub.Memo, a.El<TRUB>("B").Memo);
  EXPECT_EQ(
      e.Meldung.rfind(
          "In der Datei mit den Eingangsdaten wurden alle Kommata\n\rdurch einen Punkt ersetzt.",
          0),
      0u);
  EXPECT_NE(e.Meldung.find("Die Originaldatei wird beim Speichern in " + Basis("alt") +
                           ".T21~ umbenannt."),
            std::string::npos);
  EXPECT_NE(e.Meldung.find("DKI oder DKZ verwenden."), std::string::npos);

  // The first save keeps the original as it was; later saves leave that
  // copy alone.
  std::string fehler;
  ASSERT_TRUE(Speichern(b.m, fehler)) << fehler;
  EXPECT_EQ(Lies(Basis("alt") + ".T21~"), text);
  EXPECT_EQ(ErsterWert(Lies(Basis("alt") + ".T21"), "ProgVersion"), kProgVersion);
  b.El<TRUB>("B").QD = 13;
  ASSERT_TRUE(Speichern(b.m, fehler)) << fehler;
  EXPECT_EQ(Lies(Basis("alt") + ".T21~"), text);
  Netzbau c;
  const TLadeErgebnis wieder = A3_Laden(c.m, Basis("alt"));
  ASSERT_TRUE(wieder.Ok);
  EXPECT_TRUE(wieder.Meldung.empty());
  EXPECT_EQ(c.El<TRUB>("B").QD, 13);

  // Saved under another name, the old file is not touched.
  std::ofstream(Basis("alt2") + ".T21", std::ios::binary) << text;
  Netzbau d;
  ASSERT_TRUE(A3_Laden(d.m, Basis("alt2")).Ok);
  d.m.FileName = Basis("neu");
  ASSERT_TRUE(Speichern(d.m, fehler)) << fehler;
  EXPECT_EQ(Lies(Basis("alt2") + ".T21"), text);
  EXPECT_FALSE(fs::exists(Basis("alt2") + ".T21~"));
  EXPECT_FALSE(fs::exists(Basis("neu") + ".T21~"));
}

TEST_F(Projektdatei, DefaultsFileIsRepairedWhenReadAndWrittenWhenSaved) {
  Netzbau a;
  a.Neu("KEM", "K");
  a.m.FileName = Basis("def");
  std::string fehler;
  TDataModule1 dm;
  ASSERT_TRUE(Speichern(a.m, fehler, &dm)) << fehler;
  // The defaults of an older version: decimal commas, and texts with commas.
  std::ofstream(Basis("def") + ".DEF", std::ios::binary | std::ios::trunc)
      << "CDSHydID=0\r\nCDSKEZWS=150,5\r\nCDSKEZED=42,25\r\n"
         "CDSNetRegenreihe='Reinhold (n=1,0)'\r\nCDSNetPROJEKTNAME='Nord, Süd'\r\n";
  const auto vorher = Ordnerinhalt(dir);

  Netzbau b;
  TDataModule1 geladen;
  ASSERT_TRUE(A3_Laden(b.m, Basis("def"), &geladen).Ok);
  EXPECT_EQ(Ordnerinhalt(dir), vorher);
  const TTabelle& kez = geladen.T("CDSKEZ");
  const TTabelle& net = geladen.T("CDSNet");
  EXPECT_EQ(kez.Vorgabe(kez.Schema().Index("WS")), "150.5");
  EXPECT_EQ(kez.Vorgabe(kez.Schema().Index("ED")), "42.25");
  EXPECT_EQ(net.Vorgabe(net.Schema().Index("Regenreihe")), "'Reinhold (n=1,0)'");
  EXPECT_EQ(net.Vorgabe(net.Schema().Index("PROJEKTNAME")), "'Nord, Süd'");
  // A new element of the project receives them.
  TCadShape* neu = ElementAnlegen(geladen, b.m, "KEM", "Neu", 0, 0);
  EXPECT_EQ(dynamic_cast<TKEM&>(*TM3Model::ElementOf(neu)).WS, 150.5);
  EXPECT_EQ(dynamic_cast<TKEM&>(*TM3Model::ElementOf(neu)).ED, 42.25);

  ASSERT_TRUE(Speichern(b.m, fehler, &geladen)) << fehler;
  const std::string def = Lies(Basis("def") + ".DEF");
  for (const char* z :
       {"CDSKEZWS=150.5\r\n", "CDSKEZED=42.25\r\n", "CDSNetRegenreihe='Reinhold (n=1,0)'\r\n",
        "CDSNetPROJEKTNAME='Nord, Süd'\r\n"})
    EXPECT_NE(def.find(z), std::string::npos) << z;
  EXPECT_FALSE(fs::exists(Basis("def") + ".DEF~"));
}

TEST_F(Projektdatei, DecimalCommasAreNumbersOnlyWhenTheReaderAsks) {
  // One row per case: the float F, the integer I, the text S.
  struct Fall {
    const char* zeile;
    double f, fOhne;
    int32_t i, iOhne;
    const char* s;
  };
  const Fall faelle[] = {
      {"F=\"12,5\" I=\"7\" S=\"a,b\"", 12.5, 0, 7, 7, "a,b"},
      {"F=\"-0,125\" I=\"3,0\" S=\"1,5\"", -0.125, 0, 3, 0, "1,5"},
      {"F=\"1.5\" I=\"4\" S=\"\"", 1.5, 1.5, 4, 4, ""},
      {"F=\"x,y\" I=\"a,b\" S=\"x\"", 0, 0, 0, 0, "x"},
  };
  std::string text =
      "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
      "<FIELD attrname=\"F\" fieldtype=\"r8\"/><FIELD attrname=\"I\" fieldtype=\"i4\"/>"
      "<FIELD attrname=\"S\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS><PARAMS/></METADATA>"
      "<ROWDATA>";
  for (const Fall& f : faelle) text += std::string("<ROW ") + f.zeile + "/>";
  text += "</ROWDATA></DATAPACKET>";
  std::string fehler;
  TPaketLesen lesen;
  lesen.Dezimalkomma = true;
  const auto mit = LiesPaketText(text, fehler, &lesen);
  const auto ohne = LiesPaketText(text, fehler);
  ASSERT_TRUE(mit && ohne) << fehler;
  EXPECT_EQ(lesen.Kommata, 3);
  for (int r = 0; r < 4; ++r) {
    const Fall& f = faelle[r];
    EXPECT_EQ(AlsZahl(mit->Wert(r, "F")), f.f) << f.zeile;
    EXPECT_EQ(AlsZahl(ohne->Wert(r, "F")), f.fOhne) << f.zeile;
    EXPECT_EQ(AlsGanzzahl(mit->Wert(r, "I")), f.i) << f.zeile;
    EXPECT_EQ(AlsGanzzahl(ohne->Wert(r, "I")), f.iOhne) << f.zeile;
    EXPECT_EQ(AlsText(mit->Wert(r, "S")), f.s) << f.zeile;
    EXPECT_EQ(AlsText(ohne->Wert(r, "S")), f.s) << f.zeile;
  }
  EXPECT_EQ(ErsterWert(text, "s"), "a,b");
  EXPECT_EQ(ErsterWert(text, "X"), "");
  EXPECT_EQ(ErsterWert("kein Paket", "S"), std::nullopt);
}

TEST_F(Projektdatei, ShapeIdsSurviveSavingAndLoading) {
  Netzbau a;
  BaueModell(a);
  a.m.DeleteShape(a.Shape("Wald"));  // a gap in the ids
  const uint64_t id = a.Shape("C")->Id;
  a.m.RenameNode("Sammler", a.Shape("C"));
  EXPECT_EQ(a.Shape("Sammler")->Id, id);
  a.m.FileName = Basis("ids");
  std::string fehler;
  ASSERT_TRUE(Speichern(a.m, fehler)) << fehler;
  EXPECT_NE(Lies(Basis("ids") + ".T21").find("<FIELD attrname=\"ShapeID\" fieldtype=\"i4\"/>"),
            std::string::npos);

  Netzbau b;
  b.Neu("KEM", "vorher");  // ids of a former content do not matter
  ASSERT_TRUE(A3_Laden(b.m, Basis("ids")).Ok);
  ASSERT_EQ(b.m.Count(), a.m.Count());
  uint64_t hoechste = 0;
  for (int i = 0; i < a.m.Count(); ++i) {
    const TCadShape* x = a.m.GetNode(i);
    ASSERT_TRUE(b.Shape(x->Name)) << x->Name;
    EXPECT_EQ(b.Shape(x->Name)->Id, x->Id) << x->Name;
    EXPECT_EQ(b.m.GetNodeById(x->Id), b.Shape(x->Name));
    hoechste = std::max(hoechste, x->Id);
  }
  EXPECT_GT(b.m.NaechsteId(), hoechste);
  EXPECT_GT(b.m.CreateNewShape("KEM", "danach", 0, 0)->Id, hoechste);

  // Files without the column (older versions): ids in row order. Ids taken
  // twice in a file: the later shape gets a new one.
  const std::string text = Lies(Basis("ids") + ".T21");
  std::string ohne = std::regex_replace(text, std::regex(" ShapeID=\"[0-9]+\""), "");
  Ersetze(ohne, {{"<FIELD attrname=\"ShapeID\" fieldtype=\"i4\"/>", ""}});
  std::string doppelt = text;
  const std::string bach = " ShapeID=\"" + std::to_string(a.Shape("Bach")->Id) + "\"";
  const std::string filter = " ShapeID=\"" + std::to_string(a.Shape("Filter")->Id) + "\"";
  Ersetze(doppelt, {{filter, bach}});
  for (const auto& [name, inhalt] : {std::pair{"ohne", ohne}, std::pair{"doppelt", doppelt}}) {
    std::ofstream(Basis(name) + ".T21", std::ios::binary) << inhalt;
    Netzbau c;
    ASSERT_TRUE(A3_Laden(c.m, Basis(name)).Ok) << name;
    std::set<uint64_t> ids;
    uint64_t letzte = 0;
    for (int i = 0; i < a.m.Count(); ++i) {
      const uint64_t n = c.Shape(a.m.GetNode(i)->Name)->Id;
      EXPECT_NE(n, 0u);
      EXPECT_TRUE(ids.insert(n).second) << name << " " << n;
      if (std::string(name) == "ohne") {
        EXPECT_GT(n, letzte);
      }
      letzte = n;
    }
    if (std::string(name) == "doppelt") {
      // every stored id kept, the second Bach id replaced by a new one
      for (int i = 0; i < a.m.Count(); ++i) {
        const TCadShape* x = a.m.GetNode(i);
        if (x->Name != "Filter") {
          EXPECT_EQ(c.Shape(x->Name)->Id, x->Id) << x->Name;
        }
      }
      EXPECT_GT(c.Shape("Filter")->Id, hoechste);
    }
  }

  // An id beyond the 32 bits of the column is not stored; the shape gets a
  // new one on loading.
  auto gross = std::make_unique<TCadShape>("TEX");
  gross->Name = "Groß";
  gross->Id = uint64_t{1} << 40;
  a.m.Add(std::move(gross));
  ASSERT_TRUE(Speichern(a.m, fehler)) << fehler;
  Netzbau d;
  ASSERT_TRUE(A3_Laden(d.m, Basis("ids")).Ok);
  ASSERT_TRUE(d.Shape("Groß"));
  EXPECT_NE(d.Shape("Groß")->Id, 0u);
  EXPECT_LT(d.Shape("Groß")->Id, uint64_t{1} << 31);
  EXPECT_EQ(d.Shape("Bach")->Id, a.Shape("Bach")->Id);
}

TEST_F(Projektdatei, ShapeRowsRoundTripExactly) {
  Netzbau a;
  BaueModell(a);
  // Values without a short decimal form.
  a.Shape("Altstadt")->X1 = 0.1 + 0.2;
  a.Shape("Linie")->Y2 = 1.0 / 3;
  a.El<TKEM>("Altstadt").ED = 1.0 / 3;
  a.El<TKEM>("Altstadt").AEs.Liste[1].AE = std::nextafter(10.0, 11.0);
  a.El<TRUB>("RÜB 1").QD = 2.0 / 7;
  a.El<TEST>("Bach").HMNQ = std::sqrt(2.0);
  a.El<TCON>("C").TF = 1e-300;
  a.Netz().cM = std::acos(-1.0);
  a.Rechnen();

  auto paket = NeuesProjektPaket();
  TTabelle& zeilen = paket->Kind(paket->Anhaengen(), "SHP");
  for (int i = 0; i < a.m.Count(); ++i) ShapeInZeile(*a.m.GetNode(i), zeilen, zeilen.Anhaengen());
  EXPECT_TRUE(IstNull(zeilen.Wert(a.m.IndexOf(a.Shape("RÜ 2")), "Selected")));  // the views' state

  TM3Model b;
  b.DeleteAll();
  std::vector<std::string> hinweise;
  std::vector<TCadShape*> neu;
  for (int r = 0; r < zeilen.Anzahl(); ++r) neu.push_back(ShapeAusZeile(b, zeilen, r, hinweise));
  EXPECT_TRUE(hinweise.empty());
  ASSERT_EQ(b.Count(), a.m.Count());
  for (int r = 0; r < zeilen.Anzahl(); ++r) {
    const TCadShape* x = a.m.GetNode(r);
    ASSERT_TRUE(neu[static_cast<size_t>(r)]) << x->Name;
    TCadShape* y = neu[static_cast<size_t>(r)];
    EXPECT_EQ(y->Id, x->Id) << x->Name;
    EXPECT_EQ(y->Model, &b);
    EXPECT_EQ(!!TM3Model::ElementOf(y), !!TM3Model::ElementOf(x)) << x->Name;
    if (TM3Model::ElementOf(y)) {
      EXPECT_EQ(b.Liste.Find(x->Name), y) << x->Name;
    }
    EXPECT_FALSE(y->Parent() || y->KUE() || y->GEW()) << x->Name;  // links are the caller's
  }
  // With the links set again by the names in the rows, the rows come out
  // the same, every double included.
  for (int r = 0; r < zeilen.Anzahl(); ++r) {
    TCadShape* y = neu[static_cast<size_t>(r)];
    if (auto* p = b.GetNode(AlsText(zeilen.Wert(r, "Parent")))) y->SetParent(p);
    if (auto* k = b.GetNode(AlsText(zeilen.Wert(r, "KUE")))) y->SetKUE(k);
    if (auto* g = b.GetNode(AlsText(zeilen.Wert(r, "GEW")))) y->SetGEW(g);
  }
  auto wieder = NeuesProjektPaket();
  TTabelle& zeilen2 = wieder->Kind(wieder->Anhaengen(), "SHP");
  for (int i = 0; i < b.Count(); ++i) ShapeInZeile(*b.GetNode(i), zeilen2, zeilen2.Anhaengen());
  const std::string x = PaketAlsText(zeilen), y = PaketAlsText(zeilen2);
  const auto d = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
  EXPECT_TRUE(x == y) << "erster Unterschied: "
                      << x.substr(static_cast<size_t>(d.first - x.begin()), 80);

  // The model's packet writes its rows the same way (its columns lack
  // ValLang, which only a drawing with a long polyline needs).
  const std::shared_ptr<const TTabelle> modell = ModellAlsPaket(a.m);
  const TTabelle* imPaket = modell->Kind(0, "SHP");
  ASSERT_TRUE(imPaket);
  TTabelle ohneAuswahl = *imPaket;
  for (int r = 0; r < ohneAuswahl.Anzahl(); ++r) ohneAuswahl.Setze(r, "Selected", TWert{});
  auto zeilendaten = [](const std::string& t) { return t.substr(t.find("<ROWDATA>")); };
  EXPECT_TRUE(zeilendaten(PaketAlsText(ohneAuswahl)) == zeilendaten(x));

  // An unknown type: no shape, a note.
  zeilen.Setze(0, "Typ", std::string("XYZ"));
  EXPECT_EQ(ShapeAusZeile(b, zeilen, 0, hinweise), nullptr);
  ASSERT_EQ(hinweise.size(), 1u);
  EXPECT_EQ(hinweise[0],
            "Form " + std::string(kWurzelName) + " mit unbekanntem Typ \"XYZ\" übergangen");
}

namespace {

// The computed state of every element, as bytes, and the tabular export.
std::pair<std::map<std::string, std::string>, std::string> Ergebnisse(const TM3Model& m) {
  std::map<std::string, std::string> r;
  for (int i = 0; i < m.Count(); ++i)
    if (const TElement* e = TM3Model::ElementOf(m.GetNode(i)))
      r[m.GetNode(i)->Name] =
          std::string(reinterpret_cast<const char*>(e->AB.par.data()), sizeof e->AB.par) +
          std::string(reinterpret_cast<const char*>(&e->SUM.E), sizeof e->SUM.E);
  return {r, CreateCSVFile(m)};
}

}  // namespace

TEST_F(Projektdatei, ModelCopiedInMemoryComputesAndWritesAsTheOriginal) {
  const std::pair<const char*, std::function<void(Netzbau&)>> faelle[] = {
      {"Beispiel",
       [](Netzbau& n) {
         ASSERT_TRUE(A3_Laden(n.m, (kBeispiel / "Beispiel").string()).Ok);
         // the rain gauges' files where a run finds them
         for (int i = 0; i < n.m.Count(); ++i)
           if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(n.m.GetNode(i))))
             r->SetData((kBeispiel / r->FileName).string());
       }},
      {"Prüfmodell",
       [this](Netzbau& n) {
         BaueModell(n);
         // rain water of the project other than the defaults
         TNET& net = n.Netz();
         net.SetData(750, 0.7, "42", "Prüfprojekt", "", "", 44000, 0, false, 0.667, 0.05, 2.74,
                     24.5, 4.25, 7.1, 2.2, 11, 1.5, 35, 17, &net.Spenden, 350);
         n.Rechnen();
         n.m.FileName = Basis("original");
         std::string fehler;
         ASSERT_TRUE(Speichern(n.m, fehler)) << fehler;  // side files beside it
       }},
  };
  for (const auto& [name, bauen] : faelle) {
    SCOPED_TRACE(name);
    Netzbau original;
    bauen(original);
    const auto paket = ModellAlsPaket(original.m);
    Netzbau kopie;
    const TLadeErgebnis e = ModellAusPaket(kopie.m, *paket, original.m.FileName);
    ASSERT_TRUE(e.Ok) << e.Fehler;
    EXPECT_TRUE(e.Hinweise.empty());
    EXPECT_TRUE(e.Meldung.empty());

    const std::string x = PaketAlsText(*paket), y = PaketAlsText(*ModellAlsPaket(kopie.m));
    const auto d = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
    EXPECT_TRUE(x == y) << "erster Unterschied: "
                        << x.substr(static_cast<size_t>(d.first - x.begin()), 80);
    EXPECT_EQ(kopie.m.FileName, original.m.FileName);
    EXPECT_TRUE(kopie.m.PrintList.empty());  // a side file, read by A3_Laden only
    ASSERT_EQ(kopie.m.Count(), original.m.Count());
    for (int i = 0; i < original.m.Count(); ++i) {
      const TCadShape* s = original.m.GetNode(i);
      EXPECT_EQ(kopie.m.GetNode(i)->Name, s->Name);
      EXPECT_EQ(kopie.m.GetNode(i)->Id, s->Id);
      if (const auto* r = dynamic_cast<const TREG*>(TM3Model::ElementOf(s))) {
        EXPECT_EQ(dynamic_cast<const TREG&>(*TM3Model::ElementOf(kopie.m.GetNode(i))).FileName,
                  r->FileName);
      }
    }
    const TNET& a = original.Netz();
    const TNET& b = kopie.Netz();
    for (auto [p, q] : {std::pair{&a.CR, &b.CR}, std::pair{&a.cDN, &b.cDN}}) {
      for (double TParameter::*f : {&TParameter::BSB, &TParameter::NH4, &TParameter::AFS,
                                    &TParameter::CSB, &TParameter::ALK, &TParameter::DO2})
        EXPECT_EQ(q->*f, p->*f);
      EXPECT_EQ(double(q->PH), double(p->PH));
    }
    EXPECT_NEAR(b.crDO2, a.crDO2, 1e-9);
    const auto& sw = kopie.m.Referenz.SWGanglinien.Eintraege;
    const auto& swOriginal = original.m.Referenz.SWGanglinien.Eintraege;
    ASSERT_EQ(sw.size(), swOriginal.size());
    for (size_t i = 0; i < sw.size(); ++i) {
      EXPECT_EQ(sw[i].name, swOriginal[i].name);
      EXPECT_EQ(sw[i].werte, swOriginal[i].werte);
    }
    EXPECT_TRUE(Ergebnisse(kopie.m) == Ergebnisse(original.m));
  }
}

TEST_F(Projektdatei, DamagedFilesAreRefusedAndTheModelStays) {
  struct Fall {
    const char* name;
    std::string inhalt;
    const char* fehler;
  };
  const Fall faelle[] = {
      {"leer", "", "Die Datei ist leer."},
      {"binaer", std::string("\x96\x19\xE0\xBD\x01\x00", 6),
       "Die Datei ist ein Datenpaket in binärer Form; diese Form kann nicht gelesen werden."},
      {"kaputt", "<DATAPACKET><METADATA>", "Die Datei ist kein lesbares XML-Datenpaket"},
      {"fremd", "<html><body/></html>", "Die Datei ist kein XML-Datenpaket."},
  };
  for (const auto& f : faelle) {
    std::ofstream(Basis(f.name) + ".T21", std::ios::binary) << f.inhalt;
    Netzbau n;
    n.Neu("KEM", "bleibt");
    const TLadeErgebnis e = A3_Laden(n.m, Basis(f.name));
    EXPECT_FALSE(e.Ok) << f.name;
    EXPECT_EQ(e.Fehler.rfind(f.fehler, 0), 0u) << e.Fehler;
    EXPECT_NE(n.m.GetNode("bleibt"), nullptr) << f.name;
  }
  Netzbau n;
  EXPECT_FALSE(A3_Laden(n.m, Basis("gibtsnicht")).Ok);
}

TEST_F(Projektdatei, UnknownShapesAndLinksAreSkippedWithAHint) {
  Netzbau a;
  a.Neu("KEM", "K");
  std::string text = PaketAlsText(*ModellAlsPaket(a.m));
  text.replace(text.find("Typ=\"KEM\""), 9, "Typ=\"XYZ\"");
  std::ofstream(Basis("fremd") + ".T21", std::ios::binary) << text;
  Netzbau b;
  const TLadeErgebnis e = A3_Laden(b.m, Basis("fremd"));
  ASSERT_TRUE(e.Ok);
  ASSERT_EQ(e.Hinweise.size(), 1u);
  EXPECT_EQ(e.Hinweise[0], "Form K mit unbekanntem Typ \"XYZ\" übergangen");
  EXPECT_EQ(b.m.Count(), 1);
}

TEST_F(Projektdatei, FailedSaveLeavesTheOldFile) {
  Netzbau a;
  a.m.FileName = Basis("fest");
  std::ofstream(Basis("fest") + ".T21") << "alt";
  fs::create_directories(Basis("fest") + ".T21.tmp");  // the temporary file cannot be made
  std::string fehler;
  EXPECT_FALSE(Speichern(a.m, fehler));
  EXPECT_FALSE(fehler.empty());
  EXPECT_EQ(Lies(Basis("fest") + ".T21"), "alt");
}
