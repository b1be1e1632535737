// Thin lines written straight into the pixels of an image, where painting
// them through QPainter costs a call per pixel: the links of a large
// drawing are most of its pixels.
#pragma once

#include <QImage>
#include <QPoint>

namespace t21 {

// Sets the pixels of the one-pixel line from a to b in a 32-bit image to
// farbe: both end points and the pixels between by Bresenham's rule, cut at
// the image's edges. Only the part inside the image is stepped through,
// however far outside the ends lie.
void SetzeLinie(QImage& bild, QPoint a, QPoint b, QRgb farbe);

}  // namespace t21
