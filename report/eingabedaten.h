// The input echo of a run: the input data of every element as it was when
// the run started, in tables beside the result tables, so that the results
// report prints input and results together. Saved with the results (one XML
// data packet per table, base + "_" + table name + ".xml"); results saved
// before the echo was kept load without it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/network.h"
#include "storage/tabelle.h"

namespace t21 {

class TEingabedaten {
 public:
  TEingabedaten();

  // The names of the tables, in order.
  static const std::vector<std::string>& Namen();

  // Every table from the project (at the start of a run): all are held.
  void Fuellen(const TM3Model& m);
  // No table held (results that do not carry the echo).
  void Leeren();

  // The table of that name (without regard to case) when it is held, else
  // null; Leer gives the empty table of that name (for showing), null for an
  // unknown name.
  const TTabelle* Tabelle(std::string_view name) const;
  const TTabelle* Leer(std::string_view name) const;
  bool Gehalten(std::string_view name) const { return Tabelle(name) != nullptr; }
  // The tables held.
  std::vector<const TTabelle*> Gehaltene() const;

  // Writes the held tables beside saved results of that base. False with
  // fehler set.
  bool Speichern(const std::string& basis, std::string& fehler) const;
  // The files of the tables that Speichern writes for that base.
  std::vector<std::string> Dateien(const std::string& basis) const;
  // Reads the tables saved for that base. A table without its file is not
  // held; a file that cannot be read gives the message "Datei " + name +
  // "konnte nicht geladen werden" and false, and nothing is replaced.
  bool Laden(const std::string& basis, std::vector<std::string>& meldungen);

 private:
  int Index(std::string_view name) const;
  std::vector<TTabelle> FTabellen;
  std::vector<bool> FGehalten;
};

}  // namespace t21
