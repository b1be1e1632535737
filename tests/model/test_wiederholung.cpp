// Steps that repeat the last one: a reservoir cascade at rest and a
// catchment in a long dry spell give the same bits as a step computed anew.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "model/catchments.h"
#include "model/net.h"
#include "model/project.h"
#include "model/simulation.h"
#include "model/speika.h"

using namespace t21;

namespace {

// The cascade as reservoirs in a row, stepped plainly: the first
// O = a O' + (1 - a) A I, each further O = a O' + (1 - a) / 2 (I + I').
struct Reihe {
  double a;
  std::vector<double> o;
  double Schritt(double zufluss, double flaeche) {
    const double b = (1 - a) / 2;
    double zuAlt = o[0];
    double zu = a * o[0] + (1 - a) * flaeche * zufluss;
    o[0] = zu;
    for (size_t k = 1; k < o.size(); ++k) {
      const double alt = o[k];
      zu = a * alt + b * (zu + zuAlt);
      zuAlt = alt;
      o[k] = zu;
    }
    return zu;
  }
};

bool Gleich(const TFrachten& x, const TFrachten& y) {
  return std::memcmp(&x, &y, kFrachtenFelder) == 0;
}

}  // namespace

TEST(Wiederholung, CascadeAtRestAnswersAsIfComputed) {
  // K 5 min decays to zero, K 9 min (recession factor above one half) to
  // the smallest subnormal, where it stays. Both come to rest in the dry
  // spell; the inflow, the area or the time step changing wakes them.
  for (const double K : {5.0, 9.0}) {
    SCOPED_TRACE(K);
    TSpeiKa k;
    k.N = 3;
    k.K = K;
    k.SetDT(5);
    Reihe r{k.Alpha(), std::vector<double>(3, 0.0)};
    std::vector<std::pair<double, double>> folge;  // inflow, area
    folge.push_back({2.0, 1.5});
    for (int t = 0; t < 6000; ++t) folge.push_back({0.0, 1.5});
    folge.push_back({0.0, 2.5});
    folge.push_back({0.0, 2.5});
    folge.push_back({0.3, 2.5});
    for (int t = 0; t < 6000; ++t) folge.push_back({0.0, 2.5});
    folge.push_back({1e-300, 2.5});
    folge.push_back({1e-300, 2.5});
    int wiederholt = 0;
    double vorher = -1;
    for (size_t t = 0; t < folge.size(); ++t) {
      const double o = k.QAB(folge[t].first, folge[t].second);
      const double soll = r.Schritt(folge[t].first, folge[t].second);
      ASSERT_TRUE(Bitgleich(o, soll)) << "Schritt " << t << ": " << o << " statt " << soll;
      if (Bitgleich(o, vorher)) ++wiederholt;
      vorher = o;
    }
    EXPECT_GT(wiederholt, 1000);  // the dry spells did reach the rest
    if (K == 9) {
      EXPECT_GT(vorher, 0);
    }
    // A new time step empties the cascade, whatever its rest.
    k.SetDT(5);
    Reihe leer{k.Alpha(), std::vector<double>(3, 0.0)};
    EXPECT_EQ(k.QAB(1e-300, 2.5), leer.Schritt(1e-300, 2.5));
  }
}

TEST(Wiederholung, CatchmentInADrySpellGivesTheStepComputedAnew) {
  // Two equal combined catchments through rain, a dry spell of two weeks
  // with evaporation, rain again and another dry spell. The second one's
  // runoff is disturbed before every step, so it is made anew each time;
  // the first may keep its last one. Runoff, handed-on set and year sums
  // agree bit for bit in every step, across the hours of the hydrograph
  // and the end of the run.
  for (const double K : {5.0, 9.0}) {
    SCOPED_TRACE(K);
    TNET net;
    // A hydrograph that changes with every hour and month.
    TReferenzListen ref = StandardReferenzListen();
    std::array<double, 24> stunde{};
    for (size_t h = 0; h < stunde.size(); ++h) stunde[h] = 0.4 + 0.05 * static_cast<double>(h);
    std::array<double, 12> monat{};
    for (size_t m = 0; m < monat.size(); ++m) monat[m] = 0.9 + 0.02 * static_cast<double>(m);
    ref.SWGanglinien.Eintraege.clear();
    ref.FWGanglinien.Eintraege.clear();
    ref.SWGanglinien.AddGL("Test", stunde);
    ref.FWGanglinien.AddGL("Test", monat);
    TSimulation sim;
    sim.Netz = &net;
    sim.Referenz = &ref;
    TDateTime start = 0;
    EncodeDate(2001, 6, 1, start);
    sim.Start = start;
    sim.Ende = start + 29;
    sim.Zeit = start;
    sim.IsBilanzZeit = true;
    sim.PHFuehren = false;

    TKEM a, b;
    for (TKEM* e : {&a, &b}) {
      e->N = 3;
      e->K = K;
      e->MV = 1.2;
      e->BV = 0.4;
      e->PSIa = 0.3;
      e->PSIe = 0.9;
      e->AEb = 4;
      e->crAFS63 = 80;
      e->QH24 = 1.5;
      e->QG24 = 0.4;
      e->QF24 = 0.3;
      e->CH.SetData(0, 300, 50, 0, 7.5, 3, 600, 0, 0);
      e->CG.SetData(0, 200, 20, 0, 7.0, 2, 400, 0, 0);
      e->SimVorbereiten(sim);
      e->Init();
      e->SimStart(sim);
    }
    std::vector<double> regen;
    for (double r : {0.8, 2.5, 1.1, 0.2}) regen.push_back(r);
    for (int t = 0; t < 4032; ++t) regen.push_back(-0.002);
    for (double r : {0.05, 1.4, 0.0}) regen.push_back(r);
    for (int t = 0; t < 4600; ++t) regen.push_back(t % 500 == 0 ? 0.0 : -0.001);
    for (size_t t = 0; t < regen.size(); ++t) {
      sim.PHFuehren = t > 8000 && t < 8100;  // the flag counts as well
      b.TWZustand.Aktuell.Q = -1;            // made anew in every step
      a.ReceiveRain(sim, regen[t]);
      b.ReceiveRain(sim, regen[t]);
      ASSERT_TRUE(Gleich(a.TWZustand.Aktuell, b.TWZustand.Aktuell)) << "Schritt " << t;
      ASSERT_TRUE(Gleich(a.Zustand.Aktuell, b.Zustand.Aktuell)) << "Schritt " << t;
      ASSERT_TRUE(Gleich(a.TWZustand.Jahr, b.TWZustand.Jahr)) << "Schritt " << t;
      a.SimSchrittEnde(sim);
      b.SimSchrittEnde(sim);
      sim.Zeit = sim.Zeit + 5.0 / 1440;
    }
    // The steps after the end of the run carry no dry weather.
    EXPECT_GT(sim.Zeit, sim.Ende);
    EXPECT_EQ(a.TWZustand.Aktuell.QS, 0);
  }
}

TEST(Wiederholung, RecordFieldsLieWhereThePairedOperationsTakeThem) {
  // The paired record operations address the fields by byte offset: the
  // twelve further fields of a load set follow the base set in this order.
  TFrachten f;
  const char* b = reinterpret_cast<const char*>(&f);
  const double* felder[] = {&f.Qmax, &f.QRe,    &f.Rain, &f.Neff, &f.Anzahl, &f.Stunden,
                            &f.Qnat, &f.Qurban, &f.O2,   &f.QR,   &f.QF,     &f.QS};
  for (size_t k = 0; k < std::size(felder); ++k)
    EXPECT_EQ(reinterpret_cast<const char*>(felder[k]) - b, static_cast<long>(80 + 8 * k)) << k;
  // Mixing, scaling, summing and clearing give the field-by-field values.
  TFrachten s, d;
  double x = 0.1;
  for (double* p :
       {&s.Q,    &s.BSB,  &s.NH4,    &s.AFS,     &s.CSB,  &s.ALK,    &s.GK, &s.DO2, &s.Qmax, &s.QRe,
        &s.Rain, &s.Neff, &s.Anzahl, &s.Stunden, &s.Qnat, &s.Qurban, &s.O2, &s.QR,  &s.QF,   &s.QS})
    *p = (x += 0.37) * 3.1;
  d = s;
  d.AddAll(0.3, s, false);
  EXPECT_EQ(d.QS, s.QS + 0.3 * s.QS);
  EXPECT_EQ(d.GK, s.GK + 0.3 * s.GK);
  d.MulAll(0.7, false);
  EXPECT_EQ(d.Qmax, (s.Qmax + 0.3 * s.Qmax) * 0.7);
  EXPECT_EQ(d.DO2, (s.DO2 + 0.3 * s.DO2) * 0.7);
  s.AufsummierenIn(d);
  EXPECT_EQ(d.O2, (s.O2 + 0.3 * s.O2) * 0.7 + s.O2);
  EXPECT_EQ(d.CSB, (s.CSB + 0.3 * s.CSB) * 0.7 + s.CSB);
  d.Clear();
  EXPECT_TRUE(Gleich(d, TFrachten{}));
}
