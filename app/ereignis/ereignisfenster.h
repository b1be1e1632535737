// The event window "Ereignis-Diagramm": one recorded system event of the
// last long run simulated again for one element, as chart series
// ("Ereignis-Grafik") or table rows ("Ereignis-Tabelle"); in chart mode the
// outflows of the marked elements side by side instead. The run goes on a
// copy of the project on a worker thread. The window holds the element by
// shape id and name: a change notice refreshes the element list, follows a
// rename and clears the display when the element is gone.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/ereignis/langzeitlauf.h"
#include "simulation/ereignis.h"

class QComboBox;
class QLabel;
class QMenu;
class QStackedWidget;
class QTableView;
class QToolButton;
class QChartView;

namespace t21 {

class TDialoge;
class TDokument;
class TEreignisTabellenModell;
struct TAenderung;

inline constexpr const char* kMarkierteKomponenten = "< markierte Komponenten >";
inline constexpr const char* kKeinLangzeitlauf =
    "Es liegt keine abgeschlossene Langzeitsimulation vor.\nBitte zuerst unter "
    "\"Simulation\" - \"Langzeitsimulation\" eine Simulation rechnen.";
inline constexpr const char* kKeineStartzustaende =
    "Die Ergebnisse der Langzeitsimulation enthalten keine Anfangszustände der Ereignisse.\n"
    "Bitte die Langzeitsimulation erneut rechnen.";
inline constexpr const char* kKeineEreignisse =
    "Die Langzeitsimulation hat keine Systemereignisse aufgezeichnet.";

class TFormEreignisChart : public QWidget {
  Q_OBJECT
 public:
  // The window for the element with the shape id in chart (grafik) or table
  // mode, shown; null with a message when there is no finished long run
  // that holds events and their start states, or no such element.
  static TFormEreignisChart* Oeffnen(TDokument& dok, TDialoge& dialoge, TLaufQuelle quelle,
                                     uint64_t id, bool grafik, QWidget* eltern);
  // Closes the event windows under eltern that show dok (every one for
  // null), before the document goes.
  static void SchliesseAlle(QWidget* eltern, const TDokument* dok = nullptr);

  TFormEreignisChart(TDokument& dok, TDialoge& dialoge, TLaufQuelle quelle,
                     QWidget* eltern = nullptr);
  ~TFormEreignisChart() override;

  // Element and mode; fills the lists, sets the caption and runs.
  void Init(uint64_t id, bool grafik);
  const TDokument& Dokument() const { return FDok; }
  bool Grafik() const { return FGrafik; }
  bool More() const { return FMore; }
  // The name of the element shown (empty for the marked ones).
  const std::string& ElementName() const { return FElementName; }
  // A re-simulation is running.
  bool Rechnet() const;
  // The last result shown (Ok false: nothing shown).
  const TEreignisErgebnis& Ergebnis() const { return FErgebnis; }
  // The line under the chart: hints of the last run, or why nothing is shown.
  QString Hinweis() const;
  // The name "Speichern" proposes.
  QString VorgeschlagenerName() const;
  // The text "Kopieren" puts on the clipboard.
  QString KopierText() const;

  // Controls (their names are the object names).
  QComboBox *ElementListe, *EreignisListe, *ParameterListe, *ComboBox1;
  QChartView* Chart1;
  QTableView* DBGrid1;
  QToolButton *ToolButton1, *ToolButton2, *ToolButton3;
  QMenu* KontextMenue;

 public slots:
  // The re-simulation with the choices of the lists.
  void DoCalc();
  void Drucken();
  void Speichern();
  void Kopieren();

 signals:
  // A re-simulation has ended and its result is shown, or it was refused.
  void Gerechnet();

 private:
  void BaueOberflaeche();
  void ElementeFuellen();
  void EreignisseFuellen();
  void SetCaption();
  void SelectParameters();
  void Leeren(const QString& grund);
  void Zeigen(TEreignisErgebnis e);
  void Geaendert(const TAenderung& a);
  void ElementGewaehlt();
  const TElement* Element() const;

  TDokument& FDok;
  TDialoge& FDialoge;
  TLaufQuelle FQuelle;
  std::shared_ptr<const TLangzeitlauf> FLauf;
  int FBeobachter = 0;
  bool FGrafik = true, FMore = false;
  uint64_t FElementId = 0;
  std::string FElementName;
  bool FFuelle = false;
  TEreignisErgebnis FErgebnis;
  QString FHinweis;
  TKopieAuftrag FAuftrag{this};
  bool FNochmal = false;
  QStackedWidget* FStapel = nullptr;
  QLabel* FStatus = nullptr;
  TEreignisTabellenModell* FModell = nullptr;
};

}  // namespace t21
