// The interpreter of the management scripts: turns the script of an element
// into a flat list of instructions (PrepareScript), runs that list for the
// element in every simulation step (DoScript), and connects the expression
// engine to the project: the values of names (built-in names, script
// variables, project-wide variables), the assignments (among them the
// throttle outflow QD and the throttle curves DKZ, DKI, DKL) and the element
// functions VOLUMEN, INHALT, DROSSEL, QD, ZUFLUSS and ABFLUSS.
//
// The instruction list, one string per instruction, numbered from 0; the
// first character gives the kind:
//   "\x01" target condition   conditional jump: a value other than 0 goes on
//                             with the next instruction, 0 jumps to target
//   "\x02" target             jump (an unresolved GOTO keeps its label digits)
//   "\x03" postfix            evaluate and drop the value
//   name " " postfix          assignment
// The target t is written as the two bytes t mod 256 and t div 256; a target
// at or behind the end of the list ends the run. Conditions and values are
// postfix texts of TbbParser::Parse.
//
// A TScriptCode is that list compiled once: every postfix text turned into a
// TPostfixCode and every name bound to a slot that finds its variable again
// without a search. Running it reads no text and, for scripts of numbers and
// variables, touches no heap.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/simulation.h"
#include "script/parser.h"
#include "script/variablen.h"

namespace t21 {
class TBauwerk;
class TKEZ;
class TM3Model;
}  // namespace t21

namespace t21::script {

// The work one run of a script may do: after this many instructions the run
// ends with a TScriptFehler. A loop whose condition never changes thus ends
// every step within a few milliseconds and is reported like any other error
// of evaluation, instead of hanging a run of many years.
inline constexpr long long kMaxAnweisungenProLauf = 100000;

// Targets are two bytes: a list holds at most this many instructions.
inline constexpr std::size_t kMaxAnweisungen = 65535;

// The first byte of the instructions other than assignments.
namespace befehl {
inline constexpr char Bedingt = 1;
inline constexpr char Sprung = 2;
inline constexpr char Auswerten = 3;
}  // namespace befehl

// The messages of PrepareScript beyond those of the grammar check.
namespace meldung {
inline constexpr const char* ZuViele = "Script zu umfangreich: mehr als 65535 Anweisungen";
}  // namespace meldung

// The message of a run that exceeds kMaxAnweisungenProLauf.
inline constexpr const char* kEndlosschleife =
    "Script: mehr als 100000 Anweisungen in einem Lauf (Endlosschleife?)";

enum class TBefehlsArt : std::uint8_t { BedingterSprung, Sprung, Auswerten, Zuweisung };

// What an assignment sets.
enum class TZielArt : std::uint8_t {
  Variable,     // a script variable
  Oeffentlich,  // a project-wide variable ("_…")
  QD,           // the throttle outflow in force of the running structure
  DKZ,          // throttle curve over the inflow
  DKI,          // throttle curve over the tank content (DKI and DKL)
};

// What a name reads.
enum class TNamensArt : std::uint8_t {
  Zeit,
  DT,
  Now,
  Pi,
  G2,
  Self,
  Oeffentlich,
  BilanzStart,
  BilanzEnde,
  Variable,
};

struct TNamensSlot {
  TNamensArt Art = TNamensArt::Variable;
  // Upper case for a name read; as written for the target of an assignment
  // (a new script variable is created under it).
  std::string Name;
  // The variable's value, valid while Stand is the Stand() of its table.
  TVariant* Wert = nullptr;
  std::uint64_t Stand = 0;
};

struct TBefehl {
  TBefehlsArt Art = TBefehlsArt::Auswerten;
  TZielArt Ziel = TZielArt::Variable;
  std::uint32_t Sprungziel = 0;  // jumps; at or behind the end: the run ends
  std::uint32_t Slot = 0;        // assignment to a variable: its slot
  TPostfixCode Code;
  std::vector<std::uint32_t> Slots;  // Code.Namen[i] reads slot Slots[i]
};

struct TScriptCode {
  std::vector<TBefehl> Befehle;
  std::vector<TNamensSlot> Namen;
  std::vector<TVariant> Werte;  // room for the values of one instruction's names
};

class TbbInterpreter : public TScriptLauf {
 public:
  TbbInterpreter();
  explicit TbbInterpreter(TM3Model& model);
  ~TbbInterpreter() override;
  TbbInterpreter(const TbbInterpreter&) = delete;
  TbbInterpreter& operator=(const TbbInterpreter&) = delete;

  // The model whose shapes name the elements of the element functions and
  // whose project record keeps the project-wide variables.
  void SetModel(TM3Model* model);
  // The run whose clock, time step, balance period and computing order the
  // scripts read; without one, those of a run not yet started.
  void SetSimulation(TSimulation* sim);

  // The hooks of the expression engine and of the assignment.
  virtual void GetValue(const std::string& Name, TVariant& Value);
  virtual void SetValue(const std::string& Name, const TVariant& Value);
  virtual void DoFunction(const std::string& name, const TVariant& p1, const TVariant& p2,
                          const TVariant& p3, std::string& val);

  // Clears the script variables, checks the script lines and compiles them:
  // MemoTo receives the instruction list, MemoErr the messages (empty exactly
  // when the script is usable); the result is MemoTo compiled (empty with
  // messages). The parse-time forms (COPY, FORMATFLOAT, FORMATDATETIME, IF,
  // calls of unknown functions) are evaluated here, once.
  TScriptCode PrepareScript(const std::vector<std::string>& MemoFrom,
                            std::vector<std::string>& MemoTo, std::vector<std::string>& MemoErr);
  // The hints of the last PrepareScript (text behind the script's one
  // statement, which is never run); they leave the script usable.
  const std::vector<std::string>& Hinweise() const { return FHinweise; }
  // An instruction list compiled. A jump whose target is not two bytes (an
  // unresolved GOTO) ends the run.
  TScriptCode Uebersetzen(const std::vector<std::string>& Memo) const;

  // Runs the code once for e. Errors of evaluation, and a run of more than
  // kMaxAnweisungenProLauf instructions, raise TScriptFehler.
  void DoScript(TElement& e, TScriptCode& code);
  // Runs the instruction list once for e (compiling it first).
  void DoScript(TElement& e, const std::vector<std::string>& Memo);
  // The step of a simulation: runs e.Tokens, compiled at the first step of
  // e (or handed over with Bereitstellen).
  void DoScript(TElement& e, TSimulation& sim) override;
  // The code that DoScript(e, sim) runs for e while e.Tokens stays the
  // vector it is now.
  void Bereitstellen(const TElement& e, TScriptCode code);

  TbbVariables& Variables() { return FVariables; }
  const TbbVariables& Variables() const { return FVariables; }
  // The project-wide variables: those of the model's project record, else
  // the interpreter's own.
  TbbVariables& PublicVars();
  // The element run last.
  TElement* Element() const { return FElement; }
  TbbParser& Parser() { return FParser; }

  // A value as the variable listing shows it ("NULL" for an empty one).
  std::string WertText(const TVariant& v) const;
  // One line "name=value" per variable, in the table's order.
  std::vector<std::string> VariablenZeilen(const TbbVariables& v) const;

 private:
  struct TElementInfo {
    TElement* Element = nullptr;
    TBauwerk* Bauwerk = nullptr;
    TKEZ* Einzugsgebiet = nullptr;
  };
  struct TElementCode {
    const std::string* Daten = nullptr;
    std::size_t Anzahl = 0;
    TScriptCode Code;
  };

  const TSimulation& Sim() const { return FSim ? *FSim : FOhneLauf; }
  void Starten(TElement& e);
  void Ausfuehren(TScriptCode& c);
  TVariant Auswerten(TScriptCode& c, const TBefehl& b);
  void Lesen(TNamensSlot& s, TVariant& v);
  TVariant& Variable(TNamensSlot& s);
  void Zuweisen(TScriptCode& c, const TBefehl& b, TVariant&& v);
  void Drosselkurve(TZielArt art, const TVariant& v);
  void IndexAufbauen();
  const TElementInfo* Finde(const std::string& name);
  bool Spaeter(const TElement* e);

  TBefehl NeuerBefehl(TScriptCode& c, TBefehlsArt art, std::uint32_t ziel, std::string_view name,
                      const std::string& postfix) const;

  TbbParser FParser;
  TbbVariables FVariables;
  std::vector<std::pair<std::string, std::uint32_t>> FLabels;
  std::vector<std::string> FHinweise;
  TElement* FElement = nullptr;

  TM3Model* FModel = nullptr;
  TSimulation* FSim = nullptr;
  TSimulation FOhneLauf;
  TbbVariables FEigeneOeffentliche;

  // Per run of DoScript.
  TBauwerk* FBauwerk = nullptr;
  TbbVariables* FPublic = nullptr;
  long long FLaufPosition = -1;

  // The elements by shape name and their places in the computing order.
  bool FIndexGueltig = false;
  std::unordered_map<std::string, TElementInfo> FNamen;
  std::unordered_map<const TElement*, long long> FPositionen;

  std::unordered_map<const TElement*, TElementCode> FCodes;
};

}  // namespace t21::script
