// The simulation window: the balance period and the animation element,
// "Berechnung starten" runs the project as a job on its own copy (the window
// and the drawing stay usable), the pre-run check table, progress with date,
// step and percentage, "Berechnung abbrechen"; the result pages with their
// selection lists and filters, the assessment charts, the animation page,
// copying, exporting, printing, saving and loading of the results.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/simulation/diagramme.h"
#include "app/simulation/ergebnismodell.h"
#include "report/eingabedaten.h"
#include "report/ergebnisbericht.h"
#include "simulation/ergebnisse.h"
#include "simulation/lauf.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QTimeEdit;
class QTimer;
class QTreeWidget;
class QChartView;
class QChart;

namespace t21 {

class TDialoge;
class TDokument;
class TfrmPreview;
class TFormReportErstellung;
class TLaufAuftrag;

class TSimulationForm : public QDialog {
  Q_OBJECT
 public:
  TSimulationForm(TDokument& dok, TDialoge& dialoge, QWidget* eltern = nullptr);
  ~TSimulationForm() override;

  // The results shown (of the last completed run or the last load).
  const TDataModule2& Ergebnisse() const { return FErgebnisse; }
  bool HatErgebnisse() const { return FHatErgebnisse; }
  // The project revision the results were computed from (0 for loaded ones).
  uint64_t ErgebnisRevision() const { return FErgebnisRevision; }
  // The start states the run saved at its events (empty for older results).
  const std::map<std::string, TStartzustaende>& Startzustaende() const { return FStartzustaende; }
  bool Laeuft() const { return FAuftrag != nullptr; }
  // The messages of the last start's checks (also of a refused start).
  const TTabelle& Pruefungen() const { return FPruefungen; }
  // The input echo of the run whose results are shown (of loaded results:
  // the tables the file holds).
  const TEingabedaten& Eingabedaten() const { return FEingabe; }

  // The result pages: the tree entry's text selects the page.
  bool ZeigeSeite(const QString& titel);
  QTableView* SeitenTabelle(const QString& titel) const;
  QComboBox* SeitenElemente(const QString& titel) const;
  QComboBox* SeitenZeitraeume(const QString& titel) const;
  QComboBox* SeitenSpalte(const QString& titel) const;
  QComboBox* SeitenOperator(const QString& titel) const;
  QLineEdit* SeitenWert(const QString& titel) const;
  QString SeitenFilterText(const QString& titel) const;
  // Copy, export and report of a page, and the filter button.
  void SeiteKopieren(const QString& titel);
  void SeiteExportieren(const QString& titel);
  void SeiteReport(const QString& titel);
  // The results report of these sections: in the preview "Druckvorschau"
  // (non-modal, null with a message on failure), on the printer chosen in
  // the print dialog, or as a PDF file chosen in the file dialog.
  TfrmPreview* ReportVorschau(const std::vector<int>& abschnitte, const QString& titel);
  bool ReportDrucken(const std::vector<int>& abschnitte);
  bool ReportAlsPdf(const std::vector<int>& abschnitte, const QString& titel);
  // How "Ergebnisse drucken" asks for the sections (tests answer here); by
  // default the dialog runs modally.
  std::function<int(TFormReportErstellung&)> AbschnitteWaehlen;
  // The preview opened last, while it is open.
  QPointer<TfrmPreview> LetzteVorschau;
  void SeiteFiltern(const QString& titel);
  QStringList Seitentitel() const;
  QTabWidget* Reiter() const { return FReiter; }
  QChartView* DiagrammAnsicht(int i) const;  // 0 hydrology, 1 and 2 the dose charts
  // Saves a chart as SVG or PNG (by the extension); false with a message.
  bool DiagrammSpeichern(int i, const QString& datei);
  void DiagrammKopieren(int i);

  // Controls (their names are the object names).
  QPushButton *ButtonStart, *ButtonAbbruch, *ButtonOK, *ButtonDrucken, *ButtonSpeichern,
      *ButtonLaden, *ButtonAnimation;
  QDateEdit *DateTimePickerBeginnTag, *DateTimePickerEndeTag;
  QTimeEdit *DateTimePickerBeginnZeit, *DateTimePickerEndeZeit;
  QLineEdit *Datum, *Zeitschritt;
  QLabel* ProzentLabel;
  QProgressBar* ProgressBar1;
  QComboBox* AnimationAuswahl;
  QTableView* PruefTabelle;
  // The animation page.
  QWidget* Animation;
  QScrollBar* AnimationPosition;
  QSlider *AnimationTempo, *AnimationSkala;
  QCheckBox *AnimationLaeuft, *AnimationRueckwaerts;
  QLabel *AnimationZeit, *AnimationQ;
  QPushButton *AnimationKopieren, *AnimationExport, *AnimationBild;
  QChartView* AnimationDiagramm;

 public slots:
  void ButtonStartClick();
  void ButtonAbbruchClick();
  void ButtonSpeichernClick();
  void ButtonLadenClick();
  void ButtonDruckenClick();
  void ButtonAnimationClick();
  void FillBoxes();
  void InitAnimation();
  // One step of the animation's timer: forward one row, or back a window.
  void AnimationSchritt();

 signals:
  // A run has ended (completed, cancelled, refused or failed).
  void LaufBeendet();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  struct TSeite;
  void BaueOberflaeche();
  QWidget* BaueSeite(TSeite& s);
  QWidget* BaueAnimation();
  TSeite* Seite(const QString& titel) const;
  void SeiteAnwenden(TSeite& s);
  void ZeigeStand();
  void LaufEnde();
  void SetzeKnoepfe(bool laeuft);
  void AktualisiereTitel();
  void Diagrammzeile(TSeite& s);
  void AnimationZeichnen();
  const TTabelle& Tab(const TSeite& s) const;
  bool Gehalten(const TSeite& s) const;
  void ZeigeTabellen();
  bool Speichern(const QString& datei, QString& fehler);
  TErgebnisberichtOptionen BerichtOptionen(const std::vector<int>& abschnitte) const;

  TDokument& FDok;
  TDialoge& FDialoge;
  // The saved start states of the run's events (empty for older results).
  std::map<std::string, TStartzustaende> FStartzustaende;
  int FBeobachter = 0;
  TDataModule2 FErgebnisse;
  bool FHatErgebnisse = false;
  bool FGeladen = false;
  bool FAbgebrochen = false;
  uint64_t FErgebnisRevision = 0;
  TTabelle FPruefungen;
  TEingabedaten FEingabe, FEingabeLauf;
  TErgebnisModell* FPruefModell = nullptr;
  std::unique_ptr<TLaufAuftrag> FAuftrag;
  QTimer* FStandUhr = nullptr;
  std::vector<std::unique_ptr<TSeite>> FSeiten;
  QTreeWidget* FBaum = nullptr;
  QStackedWidget* FStapel = nullptr;
  QTabWidget* FReiter = nullptr;
  QWidget* FLeereSeite = nullptr;
  QChartView* FDiagramme[3] = {nullptr, nullptr, nullptr};
  QCheckBox* FLogarithmisch = nullptr;
  QLabel* FLegende = nullptr;  // of the dose charts
  // The animation element of the results shown: name and type code.
  std::string FAnimationName, FAnimationTyp;
  double FAnimationMaxQ = 0;
  double FDtMin = 5;
  QTimer* FAnimationUhr = nullptr;
};

}  // namespace t21
