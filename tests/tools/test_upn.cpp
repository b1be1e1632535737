// The RPN calculator as key sequences: the stack, its flags, the functions
// with their angle unit, the constants, the sign, Hex and Bin.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tools/upn.h"

using namespace t21;
using F = TUpnFunktion;

namespace {

void Tasten(TUpnRechner& r, const std::string& s) {
  for (char c : s) r.Ziffer(c);
}

}  // namespace

TEST(Upn, GrundrechnungenUndStapel) {
  TUpnRechner r;
  EXPECT_EQ(r.X, "0");
  EXPECT_TRUE(r.NeueEingabe());
  Tasten(r, "2");
  r.Enter();
  EXPECT_EQ(r.Y, "2");
  EXPECT_EQ(r.X, "2");
  Tasten(r, "3");
  r.Funktion(F::Plus);
  EXPECT_EQ(r.X, "5,000000");
  EXPECT_EQ(r.Y, "0");
  EXPECT_TRUE(r.ErgebnisGezeigt());
  // After a result a digit lifts the result into Y.
  Tasten(r, "4");
  EXPECT_EQ(r.Y, "5,000000");
  EXPECT_EQ(r.X, "4");
  r.Funktion(F::Mal);
  EXPECT_EQ(r.X, "20,000000");

  struct Fall {
    const char *a, *b;
    F f;
    const char* x;
  };
  for (const Fall& f : {Fall{"2", "3", F::YHochX, "8,000000"}, Fall{"7", "2", F::Minus, "5,000000"},
                        Fall{"1", "8", F::Durch, "0,125000"}, Fall{"1", "0", F::Durch, "INF"}}) {
    TUpnRechner s;
    Tasten(s, f.a);
    s.Enter();
    Tasten(s, f.b);
    s.Funktion(f.f);
    EXPECT_EQ(s.X, f.x) << f.a << " " << f.b;
  }
  TUpnRechner z;
  Tasten(z, "2");
  z.Funktion(F::ZehnHochX);
  EXPECT_EQ(z.X, "100,000000");
  // Four levels: T keeps its value when dropping.
  TUpnRechner v;
  for (const char* d : {"1", "2", "3"}) {
    Tasten(v, d);
    v.Enter();
  }
  Tasten(v, "4");
  EXPECT_EQ(v.T, "1");
  EXPECT_EQ(v.Z, "2");
  EXPECT_EQ(v.Y, "3");
  v.Funktion(F::Plus);
  EXPECT_EQ(v.X, "7,000000");
  EXPECT_EQ(v.Y, "2");
  EXPECT_EQ(v.Z, "1");
  EXPECT_EQ(v.T, "1");
}

TEST(Upn, WinkelNurFuerKreisfunktionen) {
  TUpnRechner r;
  Tasten(r, "90");
  r.Funktion(F::Sin);
  EXPECT_EQ(r.X, "1,000000");
  TUpnRechner rad;
  rad.Winkel = TWinkel::RAD;
  Tasten(rad, "90");
  rad.Funktion(F::Sin);
  EXPECT_EQ(rad.X, rad.ErgebnisText(std::sin(90.0)));
  TUpnRechner gon;
  gon.Winkel = TWinkel::GRAD;
  Tasten(gon, "100");
  gon.Funktion(F::Sin);
  EXPECT_EQ(gon.X, "1,000000");

  // The inverse functions give their result in the angle unit.
  struct Fall {
    TWinkel w;
    const char* ein;
    F f;
    double erwartet;
  };
  for (const Fall& f :
       {Fall{TWinkel::DEG, "1", F::ASin, 90}, Fall{TWinkel::DEG, "0", F::ACos, 90},
        Fall{TWinkel::DEG, "1", F::ATan, 45}, Fall{TWinkel::DEG, "1", F::ACot, 45},
        Fall{TWinkel::GRAD, "1", F::ASin, 100},
        Fall{TWinkel::RAD, "1", F::ASin, std::numbers::pi / 2}, Fall{TWinkel::DEG, "45", F::Tan, 1},
        Fall{TWinkel::DEG, "45", F::Cot, 1}, Fall{TWinkel::DEG, "60", F::Cos, 0.5}}) {
    TUpnRechner s;
    s.Winkel = f.w;
    Tasten(s, f.ein);
    s.Funktion(f.f);
    EXPECT_EQ(s.X, s.ErgebnisText(f.erwartet)) << f.ein;
  }
  // Hyperbolic functions take the number as it is, whatever the unit.
  struct Hyp {
    F f;
    double erwartet;
  };
  for (const Hyp& h :
       {Hyp{F::SinH, std::sinh(1.0)}, Hyp{F::CosH, std::cosh(1.0)}, Hyp{F::TanH, std::tanh(1.0)},
        Hyp{F::CotH, 1 / std::tanh(1.0)}, Hyp{F::ASinH, std::asinh(1.0)}, Hyp{F::ACosH, 0}}) {
    TUpnRechner s;  // DEG
    Tasten(s, "1");
    s.Funktion(h.f);
    EXPECT_EQ(s.X, s.ErgebnisText(h.erwartet));
  }
  TUpnRechner a;
  Tasten(a, "2");
  a.Funktion(F::ACotH);
  EXPECT_EQ(a.X, a.ErgebnisText(std::atanh(0.5)));
  TUpnRechner w;
  Tasten(w, "2");
  w.Funktion(F::Wurzel);
  EXPECT_EQ(w.X, "1,414214");
  w.Funktion(F::Quadrat);  // the registers are the texts shown
  EXPECT_EQ(w.X, "2,000001");
  // Invalid arguments show as texts; Hex and Bin then show the dash.
  TUpnRechner l;
  l.Ziffer('0');
  l.Funktion(F::Ln);
  EXPECT_EQ(l.X, "-INF");
  EXPECT_EQ(l.Hex(), "\u2013");
}

TEST(Upn, VorzeichenWechseltDenGetipptenText) {
  TUpnRechner r;
  Tasten(r, "12");
  r.Funktion(F::Vorzeichen);
  EXPECT_EQ(r.X, "-12");
  Tasten(r, ",5");  // typing goes on behind the sign
  EXPECT_EQ(r.X, "-12,5");
  r.Funktion(F::Vorzeichen);
  EXPECT_EQ(r.X, "12,5");
  r.Enter();
  Tasten(r, "1");
  r.Funktion(F::Plus);
  r.Funktion(F::Vorzeichen);  // a result keeps its digits
  EXPECT_EQ(r.X, "-13,500000");
  EXPECT_TRUE(r.ErgebnisGezeigt());
  Tasten(r, "2");  // and the next digit lifts it
  EXPECT_EQ(r.Y, "-13,500000");
  EXPECT_EQ(r.X, "2");
}

TEST(Upn, KonstantenHebenDenStapel) {
  TUpnRechner r;
  r.Taste('p');  // a fresh X waits for its entry: replaced
  EXPECT_EQ(r.X, "3,141593");
  EXPECT_EQ(r.Y, "0");
  Tasten(r, "12");
  EXPECT_EQ(r.Y, "3,141593");
  r.Taste('g');  // the typed 12 moves up
  EXPECT_EQ(r.X, "9,810000");
  EXPECT_EQ(r.Y, "12");
  EXPECT_EQ(r.Z, "3,141593");
  r.Taste('*');
  EXPECT_EQ(r.X, "117,720000");
  EXPECT_EQ(r.Y, "3,141593");
  r.Enter();
  r.Taste('G');  // after Enter the copy in X is replaced
  EXPECT_EQ(r.X, "9,810000");
  EXPECT_EQ(r.Y, "117,720000");
}

TEST(Upn, TastenUndPfeile) {
  TUpnRechner r;
  EXPECT_EQ(r.Taste('.'), TUpnRechner::TTaste::Verschluckt);
  EXPECT_EQ(r.Taste('a'), TUpnRechner::TTaste::Verschluckt);
  EXPECT_EQ(r.Taste('\b'), TUpnRechner::TTaste::Verschluckt);
  EXPECT_EQ(r.X, "0");
  EXPECT_EQ(r.Taste('7'), TUpnRechner::TTaste::Eingegeben);
  EXPECT_EQ(r.Taste(','), TUpnRechner::TTaste::Eingegeben);
  EXPECT_EQ(r.Taste('5'), TUpnRechner::TTaste::Eingegeben);
  EXPECT_EQ(r.X, "7,5");
  r.Pfeil(true);
  EXPECT_EQ(r.X, "8,500000");
  EXPECT_FALSE(r.ErgebnisGezeigt());  // digits are appended after an arrow
  r.Pfeil(false);
  r.Pfeil(false);
  EXPECT_EQ(r.X, "6,500000");
  r.Enter();
  EXPECT_EQ(r.Taste('2'), TUpnRechner::TTaste::Eingegeben);
  EXPECT_EQ(r.Taste('^'), TUpnRechner::TTaste::Ausgefuehrt);
  EXPECT_EQ(r.X, "42,250000");
  EXPECT_EQ(r.Taste('/'), TUpnRechner::TTaste::Ausgefuehrt);  // 0 / 42.25
  EXPECT_EQ(r.X, "0,000000");
  // Unreadable texts count 0.
  TUpnRechner u;
  u.SetzeX("abc");
  u.Enter();
  u.Ziffer('4');
  u.Funktion(F::Plus);
  EXPECT_EQ(u.X, "4,000000");
}

TEST(Upn, HexUndBin) {
  TUpnRechner r;
  Tasten(r, "255");
  EXPECT_EQ(r.Hex(), "000000FF");
  EXPECT_EQ(r.Bin(), "11111111");
  r.SetzeX("10");
  EXPECT_EQ(r.Hex(), "0000000A");
  EXPECT_EQ(r.Bin(), "1010");
  r.SetzeX("0,5");
  EXPECT_EQ(r.Hex(), "00000000");
  EXPECT_EQ(r.Bin(), "0");
  r.SetzeX("-3");
  EXPECT_EQ(r.Hex(), "FFFFFFFFFFFFFFFD");
  EXPECT_EQ(r.Bin(), "0");
  EXPECT_EQ(HexText(4294967296.0), "100000000");
  EXPECT_EQ(BinText(9223372036854774784.0), std::string(53, '1') + std::string(10, '0'));
  // Outside the 64-bit range, and infinities: a dash.
  for (double v : {1e19, -1e19, 9223372036854775808.0, double(INFINITY), double(NAN)}) {
    EXPECT_EQ(HexText(v), "\u2013") << v;
    EXPECT_EQ(BinText(v), "\u2013") << v;
  }
  EXPECT_EQ(HexText(-9223372036854775808.0), "8000000000000000");
  // Large results in scientific notation.
  EXPECT_EQ(r.ErgebnisText(1e20), "1,00000000000000000E+20");
  EXPECT_EQ(r.ErgebnisText(-0.0000004), "0,000000");
}
