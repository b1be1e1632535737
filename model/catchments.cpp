#include "model/catchments.h"

#include <algorithm>
#include <cmath>

#include "model/net.h"

namespace t21 {

namespace {
// Integer part as the program takes it; absurd entries give 0, not UB.
double Ganzzahl(double v) { return std::isfinite(v) ? std::trunc(v) : 0.0; }

void KonzentrationSetzen(TParameter& p, double bsb, double nh4, double afs, double ph,
                         double csb) {
  p.Clear();
  p.BSB = bsb;
  p.NH4 = nh4;
  p.AFS = afs;
  p.PH = ph;
  p.CSB = csb;
  p.ALK = std::max((ph - 6) * 2, 0.0);
}
}  // namespace

void TKEZ::SetData(double myChBSB, double myChNH4, double myChAFS, double myChPH, double myCHCSB,
                   double myCgBSB, double myCgNH4, double myCgAFS, double myCgPH, double myCgCSB,
                   double myED, double myWS, double myX, double myQG, double myAG, double myBG,
                   double myQF, double myNGM, double myQ1, double myTF, double myPQRT24,
                   double myPSIe, int mySWGL, int myFWGL, double myN, double myK, double myPSIa,
                   double myMV, double myBV) {
  KonzentrationSetzen(CH, myChBSB, myChNH4, myChAFS, myChPH, myCHCSB);
  KonzentrationSetzen(CG, myCgBSB, myCgNH4, myCgAFS, myCgPH, myCgCSB);
  ED = myED;
  WS = myWS;
  X = myX;
  QG = myQG;
  AG = myAG;
  BG = myBG;
  QF = myQF;
  NGM = myNGM;
  QR1 = myQ1;
  TF = myTF;
  PQRT24 = myPQRT24;
  PSIe = myPSIe;
  SWGL = mySWGL;
  FWGL = myFWGL;
  N = myN;
  K = myK;
  PSIa = myPSIa;
  MV = myMV;
  BV = myBV;
}

void TKEZ::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  const auto* k = dynamic_cast<const TKEZ*>(&e);
  if (!k) return;
  CH = k->CH;
  CG = k->CG;
  AEs.AssignValues(k->AEs);
  NGM = k->NGM;
  ED = k->ED;
  WS = k->WS;
  QG = k->QG;
  AG = k->AG;
  BG = k->BG;
  QF = k->QF;
  PQRT24 = k->PQRT24;
  X = k->X;
  PSIs = k->PSIs;
  AE = k->AE;
  TF = k->TF;
  B = k->B;
  QR1 = k->QR1;
  AEbxfD = k->AEbxfD;
  N = k->N;
  BV = k->BV;
  MV = k->MV;
  PSIe = k->PSIe;
  PSIa = k->PSIa;
  SWGL = k->SWGL;
  FWGL = k->FWGL;
}

void TKEZ::FlaechenAuswerten() {
  if (AEs.Liste.empty()) return;
  AE = AEb = AEb1 = AEb2 = AEb3 = AEbxfD = B = fD = 0;
  for (const TAE& s : AEs.Liste) {
    const double ab = s.B * s.AE / 100;
    if (s.Kategorie == 1) AEb1 += ab;
    if (s.Kategorie == 2) AEb2 += ab;
    if (s.Kategorie == 3) AEb3 += ab;
    AE += s.AE;
    AEbxfD += ab * s.fD;
  }
  AEb = AEb1 + AEb2 + AEb3;
  B = AEb * Kehrwert(AE) * 100;
  fD = AEbxfD * Kehrwert(AEb);
}

void TKEZ::vNRegenwasseranfall(const TRechnung& r) {
  FlaechenAuswerten();
  SUM.AE = SUM.SUMAE = AE;
  SUM.AEB = SUM.SUMAEB = AEb;
  SUM.AEb1 = SUM.SumAEb1 = AEb1;
  SUM.AEb2 = SUM.SumAEb2 = AEb2;
  SUM.AEb3 = SUM.SumAEb3 = AEb3;
  SUM.AEbxfD = SUM.SumAEbxfD = AEbxfD;
  SUM.SUMTF = SUM.LTF = TF;
  SUM.AExNG = AE * NGM;
  SUM.QRT24 = 0;
  SUM.UQR = 0;
  SUM.SUMAEM3 = SUM.AE;
  SUM.SUMAEBM3 = SUM.AEB;
  PSIs = r.Netz.GetPSIs(NGM, B);
  if (r.Netz.ZEBEV == 1)
    SUM.AU = QR1 * Kehrwert(r.Netz.Spenden.GetR(TF));
  else
    SUM.AU = SUM.AE * PSIs;
  SUM.AFS63r = kAFS63Kategorie[0] * AEb1 + kAFS63Kategorie[1] * AEb2 + kAFS63Kategorie[2] * AEb3;
  crAFS63 = SUM.AFS63r * Kehrwert(5.6 * SUM.SUMAEBM3);
  SUM.AFS63e = 0;
}

void TKEZ::TrockenwetterKEM() {
  SUM.E = Ganzzahl(ED * SUM.AE);
  SUM.QG = SUM.AEB * QG;
  SUM.QF = SUM.AEB * QF;
  SUM.QH24 = SUM.E * WS / 86400;
  SUM.QH = SUM.QH24 * 24 * Kehrwert(X);
  SUM.QG24 = SUM.QG / 24 * AG / 365 * BG;
  SUM.QT24DIREKT = SUM.QT24();
  QH24 = SUM.QH24;
  QG24 = SUM.QG24;
  QF24 = SUM.QF;
  QTx = SUM.QG + SUM.QH + SUM.QF;
}

void TKEZ::TrockenwetterKES() {
  SUM.E = Ganzzahl(ED);
  SUM.QG = QG;
  SUM.QF = QF;
  SUM.QH24 = SUM.E * WS / 86400;
  SUM.QH = SUM.QH24 * 24 * Kehrwert(X);
  SUM.QG24 = SUM.QG / 24 * AG / 365 * BG;
  SUM.QRT24 = SUM.QS24() * PQRT24 / 100;
  SUM.QT24DIREKT = SUM.QT24();
  QH24 = SUM.QH24;
  QG24 = SUM.QG24;
  QF24 = SUM.QF;
  QTx = SUM.QG + SUM.QH + SUM.QF;
}

void TKEZ::vNFrachten(const TRechnung& r) {
  const TNET& net = r.Netz;
  const TParameter& cr = net.CR;
  const double qh24 = SUM.QH24, qg24 = SUM.QG24, qf = SUM.QF, qt24 = SUM.QT24();
  const double bsbT = qh24 * CH.BSB + qg24 * CG.BSB;
  const double nh4T = qh24 * CH.NH4 + qg24 * CG.NH4;
  const double csbT = qh24 * CH.CSB + qg24 * CG.CSB;
  const double afsT = qt24 * net.ctAFS63;
  const double alkT = qh24 * CH.ALK + qg24 * CG.ALK + qf * CH.ALK;
  const double gkT = qh24 * TParameter::cGK(CH.ALK, CH.PH) +
                     qg24 * TParameter::cGK(CG.ALK, CG.PH) + qf * TParameter::cGK(CH.ALK, CH.PH);
  const double do2T = qt24 * net.cO2sat;
  const double gkR = TParameter::cGK(cr.ALK, cr.PH);
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& z = r.Zufluss.AB[i];
    const double y = i == 0 ? 0.0 : kQr[static_cast<size_t>(i)] * SUM.AEB + SUM.QRT24;
    TParameter& a = AB[i];
    a.SetData(qt24 + z.Q + y, z.BSB + bsbT + y * cr.BSB, z.NH4 + nh4T + y * cr.NH4,
              z.AFS + afsT + y * crAFS63, 0, z.ALK + alkT + y * cr.ALK, z.CSB + csbT + y * cr.CSB,
              z.GK + gkT + y * gkR, z.DO2 + do2T + y * cr.DO2);
    a.PH = a.CalcPH();
  }
}

void TKEZ::vNAbfluss(const TRechnung& r) {
  const TSUM& I = r.Zufluss.SUM;
  SUM.QRT24 += I.QRT24;
  SUM.QT24DIREKT += I.QT24DIREKT;
  SUM.E += I.E;
  SUM.QG += I.QG;
  SUM.QF += I.QF;
  SUM.QH24 += I.QH24;
  SUM.QH += I.QH;
  SUM.QG24 += I.QG24;
  SUM.AE += I.AE;
  SUM.AEB += I.AEB;
  SUM.AU += I.AU;
  SUM.AEbxfD += I.AEbxfD;
  SUM.SUMAE += I.SUMAE;
  SUM.SumAEb1 += I.SumAEb1;
  SUM.SumAEb2 += I.SumAEb2;
  SUM.SumAEb3 += I.SumAEb3;
  SUM.SUMAEB += I.SUMAEB;
  SUM.SumAEbxfD += I.SumAEbxfD;
  SUM.LTF += I.LTF;
  SUM.SUMTF += I.SUMTF;
  SUM.UQR += I.UQR;
  SUM.AExNG += I.AExNG;
  SUM.AFS63r += I.AFS63r;
  // The AFS63 load already discharged upstream stays counted below the
  // catchment; structures further down subtract it from their own.
  SUM.AFS63e += I.AFS63e;
  SUM.SUMVerf = I.SUMVerf;
  SUM.SUMQD = I.SUMQD;
  SUM.SumVolumen = I.SumVolumen;
  SUM.QR = r.Netz.Spenden.GetR(SUM.SUMTF) * SUM.AU;
  if (!(SUM.QR > I.QR)) SUM.QR = I.QR;
}

void TKEZ::PruefeKonfiguriert() {
  if (SUM.QBEM() == 0) FEHLER.emplace_back(kNichtKonfiguriert);
}

void TKEM::Calc(const TRechnung& r) {
  FEHLER.clear();
  vNRegenwasseranfall(r);
  TrockenwetterKEM();
  vNFrachten(r);
  vNAbfluss(r);
  PruefeKonfiguriert();
}

void TKES::Calc(const TRechnung& r) {
  FEHLER.clear();
  SUM.AE = SUM.AEB = SUM.AEb1 = SUM.AEb2 = SUM.AEb3 = SUM.AEbxfD = SUM.AExNG = SUM.AU = 0;
  SUM.SUMAE = SUM.SUMAEB = SUM.SumAEb1 = SUM.SumAEb2 = SUM.SumAEb3 = SUM.SumAEbxfD = 0;
  SUM.LTF = SUM.SUMTF = SUM.QR = SUM.UQR = SUM.SUMAEM3 = SUM.SUMAEBM3 = SUM.AFS63r = 0;
  TrockenwetterKES();
  vNFrachten(r);
  vNAbfluss(r);
  PruefeKonfiguriert();
}

void TKER::Calc(const TRechnung& r) {
  FEHLER.clear();
  SUM.E = SUM.QG = SUM.QH24 = SUM.QH = SUM.QG24 = SUM.QF = SUM.QT24DIREKT = 0;
  vNRegenwasseranfall(r);
  vNFrachten(r);
  vNAbfluss(r);
  for (int i = 0; i < kAnzahlQr; ++i) {
    const double a = i == 0 ? 0.0 : kQr[static_cast<size_t>(i)] * AEb;
    AB[i].DO2 = r.Zufluss.AB[i].DO2 + a * r.Netz.CR.DO2;
  }
  PruefeKonfiguriert();
  if (SUM.QT() > 0) FEHLER.emplace_back(kFehlanschluesse);
}

void TAEK::Calc(const TRechnung& r) {
  const TSUM& I = r.Zufluss.SUM;
  SUM.ZufluesseUebernehmen(I);
  double ae = 0, aeb = 0, aebfd = 0;
  for (const TAE& s : AEs.Liste) {
    ae += s.AE;
    aeb += s.AE * s.B / 100;
    aebfd += s.AEb * s.fD;
  }
  SUM.AE = ae + I.AE;
  SUM.SUMAE = ae + I.SUMAE;
  SUM.AEB = aeb + I.AEB;
  SUM.SUMAEB = aeb + I.SUMAEB;
  SUM.AEbxfD = aebfd + I.AEbxfD;
  SUM.SumAEbxfD = aebfd + I.SumAEbxfD;
}

void TAEK::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  if (const auto* a = dynamic_cast<const TAEK*>(&e)) AEs.AssignValues(a->AEs);
}

}  // namespace t21
