#include "simulation/ergebnisse.h"

#include <array>
#include <cctype>
#include <initializer_list>
#include <memory>

#include "storage/datenpaket.h"

namespace t21 {

namespace {

TFeld Feld(std::string name, TFeldTyp typ, int breite = 0) {
  TFeld f;
  f.Name = std::move(name);
  f.Typ = typ;
  f.Breite = breite;
  return f;
}
TFeld Txt(std::string name, int breite) {
  return Feld(std::move(name), TFeldTyp::String, breite);
}
TFeld Zahl(std::string name) {
  return Feld(std::move(name), TFeldTyp::Float);
}
TFeld Ganz(std::string name) {
  return Feld(std::move(name), TFeldTyp::Integer);
}
TFeld Zeit(std::string name) {
  return Feld(std::move(name), TFeldTyp::Date);
}
TFeld Wahr(std::string name) {
  return Feld(std::move(name), TFeldTyp::Boolean);
}

constexpr int kName = 32;  // element names are as wide as shape names
constexpr int kTyp = 3;
constexpr int kJahr = 16;

TTabelle Neu(std::string name, std::vector<TFeld> felder) {
  auto s = std::make_shared<TSchema>();
  s->Name = std::move(name);
  s->Felder = std::move(felder);
  return TTabelle(std::move(s));
}

// The four groups of a structure's row: inflow, overflow after the tank,
// tank overflow, throttle.
void Gruppen(std::vector<TFeld>& f) {
  for (const char* suffix : {"", "_KUE", "_BUE", "_ges"})
    for (const char* g : {"Q", "BSB", "NH4", "AFS", "CSB", "T"})
      f.push_back(Zahl(std::string(g) + suffix));
}

TTabelle Meldungstabelle(std::string name, int breiteS3) {
  return Neu(std::move(name), {Txt("S1", 32), Txt("S2", 64), Txt("S3", breiteS3)});
}

TTabelle Ereignistabelle(std::string name) {
  std::vector<TFeld> f{Ganz("Nr"),    Txt("Name", kName), Txt("Typ", kTyp), Txt("Jahr", kJahr),
                       Zeit("Start"), Zeit("Ende"),       Zahl("Dauer")};
  Gruppen(f);
  return Neu(std::move(name), std::move(f));
}

TTabelle Frachttabelle(std::string name) {
  std::vector<TFeld> f{Ganz("Nr"), Txt("Name", kName), Txt("Typ", kTyp), Txt("Jahr", kJahr)};
  Gruppen(f);
  f.push_back(Zahl("AFS_Vorbelastung"));
  return Neu(std::move(name), std::move(f));
}

TTabelle Zahlentabelle(std::string name, std::vector<TFeld> kopf,
                       std::initializer_list<const char*> zahlen) {
  for (const char* z : zahlen) kopf.push_back(Zahl(z));
  return Neu(std::move(name), std::move(kopf));
}

TTabelle ESTEreignisse() {
  std::vector<TFeld> f{Ganz("Nr"),   Txt("Name", kName), Zeit("Start"),
                       Zeit("Ende"), Zahl("Dauer"),      Txt("Klasse", 16)};
  for (const char* z : {"MAXQ", "Q", "QE", "MinO2", "MaxNH3", "MaxAFS", "MedO2_kurz",
                        "MedO2_mittel", "MedO2_lang", "MedNH3_kurz", "MedNH3_mittel", "MedNH3_lang",
                        "MedAFS_kurz", "MedAFS_mittel", "MedAFS_lang"})
    f.push_back(Zahl(z));
  return Neu("CDSESTEreignisse", std::move(f));
}

TTabelle HDAuswertung() {
  std::vector<TFeld> f{Txt("Element", kName), Txt("Parameter", 8)};
  for (int i = 1; i <= 9; ++i) f.push_back(Zahl("G" + std::to_string(i)));
  for (int i = 1; i <= 9; ++i) f.push_back(Zahl("E" + std::to_string(i)));
  for (int i = 1; i <= 12; ++i) f.push_back(Zahl("M" + std::to_string(i)));
  for (int i = 1; i <= 21; ++i) f.push_back(Wahr("OK" + std::to_string(i)));
  for (const char* z :
       {"EA0", "EA1", "EA2", "EB0", "EB1", "EB2", "MA0", "MA1", "MA2", "MB0", "MB1", "MB2"})
    f.push_back(Zahl(z));
  f.push_back(Wahr("OK"));
  return Neu("CDSHDAuswertung", std::move(f));
}

TTabelle Animation() {
  std::vector<TFeld> f{Zeit("Zeit")};
  for (const char* z : {"Q", "P1", "P2", "P3", "P4", "P5"}) f.push_back(Zahl(z));
  return Neu("CDSAnimation", std::move(f));
}

// The tables in the module's order.
using Glied = TTabelle TDataModule2::*;
constexpr std::array<Glied, 18> kReihenfolge{&TDataModule2::CDSReport,
                                             &TDataModule2::CDSEreignisse,
                                             &TDataModule2::CDSEreignisseGewaesser,
                                             &TDataModule2::CDSESTEreignisse,
                                             &TDataModule2::CDSEreignisseBauwerke,
                                             &TDataModule2::CDSFrachtenGewaesser,
                                             &TDataModule2::CDSFrachtenBauwerke,
                                             &TDataModule2::CDSSumKEZ,
                                             &TDataModule2::CDSSumA128,
                                             &TDataModule2::CDSSumOMA,
                                             &TDataModule2::CDSSUMKLG,
                                             &TDataModule2::CDSSumEST,
                                             &TDataModule2::CDSSumREG,
                                             &TDataModule2::CDSFehler,
                                             &TDataModule2::CDSHDAuswertung,
                                             &TDataModule2::CDSHDAbfluss,
                                             &TDataModule2::CDSAnimation,
                                             &TDataModule2::CDSREG1};

bool GleichOhneCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Where the file name begins (after the last path separator).
size_t NamensAnfang(const std::string& datei) {
  const auto p = datei.find_last_of("/\\");
  return p == std::string::npos ? 0 : p + 1;
}

bool EndungS21(const std::string& datei) {
  return datei.size() >= 4 &&
         GleichOhneCase(std::string_view(datei).substr(datei.size() - 4), ".S21");
}

// The packet of a table as it is written: date-time columns as floats (days
// since 1899-12-30 with the time of day), because the packet's date form
// keeps the day only.
TTabelle Plattenform(const TTabelle& t) {
  auto s = std::make_shared<TSchema>(t.Schema());
  for (TFeld& f : s->Felder)
    if (f.Typ == TFeldTyp::Date) f.Typ = TFeldTyp::Float;
  TTabelle r(std::move(s));
  for (int z = 0; z < t.Anzahl(); ++z) {
    const int n = r.Anhaengen();
    for (int i = 0; i < t.Spalten(); ++i) r.Setze(n, i, t.Wert(z, i));
  }
  return r;
}

}  // namespace

TDataModule2::TDataModule2()
    : CDSReport(Meldungstabelle("CDSReport", 32)),
      CDSEreignisse(Neu("CDSEreignisse", {Ganz("Nr."), Zeit("Beginn"), Zeit("Ende"),
                                          Txt("Dauer", 16), Wahr("Entlastung")})),
      CDSEreignisseGewaesser(Ereignistabelle("CDSEreignisseGewaesser")),
      CDSESTEreignisse(ESTEreignisse()),
      CDSEreignisseBauwerke(Ereignistabelle("CDSEreignisseBauwerke")),
      CDSFrachtenGewaesser(Frachttabelle("CDSFrachtenGewaesser")),
      CDSFrachtenBauwerke(Frachttabelle("CDSFrachtenBauwerke")),
      CDSSumKEZ(Zahlentabelle("CDSSumKEZ",
                              {Txt("Jahr", kJahr), Txt("Element", kName), Txt("Typ", kTyp)},
                              {"AU", "N", "NEFF", "PSI", "QGES", "QS", "QF", "QR", "_QR", "SUMQGES",
                               "SUMQS", "SUMQF", "SUMQR", "_SUMQR"})),
      CDSSumA128(Zahlentabelle(
          "CDSSumA128", {Txt("Jahr", kJahr), Txt("Element", kName), Txt("Typ", kTyp)},
          {"AU", "QZU", "QS", "QF", "QR", "QD", "QKUE", "TKUE", "QBUE", "TBUE", "n", "E0"})),
      CDSSumOMA(Zahlentabelle(
          "CDSSumOMA", {Txt("Jahr", kJahr), Txt("Element", kName)},
          {"AU", "QZU", "QS", "QF", "QR", "QD", "QKUE", "TKUE", "QBUE", "TBUE", "n", "E0"})),
      CDSSUMKLG(Zahlentabelle("CDSSUMKLG", {Txt("Jahr", kJahr), Txt("Element", kName)},
                              {"JAM", "JSM", "QRbehandelt", "QRentlastet", "E0"})),
      CDSSumEST(Zahlentabelle("CDSSumEST", {Txt("Jahr", kJahr), Txt("Element", kName)},
                              {"HQ1", "QE1zul", "maxQE", "eQ", "MNQ", "minO2", "eO2", "maxNH3",
                               "eNH3", "maxAFS", "eAFS", "maxCSB", "eCSB"})),
      CDSSumREG(Zahlentabelle("CDSSumREG", {Txt("Jahr", kJahr), Txt("Regenschreiber", kName)},
                              {"N", "V", "Stunden"})),
      // S3 holds the longest message texts of the checks and the rain series.
      CDSFehler(Meldungstabelle("CDSFehler", 128)),
      CDSHDAuswertung(HDAuswertung()),
      CDSHDAbfluss(
          Neu("CDSHDAbfluss", {Txt("Element", kName), Zahl("MNQ"), Zahl("HQ1pnat"), Zahl("HQ2pnat"),
                               Zahl("HQ1vorh"), Zahl("HQ2vorh"), Zahl("QE1vorh"), Zahl("QE2vorh"),
                               Zahl("A"), Zahl("B"), Wahr("OK"), Txt("OKS", 1)})),
      CDSAnimation(Animation()),
      CDSREG1(Neu("CDSREG1", {Txt("Element", 32), Txt("Station", 32), Txt("Anfangsdatum", 32),
                              Txt("Enddatum", 32)})) {}

std::vector<TTabelle*> TDataModule2::Tabellen() {
  std::vector<TTabelle*> r;
  for (Glied g : kReihenfolge) r.push_back(&(this->*g));
  return r;
}

std::vector<const TTabelle*> TDataModule2::Tabellen() const {
  std::vector<const TTabelle*> r;
  for (Glied g : kReihenfolge) r.push_back(&(this->*g));
  return r;
}

TTabelle* TDataModule2::Tabelle(std::string_view name) {
  for (TTabelle* t : Tabellen())
    if (GleichOhneCase(t->Schema().Name, name)) return t;
  return nullptr;
}

void TDataModule2::Leeren() {
  for (TTabelle* t : Tabellen()) t->Leeren();
}

void TDataModule2::Uebernehmen(TTabelle& t, const std::vector<TMeldungZeile>& zeilen) {
  t.Leeren();
  for (const TMeldungZeile& m : zeilen) TNeueZeile{t}("S1", m.S1)("S2", m.S2)("S3", m.S3);
}

std::vector<TMeldungZeile> TDataModule2::Meldungen(const TTabelle& t) {
  std::vector<TMeldungZeile> r;
  for (int z = 0; z < t.Anzahl(); ++z)
    r.push_back({AlsText(t.Wert(z, "S1")), AlsText(t.Wert(z, "S2")), AlsText(t.Wert(z, "S3"))});
  return r;
}

std::string TDataModule2::SpeicherBasis(const std::string& datei) {
  std::string basis = datei.substr(0, datei.size() >= 4 ? datei.size() - 4 : 0);
  const size_t anfang = NamensAnfang(basis);
  const auto p = basis.find("_CDSReport", anfang);
  if (p != std::string::npos && p > anfang) basis.erase(p);
  return basis;
}

std::string TDataModule2::LadeBasis(const std::string& datei) {
  const size_t anfang = NamensAnfang(datei);
  const auto p = datei.find_last_of('_');
  if (p != std::string::npos && p >= anfang) return datei.substr(0, p);
  return datei.substr(0, datei.size() >= 4 ? datei.size() - 4 : 0);
}

std::string TDataModule2::Dateiname(const std::string& basis, const std::string& tabelle) {
  return basis + "_" + tabelle + (tabelle == "CDSReport" ? ".s21" : ".xml");
}

bool TDataModule2::Speichern(const std::string& datei, std::string& fehler) const {
  if (!EndungS21(datei)) {
    fehler = "Ungültige Datei-Extension";
    return false;
  }
  const std::string basis = SpeicherBasis(datei);
  for (const TTabelle* t : Tabellen())
    if (!SchreibePaket(Plattenform(*t), Dateiname(basis, t->Schema().Name), fehler)) return false;
  return true;
}

bool TDataModule2::Laden(const std::string& datei, std::vector<std::string>& meldungen) {
  if (!EndungS21(datei)) {
    meldungen.push_back(datei + "\nist keine gültige TamKor21 - Simulations - Datei");
    return false;
  }
  const std::string basis = LadeBasis(datei);
  TDataModule2 neu;
  bool alle = true;
  for (TTabelle* t : neu.Tabellen()) {
    const std::string name = Dateiname(basis, t->Schema().Name);
    std::string fehler;
    const auto gelesen = LiesPaket(name, fehler);
    if (!gelesen) {
      meldungen.push_back("Datei " + name + "konnte nicht geladen werden");
      alle = false;
      continue;
    }
    // Every column that the file holds under the same name, where it is not
    // null.
    std::vector<std::pair<int, int>> spalten;
    for (int i = 0; i < t->Spalten(); ++i) {
      const int q = gelesen->Schema().Index(t->Schema().Felder[static_cast<size_t>(i)].Name);
      if (q >= 0) spalten.emplace_back(i, q);
    }
    for (int z = 0; z < gelesen->Anzahl(); ++z) {
      const int n = t->Anhaengen();
      for (const auto& [i, q] : spalten)
        if (!IstNull(gelesen->Wert(z, q))) t->Setze(n, i, gelesen->Wert(z, q));
    }
  }
  if (alle) *this = std::move(neu);
  return alle;
}

}  // namespace t21
