#include "painting/bildexport.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>

#include "painting/maler.h"

namespace t21 {

std::optional<TAnsicht> BildAnsicht(const TCadModel& m, const TCadView& view, QString& fehler) {
  const TAusdehnung e = GetExt(m, false);
  if (e.MinX > e.MaxX || e.MinY > e.MaxY) {
    fehler =
        QStringLiteral("Die Zeichnung enthält keine sichtbaren Elemente – kein Bild erstellt.");
    return std::nullopt;
  }
  TAnsicht a = view.Ansicht();
  const double breite = (e.MaxX - e.MinX + 100) * a.Zoom;
  const double hoehe = (e.MaxY - e.MinY + 100) * a.Zoom;
  if (!(breite <= kBildMaxSeite && hoehe <= kBildMaxSeite) || breite < 1 || hoehe < 1) {
    QLocale de(QLocale::German, QLocale::Germany);
    fehler = QStringLiteral(
                 "Das Bild wäre %1 × %2 Pixel groß; erlaubt sind 1 bis %3 Pixel je "
                 "Seite. Bitte den Zoom ändern.")
                 .arg(de.toString(breite, 'f', 0), de.toString(hoehe, 'f', 0),
                      de.toString(kBildMaxSeite));
    return std::nullopt;
  }
  a.OrgX = e.MinX - 50;
  a.OrgY = e.MinY - 50;
  a.Width = RundeGerade(breite);
  a.Height = RundeGerade(hoehe);
  // The grid, the shapes and the origin all measure from the picture's own
  // height.
  a.MetaAktiv = false;
  return a;
}

void MaleBildInhalt(QPainter& p, const TCadModel& m, const TCadView& view, const TAnsicht& a) {
  TMaler maler(p, a, view.SelPen());
  maler.Hintergrund(view.Color, view.ShowGrid(), view.GridMinor(), view.GridMajor(),
                    view.GridColor());
  maler.Modell(m);
  maler.Ursprung();
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(0, 0, a.Width - 1, a.Height - 1));
}

std::optional<QImage> BildAlsRaster(const TCadModel& m, const TCadView& view, QString& fehler) {
  const auto a = BildAnsicht(m, view, fehler);
  if (!a) return std::nullopt;
  QImage bild(a->Width, a->Height, QImage::Format_RGB32);
  if (bild.isNull()) {
    fehler = QStringLiteral("Für das Bild ist nicht genug Speicher frei.");
    return std::nullopt;
  }
  QPainter p(&bild);
  MaleBildInhalt(p, m, view, *a);
  p.end();
  return bild;
}

namespace {

bool MaleSvg(QIODevice* ziel, const TCadModel& m, const TCadView& view, const TAnsicht& a) {
  QSvgGenerator svg;
  svg.setOutputDevice(ziel);
  svg.setSize(QSize(a.Width, a.Height));
  svg.setViewBox(QRect(0, 0, a.Width, a.Height));
  svg.setResolution(96);
  svg.setTitle(QStringLiteral("Tamkor21 – Zeichnung"));
  QPainter p;
  if (!p.begin(&svg)) return false;
  MaleBildInhalt(p, m, view, a);
  return p.end();
}

QString Schreibfehler(const QString& datei) {
  return QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(datei);
}

}  // namespace

QByteArray BildAlsSvg(const TCadModel& m, const TCadView& view, QString& fehler) {
  const auto a = BildAnsicht(m, view, fehler);
  if (!a) return {};
  QByteArray daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::WriteOnly);
  if (!MaleSvg(&puffer, m, view, *a)) {
    fehler = QStringLiteral("Das SVG-Bild konnte nicht erstellt werden.");
    return {};
  }
  return daten;
}

bool SpeichereBild(const TCadModel& m, const TCadView& view, const QString& datei,
                   QString& fehler) {
  const QString endung = QFileInfo(datei).suffix().toLower();
  if (endung != QLatin1String("svg") && endung != QLatin1String("pdf") &&
      endung != QLatin1String("png") && endung != QLatin1String("bmp")) {
    fehler = QStringLiteral("Unbekanntes Bildformat \"%1\" (erwartet .svg, .pdf, .png oder .bmp).")
                 .arg(datei);
    return false;
  }
  const auto a = BildAnsicht(m, view, fehler);
  if (!a) return false;
  if (endung == QLatin1String("svg")) {
    QFile f(datei);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !MaleSvg(&f, m, view, *a) ||
        !f.flush()) {
      fehler = Schreibfehler(datei);
      return false;
    }
    return true;
  }
  if (endung == QLatin1String("pdf")) {
    {
      QFile probe(datei);
      if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fehler = Schreibfehler(datei);
        return false;
      }
    }
    QPdfWriter pdf(datei);
    pdf.setResolution(96);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(a->Width * 72.0 / 96, a->Height * 72.0 / 96), QPageSize::Point,
                              QString(), QPageSize::ExactMatch));
    pdf.setTitle(QStringLiteral("Tamkor21 – Zeichnung"));
    QPainter p;
    if (!p.begin(&pdf)) {
      fehler = Schreibfehler(datei);
      return false;
    }
    MaleBildInhalt(p, m, view, *a);
    if (!p.end()) {
      fehler = Schreibfehler(datei);
      return false;
    }
    return true;
  }
  const auto bild = BildAlsRaster(m, view, fehler);
  if (!bild) return false;
  if (!bild->save(datei, endung == QLatin1String("png") ? "PNG" : "BMP")) {
    fehler = Schreibfehler(datei);
    return false;
  }
  return true;
}

bool BildInZwischenablage(const TCadModel& m, const TCadView& view, QString& fehler) {
  const auto bild = BildAlsRaster(m, view, fehler);
  if (!bild) return false;
  const QByteArray svg = BildAlsSvg(m, view, fehler);
  if (svg.isEmpty()) return false;
  QClipboard* ablage = QGuiApplication::clipboard();
  if (!ablage) {
    fehler = QStringLiteral("Die Zwischenablage ist nicht verfügbar.");
    return false;
  }
  auto* daten = new QMimeData;
  daten->setImageData(*bild);
  daten->setData(QStringLiteral("image/svg+xml"), svg);
  ablage->setMimeData(daten);
  return true;
}

}  // namespace t21
