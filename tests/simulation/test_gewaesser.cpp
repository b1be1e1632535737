// The receiving water in the simulation: discharge points that collect,
// throttle and store, mix with the river's base flow, route down the reach,
// compute the oxygen sag and record receiving-water events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "simulation/lauf.h"
#include "simulation/regengenerator.h"
#include "support/netzbau.h"

using namespace t21;
using t21::test::Netzbau;
namespace fs = std::filesystem;

namespace {

// Relative comparison for the hand-computed values.
#define EXPECT_NAHE(ist, soll) \
  EXPECT_NEAR((ist), (soll), 1e-9 * std::max(1.0, std::fabs(static_cast<double>(soll))))

TDateTime D(int j, int m, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

// The river of the fixtures: a trapezoid 2 m wide with 1:1 banks, 1.5 m
// deep, kst 30, a reach of 1500 m falling 1.5 m (I = 0.001); AEo 10 km2 at
// MNq 5 and Hq1 100 l/(s*km2), so MNQ = 50 l/s and HQ1 = 1000 l/s; the
// background BSB 3, NH4 0.1, AFS 10, CSB 10 mg/l, pH 7.5, ALK 2 mmol/l.
struct Fluss {
  double solo = 101.5, solu = 100, len = 1500, bso = 2, hb = 1.5, bsp = 5, kst = 30;
  double ae0 = 10, mnq = 5, hq1 = 100;
  std::string eutroph = "0";
  bool drosselung = false;
  double qd = 0;
  int volumen = 0;

  void Setze(TEST& e, const TNET& N) const {
    e.SetData(3, 0.1, 10, 7.5, 2, solo, solu, len, bso, hb, bsp, kst, 0, 0, ae0, mnq, hq1, 5000,
              false, false, false, false, false, eutroph, "II", "3", 10, 0, false, false, 0, 0, 0,
              0, 0.1, drosselung, qd, volumen, false, N);
  }
};

// Overflow water of one 5-minute step at q l/s: BSB 60, NH4 5, AFS 150,
// CSB 150 mg/l, pH 7.0, ALK 1.5 mmol/l, O2 deficit 2 mg/l; all of it rain
// water and urban.
TFrachten Ueberlauf(double q) {
  const double v = q * 0.3;
  TFrachten f;
  f.SetData(v, 60 * v, 5 * v, 150 * v, 7.0 * v, 1.5 * v, 150 * v, TParameter::cGK(1.5, 7.0) * v,
            2 * v);
  f.QR = v;
  f.Qurban = v;
  return f;
}

// One discharge point below the root, stepped by hand on a 5-minute clock at
// water temperature 15 degC, O2 saturation 10 mg/l and pKs 9.3. What reaches
// the root in a step is kept in `ab`; closed events in `zeilen`.
class Einleitung : public ::testing::Test {
 protected:
  Netzbau n;
  TEST* e = nullptr;
  TSimulation sim;
  TFrachten ab;
  std::vector<TGewaesserEreignisZeile> zeilen;
  int schritt = 0;
  const TDateTime T0 = D(2001, 7, 1, 10);

  void Vorbereiten(const Fluss& f) {
    if (!e) {
      n.Neu("EST", "E");
      e = &n.El<TEST>("E");
    }
    f.Setze(*e, n.Netz());
    sim.dt_min = 5;
    sim.dt_sec = 300;
    sim.dt_sec_div_1000 = 0.3;
    sim.dt_h = 5.0 / 60;
    sim.TWasser = 15;
    sim.cO2sat = 10;
    sim.pks = 9.3;
    sim.IsBilanzZeit = true;
    sim.Start = T0 - 1.0 / 24;
    sim.Zeit = T0;
    sim.Netz = &n.Netz();
    e->SimVorbereiten(sim);
    e->SimZeitschrittGesetzt(sim);
    e->SimStart(sim);
  }
  void SetUp() override { Vorbereiten(Fluss{}); }

  // One step with the inflow `zulauf` (none: dry); `abfluss` marks a step of
  // a system event.
  void Schritt(const TFrachten* zulauf, bool abfluss = false) {
    sim.Zeit = T0 + schritt * 5.0 / 1440;
    sim.HasAbfluss = abfluss;
    if (zulauf) e->Zustand.Aktuell.AddAll(1.0, *zulauf);
    e->SimCalc(sim);
    TFrachten& w = n.Netz().Zustand.Aktuell;
    ab = w;
    w.Clear();
    TGewaesserEreignisZeile z;
    if (e->CheckEreignis(sim, z)) zeilen.push_back(z);
    e->SimSchrittEnde(sim);
    ++schritt;
  }
  void Trocken(int schritte) {
    for (int i = 0; i < schritte; ++i) Schritt(nullptr);
  }
};

}  // namespace

TEST_F(Einleitung, ReachParametersAndBaseFlow) {
  // Hand computation (python3): from the depth at MNQ = 50 l/s (0.1133 m) in
  // 20 steps to 1.5 m, L_i = Q'/(I dQ/dh), K_i = L_i dA/dQ: Lm = 476.890 m,
  // mean K 545.726 s. n = Ceil(1500 / 476.890 / 1000) = 1 and
  // k = 545.726 * 1500 / 476.890 / 60 = 28.6086 min: one reservoir with the
  // storage of all 3.15 characteristic reaches; alpha = exp(-5 / k).
  // The flood case from HQ1 = 1000 l/s: k = 25.3256 min.
  EXPECT_EQ(e->KM_MNQ.n, 1);
  EXPECT_NAHE(e->KM_MNQ.k, 28.608578127530464);
  EXPECT_NAHE(e->KM_MNQ.FC1, 1 - std::exp(-5 / 28.608578127530464));
  EXPECT_EQ(e->Speika_MNQ.N, 1);
  EXPECT_NAHE(e->Speika_MNQ.Alpha(), 0.8396478053254776);
  EXPECT_EQ(e->KM_HQ1.n, 1);
  EXPECT_NAHE(e->KM_HQ1.k, 25.32558263878269);
  EXPECT_NAHE(e->Speika_HQ1.Alpha(), 0.820838562472746);
  EXPECT_TRUE(e->KMMeldungen.empty());

  // Base flow per step: 50 l/s * 0.3 = 15 m3 with the background loads.
  const TFrachten& b = e->BUE.Zustand.Aktuell;
  EXPECT_NAHE(b.Q, 15);
  EXPECT_NAHE(b.cBSB(), 3);
  EXPECT_NAHE(b.cNH4(), 0.1);
  EXPECT_NAHE(b.cPH(), 7.5);
  EXPECT_NAHE(b.cGK(), TParameter::cGK(2, 7.5));
  EXPECT_EQ(b.DO2, 0);
  EXPECT_NAHE(e->deltaMNQ.Q, 15);  // no discharge point upstream
  EXPECT_NAHE(e->QDaktiv, kOhneDrossel);
}

TEST_F(Einleitung, BlockOfOverflowMixesRoutesAndSags) {
  // Three steps of 200 l/s overflow (60 m3), then dry. Hand computation
  // (python3, the step's arithmetic redone from the formulas):
  // - mixing at the point: 60 m3 at BSB 60 with 15 m3 of river at BSB 3 give
  //   75 m3 at (3600 + 45) / 75 = 48.6 mg/l; NH4 (300 + 1.5) / 75 = 4.02;
  //   O2 deficit 120 / 75 = 1.6; pH from the mixed carbonate system 7.0814;
  // - reach: q_t = alpha q_t-1 + (1 - alpha) 60 with alpha 0.839648:
  //   9.6211, 17.6995, 24.4825, then 20.5567 after the block; plus the
  //   unrouted base flow 15. The reach holds 75 - 24.6211 = 50.3789 m3 after
  //   step 1;
  // - oxygen at the end of the reach (Streeter-Phelps, k1 0.72/d) sets the
  //   BOD and deficit handed on: BSB = Q cRestBSB - 45, DO2 = Q Dtf - 0;
  // - oxygen at the point for 250 l/s: depth 0.29692 m, v 0.36654 m/s,
  //   hm 0.26293 m; K2 = 1.02^-5 (40/30 + 3) v^0.7 / h*^1.7 + 0.5 / hm
  //   = 14.4321/d; Tkrit = ln(K2/k1 (1 - (K2 - k1) D0 / (k1 L0))) / (K2 - k1)
  //   = 0.14672 d beyond the flow time 0.04737 d, so the deficit at the end
  //   counts: Da = 1.98582, O2 = 10 - Da = 8.01418 mg/l;
  // - NH3: 4.02 / (10^(9.3 - 7.0814) + 1) = 0.024156 mg/l.
  struct Soll {
    int schritt;
    double Q, cBSB, cNH4, pH, cDO2;  // at the point
    double qm, stoffe;               // reach outflow and content
    double abQ, abBSB, abDO2, abQurban;
    double h, K2, Tc, Da, cO2, cNH3;  // oxygen and NH3 at the point
  };
  const Soll soll[] = {
      {1, 75, 48.6, 4.02, 7.081415640098925, 1.6, 24.621131680471347, 50.37886831952865,
       9.62113168047135, 1093.18268348722, 49.00683321502672, 10.74968625163524,
       0.29692143415790095, 14.432127412083492, 0.14671891430602543, 1.9858150513082862,
       8.014184948691714, 0.02415595267139391},
      {2, 75, 48.6, 4.02, 7.081415640098925, 1.6, 32.69949378072654, 92.6793745388021,
       17.69949378072654, 1473.8814955538076, 64.92530353163045, 19.57344326146055,
       0.29693011767191124, 14.432038402056317, 0.14672021264110047, 1.9858167017123296,
       8.014183298287671, 0.02415595267139391},
      {4, 15, 3, 0.1, 7.5, 0, 35.5566545460821, 107.64024720388967, 20.5566545460821,
       1446.2184270112627, 63.46612964212455, 22.01187225279227, 0.11334267665689132,
       15.843491645254435, 0.204401399738044, 0.09627934730171563, 9.903720652698285,
       0.0015601662241829608},
  };
  const TFrachten zulauf = Ueberlauf(200);
  size_t j = 0;
  for (int i = 1; i <= 4; ++i) {
    Schritt(i <= 3 ? &zulauf : nullptr, i <= 3);
    if (j == std::size(soll) || soll[j].schritt != i) continue;
    const Soll& s = soll[j++];
    SCOPED_TRACE("Schritt " + std::to_string(i));
    const TFrachten& o = e->Mischreaktor_oben;
    EXPECT_NAHE(o.Q, s.Q);
    EXPECT_NAHE(o.cBSB(), s.cBSB);
    EXPECT_NAHE(o.cNH4(), s.cNH4);
    EXPECT_NAHE(o.cPH(), s.pH);
    EXPECT_NAHE(o.cDO2(), s.cDO2);
    EXPECT_NAHE(e->Mischreaktor_unten.Q + 15, s.qm);
    EXPECT_NAHE(e->Mischreaktor_Stoffe.Q, s.stoffe);
    EXPECT_NAHE(ab.Q, s.abQ);
    EXPECT_NAHE(ab.BSB, s.abBSB);
    EXPECT_NAHE(ab.DO2, s.abDO2);
    EXPECT_NAHE(ab.Qurban, s.abQurban);
    const TAbflussParameter& a = e->AbflussParameter;
    EXPECT_NAHE(a.H, s.h);
    EXPECT_NAHE(a.K2, s.K2);
    EXPECT_NAHE(a.Tc, s.Tc);
    EXPECT_NAHE(a.Da, s.Da);
    EXPECT_NAHE(e->eO2 / o.Q, s.cO2);
    EXPECT_NAHE(e->eNH3 / o.Q, s.cNH3);
  }
  // Without a throttle nothing stays at the point and nothing overflows.
  EXPECT_EQ(e->Speicher.Aktuell.Q, 0);
  EXPECT_EQ(e->KUE.Zustand.Jahr.Q, 0);
  // The flood case: Z = U = 60 m3 while the block lasts, routed with
  // alpha 0.820839: 10.7497, 19.5734, 26.8163, then 22.0119 (see Qurban).
  EXPECT_NAHE(e->Speika_HQ1.ZuflussMinus1(), 0);
}

TEST_F(Einleitung, EventRecordedAfterSixHoursWithoutRainWater) {
  // The block of three steps from 10:00, then dry. The event opens at 10:00
  // (rain water at the point) and ends at 10:15, the first step without;
  // it closes at 16:15. Hand values of the three block steps (python3):
  // O2 8.014184948691714, 8.014183298287671, 8.01418507333933 mg/l (the
  // depth iteration starts from the last depth found), NH3 0.024156,
  // AFS (9000 + 150) / 75 = 122 mg/l; QE = 60 / 0.3 = 200 l/s.
  const TFrachten zulauf = Ueberlauf(200);
  for (int i = 0; i < 3; ++i) Schritt(&zulauf, true);
  Trocken(72);  // up to 16:10
  ASSERT_TRUE(zeilen.empty());
  ASSERT_TRUE(e->GewaesserEreignis);
  EXPECT_TRUE(e->GewaesserEreignis->Pause);
  Trocken(1);  // 16:15
  ASSERT_EQ(zeilen.size(), 1u);
  EXPECT_FALSE(e->GewaesserEreignis);
  const TGewaesserEreignisZeile& z = zeilen[0];
  EXPECT_EQ(z.Nr, 0);
  EXPECT_EQ(z.Name, "E");
  EXPECT_NEAR(z.Start, T0, kZeitEps);
  EXPECT_NEAR(z.Ende, T0 + 15.0 / 1440, kZeitEps);
  EXPECT_NEAR(z.Dauer, 0.25, 1e-6);
  EXPECT_NAHE(z.QE, 200);
  EXPECT_NAHE(z.MAXQ, 1200);
  EXPECT_NAHE(z.MinO2, 8.014183298287671);
  EXPECT_NAHE(z.MedO2_kurz, (8.014184948691714 + 8.014183298287671 + 8.01418507333933) / 3);
  EXPECT_NAHE(z.MaxNH3, 0.02415595267139391);
  EXPECT_NAHE(z.MedNH3_kurz, 0.02415595267139391);
  EXPECT_NAHE(z.MaxAFS, 122);
  EXPECT_NAHE(z.MedAFS_kurz, 122);

  // The year's extremes, taken in the event steps only, in system event 1.
  EXPECT_NAHE(e->MinMax.Jahr.Q, 200);
  EXPECT_NAHE(e->MinMax.Jahr.BSB, 8.014183298287671);
  EXPECT_NAHE(e->MinMax.Jahr.NH4, 0.02415595267139391);
  EXPECT_NAHE(e->MinMax.Jahr.AFS, 122);
  EXPECT_EQ(e->EKrit.Jahr.BSB, 1);
  EXPECT_NAHE(e->MinMax.Summe.BSB, kO2Startwert);
  // The balances of the year: inflow 180 m3, base flow 75 steps of 15 m3,
  // the throttle passed both.
  EXPECT_NAHE(e->Zustand.Jahr.Q, 180);
  EXPECT_NAHE(e->Zustand.Jahr.QR, 180);
  EXPECT_NAHE(e->BUE.Zustand.Jahr.Q, 76 * 15);
  EXPECT_NAHE(e->Drossel.Jahr.Q, 180 + 76 * 15);
  EXPECT_NAHE(e->Drossel.Ereignis.Q, 180 + 3 * 15);
  EXPECT_NAHE(e->Drossel.Jahr.Stunden, 0.25);
}

TEST_F(Einleitung, PausesShorterThanSixHoursKeepOneEvent) {
  // Two steps of rain water with a pause between them, then a long dry
  // spell. The event ends for the time being with the first step without
  // rain water and closes in the step 6 h later if that step has none
  // either: a pause of 5 h or of exactly 6 h keeps one event, 6 h 5 min
  // split it.
  struct Fall {
    int pause;  // steps of 5 min
    size_t ereignisse;
  } faelle[] = {{60, 1}, {72, 1}, {73, 2}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.pause);
    zeilen.clear();
    schritt = 0;
    Vorbereiten(Fluss{});
    const TFrachten zulauf = Ueberlauf(100);
    Schritt(&zulauf);
    Trocken(f.pause);
    Schritt(&zulauf);
    Trocken(80);
    ASSERT_EQ(zeilen.size(), f.ereignisse);
    EXPECT_NEAR(zeilen[0].Start, T0, kZeitEps);
    // The event ends with the first step without rain water after the last.
    EXPECT_NEAR(zeilen.back().Ende, T0 + (f.pause + 2) * 5.0 / 1440, kZeitEps);
  }
}

TEST_F(Einleitung, NoLoadsHandedOnWithoutWaterNorBelowNothing) {
  // Before any urban water the reach hands on no water and so no load; long
  // after a block it hands on a trickle whose BOD would be less than
  // nothing if the undecayed background were taken off as it is (the
  // background loses 1 - exp(-0.72 * 0.0838) = 6 % of its BOD on the way).
  Trocken(3);
  EXPECT_EQ(ab.Q, 0);
  for (double v : {ab.BSB, ab.NH4, ab.AFS, ab.DO2, double(ab.PH), ab.GK}) EXPECT_EQ(v, 0);
  const TFrachten zulauf = Ueberlauf(200);
  Schritt(&zulauf);
  int rinnsal = 0;  // steps with water but no BOD left
  for (int i = 0; i < 300; ++i) {
    Schritt(nullptr);
    EXPECT_GE(ab.BSB, 0);
    EXPECT_GE(ab.DO2, 0);
    if (ab.Q > 0 && ab.BSB == 0) ++rinnsal;
  }
  EXPECT_GT(rinnsal, 10);
  EXPECT_EQ(e->Zustand.Aktuell.Q, 0);
}

TEST_F(Einleitung, ThrottleStorageAndOverflow) {
  // A throttle of 10 l/s (3 m3 per step) and 500 m3 of storage on a river
  // without low flow (its background flow is 1e-6 l/s): 4000 m3 of rain
  // water in one step release 3 m3, keep 500 m3 and overflow 3497 m3 into
  // the river at the point, with their rain water. Without the throttle
  // all 4000 m3 pass.
  struct Fall {
    bool drosselung;
    double drossel, speicher, ueberlauf;
  } faelle[] = {{true, 3, 500, 3497}, {false, 4000, 0, 0}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.drosselung);
    Fluss fluss;
    fluss.mnq = 0;
    fluss.drosselung = f.drosselung;
    fluss.qd = 10;
    fluss.volumen = 500;
    Vorbereiten(fluss);
    TFrachten zulauf = Ueberlauf(4000 / 0.3);
    Schritt(&zulauf);
    const double b = 0.3e-6;  // base flow per step
    const double anteil = (f.drossel + f.ueberlauf) / 4000;
    EXPECT_NEAR(e->Drossel.Aktuell.Q, f.drossel, 1e-6);
    EXPECT_NEAR(e->Speicher.Aktuell.Q, f.speicher, 1e-6);
    EXPECT_NEAR(e->KUE.Zustand.Aktuell.Q, f.ueberlauf, 1e-6);
    EXPECT_NAHE(e->Mischreaktor_oben.Q, f.drossel + f.ueberlauf + (f.drosselung ? 0 : b));
    EXPECT_NAHE(e->Mischreaktor_oben.QR, 4000 * anteil);
    EXPECT_NAHE(e->KUE.Zustand.Aktuell.QR, f.ueberlauf);
    EXPECT_NAHE(e->Mischreaktor_oben.cBSB(), 60);
    EXPECT_NAHE(e->KUE.Zustand.Jahr.Q, f.ueberlauf);
    EXPECT_NAHE(e->Speicher.Aktuell.QR, 4000 - 4000 * anteil);
  }
}

TEST_F(Einleitung, ScriptSteersTheThrottleTwice) {
  // With throttling and a script, the script runs twice in a step: first
  // with the flood-case content in place of the storage (4000 m3 urban
  // inflow + 1000 l/s * 0.3 = 4300 m3) and the throttle it sets used as it
  // is, then with the storage itself, its throttle averaged with the one in
  // force before. The script here sets 30 l/s, then 50 l/s:
  // flood case t = 30 * 0.3 = 9, o = 4300 - 9 - 500 = 3791, Z = 9 + 3791 - 300
  // = 3500; storage th = (50 * 0.3 + 10 * 0.3) / 2 = 9, overflow
  // 4000 - 9 - 500 = 3491 (+ the base flow of 3e-7 m3).
  struct Skript : TScriptLauf {
    std::vector<double> gesehen;
    void DoScript(TElement& el, TSimulation&) override {
      auto& b = dynamic_cast<TBauwerk&>(el);
      gesehen.push_back(b.Speicher.Aktuell.Q);
      b.QDaktiv = gesehen.size() == 1 ? 30 : 50;
    }
  } skript;
  Fluss f;
  f.mnq = 0;
  f.drosselung = true;
  f.qd = 10;
  f.volumen = 500;
  Vorbereiten(f);
  e->ScriptActive = true;
  e->Tokens = {"QD"};
  sim.Script = &skript;
  const TFrachten zulauf = Ueberlauf(4000 / 0.3);
  Schritt(&zulauf);
  ASSERT_EQ(skript.gesehen.size(), 2u);
  EXPECT_NAHE(skript.gesehen[0], 4300);
  EXPECT_NAHE(skript.gesehen[1], 4000 + 3e-7);
  EXPECT_NAHE(e->Speika_HQ1.ZuflussMinus1(), 3500);
  EXPECT_NAHE(e->SpeicherInhaltHQ1, 500);
  EXPECT_NAHE(e->Drossel.Aktuell.Q, 9);
  EXPECT_NAHE(e->KUE.Zustand.Aktuell.Q, 3491 + 3e-7);
  EXPECT_NAHE(e->Speicher.Aktuell.Q, 500);
}

TEST_F(Einleitung, ReachFullAtLowFlowPassesAtOnce) {
  // A profile 0.5 m wide and 0.2 m deep carries 34.3 l/s bank-full, less
  // than the low flow of 50 l/s: from the depth at MNQ (bank height) there
  // is no depth left, Lm = 0, n = 0 and k = 0. Such a reach stores nothing:
  // the step's water leaves in the same step.
  Fluss f;
  f.bso = 0.5;
  f.hb = 0.2;
  f.bsp = 0.9;
  Vorbereiten(f);
  EXPECT_EQ(e->KM_MNQ.n, 0);
  EXPECT_EQ(e->KM_MNQ.k, 0);
  EXPECT_EQ(e->Speika_MNQ.N, 1);
  const TFrachten zulauf = Ueberlauf(200);
  Schritt(&zulauf);
  EXPECT_NAHE(ab.Q, 60);
  EXPECT_NAHE(ab.Qurban, 60);
  EXPECT_NEAR(e->Mischreaktor_Stoffe.Q, 0, 1e-12);
}

TEST(Flussstrecke, TooManyCharacteristicReachesAreCutToTen) {
  // A steep narrow reach: 1 m wide, 0.5 m deep, banks 1:1, I = 0.1, kst 30,
  // 22 km long; MNQ 10 l/s, HQ1 100 l/s. Hand computation (python3):
  // Lm = 1.59159 m at MNQ and 1.71541 m at HQ1, so n = Ceil(22000 / Lm /
  // 1000) = Ceil(13.82) = 14 and Ceil(12.82) = 13: a message for each case
  // and 10 reservoirs in each cascade.
  Netzbau n;
  n.Neu("EST", "Steil");
  TEST& e = n.El<TEST>("Steil");
  Fluss f;
  f.solo = 2200;
  f.solu = 0;
  f.len = 22000;
  f.bso = 1;
  f.hb = 0.5;
  f.bsp = 2;
  f.ae0 = 1;
  f.mnq = 10;
  f.hq1 = 100;
  f.Setze(e, n.Netz());
  e.InitKM(5);
  EXPECT_EQ(e.KM_MNQ.n, 14);
  EXPECT_EQ(e.KM_HQ1.n, 13);
  EXPECT_NAHE(e.KM_MNQ.k, 81.6343126877835);
  EXPECT_EQ(e.Speika_MNQ.N, 10);
  EXPECT_EQ(e.Speika_HQ1.N, 10);
  auto meldung = [](const std::string& fall, const std::string& n) {
    return "Steil (Lastfall " + fall + ")\n\rUnzulässige Anzahl von Speicherstufen N = " + n +
           "\n\rN wurde vom Programm auf 10 gesetzt.\n\r"
           "Bitte überprüfen Sie die hydraulischen und die hydrologischen Parameter.";
  };
  EXPECT_EQ(e.KMMeldungen, (std::vector<std::string>{meldung("MNQ", "14"), meldung("HQ1", "13")}));
}

TEST(Vorbelastung, BaseFlowIsHandedToTheNextPointDownstream) {
  // E1 (MNQ 50 l/s, eutrophication 1: a deficit of 20 % of saturation) flows
  // through a connector into E2 (AEo 16 km2, MNQ 80 l/s). E2 gets E1's
  // base flow at the start and counts only the difference: 0.3 * 30 = 9 m3.
  // The deficit of the base flow is the background's deficit load per step.
  Netzbau n;
  n.Neu("EST", "E1");
  n.Neu("CON", "V");
  n.Neu("EST", "E2");
  n.Parent("E1", "V").Parent("V", "E2");
  TEST& e1 = n.El<TEST>("E1");
  TEST& e2 = n.El<TEST>("E2");
  Fluss f1;
  f1.eutroph = "1";
  f1.Setze(e1, n.Netz());
  Fluss f2;
  f2.ae0 = 16;
  f2.Setze(e2, n.Netz());
  TSimulation sim;
  for (TEST* e : {&e1, &e2}) e->SimVorbereiten(sim);
  for (TEST* e : {&e1, &e2}) e->SimStart(sim);
  const double sat = O2Saettigung(n.Netz().Temperatur, n.Netz().mNN);
  EXPECT_NAHE(e1.BUE.Zustand.Aktuell.cDO2(), 0.2 * sat);
  EXPECT_NAHE(e1.BUE.Zustand.Aktuell.DO2, 0.3 * 50 * 0.2 * sat);
  EXPECT_NAHE(e1.deltaMNQ.Q, 15);
  EXPECT_NAHE(e2.BUE.Zustand.Aktuell.Q, 24);
  EXPECT_NAHE(e2.deltaMNQ.Q, 9);
  EXPECT_NAHE(e2.deltaMNQ.NH4, 0.1 * 9);
  EXPECT_EQ(e2.Zustand.Aktuell.Q, 0);
}

// ------------------------------------------------------------ whole runs

namespace {

// Rain on a sealed area, all of it at once and as urban rain water: what it
// produces and hands on is counted. Only the element base's steps run, so
// that the source does not depend on the runoff model of the catchments.
class Quelle : public TKEM {
 public:
  double Summe = 0;
  void ReceiveRain(TSimulation& sim, double regen) override {
    if (regen <= 0) return;
    sim.HasAbfluss = true;
    const double v = regen * AEb * 10;  // mm on ha -> m3
    TFrachten f;
    f.SetData(v, 8 * v, 1 * v, 100 * v, 7.0 * v, 0.5 * v, 60 * v, TParameter::cGK(0.5, 7.0) * v,
              1 * v);
    f.QR = v;
    f.Qurban = v;
    Zustand.Aktuell.AddAll(1.0, f);
  }
  void SimCalc(TSimulation& sim) override {
    Summe += Zustand.Aktuell.Q;
    TElement::SimCalc(sim);
  }
  void SimVorbereiten(TSimulation& sim) override {
    TElement::SimVorbereiten(sim);
    Summe = 0;
  }
  double SimZeitschrittGrenze(TSimulation&) override { return 5; }
  void SimZeitschrittGesetzt(TSimulation&) override {}
  void SimStart(TSimulation&) override {}
  void SimSchrittEnde(TSimulation& sim) override { TElement::SimSchrittEnde(sim); }
  void SimAbschluss(TSimulation&) override {}
};

// Counts what passes it in every step and hands it on.
class Messstelle : public TElement {
 public:
  double Summe = 0;
  void SimCalc(TSimulation& sim) override {
    Summe += Zustand.Aktuell.Q;
    TElement::SimCalc(sim);
  }
  void SimVorbereiten(TSimulation& sim) override {
    TElement::SimVorbereiten(sim);
    Summe = 0;
  }
};

class Gewaesserlauf : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_gewaesser_" + std::to_string(::getpid()));
  Netzbau n;
  Quelle* quelle = nullptr;
  Messstelle* m1 = nullptr;
  Messstelle* m2 = nullptr;

  // Q (8 ha sealed) -> E1 (throttle 100 l/s, 300 m3) -> M1 -> E2 -> M2 ->
  // root, with a synthetic rain series of `jahre` years.
  void SetUp() override {
    fs::create_directories(dir);
    auto q = std::make_unique<Quelle>();
    quelle = q.get();
    quelle->AEb = 8;
    n.m.SetElement(n.Neu("KEM", "Q"), std::move(q));
    n.Neu("EST", "E1");
    auto a = std::make_unique<Messstelle>();
    m1 = a.get();
    n.m.SetElement(n.Neu("CON", "M1"), std::move(a));
    n.Neu("EST", "E2");
    auto b = std::make_unique<Messstelle>();
    m2 = b.get();
    n.m.SetElement(n.Neu("CON", "M2"), std::move(b));
    n.Neu("REG", "R");
    n.Parent("Q", "E1").KUE("Q", "R").GEW("Q", "E1");
    n.Parent("E1", "M1").Parent("M1", "E2").Parent("E2", "M2");
    n.KUE("E1", "M1");
    Fluss f1;
    f1.drosselung = true;
    f1.qd = 100;
    f1.volumen = 300;
    f1.Setze(n.El<TEST>("E1"), n.Netz());
    Fluss f2;
    f2.ae0 = 16;
    f2.len = 3000;
    f2.solo = 103;
    f2.Setze(n.El<TEST>("E2"), n.Netz());
  }
  void TearDown() override { fs::remove_all(dir); }

  void Regen(int jahre) {
    TRegenGenerator g;
    g.Jahre = jahre;
    std::string fehler;
    const auto p = (dir / "syn.reg").string();
    ASSERT_TRUE(g.Schreibe(p, fehler)) << fehler;
    n.El<TREG>("R").SetData(p);
  }
  static bool Zeile(const std::vector<TMeldungZeile>& t, const TMeldungZeile& z) {
    return std::find(t.begin(), t.end(), z) != t.end();
  }
};

struct Meldungen : TLaufBeobachter {
  std::vector<std::string> texte;
  void Meldung(const std::string& t) override { texte.push_back(t); }
};

}  // namespace

TEST_F(Gewaesserlauf, VolumeBalanceOverTwoYears) {
  // What the source delivered reached the root or is still held at the
  // points (storage behind the throttle, water in the reach): for each
  // point, inflow = outflow + storage + reach content at the end (both were
  // empty at the start), to 1e-9 of the inflow.
  Regen(2);
  TSimulationsLauf lauf(n.m);
  ASSERT_EQ(lauf.Starte(D(2001, 1, 1), D(2002, 12, 31)), TLaufErgebnis::Abgeschlossen);
  const TEST& e1 = n.El<TEST>("E1");
  const TEST& e2 = n.El<TEST>("E2");
  ASSERT_GT(quelle->Summe, 1e5);
  const double inhalt1 = e1.Speicher.Aktuell.Q + e1.Mischreaktor_Stoffe.Q;
  const double inhalt2 = e2.Speicher.Aktuell.Q + e2.Mischreaktor_Stoffe.Q;
  EXPECT_NEAR(quelle->Summe, m1->Summe + inhalt1, 1e-9 * quelle->Summe);
  EXPECT_NEAR(m1->Summe, m2->Summe + inhalt2, 1e-9 * m1->Summe);
  // What the points hold is the system's content at the end.
  EXPECT_NEAR(lauf.Simulation().SystemInhalt, inhalt1 + inhalt2, 1e-12 * quelle->Summe);
  // The throttle of E1 held water back and spilled: both paths carried
  // water over the run; E2 without throttle never spilled.
  EXPECT_GT(e1.Drossel.Summe.Q, 0);
  EXPECT_GT(e1.KUE.Zustand.Summe.Q, 0);
  EXPECT_GT(e2.Drossel.Summe.Q, 0);
  EXPECT_EQ(e2.KUE.Zustand.Summe.Q, 0);

  // Receiving-water events at both points, in time order per point, each
  // with sound values; the year changes took the extremes into the run's,
  // and the assessment at the end read the events.
  const TTabelle& ev = lauf.Ergebnisse().CDSESTEreignisse;
  auto zahl = [&ev](int z, const char* spalte) { return AlsZahl(ev.Wert(z, spalte)); };
  for (const std::string name : {"E1", "E2"}) {
    double vorher = 0;
    int anzahl = 0;
    for (int z = ev.Finde("Name", name); z >= 0; z = ev.Finde("Name", name, z + 1)) {
      ++anzahl;
      const double start = zahl(z, "Start"), ende = zahl(z, "Ende");
      EXPECT_GT(start, vorher);
      EXPECT_GE(ende, start);
      EXPECT_NEAR(zahl(z, "Dauer"), (ende - start) * 24, 1e-9);
      EXPECT_GT(zahl(z, "MinO2"), 0);
      EXPECT_LE(zahl(z, "MinO2"), zahl(z, "MedO2_kurz") + 1e-12);
      EXPECT_GE(zahl(z, "MaxAFS"), zahl(z, "MedAFS_kurz") - 1e-12);
      EXPECT_NEAR(zahl(z, "MAXQ"), n.El<TEST>(name).HQ1ist() + zahl(z, "QE"), 1e-9 * 2000);
      EXPECT_TRUE(IstNull(ev.Wert(z, "Klasse")));
      vorher = ende;
    }
    EXPECT_GT(anzahl, 10) << name;
    EXPECT_GE(lauf.Ergebnisse().CDSHDAbfluss.Finde("Element", name), 0) << name;
  }
  EXPECT_LT(e1.MinMax.Summe.BSB, kO2Startwert);
  EXPECT_GE(e1.EKrit.Summe.BSB, 1);
  EXPECT_EQ(e1.MinMax.Jahr.BSB, kO2Startwert);  // after the last year change

  // A second run of the same model repeats the first bit for bit.
  std::vector<double> erste;
  for (int z = 0; z < ev.Anzahl(); ++z)
    for (const char* spalte : {"Start", "MinO2", "MedO2_kurz", "MaxNH3", "QE"})
      erste.push_back(zahl(z, spalte));
  const double s1 = m1->Summe, s2 = m2->Summe, stoffe = e2.Mischreaktor_Stoffe.Q;
  ASSERT_EQ(lauf.Starte(D(2001, 1, 1), D(2002, 12, 31)), TLaufErgebnis::Abgeschlossen);
  EXPECT_EQ(m1->Summe, s1);
  EXPECT_EQ(m2->Summe, s2);
  EXPECT_EQ(e2.Mischreaktor_Stoffe.Q, stoffe);
  const TTabelle& ev2 = lauf.Ergebnisse().CDSESTEreignisse;
  std::vector<double> zweite;
  for (int z = 0; z < ev2.Anzahl(); ++z)
    for (const char* spalte : {"Start", "MinO2", "MedO2_kurz", "MaxNH3", "QE"})
      zweite.push_back(AlsZahl(ev2.Wert(z, spalte)));
  EXPECT_EQ(zweite, erste);
}

TEST_F(Gewaesserlauf, PreRunChecksOfDischargePoints) {
  // A throttled point without overflow link warns, as does a profile that
  // cannot carry the natural one-year flood; a reach without fall stops the
  // run before its first day with a message, and the checks end there.
  Regen(1);
  Meldungen meldungen;
  TSimulationsLauf lauf(n.m);
  n.Shape("E1")->LoeseKUE();
  Fluss f;
  f.hq1 = 500;  // HQ1 5000 l/s above the bank-full 4437.5 l/s
  f.drosselung = true;
  f.qd = 100;
  f.Setze(n.El<TEST>("E1"), n.Netz());
  EXPECT_EQ(lauf.Starte(D(2001, 1, 1), D(2001, 6, 30), &meldungen), TLaufErgebnis::Abgeschlossen);
  EXPECT_TRUE(Zeile(lauf.CDSFehler, {"Warnung!", "E1", "KÜ undefiniert"}));
  EXPECT_TRUE(Zeile(lauf.CDSFehler, {"Warnung!", "E1", "Qvoll < HQ1pnat"}));
  EXPECT_FALSE(Zeile(lauf.CDSFehler, {"Warnung!", "E2", "Qvoll < HQ1pnat"}));
  EXPECT_TRUE(Zeile(lauf.CDSFehler,
                    {"Warnung!", "Simulationsdauer < 1 Jahr", "Ergebnisse werden hochgerechnet"}));
  // The run drew the overflow link of the point to its downstream element.
  EXPECT_EQ(n.Shape("E1")->KUE(), n.Shape("M1"));

  for (const auto& [solo, solu] : {std::pair{100.0, 100.0}, std::pair{99.0, 100.0}}) {
    SCOPED_TRACE(solo);
    Fluss flach;
    flach.solo = solo;
    flach.solu = solu;
    flach.Setze(n.El<TEST>("E1"), n.Netz());
    meldungen.texte.clear();
    // A fault of the data, not a cancel by the user.
    EXPECT_EQ(lauf.Starte(D(2001, 1, 1), D(2001, 6, 30), &meldungen), TLaufErgebnis::Fehlerhaft);
    EXPECT_FALSE(Zeile(lauf.CDSReport, {"Abbruch!", "Simulation abgebrochen", ""}));
    EXPECT_TRUE(
        Zeile(lauf.CDSFehler, {"Fehler!", "E1", "kein Gefälle oder Gegengefälle. Abbruch!"}));
    EXPECT_FALSE(Zeile(lauf.CDSFehler, {"Warnung!", "Simulationsdauer < 1 Jahr",
                                        "Ergebnisse werden hochgerechnet"}));
    EXPECT_NE(std::find(meldungen.texte.begin(), meldungen.texte.end(),
                        "Fehler!E1 : Kein Gefälle oder Gegengefälle. Abbruch!"),
              meldungen.texte.end());
    EXPECT_EQ(lauf.Simulation().step, 0);
    EXPECT_EQ(lauf.Ergebnisse().CDSESTEreignisse.Anzahl(), 0);
  }
}
