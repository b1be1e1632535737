#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/netzbau.h"

using namespace t21;
using t21::test::Netzbau;

namespace {

// Relative comparison for the hand-computed values.
#define EXPECT_NAHE(ist, soll) \
  EXPECT_NEAR((ist), (soll), 1e-9 * std::max(1.0, std::fabs(static_cast<double>(soll))))

using Meldungen = std::vector<std::string>;

// Saturation at 20 degC and 0 m, the project record's default.
constexpr double kSat = 9.080884;

// An element computed directly on a hand-made inflow: rate i carries
// q_i = 10 + 10 i l/s at BSB 100, NH4 20, AFS 200, CSB 300 mg/l, pH 7.2,
// ALK 3 mmol/l, O2 deficit 2 mg/l. Sums: QH 6, QH24 3, QG 2, QG24 1, QF 1
// (QT 9, QT24 5), QRT24 4, QR 50, UQR 20 (QBEM 79), QT24DIREKT 5, SUMTF 15,
// LTF 30, AFS63r 1000, AFS63e 500, SUMAEB 12, AEbxfD 2, SumVolumen 100,
// AU 7.
struct Direkt {
  TElement zufluss;
  TNET net;

  Direkt() {
    for (int i = 0; i < kAnzahlQr; ++i) {
      const double q = 10 + 10.0 * i;
      zufluss.AB[i].SetData(q, 100 * q, 20 * q, 200 * q, 7.2 * q, 3 * q, 300 * q,
                            TParameter::cGK(3, 7.2) * q, 2 * q);
    }
    TSUM& s = zufluss.SUM;
    s.QH = 6;
    s.QH24 = 3;
    s.QG = 2;
    s.QG24 = 1;
    s.QF = 1;
    s.QRT24 = 4;
    s.QR = 50;
    s.UQR = 20;
    s.QT24DIREKT = 5;
    s.SUMTF = 15;
    s.LTF = 30;
    s.AFS63r = 1000;
    s.AFS63e = 500;
    s.SUMAEB = 12;
    s.AEbxfD = 2;
    s.SumVolumen = 100;
    s.AU = 7;
  }
  void Leer() { zufluss.Leeren(); }
  void Rechne(TElement& e) const { e.Calc(TRechnung{zufluss, net}); }
};

}  // namespace

// ------------------------------------------------------------------ plant

TEST(Klaeranlage, EffluentConcentrationsAndSums) {
  // Effluent BSB 8, NH4 2, pH 7.2, ALK 2.6, deficit 80 %; AFS and CSB are the
  // project's effluent values (set to 20 and 60 here).
  //   rate i: q (BSB 8, NH4 2, AFS 20, CSB 60, pH 7.2, ALK 2.6,
  //   GK cGK(2.6, 7.2), deficit 0.8 * 9.080884 mg/l)
  //   AFS63r = QT24 * 3.1536e7 * 15 / 1e6 + 280 * SUMAEB - AFS63e
  //          = 5 * 473.04 + 280 * 12 - 500 = 5225.2 kg/a
  Direkt d;
  d.net.ckAFS63 = 20;
  d.net.ckCSB = 60;
  TKLG k;
  k.SetData(8, 2, 7.2, 2.6, 80, d.net);
  d.Rechne(k);
  for (int i = 0; i < kAnzahlQr; ++i) {
    SCOPED_TRACE(i);
    const TParameter& a = k.AB[i];
    const double q = 10 + 10.0 * i;
    EXPECT_EQ(a.Q, q);
    EXPECT_NAHE(a.cBSB(), 8);
    EXPECT_NAHE(a.cNH4(), 2);
    EXPECT_NAHE(a.cAFS(), 20);
    EXPECT_NAHE(a.cCSB(), 60);
    EXPECT_NAHE(a.cPH(), 7.2);
    EXPECT_NAHE(a.cALK(), 2.6);
    EXPECT_NAHE(a.cGK(), TParameter::cGK(2.6, 7.2));
    EXPECT_NAHE(a.cDO2(), 0.8 * kSat);
  }
  EXPECT_EQ(k.SUM.QT24DIREKT, 0);
  EXPECT_EQ(k.SUM.SUMTF, 0);
  EXPECT_EQ(k.SUM.LTF, 0);
  EXPECT_EQ(k.SUM.QH24, 3);
  EXPECT_EQ(k.SUM.UQR, 20);
  EXPECT_NAHE(k.SUM.AFS63r, 5 * 473.04 + 280 * 12 - 500);
  EXPECT_TRUE(k.FEHLER.empty());

  TKLG kopie;
  kopie.AssignValues(k);
  EXPECT_EQ(kopie.ETA.BSB, 8);
  EXPECT_EQ(kopie.ETA.AFS, 20);
  EXPECT_EQ(kopie.ETA.DO2, 80);
}

TEST(Klaeranlage, WithoutInflow) {
  Direkt d;
  d.Leer();
  TKLG k;  // effluent of a new plant: BSB 5, NH4 10, AFS 15, pH 7.4, ALK 2.8, CSB 70, 80 %
  EXPECT_EQ(k.ETA.NH4, 10);
  EXPECT_EQ(k.ETA.DO2, 80);
  d.Rechne(k);
  for (int i = 0; i < kAnzahlQr; ++i) {
    EXPECT_EQ(k.AB[i].Q, 0);
    EXPECT_EQ(k.AB[i].BSB, 0);
    EXPECT_EQ(k.AB[i].DO2, 0);
  }
  EXPECT_EQ(k.SUM.AFS63r, 0);
  EXPECT_EQ(k.SUM.QBEM(), 0);
  EXPECT_TRUE(k.FEHLER.empty());
}

// ---------------------------------------------------- site-specific measure

TEST(Massnahme, ThrottleAndRemoval) {
  // QD 40 l/s, removal BSB 80, NH4 60, AFS 90, CSB 80 %; pH, ALK and deficit 0
  // keep the inflow's values; volume 300 m3.
  //   a = min(40/9, 1) = 1: dry-weather flows unchanged
  //   QRT24 = min(40 - 5, 4) = 4; BSB removed: QT24DIREKT 0
  //   UQR = min(40 - 5 - 4, 50 + 20) = 31; SUMQD = 5 + 31 + 4 = 40
  //   SumVolumen 100 + 300; AFS63r = 0.1 * 1000; AFS63e 0; SUMTF, QR 0
  //   rate i: q = min(40, 10 + 10 i), BSB 20, NH4 8, AFS 20, CSB 60 mg/l,
  //   pH 7.2, ALK 3, deficit 2 mg/l
  Direkt d;
  TOMA o;
  o.SetData(40, 80, 60, 90, 0, 0, 80, 0.5, "Retentionsbodenfilter", 300, 999999, false, 0, 30, 10);
  d.Rechne(o);
  const TSUM& s = o.SUM;
  EXPECT_EQ(s.QH, 6);
  EXPECT_EQ(s.QT24(), 5);
  EXPECT_EQ(s.QRT24, 4);
  EXPECT_EQ(s.QT24DIREKT, 0);
  EXPECT_EQ(s.UQR, 31);
  EXPECT_EQ(s.SUMQD, 40);
  EXPECT_EQ(s.SumVolumen, 400);
  EXPECT_NAHE(s.AFS63r, 100);
  EXPECT_EQ(s.AFS63e, 0);
  EXPECT_EQ(s.SUMTF, 0);
  EXPECT_EQ(s.QR, 0);
  for (int i = 0; i < kAnzahlQr; ++i) {
    SCOPED_TRACE(i);
    const TParameter& a = o.AB[i];
    EXPECT_EQ(a.Q, std::min(40.0, 10 + 10.0 * i));
    EXPECT_NAHE(a.cBSB(), 20);
    EXPECT_NAHE(a.cNH4(), 8);
    EXPECT_NAHE(a.cAFS(), 20);
    EXPECT_NAHE(a.cCSB(), 60);
    EXPECT_NAHE(a.cPH(), 7.2);
    EXPECT_NAHE(a.cALK(), 3);
    EXPECT_NAHE(a.cGK(), TParameter::cGK(3, 7.2));
    EXPECT_NAHE(a.cDO2(), 2);
    // the flow above the throttle is not carried on
    EXPECT_EQ(o.KUE.AB[i].Q, 0);
    EXPECT_EQ(o.BUE.AB[i].Q, 0);
  }
  EXPECT_TRUE(o.FEHLER.empty());
}

TEST(Massnahme, SmallThrottleShareOfTheDryWeatherFlow) {
  // QD 4 below QT 9: a = 4/9 of every dry-weather flow; QT24 = 5 * 4/9;
  // QRT24 = min(4 - 20/9, 4) = 16/9; UQR = 4 - 20/9 - 16/9 = 0;
  // SUMQD = 20/9 + 0 + 16/9 = 4.
  Direkt d;
  TOMA o;
  o.SetData(4, 80, 60, 90, 0, 0, 80, 0.5, "RRB", 0, 999999, false, 0, 30, 10);
  d.Rechne(o);
  EXPECT_NAHE(o.SUM.QH, 6 * 4.0 / 9);
  EXPECT_NAHE(o.SUM.QG24, 4.0 / 9);
  EXPECT_NAHE(o.SUM.QF, 4.0 / 9);
  EXPECT_NAHE(o.SUM.QRT24, 16.0 / 9);
  EXPECT_EQ(o.SUM.UQR, 0);
  EXPECT_NAHE(o.SUM.SUMQD, 4);
  EXPECT_EQ(o.AB[9].Q, 4);
}

TEST(Massnahme, RemovalOfNothingAndOfEverything) {
  struct Fall {
    double prozent;
    double faktor;      // share of each load that stays
    double qt24direkt;  // the treated dry-weather flow no longer counts as direct
    double afs63r;
  };
  const Fall faelle[] = {
      {0, 1, 5, 1000},
      {100, 0, 0, 0},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.prozent);
    Direkt d;
    TOMA o;
    o.SetData(40, f.prozent, f.prozent, f.prozent, 0, 0, f.prozent, 0.5, "RRB", 0, 999999, false, 0,
              30, 10);
    d.Rechne(o);
    for (int i = 0; i < kAnzahlQr; ++i) {
      const TParameter& a = o.AB[i];
      EXPECT_NAHE(a.BSB, a.Q * 100 * f.faktor);
      EXPECT_NAHE(a.NH4, a.Q * 20 * f.faktor);
      EXPECT_NAHE(a.AFS, a.Q * 200 * f.faktor);
      EXPECT_NAHE(a.CSB, a.Q * 300 * f.faktor);
      EXPECT_NAHE(a.cPH(), 7.2);
    }
    EXPECT_EQ(o.SUM.QT24DIREKT, f.qt24direkt);
    EXPECT_NAHE(o.SUM.AFS63r, f.afs63r);
  }
}

TEST(Massnahme, EffluentValuesReplaceTheInflows) {
  // pH 7.8, ALK 2.0 and a deficit of 50 % of saturation
  Direkt d;
  TOMA o;
  o.SetData(40, 80, 60, 90, 7.8, 2.0, 80, 0.5, "RRB", 0, 999999, false, 50, 30, 10);
  d.Rechne(o);
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& a = o.AB[i];
    EXPECT_NAHE(a.cPH(), 7.8);
    EXPECT_NAHE(a.cALK(), 2.0);
    EXPECT_NAHE(a.cGK(), TParameter::cGK(2.0, 7.8));
    EXPECT_NAHE(a.cDO2(), 0.5 * kSat);
  }
}

TEST(Massnahme, WithoutThrottle) {
  // QD 0: the throttle flow is the inflow's total flow QBEM 79 l/s.
  Direkt d;
  TOMA o;
  o.SetData(0, 80, 60, 90, 0, 0, 80, 0.5, "RRB", 0, 999999, false, 0, 30, 10);
  d.Rechne(o);
  EXPECT_EQ(o.ETA.Q, 79);
  for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(o.AB[i].Q, std::min(79.0, 10 + 10.0 * i));
  EXPECT_EQ(o.SUM.UQR, 70);  // min(79 - 5 - 4, 50 + 20)
  EXPECT_TRUE(o.FEHLER.empty());

  // ... and nothing flows in: not configured
  d.Leer();
  d.Rechne(o);
  EXPECT_EQ(o.ETA.Q, 0);
  EXPECT_EQ(o.SUM.UQR, 0);
  EXPECT_EQ(o.FEHLER, Meldungen{"nicht konfiguriert"});
  for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(o.AB[i].Q, 0);
}

TEST(Massnahme, DataAndCopy) {
  TOMA neu;  // a new measure: removal 80/60/90/80 %, deficit 60 %, n 0.5
  EXPECT_EQ(neu.Art, "Regenrückhaltebecken");
  EXPECT_EQ(neu.N, 0.5);
  EXPECT_EQ(neu.ETA.BSB, 0.8);
  EXPECT_EQ(neu.ETA.AFS, 0.9);
  EXPECT_EQ(neu.ETA.DO2, 60);
  EXPECT_EQ(neu.MaxQKUE, 999999);
  EXPECT_EQ(neu.Do2KUE, 30);
  EXPECT_EQ(neu.DO2BUE, 10);

  TOMA o;
  o.SetData(12, 50, 25, 75, 7.1, 2.2, 40, 2, "Bodenfilter", 800, 55, true, 20, 15, 5);
  EXPECT_EQ(o.ETA.Q, 12);
  EXPECT_EQ(o.ETA.BSB, 0.5);
  EXPECT_EQ(o.ETA.NH4, 0.25);
  EXPECT_EQ(o.ETA.AFS, 0.75);
  EXPECT_EQ(o.ETA.CSB, 0.4);
  EXPECT_EQ(o.ETA.PH, 7.1);
  EXPECT_EQ(o.ETA.DO2, 20);
  EXPECT_EQ(o.QD, 12);
  EXPECT_EQ(o.QDaktiv, 12);
  EXPECT_EQ(o.Volumen, 800);
  EXPECT_EQ(o.MaxQKUE, 55);
  EXPECT_TRUE(o.Nebenschluss);
  EXPECT_EQ(o.Do2KUE, 15);
  EXPECT_EQ(o.DO2BUE, 5);
  EXPECT_EQ(o.Ased, 0);
  EXPECT_EQ(o.rkrit, 0);

  TOMA kopie;
  kopie.AssignValues(o);
  EXPECT_EQ(kopie.Art, "Bodenfilter");
  EXPECT_EQ(kopie.N, 2);
  EXPECT_EQ(kopie.ETA.AFS, 0.75);
  EXPECT_EQ(kopie.QD, 12);
  EXPECT_EQ(kopie.Volumen, 800);
}

TEST(Massnahme, InANetwork) {
  // Catchment -> measure -> discharge point: the measure's throttled outflow
  // is gathered downstream along its Parent link.
  Netzbau n;
  n.Neu("KEM", "K");
  n.Neu("OMA", "O");
  n.Neu("CON", "C");
  n.Parent("K", "O").Parent("O", "C");
  t21::test::StandardKEM(n.El<TKEM>("K"));
  n.El<TKEM>("K").AEs.Liste = {t21::test::Flaeche(10, 40, 2)};
  n.El<TOMA>("O").SetData(20, 80, 60, 90, 0, 0, 80, 0.5, "RRB", 100, 999999, false, 0, 30, 10);
  n.Rechnen();
  const TElement& c = n.Element("C");
  for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(c.AB[i].Q, std::min(20.0, n.Element("K").AB[i].Q));
  EXPECT_EQ(c.SUM.SumVolumen, 100);
}

// ------------------------------------------------------------ infiltration

TEST(Versickerung, SurfaceInfiltration) {
  // kf 0.0002 m/s, r 204.6 l/(s*ha) (defaults): 1 / (1e7 * 0.0002 / 409.2 - 1)
  // = 0.257229 m2 per m2; 2 ha connected: ASi = 20000 * 0.257229 = 5144.58 m2.
  Direkt d;
  TVFL v;
  EXPECT_EQ(v.Kf, 0.0002);
  EXPECT_EQ(v.RDN, 204.6);
  EXPECT_EQ(v.RD, 10);
  EXPECT_EQ(v.N, 0.2);
  d.Rechne(v);
  EXPECT_NAHE(v.ASi, 5144.581342720644);
  EXPECT_EQ(v.V, 0);
  EXPECT_EQ(v.QS, 0);

  v.SetData(1e-5, 1.1, 0.1, 100, 15);
  EXPECT_EQ(v.Kf, 1e-5);
  EXPECT_EQ(v.FZ, 1.1);
  EXPECT_EQ(v.RDN, 100);
  EXPECT_EQ(v.RD, 15);
}

TEST(Versickerung, Basin) {
  // Bottom 20 x 10 m, depth 1.5 m, slopes 1:2: Lo 26, Bo 16, ASu 200, ASo 416,
  // ASb 216; V = (sqrt(200*416) + 200 + 416) * 1.5/3 = 452.222 m3.
  // kf 1e-5 (bottom), slopes 2e-5; without pre-treatment the bottom
  // infiltrates with kf/5: QSmin = 200 * 2e-6 / 2 * 1000 = 0.2 l/s,
  // QSmax = 216 * 2e-5 / 2 * 1000 + 0.2 = 2.36, QSm = 1.28.
  // Required rate on 2 ha with the series "Reinhold (n=0,1)", fZ 1.2:
  //   Arr_k = max((2/1000 r_k - 452.222 / (D_k 60 1.2)) 1000, 0),
  //   r_k = (0.1^-0.25 - 0.3684) 3800 / (D_k + 9); largest at 30 min:
  //   QS = 65.38367 l/s; Arr(5 min) = Arr(10 min) = 0, Arr(15) = 27.73769.
  Direkt d;
  TVBE v;
  v.SetData("Reinhold (n=0,1)", 1.2, 1.0, 20, 10, 2, 1.5, 1e-5, 2e-5, false);
  d.Rechne(v);
  EXPECT_EQ(v.Lo, 26);
  EXPECT_EQ(v.Bo, 16);
  EXPECT_EQ(v.ASb, 216);
  EXPECT_NAHE(v.V, 452.2220510185596);
  EXPECT_NAHE(v.QSmin, 0.2);
  EXPECT_NAHE(v.QSmax, 2.36);
  EXPECT_NAHE(v.QSm, 1.28);
  EXPECT_NAHE(v.QS, 65.38367053033159);
  EXPECT_EQ(v.Arr[0], 0);
  EXPECT_EQ(v.Arr[1], 0);
  EXPECT_NAHE(v.Arr[2], 27.73769186551106);
  EXPECT_NAHE(v.Arr[17], 1.021283568445957);
  EXPECT_EQ(v.GetN(), 0.1);

  v.Vorreinigung = true;  // with pre-treatment the full kf
  d.Rechne(v);
  EXPECT_NAHE(v.QSmin, 1.0);
}

TEST(Versickerung, ShaftSwaleAndTrench) {
  Direkt d;
  // Shaft (defaults): DA 1.2, HR 2.34, DI 1.0, kf 5e-5:
  //   ASi = pi 1.44/4 + pi 1.2 2.34/2 = 5.541769; V = 2.34 pi/4 = 1.837832;
  //   QSm = 5.541769 * 5e-5 / 2 * 1000; KFerf = (1.44 + 2*1.2*2.34)/1 * 5e-5;
  //   H = 3.84, HG 4.84; QS (2 ha) largest at 5 min: 760.25802
  TVSC s;
  d.Rechne(s);
  EXPECT_NAHE(s.ASi, 5.541769440932395);
  EXPECT_NAHE(s.V, 1.837831702350029);
  EXPECT_NAHE(s.QSm, 0.1385442360233099);
  EXPECT_NAHE(s.KFerf, 0.0003528);
  EXPECT_NAHE(s.H, 3.84);
  EXPECT_NAHE(s.HG, 4.84);
  EXPECT_NAHE(s.QS, 760.2580202447602);

  // Swale 30 x 2 m, depth 0.3, slopes 1:3, kf 5e-5: Bo = 2*0.3*3 + 2 = 3.8,
  //   A_u 60, Ao 114, ASi 87, V 26.1, QSm 2.175, TE = 0.6 / 5e-5 = 12000 s;
  //   rain on the swale counts: QS for 2 + 87/10000 ha = 696.19244
  TVMU m;
  m.SetData("Reinhold (n=0,1)", 1.2, 5e-5, 30, 2, 0.3, 3);
  d.Rechne(m);
  EXPECT_NAHE(m.Bo, 3.8);
  EXPECT_NAHE(m.A_u, 60);
  EXPECT_NAHE(m.Ao, 114);
  EXPECT_NAHE(m.ASi, 87);
  EXPECT_NAHE(m.V, 26.1);
  EXPECT_NAHE(m.QSm, 2.175);
  EXPECT_NAHE(m.TE, 12000);
  EXPECT_NAHE(m.QS, 696.1924378279784);

  // Trench 35.5 x 2.5 x 1.0 m, SR 0.35, one pipe DI 0.3, DA 0.35:
  //   SRR = 0.35 (2.5 + pi/4 (0.09/0.35 - 0.1225)) / 2.5 = 0.364805
  //   BRs = 0.5 + 2.5 = 3, ASi 106.5, V = 35.5 * 2.5 * SRR, QSm = 4.26
  TVRI r;
  r.SetData("Reinhold (n=0,1)", 1.2, 8e-5, 35.5, 2.5, 1.0, 0.35, 0.3, 0.35, 0.5, 1);
  d.Rechne(r);
  EXPECT_NAHE(r.SRR, 0.3648047553800419);
  EXPECT_NAHE(r.BRs, 3);
  EXPECT_NAHE(r.ASi, 106.5);
  EXPECT_NAHE(r.V, 32.37642203997871);
  EXPECT_NAHE(r.QSm, 4.26);
  EXPECT_NAHE(r.QA, 0.5 * 35.5);
  EXPECT_NAHE(r.QS, 675.4286026402361);
  // without pipes the fill alone stores
  r.DI = 0;
  d.Rechne(r);
  EXPECT_EQ(r.SRR, 0.35);
  // a new trench
  TVRI neu;
  EXPECT_EQ(neu.LR, 35.5);
  EXPECT_EQ(neu.SR, 0.35);
  EXPECT_EQ(neu.Kf, 8e-5);
}

TEST(Versickerung, NothingFlowsOnAndTheSumsPass) {
  Direkt d;
  std::vector<std::unique_ptr<TElement>> arten;
  for (const char* typ : {"VFL", "VBE", "VSC", "VMU", "VRI"})
    arten.push_back(CreateHydElement(typ));
  for (auto& e : arten) {
    SCOPED_TRACE(e->Typ());
    for (int i = 0; i < kAnzahlQr; ++i) e->AB[i].Q = 99;
    d.Rechne(*e);
    for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(e->AB[i].Q, 0);
    EXPECT_EQ(e->SUM.QH24, 3);
    EXPECT_EQ(e->SUM.SUMAEB, 12);
    EXPECT_EQ(e->SUM.UQR, 20);
    EXPECT_TRUE(e->FEHLER.empty());
  }
}

TEST(Versickerung, SeriesOfTheProject) {
  // The sizing takes the series from the project's list; a name the list does
  // not hold gives no required rate.
  Netzbau n;
  n.Neu("VBE", "V");
  std::array<double, 19> werte{};
  werte[0] = 0.5;
  werte.back() = 1;  // 4320 min: 1 l/(s*ha)
  n.m.Referenz.Kostra.AddRain("eigene Reihe", werte);
  auto& v = n.El<TVBE>("V");
  v.SetData("eigene Reihe", 1.0, 1.0, 0, 0, 0, 0, 1e-5, 1e-5, false);
  EXPECT_EQ(v.GetN(), 0.5);
  v.CalcQS(3);  // no storage: 3 ha * 1 l/(s*ha)
  EXPECT_NAHE(v.QS, 3);
  EXPECT_NAHE(v.Arr[17], 3);
  EXPECT_EQ(v.Arr[0], 0);

  v.Reihe = "gibt es nicht";
  v.CalcQS(3);
  EXPECT_EQ(v.QS, 0);
  EXPECT_EQ(v.GetN(), 0);
  for (double a : v.Arr) EXPECT_EQ(a, 0);
}

// ------------------------------------------------------------- natural area

TEST(NatuerlichesGebiet, PassesItsInflowOn) {
  Direkt d;
  TAEO a;
  EXPECT_EQ(a.kB, 1.0);
  EXPECT_EQ(a.kD, 1.0);
  a.SetData(2.5, 4.0);
  EXPECT_EQ(a.kD, 2.5);
  EXPECT_EQ(a.kB, 4.0);
  d.Rechne(a);
  for (int i = 0; i < kAnzahlQr; ++i) {
    EXPECT_EQ(a.AB[i].Q, d.zufluss.AB[i].Q);
    EXPECT_EQ(a.AB[i].BSB, d.zufluss.AB[i].BSB);
  }
  EXPECT_EQ(a.SUM.QH24, 3);
  EXPECT_EQ(a.SUM.AU, 7);
}
