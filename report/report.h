// The band report: a list of sections, each naming its bands (report and
// page header and footer, detail header, detail band, detail footer), laid
// out page by page onto the report printer. Bands are retained descriptions
// of controls positioned in screen pixels relative to the band.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "report/repprinter.h"

namespace t21 {

// A data set behind a detail band: named fields, a display format per field
// ("###,##0.00"; empty: none) and rows of numbers or texts.
struct TDatenmenge {
  using TFeld = std::variant<double, std::string>;
  std::vector<std::string> Felder;
  std::vector<std::string> Formate;
  std::vector<std::vector<TFeld>> Zeilen;

  int Feld(const std::string& name) const;
  // The text of field `name` in row `zeile`: a number with a display format
  // is formatted with it, anything else converted to text.
  std::string Text(int zeile, const std::string& name) const;
};

// Picture formats as "###,##0.00": the digits after the point give the
// decimals, a comma in the integer part thousands grouping; decimal comma
// on paper. Non-finite values print as "-".
std::string FormatiereBild(double v, const std::string& bild);

enum class TControlArt { Label, DBText, DBMemo, Chart, Shape };
enum class TFormArt { Rechteck, Quadrat, RundRechteck, RundQuadrat, Ellipse, Kreis };

// One printing control of a band.
struct TBandControl {
  TControlArt Art = TControlArt::Label;
  int Left = 0, Top = 0, Width = 0, Height = 0;  // screen pixels within the band
  std::string Caption;                           // labels
  int Tag = 0;                                   // labels: what they show
  std::string DataField;                         // data-bound texts and memos
  QString Schriftart = "Arial";
  double Punkte = 8;
  bool Fett = false, Kursiv = false;
  QColor Farbe = Qt::black;
  Qt::Alignment Ausrichtung = Qt::AlignLeft;
  bool Visible = true;
  // Charts: draws the chart into the rectangle (target pixels).
  std::function<void(QPainter&, const QRect&)> Zeichnen;
  // Shapes.
  TFormArt Form = TFormArt::Rechteck;
  QPen Stift = QPen(Qt::black, 0);
  QBrush Pinsel = Qt::NoBrush;
};

// A band: its height in screen pixels, its tag (the number of columns;
// below 2 one column) and its controls in order. A detail band has a data
// set whose rows it repeats for.
struct TBand {
  std::string Name;
  int Height = 0;
  int Tag = 0;
  std::vector<TBandControl> Controls;
  const TDatenmenge* Daten = nullptr;
};

// A report section: the bands it prints (not owned; null for none).
struct TSingleReport {
  TBand* ReportHeader = nullptr;
  TBand* ReportFooter = nullptr;
  TBand* PageHeader = nullptr;
  TBand* PageFooter = nullptr;
  TBand* DetailHeader = nullptr;
  TBand* DetailFooter = nullptr;
  TBand* DetailBand = nullptr;
  std::string Title;
  std::string Status;
  bool Selected = false;
  int Tag = 0;
};

// What labels with the tags 3 and 5 to 12 show: the user's name and address
// record and the project record.
struct TKopfdaten {
  std::string Benutzer, Projektname, Projektnummer, Variante, Auftraggeber;
  std::string Strasse, PLZ, Ort, Telefon, Fax;
};

class TReport {
 public:
  // Called before each band is printed, with the band, the data set and
  // the current row (-1 outside a detail band).
  std::function<void(const TBand&, const TDatenmenge*, int)> BeforePrintBand;
  // Called before a chart is printed with the chart control twice; the
  // handler may point the second at another chart to print instead.
  std::function<void(const TBandControl& oChart, const TBandControl*& aChart)> BeforePrintChart;
  int YPos = 0;
  int MaxYPos = 0;
  std::string Datum;
  int PageNumber = 0;
  std::vector<std::unique_ptr<TSingleReport>> ReportList;
  TSingleReport* Bands = nullptr;
  int YP = 0;
  int col = 0;
  bool more = false;
  double MarginTop = 25, MarginBottom = 10, MarginLeft = 25, MarginRight = 10;  // mm
  TKopfdaten Kopf;
  // Set when a run found no drawing surface (kKeineZeichenflaeche); the run
  // ends there.
  std::string Fehler;
  TAusrichtung Orientation = TAusrichtung::Hochformat;

  TReport() = default;
  explicit TReport(TRepPrinter& drucker) : FDrucker(&drucker) {}

  TSingleReport* AddBand(const std::string& STAT, const std::string& TIT, TBand* RH, TBand* RF,
                         TBand* PH, TBand* PF, TBand* DH, TBand* DF, TBand* DB, int aTag);
  // Prints to the report printer's device.
  void Print();
  // Fills the page list with page pictures.
  void Preview(TPages& ListOfPages);

 private:
  TRepPrinter& Drucker() { return FDrucker ? *FDrucker : RepPrinter(); }
  void Lauf();
  void Platziere(TBand* b);
  void DruckeBand(TBand* b, int c);
  void SeiteOeffnen();
  void SeiteSchliessen();
  int Mm(double mm, bool vertikal);
  std::string LabelText(const TBandControl& c) const;

  TRepPrinter* FDrucker = nullptr;
  QPainter* FCanvas = nullptr;
  bool FSeiteOffen = false;
  bool FErsteSeite = true;           // of the run: no new page before it
  bool FErsteSeiteAbschnitt = true;  // of the section: the report header
  int FZeile = -1;                   // current row of the detail band's data set
};

}  // namespace t21
