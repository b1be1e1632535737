#include "model/speika.h"

#include <cmath>

#include "model/records.h"

namespace t21 {

void TSpeiKa::SetDT(double deltaT) {
  const int m = n();
  FALPHA = std::exp(-Kehrwert(K) * deltaT);
  FBruch = std::pow(1 - FALPHA, m) * Kehrwert(std::pow(2.0, m - 1));
  FZufluss = 0;
  FAbfluss.fill(0);
  FRuhe = false;
}

double TSpeiKa::QAB(double myZufluss, double myAU) {
  const size_t m = static_cast<size_t>(n());
  // The same inflow on the same area into reservoirs the last step left as
  // they were repeats that step bit for bit (a long dry spell, once the
  // outflow has decayed as far as it can).
  const bool gleich = Bitgleich(myZufluss, FZufluss) && Bitgleich(myAU, FFlaeche) && N == FN;
  if (gleich && FRuhe) return FAbfluss[m - 1];
  const double a = FALPHA;
  const double b = (1 - a) / 2;
  // The first reservoir, then each further one with the mean of its
  // inflow's last two values.
  double zuAlt = FAbfluss[0];
  double zu = a * FAbfluss[0] + (1 - a) * myAU * myZufluss;
  bool ruhe = Bitgleich(zu, zuAlt);
  FAbfluss[0] = zu;
  for (size_t k = 1; k < m; ++k) {
    const double alt = FAbfluss[k];
    const double o = a * alt + b * (zu + zuAlt);
    ruhe = ruhe && Bitgleich(o, alt);
    zuAlt = alt;
    zu = o;
    FAbfluss[k] = o;
  }
  FRuhe = ruhe;
  FZufluss = myZufluss;
  FFlaeche = myAU;
  FN = N;
  return zu;
}

double TSpeiKa::Inhalt() const {
  // Summing a reservoir's recursion over all steps: what went in less what
  // came out is alpha O / (1 - alpha) for the first and
  // (alpha O + b I) / (1 - alpha) for each further one, with O its last
  // outflow and I its last inflow (the outflow of the one before).
  const size_t m = static_cast<size_t>(n());
  const double a = FALPHA;
  const double b = (1 - a) / 2;
  double summe = a * FAbfluss[0];
  for (size_t k = 1; k < m; ++k) summe += a * FAbfluss[k] + b * FAbfluss[k - 1];
  return summe * Kehrwert(1 - a);
}

}  // namespace t21
