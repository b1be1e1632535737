#include "model/simulation.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "model/net.h"

namespace t21 {

namespace {
constexpr double kPi = 3.14159265358979323846;

// Rounding as the clock and the step counts need it: halves to even.
double Runde(double v) {
  return std::nearbyint(v);
}

uint32_t Ticks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}  // namespace

double ZeitschrittFuer(double grenze) {
  for (int i = 1; i <= 20; ++i) {
    const double b = 5.0 / i;
    const double q = b / 0.25;
    if (b <= grenze && 5 - i * b == 0 && q - std::trunc(q) == 0) return b;
  }
  return 0.25;
}

bool TSimulation::SetTime(TDateTime startDatum, TDateTime startZeit, TDateTime endDatum,
                          TDateTime endZeit) {
  auto verbinde = [](TDateTime datum, TDateTime zeit) {
    const auto z = DecodeDateTime(zeit);
    return std::trunc(datum) + EncodeTime(z.Stunde, z.Minute, z.Sekunde, 0);
  };
  Start = AufMillisekunden(verbinde(startDatum, startZeit));
  Ende = AufMillisekunden(verbinde(endDatum, endZeit));
  Zeit = std::trunc(Start) - 1;
  CalcStart = Zeit;
  if (Ende > Start) return true;
  Meldung = "Simulations-Ende <= Simulationsanfang!";
  return false;
}

void TSimulation::SetVars(const std::vector<int>& regenIntervalle) {
  double b = ZeitschrittFuer(dt_min);
  double c = 5;
  for (int dt : regenIntervalle) {
    if (dt <= 0) continue;  // refused by the pre-run checks
    b = std::min(b, static_cast<double>(dt));
    c = dt;
  }
  dt_min = b;
  Dauer = Ticks();
  dt_sec = static_cast<int32_t>(Runde(dt_min * 60));
  dt_h = dt_min / 60;
  dt_sec_div_1000 = dt_sec / 1000.0;
  mm2ls = Kehrwert(dt_min) * (1000.0 / 6);
  MaxIntervall = c == 1 ? 1 : static_cast<int32_t>(Runde(Kehrwert(dt_min) * 5));
  Tage = static_cast<int32_t>(std::trunc(std::fabs(Ende - Start) + kZeitEps));
  step = 0;
  WarRegen = WarAbfluss = Entlastung = HasAbfluss = Muldenfuellung = EsRegnet = false;
  SetTagesTemperatur();
  QRT = 0;
}

void TSimulation::IncZeit() {
  // The clock counts whole milliseconds: every value is the double nearest to
  // its millisecond count, so it stays on the grid of the time step without
  // drift and compares exactly with the period's start and end.
  Zeit = AufMillisekunden(Zeit, static_cast<long long>(dt_sec) * 1000);
  const auto d = DecodeDateTime(Zeit);
  FUhrzeit.Stunde = d.Stunde;
  FUhrzeit.Monat = d.Monat;
  FUhrzeitFuer = Zeit;
}

double TSimulation::SetTagesTemperatur() {
  const int J = DayOfTheYear(Zeit);
  const double a = std::cos((J - 20) * 2 * kPi / 365.242);
  TLuftTag = 8.2 - 8.7 * a;
  TWasserTag = 0.75 * TLuftTag + 5;
  const double T = TLuftTag;
  const double phi = 51.13 / 57.3;
  const double delta = 0.4093 * std::sin(J / 58.1 - 1.405);
  const double m = std::max(std::cos(phi - delta), 0.001);
  const double o = std::clamp(1 - m / (std::cos(phi) * std::cos(delta)), -1.0, 1.0);
  const double omega = std::acos(o);
  const double s = o * o >= 1 ? 0.0 : std::sqrt(1 - o * o);
  const double u = std::max(m + std::cos(phi) * std::cos(delta) * (s / omega - 1), 0.001);
  const double d = 1 + std::cos(J / 58.1) / 30;
  EpotTag = std::max((T + 5) * 446 * omega * u * d / 100 / 28.5, 0.0);
  return TLuftTag;
}

void TSimulationsTakt::UhrzeitLesen() {
  const auto d = DecodeDateTime(Zeit);
  FUhrzeit.Stunde = d.Stunde;
  FUhrzeit.Monat = d.Monat;
  FUhrzeitFuer = Zeit;
}

void TSimulation::SetAktTemperatur() {
  const int h = AktUhrzeit().Stunde;
  TLuft = TLuftTag;
  TWasser = TWasserTag * (1 - 0.13 * std::cos((h - 5) * 2 * kPi / 24));
  Epot = EpotTag * (1 - 0.9 * std::cos((h - 2.5) * 2 * kPi / 24)) / 24 / 60 * dt_min;
  cO2sat = O2Saettigung(TWasser, Netz ? Netz->mNN : 0);
  pks = PKsWert(TWasser);
}

}  // namespace t21
