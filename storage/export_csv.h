// The tabular text export of a model: thirteen sections, tab-separated, one
// per element family plus loads, rain intensities and sub-areas. Each element
// contributes its own columns (CSVHeader, CSVString), chosen by its class.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/network.h"

namespace t21 {

inline constexpr int kCSVAbschnitte = 13;
// Section titles in output order.
extern const std::array<const char*, kCSVAbschnitte> kCSVTitel;

// Values as the export writes them: floats in the general number format
// (shortest form, at most 15 significant digits, "." as decimal point),
// Booleans "-1"/"0", dates "dd.mm.yyyy".
std::string CSVZahl(double v);
std::string CSVBool(bool b);
std::string CSVDatum(double d);

// The section of an element (first match: TNET 1, catchments 2, TRUB 3,
// TRU 4, TRKB 5, TKLG 6, TOMA 7, TEST 8, TCON 9, anything else 0) and its
// class label in section 0.
int CSVAbschnitt(const TElement& e);
std::string CSVKlasse(const TElement& e);

// An element's column header (names joined by z) and its row without the
// name; the project record supplies the rain-water values of catchments and
// the oxygen saturation of discharge points.
std::string CSVHeader(const TElement& e, std::string_view z = "\t");
std::string CSVString(const TElement& e, const TNET& netz, std::string_view z = "\t");

// The network sums: header with ELEMENT, FOLGEELEMENT, KLASSE; row without
// those three.
std::string CSVHeader(const TSUM& s, std::string_view z = "\t");
std::string CSVString(const TSUM& s, std::string_view z = "\t");
// One outflow entry: header with ELEMENT and qrab; row from Q on.
std::string CSVHeader(const TParameter& p, std::string_view z = "\t");
std::string CSVString(const TParameter& p, std::string_view z = "\t");
// The rain-intensity series.
std::string CSVHeader(const TSpenden& s, std::string_view z = "\t");

// The tabular text of the whole model, lines separated by CR LF.
std::string CreateCSVFile(const TM3Model& m);
// Writes that text with a final line break to datei (atomically). False with
// fehler set.
bool SaveToCSV(const TM3Model& m, const std::string& datei, std::string& fehler);

}  // namespace t21
