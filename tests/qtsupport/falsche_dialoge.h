// The dialog layer answered by a script: each question takes the next
// answer of its queue and every text shown is recorded.
#pragma once

#include <QPrinter>
#include <QStringList>
#include <deque>

#include "app/basis/dialoge.h"

class TFalscheDialoge : public t21::TDialoge {
 public:
  std::deque<TAntwort> Antworten;  // JaNeinAbbrechen
  std::deque<bool> JaNeinAntworten;
  std::deque<QString> Dateien;  // DateiOeffnen and DateiSpeichern; "" cancels
  QStringList Meldungen, Fragen, Protokolle;
  int Beeps = 0;

  void Meldung(QWidget*, const QString& text) override { Meldungen << text; }
  TAntwort JaNeinAbbrechen(QWidget*, const QString& text) override {
    Fragen << text;
    if (Antworten.empty()) return TAntwort::Abbrechen;
    TAntwort a = Antworten.front();
    Antworten.pop_front();
    return a;
  }
  bool JaNein(QWidget*, const QString& text) override {
    Fragen << text;
    if (JaNeinAntworten.empty()) return false;
    bool a = JaNeinAntworten.front();
    JaNeinAntworten.pop_front();
    return a;
  }
  QString DateiOeffnen(QWidget*, const QString&, const QString&) override { return Naechste(); }
  QString DateiSpeichern(QWidget*, const QString&, const QString&) override { return Naechste(); }
  bool Eingabe(QWidget*, const QString&, const QString&, QString& wert) override {
    QString d = Naechste();
    if (d.isEmpty()) return false;
    wert = d;
    return true;
  }
  void Beep() override { ++Beeps; }
  void Protokoll(QWidget*, const QString& titel, const QStringList& zeilen) override {
    Protokolle << titel;
    Protokolle << zeilen;
  }
  // The print dialog: each call takes the next answer (none: cancelled). An
  // answer prints pages Von..Bis (0: all) into the PDF file Datei.
  struct TDruck {
    int Von = 0, Bis = 0;
    QString Datei;
  };
  std::deque<TDruck> Drucke;
  QList<QPair<int, int>> DruckBereiche;  // the ranges the dialogs were given
  bool DruckDialog(QWidget*, QPrinter& drucker, int von, int bis) override {
    DruckBereiche << qMakePair(von, bis);
    if (Drucke.empty()) return false;
    const TDruck d = Drucke.front();
    Drucke.pop_front();
    drucker.setOutputFormat(QPrinter::PdfFormat);
    drucker.setOutputFileName(d.Datei);
    drucker.setFromTo(d.Von, d.Bis);
    return true;
  }
  int Einrichtungen = 0;
  bool DruckerEinrichten(QWidget*, QPrinter&) override { return ++Einrichtungen, true; }

 private:
  QString Naechste() {
    if (Dateien.empty()) return {};
    QString d = Dateien.front();
    Dateien.pop_front();
    return d;
  }
};
