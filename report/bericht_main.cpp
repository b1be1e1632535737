// t21-bericht: the verification report of a project as a PDF, headless.
// `t21 report` hands its arguments on to this program.
#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "report/bericht.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

using namespace t21;

int main(int argc, char** argv) {
  CLI::App app{"Schreibt den Bericht des vereinfachten Nachweises als PDF", "t21 report"};
  std::string projekt, ziel, elemente;
  bool a128 = false;
  app.add_option("projekt", projekt, "Projektdatei (.T21)")->required();
  app.add_option("-o,--out", ziel, "Zieldatei (.pdf)")->required();
  app.add_option("--elemente", elemente,
                 "die zu druckenden Elemente, durch Semikolon getrennt (sonst die Druckliste "
                 "des Projekts oder alle Elemente)");
  app.add_flag("--ohne-a128", a128, "A128-Ergebnisse ausblenden");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "t21: " << e.what() << "\n";
    return 2;
  }
  // Reports render without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QGuiApplication qapp(qargc, argv);

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
