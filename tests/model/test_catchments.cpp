#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/netzbau.h"

using namespace t21;
using t21::test::Flaeche;
using t21::test::Netzbau;
using t21::test::StandardKEM;

namespace {

bool Enthaelt(const TElement& e, const std::string& text) {
  for (const auto& f : e.FEHLER)
    if (f == text) return true;
  return false;
}

// The combined net of the hand computation below.
//   sub-areas 20 ha at 50 % (cat. II) and 10 ha at 30 % (cat. I), fD 1:
//     AE 30, AEb 13 (AEb1 3, AEb2 10), B 43.33 %
//     AFS63r = 280*3 + 530*10 = 6140 kg/a, crAFS63 = 6140 / (5.6*13) = 84.3407 mg/l
//   ED 60 E/ha, WS 150 l/(E*d), x 10 h: E 1800, QH24 3.125 l/s, QH 7.5 l/s
//   qf 0.1 l/(s*ha) on AEb: QF 1.3 l/s, QT24 4.425 l/s
//   NGM 1 with r15 = 100: PSIs = 43.33 * 0.92 / 100 = 0.39867, AU = 11.96 ha
//   TF 10 min: QR = r(10) * AU = 100 * 11.96 = 1196 l/s
//   ch: BSB 300, NH4 50, pH 7.5 (ALK 3), CSB 600; rain water of the project
//   record: BSB 20, NH4 5, pH 7.4, ALK 2.8, CSB 107, DO2 10 % of 9.0809
//   rate i: Y = qr_i * 13, Q = 4.425 + Y,
//     BSB = (3.125*300 + 20 Y)/Q, NH4 = (3.125*50 + 5 Y)/Q,
//     AFS = (4.425*150 + 84.3407 Y)/Q, CSB = (3.125*600 + 107 Y)/Q,
//     ALK = (4.425*3 + 2.8 Y)/Q, GK = (4.425*cGK(3, 7.5) + Y*cGK(2.8, 7.4))/Q,
//     pH = -log10(10^-6.3 (GK - ALK)/ALK), DO2 = (4.425*9.0809 + 0.90809 Y)/Q
void HandKEM(TKEM& k) {
  StandardKEM(k);
  k.QF = 0.1;
  k.AEs.Liste = {Flaeche(20, 50, 2), Flaeche(10, 30, 1)};
}

struct Soll {
  int i;
  double Q, BSB, NH4, AFS, CSB, ALK, PH, DO2;
};

}  // namespace

TEST(Einzugsgebiet, CombinedNetAgainstHandComputation) {
  Netzbau n;
  n.Neu("KEM", "K");
  HandKEM(n.El<TKEM>("K"));
  n.Rechnen();
  const TKEM& k = n.El<TKEM>("K");
  EXPECT_DOUBLE_EQ(k.AE, 30);
  EXPECT_DOUBLE_EQ(k.AEb, 13);
  EXPECT_NEAR(k.B, 43.3333333, 1e-6);
  EXPECT_EQ(k.SUM.E, 1800);
  EXPECT_DOUBLE_EQ(k.SUM.QH24, 3.125);
  EXPECT_DOUBLE_EQ(k.SUM.QH, 7.5);
  EXPECT_DOUBLE_EQ(k.SUM.QT24(), 4.425);
  EXPECT_DOUBLE_EQ(k.SUM.AFS63r, 6140);
  EXPECT_NEAR(k.crAFS63, 84.3406593, 1e-6);
  EXPECT_NEAR(k.PSIs, 0.3986667, 1e-6);
  EXPECT_NEAR(k.SUM.AU, 11.96, 1e-9);
  EXPECT_NEAR(k.SUM.QR, 1196, 1e-9);
  EXPECT_EQ(k.SUM.SUMTF, 10);
  EXPECT_TRUE(k.FEHLER.empty());

  const Soll soll[] = {
      {0, 4.425, 211.8644068, 35.31073446, 150, 423.7288136, 3, 7.5, 9.080884},
      {1, 10.925, 97.71167048, 17.27688787, 110.9349461, 235.2860412, 2.881006865, 7.439407848,
       4.218351149},
      {5, 108.425, 27.83029744, 6.237030205, 87.02032346, 119.9262163, 2.808162324, 7.403911978,
       1.241633436},
      {9, 1668.425, 20.50886315, 5.080390188, 84.51480117, 107.8400288, 2.80053044, 7.400253848,
       0.9297643042},
  };
  for (const auto& s : soll) {
    const TParameter& p = k.AB[s.i];
    SCOPED_TRACE(s.i);
    EXPECT_NEAR(p.Q, s.Q, 1e-9);
    EXPECT_NEAR(p.cBSB(), s.BSB, 1e-6);
    EXPECT_NEAR(p.cNH4(), s.NH4, 1e-6);
    EXPECT_NEAR(p.cAFS(), s.AFS, 1e-6);
    EXPECT_NEAR(p.cCSB(), s.CSB, 1e-6);
    EXPECT_NEAR(p.cALK(), s.ALK, 1e-8);
    EXPECT_NEAR(p.cPH(), s.PH, 1e-8);
    EXPECT_NEAR(p.cDO2(), s.DO2, 1e-6);
  }
}

TEST(Einzugsgebiet, JunctionAtConnectorWithFlowTime) {
  // Two storm nets with AU 10 and 30 ha (direct input of the rain runoff
  // makes AU = QR1 / r(TF)) and flow times 10 and 20 min.
  Netzbau n;
  n.Netz().ZEBEV = 1;
  const TSpenden& r = n.Netz().Spenden;
  n.Neu("KER", "A");
  n.Neu("KER", "B");
  n.Neu("CON", "C");
  n.Parent("A", "C").Parent("B", "C");
  auto& a = n.El<TKER>("A");
  auto& b = n.El<TKER>("B");
  a.TF = 10;
  a.QR1 = 10 * r.GetR(10);
  b.TF = 20;
  b.QR1 = 30 * r.GetR(20);
  a.AEs.Liste = {Flaeche(10, 100, 1)};
  b.AEs.Liste = {Flaeche(30, 100, 1)};
  n.El<TCON>("C").TF = 5;
  n.Rechnen();
  const TSUM& c = n.Element("C").SUM;
  EXPECT_NEAR(c.AU, 40, 1e-9);
  EXPECT_NEAR(c.SUMTF, 17.5 + 5, 1e-12);
  EXPECT_EQ(c.LTF, 20 + 5);
  // the connector takes over QR of the junction: r(17.5) * 40 beats both
  n.m.HoleZufluss(n.Shape("C"));
  EXPECT_NEAR(n.m.Zufluss().SUM.QR, r.GetR(17.5) * 40, 1e-9);
  EXPECT_NEAR(c.AE, 40, 1e-12);
  for (int i = 0; i < kAnzahlQr; ++i) EXPECT_NEAR(n.Element("C").AB[i].Q, kQr[i] * 40, 1e-9);
}

TEST(TSUM, GoverningFlowTime) {
  struct Fall {
    double auZiel, tfZiel, auQuelle, tfQuelle, tf;
  };
  const Fall faelle[] = {
      {10, 10, 30, 20, 17.5},
      {10, 0, 30, 20, 20},  // one branch at 0 min: the other's time
      {10, 12, 30, 0, 12},
      {0, 10, 0, 20, 20},  // no area on either side: the longer time
  };
  TNET net;
  for (const auto& f : faelle) {
    TSUM ziel, quelle;
    ziel.AU = f.auZiel;
    ziel.SUMTF = f.tfZiel;
    quelle.AU = f.auQuelle;
    quelle.SUMTF = f.tfQuelle;
    quelle.MassgeblicheFliesszeit(ziel, net.Spenden);
    EXPECT_DOUBLE_EQ(ziel.SUMTF, f.tf);
    EXPECT_DOUBLE_EQ(ziel.AU, f.auZiel + f.auQuelle);
  }
  // QR never falls below the arriving branch's
  TSUM ziel, quelle;
  quelle.QR = 5000;
  quelle.AU = 1;
  quelle.SUMTF = 10;
  quelle.MassgeblicheFliesszeit(ziel, net.Spenden);
  EXPECT_EQ(ziel.QR, 5000);
}

TEST(Einzugsgebiet, NotConfigured) {
  Netzbau n;
  n.Neu("KEM", "K");
  n.Neu("KES", "S");
  n.Neu("KER", "R");
  n.Rechnen();
  for (const char* name : {"K", "S", "R"}) {
    const TElement& e = n.Element(name);
    ASSERT_EQ(e.FEHLER.size(), 1u) << name;
    EXPECT_EQ(e.FEHLER[0], "nicht konfiguriert; kein Abfluss");
    for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(e.AB[i].Q, 0);
  }
}

TEST(Einzugsgebiet, FoulSewerNet) {
  // 500 inhabitants at 150 l/(E*d), x 10 h; QG 2 l/s for 10 h on 250 days;
  // QF 0.5 l/s; 10 % of QS24 as rain water.
  Netzbau n;
  n.Neu("KES", "S");
  auto& s = n.El<TKES>("S");
  s.SetData(300, 50, 0, 7.5, 600, 500, 30, 0, 7.0, 1000, 500, 150, 10, 2, 10, 250, 0.5, 1, 0, 0,
            10, 0, 0, 0, 3, 5, 0.3, 2, 0.5);
  s.AEs.Liste = {Flaeche(10, 50, 1)};  // ignored: a foul-sewer net has no area
  n.Rechnen();
  const double qh24 = 500 * 150 / 86400.0;
  const double qg24 = 2.0 / 24 * 10 / 365 * 250;
  const double qrt24 = (qh24 + qg24) * 0.1;
  EXPECT_DOUBLE_EQ(s.SUM.E, 500);
  EXPECT_DOUBLE_EQ(s.SUM.QH24, qh24);
  EXPECT_DOUBLE_EQ(s.SUM.QG24, qg24);
  EXPECT_DOUBLE_EQ(s.SUM.QRT24, qrt24);
  EXPECT_EQ(s.SUM.AE, 0);
  EXPECT_EQ(s.SUM.AU, 0);
  EXPECT_EQ(s.SUM.QR, 0);
  const double qt24 = qh24 + qg24 + 0.5;
  EXPECT_DOUBLE_EQ(s.AB[0].Q, qt24);  // dry weather: no rain water, not even QRT24
  for (int i = 1; i < kAnzahlQr; ++i) EXPECT_DOUBLE_EQ(s.AB[i].Q, qt24 + qrt24);
  EXPECT_NEAR(s.AB[0].cBSB(), (qh24 * 300 + qg24 * 500) / qt24, 1e-9);
  EXPECT_TRUE(s.FEHLER.empty());
}

TEST(Einzugsgebiet, StormSewerNet) {
  Netzbau n;
  n.Neu("KER", "R");
  auto& r = n.El<TKER>("R");
  StandardKEM(r);
  r.QF = 1;  // offered by the dialog, not used
  r.AEs.Liste = {Flaeche(10, 40, 3)};
  n.Rechnen();
  EXPECT_EQ(r.SUM.E, 0);
  EXPECT_EQ(r.SUM.QT(), 0);
  EXPECT_EQ(r.AB[0].Q, 0);
  EXPECT_DOUBLE_EQ(r.AB[4].Q, 4 * 4.0);
  EXPECT_DOUBLE_EQ(r.AB[4].cDO2(), n.Netz().CR.DO2);
  EXPECT_DOUBLE_EQ(r.AB[4].cAFS(), 760 * 4 / (5.6 * 4));
  EXPECT_TRUE(r.FEHLER.empty());

  // foul water arriving from upstream
  n.Neu("KES", "S");
  n.El<TKES>("S").SetData(300, 50, 0, 7.5, 600, 0, 0, 0, 7, 0, 100, 150, 10, 0, 0, 0, 0, 1, 0, 0,
                          0, 0, 0, 0, 3, 5, 0.3, 2, 0.5);
  n.Parent("S", "R");
  n.Rechnen();
  EXPECT_TRUE(Enthaelt(r, "Fehlanschlüsse!"));
  EXPECT_FALSE(Enthaelt(r, "nicht konfiguriert; kein Abfluss"));
}

TEST(Einzugsgebiet, SumsRunDownTheNetwork) {
  Netzbau n;
  n.Neu("KEM", "A");
  n.Neu("KEM", "B");
  n.Neu("CON", "S");
  n.Parent("A", "B").Parent("B", "S");
  HandKEM(n.El<TKEM>("A"));
  HandKEM(n.El<TKEM>("B"));
  n.Rechnen();
  const TSUM& s = n.Element("S").SUM;
  EXPECT_EQ(s.E, 3600);
  EXPECT_DOUBLE_EQ(s.SUMAE, 60);
  EXPECT_DOUBLE_EQ(s.SUMAEB, 26);
  EXPECT_DOUBLE_EQ(s.SumAEb2, 20);
  EXPECT_EQ(s.SUMTF, 20);  // B's own flow time on top of A's
  EXPECT_NEAR(n.Element("S").AB[5].Q, 2 * 108.425, 1e-9);
  // B carries A's rain water: own AEb1..3 but summed SumAEb1..3
  EXPECT_DOUBLE_EQ(n.Element("B").SUM.AEb2, 10);
  EXPECT_DOUBLE_EQ(n.Element("B").SUM.SumAEb2, 20);
}

TEST(Einzugsgebiet, ImperviousAreaPassesElementsThatHandWaterOn) {
  // A natural area between two catchments hands its inflow on unchanged;
  // the catchment below must still reckon the rain runoff of both areas.
  Netzbau n;
  n.Neu("KEM", "A");
  n.Neu("AEO", "P");
  n.Neu("KEM", "B");
  n.Parent("A", "P").Parent("P", "B");
  HandKEM(n.El<TKEM>("A"));
  HandKEM(n.El<TKEM>("B"));
  n.Rechnen();
  EXPECT_NEAR(n.Element("P").SUM.AU, 11.96, 1e-9);
  EXPECT_NEAR(n.Element("B").SUM.AU, 2 * 11.96, 1e-9);
  EXPECT_NEAR(n.Element("B").SUM.QR, n.Netz().Spenden.GetR(20) * 2 * 11.96, 1e-9);
}

TEST(Einzugsgebiet, DischargedAfs63LoadPassesCatchments) {
  Netzbau n;
  n.Neu("KEM", "B");
  HandKEM(n.El<TKEM>("B"));
  TElement zufluss;
  zufluss.SUM.AFS63e = 1234;
  TRechnung r{zufluss, n.Netz()};
  n.El<TKEM>("B").Calc(r);
  EXPECT_EQ(n.El<TKEM>("B").SUM.AFS63e, 1234);
}

TEST(Einzugsgebiet, DegenerateInputNeverCrashesOrGivesNaN) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Fall {
    const char* was;
    double ae;
    int b;
    int kat;
    double ed, ws, x, ngm, tf;
  };
  const Fall faelle[] = {
      {"alles null", 0, 0, 1, 0, 0, 0, 0, 0},
      {"keine Einwohner", 10, 50, 2, 0, 150, 10, 1, 10},
      {"Stundenansatz 0", 10, 50, 2, 60, 150, 0, 1, 10},
      {"negativ", -10, -50, 1, -60, -150, -10, -2, -10},
      {"Kategorie 7", 10, 50, 7, 60, 150, 10, 2, 10},
      {"riesig", 1e12, 100, 3, 1e6, 1e4, 24, 9, 1e7},
      {"NaN", nan, 50, 1, nan, 150, nan, nan, nan},
      {"unendlich", inf, 50, 1, 60, inf, 10, inf, inf},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.was);
    Netzbau n;
    for (const char* typ : {"KEM", "KES", "KER"}) {
      TCadShape* s = n.Neu(typ, typ);
      auto& k = dynamic_cast<TKEZ&>(*TM3Model::ElementOf(s));
      StandardKEM(k);
      k.ED = f.ed;
      k.WS = f.ws;
      k.X = f.x;
      k.NGM = f.ngm;
      k.TF = f.tf;
      k.AEs.Liste = {Flaeche(f.ae, f.b, f.kat)};
    }
    n.Neu("CON", "C");
    n.Parent("KEM", "C").Parent("KES", "C").Parent("KER", "C");
    n.Rechnen();
    const bool endlich = std::isfinite(f.ae) && std::isfinite(f.ed) && std::isfinite(f.x) &&
                         std::isfinite(f.ngm) && std::isfinite(f.tf) && std::isfinite(f.ws);
    if (!endlich) continue;  // absurd input may give absurd numbers, but no crash
    for (const char* name : {"KEM", "KES", "KER", "C"})
      for (int i = 0; i < kAnzahlQr; ++i) {
        const TParameter& p = n.Element(name).AB[i];
        for (double v : {p.Q, p.BSB, p.NH4, p.AFS, p.CSB, p.ALK, double(p.PH), p.GK, p.DO2, p.cPH()})
          EXPECT_FALSE(std::isnan(v)) << name << " qr " << i;
      }
  }
}

TEST(Einzugsgebiet, AssignValuesAppendsSubAreas) {
  TKEM a, b;
  StandardKEM(a);
  a.AEs.Liste = {Flaeche(1, 10, 1), Flaeche(2, 20, 2)};
  a.Script = {"x := 1"};
  b.AEs.Liste = {Flaeche(5, 50, 3)};
  b.K = 99;
  b.AssignValues(a);
  ASSERT_EQ(b.AEs.Liste.size(), 3u);
  EXPECT_EQ(b.AEs.Liste[0].AE, 5);
  EXPECT_EQ(b.AEs.Liste[2].AE, 2);
  EXPECT_EQ(b.ED, 60);
  EXPECT_EQ(b.K, 99);  // the storage constant stays
  EXPECT_EQ(b.Script, a.Script);
}

TEST(Einzugsgebiet, SubAreaElement) {
  Netzbau n;
  n.Neu("AEK", "F");
  auto& f = n.El<TAEK>("F");
  f.AEs.Liste = {Flaeche(4, 50, 1, 0.5), Flaeche(6, 25, 2, 1)};
  n.Rechnen();
  EXPECT_DOUBLE_EQ(f.SUM.AE, 10);
  EXPECT_DOUBLE_EQ(f.SUM.SUMAEB, 2 + 1.5);
  EXPECT_DOUBLE_EQ(f.SUM.AEbxfD, 2 * 0.5 + 1.5);
  EXPECT_EQ(f.AB[5].Q, 0);
}

TEST(TSUM, DurationClassAndFactorAa) {
  TSUM s;
  s.SUMAE = 10;
  s.SUMAEB = 4;
  s.AExNG = 10;  // NGm 1
  EXPECT_EQ(s.TM(), 15);
  s.SUMAEB = 6;
  EXPECT_EQ(s.TM(), 10);
  s.AExNG = 40;  // NGm 4
  EXPECT_EQ(s.TM(), 5);
  EXPECT_EQ(s.aa(), 0);  // no dry-weather flow: zero base of the power
  s.QH24 = 2;
  s.QH = 4.8;
  s.SumAEbxfD = 6;
  s.AExNG = 10;
  // qt = 2/6, fDm = 1, m = 430 * (1/3)^0.45 * 1 * 0.001, h = (4.8/2)^2
  const double m = 430 * std::pow(2.0 / 6, 0.45) * 0.001;
  EXPECT_NEAR(s.aa(), 2.4 * 2.4 * (2 - m) / 10, 1e-12);
  s.AExNG = 1000;  // steep: m > 2, negative
  EXPECT_EQ(s.aa(), 0);
  EXPECT_EQ(s.BAFS63(), 0);
  s.SumAEb1 = 1;
  s.SumAEb3 = 1;
  EXPECT_EQ(s.BAFS63(), 280 + 760);
}
