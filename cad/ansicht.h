// The state of a drawing view without any toolkit: origin, zoom, grid, the
// selection pen, the display switches and the size of the control, with the
// acceptance rules of their setters; zooming to the extent of the drawing;
// the drawing order; and the picking procedures that select shapes by a
// point or a rectangle. The widget that shows a model (painting/) holds one
// of these and repaints when a setter reports a change.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "cad/geometrie.h"
#include "cad/shape.h"

namespace t21 {

// The zoom steps of the view menu: "1 %" ... "1024 %".
inline constexpr std::array<double, 12> kZoomStufen{0.01, 0.02, 0.04, 0.08, 0.16, 0.32,
                                                    0.64, 1.00, 1.28, 2.56, 5.12, 10.24};

class TCadView {
 public:
  TCadView() = default;

  // The values the geometry needs (transform, size, display switches).
  const TAnsicht& Ansicht() const { return FA; }

  double OrgX() const { return FA.OrgX; }
  double OrgY() const { return FA.OrgY; }
  double Zoom() const { return FA.Zoom; }
  int Width() const { return FA.Width; }
  int Height() const { return FA.Height; }
  double GridMajor() const { return FGridMajor; }
  double GridMinor() const { return FGridMinor; }
  int GridColor() const { return FGridColor; }
  bool ShowGrid() const { return FShowGrid; }
  bool ShowParent() const { return FA.ShowParent; }
  bool ShowKUE() const { return FA.ShowKUE; }
  bool ShowGEW() const { return FA.ShowGEW; }
  bool ShowBUE() const { return FA.ShowBUE; }
  bool ShowREG() const { return FA.ShowREG; }
  const TStift& SelPen() const { return FSelPen; }

  // The control's own values: background colour (0x00BBGGRR) and font.
  int Color = 0xFFFFFF;
  TSchrift Font;

  // Called after every accepted change that needs a repaint.
  std::function<void()> Neuzeichnen;

  // Setters: true (and a repaint) when the value was taken.
  // Zoom: differs and lies strictly between 1e-17 and 1 000 000.
  bool SetZoom(double z);
  // Stores when x or y differs; non-finite values are refused.
  bool SetOrg(double x, double y);
  bool SetOrgX(double x) { return SetOrg(x, FA.OrgY); }
  bool SetOrgY(double y) { return SetOrg(FA.OrgX, y); }
  // Stores the origin without a repaint of its own, then the zoom through
  // its setter; true if either changed.
  bool SetOrgZoom(double x, double y, double z);
  // Grid spacings: differ, > 0 and < 10 000 000. A spacing of 0 is refused
  // as well as a negative one: snapping to the grid divides by the minor
  // spacing and the grid lines by the major one. A major spacing below the
  // minor one lowers the minor to it; a minor spacing above the major one
  // raises the major to it.
  bool SetGridMajor(double g);
  bool SetGridMinor(double g);
  bool SetGridColor(int c);
  bool SetSelPen(const TStift& p);
  bool SetShowGrid(bool b);
  bool SetShowParent(bool b) { return Schalter(FA.ShowParent, b); }
  bool SetShowKUE(bool b) { return Schalter(FA.ShowKUE, b); }
  bool SetShowGEW(bool b) { return Schalter(FA.ShowGEW, b); }
  bool SetShowBUE(bool b) { return Schalter(FA.ShowBUE, b); }
  bool SetShowREG(bool b) { return Schalter(FA.ShowREG, b); }
  // Size of the control in pixels (negative sizes count as 0).
  bool SetGroesse(int width, int height);

  // Stored without checks and without a repaint (streamed settings).
  void lZoom(double z) { FA.Zoom = z; }
  void lOrgX(double x) { FA.OrgX = x; }
  void lOrgY(double y) { FA.OrgY = y; }
  void lGridMajor(double g) { FGridMajor = g; }
  void lGridMinor(double g) { FGridMinor = g; }
  void lGridColor(int c) { FGridColor = c; }

  // The view menu's reset for a new project: Zoom 0.9, origin (-10, -10),
  // all five link displays on; repaints.
  void Zuruecksetzen();

  // Centres the extent of all visible shapes with a 10 % margin. False (the
  // view unchanged) when no shape is visible.
  bool ZoomAll(const TCadModel& m);
  // The same for the visible selected shapes; false without one (the caller
  // beeps).
  bool ZoomSelected(const TCadModel& m);
  // Multiplies the zoom by faktor so that the drawing point under the pixel
  // p stays under it (the mouse wheel). False if the zoom was refused.
  bool ZoomUm(double faktor, TPixel p);

  // Copies origin, zoom, grid colour, grid spacings and the six display
  // switches of von.
  void AssignValues(const TCadView& von);
  // The settings a model keeps (origin and zoom directly, the grid
  // spacings through their setters, so a stored spacing of 0 is refused),
  // and back.
  void UebernimmEinstellungen(const TAnsichtEinstellungen& e);
  TAnsichtEinstellungen Einstellungen() const;

 private:
  bool Schalter(bool& feld, bool wert);
  void Melde() const {
    if (Neuzeichnen) Neuzeichnen();
  }
  bool ZoomAufAusdehnung(const TAusdehnung& e);

  TAnsicht FA;
  double FGridMajor = 100, FGridMinor = 20;
  int FGridColor = 0xC0C0C0;
  bool FShowGrid = true;
  TStift FSelPen{0x0000FF, 4, 1, 2};  // dotted red
};

// ------------------------------------------------------------ drawing order

// The order in which the visible shapes are painted: the unselected ones in
// list order, then the selected ones in the order they were selected, so the
// selection lies on top and the latest selected topmost.
std::vector<const TCadShape*> Zeichenfolge(const TCadModel& m);

// ------------------------------------------------------------------ picking
//
// Every test converts the pixel rectangle into drawing units and decides
// there (cad/geometrie.h).

// The pick box (p.x - 2, p.y - 2, p.x + 2, p.y + 2).
TPixelRect PickBox(TPixel p);
// The topmost visible shape at p: network shapes, texts, title blocks, dots
// and a shape named "Ausschnitt" by their area, every other shape on its
// outline, on one of its grabs when it is selected, or when it lies wholly
// inside the pick box. nullptr when none is hit.
TCadShape* SelSingle(const TCadModel& m, const TAnsicht& v, TPixel p);
// Selects every visible shape whose extent lies strictly inside r; returns
// the last one selected, or nullptr.
TCadShape* SelWindow(TCadModel& m, const TAnsicht& v, const TPixelRect& r);
// Selects every visible shape inside r, crossed by r's outline or whose
// area r touches; returns the last one selected, or nullptr.
TCadShape* SelCross(TCadModel& m, const TAnsicht& v, const TPixelRect& r);
// SelCross with the pick box around p.
TCadShape* SelPoint(TCadModel& m, const TAnsicht& v, TPixel p);

}  // namespace t21
