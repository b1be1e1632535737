// The gallery of every shape type: unselected and selected, in the four
// orientations and mirrored. Each picture must show something; with the
// environment variable T21_BILDER naming a folder the pictures are saved
// there as PNG (scripts/screenshots.sh).
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "cad/ansicht.h"
#include "cad/geometrie.h"
#include "model/network.h"
#include "painting/maler.h"

using namespace t21;

class TestGalerie : public QObject {
  Q_OBJECT

 private slots:
  void JederTyp() {
    const QString ordner = qEnvironmentVariable("T21_BILDER");
    const char* const typen[] = {"CIR", "Arc", "Chord", "PIE", "POG", "POL", "Dim", "LIN", "TEX",
                                 "REC", "RRE", "DOT",   "IMP", "BMP", "RAU", "YON", "RU",  "RUB",
                                 "RKB", "OMA", "KLG",   "EST", "KEM", "KES", "KER", "CON", "REG",
                                 "AEO", "VFL", "VMU",   "VRI", "VBE", "VSC", "AEK"};
    // Columns: four orientations, then mirrored left-right and top-bottom;
    // rows: unselected
    // and selected.
    const int ausrichtungen[] = {3, 6, 9, 12};
    for (const char* typ : typen) {
      TM3Model m;
      std::vector<TCadShape*> shapes;
      for (int zeile = 0; zeile < 2; ++zeile)
        for (int spalte = 0; spalte < 6; ++spalte) {
          const double x = 20 + spalte * 130, y = 20 + (1 - zeile) * 130;
          TCadShape* s =
              m.CreateNewShape(typ, std::string(typ) + std::to_string(zeile * 6 + spalte), x, y);
          QVERIFY2(s, typ);
          if (s->Koordinaten.empty() && s->Width() < 1) {  // lines and figures without a box
            s->X2 = x + 80;
            s->Y2 = y + 60;
          }
          if (s->Koordinaten.empty() && (std::string(typ) == "POL" || std::string(typ) == "POG"))
            s->Koordinaten = {{x, y}, {x + 80, y + 20}, {x + 40, y + 70}};
          if (std::string(typ) == "TEX") s->Name = "Text";
          if (spalte < 4) SetAusrichtung(*s, ausrichtungen[spalte]);
          s->HGespiegelt = spalte == 4;
          s->VGespiegelt = spalte == 5;
          if (zeile == 1) m.SetSelected(s);
        }
      TCadView view;
      view.SetGroesse(800, 300);
      QImage bild(800, 300, QImage::Format_RGB32);
      QPainter p(&bild);
      MaleAnsicht(p, &m, view, view.Ansicht());
      p.end();
      int gezeichnet = 0;
      for (int y = 0; y < bild.height(); y += 2)
        for (int x = 0; x < bild.width(); x += 2) gezeichnet += bild.pixel(x, y) != 0xFFFFFFFF;
      QVERIFY2(gezeichnet > 20, typ);
      if (!ordner.isEmpty()) {
        QDir().mkpath(ordner);
        QVERIFY(bild.save(QDir(ordner).filePath(QStringLiteral("galerie_%1.png").arg(typ))));
      }
    }
  }
};

QTEST_MAIN(TestGalerie)
#include "test_galerie.moc"
