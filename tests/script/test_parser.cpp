// The expression engine: Parse (infix to postfix), Calc (postfix to value).
#include <gtest/gtest.h>

#include <cmath>

#include "script/parser.h"

using namespace t21::script;

namespace {

// Variables a = 3, b = 5 and x = 2; every other name reads as 0.
TbbParser Rechner() {
  TbbParser p;
  p.OnGetValue = [](const std::string& name, TVariant& v) {
    if (name == "A")
      v = TVariant::Gleitzahl(3);
    else if (name == "B")
      v = TVariant::Gleitzahl(5);
    else if (name == "X")
      v = TVariant::Gleitzahl(2);
    else
      v = TVariant::Ganzzahl(0);
  };
  return p;
}

double Zahl(TbbParser& p, const std::string& infix) {
  return AlsZahl(p.Execute(infix), p.Format);
}

}  // namespace

TEST(Parse, PostfixText) {
  TbbParser p;
  EXPECT_EQ(p.Parse("a+b*2"), "a b 2 *+");
}

TEST(Calc, Beispiele) {
  TbbParser p = Rechner();
  EXPECT_EQ(Zahl(p, "2 + 3 * 4"), 14);
  EXPECT_EQ(Zahl(p, "(2 + 3) * 4"), 20);
  EXPECT_EQ(Zahl(p, "7 / 0"), 0);
}
