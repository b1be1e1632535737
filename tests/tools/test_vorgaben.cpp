// The default values editor: the rows and their fields, resets of one and
// of all columns that take effect only when taken over, and the defaults
// file of a project.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/dokument.h"
#include "storage/projekttabellen.h"
#include "tools/vorgaben.h"

using namespace t21;

namespace {

int Zeile(const TVorgabenEditor& e, const std::string& feld) {
  for (int k = 0; k < e.Anzahl(); ++k)
    if (e.Zeilen()[static_cast<size_t>(k)].Feld == feld) return k;
  return -1;
}

std::string Inhalt(const std::string& datei) {
  std::ifstream f(datei, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

}  // namespace

TEST(Vorgaben, ZeilenUndFelder) {
  TDataModule1 dm;
  TVorgabenEditor e(dm);
  ASSERT_EQ(e.Anzahl(), static_cast<int>(dm.StandardVorgaben.size()));
  EXPECT_EQ(e.Zeilen().front().Feld, "HYD.ID");
  EXPECT_GE(Zeile(e, "NET.PRrojektName"), 0);
  EXPECT_GE(Zeile(e, "NET.cS"), 0);
  for (const auto& z : e.Zeilen()) EXPECT_EQ(z.Wert, z.Standard) << z.Feld;

  struct Fall {
    const char *feld, *min, *max, *typ, *standard;
  };
  for (const Fall& f : {
           Fall{"KEZ.Wasserverbrauch", "", "1000", "Fliesskommazahl", "120,0"},
           Fall{"KEZ.MittlereGeländeneigungsGruppe", "1", "4", "Fliesskommazahl", "2,0"},
           Fall{"KEZ.MV", "-1", "10", "Fliesskommazahl", "-1"},
           Fall{"KEZ.Befestigungsgrad", "", "100", "Ganzzahl", "0"},
           Fall{"EBW.xDI", "", "1,1", "Fliesskommazahl", "0,00"},
           Fall{"EST.n", "", "", "Fliesskommazahl", "0,5"},
           Fall{"HYD.ScriptAktiv", "", "", "Boolean", "FALSE"},
           Fall{"NET.Regenreihe", "", "", "Text", "'Reinhold (n=1,0)'"},
           Fall{"NET.Datum", "", "", "Datum", ""},
       }) {
    const int k = Zeile(e, f.feld);
    ASSERT_GE(k, 0) << f.feld;
    EXPECT_EQ(e.MinText(k), f.min) << f.feld;
    EXPECT_EQ(e.MaxText(k), f.max) << f.feld;
    EXPECT_EQ(e.TypText(k), f.typ) << f.feld;
    EXPECT_EQ(e.Zeilen()[static_cast<size_t>(k)].Standard, f.standard) << f.feld;
  }
  EXPECT_EQ(e.TypText(-1), "");
  EXPECT_EQ(e.MinText(e.Anzahl()), "");
}

TEST(Vorgaben, ZuruecksetzenErstMitUebernehmen) {
  TDataModule1 dm;
  TTabelle& kez = dm.T("CDSKEZ");
  const int ws = kez.Schema().Index("WS"), qf = kez.Schema().Index("QF");
  kez.SetzeVorgabe(ws, "150");
  kez.SetzeVorgabe(qf, "0.1");
  dm.T("CDSNet").SetzeVorgabe(dm.T("CDSNet").Schema().Index("PROJEKTNAME"), "'Anwender'");

  TVorgabenEditor e(dm);
  const int k = Zeile(e, "KEZ.Wasserverbrauch");
  EXPECT_EQ(e.Zeilen()[static_cast<size_t>(k)].Wert, "150");
  EXPECT_FALSE(e.Geaendert());
  e.Zuruecksetzen(k);
  EXPECT_EQ(e.Zeilen()[static_cast<size_t>(k)].Wert, "120,0");
  EXPECT_TRUE(e.Geaendert());
  // Not yet in force: cancelling drops the editor and the column keeps 150.
  EXPECT_EQ(kez.Vorgabe(ws), "150");
  e.Uebernehmen(dm);
  EXPECT_EQ(kez.Vorgabe(ws), "120,0");
  EXPECT_EQ(kez.Vorgabe(qf), "0.1");

  TVorgabenEditor alle(dm);
  alle.AlleZuruecksetzen();
  for (const auto& z : alle.Zeilen()) EXPECT_EQ(z.Wert, z.Standard) << z.Feld;
  alle.Uebernehmen(dm);
  EXPECT_EQ(kez.Vorgabe(qf), "0,0");
  EXPECT_FALSE(TVorgabenEditor(dm).Geaendert());
  // A new record takes the reset default.
  const int z = dm.NewRecord(kez);
  EXPECT_DOUBLE_EQ(AlsZahl(kez.Wert(z, "QF")), 0);
}

TEST(Vorgaben, DefDatei) {
  const auto ordner = std::filesystem::temp_directory_path() / "t21_vorgaben_test";
  std::filesystem::remove_all(ordner);
  std::filesystem::create_directories(ordner);
  const std::string basis = (ordner / "P").string();
  {
    std::ofstream f(basis + ".DEF", std::ios::binary);
    f << "CDSKEZWS=135\r\nCDSNetPROJEKTNAME='Aus Datei'\r\nCDSXXXYY=1\r\n";
  }
  TDataModule1 dm;
  ASSERT_TRUE(dm.LoadUserDefaults(basis + ".DEF"));
  TVorgabenEditor e(dm);
  // A value read from the file shows until it is reset.
  const int ws = Zeile(e, "KEZ.Wasserverbrauch");
  const int name = Zeile(e, "NET.PRrojektName");
  EXPECT_EQ(e.Zeilen()[static_cast<size_t>(ws)].Wert, "135");
  EXPECT_EQ(e.Zeilen()[static_cast<size_t>(name)].Wert, "'Aus Datei'");
  e.Zuruecksetzen(ws);
  e.Uebernehmen(dm);
  ASSERT_TRUE(dm.SaveUserDefaults(basis));
  const std::string def = Inhalt(basis + ".DEF");
  EXPECT_NE(def.find("CDSKEZWS=120,0\r\n"), std::string::npos);
  EXPECT_NE(def.find("CDSNetPROJEKTNAME='Aus Datei'\r\n"), std::string::npos);
  EXPECT_EQ(def.find("CDSXXXYY"), std::string::npos);

  // The defaults of one module held for another (all open projects).
  TDataModule1 anderes;
  VorgabenUebertragen(dm, anderes);
  EXPECT_EQ(anderes.T("CDSNet").Vorgabe(anderes.T("CDSNet").Schema().Index("PROJEKTNAME")),
            "'Aus Datei'");
  EXPECT_EQ(anderes.T("CDSKEZ").Vorgabe(anderes.T("CDSKEZ").Schema().Index("WS")), "120,0");
  std::filesystem::remove_all(ordner);
}

TEST(Vorgaben, MitDemProjektGespeichert) {
  const auto ordner = std::filesystem::temp_directory_path() / "t21_vorgaben_projekt";
  std::filesystem::remove_all(ordner);
  std::filesystem::create_directories(ordner);
  const std::string datei = (ordner / "P").string();
  {
    TDokument d;
    TDataModule1& dm = d.VorgabenTabellen();
    dm.T("CDSKEZ").SetzeVorgabe(dm.T("CDSKEZ").Schema().Index("WS"), "135");
    dm.T("CDSKEZ").SetzeVorgabe(dm.T("CDSKEZ").Schema().Index("QF"), "0.2");
    TVorgabenEditor e(dm);
    e.Zuruecksetzen(Zeile(e, "KEZ.Wasserverbrauch"));
    e.Uebernehmen(dm);
    std::string fehler;
    ASSERT_TRUE(d.SpeichernUnter(datei, fehler)) << fehler;
  }
  const std::string def = Inhalt(datei + ".DEF");
  EXPECT_NE(def.find("CDSKEZWS=120,0\r\n"), std::string::npos);
  EXPECT_NE(def.find("CDSKEZQF=0.2\r\n"), std::string::npos);
  // Opening the project brings its defaults back.
  TLadeErgebnis le;
  auto d = TDokument::Oeffnen(datei, le);
  ASSERT_TRUE(d) << le.Fehler;
  TVorgabenEditor e(d->Tabellen());
  EXPECT_EQ(e.Zeilen()[static_cast<size_t>(Zeile(e, "KEZ.FremdwasserSpende"))].Wert, "0.2");
  std::filesystem::remove_all(ordner);
}
