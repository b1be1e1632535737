// Runoff generation in the simulation: the reservoir cascade, wetting and
// depression losses, one step of a catchment with rain and dry weather, the
// start conditions of events and the natural surface area.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/catchments.h"
#include "model/discharge.h"
#include "model/net.h"
#include "model/plant.h"
#include "model/simulation.h"
#include "model/speika.h"
#include "support/netzbau.h"

using namespace t21;

namespace {

TDateTime D(int j, int m, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

// A run context of 5-minute steps in the balance period.
struct Lauf5 {
  TNET net;
  TReferenzListen ref = StandardReferenzListen();
  TSimulation sim;
  Lauf5() {
    sim.Netz = &net;
    sim.Referenz = &ref;
    sim.Start = D(2001, 1, 1);
    sim.Ende = D(2002, 1, 1);
    sim.Zeit = D(2001, 7, 1, 3);
    sim.IsBilanzZeit = true;
  }
};

}  // namespace

// ------------------------------------------------------------------ cascade

TEST(Kaskade, FirstStepsOfABlockInput) {
  // n = 3, K = 5 min, dt = 5 min: alpha = e^-1, FBruch = (1 - alpha)^3 / 4.
  // Input 1 mm in three steps on 2 ha, then nothing. Outflows (mm*ha) from
  // the recursion O_t = 3a O_t-1 - 3a^2 O_t-2 + a^3 O_t-3
  //                      + FBruch * 2 * (I_t + 2 I_t-1 + I_t-2),
  // evaluated independently in python.
  TSpeiKa k;
  k.N = 3;
  k.K = 5;
  k.SetDT(5);
  EXPECT_DOUBLE_EQ(k.Alpha(), std::exp(-1.0));
  EXPECT_DOUBLE_EQ(k.Bruch(), std::pow(1 - std::exp(-1.0), 3) / 4);
  const std::vector<double> zu{1, 1, 1, 0, 0, 0};
  const std::vector<double> soll{0.12629022891382358, 0.5182494232561636, 1.025846268599787,
                                 1.3069092656127408,  1.1779479133127464, 0.8204895316666136};
  for (size_t t = 0; t < zu.size(); ++t) {
    EXPECT_NEAR(k.QAB(zu[t], 2), soll[t], 1e-14) << "Schritt " << t;
    EXPECT_EQ(k.ZuflussMinus1(), zu[t]);
  }
}

TEST(Kaskade, GainAndContent) {
  // Up to 30 reservoirs at quarter-minute steps: the cascade stays stable
  // and conserves its water.
  struct Fall {
    int n;
    double K, dt, A;
  };
  for (const Fall& f : {Fall{1, 5, 5, 1}, Fall{3, 5, 5, 2}, Fall{2, 10, 2.5, 3},
                        Fall{5, 7.5, 1, 0.4}, Fall{30, 3, 0.25, 1.5}}) {
    SCOPED_TRACE(f.n);
    TSpeiKa k;
    k.N = f.n;
    k.K = f.K;
    k.SetDT(f.dt);
    // A steady inflow of 1 mm per step comes out as A mm*ha per step.
    double o = 0;
    for (int t = 0; t < 4000; ++t) o = k.QAB(1, f.A);
    EXPECT_NEAR(o, f.A, 1e-12 * f.A);
    // After a block of 0.7, 0.2 and 0.05 mm the content is what still
    // comes out when nothing more flows in.
    k.SetDT(f.dt);
    double aus = 0;
    for (double i : {0.7, 0.2, 0.05}) aus += k.QAB(i, f.A);
    EXPECT_NEAR(aus + k.Inhalt(), 0.95 * f.A, 1e-12);
    const double inhalt = k.Inhalt();
    double rest = 0;
    for (int t = 0; t < 20000; ++t) rest += k.QAB(0, f.A);
    EXPECT_NEAR(rest, inhalt, 1e-12);
    EXPECT_NEAR(k.Inhalt(), 0, 1e-12);
  }
  // One reservoir of 5 min at 5-min steps passes 1 - e^-1 = 63.2 % at once.
  TSpeiKa k;
  k.N = 1;
  k.K = 5;
  k.SetDT(5);
  EXPECT_NEAR(k.QAB(1, 1), 0.6321205588285577, 1e-15);
  EXPECT_NEAR(k.QAB(0, 1), 0.23254415793482963, 1e-15);
}

// ---------------------------------------------------------------- catchment

TEST(Einzugsgebiet, PreparationAndTimeStepLimit) {
  // K entered wins; K = 0 derives (TF + 5 - NGM) * 0.5 / (N - 1); never
  // below 1 min. N = -1 means 3 reservoirs.
  struct Fall {
    double N, K, TF, NGM, MV, BV;
    int n;
    double k, mv, bv;
  };
  for (const Fall& f : {
           Fall{-1, 0, 10, 1, 2, 0.5, 3, (10 + 5 - 1) * 0.5 / 2, 2, 0.5},  // 3.5 min
           Fall{1, 0, 10, 1, -1, -1, 1, 1.0, 2.5 - 0.5 * 1, 0.5},          // one reservoir
           Fall{3, 7, 10, 2, 0, 0.3, 3, 7.0, 1e-9, 0.3},                   // entered
           Fall{3, 0.5, 10, 2, -1, 0, 3, 1.0, 1.5, 0},                     // at least 1 min
           Fall{2, 0, 0, 4, 1, 1, 2, 1.0, 1, 1},                           // (0+5-4)*0.5 = 0.5
       }) {
    TKEM e;
    e.N = f.N;
    e.K = f.K;
    e.TF = f.TF;
    e.NGM = f.NGM;
    e.MV = f.MV;
    e.BV = f.BV;
    e.PSIa = 0.3;
    e.PSIe = 0.9;
    TSimulation sim;
    EXPECT_DOUBLE_EQ(e.SimZeitschrittGrenze(sim), f.k);
    EXPECT_EQ(e.Kaskade1.N, f.n);
    EXPECT_DOUBLE_EQ(e.MVaktiv, f.mv);
    EXPECT_DOUBLE_EQ(e.BVaktiv, f.bv);
    EXPECT_DOUBLE_EQ(e.VB, f.bv);
    EXPECT_DOUBLE_EQ(e.c, Kehrwert(f.mv) * 0.6);
    EXPECT_EQ(e.cm, 0);
  }
}

TEST(Einzugsgebiet, WettingAndDepressionLosses) {
  // PSIa 0.3, PSIe 0.9, MV 2 mm, BV 0.5 mm: c = 0.3 / mm. Python:
  //  R 0.3: below VB, VB 0.2, no runoff;
  //  R 1.0: r 0.8, cm = 1 - e^-0.24 = 0.21337, neff = 0.72 - 2 cm;
  //  R 1.0: r 1.0, cm = 1 - e^-0.3 (1 - 0.21337);
  //  E 0.1: VB 0.1, cm *= e^(-0.3 (0.1 + 0.072 * 5/60));
  //  R 2.0: r 1.9.
  Lauf5 l;
  TKEM e;
  e.N = 1;
  e.K = 5;
  e.MV = 2;
  e.BV = 0.5;
  e.PSIa = 0.3;
  e.PSIe = 0.9;
  e.AEb = 2;
  e.Init();
  struct Schritt {
    double R, neff, cm, VB, verlust;
    bool abfluss;
  };
  double verluste = 0;
  for (const Schritt& s : {
           Schritt{0.3, 0, 0, 0.2, 0.3, false},
           Schritt{1.0, 0.2932557221331068, 0.21337213893344664, 0, 0.7067442778668932, true},
           Schritt{1.0, 0.4922407826148726, 0.41725174762601036, 0, 0.5077592173851274, true},
           Schritt{-0.1, 0, 0.4041918942553913, 0.1, 0, false},
           Schritt{2.0, 1.1922730692747026, 0.66305535961804, 0, 0.8077269307252974, true},
       }) {
    SCOPED_TRACE(s.R);
    l.sim.HasAbfluss = l.sim.Muldenfuellung = false;
    const double vorher = e.cm;
    EXPECT_NEAR(e.Neff(l.sim, s.R), s.neff, 1e-15);
    EXPECT_EQ(e.CM_alt, vorher);
    EXPECT_NEAR(e.cm, s.cm, 1e-15);
    EXPECT_NEAR(e.VB, s.VB, 1e-15);
    EXPECT_EQ(l.sim.HasAbfluss, s.abfluss);
    EXPECT_TRUE(l.sim.Muldenfuellung);
    verluste += s.verlust;
    EXPECT_NEAR(e.TWZustand.Jahr.QRe, verluste * 2, 1e-14);  // mm * ha
  }
  // Evaporation refills the wetting capacity up to BV, never beyond.
  e.Neff(l.sim, -1.0);
  EXPECT_EQ(e.VB, 0.5);
}

TEST(Einzugsgebiet, OneStepWithRainAndDryWeather) {
  // A combined catchment of 2 ha at 03:00 in July: hydrograph factor 0.5
  // for the hour, 1.2 for the month; QH24 1, QG24 0.5, QF24 0.2 l/s;
  // s = 0.3 (5 min). Dry weather: qt = (0.5 + 0.25 + 0.24) * 0.3 = 0.297 m3,
  // BSB (300 + 0.5 * 200) * 0.5 * 0.3 = 60 g, NH4 9 g, CSB 120 g, AFS
  // 150 * 0.297, ALK ((3 + 1) * 0.5 + 0.2 * 2 * 1.2) * 0.3 = 0.744,
  // QS 0.225, QF 0.072. Rain 2 mm with PSIa = PSIe = 0.5 and no losses:
  // neff 1 mm; one reservoir of 5 min: v = 10 * (1 - e^-1) * 1 * 2 m3.
  Lauf5 l;
  std::array<double, 24> stunde{};
  stunde.fill(1);
  stunde[3] = 0.5;
  std::array<double, 12> monat{};
  monat.fill(1);
  monat[6] = 1.2;
  l.ref.SWGanglinien.Eintraege.clear();
  l.ref.FWGanglinien.Eintraege.clear();
  l.ref.SWGanglinien.AddGL("Test", stunde);
  l.ref.FWGanglinien.AddGL("Test", monat);

  auto bau = [](TKEZ& e) {
    e.N = 1;
    e.K = 5;
    e.MV = 0;
    e.BV = 0;
    e.PSIa = e.PSIe = 0.5;
    e.AEb = 2;
    e.crAFS63 = 50;
    e.QH24 = 1;
    e.QG24 = 0.5;
    e.QF24 = 0.2;
    e.CH.SetData(0, 300, 50, 0, 7.5, 3, 600, 0, 0);
    e.CG.SetData(0, 200, 20, 0, 7.0, 2, 400, 0, 0);
  };
  TKEM m;
  TKES s;
  TKER r;
  for (TKEZ* e : std::vector<TKEZ*>{&m, &s, &r}) {
    bau(*e);
    e->SimVorbereiten(l.sim);
    e->Init();
    e->SimStart(l.sim);
    e->ReceiveRain(l.sim, 2.0);
  }
  const double v = 10 * (1 - std::exp(-1.0)) * 1 * 2;  // 12.642411176571153
  const TNET& N = l.net;

  const TFrachten& t = s.TWZustand.Aktuell;  // dry weather only
  EXPECT_NEAR(t.Q, 0.297, 1e-15);
  EXPECT_NEAR(t.BSB, 60, 1e-12);
  EXPECT_NEAR(t.NH4, 9, 1e-12);
  EXPECT_NEAR(t.CSB, 120, 1e-12);
  EXPECT_NEAR(t.AFS, 150 * 0.297, 1e-12);
  EXPECT_NEAR(t.ALK, 0.744, 1e-15);
  EXPECT_NEAR(t.GK, 0.8310537925616936, 1e-14);
  EXPECT_NEAR(t.cPH(), 7.231785239325878, 1e-12);
  EXPECT_NEAR(t.QS, 0.225, 1e-15);
  EXPECT_NEAR(t.QF, 0.072, 1e-15);
  EXPECT_EQ(t.QR, 0);
  EXPECT_EQ(t.DO2, 0);  // no oxygen deficit for dry weather
  EXPECT_EQ(t.Qurban, t.Q);

  const TFrachten& w = r.TWZustand.Aktuell;  // rain runoff only
  EXPECT_NEAR(w.Q, v, 1e-13);
  EXPECT_EQ(w.QR, w.Q);
  EXPECT_EQ(w.Neff, 1.0);
  const double ffn = 800 * 0.7 * Kehrwert(N.HNA) * Kehrwert(N.PSIa);  // 1 for the defaults
  EXPECT_NEAR(r.FFN, 1.0, 1e-15);
  EXPECT_NEAR(w.BSB, v * N.cDN.BSB * ffn, 1e-12);
  EXPECT_NEAR(w.NH4, v * N.cDN.NH4 * ffn, 1e-12);
  EXPECT_NEAR(w.AFS, v * 50 * ffn, 1e-11);
  EXPECT_NEAR(w.CSB, v * N.crCSB, 1e-11);
  EXPECT_NEAR(w.ALK, v * N.CR.ALK, 1e-13);
  EXPECT_NEAR(w.cPH(), N.CR.PH, 1e-12);
  EXPECT_NEAR(w.DO2, v * N.CR.DO2, 1e-12);

  // The combined catchment carries both; pH from the mixed carbonate
  // system (python: 7.39579148737169).
  const TFrachten& b = m.TWZustand.Aktuell;
  EXPECT_NEAR(b.Q, v + 0.297, 1e-13);
  EXPECT_NEAR(b.BSB, v * N.cDN.BSB * ffn + 60, 1e-11);
  EXPECT_NEAR(b.cPH(), 7.39579148737169, 1e-12);
  EXPECT_EQ(m.FFA, 1.0);  // QTx 0: no peak beyond the mean

  // What it generates is its step inflow and, in the balance period, its
  // year; nothing reached it from upstream.
  for (const TKEZ* e : std::vector<const TKEZ*>{&m, &s, &r}) {
    EXPECT_EQ(e->Zustand.Aktuell.Q, e->TWZustand.Aktuell.Q);
    EXPECT_EQ(e->TWZustand.Jahr.Q, e->TWZustand.Aktuell.Q);
  }

  // After the end of the balance period there is no dry weather.
  l.sim.Zeit = l.sim.Ende + 1.0 / 24;
  s.ReceiveRain(l.sim, -0.01);
  EXPECT_EQ(s.TWZustand.Aktuell.Q, 0);
}

TEST(Einzugsgebiet, StartConditionsBelongToRecordedEvents) {
  // cm before the first rain step of each event; an event that never ran
  // off is not recorded, and its entry gives way to the next event's.
  Lauf5 l;
  TKEM e;
  e.N = 1;
  e.K = 5;
  e.MV = 2;
  e.BV = 0;
  e.PSIa = 0.3;
  e.PSIe = 0.9;
  e.AEb = 1;
  e.Init();
  e.SimStart(l.sim);
  auto schritt = [&](double regen, bool beginn) {
    l.sim.Zeit += 5.0 / 1440;
    if (beginn) l.sim.Ereignisstart = l.sim.Zeit;
    e.ReceiveRain(l.sim, regen);
    e.SimSchrittEnde(l.sim);
  };
  schritt(1.0, true);  // event A begins on an empty store
  schritt(1.0, false);
  ASSERT_EQ(e.ABs.size(), 1u);
  EXPECT_EQ(e.ABs[0].cm(), 0);
  const double cmB = e.cm;
  schritt(1.0, true);  // event A was dropped; B begins
  ASSERT_EQ(e.ABs.size(), 1u);
  EXPECT_EQ(e.ABs[0].cm(), cmB);
  l.sim.SystemEreignisse.push_back({});  // B recorded
  schritt(0, false);
  const double cmC = e.cm;
  schritt(1.0, true);
  ASSERT_EQ(e.ABs.size(), 2u);
  EXPECT_EQ(e.ABs[1].cm(), cmC);
  schritt(1.0, false);
  EXPECT_EQ(e.ABs.size(), 2u);
  e.SetStartConditions(0);
  EXPECT_EQ(e.cm, cmB);
}

// ------------------------------------------------------------ natural area

TEST(NatuerlichesGebiet, SnowSoilAndReservoirs) {
  // One unit of 10 ha, CN 70, kB = kD = 1 d, project cS 0.667, cI 0.05,
  // cM 2.74; T = 300 s. Python, step by step:
  //  CN1 = 70 / 1.4002, Smax = 25400 / CN1 - 254 = 254.0726 mm, F = Smax/2
  //  (capped at cI Smax = 12.70 mm after the first step);
  //  1) 5 mm at -2 degC go to the snow store; the second store drains;
  //  2) 200 mm at 10 degC: soil store full at 169.47 mm, excess 30.63 mm;
  //  3) evaporation 0.1 mm.
  Lauf5 l;
  l.net.NAM = true;
  TAEO a;
  a.SetData(1, 1);
  THRU u;
  u.AE = 10;
  u.CN2 = 70;
  a.HRUs.push_back(u);
  a.SimStart(l.sim);
  EXPECT_NEAR(a.HRUs[0].Smax, 254.0725714285715, 1e-11);
  EXPECT_NEAR(a.HRUs[0].F, 127.03628571428575, 1e-11);
  EXPECT_EQ(a.HRU.AE, 10);
  struct Schritt {
    double regen, TLuft, Q, Ss, Ia, F, Sd;
  };
  for (const Schritt& s : {
           Schritt{5, -2, 0.1528936620636988, 5, 0, 12.703628571428576, 43.880481012281564},
           Schritt{200, 10, 10.799366593388765, 4.904861111111111, 169.4664051428572,
                   12.695782135722851, 3099.4182123025757},
           Schritt{-0.1, 10, 10.777148715399047, 4.809722222222222, 169.46154403174612,
                   12.651776002612092, 3093.0416813195266},
       }) {
    SCOPED_TRACE(s.regen);
    l.sim.TLuft = s.TLuft;
    a.ReceiveRain(l.sim, s.regen);
    EXPECT_NEAR(a.Zustand.Aktuell.Q, s.Q, 1e-12 * s.Q);
    EXPECT_EQ(a.Zustand.Aktuell.Qnat, a.Zustand.Aktuell.Q);
    EXPECT_NEAR(a.Ss, s.Ss, 1e-12);
    EXPECT_NEAR(a.HRUs[0].Ia, s.Ia, 1e-11);
    EXPECT_NEAR(a.HRUs[0].F, s.F, 1e-11);
    EXPECT_NEAR(a.Sd, s.Sd, 1e-9);
  }

  // Without the project's NAM nothing happens, not even the state saving.
  l.net.NAM = false;
  const double sd = a.Sd;
  a.ABaktuell = {};
  a.ReceiveRain(l.sim, 3);
  EXPECT_EQ(a.Sd, sd);
  EXPECT_EQ(a.ABaktuell.Sd(), 0);
}

TEST(NatuerlichesGebiet, BackgroundQualityAndYearCountedOnce) {
  // The runoff takes the concentrations of the discharge point's background
  // set (load form) and is counted once in the year.
  test::Netzbau n;
  n.Neu("AEO", "N");
  n.Neu("CON", "C");
  n.Neu("EST", "E");
  n.Parent("N", "C").Parent("C", "E");
  TEST& est = n.El<TEST>("E");
  est.CV.SetData(200, 200 * 3, 200 * 0.1, 200 * 20, 200 * 7.5, 200 * 2.5, 200 * 12, 0, 200 * 1.5);
  auto& a = n.El<TAEO>("N");
  a.SetData(1, 1);
  THRU u;
  u.AE = 4;
  u.CN2 = 80;
  a.HRUs.push_back(u);
  Lauf5 l;
  l.net.NAM = true;
  l.sim.TLuft = 10;
  a.SimStart(l.sim);
  a.ReceiveRain(l.sim, 50);
  const TFrachten& z = a.Zustand.Aktuell;
  ASSERT_GT(z.Q, 0);
  EXPECT_NEAR(z.cBSB(), 3, 1e-12);
  EXPECT_NEAR(z.cNH4(), 0.1, 1e-12);
  EXPECT_NEAR(z.cAFS(), 20, 1e-12);
  EXPECT_NEAR(z.cPH(), 7.5, 1e-12);
  EXPECT_NEAR(z.cALK(), 2.5, 1e-12);
  EXPECT_NEAR(z.cCSB(), 12, 1e-12);
  EXPECT_NEAR(z.cDO2(), 1.5, 1e-12);
  EXPECT_NEAR(z.cGK(), TParameter::cGK(2.5, 7.5), 1e-12);
  const double q = z.Q;
  a.SimCalc(l.sim);
  EXPECT_EQ(a.Zustand.Jahr.Q, q);
  EXPECT_EQ(n.El<TCON>("C").Zustand.Aktuell.Q, q);
}
