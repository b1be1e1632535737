#include "model/datum.h"

#include <cmath>
#include <cstdio>
#include <regex>

namespace t21 {

namespace {
// Days from 0001-01-01 (proleptic Gregorian) to 1899-12-30.
constexpr long long kTageBis1899 = 693593;

long long TageSeitNull(int j, int m, int d) {
  // days before year j
  const long long y = j - 1;
  long long n = y * 365 + y / 4 - y / 100 + y / 400;
  for (int k = 1; k < m; ++k) n += TageImMonat(j, k);
  return n + d - 1;
}
}  // namespace

bool IstSchaltjahr(int j) {
  return (j % 4 == 0 && j % 100 != 0) || j % 400 == 0;
}

int TageImMonat(int j, int m) {
  static constexpr int kTage[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return kTage[m - 1] + (m == 2 && IstSchaltjahr(j) ? 1 : 0);
}

bool EncodeDate(int j, int m, int d, TDateTime& r) {
  if (j < 1 || j > 9999 || m < 1 || m > 12 || d < 1 || d > TageImMonat(j, m)) return false;
  r = static_cast<double>(TageSeitNull(j, m, d) - kTageBis1899);
  return true;
}

TDateTime EncodeTime(int h, int mi, int s, int ms) {
  return (((h * 60.0 + mi) * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}

TDatumTeile DecodeDateTime(TDateTime t) {
  TDatumTeile r;
  if (!std::isfinite(t)) return r;
  const long long gesamt = std::llround(std::fabs(t) * 86400000.0);
  long long tage = gesamt / 86400000;
  long long ms = gesamt % 86400000;
  if (t < 0) tage = -tage;
  long long n = tage + kTageBis1899;  // days since 0001-01-01
  if (n < 0) return r;
  // 400-year cycles
  long long j = 1 + 400 * (n / 146097);
  n %= 146097;
  long long c = n / 36524;
  if (c == 4) c = 3;
  j += 100 * c;
  n -= c * 36524;
  j += 4 * (n / 1461);
  n %= 1461;
  long long y = n / 365;
  if (y == 4) y = 3;
  j += y;
  n -= y * 365;
  int m = 1;
  while (n >= TageImMonat(static_cast<int>(j), m)) n -= TageImMonat(static_cast<int>(j), m++);
  r.Jahr = static_cast<int>(j);
  r.Monat = m;
  r.Tag = static_cast<int>(n) + 1;
  r.Stunde = static_cast<int>(ms / 3600000);
  r.Minute = static_cast<int>(ms / 60000 % 60);
  r.Sekunde = static_cast<int>(ms / 1000 % 60);
  r.Milli = static_cast<int>(ms % 1000);
  return r;
}

int DayOfTheYear(TDateTime t) {
  const auto d = DecodeDateTime(t);
  TDateTime neujahr = 0, tag = 0;
  EncodeDate(d.Jahr, 1, 1, neujahr);
  EncodeDate(d.Jahr, d.Monat, d.Tag, tag);
  return static_cast<int>(tag - neujahr) + 1;
}

int YearOf(TDateTime t) {
  return DecodeDateTime(t).Jahr;
}

TDateTime IncMilliSecond(TDateTime t, long long ms) {
  return (t * 86400000.0 + static_cast<double>(ms)) / 86400000.0;
}

TDateTime AufMillisekunden(TDateTime t, long long ms) {
  if (!std::isfinite(t)) return t;
  return static_cast<double>(std::llround(t * 86400000.0) + ms) / 86400000.0;
}

std::string DatumText(TDateTime t) {
  const auto d = DecodeDateTime(t);
  char b[32];
  std::snprintf(b, sizeof b, "%02d.%02d.%04d", d.Tag, d.Monat, d.Jahr);
  return b;
}

std::string DatumZeitKurz(TDateTime t) {
  const auto d = DecodeDateTime(t);
  char b[48];
  std::snprintf(b, sizeof b, "%02d.%02d.%02d %02d:%02d:%02d", d.Tag, d.Monat, d.Jahr % 100,
                d.Stunde, d.Minute, d.Sekunde);
  return b;
}

std::string DatumZeitText(TDateTime t) {
  const auto d = DecodeDateTime(t);
  char b[48];
  std::snprintf(b, sizeof b, "%02d.%02d.%04d %02d:%02d:%02d", d.Tag, d.Monat, d.Jahr, d.Stunde,
                d.Minute, d.Sekunde);
  return b;
}

std::string IsoText(TDateTime t) {
  const auto d = DecodeDateTime(t);
  char b[48];
  std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d", d.Jahr, d.Monat, d.Tag, d.Stunde,
                d.Minute, d.Sekunde);
  return b;
}

bool DatumLesen(const std::string& text, TDateTime& r) {
  static const std::regex iso(
      R"(^\s*(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?\s*$)");
  static const std::regex de(
      R"(^\s*(\d{1,2})\.(\d{1,2})\.(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)");
  std::smatch m;
  int j, mo, d;
  if (std::regex_match(text, m, iso)) {
    j = std::stoi(m[1]);
    mo = std::stoi(m[2]);
    d = std::stoi(m[3]);
  } else if (std::regex_match(text, m, de)) {
    d = std::stoi(m[1]);
    mo = std::stoi(m[2]);
    j = std::stoi(m[3]);
  } else {
    return false;
  }
  const int h = m[4].matched ? std::stoi(m[4]) : 0;
  const int mi = m[5].matched ? std::stoi(m[5]) : 0;
  const int s = m[6].matched ? std::stoi(m[6]) : 0;
  if (h > 23 || mi > 59 || s > 59) return false;
  TDateTime tag;
  if (!EncodeDate(j, mo, d, tag)) return false;
  r = tag + EncodeTime(h, mi, s, 0);
  return true;
}

}  // namespace t21
