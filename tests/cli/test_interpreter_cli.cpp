// t21 script check and t21 script run on script files and the example project.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/script_befehle.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kProjekt = fs::path(T21_QUELLE) / "beispiel" / "Beispiel.T21";

class ScriptBefehl : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_script_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }

  std::string Datei(const std::string& inhalt) {
    const auto p = (dir / "s.T3s").string();
    std::ofstream(p, std::ios::binary) << inhalt;
    return p;
  }
};

}  // namespace

TEST_F(ScriptBefehl, Pruefen) {
  struct Fall {
    const char* inhalt;
    int code;
    const char* ausgabe;
  };
  const Fall faelle[] = {
      {"BEGIN\n  x := 1;\n  y := x\nEND\n", 0, ""},
      {"", 0, ""},
      {"BEGIN\r\n  x := 1\r\n  y := 2\r\nEND\r\n", 1,
       "Fehler in Zeile 3 Spalte 3: erwartet: \";\" oder \"end\"\n"},
      {"IF x THEN y := (1", 1, "Fehler in Zeile 1 Spalte 18: erwartet: )\n"},
      // A script is one statement: what follows it is never run, and the
      // check says so.
      {"BEGIN x := 1 END garbage((((", 0,
       "Hinweis zu Zeile 1 Spalte 18: der Text nach der ersten Anweisung wird nicht "
       "ausgeführt; mehrere Anweisungen müssen in einem \"begin .. end\" Block stehen\n"},
      {"x := 1 ; y := 2", 0,
       "Hinweis zu Zeile 1 Spalte 8: der Text nach der ersten Anweisung wird nicht "
       "ausgeführt; mehrere Anweisungen müssen in einem \"begin .. end\" Block stehen\n"},
      {"begin x := 1 end\n\n", 0, ""},
  };
  for (const auto& f : faelle) {
    std::ostringstream out, err;
    EXPECT_EQ(ScriptPruefenBefehl(Datei(f.inhalt), out, err), f.code) << f.inhalt;
    EXPECT_EQ(out.str(), f.ausgabe) << f.inhalt;
  }
  std::ostringstream out, err;
  EXPECT_EQ(ScriptPruefenBefehl((dir / "fehlt.T3s").string(), out, err), 2);
  EXPECT_NE(err.str().find("fehlt.T3s"), std::string::npos);
}

TEST_F(ScriptBefehl, Ausfuehren) {
  struct Fall {
    std::string inhalt;
    const char* element;
    int code;
    const char* ausgabe;
  };
  const Fall faelle[] = {
      // The tank of the example: 900 m3, 40 l/s, empty.
      {"BEGIN n := n + 1; _z := _z + 1;\n"
       "  IF INHALT(SELF) > 0 THEN QD := 1 ELSE QD := 2 * DROSSEL(SELF);\n"
       "  q := QD(SELF); v := VOLUMEN(SELF) END",
       "RÜB Mitte", 0, "N=1\nq=80\nv=900\n\n_Z=1\n"},
      {"v := VOLUMEN(SELF)", "Altstadt", 0, "v=0\n"},
      {"SHOW('Hallo')", "Altstadt", 0, "Hallo\n"},
      // Latin-1 and a byte order mark are read as the text they stand for.
      {"x := 'R\xDC"
       "B'",
       "Altstadt", 0, "x=RÜB\n"},
      {"\xEF\xBB\xBFx := 'RÜB'\r\n", "Altstadt", 0, "x=RÜB\n"},
      {"WHILE 1 DO x := 0", "Altstadt", 1, "Funktions-Name oder -Argument ungültig \n"},
      {"x := INHALT('rüb mitte') * 2", "Altstadt", 1, "Funktions-Name oder -Argument ungültig \n"},
      {"IF x y := 1", "Altstadt", 1, "Fehler in Zeile 1 Spalte 6: erwartet: \"then\"\n"},
      {"x := 1", "Nirgends", 2, ""},
  };
  for (const auto& f : faelle) {
    std::ostringstream out, err;
    EXPECT_EQ(ScriptAusfuehrenBefehl(Datei(f.inhalt), kProjekt.string(), f.element, out, err),
              f.code)
        << f.inhalt << "\n"
        << err.str();
    EXPECT_EQ(out.str(), f.ausgabe) << f.inhalt;
  }
  std::ostringstream out, err;
  EXPECT_EQ(ScriptAusfuehrenBefehl(Datei("x := 1"), (dir / "fehlt.T21").string(), "A", out, err),
            2);
  EXPECT_EQ(ScriptAusfuehrenBefehl(Datei("x := 1"), (dir / "p.txt").string(), "A", out, err), 2);
}
