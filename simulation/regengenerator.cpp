#include "simulation/regengenerator.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "model/datum.h"

namespace t21 {

namespace {

// SplitMix64: small, fast and the same on every platform.
class Zufall {
 public:
  explicit Zufall(uint64_t seed) : s_(seed) {}
  uint64_t Bits() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Gleich() { return static_cast<double>(Bits() >> 11) * 0x1.0p-53; }  // [0, 1)
  double Exponential(double mittel) { return -mittel * std::log(1 - Gleich()); }

 private:
  uint64_t s_;
};

std::string Links(const std::string& s, size_t n) {
  std::string r = s.substr(0, n);
  r.resize(n, ' ');
  return r;
}

}  // namespace

bool TRegenGenerator::Schreibe(const std::string& datei, std::string& fehler) const {
  std::ofstream out(datei, std::ios::binary);
  if (!out) {
    fehler = "Datei " + datei + " kann nicht geschrieben werden";
    return false;
  }
  const bool m = Layout != "L";
  const int endjahr = Startjahr + Jahre - 1;
  char z[160];
  if (m) {
    out << Links(Nr, 5) << " 0 0   0" << std::string(7, ' ') << Links(Station, 30) << "\n";
    std::snprintf(z, sizeof z, "%-20s%5d%5d%02d%02d%04d%02d%02d%02d%02d%02d%04d%02d%02d%02d%5d",
                  "Synthetisch", 5, -3, 1, 1, Startjahr, 0, 0, 0, 31, 12, endjahr, 23, 55, 0, 0);
    out << z << "\n";
  } else {
    out << Links(Nr, 5);
    std::snprintf(z, sizeof z, "%3d", 5);
    out << z << Station << "\n";
    std::snprintf(z, sizeof z, "%-20s%2d%3d%5d%2d%3d%5d", "Synthetisch", 1, 1, Startjahr, 31, 12,
                  endjahr);
    out << z << "\n";
    out << "synthetische Regenreihe, Werte in 1/1000 mm\n";
  }

  Zufall r(Seed);
  // Hourly model: an event starts with a seasonal probability, lasts a
  // geometric number of hours; each 5-minute value is exponential, with
  // heavier convective rain in summer. Scaled to the aimed annual depth.
  const double skala = Jahresniederschlag / 800.0;
  int restStunden = 0;
  double ereignisMittel = 0;
  auto satz = [&](TDateTime t, const std::array<int, 12>& w, bool schluss) {
    const auto d = DecodeDateTime(t);
    if (m)
      std::snprintf(z, sizeof z, "%-5.5s%02d%02d%04d%02d%02d  %c", Nr.c_str(), d.Tag, d.Monat,
                    d.Jahr, d.Stunde, d.Minute, schluss ? 'E' : ' ');
    else
      std::snprintf(z, sizeof z, "%-9.9s%02d%02d%04d %02d", Nr.c_str(), d.Tag, d.Monat, d.Jahr,
                    d.Stunde);
    out << z;
    for (int v : w) {
      std::snprintf(z, sizeof z, "%5d", v);
      out << z;
    }
    out << "\n";
  };
  TDateTime t = 0, ende = 0;
  EncodeDate(Startjahr, 1, 1, t);
  EncodeDate(endjahr + 1, 1, 1, ende);
  constexpr double kPi = 3.14159265358979323846;
  for (long stunde = 0; t + stunde / 24.0 < ende - 1e-9; ++stunde) {
    const TDateTime zeit = t + stunde / 24.0;
    const double saison = std::cos((DayOfTheYear(zeit) - 200) * 2 * kPi / 365.25);  // 1 in July
    if (restStunden == 0) {
      if (r.Gleich() < 0.012 * (1 + 0.3 * saison)) {
        restStunden = 1 + static_cast<int>(r.Exponential(3.5));
        ereignisMittel = r.Exponential(0.2 * (1 + 0.6 * saison)) * skala;
      } else {
        continue;
      }
    }
    --restStunden;
    std::array<int, 12> w{};
    bool nass = false;
    for (int& v : w) {
      if (r.Gleich() < 0.25) continue;  // dry 5 minutes inside the event
      const double mm = std::min(r.Exponential(ereignisMittel), 99.0);
      v = static_cast<int>(std::lround(mm * 1000));
      nass = nass || v > 0;
    }
    if (nass) satz(zeit, w, false);
  }
  satz(ende, std::array<int, 12>{}, true);  // closing record, never data
  out.flush();
  if (!out) {
    fehler = "Datei " + datei + " kann nicht geschrieben werden";
    return false;
  }
  return true;
}

}  // namespace t21
