// The defaults window: the list and the fields of a row, resets that
// "&Abbrechen" discards and "&OK" puts in force.
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/werkzeuge/vorgabenfenster.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

int Zeile(QTableWidget* t, const QString& feld) {
  for (int r = 0; r < t->rowCount(); ++r)
    if (t->item(r, 0)->text() == feld) return r;
  return -1;
}

QPushButton* Knopf(QWidget& w, const QString& text) {
  for (auto* k : w.findChildren<QPushButton*>())
    if (k->text() == text) return k;
  return nullptr;
}

}  // namespace

class TestVorgaben : public QObject {
  Q_OBJECT

 private slots:
  void ListeUndFelder() {
    TFalscheDialoge d;
    TDataModule1 dm;
    TFormDefaultValues f(dm, d);
    QCOMPARE(f.windowTitle(), QStringLiteral("Anwender- und Standard-Vorgaben"));
    QTableWidget* t = f.Liste();
    QCOMPARE(t->rowCount(), static_cast<int>(dm.StandardVorgaben.size()));
    QCOMPARE(t->horizontalHeaderItem(0)->text(), QStringLiteral("Feld"));
    QCOMPARE(t->horizontalHeaderItem(1)->text(), QStringLiteral("Vorgabe-Wert"));
    QVERIFY(t->columnWidth(0) >= 200);
    QCOMPARE(t->columnWidth(1), 253);
    QVERIFY(t->item(Zeile(t, QStringLiteral("NET.ProjektNummer")), 0)->text().startsWith("NET."));
    const int ngm = Zeile(t, QStringLiteral("KEZ.MittlereGeländeneigungsGruppe"));
    QVERIFY(ngm >= 0);
    t->setCurrentCell(ngm, 0);
    QCOMPARE(f.MinFeld()->text(), QStringLiteral("1"));
    QCOMPARE(f.MaxFeld()->text(), QStringLiteral("4"));
    QCOMPARE(f.StandardFeld()->text(), QStringLiteral("2,0"));
    QCOMPARE(f.TypFeld()->text(), QStringLiteral("Fliesskommazahl"));
    t->setCurrentCell(Zeile(t, QStringLiteral("HYD.ScriptAktiv")), 1);
    QCOMPARE(f.MinFeld()->text(), QString());
    QCOMPARE(f.TypFeld()->text(), QStringLiteral("Boolean"));
    for (const char* k :
         {"&Feld zurücksetzen", "alle Felder &zurücksetzen", "&OK", "&Abbrechen", "&Hilfe"})
      QVERIFY2(Knopf(f, QString::fromUtf8(k)), k);
    QCOMPARE(Knopf(f, QStringLiteral("&Abbrechen"))->toolTip(),
             QStringLiteral("Änderungen verwerfen und schließen"));
  }

  void AbbrechenVerwirftOkUebernimmt() {
    TFalscheDialoge d;
    TDataModule1 dm;
    TTabelle& kez = dm.T("CDSKEZ");
    const int ws = kez.Schema().Index("WS");
    kez.SetzeVorgabe(ws, "150");
    {
      TFormDefaultValues f(dm, d);
      const int k = Zeile(f.Liste(), QStringLiteral("KEZ.Wasserverbrauch"));
      QCOMPARE(f.Liste()->item(k, 1)->text(), QStringLiteral("150"));
      f.Liste()->setCurrentCell(k, 0);
      Knopf(f, QStringLiteral("&Feld zurücksetzen"))->click();
      QCOMPARE(f.Liste()->item(k, 1)->text(), QStringLiteral("120,0"));
      Knopf(f, QStringLiteral("&Abbrechen"))->click();
    }
    QCOMPARE(QString::fromStdString(kez.Vorgabe(ws)), QStringLiteral("150"));
    {
      TFormDefaultValues f(dm, d);
      Knopf(f, QStringLiteral("alle Felder &zurücksetzen"))->click();
      for (int r = 0; r < f.Liste()->rowCount(); ++r) {
        f.Liste()->setCurrentCell(r, 0);
        QCOMPARE(f.Liste()->item(r, 1)->text(), f.StandardFeld()->text());
      }
      Knopf(f, QStringLiteral("&OK"))->click();
    }
    QCOMPARE(QString::fromStdString(kez.Vorgabe(ws)), QStringLiteral("120,0"));
  }
};

QTEST_MAIN(TestVorgaben)
#include "test_vorgaben.moc"
