#include "cad/ansicht.h"

#include <algorithm>
#include <cmath>

namespace t21 {

namespace {

bool ZoomZulaessig(double z) {
  return z > 1e-17 && z < 1000000;
}

bool RasterZulaessig(double g) {
  return g > 0 && g < 10000000;
}

}  // namespace

bool TCadView::SetZoom(double z) {
  if (z == FA.Zoom || !ZoomZulaessig(z)) return false;
  FA.Zoom = z;
  Melde();
  return true;
}

bool TCadView::SetOrg(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  if (x == FA.OrgX && y == FA.OrgY) return false;
  FA.OrgX = x;
  FA.OrgY = y;
  Melde();
  return true;
}

bool TCadView::SetOrgZoom(double x, double y, double z) {
  bool geaendert = false;
  if (std::isfinite(x) && std::isfinite(y) && (x != FA.OrgX || y != FA.OrgY)) {
    FA.OrgX = x;
    FA.OrgY = y;
    geaendert = true;
  }
  if (SetZoom(z)) return true;
  if (geaendert) Melde();
  return geaendert;
}

bool TCadView::SetGridMajor(double g) {
  if (g == FGridMajor || !RasterZulaessig(g)) return false;
  FGridMajor = g;
  if (FGridMajor < FGridMinor) FGridMinor = g;
  Melde();
  return true;
}

bool TCadView::SetGridMinor(double g) {
  if (g == FGridMinor || !RasterZulaessig(g)) return false;
  FGridMinor = g;
  if (FGridMinor > FGridMajor) FGridMajor = g;
  Melde();
  return true;
}

bool TCadView::SetGridColor(int c) {
  if (c == FGridColor) return false;
  FGridColor = c;
  Melde();
  return true;
}

bool TCadView::SetSelPen(const TStift& p) {
  if (p == FSelPen) return false;
  FSelPen = p;
  Melde();
  return true;
}

bool TCadView::SetShowGrid(bool b) {
  return Schalter(FShowGrid, b);
}

bool TCadView::Schalter(bool& feld, bool wert) {
  if (feld == wert) return false;
  feld = wert;
  Melde();
  return true;
}

bool TCadView::SetGroesse(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FA.Width && height == FA.Height) return false;
  FA.Width = width;
  FA.Height = height;
  Melde();
  return true;
}

void TCadView::Zuruecksetzen() {
  FA.Zoom = 0.9;
  FA.OrgX = -10;
  FA.OrgY = -10;
  FA.ShowParent = FA.ShowKUE = FA.ShowGEW = FA.ShowBUE = FA.ShowREG = true;
  Melde();
}

bool TCadView::ZoomAufAusdehnung(const TAusdehnung& e) {
  if (e.MinX > e.MaxX || e.MinY > e.MaxY) return false;  // nothing visible
  const double dx = e.MaxX - e.MinX, dy = e.MaxY - e.MinY;
  const double cx = dx <= 0 ? 1 : FA.Width / dx;
  const double cy = dy <= 0 ? 1 : FA.Height / dy;
  const double z = std::min(cx, cy) * 0.9;
  // A view of no size gives no zoom: keep the one there is.
  if (ZoomZulaessig(z)) FA.Zoom = z;
  FA.OrgX = e.MinX - (FA.Width / FA.Zoom - dx) / 2;
  FA.OrgY = e.MinY - (FA.Height / FA.Zoom - dy) / 2;
  Melde();
  return true;
}

bool TCadView::ZoomAll(const TCadModel& m) {
  return ZoomAufAusdehnung(GetExt(m, false));
}

bool TCadView::ZoomSelected(const TCadModel& m) {
  if (!m.AnySelected()) return false;
  return ZoomAufAusdehnung(GetExt(m, true));
}

bool TCadView::ZoomUm(double faktor, TPixel p) {
  const double x = FA.PaperX(p.X), y = FA.PaperY(p.Y);
  const double z = FA.Zoom * faktor;
  if (z == FA.Zoom || !ZoomZulaessig(z)) return false;
  FA.Zoom = z;
  FA.OrgX = x - p.X / z;
  FA.OrgY = y - (FA.Height - p.Y) / z;
  Melde();
  return true;
}

void TCadView::AssignValues(const TCadView& von) {
  FA.OrgX = von.FA.OrgX;
  FA.OrgY = von.FA.OrgY;
  FA.Zoom = von.FA.Zoom;
  FGridColor = von.FGridColor;
  FGridMajor = von.FGridMajor;
  FGridMinor = von.FGridMinor;
  FA.ShowParent = von.FA.ShowParent;
  FA.ShowKUE = von.FA.ShowKUE;
  FA.ShowGEW = von.FA.ShowGEW;
  FA.ShowBUE = von.FA.ShowBUE;
  FA.ShowREG = von.FA.ShowREG;
  FShowGrid = von.FShowGrid;
  Melde();
}

void TCadView::UebernimmEinstellungen(const TAnsichtEinstellungen& e) {
  if (std::isfinite(e.OrgX)) FA.OrgX = e.OrgX;
  if (std::isfinite(e.OrgY)) FA.OrgY = e.OrgY;
  FA.Zoom = e.Zoom;
  // Major first, so that a stored pair (minor <= major) comes through whole.
  if (RasterZulaessig(e.GridMajor) && e.GridMajor >= FGridMinor) {
    SetGridMajor(e.GridMajor);
    SetGridMinor(e.GridMinor);
  } else {
    SetGridMinor(e.GridMinor);
    SetGridMajor(e.GridMajor);
  }
  FGridColor = e.GridColor;
  FA.ShowParent = e.ShowParent;
  FA.ShowKUE = e.ShowKUE;
  FA.ShowGEW = e.ShowGEW;
  FA.ShowBUE = e.ShowBUE;
  FA.ShowREG = e.ShowREG;
  FShowGrid = e.ShowGrid;
  FSelPen = e.SelPen;
  Melde();
}

TAnsichtEinstellungen TCadView::Einstellungen() const {
  TAnsichtEinstellungen e;
  e.OrgX = FA.OrgX;
  e.OrgY = FA.OrgY;
  e.Zoom = FA.Zoom;
  e.GridMinor = FGridMinor;
  e.GridMajor = FGridMajor;
  e.GridColor = FGridColor;
  e.ShowParent = FA.ShowParent;
  e.ShowKUE = FA.ShowKUE;
  e.ShowGEW = FA.ShowGEW;
  e.ShowBUE = FA.ShowBUE;
  e.ShowREG = FA.ShowREG;
  e.ShowGrid = FShowGrid;
  e.SelPen = FSelPen;
  return e;
}

// ------------------------------------------------------------ drawing order

std::vector<const TCadShape*> Zeichenfolge(const TCadModel& m) {
  std::vector<const TCadShape*> r;
  r.reserve(static_cast<size_t>(m.Count()));
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (s->Visible && !m.IsSelected(s)) r.push_back(s);
  }
  for (uint64_t id : m.Auswahl.Ids()) {
    const TCadShape* s = m.GetNodeById(id);
    if (s && s->Visible) r.push_back(s);
  }
  return r;
}

// ------------------------------------------------------------------ picking

namespace {

bool NachFlaecheGepickt(const TCadShape& s) {
  return s.IsM3Shape() || s.Typ() == "TEX" || s.Typ() == "IMP" || s.Typ() == "DOT" ||
         s.Name == "Ausschnitt";
}

template <class Treffer>
TCadShape* Waehle(TCadModel& m, Treffer treffer) {
  TCadShape* letzte = nullptr;
  for (int i = 1; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (!s->Visible || !treffer(*s)) continue;
    m.SetSelected(s);
    letzte = s;
  }
  return letzte;
}

}  // namespace

TPixelRect PickBox(TPixel p) {
  return {p.X - 2, p.Y - 2, p.X + 2, p.Y + 2};
}

TCadShape* SelSingle(const TCadModel& m, const TAnsicht& v, TPixel p) {
  const TPixelRect r = PickBox(p);
  const auto folge = Zeichenfolge(m);
  for (auto it = folge.rbegin(); it != folge.rend(); ++it) {
    const TCadShape& s = **it;
    if (s.IsRoot()) continue;
    const bool hit = NachFlaecheGepickt(s) ? RectOnShape(s, v, r)
                                           : (m.IsSelected(&s) && PointOnEnd(s, v, p) >= 0) ||
                                                 IsInside(s, v, r) || IsCrossing(s, v, r);
    if (hit) return const_cast<TCadShape*>(&s);
  }
  return nullptr;
}

TCadShape* SelWindow(TCadModel& m, const TAnsicht& v, const TPixelRect& r) {
  return Waehle(m, [&](const TCadShape& s) { return IsInside(s, v, r); });
}

TCadShape* SelCross(TCadModel& m, const TAnsicht& v, const TPixelRect& r) {
  return Waehle(m, [&](const TCadShape& s) {
    return IsInside(s, v, r) || IsCrossing(s, v, r) || RectOnShape(s, v, r);
  });
}

TCadShape* SelPoint(TCadModel& m, const TAnsicht& v, TPixel p) {
  return SelCross(m, v, PickBox(p));
}

}  // namespace t21
