#include "report/ergebnisdiagramme.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "simulation/bewertung.h"

namespace t21 {

bool LaufZeitraumText(const std::string& s, TDateTime& t) {
  // dd.mm.yy hh:nn:ss
  int d, m, y, h = 0, n = 0, sec = 0;
  if (std::sscanf(s.c_str(), "%d.%d.%d %d:%d:%d", &d, &m, &y, &h, &n, &sec) < 3) return false;
  if (y < 100) y += y < 50 ? 2000 : 1900;
  const QDate datum(y, m, d);
  if (!datum.isValid()) return false;
  const QDateTime null(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
  t = static_cast<double>(null.msecsTo(QDateTime(datum, QTime(h, n, sec), Qt::UTC))) / 86400000.0;
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
    erstes.Jahresachse = zweites.Jahresachse = true;
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

namespace {

const QColor kFarben[] = {QColor(0x20, 0x9f, 0xdf), QColor(0x99, 0xca, 0x53),
                          QColor(0xf6, 0xa6, 0x25), QColor(0x6d, 0x5f, 0xd5),
                          QColor(0xbf, 0x59, 0x3e), QColor(0x40, 0x40, 0x40)};

// Round steps (1, 2, 5 times a power of ten) for about n intervals.
double Schritt(double spanne, int n) {
  if (!(spanne > 0) || !std::isfinite(spanne)) return 1;
  const double roh = spanne / std::max(n, 1);
  const double p = std::pow(10.0, std::floor(std::log10(roh)));
  for (double f : {1.0, 2.0, 5.0, 10.0})
    if (roh <= f * p) return f * p;
  return 10 * p;
}

QString Zahltext(double v, double schritt) {
  const QLocale de(QLocale::German, QLocale::Germany);
  if (std::abs(v) < schritt * 1e-9) v = 0;
  const int stellen = std::clamp(static_cast<int>(std::ceil(-std::log10(schritt))), 0, 6);
  return de.toString(v, 'f', stellen);
}

}  // namespace

QColor Reihenfarbe(const TReihe& r, size_t i) {
  return r.Farbe.isValid() ? r.Farbe : kFarben[i % std::size(kFarben)];
}

void ZeichneDiagramm(QPainter& p, const QRectF& r, const TDiagrammDaten& d, bool logarithmisch) {
  p.save();
  p.setClipRect(r);
  const double einheit = std::max(4.0, r.height() / 28.0);
  QFont schrift(QStringLiteral("Arial"));
  schrift.setPixelSize(std::max(1, static_cast<int>(std::lround(einheit))));
  QFont titelschrift = schrift;
  titelschrift.setBold(true);
  titelschrift.setPixelSize(std::max(1, static_cast<int>(std::lround(einheit * 1.2))));
  const QFontMetricsF fm(schrift), tm(titelschrift);
  p.setPen(QPen(Qt::black, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));

  // Title and legend.
  double oben = r.top() + einheit * 0.4;
  p.setFont(titelschrift);
  p.drawText(QRectF(r.left(), oben, r.width(), tm.height()), Qt::AlignHCenter, d.Titel);
  oben += tm.height() + einheit * 0.3;
  struct TEintrag {
    QString Text;
    QColor Farbe;
    bool Punkte;
  };
  std::vector<std::vector<TEintrag>> legende(1);
  {
    double x = 0;
    const double breit = r.width() - 2 * einheit;
    for (size_t i = 0; i < d.Reihen.size(); ++i) {
      const TReihe& reihe = d.Reihen[i];
      const double w = einheit * 2 + fm.horizontalAdvance(reihe.Titel) + einheit;
      if (x > 0 && x + w > breit) {
        legende.emplace_back();
        x = 0;
      }
      legende.back().push_back(
          {reihe.Titel, Reihenfarbe(reihe, i), reihe.Art == TReihe::TArt::Punkte});
      x += w;
    }
  }
  const double legendeHoehe = (legende.front().empty() ? 0 : legende.size()) * fm.height();
  double unten = r.bottom() - einheit * 0.4 - legendeHoehe;
  p.setFont(schrift);
  for (size_t z = 0; z < legende.size(); ++z) {
    double x = r.left() + einheit;
    const double y = unten + z * fm.height();
    for (const TEintrag& e : legende[z]) {
      const QRectF mark(x, y + fm.height() * 0.25, einheit * 1.4, fm.height() * 0.5);
      if (e.Punkte) {
        p.setPen(QPen(e.Farbe, 0));
        p.setBrush(e.Farbe);
        p.drawEllipse(mark.center(), einheit * 0.3, einheit * 0.3);
        p.setBrush(Qt::NoBrush);
      } else {
        p.setPen(QPen(e.Farbe, einheit / 6));
        p.drawLine(QPointF(mark.left(), mark.center().y()),
                   QPointF(mark.right(), mark.center().y()));
      }
      p.setPen(QPen(Qt::black, 0));
      p.drawText(QPointF(x + einheit * 2, y + fm.ascent()), e.Text);
      x += einheit * 3 + fm.horizontalAdvance(e.Text);
    }
  }

  // The ranges of the values.
  double xmin = std::numeric_limits<double>::max(), xmax = -xmin, ymin = 0, ymax = 0;
  bool punkte = false;
  for (const TReihe& reihe : d.Reihen)
    for (const QPointF& q : reihe.Punkte) {
      if (!std::isfinite(q.x()) || !std::isfinite(q.y()) || (logarithmisch && q.x() <= 0)) continue;
      xmin = std::min(xmin, q.x());
      xmax = std::max(xmax, q.x());
      ymin = std::min(ymin, q.y());
      ymax = std::max(ymax, q.y());
      punkte = true;
    }
  if (!punkte) {
    xmin = logarithmisch ? 0.1 : 0;
    xmax = 1;
  }
  if (xmax <= xmin) xmax = xmin + 1;
  if (ymax <= ymin) ymax = ymin + 1;
  const double ys = Schritt(ymax - ymin, 5);
  ymin = std::floor(ymin / ys) * ys;
  ymax = std::ceil((ymax + (ymax - ymin) * 0.05) / ys) * ys;
  const double xs =
      d.Jahresachse ? std::max(1.0, Schritt(xmax - xmin, 10)) : Schritt(xmax - xmin, 6);
  double lx0 = 0, lx1 = 1;
  if (logarithmisch) {
    lx0 = std::floor(std::log10(xmin));
    lx1 = std::ceil(std::log10(xmax));
    if (lx1 <= lx0) lx1 = lx0 + 1;
  }

  // The plot area: labels of the value axis on the left, of the x axis below.
  double yLabel = 0;
  for (double v = ymin; v <= ymax + ys * 0.5; v += ys)
    yLabel = std::max(yLabel, fm.horizontalAdvance(Zahltext(v, ys)));
  double xLabel = fm.height();
  if (d.Jahresachse) xLabel = fm.horizontalAdvance(QStringLiteral("0000")) + einheit * 0.3;
  const QRectF f(
      QPointF(r.left() + fm.height() * 1.4 + yLabel + einheit * 0.5, oben + einheit * 0.3),
      QPointF(r.right() - einheit, unten - einheit * 0.3 - xLabel - fm.height() * 1.2));
  if (f.width() < 10 || f.height() < 10) {
    p.restore();
    return;
  }
  auto X = [&](double x) {
    if (logarithmisch) return f.left() + (std::log10(x) - lx0) / (lx1 - lx0) * f.width();
    return f.left() + (x - xmin) / (xmax - xmin) * f.width();
  };
  auto Y = [&](double y) { return f.bottom() - (y - ymin) / (ymax - ymin) * f.height(); };
  const QPen gitter(QColor(0xd8, 0xd8, 0xd8), 0);
  // Value axis.
  for (double v = ymin; v <= ymax + ys * 0.5; v += ys) {
    const double y = Y(v);
    p.setPen(gitter);
    p.drawLine(QPointF(f.left(), y), QPointF(f.right(), y));
    p.setPen(QPen(Qt::black, 0));
    const QString t = Zahltext(v, ys);
    p.drawText(QPointF(f.left() - einheit * 0.3 - fm.horizontalAdvance(t), y + fm.ascent() / 2.5),
               t);
  }
  // x axis.
  auto xMarke = [&](double v, const QString& t) {
    const double x = X(v);
    if (x < f.left() - 0.5 || x > f.right() + 0.5) return;
    p.setPen(gitter);
    p.drawLine(QPointF(x, f.top()), QPointF(x, f.bottom()));
    p.setPen(QPen(Qt::black, 0));
    if (d.Jahresachse) {
      p.save();
      p.translate(x + fm.ascent() / 2.5, f.bottom() + einheit * 0.3 + fm.horizontalAdvance(t));
      p.rotate(-90);
      p.drawText(QPointF(0, 0), t);
      p.restore();
    } else {
      p.drawText(QPointF(x - fm.horizontalAdvance(t) / 2, f.bottom() + fm.ascent() + einheit * 0.2),
                 t);
    }
  };
  if (logarithmisch) {
    for (double e = lx0; e <= lx1 + 0.5; e += 1) {
      const double v = std::pow(10.0, e);
      xMarke(v, Zahltext(v, std::min(1.0, v)));
    }
  } else {
    const double x0 = std::ceil(xmin / xs - 1e-9) * xs;
    for (double v = x0; v <= xmax + xs * 1e-9; v += xs)
      xMarke(v, d.Jahresachse ? QString::number(std::lround(v)) : Zahltext(v, xs));
  }
  p.setPen(QPen(Qt::black, 0));
  p.drawRect(f);
  p.drawText(QRectF(f.left(), unten - einheit * 0.3 - fm.height() * 1.2, f.width(), fm.height()),
             Qt::AlignHCenter, d.XAchse);
  p.save();
  p.translate(r.left() + einheit * 0.3, f.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-f.height() / 2, 0, f.height(), fm.height()), Qt::AlignHCenter, d.YAchse);
  p.restore();

  // The series.
  p.setClipRect(f.adjusted(-einheit * 0.4, -einheit * 0.4, einheit * 0.4, einheit * 0.4));
  for (size_t i = 0; i < d.Reihen.size(); ++i) {
    const TReihe& reihe = d.Reihen[i];
    const QColor farbe = Reihenfarbe(reihe, i);
    QPainterPath pfad;
    bool erster = true;
    for (const QPointF& q : reihe.Punkte) {
      if (!std::isfinite(q.x()) || !std::isfinite(q.y()) || (logarithmisch && q.x() <= 0)) continue;
      const QPointF z(X(q.x()), Y(q.y()));
      if (reihe.Art == TReihe::TArt::Punkte) {
        p.setPen(QPen(farbe.darker(130), 0));
        p.setBrush(farbe);
        p.drawEllipse(z, einheit * 0.3, einheit * 0.3);
      } else if (erster) {
        pfad.moveTo(z);
        erster = false;
      } else {
        pfad.lineTo(z);
      }
    }
    if (reihe.Art == TReihe::TArt::Linie) {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(farbe, einheit / 6));
      p.drawPath(pfad);
    }
  }
  p.restore();
}

}  // namespace t21
