// Subcommands that need Qt (`t21 report`, `t21 bild`) are programs of their
// own, so that t21 stays free of Qt: t21 hands the arguments on to them.
#pragma once

#include <iosfwd>
#include <string>

namespace t21 {

// Where the program `name` is: beside the running t21, else at the path the
// build gave (empty when there is none). Empty when neither exists.
std::string HilfsprogrammPfad(const std::string& name, const char* einbauPfad);

// Replaces this process by programm with argv[2..] (argv[0] the
// subcommand's name). Returns only on failure: 2 with a German message.
int AnProgrammWeiterreichen(const std::string& name, const char* einbauPfad, int argc, char** argv,
                            std::ostream& err);

// For the programs drawn with Qt: where the environment names no runtime
// folder (a session without a desktop, a container), a private one under
// the temporary folder, as Qt would choose it but without its warning on
// stderr.
void LaufzeitordnerVorbereiten();

}  // namespace t21
