// The interpreter of the management scripts: instruction lists, runs, names,
// variables, assignments, throttle curves and element functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "model/network.h"
#include "script/interpreter.h"
#include "support/netzbau.h"

using namespace t21;
using namespace t21::script;
using t21::test::Netzbau;

namespace {

std::vector<std::string> Zeilen(const std::string& text) {
  std::vector<std::string> r;
  std::istringstream in(text);
  for (std::string z; std::getline(in, z);) r.push_back(z);
  return r;
}

// An instruction with its kind and target readable:
//   "?2 a 1 >"   conditional jump to 2
//   "->4"        jump to 4
//   "->'99'"     unresolved GOTO 99 (two digits are no target of a list
//                shorter than 12288 instructions)
//   "! x <150>"  evaluate
//   "x a 1 +"    assignment
std::string Lesbar(const std::string& s) {
  const auto ziel = [&] {
    return std::to_string(static_cast<unsigned char>(s[1]) +
                          256 * static_cast<unsigned char>(s[2]));
  };
  std::string r;
  std::string rest;
  if (!s.empty() && s[0] == befehl::Bedingt) {
    r = "?" + ziel() + " ";
    rest = s.substr(3);
  } else if (!s.empty() && s[0] == befehl::Sprung) {
    const auto ziffer = [](char c) { return c >= '0' && c <= '9'; };
    if (s.size() == 3 && !(ziffer(s[1]) && ziffer(s[2]))) return "->" + ziel();
    return "->'" + s.substr(1) + "'";
  } else if (!s.empty() && s[0] == befehl::Auswerten) {
    r = "! ";
    rest = s.substr(1);
  } else {
    rest = s;
  }
  for (unsigned char c : rest)
    r += c >= 128 ? "<" + std::to_string(c) + ">" : std::string(1, static_cast<char>(c));
  return r;
}

// A network of a CSO tank "RÜB 1" between a catchment "K" and a discharge
// point "E", a connector "C" and a rain gauge "R".
class Interpreter : public ::testing::Test {
 protected:
  Netzbau n;
  TbbInterpreter ip{n.m};
  TSimulation sim;

  void SetUp() override {
    n.Neu("KEM", "K");
    n.Neu("RUB", "RÜB 1");
    n.Neu("EST", "E");
    n.Neu("CON", "C");
    n.Neu("REG", "R");
    t21::test::Bauwerksstrang(n, "K", "RÜB 1", "E");
    auto& b = Rub();
    b.QD = 10;
    b.QDaktiv = 12;
    b.Volumen = 800;
    b.Speicher.Aktuell.Q = 345.5;
    b.Zustand.Aktuell.Q = 6;  // m3 in the step of 300 s: 20 l/s
    b.Drossel.Aktuell.Q = 3;  // 10 l/s
    n.Element("K").Zustand.Aktuell.Q = 1.8;
    n.El<TKEZ>("K").TWZustand.Aktuell.Q = 0.3;  // its own dry-weather flow
    n.Element("C").Zustand.Aktuell.Q = 0.6;
    n.Element("C").Zustand.OldQZu = 0.3;
    auto& e = n.El<TEST>("E");
    e.Zustand.Aktuell.Q = 3;
    e.Zustand.OldQZu = 1.2;
    e.QD = 4;
    e.QDaktiv = 4;
    sim.Reihenfolge = {&n.Element("K"), &b, &n.Element("C"), &e, &n.Netz()};
    sim.Start = 36526;  // 1.1.2000
    sim.Ende = 36892;   // 1.1.2001
    sim.Zeit = 36600;
    ip.SetSimulation(&sim);
  }

  TRUB& Rub() { return n.El<TRUB>("RÜB 1"); }

  // Prepares the script; fails the test on messages.
  TScriptCode Bereit(const std::string& script, std::vector<std::string>* liste = nullptr) {
    std::vector<std::string> to, err;
    TScriptCode c = ip.PrepareScript(Zeilen(script), to, err);
    EXPECT_TRUE(err.empty()) << script << ": " << (err.empty() ? "" : err[0]);
    if (liste) *liste = to;
    return c;
  }

  // Prepares and runs the script once for the element; the variables.
  std::vector<std::string> Lauf(const std::string& script, const std::string& element = "RÜB 1") {
    TScriptCode c = Bereit(script);
    ip.DoScript(n.Element(element), c);
    return ip.VariablenZeilen(ip.Variables());
  }

  // The value of v after v := ausdruck, as the variable listing shows it.
  std::string Wert(const std::string& ausdruck, const std::string& element = "RÜB 1") {
    const auto z = Lauf("v := " + ausdruck, element);
    for (const auto& s : z)
      if (s.starts_with("v=")) return s.substr(2);
    return "?";
  }
};

}  // namespace

TEST_F(Interpreter, Anweisungslisten) {
  struct Fall {
    const char* script;
    std::vector<std::string> liste;
  };
  const Fall faelle[] = {
      {"", {}},
      {"{nur ein Kommentar}", {}},
      {"x := 1", {"x 1 "}},
      {"IF a > 1 THEN x := 1", {"?2 a 1 >", "x 1 "}},
      {"IF a THEN x := 1 ELSE x := 2", {"?3 a ", "x 1 ", "->4", "x 2 "}},
      {"WHILE a < 3 DO a := a + 1", {"?3 a 3 <", "a a 1 +", "->0"}},
      {"REPEAT x := x + 1 UNTIL x > 5", {"x x 1 +", "?0 x 5 >"}},
      {"REPEAT\n  x := x + 1;\n  y := x\nUNTIL x > 5", {"x x 1 +", "y x ", "?0 x 5 >"}},
      {"BEGIN 10: x := 1; GOTO 10 END", {"x 1 ", "->0"}},
      {"BEGIN a := 1; 5: b := 2; 5: c := 3; GOTO 5 END", {"a 1 ", "b 2 ", "c 3 ", "->1"}},
      {"BEGIN GOTO 7; 7: END", {"->1"}},
      {"GOTO 99", {"->'99'"}},
      {"SHOW(x)", {"! x <150>"}},
      {"x[2] := 5", {"! NULL "}},
      {"p;", {"! NULL "}},
      {"a := ZUFLUSS(SELF) * 2", {"a SELF <249>2 *"}},
      {"BEGIN x := 1; IF x THEN BEGIN y := 2; z := 3 END END", {"x 1 ", "?4 x ", "y 2 ", "z 3 "}},
      {"x := IF(1, 'ja', 'nein')", {"x 'ja' "}},
      {"x := COPY('Regen', 2, 3)", {"x 'ege' "}},
  };
  for (const auto& f : faelle) {
    std::vector<std::string> liste;
    const TScriptCode c = Bereit(f.script, &liste);
    std::vector<std::string> lesbar;
    for (const auto& s : liste) lesbar.push_back(Lesbar(s));
    EXPECT_EQ(lesbar, f.liste) << f.script;
    EXPECT_EQ(c.Befehle.size(), liste.size()) << f.script;
  }
}

TEST_F(Interpreter, ZielUeber256AlsZweiBytes) {
  std::string s = "WHILE i < 1 DO BEGIN ";
  for (int k = 0; k < 300; ++k) s += "i := i + 1; ";
  s += "x := i END";
  std::vector<std::string> liste;
  TScriptCode c = Bereit(s, &liste);
  ASSERT_EQ(liste.size(), 303u);
  // The conditional jump leads behind the closing jump: 303 = 47 + 256.
  EXPECT_EQ(liste[0].substr(0, 3), std::string("\x01\x2f\x01", 3));
  EXPECT_EQ(liste[302], std::string("\x02\x00\x00", 3));
  ip.DoScript(Rub(), c);
  EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), (std::vector<std::string>{"I=300", "x=300"}));
}

TEST_F(Interpreter, MeldungenDerVorbereitung) {
  struct Fall {
    const char* script;
    std::vector<std::string> meldungen;
  };
  const Fall faelle[] = {
      {"IF a x := 1", {"Fehler in Zeile 1 Spalte 6: erwartet: \"then\""}},
      {"BEGIN\nx := 1\ny := 2\nEND", {"Fehler in Zeile 3 Spalte 1: erwartet: \";\" oder \"end\""}},
      {"WHILE a x := 1", {"Fehler in Zeile 1 Spalte 9: erwartet: \"do\""}},
      {"x := (1", {"Fehler in Zeile 1 Spalte 8: erwartet: )"}},
      {"GOTO x", {"Fehler in Zeile 1 Spalte 6: Goto: label fehlt"}},
      // A parse-time form whose argument does not fit is a fault of the script.
      {"x := COPY('abc', 'q', 1)", {"Fehler in \"COPY('abc', 'q', 1)\": keine ganze Zahl: 'q'"}},
      // So is an expression that every run would fail on.
      {"IF x THEN y := 1+(1+(1+(1+(1+(1+(1+(1+1)))))))",
       {"Fehler in \"1+(1+(1+(1+(1+(1+(1+(1+1)))))))\": Ausdruck zu umfangreich: mehr als 8 "
        "Werte gleichzeitig offen"}},
  };
  for (const auto& f : faelle) {
    std::vector<std::string> to{"alt"}, err{"alt"};
    const TScriptCode c = ip.PrepareScript(Zeilen(f.script), to, err);
    EXPECT_EQ(err, f.meldungen) << f.script;
    EXPECT_TRUE(to.empty()) << f.script;
    EXPECT_TRUE(c.Befehle.empty()) << f.script;
  }
}

TEST_F(Interpreter, Laeufe) {
  struct Fall {
    const char* script;
    std::vector<std::string> variablen;
  };
  const Fall faelle[] = {
      // A new variable reads as 0 (and is created under the upper-case name
      // the expression engine hands over).
      {"REPEAT x := x + 1 UNTIL x > 5", {"X=6"}},
      {"y := z", {"y=0", "Z=0"}},
      {"BEGIN x := 1; GOTO 99; x := 2 END", {"x=1"}},
      // A label defined twice: GOTO goes to the first.
      {"BEGIN n := 0; GOTO 7; 7: n := n + 1; 7: n := n + 10 END", {"n=11"}},
      {"a := 7 / 0", {"a=0"}},
      {"a := 7 MOD 0", {"a=0"}},
      {"a := 2 ^ 10", {"a=1024"}},
      {"a := 1+(1+(1+(1+(1+(1+(1+1))))))", {"a=8"}},
      {"IF 0 THEN a := 1 ELSE a := 2", {"a=2"}},
      {"IF NOT 0 THEN a := 1 ELSE a := 2", {"a=1"}},
      {"IF 'x' = 'x' THEN a := 1", {"a=1"}},
      {"BEGIN p := PI; g := G2; d := DT; s := SELF END",
       {"d=5", "g=19,62", "p=3,14159265358979", "s=RÜB 1"}},
      {"BEGIN z := ZEIT; b := BILANZSTART; e := BILANZENDE END",
       {"b=01.01.2000", "e=01.01.2001", "z=15.03.2000"}},
      {"w := IF(ZEIT > BILANZSTART, 1, 2)", {"w=1"}},
      {"w := IF(ZEIT < BILANZSTART, 1, 2)", {"w=2"}},
      {"a := YEAROF(ZEIT) + MONTHOF(ZEIT)", {"a=2003"}},
      {"BEGIN i := 0; s := 0; WHILE i < 4 DO BEGIN i := i + 1; j := 0;"
       " WHILE j < i DO BEGIN j := j + 1; s := s + 1 END END END",
       {"i=4", "j=4", "s=10"}},
      {"BEGIN t := 'Regen'; u := t + ' ' + STR(3) END", {"t=Regen", "u=Regen 3"}},
      {"x := 0.5 + 0.25", {"x=0,75"}},
      // Assignments to built-in names are plain variables; reading them stays built-in.
      {"BEGIN ZEIT := 5; a := ZEIT END", {"a=15.03.2000", "ZEIT=5"}},
      // QD, DKZ, DKI and DKL are no variables.
      {"BEGIN QD := 1; DKI := '0,1'; DKZ := '0,1'; DKL := '0,1' END", {}},
  };
  for (const auto& f : faelle) {
    EXPECT_EQ(Lauf(f.script), f.variablen) << f.script;
    // The same list read back from its text runs alike.
    std::vector<std::string> liste;
    Bereit(f.script, &liste);
    ip.DoScript(Rub(), liste);
    EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), f.variablen) << f.script << " (Text)";
  }
}

TEST_F(Interpreter, FehlerBeimLauf) {
  struct Fall {
    const char* script;
    const char* meldung;
  };
  const Fall faelle[] = {
      {"WHILE 1 DO x := 0", kEndlosschleife},
      {"BEGIN 1: GOTO 1 END", kEndlosschleife},
      {"REPEAT x := x + 1 UNTIL x < 0", kEndlosschleife},
      // An element name in another case than the shape's gives "NULL".
      {"x := INHALT('rüb 1') + 1", "Text ist keine Zahl: 'NULL'"},
      {"x := 'abc' * 2", "Text ist keine Zahl: 'abc'"},
      {"QD := 'viel'", "Text ist keine Zahl: 'viel'"},
  };
  for (const auto& f : faelle) {
    TScriptCode c = Bereit(f.script);
    try {
      ip.DoScript(Rub(), c);
      ADD_FAILURE() << f.script << ": kein Fehler";
    } catch (const TScriptFehler& e) {
      EXPECT_STREQ(e.what(), f.meldung) << f.script;
    }
  }
}

TEST_F(Interpreter, Elementfunktionen) {
  struct Fall {
    const char* element;  // the running element
    const char* ausdruck;
    const char* wert;
  };
  const Fall faelle[] = {
      {"RÜB 1", "VOLUMEN(SELF)", "800"},
      {"RÜB 1", "VOLUMEN(self)", "800"},
      {"RÜB 1", "INHALT('RÜB 1')", "345,5"},
      {"RÜB 1", "DROSSEL(SELF)", "10"},
      {"RÜB 1", "QD(SELF)", "12"},
      {"RÜB 1", "ZUFLUSS(SELF)", "20"},
      {"RÜB 1", "ABFLUSS(SELF)", "10"},
      {"RÜB 1", "VOLUMEN('rüb 1')", "NULL"},
      {"RÜB 1", "VOLUMEN('Nirgends')", "NULL"},
      // Catchment and other elements: "0" for the structure's values.
      {"RÜB 1", "VOLUMEN('K')", "0"},
      {"RÜB 1", "INHALT('K')", "0"},
      {"RÜB 1", "DROSSEL('C')", "0"},
      {"RÜB 1", "QD('R')", "0"},
      // A catchment's inflow is its outflow without its own dry-weather flow.
      {"RÜB 1", "ZUFLUSS('K')", "5"},
      {"RÜB 1", "ABFLUSS('K')", "6"},
      // Elements computed after the running one give the previous step.
      {"RÜB 1", "ZUFLUSS('C')", "1"},
      {"RÜB 1", "ABFLUSS('C')", "1"},
      {"RÜB 1", "ZUFLUSS('E')", "4"},
      {"E", "ZUFLUSS(SELF)", "10"},
      {"E", "ZUFLUSS('C')", "2"},
      {"E", "QD(SELF)", "4"},
      {"K", "ZUFLUSS('RÜB 1')", "0"},
      // A rain gauge is not in the computing order.
      {"E", "ZUFLUSS('R')", "0"},
      // The structure's throttle outflow is its step's, also when later.
      {"K", "ABFLUSS('RÜB 1')", "10"},
  };
  for (const auto& f : faelle)
    EXPECT_EQ(Wert(f.ausdruck, f.element), f.wert) << f.element << ": " << f.ausdruck;
}

TEST_F(Interpreter, UnbekannteFunktionenZurVorbereitung) {
  struct Fall {
    const char* script;
    const char* wert;
  };
  // A call of an unknown name reaches DoFunction once, at preparation, with
  // its argument texts: an element of that name gives the empty text (an
  // empty value), none gives NULL, which then reads as a variable.
  const Fall faelle[] = {
      {"v := TUWAS(K)", "v=NULL"},
      {"v := TUWAS(Nirgends)", "v=0"},
      {"v := TUWAS('K')", "v=0"},
      {"v := TUWAS(SELF)", "v=NULL"},
  };
  // SELF at preparation names the element run last.
  Lauf("", "RÜB 1");
  for (const auto& f : faelle) {
    const auto z = Lauf(f.script);
    EXPECT_NE(std::find(z.begin(), z.end(), f.wert), z.end()) << f.script;
  }
}

TEST_F(Interpreter, Drosselabfluss) {
  struct Fall {
    const char* script;
    double inhalt;  // tank content, m3
    double qd;      // QDaktiv afterwards, l/s (before: 7)
  };
  const char* regel =
      "BEGIN IF INHALT(SELF) > 500 THEN QD := 2 * DROSSEL(SELF) ELSE QD := DROSSEL(SELF) END";
  const char* kurve = "DKI := '0,20,100,20,300,50'";
  const Fall faelle[] = {
      {regel, 600, 20},
      {regel, 500, 10},
      {regel, 0, 10},
      {"QD := 2 * QD(SELF)", 0, 14},
      {"QD := DROSSEL(SELF)", 0, 10},
      {"QD := '2,5'", 0, 2.5},
      {kurve, 0, 20},
      {kurve, 50, 20},
      {kurve, 100, 20},
      {kurve, 200, 35},
      {kurve, 300, 50},
      {kurve, 400, 50},
      {"DKL := '0,20,100,20,300,50'", 200, 35},
      {"dki := '0.5,1.5,2,3'", 1, 2},
      {"DKI := '0.5, 1.5, 2, 3'", 1.25, 2.25},
      {"DKI := '10,1,10,5'", 10, 1},
      {"DKI := '10,1,10,5,20,9'", 15, 7},
      // A curve that cannot be read leaves the throttle as it is.
      {"DKI := '0,20,100'", 50, 7},
      {"DKI := '0,x'", 50, 7},
      {"DKI := ''", 50, 7},
      {"DKI := '0,20,,30'", 50, 7},
      {"DKI := 5", 50, 7},
      // DKZ reads the step's inflow in l/s (20 l/s here).
      {"DKZ := '0,10,40,30'", 0, 20},
      {"DKZ := '30,10,40,30'", 0, 10},
  };
  for (const auto& f : faelle) {
    Rub().QDaktiv = 7;
    Rub().Speicher.Aktuell.Q = f.inhalt;
    TScriptCode c = Bereit(f.script);
    ip.DoScript(Rub(), c);
    EXPECT_DOUBLE_EQ(Rub().QDaktiv, f.qd) << f.script << " bei " << f.inhalt;
    // The same through the hook of the assignment.
    Rub().QDaktiv = 7;
    std::vector<std::string> liste;
    Bereit(f.script, &liste);
    ip.DoScript(Rub(), liste);
    EXPECT_DOUBLE_EQ(Rub().QDaktiv, f.qd) << f.script << " bei " << f.inhalt << " (Text)";
  }
}

TEST_F(Interpreter, DrosselZuweisungOhneBauwerk) {
  TScriptCode c = Bereit("BEGIN QD := 99; DKI := '0,99' END");
  ip.DoScript(n.Element("K"), c);
  EXPECT_TRUE(ip.Variables().Count() == 0);
  EXPECT_DOUBLE_EQ(Rub().QDaktiv, 12);
}

TEST_F(Interpreter, VariablenAllerElementeUndDesProjekts) {
  TScriptCode c = Bereit("BEGIN x := x + 1; _n := _n + 1 END");
  ip.DoScript(Rub(), c);
  ip.DoScript(n.Element("E"), c);
  ip.DoScript(n.Element("K"), c);
  EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), std::vector<std::string>{"X=3"});
  // "_n" is kept in the project record, under its upper-case name.
  ASSERT_TRUE(n.Netz().PublicVars);
  auto& oeffentlich = dynamic_cast<TbbVariables&>(*n.Netz().PublicVars);
  EXPECT_EQ(ip.VariablenZeilen(oeffentlich), std::vector<std::string>{"_N=3"});
  // Preparing clears the script variables, not the project's.
  TScriptCode d = Bereit("BEGIN y := x; m := _N END");
  ip.DoScript(Rub(), d);
  EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), (std::vector<std::string>{"m=3", "X=0", "y=0"}));
  // Another interpreter of the same model sees them as well.
  TbbInterpreter zweiter(n.m);
  std::vector<std::string> to, err;
  TScriptCode e = zweiter.PrepareScript({"k := _n * 10"}, to, err);
  zweiter.DoScript(Rub(), e);
  EXPECT_EQ(zweiter.VariablenZeilen(zweiter.Variables()), std::vector<std::string>{"k=30"});
  // Cleared by the run (through the model), they read as 0 again.
  n.Netz().PublicVars->ClearVariables();
  ip.DoScript(Rub(), c);
  EXPECT_EQ(ip.VariablenZeilen(oeffentlich), std::vector<std::string>{"_N=1"});
}

TEST_F(Interpreter, NamenUndWerteDerHaken) {
  struct Fall {
    const char* name;
    const char* wert;
  };
  const Fall faelle[] = {
      {"ZEIT", "15.03.2000"},
      {"DT", "5"},
      {"PI", "3,14159265358979"},
      {"G2", "19,62"},
      {"SELF", "RÜB 1"},
      {"BILANZSTART", "01.01.2000"},
      {"BILANZENDE", "01.01.2001"},
      {"NEU", "0"},
      {"_NEU", "0"},
  };
  TScriptCode c = Bereit("");
  ip.DoScript(Rub(), c);
  for (const auto& f : faelle) {
    TVariant v;
    ip.GetValue(f.name, v);
    EXPECT_EQ(ip.WertText(v), f.wert) << f.name;
  }
  EXPECT_EQ(ip.Variables().IndexOf("neu"), 0);
  EXPECT_EQ(ip.PublicVars().IndexOf("_neu"), 0);
  TVariant jetzt;
  ip.GetValue("NOW", jetzt);
  EXPECT_EQ(jetzt.Typ, TVarTyp::Datum);
  EXPECT_NEAR(jetzt.Gleit, JetztAlsDatum(), 1.0 / 24);

  ip.SetValue("abc", TVariant::Ganzzahl(4));
  ip.SetValue("_abc", TVariant::Ganzzahl(5));
  ip.SetValue("qd", TVariant::Gleitzahl(1.5));
  ip.SetValue("DKL", TVariant::Txt("0,3"));
  EXPECT_EQ(ip.WertText(ip.Variables().GetVariable("ABC")), "4");
  EXPECT_EQ(ip.PublicVars().GetName(0), "_ABC");
  EXPECT_DOUBLE_EQ(Rub().QDaktiv, 3);
}

TEST(TbbVariables, Tabelle) {
  TbbVariables v;
  EXPECT_EQ(v.GetVariable("b").Ganz, 0);
  EXPECT_EQ(v.Count(), 1);
  v.SetVariable("A", TVariant::Txt("eins"));
  v.SetVariable("c", TVariant::Gleitzahl(2.5));
  v.SetVariable("B", TVariant::Ganzzahl(7));
  // Sorted, without regard to case; a name keeps the spelling it was created with.
  EXPECT_EQ(v.GetName(0), "A");
  EXPECT_EQ(v.GetName(1), "b");
  EXPECT_EQ(v.GetName(2), "c");
  EXPECT_EQ(v.GetValue(1).Ganz, 7);
  EXPECT_EQ(v.GetVariable("a").Text, "eins");
  // Outside the table: nothing, 0, the empty name.
  v.SetValue(3, TVariant::Ganzzahl(1));
  v.SetValue(-1, TVariant::Ganzzahl(1));
  EXPECT_EQ(v.GetValue(3).Typ, TVarTyp::Ganzzahl);
  EXPECT_EQ(v.GetValue(-1).Ganz, 0);
  EXPECT_EQ(v.GetName(9), "");
  v.SetValue(2, TVariant::Ganzzahl(9));
  EXPECT_EQ(v.GetVariable("C").Ganz, 9);
  const auto stand = v.Stand();
  v.DeleteVariable(5);
  v.DeleteVariable("x");
  EXPECT_EQ(v.Count(), 3);
  v.DeleteVariable("B");
  EXPECT_EQ(v.Count(), 2);
  EXPECT_NE(v.Stand(), stand);
  v.DeleteVariable(0);
  EXPECT_EQ(v.GetName(0), "c");
  v.ClearVariables();
  EXPECT_EQ(v.Count(), 0);
  TbbVariables w;
  EXPECT_NE(w.Stand(), v.Stand());
}

TEST_F(Interpreter, SchrittDerSimulation) {
  // The hook of the structures' step runs the element's Tokens, compiled at
  // its first step, and reads the run's clock.
  auto& b = Rub();
  std::vector<std::string> err;
  ip.PrepareScript({"BEGIN n := n + 1; t := ZEIT END"}, b.Tokens, err);
  ASSERT_TRUE(err.empty());
  TScriptLauf& lauf = ip;
  for (int i = 0; i < 3; ++i) {
    lauf.DoScript(b, sim);
    sim.Zeit += 1;
  }
  EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), (std::vector<std::string>{"N=3", "t=17.03.2000"}));
  // New Tokens are compiled anew.
  ip.PrepareScript({"m := 1"}, b.Tokens, err);
  lauf.DoScript(b, sim);
  EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), std::vector<std::string>{"m=1"});
  // Code handed over is the one that runs.
  std::vector<std::string> to;
  TScriptCode c = ip.PrepareScript({"k := 2"}, to, err);
  b.Tokens = to;
  ip.Bereitstellen(b, std::move(c));
  lauf.DoScript(b, sim);
  EXPECT_EQ(ip.VariablenZeilen(ip.Variables()), std::vector<std::string>{"k=2"});
}
