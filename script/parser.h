// The expression engine of the management scripts: Parse turns an infix
// expression into a postfix text, Calc evaluates a postfix text.
//
// Postfix text: an operand is its token followed by one blank (a number
// "12" or "0.5", a quoted text 'abc', a typed literal %D'1.5.2001', a
// bracketed name [Zulauf 1] or a plain name); an operator is one character
// without blank (see operatoren.h). a+b*2 becomes "a b 2 *+".
//
// Compile turns a postfix text into a TPostfixCode: a flat list of steps with
// the constants converted once and each name given a slot. Calc on the code
// gives the same value, bit for bit, as Calc on the text, and calls the hooks
// in the same order; an expression of numbers and names evaluates without
// touching the heap.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "script/benutzerformat.h"
#include "script/variant.h"

namespace t21::script {

// The value of a name operand; Name arrives in upper case.
using TGetPValueEvent = std::function<void(const std::string& Name, TVariant& Value)>;
// A parse-time call of Parse (p1 … p3 the argument texts, empty when not
// given) or an element function of Calc (p1 the element's name, p2 = p3 = 0).
using TFunctionEvent =
    std::function<void(const std::string& name, const TVariant& p1, const TVariant& p2,
                       const TVariant& p3, std::string& val)>;
// SHOW: the text to show in a message box with an OK button.
using TShowEvent = std::function<void(const std::string& text)>;

// The values a single evaluation may hold pending at once.
inline constexpr int kStapelGroesse = 8;

enum class TSchrittArt : std::uint8_t {
  Konstante,  // push Konstanten[Index]
  Name,       // push the value of Namen[Index] (slot Index)
  Operator,   // apply operator Code
  Fehler,     // raise Fehler[Index]: a constant that cannot be converted
};

struct TSchritt {
  TSchrittArt Art;
  std::uint8_t Code;
  std::uint32_t Index;
};

struct TPostfixCode {
  std::vector<TSchritt> Schritte;
  std::vector<TVariant> Konstanten;
  std::vector<std::string> Namen;  // upper case, one slot each, in order of first use
  std::vector<std::string> Fehler;
};

class TbbParser {
 public:
  TGetPValueEvent OnGetValue;
  TFunctionEvent OnFunction;
  TShowEvent OnShow;
  // The user's format for numbers and date-times written as text.
  TBenutzerFormat Format;

  // The postfix text of the infix expression s. COPY, FORMATFLOAT,
  // FORMATDATETIME, IF and the calls through OnFunction are evaluated here,
  // once.
  std::string Parse(const std::string& s);
  // The value of the postfix text s; empty for an empty text.
  TVariant Calc(const std::string& s);
  // Parse followed by Calc.
  TVariant Execute(const std::string& s);

  // The postfix text s compiled with the current Format.
  TPostfixCode Compile(const std::string& s) const;
  // Evaluates the code; names through OnGetValue.
  TVariant Calc(const TPostfixCode& code);
  // Evaluates the code with the values of its slots given (werte[i] for
  // code.Namen[i]; a missing slot is empty).
  TVariant Calc(const TPostfixCode& code, std::span<const TVariant> werte);

 private:
  std::string ParseIn(std::string s, int tiefe);
  TVariant Auswerten(const std::string& argument, int tiefe);
};

}  // namespace t21::script
