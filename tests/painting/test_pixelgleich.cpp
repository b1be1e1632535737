// Painting onto an image copies network symbols, connectors, arrowheads
// and captions from small pictures straight into its pixels; without the
// copies (TMaler::Bildkopien off) every one is painted through QPainter.
// Both must give the same pixels, for dense drawings, shapes cut by the
// image's edges, every shape type selected and not, and pens of every
// style and width. (Thin solid lines go straight into the pixels either
// way.)
#include <QImage>
#include <QPainter>
#include <QTest>

#include "cad/ansicht.h"
#include "cad/geometrie.h"
#include "model/network.h"
#include "painting/maler.h"
#include "storage/projektdatei.h"
#include "support/bench_netz.h"

using namespace t21;

namespace {

QImage Male(const TCadModel& m, const TCadView& v, bool umwege) {
  QImage bild(v.Width(), v.Height(), QImage::Format_RGB32);
  bild.fill(Qt::black);
  QPainter p(&bild);
  TMaler::Bildkopien = !umwege;
  MaleAnsicht(p, &m, v, v.Ansicht());
  TMaler::Bildkopien = true;
  return bild;
}

// Equal colours, or the edge of a glyph blended in another order: a copied
// caption is the text drawn onto a clear picture and then over the image,
// which rounds each channel a little differently.
bool Gleich(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
         std::abs(qBlue(a) - qBlue(b)) <= 2;
}

bool FarbeBei(const QImage& b, int x, int y, QRgb farbe) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (b.valid(x + dx, y + dy) && Gleich(b.pixel(x + dx, y + dy), farbe)) return true;
  return false;
}

// What differs beyond the edge pixels the painter itself places a pixel
// apart at different places (the flattening of ellipses and arcs rounds
// differently), or an empty text: every differing pixel has its colour
// within one pixel in the other picture and the other's colour within one
// pixel in its own, and there are few of them.
QString Unterschied(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return QStringLiteral("Größe");
  int n = 0;
  QString erster;
  for (int y = 0; y < a.height(); ++y) {
    const auto* za = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* zb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if (Gleich(za[x], zb[x])) continue;
      ++n;
      if (erster.isEmpty() && (!FarbeBei(b, x, y, za[x]) || !FarbeBei(a, x, y, zb[x])))
        erster = QStringLiteral("(%1, %2): %3 statt %4")
                     .arg(x)
                     .arg(y)
                     .arg(za[x], 8, 16)
                     .arg(zb[x], 8, 16);
    }
  }
  if (!erster.isEmpty()) return erster;
  if (n > a.width() * a.height() / 2000) return QStringLiteral("%1 Pixel verschieden").arg(n);
  return {};
}

void Vergleiche(const TCadModel& m, const TCadView& v, const char* was) {
  const QImage schnell = Male(m, v, false), umweg = Male(m, v, true);
  const QString u = Unterschied(schnell, umweg);
  if (!u.isEmpty()) {
    const QString ordner = qEnvironmentVariable("T21_BILDER");
    if (!ordner.isEmpty()) {
      schnell.save(ordner + QStringLiteral("/pixelgleich_%1_schnell.png").arg(was));
      umweg.save(ordner + QStringLiteral("/pixelgleich_%1_umweg.png").arg(was));
      QImage d = schnell;
      for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x)
          d.setPixel(x, y, schnell.pixel(x, y) != umweg.pixel(x, y) ? 0xFFFF0000 : 0xFFE0E0E0);
      d.save(ordner + QStringLiteral("/pixelgleich_%1_diff.png").arg(was));
    }
  }
  QVERIFY2(u.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(was, u)));
}

}  // namespace

class TestPixelgleich : public QObject {
  Q_OBJECT

 private slots:
  // The benchmark's network: whole, at zoom 1 cut by the edges of the
  // image, and with a part of it selected (dotted selection pen).
  void DichtesNetz() {
    TM3Model m;
    test::BaueBenchNetz(m, "", 6, 12);
    TCadView v;
    v.SetGroesse(900, 500);
    v.ZoomAll(m);
    Vergleiche(m, v, "ganz");
    v.SetOrgZoom(130, 250, 1);
    Vergleiche(m, v, "ausschnitt");
    v.SetOrgZoom(-37.3, -21.7, 2.35);
    Vergleiche(m, v, "gross");
    for (int i = 1; i < m.Count(); i += 7) m.SetSelected(m.GetNode(i));
    v.ZoomAll(m);
    Vergleiche(m, v, "selektiert");
    v.SetOrgZoom(130, 250, 1);
    Vergleiche(m, v, "selektiert_ausschnitt");
  }

  // Shapes wholly outside the image are passed over: a view cut from the
  // middle of a picture three times its size (an even shift keeps every
  // rounding) shows the same pixels. (Not with a selection: the painter
  // starts the dots of a dotted line cut by the image's edge at the edge.)
  void AusschnittWieImGrossenBild() {
    TM3Model m;
    test::BaueBenchNetz(m, "", 6, 12);
    const int w = 600, h = 400;
    for (const auto& [x, y] : {std::pair{130.0, 250.0}, {-300.0, -200.0}, {900.0, 700.0}}) {
      TCadView klein;
      klein.SetGroesse(w, h);
      klein.SetOrgZoom(x, y, 1);
      TCadView gross;
      gross.SetGroesse(3 * w, 3 * h);
      gross.SetOrgZoom(x - w, y - h, 1);
      const QImage a = Male(m, klein, false);
      const QImage b = Male(m, gross, false).copy(w, h, w, h);
      QVERIFY2(a == b, qPrintable(Unterschied(a, b)));
    }
  }

  // The store of pictures is made anew when it is full: a caption that kept
  // the picture it was copied from takes a new one, and the drawing shows
  // the same pixels as before. (One symbol at a zoom of 150 is a picture
  // larger than the whole store may hold.)
  void BilderNachVollemSpeicher() {
    TM3Model m;
    test::BaueBenchNetz(m, "", 2, 6);
    TCadView v;
    v.SetGroesse(700, 500);
    v.ZoomAll(m);
    const QImage vorher = Male(m, v, false);
    TCadView nah;
    nah.SetGroesse(200, 200);
    const TCadShape* k = m.GetNode(m.Count() - 2);
    nah.SetOrgZoom(k->HMiddle() - 0.5, k->VMiddle() - 0.5, 150);
    Male(m, nah, false);
    const QImage nachher = Male(m, v, false);
    QVERIFY2(vorher == nachher, qPrintable(Unterschied(vorher, nachher)));
  }

  void Beispiel() {
    TM3Model m;
    QVERIFY(A3_Laden(m, T21_QUELLE "/beispiel/Beispiel").Ok);
    TCadView v;
    v.SetGroesse(1000, 700);
    v.ZoomAll(m);
    Vergleiche(m, v, "beispiel");
    for (double zoom : {0.33, 1.7}) {
      v.SetZoom(zoom);
      Vergleiche(m, v, "beispiel_zoom");
    }
  }

  // Every shape type in every orientation, mirrored, selected and not, in
  // pens of every style and several widths; some cut by the image's edge.
  void JederTypJederStift() {
    const char* const typen[] = {"CIR", "Arc", "Chord", "PIE", "POG", "POL", "Dim", "LIN", "TEX",
                                 "REC", "RRE", "DOT",   "IMP", "RAU", "YON", "RU",  "RUB", "RKB",
                                 "OMA", "KLG", "EST",   "KEM", "KES", "KER", "CON", "REG", "AEO",
                                 "VFL", "VMU", "VRI",   "VBE", "VSC", "AEK"};
    const int ausrichtungen[] = {3, 6, 9, 12};
    TM3Model m;
    TCadShape* vorher = nullptr;
    int n = 0;
    for (const char* typ : typen) {
      for (int spalte = 0; spalte < 12; ++spalte) {
        const double x = -30 + spalte * 95, y = -30 + (n % 9) * 90 + (spalte % 3) * 7;
        TCadShape* s = m.CreateNewShape(typ, std::string(typ) + std::to_string(n++), x, y);
        QVERIFY2(s, typ);
        if (s->Koordinaten.empty() && s->Width() < 1) {
          s->X2 = x + 70;
          s->Y2 = y + 45;
        }
        if (std::string(typ) == "POL" || std::string(typ) == "POG")
          s->Koordinaten = {{x, y}, {x + 60, y + 20}, {x + 30, y + 55}};
        SetAusrichtung(*s, ausrichtungen[spalte % 4]);
        s->HGespiegelt = spalte % 5 == 4;
        s->VGespiegelt = spalte % 7 == 5;
        s->Pen.Style = spalte % 7;
        s->Pen.Width = 1 + (spalte / 4) % 3;
        s->Brush.Style = spalte % 8;
        s->Pen.Color = spalte % 2 ? 0x00A0C0 : 0;
        s->ShowArrows = spalte % 6 != 1;
        if (s->IsM3Shape() && vorher && vorher->IsM3Shape()) {
          s->SetParent(vorher);
          if (spalte % 3 == 0) s->SetKUE(vorher);
          if (spalte % 3 == 1) s->SetGEW(vorher);
        }
        if (spalte >= 6) m.SetSelected(s);
        vorher = s;
      }
    }
    TCadView v;
    v.SetGroesse(1100, 800);
    v.SetShowGEW(true);
    for (double zoom : {0.9, 0.37, 1.6}) {
      v.SetOrgZoom(0, 0, zoom);
      Vergleiche(m, v, "typen");
    }
  }
};

QTEST_MAIN(TestPixelgleich)
#include "test_pixelgleich.moc"
