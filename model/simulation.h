// The context of one simulation run: clock, time step, climate, flags, the
// element lists and the system balances. A run hands it to every element it
// steps; nothing of it is global, so several runs may proceed at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/datum.h"
#include "model/records.h"

namespace t21 {

class TElement;
class TNET;
class TREG;
class TSimulation;
struct TReferenzListen;

// Runs the management script of an element inside its simulation step. The
// run's script interpreter implements it; a run without one leaves
// TSimulation::Script empty and the structures step without their scripts.
class TScriptLauf {
 public:
  virtual ~TScriptLauf() = default;
  virtual void DoScript(TElement& e, TSimulation& sim) = 0;
};

// Hour and month of the clock.
struct TUhrzeit {
  int Stunde = 0;  // 0..23
  int Monat = 1;   // 1..12
};

// A closed system rain event.
struct TEreignis {
  TDateTime Start = 0, Ende = 0;
  bool Entlastung = false;
  double Dauer = 0, QE = 0;
};

// What a step reads and writes of the run besides the elements: clock, time
// step, climate and the flags of the step, all plain values. A worker of a
// step on several threads gets a copy of it per step (see TSimulation).
class TSimulationsTakt {
 public:
  int32_t dt_sec = 300;
  double dt_min = 5.0;
  double dt_h = 5.0 / 60;
  double dt_sec_div_1000 = 0.3;
  double mm2ls = 1000.0 / 6 / 5;
  int32_t Block = 1;
  int32_t Intervall = 1;
  int32_t MaxIntervall = 1;
  int32_t step = 0;
  int32_t Tage = 0;
  uint32_t Dauer = 0;
  double EpotTag = 0, TWasserTag = 0, TLuftTag = 0, TLuft = 0, TWasser = 0, Epot = 0;
  double cO2sat = 0, pks = 0;
  TDateTime RegenEnde = 0, LetzterRegen = 0;
  TDateTime Start = 0, Ende = 0, BilanzStart = 0, BilanzEnde = 0;
  TDateTime Zeit = 0, CalcStart = 0;
  TDateTime EreignisEnde = 0, Ereignisstart = 0;
  bool Entlastung = false, HasAbfluss = false, IsBilanzZeit = false, EsRegnet = false;
  bool Muldenfuellung = false, WarRegen = false, WarAbfluss = false;
  // Whether the steps keep the pH of every step set current. The long run
  // turns it off: there nothing reads the pH of a set handed on, stored or
  // overflowing; the pH that results do read (the mixed water at a discharge
  // point, the tank of a measure) is kept whatever the flag. The short runs
  // chart and tabulate the pH of any set and keep it on.
  bool PHFuehren = true;
  int32_t Modified = -1;
  double QExport = 0, AEBges = 0, AUges = 0, MuldenInhalt = 0, SystemInhalt = 0, QRT = 0;

  // What the elements read besides the clock: the project record (altitude,
  // rain water) and the hydrographs of the project.
  const TNET* Netz = nullptr;
  const TReferenzListen* Referenz = nullptr;
  // The interpreter that runs the structures' management scripts, or none.
  TScriptLauf* Script = nullptr;

  // Hour and month of Zeit, decoded once per clock value. A step on several
  // threads decodes it before the workers start, so they only read it.
  const TUhrzeit& AktUhrzeit() {
    if (Zeit != FUhrzeitFuer) UhrzeitLesen();
    return FUhrzeit;
  }

  bool IsSimZeit() const { return Start - kZeitEps <= Zeit && Zeit < Ende + kZeitEps; }

 protected:
  void UhrzeitLesen();
  TDateTime FUhrzeitFuer = -1e300;
  TUhrzeit FUhrzeit;
};

class TSimulation : public TSimulationsTakt {
 public:
  TSimulation() = default;

  std::vector<TElement*> Reihenfolge;
  std::vector<TREG*> Regenschreiber;
  TState BilanzNET, BilanzOMADrossel, BilanzOmaBUE, BilanzOmaKUE, BilanzEBWDrossel, BilanzEBWBUE,
      BilanzEBWKUE, BilanzEBW, BilanzOMA, BilanzKLG, BilanzREG, BilanzTW, BilanzKEZ, BilanzAEO,
      FrachtenBAU, FrachtenEST;
  std::vector<TEreignis> SystemEreignisse;

  // Start and end of the balance period from date and time of day; the clock
  // goes to midnight before the start day. False (with the message in
  // Meldung) when the end is not after the start.
  bool SetTime(TDateTime startDatum, TDateTime startZeit, TDateTime endDatum, TDateTime endZeit);
  std::string Meldung;

  // Fixes the time step from the catchments' limit already in dt_min and the
  // intervals of the rain series (minutes, in gauge order).
  void SetVars(const std::vector<int>& regenIntervalle);
  void IncZeit();
  double SetTagesTemperatur();
  void SetAktTemperatur();
};

// The time step for a catchment limit in minutes: the largest of 5, 2.5,
// 1.25, 1, 0.5 and 0.25 that does not exceed it.
double ZeitschrittFuer(double grenze);

}  // namespace t21
