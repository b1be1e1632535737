// Catchments (combined, foul and storm sewer nets) and sub-area elements.
#pragma once

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "model/element.h"
#include "model/speika.h"

namespace t21 {

// One sub-area of a catchment.
struct TAE {
  std::string Bezeichnung;
  double AE = 0;      // area, ha
  int B = 0;          // degree of imperviousness, %
  double fD = 0;      // reduction factor
  double AEb = 0;     // impervious area AE * B / 100, ha (kept by the editor)
  int Kategorie = 0;  // pollution category 1, 2 or 3
};

class TAEs {
 public:
  std::vector<TAE> Liste;
  // Appends copies of all of e's sub-areas (existing entries stay).
  void AssignValues(const TAEs& e) { Liste.insert(Liste.end(), e.Liste.begin(), e.Liste.end()); }
};

// Annual AFS63 load of rain runoff per ha of impervious area, by category.
inline constexpr double kAFS63Kategorie[3] = {280, 530, 760};

inline constexpr const char* kNichtKonfiguriert = "nicht konfiguriert; kein Abfluss";
inline constexpr const char* kFehlanschluesse = "Fehlanschlüsse!";

// A state saved at the start of a system event, from which the event can be
// simulated again: the filling ratio of a catchment's depression store, or
// the stores of a surface area and its units.
struct TStartCondition {
  double FV1 = 0;
  double FV2 = 0;

  double& cm() { return FV1; }
  double& Ia() { return FV1; }
  double& Sd() { return FV1; }
  double& F() { return FV2; }
  double& Ss() { return FV2; }
};

class TKEZ : public TElement {
 public:
  TParameter CH;  // domestic wastewater, concentration form
  TParameter CG;  // commercial wastewater, concentration form
  double ED = 0, WS = 0, X = 0, QG = 0, AG = 0, BG = 0, QF = 0, PQRT24 = 0, NGM = 0;
  double QR1 = 0, TF = 0;
  int SWGL = 0, FWGL = 0;
  double N = 0, K = 0, MV = 0, BV = 0, PSIa = 0, PSIe = 0;
  TAEs AEs;

  // Computed
  double AE = 0, AEb = 0, AEb1 = 0, AEb2 = 0, AEb3 = 0, AEbxfD = 0, B = 0, fD = 0;
  double PSIs = 0, crAFS63 = 0;
  double QH24 = 0, QG24 = 0, QF24 = 0, QTx = 0;

  // Simulation
  double MVaktiv = 0;                // depression loss in force, mm
  double BVaktiv = 0;                // wetting loss in force, mm
  double cm = 0;                     // filling ratio of the depression store, 0..1
  double CM_alt = 0;                 // cm before the current step
  double VB = 0;                     // remaining wetting capacity, mm
  double c = 0;                      // growth constant of the filling ratio, 1/mm
  double FFN = 1;                    // factor on the rain runoff's BOD5, NH4-N and AFS63
  double FFA = 1;                    // peak factor of a combined catchment (reports only)
  TSpeiKa Kaskade1;                  // routes the effective rain
  TState TWZustand;                  // the runoff the catchment generates itself
  std::vector<TStartCondition> ABs;  // cm at the start of each system event

  double& PSIb() { return PSIe; }

  void SetData(double myChBSB, double myChNH4, double myChAFS, double myChPH, double myCHCSB,
               double myCgBSB, double myCgNH4, double myCgAFS, double myCgPH, double myCgCSB,
               double myED, double myWS, double myX, double myQG, double myAG, double myBG,
               double myQF, double myNGM, double myQ1, double myTF, double myPQRT24, double myPSIe,
               int mySWGL, int myFWGL, double myN, double myK, double myPSIa, double myMV,
               double myBV);
  void AssignValues(const TElement& e) override;
  // CH and CG as entered: BOD5, NH4-N, AFS63, pH and COD kept, every other
  // value cleared and the alkalinity taken from the pH, as SetData sets them.
  void KonzentrationenSetzen();

  void FlaechenAuswerten();
  void vNRegenwasseranfall(const TRechnung& r);
  void vNFrachten(const TRechnung& r);
  void vNAbfluss(const TRechnung& r);

  // Losses and cascade at list building; returns the cascade's storage
  // constant in minutes, which bounds the time step.
  double Init();
  // Dry-weather values and the cascade for the run's final time step.
  void SetDT(const TSimulation& sim);
  // Effective rain (mm) of the step for the gauge's signed value R.
  double Neff(TSimulation& sim, double R);
  void SaveStartConditions() { ABs.push_back({CM_alt, 0}); }
  void SetStartConditions(int nr);
  // Rain runoff through the cascade and the dry-weather flow of the step.
  void ReceiveRain(TSimulation& sim, double regen) override;
  // Hands the step's water (own and from upstream) on to the Parent element.
  void SimCalc(TSimulation& sim) override {
    if (FDirekt)
      DirektWeitergeben(sim);
    else
      WeitergebenAn(sim, FZiel);
  }
  // For a run in which nothing hands anything to the catchment and nothing
  // reads its step's set before the step ends (one thread, no script, no
  // animation, no pH of the sets): it hands its own runoff on as it is and
  // leaves the step's set empty, which gives the same bits downstream and in
  // the balances as going through the set. Reset by SimVorbereiten.
  void SimDirekt(bool ja) { FDirekt = ja; }

  void SimVorbereiten(TSimulation& sim) override;
  double SimZeitschrittGrenze(TSimulation& sim) override;
  void SimStart(TSimulation& sim) override;
  void SimSchrittEnde(TSimulation& sim) override;
  // The step end in its two parts: the step's sets (once nothing more flows
  // in) and the start conditions of a system event (once the step's events
  // are known).
  void SimSchrittEndeSaetze();
  void SimSchrittEndeEreignis(const TSimulation& sim);
  void SimAbschluss(TSimulation& sim) override;

  // Whether the kind produces rain runoff (combined, storm) and dry-weather
  // flow (combined, foul).
  virtual bool Regenabfluss() const { return true; }
  virtual bool Trockenwetter() const { return true; }

 protected:
  // Trims the saved start conditions to the recorded events and saves one
  // when a system event begins (out of line: the step rarely needs it).
  [[gnu::noinline]] void StartbedingungenFuehren(const TSimulation& sim);
  void DirektWeitergeben(TSimulation& sim);
  void TrockenwetterKEM();
  void TrockenwetterKES();
  void PruefeKonfiguriert();

 private:
  // Fixed for a run by SetDT: the hydrograph factors per hour and month, the
  // inorganic carbon of the three dry-weather waters, the rain water's.
  std::array<double, 24> FStunde{};
  std::array<double, 12> FMonat{};
  double FGKH = 0, FGKG = 0, FGKF = 0, FGKR = 0;
  bool FRegen = false, FTrocken = false, FDirekt = false;
  TElement* FZiel = nullptr;  // the Parent element, fixed at list building
  // The drying of the depression store in dry steps: exponent and factor of
  // the last step. The evaporation changes by the hour, the steps are shorter.
  double FTrocknungArg = std::numeric_limits<double>::quiet_NaN();
  double FTrocknung = 1;
  // The dry-weather flow of a step for the hour and month it was computed
  // for (hour -1: none yet).
  struct TTrockenSchritt {
    int Stunde = -1, Monat = 0;
    double Q = 0, BSB = 0, NH4 = 0, CSB = 0, AFS = 0, ALK = 0, GK = 0, QS = 0, QF = 0;
  } FTrockenSchritt;
  // What the runoff of the last step was made of: the cascade's outflow and
  // inflow, the dry weather (hour and month, hour -1: none) and the pH flag,
  // and the flow that came out. A step made of the same bits gives the same
  // runoff, which TWZustand.Aktuell still holds.
  struct TAbflussSchritt {
    bool gueltig = false;
    double v = 0, neff = 0;
    int Stunde = -1, Monat = 0;
    bool ph = false;
    double Q = 0;
  } FAbflussSchritt;
};

class TKEM : public TKEZ {
 public:
  std::string Typ() const override { return "KEM"; }
  void Calc(const TRechnung& r) override;
};

class TKES : public TKEZ {
 public:
  std::string Typ() const override { return "KES"; }
  bool Regenabfluss() const override { return false; }
  void Calc(const TRechnung& r) override;
};

class TKER : public TKEZ {
 public:
  std::string Typ() const override { return "KER"; }
  bool Trockenwetter() const override { return false; }
  void Calc(const TRechnung& r) override;
};

// Sub-area element: hands on areas, no flow.
class TAEK : public TElement {
 public:
  TAEs AEs;
  std::string Typ() const override { return "AEK"; }
  void SetData(TAEs a) { AEs = std::move(a); }
  void Calc(const TRechnung& r) override;
  void AssignValues(const TElement& e) override;
};

}  // namespace t21
