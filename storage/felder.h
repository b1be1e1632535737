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

}  // namespace t21
