#include <gtest/gtest.h>

#include <cmath>

#include "model/records.h"

using namespace t21;

namespace {

// Water of flow q at pH and alkalinity alk, in load form.
TParameter Wasser(double q, double ph, double alk, double bsb = 0, double do2 = 0) {
  TParameter p;
  p.SetData(q, bsb * q, 0, 0, ph * q, alk * q, 0, TParameter::cGK(alk, ph) * q, do2 * q);
  return p;
}

}  // namespace

TEST(Kehrwert, Grenze) {
  EXPECT_EQ(Kehrwert(1e-11), 0.0);
  EXPECT_EQ(Kehrwert(-1e-11), 0.0);
  EXPECT_EQ(Kehrwert(0.0), 0.0);
  EXPECT_DOUBLE_EQ(Kehrwert(2e-11), 5e10);
  EXPECT_DOUBLE_EQ(Kehrwert(-4.0), -0.25);
}

TEST(TParameter, SetDataArgumentOrder) {
  TParameter p;
  p.SetData(1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_EQ(p.Q, 1);
  EXPECT_EQ(p.BSB, 2);
  EXPECT_EQ(p.NH4, 3);
  EXPECT_EQ(p.AFS, 4);
  EXPECT_EQ(p.PH, 5);
  EXPECT_EQ(p.ALK, 6);
  EXPECT_EQ(p.CSB, 7);
  EXPECT_EQ(p.GK, 8);
  EXPECT_EQ(p.DO2, 9);
  EXPECT_EQ(&p.Regen(), &p.Q);
  EXPECT_EQ(&p.Verdunstung(), &p.BSB);
}

TEST(TParameter, EmptySetReadsZeroConcentrations) {
  TParameter p;
  p.SetData(0, 5, 5, 5, 7, 2, 5, 3, 1);
  for (double c : {p.cBSB(), p.cNH4(), p.cAFS(), p.cCSB(), p.cALK(), p.cPH(), p.cGK(), p.cDO2()})
    EXPECT_EQ(c, 0.0);
}

TEST(TParameter, PhMixingWorkedExample) {
  EXPECT_NEAR(TParameter::cGK(2, 7.0), 2.39905, 1e-5);
  EXPECT_NEAR(TParameter::cGK(2, 8.0), 2.03991, 1e-5);
  TParameter a = Wasser(1, 7.0, 2), b = Wasser(1, 8.0, 2);
  b.AddTo(a);
  EXPECT_DOUBLE_EQ(a.Q, 2);
  EXPECT_DOUBLE_EQ(a.cALK(), 2);
  EXPECT_NEAR(a.cGK(), 2.21948, 1e-5);
  EXPECT_NEAR(a.cPH(), 7.26, 0.005);
}

TEST(TParameter, EqualWatersKeepTheirPh) {
  TParameter a = Wasser(3, 7.4, 2.8), b = Wasser(5, 7.4, 2.8);
  b.AddTo(a);
  EXPECT_NEAR(a.cPH(), 7.4, 1e-12);
}

TEST(TParameter, CalcPhKeepsValueWithoutCarbonateCondition) {
  TParameter p = Wasser(1, 7, 0);  // no alkalinity
  p.PH = 4.2;
  EXPECT_EQ(p.CalcPH(), 4.2);
  TParameter q = Wasser(1, 7, 2);
  q.GK = q.ALK;  // no free CO2
  q.PH = 3.3;
  EXPECT_EQ(q.CalcPH(), 3.3);
}

// The pH a mixing leaves is read later; it must be the value of the last
// recomputation whose carbonate condition held, whatever happened to the
// record's flow and carbon fields since.
TEST(TParameter, PhAfterMixingIsTheValueOfTheLastRecomputation) {
  const TParameter w = Wasser(2, 7.2, 2.5);
  TParameter p = Wasser(1, 7.8, 3);
  p.Add(1.0, w);
  const double erwartet = -std::log10(std::pow(10.0, -6.3) * (p.cGK() - p.cALK()) / p.cALK()) * p.Q;
  EXPECT_EQ(p.PH, erwartet);
  TParameter ohne = Wasser(1, 7, 50);  // more alkalinity than carbon: no free CO2
  ohne.GK = 0;
  TParameter k = p;
  k.Add(1.0, ohne);
  k.Add(1.0, ohne);
  EXPECT_EQ(k.PH, erwartet);
  k.Q = 99;
  k.GK = 0;
  EXPECT_EQ(k.PH, erwartet);
  k.PH = 1.5;
  k.PH *= 2;
  EXPECT_EQ(k.PH, 3);
}

TEST(TParameter, CalcAlk) {
  TParameter p = Wasser(2, 7.5, 0);
  EXPECT_DOUBLE_EQ(p.CalcALK(), 3.0);
  TParameter s = Wasser(2, 5.5, 0);
  EXPECT_DOUBLE_EQ(s.CalcALK(), 0.0);
}

TEST(TParameter, AddSkipsZeroAndNegativeFactors) {
  const TParameter w = Wasser(2, 7.2, 2.5, 10, 1);
  for (double f : {0.0, -1.0, -0.5}) {
    TParameter p = Wasser(1, 7.8, 3, 20, 2);
    const TParameter vorher = p;
    p.Add(f, w);
    EXPECT_EQ(p.Q, vorher.Q);
    EXPECT_EQ(p.BSB, vorher.BSB);
    EXPECT_EQ(p.PH, vorher.PH);
    EXPECT_EQ(p.DO2, vorher.DO2);
  }
}

TEST(TParameter, AddListMixesEachEntryInOrder) {
  const TParameter a = Wasser(1, 7.0, 2, 10, 1), b = Wasser(3, 8.0, 2, 30, 2);
  TParameter p;
  const double f[] = {2.0, -1.0, 1.0};
  const TParameter* von[] = {&a, &b, &b};
  p.Add(f, von);
  EXPECT_DOUBLE_EQ(p.Q, 5);
  EXPECT_DOUBLE_EQ(p.BSB, 2 * 10 + 90);
  EXPECT_DOUBLE_EQ(p.DO2, 2 * 1 + 6);
  EXPECT_DOUBLE_EQ(p.cALK(), 2);
}

TEST(TParameter, SubClampsAtZeroAndSkipsNonPositive) {
  TParameter p = Wasser(1, 7.5, 2, 10, 1);
  const TParameter gross = Wasser(5, 7.5, 4, 50, 5);
  p.Sub(1.0, gross);
  EXPECT_EQ(p.Q, 0);
  EXPECT_EQ(p.BSB, 0);
  EXPECT_EQ(p.ALK, 0);
  EXPECT_EQ(p.GK, 0);
  EXPECT_EQ(p.DO2, 0);
  TParameter q = Wasser(1, 7.5, 2, 10, 1);
  q.Sub(-1.0, gross);
  EXPECT_EQ(q.Q, 1);
}

TEST(TParameter, MulKeepsConcentrations) {
  TParameter p = Wasser(4, 7.3, 2.5, 12, 1.5);
  const TParameter vorher = p;
  p.Mul(1.0);
  EXPECT_EQ(p.PH, vorher.PH);
  p.Mul(0.5);
  EXPECT_DOUBLE_EQ(p.Q, 2);
  EXPECT_DOUBLE_EQ(p.cBSB(), 12);
  EXPECT_NEAR(p.cPH(), 7.3, 1e-12);
  EXPECT_DOUBLE_EQ(p.cDO2(), 1.5);
}

TEST(TParameter, Ammonia) {
  TParameter p = Wasser(1, 8.0, 2);
  p.NH4 = 2;
  // 1 / (10^(9.4 - 8) + 1)
  EXPECT_NEAR(p.cNH3(9.4), 2 / (std::pow(10, 1.4) + 1), 1e-12);
}

TEST(TFrachten, AssignToKeepsDestinationO2) {
  TFrachten a, b;
  a.Q = 1;
  a.QS = 2;
  a.O2 = 3;
  a.Qnat = 4;
  b.O2 = 7;
  a.AssignTo(b);
  EXPECT_EQ(b.Q, 1);
  EXPECT_EQ(b.QS, 2);
  EXPECT_EQ(b.Qnat, 4);
  EXPECT_EQ(b.O2, 7);
}

TEST(TFrachten, AddToAddsOnlyFourExtendedFields) {
  TFrachten a, d;
  a.Q = 1;
  a.Qmax = a.QRe = a.Rain = a.Neff = a.Anzahl = a.Stunden = a.QF = a.QS = 5;
  a.Qnat = 1;
  a.Qurban = 2;
  a.QR = 3;
  a.O2 = 4;
  a.AddTo(d);
  EXPECT_EQ(d.Q, 1);
  EXPECT_EQ(d.Qnat, 1);
  EXPECT_EQ(d.Qurban, 2);
  EXPECT_EQ(d.QR, 3);
  EXPECT_EQ(d.O2, 4);
  for (double v : {d.Qmax, d.QRe, d.Rain, d.Neff, d.Anzahl, d.Stunden, d.QF, d.QS}) EXPECT_EQ(v, 0);
}

TEST(TFrachten, SubIsUnclamped) {
  TFrachten p, gross;
  p.Q = 1;
  p.Qurban = 1;
  gross.Q = 5;
  gross.Qurban = 3;
  p.Sub(1.0, gross);
  EXPECT_EQ(p.Q, -4);
  EXPECT_EQ(p.Qurban, -2);
  // negative factors count too
  TFrachten q;
  q.Sub(-1.0, gross);
  EXPECT_EQ(q.Q, 5);
}

TEST(TFrachten, AddAllNegativeFactorChangesOnlyExtendedFields) {
  TFrachten p, w;
  w.Q = 2;
  w.BSB = 4;
  w.Qmax = 3;
  w.Anzahl = 1;
  w.O2 = 2;
  p.AddAll(-1.0, w);
  EXPECT_EQ(p.Q, 0);
  EXPECT_EQ(p.BSB, 0);
  EXPECT_EQ(p.Qmax, -3);
  EXPECT_EQ(p.Anzahl, -1);
  EXPECT_EQ(p.O2, -2);
}

TEST(TFrachten, SubAllLeavesQnatO2AndQR) {
  TFrachten p, w;
  w.Q = 1;
  w.Qnat = w.O2 = w.QR = w.Qurban = w.Qmax = w.QS = 1;
  p.SubAll(1.0, w);
  EXPECT_EQ(p.Qnat, 0);
  EXPECT_EQ(p.O2, 0);
  EXPECT_EQ(p.QR, 0);
  EXPECT_EQ(p.Qurban, -1);  // once, by Sub
  EXPECT_EQ(p.Qmax, -1);
  EXPECT_EQ(p.QS, -1);
  EXPECT_EQ(p.Q, -1);
}

TEST(TFrachten, MulAllScalesCounters) {
  TFrachten p;
  p.Q = 2;
  p.Anzahl = 3;
  p.Stunden = 4;
  p.O2 = 1;
  p.MulAll(2);
  EXPECT_EQ(p.Q, 4);
  EXPECT_EQ(p.Anzahl, 6);
  EXPECT_EQ(p.Stunden, 8);
  EXPECT_EQ(p.O2, 2);
}

TEST(TFrachten, AddAllToEveryDestination) {
  TFrachten a, d1, d2;
  a.Q = 1;
  a.QS = 2;
  a.O2 = 3;
  TFrachten* ziele[] = {&d1, &d2};
  a.AddAllTo(ziele);
  for (const TFrachten* d : {&d1, &d2}) {
    EXPECT_EQ(d->Q, 1);
    EXPECT_EQ(d->QS, 2);
    EXPECT_EQ(d->O2, 3);
  }
  EXPECT_EQ(a.QT(), 2);
}

TEST(TParameterArray, GibAbflussAddsEveryRate) {
  TParameterArray a, d;
  for (int i = 0; i < kAnzahlQr; ++i) a[i] = Wasser(i + 1, 7.4, 2.8, 10);
  a.GibAbfluss(d);
  a.GibAbfluss(d);
  for (int i = 0; i < kAnzahlQr; ++i) {
    EXPECT_DOUBLE_EQ(d[i].Q, 2.0 * (i + 1));
    EXPECT_NEAR(d[i].cPH(), 7.4, 1e-12);
  }
  EXPECT_EQ(kQr[0], 0);
  EXPECT_EQ(kQr[1], 0.5);
  EXPECT_EQ(kQr[9], 128);
}

TEST(ErgebnisZeilen, OxygenRowShowsSaturationWithoutDeficit) {
  const auto z = ErgebnisZeilen(Wasser(2, 7.4, 2.8, 10, 0), 9.08);
  EXPECT_DOUBLE_EQ(z[0], 10);
  EXPECT_DOUBLE_EQ(z[3], 2);
  EXPECT_DOUBLE_EQ(z[7], 9.08);
}
