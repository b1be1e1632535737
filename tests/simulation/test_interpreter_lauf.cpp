// Management scripts in a simulation run: the pre-run checks, a CSO tank
// steered by its script against the same run without it, and scripts that
// fail in the middle of a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "script/variablen.h"
#include "simulation/lauf.h"
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

// A catchment whose runoff is its rain on its sealed area, at once.
class Sofortabfluss : public TKEM {
 public:
  void ReceiveRain(TSimulation& sim, double regen) override {
    if (regen <= 0) return;
    sim.HasAbfluss = true;
    Zustand.Aktuell.Q += regen * AEb * 10;  // mm on ha -> m3
  }
};

// Rain gauge R, catchment K (2 ha sealed) and the CSO tank "RÜB 1" of 100 m3
// with 5 l/s throttle outflow below it; the tank hands on to the root.
class ScriptLauf : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_scriptlauf_" + std::to_string(::getpid()));
  Netzbau n;

  void SetUp() override {
    fs::create_directories(dir);
    TCadShape* ks = n.Neu("KEM", "K");
    auto k = std::make_unique<Sofortabfluss>();
    k->AEb = 2;
    n.m.SetElement(ks, std::move(k));
    n.Neu("REG", "R");
    n.Neu("RUB", "RÜB 1");
    n.Parent("K", "RÜB 1").KUE("K", "R");
    auto& b = Rub();
    b.QD = 5;
    b.Volumen = 100;
    // Showers of 5 mm in the first five minutes of six hours in a row.
    std::string regen = KopfM();
    for (int h = 6; h < 12; ++h) regen += SatzM(D(2001, 7, 2, h), 5000);
    regen += SatzM(D(2005, 1, 1), 0, true);
    const auto p = (dir / "r.reg").string();
    std::ofstream(p, std::ios::binary) << regen;
    n.El<TREG>("R").SetData(p);
  }
  void TearDown() override { fs::remove_all(dir); }

  TRUB& Rub() { return n.El<TRUB>("RÜB 1"); }
  void Script(const std::string& zeile, bool aktiv = true) {
    Rub().Script = {zeile};
    Rub().ScriptActive = aktiv;
  }
  static bool Zeile(const std::vector<TMeldungZeile>& t, const TMeldungZeile& z) {
    return std::find(t.begin(), t.end(), z) != t.end();
  }
};

}  // namespace

TEST_F(ScriptLauf, Vorlauf) {
  struct Fall {
    const char* script;
    const char* meldung;  // nullptr: no row
  };
  const Fall faelle[] = {
      {"QD := 3 * DROSSEL(SELF)", nullptr},
      {"IF x x := 1", "Script fehlerhaft!"},
      {"x := COPY('abc', 'q', 1)", "Script fehlerhaft!"},
      {"x := 'a' * 2", "Script: Funktionsname / Argument"},
      {"x := INHALT('rüb 1') + 1", "Script: Funktionsname / Argument"},
      {"WHILE 1 DO x := 0", "Script: Funktionsname / Argument"},
  };
  for (const auto& f : faelle) {
    Script(f.script);
    Rub().Tokens = {"alt"};
    // Without its rain file the run is refused, after all checks.
    n.El<TREG>("R").FileName = (dir / "fehlt.reg").string();
    TSimulationsLauf lauf(n.m);
    EXPECT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Abgewiesen);
    for (const char* m : {"Script fehlerhaft!", "Script: Funktionsname / Argument"})
      EXPECT_EQ(Zeile(lauf.CDSFehler, {"Fehler!", "RÜB 1", m}),
                f.meldung && f.meldung == std::string(m))
          << f.script;
    // A good trial leaves the instructions with the element and the design
    // throttle in force; a failed one leaves no instructions.
    EXPECT_EQ(Rub().Tokens.empty(), f.meldung != nullptr) << f.script;
    EXPECT_EQ(Rub().QDaktiv, Rub().QD) << f.script;
    EXPECT_EQ(lauf.Simulation().Script, nullptr);
  }
  // An inactive script is not checked.
  Script("IF x x := 1", false);
  TSimulationsLauf lauf(n.m);
  lauf.Starte(D(2001, 7, 1), D(2001, 7, 5));
  EXPECT_FALSE(Zeile(lauf.CDSFehler, {"Fehler!", "RÜB 1", "Script fehlerhaft!"}));
}

TEST_F(ScriptLauf, RegenueberlaufbeckenMitSteuerung) {
  struct Ergebnis {
    double drossel, ueberlauf, zufluss;  // m3 in the balance period
  };
  const auto laufen = [&](bool mitScript) {
    Script(
        "BEGIN _n := _n + 1; IF INHALT(SELF) > VOLUMEN(SELF) / 2 "
        "THEN QD := 2 * DROSSEL(SELF) ELSE QD := DROSSEL(SELF) END",
        mitScript);
    TSimulationsLauf lauf(n.m);
    EXPECT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Abgeschlossen);
    if (mitScript) {
      // The script ran once as the trial and then in every step.
      auto& v = dynamic_cast<script::TbbVariables&>(*n.Netz().PublicVars);
      EXPECT_EQ(script::AlsZahl(v.GetVariable("_N"), {}), lauf.Simulation().step + 1);
    }
    // The run closed its year into the totals.
    const TRUB& b = Rub();
    return Ergebnis{b.Drossel.Summe.Q, b.BUE.Zustand.Summe.Q + b.KUE.Zustand.Summe.Q,
                    n.El<TREG>("R").Zustand.Summe.Regen() * 2 * 10};
  };
  const Ergebnis ohne = laufen(false);
  const Ergebnis mit = laufen(true);
  // 6 x 5 mm on 2 ha: 600 m3 reach the tank of 100 m3; it overflows either way.
  EXPECT_NEAR(ohne.zufluss, 600, 1e-6);
  EXPECT_NEAR(ohne.drossel + ohne.ueberlauf, ohne.zufluss, 1e-6);
  EXPECT_NEAR(mit.drossel + mit.ueberlauf, mit.zufluss, 1e-6);
  EXPECT_GT(ohne.ueberlauf, 0);
  // Twice the throttle outflow while the tank is more than half full: more
  // water through the throttle, less over the overflow.
  EXPECT_GT(mit.drossel, ohne.drossel * 1.3);
  EXPECT_LT(mit.ueberlauf, ohne.ueberlauf - (mit.drossel - ohne.drossel) + 1e-6);
  // Between the showers the tank is emptied at the design value and more.
  EXPECT_DOUBLE_EQ(Rub().QDaktiv, Rub().QD);
}

TEST_F(ScriptLauf, FehlerImLaufBeendetIhn) {
  // Both scripts pass their trial (the clock stands before the balance
  // period) and fail a day into the run.
  for (const char* s : {"IF ZEIT > BILANZSTART + 1 THEN x := 'a' * 2",
                        "IF ZEIT > BILANZSTART + 1 THEN WHILE 1 DO x := 0"}) {
    Script(s);
    TSimulationsLauf lauf(n.m);
    EXPECT_EQ(lauf.Starte(D(2001, 7, 1), D(2001, 7, 5)), TLaufErgebnis::Fehlerhaft) << s;
    EXPECT_TRUE(Zeile(lauf.CDSFehler, {"Fehler!", "RÜB 1", "Script: Funktionsname / Argument"}))
        << s;
    EXPECT_EQ(lauf.CDSReport.back(), (TMeldungZeile{"Abbruch!", "Simulation abgebrochen", ""}));
    EXPECT_LT(lauf.Simulation().Zeit, D(2001, 7, 3));
    EXPECT_EQ(lauf.Simulation().Script, nullptr);
  }
}
