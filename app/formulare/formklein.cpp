// The small dialogs: treatment plant, site-specific measure, connector and
// rain gauge.
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/basis/dialoge.h"
#include "app/formulare/formen.h"
#include "document/dokument.h"
#include "model/datum.h"
#include "model/regen.h"

namespace t21 {

// ------------------------------------------------------------- plant

void TFormKLG::SeitenAufbauen() {
  setWindowTitle(QStringLiteral("Kläranlage"));
  FHilfeKontext = 15000;
  FHilfeSeite = QStringLiteral("klaeranlage");
  SeiteZeigen(QStringLiteral("Hydraulik"), false);
  TRaster r = NeueSeite(QStringLiteral("Kenndaten"), 1);
  Hinweistext(r, QStringLiteral("Ablaufwerte der Kläranlage"));
  for (const char* s : {"BSB", "NH4", "PH", "ALK", "O2Defizit"}) Feld(r, "CDSKlg", s);
  QPushButton* k = Knopf(r, QStringLiteral("Standardvorgaben   >>"));
  k->setObjectName(QStringLiteral("Standardvorgaben"));
  connect(k, &QPushButton::clicked, this, [this] {
    AufVorgaben("CDSKlg", {"BSB", "NH4", "PH", "ALK", "O2Defizit"});
  });
  FSeiten->setCurrentIndex(1);
}

// ------------------------------------------------------------- measure

void TFormOMA::SeitenAufbauen() {
  setWindowTitle(QStringLiteral("ortsspezifische Massnahme"));
  FHilfeKontext = 17000;
  FHilfeSeite = QStringLiteral("massnahme");
  SeiteZeigen(QStringLiteral("Hydraulik"), false);
  TRaster m = NeueSeite(QStringLiteral("Massnahme"), 1);
  Feld(m, "CDSOma", "ART");
  Feld(m, "CDSOma", "QD");
  Feld(m, "CDSOma", "N");
  Hinweistext(m, QStringLiteral("( 0 = keine Retention )"));
  Feld(m, "CDSOma", "Volumen");
  Feld(m, "CDSOma", "MaxQKUE");
  Feld(m, "CDSOma", "Nebenschluss");
  TRaster a = NeueSeite(QStringLiteral("Abbauleistung"), 2);
  for (const char* s : {"BSB", "NH4", "AFS", "CSB", "PH", "ALK"}) Feld(a, "CDSOma", s);
  Hinweistext(a,
              QStringLiteral("Setzen Sie pH-Wert = 0 , Alkalinität = 0 und O2-Defizit Drossel = 0 "
                             "wenn die Zulaufkonzentrationen unverändert weitergeleitet werden."));
  for (const char* s : {"DO2", "DO2KUE", "DO2BUE"}) Feld(a, "CDSOma", s);
  QPushButton* r = Knopf(a, QStringLiteral("Standard Retention >>"));
  r->setObjectName(QStringLiteral("RetentionStandard"));
  connect(r, &QPushButton::clicked, this, &TFormOMA::RetentionStandard);
  QPushButton* b = Knopf(a, QStringLiteral("Standard Bodenfilter >>"));
  b->setObjectName(QStringLiteral("BodenfilterStandard"));
  connect(b, &QPushButton::clicked, this, &TFormOMA::BodenfilterStandard);
  FSeiten->setCurrentIndex(1);
}

void TFormOMA::RetentionStandard() {
  FDM->OMA_RRB_Standard();
  ZeigeWerte();
  Rechnen();
}

void TFormOMA::BodenfilterStandard() {
  FDM->OMA_RBF_Standard();
  ZeigeWerte();
  Rechnen();
}

// ------------------------------------------------------------- connector

void TFormABS::SeitenAufbauen() {
  setWindowTitle(QStringLiteral("Connector"));
  FHilfeKontext = 21000;
  FHilfeSeite = QStringLiteral("connector");
  Feld(FHydraulik, "CDSCON", "TF");
}

// ------------------------------------------------------------- rain gauge

void TFormREG::SeitenAufbauen() {
  setWindowTitle(QStringLiteral("Regenschreiber"));
  FHilfeKontext = 22000;
  FHilfeSeite = QStringLiteral("regenschreiber");
  TBindung* datei = Feld(FHydraulik, "CDSREG", "FileName");
  QPushButton* k = Knopf(FHydraulik, QStringLiteral("Datei wählen..."));
  k->setObjectName(QStringLiteral("DateiWaehlen"));
  connect(k, &QPushButton::clicked, this, [this, datei] {
    const QString d =
        FDialoge.DateiOeffnen(this, QStringLiteral("Regendatei"),
                              QStringLiteral("DUDIVER-Regendateien (*.REG);;Alle Dateien (*.*)"));
    if (d.isEmpty() || !datei) return;
    static_cast<QLineEdit*>(datei->W)->setText(d);
    SetzeWert("CDSREG.FileName", d.toStdString());
    KopfZeigen();
    Rechnen();
  });
  if (datei)
    connect(static_cast<QLineEdit*>(datei->W), &QLineEdit::editingFinished, this,
            &TFormREG::KopfZeigen);
  FKopf = new QPlainTextEdit;
  FKopf->setObjectName(QStringLiteral("Kopf"));
  FKopf->setReadOnly(true);
  FKopf->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  FKopf->setMinimumHeight(90);
  FHydraulik.Gitter->addWidget(FKopf, FHydraulik.Zeile++, 0, 1, 3);
  KopfZeigen();
}

void TFormREG::KopfZeigen() {
  if (!FKopf) return;
  QString name = QString::fromStdString(AlsText(Wert("CDSREG.FileName")));
  if (name.trimmed().isEmpty()) {
    FKopf->clear();
    return;
  }
  // A name without a folder is looked for beside the project.
  if (QFileInfo(name).isRelative() && !FDok.DateiName().empty())
    name = QFileInfo(QString::fromStdString(FDok.DateiName())).dir().filePath(name);
  TREG r;
  r.FileName = name.toStdString();
  bool ok = false;
  try {
    ok = r.ReadHeader();
  } catch (const std::exception&) {
    ok = false;
  }
  if (!ok) {
    FKopf->setPlainText(QStringLiteral("Ungültige Regendatei kann nicht geöffnet werden."));
    r.Schliessen();
    return;
  }
  auto datum = [](TDateTime t) {
    const TDatumTeile d = DecodeDateTime(t);
    return QStringLiteral("%1.%2.%3 %4:%5")
        .arg(d.Tag, 2, 10, QLatin1Char('0'))
        .arg(d.Monat, 2, 10, QLatin1Char('0'))
        .arg(d.Jahr, 4, 10, QLatin1Char('0'))
        .arg(d.Stunde, 2, 10, QLatin1Char('0'))
        .arg(d.Minute, 2, 10, QLatin1Char('0'));
  };
  QStringList z;
  z << QStringLiteral("Nummer des Regenschreibers: ") + QString::fromStdString(r.Nr);
  z << QStringLiteral("Name des Regenschreibers:   ") + QString::fromStdString(r.Station);
  z << QStringLiteral("Intervallbreite:            %1 min").arg(r.DT);
  z << QStringLiteral("Anfangsdatum:               ") + datum(r.AnfangsDatum);
  z << QStringLiteral("Enddatum:                   ") + datum(r.EndDatum);
  r.Schliessen();
  FKopf->setPlainText(z.join(QLatin1Char('\n')));
}

}  // namespace t21
