// Pictures of the application's windows, written when T21_BILDER names a
// folder (scripts/screenshots.sh does): the main window with the example,
// the result bar of a CSO tank, of a discharge point and of a catchment,
// the information
// box and the address dialog. Without the variable the windows are still built and checked for
// their captions.
#include <QComboBox>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/ergebnisleiste.h"
#include "app/hauptfenster.h"
#include "app/infobox.h"
#include "qtsupport/falsche_dialoge.h"

namespace {

void Ablegen(QWidget& w, const QString& name) {
  const QString ordner = qEnvironmentVariable("T21_BILDER");
  if (ordner.isEmpty()) return;
  QDir().mkpath(ordner);
  QCoreApplication::processEvents();  // the layout after lists were shown or hidden
  QVERIFY(w.grab().save(QDir(ordner).filePath(name + ".png")));
}

}  // namespace

class TestBilder : public QObject {
  Q_OBJECT

  QTemporaryDir FProgramm;

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void Hauptfenster() {
    TFalscheDialoge d;
    t21::TMainFrm f(d, FProgramm.path());
    f.Starte(false);
    QVERIFY(f.Oeffne(QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21")));
    f.resize(1280, 900);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.windowTitle().left(15), QStringLiteral("QTZ Tamkor21 - "));
    Ablegen(f, "hauptfenster");
    const struct {
      const char* Element;
      const char* Bild;
    } faelle[] = {{"RÜB Mitte", "ergebnisleiste_rueb"},
                  {"Einleitung Mühlbach", "ergebnisleiste_einleitung"},
                  {"Altstadt", "ergebnisleiste_netz"}};
    for (auto& fall : faelle) {
      const int i = f.ElementBox()->findText(QString::fromUtf8(fall.Element));
      QVERIFY(i >= 0);
      f.ElementBox()->setCurrentIndex(i);
      Ablegen(*f.Ergebnisleiste()->parentWidget(), fall.Bild);
    }
    std::unique_ptr<t21::TAdresseDialog> adresse(f.Adresse(false));
    adresse->show();
    QVERIFY(QTest::qWaitForWindowExposed(adresse.get()));
    QCOMPARE(adresse->windowTitle(), QStringLiteral("Adresse"));
    Ablegen(*adresse, "adresse");
  }

  void Infobox() {
    t21::TInfoBox start(nullptr, true);
    QCOMPARE(start.windowTitle(), QStringLiteral("QTZ Tamkor21"));
    QCOMPARE(start.Knopf()->text(), QStringLiteral("&Start"));
    QVERIFY(start.Zeitgeber() && start.Zeitgeber()->isActive());
    QCOMPARE(start.Zeitgeber()->interval(), 30000);
    start.show();
    QVERIFY(QTest::qWaitForWindowExposed(&start));
    Ablegen(start, "infobox");
    // It closes itself when the time is up.
    QMetaObject::invokeMethod(start.Zeitgeber(), "timeout");
    QVERIFY(!start.isVisible());
    QCOMPARE(start.result(), int(QDialog::Accepted));
    // From the menu: "OK" and no timer.
    t21::TInfoBox menue(nullptr, false);
    QCOMPARE(menue.Knopf()->text(), QStringLiteral("OK"));
    QVERIFY(!menue.Zeitgeber());
  }
};

QTEST_MAIN(TestBilder)
#include "test_bilder.moc"
