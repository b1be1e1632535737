// Management scripts: the lines are checked and compiled, and a usable
// script is run once for a CSO tank of the example project.
#include <string>
#include <vector>

#include "fuzz/gemeinsam.h"
#include "model/network.h"
#include "model/simulation.h"
#include "model/structures.h"
#include "script/interpreter.h"
#include "script/variant.h"
#include "storage/projektdatei.h"

namespace {

struct TUmgebung {
  t21::TM3Model m;
  t21::TSimulation sim;
  t21::TElement* e = nullptr;
  TUmgebung() {
    t21::A3_Laden(m, std::string(T21_QUELLE) + "/beispiel/Beispiel");
    sim.Netz = &m.Netz();
    sim.Referenz = &m.Referenz;
    for (int i = 0; i < m.Count() && !e; ++i)
      if (auto* b = dynamic_cast<t21::TBauwerk*>(t21::TM3Model::ElementOf(m.GetNode(i)))) e = b;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  static TUmgebung u;
  std::vector<std::string> zeilen;
  std::string zeile;
  for (size_t i = 0; i < n; ++i) {
    const char c = static_cast<char>(daten[i]);
    if (c == '\n') {
      zeilen.push_back(zeile);
      zeile.clear();
    } else if (c != '\r') {
      zeile += c;
    }
  }
  zeilen.push_back(zeile);
  t21::script::TbbInterpreter ip(u.m);
  ip.SetSimulation(&u.sim);
  ip.Parser().OnShow = [](const std::string&) {};
  std::vector<std::string> liste, meldungen;
  t21::script::TScriptCode code = ip.PrepareScript(zeilen, liste, meldungen);
  if (meldungen.empty() && u.e) {
    try {
      ip.DoScript(*u.e, code);
    } catch (const t21::script::TScriptFehler&) {
    }
  }
  return 0;
}
