#include "tools/regio.h"

#include <cmath>

#include "model/format.h"
#include "model/records.h"
#include "storage/tabelle.h"

namespace t21 {

const char* RegioLabel(TRegioFeld f) {
  switch (f) {
    case TRegioFeld::Flaeche:
      return "Einzugsgebietsgröße";
    case TRegioFeld::Laenge:
      return "Gewässerlänge + Hanglänge";
    case TRegioFeld::Hoehe:
      return "Höhendifferenz";
    case TRegioFeld::CN:
      return "CN-Wert";
  }
  return "";
}

namespace {

TRegioErgebnis Fehler(TRegioFeld f) {
  TRegioErgebnis e;
  e.Feld = f;
  e.Meldung = std::string("Eingabefehler: ") + RegioLabel(f);
  return e;
}

bool Gueltig(TRegioFeld f, double v) {
  if (!std::isfinite(v) || v <= 0) return false;
  // A curve number above 100 gives a negative retention: no soil does that.
  return f != TRegioFeld::CN || v <= 100;
}

}  // namespace

TRegioErgebnis Regionalisierung(double A, double L, double dH, double CN, const TSpenden& reihe) {
  const double werte[4] = {A, L, dH, CN};
  for (int i = 0; i < 4; ++i)
    if (!Gueltig(static_cast<TRegioFeld>(i), werte[i])) return Fehler(static_cast<TRegioFeld>(i));
  TRegioErgebnis e;
  e.tc = 0.02 * std::pow(L, 0.77) * std::pow(dH * Kehrwert(L), -0.385);
  if (A >= 15) e.tc = 0.7 * e.tc;
  e.r = reihe.GetR(e.tc);
  e.P = e.r * 60 * e.tc / 10000;
  e.S = Kehrwert(CN) * 25400 - 254;
  // The initial abstraction takes up the first 0.05 S of the rain.
  const double ueberschuss = e.P - 0.05 * e.S;
  e.Q = ueberschuss > 0 ? ueberschuss * ueberschuss / (0.95 * e.S + e.P) : 0;
  e.Hq1pnat = Kehrwert(e.tc) * (e.Q * 166.7) * 100;
  // Overflowing figures name the last input read.
  if (!std::isfinite(e.Hq1pnat) || !std::isfinite(e.tc)) return Fehler(TRegioFeld::CN);
  e.Ok = true;
  return e;
}

TRegioErgebnis Regionalisierung(const std::array<std::string, 4>& eingaben, const TSpenden& reihe) {
  double w[4];
  for (int i = 0; i < 4; ++i) {
    w[i] = TextZuZahl(eingaben[static_cast<size_t>(i)], std::nan(""));
    if (!Gueltig(static_cast<TRegioFeld>(i), w[i])) return Fehler(static_cast<TRegioFeld>(i));
  }
  return Regionalisierung(w[0], w[1], w[2], w[3], reihe);
}

std::string RegioText(const TRegioErgebnis& e) {
  return e.Ok ? ZahlText(e.Hq1pnat, 2, false) : std::string("Error");
}

const std::array<TCNZeile, 11>& CNTabelle() {
  static const std::array<TCNZeile, 11> t{{
      {"Ödland ohne nennenswerten Bewuchs", {77, 86, 81, 94}},
      {"Hackfrüchte", {70, 80, 87, 90}},
      {"Getreide, Futterpflanzen", {64, 76, 84, 88}},
      {"Weide (normal)", {49, 69, 79, 84}},
      {"Weide (karg)", {68, 79, 86, 89}},
      {"Dauerwiese", {30, 58, 71, 78}},
      {"Wald (stark aufgelockert)", {45, 66, 77, 83}},
      {"Wald (mitteldicht)", {36, 60, 73, 79}},
      {"Wald (dicht)", {25, 55, 70, 77}},
      {"Feldwege, befestigt", {74, 84, 90, 92}},
      {"undurchlässige Flächen (z. B. Straßen)", {100, 100, 100, 100}},
  }};
  return t;
}

const std::array<const char*, 4>& BodentypTexte() {
  static const std::array<const char*, 4> t{
      "Bodentyp A: Boden mit großem Versickerungsvermögen, auch nach starker Befeuchtung, z. B. "
      "tiefgründige Sande und Kiese",
      "Bodentyp B: Böden mit mittlerem Versickerungsvermögen. Tiefe bis mäßige Böden mit feiner "
      "bis "
      "grober Textur, z. B. mitteltiefe Sandböden, Löß und (schwach) lehmiger Sand",
      "Bodentyp C: Böden mit geringem Versickerungsvermögen. Böden mit feiner bis mäßig feiner "
      "Textur oder mit wasserstauender Schicht, z. B. flache Sandböden und sandiger Lehm ",
      "Bodentyp D: Böden mit sehr geringem Versickerungsvermögen. Tonböden, sehr flache Böden über "
      "nahezu undurchlässigem Material, Böden mit dauernd sehr hohem Grundwasserspiegel"};
  return t;
}

}  // namespace t21
