// The editor's own dialogs: "markierte Elemente Ausrichten", "Komponente
// suchen" and "Grafik-Einstellungen". Each is filled from the model, shown
// by the editor and read back after OK; none of them edits the project.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "cad/bearbeiten.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace t21 {

class TDialoge;

class TAusrichtenDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TAusrichtenDialog(QWidget* parent = nullptr);
  QComboBox* Horizontal() const { return FH; }
  QComboBox* Vertikal() const { return FV; }
  THorizontal H() const;
  TVertikal V() const;

 private:
  QComboBox* FH;
  QComboBox* FV;
};

class TSuchenDialog : public QDialog {
  Q_OBJECT
 public:
  TSuchenDialog(QStringList namen, QWidget* parent = nullptr);
  QLineEdit* Begriff() const { return FBegriff; }
  QCheckBox* GrossKlein() const { return FFall; }
  QCheckBox* Wortanfang() const { return FAnfang; }
  QListWidget* Treffer() const { return FTreffer; }
  // The names the filter lets through, in list order.
  QStringList Gefiltert() const;
  // The chosen hit ("" for none).
  QString Gewaehlt() const;

 private:
  void Filtern();
  QStringList FNamen;
  QLineEdit* FBegriff;
  QCheckBox* FFall;
  QCheckBox* FAnfang;
  QListWidget* FTreffer;
};

// The values of the graphic settings as the dialog shows them, and which
// of them the user changed.
struct TGrafikWerte {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  int LinienBreite = 1;
  int LinienFarbe = 0;
  int FuellFarbe = 0xFFFFFF;
  int FuellMuster = 1;
  bool Pfeile = true;
  TSchrift Schrift;
  QString Text;
  QString Bild;
  bool Koordinaten = false, Breite = false, Linie = false, Fuellung = false, Muster = false,
       PfeileGeaendert = false, SchriftGeaendert = false, TextGeaendert = false,
       BildGeaendert = false;
};

class TGrafikDialog : public QDialog {
  Q_OBJECT
 public:
  // shapes: the shapes the dialog works on (one: that shape alone).
  TGrafikDialog(std::vector<const TCadShape*> shapes, TDialoge& dialoge, QWidget* parent = nullptr);

  QTabWidget* Seiten() const { return FSeiten; }
  QLineEdit* Koordinate(int i) const { return FKoord[i]; }
  QSpinBox* LinienBreite() const { return FBreite; }
  QComboBox* Muster() const { return FMuster; }
  QCheckBox* Pfeile() const { return FPfeile; }
  QLineEdit* Text() const { return FText; }
  // Choices made with the colour, font and picture dialogs.
  void SetzeLinienFarbe(int farbe);
  void SetzeFuellFarbe(int farbe);
  void SetzeSchrift(const TSchrift& s);
  // A picture file (bmp, ico, emf); false with the message "Keine gültige
  // Bitmap-Datei" when it cannot be read.
  bool SetzeBild(const QString& datei);

  // What the dialog holds now.
  TGrafikWerte Werte() const;
  // Applies what was changed to one shape (the graphic values only to
  // graphic shapes, the arrows only to dots, the picture only to pictures,
  // the coordinates only when the dialog works on one shape).
  static void Anwenden(const TGrafikWerte& w, TCadShape& s, bool einzeln);

 private:
  std::vector<const TCadShape*> FShapes;
  TDialoge& FDialoge;
  TGrafikWerte FStart, FWerte;
  QTabWidget* FSeiten;
  QLineEdit* FKoord[4];
  QSpinBox* FBreite;
  QPushButton* FLinienFarbe;
  QPushButton* FFuellFarbe;
  QComboBox* FMuster;
  QCheckBox* FPfeile;
  QPushButton* FSchrift;
  QLineEdit* FText;
  QLabel* FBildName;
  void FarbeZeigen(QPushButton* b, int farbe);
};

// "%f" with the decimal comma of the screen; and back (false: not a number).
QString ZahlText(double v);
bool TextZahl(const QString& t, double& v);

}  // namespace t21
