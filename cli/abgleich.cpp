#include "cli/abgleich.h"

#include "simulation/abgleich.h"
#include "storage/mgl.h"

namespace t21 {

int Abgleich(TM3Model& m, const TAbgleichOptionen& o, std::ostream& out, std::ostream& err) {
  TGanglinie messung;
  if (!o.Messung.empty()) {
    std::string meldung;
    if (!LiesMGL(o.Messung, messung, meldung, o.Zahlen)) {
      err << "t21: " << o.Messung << ": " << meldung << "\n";
      return 2;
    }
    err << "t21: Messwerte: " << o.Messung << " (" << messung.Zeit.size() << " Werte)\n";
  }
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
    if (messung.Leer()) {
      err << "t21: Ohne Messwerte müssen --von und --bis angegeben werden\n";
      return 2;
    }
    if (o.Von.empty()) von = messung.Zeit.front();
    if (o.Bis.empty()) bis = messung.Zeit.back();
  }

  TAbgleichLauf lauf(m);
  TGanglinie berechnet;
  std::vector<std::string> meldungen;
  const bool ok = lauf.Rechne(o.Element, von, bis, berechnet, meldungen);
  for (const std::string& s : meldungen) err << "t21: " << s << "\n";
  if (!ok) return 1;
  err << "t21: " << o.Element << ": " << berechnet.Zeit.size() << " berechnete Werte von "
      << DatumZeitText(von) << " bis " << DatumZeitText(bis) << "\n";

  if (!messung.Leer()) {
    const TAbgleichKennwerte k = Abgleichkennwerte(messung, berechnet);
    for (const std::string& s : k.Meldungen) err << "t21: " << s << "\n";
    out << "VOL:\t" << KennwertText(k.VOL, k.VOLGueltig) << "\tVolumen-Abweichung\n";
    out << "REFF:\t" << KennwertText(k.REFF, k.REFFGueltig) << "\tGanglinien-Abweichung\n";
    out << "SA:\t" << KennwertText(k.SA, k.SAGueltig) << "\tScheitelabfluss-Abweichung\n";
  } else {
    err << "t21: ohne Messwerte keine Kennwerte (--messung DATEI.MGL)\n";
  }
  if (!o.Speichern.empty()) {
    std::string fehler;
    if (!SchreibeMGL(o.Speichern, berechnet.Zeit, berechnet.Q, fehler, o.Zahlen)) {
      err << "t21: " << fehler << "\n";
      return 2;
    }
    err << "t21: berechnete Ganglinie geschrieben: " << o.Speichern << "\n";
  }
  return 0;
}

}  // namespace t21
