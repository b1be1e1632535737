// Project-wide reference data: rain-intensity series, hydrographs, oxygen
// saturation and pKs.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace t21 {

// The 18 duration steps of a rain-intensity series, minutes.
inline constexpr std::array<int, 18> kDauerstufen{5,   10,  15,  20,  30,   45,   60,   90,   120,
                                                  180, 240, 360, 540, 720, 1080, 1440, 2880, 4320};

// A rain-intensity series: values[0] is the frequency n in 1/a, values[1..18]
// the intensities in l/(s*ha) for the duration steps.
class TSpenden {
 public:
  std::string name;
  std::array<double, 19> values{};

  double GetR15() const { return values[3]; }
  // Intensity for a duration d in minutes; below 15 min the 15-min value.
  double GetR(double d) const;
  void AssignTo(TSpenden& dest) const { dest = *this; }
};

// Rain intensity after Reinhold for duration D (min) and frequency n (1/a).
double Reinhold(double D, double n);

// Named rain-intensity series offered for selection.
class TKostraList {
 public:
  std::vector<TSpenden> Eintraege;
  // werte: n, then the 18 intensities.
  void AddRain(const std::string& reihe, const std::array<double, 19>& werte);
  int Count() const { return static_cast<int>(Eintraege.size()); }
  const TSpenden* Find(const std::string& name) const;
};

struct TSWGanglinie {
  std::string name;
  std::array<double, 24> werte{};  // factor per hour 0..23, mean 1
};

struct TFWGanglinie {
  std::string name;
  std::array<double, 12> werte{};  // factor per month, mean 1
};

class TSWGanglinien {
 public:
  std::vector<TSWGanglinie> Eintraege;
  void AddGL(const std::string& myName, const std::array<double, 24>& werte);
  // Factor of hydrograph nr for the hour index 0..23 (1 when out of range).
  double value(int nr, int index) const;
  int Count() const { return static_cast<int>(Eintraege.size()); }
};

class TFWGanglinien {
 public:
  std::vector<TFWGanglinie> Eintraege;
  void AddGL(const std::string& myName, const std::array<double, 12>& werte);
  // Factor of hydrograph nr for the month index 1..12 (1 when out of range).
  double value(int nr, int index) const;
  int Count() const { return static_cast<int>(Eintraege.size()); }
};

// The reference lists as the program starts with them. A project carries a
// copy, which loading may replace with the project's own hydrographs.
struct TReferenzListen {
  TKostraList Kostra;
  TSWGanglinien SWGanglinien;
  TFWGanglinien FWGanglinien;
};
const TReferenzListen& StandardReferenzListen();

// Oxygen saturation concentration (mg/l) at T degC and h m above sea level.
double O2Saettigung(double T, double h);
// pKs of ammonium at T degC.
double PKsWert(double T);

// Peak runoff coefficient table of the project's r15: a(1..5), b(1..5).
using TPsiTafel = std::array<double, 10>;
TPsiTafel BerechnePsiTafel(double R15);

}  // namespace t21
