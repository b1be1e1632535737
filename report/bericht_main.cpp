// t21-bericht: the verification report of a project, or the results report of
// saved simulation results (a .s21 file), as a PDF, headless.
// `t21 report` hands its arguments on to this program.
#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "cli/weiterreichen.h"
#include "report/bericht.h"
#include "report/eingabedaten.h"
#include "report/ergebnisbericht.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

using namespace t21;

namespace {

bool IstErgebnisdatei(const std::string& datei) {
  std::string e = std::filesystem::path(datei).extension().string();
  for (char& c : e) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return e == ".S21";
}

// The results report of saved simulation results: PROJEKT_CDSReport.s21
// [--projekt PROJEKT.T21] -o ERGEBNISSE.pdf [--abschnitte 1;2;22].
int Ergebnisbericht(const std::string& datei, const std::string& projekt, const std::string& ziel,
                    const std::string& abschnitte) {
  TDataModule2 dm;
  std::vector<std::string> meldungen;
  if (!dm.Laden(datei, meldungen)) {
    for (const std::string& m : meldungen) std::cerr << "t21: " << m << "\n";
    return 2;
  }
  // The input echo where the results hold it (older results do not).
  TEingabedaten eingabe;
  if (!eingabe.Laden(TDataModule2::LadeBasis(datei), meldungen)) {
    for (const std::string& m : meldungen) std::cerr << "t21: " << m << "\n";
    return 2;
  }
  TErgebnisberichtOptionen o;
  o.Weitere = eingabe.Gehaltene();
  std::vector<std::string> unbekannt;
  o.Abschnitte = AbschnitteAus(abschnitte, unbekannt);
  for (const std::string& u : unbekannt)
    std::cerr << "t21: Abschnitt \"" << u << "\" gibt es nicht\n";
  if (!abschnitte.empty() && o.Abschnitte.empty()) {
    std::cerr << "t21: keine Abschnitte zu drucken\n";
    return 2;
  }
  if (!projekt.empty()) {
    TM3Model m;
    std::string basis = projekt;
    const std::string e = std::filesystem::path(projekt).extension().string();
    if (e == ".T21" || e == ".t21") basis = OhneEndung(projekt);
    const TLadeErgebnis l = A3_Laden(m, basis);
    if (!l.Ok) {
      std::cerr << "t21: " << l.Fehler << "\n";
      return 2;
    }
    o.Projekt = std::filesystem::path(basis).filename().string();
  }
  std::string fehler;
  const int seiten = ErgebnisberichtAlsPdf(dm, o, ziel, fehler);
  if (seiten < 0) {
    std::cerr << "t21: " << fehler << "\n";
    return 2;
  }
  std::cerr << "t21: Ergebnisbericht geschrieben: " << ziel << " (" << seiten << " Seiten)\n";
  return unbekannt.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Schreibt den Bericht des vereinfachten Nachweises oder den Ergebnisbericht einer "
      "Langzeitsimulation als PDF",
      "t21 report"};
  std::string projekt, ziel, elemente, ergebnisProjekt, abschnitte;
  bool a128 = false;
  app.add_option("projekt", projekt,
                 "Projektdatei (.T21) oder gespeicherte Simulationsergebnisse (NAME_CDSReport.s21)")
      ->required();
  app.add_option("-o,--out", ziel, "Zieldatei (.pdf)")->required();
  app.add_option("--elemente", elemente,
                 "die zu druckenden Elemente, durch Semikolon getrennt (sonst die Druckliste "
                 "des Projekts oder alle Elemente)");
  app.add_flag("--ohne-a128", a128, "A128-Ergebnisse ausblenden");
  app.add_option("--projekt", ergebnisProjekt,
                 "zu Simulationsergebnissen: die Projektdatei (.T21) für den Seitenkopf");
  app.add_option("--abschnitte", abschnitte,
                 "zu Simulationsergebnissen: die Abschnitte nach Schlüssel, durch Semikolon "
                 "getrennt (sonst alle)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "t21: " << e.what() << "\n";
    return 2;
  }
  LaufzeitordnerVorbereiten();
  // Reports render without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QGuiApplication qapp(qargc, argv);
  if (IstErgebnisdatei(projekt)) return Ergebnisbericht(projekt, ergebnisProjekt, ziel, abschnitte);

  std::string basis = projekt;
  if (std::filesystem::path(projekt).extension() == ".T21" ||
      std::filesystem::path(projekt).extension() == ".t21")
    basis = OhneEndung(projekt);
  TM3Model m;
  const TLadeErgebnis e = A3_Laden(m, basis);
  if (!e.Ok) {
    std::cerr << "t21: " << e.Fehler << "\n";
    return 2;
  }
  std::vector<std::string> namen;
  std::istringstream ein(elemente);
  for (std::string n; std::getline(ein, n, ';');)
    if (!n.empty()) namen.push_back(n);
  std::vector<std::string> unbekannt;
  const auto liste = Druckliste(m, namen, &unbekannt);
  for (const auto& n : unbekannt)
    std::cerr << "t21: Element \"" << n << "\" nicht gefunden oder nicht druckbar\n";
  if (liste.empty()) {
    std::cerr << "t21: keine Elemente zu drucken\n";
    return 2;
  }
  TNachweisOptionen o;
  o.A128Ausblenden = a128;
  std::string fehler;
  const int seiten = BerichtAlsPdf(m, liste, ziel, fehler, o);
  if (seiten < 0) {
    std::cerr << "t21: " << fehler << "\n";
    return 2;
  }
  std::cerr << "t21: Bericht geschrieben: " << ziel << " (" << liste.size() << " Elemente, "
            << seiten << " Seiten)\n";
  return unbekannt.empty() ? 0 : 1;
}
