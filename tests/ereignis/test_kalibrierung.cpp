// The calibration window on the example: a small measurement loaded, the
// comparison run, the three figures with the decimal comma, the computed
// hydrograph saved and loaded again as measurement, a 0/0 fit, a bad file
// and an element gone.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include "app/ereignis/kalibrierung.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

std::unique_ptr<TDokument> Beispiel() {
  TLadeErgebnis e;
  return TDokument::Oeffnen(T21_QUELLE "/beispiel/Beispiel", e);
}

// A measurement every five minutes from von for the given hours; q of the
// minute since the start.
QString Messdatei(const QString& datei, const QDateTime& von, int stunden,
                  const std::function<double(int)>& q) {
  QFile f(datei);
  if (!f.open(QIODevice::WriteOnly)) return {};
  QByteArray text = "T;Q\r\n";
  for (int m = 0; m <= stunden * 60; m += 5)
    text += von.addSecs(m * 60).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")).toUtf8() + ";" +
            QLocale(QLocale::German).toString(q(m), 'f', 3).toUtf8() + "\r\n";
  f.write(text);
  return datei;
}

int Punkte(QChartView* v, int reihe) {
  const auto s = v->chart()->series();
  return reihe < s.size() ? static_cast<QLineSeries*>(s[reihe])->count() : -1;
}

}  // namespace

class TestKalibrierung : public QObject {
  Q_OBJECT
  QTemporaryDir FTmp;

  bool Rechne(TFormKalibrierHilfe& w) {
    QSignalSpy spy(&w, &TFormKalibrierHilfe::Gerechnet);
    w.ButtonRechnenClick();
    return QTest::qWaitFor([&] { return !spy.isEmpty() && !w.Rechnet(); }, 30000);
  }

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // as the program
    QVERIFY(QDir::setCurrent(QStringLiteral(T21_QUELLE "/beispiel")));
  }

  void aufbau() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    TFormKalibrierHilfe w([&] { return dok.get(); }, dialoge);
    QCOMPARE(w.windowTitle(), QStringLiteral("Modell-Abgleich"));
    QCOMPARE(w.Seiten->tabText(0), QStringLiteral("Ganglinie"));
    QCOMPARE(w.Seiten->tabText(1), QStringLiteral("Summenlinie"));
    QCOMPARE(w.Panel0->text(), QStringLiteral("Messwerte:"));
    int elemente = 0;
    for (int i = 0; i < dok->Model().Count(); ++i) elemente += dok->Model().GetNode(i)->IsM3Shape();
    QCOMPARE(w.ElementListe->count(), elemente);
    QVERIFY(w.ElementListe->findText(QStringLiteral("RÜB Mitte")) >= 0);
    QCOMPARE(w.ElementListe->currentIndex(), 0);
    QVERIFY(w.Bis() - w.Von() == 2);
    QStringList titel;
    for (QAbstractSeries* s : w.Chart1->chart()->series()) titel << s->name();
    for (QAbstractSeries* s : w.Chart2->chart()->series()) titel << s->name();
    QCOMPARE(titel, (QStringList{"Messwerte [l/s]", "berechnete Werte [l/s]", "Messwerte [cbm]",
                                 "berechnete Werte [cbm]"}));
  }

  // A measurement of the tank's flow: the figures, shown with the decimal
  // comma; the computed curve saved and loaded as measurement fits itself.
  void kennwerte() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    TFormKalibrierHilfe w([&] { return dok.get(); }, dialoge);
    const QString datei =
        Messdatei(FTmp.filePath("mess.MGL"), QDateTime(QDate(2001, 1, 5), QTime(0, 0)), 12,
                  [](int m) { return 3.0 + (m > 120 && m < 360 ? 20.0 : 0.0); });
    dialoge.Dateien = {datei};
    w.ToolButtonLadenClick();
    QVERIFY2(dialoge.Meldungen.isEmpty(), qPrintable(dialoge.Meldungen.join('\n')));
    QCOMPARE(static_cast<int>(w.Messung().Zeit.size()), 145);
    QCOMPARE(w.Panel1->text(), QStringLiteral("mess.MGL"));
    QCOMPARE(Punkte(w.Chart1, 0), 145);
    QCOMPARE(Punkte(w.Chart2, 0), 145);
    w.ElementListe->setCurrentIndex(w.ElementListe->findText(QStringLiteral("RÜB Mitte")));
    QVERIFY(Rechne(w));
    QVERIFY2(!w.Berechnet().Leer(), qPrintable(dialoge.Meldungen.join('\n')));
    QCOMPARE(static_cast<int>(w.Berechnet().Zeit.size()), 145);
    QCOMPARE(Punkte(w.Chart1, 1), 145);
    for (QLineEdit* e : {w.Edit1, w.Edit2, w.Edit3}) {
      QVERIFY2(QRegularExpression(QStringLiteral("^-?\\d+,\\d\\d\\d$")).match(e->text()).hasMatch(),
               qPrintable(e->text()));
    }
    QVERIFY(w.Kennwerte().REFFGueltig);

    dialoge.Meldungen.clear();
    dialoge.Dateien = {FTmp.filePath("berechnet")};
    w.ToolButtonSpeichernClick();
    QVERIFY(QFile::exists(FTmp.filePath("berechnet.MGL")));
    QVERIFY(w.Laden(FTmp.filePath("berechnet.MGL")));
    QVERIFY(w.Edit1->text().isEmpty());  // figures cleared by a load
    QVERIFY(Rechne(w));
    QCOMPARE(w.Edit2->text(), QStringLiteral("0,000"));
    QCOMPARE(w.Edit1->text(), QStringLiteral("1,000"));
    QCOMPARE(w.Edit3->text(), QStringLiteral("0,000"));
  }

  // No rain, no flow measured: no figure is defined; "–" and the reason.
  void nullDurchNull() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    TFormKalibrierHilfe w([&] { return dok.get(); }, dialoge);
    QVERIFY(
        w.Laden(Messdatei(FTmp.filePath("trocken.MGL"), QDateTime(QDate(2001, 1, 5), QTime(0, 0)),
                          1, [](int) { return 0.0; })));
    w.ElementListe->setCurrentIndex(w.ElementListe->findText(QStringLiteral("Regenschreiber 1")));
    QVERIFY(Rechne(w));
    QVERIFY(!w.Berechnet().Leer());
    for (QLineEdit* e : {w.Edit1, w.Edit2, w.Edit3}) QCOMPARE(e->text(), QStringLiteral("–"));
    QCOMPARE(dialoge.Meldungen.size(), 1);
    QVERIFY(dialoge.Meldungen[0].contains(QStringLiteral("VOL: beide Volumen sind 0")));
    QVERIFY(dialoge.Meldungen[0].contains(QStringLiteral("SA: beide Scheitelabflüsse sind 0")));
  }

  // A file that cannot be read leaves the measurement loaded before.
  void schlechteDatei_data() {
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("leer") << QByteArray() << QStringLiteral("leere Messwert-Datei");
    QTest::newRow("Kopf") << QByteArray("Zeit;Q\r\n05.01.2001 00:00:00;1,0\r\n")
                          << QStringLiteral("ungültige Messwert-Datei");
    QTest::newRow("Zeile 3") << QByteArray(
                                    "T;Q\r\n05.01.2001 00:00:00;1,0\r\n05.01.2001 "
                                    "00:05:00;2,0\r\n05.01.2001 00:10:00;zwei\r\n")
                             << QStringLiteral("Ungültiger Eintrag in Zeile 3 der Messwert-Datei");
  }
  void schlechteDatei() {
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, meldung);
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    TFormKalibrierHilfe w([&] { return dok.get(); }, dialoge);
    QVERIFY(w.Laden(Messdatei(FTmp.filePath("gut.MGL"), QDateTime(QDate(2001, 1, 5), QTime(0, 0)),
                              1, [](int m) { return m; })));
    QFile f(FTmp.filePath("schlecht.MGL"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
    f.close();
    QVERIFY(!w.Laden(f.fileName()));
    QCOMPARE(dialoge.Meldungen, QStringList{meldung});
    QCOMPARE(static_cast<int>(w.Messung().Zeit.size()), 13);
    QCOMPARE(Punkte(w.Chart1, 0), 13);
    QCOMPARE(w.Panel1->text(), QStringLiteral("gut.MGL"));
  }

  // The element chosen is looked up by name when the run starts.
  void elementWeg() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    TFormKalibrierHilfe w([&] { return dok.get(); }, dialoge);
    w.ElementListe->setCurrentIndex(w.ElementListe->findText(QStringLiteral("Altstadt")));
    {
      TCommit c = dok->Beginne("Löschen");
      for (int i = 0; i < dok->Model().Count(); ++i)
        if (dok->Model().GetNode(i)->Name == "Altstadt") c.Entferne(dok->Model().GetNode(i)->Id);
      dok->Push(c);
    }
    QVERIFY(Rechne(w));
    QCOMPARE(dialoge.Meldungen,
             QStringList{QStringLiteral("Die Komponente Altstadt gibt es nicht (mehr)")});
    QVERIFY(w.Berechnet().Leer());
    w.ElementlisteFuellen();
    QVERIFY(w.ElementListe->findText(QStringLiteral("Altstadt")) < 0);
  }
};

QTEST_MAIN(TestKalibrierung)
#include "test_kalibrierung.moc"
