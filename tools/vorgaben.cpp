#include "tools/vorgaben.h"

#include <cctype>
#include <cmath>

#include "model/format.h"
#include "storage/tabelle.h"

namespace t21 {

namespace {

std::string Zahl(double v, bool ganz) {
  if (ganz) return std::to_string(static_cast<long long>(std::llround(v)));
  // The shortest decimal text that reads back as the same number.
  for (int n = 0; n <= 17; ++n) {
    const std::string s = ZahlText(v, n, false);
    if (TextZuZahl(s, std::nan("")) == v) return s;
  }
  return ZahlText(v, 17, false);
}

}  // namespace

TVorgabenEditor::TVorgabenEditor(const TDataModule1& dm) : FDM(dm) {
  for (const auto& v : dm.StandardVorgaben) {
    const TTabelle& t = dm.T(v.Tabelle);
    const TFeld& f = t.Schema().Felder[static_cast<size_t>(v.Spalte)];
    std::string code = v.Tabelle.size() >= 6 ? v.Tabelle.substr(3, 3) : v.Tabelle;
    for (char& c : code) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    FZeilen.push_back({code + "." + (f.Label.empty() ? f.Name : f.Label), t.Vorgabe(v.Spalte),
                       v.Ausdruck, v.Tabelle, v.Spalte});
  }
}

const TFeld& TVorgabenEditor::Feld(int k) const {
  const TVorgabeZeile& z = FZeilen[static_cast<size_t>(k)];
  return FDM.T(z.Tabelle).Schema().Felder[static_cast<size_t>(z.Spalte)];
}

std::string TVorgabenEditor::MinText(int k) const {
  if (k < 0 || k >= Anzahl()) return {};
  const TFeld& f = Feld(k);
  if (f.Typ != TFeldTyp::Float && f.Typ != TFeldTyp::Integer) return {};
  if (!f.Min) return {};
  return Zahl(*f.Min, f.Typ == TFeldTyp::Integer);
}

std::string TVorgabenEditor::MaxText(int k) const {
  if (k < 0 || k >= Anzahl()) return {};
  const TFeld& f = Feld(k);
  if (f.Typ != TFeldTyp::Float && f.Typ != TFeldTyp::Integer) return {};
  if (!f.Max) return {};
  return Zahl(*f.Max, f.Typ == TFeldTyp::Integer);
}

std::string TVorgabenEditor::TypText(int k) const {
  if (k < 0 || k >= Anzahl()) return {};
  switch (Feld(k).Typ) {
    case TFeldTyp::Float:
      return "Fliesskommazahl";
    case TFeldTyp::Integer:
      return "Ganzzahl";
    case TFeldTyp::Boolean:
      return "Boolean";
    case TFeldTyp::String:
    case TFeldTyp::Memo:
      return "Text";
    case TFeldTyp::Date:
      return "Datum";
    case TFeldTyp::Nested:
      break;
  }
  return {};
}

void TVorgabenEditor::Zuruecksetzen(int k) {
  if (k < 0 || k >= Anzahl()) return;
  auto& z = FZeilen[static_cast<size_t>(k)];
  z.Wert = z.Standard;
}

void TVorgabenEditor::AlleZuruecksetzen() {
  for (int k = 0; k < Anzahl(); ++k) Zuruecksetzen(k);
}

bool TVorgabenEditor::Geaendert() const {
  for (const auto& z : FZeilen)
    if (z.Wert != FDM.T(z.Tabelle).Vorgabe(z.Spalte)) return true;
  return false;
}

void TVorgabenEditor::Uebernehmen(TDataModule1& dm) const {
  for (const auto& z : FZeilen) {
    const auto it = dm.Tabellen.find(z.Tabelle);
    if (it != dm.Tabellen.end() && z.Spalte < it->second->Spalten())
      it->second->SetzeVorgabe(z.Spalte, z.Wert);
  }
}

void VorgabenUebertragen(const TDataModule1& von, TDataModule1& nach) {
  for (const auto& [code, t] : von.Dateien) {
    const auto it = nach.Tabellen.find(t->Schema().Name);
    if (it == nach.Tabellen.end()) continue;
    for (int i = 0; i < t->Spalten() && i < it->second->Spalten(); ++i)
      it->second->SetzeVorgabe(i, t->Vorgabe(i));
  }
}

}  // namespace t21
