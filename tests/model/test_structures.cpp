#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "support/netzbau.h"

using namespace t21;
using t21::test::Bauwerksstrang;
using t21::test::Flaeche;
using t21::test::Netzbau;
using t21::test::StandardKEM;

namespace {

// Relative comparison for the hand-computed values.
#define EXPECT_NAHE(ist, soll) \
  EXPECT_NEAR((ist), (soll), 1e-9 * std::max(1.0, std::fabs(static_cast<double>(soll))))

using Meldungen = std::vector<std::string>;

// A structure computed directly on a hand-made inflow: rate i carries
//   Q_i = qt24 + (i > 0 ? qrt24 + qr_i * aeb : 0)
// at fixed concentrations (BSB 100, NH4 20, AFS 150, CSB ccsb, ALK 3, pH 7.5,
// GK 3.2, O2 deficit 1 mg/l).
struct Direkt {
  TElement zufluss;
  TNET net;

  void Zulauf(double qt24, double qrt24, double aeb, double ccsb) {
    for (int i = 0; i < kAnzahlQr; ++i) {
      const double q = qt24 + (i > 0 ? qrt24 + kQr[static_cast<size_t>(i)] * aeb : 0);
      zufluss.AB[i].SetData(q, 100 * q, 20 * q, 150 * q, 7.5 * q, 3 * q, ccsb * q, 3.2 * q, q);
    }
  }
  void Rechne(TEBW& b) const { b.Calc(TRechnung{zufluss, net}); }
  std::vector<TBemessungszeile> Liste(const TEBW& b) const {
    return b.Bemessungsliste(TRechnung{zufluss, net});
  }
};

const TBemessungszeile* Zeile(const std::vector<TBemessungszeile>& liste, const std::string& b) {
  for (const auto& z : liste)
    if (z.Bezeichner == b) return &z;
  return nullptr;
}

}  // namespace

namespace t21 {
void PrintTo(const TBemessungszeile& z, std::ostream* os) {
  *os << '{' << z.Bezeichner << " | " << z.Groesse << " | " << z.Wert << " | " << z.Dimension
      << '}';
}
}  // namespace t21

// --------------------------------------------------------------- CSO tank

// Catchment -> CSO tank -> discharge point, against a hand computation.
//
// Catchment (combined net): sub-areas 20 ha at 50 % cat. II, fD 1 and 10 ha at
// 30 % cat. I, fD 0.5; 60 E/ha, 150 l/(E*d), x 10 h; qf 0.1 l/(s*ha); NGM 2.5;
// TF 10 min; domestic CSB 600, BSB 300 mg/l; rain water BSB 20 mg/l, O2 deficit
// 10 % of saturation.
//   AEb 13 (AEb1 3, AEb2 10), AEbxfD 11.5, fD 11.5/13, E 1800, QH24 3.125,
//   QH 7.5, QF 1.3, QT24 4.425, QT 8.8, NGm 2.5, BAFS63 280*3 + 530*10 = 6140.
//   Rate i: Y = qr_i * 13, Q = 4.425 + Y, cBSB = (3.125*300 + 20 Y) / Q.
// Tank: QD 20 l/s, MaxQKUE 100 l/s, V 250 m3, O2 deficit BUE 10 %, KUE 20 %.
//   Qd = min(QD, Q); Qk = max(min(Q - Qd, MaxQKUE), 0); Qb = max(Q - Qd - Qk, 0)
// Design (HNa 900 mm, crCSB 107, ckCSB 70, ctAFS63 150, ckAFS63 15):
//   ctCSB = 3.125*600/4.425; QR = QD - QT24 - QRT24 = 15.575; _qr = QR/AEb;
//   _qt24 = QT24/AEb; af = max(50/(TF+100) + 0.5, 0.885) as _qr < 2;
//   QRE = (3 AEb fD + 3.2 QR) af; m = (QRE + QRT24)/QT24;
//   m_erf = max((ctCSB-180)/60, 7); acCSB = max(ctCSB/600, 1);
//   ah = clamp(HNa/800 - 1, -0.25, 0.25); xa = 24 QT24/QTx;
//   dI = (2 (NGm-1) + 1) 0.001; tau = 430 (_qt24/fD)^0.45 dI;
//   aa = max((24/xa)^2 (2 - tau)/10, 0); cbCSB = 600 (acCSB + ah + aa);
//   brAFS = (280*3 + 530*10)/AEb; arAFS = max(brAFS/478, 1); craCSB = arAFS*107;
//   ceCSB = (craCSB m + cbCSB)/(m+1); e0 = 3700/(ceCSB - 70); M = _qr/fD;
//   H1 = (25M + 4000)/(M + 0.551); H2 = (13.5M + 36.8)/(M + 0.5);
//   VS = max(H1/(e0+6) - H2, 5); Vges = VS AEb fD; Verf = Vges - 0;
//   Ve = 56 e0; Vrk = 56 (100 - e0); cbAFS = (ah + 1 + aa) 150; crAFS = brAFS/5.6;
//   ceAFS = (crAFS m + cbAFS)/(m+1); FrkAFS = 15 Vrk/1000; FeAFS = Ve ceAFS/1000;
//   FrkCSB = 70 Vrk/1000; FeCSB = Ve (107 m + cbCSB)/(m+1)/1000;
//   AFS63e = 6140 e0/100, AFS63r = 6140 (1 - e0/100), split 0.9/0.1 on KUE/BUE.
// Values from an independent script (python3, double precision).
TEST(RUB, TankBelowCatchmentAgainstHandComputation) {
  Netzbau n;
  n.Netz().HNA = 900;
  n.Neu("KEM", "A");
  n.Neu("RUB", "S");
  n.Neu("EST", "E");
  Bauwerksstrang(n, "A", "S", "E");
  auto& a = n.El<TKEM>("A");
  StandardKEM(a);
  a.QF = 0.1;
  a.NGM = 2.5;
  a.AEs.Liste = {Flaeche(20, 50, 2), Flaeche(10, 30, 1, 0.5)};
  auto& s = n.El<TRUB>("S");
  s.SetData(20, 100, 250, false, 0, 10, 20, 0, 0);
  n.Rechnen();

  struct Fall {
    int i;
    double Q, Qd, Qk, Qb, cBSB;
  };
  const Fall faelle[] = {
      {0, 4.425, 4.425, 0, 0, 211.86440677966104},
      {1, 10.925, 10.925, 0, 0, 97.71167048054919},
      {2, 17.425, 17.425, 0, 0, 68.72309899569584},
      {3, 30.425, 20, 10.425, 0, 47.904683648315526},
      {4, 56.425, 20, 36.425, 0, 35.046521931767835},
      {5, 108.425, 20, 88.425, 0, 27.830297440627163},
      {6, 212.425, 20, 100, 92.425, 23.996704719312696},
      {7, 420.425, 20, 100, 300.425, 22.019385145983232},
      {8, 836.425, 20, 100, 716.425, 21.01503422303255},
      {9, 1668.425, 20, 100, 1548.425, 20.508863149377408},
  };
  const double sat = n.Netz().cO2sat;
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.i);
    const TParameter &d = s.AB[f.i], &k = s.KUE.AB[f.i], &b = s.BUE.AB[f.i];
    ASSERT_NEAR(a.AB[f.i].Q, f.Q, 1e-9);
    EXPECT_NEAR(d.Q, f.Qd, 1e-9);
    EXPECT_NEAR(k.Q, f.Qk, 1e-9);
    EXPECT_NEAR(b.Q, f.Qb, 1e-9);
    EXPECT_NAHE(d.BSB, f.Qd * f.cBSB);
    EXPECT_NAHE(k.BSB, f.Qk * f.cBSB);
    EXPECT_NAHE(b.BSB, f.Qb * f.cBSB);
    EXPECT_NEAR(d.cPH(), a.AB[f.i].cPH(), 1e-12);
    // the throttle passes the inflow's deficit on, the overflows carry theirs
    const double y = f.Q - 4.425;
    EXPECT_NEAR(d.DO2, f.Qd * sat * (4.425 + 0.1 * y) / f.Q, 1e-9);
    EXPECT_NEAR(k.DO2, f.Qk * sat * 0.2, 1e-9);
    EXPECT_NEAR(b.DO2, f.Qb * sat * 0.1, 1e-9);
  }

  EXPECT_NAHE(s.AEb, 13);
  EXPECT_NAHE(s.fD, 11.5 / 13);
  EXPECT_NAHE(s.NGM, 2.5);
  EXPECT_NAHE(s.QTx, 8.8);
  EXPECT_NAHE(s.n, 2.493333333333333);
  EXPECT_NAHE(s.QR, 15.575);
  EXPECT_NAHE(s._qr, 1.198076923076923);
  EXPECT_NAHE(s._qt24, 0.3403846153846154);
  EXPECT_NAHE(s.af, 0.9545454545454546);
  EXPECT_NAHE(s.QRE, 80.50636363636364);
  EXPECT_NAHE(s.m, 18.193528505392916);
  EXPECT_NAHE(s.m_erf, 7);
  EXPECT_NAHE(s.acCSB, 1);
  EXPECT_NAHE(s.ah, 0.125);
  EXPECT_NAHE(s.xa, 12.068181818181817);
  EXPECT_NAHE(s.dI, 0.004);
  EXPECT_NAHE(s.tau, 1.1191167411610279);
  EXPECT_NAHE(s.aa, 0.3483831571489165);
  EXPECT_NAHE(s.cbCSB, 884.0298942893498);
  EXPECT_NAHE(s.brAFS, 472.3076923076923);
  EXPECT_NAHE(s.arAFS, 1);
  EXPECT_NAHE(s.craCSB, 107);
  EXPECT_NAHE(s.ceCSB, 147.48395239421578);
  EXPECT_NAHE(s.e0, 47.75182325722722);
  EXPECT_NAHE(s.H1, 2117.124569290099);
  EXPECT_NAHE(s.H2, 29.705158264947244);
  EXPECT_NAHE(s.VS, 9.681869764942704);
  EXPECT_NAHE(s.Vges, 111.34150229684109);
  EXPECT_NAHE(s.Vvor, 0);
  EXPECT_NAHE(s.Verf, 111.34150229684109);
  EXPECT_NAHE(s.Ve, 2674.1021024047245);
  EXPECT_NAHE(s.Vrk, 2925.8978975952755);
  EXPECT_NAHE(s.cbAFS, 221.00747357233746);
  EXPECT_NAHE(s.crAFS, 84.34065934065934);
  EXPECT_NAHE(s.ceAFS, 91.46112258394878);
  EXPECT_NAHE(s.FrkAFS, 43.88846846392913);
  EXPECT_NAHE(s.FeAFS, 244.57638019003366);
  EXPECT_NAHE(s.FgesAFS, 288.4648486539628);
  EXPECT_NAHE(s.FrkCSB, 204.8128528316693);
  EXPECT_NAHE(s.FeCSB, 394.38714716833067);
  EXPECT_NAHE(s.FgesCSB, 599.2);
  EXPECT_NAHE(s.QRKRIT, 15 * 13);
  EXPECT_NAHE(s.QKRIT, 15 * 13 + 4.425);
  EXPECT_TRUE(s.FEHLER.empty());

  // sums: the throttle takes all dry-weather flow and 15.575 l/s of rain,
  // KUE 100 l/s, BUE the rest; all of it no longer reducible
  const TSUM &S = s.SUM, &K = s.KUE.SUM, &B = s.BUE.SUM;
  const double qr = a.SUM.QR;
  ASSERT_GT(qr, 115.575);
  EXPECT_EQ(S.E, 1800);
  EXPECT_NAHE(S.QH, 7.5);
  EXPECT_NAHE(S.QF, 1.3);
  EXPECT_NAHE(S.UQR, 15.575);
  EXPECT_NAHE(K.UQR, 100);
  EXPECT_NAHE(B.UQR, qr - 115.575);
  EXPECT_EQ(S.QR + K.QR + B.QR, 0);
  EXPECT_EQ(K.QT() + B.QT(), 0);
  EXPECT_EQ(S.SUMAEB, 13);
  EXPECT_EQ(S.AEB, 0);  // areas do not pass a structure as local areas
  EXPECT_EQ(S.AU, 0);
  EXPECT_EQ(S.LTF, 10);
  EXPECT_EQ(S.SUMTF, 0);
  EXPECT_EQ(K.SUMTF, 10);
  EXPECT_NAHE(S.SUMVerf, 111.34150229684109);
  EXPECT_EQ(S.SumVolumen, 250);
  EXPECT_EQ(S.SUMQD, 20);
  EXPECT_NAHE(S.AFS63e, 2931.9619479937514);
  EXPECT_NAHE(S.AFS63r, 3208.0380520062486);
  EXPECT_NAHE(s.BE, 2931.9619479937514);
  EXPECT_NAHE(K.AFS63r, 0.9 * 2931.9619479937514);
  EXPECT_NAHE(B.AFS63r, 0.1 * 2931.9619479937514);
}

TEST(RUB, MessagesAndBounds) {
  // Inflow: dry weather qt24 (peak qt) of COD ccsb, AEb ha of category II,
  // NGm 1. Expected messages from the same script as above.
  struct Fall {
    double aeb, qt24, qt, qd, ccsb, tf, hna, xdi;
    Meldungen soll;
  };
  const Fall faelle[] = {
      {10, 5, 10, 6, 600, 10, 800, 0, {kQrKlein, kE0Klein, kVsGross, kMKlein}},
      {10, 5, 10, 7, 600, 10, 800, 0, {kE0Klein, kVsGross, kMKlein}},  // _qr exactly 0.2
      {10, 5, 10, 15, 600, 10, 800, 0, {}},
      {10, 5, 10, 25, 900, 10, 800, 0, {}},  // _qr exactly 2
      {10, 5, 10, 30, 600, 10, 800, 0, {kQrGross}},
      {10, 5, 10, 13, 300, 10, 800, 0, {kVsGross}},
      {10, 1, 1, 400, 300, 10, 600, 0, {kQrGross, kE0Gross}},
      {0, 0, 0, 50, 0, 10, 800, 0, {kQrKlein, kE0Klein, kMKlein}},  // fed by nothing
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.qd);
    Direkt d;
    d.net.HNA = f.hna;
    TSUM& I = d.zufluss.SUM;
    I.QH24 = f.qt24;
    I.QH = f.qt;
    I.SUMAE = I.SUMAEB = I.SumAEbxfD = I.SumAEb2 = I.AExNG = f.aeb;
    I.LTF = f.tf;
    d.Zulauf(f.qt24, 0, f.aeb, f.ccsb);
    TRUB s;
    s.SetData(f.qd, 100, 0, false, 0, 10, 10, 0, f.xdi);
    d.Rechne(s);
    EXPECT_EQ(s.FEHLER, f.soll);
  }
  EXPECT_STREQ(kQrKlein, "qr < 0,2 l/(s*ha); QD ++");
  EXPECT_STREQ(kQrGross, "qr > 2 l/(s*ha); QD --");
  EXPECT_STREQ(kE0Klein, "eo < 25 %");
  EXPECT_STREQ(kE0Gross, "eo > 75 %");
  EXPECT_STREQ(kVsGross, "VS > 40 cbm");
  EXPECT_STREQ(kMKlein, "m < m erf; QD ++");
}

TEST(RUB, EdgeCases) {
  Direkt d;
  TRUB s;
  s.SetData(20, 0, 0, false, 0, 10, 10, 0, 0);
  d.Rechne(s);  // fed by nothing
  EXPECT_EQ(s.VS, 0);
  EXPECT_EQ(s.Vges, 0);
  EXPECT_EQ(s.cbAFS, 0);
  EXPECT_EQ(s.ceAFS, 0);
  EXPECT_EQ(s.AB[5].Q, 0);

  TSUM& I = d.zufluss.SUM;
  I.QH24 = I.QH = 5;
  I.SUMAE = I.SUMAEB = I.SumAEbxfD = I.SumAEb3 = 10;
  I.AExNG = 25;  // NGm 2.5
  I.LTF = 120;
  I.AFS63e = 500;
  d.Zulauf(5, 0, 10, 600);
  d.Rechne(s);
  EXPECT_NAHE(s.dI, 0.004);
  EXPECT_EQ(s.af, 0.885);  // long flow time, _qr < 2: the lower bound
  // MaxQKUE 0: everything above the throttle and the whole added load on BUE
  EXPECT_EQ(s.KUE.AB[9].Q, 0);
  EXPECT_NAHE(s.BUE.AB[9].Q, 5 + 1280 - 20);
  EXPECT_NAHE(s.BE, 7600 * s.e0 / 100 - 500);
  EXPECT_EQ(s.KUE.SUM.AFS63r, 0);
  EXPECT_EQ(s.BUE.SUM.AFS63r, s.BE);

  s.xDI = 0.002;
  d.Rechne(s);
  EXPECT_EQ(s.dI, 0.002);
}

// ----------------------------------------------------------- CSO overflow

// Inflow: QT24 5 (QT 10) l/s of COD 720 mg/l, QRT24 2, UQR 40, QR 200 l/s,
// governing flow time 30 min, 100 ha local impervious area, SumAEb1 40 and
// SumAEb3 70 ha (BAFS63 280*40 + 760*70 = 64400 kg/a), AFS63e 1000 kg/a
// upstream, throttle flows upstream 12 l/s, volumes upstream 300 required and
// 250 built.
//   Rkrit = max(1800/(30+120), 7.5) = 12; QRKRIT = 1200; QKRIT = 1217;
//   ct = 720; m_erf = max((720-180)/60, 7) = 9; QD_erf = max(5*10, 1217) = 1217;
//   AFS63e = 6440, AFS63r = 57960, BE = KUE.AFS63r = 5440.
// Rate i: Q = 5 + (i > 0 ? 2 + 110 qr_i : 0), at most 14087 l/s.
TEST(RU, OverflowOnSmallFixture) {
  struct Fall {
    double qd;
    double sUQR, sQRT24, kUQR, kQH;  // sums after the split
    Meldungen soll;
  };
  const Fall faelle[] = {
      {30,
       23,
       2,
       217,
       0,
       {"m = 5,00 < m erf = 9,00", "QD = 30,00 < QKRIT = 1217,00",
        "QD = 30,00 < QD erf = 1217,00"}},
      {6,
       1,
       2,
       239,
       4,
       {"m = 0,20 < m erf = 9,00", "QD = 6,00 < QKRIT = 1217,00", "QD = 6,00 < QD erf = 1217,00"}},
      {20000, 240, 2, 0, 0, {}},  // throttle above every inflow
      {0,
       0,
       0,
       240,
       10,
       {"m = -1,00 < m erf = 9,00", "QD = 0,00 < QKRIT = 1217,00", "QD = 0,00 < QD erf = 1217,00"}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.qd);
    Direkt d;
    TSUM& I = d.zufluss.SUM;
    I.QH24 = 5;
    I.QH = 10;
    I.QT24DIREKT = 5;
    I.QRT24 = 2;
    I.UQR = 40;
    I.QR = 200;
    I.SUMTF = 30;
    I.LTF = 40;
    I.E = 1000;
    I.AEB = 100;
    I.SUMAEB = 110;
    I.SumAEb1 = 40;
    I.SumAEb3 = 70;
    I.SUMQD = 12;
    I.AFS63e = 1000;
    I.SUMVerf = 300;
    I.SumVolumen = 250;
    d.Zulauf(5, 2, 110, 720);
    TRU u;
    EXPECT_EQ(u.MaxQKUE, 999999);
    u.SetData(f.qd, u.MaxQKUE, 0, false, 0, 10, 10, 0, 0);
    d.Rechne(u);

    EXPECT_EQ(u.Rkrit, 12);
    EXPECT_EQ(u.QRKRIT, 1200);
    EXPECT_EQ(u.QKRIT, 1217);
    EXPECT_EQ(u.ct, 720);
    EXPECT_EQ(u.m_erf, 9);
    EXPECT_EQ(u.QD_erf, 1217);
    EXPECT_NAHE(u.m, (f.qd - 5) / 5);
    EXPECT_EQ(u.FEHLER, f.soll);

    for (int i = 0; i < kAnzahlQr; ++i) {
      const double q = d.zufluss.AB[i].Q;
      const double qd = std::min(f.qd, q);
      EXPECT_NAHE(u.AB[i].Q, qd);
      EXPECT_NAHE(u.KUE.AB[i].Q, q - qd);  // everything above the throttle
      EXPECT_EQ(u.BUE.AB[i].Q, 0);
      EXPECT_NAHE(u.KUE.AB[i].CSB, (q - qd) * 720);
      EXPECT_NAHE(u.KUE.AB[i].DO2, (q - qd) * d.net.cO2sat * 0.1);
      EXPECT_NAHE(u.AB[i].DO2, qd);  // the inflow's 1 mg/l
    }

    const TSUM &S = u.SUM, &K = u.KUE.SUM;
    EXPECT_NAHE(S.UQR, f.sUQR);
    EXPECT_NAHE(S.QRT24, f.sQRT24);
    EXPECT_NAHE(K.UQR, f.kUQR);
    EXPECT_NAHE(K.QH, f.kQH);
    EXPECT_NAHE(S.QH + K.QH + u.BUE.SUM.QH, 10);
    EXPECT_EQ(S.E, 1000);
    EXPECT_EQ(K.SUMTF, 30);
    EXPECT_EQ(S.SUMQD, f.qd);
    // an overflow stores nothing: the volumes upstream pass on
    EXPECT_EQ(S.SUMVerf, 300);
    EXPECT_EQ(S.SumVolumen, 250);
    EXPECT_NAHE(S.AFS63e, 6440);
    EXPECT_NAHE(S.AFS63r, 57960);
    EXPECT_NAHE(u.BE, 5440);
    EXPECT_NAHE(K.AFS63r, 5440);
  }
}

// ------------------------------------------------------ stormwater clarifier

// Inflow of a separate system: QF 1 l/s, 10 ha local impervious area of
// category II (BAFS63 5300 kg/a), AFS63e 100 kg/a, volumes upstream 40
// required, 30 built. Rate i: Q = 1 + 10 qr_i.
//   QKRIT = QD + MaxQKUE; QRkrit = QKRIT - 1; rkrit = QRkrit/10;
//   bAFS63 = 530; bBUE = 53; ETAges = 1 - (280 - 53)/(530 - 53);
//   qAb = -8.333 ln(ETAges) - 1.6629; Qbem = (10 rkrit + 1) 3.6; Aerf = Qbem/qAb;
//   cR = 530/560*100; ETAsed = 0.667 exp(-0.1279 qAb); cKUE = (1 - ETAsed) cR;
//   e0 = (50 - 0.9 ckAFS63 - 0.1 cR)/(0.9 (cKUE - ckAFS63)) 100;
//   bK = 0.9 ckAFS63 5.6 (1 - e0/100); bKUE = e0 0.9 cKUE 5.6/100;
//   AFS63e = (bKUE + bBUE) 10; AFS63r = 5300 (1 - e0/100); BE = AFS63e - 100.
TEST(RKB, ClarifierOnSmallFixture) {
  struct Fall {
    const char* was;
    double qd, maxk;
    int vol;
    double aerf, afs63e, sumVerf;
    long long sumVol;
    const char* zeileVerf;  // design row of the own required volume, "%.0n"
    Meldungen soll;
  };
  const double e0 = 74.31960816175854;
  const Fall faelle[] = {
      {"Regelfall",
       20,
       100,
       250,
       116.10777423467091,
       2605.8562377028943,
       40 + 232.21554846934183,
       280,
       "232",
       {kRkritKlein}},
      // no throttle: nothing passes along Parent, the design still stands
      {"QD 0", 0, 100, 0, 96.75647852889243, 2605.8562377028943, 0, 0, "194", {kRkritKlein}},
      // throttle above every inflow, no overflow after the tank, no volume
      {"QD gross",
       5000,
       0,
       0,
       4837.823926444621,
       2605.8562377028943,
       40 + 9675.647852889242,
       30,
       "9.676",
       {}},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.was);
    Direkt d;
    TSUM& I = d.zufluss.SUM;
    I.QF = 1;
    I.AEB = I.SUMAEB = I.SumAEb2 = 10;
    I.AFS63e = 100;
    I.SUMVerf = 40;
    I.SumVolumen = 30;
    I.UQR = 300;
    I.LTF = I.SUMTF = 12;
    d.Zulauf(1, 0, 10, 0);
    TRKB k;
    k.SetData(f.qd, f.maxk, f.vol, false, 0, 10, 10, 15, 0);
    d.Rechne(k);

    EXPECT_EQ(k.QKRIT, f.qd + f.maxk);
    EXPECT_EQ(k.QRkrit, f.qd + f.maxk - 1);
    EXPECT_NAHE(k.rkrit, (f.qd + f.maxk - 1) * 0.1);
    EXPECT_EQ(k.aBUE, 0.1);
    EXPECT_NAHE(k.bAFS63, 530);
    EXPECT_NAHE(k.bBUE, 53);
    EXPECT_NAHE(k.ETAges, 0.5241090146750524);
    EXPECT_NAHE(k.qAb, 3.720681090026447);
    EXPECT_NAHE(k.Aerf, f.aerf);
    EXPECT_NAHE(k.cR, 94.64285714285714);
    EXPECT_NAHE(k.ETAsed, 0.41443449756542317);
    EXPECT_NAHE(k.cKUE, 55.41959219470102);
    EXPECT_NAHE(k.e0, e0);
    EXPECT_NAHE(k.bK, 19.41437622971055);
    EXPECT_NAHE(k.bKUE, 207.58562377028946);
    EXPECT_NAHE(k.beges, 280);
    EXPECT_NAHE(k.SUM.AFS63e, f.afs63e);
    EXPECT_NAHE(k.SUM.AFS63r, 1361.0607674267978);
    EXPECT_NAHE(k.BE, f.afs63e - 100);
    if (f.maxk > 0) {
      EXPECT_NAHE(k.KUE.SUM.AFS63r, 0.1 * k.BE);  // the reverse of the tank's split
      EXPECT_NAHE(k.BUE.SUM.AFS63r, 0.9 * k.BE);
    } else {
      EXPECT_EQ(k.KUE.SUM.AFS63r, 0);
      EXPECT_EQ(k.BUE.SUM.AFS63r, k.BE);
    }
    EXPECT_NAHE(k.SUM.SUMVerf, f.sumVerf);
    EXPECT_EQ(k.SUM.SumVolumen, f.sumVol);
    EXPECT_EQ(k.SUM.SUMQD, f.qd);
    EXPECT_EQ(k.FEHLER, f.soll);
    // the design list shows the clarifier's own volume in every case
    const auto liste = d.Liste(k);
    const auto* v = Zeile(liste, "erforderliches Beckenvolumen (T=2,0 m)");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Wert, f.zeileVerf);

    for (int i = 0; i < kAnzahlQr; ++i) {
      const double q = d.zufluss.AB[i].Q;
      const double qd = std::min(f.qd, q);
      const double qk = std::min(q - qd, f.maxk);
      EXPECT_NAHE(k.AB[i].Q, qd);
      EXPECT_NAHE(k.KUE.AB[i].Q, qk);
      EXPECT_NAHE(k.BUE.AB[i].Q, q - qd - qk);
    }
    const TSUM& S = k.SUM;
    if (f.qd == 0) {
      EXPECT_EQ(S.QF, 0);
      EXPECT_EQ(S.UQR, 0);
      EXPECT_EQ(S.SUMAEB, 0);
      EXPECT_EQ(S.SumAEb2, 0);
      EXPECT_EQ(S.LTF, 0);
      EXPECT_NAHE(k.KUE.SUM.QF + k.BUE.SUM.QF, 1);
    } else {
      EXPECT_NAHE(S.QF, 1);
      EXPECT_EQ(S.SumAEb2, 10);
      EXPECT_NAHE(S.UQR + k.KUE.SUM.UQR + k.BUE.SUM.UQR, 300);
    }
  }
}

TEST(RKB, CategoryOneOnlyAndMessages) {
  Direkt d;
  TSUM& I = d.zufluss.SUM;
  I.QF = 1;
  I.AEB = I.SUMAEB = I.SumAEb1 = 10;  // category I only: bAFS63 = 280
  d.Zulauf(1, 0, 10, 0);
  TRKB k;
  k.SetData(20, 200, 0, false, 0, 10, 10, 15, 0);
  d.Rechne(k);
  EXPECT_EQ(k.ETAges, 0);
  EXPECT_TRUE(std::isinf(k.qAb));  // unbounded surface load ...
  EXPECT_EQ(k.Aerf, 0);            // ... and so no surface required
  EXPECT_EQ(k.SUM.SUMVerf, 0);
  EXPECT_NAHE(k.e0, 100);
  EXPECT_NAHE(k.SUM.AFS63e, 2800);
  EXPECT_TRUE(k.FEHLER.empty());

  // foul water arrives, effluent concentration of the plant 100 mg/l:
  //   rkrit = 299/10 = 29.9; e0 = 123.28356819962667; bKUE + bBUE = 397.35 > 280
  I.SumAEb1 = 0;
  I.SumAEb2 = 10;
  I.QH = I.QH24 = 0.5;
  d.net.ckAFS63 = 100;
  k.SetData(200, 100, 0, false, 0, 10, 10, 15, 0);
  d.Rechne(k);
  EXPECT_NAHE(k.e0, 123.28356819962667);
  EXPECT_NAHE(k.SUM.AFS63e, 3973.491837261185);
  EXPECT_EQ(k.FEHLER, (Meldungen{"Fehlanschlüsse!", "b_e,ges > 280 kg/(ha*a)"}));
  EXPECT_STREQ(kRkritKlein, "r_krit < 15 l/(s*ha)");
}

// --------------------------------------------------------------- together

TEST(Bauwerk, OverflowsReachDownstreamOnceEach) {
  Netzbau n;
  n.Neu("KEM", "A");
  n.Neu("RUB", "S");
  n.Neu("EST", "E");
  Bauwerksstrang(n, "A", "S", "E");
  StandardKEM(n.El<TKEM>("A"));
  n.El<TKEM>("A").AEs.Liste = {Flaeche(20, 50, 2)};
  n.El<TRUB>("S").SetData(15, 60, 100, false, 0, 10, 10, 0, 0);
  n.Rechnen();
  const auto& a = n.El<TKEM>("A");
  const auto& s = n.El<TRUB>("S");
  ASSERT_GT(s.KUE.AB[9].Q, 0);
  ASSERT_GT(s.BUE.AB[9].Q, 0);
  n.m.HoleZufluss(n.Shape("E"));
  const TElement& z = n.m.Zufluss();
  for (int i = 0; i < kAnzahlQr; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NAHE(z.AB[i].Q, a.AB[i].Q);
    EXPECT_NAHE(z.AB[i].BSB, a.AB[i].BSB);
    EXPECT_NAHE(z.AB[i].CSB, a.AB[i].CSB);
  }
  // all rain runoff arrives, no longer reducible; dry weather once
  EXPECT_NAHE(z.SUM.UQR, a.SUM.QR);
  EXPECT_EQ(z.SUM.QR, 0);
  EXPECT_NAHE(z.SUM.QT24(), a.SUM.QT24());
  EXPECT_EQ(z.SUM.SumVolumen, 100);
}

TEST(Bauwerk, VolumesAndThrottlesPassOtherStructures) {
  // tank -> overflow -> tank and tank -> clarifier -> tank: the lower tank
  // counts the upper tank's required volume, all built volumes and the
  // throttle flow of the structure directly above it.
  for (const char* mitte : {"RU", "RKB"}) {
    SCOPED_TRACE(mitte);
    Netzbau n;
    n.Neu("KEM", "A");
    n.Neu("RUB", "S1");
    n.Neu(mitte, "M");
    n.Neu("RUB", "S2");
    n.Parent("A", "S1").Parent("S1", "M").Parent("M", "S2");
    StandardKEM(n.El<TKEM>("A"));
    n.El<TKEM>("A").AEs.Liste = {Flaeche(20, 50, 2)};
    n.El<TRUB>("S1").SetData(12, 100, 300, false, 0, 10, 10, 0, 0);
    auto& m = dynamic_cast<TEBW&>(n.Element("M"));
    m.SetData(10, m.MaxQKUE, 40, false, 0, 10, 10, 15, 0);
    n.El<TRUB>("S2").SetData(8, 100, 200, false, 0, 10, 10, 0, 0);
    n.Rechnen();
    const auto& s1 = n.El<TRUB>("S1");
    const auto& s2 = n.El<TRUB>("S2");
    ASSERT_GT(s1.Verf, 0);
    double verfMitte = 0;
    if (const auto* k = dynamic_cast<const TRKB*>(&m)) verfMitte = 2 * k->Aerf;
    EXPECT_NAHE(s2.Vvor, s1.Verf + verfMitte);
    EXPECT_NAHE(s2.Verf, s2.Vges - s2.Vvor);
    EXPECT_EQ(s2.SUM.SumVolumen, 300 + (m.Typ() == "RU" ? 0 : 40) + 200);
    EXPECT_EQ(s2.QKRIT, 10);  // no local area or dry weather: the throttle above
  }
}

TEST(Bauwerk, DegenerateInputEndsAndKeepsTheWaterBalance) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Fall {
    const char* was;
    double qd, maxk, xdi, qt24, aeb, tf;
    int vol;
  };
  const Fall faelle[] = {
      {"null", 0, 0, 0, 0, 0, 0, 0},
      {"negativ", -10, -5, -1, -3, -10, -200, -100},
      {"negativer Zulauf", 10, 50, 0, -3, -10, -100, 0},
      {"NaN", nan, nan, nan, nan, nan, nan, 0},
      {"unendlich", inf, inf, inf, inf, inf, inf, 0},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.was);
    for (const char* typ : {"RUB", "RU", "RKB"}) {
      SCOPED_TRACE(typ);
      Direkt d;
      TSUM& I = d.zufluss.SUM;
      I.QH24 = I.QH = f.qt24;
      I.AEB = I.SUMAE = I.SUMAEB = I.SumAEbxfD = I.SumAEb2 = I.AExNG = f.aeb;
      I.LTF = I.SUMTF = f.tf;
      d.Zulauf(f.qt24, 0, f.aeb, 600);
      auto e = CreateHydElement(typ);
      auto& b = dynamic_cast<TEBW&>(*e);
      b.SetData(f.qd, f.maxk, f.vol, false, 0, 10, 10, 0, f.xdi);
      d.Rechne(b);
      const auto liste = d.Liste(b);
      EXPECT_FALSE(liste.empty());
      EXPECT_LE(b.FEHLER.size(), 6u);
      const bool endlich = std::isfinite(f.qd) && std::isfinite(f.maxk) && std::isfinite(f.qt24) &&
                           std::isfinite(f.aeb);
      if (!endlich) continue;
      for (int i = 0; i < kAnzahlQr; ++i) {
        const double q = d.zufluss.AB[i].Q;
        EXPECT_NAHE(b.AB[i].Q + b.KUE.AB[i].Q + b.BUE.AB[i].Q, q) << "qr " << i;
        EXPECT_GE(b.KUE.AB[i].Q, 0);
        EXPECT_GE(b.BUE.AB[i].Q, 0);
      }
    }
  }
}

TEST(Bauwerk, DesignLists) {
  Direkt d;
  TSUM& I = d.zufluss.SUM;
  I.QH24 = 5;
  I.QH = 10;
  I.QF = 0;
  I.AEB = I.SUMAE = I.SUMAEB = I.SumAEbxfD = I.SumAEb2 = I.AExNG = 10;
  I.LTF = I.SUMTF = 10;
  d.Zulauf(5, 0, 10, 600);

  TRUB s;
  s.SetData(15, 100, 0, false, 0, 10, 10, 0, 0);
  d.Rechne(s);
  const auto l = d.Liste(s);
  ASSERT_EQ(l.size(), 59u);
  EXPECT_EQ(l[0], (TBemessungszeile{"----- Ergebnisse -----", "", "", ""}));
  EXPECT_EQ(l[1], (TBemessungszeile{"zulässige Entlastungsrate", "e_0,CSB", "31,45", "%"}));
  EXPECT_EQ(l[38].Bezeichner, "----- Bemessung -----");
  const auto* tf = Zeile(l, "längste Ffließzeit im Gesamtgebiet");
  ASSERT_NE(tf, nullptr);
  EXPECT_EQ(tf->Wert, "10,00");
  const auto* di = Zeile(l, "dI-Wert für Kanalablagerungen");
  ASSERT_NE(di, nullptr);
  EXPECT_EQ(di->Wert, "0,0010");
  EXPECT_EQ(di->Dimension, "m");
  EXPECT_EQ(Zeile(l, "mittlere Jahresniederschlagshöhe")->Wert, "800,00");

  TRU u;
  u.SetData(30, u.MaxQKUE, 0, false, 0, 10, 10, 0, 0);
  d.Rechne(u);
  const auto lu = d.Liste(u);
  ASSERT_EQ(lu.size(), 12u);
  EXPECT_EQ(lu[0], (TBemessungszeile{"krit. Regenabflussspende", "r_krit", "13,85", "l/(s*ha)"}));
  EXPECT_EQ(lu[7].Wert, "30,00");
  EXPECT_EQ(lu[10].Groesse, "AFS63r");  // shown twice, as the dialog has it
  EXPECT_EQ(lu[11], (TBemessungszeile{"Drosselfracht", "AFS63r", lu[10].Wert, "kg"}));

  TRKB k;
  k.SetData(20, 100, 0, false, 0, 10, 10, 15, 0);
  I.QH = I.QH24 = 0;
  I.QF = 1;
  d.Zulauf(1, 0, 10, 0);
  d.Rechne(k);
  const auto lk = d.Liste(k);
  ASSERT_EQ(lk.size(), 20u);
  EXPECT_EQ(lk[0], (TBemessungszeile{"AFS63-Zulauffracht", "B_AFS63,zu", "5.300", "kg/a"}));
  EXPECT_EQ(lk[2], (TBemessungszeile{"Abflussanteil Beckenüberlauf", "a_BÜ", "10,00", "%"}));
  EXPECT_EQ(lk[6].Dimension, "m³/h");
  EXPECT_EQ(lk[6].Wert, "432");
}

TEST(Bauwerk, DataAndCopies) {
  TRUB a;
  a.SetData(25, 80, 300, true, 12, 9, 8, 17, 0.5);
  EXPECT_EQ(a.QDaktiv, 25);
  a.dI = 0.003;
  a.Script = {"x := 1"};
  TRUB b;
  b.AssignValues(a);
  EXPECT_EQ(b.QD, 25);
  EXPECT_EQ(b.QDaktiv, 25);
  EXPECT_EQ(b.MaxQKUE, 80);
  EXPECT_EQ(b.Volumen, 300);
  EXPECT_TRUE(b.Nebenschluss);
  EXPECT_EQ(b.Ased, 12);
  EXPECT_EQ(b.DO2BUE, 9);
  EXPECT_EQ(b.Do2KUE, 8);
  EXPECT_EQ(b.rkrit, 17);
  EXPECT_EQ(b.xDI, 0.5);
  EXPECT_EQ(b.dI, 0.003);
  EXPECT_EQ(b.Script, a.Script);
  TRKB c;
  c.AssignValues(a);  // structure data only
  EXPECT_EQ(c.Volumen, 300);
  EXPECT_EQ(&b.Vorbelastung(), &b.BUE);
  EXPECT_EQ(TRUB().xDI, 0);
}
