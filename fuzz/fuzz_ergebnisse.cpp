// Saved results: the input is the entry file "_CDSReport.s21" and every
// other table file of the saved run.
#include <string>
#include <vector>

#include "fuzz/gemeinsam.h"
#include "simulation/ergebnisse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  static t21::TDataModule2 dm;
  const std::string basis = (t21::fuzz::Ordner() / "Lauf").string();
  for (const t21::TTabelle* t : dm.Tabellen()) {
    t21::fuzz::Schreibe(t21::TDataModule2::Dateiname(basis, t->Schema().Name), daten, n);
  }
  t21::TDataModule2 geladen;
  std::vector<std::string> meldungen;
  geladen.Laden(basis + "_CDSReport.s21", meldungen);
  return 0;
}
