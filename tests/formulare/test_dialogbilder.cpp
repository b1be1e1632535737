// Pictures of every page of every element dialog with the example's
// elements: when T21_BILDER names a folder, one PNG per page is written
// there (dialog_<Typ>_<Seite>.png). Without it the test only opens them.
#include <QDir>
#include <QLocale>
#include <QTabWidget>
#include <QTest>

#include "app/formulare/elementdialog.h"
#include "app/formulare/musterform.h"
#include "document/dokument.h"
#include "model/elements.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

class TestDialogbilder : public QObject {
  Q_OBJECT

 private slots:
  void JedeSeite() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TLadeErgebnis e;
    auto d = TDokument::Oeffnen(std::string(T21_QUELLE) + "/beispiel/Beispiel", e);
    QVERIFY(d);
    // The kinds the example lacks, downstream of its catchments.
    {
      TCommit c = d->Beginne("Neu");
      TCadShape* ker = c.Erzeuge("KER", "Regenwasser", 0, 0);
      TCadShape* rkb = c.Erzeuge("RKB", "RKB 1", 10, 0);
      TCadShape* ru = c.Erzeuge("RU", "RÜ 1", 20, 0);
      TCadShape* oma = c.Erzeuge("OMA", "Maßnahme 1", 30, 0);
      TCadShape* klg = c.Erzeuge("KLG", "Kläranlage", 40, 0);
      ker->SetParent(rkb);
      rkb->SetParent(ru);
      ru->SetParent(oma);
      oma->SetParent(c.Model().Liste.Find("Einleitung Mühlbach"));
      klg->SetParent(c.Model().Liste.Find("Einleitung Mühlbach"));
      d->Push(c);
    }
    const QString ordner = qEnvironmentVariable("T21_BILDER");
    int bilder = 0;
    for (const std::string& name : d->Model().Liste.Names()) {
      const TCadShape* s = d->Model().Liste.Find(name);
      TFalscheDialoge dialoge;
      auto f = ErzeugeElementDialog(*d, s->Id, dialoge, nullptr);
      if (!f) continue;
      f->show();
      QVERIFY(QTest::qWaitForWindowExposed(f.get()));
      const std::string typ = TM3Model::ElementOf(s)->Typ();
      for (int i = 0; i < f->Seiten()->count(); ++i) {
        if (!f->Seiten()->isTabVisible(i)) continue;
        f->Seiten()->setCurrentIndex(i);
        QTest::qWait(10);
        if (ordner.isEmpty()) continue;
        QString seite = f->Seiten()->tabText(i);
        seite.replace(QLatin1Char(' '), QLatin1Char('_')).replace(QLatin1Char('.'), QString());
        const QString datei = QDir(ordner).filePath(
            QStringLiteral("dialog_%1_%2.png").arg(QString::fromStdString(typ), seite));
        QVERIFY(f->grab().save(datei));
        ++bilder;
      }
      // The result pages behind the first page.
      f->Seiten()->setCurrentIndex(0);
      for (int i = 0; i < f->Ergebnisse()->count() && !ordner.isEmpty(); ++i) {
        if (!f->Ergebnisse()->isTabVisible(i)) continue;
        f->Ergebnisse()->setCurrentIndex(i);
        QTest::qWait(10);
        QString seite = f->Ergebnisse()->tabText(i);
        seite.replace(QLatin1Char(' '), QLatin1Char('_'));
        QVERIFY(f->grab().save(QDir(ordner).filePath(
            QStringLiteral("dialog_%1_Ergebnis_%2.png").arg(QString::fromStdString(typ), seite))));
        ++bilder;
      }
      f->reject();
    }
    if (!ordner.isEmpty()) QVERIFY(bilder > 40);
  }
};

QTEST_MAIN(TestDialogbilder)
#include "test_dialogbilder.moc"
