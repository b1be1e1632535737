// The charts of the discharge-point assessment as data, drawn from the stored
// result rows (so they are the same for a run just made, for loaded results
// and on paper): flood statistics, dose classes of O2 and NH3, suspended
// solids per year; and a plain painter drawing of such a chart for the
// printed report, which renders without widgets.
#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <string>
#include <vector>

#include "model/datum.h"
#include "simulation/ergebnisse.h"

class QPainter;

namespace t21 {

// The balance period of stored results, read from the first two rows of the
// run report ("dd.mm.yy hh:nn:ss"); false when they are missing.
bool LaufZeitraum(const TDataModule2& dm, TDateTime& start, TDateTime& ende);
// A time of the run report ("dd.mm.yy hh:nn:ss").
bool LaufZeitraumText(const std::string& text, TDateTime& t);

// A series of a chart as values.
struct TReihe {
  enum class TArt { Linie, Punkte };
  TReihe(QString titel = {}, TArt art = TArt::Linie, std::vector<QPointF> punkte = {},
         QColor farbe = {})
      : Titel(std::move(titel)), Art(art), Punkte(std::move(punkte)), Farbe(farbe) {}
  QString Titel;
  TArt Art = TArt::Linie;
  std::vector<QPointF> Punkte;
  QColor Farbe;  // invalid: the chart's own
};
struct TDiagrammDaten {
  QString Titel, XAchse, YAchse;
  std::vector<TReihe> Reihen;
  // The legend is shown beside the chart by the window (the class captions
  // are too long for the chart's own).
  bool EigeneLegende = false;
  // The x axis counts years: its labels are turned by 90 degrees.
  bool Jahresachse = false;
  bool Leer() const;
};

// Flood statistics of a discharge point: the peaks and urban increases of its
// events over their return periods, the fitted lines and the permitted peak.
TDiagrammDaten HochwasserDaten(const TDataModule2& dm, const std::string& element);
// The two charts of a parameter (1 O2, 2 NH3: event extremes and means with
// the class limits; 3 AFS: loads and mean concentrations per year).
void DosisDaten(const TDataModule2& dm, const std::string& element, int parameter,
                TDiagrammDaten& erstes, TDiagrammDaten& zweites);
// Parameter number from the text of the column Parameter (O → 1, N → 2, A → 3).
int ParameterNummer(const std::string& parameter);

// The colour of series i of a chart whose series have none of their own.
QColor Reihenfarbe(const TReihe& r, size_t i);

// Draws the chart into the rectangle with the painter: title, axes with
// German numbers, the series and a legend below. Sizes follow the
// rectangle, so the same chart prints at any resolution.
void ZeichneDiagramm(QPainter& p, const QRectF& r, const TDiagrammDaten& d,
                     bool logarithmisch = false);

}  // namespace t21
