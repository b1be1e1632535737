// Opening projects by extension and the two older project folders: the
// hand-written folders in daten/ carry deliberate faults; they open, the
// protocol lists every repair and the network computes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "model/elements.h"
#include "storage/altprojekt.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kDaten = fs::path(__FILE__).parent_path() / "daten";
const fs::path kBeispiel =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";

const std::vector<std::string> kSchluss = {
    "Tamkor21 hat wunschgemäß die Daten eines mit dem Programm Tamkor.M7 erstellten Projekts "
    "geladen.",
    "",
    "ToDo:",
    "Die Eingabedaten bedürfen einer händischen Überprüfung und Ergänzung.",
    "Dies betrifft in besonderem Maße die Kostra-Regenspenden der Komponente `geschlossenes "
    "Siedlungsgebiet` sowie die Teilflächeninformationen aller Misch- und Regenwassernetze.",
    "",
    "Hinweis:",
    "Beim Laden wurden alle Regenwasserkonzentrationen von Misch- und Regenwassernetzen entfernt.",
    "Diese gelten nun systemweit und sind als Konstanten im geschlossenen Siedlungsgebiet "
    "definiert.",
    "",
    "Einzelheiten enthält der Abschnitt `Neuerungen gegenüber QTZ TamKor.M7` im Kapitel 1 des "
    "Handbuchs.",
};

std::vector<std::string> MitSchluss(std::vector<std::string> z) {
  z.insert(z.end(), kSchluss.begin(), kSchluss.end());
  return z;
}

std::string Lies(const fs::path& p) {
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
    if (e.is_regular_file()) r[fs::relative(e.path(), ordner).string()] = Lies(e.path());
  return r;
}

void Schreibe(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

// An empty data packet with one text column.
std::string LeeresPaket() {
  return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"NAME\" fieldtype=\"string\" WIDTH=\"32\"/></FIELDS><PARAMS/></METADATA>"
         "<ROWDATA></ROWDATA></DATAPACKET>";
}

class Altprojekt : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_alt_" + std::to_string(::getpid()));
  TM3Model m;
  TDataModule1 dm;

  void SetUp() override {
    fs::create_directories(dir);
    fs::copy(kDaten, dir, fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(dir); }

  TOeffnenErgebnis Oeffnen(const std::string& datei, const TOeffnenOptionen& o = {}) {
    return ProjektOeffnen(m, dm, (dir / datei).string(), o);
  }
  TElement& El(const std::string& name) {
    TCadShape* s = m.GetNode(name);
    EXPECT_TRUE(s) << name;
    return *TM3Model::ElementOf(s);
  }
  std::vector<std::string> Namen() const {
    std::vector<std::string> r;
    for (int i = 0; i < m.Count(); ++i) r.push_back(m.GetNode(i)->Name);
    return r;
  }
};

}  // namespace

TEST_F(Altprojekt, ModFolderWithFaultsOpensListsEveryRepairAndComputes) {
  const auto vorher = Ordnerinhalt(dir);
  const auto e = Oeffnen("mod/Altnetz.MOD");
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_EQ(e.Version, 2);
  EXPECT_EQ(e.Fehlerprotokoll,
            MitSchluss({"TamKor hat beim Öffnen des Projektes Verletzungen der referentiellen "
                        "Integrität festgestellt und behoben.",
                        "Bitte Überprüfen Sie unbedingt die Eingabedaten folgender Komponenten und "
                        "korrigieren Sie diese erforderlichenfalls.",
                        "", "\tGewerbe", "\tNeubau",
                        "\tAltstadt:: doppelter Name, umbenannt in Altstadt_2",
                        "\tNeubau:: Name der Zielkomponente korrigiert."}));
  EXPECT_TRUE(e.Repariert());

  // Decimal commas: read as the numbers they are, every file as it was (no
  // copy beside it either), each file with commas noted.
  EXPECT_EQ(Ordnerinhalt(dir), vorher);
  for (const char* f : {"Altnetz.MOD", "Altnetz_SHP.xml", "Altnetz_HYD.xml", "Altnetz_KEZ.xml",
                        "Altnetz_CON.xml", "Altnetz_EST.xml", "Altnetz_NET.xml"}) {
    const std::string datei = (dir / "mod" / f).string();
    EXPECT_TRUE(std::any_of(e.Hinweise.begin(), e.Hinweise.end(), [&](const std::string& h) {
      return h.rfind("In der Datei " + datei + " wurden ", 0) == 0 &&
             h.find(" mit Dezimalkomma gelesen; die Datei bleibt unverändert.") !=
                 std::string::npos;
    })) << f;
  }
  EXPECT_EQ(El("Altstadt").SUM.RW, 3512345.5);
  EXPECT_EQ(El("Altstadt").SUM.Strasse, "Hauptstraße");
  EXPECT_EQ(dynamic_cast<TCON&>(El("Sammler")).TF, 5.5);
  EXPECT_EQ(m.GetNode("Altstadt")->X1, 20.5);
  EXPECT_EQ(m.ParViewSettings.OrgX, -12.5);
  EXPECT_EQ(m.ParViewSettings.Zoom, 1.25);
  EXPECT_FALSE(m.ParViewSettings.ShowGEW);
  EXPECT_TRUE(m.Font.Fett);
  EXPECT_EQ(m.ParViewSettings.ShowGrid, TAnsichtEinstellungen{}.ShowGrid);  // 20 fields only

  // Missing side files and optional tables: skipped, the lists as they were.
  EXPECT_TRUE(m.PrintList.empty());
  EXPECT_EQ(m.Referenz.SWGanglinien.Count(), StandardReferenzListen().SWGanglinien.Count());
  EXPECT_EQ(m.Referenz.FWGanglinien.Count(), StandardReferenzListen().FWGanglinien.Count());

  // The model: root first and invisible, the shapes in their stored order
  // (the selection does not move them), the renamed shape with its own
  // record, the duplicate IDs each with its own.
  EXPECT_EQ(Namen(), (std::vector<std::string>{kWurzelName, "Altstadt", "Altstadt_2", "Neubau",
                                               "Gewerbe", "Sammler", "RÜB 1", "Bach", "Notiz"}));
  EXPECT_EQ(m.Selection(), std::vector<TCadShape*>{m.Liste.Find("RÜB 1")});
  EXPECT_FALSE(m.Root()->Visible);
  EXPECT_EQ(m.CurrentNode() ? m.CurrentNode()->Name : "", "RÜB 1");
  EXPECT_EQ(dynamic_cast<TKEM&>(El("Altstadt")).ED, 60);
  EXPECT_EQ(dynamic_cast<TKEM&>(El("Altstadt_2")).ED, 50);
  EXPECT_EQ(dynamic_cast<TKEM&>(El("Neubau")).ED, 45);
  EXPECT_EQ(dynamic_cast<TKES&>(El("Gewerbe")).QG, 0.8);
  EXPECT_EQ(m.GetNode("Neubau")->Parent(), m.Root());
  EXPECT_EQ(m.GetNode("Altstadt_2")->Parent(), m.GetNode("Sammler"));
  EXPECT_EQ(m.GetNode("RÜB 1")->KUE(), m.GetNode("Bach"));
  EXPECT_EQ(m.GetNode("Altstadt")->KUE(), nullptr);
  EXPECT_TRUE(dynamic_cast<TRUB*>(&El("RÜB 1")));
  EXPECT_EQ(dynamic_cast<TRUB&>(El("RÜB 1")).QD, 35.5);
  EXPECT_EQ(dynamic_cast<TEST&>(El("Bach")).Profil.LEN, 1500);
  EXPECT_EQ(m.Netz().ProjektName, "Altnetz");
  EXPECT_EQ(m.GetNode("Notiz")->Val, "Altnetz, Stand 1998");  // texts keep their commas
  // The legacy sub-area of every catchment; the flag ends with the load.
  const auto& flaechen = dynamic_cast<TKEM&>(El("Altstadt")).AEs.Liste;
  ASSERT_EQ(flaechen.size(), 1u);
  EXPECT_EQ(flaechen[0].AE, 12.5);
  EXPECT_EQ(flaechen[0].B, 40);
  EXPECT_EQ(flaechen[0].AEb, 5.0);
  EXPECT_FALSE(m.AltesDateiformat);
  EXPECT_FALSE(dm.AltesDateiformat);
  for (const auto& [name, t] : dm.Tabellen) EXPECT_EQ(t->Anzahl(), 0) << name;

  // It computes: the discharge point receives both parts of the old town
  // and the commercial area, finite in every case.
  const TElement& bach = El("Bach");
  EXPECT_EQ(bach.SUM.E, 12.5 * 60 + 8 * 50);
  for (int i = 0; i < kAnzahlQr; ++i) {
    EXPECT_TRUE(std::isfinite(bach.AB[i].Q));
    EXPECT_GT(bach.AB[i].Q, 0);
  }
  EXPECT_GT(dynamic_cast<TRUB&>(El("RÜB 1")).Verf, 0);

  // Written in the current format, it reads back without remarks.
  std::string fehler;
  ASSERT_TRUE(A3_SaveAs(m, (dir / "neu").string(), fehler)) << fehler;
  TM3Model neu;
  const auto l = A3_Laden(neu, (dir / "neu").string());
  ASSERT_TRUE(l.Ok) << l.Fehler;
  EXPECT_TRUE(l.Hinweise.empty());
  EXPECT_EQ(neu.Count(), m.Count());
  EXPECT_EQ(TM3Model::ElementOf(neu.GetNode("Bach"))->SUM.E, bach.SUM.E);
}

TEST_F(Altprojekt, TreFolderIsRepairedAsDocumented) {
  const auto e = Oeffnen("tre/Uralt.TRE");
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_EQ(e.Version, 1);
  EXPECT_EQ(e.Fehlerprotokoll,
            MitSchluss({"TamKor hat beim Laden des mit der Version 1 erstellten Projekts folgende "
                        "Fehler behoben:",
                        "\tOberdorf:: wird gelöscht (doppelter Name)",
                        "\tGeist:: wird gelöscht (kein Master-Datensatz)",
                        "\tBach:: wird gelöscht (kein Master-Datensatz)",
                        "\t~RÜ Dorf:: wird gelöscht (kein Master-Datensatz)",
                        "\tgeschlossenes Siedlungsgebiet:: Name der Zielkomponente korrigiert.",
                        "\tOhneziel:: gelöscht (Zielkomponente ist nicht definiert)",
                        "\tOhnedetail:: gelöscht (kein Detail-Datensatz)",
                        "\tWaise:: gelöscht (ungültige Zielkomponente)",
                        "\tRÜB Alt:: gelöscht (ungültige Zielkomponente)",
                        "\tFolger:: gelöscht (ungültige Zielkomponente)"}));

  EXPECT_EQ(Namen(),
            (std::vector<std::string>{kWurzelName, "Oberdorf", "Unterdorf", "RÜ Dorf", "Bach"}));
  EXPECT_EQ(m.GetNode("Oberdorf")->Typ(), "KEM");
  EXPECT_EQ(m.GetNode("RÜ Dorf")->Typ(), "RU");
  // Links: successors by name, the overflow from the "~" record, the
  // receiving water found downstream over the overflow.
  EXPECT_EQ(m.GetNode("Oberdorf")->Parent(), m.GetNode("RÜ Dorf"));
  EXPECT_EQ(m.GetNode("Bach")->Parent(), m.Root());
  EXPECT_EQ(m.GetNode("RÜ Dorf")->KUE(), m.GetNode("Bach"));
  EXPECT_EQ(m.GetNode("Oberdorf")->GEW(), m.GetNode("Bach"));
  EXPECT_EQ(m.GetNode("Unterdorf")->GEW(), m.GetNode("Bach"));
  // The tree layout: 200 units per step downstream, a row per branch.
  const std::tuple<const char*, double, double> lage[] = {{kWurzelName, 0, 100},
                                                          {"Bach", 200, 100},
                                                          {"Unterdorf", 400, 0},
                                                          {"RÜ Dorf", 400, 100},
                                                          {"Oberdorf", 600, 100}};
  for (const auto& [name, x, y] : lage) {
    EXPECT_EQ(m.GetNode(name)->X1, x) << name;
    EXPECT_EQ(m.GetNode(name)->Y1, y) << name;
  }
  EXPECT_EQ(m.GetNode("Oberdorf")->X2, 650);
  EXPECT_EQ(m.GetNode("Oberdorf")->Y2, 150);

  // The trimmed names found their records; the legacy sub-area.
  const auto& ober = dynamic_cast<TKEM&>(El("Oberdorf"));
  EXPECT_EQ(ober.ED, 60);
  ASSERT_EQ(ober.AEs.Liste.size(), 1u);
  const TAE& a = ober.AEs.Liste[0];
  EXPECT_EQ(a.Bezeichnung, " ");
  EXPECT_EQ(a.AE, 12.5);
  EXPECT_EQ(a.B, 40);
  EXPECT_EQ(a.fD, 1.0);
  EXPECT_EQ(a.AEb, 5.0);
  EXPECT_EQ(a.Kategorie, 2);
  EXPECT_EQ(dynamic_cast<TRU&>(El("RÜ Dorf")).QD, 20);
  EXPECT_EQ(m.Netz().HNA, 820);

  EXPECT_EQ(El("Bach").SUM.E, 12.5 * 60);
  EXPECT_GT(El("Bach").AB[3].Q, 0);

  // A catchment created afterwards gets no legacy sub-area.
  TCadShape* neu = ElementAnlegen(dm, m, "KEM", "Neu", 0, 0);
  EXPECT_TRUE(dynamic_cast<TKEM*>(TM3Model::ElementOf(neu))->AEs.Liste.empty());
}

TEST_F(Altprojekt, RefusedFilesLeaveTheModelUnchanged) {
  fs::remove(dir / "tre" / "Uralt.KEZ");
  struct Fall {
    std::string datei;
    std::vector<std::string> offen;
    const char* meldung;
  };
  const Fall faelle[] = {
      {"tre/Uralt.txt", {}, kUngueltigeDateibezeichnung},
      {"tre/Uralt", {}, kUngueltigeDateibezeichnung},
      {"mod/Altnetz.MOD", {(dir / "mod" / "Altnetz").string()}, kModellBereitsGeladen},
      {"tre/Uralt.TRE", {}, kProjektUnvollstaendig},
  };
  m.CreateNewShape("KEM", "Vorher", 0, 0);
  for (const Fall& f : faelle) {
    TOeffnenOptionen o;
    o.OffeneModelle = f.offen;
    const auto e = Oeffnen(f.datei, o);
    EXPECT_FALSE(e.Ok) << f.datei;
    EXPECT_EQ(e.Meldung, f.meldung) << f.datei;
    EXPECT_TRUE(e.Fehlerprotokoll.empty());
    EXPECT_EQ(m.Count(), 2);
    EXPECT_FALSE(m.AltesDateiformat);
  }
  EXPECT_EQ(std::string(kProjektUnvollstaendig),
            "Die Projektdateien sind nicht vollständig.\rDas Projekt kann nicht geladen werden.");
  const auto e = Oeffnen("tre/Uralt.TRE");
  ASSERT_EQ(e.Hinweise.size(), 1u);
  EXPECT_NE(e.Hinweise[0].find("Uralt.KEZ"), std::string::npos);
  // Files a version may lack; names that differ in case are found.
  TAltprojekt lader(dm);
  EXPECT_TRUE(lader.AlleDateienDa((dir / "mod" / "Altnetz").string(), 2));
  fs::rename(dir / "mod" / "Altnetz_EST.xml", dir / "mod" / "ALTNETZ_EST.XML");
  EXPECT_TRUE(lader.AlleDateienDa((dir / "mod" / "Altnetz").string(), 2));
  fs::remove(dir / "mod" / "Altnetz_SHP.xml");
  EXPECT_EQ(lader.FehlendeDatei((dir / "mod" / "Altnetz").string(), 2),
            (dir / "mod" / "Altnetz_SHP.xml").string());
}

TEST_F(Altprojekt, BinaryPacketIsNamedAsUnreadable) {
  Schreibe(dir / "tre" / "Uralt.KEZ", std::string("\x96\x19\xE0\xBD\x01\x00\x00\x00\x12\x00", 10));
  const auto e = Oeffnen("tre/Uralt.TRE");
  EXPECT_FALSE(e.Ok);
  EXPECT_NE(e.Meldung.find("Uralt.KEZ"), std::string::npos) << e.Meldung;
  EXPECT_NE(e.Meldung.find("binärer Form"), std::string::npos) << e.Meldung;
  for (const auto& [name, t] : dm.Tabellen) EXPECT_EQ(t->Anzahl(), 0) << name;
}

TEST_F(Altprojekt, EmptyFolderGivesANewEmptyProject) {
  fs::create_directories(dir / "leer");
  Schreibe(dir / "leer" / "Leer.TRE", "");
  for (const char* code : {"HYD", "NET", "KEZ", "EBW", "KLG", "OMA", "EST"})
    Schreibe(dir / "leer" / (std::string("Leer.") + code), LeeresPaket());
  const auto e = Oeffnen("leer/Leer.TRE");
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_EQ(e.Fehlerprotokoll, MitSchluss({"\tDas System hat kein geschlossenes Siedlungsgebiet",
                                           "\tTamKor hat ein neues leeres Projekt angelegt"}));
  ASSERT_EQ(m.Count(), 1);
  EXPECT_TRUE(dynamic_cast<TNET*>(TM3Model::ElementOf(m.Root())));
  EXPECT_EQ(m.Root()->Name, kWurzelName);
}

TEST_F(Altprojekt, SideFilesAndWindowsCharacters) {
  const fs::path d = dir / "tre";
  Schreibe(d / "Uralt.DEF",
           "CDSKEZWS=180,5\r\nCDSUnbekanntX=1\r\nCDSNetRegenreihe='Reinhold (n=1,0)'\r\n");
  Schreibe(d / "Uralt.PRL", "Bach\r\nOberdorf\r\n");
  std::string tw =
      "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
      "<FIELD attrname=\"NR\" fieldtype=\"i4\"/><FIELD attrname=\"NAME\" fieldtype=\"string\" "
      "WIDTH=\"32\"/>";
  for (int h = 0; h < 24; ++h)
    tw += "<FIELD attrname=\"H" + std::to_string(h) + "\" fieldtype=\"r8\"/>";
  tw += "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW NR=\"0\" NAME=\"Eigene\"";
  for (int h = 0; h < 24; ++h)
    tw += " H" + std::to_string(h) + "=\"" + (h < 12 ? "0,5" : "1,5") + "\"";
  tw += "/></ROWDATA></DATAPACKET>";
  Schreibe(d / "Uralt_TWGanglinien.XML", tw);
  // No infiltration hydrographs of the project: the program folder's.
  fs::create_directories(dir / "programm");
  std::string fw =
      "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
      "<FIELD attrname=\"NR\" fieldtype=\"i4\"/><FIELD attrname=\"NAME\" fieldtype=\"string\" "
      "WIDTH=\"32\"/>";
  for (int h = 1; h <= 12; ++h)
    fw += "<FIELD attrname=\"H" + std::to_string(h) + "\" fieldtype=\"r8\"/>";
  fw += "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW NR=\"0\" NAME=\"Programm\"";
  for (int h = 1; h <= 12; ++h) fw += " H" + std::to_string(h) + "=\"1.25\"";
  fw += "/><ROW NR=\"1\" NAME=\"Zweite\"/></ROWDATA></DATAPACKET>";
  Schreibe(dir / "programm" / "FWGanglinien.XML", fw);
  // A project name in the Windows code page.
  std::string net = Lies(d / "Uralt.NET");
  net.replace(net.find("PROJEKTNAME=\"Uralt\""), 19, "PROJEKTNAME=\"Gr\xFCnau\"");
  Schreibe(d / "Uralt.NET", net);

  TOeffnenOptionen o;
  o.Programmordner = (dir / "programm").string();
  const auto vorher = Ordnerinhalt(dir);
  const auto e = Oeffnen("tre/Uralt.TRE", o);
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_EQ(Ordnerinhalt(dir), vorher);  // every file only read
  EXPECT_EQ(m.PrintList, (std::vector<std::string>{"Bach", "Oberdorf"}));
  const TTabelle& kez = dm.T("CDSKEZ");
  const TTabelle& cdsNet = dm.T("CDSNet");
  EXPECT_EQ(kez.Vorgabe(kez.Schema().Index("WS")), "180.5");
  EXPECT_EQ(cdsNet.Vorgabe(cdsNet.Schema().Index("Regenreihe")), "'Reinhold (n=1,0)'");
  ASSERT_EQ(m.Referenz.SWGanglinien.Count(), 1);
  EXPECT_EQ(m.Referenz.SWGanglinien.Eintraege[0].name, "Eigene");
  EXPECT_EQ(m.Referenz.SWGanglinien.Eintraege[0].werte[0], 0.5);
  EXPECT_EQ(m.Referenz.SWGanglinien.Eintraege[0].werte[23], 1.5);
  ASSERT_EQ(m.Referenz.FWGanglinien.Count(), 2);
  EXPECT_EQ(m.Referenz.FWGanglinien.Eintraege[0].name, "Programm");
  EXPECT_EQ(m.Referenz.FWGanglinien.Eintraege[0].werte[11], 1.25);
  EXPECT_FALSE(fs::exists(d / "Uralt_TWGanglinien.XML~"));
  EXPECT_EQ(m.Netz().ProjektName, "Grünau");
  EXPECT_TRUE(std::any_of(e.Hinweise.begin(), e.Hinweise.end(), [](const std::string& h) {
    return h.find("Uralt.NET") != std::string::npos && h.find("Windows") != std::string::npos;
  }));

  // Saving writes the project in the current format and the repaired
  // defaults; the folder's older files stay.
  std::string fehler;
  ASSERT_TRUE(Speichern(m, fehler, &dm)) << fehler;
  const std::string def = Lies(d / "Uralt.DEF");
  EXPECT_NE(def.find("CDSKEZWS=180.5\r\n"), std::string::npos);
  EXPECT_NE(def.find("CDSNetRegenreihe='Reinhold (n=1,0)'\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(d / "Uralt.T21"));
  EXPECT_FALSE(fs::exists(d / "Uralt.T21~"));
  EXPECT_EQ(Lies(d / "Uralt.KEZ"), vorher.at("tre/Uralt.KEZ"));
}

TEST_F(Altprojekt, ProjectFileOpensWithoutProtocol) {
  const auto e = ProjektOeffnen(m, dm, (kBeispiel / "Beispiel.t21").string());
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_EQ(e.Version, 3);
  EXPECT_TRUE(e.Fehlerprotokoll.empty());
  EXPECT_FALSE(e.Repariert());
  EXPECT_EQ(m.Name, "Beispiel");
  EXPECT_FALSE(m.AltesDateiformat);
  EXPECT_TRUE(m.GetNode("Einleitung Mühlbach"));
}

TEST_F(Altprojekt, SuccessorsInACircleAreLinkedToTheRoot) {
  const fs::path shp = dir / "mod" / "Altnetz_SHP.xml";
  std::string text = Lies(shp);
  const std::string alt = "Parent=\"geschlossenes Siedlungsgebiet\"";
  ASSERT_EQ(text.find(alt), text.rfind(alt));
  text.replace(text.find(alt), alt.size(), "Parent=\"Sammler\"");
  Schreibe(shp, text);
  const auto e = Oeffnen("mod/Altnetz.MOD");
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_NE(std::find(e.Fehlerprotokoll.begin(), e.Fehlerprotokoll.end(),
                      "\tBach:: Name der Zielkomponente korrigiert."),
            e.Fehlerprotokoll.end());
  EXPECT_EQ(m.GetNode("Bach")->Parent(), m.Root());
  EXPECT_EQ(El("Bach").SUM.E, 12.5 * 60 + 8 * 50);
}

// 10,000 shapes of one name get the free names _2 to _10001 (the search for
// each began again at _2, quadratic in the count).
TEST_F(Altprojekt, ManyShapesOfOneNameGetFreeNames) {
  const fs::path shp = dir / "mod" / "Altnetz_SHP.xml";
  std::string text = Lies(shp);
  const size_t a = text.find("<ROW Name=\"Notiz\"");
  ASSERT_NE(a, std::string::npos);
  const std::string zeile = text.substr(a, text.find("/>", a) + 2 - a);
  std::string viele;
  for (int i = 0; i < 10000; ++i) viele += zeile;
  text.insert(a, viele);
  Schreibe(shp, text);
  const auto e = Oeffnen("mod/Altnetz.MOD");
  ASSERT_TRUE(e.Ok) << e.Meldung;
  const auto namen = Namen();
  EXPECT_EQ(std::set<std::string>(namen.begin(), namen.end()).size(), namen.size());
  EXPECT_NE(m.GetNode("Notiz_10001"), nullptr);
  EXPECT_EQ(m.GetNode("Notiz_10002"), nullptr);
}
