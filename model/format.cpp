#include "model/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace t21 {

namespace {

// The digits of a >= 0 (finite) with `nachkomma` decimals, rounded half away
// from zero on its decimal value of 17 significant digits, as the picture
// formats round: 1.625 gives "1" and "63" for two decimals, not printf's
// "62". Integer part without leading zeros ("0" for none).
void Dezimalstellen(double a, int nachkomma, std::string& ganz, std::string& bruch) {
  char b[40];
  std::snprintf(b, sizeof b, "%.16e", a);
  std::string ziffern;
  ziffern += b[0];
  ziffern.append(b + 2, 16);
  const int exponent = std::atoi(b + 19);
  // Digits kept: those before the decimal point and `nachkomma` after it.
  long vorn = exponent + 1;  // digits of ziffern before the point
  const long behalten = vorn + nachkomma;
  if (a == 0 || behalten < 0) {
    ziffern.clear();
    vorn = 0;
  } else if (behalten < static_cast<long>(ziffern.size())) {
    const bool auf = ziffern[static_cast<size_t>(behalten)] >= '5';
    ziffern.resize(static_cast<size_t>(behalten));
    if (auf) {
      long i = behalten - 1;
      for (; i >= 0; --i) {
        if (ziffern[static_cast<size_t>(i)] != '9') {
          ++ziffern[static_cast<size_t>(i)];
          break;
        }
        ziffern[static_cast<size_t>(i)] = '0';
      }
      if (i < 0) {
        ziffern.insert(ziffern.begin(), '1');
        ++vorn;
      }
    }
  }
  // Place the digits around the decimal point, padding with zeros.
  if (vorn <= 0) {
    ganz = "0";
    bruch.assign(static_cast<size_t>(std::min<long>(-vorn, nachkomma)), '0');
    bruch += ziffern;
  } else {
    if (static_cast<long>(ziffern.size()) < vorn)
      ziffern.append(static_cast<size_t>(vorn) - ziffern.size(), '0');
    ganz = ziffern.substr(0, static_cast<size_t>(vorn));
    bruch = ziffern.substr(static_cast<size_t>(vorn));
  }
  if (static_cast<long>(bruch.size()) < nachkomma)
    bruch.append(static_cast<size_t>(nachkomma) - bruch.size(), '0');
  bruch.resize(static_cast<size_t>(nachkomma));
}

}  // namespace

std::string ZahlText(double v, int nachkomma, bool tausender) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  // More decimals than a double has digits only pad with zeros.
  if (nachkomma < 0) nachkomma = 0;
  if (nachkomma > 350) nachkomma = 350;
  std::string ganz, bruch;
  Dezimalstellen(std::fabs(v), nachkomma, ganz, bruch);
  std::string r;
  r.reserve(ganz.size() + ganz.size() / 3 + bruch.size() + 2);
  for (size_t i = 0; i < ganz.size(); ++i) {
    if (tausender && i > 0 && (ganz.size() - i) % 3 == 0) r += '.';
    r += ganz[i];
  }
  if (!bruch.empty()) r += "," + bruch;
  bool null = true;
  for (char c : r)
    if (c >= '1' && c <= '9') null = false;
  if (v < 0 && !null) r.insert(r.begin(), '-');
  return r;
}

}  // namespace t21
