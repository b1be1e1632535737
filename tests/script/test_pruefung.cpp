// Preparing the script text and checking its grammar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/pruefung.h"

using namespace t21::script;

namespace {

using Zeilen = std::vector<std::string>;

// A compact picture of a statement tree.
std::string Baum(const TAnweisung& a) {
  std::string r;
  for (const auto& m : a.Marken) r += m + " ";
  switch (a.Art) {
    case TAnweisungsArt::Leer:
      return r + "leer";
    case TAnweisungsArt::Block: {
      r += "begin ";
      for (size_t i = 0; i < a.Teile.size(); ++i) r += (i ? "; " : "") + Baum(a.Teile[i]);
      return r + " end";
    }
    case TAnweisungsArt::Wenn:
      r += "if <" + a.Ausdruck + "> then " + Baum(a.Teile[0]);
      if (a.Teile.size() > 1) r += " else " + Baum(a.Teile[1]);
      return r;
    case TAnweisungsArt::Solange:
      return r + "while <" + a.Ausdruck + "> do " + Baum(a.Teile[0]);
    case TAnweisungsArt::Wiederhole:
      return r + "repeat " + Baum(a.Teile[0]) + " until <" + a.Ausdruck + ">";
    case TAnweisungsArt::Sprung:
      return r + "goto " + a.Name;
    case TAnweisungsArt::Zuweisung:
      return r + a.Name + (a.HatIndex ? "[" + a.Index + "]" : "") + " := <" + a.Ausdruck + ">";
    case TAnweisungsArt::Aufruf:
      return r + "call " + a.Name + (a.HatIndex ? "[" + a.Index + "]" : "");
    case TAnweisungsArt::Ausdruck:
      return r + "<" + a.Ausdruck + ">";
  }
  return r;
}

}  // namespace

TEST(Vorbereitung, KommentareLeerzeichenRepeatUntil) {
  struct Fall {
    Zeilen zeilen;
    const char* ergebnis;
  };
  const Fall faelle[] = {
      {{"x := 1 // Rest der Zeile"}, " x := 1 "},
      {{"x := 'a//b'"}, " x := 'a "},  // also inside a quoted text
      {{"a {kurz} b"}, " a b "},
      {{"a { eins", "zwei", "drei } b"}, " a  b "},  // whole lines go
      {{"a {x} {y", "}b{z}"}, " a b "},
      {{"\tx\t:=   1  "}, " x := 1 "},
      {{"a } b"}, " a b "},     // a "}" without comment closes nothing
      {{"x{", "}y"}, " x y "},  // cut-off words of two lines stay apart
      {{"REPEAT x := 1 UNTIL x"}, " REPEAT  begin x := 1  end UNTIL x "},
      {{"repeat a; b until c"}, " repeat  begin a; b  end until c "},
      {{"Zuflussrepeat := Untilx"}, " Zuflussrepeat  begin :=  end Untilx "},
      {{"x := 1 //", "REPEAT"}, " x := 1  REPEAT  begin "},
      {{}, ""},
  };
  for (const auto& f : faelle) EXPECT_EQ(ScriptVorbereiten(f.zeilen), f.ergebnis) << f.ergebnis;
}

TEST(Pruefung, AngenommeneSkripte) {
  struct Fall {
    Zeilen zeilen;
    const char* baum;
  };
  const Fall faelle[] = {
      {{"x := 1"}, "x := <1>"},
      {{"BEGIN x := 1; y := x + 2 END"}, "begin x := <1>; y := <x + 2> end"},
      {{"begin", "  x := 1;", "  y := 2;", "end"}, "begin x := <1>; y := <2>; leer end"},
      {{"IF a > 1 THEN x := 1 ELSE x := 2"}, "if <a > 1> then x := <1> else x := <2>"},
      {{"if (a>1) then begin x := 1 end"}, "if <(a>1)> then begin x := <1> end"},
      {{"WHILE i < 10 DO i := i + 1"}, "while <i < 10> do i := <i + 1>"},
      {{"REPEAT x := x + 1 UNTIL x > 5"}, "repeat begin x := <x + 1> end until <x > 5>"},
      {{"REPEAT x := 1; y := 2 UNTIL y"}, "repeat begin x := <1>; y := <2> end until <y>"},
      {{"BEGIN 10: 20:x := x + 1; IF x < 3 THEN GOTO 10 END"},
       "begin 10: 20: x := <x + 1>; if <x < 3> then goto 10 end"},
      {{"SHOW(x)"}, "<SHOW(x)>"},
      {{"Zaehler;"}, "call Zaehler"},
      {{"BEGIN Zaehler; x := 1 END"}, "begin call Zaehler; x := <1> end"},
      {{"x[i + 1] := 5"}, "x[i + 1] := <5>"},
      {{"x:=a[2]*-b"}, "x := <a[2]*-b>"},
      {{"x := a + -b"}, "x := <a + -b>"},
      {{"x := 2 * -3"}, "x := <2 * -3>"},
      {{"x := a AND NOT b"}, "x := <a AND NOT b>"},
      {{"x := NOT(a) OR b MOD 2"}, "x := <NOT(a) OR b MOD 2>"},
      {{"x := (a > 1)AND(b > 2)"}, "x := <(a > 1)AND(b > 2)>"},
      {{"x := [Zulauf 1] * 2"}, "x := <[Zulauf 1] * 2>"},
      {{"x := MIN(COPY('abc', 1, 2), ZUFLUSS(SELF))"},
       "x := <MIN(COPY('abc', 1, 2), ZUFLUSS(SELF))>"},
      {{"QD := 2 * DROSSEL(SELF)"}, "QD := <2 * DROSSEL(SELF)>"},
      {{"_n := 1.5 >= .5"}, "_n := <1.5 >= .5>"},
      {{"x := 1 y := 2"}, "x := <1>"},             // only the first statement
      {{"IF(a > 1) THEN x := 1"}, "<IF(a > 1)>"},  // no IF statement without blank
      {{"Endwert := 5"}, "leer"},                  // taken as END
      {{"x := 1,5"}, "x := <1>"},                  // the check stops at the comma
      {{"{ nur ein Kommentar }"}, "leer"},
  };
  for (const auto& f : faelle) {
    const TScriptPruefung r = ScriptPruefen(f.zeilen);
    EXPECT_TRUE(r.Fehler.empty()) << f.zeilen[0] << ": " << (r.Fehler.empty() ? "" : r.Fehler[0]);
    EXPECT_EQ(Baum(r.Anweisung), f.baum) << f.zeilen[0];
  }
}

TEST(Pruefung, Meldungen) {
  struct Fall {
    Zeilen zeilen;
    const char* meldung;
  };
  const Fall faelle[] = {
      {{"x := (1 + 2"}, "Fehler in Zeile 1 Spalte 12: erwartet: )"},
      {{"x := SIN((1)"}, "Fehler in Zeile 1 Spalte 13: erwartet: Komma oder schließende Klammer"},
      {{"x := [abc"}, "Fehler in Zeile 1 Spalte 6: erwartet: ]"},
      {{"x := a[1 + 2;"}, "Fehler in Zeile 1 Spalte 13: erwartet: ]"},
      {{"x := MAX(1; 2)"}, "Fehler in Zeile 1 Spalte 11: erwartet: Komma oder schließende Klammer"},
      {{"BEGIN x := 1 y := 2 END"}, "Fehler in Zeile 1 Spalte 14: erwartet: \";\" oder \"end\""},
      {{"BEGIN x := 1;"}, "Fehler in Zeile 1 Spalte 14: erwartet: \";\" oder \"end\""},
      {{"x + 1"}, "Fehler in Zeile 1 Spalte 3: erwartet: \";\" oder \":=\""},
      {{"x = 1"}, "Fehler in Zeile 1 Spalte 3: erwartet: \";\" oder \":=\""},
      {{"IF a > 1 x := 1"}, "Fehler in Zeile 1 Spalte 10: erwartet: \"then\""},
      {{"IF a > 1 THENx := 1"}, "Fehler in Zeile 1 Spalte 10: erwartet: \"then\""},
      {{"WHILE a > 1 x := 1"}, "Fehler in Zeile 1 Spalte 13: erwartet: \"do\""},
      {{"REPEAT x := 1 END"},
       "Fehler in Zeile 1 Spalte 18: \"until\" erwartet; mehrere Anweisungen müssen in "
       "\"begin .. end\" Block stehen"},
      {{"GOTO x"}, "Fehler in Zeile 1 Spalte 6: Goto: label fehlt"},
      {{"BEGIN", "  x := 1;", "  y = 2", "END"},
       "Fehler in Zeile 3 Spalte 5: erwartet: \";\" oder \":=\""},
      {{"BEGIN", "\tx := 1", "\ty := 2", "END"},
       "Fehler in Zeile 3 Spalte 2: erwartet: \";\" oder \"end\""},
      // Columns count characters, and a line is counted up to its first "{".
      {{"{ Kommentar", "  über zwei Zeilen }", "x := (1"},
       "Fehler in Zeile 2 Spalte 9: erwartet: )"},
      // Factors that match no form of the language.
      {{"x := 1e5"}, "Fehler in Zeile 1 Spalte 6: ungültige Zahl"},
      {{"x := 2.5E-3"}, "Fehler in Zeile 1 Spalte 6: ungültige Zahl"},
      {{"x := %D'1.1.2001'"}, "Fehler in Zeile 1 Spalte 6: erwartet: Ausdruck"},
      {{"x := * 2"}, "Fehler in Zeile 1 Spalte 6: erwartet: Ausdruck"},
      {{"x :="}, "Fehler in Zeile 1 Spalte 5: erwartet: Ausdruck"},
      {{"x := a.b(1)"}, "Fehler in Zeile 1 Spalte 6: erwartet: Ausdruck"},
      {{"BEGIN ; END"}, "Fehler in Zeile 1 Spalte 7: erwartet: Ausdruck"},
      {{"x := 'abc"}, "Fehler in Zeile 1 Spalte 6: erwartet: '"},
  };
  for (const auto& f : faelle) {
    const TScriptPruefung r = ScriptPruefen(f.zeilen);
    ASSERT_EQ(r.Fehler.size(), 1u) << f.zeilen[0];
    EXPECT_EQ(r.Fehler[0], f.meldung) << f.zeilen[0];
  }
}

TEST(Pruefung, EineMeldungUndDerRestBleibtUngeprueft) {
  // The enclosing statement lists stop at the first fault.
  const TScriptPruefung r = ScriptPruefen(Zeilen{"BEGIN IF (a THEN x := 1; y := ( END"});
  ASSERT_EQ(r.Fehler.size(), 1u);
  EXPECT_EQ(r.Fehler[0], "Fehler in Zeile 1 Spalte 13: erwartet: )");
  EXPECT_EQ(r.Anweisung.Art, TAnweisungsArt::Leer);
}

TEST(Pruefung, TiefeVerschachtelungEndetMitMeldung) {
  const std::string tief(100000, '(');
  for (const std::string& zeile : {"x := " + tief, "x := " + std::string(100000, '-') + "1",
                                   std::string(50000, 'x') + " := 1"}) {
    const TScriptPruefung r = ScriptPruefen(Zeilen{zeile});
    if (zeile[0] == 'x' && zeile[1] == 'x') {
      EXPECT_TRUE(r.Fehler.empty());  // a long name is no nesting
      continue;
    }
    ASSERT_EQ(r.Fehler.size(), 1u);
    EXPECT_NE(r.Fehler[0].find(meldung::ZuTief), std::string::npos) << r.Fehler[0];
  }
}

TEST(Pruefung, Position) {
  struct Fall {
    Zeilen zeilen;
    long long n;
    int zeile, spalte;
  };
  const Fall faelle[] = {
      {{"ab"}, 0, 1, 0},      {{"ab", " c"}, 3, 2, 2},  {{"a\tb"}, 2, 1, 3},
      {{"äb"}, 2, 1, 2},      {{"a{bc", "d"}, 2, 2, 1},  // a line counts up to its first "{"
      {{"ab", "c"}, 4, 2, 2},                            // past the end: behind the last line
      {{}, 5, 1, 0},
  };
  for (const auto& f : faelle) {
    const TZeileSpalte p = Position(f.zeilen, f.n);
    EXPECT_EQ(p.Zeile, f.zeile) << f.n;
    EXPECT_EQ(p.Spalte, f.spalte) << f.n;
  }
}
