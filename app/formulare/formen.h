// The dialogs of the element kinds, each on the common dialog.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/formulare/musterform.h"
#include "model/catchments.h"
#include "tools/ganglinieneditor.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace t21 {

// The project record "geschlossenes Siedlungsgebiet" (help context 11000).
class TFormNET : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;
  // The intensities drawn on "Grafik Regenspenden" (18 durations).
  std::vector<double> Regenspenden() const;

 protected:
  void SeitenAufbauen() override;
  void ErgebnisseZeigen() override;

 private:
  QWidget* FGrafik = nullptr;
};

// Catchments: combined (12000), foul (13000) and storm sewer nets (14000).
class TFormKEZ : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;
  QTreeWidget* Teilflaechen() const { return FFlaechen; }
  // The sub-area editor: "Neu", "Ändern", "Übernehmen", "Verwerfen", "Löschen".
  void FlaecheNeu();
  void FlaecheAendern();
  void FlaecheUebernehmen();
  void FlaecheVerwerfen();
  void FlaecheLoeschen();
  QWidget* Flaecheneditor() const { return FEditor; }
  const std::vector<TAE>& Flaechen() const { return FAEs; }

 protected:
  void SeitenAufbauen() override;
  void Uebernehmen(TElement& e) override;
  void ErgebnisseZeigen() override;

 private:
  void FlaechenZeigen();
  void EditorOeffnen(bool neu);
  void NeueGanglinie(TRaster& r, const char* spalte, TGanglinienArt art);
  std::vector<TAE> FAEs;
  QTreeWidget* FFlaechen = nullptr;
  QWidget* FEditor = nullptr;
  QWidget* FFlaechenKnoepfe = nullptr;
  std::vector<QWidget*> FEditorFelder;  // Bezeichnung, AE, B, fD, Kategorie
  int FEditorZeile = -1;                // -1: a new area
  QTreeWidget* FSummen = nullptr;
  QWidget* FSWGrafik = nullptr;
  QWidget* FFWGrafik = nullptr;
  QLabel* FPunkt = nullptr;  // "x=... : y=..." of a clicked point
};

// Structures: CSO tank (18000), CSO overflow (19000), clarifier (20000).
class TFormEBW : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;
  QTreeWidget* Bemessung() const { return FBemessung; }

 protected:
  void SeitenAufbauen() override;
  void ErgebnisseZeigen() override;

 private:
  QTreeWidget* FBemessung = nullptr;
};

// Discharge point "Einleitungsstelle" (16000).
class TFormEST : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;

 protected:
  void SeitenAufbauen() override;
  void ErgebnisseZeigen() override;

 private:
  QTreeWidget* FGewaesser = nullptr;
  QTreeWidget* FHydraulikListe = nullptr;
  QWidget* FO2 = nullptr;
  QWidget* FNH3 = nullptr;
  QWidget* FAFS = nullptr;
};

// Treatment plant "Kläranlage" (15000).
class TFormKLG : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;

 protected:
  void SeitenAufbauen() override;
};

// Site-specific measure "ortsspezifische Massnahme" (17000).
class TFormOMA : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;
  void RetentionStandard();
  void BodenfilterStandard();

 protected:
  void SeitenAufbauen() override;
};

// Connector (21000).
class TFormABS : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;

 protected:
  void SeitenAufbauen() override;
};

// Rain gauge "Regenschreiber".
class TFormREG : public TMusterForm {
 public:
  using TMusterForm::TMusterForm;
  QPlainTextEdit* Kopf() const { return FKopf; }
  // Shows the header of the named file in the memo.
  void KopfZeigen();

 protected:
  void SeitenAufbauen() override;

 private:
  QPlainTextEdit* FKopf = nullptr;
};

}  // namespace t21

namespace t21 {

// A line chart for the result pages, and its curve (with an optional limit
// line); ymax <= 0: the axis follows the values.
QWidget* NeuesDiagramm(const QString& titel, const QString& xTitel, const QString& yTitel);
void SetzeKurve(QWidget* diagramm, const std::vector<double>& x, const std::vector<double>& y,
                std::optional<double> grenze = std::nullopt, double ymax = 0);
// The points of the chart's curve, for tests.
std::vector<std::pair<double, double>> Kurvenpunkte(const QWidget* diagramm);
// Calls f with a clicked point of the chart's curve.
void BeiPunktklick(QWidget* diagramm, QObject* kontext, std::function<void(double, double)> f);

}  // namespace t21
