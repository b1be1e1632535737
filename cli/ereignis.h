// The event command: a long-term run of the project, then one of its system
// rain events simulated again for one element, its chart series or table
// rows written as text or JSON and, on request, as a workbook or data packet.
#pragma once

#include <ostream>
#include <string>

#include "cli/ausgabe.h"
#include "model/network.h"

namespace t21 {

struct TEreignisOptionen {
  int Nr = 1;             // the event, counting from 1 as the event list does
  std::string Element;    // the element shown
  std::string Parameter;  // an entry of its parameter list; empty: the first
  bool Tabelle = false;   // the table's parameters instead of the chart's
  int Nachlauftage = 0;   // days of follow-up
  std::string Von, Bis;   // the long run's period; empty: from the rain series
  // A saved run (NAME_CDSReport.s21 with NAME_Startzustaende.xml) to take
  // the events and start states from instead of running the long run.
  std::string Ergebnisse;
  std::string Aus;  // .xlsx: workbook, anything else: XML data packet
  Format Ausgabe = Format::Tsv;
};

// Runs the long simulation of m (or reads a saved one), then the event; the exit code: 0 done, 1
// the long run or the event refused (messages on err), 2 unusable input or
// a file not written.
int Ereignis(TM3Model& m, const TEreignisOptionen& o, std::ostream& out, std::ostream& err);

}  // namespace t21
