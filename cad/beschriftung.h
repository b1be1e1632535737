// The texts of the drawing as numbers: the format of text and dimension
// labels (never handed to printf), and the layout of captions, value texts
// in rectangles, title blocks and text boxes through a small metrics
// interface, so that layout can be computed and tested without a toolkit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cad/geometrie.h"
#include "cad/shape.h"

namespace t21 {

// Text metrics of a font at a point size (the shape's font, its size
// already scaled by the zoom). The painter answers with its toolkit's
// metrics; tests with a fixed-width fake.
class TTextMetrik {
 public:
  virtual ~TTextMetrik() = default;
  virtual int Breite(const TSchrift& f, int groesse, std::string_view text) const = 0;
  // The height of a line ("A").
  virtual int Hoehe(const TSchrift& f, int groesse) const = 0;
};

// The height of a font in pixels at 96 dpi, |font height| of the drawing:
// round(size * 96 / 72), at least 1.
int SchriftHoehe(const TSchrift& f);
// The point size of a font at a zoom: round(size * Zoom); below 1 nothing
// is written.
int ZoomSchrift(const TSchrift& f, double zoom);

// Formats a label. A format is taken only when it holds exactly one
// conversion, "%s" or "%[w][.p]f" (w and p at most two digits; "%%" is a
// percent sign), with any literal text around it; a number is written with
// a decimal comma and, without a precision, two decimals. nullopt for every
// other format, or a conversion that does not fit the value: the caller
// shows the raw text.
std::optional<std::string> FormatiereText(std::string_view fmt, std::string_view val);
std::optional<std::string> FormatiereZahl(std::string_view fmt, double val);

// The text of a text shape: Fmt with Val, or Val itself.
std::string TextDesTextes(const TCadShape& s);
// The label of a dimension: Val when not empty, otherwise Fmt with the
// measured length, or Fmt itself.
std::string TextDerBemassung(const TCadShape& s);
// The measured length of a dimension by its kind: "h" horizontal, "v"
// vertical, otherwise the distance of its two points.
double BemassungsLaenge(const TCadShape& s);

// A piece of text placed on the screen: its top left corner and its size in
// pixels at the point size Groesse.
struct TTextStueck {
  std::string Text;
  int X = 0, Y = 0;
  int Breite = 0, Hoehe = 0;
  int Groesse = 0;
};

// The caption (the shape's name) by TextPos: 3 right of the symbol, 9 left
// of it, 6 below, 12 above; nullopt for TextPos 0, an empty name or a font
// too small to write.
std::optional<TTextStueck> Beschriftung(const TCadShape& s, const TAnsicht& v,
                                        const TTextMetrik& m);

// The value text of a rectangle: Val broken into at most as many lines as
// fit the box, character by character, centred on the middle and stacked
// from the screen-upper edge. Every line takes at least one character.
std::vector<TTextStueck> WertZeilen(const TCadShape& s, const TAnsicht& v, const TTextMetrik& m);

// The title block: the rows of its twelve "#"-separated fields.
struct TKopfZeile {
  TTextStueck Stueck;
  bool Trennlinie = false;  // a separating line at the row's top instead of text
};
std::vector<TKopfZeile> Schriftfeld(const TCadShape& s, const TAnsicht& v, const TTextMetrik& m);
// The twelve fields of a title block's value (missing ones empty).
std::vector<std::string> SchriftfeldFelder(std::string_view val);

// Measuring at a fixed scale (Zoom 1), done when a text or its font changes,
// never while painting: the box of a text shape follows its text; a title
// block is as wide as its widest row and 13.5 font heights high; a
// dimension keeps its label width plus 8 pixels in m_dw.
void TextBoxMessen(TCadShape& s, const TTextMetrik& m);
void SchriftfeldMessen(TCadShape& s, const TTextMetrik& m);
void BemassungMessen(TCadShape& s, const TTextMetrik& m);
// The one of the three for the shape's type; nothing for other types.
void Vermessen(TCadShape& s, const TTextMetrik& m);

}  // namespace t21
