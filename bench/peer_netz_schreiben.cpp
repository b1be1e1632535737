// Writes the peer network of the benchmarks as a project file, so that any
// build's t21 can simulate it: peer_netz_schreiben BASIS [REGENDATEI [PUNKTE JE]]
// writes BASIS.T21 (rain series: the example's, unless given; a smaller
// network of PUNKTE discharge points with JE tanks each, if given).
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/peer_netz.h"
#include "storage/projektdatei.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "Aufruf: peer_netz_schreiben BASIS [REGENDATEI [PUNKTE JE]]\n";
    return 2;
  }
  const std::string regen =
      argc > 2 ? argv[2] : std::string(T21_QUELLE) + "/beispiel/Beispiel_Regen.REG";
  t21::TM3Model m("Peer");
  const int punkte = argc > 4 ? std::max(std::atoi(argv[3]), 1) : 10;
  const int je = argc > 4 ? std::max(std::atoi(argv[4]), 1) : 10;
  t21::bench::BauePeerNetz(m, regen, punkte, je);
  std::string fehler;
  if (!t21::A3_SaveAs(m, argv[1], fehler)) {
    std::cerr << "peer_netz_schreiben: " << fehler << "\n";
    return 1;
  }
  return 0;
}
