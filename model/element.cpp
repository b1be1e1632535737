#include "model/element.h"

#include <cmath>
#include <utility>

#include "model/net.h"
#include "model/simulation.h"

namespace t21 {

const std::string& TElement::Name() const {
  static const std::string leer;
  return Owner ? Owner->Name : leer;
}

TElement* TElement::Parent() const {
  if (!Owner || !Owner->Parent()) return nullptr;
  return dynamic_cast<TElement*>(Owner->Parent()->Data());
}

void TElement::Calc(const TRechnung& r) {
  SUM.ZufluesseUebernehmen(r.Zufluss.SUM);
  // The impermeable area passes an element that hands its inflow on
  // unchanged, so that the rain runoff below can still be reckoned from it.
  SUM.AU = r.Zufluss.SUM.AU;
  r.Zufluss.AB.AssignTo(AB);
}

void TElement::SimCalc(TSimulation& sim) {
  if (Zustand.Aktuell.Q > 0) WeitergebenAn(sim, Parent());
}

void TElement::WeitergebenAn(TSimulation& sim, TElement* ziel) {
  TFrachten& a = Zustand.Aktuell;
  if (!(a.Q > 0)) return;
  if (sim.IsBilanzZeit) a.AufsummierenIn(Zustand.Jahr);
  if (ziel) a.AddAllTo(ziel->Zustand.Aktuell, sim.PHFuehren);
}

void TElement::SimVorbereiten(TSimulation&) {
  Zustand.Clear();
  Zustand.OldQZu = 0;
  GewParent = GewKUE = GewBUE = nullptr;
}

double TElement::SimZeitschrittGrenze(TSimulation&) {
  return 5.0;
}

// The step's set is cleared whatever its flow: a set without water (flows
// that cancelled, a reach handing on less than nothing) still carries loads
// and flow components that must not gather from step to step.
void TElement::SimSchrittEnde(TSimulation&) {
  Zustand.OldQZu = Zustand.Aktuell.Q;
  Zustand.Aktuell.Clear();
}

void TElement::GibAbfluss(TElement& dest, const TSpenden& spenden) const {
  SUM.AddTo(dest.SUM, spenden);
  AB.AddTo(dest.AB);
}

void TElement::AssignValues(const TElement& e) {
  Memo = e.Memo;
  Script = e.Script;
  Tokens = e.Tokens;
  ScriptActive = e.ScriptActive;
}

void TElement::Leeren() {
  SUM = TSUM{};
  AB.Clear();
  FEHLER.clear();
}

void TCON::Calc(const TRechnung& r) {
  TElement::Calc(r);
  SUM.SUMTF += TF;
  SUM.LTF += TF;
  SUM.SUMAEM3 = r.Zufluss.SUM.SUMAEM3;
  SUM.SUMAEBM3 = r.Zufluss.SUM.SUMAEBM3;
  SUM.AU = r.Zufluss.SUM.AU;
}

void TCON::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  if (const auto* c = dynamic_cast<const TCON*>(&e)) TF = c->TF;
}

void TCON::Init(TSimulation& sim) {
  FTranslationsSpeicher.clear();
  FKopf = 0;
  if (TF > 0) {
    const double n = std::nearbyint(Kehrwert(sim.dt_min) * TF);
    if (n > 0) FTranslationsSpeicher.assign(static_cast<size_t>(n), TFrachten{});
  }
  TFrachten& a = Zustand.Aktuell;
  if (a.Q > 0) {
    if (TElement* p = Parent()) p->Zustand.Aktuell.Add(1.0, a);
    a.Clear();
  }
}

void TCON::SimVorbereiten(TSimulation& sim) {
  TElement::SimVorbereiten(sim);
  FZiel = Parent();
  Init(sim);
}

void TCON::SimCalc(TSimulation& sim) {
  if (!FTranslationsSpeicher.empty()) {
    // The step's inflow takes the place of the oldest set, which leaves.
    std::swap(Zustand.Aktuell, FTranslationsSpeicher[FKopf]);
    if (++FKopf == FTranslationsSpeicher.size()) FKopf = 0;
  }
  WeitergebenAn(sim, FZiel);
}

double TCON::Inhalt() const {
  double v = 0;
  for (const TFrachten& f : FTranslationsSpeicher) v += f.Q;
  return v;
}

}  // namespace t21
