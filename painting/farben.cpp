#include "painting/farben.h"

namespace t21 {

QColor FarbeAusRGB(int bbggrr) {
  const unsigned v = static_cast<unsigned>(bbggrr);
  return QColor(static_cast<int>(v & 0xFFu), static_cast<int>((v >> 8) & 0xFFu),
                static_cast<int>((v >> 16) & 0xFFu));
}

int RGBAusFarbe(const QColor& farbe) {
  const QColor rgb = farbe.toRgb();
  return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

}  // namespace t21
