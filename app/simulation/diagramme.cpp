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

namespace {}  // namespace

bool LaufZeitraumText(const std::string& s, TDateTime& t) {
  // dd.mm.yy hh:nn:ss
  int d, m, y, h = 0, n = 0, sec = 0;
  if (std::sscanf(s.c_str(), "%d.%d.%d %d:%d:%d", &d, &m, &y, &h, &n, &sec) < 3) return false;
  if (y < 100) y += y < 50 ? 2000 : 1900;
  const QDate datum(y, m, d);
  if (!datum.isValid()) return false;
  t = AusQDateTime(QDateTime(datum, QTime(h, n, sec), Qt::UTC));
  return true;
}

namespace {

std::vector<int> Zeilen(const TTabelle& t, const char* spalte, const std::string& name) {
  std::vector<int> r;
  const int i = t.Schema().Index(spalte);
  if (i < 0) return r;
  for (int z = 0; z < t.Anzahl(); ++z)
    if (AlsText(t.Wert(z, i)) == name) r.push_back(z);
  return r;
}

double Zahl(const TTabelle& t, int z, const char* spalte) {
  return AlsZahl(t.Wert(z, spalte));
}

// The class set of a stored row by its G8 value.
TKlassensatz KlassenAusG8(double g8) {
  if (g8 == 5) return Klassensatz(1, 0, false);
  if (g8 == 7) return Klassensatz(1, 1, false);
  if (g8 == 8) return Klassensatz(1, 1, true);
  if (g8 == 0.02) return Klassensatz(2, 0, false);
  if (g8 == 0.004) return Klassensatz(2, 0, true);
  if (g8 <= 0.001) return TKlassensatz{};
  if (g8 <= 0.01) return Klassensatz(2, 0, true);
  return Klassensatz(2, 0, false);
}

const char* kKlassenTitel[3] = {"Grenzwert Häufigkeitsklasse selten (n < 0,5/a)",
                                "Grenzwert Häufigkeitsklasse mittel (0,5 <= n <= 4/a)",
                                "Grenzwert Häufigkeitsklasse häufig (n > 25/a)"};

}  // namespace

bool TDiagrammDaten::Leer() const {
  for (const TReihe& r : Reihen)
    if (!r.Punkte.empty()) return false;
  return true;
}

bool LaufZeitraum(const TDataModule2& dm, TDateTime& start, TDateTime& ende) {
  const TTabelle& r = dm.CDSReport;
  if (r.Anzahl() < 2) return false;
  return LaufZeitraumText(AlsText(r.Wert(0, "S2")), start) &&
         LaufZeitraumText(AlsText(r.Wert(1, "S2")), ende);
}

int ParameterNummer(const std::string& p) {
  if (p.empty()) return 0;
  switch (p[0]) {
    case 'O':
      return 1;
    case 'N':
      return 2;
    case 'A':
      return 3;
    default:
      return 0;
  }
}

TDiagrammDaten HochwasserDaten(const TDataModule2& dm, const std::string& element) {
  TDiagrammDaten d;
  d.Titel = QString::fromStdString(element);
  d.XAchse = QStringLiteral("Wiederkehrzeit [a]");
  d.YAchse = QStringLiteral("Q [l/s]");
  TDateTime start = 0, ende = 0;
  LaufZeitraum(dm, start, ende);
  const int N = GanzeJahre(start, ende);
  TVektor a, b;
  for (int z : Zeilen(dm.CDSESTEreignisse, "Name", element)) {
    a.Add(Zahl(dm.CDSESTEreignisse, z, "MAXQ"));
    b.Add(Zahl(dm.CDSESTEreignisse, z, "QE"));
  }
  a.Sort(0);
  b.Sort(0);
  double qzul = 0;
  const auto hd = Zeilen(dm.CDSHDAbfluss, "Element", element);
  if (!hd.empty()) qzul = Zahl(dm.CDSHDAbfluss, hd.front(), "HQ2pnat");
  auto liste = [&](const TVektor& v, const QString& punkte, const QString& linie) {
    const TRegression r = Regression(v, N);
    TReihe p{punkte, TReihe::TArt::Punkte, {}};
    TReihe f{linie, TReihe::TArt::Linie, {}};
    for (int m = 1; m <= r.k; ++m)
      p.Punkte.emplace_back(Wiederkehrzeit(m, r.k, N), v.GetValue(m - 1));
    if (r.k > 0)
      for (int s = 1; s <= 30 * N; ++s) {
        const double T = s / 10.0;
        const double y = r.s * std::log(T) + r.i;
        if (y > 0) f.Punkte.emplace_back(T, y);
      }
    d.Reihen.push_back(std::move(p));
    d.Reihen.push_back(std::move(f));
  };
  liste(a, QStringLiteral("HQ vorhanden"), QStringLiteral("HQ vorhanden (Regression)"));
  liste(b, QStringLiteral("QE vorhanden"), QStringLiteral("QE vorhanden (Regression)"));
  d.Reihen.push_back({QStringLiteral("HQ zulässig"),
                      TReihe::TArt::Linie,
                      {QPointF(0.1, qzul), QPointF(3.0 * N, qzul)}});
  return d;
}

void DosisDaten(const TDataModule2& dm, const std::string& element, int parameter,
                TDiagrammDaten& erstes, TDiagrammDaten& zweites) {
  erstes = {};
  zweites = {};
  const TTabelle& aus = dm.CDSHDAuswertung;
  int zeile = -1;
  const char* ptext = parameter == 1 ? "O2" : parameter == 2 ? "NH3" : "AFS";
  for (int z : Zeilen(aus, "Element", element))
    if (AlsText(aus.Wert(z, "Parameter")) == ptext) zeile = z;
  const double g8 = zeile >= 0 ? Zahl(aus, zeile, "G8") : 0;
  if (parameter == 3) {
    erstes.Titel = QStringLiteral("Frachten AFS63");
    erstes.XAchse = QStringLiteral("Jahr");
    erstes.YAchse = QStringLiteral("AFS63 [kg/a]");
    zweites.Titel = QStringLiteral("mittlere Konzentrationen");
    zweites.XAchse = QStringLiteral("Jahr");
    zweites.YAchse = QStringLiteral("AFS63 [mg/l]");
    const double g = g8 == 20 ? 20 : 30;
    const double f = g == 20 ? 1.33 : 2;
    const TTabelle& t = dm.CDSFrachtenGewaesser;
    TReihe lasten{QStringLiteral("AFS63-Fracht"), TReihe::TArt::Punkte, {}};
    TReihe konz{QStringLiteral("mittlere Konzentration"), TReihe::TArt::Punkte, {}};
    double L = 0, C = 0, Lzul = 0;
    int jahr0 = 0, index = 0;
    double x0 = 0, x1 = 0;
    for (int z : Zeilen(t, "Name", element)) {
      const std::string jahr = AlsText(t.Wert(z, "Jahr"));
      if (index == 0) jahr0 = std::atoi(jahr.c_str());
      const double x = jahr0 + index;
      ++index;
      const double V = Zahl(t, z, "AFS_Vorbelastung");
      const double l = Zahl(t, z, "AFS") + V * Zahl(t, z, "AFS_BUE");
      const double vol = Zahl(t, z, "Q") + V * Zahl(t, z, "Q_BUE");
      const double c = vol != 0 ? 1000 * l / vol : 0;
      if (!jahr.empty() && (jahr[0] == '1' || jahr[0] == '2')) {
        if (lasten.Punkte.empty()) x0 = x;
        x1 = x;
        lasten.Punkte.emplace_back(x, l);
        konz.Punkte.emplace_back(x, c);
      }
      if (!jahr.empty() && jahr[0] == 'i') {
        L = l;
        C = c;
        Lzul = Zahl(t, z, "Q") * g / 1000 + f * V * Zahl(t, z, "AFS_BUE");
        break;
      }
    }
    erstes.Reihen.push_back(std::move(lasten));
    zweites.Reihen.push_back(std::move(konz));
    if (x1 <= x0) x1 = x0 + 1;
    erstes.Reihen.push_back({QStringLiteral("Jahresmittelwert"),
                             TReihe::TArt::Linie,
                             {QPointF(x0, L), QPointF(x1, L)}});
    erstes.Reihen.push_back(
        {QStringLiteral("Grenzwert"), TReihe::TArt::Linie, {QPointF(x0, Lzul), QPointF(x1, Lzul)}});
    zweites.Reihen.push_back({QStringLiteral("Jahresmittelwert"),
                              TReihe::TArt::Linie,
                              {QPointF(x0, C), QPointF(x1, C)}});
    zweites.Reihen.push_back(
        {QStringLiteral("Grenzwert"), TReihe::TArt::Linie, {QPointF(x0, g), QPointF(x1, g)}});
    return;
  }
  const double c = parameter == 1 ? -1 : 1;
  const QString achse = parameter == 1 ? QStringLiteral("O2 [mg/l]") : QStringLiteral("NH3 [mg/l]");
  erstes.Titel = QStringLiteral("Ereignis-Extremwerte");
  erstes.XAchse = QStringLiteral("Ereignis");
  erstes.YAchse = achse;
  zweites.Titel = QStringLiteral("Ereignis-Mittelwerte");
  zweites.XAchse = QStringLiteral("Einwirkzeit");
  zweites.YAchse = achse;
  const TKlassensatz k = KlassenAusG8(g8);
  const TTabelle& ev = dm.CDSESTEreignisse;
  TReihe extrem{parameter == 1 ? QStringLiteral("MinO2") : QStringLiteral("MaxNH3"),
                TReihe::TArt::Punkte,
                {}};
  TReihe mittel{parameter == 1 ? QStringLiteral("MedO2_kurz") : QStringLiteral("MedNH3_kurz"),
                TReihe::TArt::Punkte,
                {}};
  extrem.Farbe = mittel.Farbe = QColor(0x1f, 0x77, 0xb4);
  const QColor farben[3] = {QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                            QColor(0x94, 0x67, 0xbd)};
  erstes.EigeneLegende = zweites.EigeneLegende = true;
  int j = 0;
  for (int z : Zeilen(ev, "Name", element)) {
    ++j;
    const double dauer = Zahl(ev, z, "Dauer");
    const double A = parameter == 1 ? Zahl(ev, z, "MinO2") : Zahl(ev, z, "MaxNH3");
    const double w = parameter == 1 ? Zahl(ev, z, "MedO2_kurz") : Zahl(ev, z, "MedNH3_kurz");
    extrem.Punkte.emplace_back(j, A);
    mittel.Punkte.emplace_back(dauer, w);
  }
  erstes.Reihen.push_back(std::move(extrem));
  zweites.Reihen.push_back(std::move(mittel));
  for (int i = 0; i < 3; ++i) {
    erstes.Reihen.push_back({QString::fromUtf8(kKlassenTitel[i]),
                             TReihe::TArt::Linie,
                             {QPointF(0, k[size_t(i)].L), QPointF(std::max(j, 1), k[size_t(i)].L)},
                             farben[i]});
    TReihe kurve{QString::fromUtf8(kKlassenTitel[i]), TReihe::TArt::Linie, {}, farben[i]};
    for (int t = 1; t <= 72; ++t) kurve.Punkte.emplace_back(t, Mittelgrenze(k[size_t(i)], c, t));
    zweites.Reihen.push_back(std::move(kurve));
  }
}

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
