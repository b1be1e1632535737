// The regionalisation calculator: the flood yield of the default series,
// the factor for large catchments, the input errors and the runoff below the
// initial abstraction.
#include <gtest/gtest.h>

#include <cmath>

#include "model/project.h"
#include "tools/regio.h"

using namespace t21;

namespace {

const TSpenden& Reihe() {
  return StandardReferenzListen().Kostra.Eintraege.front();
}

}  // namespace

TEST(Regio, ErtragDerStandardreihe) {
  struct Fall {
    double A, L, dH, CN;
    const char* text;
  };
  for (const Fall& f : {Fall{10, 5000, 50, 75, "175,98"}, Fall{15, 5000, 50, 75, "213,45"},
                        Fall{2, 800, 40, 80, "258,79"}, Fall{14.99, 5000, 50, 75, "175,98"}}) {
    const TRegioErgebnis e = Regionalisierung(f.A, f.L, f.dH, f.CN, Reihe());
    ASSERT_TRUE(e.Ok) << f.A;
    EXPECT_EQ(RegioText(e), f.text) << f.A << " " << f.L;
  }
  // The steps for (10, 5000, 50, 75).
  const TRegioErgebnis e = Regionalisierung(10, 5000, 50, 75, Reihe());
  EXPECT_NEAR(e.tc, 83.0304, 1e-4);
  EXPECT_NEAR(e.r, 26.6920, 1e-4);
  EXPECT_NEAR(e.P, 13.2975, 1e-4);
  EXPECT_NEAR(e.S, 84.6667, 1e-4);
  EXPECT_NEAR(e.Q, 0.87654, 1e-5);
  // 15 km2 takes 0.7 of the flow time, 14.99 does not.
  EXPECT_NEAR(Regionalisierung(15, 5000, 50, 75, Reihe()).tc, 0.7 * e.tc, 1e-9);
  // A short flow time takes the 15-minute intensity.
  EXPECT_DOUBLE_EQ(Regionalisierung(2, 800, 40, 80, Reihe()).r, 100);
}

TEST(Regio, CN100FliesstGanzAb) {
  const TRegioErgebnis e = Regionalisierung(10, 5000, 50, 100, Reihe());
  ASSERT_TRUE(e.Ok);
  EXPECT_DOUBLE_EQ(e.S, 0);
  EXPECT_DOUBLE_EQ(e.Q, e.P);
  EXPECT_NEAR(e.Hq1pnat, e.r * 60 * 166.7 * 100 / 10000, 1e-9);
}

TEST(Regio, RegenUnterDemAnfangsverlustGibtKeinenAbfluss) {
  // CN 30: S = 592,67 mm, the initial abstraction 29,6 mm takes up the
  // 13,3 mm of rain (the bare formula would give 0,46 mm of runoff).
  const TRegioErgebnis e = Regionalisierung(10, 5000, 50, 30, Reihe());
  ASSERT_TRUE(e.Ok);
  EXPECT_LT(e.P, 0.05 * e.S);
  EXPECT_EQ(e.Q, 0);
  EXPECT_EQ(RegioText(e), "0,00");
}

TEST(Regio, Eingabefehler) {
  struct Fall {
    std::array<std::string, 4> ein;
    const char* meldung;
  };
  for (const Fall& f : {
           Fall{{"10", "5000", "0", "75"}, "Eingabefehler: Höhendifferenz"},
           Fall{{"10", "5000", "50", "0"}, "Eingabefehler: CN-Wert"},
           Fall{{"10", "5000", "50", "100,5"}, "Eingabefehler: CN-Wert"},
           Fall{{"abc", "x", "0", "0"}, "Eingabefehler: Einzugsgebietsgröße"},
           Fall{{"10", "", "50", "75"}, "Eingabefehler: Gewässerlänge + Hanglänge"},
           Fall{{"-1", "5000", "50", "75"}, "Eingabefehler: Einzugsgebietsgröße"},
           Fall{{"10", "inf", "50", "75"}, "Eingabefehler: Gewässerlänge + Hanglänge"},
           Fall{{"10", "5000", "nan", "75"}, "Eingabefehler: Höhendifferenz"},
       }) {
    const TRegioErgebnis e = Regionalisierung(f.ein, Reihe());
    EXPECT_FALSE(e.Ok);
    EXPECT_EQ(e.Meldung, f.meldung);
    EXPECT_EQ(RegioText(e), "Error");
  }
  // Decimal comma and point both read.
  EXPECT_EQ(RegioText(Regionalisierung({"14,99", "5000", "50.0", "75"}, Reihe())), "175,98");
  EXPECT_TRUE(Regionalisierung({"10", "5000", "50", "100"}, Reihe()).Ok);
}

TEST(Regio, CNTabelle) {
  const auto& t = CNTabelle();
  EXPECT_STREQ(t.front().Bodennutzung, "Ödland ohne nennenswerten Bewuchs");
  EXPECT_EQ(t.front().Werte[2], 81);
  EXPECT_EQ(t.back().Werte[3], 100);
  EXPECT_EQ(t[5].Werte[0], 30);
}
