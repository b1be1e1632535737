// Output of the command-line program in its three formats.
#pragma once

#include <ostream>
#include <string>

#include "model/network.h"

namespace t21 {

enum class Format { Text, Tsv, Json };

// Parses "text", "tsv" or "json".
bool FormatAusText(const std::string& s, Format& f);

// The whole verification of every element in flow order (cli/nachweis.h):
// inflow and outflow for the ten rain-runoff rates, the network sums, the
// design values of structures, the checks of discharge points and the
// element's messages. Gathers each element's inflow, hence the model is not
// const. Returns the number of elements with messages.
int SchreibeVerifikation(TM3Model& m, Format f, std::ostream& out);

std::string JsonText(const std::string& s);
std::string JsonZahl(double v);

}  // namespace t21
