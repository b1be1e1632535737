// The regionalisation calculator: the natural one-year flood yield
// Hq1,pnat of a small receiving water from four characteristics of its
// whole catchment and the project's rain-intensity series.
#pragma once

#include <array>
#include <string>

#include "model/project.h"

namespace t21 {

// The four inputs in the order they are read.
enum class TRegioFeld { Flaeche, Laenge, Hoehe, CN };

// The label of an input as the window shows it ("Einzugsgebietsgröße", ...).
const char* RegioLabel(TRegioFeld f);

struct TRegioErgebnis {
  bool Ok = false;
  // Without Ok: the input the message names and the message
  // ("Eingabefehler: Höhendifferenz").
  TRegioFeld Feld = TRegioFeld::Flaeche;
  std::string Meldung;
  double tc = 0;       // flow time, min
  double r = 0;        // rain intensity for tc, l/(s*ha)
  double P = 0;        // rain depth, mm
  double S = 0;        // retention, mm
  double Q = 0;        // effective rain, mm
  double Hq1pnat = 0;  // l/(s*km2)
};

// Computes from the typed texts (decimal comma or point). Each input must be
// a number greater than 0, the curve number at most 100; the first that is
// not gives the message. Rain that the initial abstraction (0.05 S) takes up
// runs off nothing.
TRegioErgebnis Regionalisierung(const std::array<std::string, 4>& eingaben, const TSpenden& reihe);
// The same with numbers.
TRegioErgebnis Regionalisierung(double A, double L, double dH, double CN, const TSpenden& reihe);

// The output as shown, two decimals with the decimal comma ("175,98"), or
// "Error" when the computation failed.
std::string RegioText(const TRegioErgebnis& e);

// The reference list of curve numbers by land use (rows) and soil type A..D.
struct TCNZeile {
  const char* Bodennutzung;
  std::array<int, 4> Werte;
};
const std::array<TCNZeile, 11>& CNTabelle();
// The four captions describing the soil types A..D.
const std::array<const char*, 4>& BodentypTexte();

}  // namespace t21
