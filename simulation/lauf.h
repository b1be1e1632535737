// The driver of a simulation run: set-up, pre-run checks, the main loop with
// its blocks and steps, day and year changes, system rain events, cancel and
// the closing of the run. It knows neither window nor command line: callers
// watch it through TLaufBeobachter and cancel it with Abbrechen().
//
// A run goes in one call or step by step; both give the same results to the
// bit, whatever the size of the steps:
//
//   TSimulationsLauf lauf(model);
//   lauf.BeobachteElemente({"RÜB Mitte"});  // optional: snapshots of these
//   lauf.SetzeBeobachtungsintervall(1.0 / 24);  // every simulated hour
//   if (lauf.Vorbereiten(start, start, ende, ende, &beobachter))
//     while (!lauf.BisZeit(lauf.Simulation().Zeit + 1)) {}  // a day at a time
//   TLaufErgebnis e = lauf.Abschliessen();
//   TLaufResultat r = lauf.Resultat();  // movable, holds no reference to the run
//
// Starte() does the same in one call. Every call but Abbrechen() belongs to
// the thread that drives the run; the observer is called on that thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/network.h"
#include "model/simulation.h"
#include "simulation/auswertung.h"
#include "simulation/ergebnisse.h"

namespace t21 {

namespace script {
class TbbInterpreter;
}

struct TRegenschreiberZeile {
  std::string Element, Station, Anfangsdatum, Enddatum;
};

// The state of one observed element at a report, copied.
struct TElementStand {
  std::string Name;
  // Between two steps a network element's Aktuell is empty (cleared at the
  // end of a step) and OldQZu holds the last step's inflow (m3); a rain
  // gauge's Aktuell holds its last step's rain. Ereignis and Jahr are what
  // the element gathered in the current event and year, Summe the years
  // closed so far.
  TState Zustand;
};

// What a run reports to its observer: plain copies, valid after the run went
// on and safe to hand to another thread.
struct TLaufStand {
  TDateTime Zeit = 0;   // the clock at the report (a block start)
  int64_t Schritt = 0;  // time steps done
  int Prozent = 0;      // of the balance period done (as NeuerTag)
  // The elements chosen with BeobachteElemente(), in the order chosen; names
  // not found in the run are left out.
  std::vector<TElementStand> Elemente;
};

// Called on the thread that drives the run, between two steps. It may call
// Abbrechen() and BeobachteElemente(), not drive the run itself.
class TLaufBeobachter {
 public:
  virtual ~TLaufBeobachter() = default;
  // Once per simulated day; prozent of the balance period done. sim is the
  // live run: read it only during the call.
  virtual void NeuerTag(const TSimulation& sim, int prozent) {
    (void)sim;
    (void)prozent;
  }
  // At every day change (after NeuerTag) and, with a report interval below a
  // day, at the first block start after each interval.
  virtual void Stand(const TLaufStand& stand) { (void)stand; }
  // What the window shows in a message box.
  virtual void Meldung(const std::string& text) { (void)text; }
};

enum class TLaufErgebnis {
  Abgewiesen,     // refused before the loop (dates, checks, rain files)
  Abgebrochen,    // cancelled by the user
  Fehlerhaft,     // a fault of the data ended the run: an unreadable rain file, a failing
                  // script, a discharge point without fall
  Abgeschlossen,  // completed
};

// The saved start conditions of a catchment or surface area, entry k for
// system event k: what a later simulation of one event starts from.
struct TStartzustaende {
  // A catchment's filling ratio (cm), a surface area's Sd and Ss.
  std::vector<TStartCondition> Element;
  // A surface area's units in the order of its HRUs: Ia and F.
  std::vector<std::vector<TStartCondition>> Einheiten;
};
bool operator==(const TStartzustaende& a, const TStartzustaende& b);

// The outcome of a finished run as one value, for the caller to keep or to
// move out of a worker thread.
struct TLaufResultat {
  TLaufErgebnis Ergebnis = TLaufErgebnis::Abgewiesen;
  // Every result table, the messages, the report and the gauges included.
  TDataModule2 Tabellen;
  // Year labels in the order the year changes wrote them.
  std::vector<int> Jahre;
  // By element name; empty for a refused run.
  std::map<std::string, TStartzustaende> Startzustaende;
};

// Catchments with rain runoff of their own (combined and storm sewers).
bool IstMischOderRegen(const TElement* e);

// The lists of a run, from the root upstream first: every element prepared,
// the rain gauges in sim.Regenschreiber, the others in sim.Reihenfolge with
// their inflow gathered, the time step bound and the area sums of the
// catchments, and the receiving waters below the structures. jedes is
// called for each element of Reihenfolge as it is listed.
void SimulationslistenAufbauen(TM3Model& m, TSimulation& sim, TCadShape* wurzel,
                               const std::function<void(TCadShape&, TElement&)>& jedes = {});

class TSimulationsLauf {
 public:
  explicit TSimulationsLauf(TM3Model& model);
  ~TSimulationsLauf();

  // The run from the balance period's start to its end (dates with times) in
  // one call: Vorbereiten, the loop to its end, Abschliessen.
  TLaufErgebnis Starte(TDateTime startDatum, TDateTime startZeit, TDateTime endDatum,
                       TDateTime endZeit, TLaufBeobachter* beobachter = nullptr);
  TLaufErgebnis Starte(TDateTime start, TDateTime ende, TLaufBeobachter* beobachter = nullptr) {
    return Starte(start, start, ende, ende, beobachter);
  }

  // The run step by step. Vorbereiten builds the lists, runs the pre-run
  // checks, opens the rain files and starts the elements; false when the run
  // is refused (Abschliessen then returns Abgewiesen). A run prepared before
  // and not closed is dropped, and a cancel meant for it.
  bool Vorbereiten(TDateTime startDatum, TDateTime startZeit, TDateTime endDatum, TDateTime endZeit,
                   TLaufBeobachter* beobachter = nullptr);
  bool Vorbereiten(TDateTime start, TDateTime ende, TLaufBeobachter* beobachter = nullptr) {
    return Vorbereiten(start, start, ende, ende, beobachter);
  }
  // Run at most n further time steps, or until the clock has reached t; the
  // run stops before a step, so what lies between two steps (the day and
  // year changes, the reports, the end test) is done with the earlier call.
  // True once the run has ended: end of the balance period (and no event
  // open), cancel, unreadable rain file, failed script; then without effect.
  bool Schritte(int64_t n);
  bool BisZeit(TDateTime t);
  // Closes the run: the evaluation and assessment when it reached its end;
  // a run not yet ended ends as cancelled. The final outcome; a second call
  // only returns it again.
  TLaufErgebnis Abschliessen();
  // The result of the closed run. The result tables move into it; the run's
  // own (Ergebnisse()) are empty afterwards.
  TLaufResultat Resultat();

  // May be called from any thread; the run stops at the next block start (at
  // most 5 simulated minutes on). Called while no run is open, it stops the
  // next run at its first block start.
  void Abbrechen() { FAbbruch.store(true, std::memory_order_relaxed); }

  // The elements whose states the reports copy (by name: the elements of
  // the run and its rain gauges) and the report interval in days (default
  // and at most 1: at every day change). Set before Vorbereiten or between
  // steps.
  void BeobachteElemente(std::vector<std::string> namen);
  void SetzeBeobachtungsintervall(double tage);
  // The animation element (by name; empty: none): every step of the run
  // appends its flows to CDSAnimation, and a completed run names it in the
  // last report row. Set before Vorbereiten.
  void SetzeAnimationselement(std::string name) { FAnimationName = std::move(name); }
  // The largest flow (l/s) or rain of a block (mm) the animation element had.
  double AnimationMaxQ() const { return FAnimationMaxQ; }
  // The run as the short runs step: every work the step could leave undone
  // is done (the pH of every set kept current). The results are the same to
  // the bit; for checking that they are. Set before Vorbereiten.
  void SetzeVolleRechnung(bool ja) { FVolleRechnung = ja; }
  // Threads of the step (from the next Vorbereiten; 0 or less: the cores
  // there are). The catchments and storage structures of parts of the
  // network that meet only further down run side by side; what they hand on
  // and what depends on the order is taken afterwards in the order of the
  // elements, so the results are the same to the bit as on one thread. A run
  // with active scripts or an animation element steps on one thread.
  void SetzeThreads(int n) { FThreadsGewuenscht = n; }
  // The threads the prepared run steps on (1 without parts side by side).
  int Threads() const;

  const TSimulation& Simulation() const { return *FSim; }
  TM3Model& Model() { return FModel; }

  std::vector<TMeldungZeile> CDSFehler;
  std::vector<TMeldungZeile> CDSReport;
  std::vector<TRegenschreiberZeile> CDSREG1;
  // Year labels in the order the year changes wrote them.
  std::vector<int> Jahre;

  // The result tables of the last run, the rows above included.
  TDataModule2& Ergebnisse();

 private:
  enum class TPhase : unsigned char {
    Offen,    // no run prepared, or the last one closed
    Laeuft,   // prepared, the loop goes on with the next call
    Beendet,  // the loop has ended, the closing is due
  };

  void MakeLists(TCadShape* p);
  bool Vorlauf();
  bool PrepareRegenschreiber();
  // The loop from where it stopped, up to the step limit and the clock
  // limit; true when the run has ended.
  bool Laufe(int64_t schrittGrenze, TDateTime zeitGrenze);
  bool Hauptschleife(int64_t schrittGrenze, TDateTime zeitGrenze);
  // The outcome of an ended loop; closes the rain files of a run that ends
  // without closing.
  void LaufEnde();
  // The day's climate and the observer's NeuerTag; the percentage reported.
  int NeuerTag();
  void NeuesJahr();
  int Prozent() const;
  void BeobachteteSuchen();
  void MeldeStand(int prozent);
  void SystemEreignis();
  // Closes the receiving-water events that have had 6 hours without rain
  // water (after every step) into CDSESTEreignisse.
  void CheckEreignis();
  void Abschluss();
  void AbbruchZeilen();
  void Meldung(const std::string& text);
  void ScriptAbmelden();
  void AnimationRegen(const TREG& r);
  void AnimationZeile(const TElement& e);
  // No script and no animation element: the elements step one after the
  // other in the order and nothing else reads their sets meanwhile.
  bool SchritteInFolge() const;
  // Each element's place in the order.
  std::unordered_map<const TElement*, size_t> Plaetze() const;
  // Where each element of the order hands on to: the places in the order of
  // its (up to) three targets, ZielFremd(n) for an element not in the order,
  // ZielOhne(n) for none (n: the length of the order).
  static constexpr size_t ZielFremd(size_t n) { return n; }
  static constexpr size_t ZielOhne(size_t n) { return n + 1; }
  std::vector<std::array<size_t, 3>> Ziele(
      const std::unordered_map<const TElement*, size_t>& platz) const;
  void ParallelAufbauen();
  void ParallelerSchritt();
  // Ends the steps the parts' structures left for the start of the next
  // step. Called between two blocks and whenever the run stops, so that
  // whatever reads the elements between two steps finds them as on one
  // thread.
  void EndenNachholen();
  // The plan of each element's step (FPlan) and the pass that ends the step
  // (FEnde).
  void PlanAufbauen();

  enum Art : unsigned char { Sonstiges, Einzugsgebiet, Wurzel, Verbinder };
  // The step of an element whose class is known exactly is called directly
  // (no virtual call per element and step); any other kind goes through the
  // virtual operations.
  enum Schritt : unsigned char { Virtuell, Gebiet, Speicherbauwerk, Einleitung };
  // The step of each element of the order: how it steps, and whether it
  // clears its step's sets right after its step, while they are still in the
  // cache, instead of in the pass after all elements (one thread, and nothing
  // later in the step hands anything to it or reads them: no script, no
  // animation); after the root, the system's events.
  enum Plan : unsigned char {
    PlanVirtuell,
    PlanGebiet,
    PlanGebietFrueh,
    PlanSpeicher,
    PlanSpeicherFrueh,
    PlanEinleitung,
    PlanWurzel
  };
  // How an element ends its step in the pass after all elements; a storage
  // structure that ended it early has nothing left and is not in the pass.
  enum Ende : unsigned char {
    EndeVirtuell,
    EndeElement,
    EndeGebiet,
    EndeGebietFrueh,
    EndeEinleitung
  };
  template <class T>
  struct TPlanSchritt {
    TElement* e;
    T was;
  };
  // One element's step as its plan says (the system's events not), on the
  // run's clock and flags or on those of a part.
  void PlanSchritt(const TPlanSchritt<Plan>& p, TSimulation& sim);

  TM3Model& FModel;
  std::unique_ptr<TSimulation> FSim;
  // The run's script interpreter: the checks prepare the scripts with it,
  // the structures run them through sim.Script.
  std::unique_ptr<script::TbbInterpreter> FInterpreter;
  TDataModule2 FErgebnisse;
  std::unique_ptr<TAuswertung> FAuswertung;
  std::vector<Art> FArt;          // kind of each element of Reihenfolge
  std::vector<Schritt> FSchritt;  // how each element of Reihenfolge steps
  std::vector<TPlanSchritt<Plan>> FPlan;
  std::vector<TPlanSchritt<Ende>> FEnde;
  std::vector<TEST*> FEinleitungen;  // the discharge points of Reihenfolge
  TLaufBeobachter* FBeobachter = nullptr;
  std::atomic<bool> FAbbruch{false};
  bool FLesefehler = false;
  bool FGefaelleFehler = false;
  bool FVolleRechnung = false;

  TPhase FPhase = TPhase::Offen;
  TLaufErgebnis FErgebnis = TLaufErgebnis::Abgewiesen;
  // Where the loop goes on: block 1..12 of the cycle, and the next step of
  // the block (0: the block has not started); the clock before the last step.
  int FBlock = 1;
  int FIntervall = 0;
  TDateTime FPrev = 0;

  // The reports: the chosen names, their elements in the run, the interval
  // and when the next report is due between the day changes.
  std::vector<std::string> FBeobachtet;
  std::vector<const TElement*> FBeobachteteElemente;
  double FStandIntervall = 1;
  TDateTime FNaechsterStand = 0;
  TLaufStand FStand;

  std::string FAnimationName;
  const TElement* FAnimation = nullptr;
  double FAnimationMaxQ = 0;

  struct TParallel;
  int FThreadsGewuenscht = 1;
  std::unique_ptr<TParallel> FParallel;
};

}  // namespace t21
