// The verification report of a project as a PDF: the pages of the chosen
// elements, each on its own page of the paper, headless.
#pragma once

#include <string>
#include <vector>

#include "model/network.h"
#include "report/nachweisseiten.h"

namespace t21 {

// How a report is rendered.
struct TBerichtLauf {
  // Parts rendered side by side, each on a thread of its own with its own
  // copy of the project, then joined into one PDF: 0 chooses (one part per
  // core for a long report), 1 renders in one go.
  int Teile = 0;
  // Strings shaped once per font and drawn again from a cache (TTextCache).
  bool TextCache = true;
};

// Writes the pages of `liste` (part 1 and, for the kinds with two, part 2)
// into the PDF file `datei`. Returns the number of pages, -1 on failure
// (message in fehler).
int BerichtAlsPdf(TM3Model& m, const std::vector<TCadShape*>& liste, const std::string& datei,
                  std::string& fehler, const TNachweisOptionen& o = {}, int aufloesung = 300,
                  const TBerichtLauf& lauf = {});

}  // namespace t21
