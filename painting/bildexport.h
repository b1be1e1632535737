// Pictures of the drawing: the visible shapes with a margin of 50 drawing
// units at the view's zoom, on the view's background with its grid and the
// origin arrows, framed in black. As SVG, PDF, PNG or BMP, written straight
// to a file, or to the clipboard as an image and as SVG.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

#include "cad/ansicht.h"

class QPainter;

namespace t21 {

// The largest picture side in pixels.
inline constexpr int kBildMaxSeite = 20000;

// The view values of the picture: origin at the extent's lower left corner
// less 50, the view's zoom, the size round((extent + 100) * Zoom). nullopt
// with a German message when no shape is visible or a side would exceed
// kBildMaxSeite pixels (or be smaller than one).
std::optional<TAnsicht> BildAnsicht(const TCadModel& m, const TCadView& view, QString& fehler);

// Paints the picture through a (from BildAnsicht): background and grid, the
// model, the origin arrows and the frame from (0, 0) to (width - 1,
// height - 1).
void MaleBildInhalt(QPainter& p, const TCadModel& m, const TCadView& view, const TAnsicht& a);

std::optional<QImage> BildAlsRaster(const TCadModel& m, const TCadView& view, QString& fehler);
// The SVG document of the picture; empty with fehler set on failure.
QByteArray BildAlsSvg(const TCadModel& m, const TCadView& view, QString& fehler);

// Writes the picture to datei by its extension: .svg, .pdf, .png or .bmp
// (any case). False with a German message.
bool SpeichereBild(const TCadModel& m, const TCadView& view, const QString& datei, QString& fehler);

// Puts the picture on the clipboard as an image and as "image/svg+xml".
bool BildInZwischenablage(const TCadModel& m, const TCadView& view, QString& fehler);

}  // namespace t21
