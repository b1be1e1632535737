#include "model/regen.h"

#include <charconv>
#include <cmath>

#include "cad/shape.h"
#include "model/catchments.h"
#include "model/elements.h"
#include "model/simulation.h"

namespace t21 {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Field (c, n): n characters from column c (1-based), clipped to the line.
std::string Feld(const std::string& z, size_t c, size_t n) {
  if (c == 0 || c > z.size()) return {};
  return z.substr(c - 1, n);
}

std::string Getrimmt(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return s.substr(a, b - a);
}

bool Ganzzahl(const std::string& feld, int& wert) {
  const std::string t = Getrimmt(feld);
  if (t.empty()) return false;
  const char* a = t.data();
  if (*a == '+') ++a;
  const auto r = std::from_chars(a, t.data() + t.size(), wert);
  return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

enum class Wert { Zahl, Leer, Unlesbar };

Wert Zahl(const std::string& feld, double& wert) {
  const std::string t = Getrimmt(feld);
  wert = 0;
  if (t.empty()) return Wert::Leer;
  const char* a = t.data();
  if (*a == '+') ++a;
  const auto r = std::from_chars(a, t.data() + t.size(), wert);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(wert)) {
    wert = 0;
    return Wert::Unlesbar;
  }
  return Wert::Zahl;
}

bool Datum(int tag, int monat, int jahr, int stunde, int minute, int sekunde, TDateTime& t) {
  if (stunde < 0 || stunde > 24 || minute < 0 || minute > 59 || sekunde < 0 || sekunde > 59)
    return false;
  if (!EncodeDate(jahr, monat, tag, t)) return false;
  t += EncodeTime(stunde, minute, sekunde, 0);  // hour 24 is 00:00 of the next day
  return true;
}

}  // namespace

TREG::~TREG() = default;

void TREG::AssignValues(const TElement& e) {
  TElement::AssignValues(e);
  if (const auto* r = dynamic_cast<const TREG*>(&e)) FileName = r->FileName;
}

bool TREG::NaechsteZeile(std::string& zeile) {
  if (!FHatVorschau) return false;
  zeile = std::move(FVorschau);
  ++FZeile;
  FHatVorschau = static_cast<bool>(std::getline(FRainFile, FVorschau));
  if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
  return true;
}

void TREG::Schliessen() {
  if (FRainFile.is_open()) FRainFile.close();
  FHatVorschau = false;
}

bool TREG::ReadHeader() {
  Schliessen();
  AnfangsDatum = EndDatum = AktDatum = 0;
  Regen.fill(0);
  Fehler.clear();
  FZeile = 0;
  FUebersprungen = FUnlesbar = FNegativ = 0;
  FRainFile.clear();
  FRainFile.open(FileName, std::ios::binary);
  if (!FRainFile) {
    Fehler = "Regendatei nicht gefunden";
    return false;
  }
  FHatVorschau = static_cast<bool>(std::getline(FRainFile, FVorschau));
  std::string z1, z2, z3;
  if (!NaechsteZeile(z1) || !NaechsteZeile(z2)) {
    Fehler = "Ungültige Regendatei: Kopfzeilen fehlen";
    return false;
  }
  auto fehler = [this](const char* was) {
    Fehler = std::string("Ungültige Regendatei: ") + was + " im Dateikopf ist keine Zahl";
    return false;
  };
  int tag, monat, jahr, h = 0, mi = 0, s = 0;
  if (Feld(z1, 6, 8) == " 0 0   0") {
    FFormat = "M";
    Nr = Feld(z1, 1, 5);
    Station = Feld(z1, 21, 30);
    int n = 0;
    if (!Ganzzahl(Feld(z2, 21, 5), DT)) return fehler("Intervallbreite");
    if (!Ganzzahl(Feld(z2, 26, 5), Zehnerpotenz)) return fehler("Zehnerpotenz");
    if (!Ganzzahl(Feld(z2, 31, 2), tag) || !Ganzzahl(Feld(z2, 33, 2), monat) ||
        !Ganzzahl(Feld(z2, 35, 4), jahr) || !Ganzzahl(Feld(z2, 39, 2), h) ||
        !Ganzzahl(Feld(z2, 41, 2), mi) || !Ganzzahl(Feld(z2, 43, 2), s) ||
        !Datum(tag, monat, jahr, h, mi, s, AnfangsDatum))
      return fehler("Anfangsdatum");
    if (!Ganzzahl(Feld(z2, 45, 2), tag) || !Ganzzahl(Feld(z2, 47, 2), monat) ||
        !Ganzzahl(Feld(z2, 49, 4), jahr) || !Ganzzahl(Feld(z2, 53, 2), h) ||
        !Ganzzahl(Feld(z2, 55, 2), mi) || !Ganzzahl(Feld(z2, 57, 2), s) ||
        !Datum(tag, monat, jahr, h, mi, s, EndDatum))
      return fehler("Enddatum");
    if (!Ganzzahl(Feld(z2, 59, 5), n)) return fehler("Zahl der Kopfzeilen");
    for (int i = 0; i < n && NaechsteZeile(z3); ++i) {
    }
  } else {
    FFormat = "L";
    Nr = Feld(z1, 1, 5);
    if (!Ganzzahl(Feld(z1, 6, 3), DT)) return fehler("Intervallbreite");
    Station = Getrimmt(Feld(z1, 9, 70));
    if (!Ganzzahl(Feld(z2, 21, 2), tag) || !Ganzzahl(Feld(z2, 23, 3), monat) ||
        !Ganzzahl(Feld(z2, 26, 5), jahr) || !Datum(tag, monat, jahr, 0, 0, 0, AnfangsDatum))
      return fehler("Anfangsdatum");
    if (!Ganzzahl(Feld(z2, 31, 2), tag) || !Ganzzahl(Feld(z2, 33, 3), monat) ||
        !Ganzzahl(Feld(z2, 36, 5), jahr) || !Datum(tag, monat, jahr, 0, 0, 0, EndDatum))
      return fehler("Enddatum");
    NaechsteZeile(z3);
  }
  return true;
}

bool TREG::ReadRain(const TSimulation& sim) {
  if (sim.Zeit >= sim.Ende || AmEnde()) {
    Regen.fill(0);
    return true;
  }
  std::string z;
  TDateTime t = AktDatum;
  bool schluss = false;
  while (NaechsteZeile(z)) {
    int tag, monat, jahr, h, mi = 0;
    bool gut;
    if (FFormat == "M") {
      gut = Ganzzahl(Feld(z, 6, 2), tag) && Ganzzahl(Feld(z, 8, 2), monat) &&
            Ganzzahl(Feld(z, 10, 4), jahr) && Ganzzahl(Feld(z, 14, 2), h) &&
            Ganzzahl(Feld(z, 16, 2), mi);
      schluss = Feld(z, 20, 1) == "E";
    } else {
      gut = Ganzzahl(Feld(z, 10, 2), tag) && Ganzzahl(Feld(z, 12, 2), monat) &&
            Ganzzahl(Feld(z, 14, 4), jahr) && Ganzzahl(Feld(z, 19, 2), h);
    }
    if (!gut || !Datum(tag, monat, jahr, h, mi, 0, t)) {
      Fehler = "Ungültiger Datensatz in Zeile " + std::to_string(FZeile) + ": Datum nicht lesbar";
      Regen.fill(0);
      return false;
    }
    if (schluss) {
      // The closing record ends the series; nothing after it is read.
      Schliessen();
      break;
    }
    if (t > AktDatum) break;
    ++FUebersprungen;  // not later than the record held
  }
  AktDatum = t;
  if (t >= sim.Ende || AmEnde()) {
    Regen.fill(0);
    return true;
  }
  if (t < sim.CalcStart) return true;
  const double teiler = (FFormat == "L" || Zehnerpotenz == -3) ? 1000.0 : 100.0;
  for (size_t i = 0; i < 12; ++i) {
    double w;
    if (Zahl(Feld(z, 21 + 5 * i, 5), w) == Wert::Unlesbar) ++FUnlesbar;
    if (w < 0) {
      ++FNegativ;
      w = 0;
    }
    Regen[i] = w / teiler;
  }
  return true;
}

bool TREG::Positionieren(const TSimulation& sim, std::vector<TRegenMeldung>& meldungen) {
  AEB = 0;
  FEmpfaenger.clear();
  if (Owner)
    for (const TCadShape* s : Owner->Zufluesse()) {
      auto* e = dynamic_cast<TElement*>(s->Data());
      if (dynamic_cast<TKEZ*>(e) || dynamic_cast<TAEO*>(e)) FEmpfaenger.push_back(e);
    }
  if (!ReadHeader()) return false;
  if (DT <= 0) {
    Fehler = "Ungültige Regendatei: Intervallbreite " + std::to_string(DT) + " min";
    return false;
  }
  auto warnung = [&](const std::string& text) { meldungen.push_back({"Warnung", Name(), text}); };
  if (EndDatum + 1 < sim.Ende || EndDatum < sim.Start)
    warnung("Regenreihe endet " + DatumText(EndDatum));
  if (AnfangsDatum > sim.Start) warnung("Regenreihe beginnt " + DatumText(AnfangsDatum));
  if (!ReadRain(sim)) return false;
  if (AktDatum > sim.Ende) {
    warnung("Regenreihe beginnt " + DatumText(AktDatum));
  } else {
    while (AktDatum + kZeitEps < sim.Zeit) {
      if (AmEnde()) {
        warnung("Regenreihe endet bereits " + DatumText(AktDatum));
        break;
      }
      if (!ReadRain(sim)) return false;
    }
  }
  return true;
}

double TREG::Verdunstung(const TSimulation& sim) const {
  const int h = DecodeDateTime(sim.Zeit).Stunde;
  return sim.EpotTag / 24 * (1 - 0.9 * std::cos((h - 2.5) * 2 * kPi / 24)) / 60 * sim.dt_min;
}

double TREG::SendRain(TSimulation& sim, bool& ok) {
  ok = true;
  sim.SetAktTemperatur();
  double v;
  if (AktDatum - kZeitEps > sim.Zeit || sim.Ende + kZeitEps < sim.Zeit || AktDatum == 0) {
    v = -Verdunstung(sim);
  } else {
    int k = sim.Block;
    if (DT == 1) k = static_cast<int>(std::nearbyint((sim.Zeit - AktDatum) * 1440)) + 1;
    const double r = (k >= 1 && k <= 12) ? Regen[static_cast<size_t>(k - 1)] : 0.0;
    if (r == 0) {
      v = -Verdunstung(sim);
    } else {
      v = r / sim.MaxIntervall;
      sim.EsRegnet = true;
      sim.RegenEnde = sim.Zeit;
    }
    if ((k == 12 && sim.Intervall == sim.MaxIntervall) || k > 12) ok = ReadRain(sim);
  }
  TFrachten& a = Zustand.Aktuell;
  if (v >= 0) {
    a.Regen() = v;
    a.Verdunstung() = 0;
    if (sim.IsBilanzZeit) {
      Zustand.Jahr.Regen() += v;
      Zustand.Jahr.Stunden += sim.dt_h;
    }
  } else {
    a.Verdunstung() = -v;
    a.Regen() = 0;
    if (sim.IsBilanzZeit) Zustand.Jahr.Verdunstung() += v;
  }
  for (TElement* e : FEmpfaenger) e->ReceiveRain(sim, v);
  return v;
}

void TREG::SammleHinweise(std::vector<TRegenMeldung>& meldungen) {
  auto hinweis = [&](long n, const std::string& text) {
    if (n > 0) meldungen.push_back({"Warnung", Name(), std::to_string(n) + " " + text});
  };
  hinweis(FUebersprungen, "Datensätze ohne spätere Zeit übersprungen");
  hinweis(FUnlesbar, "nicht lesbare Werte als 0 mm gelesen");
  hinweis(FNegativ, "negative Werte als 0 mm gelesen");
  FUebersprungen = FUnlesbar = FNegativ = 0;
}

}  // namespace t21
