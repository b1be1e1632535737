#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "cad/bearbeiten.h"
#include "cad/geometrie.h"

using namespace t21;

namespace {

// A view with its origin at (0, 0), zoom 1 and 100 pixels high: drawing y
// becomes 100 - y on screen.
TAnsicht Einfach() {
  TAnsicht v;
  v.OrgX = 0;
  v.OrgY = 0;
  v.Zoom = 1;
  v.Width = 200;
  v.Height = 100;
  return v;
}

class Geometrie : public ::testing::Test {
 protected:
  TCadModel m;
  TAnsicht v = Einfach();
  TCadShape* root = m.CreateShape("NET", "geschlossenes Siedlungsgebiet", 0, 0);

  TCadShape* Neu(const char* typ, const char* name, double x = 0, double y = 0) {
    TCadShape* s = m.CreateShape(typ, name, x, y);
    if (s->IsM3Shape()) s->SetParent(root);
    return s;
  }
  static void Box(TCadShape* s, double x1, double y1, double x2, double y2) {
    s->X1 = x1;
    s->Y1 = y1;
    s->X2 = x2;
    s->Y2 = y2;
  }
  // The 5 x 5 pick box around a pixel.
  static TPixelRect Pick(int x, int y) { return {x - 2, y - 2, x + 2, y + 2}; }
  static TPunkt Mitte(const TCadShape& s) { return {s.HMiddle(), s.VMiddle()}; }
};

}  // namespace

// ---------------------------------------------------------------- transform

TEST(Ansicht, RundungZurGeradenZahl) {
  const struct {
    double v;
    int r;
  } faelle[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},         {3.5, 4},
                {-2.5, -2}, {-3.5, -4}, {2.4999999, 2},   {2.5000001, 3},
                {-0.4, 0},  {16.5, 16}, {1e300, INT_MAX}, {-1e300, INT_MIN}};
  for (const auto& f : faelle) EXPECT_EQ(RundeGerade(f.v), f.r) << f.v;
}

// The short way within +-2^30 gives what the general one gives: on quarters,
// on the doubles next to every tie, on random values of every size and at
// the border between the two ways.
TEST(Ansicht, RundungKurzWieAllgemein) {
  std::vector<double> werte{0.0,           -0.0,         std::nan(""),  1073741823.5,
                            -1073741823.5, 1073741824.0, -1073741824.0, 1073741824.5,
                            -1073741824.5, 2147483647.5, -2147483648.5};
  for (int i = -20000; i <= 20000; ++i) werte.push_back(i / 4.0);
  for (int i = -200; i <= 200; ++i) {
    const double tie = i + 0.5;
    werte.push_back(std::nextafter(tie, 1e9));
    werte.push_back(std::nextafter(tie, -1e9));
  }
  std::mt19937_64 zufall(5);
  for (int i = 0; i < 200000; ++i) {
    const double groesse = std::ldexp(1.0, static_cast<int>(zufall() % 36));
    werte.push_back((static_cast<double>(zufall() % 2000001) / 1000000.0 - 1.0) * groesse);
  }
  for (const double v : werte) ASSERT_EQ(RundeGerade(v), RundeGeradeWeit(v)) << v;
}

TEST(Ansicht, TransformUndRueckweg) {
  TAnsicht v;
  v.OrgX = -10;
  v.OrgY = 20;
  v.Zoom = 2;
  v.Height = 300;
  EXPECT_EQ(v.ViewX(0), 20);
  EXPECT_EQ(v.ViewX(-9.25), 2);  // 1.5 rounds to 2
  EXPECT_EQ(v.ViewX(-9.75), 0);  // 0.5 rounds to 0
  EXPECT_EQ(v.ViewY(20), 300);   // origin at the lower edge
  EXPECT_EQ(v.ViewY(70), 200);   // y points up
  EXPECT_DOUBLE_EQ(v.PaperX(20), 0);
  EXPECT_DOUBLE_EQ(v.PaperY(200), 70);
  // While a picture is rendered ViewY measures from its height, PaperY not.
  v.MetaAktiv = true;
  v.MetaHeight = 500;
  EXPECT_EQ(v.ViewY(70), 400);
  EXPECT_DOUBLE_EQ(v.PaperY(200), 70);
  // A vanishing zoom gives the origin instead of a division by zero.
  v.Zoom = 1e-12;
  EXPECT_DOUBLE_EQ(v.PaperX(1000), -10);
  EXPECT_DOUBLE_EQ(v.PaperY(0), 20);
}

TEST(Ansicht, AusGespeichertenEinstellungen) {
  TAnsichtEinstellungen e;
  e.OrgX = 5;
  e.OrgY = 6;
  e.Zoom = 3;
  e.ShowGEW = false;
  e.ShowREG = false;
  const TAnsicht v(e, 640, 480);
  EXPECT_EQ(v.OrgX, 5);
  EXPECT_EQ(v.OrgY, 6);
  EXPECT_EQ(v.Zoom, 3);
  EXPECT_EQ(v.Width, 640);
  EXPECT_EQ(v.Height, 480);
  EXPECT_FALSE(v.ShowGEW);
  EXPECT_FALSE(v.ShowREG);
  EXPECT_TRUE(v.ShowParent && v.ShowKUE && v.ShowBUE);
}

TEST_F(Geometrie, ViewRectHatDieUntereKanteOben) {
  TCadShape* r = Neu("REC", "r");
  Box(r, 30, 40, 10, 20);  // not normalised
  EXPECT_EQ(GetExt(*r), (TAusdehnung{10, 20, 30, 40}));
  EXPECT_EQ(GetViewRect(*r, v), (TPixelRect{10, 80, 30, 60}));
  EXPECT_EQ(Normalisiert(GetViewRect(*r, v)), (TPixelRect{10, 60, 30, 80}));
}

TEST_F(Geometrie, AusdehnungVonPolylinienUndModell) {
  TCadShape* p = Neu("POL", "p", 500, 500);
  p->Koordinaten = {{1, 7}, {-3, 2}, {4, -5}};
  EXPECT_EQ(GetExt(*p), (TAusdehnung{-3, -5, 4, 7}));
  TCadShape* a = Neu("KEM", "a", 10, 10);
  TCadShape* b = Neu("RUB", "b", 100, -20);
  TCadShape* c = Neu("REC", "c", 1000, 1000);
  c->Visible = false;  // hidden shapes and the root do not count
  EXPECT_EQ(GetExt(m, false), (TAusdehnung{-3, -20, 170, 60}));
  m.SetSelected(a);
  m.SetSelected(c);
  EXPECT_EQ(GetExt(m, true), (TAusdehnung{10, 10, 60, 60}));
  m.SelectAll(false);
  const auto leer = GetExt(m, true);
  EXPECT_EQ(leer, (TAusdehnung{9999999, 9999999, -9999999, -9999999}));
  (void)b;
}

// ------------------------------------------------------------- orientation

TEST_F(Geometrie, DrehenDrehtDieBoxUmDenAnker) {
  TCadShape* s = Neu("RUB", "s", 10, 20);
  ASSERT_EQ(s->Ausrichtung, 9);
  Drehen(*s);
  EXPECT_EQ(s->Ausrichtung, 12);
  EXPECT_EQ((TAusdehnung{s->X1, s->Y1, s->X2, s->Y2}), (TAusdehnung{10, 20, 60, 90}));
  for (const int erwartet : {3, 6, 9}) {
    Drehen(*s);
    EXPECT_EQ(s->Ausrichtung, erwartet);
  }
  EXPECT_EQ((TAusdehnung{s->X1, s->Y1, s->X2, s->Y2}), (TAusdehnung{10, 20, 80, 70}));
  s->Ausrichtung = 0;
  Drehen(*s);
  EXPECT_EQ(s->Ausrichtung, 3);
  EXPECT_EQ(s->Width(), 70);  // 0 counts as horizontal
}

TEST_F(Geometrie, SetAusrichtungNormalisiertOderDreht) {
  TCadShape* s = Neu("REC", "s");
  Box(s, 10, 20, 0, 0);   // 10 x 20, not normalised, orientation 6
  SetAusrichtung(*s, 6);  // unchanged value: nothing
  EXPECT_EQ(s->X2, 0);
  SetAusrichtung(*s, 12);  // vertical to vertical: normalised
  EXPECT_EQ((TAusdehnung{s->X1, s->Y1, s->X2, s->Y2}), (TAusdehnung{10, 20, 20, 40}));
  SetAusrichtung(*s, 3);  // vertical to horizontal: turned
  EXPECT_EQ((TAusdehnung{s->X1, s->Y1, s->X2, s->Y2}), (TAusdehnung{10, 20, 30, 30}));
}

TEST_F(Geometrie, LinienBehaltenIhreFigur) {
  for (const char* typ : {"LIN", "Arc", "Chord", "PIE", "IMP", "Dim"}) {
    TCadShape* s = Neu(typ, typ);
    Box(s, 0, 0, 40, -10);
    Drehen(*s);
    EXPECT_EQ(s->Ausrichtung, 6) << typ;
    SetAusrichtung(*s, 3);  // only the value
    EXPECT_EQ(s->Ausrichtung, 3) << typ;
    EXPECT_EQ((TAusdehnung{s->X1, s->Y1, s->X2, s->Y2}), (TAusdehnung{0, 0, 40, -10})) << typ;
  }
  // Polylines turn their box, never their vertices.
  TCadShape* p = Neu("POG", "p");
  Box(p, 0, 0, 40, 10);
  p->Koordinaten = {{0, 0}, {40, 10}};
  Drehen(*p);
  EXPECT_EQ(p->Ausrichtung, 9);
  EXPECT_EQ(p->Koordinaten, (std::vector<TPunkt>{{0, 0}, {40, 10}}));
}

TEST_F(Geometrie, WirksameRichtungUndTextwinkel) {
  const struct {
    int ausrichtung;
    bool h, v;
    int richtung, text, winkel;
  } faelle[] = {
      {3, false, false, 3, 3, 180},   {3, true, false, 9, 9, 0},     {3, false, true, 3, 9, 0},
      {3, true, true, 9, 3, 180},     {9, true, false, 3, 3, 180},   {9, false, false, 9, 9, 0},
      {6, false, true, 12, 12, 90},   {6, true, false, 6, 12, 90},   {12, false, true, 6, 6, 270},
      {12, false, false, 12, 12, 90}, {12, true, false, 12, 6, 270},
  };
  TCadShape* s = Neu("EST", "s");
  for (const auto& f : faelle) {
    s->Ausrichtung = f.ausrichtung;
    s->HGespiegelt = f.h;
    s->VGespiegelt = f.v;
    EXPECT_EQ(GetDirection(*s), f.richtung) << f.ausrichtung << f.h << f.v;
    EXPECT_EQ(TextRichtung(*s), f.text) << f.ausrichtung << f.h << f.v;
    EXPECT_EQ(TextWinkel(*s), f.winkel) << f.ausrichtung << f.h << f.v;
  }
}

TEST_F(Geometrie, TextboxFolgtDemText) {
  v.Zoom = 2;
  TCadShape* t = Neu("TEX", "t");
  t->Ausrichtung = 9;
  const struct {
    const char* al;
    TAusdehnung box;
  } faelle[] = {{"LTA_00000000", {10, 0, 60, 8}},
                {"RTA", {-20, 0, 30, 8}},
                {"CTA", {-5, 0, 45, 8}},
                {"", {10, 0, 60, 8}}};
  for (const auto& f : faelle) {
    Box(t, 10, 0, 30, 5);
    t->Al = f.al;
    TextBoxAnpassen(*t, v, 100, 16);
    EXPECT_EQ((TAusdehnung{t->X1, t->Y1, t->X2, t->Y2}), f.box) << f.al;
  }
  t->Ausrichtung = 12;  // upright: as wide as the text is high
  Box(t, 10, 0, 30, 5);
  TextBoxAnpassen(*t, v, 100, 16);
  EXPECT_EQ((TAusdehnung{t->X1, t->Y1, t->X2, t->Y2}), (TAusdehnung{10, 0, 18, 50}));
}

// ------------------------------------------------------------------- docks

TEST_F(Geometrie, DocksNachAusrichtungUndSpiegelung) {
  // Box (0, 0)-(80, 40): L 0, R 80, B 100, T 60, MX 40, MY 80; w 10, h 5.
  const struct {
    int a;
    bool h, v;
    TPixel zu, ab, kue, bue;
  } faelle[] = {
      {3, false, false, {0, 80}, {80, 80}, {70, 60}, {10, 60}},
      {3, true, false, {80, 80}, {0, 80}, {10, 60}, {70, 60}},
      {3, false, true, {0, 80}, {80, 80}, {70, 100}, {10, 100}},
      {3, true, true, {80, 80}, {0, 80}, {10, 100}, {70, 100}},
      {6, false, false, {40, 60}, {40, 100}, {80, 95}, {80, 65}},
      {6, true, false, {40, 60}, {40, 100}, {0, 95}, {0, 65}},
      {6, false, true, {40, 100}, {40, 60}, {80, 65}, {80, 95}},
      {9, false, false, {80, 80}, {0, 80}, {10, 100}, {70, 100}},
      {9, true, false, {0, 80}, {80, 80}, {70, 100}, {10, 100}},
      {9, false, true, {80, 80}, {0, 80}, {10, 60}, {70, 60}},
      {12, false, false, {40, 100}, {40, 60}, {0, 65}, {0, 95}},
      {12, true, false, {40, 100}, {40, 60}, {80, 65}, {80, 95}},
      {12, false, true, {40, 60}, {40, 100}, {0, 95}, {0, 65}},
  };
  TCadShape* s = Neu("RUB", "s");
  for (const auto& f : faelle) {
    Box(s, 0, 0, 80, 40);
    s->Ausrichtung = f.a;
    s->HGespiegelt = f.h;
    s->VGespiegelt = f.v;
    const std::string fall = std::to_string(f.a) + (f.h ? "H" : "") + (f.v ? "V" : "");
    EXPECT_EQ(DockZu(*s, v), f.zu) << fall;
    EXPECT_EQ(DockAb(*s, v), f.ab) << fall;
    EXPECT_EQ(DockKUE(*s, v), f.kue) << fall;
    EXPECT_EQ(DockBUE(*s, v), f.bue) << fall;
  }
}

TEST_F(Geometrie, DocksDerSonderformen) {
  // RU: the clarifier overflow leaves from the middle of a side.
  const struct {
    int a;
    bool h, v;
    TPixel kue;
  } ru[] = {{3, false, false, {40, 60}}, {3, false, true, {40, 100}},  {6, false, false, {80, 80}},
            {6, true, false, {0, 80}},   {9, false, false, {40, 100}}, {9, false, true, {40, 60}},
            {12, false, false, {0, 80}}, {12, true, false, {80, 80}}};
  TCadShape* s = Neu("RU", "ru");
  for (const auto& f : ru) {
    Box(s, 0, 0, 80, 40);
    s->Ausrichtung = f.a;
    s->HGespiegelt = f.h;
    s->VGespiegelt = f.v;
    EXPECT_EQ(DockKUE(*s, v), f.kue) << f.a << f.h << f.v;
  }
  EXPECT_EQ(DockBUE(*s, v), (TPixel{80, 95}));  // RU keeps the base BUE dock

  // Connectors and dots: every dock is the centre.
  for (const char* typ : {"CON", "DOT"}) {
    TCadShape* c = Neu(typ, typ, 10, 20);
    c->Ausrichtung = 3;
    c->HGespiegelt = true;
    const TPixel mitte{16, 74};
    EXPECT_EQ(DockZu(*c, v), mitte) << typ;
    EXPECT_EQ(DockAb(*c, v), mitte) << typ;
    EXPECT_EQ(DockKUE(*c, v), mitte) << typ;
    EXPECT_EQ(DockBUE(*c, v), mitte) << typ;
  }

  // Decision: in at the top, "ja" left and "nein" right on the lower edge.
  TCadShape* y = Neu("YON", "y");
  Box(y, 0, 0, 80, 40);
  EXPECT_EQ(DockZu(*y, v), (TPixel{40, 60}));
  EXPECT_EQ(DockAb(*y, v), (TPixel{20, 100}));
  EXPECT_EQ(DockKUE(*y, v), (TPixel{60, 100}));
  y->HGespiegelt = true;
  EXPECT_EQ(DockAb(*y, v), (TPixel{60, 100}));
  EXPECT_EQ(DockKUE(*y, v), (TPixel{20, 100}));
}

// -------------------------------------------------------------- link lines

TEST(LinkPfeil, SpitzeInDerMitteZeigtInFliessrichtung) {
  EXPECT_EQ(LinkPfeil({0, 0}, {100, 0}), (std::array<TPixel, 3>{{{50, 0}, {43, -4}, {43, 4}}}));
  EXPECT_EQ(LinkPfeil({100, 0}, {0, 0}), (std::array<TPixel, 3>{{{50, 0}, {57, 4}, {57, -4}}}));
  EXPECT_EQ(LinkPfeil({0, 0}, {0, 100}), (std::array<TPixel, 3>{{{0, 50}, {4, 43}, {-4, 43}}}));
  EXPECT_EQ(LinkPfeil({0, 100}, {0, 0}), (std::array<TPixel, 3>{{{0, 50}, {-4, 57}, {4, 57}}}));
  // The midpoint truncates towards zero.
  EXPECT_EQ(LinkPfeil({-3, 1}, {0, 2})[0], (TPixel{-1, 1}));
}

TEST_F(Geometrie, LinkLinienNachSchalternUndSichtbarkeit) {
  TCadShape* k = Neu("KEM", "k", 0, 0);
  TCadShape* b = Neu("RUB", "b", 100, 0);
  TCadShape* e = Neu("EST", "e", 200, 0);
  TCadShape* r = Neu("REG", "r", 0, 100);
  k->SetParent(b);
  k->SetREG(r);
  k->SetGEW(e);
  b->SetParent(e);
  b->SetKUE(e);
  b->SetBUE(e);
  v.ShowGEW = true;

  const auto lk = LinkLinien(*k, v);
  ASSERT_EQ(lk.size(), 3u);
  EXPECT_EQ(lk[0].Art, TLinkArt::Parent);
  EXPECT_EQ(lk[0].Von, DockAb(*k, v));
  EXPECT_EQ(lk[0].Bis, DockZu(*b, v));
  ASSERT_TRUE(lk[0].Pfeil);
  EXPECT_EQ(*lk[0].Pfeil, LinkPfeil(lk[0].Von, lk[0].Bis));
  EXPECT_EQ(lk[1].Art, TLinkArt::REG);  // from the gauge to the catchment
  EXPECT_EQ(lk[1].Von, DockAb(*r, v));
  EXPECT_EQ(lk[1].Bis, DockZu(*k, v));
  EXPECT_EQ(lk[2].Art, TLinkArt::GEW);
  EXPECT_EQ(lk[2].Von, DockAb(*k, v));

  const auto lb = LinkLinien(*b, v);
  ASSERT_EQ(lb.size(), 3u);
  EXPECT_EQ(lb[1].Art, TLinkArt::KUE);
  EXPECT_EQ(lb[1].Von, DockKUE(*b, v));
  EXPECT_EQ(lb[2].Art, TLinkArt::BUE);
  EXPECT_EQ(lb[2].Von, DockBUE(*b, v));
  EXPECT_EQ(lb[2].Bis, DockZu(*e, v));
  EXPECT_EQ(LinkFarbe(TLinkArt::KUE), 0xFF00FF);
  EXPECT_EQ(LinkFarbe(TLinkArt::Parent), -1);

  // Switches off, targets hidden, arrows off.
  v.ShowREG = v.ShowGEW = false;
  EXPECT_EQ(LinkLinien(*k, v).size(), 1u);
  v.ShowParent = false;
  v.ShowKUE = false;
  const auto nurBue = LinkLinien(*b, v);
  ASSERT_EQ(nurBue.size(), 1u);
  EXPECT_EQ(nurBue[0].Art, TLinkArt::BUE);
  e->Visible = false;
  EXPECT_TRUE(LinkLinien(*b, v).empty());
  v = Einfach();
  e->Visible = true;
  b->ShowArrows = false;
  EXPECT_FALSE(LinkLinien(*b, v)[0].Pfeil);
  // Root links are not drawn: the root is invisible.
  EXPECT_TRUE(LinkLinien(*r, v).empty());
  TCadShape* t = Neu("TEX", "t");
  t->SetParent(b);
  EXPECT_TRUE(LinkLinien(*t, v).empty());
}

TEST_F(Geometrie, FliesspfeilUndSymboldreieck) {
  TCadShape* s = Neu("KEM", "s");  // 50 x 50: e = round(16.5) = 16
  // View rect: L 0, R 50, lower 100, upper 50; MX 25, MY 75.
  const struct {
    int a;
    std::array<TPixel, 5> pfeil;
    std::array<TPixel, 3> dreieck;
  } faelle[] = {
      {3, {{{16, 75}, {34, 75}, {30, 79}, {30, 71}, {34, 75}}}, {{{50, 75}, {0, 50}, {0, 100}}}},
      {9, {{{34, 75}, {16, 75}, {20, 79}, {20, 71}, {16, 75}}}, {{{0, 75}, {50, 50}, {50, 100}}}},
      {6, {{{25, 66}, {25, 84}, {29, 80}, {21, 80}, {25, 84}}}, {{{25, 100}, {0, 50}, {50, 50}}}},
      {12, {{{25, 84}, {25, 66}, {29, 70}, {21, 70}, {25, 66}}}, {{{25, 50}, {0, 100}, {50, 100}}}},
  };
  for (const auto& f : faelle) {
    s->Ausrichtung = f.a;
    ASSERT_TRUE(FliessPfeil(*s, v)) << f.a;
    EXPECT_EQ(*FliessPfeil(*s, v), f.pfeil) << f.a;
    EXPECT_EQ(*SymbolDreieck(*s, v), f.dreieck) << f.a;
  }
  s->Ausrichtung = 3;
  s->HGespiegelt = true;  // effective direction 9
  EXPECT_EQ(*FliessPfeil(*s, v), faelle[1].pfeil);
  s->Ausrichtung = 0;
  EXPECT_FALSE(FliessPfeil(*s, v));
  EXPECT_FALSE(SymbolDreieck(*s, v));
}

// -------------------------------------------------------------- hit tests

TEST(Strecken, KreuzenNurImInneren) {
  const struct {
    TPunkt a, b, c, d;
    bool kreuzt;
  } faelle[] = {
      {{0, 0}, {10, 10}, {0, 10}, {10, 0}, true},    // X
      {{0, 0}, {10, 10}, {10, 10}, {20, 0}, false},  // touching at an end
      {{0, 0}, {10, 0}, {5, 0}, {20, 0}, false},     // collinear overlap
      {{0, 0}, {10, 5}, {0, 1}, {10, 6}, false},     // parallel
      {{5, -5}, {5, 5}, {0, 0}, {10, 0}, true},      // vertical against horizontal
      {{0, 0}, {10, 0}, {5, -5}, {5, 5}, true},      // the other way round
      {{5, 1}, {5, 5}, {0, 0}, {10, 0}, false},      // vertical ends above
      {{5, -5}, {5, 5}, {5, -1}, {5, 9}, false},     // both vertical
      {{0, 0}, {4, 4}, {0, 10}, {10, 0}, false},     // lines cross outside A-B
  };
  for (const auto& f : faelle) {
    EXPECT_EQ(StreckenKreuzen(f.a, f.b, f.c, f.d), f.kreuzt)
        << f.a.X << "," << f.a.Y << " " << f.b.X << "," << f.b.Y;
  }
}

TEST_F(Geometrie, LinieWirdAufDemUmrissGetroffen) {
  TCadShape* l = Neu("LIN", "l");
  Box(l, 10, 50, 110, 50);  // screen y 50, x 10 ... 110
  EXPECT_TRUE(IsCrossing(*l, v, Pick(60, 51)));
  EXPECT_FALSE(IsCrossing(*l, v, Pick(60, 54)));
  // Window around half of it: not inside, but crossing.
  const TPixelRect haelfte{0, 0, 60, 90};
  EXPECT_FALSE(IsInside(*l, v, haelfte));
  EXPECT_TRUE(IsCrossing(*l, v, haelfte));
  EXPECT_TRUE(IsInside(*l, v, {0, 0, 120, 90}));
  EXPECT_TRUE(IsInside(*l, v, {120, 90, 0, 0}));    // drawn the other way round
  EXPECT_FALSE(IsInside(*l, v, {10, 0, 120, 90}));  // strictly inside only
}

TEST_F(Geometrie, UmrisseDerGrafikformen) {
  // Box (0, 0)-(40, 40): screen x 0 ... 40, screen y 60 ... 100.
  struct Fall {
    const char* typ;
    TPixelRect r;
    bool kreuzt;
  };
  const Fall faelle[] = {
      {"REC", Pick(0, 80), true},    // left edge
      {"REC", Pick(20, 80), false},  // inside, away from the outline
      {"RRE", Pick(20, 60), true},   // upper edge
      {"CIR", Pick(20, 60), true},   // top of the circle
      {"CIR", Pick(3, 63), false},   // box corner, outside the circle
      {"CIR", Pick(20, 80), false},  // centre
      {"RAU", Pick(10, 71), true},   // on the diamond edge
      {"RAU", Pick(1, 61), false},   // box corner
      {"KEM", Pick(40, 80), true},   // network shapes: the box
      {"TEX", Pick(0, 80), false},   // texts: only when inside
      {"TEX", {-1, 50, 41, 101}, true}, {"DOT", {-1, 50, 41, 101}, true},
  };
  for (const auto& f : faelle) {
    TCadShape* s = Neu(f.typ, f.typ);
    Box(s, 0, 0, 40, 40);
    EXPECT_EQ(IsCrossing(*s, v, f.r), f.kreuzt) << f.typ << " " << f.r.Left << "," << f.r.Top;
    m.DeleteShape(s);
  }
}

TEST_F(Geometrie, BoegenSehnenUndTortenstuecke) {
  // Ellipse in (0, 0)-(40, 40): centre (20, 20), on screen (20, 80), radius 20.
  auto neu = [&](const char* typ, TPunkt p3, TPunkt p4) {
    TCadShape* s = Neu(typ, typ);
    Box(s, 0, 0, 40, 40);
    s->X3 = p3.X;
    s->Y3 = p3.Y;
    s->X4 = p4.X;
    s->Y4 = p4.Y;
    return s;
  };
  const TPixelRect oben = Pick(20, 60), unten = Pick(20, 100), links = Pick(0, 80),
                   mitte = Pick(20, 80);
  // Counter-clockwise from the right (40, 20) to the left (0, 20): upper half.
  TCadShape* a = neu("Arc", {40, 20}, {0, 20});
  EXPECT_TRUE(IsCrossing(*a, v, oben));
  EXPECT_FALSE(IsCrossing(*a, v, unten));
  // Three quarters, from the top counter-clockwise to the right.
  TCadShape* d = neu("Arc", {20, 40}, {40, 20});
  EXPECT_TRUE(IsCrossing(*d, v, links));
  EXPECT_TRUE(IsCrossing(*d, v, unten));
  EXPECT_FALSE(IsCrossing(*d, v, Pick(35, 67)));  // the missing quarter
  // Equal rays: the whole ellipse.
  TCadShape* g = neu("Arc", {40, 20}, {40, 20});
  EXPECT_TRUE(IsCrossing(*g, v, unten));
  EXPECT_TRUE(IsCrossing(*g, v, Pick(35, 67)));
  // Quarter from the right to the top: chord and radii.
  TCadShape* c = neu("Chord", {40, 20}, {20, 40});
  EXPECT_TRUE(IsCrossing(*c, v, Pick(30, 71)));  // on the chord
  EXPECT_FALSE(IsCrossing(*c, v, links));
  TCadShape* p = neu("PIE", {100, 20}, {20, 100});  // points beyond the ellipse
  EXPECT_TRUE(IsCrossing(*p, v, Pick(30, 80)));     // on the radius to the right
  EXPECT_TRUE(IsCrossing(*p, v, Pick(20, 70)));     // on the radius to the top
  EXPECT_FALSE(IsCrossing(*p, v, Pick(30, 70)));
  EXPECT_TRUE(IsCrossing(*p, v, mitte));  // the radii leave the pick box
}

TEST_F(Geometrie, PolylinieUndPolygon) {
  TCadShape* p = Neu("POL", "p");
  p->Koordinaten = {{0, 0}, {40, 0}, {40, 40}};
  TCadShape* g = Neu("POG", "g");
  g->Koordinaten = p->Koordinaten;
  const TPixelRect schluss = Pick(20, 81);  // on the closing segment
  EXPECT_TRUE(IsCrossing(*p, v, Pick(20, 100)));
  EXPECT_FALSE(IsCrossing(*p, v, schluss));
  EXPECT_TRUE(IsCrossing(*g, v, schluss));
  p->Koordinaten.resize(1);
  EXPECT_FALSE(IsCrossing(*p, v, Pick(0, 100)));
}

TEST_F(Geometrie, FlaechenDerNetzsymbole) {
  TCadShape* k = Neu("KEM", "k");  // pointing left: apex (0, 75)
  EXPECT_TRUE(RectOnShape(*k, v, Pick(40, 75)));
  EXPECT_TRUE(RectOnShape(*k, v, Pick(50, 50)));  // corner of the base: edges count
  EXPECT_FALSE(RectOnShape(*k, v, Pick(5, 55)));  // inside the box, outside the triangle
  EXPECT_TRUE(PointInShape(*k, v, {5, 55}));
  EXPECT_FALSE(PointInShape(*k, v, {51, 55}));
  TCadShape* oben = Neu("REC", "oben", 40, 0);
  EXPECT_EQ(GetNode(m, v, {45, 55}), oben);  // topmost first
  EXPECT_EQ(GetNode(m, v, {5, 55}), k);
  oben->Visible = false;
  EXPECT_EQ(GetNode(m, v, {45, 55}), k);
  EXPECT_EQ(GetNode(m, v, {0, 100}), k);
  EXPECT_EQ(GetNode(m, v, {150, 10}), nullptr);
  k->X2 = k->X1;  // degenerate triangle
  EXPECT_FALSE(RectOnShape(*k, v, Pick(0, 75)));

  TCadShape* c = Neu("KLG", "c");  // circle radius 25 around (25, 75)
  EXPECT_TRUE(RectOnShape(*c, v, Pick(25, 50)));
  EXPECT_FALSE(RectOnShape(*c, v, Pick(4, 54)));

  TCadShape* r = Neu("RUB", "r");  // the view rectangle (0, 50)-(70, 100)
  EXPECT_TRUE(RectOnShape(*r, v, {60, 40, 80, 55}));
  EXPECT_FALSE(RectOnShape(*r, v, {70, 40, 80, 55}));  // touching only
}

TEST_F(Geometrie, GrabsDerFormen) {
  v.Zoom = 1;  // grab side 8: x - 4 ... x + 3
  TCadShape* r = Neu("REC", "r");
  Box(r, 0, 0, 40, 20);  // L 0, R 40, B 100, T 80, MX 20, MY 90
  const struct {
    TPixel p;
    int grab;
  } rec[] = {{{20, 100}, 12}, {{23, 97}, 12},  {{20, 80}, 6}, {{0, 90}, 9},
             {{40, 90}, 3},   {{24, 100}, -1}, {{20, 90}, -1}};
  for (const auto& f : rec) EXPECT_EQ(PointOnEnd(*r, v, f.p), f.grab) << f.p.X << "," << f.p.Y;
  // Lower edge checked first when the grabs overlap.
  Box(r, 0, 0, 40, 4);
  EXPECT_EQ(PointOnEnd(*r, v, {20, 98}), 12);

  TCadShape* l = Neu("LIN", "l");
  Box(l, 0, 0, 40, 20);
  EXPECT_EQ(PointOnEnd(*l, v, {0, 100}), 1);
  EXPECT_EQ(PointOnEnd(*l, v, {40, 80}), 2);
  TCadShape* d = Neu("Dim", "d");
  Box(d, 0, 0, 40, 20);
  EXPECT_EQ(PointOnEnd(*d, v, {40, 80}), 2);
  TCadShape* p = Neu("POL", "p");
  p->Koordinaten = {{0, 0}, {10, 10}, {20, 0}};
  EXPECT_EQ(PointOnEnd(*p, v, {20, 100}), 2);
  EXPECT_EQ(PointOnEnd(*p, v, {0, 100}), 0);
  EXPECT_EQ(PointOnEnd(*p, v, {10, 100}), -1);
  TCadShape* k = Neu("KEM", "k");
  EXPECT_EQ(PointOnEnd(*k, v, {25, 100}), -1);  // network shapes have none
  EXPECT_TRUE(GrabPunkte(*k, v).empty());
  v.Zoom = 2;
  EXPECT_EQ(GrabRect({10, 10}, v), (TPixelRect{2, 2, 18, 18}));
}

// ----------------------------------------------------------------- moving

TEST_F(Geometrie, MoveSetztDenAnkerAufEinPixel) {
  v.Zoom = 2;
  TCadShape* r = Neu("REC", "r");
  Box(r, 10.3, 20.2, 0.3, 40.2);  // keeps its (unnormalised) size
  Move(*r, v, 3, -4);
  // ViewX(10.3) = round(20.6) = 21, + 3 = 24 -> 12; ViewY(20.2) = 100 - 40 = 60,
  // - 4 = 56 -> 22.
  EXPECT_DOUBLE_EQ(r->X1, 12);
  EXPECT_DOUBLE_EQ(r->Y1, 22);
  EXPECT_DOUBLE_EQ(r->X2, 2);
  EXPECT_DOUBLE_EQ(r->Y2, 42);
  TCadShape* p = Neu("POL", "p");
  p->Koordinaten = {{0, 0}, {5, 10}};
  Move(*p, v, 4, 2);
  EXPECT_EQ(p->Koordinaten, (std::vector<TPunkt>{{2, -1}, {7, 9}}));
}

TEST_F(Geometrie, SelectedMoveTreeBewegtJedeFormGenauEinmal) {
  // a -> b -> e, c -> b by KUE and -> e by Parent, x unrelated.
  TCadShape* a = Neu("KEM", "a", 0, 0);
  TCadShape* b = Neu("RUB", "b", 100, 0);
  TCadShape* c = Neu("RUB", "c", 200, 0);
  TCadShape* e = Neu("EST", "e", 300, 0);
  TCadShape* x = Neu("KEM", "x", 400, 0);
  a->SetParent(b);
  b->SetParent(e);
  c->SetParent(e);
  c->SetKUE(b);  // b reached twice from e
  m.SetSelected(e);
  m.SetSelected(a);  // selected itself: moved once, not twice
  SelectedMoveTree(m, v, 10, -5);
  for (TCadShape* s : {a, b, c, e}) {
    EXPECT_EQ(s->Y1, 5) << s->Name;
  }
  EXPECT_EQ(a->X1, 10);
  EXPECT_EQ(b->X1, 110);
  EXPECT_EQ(c->X1, 210);
  EXPECT_EQ(e->X1, 310);
  EXPECT_EQ((TPunkt{x->X1, x->Y1}), (TPunkt{400, 0}));
  EXPECT_EQ(root->X1, 0);

  SelectedMove(m, v, 1, 0);  // only the selection
  EXPECT_EQ(b->X1, 110);
  EXPECT_EQ(e->X1, 311);

  // Loops of a flowchart end.
  TCadShape* r1 = Neu("REC", "r1");
  TCadShape* r2 = Neu("REC", "r2");
  r1->SetParent(r2);
  r2->SetParent(r1);
  m.SelectAll(false);
  m.SetSelected(r1);
  SelectedMoveTree(m, v, 1, 0);
  EXPECT_EQ(r1->X1, 1);
  EXPECT_EQ(r2->X1, 1);
}

TEST_F(Geometrie, SelektionDrehenSpiegelnAusrichten) {
  TCadShape* a = Neu("RUB", "a");
  TCadShape* b = Neu("RUB", "b");
  TCadShape* c = Neu("RUB", "c");
  m.SetSelected(a);
  m.SetSelected(b);
  SelectedRotate(m);
  SelectedHSpiegeln(m);
  SelectedVSpiegeln(m);
  SelectedVSpiegeln(m);
  for (TCadShape* s : {a, b}) {
    EXPECT_EQ(s->Ausrichtung, 12);
    EXPECT_TRUE(s->HGespiegelt);
    EXPECT_FALSE(s->VGespiegelt);
  }
  SelectedSetAusrichtung(m, 3);
  EXPECT_EQ(a->Ausrichtung, 3);
  EXPECT_EQ(a->Width(), 70);
  EXPECT_EQ(c->Ausrichtung, 9);
  EXPECT_FALSE(c->HGespiegelt);
}

TEST_F(Geometrie, GroesseMitPfeiltasten) {
  v.Zoom = 2;
  const struct {
    TPfeiltaste taste;
    bool plus;
    TAusdehnung box;
  } faelle[] = {
      {TPfeiltaste::Links, true, {-2, 0, 10, 10}},  {TPfeiltaste::Oben, true, {0, 0, 10, 12}},
      {TPfeiltaste::Rechts, true, {0, 0, 12, 10}},  {TPfeiltaste::Unten, true, {0, -2, 10, 10}},
      {TPfeiltaste::Links, false, {0, 0, 8, 10}},   {TPfeiltaste::Oben, false, {0, 2, 10, 10}},
      {TPfeiltaste::Rechts, false, {2, 0, 10, 10}}, {TPfeiltaste::Unten, false, {0, 0, 10, 8}},
  };
  TCadShape* r = Neu("REC", "r");
  TCadShape* k = Neu("KEM", "k");
  m.SetSelected(r);
  m.SetSelected(k);
  for (const auto& f : faelle) {
    Box(r, 0, 0, 10, 10);
    SelectedResize(m, v, f.taste, f.plus);
    EXPECT_EQ((TAusdehnung{r->X1, r->Y1, r->X2, r->Y2}), f.box)
        << static_cast<int>(f.taste) << f.plus;
  }
  EXPECT_EQ(k->Width(), 50);  // network shapes are passed over
  Box(r, 0, 0, 0, 10);        // no width left: no shrinking along x
  SelectedResize(m, v, TPfeiltaste::Links, false);
  EXPECT_EQ(r->X2, 0);
}

// ---------------------------------------------------------------- TeileLink

TEST_F(Geometrie, TeilenSetztEinenVerbinderInDieMitte) {
  TCadShape* k = Neu("KEM", "k", 0, 0);     // pointing left: DockAb (0, 75)
  TCadShape* b = Neu("RUB", "b", -200, 0);  // DockZu (-130, 75)
  k->SetParent(b);
  Neu("CON", "CON.1");
  Neu("CON", "CON.3");
  EXPECT_EQ(TeileLink(*k, 2, v), nullptr);  // empty link
  EXPECT_EQ(TeileLink(*k, 9, v), nullptr);
  TCadShape* c = TeileLink(*k, 1, v);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Name, "CON.2");
  EXPECT_EQ(c->Typ(), "CON");
  EXPECT_EQ(k->Parent(), c);
  EXPECT_EQ(c->Parent(), b);
  EXPECT_TRUE(m.IsSelected(c));
  EXPECT_EQ(m.GetNode(m.Count() - 1), c);
  // Centred on the segment at zoom 1: midpoint (-65, 75).
  EXPECT_EQ(Mitte(*c), (TPunkt{-65, 25}));
}

TEST_F(Geometrie, TeilenDerUeberlaufUndFlussdiagrammLinks) {
  TCadShape* b = Neu("RUB", "b", 0, 0);
  TCadShape* e = Neu("EST", "e", 0, 200);
  b->SetKUE(e);
  b->SetBUE(e);
  TCadShape* c2 = TeileLink(*b, 2, v);
  ASSERT_NE(c2, nullptr);
  EXPECT_EQ(b->KUE(), c2);
  EXPECT_EQ(c2->Parent(), e);
  const TPixel von = DockBUE(*b, v), bis = DockZu(*e, v);
  TCadShape* c4 = TeileLink(*b, 4, v);
  ASSERT_NE(c4, nullptr);
  EXPECT_EQ(c4->Name, "CON.2");
  EXPECT_EQ(b->GEW(), c4);
  EXPECT_EQ(c4->Parent(), e);
  EXPECT_EQ(DockZu(*c4, v), (TPixel{(von.X + bis.X) / 2, (von.Y + bis.Y) / 2}));

  // Rain-gauge links are never split (test_bearbeiten.cpp).

  // A flowchart dot splits into a dot.
  TCadShape* d = Neu("DOT", "d", 0, 0);
  TCadShape* y = Neu("YON", "y", 100, 100);
  d->SetGEW(y);
  TCadShape* n = TeileLink(*d, 3, v);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->Typ(), "DOT");
  EXPECT_EQ(n->Name, "DOT.1");
  EXPECT_EQ(d->GEW(), n);
}

// ---------------------------------------------------------- AssignValues

TEST_F(Geometrie, AssignValuesKopiertDieZeichenwerte) {
  TCadShape* q = Neu("RRE", "q", 1, 2);
  TCadShape* ziel = Neu("RRE", "z");
  TCadShape* p = Neu("REC", "p");
  TCadShape* k = Neu("REC", "k");
  q->SetParent(p);
  q->X3 = 7;
  q->Y3 = 8;
  q->HGespiegelt = true;
  q->ShowArrows = false;
  q->Ausrichtung = 12;
  q->TextPos = 3;
  q->Val = "Wert";
  q->Al = "CTA";
  q->Fmt = "%s";
  q->Font.Size = 14;
  q->Pen.Width = 3;
  q->Brush.Color = 0x123456;
  q->Solid = true;
  q->Visible = false;
  ziel->SetKUE(k);
  ziel->SetGEW(k);
  AssignValues(*ziel, *q);
  EXPECT_EQ((TAusdehnung{ziel->X1, ziel->Y1, ziel->X2, ziel->Y2}), (TAusdehnung{1, 2, 51, 52}));
  EXPECT_EQ(ziel->X3, 7);
  EXPECT_EQ(ziel->Y3, 8);
  EXPECT_TRUE(ziel->HGespiegelt);
  EXPECT_FALSE(ziel->ShowArrows);
  EXPECT_EQ(ziel->Ausrichtung, 12);
  EXPECT_EQ(ziel->TextPos, 3);
  EXPECT_EQ(ziel->Val, "Wert");
  EXPECT_EQ(ziel->Al, "CTA");
  EXPECT_EQ(ziel->Fmt, "%s");
  EXPECT_EQ(ziel->Font, q->Font);
  EXPECT_EQ(ziel->Pen, q->Pen);
  EXPECT_EQ(ziel->Brush, q->Brush);
  EXPECT_TRUE(m.IsSelected(ziel) && ziel->Visible);
  EXPECT_FALSE(ziel->Solid);
  EXPECT_EQ(ziel->Name, "z");
  EXPECT_EQ(ziel->Parent(), nullptr);
  EXPECT_EQ(ziel->KUE(), nullptr);
  EXPECT_EQ(ziel->GEW(), nullptr);
  EXPECT_EQ(k->Count(), 0);

  TCadShape* pol = Neu("POG", "pol");
  pol->Koordinaten = {{1, 2}, {3, 4}};
  TCadShape* kopie = Neu("POG", "kopie");
  AssignValues(*kopie, *pol);
  EXPECT_EQ(kopie->Koordinaten, pol->Koordinaten);
  TCadShape* arc = Neu("Arc", "arc");
  arc->X4 = 9;
  TCadShape* arc2 = Neu("Arc", "arc2");
  AssignValues(*arc2, *arc);
  EXPECT_EQ(arc2->X4, 9);
  EXPECT_EQ(Neu("RRE", "neu")->X3, 15);  // default corner radii
}

// ------------------------------------------------------ hiding and showing

TEST_F(Geometrie, AusblendenDerSelektionMitIhremZuflussbaum) {
  TCadShape* a = Neu("KEM", "a");
  TCadShape* b = Neu("RUB", "b");
  TCadShape* c = Neu("RUB", "c");
  TCadShape* e = Neu("EST", "e");
  TCadShape* x = Neu("KEM", "x");
  a->SetParent(b);
  b->SetParent(e);
  c->SetKUE(e);  // not by Parent: stays
  m.SetSelected(x);
  m.SetSelected(e);
  m.SetSelected(a);
  SelectedAusblenden(m);
  for (TCadShape* s : {a, b, e, x}) {
    EXPECT_FALSE(s->Visible) << s->Name;
    EXPECT_FALSE(m.IsSelected(s)) << s->Name;
  }
  EXPECT_TRUE(c->Visible);
  EXPECT_FALSE(m.AnySelected());
  EXPECT_EQ(m.GetNode(0), root);
  // Links survive hiding.
  EXPECT_EQ(a->Parent(), b);
  VersteckteEinblenden(m);
  for (TCadShape* s : {a, b, e, x}) EXPECT_TRUE(s->Visible);
  EXPECT_FALSE(root->Visible);

  // A looping flowchart ends.
  TCadShape* r1 = Neu("REC", "r1");
  TCadShape* r2 = Neu("REC", "r2");
  r1->SetParent(r2);
  r2->SetParent(r1);
  m.SetSelected(r1);
  SelectedAusblenden(m);
  EXPECT_FALSE(r1->Visible || r2->Visible);
}

TEST_F(Geometrie, AusblendenNachArt) {
  TCadShape* k = Neu("KEM", "k");
  TCadShape* r = Neu("REC", "r");
  m.SetSelected(k);
  m.SetSelected(r);
  M3ElementeAusblenden(m);
  EXPECT_FALSE(k->Visible || m.IsSelected(k));
  EXPECT_TRUE(r->Visible && m.IsSelected(r));
  EXPECT_FALSE(m.IsSelected(root));
  GrafikElementeAusblenden(m);
  EXPECT_FALSE(r->Visible || m.IsSelected(r));
  VersteckteEinblenden(m);
  EXPECT_TRUE(k->Visible && r->Visible);
  // Hidden shapes are not hit by anything that asks for the extent.
  k->Visible = false;
  EXPECT_EQ(GetExt(m, false), GetExt(*r));
}

TEST_F(Geometrie, OhneVerbindungAusblenden) {
  TCadShape* e = Neu("EST", "e");
  TCadShape* ohneParent = m.CreateShape("KLG", "p", 0, 0);
  TCadShape* bauVoll = Neu("RUB", "bv");
  bauVoll->SetKUE(e);
  bauVoll->SetBUE(e);
  TCadShape* bauOhneBue = Neu("RKB", "bo");
  bauOhneBue->SetKUE(e);
  TCadShape* versOhneKue = Neu("VFL", "vk");
  versOhneKue->SetGEW(e);
  TCadShape* omaMitKue = Neu("OMA", "om");
  omaMitKue->SetKUE(e);
  TCadShape* omaOhne = Neu("OMA", "oo");
  TCadShape* gebiet = Neu("KEM", "g");
  TCadShape* rec = Neu("REC", "rec");  // graphic shapes stay
  v.ShowGEW = true;
  OhneVerbindungAusblenden(m, v);
  EXPECT_TRUE(e->Visible);
  EXPECT_FALSE(ohneParent->Visible);
  EXPECT_TRUE(bauVoll->Visible);
  EXPECT_FALSE(bauOhneBue->Visible);
  EXPECT_FALSE(versOhneKue->Visible);
  EXPECT_TRUE(omaMitKue->Visible);
  EXPECT_FALSE(omaOhne->Visible);
  EXPECT_FALSE(gebiet->Visible);
  EXPECT_TRUE(rec->Visible);
  EXPECT_FALSE(root->Visible);  // untouched, and never shown again

  VersteckteEinblenden(m);
  v.ShowParent = v.ShowKUE = v.ShowGEW = false;  // only BUE shown
  OhneVerbindungAusblenden(m, v);
  EXPECT_TRUE(ohneParent->Visible);
  EXPECT_FALSE(bauOhneBue->Visible);
  EXPECT_TRUE(versOhneKue->Visible);
  EXPECT_FALSE(omaOhne->Visible);  // OMA needs KUE while BUE is shown
  EXPECT_TRUE(gebiet->Visible);
}

TEST_F(Geometrie, MakeVisibleSchiebtDenAnkerInDieMitte) {
  TCadShape* r = Neu("REC", "r", 1000, 2000);
  v.Zoom = 2;
  EXPECT_TRUE(MakeVisible(*r, v));
  EXPECT_DOUBLE_EQ(v.OrgX, 1000 - 200 / 4.0);
  EXPECT_DOUBLE_EQ(v.OrgY, 2000 - 100 / 4.0);
  const TAnsicht vorher = v;
  EXPECT_FALSE(MakeVisible(*r, v));  // now on screen
  EXPECT_EQ(v.OrgX, vorher.OrgX);
  Box(r, -10000, 0, 10000, 1);  // crossing the view only
  v = Einfach();
  EXPECT_FALSE(MakeVisible(*r, v));
  r->X1 = 5000;
  r->X2 = 5050;
  r->Visible = false;
  EXPECT_FALSE(MakeVisible(*r, v));
  EXPECT_FALSE(MakeVisible(*root, v));
}

// ----------------------------------------------------------------- counting

TEST_F(Geometrie, ZaehlenNachKlasse) {
  const struct {
    const char* typ;
    int TShapeCounter::*feld;
  } faelle[] = {
      {"KES", &TShapeCounter::KES}, {"RU", &TShapeCounter::RUE},  {"RKB", &TShapeCounter::RKB},
      {"RUB", &TShapeCounter::RUB}, {"Arc", &TShapeCounter::LIN}, {"PIE", &TShapeCounter::LIN},
      {"BMP", &TShapeCounter::BMP}, {"YON", &TShapeCounter::YON}, {"REC", &TShapeCounter::REC},
      {"Dim", &TShapeCounter::DIM}, {"POG", &TShapeCounter::POG}, {"POL", &TShapeCounter::POL},
      {"VSC", &TShapeCounter::VSC}, {"CON", &TShapeCounter::CON}, {"AEK", &TShapeCounter::AEK},
  };
  for (const auto& f : faelle) {
    TShapeCounter c;
    TCadShape s(f.typ);
    CountShapes(c, s);
    TShapeCounter erwartet;
    erwartet.*f.feld = 1;
    erwartet.Total = 1;
    EXPECT_EQ(c, erwartet) << f.typ;
  }
  TShapeCounter c;
  CountShapes(c, *root);
  EXPECT_EQ(c, (TShapeCounter{.Total = 1}));  // NET only in the total

  Neu("KEM", "k1");
  m.SetSelected(Neu("KEM", "k2"));
  m.SetSelected(Neu("Chord", "ch"));
  SelectedCount(m, c);  // starts afresh
  TShapeCounter erwartet;
  erwartet.KEM = 1;
  erwartet.LIN = 1;
  erwartet.Total = 2;
  EXPECT_EQ(c, erwartet);
}
