// t21: the command-line front door of the engine.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/ausgabe.h"
#include "cli/beispiel.h"

using namespace t21;

int main(int argc, char** argv) {
  CLI::App app{"Tamkor21 – Nachweis und Langzeitsimulation für Entwässerungsnetze", "t21"};
  app.require_subcommand(1);
  std::string format = "text";

  auto* beispiel = app.add_subcommand(
      "beispiel", "Berechnet das eingebaute Beispielnetz und gibt den Nachweis aus");
  beispiel->add_option("--format", format, "Ausgabeformat: text, tsv oder json")
      ->check(CLI::IsMember({"text", "tsv", "json"}));

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
    if (mitHinweisen > 0)
      std::cerr << "t21: " << mitHinweisen << " Element(e) mit Hinweisen\n";
    return mitHinweisen > 0 ? 1 : 0;
  }
  return 0;
}
