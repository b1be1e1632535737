// The main window's ways into the event and calibration windows: the object
// menu's entries follow a finished long run, "Ereignis-Grafik" opens the
// window for the element, closing the project closes it, "&Modell-Abgleich"
// opens its window once and without blocking.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/editor/editor.h"
#include "app/ereignis/ereignisfenster.h"
#include "app/ereignis/kalibrierung.h"
#include "app/hauptfenster.h"
#include "app/simulation/simulationsfenster.h"
#include "document/dokument.h"
#include "painting/zeichenansicht.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestHauptfensterEreignis : public QObject {
  Q_OBJECT
  QTemporaryDir FProgramm;

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void wege() {
    QVERIFY(QDir::setCurrent(QStringLiteral(T21_QUELLE "/beispiel")));
    TFalscheDialoge d;
    TMainFrm f(d, FProgramm.path());
    f.Starte(false);
    QVERIFY(f.Oeffne(QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21")));
    TDokument* dok = f.Aktuell();
    QVERIFY(dok);
    TEditor* ed = f.Editor();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    int menues = 0;
    ed->MenueZeigen = [&menues](QMenu&, QPoint) { ++menues; };
    const TCadShape* s = dok->Model().GetNode(std::string_view("RÜB Mitte"));
    QVERIFY(s);
    const uint64_t id = s->Id;
    // The object menu for the shape under the mouse.
    auto rechtsklick = [&] {
      const TAnsicht& a = f.Zeichnung()->View().Ansicht();
      const TCadShape* r = dok->Model().GetNodeById(id);
      QTest::mouseClick(f.Zeichnung(), Qt::RightButton, {},
                        QPoint(a.ViewX(r->HMiddle()), a.ViewY(r->VMiddle())));
    };
    rechtsklick();
    QCOMPARE(menues, 1);
    QCOMPARE(ed->AktuellerShape(), id);
    QAction* grafik =
        ed->ObjektMenue()->findChild<QAction*>(QStringLiteral("Objekt_EreignisGrafik"));
    QVERIFY(grafik);
    QVERIFY(!grafik->isEnabled());  // no run yet
    f.EreignisOeffnen(id, true);
    QCOMPARE(d.Meldungen, QStringList{QString::fromUtf8(kKeinLangzeitlauf)});
    QVERIFY(f.findChildren<TFormEreignisChart*>().isEmpty());

    // A long run in the (modal) simulation window.
    QTimer::singleShot(0, this, [] {
      auto* s = qobject_cast<TSimulationForm*>(QApplication::activeModalWidget());
      QVERIFY(s);
      connect(s, &TSimulationForm::LaufBeendet, s, &QDialog::accept);
      s->ButtonStart->click();
    });
    f.Aktion(QStringLiteral("Simulation_LangzeitClick"))->trigger();
    QVERIFY(f.Langzeitlauf(dok));
    QVERIFY(f.Langzeitlauf(dok)->Ereignisse.size() > 100);
    rechtsklick();
    QCOMPARE(menues, 2);
    QVERIFY(grafik->isEnabled());

    d.Meldungen.clear();
    grafik->trigger();
    auto fenster = f.findChildren<TFormEreignisChart*>();
    QCOMPARE(fenster.size(), 1);
    QPointer<TFormEreignisChart> w = fenster.front();
    QVERIFY(w->Grafik());
    QCOMPARE(w->ElementName(), std::string("RÜB Mitte"));
    QVERIFY(QTest::qWaitFor([&] { return !w->Rechnet() && w->Ergebnis().Ok; }, 30000));

    // "&Modell-Abgleich": one window, not modal.
    QAction* abgleich = f.Aktion(QStringLiteral("Simulation_AbgleichClick"));
    QVERIFY(abgleich->isEnabled());
    abgleich->trigger();
    abgleich->trigger();
    QVERIFY(f.Kalibrierung());
    QCOMPARE(f.findChildren<TFormKalibrierHilfe*>().size(), 1);
    QVERIFY(f.Kalibrierung()->isVisible());
    QVERIFY(!f.Kalibrierung()->isModal());
    QVERIFY(f.Kalibrierung()->ElementListe->findText(QStringLiteral("RÜB Mitte")) >= 0);

    // The project closes: its event window with it.
    d.Antworten = {TDialoge::TAntwort::Nein};
    QVERIFY(f.Datei_SchliessenClick());
    QVERIFY(!w);
  }
};

QTEST_MAIN(TestHauptfensterEreignis)
#include "hauptfenster_ereignis.moc"
