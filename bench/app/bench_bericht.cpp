// The whole verification report of a generated project of about 2,000
// elements (20 discharge points with 50 catchments and 50 tanks each)
// rendered to PDF: as the program does it (BM_Bericht2000), and for
// comparison in one go, with and without the text cache (BM_Bericht2000/
// EinTeil, BM_Bericht2000/EinTeilOhneTextCache: the rendering before both).
// With --ausgabe=ORDNER the PDFs are kept there, named after the variant.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstring>

#include "report/bericht.h"
#include "storage/projektdatei.h"
#include "support/bench_netz.h"

using namespace t21;

namespace {

QString gAusgabe;

void Bericht(benchmark::State& state, const char* name, TBerichtLauf lauf) {
  // The project as the program holds it after opening it: through the
  // project file's form, which derives what the generator sets directly
  // (the sealed share of the sub-areas).
  TM3Model gebaut, m;
  test::BaueBenchNetz(gebaut, "", 20, 50);
  ModellAusPaket(m, *ModellAlsPaket(gebaut), "");
  const auto liste = Druckliste(m, {});
  QTemporaryDir ordner;
  const QString pfad = (gAusgabe.isEmpty() ? ordner.path() : gAusgabe) + "/" + name + ".pdf";
  const std::string datei = pfad.toStdString();
  int seiten = 0;
  for (auto _ : state) {
    std::string fehler;
    seiten = BerichtAlsPdf(m, liste, datei, fehler, {}, 300, lauf);
    if (seiten < 0) state.SkipWithError(fehler.c_str());
  }
  state.counters["elemente"] = static_cast<double>(liste.size());
  state.counters["seiten"] = seiten;
}

}  // namespace

static void BM_Bericht2000(benchmark::State& state) {
  Bericht(state, "Bericht", {});
}
BENCHMARK(BM_Bericht2000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

static void BM_Bericht2000_EinTeil(benchmark::State& state) {
  Bericht(state, "EinTeil", {1, true});
}
BENCHMARK(BM_Bericht2000_EinTeil)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

static void BM_Bericht2000_EinTeilOhneTextCache(benchmark::State& state) {
  Bericht(state, "EinTeilOhneTextCache", {1, false});
}
BENCHMARK(BM_Bericht2000_EinTeilOhneTextCache)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int n = 0;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--ausgabe=", 10) == 0)
      gAusgabe = QDir(QString::fromLocal8Bit(argv[i] + 10)).absolutePath();
    else
      argv[n++] = argv[i];
  }
  argc = n;
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
