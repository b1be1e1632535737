// Simulation runs as jobs: how long a cancel takes to end a ten-year run of
// the benchmark network (wall time from Abbrechen() to the end of the
// worker), and what copying the project for a job costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "document/lauf_auftrag.h"
#include "support/bench_netz.h"

using namespace t21;

namespace {

const std::string kRegen = std::string(T21_QUELLE) + "/beispiel/Beispiel_Regen.REG";

TDateTime Tag(int j, int m, int t) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d;
}

void BM_AbbruchZehnJahre(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, kRegen);
  for (auto _ : state) {
    state.PauseTiming();
    TLaufAuftrag auftrag(m, 1, Tag(2001, 1, 1), Tag(2011, 1, 1));
    auftrag.Starte();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (auftrag.Fertig()) state.SkipWithError("Lauf schon zu Ende");
    state.ResumeTiming();
    auftrag.Abbrechen();
    const TLaufAuftragsErgebnis e = auftrag.Warte();
    if (e.Resultat.Ergebnis != TLaufErgebnis::Abgebrochen) state.SkipWithError("nicht abgebrochen");
  }
}

void BM_KopieFuerAuftrag(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, kRegen);
  for (auto _ : state) {
    TLaufAuftrag auftrag(m, 1, Tag(2001, 1, 1), Tag(2011, 1, 1));
    benchmark::DoNotOptimize(auftrag.Revision());
  }
}

}  // namespace

BENCHMARK(BM_AbbruchZehnJahre)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_KopieFuerAuftrag)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
