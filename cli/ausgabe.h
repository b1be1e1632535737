// Output of the command-line program in its three formats.
#pragma once

#include <ostream>
#include <string>

#include "model/network.h"

namespace t21 {

enum class Format { Text, Tsv, Json };

// Parses "text", "tsv" or "json".
bool FormatAusText(const std::string& s, Format& f);

// The verification results of every element in flow order: outflow for the
// ten rain-runoff rates and the element's messages. Returns the number of
// elements with messages.
int SchreibeVerifikation(const TM3Model& m, Format f, std::ostream& out);

std::string JsonText(const std::string& s);
std::string JsonZahl(double v);

}  // namespace t21
