// The hydrograph editor window: the tab of its list, the spin buttons and
// the table, the messages of the checks, and a new hydrograph that the
// project keeps through saving and opening.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/werkzeuge/ganglinienfenster.h"
#include "app/werkzeuge/werkzeuge.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestGanglinien : public QObject {
  Q_OBJECT

 private slots:
  void SeiteTabelleUndMeldungen() {
    TFalscheDialoge d;
    TDokument dok;
    TFormGanglinien f(dok, TGanglinienArt::Schmutzwasser, d);
    QCOMPARE(f.Seiten()->count(), 1);
    QCOMPARE(f.Seiten()->tabText(0), QStringLiteral("Schmutzwasser-Tagesgang"));
    QCOMPARE(f.Basisauswahl()->currentText(), QStringLiteral("ausgeglichen"));
    QTableWidget* t = f.Tabelle();
    QCOMPARE(t->rowCount(), 25);
    QCOMPARE(t->horizontalHeaderItem(2)->text(), QStringLiteral("x"));
    QCOMPARE(t->item(7, 1)->text(), QStringLiteral("1,0"));
    QCOMPARE(t->item(24, 1)->text(), QStringLiteral("24,0"));
    QCOMPARE(t->item(24, 2)->text(), QStringLiteral("1,000"));

    // Hour 7 one step up: 24,1 and the editor stays open.
    f.show();
    QTest::mouseClick(f.Hoch(7), Qt::LeftButton);
    QCOMPARE(t->item(7, 1)->text(), QStringLiteral("1,1"));
    QCOMPARE(t->item(7, 2)->text(), QStringLiteral("21,818"));
    QCOMPARE(t->item(24, 1)->text(), QStringLiteral("24,1"));
    QTest::keyClicks(f.NameFeld(), "Neu");
    f.Ok();
    QCOMPARE(d.Meldungen,
             QStringList{QStringLiteral("Die Gangliniensumme (24,1) ist ungleich 24")});
    QVERIFY(f.isVisible());
    // Hour 8 one step down: accepted sum, but a name that exists already.
    QTest::mouseClick(f.Runter(8), Qt::LeftButton);
    f.NameFeld()->setText(QStringLiteral("AUSGEGLICHEN"));
    f.Ok();
    QCOMPARE(d.Meldungen.last(),
             QStringLiteral("Eine Ganglinie mit diesem Namen existiert bereits."));
    f.NameFeld()->clear();
    f.Ok();
    QCOMPARE(d.Meldungen.last(), QStringLiteral("Sie müssen der Ganglinie einen Namen geben."));
    QCOMPARE(dok.Model().Referenz.SWGanglinien.Count(),
             StandardReferenzListen().SWGanglinien.Count());
    QVERIFY(!dok.Modified());

    // Another base: its values in the table.
    f.Basisauswahl()->setCurrentIndex(1);
    QCOMPARE(t->item(12, 1)->text(), QStringLiteral("3,0"));
    QCOMPARE(t->item(0, 2)->text(), QStringLiteral("0,000"));

    TFormGanglinien fw(dok, TGanglinienArt::Fremdwasser, d);
    QCOMPARE(fw.Seiten()->count(), 1);
    QCOMPARE(fw.Seiten()->tabText(0), QStringLiteral("Fremdwasser-Jahresgang"));
    QCOMPARE(fw.Tabelle()->rowCount(), 13);
    QCOMPARE(fw.Tabelle()->item(12, 1)->text(), QStringLiteral("12,0"));
    fw.reject();  // closing without OK appends nothing
    QCOMPARE(dok.Model().Referenz.FWGanglinien.Count(), 1);
  }

  // The one-call opening used by the menus: OK appends, Abbrechen does not.
  void OeffnenUndSchliessen() {
    TFalscheDialoge d;
    TDokument dok;
    QTimer::singleShot(0, [] {
      auto* f = qobject_cast<TFormGanglinien*>(QApplication::activeModalWidget());
      if (!f) return;
      f->NameFeld()->setText(QStringLiteral("Kopie"));
      f->Ok();
    });
    QVERIFY(GanglinieNeu(nullptr, dok, TGanglinienArt::Fremdwasser, d));
    QCOMPARE(dok.Model().Referenz.FWGanglinien.Count(), 2);
    QTimer::singleShot(0, [] {
      if (auto* f = QApplication::activeModalWidget()) f->close();
    });
    QVERIFY(!GanglinieNeu(nullptr, dok, TGanglinienArt::Fremdwasser, d));
    QCOMPARE(dok.Model().Referenz.FWGanglinien.Count(), 2);
  }

  // "&Drucken" prints the window onto one page.
  void Drucken() {
    QTemporaryDir ordner;
    TFalscheDialoge d;
    TDokument dok;
    TFormGanglinien f(dok, TGanglinienArt::Schmutzwasser, d);
    f.show();
    const QString pdf = ordner.filePath(QStringLiteral("g.pdf"));
    d.Drucke.push_back({0, 0, pdf});
    for (auto* k : f.findChildren<QPushButton*>())
      if (k->text() == QStringLiteral("&Drucken")) k->click();
    QCOMPARE(d.DruckBereiche.size(), 1);
    QVERIFY(QFileInfo(pdf).size() > 1000);
    // Cancelled: nothing printed, no message.
    for (auto* k : f.findChildren<QPushButton*>())
      if (k->text() == QStringLiteral("&Drucken")) k->click();
    QVERIFY(d.Meldungen.isEmpty());
  }

  void NeueGanglinieMitDemProjektGespeichert() {
    QTemporaryDir ordner;
    QVERIFY(ordner.isValid());
    const std::string datei = ordner.filePath(QStringLiteral("Projekt")).toStdString();
    TFalscheDialoge d;
    {
      TDokument dok;
      TFormGanglinien f(dok, TGanglinienArt::Schmutzwasser, d);
      f.show();
      QTest::mouseClick(f.Hoch(7), Qt::LeftButton);
      QTest::mouseClick(f.Runter(8), Qt::LeftButton);
      QTest::keyClicks(f.NameFeld(), "Wochenende");
      f.Ok();
      QVERIFY(d.Meldungen.isEmpty());
      QCOMPARE(f.result(), int(QDialog::Accepted));
      QVERIFY(dok.Modified());
      const auto& g = dok.Model().Referenz.SWGanglinien.Eintraege.back();
      QCOMPARE(QString::fromStdString(g.name), QStringLiteral("Wochenende"));
      std::string fehler;
      QVERIFY2(dok.SpeichernUnter(datei, fehler), fehler.c_str());
    }
    TLadeErgebnis e;
    auto dok = TDokument::Oeffnen(datei, e);
    QVERIFY2(dok, e.Fehler.c_str());
    const TSWGanglinien& l = dok->Model().Referenz.SWGanglinien;
    QCOMPARE(l.Count(), StandardReferenzListen().SWGanglinien.Count() + 1);
    QCOMPARE(QString::fromStdString(l.Eintraege.back().name), QStringLiteral("Wochenende"));
    QCOMPARE(l.value(l.Count() - 1, 7), 1.1);
    QCOMPARE(l.value(l.Count() - 1, 8), 0.9);
    // The reopened project offers it as a base.
    TFormGanglinien f(*dok, TGanglinienArt::Schmutzwasser, d);
    QCOMPARE(f.Basisauswahl()->itemText(f.Basisauswahl()->count() - 1),
             QStringLiteral("Wochenende"));
  }
};

QTEST_MAIN(TestGanglinien)
#include "test_ganglinien.moc"
