#include "app/basis/dialoge.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
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

bool TQtDialoge::Eingabe(QWidget* eltern, const QString& titel, const QString& frage,
                         QString& wert) {
  bool ok = false;
  QString t = QInputDialog::getText(eltern, titel, frage, QLineEdit::Normal, wert, &ok);
  if (ok) wert = t;
  return ok;
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
