// Every value of a run's result tables as text, numbers by their bits, so
// that two runs compare to the bit; the run time row of the report is left
// out.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

#include "simulation/ergebnisse.h"

namespace t21::test {

inline void Abbild(const TTabelle& t, std::string& s) {
  s += t.Schema().Name + "\n";
  const int s1 = t.Schema().Name == "CDSReport" ? 0 : -1;
  for (int z = 0; z < t.Anzahl(); ++z) {
    if (s1 >= 0 && AlsText(t.Wert(z, s1)) == "Rechenzeit") continue;
    for (int i = 0; i < t.Spalten(); ++i) {
      const TWert& w = t.Wert(z, i);
      char puffer[32];
      if (const auto* d = std::get_if<double>(&w)) {
        std::snprintf(puffer, sizeof puffer, "d%016llx",
                      static_cast<unsigned long long>(std::bit_cast<uint64_t>(*d)));
        s += puffer;
      } else if (const auto* k = std::get_if<std::shared_ptr<TTabelle>>(&w)) {
        if (*k) Abbild(**k, s);
      } else {
        s += std::to_string(w.index()) + ":" + AlsText(w);
      }
      s += "\t";
    }
    s += "\n";
  }
}

inline std::string Abbild(const TDataModule2& dm) {
  std::string s;
  for (const TTabelle* t : dm.Tabellen()) Abbild(*t, s);
  return s;
}

}  // namespace t21::test
