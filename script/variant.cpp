#include "script/variant.h"

#include <climits>
#include <cmath>

namespace t21::script {

namespace {

constexpr long long kWaehrungEins = 10000;

// An operand of arithmetic after its conversion to a number.
struct TZahl {
  enum Art { Ganz, Waehrung, Gleit, Datum } art;
  long long i = 0;  // Ganz; Waehrung in ten-thousandths
  double d = 0;     // Gleit, Datum
  double Wert() const {
    switch (art) {
      case Ganz:
        return static_cast<double>(i);
      case Waehrung:
        return static_cast<double>(i) / kWaehrungEins;
      default:
        return d;
    }
  }
};

[[noreturn]] void KeineZahl(const std::string& text) {
  throw TScriptFehler("Text ist keine Zahl: '" + text + "'");
}

TZahl Zahl(const TVariant& v, const TBenutzerFormat& f) {
  switch (v.Typ) {
    case TVarTyp::Leer:
      return {TZahl::Ganz, 0, 0};
    case TVarTyp::Ganzzahl:
      return {TZahl::Ganz, v.Ganz, 0};
    case TVarTyp::Waehrung:
      return {TZahl::Waehrung, v.Ganz, 0};
    case TVarTyp::Gleitzahl:
      return {TZahl::Gleit, 0, v.Gleit};
    case TVarTyp::Datum:
      return {TZahl::Datum, 0, v.Gleit};
    case TVarTyp::Text: {
      double d;
      if (!ZahlLesen(v.Text, f, d)) KeineZahl(v.Text);
      return {TZahl::Gleit, 0, d};
    }
  }
  return {TZahl::Ganz, 0, 0};
}

// Ten-thousandths of a whole number or currency operand; false on overflow.
bool Zehntausendstel(const TZahl& z, long long& r) {
  if (z.art == TZahl::Waehrung) {
    r = z.i;
    return true;
  }
  return !__builtin_mul_overflow(z.i, kWaehrungEins, &r);
}

enum class TRechnung { Plus, Minus, Mal };

TVariant Rechnen(TRechnung op, const TZahl& a, const TZahl& b) {
  const auto gleit = [&](double x, double y) {
    switch (op) {
      case TRechnung::Plus:
        return x + y;
      case TRechnung::Minus:
        return x - y;
      default:
        return x * y;
    }
  };
  if (a.art == TZahl::Datum || b.art == TZahl::Datum) {
    const double r = gleit(a.Wert(), b.Wert());
    if (op == TRechnung::Mal) return TVariant::Gleitzahl(r);
    // The distance of two dates is a number of days, a date moved is a date.
    if (op == TRechnung::Minus && a.art == TZahl::Datum && b.art == TZahl::Datum)
      return TVariant::Gleitzahl(r);
    return TVariant::Datum(r);
  }
  if (a.art == TZahl::Gleit || b.art == TZahl::Gleit)
    return TVariant::Gleitzahl(gleit(a.Wert(), b.Wert()));
  long long r;
  if (a.art == TZahl::Waehrung || b.art == TZahl::Waehrung) {
    if (op == TRechnung::Mal) {
      if (a.art == TZahl::Waehrung && b.art == TZahl::Waehrung) {
        const __int128 p = static_cast<__int128>(a.i) * b.i;
        __int128 q = p / kWaehrungEins;
        const __int128 rest = p % kWaehrungEins;
        if (2 * (rest < 0 ? -rest : rest) >= kWaehrungEins) q += p < 0 ? -1 : 1;
        if (q >= LLONG_MIN && q <= LLONG_MAX) return TVariant::Waehrung(static_cast<long long>(q));
      } else if (!__builtin_mul_overflow(a.i, b.i, &r)) {
        return TVariant::Waehrung(r);
      }
      return TVariant::Gleitzahl(gleit(a.Wert(), b.Wert()));
    }
    long long x, y;
    if (Zehntausendstel(a, x) && Zehntausendstel(b, y)) {
      const bool ueber = op == TRechnung::Plus ? __builtin_add_overflow(x, y, &r)
                                               : __builtin_sub_overflow(x, y, &r);
      if (!ueber) return TVariant::Waehrung(r);
    }
    return TVariant::Gleitzahl(gleit(a.Wert(), b.Wert()));
  }
  bool ueber = false;
  switch (op) {
    case TRechnung::Plus:
      ueber = __builtin_add_overflow(a.i, b.i, &r);
      break;
    case TRechnung::Minus:
      ueber = __builtin_sub_overflow(a.i, b.i, &r);
      break;
    case TRechnung::Mal:
      ueber = __builtin_mul_overflow(a.i, b.i, &r);
      break;
  }
  if (ueber) return TVariant::Gleitzahl(gleit(a.Wert(), b.Wert()));
  return TVariant::Ganzzahl(r);
}

template <class T>
TVergleich Ordnung(T a, T b) {
  if (a < b) return TVergleich::Kleiner;
  if (b < a) return TVergleich::Groesser;
  if (a == b) return TVergleich::Gleich;
  return TVergleich::Ungeordnet;
}

}  // namespace

TVariant TVariant::Ganzzahl(long long v) {
  TVariant r;
  r.Typ = TVarTyp::Ganzzahl;
  r.Ganz = v;
  return r;
}

TVariant TVariant::Gleitzahl(double v) {
  TVariant r;
  r.Typ = TVarTyp::Gleitzahl;
  r.Gleit = v;
  return r;
}

TVariant TVariant::Waehrung(long long z) {
  TVariant r;
  r.Typ = TVarTyp::Waehrung;
  r.Ganz = z;
  return r;
}

TVariant TVariant::Datum(double t) {
  TVariant r;
  r.Typ = TVarTyp::Datum;
  r.Gleit = t;
  return r;
}

TVariant TVariant::Txt(std::string t) {
  TVariant r;
  r.Typ = TVarTyp::Text;
  r.Text = std::move(t);
  return r;
}

void TVariant::Leeren() {
  Typ = TVarTyp::Leer;
  Ganz = 0;
  Gleit = 0;
  Text.clear();
}

double AlsZahl(const TVariant& v, const TBenutzerFormat& f) {
  return Zahl(v, f).Wert();
}

std::string AlsText(const TVariant& v, const TBenutzerFormat& f) {
  switch (v.Typ) {
    case TVarTyp::Leer:
      return std::string();
    case TVarTyp::Ganzzahl:
      return std::to_string(v.Ganz);
    case TVarTyp::Gleitzahl:
      return GleitText(v.Gleit, f);
    case TVarTyp::Waehrung:
      return WaehrungText(v.Ganz, f);
    case TVarTyp::Datum:
      return DatumZeitWertText(v.Gleit, f);
    case TVarTyp::Text:
      return v.Text;
  }
  return std::string();
}

long long AlsGanzzahl(const TVariant& v, const TBenutzerFormat& f) {
  switch (v.Typ) {
    case TVarTyp::Ganzzahl:
      return v.Ganz;
    case TVarTyp::Waehrung:
      if (v.Ganz % kWaehrungEins == 0) return v.Ganz / kWaehrungEins;
      break;
    case TVarTyp::Gleitzahl:
    case TVarTyp::Datum:
      // 2^63 is the first double beyond the whole numbers.
      if (v.Gleit == std::trunc(v.Gleit) && v.Gleit >= -9223372036854775808.0 &&
          v.Gleit < 9223372036854775808.0)
        return static_cast<long long>(v.Gleit);
      break;
    case TVarTyp::Text: {
      long long r;
      if (GanzzahlLesen(v.Text, r)) return r;
      break;
    }
    case TVarTyp::Leer:
      break;
  }
  throw TScriptFehler("keine ganze Zahl: '" + AlsText(v, f) + "'");
}

double AlsDatum(const TVariant& v, const TBenutzerFormat& f) {
  if (v.Typ != TVarTyp::Text) return AlsZahl(v, f);
  double t;
  if (!DatumZeitLesen(v.Text, TDatumArt::DatumZeit, f, t))
    throw TScriptFehler("kein Datum: '" + v.Text + "'");
  return t;
}

TVariant VarAdd(const TVariant& a, const TVariant& b, const TBenutzerFormat& f) {
  const bool ta = a.Typ == TVarTyp::Text || a.Typ == TVarTyp::Leer;
  const bool tb = b.Typ == TVarTyp::Text || b.Typ == TVarTyp::Leer;
  if (ta && tb && (a.Typ == TVarTyp::Text || b.Typ == TVarTyp::Text))
    return TVariant::Txt(a.Text + b.Text);
  return Rechnen(TRechnung::Plus, Zahl(a, f), Zahl(b, f));
}

TVariant VarSub(const TVariant& a, const TVariant& b, const TBenutzerFormat& f) {
  return Rechnen(TRechnung::Minus, Zahl(a, f), Zahl(b, f));
}

TVariant VarMul(const TVariant& a, const TVariant& b, const TBenutzerFormat& f) {
  return Rechnen(TRechnung::Mal, Zahl(a, f), Zahl(b, f));
}

TVariant VarNeg(const TVariant& a, const TBenutzerFormat& f) {
  const TZahl z = Zahl(a, f);
  switch (z.art) {
    case TZahl::Ganz:
      if (z.i != LLONG_MIN) return TVariant::Ganzzahl(-z.i);
      return TVariant::Gleitzahl(-z.Wert());
    case TZahl::Waehrung:
      if (z.i != LLONG_MIN) return TVariant::Waehrung(-z.i);
      return TVariant::Gleitzahl(-z.Wert());
    case TZahl::Datum:
      return TVariant::Datum(-z.d);
    case TZahl::Gleit:
      break;
  }
  return TVariant::Gleitzahl(-z.d);
}

TVergleich VarVergleich(const TVariant& a, const TVariant& b, const TBenutzerFormat& f) {
  const bool ta = a.Typ == TVarTyp::Text || a.Typ == TVarTyp::Leer;
  const bool tb = b.Typ == TVarTyp::Text || b.Typ == TVarTyp::Leer;
  if (ta && tb) {
    const int c = a.Text.compare(b.Text);
    return c < 0 ? TVergleich::Kleiner : c > 0 ? TVergleich::Groesser : TVergleich::Gleich;
  }
  const TZahl x = Zahl(a, f), y = Zahl(b, f);
  if (x.art == TZahl::Ganz && y.art == TZahl::Ganz) return Ordnung(x.i, y.i);
  if ((x.art == TZahl::Ganz || x.art == TZahl::Waehrung) &&
      (y.art == TZahl::Ganz || y.art == TZahl::Waehrung)) {
    const __int128 p = x.art == TZahl::Ganz ? static_cast<__int128>(x.i) * kWaehrungEins : x.i;
    const __int128 q = y.art == TZahl::Ganz ? static_cast<__int128>(y.i) * kWaehrungEins : y.i;
    return Ordnung(p, q);
  }
  return Ordnung(x.Wert(), y.Wert());
}

}  // namespace t21::script
