// Measured hydrographs (".MGL") of the calibration aid, in the German
// format and with a decimal point; what was read is written and read back.
#include "fuzz/gemeinsam.h"
#include "storage/mgl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  const std::string text = t21::fuzz::Text(daten, n);
  for (const t21::TZahlenformat& f :
       {t21::TZahlenformat::Deutsch(), t21::TZahlenformat::Dezimalpunkt()}) {
    t21::TGanglinie g;
    std::string meldung;
    if (t21::LiesMGLText(text, g, meldung, f)) {
      t21::TGanglinie zurueck;
      t21::LiesMGLText(t21::MGLText(g.Zeit, g.Q, f), zurueck, meldung, f);
    }
  }
  return 0;
}
