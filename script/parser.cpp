#include "script/parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "model/datum.h"
#include "script/operatoren.h"
#include "script/text.h"

namespace t21::script {

namespace {

// Nesting of the forms with arguments (each level parses its arguments anew).
constexpr int kMaxTiefe = 200;
// Forms replaced within one expression; a result of OnFunction that names a
// call again would otherwise be expanded for ever.
constexpr int kMaxErsetzungen = 10000;

bool IstZiffer(char c) {
  return c >= '0' && c <= '9';
}

bool IstOpZeichen(char c) {
  return c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' || c == '>' ||
         c == '^';
}

// Nearest whole number, halves to the even neighbour, whatever the rounding
// mode of the processor.
double HalbGerade(double x) {
  double r = std::round(x);
  if (std::fabs(r - x) == 0.5) r = 2.0 * std::round(x / 2.0);
  return r;
}

bool AlsLongLong(double r, long long& v) {
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
  v = static_cast<long long>(r);
  return true;
}

// ---------------------------------------------------------------------------
// Reading a postfix text. The same reader feeds the evaluation of the text
// and the compiler, so both see the same constants, names and operators in
// the same order.

template <class Ziel>
void PostfixLesen(std::string_view s, const TBenutzerFormat& f, Ziel& z) {
  char art = 0;  // the kind selected by "%" for the next quoted text
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == op::UnaerPlus || c == op::Fak) {
      ++i;
      continue;
    }
    if (c == '%') {
      art = i + 1 < s.size() ? s[i + 1] : 0;
      if (art >= 'a' && art <= 'z') art = static_cast<char>(art - 32);
      i += 2;
      continue;
    }
    if (c == '\'') {
      bool geschlossen;
      const size_t e = QuoteEnde(s, i, geschlossen);
      std::string text = Unquote(s.substr(i, e - i));
      i = e;
      if (art == 'D' || art == 'T' || art == 'Z') {
        const TDatumArt da = art == 'D'   ? TDatumArt::Datum
                             : art == 'T' ? TDatumArt::Zeit
                                          : TDatumArt::DatumZeit;
        art = 0;
        double t;
        if (!DatumZeitLesen(text, da, f, t)) {
          z.Fehler("kein Datum: '" + text + "'");
          return;
        }
        z.Konstante(TVariant::Datum(t));
      } else {
        z.Konstante(TVariant::Txt(std::move(text)));
      }
      continue;
    }
    if (c == '[') {
      bool geschlossen;
      const size_t e = KlammerEnde(s, i, geschlossen);
      z.Name(Gross(s.substr(i + 1, (geschlossen ? e - 1 : e) - i - 1)));
      i = e;
      continue;
    }
    if (OperatorZuCode(c)) {
      z.Operator(c);
      ++i;
      continue;
    }
    size_t e = s.find(' ', i);
    if (e == std::string_view::npos) e = s.size();
    const std::string_view token = s.substr(i, e - i);
    i = e;
    // Parse writes numbers that begin with ",", "." or a digit; all are numbers here too.
    if (token[0] == '.' || token[0] == ',' || IstZiffer(token[0])) {
      std::string zahl(token);
      for (char& ch : zahl)
        if (ch == '.') ch = f.Dezimaltrenner;
      double d;
      if (!ZahlLesen(zahl, f, d)) {
        z.Fehler("keine Zahl: '" + std::string(token) + "'");
        return;
      }
      z.Konstante(TVariant::Gleitzahl(d));
    } else {
      z.Name(Gross(token));
    }
  }
}

// ---------------------------------------------------------------------------
// The evaluation: a stack of kStapelGroesse values and the operators.

const std::string& ElementfunktionName(unsigned char code) {
  static const std::array<std::string, 6> kNamen = {"QD",     "ZUFLUSS", "ABFLUSS",
                                                    "INHALT", "VOLUMEN", "DROSSEL"};
  return kNamen[code - op::Qd];
}

class TRechner {
 public:
  explicit TRechner(TbbParser& p) : p_(p), f_(p.Format) {}

  void Konstante(const TVariant& v) { Neu() = v; }
  void Konstante(TVariant&& v) { Neu() = std::move(v); }
  void Name(const std::string& gross) {
    TVariant& v = Neu();
    if (p_.OnGetValue) p_.OnGetValue(gross, v);
  }
  [[noreturn]] void Fehler(const std::string& meldung) { throw TScriptFehler(meldung); }
  void Operator(unsigned char code);

  TVariant Ergebnis() { return n_ > 0 ? std::move(st_[0]) : TVariant(); }

 private:
  TVariant& Neu() {
    if (n_ == kStapelGroesse)
      throw TScriptFehler("Ausdruck zu umfangreich: mehr als " + std::to_string(kStapelGroesse) +
                          " Werte gleichzeitig offen");
    TVariant& v = st_[static_cast<size_t>(n_++)];
    v.Leeren();
    return v;
  }
  TVariant Binaer(unsigned char code, const TVariant& a, const TVariant& b);
  void Unaer(unsigned char code, TVariant& v);

  TbbParser& p_;
  const TBenutzerFormat& f_;
  std::array<TVariant, kStapelGroesse> st_;
  int n_ = 0;
};

void TRechner::Operator(unsigned char code) {
  const TOperator* o = OperatorZuCode(code);
  if (n_ < o->Stellen) throw TScriptFehler("Operator ohne Operand");
  if (o->Stellen == 2) {
    TVariant& a = st_[static_cast<size_t>(n_ - 2)];
    a = Binaer(code, a, st_[static_cast<size_t>(n_ - 1)]);
    --n_;
  } else {
    Unaer(code, st_[static_cast<size_t>(n_ - 1)]);
  }
}

TVariant TRechner::Binaer(unsigned char code, const TVariant& a, const TVariant& b) {
  const auto wahr = [](bool w) { return TVariant::Ganzzahl(w ? 1 : 0); };
  switch (code) {
    case op::Mal:
    case op::And:
      return VarMul(a, b, f_);
    case op::Durch:
      if (VarVergleich(b, TVariant::Ganzzahl(0), f_) == TVergleich::Gleich)
        return TVariant::Ganzzahl(0);
      return TVariant::Gleitzahl(AlsZahl(a, f_) / AlsZahl(b, f_));
    case op::Hoch:
      return TVariant::Gleitzahl(std::pow(AlsZahl(a, f_), AlsZahl(b, f_)));
    case op::Plus:
      return VarAdd(a, b, f_);
    case op::Minus:
      return VarSub(a, b, f_);
    case op::Or: {
      // A sum of truth values: texts count as numbers, they are not joined.
      const auto zahl = [&](const TVariant& v) {
        return v.Typ == TVarTyp::Text ? TVariant::Gleitzahl(AlsZahl(v, f_)) : v;
      };
      return VarAdd(zahl(a), zahl(b), f_);
    }
    case op::Mod: {
      const auto ganz = [&](const TVariant& v, long long& r) {
        if (v.Typ == TVarTyp::Ganzzahl) {
          r = v.Ganz;
          return true;
        }
        return AlsLongLong(HalbGerade(AlsZahl(v, f_)), r);
      };
      long long x, y;
      if (!ganz(a, x) || !ganz(b, y)) return TVariant::Gleitzahl(std::nan(""));
      // A remainder by 0 is 0, as the quotient by 0 is.
      if (y == 0 || y == -1) return TVariant::Ganzzahl(0);
      return TVariant::Ganzzahl(x % y);
    }
    case op::Min:
      return VarVergleich(a, b, f_) == TVergleich::Kleiner ? a : b;
    case op::Max:
      return VarVergleich(a, b, f_) == TVergleich::Groesser ? a : b;
    default:
      break;
  }
  const TVergleich v = VarVergleich(a, b, f_);
  switch (code) {
    case op::Kleiner:
      return wahr(v == TVergleich::Kleiner);
    case op::Gleich:
      return wahr(v == TVergleich::Gleich);
    case op::Groesser:
      return wahr(v == TVergleich::Groesser);
    case op::GroesserGleich:
      return wahr(v == TVergleich::Groesser || v == TVergleich::Gleich);
    case op::KleinerGleich:
      return wahr(v == TVergleich::Kleiner || v == TVergleich::Gleich);
    default:  // op::Ungleich
      return wahr(v != TVergleich::Gleich);
  }
}

void TRechner::Unaer(unsigned char code, TVariant& v) {
  const auto gleit = [&](double d) { v = TVariant::Gleitzahl(d); };
  const auto ganz = [&](long long i) { v = TVariant::Ganzzahl(i); };
  const auto text = [&](std::string t) { v = TVariant::Txt(std::move(t)); };
  const double pi = std::numbers::pi;
  switch (code) {
    case op::UnaerMinus:
      v = VarNeg(v, f_);
      return;
    case op::Not:
      ganz(VarVergleich(v, TVariant::Ganzzahl(0), f_) == TVergleich::Gleich ? 1 : 0);
      return;
    case op::Round: {
      if (v.Typ == TVarTyp::Ganzzahl) return;
      const double r = HalbGerade(AlsZahl(v, f_));
      long long i;
      if (AlsLongLong(r, i))
        ganz(i);
      else
        gleit(r);
      return;
    }
    case op::Sign: {
      const double x = AlsZahl(v, f_);
      ganz(x > 0 ? 1 : x < 0 ? -1 : 0);
      return;
    }
    case op::Str:
      text(AlsText(v, f_));
      return;
    case op::Uppercase:
      text(Gross(AlsText(v, f_)));
      return;
    case op::Lowercase:
      text(Klein(AlsText(v, f_)));
      return;
    case op::LTrim:
    case op::RTrim:
    case op::Trim: {
      const std::string t = AlsText(v, f_);
      size_t a = 0, b = t.size();
      const auto leer = [&](size_t k) { return static_cast<unsigned char>(t[k]) <= ' '; };
      if (code != op::RTrim)
        while (a < b && leer(a)) ++a;
      if (code != op::LTrim)
        while (b > a && leer(b - 1)) --b;
      text(t.substr(a, b - a));
      return;
    }
    case op::Length:
      ganz(static_cast<long long>(Zeichenzahl(AlsText(v, f_))));
      return;
    case op::StrToDate:
    case op::StrToTime:
    case op::StrToDateTime: {
      const TDatumArt art = code == op::StrToDate   ? TDatumArt::Datum
                            : code == op::StrToTime ? TDatumArt::Zeit
                                                    : TDatumArt::DatumZeit;
      const std::string t = AlsText(v, f_);
      double d;
      if (!DatumZeitLesen(t, art, f_, d)) throw TScriptFehler("kein Datum: '" + t + "'");
      v = TVariant::Datum(d);
      return;
    }
    case op::DayOfWeek:
    case op::DayOfMonth:
    case op::DayOfYear:
    case op::HourOf:
    case op::MonthOf:
    case op::MinuteOf:
    case op::YearOf: {
      const double t = AlsDatum(v, f_);
      // A day count outside the calendar has no date: not-a-number flows on.
      if (!ImKalender(t)) return gleit(std::nan(""));
      const TDatumTeile d = DecodeDateTime(t);
      switch (code) {
        case op::DayOfWeek: {
          TDateTime tag = 0;
          EncodeDate(d.Jahr, d.Monat, d.Tag, tag);
          // 0001-01-01, day 0 of the count below, was a Monday.
          return ganz(static_cast<long long>(tag + 693593) % 7 + 1);
        }
        case op::DayOfMonth:
          return ganz(d.Tag);
        case op::DayOfYear:
          return ganz(DayOfTheYear(t));
        case op::HourOf:
          return ganz(d.Stunde);
        case op::MonthOf:
          return ganz(d.Monat);
        case op::MinuteOf:
          return ganz(d.Minute);
        default:
          return ganz(d.Jahr);
      }
    }
    case op::Show:
      if (p_.OnShow) p_.OnShow(AlsText(v, f_));
      return;
    case op::Qd:
    case op::Zufluss:
    case op::Abfluss:
    case op::Inhalt:
    case op::Volumen:
    case op::Drossel: {
      static const TVariant kNull = TVariant::Ganzzahl(0);
      std::string val;
      if (p_.OnFunction) p_.OnFunction(ElementfunktionName(code), v, kNull, kNull, val);
      text(std::move(val));
      return;
    }
    default:
      break;
  }
  const double x = AlsZahl(v, f_);
  switch (code) {
    case op::Int:
      return gleit(std::trunc(x));
    case op::Frac:
      return gleit(x - std::trunc(x));
    case op::Ln:
      return gleit(std::log(x));
    case op::Log:
      return gleit(std::log10(x));
    case op::Exp:
      return gleit(std::exp(x));
    case op::Sin:
      return gleit(std::sin(x));
    case op::Cos:
      return gleit(std::cos(x));
    case op::Tan:
      return gleit(std::tan(x));
    case op::Cot:
      return gleit(1.0 / std::tan(x));
    case op::Grad:
      return gleit(x * pi / 180.0);
    case op::Sqrt:
      return gleit(std::sqrt(x));
    case op::Abs:
      return gleit(std::fabs(x));
    case op::Cosh:
      return gleit(std::cosh(x));
    case op::Sinh:
      return gleit(std::sinh(x));
    case op::Tanh:
      return gleit(std::tanh(x));
    case op::Coth:
      return gleit(1.0 / std::tanh(x));
    case op::ASin:
      return gleit(std::asin(x));
    case op::ACos:
      return gleit(std::acos(x));
    case op::ATan:
      return gleit(std::atan(x));
    case op::ACot:
      return gleit(pi / 2.0 - std::atan(x));
    default:
      return;
  }
}

// Records what the reader finds as steps of a TPostfixCode.
struct TAufzeichner {
  TPostfixCode& c;

  void Konstante(TVariant&& v) {
    c.Schritte.push_back(
        {TSchrittArt::Konstante, 0, static_cast<std::uint32_t>(c.Konstanten.size())});
    c.Konstanten.push_back(std::move(v));
  }
  void Name(std::string&& gross) {
    std::uint32_t slot = 0;
    while (slot < c.Namen.size() && c.Namen[slot] != gross) ++slot;
    if (slot == c.Namen.size()) c.Namen.push_back(std::move(gross));
    c.Schritte.push_back({TSchrittArt::Name, 0, slot});
  }
  void Operator(unsigned char code) { c.Schritte.push_back({TSchrittArt::Operator, code, 0}); }
  void Fehler(std::string meldung) {
    c.Schritte.push_back({TSchrittArt::Fehler, 0, static_cast<std::uint32_t>(c.Fehler.size())});
    c.Fehler.push_back(std::move(meldung));
  }
};

// ---------------------------------------------------------------------------
// Parse

struct TArgumente {
  std::vector<std::string> Texte;
  size_t Ende;  // behind the closing parenthesis
};

// s[auf] is "(": the texts between the top-level commas up to the matching
// ")" (to the end of s when there is none), every "[" and "]" in them turned
// into a quote.
TArgumente ArgumenteLesen(const std::string& s, size_t auf) {
  TArgumente a{{}, s.size()};
  int tiefe = 0;
  bool quote = false;
  size_t anfang = auf + 1, ende = s.size();
  for (size_t j = auf + 1; j < s.size(); ++j) {
    const char c = s[j];
    if (quote) {
      if (c == '\'') quote = false;
    } else if (c == '\'') {
      quote = true;
    } else if (c == '(') {
      ++tiefe;
    } else if (c == ',' && tiefe == 0) {
      a.Texte.push_back(s.substr(anfang, j - anfang));
      anfang = j + 1;
    } else if (c == ')' && tiefe-- == 0) {
      ende = j;
      a.Ende = j + 1;
      break;
    }
  }
  a.Texte.push_back(s.substr(anfang, ende - anfang));
  for (auto& t : a.Texte)
    for (char& c : t)
      if (c == '[' || c == ']') c = '\'';
  return a;
}

}  // namespace

std::string TbbParser::Parse(const std::string& s) {
  return ParseIn(s, 0);
}

TVariant TbbParser::Auswerten(const std::string& argument, int tiefe) {
  return Calc(ParseIn(argument, tiefe + 1));
}

std::string TbbParser::ParseIn(std::string s, int tiefe) {
  if (tiefe > kMaxTiefe) throw TScriptFehler("Ausdruck zu tief geschachtelt");
  std::string O;
  std::string K;  // the operator stack, one code per character
  bool S = false;
  int ersetzungen = 0;
  const auto top = [&] { return static_cast<unsigned char>(K.back()); };
  const auto vorrang = [&](unsigned char c) {
    S = false;
    if (!IstPraefix(c) && !K.empty() && Klasse(c) >= Klasse(top())) {
      while (!K.empty() && Klasse(c) >= Klasse(top())) {
        O += K.back();
        K.pop_back();
      }
    }
    K += static_cast<char>(c);
  };

  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ') {
      ++i;
      continue;
    }
    if (c == ';') break;
    if (c == '(') {
      K += '(';
      S = false;
      ++i;
      continue;
    }
    if (c == ')') {
      while (!K.empty() && K.back() != '(') {
        O += K.back();
        K.pop_back();
      }
      if (!K.empty()) K.pop_back();
      ++i;
      continue;
    }
    if (IstOpZeichen(c)) {
      const char n = i + 1 < s.size() ? s[i + 1] : 0;
      unsigned char code = static_cast<unsigned char>(c);
      size_t laenge = 1;
      if (c == '<' && n == '>') {
        code = op::Ungleich, laenge = 2;
      } else if (c == '>' && n == '=') {
        code = op::GroesserGleich, laenge = 2;
      } else if (c == '<' && n == '=') {
        code = op::KleinerGleich, laenge = 2;
      } else if (c == '-' && !S) {
        code = op::UnaerMinus;
      } else if (c == '+' && !S) {
        code = op::UnaerPlus;
      }
      i += laenge;
      vorrang(code);
      continue;
    }

    // A token.
    const size_t anfang = i;
    if (s[i] == '%') i = std::min(i + 2, s.size());
    bool geschlossen;
    if (i < s.size() && s[i] == '\'') {
      i = QuoteEnde(s, i, geschlossen);
    } else if (i < s.size() && s[i] == '[') {
      i = KlammerEnde(s, i, geschlossen);
    } else {
      bool doppelt = false;
      for (; i < s.size(); ++i) {
        const char ch = s[i];
        if (ch == '"') {
          doppelt = !doppelt;
        } else if (!doppelt && (ch == ' ' || ch == '(' || ch == ')' || IstOpZeichen(ch))) {
          break;
        }
      }
    }
    const std::string token = s.substr(anfang, i - anfang);
    S = true;
    if (token[0] == ',' || token[0] == '.' || IstZiffer(token[0])) {
      O += token + ' ';
      continue;
    }
    const std::string gross = Gross(token);
    if (const TOperator* o = Funktionswort(gross)) {
      vorrang(o->Code);
      continue;
    }
    if (i >= s.size() || s[i] != '(') {
      O += token + ' ';
      continue;
    }

    // A form with arguments: replaced in s by its result, and read on from there.
    if (++ersetzungen > kMaxErsetzungen) throw TScriptFehler("Ausdruck zu umfangreich");
    const TArgumente a = ArgumenteLesen(s, i);
    const auto arg = [&](size_t k) { return k < a.Texte.size() ? a.Texte[k] : std::string(); };
    std::string ersatz;
    if (gross == "COPY") {
      const std::string text = AlsText(Auswerten(arg(0), tiefe), Format);
      const long long von = AlsGanzzahl(Auswerten(arg(1), tiefe), Format);
      const long long anzahl = AlsGanzzahl(Auswerten(arg(2), tiefe), Format);
      ersatz = Quote(TeilText(text, von, anzahl));
    } else if (gross == "FORMATFLOAT") {
      const std::string muster = AlsText(Auswerten(arg(0), tiefe), Format);
      const double v = AlsZahl(Auswerten(arg(1), tiefe), Format);
      ersatz = Quote(FormatFloat(muster, v, Format));
    } else if (gross == "FORMATDATETIME") {
      const std::string muster = AlsText(Auswerten(arg(0), tiefe), Format);
      const TVariant w = Auswerten(arg(1), tiefe);
      double t = w.Gleit;
      std::string text;
      if (w.Typ != TVarTyp::Datum) {
        text = AlsText(w, Format);
        if (!DatumZeitLesen(text, TDatumArt::DatumZeit, Format, t))
          throw TScriptFehler("kein Datum: '" + text + "'");
      }
      if (!FormatDateTime(muster, t, Format, text))
        throw TScriptFehler("kein Datum: '" + AlsText(w, Format) + "'");
      ersatz = Quote(text);
    } else if (gross == "IF") {
      const double bedingung = AlsZahl(Auswerten(arg(0), tiefe), Format);
      ersatz = "(" + (std::trunc(bedingung) > 0 ? arg(1) : arg(2)) + ")";
    } else if (gross == "MIN" || gross == "MAX") {
      O += ParseIn(arg(0), tiefe + 1) + ' ' + ParseIn(arg(1), tiefe + 1) +
           static_cast<char>(gross == "MIN" ? op::Min : op::Max);
    } else {
      std::array<TVariant, 3> p;
      for (size_t k = 0; k < 3 && k < a.Texte.size(); ++k) p[k] = TVariant::Txt(a.Texte[k]);
      std::string val;
      if (OnFunction) OnFunction(gross, p[0], p[1], p[2], val);
      ersatz = "(" + val + ")";
    }
    s.replace(anfang, a.Ende - anfang, ersatz);
    i = anfang;
  }
  while (!K.empty()) {
    if (K.back() != '(') O += K.back();
    K.pop_back();
  }
  return O;
}

TVariant TbbParser::Calc(const std::string& s) {
  TRechner r(*this);
  PostfixLesen(s, Format, r);
  return r.Ergebnis();
}

TVariant TbbParser::Execute(const std::string& s) {
  return Calc(Parse(s));
}

TPostfixCode TbbParser::Compile(const std::string& s) const {
  TPostfixCode c;
  TAufzeichner z{c};
  PostfixLesen(s, Format, z);
  return c;
}

TVariant TbbParser::Calc(const TPostfixCode& code) {
  TRechner r(*this);
  for (const TSchritt& s : code.Schritte) {
    switch (s.Art) {
      case TSchrittArt::Konstante:
        r.Konstante(code.Konstanten[s.Index]);
        break;
      case TSchrittArt::Name:
        r.Name(code.Namen[s.Index]);
        break;
      case TSchrittArt::Operator:
        r.Operator(s.Code);
        break;
      case TSchrittArt::Fehler:
        r.Fehler(code.Fehler[s.Index]);
    }
  }
  return r.Ergebnis();
}

TVariant TbbParser::Calc(const TPostfixCode& code, std::span<const TVariant> werte) {
  static const TVariant kLeer;
  TRechner r(*this);
  for (const TSchritt& s : code.Schritte) {
    switch (s.Art) {
      case TSchrittArt::Konstante:
        r.Konstante(code.Konstanten[s.Index]);
        break;
      case TSchrittArt::Name:
        r.Konstante(s.Index < werte.size() ? werte[s.Index] : kLeer);
        break;
      case TSchrittArt::Operator:
        r.Operator(s.Code);
        break;
      case TSchrittArt::Fehler:
        r.Fehler(code.Fehler[s.Index]);
    }
  }
  return r.Ergebnis();
}

}  // namespace t21::script
