#include "app/simulation/diagramme.h"

#include <QDateTime>
#include <QtCharts/QLineSeries>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/simulation/ergebnismodell.h"
#include "simulation/bewertung.h"

namespace t21 {

void Fuelle(QChart& chart, const TDiagrammDaten& d, bool logarithmisch) {
  // The axes stay with the chart and are set anew; only a change between a
  // linear and a logarithmic time axis replaces that axis.
  QAbstractAxis* x = nullptr;
  QValueAxis* y = nullptr;
  for (QAbstractAxis* a : chart.axes(Qt::Horizontal)) x = a;
  for (QAbstractAxis* a : chart.axes(Qt::Vertical)) y = qobject_cast<QValueAxis*>(a);
  chart.removeAllSeries();
  chart.setLocalizeNumbers(true);
  chart.setLocale(QLocale(QLocale::German, QLocale::Germany));
  if (x && (x->type() == QAbstractAxis::AxisTypeLogValue) != logarithmisch) {
    chart.removeAxis(x);
    delete x;
    x = nullptr;
  }
  chart.setTitle(d.Titel);
  if (!x) {
    if (logarithmisch) {
      auto* lx = new QLogValueAxis;
      lx->setBase(10);
      lx->setLabelFormat(QStringLiteral("%.6g"));
      x = lx;
    } else {
      auto* vx = new QValueAxis;
      vx->setLabelFormat(QStringLiteral("%.6g"));
      x = vx;
    }
    chart.addAxis(x, Qt::AlignBottom);
  }
  if (!y) {
    y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%.6g"));
    chart.addAxis(y, Qt::AlignLeft);
  }
  x->setTitleText(d.XAchse);
  y->setTitleText(d.YAchse);
  chart.legend()->setVisible(!d.EigeneLegende);
  double xmin = std::numeric_limits<double>::max(), xmax = -xmin;
  double ymin = 0, ymax = 0;
  bool punkte = false;
  for (const TReihe& r : d.Reihen) {
    QXYSeries* s = nullptr;
    if (r.Art == TReihe::TArt::Punkte) {
      auto* p = new QScatterSeries;
      p->setMarkerSize(7);
      s = p;
    } else {
      s = new QLineSeries;
    }
    // Legends read their texts as rich text.
    s->setName(r.Titel.toHtmlEscaped());
    if (r.Farbe.isValid()) s->setColor(r.Farbe);
    for (const QPointF& p : r.Punkte) {
      if (logarithmisch && p.x() <= 0) continue;
      if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
      s->append(p);
      xmin = std::min(xmin, p.x());
      xmax = std::max(xmax, p.x());
      ymin = std::min(ymin, p.y());
      ymax = std::max(ymax, p.y());
      punkte = true;
    }
    chart.addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
  }
  if (!punkte) {
    xmin = logarithmisch ? 0.1 : 0;
    xmax = 1;
  }
  if (xmax <= xmin) xmax = xmin + 1;
  if (ymax <= ymin) ymax = ymin + 1;
  x->setRange(xmin, xmax);
  y->setRange(ymin, ymax + (ymax - ymin) * 0.05);
  if (auto* vy = qobject_cast<QValueAxis*>(y)) vy->applyNiceNumbers();
}

QString Legendentext(const TDiagrammDaten& d) {
  QStringList teile;
  for (const TReihe& r : d.Reihen)
    teile << QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2")
                 .arg(r.Farbe.isValid() ? r.Farbe.name() : QStringLiteral("#000000"),
                      r.Titel.toHtmlEscaped());
  return teile.join(QStringLiteral("&nbsp;&nbsp;&nbsp; "));
}

}  // namespace t21
