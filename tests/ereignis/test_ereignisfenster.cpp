// The event window on the example after a three-month long run: chart and
// table, the parameter list, the marked elements, copying with the decimal
// comma, saving and printing, the chart's context menu, and what it does
// when the element, the run or the rain for the event is missing.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include "app/ereignis/ereignisfenster.h"
#include "document/dokument.h"
#include "document/lauf_auftrag.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

std::unique_ptr<TDokument> Beispiel() {
  TLadeErgebnis e;
  return TDokument::Oeffnen(T21_QUELLE "/beispiel/Beispiel", e);
}

uint64_t IdVon(const TDokument& d, const std::string& name) {
  const TM3Model& m = d.Model();
  for (int i = 0; i < m.Count(); ++i)
    if (m.GetNode(i)->Name == name) return m.GetNode(i)->Id;
  return 0;
}

std::vector<QLineSeries*> Reihen(QChartView* v) {
  std::vector<QLineSeries*> r;
  for (QAbstractSeries* s : v->chart()->series()) r.push_back(static_cast<QLineSeries*>(s));
  return r;
}

// Waits for the re-simulation the window started.
bool Fertig(TFormEreignisChart& w, QSignalSpy& spy, int anzahl = 1) {
  return QTest::qWaitFor([&] { return spy.count() >= anzahl && !w.Rechnet(); }, 30000);
}

}  // namespace

class TestEreignisfenster : public QObject {
  Q_OBJECT

  std::shared_ptr<const TLangzeitlauf> FLauf;
  QTemporaryDir FTmp;

  TLaufQuelle Quelle() const {
    auto l = FLauf;
    return [l] { return l; };
  }

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // as the program
    QVERIFY(QDir::setCurrent(QStringLiteral(T21_QUELLE "/beispiel")));
    auto dok = Beispiel();
    QVERIFY(dok);
    TDateTime von = 0, bis = 0;
    QVERIFY(DatumLesen("01.01.2001", von));
    QVERIFY(DatumLesen("31.03.2001", bis));
    TLaufAuftrag job(*dok, von, bis);
    job.Starte();
    TLaufAuftragsErgebnis e = job.Warte();
    QCOMPARE(static_cast<int>(e.Resultat.Ergebnis), static_cast<int>(TLaufErgebnis::Abgeschlossen));
    auto l = std::make_shared<TLangzeitlauf>();
    l->Ereignisse = EreignisseAus(e.Resultat.Tabellen);
    l->Startzustaende = e.Resultat.Startzustaende;
    l->Revision = e.Revision;
    QVERIFY(l->Ereignisse.size() > 3);
    FLauf = l;
  }

  // Without a finished run holding events and start states there is no
  // window, only the reason.
  void ohneLaufKeinFenster_data() {
    QTest::addColumn<int>("fall");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("kein Lauf") << 0 << QString::fromUtf8(kKeinLangzeitlauf);
    QTest::newRow("keine Ereignisse") << 1 << QString::fromUtf8(kKeineEreignisse);
    QTest::newRow("keine Anfangszustände") << 2 << QString::fromUtf8(kKeineStartzustaende);
  }
  void ohneLaufKeinFenster() {
    QFETCH(int, fall);
    QFETCH(QString, meldung);
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    std::shared_ptr<const TLangzeitlauf> lauf;
    if (fall == 1) {
      auto l = std::make_shared<TLangzeitlauf>(*FLauf);
      l->Ereignisse.clear();
      lauf = l;
    } else if (fall == 2) {
      auto l = std::make_shared<TLangzeitlauf>(*FLauf);
      l->Startzustaende.clear();
      lauf = l;
    }
    QWidget eltern;
    auto* w = TFormEreignisChart::Oeffnen(
        *dok, dialoge, [lauf] { return lauf; }, IdVon(*dok, "RÜB Mitte"), true, &eltern);
    QVERIFY(!w);
    QCOMPARE(dialoge.Meldungen, QStringList{meldung});
    QVERIFY(eltern.findChildren<TFormEreignisChart*>().isEmpty());
  }

  // Chart mode: the series of the first parameter, another parameter gives
  // other series; "Kopieren" puts the series as text beside the picture.
  void grafik() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), IdVon(*dok, "RÜB Mitte"), true,
                                          &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    QVERIFY2(w->Ergebnis().Ok, qPrintable(dialoge.Meldungen.join('\n')));
    QVERIFY(w->ToolButton1->isHidden());
    QVERIFY(w->ToolButton2->isHidden());
    QVERIFY(w->Chart1->isVisible());
    QCOMPARE(w->ElementListe->itemText(0), QString::fromUtf8(kMarkierteKomponenten));
    QCOMPARE(w->ElementListe->currentText(), QStringLiteral("RÜB Mitte"));
    QCOMPARE(w->ParameterListe->currentText(), QStringLiteral("Abfluss"));
    QVERIFY(w->windowTitle().startsWith(QStringLiteral("RÜB Mitte: Ereignis 1 - ")));
    auto reihen = Reihen(w->Chart1);
    QCOMPARE(static_cast<int>(reihen.size()), kEreignisReihen);
    QCOMPARE(reihen[0]->name(), QStringLiteral("QD [l/s]"));
    QCOMPARE(reihen[1]->name(), QStringLiteral("Speicher [m3]"));
    QVERIFY(reihen[0]->count() > 10);
    QVERIFY(!reihen[5]->isVisible());  // no sixth series for a tank
    const QList<QPointF> abfluss = reihen[2]->points();

    w->ParameterListe->setCurrentIndex(w->ParameterListe->findText(QStringLiteral("CSB")));
    QVERIFY(Fertig(*w, spy, 2));
    QVERIFY(w->Ergebnis().Ok);
    reihen = Reihen(w->Chart1);
    QCOMPARE(reihen[0]->name(), QStringLiteral("Drossel [mg/l]"));
    QCOMPARE(reihen[2]->name(), QStringLiteral("Zufluss [mg/l]"));
    QCOMPARE(reihen[2]->count(), abfluss.size());
    QVERIFY(reihen[2]->points() != abfluss);

    // Follow-up days make the run longer.
    const int punkte = reihen[2]->count();
    w->ComboBox1->setCurrentIndex(w->ComboBox1->findText(QStringLiteral("1")));
    QVERIFY(Fertig(*w, spy, 3));
    QVERIFY(Reihen(w->Chart1)[2]->count() > punkte + 200);

    w->Kopieren();
    const QMimeData* m = QApplication::clipboard()->mimeData();
    QVERIFY(m->hasImage());
    QVERIFY(m->hasFormat(QStringLiteral("image/svg+xml")));
    QVERIFY(m->text().startsWith(QStringLiteral("Zeit\tDrossel [mg/l]\t")));
    delete w;
  }

  // Table mode: rows in the columns of the parameter, "Kopieren" as
  // tab-separated text with the decimal comma, "Speichern" and "Drucken".
  void tabelle() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), IdVon(*dok, "RÜB Mitte"), false,
                                          &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    QVERIFY2(w->Ergebnis().Ok, qPrintable(dialoge.Meldungen.join('\n')));
    QVERIFY(w->Chart1->isHidden());
    QVERIFY(!w->ToolButton1->isHidden());
    QVERIFY(w->ElementListe->findText(QString::fromUtf8(kMarkierteKomponenten)) < 0);
    QCOMPARE(w->ParameterListe->currentText(), QStringLiteral("Zufluss"));
    QAbstractItemModel* t = w->DBGrid1->model();
    QVERIFY(t->rowCount() > 10);
    QCOMPARE(t->columnCount(), 8);
    QCOMPARE(t->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Zeit"));
    QCOMPARE(t->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Q [l/s]"));
    QVERIFY(t->data(t->index(0, 1)).toString().contains(','));

    w->Kopieren();
    const QStringList zeilen = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    QCOMPARE(zeilen[0],
             QStringLiteral("Zeit\tQ [l/s]\tBSB5 [mg/l]\tNH4 [mg/l]\tAFS63 [mg/l]\tCSB [mg/l]\tpH "
                            "[-]\tAlk [mmol/l]"));
    QCOMPARE(zeilen.size(), t->rowCount() + 2);  // header, rows, the empty end
    const QStringList felder = zeilen[1].split('\t');
    QCOMPARE(felder.size(), 8);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.2001 \\d\\d:\\d\\d:\\d\\d$"))
                 .match(felder[0])
                 .hasMatch(),
             qPrintable(felder[0]));
    bool komma = false;
    for (int i = 1; i < felder.size(); ++i) {
      QVERIFY2(!felder[i].contains('.'), qPrintable(felder[i]));
      komma = komma || felder[i].contains(',');
    }
    QVERIFY(komma);

    // Another parameter: other columns.
    w->ParameterListe->setCurrentIndex(w->ParameterListe->findText(QStringLiteral("Speicher")));
    QVERIFY(Fertig(*w, spy, 2));
    QCOMPARE(w->DBGrid1->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("Inhalt [cbm]"));

    // The proposal is a name alone; a chosen ".xls" is a workbook, any
    // other name the data packet with ".xml".
    const QString vorschlag = w->VorgeschlagenerName();
    QCOMPARE(vorschlag, QStringLiteral("Beispiel_RÜB Mitte_Speicher_GL.xls"));
    dialoge.Dateien = {FTmp.filePath("a.GL"), FTmp.filePath("b.xls")};
    w->Speichern();
    w->Speichern();
    QVERIFY(QFileInfo(FTmp.filePath("a.xml")).size() > 100);
    QVERIFY(!QFileInfo::exists(FTmp.filePath("a.GL")));
    QVERIFY(QFileInfo(FTmp.filePath("b.xls")).size() > 100);

    dialoge.Drucke.push_back({0, 0, FTmp.filePath("druck.pdf")});
    w->Drucken();
    QVERIFY(QFileInfo(FTmp.filePath("druck.pdf")).size() > 1000);
    QVERIFY(dialoge.Meldungen.isEmpty());
    delete w;
  }

  // The rain file named relative to the project is found from any current
  // folder.
  void andererOrdner() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    QVERIFY(QDir::setCurrent(FTmp.path()));
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), IdVon(*dok, "Altstadt"), true,
                                          &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    const bool fertig = Fertig(*w, spy);
    QVERIFY(QDir::setCurrent(QStringLiteral(T21_QUELLE "/beispiel")));
    QVERIFY(fertig);
    QVERIFY2(w->Ergebnis().Ok, qPrintable(dialoge.Meldungen.join('\n')));
    delete w;
  }

  // An element whose name would lead into a folder gets a plain file name.
  void vorschlagOhnePfad() {
    auto dok = Beispiel();
    const uint64_t id = IdVon(*dok, "RÜB Mitte");
    {
      TCommit c = dok->Beginne("Umbenennen");
      c.Umbenennen(id, "../Becken/Mitte");
      dok->Push(c);
    }
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), id, false, &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    const QString n = w->VorgeschlagenerName();
    QVERIFY2(!n.contains('/') && !n.contains('\\') && !n.startsWith('.'), qPrintable(n));
    delete w;
  }

  // The marked elements side by side, by name; none marked is refused.
  void markierte() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), IdVon(*dok, "RÜB Mitte"), true,
                                          &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    w->ElementListe->setCurrentIndex(0);
    emit w->ElementListe->activated(0);
    QVERIFY(Fertig(*w, spy, 2));
    QCOMPARE(dialoge.Meldungen, QStringList{QStringLiteral("Es sind keine Komponenten markiert!")});
    QVERIFY(!w->Ergebnis().Ok);

    TM3Model& m = const_cast<TM3Model&>(dok->Model());
    for (const char* n : {"RÜB Mitte", "Altstadt"})
      m.ChangeSelection(m.GetNodeById(IdVon(*dok, n)));
    w->DoCalc();
    QVERIFY(Fertig(*w, spy, 3));
    QVERIFY(w->Ergebnis().Ok);
    QCOMPARE(w->ParameterListe->currentText(), QStringLiteral("Abfluss"));
    QStringList namen;
    for (QLineSeries* s : Reihen(w->Chart1))
      if (s->isVisible()) namen << s->name();
    namen.sort();
    QCOMPARE(namen, (QStringList{QStringLiteral("Altstadt"), QStringLiteral("RÜB Mitte")}));
    delete w;
  }

  // The window holds its element by id and name: a rename is followed, a
  // deleted element clears the display and a new run is refused with the
  // reason; the element list follows the project.
  void elementWeg() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    const uint64_t id = IdVon(*dok, "RÜB Mitte");
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), id, true, &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    QVERIFY(w->Ergebnis().Ok);
    {
      TCommit c = dok->Beginne("Umbenennen");
      c.Umbenennen(id, "RÜB Nord");
      dok->Push(c);
    }
    QCOMPARE(w->ElementName(), std::string("RÜB Nord"));
    QCOMPARE(w->ElementListe->currentText(), QStringLiteral("RÜB Nord"));
    w->DoCalc();
    QVERIFY(Fertig(*w, spy, 2));
    QVERIFY2(w->Ergebnis().Ok, qPrintable(dialoge.Meldungen.join('\n')));
    QVERIFY(w->Hinweis().contains(QStringLiteral("nach der Langzeitsimulation geändert")));

    {
      TCommit c = dok->Beginne("Löschen");
      c.Entferne(id);
      dok->Push(c);
    }
    QVERIFY(!w->Ergebnis().Ok);
    QCOMPARE(w->Hinweis(), QStringLiteral("Die Komponente RÜB Nord gibt es nicht (mehr)"));
    QVERIFY(Reihen(w->Chart1).empty() || Reihen(w->Chart1)[0]->count() == 0);
    QVERIFY(w->ElementListe->findText(QStringLiteral("RÜB Nord")) < 0);
    QVERIFY(dialoge.Meldungen.isEmpty());
    w->DoCalc();
    QCOMPARE(dialoge.Meldungen,
             QStringList{QStringLiteral("Die Komponente RÜB Nord gibt es nicht (mehr)")});
    delete w;
  }

  // A new run replaces the event list; a run gone is refused; the windows
  // of a document close with it.
  void laufWechsel() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto lauf = std::make_shared<std::shared_ptr<const TLangzeitlauf>>(FLauf);
    auto* w = TFormEreignisChart::Oeffnen(
        *dok, dialoge, [lauf] { return *lauf; }, IdVon(*dok, "Altstadt"), true, &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    const int vorher = w->EreignisListe->count();
    auto kuerzer = std::make_shared<TLangzeitlauf>(*FLauf);
    kuerzer->Ereignisse.resize(2);
    *lauf = kuerzer;
    w->DoCalc();
    QVERIFY(Fertig(*w, spy, 2));
    QVERIFY(vorher > 2);
    QCOMPARE(w->EreignisListe->count(), 2);
    QVERIFY(w->Hinweis().contains(QStringLiteral("neuen Langzeitsimulation")));
    *lauf = nullptr;
    w->DoCalc();
    QVERIFY(Fertig(*w, spy, 3));
    QVERIFY(!w->Ergebnis().Ok);
    QCOMPARE(dialoge.Meldungen.last(), QString::fromUtf8(kKeinLangzeitlauf));
    QPointer<TFormEreignisChart> p(w);
    TFormEreignisChart::SchliesseAlle(&eltern, dok.get());
    QVERIFY(!p);
  }

  // An event the rain series does not reach: the reason, not a dry chart.
  void regenAusserhalb() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto l = std::make_shared<TLangzeitlauf>(*FLauf);
    TDateTime t = 0;
    QVERIFY(DatumLesen("05.01.1995 02:00", t));
    l->Ereignisse[0].Start = t;
    l->Ereignisse[0].Ende = t + 0.1;
    std::shared_ptr<const TLangzeitlauf> k = l;
    auto* w = TFormEreignisChart::Oeffnen(
        *dok, dialoge, [k] { return k; }, IdVon(*dok, "Altstadt"), true, &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    QVERIFY(!w->Ergebnis().Ok);
    QCOMPARE(dialoge.Meldungen.size(), 1);
    QVERIFY2(dialoge.Meldungen[0].contains(QStringLiteral("reicht nicht in den Zeitraum")),
             qPrintable(dialoge.Meldungen[0]));
    QCOMPARE(w->Hinweis(), dialoge.Meldungen[0]);
    for (QLineSeries* s : Reihen(w->Chart1)) QCOMPARE(s->count(), 0);
    delete w;
  }

  // The context menu of the chart: its entries, saving by the extension.
  void kontextmenue() {
    auto dok = Beispiel();
    TFalscheDialoge dialoge;
    QWidget eltern;
    auto* w = TFormEreignisChart::Oeffnen(*dok, dialoge, Quelle(), IdVon(*dok, "Regenschreiber 1"),
                                          true, &eltern);
    QVERIFY(w);
    QSignalSpy spy(w, &TFormEreignisChart::Gerechnet);
    QVERIFY(Fertig(*w, spy));
    QVERIFY(w->Ergebnis().Ok);
    QCOMPARE(w->ParameterListe->currentText(), QStringLiteral("Regen/pot. Verdunstung"));
    QStringList texte;
    for (QAction* a : w->KontextMenue->actions()) texte << a->text();
    QCOMPARE(texte, (QStringList{QStringLiteral("Als Bitmap in Zwischenablage exportieren"),
                                 QStringLiteral("Als Metafile in Zwischenablage exportieren"),
                                 QStringLiteral("Speichern...")}));
    auto aktion = [w](const char* n) {
      return w->KontextMenue->findChild<QAction*>(QString::fromUtf8(n));
    };
    dialoge.Dateien = {FTmp.filePath("bild.EMF"), FTmp.filePath("bild.svg"),
                       FTmp.filePath("bild.BMP")};
    for (int i = 0; i < 3; ++i) aktion("DiagrammSpeichern")->trigger();
    QCOMPARE(dialoge.Meldungen, QStringList{QStringLiteral("Ungültiges Dateiformat")});
    QVERIFY(QFileInfo(FTmp.filePath("bild.svg")).size() > 1000);
    QVERIFY(QFileInfo(FTmp.filePath("bild.BMP")).size() > 1000);
    aktion("DiagrammBitmap")->trigger();
    QVERIFY(QApplication::clipboard()->mimeData()->hasImage());
    delete w;
  }
};

QTEST_MAIN(TestEreignisfenster)
#include "test_ereignisfenster.moc"
