// The operators of the expression engine: the character each writes into the
// postfix text, its class for the precedence step (a lower class binds
// tighter, "(" counts as 5 on the operator stack) and its arity.
#pragma once

#include <string_view>

namespace t21::script {

namespace op {
inline constexpr unsigned char Mal = '*';
inline constexpr unsigned char Durch = '/';
inline constexpr unsigned char Hoch = '^';
inline constexpr unsigned char Plus = '+';
inline constexpr unsigned char Minus = '-';
inline constexpr unsigned char Kleiner = '<';
inline constexpr unsigned char Gleich = '=';
inline constexpr unsigned char Groesser = '>';
inline constexpr unsigned char GroesserGleich = 129;
inline constexpr unsigned char KleinerGleich = 130;
inline constexpr unsigned char Ungleich = 131;
inline constexpr unsigned char Or = 132;
inline constexpr unsigned char And = 133;
inline constexpr unsigned char Int = 134;
inline constexpr unsigned char Frac = 135;
inline constexpr unsigned char UnaerMinus = 136;
inline constexpr unsigned char UnaerPlus = 137;
inline constexpr unsigned char Str = 138;
inline constexpr unsigned char Not = 139;
inline constexpr unsigned char Mod = 140;
inline constexpr unsigned char Round = 141;
inline constexpr unsigned char Ln = 142;
inline constexpr unsigned char Log = 143;
inline constexpr unsigned char Exp = 144;
inline constexpr unsigned char Sin = 145;
inline constexpr unsigned char Cos = 146;
inline constexpr unsigned char Tan = 147;
inline constexpr unsigned char Cot = 148;
inline constexpr unsigned char Grad = 149;
inline constexpr unsigned char Show = 150;
inline constexpr unsigned char Uppercase = 151;
inline constexpr unsigned char Lowercase = 152;
inline constexpr unsigned char StrToDate = 153;
inline constexpr unsigned char StrToTime = 154;
inline constexpr unsigned char StrToDateTime = 155;
inline constexpr unsigned char Sqrt = 157;
inline constexpr unsigned char DayOfWeek = 158;
inline constexpr unsigned char DayOfMonth = 159;
inline constexpr unsigned char DayOfYear = 160;
inline constexpr unsigned char HourOf = 161;
inline constexpr unsigned char MonthOf = 162;
inline constexpr unsigned char MinuteOf = 164;
inline constexpr unsigned char YearOf = 165;
inline constexpr unsigned char Abs = 166;
inline constexpr unsigned char Min = 167;
inline constexpr unsigned char Max = 168;
inline constexpr unsigned char Fak = 170;
inline constexpr unsigned char Sign = 171;
inline constexpr unsigned char LTrim = 172;
inline constexpr unsigned char RTrim = 173;
inline constexpr unsigned char Trim = 174;
inline constexpr unsigned char Cosh = 175;
inline constexpr unsigned char Sinh = 176;
inline constexpr unsigned char Tanh = 177;
inline constexpr unsigned char Coth = 178;
inline constexpr unsigned char ASin = 179;
inline constexpr unsigned char ACos = 180;
inline constexpr unsigned char ATan = 181;
inline constexpr unsigned char ACot = 182;
inline constexpr unsigned char Length = 183;
// The element functions; Calc answers them through OnFunction.
inline constexpr unsigned char Qd = 248;
inline constexpr unsigned char Zufluss = 249;
inline constexpr unsigned char Abfluss = 250;
inline constexpr unsigned char Inhalt = 251;
inline constexpr unsigned char Volumen = 252;
inline constexpr unsigned char Drossel = 253;
// Only on the operator stack of Parse.
inline constexpr unsigned char KlammerAuf = '(';
}  // namespace op

struct TOperator {
  unsigned char Code;
  std::string_view Wort;  // the word of a function word, upper case; empty for symbols
  int Klasse;             // -1: MIN and MAX, which never stand on the operator stack
  int Stellen;            // arity
};

// The operator written as this character into a postfix text; nullptr when
// the character is none.
const TOperator* OperatorZuCode(unsigned char code);

// The function word (OR, AND, NOT, MOD, INT, SIN, …, QD, …) for a word in
// upper case; nullptr when it is none. MIN and MAX are forms of Parse, not
// function words.
const TOperator* Funktionswort(std::string_view grossWort);

// Unary sign, NOT and the function words of arity 1: they have no left
// operand and go onto the operator stack as they come.
bool IstPraefix(unsigned char code);

// The class of an entry of the operator stack.
int Klasse(unsigned char code);

// The name that OnFunction receives for an element function ("QD", …).
std::string_view Elementfunktion(unsigned char code);

}  // namespace t21::script
