#include "simulation/lauf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#include "model/elements.h"
#include "model/regen.h"
#include "script/interpreter.h"
#include "simulation/bewertung.h"
#include "simulation/schrittpool.h"

namespace t21 {

namespace {

// Days the run may go on after the balance period's end while a system
// event stays open.
constexpr double kMaxNachlaufTage = 7;

bool IstEinzugsgebiet(const TElement* e) {
  return dynamic_cast<const TKEZ*>(e) != nullptr;
}
// The receiving water below a shape: follow Parent past connectors; the
// element of the first discharge point reached, or nullptr.
TElement* GewaesserUnten(const TCadShape* s, int grenze) {
  const TCadShape* p = s->Parent();
  for (int n = 0; p && p->IsConnector() && n < grenze; ++n) p = p->Parent();
  return (p && p->IsEinleitung()) ? TM3Model::ElementOf(p) : nullptr;
}

// Prepares the element's script for the run and tries it once on the
// element; the message of the check that fails, or nullptr. After a good
// trial the element keeps the instruction list, the run's interpreter its
// compiled form, and a structure's throttle is its design value again.
const char* ScriptFuerLauf(TSimulation& sim, TElement& e) {
  auto* ip = dynamic_cast<script::TbbInterpreter*>(sim.Script);
  if (!ip) return nullptr;
  e.Tokens.clear();
  std::vector<std::string> tokens, meldungen;
  script::TScriptCode code = ip->PrepareScript(e.Script, tokens, meldungen);
  if (!meldungen.empty()) return "Script fehlerhaft!";
  try {
    ip->DoScript(e, code);
  } catch (const script::TScriptFehler&) {
    return "Script: Funktionsname / Argument";
  }
  if (auto* b = dynamic_cast<TBauwerk*>(&e)) b->QDaktiv = b->QD;
  e.Tokens = std::move(tokens);
  ip->Bereitstellen(e, std::move(code));
  return nullptr;
}

// True if a whole year lies between start and end.
bool GanzesJahr(TDateTime start, TDateTime ende) {
  const auto d = DecodeDateTime(start);
  TDateTime tag = 0;
  const int t = (d.Monat == 2 && d.Tag == 29) ? 28 : d.Tag;
  if (!EncodeDate(d.Jahr + 1, d.Monat, t, tag)) return true;
  return ende >= tag + (start - std::trunc(start));
}

}  // namespace

// The step on several threads. Each part holds whole sub-networks: a
// catchment or storage structure goes into a part when everything that hands
// on to it does, and catchments only when what they hand on to does as well,
// so within a part every set is mixed in the order of the elements. A part
// steps on a copy of the run's clock and flags; what crosses to the rest of
// the network waits in the structures (SimSpeicherNachtrag) and is taken in
// the order of the elements after the parts, as is the flag "runoff in this
// step": the first element of a part that raised it is known, and every
// element from there on sees it raised, as on one thread.
struct TSimulationsLauf::TParallel {
  // On cache lines of its own, so that the parts' threads share none.
  struct alignas(64) TTeil {
    TSimulation Sim;
    std::vector<size_t> Elemente;                 // places in Reihenfolge, ascending
    std::vector<std::pair<TKEZ*, size_t>> Regen;  // catchment, index of its gauge
    std::vector<TElement*> Speicher;              // its structures
    int64_t ErsterAbfluss = 0;
  };
  std::vector<TTeil> Teile;
  // The structures of the parts end a step at the start of the next one, in
  // their part, so that their inflow sets stay in that core's cache; true
  // from the end of a step until they have.
  bool EndenOffen = false;
  std::vector<char> ImTeil;       // per place in Reihenfolge
  std::vector<double> Regenwert;  // the value of each gauge in the step
  std::unique_ptr<TSchrittPool> Pool;
};

namespace {

// Before the elements of a part (its catchments' rain).
constexpr int64_t kVorAllen = -1;
constexpr int64_t kKeiner = std::numeric_limits<int64_t>::max();

}  // namespace

TSimulationsLauf::TSimulationsLauf(TM3Model& model)
    : FModel(model), FSim(std::make_unique<TSimulation>()) {}

TSimulationsLauf::~TSimulationsLauf() {
  FParallel.reset();
  // A run left open leaves no rain file open behind it.
  if (FPhase != TPhase::Offen)
    for (TREG* r : FSim->Regenschreiber) r->Schliessen();
  ScriptAbmelden();
}

void TSimulationsLauf::Meldung(const std::string& text) {
  if (FBeobachter) FBeobachter->Meldung(text);
}

void TSimulationsLauf::AbbruchZeilen() {
  CDSReport.push_back({});
  CDSReport.push_back({"Abbruch!", "Simulation abgebrochen", ""});
}

void TSimulationsLauf::ScriptAbmelden() {
  if (FSim) FSim->Script = nullptr;
  FInterpreter.reset();
}

TLaufErgebnis TSimulationsLauf::Starte(TDateTime startDatum, TDateTime startZeit,
                                       TDateTime endDatum, TDateTime endZeit,
                                       TLaufBeobachter* beobachter) {
  if (Vorbereiten(startDatum, startZeit, endDatum, endZeit, beobachter))
    while (!Laufe(std::numeric_limits<int64_t>::max(), std::numeric_limits<double>::infinity())) {
    }
  return Abschliessen();
}

bool TSimulationsLauf::Vorbereiten(TDateTime startDatum, TDateTime startZeit, TDateTime endDatum,
                                   TDateTime endZeit, TLaufBeobachter* beobachter) {
  if (FPhase != TPhase::Offen) {
    // The run prepared before is dropped, and a cancel meant for it.
    for (TREG* r : FSim->Regenschreiber) r->Schliessen();
    ScriptAbmelden();
    FAbbruch.store(false, std::memory_order_relaxed);
  }
  FParallel.reset();
  FPhase = TPhase::Offen;
  FErgebnis = TLaufErgebnis::Abgewiesen;
  FBlock = 1;
  FIntervall = 0;
  FPrev = 0;
  FBeobachteteElemente.clear();
  FStand = {};
  FNaechsterStand = 0;

  FBeobachter = beobachter;
  FLesefehler = false;
  FGefaelleFehler = false;
  CDSFehler.clear();
  CDSReport.clear();
  CDSREG1.clear();
  Jahre.clear();
  FErgebnisse.Leeren();
  FAuswertung.reset();
  FArt.clear();
  FSchritt.clear();
  FEinleitungen.clear();

  FSim = std::make_unique<TSimulation>();
  TSimulation& sim = *FSim;
  sim.Modified = FModel.Modified;
  sim.Netz = &FModel.Netz();
  sim.Referenz = &FModel.Referenz;
  FInterpreter = std::make_unique<script::TbbInterpreter>(FModel);
  FInterpreter->SetSimulation(&sim);
  sim.Script = FInterpreter.get();
  // No table, script or observer of the long run reads the pH of a set that
  // is handed on, stored or overflowing (observers see the states between
  // steps, when the step sets are empty): the steps leave it.
  sim.PHFuehren = FVolleRechnung;
  // A refused run is closed at once.
  auto abweisen = [this] {
    ScriptAbmelden();
    FAbbruch.store(false, std::memory_order_relaxed);
    return false;
  };

  if (!sim.SetTime(startDatum, startZeit, endDatum, endZeit)) {
    Meldung(sim.Meldung);
    CDSFehler.push_back({"Fehler", "Simulations-Ende <= ", "Simulationsanfang!"});
    return abweisen();
  }

  MakeLists(FModel.Root());
  if (FModel.Netz().PublicVars) FModel.Netz().PublicVars->ClearVariables();

  if (!Vorlauf()) {
    AbbruchZeilen();
    Meldung("Der Systemaufbau ist fehlerhaft\nDer Simulationslauf wird abgebrochen");
    return abweisen();
  }
  if (!PrepareRegenschreiber()) {
    for (TREG* r : sim.Regenschreiber) r->Schliessen();
    AbbruchZeilen();
    return abweisen();
  }

  std::vector<int> intervalle;
  for (const TREG* r : sim.Regenschreiber) intervalle.push_back(r->DT);
  sim.SetVars(intervalle);
  for (TElement* e : sim.Reihenfolge) e->SimZeitschrittGesetzt(sim);
  for (TEST* e : FEinleitungen)
    for (const std::string& m : e->KMMeldungen) Meldung(m);

  for (const TREG* r : sim.Regenschreiber)
    CDSREG1.push_back(
        {r->Name(), r->Station, DatumZeitText(r->AnfangsDatum), DatumZeitText(r->EndDatum)});

  for (TElement* e : sim.Reihenfolge) {
    e->SimStart(sim);
    if (auto* k = dynamic_cast<TKEZ*>(e))
      if (e->Owner && e->Owner->KUE())
        if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(e->Owner->KUE()))) r->AEB += k->AEb;
  }
  for (size_t i = 0; i < sim.Reihenfolge.size(); ++i)
    if (FArt[i] == Verbinder) sim.Reihenfolge[i]->Zustand.Aktuell.Clear();

  CDSReport.push_back({"Bilanzierungsbeginn", DatumZeitKurz(sim.Start), ""});
  CDSReport.push_back({"Bilanzierungsende", DatumZeitKurz(sim.Ende), ""});
  CDSReport.push_back({"erstes Intervall", DatumZeitKurz(sim.Zeit), ""});
  sim.RegenEnde = sim.Zeit;
  FAuswertung = std::make_unique<TAuswertung>(sim, FErgebnisse, CDSReport);

  BeobachteteSuchen();
  FAnimation = nullptr;
  FAnimationMaxQ = 0;
  if (!FAnimationName.empty()) {
    for (const TElement* e : sim.Regenschreiber)
      if (e->Name() == FAnimationName) FAnimation = e;
    for (const TElement* e : sim.Reihenfolge)
      if (e->Name() == FAnimationName) FAnimation = e;
  }
  ParallelAufbauen();
  PlanAufbauen();
  FPhase = TPhase::Laeuft;
  return true;
}

int TSimulationsLauf::Threads() const {
  return FParallel ? FParallel->Pool->Teile() : 1;
}

bool TSimulationsLauf::SchritteInFolge() const {
  if (FAnimation) return false;
  for (const TElement* e : FSim->Reihenfolge)
    if (e->ScriptActive) return false;
  return true;
}

std::unordered_map<const TElement*, size_t> TSimulationsLauf::Plaetze() const {
  const auto& reihe = FSim->Reihenfolge;
  std::unordered_map<const TElement*, size_t> platz;
  for (size_t k = 0; k < reihe.size(); ++k) platz.emplace(reihe[k], k);
  return platz;
}

std::vector<std::array<size_t, 3>> TSimulationsLauf::Ziele(
    const std::unordered_map<const TElement*, size_t>& platz) const {
  const auto& reihe = FSim->Reihenfolge;
  const size_t n = reihe.size();
  auto elementAn = [](const TCadShape* s) { return s ? TM3Model::ElementOf(s) : nullptr; };
  // Catchments and storage structures hand on to the targets fixed at list
  // building; for other kinds every link counts.
  std::vector<std::array<size_t, 3>> ziele(n);
  for (size_t k = 0; k < n; ++k) {
    TElement* e = reihe[k];
    std::array<TElement*, 3> z{};
    if (FSchritt[k] == Gebiet)
      z = {e->Parent(), nullptr, nullptr};
    else if (FSchritt[k] == Speicherbauwerk)
      z = static_cast<TBauwerk*>(e)->SimZiele();
    else if (e->Owner)
      z = {e->Parent(), elementAn(e->Owner->KUE()), elementAn(e->Owner->GEW())};
    for (size_t i = 0; i < 3; ++i) {
      const auto it = platz.find(z[i]);
      ziele[k][i] = !z[i] ? ZielOhne(n) : it == platz.end() ? ZielFremd(n) : it->second;
    }
  }
  return ziele;
}

void TSimulationsLauf::PlanAufbauen() {
  const auto& reihe = FSim->Reihenfolge;
  const size_t n = reihe.size();
  // One past the last element of the order that hands anything to each
  // element (0 for none); with a script or an animation element nothing
  // ends early, and with threads no structure of a part, whose hand-overs
  // and event totals wait for the serial pass.
  std::vector<size_t> nachLetztem(n, n + 1);
  if (SchritteInFolge()) {
    nachLetztem.assign(n, 0);
    const std::vector<std::array<size_t, 3>> ziele = Ziele(Plaetze());
    for (size_t k = 0; k < n; ++k)
      for (size_t z : ziele[k])
        if (z < n) nachLetztem[z] = std::max(nachLetztem[z], k + 1);
  }
  FPlan.clear();
  FEnde.clear();
  for (size_t k = 0; k < n; ++k) {
    TElement* e = reihe[k];
    const bool frueh = nachLetztem[k] <= k;
    if (FArt[k] == Wurzel) {
      FPlan.push_back({e, PlanWurzel});
      FEnde.push_back({e, EndeVirtuell});
      continue;
    }
    switch (FSchritt[k]) {
      case Gebiet:
        // Nothing hands anything to it at all: it hands its own runoff on
        // directly.
        static_cast<TKEZ*>(e)->SimDirekt(frueh && nachLetztem[k] == 0 && !FSim->PHFuehren);
        FPlan.push_back({e, frueh ? PlanGebietFrueh : PlanGebiet});
        FEnde.push_back({e, frueh ? EndeGebietFrueh : EndeGebiet});
        break;
      case Speicherbauwerk: {
        const bool imTeil = FParallel && FParallel->ImTeil[k];
        FPlan.push_back({e, frueh && !imTeil ? PlanSpeicherFrueh : PlanSpeicher});
        if (!frueh && !imTeil) FEnde.push_back({e, EndeElement});
        break;
      }
      case Einleitung:
        FPlan.push_back({e, PlanEinleitung});
        FEnde.push_back({e, EndeEinleitung});
        break;
      case Virtuell:
        FPlan.push_back({e, PlanVirtuell});
        FEnde.push_back({e, EndeVirtuell});
        break;
    }
  }
}

void TSimulationsLauf::ParallelAufbauen() {
  TSimulation& sim = *FSim;
  const int threads = FThreadsGewuenscht > 0 ? FThreadsGewuenscht : StandardThreads();
  if (threads < 2 || !SchritteInFolge()) return;
  const auto& reihe = sim.Reihenfolge;
  const size_t n = reihe.size();
  const std::unordered_map<const TElement*, size_t> platz = Plaetze();
  const size_t kFremd = ZielFremd(n), kOhne = ZielOhne(n);
  const std::vector<std::array<size_t, 3>> ziele = Ziele(platz);
  std::vector<char> kandidat(n);
  for (size_t k = 0; k < n; ++k)
    kandidat[k] = FSchritt[k] == Gebiet || FSchritt[k] == Speicherbauwerk;
  for (bool geaendert = true; geaendert;) {
    geaendert = false;
    for (size_t k = 0; k < n; ++k) {
      if (!kandidat[k]) {
        // Whatever this element hands on to waits for it.
        for (size_t z : ziele[k])
          if (z < n && kandidat[z]) kandidat[z] = 0, geaendert = true;
      } else if (FSchritt[k] == Gebiet && ziele[k][0] != kOhne &&
                 (ziele[k][0] == kFremd || !kandidat[ziele[k][0]])) {
        kandidat[k] = 0;
        geaendert = true;
      }
    }
  }
  // Sub-networks: the candidates joined by what they hand on to each other.
  std::vector<size_t> wurzel(n);
  for (size_t k = 0; k < n; ++k) wurzel[k] = k;
  auto finde = [&](size_t k) {
    while (wurzel[k] != k) k = wurzel[k] = wurzel[wurzel[k]];
    return k;
  };
  for (size_t k = 0; k < n; ++k)
    if (kandidat[k])
      for (size_t z : ziele[k])
        if (z < n && kandidat[z]) wurzel[finde(k)] = finde(z);
  std::map<size_t, std::vector<size_t>> netze;
  for (size_t k = 0; k < n; ++k)
    if (kandidat[k]) netze[finde(k)].push_back(k);
  if (netze.size() < 2) return;

  // The sub-networks in the order of the run, cut into runs of about equal
  // work, so that the parts' elements (and their state) do not interleave.
  size_t gesamt = 0;
  for (const auto& [w, elemente] : netze) gesamt += elemente.size();
  const size_t teile = std::min(static_cast<size_t>(threads), netze.size());
  auto p = std::make_unique<TParallel>();
  p->Teile.resize(teile);
  {
    std::vector<const std::vector<size_t>*> folge;
    for (const auto& [w, elemente] : netze) folge.push_back(&elemente);
    std::sort(folge.begin(), folge.end(),
              [](const auto* a, const auto* b) { return a->front() < b->front(); });
    size_t t = 0, bisher = 0;
    for (size_t i = 0; i < folge.size(); ++i) {
      const std::vector<size_t>* netz = folge[i];
      // Past its share the part is full, and so it is when each part after
      // it needs one of the sub-networks left.
      if (t + 1 < teile && !p->Teile[t].Elemente.empty() &&
          (bisher * teile >= (t + 1) * gesamt || folge.size() - i == teile - 1 - t))
        ++t;
      auto& el = p->Teile[t].Elemente;
      el.insert(el.end(), netz->begin(), netz->end());
      bisher += netz->size();
    }
  }
  p->ImTeil.assign(n, 0);
  for (TParallel::TTeil& t : p->Teile) {
    std::sort(t.Elemente.begin(), t.Elemente.end());
    for (size_t k : t.Elemente) {
      p->ImTeil[k] = 1;
      if (FSchritt[k] == Speicherbauwerk) t.Speicher.push_back(reihe[k]);
    }
  }
  std::vector<size_t> teilVon(n, teile);
  for (size_t t = 0; t < teile; ++t)
    for (size_t k : p->Teile[t].Elemente) teilVon[k] = t;

  // The catchments of the parts take their rain in their part.
  for (size_t g = 0; g < sim.Regenschreiber.size(); ++g) {
    std::vector<TElement*>& empfaenger = sim.Regenschreiber[g]->Empfaenger();
    std::erase_if(empfaenger, [&](TElement* e) {
      const auto it = platz.find(e);
      if (it == platz.end() || !p->ImTeil[it->second]) return false;
      p->Teile[teilVon[it->second]].Regen.emplace_back(static_cast<TKEZ*>(e), g);
      return true;
    });
  }
  p->Regenwert.assign(sim.Regenschreiber.size(), 0.0);
  // The structures leave for afterwards what they hand on out of their part.
  for (size_t k = 0; k < n; ++k)
    if (p->ImTeil[k] && FSchritt[k] == Speicherbauwerk) {
      const auto& z = ziele[k];
      auto ausserhalb = [&](size_t i) { return z[i] == kFremd || (z[i] < n && !p->ImTeil[z[i]]); };
      static_cast<TBauwerk*>(reihe[k])->SimAufschieben(ausserhalb(0), ausserhalb(1), ausserhalb(2));
    }
  TParallel* roh = p.get();
  p->Pool = std::make_unique<TSchrittPool>(static_cast<int>(teile), [this, roh](int teil) {
    TParallel::TTeil& t = roh->Teile[static_cast<size_t>(teil)];
    TSimulation& w = t.Sim;
    if (roh->EndenOffen)
      for (TElement* e : t.Speicher) e->TElement::SimSchrittEnde(w);
    for (const auto& [e, g] : t.Regen) e->ReceiveRain(w, roh->Regenwert[g]);
    t.ErsterAbfluss = w.HasAbfluss ? kVorAllen : kKeiner;
    for (size_t k : t.Elemente) {
      const bool vorher = w.HasAbfluss;
      // A catchment ends its step here when its plan lets it, while its
      // sets are in this core's cache.
      PlanSchritt(FPlan[k], w);
      if (!vorher && w.HasAbfluss) t.ErsterAbfluss = static_cast<int64_t>(k);
    }
  });
  FParallel = std::move(p);
}

// Inlined into both loops that step the elements.
[[gnu::always_inline]] inline void TSimulationsLauf::PlanSchritt(const TPlanSchritt<Plan>& p,
                                                                 TSimulation& sim) {
  TElement* e = p.e;
  switch (p.was) {
    case PlanVirtuell:
    case PlanWurzel:
      e->SimCalc(sim);
      break;
    case PlanGebiet:
      static_cast<TKEZ*>(e)->TKEZ::SimCalc(sim);
      break;
    case PlanGebietFrueh:
      static_cast<TKEZ*>(e)->TKEZ::SimCalc(sim);
      static_cast<TKEZ*>(e)->TKEZ::SimSchrittEndeSaetze();
      break;
    case PlanSpeicher:
      static_cast<TEBW*>(e)->TEBW::SimCalc(sim);
      break;
    case PlanSpeicherFrueh:
      static_cast<TEBW*>(e)->TEBW::SimCalc(sim);
      e->TElement::SimSchrittEnde(sim);
      break;
    case PlanEinleitung:
      static_cast<TEST*>(e)->TEST::SimCalc(sim);
      break;
  }
}

void TSimulationsLauf::ParallelerSchritt() {
  TSimulation& sim = *FSim;
  TParallel& p = *FParallel;
  // Decoded here, so that the parts only read it.
  sim.AktUhrzeit();
  for (TParallel::TTeil& t : p.Teile) {
    static_cast<TSimulationsTakt&>(t.Sim) = sim;
    t.Sim.HasAbfluss = t.Sim.Muldenfuellung = t.Sim.Entlastung = false;
  }
  p.Pool->Lauf();
  p.EndenOffen = true;
  int64_t erster = kKeiner;
  for (const TParallel::TTeil& t : p.Teile) {
    erster = std::min(erster, t.ErsterAbfluss);
    sim.Muldenfuellung = sim.Muldenfuellung || t.Sim.Muldenfuellung;
    sim.Entlastung = sim.Entlastung || t.Sim.Entlastung;
  }
  const size_t n = sim.Reihenfolge.size();
  for (size_t k = 0; k < n; ++k) {
    if (static_cast<int64_t>(k) >= erster) sim.HasAbfluss = true;
    if (!p.ImTeil[k])
      PlanSchritt(FPlan[k], sim);
    else if (FSchritt[k] == Speicherbauwerk)
      static_cast<TBauwerk*>(sim.Reihenfolge[k])->SimSpeicherNachtrag(sim);
    if (FArt[k] == Wurzel) {
      SystemEreignis();
      CheckEreignis();
    }
  }
}

void TSimulationsLauf::EndenNachholen() {
  if (!FParallel || !FParallel->EndenOffen) return;
  for (TParallel::TTeil& t : FParallel->Teile)
    for (TElement* e : t.Speicher) e->TElement::SimSchrittEnde(*FSim);
  FParallel->EndenOffen = false;
}

bool TSimulationsLauf::Schritte(int64_t n) {
  if (FPhase != TPhase::Laeuft) return true;
  const int64_t schritt = FSim->step;
  const int64_t grenze = n <= 0 ? schritt
                         : n >= std::numeric_limits<int64_t>::max() - schritt
                             ? std::numeric_limits<int64_t>::max()
                             : schritt + n;
  return Laufe(grenze, std::numeric_limits<double>::infinity());
}

bool TSimulationsLauf::BisZeit(TDateTime t) {
  return Laufe(std::numeric_limits<int64_t>::max(), t - kZeitEps);
}

bool TSimulationsLauf::Laufe(int64_t schrittGrenze, TDateTime zeitGrenze) {
  if (FPhase != TPhase::Laeuft) return true;
  try {
    const bool fertig = Hauptschleife(schrittGrenze, zeitGrenze);
    EndenNachholen();
    if (!fertig) return false;
  } catch (const script::TScriptFehler& f) {
    // A script that fails in a step (or runs away, see
    // script::kMaxAnweisungenProLauf) ends the run with its message.
    TSimulation& sim = *FSim;
    const TElement* e = FInterpreter->Element();
    CDSFehler.push_back(
        {"Fehler!", e ? e->Name() : std::string(), "Script: Funktionsname / Argument"});
    Meldung(std::string(f.what()));
    for (TREG* r : sim.Regenschreiber) r->Schliessen();
    AbbruchZeilen();
    FErgebnis = TLaufErgebnis::Fehlerhaft;
    FPhase = TPhase::Beendet;
    return true;
  }
  LaufEnde();
  return true;
}

void TSimulationsLauf::LaufEnde() {
  TSimulation& sim = *FSim;
  FPhase = TPhase::Beendet;
  if (FLesefehler) {
    for (TREG* r : sim.Regenschreiber) r->Schliessen();
    AbbruchZeilen();
    FErgebnis = TLaufErgebnis::Fehlerhaft;
    return;
  }
  const bool abbruch = FAbbruch.load(std::memory_order_relaxed);
  if (abbruch || FGefaelleFehler) {
    for (TREG* r : sim.Regenschreiber) r->Schliessen();
    if (abbruch) AbbruchZeilen();
    // A discharge point without fall is a fault of the data, not a cancel.
    FErgebnis = abbruch ? TLaufErgebnis::Abgebrochen : TLaufErgebnis::Fehlerhaft;
    return;
  }
  FErgebnis = TLaufErgebnis::Abgeschlossen;
}

TLaufErgebnis TSimulationsLauf::Abschliessen() {
  if (FPhase == TPhase::Offen) return FErgebnis;
  if (FPhase == TPhase::Laeuft) {
    // Closed before its end: the run ends as cancelled, there and then.
    FAbbruch.store(true, std::memory_order_relaxed);
    LaufEnde();
  }
  if (FErgebnis == TLaufErgebnis::Abgeschlossen) Abschluss();
  ScriptAbmelden();
  FPhase = TPhase::Offen;
  FAbbruch.store(false, std::memory_order_relaxed);
  return FErgebnis;
}

bool IstMischOderRegen(const TElement* e) {
  return dynamic_cast<const TKEM*>(e) || dynamic_cast<const TKER*>(e);
}

void SimulationslistenAufbauen(TM3Model& m, TSimulation& sim, TCadShape* wurzel,
                               const std::function<void(TCadShape&, TElement&)>& jedes) {
  m.NachVorgaengern(wurzel, [&](TCadShape* p) {
    TElement* e = TM3Model::ElementOf(p);
    if (!e) return;
    e->SimVorbereiten(sim);
    if (auto* r = dynamic_cast<TREG*>(e)) {
      sim.Regenschreiber.push_back(r);
      return;
    }
    sim.Reihenfolge.push_back(e);
    if (jedes) jedes(*p, *e);
    m.HoleZufluss(p);
    if (IstMischOderRegen(e)) {
      sim.dt_min = std::min(sim.dt_min, e->SimZeitschrittGrenze(sim));
      const auto* k = static_cast<const TKEZ*>(e);
      sim.AUges += k->AEbxfD;
      sim.AEBges += k->AEb;
    }
    const std::string typ = p->Typ();
    const int grenze = m.Count();
    if (typ == "KER" || typ == "KLG" || typ == "EST" || typ == "RKB" || typ == "OMA")
      e->GewParent = GewaesserUnten(p, grenze);
    if (typ == "RU" || typ == "RUB" || typ == "RKB" || typ == "OMA")
      e->GewKUE = GewaesserUnten(p, grenze);
    if (typ == "RUB" || typ == "RKB" || typ == "OMA") e->GewBUE = GewaesserUnten(p, grenze);
  });
}

void TSimulationsLauf::MakeLists(TCadShape* wurzel) {
  SimulationslistenAufbauen(FModel, *FSim, wurzel, [this](TCadShape& p, TElement& e) {
    FArt.push_back(dynamic_cast<TNET*>(&e) ? Wurzel
                   : IstEinzugsgebiet(&e)  ? Einzugsgebiet
                   : p.IsConnector()       ? Verbinder
                                           : Sonstiges);
    if (auto* est = dynamic_cast<TEST*>(&e)) FEinleitungen.push_back(est);
    const std::type_info& t = typeid(e);
    FSchritt.push_back(t == typeid(TKEM) || t == typeid(TKES) || t == typeid(TKER) ? Gebiet
                       : t == typeid(TRUB) || t == typeid(TRKB)                    ? Speicherbauwerk
                       : t == typeid(TEST)                                         ? Einleitung
                                                                                   : Virtuell);
  });
}

bool TSimulationsLauf::Vorlauf() {
  const TSimulation& sim = *FSim;
  bool ok = true;
  auto fehler = [&](const std::string& s2, const std::string& s3) {
    CDSFehler.push_back({"Fehler!", s2, s3});
    ok = false;
  };
  if (sim.Regenschreiber.empty()) fehler("Das System enthält keinen Regenschreiber", "Abbruch");
  for (const TREG* r : sim.Regenschreiber) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(r->FileName, ec))
      fehler(r->Name(), "Regendatei nicht gefunden");
  }
  if (sim.Reihenfolge.size() < 2) fehler("Das System enthält keine Komponenten", "Abbruch");

  const int swgl = FModel.Referenz.SWGanglinien.Count();
  const int fwgl = FModel.Referenz.FWGanglinien.Count();
  for (const TElement* e : sim.Reihenfolge) {
    const TCadShape* s = e->Owner;
    if (!s || s->IsRoot()) continue;
    const std::string& typ = s->Typ();
    if (s->Parent() == FModel.Root())
      CDSFehler.push_back({"Hinweis", e->Name(), "Nachfolger undefiniert"});
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      if (!s->KUE()) fehler(e->Name(), "Kein Regenschreiber!");
      if ((typ == "KEM" || typ == "KER") && !s->GEW())
        CDSFehler.push_back({"Warnung!", e->Name(), "Keine Gewässerzuordnung"});
      if (typ == "KEM" || typ == "KES") {
        // A negative index is as missing as one past the end.
        if (k->SWGL < 0 || k->SWGL > swgl - 1) fehler(e->Name(), "SW-Ganglinie fehlt!");
        if (k->FWGL < 0 || k->FWGL > fwgl - 1) fehler(e->Name(), "FW-Ganglinie fehlt!");
      }
    }
    if (const auto* est = dynamic_cast<const TEST*>(e)) {
      if (est->Drosselung && !s->KUE())
        CDSFehler.push_back({"Warnung!", e->Name(), "KÜ undefiniert"});
      TProfil profil = est->Profil;
      profil.Vollfuellung();
      if (est->HQ1pnat() > profil.QVOLL)
        CDSFehler.push_back({"Warnung!", e->Name(), "Qvoll < HQ1pnat"});
      // The routing of the reach needs a fall between the entered bed levels.
      if (!(est->Sohlgefaelle() > 0)) {
        CDSFehler.push_back({"Fehler!", e->Name(), "kein Gefälle oder Gegengefälle. Abbruch!"});
        Meldung("Fehler!" + e->Name() + " : Kein Gefälle oder Gegengefälle. Abbruch!");
        FGefaelleFehler = true;
        return ok;
      }
    }
    // A throttle that lets nothing through never empties the structure.
    // (A discharge point's QD is that of its throttling, which may be off.)
    if (const auto* b = dynamic_cast<const TBauwerk*>(e); b && typ != "EST" && !(b->QD > 0))
      CDSFehler.push_back({"Warnung!", e->Name(), "Drosselabfluss QD <= 0"});
    if (typ == "RUB" || typ == "RKB" || typ == "OMA")
      if (!s->GEW()) CDSFehler.push_back({"Warnung!", e->Name(), "BÜ undefiniert"});
    if (typ == "RU" || typ == "RUB" || typ == "RKB" || typ == "OMA")
      if (!s->KUE()) CDSFehler.push_back({"Warnung!", e->Name(), "KÜ undefiniert"});
    if (e->ScriptActive)
      if (const char* m = ScriptFuerLauf(*FSim, *const_cast<TElement*>(e))) fehler(e->Name(), m);
  }
  if (!GanzesJahr(sim.Start, sim.Ende))
    CDSFehler.push_back(
        {"Warnung!", "Simulationsdauer < 1 Jahr", "Ergebnisse werden hochgerechnet"});
  return ok;
}

bool TSimulationsLauf::PrepareRegenschreiber() {
  const TSimulation& sim = *FSim;
  for (TREG* r : sim.Regenschreiber) {
    std::vector<TRegenMeldung> meldungen;
    const bool gut = r->Positionieren(sim, meldungen);
    r->SammleHinweise(meldungen);
    for (const auto& m : meldungen) {
      CDSFehler.push_back({m.Art, m.Element, m.Text});
      Meldung(m.Element + "\r" + m.Text);
    }
    if (!gut) {
      CDSFehler.push_back({"Fehler!", r->Name(), r->Fehler});
      Meldung(r->Name() + "\r" + r->Fehler);
      return false;
    }
  }
  return true;
}

// Cycles of 12 blocks of MaxIntervall steps, from where the last call
// stopped: at a block start the day change and the reports, then the cancel;
// after a block the year change; after a cycle the end test. The loop state
// lives in locals while it runs and goes back into the members when it stops.
bool TSimulationsLauf::Hauptschleife(int64_t schrittGrenze, TDateTime zeitGrenze) {
  TSimulation& sim = *FSim;
  TDateTime prev = FPrev;
  int i = FIntervall;
  for (;;) {
    if (i == 0) {
      const bool tag = std::trunc(prev) < std::trunc(sim.Zeit + kZeitEps);
      int prozent = 0;
      if (tag) prozent = NeuerTag();
      if (FBeobachter && (tag || sim.Zeit + kZeitEps >= FNaechsterStand))
        MeldeStand(tag ? prozent : Prozent());
      if (FAbbruch.load(std::memory_order_relaxed) || FGefaelleFehler) {
        FPrev = prev;
        FIntervall = 0;
        return true;
      }
      sim.Block = FBlock;
      i = 1;
    }
    for (; i <= sim.MaxIntervall; ++i) {
      if (sim.step >= schrittGrenze || sim.Zeit >= zeitGrenze) {
        FPrev = prev;
        FIntervall = i;
        return false;
      }
      sim.Intervall = i;
      ++sim.step;
      sim.HasAbfluss = sim.EsRegnet = sim.Muldenfuellung = false;
      sim.IsBilanzZeit = sim.IsSimZeit() && sim.Zeit >= sim.Start;
      for (size_t g = 0; g < sim.Regenschreiber.size(); ++g) {
        TREG* r = sim.Regenschreiber[g];
        bool ok;
        const double wert = r->SendRain(sim, ok);
        if (FParallel) FParallel->Regenwert[g] = wert;
        if (r == FAnimation) AnimationRegen(*r);
        if (!ok) {
          CDSFehler.push_back({"Fehler!", r->Name(), r->Fehler});
          Meldung(r->Name() + "\r" + r->Fehler);
          FLesefehler = true;
          return true;
        }
      }
      if (FParallel) {
        ParallelerSchritt();
      } else {
        for (const TPlanSchritt<Plan>& p : FPlan) {
          PlanSchritt(p, sim);
          if (p.e == FAnimation) AnimationZeile(*p.e);
          if (p.was == PlanWurzel) {
            SystemEreignis();
            CheckEreignis();
          }
        }
      }
      for (const TPlanSchritt<Ende>& p : FEnde) {
        TElement* e = p.e;
        switch (p.was) {
          case EndeVirtuell:
            e->SimSchrittEnde(sim);
            break;
          case EndeElement:
            // The structures end their step as every element does.
            e->TElement::SimSchrittEnde(sim);
            break;
          case EndeGebiet:
            static_cast<TKEZ*>(e)->TKEZ::SimSchrittEnde(sim);
            break;
          case EndeGebietFrueh:
            static_cast<TKEZ*>(e)->TKEZ::SimSchrittEndeEreignis(sim);
            break;
          case EndeEinleitung:
            static_cast<TEST*>(e)->TEST::SimSchrittEnde(sim);
            break;
        }
      }
      prev = sim.Zeit;
      sim.IncZeit();
    }
    EndenNachholen();
    if (DayOfTheYear(prev) > DayOfTheYear(sim.Zeit)) NeuesJahr();
    i = 0;
    if (FBlock < 12) {
      ++FBlock;
      continue;
    }
    FBlock = 1;
    if (sim.Zeit > sim.Ende - kZeitEps && !sim.WarRegen) {
      FPrev = prev;
      FIntervall = 0;
      return true;
    }
    // An event still open long after the end (a tank that never empties
    // keeps the runoff going) does not keep the run going for ever.
    if (sim.Zeit > sim.Ende + kMaxNachlaufTage) {
      CDSFehler.push_back(
          {"Warnung!", "Nachlauf nach dem Bilanzierungsende",
           "nach " + std::to_string(static_cast<int>(kMaxNachlaufTage)) + " Tagen beendet"});
      FPrev = prev;
      FIntervall = 0;
      return true;
    }
  }
}

int TSimulationsLauf::Prozent() const {
  const TSimulation& sim = *FSim;
  if (!(sim.Ende - kZeitEps > sim.Zeit)) return 100;
  return static_cast<int>(std::nearbyint(Kehrwert(sim.Tage) * (sim.Zeit - sim.Start) * 100));
}

int TSimulationsLauf::NeuerTag() {
  TSimulation& sim = *FSim;
  sim.SetTagesTemperatur();
  const int p = Prozent();
  if (FBeobachter) FBeobachter->NeuerTag(sim, p);
  return p;
}

void TSimulationsLauf::BeobachteElemente(std::vector<std::string> namen) {
  FBeobachtet = std::move(namen);
  if (FPhase == TPhase::Laeuft) BeobachteteSuchen();
}

void TSimulationsLauf::SetzeBeobachtungsintervall(double tage) {
  // NaN and more than a day: a day; up to a block (5 minutes): every block start.
  FStandIntervall = std::isnan(tage) ? 1 : std::clamp(tage, 0.0, 1.0);
  FNaechsterStand =
      FStandIntervall < 1 ? FStand.Zeit + FStandIntervall : std::numeric_limits<double>::infinity();
}

void TSimulationsLauf::BeobachteteSuchen() {
  const TSimulation& sim = *FSim;
  FBeobachteteElemente.clear();
  FStand.Elemente.clear();
  auto suche = [](const auto& liste, const std::string& name) -> const TElement* {
    for (const TElement* e : liste)
      if (e->Name() == name) return e;
    return nullptr;
  };
  for (const std::string& name : FBeobachtet) {
    const TElement* e = suche(sim.Reihenfolge, name);
    if (!e) e = suche(sim.Regenschreiber, name);
    if (!e) continue;
    FBeobachteteElemente.push_back(e);
    FStand.Elemente.push_back({name, e->Zustand});
  }
}

void TSimulationsLauf::MeldeStand(int prozent) {
  const TSimulation& sim = *FSim;
  FStand.Zeit = sim.Zeit;
  FStand.Schritt = sim.step;
  FStand.Prozent = prozent;
  for (size_t k = 0; k < FBeobachteteElemente.size(); ++k)
    FStand.Elemente[k].Zustand = FBeobachteteElemente[k]->Zustand;
  FNaechsterStand =
      FStandIntervall < 1 ? sim.Zeit + FStandIntervall : std::numeric_limits<double>::infinity();
  FBeobachter->Stand(FStand);
}

void TSimulationsLauf::NeuesJahr() {
  if (const int jahr = FAuswertung->NeuesJahr()) Jahre.push_back(jahr);
}

void TSimulationsLauf::CheckEreignis() {
  const TSimulation& sim = *FSim;
  for (TEST* e : FEinleitungen) {
    if (!e->GewaesserEreignis) continue;
    TGewaesserEreignisZeile z;
    if (!e->CheckEreignis(sim, z)) continue;
    TNeueZeile{FErgebnisse.CDSESTEreignisse}("Nr", z.Nr)("Name", z.Name)("Start", z.Start)(
        "Ende", z.Ende)("Dauer", z.Dauer)("MAXQ", z.MAXQ)("QE", z.QE)("MinO2", z.MinO2)(
        "MaxNH3", z.MaxNH3)("MaxAFS", z.MaxAFS)("MedO2_kurz", z.MedO2_kurz)(
        "MedNH3_kurz", z.MedNH3_kurz)("MedAFS_kurz", z.MedAFS_kurz);
  }
}

void TSimulationsLauf::SystemEreignis() {
  TSimulation& sim = *FSim;
  if (sim.HasAbfluss) {
    sim.WarAbfluss = true;
    sim.EreignisEnde = sim.Zeit;
  }
  if (sim.EsRegnet) {
    if (!sim.WarRegen) {
      sim.Ereignisstart = sim.Zeit;
      sim.WarRegen = true;
      FAuswertung->EreignisBeginn();
    }
  } else if (sim.WarRegen && !sim.HasAbfluss &&
             // more than 6 hours, on the clock's grid of whole seconds
             Millisekunden(sim.Zeit) - Millisekunden(sim.RegenEnde) > 6 * 3600000LL) {
    sim.WarRegen = false;
    if (sim.WarAbfluss) {
      TEreignis e;
      e.Start = sim.Ereignisstart;
      e.Ende = sim.EreignisEnde;
      e.Entlastung = sim.Entlastung;
      sim.Entlastung = false;
      sim.WarAbfluss = false;
      sim.SystemEreignisse.push_back(e);
      FAuswertung->WriteEreignis(sim.SystemEreignisse.back());
    }
  }
}

void TSimulationsLauf::Abschluss() {
  TSimulation& sim = *FSim;
  for (TREG* r : sim.Regenschreiber) {
    sim.LetzterRegen = std::max(sim.LetzterRegen, r->AktDatum);
    r->Schliessen();
    std::vector<TRegenMeldung> meldungen;
    r->SammleHinweise(meldungen);
    for (const auto& m : meldungen) CDSFehler.push_back({m.Art, m.Element, m.Text});
  }
  for (TElement* e : sim.Reihenfolge) e->SimAbschluss(sim);
  NeuesJahr();
  FAuswertung->BilanzSimulationszeitraum();
  FAuswertung->MittelwerteBilanz();
  FAuswertung->WriteSimReport();
  TCadShape* letzte = FModel.LetzteSelektion();
  FModel.HoleZufluss(letzte ? letzte : FModel.Root());
  CDSReport.push_back({});
  for (TElement* e : sim.Reihenfolge)
    if (const auto* est = dynamic_cast<const TEST*>(e))
      BewerteEinleitung(EinleitungsDaten(*est), sim.Start, sim.Ende, FErgebnisse, CDSReport);
  if (FAnimation) {
    CDSReport.push_back({});
    CDSReport.push_back({FAnimation->Name(), FAnimation->Typ(), "Animationsobjekt"});
  }
  sim.IsBilanzZeit = false;
  Meldung("Simulation abgeschlossen");
}

void TSimulationsLauf::AnimationRegen(const TREG& r) {
  const TSimulation& sim = *FSim;
  const double regen = r.Zustand.Aktuell.Regen();
  TNeueZeile{FErgebnisse.CDSAnimation}("Zeit", sim.Zeit)("Q", regen * Kehrwert(sim.dt_min))(
      "P1", r.Zustand.Aktuell.Verdunstung() * Kehrwert(sim.dt_min));
  FAnimationMaxQ = std::max(FAnimationMaxQ, sim.MaxIntervall * regen);
}

void TSimulationsLauf::AnimationZeile(const TElement& e) {
  const TSimulation& sim = *FSim;
  const double f = Kehrwert(sim.dt_sec_div_1000);
  const double q = e.Zustand.Aktuell.Q * f;
  TNeueZeile z{FErgebnisse.CDSAnimation};
  z("Zeit", sim.Zeit)("Q", q);
  if (const auto* est = dynamic_cast<const TEST*>(&e)) {
    z("P1", est->Drossel.Aktuell.Q * f)("P2", est->BUE.Zustand.Aktuell.Q * f)(
        "P3", est->HQ1ist() + est->Zustand.Aktuell.Qurban * f)("P4", est->Speicher.Aktuell.Q);
  } else if (const auto* b = dynamic_cast<const TBauwerk*>(&e)) {
    z("P1", b->Drossel.Aktuell.Q * f)("P2", b->BUE.Zustand.Aktuell.Q * f)(
        "P3", b->KUE.Zustand.Aktuell.Q * f)("P4", b->Speicher.Aktuell.Q);
  } else {
    z("P1", (e.Zustand.Aktuell.QS + e.Zustand.Aktuell.QF) * f);
  }
  FAnimationMaxQ = std::max(FAnimationMaxQ, q);
}

TDataModule2& TSimulationsLauf::Ergebnisse() {
  TDataModule2::Uebernehmen(FErgebnisse.CDSFehler, CDSFehler);
  TDataModule2::Uebernehmen(FErgebnisse.CDSReport, CDSReport);
  FErgebnisse.CDSREG1.Leeren();
  for (const TRegenschreiberZeile& r : CDSREG1)
    TNeueZeile{FErgebnisse.CDSREG1}("Element", r.Element)("Station", r.Station)(
        "Anfangsdatum", r.Anfangsdatum)("Enddatum", r.Enddatum);
  return FErgebnisse;
}

bool operator==(const TStartzustaende& a, const TStartzustaende& b) {
  auto gleich = [](const std::vector<TStartCondition>& x, const std::vector<TStartCondition>& y) {
    return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                      [](const TStartCondition& p, const TStartCondition& q) {
                        return p.FV1 == q.FV1 && p.FV2 == q.FV2;
                      });
  };
  return gleich(a.Element, b.Element) && std::equal(a.Einheiten.begin(), a.Einheiten.end(),
                                                    b.Einheiten.begin(), b.Einheiten.end(), gleich);
}

TLaufResultat TSimulationsLauf::Resultat() {
  TLaufResultat r;
  r.Ergebnis = FErgebnis;
  Ergebnisse();
  r.Tabellen = std::exchange(FErgebnisse, TDataModule2{});
  r.Jahre = Jahre;
  if (FErgebnis == TLaufErgebnis::Abgewiesen) return r;
  for (const TElement* e : FSim->Reihenfolge) {
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      r.Startzustaende[e->Name()].Element = k->ABs;
    } else if (const auto* a = dynamic_cast<const TAEO*>(e)) {
      TStartzustaende& z = r.Startzustaende[e->Name()];
      z.Element = a->ABs;
      for (const THRU& u : a->HRUs) z.Einheiten.push_back(u.ABs);
    }
  }
  return r;
}

}  // namespace t21
