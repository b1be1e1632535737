// Joining PDF parts: documents written by QPdfWriter (as the report writes
// its parts) joined into one keep the count, order, size and text of their
// pages; the joined document is read back with pdftotext and pdfinfo, and by
// the joiner itself.
#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "report/pdfteile.h"

using namespace t21;

namespace {

// A document of `seiten` pages of the given size, page i reading
// "<name> Seite i" in two fonts (so that each part embeds two subsets).
QByteArray Teil(const QString& name, int seiten, QPageSize groesse) {
  QByteArray daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&puffer);
    pdf.setPageSize(groesse);
    pdf.setTitle(name);
    pdf.setResolution(300);
    QPainter p(&pdf);
    for (int i = 1; i <= seiten; ++i) {
      if (i > 1) pdf.newPage();
      QFont f(QStringLiteral("Liberation Sans"));
      f.setPixelSize(40);
      p.setFont(f);
      p.drawText(QPointF(100, 200), QStringLiteral("%1 Seite %2").arg(name).arg(i));
      f.setBold(true);
      p.setFont(f);
      p.drawText(QPointF(100, 300), QStringLiteral("Fußzeile (%1)").arg(i));
      p.drawRect(QRectF(50, 50, 400, 400));
    }
  }
  return daten;
}

QString Programm(const char* name) {
  return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QByteArray Lauf(const QString& programm, const QStringList& argumente) {
  QProcess p;
  p.start(programm, argumente);
  if (!p.waitForFinished(60000)) return {};
  return p.readAllStandardOutput();
}

}  // namespace

class TestPdfTeile : public QObject {
  Q_OBJECT

 private slots:
  void TeileInIhrerReihenfolge() {
    const std::vector<QByteArray> teile{
        Teil(QStringLiteral("Erster"), 2, QPageSize(QPageSize::A4)),
        Teil(QStringLiteral("Zweiter"), 3, QPageSize(QPageSize::A5)),
        Teil(QStringLiteral("Dritter"), 1, QPageSize(QPageSize::A4))};
    QByteArray pdf;
    std::string fehler;
    QVERIFY2(PdfTeileZusammenfuegen(teile, pdf, fehler), fehler.c_str());
    QCOMPARE(PdfSeitenzahl(pdf), 6);
    // Joined again with a part of its own, the result is read as well.
    QByteArray nochmal;
    QVERIFY(PdfTeileZusammenfuegen({pdf, teile[2]}, nochmal, fehler));
    QCOMPARE(PdfSeitenzahl(nochmal), 7);

    const QString pdftotext = Programm("pdftotext"), pdfinfo = Programm("pdfinfo");
    if (pdftotext.isEmpty() || pdfinfo.isEmpty()) QSKIP("pdftotext/pdfinfo fehlen (poppler-utils)");
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("Gesamt.pdf"));
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(pdf);
    f.close();
    const QStringList seiten =
        QString::fromUtf8(Lauf(pdftotext, {datei, QStringLiteral("-")})).split(QLatin1Char('\f'));
    QCOMPARE(seiten.size() - 1, 6);
    const QStringList erwartet{"Erster Seite 1",  "Erster Seite 2",  "Zweiter Seite 1",
                               "Zweiter Seite 2", "Zweiter Seite 3", "Dritter Seite 1"};
    const QList<int> fuss{1, 2, 1, 2, 3, 1};
    for (int i = 0; i < 6; ++i) {
      QVERIFY2(seiten[i].contains(erwartet[i]), qPrintable(seiten[i]));
      QVERIFY2(seiten[i].contains(QStringLiteral("Fußzeile (%1)").arg(fuss[i])),
               qPrintable(seiten[i]));
    }
    const QString info =
        QString::fromUtf8(Lauf(pdfinfo, {QStringLiteral("-f"), QStringLiteral("1"),
                                         QStringLiteral("-l"), QStringLiteral("6"), datei}));
    QVERIFY2(info.contains(QStringLiteral("Title:           Erster")), qPrintable(info));
    const QStringList groessen{"595 x 842", "595 x 842", "420 x 595",
                               "420 x 595", "420 x 595", "595 x 842"};
    for (int i = 0; i < 6; ++i) {
      const QString zeile = QStringLiteral("Page %1 size:").arg(i + 1, 4);
      const qsizetype k = info.indexOf(zeile);
      QVERIFY2(k >= 0, qPrintable(info));
      QVERIFY2(info.mid(k + zeile.size()).trimmed().startsWith(groessen[i]), qPrintable(info));
    }
    // Every part embeds its own subsets, each with its map to Unicode (what
    // the text is extracted by) and a name of its own.
    const QStringList fonts =
        QString::fromUtf8(Lauf(Programm("pdffonts"), {datei})).split(QLatin1Char('\n'));
    int eingebettet = 0;
    for (const QString& z : fonts)
      if (z.startsWith(QStringLiteral("LiberationSans"))) {
        QVERIFY2(z.contains(QStringLiteral("yes no  yes")), qPrintable(z));
        ++eingebettet;
      }
    QCOMPARE(eingebettet, 6);
    QSet<QByteArray> tags;
    for (qsizetype k = pdf.indexOf("/FontName /"); k >= 0; k = pdf.indexOf("/FontName /", k + 1))
      tags.insert(pdf.mid(k + 11, 7));
    QCOMPARE(tags.size(), 6);
  }

  // Parts that are not PDF, or are cut short, are refused; nothing is
  // written.
  void UnlesbareTeile_data() {
    QTest::addColumn<QByteArray>("teil");
    const QByteArray gut = Teil(QStringLiteral("Gut"), 2, QPageSize(QPageSize::A4));
    QTest::newRow("leer") << QByteArray();
    QTest::newRow("kein PDF") << QByteArray("Hallo Welt\n");
    QTest::newRow("abgeschnitten") << gut.left(gut.size() / 2);
    QByteArray verschoben = gut;
    verschoben.replace("startxref\n", "startxref\n1");
    QTest::newRow("falscher Querverweis") << verschoben;
  }
  void UnlesbareTeile() {
    QFETCH(QByteArray, teil);
    const QByteArray gut = Teil(QStringLiteral("Gut"), 1, QPageSize(QPageSize::A4));
    QByteArray pdf;
    std::string fehler;
    QVERIFY(!PdfTeileZusammenfuegen({gut, teil}, pdf, fehler));
    QVERIFY(pdf.isEmpty());
    QVERIFY(!fehler.empty());
    QCOMPARE(PdfSeitenzahl(teil), -1);
  }
};

QTEST_MAIN(TestPdfTeile)
#include "test_pdfteile.moc"
