#include "model/discharge.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/net.h"

namespace t21 {

// ----------------------------------------------------------------- TProfil

double TProfil::IS1() const {
  const double i = (SOLO - SOLU) * Kehrwert(LEN);
  return i > 0 ? i : 1e-7;
}

void TProfil::SetData(double mySOLO, double mySOLU, double myLEN, double myPB, double myKB,
                      int myPKZ) {
  SOLO = mySOLO;
  SOLU = mySOLU;
  LEN = myLEN;
  PB = myPB;
  KB = myKB;
  PKZ = myPKZ;
}

void TProfil::ManningStrickler(double T, double& A, double& Q, double& v) const {
  const double m = Boeschung();
  A = T * (PB + T * m);
  const double U = PB + 2 * T * std::sqrt(m * m + 1);
  v = std::sqrt(IS1()) * KB * std::pow(A * Kehrwert(U), 2.0 / 3.0);
  Q = v * A * 1000;
  if (!std::isfinite(v) || !std::isfinite(Q)) v = Q = 0;
}

void TProfil::Vollfuellung() {
  if (PKZ == 41) ManningStrickler(PH, FVOLL, QVOLL, VVOLL);
}

void TProfil::StricklerInterpolation(double Q, double& h, double& v, double& A, double& hm,
                                     double& B) {
  // A flow of 0 (or less) has no depth.
  if (!(Q > 0) || KB == 0 || PB == 0 || PH == 0 || BWSP == 0 || IS1() <= 0) {
    h = v = A = hm = B = 0;
    return;
  }
  const double m = Boeschung();
  if (Q >= QVOLL) {
    h = PH;
    v = VVOLL;
    A = FVOLL;
    B = BWSP;
    hm = (PB * h + m * h * h) * Kehrwert(PB + 2 * m * h);
    return;
  }
  const double wurzelI = std::sqrt(IS1());
  const double wurzelM = std::sqrt(m * m + 1);
  h = H_alt;
  double Qc = Q;
  // At most 99 passes; the first evaluates the start depth unchanged.
  for (int zaehler = 1;;) {
    if (Qc > Q)
      h = h - h * (Qc - Q) / 2 * Kehrwert(Qc);
    else
      h = h + h * (Q - Qc) / 2 * Kehrwert(Q);
    h = std::min(h, PH);
    if (h <= 1e-4) h = 1e-4;
    A = h * (m * h + PB);
    B = 2 * m * h + PB;
    const double U = 2 * wurzelM * h + PB;
    v = wurzelI * KB * std::pow(A * Kehrwert(U), 2.0 / 3.0);
    Qc = v * A * 1000;
    ++zaehler;
    const double d = std::fabs(Qc - Q);
    if (d < 1e-4 * Q || d < 0.001 || zaehler >= 100) break;
  }
  hm = A * Kehrwert(B);
  H_alt = h;
}

// -------------------------------------------------------------------- TWBP

void TWBP::Calc() {
  int p = static_cast<int>((WBP1StrukturO + WBP1StrukturU) / 2.0 + 0.5);
  if (WBP1StrukturO <= 0 || WBP1StrukturU <= 0) p = 7;
  if (WBP1Aufwander == 3 || WBP1AufUndAb == 3)
    p += 2;
  else if (WBP1Aufwander == 2)
    p += 1;
  else if (WBP1AufUndAb == 2)
    p += 1;
  if (WBP1ZuflussO) --p;
  if (WBP1ZuflussU) --p;
  WBP1Punkte = std::max(p, 0);
  WBP1N = WBP1Punkte <= 3 ? 2 : (WBP1Punkte <= 5 ? 1 : 0.5);
}

// -------------------------------------------------------------------- TEST

namespace {

// The eutrophication code as a number (0 when it is not one).
int Eutrophierung(const std::string& s) {
  return std::atoi(s.c_str());
}

// Background set of the river at low flow q with the given concentrations;
// eutrophication raises the pH and adds an oxygen deficit.
void Hintergrundbelastung(TParameter& cv, double q, double bsb, double nh4, double afs, double ph,
                          double alk, double csb, int eutroph, double o2sat) {
  double phv = ph, d = 0;
  if (eutroph == 1 || eutroph == 2) {
    phv = ph + 0.5;
    d = 0.2 * o2sat;
  } else if (eutroph == 3) {
    phv = ph + 1.0;
    d = 0.4 * o2sat;
  }
  cv.Q = q;
  cv.BSB = q * bsb;
  cv.NH4 = q * nh4;
  cv.AFS = q * afs;
  cv.ALK = q * alk;
  cv.CSB = q * csb;
  cv.PH = q * phv;
  cv.GK = q * TParameter::cGK(alk, phv);
  cv.DO2 = q * d;
  cv.PH = cv.CalcPH();
}

// Low flow of the background set: never 0, so that the river always mixes.
double Grundabfluss(double mnq) {
  return mnq <= 1e-6 ? 1e-6 : mnq;
}

}  // namespace

TParameter StandardVorbelastung() {
  // No eutrophication, so no saturation is needed.
  TParameter cv;
  Hintergrundbelastung(cv, Grundabfluss(0), 5.0, 0.3, 15, 7.0, 2.0, 10.0, 0, 0);
  return cv;
}

double TEST::MQ() const {
  return (AE0 - SUM.SUMAEBM3 / 100) * 320000 / 365 / 86400 * 1000;
}

double TEST::HQ1ist() const {
  return std::max(HQ1pnat() - _HQ1pnat * SUM.SUMAEBM3 / 100, 0.0);
}

double TEST::QE1zul() const {
  return HQ1pnat() * X + _HQ1pnat * SUM.SUMAEBM3 / 100;
}

double TEST::D0(double myO2sat) const {
  const int e = Eutrophierung(EUTROPH);
  if (e == 1 || e == 2) return 0.2 * myO2sat;
  if (e == 3) return 0.4 * myO2sat;
  return 0;
}

void TEST::SetData(double myBSB, double myNH4, double myAFS, double myPH, double myALK,
                   double mySOLO, double mySOLU, double myLEN, double myBSO, double myHB,
                   double myBSP, double myKST, double myHMNQ, double myVMNQ, double myAE0,
                   double myMNQ, double myHQ1, double myLQUELL, bool myQuelle, bool myQuelllauf,
                   bool myTemporaer, bool myOrganisch, bool myStau, const std::string& myEutroph,
                   const std::string& myGuete, const std::string& myStruktur, double myCSB,
                   int myLage, bool myWBP1ZusammenflussO, bool myWBP1ZusammenflussU,
                   int myWBP1StrukturO, int myWBP1StrukturU, int myWBP1AufUndAb,
                   int myWBP1Aufwander, double myX, bool myDrosselung, double myQD,
                   std::int32_t myVolumen, bool mySalmoniden, const TNET& N) {
  Profil.SetData(mySOLO, mySOLU, myLEN, myBSO, myKST, 41);
  Profil.BWSP = myBSP;
  Profil.HTW = myHMNQ;
  Profil.VTW = myVMNQ;
  Profil.PH = myHB;

  AE0 = myAE0;
  _mnq = myMNQ;
  _HQ1pnat = myHQ1;
  HMNQ = myHMNQ;
  VMNQ = myVMNQ;
  LQuell = myLQUELL;
  QUELL = myQuelle;
  QUELLLAUF = myQuelllauf;
  TEMPORAER = myTemporaer;
  ORGANISCH = myOrganisch;
  STAU = myStau;
  EUTROPH = myEutroph;
  GUETE = myGuete;
  STRUKTUR = myStruktur;
  Lage = myLage;
  X = myX;
  Drosselung = myDrosselung;
  QD = myQD;
  QDaktiv = myQD;
  Volumen = myVolumen;
  Salmoniden = mySalmoniden;
  WBP.WBP1ZuflussO = myWBP1ZusammenflussO;
  WBP.WBP1ZuflussU = myWBP1ZusammenflussU;
  WBP.WBP1StrukturO = myWBP1StrukturO;
  WBP.WBP1StrukturU = myWBP1StrukturU;
  WBP.WBP1AufUndAb = myWBP1AufUndAb;
  WBP.WBP1Aufwander = myWBP1Aufwander;
  AFSgrenzwert = myAFS;

  Hintergrundbelastung(CV, Grundabfluss(myMNQ * myAE0), myBSB, myNH4, myAFS, myPH, myALK, myCSB,
                       Eutrophierung(myEutroph), O2Saettigung(N.Temperatur, N.mNN));
}

void TEST::AssignValues(const TElement& e) {
  TBauwerk::AssignValues(e);
  const auto* t = dynamic_cast<const TEST*>(&e);
  if (!t) return;
  Profil.SOLO = t->Profil.SOLO;
  Profil.SOLU = t->Profil.SOLU;
  Profil.LEN = t->Profil.LEN;
  Profil.PKZ = t->Profil.PKZ;
  Profil.PB = t->Profil.PB;
  Profil.PH = t->Profil.PH;
  Profil.KB = t->Profil.KB;
  Profil.BWSP = t->Profil.BWSP;
  CV = t->CV;
  WBP.WBP1StrukturO = t->WBP.WBP1StrukturO;
  WBP.WBP1StrukturU = t->WBP.WBP1StrukturU;
  WBP.WBP1Aufwander = t->WBP.WBP1Aufwander;
  WBP.WBP1AufUndAb = t->WBP.WBP1AufUndAb;
  WBP.WBP1ZuflussO = t->WBP.WBP1ZuflussO;
  WBP.WBP1ZuflussU = t->WBP.WBP1ZuflussU;
  _mnq = t->_mnq;
  _HQ1pnat = t->_HQ1pnat;
  AE0 = t->AE0;
  HMNQ = t->HMNQ;
  VMNQ = t->VMNQ;
  Drosselung = t->Drosselung;
  LQuell = t->LQuell;
  QUELL = t->QUELL;
  QUELLLAUF = t->QUELLLAUF;
  TEMPORAER = t->TEMPORAER;
  ORGANISCH = t->ORGANISCH;
  STAU = t->STAU;
  Salmoniden = t->Salmoniden;
  GUETE = t->GUETE;
  STRUKTUR = t->STRUKTUR;
  EUTROPH = t->EUTROPH;
  WBP_ERHOBEN = t->WBP_ERHOBEN;
  Lage = t->Lage;
  X = t->X;
}

void TEST::Fliesstiefe(double Q, double& h, double& v, double& A, double& hm, double& B) {
  Profil.H_alt = 0;
  Profil.StricklerInterpolation(Q, h, v, A, hm, B);
}

double TEST::CalcO2(double myQ, double myBSB, double myDO2, double myT, double myO2sat,
                    TAbflussParameter& p, bool Hydraulik) {
  const double k1 = kBSBAbbaurate;
  const double L0 = myBSB, D0 = myDO2;
  if (Hydraulik) {
    double b = 0;
    Profil.StricklerInterpolation(myQ, p.H, p.V, p.A, p.HM, b);
  }
  const double tf = Kehrwert(p.V) * Profil.LEN / 86400;  // days
  p.TF = tf;
  const double hm = p.HM;
  const double hStern = hm >= 0.5 ? hm : std::pow(10 - 13.5 * hm, -0.588);
  const double K2 = std::pow(1.02, myT - 20) * (40 * Kehrwert(Profil.KB) + 3) * std::pow(p.V, 0.7) *
                        Kehrwert(std::pow(hStern, 1.7)) +
                    0.5 * Kehrwert(hm);
  p.K2 = K2;
  const double kw = Kehrwert(K2 - k1);
  auto D = [&](double t) {
    return D0 * std::exp(-K2 * t) + k1 * L0 * kw * (std::exp(-k1 * t) - std::exp(-K2 * t));
  };
  // The deficit is largest at the critical time; a critical time before the
  // point (the deficit only falls within the reach) counts as 0.
  const double a = K2 / k1 * (1 - (K2 - k1) * D0 * Kehrwert(k1 * L0));
  double tkrit = a > 0 ? std::log(a) * kw : 0;
  if (!(tkrit > 0)) tkrit = 0;
  p.Tc = tkrit;
  p.Dc = D(tkrit);
  p.Dtf = D(tf);
  p.Da = tkrit >= tf ? p.Dtf : p.Dc;
  p.cO2 = std::max(myO2sat - p.Da, 0.0);
  p.cRestBSB = L0 * std::exp(-k1 * tf);
  return p.cO2;
}

void TEST::Calc(const TRechnung& r) {
  const TNET& N = r.Netz;
  const TSUM& I = r.Zufluss.SUM;
  TSUM& S = SUM;
  FEHLER.clear();
  double omin = 10, nmax = 0;
  double h = 0, v = 0, A = 0, hm = 0, B = 0;

  Profil.Vollfuellung();
  if (HQ1pnat() > Profil.QVOLL) Hinweis(kQvollKleinerHQ1);

  if (LQuell < 150 || QUELL || QUELLLAUF || TEMPORAER || ORGANISCH || STAU) {
    Hinweis(kEinleitungsverbot);
  } else if ((STRUKTUR == "?" || STRUKTUR == "1") &&
             (GUETE == "?" || GUETE == "I" || (GUETE == "I-II" && Lage == 0))) {
    Hinweis(kEinleitungsverbot);
  }

  // Sums: the inflow's, without areas of its own; the areas that reach the
  // river and the unreducible rain runoff as gathered.
  S.ZufluesseUebernehmen(I);
  S.AE = S.AEB = S.AEbxfD = S.AU = 0;
  S.SUMAEBM3 = I.SUMAEBM3;
  S.SUMAEM3 = I.SUMAEM3;
  S.SUMAEB = I.SUMAEB;
  S.UQR = I.UQR;
  if (Drosselung && I.QBEM() > QD) {
    S.UQR = std::min(S.UQR + I.QR, QD - HQ1ist() - S.QT24() - S.QRT24);
    if (S.UQR < 0) S.UQR = 0;
    S.SUMTF = S.QR = S.AU = 0;
  } else {
    // The flow time of the reach joins the governing flow time.
    Fliesstiefe(I.QBEM() + HQ1ist(), h, v, A, hm, B);
    S.SUMTF = S.SUMTF + Profil.LEN * Kehrwert(v) / 60;
    S.AU = I.AU;
    S.QR = N.Spenden.GetR(S.SUMTF) * S.AU;
  }
  if (HQ1ist() + S.QBEM() > Profil.QVOLL) Hinweis(kQvollKleinerQ);

  WBP.Calc();

  // Low flow with the dry-weather flow; the same for every rain-runoff rate.
  const double mnq = MNQ();
  Fliesstiefe(mnq + S.QT24(), h, v, A, hm, B);
  Profil.HTW = h;
  Profil.VTW = v;
  if (1.1 * HMNQ < Profil.HTW)
    Hinweis(kHMNQZuGross);
  else if (0.9 * HMNQ > Profil.HTW)
    Hinweis(kHMNQZuKlein);
  if (1.1 * VMNQ < Profil.VTW)
    Hinweis(kVMNQZuGross);
  else if (0.9 * VMNQ > Profil.VTW)
    Hinweis(kVMNQZuKlein);

  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& P = r.Zufluss.AB[i];
    TParameter& C = CG[i];
    TAbflussParameter& Ai = AP[i];

    // What leaves the point: with a throttle at most QD less the river's
    // low flow.
    if (Drosselung) {
      double qd = std::min(QD - mnq, P.Q);
      if (qd < 0) qd = 0;
      const double f = qd * Kehrwert(P.Q);
      TParameter& a = AB[i];
      a = P;
      a.Q = qd;
      a.BSB *= f;
      a.NH4 *= f;
      a.AFS *= f;
      a.CSB *= f;
      a.ALK *= f;
      a.PH *= f;
      a.GK *= f;
      a.DO2 *= f;
    } else {
      AB[i] = P;
    }

    // Mixing with the river's low flow.
    C = AB[i];
    CV.AddTo(C);
    if (Drosselung) {
      double qm = std::min(QD, C.Q);
      if (qm < 0) qm = 0;
      C.Mul(qm * Kehrwert(C.Q));
    }

    // Oxygen along the reach.
    Profil.H_alt = 0;
    const double c = CalcO2(C.Q, C.cBSB(), C.cDO2(), N.Temperatur, N.cO2sat, Ai, true);
    C.DO2 = (N.cO2sat - c) * C.Q;
    omin = std::min(omin, Ai.cO2);

    // Downstream goes the urban part of the flow with the BOD left and the
    // oxygen deficit at the end of the reach. A throttle below the low flow
    // lets no urban water pass, and so no load either.
    const double urban = std::max(C.Q - mnq, 0.0);
    AB[i].BSB = urban * Ai.cRestBSB;
    AB[i].DO2 = urban * Ai.Dtf;

    // Un-ionised ammonia.
    C.PH = C.CalcPH();
    const double nh3 = C.cNH3(N.pks);
    Ai.cNH3 = std::isfinite(nh3) ? nh3 : 0;
    nmax = std::max(nmax, Ai.cNH3);
  }

  // AFS63 balance (the natural load is 4800 kg/(km2*a)).
  const double z = Salmoniden ? 6400 : 9600;
  AFSzulaessig = z * AE0;
  AFSLast = 4800 * AE0 + I.AFS63r;
  AFSezul = (z - 4800) * AE0 + 4800 * I.SUMAEBM3 / 100;
  S.AFS63r = I.AFS63r;

  if (!(Profil.HTW > 0)) {
    FEHLER.clear();
    Hinweis(kEinleitungNichtKonfiguriert);
    return;
  }
  if (Drosselung && mnq > QD) Hinweis(kQDKleinerMNQ);
  if (nmax > 0.1) Hinweis(kNH3Zuviel);
  if (omin < 5) Hinweis(kO2Zuwenig);
  if ((HQ1pnat() + S.QBEM() - _HQ1pnat * S.SUMAEBM3 / 100) * Kehrwert(HQ1pnat()) > 1 + X)
    Hinweis(kHochwasser);
}

}  // namespace t21
