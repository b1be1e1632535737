// Painting into an image without a display: the colours of the drawing and
// QPainter's raster output, pixel by pixel.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "painting/farben.h"

using t21::FarbeAusRGB;
using t21::RGBAusFarbe;

class TestMalen : public QObject {
  Q_OBJECT

 private slots:
  void FarbenAusDemGespeichertenWert() {
    // Red sits in the lowest byte of a stored colour.
    QCOMPARE(FarbeAusRGB(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(FarbeAusRGB(0x00FF00), QColor(0, 255, 0));
    QCOMPARE(FarbeAusRGB(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(FarbeAusRGB(0x123456), QColor(0x56, 0x34, 0x12));
    QCOMPARE(FarbeAusRGB(0xC0C0C0), QColor(192, 192, 192));
    // The highest byte is no part of the colour; the colour is opaque.
    QCOMPARE(FarbeAusRGB(static_cast<int>(0xFF0000FFu)), QColor(255, 0, 0));
    QCOMPARE(FarbeAusRGB(0x000000).alpha(), 255);
  }

  void FarbenZurueckInDenGespeichertenWert() {
    for (int wert : {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0xFFFFFF, 0xC0C0C0}) {
      QCOMPARE(RGBAusFarbe(FarbeAusRGB(wert)), wert);
    }
    QCOMPARE(RGBAusFarbe(QColor(10, 20, 30, 40)), 0x1E140A);
    QCOMPARE(RGBAusFarbe(QColor::fromHsv(0, 255, 255)), 0x0000FF);
  }

  void RechteckUndLinieInEinBild() {
    QImage bild(20, 20, QImage::Format_ARGB32);
    bild.fill(Qt::white);
    {
      QPainter p(&bild);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.fillRect(QRect(2, 3, 5, 4), FarbeAusRGB(0x0000FF));
      p.setPen(QPen(FarbeAusRGB(0x000000), 1));
      p.drawLine(QPoint(3, 12), QPoint(15, 12));
    }
    const QRgb weiss = qRgb(255, 255, 255), rot = qRgb(255, 0, 0), schwarz = qRgb(0, 0, 0);

    // The rectangle covers columns 2..6 and rows 3..6 exactly.
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        const bool innen = x >= 2 && x <= 6 && y >= 3 && y <= 6;
        QCOMPARE(bild.pixel(x, y), innen ? rot : weiss);
      }
    }
    // The line is one pixel high: row 12 from column 3 to 15, nothing above
    // or below it, nothing left or right of its ends.
    for (int x = 3; x <= 15; ++x) {
      QCOMPARE(bild.pixel(x, 12), schwarz);
      QCOMPARE(bild.pixel(x, 11), weiss);
      QCOMPARE(bild.pixel(x, 13), weiss);
    }
    QCOMPARE(bild.pixel(2, 12), weiss);
    QCOMPARE(bild.pixel(16, 12), weiss);
  }
};

QTEST_MAIN(TestMalen)
#include "test_malen.moc"
