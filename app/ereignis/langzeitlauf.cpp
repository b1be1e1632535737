#include "app/ereignis/langzeitlauf.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/basis/dialoge.h"
#include "document/lauf_auftrag.h"
#include "model/regen.h"
#include "storage/export_csv.h"
#include "storage/mgl.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

namespace t21 {

TKopieAuftrag::~TKopieAuftrag() {
  if (FThread.joinable()) FThread.join();
}

bool TKopieAuftrag::Starte(const TM3Model& m, std::function<void(TM3Model&)> arbeit,
                           std::function<void()> fertig) {
  if (FLaeuft) return false;
  if (FThread.joinable()) FThread.join();
  // The copy goes through the project file's form, in memory: the run
  // shares nothing with the project, which stays editable meanwhile.
  FKopie = std::make_unique<TM3Model>();
  ModellAusPaket(*FKopie, *ModellAlsPaket(m), m.FileName);
  FKopie->Modified = 0;
  // The copy's rain gauges read their files beside the project, whatever
  // the current folder.
  for (int i = 0; i < FKopie->Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(FKopie->GetNode(i))))
      r->FileName = Regendatei(m, r->FileName);
  FLaeuft = true;
  FThread = std::thread([this, arbeit = std::move(arbeit), fertig = std::move(fertig)] {
    arbeit(*FKopie);
    // Back on the receiver's thread; a receiver destroyed meanwhile drops
    // the call (its destructor has waited for this thread).
    QMetaObject::invokeMethod(
        FEmpfaenger,
        [this, fertig] {
          if (FThread.joinable()) FThread.join();
          FKopie.reset();
          FLaeuft = false;
          fertig();
        },
        Qt::QueuedConnection);
  });
  return true;
}

QDateTime AlsDatumZeit(TDateTime t) {
  static const QDateTime null(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
  return null.addMSecs(static_cast<qint64>(std::llround(t * 86400000.0)));
}

TDateTime AusDatumZeit(const QDateTime& d) {
  static const QDateTime null(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
  return static_cast<double>(null.msecsTo(QDateTime(d.date(), d.time(), Qt::UTC))) / 86400000.0;
}

QString ZeitText(TDateTime t, bool sekunden) {
  return AlsDatumZeit(t).toString(sekunden ? QStringLiteral("dd.MM.yyyy hh:mm:ss")
                                           : QStringLiteral("dd.MM.yyyy hh:mm"));
}

qreal Zeitachsenwert(TDateTime t) {
  // The axis shows its values in local time: the same wall-clock time there.
  const QDateTime u = AlsDatumZeit(t);
  return static_cast<qreal>(QDateTime(u.date(), u.time()).toMSecsSinceEpoch());
}

void ZeitreihenZeigen(QChart& c, const QString& titel, const std::vector<TZeitreihe>& reihen) {
  QDateTimeAxis* x = nullptr;
  QValueAxis* y = nullptr;
  for (QAbstractAxis* a : c.axes(Qt::Horizontal)) x = qobject_cast<QDateTimeAxis*>(a);
  for (QAbstractAxis* a : c.axes(Qt::Vertical)) y = qobject_cast<QValueAxis*>(a);
  c.removeAllSeries();
  c.setLocalizeNumbers(true);
  c.setLocale(QLocale(QLocale::German, QLocale::Germany));
  if (!x) {
    x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("dd.MM.yy hh:mm"));
    x->setTickCount(7);
    c.addAxis(x, Qt::AlignBottom);
  }
  if (!y) {
    y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%.4g"));
    c.addAxis(y, Qt::AlignLeft);
  }
  c.setTitle(titel);
  double xmin = std::numeric_limits<double>::max(), xmax = -xmin;
  double ymin = 0, ymax = 0;
  bool punkte = false;
  for (const TZeitreihe& r : reihen) {
    auto* s = new QLineSeries;
    s->setName(r.Titel.toHtmlEscaped());
    QList<QPointF> p;
    p.reserve(static_cast<qsizetype>(r.Zeit.size()));
    for (size_t i = 0; i < r.Zeit.size() && i < r.Wert.size(); ++i) {
      if (!std::isfinite(r.Wert[i])) continue;
      const qreal t = Zeitachsenwert(r.Zeit[i]);
      p.append(QPointF(t, r.Wert[i]));
      xmin = std::min(xmin, t);
      xmax = std::max(xmax, t);
      ymin = std::min(ymin, r.Wert[i]);
      ymax = std::max(ymax, r.Wert[i]);
      punkte = true;
    }
    s->replace(p);
    c.addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    s->setVisible(!p.isEmpty());
    for (QLegendMarker* m : c.legend()->markers(s))
      m->setVisible(!r.Titel.isEmpty() && !p.isEmpty());
  }
  if (punkte) {
    if (xmax <= xmin) xmax = xmin + 3600000.0;
    x->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xmin)),
                QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(xmax)));
    if (ymax <= ymin) ymax = ymin + 1;
    y->setRange(ymin, ymax + (ymax - ymin) * 0.05);
    y->applyNiceNumbers();
  } else {
    x->setRange(QDateTime::currentDateTime().addDays(-1), QDateTime::currentDateTime());
    y->setRange(0, 1);
  }
  c.legend()->setVisible(true);
  c.legend()->setAlignment(Qt::AlignBottom);
}

std::string TabellenTextMitZeit(const TTabelle& t, const TZahlenformat& f) {
  const TSchema& s = t.Schema();
  std::string r;
  for (int i = 0; i < t.Spalten(); ++i) {
    if (i) r += '\t';
    r += s.Felder[static_cast<size_t>(i)].Label;
  }
  r += "\r\n";
  for (int z = 0; z < t.Anzahl(); ++z) {
    for (int i = 0; i < t.Spalten(); ++i) {
      if (i) r += '\t';
      const TWert& w = t.Wert(z, i);
      if (IstNull(w)) continue;
      switch (s.Felder[static_cast<size_t>(i)].Typ) {
        case TFeldTyp::Date:
          r += MGLZeit(AlsZahl(w), f);
          break;
        case TFeldTyp::Float:
          r += CSVZahl(AlsZahl(w), f);
          break;
        default: {
          std::string x = AlsText(w);
          for (char& c : x)
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
          r += x;
        }
      }
    }
    r += "\r\n";
  }
  return r;
}

namespace {

QByteArray Svg(QChartView& v) {
  QByteArray daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&puffer);
  svg.setSize(v.size());
  svg.setViewBox(QRect(QPoint(0, 0), v.size()));
  svg.setTitle(v.chart()->title());
  QPainter p(&svg);
  v.render(&p);
  p.end();
  return daten;
}

}  // namespace

void DiagrammAlsBitmap(QChartView& v) {
  QApplication::clipboard()->setPixmap(v.grab());
}

QMimeData* DiagrammMimeDaten(QChartView& v) {
  auto* m = new QMimeData;
  m->setData(QStringLiteral("image/svg+xml"), Svg(v));
  m->setImageData(v.grab().toImage());
  return m;
}

void DiagrammAlsMetafile(QChartView& v) {
  QApplication::clipboard()->setMimeData(DiagrammMimeDaten(v));
}

bool DiagrammSpeichern(QChartView& v, const QString& datei, QString& fehler) {
  const QString e = QFileInfo(datei).suffix().toUpper();
  bool ok = false;
  if (e == QLatin1String("SVG")) {
    QSvgGenerator svg;
    svg.setFileName(datei);
    svg.setSize(v.size());
    svg.setViewBox(QRect(QPoint(0, 0), v.size()));
    svg.setTitle(v.chart()->title());
    QPainter p;
    if (p.begin(&svg)) {
      v.render(&p);
      ok = p.end() && QFileInfo::exists(datei);
    }
  } else if (e == QLatin1String("BMP") || e == QLatin1String("PNG")) {
    ok = v.grab().save(datei, e.toLatin1().constData());
  } else {
    fehler = QStringLiteral("Ungültiges Dateiformat");
    return false;
  }
  if (!ok) fehler = QStringLiteral("Die Datei %1 kann nicht geschrieben werden").arg(datei);
  return ok;
}

QMenu* DiagrammKontextmenue(QChartView& v, TDialoge& dialoge, QWidget* fenster) {
  auto* m = new QMenu(&v);
  m->setObjectName(QStringLiteral("DiagrammMenue"));
  QChartView* ansicht = &v;
  auto neu = [m](const char* name, const char* text) {
    QAction* a = m->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromUtf8(name));
    return a;
  };
  QObject::connect(neu("DiagrammBitmap", "Als Bitmap in Zwischenablage exportieren"),
                   &QAction::triggered, ansicht, [ansicht] { DiagrammAlsBitmap(*ansicht); });
  QObject::connect(neu("DiagrammMetafile", "Als Metafile in Zwischenablage exportieren"),
                   &QAction::triggered, ansicht, [ansicht] { DiagrammAlsMetafile(*ansicht); });
  QObject::connect(
      neu("DiagrammSpeichern", "Speichern..."), &QAction::triggered, ansicht,
      [ansicht, &dialoge, fenster] {
        const QString d = dialoge.DateiSpeichern(
            fenster, QStringLiteral("Diagramm speichern"),
            QStringLiteral(
                "Skalierbare Vektorgrafik  (*.SVG);;Bitmap  (*.BMP);;PNG-Bild  (*.PNG)"));
        if (d.isEmpty()) return;
        QString fehler;
        if (!DiagrammSpeichern(*ansicht, d, fehler)) dialoge.Meldung(fenster, fehler);
      });
  v.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&v, &QWidget::customContextMenuRequested, m,
                   [m, ansicht](const QPoint& p) { m->popup(ansicht->mapToGlobal(p)); });
  return m;
}

}  // namespace t21
