#include "model/project.h"

#include <cmath>

namespace t21 {

double TSpenden::GetR(double d) const {
  if (d <= 15) return values[3];
  if (d >= 4320) return values[18];
  if (!(d > 15)) return values[3];  // NaN
  size_t k = 1;
  while (k < kDauerstufen.size() - 1 && kDauerstufen[k] < d) ++k;
  const double rk = values[k + 1], rk1 = values[k];
  const double Dk = kDauerstufen[k], Dk1 = kDauerstufen[k - 1];
  return rk + (rk1 - rk) / (Dk - Dk1) * (Dk - d);
}

double Reinhold(double D, double n) {
  return (1 / std::pow(n, 0.25) - 0.3684) * 3800 / (D + 9);
}

void TKostraList::AddRain(const std::string& reihe, const std::array<double, 19>& werte) {
  TSpenden s;
  s.name = reihe;
  s.values = werte;
  Eintraege.push_back(s);
}

const TSpenden* TKostraList::Find(const std::string& name) const {
  for (const auto& s : Eintraege)
    if (s.name == name) return &s;
  return nullptr;
}

void TSWGanglinien::AddGL(const std::string& myName, const std::array<double, 24>& werte) {
  Eintraege.push_back({myName, werte});
}

double TSWGanglinien::value(int nr, int index) const {
  if (nr < 0 || nr >= Count() || index < 0 || index > 23) return 1;
  return Eintraege[static_cast<size_t>(nr)].werte[static_cast<size_t>(index)];
}

void TFWGanglinien::AddGL(const std::string& myName, const std::array<double, 12>& werte) {
  Eintraege.push_back({myName, werte});
}

double TFWGanglinien::value(int nr, int index) const {
  if (nr < 0 || nr >= Count() || index < 1 || index > 12) return 1;
  return Eintraege[static_cast<size_t>(nr)].werte[static_cast<size_t>(index - 1)];
}

namespace {

std::array<double, 19> ReinholdReihe(double n) {
  std::array<double, 19> v{};
  v[0] = n;
  for (size_t k = 0; k < kDauerstufen.size(); ++k) v[k + 1] = Reinhold(kDauerstufen[k], n);
  return v;
}

TReferenzListen MacheStandardListen() {
  TReferenzListen l;
  auto r1 = ReinholdReihe(1.0);
  r1[3] = 100;
  l.Kostra.AddRain("Reinhold (n=1,0)", r1);
  l.Kostra.AddRain("Reinhold (n=0,1)", ReinholdReihe(0.1));
  l.Kostra.AddRain("Reinhold (n=0,2)", ReinholdReihe(0.2));
  l.Kostra.AddRain("Reinhold (n=0,5)", ReinholdReihe(0.5));
  l.Kostra.AddRain("Muster A138 (n=0,1)",
                   {0.1, 398.3, 238.0, 176.4, 142.7, 106.0, 78.8, 63.9, 47.7, 38.8, 28.9, 23.5,
                    17.5, 13.1, 10.6, 7.7, 6.2, 3.4, 2.6});
  l.Kostra.AddRain("Muster A138 (n=0,2)",
                   {0.2, 338.3, 204.6, 152.6, 124.0, 92.6, 69.2, 56.4, 42.0, 34.1, 25.4, 20.7,
                    15.4, 11.5, 9.3, 6.8, 5.5, 3.0, 2.3});

  std::array<double, 24> eins;
  eins.fill(1.0);
  l.SWGanglinien.AddGL("ausgeglichen", eins);
  l.SWGanglinien.AddGL("Dorf,  bis 5.000 E",
                       {0.0, 0.0, 0.0, 0.1, 0.6, 1.6, 1.9, 1.3, 1.1, 0.8, 1.0, 1.9,
                        3.0, 2.5, 1.6, 0.8, 0.7, 1.3, 1.8, 1.5, 0.4, 0.1, 0.0, 0.0});
  l.SWGanglinien.AddGL("Kleinstadt,  5.000 - 10.000 E",
                       {0.0, 0.0, 0.1, 0.2, 0.4, 1.1, 1.2, 1.1, 0.9, 0.7, 1.1, 1.7,
                        2.4, 2.2, 1.7, 1.4, 1.4, 1.6, 1.6, 1.3, 0.9, 0.5, 0.3, 0.2});
  l.SWGanglinien.AddGL("Mittelstadt,  10.000 - 50.000 E",
                       {0.2, 0.2, 0.2, 0.3, 0.6, 0.9, 1.1, 1.3, 1.3, 1.4, 1.6, 1.8,
                        2.0, 1.8, 1.4, 1.2, 1.1, 1.1, 1.1, 1.2, 1.0, 0.7, 0.3, 0.2});
  l.SWGanglinien.AddGL("groessere Stadt,  50.000 - 250.000 E",
                       {0.4, 0.3, 0.3, 0.5, 0.7, 0.9, 1.0, 1.1, 1.2, 1.3, 1.4, 1.6,
                        1.7, 1.6, 1.4, 1.3, 1.2, 1.1, 1.2, 1.0, 0.9, 0.8, 0.6, 0.5});
  l.SWGanglinien.AddGL("Grossstadt,  groesser 250.000 E",
                       {0.6, 0.5, 0.6, 0.7, 0.9, 1.0, 1.0, 1.1, 1.1, 1.2, 1.3, 1.4,
                        1.5, 1.4, 1.3, 1.1, 1.1, 1.1, 1.0, 0.9, 0.9, 0.8, 0.8, 0.7});

  std::array<double, 12> monate;
  monate.fill(1.0);
  l.FWGanglinien.AddGL("ausgeglichen", monate);
  return l;
}

// Rows of the peak runoff coefficient table: key r15, a(1..5), b(1..5).
constexpr double kPsiBasis[5][11] = {
    {75, 0.0, 0.1, 0.15, 0.2, 0.0, 0.92, 0.84, 0.79, 0.75, 1.0},
    {100, 0.0, 0.1, 0.15, 0.2, 0.0, 0.92, 0.84, 0.79, 0.75, 1.0},
    {130, 0.0, 0.15, 0.2, 0.3, 0.0, 0.92, 0.8, 0.75, 0.66, 1.0},
    {180, 0.1, 0.3, 0.45, 0.55, 0.0, 0.85, 0.66, 0.51, 0.42, 1.0},
    {225, 0.31, 0.46, 0.6, 0.75, 0.0, 0.65, 0.51, 0.37, 0.23, 1.0},
};

TPsiTafel Zeile(int i) {
  TPsiTafel t{};
  for (int k = 0; k < 10; ++k) t[static_cast<size_t>(k)] = kPsiBasis[i][k + 1];
  return t;
}

}  // namespace

const TReferenzListen& StandardReferenzListen() {
  static const TReferenzListen listen = MacheStandardListen();
  return listen;
}

double O2Saettigung(double T, double h) {
  return (14.60307 - T * (0.4021469 - T * (0.00768703 - T * 6.92575e-5))) *
         std::exp(-h / 7991.0185);
}

double PKsWert(double T) { return 2729.92 / (T + 273.2) + 0.09018; }

TPsiTafel BerechnePsiTafel(double R15) {
  if (!(R15 > 75)) return Zeile(0);  // also for NaN
  if (R15 >= 225) return Zeile(4);
  int j = 0, i = 4;
  for (int k = 0; k < 5; ++k)
    if (kPsiBasis[k][0] <= R15) j = k;
  for (int k = 4; k >= 0; --k)
    if (kPsiBasis[k][0] >= R15) i = k;
  if (i == j) return Zeile(j);
  TPsiTafel t{};
  const double kj = kPsiBasis[j][0], ki = kPsiBasis[i][0];
  for (int k = 0; k < 10; ++k) {
    const double vj = kPsiBasis[j][k + 1], vi = kPsiBasis[i][k + 1];
    t[static_cast<size_t>(k)] = vj + (R15 - kj) / (ki - kj) * (vi - vj);
  }
  return t;
}

}  // namespace t21
