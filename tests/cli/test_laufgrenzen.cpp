// Runs of the example project with faulty data: each ends, with the exit
// code of a data fault, never that of a cancel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/simulieren.h"
#include "model/regen.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel = fs::path(T21_QUELLE) / "beispiel";

std::string Lies(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The example copied to a folder of its own, with one text of its project
// file replaced; loaded with its rain series.
class Veraendert : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_laufgrenzen_" + std::to_string(getpid()));
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& e : fs::directory_iterator(kBeispiel))
      fs::copy_file(e.path(), dir / e.path().filename());
  }
  void TearDown() override { fs::remove_all(dir); }

  void Ersetze(const std::string& alt, const std::string& neu) {
    std::string t = Lies(dir / "Beispiel.T21");
    const auto p = t.find(alt);
    ASSERT_NE(p, std::string::npos) << alt;
    t.replace(p, alt.size(), neu);
    std::ofstream(dir / "Beispiel.T21", std::ios::binary) << t;
  }

  int Simuliere(const std::string& von, const std::string& bis, std::string& fehler) {
    TM3Model m;
    const TLadeErgebnis e = A3_Laden(m, (dir / "Beispiel").string());
    EXPECT_TRUE(e.Ok) << e.Fehler;
    for (int i = 0; i < m.Count(); ++i)
      if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
        r->SetData((dir / r->FileName).string());
    TSimulierOptionen o;
    o.Von = von;
    o.Bis = bis;
    o.Ausgabe = Format::Tsv;
    std::ostringstream out, err;
    const int code = t21::Simuliere(m, o, out, err);
    fehler = out.str() + err.str();
    return code;
  }
};

}  // namespace

// A tank whose throttle lets nothing through never empties, and the event it
// keeps open once ended the run never: the run-out is bounded, and the
// throttle is a finding before the run.
TEST_F(Veraendert, ThrottleOfZeroEndsAfterABoundedRunOut) {
  for (const char* qd : {"0", "-1", "1e-300"}) {
    SetUp();
    Ersetze("<ROWBAU QD=\"40\"", std::string("<ROWBAU QD=\"") + qd + "\"");
    std::string text;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Simuliere("2001-01-01", "31.12.2001", text), 0) << qd << text;
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(60));
    if (std::string(qd) != "1e-300") {
      EXPECT_NE(text.find("Drosselabfluss QD <= 0"), std::string::npos) << qd;
    }
  }
}

// A discharge point without fall, found during the run, is a fault of the
// data: exit 2 with its message, not the 130 of a cancel.
TEST_F(Veraendert, DischargePointWithoutFallIsADataFault) {
  Ersetze("SOLO=\"310\"", "SOLO=\"305\"");
  std::string text;
  EXPECT_EQ(Simuliere("2001-01-01", "31.12.2001", text), 2) << text;
  EXPECT_NE(text.find("kein Gefälle oder Gegengefälle"), std::string::npos) << text;
  EXPECT_EQ(text.find("abgebrochen\n"), std::string::npos) << text;
}
