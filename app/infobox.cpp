#include "app/infobox.h"

#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPushButton>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/hauptfenster.h"

namespace t21 {

TInfoBox::TInfoBox(QWidget* parent, bool start, const QString& klang) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(kTitel));
  setObjectName(QStringLiteral("Info"));
  auto* l = new QVBoxLayout(this);
  auto* produkt = new QLabel(QString::fromUtf8(kTitel), this);
  QFont f = produkt->font();
  f.setPointSizeF(f.pointSizeF() * 2);
  f.setBold(true);
  produkt->setFont(f);
  l->addWidget(produkt);
  l->addWidget(new QLabel(QString::fromUtf8(kVersion), this));
  auto* nachweis =
      new QLabel(QStringLiteral("Vereinfachter und detaillierter rechnerischer Nachweis gem. DWA-A "
                                "102-2/QTZ-A 3-2 und DWA-M 102-3/QTZ-M 3-3 "),
                 this);
  nachweis->setWordWrap(true);
  l->addWidget(nachweis);
  auto* kontakt =
      new QLabel(QStringLiteral("Fragen und Hinweise zum Programm richten Sie bitte an die Stelle, "
                                "von der Sie das Programm erhalten haben."),
                 this);
  kontakt->setWordWrap(true);
  l->addWidget(kontakt);
  auto* zeile = new QHBoxLayout;
  zeile->addStretch(1);
  FKnopf = new QPushButton(start ? QStringLiteral("&Start") : QStringLiteral("OK"), this);
  FKnopf->setDefault(true);
  connect(FKnopf, &QPushButton::clicked, this, &QDialog::accept);
  zeile->addWidget(FKnopf);
  l->addLayout(zeile);
  if (start) {
    FZeit = new QTimer(this);
    FZeit->setSingleShot(true);
    connect(FZeit, &QTimer::timeout, this, &QDialog::accept);
    FZeit->start(kInfoSchliessenNachMs);
    if (!klang.isEmpty() && QFileInfo(klang).isFile() && !QMediaDevices::audioOutputs().isEmpty()) {
      auto* ton = new QSoundEffect(this);
      ton->setSource(QUrl::fromLocalFile(klang));
      ton->play();
      FKlingt = true;
    }
  }
  setMinimumWidth(460);
}

}  // namespace t21
