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
    if (a->alignment() == Qt::AlignBottom) {
      const double lo = *std::min_element(x.begin(), x.end());
      double hi = *std::max_element(x.begin(), x.end());
      // Hours to 24, months one tick each, the rain-runoff rates in quarters.
      int ticks = 5;
      if (x.size() == 24) {
        hi = 24;
        ticks = 7;
      } else if (x.size() == 12) {
        ticks = 12;
      }
      va->setRange(lo, hi);
      va->setTickCount(ticks);
      va->setLabelFormat(QStringLiteral("%.0f"));
    } else if (ymax > 0) {
      va->setRange(0, ymax);
    } else {
      va->setRange(0, hoch > 0 ? hoch * 1.1 : 1);
      va->applyNiceNumbers();
    }
  }
}

void BeiPunktklick(QWidget* diagramm, QObject* kontext, std::function<void(double, double)> f) {
  auto* v = qobject_cast<QChartView*>(diagramm);
  if (!v) return;
  auto* kurve = static_cast<QLineSeries*>(v->chart()->series().value(0));
  kurve->setPointsVisible(true);
  QObject::connect(kurve, &QLineSeries::clicked, kontext,
                   [f](const QPointF& p) { f(p.x(), p.y()); });
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
