#include "model/catchments.h"

#include <algorithm>
#include <cmath>

#include "model/net.h"
#include "model/simulation.h"

namespace t21 {

namespace {
// Integer part as the program takes it; absurd entries give 0, not UB.
double Ganzzahl(double v) {
  return std::isfinite(v) ? std::trunc(v) : 0.0;
}

void KonzentrationSetzen(TParameter& p, double bsb, double nh4, double afs, double ph, double csb) {
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

void TKEZ::KonzentrationenSetzen() {
  KonzentrationSetzen(CH, CH.BSB, CH.NH4, CH.AFS, CH.PH, CH.CSB);
  KonzentrationSetzen(CG, CG.BSB, CG.NH4, CG.AFS, CG.PH, CG.CSB);
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
  const double gkT = qh24 * TParameter::cGK(CH.ALK, CH.PH) + qg24 * TParameter::cGK(CG.ALK, CG.PH) +
                     qf * TParameter::cGK(CH.ALK, CH.PH);
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

// -------------------------------------------------------------- simulation

namespace {
const TNET& NetzVon(const TSimulation& sim) {
  static const TNET standard;
  return sim.Netz ? *sim.Netz : standard;
}
}  // namespace

double TKEZ::Init() {
  const int n = N == -1 ? 3 : static_cast<int>(std::isfinite(N) ? N : 3);
  Kaskade1.N = std::clamp(n, 1, TSpeiKa::kMaxN);
  if (K != 0)
    Kaskade1.K = K;
  else
    Kaskade1.K = Kaskade1.N <= 1 ? 1.0 : (TF + 5 - NGM) * 0.5 / (Kaskade1.N - 1);
  if (!(Kaskade1.K > 1.0)) Kaskade1.K = 1.0;
  MVaktiv = MV == 0 ? 1e-9 : (MV < 0 ? 2.5 - 0.5 * NGM : MV);
  BVaktiv = BV < 0 ? 0.5 : BV;
  c = Kehrwert(MVaktiv) * (PSIe - PSIa);
  VB = BVaktiv;
  cm = 0;
  return Kaskade1.K;
}

void TKEZ::SetDT(const TSimulation& sim) {
  FTrockenSchritt = {};
  FAbflussSchritt = {};
  const TNET& net = NetzVon(sim);
  const TReferenzListen& ref = sim.Referenz ? *sim.Referenz : StandardReferenzListen();
  const double s = sim.dt_sec_div_1000;
  const double q = QH24 + QG24 + QF24;
  FRegen = Regenabfluss();
  FTrocken = Trockenwetter();

  FFA = 1;
  if (FRegen && FTrocken) {
    const double k = QTx / q;
    double f = k * k * (2 - 430 * std::pow(q / AEb, 0.45) * (2 * NGM - 1) * 0.001) / 10;
    if (!std::isfinite(f) || f < 0) f = 0;
    FFA = f + 1;
  }
  FFN = 1;
  if (FRegen) {
    FFN = 800 * 0.7 * Kehrwert(net.HNA) * Kehrwert(net.PSIa);
    if (FFN == 0) FFN = 1;
  }

  FGKH = TParameter::cGK(CH.ALK, CH.PH);
  FGKG = TParameter::cGK(CG.ALK, CG.PH);
  FGKF = TParameter::cGK(2, 7);
  FGKR = TParameter::cGK(net.CR.ALK, net.CR.PH);
  for (int h = 0; h < 24; ++h) FStunde[static_cast<size_t>(h)] = ref.SWGanglinien.value(SWGL, h);
  for (int m = 1; m <= 12; ++m)
    FMonat[static_cast<size_t>(m - 1)] = ref.FWGanglinien.value(FWGL, m);

  // One step of mean dry weather until the first step replaces it.
  TFrachten& a = TWZustand.Aktuell;
  a.Clear();
  a.Q = q * s;
  a.BSB = (QH24 * CH.BSB + QG24 * CG.BSB) * s;
  a.NH4 = (QH24 * CH.NH4 + QG24 * CG.NH4) * s;
  a.CSB = (QH24 * CH.CSB + QG24 * CG.CSB) * s;
  a.QS = (QH24 + QG24) * s;
  a.QF = QF24 * s;
  a.AFS = a.QT() * net.ctAFS63;
  a.PH = (QH24 * CH.PH + QG24 * CG.PH + QF24 * 7) * s;
  a.ALK = (QH24 * CH.ALK + QG24 * CG.ALK + QF24 * 2) * s;
  a.GK = (FGKH * QH24 + FGKG * QG24 + FGKF * QF24) * s;
  a.DO2 = (QH24 + QG24) * CH.DO2 * s;

  if (FRegen) Kaskade1.SetDT(sim.dt_min);
}

double TKEZ::Neff(TSimulation& sim, double R) {
  CM_alt = cm;
  double result = 0;
  if (R > 0) {
    if (R < VB) {
      VB = VB - R;
    } else {
      const double r = R - VB;
      VB = 0;
      cm = 1 - std::exp(-c * r) * (1 - CM_alt);
      result = PSIe * r - (cm - CM_alt) * MVaktiv;
    }
    if (sim.IsSimZeit()) TWZustand.Jahr.QRe += (R - result) * AEb;
  } else {
    const double e = -R;
    VB = std::min(VB + e, BVaktiv);
    // The depression store dries by the evaporation and 0.072 mm per hour.
    const double x = -c * (e + 0.072 * sim.dt_min / 60);
    if (!(x == FTrocknungArg)) {
      FTrocknungArg = x;
      FTrocknung = std::exp(x);
    }
    cm = cm * FTrocknung;
  }
  if (cm * MVaktiv > 0.01 || VB < BVaktiv) sim.Muldenfuellung = true;
  if (result > sim.dt_min / 1000) sim.HasAbfluss = true;
  return result;
}

void TKEZ::SetStartConditions(int nr) {
  if (nr >= 0 && static_cast<size_t>(nr) < ABs.size()) cm = ABs[static_cast<size_t>(nr)].cm();
}

void TKEZ::ReceiveRain(TSimulation& sim, double regen) {
  TFrachten& a = TWZustand.Aktuell;
  if (Zustand.Aktuell.Q != 0) Zustand.Aktuell.Clear();

  // Losses and cascade step in every case; what they give decides whether
  // the runoff has to be made again.
  double neff = 0, v = 0;
  if (FRegen) {
    neff = Neff(sim, regen);
    v = 10 * Kaskade1.QAB(neff, AEb);  // mm*ha -> m3
  }
  const bool trocken = FTrocken && sim.Zeit <= sim.Ende + kZeitEps && QH24 + QG24 + QF24 > 0;
  TUhrzeit u{-1, 0};
  if (trocken) u = sim.AktUhrzeit();

  // A long dry spell brings the same step again and again once the cascade
  // has come to rest: the runoff of the last step is still in a, made from a
  // cleared set out of the same bits, so it stands as it is.
  TAbflussSchritt& m = FAbflussSchritt;
  const bool wie = m.gueltig && a.Q != 0 && Bitgleich(a.Q, m.Q) && Bitgleich(v, m.v) &&
                   Bitgleich(Kaskade1.ZuflussMinus1(), m.neff) && u.Stunde == m.Stunde &&
                   u.Monat == m.Monat && sim.PHFuehren == m.ph;
  if (!wie) {
    // Only a runoff made from a cleared set can stand for the next one.
    m.gueltig = a.Q != 0;
    if (a.Q != 0) a.Clear();
    if (FRegen) {
      if (v > 0) {
        const TNET& net = NetzVon(sim);
        a.Q = v;
        a.BSB = v * net.cDN.BSB * FFN;
        a.NH4 = v * net.cDN.NH4 * FFN;
        a.AFS = v * crAFS63 * FFN;
        a.PH = v * net.CR.PH;
        a.ALK = v * net.CR.ALK;
        a.CSB = net.crCSB * v;
        a.Stunden = 0;
        a.GK = FGKR * v;
        a.DO2 = v * net.CR.DO2;
        a.QR = v;
      }
      a.Neff = Kaskade1.ZuflussMinus1();
    }

    if (trocken) {
      TTrockenSchritt& t = FTrockenSchritt;
      if (u.Stunde != t.Stunde || u.Monat != t.Monat) {
        // The dry-weather flow of a step changes only with the hour and the
        // month.
        t.Stunde = u.Stunde;
        t.Monat = u.Monat;
        const double h = FStunde[static_cast<size_t>(u.Stunde)];
        const double mo = FMonat[static_cast<size_t>(u.Monat - 1)];
        const double s = sim.dt_sec_div_1000;
        t.Q = (QH24 * h + QG24 * h + QF24 * mo) * s;
        t.BSB = (QH24 * CH.BSB + QG24 * CG.BSB) * h * s;
        t.NH4 = (QH24 * CH.NH4 + QG24 * CG.NH4) * h * s;
        t.CSB = (QH24 * CH.CSB + QG24 * CG.CSB) * h * s;
        t.AFS = NetzVon(sim).ctAFS63 * t.Q;
        t.ALK = ((QH24 * CH.ALK + QG24 * CG.ALK) * h + QF24 * 2 * mo) * s;
        t.GK = ((FGKH * QH24 + FGKG * QG24) * h + FGKF * QF24 * mo) * s;
        t.QS = (QH24 + QG24) * h * s;
        t.QF = QF24 * mo * s;
      }
      a.Q += t.Q;
      a.BSB += t.BSB;
      a.NH4 += t.NH4;
      a.CSB += t.CSB;
      a.AFS += t.AFS;
      a.ALK += t.ALK;
      a.GK += t.GK;
      a.QS += t.QS;
      a.QF += t.QF;
      if (sim.PHFuehren) a.NeuerPH();
    }

    a.Qurban = a.Q;
    m.v = v;
    m.neff = Kaskade1.ZuflussMinus1();
    m.Stunde = u.Stunde;
    m.Monat = u.Monat;
    m.ph = sim.PHFuehren;
    m.Q = a.Q;
  }

  if (a.Q > 0) {
    if (!FDirekt) a.AddAllTo(Zustand.Aktuell, sim.PHFuehren);
    if (sim.IsBilanzZeit) a.AufsummierenIn(TWZustand.Jahr);
  }
}

void TKEZ::DirektWeitergeben(TSimulation& sim) {
  // What WeitergebenAn does with the step's set, which would hold 0 + a.
  // The year's sums and the set it hands on to start from +0 and are only
  // added to, so they never hold -0, and adding a itself gives the same
  // bits as adding 0 + a.
  const TFrachten& a = TWZustand.Aktuell;
  if (!(a.Q > 0)) return;
  if (sim.IsBilanzZeit) a.AufsummierenIn(Zustand.Jahr);
  if (FZiel) a.AddAllTo(FZiel->Zustand.Aktuell, sim.PHFuehren);
}

void TKEZ::SimVorbereiten(TSimulation& sim) {
  TElement::SimVorbereiten(sim);
  TWZustand.Clear();
  TWZustand.OldQZu = 0;
  FAbflussSchritt = {};
  FRegen = Regenabfluss();
  FTrocken = Trockenwetter();
  FDirekt = false;
  FZiel = Parent();
}

double TKEZ::SimZeitschrittGrenze(TSimulation&) {
  return Init();
}

void TKEZ::SimStart(TSimulation& sim) {
  SetDT(sim);
  ABs.clear();
}

void TKEZ::SimSchrittEnde(TSimulation& sim) {
  SimSchrittEndeEreignis(sim);
  SimSchrittEndeSaetze();
}

void TKEZ::SimSchrittEndeSaetze() {
  if (FDirekt) {
    // The step's set is empty; it would have held 0 + the own runoff.
    const double q = TWZustand.Aktuell.Q;
    Zustand.OldQZu = (q > 0 ? 0.0 + q : 0.0) - q;
    return;
  }
  Zustand.OldQZu = Zustand.Aktuell.Q - TWZustand.Aktuell.Q;
  Zustand.Aktuell.Clear();
}

void TKEZ::SimSchrittEndeEreignis(const TSimulation& sim) {
  // Entry k of ABs belongs to recorded system event k; most steps neither
  // begin an event nor find an entry too many.
  if (FRegen && (sim.Ereignisstart == sim.Zeit || ABs.size() > sim.SystemEreignisse.size() + 1))
    StartbedingungenFuehren(sim);
}

void TKEZ::StartbedingungenFuehren(const TSimulation& sim) {
  // A new event begins only after the previous one was recorded or
  // dropped, so an entry left by a dropped event (rain without runoff) goes
  // before the new one is saved.
  const size_t ereignisse = sim.SystemEreignisse.size();
  const bool beginn = sim.Ereignisstart == sim.Zeit;
  const size_t hoechstens = beginn ? ereignisse : ereignisse + 1;
  if (ABs.size() > hoechstens) ABs.resize(hoechstens);
  if (beginn) SaveStartConditions();
}

void TKEZ::SimAbschluss(TSimulation& sim) {
  if (FRegen) sim.MuldenInhalt += cm * MVaktiv * AEb;
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
