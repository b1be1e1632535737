// The charts of the discharge-point assessment drawn from the stored result
// rows (so they show the same for a run just made and for loaded results):
// flood statistics, dose classes of O2 and NH3, suspended solids per year.
#pragma once

#include <QColor>
#include <QString>
#include <QtCharts/QChart>
#include <string>
#include <vector>

#include "model/datum.h"
#include "simulation/ergebnisse.h"

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

// Puts the data into the chart (series, axes, titles); a logarithmic x axis
// when asked.
void Fuelle(QChart& chart, const TDiagrammDaten& d, bool logarithmisch = false);
// The legend of a chart with EigeneLegende as rich text: a coloured mark and
// the title of each series.
QString Legendentext(const TDiagrammDaten& d);

}  // namespace t21
