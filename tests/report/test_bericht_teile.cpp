// The verification report rendered as the program renders it (in parts on
// threads, text from the cache, the parts joined) against the same report
// rendered in one go with every string shaped by Qt: the same pages, sizes,
// text and look. The example project, and a generated one of discharge
// points, catchments and tanks (entries with two pages).
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "report/bericht.h"
#include "storage/projektdatei.h"
#include "support/bench_netz.h"

using namespace t21;

namespace {

QByteArray Lauf(const QString& programm, const QStringList& argumente) {
  QProcess p;
  p.start(programm, argumente);
  if (!p.waitForFinished(120000)) return {};
  return p.readAllStandardOutput();
}

struct TPdf {
  int Seiten = -1;
  QByteArray Text;  // pdftotext -layout
  QByteArray Info;  // pdfinfo of every page
};

TPdf Rendere(TM3Model& m, const QString& datei, TBerichtLauf lauf) {
  TPdf r;
  std::string fehler;
  r.Seiten = BerichtAlsPdf(m, Druckliste(m, {}), datei.toStdString(), fehler, {}, 300, lauf);
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  if (pdftotext.isEmpty() || pdfinfo.isEmpty()) return r;
  r.Text = Lauf(pdftotext, {QStringLiteral("-layout"), datei, QStringLiteral("-")});
  r.Info = Lauf(pdfinfo, {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                          QString::number(r.Seiten), datei});
  // Only the page lines: the dates of creation differ.
  QList<QByteArray> seiten;
  for (const QByteArray& z : r.Info.split('\n'))
    if (z.startsWith("Page") || z.startsWith("Pages")) seiten << z;
  r.Info = seiten.join('\n');
  return r;
}

}  // namespace

class TestBerichtTeile : public QObject {
  Q_OBJECT

 private slots:
  void InTeilenWieInEinemGang_data() {
    QTest::addColumn<QString>("projekt");
    QTest::addColumn<int>("teile");
    QTest::newRow("Beispiel, 3 Teile") << QStringLiteral("Beispiel") << 3;
    QTest::newRow("Beispiel, so viele Teile wie Elemente") << QStringLiteral("Beispiel") << 99;
    QTest::newRow("Netz, 2 Teile") << QStringLiteral("Netz") << 2;
  }
  void InTeilenWieInEinemGang() {
    QFETCH(QString, projekt);
    QFETCH(int, teile);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("pdftotext fehlt (poppler-utils)");
    TM3Model m;
    if (projekt == QStringLiteral("Beispiel"))
      QVERIFY(A3_Laden(m, T21_QUELLE "/beispiel/Beispiel").Ok);
    else {
      // As after opening it (the generator sets what loading derives).
      TM3Model gebaut;
      test::BaueBenchNetz(gebaut, "", 2, 3);
      QVERIFY(ModellAusPaket(m, *ModellAlsPaket(gebaut), "").Ok);
    }
    QTemporaryDir ordner;
    const TPdf vorher = Rendere(m, ordner.filePath(QStringLiteral("EinGang.pdf")), {1, false});
    const TPdf jetzt = Rendere(m, ordner.filePath(QStringLiteral("Teile.pdf")), {teile, true});
    QVERIFY(vorher.Seiten > 0);
    QCOMPARE(jetzt.Seiten, vorher.Seiten);
    QVERIFY(vorher.Info.contains("Pages:"));
    QCOMPARE(jetzt.Info, vorher.Info);
    QCOMPARE(jetzt.Text.count('\f'), vorher.Seiten);
    QCOMPARE(jetzt.Text, vorher.Text);
    // The look: every page rendered the same, pixel for pixel.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) return;
    for (const char* name : {"EinGang", "Teile"}) {
      QProcess p;
      p.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-gray"),
                         ordner.filePath(QString::fromLatin1(name) + ".pdf"),
                         ordner.filePath(QString::fromLatin1(name))});
      QVERIFY(p.waitForFinished(120000));
    }
    for (int s = 1; s <= vorher.Seiten; ++s) {
      const QString nr = QString::number(s).rightJustified(QString::number(vorher.Seiten).size(),
                                                           QLatin1Char('0'));
      QFile a(ordner.filePath(QStringLiteral("EinGang-%1.pgm").arg(nr)));
      QFile b(ordner.filePath(QStringLiteral("Teile-%1.pgm").arg(nr)));
      QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly), qPrintable(nr));
      QVERIFY2(a.readAll() == b.readAll(), qPrintable(QStringLiteral("Seite %1").arg(s)));
    }
  }
};

QTEST_MAIN(TestBerichtTeile)
#include "test_bericht_teile.moc"
