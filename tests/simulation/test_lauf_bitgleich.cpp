// The long run leaves work undone that no result needs (the pH of the sets
// it hands on, stores or spills). Its result tables must equal, to the bit,
// those of the run that does all of it, on the shipped example, on the peer
// network of the benchmarks and on a small network with every kind of
// element, a measure whose treated outflow takes its tank's pH among them.
// The same holds for the step on several threads against one thread.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include "bench/peer_netz.h"
#include "model/elements.h"
#include "model/network.h"
#include "simulation/lauf.h"
#include "storage/projektdatei.h"
#include "support/ergebnisabbild.h"

namespace t21 {
namespace {

namespace fs = std::filesystem;

const fs::path kBeispiel = fs::path(T21_QUELLE) / "beispiel";

TDateTime Tag(int j, int m, int t) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d;
}

void Beispiel(TM3Model& m) {
  const TLadeErgebnis g = A3_Laden(m, (kBeispiel / "Beispiel").string());
  ASSERT_TRUE(g.Ok) << g.Fehler;
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / r->FileName).string());
}

void Peer(TM3Model& m) {
  bench::BauePeerNetz(m, (kBeispiel / "Beispiel_Regen.REG").string());
}

// Every kind that steps: combined, foul and storm catchments, a connector
// with delay, a CSO tank, a CSO overflow, a clarifier, a measure keeping its
// tank's pH (ETA.PH 0), the treatment plant and a discharge point with a
// throttle and storage.
void AlleArten(TM3Model& m) {
  auto neu = [&](const char* typ, const char* name) { return m.CreateNewShape(typ, name, 0, 0); };
  auto el = [](TCadShape* s) { return TM3Model::ElementOf(s); };
  auto kem = [&](TCadShape* s, double ae) {
    auto& k = dynamic_cast<TKEZ&>(*el(s));
    k.SetData(400, 60, 0, 7.5, 800, 300, 40, 0, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2, 0, 15,
              0, 0.9, 2, 0, 3, 5, 0.3, 2, 0.5);
    k.AEs.Liste = {TAE{"A", ae, 40, 1, ae * 0.4, 2}};
  };
  TNET& net = m.Netz();
  TCadShape* reg = neu("REG", "R");
  dynamic_cast<TREG&>(*el(reg)).SetData((kBeispiel / "Beispiel_Regen.REG").string());
  TCadShape *m1 = neu("KEM", "M1"), *s1 = neu("KES", "S1"), *t1 = neu("KER", "T1");
  TCadShape *m2 = neu("KEM", "M2"), *m3 = neu("KEM", "M3");
  TCadShape *con = neu("CON", "C"), *rub = neu("RUB", "B"), *ru = neu("RU", "U");
  TCadShape *rkb = neu("RKB", "K"), *oma = neu("OMA", "O"), *klg = neu("KLG", "A");
  TCadShape* est = neu("EST", "E");
  kem(m1, 12);
  kem(s1, 0);
  kem(t1, 6);
  kem(m2, 5);
  kem(m3, 8);
  dynamic_cast<TCON&>(*el(con)).SetData(10);
  dynamic_cast<TRUB&>(*el(rub)).SetData(20, 50, 200, false, 0, 10, 10, 15, 0);
  dynamic_cast<TRU&>(*el(ru)).SetData(8, 999999, 0, false, 0, 10, 10, 15, 0);
  dynamic_cast<TRKB&>(*el(rkb)).SetData(5, 20, 100, false, 50, 10, 10, 15, 0);
  dynamic_cast<TOMA&>(*el(oma)).SetData(5, 80, 60, 90, 0, 0, 80, 0.5, "Bodenfilter", 50, 999999,
                                        true, 60, 30, 10);
  dynamic_cast<TEST&>(*el(est)).SetData(4, 0.2, 12, 7.4, 2.5, 310, 305, 1500, 2, 1.2, 5, 30, 0.3,
                                        0.4, 12, 4, 120, 2500, false, false, false, false, false,
                                        "0", "II", "3", 9, 0, false, false, 0, 0, 0, 0, 0.1, true,
                                        300, 500, false, net);
  for (TCadShape* k : {m1, s1, t1, m2, m3}) k->SetREG(reg);
  for (TCadShape* k : {m1, t1, m2, m3}) k->SetGEW(est);
  m1->SetParent(con);
  s1->SetParent(con);
  con->SetParent(rub);
  rub->SetParent(klg);
  rub->SetKUE(oma);
  rub->SetGEW(est);
  m2->SetParent(ru);
  ru->SetParent(klg);
  ru->SetKUE(est);
  t1->SetParent(rkb);
  rkb->SetParent(est);
  rkb->SetKUE(est);
  rkb->SetGEW(est);
  m3->SetParent(oma);
  oma->SetParent(klg);
  oma->SetKUE(est);
  oma->SetGEW(est);
  klg->SetParent(est);
  est->SetParent(m.Root());
  m.AllesRechnen();
}

// Every kind as above, and two more storm catchments each into a clarifier
// of its own that hands everything to the discharge point: sub-networks that
// step side by side on threads, between elements that do not, all handing
// on to the same discharge point.
void AlleArtenMitTeilnetzen(TM3Model& m) {
  AlleArten(m);
  TCadShape* reg = nullptr;
  TCadShape* est = nullptr;
  for (int i = 0; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (s->Name == "R") reg = s;
    if (s->Name == "E") est = s;
  }
  ASSERT_TRUE(reg && est);
  for (int i = 1; i <= 2; ++i) {
    TCadShape* t = m.CreateNewShape("KER", "T" + std::to_string(i + 1), 0, 0);
    TCadShape* k = m.CreateNewShape("RKB", "K" + std::to_string(i + 1), 0, 0);
    auto& ker = dynamic_cast<TKEZ&>(*TM3Model::ElementOf(t));
    ker.SetData(0, 0, 0, 7.5, 800, 300, 40, 0, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2, 0, 15,
                0, 0.9, 2, 0, 3, 5, 0.3, 2, 0.5);
    ker.AEs.Liste = {TAE{"A", 4.0 * i, 40, 1, 1.5 * i, 2}};
    dynamic_cast<TRKB&>(*TM3Model::ElementOf(k))
        .SetData(2 * i, 10, 40 * i, false, 30, 10, 10, 15, 0);
    t->SetREG(reg);
    t->SetGEW(est);
    t->SetParent(k);
    k->SetParent(est);
    k->SetKUE(est);
    k->SetGEW(est);
  }
  m.AllesRechnen();
}

std::string Lauf(const std::function<void(TM3Model&)>& bauen, TDateTime von, TDateTime bis,
                 bool voll, int threads = 1, int* genutzt = nullptr) {
  TM3Model m;
  bauen(m);
  TSimulationsLauf lauf(m);
  lauf.SetzeVolleRechnung(voll);
  lauf.SetzeThreads(threads);
  EXPECT_TRUE(lauf.Vorbereiten(von, bis));
  if (genutzt) *genutzt = lauf.Threads();
  lauf.Schritte(std::numeric_limits<int64_t>::max());
  EXPECT_EQ(lauf.Abschliessen(), TLaufErgebnis::Abgeschlossen);
  return test::Abbild(lauf.Ergebnisse());
}

struct TFall {
  const char* Name;
  std::function<void(TM3Model&)> Bauen;
  TDateTime Von, Bis;
};

TEST(LaufBitgleich, WieDieVolleRechnung) {
  const TFall faelle[] = {
      {"Beispiel", Beispiel, Tag(2001, 1, 1), Tag(2003, 1, 1)},
      {"Peer-Netz", Peer, Tag(2001, 6, 1), Tag(2001, 8, 1)},
      {"alle Arten", AlleArten, Tag(2001, 1, 1), Tag(2002, 3, 1)},
  };
  for (const TFall& f : faelle) {
    SCOPED_TRACE(f.Name);
    const std::string sparsam = Lauf(f.Bauen, f.Von, f.Bis, false);
    const std::string voll = Lauf(f.Bauen, f.Von, f.Bis, true);
    // The run produced events and balances, not an empty table set.
    EXPECT_GT(sparsam.size(), 10000u);
    EXPECT_TRUE(sparsam == voll);
  }
}

TEST(LaufBitgleich, AufMehrerenThreadsWieAufEinem) {
  const TFall faelle[] = {
      {"Peer-Netz", Peer, Tag(2001, 6, 1), Tag(2001, 7, 15)},
      {"Teilnetze", AlleArtenMitTeilnetzen, Tag(2001, 1, 1), Tag(2001, 9, 1)},
  };
  for (const TFall& f : faelle) {
    SCOPED_TRACE(f.Name);
    const std::string einer = Lauf(f.Bauen, f.Von, f.Bis, false);
    EXPECT_GT(einer.size(), 10000u);
    for (int threads : {2, 3}) {
      SCOPED_TRACE(threads);
      int genutzt = 0;
      EXPECT_TRUE(Lauf(f.Bauen, f.Von, f.Bis, false, threads, &genutzt) == einer);
      EXPECT_EQ(genutzt, threads);
    }
  }
}

// Between two steps (where a run stops to report or to be stepped on by
// hand) every element's sets stand as on one thread, though the threads'
// structures end their steps later.
TEST(LaufBitgleich, ZwischenDenSchrittenWieAufEinem) {
  TM3Model m1, m2;
  Peer(m1);
  Peer(m2);
  TSimulationsLauf einer(m1), zwei(m2);
  zwei.SetzeThreads(2);
  ASSERT_TRUE(einer.Vorbereiten(Tag(2001, 6, 1), Tag(2001, 6, 4)));
  ASSERT_TRUE(zwei.Vorbereiten(Tag(2001, 6, 1), Tag(2001, 6, 4)));
  ASSERT_EQ(zwei.Threads(), 2);
  const auto& r1 = einer.Simulation().Reihenfolge;
  const auto& r2 = zwei.Simulation().Reihenfolge;
  ASSERT_EQ(r1.size(), r2.size());
  bool fertig = false;
  for (int halt = 0; !fertig && halt < 1000; ++halt) {
    // Stops inside blocks and at their ends.
    const int64_t n = halt % 3 == 0 ? 7 : 1;
    fertig = einer.Schritte(n);
    ASSERT_EQ(zwei.Schritte(n), fertig);
    for (size_t k = 0; k < r1.size(); ++k) {
      const TState& a = r1[k]->Zustand;
      const TState& b = r2[k]->Zustand;
      ASSERT_EQ(std::memcmp(&a.Aktuell, &b.Aktuell, kFrachtenFelder), 0)
          << r1[k]->Name() << " nach Halt " << halt;
      ASSERT_EQ(std::memcmp(&a.OldQZu, &b.OldQZu, sizeof(double)), 0) << r1[k]->Name();
    }
  }
  EXPECT_TRUE(fertig);
}

// Networks that step on one thread whatever is asked: one with an active
// script (a script may read any element in the middle of the step), and the
// example, whose tanks take their inflow through connectors.
TEST(LaufBitgleich, AufEinemThread) {
  auto mitSkript = [](TM3Model& m) {
    Peer(m);
    for (int i = 0; i < m.Count(); ++i)
      if (auto* b = dynamic_cast<TRUB*>(TM3Model::ElementOf(m.GetNode(i)))) {
        b->Script = {"QD := 20"};
        b->ScriptActive = true;
        break;
      }
  };
  for (const auto& bauen : {std::function<void(TM3Model&)>(mitSkript), std::function(Beispiel)}) {
    TM3Model m;
    bauen(m);
    TSimulationsLauf lauf(m);
    lauf.SetzeThreads(2);
    ASSERT_TRUE(lauf.Vorbereiten(Tag(2001, 6, 1), Tag(2001, 6, 2)));
    EXPECT_EQ(lauf.Threads(), 1);
  }
}

}  // namespace
}  // namespace t21
