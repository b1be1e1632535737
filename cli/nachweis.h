// The whole simplified verification of an element as data: inflow and
// outflow for the ten rain-runoff rates, the network sums, the design values
// of structures and the checks of discharge points. `t21 verify` writes it in
// its three formats; the report pages print the same numbers.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/network.h"

namespace t21 {

// One named quantity: the engine's name, the German meaning, the unit, the
// value and the decimals the text output shows.
struct TNachweisWert {
  std::string Name;
  std::string Bezeichnung;
  std::string Einheit;
  double Wert = 0;
  int Nachkomma = 2;
};

// A row of the flow balance: the sum of the inflow and of the element.
struct TSummenzeile {
  std::string Name;
  std::string Bezeichnung;
  std::string Einheit;
  double Zulauf = 0;
  double Ablauf = 0;
  int Nachkomma = 2;
};

// A check of a discharge point with its verdict.
struct TPruefung {
  std::string Name;         // engine name: hydraulik, ammoniak, sauerstoff, afs63
  std::string Bezeichnung;  // German label
  std::vector<TNachweisWert> Werte;
  bool Erfuellt = true;
};

struct TElementNachweis {
  std::string Name, Typ;
  std::vector<std::string> Hinweise;
  TParameterArray Zufluss, Abfluss;
  std::vector<TSummenzeile> Summen;
  // Structures: throttle, overflow and design figures under the engine's
  // names; the design list as the structure dialog shows it.
  std::vector<TNachweisWert> Bemessung;
  std::vector<TBemessungszeile> Bemessungsliste;
  // Structures: flow over the clarifier overflow (KUE) and the tank
  // overflow (BUE) per rate, l/s.
  bool MitUeberlauf = false;
  std::array<double, kAnzahlQr> QKUE{}, QBUE{};
  // Discharge points: the checks and the river per rate.
  std::vector<TPruefung> Pruefungen;
  std::vector<std::array<TNachweisWert, 14>> Gewaesser;
};

// The verification of the element of shape s; gathers its inflow (the model's
// inflow accumulator is left holding it).
TElementNachweis Nachweis(TM3Model& m, TCadShape* s);

// The rows of the flow balance table that the report prints, in its order.
std::vector<TSummenzeile> Summenzeilen(const TSUM& zulauf, const TSUM& ablauf,
                                       const TSpenden& spenden);

}  // namespace t21
