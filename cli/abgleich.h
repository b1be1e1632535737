// The calibration command: the comparison run of one element over the
// period of a measured hydrograph (or a given one), the figures VOL, REFF
// and SA, and the computed hydrograph written as a measurement file.
#pragma once

#include <ostream>
#include <string>

#include "model/network.h"
#include "storage/export_csv.h"

namespace t21 {

struct TAbgleichOptionen {
  std::string Element;
  std::string Von, Bis;   // the period; empty: that of the measurement
  std::string Messung;    // .MGL to compare with
  std::string Speichern;  // .MGL for the computed hydrograph
  // Date and number formats of the measurement files.
  TZahlenformat Zahlen = TZahlenformat::Deutsch();
};

// Exit code: 0 done, 1 the run refused, 2 unusable input (dates, the
// measurement) or a file not written.
int Abgleich(TM3Model& m, const TAbgleichOptionen& o, std::ostream& out, std::ostream& err);

}  // namespace t21
