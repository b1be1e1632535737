// The editor in the main window: tools from the palette menu, title blocks
// filled from the address and the project, the status bar fields, the keys
// of the element list, Ctrl+C and Ctrl+V in the drawing, the undo texts,
// the double click on a graphic shape and the overview navigator.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "app/editor/editor.h"
#include "app/hauptfenster.h"
#include "document/dokument.h"
#include "model/net.h"
#include "painting/zeichenansicht.h"
#include "qtsupport/falsche_dialoge.h"
#include "storage/tabelle.h"

using namespace t21;

class TestEditorFenster : public QObject {
  Q_OBJECT

  QTemporaryDir FProgramm;

  struct Fenster {
    TFalscheDialoge d;
    TMainFrm f;
    explicit Fenster(const QString& ordner) : f(d, ordner) {
      f.Starte(false);
      f.show();
      (void)QTest::qWaitForWindowExposed(&f);
      f.Zeichnung()->View().SetOrgZoom(0, 0, 1);
      f.Zeichnung()->View().SetShowGrid(false);
      f.Editor()->MenueZeigen = [](QMenu&, QPoint) {};
    }
    const TM3Model& M() const { return f.Aktuell()->Model(); }
    const TCadShape* S(const char* n) const { return M().GetNode(std::string_view(n)); }
    QPoint Mitte(const char* n) const {
      const TAnsicht& a = f.Zeichnung()->View().Ansicht();
      return {a.ViewX(S(n)->HMiddle()), a.ViewY(S(n)->VMiddle())};
    }
    void Neu(const char* typ, const char* name, QPoint p) {
      f.Aktion(QStringLiteral("Knopf_") + QString::fromUtf8(typ))->trigger();
      d.Dateien = {QString::fromUtf8(name)};
      QTest::mouseClick(f.Zeichnung(), Qt::LeftButton, {}, p);
    }
  };

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void PaletteStatusleisteUndRueckgaengig() {
    Fenster w(FProgramm.path());
    // "&Einfügen" presses the tool button of its type.
    w.f.findChild<QAction*>("Einfuegen_KEMClick")->trigger();
    QVERIFY(w.f.Aktion("Knopf_KEM")->isChecked());
    QCOMPARE(w.f.Editor()->Werkzeug(), QStringLiteral("KEM"));
    w.d.Dateien = {"A"};
    QTest::mouseClick(w.f.Zeichnung(), Qt::LeftButton, {}, {200, 200});
    QVERIFY(w.S("A"));
    QVERIFY(w.f.Aktion("Knopf_Einzelauswahl")->isChecked());
    QCOMPARE(w.f.Aktion("Bearbeiten_RueckgaengigClick")->text(),
             QStringLiteral("&Rückgängig: Neues Element A"));
    // The status bar: the shape under the mouse, its box, the counts.
    QTest::mouseMove(w.f.Zeichnung(), w.Mitte("A"));
    QCOMPARE(w.f.Statusfeld(1), QStringLiteral("A"));
    QCOMPARE(w.f.Statusfeld(2), QStringLiteral("200,000000"));
    QCOMPARE(w.f.Statusfeld(6), QStringLiteral("1,000000"));
    QCOMPARE(w.f.Statusfeld(7), QStringLiteral("1 / 1"));
    QTest::mouseMove(w.f.Zeichnung(), {700, 500});
    QCOMPARE(w.f.Statusfeld(1), QStringLiteral("geschlossenes Siedlungsgebiet"));
    QCOMPARE(w.f.Statusfeld(0),
             QStringLiteral("700,000000 / %1,000000").arg(w.f.Zeichnung()->height() - 500));
    // Undo and redo through their keys, with the step's name.
    QTest::keyClick(&w.f, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!w.S("A"));
    QCOMPARE(w.f.Aktion("Bearbeiten_WiederholenClick")->text(),
             QStringLiteral("&Wiederherstellen: Neues Element A"));
    QTest::keyClick(&w.f, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(w.S("A"));
  }

  void TastenDerElementlisteUndZwischenablage() {
    Fenster w(FProgramm.path());
    w.Neu("KEM", "A", {200, 200});
    QTest::mouseClick(w.f.Zeichnung(), Qt::LeftButton, {}, w.Mitte("A"));
    const double x = w.S("A")->X1, y = w.S("A")->Y1;
    w.f.ElementBox()->setFocus();
    QTest::keyClick(w.f.ElementBox(), Qt::Key_Right);
    QTest::keyClick(w.f.ElementBox(), Qt::Key_Up);
    QCOMPARE(w.S("A")->X1, x + 1);
    QCOMPARE(w.S("A")->Y1, y + 1);
    QCOMPARE(w.f.ElementBox()->currentText(), QStringLiteral("A"));  // the list did not move
    // Ctrl+C and Ctrl+V in the drawing: the internal clipboard.
    QVERIFY(!w.f.Aktion("Bearbeiten_EinfuegenClick")->isEnabled());
    w.f.Zeichnung()->setFocus();
    QTest::keyClick(w.f.Zeichnung(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(w.f.Aktion("Bearbeiten_EinfuegenClick")->isEnabled());
    QTest::keyClick(&w.f, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w.S("A.1"));
    // Delete in the element list deletes the selection.
    w.f.ElementBox()->setFocus();
    QTest::keyClick(w.f.ElementBox(), Qt::Key_Delete);
    QVERIFY(!w.S("A.1"));
    QVERIFY(w.S("A"));
  }

  void TitelblockUndDoppelklick() {
    Fenster w(FProgramm.path());
    TTabelle& adr = w.f.Adresstabelle().Tabelle();
    if (adr.Anzahl() == 0) adr.Anhaengen();
    adr.Setze(0, "ORT", TWert(std::string("Musterstadt")));
    {
      TCommit c = w.f.Aktuell()->Beginne("Projekt");
      c.Aendern(c.Model().Root());
      c.Model().Netz().ProjektName = "Kanalnetz Süd";
      w.f.Aktuell()->Push(c);
    }
    w.Neu("IMP", "Feld", {100, 400});
    const TCadShape* s = w.S("Feld");
    QVERIFY(s);
    const QStringList felder = QString::fromStdString(s->Val).split('#');
    QCOMPARE(felder.size(), 13);  // twelve fields, each closed by "#"
    QCOMPARE(felder[3], QStringLiteral("Musterstadt"));
    QCOMPARE(felder[8], QStringLiteral("Kanalnetz Süd"));
    // A double click on a graphic shape opens its graphic settings.
    w.Neu("REC", "R", {500, 300});
    QStringList titel;
    w.f.Editor()->DialogAusfuehren = [&](QDialog& d) {
      titel << d.windowTitle();
      return int(QDialog::Rejected);
    };
    const TCadShape* r = w.S("R");
    QVERIFY(r);
    const TAnsicht& a = w.f.Zeichnung()->View().Ansicht();
    QTest::mouseDClick(w.f.Zeichnung(), Qt::LeftButton, {},
                       {a.ViewX(r->HMiddle()), a.ViewY(r->Y2)});
    QCOMPARE(titel, QStringList{"Grafikeigenschaften Komponente R"});
  }

  void FensterZuWaehrendEinePolylinieEntsteht() {
    auto w = std::make_unique<Fenster>(FProgramm.path());
    w->f.Aktion("Knopf_POL")->trigger();
    QTest::mouseClick(w->f.Zeichnung(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseClick(w->f.Zeichnung(), Qt::LeftButton, {}, {200, 100});
    QVERIFY(w->f.Editor()->PolylinieInArbeit());
    // Saving ends it as drawn.
    QTemporaryDir tmp;
    w->d.Dateien = {tmp.filePath("P.T21")};
    QVERIFY(w->f.Datei_SpeichernUnterClick());
    QVERIFY(!w->f.Editor()->PolylinieInArbeit());
    QCOMPARE(w->S("POL.1")->Koordinaten.size(), size_t(2));
    // Closed with a polyline in progress: it ends, nothing is left behind.
    w->f.Aktion("Knopf_POL")->trigger();
    QTest::mouseClick(w->f.Zeichnung(), Qt::LeftButton, {}, {100, 300});
    QTest::mouseClick(w->f.Zeichnung(), Qt::LeftButton, {}, {200, 300});
    w.reset();
  }

  void LangePolylinieImProjekt() {
    Fenster w(FProgramm.path());
    QTemporaryDir tmp;
    w.d.Dateien = {tmp.filePath("P.T21")};
    QVERIFY(w.f.Datei_SpeichernUnterClick());
    // A long polyline keeps every vertex through saving and opening.
    w.f.Aktion("Knopf_POL")->trigger();
    for (int i = 0; i < 60; ++i)
      QTest::mouseClick(w.f.Zeichnung(), Qt::LeftButton, {}, {20 + 10 * i, 400 + (i % 2) * 30});
    w.f.Aktion("Knopf_Einzelauswahl")->trigger();
    QCOMPARE(w.S("POL.1")->Koordinaten.size(), size_t(60));
    QVERIFY(w.f.Datei_SpeichernClick());
    TLadeErgebnis le;
    auto wieder = TDokument::Oeffnen(tmp.filePath("P").toStdString(), le);
    QVERIFY(wieder);
    const auto& k = wieder->Model().GetNode(std::string_view("POL.1"))->Koordinaten;
    QCOMPARE(k.size(), size_t(60));
    for (size_t i = 0; i < k.size(); ++i) {
      QVERIFY(std::abs(k[i].X - w.S("POL.1")->Koordinaten[i].X) < 1e-5);
      QVERIFY(std::abs(k[i].Y - w.S("POL.1")->Koordinaten[i].Y) < 1e-5);
    }
  }

  void UebersichtVerschiebtDieAnsicht() {
    Fenster w(FProgramm.path());
    w.Neu("KEM", "A", {200, 200});
    w.f.Zeichnung()->View().SetOrgZoom(0, 0, 1);
    const TCadShape* frame = w.f.UebersichtModell().GetNode(std::string_view("Ausschnitt"));
    QVERIFY(frame);
    QCOMPARE(frame->X1, 0.0);
    QCOMPARE(frame->X2, double(w.f.Zeichnung()->width()));
    TZeichenAnsicht* u = w.f.Uebersicht();
    const TAnsicht& ua = u->View().Ansicht();
    const QPoint p(ua.ViewX(frame->HMiddle()), ua.ViewY(frame->VMiddle()));
    QTest::mousePress(u, Qt::LeftButton, {}, p);
    QMouseEvent zug(QEvent::MouseMove, QPointF(p + QPoint(10, 0)),
                    u->mapToGlobal(QPointF(p + QPoint(10, 0))), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(u, &zug);
    QTest::mouseRelease(u, Qt::LeftButton, {}, p + QPoint(10, 0));
    QVERIFY(w.f.Zeichnung()->View().OrgX() > 0);
    QCOMPARE(w.f.Zeichnung()->View().OrgX(), frame->X1);
  }
};

QTEST_MAIN(TestEditorFenster)
#include "test_editor_fenster.moc"
