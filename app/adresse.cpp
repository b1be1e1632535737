#include "app/adresse.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "storage/datenpaket.h"
#include "storage/tabelle.h"

namespace t21 {

namespace {

const char* kAdressFelder[][2] = {{"STRASSE", "Strasse"}, {"PLZ", "PLZ"}, {"ORT", "Ort"},
                                  {"TELEFON", "Telefon"}, {"FAX", "Fax"}, {"EMAIL", "e-mail"}};

}  // namespace

TProgrammtabelle::TProgrammtabelle(QString datei, QStringList spalten)
    : FName(std::move(datei)), FSpalten(std::move(spalten)) {}

void TProgrammtabelle::Oeffnen(const QString& programmordner, const QString& datenordner) {
  FZiel = QDir(datenordner).filePath(FName);
  // What the data folder holds was written last; the program folder's file
  // is the one shipped.
  for (const QString& quelle : {FZiel, QDir(programmordner).filePath(FName)}) {
    if (!QFileInfo::exists(quelle)) continue;
    std::string fehler;
    if (auto t = LiesPaket(quelle.toStdString(), fehler)) {
      FTabelle = t;
      return;
    }
  }
  auto schema = std::make_shared<TSchema>();
  schema->Name = QFileInfo(FName).completeBaseName().toStdString();
  for (const QString& s : FSpalten) {
    TFeld f;
    f.Name = s.toStdString();
    f.Typ = TFeldTyp::String;
    f.Breite = 60;
    schema->Felder.push_back(f);
  }
  FTabelle = std::make_shared<TTabelle>(schema);
}

bool TProgrammtabelle::Schliessen(QString& fehler) {
  if (!FTabelle || FZiel.isEmpty()) return true;
  std::string f;
  if (!SchreibePaket(*FTabelle, FZiel.toStdString(), f)) {
    fehler = QString::fromStdString(f);
    return false;
  }
  return true;
}

TAdresseDialog::TAdresseDialog(TTabelle& adresse, QWidget* parent)
    : QDialog(parent), FAdresse(adresse) {
  setWindowTitle(QStringLiteral("Adresse"));
  setObjectName(QStringLiteral("Adresse"));
  auto* l = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  if (FAdresse.Anzahl() == 0) FAdresse.Anhaengen();
  for (auto& f : kAdressFelder) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromUtf8(f[0]));
    e->setMinimumWidth(280);
    if (FAdresse.Schema().Index(f[0]) >= 0)
      e->setText(QString::fromStdString(AlsText(FAdresse.Wert(0, f[0]))));
    form->addRow(QString::fromUtf8(f[1]), e);
  }
  l->addLayout(form);
  auto* knoepfe = new QDialogButtonBox(this);
  knoepfe->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  knoepfe->addButton(QStringLiteral("&Abbruch"), QDialogButtonBox::RejectRole);
  QPushButton* hilfe = knoepfe->addButton(QStringLiteral("&Hilfe"), QDialogButtonBox::HelpRole);
  connect(knoepfe, &QDialogButtonBox::accepted, this, [this] {
    Uebernehmen();
    accept();
  });
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(hilfe, &QPushButton::clicked, this, &TAdresseDialog::HilfeVerlangt);
  l->addWidget(knoepfe);
}

QLineEdit* TAdresseDialog::Feld(const QString& spalte) const {
  return findChild<QLineEdit*>(spalte);
}

void TAdresseDialog::Uebernehmen() {
  for (auto& f : kAdressFelder) {
    if (FAdresse.Schema().Index(f[0]) < 0) continue;
    FAdresse.Setze(0, f[0], Feld(QString::fromUtf8(f[0]))->text().toStdString());
  }
}

}  // namespace t21
