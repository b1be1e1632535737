// The simulate command: a long-term run with progress on a terminal and a
// clean cancel on Ctrl+C.
#pragma once

#include <ostream>
#include <string>

#include "cli/ausgabe.h"
#include "model/network.h"
#include "simulation/lauf.h"

namespace t21 {

struct TSimulierOptionen {
  std::string Von, Bis;  // dates as the user typed them; empty: from the rain series
  std::string Aus;       // output folder
  Format Ausgabe = Format::Text;
  bool Fortschritt = false;  // progress bar on stderr
};

// Runs the simulation of m; returns the exit code (0 completed, 1 refused by
// the checks, 2 unusable input, 130 cancelled).
int Simuliere(TM3Model& m, const TSimulierOptionen& o, std::ostream& out, std::ostream& err);

// Writes the result tables of a run in the chosen format.
void SchreibeLauf(const TSimulationsLauf& lauf, Format f, std::ostream& out);

// Asks a running simulation to stop (from a signal handler: only sets a flag).
void SimulationAbbrechen();

}  // namespace t21
