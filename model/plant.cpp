#include "model/plant.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/discharge.h"
#include "model/net.h"
#include "model/network.h"
#include "model/project.h"
#include "model/simulation.h"

namespace t21 {

// -------------------------------------------------------------------- TKLG

TKLG::TKLG() {
  ETA.SetData(0, 5, 10, 15, 7.4, 2.8, 70, 0, 80);
}

void TKLG::SetData(double myBSB, double myNH4, double myPH, double myALK, double myDO2,
                   const TNET& N) {
  ETA.SetData(0, myBSB, myNH4, N.ckAFS63, myPH, myALK, N.ckCSB, 0, myDO2);
}

void TKLG::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  if (const auto* k = dynamic_cast<const TKLG*>(&e)) ETA = k->ETA;
}

void TKLG::Calc(const TRechnung& r) {
  const TSUM& I = r.Zufluss.SUM;
  const TParameter& E = ETA;
  FEHLER.clear();
  // Flow times and the direct dry-weather flow start anew below a plant.
  SUM.ZufluesseUebernehmen(I);
  SUM.QT24DIREKT = SUM.SUMTF = SUM.LTF = 0;

  const double gk = TParameter::cGK(E.ALK, E.PH);
  for (int i = 0; i < kAnzahlQr; ++i) {
    const double q = r.Zufluss.AB[i].Q;
    AB[i].SetData(q, q * E.BSB, q * E.NH4, q * E.AFS, q * E.PH, q * E.ALK, q * E.CSB, q * gk,
                  q * E.DO2 / 100 * r.Netz.cO2sat);
  }
  // Dry-weather effluent at 15 mg/l over a year of 3.1536e7 s, plus 280
  // kg/(ha*a) of rain water on the impervious area that did not leave
  // through the overflows upstream.
  SUM.AFS63r = I.QT24() * 3.1536e7 * 15 / 1000 / 1000 + (280 * I.SUMAEB - I.AFS63e);
}

void TKLG::SimVorbereiten(TSimulation& sim) {
  TElement::SimVorbereiten(sim);
  Ablauf.Clear();
  FZielParent = Parent();
}

void TKLG::SimCalc(TSimulation& sim) {
  Zustand.Aktuell.AssignTo(Ablauf);
  const double q = Ablauf.Q;
  Ablauf.BSB = q * ETA.BSB;
  Ablauf.NH4 = q * ETA.NH4;
  Ablauf.AFS = q * ETA.AFS;
  Ablauf.PH = q * ETA.PH;
  Ablauf.ALK = q * ETA.ALK;
  Ablauf.CSB = q * ETA.CSB;
  Ablauf.GK = TParameter::cGK(ETA.ALK, ETA.PH) * q;
  Ablauf.DO2 = q * ETA.DO2 / 100 * sim.cO2sat;
  if (FZielParent) Ablauf.AddAllTo(FZielParent->Zustand.Aktuell, sim.PHFuehren);
  if (Ablauf.QR > sim.dt_min / 1000) sim.HasAbfluss = true;
  if (sim.IsBilanzZeit) Ablauf.AufsummierenIn(Zustand.Jahr);
}

// -------------------------------------------------------------------- TOMA

TOMA::TOMA() {
  ETA.SetData(0, 0.8, 0.6, 0.9, 0, 0, 0.8, 0, 60);
  MaxQKUE = 999999;
  DO2BUE = 10;
  Do2KUE = 30;
}

void TOMA::SetData(double myQD, double myBSB, double myNH4, double myAFS, double myPH, double myALK,
                   double myCSB, double myN, const std::string& myArt, std::int32_t myVolumen,
                   double myMaxQKUE, bool myNebenschluss, double myDo2, double myDo2KUE,
                   double myDO2BUE) {
  ETA.SetData(myQD, myBSB / 100, myNH4 / 100, myAFS / 100, myPH, myALK, myCSB / 100, 0, myDo2);
  TBauwerk::SetData(myQD, myMaxQKUE, myVolumen, myNebenschluss, 0, myDO2BUE, myDo2KUE, 0, 0);
  N = myN;
  Art = myArt;
}

void TOMA::AssignValues(const TElement& e) {
  TBauwerk::AssignValues(e);
  const auto* o = dynamic_cast<const TOMA*>(&e);
  if (!o) return;
  Art = o->Art;
  N = o->N;
  ETA = o->ETA;
}

void TOMA::Calc(const TRechnung& r) {
  const TSUM& I = r.Zufluss.SUM;
  TSUM& S = SUM;
  TParameter& E = ETA;

  S.ZufluesseUebernehmen(I);
  if (QD == 0) E.Q = I.QBEM();  // an unthrottled measure passes the whole flow
  S.SUMTF = 0;
  S.QR = 0;

  const double a = std::min(E.Q * Kehrwert(I.QT()), 1.0);
  S.QH *= a;
  S.QG *= a;
  S.QF *= a;
  S.QH24 *= a;
  S.QG24 *= a;

  S.QRT24 = std::min(E.Q - S.QT24(), I.QRT24);
  if (!(S.QRT24 > 0)) S.QRT24 = 0;
  if (E.BSB > 0) S.QT24DIREKT = 0;  // the measure treats
  if (I.QBEM() > 0) {
    S.UQR = std::min(E.Q - S.QT24() - S.QRT24, I.QR + I.UQR);
    if (!(S.UQR > 0)) S.UQR = 0;
  } else {
    S.UQR = 0;
  }
  S.SUMQD = S.QT24() + S.UQR + S.QRT24;
  S.SumVolumen = S.SumVolumen + Volumen;

  // Up to the throttle flow, with the pollutants reduced; what lies above the
  // throttle is not carried on.
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& P = r.Zufluss.AB[i];
    const double q = std::min(E.Q, P.Q);
    const double ph = E.PH == 0 ? P.cPH() : E.PH;
    const double alk = E.ALK == 0 ? P.cALK() : E.ALK;
    const double d = E.DO2 == 0 ? P.cDO2() : E.DO2 / 100 * r.Netz.cO2sat;
    AB[i].SetData(q, q * P.cBSB() * (1 - E.BSB), q * P.cNH4() * (1 - E.NH4),
                  q * P.cAFS() * (1 - E.AFS), q * ph, q * alk, q * P.cCSB() * (1 - E.CSB),
                  q * TParameter::cGK(alk, ph), q * d);
  }

  S.AFS63e = 0;
  S.AFS63r = (1 - E.AFS) * I.AFS63r;

  FEHLER.clear();
  if (E.Q == 0) FEHLER.emplace_back(kMassnahmeNichtKonfiguriert);
}

void TOMA::SimCalcDrossel(TSimulation& sim, double aAb) {
  // The water released keeps the pH and alkalinity the tank had before the
  // release, also when the release empties the tank.
  const double ph = ETA.PH != 0 ? ETA.PH : TankPH();
  const double alk = ETA.ALK != 0 ? ETA.ALK : TankALK();
  if (!(aAb > 0)) return;
  TFrachten& d = Drossel.Aktuell;
  d.BSB *= 1 - ETA.BSB;
  d.NH4 *= 1 - ETA.NH4;
  d.AFS *= 1 - ETA.AFS;
  d.CSB *= 1 - ETA.CSB;
  d.PH = d.Q * ph;
  d.ALK = d.Q * alk;
  d.Stunden = 0;
  d.GK = TParameter::cGK(alk, ph) * d.Q;
  d.Qurban = d.Q;
  d.DO2 = d.Q * sim.cO2sat * ETA.DO2 / 100;
}

// ---------------------------------------------------------- infiltration

const TSpenden* TVersickerung::Regenreihe() const {
  if (Owner)
    if (const auto* m = dynamic_cast<const TM3Model*>(Owner->Model))
      return m->Referenz.Kostra.Find(Reihe);
  return StandardReferenzListen().Kostra.Find(Reihe);
}

double TVersickerung::GetN() const {
  const TSpenden* s = Regenreihe();
  return s ? s->values[0] : 0;
}

void TVersickerung::CalcQS(double myAu) {
  const TSpenden* s = Regenreihe();
  Arr.fill(0);
  QS = 0;
  if (!s) return;
  for (size_t k = 0; k < Arr.size(); ++k) {
    const double r = s->values[k + 1];
    const double D = kDauerstufen[k];
    // The inflow of duration k less what the storage takes over that time.
    Arr[k] = std::max((myAu / 1000 * r - V * Kehrwert(D * 60 * FZ)) * 1000, 0.0);
    QS = std::max(QS, Arr[k]);
  }
}

double TVersickerung::Uebernehmen(const TRechnung& r) {
  FEHLER.clear();
  SUM.ZufluesseUebernehmen(r.Zufluss.SUM);
  AB.Clear();
  return SUM.AEbxfD;
}

void TVersickerung::Calc(const TRechnung& r) {
  Uebernehmen(r);
}

TVFL::TVFL() {
  Kf = 0.0002;
  N = 0.2;
  RD = 10;
  RDN = 204.6;
}

void TVFL::SetData(double myKF, double myFZ, double myN, double myR, int myD) {
  Kf = myKF;
  FZ = myFZ;
  N = myN;
  RDN = myR;
  RD = myD;
}

void TVFL::Calc(const TRechnung& r) {
  const double ab = Uebernehmen(r);
  // A_s = A_u / (k_f * 1e7 / (2 r) - 1)
  ASi = ab * 10000 * Kehrwert(1e7 * Kf * Kehrwert(2 * RDN) - 1);
}

void TVBE::SetData(const std::string& myRegen, double myFZ, double myFA, double myLS, double myBS,
                   double myM, double myh, double myKFS, double myKFB, bool myVorreinigung) {
  Reihe = myRegen;
  FZ = myFZ;
  Fa = myFA;
  Ls = myLS;
  Bs = myBS;
  m = myM;
  h = myh;
  Kf = myKFS;
  KFb = myKFB;
  Vorreinigung = myVorreinigung;
}

void TVBE::Calc(const TRechnung& r) {
  const double ab = Uebernehmen(r);
  // Without pre-treatment the bottom clogs: a fifth of the permeability.
  const double k = Vorreinigung ? Kf : Kf / 5;
  const double b = 2 * h * m;
  Lo = Ls + b;
  Bo = Bs + b;
  ASu = Ls * Bs;
  ASo = Lo * Bo;
  ASb = ASo - ASu;
  V = (std::sqrt(ASu * ASo) + ASu + ASo) * h / 3;
  QSmin = ASu * k / 2 * 1000;
  QSmax = ASb * KFb / 2 * 1000 + QSmin;
  QSm = (QSmin + QSmax) / 2;
  CalcQS(ab);
}

TVSC::TVSC() {
  Kf = 5e-5;
  KFF = 0.00035;
  HR = 2.34;
  DI = 1.0;
  DA = 1.2;
}

void TVSC::SetData(const std::string& myRegen, double myFZ, double myKF, double myKFF, double myHR,
                   double myDI, double myDA, double myHF, double myHS) {
  Reihe = myRegen;
  FZ = myFZ;
  Kf = myKF;
  KFF = myKFF;
  HR = myHR;
  DI = myDI;
  DA = myDA;
  HF = myHF;
  HS = myHS;
}

void TVSC::Calc(const TRechnung& r) {
  using std::numbers::pi;
  const double ab = Uebernehmen(r);
  ASi = pi * DA * DA / 4 + pi * DA * HR / 2;
  V = HR * pi * DI * DI / 4;
  QSm = ASi * Kf / 2 * 1000;
  CalcQS(ab);
  KFerf = (DA * DA + 2 * DA * HR) * Kehrwert(DI * DI) * Kf;
  H = HR + 1.5;
  HG = H + 1;
}

TVMU::TVMU() {
  Kf = 5e-5;
}

void TVMU::SetData(const std::string& myRegen, double myFZ, double myKF, double myL, double myB,
                   double myZ, double myM) {
  Reihe = myRegen;
  FZ = myFZ;
  Kf = myKF;
  LM = myL;
  BM = myB;
  ZM = myZ;
  M = myM;
}

void TVMU::Calc(const TRechnung& r) {
  const double ab = Uebernehmen(r);
  Lo = LM;
  Bo = 2 * ZM * M + BM;
  A_u = BM * LM;
  Ao = LM * Bo;
  ASi = (Ao + A_u) / 2;
  V = ZM * ASi;
  QSm = ASi * Kf / 2 * 1000;
  // Rain on the swale itself counts as connected area.
  CalcQS(ASi / 10000 + ab);
  TE = 2 * ZM * Kehrwert(Kf);
}

TVRI::TVRI() {
  LR = 35.5;
  BR = 2.5;
  HR = 1.0;
  Kf = 8e-5;
  SR = 0.35;
}

void TVRI::SetData(const std::string& myRegen, double myFZ, double myKF, double myLR, double myBR,
                   double myHR, double mySR, double myDI, double myDA, double myAAus, int myA) {
  Reihe = myRegen;
  FZ = myFZ;
  Kf = myKF;
  LR = myLR;
  BR = myBR;
  HR = myHR;
  SR = mySR;
  DI = myDI;
  DA = myDA;
  AAus = myAAus;
  A = myA;
}

void TVRI::Calc(const TRechnung& r) {
  using std::numbers::pi;
  const double ab = Uebernehmen(r);
  // Storage coefficient of a trench with A pipes.
  SRR = DI == 0 ? SR : SR * (BR * HR + A * pi / 4 * (DI * DI / SR - DA * DA)) * Kehrwert(BR * HR);
  BRs = HR / 2 + BR;
  ASi = BRs * LR;
  V = LR * HR * BR * SRR;
  QSm = ASi * Kf / 2 * 1000;
  CalcQS(ab);
  QA = A * AAus * LR;
}

// -------------------------------------------------------------------- TAEO

void TAEO::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  const auto* a = dynamic_cast<const TAEO*>(&e);
  if (!a) return;
  kB = a->kB;
  kD = a->kD;
  HRUs.clear();
  for (const THRU& u : a->HRUs) {
    THRU v;
    v.Bezeichnung = u.Bezeichnung;
    v.AE = u.AE;
    v.CN2 = u.CN2;
    HRUs.push_back(v);
  }
}

void TAEO::Init() {
  Ss = 0;
  Sd = 0;
  HRU.AE = 0;
  for (THRU& u : HRUs) {
    u.Ia = 0;
    u.CN = u.CN2;
    u.CN1 = u.CN * Kehrwert(2.334 - 0.01334 * u.CN);
    u.CN3 = u.CN * Kehrwert(0.4036 + 0.0059 * u.CN);
    u.Smax = 25400 * Kehrwert(u.CN1) - 254;
    u.Smin = 25400 * Kehrwert(u.CN3) - 254;
    u.F = u.Smax / 2;
    HRU.AE += u.AE;
  }
}

double TAEO::Inhalt() const {
  double v = Ss * HRU.AE * 10 + Sd;
  for (const THRU& u : HRUs) v += (u.Ia + u.F) * u.AE * 10;
  return v;
}

void TAEO::SetStartConditions(int nr) {
  if (nr < 0) return;
  const auto k = static_cast<size_t>(nr);
  if (k < ABs.size()) {
    Sd = ABs[k].Sd();
    Ss = ABs[k].Ss();
  }
  for (THRU& u : HRUs)
    if (k < u.ABs.size()) {
      u.Ia = u.ABs[k].Ia();
      u.F = u.ABs[k].F();
    }
}

void TAEO::ReceiveRain(TSimulation& sim, double regen) {
  if (!sim.Netz || !sim.Netz->NAM) return;
  const TNET& net = *sim.Netz;
  ABaktuell.Sd() = Sd;
  ABaktuell.Ss() = Ss;
  const double P = std::max(regen, 0.0);
  const double E = std::max(-regen, 0.0);
  const double T = sim.dt_sec;

  // Snow: below freezing all rain is stored, above it melts.
  double M;
  if (sim.TLuft <= 0) {
    Ss += P;
    M = -P;
  } else {
    M = std::min(net.cM / 86400 * T * sim.TLuft, Ss);
    Ss = std::max(Ss - M, 0.0);
  }
  const double W = P + M;
  const double a = Kehrwert(kB * 86400);  // 1/s
  double V = 0;                           // m3

  for (THRU& u : HRUs) {
    u.AB.Ia() = u.Ia;
    u.AB.F() = u.F;
    // Soil store: the excess x above its capacity goes on to the second
    // store; y is the evaporation it could not give.
    const double cap = net.cS * u.Smax;
    u.Ia = u.Ia + W - E;
    double x = 0, y = 0;
    if (u.Ia > cap) {
      x = u.Ia - cap;
      u.Ia = cap;
    } else if (u.Ia <= 0) {
      y = -u.Ia;
      u.Ia = 0;
    }
    // Second store, dF/dt = qx - k F, by Runge-Kutta of fourth order with
    // guards against negative intermediate contents.
    const double qx = x / T, qy = y / T;
    const double b = Kehrwert(net.cI * u.Smax);
    const double k = b * (qx + qy) + a;
    double F = u.F;
    const double k1 = (qx - k * F) * T;
    if (F + k1 / 2 < 0) F = -k1 / 2;
    const double k2 = (qx - k * (F + k1 / 2)) * T;
    if (F + k2 / 2 < 0) F = -k2 / 2;
    const double k3 = (qx - k * (F + k2 / 2)) * T;
    if (F + k3 < 0) F = -k3;
    const double k4 = (qx - k * (F + k3)) * T;
    const double F0 = F;
    F = std::max(F0 + (k1 + 2 * k2 + 2 * k3 + k4) / 6, 0.0);
    // Outflow of the unit, mm: direct part and base part.
    const double sr = std::min(b * (F + F0) / 2 * x, x);
    const double sb = a * T * (F + F0) / 2;
    V += 10 * u.AE * (sr + sb);
    u.F = std::min(F, net.cI * u.Smax);
    if (sim.IsBilanzZeit) {
      Verdunstung += 10 * u.AE * (E - y);
      Speicherverlust += 10 * u.AE * (u.AB.F() + x - u.F - sr - sb);
    }
  }

  // Final linear reservoir.
  const double Q = Kehrwert(kD * 86400) * T * (Sd + V);
  Sd = Sd + V - Q;

  TFrachten& z = Zustand.Aktuell;
  if (z.Q != 0) z.Clear();
  if (Q > 0) {
    // The river's background concentrations (zeros without a discharge
    // point below); the background set is in load form.
    static const TParameter kNull;
    const TParameter& c = FHintergrund ? *FHintergrund : kNull;
    z.Q = Q;
    z.BSB = Q * c.cBSB();
    z.NH4 = Q * c.cNH4();
    z.AFS = Q * c.cAFS();
    z.PH = Q * c.cPH();
    z.ALK = Q * c.cALK();
    z.CSB = Q * c.cCSB();
    z.GK = TParameter::cGK(c.cALK(), c.cPH()) * Q;
    z.DO2 = c.cDO2() * Q;
    z.Qnat = Q;
  }
}

void TAEO::SimStart(TSimulation& sim) {
  (void)sim;
  Init();
  ABs.clear();
  for (THRU& u : HRUs) u.ABs.clear();
  ABaktuell = {};
  Verdunstung = Speicherverlust = 0;
  FHintergrund = nullptr;
  if (!Owner) return;
  const TCadShape* p = Owner->Parent();
  for (size_t n = 0; p && p->IsConnector() && n < 100000; ++n) p = p->Parent();
  if (p && p->IsEinleitung())
    if (const auto* e = dynamic_cast<const TEST*>(p->Data())) FHintergrund = &e->CV;
}

void TAEO::SimSchrittEnde(TSimulation& sim) {
  Zustand.OldQZu = Zustand.Aktuell.Q;
  // As at the catchments: entry k belongs to recorded system event k.
  const size_t ereignisse = sim.SystemEreignisse.size();
  const bool beginn = sim.Ereignisstart == sim.Zeit;
  const size_t hoechstens = beginn ? ereignisse : ereignisse + 1;
  auto sichern = [&](std::vector<TStartCondition>& liste, TStartCondition& ab) {
    if (liste.size() > hoechstens) liste.resize(hoechstens);
    if (beginn) {
      liste.push_back(ab);
      ab = {};
    }
  };
  sichern(ABs, ABaktuell);
  for (THRU& u : HRUs) sichern(u.ABs, u.AB);
  Zustand.Aktuell.Clear();
}

}  // namespace t21
