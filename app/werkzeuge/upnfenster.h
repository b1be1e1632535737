// "UPN-Rechner": the pocket calculator in reverse Polish notation. The
// program has one, made on first use; every showing focuses X, closing
// hides it with its stack and flags intact.
#pragma once

#include <QDialog>
#include <map>

#include "tools/upn.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace t21 {

class TDialoge;

class TCalculator : public QDialog {
  Q_OBJECT

 public:
  explicit TCalculator(TDialoge& dialoge, QWidget* eltern = nullptr);

  // The program's calculator, made on first use (freed when the program
  // quits).
  static TCalculator& Instanz(TDialoge& dialoge);
  // Shows it modally with X focused.
  void Zeigen();

  TUpnRechner& Rechner() { return FR; }
  QLineEdit* XFeld() const { return FX; }
  QLineEdit* Register(char name) const;  // 'T', 'Z', 'Y', 'X'
  QLineEdit* HexFeld() const { return FHex; }
  QLineEdit* BinFeld() const { return FBin; }
  QLabel* Statuszeile() const { return FStatus; }
  // The button with that caption ("Enter ", "sin", "&Kopieren", ...).
  QPushButton* Knopf(const QString& text) const;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void Anzeigen();  // the registers, Hex, Bin and status from the logic
  void XWaehlen();  // X focused with its text selected
  void Kopieren();
  void Einfuegen();

  TDialoge& FDialoge;
  TUpnRechner FR;
  QLineEdit *FT, *FZ, *FY, *FX, *FHex, *FBin;
  QLabel* FStatus;
  QRadioButton *FDeg, *FRad, *FGrad;
  std::map<QString, QPushButton*> FKnoepfe;
};

}  // namespace t21
