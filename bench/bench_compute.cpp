// The double compute pass over a generated tree network.
#include <benchmark/benchmark.h>

#include <string>

#include "model/network.h"

using namespace t21;

namespace {

// A tree of n elements below one discharge point: every inner node (a
// connector or a CSO tank) collects four subtrees, the leaves are combined
// catchments with two sub-areas each.
void BaueBaum(TM3Model& m, int n) {
  TCadShape* est = m.CreateNewShape("EST", "E", 0, 0);
  std::vector<TCadShape*> offen{est};
  int zahl = 1;
  size_t kopf = 0;
  while (zahl < n) {
    TCadShape* oben = offen[kopf++];
    for (int k = 0; k < 4 && zahl < n; ++k, ++zahl) {
      const bool blatt = zahl * 4 >= n;
      const char* typ = blatt ? "KEM" : (zahl % 3 == 0 ? "RUB" : "CON");
      TCadShape* s = m.CreateNewShape(typ, "E" + std::to_string(zahl), 0, 0);
      s->SetParent(oben);
      TElement* e = TM3Model::ElementOf(s);
      if (auto* c = dynamic_cast<TCON*>(e)) c->TF = 2;
      if (auto* kem = dynamic_cast<TKEM*>(e)) {
        kem->SetData(400, 60, 0, 7.5, 800, 0, 0, 0, 7, 0, 60, 150, 10, 0, 0, 0, 0.05, 2, 0, 10, 0,
                     0.9, 0, 0, 3, 5, 0.3, 2, 0.5);
        TAE a{"A", 2, 50, 1, 1, 1};
        TAE b{"B", 1, 30, 1, 0.3, 2};
        kem->AEs.Liste = {a, b};
      }
      if (!blatt) offen.push_back(s);
    }
  }
}

void BM_DoppelterRechengang(benchmark::State& state) {
  TM3Model m;
  BaueBaum(m, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    m.AllesRechnen();
    benchmark::DoNotOptimize(m.Netz().AB[9].Q);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}

}  // namespace

BENCHMARK(BM_DoppelterRechengang)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
