// Pictures of the simulation window on the example: before, during and
// after a run, every result page and the animation page, into the folder
// named by T21_BILDER (or a temporary one, where they are only checked).
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/simulation/simulationsfenster.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestSimfensterBilder : public QObject {
  Q_OBJECT

  QTemporaryDir FTmp;
  QString FOrdner;
  int FNummer = 0;

  void Bild(QWidget& w, const QString& name) {
    QApplication::processEvents();
    const QImage b = w.grab().toImage();
    QVERIFY(!b.isNull());
    QVERIFY(b.width() > 400);
    const QString datei = QDir(FOrdner).filePath(
        QStringLiteral("simulation_%1_%2.png").arg(++FNummer, 2, 10, QChar('0')).arg(name));
    QVERIFY2(b.save(datei), qPrintable(datei));
  }

 private slots:
  void bilder() {
    FOrdner = qEnvironmentVariable("T21_BILDER");
    if (FOrdner.isEmpty()) FOrdner = FTmp.path();
    QDir().mkpath(FOrdner);
    QVERIFY(QDir::setCurrent(QStringLiteral(T21_QUELLE "/beispiel")));
    TLadeErgebnis e;
    auto dok = TDokument::Oeffnen(QStringLiteral(T21_QUELLE "/beispiel/Beispiel").toStdString(), e);
    QVERIFY(dok);
    TFalscheDialoge dialoge;
    TSimulationForm f(*dok, dialoge);
    f.resize(1246, 720);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    Bild(f, "vorher");
    f.AnimationAuswahl->setCurrentIndex(
        f.AnimationAuswahl->findText(QString::fromUtf8("RÜB Mitte")));
    QSignalSpy ende(&f, &TSimulationForm::LaufBeendet);
    f.ButtonStart->click();
    QTRY_VERIFY_WITH_TIMEOUT(f.ProgressBar1->value() >= 30 || !ende.isEmpty(), 60000);
    Bild(f, "waehrend");
    QVERIFY(ende.wait(120000) || !ende.isEmpty());
    Bild(f, "nachher");
    f.Reiter()->setCurrentIndex(0);
    Bild(f, "systempruefung");
    for (const QString& t : f.Seitentitel()) {
      QVERIFY(f.ZeigeSeite(t));
      if (QTableView* v = f.SeitenTabelle(t); v && v->model()->rowCount() > 0) v->selectRow(0);
      QString name = t;
      name.replace(' ', '_').replace('/', '_');
      Bild(f, name);
    }
    QVERIFY(f.ZeigeSeite("Auswertung Stoffe"));
    f.SeitenTabelle("Auswertung Stoffe")->selectRow(1);
    Bild(f, "Auswertung_Stoffe_NH3");
    f.SeitenTabelle("Auswertung Stoffe")->selectRow(2);
    Bild(f, "Auswertung_Stoffe_AFS");
    f.Reiter()->setCurrentWidget(f.Animation);
    Bild(f, "Animation");
  }
};

QTEST_MAIN(TestSimfensterBilder)
#include "test_bilder.moc"
