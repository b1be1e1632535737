// The regionalisation window: the figures of the default series through its
// fields, an input error with "Error" and its message, the CN table.
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "app/basis/hilfe.h"
#include "app/werkzeuge/regiofenster.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestRegio : public QObject {
  Q_OBJECT

 private slots:
  void RechnenUndFehler() {
    TFalscheDialoge d;
    TDokument dok;
    TFormRegio f(dok.Model().Netz().Spenden, d);
    QCOMPARE(f.windowTitle(), QStringLiteral("Regionalisierungs-Rechner"));
    const char* eingaben[4] = {"10", "5000", "50", "75"};
    for (int i = 0; i < 4; ++i) QTest::keyClicks(f.Eingabe(i), eingaben[i]);
    f.Rechnen();
    QCOMPARE(f.Ausgabe()->text(), QStringLiteral("175,98"));
    QVERIFY(f.Ausgabe()->isReadOnly());
    f.Eingabe(0)->setText(QStringLiteral("15"));
    f.Rechnen();
    QCOMPARE(f.Ausgabe()->text(), QStringLiteral("213,45"));
    // Decimal comma in an input.
    f.Eingabe(0)->setText(QStringLiteral("14,99"));
    f.Rechnen();
    QCOMPARE(f.Ausgabe()->text(), QStringLiteral("175,98"));
    QVERIFY(d.Meldungen.isEmpty());

    f.Eingabe(2)->setText(QStringLiteral("0"));
    f.Rechnen();
    QCOMPARE(f.Ausgabe()->text(), QStringLiteral("Error"));
    QCOMPARE(d.Meldungen, QStringList{QStringLiteral("Eingabefehler: Höhendifferenz")});
    QCOMPARE(f.Eingabe(2)->text(), QStringLiteral("0"));  // the inputs stay as typed
    f.Eingabe(2)->setText(QStringLiteral("50"));
    f.Eingabe(3)->setText(QStringLiteral("120"));
    f.Rechnen();
    QCOMPARE(d.Meldungen.last(), QStringLiteral("Eingabefehler: CN-Wert"));
  }

  // The help pages of the four windows are built in.
  void Hilfeseiten() {
    for (const char* k : {"regio", "ganglinien", "upn", "vorgaben"})
      QVERIFY2(!HilfeSeite(QString::fromUtf8(k)).isEmpty(), k);
  }

  void CNTabelle() {
    TFalscheDialoge d;
    TDokument dok;
    TFormRegio f(dok.Model().Netz().Spenden, d);
    QTableWidget* t = f.CNListe();
    QCOMPARE(t->rowCount(), 11);
    QCOMPARE(t->columnCount(), 5);
    QCOMPARE(t->horizontalHeaderItem(0)->text(), QStringLiteral("Bodennutzung"));
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Ödland ohne nennenswerten Bewuchs"));
    QCOMPARE(t->item(0, 3)->text(), QStringLiteral("81"));
    QCOMPARE(t->item(10, 4)->text(), QStringLiteral("100"));
    QVERIFY(t->editTriggers() == QAbstractItemView::NoEditTriggers);
    // A double click takes the value as the curve number.
    emit t->cellDoubleClicked(5, 2);
    QCOMPARE(f.Eingabe(3)->text(), QStringLiteral("58"));
  }
};

QTEST_MAIN(TestRegio)
#include "test_regio.moc"
