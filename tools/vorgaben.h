// The default values editor "Anwender- und Standard-Vorgaben": for every
// column of the registered project tables its current default next to its
// design default, with its type and limits; one or all columns set back to
// the design default. The resets are kept here until they are taken over,
// so that cancelling discards them.
#pragma once

#include <string>
#include <vector>

#include "storage/projekttabellen.h"

namespace t21 {

struct TVorgabeZeile {
  std::string Feld;      // "KEZ.Wasserverbrauch": table code, ".", label (or name)
  std::string Wert;      // the current default expression
  std::string Standard;  // the design default
  std::string Tabelle;   // component name of the table ("CDSKEZ")
  int Spalte = 0;
};

class TVorgabenEditor {
 public:
  // One row per entry of the design defaults, in their order.
  explicit TVorgabenEditor(const TDataModule1& dm);

  const std::vector<TVorgabeZeile>& Zeilen() const { return FZeilen; }
  int Anzahl() const { return static_cast<int>(FZeilen.size()); }

  // The fields of a row: "Minimal-Wert", "Maximal-Wert" (empty for a column
  // that is not a number or has no such limit) and "Feld-Typ"
  // ("Fliesskommazahl", "Ganzzahl", "Boolean", "Text", "Datum").
  std::string MinText(int k) const;
  std::string MaxText(int k) const;
  std::string TypText(int k) const;

  void Zuruecksetzen(int k);  // "&Feld zurücksetzen"
  void AlleZuruecksetzen();   // "alle Felder &zurücksetzen"
  bool Geaendert() const;

  // The rows' values become the columns' current defaults (OK).
  void Uebernehmen(TDataModule1& dm) const;

 private:
  const TFeld& Feld(int k) const;
  const TDataModule1& FDM;
  std::vector<TVorgabeZeile> FZeilen;
};

// Copies the current default of every registered column, for the
// defaults to hold for all open projects.
void VorgabenUebertragen(const TDataModule1& von, TDataModule1& nach);

}  // namespace t21
