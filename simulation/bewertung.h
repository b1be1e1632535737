// The assessment of discharge points at the end of a completed run: the
// flood peaks with urban runoff against the permitted increase of the natural
// one-year flood, the dose and frequency of oxygen and ammonia by event
// duration, and the long-term mean of the fine suspended solids. Each appends
// its result row and, when a requirement is violated, a verdict row to the
// run report.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/datum.h"
#include "simulation/ergebnisse.h"

namespace t21 {

class TEST;

// What the assessment reads of a discharge point.
struct TEinleitungsDaten {
  std::string Name;
  double MNQ = 0;      // mean low flow, l/s
  double HQ1pnat = 0;  // natural one-year flood, l/s
  double X = 0;        // permitted relative increase of the one-year flood
  int Lage = 0;        // 1 uplands, otherwise lowlands
  bool Salmoniden = false;
};
TEinleitungsDaten EinleitungsDaten(const TEST& e);

// A growable array of numbers with the exchange sort of the assessment.
class TVektor {
 public:
  explicit TVektor(int anzahl = 0) : FWerte(static_cast<size_t>(anzahl > 0 ? anzahl : 0), 0.0) {}
  void Add(double x) { FWerte.push_back(x); }
  double GetValue(int i) const { return FWerte.at(static_cast<size_t>(i)); }
  void SetValue(int i, double x) { FWerte.at(static_cast<size_t>(i)) = x; }
  int Count() const { return static_cast<int>(FWerte.size()); }
  void Clear() { FWerte.clear(); }
  // Richtung 1 ascending, any other value descending.
  void Sort(int Richtung);

 private:
  std::vector<double> FWerte;
};

// The least-squares line through the k largest values of a sorted list over
// the logarithm of their plotting return periods T_m = (k + 1) / m * N / k,
// k = min(count, 3 N): the flood of return period T is s * ln T + i.
struct TRegression {
  int k = 0;
  double s = 0;  // slope
  double i = 0;  // intercept: the one-year value
};
TRegression Regression(const TVektor& absteigend, int N);
// The plotting return period of the m-th largest of k values over N years.
double Wiederkehrzeit(int m, int k, int N);

// One frequency class: the extreme limit L, the base M of the mean limit and
// its duration term D.
struct TKlasse {
  double L = 0, M = 0, D = 0;
};
// The classes "selten", "mittel", "häufig".
using TKlassensatz = std::array<TKlasse, 3>;
// The class set of a water: O2 (parameter 1) by its position and salmonids,
// NH3 (parameter 2) by salmonids.
const TKlassensatz& Klassensatz(int parameter, int lage, bool salmoniden);
// The mean limit of a class for an event of d hours; c is -1 for oxygen
// (limits from below) and +1 for ammonia.
double Mittelgrenze(const TKlasse& k, double c, double d);

// Whole calendar years between start and end (at least 1), and the years as
// a fraction (days / 365.25).
int GanzeJahre(TDateTime start, TDateTime ende);
double Jahre(TDateTime start, TDateTime ende);

// The assessments of one discharge point from the rows of its events
// (CDSESTEreignisse) and loads (CDSFrachtenGewaesser); parameter 1 O2, 2 NH3,
// 3 AFS.
void HydrologieAuswertung(const TEinleitungsDaten& e, TDateTime start, TDateTime ende,
                          TDataModule2& dm, std::vector<TMeldungZeile>& report);
void DosisAuswertung(const TEinleitungsDaten& e, int parameter, TDateTime start, TDateTime ende,
                     TDataModule2& dm, std::vector<TMeldungZeile>& report);
// All four for every discharge point, in this order.
void BewerteEinleitung(const TEinleitungsDaten& e, TDateTime start, TDateTime ende,
                       TDataModule2& dm, std::vector<TMeldungZeile>& report);

}  // namespace t21
