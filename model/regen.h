// Rain gauges: one measured precipitation series in a text file, read record
// by record during a run and handed to the linked catchments.
#pragma once

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "model/datum.h"
#include "model/element.h"

namespace t21 {

class TSimulation;

// A finding about a series: kind ("Warnung", "Fehler!"), gauge, text.
struct TRegenMeldung {
  std::string Art, Element, Text;
};

class TREG : public TElement {
 public:
  TREG() = default;
  ~TREG() override;

  std::string FileName;
  std::string Nr;
  std::string Station;
  int32_t DT = 0;
  int32_t Zehnerpotenz = 0;
  TDateTime AnfangsDatum = 0, EndDatum = 0, AktDatum = 0;
  double AEB = 0;
  std::array<double, 12> Regen{};  // values 1..12 of the current record, mm
  std::string FFormat;             // "M" or "L"

  std::string Typ() const override { return "REG"; }
  void SetData(const std::string& myFileName) { FileName = myFileName; }
  void AssignValues(const TElement& e) override;

  // Opens the file and reads its header; false with Fehler set when the file
  // cannot be opened or a header field is not a number.
  bool ReadHeader();
  // Reads the next record (see the run's clock in sim); false with Fehler
  // set when a date field is not a number or not a date.
  bool ReadRain(const TSimulation& sim);
  // Opens and positions the series for a run; findings go to meldungen.
  // False when the file is unusable (Fehler set).
  bool Positionieren(const TSimulation& sim, std::vector<TRegenMeldung>& meldungen);
  // The value of the current step: rain depth in mm (>= 0) or minus the
  // evaporation depth; delivered to the linked catchments and surface areas.
  // Reads the next record when the current one is used up; false in ok when
  // that failed (Fehler set).
  double SendRain(TSimulation& sim, bool& ok);
  void Schliessen();
  // Findings about the data collected while reading (skipped records,
  // unreadable or negative values), for the report after positioning or at
  // the end of the run.
  void SammleHinweise(std::vector<TRegenMeldung>& meldungen);

  std::string Fehler;

  // The catchments and surface areas SendRain delivers to (set by
  // Positionieren); a run stepping its catchments elsewhere takes them out.
  std::vector<TElement*>& Empfaenger() { return FEmpfaenger; }

 private:
  bool NaechsteZeile(std::string& zeile);
  bool AmEnde() const { return !FHatVorschau; }
  double Verdunstung(const TSimulation& sim) const;

  std::ifstream FRainFile;
  std::string FVorschau;
  bool FHatVorschau = false;
  long FZeile = 0;
  long FUebersprungen = 0, FUnlesbar = 0, FNegativ = 0;
  std::vector<TElement*> FEmpfaenger;
};

}  // namespace t21
