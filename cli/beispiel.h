// The example network built in code: two combined-sewer catchments and a
// foul-sewer net that meet at a connector, a CSO tank and a discharge point,
// with a rain gauge.
#pragma once

#include "model/network.h"

namespace t21 {

void BaueBeispielnetz(TM3Model& m);

}  // namespace t21
