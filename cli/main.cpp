// t21: the command-line front door of the engine.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <filesystem>
#include <iostream>

#include "cli/ausgabe.h"
#include "cli/beispiel.h"
#include "cli/simulieren.h"
#include "model/regen.h"
#include "simulation/regengenerator.h"

using namespace t21;

namespace {

void BeiSigint(int) { SimulationAbbrechen(); }

// The example network with its synthetic ten-year rain series in dir.
bool BeispielMitRegen(TM3Model& m, const std::string& dir, std::ostream& err) {
  BaueBeispielnetz(m);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::string datei = (std::filesystem::path(dir) / "Beispiel_Regen.REG").string();
  if (!std::filesystem::exists(datei)) {
    TRegenGenerator g;
    std::string fehler;
    if (!g.Schreibe(datei, fehler)) {
      err << "t21: " << fehler << "\n";
      return false;
    }
  }
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i)))) r->SetData(datei);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Tamkor21 – Nachweis und Langzeitsimulation für Entwässerungsnetze", "t21"};
  app.require_subcommand(1);
  std::string format = "text";
  auto formatOption = [&format](CLI::App* c) {
    c->add_option("--format", format, "Ausgabeformat: text, tsv oder json")
        ->check(CLI::IsMember({"text", "tsv", "json"}));
  };

  auto* beispiel = app.add_subcommand(
      "beispiel", "Berechnet das eingebaute Beispielnetz und gibt den Nachweis aus");
  formatOption(beispiel);

  TSimulierOptionen sim;
  bool simBeispiel = false;
  auto* simulate = app.add_subcommand(
      "simulate", "Langzeitsimulation mit den Regenschreibern des Projekts");
  simulate->add_flag("--beispiel", simBeispiel,
                     "das eingebaute Beispielnetz mit einer synthetischen 10-jährigen Regenreihe");
  simulate->add_option("--von", sim.Von,
                       "Bilanzierungsbeginn, z. B. 2001-05-01, 2001-05-01T06:00:00 oder 01.05.2001");
  simulate->add_option("--bis", sim.Bis, "Bilanzierungsende, Schreibweise wie --von");
  simulate->add_option("--out", sim.Aus, "Ordner für die Ergebnisdateien");
  formatOption(simulate);

  TRegenGenerator gen;
  std::string genDatei;
  auto* regen = app.add_subcommand(
      "regen",
      "Erzeugt eine SYNTHETISCHE Regenreihe (5-Minuten-Werte, Zufallsmodell mit festem Startwert) "
      "für Beispiele, Tests und Leistungsmessungen – keine gemessenen Niederschläge");
  regen->add_option("-o,--out", genDatei, "Zieldatei")->required();
  regen->add_option("--jahre", gen.Jahre, "Anzahl der Jahre")->check(CLI::Range(1, 200));
  regen->add_option("--start", gen.Startjahr, "erstes Jahr")->check(CLI::Range(1900, 2200));
  regen->add_option("--seed", gen.Seed, "Startwert des Zufallsgenerators");
  regen->add_option("--layout", gen.Layout, "Dateiformat M oder L")
      ->check(CLI::IsMember({"M", "L"}));
  regen->add_option("--jahresniederschlag", gen.Jahresniederschlag, "mittlere Jahressumme in mm")
      ->check(CLI::Range(1.0, 5000.0));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "t21: " << e.what() << "\n";
    return 2;
  }

  Format f = Format::Text;
  FormatAusText(format, f);
  if (*beispiel) {
    TM3Model m("Beispiel");
    BaueBeispielnetz(m);
    const int mitHinweisen = SchreibeVerifikation(m, f, std::cout);
    if (mitHinweisen > 0) std::cerr << "t21: " << mitHinweisen << " Element(e) mit Hinweisen\n";
    return mitHinweisen > 0 ? 1 : 0;
  }
  if (*simulate) {
    if (!simBeispiel) {
      std::cerr << "t21: Projektdateien können noch nicht gelesen werden; --beispiel verwenden\n";
      return 2;
    }
    TM3Model m("Beispiel");
    if (sim.Aus.empty()) sim.Aus = "t21-beispiel";
    if (!BeispielMitRegen(m, sim.Aus, std::cerr)) return 2;
    sim.Ausgabe = f;
    sim.Fortschritt = isatty(STDERR_FILENO);
    std::signal(SIGINT, BeiSigint);
    return Simuliere(m, sim, std::cout, std::cerr);
  }
  if (*regen) {
    std::string fehler;
    if (!gen.Schreibe(genDatei, fehler)) {
      std::cerr << "t21: " << fehler << "\n";
      return 2;
    }
    std::cerr << "t21: synthetische Regenreihe geschrieben: " << genDatei << "\n";
    return 0;
  }
  return 0;
}
