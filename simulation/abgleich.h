// The calibration aid's comparison run: the whole network simulated over
// the period of a measured hydrograph (no start states, no balances), the
// flow of one element recorded step by step, and the three figures of fit
// between measured and computed flows: the deviation of volume VOL, the
// efficiency of Nash and Sutcliffe REFF and the deviation of the peak SA.
//
//   TGanglinie messung;  // LiesMGL
//   TAbgleichLauf lauf(model);
//   TGanglinie berechnet;
//   if (lauf.Rechne("RÜB Mitte", messung.Zeit.front(), messung.Zeit.back(), berechnet, meldungen))
//     TAbgleichKennwerte k = Abgleichkennwerte(messung, berechnet);
#pragma once

#include <string>
#include <vector>

#include "simulation/ereignis.h"
#include "storage/mgl.h"

namespace t21 {

struct TAbgleichKennwerte {
  double VOL = 0, REFF = 0, SA = 0;
  // False where a figure is not defined (0/0, or REFF of a measurement
  // without any variation): the window shows "–" instead.
  bool VOLGueltig = false, REFFGueltig = false, SAGueltig = false;
  int Paare = 0;  // measured points with a computed value at their time
  std::vector<std::string> Meldungen;
};

// The figures. REFF pairs each measured value with the computed flow at its
// time (linear between two computed points, exact on the steps); measured
// points outside the computed period are left out with a message. The
// divisions go through Kehrwert, except that a 0/0 gives no figure.
TAbgleichKennwerte Abgleichkennwerte(const TGanglinie& gemessen, const TGanglinie& berechnet);

// A figure as the window shows it: "##0.000" with the decimal separator of
// f, or "–" when it is not defined.
std::string KennwertText(double wert, bool gueltig,
                         const TZahlenformat& f = TZahlenformat::Deutsch());

// The default period of a comparison without measurement: 10952 days before
// jetzt, two days long.
void AbgleichStandardzeitraum(TDateTime jetzt, TDateTime& von, TDateTime& bis);

class TAbgleichLauf : public TKurzlauf {
 public:
  explicit TAbgleichLauf(TM3Model& model) : TKurzlauf(model) {}
  // Simulates the network from the day before von to bis and records the
  // flow (l/s) of the element named at every step from von to bis; false
  // with the messages when the element is missing or the run is refused.
  bool Rechne(const std::string& element, TDateTime von, TDateTime bis, TGanglinie& berechnet,
              std::vector<std::string>& meldungen);

 private:
  void NachSimCalc(TSimulation& sim, TElement& e) override;
  void NachRegen(TSimulation& sim, TREG& r) override;
  void Punkt(const TSimulation& sim, const TElement& e);
  const TElement* FElement = nullptr;
  TGanglinie* FBerechnet = nullptr;
};

}  // namespace t21
