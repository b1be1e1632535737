#include "model/discharge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/net.h"
#include "model/simulation.h"

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
    TTiefe& t = FLetzte;
    if (h == t.h && m == t.m && PB == t.PB && KB == t.KB && wurzelI == t.wurzelI) {
      A = t.A;
      B = t.B;
      v = t.v;
    } else {
      A = h * (m * h + PB);
      B = 2 * m * h + PB;
      const double U = 2 * wurzelM * h + PB;
      v = wurzelI * KB * std::pow(A * Kehrwert(U), 2.0 / 3.0);
      t = {h, m, PB, KB, wurzelI, A, B, v};
    }
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
  cv.Clear();
  cv.Q = q;
  cv.BSB = q * bsb;
  cv.NH4 = q * nh4;
  cv.AFS = q * afs;
  cv.ALK = q * alk;
  cv.CSB = q * csb;
  cv.PH = q * phv;
  cv.GK = q * TParameter::cGK(alk, phv);
  cv.DO2 = q * d;
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

  Hintergrund = {myBSB, myNH4, myAFS, myCSB, myALK, myPH};
  SetzeHintergrund(O2Saettigung(N.Temperatur, N.mNN));
}

void TEST::SetzeHintergrund(double o2sat) {
  const THintergrund& h = Hintergrund;
  Hintergrundbelastung(CV, Grundabfluss(_mnq * AE0), h.BSB, h.NH4, h.AFS, h.PH, h.ALK, h.CSB,
                       Eutrophierung(EUTROPH), o2sat);
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
  Hintergrund = t->Hintergrund;
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

void TEST::Belueftung(double myQ, double myT, TAbflussParameter& p, bool Hydraulik) {
  if (Hydraulik) {
    double b = 0;
    Profil.StricklerInterpolation(myQ, p.H, p.V, p.A, p.HM, b);
  }
  p.TF = Kehrwert(p.V) * Profil.LEN / 86400;  // days
  const double hm = p.HM;
  const double hStern = hm >= 0.5 ? hm : std::pow(10 - 13.5 * hm, -0.588);
  if (myT != FTempT) {
    FTempT = myT;
    FTempFaktor = std::pow(1.02, myT - 20);
  }
  p.K2 = FTempFaktor * (40 * Kehrwert(Profil.KB) + 3) * std::pow(p.V, 0.7) *
             Kehrwert(std::pow(hStern, 1.7)) +
         0.5 * Kehrwert(hm);
}

namespace {

// The oxygen deficit after the time with the decay factors e1 = exp(-k1 t)
// and e2 = exp(-K2 t), kw = Kehrwert(K2 - k1).
double Defizit(double L0, double D0, double kw, double e1, double e2) {
  return D0 * e2 + kBSBAbbaurate * L0 * kw * (e1 - e2);
}

// The critical time: the deficit is largest there; a critical time before
// the point (the deficit only falls within the reach) counts as 0.
double KritischeZeit(double L0, double D0, double K2, double kw) {
  const double k1 = kBSBAbbaurate;
  const double a = K2 / k1 * (1 - (K2 - k1) * D0 * Kehrwert(k1 * L0));
  double tkrit = a > 0 ? std::log(a) * kw : 0;
  if (!(tkrit > 0)) tkrit = 0;
  return tkrit;
}

}  // namespace

double TEST::CalcO2(double myQ, double myBSB, double myDO2, double myT, double myO2sat,
                    TAbflussParameter& p, bool Hydraulik) {
  const double k1 = kBSBAbbaurate;
  const double L0 = myBSB, D0 = myDO2;
  Belueftung(myQ, myT, p, Hydraulik);
  const double tf = p.TF, K2 = p.K2;
  const double kw = Kehrwert(K2 - k1);
  const double tkrit = KritischeZeit(L0, D0, K2, kw);
  p.Tc = tkrit;
  const double e1tf = std::exp(-k1 * tf);
  p.Dc = Defizit(L0, D0, kw, std::exp(-k1 * tkrit), std::exp(-K2 * tkrit));
  p.Dtf = Defizit(L0, D0, kw, e1tf, std::exp(-K2 * tf));
  p.Da = tkrit >= tf ? p.Dtf : p.Dc;
  p.cO2 = std::max(myO2sat - p.Da, 0.0);
  p.cRestBSB = L0 * e1tf;
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

// ---------------------------------------------------------- the simulation

void TEST::SimVorbereiten(TSimulation& sim) {
  TBauwerk::SimVorbereiten(sim);  // storage, throttle, overflow and base flow emptied
  SpeicherInhaltHQ1 = 0;
  Mischreaktor_Stoffe.Clear();
  // Without throttling everything passes; the entered QD stays as it is.
  QDaktiv = Drosselung ? QD : kOhneDrossel;
  MinMax.Clear();
  EKrit.Clear();
  MinMax.Summe.BSB = kO2Startwert;
  MinMax.Jahr.BSB = kO2Startwert;
  GewaesserEreignis.reset();
}

void TEST::SimZeitschrittGesetzt(TSimulation& sim) {
  TBauwerk::SimZeitschrittGesetzt(sim);
  InitKM(sim.dt_min);
}

void TEST::InitKM(double myDT) {
  KMMeldungen.clear();
  // Every run starts the depth iterations from the same depth, so that runs
  // repeat bit for bit.
  Profil.H_alt = 0;
  Profil.Vollfuellung();
  const double mnq = MNQ(), hq1 = HQ1ist(), qvoll = Profil.QVOLL;
  struct Lastfall {
    TKM& km;
    TSpeiKa& kaskade;
    bool& speichert;
    double minQ, maxQ;
    const char* name;
  };
  Lastfall faelle[] = {
      {KM_MNQ, Speika_MNQ, FSpeichertMNQ, mnq, std::max(qvoll - HQ1pnat() + mnq, mnq),
       " (Lastfall MNQ)"},
      {KM_HQ1, Speika_HQ1, FSpeichertHQ1, hq1, std::max(qvoll, hq1), " (Lastfall HQ1)"},
  };
  for (Lastfall& f : faelle) {
    f.km = TKM{};
    f.km.Init(myDT, f.minQ, f.maxQ, Profil);
    double n = f.km.n;
    if (n > 10) {
      char zahl[64];
      std::snprintf(zahl, sizeof zahl, "%.0f", n);
      KMMeldungen.push_back(Name() + f.name +
                            "\n\rUnzulässige Anzahl von Speicherstufen N = " + zahl +
                            "\n\rN wurde vom Programm auf 10 gesetzt.\n\r"
                            "Bitte überprüfen Sie die hydraulischen und die hydrologischen "
                            "Parameter.");
      n = 10;
    }
    const double gerundet = std::nearbyint(n);
    f.kaskade.N = gerundet >= 1 ? static_cast<int>(gerundet) : 1;
    f.kaskade.K = f.km.k;
    f.kaskade.SetDT(myDT);
    // A storage constant of 0 (a profile already full at the smallest flow,
    // a reach of no length) would make the recession factor 1 and keep all
    // water in the cascade for good: such a reach passes its inflow at once.
    f.speichert = f.km.k > 0;
  }
}

void TEST::AmEndeDerStrecke(double myQ, double myBSB, double myDO2, const TSimulation& sim) {
  TAbflussParameter& p = AbflussParameter;
  const double k1 = kBSBAbbaurate;
  const double L0 = myBSB, D0 = myDO2;
  Belueftung(myQ, sim.TWasser, p, true);
  const double tf = p.TF, K2 = p.K2;
  const double e1tf = std::exp(-k1 * tf);
  p.Dtf = Defizit(L0, D0, Kehrwert(K2 - k1), e1tf, std::exp(-K2 * tf));
  p.cRestBSB = L0 * e1tf;
}

double TEST::O2AnDerEinleitung(double myQ, double myBSB, double myDO2, const TSimulation& sim) {
  TAbflussParameter& p = AbflussParameter;
  const double k1 = kBSBAbbaurate;
  const double L0 = myBSB, D0 = myDO2;
  Belueftung(myQ, sim.TWasser, p, true);
  const double tf = p.TF, K2 = p.K2;
  const double kw = Kehrwert(K2 - k1);
  const double tkrit = KritischeZeit(L0, D0, K2, kw);
  p.Tc = tkrit;
  // Only the deficit that counts, at the end of the reach or at the
  // critical time.
  if (tkrit >= tf) {
    p.Dtf = Defizit(L0, D0, kw, std::exp(-k1 * tf), std::exp(-K2 * tf));
    p.Da = p.Dtf;
  } else {
    p.Dc = Defizit(L0, D0, kw, std::exp(-k1 * tkrit), std::exp(-K2 * tkrit));
    p.Da = p.Dc;
  }
  p.cO2 = std::max(sim.cO2sat - p.Da, 0.0);
  return p.cO2;
}

void TEST::dnSetVorbelastung(const TSimulation& sim) {
  Mischreaktor_unten.Clear();
  Mischreaktor_Stoffe.Clear();
  deltaMNQ.Clear();
  Speicher.Clear();
  SpeicherInhaltHQ1 = 0;

  // The background set for one step. Its O2 deficit is a load like the
  // others (low flow times deficit concentration).
  const double s = sim.dt_sec_div_1000;
  TFrachten b;
  b.Q = s * CV.Q;
  b.BSB = s * CV.BSB;
  b.NH4 = s * CV.NH4;
  b.AFS = s * CV.AFS;
  b.CSB = s * CV.CSB;
  b.PH = s * CV.PH;
  b.ALK = s * CV.ALK;
  b.GK = TParameter::cGK(b.cALK(), b.cPH()) * b.Q;
  b.DO2 = s * CV.DO2;
  BUE.Zustand.Aktuell = b;

  b.AddTo(deltaMNQ);
  // The next discharge point downstream takes this base flow into account.
  const TCadShape* p = Owner ? Owner->Parent() : nullptr;
  for (int schritte = 0; p && !p->IsRoot() && schritte < 1000000; ++schritte) {
    if (p->IsEinleitung()) {
      if (auto* unten = dynamic_cast<TEST*>(p->Data())) b.AddTo(unten->Zustand.Aktuell);
      break;
    }
    p = p->Parent();
  }
  // What a point upstream handed here is its base flow: not part of ours.
  if (Zustand.Aktuell.Q > 0) {
    deltaMNQ.Sub(1.0, Zustand.Aktuell);
    Zustand.Aktuell.Clear();
  }
}

void TEST::SimCalc(TSimulation& sim) {
  const double s = sim.dt_sec_div_1000;
  TFrachten& V = Zustand.Aktuell;
  const TFrachten& B = BUE.Zustand.Aktuell;
  TFrachten& Sp = Speicher.Aktuell;
  TFrachten& Dr = Drossel.Aktuell;
  TFrachten& Ue = KUE.Zustand.Aktuell;
  TFrachten& oben = Mischreaktor_oben;
  TFrachten& unten = Mischreaktor_unten;

  // The storage overflow goes into the river at the point itself; an
  // overflow link not drawn is drawn to the downstream element.
  if (Owner && !Owner->KUE() && Owner->Parent()) Owner->SetKUE(Owner->Parent());

  oben.Clear();
  unten.Clear();
  Dr.Clear();
  Ue.Clear();
  double QDs = QDaktiv * s;
  const double H = HQ1ist() * s;

  // Flood case: the urban inflow on top of the one-year flood, held back by
  // the throttle and the storage; Z is the increase of the river flow.
  const double U = V.Qurban;
  SpeicherInhaltHQ1 += U + H;
  const bool skript = Drosselung && ScriptActive && !Tokens.empty();
  double QDsHQ1 = QDs;
  if (skript) {
    // The script steers the throttle by the flood-case content.
    const double q = Sp.Q;
    Sp.Q = SpeicherInhaltHQ1;
    SimScript(sim);
    QDsHQ1 = QDaktiv * s;
    Sp.Q = q;
  }
  const double t = Drosselung ? std::min(QDsHQ1, SpeicherInhaltHQ1) : SpeicherInhaltHQ1;
  SpeicherInhaltHQ1 = std::max(SpeicherInhaltHQ1 - t, 0.0);
  const double o = std::max(SpeicherInhaltHQ1 - Volumen, 0.0);
  SpeicherInhaltHQ1 = std::max(SpeicherInhaltHQ1 - o, 0.0);
  const double Z = (t + o - H) * Kehrwert(U) * U;
  const double ZR = FSpeichertHQ1 ? Speika_HQ1.QAB(Z, 1) : Z;

  // Inflow and base flow into the storage, out through the throttle and
  // over the overflow; both mix into the river at the point.
  // The pH of these sets is read only at the point, from the mixed water,
  // which keeps it whatever the simulation's flag.
  const bool ph = sim.PHFuehren;
  if (V.Q > 0) Sp.AddAll(1.0, V, ph);
  if (B.Q > 0) Sp.AddAll(1.0, B, ph);
  if (skript) {
    SimScript(sim);
    QDs = (QDaktiv * s + QDs) / 2;
  }
  const double S = Sp.Q;
  const double th = std::min(QDs, S);
  const double fr = S > 0 ? th / S : 0;
  if (fr > 0) {
    Sp.AssignTo(Dr);
    Dr.MulAll(fr, ph);
    oben.AddAll(1.0, Dr);
  }
  const double ov = std::max(S - th - Volumen, 0.0);
  const double fo = S > 0 ? ov / S : 0;
  if (ov > 0) {
    // With all its flow components, so that the rain water that overflows
    // stays in the rain-water flow of the river.
    Ue.AddAll(fo, Sp, ph);
    oben.AddAll(1.0, Ue);
  }
  const double r = std::max(1 - (fo + fr), 0.0);
  if (r < 1) Sp.MulAll(r, ph);

  // The reach, one fully mixed store: the urban part of the flow is routed
  // through the cascade, the base flow passes unrouted.
  Mischreaktor_Stoffe.AddAll(1.0, oben, ph);
  const double zu = oben.Q - B.Q;
  const double qm = (FSpeichertMNQ ? Speika_MNQ.QAB(zu, 1) : zu) + B.Q;
  // The reach gives no more than it holds and never takes water back.
  const double f =
      Mischreaktor_Stoffe.Q > 0 ? std::clamp(qm / Mischreaktor_Stoffe.Q, 0.0, 1.0) : 0.0;
  Mischreaktor_Stoffe.AssignTo(unten);
  unten.MulAll(f, ph);
  Mischreaktor_Stoffe.MulAll(1 - f, ph);

  // BOD left and O2 deficit at the end of the reach.
  AmEndeDerStrecke(unten.Q / s, unten.cBSB(), unten.cDO2(), sim);
  unten.BSB = unten.Q * AbflussParameter.cRestBSB;
  unten.DO2 = unten.Q * AbflussParameter.Dtf;

  // Downstream goes what the network added to the river.
  unten.SubAll(1.0, B);
  unten.Qurban = ZR;
  if (unten.Q > 0) {
    // The background decays along the reach as well, so subtracting it
    // undecayed can leave less than nothing of BOD and O2 deficit.
    unten.BSB = std::max(unten.BSB, 0.0);
    unten.DO2 = std::max(unten.DO2, 0.0);
  } else {
    // No water, no loads.
    unten.BSB = unten.NH4 = unten.AFS = unten.CSB = unten.ALK = unten.PH = unten.GK = unten.DO2 = 0;
  }
  if (FZielParent) unten.AddAllTo(FZielParent->Zustand.Aktuell, ph);

  // O2 and un-ionised ammonia at the point.
  O2AnDerEinleitung(oben.Q / s, oben.cBSB(), oben.cDO2(), sim);
  eO2 = oben.Q * AbflussParameter.cO2;
  oben.NeuerPH();
  eNH3 = oben.NH3(sim.pks);

  if (sim.IsBilanzZeit) {
    const bool ereignisschritt = sim.HasAbfluss || sim.WarAbfluss;
    Bilanzen(sim, ereignisschritt, ov > 0);
    if (ereignisschritt) Extreme(sim, Z);
    Ereignis(sim, Z);
  }
}

void TEST::Bilanzen(const TSimulation& sim, bool ereignisschritt, bool ueberlauf) {
  const double thr = sim.dt_min / 1000;
  auto buche = [ereignisschritt](TState& st) {
    st.Aktuell.AufsummierenIn(st.Jahr);
    if (ereignisschritt) st.Aktuell.AufsummierenIn(st.Ereignis);
  };
  const bool nam = sim.Netz && sim.Netz->NAM;
  if (!nam && BUE.Zustand.Aktuell.Q > 0) buche(BUE.Zustand);
  if (Zustand.Aktuell.Q > 0) buche(Zustand);
  buche(Drossel);
  if (ueberlauf) {
    buche(KUE.Zustand);
    if (ereignisschritt) {
      KUE.Zustand.Jahr.Stunden += sim.dt_h;
      KUE.Zustand.Ereignis.Stunden += sim.dt_h;
    }
  }
  if (ereignisschritt) {
    for (TState* st : {&Drossel, &Zustand})
      if (st->Aktuell.QR > thr) {
        st->Ereignis.Stunden += sim.dt_h;
        st->Jahr.Stunden += sim.dt_h;
      }
  }
}

void TEST::Extreme(const TSimulation& sim, double Z) {
  const double nr = static_cast<double>(sim.SystemEreignisse.size() + 1);
  const double kehrQ = Kehrwert(Mischreaktor_oben.Q);
  TFrachten& m = MinMax.Jahr;
  TFrachten& e = EKrit.Jahr;
  const double q = Z / sim.dt_sec_div_1000;
  if (q > m.Q) {
    m.Q = q;
    e.Q = nr;
  }
  const double cO2 = eO2 * kehrQ;
  if (cO2 < m.BSB) {
    m.BSB = cO2;
    e.BSB = nr;
  }
  const double cNH3 = eNH3 * kehrQ;
  if (cNH3 > m.NH4) {
    m.NH4 = cNH3;
    e.NH4 = nr;
  }
  const double cAFS = Mischreaktor_oben.cAFS();
  if (cAFS > m.AFS) {
    m.AFS = cAFS;
    e.AFS = nr;
  }
}

void TEST::Ereignis(const TSimulation& sim, double Z) {
  const double thr = sim.dt_min / 1000;
  const TFrachten& oben = Mischreaktor_oben;
  if (oben.QR > thr && sim.Zeit > sim.Start + kZeitEps) CreateGewaesserEreignis(sim.Zeit);
  if (!GewaesserEreignis) return;
  TGewaesserereignis& g = *GewaesserEreignis;
  g.SetVal(oben.Q, eO2, eNH3, oben.AFS, oben.QR, sim.Zeit, thr);
  g.QE = std::max(g.QE, Z / sim.dt_sec_div_1000);
}

void TEST::CreateGewaesserEreignis(TDateTime zeit) {
  if (!GewaesserEreignis) {
    GewaesserEreignis.emplace();
    GewaesserEreignis->Start = zeit;
  }
  GewaesserEreignis->Ende = zeit;
}

bool TEST::CheckEreignis(const TSimulation& sim, TGewaesserEreignisZeile& zeile) {
  if (!GewaesserEreignis) return false;
  TGewaesserereignis& g = *GewaesserEreignis;
  if (sim.Zeit - g.Ende < kGewaesserEreignisPause - kZeitEps) return false;
  // An event whose rain water stopped only after the balance period has
  // seen no step without it: its values so far are those up to the last
  // rain-water step.
  if (!g.Pause) g.PauseMerken();
  g.Dauer = (g.Ende - g.Start) * 24;
  zeile.Nr = static_cast<int>(sim.SystemEreignisse.size());
  zeile.Name = Name();
  zeile.Start = g.Start;
  zeile.Ende = g.Ende;
  zeile.Dauer = g.Dauer;
  zeile.MAXQ = HQ1ist() + g.QE;
  zeile.QE = g.QE;
  zeile.MinO2 = g.EwO2_vorPause;
  zeile.MaxNH3 = g.EwNH3_vorPause;
  zeile.MaxAFS = g.EwAFS_vorPause;
  const double k = Kehrwert(g.Zeitschritte_vorPause);
  zeile.MedO2_kurz = g.Summe_cO2_vorPause * k;
  zeile.MedNH3_kurz = g.Summe_cNH3_vorPause * k;
  zeile.MedAFS_kurz = g.Summe_cAFS_vorPause * k;
  GewaesserEreignis.reset();
  return true;
}

void TEST::SimSchrittEnde(TSimulation& sim) {
  (void)sim;
  // Cleared whatever its flow: loads handed on without water must not
  // gather from step to step.
  Zustand.OldQZu = Zustand.Aktuell.Q;
  Zustand.Aktuell.Clear();
}

void TEST::SimAbschluss(TSimulation& sim) {
  // The storage at the point (the structure's part), the water in the reach.
  TBauwerk::SimAbschluss(sim);
  sim.SystemInhalt += KMInhalt + Mischreaktor_Stoffe.Q;
}

}  // namespace t21
