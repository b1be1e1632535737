#include "model/flussstrecke.h"

#include <algorithm>
#include <cmath>

#include "model/discharge.h"

namespace t21 {

void TKM::Init(double dt, double minQ, double maxQ, TProfil& profil) {
  (void)maxQ;
  // Depth and area at the smallest flow, then 20 equal depth steps up to
  // bank height. Each step gives a characteristic length L = Q / (I dQ/dh)
  // and, with dA/dQ, the storage constant of such a reach.
  double h = 0, v = 0, A = 0, hm = 0, B = 0;
  profil.StricklerInterpolation(minQ, h, v, A, hm, B);
  double Q = minQ;
  const double dh = (profil.PH - h) / 20;
  const double kehrI = Kehrwert(profil.IS1());
  double summeL = 0, summeK = 0;
  for (int i = 0; i < 20; ++i) {
    h += dh;
    double A2 = 0, Q2 = 0, v2 = 0;
    profil.ManningStrickler(h, A2, Q2, v2);
    const double dQ = Q2 - Q, dA = A2 - A;
    const double kehrdQ = Kehrwert(dQ / 1000);
    const double L = kehrI * (Q2 / 1000) * dh * kehrdQ;
    summeL += L;
    summeK += kehrdQ * L * dA;
    Q = Q2;
    A = A2;
  }
  const double Lm = summeL / 20;
  n = std::ceil(Kehrwert(Lm) * profil.LEN / 1000);
  k = (summeK / 20) * profil.LEN * Kehrwert(Lm) / 60;
  FC1 = 1 - std::exp(-dt * Kehrwert(k));
  FC2 = 1 - k / dt * FC1;
  FQAB_alt = 0;
  FQZU_alt = 0;
}

void TGewaesserereignis::PauseMerken() {
  EwQ_vorPause = EwQ;
  EwO2_vorPause = EwO2;
  EwNH3_vorPause = EwNH3;
  EwAFS_vorPause = EwAFS;
  Summe_cO2_vorPause = Summe_cO2;
  Summe_cNH3_vorPause = Summe_cNH3;
  Summe_cAFS_vorPause = Summe_cAFS;
  Zeitschritte_vorPause = Zeitschritte;
}

void TGewaesserereignis::SetVal(double vQ, double vO2, double vNH3, double vAFS, double vQR,
                                TDateTime simzeit, double thr) {
  if (vQR > thr) {
    Pause = false;
  } else if (!Pause) {
    Pause = true;
    Ende = simzeit;
    Dauer = (simzeit - Start) * 24;
    PauseMerken();
  }
  const double r = Kehrwert(vQ);
  const double cO2 = vO2 * r, cNH3 = vNH3 * r, cAFS = vAFS * r;
  EwO2 = EwO2 == 0 ? cO2 : std::min(EwO2, cO2);
  EwNH3 = std::max(EwNH3, cNH3);
  EwAFS = std::max(EwAFS, cAFS);
  EwQ = std::max(EwQ, vQ);
  Summe_cO2 += cO2;
  Summe_cNH3 += cNH3;
  Summe_cAFS += cAFS;
  ++Zeitschritte;
}

}  // namespace t21
