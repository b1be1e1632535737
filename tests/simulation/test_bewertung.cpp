// The assessment of discharge points: flood statistics, dose and frequency
// of oxygen and ammonia, suspended solids, and their verdicts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "simulation/bewertung.h"

using namespace t21;

namespace {

TDateTime D(int j, int m, int t) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d;
}

// Four years of 1461 days: Y = 4 exactly.
const TDateTime kStart = D(2001, 1, 1), kEnde = D(2005, 1, 1);

TEinleitungsDaten Einleitung(int lage = 1, bool salmoniden = false) {
  TEinleitungsDaten e;
  e.Name = "E";
  e.MNQ = 50;
  e.HQ1pnat = 1000;
  e.X = 0.1;
  e.Lage = lage;
  e.Salmoniden = salmoniden;
  return e;
}

void Ereignis(TDataModule2& dm, const std::string& name, double dauer, double maxq, double qe,
              double minO2, double medO2, double maxNH3, double medNH3) {
  TNeueZeile{dm.CDSESTEreignisse}("Name", name)("Dauer", dauer)("MAXQ", maxq)("QE", qe)(
      "MinO2", minO2)("MedO2_kurz", medO2)("MaxNH3", maxNH3)("MedNH3_kurz", medNH3);
}

double Zahl(const TTabelle& t, int z, const char* spalte) {
  return AlsZahl(t.Wert(z, spalte));
}

bool Verletzt(const std::vector<TMeldungZeile>& r, const std::string& parameter) {
  for (const auto& z : r)
    if (z == TMeldungZeile{"E", parameter, "Anforderungen verletzt"}) return true;
  return false;
}

}  // namespace

TEST(Bewertung, VectorSort) {
  TVektor v(2);
  EXPECT_EQ(v.Count(), 2);
  v.SetValue(0, 3);
  v.SetValue(1, -1);
  for (double x : {7.0, 3.0, 0.5}) v.Add(x);
  v.Sort(0);
  std::vector<double> ab;
  for (int i = 0; i < v.Count(); ++i) ab.push_back(v.GetValue(i));
  EXPECT_EQ(ab, (std::vector<double>{7, 3, 3, 0.5, -1}));
  v.Sort(1);
  EXPECT_EQ(v.GetValue(0), -1);
  EXPECT_EQ(v.GetValue(4), 7);
  v.Clear();
  EXPECT_EQ(v.Count(), 0);
}

TEST(Bewertung, PlottingReturnPeriods) {
  // 10 years, 40 events: the 30 largest count, T_m = 31 / m * 10 / 30
  TVektor v;
  for (int i = 40; i >= 1; --i) v.Add(i);
  EXPECT_EQ(Regression(v, 10).k, 30);
  EXPECT_NEAR(Wiederkehrzeit(1, 30, 10), 10.3333333333, 1e-9);
  EXPECT_NEAR(Wiederkehrzeit(30, 30, 10), 0.3444444444, 1e-9);
  // whole calendar years, at least one
  struct Fall {
    TDateTime start, ende;
    int jahre;
  };
  for (const Fall& f :
       {Fall{D(2001, 1, 1), D(2001, 7, 1), 1}, Fall{kStart, kEnde, 4},
        Fall{D(2001, 1, 1), D(2011, 1, 1), 10}, Fall{D(2001, 1, 1), D(2010, 12, 31), 9},
        Fall{D(2000, 2, 29), D(2001, 2, 28), 1}, Fall{D(2000, 2, 29), D(2004, 2, 28), 3}})
    EXPECT_EQ(GanzeJahre(f.start, f.ende), f.jahre);
  EXPECT_EQ(Jahre(kStart, kEnde), 4);
  EXPECT_NEAR(Jahre(D(2001, 1, 1), D(2011, 1, 1)), 3652 / 365.25, 1e-12);
}

TEST(Bewertung, RegressionOverTheLogarithmOfTheReturnPeriod) {
  // values on the line 200 ln T + 500 give back slope and intercept
  const int N = 2;
  TVektor v;
  for (int m = 1; m <= 6; ++m) v.Add(200 * std::log(Wiederkehrzeit(m, 6, N)) + 500);
  v.Add(1);  // beyond 3 N
  const TRegression r = Regression(v, N);
  EXPECT_EQ(r.k, 6);
  EXPECT_NEAR(r.s, 200, 1e-9);
  EXPECT_NEAR(r.i, 500, 1e-9);

  TVektor gleich;
  for (int m = 0; m < 3; ++m) gleich.Add(700);
  EXPECT_EQ(Regression(gleich, 1).s, 0);  // below 0.00001
  EXPECT_EQ(Regression(gleich, 1).i, 700);
  TVektor eins;
  eins.Add(42);
  EXPECT_EQ(Regression(eins, 3).s, 0);  // no spread
  EXPECT_EQ(Regression(eins, 3).i, 42);
  const TRegression leer = Regression(TVektor{}, 5);
  EXPECT_EQ(leer.k, 0);
  EXPECT_EQ(leer.s, 0);
  EXPECT_EQ(leer.i, 0);
}

TEST(Bewertung, FloodPeaksAgainstThePermittedIncrease) {
  // Qzul = 1000 * 1.1; equal peaks give HQ1vorh = the peak
  struct Fall {
    double spitze;
    bool verletzt;
  };
  for (const Fall& f : {Fall{1100, false}, Fall{1100.001, true}, Fall{0, false}}) {
    TDataModule2 dm;
    std::vector<TMeldungZeile> r;
    for (int i = 0; i < 5; ++i) Ereignis(dm, "E", 1, f.spitze, f.spitze - 900, 9, 9, 0, 0);
    Ereignis(dm, "F", 1, 99999, 99999, 9, 9, 0, 0);  // another river
    HydrologieAuswertung(Einleitung(), kStart, kEnde, dm, r);
    EXPECT_EQ(Verletzt(r, "Abfluss"), f.verletzt) << f.spitze;
    const TTabelle& t = dm.CDSHDAbfluss;
    ASSERT_EQ(t.Anzahl(), 1);
    EXPECT_EQ(AlsText(t.Wert(0, "Element")), "E");
    EXPECT_EQ(Zahl(t, 0, "MNQ"), 50);
    EXPECT_EQ(Zahl(t, 0, "HQ1pnat"), 1000);
    EXPECT_NEAR(Zahl(t, 0, "HQ2pnat"), 1100, 1e-9);
    EXPECT_NEAR(Zahl(t, 0, "HQ1vorh"), f.spitze, 1e-9);
    EXPECT_NEAR(Zahl(t, 0, "HQ2vorh"), f.spitze, 1e-9);
    EXPECT_NEAR(Zahl(t, 0, "QE1vorh"), f.spitze - 900, 1e-9);
    EXPECT_NEAR(Zahl(t, 0, "A"), f.spitze, 1e-9);
    EXPECT_EQ(Zahl(t, 0, "B"), 0);
    EXPECT_EQ(AlsBool(t.Wert(0, "OK")), f.verletzt);  // true: HQ1vorh > Qzul
    EXPECT_EQ(AlsText(t.Wert(0, "OKS")), f.verletzt ? "*" : "");
  }
}

TEST(Bewertung, MeanLimitsByEventDuration) {
  struct Fall {
    int parameter, lage;
    bool salmoniden;
    double dauer;
    std::array<double, 3> grenzen;
  };
  const Fall faelle[] = {
      {1, 1, true, 2, {4.5, 5.5, 7.0}},     // salmonid upland water
      {1, 1, false, 0.5, {3.0, 4.0, 5.0}},  // upland water
      {1, 0, true, 1, {3.0, 3.5, 4.5}},     // lowland water, salmonids or not
      {2, 0, false, 1, {0.15, 0.1, 0.04}}, {2, 1, true, 2, {0.125, 0.03, 0.012}},
  };
  for (const Fall& f : faelle) {
    const TKlassensatz& k = Klassensatz(f.parameter, f.lage, f.salmoniden);
    const double c = f.parameter == 1 ? -1 : 1;
    for (size_t i = 0; i < 3; ++i)
      EXPECT_NEAR(Mittelgrenze(k[i], c, f.dauer), f.grenzen[i], 1e-12)
          << f.parameter << " " << f.lage << " " << f.salmoniden << " class " << i;
  }
  EXPECT_EQ(Klassensatz(1, 1, false)[0].L, 2.5);
  EXPECT_EQ(Klassensatz(1, 0, false)[1].L, 3.0);
  EXPECT_EQ(Klassensatz(2, 1, false)[2].L, 0.1);
}

TEST(Bewertung, DoseCountsJustInsideAndOutsideTheLimits) {
  // one event of 2 hours in a salmonid upland water (O2: mean limits 4.5,
  // 5.5, 7.0; extreme limits 2.5, 4.0, 5.0) and in a water without
  // salmonids (NH3: mean limits 0.125, 0.07, 0.03; extreme 0.2, 0.15, 0.1)
  struct Fall {
    int parameter;
    double extrem, mittel;
    std::array<int, 3> e, m;
  };
  const Fall faelle[] = {
      // O2: the mean limits from above, the extreme limits at and below
      {1, 9, 7.001, {0, 0, 0}, {0, 0, 0}},
      {1, 9, 6.999, {0, 0, 0}, {0, 0, 1}},
      {1, 9, 5.501, {0, 0, 0}, {0, 0, 1}},
      {1, 9, 5.499, {0, 0, 0}, {0, 1, 1}},
      {1, 9, 4.501, {0, 0, 0}, {0, 1, 1}},
      {1, 9, 4.499, {0, 0, 0}, {1, 1, 1}},
      {1, 5.0, 9, {0, 0, 0}, {0, 0, 0}},
      {1, 4.999, 9, {0, 0, 1}, {0, 0, 0}},
      {1, 4.0, 9, {0, 0, 1}, {0, 0, 0}},
      {1, 3.999, 9, {0, 1, 1}, {0, 0, 0}},
      {1, 2.5, 9, {0, 1, 1}, {0, 0, 0}},
      {1, 2.499, 9, {1, 1, 1}, {0, 0, 0}},
      // the worked example: 6.5, 5.0 and 4.0 mg/l on average, 3.0 at least
      {1, 9, 6.5, {0, 0, 0}, {0, 0, 1}},
      {1, 9, 5.0, {0, 0, 0}, {0, 1, 1}},
      {1, 9, 4.0, {0, 0, 0}, {1, 1, 1}},
      {1, 3.0, 9, {0, 1, 1}, {0, 0, 0}},
      // NH3: limits from above
      {2, 0.1, 0.0299, {0, 0, 0}, {0, 0, 0}},
      {2, 0.1001, 0.0301, {0, 0, 1}, {0, 0, 1}},
      {2, 0.15, 0.0699, {0, 0, 1}, {0, 0, 1}},
      {2, 0.1501, 0.0701, {0, 1, 1}, {0, 1, 1}},
      {2, 0.2, 0.1249, {0, 1, 1}, {0, 1, 1}},
      {2, 0.2001, 0.1251, {1, 1, 1}, {1, 1, 1}},
  };

  for (const Fall& f : faelle) {
    TDataModule2 dm;
    std::vector<TMeldungZeile> r;
    if (f.parameter == 1) {
      Ereignis(dm, "E", 2, 0, 0, f.extrem, f.mittel, 0, 0);
      DosisAuswertung(Einleitung(1, true), 1, kStart, kEnde, dm, r);
    } else {
      Ereignis(dm, "E", 2, 0, 0, 9, 9, f.extrem, f.mittel);
      DosisAuswertung(Einleitung(1, false), 2, kStart, kEnde, dm, r);
    }
    const TTabelle& t = dm.CDSHDAuswertung;
    ASSERT_EQ(t.Anzahl(), 1);
    const std::string was = std::to_string(f.parameter) + ": " + std::to_string(f.extrem) + " " +
                            std::to_string(f.mittel);
    EXPECT_EQ(AlsText(t.Wert(0, "Parameter")), f.parameter == 1 ? "O2" : "NH3");
    EXPECT_EQ((std::array<int, 3>{AlsGanzzahl(t.Wert(0, "E1")), AlsGanzzahl(t.Wert(0, "E4")),
                                  AlsGanzzahl(t.Wert(0, "E7"))}),
              f.e)
        << was;
    EXPECT_EQ((std::array<int, 3>{AlsGanzzahl(t.Wert(0, "M1")), AlsGanzzahl(t.Wert(0, "M4")),
                                  AlsGanzzahl(t.Wert(0, "M7"))}),
              f.m)
        << was;
    // one event violates "selten": the requirement is violated
    EXPECT_EQ(Verletzt(r, f.parameter == 1 ? "O2" : "NH3"), f.e[0] + f.m[0] > 0) << was;
  }
}

TEST(Bewertung, DoseVerdictsOnTheNumbersOfTheWholePeriod) {
  // Upland water, events of 1 hour: extreme limits 2.5, 4.0, 5.0, mean
  // limits 4.0, 5.0, 6.0. Allowed: extreme 0, 4, 25; mean 0.5, 4, 25 events
  // over the whole period (here 4 years).
  struct Fall {
    double extrem, mittel;
    int anzahl;
    bool verletzt;
  };
  for (const Fall& f : {Fall{3.0, 9, 4, false}, Fall{3.0, 9, 5, true},    // extreme mittel
                        Fall{4.5, 9, 25, false}, Fall{4.5, 9, 26, true},  // extreme häufig
                        Fall{9, 4.5, 4, false}, Fall{9, 4.5, 5, true},    // mean mittel
                        Fall{9, 5.5, 25, false}, Fall{9, 5.5, 26, true},  // mean häufig
                        Fall{9, 3.9, 1, true}, Fall{2.4, 9, 1, true}}) {  // selten
    TDataModule2 dm;
    std::vector<TMeldungZeile> r;
    for (int i = 0; i < f.anzahl; ++i) Ereignis(dm, "E", 1, 0, 0, f.extrem, f.mittel, 0, 0);
    DosisAuswertung(Einleitung(1, false), 1, kStart, kEnde, dm, r);
    EXPECT_EQ(Verletzt(r, "O2"), f.verletzt) << f.extrem << " " << f.mittel << " " << f.anzahl;
  }

  // the row: class limits, counts, counts per year, allowed numbers
  TDataModule2 dm;
  std::vector<TMeldungZeile> r;
  for (int i = 0; i < 6; ++i) Ereignis(dm, "E", 1, 0, 0, 3.0, 5.5, 0, 0);
  DosisAuswertung(Einleitung(1, false), 1, kStart, kEnde, dm, r);
  const TTabelle& t = dm.CDSHDAuswertung;
  const std::vector<std::pair<const char*, double>> erwartet{
      {"G1", 2.5}, {"G2", 5.0}, {"G3", 60},  {"G4", 4.0}, {"G5", 6.0}, {"G6", 60}, {"G7", 5.0},
      {"G8", 7.0}, {"G9", 60},  {"E1", 0},   {"E2", 0},   {"E3", 0},   {"E4", 6},  {"E5", 1.5},
      {"E6", 4},   {"E7", 6},   {"E8", 1.5}, {"E9", 25},  {"M1", 0},   {"M2", 0},  {"M3", 0.5},
      {"M4", 0},   {"M5", 0},   {"M6", 4},   {"M7", 6},   {"M8", 1.5}, {"M9", 25}};
  for (const auto& [spalte, w] : erwartet) EXPECT_EQ(Zahl(t, 0, spalte), w) << spalte;
  for (const char* leer : {"M10", "OK1", "EA0", "MB2", "OK"}) EXPECT_TRUE(IstNull(t.Wert(0, leer)));
}

TEST(Bewertung, SuspendedSolidsOfTheLongTermMean) {
  // i.M. row: Q 10000 m3, background ratio 2 with 5000 m3 and the AFS load
  // of the base flow; C = 1000 (AFS + 2 AFS_BUE) / (10000 + 2 * 5000)
  struct Fall {
    bool salmoniden;
    double afs, afsBue;
    double L, C, Lzul;
    bool verletzt;
  };
  for (const Fall& f : {Fall{false, 550, 25, 600, 30, 400, false},
                        Fall{false, 550.02, 25, 600.02, 30.001, 400, true},
                        Fall{true, 350, 25, 400, 20, 266.5, false},
                        Fall{true, 350.02, 25, 400.02, 20.001, 266.5, true}}) {
    TDataModule2 dm;
    std::vector<TMeldungZeile> r;
    for (const char* jahr : {"2001", "2002", "Simulation", "i.M."})
      TNeueZeile{dm.CDSFrachtenGewaesser}("Name", "E")("Jahr", jahr)("Q", 10000.0)("AFS", f.afs)(
          "Q_BUE", 5000.0)("AFS_BUE", f.afsBue)("AFS_Vorbelastung", 2.0);
    // rows after the first i.M. row and of other rivers do not count
    TNeueZeile{dm.CDSFrachtenGewaesser}("Name", "E")("Jahr", "i.M.")("Q", 1.0)("AFS", 1e6);
    TNeueZeile{dm.CDSFrachtenGewaesser}("Name", "F")("Jahr", "i.M.")("Q", 1.0)("AFS", 1e6);
    DosisAuswertung(Einleitung(1, f.salmoniden), 3, kStart, kEnde, dm, r);
    EXPECT_EQ(Verletzt(r, "AFS"), f.verletzt) << f.afs;
    const TTabelle& t = dm.CDSHDAuswertung;
    ASSERT_EQ(t.Anzahl(), 1);
    const double g = f.salmoniden ? 20 : 30;
    EXPECT_EQ(AlsText(t.Wert(0, "Parameter")), "AFS");
    EXPECT_NEAR(Zahl(t, 0, "G1"), f.Lzul, 1e-9);
    EXPECT_EQ(Zahl(t, 0, "G2"), 15);
    EXPECT_EQ(Zahl(t, 0, "G3"), g);
    EXPECT_EQ(Zahl(t, 0, "G8"), g);
    for (const char* null : {"G4", "G5", "G6", "G7", "G9", "E2"}) EXPECT_EQ(Zahl(t, 0, null), 0);
    EXPECT_NEAR(Zahl(t, 0, "E1"), f.L, 1e-9);
    EXPECT_NEAR(Zahl(t, 0, "E3"), f.C, 1e-9);
  }
}

TEST(Bewertung, WithoutEventsAndLoadsEverythingIsZero) {
  TDataModule2 dm;
  std::vector<TMeldungZeile> r;
  BewerteEinleitung(Einleitung(0, false), kStart, kStart, dm, r);
  EXPECT_TRUE(r.empty());
  ASSERT_EQ(dm.CDSHDAbfluss.Anzahl(), 1);
  EXPECT_EQ(Zahl(dm.CDSHDAbfluss, 0, "HQ1vorh"), 0);
  EXPECT_FALSE(AlsBool(dm.CDSHDAbfluss.Wert(0, "OK")));
  const TTabelle& t = dm.CDSHDAuswertung;
  ASSERT_EQ(t.Anzahl(), 3);
  EXPECT_EQ(AlsText(t.Wert(0, "Parameter")), "O2");
  EXPECT_EQ(Zahl(t, 0, "G2"), 4.0);  // lowland water
  EXPECT_EQ(AlsText(t.Wert(1, "Parameter")), "NH3");
  EXPECT_EQ(AlsText(t.Wert(2, "Parameter")), "AFS");
  for (int z = 0; z < 3; ++z)
    for (const char* s : {"E1", "E2", "E4", "E5", "M1", "M2"}) EXPECT_EQ(Zahl(t, z, s), 0);
  EXPECT_EQ(Zahl(t, 2, "E3"), 0);  // AFS: the mean concentration
}
