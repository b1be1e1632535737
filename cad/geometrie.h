// Geometry of the drawing: the transform between drawing units and pixels,
// the extent, orientation, docks and link lines of shapes, moving, turning,
// resizing, splitting links, hiding and counting, and the pure geometry of
// the hit tests. Free of any GUI toolkit; the painter sits on top of it.
//
// Drawing units have the y axis pointing up, pixels the y axis pointing down.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string_view>
#include <vector>

#include "cad/shape.h"

namespace t21 {

// Rounds to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4). Values
// beyond the range of int are clamped to it, NaN gives 0.
int RundeGeradeWeit(double v);
inline int RundeGerade(double v) {
  // Every pixel of a repaint comes through here. Within +-2^30 (NaN fails
  // both comparisons) from the integer part below v: v minus it is exact.
  if (v > -1073741824.0 && v < 1073741824.0) {
    int i = static_cast<int>(v);  // towards zero
    if (i > v) --i;
    const double rest = v - i;
    if (rest > 0.5 || (rest == 0.5 && (i & 1) != 0)) ++i;
    return i;
  }
  return RundeGeradeWeit(v);
}

struct TPixel {
  int X = 0, Y = 0;
  bool operator==(const TPixel&) const = default;
};

// A pixel rectangle. The view rectangle of a shape keeps the drawing's
// orientation: Top is the view y of the lower drawing edge and therefore the
// screen-lower edge (Top >= Bottom).
struct TPixelRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TPixelRect&) const = default;
};

// The same rectangle with Left <= Right and Top <= Bottom.
TPixelRect Normalisiert(const TPixelRect& r);

// An extent in drawing units.
struct TAusdehnung {
  double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  bool operator==(const TAusdehnung&) const = default;
};

// The view values a shape needs: origin, zoom, the size of the control, the
// picture being rendered, and the display switches of the link kinds.
struct TAnsicht {
  double OrgX = -10, OrgY = -10;  // drawing point at the lower left corner
  double Zoom = 0.9;              // pixels per drawing unit
  int Width = 200, Height = 100;  // the control
  // While a picture is rendered, ViewY measures from its height instead.
  bool MetaAktiv = false;
  int MetaWidth = 0, MetaHeight = 0;
  bool ShowParent = true, ShowGEW = false, ShowKUE = true, ShowBUE = true, ShowREG = true;

  TAnsicht() = default;
  // Origin, zoom and display switches of a model's stored settings.
  TAnsicht(const TAnsichtEinstellungen& e, int width, int height);

  // 1 / Zoom, or 0 when |Zoom| <= 1e-11.
  double KehrwertZoom() const;
  int ViewX(double x) const { return RundeGerade((x - OrgX) * Zoom); }
  int ViewY(double y) const {
    const int h = MetaAktiv ? MetaHeight : Height;
    const long long py = static_cast<long long>(h) - RundeGerade((y - OrgY) * Zoom);
    return static_cast<int>(std::clamp<long long>(py, INT_MIN, INT_MAX));
  }
  TPixel View(double x, double y) const { return {ViewX(x), ViewY(y)}; }
  double PaperX(double px) const;
  double PaperY(double py) const;
};

// ------------------------------------------------------------------ classes

// True if the shape is of the class or derived from it. Besides the type
// codes, the abstract classes "M3Shape", "EBW", "VERSICKERUNG", "KEZ" and
// "M3Ellipse" are known ("RKB" is a "RUB", "Chord" an "Arc" and a "LIN").
bool IstKlasse(std::string_view typ, std::string_view klasse);
bool IstKlasse(const TCadShape& s, std::string_view klasse);

// ----------------------------------------------------------------- extents

// The extent of a shape: the box with min/max sorted; polylines and polygons
// the bounds of their vertices (the box while they have none).
TAusdehnung GetExt(const TCadShape& s);
// Extent of all visible shapes (nurSelektion false) or of the visible
// selected ones; starts from +9999999 / -9999999, so an empty result has
// MinX > MaxX.
TAusdehnung GetExt(const TCadModel& m, bool nurSelektion);
// Rect(ViewX(min x), ViewY(min y), ViewX(max x), ViewY(max y)).
TPixelRect GetViewRect(const TCadShape& s, const TAnsicht& v);

// ------------------------------------------------------------- orientation

// Sets Ausrichtung (3, 6, 9, 12); a change between horizontal (0, 3, 9) and
// vertical (6, 12) turns the box about (X1, Y1), otherwise the box is
// normalised. Lines, arcs, chords, pies, title blocks and dimensions keep
// their box: for them the box is the figure itself.
void SetAusrichtung(TCadShape& s, int v);
// 3 -> 6 -> 9 -> 12 -> 3; nothing for lines, arcs, chords, pies, title
// blocks and dimensions.
void Drehen(TCadShape& s);
// Ausrichtung reversed by the matching mirror flag (3/9 by HGespiegelt, 6/12
// by VGespiegelt).
int GetDirection(const TCadShape& s);
// Direction of a text shape: GetDirection, swapped once more by the other
// mirror flag; and its angle in degrees (9: 0, 12: 90, 3: 180, 6: 270).
int TextRichtung(const TCadShape& s);
int TextWinkel(const TCadShape& s);

// Recomputes the box of a text shape from the size of its text in pixels
// (as measured in the shape's font scaled by Zoom).
void TextBoxAnpassen(TCadShape& s, const TAnsicht& v, double textBreitePx, double textHoehePx);

// ------------------------------------------------------------------- docks

TPixel DockZu(const TCadShape& s, const TAnsicht& v);   // inlet
TPixel DockAb(const TCadShape& s, const TAnsicht& v);   // outlet
TPixel DockKUE(const TCadShape& s, const TAnsicht& v);  // clarifier overflow
TPixel DockBUE(const TCadShape& s, const TAnsicht& v);  // tank overflow

enum class TLinkArt { Parent, KUE, GEW, BUE, REG };

// Pen colour of a link line (0x00BBGGRR), or -1 for the shape's own pen.
int LinkFarbe(TLinkArt art);

struct TLinkLinie {
  TLinkArt Art = TLinkArt::Parent;
  TPixel Von, Bis;
  // The arrowhead: tip at the midpoint, pointing along the flow.
  std::optional<std::array<TPixel, 3>> Pfeil;
};

// Arrowhead of a link line from von to bis.
std::array<TPixel, 3> LinkPfeil(TPixel von, TPixel bis);
// At most three link lines (Parent, then KUE or REG, then GEW or BUE),
// kept without a heap: every shape asks for them on every repaint.
class TLinkLinien {
 public:
  size_t size() const { return FAnzahl; }
  bool empty() const { return FAnzahl == 0; }
  const TLinkLinie& operator[](size_t i) const { return FLinien[i]; }
  const TLinkLinie* begin() const { return FLinien.data(); }
  const TLinkLinie* end() const { return FLinien.data() + FAnzahl; }
  void push_back(const TLinkLinie& l) { FLinien[FAnzahl++] = l; }

 private:
  std::array<TLinkLinie, 3> FLinien{};
  size_t FAnzahl = 0;
};

// The link lines a visible shape draws, in drawing order, as the view's
// display switches allow; none for text shapes.
TLinkLinien LinkLinien(const TCadShape& s, const TAnsicht& v);

// The flow arrow inside a network symbol (tail, tip, head, head, tip) by the
// effective direction; none for other directions.
std::optional<std::array<TPixel, 5>> FliessPfeil(const TCadShape& s, const TAnsicht& v);
// The triangle of a catchment symbol: apex at the middle of the downstream
// edge, base on the upstream edge; none for other directions.
std::optional<std::array<TPixel, 3>> SymbolDreieck(const TCadShape& s, const TAnsicht& v);

// Square of side round(8 * Zoom) pixels centred on p (offset side div 2);
// Right and Bottom lie just outside.
TPixelRect GrabRect(TPixel p, const TAnsicht& v);
// The grab points of a selected graphic shape; none for network shapes.
std::vector<TPixel> GrabPunkte(const TCadShape& s, const TAnsicht& v);

// -------------------------------------------------------------- hit tests

// The extent lies strictly inside the pixel rectangle r.
bool IsInside(const TCadShape& s, const TAnsicht& v, const TPixelRect& r);
// The outline, in drawing units, crosses the pixel rectangle r.
bool IsCrossing(const TCadShape& s, const TAnsicht& v, const TPixelRect& r);
// p lies inside the view rectangle (edges included).
bool PointInShape(const TCadShape& s, const TAnsicht& v, TPixel p);
// The last visible shape in list order whose view rectangle holds p.
TCadShape* GetNode(const TCadModel& m, const TAnsicht& v, TPixel p);
// r touches the shape's area.
bool RectOnShape(const TCadShape& s, const TAnsicht& v, const TPixelRect& r);
// Which grab contains p: rectangles 12, 6, 9, 3 (lower, upper, left, right
// edge), lines and dimensions 1 (start) or 2 (end), polylines the vertex
// index; -1 if none.
int PointOnEnd(const TCadShape& s, const TAnsicht& v, TPixel p);

// Segment A-B crosses segment C-D at an inner point of both; touching at an
// end point and collinear overlaps do not count.
bool StreckenKreuzen(TPunkt a, TPunkt b, TPunkt c, TPunkt d);

// -------------------------------------------------------- moving, resizing

// Moves by (dx, dy) pixels; the anchor lands on a pixel of the view.
void Move(TCadShape& s, const TAnsicht& v, int dx, int dy);
// Moves the shape and everything upstream of it that is not selected, each
// once.
void MoveTree(TCadShape& s, const TAnsicht& v, int dx, int dy);
void SelectedMove(TCadModel& m, const TAnsicht& v, int dx, int dy);
// MoveTree on every selected shape; a shape is moved once.
void SelectedMoveTree(TCadModel& m, const TAnsicht& v, int dx, int dy);

void SelectedRotate(TCadModel& m);
void SelectedHSpiegeln(TCadModel& m);
void SelectedVSpiegeln(TCadModel& m);
void SelectedSetAusrichtung(TCadModel& m, int wohin);

enum class TPfeiltaste { Links, Oben, Rechts, Unten };
// Grows (plus) or shrinks the selected graphic shapes by Zoom drawing units.
void SelectedResize(TCadModel& m, const TAnsicht& v, TPfeiltaste taste, bool plus);

// Copies the drawing values of von into ziel (not name and Parent); ziel
// ends selected and visible, without KUE and GEW.
void AssignValues(TCadShape& ziel, const TCadShape& von);

// ------------------------------------------------------ hiding and showing

// Hidden shapes are deselected in every one of these.
void SelectedAusblenden(TCadModel& m);
void M3ElementeAusblenden(TCadModel& m);
void GrafikElementeAusblenden(TCadModel& m);
void OhneVerbindungAusblenden(TCadModel& m, const TAnsicht& v);
void VersteckteEinblenden(TCadModel& m);

// Sets the origin so that the anchor of sh lies in the middle of the view,
// unless sh is the root, invisible, or already inside, crossing or under the
// view. Returns true if the origin changed.
bool MakeVisible(const TCadShape& sh, TAnsicht& v);

// ----------------------------------------------------------------- counting

struct TShapeCounter {
  int KES = 0, KER = 0, KEM = 0, RUE = 0, RUB = 0, RKB = 0, KLG = 0, OMA = 0, EST = 0, CON = 0,
      REG = 0, LIN = 0, REC = 0, RRE = 0, CIR = 0, DIM = 0, DOT = 0, IMP = 0, TEX = 0, BMP = 0,
      POG = 0, POL = 0, RAU = 0, YON = 0, AEO = 0, AEK = 0, VFL = 0, VBE = 0, VMU = 0, VRI = 0,
      VSC = 0;
  int Total = 0;
  bool operator==(const TShapeCounter&) const = default;
};

void CountShapes(TShapeCounter& c, const TCadShape& sh);
void SelectedCount(const TCadModel& m, TShapeCounter& c);

}  // namespace t21
