// The commands ereignis and abgleich on the example project: their output,
// the files they write and their refusals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/abgleich.h"
#include "cli/ereignis.h"
#include "cli/simulieren.h"
#include "model/regen.h"
#include "storage/datenpaket.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel = fs::path(T21_QUELLE) / "beispiel";

class EreignisBefehle : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_cli_ereignis_" + std::to_string(getpid()));
  TM3Model m;
  std::ostringstream out, err;

  void SetUp() override {
    fs::create_directories(dir);
    const TLadeErgebnis g = A3_Laden(m, (kBeispiel / "Beispiel").string());
    ASSERT_TRUE(g.Ok) << g.Fehler;
    for (int i = 0; i < m.Count(); ++i)
      if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
        r->SetData((kBeispiel / r->FileName).string());
  }
  void TearDown() override { fs::remove_all(dir); }

  TEreignisOptionen Januar() {
    TEreignisOptionen o;
    o.Von = "2001-01-01";
    o.Bis = "2001-01-31";
    o.Nr = 2;
    o.Element = "RÜB Mitte";
    return o;
  }
  std::vector<std::string> Zeilen() const {
    std::vector<std::string> z;
    std::istringstream in(out.str());
    for (std::string s; std::getline(in, s);) z.push_back(s);
    return z;
  }
};

}  // namespace

TEST_F(EreignisBefehle, EreignisAlsTsvUndDateien) {
  TEreignisOptionen o = Januar();
  o.Aus = (dir / "rueb.xlsx").string();
  ASSERT_EQ(Ereignis(m, o, out, err), 0) << err.str();
  const auto z = Zeilen();
  ASSERT_GT(z.size(), 10u);
  EXPECT_EQ(z[0], "Zeit\tQD [l/s]\tSpeicher [m3]\tZufluss [l/s]\tQBUE [l/s]\tQKUE [l/s]");
  EXPECT_EQ(z[1].rfind("2001-01-", 0), 0u) << z[1];
  EXPECT_NE(err.str().find("RÜB Mitte: Ereignis 2 - "), std::string::npos) << err.str();
  EXPECT_GT(fs::file_size(o.Aus), 0u);

  // Any other name is written as a data packet with the extension ".xml";
  // a table parameter chooses the table.
  out.str("");
  o.Element = "Einleitung Mühlbach";
  o.Parameter = "Hydraulik";
  o.Aus = (dir / "est.GL").string();
  ASSERT_EQ(Ereignis(m, o, out, err), 0) << err.str();
  EXPECT_EQ(Zeilen()[0], "Zeit\tQ [l/s]\tv [m/s]\th [m]\thm [m]\tk2 [1/h]\ttc [h]");
  std::string fehler;
  const auto t = LiesPaket((dir / "est.xml").string(), fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_EQ(t->Anzahl() + 1, static_cast<int>(Zeilen().size()));
  EXPECT_EQ(t->Schema().Felder[2].Name, "v");
}

TEST_F(EreignisBefehle, EreignisAlsJson) {
  TEreignisOptionen o = Januar();
  o.Element = "Einleitung Mühlbach";
  o.Parameter = "Dosis NH3";
  o.Ausgabe = Format::Json;
  ASSERT_EQ(Ereignis(m, o, out, err), 0) << err.str();
  const std::string j = out.str();
  EXPECT_EQ(j.rfind("{\"Titel\":\"Einleitung Mühlbach: Ereignis 2 - ", 0), 0u) << j.substr(0, 80);
  EXPECT_NE(j.find("\"Label\":\"kumulierter Grenzwert [g]\""), std::string::npos);
  EXPECT_NE(j.find("\"Grenzwert\":"), std::string::npos);
  EXPECT_EQ(j.back(), '\n');
}

TEST_F(EreignisBefehle, EreignisAbweisungen) {
  struct Fall {
    const char* name;
    void (*aendern)(TEreignisOptionen&);
    int code;
    const char* meldung;
  };
  const Fall faelle[] = {
      {"Nummer", [](TEreignisOptionen& o) { o.Nr = 500; }, 1, "Es gibt kein Ereignis 500"},
      {"Element", [](TEreignisOptionen& o) { o.Element = "Nirgends"; }, 1,
       "Die Komponente Nirgends gibt es nicht"},
      {"Parameter", [](TEreignisOptionen& o) { o.Parameter = "Mulden"; }, 1,
       "Den Parameter \"Mulden\" gibt es hier nicht"},
      {"Datum", [](TEreignisOptionen& o) { o.Von = "32.13.2001"; }, 2, "kein gültiges Datum"},
  };
  for (const Fall& f : faelle) {
    TEreignisOptionen o = Januar();
    f.aendern(o);
    err.str("");
    EXPECT_EQ(Ereignis(m, o, out, err), f.code) << f.name;
    EXPECT_NE(err.str().find(f.meldung), std::string::npos) << f.name << ": " << err.str();
  }
}

TEST_F(EreignisBefehle, AbgleichMitDerEigenenGanglinie) {
  TAbgleichOptionen o;
  o.Element = "Altstadt";
  EXPECT_EQ(Abgleich(m, o, out, err), 2);
  EXPECT_NE(err.str().find("--von und --bis"), std::string::npos);

  o.Von = "2001-01-13";
  o.Bis = "2001-01-14";
  o.Speichern = (dir / "altstadt.MGL").string();
  ASSERT_EQ(Abgleich(m, o, out, err), 0) << err.str();
  EXPECT_TRUE(out.str().empty());
  std::ifstream in(o.Speichern);
  std::string kopf;
  std::getline(in, kopf);
  EXPECT_EQ(kopf, "T;Q\r");

  TAbgleichOptionen v;
  v.Element = "Altstadt";
  v.Messung = o.Speichern;
  ASSERT_EQ(Abgleich(m, v, out, err), 0) << err.str();
  EXPECT_EQ(out.str(),
            "VOL:\t0,000\tVolumen-Abweichung\nREFF:\t1,000\tGanglinien-Abweichung\n"
            "SA:\t0,000\tScheitelabfluss-Abweichung\n");

  std::ofstream(dir / "kaputt.MGL") << "T;Q\n13.01.2001 00:00:00;1\n13.01.2001;\n";
  v.Messung = (dir / "kaputt.MGL").string();
  err.str("");
  EXPECT_EQ(Abgleich(m, v, out, err), 2);
  EXPECT_NE(err.str().find("Ungültiger Eintrag in Zeile 2 der Messwert-Datei"), std::string::npos)
      << err.str();
  v.Messung.clear();
  v.Von = "2001-01-13";
  v.Bis = "2001-01-14";
  v.Element = "Nirgends";
  EXPECT_EQ(Abgleich(m, v, out, err), 1);
}

// t21 simulate --out keeps the start states; t21 ereignis --ergebnisse then
// gives what it gives after running the long simulation itself, and a run
// saved without them is refused with the reason.
TEST_F(EreignisBefehle, EreignisAusGespeichertemLauf) {
  TSimulierOptionen s;
  s.Von = "2001-01-01";
  s.Bis = "2001-01-31";
  s.Aus = dir.string();
  s.Basis = "Lauf";
  std::ostringstream so, se;
  ASSERT_EQ(Simuliere(m, s, so, se), 0) << se.str();
  ASSERT_TRUE(fs::exists(dir / "Lauf_Startzustaende.xml"));

  TEreignisOptionen o = Januar();
  ASSERT_EQ(Ereignis(m, o, out, err), 0) << err.str();
  const std::string gerechnet = out.str();
  out.str("");
  o.Von.clear();
  o.Bis.clear();
  o.Ergebnisse = (dir / "Lauf_CDSReport.s21").string();
  ASSERT_EQ(Ereignis(m, o, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), gerechnet);

  fs::remove(dir / "Lauf_Startzustaende.xml");
  err.str("");
  EXPECT_EQ(Ereignis(m, o, out, err), 2);
  EXPECT_NE(err.str().find("keine Anfangszustände"), std::string::npos) << err.str();
}
