// The band report on synthetic bands: order of the bands on a page, page
// breaks, columns, memos, page numbers across sections, colours, scaling and
// report files.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "report/report.h"

using namespace t21;

namespace {

TBand Band(const char* name, int hoehe, int spalten = 0) {
  TBand b;
  b.Name = name;
  b.Height = hoehe;
  b.Tag = spalten;
  return b;
}

TBandControl Label(const std::string& text, int tag = 0, QColor farbe = Qt::black) {
  TBandControl c;
  c.Art = TControlArt::Label;
  c.Caption = text;
  c.Tag = tag;
  c.Left = 2;
  c.Top = 2;
  c.Width = 300;
  c.Height = 14;
  c.Farbe = farbe;
  return c;
}

TDatenmenge Zeilen(int n) {
  TDatenmenge d;
  d.Felder = {"NR", "WERT"};
  d.Formate = {"", "###,##0.00"};
  for (int i = 0; i < n; ++i) d.Zeilen.push_back({double(i + 1), 1234.5 * i});
  return d;
}

// Everything BeforePrintBand saw: band name, page, column, y.
struct TProtokoll {
  struct Eintrag {
    std::string Band;
    int Seite, Spalte, Y, Zeile;
  };
  std::vector<Eintrag> Eintraege;
  void Anschliessen(TReport& r) {
    r.BeforePrintBand = [this, &r](const TBand& b, const TDatenmenge*, int zeile) {
      Eintraege.push_back({b.Name, r.PageNumber, r.col, r.YPos, zeile});
    };
  }
  std::vector<std::string> Baender(int seite) const {
    std::vector<std::string> v;
    for (const auto& e : Eintraege)
      if (e.Seite == seite) v.push_back(e.Band);
    return v;
  }
  int Anzahl(const std::string& band) const {
    int n = 0;
    for (const auto& e : Eintraege) n += e.Band == band;
    return n;
  }
};

QImage Bild(const TDrawMetaFile& seite) {
  QImage bild(seite.Width(), seite.Height(), QImage::Format_RGB32);
  bild.fill(Qt::white);
  QPainter p(&bild);
  seite.Zeichne(p, QRectF(0, 0, seite.Width(), seite.Height()));
  return bild;
}

}  // namespace

class TestBandbericht : public QObject {
  Q_OBJECT

 private slots:
  void SkalierungUndPapier() {
    struct Fall {
      double v;
      int ppi, erwartet;
    };
    // round(v * ppi / 96 + 0.5), ties to even
    const Fall faelle[] = {{100, 96, 100}, {101, 96, 102}, {10, 300, 32}, {0, 600, 0}, {3, 96, 4}};
    for (const auto& f : faelle) QCOMPARE(Skaliere(f.v, f.ppi), f.erwartet);
    QCOMPARE(MmZuPixel(25, 96), 95);  // 94.49 + 0.5
    QCOMPARE(MmZuPixel(10, 600), 237);
    TRepPrinter d;
    QCOMPARE(d.PhyPageWidth, 794);  // 210 mm at 96 ppi
    QCOMPARE(d.PhyPageHeight, 1123);
    d.SetOrientation(TAusrichtung::Querformat);
    QCOMPARE(d.PhyPageWidth, 1123);
    QCOMPARE(d.PhyPageHeight, 794);
    QCOMPARE(Schriftfamilie("Arial Narrow"), QString("Liberation Sans Narrow"));
    QCOMPARE(Schriftfamilie("Courier New"), QString("Liberation Mono"));
    QCOMPARE(Schrift("Arial", 8, 600).pixelSize(), 67);  // 8 pt at 600 ppi
    QCOMPARE(FormatiereBild(1234567.891, "###,##0.00"), std::string("1.234.567,89"));
    QCOMPARE(FormatiereBild(1234567.891, "0.0"), std::string("1234567,9"));
    QCOMPARE(FormatiereBild(0.0 / 0.0, "###,##0.00"), std::string("-"));
  }

  void BaenderInIhrerOrdnung() {
    TBand rh = Band("RH", 30), rf = Band("RF", 30), ph = Band("PH", 20), pf = Band("PF", 20);
    TBand dh = Band("DH", 15), df = Band("DF", 15), db = Band("DB", 18);
    const TDatenmenge d = Zeilen(3);
    db.Daten = &d;
    TRepPrinter drucker;
    TReport r(drucker);
    TProtokoll log;
    log.Anschliessen(r);
    r.AddBand("G", "T", &rh, &rf, &ph, &pf, &dh, &df, &db, 1)->Selected = true;
    TPages seiten;
    r.Preview(seiten);
    QCOMPARE(seiten.Count(), 1);
    const std::vector<std::string> erwartet{"PH", "RH", "DH", "DB", "DB", "DB", "DF", "RF", "PF"};
    QVERIFY(log.Baender(1) == erwartet);
    // each band starts below the previous one and its rule
    for (size_t i = 1; i + 1 < log.Eintraege.size(); ++i)
      QVERIFY(log.Eintraege[i].Y > log.Eintraege[i - 1].Y);
    QCOMPARE(log.Eintraege[3].Zeile, 0);
    QCOMPARE(log.Eintraege[5].Zeile, 2);
    // the page footer sits at MaxYPos
    QCOMPARE(log.Eintraege.back().Y, r.MaxYPos);
  }

  void SeitenumbruchUndZuHoheBaender() {
    struct Fall {
      int hoehe, zeilen, seiten;
    };
    // A4 at 96 ppi: top margin 95, MaxYPos 1123 - 39 - 20 = 1064; a band of
    // h pixels takes h + 1.
    const Fall faelle[] = {
        {100, 9, 1},   // 95 + 9 * 101 = 1004
        {100, 10, 2},  // the tenth would end at 1105
        {100, 25, 3},  // nine a page
        {2000, 2, 2},  // taller than a page: once on a page of its own each
    };
    for (const auto& f : faelle) {
      TBand ph = Band("PH", 20), pf = Band("PF", 20), db = Band("DB", f.hoehe);
      const TDatenmenge d = Zeilen(f.zeilen);
      db.Daten = &d;
      TRepPrinter drucker;
      TReport r(drucker);
      TProtokoll log;
      log.Anschliessen(r);
      r.AddBand("", "", nullptr, nullptr, &ph, &pf, nullptr, nullptr, &db, 1)->Selected = true;
      TPages seiten;
      r.Preview(seiten);
      const int n = f.hoehe == 100 ? (f.zeilen + 8) / 9 : f.seiten;
      QCOMPARE(seiten.Count(), n);
      QCOMPARE(log.Anzahl("DB"), f.zeilen);
      QCOMPARE(log.Anzahl("PH"), n);
      QCOMPARE(log.Anzahl("PF"), n);
      for (int i = 0; i < seiten.Count(); ++i) QVERIFY(!seiten.GetPage(i)->IsOpen());
    }
  }

  void SpaltenVonObenNachUnten() {
    TBand dh = Band("DH", 20, 3), db = Band("DB", 300, 3);
    const TDatenmenge d = Zeilen(10);
    db.Daten = &d;
    TRepPrinter drucker;
    TReport r(drucker);
    TProtokoll log;
    log.Anschliessen(r);
    r.AddBand("", "", nullptr, nullptr, nullptr, nullptr, &dh, nullptr, &db, 1)->Selected = true;
    TPages seiten;
    r.Preview(seiten);
    // 95 + 21 = 116; three bands of 301 fit below (1019), so nine rows
    // fill the first page's three columns and the tenth opens a page.
    QCOMPARE(seiten.Count(), 2);
    std::vector<std::pair<int, int>> detail;
    for (const auto& e : log.Eintraege)
      if (e.Band == "DB") detail.push_back({e.Seite * 10 + e.Spalte, e.Y});
    QCOMPARE(int(detail.size()), 10);
    for (int i = 0; i < 9; ++i) {
      QCOMPARE(detail[size_t(i)].first, 10 + i / 3);
      QCOMPARE(detail[size_t(i)].second, 116 + (i % 3) * 301);
    }
    QCOMPARE(detail[9].first, 20);
    QCOMPARE(log.Anzahl("DH"), 6);  // once a column on each page
  }

  void MemoUeberSeiten() {
    struct Fall {
      int zeilen;
      double punkte;
      int seitenMindestens;
    };
    const Fall faelle[] = {{300, 8, 2}, {3, 1000, 3}};  // many lines; lines taller than a page
    for (const auto& f : faelle) {
      TBand db = Band("DB", 20);
      TBandControl memo;
      memo.Art = TControlArt::DBMemo;
      memo.DataField = "TEXT";
      memo.Width = 500;
      memo.Height = 14;
      memo.Punkte = f.punkte;
      db.Controls.push_back(memo);
      TDatenmenge d;
      d.Felder = {"TEXT"};
      std::string text;
      for (int i = 0; i < f.zeilen; ++i) text += "Zeile " + std::to_string(i) + "\n";
      d.Zeilen.push_back({text});
      db.Daten = &d;
      TRepPrinter drucker;
      TReport r(drucker);
      r.AddBand("", "", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &db, 1)->Selected =
          true;
      TPages seiten;
      r.Preview(seiten);
      QVERIFY(seiten.Count() >= f.seitenMindestens);
      QVERIFY(seiten.Count() <= f.zeilen + 1);
    }
  }

  void SeitennummernUeberAbschnitte() {
    TBand pf = Band("PF", 20), db1 = Band("DB", 400), db2 = Band("DB", 400);
    pf.Controls.push_back(Label("", 2));
    const TDatenmenge d = Zeilen(3);
    db1.Daten = &d;
    db2.Daten = &d;
    TRepPrinter drucker;
    TReport r(drucker);
    std::vector<int> nummern;
    r.BeforePrintBand = [&](const TBand& b, const TDatenmenge*, int) {
      if (b.Name == "PF") nummern.push_back(r.PageNumber);
    };
    r.AddBand("", "A", nullptr, nullptr, nullptr, &pf, nullptr, nullptr, &db1, 1)->Selected = true;
    r.AddBand("", "B", nullptr, nullptr, nullptr, &pf, nullptr, nullptr, &db1, 2);  // not selected
    r.AddBand("", "C", nullptr, nullptr, nullptr, &pf, nullptr, nullptr, &db2, 3)->Selected = true;
    TPages seiten;
    r.Preview(seiten);
    QCOMPARE(seiten.Count(), 4);  // two rows of 401 a page, two sections
    QVERIFY((nummern == std::vector<int>{1, 2, 3, 4}));

    for (auto& s : r.ReportList) s->Selected = false;
    r.Preview(seiten);
    QCOMPARE(seiten.Count(), 0);
  }

  void FarbigerTextDrucktSchwarz() {
    TBand db = Band("DB", 40);
    TBandControl rot = Label("██████████", 0, QColor(0xFF, 0, 0));
    rot.Punkte = 20;
    rot.Height = 30;
    TBandControl blau = rot;
    blau.Farbe = QColor(0, 0, 0xFF);
    blau.Left = 320;
    db.Controls = {rot, blau};
    const TDatenmenge d = Zeilen(1);
    db.Daten = &d;
    TRepPrinter drucker;
    TReport r(drucker);
    r.AddBand("", "", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &db, 1)->Selected =
        true;
    TPages seiten;
    r.Preview(seiten);
    QCOMPARE(seiten.Count(), 1);
    const QImage bild = Bild(*seiten.GetPage(0));
    int rote = 0, schwarze = 0, blaue = 0;
    for (int y = 0; y < bild.height(); ++y)
      for (int x = 0; x < bild.width(); ++x) {
        const QColor c = bild.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++rote;
        if (c.blue() > 200 && c.red() < 60 && c.green() < 60) ++blaue;
        if (c.red() < 40 && c.green() < 40 && c.blue() < 40) ++schwarze;
      }
    QCOMPARE(rote, 0);
    QVERIFY(blaue > 100);  // other colours stay
    QVERIFY(schwarze > 100);
  }

  void ReportDateiHinUndZurueck() {
    QTemporaryDir dir;
    TPages seiten;
    for (auto [w, h] : {std::pair{794, 1123}, std::pair{1123, 794}, std::pair{400, 300}}) {
      TDrawMetaFile* s = seiten.Add(w, h);
      s->Canvas()->drawLine(0, 0, w, h);
      s->Canvas()->drawText(20, 20, "Seite");
      s->Close();
    }
    const std::string datei = QDir(dir.path()).filePath("b.rpt").toStdString();
    std::string fehler;
    QVERIFY2(seiten.SaveToStream(datei, fehler), fehler.c_str());
    TPages wieder;
    wieder.Add(10, 10)->Close();
    QVERIFY(wieder.LoadFromStream(datei, fehler));
    QCOMPARE(wieder.Count(), 3);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(wieder.GetPage(i)->Width(), seiten.GetPage(i)->Width());
      QCOMPARE(wieder.GetPage(i)->Height(), seiten.GetPage(i)->Height());
      QCOMPARE(Bild(*wieder.GetPage(i)), Bild(*seiten.GetPage(i)));
    }
    // a foreign or damaged file leaves the pages shown
    const std::string fremd = QDir(dir.path()).filePath("x.rpt").toStdString();
    for (const QByteArray& inhalt : {QByteArray("kein Report"), QByteArray()}) {
      QFile f(QString::fromStdString(fremd));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(inhalt);
      f.close();
      QVERIFY(!wieder.LoadFromStream(fremd, fehler));
      QCOMPARE(fehler, std::string("Report kann nicht geladen werden."));
      QCOMPARE(wieder.Count(), 3);
    }
    QFile ganz(QString::fromStdString(datei));
    QVERIFY(ganz.open(QIODevice::ReadOnly));
    const QByteArray alles = ganz.readAll();
    QFile kurz(QString::fromStdString(fremd));
    QVERIFY(kurz.open(QIODevice::WriteOnly));
    kurz.write(alles.left(alles.size() - 7));
    kurz.close();
    QVERIFY(!wieder.LoadFromStream(fremd, fehler));
    QCOMPARE(wieder.Count(), 3);
    QVERIFY(!wieder.LoadFromStream(QDir(dir.path()).filePath("fehlt.rpt").toStdString(), fehler));
  }
};

QTEST_MAIN(TestBandbericht)
#include "test_bandbericht.moc"
