#include "storage/tabelle.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace t21 {

namespace {

bool GleichOhneCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string Getrimmt(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return std::string(s);
}

const TWert kNull{};

// Characters of UTF-8 text, for the widths of String columns.
size_t Zeichen(const std::string& s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string Gekuerzt(const std::string& s, int breite) {
  if (breite <= 0 || Zeichen(s) <= static_cast<size_t>(breite)) return s;
  size_t n = 0, i = 0;
  for (; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == static_cast<size_t>(breite)) break;
      ++n;
    }
  }
  return s.substr(0, i);
}

}  // namespace

int TSchema::Index(std::string_view name) const {
  for (size_t i = 0; i < Felder.size(); ++i)
    if (GleichOhneCase(Felder[i].Name, name)) return static_cast<int>(i);
  return -1;
}

bool IstNull(const TWert& w) {
  return std::holds_alternative<std::monostate>(w);
}

double AlsZahl(const TWert& w, double ersatz) {
  if (auto* i = std::get_if<int32_t>(&w)) return *i;
  if (auto* d = std::get_if<double>(&w)) return *d;
  if (auto* b = std::get_if<bool>(&w)) return *b ? 1 : 0;
  if (auto* s = std::get_if<std::string>(&w)) return TextZuZahl(*s, ersatz);
  return ersatz;
}

int32_t AlsGanzzahl(const TWert& w, int32_t ersatz) {
  if (auto* i = std::get_if<int32_t>(&w)) return *i;
  if (auto* d = std::get_if<double>(&w)) {
    if (!std::isfinite(*d) || std::fabs(*d) > 2147483647.0) return ersatz;
    return static_cast<int32_t>(std::nearbyint(*d));
  }
  if (auto* b = std::get_if<bool>(&w)) return *b ? 1 : 0;
  if (auto* s = std::get_if<std::string>(&w)) {
    const std::string t = Getrimmt(*s);
    int32_t v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec == std::errc() && r.ptr == t.data() + t.size() && !t.empty()) return v;
  }
  return ersatz;
}

bool AlsBool(const TWert& w, bool ersatz) {
  if (auto* b = std::get_if<bool>(&w)) return *b;
  if (auto* i = std::get_if<int32_t>(&w)) return *i != 0;
  if (auto* s = std::get_if<std::string>(&w)) {
    if (GleichOhneCase(*s, "TRUE")) return true;
    if (GleichOhneCase(*s, "FALSE")) return false;
  }
  return ersatz;
}

std::string AlsText(const TWert& w) {
  if (auto* s = std::get_if<std::string>(&w)) return *s;
  if (auto* i = std::get_if<int32_t>(&w)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&w)) {
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, *d);
    return std::string(b, r.ptr);
  }
  if (auto* b = std::get_if<bool>(&w)) return *b ? "TRUE" : "FALSE";
  return {};
}

TTabelle::TTabelle(std::shared_ptr<const TSchema> schema) : FSchema(std::move(schema)) {
  for (const auto& f : FSchema->Felder) FVorgaben.push_back(f.Vorgabe);
}

int TTabelle::Anhaengen() {
  // Nested tables are created when first asked for (Kind), not for every
  // record: a record of a table with many nested columns stays small.
  FZeilen.emplace_back(FSchema->Felder.size());
  return Anzahl() - 1;
}

int TTabelle::AnhaengenMitVorgaben() {
  const int z = Anhaengen();
  for (int i = 0; i < Spalten(); ++i)
    if (FSchema->Felder[static_cast<size_t>(i)].Typ != TFeldTyp::Nested)
      FZeilen[static_cast<size_t>(z)][static_cast<size_t>(i)] = Vorgabewert(i);
  return z;
}

void TTabelle::Loeschen(int zeile) {
  if (zeile >= 0 && zeile < Anzahl()) FZeilen.erase(FZeilen.begin() + zeile);
}

const TWert& TTabelle::Wert(int zeile, int spalte) const {
  if (zeile < 0 || zeile >= Anzahl() || spalte < 0 || spalte >= Spalten()) return kNull;
  return FZeilen[static_cast<size_t>(zeile)][static_cast<size_t>(spalte)];
}

const TWert& TTabelle::Wert(int zeile, std::string_view spalte) const {
  return Wert(zeile, FSchema->Index(spalte));
}

bool TTabelle::Setze(int zeile, std::string_view spalte, const TWert& w) {
  return Setze(zeile, FSchema->Index(spalte), w);
}

bool TTabelle::Setze(int zeile, int spalte, const TWert& w) {
  if (zeile < 0 || zeile >= Anzahl() || spalte < 0 || spalte >= Spalten()) return false;
  const TFeld& f = FSchema->Felder[static_cast<size_t>(spalte)];
  TWert& ziel = FZeilen[static_cast<size_t>(zeile)][static_cast<size_t>(spalte)];
  if (IstNull(w)) {
    ziel = w;
    return true;
  }
  auto imBereich = [&f](double v) { return !(f.Min && v < *f.Min) && !(f.Max && v > *f.Max); };
  switch (f.Typ) {
    case TFeldTyp::Integer: {
      const int32_t v = AlsGanzzahl(w);
      if (!imBereich(v)) return false;
      ziel = v;
      return true;
    }
    case TFeldTyp::Float:
    case TFeldTyp::Date: {
      const double v = AlsZahl(w);
      if (!imBereich(v)) return false;
      ziel = v;
      return true;
    }
    case TFeldTyp::Boolean:
      ziel = AlsBool(w);
      return true;
    case TFeldTyp::String:
      ziel = Gekuerzt(AlsText(w), f.Breite);
      return true;
    case TFeldTyp::Memo:
      ziel = AlsText(w);
      return true;
    case TFeldTyp::Nested:
      if (!std::holds_alternative<std::shared_ptr<TTabelle>>(w)) return false;
      ziel = w;
      return true;
  }
  return false;
}

TTabelle& TTabelle::Kind(int zeile, std::string_view spalte) {
  const int s = FSchema->Index(spalte);
  if (s < 0 || FSchema->Felder[static_cast<size_t>(s)].Typ != TFeldTyp::Nested)
    throw std::out_of_range("keine geschachtelte Tabelle: " + std::string(spalte));
  TWert& w = FZeilen.at(static_cast<size_t>(zeile)).at(static_cast<size_t>(s));
  auto* p = std::get_if<std::shared_ptr<TTabelle>>(&w);
  if (!p || !*p) {
    w = std::make_shared<TTabelle>(FSchema->Felder[static_cast<size_t>(s)].Nested);
    p = std::get_if<std::shared_ptr<TTabelle>>(&w);
  }
  return **p;
}

const TTabelle* TTabelle::Kind(int zeile, std::string_view spalte) const {
  const TWert& w = Wert(zeile, spalte);
  auto* p = std::get_if<std::shared_ptr<TTabelle>>(&w);
  return p ? p->get() : nullptr;
}

int TTabelle::Finde(std::string_view spalte, std::string_view text, int ab) const {
  const int s = FSchema->Index(spalte);
  if (s < 0) return -1;
  for (int z = std::max(ab, 0); z < Anzahl(); ++z) {
    const auto* t =
        std::get_if<std::string>(&FZeilen[static_cast<size_t>(z)][static_cast<size_t>(s)]);
    if (t && *t == text) return z;
  }
  return -1;
}

int TTabelle::Finde(std::string_view spalte, int32_t wert, int ab) const {
  const int s = FSchema->Index(spalte);
  if (s < 0) return -1;
  for (int z = std::max(ab, 0); z < Anzahl(); ++z) {
    const TWert& w = FZeilen[static_cast<size_t>(z)][static_cast<size_t>(s)];
    if (!IstNull(w) && AlsGanzzahl(w, wert + 1) == wert) return z;
  }
  return -1;
}

std::string TTabelle::Vorgabe(int spalte) const {
  if (spalte < 0 || spalte >= Spalten()) return {};
  return FVorgaben[static_cast<size_t>(spalte)];
}

void TTabelle::SetzeVorgabe(int spalte, std::string ausdruck) {
  if (spalte >= 0 && spalte < Spalten())
    FVorgaben[static_cast<size_t>(spalte)] = std::move(ausdruck);
}

TWert TTabelle::Vorgabewert(int spalte) const {
  const std::string a = Vorgabe(spalte);
  if (a.empty()) return {};
  switch (FSchema->Felder[static_cast<size_t>(spalte)].Typ) {
    case TFeldTyp::Float:
      return TextZuZahl(a, 0);
    case TFeldTyp::Integer: {
      TWert t = a;
      return AlsGanzzahl(t, 0);
    }
    case TFeldTyp::String:
    case TFeldTyp::Memo:
      return a.size() >= 2 ? a.substr(1, a.size() - 2) : std::string();
    case TFeldTyp::Boolean:
      return a == "TRUE";
    default:
      return {};
  }
}

std::string Zeilen(const std::vector<std::string>& z) {
  std::string r;
  for (size_t i = 0; i < z.size(); ++i) r += (i ? "\r\n" : "") + z[i];
  return r;
}

std::vector<std::string> ZeilenAus(const std::string& t) {
  std::vector<std::string> r;
  if (t.empty()) return r;
  std::string z;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    if (t[i] == '\n' || t[i] == '\r') {
      r.push_back(z);
      z.clear();
    } else {
      z += t[i];
    }
  }
  r.push_back(z);
  return r;
}

double TextZuZahl(std::string_view text, double ersatz) {
  std::string t = Getrimmt(text);
  for (char& c : t)
    if (c == ',') c = '.';
  if (t.empty()) return ersatz;
  const char* a = t.data();
  if (*a == '+') ++a;
  double v = 0;
  const auto r = std::from_chars(a, t.data() + t.size(), v);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return ersatz;
  return v;
}

std::string OhneEndung(const std::string& datei) {
  const auto punkt = datei.find_last_of('.');
  const auto trenner = datei.find_last_of("/\\");
  if (punkt == std::string::npos || (trenner != std::string::npos && punkt < trenner)) return datei;
  return datei.substr(0, punkt);
}

bool SchreibeDateiAtomar(const std::string& datei, const std::string& text, std::string& fehler) {
  const std::string temp = datei + ".tmp";
  {
    std::ofstream aus(temp, std::ios::binary | std::ios::trunc);
    aus << text;
    aus.flush();
    if (!aus) {
      fehler = "Die Datei " + datei + " kann nicht geschrieben werden.";
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, datei, ec);
  if (ec) {
    fehler = "Die Datei " + datei + " kann nicht geschrieben werden: " + ec.message();
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace t21
