#include "script/pruefung.h"

#include <algorithm>
#include <string_view>

#include "script/text.h"

namespace t21::script {

namespace {

// Nesting of statements and parentheses that the check follows.
constexpr int kMaxTiefe = 500;

bool IstZiffer(char c) {
  return c >= '0' && c <= '9';
}
bool IstBuchstabe(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool NameAnfang(char c) {
  return c == '.' || c == '_' || IstBuchstabe(c);
}
bool NameZeichen(char c) {
  return NameAnfang(c) || IstZiffer(c);
}
bool FunktionsZeichen(char c) {
  return c == '_' || IstBuchstabe(c) || IstZiffer(c);
}
bool Folgebyte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char GrossZeichen(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

size_t FindeOhneFall(const std::string& s, std::string_view wort, size_t ab) {
  for (size_t i = ab; i + wort.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < wort.size() && GrossZeichen(s[i + k]) == wort[k]) ++k;
    if (k == wort.size()) return i;
  }
  return std::string::npos;
}

struct TAbbruch {
  size_t pos;
  const char* meldung;
};

class TPruefer {
 public:
  explicit TPruefer(const std::string& p) : P(p), n(p.size()) {}

  TAnweisung Pruefen() {
    TAnweisung a;
    Anweisung(a, 0);
    Leer();
    Rest = pos;
    return a;
  }
  // Where the text behind the statement begins (n when there is none).
  size_t Rest = 0;

 private:
  void Leer() {
    while (pos < n && P[pos] == ' ') ++pos;
  }
  // The next word in capitals, cut after 16 characters: longer than any
  // keyword, and a statement never copies the rest of a long line.
  std::string WortGross() {
    Leer();
    const size_t grenze = std::min(n, pos + 16);
    size_t e = pos;
    while (e < grenze && P[e] != ' ') ++e;
    return Gross(std::string_view(P).substr(pos, e - pos));
  }
  bool Beginnt(std::string_view gross) const {
    if (pos + gross.size() > n) return false;
    for (size_t k = 0; k < gross.size(); ++k)
      if (GrossZeichen(P[pos + k]) != gross[k]) return false;
    return true;
  }
  [[noreturn]] void Fehler(const char* m) {
    Leer();
    throw TAbbruch{pos, m};
  }
  [[noreturn]] static void FehlerBei(size_t p, const char* m) { throw TAbbruch{p, m}; }

  void Anweisung(TAnweisung& a, int tiefe);
  void Block(TAnweisung& a, int tiefe);
  std::string Ausdruck(int tiefe);
  void Einfach(int tiefe);
  void Term(int tiefe);
  void Faktor(int tiefe);
  void Index(int tiefe);

  const std::string& P;
  const size_t n;
  size_t pos = 0;
};

void TPruefer::Anweisung(TAnweisung& a, int tiefe) {
  if (tiefe > kMaxTiefe) Fehler(meldung::ZuTief);
  for (;;) {
    Leer();
    size_t j = pos;
    while (j < n && IstZiffer(P[j])) ++j;
    if (j == pos || j >= n || P[j] != ':' || (j + 1 < n && P[j + 1] == '=')) break;
    a.Marken.push_back(P.substr(pos, j + 1 - pos));
    pos = j + 1;
  }
  const std::string w = WortGross();
  if (w.empty() || w.starts_with("END")) return;
  if (w == "BEGIN") {
    pos += 5;
    Block(a, tiefe);
    return;
  }
  if (w == "IF") {
    pos += 2;
    a.Art = TAnweisungsArt::Wenn;
    a.Ausdruck = Ausdruck(tiefe);
    if (WortGross() != "THEN") Fehler(meldung::Then);
    pos += 4;
    Anweisung(a.Teile.emplace_back(), tiefe + 1);
    if (WortGross() == "ELSE") {
      pos += 4;
      Anweisung(a.Teile.emplace_back(), tiefe + 1);
    }
    return;
  }
  if (w == "WHILE") {
    pos += 5;
    a.Art = TAnweisungsArt::Solange;
    a.Ausdruck = Ausdruck(tiefe);
    if (WortGross() != "DO") Fehler(meldung::Do);
    pos += 2;
    Anweisung(a.Teile.emplace_back(), tiefe + 1);
    return;
  }
  if (w == "REPEAT") {
    pos += 6;
    a.Art = TAnweisungsArt::Wiederhole;
    Anweisung(a.Teile.emplace_back(), tiefe + 1);
    if (WortGross() != "UNTIL") Fehler(meldung::Until);
    pos += 5;
    a.Ausdruck = Ausdruck(tiefe);
    return;
  }
  if (w == "GOTO") {
    pos += 4;
    Leer();
    size_t j = pos;
    while (j < n && IstZiffer(P[j])) ++j;
    if (j == pos) Fehler(meldung::GotoLabel);
    a.Art = TAnweisungsArt::Sprung;
    a.Name = P.substr(pos, j - pos);
    pos = j;
    return;
  }
  // A designator: a name not followed directly by "(", and not NOT.
  if (NameAnfang(P[pos])) {
    size_t j = pos;
    while (j < n && FunktionsZeichen(P[j])) ++j;
    const bool funktion = P[pos] != '.' && j < n && P[j] == '(';
    size_t k = pos;
    while (k < n && NameZeichen(P[k])) ++k;
    const std::string name = P.substr(pos, k - pos);
    if (!funktion && Gross(name) != "NOT" && !(k < n && P[k] == '(')) {
      a.Name = name;
      pos = k;
      if (pos < n && P[pos] == '[') {
        a.HatIndex = true;
        ++pos;
        a.Index = Ausdruck(tiefe);
        Index(tiefe);
      }
      const std::string w2 = WortGross();
      if (w2 == ";") {
        a.Art = TAnweisungsArt::Aufruf;
        return;
      }
      if (!w2.starts_with(":=")) Fehler(meldung::SemikolonOderZuweisung);
      pos += 2;
      a.Art = TAnweisungsArt::Zuweisung;
      a.Ausdruck = Ausdruck(tiefe);
      return;
    }
  }
  a.Art = TAnweisungsArt::Ausdruck;
  a.Ausdruck = Ausdruck(tiefe);
}

void TPruefer::Block(TAnweisung& a, int tiefe) {
  a.Art = TAnweisungsArt::Block;
  for (;;) {
    Anweisung(a.Teile.emplace_back(), tiefe + 1);
    Leer();
    if (pos < n && P[pos] == ';') {
      ++pos;
      continue;
    }
    if (Beginnt("END")) {
      pos += 3;
      return;
    }
    Fehler(meldung::SemikolonOderEnd);
  }
}

// After "[": the closing "]" of an index.
void TPruefer::Index(int) {
  Leer();
  if (pos >= n || P[pos] != ']') Fehler(meldung::EckigeKlammerZu);
  ++pos;
}

std::string TPruefer::Ausdruck(int tiefe) {
  Leer();
  const size_t anfang = pos;
  Einfach(tiefe);
  Leer();
  if (Beginnt(">=") || Beginnt("<=") || Beginnt("<>")) {
    pos += 2;
    Einfach(tiefe);
  } else if (pos < n && (P[pos] == '<' || P[pos] == '=' || P[pos] == '>')) {
    ++pos;
    Einfach(tiefe);
  }
  size_t ende = pos;
  while (ende > anfang && P[ende - 1] == ' ') --ende;
  return P.substr(anfang, ende - anfang);
}

void TPruefer::Einfach(int tiefe) {
  Term(tiefe);
  for (;;) {
    Leer();
    if (pos < n && (P[pos] == '+' || P[pos] == '-')) {
      ++pos;
    } else if (Beginnt("OR")) {
      pos += 2;
    } else {
      return;
    }
    Term(tiefe);
  }
}

void TPruefer::Term(int tiefe) {
  Faktor(tiefe);
  for (;;) {
    Leer();
    if (pos < n && (P[pos] == '*' || P[pos] == '/' || P[pos] == '^')) {
      ++pos;
    } else if (Beginnt("AND") || Beginnt("MOD")) {
      pos += 3;
    } else {
      return;
    }
    Faktor(tiefe);
  }
}

void TPruefer::Faktor(int tiefe) {
  if (tiefe > kMaxTiefe) Fehler(meldung::ZuTief);
  Leer();
  if (pos >= n) Fehler(meldung::Ausdruck);
  const size_t anfang = pos;
  const char c = P[pos];
  if (c == '(') {
    ++pos;
    Ausdruck(tiefe + 1);
    Leer();
    if (pos >= n || P[pos] != ')') Fehler(meldung::KlammerZu);
    ++pos;
  } else if (c == '[') {
    bool geschlossen;
    const size_t e = KlammerEnde(P, pos, geschlossen);
    if (!geschlossen) FehlerBei(anfang, meldung::EckigeKlammerZu);
    pos = e;
  } else if (c == '+' || c == '-') {
    ++pos;
    Ausdruck(tiefe + 1);
  } else if (c == '\'') {
    const size_t e = P.find('\'', pos + 1);
    if (e == std::string::npos) FehlerBei(anfang, meldung::Quote);
    pos = e + 1;
  } else if (IstZiffer(c)) {
    while (pos < n && IstZiffer(P[pos])) ++pos;
    if (pos + 1 < n && P[pos] == '.' && IstZiffer(P[pos + 1])) {
      ++pos;
      while (pos < n && IstZiffer(P[pos])) ++pos;
    }
    if (pos < n && (P[pos] == 'e' || P[pos] == 'E')) {
      const size_t z = pos + 1 < n && (P[pos + 1] == '+' || P[pos + 1] == '-') ? pos + 2 : pos + 1;
      if (z < n && IstZiffer(P[z])) FehlerBei(anfang, meldung::Zahl);
    }
  } else if (NameAnfang(c)) {
    size_t j = pos;
    while (j < n && FunktionsZeichen(P[j])) ++j;
    if (c != '.' && j < n && P[j] == '(') {
      pos = j + 1;
      for (;;) {
        Ausdruck(tiefe + 1);
        Leer();
        if (pos < n && P[pos] == ',') {
          ++pos;
        } else if (pos < n && P[pos] == ')') {
          ++pos;
          return;
        } else {
          Fehler(meldung::KommaOderKlammer);
        }
      }
    }
    size_t k = pos;
    while (k < n && NameZeichen(P[k])) ++k;
    if (Gross(std::string_view(P).substr(pos, k - pos)) == "NOT") {
      pos = k;
      Ausdruck(tiefe + 1);
      return;
    }
    // A name with "." followed by "(" is neither a designator nor a function.
    if (k < n && P[k] == '(') FehlerBei(anfang, meldung::Ausdruck);
    pos = k;
    if (pos < n && P[pos] == '[') {
      ++pos;
      Ausdruck(tiefe + 1);
      Index(tiefe);
    }
  } else {
    FehlerBei(anfang, meldung::Ausdruck);
  }
}

}  // namespace

std::string ScriptVorbereiten(const std::vector<std::string>& zeilen) {
  std::string r;
  bool offen = false;  // a brace comment from an earlier line
  for (const auto& zeile : zeilen) {
    std::string s = " " + zeile + " ";
    if (const auto p = s.find("//"); p != std::string::npos) s.erase(p);
    // Brace comments, also over several lines; a "}" with no comment open
    // closes nothing and is dropped. One pass over the line.
    std::string ohne;
    ohne.reserve(s.size());
    for (char c : s) {
      if (offen) {
        if (c == '}') offen = false;
      } else if (c == '{') {
        offen = true;
      } else if (c != '}') {
        ohne += c;
      }
    }
    s = std::move(ohne);
    // The piece of every line ends with a blank, so that words of two lines
    // never run together where a comment was cut off.
    if (!s.empty() && s.back() != ' ' && s.back() != '\t') s += ' ';
    std::string u;
    u.reserve(s.size());
    for (char c : s) {
      if (c == '\t') c = ' ';
      if (c == ' ' && !u.empty() && u.back() == ' ') continue;
      u += c;
    }
    // " begin " behind every REPEAT (and the character after it), " end "
    // before every UNTIL.
    std::string v;
    v.reserve(u.size() + 16);
    size_t bis = 0;
    for (size_t p = 0; (p = FindeOhneFall(u, "REPEAT", p)) != std::string::npos;) {
      const size_t hinter = std::min(p + 7, u.size());
      v.append(u, bis, hinter - bis);
      v += " begin ";
      bis = p = hinter;
    }
    v.append(u, bis, std::string::npos);
    std::string t;
    t.reserve(v.size() + 16);
    bis = 0;
    for (size_t p = 0; (p = FindeOhneFall(v, "UNTIL", p)) != std::string::npos; p += 5) {
      t.append(v, bis, p - bis);
      t += " end ";
      bis = p;
    }
    t.append(v, bis, std::string::npos);
    r += t;
  }
  return r;
}

TZeileSpalte Position(const std::vector<std::string>& zeilen, long long n) {
  if (n <= 0 || zeilen.empty()) return {1, 0};
  long long k = 0;
  for (size_t z = 0; z < zeilen.size(); ++z) {
    int spalte = 0;
    for (char c : zeilen[z]) {
      if (Folgebyte(c)) continue;
      ++spalte;
      if (c == '{') break;
      if (c != ' ' && c != '\t' && ++k == n) return {static_cast<int>(z) + 1, spalte};
    }
  }
  return {static_cast<int>(zeilen.size()), static_cast<int>(Zeichenzahl(zeilen.back())) + 1};
}

TScriptPruefung ScriptPruefen(const std::string& vorbereitet,
                              const std::vector<std::string>& zeilen) {
  TScriptPruefung r;
  // The position of the n-th non-blank character of the prepared text (0:
  // none) in the script lines.
  auto stelle = [&](size_t pos) {
    long long n = 0;
    for (size_t i = 0; i < vorbereitet.size() && i <= pos; ++i)
      if (vorbereitet[i] != ' ' && !Folgebyte(vorbereitet[i])) ++n;
    if (pos >= vorbereitet.size()) ++n;
    return Position(zeilen, n);
  };
  try {
    TPruefer pruefer(vorbereitet);
    r.Anweisung = pruefer.Pruefen();
    if (pruefer.Rest < vorbereitet.size()) {
      const TZeileSpalte p = stelle(pruefer.Rest);
      r.Hinweise.push_back("Hinweis zu Zeile " + std::to_string(p.Zeile) + " Spalte " +
                           std::to_string(p.Spalte) + ": " + meldung::NachDerAnweisung);
    }
  } catch (const TAbbruch& a) {
    r.Anweisung = TAnweisung();
    r.Hinweise.clear();
    const TZeileSpalte p = stelle(a.pos);
    r.Fehler.push_back("Fehler in Zeile " + std::to_string(p.Zeile) + " Spalte " +
                       std::to_string(p.Spalte) + ": " + a.meldung);
  }
  return r;
}

TScriptPruefung ScriptPruefen(const std::vector<std::string>& zeilen) {
  return ScriptPruefen(ScriptVorbereiten(zeilen), zeilen);
}

}  // namespace t21::script
