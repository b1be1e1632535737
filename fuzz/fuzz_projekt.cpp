// The project file ".T21": opened from a file (with its older-version
// repair) into a model, which is computed twice.
#include "fuzz/gemeinsam.h"
#include "model/network.h"
#include "storage/altprojekt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  const auto datei = t21::fuzz::Ordner() / "Projekt.T21";
  t21::fuzz::Schreibe(datei, daten, n);
  t21::TM3Model m;
  t21::TDataModule1 dm;
  t21::ProjektOeffnen(m, dm, datei.string());
  return 0;
}
