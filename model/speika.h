// The cascade of N equal linear reservoirs that routes the effective rain of
// a catchment (and the flow down a river reach) through time. A fixed-size
// value type: stepping allocates nothing.
#pragma once

#include <array>

namespace t21 {

class TSpeiKa {
 public:
  // The binomial table holds n and i from 0 to 30.
  static constexpr int kMaxN = 30;

  int N = 3;     // number of reservoirs, 1..kMaxN
  double K = 1;  // storage constant of each reservoir, min

  // Fixes the time step deltaT (min): the recession factor per step and the
  // inflow weight; empties the cascade.
  void SetDT(double deltaT);
  // One step: the outflow for the inflow myZufluss (per step) on the area
  // myAU. The steady-state gain is myAU: an inflow in mm per step on ha gives
  // mm*ha per step.
  double QAB(double myZufluss, double myAU);
  // The newest inflow.
  double ZuflussMinus1() const { return FZufluesse[0]; }
  double Alpha() const { return FALPHA; }
  double Bruch() const { return FBruch; }
  // What the cascade still holds for the area myAU, in the unit of the
  // outflow: the sum of all further outflows if no more water came in. It
  // follows from the last N inflows and outflows alone, so that a balance
  // can be checked against it.
  double Inhalt(double myAU) const;

 private:
  int n() const { return N < 1 ? 1 : (N > kMaxN ? kMaxN : N); }

  double FALPHA = 0;
  double FBruch = 0;
  // Newest first: FAbfluesse[i] is the outflow i + 1 steps back after a
  // step, FZufluesse[i] the inflow i steps back (FZufluesse[0] the newest).
  std::array<double, kMaxN> FAbfluesse{};
  std::array<double, kMaxN> FZufluesse{};
  // Weights of the past outflows, (-1)^(i-1) * C(n, i) * alpha^i, i = 1..n,
  // and of the inflows, C(n - 1, i), i = 0..n-1.
  std::array<double, kMaxN> FGewichtAb{};
  std::array<double, kMaxN> FGewichtZu{};
};

// Binomial coefficient C(n, i) from the table built once (n, i = 0..30).
double Binomial(int n, int i);

}  // namespace t21
