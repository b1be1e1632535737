#include "tools/upn.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

#include "storage/tabelle.h"

namespace t21 {

namespace {

constexpr const char* kStrich = "\u2013";

bool Im64BitBereich(double v) {
  return std::isfinite(v) && std::trunc(v) >= -9223372036854775808.0 &&
         std::trunc(v) < 9223372036854775808.0;
}

}  // namespace

std::string HexText(double v) {
  if (!Im64BitBereich(v)) return kStrich;
  const auto n = static_cast<uint64_t>(static_cast<int64_t>(std::trunc(v)));
  char b[24];
  std::snprintf(b, sizeof b, "%08llX", static_cast<unsigned long long>(n));
  return b;
}

std::string BinText(double v) {
  if (!Im64BitBereich(v)) return kStrich;
  const double t = std::trunc(v);
  if (t < 1) return "0";
  uint64_t n = static_cast<uint64_t>(t);
  int e = 0;
  while (e < 63 && (uint64_t{1} << (e + 1)) <= n) ++e;
  std::string s;
  for (; e >= 0; --e) {
    const uint64_t p = uint64_t{1} << e;
    if (n >= p) {
      s += '1';
      n -= p;
    } else {
      s += '0';
    }
  }
  return s;
}

TUpnRechner::TUpnRechner(char dezimaltrenner) : FTrenner(dezimaltrenner) {
  Aktualisiere();
}

double TUpnRechner::x() const {
  return TextZuZahl(X, 0);
}
double TUpnRechner::y() const {
  return TextZuZahl(Y, 0);
}

void TUpnRechner::Lift() {
  T = Z;
  Z = Y;
  Y = X;
  if (Y.empty()) Y = "0";
}

void TUpnRechner::Drop() {
  X = Y;
  Y = Z;
  Z = T;
}

std::string TUpnRechner::ErgebnisText(double r) const {
  if (std::isnan(r)) return "NAN";
  if (std::isinf(r)) return r > 0 ? "INF" : "-INF";
  char b[400];
  // Fixed notation up to 18 digits before the point, beyond that scientific.
  if (std::fabs(r) >= 1e18)
    std::snprintf(b, sizeof b, "%.17E", r);
  else
    std::snprintf(b, sizeof b, "%.6f", r);
  std::string s = b;
  // No sign on a number that rounds to zero.
  if (s[0] == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
  for (char& c : s)
    if (c == '.') c = FTrenner;
  return s;
}

void TUpnRechner::ZeigeErgebnis(double r) {
  X = ErgebnisText(r);
  Status.clear();
  FErgebnis = true;
  Aktualisiere();
}

bool TUpnRechner::VorTippen() {
  if (FErgebnis) Lift();
  if (FErgebnis || FNeu) {
    FErgebnis = FNeu = false;
    X.clear();
    return true;
  }
  return false;
}

void TUpnRechner::Ziffer(char c) {
  VorTippen();
  X += c;
  Status.clear();
  Aktualisiere();
}

void TUpnRechner::Enter() {
  Lift();
  Status.clear();
  FNeu = true;
  FErgebnis = false;
  Aktualisiere();
}

double TUpnRechner::Bogen(double v) const {
  switch (Winkel) {
    case TWinkel::DEG:
      return v * std::numbers::pi / 180;
    case TWinkel::GRAD:
      return v * std::numbers::pi / 200;
    case TWinkel::RAD:
      break;
  }
  return v;
}

double TUpnRechner::AusRadiant(double v) const {
  switch (Winkel) {
    case TWinkel::DEG:
      return v * 180 / std::numbers::pi;
    case TWinkel::GRAD:
      return v * 200 / std::numbers::pi;
    case TWinkel::RAD:
      break;
  }
  return v;
}

void TUpnRechner::Funktion(TUpnFunktion f) {
  const double a = x(), b = y();
  using F = TUpnFunktion;
  // Two operands: drop, then the result into X.
  switch (f) {
    case F::Plus:
    case F::Minus:
    case F::Mal:
    case F::Durch:
    case F::YHochX: {
      double r = 0;
      if (f == F::Plus)
        r = b + a;
      else if (f == F::Minus)
        r = b - a;
      else if (f == F::Mal)
        r = b * a;
      else if (f == F::Durch)
        r = b / a;
      else
        r = std::pow(b, a);
      Drop();
      ZeigeErgebnis(r);
      return;
    }
    case F::Vorzeichen: {
      // The sign of the text in X, so that typing goes on after it.
      if (!X.empty() && X[0] == '-')
        X.erase(0, 1);
      else
        X.insert(0, 1, '-');
      Status.clear();
      Aktualisiere();
      return;
    }
    default:
      break;
  }
  double r = 0;
  switch (f) {
    case F::Kehrwert:
      r = 1 / a;
      break;
    case F::Wurzel:
      r = std::sqrt(a);
      break;
    case F::Quadrat:
      r = a * a;
      break;
    case F::Log:
      r = std::log10(a);
      break;
    case F::ZehnHochX:
      r = std::pow(10.0, a);
      break;
    case F::Ln:
      r = std::log(a);
      break;
    case F::Exp:
      r = std::exp(a);
      break;
    case F::Sin:
      r = std::sin(Bogen(a));
      break;
    case F::Cos:
      r = std::cos(Bogen(a));
      break;
    case F::Tan:
      r = std::tan(Bogen(a));
      break;
    case F::Cot:
      r = 1 / std::tan(Bogen(a));
      break;
    case F::ASin:
      r = AusRadiant(std::asin(a));
      break;
    case F::ACos:
      r = AusRadiant(std::acos(a));
      break;
    case F::ATan:
      r = AusRadiant(std::atan(a));
      break;
    case F::ACot:
      r = AusRadiant(std::atan(1 / a));
      break;
    case F::SinH:
      r = std::sinh(a);
      break;
    case F::CosH:
      r = std::cosh(a);
      break;
    case F::TanH:
      r = std::tanh(a);
      break;
    case F::CotH:
      r = 1 / std::tanh(a);
      break;
    case F::ASinH:
      r = std::asinh(a);
      break;
    case F::ACosH:
      r = std::acosh(a);
      break;
    case F::ATanH:
      r = std::atanh(a);
      break;
    case F::ACotH:
      r = std::atanh(1 / a);
      break;
    default:
      break;
  }
  ZeigeErgebnis(r);
}

void TUpnRechner::Konstante(double wert) {
  if (!FNeu) Lift();
  FNeu = false;
  ZeigeErgebnis(wert);
}

void TUpnRechner::Pfeil(bool hoch) {
  ZeigeErgebnis(x() + (hoch ? 1 : -1));
  FErgebnis = false;
}

TUpnRechner::TTaste TUpnRechner::Taste(char c) {
  using F = TUpnFunktion;
  switch (c) {
    case '+':
      Funktion(F::Plus);
      return TTaste::Ausgefuehrt;
    case '-':
      Funktion(F::Minus);
      return TTaste::Ausgefuehrt;
    case '*':
      Funktion(F::Mal);
      return TTaste::Ausgefuehrt;
    case '/':
      Funktion(F::Durch);
      return TTaste::Ausgefuehrt;
    case '^':
      Funktion(F::YHochX);
      return TTaste::Ausgefuehrt;
    case 'g':
    case 'G':
      Konstante(9.81);
      return TTaste::Ausgefuehrt;
    case 'p':
    case 'P':
      Konstante(std::numbers::pi);
      return TTaste::Ausgefuehrt;
    default:
      break;
  }
  if ((c >= '0' && c <= '9') || c == FTrenner) {
    VorTippen();
    X += c;
    Aktualisiere();
    return TTaste::Eingegeben;
  }
  return TTaste::Verschluckt;
}

void TUpnRechner::SetzeX(const std::string& text) {
  X = text;
  Aktualisiere();
}

void TUpnRechner::Aktualisiere() {
  FHex = HexText(x());
  FBin = BinText(x());
}

}  // namespace t21
