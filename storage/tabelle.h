// The in-memory table engine: typed columns with default expressions, value
// ranges and labels; records; nested tables; lookup by column value.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace t21 {

enum class TFeldTyp { Integer, Float, String, Boolean, Memo, Date, Nested };

struct TSchema;

struct TFeld {
  std::string Name;
  TFeldTyp Typ = TFeldTyp::String;
  int Breite = 0;       // characters of a String column
  std::string Vorgabe;  // default expression: "0,0", "'Projekt 1'", "TRUE", or empty
  std::optional<double> Min, Max;
  std::string Label;
  std::shared_ptr<const TSchema> Nested;  // the columns of a nested table
};

struct TSchema {
  std::string Name;
  std::vector<TFeld> Felder;
  // Index of the column of that name (without regard to case), or -1.
  int Index(std::string_view name) const;
};

class TTabelle;

// A value: null, Integer, Float (also Date: days since 1899-12-30), Boolean,
// text (String and Memo), or the records of a nested table.
using TWert =
    std::variant<std::monostate, int32_t, double, bool, std::string, std::shared_ptr<TTabelle>>;

bool IstNull(const TWert& w);
double AlsZahl(const TWert& w, double ersatz = 0);
int32_t AlsGanzzahl(const TWert& w, int32_t ersatz = 0);
bool AlsBool(const TWert& w, bool ersatz = false);
std::string AlsText(const TWert& w);

class TTabelle {
 public:
  explicit TTabelle(std::shared_ptr<const TSchema> schema);

  const TSchema& Schema() const { return *FSchema; }
  std::shared_ptr<const TSchema> SchemaPtr() const { return FSchema; }
  int Spalten() const { return static_cast<int>(FSchema->Felder.size()); }
  int Anzahl() const { return static_cast<int>(FZeilen.size()); }

  // Appends a record with every column null; a nested table is created
  // empty when Kind first asks for it. Returns the record's index.
  int Anhaengen();
  // Appends a record whose columns hold their default expressions.
  int AnhaengenMitVorgaben();
  void Loeschen(int zeile);
  void Leeren() { FZeilen.clear(); }

  const TWert& Wert(int zeile, int spalte) const;
  const TWert& Wert(int zeile, std::string_view spalte) const;
  // Stores a value converted to the column's type; false (and nothing
  // stored) when the column does not exist or the value is outside its range.
  bool Setze(int zeile, std::string_view spalte, const TWert& w);
  bool Setze(int zeile, int spalte, const TWert& w);
  // The nested table of a record (created empty when missing); the const
  // form gives null for a nested table not yet created.
  TTabelle& Kind(int zeile, std::string_view spalte);
  const TTabelle* Kind(int zeile, std::string_view spalte) const;

  // First record from index ab on whose column equals the text (exact), or -1.
  int Finde(std::string_view spalte, std::string_view text, int ab = 0) const;
  int Finde(std::string_view spalte, int32_t wert, int ab = 0) const;

  // The default of a column as a value (the expression converted to the
  // column's type: decimal comma for numbers, quotes around texts).
  TWert Vorgabewert(int spalte) const;
  std::string Vorgabe(int spalte) const;
  void SetzeVorgabe(int spalte, std::string ausdruck);

 private:
  std::shared_ptr<const TSchema> FSchema;
  std::vector<std::string> FVorgaben;  // current default expressions
  std::vector<std::vector<TWert>> FZeilen;
};

// Reads a decimal number written with a decimal comma or point; the fallback
// when the text is not a number.
double TextZuZahl(std::string_view text, double ersatz);
// Text lines joined with CR LF, and a text (CR LF, LF or CR) split into lines.
std::string Zeilen(const std::vector<std::string>& z);
std::vector<std::string> ZeilenAus(const std::string& t);
// The file name without its extension.
std::string OhneEndung(const std::string& datei);
// Writes text to a temporary file beside datei and renames it, so a failed
// write leaves an existing file intact. False with fehler set.
bool SchreibeDateiAtomar(const std::string& datei, const std::string& text, std::string& fehler);

}  // namespace t21
