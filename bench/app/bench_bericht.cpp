// The whole verification report of a generated project of about 2,000
// elements (20 discharge points with 50 catchments and 50 tanks each)
// rendered to PDF.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "report/bericht.h"
#include "support/bench_netz.h"

using namespace t21;

static void BM_Bericht2000(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, "", 20, 50);
  const auto liste = Druckliste(m, {});
  QTemporaryDir ordner;
  const std::string datei = ordner.filePath("Bericht.pdf").toStdString();
  int seiten = 0;
  for (auto _ : state) {
    std::string fehler;
    seiten = BerichtAlsPdf(m, liste, datei, fehler);
    if (seiten < 0) state.SkipWithError(fehler.c_str());
  }
  state.counters["elemente"] = static_cast<double>(liste.size());
  state.counters["seiten"] = seiten;
}
BENCHMARK(BM_Bericht2000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
