// Measured flow hydrographs for the calibration aid (".MGL"): a text file
// whose first line is "T;Q" and whose every further line is a date-time in
// the user's date and time format, a semicolon and the flow in l/s in the
// user's number format. The lines are in time order, the spacing is free.
// The computed hydrograph of a comparison run is written the same way, so
// that it loads as a measurement.
#pragma once

#include <string>
#include <vector>

#include "model/datum.h"
#include "storage/export_csv.h"

namespace t21 {

// A hydrograph: times, flows (l/s) and the cumulative volume (m3) at each
// time, the first 0 and each next the previous plus the previous flow held
// over the interval.
struct TGanglinie {
  std::vector<TDateTime> Zeit;
  std::vector<double> Q;
  std::vector<double> Summe;
  double Mittel = 0;  // mean flow of the lines, l/s
  std::string Datei;  // the file it came from

  bool Leer() const { return Zeit.empty(); }
  // Adds a point and its cumulative volume.
  void Anhaengen(TDateTime t, double q);
  void Leeren() { *this = TGanglinie{}; }
};

// The texts the calibration aid shows.
inline constexpr const char* kMGLLeer = "leere Messwert-Datei";
inline constexpr const char* kMGLUngueltig = "ungültige Messwert-Datei";
// "Ungültiger Eintrag in Zeile " + i + " der Messwert-Datei", i counting the
// header line as line 0.
std::string MGLZeilenFehler(int zeile);

// Reads a measurement from its text or its file; false with the message
// when it is empty, has another first line, a line that cannot be read (the
// message names it) or cannot be opened. On failure ziel stays as it was.
bool LiesMGLText(const std::string& text, TGanglinie& ziel, std::string& meldung,
                 const TZahlenformat& f = TZahlenformat::Deutsch());
bool LiesMGL(const std::string& datei, TGanglinie& ziel, std::string& meldung,
             const TZahlenformat& f = TZahlenformat::Deutsch());

// The date-time as the file holds it: the short date of f, a space and
// hh:mm:ss (seconds rounded to whole ones).
std::string MGLZeit(TDateTime t, const TZahlenformat& f);
// Reads a date in f's short date pattern (day and month with one or two
// digits, two-digit years 1950..2049), optionally followed by hh:mm or
// hh:mm:ss; false when it is not one.
bool MGLZeitLesen(const std::string& text, const TZahlenformat& f, TDateTime& t);

// The text of a hydrograph: "T;Q", then one line per point (CR LF).
std::string MGLText(const std::vector<TDateTime>& zeit, const std::vector<double>& q,
                    const TZahlenformat& f = TZahlenformat::Deutsch());
// Writes it through a temporary file renamed into place; false with the
// reason when it cannot be written (an existing file then stays as it was).
bool SchreibeMGL(const std::string& datei, const std::vector<TDateTime>& zeit,
                 const std::vector<double>& q, std::string& fehler,
                 const TZahlenformat& f = TZahlenformat::Deutsch());

}  // namespace t21
