// Long-term simulation runs of ten years of 5-minute rain: the example
// project, and a generated network of 100 combined catchments, each through
// a CSO tank, onto a river with 10 discharge points.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "model/network.h"
#include "simulation/lauf.h"
#include "storage/projektdatei.h"

using namespace t21;

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

void Laufen(benchmark::State& state, TM3Model& m) {
  double elementschritte = 0;
  for (auto _ : state) {
    TSimulationsLauf lauf(m);
    const TLaufErgebnis e = lauf.Starte(Tag(2001, 1, 1), Tag(2011, 1, 1));
    if (e != TLaufErgebnis::Abgeschlossen) state.SkipWithError("Lauf nicht abgeschlossen");
    const TSimulation& sim = lauf.Simulation();
    elementschritte += static_cast<double>(sim.step) * static_cast<double>(sim.Reihenfolge.size());
    benchmark::DoNotOptimize(m.Netz().Zustand.Summe.Q);
  }
  state.counters["Elementschritte"] =
      benchmark::Counter(elementschritte, benchmark::Counter::kIsRate);
  state.counters["Spitze_MB"] = SpitzeMB();
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

// 100 combined catchments of 6 ha (40 % sealed), each through its own CSO
// tank; ten tanks discharge at each of ten points along one river.
void BM_Netz100Jahre10(benchmark::State& state) {
  TM3Model m;
  TNET& net = m.Netz();
  TCadShape* reg = m.CreateNewShape("REG", "R", 0, 0);
  TCadShape* unten = m.Root();
  for (int p = 9; p >= 0; --p) {
    TCadShape* est = m.CreateNewShape("EST", "E" + std::to_string(p), 0, 0);
    dynamic_cast<TEST&>(*TM3Model::ElementOf(est))
        .SetData(4, 0.2, 12, 7.4, 2.5, 310 - 5 * p, 305 - 5 * p, 1500, 2, 1.2, 5, 30, 0.3, 0.4,
                 12 + 10 * p, 4, 120, 2500 + 1500 * p, false, false, false, false, false, "0", "II",
                 "3", 9, 0, false, false, 0, 0, 0, 0, 0.1, false, 0, 0, false, net);
    est->SetParent(unten);
    unten = est;
    for (int k = 0; k < 10; ++k) {
      const std::string nr = std::to_string(p * 10 + k);
      TCadShape* ke = m.CreateNewShape("KEM", "K" + nr, 0, 0);
      auto& kem = dynamic_cast<TKEM&>(*TM3Model::ElementOf(ke));
      kem.SetData(400, 60, 0, 7.5, 800, 300, 40, 0, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2, 0,
                  15, 0, 0.9, 2, 0, 3, 5, 0.3, 2, 0.5);
      kem.AEs.Liste = {TAE{"A", 6, 40, 2, 1, 2}};
      TCadShape* b = m.CreateNewShape("RUB", "B" + nr, 0, 0);
      dynamic_cast<TRUB&>(*TM3Model::ElementOf(b))
          .SetData(15, 999999, 150, false, 0, 10, 10, 15, 0);
      ke->SetParent(b);
      ke->SetREG(reg);
      ke->SetGEW(est);
      b->SetParent(est);
      b->SetKUE(est);
      b->SetGEW(est);
    }
  }
  m.AllesRechnen();
  RegenDateien(m);
  Laufen(state, m);
}

}  // namespace

BENCHMARK(BM_Beispiel10Jahre)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_Netz100Jahre10)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_MAIN();
