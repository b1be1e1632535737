// Date-time values as days since 1899-12-30 with the time of day as fraction.
#pragma once

#include <string>

namespace t21 {

using TDateTime = double;

// Tolerance of clock comparisons, days.
inline constexpr double kZeitEps = 1e-8;

struct TDatumTeile {
  int Jahr = 1899, Monat = 12, Tag = 30;
  int Stunde = 0, Minute = 0, Sekunde = 0, Milli = 0;
};

bool IstSchaltjahr(int jahr);
int TageImMonat(int jahr, int monat);
// Whole days of the date; false for an invalid date.
bool EncodeDate(int jahr, int monat, int tag, TDateTime& ergebnis);
TDateTime EncodeTime(int stunde, int minute, int sekunde, int milli);
TDatumTeile DecodeDateTime(TDateTime t);
// Day of the year, 1..366.
int DayOfTheYear(TDateTime t);
int YearOf(TDateTime t);
TDateTime IncMilliSecond(TDateTime t, long long ms);
// t on the grid of whole milliseconds, moved by ms milliseconds: the double
// nearest to the millisecond count, so equal counts give equal values.
TDateTime AufMillisekunden(TDateTime t, long long ms = 0);

// "dd.mm.yyyy", "dd.mm.yy hh:nn:ss", "dd.mm.yyyy hh:nn" and ISO 8601.
std::string DatumText(TDateTime t);
std::string DatumZeitKurz(TDateTime t);
std::string DatumZeitText(TDateTime t);
std::string IsoText(TDateTime t);
// Reads "2001-05-01", "2001-05-01T06:00:00", "01.05.2001" or
// "01.05.2001 06:00[:ss]"; false when it is none of these or invalid.
bool DatumLesen(const std::string& text, TDateTime& ergebnis);

}  // namespace t21
