// Stormwater structures: the common structure base and the CSO tank, the CSO
// overflow and the stormwater clarifier of the verification. Each splits its
// inflow into the throttled outflow (main path), the overflow after the tank
// (KUE) and the tank overflow (BUE), and then runs the design step of its
// kind.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/element.h"

namespace t21 {

// Messages of the design steps.
inline constexpr const char* kQrKlein = "qr < 0,2 l/(s*ha); QD ++";
inline constexpr const char* kQrGross = "qr > 2 l/(s*ha); QD --";
inline constexpr const char* kE0Klein = "eo < 25 %";
inline constexpr const char* kE0Gross = "eo > 75 %";
inline constexpr const char* kVsGross = "VS > 40 cbm";
inline constexpr const char* kMKlein = "m < m erf; QD ++";
inline constexpr const char* kRkritKlein = "r_krit < 15 l/(s*ha)";
inline constexpr const char* kBegesGross = "b_e,ges > 280 kg/(ha*a)";

// One row of a structure's design list: meaning, symbol, value, unit. A
// section row has only its caption (Bezeichner).
struct TBemessungszeile {
  std::string Bezeichner;
  std::string Groesse;
  std::string Wert;
  std::string Dimension;

  bool operator==(const TBemessungszeile&) const = default;
};

// Common base of structures, discharge points and site-specific measures:
// besides the main outflow (throttle, Parent link) a structure hands on an
// overflow after the tank (KUE link) and a tank overflow (GEW link).
class TBauwerk : public TElement {
 public:
  double QD = 0;              // throttle outflow, l/s
  double MaxQKUE = 0;         // largest flow over KUE, l/s; the rest goes over BUE
  std::int32_t Volumen = 0;   // storage volume, m3
  bool Nebenschluss = false;  // tank in a side line
  double rkrit = 0;           // critical rain intensity, l/(s*ha)
  double Ased = 0;            // surface of the settling chamber, m2
  double DO2BUE = 0;          // O2 deficit over BUE, % of saturation
  double Do2KUE = 0;          // O2 deficit over KUE, % of saturation
  double xDI = 0;             // length-weighted d*I of the sewers upstream, m (0: from NGm)
  TElement KUE;               // carries the outflow over the overflow after the tank
  TElement BUE;               // carries the outflow over the tank overflow
  double QDaktiv = 0;         // throttle outflow in force in the simulation, l/s
  TState Speicher;            // tank content in the simulation
  TState Drossel;             // throttle outflow in the simulation
  double Sediment = 0;        // settled solids in the simulation

  const TElement& Vorbelastung() const { return BUE; }

  void SetData(double myQD, double myMaxQKUE, std::int32_t myVolumen, bool myNebenschluss,
               double myAsed, double myDO2BUE, double myDO2KUE, double myrkrit, double myxDI);
  void AssignValues(const TElement& e) override;

  // Treats the throttle outflow of the step, of which the share aAb came
  // from the tank. The base does nothing.
  virtual void SimCalcDrossel(TSimulation& sim, double aAb);
  // Clears the tank, the throttle and the overflows; the throttle in force
  // is the entered one again; no settled solids wait.
  void SimVorbereiten(TSimulation& sim) override;
  // The water still in the tank goes to the run's SystemInhalt.
  void SimAbschluss(TSimulation& sim) override;

  // The elements the storage step hands on to: Parent, KUE and GEW link
  // (fixed at list building; nullptr where a link is not drawn).
  std::array<TElement*, 3> SimZiele() const { return {FZielParent, FZielKUE, FZielGEW}; }
  // On several threads the storage step of a structure runs beside others
  // and leaves what depends on them for SimSpeicherNachtrag, which the run
  // calls at the structure's place in the order: the hand-overs to the
  // elements marked here (Parent, KUE, GEW) and the event totals, which
  // depend on whether an element before it had runoff in the step.
  void SimAufschieben(bool parent, bool kue, bool gew);
  void SimSpeicherNachtrag(TSimulation& sim);

 protected:
  // One step of a storage structure: side line, tank overflow before the
  // tank, tank, throttle, clarifier overflow after the tank, balances. With
  // tankPH the tank's pH is kept current also when the simulation does not
  // keep the pH of its sets (the measure treats with it).
  // With wiederholbar a step may take the result of the step before (the
  // base's own throttle and overflow; a kind that treats its throttle
  // outflow computes every step).
  void SimSpeicherSchritt(TSimulation& sim, bool tankPH = false, bool wiederholbar = false);
  // The clarifier overflow of the step has just left the tank; d is the
  // volume above the tank's (m3). The base does nothing.
  virtual void SimAbsetzen(TSimulation& sim, double d);
  // Runs the management script of the step, if there is one.
  void SimScript(TSimulation& sim);

  // Where the three outflows go: the elements of the Parent, KUE and GEW
  // links (fixed at list building).
  TElement* FZielParent = nullptr;
  TElement* FZielKUE = nullptr;
  TElement* FZielGEW = nullptr;
  // What SimSpeicherNachtrag does (kAufschub...).
  unsigned char FAufschub = 0;

 private:
  // The arithmetic of the storage step: the sets of the step and the flags
  // below, without handing on or totals.
  void SimSpeicherRechnen(TSimulation& sim, bool tankPH);
  // The hand-overs of the step's sets: those left for SimSpeicherNachtrag
  // (aufgeschobene) or the others.
  void SimAbgeben(TSimulation& sim, bool aufgeschobene);
  // The event totals and hours of the step, when it is an event step.
  void SimEreignisBuchen(TSimulation& sim);
  // What the arithmetic found besides the sets: outflow over the tank
  // overflow and over the clarifier overflow, an overflow of the system
  // (Entlastung), hours of overflow to count.
  bool FAbgabeGEW = false, FAbgabeKUE = false, FEntlastet = false;
  bool FStundeBUE = false, FStundeKUE = false;
  // The last step computed: its inflow, tank, throttle and settled solids,
  // and whether it left tank and solids as it found them.
  struct TWiederholung {
    bool Ruhend = false;
    double QDaktiv = 0, Sediment = 0;
    TFrachten Zu, Speicher;
  } FWiederholung;

 protected:
  // The tank before the step's release: its flow, pH and alkalinity loads;
  // the concentrations are taken only where they are used.
  TPhFeld FTankPHLast;
  double FTankQ = 0, FTankALKLast = 0;
  double TankPH() const { return FTankPHLast * Kehrwert(FTankQ); }
  double TankALK() const { return FTankALKLast * Kehrwert(FTankQ); }
};

// Base of the CSO tank, the CSO overflow and the clarifier: the flow split.
class TEBW : public TBauwerk {
 public:
  double QKRIT = 0;  // critical flow, l/s
  double BE = 0;     // AFS63 load this structure adds to the overflow load, kg/a

  // The flow split of the ten rain-runoff cases and of the sums, then the
  // design step.
  void Calc(const TRechnung& r) override;
  // The storage step of the tank and the clarifier; in the long run (which
  // leaves the pH of the sets) a step may repeat the one before.
  void SimCalc(TSimulation& sim) override;
  // The design step of the structure's kind; the base does nothing.
  virtual void Bemessen(const TRechnung& r);
  // The design list as the structure dialog shows it, after Calc with the
  // same inflow and project record; empty for the base.
  virtual std::vector<TBemessungszeile> Bemessungsliste(const TRechnung& r) const;
};

// CSO tank: emission approach for COD and AFS63.
class TRUB : public TEBW {
 public:
  double HNa = 0, AEb = 0, AEB1 = 0, AEB2 = 0, AEb3 = 0, fD = 0, TF = 0, NGM = 0;
  double QT24 = 0, QTx = 0, QRT24 = 0, ctCSB = 0, QR = 0, _qr = 0, _qt24 = 0, ah = 0, n = 0;
  double e0 = 0, af = 0, QRE = 0, m = 0, m_erf = 0, xa = 0, VS = 0, Verf = 0, Vges = 0, Vvor = 0;
  double QRKRIT = 0, H1 = 0, H2 = 0, ceCSB = 0, cbCSB = 0, ceAFS = 0, cbAFS = 0, tau = 0, dI = 0;
  double acCSB = 0, arAFS = 0, brAFS = 0, craCSB = 0, crAFS = 0, Ve = 0, Vrk = 0;
  double FrkAFS = 0, FeAFS = 0, FgesAFS = 0, FrkCSB = 0, FeCSB = 0, FgesCSB = 0, aa = 0;

  double& QTaM() { return QT24; }
  double& QRTr() { return QRT24; }

  std::string Typ() const override { return "RUB"; }
  void Bemessen(const TRechnung& r) override;
  std::vector<TBemessungszeile> Bemessungsliste(const TRechnung& r) const override;
  void AssignValues(const TElement& e) override;
};

// CSO overflow without storage: mixing ratio and critical flow.
class TRU : public TEBW {
 public:
  TRU() { MaxQKUE = 999999; }  // everything above the throttle over the one overflow

  double ct = 0, m = 0, m_erf = 0, QRKRIT = 0, Rkrit = 0, QD_erf = 0;

  std::string Typ() const override { return "RU"; }
  // Splits the inflow at the throttle; what the throttle does not take goes
  // over the overflow (KUE link). Nothing is stored.
  void SimCalc(TSimulation& sim) override;
  void Bemessen(const TRechnung& r) override;
  std::vector<TBemessungszeile> Bemessungsliste(const TRechnung& r) const override;
};

// Stormwater clarifier: surface and efficiency design for AFS63.
class TRKB : public TEBW {
 public:
  double qAb = 0, ETAges = 0, ETAsed = 0, aBUE = 0, Aerf = 0, bAFS63 = 0, QRkrit = 0;
  double bBUE = 0, Qbem = 0, cR = 0, cKUE = 0, e0 = 0, bK = 0, bKUE = 0, beges = 0;

  std::string Typ() const override { return "RKB"; }
  void Bemessen(const TRechnung& r) override;
  std::vector<TBemessungszeile> Bemessungsliste(const TRechnung& r) const override;

 protected:
  // Settling in the overflow: the share of AFS63 that settles at the step's
  // surface load waits in Sediment for the next step's throttle flow.
  void SimAbsetzen(TSimulation& sim, double d) override;
};

}  // namespace t21
