#include "cli/weiterreichen.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <vector>

namespace t21 {

std::string HilfsprogrammPfad(const std::string& name, const char* einbauPfad) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path selbst = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path daneben = selbst.parent_path() / name;
    if (fs::exists(daneben, ec)) return daneben.string();
  }
  if (einbauPfad && *einbauPfad && fs::exists(einbauPfad, ec)) return einbauPfad;
  return {};
}

int AnProgrammWeiterreichen(const std::string& name, const char* einbauPfad, int argc, char** argv,
                            std::ostream& err) {
  const std::string pfad = HilfsprogrammPfad(name, einbauPfad);
  if (pfad.empty()) {
    err << "t21: \"" << (argc > 1 ? argv[1] : "") << "\" braucht das Programm " << name
        << ", das nur mit Qt gebaut wird; es wurde nicht gefunden\n";
    return 2;
  }
  std::vector<char*> args;
  std::string kopf = "t21 " + std::string(argc > 1 ? argv[1] : "");
  args.push_back(kopf.data());
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  execv(pfad.c_str(), args.data());
  err << "t21: " << pfad << " kann nicht gestartet werden: " << std::strerror(errno) << "\n";
  return 2;
}

void LaufzeitordnerVorbereiten() {
  const char* gesetzt = std::getenv("XDG_RUNTIME_DIR");
  if (gesetzt && *gesetzt) return;
  std::error_code ec;
  const std::filesystem::path ordner =
      std::filesystem::temp_directory_path(ec) / ("runtime-" + std::to_string(getuid()));
  if (ec) return;
  ::mkdir(ordner.c_str(), 0700);
  struct stat st {};
  // Only a folder of our own that nobody else may enter.
  if (::stat(ordner.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
      (st.st_mode & 0777) == 0700)
    ::setenv("XDG_RUNTIME_DIR", ordner.c_str(), 1);
}

}  // namespace t21
