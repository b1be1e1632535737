// Writes the peer network of the benchmarks as a project file, so that any
// build's t21 can simulate it: peer_netz_schreiben BASIS [REGENDATEI]
// writes BASIS.T21 (rain series: the example's, unless given).
#include <iostream>
#include <string>

#include "bench/peer_netz.h"
#include "storage/projektdatei.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "Aufruf: peer_netz_schreiben BASIS [REGENDATEI]\n";
    return 2;
  }
  const std::string regen =
      argc > 2 ? argv[2] : std::string(T21_QUELLE) + "/beispiel/Beispiel_Regen.REG";
  t21::TM3Model m("Peer");
  t21::bench::BauePeerNetz(m, regen);
  std::string fehler;
  if (!t21::A3_SaveAs(m, argv[1], fehler)) {
    std::cerr << "peer_netz_schreiben: " << fehler << "\n";
    return 1;
  }
  return 0;
}
