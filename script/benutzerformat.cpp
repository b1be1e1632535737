#include "script/benutzerformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/datum.h"

namespace t21::script {

namespace {

bool IstZiffer(char c) {
  return c >= '0' && c <= '9';
}
bool IstLeer(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Getrimmt(std::string_view t) {
  while (!t.empty() && IstLeer(t.front())) t.remove_prefix(1);
  while (!t.empty() && IstLeer(t.back())) t.remove_suffix(1);
  return t;
}

bool GleichOhneFall(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// Days from 0001-01-01 to 1899-12-30; 0001-01-01 was a Monday.
constexpr double kTageBisNull = 693593;
constexpr double kKalenderEnde = 2958466;  // 10000-01-01

std::string Zweistellig(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string Ganz(long long v, int breite = 0) {
  char b[32];
  std::snprintf(b, sizeof b, "%0*lld", breite, v);
  return b;
}

// 0 = Sunday … 6 = Saturday.
int Wochentag(const TDatumTeile& d) {
  TDateTime tag = 0;
  EncodeDate(d.Jahr, d.Monat, d.Tag, tag);
  const long long n = static_cast<long long>(tag + kTageBisNull);  // 0 = Monday
  return static_cast<int>((n % 7 + 1) % 7);
}

const char* const kTagKurz[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
const char* const kTagLang[7] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                 "Donnerstag", "Freitag", "Samstag"};
const char* const kMonatKurz[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                    "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
const char* const kMonatLang[12] = {"Januar",    "Februar", "März",     "April",
                                    "Mai",       "Juni",    "Juli",     "August",
                                    "September", "Oktober", "November", "Dezember"};

// Reads an unsigned run of digits; false when there is none or too many.
bool Ziffern(std::string_view& t, int maxStellen, int& wert, int& stellen) {
  wert = 0;
  stellen = 0;
  while (!t.empty() && IstZiffer(t.front())) {
    if (++stellen > maxStellen) return false;
    wert = wert * 10 + (t.front() - '0');
    t.remove_prefix(1);
  }
  return stellen > 0;
}

bool DatumTeilLesen(std::string_view& t, const TBenutzerFormat& f, double& tag) {
  int d, m, j, n;
  if (!Ziffern(t, 2, d, n) || t.empty() || t.front() != f.Datumstrenner) return false;
  t.remove_prefix(1);
  if (!Ziffern(t, 2, m, n) || t.empty() || t.front() != f.Datumstrenner) return false;
  t.remove_prefix(1);
  if (!Ziffern(t, 4, j, n)) return false;
  if (n <= 2) j += j < 50 ? 2000 : 1900;
  return EncodeDate(j, m, d, tag);
}

bool ZeitTeilLesen(std::string_view& t, const TBenutzerFormat& f, double& zeit) {
  int h, mi, s = 0, ms = 0, n;
  if (!Ziffern(t, 2, h, n) || t.empty() || t.front() != f.Zeittrenner) return false;
  t.remove_prefix(1);
  if (!Ziffern(t, 2, mi, n)) return false;
  if (!t.empty() && t.front() == f.Zeittrenner) {
    t.remove_prefix(1);
    if (!Ziffern(t, 2, s, n)) return false;
    if (!t.empty() && (t.front() == '.' || t.front() == f.Dezimaltrenner)) {
      t.remove_prefix(1);
      if (!Ziffern(t, 3, ms, n)) return false;
      while (n++ < 3) ms *= 10;
    }
  }
  if (h > 23 || mi > 59 || s > 59) return false;
  zeit = EncodeTime(h, mi, s, ms);
  return true;
}

// Keeps the first `behalten` digits of z, rounded half away from zero; true
// when the carry put a new "1" in front.
bool Runden(std::string& z, size_t behalten) {
  const bool auf = z.size() > behalten && z[behalten] >= '5';
  z.resize(behalten, '0');
  if (!auf) return false;
  for (size_t k = z.size(); k-- > 0;) {
    if (z[k] != '9') {
      ++z[k];
      return false;
    }
    z[k] = '0';
  }
  z.insert(z.begin(), '1');
  return true;
}

void Gruppiert(std::string& r, const std::string& ziffern, size_t ab, size_t bis, bool tausender,
               char trenner) {
  for (size_t d = ab; d < bis; ++d) {
    r += ziffern[d];
    const size_t rest = ziffern.size() - d - 1;
    if (tausender && rest > 0 && rest % 3 == 0) r += trenner;
  }
}

}  // namespace

bool ZahlLesen(std::string_view text, const TBenutzerFormat& f, double& wert) {
  std::string_view t = Getrimmt(text);
  if (GleichOhneFall(t, "NAN")) {
    wert = std::nan("");
    return true;
  }
  if (GleichOhneFall(t, "INF") || GleichOhneFall(t, "+INF")) {
    wert = HUGE_VAL;
    return true;
  }
  if (GleichOhneFall(t, "-INF")) {
    wert = -HUGE_VAL;
    return true;
  }
  // Rewritten into the one form std::from_chars reads.
  std::string c;
  c.reserve(t.size());
  size_t i = 0;
  bool negativ = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativ = t[i++] == '-';
  int ziffern = 0;
  while (i < t.size() && IstZiffer(t[i])) c += t[i++], ++ziffern;
  if (i < t.size() && t[i] == f.Dezimaltrenner) {
    c += '.';
    ++i;
    while (i < t.size() && IstZiffer(t[i])) c += t[i++], ++ziffern;
  }
  if (ziffern == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) c += t[i++];
    int exp = 0;
    while (i < t.size() && IstZiffer(t[i])) c += t[i++], ++exp;
    if (exp == 0) return false;
  }
  if (i != t.size()) return false;
  double v = 0;
  const auto r = std::from_chars(c.data(), c.data() + c.size(), v);
  if (r.ptr != c.data() + c.size()) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: infinity or zero, by the decimal
    // exponent of the first significant digit.
    long long lage = 0, exp = 0;
    const size_t punkt = std::min(c.find('.'), c.find('e'));
    const size_t erste = c.find_first_of("123456789");
    if (erste != std::string::npos && erste < c.find('e'))
      lage = erste < punkt ? static_cast<long long>(punkt - erste)
                           : -static_cast<long long>(erste - punkt - 1);
    if (const size_t e = c.find('e'); e != std::string::npos) {
      const char* a = c.data() + e + 1;
      if (*a == '+') ++a;
      if (std::from_chars(a, c.data() + c.size(), exp).ec != std::errc())
        exp = *a == '-' ? -1000000 : 1000000;
    }
    v = lage + exp > 0 ? HUGE_VAL : 0.0;
  }
  wert = negativ ? -v : v;
  return true;
}

bool GanzzahlLesen(std::string_view text, long long& wert) {
  std::string_view t = Getrimmt(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), wert);
  return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

std::string GleitText(double v, const TBenutzerFormat& f) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";
  char b[64];
  std::snprintf(b, sizeof b, "%.14e", std::fabs(v));
  // b = "d.dddddddddddddde±XX"
  std::string ziffern;
  const char* p = b;
  for (; *p && *p != 'e'; ++p)
    if (IstZiffer(*p)) ziffern += *p;
  const int e = std::atoi(p + 1);
  while (ziffern.size() > 1 && ziffern.back() == '0') ziffern.pop_back();
  std::string r = v < 0 ? "-" : "";
  if (e >= -4 && e <= 14) {
    if (e >= 0) {
      const size_t ganz = static_cast<size_t>(e) + 1;
      if (ziffern.size() <= ganz) {
        r += ziffern + std::string(ganz - ziffern.size(), '0');
      } else {
        r += ziffern.substr(0, ganz) + f.Dezimaltrenner + ziffern.substr(ganz);
      }
    } else {
      r += std::string("0") + f.Dezimaltrenner + std::string(static_cast<size_t>(-e - 1), '0') +
           ziffern;
    }
  } else {
    r += ziffern.substr(0, 1);
    if (ziffern.size() > 1) r += f.Dezimaltrenner + ziffern.substr(1);
    r += "E" + std::to_string(e);
  }
  return r;
}

std::string WaehrungText(long long z, const TBenutzerFormat& f) {
  const bool negativ = z < 0;
  const unsigned long long a =
      negativ ? 0ULL - static_cast<unsigned long long>(z) : static_cast<unsigned long long>(z);
  std::string r = (negativ ? "-" : "") + std::to_string(a / 10000);
  std::string bruch = Ganz(static_cast<long long>(a % 10000), 4);
  while (!bruch.empty() && bruch.back() == '0') bruch.pop_back();
  if (!bruch.empty()) r += f.Dezimaltrenner + bruch;
  return r;
}

bool ImKalender(double t) {
  return t >= -kTageBisNull && t < kKalenderEnde;
}

std::string DatumZeitWertText(double t, const TBenutzerFormat& f) {
  std::string r;
  const bool nurZeit = t != 0 && std::trunc(t) == 0;
  const std::string zeit = std::string("hh") + f.Zeittrenner + "nn" + f.Zeittrenner + "ss";
  if (!FormatDateTime(nurZeit ? zeit : "", t, f, r)) return GleitText(t, f);
  return r;
}

bool DatumZeitLesen(std::string_view text, TDatumArt art, const TBenutzerFormat& f, double& t) {
  std::string_view s = Getrimmt(text);
  double tag = 0, zeit = 0;
  switch (art) {
    case TDatumArt::Datum:
      if (!DatumTeilLesen(s, f, tag) || !s.empty()) return false;
      break;
    case TDatumArt::Zeit:
      if (!ZeitTeilLesen(s, f, zeit) || !s.empty()) return false;
      break;
    case TDatumArt::DatumZeit: {
      std::string_view probe = s;
      if (ZeitTeilLesen(probe, f, zeit) && probe.empty()) break;
      zeit = 0;
      if (!DatumTeilLesen(s, f, tag)) return false;
      if (!s.empty()) {
        if (!IstLeer(s.front())) return false;
        s = Getrimmt(s);
        if (!ZeitTeilLesen(s, f, zeit) || !s.empty()) return false;
      }
      break;
    }
  }
  // Before 1899-12-30 the time of day counts away from the date, as the
  // calendar of the program stores it.
  t = tag < 0 ? tag - zeit : tag + zeit;
  return true;
}

std::string FormatFloat(std::string_view muster, double v, const TBenutzerFormat& f) {
  if (std::isnan(v) || std::isinf(v)) return GleitText(v, f);
  // Sections outside quotes.
  std::vector<std::string_view> abschnitte;
  {
    size_t anfang = 0;
    char quote = 0;
    for (size_t i = 0; i < muster.size(); ++i) {
      const char c = muster[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == ';') {
        abschnitte.push_back(muster.substr(anfang, i - anfang));
        anfang = i + 1;
      }
    }
    abschnitte.push_back(muster.substr(anfang));
  }
  std::string_view m = abschnitte[0];
  bool minus = v < 0;
  if (v < 0 && abschnitte.size() >= 2 && !abschnitte[1].empty()) {
    m = abschnitte[1];
    minus = false;
  } else if (v == 0 && abschnitte.size() >= 3 && !abschnitte[2].empty()) {
    m = abschnitte[2];
  }
  if (m.empty()) return GleitText(v, f);

  // The layout of the section.
  int ganzPlatz = 0, ersteNull = -1, bruchPlatz = 0, letzteNull = 0, expZiffern = 0;
  bool punkt = false, tausender = false, exponent = false;
  {
    char quote = 0;
    for (size_t i = 0; i < m.size(); ++i) {
      const char c = m[i];
      if (quote) {
        if (c == quote) quote = 0;
        continue;
      }
      if (c == '\'' || c == '"') {
        quote = c;
      } else if (exponent) {
        if (c == '0') ++expZiffern;
      } else if (c == '0' || c == '#') {
        if (punkt) {
          ++bruchPlatz;
          if (c == '0') letzteNull = bruchPlatz;
        } else {
          if (c == '0' && ersteNull < 0) ersteNull = ganzPlatz;
          ++ganzPlatz;
        }
      } else if (c == '.') {
        punkt = true;
      } else if (c == ',') {
        tausender = true;
      } else if ((c == 'E' || c == 'e') && i + 1 < m.size() &&
                 (m[i + 1] == '+' || m[i + 1] == '-')) {
        exponent = true;
        ++i;
      }
    }
  }
  const int minGanz = ersteNull < 0 ? 0 : ganzPlatz - ersteNull;
  const int stellen = std::min(bruchPlatz, 18);

  const double a = std::fabs(v);
  std::string ganz, bruch;
  int e = 0;
  // The digits are printed with 25 more places than kept, which shows
  // whether a double lies exactly half way; such halves round away from zero.
  constexpr int kMehr = 25;
  if (exponent) {
    const int vorn = std::max(ganzPlatz, 1);
    const size_t behalten = static_cast<size_t>(vorn + stellen);
    std::vector<char> b(64 + behalten + kMehr);
    std::snprintf(b.data(), b.size(), "%.*e", vorn + stellen - 1 + kMehr, a);
    std::string z;
    const char* p = b.data();
    for (; *p && *p != 'e'; ++p)
      if (IstZiffer(*p)) z += *p;
    int hoch = std::atoi(p + 1);
    if (Runden(z, behalten)) {
      z.pop_back();
      ++hoch;
    }
    e = a == 0 ? 0 : hoch - (vorn - 1);
    ganz = z.substr(0, static_cast<size_t>(vorn));
    bruch = z.substr(static_cast<size_t>(vorn));
  } else {
    const int n = std::snprintf(nullptr, 0, "%.*f", stellen + kMehr, a);
    std::vector<char> b(static_cast<size_t>(n) + 1);
    std::snprintf(b.data(), b.size(), "%.*f", stellen + kMehr, a);
    const std::string_view roh(b.data());
    const size_t punkt = roh.find('.');
    std::string z(roh.substr(0, punkt));
    size_t vorn = z.size();
    z += roh.substr(punkt + 1);
    if (Runden(z, vorn + static_cast<size_t>(stellen))) ++vorn;
    ganz = z.substr(0, vorn);
    bruch = z.substr(vorn);
    const size_t null = ganz.find_first_not_of('0');
    ganz.erase(0, null == std::string::npos ? ganz.size() : null);
  }
  while (static_cast<int>(bruch.size()) < bruchPlatz) bruch += '0';
  if (static_cast<int>(ganz.size()) < minGanz)
    ganz.insert(0, static_cast<size_t>(minGanz) - ganz.size(), '0');
  while (static_cast<int>(bruch.size()) > letzteNull && bruch.back() == '0') bruch.pop_back();

  std::string r;
  int ganzIndex = 0, bruchIndex = 0;
  bool imBruch = false, ganzFertig = false;
  const int ueberschuss = static_cast<int>(ganz.size()) - ganzPlatz;
  const auto restGanz = [&] {
    // The digits that have no placeholder of their own go before the first one.
    if (!ganzFertig && ganzPlatz == 0)
      Gruppiert(r, ganz, 0, ganz.size(), tausender, f.Tausendertrenner);
    ganzFertig = true;
  };
  char quote = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    const char c = m[i];
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        r += c;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if ((c == '0' || c == '#') && !imBruch) {
      if (ganzIndex == 0 && ueberschuss > 0)
        Gruppiert(r, ganz, 0, static_cast<size_t>(ueberschuss), tausender, f.Tausendertrenner);
      const int d = ganzIndex - (ganzPlatz - static_cast<int>(ganz.size()));
      if (d >= 0)
        Gruppiert(r, ganz, static_cast<size_t>(d), static_cast<size_t>(d) + 1, tausender,
                  f.Tausendertrenner);
      ++ganzIndex;
      ganzFertig = true;
    } else if (c == '0' || c == '#') {
      if (bruchIndex < static_cast<int>(bruch.size())) r += bruch[static_cast<size_t>(bruchIndex)];
      ++bruchIndex;
    } else if (c == '.' && !imBruch) {
      restGanz();
      imBruch = true;
      if (!bruch.empty()) r += f.Dezimaltrenner;
    } else if (c == ',' || c == '.') {
      // the thousands flag; a second point is not written
    } else if ((c == 'E' || c == 'e') && i + 1 < m.size() && (m[i + 1] == '+' || m[i + 1] == '-')) {
      restGanz();
      imBruch = true;
      bruchIndex = bruchPlatz;
      r += c;
      if (e < 0)
        r += '-';
      else if (m[i + 1] == '+')
        r += '+';
      ++i;
      int n = 0;
      while (i + 1 < m.size() && m[i + 1] == '0') ++i, ++n;
      r += Ganz(e < 0 ? -static_cast<long long>(e) : e, std::min(n, 4));
    } else {
      r += c;
    }
  }
  restGanz();
  const bool nichtNull =
      std::any_of(r.begin(), r.end(), [](char c) { return c >= '1' && c <= '9'; });
  if (minus && nichtNull) r.insert(r.begin(), '-');
  return r;
}

bool FormatDateTime(std::string_view muster, double t, const TBenutzerFormat& f,
                    std::string& ergebnis) {
  if (!ImKalender(t)) return false;
  const TDatumTeile d = DecodeDateTime(t);
  if (muster.empty()) muster = "c";
  std::string r;
  bool nachStunde = false;
  const std::string kurzDatum =
      std::string("dd") + f.Datumstrenner + "mm" + f.Datumstrenner + "yyyy";
  for (size_t i = 0; i < muster.size();) {
    const char c = muster[i];
    size_t n = 1;
    const char k = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    while (i + n < muster.size()) {
      char x = muster[i + n];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
      if (x != k) break;
      ++n;
    }
    if (c == '\'' || c == '"') {
      const auto ende = muster.find(c, i + 1);
      const size_t bis = ende == std::string_view::npos ? muster.size() : ende;
      r.append(muster.substr(i + 1, bis - i - 1));
      i = bis + 1;
      continue;
    }
    std::string teil;
    switch (k) {
      case 'd':
        if (n == 1)
          teil = std::to_string(d.Tag);
        else if (n == 2)
          teil = Zweistellig(d.Tag);
        else if (n == 3)
          teil = kTagKurz[Wochentag(d)];
        else if (n == 4)
          teil = kTagLang[Wochentag(d)];
        else if (n == 5)
          FormatDateTime(kurzDatum, t, f, teil);
        else
          FormatDateTime("dddd, d. mmmm yyyy", t, f, teil);
        break;
      case 'm':
        if (nachStunde && n <= 2) {
          teil = n == 1 ? std::to_string(d.Minute) : Zweistellig(d.Minute);
        } else if (n == 1) {
          teil = std::to_string(d.Monat);
        } else if (n == 2) {
          teil = Zweistellig(d.Monat);
        } else if (n == 3) {
          teil = kMonatKurz[d.Monat - 1];
        } else {
          teil = kMonatLang[d.Monat - 1];
        }
        break;
      case 'y':
        teil = n <= 2 ? Zweistellig(d.Jahr % 100) : Ganz(d.Jahr, 4);
        break;
      case 'h':
        teil = n == 1 ? std::to_string(d.Stunde) : Zweistellig(d.Stunde);
        nachStunde = true;
        r += teil;
        i += n;
        continue;
      case 'n':
        teil = n == 1 ? std::to_string(d.Minute) : Zweistellig(d.Minute);
        break;
      case 's':
        teil = n == 1 ? std::to_string(d.Sekunde) : Zweistellig(d.Sekunde);
        break;
      case 'z':
        teil = n < 3 ? std::to_string(d.Milli) : Ganz(d.Milli, 3);
        break;
      case 'c': {
        FormatDateTime(kurzDatum, t, f, teil);
        if (d.Stunde || d.Minute || d.Sekunde || d.Milli) {
          std::string z;
          FormatDateTime(std::string("hh") + f.Zeittrenner + "nn" + f.Zeittrenner + "ss", t, f, z);
          teil += " " + z;
        }
        break;
      }
      case 't':
        FormatDateTime(n == 1 ? std::string("hh") + f.Zeittrenner + "nn"
                              : std::string("hh") + f.Zeittrenner + "nn" + f.Zeittrenner + "ss",
                       t, f, teil);
        break;
      case '/':
        teil = std::string(n, f.Datumstrenner);
        r += teil;
        i += n;
        continue;
      case ':':
        teil = std::string(n, f.Zeittrenner);
        r += teil;
        i += n;
        continue;
      default:
        teil = std::string(muster.substr(i, n));
        r += teil;
        i += n;
        continue;
    }
    nachStunde = false;
    r += teil;
    i += n;
  }
  ergebnis = std::move(r);
  return true;
}

}  // namespace t21::script
