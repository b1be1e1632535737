// The evaluation of a run: event rows, year changes, balances, loads and the
// run report.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <utility>

#include "simulation/auswertung.h"
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

// Row of a table whose columns hold the given texts, or -1.
int Zeile(const TTabelle& t, std::initializer_list<std::pair<const char*, std::string>> werte) {
  for (int z = 0; z < t.Anzahl(); ++z) {
    bool alle = true;
    for (const auto& [spalte, text] : werte) alle = alle && AlsText(t.Wert(z, spalte)) == text;
    if (alle) return z;
  }
  return -1;
}
double Zahl(const TTabelle& t, int z, const char* spalte) {
  return AlsZahl(t.Wert(z, spalte));
}

// Expects the numbers of a row; a NaN expects an empty column.
void ExpectZeile(const TTabelle& t, int z,
                 std::initializer_list<std::pair<const char*, double>> werte) {
  ASSERT_GE(z, 0) << t.Schema().Name;
  for (const auto& [spalte, w] : werte) {
    if (std::isnan(w)) {
      EXPECT_TRUE(IstNull(t.Wert(z, spalte))) << t.Schema().Name << " " << spalte;
      continue;
    }
    ASSERT_FALSE(IstNull(t.Wert(z, spalte))) << t.Schema().Name << " " << spalte;
    EXPECT_NEAR(Zahl(t, z, spalte), w, 1e-9 * std::max(1.0, std::fabs(w)))
        << t.Schema().Name << " row " << z << " " << spalte;
  }
}
const double kLeer = std::nan("");

const TMeldungZeile* Bericht(const std::vector<TMeldungZeile>& r, const std::string& s1) {
  for (const auto& z : r)
    if (z.S1 == s1) return &z;
  return nullptr;
}

// Water of the stand-ins: 100 g COD per m3.
constexpr double kCSB = 100;

// A catchment stand-in: 1 l/s of dry-weather water in every step, and its
// rain on the sealed area as runoff in the same step.
class Ablauf : public TKEM {
 public:
  double SimZeitschrittGrenze(TSimulation&) override { return 5.0; }
  void ReceiveRain(TSimulation& sim, double regen) override {
    TFrachten& a = Zustand.Aktuell;
    const double qt = sim.dt_sec_div_1000;  // 1 l/s
    a.Q += qt;
    a.QS += qt;
    a.CSB += kCSB * qt;
    if (regen <= 0) return;
    const double q = regen * AEb * 10;  // mm on ha -> m3
    sim.HasAbfluss = true;
    a.Q += q;
    a.QR += q;
    a.CSB += kCSB * q;
  }
  void SimAbschluss(TSimulation&) override {}
};

// A structure stand-in: throttles to QD, the rest over its overflow, stores
// nothing; balances as the storage structures keep them (the throttle into
// the event at every step with flow).
class Drosselbauwerk : public TRUB {
 public:
  void SimCalc(TSimulation& sim) override {
    TFrachten& v = Zustand.Aktuell;
    if (!(v.Q > 0)) return;
    const double anteil = std::min(QD * sim.dt_sec_div_1000, v.Q) / v.Q;
    TFrachten& d = Drossel.Aktuell;  // the throttle flow of the step
    d = v;
    d.MulAll(anteil);
    TFrachten u = v;
    u.MulAll(1 - anteil);
    d.AddAllTo(Parent()->Zustand.Aktuell);
    if (u.Q > 0) {
      u.AddAllTo(Parent()->Zustand.Aktuell);
      sim.Entlastung = true;
    }
    if (!sim.IsBilanzZeit) return;
    const bool ereignis = sim.HasAbfluss || sim.WarAbfluss;
    const double thr = sim.dt_min / 1000;
    v.AddAllTo(Zustand.Jahr);
    if (ereignis) v.AddAllTo(Zustand.Ereignis);
    if (ereignis && std::fabs(v.Q - v.QT()) > thr) Stunden(Zustand, sim.dt_h);
    d.AddAllTo(Drossel.Jahr);
    d.AddAllTo(Drossel.Ereignis);
    if (ereignis && d.QT() < d.Q) Stunden(Drossel, sim.dt_h);
    if (u.Q > 0) {
      u.AddAllTo(KUE.Zustand.Jahr);
      u.AddAllTo(KUE.Zustand.Ereignis);
    }
    if (u.Q > thr) Stunden(KUE.Zustand, sim.dt_h);
  }

 private:
  static void Stunden(TState& s, double h) {
    s.Jahr.Stunden += h;
    s.Ereignis.Stunden += h;
  }
};

// A discharge point stand-in: passes its inflow on, keeps the inflow's year
// and event sets.
class Durchlauf : public t21::TEST {
 public:
  void SimCalc(TSimulation& sim) override {
    TFrachten& v = Zustand.Aktuell;
    if (!(v.Q > 0)) return;
    if (sim.IsBilanzZeit) {
      v.AddAllTo(Zustand.Jahr);
      if (sim.HasAbfluss || sim.WarAbfluss) v.AddAllTo(Zustand.Ereignis);
    }
    v.AddAllTo(Parent()->Zustand.Aktuell);
  }
};

}  // namespace

// Two events in 2001 and one in 2002 through a catchment with dry-weather
// water, a throttle of 10 l/s and a discharge point, checked by hand:
// dry weather 0.3 m3 per step, 1 mm of rain on 2 ha is 20 m3.
class Auswertungslauf : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_ausw_" + std::to_string(::getpid()));
  Netzbau n;
  TSimulationsLauf lauf{n.m};

  void SetUp() override {
    fs::create_directories(dir);
    auto k = std::make_unique<Ablauf>();
    t21::test::StandardKEM(*k);
    k->AEs.Liste = {t21::test::Flaeche(2, 100, 1)};
    n.m.SetElement(n.Neu("KEM", "K"), std::move(k));
    auto b = std::make_unique<Drosselbauwerk>();
    b->QD = 10;
    n.m.SetElement(n.Neu("RUB", "B"), std::move(b));
    auto e = std::make_unique<Durchlauf>();
    e->Profil.SetData(1, 0, 1, 1, 30, 41);  // a short reach with a fall
    e->Profil.PH = 1;
    e->Profil.BWSP = 3;
    e->AE0 = 1;
    e->_mnq = 5;
    e->_HQ1pnat = 100;
    e->X = 0.1;
    n.m.SetElement(n.Neu("EST", "E"), std::move(e));
    n.Neu("REG", "R");
    n.KUE("K", "R").GEW("K", "E");
    t21::test::Bauwerksstrang(n, "K", "B", "E");
    n.Rechnen();
    const std::string regen = (dir / "r.reg").string();
    std::ofstream(regen, std::ios::binary)
        << KopfM() + SatzM(D(2001, 3, 1, 10), 1000) + SatzM(D(2001, 8, 1, 15), 500) +
               SatzM(D(2001, 8, 1, 18), 500) + SatzM(D(2002, 6, 1, 8), 100) +
               SatzM(D(2005, 1, 1), 0, true);
    n.El<TREG>("R").SetData(regen);
    ASSERT_EQ(lauf.Starte(D(2001, 1, 1), D(2003, 1, 1)), TLaufErgebnis::Abgeschlossen);
  }
  void TearDown() override { fs::remove_all(dir); }
  const TDataModule2& dm() { return lauf.Ergebnisse(); }
};

TEST_F(Auswertungslauf, EventTable) {
  const TTabelle& ev = dm().CDSEreignisse;
  ASSERT_EQ(ev.Anzahl(), 3);
  struct Erwartet {
    TDateTime beginn, ende;
    const char* dauer;
    bool entlastung;
  };
  const Erwartet erwartet[] = {{D(2001, 3, 1, 10), D(2001, 3, 1, 10), "0,00", true},
                               {D(2001, 8, 1, 15), D(2001, 8, 1, 18), "3,00", true},
                               {D(2002, 6, 1, 8), D(2002, 6, 1, 8), "0,00", false}};
  for (int z = 0; z < 3; ++z) {
    const Erwartet& e = erwartet[z];
    EXPECT_EQ(AlsGanzzahl(ev.Wert(z, "Nr.")), z + 1);
    EXPECT_NEAR(Zahl(ev, z, "Beginn"), e.beginn, kZeitEps);
    EXPECT_NEAR(Zahl(ev, z, "Ende"), e.ende, kZeitEps);
    EXPECT_EQ(AlsText(ev.Wert(z, "Dauer")), e.dauer);
    EXPECT_EQ(AlsBool(ev.Wert(z, "Entlastung")), e.entlastung);
  }
}

TEST_F(Auswertungslauf, StructureEventRows) {
  // Event 1: 74 steps from 10:00 to 16:05 (the first step more than 6 hours
  // after the rain closes it); the rain step throttles 3 of 20.3 m3, the
  // other 73 pass their 0.3 m3. Event 2: 110 steps from 15:00 to 00:05 with
  // two rain steps of 10.3 m3. Event 3: 74 steps, 2.3 m3 all throttled.
  const TTabelle& t = dm().CDSEreignisseBauwerke;
  ASSERT_EQ(t.Anzahl(), 3);
  const double h = 1.0 / 12;
  ExpectZeile(t, Zeile(t, {{"Nr", "1"}, {"Name", "B"}, {"Typ", "RUB"}, {"Jahr", "2001"}}),
              {{"Dauer", 0},
               {"Q", 42.2},
               {"CSB", 4.22},
               {"T", h},
               {"Q_KUE", 17.3},
               {"CSB_KUE", 1.73},
               {"T_KUE", h},
               {"Q_BUE", 0},
               {"Q_ges", 24.9},
               {"CSB_ges", 2.49},
               {"T_ges", h}});
  ExpectZeile(t, Zeile(t, {{"Nr", "2"}, {"Jahr", "2001"}}),
              {{"Dauer", 3},
               {"Q", 53.0},
               {"T", 2 * h},
               {"Q_KUE", 14.6},
               {"T_KUE", 2 * h},
               {"Q_ges", 38.4},
               {"T_ges", 2 * h}});
  ExpectZeile(t, Zeile(t, {{"Nr", "3"}, {"Jahr", "2002"}}),
              {{"Q", 24.2}, {"T", h}, {"Q_KUE", 0}, {"T_KUE", 0}, {"Q_ges", 24.2}, {"T_ges", h}});
  EXPECT_NEAR(Zahl(t, 1, "Start"), D(2001, 8, 1, 15), kZeitEps);
  EXPECT_NEAR(Zahl(t, 1, "Ende"), D(2001, 8, 1, 18), kZeitEps);

  // the discharge point has a row for every event
  const TTabelle& g = dm().CDSEreignisseGewaesser;
  ASSERT_EQ(g.Anzahl(), 3);
  ExpectZeile(g, Zeile(g, {{"Nr", "2"}, {"Name", "E"}, {"Typ", "EST"}}), {{"Q", 53.0}});
}

TEST_F(Auswertungslauf, YearlyBalances) {
  // 105120 steps a year of 0.3 m3 dry weather; rain 40 m3 in 2001, 2 m3 in
  // 2002; overflows 17.3 + 14.6 m3 in two events of 2001. The year before
  // the period and a repeated last year have no rows.
  EXPECT_EQ(lauf.Jahre, (std::vector<int>{2001, 2002}));
  const TTabelle& a = dm().CDSSumA128;
  EXPECT_EQ(Zeile(a, {{"Jahr", "2000"}}), -1);
  EXPECT_EQ(a.Anzahl(), 2 * 2 + 2 + 2);
  ExpectZeile(a, Zeile(a, {{"Jahr", "2001"}, {"Element", "B"}, {"Typ", "RUB"}}),
              {{"AU", 2},
               {"QZU", 31576},
               {"QS", 31536},
               {"QF", 0},
               {"QR", 40},
               {"QD", 31544.1},
               {"QKUE", 31.9},
               {"TKUE", 0.25},
               {"QBUE", 0},
               {"TBUE", 0},
               {"n", 2},
               {"E0", 79.75}});
  ExpectZeile(a, Zeile(a, {{"Jahr", "2002"}, {"Element", "B"}}),
              {{"QZU", 31538}, {"QR", 2}, {"QD", 31538}, {"QKUE", 0}, {"n", 0}, {"E0", 0}});
  ExpectZeile(a, Zeile(a, {{"Jahr", "2001"}, {"Element", "Gesamtsystem"}, {"Typ", "***"}}),
              {{"AU", 2}, {"QZU", 31576}, {"QKUE", 31.9}, {"n", 2}});
  ExpectZeile(a, Zeile(a, {{"Jahr", "Jahresmittel"}, {"Element", "Gesamtsystem (365 Tage)"}}),
              {{"QZU", 31557}, {"QKUE", 15.95}, {"n", 1}, {"E0", 31.9 / 42 * 100}});
  ExpectZeile(a, Zeile(a, {{"Jahr", "i.M."}, {"Element", "B"}}), {{"QZU", 31557}, {"n", 1}});

  const TTabelle& k = dm().CDSSumKEZ;
  ExpectZeile(k, Zeile(k, {{"Jahr", "2001"}, {"Element", "K"}, {"Typ", "KEM"}}),
              {{"AU", 2},
               {"N", 2.0},
               {"NEFF", 0},
               {"PSI", 0},
               {"SUMQGES", 31576},
               {"SUMQS", 31536},
               {"SUMQF", 0},
               {"SUMQR", 40},
               {"_SUMQR", kLeer}});
  ExpectZeile(k, Zeile(k, {{"Jahr", "2001"}, {"Element", "Gesamtsystem"}}),
              {{"AU", 2}, {"N", kLeer}, {"_QR", kLeer}});

  const TTabelle& r = dm().CDSSumREG;
  ExpectZeile(r, Zeile(r, {{"Jahr", "2001"}, {"Regenschreiber", "R"}}),
              {{"N", 2.0}, {"Stunden", 0.25}});
  ExpectZeile(r, Zeile(r, {{"Jahr", "2002"}}), {{"N", 0.1}, {"Stunden", 1.0 / 12}});
  ExpectZeile(r, Zeile(r, {{"Jahr", "i.M."}}), {{"N", 1.05}});

  const TTabelle& e = dm().CDSSumEST;
  const auto& est = n.El<TEST>("E");
  ExpectZeile(e, Zeile(e, {{"Jahr", "2001"}, {"Element", "E"}}),
              {{"HQ1", 100},
               {"QE1zul", 110 - est.HQ1ist()},
               {"MNQ", 5},
               {"maxQE", 0},
               {"minO2", 9.1},
               {"maxCSB", kLeer}});
}

TEST_F(Auswertungslauf, Loads) {
  const TTabelle& t = dm().CDSFrachtenBauwerke;
  ASSERT_EQ(t.Anzahl(), 4);
  const char* jahre[] = {"2001", "2002", "Simulation", "i.M."};
  for (int z = 0; z < 4; ++z) {
    EXPECT_EQ(AlsGanzzahl(t.Wert(z, "Nr")), z);
    EXPECT_EQ(AlsText(t.Wert(z, "Jahr")), jahre[z]);
    EXPECT_EQ(AlsText(t.Wert(z, "Name")), "B");
  }
  ExpectZeile(t, 0,
              {{"Q", 31576},
               {"CSB", 3157.6},
               {"T", 0.25},
               {"Q_KUE", 31.9},
               {"CSB_KUE", 3.19},
               {"T_KUE", 0.25},
               {"Q_BUE", 0},
               {"Q_ges", 31544.1},
               {"CSB_ges", 3154.41},
               {"AFS_Vorbelastung", 0}});
  ExpectZeile(t, 2, {{"Q", 63114}, {"CSB", 6311.4}, {"T", 0.25 + 1.0 / 12}});
  // annual means: 730 days, so volumes and hours halved, loads in kg per year
  ExpectZeile(t, 3,
              {{"Q", 31557}, {"CSB", 3155.7}, {"T", (0.25 + 1.0 / 12) / 2}, {"Q_KUE", 15.95}});
  // the element's totals stay those of the run
  EXPECT_NEAR(n.El<TRUB>("B").Zustand.Summe.Q, 63114, 1e-6);

  const TTabelle& g = dm().CDSFrachtenGewaesser;
  ASSERT_EQ(g.Anzahl(), 4);
  const auto& e = n.El<TEST>("E");
  ExpectZeile(g, 0, {{"Q", 31576}, {"CSB", 3157.6}, {"AFS_Vorbelastung", e.MQ() / e.MNQ()}});
}

TEST_F(Auswertungslauf, RunReport) {
  const auto& r = lauf.CDSReport;
  auto zeile = [&](const std::string& s1) {
    const TMeldungZeile* z = Bericht(r, s1);
    return z ? *z : TMeldungZeile{"fehlt: " + s1, "", ""};
  };
  EXPECT_EQ(zeile("Bilanzierungsdauer"), (TMeldungZeile{"Bilanzierungsdauer", "730 Tage", ""}));
  EXPECT_EQ(zeile("letztes Intervall").S2, "01.01.03 00:00:00");
  EXPECT_EQ(zeile("Zeitschrittweite dt").S2, "5 min");
  EXPECT_EQ(zeile("Zeitschritte").S2, std::to_string(731 * 288));
  EXPECT_NE(Bericht(r, " "), nullptr);
  EXPECT_NE(Bericht(r, "Volumenbilanz befestigte Flächen"), nullptr);
  // 2.1 mm on 2 ha; all of it reached the root as rain water
  EXPECT_EQ(zeile("Regenwasserabfluss QR").S2, "42,000000000 cbm");
  EXPECT_EQ(zeile("= QR befestigter Flächen"),
            (TMeldungZeile{"= QR befestigter Flächen", "42,000000000 cbm", "100,000000000 %"}));
  EXPECT_EQ(zeile("+ Überleitung extern").S2, "0,000000000 cbm");
  EXPECT_EQ(zeile("Brutto-Niederschlag"),
            (TMeldungZeile{"Brutto-Niederschlag", "42,000000000 cbm", "100,000000000 %"}));
  EXPECT_EQ(zeile("Volumenfehler/Systeminhalt").S3, "0,000000000 %");
  // 31.9 m3 overflow at 100 g/m3: 3.19 kg, 1.595 kg a year
  EXPECT_EQ(zeile("gesamte CSB-Entlastungsfracht"),
            (TMeldungZeile{"gesamte CSB-Entlastungsfracht", "3   kg", "(QTZ-A 3-2)"}));
  EXPECT_EQ(zeile("mittlere CSB-Entlastungsfracht").S2, "2 kg/a");
  EXPECT_EQ(zeile("mittlere AFS63-Entlastungsfracht").S2, "0 kg/a");
  // the assessment of the discharge point follows
  EXPECT_EQ(dm().CDSHDAbfluss.Anzahl(), 1);
  EXPECT_EQ(dm().CDSHDAuswertung.Anzahl(), 3);
}

// ------------------------------------------------------------------ units

namespace {

// An evaluation on a hand-set run context with the elements of a network.
struct Kontext {
  Netzbau n;
  TSimulation sim;
  TDataModule2 dm;
  std::vector<TMeldungZeile> report;

  void Liste(std::initializer_list<const char*> namen) {
    for (const char* name : namen) sim.Reihenfolge.push_back(&n.Element(name));
  }
};

}  // namespace

TEST(Auswertung, StructureRowsAtAnEvent) {
  struct Fall {
    double stunden, kue, bue;
    bool zeile;
    double anzahl;
  };
  for (const Fall& f : {Fall{0, 5, 0, false, 0}, Fall{0.1, 0.00005, 0.00005, true, 0},
                        Fall{0.1, 0.0001, 0.00001, true, 1}, Fall{0.1, 0, 0, true, 0}}) {
    Kontext k;
    k.n.Neu("RUB", "B");
    k.n.Neu("EST", "E");
    k.Liste({"B", "E"});
    auto& b = k.n.El<TRUB>("B");
    b.Drossel.Ereignis.Stunden = f.stunden;
    b.KUE.Zustand.Ereignis.Q = f.kue;
    b.BUE.Zustand.Ereignis.Q = f.bue;
    b.Zustand.Ereignis.CSB = 1500;
    k.sim.SystemEreignisse.push_back({D(2001, 5, 1, 23), D(2001, 5, 2, 1, 30), true, 0, 0});
    TAuswertung a(k.sim, k.dm, k.report);
    a.WriteEreignis(k.sim.SystemEreignisse.back());
    EXPECT_EQ(k.dm.CDSEreignisseBauwerke.Anzahl(), f.zeile ? 1 : 0);
    EXPECT_EQ(b.Zustand.Jahr.Anzahl, f.anzahl);
    ASSERT_EQ(k.dm.CDSEreignisseGewaesser.Anzahl(), 1);  // a discharge point always
    if (f.zeile)
      ExpectZeile(k.dm.CDSEreignisseBauwerke, 0,
                  {{"Nr", 1}, {"Dauer", 2.5}, {"CSB", 1.5}, {"T_ges", f.stunden}});
    EXPECT_EQ(AlsText(k.dm.CDSEreignisse.Wert(0, "Dauer")), "2,50");
    EXPECT_EQ(k.sim.SystemEreignisse.back().Dauer, 2.5);
    // the event sets are cleared for the next event
    EXPECT_EQ(b.Drossel.Ereignis.Stunden, 0);
    EXPECT_EQ(b.Zustand.Ereignis.CSB, 0);
  }
}

TEST(Auswertung, ThrottleBeforeAnEventBelongsToNoEvent) {
  // The tank's throttle passed 500 m3 since the last event and 3 m3 in the
  // step the event began (with an hour of that step); a CSO overflow counts
  // its throttle in events only and keeps its set.
  Kontext k;
  k.n.Neu("RUB", "B");
  k.n.Neu("RU", "U");
  k.Liste({"B", "U"});
  auto& b = k.n.El<TRUB>("B");
  b.Drossel.Ereignis.Q = 503;
  b.Drossel.Ereignis.Stunden = 1.0 / 12;
  b.Drossel.Aktuell.Q = 3;
  b.Drossel.Jahr.Q = 12000;
  auto& u = k.n.El<TRU>("U");
  u.Drossel.Ereignis.Q = 4;
  k.sim.IsBilanzZeit = true;
  TAuswertung a(k.sim, k.dm, k.report);
  a.EreignisBeginn();
  EXPECT_EQ(b.Drossel.Ereignis.Q, 3);
  EXPECT_EQ(b.Drossel.Ereignis.Stunden, 1.0 / 12);
  EXPECT_EQ(b.Drossel.Jahr.Q, 12000);
  EXPECT_EQ(u.Drossel.Ereignis.Q, 4);
  // before the balance period nothing belongs to an event
  k.sim.IsBilanzZeit = false;
  a.EreignisBeginn();
  EXPECT_EQ(b.Drossel.Ereignis.Q, 0);
}

TEST(Auswertung, YearChangesWriteTheYearsOfTheBalancePeriod) {
  // (clock start, balance period, year changes) -> years written
  struct Fall {
    const char* name;
    TDateTime uhr, start, ende;
    std::vector<TDateTime> wechsel;
    std::vector<int> jahre;
  };
  const Fall faelle[] = {
      {"starts on 1 January",
       D(2000, 12, 31),
       D(2001, 1, 1),
       D(2001, 7, 1),
       {D(2001, 1, 1), D(2001, 7, 1)},
       {2001}},
      {"starts before midnight",
       D(2000, 12, 31),
       D(2000, 12, 31, 23, 55),
       D(2001, 7, 1),
       {D(2001, 1, 1), D(2001, 7, 1)},
       {2000, 2001}},
      {"ends on 1 January",
       D(2000, 6, 30),
       D(2000, 7, 1),
       D(2002, 1, 1),
       {D(2001, 1, 1), D(2002, 1, 1), D(2002, 1, 1)},
       {2000, 2001}},
      {"an open event runs past an end on 1 January",
       D(2000, 6, 30),
       D(2000, 7, 1),
       D(2002, 1, 1),
       {D(2001, 1, 1), D(2002, 1, 1), D(2002, 1, 1, 5)},
       {2000, 2001, 2002}},
      {"ends on 1 January at noon",
       D(2000, 6, 30),
       D(2000, 7, 1),
       D(2002, 1, 1, 12),
       {D(2001, 1, 1), D(2002, 1, 1), D(2002, 1, 1, 13)},
       {2000, 2001, 2002}},
  };
  for (const Fall& f : faelle) {
    Kontext k;
    k.sim.Zeit = f.uhr;
    k.sim.Start = f.start;
    k.sim.Ende = f.ende;
    TAuswertung a(k.sim, k.dm, k.report);
    std::vector<int> jahre;
    for (TDateTime t : f.wechsel) {
      k.sim.Zeit = t;
      if (const int j = a.NeuesJahr()) jahre.push_back(j);
    }
    EXPECT_EQ(jahre, f.jahre) << f.name;
    EXPECT_EQ(k.dm.CDSSumKEZ.Anzahl(), static_cast<int>(f.jahre.size())) << f.name;
  }
}

TEST(Auswertung, OverflowsDownToTheTreatmentPlant) {
  // tank -> measure -> plant -> root: the plant gets the tank's overflow and
  // both rain-water inflows, the root only the tank's.
  Kontext k;
  k.n.Neu("RUB", "B");
  k.n.Neu("OMA", "M");
  k.n.Neu("KLG", "A");
  k.n.Parent("B", "M").Parent("M", "A");
  k.Liste({"B", "M", "A"});
  k.sim.Reihenfolge.push_back(&k.n.Netz());
  auto& b = k.n.El<TRUB>("B");
  b.Zustand.Jahr.Q = 100;
  b.Zustand.Jahr.QS = 30;
  b.Zustand.Jahr.QF = 10;
  b.KUE.Zustand.Jahr.Q = 6;
  b.BUE.Zustand.Jahr.Q = 9;
  b.SUM.SUMAEB = 4;
  auto& m = k.n.El<TOMA>("M");
  m.Zustand.Jahr.Q = 80;
  m.Zustand.Jahr.QS = 40;
  m.KUE.Zustand.Jahr.Q = 5;
  auto& kl = k.n.El<TKLG>("A");
  kl.Zustand.Jahr.Q = 75;
  kl.Zustand.Jahr.QS = 40;
  kl.Zustand.Jahr.QF = 10;
  k.sim.Zeit = D(2000, 12, 31);
  k.sim.Start = D(2001, 1, 1);
  k.sim.Ende = D(2002, 1, 1);
  k.sim.AEBges = 7;
  TAuswertung a(k.sim, k.dm, k.report);
  k.sim.Zeit = D(2002, 1, 1);
  ASSERT_EQ(a.NeuesJahr(), 2001);
  const TTabelle& klg = k.dm.CDSSUMKLG;
  ExpectZeile(klg, Zeile(klg, {{"Jahr", "2001"}, {"Element", "A"}}),
              {{"JAM", 75},
               {"JSM", 50},
               {"QRbehandelt", 25},
               {"QRentlastet", 6 + 9 + 5},
               {"E0", 20.0 / (60 + 40) * 100}});
  ExpectZeile(klg, Zeile(klg, {{"Jahr", "2001"}, {"Element", "Gesamtsystem"}}), {{"JAM", 75}});
  EXPECT_EQ(k.n.Netz().Zustand.Summe.Rain, 60);
  EXPECT_EQ(k.n.Netz().Zustand.Summe.QRe, 0);
  EXPECT_EQ(k.sim.BilanzNET.Summe.Rain, 60);
  EXPECT_EQ(k.sim.BilanzKLG.Summe.QRe, 20);
  const TTabelle& t = k.dm.CDSSumA128;
  ExpectZeile(t, Zeile(t, {{"Element", "B"}}),
              {{"AU", 4}, {"QZU", 100}, {"QR", 60}, {"QKUE", 6}, {"QBUE", 9}, {"E0", 25}});
  ExpectZeile(t, Zeile(t, {{"Element", "Gesamtsystem"}}), {{"AU", 7}, {"QZU", 100}});
  const TTabelle& o = k.dm.CDSSumOMA;
  ExpectZeile(o, Zeile(o, {{"Element", "M"}}),
              {{"QZU", 80}, {"QR", 40}, {"QKUE", 5}, {"E0", 12.5}});
  // the year is closed: its sets are in the totals
  EXPECT_EQ(b.Zustand.Jahr.Q, 0);
  EXPECT_EQ(b.Zustand.Summe.Q, 100);
  EXPECT_EQ(b.KUE.Zustand.Summe.Q, 6);
  EXPECT_EQ(k.sim.BilanzEBWBUE.Summe.Q, 9);
  EXPECT_EQ(k.sim.BilanzOmaKUE.Summe.Q, 5);
}

TEST(Auswertung, ExtremesOfTheYearGoToTheRun) {
  Kontext k;
  k.n.Neu("EST", "E");
  k.Liste({"E"});
  auto& e = k.n.El<TEST>("E");
  k.sim.Zeit = D(2000, 12, 31);
  k.sim.Start = D(2001, 1, 1);
  k.sim.Ende = D(2003, 1, 1);
  TAuswertung a(k.sim, k.dm, k.report);
  e.MinMax.Summe.BSB = 9.1;  // as the run's list building sets it
  // 2001: O2 down to 6.5 in event 3, NH3 up to 0.2 in event 4; 2002: O2 7
  e.MinMax.Jahr.BSB = 6.5;
  e.EKrit.Jahr.BSB = 3;
  e.MinMax.Jahr.NH4 = 0.2;
  e.EKrit.Jahr.NH4 = 4;
  k.sim.Zeit = D(2002, 1, 1);
  a.NeuesJahr();
  EXPECT_EQ(e.MinMax.Jahr.BSB, 9.1);
  EXPECT_EQ(e.MinMax.Jahr.NH4, 0);
  e.MinMax.Jahr.BSB = 7;
  e.EKrit.Jahr.BSB = 9;
  k.sim.Zeit = D(2003, 1, 1);
  a.NeuesJahr();
  a.MittelwerteBilanz();
  const TTabelle& t = k.dm.CDSSumEST;
  ASSERT_EQ(t.Anzahl(), 3);
  ExpectZeile(t, 0, {{"minO2", 6.5}, {"eO2", 3}, {"maxNH3", 0.2}, {"eNH3", 4}});
  ExpectZeile(t, 1, {{"minO2", 7}, {"eO2", 9}, {"maxNH3", 0}});
  EXPECT_EQ(AlsText(t.Wert(2, "Jahr")), "Simulation");
  ExpectZeile(t, 2, {{"minO2", 6.5}, {"eO2", 3}, {"maxNH3", 0.2}, {"eNH3", 4}});
}

TEST(Auswertung, BalanceRowsOfCatchmentsAndGauges) {
  Kontext k;
  k.n.Neu("KEM", "K");
  auto& kz = k.n.El<TKEM>("K");
  kz.AEb = 4;
  k.sim.AEBges = 10;
  TAuswertung a(k.sim, k.dm, k.report);
  TFrachten b, b1;
  b.Q = 900;
  b.QS = 100;
  b.QF = 50;
  b1.Q = 600;
  b1.QS = 100;
  b1.QF = 100;
  b1.Rain = 800;
  b1.Neff = 200;
  a.WriteKEZBilanz(b, b1, 2, "KEM", "K", "i.M.", &kz);
  a.WriteKEZBilanz(b, b1, 1, "***", "Gesamtsystem", "2001", nullptr);
  TFrachten ohne;
  a.WriteKEZBilanz(ohne, ohne, 1, "KEM", "K", "2001", &kz);
  const TTabelle& t = k.dm.CDSSumKEZ;
  ExpectZeile(t, 0,
              {{"AU", 4},
               {"N", 400},
               {"NEFF", 100},
               {"PSI", 0.25},
               {"QGES", 300},
               {"QS", 50},
               {"QF", 50},
               {"QR", 200},
               {"_QR", 50},
               {"SUMQGES", 450},
               {"SUMQS", 50},
               {"SUMQF", 25},
               {"SUMQR", 375},
               {"_SUMQR", kLeer}});
  ExpectZeile(t, 1,
              {{"AU", 10},
               {"N", kLeer},
               {"QGES", kLeer},
               {"_QR", kLeer},
               {"SUMQGES", 600},
               {"SUMQR", 400},
               {"_SUMQR", 40}});
  ExpectZeile(t, 2, {{"PSI", 0}, {"_QR", 0}});

  TFrachten r;
  r.Q = 700;
  r.BSB = -500;  // evaporation
  r.Stunden = 80;
  a.WriteREGBilanz(r, "i.M.", 2, "R");
  ExpectZeile(k.dm.CDSSumREG, 0, {{"N", 350}, {"V", 250}, {"Stunden", 40}});
}

TEST(Auswertung, AnnualMeansOfAShortRun) {
  // 73 days: loads and volumes scaled up to 365 days; none: by 365.
  for (const auto& [tage, f] : {std::pair{73, 5.0}, std::pair{0, 365.0}}) {
    Kontext k;
    k.n.Neu("RUB", "B");
    k.Liste({"B"});
    k.sim.Tage = tage;
    auto& b = k.n.El<TRUB>("B");
    b.Zustand.Summe.Q = 10;
    b.Zustand.Summe.CSB = 2000;
    b.Zustand.Summe.Stunden = 3;
    b.Zustand.Summe.Anzahl = 2;
    k.sim.BilanzEBWKUE.Summe.CSB = 3000;
    TAuswertung a(k.sim, k.dm, k.report);
    a.BilanzSimulationszeitraum();
    a.MittelwerteBilanz();
    const TTabelle& fr = k.dm.CDSFrachtenBauwerke;
    ExpectZeile(fr, Zeile(fr, {{"Jahr", "i.M."}}), {{"Q", 10 * f}, {"CSB", 2 * f}, {"T", 3 * f}});
    ExpectZeile(fr, Zeile(fr, {{"Jahr", "Simulation"}}), {{"Q", 10}, {"CSB", 2}});
    const TTabelle& t = k.dm.CDSSumA128;
    ExpectZeile(t, Zeile(t, {{"Jahr", "i.M."}, {"Element", "B"}}), {{"QZU", 10 * f}, {"n", 2 * f}});
    EXPECT_NEAR(a.CSBmittel, 3000 * f, 1e-9 * f);
    EXPECT_EQ(b.Zustand.Summe.Q, 10);
  }
}

TEST(Auswertung, OverflowsWithoutLinkLeaveTheSystem) {
  // (KUE linked, GEW linked) -> rain water of the unlinked overflows
  struct Fall {
    bool kue, gew;
    double export_;
  };
  for (const Fall& f :
       {Fall{true, true, 0}, Fall{false, true, 7}, Fall{true, false, 11}, Fall{false, false, 18}}) {
    Kontext k;
    k.n.Neu("RUB", "B");
    k.n.Neu("EST", "E");
    k.n.Parent("B", "E");
    if (f.kue) k.n.KUE("B", "E");
    if (f.gew) k.n.GEW("B", "E");
    k.Liste({"B"});
    auto& b = k.n.El<TRUB>("B");
    b.KUE.Zustand.Summe.Q = 8;
    b.KUE.Zustand.Summe.QS = 1;  // dry-weather water in the overflow
    b.BUE.Zustand.Summe.Q = 11;
    TAuswertung a(k.sim, k.dm, k.report);
    a.MittelwerteBilanz();
    EXPECT_EQ(k.sim.QExport, f.export_) << f.kue << f.gew;
  }
}

TEST(Auswertung, RunReportVolumeBalance) {
  Kontext k;
  k.n.Neu("REG", "R");
  auto& r = k.n.El<TREG>("R");
  r.AEB = 2;
  r.Zustand.Summe.Q = 500;  // mm: P = 10000 m3
  k.sim.Regenschreiber.push_back(&r);
  k.sim.Start = D(2001, 1, 1);
  k.sim.Ende = D(2002, 1, 1, 12);
  k.sim.Zeit = D(2002, 1, 1, 12);
  k.sim.LetzterRegen = D(2001, 12, 30, 17);
  k.sim.dt_min = 2.5;
  k.sim.step = 210528;
  k.sim.Dauer = 1000;
  k.sim.BilanzNET.Summe.QR = 7000;
  k.sim.BilanzNET.Summe.Qnat = 500;
  k.sim.BilanzTW.Summe.QRe = 200;  // mm * ha
  k.sim.MuldenInhalt = 10;         // mm * ha
  k.sim.SystemInhalt = 1234.5;
  k.sim.QExport = 100;
  TAuswertung a(k.sim, k.dm, k.report);
  a.Uhr = [] { return uint32_t{8999}; };
  a.CSBgesamt = 2500;  // g: halves round to even
  a.CSBmittel = 3500;
  a.AFSgesamt = 1234567.8;
  a.AFSmittel = 499.9;
  a.WriteSimReport();
  const std::vector<TMeldungZeile> erwartet{
      {"Bilanzierungsdauer", "365 Tage", ""},
      {"letzte Regenstunde", "30.12.01 17:00:00", ""},
      {"letztes Intervall", "01.01.02 12:00:00", ""},
      {"Zeitschrittweite dt", "2,5 min", ""},
      {"Zeitschritte", "210528", ""},
      {"Rechenzeit", "7 sec", ""},
      {" ", "", ""},
      {"Volumenbilanz befestigte Flächen", "", ""},
      {"Regenwasserabfluss QR", "7.000,000000000 cbm", ""},
      {"- Abfluss natürlicher Flächen", "500,000000000 cbm", ""},
      {"= QR befestigter Flächen", "6.500,000000000 cbm", "65,000000000 %"},
      {"+ Verdunstung und Versickerung", "2.000,000000000 cbm", "20,000000000 %"},
      {"+ Restinhalt Mulden", "100,000000000 cbm", "1,000000000 %"},
      {"+ Restinhalt Speicher", "1.234,500000000 cbm", "12,345000000 %"},
      {"+ Überleitung extern", "100,000000000 cbm", "1,000000000 %"},
      {"= Niederschlagsbelastung", "9.934,500000000 cbm", "99,345000000 %"},
      {"Brutto-Niederschlag", "10.000,000000000 cbm", "100,000000000 %"},
      {"Volumenfehler/Systeminhalt", "65,500000000 cbm", "0,655000000 %"},
      {"", "", ""},
      {"gesamte CSB-Entlastungsfracht", "2   kg", "(QTZ-A 3-2)"},
      {"mittlere CSB-Entlastungsfracht", "4 kg/a", "(QTZ-A 3-2)"},
      {"gesamte AFS63-Entlastungsfracht", "1235   kg", "(QTZ-A 3-2)"},
      {"mittlere AFS63-Entlastungsfracht", "0 kg/a", "(QTZ-A 3-2)"},
  };
  EXPECT_EQ(k.report, erwartet);

  // without rain every percentage is 0
  Kontext leer;
  TAuswertung b(leer.sim, leer.dm, leer.report);
  b.Uhr = [] { return uint32_t{0}; };
  b.WriteSimReport();
  EXPECT_EQ(Bericht(leer.report, "Brutto-Niederschlag")->S3, "100,000000000 %");
  EXPECT_EQ(Bericht(leer.report, "= QR befestigter Flächen")->S3, "0,000000000 %");
}

TEST(Auswertung, ExactHoursOnTheRunClock) {
  // whole seconds of the clock give exact hours, however the day fractions
  // round
  for (int schritte : {1, 72, 73, 288, 105120}) {
    TSimulation sim;
    sim.Zeit = D(2001, 3, 1, 10);
    for (int i = 0; i < schritte; ++i) sim.IncZeit();
    EXPECT_EQ(StundenZwischen(D(2001, 3, 1, 10), sim.Zeit), schritte / 12.0) << schritte;
  }
}
