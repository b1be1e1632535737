// The clock, the time step and the climate of a run.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "model/datum.h"
#include "model/project.h"
#include "model/simulation.h"
#include "simulation/lauf.h"
#include "storage/projektdatei.h"

using namespace t21;

namespace {
TDateTime D(int j, int m, int t, int h = 0, int mi = 0, int s = 0) {
  TDateTime d = 0;
  EXPECT_TRUE(EncodeDate(j, m, t, d));
  return d + EncodeTime(h, mi, s, 0);
}
}  // namespace

TEST(Datum, EncodeDecode) {
  EXPECT_EQ(D(1899, 12, 30), 0);
  EXPECT_EQ(D(1900, 1, 1), 2);
  EXPECT_EQ(D(2001, 1, 1), 36892);
  TDateTime x;
  EXPECT_FALSE(EncodeDate(2001, 2, 29, x));
  EXPECT_TRUE(EncodeDate(2000, 2, 29, x));
  EXPECT_FALSE(EncodeDate(2100, 2, 29, x));
  for (TDateTime t : {D(2000, 2, 29, 23, 59, 45), D(2004, 12, 31, 12), D(1999, 1, 1, 0, 0, 15)}) {
    const auto d = DecodeDateTime(t);
    EXPECT_EQ(D(d.Jahr, d.Monat, d.Tag, d.Stunde, d.Minute, d.Sekunde), t);
  }
  EXPECT_EQ(DayOfTheYear(D(2004, 12, 31, 23)), 366);
  EXPECT_EQ(DayOfTheYear(D(2005, 12, 31)), 365);
  EXPECT_EQ(DayOfTheYear(D(2005, 1, 1, 0, 5)), 1);
  EXPECT_EQ(DatumZeitKurz(D(2001, 5, 1, 6, 30)), "01.05.01 06:30:00");
}

TEST(Datum, Lesen) {
  struct Fall {
    const char* text;
    bool gut;
    TDateTime wert;
  };
  const Fall faelle[] = {
      {"2001-05-01", true, D(2001, 5, 1)},
      {"2001-05-01T06:00:00", true, D(2001, 5, 1, 6)},
      {"01.05.2001", true, D(2001, 5, 1)},
      {"1.5.2001 06:15", true, D(2001, 5, 1, 6, 15)},
      {"29.02.2001", false, 0},
      {"2001-13-01", false, 0},
      {"01.05.2001 25:00", false, 0},
      {"gestern", false, 0},
  };
  for (const auto& f : faelle) {
    TDateTime t = -1;
    EXPECT_EQ(DatumLesen(f.text, t), f.gut) << f.text;
    if (f.gut) {
      EXPECT_EQ(t, f.wert) << f.text;
    }
  }
}

TEST(Uhr, TimeStepFromCatchmentLimitAndRainSeries) {
  struct Fall {
    double grenze;
    std::vector<int> regen;
    double dt;
    int maxIntervall;
  };
  const Fall faelle[] = {
      {3, {5}, 2.5, 2},  {0.3, {5}, 0.25, 20}, {7, {5}, 5, 1},       {5, {}, 5, 1},
      {5, {1}, 1, 1},    {5, {1, 5}, 1, 5},  // only the last gauge
      {5, {5, 1}, 1, 1}, {1.1, {5}, 1, 5},     {NAN, {5}, 0.25, 20}, {-4, {5}, 0.25, 20},
  };
  for (const auto& f : faelle) {
    TSimulation s;
    s.dt_min = f.grenze;
    s.SetVars(f.regen);
    EXPECT_EQ(s.dt_min, f.dt) << f.grenze;
    EXPECT_EQ(s.MaxIntervall, f.maxIntervall) << f.grenze;
    EXPECT_EQ(s.dt_sec, static_cast<int>(f.dt * 60));
    EXPECT_DOUBLE_EQ(s.mm2ls, 1000.0 / 6 / f.dt);
  }
}

TEST(Uhr, SetTime) {
  TSimulation s;
  ASSERT_TRUE(s.SetTime(D(2001, 1, 1), 0, D(2001, 12, 31), EncodeTime(23, 59, 0, 0)));
  EXPECT_EQ(s.Zeit, D(2000, 12, 31));
  EXPECT_EQ(s.CalcStart, s.Zeit);
  EXPECT_EQ(s.Ende, D(2001, 12, 31, 23, 59));
  ASSERT_TRUE(s.SetTime(D(2001, 3, 1), EncodeTime(8, 0, 0, 0), D(2001, 3, 2), 0));
  EXPECT_EQ(s.Start, D(2001, 3, 1, 8));
  EXPECT_EQ(s.Zeit, D(2001, 2, 28));
  EXPECT_FALSE(s.SetTime(D(2001, 3, 1), 0, D(2001, 3, 1), 0));
  EXPECT_EQ(s.Meldung, "Simulations-Ende <= Simulationsanfang!");
}

TEST(Uhr, StepsStayOnTheGridOverALeapYear) {
  for (double grenze : {5.0, 0.25}) {
    TSimulation s;
    ASSERT_TRUE(s.SetTime(D(2004, 1, 1), 0, D(2005, 1, 1), 0));
    s.dt_min = grenze;
    s.SetVars({5});
    s.Zeit = D(2004, 1, 1);
    const TDateTime ende = D(2005, 1, 1);
    long schritte = 0;
    bool gitter = true;
    while (s.Zeit < ende - kZeitEps) {
      s.IncZeit();
      ++schritte;
      const auto d = DecodeDateTime(s.Zeit);
      if (d.Milli != 0 || d.Sekunde % 15 != 0) gitter = false;
    }
    EXPECT_TRUE(gitter) << grenze;
    EXPECT_EQ(schritte, static_cast<long>(366 * 1440 / grenze)) << grenze;
    EXPECT_NEAR(s.Zeit, ende, kZeitEps);
    EXPECT_EQ(DecodeDateTime(s.Zeit).Jahr, 2005);
  }
}

TEST(Uhr, IsSimZeitWithTolerance) {
  TSimulation s;
  s.SetTime(D(2001, 1, 1), 0, D(2001, 1, 2), 0);
  s.Zeit = D(2001, 1, 1) - 0.5e-8;
  EXPECT_TRUE(s.IsSimZeit());
  s.Zeit = D(2001, 1, 1) - 2e-8;
  EXPECT_FALSE(s.IsSimZeit());
  s.Zeit = D(2001, 1, 2);
  EXPECT_TRUE(s.IsSimZeit());  // up to the end plus the tolerance
  s.Zeit = D(2001, 1, 2) + 2e-8;
  EXPECT_FALSE(s.IsSimZeit());
}

TEST(Klima, DailyAndHourly) {
  TSimulation s;
  s.Zeit = D(2001, 1, 20);  // J = 20: coldest day of the cosine
  EXPECT_DOUBLE_EQ(s.SetTagesTemperatur(), 8.2 - 8.7);
  EXPECT_DOUBLE_EQ(s.TWasserTag, 0.75 * (8.2 - 8.7) + 5);
  double summe = 0;
  for (int tag = 1; tag <= 365; ++tag) {
    s.Zeit = D(2001, 1, 1) + tag - 1;
    s.SetTagesTemperatur();
    EXPECT_GE(s.EpotTag, 0);
    summe += s.EpotTag;
  }
  EXPECT_GT(summe, 300);  // a plausible yearly potential evaporation, mm
  EXPECT_LT(summe, 900);
  s.Zeit = D(2001, 7, 1, 14);
  s.SetTagesTemperatur();
  s.SetAktTemperatur();
  EXPECT_NEAR(s.cO2sat, O2Saettigung(s.TWasser, 0), 1e-12);
  EXPECT_NEAR(s.pks, PKsWert(s.TWasser), 1e-12);
  EXPECT_NEAR(s.Epot,
              s.EpotTag * (1 - 0.9 * std::cos((14 - 2.5) * 2 * M_PI / 24)) / 24 / 60 * s.dt_min,
              1e-15);
}

// One summer day worked out by hand (day 172, 21.06.2001, hour 14): a changed
// constant of the evaporation or of the water temperature's daily swing
// shows here.
TEST(Klima, OneDayByHand) {
  TSimulation s;
  s.Zeit = D(2001, 6, 21, 14);
  s.dt_min = 5;
  EXPECT_NEAR(s.SetTagesTemperatur(), 15.7206016294, 1e-9);
  EXPECT_NEAR(s.TWasserTag, 16.7904512221, 1e-9);
  EXPECT_NEAR(s.EpotTag, 3.6003098936, 1e-9);
  s.SetAktTemperatur();
  EXPECT_NEAR(s.TWasser, 18.3338946715, 1e-9);
  EXPECT_NEAR(s.Epot, 0.0236557908, 1e-9);
}

// A 75-second step (1152 to the day) from 14.05.2001 00:00 reaches the
// balance start 15.05.2001 00:00 exactly, so that step belongs to the
// balance period; a clock drifting below a millisecond put it 80 us early.
TEST(Uhr, SeventyFiveSecondStepHitsTheBalanceStart) {
  TSimulation s;
  ASSERT_TRUE(s.SetTime(D(2001, 5, 15), 0, D(2002, 5, 15), 0));
  EXPECT_EQ(s.Zeit, D(2001, 5, 14));
  s.dt_min = 1.25;
  s.SetVars({5});
  ASSERT_EQ(s.dt_sec, 75);
  long schritte = 0;
  while (!(s.IsSimZeit() && s.Zeit >= s.Start)) {
    s.IncZeit();
    ++schritte;
  }
  EXPECT_EQ(schritte, 1152);
  EXPECT_EQ(s.Zeit, s.Start);
  // Every value stays on the grid of whole milliseconds over a year.
  for (long i = 0; i < 365L * 1152; ++i) {
    s.IncZeit();
    ASSERT_EQ(s.Zeit, AufMillisekunden(s.Zeit)) << i;
  }
  EXPECT_EQ(s.Zeit, s.Ende);
  const auto d = DecodeDateTime(s.Zeit);
  EXPECT_EQ(d.Milli, 0);
}

TEST(Uhr, SetTimeWithTimeOfDayLiesOnTheGrid) {
  TSimulation s;
  ASSERT_TRUE(s.SetTime(D(2001, 5, 15), D(1899, 12, 30, 8, 0, 15), D(2002, 1, 1), 0));
  EXPECT_EQ(s.Start, AufMillisekunden(D(2001, 5, 15, 8, 0, 15)));
  s.dt_min = 0.25;
  s.SetVars({5});
  long schritte = 0;
  while (s.Zeit < s.Start) {
    s.IncZeit();
    ++schritte;
  }
  EXPECT_EQ(s.Zeit, s.Start);
  EXPECT_EQ(schritte, 5760 + 8 * 240 + 1);
}

// The same in a run: with the cascade constant of the example's catchments
// at 1.25 minutes and its 5-minute rain the run steps 75 s from 14.05.2001
// 00:00, and the step at the balance start 15.05.2001 00:00 is the first
// whose dry-weather flow goes into the catchments' yearly sums.
TEST(Uhr, SeventyFiveSecondRunCountsTheFirstBalanceStep) {
  const auto beispiel =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";
  TM3Model m;
  const TLadeErgebnis g = A3_Laden(m, (beispiel / "Beispiel").string());
  ASSERT_TRUE(g.Ok) << g.Fehler;
  TKEZ* trocken = nullptr;
  for (int i = 0; i < m.Count(); ++i) {
    TElement* e = TM3Model::ElementOf(m.GetNode(i));
    if (auto* r = dynamic_cast<TREG*>(e)) r->SetData((beispiel / r->FileName).string());
    if (auto* k = dynamic_cast<TKEZ*>(e)) {
      k->K = 1.25;
      if (k->QH24 + k->QG24 + k->QF24 > 0) trocken = k;
    }
  }
  ASSERT_NE(trocken, nullptr);
  TSimulationsLauf lauf(m);
  ASSERT_TRUE(lauf.Vorbereiten(D(2001, 5, 15), D(2001, 5, 16)));
  const TSimulation& sim = lauf.Simulation();
  ASSERT_EQ(sim.dt_sec, 75);
  long schritte = 0;
  TDateTime zeit = sim.Zeit;
  while (trocken->TWZustand.Jahr.Q == 0) {
    zeit = sim.Zeit;
    ASSERT_FALSE(lauf.Schritte(1));
    ASSERT_LE(++schritte, 2000);
  }
  EXPECT_EQ(schritte, 1153);
  EXPECT_EQ(zeit, D(2001, 5, 15));
  lauf.Abschliessen();
}
