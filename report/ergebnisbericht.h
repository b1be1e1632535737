// The results report of a simulation: the protocol, input and result tables
// of a run (or of loaded results) as band report sections in landscape, one
// row per record, each table with the row choice its page has set; wide
// tables continue in further column blocks.
#pragma once

#include <QRect>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "report/report.h"
#include "report/repprinter.h"
#include "simulation/ergebnisse.h"

class QPagedPaintDevice;

namespace t21 {

// A section: its key, group, title and the name of its table.
struct TErgebnisAbschnitt {
  int Schluessel;
  const char* Gruppe;
  const char* Titel;
  const char* Tabelle;
};
// Every section in printing order.
const std::vector<TErgebnisAbschnitt>& ErgebnisAbschnitte();
// The keys of a list such as "1;2;22" or "1,2,22"; texts that are no known
// key go to unbekannt.
std::vector<int> AbschnitteAus(const std::string& text, std::vector<std::string>& unbekannt);

// Whether row z of a table prints.
using TZeilenAuswahl = std::function<bool(const TTabelle&, int)>;

struct TErgebnisberichtOptionen {
  std::vector<int> Abschnitte;                   // keys; empty: every section
  std::map<std::string, TZeilenAuswahl> Filter;  // by table name
  std::string Projekt;                           // shown in the page header
  // Tables beside the result tables (the input echo of a run), by name.
  std::vector<const TTabelle*> Weitere;
  // The flood statistics of "Auswertung Hydrologie" over a logarithmic time
  // axis.
  bool Logarithmisch = false;
};

// The sections with their bands and data, for a report to print or preview.
// Sections whose table the results do not hold stay empty and print nothing.
// The assessment sections print every row with its own charts: "Auswertung
// Hydrologie" its flood statistics, "Auswertung Stoffe" the class table and
// the two charts of its parameter, the captions set for the row's parameter.
class TErgebnisbericht {
 public:
  TErgebnisbericht(const TDataModule2& dm, const TErgebnisberichtOptionen& o);
  ~TErgebnisbericht();
  TErgebnisbericht(const TErgebnisbericht&) = delete;
  TErgebnisbericht& operator=(const TErgebnisbericht&) = delete;

  // Adds the sections to the report and sets landscape and the margins; the
  // report's band hook prepares each row's charts and captions.
  void Fuelle(TReport& r);

 private:
  friend int ErgebnisberichtDrucken(const TDataModule2&, const TErgebnisberichtOptionen&,
                                    QPagedPaintDevice&, std::string&);
  QRectF Flaeche(const QRect& r, int breite, int hoehe) const;
  struct TTeil;
  void Bewertungsteil(const TErgebnisAbschnitt& a, const TTabelle& t,
                      const std::vector<int>& zeilen);
  std::vector<std::unique_ptr<TTeil>> FTeile;
  std::string FProjekt;
  const TDataModule2& FDm;
  bool FLogarithmisch = false;
  bool FDruck = false;  // onto a printer or PDF, not into page pictures
};

// The report onto a printer (or another paged device); the number of
// pages, -1 on failure (message in fehler).
int ErgebnisberichtDrucken(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                           QPagedPaintDevice& geraet, std::string& fehler);
// The report's pages for the preview, into seiten (cleared first).
bool ErgebnisberichtVorschau(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                             TPages& seiten, std::string& fehler);

// The report as a PDF file. Returns the number of pages, -1 on failure
// (message in fehler).
int ErgebnisberichtAlsPdf(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                          const std::string& datei, std::string& fehler);

}  // namespace t21
