// Water quantity and quality records: a flow with eight quality parameters,
// in load form (fields hold concentration times Q) or in concentration form
// (Q = 0, fields hold concentrations). Plain value types; no heap.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace t21 {

// 10^-6.3, the first dissociation constant of the carbonate system.
extern const double kK1;

// Safe reciprocal: 0 for |x| <= 1e-11, else 1/x.
inline double Kehrwert(double x) {
  return (x <= 1e-11 && x >= -1e-11) ? 0.0 : 1.0 / x;
}

// Whether two values have the same bits (unlike ==: 0 and -0 differ, a NaN
// equals itself). A computation repeated on inputs of the same bits gives
// the same bits, which is what a step may skip on.
inline bool Bitgleich(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

namespace paare {
// The record operations take the fields two at a time where the target has
// SSE2: each lane does the very operation of the field-by-field code (a
// product, then a sum; no fused multiply-add), so the bits are the same.
// The fields of a record lie in pairs at the byte offsets given (the pH
// field's two values between CSB/ALK and GK are left out).
#if defined(__SSE2__)
inline __m128d Lade(const void* r, int o) {
  return _mm_loadu_pd(reinterpret_cast<const double*>(static_cast<const char*>(r) + o));
}
inline void Speichere(void* r, int o, __m128d v) {
  _mm_storeu_pd(reinterpret_cast<double*>(static_cast<char*>(r) + o), v);
}
// d[o] += s[o] for each offset.
template <int... O>
inline void Addiere(void* d, const void* s) {
  (Speichere(d, O, _mm_add_pd(Lade(d, O), Lade(s, O))), ...);
}
// d[o] += f * s[o].
template <int... O>
inline void AddiereMal(void* d, double f, const void* s) {
  const __m128d ff = _mm_set1_pd(f);
  (Speichere(d, O, _mm_add_pd(Lade(d, O), _mm_mul_pd(ff, Lade(s, O)))), ...);
}
// d[o] *= f.
template <int... O>
inline void Multipliziere(void* d, double f) {
  const __m128d ff = _mm_set1_pd(f);
  (Speichere(d, O, _mm_mul_pd(Lade(d, O), ff)), ...);
}
// d[o] = 0 (all bits).
template <int... O>
inline void Nulle(void* d) {
  const __m128d n = _mm_setzero_pd();
  (Speichere(d, O, n), ...);
}
#endif
}  // namespace paare

// The ten rain-runoff rates qr_i in l/(s*ha); entry 0 is dry weather.
inline constexpr int kAnzahlQr = 10;
inline constexpr std::array<double, kAnzahlQr> kQr{0, 0.5, 1, 2, 4, 8, 16, 32, 64, 128};

// The pH field of a record, in load form. Mixing recomputes the pH from the
// carbonate system; the logarithm is only taken when the value is read, from
// the argument and flow of the last recomputation, so a record that is mixed
// many times before it is read pays for one logarithm. Reads give exactly the
// value an immediate computation would have stored.
class TPhFeld {
 public:
  TPhFeld& operator=(double v) {
    a_ = 0;
    b_ = v;
    return *this;
  }
  operator double() const { return a_ > 0 ? Wert(a_, b_) : b_; }
  TPhFeld& operator-=(double v) { return *this = *this - v; }
  TPhFeld& operator*=(double v) { return *this = *this * v; }
  // The field becomes -log10(arg) * q (arg >= 0), taken when read.
  void Setze(double arg, double q) {
    if (arg > 0) {
      a_ = arg;
      b_ = q;
    } else {
      *this = Wert(arg, q);
    }
  }
  static double Wert(double arg, double q);

 private:
  // Pending: a_ > 0 holds the argument, b_ the flow. Otherwise b_ is the
  // value; all bits zero is the value 0.
  double a_ = 0;
  double b_ = 0;
};

class TParameter {
 public:
  double Q = 0;    // flow; second name Regen
  double BSB = 0;  // BOD5; second name Verdunstung
  double NH4 = 0;
  double AFS = 0;
  double CSB = 0;
  double ALK = 0;
  TPhFeld PH;
  double GK = 0;
  double DO2 = 0;

  double& Regen() { return Q; }
  double Regen() const { return Q; }
  double& Verdunstung() { return BSB; }
  double Verdunstung() const { return BSB; }

  // Note the argument order: it differs from the field order.
  void SetData(double myQ, double myBSB, double myNH4, double myAFS, double myPH, double myALK,
               double myCSB, double myGK, double myDO2);
  void Clear();
  void AssignTo(TParameter& dest) const { dest = *this; }

  double cBSB() const { return BSB * Kehrwert(Q); }
  double cNH4() const { return NH4 * Kehrwert(Q); }
  double cAFS() const { return AFS * Kehrwert(Q); }
  double cCSB() const { return CSB * Kehrwert(Q); }
  double cALK() const { return ALK * Kehrwert(Q); }
  double cPH() const { return PH * Kehrwert(Q); }
  double cGK() const { return GK * Kehrwert(Q); }
  double cDO2() const { return DO2 * Kehrwert(Q); }

  // Alkalinity derived from an entered pH (concentration form).
  double CalcALK() const;
  // Total inorganic carbon of water with alkalinity mycALK and pH mycPH.
  static double cGK(double mycALK, double mycPH);
  // pH from the carbonate system (pK1 6.3), stored in load form and returned;
  // unchanged when the carbonate condition fails.
  double CalcPH();
  // The same without taking the value.
  void NeuerPH();
  // Un-ionised ammonia concentration at the given pKs.
  double cNH3(double pKs) const;

  void Mul(double f);
  // Mixing: adds f[k] * from[k] for each k with f[k] > 0.
  void Add(std::span<const double> f, std::span<const TParameter* const> from);
  void Add(double f, const TParameter& from);
  // Removes f[k] * from[k] for each k with f[k] > 0, clamped at zero.
  void Sub(std::span<const double> f, std::span<const TParameter* const> from);
  void Sub(double f, const TParameter& from);
  // Adds this set to dest (mixing) and recomputes dest's pH.
  void AddTo(TParameter& dest) const { dest.AddOne(1.0, *this); }

 protected:
  // Scales the base quantities, leaving the pH as it is.
  void MulOhnePH(double f);
  void AddOne(double f, const TParameter& from);
  // AddOne without recomputing the pH (f > 0 only).
  void AddOneOhnePH(double f, const TParameter& from);
  void SubOne(double f, const TParameter& from);
};

// Load form with flow components and counters of the simulation.
class alignas(64) TFrachten : public TParameter {
 public:
  double Qmax = 0;
  double QRe = 0;
  double Rain = 0;
  double Neff = 0;
  double Anzahl = 0;
  double Stunden = 0;
  double Qnat = 0;
  double Qurban = 0;
  double O2 = 0;
  double QR = 0;
  double QF = 0;
  double QS = 0;

  double QT() const { return QS + QF; }

  void Clear();
  // Copies everything except O2 (dest keeps its own).
  void AssignTo(TFrachten& dest) const;
  // Mixes the base quantities into dest; of the extended fields only Qnat,
  // Qurban, QR and O2 are added.
  void AddTo(TFrachten& dest) const;
  // Unclamped subtraction of every entry, whatever the sign of f[k].
  void Sub(std::span<const double> f, std::span<const TFrachten* const> from);
  void Sub(double f, const TFrachten& from);
  void MulAll(double f);
  void AddAll(std::span<const double> f, std::span<const TFrachten* const> from);
  void AddAll(double f, const TFrachten& from);
  void SubAll(std::span<const double> f, std::span<const TFrachten* const> from);
  void SubAll(double f, const TFrachten& from);
  void AddAllTo(std::span<TFrachten* const> dest) const;
  void AddAllTo(TFrachten& dest) const;
  // The same three with the pH recomputed only when ph is set: a step whose
  // sets' pH nothing reads leaves that work undone (TSimulation::PHFuehren).
  // Every other field comes out bit for bit as without the flag.
  void MulAll(double f, bool ph);
  void AddAll(double f, const TFrachten& from, bool ph);
  void AddAllTo(TFrachten& dest, bool ph) const;
  // Adds the set to a balance accumulator (the Ereignis, Jahr or Summe of a
  // state) field by field as AddAllTo does, without recomputing the pH: the
  // balances, event rows, scripts and exports read an accumulator's flows,
  // loads, hours and counts, never its pH, so that work is left undone.
  void AufsummierenIn(TFrachten& dest) const;

  double NH3(double pKs) const;
  double cNH3(double pKs) const { return NH3(pKs) * Kehrwert(Q); }
  double cO2() const { return O2 * Kehrwert(Q); }
  double cQR() const { return QR * Kehrwert(Q); }

 private:
  void AddExtended(double f, const TFrachten& from);
};

// Outflow for the ten rain-runoff rates, all in load form.
class TParameterArray {
 public:
  std::array<TParameter, kAnzahlQr> par{};

  TParameter& operator[](int i) { return par[static_cast<size_t>(i)]; }
  const TParameter& operator[](int i) const { return par[static_cast<size_t>(i)]; }
  void Clear() { par = {}; }
  void AssignTo(TParameterArray& dest) const { dest.par = par; }
  void AddTo(TParameterArray& dest) const;
  void GibAbfluss(TParameterArray& dest) const { AddTo(dest); }
};

// State of the receiving water for one rain-runoff rate.
struct TAbflussParameter {
  double H = 0;    // water depth
  double HM = 0;   // mean depth
  double A = 0;    // flow cross-section
  double V = 0;    // flow velocity
  double K2 = 0;   // reaeration coefficient
  double Tc = 0;   // critical flow time
  double Dc = 0;   // critical oxygen deficit
  double TF = 0;   // flow time of the reach
  double Dtf = 0;  // oxygen deficit at the end of the reach
  double Da = 0;   // deficit used for the assessment
  double cNH3 = 0;
  double cO2 = 0;
  double cRestBSB = 0;
};

class TAbflussArray {
 public:
  std::array<TAbflussParameter, kAnzahlQr> par{};
  TAbflussParameter& operator[](int i) { return par[static_cast<size_t>(i)]; }
  const TAbflussParameter& operator[](int i) const { return par[static_cast<size_t>(i)]; }
};

// Simulation accumulators of an element.
class TState {
 public:
  TFrachten Aktuell, Ereignis, Jahr, Summe;
  double OldQZu = 0;
  void Clear() {
    Aktuell.Clear();
    Jahr.Clear();
    Summe.Clear();
    Ereignis.Clear();
  }
};

// The operations every element runs several times per time step, inline.

inline void TParameter::NeuerPH() {
  const double gk = cGK();
  const double alk = cALK();
  const double r = Kehrwert(alk);
  if ((gk - alk) * r > 0) PH.Setze(kK1 * (gk - alk) * r, Q);
}

// Byte offsets of the field pairs: Q BSB, NH4 AFS, CSB ALK, (pH), GK DO2,
// then Qmax QRe, Rain Neff, Anzahl Stunden, Qnat Qurban, O2 QR, QF QS.
static_assert(offsetof(TParameter, CSB) == 32 && offsetof(TParameter, PH) == 48 &&
              offsetof(TParameter, GK) == 64 && sizeof(TParameter) == 80);
// A set begins on a cache line and fills three of them: the 176 bytes of
// its fields and 16 bytes of padding.
inline constexpr std::size_t kFrachtenFelder = sizeof(TParameter) + 12 * sizeof(double);
static_assert(kFrachtenFelder == 176 && sizeof(TFrachten) == 192);
#if defined(__SSE2__)
#define T21_BASIS 0, 16, 32, 64
#define T21_ERWEITERT 80, 96, 112, 128, 144, 160
#endif

inline void TParameter::Clear() {
#if defined(__SSE2__)
  paare::Nulle<0, 16, 32, 48, 64>(this);
#else
  *this = TParameter{};
#endif
}

inline void TFrachten::Clear() {
#if defined(__SSE2__)
  paare::Nulle<0, 16, 32, 48, 64, T21_ERWEITERT>(this);
#else
  *this = TFrachten{};
#endif
}

inline void TParameter::MulOhnePH(double f) {
#if defined(__SSE2__)
  paare::Multipliziere<T21_BASIS>(this, f);
#else
  Q *= f;
  BSB *= f;
  NH4 *= f;
  AFS *= f;
  ALK *= f;
  CSB *= f;
  GK *= f;
  DO2 *= f;
#endif
}

inline void TParameter::Mul(double f) {
  if (f == 1) return;
  MulOhnePH(f);
  NeuerPH();
}

inline void TParameter::AddOne(double f, const TParameter& from) {
  if (!(f > 0)) return;
  AddOneOhnePH(f, from);
  NeuerPH();
}

inline void TParameter::AddOneOhnePH(double f, const TParameter& from) {
#if defined(__SSE2__)
  paare::AddiereMal<T21_BASIS>(this, f, &from);
#else
  Q += f * from.Q;
  BSB += f * from.BSB;
  NH4 += f * from.NH4;
  AFS += f * from.AFS;
  ALK += f * from.ALK;
  CSB += f * from.CSB;
  GK += f * from.GK;
  DO2 += f * from.DO2;
#endif
}

// The pH depends on the base quantities only, so it is recomputed once,
// after all of them are scaled.
inline void TFrachten::MulAll(double f) {
  MulAll(f, true);
}

inline void TFrachten::MulAll(double f, bool ph) {
  if (f != 1) MulOhnePH(f);
#if defined(__SSE2__)
  paare::Multipliziere<T21_ERWEITERT>(this, f);
#else
  Qmax *= f;
  QRe *= f;
  Rain *= f;
  Neff *= f;
  Anzahl *= f;
  Stunden *= f;
  Qnat *= f;
  Qurban *= f;
  O2 *= f;
  QR *= f;
  QF *= f;
  QS *= f;
#endif
  if (ph) NeuerPH();
}

inline void TFrachten::AddExtended(double f, const TFrachten& s) {
#if defined(__SSE2__)
  paare::AddiereMal<T21_ERWEITERT>(this, f, &s);
#else
  Qmax += f * s.Qmax;
  QRe += f * s.QRe;
  Rain += f * s.Rain;
  Neff += f * s.Neff;
  Anzahl += f * s.Anzahl;
  Stunden += f * s.Stunden;
  Qnat += f * s.Qnat;
  Qurban += f * s.Qurban;
  O2 += f * s.O2;
  QR += f * s.QR;
  QF += f * s.QF;
  QS += f * s.QS;
#endif
}

inline void TFrachten::AddAll(double f, const TFrachten& from) {
  AddOne(f, from);
  AddExtended(f, from);
}

inline void TFrachten::AddAll(double f, const TFrachten& from, bool ph) {
  if (f > 0) {
    AddOneOhnePH(f, from);
    if (ph) NeuerPH();
  }
  AddExtended(f, from);
}

inline void TFrachten::AddAllTo(TFrachten& d) const {
  TParameter::AddTo(d);
  d.AddExtended(1.0, *this);
}

inline void TFrachten::AddAllTo(TFrachten& d, bool ph) const {
  d.AddAll(1.0, *this, ph);
}

inline void TFrachten::AufsummierenIn(TFrachten& d) const {
#if defined(__SSE2__)
  paare::Addiere<T21_BASIS, T21_ERWEITERT>(&d, this);
#else
  d.Q += Q;
  d.BSB += BSB;
  d.NH4 += NH4;
  d.AFS += AFS;
  d.ALK += ALK;
  d.CSB += CSB;
  d.GK += GK;
  d.DO2 += DO2;
  d.Qmax += Qmax;
  d.QRe += QRe;
  d.Rain += Rain;
  d.Neff += Neff;
  d.Anzahl += Anzahl;
  d.Stunden += Stunden;
  d.Qnat += Qnat;
  d.Qurban += Qurban;
  d.O2 += O2;
  d.QR += QR;
  d.QF += QF;
  d.QS += QS;
#endif
}

#if defined(__SSE2__)
#undef T21_BASIS
#undef T21_ERWEITERT
#endif

// The eight values a result list shows for a set, in row order: BSB5, NH4-N,
// AFS63, Q, pH, alkalinity, O2 deficit and O2 (saturation minus deficit).
std::array<double, 8> ErgebnisZeilen(const TParameter& p, double cO2sat);

}  // namespace t21
