// Numbers and date-time values as text in the user's format: reading, the
// general text of a value, and the format patterns of FORMATFLOAT and
// FORMATDATETIME. The default is the German format (decimal comma, date
// "dd.mm.yyyy", time "hh:nn:ss").
#pragma once

#include <string>
#include <string_view>

namespace t21::script {

struct TBenutzerFormat {
  char Dezimaltrenner = ',';
  char Tausendertrenner = '.';
  char Datumstrenner = '.';
  char Zeittrenner = ':';
};

enum class TDatumArt { Datum, Zeit, DatumZeit };

// A number in the user's format: blanks around it, sign, digits with the
// decimal separator, an exponent; also INF, -INF and NAN (as written by
// GleitText). No thousands separators. False when the text is none.
bool ZahlLesen(std::string_view text, const TBenutzerFormat& f, double& wert);

// A whole number: blanks around it, sign, decimal digits.
bool GanzzahlLesen(std::string_view text, long long& wert);

// The general text of a floating number: at most 15 significant digits,
// fixed-point between 1E-4 and 1E15, otherwise with exponent ("1,5E-7").
std::string GleitText(double v, const TBenutzerFormat& f);

// A fixed-point currency value held in ten-thousandths, with up to four
// decimals ("19,62").
std::string WaehrungText(long long zehntausendstel, const TBenutzerFormat& f);

// A date-time value as text: the date, the time when it is not midnight;
// a value without date part as time only.
std::string DatumZeitWertText(double t, const TBenutzerFormat& f);

// Reads "d.m.yyyy" (two-digit years: 00-49 are 20xx, 50-99 are 19xx), a time
// "h:n[:s[.zzz]]" or a date followed by a time, as the kind asks. False for an
// invalid or unreadable text.
bool DatumZeitLesen(std::string_view text, TDatumArt art, const TBenutzerFormat& f, double& t);

// True when the day count lies within the calendar (years 1 to 9999).
bool ImKalender(double t);

// FORMATFLOAT: digit placeholders "0" and "#", decimal point ".", thousands
// separator ",", exponents "E+0"/"E-0", quoted literals, up to three sections
// (positive; negative; zero) separated by ";". An empty pattern gives
// GleitText.
std::string FormatFloat(std::string_view muster, double v, const TBenutzerFormat& f);

// FORMATDATETIME: d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes after an
// hour), yy yyyy, h hh, n nn, s ss, z zzz, c, t, tt, "/" and ":" as the
// user's separators, quoted literals. An empty pattern is "c". False when t
// lies outside the calendar.
bool FormatDateTime(std::string_view muster, double t, const TBenutzerFormat& f,
                    std::string& ergebnis);

}  // namespace t21::script
