// Painting the drawing into images without a display: the view's transform
// and grid, symbols, links and the selection by the colours of their pixels,
// pictures of the drawing and the drawing view widget.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "cad/ansicht.h"
#include "painting/bildexport.h"
#include "painting/farben.h"
#include "painting/maler.h"
#include "painting/zeichenansicht.h"

using namespace t21;

namespace {

const QRgb kWeiss = qRgb(255, 255, 255), kSchwarz = qRgb(0, 0, 0), kRot = qRgb(255, 0, 0);

QRgb Farbe(int bbggrr) {
  return FarbeAusRGB(bbggrr).rgb();
}

struct Zeichnung {
  TCadModel m;
  TCadShape* root = m.CreateShape("NET", "geschlossenes Siedlungsgebiet", 0, 0);
  TCadShape* Neu(const char* typ, const char* name, double x, double y) {
    TCadShape* s = m.CreateShape(typ, name, x, y);
    if (s->IsM3Shape()) s->SetParent(root);
    return s;
  }
};

QImage Male(const TCadModel* m, const TCadView& v) {
  QImage bild(v.Width(), v.Height(), QImage::Format_RGB32);
  QPainter p(&bild);
  MaleAnsicht(p, m, v, v.Ansicht());
  return bild;
}

// A view with its origin at (0, 0), zoom 1, no grid.
TCadView Schlicht(int w = 300, int h = 200) {
  TCadView v;
  v.SetGroesse(w, h);
  v.SetOrgZoom(0, 0, 1);
  v.SetShowGrid(false);
  return v;
}

// Whether a pixel of the colour lies within r pixels of (x, y) (dotted pens
// leave gaps).
bool FarbeNahe(const QImage& b, int x, int y, QRgb farbe, int r = 2) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == farbe) return true;
  return false;
}

}  // namespace

class TestZeichnen : public QObject {
  Q_OBJECT

 private slots:
  void UrsprungDerGrundansicht() {
    TCadView v;  // origin (-10, -10), zoom 0.9, 200 x 100
    const QImage b = Male(nullptr, v);
    QCOMPARE(b.size(), QSize(200, 100));
    // Drawing point (0, 0) is pixel (9, 91); the arrows end 10 pixels on.
    QCOMPARE(b.pixel(9, 91), kRot);
    QCOMPARE(b.pixel(19, 91), kRot);
    QCOMPARE(b.pixel(9, 81), kRot);
    QCOMPARE(b.pixel(14, 93), kRot);  // head strokes to (a + 5, b +- 2)
    QCOMPARE(b.pixel(14, 89), kRot);
    QCOMPARE(b.pixel(7, 86), kRot);  // and to (a -+ 2, b - 5)
    QCOMPARE(b.pixel(11, 86), kRot);
    QVERIFY(b.pixel(20, 91) != kRot);  // the grid line through y = 0 goes on
    QVERIFY(b.pixel(9, 80) != kRot);
    // The origin arrows belong to the grid.
    v.SetShowGrid(false);
    QCOMPARE(Male(nullptr, v).pixel(19, 91), kWeiss);
  }

  void GleichstandRundetZurGeradenZahl() {
    // Origin -10, zoom 2: x -9.25 -> 1.5 -> 2, x -9.75 -> 0.5 -> 0.
    Zeichnung z;
    auto* a = z.Neu("LIN", "a", -9.25, 10);
    a->X2 = -9.25;
    a->Y2 = 30;
    auto* b = z.Neu("LIN", "b", -9.75, 10);
    b->X2 = -9.75;
    b->Y2 = 30;
    TCadView v;
    v.SetShowGrid(false);
    v.SetZoom(2);
    const QImage bild = Male(&z.m, v);
    const int y = v.Ansicht().ViewY(20);
    QCOMPARE(bild.pixel(2, y), kSchwarz);
    QCOMPARE(bild.pixel(0, y), kSchwarz);
    QCOMPARE(bild.pixel(1, y), kWeiss);
    QCOMPARE(bild.pixel(3, y), kWeiss);
  }

  void RasterpunkteErstUeberZehnPixeln() {
    const QRgb silber = Farbe(0xC0C0C0);
    const struct {
      double zoom;
      bool punkte;
    } faelle[] = {{0.5, false}, {0.525, false}, {0.55, true}, {1, true}};
    for (const auto& f : faelle) {
      TCadView v;
      v.SetGroesse(300, 200);
      v.SetOrgZoom(0, 0, f.zoom);  // round(20 * zoom) must exceed 10
      const QImage b = Male(nullptr, v);
      // The dot at drawing (40, 40), away from the lines every 100 units.
      const TPixel d = v.Ansicht().View(40, 40);
      QCOMPARE(b.pixel(d.X, d.Y) == silber, f.punkte);
      QCOMPARE(b.pixel(d.X + 1, d.Y), kWeiss);
      // Grid lines from 3 pixels: at drawing x = 100 over the full height.
      const int x = v.Ansicht().ViewX(100);
      QCOMPARE(b.pixel(x, 5), silber);
      QCOMPARE(b.pixel(x, 195), silber);
    }
    // Major lines closer than 3 pixels are left out.
    TCadView v;
    v.SetGroesse(300, 200);
    v.SetOrgZoom(0, 0, 0.02);
    const QImage b = Male(nullptr, v);
    QCOMPARE(b.pixel(v.Ansicht().ViewX(100), 50), kWeiss);
  }

  void SymbolfarbenSelektiertUndNicht() {
    const struct {
      const char* typ;
      int farbe;
    } faelle[] = {{"KEM", 0x00FFFF}, {"KES", 0x0000FF}, {"KER", 0xF0CAA6}, {"AEO", 0x008000},
                  {"AEK", 0xFFFF00}, {"KLG", 0x008000}, {"RKB", 0xF0CAA6}, {"OMA", 0x008000},
                  {"RUB", 0x00FFFF}, {"EST", 0xF0CAA6}, {"REC", -1}};
    for (const auto& f : faelle) {
      Zeichnung z;
      auto* s = z.Neu(f.typ, "s", 100, 50);
      s->TextPos = 0;
      s->Ausrichtung = 6;  // flow downwards: the arrow lies on the middle column
      TCadView v = Schlicht();
      const auto r = Normalisiert(GetViewRect(*s, v.Ansicht()));
      // Left of the middle, away from the flow arrow and the diagonal.
      const int x = (r.Left + r.Right) / 2 - 6, y = (r.Top + r.Bottom) / 2 - 8;
      const QImage b = Male(&z.m, v);
      QCOMPARE(b.pixel(x, y), f.farbe < 0 ? kWeiss : Farbe(f.farbe));
      // Selected: the solid brush becomes clear, the outline the selection
      // pen's red.
      z.m.SetSelected(s);
      const QImage sel = Male(&z.m, v);
      QCOMPARE(sel.pixel(x, y), kWeiss);
      QVERIFY2(FarbeNahe(sel, x, r.Top, kRot), f.typ);  // the screen-upper edge
    }
  }

  void VersickerungUndRegenMitBild() {
    for (const char* typ : {"VFL", "VBE", "VMU", "VRI", "VSC", "REG"}) {
      Zeichnung z;
      auto* s = z.Neu(typ, typ, 100, 50);
      s->TextPos = 0;
      TCadView v = Schlicht();
      const QImage b = Male(&z.m, v);
      const auto r = Normalisiert(GetViewRect(*s, v.Ansicht()));
      // The picture covers the box: many pixels differ from the background.
      int bunt = 0;
      for (int y = r.Top + 2; y < r.Bottom - 1; ++y)
        for (int x = r.Left + 2; x < r.Right - 1; ++x)
          if (b.pixel(x, y) != kWeiss && b.pixel(x, y) != Farbe(s->Brush.Color)) ++bunt;
      QVERIFY2(bunt > 200, typ);
    }
  }

  void LinkFarbenInDerMitte() {
    const QRgb blau = Farbe(0xFF0000), fuchsia = Farbe(0xFF00FF), himmel = Farbe(0xF0CAA6);
    Zeichnung z;
    // A tank at the left draining right to a discharge point, its overflow
    // to a second one below; a catchment with its rain gauge and river.
    auto* rub = z.Neu("RUB", "Becken", 20, 100);
    auto* est = z.Neu("EST", "Einleitung", 220, 115);
    auto* est2 = z.Neu("EST", "Ueberlauf", 220, 10);
    for (auto* s : {rub, est, est2}) s->Ausrichtung = 3;
    for (auto* s : {rub, est, est2}) s->TextPos = 0;
    rub->SetParent(est);
    rub->SetKUE(est2);
    TCadView v = Schlicht(400, 300);
    const TAnsicht& a = v.Ansicht();
    const QImage b = Male(&z.m, v);
    // The Parent link from DockAb of the tank to DockZu of the discharge
    // point, a horizontal line in the shape's black pen.
    const TPixel von = DockAb(*rub, a), bis = DockZu(*est, a);
    QCOMPARE(von.Y, bis.Y);
    QCOMPARE(b.pixel((von.X + bis.X) / 2 + 30, von.Y), kSchwarz);
    QCOMPARE(b.pixel((von.X + bis.X) / 2, von.Y), kSchwarz);  // the arrow's tip
    // The overflow link in fuchsia, at a quarter of its length.
    const TPixel k1 = DockKUE(*rub, a), k2 = DockZu(*est2, a);
    QVERIFY(FarbeNahe(b, (3 * k1.X + k2.X) / 4, (3 * k1.Y + k2.Y) / 4, fuchsia, 1));

    // Selected, the Parent link takes the selection pen, the overflow link
    // keeps its colour.
    z.m.SetSelected(rub);
    const QImage s = Male(&z.m, v);
    QVERIFY(FarbeNahe(s, (von.X + bis.X) / 2 + 30, von.Y, kRot, 1));
    QVERIFY(!FarbeNahe(s, (von.X + bis.X) / 2 + 30, von.Y, kSchwarz, 0));
    QVERIFY(FarbeNahe(s, (3 * k1.X + k2.X) / 4, (3 * k1.Y + k2.Y) / 4, fuchsia, 1));

    // Catchment links: the rain gauge in blue, the river in sky blue (shown
    // only with ShowGEW).
    Zeichnung g;
    auto* reg = g.Neu("REG", "Regen", 20, 200);
    auto* kem = g.Neu("KEM", "Gebiet", 200, 200);
    auto* fluss = g.Neu("EST", "Fluss", 200, 20);
    for (auto* s2 : {reg, kem, fluss}) s2->TextPos = 0;
    kem->Ausrichtung = 6;
    kem->SetREG(reg);
    kem->SetGEW(fluss);
    v.SetShowGEW(true);
    const QImage c = Male(&g.m, v);
    const TPixel r1 = DockAb(*reg, a), r2 = DockZu(*kem, a);
    QVERIFY(FarbeNahe(c, (3 * r1.X + r2.X) / 4, (3 * r1.Y + r2.Y) / 4, blau, 1));
    const TPixel g1 = DockAb(*kem, a), g2 = DockZu(*fluss, a);
    QVERIFY(FarbeNahe(c, (3 * g1.X + g2.X) / 4, (3 * g1.Y + g2.Y) / 4, himmel, 1));
    v.SetShowGEW(false);
    QVERIFY(!FarbeNahe(Male(&g.m, v), (3 * g1.X + g2.X) / 4, (3 * g1.Y + g2.Y) / 4, himmel, 1));
  }

  void GrabsNurFuerGrafik() {
    Zeichnung z;
    auto* rec = z.Neu("REC", "r", 100, 50);
    TCadView v = Schlicht();
    z.m.SetSelected(rec);
    const QImage b = Male(&z.m, v);
    // The grab at the middle of the left edge: a black square, white inside.
    const auto r = Normalisiert(GetViewRect(*rec, v.Ansicht()));
    const int my = (r.Top + r.Bottom) / 2;
    QCOMPARE(b.pixel(r.Left - 4, my - 4), kSchwarz);
    QCOMPARE(b.pixel(r.Left - 2, my - 2), kWeiss);
  }

  void MalenAendertNichts() {
    Zeichnung z;
    auto* t = z.Neu("TEX", "Ein langer Text", 10, 10);
    auto* imp = z.Neu("IMP", "Kopf", 10, 60);
    auto* d = z.Neu("Dim", "Mass", 10, 150);
    d->X2 = 100;
    d->Y2 = 150;
    z.m.SetSelected(t);
    const auto vorher = std::make_tuple(t->X2, t->Y2, imp->X2, imp->Y2, d->m_dw, t->Val);
    TCadView v = Schlicht(600, 400);
    for (double zoom : {0.5, 1.0, 3.0}) {
      v.SetZoom(zoom);
      Male(&z.m, v);
    }
    QCOMPARE(std::make_tuple(t->X2, t->Y2, imp->X2, imp->Y2, d->m_dw, t->Val), vorher);
  }

  void BildMitRahmen() {
    Zeichnung z;
    z.Neu("REC", "r", 0, 0);
    TCadView v;
    v.SetZoom(1);
    QString fehler;
    const auto bild = BildAlsRaster(z.m, v, fehler);
    QVERIFY(bild);
    QCOMPARE(bild->size(), QSize(150, 150));
    for (int i = 0; i < 150; ++i) {
      QCOMPARE(bild->pixel(i, 0), kSchwarz);
      QCOMPARE(bild->pixel(i, 149), kSchwarz);
      QCOMPARE(bild->pixel(0, i), kSchwarz);
      QCOMPARE(bild->pixel(149, i), kSchwarz);
    }
    // The rectangle from (50, 50) to (100, 100); the grid's line through
    // drawing y = 0 is the rectangle's lower edge: the grid measures from
    // the picture's height as the shapes do.
    QCOMPARE(bild->pixel(75, 100), kSchwarz);
    QCOMPARE(bild->pixel(20, 100), Farbe(0xC0C0C0));
    QCOMPARE(bild->pixel(20, 99), kWeiss);
  }

  void BildWirdVerweigert() {
    QString fehler;
    Zeichnung leer;
    TCadView v;
    QVERIFY(!BildAlsRaster(leer.m, v, fehler));
    QVERIFY(fehler.contains(QStringLiteral("keine sichtbaren")));

    Zeichnung z;
    auto* r = z.Neu("REC", "r", 0, 0);
    r->X2 = 30000;
    v.SetZoom(1);
    fehler.clear();
    QVERIFY(!BildAlsRaster(z.m, v, fehler));
    QVERIFY(fehler.contains(QStringLiteral("30.100")));
    QTemporaryDir dir;
    QVERIFY(!SpeichereBild(z.m, v, dir.filePath(QStringLiteral("x.png")), fehler));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.png"))));
    // 20,000 pixels on a side are still allowed.
    r->X2 = 19900;
    v.SetZoom(0.5);
    QVERIFY(BildAnsicht(z.m, v, fehler));
    QVERIFY(!SpeichereBild(z.m, v, dir.filePath(QStringLiteral("x.gif")), fehler));
    QVERIFY(fehler.contains(QStringLiteral("Bildformat")));
  }

  void BildDateien() {
    Zeichnung z;
    z.Neu("KEM", "Gebiet", 0, 0);
    z.Neu("TEX", "Überschrift", 0, 80);
    TCadView v;
    v.SetZoom(1);
    QTemporaryDir dir;
    QString fehler;
    for (const char* name : {"a.svg", "a.PDF", "a.png", "a.bmp"}) {
      const QString datei = dir.filePath(QString::fromLatin1(name));
      QVERIFY2(SpeichereBild(z.m, v, datei, fehler), qPrintable(fehler));
      QVERIFY(QFileInfo(datei).size() > 100);
    }
    QCOMPARE(QImage(dir.filePath(QStringLiteral("a.png"))).size(), QSize(150, 180));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("a.bmp"))).size(), QSize(150, 180));
    QSvgRenderer svg(dir.filePath(QStringLiteral("a.svg")));
    QVERIFY(svg.isValid());
    QCOMPARE(svg.viewBox(), QRect(0, 0, 150, 180));
    QFile pdf(dir.filePath(QStringLiteral("a.PDF")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    // A folder that does not exist: a German message.
    QVERIFY(!SpeichereBild(z.m, v, dir.filePath(QStringLiteral("fehlt/a.png")), fehler));
    QVERIFY(fehler.contains(QStringLiteral("kann nicht geschrieben")));
  }

  void AnsichtMitRadZoom() {
    Zeichnung z;
    z.Neu("REC", "r", 0, 0);
    TZeichenAnsicht w;
    w.resize(400, 300);
    w.SetModel(&z.m);
    QCOMPARE(w.Puffer().size(), QSize(400, 300));
    QCOMPARE(w.View().Width(), 400);
    const TPixel maus{150, 120};
    const double x = w.View().Ansicht().PaperX(maus.X), y = w.View().Ansicht().PaperY(maus.Y);
    QWheelEvent rad(QPointF(maus.X, maus.Y), QPointF(maus.X, maus.Y), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &rad);
    QCOMPARE(w.View().Zoom(), 0.9 * TZeichenAnsicht::kRadFaktor);
    QVERIFY(qAbs(w.View().Ansicht().PaperX(maus.X) - x) < 1e-9);
    QVERIFY(qAbs(w.View().Ansicht().PaperY(maus.Y) - y) < 1e-9);
    w.ZoomStufe(7);
    QCOMPARE(w.View().Zoom(), 1.0);
    w.ZoomAll();
    QCOMPARE(w.View().Zoom(), 0.9 * 300 / 50);
    // The buffer follows: the rectangle's lower edge.
    const TPixel ecke = w.View().Ansicht().View(0, 0);
    QCOMPARE(w.Puffer().pixel(ecke.X + 30, ecke.Y), kSchwarz);  // past the origin arrow
    QVERIFY(!w.ZoomSelected());
  }
};

QTEST_MAIN(TestZeichnen)
#include "test_zeichnen.moc"
