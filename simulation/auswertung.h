// The evaluation of a run: the accumulators of the elements become result
// rows — one row per closed system rain event and per structure and event,
// yearly balances per element and for the whole system at every year change,
// the balances of the whole period and as annual means, the loads per
// structure and discharge point, and the run report with the volume balance
// of the sealed areas. The driver calls it at fixed points of the run.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/elements.h"
#include "model/simulation.h"
#include "simulation/ergebnisse.h"

namespace t21 {

// Milliseconds of a clock value: the clock steps on whole seconds, so the
// differences of these are exact where differences of day fractions are not.
long long Millisekunden(TDateTime t);
// Hours from a to b, exact on the clock's grid.
double StundenZwischen(TDateTime a, TDateTime b);

// "###,###,##0.000000000" and the like with the decimal comma.
std::string Zahlformat(double v, int nachkomma);

class TAuswertung {
 public:
  // The rows go to dm and, for the run report, to report.
  TAuswertung(TSimulation& sim, TDataModule2& dm, std::vector<TMeldungZeile>& report);

  // A system event has closed and was appended to SystemEreignisse.
  void WriteEreignis(TEreignis& ev);
  void WriteBauwerk(TBauwerk& e, const TEreignis& ev);
  // A system event has begun in this step. The storage structures add their
  // throttle flow to the event at every step with flow; what they passed
  // before the event began is no part of it.
  void EreignisBeginn();
  // Closes the balance year; returns the year written, or 0 when no step
  // since the last year change lay in the balance period.
  int NeuesJahr();

  // Balance rows. h divides the totals (1 for a year or the whole period,
  // the years of the period for an annual mean); a row without element is a
  // system row.
  void WriteKEZBilanz(const TFrachten& b, const TFrachten& b1, double h, const std::string& typ,
                      const std::string& aName, const std::string& BilanzJahr, const TKEZ* e);
  void WriteA128Bilanz(const TFrachten& b, const TFrachten& d, double h, const std::string& typ,
                       const std::string& aName, const std::string& BilanzJahr, const TBauwerk* e,
                       const TFrachten& sBUE, const TFrachten& sKUE);
  void WriteOMABilanz(const TFrachten& b, const TFrachten& d, double h, const std::string& typ,
                      const std::string& aName, const std::string& BilanzJahr, const TBauwerk* e,
                      const TFrachten& sBUE, const TFrachten& sKUE);
  void WriteKLGBilanz(const TFrachten& b, const TKLG* plant, double h, const std::string& typ,
                      const std::string& aName, const std::string& BilanzJahr);
  void WriteREGBilanz(const TFrachten& b, const std::string& BilanzJahr, double h,
                      const std::string& aName);
  void WriteESTBilanz(const TFrachten& b, const TFrachten& c, double h, const std::string& typ,
                      const std::string& aName, const std::string& BilanzJahr, const TEST& e);
  // The loads row of a structure for a year, "Simulation" or "i.M.".
  void WriteFrachtenBauwerkeJahr(TBauwerk& e, const std::string& Zeitraum);

  // The end of a completed run.
  void BilanzSimulationszeitraum();
  void MittelwerteBilanz();
  void WriteSimReport();

  // Overflow loads of the storage structures over the run and per year, g
  // (BilanzSimulationszeitraum).
  double CSBgesamt = 0, CSBmittel = 0, AFSgesamt = 0, AFSmittel = 0;

  // The system's millisecond tick counter, for the run time in the report.
  std::function<uint32_t()> Uhr;

 private:
  enum class TArt : unsigned char {
    Sonstiges,
    Speicherbauwerk,  // CSO tank, CSO overflow, stormwater clarifier
    Massnahme,
    Einleitung,
    Einzugsgebiet,
    Klaeranlage,
    Wurzel,
    Oberflaeche,
  };
  struct TGlied {
    TElement* e;
    TArt art;
    TBauwerk* bauwerk;  // every structure, discharge points and measures included
  };

  void Bauwerkszeile(TTabelle& t, TBauwerk& e, const TEreignis& ev);
  void A128Zeile(TTabelle& t, bool mitTyp, const TFrachten& b, const TFrachten& d, double h,
                 const std::string& typ, const std::string& aName, const std::string& BilanzJahr,
                 const TBauwerk* e, const TFrachten& sBUE, const TFrachten& sKUE);
  // Rain-water inflow and overflow of a structure's year down its Parent
  // chain: to treatment plants the overflow, to every element (or only to
  // plants) the rain-water inflow.
  void Kette(TBauwerk& b, bool ueberall);
  void Extremwechsel(TEST& e);
  void Ausfuhr(const TBauwerk& b);

  TSimulation& FSim;
  TDataModule2& FDM;
  std::vector<TMeldungZeile>& FReport;
  std::vector<TGlied> FGlieder;  // Reihenfolge with the kinds
  std::vector<TBauwerk*> FBauwerke;
  std::vector<TBauwerk*> FSpeicherbauwerke;  // tanks, clarifiers, measures
  long long FLetzterWechsel;                 // clock of the last year change, ms
};

}  // namespace t21
