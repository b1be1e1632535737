// "Regionalisierungs-Rechner": the natural flood yield Hq1,pnat of a small
// receiving water from four characteristics of its whole catchment, with
// the reference list of curve numbers. Writes nothing into the project.
#pragma once

#include <QDialog>
#include <array>

#include "model/project.h"

class QLineEdit;
class QTableWidget;

namespace t21 {

class TDialoge;

class TFormRegio : public QDialog {
  Q_OBJECT

 public:
  // reihe: the project's rain-intensity series.
  TFormRegio(const TSpenden& reihe, TDialoge& dialoge, QWidget* eltern = nullptr);

  // The inputs AEo, L, dH, CN in this order, and the output.
  QLineEdit* Eingabe(int i) const { return FEingaben[static_cast<size_t>(i)]; }
  QLineEdit* Ausgabe() const { return FAusgabe; }
  QTableWidget* CNListe() const { return FCN; }
  // "Rechnen".
  void Rechnen();

 private:
  TSpenden FReihe;
  TDialoge& FDialoge;
  std::array<QLineEdit*, 4> FEingaben{};
  QLineEdit* FAusgabe;
  QTableWidget* FCN;
};

}  // namespace t21
