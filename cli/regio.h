// t21 regio: the natural one-year flood yield of a small receiving water
// (the regionalisation calculator without its window).
#pragma once

#include <ostream>
#include <string>

#include "cli/ausgabe.h"

namespace t21 {

// Catchment area in km2, flow length and height difference in m, curve
// number, as typed (decimal comma or point); the project's default series
// "Reinhold (n=1,0)". Prints Hq1,pnat in l/(s*km2) on out. Returns the exit
// code: 0 computed, 2 an input error (the message on err).
int Regio(const std::string& flaeche, const std::string& laenge, const std::string& hoehe,
          const std::string& cn, Format f, std::ostream& out, std::ostream& err);

}  // namespace t21
