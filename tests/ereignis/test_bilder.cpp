// Pictures of the event window (chart and table) and of the calibration
// window on the example after a three-month long run, into the folder named
// by T21_BILDER (or a temporary one, where they are only checked).
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ereignis/ereignisfenster.h"
#include "app/ereignis/kalibrierung.h"
#include "document/dokument.h"
#include "document/lauf_auftrag.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestEreignisBilder : public QObject {
  Q_OBJECT

  QTemporaryDir FTmp;
  QString FOrdner;

  void Bild(QWidget& w, const QString& name) {
    QApplication::processEvents();
    const QImage b = w.grab().toImage();
    QVERIFY(!b.isNull());
    QVERIFY(b.width() > 400);
    const QString datei = QDir(FOrdner).filePath(name + QStringLiteral(".png"));
    QVERIFY2(b.save(datei), qPrintable(datei));
  }

 private slots:
  void bilder() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // as the program
    FOrdner = qEnvironmentVariable("T21_BILDER");
    if (FOrdner.isEmpty()) FOrdner = FTmp.path();
    QDir().mkpath(FOrdner);
    QVERIFY(QDir::setCurrent(QStringLiteral(T21_QUELLE "/beispiel")));
    TLadeErgebnis le;
    auto dok = TDokument::Oeffnen(T21_QUELLE "/beispiel/Beispiel", le);
    QVERIFY(dok);
    TDateTime von = 0, bis = 0;
    QVERIFY(DatumLesen("01.01.2001", von) && DatumLesen("31.03.2001", bis));
    TLaufAuftrag job(*dok, von, bis);
    job.Starte();
    TLaufAuftragsErgebnis e = job.Warte();
    auto lauf = std::make_shared<TLangzeitlauf>();
    lauf->Ereignisse = EreignisseAus(e.Resultat.Tabellen);
    lauf->Startzustaende = e.Resultat.Startzustaende;
    lauf->Revision = e.Revision;
    std::shared_ptr<const TLangzeitlauf> l = lauf;
    TLaufQuelle quelle = [l] { return l; };
    TFalscheDialoge dialoge;
    QWidget eltern;
    uint64_t id = 0;
    for (int i = 0; i < dok->Model().Count(); ++i)
      if (dok->Model().GetNode(i)->Name == "RÜB Mitte") id = dok->Model().GetNode(i)->Id;

    for (bool grafik : {true, false}) {
      auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, quelle, id, grafik, &eltern);
      QVERIFY(w);
      QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
      w->resize(1100, 640);
      QVERIFY(QTest::qWaitForWindowExposed(w));
      // The third event of the run: one with overflow in the tank.
      QVERIFY(QTest::qWaitFor([&] { return !spy.isEmpty() && !w->Rechnet(); }, 30000));
      w->EreignisListe->setCurrentIndex(2);
      QVERIFY(QTest::qWaitFor([&] { return spy.count() >= 2 && !w->Rechnet(); }, 30000));
      QVERIFY2(w->Ergebnis().Ok, qPrintable(dialoge.Meldungen.join('\n')));
      Bild(*w, grafik ? QStringLiteral("ereignis_grafik") : QStringLiteral("ereignis_tabelle"));
      if (grafik) {
        w->ParameterListe->setCurrentIndex(w->ParameterListe->findText(QStringLiteral("NH4")));
        QVERIFY(QTest::qWaitFor([&] { return spy.count() >= 3 && !w->Rechnet(); }, 30000));
        Bild(*w, QStringLiteral("ereignis_grafik_nh4"));
      }
      delete w;
    }

    // The calibration window: a measurement written from the computed flow
    // of the tank, scaled, so that both lines show.
    TFormKalibrierHilfe k([&] { return dok.get(); }, dialoge);
    k.resize(1100, 640);
    k.show();
    QVERIFY(QTest::qWaitForWindowExposed(&k));
    k.ElementListe->setCurrentIndex(k.ElementListe->findText(QStringLiteral("RÜB Mitte")));
    QFile f(QDir(FTmp.path()).filePath("mess.MGL"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray text = "T;Q\r\n";
    const QDateTime start(QDate(2001, 1, 5), QTime(0, 0));
    for (int m = 0; m <= 24 * 60; m += 5) {
      const double q = 4.0 + (m > 150 && m < 420 ? 12.0 * std::sin((m - 150) / 270.0 * M_PI) : 0.0);
      text += start.addSecs(m * 60).toString("dd.MM.yyyy hh:mm:ss").toUtf8() + ";" +
              QLocale(QLocale::German).toString(q, 'f', 2).toUtf8() + "\r\n";
    }
    f.write(text);
    f.close();
    QVERIFY(k.Laden(f.fileName()));
    QSignalSpy spy(&k, &TFormKalibrierHilfe::Gerechnet);
    k.ButtonRechnenClick();
    QVERIFY(QTest::qWaitFor([&] { return !spy.isEmpty() && !k.Rechnet(); }, 30000));
    Bild(k, QStringLiteral("modell_abgleich_ganglinie"));
    k.Seiten->setCurrentIndex(1);
    Bild(k, QStringLiteral("modell_abgleich_summenlinie"));
  }
};

QTEST_MAIN(TestEreignisBilder)
#include "test_bilder.moc"
