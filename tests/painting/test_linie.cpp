// Thin lines written straight into an image's pixels: the pixels of
// Bresenham's general loop (both ends, every step checked against the
// image) for lines inside the image, cut by its edges and with ends far
// outside.
#include <QImage>
#include <QRandomGenerator>
#include <QTest>

#include "painting/linie.h"

using t21::SetzeLinie;

namespace {

constexpr QRgb kWeiss = 0xFFFFFFFF, kFarbe = 0xFF1020F0;

// The general loop: every step moves along x, y or both by the error, each
// pixel is checked against the image.
void Bresenham(QImage& bild, QPoint a, QPoint b) {
  long long x = a.x(), y = a.y();
  const long long dx = std::llabs(static_cast<long long>(b.x()) - x);
  const long long dy = -std::llabs(static_cast<long long>(b.y()) - y);
  const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
  long long fehler = dx + dy;
  for (;;) {
    if (x >= 0 && y >= 0 && x < bild.width() && y < bild.height())
      bild.setPixel(static_cast<int>(x), static_cast<int>(y), kFarbe);
    if (x == b.x() && y == b.y()) return;
    const long long e2 = 2 * fehler;
    if (e2 >= dy) {
      fehler += dy;
      x += sx;
    }
    if (e2 <= dx) {
      fehler += dx;
      y += sy;
    }
  }
}

QImage Leer(int w, int h) {
  QImage bild(w, h, QImage::Format_RGB32);
  bild.fill(kWeiss);
  return bild;
}

QString Linie(QPoint a, QPoint b) {
  return QStringLiteral("(%1, %2) - (%3, %4)").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y());
}

}  // namespace

class TestLinie : public QObject {
  Q_OBJECT

 private slots:
  // Every line between the points of a grid from 12 pixels outside a
  // 20 x 16 image to 12 beyond it, both ways round.
  void WieDerAllgemeineSchritt() {
    QImage soll = Leer(20, 16), ist = Leer(20, 16);
    std::vector<QPoint> punkte;
    for (int y = -12; y < 16 + 12; y += 3)
      for (int x = -12; x < 20 + 12; x += 2) punkte.emplace_back(x, y);
    for (const QPoint a : punkte)
      for (const QPoint b : punkte) {
        soll.fill(kWeiss);
        ist.fill(kWeiss);
        Bresenham(soll, a, b);
        SetzeLinie(ist, a, b, kFarbe);
        if (ist != soll) QFAIL(qPrintable(Linie(a, b)));
      }
  }

  // Long lines with ends far outside: only their part inside is stepped,
  // the pixels are those of the whole line.
  void EndenWeitDraussen() {
    QImage soll = Leer(37, 23), ist = Leer(37, 23);
    QRandomGenerator zufall(17);
    for (int i = 0; i < 20000; ++i) {
      const int weite = i % 2 ? 200 : 5000;
      const auto zahl = [&] { return zufall.bounded(-weite, weite); };
      const QPoint a(zahl(), zahl()), b(zahl() / (1 + i % 7), zahl());
      soll.fill(kWeiss);
      ist.fill(kWeiss);
      Bresenham(soll, a, b);
      SetzeLinie(ist, a, b, kFarbe);
      if (ist != soll) QFAIL(qPrintable(Linie(a, b)));
    }
  }

  // Ends at the largest coordinates a view gives: nothing outside the image
  // is stepped (this would take minutes), nothing overflows.
  void RiesigeKoordinaten() {
    QImage ist = Leer(40, 30);
    const int g = std::numeric_limits<int>::max(), k = std::numeric_limits<int>::min();
    SetzeLinie(ist, QPoint(k, k), QPoint(g, g), kFarbe);
    SetzeLinie(ist, QPoint(k, 15), QPoint(g, 15), kFarbe);
    SetzeLinie(ist, QPoint(5, k), QPoint(5, g), kFarbe);
    // The horizontal and the vertical line cross the whole image.
    for (int x = 0; x < 40; ++x) QCOMPARE(ist.pixel(x, 15), kFarbe);
    for (int y = 0; y < 30; ++y) QCOMPARE(ist.pixel(5, y), kFarbe);
    // The diagonal from corner to corner of the plane sets (k, k).
    QCOMPARE(ist.pixel(0, 0), kFarbe);
    QCOMPARE(ist.pixel(29, 29), kFarbe);
    QCOMPARE(ist.pixel(30, 29), kWeiss);
  }
};

QTEST_MAIN(TestLinie)
#include "test_linie.moc"
