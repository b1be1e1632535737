#include "simulation/abgleich.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/elements.h"
#include "model/regen.h"

namespace t21 {

namespace {

double Groesster(const std::vector<double>& v) {
  double m = 0;
  bool erster = true;
  for (double x : v) {
    if (erster || x > m) m = x;
    erster = false;
  }
  return m;
}

// The computed flow at time t: exact on a step, linear between two; false
// outside the computed period.
bool WertZurZeit(const TGanglinie& g, TDateTime t, double& q) {
  if (g.Zeit.empty() || t < g.Zeit.front() - kZeitEps || t > g.Zeit.back() + kZeitEps) return false;
  const auto it = std::lower_bound(g.Zeit.begin(), g.Zeit.end(), t - kZeitEps);
  const auto i = static_cast<size_t>(it - g.Zeit.begin());
  if (i >= g.Zeit.size()) {
    q = g.Q.back();
    return true;
  }
  if (std::fabs(g.Zeit[i] - t) < kZeitEps || i == 0) {
    q = g.Q[i];
    return true;
  }
  const double a = g.Zeit[i - 1], b = g.Zeit[i];
  q = g.Q[i - 1] + (g.Q[i] - g.Q[i - 1]) * (t - a) * Kehrwert(b - a);
  return true;
}

}  // namespace

TAbgleichKennwerte Abgleichkennwerte(const TGanglinie& m, const TGanglinie& c) {
  TAbgleichKennwerte k;
  if (m.Leer()) {
    k.Meldungen.push_back("Keine Messwerte geladen");
    return k;
  }
  // VOL: totals of the two cumulative curves.
  const double vm = Groesster(m.Summe), vc = Groesster(c.Summe);
  k.VOLGueltig = !(vc - vm == 0 && vm == 0);
  k.VOL = (vc - vm) * Kehrwert(vm);
  if (!k.VOLGueltig) k.Meldungen.push_back("VOL: beide Volumen sind 0, keine Volumen-Abweichung");

  // REFF: the measured values against the computed ones at their times.
  double zaehler = 0, nenner = 0;
  int ausserhalb = 0;
  for (size_t i = 0; i < m.Zeit.size(); ++i) {
    double q;
    if (!WertZurZeit(c, m.Zeit[i], q)) {
      ++ausserhalb;
      continue;
    }
    ++k.Paare;
    zaehler += (m.Q[i] - q) * (m.Q[i] - q);
    nenner += (m.Q[i] - m.Mittel) * (m.Q[i] - m.Mittel);
  }
  if (ausserhalb > 0)
    k.Meldungen.push_back(
        std::to_string(ausserhalb) +
        " Messwert(e) außerhalb des berechneten Zeitraums bleiben unberücksichtigt");
  // Without variation in the measurement the efficiency says nothing: no
  // figure rather than a perfect one.
  k.REFFGueltig = k.Paare > 0 && nenner > 0;
  k.REFF = 1 - zaehler * Kehrwert(nenner);
  if (!k.REFFGueltig)
    k.Meldungen.push_back(k.Paare == 0
                              ? "REFF: kein Messwert liegt im berechneten Zeitraum"
                              : "REFF: die Messwerte schwanken nicht, keine Ganglinien-Abweichung");

  // SA: the peaks.
  const double qm = Groesster(m.Q), qc = Groesster(c.Q);
  k.SAGueltig = !(qc - qm == 0 && qm == 0);
  k.SA = (qc - qm) * Kehrwert(qm);
  if (!k.SAGueltig) k.Meldungen.push_back("SA: beide Scheitelabflüsse sind 0");
  return k;
}

std::string KennwertText(double wert, bool gueltig, const TZahlenformat& f) {
  if (!gueltig || !std::isfinite(wert)) return "–";
  char b[64];
  std::snprintf(b, sizeof b, "%.3f", wert);
  std::string s = b;
  if (s == "-0.000") s = "0.000";
  const auto p = s.find('.');
  if (p != std::string::npos) s.replace(p, 1, f.Dezimal);
  return s;
}

void AbgleichStandardzeitraum(TDateTime jetzt, TDateTime& von, TDateTime& bis) {
  von = jetzt - 10952;
  bis = von + 2;
}

bool TAbgleichLauf::Rechne(const std::string& element, TDateTime von, TDateTime bis,
                           TGanglinie& berechnet, std::vector<std::string>& meldungen) {
  berechnet.Leeren();
  const TElement* e = nullptr;
  for (int i = 0; i < FModel.Count() && !e; ++i)
    if (const TElement* x = TM3Model::ElementOf(FModel.GetNode(i)); x && x->Name() == element)
      e = x;
  if (!e) {
    meldungen.push_back("Die Komponente " + element + " gibt es nicht (mehr)");
    return false;
  }
  if (!(bis > von)) {
    meldungen.push_back("Simulations-Ende <= Simulationsanfang!");
    return false;
  }
  if (!Vorbereiten(von, bis, std::trunc(von) - 1, meldungen)) return false;
  FElement = e;
  FBerechnet = &berechnet;
  const bool ok = Laufe(meldungen);
  Beenden();
  FElement = nullptr;
  FBerechnet = nullptr;
  return ok;
}

void TAbgleichLauf::Punkt(const TSimulation& sim, const TElement& e) {
  if (&e != FElement || !sim.IsSimZeit()) return;
  FBerechnet->Anhaengen(sim.Zeit, e.Zustand.Aktuell.Q * Kehrwert(sim.dt_sec_div_1000));
}

void TAbgleichLauf::NachSimCalc(TSimulation& sim, TElement& e) {
  Punkt(sim, e);
}

void TAbgleichLauf::NachRegen(TSimulation& sim, TREG& r) {
  Punkt(sim, r);
}

}  // namespace t21
