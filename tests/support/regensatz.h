// Rain files in layout M for run tests: the header of a 5-minute series and
// one hour's record whose first 5-minute value is wert1 (1/1000 mm), the
// other eleven 0; schluss marks the closing record.
#pragma once

#include <cstdio>
#include <string>

#include "model/datum.h"

namespace t21::test {

inline std::string KopfM() {
  return "00042 0 0   0       Test\n"
         "                        5   -30101200000000031122005235500    0\n";
}

inline std::string SatzM(TDateTime t, int wert1, bool schluss = false) {
  const auto d = DecodeDateTime(t);
  char z[128];
  std::snprintf(z, sizeof z, "00042%02d%02d%04d%02d%02d  %c%5d", d.Tag, d.Monat, d.Jahr, d.Stunde,
                d.Minute, schluss ? 'E' : ' ', wert1);
  std::string s = z;
  for (int i = 1; i < 12; ++i) s += "    0";
  return s + "\n";
}

}  // namespace t21::test
