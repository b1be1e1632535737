// A simulation run as a job: it works on its own copy of the project on a
// worker thread, so the project can be edited meanwhile; progress and
// snapshots reach the caller as copies, the results come back with the
// revision of the project they were computed from.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/network.h"
#include "simulation/lauf.h"

namespace t21 {

class TDokument;

// The file of a rain gauge as a run opens it: a relative name is taken from
// the project's folder (where its project file lies), not from the current
// directory; an absolute name, or any name of a project never saved, stays.
std::string Regendatei(const TM3Model& m, const std::string& datei);

struct TLaufAuftragsErgebnis {
  TLaufResultat Resultat;
  uint64_t Revision = 0;  // of the project the run was computed from
};

class TLaufAuftrag {
 public:
  // Copies the project now, on the caller's thread; nothing runs yet.
  TLaufAuftrag(const TDokument& d, TDateTime start, TDateTime ende);
  TLaufAuftrag(const TM3Model& m, uint64_t revision, TDateTime start, TDateTime ende);
  // Cancels a run still going and waits for it.
  ~TLaufAuftrag();
  TLaufAuftrag(const TLaufAuftrag&) = delete;
  TLaufAuftrag& operator=(const TLaufAuftrag&) = delete;

  // Before Starte: the elements whose state the reports carry, and the
  // report interval in simulated days (at most one).
  void BeobachteElemente(std::vector<std::string> namen) { FElemente = std::move(namen); }
  void SetzeBeobachtungsintervall(double tage) { FIntervall = tage; }
  // Before Starte: the element whose flows the run records in CDSAnimation.
  void SetzeAnimationselement(std::string name) { FAnimation = std::move(name); }
  // Called on the worker thread, with copies: hand them to the window's own
  // thread (a queued call) before touching the window.
  std::function<void(const TLaufStand&)> BeiStand;
  std::function<void(const std::string&)> BeiMeldung;
  // Called on the worker thread once the run has ended and its result can
  // be fetched without waiting.
  std::function<void()> BeiEnde;

  void Starte();
  // From any thread; the run ends within one simulated hour.
  void Abbrechen();
  bool Fertig() const { return FFertig.load(); }
  uint64_t Revision() const { return FRevision; }
  // The latest report, copied under the lock.
  std::optional<TLaufStand> LetzterStand() const;
  // Waits for the end of the run and hands over its result (once).
  TLaufAuftragsErgebnis Warte();

 private:
  class TWeiterleitung;
  void Lauf();

  std::unique_ptr<TM3Model> FKopie;
  uint64_t FRevision = 0;
  TDateTime FStart = 0, FEnde = 0;
  std::vector<std::string> FElemente;
  double FIntervall = 1;
  std::string FAnimation;
  std::unique_ptr<TSimulationsLauf> FLauf;
  std::thread FThread;
  std::atomic<bool> FFertig{false}, FAbbruch{false};
  mutable std::mutex FMutex;
  std::optional<TLaufStand> FStand;
  std::optional<TLaufAuftragsErgebnis> FErgebnis;
};

}  // namespace t21
