#include "report/bericht.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>

#include "report/repprinter.h"

namespace t21 {

int BerichtAlsPdf(TM3Model& m, const std::vector<TCadShape*>& liste, const std::string& datei,
                  std::string& fehler, const TNachweisOptionen& o, int aufloesung) {
  if (liste.empty()) {
    fehler = "keine Elemente zu drucken";
    return -1;
  }
  QPdfWriter pdf(QString::fromStdString(datei));
  pdf.setResolution(aufloesung);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setTitle("Tamkor21 – Vereinfachter Nachweis");
  pdf.setCreator("Tamkor21");
  TRepPrinter drucker;
  drucker.Previewing = false;
  drucker.SetzeDrucker(&pdf);
  drucker.SetTitle("Tamkor21");
  drucker.BeginDoc();
  QPainter* p = drucker.Canvas();
  if (!p) {
    fehler = datei + ": " + kKeineZeichenflaeche;
    drucker.EndDoc();
    return -1;
  }
  // The page drawing is laid out on a letter-size page of 8.5 x 11 inches:
  // its scale comes from the printable area.
  const int breite = drucker.PhyPageWidth - drucker.LeftWaist - drucker.RightWaist;
  const int hoehe = drucker.PhyPageHeight - drucker.TopWaist - drucker.BottomWaist;
  const double ppiX = breite / 8.5, ppiY = hoehe / 11.0;
  int seiten = 0;
  const int n = static_cast<int>(liste.size());
  for (int i = 1; i <= n; ++i) {
    const int teile = ZweiSeiten(liste[size_t(i - 1)]->Typ()) ? 2 : 1;
    for (int teil = 1; teil <= teile; ++teil) {
      if (seiten > 0) drucker.NewPage();
      ZeichneNachweisseite(*drucker.Canvas(), m, liste, i, ppiY, ppiX, teil, o);
      ++seiten;
    }
  }
  drucker.EndDoc();
  if (!QFileInfo::exists(QString::fromStdString(datei))) {
    fehler = datei + ": kann nicht geschrieben werden";
    return -1;
  }
  return seiten;
}

}  // namespace t21
