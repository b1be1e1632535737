#include "painting/linie.h"

#include <algorithm>
#include <cstdint>

namespace t21 {

namespace {

using Gross = __int128;  // products of two coordinate differences, doubled

// floor(z / n) and ceil(z / n) for n > 0.
Gross Abgerundet(Gross z, Gross n) {
  const Gross q = z / n;
  return q * n > z ? q - 1 : q;
}
Gross Aufgerundet(Gross z, Gross n) {
  const Gross q = z / n;
  return q * n < z ? q + 1 : q;
}

// The steps k (0 ... n) along an axis from start in direction s (+1 or
// -1) that stay within 0 ... groesse - 1; empty when bis < von.
void AufDerAchse(long long start, int s, long long groesse, long long& von, long long& bis) {
  if (s > 0) {
    von = -start;
    bis = groesse - 1 - start;
  } else {
    von = start - (groesse - 1);
    bis = start;
  }
}

}  // namespace

// Along the major axis (the longer extent n) every step moves one pixel;
// after k steps the minor axis (extent m <= n) has moved
// q(k) = floor((2 k m + n) / (2 n)) pixels, which is where Bresenham's error
// (starting at n - m, the step across taken when twice the error is past
// the threshold) puts it. q never decreases, so the steps with both
// coordinates inside the image form one range, found by division.
void SetzeLinie(QImage& bild, QPoint a, QPoint b, QRgb farbe) {
  const long long w = bild.width(), h = bild.height();
  if (w <= 0 || h <= 0) return;
  if ((a.x() < 0 && b.x() < 0) || (a.y() < 0 && b.y() < 0) || (a.x() >= w && b.x() >= w) ||
      (a.y() >= h && b.y() >= h))
    return;
  const long long ax = a.x(), ay = a.y();
  const long long dx = static_cast<long long>(b.x()) - ax, dy = static_cast<long long>(b.y()) - ay;
  const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  // The buffer the painter draws into (bits() could detach a shared copy).
  auto* bits = reinterpret_cast<QRgb*>(const_cast<uchar*>(bild.constBits()));
  const qsizetype zeile = bild.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));

  // A single point, in the image after the test above.
  if (dx == 0 && dy == 0) {
    bits[ay * zeile + ax] = farbe;
    return;
  }
  // x is the major axis unless the line is steeper than 45 degrees.
  const bool xHaupt = adx >= ady;
  const long long n = xHaupt ? adx : ady, m = xHaupt ? ady : adx;
  const long long haupt0 = xHaupt ? ax : ay, neben0 = xHaupt ? ay : ax;
  const int sHaupt = xHaupt ? sx : sy, sNeben = xHaupt ? sy : sx;
  const long long lHaupt = xHaupt ? w : h, lNeben = xHaupt ? h : w;

  long long k0, k1;
  AufDerAchse(haupt0, sHaupt, lHaupt, k0, k1);
  k0 = std::max(k0, 0LL);
  k1 = std::min(k1, n);
  long long q0, q1;  // the range of q(k) inside the image
  AufDerAchse(neben0, sNeben, lNeben, q0, q1);
  if (m == 0) {
    if (q0 > 0 || q1 < 0) return;
  } else {
    // q(k) >= q0  <=>  2 k m >= 2 n q0 - n;  q(k) <= q1  <=>  2 k m < 2 n q1 + n.
    const Gross zwei_m = 2 * static_cast<Gross>(m);
    const Gross von = Aufgerundet(2 * static_cast<Gross>(n) * q0 - n, zwei_m);
    const Gross bis = Aufgerundet(2 * static_cast<Gross>(n) * q1 + n, zwei_m) - 1;
    if (von > k0) k0 = von > k1 ? k1 + 1 : static_cast<long long>(von);
    if (bis < k1) k1 = bis < k0 ? k0 - 1 : static_cast<long long>(bis);
  }
  if (k0 > k1) return;

  // The state at step k0: the minor offset q and the error e = 2 k m + n -
  // 2 n q (0 <= e < 2 n).
  const Gross t = 2 * static_cast<Gross>(k0) * m + n;
  const long long q = static_cast<long long>(Abgerundet(t, 2 * static_cast<Gross>(n)));
  long long e = static_cast<long long>(t - 2 * static_cast<Gross>(n) * q);
  const long long haupt = haupt0 + sHaupt * k0, neben = neben0 + sNeben * q;
  const long long x = xHaupt ? haupt : neben, y = xHaupt ? neben : haupt;
  QRgb* px = bits + y * zeile + x;
  long long anzahl = k1 - k0 + 1;
  const qsizetype schrittX = sx, schrittY = sy * zeile;
  if (m == 0) {
    // Along a row or a column.
    if (xHaupt) {
      std::fill(sx > 0 ? px : px - (anzahl - 1), (sx > 0 ? px : px - (anzahl - 1)) + anzahl, farbe);
    } else {
      for (; anzahl > 0; --anzahl, px += schrittY) *px = farbe;
    }
    return;
  }
  const long long zwei_m = 2 * m, zwei_n = 2 * n;
  const qsizetype haupt_schritt = xHaupt ? schrittX : schrittY;
  const qsizetype neben_schritt = xHaupt ? schrittY : schrittX;
  if (n >= 2 * m) {
    // Steep against the major axis: runs of at least two pixels between
    // the steps across, each run's length from the error at its start.
    while (anzahl > 0) {
      long long lauf = (zwei_n - e + zwei_m - 1) / zwei_m;
      if (lauf > anzahl) lauf = anzahl;
      anzahl -= lauf;
      e += lauf * zwei_m;
      for (; lauf > 0; --lauf) {
        *px = farbe;
        px += haupt_schritt;
      }
      if (e >= zwei_n) {
        e -= zwei_n;
        px += neben_schritt;
      }
    }
    return;
  }
  for (; anzahl > 0; --anzahl) {
    *px = farbe;
    e += zwei_m;
    if (e >= zwei_n) {
      e -= zwei_n;
      px += neben_schritt;
    }
    px += haupt_schritt;
  }
}

}  // namespace t21
