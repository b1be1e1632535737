// Builds small networks for tests in a few lines:
//
//   Netzbau n;
//   n.Neu("KEM", "A");                 // under the root
//   n.Neu("RUB", "B");
//   n.Neu("EST", "E");
//   n.Parent("A", "B");
//   n.Parent("B", "E").KUE("B", "E").GEW("B", "E");
//   n.Rechnen();                       // the whole network, twice
//   n.El<TKEM>("A").AB[3].Q;
#pragma once

#include <string>
#include <vector>

#include "model/network.h"

namespace t21::test {

class Netzbau {
 public:
  TM3Model m;

  TCadShape* Neu(const std::string& typ, const std::string& name);
  TCadShape* Shape(const std::string& name) const;
  TElement& Element(const std::string& name) const;
  template <class T>
  T& El(const std::string& name) const {
    return dynamic_cast<T&>(Element(name));
  }
  TNET& Netz() { return m.Netz(); }

  // Links without the editor's rules (as a loaded project would have them).
  Netzbau& Parent(const std::string& von, const std::string& nach);
  Netzbau& KUE(const std::string& von, const std::string& nach);
  Netzbau& GEW(const std::string& von, const std::string& nach);

  void Rechnen() { m.AllesRechnen(); }
};

// A sub-area: area ha, imperviousness %, category, fD.
TAE Flaeche(double ae, int b, int kategorie, double fD = 1.0);

// Combined net defaults of the tests: ED 60 E/ha, WS 150 l/(E*d), x 10 h,
// domestic water BSB 300, NH4 50, pH 7.5, CSB 600; no commercial or
// infiltration water; NGM 1; TF 10 min.
void StandardKEM(TKEZ& k);

// Hangs the structure `bauwerk` below `quelle` and links all three of its
// outflows (throttle, overflow after the tank, tank overflow) to `ziel`.
void Bauwerksstrang(Netzbau& n, const std::string& quelle, const std::string& bauwerk,
                    const std::string& ziel);

}  // namespace t21::test
