// With T21_BILDER naming a folder: a picture of each tool window
// (scripts/screenshots.sh).
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/werkzeuge/ganglinienfenster.h"
#include "app/werkzeuge/regiofenster.h"
#include "app/werkzeuge/upnfenster.h"
#include "app/werkzeuge/vorgabenfenster.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestWerkzeugBilder : public QObject {
  Q_OBJECT

 private slots:
  void Bilder() {
    const QString ordner = qEnvironmentVariable("T21_BILDER");
    if (ordner.isEmpty()) QSKIP("T21_BILDER nicht gesetzt");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TFalscheDialoge d;
    TLadeErgebnis e;
    auto dok = TDokument::Oeffnen(T21_QUELLE "/beispiel/Beispiel", e);
    QVERIFY2(dok, e.Fehler.c_str());
    auto bild = [&](QWidget& w, const char* name) {
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QVERIFY(w.grab().save(QDir(ordner).filePath(QString::fromUtf8(name))));
      w.hide();
    };
    TFormRegio regio(dok->Model().Netz().Spenden, d);
    const char* eingaben[4] = {"10", "5000", "50", "75"};
    for (int i = 0; i < 4; ++i) regio.Eingabe(i)->setText(QString::fromUtf8(eingaben[i]));
    regio.Rechnen();
    bild(regio, "regionalisierungs_rechner.png");

    TFormGanglinien sw(*dok, TGanglinienArt::Schmutzwasser, d);
    sw.Basisauswahl()->setCurrentIndex(2);
    sw.Hoch(12)->click();
    sw.Runter(13)->click();
    sw.NameFeld()->setText(QStringLiteral("Kleinstadt, Markttag"));
    bild(sw, "ganglinieneditor_schmutzwasser.png");
    TFormGanglinien fw(*dok, TGanglinienArt::Fremdwasser, d);
    for (int m = 0; m < 3; ++m) fw.Hoch(m)->click();
    for (int m = 6; m < 9; ++m) fw.Runter(m)->click();
    bild(fw, "ganglinieneditor_fremdwasser.png");

    TCalculator upn(d);
    for (const char* k : {"2", "Enter ", "3", "+", "2", "5", "5"})
      upn.Knopf(QString::fromUtf8(k))->click();
    bild(upn, "upn_rechner.png");

    TDataModule1 dm;
    TFormDefaultValues vorgaben(dm, d);
    bild(vorgaben, "standardvorgaben.png");
  }
};

QTEST_MAIN(TestWerkzeugBilder)
#include "test_bilder.moc"
