#include "script/operatoren.h"

#include <array>

namespace t21::script {

namespace {

constexpr TOperator kOperatoren[] = {
    {op::Mal, "", 1, 2},
    {op::Durch, "", 1, 2},
    {op::Hoch, "", 1, 2},
    {op::Plus, "", 2, 2},
    {op::Minus, "", 2, 2},
    {op::Kleiner, "", 3, 2},
    {op::Gleich, "", 3, 2},
    {op::Groesser, "", 3, 2},
    {op::GroesserGleich, "", 3, 2},
    {op::KleinerGleich, "", 3, 2},
    {op::Ungleich, "", 3, 2},
    {op::Or, "OR", 1, 2},
    {op::And, "AND", 1, 2},
    {op::Not, "NOT", 1, 1},
    {op::Mod, "MOD", 1, 2},
    {op::UnaerMinus, "", 2, 1},
    {op::UnaerPlus, "", 2, 1},
    {op::Int, "INT", 0, 1},
    {op::Frac, "FRAC", 0, 1},
    {op::Round, "ROUND", 0, 1},
    {op::Ln, "LN", 0, 1},
    {op::Log, "LOG", 0, 1},
    {op::Exp, "EXP", 0, 1},
    {op::Sin, "SIN", 0, 1},
    {op::Cos, "COS", 0, 1},
    {op::Tan, "TAN", 0, 1},
    {op::Cot, "COT", 0, 1},
    {op::Grad, "GRAD", 0, 1},
    {op::Sqrt, "SQRT", 0, 1},
    {op::Abs, "ABS", 0, 1},
    {op::Sign, "SIGN", 0, 1},
    {op::Cosh, "COSH", 0, 1},
    {op::Sinh, "SINH", 0, 1},
    {op::Tanh, "TANH", 0, 1},
    {op::Coth, "COTH", 0, 1},
    {op::ASin, "ASIN", 0, 1},
    {op::ACos, "ACOS", 0, 1},
    {op::ATan, "ATAN", 0, 1},
    {op::ACot, "ACOT", 0, 1},
    {op::Fak, "FAK", 0, 1},
    {op::Str, "STR", 0, 1},
    {op::Uppercase, "UPPERCASE", 0, 1},
    {op::Lowercase, "LOWERCASE", 0, 1},
    {op::LTrim, "LTRIM", 0, 1},
    {op::RTrim, "RTRIM", 0, 1},
    {op::Trim, "TRIM", 0, 1},
    {op::Length, "LENGTH", 0, 1},
    {op::StrToDate, "STRTODATE", 0, 1},
    {op::StrToTime, "STRTOTIME", 0, 1},
    {op::StrToDateTime, "STRTODATETIME", 0, 1},
    {op::DayOfWeek, "DAYOFWEEK", 0, 1},
    {op::DayOfMonth, "DAYOFMONTH", 0, 1},
    {op::DayOfYear, "DAYOFYEAR", 0, 1},
    {op::HourOf, "HOUROF", 0, 1},
    {op::MonthOf, "MONTHOF", 0, 1},
    {op::MinuteOf, "MINUTEOF", 0, 1},
    {op::YearOf, "YEAROF", 0, 1},
    {op::Show, "SHOW", 0, 1},
    {op::Min, "MIN", -1, 2},
    {op::Max, "MAX", -1, 2},
    {op::Qd, "QD", 0, 1},
    {op::Zufluss, "ZUFLUSS", 0, 1},
    {op::Abfluss, "ABFLUSS", 0, 1},
    {op::Inhalt, "INHALT", 0, 1},
    {op::Volumen, "VOLUMEN", 0, 1},
    {op::Drossel, "DROSSEL", 0, 1},
};

struct TCodeTabelle {
  std::array<const TOperator*, 256> eintrag{};
  constexpr TCodeTabelle() {
    for (const auto& o : kOperatoren) eintrag[o.Code] = &o;
  }
};

constexpr TCodeTabelle kNachCode;

}  // namespace

const TOperator* OperatorZuCode(unsigned char code) {
  return kNachCode.eintrag[code];
}

const TOperator* Funktionswort(std::string_view wort) {
  if (wort.empty()) return nullptr;
  for (const auto& o : kOperatoren)
    if (o.Wort == wort && o.Klasse >= 0) return &o;
  return nullptr;
}

bool IstPraefix(unsigned char code) {
  const TOperator* o = OperatorZuCode(code);
  return o && o->Stellen == 1;
}

int Klasse(unsigned char code) {
  if (code == op::KlammerAuf) return 5;
  const TOperator* o = OperatorZuCode(code);
  return o ? o->Klasse : 5;
}

std::string_view Elementfunktion(unsigned char code) {
  const TOperator* o = OperatorZuCode(code);
  return o && o->Code >= op::Qd ? o->Wort : std::string_view();
}

}  // namespace t21::script
