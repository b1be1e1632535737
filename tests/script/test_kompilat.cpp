// The compiled form of a postfix text: the same values, bit for bit, and the
// same hook calls as Calc on the text; no heap for numeric expressions.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "script/parser.h"
#include "support/allokationen.h"

using namespace t21::script;

namespace {

struct TErgebnis {
  bool fehler = false;
  std::string meldung;
  TVariant wert;
  std::vector<std::string> namen;  // OnGetValue, in order
};

void ErwarteGleich(const TErgebnis& a, const TErgebnis& b, const std::string& was) {
  EXPECT_EQ(a.fehler, b.fehler) << was;
  EXPECT_EQ(a.meldung, b.meldung) << was;
  EXPECT_EQ(a.wert.Typ, b.wert.Typ) << was;
  EXPECT_EQ(a.wert.Ganz, b.wert.Ganz) << was;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(a.wert.Gleit), std::bit_cast<std::uint64_t>(b.wert.Gleit))
      << was;
  EXPECT_EQ(a.wert.Text, b.wert.Text) << was;
  EXPECT_EQ(a.namen, b.namen) << was;
}

TVariant Wert(const std::string& name) {
  if (name == "A") return TVariant::Gleitzahl(0.1);
  if (name == "B") return TVariant::Gleitzahl(-7.25);
  if (name == "N") return TVariant::Ganzzahl(9007199254740993);  // beyond 2^53
  if (name == "G2") return TVariant::Waehrung(196200);
  if (name == "T") return TVariant::Txt("2,5");
  if (name == "ZEIT") return TVariant::Datum(37012.25);
  return TVariant::Ganzzahl(0);
}

template <class F>
TErgebnis Lauf(TbbParser& p, F&& rechnen) {
  TErgebnis r;
  p.OnGetValue = [&](const std::string& name, TVariant& v) {
    r.namen.push_back(name);
    v = Wert(name);
  };
  try {
    r.wert = rechnen();
  } catch (const TScriptFehler& e) {
    r.fehler = true;
    r.meldung = e.what();
  }
  return r;
}

TbbParser Parser() {
  TbbParser p;
  p.OnFunction = [](const std::string& name, const TVariant& p1, const TVariant&, const TVariant&,
                    std::string& val) {
    val = name == "QD" ? "12,5" : name == "INHALT" ? "NULL" : AlsText(p1, TBenutzerFormat());
  };
  return p;
}

const char* const kAusdruecke[] = {
    "a + b * 2",
    "a * 3 - b / 7 ^ 0.5",
    "(a + b) / 0",
    "a / (b - b)",
    "-a ^ 2 + -b",
    "NOT a + NOT 0",
    "a AND b OR 1",
    "n + 1",
    "n * n",
    "n MOD 7",
    "b MOD 0",
    "g2 * 2",
    "g2 * g2 + g2 - 1",
    "g2 / 3",
    "t + 1",
    "t + t",
    "'a' + 'b' + STR(a)",
    "a < b",
    "a >= b",
    "a <= a",
    "a <> b",
    "a = a",
    "t > 2",
    "MIN(a, b) + MAX(a, b)",
    "MAX('a', 'b')",
    "INT(b) + FRAC(b) + ROUND(b) + SIGN(b) + ABS(b)",
    "LN(a) + LOG(a) + EXP(a) + SQRT(a)",
    "SIN(a) + COS(a) + TAN(a) + COT(a) + GRAD(a)",
    "SINH(a) + COSH(a) + TANH(a) + COTH(a)",
    "ASIN(a) + ACOS(a) + ATAN(a) + ACOT(a)",
    "LN(b) + SQRT(b) + LN(0) - LN(0)",
    "1e308 * 10",
    "UPPERCASE('aä') + LOWERCASE('AÄ') + TRIM(' x ') + LTRIM(' x') + RTRIM('x ')",
    "LENGTH('Rüben')",
    "STRTODATE('01.05.2001') + STRTOTIME('06:00') + STRTODATETIME('01.05.2001 06:00')",
    "DAYOFWEEK(zeit) + DAYOFMONTH(zeit) + DAYOFYEAR(zeit) + HOUROF(zeit)",
    "MONTHOF(zeit) + MINUTEOF(zeit) + YEAROF(zeit)",
    "%D'01.05.2001' + %T'06:00' + %Z'01.05.2001 06:00'",
    "zeit - %D'01.05.2001'",
    "QD('RÜB 1') * 2 + ZUFLUSS(1) + ABFLUSS(2) + VOLUMEN(3) + DROSSEL(4)",
    "INHALT(SELF) + 1",
    "[Zulauf 1] + a + [a]",
    "FAK(a)",
    "x + y + z",
    "'abc' * 2",
    "1+(2+(3+(4+(5+(6+(7+(8+9)))))))",
};

}  // namespace

TEST(Kompilat, GleicheWerteWieDerText) {
  TbbParser p = Parser();
  for (const char* s : kAusdruecke) {
    const std::string postfix = p.Parse(s);
    const TPostfixCode code = p.Compile(postfix);
    const TErgebnis text = Lauf(p, [&] { return p.Calc(postfix); });
    const TErgebnis kompiliert = Lauf(p, [&] { return p.Calc(code); });
    ErwarteGleich(text, kompiliert, s);
    // With the slots filled beforehand.
    std::vector<TVariant> werte;
    for (const auto& name : code.Namen) werte.push_back(Wert(name));
    TErgebnis slots = Lauf(p, [&] { return p.Calc(code, werte); });
    slots.namen = text.namen;
    ErwarteGleich(text, slots, std::string(s) + " (Slots)");
  }
}

TEST(Kompilat, FehlerhafteKonstantenFallenErstBeimRechnen) {
  TbbParser p = Parser();
  for (const std::string postfix : {"a 1,5x +", "a %D'31.02.2001' +", "1 2 3 4 5 6 7 8 9 ", "*",
                                    "a \x8b\x8b", "", "'abc ", "[a b "}) {
    TPostfixCode code;
    EXPECT_NO_THROW(code = p.Compile(postfix)) << postfix;
    ErwarteGleich(Lauf(p, [&] { return p.Calc(postfix); }), Lauf(p, [&] { return p.Calc(code); }),
                  postfix);
  }
}

TEST(Kompilat, FlacheListe) {
  TbbParser p;
  const TPostfixCode c = p.Compile(p.Parse("a * 2 + a / [b]"));
  EXPECT_EQ(c.Namen, (std::vector<std::string>{"A", "B"}));
  ASSERT_EQ(c.Schritte.size(), 7u);
  EXPECT_EQ(c.Schritte[0].Art, TSchrittArt::Name);
  EXPECT_EQ(c.Schritte[1].Art, TSchrittArt::Konstante);
  EXPECT_EQ(c.Schritte[2].Art, TSchrittArt::Operator);
  EXPECT_EQ(c.Schritte[3].Index, 0u);  // the second "a" uses the same slot
  EXPECT_EQ(c.Schritte[4].Index, 1u);
  EXPECT_EQ(c.Schritte[6].Code, '+');
  EXPECT_EQ(c.Konstanten.size(), 1u);
}

TEST(Kompilat, RechnetOhneHeap) {
  TbbParser p;
  p.OnGetValue = [](const std::string& name, TVariant& v) {
    v = TVariant::Gleitzahl(name == "A" ? 3 : 4);
  };
  const TPostfixCode code =
      p.Compile(p.Parse("a * 2 + SQRT(b) - MAX(a, b) / 3 > 1 AND NOT (a MOD 2 = 0) OR -b ^ 2"));
  const std::vector<TVariant> werte = {TVariant::Gleitzahl(3), TVariant::Gleitzahl(4)};
  const double erwartet = AlsZahl(p.Calc(code), p.Format);
  double mitHook = 0, mitSlots = 0;
  const long vorher = t21::test::gAllokationen;
  for (int i = 0; i < 100; ++i) {
    mitHook = AlsZahl(p.Calc(code), p.Format);
    mitSlots = AlsZahl(p.Calc(code, werte), p.Format);
  }
  EXPECT_EQ(t21::test::gAllokationen - vorher, 0);
  EXPECT_EQ(mitHook, erwartet);
  EXPECT_EQ(mitSlots, erwartet);
}
