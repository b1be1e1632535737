#include "model/format.h"

#include <cmath>
#include <cstdio>

namespace t21 {

std::string ZahlText(double v, int nachkomma, bool tausender) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  char puffer[64];
  std::snprintf(puffer, sizeof puffer, "%.*f", nachkomma < 0 ? 0 : nachkomma, std::fabs(v));
  std::string roh(puffer);
  const auto punkt = roh.find('.');
  std::string ganz = roh.substr(0, punkt);
  std::string bruch = punkt == std::string::npos ? std::string() : roh.substr(punkt + 1);
  std::string r;
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
