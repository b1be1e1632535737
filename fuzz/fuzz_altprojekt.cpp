// Older project folders: the input replaces one table file of a ".MOD" or a
// ".TRE" folder (copied from the test fixtures), chosen by its first byte;
// the folder is then opened and computed.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/gemeinsam.h"
#include "model/network.h"
#include "storage/altprojekt.h"

namespace fs = std::filesystem;

namespace {

struct TDatei {
  const char* ordner;  // mod or tre
  const char* name;
};

// The files an input may take the place of; the side files of either folder
// included (defaults, print list, hydrographs).
const std::array<TDatei, 24> kDateien = {{
    {"mod", "Altnetz.MOD"},
    {"mod", "Altnetz_CON.xml"},
    {"mod", "Altnetz_EBW.xml"},
    {"mod", "Altnetz_EST.xml"},
    {"mod", "Altnetz_HYD.xml"},
    {"mod", "Altnetz_KEZ.xml"},
    {"mod", "Altnetz_KLG.xml"},
    {"mod", "Altnetz_NET.xml"},
    {"mod", "Altnetz_OMA.xml"},
    {"mod", "Altnetz_SHP.xml"},
    {"mod", "Altnetz.DEF"},
    {"mod", "Altnetz.PRL"},
    {"mod", "Altnetz_TWGanglinien.XML"},
    {"mod", "Altnetz_FWGanglinien.XML"},
    {"tre", "Uralt.EBW"},
    {"tre", "Uralt.EST"},
    {"tre", "Uralt.HYD"},
    {"tre", "Uralt.KEZ"},
    {"tre", "Uralt.KLG"},
    {"tre", "Uralt.NET"},
    {"tre", "Uralt.OMA"},
    {"tre", "Uralt.TRE"},
    {"tre", "Uralt.DEF"},
    {"tre", "Uralt.PRL"},
}};

fs::path Kopie() {
  static const fs::path ziel = [] {
    const fs::path z = t21::fuzz::Ordner() / "daten";
    fs::remove_all(z);
    fs::copy(fs::path(T21_QUELLE) / "tests/storage/daten", z, fs::copy_options::recursive);
    return z;
  }();
  return ziel;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t n) {
  if (n < 1) return 0;
  const fs::path ordner = Kopie();
  const TDatei& d = kDateien[daten[0] % kDateien.size()];
  const fs::path datei = ordner / d.ordner / d.name;
  // Keep the original to put it back afterwards.
  std::string original;
  const bool hatte = fs::exists(datei);
  if (hatte) {
    std::ifstream ein(datei, std::ios::binary);
    original.assign(std::istreambuf_iterator<char>(ein), {});
  }
  t21::fuzz::Schreibe(datei, daten + 1, n - 1);
  {
    t21::TM3Model m;
    t21::TDataModule1 dm;
    const bool mod = std::string(d.ordner) == "mod";
    t21::ProjektOeffnen(m, dm, (ordner / d.ordner / (mod ? "Altnetz.MOD" : "Uralt.TRE")).string());
  }
  if (hatte)
    t21::fuzz::Schreibe(datei, reinterpret_cast<const uint8_t*>(original.data()), original.size());
  else
    fs::remove(datei);
  return 0;
}
