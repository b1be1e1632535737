// The side files of a project file: the defaults ".DEF", the print list
// ".PRL", read beside the example project (first byte chooses the file).
#include <filesystem>
#include <string>

#include "fuzz/gemeinsam.h"
#include "model/network.h"
#include "storage/projektdatei.h"
#include "storage/projekttabellen.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  if (n < 1) return 0;
  static const std::string basis = [] {
    const fs::path o = t21::fuzz::Ordner() / "seiten";
    fs::create_directories(o);
    fs::copy_file(fs::path(T21_QUELLE) / "beispiel/Beispiel.T21", o / "Beispiel.T21",
                  fs::copy_options::overwrite_existing);
    return (o / "Beispiel").string();
  }();
  const bool def = daten[0] % 2 == 0;
  const std::string datei = basis + (def ? ".DEF" : ".PRL");
  t21::fuzz::Schreibe(datei, daten + 1, n - 1);
  t21::TDataModule1 dm;
  if (def) {
    int kommata = 0;
    dm.LoadUserDefaults(datei, &kommata);
  } else {
    t21::TM3Model m;
    t21::A3_Laden(m, basis, &dm);
  }
  fs::remove(datei);
  return 0;
}
