#include "cli/exportieren.h"

#include "storage/altprojekt.h"
#include "storage/export_csv.h"
#include "storage/export_xlsx.h"
#include "storage/projektdatei.h"

namespace t21 {

namespace {

// A message box text on a terminal: its line breaks as new lines.
std::string Zeilen(std::string t) {
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' && i + 1 < t.size() && t[i + 1] == '\r') t.erase(i + 1, 1);
    if (t[i] == '\r') t[i] = '\n';
  }
  return t;
}

// Opens the project; false (with the messages on err) when it cannot be used.
bool Oeffnen(TM3Model& m, TDataModule1& dm, const std::string& datei, TOeffnenErgebnis& e,
             std::ostream& err) {
  e = ProjektOeffnen(m, dm, datei);
  for (const auto& h : e.Hinweise) err << "t21: " << h << "\n";
  if (!e.Hinweisfenster.empty()) err << "t21: " << Zeilen(e.Hinweisfenster) << "\n";
  if (!e.Ok) {
    err << "t21: " << datei << ": " << Zeilen(e.Meldung) << "\n";
    return false;
  }
  return true;
}

}  // namespace

int Exportieren(const std::string& projekt, const std::string& csv, const std::string& xlsx,
                std::ostream& err, bool dezimalpunkt) {
  if (csv.empty() && xlsx.empty()) {
    err << "t21: --csv DATEI oder --xlsx DATEI angeben\n";
    return 2;
  }
  TM3Model m;
  TDataModule1 dm;
  TOeffnenErgebnis e;
  if (!Oeffnen(m, dm, projekt, e, err)) return 2;
  for (const auto& z : e.Fehlerprotokoll) err << z << "\n";
  std::string fehler;
  if (!csv.empty()) {
    const TZahlenformat f =
        dezimalpunkt ? TZahlenformat::Dezimalpunkt() : ZahlenformatAusUmgebung();
    if (!SaveToCSV(m, csv, fehler, f)) {
      err << "t21: " << fehler << "\n";
      return 2;
    }
    err << "t21: Tabellen-Export geschrieben: " << csv << "\n";
  }
  if (!xlsx.empty()) {
    if (!SaveModelToEXCEL(dm, m, xlsx, fehler)) {
      err << "t21: " << fehler << "\n";
      return 2;
    }
    err << "t21: Excel-Mappe geschrieben: " << xlsx << "\n";
  }
  return 0;
}

int Konvertieren(const std::string& alt, const std::string& neu, std::ostream& out,
                 std::ostream& err) {
  const int ziel = ProjektVersion(neu);
  if (neu.empty() || (ziel != 3 && OhneEndung(neu) != neu)) {
    err << "t21: " << neu << ": " << kUngueltigeDateibezeichnung << " (erwartet .T21)\n";
    return 2;
  }
  TM3Model m;
  TDataModule1 dm;
  TOeffnenErgebnis e;
  if (!Oeffnen(m, dm, alt, e, err)) return 2;
  for (const auto& z : e.Fehlerprotokoll) out << z << "\n";
  m.FileName = ziel == 3 ? OhneEndung(neu) : neu;
  std::string fehler;
  if (!Speichern(m, fehler, &dm)) {
    err << "t21: " << fehler << "\n";
    return 2;
  }
  err << "t21: Projekt geschrieben: " << m.FileName << ".T21\n";
  return e.Repariert() ? 1 : 0;
}

}  // namespace t21
