// The simulation window on the example project: a run from the window gives
// the tables of `t21 simulate`, the window stays responsive during it, a
// cancel keeps the results before, the caption follows the model, results
// are saved, loaded and printed, a damaged results folder is refused.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtCharts/QChartView>
#include <QtCharts/QXYSeries>
#include <QtTest>
#include <sstream>

#include "app/basis/hilfe.h"
#include "app/basis/zahlenformat.h"
#include "app/simulation/simulationsfenster.h"
#include "app/vorschau/auswahldialog.h"
#include "app/vorschau/druckvorschau.h"
#include "cli/simulieren.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"
#include "report/eingabedaten.h"
#include "report/ergebnisbericht.h"
#include "storage/export_csv.h"

using namespace t21;

namespace {

std::string Json(const TDataModule2& dm) {
  std::ostringstream s;
  SchreibeErgebnisse(dm, Format::Json, s);
  return s.str();
}

// The run time is the one figure that differs from run to run.
QString OhneRechenzeit(QString j) {
  static const QRegularExpression r(QStringLiteral("(\"S1\":\"Rechenzeit\",\"S2\":\")[^\"]*\""));
  return j.replace(r, QStringLiteral("\\1\""));
}

QString PdfText(const QString& datei) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), datei, QStringLiteral("-")});
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestSimulationsfenster : public QObject {
  Q_OBJECT

  std::unique_ptr<TDokument> FDok;
  TFalscheDialoge FDialoge;
  QString FCliJson;
  QTemporaryDir FTmp;

  std::unique_ptr<TSimulationForm> Fenster() {
    auto f = std::make_unique<TSimulationForm>(*FDok, FDialoge);
    f->show();
    return f;
  }
  // Runs from the window; the longest gap between two turns of the event
  // loop during the run, in ms.
  qint64 Lauf(TSimulationForm& f) {
    QSignalSpy ende(&f, &TSimulationForm::LaufBeendet);
    QElapsedTimer uhr, gesamt;
    qint64 groesste = 0, wann = 0, endeBei = -1;
    QTimer takt;
    takt.setInterval(5);
    uhr.start();
    gesamt.start();
    QObject::connect(&takt, &QTimer::timeout, [&] {
      const qint64 d = uhr.restart();
      if (d > groesste) {
        groesste = d;
        wann = gesamt.elapsed();
      }
    });
    QObject::connect(&f, &TSimulationForm::LaufBeendet, [&] { endeBei = gesamt.elapsed(); });
    takt.start();
    QTest::mouseClick(f.ButtonStart, Qt::LeftButton);
    if (!ende.wait(120000)) return -1;
    qInfo("groesste Pause endete nach %lld ms, der Lauf nach %lld ms", wann, endeBei);
    return groesste;
  }

 private slots:
  void initTestCase() {
    // The example's rain gauge names its file relative to the project
    // folder; the runs find it there from any current directory.
    QVERIFY(FTmp.isValid());
    QVERIFY(QDir::setCurrent(FTmp.path()));
    TLadeErgebnis e;
    FDok = TDokument::Oeffnen(QStringLiteral(T21_QUELLE "/beispiel/Beispiel").toStdString(), e);
    QVERIFY2(FDok, e.Fehler.c_str());
    QProcess p;
    p.start(QStringLiteral(T21_VERIFY),
            {"simulate", QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21"), "--format", "json"});
    QVERIFY(p.waitForFinished(120000));
    FCliJson = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY(FCliJson.size() > 1000);
    QVERIFY(FTmp.isValid());
  }

  // The example run from the window: the tables are those of t21 simulate
  // byte for byte, the buttons end as they should, the UI thread kept turning.
  void laufGleichKommandozeile() {
    QVERIFY(!HilfeSeite("simulation").isEmpty());  // F1
    auto f = Fenster();
    QVERIFY(f->ButtonStart->isEnabled());
    QVERIFY(!f->ButtonAbbruch->isEnabled());
    QVERIFY(!f->ButtonSpeichern->isEnabled());
    FDialoge.Meldungen.clear();
    const qint64 stau = Lauf(*f);
    QVERIFY(stau >= 0);
    qInfo("groesste Pause der Ereignisschleife waehrend des Laufs: %lld ms", stau);
    QVERIFY2(stau < 1000, "die Oberflaeche stand zu lange");
    // The period proposed is the one of the rain series, as t21 simulate takes it.
    QCOMPARE(f->DateTimePickerBeginnTag->date(), QDate(2001, 1, 1));
    QCOMPARE(f->DateTimePickerEndeTag->date(), QDate(2010, 12, 31));
    // The pre-run checks of this start.
    QVERIFY(f->Pruefungen().Anzahl() > 0);
    QCOMPARE(QString::fromStdString(AlsText(f->Pruefungen().Wert(0, "S3"))),
             QStringLiteral("Nachfolger undefiniert"));
    QVERIFY(f->HatErgebnisse());
    QCOMPARE(OhneRechenzeit(QString::fromStdString(Json(f->Ergebnisse()))),
             OhneRechenzeit(FCliJson));
    QCOMPARE(FDialoge.Meldungen, QStringList{"Simulation abgeschlossen"});
    QVERIFY(f->ButtonStart->isEnabled());
    QVERIFY(!f->ButtonAbbruch->isEnabled());
    QVERIFY(f->ButtonSpeichern->isEnabled());
    QVERIFY(f->ButtonDrucken->isEnabled());
    QVERIFY(f->ButtonOK->isEnabled());
    QCOMPARE(f->ProgressBar1->value(), 100);
    QCOMPARE(f->ProzentLabel->text(), QStringLiteral("100%"));
    QCOMPARE(f->windowTitle(), QStringLiteral("Simulation"));
    QVERIFY(f->Datum->text().startsWith("01.01.2011"));
    // Every page shows its table row by row, German numbers.
    for (const QString& t : f->Seitentitel()) {
      QTableView* v = f->SeitenTabelle(t);
      QVERIFY(v);
      const TTabelle* tab = nullptr;
      for (const TErgebnisAbschnitt& a : ErgebnisAbschnitte())
        if (QString::fromUtf8(a.Titel) == t) {
          tab = const_cast<TDataModule2&>(f->Ergebnisse()).Tabelle(a.Tabelle);
          if (!tab) tab = f->Eingabedaten().Tabelle(a.Tabelle);
        }
      if (t == QString::fromUtf8("Natürliche Flächen"))
        tab = f->Eingabedaten().Tabelle("CDSBilAEO");
      if (t == QStringLiteral("Hydrologische Einheiten"))
        tab = f->Eingabedaten().Tabelle("CDSBilHRU");
      QVERIFY2(tab, qPrintable(t));
      QCOMPARE(v->model()->rowCount(), tab->Anzahl());
    }
    // The input echo of the run: every element of the project in "System",
    // the discharge point's data as entered.
    int elemente = 0;
    for (int i = 0; i < FDok->Model().Count(); ++i)
      if (const TElement* e = TM3Model::ElementOf(FDok->Model().GetNode(i)); e && e->Typ() != "NET")
        ++elemente;
    QCOMPARE(f->SeitenTabelle("System")->model()->rowCount(), elemente);
    QVERIFY(f->SeitenTabelle("Gewässer Hydrologie")->model()->rowCount() > 0);
    QVERIFY(f->SeitenTabelle("Netze Trockenwetter")->model()->rowCount() > 0);
    QTableView* kez = f->SeitenTabelle("Hydrologie Einzugsgebiete");
    QVERIFY(kez->model()->rowCount() > 0);
    const QString zelle = kez->model()->index(0, 3).data().toString();  // AU
    QVERIFY2(zelle.contains(','), qPrintable(zelle));
  }

  // The selection lists filter by value: a name with quotes, a group, a
  // year, a comparison; Kopieren puts the filtered rows as tab-separated text
  // in the user's format; the export writes a workbook.
  void filterKopierenExport() {
    {
      TCommit c = FDok->Beginne("Umbenennen");
      const TCadShape* rub = nullptr;
      for (int i = 0; i < FDok->Model().Count(); ++i)
        if (FDok->Model().GetNode(i)->Name == "RÜB Mitte") rub = FDok->Model().GetNode(i);
      QVERIFY(rub);
      c.Umbenennen(rub->Id, "RÜB \"Mitte\" 'Süd'");
      FDok->Push(c);
    }
    auto f = Fenster();
    QVERIFY(Lauf(*f) >= 0);
    const QString seite = QStringLiteral("Hydrologie QTZ-A 3-2");
    QVERIFY(f->ZeigeSeite(seite));
    QComboBox* el = f->SeitenElemente(seite);
    QCOMPARE(el->itemText(0), QStringLiteral("<alle Bauwerke>"));
    const int i = el->findText(QString::fromUtf8("RÜB \"Mitte\" 'Süd'"));
    QVERIFY(i > 0);
    el->setCurrentIndex(i);
    QTableView* v = f->SeitenTabelle(seite);
    const int zeilen = v->model()->rowCount();
    QVERIFY(zeilen > 0);
    for (int z = 0; z < zeilen; ++z)
      QCOMPARE(v->model()->index(z, 1).data().toString(), QString::fromUtf8("RÜB \"Mitte\" 'Süd'"));
    QCOMPARE(f->SeitenFilterText(seite), QString::fromUtf8("Element = 'RÜB \"Mitte\" ''Süd'''"));
    // The year and a comparison on top.
    QComboBox* zr = f->SeitenZeitraeume(seite);
    zr->setCurrentIndex(zr->findText("2005"));
    QCOMPARE(v->model()->rowCount(), 1);
    f->SeitenSpalte(seite)->setCurrentIndex(f->SeitenSpalte(seite)->findText("QZU"));
    f->SeitenOperator(seite)->setCurrentIndex(f->SeitenOperator(seite)->findText(">"));
    f->SeitenWert(seite)->setText("1e12");
    f->SeiteFiltern(seite);
    QCOMPARE(v->model()->rowCount(), 0);
    f->SeitenWert(seite)->clear();
    f->SeiteFiltern(seite);  // empty value compares with 0
    QCOMPARE(v->model()->rowCount(), 1);
    QVERIFY(f->SeitenFilterText(seite).endsWith("QZU > '0'"));
    // A group.
    zr->setCurrentIndex(0);
    el->setCurrentIndex(el->findText("Gesamtsystem"));
    QVERIFY(v->model()->rowCount() > 0);
    for (int z = 0; z < v->model()->rowCount(); ++z)
      QCOMPARE(v->model()->index(z, 2).data().toString(), QStringLiteral("***"));
    el->setCurrentIndex(el->findText(QString::fromUtf8("RÜB \"Mitte\" 'Süd'")));
    zr->setCurrentIndex(zr->findText("2005"));
    f->SeiteKopieren(seite);
    const QString text = QApplication::clipboard()->text();
    const QStringList z = text.split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(z.size(), 2);  // labels and the one row
    QVERIFY(z[0].startsWith("Jahr\tElement\tTyp"));
    QVERIFY(z[1].startsWith(QString::fromUtf8("2005\tRÜB \"Mitte\" 'Süd'\tRUB")));
    const TTabelle gefiltert = Gefiltert(f->Ergebnisse().CDSSumA128, [&] {
      TErgebnisFilter x;
      x.Art = TErgebnisFilter::TAuswahl::Element;
      x.Element = "RÜB \"Mitte\" 'Süd'";
      x.Jahr = "2005";
      x.Spalte = "QZU";
      x.Operator = ">";
      return x;
    }());
    QCOMPARE(text, QString::fromStdString(TabellenText(gefiltert, ZahlenformatAus())));
    const QString xlsx = FTmp.filePath("a128.xlsx");
    FDialoge.Dateien = {xlsx};
    f->SeiteExportieren(seite);
    QVERIFY(QFile::exists(xlsx));
    QVERIFY(QFileInfo(xlsx).size() > 500);
    {
      TCommit c = FDok->Beginne("Umbenennen");
      const TCadShape* rub = nullptr;
      for (int k = 0; k < FDok->Model().Count(); ++k)
        if (FDok->Model().GetNode(k)->Name == "RÜB \"Mitte\" 'Süd'") rub = FDok->Model().GetNode(k);
      QVERIFY(rub);
      c.Umbenennen(rub->Id, "RÜB Mitte");
      FDok->Push(c);
    }
  }

  // A cancel in the middle leaves the window usable and the results of the
  // run before as they were; an edit of the model marks the results.
  void abbruchBehaeltErgebnisse() {
    auto f = Fenster();
    QVERIFY(Lauf(*f) >= 0);
    const std::string vorher = Json(f->Ergebnisse());
    QSignalSpy ende(f.get(), &TSimulationForm::LaufBeendet);
    QTest::mouseClick(f->ButtonStart, Qt::LeftButton);
    QVERIFY(f->Laeuft());
    QVERIFY(!f->ButtonStart->isEnabled());
    QVERIFY(f->ButtonAbbruch->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(f->ProgressBar1->value() > 5, 60000);
    QTest::mouseClick(f->ButtonAbbruch, Qt::LeftButton);
    QVERIFY(ende.wait(60000));
    QVERIFY(!f->Laeuft());
    QVERIFY(f->ProgressBar1->value() < 100);
    QCOMPARE(f->windowTitle(), QStringLiteral("Simulation abgebrochen"));
    QCOMPARE(Json(f->Ergebnisse()), vorher);
    QVERIFY(f->ButtonStart->isEnabled());
    QVERIFY(!f->ButtonAbbruch->isEnabled());
    QVERIFY(f->ButtonSpeichern->isEnabled());
    // The model changes: the results are from an older revision.
    {
      TCommit c = FDok->Beginne("Einstellungen");
      c.AendereModell();
      FDok->Push(c);
    }
    QCOMPARE(f->windowTitle(), QString::fromUtf8("Simulation,  Modell wurde geändert!"));
    QVERIFY(f->ErgebnisRevision() != FDok->Revision());
  }

  // Saved results load back into another window and print the same PDF
  // text; a damaged folder gives a German message and keeps the results; a
  // wrong extension saves nothing.
  void speichernLadenDrucken() {
    auto f = Fenster();
    QVERIFY(Lauf(*f) >= 0);
    FDialoge.Meldungen.clear();
    FDialoge.Dateien = {FTmp.filePath("falsch.txt")};
    f->ButtonSpeichernClick();
    QCOMPARE(FDialoge.Meldungen, QStringList{QString::fromUtf8("Ungültige Datei-Extension")});
    QVERIFY(QDir(FTmp.path()).entryList({"falsch*"}).isEmpty());
    const QString datei = FTmp.filePath("Lauf.s21");
    FDialoge.Meldungen.clear();
    FDialoge.Dateien = {datei};
    f->ButtonSpeichernClick();
    QCOMPARE(FDialoge.Meldungen, QStringList{});
    QVERIFY(QFile::exists(FTmp.filePath("Lauf_CDSReport.s21")));
    QVERIFY(QFile::exists(FTmp.filePath("Lauf_CDSSumKEZ.xml")));
    // with the events' start states, for simulating an event again
    QVERIFY(QFile::exists(FTmp.filePath("Lauf_Startzustaende.xml")));
    QVERIFY(QDir(FTmp.path())
                .entryList({".t21-ergebnisse-*"}, QDir::AllEntries | QDir::Hidden)
                .isEmpty());

    // "Ergebnisse drucken": every section ticked, printed (into a PDF file).
    const QString pdf1 = FTmp.filePath("a.pdf");
    const auto drucken = [](TFormReportErstellung& d) {
      int an = 0;
      for (int i = 0; i < 40; ++i) an += d.Gewaehlt(i);
      return an == 33 ? int(TFormReportErstellung::Drucken) : int(QDialog::Rejected);
    };
    f->AbschnitteWaehlen = drucken;
    FDialoge.Drucke = {{0, 0, pdf1}};
    f->ButtonDruckenClick();
    QVERIFY(QFile::exists(pdf1));
    // "Vorschau" of the same choice, and a page's "Report erzeugen": the
    // preview in landscape with the pages of the chosen sections.
    f->AbschnitteWaehlen = [](TFormReportErstellung& d) {
      d.MarkierungenAufheben();
      d.SetzeGewaehlt(2, true);
      return int(QDialog::Accepted);
    };
    f->ButtonDruckenClick();
    QVERIFY(f->LetzteVorschau);
    const int protokoll = f->LetzteVorschau->Viewer().PageCount();
    QVERIFY(protokoll > 0);
    QVERIFY(f->LetzteVorschau->Viewer().Pages().GetPage(0)->Width() >
            f->LetzteVorschau->Viewer().Pages().GetPage(0)->Height());
    f->LetzteVorschau->close();
    QVERIFY(f->ReportVorschau({2, 22}, QStringLiteral("Test"))->Viewer().PageCount() > protokoll);
    f->LetzteVorschau->close();

    auto g = Fenster();
    FDialoge.Dateien = {FTmp.filePath("Lauf_CDSReport.s21")};
    g->ButtonLadenClick();
    QCOMPARE(FDialoge.Meldungen, QStringList{});
    QVERIFY(g->HatErgebnisse());
    QCOMPARE(g->windowTitle(), QString::fromUtf8("Simulation,  Modell wurde geändert!"));
    QCOMPARE(Json(g->Ergebnisse()), Json(f->Ergebnisse()));
    QVERIFY(g->ButtonDrucken->isEnabled());
    const QString pdf2 = FTmp.filePath("b.pdf");
    g->AbschnitteWaehlen = drucken;
    FDialoge.Drucke = {{0, 0, pdf2}};
    g->ButtonDruckenClick();
    const QString t1 = PdfText(pdf1), t2 = PdfText(pdf2);
    QVERIFY(t1.contains("Hydrologie Einzugsgebiete"));
    QVERIFY(t1.contains("Report der Simulation"));
    // The input echo of the run is saved and loaded with the results: both
    // print the same, every section with its rows and charts.
    QVERIFY(QFile::exists(FTmp.filePath("Lauf_CDSBilSystem.xml")));
    QVERIFY(QFile::exists(FTmp.filePath("Lauf_TWGanglinien.xml")));
    QCOMPARE(g->Eingabedaten().Gehaltene().size(), TEingabedaten::Namen().size());
    QCOMPARE(g->Eingabedaten().Tabelle("CDSBilSystem")->Anzahl(),
             f->Eingabedaten().Tabelle("CDSBilSystem")->Anzahl());
    for (const char* c : {"Folgeelement", "Netze Trockenwetter", "Gewässer Hydrologie",
                          "Netze Schmutzwasser-Ganglinien", "Verletzungen Extremgrenzwert",
                          "Frachten AFS63", "Wiederkehrzeit [a]"})
      QVERIFY2(t1.contains(QString::fromUtf8(c)), c);
    QVERIFY(t1.contains("Tiefland") || t1.contains("Mittelgebirge"));  // its Lage as text
    QCOMPARE(t2, t1);

    // The same results through the report program, with a choice of sections.
    const QString bericht =
        QFileInfo(QStringLiteral(T21_VERIFY)).dir().filePath("../report/t21-bericht");
    const QString pdf3 = FTmp.filePath("c.pdf");
    QProcess p;
    p.start(bericht, {FTmp.filePath("Lauf_CDSReport.s21"), "--projekt",
                      QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21"), "-o", pdf3,
                      "--abschnitte", "2;5;36"});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);
    const QString t3 = PdfText(pdf3);
    QVERIFY(t3.contains("Report der Simulation"));
    QVERIFY(t3.contains("Auswertung Hydrologie"));
    QVERIFY(t3.contains("Wiederkehrzeit [a]"));  // the row's chart
    QVERIFY(t3.contains("Folgeelement"));        // the echo saved with the results
    QVERIFY(t3.contains("Beispiel"));
    QVERIFY(!t3.contains("Hydrologie Einzugsgebiete"));
    p.start(bericht, {FTmp.filePath("Lauf_CDSReport.s21"), "-o", pdf3, "--abschnitte", "4"});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("Abschnitt \"4\" gibt es nicht"));

    // Results saved before the echo was kept: they load, the echo pages are
    // empty, their sections cannot be chosen and print nothing, and nothing
    // is taken from the current project.
    {
      QTemporaryDir alt;
      for (const QString& n : QDir(FTmp.path()).entryList({"Lauf_*"})) {
        bool echo = false;
        for (const std::string& e : TEingabedaten::Namen())
          echo = echo || n == QString::fromStdString("Lauf_" + e + ".xml");
        if (!echo) QVERIFY(QFile::copy(FTmp.filePath(n), alt.filePath(n)));
      }
      auto h = Fenster();
      FDialoge.Meldungen.clear();
      FDialoge.Dateien = {alt.filePath("Lauf_CDSReport.s21")};
      h->ButtonLadenClick();
      QCOMPARE(FDialoge.Meldungen, QStringList{});
      QVERIFY(h->HatErgebnisse());
      QVERIFY(h->Eingabedaten().Gehaltene().empty());
      QCOMPARE(h->SeitenTabelle("System")->model()->rowCount(), 0);
      QVERIFY(h->SeitenTabelle("Hydrologie Einzugsgebiete")->model()->rowCount() > 0);
      std::vector<int> waehlbar;
      h->AbschnitteWaehlen = [&](TFormReportErstellung& d) {
        for (const TErgebnisAbschnitt& a : ErgebnisAbschnitte())
          if (d.Gewaehlt(a.Schluessel)) waehlbar.push_back(a.Schluessel);
        return int(QDialog::Rejected);
      };
      h->ButtonDruckenClick();
      QCOMPARE(waehlbar,
               (std::vector<int>{1, 2, 3, 20, 22, 23, 24, 25, 26, 27, 29, 30, 31, 32, 34, 36, 37}));
      const QString pdf4 = FTmp.filePath("d.pdf");
      p.start(bericht,
              {alt.filePath("Lauf_CDSReport.s21"), "-o", pdf4, "--abschnitte", "2;5;6;15"});
      QVERIFY(p.waitForFinished(120000));
      QCOMPARE(p.exitCode(), 0);
      const QString t4 = PdfText(pdf4);
      QVERIFY(t4.contains("Report der Simulation"));
      QVERIFY(!t4.contains("Folgeelement"));
      QVERIFY(!t4.contains(QString::fromUtf8("Gewässer Hydrologie")));
    }

    // A damaged table file: the message, and the results stay.
    QFile kaputt(FTmp.filePath("Lauf_CDSSumA128.xml"));
    QVERIFY(kaputt.open(QIODevice::WriteOnly | QIODevice::Truncate));
    kaputt.write("<?xml version=\"1.0\"?><DATAPACKET><kaputt");
    kaputt.close();
    const std::string vorher = Json(g->Ergebnisse());
    FDialoge.Dateien = {FTmp.filePath("Lauf_CDSReport.s21")};
    g->ButtonLadenClick();
    QCOMPARE(FDialoge.Meldungen.size(), 1);
    QVERIFY(FDialoge.Meldungen[0].contains("Lauf_CDSSumA128.xmlkonnte nicht geladen werden"));
    QVERIFY(FDialoge.Meldungen[0].contains("Die bisherigen Ergebnisse bleiben erhalten."));
    QCOMPARE(Json(g->Ergebnisse()), vorher);
    FDialoge.Meldungen.clear();
    FDialoge.Dateien = {FTmp.filePath("Lauf.xml")};
    g->ButtonLadenClick();
    QCOMPARE(FDialoge.Meldungen, QStringList{FTmp.filePath("Lauf.xml") +
                                             "\nist keine gültige TamKor21 - Simulations - Datei"});
  }

  // A save into a folder that cannot be written says so and leaves nothing.
  void speichernFehlgeschlagen() {
    auto f = Fenster();
    QVERIFY(Lauf(*f) >= 0);
    FDialoge.Meldungen.clear();
    FDialoge.Dateien = {FTmp.filePath("gibtsnicht/ordner/x.s21")};
    f->ButtonSpeichernClick();
    QCOMPARE(FDialoge.Meldungen.size(), 1);
    QVERIFY(FDialoge.Meldungen[0].startsWith("Die Ergebnisse wurden nicht gespeichert"));
    QVERIFY(!QDir(FTmp.filePath("gibtsnicht")).exists());
  }

  // The charts of the assessment pages follow the selected row, are saved as
  // SVG and PNG and refuse another format; the animation element's flows are
  // recorded and played back.
  void diagrammeUndAnimation() {
    auto f = Fenster();
    f->AnimationAuswahl->setCurrentIndex(
        f->AnimationAuswahl->findText(QString::fromUtf8("RÜB Mitte")));
    QVERIFY(Lauf(*f) >= 0);
    const TTabelle& a = f->Ergebnisse().CDSAnimation;
    QVERIFY(a.Anzahl() > 1000000);
    const TTabelle& r = f->Ergebnisse().CDSReport;
    QCOMPARE(QString::fromStdString(AlsText(r.Wert(r.Anzahl() - 1, "S3"))),
             QStringLiteral("Animationsobjekt"));
    QCOMPARE(QString::fromStdString(AlsText(r.Wert(r.Anzahl() - 1, "S2"))), QStringLiteral("RUB"));
    QVERIFY(f->Reiter()->isTabVisible(f->Reiter()->indexOf(f->Animation)));
    QCOMPARE(f->AnimationDiagramm->chart()->series().size(), 5);
    QCOMPARE(f->AnimationDiagramm->chart()->series()[0]->name(), QStringLiteral("Zufluss [l/s]"));

    // Playback: two hours of rows from the position; a step of the timer
    // goes one row on, "rückwärts" a window and one row back, and the timer
    // stops at either end. The labels show the row at the position.
    double dt = 5;
    for (int z = 0; z < r.Anzahl(); ++z)
      if (AlsText(r.Wert(z, "S1")) == "Zeitschrittweite dt")
        dt = TextZuZahl(AlsText(r.Wert(z, "S2")), 5);
    const int W = int(std::lround(120 / dt));
    const auto pruefe = [&](int pos) {
      QCOMPARE(f->AnimationPosition->value(), pos);
      const QList<QPointF> pt =
          static_cast<QXYSeries*>(f->AnimationDiagramm->chart()->series()[0])->points();
      QCOMPARE(int(pt.size()), std::min(W, a.Anzahl() - pos + 1));
      for (int i = 0; i < int(pt.size()); ++i)
        QCOMPARE(pt[i].y(), AlsZahl(a.Wert(pos - 1 + i, "Q")));
      const QList<QPointF> drossel =
          static_cast<QXYSeries*>(f->AnimationDiagramm->chart()->series()[1])->points();
      QCOMPARE(drossel.front().y(), AlsZahl(a.Wert(pos - 1, "P1")));
      QCOMPARE(f->AnimationZeit->text(),
               AlsQDateTime(AlsZahl(a.Wert(pos - 1, "Zeit"))).toString("dd.MM.yyyy hh:mm"));
      QCOMPARE(f->AnimationQ->text(),
               QLocale(QLocale::German).toString(AlsZahl(a.Wert(pos - 1, "Q")), 'f', 2));
    };
    pruefe(1);
    for (int i = 0; i < 3; ++i) f->AnimationSchritt();
    pruefe(4);
    int spitze = 0;  // where the flow changes from row to row
    for (int z = 0; z < a.Anzahl(); ++z)
      if (AlsZahl(a.Wert(z, "Q")) > AlsZahl(a.Wert(spitze, "Q"))) spitze = z;
    QVERIFY(AlsZahl(a.Wert(spitze, "Q")) > 0);
    f->AnimationPosition->setValue(std::max(1, spitze - W / 2 + 1));
    const int p0 = f->AnimationPosition->value();
    pruefe(p0);
    f->AnimationSchritt();
    pruefe(p0 + 1);
    f->AnimationRueckwaerts->setChecked(true);
    f->AnimationSchritt();
    pruefe(std::max(1, p0 + 1 - W - 1));
    f->AnimationPosition->setValue(3);
    f->AnimationLaeuft->setChecked(true);
    QVERIFY(!f->AnimationKopieren->isEnabled());  // not while the timer runs
    QTRY_VERIFY(!f->AnimationLaeuft->isChecked());
    pruefe(1);
    QVERIFY(f->AnimationKopieren->isEnabled());
    f->AnimationRueckwaerts->setChecked(false);
    f->AnimationPosition->setValue(a.Anzahl() - 2);
    f->AnimationTempo->setValue(f->AnimationTempo->maximum());
    f->AnimationLaeuft->setChecked(true);
    QTRY_VERIFY(!f->AnimationLaeuft->isChecked());
    pruefe(a.Anzahl());

    QVERIFY(f->ZeigeSeite("Auswertung Stoffe"));
    QTableView* v = f->SeitenTabelle("Auswertung Stoffe");
    QVERIFY(v->model()->rowCount() >= 3);
    v->selectRow(2);  // AFS
    QCOMPARE(f->DiagrammAnsicht(1)->chart()->title(), QStringLiteral("Frachten AFS63"));
    v->selectRow(0);  // O2
    QCOMPARE(f->DiagrammAnsicht(1)->chart()->title(), QStringLiteral("Ereignis-Extremwerte"));
    QCOMPARE(f->DiagrammAnsicht(2)->chart()->title(), QStringLiteral("Ereignis-Mittelwerte"));
    QVERIFY(f->ZeigeSeite("Auswertung Hydrologie"));
    // The verdict choice: "verletzt" are the rows marked "*" (OK 'TRUE').
    {
      auto* ok = f->findChild<QComboBox*>(QStringLiteral("OK"));
      QVERIFY(ok);
      QTableView* hv = f->SeitenTabelle("Auswertung Hydrologie");
      const TTabelle& hd = f->Ergebnisse().CDSHDAbfluss;
      int verletzt = 0;
      for (int z = 0; z < hd.Anzahl(); ++z) verletzt += AlsText(hd.Wert(z, "OKS")) == "*";
      ok->setCurrentIndex(ok->findText("verletzt"));
      QCOMPARE(hv->model()->rowCount(), verletzt);
      QCOMPARE(f->SeitenFilterText("Auswertung Hydrologie"), QStringLiteral("OK = 'TRUE'"));
      ok->setCurrentIndex(ok->findText("eingehalten"));
      QCOMPARE(hv->model()->rowCount(), hd.Anzahl() - verletzt);
      QCOMPARE(f->SeitenFilterText("Auswertung Hydrologie"), QStringLiteral("OK = 'FALSE'"));
      ok->setCurrentIndex(0);
      QCOMPARE(hv->model()->rowCount(), hd.Anzahl());
    }
    f->SeitenTabelle("Auswertung Hydrologie")->selectRow(0);
    QCOMPARE(f->DiagrammAnsicht(0)->chart()->title(), QString::fromUtf8("Einleitung Mühlbach"));
    QVERIFY(f->DiagrammAnsicht(0)->chart()->series().size() >= 5);
    QVERIFY(f->DiagrammSpeichern(0, FTmp.filePath("hq.svg")));
    QVERIFY(f->DiagrammSpeichern(1, FTmp.filePath("o2.png")));
    QFile svg(FTmp.filePath("hq.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("<svg"));
    QVERIFY(QImage(FTmp.filePath("o2.png")).width() > 100);
    FDialoge.Meldungen.clear();
    QVERIFY(!f->DiagrammSpeichern(0, FTmp.filePath("hq.emf")));
    QCOMPARE(FDialoge.Meldungen, QStringList{QString::fromUtf8("Ungültiges Dateiformat")});
  }
};

QTEST_MAIN(TestSimulationsfenster)
#include "test_simulationsfenster.moc"
