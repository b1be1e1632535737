// The program's own tables: the address of the office ("Adresse.CDS", one
// record) and the street list ("Strassen.CDS"). They are read from the
// program folder, else from the data folder, and written back to the data
// folder (which is the program folder where that may be written).
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class QLineEdit;

namespace t21 {

class TTabelle;

class TProgrammtabelle {
 public:
  // datei: "Adresse.CDS"; spalten: the String columns of a new table.
  TProgrammtabelle(QString datei, QStringList spalten);
  // Reads the table (a missing or unreadable file gives an empty one).
  void Oeffnen(const QString& programmordner, const QString& datenordner);
  // Writes it back; false with fehler set.
  bool Schliessen(QString& fehler);
  TTabelle& Tabelle() { return *FTabelle; }
  const QString& Datei() const { return FZiel; }

 private:
  QString FName, FZiel;
  QStringList FSpalten;
  std::shared_ptr<TTabelle> FTabelle;
};

// The dialog "Adresse": the one record of the address table.
class TAdresseDialog : public QDialog {
  Q_OBJECT

 public:
  TAdresseDialog(TTabelle& adresse, QWidget* parent = nullptr);
  // Takes the fields into the record (on OK).
  void Uebernehmen();
  QLineEdit* Feld(const QString& spalte) const;

 signals:
  void HilfeVerlangt();

 private:
  TTabelle& FAdresse;
};

}  // namespace t21
