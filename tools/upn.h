// The RPN pocket calculator "UPN-Rechner": a four-level stack held as
// texts, the basic operations, powers, roots, logarithms, trigonometric and
// hyperbolic functions, two constants, and X in hexadecimal and base 2.
#pragma once

#include <string>

namespace t21 {

enum class TWinkel { DEG, RAD, GRAD };

// The functions behind the buttons, by caption.
enum class TUpnFunktion {
  Plus,
  Minus,
  Mal,
  Durch,
  YHochX,  // two operands
  Vorzeichen,
  Kehrwert,
  Wurzel,
  Quadrat,
  Log,
  ZehnHochX,
  Ln,
  Exp,
  Sin,
  Cos,
  Tan,
  Cot,
  ASin,
  ACos,
  ATan,
  ACot,
  SinH,
  CosH,
  TanH,
  CotH,
  ASinH,
  ACosH,
  ATanH,
  ACotH
};

class TUpnRechner {
 public:
  // A fresh calculator: T, Z, Y and X "0", the new-entry flag set.
  explicit TUpnRechner(char dezimaltrenner = ',');

  // The registers as shown. X is the text being typed.
  std::string T = "0", Z = "0", Y = "0", X = "0";
  TWinkel Winkel = TWinkel::DEG;
  std::string Status;  // the status bar: error texts
  bool NeueEingabe() const { return FNeu; }
  bool ErgebnisGezeigt() const { return FErgebnis; }
  const std::string& Hex() const { return FHex; }
  const std::string& Bin() const { return FBin; }

  // X and Y as numbers; an empty or unreadable text counts 0.
  double x() const;
  double y() const;

  void Lift();
  void Drop();
  // Shows r in X with six decimals, sets the result flag.
  void ZeigeErgebnis(double r);
  // The text a result shows ("5,000000").
  std::string ErgebnisText(double r) const;

  // A digit button ("0".."9" or the decimal separator): appends to X.
  void Ziffer(char c);
  // Before a typed digit is inserted where the cursor is: lifts and empties
  // X as a digit button does; true when X was emptied.
  bool VorTippen();
  // "Enter ".
  void Enter();
  // A function button.
  void Funktion(TUpnFunktion f);
  // The constants "g" (9.81) and "p" (pi): like a number typed, they lift the
  // stack unless X waits for a new entry.
  void Konstante(double wert);
  // Up (+1) and down (-1) arrows.
  void Pfeil(bool hoch);

  // A character typed in X: operators and constants act, digits and the
  // separator are entered at the end of X, everything else is swallowed.
  enum class TTaste { Eingegeben, Ausgefuehrt, Verschluckt };
  TTaste Taste(char c);

  // X set by the edit field (typing, pasting): refreshes Hex and Bin.
  void SetzeX(const std::string& text);
  // Hex and Bin of X.
  void Aktualisiere();

 private:
  double Bogen(double v) const;       // to radians
  double AusRadiant(double v) const;  // radians to the angle unit
  char FTrenner;
  bool FNeu = true, FErgebnis = false;
  std::string FHex, FBin;
};

// The integer part of v in hexadecimal (at least 8 digits) and in base 2,
// "–" when it lies outside the 64-bit range.
std::string HexText(double v);
std::string BinText(double v);

}  // namespace t21
