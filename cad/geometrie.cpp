#include "cad/geometrie.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <string>
#include <unordered_set>
#include <utility>

namespace t21 {

namespace {

// Type codes are compared on every repaint, many times per shape: the
// length first, then the few characters, without a library call.
bool Ist(std::string_view typ, std::string_view code) {
  if (typ.size() != code.size()) return false;
  for (size_t i = 0; i < typ.size(); ++i)
    if (typ[i] != code[i]) return false;
  return true;
}

bool In(std::string_view typ, std::initializer_list<std::string_view> codes) {
  for (const std::string_view c : codes)
    if (Ist(typ, c)) return true;
  return false;
}

bool Horizontal(int a) {
  return a == 0 || a == 3 || a == 9;
}
bool Vertikal(int a) {
  return a == 6 || a == 12;
}

// The chain of classes of a type code, the code itself first (at most
// four, kept without a heap: every shape asks for it on every repaint).
struct TKette {
  std::array<std::string_view, 4> Klassen{};
  size_t Anzahl = 0;
  TKette(std::initializer_list<std::string_view> k) {
    for (const std::string_view c : k) Klassen[Anzahl++] = c;
  }
  const std::string_view* begin() const { return Klassen.data(); }
  const std::string_view* end() const { return Klassen.data() + Anzahl; }
};

TKette Klassenkette(std::string_view typ) {
  if (Ist(typ, "Arc")) return {"Arc", "LIN"};
  if (Ist(typ, "Chord") || Ist(typ, "PIE")) return {typ, "Arc", "LIN"};
  if (In(typ, {"RRE", "RAU", "YON", "IMP", "CIR", "BMP"})) return {typ, "REC"};
  if (Ist(typ, "POG")) return {"POG", "POL"};
  if (Ist(typ, "RU") || Ist(typ, "RUB")) return {typ, "EBW", "M3Shape"};
  if (Ist(typ, "RKB")) return {"RKB", "RUB", "EBW", "M3Shape"};
  if (In(typ, {"VFL", "VMU", "VRI", "VBE", "VSC"})) return {typ, "VERSICKERUNG", "EBW", "M3Shape"};
  if (In(typ, {"KEM", "KES", "KER", "AEO", "AEK"})) return {typ, "KEZ", "M3Shape"};
  if (Ist(typ, "CON") || Ist(typ, "KLG")) return {typ, "M3Ellipse", "M3Shape"};
  if (In(typ, {"OMA", "EST", "REG", "NET"})) return {typ, "M3Shape"};
  return {typ};
}

// Shapes whose box is the figure itself: turning it would distort them.
bool BoxIstFigur(const TCadShape& s) {
  return IstKlasse(s, "LIN") || Ist(s.Typ(), "IMP") || Ist(s.Typ(), "Dim");
}

bool HatEndGrabs(const TCadShape& s) {
  return IstKlasse(s, "LIN") || Ist(s.Typ(), "Dim");
}

long long Kreuz(TPixel o, TPixel a, TPixel b) {
  return static_cast<long long>(a.X - o.X) * (b.Y - o.Y) -
         static_cast<long long>(a.Y - o.Y) * (b.X - o.X);
}

bool StriktZwischen(double x, double a, double b) {
  return std::min(a, b) < x && x < std::max(a, b);
}

TPixel Versetzt(TPixel p, int dx, int dy) {
  return {p.X + dx, p.Y + dy};
}

// View coordinates shared by the docks: L, R of X1, X2; B, T of Y1, Y2 (B is
// screen-lower); MX, MY of the middle. Each converted when asked for: a dock
// needs two of the six, and every link asks for two docks on every repaint.
struct TDockRahmen {
  const TCadShape& s;
  const TAnsicht& v;
  int L() const { return v.ViewX(s.X1); }
  int R() const { return v.ViewX(s.X2); }
  int B() const { return v.ViewY(s.Y1); }
  int T() const { return v.ViewY(s.Y2); }
  int MX() const { return v.ViewX(s.HMiddle()); }
  int MY() const { return v.ViewY(s.VMiddle()); }
};

TDockRahmen Rahmen(const TCadShape& s, const TAnsicht& v) {
  return {s, v};
}

TPixel Mitte(const TCadShape& s, const TAnsicht& v) {
  return {v.ViewX(s.HMiddle()), v.ViewY(s.VMiddle())};
}

bool DocksInDerMitte(const TCadShape& s) {
  return Ist(s.Typ(), "CON") || Ist(s.Typ(), "DOT");
}

// The test rectangle in drawing units and its four edges.
std::array<std::array<TPunkt, 2>, 4> Kanten(const TAnsicht& v, const TPixelRect& r) {
  const double rl = v.PaperX(r.Left), rt = v.PaperY(r.Top);
  const double rr = v.PaperX(r.Right), rb = v.PaperY(r.Bottom);
  return {{{TPunkt{rl, rt}, TPunkt{rr, rt}},
           {TPunkt{rr, rt}, TPunkt{rr, rb}},
           {TPunkt{rr, rb}, TPunkt{rl, rb}},
           {TPunkt{rl, rb}, TPunkt{rl, rt}}}};
}

bool StreckeKreuztRect(TPunkt a, TPunkt b, const TAnsicht& v, const TPixelRect& r) {
  for (const auto& k : Kanten(v, r))
    if (StreckenKreuzen(a, b, k[0], k[1])) return true;
  return false;
}

bool ZugKreuztRect(const std::vector<TPunkt>& p, bool geschlossen, const TAnsicht& v,
                   const TPixelRect& r) {
  if (p.size() < 2) return false;
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if (StreckeKreuztRect(p[i], p[i + 1], v, r)) return true;
  return geschlossen && StreckeKreuztRect(p.back(), p.front(), v, r);
}

// An ellipse (or an arc of it) in the box of a shape.
struct TEllipse {
  double xc, yc, a, b;
  bool bogen = false;  // only the arc from the ray through p3 to the ray through p4
  TPunkt p3{}, p4{};

  // Arcs run counter-clockwise in drawing units from the ray through p3 to
  // the ray through p4; equal rays give the whole ellipse.
  bool AufBogen(double x, double y) const {
    if (!bogen) return true;
    const double qx = x - xc, qy = y - yc;
    const double q3x = p3.X - xc, q3y = p3.Y - yc, q4x = p4.X - xc, q4y = p4.Y - yc;
    const bool nach3 = qx * q3y - qy * q3x < 0;           // counter-clockwise of the start ray
    const bool vor4 = qx * q4y - qy * q4x > 0;            // clockwise of the end ray
    if (q3x * q4y - q3y * q4x > 0) return nach3 && vor4;  // less than half a turn
    return nach3 || vor4;
  }

  // The edge P-Q meets the curve at a point strictly between its ends.
  bool KreuztKante(TPunkt p, TPunkt q) const {
    if (a * b <= 0) return false;
    if (p.X == q.X) {
      const double x = p.X;
      const double rad = b * b - b * b * (x - xc) * (x - xc) / (a * a);
      if (rad <= 0) return false;
      for (const double y : {yc + std::sqrt(rad), yc - std::sqrt(rad)})
        if (StriktZwischen(y, p.Y, q.Y) && AufBogen(x, y)) return true;
      return false;
    }
    const double m = (q.Y - p.Y) / (q.X - p.X);
    const double k = p.Y - m * p.X - yc;
    const double qa = b * b + a * a * m * m;
    const double qb = -2 * b * b * xc + 2 * a * a * m * k;
    const double qc = b * b * xc * xc + a * a * k * k - a * a * b * b;
    const double disk = qb * qb - 4 * qa * qc;
    if (disk <= 0) return false;
    for (const double x : {(-qb + std::sqrt(disk)) / (2 * qa), (-qb - std::sqrt(disk)) / (2 * qa)})
      if (StriktZwischen(x, p.X, q.X) && AufBogen(x, m * x + k + yc)) return true;
    return false;
  }

  bool KreuztRect(const TAnsicht& v, const TPixelRect& r) const {
    for (const auto& kante : Kanten(v, r))
      if (KreuztKante(kante[0], kante[1])) return true;
    return false;
  }

  // Where the ray from the centre through p meets the ellipse.
  std::optional<TPunkt> Randpunkt(TPunkt p) const {
    const double dx = p.X - xc, dy = p.Y - yc;
    if (a <= 0 || b <= 0 || (dx == 0 && dy == 0)) return std::nullopt;
    const double t = 1 / std::sqrt(dx * dx / (a * a) + dy * dy / (b * b));
    return TPunkt{xc + t * dx, yc + t * dy};
  }
};

TEllipse EllipseDerBox(const TCadShape& s) {
  const auto e = GetExt(s);
  TEllipse el{(e.MinX + e.MaxX) / 2, (e.MinY + e.MaxY) / 2, (e.MaxX - e.MinX) / 2,
              (e.MaxY - e.MinY) / 2};
  if (IstKlasse(s, "Arc")) {
    el.bogen = true;
    el.p3 = {s.X3, s.Y3};
    el.p4 = {s.X4, s.Y4};
  }
  return el;
}

// Deselects the shapes and makes them invisible.
void Verbergen(TCadModel& m, const std::vector<TCadShape*>& shapes) {
  for (TCadShape* s : shapes) {
    s->Visible = false;
    m.Deselect(s);
  }
}

template <class Pred>
void AusblendenWenn(TCadModel& m, Pred pred) {
  std::vector<TCadShape*> weg;
  for (int i = 1; i < m.Count(); ++i)
    if (pred(*m.GetNode(i))) weg.push_back(m.GetNode(i));
  Verbergen(m, weg);
}

}  // namespace

// ---------------------------------------------------------------- transform

int RundeGeradeWeit(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  double r = std::round(v);  // ties away from zero
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2 * std::round(v / 2);
  return static_cast<int>(r);
}

TPixelRect Normalisiert(const TPixelRect& r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
          std::max(r.Top, r.Bottom)};
}

TAnsicht::TAnsicht(const TAnsichtEinstellungen& e, int width, int height)
    : OrgX(e.OrgX),
      OrgY(e.OrgY),
      Zoom(e.Zoom),
      Width(width),
      Height(height),
      ShowParent(e.ShowParent),
      ShowGEW(e.ShowGEW),
      ShowKUE(e.ShowKUE),
      ShowBUE(e.ShowBUE),
      ShowREG(e.ShowREG) {}

double TAnsicht::KehrwertZoom() const {
  return std::fabs(Zoom) <= 1e-11 ? 0.0 : 1.0 / Zoom;
}

double TAnsicht::PaperX(double px) const {
  return px * KehrwertZoom() + OrgX;
}

double TAnsicht::PaperY(double py) const {
  return (Height - py) * KehrwertZoom() + OrgY;
}

// ------------------------------------------------------------------ classes

bool IstKlasse(std::string_view typ, std::string_view klasse) {
  for (const std::string_view k : Klassenkette(typ))
    if (Ist(k, klasse)) return true;
  return false;
}

bool IstKlasse(const TCadShape& s, std::string_view klasse) {
  return IstKlasse(s.Typ(), klasse);
}

// ----------------------------------------------------------------- extents

TAusdehnung GetExt(const TCadShape& s) {
  if (IstKlasse(s, "POL") && !s.Koordinaten.empty()) {
    TAusdehnung e{s.Koordinaten[0].X, s.Koordinaten[0].Y, s.Koordinaten[0].X, s.Koordinaten[0].Y};
    for (const auto& p : s.Koordinaten) {
      e.MinX = std::min(e.MinX, p.X);
      e.MinY = std::min(e.MinY, p.Y);
      e.MaxX = std::max(e.MaxX, p.X);
      e.MaxY = std::max(e.MaxY, p.Y);
    }
    return e;
  }
  return {std::min(s.X1, s.X2), std::min(s.Y1, s.Y2), std::max(s.X1, s.X2), std::max(s.Y1, s.Y2)};
}

TAusdehnung GetExt(const TCadModel& m, bool nurSelektion) {
  TAusdehnung e{9999999, 9999999, -9999999, -9999999};
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape& s = *m.GetNode(i);
    if (!s.Visible || (nurSelektion && !m.IsSelected(&s))) continue;
    const auto x = GetExt(s);
    e.MinX = std::min(e.MinX, x.MinX);
    e.MinY = std::min(e.MinY, x.MinY);
    e.MaxX = std::max(e.MaxX, x.MaxX);
    e.MaxY = std::max(e.MaxY, x.MaxY);
  }
  return e;
}

TPixelRect GetViewRect(const TCadShape& s, const TAnsicht& v) {
  const auto e = GetExt(s);
  return {v.ViewX(e.MinX), v.ViewY(e.MinY), v.ViewX(e.MaxX), v.ViewY(e.MaxY)};
}

// ------------------------------------------------------------- orientation

void SetAusrichtung(TCadShape& s, int v) {
  if (v == s.Ausrichtung) return;
  if (!BoxIstFigur(s)) {
    const double w = s.Width(), h = s.Height();
    const bool dreht =
        (Horizontal(s.Ausrichtung) && Vertikal(v)) || (Vertikal(s.Ausrichtung) && Horizontal(v));
    s.X2 = s.X1 + (dreht ? h : w);
    s.Y2 = s.Y1 + (dreht ? w : h);
  }
  s.Ausrichtung = v;
}

void Drehen(TCadShape& s) {
  if (BoxIstFigur(s)) return;
  int a = s.Ausrichtung + 3;
  if (a >= 15) a = 3;
  SetAusrichtung(s, a);
}

namespace {
int Umkehr(int richtung) {
  switch (richtung) {
    case 3:
      return 9;
    case 9:
      return 3;
    case 6:
      return 12;
    case 12:
      return 6;
    default:
      return richtung;
  }
}
}  // namespace

int GetDirection(const TCadShape& s) {
  const int a = s.Ausrichtung;
  if ((a == 3 || a == 9) && s.HGespiegelt) return Umkehr(a);
  if ((a == 6 || a == 12) && s.VGespiegelt) return Umkehr(a);
  return a;
}

int TextRichtung(const TCadShape& s) {
  const int d = GetDirection(s);
  if ((d == 3 || d == 9) && s.VGespiegelt) return Umkehr(d);
  if ((d == 6 || d == 12) && s.HGespiegelt) return Umkehr(d);
  return d;
}

int TextWinkel(const TCadShape& s) {
  switch (TextRichtung(s)) {
    case 12:
      return 90;
    case 3:
      return 180;
    case 6:
      return 270;
    default:
      return 0;
  }
}

void TextBoxAnpassen(TCadShape& s, const TAnsicht& v, double textBreitePx, double textHoehePx) {
  const double k = v.KehrwertZoom();
  const double breite = textBreitePx * k, hoehe = textHoehePx * k;
  if (Vertikal(TextRichtung(s))) {
    s.X2 = s.X1 + hoehe;
    s.Y2 = s.Y1 + breite;
    return;
  }
  const char al = s.Al.empty() ? 'L' : s.Al[0];
  if (al == 'L') {
    s.X2 = s.X1 + breite;
  } else if (al == 'R') {
    s.X1 = s.X2 - breite;
  } else if (al == 'C') {
    const double m = s.HMiddle();
    s.X1 = m - breite / 2;
    s.X2 = m + breite / 2;
  }
  s.Y2 = s.Y1 + hoehe;
}

// ------------------------------------------------------------------- docks

TPixel DockZu(const TCadShape& s, const TAnsicht& v) {
  if (DocksInDerMitte(s)) return Mitte(s, v);
  const auto d = Rahmen(s, v);
  if (Ist(s.Typ(), "YON")) return {d.MX(), d.T()};
  switch (s.Ausrichtung) {
    case 3:
      return {s.HGespiegelt ? d.R() : d.L(), d.MY()};
    case 6:
      return {d.MX(), s.VGespiegelt ? d.B() : d.T()};
    case 9:
      return {s.HGespiegelt ? d.L() : d.R(), d.MY()};
    case 12:
      return {d.MX(), s.VGespiegelt ? d.T() : d.B()};
    default:
      return {d.MX(), d.MY()};
  }
}

namespace {
// The exits of a decision box: "ja" a quarter of the width left of the
// middle on the lower edge, "nein" a quarter right; mirrored, the other way.
TPixel YonAusgang(const TCadShape& s, const TAnsicht& v, bool ja) {
  const bool links = ja != s.HGespiegelt;
  const double x = s.HMiddle() + (links ? -s.Width() / 4 : s.Width() / 4);
  return v.View(x, s.Y1);
}
}  // namespace

TPixel DockAb(const TCadShape& s, const TAnsicht& v) {
  if (DocksInDerMitte(s)) return Mitte(s, v);
  if (Ist(s.Typ(), "YON")) return YonAusgang(s, v, true);
  const auto d = Rahmen(s, v);
  switch (s.Ausrichtung) {
    case 3:
      return {s.HGespiegelt ? d.L() : d.R(), d.MY()};
    case 6:
      return {d.MX(), s.VGespiegelt ? d.T() : d.B()};
    case 9:
      return {s.HGespiegelt ? d.R() : d.L(), d.MY()};
    case 12:
      return {d.MX(), s.VGespiegelt ? d.B() : d.T()};
    default:
      return {d.MX(), d.MY()};
  }
}

TPixel DockKUE(const TCadShape& s, const TAnsicht& v) {
  if (DocksInDerMitte(s)) return Mitte(s, v);
  if (Ist(s.Typ(), "YON")) return YonAusgang(s, v, false);
  const bool h = s.HGespiegelt, vg = s.VGespiegelt;
  if (Ist(s.Typ(), "RU")) {
    const auto d = Rahmen(s, v);
    switch (s.Ausrichtung) {
      case 3:
        return {d.MX(), vg ? d.B() : d.T()};
      case 6:
        return {h ? d.L() : d.R(), d.MY()};
      case 9:
        return {d.MX(), vg ? d.T() : d.B()};
      case 12:
        return {h ? d.R() : d.L(), d.MY()};
      default:
        return {d.MX(), d.MY()};
    }
  }
  const double w = s.Width() / 8, hh = s.Height() / 8;
  switch (s.Ausrichtung) {
    case 3:
      return v.View(h ? s.X1 + w : s.X2 - w, vg ? s.Y1 : s.Y2);
    case 6:
      return v.View(h ? s.X1 : s.X2, vg ? s.Y2 - hh : s.Y1 + hh);
    case 9:
      return v.View(h ? s.X2 - w : s.X1 + w, vg ? s.Y2 : s.Y1);
    case 12:
      return v.View(h ? s.X2 : s.X1, vg ? s.Y1 + hh : s.Y2 - hh);
    default:
      return Mitte(s, v);
  }
}

TPixel DockBUE(const TCadShape& s, const TAnsicht& v) {
  if (DocksInDerMitte(s)) return Mitte(s, v);
  const bool h = s.HGespiegelt, vg = s.VGespiegelt;
  const double w = s.Width() / 8, hh = s.Height() / 8;
  switch (s.Ausrichtung) {
    case 3:
      return v.View(h ? s.X2 - w : s.X1 + w, vg ? s.Y1 : s.Y2);
    case 6:
      return v.View(h ? s.X1 : s.X2, vg ? s.Y1 + hh : s.Y2 - hh);
    case 9:
      return v.View(h ? s.X1 + w : s.X2 - w, vg ? s.Y2 : s.Y1);
    case 12:
      return v.View(h ? s.X2 : s.X1, vg ? s.Y2 - hh : s.Y1 + hh);
    default:
      return Mitte(s, v);
  }
}

int LinkFarbe(TLinkArt art) {
  switch (art) {
    case TLinkArt::KUE:
      return 0xFF00FF;  // fuchsia
    case TLinkArt::GEW:
      return 0xF0CAA6;  // sky blue
    case TLinkArt::BUE:
    case TLinkArt::REG:
      return 0xFF0000;  // blue
    default:
      return -1;
  }
}

std::array<TPixel, 3> LinkPfeil(TPixel von, TPixel bis) {
  const TPixel m{(von.X + bis.X) / 2, (von.Y + bis.Y) / 2};
  const int dx = bis.X - von.X, dy = bis.Y - von.Y;
  // The barbs depend on the direction alone: a drawing repaints the same
  // links again and again, and the trigonometry costs more than a lookup in
  // a table by direction (a direction that meets another one's place takes
  // it over).
  struct TSchenkel {
    bool Belegt = false;
    int Dx = 0, Dy = 0;
    std::array<int, 4> O{};
  };
  thread_local std::array<TSchenkel, 8192> schenkel;
  const uint64_t key = uint64_t(uint32_t(dx)) << 32 | uint32_t(dy);
  TSchenkel& e = schenkel[(key * 0x9E3779B97F4A7C15ull) >> 51];
  if (!e.Belegt || e.Dx != dx || e.Dy != dy) {
    double theta;
    if (dx == 0)
      theta = dy < 0 ? -std::numbers::pi / 2 : std::numbers::pi / 2;
    else
      theta = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
    theta += std::numbers::pi;
    const double w1 = theta + 0.5, w2 = theta - 0.5;
    e.Belegt = true;
    e.Dx = dx;
    e.Dy = dy;
    e.O = {RundeGerade(8 * std::cos(w1)), RundeGerade(8 * std::sin(w1)),
           RundeGerade(8 * std::cos(w2)), RundeGerade(8 * std::sin(w2))};
  }
  const auto& o = e.O;
  return {m, TPixel{m.X + o[0], m.Y + o[1]}, TPixel{m.X + o[2], m.Y + o[3]}};
}

TLinkLinien LinkLinien(const TCadShape& s, const TAnsicht& v) {
  TLinkLinien linien;
  if (!s.Visible || Ist(s.Typ(), "TEX")) return linien;
  auto linie = [&](TLinkArt art, TPixel von, TPixel bis) {
    TLinkLinie l{art, von, bis, std::nullopt};
    if (s.ShowArrows) l.Pfeil = LinkPfeil(von, bis);
    linien.push_back(l);
  };
  const bool gebiet = IstKlasse(s, "KEZ");
  if (const TCadShape* p = s.Parent(); p && p->Visible && v.ShowParent)
    linie(TLinkArt::Parent, DockAb(s, v), DockZu(*p, v));
  if (const TCadShape* k = s.KUE(); k && k->Visible) {
    if (gebiet && v.ShowREG)
      linie(TLinkArt::REG, DockAb(*k, v), DockZu(s, v));
    else if (!gebiet && v.ShowKUE)
      linie(TLinkArt::KUE, DockKUE(s, v), DockZu(*k, v));
  }
  if (const TCadShape* g = s.GEW(); g && g->Visible) {
    if (gebiet && v.ShowGEW)
      linie(TLinkArt::GEW, DockAb(s, v), DockZu(*g, v));
    else if (!gebiet && v.ShowBUE)
      linie(TLinkArt::BUE, DockBUE(s, v), DockZu(*g, v));
  }
  return linien;
}

std::optional<std::array<TPixel, 5>> FliessPfeil(const TCadShape& s, const TAnsicht& v) {
  const auto r = GetViewRect(s, v);
  const auto m = Mitte(s, v);
  const int e = RundeGerade(v.Zoom * std::max(s.Width(), s.Height()) * 0.33);
  // r.Top is the screen-lower edge, r.Bottom the screen-upper edge.
  const TPixel e1{r.Right - e, m.Y}, e2{r.Left + e, m.Y}, e3{m.X, r.Top - e}, e4{m.X, r.Bottom + e};
  switch (GetDirection(s)) {
    case 3:
      return std::array{e2, e1, Versetzt(e1, -4, 4), Versetzt(e1, -4, -4), e1};
    case 9:
      return std::array{e1, e2, Versetzt(e2, 4, 4), Versetzt(e2, 4, -4), e2};
    case 6:
      return std::array{e4, e3, Versetzt(e3, 4, -4), Versetzt(e3, -4, -4), e3};
    case 12:
      return std::array{e3, e4, Versetzt(e4, 4, 4), Versetzt(e4, -4, 4), e4};
    default:
      return std::nullopt;
  }
}

std::optional<std::array<TPixel, 3>> SymbolDreieck(const TCadShape& s, const TAnsicht& v) {
  const auto r = GetViewRect(s, v);
  const auto m = Mitte(s, v);
  const int unten = r.Top, oben = r.Bottom;  // on screen
  switch (GetDirection(s)) {
    case 3:
      return std::array{TPixel{r.Right, m.Y}, TPixel{r.Left, oben}, TPixel{r.Left, unten}};
    case 9:
      return std::array{TPixel{r.Left, m.Y}, TPixel{r.Right, oben}, TPixel{r.Right, unten}};
    case 6:
      return std::array{TPixel{m.X, unten}, TPixel{r.Left, oben}, TPixel{r.Right, oben}};
    case 12:
      return std::array{TPixel{m.X, oben}, TPixel{r.Left, unten}, TPixel{r.Right, unten}};
    default:
      return std::nullopt;
  }
}

TPixelRect GrabRect(TPixel p, const TAnsicht& v) {
  const int seite = RundeGerade(8 * v.Zoom);
  const int x = p.X - seite / 2, y = p.Y - seite / 2;
  return {x, y, x + seite, y + seite};
}

std::vector<TPixel> GrabPunkte(const TCadShape& s, const TAnsicht& v) {
  if (IstKlasse(s, "REC")) {
    const auto d = Rahmen(s, v);
    return {{d.MX(), d.B()}, {d.MX(), d.T()}, {d.L(), d.MY()}, {d.R(), d.MY()}};
  }
  if (HatEndGrabs(s)) return {v.View(s.X1, s.Y1), v.View(s.X2, s.Y2)};
  if (IstKlasse(s, "POL")) {
    std::vector<TPixel> p;
    for (const auto& k : s.Koordinaten) p.push_back(v.View(k.X, k.Y));
    return p;
  }
  return {};
}

// -------------------------------------------------------------- hit tests

bool StreckenKreuzen(TPunkt a, TPunkt b, TPunkt c, TPunkt d) {
  const bool abSenkrecht = a.X == b.X, cdSenkrecht = c.X == d.X;
  if (abSenkrecht && cdSenkrecht) return false;
  if (abSenkrecht || cdSenkrecht) {
    const TPunkt s1 = abSenkrecht ? a : c, s2 = abSenkrecht ? b : d;  // the vertical one
    const TPunkt o1 = abSenkrecht ? c : a, o2 = abSenkrecht ? d : b;
    const double x = s1.X;
    if (!StriktZwischen(x, o1.X, o2.X)) return false;
    const double y = o1.Y + (x - o1.X) * (o2.Y - o1.Y) / (o2.X - o1.X);
    return StriktZwischen(y, s1.Y, s2.Y);
  }
  const double g = (b.Y - a.Y) / (b.X - a.X), f = (d.Y - c.Y) / (d.X - c.X);
  if (g == f) return false;
  const double x = ((c.Y - f * c.X) - (a.Y - g * a.X)) / (g - f);
  return StriktZwischen(x, a.X, b.X) && StriktZwischen(x, c.X, d.X);
}

bool IsInside(const TCadShape& s, const TAnsicht& v, const TPixelRect& r) {
  const double x1 = v.PaperX(r.Left), x2 = v.PaperX(r.Right);
  const double y1 = v.PaperY(r.Top), y2 = v.PaperY(r.Bottom);
  const auto e = GetExt(s);
  return e.MinX > std::min(x1, x2) && e.MaxX < std::max(x1, x2) && e.MinY > std::min(y1, y2) &&
         e.MaxY < std::max(y1, y2);
}

bool IsCrossing(const TCadShape& s, const TAnsicht& v, const TPixelRect& r) {
  const std::string& t = s.Typ();
  if (Ist(t, "TEX") || Ist(t, "DOT")) return IsInside(s, v, r);
  if (Ist(t, "LIN")) return StreckeKreuztRect({s.X1, s.Y1}, {s.X2, s.Y2}, v, r);
  if (IstKlasse(s, "POL")) return ZugKreuztRect(s.Koordinaten, Ist(t, "POG"), v, r);
  if (Ist(t, "CIR") || IstKlasse(s, "Arc")) {
    const TEllipse el = EllipseDerBox(s);
    if (el.KreuztRect(v, r)) return true;
    if (t != "Chord" && t != "PIE") return false;
    const auto e3 = el.Randpunkt(el.p3), e4 = el.Randpunkt(el.p4);
    if (!e3 || !e4) return false;
    if (Ist(t, "Chord")) return StreckeKreuztRect(*e3, *e4, v, r);
    const TPunkt c{el.xc, el.yc};
    return StreckeKreuztRect(c, *e3, v, r) || StreckeKreuztRect(c, *e4, v, r);
  }
  const auto e = GetExt(s);
  if (Ist(t, "RAU")) {
    const double mx = (e.MinX + e.MaxX) / 2, my = (e.MinY + e.MaxY) / 2;
    return ZugKreuztRect({{mx, e.MinY}, {e.MaxX, my}, {mx, e.MaxY}, {e.MinX, my}}, true, v, r);
  }
  return ZugKreuztRect({{e.MinX, e.MinY}, {e.MaxX, e.MinY}, {e.MaxX, e.MaxY}, {e.MinX, e.MaxY}},
                       true, v, r);
}

bool PointInShape(const TCadShape& s, const TAnsicht& v, TPixel p) {
  const auto r = Normalisiert(GetViewRect(s, v));
  return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}

TCadShape* GetNode(const TCadModel& m, const TAnsicht& v, TPixel p) {
  for (int i = m.Count() - 1; i >= 0; --i) {
    TCadShape* s = m.GetNode(i);
    if (s->Visible && PointInShape(*s, v, p)) return s;
  }
  return nullptr;
}

bool RectOnShape(const TCadShape& s, const TAnsicht& v, const TPixelRect& r) {
  const TPixel p{r.Left + 2, r.Top + 2};
  if (IstKlasse(s, "M3Ellipse")) {
    const auto vr = GetViewRect(s, v);
    const auto m = Mitte(s, v);
    const double radius = (vr.Right - vr.Left) / 2.0;
    const double dx = p.X - m.X, dy = p.Y - m.Y;
    return radius * radius >= dx * dx + dy * dy;
  }
  if (IstKlasse(s, "KEZ")) {
    const auto d = SymbolDreieck(s, v);
    if (!d) return false;
    const auto& [a, b, c] = *d;
    const long long flaeche = Kreuz(a, b, c);
    if (flaeche == 0) return false;
    const long long k1 = Kreuz(a, b, p), k2 = Kreuz(b, c, p), k3 = Kreuz(c, a, p);
    if (flaeche > 0) return k1 >= 0 && k2 >= 0 && k3 >= 0;
    return k1 <= 0 && k2 <= 0 && k3 <= 0;
  }
  const auto a = Normalisiert(GetViewRect(s, v)), b = Normalisiert(r);
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

int PointOnEnd(const TCadShape& s, const TAnsicht& v, TPixel p) {
  auto auf = [&](TPixel g) {
    const auto q = GrabRect(g, v);
    return q.Left <= p.X && p.X < q.Right && q.Top <= p.Y && p.Y < q.Bottom;
  };
  const auto punkte = GrabPunkte(s, v);
  for (size_t i = 0; i < punkte.size(); ++i) {
    if (!auf(punkte[i])) continue;
    if (IstKlasse(s, "REC")) return std::array{12, 6, 9, 3}[i];
    if (HatEndGrabs(s)) return static_cast<int>(i) + 1;
    return static_cast<int>(i);
  }
  return -1;
}

// --------------------------------------------------------- moving, resizing

void Move(TCadShape& s, const TAnsicht& v, int dx, int dy) {
  const double w = s.X2 - s.X1, h = s.Y2 - s.Y1;
  s.X1 = v.PaperX(static_cast<double>(v.ViewX(s.X1)) + dx);
  s.Y1 = v.PaperY(static_cast<double>(v.ViewY(s.Y1)) + dy);
  s.X2 = s.X1 + w;
  s.Y2 = s.Y1 + h;
  if (IstKlasse(s, "POL"))
    for (auto& k : s.Koordinaten) {
      k.X = v.PaperX(static_cast<double>(v.ViewX(k.X)) + dx);
      k.Y = v.PaperY(static_cast<double>(v.ViewY(k.Y)) + dy);
    }
}

namespace {

// Moves s and everything upstream of it that is not selected itself; shapes
// in bewegt are not moved again.
void MoveTree(TCadShape& s, const TAnsicht& v, int dx, int dy,
              std::unordered_set<const TCadShape*>& bewegt) {
  // Iterative, so that long chains cannot exhaust the stack.
  std::vector<TCadShape*> offen{&s};
  while (!offen.empty()) {
    TCadShape* n = offen.back();
    offen.pop_back();
    if (!bewegt.insert(n).second) continue;
    Move(*n, v, dx, dy);
    for (TCadShape* u : n->Zufluesse())
      if (!(u->Model && u->Model->IsSelected(u)) && !bewegt.count(u)) offen.push_back(u);
  }
}

}  // namespace

void MoveTree(TCadShape& s, const TAnsicht& v, int dx, int dy) {
  std::unordered_set<const TCadShape*> bewegt;
  MoveTree(s, v, dx, dy, bewegt);
}

void SelectedMove(TCadModel& m, const TAnsicht& v, int dx, int dy) {
  for (TCadShape* s : m.Selection()) Move(*s, v, dx, dy);
}

void SelectedMoveTree(TCadModel& m, const TAnsicht& v, int dx, int dy) {
  std::unordered_set<const TCadShape*> bewegt;
  for (TCadShape* s : m.Selection()) MoveTree(*s, v, dx, dy, bewegt);
}

void SelectedRotate(TCadModel& m) {
  for (TCadShape* s : m.Selection()) Drehen(*s);
}

void SelectedHSpiegeln(TCadModel& m) {
  for (TCadShape* s : m.Selection()) s->HGespiegelt = !s->HGespiegelt;
}

void SelectedVSpiegeln(TCadModel& m) {
  for (TCadShape* s : m.Selection()) s->VGespiegelt = !s->VGespiegelt;
}

void SelectedSetAusrichtung(TCadModel& m, int wohin) {
  for (TCadShape* s : m.Selection()) SetAusrichtung(*s, wohin);
}

void SelectedResize(TCadModel& m, const TAnsicht& v, TPfeiltaste taste, bool plus) {
  const double d = v.Zoom;
  for (TCadShape* s : m.Selection()) {
    if (s->IsM3Shape()) continue;
    switch (taste) {
      case TPfeiltaste::Links:
        if (plus)
          s->X1 -= d;
        else if (s->X1 != s->X2)
          s->X2 -= d;
        break;
      case TPfeiltaste::Oben:
        if (plus)
          s->Y2 += d;
        else if (s->Y1 != s->Y2)
          s->Y1 += d;
        break;
      case TPfeiltaste::Rechts:
        if (plus)
          s->X2 += d;
        else if (s->X1 != s->X2)
          s->X1 += d;
        break;
      case TPfeiltaste::Unten:
        if (plus)
          s->Y1 -= d;
        else if (s->Y1 != s->Y2)
          s->Y2 -= d;
        break;
    }
  }
}

void AssignValues(TCadShape& ziel, const TCadShape& von) {
  if (&ziel == &von) return;
  ziel.X1 = von.X1;
  ziel.Y1 = von.Y1;
  ziel.X2 = von.X2;
  ziel.Y2 = von.Y2;
  ziel.HGespiegelt = von.HGespiegelt;
  ziel.VGespiegelt = von.VGespiegelt;
  ziel.ShowArrows = von.ShowArrows;
  ziel.Ausrichtung = von.Ausrichtung;
  ziel.TextPos = von.TextPos;
  ziel.Val = von.Val;
  ziel.Al = von.Al;
  ziel.Fmt = von.Fmt;
  ziel.Font = von.Font;
  ziel.Pen = von.Pen;
  ziel.Brush = von.Brush;
  if (ziel.Model) ziel.Model->SetSelected(&ziel);
  ziel.Visible = true;
  ziel.Solid = false;
  ziel.LoeseKUE();
  ziel.LoeseGEW();
  if (Ist(ziel.Typ(), "RRE")) {
    ziel.X3 = von.X3;
    ziel.Y3 = von.Y3;
  }
  if (IstKlasse(ziel, "Arc")) {
    ziel.X3 = von.X3;
    ziel.Y3 = von.Y3;
    ziel.X4 = von.X4;
    ziel.Y4 = von.Y4;
  }
  if (IstKlasse(ziel, "POL")) ziel.Koordinaten = von.Koordinaten;
}

// ------------------------------------------------------ hiding and showing

void SelectedAusblenden(TCadModel& m) {
  while (m.AnySelected()) {
    TCadShape* letzte = m.LetzteSelektion();
    // The shape and everything draining into it by Parent; flowcharts may loop.
    std::vector<TCadShape*> weg, offen{letzte};
    std::unordered_set<TCadShape*> gesehen{letzte};
    while (!offen.empty()) {
      TCadShape* n = offen.back();
      offen.pop_back();
      weg.push_back(n);
      for (TCadShape* u : n->Zufluesse())
        if (u->Parent() == n && u != m.Root() && gesehen.insert(u).second) offen.push_back(u);
    }
    Verbergen(m, weg);
  }
}

void M3ElementeAusblenden(TCadModel& m) {
  AusblendenWenn(m, [](const TCadShape& s) { return s.IsM3Shape(); });
}

void GrafikElementeAusblenden(TCadModel& m) {
  AusblendenWenn(m, [](const TCadShape& s) { return !s.IsM3Shape(); });
}

void OhneVerbindungAusblenden(TCadModel& m, const TAnsicht& v) {
  AusblendenWenn(m, [&](const TCadShape& s) {
    if (!s.IsM3Shape()) return false;
    if (!s.Parent() && v.ShowParent) return true;
    if (s.IsBauwerk() || IstKlasse(s, "VERSICKERUNG"))
      return (!s.KUE() && v.ShowKUE) || (!s.GEW() && v.ShowBUE);
    if (s.IsOMA()) return !s.KUE() && (v.ShowKUE || v.ShowBUE);
    if (s.IsEinzugsgebiet()) return !s.GEW() && v.ShowGEW;
    return false;
  });
}

void VersteckteEinblenden(TCadModel& m) {
  for (int i = 1; i < m.Count(); ++i) m.GetNode(i)->Visible = true;
}

bool MakeVisible(const TCadShape& sh, TAnsicht& v) {
  if (sh.IsRoot() || !sh.Visible) return false;
  const TPixelRect client{0, 0, v.Width, v.Height};
  if (IsInside(sh, v, client) || IsCrossing(sh, v, client) || RectOnShape(sh, v, client))
    return false;
  const double k = v.KehrwertZoom();
  v.OrgX = sh.X1 - v.Width * k / 2;
  v.OrgY = sh.Y1 - v.Height * k / 2;
  return true;
}

// ----------------------------------------------------------------- counting

void CountShapes(TShapeCounter& c, const TCadShape& sh) {
  ++c.Total;
  const std::pair<std::string_view, int TShapeCounter::*> reihe[] = {
      {"KES", &TShapeCounter::KES}, {"KER", &TShapeCounter::KER}, {"KEM", &TShapeCounter::KEM},
      {"RU", &TShapeCounter::RUE},  {"RKB", &TShapeCounter::RKB}, {"RUB", &TShapeCounter::RUB},
      {"KLG", &TShapeCounter::KLG}, {"OMA", &TShapeCounter::OMA}, {"EST", &TShapeCounter::EST},
      {"CON", &TShapeCounter::CON}, {"REG", &TShapeCounter::REG}, {"LIN", &TShapeCounter::LIN},
      {"BMP", &TShapeCounter::BMP}, {"RRE", &TShapeCounter::RRE}, {"CIR", &TShapeCounter::CIR},
      {"DOT", &TShapeCounter::DOT}, {"IMP", &TShapeCounter::IMP}, {"TEX", &TShapeCounter::TEX},
      {"Dim", &TShapeCounter::DIM}, {"RAU", &TShapeCounter::RAU}, {"YON", &TShapeCounter::YON},
      {"REC", &TShapeCounter::REC}, {"POG", &TShapeCounter::POG}, {"POL", &TShapeCounter::POL},
      {"AEO", &TShapeCounter::AEO}, {"AEK", &TShapeCounter::AEK}, {"VFL", &TShapeCounter::VFL},
      {"VBE", &TShapeCounter::VBE}, {"VMU", &TShapeCounter::VMU}, {"VRI", &TShapeCounter::VRI},
      {"VSC", &TShapeCounter::VSC},
  };
  for (const auto& [klasse, feld] : reihe)
    if (IstKlasse(sh, klasse)) {
      ++(c.*feld);
      return;
    }
}

void SelectedCount(const TCadModel& m, TShapeCounter& c) {
  c = TShapeCounter{};
  for (const TCadShape* s : m.Selection()) CountShapes(c, *s);
}

}  // namespace t21
