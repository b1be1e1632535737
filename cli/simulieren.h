// The simulate command: a long-term run with progress on a terminal and a
// clean cancel on Ctrl+C, its result tables written to files and shown; the
// results command shows the stored results of an earlier run.
#pragma once

#include <ostream>
#include <string>

#include "cli/ausgabe.h"
#include "model/network.h"
#include "simulation/ergebnisse.h"
#include "simulation/lauf.h"

namespace t21 {

struct TSimulierOptionen {
  std::string Von, Bis;  // dates as the user typed them; empty: from the rain series
  std::string Aus;       // folder of the result files; empty: none written
  // Name of the result files (Name_CDSReport.s21, ...); empty: the project's.
  std::string Basis;
  Format Ausgabe = Format::Text;
  bool Fortschritt = false;  // progress bar on stderr
  int Threads = 1;           // threads of the step; 0: the cores there are
};

// Runs the simulation of m; returns the exit code (0 completed, 1 refused by
// the checks, 2 unusable input or result files not written, 130 cancelled).
int Simuliere(TM3Model& m, const TSimulierOptionen& o, std::ostream& out, std::ostream& err);

// Writes result tables in the chosen format: as text the messages, the run
// report and the assessment of the discharge points; as tsv and json every
// table (json: one object keyed by table name, rows keyed by column name,
// numbers in full precision, dates ISO 8601).
void SchreibeErgebnisse(const TDataModule2& dm, Format f, std::ostream& out);

// Shows the stored results whose entry file is datei (..._CDSReport.s21);
// the exit code is 2 when they cannot be loaded.
int ZeigeErgebnisse(const std::string& datei, Format f, std::ostream& out, std::ostream& err);

// Asks a running simulation to stop (from a signal handler: only sets a flag).
void SimulationAbbrechen();

}  // namespace t21
