// The report windows: the print preview with its page steps, zoom rules,
// report files and printing; the element selection with the print list as
// an edit of the project; the page preview's parts; the section choice.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/vorschau/auswahldialog.h"
#include "app/vorschau/druckvorschau.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

// n pages of A4 at screen resolution, the last one in landscape.
void Seiten(TPages& p, int n) {
  for (int i = 0; i < n; ++i) {
    const bool quer = i == n - 1 && n > 1;
    TDrawMetaFile* s = p.Add(quer ? 1123 : 794, quer ? 794 : 1123);
    s->Canvas()->drawText(100, 100, QStringLiteral("Seite %1").arg(i + 1));
    s->Close();
  }
}

int PdfSeiten(const QString& datei) {
  QFile f(datei);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  static const QRegularExpression re(QStringLiteral("/Type\\s*/Page[^s]"));
  return static_cast<int>(QString::fromLatin1(f.readAll()).count(re));
}

std::unique_ptr<TDokument> Beispiel() {
  TLadeErgebnis e;
  return TDokument::Oeffnen(T21_QUELLE "/beispiel/Beispiel", e);
}

QStringList Namen(const QListWidget* l) {
  QStringList n;
  for (int i = 0; i < l->count(); ++i) n << l->item(i)->text();
  return n;
}

}  // namespace

class TestVorschau : public QObject {
  Q_OBJECT

 private slots:
  void SeitenUndZoom() {
    TFalscheDialoge d;
    auto* f = new TfrmPreview(d);
    TPreview& v = f->Viewer();
    Seiten(v.Pages(), 3);
    v.FirstPage();
    QCOMPARE(v.PageNumber(), 1);
    // The indicator follows pages the caller added and turned.
    QCOMPARE(f->Seitenanzeige(), QStringLiteral("1 / 3"));
    QTest::keyClick(f, Qt::Key_End);
    QCOMPARE(v.PageNumber(), 3);
    QCOMPARE(f->Seitenanzeige(), QStringLiteral("3/3"));
    QTest::keyClick(f, Qt::Key_PageDown);  // past the last page: stays
    QCOMPARE(v.PageNumber(), 3);
    QTest::keyClick(f, Qt::Key_PageUp);
    QCOMPARE(v.PageNumber(), 2);
    v.SetPageNumber(0);
    v.SetPageNumber(4);
    QCOMPARE(v.PageNumber(), 2);

    // Zoom: 25..200 accepted; clicks step 50-75-100-150-200 and leave
    // other values alone.
    for (int z : {24, 201}) {
      v.SetZoom(z);
      QCOMPARE(v.Zoom(), 100);
    }
    QWidget* box = v.widget();
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(v.Zoom(), 150);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(v.Zoom(), 200);
    QTest::mouseClick(box, Qt::RightButton);
    QCOMPARE(v.Zoom(), 150);
    auto* zoom = f->findChild<QComboBox*>(QStringLiteral("cbxScale"));
    QCOMPARE(zoom->currentText(), QStringLiteral("150"));
    zoom->lineEdit()->setText(QStringLiteral("60"));
    emit zoom->lineEdit()->editingFinished();
    QCOMPARE(v.Zoom(), 60);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(v.Zoom(), 60);
    zoom->lineEdit()->setText(QStringLiteral("x"));
    emit zoom->lineEdit()->editingFinished();
    QCOMPARE(v.Zoom(), 100);
    // The page box: page size at the zoom plus the shadow.
    QCOMPARE(v.SeitenGroesse(), QSize(794 + 5, 1123 + 5));
    f->close();
  }

  void BerichtsdateienUndPdf() {
    TFalscheDialoge d;
    QTemporaryDir ordner;
    TfrmPreview f(d);
    f.setAttribute(Qt::WA_DeleteOnClose, false);
    Seiten(f.Viewer().Pages(), 3);
    f.Viewer().FirstPage();
    const QString rpt = ordner.filePath(QStringLiteral("bericht"));
    d.Dateien = {rpt};
    QVERIFY(f.Speichern());
    QVERIFY(QFile::exists(rpt + QStringLiteral(".rpt")));

    // A foreign file: the message, and the pages shown stay.
    const QString fremd = ordner.filePath(QStringLiteral("fremd.rpt"));
    QFile x(fremd);
    QVERIFY(x.open(QIODevice::WriteOnly));
    x.write("kein Bericht");
    x.close();
    f.Viewer().LastPage();
    d.Dateien = {fremd};
    QVERIFY(!f.Laden());
    QCOMPARE(d.Meldungen.last(), QStringLiteral("Report kann nicht geladen werden."));
    QCOMPARE(f.Viewer().PageCount(), 3);
    QCOMPARE(f.Viewer().PageNumber(), 3);

    // Loading the saved report: the same pages with their sizes.
    f.Viewer().Pages().Clear();
    d.Dateien = {rpt + QStringLiteral(".rpt")};
    QVERIFY(f.Laden());
    QCOMPARE(f.Viewer().PageCount(), 3);
    QCOMPARE(f.Viewer().PageNumber(), 1);
    QCOMPARE(f.Viewer().Pages().GetPage(2)->Width(), 1123);

    const QString pdf = ordner.filePath(QStringLiteral("bericht.pdf"));
    d.Dateien = {pdf};
    QVERIFY(f.PdfSpeichern());
    QCOMPARE(PdfSeiten(pdf), 3);
  }

  void DruckbereichBegrenzt() {
    TFalscheDialoge d;
    QTemporaryDir ordner;
    TfrmPreview f(d);
    f.setAttribute(Qt::WA_DeleteOnClose, false);
    Seiten(f.Viewer().Pages(), 4);
    const QString a = ordner.filePath("a.pdf"), b = ordner.filePath("b.pdf");
    d.Drucke = {{2, 99, a}, {0, 0, b}};
    f.Drucken();
    f.Drucken();
    QCOMPARE(d.DruckBereiche.first(), qMakePair(1, 4));
    QCOMPARE(PdfSeiten(a), 3);  // 2..4
    QCOMPARE(PdfSeiten(b), 4);  // all
    f.Drucken();                // cancelled: nothing printed
    QCOMPARE(d.Meldungen.size(), 0);
    TfrmPreview leer(d);
    leer.setAttribute(Qt::WA_DeleteOnClose, false);
    leer.Drucken();
    QCOMPARE(d.Beeps, 1);
  }

  void AuswahlUndDruckliste() {
    TFalscheDialoge d;
    auto dok = Beispiel();
    QVERIFY(dok);
    QVERIFY(!dok->Modified());
    {
      TDualListDlg dlg(*dok, d);
      const QStringList alle = Namen(dlg.SrcList()) + Namen(dlg.DstList());
      QVERIFY(!alle.contains(QStringLiteral("Regenschreiber 1")));
      if (dlg.DstList()->count() == 0) {
        dlg.Vorschau();  // nothing chosen: a beep only
        QCOMPARE(d.Beeps, 1);
      }
      dlg.AlleZurueck();
      // Two selected entries arrive in reverse order.
      dlg.SrcList()->item(1)->setSelected(true);
      dlg.SrcList()->item(2)->setSelected(true);
      const QString b = dlg.SrcList()->item(1)->text(), c = dlg.SrcList()->item(2)->text();
      dlg.Hin();
      QCOMPARE(Namen(dlg.DstList()), QStringList({c, b}));
      dlg.DstList()->setCurrentRow(1);
      dlg.Hoch();
      QCOMPARE(Namen(dlg.DstList()), QStringList({b, c}));

      QTemporaryDir ordner;
      const QString pdf = ordner.filePath("nachweis.pdf");
      d.Drucke = {{0, 0, pdf}};
      dlg.Drucken();
      QVERIFY(PdfSeiten(pdf) >= 2);
      dlg.accept();
      QCOMPARE(dok->Model().PrintList,
               (std::vector<std::string>{b.toStdString(), c.toStdString()}));
      QVERIFY(dok->Modified());
    }
    // The print list decides the next time; closing unchanged is no edit.
    const uint64_t rev = dok->Revision();
    {
      TDualListDlg dlg(*dok, d);
      QCOMPARE(dlg.DstList()->count(), 2);
      dlg.reject();
    }
    QCOMPARE(dok->Revision(), rev);
    dok->Rueckgaengig();
    QVERIFY(dok->Model().PrintList.empty());
    QVERIFY(!dok->Modified());
  }

  void SeitenvorschauMitZweiTeilen() {
    TFalscheDialoge d;
    auto dok = Beispiel();
    const TM3Model& m = dok->Model();
    const TCadShape* gebiet = m.GetNode("Altstadt");
    const TCadShape* verbindung = nullptr;
    for (int i = 0; i < m.Count(); ++i)
      if (m.GetNode(i)->Typ() == "CON") verbindung = m.GetNode(i);
    QVERIFY(gebiet && verbindung);
    TPreviewForm v(*dok, d, {verbindung->Id, gebiet->Id});
    QCOMPARE(v.Teil(), 1);
    v.VorherigeSeite();
    QCOMPARE(d.Beeps, 1);
    v.NaechsteSeite();
    QCOMPARE(v.Seite(), 2);
    QCOMPARE(v.Teil(), 1);
    v.NaechsteSeite();
    QCOMPARE(v.Teil(), 2);
    v.NaechsteSeite();
    QCOMPARE(d.Beeps, 2);
    v.VorherigeSeite();
    v.VorherigeSeite();
    QCOMPARE(v.Seite(), 1);
    v.LetzteSeite();
    QCOMPARE(v.Teil(), 2);
    // Something was drawn on the page.
    int dunkel = 0;
    for (int y = 0; y < v.Bild().height(); y += 2)
      for (int x = 0; x < v.Bild().width(); x += 2) dunkel += qGray(v.Bild().pixel(x, y)) < 128;
    QVERIFY(dunkel > 500);
    QVERIFY(!dok->Modified());
  }

  // With T21_BILDER naming a folder: pictures of the four windows with the
  // example's pages (scripts/screenshots.sh).
  void Bilder() {
    const QString ordner = qEnvironmentVariable("T21_BILDER");
    if (ordner.isEmpty()) QSKIP("T21_BILDER nicht gesetzt");
    TFalscheDialoge d;
    auto dok = Beispiel();
    auto bild = [&](QWidget& w, const char* name) {
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QVERIFY(w.grab().save(QDir(ordner).filePath(QString::fromUtf8(name))));
    };
    TDualListDlg auswahl(*dok, d);
    bild(auswahl, "druck_auswahldialog.png");
    auswahl.AlleHin();
    TPreviewForm vorschau(*dok, d, auswahl.Gewaehlt());
    vorschau.resize(1200, 900);
    vorschau.NaechsteSeite();
    bild(vorschau, "vorschau.png");
    TfrmPreview druck(d);
    druck.setAttribute(Qt::WA_DeleteOnClose, false);
    druck.resize(1200, 900);
    Seiten(druck.Viewer().Pages(), 2);
    druck.Viewer().FirstPage();
    bild(druck, "druckvorschau.png");
    TFormReportErstellung abschnitte;
    abschnitte.AlleMarkieren();
    bild(abschnitte, "report_erstellung.png");
    auswahl.reject();
  }

  void ReportAbschnitte() {
    TFormReportErstellung f;
    QCOMPARE(f.Liste()->count(), 40);
    f.AlleMarkieren();
    int an = 0;
    for (int i = 0; i < 40; ++i) an += f.Gewaehlt(i);
    QCOMPARE(an, 33);
    QVERIFY(!f.Gewaehlt(0) && !f.Gewaehlt(38) && !f.Gewaehlt(100));
    f.MarkierungenAufheben();
    QVERIFY(!f.Gewaehlt(1));
  }
};

QTEST_MAIN(TestVorschau)
#include "test_vorschau.moc"
