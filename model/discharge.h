// The discharge point: the river at the point where the drained network
// discharges into it (reach of influence with a trapezoidal cross-section,
// hydrology of the natural catchment, protection status, background
// pollution, recolonisation data) and the checks of the river for the ten
// rain-runoff rates.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/flussstrecke.h"
#include "model/records.h"
#include "model/speika.h"
#include "model/structures.h"

namespace t21 {

class TNET;

// Messages of the discharge point.
inline constexpr const char* kQvollKleinerHQ1 = "Qvoll < HQ1pnat";
inline constexpr const char* kEinleitungsverbot = "Einleitungsverbot";
inline constexpr const char* kQvollKleinerQ = "Q_voll < Q";
inline constexpr const char* kHMNQZuGross = "hMNQ(ber.) > 1,1 * hMNQ(beob.)";
inline constexpr const char* kHMNQZuKlein = "hMNQ(ber.) < 0,9 * hMNQ(beob.)";
inline constexpr const char* kVMNQZuGross = "vMNQ(ber.) > 1,1 * vMNQ(beob.)";
inline constexpr const char* kVMNQZuKlein = "vMNQ(ber.) < 0,9 * vMNQ(beob.)";
inline constexpr const char* kEinleitungNichtKonfiguriert = "nicht konfiguriert";
inline constexpr const char* kQDKleinerMNQ = "QD < MNQ";
inline constexpr const char* kNH3Zuviel = "NH3-N > 0.1 mg/l";
inline constexpr const char* kO2Zuwenig = "O2-Gehalt < 5 mg/l";
inline constexpr const char* kHochwasser = "Q Gew > (1 + x) * HQ1 pnat";

// Throttle of a discharge point without throttling in the simulation, l/s.
inline constexpr double kOhneDrossel = 999999.99;
// Start value of the smallest O2 concentration of a year and of the run, mg/l.
inline constexpr double kO2Startwert = 9.1;
// Least time without rain water that closes a receiving-water event, days.
inline constexpr double kGewaesserEreignisPause = 6.0 / 24;

// BOD decay rate of the oxygen sag, per day.
inline constexpr double kBSBAbbaurate = 0.72;

// Cross-section and reach of influence below a discharge point. Only the
// trapezoid (profile code 41) is used.
class TProfil {
 public:
  double PB = 0;                           // bottom width bSo, m
  double PH = 0;                           // bank height hB, m
  double KB = 25;                          // Strickler coefficient kst, m^(1/3)/s
  double SOLO = 0;                         // bed level at the upper end of the reach, m a.s.l.
  double SOLU = 0;                         // bed level at the lower end of the reach, m a.s.l.
  double LEN = 0;                          // length of the reach, m
  double BWSP = 0;                         // water-surface width at bank height bSp, m
  int PKZ = 41;                            // profile code; 41 = trapezoid
  double FVOLL = 0, QVOLL = 0, VVOLL = 0;  // bank-full area m2, flow l/s, velocity m/s
  double VTW = 0, HTW = 0;                 // velocity and depth at low flow
  double VRW = 0, HRW = 0, FROUDE = 0, TAU = 0, TF = 0;
  double H_alt = 0;  // depth of the last flow-depth iteration, its next start value

  double& KST() { return KB; }
  double& KI() { return KB; }

  // Bed gradient (m/m; 1e-7 for a reach without fall) and its reciprocal.
  double IS1() const;
  double IS2() const { return Kehrwert(IS1()); }
  // Bank slope, horizontal per vertical.
  double Boeschung() const { return (BWSP - PB) / 2 * Kehrwert(PH); }

  void SetData(double mySOLO, double mySOLU, double myLEN, double myPB, double myKB, int myPKZ);
  // Area A (m2), flow Q (l/s) and velocity v (m/s) at the depth T; v and Q
  // are 0 when the computation fails.
  void ManningStrickler(double T, double& A, double& Q, double& v) const;
  // Depth h, velocity v, area A, mean depth hm and surface width B for the
  // flow Q in l/s, iterated from the depth found last (H_alt).
  void StricklerInterpolation(double Q, double& h, double& v, double& A, double& hm, double& B);
  // Bank-full area, flow and velocity.
  void Vollfuellung();
  // Hydraulic load of the bank-full profile by the flow Q, %.
  double GetBel(double Q) const { return Q * Kehrwert(QVOLL) * 100; }

 private:
  // The last depth the iteration evaluated, with what the profile gave for
  // it. The next iteration starts from that depth, so its first pass needs
  // no new evaluation.
  struct TTiefe {
    double h = -1, m = 0, PB = 0, KB = 0, wurzelI = 0;
    double A = 0, B = 0, v = 0;
  } FLetzte;
};

// Recolonisation potential, method 1.
class TWBP {
 public:
  int WBP1StrukturO = 0;      // structure class above the discharge (0 for "?")
  int WBP1StrukturU = 0;      // structure class below the discharge (0 for "?")
  int WBP1Aufwander = 0;      // obstacles to upstream migration: 0 none .. 3 high
  int WBP1AufUndAb = 0;       // obstacles to up- and downstream migration: 0 none .. 3 high
  bool WBP1ZuflussO = false;  // tributary of structure class 1 to 5 above
  bool WBP1ZuflussU = false;  // tributary of structure class 1 to 3 below
  int WBP1Punkte = 0;         // result: points
  double WBP1N = 0;           // result: overflow frequency n per year

  void Calc();
};

// The background set of a new discharge point.
TParameter StandardVorbelastung();

// The background pollution of a river as entered: concentrations in mg/l,
// the pH without the surcharge of eutrophication.
struct THintergrund {
  double BSB = 5.0, NH4 = 0.3, AFS = 15, CSB = 10.0, ALK = 2.0, PH = 7.0;
  bool operator==(const THintergrund&) const = default;
};

// Discharge point.
class TEST : public TBauwerk {
 public:
  // (No user-declared constructor: the test framework's TEST macro would
  // take the declaration for itself.)
  TProfil Profil;
  // Background pollution of the river at low flow, load form; a new point has
  // the quality class II background at the smallest background flow.
  TParameter CV = StandardVorbelastung();
  // What CV was made from; a saved project keeps these values, so that it
  // gives back exactly the background that was entered.
  THintergrund Hintergrund;
  TWBP WBP;
  double _mnq = 0;          // specific mean low flow MNq, l/(s*km2)
  double _HQ1pnat = 0;      // specific natural one-year flood, l/(s*km2)
  double AE0 = 0;           // natural catchment area, km2
  double HMNQ = 0;          // observed depth at MNQ, m
  double VMNQ = 0;          // observed velocity at MNQ, m/s
  double LQuell = 0;        // distance from the source, m
  bool Drosselung = false;  // the point throttles its outflow to QD
  bool QUELL = false, QUELLLAUF = false, TEMPORAER = false, ORGANISCH = false, STAU = false;
  bool Salmoniden = false;     // spawning water of mussels or large salmonids
  std::string GUETE = "?";     // water-quality class
  std::string STRUKTUR = "?";  // structure-quality class
  std::string EUTROPH = "0";   // eutrophication 0 .. 3
  int WBP_ERHOBEN = 0;         // recolonisation potential: 0 not assessed, 1, 2 method
  int Lage = 0;                // 0 lowland, 1 low mountain range
  double X = 0.1;              // HQ2pnat / HQ1pnat - 1
  TParameterArray CG;          // river just below the point after mixing, per rate
  TAbflussArray AP;            // hydraulic and oxygen state of the reach, per rate
  double AFSgrenzwert = 15;    // entered AFS63 background value, mg/l
  double AFSzulaessig = 0;     // permissible annual AFS63 load of the river, kg/a
  double AFSLast = 0;          // present annual AFS63 load, kg/a
  double AFSezul = 0;          // permissible annual AFS63 emission of the urban area, kg/a

  // The receiving water in the simulation. The storage at the point is the
  // structure's Speicher, what passes the throttle Drossel, the storage
  // overflow KUE.Zustand and the river's base flow per step BUE.Zustand.
  TKM KM_MNQ, KM_HQ1;                  // reach parameters, low-flow and flood case
  TSpeiKa Speika_MNQ, Speika_HQ1;      // reach routing cascades
  TFrachten Mischreaktor_oben;         // mixed water at the point in the step
  TFrachten Mischreaktor_Stoffe;       // water and loads held in the reach
  TFrachten Mischreaktor_unten;        // outflow of the reach in the step
  TFrachten deltaMNQ;                  // own base flow less that of the point upstream
  double SpeicherInhaltHQ1 = 0;        // water held behind the throttle, flood case, m3
  double KMInhalt = 0;                 // counted into the system content at the end
  double eO2 = 0, eDO2 = 0, eNH3 = 0;  // O2 and NH3 loads at the point in the step
  TAbflussParameter AbflussParameter;  // hydraulic and O2 state of the reach
  // Extremes of the year (Jahr) and of the run (Summe): the urban increase of
  // the river flow in Q (l/s), the smallest O2 concentration in BSB, the
  // largest NH3 and AFS63 concentrations in NH4 and AFS (mg/l); EKrit holds in
  // the same fields the number of the system event in which each was reached.
  TState MinMax, EKrit;
  std::optional<TGewaesserereignis> GewaesserEreignis;  // the open event
  // Messages of the last InitKM, for the run to show.
  std::vector<std::string> KMMeldungen;

  double MNQ() const { return AE0 * _mnq; }
  double HQ1pnat() const { return AE0 * _HQ1pnat; }
  double MQ() const;
  double HQ1ist() const;
  double QE1zul() const;
  // Background oxygen deficit, mg/l, at the saturation myO2sat.
  double D0(double myO2sat) const;
  double BEL() const { return Profil.GetBel(SUM.QBEM()); }
  double Neigung() const { return Profil.Boeschung(); }

  std::string Typ() const override { return "EST"; }

  // The background set CV takes the project's oxygen saturation (N).
  void SetData(double myBSB, double myNH4, double myAFS, double myPH, double myALK, double mySOLO,
               double mySOLU, double myLEN, double myBSO, double myHB, double myBSP, double myKST,
               double myHMNQ, double myVMNQ, double myAE0, double myMNQ, double myHQ1,
               double myLQUELL, bool myQuelle, bool myQuelllauf, bool myTemporaer, bool myOrganisch,
               bool myStau, const std::string& myEutroph, const std::string& myGuete,
               const std::string& myStruktur, double myCSB, int myLage, bool myWBP1ZusammenflussO,
               bool myWBP1ZusammenflussU, int myWBP1StrukturO, int myWBP1StrukturU,
               int myWBP1AufUndAb, int myWBP1Aufwander, double myX, bool myDrosselung, double myQD,
               std::int32_t myVolumen, bool mySalmoniden, const TNET& N);
  void AssignValues(const TElement& e) override;
  // CV from Hintergrund at the point's low flow, with the eutrophication
  // surcharge (o2sat: the oxygen saturation of the project).
  void SetzeHintergrund(double o2sat);
  void Calc(const TRechnung& r) override;

  // Oxygen along the reach for the flow myQ (l/s) with BOD myBSB and oxygen
  // deficit myDO2 (mg/l) at the point: fills the reach state p (with the
  // hydraulics of the profile when Hydraulik is set) and returns the lowest
  // oxygen concentration within the reach, mg/l.
  double CalcO2(double myQ, double myBSB, double myDO2, double myT, double myO2sat,
                TAbflussParameter& p, bool Hydraulik);

  // The simulation.
  // Bed gradient of the entered levels; the routing needs a fall (> 0).
  double Sohlgefaelle() const { return (Profil.SOLO - Profil.SOLU) * Kehrwert(Profil.LEN); }
  // Reach parameters and routing cascades for the time step myDT (min).
  void InitKM(double myDT);
  // The base flow per step and an emptied point; hands the base flow to the
  // next discharge point downstream.
  void dnSetVorbelastung(const TSimulation& sim);
  // Opens the receiving-water event if none is open; it ends at zeit.
  void CreateGewaesserEreignis(TDateTime zeit);
  // Closes the open event when 6 hours without rain water have passed and
  // fills its row; false while it stays open.
  bool CheckEreignis(const TSimulation& sim, TGewaesserEreignisZeile& zeile);

  void SimVorbereiten(TSimulation& sim) override;
  void SimZeitschrittGesetzt(TSimulation& sim) override;
  void SimStart(TSimulation& sim) override { dnSetVorbelastung(sim); }
  void SimCalc(TSimulation& sim) override;
  void SimSchrittEnde(TSimulation& sim) override;
  void SimAbschluss(TSimulation& sim) override;

 private:
  // The profile's depth for the flow Q, iterated from the same start value
  // at every call, so that the checks do not depend on earlier computations.
  void Fliesstiefe(double Q, double& h, double& v, double& A, double& hm, double& B);
  void Hinweis(const char* text) { FEHLER.emplace_back(text); }
  void Bilanzen(const TSimulation& sim, bool ereignisschritt, bool ueberlauf);
  void Extreme(const TSimulation& sim, double Z);
  void Ereignis(const TSimulation& sim, double Z);
  // Whether the reach of the low-flow (or flood) case holds water back; a
  // reach without storage passes its inflow in the same step.
  bool FSpeichertMNQ = true, FSpeichertHQ1 = true;
  // The hydraulics (with Hydraulik), the flow time TF and the reaeration K2
  // of the reach for the flow myQ at the temperature myT, as CalcO2 takes
  // them.
  void Belueftung(double myQ, double myT, TAbflussParameter& p, bool Hydraulik);
  // CalcO2 in the step, each with only what the step reads of it (the other
  // values of AbflussParameter stay as they were): at the end of the reach
  // the deficit Dtf and the BOD left cRestBSB, at the point the lowest
  // oxygen concentration (returned and in cO2) with the deficit it comes
  // from. Their bits are those of CalcO2.
  void AmEndeDerStrecke(double myQ, double myBSB, double myDO2, const TSimulation& sim);
  double O2AnDerEinleitung(double myQ, double myBSB, double myDO2, const TSimulation& sim);
  // 1.02^(T - 20) of the last temperature T.
  double FTempT = 20, FTempFaktor = 1;
};

}  // namespace t21
