// Data packets (the project file, hydrograph files, saved results): read
// with and without decimal commas, written again and read back.
#include "fuzz/gemeinsam.h"
#include "storage/datenpaket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  const std::string text = t21::fuzz::Text(daten, n);
  std::string fehler;
  t21::TPaketLesen lesen;
  lesen.Dezimalkomma = true;
  for (t21::TPaketLesen* l : {static_cast<t21::TPaketLesen*>(nullptr), &lesen}) {
    auto t = t21::LiesPaketText(text, fehler, l);
    if (!t) continue;
    // What was read is written and read back again.
    auto zurueck = t21::LiesPaketText(t21::PaketAlsText(*t), fehler);
    if (!zurueck) __builtin_trap();
  }
  t21::ErsterWert(text, "ProgVersion");
  return 0;
}
