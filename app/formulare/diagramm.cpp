// The charts of the result pages.
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>

#include "app/formulare/formen.h"

namespace t21 {

QWidget* NeuesDiagramm(const QString& titel, const QString& xTitel, const QString& yTitel) {
  auto* chart = new QChart;
  chart->setTitle(titel);
  chart->legend()->hide();
  // Axis labels with the decimal comma.
  chart->setLocale(QLocale());
  chart->setLocalizeNumbers(true);
  chart->setMargins(QMargins(2, 2, 2, 2));
  auto* kurve = new QLineSeries;
  kurve->setName(titel);
  auto* grenze = new QLineSeries;
  grenze->setColor(Qt::red);
  chart->addSeries(kurve);
  chart->addSeries(grenze);
  auto* ax = new QValueAxis;
  ax->setTitleText(xTitel);
  ax->setLabelFormat(QStringLiteral("%g"));
  auto* ay = new QValueAxis;
  ay->setTitleText(yTitel);
  chart->addAxis(ax, Qt::AlignBottom);
  chart->addAxis(ay, Qt::AlignLeft);
  for (auto* s : {kurve, grenze}) {
    s->attachAxis(ax);
    s->attachAxis(ay);
  }
  auto* v = new QChartView(chart);
  v->setRenderHint(QPainter::Antialiasing);
  v->setObjectName(titel);
  return v;
}

void SetzeKurve(QWidget* diagramm, const std::vector<double>& x, const std::vector<double>& y,
                std::optional<double> grenze, double ymax) {
  auto* v = qobject_cast<QChartView*>(diagramm);
  if (!v || x.empty()) return;
  const auto serien = v->chart()->series();
  auto* kurve = static_cast<QLineSeries*>(serien.value(0));
  auto* linie = static_cast<QLineSeries*>(serien.value(1));
  QList<QPointF> p;
  double hoch = 0;
  for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
    const double w = std::isfinite(y[i]) ? y[i] : 0;
    p << QPointF(x[i], w);
    hoch = std::max(hoch, w);
  }
  kurve->replace(p);
  linie->clear();
  if (grenze) {
    linie->append(x.front(), *grenze);
    linie->append(x.back(), *grenze);
    hoch = std::max(hoch, *grenze);
  }
  const auto achsen = v->chart()->axes();
  for (QAbstractAxis* a : achsen) {
    auto* va = static_cast<QValueAxis*>(a);
    if (a->alignment() == Qt::AlignBottom)
      va->setRange(*std::min_element(x.begin(), x.end()), *std::max_element(x.begin(), x.end()));
    else
      va->setRange(0, ymax > 0 ? ymax : (hoch > 0 ? hoch * 1.1 : 1));
  }
}

std::vector<std::pair<double, double>> Kurvenpunkte(const QWidget* diagramm) {
  std::vector<std::pair<double, double>> r;
  auto* v = qobject_cast<const QChartView*>(diagramm);
  if (!v) return r;
  auto* kurve = static_cast<QLineSeries*>(v->chart()->series().value(0));
  if (!kurve) return r;
  for (const QPointF& p : kurve->points()) r.emplace_back(p.x(), p.y());
  return r;
}

}  // namespace t21
