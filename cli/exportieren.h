// The export and convert commands: a project as tab-separated text or Excel
// workbook, and an older project folder as project file.
#pragma once

#include <ostream>
#include <string>

namespace t21 {

// t21 export PROJEKT --csv DATEI / --xlsx DATEI (one or both). The tabular
// text has the number and date settings of the environment's locale (German
// without one), or a decimal point with dezimalpunkt. Returns the exit code:
// 0 written, 2 unusable input or a file that cannot be written.
int Exportieren(const std::string& projekt, const std::string& csv, const std::string& xlsx,
                std::ostream& err, bool dezimalpunkt = false);

// t21 convert ALT.MOD|ALT.TRE -o NEU.T21: opens the project, prints the load
// report (Fehlerprotokoll) on out and writes the project in the current
// format with its side files. Returns 0 when nothing had to be repaired, 1
// when the report lists repairs, 2 when the project cannot be opened or
// written.
int Konvertieren(const std::string& alt, const std::string& neu, std::ostream& out,
                 std::ostream& err);

}  // namespace t21
