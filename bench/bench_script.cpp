// DoScript of a typical 20-line management script on a CSO tank, as every
// simulation step runs it; the preparation for comparison. The counter
// "allocs" is the heap allocations per execution.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "model/network.h"
#include "script/benutzerformat.h"
#include "script/interpreter.h"
#include "script/pruefung.h"
#include "support/allokationen.h"

using namespace t21;
using t21::test::gAllokationen;
using namespace t21::script;

namespace {

// Raises the throttle of the tank with its filling, counts rain time and
// night steps and keeps the peak and mean inflow.
const std::vector<std::string> kScript = {
    "BEGIN",
    "  { Steuerung nach Füllstand und Zufluss }",
    "  n := n + 1;",
    "  v := VOLUMEN(SELF);",
    "  s := INHALT(SELF);",
    "  f := s / v;",
    "  zu := ZUFLUSS(SELF);",
    "  IF f > 0.5 THEN",
    "    QD := 2 * DROSSEL(SELF)",
    "  ELSE IF f > 0.25 THEN",
    "    QD := 1.5 * DROSSEL(SELF)",
    "  ELSE",
    "    QD := DROSSEL(SELF);",
    "  IF zu > 100 THEN _regen := _regen + DT;",
    "  spitze := MAX(spitze, zu);",
    "  stunde := HOUROF(ZEIT);",
    "  IF (stunde >= 22) OR (stunde < 6) THEN nacht := nacht + 1;",
    "  summe := summe + zu * DT * 60 / 1000;",
    "  mittel := summe / n",
    "END",
};

// The same without element functions: names, numbers and operators only.
const std::vector<std::string> kRechnen = {
    "BEGIN",
    "  n := n + 1;",
    "  f := n MOD 7 / 7;",
    "  IF f > 0.5 THEN q := 2 * 40 ELSE IF f > 0.25 THEN q := 1.5 * 40 ELSE q := 40;",
    "  IF q > 50 THEN _lang := _lang + DT;",
    "  spitze := MAX(spitze, q);",
    "  stunde := HOUROF(ZEIT);",
    "  IF (stunde >= 22) OR (stunde < 6) THEN nacht := nacht + 1;",
    "  summe := summe + q * DT * 60 / 1000;",
    "  mittel := summe / n",
    "END",
};

struct TBecken {
  TM3Model m;
  TSimulation sim;
  TBauwerk* b = nullptr;
  TbbInterpreter ip{m};

  TBecken() {
    b = dynamic_cast<TBauwerk*>(TM3Model::ElementOf(m.CreateNewShape("RUB", "RÜB 1", 0, 0)));
    b->QD = 40;
    b->QDaktiv = 40;
    b->Volumen = 800;
    b->Speicher.Aktuell.Q = 450.5;
    b->Zustand.Aktuell.Q = 36;  // 120 l/s in the 5-minute step
    sim.Zeit = 36526.25;
    sim.Reihenfolge = {b};
    ip.SetSimulation(&sim);
  }
};

void Lauf(benchmark::State& state, const std::vector<std::string>& script) {
  TBecken t;
  std::vector<std::string> liste, fehler;
  TScriptCode code = t.ip.PrepareScript(script, liste, fehler);
  if (!fehler.empty()) {
    state.SkipWithError(fehler[0].c_str());
    return;
  }
  t.ip.DoScript(*t.b, code);
  const long vorher = gAllokationen.load();
  for (auto _ : state) {
    t.ip.DoScript(*t.b, code);
    benchmark::DoNotOptimize(t.b->QDaktiv);
  }
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(gAllokationen.load() - vorher),
                                                benchmark::Counter::kAvgIterations);
  state.counters["Anweisungen"] = static_cast<double>(liste.size());
}

void BM_DoScript(benchmark::State& state) {
  Lauf(state, kScript);
}
BENCHMARK(BM_DoScript);

void BM_DoScriptOhneElementfunktionen(benchmark::State& state) {
  Lauf(state, kRechnen);
}
BENCHMARK(BM_DoScriptOhneElementfunktionen);

// The step hook of the structures: the element's Tokens, compiled at its
// first step.
void BM_DoScriptSchritt(benchmark::State& state) {
  TBecken t;
  std::vector<std::string> fehler;
  t.ip.PrepareScript(kScript, t.b->Tokens, fehler);
  TScriptLauf& lauf = t.ip;
  lauf.DoScript(*t.b, t.sim);
  for (auto _ : state) {
    lauf.DoScript(*t.b, t.sim);
    benchmark::DoNotOptimize(t.b->QDaktiv);
  }
}
BENCHMARK(BM_DoScriptSchritt);

void BM_PrepareScript(benchmark::State& state) {
  TBecken t;
  for (auto _ : state) {
    std::vector<std::string> liste, fehler;
    TScriptCode code = t.ip.PrepareScript(kScript, liste, fehler);
    benchmark::DoNotOptimize(code.Befehle.data());
  }
}
BENCHMARK(BM_PrepareScript);

// Long lines, whose check was quadratic: 200,000 characters of REPEATs and
// stray "}", 50,000 statements on one line, and FORMATFLOAT with a pattern
// of 200,000 zeros (evaluated while preparing). Each must stay linear.
void BM_ScriptPruefenLangeZeile(benchmark::State& state) {
  std::string zeile = "begin ";
  while (zeile.size() < 200000) zeile += "repeat x := 1 until x } ";
  zeile += "end";
  const std::vector<std::string> script = {zeile};
  for (auto _ : state) {
    TScriptPruefung p = ScriptPruefen(script);
    benchmark::DoNotOptimize(p.Fehler.data());
  }
}
BENCHMARK(BM_ScriptPruefenLangeZeile)->Unit(benchmark::kMillisecond);

void BM_ScriptPruefenVieleAnweisungen(benchmark::State& state) {
  std::string zeile = "begin ";
  for (int i = 0; i < 50000; ++i) zeile += "x:=1;";
  zeile += "x:=1 end";
  const std::vector<std::string> script = {zeile};
  for (auto _ : state) {
    TScriptPruefung p = ScriptPruefen(script);
    benchmark::DoNotOptimize(p.Fehler.data());
  }
}
BENCHMARK(BM_ScriptPruefenVieleAnweisungen)->Unit(benchmark::kMillisecond);

void BM_FormatFloatNullen(benchmark::State& state) {
  const std::string muster(200000, '0');
  for (auto _ : state) {
    std::string r = FormatFloat(muster, 1.5, TBenutzerFormat{});
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_FormatFloatNullen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
