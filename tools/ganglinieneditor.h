// The hydrograph editor: a new named dry-weather (24 hourly factors) or
// infiltration-water hydrograph (12 monthly factors) made from an existing
// one and appended to the project's list. Existing hydrographs are never
// changed.
#pragma once

#include <string>
#include <vector>

#include "model/project.h"

namespace t21 {

class TDokument;

enum class TGanglinienArt { Schmutzwasser, Fremdwasser };

// One row of the table beside the chart.
struct TGanglinienZeile {
  std::string Zeit, Wert, x;
};

class TGanglinienEditor {
 public:
  // The steps of a spin control: positions 0..30, the value position / 10.
  static constexpr int kMaxPosition = 30;
  // The longest name the project file keeps.
  static constexpr size_t kMaxName = 64;

  TGanglinienEditor(TGanglinienArt art, const TReferenzListen& listen);

  TGanglinienArt Art() const { return FArt; }
  int Anzahl() const { return FArt == TGanglinienArt::Schmutzwasser ? 24 : 12; }
  // "Schmutzwasser-Tagesgang" or "Fremdwasser-Jahresgang" and the chart's
  // axis title.
  const char* Titel() const;
  const char* Achse() const;

  // The base selection "ausgehend von Ganglinie": the names of the list.
  const std::vector<std::string>& Namen() const { return FNamen; }
  int Basis() const { return FBasis; }
  // Loads the base hydrograph's values; each spin control moves to the
  // loaded value, so a click steps from it.
  void LadeBasis(int index);

  double Wert(int i) const { return FWerte[static_cast<size_t>(i)]; }
  const std::vector<double>& Werte() const { return FWerte; }
  int Position(int i) const { return FPositionen[static_cast<size_t>(i)]; }
  // A click on the spin control of hour (month) i: one step up or down; the
  // value becomes position / 10. At the end of the range nothing changes.
  void Klick(int i, bool hoch);
  // The spin control at a position (clamped to 0..30); the value follows.
  void SetzePosition(int i, int position);

  double Summe() const;
  // The table: one row per hour (month), then the sum row.
  std::vector<TGanglinienZeile> Tabelle() const;

  std::string Name;  // "Name der neuen Ganglinie"
  // The message that keeps the editor open, or empty when the hydrograph
  // can be appended.
  std::string Pruefen() const;
  // Checks and appends to the list; the message (nothing appended) or empty.
  std::string Anhaengen(TReferenzListen& listen) const;
  // Checks and appends to the project's list as one edit of the document;
  // the message or empty.
  std::string Anhaengen(TDokument& dok) const;

 private:
  TGanglinienArt FArt;
  std::vector<std::string> FNamen;
  std::vector<std::vector<double>> FBasisWerte;
  int FBasis = 0;
  std::vector<double> FWerte;
  std::vector<int> FPositionen;
};

// The default float text form with the decimal comma (24.1 -> "24,1").
std::string FloatText(double v);
// Compares two names without regard to case (ASCII and Latin-1 letters).
bool GleicherName(const std::string& a, const std::string& b);

}  // namespace t21
