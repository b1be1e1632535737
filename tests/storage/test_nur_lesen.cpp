// Opening reads and never writes: an older project file and an older folder
// stay byte for byte as they were, texts keep their commas; a packet that
// holds no drawing is refused instead of becoming a made-up project.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "model/network.h"
#include "storage/altprojekt.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

std::string Lies(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::map<fs::path, std::string> Inhalt(const fs::path& dir) {
  std::map<fs::path, std::string> r;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) r[e.path()] = Lies(e.path());
  return r;
}

class NurLesen : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_nurlesen_" + std::to_string(getpid()));
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
};

}  // namespace

TEST_F(NurLesen, OlderProjectFileStaysAsItWas) {
  std::string t = Lies(fs::path(T21_QUELLE) / "beispiel/Beispiel.T21");
  const auto v = t.find("ProgVersion=\"");
  ASSERT_NE(v, std::string::npos);
  t.replace(v, t.find('"', v + 13) - v + 1, "ProgVersion=\"2.0\"");
  const auto n = t.find("Name=\"Altstadt\"");
  ASSERT_NE(n, std::string::npos);
  t.replace(n, 15, "Name=\"Altstadt (n=1,0)\"");
  std::ofstream(dir / "Alt.T21", std::ios::binary) << t;
  const auto vorher = Inhalt(dir);

  TM3Model m;
  TDataModule1 dm;
  const TOeffnenErgebnis e = ProjektOeffnen(m, dm, (dir / "Alt.T21").string());
  ASSERT_TRUE(e.Ok) << e.Meldung;
  EXPECT_NE(m.GetNode("Altstadt (n=1,0)"), nullptr);
  EXPECT_EQ(Inhalt(dir), vorher);
}

TEST_F(NurLesen, OlderFolderStaysAsItWas) {
  fs::copy(fs::path(T21_QUELLE) / "tests/storage/daten", dir, fs::copy_options::recursive);
  const auto vorher = Inhalt(dir);
  for (const char* datei : {"mod/Altnetz.MOD", "tre/Uralt.TRE"}) {
    TM3Model m;
    TDataModule1 dm;
    const TOeffnenErgebnis e = ProjektOeffnen(m, dm, (dir / datei).string());
    EXPECT_TRUE(e.Ok) << datei << e.Meldung;
  }
  EXPECT_EQ(Inhalt(dir), vorher);
}

// An 80-byte packet with one empty record once verified "successfully" with
// a root made up for it.
TEST_F(NurLesen, PacketWithoutDrawingIsNoProject) {
  const std::string paket =
      "<DATAPACKET><METADATA><FIELDS/></METADATA><ROWDATA><ROW/></ROWDATA></DATAPACKET>";
  ASSERT_EQ(paket.size(), 80u);
  std::ofstream(dir / "Leer.T21", std::ios::binary) << paket;
  TM3Model m;
  const TLadeErgebnis e = A3_Laden(m, (dir / "Leer").string());
  EXPECT_FALSE(e.Ok);
  EXPECT_NE(e.Fehler.find("enthält kein Modell"), std::string::npos) << e.Fehler;
}
