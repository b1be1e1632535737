// The project tables: defaults, standard values, the defaults file and the
// way elements pass through the tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "model/elements.h"
#include "storage/projekttabellen.h"
#include "support/netzbau.h"

using namespace t21;
using t21::test::Flaeche;
using t21::test::Netzbau;
namespace fs = std::filesystem;

namespace {

class Tabellen : public ::testing::Test {
 protected:
  TDataModule1 dm;
  std::vector<std::string> meldungen;
  fs::path dir = fs::temp_directory_path() / ("t21_tab_" + std::to_string(::getpid()));
  void SetUp() override {
    fs::create_directories(dir);
    dm.Meldung = [this](const std::string& m) { meldungen.push_back(m); };
  }
  void TearDown() override { fs::remove_all(dir); }
  double W(const char* tabelle, const char* spalte) {
    const TTabelle& t = dm.T(tabelle);
    return AlsZahl(t.Wert(dm.DetailZeile(t), spalte));
  }
  static std::string Lies(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
};

}  // namespace

TEST_F(Tabellen, RegistryAndTableOfAType) {
  const char* codes[] = {"HYD", "NET", "KEZ", "EBW", "KLG", "OMA", "EST", "CON", "REG", "AEO", "PAR", "ETA"};
  ASSERT_EQ(dm.Dateien.size(), 12u);
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(dm.Dateien[i].first, codes[i]);
  EXPECT_EQ(dm.GetTable("RU"), &dm.T("CDSEbw"));
  EXPECT_EQ(dm.GetTable("RKB"), &dm.T("CDSEbw"));
  EXPECT_EQ(dm.GetTable("KER"), &dm.T("CDSKEZ"));
  EXPECT_EQ(dm.GetTable("EST"), &dm.T("CDSEst"));
  EXPECT_EQ(dm.GetTable("ABS"), nullptr);
  EXPECT_EQ(dm.GetTable("VFL"), nullptr);
  EXPECT_EQ(dm.GetTable(""), nullptr);
  // columns with their types, ranges and labels
  const TSchema& kez = dm.T("CDSKEZ").Schema();
  const TFeld& ngm = kez.Felder[static_cast<size_t>(kez.Index("NGM"))];
  EXPECT_EQ(ngm.Typ, TFeldTyp::Float);
  EXPECT_EQ(ngm.Vorgabe, "2,0");
  EXPECT_EQ(*ngm.Min, 1);
  EXPECT_EQ(*ngm.Max, 4);
  EXPECT_EQ(ngm.Label, "MittlereGeländeneigungsGruppe");
  EXPECT_EQ(dm.T("CDSEst").Schema().Felder.size(), 62u);
}

TEST_F(Tabellen, NewRecordsGetDefaultsAndIDs) {
  dm.CreateRecords("K", "", "KEM", "");
  EXPECT_EQ(AlsGanzzahl(dm.T("CDSHyd").Wert(dm.Aktuell, "ID")), 1);
  EXPECT_EQ(W("CDSKEZ", "WS"), 120);
  EXPECT_EQ(W("CDSKEZ", "N"), 3);
  EXPECT_EQ(W("CDSKEZ", "MV"), -1);
  EXPECT_EQ(W("CDSKEZ", "ID"), 1);
  dm.CreateRecords("O", "", "OMA", "");
  // the retention-basin values, not the column defaults 80/60/90/80
  EXPECT_EQ(W("CDSOma", "BSB"), 0);
  EXPECT_EQ(W("CDSOma", "DO2KUE"), 10);
  EXPECT_EQ(AlsText(dm.T("CDSOma").Wert(dm.DetailZeile(dm.T("CDSOma")), "ART")), "Regenrückhaltebecken");
  dm.OMA_RBF_Standard();
  EXPECT_EQ(W("CDSOma", "BSB"), 80);
  EXPECT_EQ(W("CDSOma", "NH4"), 60);
  EXPECT_EQ(W("CDSOma", "DO2"), 60);
  dm.CreateRecords("P", "", "NET", "");
  EXPECT_EQ(AlsText(dm.T("CDSNet").Wert(dm.DetailZeile(dm.T("CDSNet")), "Regenreihe")), "Reinhold (n=1,0)");
  EXPECT_GT(W("CDSNet", "DATUM"), 40000);
  EXPECT_EQ(W("CDSNet", "ID"), 3);
  // a value outside the column's range is refused
  TTabelle& hyd = dm.T("CDSHyd");
  EXPECT_FALSE(hyd.Setze(dm.Aktuell, "RW", 1e8));
  EXPECT_TRUE(hyd.Setze(dm.Aktuell, "RW", 3500000.0));
  dm.CreateDatabase();
  EXPECT_EQ(dm.IDCounter, 0);
  EXPECT_EQ(hyd.Anzahl(), 0);
}

TEST_F(Tabellen, DomesticWastewaterFromWaterUse) {
  dm.CreateRecords("K", "", "KEM", "");
  TTabelle& t = dm.T("CDSKEZ");
  const int z = dm.DetailZeile(t);
  t.Setze(z, "WS", 20.0);
  dm.KEZ_ch_Standard();
  EXPECT_DOUBLE_EQ(W("CDSKEZ", "CHBSB"), 3000);
  EXPECT_DOUBLE_EQ(W("CDSKEZ", "CHNH4"), 548);
  EXPECT_DOUBLE_EQ(W("CDSKEZ", "CHCSB"), 6000);
  EXPECT_TRUE(meldungen.empty());
  t.Setze(z, "WS", 19.9);
  dm.KEZ_ch_Standard();
  EXPECT_EQ(W("CDSKEZ", "CHBSB"), 500);
  EXPECT_EQ(W("CDSKEZ", "CHNH4"), 90);
  ASSERT_EQ(meldungen.size(), 1u);
  EXPECT_EQ(meldungen[0], "Der spezifische Wasserverbrauch ws muss größer als 20 l/(E*d) sein");
}

TEST_F(Tabellen, UserDefaultsFile) {
  const std::string basis = (dir / "p").string();
  ASSERT_TRUE(dm.SaveUserDefaults(basis));
  const std::string text = Lies(basis + ".DEF");
  EXPECT_NE(text.find("CDSKEZWS=120,0\r\n"), std::string::npos);
  EXPECT_NE(text.find("CDSNetPROJEKTNAME='Projekt 1'\r\n"), std::string::npos);
  std::ofstream(basis + "2.DEF") << "CDSKEZWS=150,0\nCDSKEZGIBTSNICHT=1\nunsinn\n";
  TDataModule1 b;
  ASSERT_TRUE(b.LoadUserDefaults(basis + "2.DEF"));
  b.CreateRecords("K", "", "KEM", "");
  const TTabelle& t = b.T("CDSKEZ");
  EXPECT_EQ(AlsZahl(t.Wert(b.DetailZeile(t), "WS")), 150);
  EXPECT_EQ(AlsZahl(t.Wert(b.DetailZeile(t), "X")), 12);  // not in the file: unchanged
}

TEST_F(Tabellen, CommaRepair) {
  // A defaults file of an older version: the decimal commas of number
  // columns become points as it is read, on every line; texts keep their
  // commas; the file itself is only read.
  const std::string p = (dir / "alt.DEF").string();
  const std::string text =
      "CDSHydID=0\r\nCDSKEZWS=150,5\r\nCDSNetRegenreihe='Reinhold (n=1,0)'\r\n"
      "CDSNetPSIA=0.65\r\nCDSNetPROJEKTNAME='Nord, Süd'\r\nCDSKEZX=11,25\r\n";
  std::ofstream(p, std::ios::binary) << text;
  int kommata = -1;
  ASSERT_TRUE(dm.LoadUserDefaults(p, &kommata));
  EXPECT_EQ(Lies(p), text);
  EXPECT_FALSE(fs::exists(p + "~"));
  EXPECT_EQ(kommata, 2);
  const std::tuple<const char*, const char*, const char*> faelle[] = {
      {"CDSKEZ", "WS", "150.5"},
      {"CDSKEZ", "X", "11.25"},
      {"CDSNet", "PSIA", "0.65"},
      {"CDSNet", "Regenreihe", "'Reinhold (n=1,0)'"},
      {"CDSNet", "PROJEKTNAME", "'Nord, Süd'"},
  };
  for (const auto& [tabelle, spalte, ausdruck] : faelle) {
    const TTabelle& t = dm.T(tabelle);
    EXPECT_EQ(t.Vorgabe(t.Schema().Index(spalte)), ausdruck) << tabelle << spalte;
  }
  dm.CreateRecords("K", "", "KEM", "");
  EXPECT_EQ(W("CDSKEZ", "WS"), 150.5);
  EXPECT_EQ(W("CDSKEZ", "X"), 11.25);
  // saved again, the file holds the repaired expressions
  ASSERT_TRUE(dm.SaveUserDefaults((dir / "neu").string()));
  const std::string neu = Lies((dir / "neu.DEF").string());
  for (const char* z : {"CDSKEZWS=150.5\r\n", "CDSNetRegenreihe='Reinhold (n=1,0)'\r\n",
                        "CDSNetPROJEKTNAME='Nord, Süd'\r\n"})
    EXPECT_NE(neu.find(z), std::string::npos) << z;

  EXPECT_EQ(TextZuZahl("12,5", -1), 12.5);
  EXPECT_EQ(TextZuZahl(" 3.25 ", -1), 3.25);
  EXPECT_EQ(TextZuZahl("x", -1), -1);
  EXPECT_EQ(OhneEndung("ordner.neu/projekt.T21"), "ordner.neu/projekt");
  EXPECT_EQ(OhneEndung("ordner.neu/projekt"), "ordner.neu/projekt");
}

TEST_F(Tabellen, NewElementsTakeTheColumnDefaults) {
  Netzbau n;
  TCadShape* s = ElementAnlegen(dm, n.m, "KEM", "Neu", 10, 20);
  const auto& k = n.El<TKEM>("Neu");
  EXPECT_EQ(n.m.CurrentNode(), s);
  EXPECT_EQ(k.WS, 120);
  EXPECT_EQ(k.X, 12);
  EXPECT_EQ(k.CH.BSB, 500);
  EXPECT_EQ(k.NGM, 2);
  EXPECT_EQ(k.PSIe, 0.9);
  EXPECT_EQ(k.MV, -1);
  ElementAnlegen(dm, n.m, "CON", "C", 0, 0);
  EXPECT_EQ(n.El<TCON>("C").TF, 0);
}

TEST_F(Tabellen, ElementsThroughTheTablesAndBack) {
  Netzbau a;
  a.Neu("KEM", "K");
  auto& k = a.El<TKEM>("K");
  k.SetData(400, 60, 100, 7.5, 800, 300, 40, 90, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2.5,
            3, 15, 4, 0.85, 2, 0, 4, 7, 0.25, 1.5, 0.4);
  k.SUM.SetLage(3500000, 5600000, 120, "Hauptstraße");
  k.Memo = {"eins", "zwei"};
  a.Neu("RUB", "B");
  a.El<TRUB>("B").SetData(25, 999999, 800, true, 3, 12, 14, 15, 0.01);
  a.El<TRUB>("B").Script = {"QD := 1;"};
  a.El<TRUB>("B").ScriptActive = true;
  a.Neu("CON", "C");
  a.El<TCON>("C").TF = 4;
  a.Neu("REG", "R");
  a.El<TREG>("R").FileName = "r.reg";
  a.Netz().SetData(700, 0.6, "7", "P", "V", "A", 45000, 1, true, 0.7, 0.06, 2.47, 25, 6, 7.1, 2.5,
                   11, 3, 20, 12, StandardReferenzListen().Kostra.Find("Muster A138 (n=0,1)"), 250);
  a.Neu("EST", "E");
  a.El<TEST>("E").SetData(4, 0.2, 12, 7.0, 2.1, 310, 305, 1500, 2, 1.2, 5, 30, 0.3, 0.4, 12, 4,
                          120, 2500, false, true, false, false, true, "2", "II", "3", 9, 1, true,
                          false, 2, 3, 1, 0, 0.2, true, 80, 500, true, a.Netz());
  a.Neu("OMA", "O");
  a.El<TOMA>("O").SetData(15, 80, 60, 90, 7.1, 2.2, 80, 0.2, "Retentionsbodenfilter", 300,
                          999999, false, 60, 30, 10);
  a.Neu("KLG", "P");
  a.El<TKLG>("P").SetData(5, 3, 7.3, 2.7, 70, a.Netz());
  a.Neu("AEO", "W");
  a.El<TAEO>("W").SetData(2.5, 0.8);
  a.Neu("VBE", "V");
  a.El<TVBE>("V").SetData("Reinhold (n=0,2)", 1.15, 0.8, 20, 10, 2, 1.5, 1e-5, 2e-5, true);
  a.Parent("K", "B");
  dm.SaveComponents(a.m);
  EXPECT_EQ(AlsText(dm.T("CDSHyd").Wert(dm.T("CDSHyd").Finde("VON", "K"), "BIS")), "B");

  Netzbau b;
  for (const char* name : {"K", "B", "C", "R", "E", "O", "P", "W", "V"}) {
    dm.SetCursor(name);
    const std::string typ = AlsText(dm.T("CDSHyd").Wert(dm.Aktuell, "TYP"));
    b.Neu(typ, name);
    dm.GetData(b.Element(name));
  }
  dm.SetCursor(kWurzelName);
  dm.GetData(b.Netz());
  const auto& k2 = b.El<TKEM>("K");
  EXPECT_EQ(k2.CH.AFS, 100);
  EXPECT_EQ(k2.CG.PH, 7.2);
  EXPECT_EQ(k2.NGM, 2.5);
  EXPECT_EQ(k2.N, 4);
  EXPECT_EQ(k2.PSIe, 0.85);
  EXPECT_EQ(k2.SUM.Strasse, "Hauptstraße");
  EXPECT_EQ(k2.SUM.HW, 5600000);
  EXPECT_EQ(k2.Memo, k.Memo);
  EXPECT_TRUE(k2.Script.empty());  // only structures read their script
  const auto& b2 = b.El<TRUB>("B");
  EXPECT_EQ(b2.QD, 25);
  EXPECT_EQ(b2.Volumen, 800);
  EXPECT_EQ(b2.Do2KUE, 14);
  EXPECT_EQ(b2.Script, (std::vector<std::string>{"QD := 1;"}));
  EXPECT_TRUE(b2.ScriptActive);
  EXPECT_EQ(b.El<TCON>("C").TF, 4);
  EXPECT_EQ(b.El<TREG>("R").FileName, "r.reg");
  const auto& e1 = a.El<TEST>("E");
  const auto& e2 = b.El<TEST>("E");
  EXPECT_EQ(e2.Profil.LEN, 1500);
  EXPECT_EQ(e2.GUETE, "II");
  EXPECT_EQ(e2.EUTROPH, "2");
  EXPECT_EQ(e2.WBP.WBP1StrukturU, 3);
  EXPECT_EQ(e2.Lage, 1);
  EXPECT_EQ(e2.Volumen, 500);
  EXPECT_TRUE(e2.Salmoniden);
  EXPECT_NEAR(e2.CV.cPH(), e1.CV.cPH(), 1e-9);
  EXPECT_NEAR(e2.CV.cNH4(), e1.CV.cNH4(), 1e-9);
  EXPECT_EQ(b.El<TOMA>("O").Art, "Retentionsbodenfilter");
  EXPECT_NEAR(b.El<TOMA>("O").ETA.BSB, 0.8, 1e-12);
  EXPECT_EQ(b.El<TOMA>("O").QD, 15);
  EXPECT_EQ(b.El<TKLG>("P").ETA.NH4, 3);
  EXPECT_EQ(b.El<TKLG>("P").ETA.DO2, 70);
  EXPECT_EQ(b.El<TAEO>("W").kD, 2.5);
  EXPECT_EQ(b.El<TVBE>("V").Ls, 20);
  EXPECT_EQ(b.El<TVBE>("V").Reihe, "Reinhold (n=0,2)");
  EXPECT_TRUE(b.El<TVBE>("V").Vorreinigung);
  const TNET& n2 = b.Netz();
  EXPECT_EQ(n2.ProjektName, "P");
  EXPECT_EQ(n2.ZEBEV, 1);
  EXPECT_EQ(n2.Temperatur, 12);
  EXPECT_EQ(n2.mNN, 250);
  EXPECT_EQ(n2.Spenden.values, StandardReferenzListen().Kostra.Find("Muster A138 (n=0,1)")->values);

  // renaming, deleting and checking against the element list
  dm.SetCursor("C");
  dm.ChangeElementName("C", "C2");
  EXPECT_GE(dm.T("CDSHyd").Finde("VON", "C2"), 0);
  const int vorher = dm.T("CDSCON").Anzahl();
  dm.DeleteRecord("C2");
  EXPECT_LT(dm.T("CDSHyd").Finde("VON", "C2"), 0);
  EXPECT_EQ(dm.T("CDSCON").Anzahl(), vorher - 1);
  b.m.DeleteShape(b.Shape("R"));
  b.Neu("KEM", "X");
  dm.CheckDatabase(b.m);
  EXPECT_LT(dm.T("CDSHyd").Finde("VON", "R"), 0);
  EXPECT_EQ(meldungen, (std::vector<std::string>{"C nicht in Datenbank gefunden",
                                                 "X nicht in Datenbank gefunden"}));
}

TEST_F(Tabellen, OldFormatCatchmentsGetTheirSubArea) {
  dm.CreateRecords("K", "", "KEM", "");
  TTabelle& t = dm.T("CDSKEZ");
  t.Setze(dm.DetailZeile(t), "AEK", 12.0);
  t.Setze(dm.DetailZeile(t), "B", 40);
  dm.AltesDateiformat = true;
  TKEM k;
  dm.GetData(k);
  ASSERT_EQ(k.AEs.Liste.size(), 1u);
  EXPECT_EQ(k.AEs.Liste[0].Bezeichnung, " ");
  EXPECT_DOUBLE_EQ(k.AEs.Liste[0].AEb, 4.8);
  EXPECT_EQ(k.AEs.Liste[0].Kategorie, 2);
}
