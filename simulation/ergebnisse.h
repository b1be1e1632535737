// The result data module of a run: every result table (messages, report,
// events, balances, loads, assessments, animation) in the table engine, and
// saving and loading them as one XML data packet per table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/datum.h"
#include "storage/tabelle.h"

namespace t21 {

// A row of the message and report tables: kind or label, subject or value,
// text or remark.
struct TMeldungZeile {
  std::string S1, S2, S3;
  bool operator==(const TMeldungZeile&) const = default;
};

// Appends a row to a table and sets its columns by name:
//   TNeueZeile{t}("Nr", 1)("Name", std::string("B"));
class TNeueZeile {
 public:
  explicit TNeueZeile(TTabelle& t) : FTabelle(t), FZeile(t.Anhaengen()) {}
  TNeueZeile& operator()(std::string_view spalte, const TWert& w) {
    FTabelle.Setze(FZeile, spalte, w);
    return *this;
  }
  TNeueZeile& operator()(std::string_view spalte, const char* text) {
    return (*this)(spalte, TWert(std::string(text)));
  }
  int Zeile() const { return FZeile; }

 private:
  TTabelle& FTabelle;
  int FZeile;
};

class TDataModule2 {
 public:
  TDataModule2();

  // Written by the driver: messages, report, gauges, animation.
  TTabelle CDSReport;
  // System rain events and the rows of structures and discharge points per
  // event; the receiving-water events of the discharge points.
  TTabelle CDSEreignisse, CDSEreignisseGewaesser, CDSESTEreignisse, CDSEreignisseBauwerke;
  // Loads per year, period and annual mean.
  TTabelle CDSFrachtenGewaesser, CDSFrachtenBauwerke;
  // Balances per year, period and annual mean.
  TTabelle CDSSumKEZ, CDSSumA128, CDSSumOMA, CDSSUMKLG, CDSSumEST, CDSSumREG;
  TTabelle CDSFehler;
  // Assessments of the discharge points.
  TTabelle CDSHDAuswertung, CDSHDAbfluss;
  TTabelle CDSAnimation, CDSREG1;

  // Every table in the module's order (the order of saving and loading).
  std::vector<TTabelle*> Tabellen();
  std::vector<const TTabelle*> Tabellen() const;
  // The table of that name (without regard to case), or nullptr.
  TTabelle* Tabelle(std::string_view name);

  // Empties every table (the start of a run).
  void Leeren();

  // The rows of a message table (CDSFehler, CDSReport) as the run holds them.
  static void Uebernehmen(TTabelle& t, const std::vector<TMeldungZeile>& zeilen);
  static std::vector<TMeldungZeile> Meldungen(const TTabelle& t);

  // Saves every table under the chosen name: base + "_CDSReport.s21" and
  // base + "_" + table name + ".xml" for the others, where the base is the
  // name without its extension and without a trailing "_CDSReport". False
  // with the message in fehler ("Ungültige Datei-Extension" for a name that
  // does not end in .S21).
  bool Speichern(const std::string& datei, std::string& fehler) const;
  // Loads the tables of a saved run from its entry file. Either every table
  // is replaced or, when a file is missing or unreadable, none: the messages
  // say which files failed and the current results stay as they were.
  bool Laden(const std::string& datei, std::vector<std::string>& meldungen);

  // The file names of a saved run: the base chosen when saving, the base
  // found from the entry file when loading, and the file of one table.
  static std::string SpeicherBasis(const std::string& datei);
  static std::string LadeBasis(const std::string& datei);
  static std::string Dateiname(const std::string& basis, const std::string& tabelle);
};

}  // namespace t21
