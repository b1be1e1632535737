// t21 script: checking a management script file and running it once for an
// element of a project, as the element dialog's "prüfen" page does.
//
//   t21 script check FILE.T3s
//   t21 script run FILE.T3s --project P.T21 --element NAME
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace t21 {

// Reads the lines of a script file (".T3s", plain text). A file that is not
// UTF-8 is read as Latin-1, the code page older files were written in; a
// UTF-8 byte order mark is dropped. False with fehler set when the file
// cannot be read.
bool ScriptDateiLesen(const std::string& datei, std::vector<std::string>& zeilen,
                      std::string& fehler);

// The messages of the check on out; 0 without, 1 with messages, 2 when the
// file cannot be read.
int ScriptPruefenBefehl(const std::string& datei, std::ostream& out, std::ostream& err);

// Prepares the script and runs it once for the element of that name
// (exactly as the shape is named) with the structure's throttle at its
// design value; out receives one line "name=value" per script variable and,
// after an empty line, the project-wide variables. 0 on success; 1 when the
// script has messages or the run raises an error; 2 when file, project or
// element cannot be found.
int ScriptAusfuehrenBefehl(const std::string& datei, const std::string& projekt,
                           const std::string& element, std::ostream& out, std::ostream& err);

// The subcommand "script" with "check" and "run" on app.
class TScriptBefehle {
 public:
  explicit TScriptBefehle(CLI::App& app);
  // True when the command line chose one of them.
  bool Gewaehlt() const;
  int Ausfuehren(std::ostream& out, std::ostream& err) const;

 private:
  CLI::App* FCheck = nullptr;
  CLI::App* FRun = nullptr;
  std::string FDatei;
  std::string FProjekt;
  std::string FElement;
};

}  // namespace t21
