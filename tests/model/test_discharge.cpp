#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/netzbau.h"

using namespace t21;
using t21::test::Flaeche;
using t21::test::Netzbau;
using t21::test::StandardKEM;

namespace {

// Relative comparison for the hand-computed values.
#define EXPECT_NAHE(ist, soll) \
  EXPECT_NEAR((ist), (soll), 1e-9 * std::max(1.0, std::fabs(static_cast<double>(soll))))

using Meldungen = std::vector<std::string>;

// The river data of a discharge point; the defaults are those of a new point
// apart from the reach, which is a plain trapezoid 2 m wide with 1:1 banks.
struct Fluss {
  double bsb = 5, nh4 = 0.3, afs = 15, ph = 7.0, alk = 2.0, csb = 10;
  double solo = 100.5, solu = 100, len = 1000, bso = 2, hb = 1.5, bsp = 5, kst = 25;
  double hmnq = 0, vmnq = 0, ae0 = 20, mnq = 5, hq1 = 100, lquell = 5000;
  bool quelle = false, quelllauf = false, temporaer = false, organisch = false, stau = false;
  std::string eutroph = "0", guete = "II", struktur = "3";
  int lage = 0;
  bool zuflussO = false, zuflussU = false;
  int strukturO = 0, strukturU = 0, aufUndAb = 0, aufwander = 0;
  double x = 0.1;
  bool drosselung = false;
  double qd = 0;
  bool salmoniden = false;

  void Setze(TEST& e, const TNET& N) const {
    e.SetData(bsb, nh4, afs, ph, alk, solo, solu, len, bso, hb, bsp, kst, hmnq, vmnq, ae0, mnq, hq1,
              lquell, quelle, quelllauf, temporaer, organisch, stau, eutroph, guete, struktur, csb,
              lage, zuflussO, zuflussU, strukturO, strukturU, aufUndAb, aufwander, x, drosselung,
              qd, 0, salmoniden, N);
  }
};

// A discharge point computed directly on a hand-made inflow: rate i carries
// q_i l/s at BSB 20, NH4 5, pH 7.4, ALK 2.8 and an O2 deficit of 1 mg/l.
struct Direkt {
  TElement zufluss;
  TNET net;
  TEST e;

  void Zulauf(double q0, double dq) {
    for (int i = 0; i < kAnzahlQr; ++i) {
      const double q = q0 + dq * i;
      zufluss.AB[i].SetData(q, 20 * q, 5 * q, 100 * q, 7.4 * q, 2.8 * q, 107 * q,
                            TParameter::cGK(2.8, 7.4) * q, q);
    }
    zufluss.SUM.QH24 = q0;  // the dry-weather flow of the sums
  }
  void Rechne(const Fluss& f) {
    f.Setze(e, net);
    e.Calc(TRechnung{zufluss, net});
  }
};

// ------------------------------------------------------------ the network
//
//   K1 (KEM) -> B (CSO tank) -Parent-> P (plant) -Parent-> E2
//                            -KUE, GEW-> E1 -KUE-> E2
//   K2 (KEM) -> U (CSO overflow) -Parent-> P,  -KUE-> E2
//   K1 -GEW-> E1, K2 -GEW-> E2; E1 and E2 hang on the root.
//
// Project record: 20 degC, 0 m: cO2sat = 9.080884, pKs = 2729.92/293.2 +
// 0.09018 = 9.400958; rain water BSB 20, NH4 5, pH 7.4, ALK 2.8, deficit 10 %;
// r15 = r(10) = 100 l/(s*ha) (the first series).
// K1: 20 ha at 50 % cat. II + 10 ha at 30 % cat. I; 60 E/ha, 150 l/(E*d), x 10,
//   qf 0.1: AEb 13, QH24 3.125, QH 7.5, QF 1.3, QT24 4.425;
//   PSIs = 43.33 % * 0.92 = 0.398667, AU 11.96, QR = 100 * 11.96 = 1196.
//   Rate i: Y = qr_i * 13, Q = 4.425 + Y, BSB = 3.125*300 + 20 Y,
//   NH4 = 3.125*50 + 5 Y, ALK = 4.425*3 + 2.8 Y, deficit 4.425*9.080884 + 0.9081 Y.
// K2: 10 ha at 40 % cat. II; 60 E/ha: AEb 4, QH24 1.041667, QT24 1.041667;
//   PSIs 0.368, AU 3.68, QR = 100 * 3.68 = 368.
// B: QD 30, MaxQKUE 100, both overflows 10 % deficit. All dry weather stays on
//   the throttle (QD > QT 8.8): rain flows S.QR = 30 - 4.425 = 25.575, the
//   rest 1196 - 25.575 = 1170.425 leaves as unreducible rain runoff.
// U: QD 10, one overflow with 10 % deficit: S.QR = 10 - 1.041667 = 8.958333,
//   overflow 368 - 8.958333 = 359.041667.
// P: BSB 8, NH4 10, pH 8.0, ALK 2.5, deficit 100 %; it receives
//   min(30, Q_K1) + min(10, Q_K2) and its sums QT24 5.466667, UQR 34.533333.
//
// E1: AE0 20 km2, MNq 5 (MNQ 100), Hq1 100 (HQ1pnat 2000); reach 1000 m,
//   fall 0.5 m (I = 5e-4), bSo 2, hB 1.5, bSp 5 (banks 1:1), kst 25;
//   background BSB 5, NH4 0.3, pH 7.8, ALK 2.5, no eutrophication.
//   Bank-full: A = 1.5 * 3.5 = 5.25 m2, U = 2 + 3 sqrt(2) = 6.2426 m,
//     v = sqrt(5e-4) * 25 * (5.25/6.2426)^(2/3) = 0.498 m/s, QVOLL = 2614.839 l/s.
//   Areas reaching the river: K1's (AEb 13). HQ1ist = 2000 - 100*13/100 = 1987.
//   QBEM = 1170.425 (the overflows' rain runoff; no AU): 1987 + 1170.425 > 2614.84:
//     "Q_voll < Q"; flood (2000 + 1170.425 - 13) / 2000 = 1.579 > 1.1.
//   Low flow 100 l/s: h 0.235777, v 0.189689 (observed 0.24 and 0.19: no
//   message).
// E2: AE0 50, MNq 2 (MNQ 100), Hq1 80 (4000); 2000 m, fall 0.5 m (2.5e-4),
//   bSo 4, hB 2, bSp 8, kst 30; background BSB 4, NH4 0.2, AFS 20, pH 8.2 + 0.5
//   (eutrophication "1", deficit 20 % of saturation), ALK 2.2; salmonids.
//   Areas: K2's 4 + E1's 13 = 17; HQ1ist = 4000 - 80*17/100 = 3986.4;
//   QBEM = 5.466667 + 34.533333 + 359.041667 = 399.041667; flood ratio
//   (4000 + 399.04 - 13.6) / 4000 = 1.0964 < 1.1.
//   Low flow 100 + 5.466667 l/s: h 0.177278 < 0.9 * 0.2 (observed).
//
// Rate 5 (qr 8 l/(s*ha)) at E1, by hand:
//   K1: Q = 4.425 + 104 = 108.425 l/s; B overflows 78.425 l/s at cBSB 27.830297,
//   cNH4 6.237030, pH 7.403912, ALK 2.808162, deficit 0.908088 mg/l.
//   Mixed with 100 l/s of river: Q 178.425, cBSB = (78.425*27.8303 + 500) /
//   178.425 = 15.0346, deficit = 78.425 * 0.908088 / 178.425 = 0.399147.
//   Depth at 178.425 l/s: h 0.332621, v 0.229956, hm 0.291110.
//   tf = 1000 / 0.229956 / 86400 = 0.0503317 d; hm < 0.5: h* = (10 - 13.5 hm)^-0.588;
//   K2 = (40/25 + 3) v^0.7 / h*^1.7 + 0.5 / hm = 11.689635 1/d; k1 = 0.72;
//   a = K2/k1 (1 - (K2 - k1) D0 / (k1 L0)) > 1: Tkrit = ln(a)/(K2 - k1) = 0.206835 d
//   >= tf, so Da = D(tf) = 0.625399 mg/l; O2 = 9.080884 - 0.625399 = 8.455485.
//   NH3 = cNH4 / (10^(pKs - pH) + 1) of the mixture = 0.0423337 mg/l.
//   Handed on: BSB = 78.425 * 15.0346 e^(-0.72 tf) = 78.425 * 14.499748 = 1137.1427.
// Rate 5 at E2: inflow 63.041667 l/s (40 through the plant, 23.041667 over U)
//   at cBSB 15.612335, cNH4 8.691025, pH 7.665583, deficit 6.093735; mixed with
//   100 l/s: depth 0.230340, v 0.167311, hm 0.218445, tf 0.138354 d,
//   K2 11.022644, a < 1 so Tkrit = 0 < tf: Da = D(0) = 3.470137,
//   O2 = 5.610747; NH3 = 0.128303 (> 0.1).
struct Soll {
  int i;
  double Q, O2, NH3, BSB, DO2;  // river below the point; what it hands on
};

const Soll kE1[] = {
    {0, 100, 8.931220795, 0.007335214916, 0, 0},
    {1, 100, 8.931220795, 0.007335214916, 0, 0},
    {2, 100, 8.931220795, 0.007335214916, 0, 0},
    {3, 100.425, 8.924121526, 0.008222721791, 2.107651787, 0.06662405151},
    {4, 126.425, 8.662806467, 0.03274312706, 286.2232013, 11.04769882},
    {5, 178.425, 8.455485017, 0.04233369047, 1137.142712, 49.04691525},
    {6, 282.425, 8.281627495, 0.04615569568, 3053.410012, 145.804368},
    {7, 490.425, 8.123008159, 0.04782947585, 7052.611813, 373.9786752},
    {8, 906.425, 8.011017429, 0.0486216414, 15181.06885, 862.7671493},
    {9, 1738.425, 7.96132021, 0.0490105508, 31547.63195, 1834.321302},
};
const Soll kE2[] = {
    {0, 105.4666667, 6.888154741, 0.09830729446, 20.45995246, 2.991418201},
    {1, 113.9666667, 6.374414039, 0.1595097433, 55.97328248, 9.331457427},
    {2, 122.4666667, 5.931987371, 0.1973876485, 95.20796116, 17.60536979},
    {3, 139.0416667, 5.224841858, 0.2416353517, 179.9684809, 38.84165209},
    {4, 147.0416667, 5.331963654, 0.1852460273, 283.0950682, 50.77676609},
    {5, 163.0416667, 5.61074706, 0.128303248, 484.4784517, 73.32433576},
    {6, 195.0416667, 6.031095977, 0.09161655003, 917.7852863, 119.32934},
    {7, 259.0416667, 6.560233925, 0.07093989933, 1901.835196, 215.5962341},
    {8, 387.0416667, 7.093530239, 0.0601393278, 4095.526767, 418.488352},
    {9, 643.0416667, 7.496306074, 0.0547167791, 8788.837591, 860.0964603},
};

class Flussnetz : public ::testing::Test {
 protected:
  Netzbau n;
  Fluss f1, f2;

  void SetUp() override {
    n.Neu("KEM", "K1");
    n.Neu("KEM", "K2");
    n.Neu("RUB", "B");
    n.Neu("RU", "U");
    n.Neu("KLG", "P");
    n.Neu("EST", "E1");
    n.Neu("EST", "E2");
    n.Parent("K1", "B").Parent("B", "P").KUE("B", "E1").GEW("B", "E1");
    n.Parent("K2", "U").Parent("U", "P").KUE("U", "E2");
    n.Parent("P", "E2");
    n.KUE("E1", "E2");
    n.GEW("K1", "E1").GEW("K2", "E2");

    auto& k1 = n.El<TKEM>("K1");
    StandardKEM(k1);
    k1.QF = 0.1;
    k1.AEs.Liste = {Flaeche(20, 50, 2), Flaeche(10, 30, 1)};
    auto& k2 = n.El<TKEM>("K2");
    StandardKEM(k2);
    k2.AEs.Liste = {Flaeche(10, 40, 2)};
    n.El<TRUB>("B").SetData(30, 100, 500, false, 0, 10, 10, 15, 0);
    n.El<TRU>("U").SetData(10, 999999, 0, false, 0, 10, 10, 15, 0);
    n.El<TKLG>("P").SetData(8, 10, 8.0, 2.5, 100, n.Netz());

    f1.ph = 7.8;
    f1.alk = 2.5;
    f1.hmnq = 0.24;
    f1.vmnq = 0.19;
    f1.strukturO = 2;
    f1.strukturU = 3;
    f1.aufwander = 3;
    f1.Setze(n.El<TEST>("E1"), n.Netz());

    f2.bsb = 4;
    f2.nh4 = 0.2;
    f2.afs = 20;
    f2.ph = 8.2;
    f2.alk = 2.2;
    f2.csb = 12;
    f2.solo = 99;
    f2.solu = 98.5;
    f2.len = 2000;
    f2.bso = 4;
    f2.hb = 2;
    f2.bsp = 8;
    f2.kst = 30;
    f2.hmnq = 0.2;
    f2.vmnq = 0.14;
    f2.ae0 = 50;
    f2.mnq = 2;
    f2.hq1 = 80;
    f2.eutroph = "1";
    f2.guete = "I-II";
    f2.struktur = "1";
    f2.lage = 1;
    f2.salmoniden = true;
    f2.Setze(n.El<TEST>("E2"), n.Netz());
  }

  static void Vergleiche(const TEST& e, const Soll (&soll)[kAnzahlQr]) {
    for (const Soll& s : soll) {
      SCOPED_TRACE(s.i);
      EXPECT_NAHE(e.CG[s.i].Q, s.Q);
      EXPECT_NAHE(e.AP[s.i].cO2, s.O2);
      EXPECT_NAHE(e.AP[s.i].cNH3, s.NH3);
      EXPECT_NAHE(e.AB[s.i].BSB, s.BSB);
      EXPECT_NAHE(e.AB[s.i].DO2, s.DO2);
    }
  }
};

}  // namespace

TEST_F(Flussnetz, ChecksOfBothPointsForAllTenRates) {
  n.Rechnen();
  const TEST& e1 = n.El<TEST>("E1");
  const TEST& e2 = n.El<TEST>("E2");

  // the inputs the checks rest on
  EXPECT_NAHE(n.Element("K1").SUM.QR, 1196);
  EXPECT_NAHE(n.Element("K2").SUM.QR, 368);
  EXPECT_NAHE(e1.Profil.QVOLL, 2614.839022029933);
  EXPECT_NAHE(e1.SUM.SUMAEBM3, 13);
  EXPECT_NAHE(e2.SUM.SUMAEBM3, 17);
  EXPECT_NAHE(e1.HQ1ist(), 1987);
  EXPECT_NAHE(e2.HQ1ist(), 3986.4);
  EXPECT_NAHE(e1.SUM.QBEM(), 1170.425);
  EXPECT_NAHE(e2.SUM.QBEM(), 399.0416666666667);
  EXPECT_NAHE(e1.Profil.HTW, 0.2357767070188595);
  EXPECT_NAHE(e1.Profil.VTW, 0.1896891737901483);
  EXPECT_NAHE(e2.Profil.HTW, 0.1772780898218925);
  // the reach's flow time at QBEM + HQ1ist joins the governing flow time:
  //   E1: 10 + 1000 / 0.498065 / 60 = 43.46286; E2: 10 + 2000 / 0.490071 / 60
  EXPECT_NAHE(e1.SUM.SUMTF, 43.46286301482247);
  EXPECT_NAHE(e2.SUM.SUMTF, 78.01738624535503);
  EXPECT_EQ(e1.SUM.QR, 0);  // no impermeable area reaches the points directly

  Vergleiche(e1, kE1);
  Vergleiche(e2, kE2);

  // rate 5 in detail (the hand computation above)
  const TAbflussParameter& a1 = e1.AP[5];
  EXPECT_NAHE(a1.H, 0.332621096936917);
  EXPECT_NAHE(a1.V, 0.2299558962662539);
  EXPECT_NAHE(a1.HM, 0.2911101249202571);
  EXPECT_NAHE(a1.TF, 0.05033171256749623);
  EXPECT_NAHE(a1.K2, 11.68963458248612);
  EXPECT_NAHE(a1.Tc, 0.2068346635596052);
  EXPECT_NAHE(a1.Dtf, 0.6253989831051161);
  EXPECT_NAHE(a1.Da, 0.6253989831051161);
  EXPECT_NAHE(a1.cRestBSB, 14.49974768476601);
  const TAbflussParameter& a2 = e2.AP[5];
  EXPECT_EQ(a2.Tc, 0);
  EXPECT_NAHE(a2.Da, 3.470136939739331);
  EXPECT_NAHE(a2.Dtf, 1.163109093305798);

  EXPECT_EQ(e1.FEHLER, (Meldungen{"Q_voll < Q", "Q Gew > (1 + x) * HQ1 pnat"}));
  EXPECT_EQ(e2.FEHLER, (Meldungen{"hMNQ(ber.) < 0,9 * hMNQ(beob.)", "NH3-N > 0.1 mg/l"}));

  // AFS63 balance: z = 9600 resp. 6400 (salmonids) kg/(km2*a); 4800 natural
  //   E1: 9600*20 = 192000; 4800*20 + the overflows' load; 4800*20 + 4800*13/100
  //   E2: 6400*50 = 320000; 4800*50 + U's and the plant's load; 1600*50 + 48*17
  EXPECT_NAHE(e1.AFSzulaessig, 192000);
  EXPECT_NAHE(e1.AFSLast, 96000 + n.El<TRUB>("B").BE);
  EXPECT_NAHE(e1.AFSezul, 96624);
  EXPECT_NAHE(e2.AFSzulaessig, 320000);
  EXPECT_NAHE(e2.AFSLast, 240000 + n.El<TRU>("U").KUE.SUM.AFS63r + n.Element("P").SUM.AFS63r);
  EXPECT_NAHE(e2.AFSezul, 80816);
  // recolonisation: classes 2 and 3 give 3 points, high obstacles + 2: n = 1;
  // E2 without classes: 7 points, n = 0.5
  EXPECT_EQ(e1.WBP.WBP1Punkte, 5);
  EXPECT_EQ(e1.WBP.WBP1N, 1);
  EXPECT_EQ(e2.WBP.WBP1Punkte, 7);
  EXPECT_EQ(e2.WBP.WBP1N, 0.5);
}
