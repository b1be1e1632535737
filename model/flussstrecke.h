// The river reach below a discharge point in the long-term simulation: its
// routing parameters after the characteristic-length method of
// Kalinin-Miljukov, the receiving-water event that a discharge point keeps
// open while rain water reaches it, and the row such an event leaves in the
// results.
#pragma once

#include <string>

#include "model/datum.h"
#include "model/simulation.h"

namespace t21 {

class TProfil;

// Routing parameters of a reach after Kalinin-Miljukov.
struct TKM {
  double n = 0;  // number of characteristic reaches
  double k = 0;  // storage constant, min
  double FC1 = 0, FC2 = 0;
  double FQAB_alt = 0, FQZU_alt = 0;

  // The parameters for the time step dt (min) from the profile's relation of
  // flow and area between the flow minQ (l/s) and bank height. maxQ is not
  // used. Moves the profile's start depth (H_alt).
  void Init(double dt, double minQ, double maxQ, TProfil& profil);
};

// A receiving-water event: from the first step with rain water arriving at
// the discharge point to the last one, gaps of less than 6 hours included.
// Start, Ende, Dauer (hours) and QE (largest urban increase of the river
// flow, l/s) come from the base.
struct TGewaesserereignis : TEreignis {
  // Extremes so far: largest flow (m3 per step), smallest O2, largest NH3
  // and AFS63 concentrations (mg/l).
  double EwQ = 0, EwO2 = 0, EwNH3 = 0, EwAFS = 0;
  double EwQ_vorPause = 0, EwO2_vorPause = 0, EwNH3_vorPause = 0, EwAFS_vorPause = 0;
  // Sums of the step concentrations, mg/l.
  double Summe_cO2 = 0, Summe_cNH3 = 0, Summe_cAFS = 0;
  double Summe_cO2_vorPause = 0, Summe_cNH3_vorPause = 0, Summe_cAFS_vorPause = 0;
  int Zeitschritte = 0, Zeitschritte_vorPause = 0;
  bool Pause = false;  // no rain water arrives at the moment

  // The values of one step: flow vQ, O2, NH3 and AFS63 loads and the
  // rain-water flow vQR (all per step); thr is the least rain-water flow of
  // a step that counts. When the rain water stops, the event ends at simzeit
  // for the time being and keeps what it has seen so far in the _vorPause
  // fields.
  void SetVal(double vQ, double vO2, double vNH3, double vAFS, double vQR, TDateTime simzeit,
              double thr);
  // Takes the values so far as those up to the last rain-water step.
  void PauseMerken();
};

// The row a closed receiving-water event leaves in the results (the columns
// Klasse, Q and the medium- and long-term means stay empty and are not held).
struct TGewaesserEreignisZeile {
  int Nr = 0;  // number of recorded system events when the event closed
  std::string Name;
  TDateTime Start = 0, Ende = 0;
  double Dauer = 0;        // h
  double MAXQ = 0;         // HQ1ist + QE, l/s
  double QE = 0;           // largest urban increase of the river flow, l/s
  double MinO2 = 0;        // mg/l
  double MaxNH3 = 0;       // mg/l
  double MaxAFS = 0;       // mg/l
  double MedO2_kurz = 0;   // mean over the event's steps, mg/l
  double MedNH3_kurz = 0;  // mg/l
  double MedAFS_kurz = 0;  // mg/l
};

}  // namespace t21
