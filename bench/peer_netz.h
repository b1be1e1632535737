// The peer network of the long-term benchmarks: 100 combined catchments of
// 10 ha with 50 % sealed, each into its own CSO tank of 300 m3 with a 20 l/s
// throttle; ten tanks discharge at each of ten points along one river; one
// rain gauge with the given series. 211 elements step (catchments, tanks,
// discharge points and the project record).
#pragma once

#include <string>

#include "support/bench_netz.h"

namespace t21::bench {

inline void BauePeerNetz(TM3Model& m, const std::string& regendatei, int punkte = 10,
                         int jePunkt = 10) {
  // Storage constant from the flow time: (15 + 5 - 2) * 0.5 / 2 = 4.5 min,
  // so the run steps 2.5 minutes. 10 ha, 50 % sealed: 5 ha impervious.
  test::BaueBenchNetz(m, regendatei, punkte, jePunkt, {0, TAE{"A", 10, 50, 1, 5, 2}, 20, 300});
}

}  // namespace t21::bench
