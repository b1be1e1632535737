#include "app/basis/dialoge.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace t21 {

namespace {
QString Titel() {
  return QStringLiteral("QTZ Tamkor21");
}
}  // namespace

void TQtDialoge::Meldung(QWidget* eltern, const QString& text) {
  Beep();
  // The texts of the engine break lines with "\r".
  QString t = text;
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox::information(eltern, Titel(), t);
}

TDialoge::TAntwort TQtDialoge::JaNeinAbbrechen(QWidget* eltern, const QString& text) {
  auto a = QMessageBox::question(eltern, Titel(), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::Yes);
  if (a == QMessageBox::Yes) return TAntwort::Ja;
  if (a == QMessageBox::No) return TAntwort::Nein;
  return TAntwort::Abbrechen;
}

bool TQtDialoge::JaNein(QWidget* eltern, const QString& text) {
  return QMessageBox::question(eltern, Titel(), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QString TQtDialoge::DateiOeffnen(QWidget* eltern, const QString& titel, const QString& filter) {
  return QFileDialog::getOpenFileName(eltern, titel, QString(), filter);
}

QString TQtDialoge::DateiSpeichern(QWidget* eltern, const QString& titel, const QString& filter) {
  // Overwriting is asked by the caller, which also knows the side files.
  return QFileDialog::getSaveFileName(eltern, titel, QString(), filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString TQtDialoge::DateiSpeichernVorschlag(QWidget* eltern, const QString& titel,
                                            const QString& filter, const QString& vorschlag) {
  return QFileDialog::getSaveFileName(eltern, titel, vorschlag, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

bool TQtDialoge::Eingabe(QWidget* eltern, const QString& titel, const QString& frage,
                         QString& wert) {
  bool ok = false;
  QString t = QInputDialog::getText(eltern, titel, frage, QLineEdit::Normal, wert, &ok);
  if (ok) wert = t;
  return ok;
}

bool TQtDialoge::DruckDialog(QWidget* eltern, QPrinter& drucker, int von, int bis) {
  QPrintDialog dlg(&drucker, eltern);
  if (bis > 0) {
    dlg.setMinMax(1, bis);
    drucker.setFromTo(std::max(1, von), bis);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
  }
  return dlg.exec() == QDialog::Accepted;
}

bool TQtDialoge::DruckerEinrichten(QWidget* eltern, QPrinter& drucker) {
  QPageSetupDialog dlg(&drucker, eltern);
  return dlg.exec() == QDialog::Accepted;
}

void TQtDialoge::Beep() {
  QApplication::beep();
}

void TQtDialoge::Protokoll(QWidget* eltern, const QString& titel, const QStringList& zeilen) {
  QDialog d(eltern);
  d.setWindowTitle(titel);
  auto* l = new QVBoxLayout(&d);
  auto* text = new QPlainTextEdit(&d);
  text->setReadOnly(true);
  text->setPlainText(zeilen.join(QLatin1Char('\n')));
  l->addWidget(text);
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
  QObject::connect(knoepfe, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  l->addWidget(knoepfe);
  d.resize(560, 360);
  d.exec();
}

}  // namespace t21
