// The element base: what every network element holds and the operations the
// compute pass calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cad/shape.h"
#include "model/records.h"
#include "model/sums.h"

namespace t21 {

class TElement;
class TNET;
class TSimulation;
class TSpenden;

// What an element's verification computation reads besides itself: the
// inflow gathered for it and the project record.
struct TRechnung {
  const TElement& Zufluss;
  const TNET& Netz;
};

class TElement : public TCadData {
 public:
  TElement() = default;
  ~TElement() override = default;
  TElement(const TElement&) = delete;
  TElement& operator=(const TElement&) = delete;

  std::vector<std::string> Memo;
  std::vector<std::string> Script;
  bool ScriptActive = false;
  TState Zustand;
  std::vector<std::string> Tokens;
  TCadShape* Owner = nullptr;
  TElement* GewParent = nullptr;
  TElement* GewKUE = nullptr;
  TElement* GewBUE = nullptr;
  TSUM SUM;
  TParameterArray AB;
  std::vector<std::string> FEHLER;

  // The owning shape's name (empty without one).
  const std::string& Name() const;
  // The element of the owning shape's Parent shape, or nullptr.
  TElement* Parent() const;
  // Type code ("KEM", "RU", ...); empty for a plain element.
  virtual std::string Typ() const { return {}; }

  // Verification computation. The base takes over the inflow.
  virtual void Calc(const TRechnung& r);
  // One simulation step. The base hands what flowed in during the step on to
  // the Parent element and, in the balance period, adds it to the year.
  virtual void SimCalc(TSimulation& sim);
  // The stages of a run, in the order the driver calls them. The base
  // versions do what every element does; the kinds add their own.
  // Building the lists: clear the accumulators and the receiving-water links.
  virtual void SimVorbereiten(TSimulation& sim);
  // The longest time step in minutes this element admits (catchments).
  virtual double SimZeitschrittGrenze(TSimulation& sim);
  // The time step is fixed (routing cascades of discharge points).
  virtual void SimZeitschrittGesetzt(TSimulation& sim) { (void)sim; }
  // Start of the run with the final time step.
  virtual void SimStart(TSimulation& sim) { (void)sim; }
  // End of a step: remember the step's inflow, clear the step accumulator.
  virtual void SimSchrittEnde(TSimulation& sim);
  // End of a completed run: what the element still holds.
  virtual void SimAbschluss(TSimulation& sim) { (void)sim; }
  // Rain (>= 0, mm) or minus the evaporation (mm) of the step from the
  // linked rain gauge; only catchments and surface areas use it.
  virtual void ReceiveRain(TSimulation& sim, double regen) {
    (void)sim;
    (void)regen;
  }
  // Hands the outflow on: SUM to dest.SUM (junction rule) and AB to dest.AB.
  virtual void GibAbfluss(TElement& dest, const TSpenden& spenden) const;
  // Copies memo, script, tokens and script flag; subclasses add their data.
  virtual void AssignValues(const TElement& e);

  // Zeroes sums, outflow and messages (used for the inflow accumulator).
  void Leeren();

 protected:
  // The base step with the downstream element given (nullptr: none).
  void WeitergebenAn(TSimulation& sim, TElement* ziel);
};

// Connector: passes water on, adding its flow time.
class TCON : public TElement {
 public:
  double TF = 0;  // flow time of the connection, min

  std::string Typ() const override { return "CON"; }
  void SetData(double myTF) { TF = myTF; }
  void Calc(const TRechnung& r) override;
  void AssignValues(const TElement& e) override;

  // Sizes the translation store for the run's time step, Round(TF / dt)
  // empty sets, and hands on what is left in the step accumulator.
  void Init(TSimulation& sim);
  // The outflow of a step is the inflow Verzoegerung() steps earlier.
  void SimCalc(TSimulation& sim) override;
  void SimVorbereiten(TSimulation& sim) override;
  void SimStart(TSimulation& sim) override { Init(sim); }

  // Steps of delay, the length of the translation store.
  int Verzoegerung() const { return static_cast<int>(FTranslationsSpeicher.size()); }
  // Volume in the translation store, m3.
  double Inhalt() const;

 private:
  // A ring: FKopf is the oldest set, the next to leave.
  std::vector<TFrachten> FTranslationsSpeicher;
  size_t FKopf = 0;
  TElement* FZiel = nullptr;  // the Parent element, fixed at list building
};

}  // namespace t21
