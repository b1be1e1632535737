// The calibration aid "Modell-Abgleich" (non-modal): a measured flow
// hydrograph (".MGL") against the flow the network computes for one
// element over the period of the measurement, on the pages "Ganglinie"
// (flows) and "Summenlinie" (cumulative volumes), with the deviation of
// volume VOL, the efficiency REFF and the deviation of the peak SA. The run
// goes on a copy of the current project on a worker thread; the element is
// held by name and looked up when the run starts.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "app/ereignis/langzeitlauf.h"
#include "simulation/abgleich.h"
#include "storage/mgl.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class QChartView;

namespace t21 {

class TDialoge;
class TDokument;

class TFormKalibrierHilfe : public QWidget {
  Q_OBJECT
 public:
  // dokument gives the current project at each use (null: none open).
  TFormKalibrierHilfe(std::function<TDokument*()> dokument, TDialoge& dialoge,
                      QWidget* eltern = nullptr);
  ~TFormKalibrierHilfe() override;

  // Reads a measurement; false with the message shown when it cannot be
  // read (the series loaded before stay). The three figures are cleared.
  bool Laden(const QString& datei);
  // Writes the computed hydrograph; false with the message shown.
  bool Speichern(const QString& datei);
  // The element list from the current project (the choice kept by name).
  void ElementlisteFuellen();

  const TGanglinie& Messung() const { return FMessung; }
  const TGanglinie& Berechnet() const { return FBerechnet; }
  const TAbgleichKennwerte& Kennwerte() const { return FKennwerte; }
  bool Rechnet() const { return FAuftrag.Laeuft(); }
  // The period of the comparison (of the measurement, or the default one).
  TDateTime Von() const { return FVon; }
  TDateTime Bis() const { return FBis; }

  // Controls (their names are the object names).
  QToolButton *ToolButtonLaden, *ToolButtonSpeichern, *ButtonRechnen, *ToolButtonKopieren;
  QComboBox* ElementListe;
  QLineEdit *Edit1, *Edit2, *Edit3;  // REFF, VOL, SA
  QTabWidget* Seiten;
  QChartView *Chart1, *Chart2;
  QLabel *Panel0, *Panel1;  // the status bar: "Messwerte:" and the file
  QMenu *KontextMenue1, *KontextMenue2;

 public slots:
  void ButtonRechnenClick();
  void ToolButtonLadenClick();
  void ToolButtonSpeichernClick();

 signals:
  // A comparison run has ended (shown or refused).
  void Gerechnet();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void BaueOberflaeche();
  void Zeichnen();
  void KennwerteLeeren();
  void KennwerteZeigen();

  std::function<TDokument*()> FDokument;
  TDialoge& FDialoge;
  TGanglinie FMessung, FBerechnet;
  TAbgleichKennwerte FKennwerte;
  TDateTime FVon = 0, FBis = 0;
  TKopieAuftrag FAuftrag{this};
};

}  // namespace t21
