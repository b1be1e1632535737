// Structures in the simulation: a tank that fills, throttles and spills,
// side line, scripts, the CSO overflow, settling in the clarifier, the
// measure's treatment, the treatment plant and the connector's delay; then
// the water balance of every element over runs of several years.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <vector>

#include "model/elements.h"
#include "model/simulation.h"
#include "simulation/lauf.h"
#include "simulation/regengenerator.h"
#include "storage/projektdatei.h"
#include "support/netzbau.h"

using namespace t21;
using t21::test::Netzbau;

namespace {

TDateTime D(int j, int m, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

// Inflow of v m3 with concentrations BSB c, AFS a mg/l, pH 7, alkalinity 2.
TFrachten Zulauf(double v, double c, double a = 0) {
  TFrachten f;
  f.Q = v;
  f.BSB = v * c;
  f.AFS = v * a;
  f.ALK = 2 * v;
  f.GK = TParameter::cGK(2, 7) * v;
  f.PH = 7 * v;
  f.QR = v;
  return f;
}

// A structure B of the given kind whose throttle flows to D, its overflow
// after the tank to K and its tank overflow to G (connectors without delay
// that only collect), stepped by hand at 5 minutes in the balance period.
struct Strang {
  Netzbau n;
  TSimulation sim;
  TBauwerk* b = nullptr;

  explicit Strang(const std::string& typ) {
    n.Neu(typ, "B");
    for (const char* z : {"D", "K", "G"}) n.Neu("CON", z);
    n.Parent("B", "D").KUE("B", "K").GEW("B", "G");
    b = &n.El<TBauwerk>("B");
    sim.Netz = &n.Netz();
    sim.Start = D(2001, 1, 1);
    sim.Ende = D(2002, 1, 1);
    sim.Zeit = D(2001, 6, 1);
    sim.IsBilanzZeit = true;
    sim.cO2sat = 9;
  }
  void Vorbereiten() { b->SimVorbereiten(sim); }
  TFrachten& Ziel(const char* z) { return n.Element(z).Zustand.Aktuell; }
  // One step with the inflow f; the collectors start empty.
  void Schritt(const TFrachten& f) {
    for (const char* z : {"D", "K", "G"}) Ziel(z).Clear();
    sim.HasAbfluss = sim.Entlastung = false;
    b->Zustand.Aktuell = f;
    b->SimCalc(sim);
    b->SimSchrittEnde(sim);
    sim.Zeit += 5.0 / 1440;
  }
};

// A script that doubles the throttle and remembers the tank it saw.
struct Verdoppler : TScriptLauf {
  std::vector<double> gesehen;
  void DoScript(TElement& e, TSimulation&) override {
    auto& b = dynamic_cast<TBauwerk&>(e);
    gesehen.push_back(b.Speicher.Aktuell.Q);
    b.QDaktiv = 2 * b.QD;
  }
};

}  // namespace

// -------------------------------------------------------------------- tank

TEST(Becken, FillsThrottlesAndSpills) {
  // Tank 100 m3, QD 50 l/s (15 m3 per step), MaxQKUE 100 l/s (30 m3).
  // Inflow 200 m3 at BSB 100 mg/l into the empty tank: tank overflow
  // 200 - 15 - 30 - 100 = 55 m3 at the inflow's 100 mg/l, 145 m3 in, the
  // throttle draws 15, the clarifier overflow takes 30, 100 stay. Then 80 m3
  // at 50 mg/l: overflow 80 - 45 - 100 + 100 = 35 m3; the tank mixes 100 m3
  // at 100 with 45 at 50 mg/l (84.48 mg/l); then dry steps drain 15 m3 each.
  // (Python, step by step.)
  Strang s("RUB");
  s.b->SetData(50, 100, 100, false, 0, 10, 10, 15, 0);
  s.Vorbereiten();
  struct Schritt {
    double v, c, bue, bueBSB, dr, drBSB, kue, kueBSB, S;
    bool entlastung;
  };
  for (const Schritt& t : {
           Schritt{200, 100, 55, 5500, 15, 1500, 30, 3000, 100, true},
           Schritt{80, 50, 35, 1750, 15, 1267.2413793103449, 30, 2534.4827586206898, 100, true},
           Schritt{0, 0, 0, 0, 15, 1267.241379310345, 0, 0, 85, false},
           Schritt{0, 0, 0, 0, 15, 1267.241379310345, 0, 0, 70, false},
       }) {
    SCOPED_TRACE(t.v);
    s.Schritt(Zulauf(t.v, t.c));
    EXPECT_NEAR(s.Ziel("G").Q, t.bue, 1e-12);
    EXPECT_NEAR(s.Ziel("G").BSB, t.bueBSB, 1e-9);
    EXPECT_NEAR(s.Ziel("D").Q, t.dr, 1e-12);
    EXPECT_NEAR(s.Ziel("D").BSB, t.drBSB, 1e-9);
    EXPECT_NEAR(s.Ziel("K").Q, t.kue, 1e-12);
    EXPECT_NEAR(s.Ziel("K").BSB, t.kueBSB, 1e-9);
    EXPECT_NEAR(s.b->Speicher.Aktuell.Q, t.S, 1e-12);
    EXPECT_EQ(s.sim.Entlastung, t.entlastung);
    // rain water in the inflow or water in the tank
    EXPECT_TRUE(s.sim.HasAbfluss);
  }
  // The year holds each path; inflow = outflows + what stays.
  EXPECT_NEAR(s.b->Zustand.Jahr.Q, 280, 1e-12);
  EXPECT_NEAR(s.b->BUE.Zustand.Jahr.Q, 90, 1e-12);
  EXPECT_NEAR(s.b->Drossel.Jahr.Q, 60, 1e-12);
  EXPECT_NEAR(s.b->KUE.Zustand.Jahr.Q, 60, 1e-12);
  // Hours: overflows in two steps; the throttle in all four (each step
  // is an event step, its flow is not dry weather).
  EXPECT_NEAR(s.b->BUE.Zustand.Jahr.Stunden, 2 * 5.0 / 60, 1e-15);
  EXPECT_NEAR(s.b->KUE.Zustand.Jahr.Stunden, 2 * 5.0 / 60, 1e-15);
  EXPECT_NEAR(s.b->Drossel.Jahr.Stunden, 4 * 5.0 / 60, 1e-15);
  EXPECT_NEAR(s.b->Zustand.Jahr.Stunden, 2 * 5.0 / 60, 1e-15);

  // The edge of the text: 60 m3 stored, no inflow: the throttle draws 15.
  Strang r("RUB");
  r.b->SetData(50, 0, 100, false, 0, 10, 10, 15, 0);
  r.Vorbereiten();
  r.b->Speicher.Aktuell = Zulauf(60, 10);
  r.Schritt(Zulauf(0, 0));
  EXPECT_EQ(r.Ziel("D").Q, 15);
  EXPECT_EQ(r.Ziel("K").Q + r.Ziel("G").Q, 0);
  EXPECT_EQ(r.b->Speicher.Aktuell.Q, 45);
  EXPECT_FALSE(r.sim.Entlastung);

  // The run's closing counts what stays in the tank.
  TSimulation ende;
  r.b->SimAbschluss(ende);
  EXPECT_EQ(ende.SystemInhalt, 45);
}

TEST(Becken, SideLine) {
  // In the side line the throttle takes the inflow first: 10 m3 below the
  // 15 m3 of the throttle pass and nothing is stored; of 40 m3, 15 pass
  // with the inflow's concentration and 25 enter the tank.
  Strang s("RUB");
  s.b->SetData(50, 0, 100, true, 0, 10, 10, 15, 0);
  s.Vorbereiten();
  s.Schritt(Zulauf(10, 80));
  EXPECT_EQ(s.Ziel("D").Q, 10);
  EXPECT_NEAR(s.Ziel("D").cBSB(), 80, 1e-12);
  EXPECT_EQ(s.b->Speicher.Aktuell.Q, 0);
  s.Schritt(Zulauf(40, 80));
  EXPECT_EQ(s.Ziel("D").Q, 15);
  EXPECT_EQ(s.b->Speicher.Aktuell.Q, 25);
  // Then the tank empties through the throttle.
  s.Schritt(Zulauf(0, 0));
  EXPECT_EQ(s.Ziel("D").Q, 15);
  EXPECT_EQ(s.b->Speicher.Aktuell.Q, 10);
}

TEST(Becken, ScriptChangesTheThrottle) {
  // QD 50 l/s; the script doubles it. In its first step the throttle is the
  // mean (15 + 30) / 2 = 22.5 m3, afterwards 30 m3. The script sees the tank
  // with the step's inflow (0 + 40 m3), the tank keeps its own value.
  Strang s("RUB");
  s.b->SetData(50, 0, 100, false, 0, 10, 10, 15, 0);
  s.b->ScriptActive = true;
  Verdoppler v;
  s.sim.Script = &v;
  s.Vorbereiten();
  EXPECT_EQ(s.b->QDaktiv, 50);
  s.Schritt(Zulauf(40, 10));
  EXPECT_EQ(s.Ziel("D").Q, 22.5);
  EXPECT_EQ(s.b->Speicher.Aktuell.Q, 17.5);
  s.Schritt(Zulauf(20, 10));
  EXPECT_EQ(s.Ziel("D").Q, 30);
  EXPECT_DOUBLE_EQ(s.b->Speicher.Aktuell.Q, 7.5);
  EXPECT_EQ(v.gesehen, (std::vector<double>{40, 37.5}));

  // Without an interpreter the structure steps with its throttle in force.
  Strang t("RUB");
  t.b->SetData(50, 0, 100, false, 0, 10, 10, 15, 0);
  t.b->ScriptActive = true;
  t.Vorbereiten();
  t.Schritt(Zulauf(40, 10));
  EXPECT_EQ(t.Ziel("D").Q, 15);
}

// ---------------------------------------------------------- CSO overflow

TEST(Regenueberlauf, SplitsAtTheThrottle) {
  // QD 50 l/s = 15 m3 per step: of 20 m3, 15 go on and 5 over the
  // overflow, both with the inflow's concentration; below 15 m3 all goes on.
  // With the doubling script the first step uses (15 + 30) / 2 = 22.5 m3.
  Strang s("RU");
  s.b->SetData(50, 999999, 0, false, 0, 10, 10, 15, 0);
  s.Vorbereiten();
  s.Schritt(Zulauf(20, 100));
  EXPECT_EQ(s.Ziel("D").Q, 15);
  EXPECT_NEAR(s.Ziel("K").Q, 5, 1e-14);
  EXPECT_NEAR(s.Ziel("K").cBSB(), 100, 1e-12);
  EXPECT_EQ(s.Ziel("G").Q, 0);
  EXPECT_TRUE(s.sim.Entlastung);
  EXPECT_NEAR(s.b->KUE.Zustand.Jahr.Stunden, 5.0 / 60, 1e-15);
  s.Schritt(Zulauf(12, 100));
  EXPECT_EQ(s.Ziel("D").Q, 12);
  EXPECT_EQ(s.Ziel("K").Q, 0);
  EXPECT_FALSE(s.sim.Entlastung);
  EXPECT_NEAR(s.b->Zustand.Jahr.Q, s.b->Drossel.Jahr.Q + s.b->KUE.Zustand.Jahr.Q, 1e-12);

  s.b->ScriptActive = true;
  Verdoppler v;
  s.sim.Script = &v;
  s.Schritt(Zulauf(40, 100));
  EXPECT_EQ(s.Ziel("D").Q, 22.5);
  EXPECT_NEAR(s.Ziel("K").Q, 17.5, 1e-13);
}

// -------------------------------------------------------------- clarifier

TEST(Klaerbecken, SettlesTheOverflowsSolids) {
  // Volume 10 m3, QD 10 l/s (3 m3 per step), surface 100 m2. 43 m3 at AFS
  // 200 mg/l: the throttle takes 3, 30 m3 go over the clarifier overflow
  // (6000 g AFS) at a surface load of 30 m3 / (5/60 h) / 100 m2 = 3.6 m/h:
  // eta = 0.667 exp(-0.1279 * 3.6) = 0.42088 (python). The settled 2525.29 g
  // leave with the next step's throttle flow.
  Strang s("RKB");
  s.b->SetData(10, 999999, 10, false, 100, 10, 10, 15, 0);
  s.Vorbereiten();
  s.Schritt(Zulauf(43, 0, 200));
  EXPECT_NEAR(s.Ziel("D").AFS, 600, 1e-11);
  EXPECT_NEAR(s.Ziel("K").Q, 30, 1e-12);
  EXPECT_NEAR(s.Ziel("K").AFS, 3474.7142209076023, 1e-9);
  EXPECT_NEAR(s.b->Sediment, 2525.285779092397, 1e-9);
  s.Schritt(Zulauf(0, 0));
  EXPECT_NEAR(s.Ziel("D").Q, 3, 1e-12);
  EXPECT_NEAR(s.Ziel("D").AFS, 3.0 / 10 * 2000 + 2525.285779092397, 1e-9);
  EXPECT_EQ(s.b->Sediment, 0);

  // Without a settling surface the surface load is 0: 66.7 % settle.
  Strang t("RKB");
  t.b->SetData(10, 999999, 10, false, 0, 10, 10, 15, 0);
  t.Vorbereiten();
  t.Schritt(Zulauf(43, 0, 200));
  EXPECT_NEAR(t.b->Sediment, 0.667 * 6000, 1e-9);
}

// --------------------------------------------------------------- measure

TEST(Massnahme, TreatsTheThrottleOutflow) {
  // Throttle 10 l/s (3 m3), volume 20 m3; removal BSB 80 %, NH4 60 %,
  // AFS 90 %, CSB 80 %; pH and alkalinity 0 keep the tank's; outflow
  // deficit 60 % of saturation (9 mg/l). 2 m3 at BSB 100, pH 7, alkalinity
  // 2: the throttle empties the tank and the treated water keeps pH 7.
  Strang s("OMA");
  auto& o = s.n.El<TOMA>("B");
  o.SetData(10, 80, 60, 90, 0, 0, 80, 0.5, "Bodenfilter", 20, 999999, false, 60, 30, 10);
  s.Vorbereiten();
  TFrachten f = Zulauf(2, 100, 50);
  f.NH4 = 2 * 10;
  f.CSB = 2 * 200;
  s.Schritt(f);
  const TFrachten& d = s.Ziel("D");
  EXPECT_EQ(d.Q, 2);
  EXPECT_NEAR(d.cBSB(), 20, 1e-12);
  EXPECT_NEAR(d.cNH4(), 4, 1e-12);
  EXPECT_NEAR(d.cAFS(), 5, 1e-12);
  EXPECT_NEAR(d.cCSB(), 40, 1e-12);
  EXPECT_NEAR(d.cPH(), 7, 1e-12);
  EXPECT_NEAR(d.cALK(), 2, 1e-12);
  EXPECT_NEAR(d.cDO2(), 9 * 0.6, 1e-12);
  EXPECT_EQ(s.b->Speicher.Aktuell.Q, 0);

  // Entered pH and alkalinity replace the tank's.
  o.ETA.PH = 7.8;
  o.ETA.ALK = 3;
  s.Schritt(Zulauf(5, 100));
  EXPECT_DOUBLE_EQ(s.Ziel("D").Q, 3);
  EXPECT_NEAR(s.Ziel("D").cPH(), 7.8, 1e-12);
  EXPECT_NEAR(s.Ziel("D").cGK(), TParameter::cGK(3, 7.8), 1e-12);
}

// ------------------------------------------------------------------ plant

TEST(Klaeranlage, EffluentConcentrations) {
  // Whatever flows in leaves with BSB 5, NH4 10, AFS 15, CSB 70 mg/l,
  // pH 7.4, alkalinity 2.8 and a deficit of 80 % of 9 mg/l = 7.2 mg/l.
  Netzbau n;
  n.Neu("KLG", "A");
  n.Neu("CON", "Z");
  n.Parent("A", "Z");
  auto& a = n.El<TKLG>("A");
  TSimulation sim;
  sim.cO2sat = 9;
  sim.IsBilanzZeit = true;
  a.SimVorbereiten(sim);
  a.Zustand.Aktuell = Zulauf(10, 300, 200);
  a.SimCalc(sim);
  const TFrachten& z = n.El<TCON>("Z").Zustand.Aktuell;
  EXPECT_EQ(z.Q, 10);
  EXPECT_NEAR(z.cBSB(), 5, 1e-12);
  EXPECT_NEAR(z.cNH4(), 10, 1e-12);
  EXPECT_NEAR(z.cAFS(), 15, 1e-12);
  EXPECT_NEAR(z.cCSB(), 70, 1e-12);
  EXPECT_NEAR(z.cPH(), 7.4, 1e-12);
  EXPECT_NEAR(z.cALK(), 2.8, 1e-12);
  EXPECT_NEAR(z.cDO2(), 7.2, 1e-12);
  EXPECT_EQ(z.QR, 10);
  EXPECT_TRUE(sim.HasAbfluss);  // rain water passes the plant
  EXPECT_EQ(a.Zustand.Jahr.Q, 10);
  EXPECT_NEAR(a.Zustand.Jahr.cBSB(), 5, 1e-12);
}

// ------------------------------------------------------------ step end

// A step's set without water (flows that cancelled, a reach handing on less
// than nothing) still carries loads; the end of the step clears it as well,
// so nothing of it is counted again in the next step.
TEST(Schrittende, ClearsASetWithoutWater) {
  Netzbau n;
  n.Neu("CON", "C");
  n.Neu("KEM", "K");
  n.Neu("AEO", "O");
  n.Neu("KLG", "A");
  TSimulation sim;
  for (TElement* e : {&n.Element("C"), &n.Element("K"), &n.Element("O"), &n.Element("A"),
                      static_cast<TElement*>(&n.Netz())}) {
    SCOPED_TRACE(e->Name());
    for (double q : {0.0, -2.0}) {
      TFrachten& a = e->Zustand.Aktuell;
      a = Zulauf(1, 10);
      a.Q = q;
      a.Qurban = 3;
      e->SimSchrittEnde(sim);
      EXPECT_EQ(a.BSB, 0);
      EXPECT_EQ(a.Qurban, 0);
      EXPECT_EQ(a.Q, 0);
    }
  }
}

// -------------------------------------------------------------- connector

TEST(Verbinder, DelaysByItsFlowTime) {
  // n = Round(TF / dt), halves to even.
  struct Fall {
    double TF, dt;
    int n;
  };
  for (const Fall& f : {Fall{12, 5, 2}, Fall{0, 5, 0}, Fall{7.5, 5, 2}, Fall{12.5, 5, 2},
                        Fall{17.5, 5, 4}, Fall{3, 2.5, 1}, Fall{2, 5, 0}, Fall{5, 0.25, 20}}) {
    SCOPED_TRACE(f.TF);
    Netzbau n;
    n.Neu("CON", "C");
    n.Neu("CON", "Z");
    n.Parent("C", "Z");
    auto& c = n.El<TCON>("C");
    c.SetData(f.TF);
    TSimulation sim;
    sim.dt_min = f.dt;
    c.SimVorbereiten(sim);
    c.SimStart(sim);
    ASSERT_EQ(c.Verzoegerung(), f.n);
    // Inflow 1, 2, 3 m3 (BSB 10 mg/l), then nothing: it leaves n steps later.
    TFrachten& z = n.El<TCON>("Z").Zustand.Aktuell;
    std::vector<double> aus;
    double rein = 0, raus = 0;
    for (int t = 0; t < f.n + 4; ++t) {
      if (t < 3) c.Zustand.Aktuell = Zulauf(t + 1, 10);
      rein += c.Zustand.Aktuell.Q;
      c.SimCalc(sim);
      aus.push_back(z.Q);
      raus += z.Q;
      if (z.Q > 0) {
        EXPECT_NEAR(z.cBSB(), 10, 1e-12);
      }
      EXPECT_EQ(c.Inhalt(), rein - raus);  // what is on its way
      z.Clear();
      c.SimSchrittEnde(sim);
    }
    std::vector<double> soll(aus.size(), 0);
    for (int k = 0; k < 3; ++k) soll[static_cast<size_t>(k + f.n)] = k + 1;
    EXPECT_EQ(aus, soll);
  }

  // A reset hands what is left in the step on and empties the store.
  Netzbau n;
  n.Neu("CON", "C");
  n.Neu("CON", "Z");
  n.Parent("C", "Z");
  auto& c = n.El<TCON>("C");
  c.SetData(10);
  TSimulation sim;
  c.Init(sim);
  c.Zustand.Aktuell = Zulauf(4, 10);
  c.Init(sim);
  EXPECT_EQ(n.El<TCON>("Z").Zustand.Aktuell.Q, 4);
  EXPECT_EQ(c.Zustand.Aktuell.Q, 0);
  EXPECT_EQ(c.Inhalt(), 0);
}

// ------------------------------------------------------- water balances

namespace {

namespace fs = std::filesystem;

// What an element holds, m3: the catchment's cascade, the connector's
// translation store, the tank, the natural area's stores.
double Inhalt(const TElement* e) {
  if (const auto* k = dynamic_cast<const TKEZ*>(e)) return 10 * k->Kaskade1.Inhalt();
  if (const auto* c = dynamic_cast<const TCON*>(e)) return c->Inhalt();
  if (dynamic_cast<const TEST*>(e)) return 0;
  if (const auto* b = dynamic_cast<const TBauwerk*>(e)) return b->Speicher.Aktuell.Q;
  if (const auto* a = dynamic_cast<const TAEO*>(e)) return a->Inhalt();
  return 0;
}

// The balance period's total of an accumulator, whether the year changes
// move the years into Summe or not.
double Gesamt(const TState& z) {
  return z.Jahr.Q + z.Summe.Q;
}
double GesamtQR(const TState& z) {
  return z.Jahr.QR + z.Summe.QR;
}
double GesamtQRe(const TState& z) {
  return z.Jahr.QRe + z.Summe.QRe;
}

// Remembers what every element holds when the balance period begins.
struct Anfangsinhalte : TLaufBeobachter {
  std::map<const TElement*, double> inhalt;
  std::map<const TElement*, double> trocken;  // a structure's dry-weather share held
  void NeuerTag(const TSimulation& sim, int) override {
    if (inhalt.empty() && std::fabs(sim.Zeit - sim.Start) < 1e-6)
      for (const TElement* e : sim.Reihenfolge) {
        inhalt[e] = Inhalt(e);
        if (const auto* b = dynamic_cast<const TBauwerk*>(e)) trocken[e] = b->Speicher.Aktuell.QT();
      }
  }
};

double GesamtQT(const TState& z) {
  return z.Jahr.QT() + z.Summe.QT();
}

void Gleich(double ist, double soll, const std::string& was) {
  EXPECT_NEAR(ist, soll, 1e-9 * std::max({std::fabs(ist), std::fabs(soll), 1.0})) << was;
}

// Checks for every element of a completed run whose kind is built here:
// what flowed in and was generated equals what flowed out plus the change of
// what it holds plus its losses. Inflows are taken from what the upstream
// elements sent, not from the element's own count. Returns the number of
// elements checked.
int PruefeBilanzen(const TSimulationsLauf& lauf, const Anfangsinhalte& anfang) {
  const TSimulation& sim = lauf.Simulation();
  EXPECT_NEAR(sim.Zeit, sim.Ende, 1e-8) << "no step may follow the balance period";
  std::map<const TElement*, double> zu, zuQT;
  std::map<const TElement*, bool> vonEinleitung;
  auto sende = [&](const TElement* von, const TCadShape* ziel, const TState* z) {
    if (!ziel) return;
    const TElement* el = TM3Model::ElementOf(ziel);
    zu[el] += z ? Gesamt(*z) : 0;
    zuQT[el] += z ? GesamtQT(*z) : 0;
    if (dynamic_cast<const TEST*>(von) || vonEinleitung[von]) vonEinleitung[el] = true;
  };
  for (const TElement* e : sim.Reihenfolge) {
    const TCadShape* s = e->Owner;
    if (dynamic_cast<const TEST*>(e)) {
      sende(e, s->Parent(), nullptr);
    } else if (const auto* b = dynamic_cast<const TBauwerk*>(e)) {
      sende(e, s->Parent(), &b->Drossel);
      sende(e, s->KUE(), &b->KUE.Zustand);
      sende(e, s->GEW(), &b->BUE.Zustand);
    } else {
      sende(e, s->Parent(), &e->Zustand);
    }
  }

  double regen = 0;
  for (const TREG* r : sim.Regenschreiber)
    regen = r->Zustand.Jahr.Regen() + r->Zustand.Summe.Regen();
  int geprueft = 0;
  for (const TElement* e : sim.Reihenfolge) {
    if (dynamic_cast<const TEST*>(e) || vonEinleitung[e]) continue;
    const std::string name = e->Name().empty() ? e->Typ() : e->Name();
    const double delta = Inhalt(e) - anfang.inhalt.at(e);
    const double ein = zu[e];
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      // rain on the sealed area = losses + rain runoff + change of the cascade
      if (k->Regenabfluss())
        Gleich(regen * k->AEb * 10, 10 * GesamtQRe(k->TWZustand) + GesamtQR(k->TWZustand) + delta,
               name + ": Regen");
      // what it passes on = inflow + what it generated
      Gleich(Gesamt(e->Zustand), ein + Gesamt(k->TWZustand), name);
      const TState& t = k->TWZustand;
      Gleich(Gesamt(t), GesamtQR(t) + t.Jahr.QT() + t.Summe.QT(), name + ": Anteile");
    } else if (const auto* a = dynamic_cast<const TAEO*>(e)) {
      Gleich(regen * a->HRU.AE * 10 + ein,
             Gesamt(e->Zustand) + a->Verdunstung + a->Speicherverlust + delta, name);
    } else if (const auto* c = dynamic_cast<const TCON*>(e)) {
      (void)c;
      Gleich(ein, Gesamt(e->Zustand) + delta, name);
    } else if (const auto* u = dynamic_cast<const TRU*>(e)) {
      Gleich(ein, Gesamt(u->Zustand), name + ": Zufluss");
      Gleich(ein, Gesamt(u->Drossel) + Gesamt(u->KUE.Zustand) + delta, name);
      EXPECT_EQ(Gesamt(u->BUE.Zustand), 0) << name;
      // The dry-weather share splits as the water does.
      Gleich(zuQT[e],
             GesamtQT(u->Drossel) + GesamtQT(u->KUE.Zustand) +
                 (u->Speicher.Aktuell.QT() - anfang.trocken.at(e)),
             name + ": Trockenwetteranteil");
    } else if (const auto* b = dynamic_cast<const TBauwerk*>(e)) {
      Gleich(ein, Gesamt(b->Zustand), name + ": Zufluss");
      Gleich(ein, Gesamt(b->Drossel) + Gesamt(b->KUE.Zustand) + Gesamt(b->BUE.Zustand) + delta,
             name);
      Gleich(zuQT[e],
             GesamtQT(b->Drossel) + GesamtQT(b->KUE.Zustand) + GesamtQT(b->BUE.Zustand) +
                 (b->Speicher.Aktuell.QT() - anfang.trocken.at(e)),
             name + ": Trockenwetteranteil");
      // Dry weather flows on through the throttle (a storm-water clarifier
      // receives none).
      if (zuQT[e] > 0) {
        EXPECT_GT(GesamtQT(b->Drossel), 0) << name;
      }
    } else {
      // treatment plant, project record and the kinds that pass water on
      Gleich(ein, Gesamt(e->Zustand), name);
    }
    ++geprueft;
  }
  return geprueft;
}

}  // namespace

TEST(Bilanz, EveryKindOverThreeYears) {
  // Combined, foul and storm catchments, a connector, a CSO tank whose tank
  // overflow leaves the system, a CSO overflow, a clarifier, a measure in
  // the side line, the treatment plant and a natural area, all over three
  // years of synthetic 5-minute rain.
  Netzbau n;
  const fs::path dir = fs::temp_directory_path() / ("t21_bilanz_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  TRegenGenerator g;
  g.Jahre = 3;
  std::string fehler;
  ASSERT_TRUE(g.Schreibe((dir / "r.reg").string(), fehler)) << fehler;
  n.Neu("REG", "R");
  n.El<TREG>("R").SetData((dir / "r.reg").string());

  auto kem = [&](const std::string& typ, const std::string& name, double ae, int b) {
    n.Neu(typ, name);
    auto& k = n.El<TKEZ>(name);
    test::StandardKEM(k);
    k.PSIe = 0.9;
    k.QF = 0.05;
    k.AEs.Liste = {test::Flaeche(ae, b, 2)};
    n.KUE(name, "R");
  };
  kem("KEM", "M1", 10, 50);
  kem("KEM", "M2", 5, 40);
  kem("KER", "T1", 8, 60);
  kem("KES", "S1", 0, 0);
  n.Neu("CON", "C1");
  n.El<TCON>("C1").SetData(12);
  n.Neu("RUB", "B1");
  n.El<TRUB>("B1").SetData(30, 50, 200, false, 0, 10, 10, 15, 0);
  n.Neu("OMA", "O1");
  n.El<TOMA>("O1").SetData(5, 80, 60, 90, 0, 0, 80, 0.5, "Bodenfilter", 50, 999999, true, 60, 30,
                           10);
  n.Neu("RU", "U1");
  n.El<TRU>("U1").SetData(10, 999999, 0, false, 0, 10, 10, 15, 0);
  n.Neu("RKB", "K1");
  n.El<TRKB>("K1").SetData(5, 20, 100, false, 50, 10, 10, 15, 0);
  n.Neu("KLG", "A1");
  n.Neu("AEO", "N1");
  auto& a = n.El<TAEO>("N1");
  a.SetData(2, 1);
  THRU h;
  h.AE = 20;
  h.CN2 = 70;
  a.HRUs.push_back(h);
  h.AE = 5;
  h.CN2 = 85;
  a.HRUs.push_back(h);
  n.KUE("N1", "R");
  n.Netz().NAM = true;

  n.Parent("M1", "C1").Parent("S1", "C1").Parent("C1", "B1");
  n.Parent("B1", "A1").KUE("B1", "O1");  // the tank overflow leaves the system
  test::Bauwerksstrang(n, "M2", "U1", "A1");
  n.GEW("U1", "A1");
  n.Parent("T1", "K1").Parent("K1", n.m.Root()->Name).KUE("K1", n.m.Root()->Name);
  n.GEW("K1", n.m.Root()->Name);
  n.Parent("O1", n.m.Root()->Name);
  n.Parent("A1", n.m.Root()->Name).Parent("N1", n.m.Root()->Name);
  n.Rechnen();
  ASSERT_GT(n.El<TKEZ>("M1").AEb, 0);
  ASSERT_GT(n.El<TKEZ>("S1").QH24, 0);

  TSimulationsLauf lauf(n.m);
  Anfangsinhalte anfang;
  ASSERT_EQ(lauf.Starte(D(2001, 1, 1), D(2004, 1, 1), &anfang), TLaufErgebnis::Abgeschlossen);
  ASSERT_FALSE(anfang.inhalt.empty());
  EXPECT_EQ(PruefeBilanzen(lauf, anfang), 12);

  // Every path carried water; the tank spilled, and what its tank overflow
  // took left the system.
  for (const char* b : {"B1", "O1", "U1", "K1"})
    EXPECT_GT(Gesamt(n.El<TBauwerk>(b).Drossel), 0) << b;
  EXPECT_GT(Gesamt(n.El<TBauwerk>("B1").BUE.Zustand), 0);
  EXPECT_GT(Gesamt(n.El<TBauwerk>("B1").KUE.Zustand), 0);
  EXPECT_GT(Gesamt(n.El<TBauwerk>("K1").KUE.Zustand), 0);
  EXPECT_GT(Gesamt(n.El<TBauwerk>("U1").KUE.Zustand), 0);
  EXPECT_GT(Gesamt(n.El<TAEO>("N1").Zustand), 0);
  EXPECT_GT(lauf.Simulation().SystemEreignisse.size(), 50u);
  fs::remove_all(dir);
}

TEST(Bilanz, ExampleProjectOverTenYears) {
  // The shipped example: two combined catchments and a foul one meet at a
  // connector and a CSO tank above the discharge point, ten years of its
  // rain series.
  const fs::path beispiel =
      fs::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";
  TM3Model m;
  const TLadeErgebnis geladen = A3_Laden(m, (beispiel / "Beispiel").string());
  ASSERT_TRUE(geladen.Ok) << geladen.Fehler;
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((beispiel / r->FileName).string());
  TSimulationsLauf lauf(m);
  Anfangsinhalte anfang;
  ASSERT_EQ(lauf.Starte(D(2001, 1, 1), D(2011, 1, 1), &anfang), TLaufErgebnis::Abgeschlossen);
  // Altstadt, Neubaugebiet, Gewerbe, Sammler, RÜB Mitte; the discharge
  // point and what lies below it are the receiving water's.
  EXPECT_EQ(PruefeBilanzen(lauf, anfang), 5);
  const auto& b = dynamic_cast<const TRUB&>(*TM3Model::ElementOf(m.Liste.Find("RÜB Mitte")));
  EXPECT_GT(Gesamt(b.KUE.Zustand), 0);
  EXPECT_GT(Gesamt(b.Drossel), 0);
}
