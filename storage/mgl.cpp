#include "storage/mgl.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace t21 {

namespace {

// Leading and trailing blanks off.
std::string Getrimmt(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
  return s.substr(a, b - a);
}

// A whole number of 1..max digits at p; false when there is none.
bool Ziffern(const std::string& s, size_t& p, int min, int max, int& wert) {
  int n = 0;
  wert = 0;
  while (p < s.size() && n < max && std::isdigit(static_cast<unsigned char>(s[p]))) {
    wert = wert * 10 + (s[p] - '0');
    ++p;
    ++n;
  }
  return n >= min;
}

// A number in the local format: an optional sign, digits with the local
// decimal separator (or a point), an optional exponent; nothing else.
bool ZahlLesen(const std::string& text, const TZahlenformat& f, double& v) {
  std::string s = Getrimmt(text);
  if (s.empty()) return false;
  const char dez = f.Dezimal.empty() ? '.' : f.Dezimal[0];
  bool trenner = false;
  for (char& c : s) {
    if (c == dez || c == '.') {
      if (trenner) return false;
      trenner = true;
      c = '.';
    } else if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '+' && c != 'e' &&
               c != 'E') {
      return false;
    }
  }
  std::istringstream in(s);
  in.imbue(std::locale::classic());
  in >> v;
  return !in.fail() && in.eof() && std::isfinite(v);
}

}  // namespace

void TGanglinie::Anhaengen(TDateTime t, double q) {
  if (Zeit.empty())
    Summe.push_back(0);
  else
    Summe.push_back(Summe.back() + Q.back() * (t - Zeit.back()) * 86.4);
  Zeit.push_back(t);
  Q.push_back(q);
}

std::string MGLZeilenFehler(int zeile) {
  return "Ungültiger Eintrag in Zeile " + std::to_string(zeile) + " der Messwert-Datei";
}

std::string MGLZeit(TDateTime t, const TZahlenformat& f) {
  // On whole seconds, so that 23:59:59.6 does not read as the day before.
  const TDateTime s = std::round(t * 86400.0) / 86400.0;
  const TDatumTeile d = DecodeDateTime(s);
  char uhr[16];
  std::snprintf(uhr, sizeof uhr, " %02d:%02d:%02d", d.Stunde, d.Minute, d.Sekunde);
  return CSVDatum(s, f) + uhr;
}

bool MGLZeitLesen(const std::string& text, const TZahlenformat& f, TDateTime& t) {
  const std::string s = Getrimmt(text);
  const std::string& m = f.Datum.empty() ? std::string("dd.MM.yyyy") : f.Datum;
  int tag = -1, monat = -1, jahr = -1;
  size_t p = 0;
  for (size_t i = 0; i < m.size();) {
    size_t n = 1;
    while (i + n < m.size() && m[i + n] == m[i]) ++n;
    const char c = m[i];
    if (c == 'd' || c == 'M') {
      int w;
      if (!Ziffern(s, p, 1, 2, w)) return false;
      (c == 'd' ? tag : monat) = w;
    } else if (c == 'y') {
      const size_t a = p;
      int w;
      if (!Ziffern(s, p, 2, 4, w)) return false;
      if (p - a == 2)
        w += w < 50 ? 2000 : 1900;
      else if (p - a != 4)
        return false;
      jahr = w;
    } else {
      for (size_t k = 0; k < n; ++k)
        if (p >= s.size() || s[p++] != c) return false;
    }
    i += n;
  }
  TDateTime d = 0;
  if (tag < 0 || monat < 0 || jahr < 0 || !EncodeDate(jahr, monat, tag, d)) return false;
  int h = 0, mi = 0, se = 0;
  if (p < s.size()) {
    if (s[p] != ' ' && s[p] != 'T') return false;
    while (p < s.size() && s[p] == ' ') ++p;
    if (p < s.size() && s[p] == 'T') ++p;
    if (!Ziffern(s, p, 1, 2, h) || p >= s.size() || s[p++] != ':' || !Ziffern(s, p, 2, 2, mi))
      return false;
    if (p < s.size() && s[p] == ':') {
      ++p;
      if (!Ziffern(s, p, 2, 2, se)) return false;
    }
    if (p != s.size() || h > 23 || mi > 59 || se > 59) return false;
  }
  t = d + (d < 0 ? -1 : 1) * EncodeTime(h, mi, se, 0);
  return true;
}

bool LiesMGLText(const std::string& text, TGanglinie& ziel, std::string& meldung,
                 const TZahlenformat& f) {
  std::vector<std::string> zeilen;
  {
    std::string z;
    std::istringstream in(text);
    while (std::getline(in, z)) {
      if (!z.empty() && z.back() == '\r') z.pop_back();
      zeilen.push_back(z);
    }
    // Empty lines at the end are no entries.
    while (!zeilen.empty() && Getrimmt(zeilen.back()).empty()) zeilen.pop_back();
  }
  if (zeilen.empty()) {
    meldung = kMGLLeer;
    return false;
  }
  std::string kopf = zeilen[0];
  if (kopf.rfind("\xEF\xBB\xBF", 0) == 0) kopf.erase(0, 3);
  if (kopf != "T;Q") {
    meldung = kMGLUngueltig;
    return false;
  }
  TGanglinie g;
  double summe = 0;
  for (size_t i = 1; i < zeilen.size(); ++i) {
    const std::string& z = zeilen[i];
    const size_t s = z.find(';');
    TDateTime t = 0;
    double q = 0;
    if (s == std::string::npos || !MGLZeitLesen(z.substr(0, s), f, t) ||
        !ZahlLesen(z.substr(s + 1, 100), f, q)) {
      meldung = MGLZeilenFehler(static_cast<int>(i));
      return false;
    }
    summe += q;
    g.Anhaengen(t, q);
  }
  g.Mittel = g.Q.empty() ? 0 : summe / static_cast<double>(g.Q.size());
  g.Datei = ziel.Datei;
  ziel = std::move(g);
  meldung.clear();
  return true;
}

bool LiesMGL(const std::string& datei, TGanglinie& ziel, std::string& meldung,
             const TZahlenformat& f) {
  std::ifstream in(datei, std::ios::binary);
  if (!in) {
    meldung = "Die Messwert-Datei " + datei + " kann nicht gelesen werden";
    return false;
  }
  std::stringstream s;
  s << in.rdbuf();
  const std::string alt = ziel.Datei;
  ziel.Datei = datei;
  if (LiesMGLText(s.str(), ziel, meldung, f)) return true;
  ziel.Datei = alt;
  return false;
}

std::string MGLText(const std::vector<TDateTime>& zeit, const std::vector<double>& q,
                    const TZahlenformat& f) {
  std::string t = "T;Q\r\n";
  for (size_t i = 0; i < zeit.size() && i < q.size(); ++i)
    t += MGLZeit(zeit[i], f) + ";" + CSVZahl(q[i], f) + "\r\n";
  return t;
}

bool SchreibeMGL(const std::string& datei, const std::vector<TDateTime>& zeit,
                 const std::vector<double>& q, std::string& fehler, const TZahlenformat& f) {
  namespace fs = std::filesystem;
  const std::string tmp = datei + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) {
      fehler = "Die Datei " + datei + " kann nicht geschrieben werden";
      return false;
    }
    out << MGLText(zeit, q, f);
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      fs::remove(tmp, ec);
      fehler = "Die Datei " + datei + " kann nicht geschrieben werden";
      return false;
    }
  }
  std::error_code ec;
  fs::rename(tmp, datei, ec);
  if (ec) {
    fs::remove(tmp, ec);
    fehler = "Die Datei " + datei + " kann nicht geschrieben werden";
    return false;
  }
  return true;
}

}  // namespace t21
