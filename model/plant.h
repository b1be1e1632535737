// Treatment plant, site-specific measures, infiltration facilities and the
// natural surface area, as far as the verification computes them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/catchments.h"
#include "model/element.h"
#include "model/records.h"
#include "model/structures.h"

namespace t21 {

class TNET;
class TSpenden;

inline constexpr const char* kMassnahmeNichtKonfiguriert = "nicht konfiguriert";

// Wastewater treatment plant: everything it receives leaves with its effluent
// concentrations.
class TKLG : public TElement {
 public:
  TKLG();

  // Effluent, concentration form: BSB, NH4, AFS, CSB in mg/l, PH, ALK in
  // mmol/l, DO2 the oxygen deficit in % of saturation; Q and GK 0.
  TParameter ETA;
  TFrachten Ablauf;  // used by the simulation

  std::string Typ() const override { return "KLG"; }
  // AFS and CSB are the project's effluent values (N).
  void SetData(double myBSB, double myNH4, double myPH, double myALK, double myDO2, const TNET& N);
  void AssignValues(const TElement& e) override;
  void Calc(const TRechnung& r) override;
  // The step: what flowed in leaves with the effluent concentrations.
  void SimCalc(TSimulation& sim) override;
  void SimVorbereiten(TSimulation& sim) override;

 private:
  TElement* FZielParent = nullptr;
};

// Site-specific measure (retention, soil filter and the like): passes at most
// its throttle flow on and removes given shares of the pollutants.
class TOMA : public TBauwerk {
 public:
  TOMA();

  std::string Art = "Regenrückhaltebecken";  // kind of measure
  // Q the throttle flow (l/s); BSB, NH4, AFS, CSB the removal as fractions
  // 0..1; PH and ALK the effluent values (0 keeps the inflow's); DO2 the
  // deficit of the outflow in % of saturation (0 keeps the inflow's).
  TParameter ETA;
  double N = 0.5;  // overflow frequency per year; 0 means no retention

  std::string& ART() { return Art; }
  std::string Typ() const override { return "OMA"; }
  // The storage step of a structure; the throttle outflow is treated.
  void SimCalc(TSimulation& sim) override { SimSpeicherSchritt(sim, true); }
  // Removes the shares ETA of BOD5, NH4-N, AFS63 and COD from the throttle
  // outflow and gives it the effluent's pH, alkalinity and oxygen deficit.
  void SimCalcDrossel(TSimulation& sim, double aAb) override;
  // Removal rates in %.
  void SetData(double myQD, double myBSB, double myNH4, double myAFS, double myPH, double myALK,
               double myCSB, double myN, const std::string& myArt, std::int32_t myVolumen,
               double myMaxQKUE, bool myNebenschluss, double myDo2, double myDo2KUE,
               double myDO2BUE);
  void AssignValues(const TElement& e) override;
  void Calc(const TRechnung& r) override;
};

// Infiltration facility, sized after DWA-A 138. Nothing flows on in the rain
// cases; the sums pass on unchanged.
class TVersickerung : public TElement {
 public:
  std::string Reihe = "Reinhold (n=0,1)";  // rain series of the project used for sizing
  double Kf = 0;                           // permeability of the soil, m/s
  double FZ = 1.2;                         // safety factor
  double N = 0;                            // frequency, 1/a
  TAEs AEs;
  double RD = 0;                 // duration, min
  double RDN = 0;                // rain intensity r(D, n), l/(s*ha)
  double ASi = 0;                // infiltration surface, m2
  double V = 0;                  // storage volume, m3
  double QS = 0;                 // required infiltration rate, l/s
  double QSm = 0;                // mean infiltration rate, l/s
  std::array<double, 18> Arr{};  // required infiltration rate per duration step, l/s

  // Frequency n of the series Reihe (0 when the project has no such series).
  double GetN() const;
  // Required infiltration rate for the connected area myAu (ha). Without a
  // series of that name every rate is 0.
  void CalcQS(double myAu);
  void Calc(const TRechnung& r) override;

 protected:
  // Takes over the inflow sums and returns the connected impervious area
  // times fD, ha.
  double Uebernehmen(const TRechnung& r);
  // The series Reihe from the list of the owning model (the program's list
  // for an element without one), or nullptr.
  const TSpenden* Regenreihe() const;
};

// Surface infiltration.
class TVFL : public TVersickerung {
 public:
  TVFL();
  std::string Typ() const override { return "VFL"; }
  void SetData(double myKF, double myFZ, double myN, double myR, int myD);
  void Calc(const TRechnung& r) override;
};

// Infiltration basin.
class TVBE : public TVersickerung {
 public:
  double Ls = 0, Bs = 0;  // bottom length and width, m
  double KFb = 0;         // permeability of the slopes, m/s
  double Fa = 0;
  double m = 0;                      // slope 1:m
  double h = 0;                      // depth, m
  bool Vorreinigung = false;         // pre-treatment
  double ASu = 0, ASo = 0, ASb = 0;  // bottom, top and slope area, m2
  double Lo = 0, Bo = 0;             // top length and width, m
  double QSmin = 0, QSmax = 0;       // l/s

  std::string Typ() const override { return "VBE"; }
  void SetData(const std::string& myRegen, double myFZ, double myFA, double myLS, double myBS,
               double myM, double myh, double myKFS, double myKFB, bool myVorreinigung);
  void Calc(const TRechnung& r) override;
};

// Infiltration shaft.
class TVSC : public TVersickerung {
 public:
  TVSC();
  double KFF = 0;         // permeability of the filter, m/s
  double HR = 0;          // height of the shaft's storage, m
  double DI = 0, DA = 0;  // inner and outer diameter, m
  double HF = 0, HS = 0;
  double KFerf = 0;  // required permeability, m/s
  double H = 0, HG = 0, KF2 = 0;

  std::string Typ() const override { return "VSC"; }
  void SetData(const std::string& myRegen, double myFZ, double myKF, double myKFF, double myHR,
               double myDI, double myDA, double myHF, double myHS);
  void Calc(const TRechnung& r) override;
};

// Infiltration swale.
class TVMU : public TVersickerung {
 public:
  TVMU();
  double BM = 0, LM = 0;  // bottom width and length, m
  double ZM = 0;          // depth, m
  double M = 0;           // slope 1:m
  double Lo = 0, Bo = 0, A_u = 0, Ao = 0;
  double TE = 0;  // emptying time, s

  std::string Typ() const override { return "VMU"; }
  void SetData(const std::string& myRegen, double myFZ, double myKF, double myL, double myB,
               double myZ, double myM);
  void Calc(const TRechnung& r) override;
};

// Infiltration trench.
class TVRI : public TVersickerung {
 public:
  TVRI();
  double LR = 0, BR = 0, HR = 0;  // length, width, height, m
  double SR = 0;                  // storage coefficient of the fill
  int A = 0;                      // number of pipes
  double AAus = 0;
  double DI = 0, DA = 0;  // inner and outer pipe diameter, m
  double BRs = 0;
  double SRR = 0;  // storage coefficient of the trench with its pipes
  double QA = 0, QDR = 0, QZU = 0, QAUS = 0;

  std::string Typ() const override { return "VRI"; }
  void SetData(const std::string& myRegen, double myFZ, double myKF, double myLR, double myBR,
               double myHR, double mySR, double myDI, double myDA, double myAAus, int myA);
  void Calc(const TRechnung& r) override;
};

// Hydrological unit of a natural surface area: a soil store and a second
// store, sized by the unit's curve number.
struct THRU {
  std::string Bezeichnung;
  double AE = 0;   // area, ha
  double CN2 = 0;  // curve number as entered
  double CN = 0, CN1 = 0, CN3 = 0;
  double Smax = 0, Smin = 0;  // retention for CN1 and CN3, mm
  double Ia = 0;              // content of the soil store, mm
  double F = 0;               // content of the second store, mm
  TStartCondition AB;         // Ia and F before the current step
  std::vector<TStartCondition> ABs;
};

// Natural surface area: in the verification its inflow passes on unchanged;
// in the simulation a water balance of snow, the units' stores and a final
// linear reservoir turns rain into runoff.
class TAEO : public TElement {
 public:
  double kB = 1.0;  // storage constant of the units' second stores, days
  double kD = 1.0;  // storage constant of the final reservoir, days
  double Ss = 0;    // snow store, mm
  double Sd = 0;    // content of the final reservoir, m3
  std::vector<THRU> HRUs;
  THRU HRU;  // summary unit: its AE is the total area
  // Sd and Ss before the current step (AB is the element's outflow).
  TStartCondition ABaktuell;
  std::vector<TStartCondition> ABs;

  std::string Typ() const override { return "AEO"; }
  void SetData(double myKD, double myKB) {
    kD = myKD;
    kB = myKB;
  }
  void AssignValues(const TElement& e) override;

  // Empties the stores and derives the units' retention from their curve
  // numbers.
  void Init();
  // One step with the gauge's signed value (rain mm, or minus evaporation).
  void ReceiveRain(TSimulation& sim, double regen) override;
  void SetStartConditions(int nr);

  void SimStart(TSimulation& sim) override;
  void SimSchrittEnde(TSimulation& sim) override;

  // In the balance period, m3: the evaporation the soil stores gave, and
  // the water the second stores' arithmetic did not pass on (their extra
  // drainage in dry steps, their cap, the gap between the integrated store
  // and the outflow; negative where it made water).
  double Verdunstung = 0;
  double Speicherverlust = 0;
  // What the area holds: snow, soil and second stores and the final
  // reservoir, m3.
  double Inhalt() const;

 private:
  // The background set of the discharge point below (none: zeros).
  const TParameter* FHintergrund = nullptr;
};

}  // namespace t21
