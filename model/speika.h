// The cascade of N equal linear reservoirs that routes the effective rain of
// a catchment (and the flow down a river reach) through time. A fixed-size
// value type: stepping allocates nothing.
#pragma once

#include <array>

namespace t21 {

class TSpeiKa {
 public:
  static constexpr int kMaxN = 30;

  int N = 3;     // number of reservoirs, 1..kMaxN
  double K = 1;  // storage constant of each reservoir, min

  // Fixes the time step deltaT (min): the recession factor per step and the
  // inflow weight; empties the cascade.
  void SetDT(double deltaT);
  // One step: the outflow for the inflow myZufluss (per step) on the area
  // myAU. The steady-state gain is myAU: an inflow in mm per step on ha gives
  // mm*ha per step. A cascade at rest (the last step left every reservoir as
  // it was) gives the same outflow for the same inflow and area without
  // computing it again.
  double QAB(double myZufluss, double myAU);
  // The newest inflow.
  double ZuflussMinus1() const { return FZufluss; }
  // Recession factor per step, alpha = exp(-dt / K).
  double Alpha() const { return FALPHA; }
  // Weight of the inflows, (1 - alpha)^N / 2^(N-1).
  double Bruch() const { return FBruch; }
  // What the cascade still holds, in the unit of the outflow: the sum of all
  // further outflows if no more water came in. It follows from the
  // reservoirs' last outflows alone, so that a balance can be checked
  // against it.
  double Inhalt() const;

 private:
  int n() const { return N < 1 ? 1 : (N > kMaxN ? kMaxN : N); }

  // The cascade's transfer function FBruch * A * (1 + z^-1)^(N-1) /
  // (1 - alpha z^-1)^N is evaluated as N first-order reservoirs in a row:
  // the first O = alpha O' + (1 - alpha) A I, each further one
  // O = alpha O' + (1 - alpha) / 2 (I + I'). Expanded into one recursion
  // with alternating binomial weights the same operator loses its accuracy
  // as N grows and turns unstable (N = 30 overflows); in a row every
  // reservoir conserves its water up to rounding.
  double FALPHA = 0;
  double FBruch = 0;
  double FZufluss = 0;
  std::array<double, kMaxN> FAbfluss{};  // last outflow of each reservoir
  // The area and the number of reservoirs of the last step (its inflow is
  // FZufluss), and whether that step changed none of the reservoirs.
  double FFlaeche = 0;
  int FN = 0;
  bool FRuhe = false;
};

}  // namespace t21
