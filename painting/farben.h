// Colours as the drawing stores them and as Qt paints them.
#pragma once

#include <QColor>

namespace t21 {

// The colour of a stored value 0x00BBGGRR (red in the lowest byte). The
// highest byte is not part of the colour and is ignored; the result is
// always opaque.
QColor FarbeAusRGB(int bbggrr);

// The stored value 0x00BBGGRR of a colour; its alpha is dropped.
int RGBAusFarbe(const QColor& farbe);

}  // namespace t21
