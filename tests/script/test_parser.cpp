// The expression engine: Parse (infix to postfix text), Calc (postfix text to
// value), the parse-time forms and the hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "script/operatoren.h"
#include "script/parser.h"

using namespace t21::script;

namespace {

// a = 3, b = 5, x = 2, SELF = "RÜB 1"; every other name reads as whole number 0.
TbbParser Rechner() {
  TbbParser p;
  p.OnGetValue = [](const std::string& name, TVariant& v) {
    if (name == "A")
      v = TVariant::Gleitzahl(3);
    else if (name == "B")
      v = TVariant::Gleitzahl(5);
    else if (name == "X")
      v = TVariant::Gleitzahl(2);
    else if (name == "SELF")
      v = TVariant::Txt("RÜB 1");
    else
      v = TVariant::Ganzzahl(0);
  };
  return p;
}

// The postfix text with the operator codes readable: "\x88" becomes "<136>".
std::string Lesbar(const std::string& s) {
  std::string r;
  for (unsigned char c : s)
    r += c >= 128 ? "<" + std::to_string(c) + ">" : std::string(1, static_cast<char>(c));
  return r;
}

}  // namespace

TEST(Parse, PostfixText) {
  struct Fall {
    const char* infix;
    const char* postfix;
  };
  const Fall faelle[] = {
      {"a+b*2", "a b 2 *+"},
      {"(a + b) * 2", "a b +2 *"},
      {"2^3^2", "2 3 ^2 ^"},
      {"-2^2", "2 2 ^<136>"},
      {"2 * -3", "2 3 <136>*"},
      {"a + +b", "a b <137>+"},
      {"a > 1 AND b > 2", "a 1 b <133>>2 >"},
      {"a >= 1", "a 1 <129>"},
      {"a <= 1", "a 1 <130>"},
      {"a <> 1", "a 1 <131>"},
      {"a OR b MOD 2", "a b <132>2 <140>"},
      {"NOT a", "a <139>"},
      {"a AND NOT b", "a b <139><133>"},
      {"NOT a = b", "a <139>b ="},
      {"sin(x)*2", "x <145>2 *"},
      {"SQRT(ABS(x))", "x <166><157>"},
      {"ZUFLUSS(SELF)", "SELF <249>"},
      {"'it''s' + 'x'", "'it''s' 'x' +"},
      {"[Zulauf 1] + 1", "[Zulauf 1] 1 +"},
      {"[a [b] ']'] - 1", "[a [b] ']'] 1 -"},
      {"%D'01.05.2001' + 1", "%D'01.05.2001' 1 +"},
      {"\"a-b\"+1", "\"a-b\" 1 +"},  // operators between double quotes stay in the token
      {"1.5 + ,5", "1.5 ,5 +"},
      {"MAX(2, 3) * 2", "2  3 <168>2 *"},
      {"MIN(a + 1, b)", "a 1 + b <167>"},
      {"x ; y", "x "},
      {"x; y", "x; y "},  // ";" ends the reading only between tokens
      {"(a", "a "},
      {"a)", "a "},
      {"", ""},
  };
  TbbParser p;
  for (const auto& f : faelle) EXPECT_EQ(Lesbar(p.Parse(f.infix)), f.postfix) << f.infix;
}

TEST(Calc, VorrangJederKlasseUndVorzeichen) {
  struct Fall {
    const char* infix;
    double wert;
  };
  const double pi = std::numbers::pi;
  const Fall faelle[] = {
      // class 1 (* / ^ AND OR MOD NOT) binds tighter than class 2 (+ - and the signs)
      {"2 + 3 * 4", 14},
      {"(2 + 3) * 4", 20},
      {"2 * 3 + 4", 10},
      {"10 - 4 / 2", 8},
      {"2 + 3 ^ 2", 11},
      {"1 + 1 OR 0", 2},
      {"3 - 1 AND 0", 3},
      {"5 + 7 MOD 4", 8},
      // class 2 tighter than class 3 (comparisons)
      {"1 + 1 = 2", 1},
      {"2 > 1 + 1", 0},
      {"1 + 2 >= 3", 1},
      {"1 + 2 <= 2", 0},
      {"1 + 2 <> 3", 0},
      {"1 - 2 < 0", 1},
      // AND and OR bind like multiplication, tighter than the comparisons
      {"a > 1 AND b > 2", 0},  // a > (1 AND b) > 2
      {"(a > 1) AND (b > 2)", 1},
      {"(a > 4) OR (b > 4)", 1},
      // class 0 (functions) tighter than class 1
      {"SQRT(16) ^ 2", 16},
      {"SQRT 16 * 2", 8},
      // equal classes associate to the left
      {"2 ^ 3 ^ 2", 64},
      {"8 - 3 - 2", 3},
      {"16 / 4 / 2", 2},
      {"7 MOD 4 * 2", 6},
      {"2 * 7 MOD 4", 2},
      // unary signs and NOT apply to the operand after them
      {"-2 ^ 2", -4},
      {"2 ^ -1", 0.5},
      {"2 * -3", -6},
      {"a + -b", -2},
      {"-a * b", -15},
      {"-a + b", 2},
      {"2 - -2", 4},
      {"--3", 3},
      {"+3", 3},
      {"NOT 5", 0},
      {"NOT 0", 1},
      {"NOT 0.5", 0},
      {"a AND NOT 0", 3},
      {"NOT a = 0", 1},  // (NOT a) = 0
      {"1 OR 1", 2},
      {"7 / 0", 0},
      // functions, also nested
      {"SQRT(ABS(-16))", 4},
      {"ROUND(SQRT(2) * 10)", 14},
      {"MIN(MAX(1, 2), 0)", 0},
      {"MIN(a + 1, b)", 4},
      {"MAX(2, 3) * 2", 6},
      {"MAX(MIN(a, b), x) + 1", 4},
      {"INT(-2.5)", -2},
      {"FRAC(2.75)", 0.75},
      {"ROUND(2.5)", 2},
      {"ROUND(3.5)", 4},
      {"ROUND(-2.5)", -2},
      {"ROUND(2.4999)", 2},
      {"SIGN(-3)", -1},
      {"SIGN(0)", 0},
      {"ABS(-2)", 2},
      {"FAK(3)", 3},
      {"LOG(1000)", 3},
      {"LN(EXP(2))", std::log(std::exp(2.0))},
      {"GRAD(180)", 180 * pi / 180},
      {"SIN(1) + COS(1) + TAN(1)", std::sin(1.0) + std::cos(1.0) + std::tan(1.0)},
      {"COT(1)", 1 / std::tan(1.0)},
      {"COSH(1) - SINH(1) * TANH(1)", std::cosh(1.0) - std::sinh(1.0) * std::tanh(1.0)},
      {"COTH(1)", 1 / std::tanh(1.0)},
      {"ASIN(0.5) + ACOS(0.5)", std::asin(0.5) + std::acos(0.5)},
      {"ATAN(1)", pi / 4},
      {"ACOT(2)", pi / 2 - std::atan(2.0)},
      {"LENGTH('Rüb 1')", 5},
      {"'2' + 3", 5},
      {"'2,5' * 2", 5},
      {"7 MOD 2.6", 1},  // operands as whole numbers: 7 MOD 3
      {"-7 MOD 3", -1},
  };
  TbbParser p = Rechner();
  for (const auto& f : faelle) EXPECT_EQ(AlsZahl(p.Execute(f.infix), p.Format), f.wert) << f.infix;
}

TEST(Calc, ArtenDerErgebnisse) {
  struct Fall {
    const char* infix;
    TVarTyp typ;
  };
  const Fall faelle[] = {
      {"2", TVarTyp::Gleitzahl},
      {"1 < 2", TVarTyp::Ganzzahl},
      {"7 / 0", TVarTyp::Ganzzahl},
      {"6 / 3", TVarTyp::Gleitzahl},
      {"ROUND(2.5)", TVarTyp::Ganzzahl},
      {"SIGN(2)", TVarTyp::Ganzzahl},
      {"ABS(-2)", TVarTyp::Gleitzahl},
      {"INT(2.5)", TVarTyp::Gleitzahl},
      {"NOT 1", TVarTyp::Ganzzahl},
      {"'a' + 'b'", TVarTyp::Text},
      {"STR(1)", TVarTyp::Text},
      {"%D'01.05.2001'", TVarTyp::Datum},
      {"%D'01.05.2001' + 1", TVarTyp::Datum},
      {"%D'02.05.2001' - %D'01.05.2001'", TVarTyp::Gleitzahl},
      {"nix", TVarTyp::Ganzzahl},
      {"", TVarTyp::Leer},
  };
  TbbParser p = Rechner();
  for (const auto& f : faelle) EXPECT_EQ(p.Execute(f.infix).Typ, f.typ) << f.infix;
}

TEST(Calc, Texte) {
  struct Fall {
    const char* infix;
    const char* text;
  };
  const Fall faelle[] = {
      {"'a' + 'b'", "ab"},
      {"'it''s'", "it's"},
      {"'x'''", "x'"},
      {"STR(2.5)", "2,5"},
      {"STR(1/3)", "0,333333333333333"},
      {"STR(0.1 + 0.2)", "0,3"},
      {"STR(2 = 2)", "1"},
      {"UPPERCASE('aä z')", "Aä Z"},
      {"LOWERCASE('AÄ Z')", "aÄ z"},
      {"TRIM('  x y  ')", "x y"},
      {"LTRIM('  x ')", "x "},
      {"RTRIM('  x ')", "  x"},
      {"STR(%Z'01.05.2001 06:30')", "01.05.2001 06:30:00"},
      {"STR(%D'01.05.2001')", "01.05.2001"},
      {"STR(%T'06:30')", "06:30:00"},
      {"SELF", "RÜB 1"},
      {"MIN('b', 'a')", "a"},
      {"COPY('abcdef', 2, 3)", "bcd"},
      {"COPY('Rüben', 2, 2)", "üb"},
      {"COPY('abc', 0, 9)", "abc"},
      {"COPY('abc', 2, -1)", ""},
      {"COPY('it''s', 3, 2)", "'s"},
      {"FORMATFLOAT('0.00', 2)", "2,00"},
      {"FORMATFLOAT('0.0', a / 2)", "1,5"},
      {"FORMATDATETIME('yyyy-mm-dd hh:nn', %Z'01.05.2001 06:30')", "2001-05-01 06:30"},
      {"FORMATDATETIME('dd.mm.yy', '1.5.2001')", "01.05.01"},
  };
  TbbParser p = Rechner();
  for (const auto& f : faelle) EXPECT_EQ(AlsText(p.Execute(f.infix), p.Format), f.text) << f.infix;
}

TEST(Calc, Vergleiche) {
  struct Fall {
    const char* infix;
    long long wert;
  };
  const Fall faelle[] = {
      {"'abc' < 'abd'", 1}, {"'b' > 'abc'", 1}, {"'10' < 9", 0},  // text meets number: numbers
      {"'10' < '9'", 1},                                          // two texts: as texts
      {"'a' = 'A'", 0},     {"2 = 2.0", 1},     {"LN(-1) = LN(-1)", 0},
      {"LN(-1) <> 1", 1},   {"nix = 0", 1},
  };
  TbbParser p = Rechner();
  for (const auto& f : faelle) {
    const TVariant v = p.Execute(f.infix);
    EXPECT_EQ(v.Typ, TVarTyp::Ganzzahl) << f.infix;
    EXPECT_EQ(v.Ganz, f.wert) << f.infix;
  }
}

TEST(Calc, DatumUndZeit) {
  struct Fall {
    const char* infix;
    long long wert;
  };
  const Fall faelle[] = {
      {"DAYOFWEEK(%D'01.05.2001')", 2},  // a Tuesday
      {"DAYOFWEEK(%D'06.05.2001')", 7},
      {"DAYOFWEEK(%D'30.12.1899')", 6},
      {"DAYOFMONTH(%Z'31.12.2004 23:59')", 31},
      {"DAYOFYEAR(%D'31.12.2004')", 366},
      {"DAYOFYEAR('01.05.2001')", 121},
      {"HOUROF(%Z'01.05.2001 06:30')", 6},
      {"MINUTEOF(%Z'01.05.2001 06:30')", 30},
      {"MONTHOF(%D'01.05.2001')", 5},
      {"YEAROF(%D'1.5.01')", 2001},
      {"YEAROF(%D'1.5.99')", 1999},
      {"HOUROF(%T'18:15')", 18},
      {"STRTODATE('01.05.2001') = %D'01.05.2001'", 1},
      {"STRTOTIME('06:00') = %T'06:00:00'", 1},
      {"STRTODATETIME('01.05.2001 06:00') = %D'01.05.2001' + %T'06:00'", 1},
      {"%d'01.05.2001' < %z'01.05.2001 00:01'", 1},
  };
  TbbParser p = Rechner();
  for (const auto& f : faelle) EXPECT_EQ(AlsZahl(p.Execute(f.infix), p.Format), f.wert) << f.infix;
  EXPECT_EQ(p.Execute("%T'06:00'").Gleit, 0.25);
}

TEST(Calc, UngueltigeRechnungenLaufenAlsInfOderNaNWeiter) {
  struct Fall {
    const char* infix;
    double wert;  // NAN: not-a-number
  };
  const double inf = HUGE_VAL;
  const Fall faelle[] = {
      {"LN(0)", -inf},
      {"LN(-1)", NAN},
      {"LOG(-1)", NAN},
      {"SQRT(-1)", NAN},
      {"ASIN(2)", NAN},
      {"0 ^ -1", inf},
      {"(-8) ^ (1/3)", NAN},
      {"COT(0)", inf},
      {"COTH(0)", inf},
      {"EXP(1000)", inf},
      {"1e308 * 10", inf},
      {"LN(0) - LN(0)", NAN},
      {"1 / 0", 0},
      {"LN(-1) / 0", 0},
      {"1 / LN(-1)", NAN},
      {"7 MOD 0", 0},
      {"LN(0) MOD 2", NAN},
      {"2 MOD LN(-1)", NAN},
      {"ROUND(1e300)", 1e300},
      {"ROUND(LN(-1))", NAN},
      {"INT(LN(0))", -inf},
      {"FRAC(LN(0))", NAN},
      {"YEAROF(1e300)", NAN},
      {"HOUROF(LN(-1))", NAN},
      {"DAYOFWEEK(-700000)", NAN},
      {"-LN(0)", inf},
      {"ABS(LN(0))", inf},
  };
  TbbParser p = Rechner();
  for (const auto& f : faelle) {
    const double v = AlsZahl(p.Execute(f.infix), p.Format);
    if (std::isnan(f.wert))
      EXPECT_TRUE(std::isnan(v)) << f.infix << " = " << v;
    else
      EXPECT_EQ(v, f.wert) << f.infix;
  }
  EXPECT_EQ(AlsText(p.Execute("STR(LN(0)) + STR(SQRT(-1))"), p.Format), "-INFNAN");
  // A number written as INF or NAN reads back.
  EXPECT_TRUE(std::isnan(AlsZahl(p.Execute("'NAN' + 1"), p.Format)));
}

TEST(Calc, FehlerEndenAlsTScriptFehler) {
  TbbParser p = Rechner();
  p.OnFunction = [](const std::string& name, const TVariant&, const TVariant&, const TVariant&,
                    std::string& val) { val = name == "LEER" ? "" : "NULL"; };
  const std::vector<std::string> infix = {
      "'abc' * 2",        // a text that is no number
      "'1.5' + 1",        // "." is no decimal point in the user's format
      "QD('RÜB 9') + 1",  // the element function answers NULL
      "NOT 'x'",
      "1 / 'x'",
      "STRTODATE('gestern')",
      "%D'31.02.2001'",
      "DAYOFWEEK('x')",
      "COPY('abc', 'x', 1)",  // no whole number
      "COPY('abc', 1.5, 1)",
      "COPY('abc', 1)",
      "FORMATFLOAT('0', 'x')",
      "FORMATDATETIME('yyyy', 5)",  // a number is no date-time text
      "IF('x', 1, 2)",
      "1 + LEER(1)",  // an empty call leaves an operator alone
      "*",
      "1+(2+(3+(4+(5+(6+(7+(8+9)))))))",  // nine values pending at once
      "2abc + 1",
  };
  for (const auto& s : infix) EXPECT_THROW(p.Execute(s), TScriptFehler) << s;
  EXPECT_EQ(AlsZahl(p.Execute("1+(2+(3+(4+(5+(6+(7+8))))))"), p.Format), 36);
  EXPECT_THROW(p.Calc("1 2 3 4 5 6 7 8 9 "), TScriptFehler);
  EXPECT_THROW(p.Calc(std::string(1, static_cast<char>(op::Mal))), TScriptFehler);
}

TEST(Calc, PostfixText) {
  TbbParser p = Rechner();
  struct Fall {
    std::string postfix;
    double wert;
  };
  const Fall faelle[] = {
      {"a b 2 *+", 13}, {"1.5 ", 1.5},  // "." is the decimal point whatever the user's format
      {"1,5 ", 1.5},    {",5 ", 0.5},
      {"[a] [B] +", 8}, {"2 \x89\xaa 3 *", 6},  // unary plus and FAK are skipped
      {"1 2 ", 1},                              // the first value pushed is the result
  };
  for (const auto& f : faelle) EXPECT_EQ(AlsZahl(p.Calc(f.postfix), p.Format), f.wert) << f.postfix;
  p.Format.Dezimaltrenner = '.';
  EXPECT_EQ(AlsZahl(p.Calc("1.5 "), p.Format), 1.5);
  EXPECT_EQ(AlsZahl(p.Execute("'1.5' + 1"), p.Format), 2.5);
  EXPECT_THROW(p.Calc("1,5 "), TScriptFehler);
}

TEST(Hooks, NamenInGrossbuchstabenUndElementfunktionen) {
  TbbParser p;
  std::vector<std::string> namen, aufrufe;
  p.OnGetValue = [&](const std::string& name, TVariant& v) {
    namen.push_back(name);
    v = TVariant::Txt("RÜB 1");
  };
  p.OnFunction = [&](const std::string& name, const TVariant& p1, const TVariant& p2,
                     const TVariant& p3, std::string& val) {
    aufrufe.push_back(name + "|" + AlsText(p1, p.Format) + "|" + AlsText(p2, p.Format) + "|" +
                      AlsText(p3, p.Format));
    val = "12,5";
  };
  EXPECT_EQ(AlsZahl(p.Execute("ZUFLUSS(self) * 2 + inhalt('RÜB 2') + Qd([Zulauf 1])"), p.Format),
            12.5 * 2 + 12.5 + 12.5);
  EXPECT_EQ(namen, (std::vector<std::string>{"SELF", "ZULAUF 1"}));
  EXPECT_EQ(aufrufe,
            (std::vector<std::string>{"ZUFLUSS|RÜB 1|0|0", "INHALT|RÜB 2|0|0", "QD|RÜB 1|0|0"}));
  aufrufe.clear();
  for (const char* f : {"abfluss", "VOLUMEN", "Drossel"}) p.Execute(std::string(f) + "(1)");
  EXPECT_EQ(aufrufe, (std::vector<std::string>{"ABFLUSS|1|0|0", "VOLUMEN|1|0|0", "DROSSEL|1|0|0"}));
}

TEST(Hooks, ParseZeitAufrufe) {
  TbbParser p = Rechner();
  std::vector<std::string> aufrufe;
  p.OnFunction = [&](const std::string& name, const TVariant& p1, const TVariant& p2,
                     const TVariant& p3, std::string& val) {
    aufrufe.push_back(name + "|" + p1.Text + "|" + p2.Text + "|" +
                      (p3.Typ == TVarTyp::Text ? "?" : "-"));
    val = "4 * 10";
  };
  // The call is made by Parse, once; its result text replaces it, in parentheses.
  const std::string postfix = p.Parse("setarray(x, [i]) + 2");
  EXPECT_EQ(aufrufe, (std::vector<std::string>{"SETARRAY|x| 'i'|-"}));
  EXPECT_EQ(postfix, "4 10 *2 +");
  EXPECT_EQ(AlsZahl(p.Calc(postfix), p.Format), 42);
  EXPECT_EQ(aufrufe.size(), 1u);
  // IF is decided by Parse from the values the names have then.
  EXPECT_EQ(p.Parse("IF(x > 0, a, b)"), "a ");
  EXPECT_EQ(p.Parse("IF(x < 0, a, b)"), "b ");
  EXPECT_EQ(p.Parse("IF(x - 1.5, [a], 0)"), "0 ");  // INT(0.5) is not greater than 0
  EXPECT_EQ(p.Parse("COPY('abc', 1, 2) + x"), "'ab' x +");
  EXPECT_EQ(p.Parse("COPY('it''s', 3, 9)"), "'''s' ");  // a quote inside the result is doubled
  EXPECT_EQ(p.Parse("FORMATFLOAT('0.00', x)"), "'2,00' ");
  // A name as MIN, MAX, IF, COPY without "(" stays a name.
  EXPECT_EQ(p.Parse("min + If"), "min If +");
}

TEST(Hooks, EndloseErsetzungEndet) {
  TbbParser p;
  p.OnFunction = [](const std::string&, const TVariant&, const TVariant&, const TVariant&,
                    std::string& val) { val = "F(1)"; };
  EXPECT_THROW(p.Parse("F(1)"), TScriptFehler);
  // Nested forms that go too deep end as an error as well.
  std::string tief = "1";
  for (int i = 0; i < 300; ++i) tief = "MIN(" + tief + ", 2)";
  EXPECT_THROW(p.Parse(tief), TScriptFehler);
}

TEST(Hooks, Show) {
  TbbParser p = Rechner();
  std::vector<std::string> gezeigt;
  p.OnShow = [&](const std::string& t) { gezeigt.push_back(t); };
  EXPECT_EQ(AlsZahl(p.Execute("SHOW(a / 2) + 1"), p.Format), 2.5);
  EXPECT_EQ(gezeigt, std::vector<std::string>{"1,5"});
  TbbParser ohne;
  EXPECT_EQ(AlsZahl(ohne.Execute("SHOW(2)"), ohne.Format), 2);
}

TEST(ParseCalc, RundreiseUeberDenPostfixText) {
  // Calc of the postfix text that Parse makes agrees with the compiled code
  // of the same text (two ways of evaluating it), and the postfix text parsed
  // once gives the same value on every run.
  TbbParser p = Rechner();
  for (const char* s :
       {"a+b*2", "(a - b) / x ^ 2", "-a ^ 2 + NOT b", "MIN(a, b) * MAX(a, x)", "SIN(GRAD(30)) * 2",
        "'a' + STR(b)", "a > 1 AND b > 2", "ROUND(a / x) MOD 2", "%D'01.05.2001' + a"}) {
    const std::string postfix = p.Parse(s);
    const TVariant v1 = p.Calc(postfix), v2 = p.Calc(postfix), v3 = p.Calc(p.Compile(postfix));
    EXPECT_EQ(v1.Typ, v3.Typ) << s;
    EXPECT_EQ(AlsText(v1, p.Format), AlsText(v3, p.Format)) << s;
    EXPECT_EQ(AlsText(v1, p.Format), AlsText(v2, p.Format)) << s;
    // The postfix text holds only operand tokens, blanks and operator codes.
    EXPECT_EQ(postfix.find('('), std::string::npos) << s;
  }
  // With a = 3, b = 5, x = 2, by hand.
  EXPECT_EQ(AlsZahl(p.Calc(p.Parse("a+b*2")), p.Format), 13);
  // "^" binds like "/", from the left: ((3 - 5) / 2) ^ 2.
  EXPECT_EQ(AlsZahl(p.Calc(p.Parse("(a - b) / x ^ 2")), p.Format), 1);
  EXPECT_EQ(AlsZahl(p.Calc(p.Parse("MIN(a, b) * MAX(a, x)")), p.Format), 9);
  EXPECT_EQ(AlsText(p.Calc(p.Parse("'a' + STR(b)")), p.Format), "a5");
}
