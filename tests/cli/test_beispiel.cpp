// The bundled example project is what the code builds, and it runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/ausgabe.h"
#include "cli/beispiel.h"
#include "cli/simulieren.h"
#include "model/regen.h"
#include "simulation/regengenerator.h"
#include "storage/datenpaket.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {
std::string Lies(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}
const fs::path kBeispiel = fs::path(T21_QUELLE) / "beispiel";
}  // namespace

TEST(Beispiel, ShippedFilesMatchTheCode) {
  TM3Model m("Beispiel");
  BaueBeispielnetz(m);
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData("Beispiel_Regen.REG");
  EXPECT_TRUE(PaketAlsText(*ModellAlsPaket(m)) == Lies(kBeispiel / "Beispiel.T21"))
      << "beispiel/Beispiel.T21 neu schreiben: t21 beispiel --speichern beispiel";

  const fs::path tmp = fs::temp_directory_path() / ("t21_bsp_" + std::to_string(::getpid()) + ".REG");
  std::string fehler;
  ASSERT_TRUE(TRegenGenerator{}.Schreibe(tmp.string(), fehler));
  EXPECT_TRUE(Lies(tmp) == Lies(kBeispiel / "Beispiel_Regen.REG"));
  fs::remove(tmp);
}

TEST(Beispiel, VerifiesAndSimulates) {
  TM3Model m;
  const TLadeErgebnis e = A3_Laden(m, (kBeispiel / "Beispiel").string());
  ASSERT_TRUE(e.Ok) << e.Fehler;
  std::ostringstream json;
  SchreibeVerifikation(m, Format::Json, json);
  EXPECT_NE(json.str().find("\"name\":\"Einleitung Mühlbach\""), std::string::npos);
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / r->FileName).string());
  TSimulierOptionen o;
  o.Von = "2001-01-01";
  o.Bis = "31.12.2002";
  std::ostringstream out, err;
  EXPECT_EQ(Simuliere(m, o, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("Bilanzierungsbeginn\t01.01.01 00:00:00"), std::string::npos);
  o.Von = "32.01.2001";
  EXPECT_EQ(Simuliere(m, o, out, err), 2);
  EXPECT_NE(err.str().find("Anfangsdatum \"32.01.2001\" ist kein gültiges Datum"), std::string::npos);
}

TEST(Beispiel, SimulationResultsStoredAndShownAgain) {
  TM3Model m;
  ASSERT_TRUE(A3_Laden(m, (kBeispiel / "Beispiel").string()).Ok);
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / r->FileName).string());
  const fs::path dir = fs::temp_directory_path() / ("t21_ergebnisse_" + std::to_string(::getpid()));
  TSimulierOptionen o;
  o.Von = "2001-01-01";
  o.Bis = "2002-01-01";
  o.Aus = dir.string();
  std::ostringstream text, err;
  ASSERT_EQ(Simuliere(m, o, text, err), 0) << err.str();
  const std::string eintrag = (dir / "Beispiel_CDSReport.s21").string();
  EXPECT_NE(err.str().find("Ergebnisse gespeichert: " + eintrag), std::string::npos);
  // the run report with the volume balance and the assessment in German
  for (const char* s : {"Volumenbilanz befestigte Flächen", "Brutto-Niederschlag\t",
                        "\nBewertung der Einleitungsstellen:\nEinleitung Mühlbach\tAbfluss\t",
                        "Einleitung Mühlbach\tAFS\tmittlere Konzentration "})
    EXPECT_NE(text.str().find(s), std::string::npos) << s;

  // the stored results show as the run did
  std::ostringstream wieder, json, err2;
  EXPECT_EQ(ZeigeErgebnisse(eintrag, Format::Text, wieder, err2), 0) << err2.str();
  EXPECT_EQ(wieder.str(), text.str());
  EXPECT_EQ(ZeigeErgebnisse(eintrag, Format::Json, json, err2), 0);
  const std::string j = json.str();
  EXPECT_EQ(j.rfind("{\n\"CDSReport\":[", 0), 0u);
  for (const char* s : {"\n\"CDSSumA128\":[", "\n\"CDSHDAuswertung\":[", "\n\"CDSFehler\":[",
                        "\"Element\":\"RÜB Mitte\",\"Typ\":\"RUB\"", "\"Beginn\":\"2001-",
                        "\"Entlastung\":", "\"Parameter\":\"NH3\"", "\"OK\":"})
    EXPECT_NE(j.find(s), std::string::npos) << s;

  EXPECT_EQ(ZeigeErgebnisse((dir / "Beispiel.txt").string(), Format::Text, wieder, err2), 2);
  EXPECT_NE(err2.str().find("\nist keine gültige TamKor21 - Simulations - Datei"),
            std::string::npos);
  fs::remove_all(dir);
}
