// Synthetic 5-minute rain series for examples, tests and benchmarks: a
// seeded stochastic model, not measured rain.
#pragma once

#include <cstdint>
#include <string>

namespace t21 {

struct TRegenGenerator {
  int Startjahr = 2001;
  int Jahre = 10;
  uint64_t Seed = 1;
  std::string Layout = "M";  // "M" or "L"
  std::string Nr = "4711";
  std::string Station = "Synthetische Reihe";
  double Jahresniederschlag = 800;  // mean annual depth aimed at, mm

  // Writes the series from 1 January of Startjahr to the end of the last
  // year; records only for hours with rain. False with fehler when the file
  // cannot be written.
  bool Schreibe(const std::string& datei, std::string& fehler) const;
};

}  // namespace t21
