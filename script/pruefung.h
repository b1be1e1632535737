// Preparing the text of a management script and checking its grammar.
//
// The prepared text has no comments, a blank for every run of blanks and
// tabs, and " begin " behind every REPEAT, " end " before every UNTIL, so the
// body of a REPEAT is always a block. The check reads one statement from its
// start (text behind it is neither checked nor kept) and gives the statement
// as a tree whose expressions are source texts for TbbParser::Parse, or the
// message of the first fault.
#pragma once

#include <string>
#include <vector>

namespace t21::script {

// The messages of the check.
namespace meldung {
inline constexpr const char* KlammerZu = "erwartet: )";
inline constexpr const char* EckigeKlammerZu = "erwartet: ]";
inline constexpr const char* KommaOderKlammer = "erwartet: Komma oder schließende Klammer";
inline constexpr const char* SemikolonOderEnd = "erwartet: \";\" oder \"end\"";
inline constexpr const char* SemikolonOderZuweisung = "erwartet: \";\" oder \":=\"";
inline constexpr const char* Then = "erwartet: \"then\"";
inline constexpr const char* Do = "erwartet: \"do\"";
inline constexpr const char* Until =
    "\"until\" erwartet; mehrere Anweisungen müssen in \"begin .. end\" Block stehen";
inline constexpr const char* GotoLabel = "Goto: label fehlt";
// A factor that is none of the forms of the language.
inline constexpr const char* Ausdruck = "erwartet: Ausdruck";
// A number with an exponent ("1e5"), which the language does not have.
inline constexpr const char* Zahl = "ungültige Zahl";
// A quoted text without its closing quote.
inline constexpr const char* Quote = "erwartet: '";
// Nesting deeper than the check follows.
inline constexpr const char* ZuTief = "zu tief geschachtelt";
// Text behind the one statement a script is: never run.
inline constexpr const char* NachDerAnweisung =
    "der Text nach der ersten Anweisung wird nicht ausgeführt; mehrere Anweisungen müssen in "
    "einem \"begin .. end\" Block stehen";
}  // namespace meldung

// The prepared text of the script lines.
std::string ScriptVorbereiten(const std::vector<std::string>& zeilen);

enum class TAnweisungsArt {
  Leer,        // nothing (a word beginning with END, or the end of the text)
  Block,       // BEGIN Teile; … END
  Wenn,        // IF Ausdruck THEN Teile[0] [ELSE Teile[1]]
  Solange,     // WHILE Ausdruck DO Teile[0]
  Wiederhole,  // REPEAT Teile[0] UNTIL Ausdruck
  Sprung,      // GOTO Name (the label's digits)
  Zuweisung,   // Name [ "[" Index "]" ] := Ausdruck
  Aufruf,      // Name [ "[" Index "]" ] followed by the word ";"
  Ausdruck,    // an expression on its own (SHOW(x), a parse-time call)
};

struct TAnweisung {
  TAnweisungsArt Art = TAnweisungsArt::Leer;
  std::vector<std::string> Marken;  // the labels in front, as written with ":" ("10:")
  std::string Name;
  bool HatIndex = false;
  std::string Index;     // source text of the index expression
  std::string Ausdruck;  // source text of the condition or value
  std::vector<TAnweisung> Teile;
};

struct TScriptPruefung {
  TAnweisung Anweisung;
  // "Fehler in Zeile <z> Spalte <s>: <message>"; empty when the script is usable.
  std::vector<std::string> Fehler;
  // "Hinweis zu Zeile <z> Spalte <s>: ..." when text follows the statement;
  // the script stays usable.
  std::vector<std::string> Hinweise;
};

// Checks the prepared text; the lines are those it was prepared from (for the
// line and column of a message).
TScriptPruefung ScriptPruefen(const std::string& vorbereitet,
                              const std::vector<std::string>& zeilen);
// Prepares and checks.
TScriptPruefung ScriptPruefen(const std::vector<std::string>& zeilen);

// Line and column (both 1-based) of the n-th non-blank character of the
// lines, counted up to the first "{" of each line; line 1, column 0 for
// n = 0; behind the end of the last line when the lines hold fewer.
struct TZeileSpalte {
  int Zeile, Spalte;
};
TZeileSpalte Position(const std::vector<std::string>& zeilen, long long n);

}  // namespace t21::script
