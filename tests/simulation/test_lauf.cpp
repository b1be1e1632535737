// The driver of a run: checks, main loop, events, cancel, parallel runs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "simulation/lauf.h"
#include "simulation/regengenerator.h"
#include "support/netzbau.h"
#include "support/regensatz.h"

using namespace t21;
using t21::test::KopfM;
using t21::test::Netzbau;
using t21::test::SatzM;
namespace fs = std::filesystem;

namespace {

TDateTime D(int j, int m, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

// A catchment stand-in whose runoff is its rain on its sealed area, at once;
// with schluckt it absorbs all rain.
class Sofortabfluss : public TKEM {
 public:
  bool schluckt = false;
  // No cascade: it admits the longest step.
  double SimZeitschrittGrenze(TSimulation&) override { return 5.0; }
  void ReceiveRain(TSimulation& sim, double regen) override {
    if (regen <= 0 || schluckt) return;
    sim.HasAbfluss = true;
    Zustand.Aktuell.Q += regen * AEb * 10;  // mm on ha -> m3
  }
};

// A reach of 1 m with a fall of 1 m: the river needs a fall, and this one
// passes what it gets in the same step (its storage constant is about
// 0.001 min, far below the step).
void KurzeStrecke(TEST& e) {
  e.Profil.SetData(1, 0, 1, 1, 30, 41);
  e.Profil.PH = 1;
  e.Profil.BWSP = 3;
}

class Lauf : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_lauf_" + std::to_string(::getpid()));
  Netzbau n;
  Sofortabfluss* k = nullptr;

  void SetUp() override {
    fs::create_directories(dir);
    TCadShape* ks = n.Neu("KEM", "K");
    auto e = std::make_unique<Sofortabfluss>();
    k = e.get();
    n.m.SetElement(ks, std::move(e));
    k->AEb = 2;
    n.Neu("EST", "E");
    KurzeStrecke(n.El<TEST>("E"));
    n.Neu("REG", "R");
    n.Parent("K", "E").KUE("K", "R").GEW("K", "E");
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Datei(const std::string& name, const std::string& inhalt) {
    const auto p = (dir / name).string();
    std::ofstream(p, std::ios::binary) << inhalt;
    return p;
  }
  void Regenreihe(const std::string& inhalt) { n.El<TREG>("R").SetData(Datei("r.reg", inhalt)); }
  void Synthetisch(int jahre = 2) {
    TRegenGenerator g;
    g.Jahre = jahre;
    std::string fehler;
    const auto p = (dir / "syn.reg").string();
    ASSERT_TRUE(g.Schreibe(p, fehler)) << fehler;
    n.El<TREG>("R").SetData(p);
  }
  bool Zeile(const std::vector<TMeldungZeile>& t, const TMeldungZeile& z) {
    return std::find(t.begin(), t.end(), z) != t.end();
  }
};

}  // namespace

TEST_F(Lauf, CompletesAndConservesTheRain) {
  Synthetisch();
  TSimulationsLauf lauf(n.m);
  ASSERT_EQ(lauf.Starte(D(2001, 7, 1), D(2002, 6, 30)), TLaufErgebnis::Abgeschlossen);
  const TSimulation& s = lauf.Simulation();
  EXPECT_EQ(lauf.Jahre, (std::vector<int>{2001, 2002}));
  ASSERT_GE(lauf.CDSReport.size(), 3u);
  EXPECT_EQ(lauf.CDSReport[0], (TMeldungZeile{"Bilanzierungsbeginn", "01.07.01 00:00:00", ""}));
  EXPECT_EQ(lauf.CDSReport[1], (TMeldungZeile{"Bilanzierungsende", "30.06.02 00:00:00", ""}));
  EXPECT_EQ(lauf.CDSReport[2], (TMeldungZeile{"erstes Intervall", "30.06.01 00:00:00", ""}));
  EXPECT_TRUE(Zeile(lauf.CDSFehler,
                    {"Warnung!", "Simulationsdauer < 1 Jahr", "Ergebnisse werden hochgerechnet"}));
  EXPECT_GE(s.step, 365 * 288);
  EXPECT_GE(s.Zeit, s.Ende - kZeitEps);
  EXPECT_EQ(n.El<TREG>("R").AEB, 2);
  // what fell on the sealed area in the balance period reached the root (the
  // year changes have closed the years into the totals of the run)
  const double regen = n.El<TREG>("R").Zustand.Summe.Regen();
  EXPECT_GT(regen, 300);
  EXPECT_NEAR(n.Netz().Zustand.Summe.Q, regen * 2 * 10, 1e-6 * regen);
  EXPECT_LT(n.El<TREG>("R").Zustand.Summe.Verdunstung(), 0);
  EXPECT_FALSE(s.SystemEreignisse.empty());
  EXPECT_EQ(lauf.CDSREG1.size(), 1u);
  EXPECT_EQ(lauf.CDSREG1[0].Element, "R");
}

TEST_F(Lauf, SystemEvents) {
  // showers at 10:00 and 15:00 (5 h apart) form one event; one at 22:00
  // (7 h after the last) a second; absorbed rain on 3 July none.
  Regenreihe(KopfM() + SatzM(D(2001, 7, 1, 10), 1000) + SatzM(D(2001, 7, 1, 15), 1000) +
             SatzM(D(2001, 7, 1, 22), 1000) + SatzM(D(2001, 7, 3, 10), 1000) +
             SatzM(D(2005, 1, 1), 0, true));
  TSimulationsLauf lauf(n.m);
  ASSERT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Abgeschlossen);
  const auto& ev = lauf.Simulation().SystemEreignisse;
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_NEAR(ev[0].Start, D(2001, 7, 1, 10), kZeitEps);
  EXPECT_NEAR(ev[0].Ende, D(2001, 7, 1, 15), kZeitEps);
  EXPECT_NEAR(ev[1].Start, D(2001, 7, 1, 22), kZeitEps);
  EXPECT_NEAR(ev[2].Start, D(2001, 7, 3, 10), kZeitEps);

  k->schluckt = true;
  ASSERT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Abgeschlossen);
  EXPECT_TRUE(lauf.Simulation().SystemEreignisse.empty());
}

TEST_F(Lauf, OpenEventKeepsTheRunGoing) {
  Regenreihe(KopfM() + SatzM(D(2001, 7, 4, 23), 1000) + SatzM(D(2005, 1, 1), 0, true));
  TSimulationsLauf lauf(n.m);
  ASSERT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Abgeschlossen);
  const auto& s = lauf.Simulation();
  ASSERT_EQ(s.SystemEreignisse.size(), 1u);
  // the rain at 23:00 closes after 6 h: the run went on cycle by cycle
  EXPECT_GT(s.Zeit, D(2001, 7, 5, 5));
  EXPECT_LT(s.Zeit, D(2001, 7, 5, 7));
}

TEST_F(Lauf, PreRunChecks) {
  Netzbau leer;
  TSimulationsLauf a(leer.m);
  EXPECT_EQ(a.Starte(D(2001, 1, 1), D(2002, 1, 1)), TLaufErgebnis::Abgewiesen);
  EXPECT_TRUE(
      Zeile(a.CDSFehler, {"Fehler!", "Das System enthält keinen Regenschreiber", "Abbruch"}));
  EXPECT_TRUE(Zeile(a.CDSFehler, {"Fehler!", "Das System enthält keine Komponenten", "Abbruch"}));
  EXPECT_EQ(a.CDSReport.back(), (TMeldungZeile{"Abbruch!", "Simulation abgebrochen", ""}));

  n.El<TREG>("R").SetData((dir / "fehlt.reg").string());
  n.Neu("KES", "S");         // no rain gauge, hangs on the root
  n.El<TKES>("S").SWGL = 6;  // only 0..5 exist
  n.Neu("KER", "N");         // rain gauge but no receiving water
  n.KUE("N", "R").Parent("N", "E");
  n.Neu("RUB", "B");
  n.Parent("B", "E");
  TSimulationsLauf b(n.m);
  EXPECT_EQ(b.Starte(D(2001, 1, 1), D(2002, 1, 1)), TLaufErgebnis::Abgewiesen);
  for (const TMeldungZeile& z : std::vector<TMeldungZeile>{
           {"Fehler!", "R", "Regendatei nicht gefunden"},
           {"Hinweis", "S", "Nachfolger undefiniert"},
           {"Hinweis", "E", "Nachfolger undefiniert"},
           {"Fehler!", "S", "Kein Regenschreiber!"},
           {"Fehler!", "S", "SW-Ganglinie fehlt!"},
           {"Warnung!", "N", "Keine Gewässerzuordnung"},
           {"Warnung!", "B", "BÜ undefiniert"},
           {"Warnung!", "B", "KÜ undefiniert"},
       })
    EXPECT_TRUE(Zeile(b.CDSFehler, z)) << z.S1 << " " << z.S2 << " " << z.S3;
  EXPECT_FALSE(Zeile(b.CDSFehler, {"Fehler!", "S", "FW-Ganglinie fehlt!"}));
  EXPECT_FALSE(Zeile(b.CDSFehler,
                     {"Warnung!", "Simulationsdauer < 1 Jahr", "Ergebnisse werden hochgerechnet"}));

  TSimulationsLauf c(n.m);
  EXPECT_EQ(c.Starte(D(2001, 1, 2), D(2001, 1, 1)), TLaufErgebnis::Abgewiesen);
  EXPECT_EQ(c.CDSFehler,
            (std::vector<TMeldungZeile>{{"Fehler", "Simulations-Ende <= ", "Simulationsanfang!"}}));
}

TEST_F(Lauf, UnreadableRainFileStopsCleanly) {
  Regenreihe("das ist keine Regendatei\n");
  TSimulationsLauf lauf(n.m);
  EXPECT_EQ(lauf.Starte(D(2001, 1, 1), D(2002, 1, 1)), TLaufErgebnis::Abgewiesen);
  EXPECT_TRUE(Zeile(lauf.CDSFehler, {"Fehler!", "R", "Ungültige Regendatei: Kopfzeilen fehlen"}));

  // a broken record in the middle of the series ends the run with a row
  std::string satz = SatzM(D(2001, 7, 2, 10), 1000);
  satz.replace(5, 2, "??");
  Regenreihe(KopfM() + SatzM(D(2001, 7, 1, 10), 1000) + satz + SatzM(D(2005, 1, 1), 0, true));
  EXPECT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Fehlerhaft);
  EXPECT_TRUE(Zeile(lauf.CDSFehler,
                    {"Fehler!", "R", "Ungültiger Datensatz in Zeile 4: Datum nicht lesbar"}));
}

TEST_F(Lauf, Cancel) {
  Synthetisch();
  struct Abbrecher : TLaufBeobachter {
    TSimulationsLauf* lauf = nullptr;
    int tage = 0;
    std::vector<int> prozent;
    void NeuerTag(const TSimulation&, int p) override {
      prozent.push_back(p);
      if (++tage == 40) lauf->Abbrechen();
    }
  } b;
  TSimulationsLauf lauf(n.m);
  b.lauf = &lauf;
  EXPECT_EQ(lauf.Starte(D(2001, 1, 1), D(2002, 1, 1), &b), TLaufErgebnis::Abgebrochen);
  EXPECT_EQ(b.tage, 40);
  EXPECT_EQ(lauf.CDSReport.back(), (TMeldungZeile{"Abbruch!", "Simulation abgebrochen", ""}));
  EXPECT_TRUE(lauf.Jahre.empty() || lauf.Jahre == std::vector<int>{2000});
  EXPECT_EQ(b.prozent[1], 0);
  EXPECT_EQ(b.prozent[39], static_cast<int>(std::nearbyint(38 * 100.0 / 365)));
}

TEST_F(Lauf, ParallelRunsGiveTheSameResultsAsSingleOnes) {
  Synthetisch(3);
  const std::string datei = n.El<TREG>("R").FileName;
  auto baue = [&](Netzbau& x) {
    TCadShape* ks = x.Neu("KEM", "K");
    auto e = std::make_unique<Sofortabfluss>();
    e->AEb = 2;
    x.m.SetElement(ks, std::move(e));
    x.Neu("EST", "E");
    KurzeStrecke(x.El<TEST>("E"));
    x.Neu("REG", "R");
    x.Parent("K", "E").KUE("K", "R").GEW("K", "E");
    x.El<TREG>("R").SetData(datei);
  };
  auto ergebnis = [](Netzbau& x, TDateTime a, TDateTime b) {
    TSimulationsLauf lauf(x.m);
    lauf.Starte(a, b);
    return std::make_pair(x.Netz().Zustand.Summe.Q, lauf.Simulation().SystemEreignisse.size());
  };
  Netzbau a1, b1, a2, b2;
  for (Netzbau* x : {&a1, &b1, &a2, &b2}) baue(*x);
  const auto allein1 = ergebnis(a1, D(2001, 1, 1), D(2003, 12, 31));
  const auto allein2 = ergebnis(b1, D(2002, 3, 1), D(2003, 6, 30));
  std::pair<double, size_t> par1, par2;
  std::thread t1([&] { par1 = ergebnis(a2, D(2001, 1, 1), D(2003, 12, 31)); });
  std::thread t2([&] { par2 = ergebnis(b2, D(2002, 3, 1), D(2003, 6, 30)); });
  t1.join();
  t2.join();
  EXPECT_EQ(par1, allein1);  // bit-identical
  EXPECT_EQ(par2, allein2);
  EXPECT_GT(allein1.first, 0);
}
