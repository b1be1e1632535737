// t21: the command-line front door of the engine.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "cli/abgleich.h"
#include "cli/ausgabe.h"
#include "cli/beispiel.h"
#include "cli/ereignis.h"
#include "cli/exportieren.h"
#include "cli/regio.h"
#include "cli/script_befehle.h"
#include "cli/simulieren.h"
#include "cli/weiterreichen.h"
#include "model/regen.h"
#include "simulation/regengenerator.h"
#include "storage/export_csv.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

using namespace t21;

namespace {

void BeiSigint(int) {
  SimulationAbbrechen();
}

// Loads a project file; false (message on err) when it cannot be read.
bool ProjektLaden(TM3Model& m, const std::string& datei, std::ostream& err) {
  std::string basis = datei;
  const std::filesystem::path p(datei);
  std::string endung = p.extension().string();
  for (char& c : endung) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (endung == ".T21")
    basis = OhneEndung(datei);
  else if (!endung.empty()) {
    err << "t21: " << datei << ": unbekannte Dateiendung (erwartet .T21)\n";
    return false;
  }
  const TLadeErgebnis e = A3_Laden(m, basis);
  if (!e.Ok) {
    err << "t21: " << e.Fehler << "\n";
    return false;
  }
  for (const auto& h : e.Hinweise) err << "t21: " << h << "\n";
  if (!e.Meldung.empty()) err << "t21: " << e.Meldung << "\n";
  // Rain files named relative to the project are found beside it.
  const auto ordner = std::filesystem::absolute(p).parent_path();
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i)))) {
      const std::filesystem::path f(r->FileName);
      if (!r->FileName.empty() && f.is_relative() && !std::filesystem::exists(f))
        r->FileName = (ordner / f).string();
    }
  return true;
}

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

#ifndef T21_BERICHT_PROGRAMM
#define T21_BERICHT_PROGRAMM ""
#endif
#ifndef T21_BILD_PROGRAMM
#define T21_BILD_PROGRAMM ""
#endif

int main(int argc, char** argv) {
  // The subcommands drawn with Qt are programs of their own.
  if (argc > 1 && std::string_view(argv[1]) == "report")
    return AnProgrammWeiterreichen("t21-bericht", T21_BERICHT_PROGRAMM, argc, argv, std::cerr);
  if (argc > 1 && std::string_view(argv[1]) == "bild")
    return AnProgrammWeiterreichen("t21-bild", T21_BILD_PROGRAMM, argc, argv, std::cerr);

  CLI::App app{"Tamkor21 – Nachweis und Langzeitsimulation für Entwässerungsnetze", "t21"};
  app.require_subcommand(1);
  // Listed for --help only; main hands them on before parsing.
  app.add_subcommand("report",
                     "Schreibt den Bericht des Nachweises als PDF "
                     "(t21 report PROJEKT.T21 -o BERICHT.pdf [--elemente A;B])")
      ->allow_extras();
  app.add_subcommand("bild",
                     "Schreibt die Zeichnung als Bild "
                     "(t21 bild PROJEKT.T21 -o DATEI.svg|png|pdf|bmp [--zoom Z])")
      ->allow_extras();
  std::string format = "text";
  auto formatOption = [&format](CLI::App* c) {
    c->add_option("--format", format, "Ausgabeformat: text, tsv oder json")
        ->check(CLI::IsMember({"text", "tsv", "json"}));
  };

  std::string speichern;
  auto* beispiel = app.add_subcommand(
      "beispiel", "Berechnet das eingebaute Beispielnetz und gibt den Nachweis aus");
  beispiel->add_option(
      "--speichern", speichern,
      "schreibt das Beispielprojekt (Beispiel.T21 mit Regenreihe) in diesen Ordner");
  formatOption(beispiel);

  std::string projekt;
  auto* verify = app.add_subcommand(
      "verify", "Liest ein Projekt und gibt den vereinfachten Nachweis aller Elemente aus");
  verify->add_option("projekt", projekt, "Projektdatei (.T21)")->required();
  formatOption(verify);

  TSimulierOptionen sim;
  bool simBeispiel = false;
  auto* simulate =
      app.add_subcommand("simulate", "Langzeitsimulation mit den Regenschreibern des Projekts");
  simulate->add_option("projekt", projekt, "Projektdatei (.T21)");
  simulate->add_flag("--beispiel", simBeispiel,
                     "das eingebaute Beispielnetz mit einer synthetischen 10-jährigen Regenreihe");
  simulate->add_option(
      "--von", sim.Von,
      "Bilanzierungsbeginn, z. B. 2001-05-01, 2001-05-01T06:00:00 oder 01.05.2001");
  simulate->add_option("--bis", sim.Bis, "Bilanzierungsende, Schreibweise wie --von");
  simulate->add_option("--out", sim.Aus, "Ordner für die Ergebnisdateien");
  simulate
      ->add_option("--threads", sim.Threads,
                   "Threads des Zeitschritts (Vorgabe 1); unabhängige Teilnetze rechnen "
                   "nebeneinander, die Ergebnisse sind mit jeder Zahl dieselben")
      ->check(CLI::Range(1, 256));
  formatOption(simulate);

  std::string ergebnisDatei;
  auto* results =
      app.add_subcommand("results", "Zeigt die gespeicherten Ergebnisse einer früheren Simulation");
  results->add_option("datei", ergebnisDatei, "Ergebnisdatei (NAME_CDSReport.s21)")->required();
  formatOption(results);

  TEreignisOptionen ereignisOpt;
  std::string ereignisFormat = "tsv";
  auto* ereignis = app.add_subcommand(
      "ereignis",
      "Simuliert ein Systemereignis erneut und gibt die Ganglinien eines Elements aus; rechnet "
      "dafür zuerst die Langzeitsimulation (--von/--bis oder der Zeitraum der Regenreihen) oder "
      "liest mit --ergebnisse einen gespeicherten Lauf samt Anfangszuständen");
  ereignis->add_option("projekt", projekt, "Projektdatei (.T21)")->required();
  ereignis->add_option("--nr", ereignisOpt.Nr, "Nummer des Systemereignisses (ab 1)")
      ->required()
      ->check(CLI::PositiveNumber);
  ereignis->add_option("--element", ereignisOpt.Element, "Name des Elements")->required();
  ereignis->add_option("--parameter", ereignisOpt.Parameter,
                       "Eintrag der Parameterliste, z. B. Abfluss, Mulden, Dosis NH3, Gewässer "
                       "(leer: der erste)");
  ereignis->add_flag("--tabelle", ereignisOpt.Tabelle,
                     "die Parameter der Ereignis-Tabelle statt der Ereignis-Grafik");
  ereignis->add_option("--nachlauf", ereignisOpt.Nachlauftage, "Nachlauftage")
      ->check(CLI::IsMember({0, 1, 2, 3, 4, 5, 6, 7, 14, 30}));
  ereignis->add_option("--ergebnisse", ereignisOpt.Ergebnisse,
                       "gespeicherter Lauf (NAME_CDSReport.s21 mit NAME_Startzustaende.xml, von "
                       "t21 simulate --out) statt der Langzeitsimulation");
  ereignis->add_option("--von", ereignisOpt.Von, "Beginn der Langzeitsimulation");
  ereignis->add_option("--bis", ereignisOpt.Bis, "Ende der Langzeitsimulation");
  ereignis->add_option("--format", ereignisFormat, "Ausgabeformat tsv oder json")
      ->check(CLI::IsMember({"tsv", "json"}));
  ereignis->add_option("--out", ereignisOpt.Aus,
                       "Ganglinie speichern: .xlsx als Excel-Mappe, sonst als XML-Datenpaket");

  TAbgleichOptionen abgleichOpt;
  auto* abgleich = app.add_subcommand(
      "abgleich",
      "Modell-Abgleich: Vergleichslauf eines Elements über den Zeitraum einer Messung, gibt VOL, "
      "REFF und SA aus und speichert die berechnete Ganglinie als Messwert-Datei");
  abgleich->add_option("projekt", projekt, "Projektdatei (.T21)")->required();
  abgleich->add_option("--element", abgleichOpt.Element, "Name des Elements")->required();
  abgleich->add_option("--von", abgleichOpt.Von, "Beginn (ohne: der erste Messwert)");
  abgleich->add_option("--bis", abgleichOpt.Bis, "Ende (ohne: der letzte Messwert)");
  abgleich->add_option("--messung", abgleichOpt.Messung, "Messwert-Ganglinie (.MGL)");
  abgleich->add_option("--speichern", abgleichOpt.Speichern,
                       "berechnete Ganglinie als Messwert-Datei (.MGL)");

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

  std::string csvDatei, xlsxDatei;
  auto* exportieren = app.add_subcommand(
      "export", "Exportiert ein Projekt als Tabellentext (.CSV) und/oder als Excel-Mappe (.xlsx)");
  exportieren->add_option("projekt", projekt, "Projektdatei (.T21, .MOD oder .TRE)")->required();
  exportieren->add_option("--csv", csvDatei, "Zieldatei des Tabellentexts");
  exportieren->add_option("--xlsx", xlsxDatei, "Zieldatei der Excel-Mappe");
  bool dezimalpunkt = false;
  exportieren->add_flag("--dezimalpunkt", dezimalpunkt,
                        "Tabellentext mit Dezimalpunkt statt der Zahleneinstellungen der "
                        "Umgebung (ohne Gebietsschema: deutsch, Dezimalkomma)");

  std::string neuDatei;
  auto* convert = app.add_subcommand(
      "convert",
      "Liest ein älteres Projekt (.MOD oder .TRE), gibt das Fehlerprotokoll aus und "
      "speichert es als Projektdatei (.T21)");
  convert->add_option("projekt", projekt, "älteres Projekt (.MOD oder .TRE)")->required();
  convert->add_option("-o,--out", neuDatei, "neue Projektdatei (.T21)")->required();

  std::string regioA, regioL, regioH, regioCN;
  auto* regio = app.add_subcommand(
      "regio", "Natürliche Hochwasserabflussspende Hq1,pnat eines kleinen Gewässers in l/(s*km2)");
  regio->add_option("--flaeche", regioA, "Einzugsgebietsgröße AEo in km2")->required();
  regio->add_option("--laenge", regioL, "Gewässerlänge + Hanglänge L in m")->required();
  regio->add_option("--hoehe", regioH, "Höhendifferenz dH in m")->required();
  regio->add_option("--cn", regioCN, "CN-Wert (über 0 bis 100)")->required();
  formatOption(regio);

  TScriptBefehle scriptBefehle(app);

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
    if (!speichern.empty()) {
      if (!BeispielMitRegen(m, speichern, std::cerr)) return 2;
      for (int i = 0; i < m.Count(); ++i)
        if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
          r->SetData("Beispiel_Regen.REG");
      m.FileName = (std::filesystem::path(speichern) / "Beispiel").string();
      std::string fehler;
      if (!Speichern(m, fehler)) {
        std::cerr << "t21: " << fehler << "\n";
        return 2;
      }
      std::cerr << "t21: Beispielprojekt geschrieben: " << m.FileName << ".T21\n";
      return 0;
    }
    BaueBeispielnetz(m);
    const int mitHinweisen = SchreibeVerifikation(m, f, std::cout);
    if (mitHinweisen > 0) std::cerr << "t21: " << mitHinweisen << " Element(e) mit Hinweisen\n";
    return mitHinweisen > 0 ? 1 : 0;
  }
  if (*verify) {
    TM3Model m;
    if (!ProjektLaden(m, projekt, std::cerr)) return 2;
    const int mitHinweisen = SchreibeVerifikation(m, f, std::cout);
    if (mitHinweisen > 0) std::cerr << "t21: " << mitHinweisen << " Element(e) mit Hinweisen\n";
    return mitHinweisen > 0 ? 1 : 0;
  }
  if (*simulate) {
    TM3Model m("Simulation");
    if (simBeispiel == !projekt.empty()) {
      std::cerr << "t21: entweder eine Projektdatei oder --beispiel angeben\n";
      return 2;
    }
    if (simBeispiel) {
      if (sim.Aus.empty()) sim.Aus = "t21-beispiel";
      sim.Basis = "Beispiel";
      if (!BeispielMitRegen(m, sim.Aus, std::cerr)) return 2;
    } else if (!ProjektLaden(m, projekt, std::cerr)) {
      return 2;
    }
    sim.Ausgabe = f;
    sim.Fortschritt = isatty(STDERR_FILENO);
    std::signal(SIGINT, BeiSigint);
    return Simuliere(m, sim, std::cout, std::cerr);
  }
  if (*ereignis) {
    TM3Model m("Ereignis");
    if (!ProjektLaden(m, projekt, std::cerr)) return 2;
    FormatAusText(ereignisFormat, ereignisOpt.Ausgabe);
    return Ereignis(m, ereignisOpt, std::cout, std::cerr);
  }
  if (*abgleich) {
    TM3Model m("Abgleich");
    if (!ProjektLaden(m, projekt, std::cerr)) return 2;
    // Dates and numbers of the measurement files as the environment's locale
    // writes them (German without one).
    abgleichOpt.Zahlen = ZahlenformatAusUmgebung();
    return Abgleich(m, abgleichOpt, std::cout, std::cerr);
  }
  if (scriptBefehle.Gewaehlt()) return scriptBefehle.Ausfuehren(std::cout, std::cerr);
  if (*results) return ZeigeErgebnisse(ergebnisDatei, f, std::cout, std::cerr);
  if (*exportieren) return Exportieren(projekt, csvDatei, xlsxDatei, std::cerr, dezimalpunkt);
  if (*convert) return Konvertieren(projekt, neuDatei, std::cout, std::cerr);
  if (*regio) return Regio(regioA, regioL, regioH, regioCN, f, std::cout, std::cerr);
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
