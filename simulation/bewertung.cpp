#include "simulation/bewertung.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "model/discharge.h"
#include "simulation/auswertung.h"

namespace t21 {

namespace {

constexpr const char* kVerletzt = "Anforderungen verletzt";
constexpr double kMsProJahr = 365.25 * 86400000.0;

// Allowed numbers of violations per class over the evaluated period.
constexpr std::array<double, 3> kZulaessigExtrem{0, 4, 25};
constexpr std::array<double, 3> kZulaessigMittel{0.5, 4, 25};

constexpr TKlassensatz kO2Mittelgebirge{{{2.5, 5.0, 60}, {4.0, 6.0, 60}, {5.0, 7.0, 60}}};
constexpr TKlassensatz kO2Tiefland{{{2.5, 4.0, 60}, {3.0, 4.5, 60}, {4.0, 5.0, 30}}};
constexpr TKlassensatz kO2Salmoniden{{{2.5, 5.0, 60}, {4.0, 6.0, 60}, {5.0, 8.0, 120}}};
constexpr TKlassensatz kNH3{{{0.2, 0.1, 3.0}, {0.15, 0.04, 3.6}, {0.1, 0.02, 1.2}}};
constexpr TKlassensatz kNH3Salmoniden{{{0.2, 0.1, 3.0}, {0.15, 0.02, 1.2}, {0.1, 0.004, 0.96}}};

double Zahl(const TTabelle& t, int z, const char* spalte) {
  return AlsZahl(t.Wert(z, spalte));
}

// a / b, 0 when b is 0 (as Kehrwert sees it); the quotient itself rounded
// once, so that a value on a limit stays on it.
double Quotient(double a, double b) {
  return Kehrwert(b) == 0 ? 0 : a / b;
}

// The rows of a table that belong to the element, in table order.
std::vector<int> ZeilenVon(const TTabelle& t, const std::string& name) {
  std::vector<int> r;
  for (int z = t.Finde("Name", name); z >= 0; z = t.Finde("Name", name, z + 1)) r.push_back(z);
  return r;
}

}  // namespace

TEinleitungsDaten EinleitungsDaten(const TEST& e) {
  return {e.Name(), e.MNQ(), e.HQ1pnat(), e.X, e.Lage, e.Salmoniden};
}

void TVektor::Sort(int Richtung) {
  const size_t n = FWerte.size();
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (Richtung == 1 ? FWerte[j] < FWerte[i] : FWerte[j] > FWerte[i])
        std::swap(FWerte[i], FWerte[j]);
}

double Wiederkehrzeit(int m, int k, int N) {
  return (k + 1.0) / m * N / k;
}

TRegression Regression(const TVektor& absteigend, int N) {
  TRegression r;
  r.k = std::min(absteigend.Count(), 3 * N);
  double su = 0, sy = 0, suy = 0, suu = 0;
  for (int m = 1; m <= r.k; ++m) {
    const double u = std::log(Wiederkehrzeit(m, r.k, N));
    const double y = absteigend.GetValue(m - 1);
    su += u;
    sy += y;
    suy += u * y;
    suu += u * u;
  }
  r.s = (r.k * suy - su * sy) * Kehrwert(r.k * suu - su * su);
  if (std::fabs(r.s) < 0.00001) r.s = 0;
  r.i = (sy - r.s * su) * Kehrwert(r.k);
  return r;
}

const TKlassensatz& Klassensatz(int parameter, int lage, bool salmoniden) {
  if (parameter == 2) return salmoniden ? kNH3Salmoniden : kNH3;
  if (lage == 0) return kO2Tiefland;
  return salmoniden ? kO2Salmoniden : kO2Mittelgebirge;
}

double Mittelgrenze(const TKlasse& k, double c, double d) {
  return k.M + c * Quotient(k.D, 60 * d);
}

int GanzeJahre(TDateTime start, TDateTime ende) {
  // Calendar years: ten years from 1 January 2001 are ten, although they
  // have fewer days than ten times 365.25.
  const TDatumTeile a = DecodeDateTime(start), b = DecodeDateTime(ende);
  const int tag = (a.Monat == 2 && a.Tag == 29 && !IstSchaltjahr(b.Jahr)) ? 28 : a.Tag;
  int n = b.Jahr - a.Jahr;
  if (std::tie(b.Monat, b.Tag, b.Stunde, b.Minute, b.Sekunde, b.Milli) <
      std::tie(a.Monat, tag, a.Stunde, a.Minute, a.Sekunde, a.Milli))
    --n;
  return std::max(n, 1);
}

double Jahre(TDateTime start, TDateTime ende) {
  return static_cast<double>(Millisekunden(ende) - Millisekunden(start)) / kMsProJahr;
}

void HydrologieAuswertung(const TEinleitungsDaten& e, TDateTime start, TDateTime ende,
                          TDataModule2& dm, std::vector<TMeldungZeile>& report) {
  const int N = GanzeJahre(start, ende);
  const TTabelle& ev = dm.CDSESTEreignisse;
  TVektor A, B;
  for (int z : ZeilenVon(ev, e.Name)) {
    A.Add(Zahl(ev, z, "MAXQ"));
    B.Add(Zahl(ev, z, "QE"));
  }
  A.Sort(0);
  B.Sort(0);
  const double Qzul = e.HQ1pnat * (e.X + 1);
  const TRegression a = Regression(A, N);
  const TRegression b = Regression(B, N);
  const double HQ1vorh = a.i;
  const bool verletzt = HQ1vorh > Qzul;
  if (verletzt) report.push_back({e.Name, "Abfluss", kVerletzt});
  TNeueZeile{dm.CDSHDAbfluss}("Element", e.Name)("MNQ", e.MNQ)("HQ1pnat", e.HQ1pnat)(
      "HQ2pnat", Qzul)("HQ1vorh", HQ1vorh)("HQ2vorh", a.s * std::log(2.0) + a.i)("QE1vorh", b.i)(
      "QE2vorh", b.s * std::log(2.0) + b.i)("A", a.i)("B", a.s)
      // OK holds the comparison HQ1vorh > Qzul itself: true where the
      // requirement is violated, as the mark in OKS says.
      ("OK", verletzt)("OKS", verletzt ? "*" : "");
}

namespace {

void DosisO2NH3(const TEinleitungsDaten& e, int parameter, TDateTime start, TDateTime ende,
                TDataModule2& dm, std::vector<TMeldungZeile>& report) {
  const bool o2 = parameter == 1;
  const double c = o2 ? -1 : 1;
  const double Y = Jahre(start, ende);
  const TKlassensatz& k = Klassensatz(parameter, e.Lage, e.Salmoniden);
  std::array<int, 3> extrem{}, mittel{};
  const TTabelle& ev = dm.CDSESTEreignisse;
  for (int z : ZeilenVon(ev, e.Name)) {
    const double d = Zahl(ev, z, "Dauer");
    const double A = Zahl(ev, z, o2 ? "MinO2" : "MaxNH3");
    const double w = Zahl(ev, z, o2 ? "MedO2_kurz" : "MedNH3_kurz");
    for (size_t i = 0; i < 3; ++i) {
      if ((w - Mittelgrenze(k[i], c, d)) * c > 0) ++mittel[i];
      if ((A - k[i].L) * c > 0) ++extrem[i];
    }
  }
  TNeueZeile z{dm.CDSHDAuswertung};
  z("Element", e.Name)("Parameter", o2 ? "O2" : "NH3");
  for (size_t i = 0; i < 3; ++i) {
    const std::string g = std::to_string(3 * i + 1), g2 = std::to_string(3 * i + 2),
                      g3 = std::to_string(3 * i + 3);
    z("G" + g, k[i].L)("G" + g2, k[i].M)("G" + g3, k[i].D);
    z("E" + g, extrem[i])("E" + g2, Quotient(extrem[i], Y))("E" + g3, kZulaessigExtrem[i]);
    z("M" + g, mittel[i])("M" + g2, Quotient(mittel[i], Y))("M" + g3, kZulaessigMittel[i]);
  }
  // Judged on the numbers of events over the whole period.
  bool verletzt = false;
  for (size_t i = 0; i < 3; ++i)
    verletzt = verletzt || extrem[i] > kZulaessigExtrem[i] || mittel[i] > kZulaessigMittel[i];
  if (verletzt) report.push_back({e.Name, o2 ? "O2" : "NH3", kVerletzt});
}

void DosisAFS(const TEinleitungsDaten& e, TDataModule2& dm, std::vector<TMeldungZeile>& report) {
  const double g = e.Salmoniden ? 20 : 30;
  const double f = g == 20 ? 1.33 : 2;
  double L = 0, C = 0, Lzul = 0;
  const TTabelle& t = dm.CDSFrachtenGewaesser;
  for (int z : ZeilenVon(t, e.Name)) {
    const double V = Zahl(t, z, "AFS_Vorbelastung");
    const double l = Zahl(t, z, "AFS") + V * Zahl(t, z, "AFS_BUE");
    const double q = Zahl(t, z, "Q");
    const double conc = Quotient(1000 * l, q + V * Zahl(t, z, "Q_BUE"));
    if (AlsText(t.Wert(z, "Jahr")).starts_with("i")) {
      L = l;
      C = conc;
      Lzul = q * g / 1000 + f * V * Zahl(t, z, "AFS_BUE");
      break;
    }
  }
  if (C > g) report.push_back({e.Name, "AFS", kVerletzt});
  TNeueZeile{dm.CDSHDAuswertung}("Element", e.Name)("Parameter", "AFS")("G1", Lzul)("G2", 15.0)(
      "G3", g)("G4", 0.0)("G5", 0.0)("G6", 0.0)("G7", 0.0)("G8", g)("G9", 0.0)("E1", L)("E2", 0.0)(
      "E3", C);
}

}  // namespace

void DosisAuswertung(const TEinleitungsDaten& e, int parameter, TDateTime start, TDateTime ende,
                     TDataModule2& dm, std::vector<TMeldungZeile>& report) {
  if (parameter == 3)
    DosisAFS(e, dm, report);
  else
    DosisO2NH3(e, parameter, start, ende, dm, report);
}

void BewerteEinleitung(const TEinleitungsDaten& e, TDateTime start, TDateTime ende,
                       TDataModule2& dm, std::vector<TMeldungZeile>& report) {
  HydrologieAuswertung(e, start, ende, dm, report);
  for (int p = 1; p <= 3; ++p) DosisAuswertung(e, p, start, ende, dm, report);
}

}  // namespace t21
