#include "cli/simulieren.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "model/regen.h"

namespace t21 {

namespace {

std::atomic<bool> gAbbruch{false};

class Fortschritt : public TLaufBeobachter {
 public:
  Fortschritt(TSimulationsLauf& lauf, std::ostream& err, bool zeigen)
      : lauf_(lauf), err_(err), zeigen_(zeigen), start_(std::chrono::steady_clock::now()) {}
  void NeuerTag(const TSimulation& sim, int prozent) override {
    if (gAbbruch) lauf_.Abbrechen();
    if (!zeigen_) return;
    const int p = std::clamp(prozent, 0, 100);
    if (p == letzter_ && ++tage_ % 30 != 0) return;
    letzter_ = p;
    const double sek =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rest = p > 0 ? sek * (100 - p) / p : 0;
    char balken[41];
    const int voll = p * 40 / 100;
    for (int i = 0; i < 40; ++i) balken[i] = i < voll ? '#' : '.';
    balken[40] = 0;
    char zeile[160];
    std::snprintf(zeile, sizeof zeile, "\r[%s] %3d%%  %s  noch %d:%02d min ", balken, p,
                  DatumText(sim.Zeit).c_str(), static_cast<int>(rest) / 60,
                  static_cast<int>(rest) % 60);
    err_ << zeile << std::flush;
  }
  void Ende() {
    if (zeigen_) err_ << "\n";
  }

 private:
  TSimulationsLauf& lauf_;
  std::ostream& err_;
  bool zeigen_;
  std::chrono::steady_clock::time_point start_;
  int letzter_ = -1;
  long tage_ = 0;
};

// The period the rain series cover: from the latest start to the earliest
// end of all gauges.
bool ZeitraumDerRegenreihen(TM3Model& m, TDateTime& von, TDateTime& bis, std::ostream& err) {
  bool gefunden = false;
  for (int i = 0; i < m.Count(); ++i) {
    auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i)));
    if (!r) continue;
    if (!r->ReadHeader()) {
      err << "t21: Regenschreiber " << r->Name() << ": " << r->Fehler << "\n";
      r->Schliessen();
      continue;
    }
    r->Schliessen();
    von = gefunden ? std::max(von, r->AnfangsDatum) : r->AnfangsDatum;
    bis = gefunden ? std::min(bis, r->EndDatum) : r->EndDatum;
    gefunden = true;
  }
  return gefunden;
}

void Zeilen(const char* tabelle, const std::vector<TMeldungZeile>& z, Format f, std::ostream& out,
            bool& erste) {
  switch (f) {
    case Format::Text:
      for (const auto& r : z) out << r.S1 << "\t" << r.S2 << "\t" << r.S3 << "\n";
      break;
    case Format::Tsv:
      for (const auto& r : z) out << tabelle << "\t" << r.S1 << "\t" << r.S2 << "\t" << r.S3 << "\n";
      break;
    case Format::Json:
      out << (erste ? "" : ",") << "\n" << JsonText(tabelle) << ":[";
      for (size_t i = 0; i < z.size(); ++i)
        out << (i ? "," : "") << "{\"S1\":" << JsonText(z[i].S1) << ",\"S2\":" << JsonText(z[i].S2)
            << ",\"S3\":" << JsonText(z[i].S3) << "}";
      out << "]";
      erste = false;
      break;
  }
}

}  // namespace

void SimulationAbbrechen() { gAbbruch = true; }

void SchreibeLauf(const TSimulationsLauf& lauf, Format f, std::ostream& out) {
  bool erste = true;
  if (f == Format::Json) out << "{";
  if (f == Format::Text && !lauf.CDSFehler.empty()) out << "Meldungen:\n";
  Zeilen("CDSFehler", lauf.CDSFehler, f, out, erste);
  if (f == Format::Text) out << "\nBericht:\n";
  Zeilen("CDSReport", lauf.CDSReport, f, out, erste);
  const auto& ev = lauf.Simulation().SystemEreignisse;
  switch (f) {
    case Format::Text:
      out << "\nRegenschreiber:\n";
      for (const auto& r : lauf.CDSREG1)
        out << r.Element << "\t" << r.Station << "\t" << r.Anfangsdatum << "\t" << r.Enddatum
            << "\n";
      out << "\nSystemereignisse: " << ev.size() << "\n";
      break;
    case Format::Tsv:
      for (const auto& r : lauf.CDSREG1)
        out << "CDSREG1\t" << r.Element << "\t" << r.Station << "\t" << r.Anfangsdatum << "\t"
            << r.Enddatum << "\n";
      for (const auto& e : ev)
        out << "Ereignis\t" << IsoText(e.Start) << "\t" << IsoText(e.Ende) << "\t"
            << (e.Entlastung ? "1" : "0") << "\n";
      break;
    case Format::Json:
      out << ",\n\"CDSREG1\":[";
      for (size_t i = 0; i < lauf.CDSREG1.size(); ++i) {
        const auto& r = lauf.CDSREG1[i];
        out << (i ? "," : "") << "{\"Element\":" << JsonText(r.Element)
            << ",\"Station\":" << JsonText(r.Station)
            << ",\"Anfangsdatum\":" << JsonText(r.Anfangsdatum)
            << ",\"Enddatum\":" << JsonText(r.Enddatum) << "}";
      }
      out << "],\n\"SystemEreignisse\":[";
      for (size_t i = 0; i < ev.size(); ++i)
        out << (i ? "," : "") << "{\"Start\":" << JsonText(IsoText(ev[i].Start))
            << ",\"Ende\":" << JsonText(IsoText(ev[i].Ende))
            << ",\"Entlastung\":" << (ev[i].Entlastung ? "true" : "false") << "}";
      out << "]\n}\n";
      break;
  }
}

int Simuliere(TM3Model& m, const TSimulierOptionen& o, std::ostream& out, std::ostream& err) {
  gAbbruch = false;
  TDateTime von = 0, bis = 0;
  if (!o.Von.empty() && !DatumLesen(o.Von, von)) {
    err << "t21: Anfangsdatum \"" << o.Von << "\" ist kein gültiges Datum\n";
    return 2;
  }
  if (!o.Bis.empty() && !DatumLesen(o.Bis, bis)) {
    err << "t21: Enddatum \"" << o.Bis << "\" ist kein gültiges Datum\n";
    return 2;
  }
  if (o.Von.empty() || o.Bis.empty()) {
    TDateTime rv = 0, rb = 0;
    if (!ZeitraumDerRegenreihen(m, rv, rb, err)) {
      err << "t21: Ohne lesbare Regenreihe müssen --von und --bis angegeben werden\n";
      return 2;
    }
    if (o.Von.empty()) von = rv;
    if (o.Bis.empty()) bis = rb;
  }
  TSimulationsLauf lauf(m);
  Fortschritt f(lauf, err, o.Fortschritt);
  const TLaufErgebnis e = lauf.Starte(von, bis, &f);
  f.Ende();
  SchreibeLauf(lauf, o.Ausgabe, out);
  switch (e) {
    case TLaufErgebnis::Abgeschlossen:
      err << "t21: Simulation abgeschlossen\n";
      return 0;
    case TLaufErgebnis::Abgebrochen:
      err << "t21: Simulation abgebrochen\n";
      return 130;
    case TLaufErgebnis::Fehlerhaft:
      err << "t21: Simulation wegen einer fehlerhaften Regendatei beendet\n";
      return 2;
    case TLaufErgebnis::Abgewiesen:
      break;
  }
  err << "t21: Der Systemaufbau ist fehlerhaft, der Simulationslauf wird abgebrochen\n";
  return 1;
}

}  // namespace t21
