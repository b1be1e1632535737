// Long-term simulation runs of ten years of 5-minute rain: the example
// project, a generated network of 100 combined catchments, each through a
// CSO tank, onto a river with 10 discharge points, and the peer network of
// bench/peer_netz.h (the same layout with 10 ha catchments, 300 m3 tanks and
// 2.5-minute steps) over one and ten years. Then the steps of the runoff and
// structure kinds alone, with the heap allocations per step (counter
// "allocs").
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "bench/peer_netz.h"
#include "model/network.h"
#include "simulation/lauf.h"
#include "storage/projektdatei.h"
#include "support/allokationen.h"
#include "support/bench_netz.h"

using namespace t21;
using t21::test::gAllokationen;

namespace {

const std::string kBeispiel = std::string(T21_QUELLE) + "/beispiel/";

TDateTime Tag(int j, int m, int t) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d;
}

double SpitzeMB() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return static_cast<double>(r.ru_maxrss) / 1024;  // kB on Linux
}

void Laufen(benchmark::State& state, TM3Model& m, int jahre = 10, int threads = 1) {
  double elementschritte = 0, zellen = 0;
  for (auto _ : state) {
    TSimulationsLauf lauf(m);
    lauf.SetzeThreads(threads);
    const TLaufErgebnis e = lauf.Starte(Tag(2001, 1, 1), Tag(2001 + jahre, 1, 1));
    if (e != TLaufErgebnis::Abgeschlossen) state.SkipWithError("Lauf nicht abgeschlossen");
    const TSimulation& sim = lauf.Simulation();
    elementschritte += static_cast<double>(sim.step) * static_cast<double>(sim.Reihenfolge.size());
    zellen = 0;
    for (const TTabelle* t : lauf.Ergebnisse().Tabellen())
      zellen += static_cast<double>(t->Anzahl()) * t->Spalten();
    benchmark::DoNotOptimize(m.Netz().Zustand.Summe.Q);
  }
  state.counters["Elementschritte"] =
      benchmark::Counter(elementschritte, benchmark::Counter::kIsRate);
  state.counters["Spitze_MB"] = SpitzeMB();
  // The values of the result rows (what may grow with the years).
  state.counters["Ergebniswerte"] = zellen;
}

void RegenDateien(TM3Model& m) {
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData(kBeispiel + "Beispiel_Regen.REG");
}

void BM_Beispiel10Jahre(benchmark::State& state) {
  TM3Model m;
  const TLadeErgebnis g = A3_Laden(m, kBeispiel + "Beispiel");
  if (!g.Ok) {
    state.SkipWithError(g.Fehler.c_str());
    return;
  }
  RegenDateien(m);
  Laufen(state, m);
}

// The benchmark network of tests/support/bench_netz.h.
void BM_Netz100Jahre10(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, kBeispiel + "Beispiel_Regen.REG");
  Laufen(state, m, static_cast<int>(state.range(0)));
}

// The peer network: 211 elements step every 2.5 minutes. Arguments: years,
// threads of the step.
void BM_PeerNetz(benchmark::State& state) {
  TM3Model m;
  bench::BauePeerNetz(m, kBeispiel + "Beispiel_Regen.REG");
  Laufen(state, m, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}

// The per-step work of a combined, a foul and a storm catchment, a
// connector with a delay of two steps, a CSO tank, a CSO overflow, a
// clarifier, a measure and the treatment plant, stepped without the driver:
// an hour of rain, then eleven dry hours, over and over.
void BM_Elementschritte(benchmark::State& state) {
  TM3Model m;
  auto neu = [&](const char* typ, const char* name) {
    return TM3Model::ElementOf(m.CreateNewShape(typ, name, 0, 0));
  };
  auto kem = [](TElement* e, double ae) {
    auto& k = dynamic_cast<TKEZ&>(*e);
    k.SetData(400, 60, 0, 7.5, 800, 300, 40, 0, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2, 0, 15,
              0, 0.9, 2, 0, 3, 5, 0.3, 2, 0.5);
    k.AEs.Liste = {TAE{"A", ae, 40, 2, 1, 2}};
  };
  std::vector<TElement*> e{neu("KEM", "M"), neu("KES", "S"),  neu("KER", "T"), neu("CON", "C"),
                           neu("RUB", "B"), neu("KEM", "M2"), neu("RU", "U"),  neu("RKB", "K"),
                           neu("OMA", "O"), neu("KLG", "A")};
  kem(e[0], 8);
  kem(e[1], 0);
  kem(e[2], 5);
  kem(e[5], 3);
  dynamic_cast<TCON&>(*e[3]).SetData(10);
  dynamic_cast<TRUB&>(*e[4]).SetData(20, 50, 200, false, 0, 10, 10, 15, 0);
  dynamic_cast<TRU&>(*e[6]).SetData(8, 999999, 0, false, 0, 10, 10, 15, 0);
  dynamic_cast<TRKB&>(*e[7]).SetData(5, 20, 100, false, 50, 10, 10, 15, 0);
  dynamic_cast<TOMA&>(*e[8]).SetData(5, 80, 60, 90, 0, 0, 80, 0.5, "Bodenfilter", 50, 999999, true,
                                     60, 30, 10);
  auto s = [&](int i) { return e[static_cast<size_t>(i)]->Owner; };
  s(0)->SetParent(s(3));
  s(1)->SetParent(s(3));
  s(3)->SetParent(s(4));
  s(4)->SetParent(s(9));
  s(4)->SetKUE(s(8));
  s(5)->SetParent(s(6));
  s(6)->SetParent(s(9));
  s(2)->SetParent(s(7));
  s(7)->SetParent(s(9));
  s(8)->SetParent(s(9));
  m.AllesRechnen();

  TSimulation sim;
  sim.Netz = &m.Netz();
  sim.Referenz = &m.Referenz;
  sim.Start = Tag(2001, 1, 1);
  sim.Ende = Tag(2011, 1, 1);
  sim.Zeit = sim.Start;
  sim.SetTagesTemperatur();
  for (TElement* x : e) x->SimVorbereiten(sim);
  for (TElement* x : {e[0], e[2], e[5]}) x->SimZeitschrittGrenze(sim);
  for (TElement* x : e) x->SimStart(sim);
  std::vector<TKEZ*> gebiete{dynamic_cast<TKEZ*>(e[0]), dynamic_cast<TKEZ*>(e[1]),
                             dynamic_cast<TKEZ*>(e[2]), dynamic_cast<TKEZ*>(e[5])};

  long schritte = 0;
  const long vorher = gAllokationen.load();
  for (auto _ : state) {
    sim.IsBilanzZeit = true;
    sim.HasAbfluss = sim.EsRegnet = sim.Muldenfuellung = false;
    const bool regen = schritte % 144 < 12;
    sim.SetAktTemperatur();
    for (TKEZ* k : gebiete) k->ReceiveRain(sim, regen ? 1.2 : -sim.Epot);
    for (TElement* x : e) x->SimCalc(sim);
    m.Netz().SimCalc(sim);
    for (TElement* x : e) x->SimSchrittEnde(sim);
    m.Netz().SimSchrittEnde(sim);
    sim.IncZeit();
    ++schritte;
  }
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(gAllokationen.load() - vorher) /
                                                static_cast<double>(schritte));
  state.SetItemsProcessed(schritte * static_cast<long>(e.size()));
  benchmark::DoNotOptimize(m.Netz().Zustand.Jahr.Q);
}

}  // namespace

BENCHMARK(BM_Elementschritte);
BENCHMARK(BM_Beispiel10Jahre)->Unit(benchmark::kSecond)->Iterations(1);
// Argument: years simulated (memory must not grow with them beyond the
// result rows).
BENCHMARK(BM_Netz100Jahre10)->Unit(benchmark::kSecond)->Iterations(1)->Arg(10)->Arg(1);
// Arguments: years simulated, threads. The peak memory is the process's: run
// the two lengths in processes of their own to compare them
// (--benchmark_filter). With threads the time that counts is the wall time.
BENCHMARK(BM_PeerNetz)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime()
    ->ArgsProduct({{1, 10}, {1, 2}});
BENCHMARK_MAIN();
