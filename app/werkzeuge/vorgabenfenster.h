// "Anwender- und Standard-Vorgaben": every column's current default next to
// its design default, with its type and limits; one or all columns set back
// to the design default. The resets take effect with "&OK"; "&Abbrechen"
// discards them.
#pragma once

#include <QDialog>

#include "tools/vorgaben.h"

class QLineEdit;
class QTableWidget;

namespace t21 {

class TDialoge;

class TFormDefaultValues : public QDialog {
  Q_OBJECT

 public:
  // dm: the project data module whose defaults are shown and, with OK, set.
  TFormDefaultValues(TDataModule1& dm, TDialoge& dialoge, QWidget* eltern = nullptr);

  QTableWidget* Liste() const { return FListe; }
  QLineEdit* MinFeld() const { return FMin; }
  QLineEdit* MaxFeld() const { return FMax; }
  QLineEdit* StandardFeld() const { return FStandard; }
  QLineEdit* TypFeld() const { return FTyp; }
  const TVorgabenEditor& Editor() const { return FEditor; }

  void FeldZuruecksetzen();
  void AlleZuruecksetzen();

 protected:
  void accept() override;

 private:
  void Zeile(int k);
  void Werte();

  TDataModule1& FDM;
  TVorgabenEditor FEditor;
  QTableWidget* FListe;
  QLineEdit *FMin, *FMax, *FStandard, *FTyp;
};

}  // namespace t21
