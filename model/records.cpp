#include "model/records.h"

#include <algorithm>
#include <cmath>

namespace t21 {

const double kK1 = std::pow(10.0, -6.3);

void TParameter::SetData(double myQ, double myBSB, double myNH4, double myAFS, double myPH,
                         double myALK, double myCSB, double myGK, double myDO2) {
  Q = myQ;
  BSB = myBSB;
  NH4 = myNH4;
  AFS = myAFS;
  PH = myPH;
  ALK = myALK;
  CSB = myCSB;
  GK = myGK;
  DO2 = myDO2;
}

double TParameter::CalcALK() const {
  return std::max((cPH() - 6) * 2, 0.0);
}

double TParameter::cGK(double mycALK, double mycPH) {
  return mycALK * (std::pow(10.0, -mycPH) / kK1 + 1);
}

double TPhFeld::Wert(double arg, double q) {
  return -std::log10(arg) * q;
}

double TParameter::CalcPH() {
  NeuerPH();
  return PH;
}

double TParameter::cNH3(double pKs) const {
  return cNH4() / (std::pow(10.0, pKs - cPH()) + 1);
}

void TParameter::SubOne(double f, const TParameter& from) {
  if (!(f > 0)) return;
  auto sub = [f](double& v, double w) { v = std::max(v - f * w, 0.0); };
  sub(Q, from.Q);
  sub(BSB, from.BSB);
  sub(NH4, from.NH4);
  sub(AFS, from.AFS);
  sub(ALK, from.ALK);
  sub(CSB, from.CSB);
  sub(GK, from.GK);
  sub(DO2, from.DO2);
  NeuerPH();
}

void TParameter::Add(std::span<const double> f, std::span<const TParameter* const> from) {
  const size_t n = std::min(f.size(), from.size());
  for (size_t k = 0; k < n; ++k) AddOne(f[k], *from[k]);
}

void TParameter::Add(double f, const TParameter& from) {
  AddOne(f, from);
}

void TParameter::Sub(std::span<const double> f, std::span<const TParameter* const> from) {
  const size_t n = std::min(f.size(), from.size());
  for (size_t k = 0; k < n; ++k) SubOne(f[k], *from[k]);
}

void TParameter::Sub(double f, const TParameter& from) {
  SubOne(f, from);
}

// ---------------------------------------------------------------- TFrachten

void TFrachten::AssignTo(TFrachten& dest) const {
  const double o2 = dest.O2;
  dest = *this;
  dest.O2 = o2;
}

void TFrachten::AddTo(TFrachten& dest) const {
  TParameter::AddTo(dest);
  dest.Qnat += Qnat;
  dest.Qurban += Qurban;
  dest.QR += QR;
  dest.O2 += O2;
}

void TFrachten::Sub(std::span<const double> f, std::span<const TFrachten* const> from) {
  const size_t n = std::min(f.size(), from.size());
  for (size_t k = 0; k < n; ++k) {
    const double g = f[k];
    const TFrachten& s = *from[k];
    Q -= g * s.Q;
    BSB -= g * s.BSB;
    AFS -= g * s.AFS;
    NH4 -= g * s.NH4;
    CSB -= g * s.CSB;
    GK -= g * s.GK;
    ALK -= g * s.ALK;
    PH -= g * s.PH;
    DO2 -= g * s.DO2;
    Qurban -= g * s.Qurban;
  }
  NeuerPH();
}

void TFrachten::Sub(double f, const TFrachten& from) {
  const TFrachten* p = &from;
  Sub(std::span<const double>(&f, 1), std::span<const TFrachten* const>(&p, 1));
}

void TFrachten::AddAll(std::span<const double> f, std::span<const TFrachten* const> from) {
  const size_t n = std::min(f.size(), from.size());
  for (size_t k = 0; k < n; ++k) AddOne(f[k], *from[k]);
  for (size_t k = 0; k < n; ++k) AddExtended(f[k], *from[k]);
}

void TFrachten::SubAll(std::span<const double> f, std::span<const TFrachten* const> from) {
  Sub(f, from);
  const size_t n = std::min(f.size(), from.size());
  for (size_t k = 0; k < n; ++k) {
    const double g = f[k];
    const TFrachten& s = *from[k];
    Qmax -= g * s.Qmax;
    QRe -= g * s.QRe;
    Rain -= g * s.Rain;
    Neff -= g * s.Neff;
    Anzahl -= g * s.Anzahl;
    Stunden -= g * s.Stunden;
    QS -= g * s.QS;
    QF -= g * s.QF;
  }
}

void TFrachten::SubAll(double f, const TFrachten& from) {
  const TFrachten* p = &from;
  SubAll(std::span<const double>(&f, 1), std::span<const TFrachten* const>(&p, 1));
}

void TFrachten::AddAllTo(std::span<TFrachten* const> dest) const {
  for (TFrachten* d : dest) AddAllTo(*d);
}

double TFrachten::NH3(double pKs) const {
  return NH4 / (std::pow(10.0, pKs - cPH()) + 1);
}

// ------------------------------------------------------------------ arrays

void TParameterArray::AddTo(TParameterArray& dest) const {
  for (int i = 0; i < kAnzahlQr; ++i) (*this)[i].AddTo(dest[i]);
}

std::array<double, 8> ErgebnisZeilen(const TParameter& p, double cO2sat) {
  return {p.cBSB(), p.cNH4(), p.cAFS(), p.Q, p.cPH(), p.cALK(), p.cDO2(), cO2sat - p.cDO2()};
}

}  // namespace t21
