// Report files (".rpt") as the print preview opens them: the file is read,
// and every page that was read is drawn, scaled to a small picture, the way
// the preview shows it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "fuzz/gemeinsam.h"
#include "report/repprinter.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's complaints about broken pictures would flood the fuzzer's output.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static int argc = 1;
  static char name[] = "fuzz_rpt";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends; drawing text needs it.
  new QGuiApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  const auto datei = t21::fuzz::Ordner() / "bericht.rpt";
  t21::fuzz::Schreibe(datei, daten, n);
  t21::TPages seiten;
  std::string fehler;
  if (!seiten.LoadFromStream(datei.string(), fehler)) return 0;
  QImage bild(120, 170, QImage::Format_RGB32);
  bild.fill(Qt::white);
  QPainter p(&bild);
  for (int i = 0; i < seiten.Count() && i < 8; ++i)
    seiten.GetPage(i)->Zeichne(p, QRectF(0, 0, bild.width(), bild.height()));
  return 0;
}
