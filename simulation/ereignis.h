// The simulation of one recorded system rain event again, in detail: the
// whole network runs from midnight of the day before the event (the points
// are drawn from an hour before it) to its end plus the chosen days of
// follow-up; at the event's start the catchments and surface areas take the
// states the long run saved there and every tank starts empty. The run
// writes no balances, events or result tables; it has its own simulation
// context and script interpreter, and leaves the saved start states of the
// long run in the elements as it found them. What it records for the chosen
// element are the series of the event chart or the rows of the event table.
//
//   TEreignisLauf lauf(model, resultat.Ereignisse(), resultat.Startzustaende);
//   TEreignisAuftrag a;
//   a.Nr = 0; a.Element = "RÜB Mitte"; a.Parameter = "Abfluss";
//   TEreignisErgebnis e = lauf.Rechne(a);
//
// The lists of parameters, the series titles, the table columns with their
// labels and formats and the dose rule are plain functions below, for the
// windows as much as for the command line.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/network.h"
#include "model/simulation.h"
#include "simulation/ergebnisse.h"
#include "simulation/lauf.h"
#include "storage/tabelle.h"

namespace t21 {

namespace script {
class TbbInterpreter;
}

// What an element is for the event chart and table.
enum class TEreignisArt : unsigned char {
  Markierte,       // the outflows of the marked elements side by side
  Einleitung,      // discharge point
  Bauwerk,         // CSO tank, overflow, clarifier or site-specific measure
  Einzugsgebiet,   // catchment
  Klaeranlage,     // treatment plant
  Verbinder,       // connector
  Netz,            // project record
  Oberflaeche,     // surface area
  Regenschreiber,  // rain gauge
  Sonstiges,       // any other element (the chart has nothing for it)
};
TEreignisArt EreignisArt(const TElement* e);

// The entries of the parameter list; empty where the kind has none.
std::vector<std::string> EreignisParameter(TEreignisArt art, bool grafik);

inline constexpr int kEreignisReihen = 6;
// The titles of the six chart series for the kind and parameter; an empty
// title is a series the legend does not show.
std::array<std::string, kEreignisReihen> EreignisReihenTitel(TEreignisArt art,
                                                             const std::string& parameter);

// One column of the event table (the time column "Zeit" comes first and is
// not among them).
struct TEreignisSpalte {
  std::string Name;
  std::string Label;   // name and unit, e.g. "Q [l/s]"
  std::string Format;  // display format, "###,##0.00" or "###,##0.000"
  bool Text = false;   // a text column (the global script variables)
};
// The columns for the kind and parameter; "globale Variablen" of the project
// record has one text column per variable name given.
std::vector<TEreignisSpalte> EreignisSpalten(TEreignisArt art, const std::string& parameter,
                                             const std::vector<std::string>& variablen = {});
std::string EreignisSpaltenFormat(const std::string& spalte);
std::string EreignisSpaltenLabel(const std::string& spalte);

// The tolerated NH3 concentration of the dose chart after the given minutes
// since the re-simulation began, mg/l: 0.025 + 1.5 / minuten (0.025 for 0).
double EreignisGrenzkonzentration(double minuten);

// The system events of a run as its event table holds them (Beginn, Ende,
// Entlastung), in their order: the list a re-simulation chooses from, for a
// run just done as for one loaded from its files.
std::vector<TEreignis> EreignisseAus(const TDataModule2& ergebnisse);

// The saved start states of a run beside its saved result tables, in the
// file base + "_Startzustaende.xml" (base: the entry file's name without
// "_CDSReport.s21"), one row per entry: element, unit (-1 for the element
// itself, else the index of the surface area's unit), number of the event,
// FV1, FV2. Runs saved before the start states were kept have no such file:
// loading gives false with a message, and the results themselves stay
// readable.
std::string StartzustandsDatei(const std::string& eintrag);
bool SpeichereStartzustaende(const std::map<std::string, TStartzustaende>& z,
                             const std::string& eintrag, std::string& fehler);
bool LadeStartzustaende(const std::string& eintrag, std::map<std::string, TStartzustaende>& z,
                        std::string& meldung);
// The start states the catchments and surface areas of m hold now (those
// of the last long run).
std::map<std::string, TStartzustaende> StartzustaendeAus(const TM3Model& m);

// The entry of the event list: "n - start - end", n counting from 1.
std::string EreignisText(int nr, const TEreignis& e);
// The proposed name of a saved event table: model + "_" + element + "_" +
// parameter + "_GL.xls", with every character that could lead into another
// folder or is not allowed in a file name replaced by "_".
std::string EreignisDateiname(const std::string& modell, const std::string& element,
                              const std::string& parameter);

// What to simulate and record.
struct TEreignisAuftrag {
  int Nr = 0;                         // index of the event in the event list (from 0)
  std::string Element;                // the element shown; empty: the marked ones
  std::vector<std::string> Markiert;  // names of the marked elements
  std::string Parameter;              // an entry of EreignisParameter; empty: the first
  bool Grafik = true;                 // chart series (true) or table rows
  int Nachlauftage = 0;               // days of follow-up after the event's end
};

struct TEreignisReihe {
  std::string Titel;
  std::vector<TDateTime> Zeit;
  std::vector<double> Wert;
};

struct TEreignisTabelle {
  std::vector<TEreignisSpalte> Spalten;
  std::vector<TDateTime> Zeit;                  // one per row
  std::vector<std::vector<double>> Werte;       // per row, one per number column
  std::vector<std::vector<std::string>> Texte;  // per row, one per text column
  int Zeilen() const { return static_cast<int>(Zeit.size()); }
};

struct TEreignisErgebnis {
  bool Ok = false;
  // The reasons a run was refused, or what it noticed, as the window shows
  // them.
  std::vector<std::string> Meldungen;
  std::string Titel;      // window caption: element + ": Ereignis " + event text
  std::string Parameter;  // the parameter recorded
  TEreignisArt Art = TEreignisArt::Sonstiges;
  TEreignis Ereignis;
  TDateTime Start = 0, Ende = 0;  // of the re-simulation (an hour before, follow-up)
  double dt_min = 0;
  int64_t Schritte = 0;
  std::array<TEreignisReihe, kEreignisReihen> Reihen;  // chart mode
  TEreignisTabelle Tabelle;                            // table mode
  // The dose chart's sums at the end, g.
  double Dosis = 0, Grenzwert = 0;
};

// The result as one table "Ganglinie": the column "Zeit" (date-time), then
// in chart mode one float column per series that has points (labelled with
// its title; null where a series has no point at a time), in table mode the
// columns of the table (labels with units; text columns as strings of 32).
// What "Speichern" writes as workbook or data packet.
TTabelle EreignisAlsTabelle(const TEreignisErgebnis& e);

// The core of the short runs (event and comparison): the lists, the scripts
// in an interpreter of its own, the rain files positioned at the clock, the
// time step and the start of the elements, then the loop of blocks and steps
// up to the end, without days, years, events or balances.
class TKurzlauf {
 public:
  explicit TKurzlauf(TM3Model& model);
  virtual ~TKurzlauf();
  TKurzlauf(const TKurzlauf&) = delete;
  TKurzlauf& operator=(const TKurzlauf&) = delete;

  // Called after every step of a run with the run's context (the elements'
  // step sets already closed): for tests and tools that follow a run.
  std::function<void(const TSimulation&)> BeiSchritt;

 protected:
  // Sets up a run from zeit (the clock) to ende (the end of the loop); false
  // with the reasons in meldungen. The saved start states of the long run
  // are taken from the elements and given back by Beenden.
  bool Vorbereiten(TDateTime start, TDateTime ende, TDateTime zeit,
                   std::vector<std::string>& meldungen);
  // The loop; false (with the message) when a rain file or a script failed.
  bool Laufe(std::vector<std::string>& meldungen);
  // Closes the rain files, gives the elements back their saved start states,
  // drops the run's interpreter.
  void Beenden();

  virtual void SchrittBeginn(TSimulation& sim) { (void)sim; }
  virtual void NachSimCalc(TSimulation& sim, TElement& e) {
    (void)sim;
    (void)e;
  }
  virtual void NachRegen(TSimulation& sim, TREG& r) {
    (void)sim;
    (void)r;
  }

  TM3Model& FModel;
  std::unique_ptr<TSimulation> FSim;
  std::unique_ptr<script::TbbInterpreter> FInterpreter;

 private:
  bool Vorlauf(std::vector<std::string>& meldungen);
  void MakeLists();
  std::map<TElement*, TStartzustaende> FGesichert;
  bool FOffen = false;
};

class TEreignisLauf : public TKurzlauf {
 public:
  // The events of the long run and its saved start states by element name
  // (TLaufResultat::Startzustaende); both are copied.
  TEreignisLauf(TM3Model& model, std::vector<TEreignis> ereignisse,
                std::map<std::string, TStartzustaende> startzustaende);

  const std::vector<TEreignis>& Ereignisse() const { return FEreignisse; }
  TEreignisErgebnis Rechne(const TEreignisAuftrag& auftrag);

 private:
  void SchrittBeginn(TSimulation& sim) override;
  void NachSimCalc(TSimulation& sim, TElement& e) override;
  void NachRegen(TSimulation& sim, TREG& r) override;
  bool ImFenster(const TSimulation& sim) const;
  void Punkt(TSimulation& sim, const TElement& e);
  void ChartPunkte(TSimulation& sim, const TElement& e);
  void TabellenZeile(TSimulation& sim, const TElement& e);
  void StartzustaendeSetzen();

  std::vector<TEreignis> FEreignisse;
  std::map<std::string, TStartzustaende> FStartzustaende;
  // The run in progress.
  const TEreignisAuftrag* FAuftrag = nullptr;
  TEreignisErgebnis* FErgebnis = nullptr;
  const TElement* FElement = nullptr;
  std::vector<const TElement*> FMarkiert;  // in the run's order, at most six
  TDateTime FFensterVon = 0, FFensterBis = 0;
  bool FDosisStart = false;
  int64_t FSchritte = 0;  // steps since the run began, for the dose
  double FSummeQ = 0;
};

}  // namespace t21
