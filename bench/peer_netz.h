// The peer network of the long-term benchmarks: 100 combined catchments of
// 10 ha with 50 % sealed, each into its own CSO tank of 300 m3 with a 20 l/s
// throttle; ten tanks discharge at each of ten points along one river; one
// rain gauge with the given series. 211 elements step (catchments, tanks,
// discharge points and the project record).
#pragma once

#include <string>

#include "model/elements.h"
#include "model/network.h"

namespace t21::bench {

inline void BauePeerNetz(TM3Model& m, const std::string& regendatei, int punkte = 10,
                         int jePunkt = 10) {
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
                  15, 0, 0.9, 2, 0, 3, 0, 0.3, 2, 0.5);
      // Storage constant from the flow time: (15 + 5 - 2) * 0.5 / 2 = 4.5 min,
      // so the run steps 2.5 minutes. 10 ha, 50 % sealed: 5 ha impervious.
      kem.AEs.Liste = {TAE{"A", 10, 50, 1, 5, 2}};
      TCadShape* b = m.CreateNewShape("RUB", "B" + nr, 300 * p + 150, 100 + 80 * k);
      dynamic_cast<TRUB&>(*TM3Model::ElementOf(b))
          .SetData(20, 999999, 300, false, 0, 10, 10, 15, 0);
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

}  // namespace t21::bench
