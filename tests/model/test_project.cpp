#include <gtest/gtest.h>

#include <cmath>

#include "model/net.h"
#include "model/project.h"

using namespace t21;

namespace {
const TSpenden& Reihe(const char* name) {
  const TSpenden* s = StandardReferenzListen().Kostra.Find(name);
  EXPECT_NE(s, nullptr) << name;
  return *s;
}
}  // namespace

TEST(Referenzlisten, StartEntries) {
  const auto& l = StandardReferenzListen();
  ASSERT_EQ(l.Kostra.Count(), 6);
  const char* namen[] = {"Reinhold (n=1,0)",    "Reinhold (n=0,1)",   "Reinhold (n=0,2)",
                         "Reinhold (n=0,5)",    "Muster A138 (n=0,1)", "Muster A138 (n=0,2)"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(l.Kostra.Eintraege[static_cast<size_t>(i)].name, namen[i]);
  const auto& a = Reihe("Muster A138 (n=0,1)");
  EXPECT_EQ(a.values[0], 0.1);
  EXPECT_EQ(a.values[1], 398.3);
  EXPECT_EQ(a.values[11], 23.5);
  EXPECT_EQ(a.values[18], 2.6);
  EXPECT_EQ(Reihe("Muster A138 (n=0,2)").values[7], 56.4);

  ASSERT_EQ(l.SWGanglinien.Count(), 6);
  EXPECT_EQ(l.SWGanglinien.Eintraege[1].name, "Dorf,  bis 5.000 E");
  EXPECT_EQ(l.SWGanglinien.value(1, 12), 3.0);
  EXPECT_EQ(l.SWGanglinien.value(5, 23), 0.7);
  EXPECT_EQ(l.SWGanglinien.Eintraege[5].name, "Grossstadt,  groesser 250.000 E");
  ASSERT_EQ(l.FWGanglinien.Count(), 1);
  EXPECT_EQ(l.FWGanglinien.value(0, 1), 1.0);
  EXPECT_EQ(l.FWGanglinien.value(0, 12), 1.0);
  // every dry-weather hydrograph has the mean 1
  for (const auto& g : l.SWGanglinien.Eintraege) {
    double s = 0;
    for (double w : g.werte) s += w;
    EXPECT_NEAR(s / 24, 1.0, 1e-9) << g.name;
  }
}

TEST(Spenden, Reinhold) {
  const auto& r = Reihe("Reinhold (n=1,0)");
  EXPECT_EQ(r.GetR15(), 100.0);
  EXPECT_NEAR(r.values[1], 3800.0 / 14 * 0.6316, 1e-9);
  EXPECT_NEAR(r.values[1], 171.4, 0.05);
  const auto& r01 = Reihe("Reinhold (n=0,1)");
  EXPECT_NEAR(r01.GetR15(), (1 / std::pow(0.1, 0.25) - 0.3684) * 3800 / 24, 1e-9);
}

TEST(Spenden, GetR) {
  const auto& r = Reihe("Muster A138 (n=0,1)");
  for (double d : {0.0, 5.0, 10.0, 15.0, -3.0}) EXPECT_EQ(r.GetR(d), 176.4) << d;
  EXPECT_DOUBLE_EQ(r.GetR(17.5), (176.4 + 142.7) / 2);
  EXPECT_DOUBLE_EQ(r.GetR(20), 142.7);
  EXPECT_DOUBLE_EQ(r.GetR(4320), 2.6);
  EXPECT_DOUBLE_EQ(r.GetR(5000), 2.6);
  EXPECT_DOUBLE_EQ(r.GetR(3600), 2.6 + (3.4 - 2.6) / 1440 * 720);
}

TEST(PsiTafel, Interpolation) {
  const TPsiTafel z2 = BerechnePsiTafel(100);
  EXPECT_EQ(z2[1], 0.1);
  EXPECT_EQ(z2[8], 0.75);
  const TPsiTafel t = BerechnePsiTafel(155);
  EXPECT_NEAR(t[0], 0.05, 1e-12);  // a(1)
  EXPECT_NEAR(t[8], 0.54, 1e-12);  // b(4)
  EXPECT_EQ(BerechnePsiTafel(300)[0], 0.31);
  EXPECT_EQ(BerechnePsiTafel(50)[6], 0.84);
  EXPECT_EQ(BerechnePsiTafel(225)[9], 1.0);
}

TEST(TNET, GetPSIs) {
  TNET n;
  n.SetzePsiTafel(100);
  EXPECT_NEAR(n.GetPSIs(2.5, 50), 0.5325, 1e-12);
  // NG clamped to 1..4; at 4 the fifth column pair has weight 0
  EXPECT_NEAR(n.GetPSIs(0, 50), 0.0 + 50 * 0.92 / 100, 1e-12);
  EXPECT_NEAR(n.GetPSIs(7, 100), 0.2 + 0.75, 1e-12);
  EXPECT_NEAR(n.GetPSIs(4, 100), 0.2 + 0.75, 1e-12);
}

TEST(TNET, Defaults) {
  TNET n;
  EXPECT_NEAR(n.cO2sat, 9.0809, 1e-4);
  EXPECT_NEAR(n.pks, 9.401, 5e-4);
  EXPECT_NEAR(n.CR.DO2, 0.908, 5e-4);
  EXPECT_EQ(n.CR.BSB, 20);
  EXPECT_EQ(n.CR.NH4, 5);
  EXPECT_EQ(n.CR.PH, 7.4);
  EXPECT_EQ(n.CR.ALK, 2.8);
  EXPECT_EQ(n.CR.CSB, 107);
  EXPECT_EQ(n.CR.Q, 0);
  EXPECT_EQ(n.cDN.BSB, 10);
  EXPECT_EQ(n.cDN.NH4, 2);
  EXPECT_EQ(n.crCSB, 107);
  EXPECT_EQ(n.ctAFS63, 150);
  EXPECT_EQ(n.HNA, 800);
  EXPECT_EQ(n.PSIa, 0.7);
  EXPECT_EQ(n.cM, 2.74);
  EXPECT_EQ(n.cS, 0.667);
  EXPECT_FALSE(n.NAM);
  EXPECT_EQ(n.Spenden.name, "Reinhold (n=1,0)");
  EXPECT_EQ(n.PsiTafel, BerechnePsiTafel(100));
  EXPECT_GT(n.Datum, 40000);
}

TEST(TNET, RainWaterDeficitFollowsTemperatureAndAltitude) {
  TNET n;
  const TSpenden& m = Reihe("Muster A138 (n=0,2)");
  n.SetData(700, 0.6, "1", "P", "V", "A", 45000, 1, true, 0.7, 0.06, 2.47, 25, 6, 7.1, 2.5, 11,
            3, 20, 12, &m, 400);
  EXPECT_DOUBLE_EQ(n.cO2sat, O2Saettigung(12, 400));
  EXPECT_DOUBLE_EQ(n.CR.DO2, 0.2 * O2Saettigung(12, 400));
  EXPECT_DOUBLE_EQ(n.pks, PKsWert(12));
  EXPECT_EQ(n.Spenden.name, "Muster A138 (n=0,2)");
  EXPECT_EQ(n.PsiTafel, BerechnePsiTafel(152.6));
  EXPECT_EQ(n.ZEBEV, 1);
  EXPECT_EQ(n.cI, 0.06);
  EXPECT_EQ(n.cDN.NH4, 3);
}

TEST(Funktionen, O2SaettigungUndPKs) {
  EXPECT_NEAR(O2Saettigung(20, 0), 9.0809, 1e-4);
  EXPECT_NEAR(O2Saettigung(20, 7991.0185), 9.0809 / std::exp(1.0), 1e-4);
  EXPECT_NEAR(PKsWert(20), 9.401, 5e-4);
}
