// The tabular text in the application's number settings: German by default
// (decimal comma, dd.MM.yyyy), another locale's when the user has one.
#include <QTest>

#include "app/basis/zahlenformat.h"

using namespace t21;

class TestZahlenformat : public QObject {
  Q_OBJECT

 private slots:
  void AusDemGebietsschema() {
    const TZahlenformat de = ZahlenformatAus(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(de.Dezimal, std::string(","));
    QCOMPARE(de.Datum, std::string("dd.MM.yyyy"));
    QCOMPARE(CSVZahl(1173.625, de), std::string("1173,625"));
    const TZahlenformat en = ZahlenformatAus(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(en.Dezimal, std::string("."));
    QVERIFY(QString::fromStdString(en.Datum).contains(QStringLiteral("yyyy")));
  }
};

QTEST_MAIN(TestZahlenformat)
#include "test_zahlenformat.moc"
