// Rain-gauge series in both layouts: header, positioning for a run and the
// values of up to a few days of steps.
#include "fuzz/gemeinsam.h"
#include "model/regen.h"
#include "model/simulation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  const auto datei = t21::fuzz::Ordner() / "Regen.REG";
  t21::fuzz::Schreibe(datei, daten, n);
  t21::TREG r;
  r.SetData(datei.string());
  t21::TSimulation sim;
  t21::TDateTime start = 0, ende = 0;
  t21::EncodeDate(2001, 1, 1, start);
  t21::EncodeDate(2001, 1, 4, ende);
  sim.SetTime(start, 0, ende, 0);
  std::vector<t21::TRegenMeldung> meldungen;
  if (r.Positionieren(sim, meldungen)) {
    sim.SetVars({r.DT});
    bool ok = true;
    for (int i = 0; ok && i < 3000; ++i) {
      sim.Block = i / sim.MaxIntervall % 12 + 1;
      r.SendRain(sim, ok);
      sim.IncZeit();
    }
    r.SammleHinweise(meldungen);
  }
  r.Schliessen();
  return 0;
}
