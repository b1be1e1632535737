// The input fields of the element kinds: one description per field (table,
// column, label, unit, type, limits, default), taken from the column
// definitions of the project tables, so that a field is named once for the
// dialogs, the tables and the files. Values travel between an element and
// its fields through the records of a working copy of the project tables.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/projekttabellen.h"

namespace t21 {

class TNET;

struct TFeldBeschreibung {
  std::string Tabelle;  // component name of the table ("CDSKEZ")
  std::string Spalte;   // column ("ED")
  std::string Label;    // as the dialog shows it
  std::string Einheit;  // "l/s", "" without one
  TFeldTyp Typ = TFeldTyp::Float;
  std::optional<double> Min, Max;
  std::string Vorgabe;  // the design-time default expression ("0,0", "'?'", "TRUE")

  // The key of the field, "CDSKEZ.ED".
  std::string Schluessel() const { return Tabelle + "." + Spalte; }
  // Whether v lies within the limits (a missing limit does not bound).
  bool ImBereich(double v) const;
};

// The description of a column; a field without a known label is named by
// its column. Null when the table or the column does not exist.
std::optional<TFeldBeschreibung> Feld(std::string_view tabelle, std::string_view spalte);

// The fields of an element kind (type code, older codes included) in the
// order of its dialog: the kind's own table first, then the common element
// record (location, memo, script). Empty for a code without an element.
std::vector<TFeldBeschreibung> FelderVon(std::string_view typ);

// The table of the kind's own record ("CDSKEZ" for "KEM"), "" for none.
std::string TabelleVon(std::string_view typ);

// Project tables for editing: the same columns and defaults, but a value
// outside a column's limits is kept instead of refused, so that a stored
// value survives the way through the tables unchanged. The limits belong to
// the input controls.
std::unique_ptr<TDataModule1> Arbeitstabellen();

// The record of the field in the working tables after SaveData of one
// element (the current record of CDSHyd and its detail record), or -1.
int FeldZeile(const TDataModule1& dm, const TFeldBeschreibung& f);

// One value of an element kind and where it is kept: its column in the
// kind's project table (whose description above gives label, unit, limits
// and default), its column in the kind's record of the project file, its
// header in the kind's section of the tabular text, and how it is read from
// and written to the element. A kind's list is in the order of its section
// of the tabular text; the tables and the file do not depend on the order.
// A value the places keep differently (the file keeps a catchment's sealing
// as 0, the table rounded, the text as computed) has one entry per form.
struct TElementFeld {
  const char* Spalte;               // column of the project table, null: not in the table
  const char* Datei;                // column of the project file's record, null: not in the file
  const char* CSV;                  // header in the tabular text, null: not exported
  TWert (*Lesen)(const TElement&);  // null: LesenImNetz
  void (*Schreiben)(TElement&, const TWert&);  // null: never read back
  bool Eingabe;  // the element takes it back from the table (an input)
  // A value that needs the project record (exported only).
  TWert (*LesenImNetz)(const TElement&, const TNET&) = nullptr;
};

// The values of the element kinds of a table ("CDSKEZ"); empty for a table
// whose kind has none described. The element passed to the functions below
// is of a kind of that table.
const std::vector<TElementFeld>& ElementFelder(std::string_view tabelle);

// The element's values into record z of its project table (SaveData), and
// its inputs back from it (GetData).
void FelderInTabelle(const TElement& e, std::string_view tabelle, TTabelle& t, int z);
void FelderAusTabelle(TElement& e, std::string_view tabelle, const TTabelle& t, int z);
// The element's values into its record of the project file and back; a
// column missing from the file reads as null.
void FelderInDatei(const TElement& e, std::string_view tabelle, TTabelle& t, int z);
void FelderAusDatei(TElement& e, std::string_view tabelle, const TTabelle& t, int z);
// The headers of the tabular text and the element's values, in order:
// numbers as numbers, integers as digits, switches as -1/0, texts as they are.
std::vector<std::string> FelderCSVKopf(std::string_view tabelle);
std::vector<TWert> FelderCSVWerte(const TElement& e, std::string_view tabelle, const TNET& netz);

}  // namespace t21
