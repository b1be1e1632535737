// The network of the simulation benchmark: 100 combined catchments of 6 ha
// (40 % sealed), each through its own CSO tank; ten tanks discharge at each
// of ten points along one river; one rain gauge with the given series.
// Larger networks of the same kind for the drawing and report benchmarks:
// `punkte` discharge points with `jePunkt` catchments and tanks each, laid
// out in columns.
#pragma once

#include <string>

#include "model/elements.h"
#include "model/network.h"

namespace t21::test {

// The sizes of each catchment and its tank.
struct TBenchGroessen {
  double K = 5;  // storage constant in minutes (0: derived from the flow time)
  TAE Flaeche{"A", 6, 40, 2, 1, 2};
  double Drossel = 15, Volumen = 150;
};

inline void BaueBenchNetz(TM3Model& m, const std::string& regendatei, int punkte = 10,
                          int jePunkt = 10, const TBenchGroessen& g = {}) {
  TNET& net = m.Netz();
  TCadShape* reg = m.CreateNewShape("REG", "R", 0, 0);
  dynamic_cast<TREG&>(*TM3Model::ElementOf(reg)).SetData(regendatei);
  TCadShape* unten = m.Root();
  for (int p = punkte - 1; p >= 0; --p) {
    TCadShape* est = m.CreateNewShape("EST", "E" + std::to_string(p), 300 * p, 0);
    dynamic_cast<TEST&>(*TM3Model::ElementOf(est))
        .SetData(4, 0.2, 12, 7.4, 2.5, 310 - 5 * p, 305 - 5 * p, 1500, 2, 1.2, 5, 30, 0.3, 0.4,
                 12 + 10 * p, 4, 120, 2500 + 1500 * p, false, false, false, false, false, "0", "II",
                 "3", 9, 0, false, false, 0, 0, 0, 0, 0.1, false, 0, 0, false, net);
    est->SetParent(unten);
    unten = est;
    for (int k = 0; k < jePunkt; ++k) {
      const std::string nr = std::to_string(p * jePunkt + k);
      TCadShape* ke = m.CreateNewShape("KEM", "K" + nr, 300 * p, 100 + 80 * k);
      auto& kem = dynamic_cast<TKEM&>(*TM3Model::ElementOf(ke));
      kem.SetData(400, 60, 0, 7.5, 800, 300, 40, 0, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2, 0,
                  15, 0, 0.9, 2, 0, 3, g.K, 0.3, 2, 0.5);
      kem.AEs.Liste = {g.Flaeche};
      TCadShape* b = m.CreateNewShape("RUB", "B" + nr, 300 * p + 150, 100 + 80 * k);
      dynamic_cast<TRUB&>(*TM3Model::ElementOf(b))
          .SetData(g.Drossel, 999999, g.Volumen, false, 0, 10, 10, 15, 0);
      ke->SetParent(b);
      ke->SetREG(reg);
      ke->SetGEW(est);
      b->SetParent(est);
      b->SetKUE(est);
      b->SetGEW(est);
    }
  }
  m.AllesRechnen();
}

}  // namespace t21::test
