// The values of the script language: whole number, floating number,
// fixed-point currency, date-time, text and empty, with the arithmetic,
// comparison and conversions between the kinds.
//
// Rules: + joins two texts and adds otherwise; a text that meets a number is
// read as a number in the user's format (a text that is none raises
// TScriptFehler); two texts compare as texts (byte order of UTF-8, i.e. code
// point order); empty counts as whole number 0, and as the empty text next to
// a text. Whole numbers and currency stay exact while they can; an overflow
// gives a floating number. Floating operations never raise: infinities and
// not-a-number flow on.
#pragma once

#include <stdexcept>
#include <string>

#include "script/benutzerformat.h"

namespace t21::script {

// An error of evaluation (a failed conversion, a postfix text that does not
// fit the stack). It ends Calc or Parse and reaches their caller.
class TScriptFehler : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TVarTyp : unsigned char { Leer, Ganzzahl, Gleitzahl, Waehrung, Datum, Text };

struct TVariant {
  TVarTyp Typ = TVarTyp::Leer;
  long long Ganz = 0;  // Ganzzahl; Waehrung in ten-thousandths
  double Gleit = 0;    // Gleitzahl; Datum (days since 1899-12-30)
  std::string Text;    // Text

  static TVariant Ganzzahl(long long v);
  static TVariant Gleitzahl(double v);
  static TVariant Waehrung(long long zehntausendstel);
  static TVariant Datum(double t);
  static TVariant Txt(std::string t);

  // Back to empty without giving up the text's storage.
  void Leeren();
};

// The value as a number (a date-time as its day count, a currency exactly as
// far as a double holds it).
double AlsZahl(const TVariant& v, const TBenutzerFormat& f);
// The value as text in the user's format.
std::string AlsText(const TVariant& v, const TBenutzerFormat& f);
// A whole number: a number without fraction or a text of digits; anything
// else raises.
long long AlsGanzzahl(const TVariant& v, const TBenutzerFormat& f);
// A date-time: a number is its day count, a text is read in the user's
// format.
double AlsDatum(const TVariant& v, const TBenutzerFormat& f);

TVariant VarAdd(const TVariant& a, const TVariant& b, const TBenutzerFormat& f);
TVariant VarSub(const TVariant& a, const TVariant& b, const TBenutzerFormat& f);
TVariant VarMul(const TVariant& a, const TVariant& b, const TBenutzerFormat& f);
TVariant VarNeg(const TVariant& a, const TBenutzerFormat& f);

enum class TVergleich { Kleiner, Gleich, Groesser, Ungeordnet };
TVergleich VarVergleich(const TVariant& a, const TVariant& b, const TBenutzerFormat& f);

}  // namespace t21::script
