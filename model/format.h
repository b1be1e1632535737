// Numbers as the program shows them: decimal comma and thousands points
// ("%.2n"), independent of the process locale.
#pragma once

#include <string>

namespace t21 {

std::string ZahlText(double v, int nachkomma, bool tausender = true);

}  // namespace t21
