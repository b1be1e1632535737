// t21-bild: a picture of a project's drawing (SVG, PDF, PNG or BMP),
// headless. `t21 bild` hands its arguments on to this program.
#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <filesystem>
#include <iostream>

#include "cli/weiterreichen.h"
#include "painting/bildexport.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

using namespace t21;

int main(int argc, char** argv) {
  CLI::App app{"Schreibt die Zeichnung eines Projekts als Bild (SVG, PDF, PNG oder BMP)",
               "t21 bild"};
  std::string projekt, ziel;
  double zoom = 0;
  app.add_option("projekt", projekt, "Projektdatei (.T21)")->required();
  app.add_option("-o,--out", ziel, "Zieldatei (.svg, .pdf, .png oder .bmp)")->required();
  app.add_option("--zoom", zoom,
                 "Maßstab der Zeichnung (Bildpunkte je Zeicheneinheit, "
                 "Vorgabe 0,9)")
      ->check(CLI::PositiveNumber);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "t21: " << e.what() << "\n";
    return 2;
  }
  LaufzeitordnerVorbereiten();
  // Pictures render without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QGuiApplication qapp(qargc, argv);

  std::string basis = projekt;
  const std::string endung = std::filesystem::path(projekt).extension().string();
  if (endung == ".T21" || endung == ".t21") basis = OhneEndung(projekt);
  TM3Model m;
  const TLadeErgebnis e = A3_Laden(m, basis);
  if (!e.Ok) {
    std::cerr << "t21: " << e.Fehler << "\n";
    return 2;
  }
  TCadView view;
  if (zoom > 0 && !view.SetZoom(zoom)) {
    std::cerr << "t21: ungültiger Maßstab\n";
    return 2;
  }
  QString fehler;
  if (!SpeichereBild(m, view, QString::fromStdString(ziel), fehler)) {
    std::cerr << "t21: " << fehler.toStdString() << "\n";
    return 2;
  }
  std::cerr << "t21: Bild geschrieben: " << ziel << "\n";
  return 0;
}
