#include "cli/simulieren.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <variant>

#include "model/format.h"
#include "model/regen.h"
#include "simulation/ereignis.h"

namespace t21 {

namespace {

namespace fs = std::filesystem;

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

// A value for tools: numbers in full precision with a decimal point, dates
// as ISO 8601, texts as they are (as JSON texts for json).
std::string Maschinenwert(const TFeld& f, const TWert& w, bool json) {
  if (IstNull(w)) return json ? "null" : "";
  if (f.Typ == TFeldTyp::Date) {
    const std::string t = IsoText(AlsZahl(w));
    return json ? JsonText(t) : t;
  }
  if (const auto* b = std::get_if<bool>(&w)) return *b ? "true" : "false";
  if (const auto* i = std::get_if<int32_t>(&w)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&w)) {
    if (json && !std::isfinite(*d)) return "null";
    return AlsText(w);
  }
  std::string t = AlsText(w);
  if (json) return JsonText(t);
  for (char& c : t)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return t;
}

void Tabellenzeilen(const TTabelle& t, Format f, std::ostream& out) {
  const TSchema& s = t.Schema();
  if (f == Format::Tsv) {
    out << s.Name;
    for (const TFeld& feld : s.Felder) out << "\t" << feld.Name;
    out << "\n";
    for (int z = 0; z < t.Anzahl(); ++z) {
      out << s.Name;
      for (int i = 0; i < t.Spalten(); ++i)
        out << "\t" << Maschinenwert(s.Felder[static_cast<size_t>(i)], t.Wert(z, i), false);
      out << "\n";
    }
    return;
  }
  out << JsonText(s.Name) << ":[";
  for (int z = 0; z < t.Anzahl(); ++z) {
    out << (z ? ",\n" : "\n") << "{";
    for (int i = 0; i < t.Spalten(); ++i) {
      const TFeld& feld = s.Felder[static_cast<size_t>(i)];
      out << (i ? "," : "") << JsonText(feld.Name) << ":"
          << Maschinenwert(feld, t.Wert(z, i), true);
    }
    out << "}";
  }
  out << "]";
}

// Whether the report holds the verdict for the element and parameter.
bool Verletzt(const TDataModule2& dm, const std::string& element, const std::string& parameter) {
  for (const TMeldungZeile& z : TDataModule2::Meldungen(dm.CDSReport))
    if (z.S1 == element && z.S2 == parameter && z.S3 == "Anforderungen verletzt") return true;
  return false;
}

void Bewertungen(const TDataModule2& dm, std::ostream& out) {
  const TTabelle& h = dm.CDSHDAbfluss;
  const TTabelle& d = dm.CDSHDAuswertung;
  if (h.Anzahl() == 0 && d.Anzahl() == 0) return;
  auto zahl = [](const TTabelle& t, int z, const char* spalte, int stellen) {
    return ZahlText(AlsZahl(t.Wert(z, spalte)), stellen);
  };
  auto urteil = [&dm](const std::string& element, const std::string& parameter) {
    return Verletzt(dm, element, parameter) ? "Anforderungen verletzt"
                                            : "Anforderungen eingehalten";
  };
  out << "\nBewertung der Einleitungsstellen:\n";
  for (int z = 0; z < h.Anzahl(); ++z) {
    const std::string e = AlsText(h.Wert(z, "Element"));
    out << e << "\tAbfluss\tHQ1 vorhanden " << zahl(h, z, "HQ1vorh", 2) << " l/s, zulässig "
        << zahl(h, z, "HQ2pnat", 2) << " l/s\t" << urteil(e, "Abfluss") << "\n";
  }
  for (int z = 0; z < d.Anzahl(); ++z) {
    const std::string e = AlsText(d.Wert(z, "Element"));
    const std::string p = AlsText(d.Wert(z, "Parameter"));
    out << e << "\t" << p << "\t";
    if (p == "AFS") {
      out << "mittlere Konzentration " << zahl(d, z, "E3", 2) << " mg/l, Grenzwert "
          << zahl(d, z, "G8", 0) << " mg/l";
    } else {
      out << "Verletzungen Extremgrenzwert " << zahl(d, z, "E1", 0) << "/" << zahl(d, z, "E4", 0)
          << "/" << zahl(d, z, "E7", 0) << ", Mittelwert " << zahl(d, z, "M1", 0) << "/"
          << zahl(d, z, "M4", 0) << "/" << zahl(d, z, "M7", 0) << " (selten/mittel/häufig)";
    }
    out << "\t" << urteil(e, p) << "\n";
  }
}

}  // namespace

void SimulationAbbrechen() {
  gAbbruch = true;
}

void SchreibeErgebnisse(const TDataModule2& dm, Format f, std::ostream& out) {
  if (f == Format::Text) {
    auto meldungen = [&out](const TTabelle& t) {
      for (const TMeldungZeile& z : TDataModule2::Meldungen(t))
        out << z.S1 << "\t" << z.S2 << "\t" << z.S3 << "\n";
    };
    if (dm.CDSFehler.Anzahl() > 0) out << "Meldungen:\n";
    meldungen(dm.CDSFehler);
    out << "\nBericht:\n";
    meldungen(dm.CDSReport);
    Bewertungen(dm, out);
    if (dm.CDSREG1.Anzahl() > 0) out << "\nRegenschreiber:\n";
    for (int z = 0; z < dm.CDSREG1.Anzahl(); ++z)
      for (int i = 0; i < dm.CDSREG1.Spalten(); ++i)
        out << AlsText(dm.CDSREG1.Wert(z, i)) << (i + 1 < dm.CDSREG1.Spalten() ? "\t" : "\n");
    out << "\nSystemereignisse: " << dm.CDSEreignisse.Anzahl() << "\n";
    return;
  }
  if (f == Format::Json) out << "{";
  bool erste = true;
  for (const TTabelle* t : dm.Tabellen()) {
    if (f == Format::Json) out << (erste ? "\n" : ",\n");
    erste = false;
    Tabellenzeilen(*t, f, out);
  }
  if (f == Format::Json) out << "\n}\n";
}

int ZeigeErgebnisse(const std::string& datei, Format f, std::ostream& out, std::ostream& err) {
  TDataModule2 dm;
  std::vector<std::string> meldungen;
  if (!dm.Laden(datei, meldungen)) {
    for (const std::string& m : meldungen) err << "t21: " << m << "\n";
    return 2;
  }
  SchreibeErgebnisse(dm, f, out);
  return 0;
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
  lauf.SetzeThreads(o.Threads);
  Fortschritt f(lauf, err, o.Fortschritt);
  const TLaufErgebnis e = lauf.Starte(von, bis, &f);
  f.Ende();
  const TDataModule2& dm = lauf.Ergebnisse();
  bool gespeichert = true;
  if (!o.Aus.empty()) {
    std::string basis = o.Basis;
    if (basis.empty())
      basis = m.FileName.empty() ? "Simulation" : fs::path(m.FileName).filename().string();
    std::error_code ec;
    fs::create_directories(o.Aus, ec);
    const std::string datei = (fs::path(o.Aus) / (basis + "_CDSReport.s21")).string();
    std::string fehler;
    gespeichert = dm.Speichern(datei, fehler);
    // The start states of the events go with them, for re-simulating one.
    if (gespeichert) gespeichert = SpeichereStartzustaende(StartzustaendeAus(m), datei, fehler);
    if (gespeichert)
      err << "t21: Ergebnisse gespeichert: " << datei << "\n";
    else
      err << "t21: Ergebnisse nicht gespeichert: " << fehler << "\n";
  }
  SchreibeErgebnisse(dm, o.Ausgabe, out);
  if (!gespeichert && e != TLaufErgebnis::Abgebrochen) return 2;
  switch (e) {
    case TLaufErgebnis::Abgeschlossen:
      err << "t21: Simulation abgeschlossen\n";
      return 0;
    case TLaufErgebnis::Abgebrochen:
      err << "t21: Simulation abgebrochen\n";
      return 130;
    case TLaufErgebnis::Fehlerhaft: {
      // The finding that ended the run is the last fault among the messages.
      std::string grund;
      for (const TMeldungZeile& z : lauf.CDSFehler)
        if (z.S1.rfind("Fehler", 0) == 0) grund = z.S2 + ": " + z.S3;
      err << "t21: Simulation wegen eines Datenfehlers beendet"
          << (grund.empty() ? std::string() : " – " + grund) << "\n";
      return 2;
    }
    case TLaufErgebnis::Abgewiesen:
      break;
  }
  err << "t21: Der Systemaufbau ist fehlerhaft, der Simulationslauf wird abgebrochen\n";
  return 1;
}

}  // namespace t21
