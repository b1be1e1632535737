#include "model/sums.h"

#include <algorithm>
#include <cmath>

#include "model/project.h"
#include "model/records.h"

namespace t21 {

double TSUM::NGm() const { return AExNG * Kehrwert(SUMAE); }
double TSUM::csCSB() const { return BSCSB * Kehrwert(QS()); }
double TSUM::ctCSB() const { return BSCSB * Kehrwert(QT()); }

int TSUM::TM() const {
  const double ng = NGm();
  if (ng <= 1 && SUMAEB <= 0.5 * SUMAE) return 15;
  if (ng > 3 && SUMAEB > 0.5 * SUMAE) return 5;
  return 10;
}

double TSUM::aa() const {
  const double fDm = SumAEbxfD * Kehrwert(SUMAEB);
  const double qt = QT24() * Kehrwert(SUMAEB);
  const double basis = qt * Kehrwert(fDm);
  if (!(basis > 0)) return 0;  // the power of a zero base counts as failed
  const double m = 430 * std::pow(basis, 0.45) * (2 * (NGm() - 1) + 1) * 0.001;
  const double k = 24 * Kehrwert(QT24() * 24 * Kehrwert(QT()));
  const double h = k * k;
  const double a = h * (2 - m) / 10;
  if (!std::isfinite(a) || a < 0) return 0;
  return a;
}

void TSUM::Clear() {
  TSUM leer;
  leer.RW = RW;
  leer.HW = HW;
  leer.Gelaende = Gelaende;
  leer.Strasse = std::move(Strasse);
  *this = std::move(leer);
}

void TSUM::SetLage(double myRW, double myHW, double myGelaende, const std::string& myStrasse) {
  RW = myRW;
  HW = myHW;
  Gelaende = myGelaende;
  Strasse = myStrasse;
}

void TSUM::AssignTo(TSUM& dest) const {
  const double csb = dest.CSB, rw = dest.RW, hw = dest.HW, gel = dest.Gelaende, au = dest.AU,
               m3 = dest.SUMAEM3, bm3 = dest.SUMAEBM3;
  std::string strasse = std::move(dest.Strasse);
  dest.E = E;
  dest.QH = QH;
  dest.QH24 = QH24;
  dest.QG = QG;
  dest.QG24 = QG24;
  dest.QF = QF;
  dest.QT24DIREKT = QT24DIREKT;
  dest.UQR = UQR;
  dest.QR = QR;
  dest.QRT24 = QRT24;
  dest.AExNG = AExNG;
  dest.SUMTF = SUMTF;
  dest.LTF = LTF;
  dest.SUMQD = SUMQD;
  dest.SUMVerf = SUMVerf;
  dest.BSCSB = BSCSB;
  dest.AE = AE;
  dest.AEB = AEB;
  dest.AEb1 = AEb1;
  dest.AEb2 = AEb2;
  dest.AEb3 = AEb3;
  dest.AEbxfD = AEbxfD;
  dest.SUMAE = SUMAE;
  dest.SUMAEB = SUMAEB;
  dest.SumAEb1 = SumAEb1;
  dest.SumAEb2 = SumAEb2;
  dest.SumAEb3 = SumAEb3;
  dest.SumAEbxfD = SumAEbxfD;
  dest.AFS63r = AFS63r;
  dest.AFS63e = AFS63e;
  dest.SumVolumen = SumVolumen;
  dest.CSB = csb;
  dest.RW = rw;
  dest.HW = hw;
  dest.Gelaende = gel;
  dest.AU = au;
  dest.SUMAEM3 = m3;
  dest.SUMAEBM3 = bm3;
  dest.Strasse = std::move(strasse);
}

void TSUM::AddTo(TSUM& d, const TSpenden& r) const {
  d.QH += QH;
  d.QG += QG;
  d.QF += QF;
  d.QH24 += QH24;
  d.QG24 += QG24;
  d.E += E;
  d.QT24DIREKT += QT24DIREKT;
  d.AExNG += AExNG;
  d.QRT24 += QRT24;
  d.SUMVerf += SUMVerf;
  d.SUMQD += SUMQD;
  d.SumVolumen += SumVolumen;
  d.UQR += UQR;
  d.BSCSB += BSCSB;
  d.AE += AE;
  d.SUMAE += SUMAE;
  d.AEB += AEB;
  d.SUMAEB += SUMAEB;
  d.AEbxfD += AEbxfD;
  d.SumAEbxfD += SumAEbxfD;
  d.AEb1 += AEb1;
  d.AEb2 += AEb2;
  d.AEb3 += AEb3;
  d.SumAEb1 += SumAEb1;
  d.SumAEb2 += SumAEb2;
  d.SumAEb3 += SumAEb3;
  d.AFS63r += AFS63r;
  d.AFS63e += AFS63e;
  d.LTF = std::max(d.LTF, LTF);
  MassgeblicheFliesszeit(d, r);
}

void TSUM::MassgeblicheFliesszeit(TSUM& d, const TSpenden& r) const {
  const double kw = Kehrwert(d.AU + AU);
  if (d.SUMTF > 0 && SUMTF > 0 && kw != 0)
    d.SUMTF = (d.AU * d.SUMTF + AU * SUMTF) * kw;
  else
    // Without effective area on either side there is nothing to weight by:
    // the longer flow time governs.
    d.SUMTF = std::max(d.SUMTF, SUMTF);
  d.AU += AU;
  d.QR = r.GetR(d.SUMTF) * d.AU;
  if (!(d.QR > QR)) d.QR = QR;
}

}  // namespace t21
