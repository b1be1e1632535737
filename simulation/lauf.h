// The driver of a simulation run: set-up, pre-run checks, the main loop with
// its blocks and steps, day and year changes, system rain events, cancel and
// the closing of the run. It knows neither window nor command line: callers
// watch it through TLaufBeobachter and cancel it with Abbrechen().
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "model/network.h"
#include "model/simulation.h"
#include "simulation/auswertung.h"
#include "simulation/ergebnisse.h"

namespace t21 {

struct TRegenschreiberZeile {
  std::string Element, Station, Anfangsdatum, Enddatum;
};

class TLaufBeobachter {
 public:
  virtual ~TLaufBeobachter() = default;
  // Once per simulated day; prozent of the balance period done.
  virtual void NeuerTag(const TSimulation& sim, int prozent) {
    (void)sim;
    (void)prozent;
  }
  // What the window shows in a message box.
  virtual void Meldung(const std::string& text) { (void)text; }
};

enum class TLaufErgebnis {
  Abgewiesen,     // refused before the loop (dates, checks, rain files)
  Abgebrochen,    // cancelled by the user
  Fehlerhaft,     // a rain file turned out unreadable during the run
  Abgeschlossen,  // completed
};

class TSimulationsLauf {
 public:
  explicit TSimulationsLauf(TM3Model& model);

  // The run from the balance period's start to its end (dates with times).
  TLaufErgebnis Starte(TDateTime startDatum, TDateTime startZeit, TDateTime endDatum,
                       TDateTime endZeit, TLaufBeobachter* beobachter = nullptr);
  TLaufErgebnis Starte(TDateTime start, TDateTime ende, TLaufBeobachter* beobachter = nullptr) {
    return Starte(start, start, ende, ende, beobachter);
  }
  // May be called from any thread; the run stops at the next day boundary.
  void Abbrechen() { FAbbruch = true; }

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
  void MakeLists(TCadShape* p);
  bool Vorlauf();
  bool PrepareRegenschreiber();
  void Hauptschleife();
  bool NeuerTag();  // false when the run is to stop
  void NeuesJahr();
  void SystemEreignis();
  // Closes the receiving-water events that have had 6 hours without rain
  // water (after every step) into CDSESTEreignisse.
  void CheckEreignis();
  void Abschluss();
  void AbbruchZeilen();
  void Meldung(const std::string& text);

  enum Art : unsigned char { Sonstiges, Einzugsgebiet, Wurzel, Verbinder };

  TM3Model& FModel;
  std::unique_ptr<TSimulation> FSim;
  TDataModule2 FErgebnisse;
  std::unique_ptr<TAuswertung> FAuswertung;
  std::vector<Art> FArt;             // kind of each element of Reihenfolge
  std::vector<TEST*> FEinleitungen;  // the discharge points of Reihenfolge
  TLaufBeobachter* FBeobachter = nullptr;
  std::atomic<bool> FAbbruch{false};
  bool FLesefehler = false;
  bool FGefaelleFehler = false;
};

}  // namespace t21
