// The view state, zooming to the extent, the drawing order and picking.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cad/ansicht.h"

using namespace t21;

namespace {

struct Netz {
  TCadModel m;
  TCadShape* root = m.CreateShape("NET", "geschlossenes Siedlungsgebiet", 0, 0);
  TCadShape* Neu(const char* typ, const char* name, double x = 0, double y = 0) {
    TCadShape* s = m.CreateShape(typ, name, x, y);
    if (s->IsM3Shape()) s->SetParent(root);
    return s;
  }
};

// Origin (0, 0), zoom 1, 200 x 100 pixels: drawing y becomes 100 - y.
TAnsicht Einfach() {
  TAnsicht v;
  v.OrgX = v.OrgY = 0;
  v.Zoom = 1;
  v.Width = 200;
  v.Height = 100;
  return v;
}

}  // namespace

TEST(CadView, Grundwerte) {
  TCadView v;
  EXPECT_EQ(v.OrgX(), -10);
  EXPECT_EQ(v.OrgY(), -10);
  EXPECT_EQ(v.Zoom(), 0.9);
  EXPECT_EQ(v.GridMajor(), 100);
  EXPECT_EQ(v.GridMinor(), 20);
  EXPECT_EQ(v.GridColor(), 0xC0C0C0);
  EXPECT_TRUE(v.ShowGrid());
  EXPECT_EQ(v.Color, 0xFFFFFF);
  EXPECT_EQ(v.Width(), 200);
  EXPECT_EQ(v.Height(), 100);
  EXPECT_EQ(v.SelPen().Color, 0x0000FF);  // red
  EXPECT_EQ(v.SelPen().Style, 2);         // dotted
  EXPECT_TRUE(v.ShowParent());
  EXPECT_FALSE(v.ShowGEW());
  EXPECT_TRUE(v.ShowKUE());
  EXPECT_TRUE(v.ShowBUE());
  EXPECT_TRUE(v.ShowREG());
  EXPECT_EQ(v.Font.Name, "Arial");
  EXPECT_EQ(v.Font.Size, 8);
  // Drawing point (0, 0) lands on pixel (9, 91).
  EXPECT_EQ(v.Ansicht().View(0, 0), (TPixel{9, 91}));
}

TEST(CadView, ZoomNimmtNurWerteImBereich) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double z;
    bool genommen;
  } faelle[] = {{2, true},      {0.9, false}, {1e-17, false}, {1.1e-17, true}, {1e6, false},
                {999999, true}, {0, false},   {-1, false},    {nan, false}};
  for (const auto& f : faelle) {
    TCadView v;
    int neu = 0;
    v.Neuzeichnen = [&] { ++neu; };
    EXPECT_EQ(v.SetZoom(f.z), f.genommen) << f.z;
    EXPECT_EQ(neu, f.genommen ? 1 : 0) << f.z;
    if (!f.genommen) {
      EXPECT_EQ(v.Zoom(), 0.9) << f.z;
    }
  }
}

TEST(CadView, UrsprungUndZoomZusammen) {
  TCadView v;
  int neu = 0;
  v.Neuzeichnen = [&] { ++neu; };
  EXPECT_FALSE(v.SetOrg(-10, -10));
  EXPECT_TRUE(v.SetOrgX(5));
  EXPECT_EQ(v.OrgY(), -10);
  EXPECT_FALSE(v.SetOrg(std::numeric_limits<double>::infinity(), 0));
  EXPECT_EQ(neu, 1);
  // The origin is stored even when the zoom is refused, with one repaint.
  EXPECT_TRUE(v.SetOrgZoom(1, 2, -3));
  EXPECT_EQ(v.OrgX(), 1);
  EXPECT_EQ(v.OrgY(), 2);
  EXPECT_EQ(v.Zoom(), 0.9);
  EXPECT_EQ(neu, 2);
  EXPECT_TRUE(v.SetOrgZoom(1, 2, 3));
  EXPECT_EQ(v.Zoom(), 3);
  EXPECT_EQ(neu, 3);
  EXPECT_FALSE(v.SetOrgZoom(1, 2, 3));
}

TEST(CadView, RasterAbstaende) {
  // GridMinor 0 or negative is refused: snapping divides by it. So is a
  // major spacing of 0, which would pull the minor one down to 0.
  const struct {
    bool major;
    double wert;
    bool genommen;
    double major_danach, minor_danach;
  } faelle[] = {
      {false, 0, false, 100, 20},         {false, -5, false, 100, 20},  {false, 10, true, 100, 10},
      {false, 150, true, 150, 150},       {false, 1e7, false, 100, 20}, {true, 0, false, 100, 20},
      {true, -1, false, 100, 20},         {true, 10, true, 10, 10},     {true, 500, true, 500, 20},
      {true, 9999999, true, 9999999, 20}, {true, 100, false, 100, 20},  {false, 20, false, 100, 20},
  };
  for (const auto& f : faelle) {
    TCadView v;
    const bool ok = f.major ? v.SetGridMajor(f.wert) : v.SetGridMinor(f.wert);
    EXPECT_EQ(ok, f.genommen) << f.major << " " << f.wert;
    EXPECT_EQ(v.GridMajor(), f.major_danach) << f.major << " " << f.wert;
    EXPECT_EQ(v.GridMinor(), f.minor_danach) << f.major << " " << f.wert;
  }
}

TEST(CadView, EinstellungenDesModells) {
  TAnsichtEinstellungen e;
  e.OrgX = 12.5;
  e.OrgY = -3;
  e.Zoom = 1.25;
  e.GridMinor = 0;  // a file may hold it; the setter refuses it
  e.GridMajor = 50;
  e.ShowGEW = true;
  e.ShowGrid = false;
  TCadView v;
  v.UebernimmEinstellungen(e);
  EXPECT_EQ(v.OrgX(), 12.5);
  EXPECT_EQ(v.Zoom(), 1.25);
  EXPECT_EQ(v.GridMajor(), 50);
  EXPECT_EQ(v.GridMinor(), 20);
  EXPECT_TRUE(v.ShowGEW());
  EXPECT_FALSE(v.ShowGrid());
  const auto zurueck = v.Einstellungen();
  EXPECT_EQ(zurueck.OrgY, -3);
  EXPECT_EQ(zurueck.GridMinor, 20);
  EXPECT_EQ(zurueck.GridMajor, 50);

  // A stored pair finer than the current minor spacing comes through whole.
  e.GridMinor = 5;
  e.GridMajor = 10;
  v.UebernimmEinstellungen(e);
  EXPECT_EQ(v.GridMinor(), 5);
  EXPECT_EQ(v.GridMajor(), 10);
}

TEST(CadView, ZuruecksetzenUndUebernehmen) {
  TCadView v;
  v.SetOrgZoom(100, 200, 3);
  v.SetShowParent(false);
  v.SetShowREG(false);
  v.SetGridMinor(5);
  v.Zuruecksetzen();
  EXPECT_EQ(v.Zoom(), 0.9);
  EXPECT_EQ(v.OrgX(), -10);
  EXPECT_EQ(v.OrgY(), -10);
  EXPECT_TRUE(v.ShowParent() && v.ShowKUE() && v.ShowGEW() && v.ShowBUE() && v.ShowREG());
  EXPECT_EQ(v.GridMinor(), 5);  // the reset leaves the grid

  TCadView w;
  w.AssignValues(v);
  EXPECT_EQ(w.GridMinor(), 5);
  EXPECT_TRUE(w.ShowGEW());
}

TEST(CadView, ZoomAllZentriertMitRand) {
  Netz n;
  auto* a = n.Neu("REC", "a", 0, 0);
  auto* b = n.Neu("REC", "b", 950, 450);  // 50 x 50: up to (1000, 500)
  TCadView v;
  v.SetGroesse(1000, 500);
  v.SetZoom(2);
  ASSERT_TRUE(v.ZoomAll(n.m));
  EXPECT_DOUBLE_EQ(v.Zoom(), 0.9);
  EXPECT_NEAR(v.OrgX(), -55.56, 0.005);
  EXPECT_NEAR(v.OrgY(), -27.78, 0.005);

  // The selection alone; without one nothing happens (the caller beeps).
  EXPECT_FALSE(v.ZoomSelected(n.m));
  n.m.SetSelected(b);
  ASSERT_TRUE(v.ZoomSelected(n.m));
  EXPECT_DOUBLE_EQ(v.Zoom(), 0.9 * 10);  // min(1000 / 50, 500 / 50) * 0.9
  EXPECT_DOUBLE_EQ(v.OrgX(), 950 - (1000 / v.Zoom() - 50) / 2);

  // Nothing visible: the view stays.
  a->Visible = b->Visible = false;
  const double z = v.Zoom();
  EXPECT_FALSE(v.ZoomAll(n.m));
  EXPECT_EQ(v.Zoom(), z);
}

TEST(CadView, ZoomUmDenMauszeiger) {
  TCadView v;
  v.SetGroesse(400, 300);
  const TPixel maus{123, 77};
  const double x = v.Ansicht().PaperX(maus.X), y = v.Ansicht().PaperY(maus.Y);
  ASSERT_TRUE(v.ZoomUm(1.25, maus));
  EXPECT_DOUBLE_EQ(v.Zoom(), 0.9 * 1.25);
  EXPECT_NEAR(v.Ansicht().PaperX(maus.X), x, 1e-9);
  EXPECT_NEAR(v.Ansicht().PaperY(maus.Y), y, 1e-9);
  EXPECT_EQ(v.Ansicht().View(x, y), maus);
  EXPECT_FALSE(v.ZoomUm(0, maus));
}

TEST(Zeichenfolge, AuswahlObenInDerReihenfolgeDesWaehlens) {
  Netz n;
  auto* a = n.Neu("REC", "a");
  auto* b = n.Neu("REC", "b");
  auto* c = n.Neu("REC", "c");
  auto* d = n.Neu("REC", "d");
  d->Visible = false;
  n.m.SetSelected(c);
  n.m.SetSelected(a);
  const std::vector<const TCadShape*> erwartet{b, c, a};  // the root is invisible
  EXPECT_EQ(Zeichenfolge(n.m), erwartet);
}

// ------------------------------------------------------------------ picking

class Picken : public ::testing::Test {
 protected:
  Netz n;
  TAnsicht v = Einfach();
  TCadShape* linie = n.Neu("LIN", "Linie", 20, 50);         // (20, 50) to (80, 50): row 50
  TCadShape* rechteck = n.Neu("REC", "Rechteck", 100, 10);  // x 100..150, y 10..60
  TCadShape* gebiet = n.Neu("KEM", "Gebiet", 160, 30);      // x 160..210, y 30..80
  void SetUp() override {
    linie->X2 = 80;
    linie->Y2 = 50;
    gebiet->Ausrichtung = 3;  // triangle pointing right, apex (210, 55)
  }
};

TEST_F(Picken, LinieAufDemUmriss) {
  const struct {
    TPixel p;
    bool getroffen;
  } faelle[] = {
      {{50, 50}, true},  {{50, 49}, true},  {{50, 51}, true},  {{79, 51}, true},
      {{50, 52}, false}, {{50, 47}, false}, {{10, 50}, false}, {{85, 50}, false},
  };
  for (const auto& f : faelle)
    EXPECT_EQ(SelSingle(n.m, v, f.p), f.getroffen ? linie : nullptr) << f.p.X << "," << f.p.Y;
}

TEST_F(Picken, RechteckNurAmRand) {
  // View rectangle: x 100..150, screen y 40..90.
  EXPECT_EQ(SelSingle(n.m, v, {125, 65}), nullptr);  // inside, away from the outline
  EXPECT_EQ(SelSingle(n.m, v, {101, 65}), rechteck);
  EXPECT_EQ(SelSingle(n.m, v, {125, 89}), rechteck);
  // Selected, its grabs pick it as well.
  EXPECT_EQ(SelSingle(n.m, v, {128, 92}), nullptr);
  n.m.SetSelected(rechteck);
  EXPECT_EQ(PointOnEnd(*rechteck, v, {125, 90}), 12);
  EXPECT_EQ(SelSingle(n.m, v, {128, 92}), rechteck);
}

TEST_F(Picken, NetzsymbolAufDerFlaeche) {
  // The triangle: apex (210, 45), base x = 160 from y 20 to 70 on screen.
  EXPECT_EQ(SelSingle(n.m, v, {175, 45}), gebiet);
  EXPECT_EQ(SelSingle(n.m, v, {205, 25}), nullptr);  // in the box, outside the triangle
}

TEST_F(Picken, VersteckteNie) {
  linie->Visible = false;
  rechteck->Visible = false;
  gebiet->Visible = false;
  EXPECT_EQ(SelSingle(n.m, v, {50, 50}), nullptr);
  EXPECT_EQ(SelSingle(n.m, v, {101, 65}), nullptr);
  EXPECT_EQ(SelSingle(n.m, v, {175, 45}), nullptr);
  EXPECT_EQ(SelCross(n.m, v, {0, 0, 199, 99}), nullptr);
  EXPECT_FALSE(n.m.AnySelected());
}

TEST_F(Picken, ObersteZuerst) {
  auto* oben = n.Neu("REC", "oben", 100, 10);  // the same box, later in the list
  EXPECT_EQ(SelSingle(n.m, v, {101, 65}), oben);
  n.m.SetSelected(rechteck);  // drawn on top now
  EXPECT_EQ(SelSingle(n.m, v, {101, 65}), rechteck);
}

TEST_F(Picken, FensterUndSchnitt) {
  // A window around the left half of the line: nothing.
  EXPECT_EQ(SelWindow(n.m, v, {10, 40, 50, 60}), nullptr);
  EXPECT_FALSE(n.m.IsSelected(linie));
  // A crossing window: the line.
  EXPECT_EQ(SelCross(n.m, v, {10, 40, 50, 60}), linie);
  EXPECT_TRUE(n.m.IsSelected(linie));
  n.m.SelectAll(false);
  // A window around the whole line.
  EXPECT_EQ(SelWindow(n.m, v, {10, 40, 90, 60}), linie);
  n.m.SelectAll(false);
  // A window around everything selects all three, never the root.
  SelWindow(n.m, v, {0, 0, 220, 99});
  EXPECT_EQ(n.m.Selection().size(), 3u);
  EXPECT_FALSE(n.m.IsSelected(n.root));
}

TEST_F(Picken, PunktAuswahl) {
  EXPECT_EQ(SelPoint(n.m, v, {50, 51}), linie);
  // Unlike a click, the point selection takes a rectangle by its area.
  EXPECT_EQ(SelPoint(n.m, v, {125, 65}), rechteck);
  EXPECT_EQ(SelPoint(n.m, v, {175, 45}), gebiet);
  EXPECT_EQ(SelPoint(n.m, v, {205, 25}), nullptr);
  EXPECT_EQ(n.m.Selection().size(), 3u);
}

// ---------------------------------------------------- construction defaults

TEST(Konstruktion, GrafischeFormen) {
  TCadModel m;
  m.CreateShape("NET", "root", 0, 0);
  auto* dot = m.CreateShape("DOT", "p", 5, 5);
  EXPECT_EQ(dot->X2 - dot->X1, 12);
  EXPECT_EQ(dot->Pen.Color, 0x808080);
  EXPECT_EQ(dot->Val, "+");

  auto* imp = m.CreateShape("IMP", "Kopf", 10, 20);
  EXPECT_EQ(imp->Font.Size, 8);
  EXPECT_EQ(imp->X2 - imp->X1, 35 * 11);  // |font height| 11 pixels
  EXPECT_EQ(imp->Y2 - imp->Y1, 14 * 11);
  EXPECT_EQ(imp->Brush.Style, 0);
  EXPECT_EQ(imp->Val,
            "Name#Straße#PLZ#Ort#Telefon#Fax#Mail#Nummer#Name#Variante#Auftraggeber#Datum#");

  auto* bmp = m.CreateShape("BMP", "Bild", 0, 0);
  EXPECT_EQ(bmp->X2, 50);
  EXPECT_EQ(bmp->Pen.Style, 3);  // dash-dot
  EXPECT_EQ(bmp->Pen.Color, 0);
  EXPECT_TRUE(bmp->Val.empty());
  EXPECT_TRUE(bmp->Stretch);
  EXPECT_FALSE(bmp->Center);

  auto* tex = m.CreateShape("TEX", "Überschrift", 0, 0);
  EXPECT_EQ(tex->Fmt, "%s");
  EXPECT_EQ(tex->Val, "Überschrift");
  EXPECT_EQ(tex->Ausrichtung, 9);
  EXPECT_EQ(tex->Brush.Style, 1);  // clear
  EXPECT_EQ(tex->Pen.Color, 0);

  auto* dim = m.CreateShape("Dim", "Mass", 0, 0);
  EXPECT_EQ(dim->A, "a");
  EXPECT_EQ(dim->GL, 10);
  EXPECT_EQ(dim->Fmt, "%f");

  auto* rre = m.CreateShape("RRE", "r", 0, 0);
  EXPECT_EQ(rre->X3, 15);
  EXPECT_EQ(rre->Y3, 15);
  EXPECT_EQ(rre->Ausrichtung, 6);
  EXPECT_EQ(m.CreateShape("PIE", "t", 0, 0)->X2, 100);
  EXPECT_EQ(m.CreateShape("YON", "j", 0, 0)->Brush.Color, 0xFFFFFF);
  EXPECT_EQ(m.CreateShape("LIN", "l", 3, 4)->X2, 3);  // a line starts as a point
}

TEST(Konstruktion, VersickerungsBilder) {
  const struct {
    const char* typ;
    int bmp;
  } faelle[] = {{"VFL", 70}, {"VBE", 71}, {"VMU", 72}, {"VRI", 73}, {"VSC", 74}, {"RU", -1}};
  TCadModel m;
  for (const auto& f : faelle) EXPECT_EQ(m.CreateShape(f.typ, f.typ, 0, 0)->bmp, f.bmp) << f.typ;
}
