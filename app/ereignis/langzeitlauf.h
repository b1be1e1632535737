// What the event and calibration windows share: the last finished long run
// of a project as the windows use it, the short run on a copy of the project
// on a worker thread, and the charts over time with their copy and save.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/datum.h"
#include "model/network.h"
#include "model/simulation.h"
#include "simulation/lauf.h"

class QChart;
class QChartView;
class QMenu;
class QMimeData;
class QWidget;

namespace t21 {

class TDialoge;
class TTabelle;
struct TZahlenformat;

// The events of a finished long run and the start states it saved at each,
// with the project revision it was computed from (0 for loaded results).
// A new run or a load is a new object: a window compares the pointer to see
// whether the run it showed is still the last one.
struct TLangzeitlauf {
  std::vector<TEreignis> Ereignisse;
  std::map<std::string, TStartzustaende> Startzustaende;
  uint64_t Revision = 0;
};
// Where a window finds its project's last finished long run; null when
// there is none.
using TLaufQuelle = std::function<std::shared_ptr<const TLangzeitlauf>()>;

// A short run on a copy of the project on a worker thread: the copy is made
// on the caller's thread when it starts, the work runs on the copy, and
// fertig is called on the thread of the receiver once the work is done.
// Destroying the job waits for the work.
class TKopieAuftrag {
 public:
  explicit TKopieAuftrag(QObject* empfaenger) : FEmpfaenger(empfaenger) {}
  ~TKopieAuftrag();
  TKopieAuftrag(const TKopieAuftrag&) = delete;
  TKopieAuftrag& operator=(const TKopieAuftrag&) = delete;

  bool Laeuft() const { return FLaeuft; }
  // False when a run is still going.
  bool Starte(const TM3Model& m, std::function<void(TM3Model&)> arbeit,
              std::function<void()> fertig);

 private:
  QObject* FEmpfaenger;
  std::unique_ptr<TM3Model> FKopie;
  std::thread FThread;
  bool FLaeuft = false;
};

// A time as the charts and tables show it (wall-clock time, no zone).
QDateTime AlsDatumZeit(TDateTime t);
// The wall-clock time of d as a date-time value.
TDateTime AusDatumZeit(const QDateTime& d);
QString ZeitText(TDateTime t, bool sekunden);

// One line of a chart over time.
struct TZeitreihe {
  QString Titel;  // empty: not in the legend
  std::vector<TDateTime> Zeit;
  std::vector<double> Wert;
};
// Fills the chart: a date-time axis below, a value axis in German numbers
// at the left, one line per series (series without points hidden).
void ZeitreihenZeigen(QChart& c, const QString& titel, const std::vector<TZeitreihe>& reihen);
// The x value of a time on the date-time axis.
qreal Zeitachsenwert(TDateTime t);

// A table as tab-separated text: the labels, then one line per row (times
// as date and hh:mm:ss, numbers in full with the decimal separator of f,
// null as nothing), lines separated by CR LF.
std::string TabellenTextMitZeit(const TTabelle& t, const TZahlenformat& f);

// The chart as a picture on the clipboard: a bitmap, or a vector picture
// (SVG, with the bitmap beside it for programs that read no SVG).
void DiagrammAlsBitmap(QChartView& v);
void DiagrammAlsMetafile(QChartView& v);
// The same pictures as clipboard data, for a caller that adds more.
QMimeData* DiagrammMimeDaten(QChartView& v);
// Writes the chart by the file's extension: ".SVG" (vector), ".BMP" or
// ".PNG"; any other extension gives "Ungültiges Dateiformat".
bool DiagrammSpeichern(QChartView& v, const QString& datei, QString& fehler);
// The chart's context menu: "Als Bitmap in Zwischenablage exportieren",
// "Als Metafile in Zwischenablage exportieren", "Speichern...". Shown on
// a right click into the chart; its actions carry the object names
// "DiagrammBitmap", "DiagrammMetafile", "DiagrammSpeichern".
QMenu* DiagrammKontextmenue(QChartView& v, TDialoge& dialoge, QWidget* fenster);

}  // namespace t21
