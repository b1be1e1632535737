#include "cli/ereignis.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "model/format.h"
#include "model/regen.h"
#include "simulation/ereignis.h"
#include "simulation/lauf.h"
#include "storage/datenpaket.h"
#include "storage/export_xlsx.h"

namespace t21 {

namespace {

namespace fs = std::filesystem;

// The period the rain series cover: from the latest start to the earliest end.
bool Regenzeitraum(TM3Model& m, TDateTime& von, TDateTime& bis) {
  bool gefunden = false;
  for (int i = 0; i < m.Count(); ++i) {
    auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i)));
    if (!r) continue;
    const bool ok = r->ReadHeader();
    r->Schliessen();
    if (!ok) continue;
    von = gefunden ? std::max(von, r->AnfangsDatum) : r->AnfangsDatum;
    bis = gefunden ? std::min(bis, r->EndDatum) : r->EndDatum;
    gefunden = true;
  }
  return gefunden;
}

std::string Zahl(double v, bool json) {
  if (json) return JsonZahl(v);
  return AlsText(TWert(v));
}

void Schreibe(const TTabelle& t, const TEreignisErgebnis& e, const TEreignisOptionen& o,
              std::ostream& out) {
  const TSchema& s = t.Schema();
  const bool json = o.Ausgabe == Format::Json;
  auto wert = [&](int z, int i) -> std::string {
    const TWert& w = t.Wert(z, i);
    if (IstNull(w)) return json ? "null" : "";
    if (i == 0) return json ? JsonText(IsoText(AlsZahl(w))) : IsoText(AlsZahl(w));
    if (s.Felder[static_cast<size_t>(i)].Typ == TFeldTyp::String) {
      std::string x = AlsText(w);
      if (json) return JsonText(x);
      for (char& c : x)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
      return x;
    }
    return Zahl(AlsZahl(w), json);
  };
  if (!json) {
    for (int i = 0; i < t.Spalten(); ++i)
      out << (i ? "\t" : "") << s.Felder[static_cast<size_t>(i)].Label;
    out << "\n";
    for (int z = 0; z < t.Anzahl(); ++z) {
      for (int i = 0; i < t.Spalten(); ++i) out << (i ? "\t" : "") << wert(z, i);
      out << "\n";
    }
    return;
  }
  out << "{\"Titel\":" << JsonText(e.Titel) << ",\"Element\":" << JsonText(o.Element)
      << ",\"Parameter\":" << JsonText(e.Parameter) << ",\"Ereignis\":{\"Nr\":" << o.Nr
      << ",\"Beginn\":" << JsonText(IsoText(e.Ereignis.Start))
      << ",\"Ende\":" << JsonText(IsoText(e.Ereignis.Ende))
      << "},\"Zeitschritt\":" << JsonZahl(e.dt_min) << ",\"Spalten\":[";
  for (int i = 0; i < t.Spalten(); ++i) {
    const TFeld& f = s.Felder[static_cast<size_t>(i)];
    out << (i ? "," : "") << "{\"Name\":" << JsonText(f.Name) << ",\"Label\":" << JsonText(f.Label)
        << "}";
  }
  out << "],\"Zeilen\":[";
  for (int z = 0; z < t.Anzahl(); ++z) {
    out << (z ? ",\n" : "\n") << "[";
    for (int i = 0; i < t.Spalten(); ++i) out << (i ? "," : "") << wert(z, i);
    out << "]";
  }
  out << "]";
  if (e.Parameter == "Dosis NH3")
    out << ",\"Dosis\":" << JsonZahl(e.Dosis) << ",\"Grenzwert\":" << JsonZahl(e.Grenzwert);
  out << "}\n";
}

// The events and start states of the long run: from its saved files, or
// from running it; false (message on err, exit code in code) when neither.
bool LangerLauf(TM3Model& m, const TEreignisOptionen& o, std::vector<TEreignis>& ereignisse,
                std::map<std::string, TStartzustaende>& startzustaende, std::ostream& err,
                int& code) {
  code = 2;
  if (!o.Ergebnisse.empty()) {
    TDataModule2 dm;
    std::vector<std::string> meldungen;
    if (!dm.Laden(o.Ergebnisse, meldungen)) {
      for (const std::string& s : meldungen) err << "t21: " << s << "\n";
      return false;
    }
    std::string meldung;
    if (!LadeStartzustaende(o.Ergebnisse, startzustaende, meldung)) {
      err << "t21: " << meldung << "; ohne --ergebnisse wird die Langzeitsimulation gerechnet\n";
      return false;
    }
    ereignisse = EreignisseAus(dm);
    err << "t21: gespeicherte Ergebnisse " << o.Ergebnisse << ": " << ereignisse.size()
        << " Systemereignisse\n";
    return true;
  }
  TDateTime von = 0, bis = 0;
  if (!o.Von.empty() && !DatumLesen(o.Von, von)) {
    err << "t21: Anfangsdatum \"" << o.Von << "\" ist kein gültiges Datum\n";
    return false;
  }
  if (!o.Bis.empty() && !DatumLesen(o.Bis, bis)) {
    err << "t21: Enddatum \"" << o.Bis << "\" ist kein gültiges Datum\n";
    return false;
  }
  if (o.Von.empty() || o.Bis.empty()) {
    TDateTime rv = 0, rb = 0;
    if (!Regenzeitraum(m, rv, rb)) {
      err << "t21: Ohne lesbare Regenreihe müssen --von und --bis angegeben werden\n";
      return false;
    }
    if (o.Von.empty()) von = rv;
    if (o.Bis.empty()) bis = rb;
  }

  // The long run gives the events and the start states saved at each.
  TSimulationsLauf lauf(m);
  const TLaufErgebnis le = lauf.Starte(von, bis);
  if (le != TLaufErgebnis::Abgeschlossen) {
    for (const TMeldungZeile& z : lauf.CDSFehler)
      if (z.S1.rfind("Fehler", 0) == 0) err << "t21: " << z.S2 << ": " << z.S3 << "\n";
    err << "t21: Die Langzeitsimulation wurde nicht abgeschlossen\n";
    code = le == TLaufErgebnis::Abgewiesen ? 1 : 2;
    return false;
  }
  TLaufResultat r = lauf.Resultat();
  ereignisse = EreignisseAus(r.Tabellen);
  startzustaende = std::move(r.Startzustaende);
  err << "t21: Langzeitsimulation " << DatumText(von) << " bis " << DatumText(bis) << ": "
      << ereignisse.size() << " Systemereignisse\n";
  return true;
}

}  // namespace

int Ereignis(TM3Model& m, const TEreignisOptionen& o, std::ostream& out, std::ostream& err) {
  std::vector<TEreignis> ereignisse;
  std::map<std::string, TStartzustaende> startzustaende;
  int code = 0;
  if (!LangerLauf(m, o, ereignisse, startzustaende, err, code)) return code;

  TEreignisAuftrag a;
  a.Nr = o.Nr - 1;
  a.Element = o.Element;
  a.Parameter = o.Parameter;
  a.Nachlauftage = o.Nachlauftage;
  a.Grafik = !o.Tabelle;
  // A parameter only the table has chooses the table.
  if (!o.Tabelle && !o.Parameter.empty()) {
    const TElement* e = nullptr;
    for (int i = 0; i < m.Count() && !e; ++i)
      if (const TElement* x = TM3Model::ElementOf(m.GetNode(i)); x && x->Name() == o.Element) e = x;
    if (e) {
      const auto grafik = EreignisParameter(EreignisArt(e), true);
      const auto tabelle = EreignisParameter(EreignisArt(e), false);
      if (std::find(grafik.begin(), grafik.end(), o.Parameter) == grafik.end() &&
          std::find(tabelle.begin(), tabelle.end(), o.Parameter) != tabelle.end())
        a.Grafik = false;
    }
  }
  TEreignisLauf ev(m, ereignisse, std::move(startzustaende));
  const TEreignisErgebnis e = ev.Rechne(a);
  for (const std::string& meldung : e.Meldungen) err << "t21: " << meldung << "\n";
  if (!e.Ok) return 1;
  err << "t21: " << e.Titel << "\n";

  const TTabelle t = EreignisAlsTabelle(e);
  Schreibe(t, e, o, out);
  if (!o.Aus.empty()) {
    std::string endung = fs::path(o.Aus).extension().string();
    for (char& c : endung) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string fehler;
    std::string datei = o.Aus;
    bool gut;
    if (endung == ".XLSX" || endung == ".XLS") {
      gut = SaveDataSetToEXCEL(t, datei, "Ganglinie", fehler);
    } else {
      datei = fs::path(o.Aus).replace_extension(".xml").string();
      gut = SchreibePaket(t, datei, fehler);
    }
    if (!gut) {
      err << "t21: " << datei << " nicht geschrieben: " << fehler << "\n";
      return 2;
    }
    err << "t21: geschrieben: " << datei << "\n";
  }
  return 0;
}

}  // namespace t21
