// The printed assessment sections of the results report: every row prints
// the charts of its own element and parameter, and the captions of its
// parameter (an O2 row after an AFS row on the same page shows the class
// table again); and the input echo of a run: filled from the project, saved
// and loaded with the results, missing in older results.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "model/catchments.h"
#include "model/discharge.h"
#include "model/network.h"
#include "report/eingabedaten.h"
#include "report/ergebnisbericht.h"
#include "report/ergebnisdiagramme.h"
#include "report/report.h"
#include "storage/projektdatei.h"

using namespace t21;

namespace {

// Two discharge points with different events and loads, and the assessment
// rows in an order where an AFS row precedes an O2 row on the same page.
TDataModule2 Zweistellen() {
  TDataModule2 dm;
  TNeueZeile{dm.CDSReport}("S1", "Bilanzierungsbeginn")("S2", "01.01.01 00:00:00");
  TNeueZeile{dm.CDSReport}("S1", "Bilanzierungsende")("S2", "31.12.04 23:55:00");
  struct TEv {
    const char* Name;
    double Dauer, MinO2, MedO2, MaxNH3, MedNH3, MAXQ, QE;
  };
  const TEv ev[] = {{"E1", 2, 3.0, 6.5, 0.05, 0.03, 900, 300},
                    {"E1", 10, 5.5, 7.5, 0.12, 0.05, 700, 200},
                    {"E1", 30, 2.0, 4.0, 0.25, 0.11, 1200, 600},
                    {"E2", 5, 6.0, 8.0, 0.01, 0.01, 90, 20},
                    {"E2", 1, 4.5, 5.0, 0.18, 0.09, 150, 60}};
  for (const TEv& e : ev)
    TNeueZeile{dm.CDSESTEreignisse}("Name", e.Name)("Dauer", e.Dauer)("MinO2", e.MinO2)(
        "MedO2_kurz", e.MedO2)("MaxNH3", e.MaxNH3)("MedNH3_kurz", e.MedNH3)("MAXQ", e.MAXQ)("QE",
                                                                                            e.QE);
  for (const char* n : {"E1", "E2"}) {
    const double f = std::string(n) == "E1" ? 1 : 3;
    for (const char* j : {"2001", "2002", "2003", "i.M."})
      TNeueZeile{dm.CDSFrachtenGewaesser}("Name", n)("Jahr", j)("Q", 5000 * f)("AFS", 80 * f)(
          "Q_BUE", 20000.0)("AFS_BUE", 300.0 * f)("AFS_Vorbelastung", 1.5);
    TNeueZeile{dm.CDSHDAbfluss}("Element", n)("HQ2pnat", 800 / f)("OK", false)("OKS", "");
  }
  struct TZ {
    const char* Element;
    const char* Parameter;
    double G8;
  };
  for (const TZ& z : {TZ{"E1", "AFS", 30}, TZ{"E1", "O2", 7}, TZ{"E2", "NH3", 0.02},
                      TZ{"E2", "AFS", 20}, TZ{"E2", "O2", 5}})
    TNeueZeile{dm.CDSHDAuswertung}("Element", z.Element)("Parameter", z.Parameter)("G8", z.G8)(
        "G1", 1.5)("E1", 2.0)("E3", 12.5);
  return dm;
}

QImage Bild(const std::function<void(QPainter&, const QRect&)>& zeichnen) {
  QImage b(420, 300, QImage::Format_RGB32);
  b.fill(Qt::white);
  QPainter p(&b);
  zeichnen(p, b.rect());
  return b;
}

QString PdfText(const QString& datei) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), datei, QStringLiteral("-")});
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestErgebnisbericht : public QObject {
  Q_OBJECT

 private slots:
  // While a row of an assessment section prints, its band's charts draw that
  // row's element and parameter and its labels read as that parameter asks.
  void bewertungszeilenZeichnenIhreDiagramme() {
    const TDataModule2 dm = Zweistellen();
    TErgebnisberichtOptionen o;
    o.Abschnitte = {36, 37};
    TErgebnisbericht bericht(dm, o);
    TRepPrinter drucker;
    TReport r(drucker);
    bericht.Fuelle(r);
    struct TGesehen {
      std::string Element, Parameter;
      std::set<std::string> Sichtbar;
      std::vector<QImage> Diagramme;
    };
    std::vector<TGesehen> gesehen;
    auto hook = r.BeforePrintBand;
    QVERIFY(hook);
    r.BeforePrintBand = [&](const TBand& b, const TDatenmenge* d, int zeile) {
      hook(b, d, zeile);
      if (zeile < 0 || !d || b.Name != "Zeile") return;
      TGesehen g;
      g.Element = d->Text(zeile, "Element");
      if (d->Feld("Parameter") >= 0) g.Parameter = d->Text(zeile, "Parameter");
      for (const TBandControl& k : b.Controls) {
        if (k.Art == TControlArt::Label && k.Visible) g.Sichtbar.insert(k.Caption);
        if (k.Art == TControlArt::Chart) g.Diagramme.push_back(Bild(k.Zeichnen));
      }
      gesehen.push_back(std::move(g));
    };
    TPages seiten;
    r.Preview(seiten);
    QVERIFY(r.Fehler.empty());
    QCOMPARE(int(gesehen.size()), 2 + 5);
    for (const TGesehen& g : gesehen) {
      const QString wo = QString::fromStdString(g.Element + " " + g.Parameter);
      if (g.Parameter.empty()) {  // "Auswertung Hydrologie"
        QCOMPARE(int(g.Diagramme.size()), 1);
        const TDiagrammDaten h = HochwasserDaten(dm, g.Element);
        QVERIFY2(
            g.Diagramme[0] == Bild([&](QPainter& p, const QRect& q) { ZeichneDiagramm(p, q, h); }),
            qPrintable(wo));
        continue;
      }
      QCOMPARE(int(g.Diagramme.size()), 2);
      TDiagrammDaten a, b;
      DosisDaten(dm, g.Element, ParameterNummer(g.Parameter), a, b);
      QVERIFY2(
          g.Diagramme[0] == Bild([&](QPainter& p, const QRect& q) { ZeichneDiagramm(p, q, a); }),
          qPrintable(wo));
      QVERIFY2(
          g.Diagramme[1] == Bild([&](QPainter& p, const QRect& q) { ZeichneDiagramm(p, q, b); }),
          qPrintable(wo));
      const bool afs = g.Parameter == "AFS";
      for (const char* c : {"Gewässerbelastung im langjährigen Mittel", "kg/a", "mg/l",
                            "Jahresmittelwert", "Grenzwert"})
        QVERIFY2(g.Sichtbar.count(c) == afs, qPrintable(wo + ": " + c));
      for (const char* c : {"Verletzungen Extremgrenzwert", "Verletzungen Mittelwert", "EG",
                            "Anzahl", "n_zul", "Häufigkeitsklasse", "selten", "häufig"})
        QVERIFY2(g.Sichtbar.count(c) == !afs, qPrintable(wo + ": " + c));
    }
    // The fixture tells the rows apart: two O2 rows of different elements
    // draw different charts.
    QVERIFY(gesehen[3].Diagramme[0] != gesehen[6].Diagramme[0]);
  }

  // On paper: one chart title per row of its parameter, the class table on
  // every O2 and NH3 row, the AFS captions on every AFS row.
  void bewertungImPdf() {
    QTemporaryDir tmp;
    const TDataModule2 dm = Zweistellen();
    TErgebnisberichtOptionen o;
    o.Abschnitte = {36, 37};
    std::string fehler;
    const QString pdf = tmp.filePath("b.pdf");
    QVERIFY2(ErgebnisberichtAlsPdf(dm, o, pdf.toStdString(), fehler) > 0, fehler.c_str());
    const QString t = PdfText(pdf);
    QCOMPARE(t.count("Frachten AFS63"), 2);
    QCOMPARE(t.count("Ereignis-Extremwerte"), 3);
    QCOMPARE(t.count("Verletzungen Mittelwert"), 3);
    QCOMPARE(t.count(QString::fromUtf8("Gewässerbelastung im langjährigen Mittel")), 2);
    QCOMPARE(t.count("Wiederkehrzeit [a]"), 2);
  }

  // The echo of the example: every element in "System", the kinds in their
  // tables with the values entered; saved and loaded as they are; older
  // results without the files load without them; a damaged file refuses.
  void eingabedaten() {
    TM3Model m;
    const TLadeErgebnis l = A3_Laden(m, T21_QUELLE "/beispiel/Beispiel");
    QVERIFY2(l.Ok, l.Fehler.c_str());
    TEingabedaten e;
    QVERIFY(e.Gehaltene().empty());
    e.Fuellen(m);
    QCOMPARE(e.Gehaltene().size(), TEingabedaten::Namen().size());
    int elemente = 0, netze = 0, stellen = 0;
    for (int i = 0; i < m.Count(); ++i)
      if (const TElement* el = TM3Model::ElementOf(m.GetNode(i)); el && el->Typ() != "NET") {
        ++elemente;
        netze += el->Typ() == "KEM" || el->Typ() == "KES" || el->Typ() == "KER";
        stellen += el->Typ() == "EST";
      }
    QVERIFY(netze > 0 && stellen > 0);
    QCOMPARE(e.Tabelle("CDSBilSystem")->Anzahl(), elemente);
    for (const char* t : {"CDSKEZTW", "CDSKEZRW", "CDSKEZC"})
      QCOMPARE(e.Tabelle(t)->Anzahl(), netze);
    for (const char* t :
         {"CDSESTHydrologie", "CDSESTHydraulik", "cdsEstGuete", "CDSWBP", "CDSWBP1"})
      QCOMPARE(e.Tabelle(t)->Anzahl(), stellen);
    QCOMPARE(e.Tabelle("TWGanglinien")->Anzahl(), m.Referenz.SWGanglinien.Count());
    QCOMPARE(e.Tabelle("FWGanglinien")->Anzahl(), m.Referenz.FWGanglinien.Count());
    // The values are those of the elements.
    const TTabelle& hy = *e.Tabelle("CDSESTHydrologie");
    const auto* est = dynamic_cast<const TEST*>(
        TM3Model::ElementOf(m.Liste.Find(AlsText(hy.Wert(0, "Element")))));
    QVERIFY(est);
    QCOMPARE(AlsZahl(hy.Wert(0, "AE0")), est->AE0);
    QCOMPARE(AlsZahl(hy.Wert(0, "HQ1pnat")), est->HQ1pnat());
    QCOMPARE(QString::fromStdString(AlsText(hy.Wert(0, "Lage"))),
             est->Lage == 1 ? QStringLiteral("Mittelgebirge") : QStringLiteral("Tiefland"));
    const TTabelle& tw = *e.Tabelle("CDSKEZTW");
    const auto* kez = dynamic_cast<const TKEZ*>(
        TM3Model::ElementOf(m.Liste.Find(AlsText(tw.Wert(0, "Element")))));
    QVERIFY(kez);
    QCOMPARE(AlsZahl(tw.Wert(0, "ED")), kez->ED);
    QCOMPARE(AlsGanzzahl(tw.Wert(0, "SWGL")), kez->SWGL);

    QTemporaryDir tmp;
    const std::string basis = tmp.filePath("Lauf").toStdString();
    std::string fehler;
    QVERIFY2(e.Speichern(basis, fehler), fehler.c_str());
    TEingabedaten g;
    std::vector<std::string> meldungen;
    QVERIFY(g.Laden(basis, meldungen));
    QVERIFY(meldungen.empty());
    for (const std::string& n : TEingabedaten::Namen()) {
      const TTabelle& a = *e.Tabelle(n);
      const TTabelle* b = g.Tabelle(n);
      QVERIFY2(b, n.c_str());
      QCOMPARE(b->Anzahl(), a.Anzahl());
      for (int z = 0; z < a.Anzahl(); ++z)
        for (int i = 0; i < a.Spalten(); ++i)
          QVERIFY2(AlsText(a.Wert(z, i)) == AlsText(b->Wert(z, i)), n.c_str());
    }
    // Results saved before the echo was kept: the tables are not held.
    for (const std::string& d : e.Dateien(basis)) QVERIFY(QFile::remove(QString::fromStdString(d)));
    QVERIFY(g.Laden(basis, meldungen));
    QVERIFY(g.Gehaltene().empty());
    QVERIFY(g.Leer("CDSBilSystem") && g.Leer("CDSBilSystem")->Anzahl() == 0);
    // A damaged file: the message, and what was held stays.
    QVERIFY(e.Speichern(basis, fehler));
    QVERIFY(g.Laden(basis, meldungen));
    QFile kaputt(QString::fromStdString(basis + "_CDSKEZTW.xml"));
    QVERIFY(kaputt.open(QIODevice::WriteOnly | QIODevice::Truncate));
    kaputt.write("<?xml version=\"1.0\"?><DATAPACKET><kaputt");
    kaputt.close();
    QVERIFY(!g.Laden(basis, meldungen));
    QCOMPARE(int(meldungen.size()), 1);
    QVERIFY(
        QString::fromStdString(meldungen[0]).endsWith("_CDSKEZTW.xmlkonnte nicht geladen werden"));
    QCOMPARE(g.Gehaltene().size(), TEingabedaten::Namen().size());
  }
};

QTEST_MAIN(TestErgebnisbericht)
#include "test_ergebnisbericht.moc"
