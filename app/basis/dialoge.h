// Message boxes, questions, file choices and input boxes of the application
// go through this layer, so that tests answer them instead of a user.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace t21 {

class TDialoge {
 public:
  enum class TAntwort { Ja, Nein, Abbrechen };
  virtual ~TDialoge() = default;

  // A message with OK (after a beep, as Meldung does).
  virtual void Meldung(QWidget* eltern, const QString& text) = 0;
  // A question with Ja, Nein and Abbrechen.
  virtual TAntwort JaNeinAbbrechen(QWidget* eltern, const QString& text) = 0;
  // A question with Ja and Nein.
  virtual bool JaNein(QWidget* eltern, const QString& text) = 0;
  // The file to open or to save as; empty when the choice was cancelled.
  // filter is in Qt's form ("TamKor21-Datei (*.T21);;...").
  virtual QString DateiOeffnen(QWidget* eltern, const QString& titel, const QString& filter) = 0;
  virtual QString DateiSpeichern(QWidget* eltern, const QString& titel, const QString& filter) = 0;
  // The same with a file name proposed (a name without folder); by default
  // the plain choice.
  virtual QString DateiSpeichernVorschlag(QWidget* eltern, const QString& titel,
                                          const QString& filter, const QString& vorschlag) {
    (void)vorschlag;
    return DateiSpeichern(eltern, titel, filter);
  }
  // A line of text; false when cancelled.
  virtual bool Eingabe(QWidget* eltern, const QString& titel, const QString& frage,
                       QString& wert) = 0;
  virtual void Beep() = 0;
  // A window with lines to read (the load report "Fehlermeldung").
  virtual void Protokoll(QWidget* eltern, const QString& titel, const QStringList& zeilen) = 0;
  // The print dialog with the page range von..bis preset (bis 0: no range);
  // false when cancelled. The printer then holds the choice (from/to page,
  // copies, output file).
  virtual bool DruckDialog(QWidget* eltern, QPrinter& drucker, int von, int bis) = 0;
  // The printer set-up (paper, orientation); false when cancelled.
  virtual bool DruckerEinrichten(QWidget* eltern, QPrinter& drucker) = 0;
};

// The dialogs of Qt.
class TQtDialoge : public TDialoge {
 public:
  void Meldung(QWidget* eltern, const QString& text) override;
  TAntwort JaNeinAbbrechen(QWidget* eltern, const QString& text) override;
  bool JaNein(QWidget* eltern, const QString& text) override;
  QString DateiOeffnen(QWidget* eltern, const QString& titel, const QString& filter) override;
  QString DateiSpeichern(QWidget* eltern, const QString& titel, const QString& filter) override;
  QString DateiSpeichernVorschlag(QWidget* eltern, const QString& titel, const QString& filter,
                                  const QString& vorschlag) override;
  bool Eingabe(QWidget* eltern, const QString& titel, const QString& frage, QString& wert) override;
  void Beep() override;
  void Protokoll(QWidget* eltern, const QString& titel, const QStringList& zeilen) override;
  bool DruckDialog(QWidget* eltern, QPrinter& drucker, int von, int bis) override;
  bool DruckerEinrichten(QWidget* eltern, QPrinter& drucker) override;
};

}  // namespace t21
