// The tabular text export of a model: thirteen sections, tab-separated, one
// per element family plus loads, rain intensities and sub-areas. Each element
// contributes its own columns (CSVHeader, CSVString), chosen by its class.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/network.h"
#include "storage/tabelle.h"

namespace t21 {

inline constexpr int kCSVAbschnitte = 13;
// Section titles in output order.
extern const std::array<const char*, kCSVAbschnitte> kCSVTitel;

// The user's number and date settings as the tabular text uses them: the
// decimal separator and the short date format (Qt-style pattern: d, dd, M,
// MM, yy, yyyy, other characters as they are). The application fills it
// from its locale; the engine derives it from the environment.
struct TZahlenformat {
  std::string Dezimal = ",";
  std::string Datum = "dd.MM.yyyy";
  // German settings: decimal comma, dd.mm.yyyy.
  static TZahlenformat Deutsch() { return {}; }
  // "." as decimal point, dates dd.mm.yyyy: the text for tools.
  static TZahlenformat Dezimalpunkt() { return {".", "dd.MM.yyyy"}; }
};

// The settings of the locale named by the environment (LC_ALL, then
// LC_NUMERIC for the separator and LC_TIME for the date, then LANG), read
// from the system's locale data. German settings where no locale is named,
// for C and POSIX, and where the named locale is not installed.
TZahlenformat ZahlenformatAusUmgebung();
// The same for given values of LC_ALL, LC_NUMERIC, LC_TIME and LANG (null
// or empty: not set).
TZahlenformat ZahlenformatAus(const char* lcAll, const char* lcNumeric, const char* lcTime,
                              const char* lang);

// Values as the tabular text writes them: floats in the general number
// format (shortest form, at most 15 significant digits, exponent as "E-5"),
// Booleans "-1"/"0", dates in the short date format. Without settings: "."
// and dd.mm.yyyy. These are also the formatting of the table services (a
// table as text, TabellenText).
std::string CSVZahl(double v);
std::string CSVZahl(double v, const TZahlenformat& f);
std::string CSVBool(bool b);
std::string CSVDatum(double d);
std::string CSVDatum(double d, const TZahlenformat& f);

// The section of an element (first match: TNET 1, catchments 2, TRUB 3,
// TRU 4, TRKB 5, TKLG 6, TOMA 7, TEST 8, TCON 9, anything else 0) and its
// class label in section 0.
int CSVAbschnitt(const TElement& e);
std::string CSVKlasse(const TElement& e);

// An element's column header (names joined by z) and its row without the
// name; the project record supplies the rain-water values of catchments and
// the oxygen saturation of discharge points.
std::string CSVHeader(const TElement& e, std::string_view z = "\t");
std::string CSVString(const TElement& e, const TNET& netz, std::string_view z = "\t",
                      const TZahlenformat& f = TZahlenformat::Dezimalpunkt());

// The network sums: header with ELEMENT, FOLGEELEMENT, KLASSE; row without
// those three.
std::string CSVHeader(const TSUM& s, std::string_view z = "\t");
std::string CSVString(const TSUM& s, std::string_view z = "\t",
                      const TZahlenformat& f = TZahlenformat::Dezimalpunkt());
// One outflow entry: header with ELEMENT and qrab; row from Q on.
std::string CSVHeader(const TParameter& p, std::string_view z = "\t");
std::string CSVString(const TParameter& p, std::string_view z = "\t",
                      const TZahlenformat& f = TZahlenformat::Dezimalpunkt());
// The rain-intensity series.
std::string CSVHeader(const TSpenden& s, std::string_view z = "\t");

// The tabular text of the whole model in the given settings, lines
// separated by CR LF. The application and t21 pass the user's settings;
// without them the text has a decimal point.
//
// Section 0 ("Elemente"): rain gauges and the kinds without a section of
// their own (AEK, AEO, infiltration) write their own row (rain gauge: name
// and file name) just before their network-sum row, under the sums' header
// and without one of their own, and their sum row has an empty class label.
// That is the layout of the format, kept so that readers of earlier files
// find their rows where they were.
std::string CreateCSVFile(const TM3Model& m,
                          const TZahlenformat& f = TZahlenformat::Dezimalpunkt());
// Writes that text with a final line break to datei (atomically). False with
// fehler set.
bool SaveToCSV(const TM3Model& m, const std::string& datei, std::string& fehler,
               const TZahlenformat& f = TZahlenformat::Dezimalpunkt());

// One table as tab-separated text in the given settings (the clipboard text
// of the event chart and the result pages): the display labels, then one
// line per record; a null value adds neither a value nor a tab. Integers as
// digits, Booleans "True"/"False", dates in the short date format. Lines
// separated by CR LF.
std::string TabellenText(const TTabelle& t, const TZahlenformat& f);

}  // namespace t21
