#include "model/structures.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/catchments.h"
#include "model/format.h"
#include "model/net.h"
#include "model/simulation.h"

namespace t21 {

// The design steps below are closed formulas without any iteration; the only
// loop is the flow split over the ten rain-runoff rates (kAnzahlQr), so every
// computation ends after a fixed number of steps whatever the input.

namespace {

// Larger and smaller of two values; a not-a-number in the first argument
// gives the second, so that a bound holds against a failed computation.
double Groesser(double a, double b) {
  return a > b ? a : b;
}
double Kleiner(double a, double b) {
  return a < b ? a : b;
}

// Sets q to the flow myQ with the loads of p scaled by f; the oxygen deficit
// is given separately.
void Anteil(TParameter& q, const TParameter& p, double myQ, double f, double do2) {
  q.Q = myQ;
  q.BSB = f * p.BSB;
  q.NH4 = f * p.NH4;
  q.AFS = f * p.AFS;
  q.CSB = f * p.CSB;
  q.ALK = f * p.ALK;
  q.PH = f * p.PH;
  q.GK = f * p.GK;
  q.DO2 = do2;
}

// Design list rows.
TBemessungszeile Abschnitt(const char* titel) {
  return {titel, "", "", ""};
}
TBemessungszeile Zeile(const char* bezeichner, const char* groesse, const char* dimension,
                       double wert, int nachkomma) {
  return {bezeichner, groesse, ZahlText(wert, nachkomma), dimension};
}

// Behind a structure all rain runoff counts as no longer reducible.
void RegenabflussUnabminderbar(TSUM& s) {
  s.UQR = s.UQR + s.QR;
  s.QR = 0;
}

}  // namespace

// ---------------------------------------------------------------- TBauwerk

void TBauwerk::SetData(double myQD, double myMaxQKUE, std::int32_t myVolumen, bool myNebenschluss,
                       double myAsed, double myDO2BUE, double myDO2KUE, double myrkrit,
                       double myxDI) {
  QD = myQD;
  MaxQKUE = myMaxQKUE;
  Volumen = myVolumen;
  Nebenschluss = myNebenschluss;
  Ased = myAsed;
  DO2BUE = myDO2BUE;
  Do2KUE = myDO2KUE;
  rkrit = myrkrit;
  xDI = myxDI;
  QDaktiv = myQD;
}

void TBauwerk::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  const auto* b = dynamic_cast<const TBauwerk*>(&e);
  if (!b) return;
  QD = b->QD;
  QDaktiv = b->QDaktiv;
  MaxQKUE = b->MaxQKUE;
  Volumen = b->Volumen;
  Nebenschluss = b->Nebenschluss;
  rkrit = b->rkrit;
  Ased = b->Ased;
  DO2BUE = b->DO2BUE;
  Do2KUE = b->Do2KUE;
  xDI = b->xDI;
}

// ------------------------------------------------------ TBauwerk, simulation

namespace {

TElement* ElementAn(const TCadShape* s) {
  return s ? dynamic_cast<TElement*>(s->Data()) : nullptr;
}

void Stunden(TState& z, double dt_h) {
  z.Ereignis.Stunden += dt_h;
  z.Jahr.Stunden += dt_h;
}

// Adds a step set to an accumulator. A set whose flow is 0 has not been
// touched since it was cleared, so adding it would change nothing.
void Aufnehmen(const TFrachten& a, TFrachten& d) {
  if (a.Q != 0) a.AufsummierenIn(d);
}

uint64_t Bits(double x) {
  return std::bit_cast<uint64_t>(x);
}

// Whether two sets have the same bits (of every field, the pH as stored).
inline bool GleicheBits(const TFrachten& a, const TFrachten& b) {
#if defined(__SSE2__)
  static_assert(kFrachtenFelder % 16 == 0);
  const auto* x = reinterpret_cast<const unsigned char*>(&a);
  const auto* y = reinterpret_cast<const unsigned char*>(&b);
  __m128i d = _mm_setzero_si128();
  for (size_t i = 0; i < kFrachtenFelder; i += 16)
    d = _mm_or_si128(d, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + i))));
  return _mm_movemask_epi8(_mm_cmpeq_epi8(d, _mm_setzero_si128())) == 0xFFFF;
#else
  return std::memcmp(&a, &b, kFrachtenFelder) == 0;
#endif
}

// What SimSpeicherNachtrag does for a structure stepping beside others.
constexpr unsigned char kAufschubParent = 1, kAufschubKUE = 2, kAufschubGEW = 4,
                        kAufschubEreignis = 8;

}  // namespace

void TBauwerk::SimCalcDrossel(TSimulation&, double) {}

void TBauwerk::SimAbsetzen(TSimulation&, double) {}

void TBauwerk::SimVorbereiten(TSimulation& sim) {
  TElement::SimVorbereiten(sim);
  Drossel.Clear();
  Speicher.Clear();
  Drossel.OldQZu = Speicher.OldQZu = 0;
  for (TElement* t : {&KUE, &BUE}) {
    t->Zustand.Clear();
    t->Zustand.OldQZu = 0;
  }
  QDaktiv = QD;
  Sediment = 0;
  FAufschub = 0;
  FAbgabeKUE = FAbgabeGEW = FEntlastet = FStundeBUE = FStundeKUE = false;
  FWiederholung.Ruhend = false;
  FTankPHLast = 0;
  FTankQ = FTankALKLast = 0;
  FZielParent = Parent();
  FZielKUE = Owner ? ElementAn(Owner->KUE()) : nullptr;
  FZielGEW = Owner ? ElementAn(Owner->GEW()) : nullptr;
}

void TBauwerk::SimAbschluss(TSimulation& sim) {
  sim.SystemInhalt += Speicher.Aktuell.Q;
}

void TBauwerk::SimScript(TSimulation& sim) {
  if (ScriptActive && sim.Script) sim.Script->DoScript(*this, sim);
}

void TBauwerk::SimAufschieben(bool parent, bool kue, bool gew) {
  FAufschub = kAufschubEreignis;
  if (parent) FAufschub |= kAufschubParent;
  if (kue) FAufschub |= kAufschubKUE;
  if (gew) FAufschub |= kAufschubGEW;
}

void TBauwerk::SimSpeicherNachtrag(TSimulation& sim) {
  SimAbgeben(sim, true);
  SimEreignisBuchen(sim);
}

void TBauwerk::SimAbgeben(TSimulation& sim, bool aufgeschobene) {
  const bool ph = sim.PHFuehren;
  const TFrachten& dr = Drossel.Aktuell;
  auto hier = [&](unsigned char bit) { return ((FAufschub & bit) != 0) == aufgeschobene; };
  if (FAbgabeGEW && FZielGEW && hier(kAufschubGEW))
    BUE.Zustand.Aktuell.AddAllTo(FZielGEW->Zustand.Aktuell, ph);
  if (dr.Q > 0 && FZielParent && hier(kAufschubParent))
    dr.AddAllTo(FZielParent->Zustand.Aktuell, ph);
  if (FAbgabeKUE && FZielKUE && hier(kAufschubKUE))
    KUE.Zustand.Aktuell.AddAllTo(FZielKUE->Zustand.Aktuell, ph);
}

void TBauwerk::SimEreignisBuchen(TSimulation& sim) {
  if (!sim.IsBilanzZeit || !(sim.HasAbfluss || sim.WarAbfluss)) return;
  const TFrachten& zu = Zustand.Aktuell;
  const TFrachten& dr = Drossel.Aktuell;
  const double V = zu.Q;
  if (V > 0) zu.AufsummierenIn(Zustand.Ereignis);
  if (std::fabs(V - zu.QT()) > sim.dt_min / 1000) Stunden(Zustand, sim.dt_h);
  if (dr.QT() < dr.Q) Stunden(Drossel, sim.dt_h);
}

void TBauwerk::SimSpeicherSchritt(TSimulation& sim, bool tankPH, bool wiederholbar) {
  const double thr = sim.dt_min / 1000;
  TFrachten& zu = Zustand.Aktuell;
  TFrachten& sp = Speicher.Aktuell;
  TFrachten& dr = Drossel.Aktuell;
  TFrachten& kue = KUE.Zustand.Aktuell;
  TFrachten& bue = BUE.Zustand.Aktuell;
  const double V = zu.Q;
  if (std::fabs(V - zu.QT() + sp.Q) > thr) sim.HasAbfluss = true;

  // Most steps of a tank find it empty (or full) with the inflow of the
  // step before: a step with the inflow, tank, throttle and settled solids
  // of a step that left its tank and solids as it found them gives that
  // step's outflows again. They are still in the throttle and overflow
  // sets, which nothing else writes.
  TWiederholung& w = FWiederholung;
  wiederholbar = wiederholbar && !(ScriptActive && sim.Script);
  if (!(wiederholbar && w.Ruhend && Bits(QDaktiv) == Bits(w.QDaktiv) &&
        Bits(Sediment) == Bits(w.Sediment) && GleicheBits(zu, w.Zu) &&
        GleicheBits(sp, w.Speicher))) {
    if (wiederholbar) {
      w.Zu = zu;
      w.Speicher = sp;
      w.QDaktiv = QDaktiv;
      w.Sediment = Sediment;
    }
    SimSpeicherRechnen(sim, tankPH);
    w.Ruhend = wiederholbar && Bits(Sediment) == Bits(w.Sediment) && GleicheBits(sp, w.Speicher);
  }

  // Hand-overs, in the order the sets were made (the three links may lead to
  // the same element); a part of the network stepping beside others leaves
  // those out of it to SimSpeicherNachtrag.
  SimAbgeben(sim, false);
  if (FEntlastet) sim.Entlastung = true;

  if (!sim.IsBilanzZeit) return;
  if (V > 0) zu.AufsummierenIn(Zustand.Jahr);
  Aufnehmen(bue, BUE.Zustand.Ereignis);
  Aufnehmen(bue, BUE.Zustand.Jahr);
  if (FStundeBUE) Stunden(BUE.Zustand, sim.dt_h);
  if (dr.Q > 0) {
    // Between events nothing reads the throttle's event loads: the event's
    // start sets them anew from its first step and keeps only the hours.
    if (!wiederholbar || sim.WarRegen || dr.Stunden != 0) dr.AufsummierenIn(Drossel.Ereignis);
    dr.AufsummierenIn(Drossel.Jahr);
  }
  Aufnehmen(kue, KUE.Zustand.Ereignis);
  Aufnehmen(kue, KUE.Zustand.Jahr);
  if (FStundeKUE) Stunden(KUE.Zustand, sim.dt_h);
  // The totals that depend on the step's runoff elsewhere; a part of the
  // network stepping beside others takes them in SimSpeicherNachtrag.
  if (!(FAufschub & kAufschubEreignis)) SimEreignisBuchen(sim);
}

void TBauwerk::SimSpeicherRechnen(TSimulation& sim, bool tankPH) {
  const bool ph = sim.PHFuehren;
  const bool phT = ph || tankPH;
  const double s = sim.dt_sec_div_1000;
  const double thr = sim.dt_min / 1000;
  TFrachten& zu = Zustand.Aktuell;
  TFrachten& sp = Speicher.Aktuell;
  TFrachten& dr = Drossel.Aktuell;
  TFrachten& kue = KUE.Zustand.Aktuell;
  TFrachten& bue = BUE.Zustand.Aktuell;
  const double V = zu.Q;
  const double kv = Kehrwert(V);

  double QDs = QDaktiv * s;
  if (dr.Q != 0) dr.Clear();
  if (kue.Q != 0) kue.Clear();
  if (bue.Q != 0) bue.Clear();

  // Side line: the throttle takes the inflow first.
  const double qn = Nebenschluss ? std::min(V, QDs) : 0.0;
  if (qn * kv > 0) dr.AddAll(qn * kv, zu, ph);

  // The script sees the tank as it would be with this step's inflow; the
  // step then uses the mean of the old and the new throttle.
  if (ScriptActive && sim.Script) {
    const double vorher = sp.Q;
    const double mit = vorher + V - qn;
    sp.Q = mit;
    sim.Script->DoScript(*this, sim);
    QDs = (QDaktiv * s + QDs) / 2;
    sp.Q = sp.Q == mit ? vorher : sp.Q - V + qn;
  }

  // Tank overflow at the inlet: what neither the throttle, the clarifier
  // overflow nor the free volume can take, with the inflow's concentrations.
  const double u = std::max(V - QDs - MaxQKUE * s - Volumen + sp.Q, 0.0);
  FAbgabeGEW = u * kv > 0;
  if (FAbgabeGEW) bue.AddAll(u * kv, zu, ph);
  FStundeBUE = u * kv > 1e-4;

  const double g = std::max((V - u - qn) * kv, 0.0);
  if (g > 0) sp.AddAll(g, zu, phT);

  // Throttle from the tank.
  const double S = sp.Q;
  const double h = std::min(QDs - qn, S);
  const double r = std::max(h * Kehrwert(S), 0.0);
  if (r > 0) {
    dr.AddAll(r, sp, ph);
    FTankPHLast = sp.PH;
    FTankQ = sp.Q;
    FTankALKLast = sp.ALK;
    sp.MulAll(1 - r, phT);
    SimCalcDrossel(sim, r);
  }
  // Solids settled in the previous step leave with the throttle flow.
  if (Sediment > 0) {
    dr.AFS += Sediment;
    Sediment = 0;
  }

  // Clarifier overflow: what lies above the volume after the throttle,
  // with the tank's concentrations.
  const double S2 = sp.Q;
  const double d = std::max(S2 - Volumen, 0.0);
  const double o = std::min(d * Kehrwert(S2), 1.0);
  FAbgabeKUE = o > 0;
  if (FAbgabeKUE) {
    kue.AddAll(o, sp, ph);
    sp.MulAll(1 - o, phT);
    SimAbsetzen(sim, d);
  }
  FEntlastet = d + u > thr;
  FStundeKUE = d > thr;
}

// -------------------------------------------------------------------- TEBW

void TEBW::SimCalc(TSimulation& sim) {
  SimSpeicherSchritt(sim, false, !sim.PHFuehren);
}

void TEBW::Calc(const TRechnung& r) {
  const TNET& N = r.Netz;
  const TSUM& I = r.Zufluss.SUM;
  FEHLER.clear();

  // The ten rain-runoff cases: throttle first, then the overflow after the
  // tank up to MaxQKUE, the rest over the tank overflow.
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& P = r.Zufluss.AB[i];
    const double kq = Kehrwert(P.Q);
    const double qd = Kleiner(QD, P.Q);
    Anteil(AB[i], P, qd, qd * kq, qd * kq * P.DO2);
    double qk = Kleiner(P.Q - qd, MaxQKUE);
    if (qk < 0) qk = 0;
    Anteil(KUE.AB[i], P, qk, qk * kq, qk * N.cO2sat * Do2KUE / 100);
    const double qb = Groesser(P.Q - qd - qk, 0);
    Anteil(BUE.AB[i], P, qb, qb * kq, qb * N.cO2sat * DO2BUE / 100);
  }

  // Sums of the throttled outflow: all areas, the dry-weather flow up to the
  // throttle, then the rain flows filled up to the throttle.
  TSUM& S = SUM;
  S.E = I.E;
  S.SUMAE = I.SUMAE;
  S.SUMAEB = I.SUMAEB;
  S.SumAEb1 = I.SumAEb1;
  S.SumAEb2 = I.SumAEb2;
  S.SumAEb3 = I.SumAEb3;
  S.SumAEbxfD = I.SumAEbxfD;
  S.AExNG = I.AExNG;
  S.LTF = I.LTF;
  S.AU = 0;
  const double c = Kleiner(QD * Kehrwert(I.QT()), 1);
  S.QH = c * I.QH;
  S.QG = c * I.QG;
  S.QF = c * I.QF;
  S.QH24 = c * I.QH24;
  S.QG24 = c * I.QG24;
  double rest = QD - S.QT24();
  S.QRT24 = Kleiner(I.QRT24, rest);
  rest = rest - S.QRT24;
  S.UQR = Kleiner(I.UQR, rest);
  rest = rest - S.UQR;
  S.QR = Kleiner(I.QR, rest);

  // Sums of the overflow after the tank, up to MaxQKUE.
  TSUM& K = KUE.SUM;
  const double w = (1 - c) * Kleiner(MaxQKUE * Kehrwert(I.QT() - S.QT()), 1);
  K.QH = w * I.QH;
  K.QG = w * I.QG;
  K.QF = w * I.QF;
  K.QH24 = w * I.QH24;
  K.QG24 = w * I.QG24;
  K.AExNG = 0;
  K.SUMTF = I.SUMTF;
  K.AU = 0;
  rest = MaxQKUE - K.QT24();
  K.QRT24 = Kleiner(I.QRT24 - S.QRT24, rest);
  rest = rest - K.QRT24;
  K.UQR = Kleiner(I.UQR - S.UQR, rest);
  rest = rest - K.UQR;
  K.QR = Kleiner(I.QR - S.QR, rest);

  // Sums of the tank overflow: what is left.
  TSUM& B = BUE.SUM;
  const double b = Groesser(1 - c - w, 0);
  B.QH = b * I.QH;
  B.QG = b * I.QG;
  B.QF = b * I.QF;
  B.QH24 = b * I.QH24;
  B.QG24 = b * I.QG24;
  B.AExNG = 0;
  B.SUMTF = I.SUMTF;
  B.QRT24 = Groesser(I.QRT24 - S.QRT24 - K.QRT24, 0);
  B.UQR = Groesser(I.UQR - S.UQR - K.UQR, 0);
  B.QR = Groesser(I.QR - S.QR - K.QR, 0);
  B.AU = 0;

  RegenabflussUnabminderbar(B);
  RegenabflussUnabminderbar(K);
  RegenabflussUnabminderbar(S);

  Bemessen(r);
}

void TEBW::Bemessen(const TRechnung&) {}

std::vector<TBemessungszeile> TEBW::Bemessungsliste(const TRechnung&) const {
  return {};
}

// -------------------------------------------------------------------- TRUB

void TRUB::Bemessen(const TRechnung& r) {
  const TNET& N = r.Netz;
  const TSUM& I = r.Zufluss.SUM;
  HNa = N.HNA;
  AEb = I.SUMAEB;
  fD = I.SumAEbxfD * Kehrwert(AEb);
  TF = I.LTF;
  NGM = I.NGm();
  QT24 = I.QT24();
  QTx = I.QT();
  QRT24 = I.QRT24;
  ctCSB = r.Zufluss.AB[0].cCSB();
  AEB1 = I.SumAEb1;
  AEB2 = I.SumAEb2;
  AEb3 = I.SumAEb3;
  Vvor = I.SUMVerf;
  n = (QD - I.QF) * Kehrwert(I.QS());
  // Without any inflow the volumes are zero.
  const double a = I.QT24() + 15 * I.SUMAEB > 0 ? 1.0 : 0.0;

  QR = Groesser((QD - QT24 - QRT24) * a, 0);
  _qr = QR * Kehrwert(AEb);
  _qt24 = QT24 * Kehrwert(AEb);
  af = _qr >= 2 ? 1.0 : Groesser(50 / (TF + 100) + 0.5, 0.885);
  QRE = (3 * AEb * fD + 3.2 * QR) * af;
  m = (QRE + QRT24) * Kehrwert(QT24);
  m_erf = Groesser((ctCSB - 180) / 60, 7);
  acCSB = Groesser(ctCSB / 600, 1);
  ah = Kleiner(Groesser(HNa / 800 - 1, -0.25), 0.25);
  xa = 24 * QT24 * Kehrwert(QTx);
  dI = xDI > 0 ? xDI : (2 * (NGM - 1) + 1) * 0.001;
  tau = 430 * std::pow(_qt24 * Kehrwert(fD), 0.45) * dI;
  const double k = 24 * Kehrwert(xa);
  aa = Groesser(k * k * (2 - tau) / 10, 0);
  cbCSB = 600 * (acCSB + ah + aa);
  brAFS = 280 * AEB1 * Kehrwert(AEb) + 530 * AEB2 * Kehrwert(AEb) + 760 * AEb3 * Kehrwert(AEb);
  arAFS = Groesser(brAFS / 478, 1);
  craCSB = arAFS * N.crCSB;
  ceCSB = (craCSB * m + cbCSB) * Kehrwert(m + 1);
  e0 = 3700 * Kehrwert(ceCSB - N.ckCSB);
  const double M = _qr * Kehrwert(fD);
  H1 = (25 * M + 4000) * Kehrwert(M + 0.551);
  H2 = (13.5 * M + 36.8) * Kehrwert(M + 0.5);
  VS = a * Groesser(H1 * Kehrwert(e0 + 6) - H2, 5);
  Vges = a * VS * AEb * fD;
  Verf = Vges - Vvor;
  Ve = e0 * 560 * 0.1;
  Vrk = (100 - e0) * 560 * 0.1;
  cbAFS = a * (ah + 1 + aa) * N.ctAFS63;
  crAFS = brAFS / 5.6;
  ceAFS = a * (crAFS * m + cbAFS) * Kehrwert(m + 1);
  FrkAFS = N.ckAFS63 * Vrk / 1000;
  FeAFS = Ve * ceAFS / 1000;
  FgesAFS = FeAFS + FrkAFS;
  FrkCSB = Vrk * N.ckCSB / 1000;
  // The overflow COD uses the fixed rain-water concentration of 107 mg/l.
  FeCSB = Ve * (107 * m + cbCSB) * Kehrwert(m + 1) / 1000;
  FgesCSB = FeCSB + FrkCSB;

  SUM.SUMVerf = I.SUMVerf + Verf;
  SUM.SumVolumen = I.SumVolumen + Volumen;
  SUM.SUMQD = QD;
  QRKRIT = 15 * I.AEB;
  QKRIT = QRKRIT + I.QT24DIREKT + I.SUMQD;

  SUM.AFS63e = I.BAFS63() * e0 / 100;
  SUM.AFS63r = I.BAFS63() * (1 - e0 / 100);
  BE = SUM.AFS63e - I.AFS63e;
  if (MaxQKUE > 0) {
    KUE.SUM.AFS63r = 0.9 * BE;
    BUE.SUM.AFS63r = 0.1 * BE;
  } else {
    KUE.SUM.AFS63r = 0;
    BUE.SUM.AFS63r = BE;
  }

  if (_qr < 0.2)
    FEHLER.emplace_back(kQrKlein);
  else if (_qr > 2)
    FEHLER.emplace_back(kQrGross);
  if (e0 < 25)
    FEHLER.emplace_back(kE0Klein);
  else if (e0 > 75)
    FEHLER.emplace_back(kE0Gross);
  if (VS > 40) FEHLER.emplace_back(kVsGross);
  if (m_erf > m) FEHLER.emplace_back(kMKlein);
}

std::vector<TBemessungszeile> TRUB::Bemessungsliste(const TRechnung& r) const {
  const TNET& N = r.Netz;
  return {
      Abschnitt("----- Ergebnisse -----"),
      Zeile("zulässige Entlastungsrate", "e_0,CSB", "%", e0, 2),
      Zeile("spezifisches Speichervolumen", "V_s", "cbm/ha", VS, 2),
      Zeile("erforderliches Gesamtspeichervolumen", "V_ges", "cbm", Vges, 2),
      Zeile("Speichervolumen Vorentlastungen", "V_vor", "cbm", Vvor, 2),
      Zeile("erforderliches lokales Speichervolumen", "V_erf", "cbm", Verf, 2),
      Abschnitt("----- Frachtbilanz -----"),
      Zeile("AFS63-Bemessungskonzentration", "C_b,AFS63", "mg/l", cbAFS, 2),
      Zeile("AFS63-Konzentration im Regenwasserabfluss", "C_R,AFS63", "mg/l", crAFS, 2),
      Zeile("AFS63-Entlastungskonzentration", "C_e,AFS63", "mg/l", ceAFS, 2),
      Zeile("spez. Entlastungsvolumen", "V_e", "cbm/ha", Ve, 2),
      Zeile("spez. RW-Volumen im KA-Ablauf", "V_R,K", "cbm/ha", Vrk, 2),
      Zeile("spez. AFS63-Stoffaustrag Regenwasser Kläranlage", "F_R,K,AFS63", "kg/ha", FrkAFS, 2),
      Zeile("spez. AFS63-Stoffaustrag Regenentlastungen", "F_e,AFS63", "kg/ha", FeAFS, 2),
      Zeile("gesamter spez. AFS63-Frachtaustrag", "F_R,aus,AFS63", "kg/ha", FgesAFS, 2),
      Zeile("spez. CSB-Stoffaustrag Regenwasser Kläranlage", "F_R,K,CSB", "kg/ha", FrkCSB, 2),
      Zeile("spez. CSB-Stoffaustrag Regenentlastungen", "F_e,CSB", "kg/ha", FeCSB, 2),
      Zeile("gesamter spez. CSB-Frachtaustrag", "F_R,aus,CSB", "kg/ha", FgesCSB, 2),
      Abschnitt("----- Eingangsgrößen -----"),
      Zeile("mittlere Jahresniederschlagshöhe", "h_N,aM", "mm", N.HNA, 2),
      Zeile("angeschlossene befestigte Gesamtfläche", "A_b,a", "ha", AEb, 2),
      Zeile("Abminderungsfaktor durchlässige Teilflächen in A_b,a", "f_D", "-", fD, 2),
      Zeile("längste Ffließzeit im Gesamtgebiet", "t_f", "min", TF, 2),
      Zeile("mittlere Geländeneigungsgruppe", "NG_m", "-", NGM, 2),
      Zeile("längengewichtetes Produkt dI", "dI", "-", dI, 4),
      Zeile("Mischwasserabfluss zur Kläranlage", "Q_M", "l/s", QD, 2),
      Zeile("Trockenwetterabfluss, 24-h-Mittel", "Q_T,aM", "l/s", QT24, 2),
      Zeile("Trockenwetterabfluss, Tagesspitze", "Q_T", "l/s", QTx, 2),
      Zeile("Regenabfluss aus Trenngebieten", "Q_R,Tr", "l/s", QRT24, 2),
      Zeile("mittlere CSB-Konzentration im Trockenwetterabfluss", "C_T,aM,CSB", "mg/l", ctCSB, 2),
      Zeile("Fläche der Belastungskategorie I (gering belastet)", "A_b,a,I", "ha", AEB1, 2),
      Zeile("Fläche der Belastungskategorie II (mäßig belastet)", "A_b,a,II", "ha", AEB2, 2),
      Zeile("Fläche der Belastungskategorie III (stark belastet)", "A_b,a,III", "ha", AEb3, 2),
      Abschnitt("----- Konstanten -----"),
      Zeile("CSB-Konzentration im Regenwasserabfluss", "C_R,CSB", "mg/l", N.crCSB, 2),
      Zeile("CSB-Konzentration im Kläranlagenablauf", "C_K,CSB", "mg/l", N.ckCSB, 2),
      Zeile("mittlere AFS63-Konzentration im TW-Abfluss", "C_T,AFS63", "mg/l", N.ctAFS63, 2),
      Zeile("AFS63-Konzentration im Kläranlagenablauf", "C_K,AFS63", "mg/l", N.ckAFS63, 2),
      Abschnitt("----- Bemessung -----"),
      Zeile("RW-Abfluss, Drosselabfluss zur Kläranlage, 24-h-Mittel", "Q_R,Dr", "l/s", QR, 2),
      Zeile("Regenabflussspende, Drosselabfluss zur Kläranlage", "q_R,Dr", "l/(s*ha)", _qr, 2),
      Zeile("TW-Abflussspende aus Gesamtgebiet", "q_T,aM", "l/(s*ha)", _qt24, 2),
      Zeile("Fließzeitabminderung", "a_f", "-", af, 2),
      Zeile("mittlerer Regenabfluss bei Entlastung", "Q_R,e", "l/s", QRE, 2),
      Zeile("mittleres Mischverhältnis", "m", "-", m, 2),
      Zeile("Einflusswert CSB-TW-Konzentration", "a_C", "-", acCSB, 2),
      Zeile("Einflusswert Jahresniederschlag", "a_h", "-", ah, 4),
      Zeile("x_a-Wert für Kanalablagerungen", "x_a", "-", xa, 4),
      Zeile("dI-Wert für Kanalablagerungen", "dI", "m", dI, 4),
      Zeile("tau-Wert für Kanalablagerungen", "tau", "-", tau, 4),
      Zeile("Einflusswert Kanalablagerungen", "a_a", "-", aa, 4),
      Zeile("Bemessungskonzentration CSB", "C_b,CSB", "mg/l", cbCSB, 2),
      Zeile("Flächenspezifischer Stoffabtrag AFS63", "b_R,AFS63", "kg/(ha*a)", brAFS, 2),
      Zeile("Konzentration AFS63 im Regenwasserabfluss", "C_R,AFS63", "mg/l", crAFS, 2),
      Zeile("Einflusswert AFS63-Fracht im Regenwasserabfluss", "a_R,AFS63", "-", arAFS, 2),
      Zeile("Angepasste Konzentration C_R,a im RW-Abfluss", "C_R,a,CSB", "mg/l", craCSB, 2),
      Zeile("rechnerische CSB-Entlastungskonzentration", "C_e,CSB", "mg/l", ceCSB, 2),
      Zeile("Hilfsgröße 1", "H1", "-", H1, 2),
      Zeile("Hilfsgröße 2", "H2", "-", H2, 2),
  };
}

void TRUB::AssignValues(const TElement& e) {
  TBauwerk::AssignValues(e);
  if (const auto* b = dynamic_cast<const TRUB*>(&e)) dI = b->dI;
}

// --------------------------------------------------------------------- TRU

void TRU::Bemessen(const TRechnung& r) {
  const TSUM& I = r.Zufluss.SUM;
  Rkrit = Groesser(1800 * Kehrwert(I.SUMTF + 120), 7.5);
  QRKRIT = Rkrit * I.AEB;
  QKRIT = QRKRIT + I.QT24DIREKT + I.SUMQD;
  ct = r.Zufluss.AB[0].CSB * Kehrwert(I.QT24());
  m = (QD - I.QT24()) * Kehrwert(I.QT24());
  m_erf = Groesser((ct - 180) / 60, 7);
  QD_erf = Groesser(I.QT24() * (m_erf + 1), QKRIT);

  SUM.SUMQD = QD;
  // An overflow stores nothing: the volumes required and built upstream pass
  // on unchanged, so that a tank further down still counts them.
  SUM.SUMVerf = I.SUMVerf;
  SUM.SumVolumen = I.SumVolumen;
  // Fixed overflow rate of 10 %.
  SUM.AFS63e = I.BAFS63() * 10 / 100;
  SUM.AFS63r = I.BAFS63() * (1 - 10.0 / 100);
  BE = SUM.AFS63e - I.AFS63e;
  KUE.SUM.AFS63r = BE;

  if (m_erf > m)
    FEHLER.push_back("m = " + ZahlText(m, 2, false) + " < m erf = " + ZahlText(m_erf, 2, false));
  if (QKRIT > QD)
    FEHLER.push_back("QD = " + ZahlText(QD, 2, false) + " < QKRIT = " + ZahlText(QKRIT, 2, false));
  if (QD_erf > QD)
    FEHLER.push_back("QD = " + ZahlText(QD, 2, false) +
                     " < QD erf = " + ZahlText(QD_erf, 2, false));
}

std::vector<TBemessungszeile> TRU::Bemessungsliste(const TRechnung&) const {
  return {
      Zeile("krit. Regenabflussspende", "r_krit", "l/(s*ha)", Rkrit, 2),
      Zeile("krit. Regenabfluss", "QR_krit", "l/s", QRKRIT, 2),
      Zeile("krit. Abfluss", "Q_krit", "l/s", QKRIT, 2),
      Zeile("CSB-Zulaufkonzentration", "cT", "mg/l", ct, 2),
      Zeile("Mischungsverhältnis", "m", "-", m, 2),
      Zeile("erforderliches Mischungsverhältnis", "m_erf.", "-", m_erf, 2),
      Zeile("erforderlicher Drosselabfluss", "QD_erf", "l/s", QD_erf, 2),
      Zeile("Drosselabfluss", "QD", "l/s", QD, 2),
      Zeile("kumulierte AFS63-Entlastungsfracht", "AFS63e", "kg", SUM.AFS63e, 2),
      Zeile("lokale AFS63-Entlastungsfracht", "BEe", "kg", BE, 2),
      Zeile("AFS63-Drosselfracht", "AFS63r", "kg", SUM.AFS63r, 2),
      Zeile("Drosselfracht", "AFS63r", "kg", SUM.AFS63r, 2),
  };
}

void TRU::SimCalc(TSimulation& sim) {
  const double s = sim.dt_sec_div_1000;
  const double thr = sim.dt_min / 1000;
  TFrachten& zu = Zustand.Aktuell;
  TFrachten& dr = Drossel.Aktuell;
  TFrachten& kue = KUE.Zustand.Aktuell;
  const double V = zu.Q;
  const double kv = Kehrwert(V);

  if (dr.Q > 0) dr.Clear();
  if (kue.Q > 0) kue.Clear();
  if (std::fabs(V - zu.QT()) > thr) sim.HasAbfluss = true;

  // The throttle of the step is the mean of the one before and the one the
  // script leaves.
  const double q0 = QDaktiv;
  SimScript(sim);
  const double f = std::min((QDaktiv * s + q0 * s) / 2 * kv, 1.0);
  if (f > 0) {
    dr.AddAll(f, zu, sim.PHFuehren);
    if (FZielParent) dr.AddAllTo(FZielParent->Zustand.Aktuell, sim.PHFuehren);
  }
  const double e = std::max(V - dr.Q, 0.0);
  const double ov = std::min(e * kv, 1.0);
  if (ov > 0) {
    sim.Entlastung = true;
    kue.AddAll(ov, zu, sim.PHFuehren);
    if (FZielKUE) kue.AddAllTo(FZielKUE->Zustand.Aktuell, sim.PHFuehren);
  }

  if (!sim.IsBilanzZeit) return;
  const bool ereignis = sim.HasAbfluss || sim.WarAbfluss;
  if (V > 0) {
    zu.AufsummierenIn(Zustand.Jahr);
    if (ereignis) zu.AufsummierenIn(Zustand.Ereignis);
  }
  if (ereignis && std::fabs(V - zu.QT()) > thr) Stunden(Zustand, sim.dt_h);
  if (dr.Q > 0) {
    dr.AufsummierenIn(Drossel.Jahr);
    if (ereignis) dr.AufsummierenIn(Drossel.Ereignis);
  }
  if (ereignis && std::fabs(dr.Q - dr.QT()) > thr) Stunden(Drossel, sim.dt_h);
  if (kue.Q > 0) {
    kue.AufsummierenIn(KUE.Zustand.Ereignis);
    kue.AufsummierenIn(KUE.Zustand.Jahr);
  }
  if (e > thr) Stunden(KUE.Zustand, sim.dt_h);
}

// -------------------------------------------------------------------- TRKB

void TRKB::SimAbsetzen(TSimulation& sim, double d) {
  TFrachten& kue = KUE.Zustand.Aktuell;
  const double qA = d * Kehrwert(sim.dt_h) * Kehrwert(Ased);  // m/h
  const double eta = 0.667 * std::exp(-0.1279 * qA);
  Sediment += eta * kue.AFS;
  kue.AFS = (1 - eta) * kue.AFS;
}

void TRKB::Bemessen(const TRechnung& r) {
  const TNET& N = r.Netz;
  const TSUM& I = r.Zufluss.SUM;
  QKRIT = QD + MaxQKUE;
  QRkrit = QKRIT - I.QF;
  rkrit = QRkrit * Kehrwert(I.AEB);
  aBUE = 0.1;
  bAFS63 = I.BAFS63() * Kehrwert(I.AEB);
  bBUE = aBUE * bAFS63;
  ETAges = 1 - (280 - bBUE) * Kehrwert(bAFS63 - bBUE);
  // Plain logarithm: an inflow of category I alone (ETAges 0) gives an
  // unbounded surface load and so no required surface.
  qAb = -8.333 * std::log(ETAges) - 1.6629;
  Qbem = (I.AEB * rkrit + I.QF) * 3.6;
  Aerf = Qbem * Kehrwert(qAb);
  cR = bAFS63 / 560 * 100;
  ETAsed = 0.667 * std::exp(-0.1279 * qAb);
  cKUE = (1 - ETAsed) * cR;
  e0 = (50 - (1 - aBUE) * N.ckAFS63 - aBUE * cR) / ((1 - aBUE) * (cKUE - N.ckAFS63)) * 100;
  bK = (1 - aBUE) * N.ckAFS63 * 0.56 * 10 * (1 - e0 / 100);
  bKUE = e0 * (1 - aBUE) * cKUE * 0.56 * 10 / 100;
  beges = bK + bKUE + bBUE;

  // Required volume for a depth of 2.0 m, added to what is required upstream;
  // built volumes and the throttle flow pass on as at the other structures.
  SUM.SUMVerf = I.SUMVerf + 2 * Aerf;
  SUM.SumVolumen = I.SumVolumen + Volumen;
  SUM.SUMQD = QD;
  SUM.AFS63e = (bKUE + bBUE) * I.AEB;
  SUM.AFS63r = I.BAFS63() * (1 - e0 / 100);
  BE = SUM.AFS63e - I.AFS63e;
  if (MaxQKUE > 0) {
    KUE.SUM.AFS63r = aBUE * BE;
    BUE.SUM.AFS63r = (1 - aBUE) * BE;
  } else {
    KUE.SUM.AFS63r = 0;
    BUE.SUM.AFS63r = BE;
  }

  if (I.QS() > 0) FEHLER.emplace_back(kFehlanschluesse);
  if (rkrit < 15) FEHLER.emplace_back(kRkritKlein);
  if (SUM.AFS63e * Kehrwert(I.AEB) > 280) FEHLER.emplace_back(kBegesGross);

  // Without a throttle the clarifier passes no sums downstream along Parent.
  if (QD == 0) {
    TSUM& S = SUM;
    S.E = S.QH = S.QH24 = S.QG = S.QG24 = S.QF = S.QT24DIREKT = S.UQR = S.QR = S.QRT24 = 0;
    S.AExNG = S.SUMTF = S.LTF = S.SUMQD = S.SUMVerf = 0;
    S.AE = S.AEB = S.AEb1 = S.AEb2 = S.AEb3 = S.AEbxfD = 0;
    S.SUMAE = S.SUMAEB = S.SumAEb1 = S.SumAEb2 = S.SumAEb3 = S.SumAEbxfD = 0;
    S.SumVolumen = 0;
  }
}

std::vector<TBemessungszeile> TRKB::Bemessungsliste(const TRechnung& r) const {
  return {
      Zeile("AFS63-Zulauffracht", "B_AFS63,zu", "kg/a", r.Zufluss.SUM.BAFS63(), 0),
      Zeile("spezifische AFS63-Zulauffracht", "b_AFS63,zu", "kg/(ha*a)", bAFS63, 0),
      Zeile("Abflussanteil Beckenüberlauf", "a_BÜ", "%", aBUE * 100, 2),
      Zeile("spez. AFS63-Ablauffracht Beckenüberlauf", "b_BÜ,AFS63", "kg/(ha*a)", bBUE, 0),
      Zeile("erforderlicher Gesamtwirkungsgrad", "ETA_ges", "%", ETAges * 100, 2),
      Zeile("maximale Oberflächenbeschickung", "q_A,b", "m/h", qAb, 2),
      Zeile("Bemessungszufluss", "Q_bem", "m³/h", Qbem, 0),
      Zeile("erforderliche Beckenoberfläche", "A_erf", "m2", Aerf, 0),
      // The clarifier's own required volume, also when it has no throttle
      // and passes no sums on.
      Zeile("erforderliches Beckenvolumen (T=2,0 m)", "V_erf", "m3", 2 * Aerf, 0),
      Zeile("kritischer Abfluss", "Q_krit", "l/s", QKRIT, 2),
      Zeile("kritischer Regenabfluss", "Q_r,krit", "l/s", QRkrit, 2),
      Zeile("kritische Regenspende", "r_krit", "l/(s*ha)", rkrit, 2),
      Zeile("AFS63-Regenwasserkonzentration", "C_R,AFS63", "mg/l", cR, 2),
      Zeile("AFS63-Sedimentationwirkungsgrad", "ETA_sed", "%", ETAsed * 100, 2),
      Zeile("AFS63-Entlastungskonzentration KÜ", "C_e,KÜ", "mg/l", cKUE, 2),
      Zeile("relative Entlastungsrate", "e0", "%", e0, 2),
      Zeile("spez. AFS63-Entlastungsfracht Kläranlage", "b_e,K", "kg/(ha*a)", bK, 2),
      Zeile("spez. AFS63-Entlastungsfracht Klärüberlauf", "b_e,KÜ", "kg/(ha*a)", bKUE, 2),
      Zeile("spez. AFS-Einleitungsfracht gesamt", "b_e,ges", "kg/(ha*a)", beges, 2),
      Zeile("AFS63-Entlastungsfracht", "B_AFS63,e", "kg/a", SUM.AFS63e, 0),
  };
}

}  // namespace t21
