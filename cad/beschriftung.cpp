#include "cad/beschriftung.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace t21 {

namespace {

// One conversion of a label format.
struct TKonversion {
  std::string Vorn, Hinten;  // literal text around it, "%%" resolved
  char Art = 0;              // 's' or 'f'
  int Breite = -1, Genauigkeit = -1;
};

bool Ziffer(char c) {
  return c >= '0' && c <= '9';
}

// Reads up to two digits; false for three or more.
bool Zahl(std::string_view fmt, size_t& i, int& wert) {
  size_t n = 0;
  wert = 0;
  while (i < fmt.size() && Ziffer(fmt[i])) {
    if (++n > 2) return false;
    wert = wert * 10 + (fmt[i] - '0');
    ++i;
  }
  return n > 0;
}

std::optional<TKonversion> Zerlege(std::string_view fmt) {
  TKonversion k;
  bool gefunden = false;
  for (size_t i = 0; i < fmt.size(); ++i) {
    const char c = fmt[i];
    if (c != '%') {
      (gefunden ? k.Hinten : k.Vorn) += c;
      continue;
    }
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
      (gefunden ? k.Hinten : k.Vorn) += '%';
      ++i;
      continue;
    }
    if (gefunden) return std::nullopt;  // a second conversion
    ++i;
    int w = 0;
    if (Zahl(fmt, i, w))
      k.Breite = w;
    else if (i < fmt.size() && Ziffer(fmt[i]))
      return std::nullopt;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      int p = 0;
      if (!Zahl(fmt, i, p)) return std::nullopt;
      k.Genauigkeit = p;
    }
    if (i >= fmt.size()) return std::nullopt;
    const char art = fmt[i];
    if (art == 's' || art == 'S') {
      if (k.Genauigkeit >= 0) return std::nullopt;
      k.Art = 's';
    } else if (art == 'f' || art == 'F') {
      k.Art = 'f';
    } else {
      return std::nullopt;
    }
    gefunden = true;
  }
  if (!gefunden) return std::nullopt;
  return k;
}

std::string Aufgefuellt(std::string s, int breite) {
  // Widths count characters, not bytes of UTF-8.
  int zeichen = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++zeichen;
  if (breite > zeichen) s.insert(0, static_cast<size_t>(breite - zeichen), ' ');
  return s;
}

// Length in bytes of the UTF-8 character starting at s[i].
size_t ZeichenLaenge(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  return std::min(n, s.size() - i);
}

int Runde(double v) {
  return RundeGerade(v);
}

}  // namespace

int SchriftHoehe(const TSchrift& f) {
  return std::max(1, Runde(std::abs(f.Size) * 96.0 / 72.0));
}

int ZoomSchrift(const TSchrift& f, double zoom) {
  return Runde(std::abs(f.Size) * zoom);
}

std::optional<std::string> FormatiereText(std::string_view fmt, std::string_view val) {
  const auto k = Zerlege(fmt);
  if (!k || k->Art != 's') return std::nullopt;
  return k->Vorn + Aufgefuellt(std::string(val), k->Breite) + k->Hinten;
}

std::optional<std::string> FormatiereZahl(std::string_view fmt, double val) {
  const auto k = Zerlege(fmt);
  if (!k || k->Art != 'f' || !std::isfinite(val)) return std::nullopt;
  char puffer[400];
  const int p = k->Genauigkeit >= 0 ? k->Genauigkeit : 2;
  // The format is built here, from checked numbers only.
  std::snprintf(puffer, sizeof puffer, "%.*f", p, val);
  std::string zahl = puffer;
  std::replace(zahl.begin(), zahl.end(), '.', ',');
  return k->Vorn + Aufgefuellt(std::move(zahl), k->Breite) + k->Hinten;
}

std::string TextDesTextes(const TCadShape& s) {
  if (auto t = FormatiereText(s.Fmt, s.Val)) return *t;
  return s.Val;
}

double BemassungsLaenge(const TCadShape& s) {
  const double dx = s.X2 - s.X1, dy = s.Y2 - s.Y1;
  if (s.A == "h") return std::fabs(dx);
  if (s.A == "v") return std::fabs(dy);
  return std::sqrt(dx * dx + dy * dy);
}

std::string TextDerBemassung(const TCadShape& s) {
  if (!s.Val.empty()) return s.Val;
  if (auto t = FormatiereZahl(s.Fmt, BemassungsLaenge(s))) return *t;
  return s.Fmt;
}

std::optional<TTextStueck> Beschriftung(const TCadShape& s, const TAnsicht& v,
                                        const TTextMetrik& m) {
  if (s.TextPos == 0 || s.Name.empty()) return std::nullopt;
  const int g = ZoomSchrift(s.Font, v.Zoom);
  if (g < 1) return std::nullopt;
  const auto r = GetViewRect(s, v);
  const int mx = v.ViewX(s.HMiddle()), my = v.ViewY(s.VMiddle());
  TTextStueck t{s.Name, 0, 0, m.Breite(s.Font, g, s.Name), m.Hoehe(s.Font, g), g};
  // r.Top is the screen-lower edge, r.Bottom the screen-upper one.
  switch (s.TextPos) {
    case 3:
      t.X = r.Right + 4;
      t.Y = my - t.Hoehe / 2;
      break;
    case 9:
      t.X = r.Left - 4 - t.Breite;
      t.Y = my - t.Hoehe / 2;
      break;
    case 6:
      t.X = mx - t.Breite / 2;
      t.Y = r.Top;
      break;
    case 12:
      t.X = mx - t.Breite / 2;
      t.Y = r.Bottom - (t.Hoehe + 2);
      break;
    default:
      return std::nullopt;
  }
  return t;
}

std::vector<TTextStueck> WertZeilen(const TCadShape& s, const TAnsicht& v, const TTextMetrik& m) {
  std::vector<TTextStueck> zeilen;
  if (s.Val.empty()) return zeilen;
  const int g = ZoomSchrift(s.Font, v.Zoom);
  if (g < 1) return zeilen;
  const int hoehe = std::max(1, m.Hoehe(s.Font, g));
  const int nutzbar = Runde(v.Zoom * s.Width()) - m.Breite(s.Font, g, "W") - 2;
  const int n = Runde(v.Zoom * s.Height()) / hoehe;
  std::string_view rest = s.Val;
  while (!rest.empty() && static_cast<int>(zeilen.size()) < n) {
    size_t i = 0;
    do {
      i += ZeichenLaenge(rest, i);
    } while (i < rest.size() && m.Breite(s.Font, g, rest.substr(0, i)) < nutzbar);
    const std::string text(rest.substr(0, i));
    zeilen.push_back({text, 0, 0, m.Breite(s.Font, g, text), hoehe, g});
    rest.remove_prefix(i);
  }
  const auto r = GetViewRect(s, v);
  const int mx = v.ViewX(s.HMiddle());
  const int oben = std::min(r.Top, r.Bottom);
  const int versatz = (n - static_cast<int>(zeilen.size())) / 2;
  for (size_t k = 0; k < zeilen.size(); ++k) {
    auto& z = zeilen[k];
    z.X = mx - z.Breite / 2;
    // The line's bottom lies at upper edge + (offset + k + 1) * height + 1.
    z.Y = oben + (versatz + static_cast<int>(k)) * hoehe + 1;
  }
  return zeilen;
}

std::vector<std::string> SchriftfeldFelder(std::string_view val) {
  std::vector<std::string> f;
  std::string feld;
  for (char c : val) {
    if (c == '#') {
      f.push_back(feld);
      feld.clear();
    } else {
      feld += c;
    }
  }
  if (!feld.empty()) f.push_back(feld);
  f.resize(12);
  return f;
}

std::vector<TKopfZeile> Schriftfeld(const TCadShape& s, const TAnsicht& v, const TTextMetrik& m) {
  std::vector<TKopfZeile> zeilen;
  const auto f = SchriftfeldFelder(s.Val);
  const double fh = s.Font.Size * v.Zoom;  // point size of the base rows
  const auto r = Normalisiert(GetViewRect(s, v));
  int y = r.Top + 2;
  auto zeile = [&](std::string text, double faktor, bool zentriert, bool rechts = false) {
    const int g = Runde(fh * faktor);
    if (g < 1) return;
    TTextStueck t{std::move(text), r.Left + 2, y, 0, m.Hoehe(s.Font, g), g};
    t.Breite = m.Breite(s.Font, g, t.Text);
    if (zentriert) t.X = (r.Left + r.Right) / 2 - t.Breite / 2;
    if (rechts) t.X = r.Right - 2 - t.Breite;
    zeilen.push_back({t, false});
  };
  auto weiter = [&] {
    if (!zeilen.empty() && !zeilen.back().Trennlinie) y += zeilen.back().Stueck.Hoehe;
  };
  auto trennlinie = [&] {
    y += 2;
    zeilen.push_back({{std::string(), r.Left, y, r.Right - r.Left, 0, 0}, true});
    y += 2;
  };
  zeile(f[0], 1.6, true);
  weiter();
  zeile(f[1] + "  " + f[2] + "  " + f[3], 1, true);
  weiter();
  zeile("Tel.: " + f[4] + "   Fax: " + f[5] + "   mail: " + f[6], 1, true);
  weiter();
  trennlinie();
  for (int i : {8, 9, 10}) {
    zeile(f[static_cast<size_t>(i)], 1.4, true);
    weiter();
  }
  trennlinie();
  zeile("Projekt-Nummer " + f[7], 1, false);
  zeile(" Bearbeitungsdatum " + f[11], 1, false, true);
  return zeilen;
}

namespace {

TAnsicht Massstab1() {
  TAnsicht v;
  v.OrgX = v.OrgY = 0;
  v.Zoom = 1;
  return v;
}

}  // namespace

void TextBoxMessen(TCadShape& s, const TTextMetrik& m) {
  const int g = std::max(1, ZoomSchrift(s.Font, 1));
  const std::string text = TextDesTextes(s);
  TextBoxAnpassen(s, Massstab1(), m.Breite(s.Font, g, text), m.Hoehe(s.Font, g));
}

void SchriftfeldMessen(TCadShape& s, const TTextMetrik& m) {
  int breit = 0;
  for (const auto& z : Schriftfeld(s, Massstab1(), m))
    if (!z.Trennlinie) breit = std::max(breit, z.Stueck.Breite + 4);
  s.X2 = s.X1 + breit;
  s.Y2 = s.Y1 + 13.5 * SchriftHoehe(s.Font);
}

void BemassungMessen(TCadShape& s, const TTextMetrik& m) {
  const int g = std::max(1, ZoomSchrift(s.Font, 1));
  s.m_dw = m.Breite(s.Font, g, TextDerBemassung(s)) + 8;
}

void Vermessen(TCadShape& s, const TTextMetrik& m) {
  if (s.Typ() == "TEX")
    TextBoxMessen(s, m);
  else if (s.Typ() == "IMP")
    SchriftfeldMessen(s, m);
  else if (s.Typ() == "Dim")
    BemassungMessen(s, m);
}

}  // namespace t21
