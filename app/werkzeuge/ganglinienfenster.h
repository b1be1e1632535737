// The hydrograph editor: a new named dry-weather or infiltration-water
// hydrograph from an existing one, with a spin control per hour (month), a
// bar chart and the table of values; "&OK" checks and appends it to the
// project's list as one edit.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <vector>

#include "tools/ganglinieneditor.h"

class QComboBox;
class QLineEdit;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace t21 {

class TDialoge;
class TDokument;

// The bar chart of the working copy.
class TGanglinienDiagramm : public QWidget {
  Q_OBJECT

 public:
  explicit TGanglinienDiagramm(const TGanglinienEditor& e, QWidget* eltern = nullptr);
  QSize sizeHint() const override { return {640, 260}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const TGanglinienEditor& FEditor;
};

class TFormGanglinien : public QDialog {
  Q_OBJECT

 public:
  TFormGanglinien(TDokument& dok, TGanglinienArt art, TDialoge& dialoge, QWidget* eltern = nullptr);

  TGanglinienEditor& Editor() { return FEditor; }
  QComboBox* Basisauswahl() const { return FBasis; }
  QLineEdit* NameFeld() const { return FName; }
  QTableWidget* Tabelle() const { return FTabelle; }
  QTabWidget* Seiten() const { return FSeiten; }
  // The spin buttons of hour (month) i.
  QToolButton* Hoch(int i) const { return FHoch[static_cast<size_t>(i)]; }
  QToolButton* Runter(int i) const { return FRunter[static_cast<size_t>(i)]; }

  // "&OK": checks and appends; the editor stays open with the message when
  // a check fails.
  void Ok();
  // The button "UPN-&Rechner" calls this (the program's one calculator
  // unless set otherwise).
  std::function<void()> RechnerOeffnen;

 private:
  void Aktualisieren();
  void Drucken();

  TDokument& FDok;
  TDialoge& FDialoge;
  TGanglinienEditor FEditor;
  QComboBox* FBasis;
  QLineEdit* FIndex;
  QLineEdit* FName;
  QTabWidget* FSeiten;
  TGanglinienDiagramm* FDiagramm;
  QTableWidget* FTabelle;
  std::vector<QToolButton*> FHoch, FRunter;
};

}  // namespace t21
