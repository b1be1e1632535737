// `t21 bild`: the example's drawing as SVG, PNG and PDF from the command
// line, and the messages for what cannot be drawn.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

class TestBildProgramm : public QObject {
  Q_OBJECT

  static int Bild(const QStringList& argumente, QByteArray* meldung = nullptr) {
    QProcess p;
    p.start(QStringLiteral(T21_VERIFY), QStringList{"bild"} + argumente);
    if (!p.waitForFinished(60000)) return -1;
    if (meldung) *meldung = p.readAllStandardError();
    return p.exitCode();
  }

 private slots:
  void BeispielAlsSvgPngPdf() {
    QTemporaryDir ordner;
    const QString projekt = QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21");
    const QString svg = ordner.filePath("x.svg"), png = ordner.filePath("x.png"),
                  pdf = ordner.filePath("x.pdf");
    QCOMPARE(Bild({projekt, "-o", svg}), 0);
    QSvgRenderer r(svg);
    QVERIFY(r.isValid());
    QCOMPARE(Bild({projekt, "-o", png}), 0);
    const QImage bild(png);
    QVERIFY(!bild.isNull());
    // The same picture at twice the zoom is twice as large (within rounding).
    const QString gross = ordner.filePath("gross.png");
    QCOMPARE(Bild({projekt, "-o", gross, "--zoom", "1.8"}), 0);
    QVERIFY(std::abs(QImage(gross).width() - 2 * bild.width()) <= 2);
    QCOMPARE(Bild({projekt, "-o", pdf}), 0);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
  }

  void FehlerMitMeldung() {
    QTemporaryDir ordner;
    QByteArray meldung;
    QCOMPARE(Bild({ordner.filePath("fehlt.T21"), "-o", ordner.filePath("x.png")}, &meldung), 2);
    QVERIFY(meldung.contains("t21: "));
    const QString projekt = QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21");
    QCOMPARE(Bild({projekt, "-o", ordner.filePath("x.gif")}, &meldung), 2);
    QVERIFY(!QFile::exists(ordner.filePath("x.gif")));
  }
};

QTEST_MAIN(TestBildProgramm)
#include "test_bild_programm.moc"
