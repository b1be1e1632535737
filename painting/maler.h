// Painting of the drawing with QPainter: the attributes of the shapes as
// pens, brushes and fonts, every network symbol and graphic shape, the
// links with their arrows, captions and value texts, grabs, the selection
// in the view's selection pen, the grid and the origin arrows.
//
// Every position comes from cad/ (TAnsicht's rounding conversions); the
// painter never scales with a transform of its own, so what is painted is
// what the hit tests see. Painting reads the model and never changes it.
#pragma once

#include <QBrush>
#include <QFont>
#include <QPen>
#include <memory>

#include "cad/ansicht.h"
#include "cad/beschriftung.h"

class QPainter;
class QImage;

namespace t21 {

// Stored attribute codes to Qt. Pen styles: 0 solid, 1 dash, 2 dot,
// 3 dash-dot, 4 dash-dot-dot, 5 clear, 6 inside frame; pens are at least one
// pixel wide. Brush styles: 0 solid, 1 clear, 2 horizontal, 3 vertical,
// 4 forward diagonal, 5 backward diagonal, 6 cross, 7 diagonal cross.
QPen StiftAus(const TStift& s);
QBrush PinselAus(const TPinsel& b);
// The font at a point size (already scaled by the zoom).
QFont SchriftAus(const TSchrift& f, int groesse);

// Qt's font metrics behind the layout interface of cad/beschriftung.h.
class TQtTextMetrik : public TTextMetrik {
 public:
  int Breite(const TSchrift& f, int groesse, std::string_view text) const override;
  int Hoehe(const TSchrift& f, int groesse) const override;
};

// The artwork of the drawing (SVG resources of painting/bilder): "REGEN"
// the rain gauge, "Bild1" the placeholder picture, "VFL", "VBE", "VMU",
// "VRI", "VSC" the infiltration facilities. Drawn stretched into r; on a
// raster target from a cached raster of that size.
void MaleBild(QPainter& p, const QString& name, const QRect& r);
// The picture name of an infiltration facility's image index (70 ... 74).
QString VersickerungsBild(int bmp);

// Paints shapes, one model at a time, through one view.
class TMaler {
 public:
  TMaler(QPainter& p, const TAnsicht& v, const TStift& selPen);
  ~TMaler();
  TMaler(const TMaler&) = delete;
  TMaler& operator=(const TMaler&) = delete;

  // The model's Draw: nothing while Drawing is set; otherwise the visible
  // shapes in drawing order, the selection on top.
  void Modell(const TCadModel& m);
  // One shape with its attributes (in the selection pen when selected).
  void Shape(const TCadShape& s, bool selektiert);

  // Background colour over the surface, then grid dots and lines.
  void Hintergrund(int farbe, bool raster, double gridMinor, double gridMajor, int gridFarbe);
  // The red arrows of the drawing's x and y axes at the point (0, 0).
  void Ursprung();

  // Painting onto an image copies symbols, connectors and arrowheads from
  // small pictures and writes them straight into its pixels (the same
  // pixels as painting them). Off, every one goes through the painter
  // (tests compare the two).
  static inline bool Bildkopien = true;

 private:
  struct TZustand;
  std::unique_ptr<TZustand> Z;
};

// A whole view: background and grid, the model (when there is one) and the
// origin arrows when the grid is shown, through the values a (the view's
// own, or those of a picture being rendered) and the settings of view.
void MaleAnsicht(QPainter& p, const TCadModel* m, const TCadView& view, const TAnsicht& a);

}  // namespace t21
