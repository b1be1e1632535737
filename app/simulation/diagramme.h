// The charts of the discharge-point assessment in the window: the chart data
// of the stored rows (report/ergebnisdiagramme.h) put into Qt Charts.
#pragma once

#include <QString>
#include <QtCharts/QChart>

#include "report/ergebnisdiagramme.h"

namespace t21 {

// Puts the data into the chart (series, axes, titles); a logarithmic x axis
// when asked.
void Fuelle(QChart& chart, const TDiagrammDaten& d, bool logarithmisch = false);
// The legend of a chart with EigeneLegende as rich text: a coloured mark and
// the title of each series.
QString Legendentext(const TDiagrammDaten& d);

}  // namespace t21
