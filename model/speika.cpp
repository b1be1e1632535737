#include "model/speika.h"

#include <cmath>

#include "model/records.h"

namespace t21 {

namespace {

struct TBinomialTafel {
  std::array<std::array<double, TSpeiKa::kMaxN + 1>, TSpeiKa::kMaxN + 1> c{};
  TBinomialTafel() {
    for (int n = 0; n <= TSpeiKa::kMaxN; ++n) {
      c[n][0] = 1;
      for (int i = 1; i <= n; ++i) c[n][i] = c[n - 1][i - 1] + (i <= n - 1 ? c[n - 1][i] : 0.0);
    }
  }
};

const TBinomialTafel& Tafel() {
  static const TBinomialTafel t;
  return t;
}

}  // namespace

double Binomial(int n, int i) {
  if (n < 0 || n > TSpeiKa::kMaxN || i < 0 || i > n) return 0;
  return Tafel().c[static_cast<size_t>(n)][static_cast<size_t>(i)];
}

void TSpeiKa::SetDT(double deltaT) {
  const int m = n();
  FALPHA = std::exp(-Kehrwert(K) * deltaT);
  FBruch = std::pow(1 - FALPHA, m) * Kehrwert(std::pow(2.0, m - 1));
  FAbfluesse.fill(0);
  FZufluesse.fill(0);
  FGewichtAb.fill(0);
  FGewichtZu.fill(0);
  double alphaI = 1;
  for (int i = 1; i <= m; ++i) {
    alphaI *= FALPHA;
    const double vorzeichen = (i % 2 == 1) ? 1.0 : -1.0;
    FGewichtAb[static_cast<size_t>(i - 1)] = vorzeichen * Binomial(m, i) * alphaI;
  }
  for (int i = 0; i < m; ++i) FGewichtZu[static_cast<size_t>(i)] = Binomial(m - 1, i);
}

double TSpeiKa::QAB(double myZufluss, double myAU) {
  const size_t m = static_cast<size_t>(n());
  // The inflow enters as the newest; the oldest of the N drops out.
  for (size_t i = m - 1; i > 0; --i) FZufluesse[i] = FZufluesse[i - 1];
  FZufluesse[0] = myZufluss;
  double ab = 0;
  for (size_t i = 0; i < m; ++i) ab += FGewichtAb[i] * FAbfluesse[i];
  double zu = 0;
  for (size_t i = 0; i < m; ++i) zu += FGewichtZu[i] * FZufluesse[i];
  const double o = ab + FBruch * myAU * zu;
  for (size_t i = m - 1; i > 0; --i) FAbfluesse[i] = FAbfluesse[i - 1];
  FAbfluesse[0] = o;
  return o;
}

double TSpeiKa::Inhalt(double myAU) const {
  // Summing the recursion over all steps so far: the total inflow times the
  // gain less the total outflow equals the weighted sums of the most recent
  // outflows and inflows, divided by (1 - alpha)^n.
  const size_t m = static_cast<size_t>(n());
  double summe = 0, endeAb = 0, endeZu = 0;
  for (size_t i = 0; i < m; ++i) {
    endeAb += FAbfluesse[i];
    summe += FGewichtAb[i] * endeAb;
    if (i + 1 < m) {
      endeZu += FZufluesse[i];
      summe += FBruch * myAU * FGewichtZu[i + 1] * endeZu;
    }
  }
  return summe * Kehrwert(std::pow(1 - FALPHA, static_cast<double>(m)));
}

}  // namespace t21
