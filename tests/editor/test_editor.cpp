// The editor of the drawing driven by mouse and key events on a drawing
// view: creating with the name prompt, the rubber band, linking with the
// modifier keys and the link modes, dragging and grabs, polylines, the
// clipboard, deleting, the context menus and undo of every edit.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "app/editor/editor.h"
#include "app/editor/editordialoge.h"
#include "painting/zeichenansicht.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

// A drawing view of 800 x 600 pixels at zoom 1 with its origin at (0, 0)
// and an editor on a new project; grid snapping off unless a test turns it
// on.
struct Aufbau {
  TFalscheDialoge dlg;
  TDokument dok;
  TZeichenAnsicht ansicht;
  TEditor editor{&ansicht, dlg, &ansicht};
  std::vector<QString> menues;  // the context menus shown, by object name

  Aufbau() {
    ansicht.resize(800, 600);
    ansicht.show();
    ansicht.View().SetGroesse(800, 600);
    ansicht.View().SetOrgZoom(0, 0, 1);
    ansicht.View().SetShowGrid(false);
    ansicht.SetModel(&dok.Model());
    editor.SetzeDokument(&dok);
    editor.MenueZeigen = [this](QMenu& m, QPoint) { menues.push_back(m.objectName()); };
    dok.Beobachte([this](const TAenderung& a) { editor.Bemerke(a); });
  }
  const TM3Model& M() const { return dok.Model(); }
  const TCadShape* S(const char* name) const { return M().GetNode(std::string_view(name)); }
  // The pixel of a drawing point.
  QPoint P(double x, double y) const {
    return {ansicht.View().Ansicht().ViewX(x), ansicht.View().Ansicht().ViewY(y)};
  }
  QPoint Mitte(const char* name) const {
    const TCadShape* s = S(name);
    return P(s->HMiddle(), s->VMiddle());
  }
  // Creates a shape with a click of its tool, the name typed into the prompt.
  const TCadShape* Neu(const char* typ, const char* name, QPoint p) {
    editor.SetzeWerkzeug(QString::fromUtf8(typ));
    dlg.Dateien.push_back(QString::fromUtf8(name));
    QTest::mouseClick(&ansicht, Qt::LeftButton, {}, p);
    return S(name);
  }
  void Klick(QPoint p, Qt::KeyboardModifiers mod = {}, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseClick(&ansicht, b, mod, p);
  }
  void Ziehen(QPoint von, QPoint bis, Qt::KeyboardModifiers mod = {}) {
    QTest::mousePress(&ansicht, Qt::LeftButton, mod, von);
    Bewege((von + bis) / 2, mod);
    Bewege(bis, mod);
    QTest::mouseRelease(&ansicht, Qt::LeftButton, mod, bis);
  }
  // A move with the left button held and modifier keys (QTest moves carry
  // none).
  void Bewege(QPoint p, Qt::KeyboardModifiers mod = {}) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), ansicht.mapToGlobal(QPointF(p)), Qt::NoButton,
                  Qt::LeftButton, mod);
    QApplication::sendEvent(&ansicht, &e);
  }
  QAction* Objekt(const char* name) const {
    return editor.ObjektMenue()->findChild<QAction*>(QString::fromUtf8(name));
  }
};

}  // namespace

class TestEditor : public QObject {
  Q_OBJECT

 private slots:
  void NeuesElementMitNamensabfrage() {
    Aufbau a;
    a.dok.Beobachte([](const TAenderung&) {});
    // The proposal is offered; a refused name is asked again after its
    // message.
    QVERIFY(a.Neu("KEM", "A", {100, 100}));
    QCOMPARE(a.editor.Werkzeug(), QString::fromUtf8(kEinzelauswahl));
    a.editor.SetzeWerkzeug("KEM");
    a.dlg.Dateien = {"a", "  B  "};
    a.Klick({300, 100});
    QCOMPARE(a.dlg.Meldungen.back(),
             QStringLiteral("Ein Element mit diesem Namen existiert bereits!"));
    const TCadShape* b = a.S("B");
    QVERIFY(b);
    QVERIFY(a.M().IsSelected(b));
    QCOMPARE(b->Parent(), a.M().Root());
    QVERIFY(a.M().Liste.Find("B"));
    // Cancel creates nothing and returns to the single selection.
    const int vorher = a.M().Count();
    a.editor.SetzeWerkzeug("RUB");
    a.Klick({500, 100});
    QCOMPARE(a.M().Count(), vorher);
    QCOMPARE(a.editor.Werkzeug(), QString::fromUtf8(kEinzelauswahl));
    // The root exists once.
    a.editor.SetzeWerkzeug("NET");
    a.Klick({500, 300});
    QCOMPARE(a.M().Count(), vorher);
    QCOMPARE(a.dlg.Meldungen.back(), QString::fromUtf8(kMeldungZweiteWurzel));
    // Each creation is one undo step named after the element.
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Neues Element B"));
    a.dok.Rueckgaengig();
    QVERIFY(!a.S("B"));
  }

  void NeuAmRasterUndPunktZentriert() {
    Aufbau a;
    {
      TCommit c = a.dok.Beginne("Raster");
      c.AendereModell();
      c.Model().AmRasterAusrichten = true;
      a.dok.Push(c);
    }
    a.ansicht.View().SetGridMinor(20);
    const TCadShape* s = a.Neu("KEM", "A", a.P(33, 48));
    QVERIFY(s);
    QCOMPARE(s->X1, 40.0);
    QCOMPARE(s->Y1, 40.0);
    QCOMPARE(s->X2 - s->X1, 50.0);
    // A dot lies centred on the click (6 pixels at zoom 1).
    {
      TCommit c = a.dok.Beginne("Raster aus");
      c.AendereModell();
      c.Model().AmRasterAusrichten = false;
      a.dok.Push(c);
    }
    const TCadShape* d = a.Neu("DOT", "D", a.P(200, 200));
    QVERIFY(d);
    QCOMPARE(d->HMiddle(), 200.0);
    QCOMPARE(d->VMiddle(), 200.0);
  }

  void GummibandUndSeinMinimum() {
    Aufbau a;
    a.editor.SetzeWerkzeug("REC");
    QTest::mousePress(&a.ansicht, Qt::LeftButton, {}, {105, 205});
    QTest::mouseMove(&a.ansicht, {100, 200});
    QCOMPARE(*a.editor.GummibandRect(), (TPixelRect{100, 200, 105, 205}));
    // The rubber band is painted over the picture, not into it.
    const QImage bild = a.ansicht.grab().toImage();
    QCOMPARE(QColor(bild.pixel(100, 202)), QColor(Qt::black));
    QCOMPARE(QColor(a.ansicht.Puffer().pixel(100, 202)), QColor(Qt::white));
    a.dlg.Dateien = {"R"};
    QTest::mouseRelease(&a.ansicht, Qt::LeftButton, {}, {100, 200});
    const TCadShape* r = a.S("R");
    QVERIFY(r);
    QVERIFY(!a.editor.GummibandRect());
    // 5 x 5 pixels make 20 x 20, anchored at the screen-lower left corner.
    QCOMPARE(r->X1, 100.0);
    QCOMPARE(r->X2, 120.0);
    QCOMPARE(r->Y1, a.ansicht.View().Ansicht().PaperY(220));
    QCOMPARE(r->Y2 - r->Y1, 20.0);
    // A line from lower right to upper left starts at the lower right.
    a.editor.SetzeWerkzeug("LIN");
    a.dlg.Dateien = {"L"};
    a.Ziehen({400, 400}, {300, 300});
    const TCadShape* l = a.S("L");
    QVERIFY(l);
    QCOMPARE(a.P(l->X1, l->Y1), QPoint(400, 400));
    QCOMPARE(a.P(l->X2, l->Y2), QPoint(300, 300));
  }

  void VerbindenMitShiftStrgUndStrg() {
    Aufbau a;
    a.Neu("KEM", "A", a.P(100, 300));
    a.Neu("RUB", "B", a.P(300, 300));
    a.Neu("EST", "E", a.P(500, 300));
    a.Neu("REG", "R", a.P(100, 500));
    // Select A, Shift+Ctrl on B: B takes A as its inflow.
    a.Klick(a.Mitte("A"));
    a.Klick(a.Mitte("B"), Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(a.S("A")->Parent(), a.S("B"));
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Verbinden"));
    // Select B, Shift+Ctrl on E: a discharge point takes no tank's
    // throttle outflow; the rules refuse it silently, without an undo step.
    a.Klick(a.Mitte("B"));
    const uint64_t rev = a.dok.Revision();
    a.Klick(a.Mitte("E"), Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(a.S("B")->Parent(), a.M().Root());
    QCOMPARE(a.dok.Revision(), rev);
    QVERIFY(a.dlg.Meldungen.isEmpty());
    // Ctrl on E: the clarifier overflow.
    a.Klick(a.Mitte("E"), Qt::ControlModifier);
    QCOMPARE(a.S("B")->KUE(), a.S("E"));
    // Ctrl with the right button: the tank overflow.
    a.Klick(a.Mitte("E"), Qt::ControlModifier, Qt::RightButton);
    QCOMPARE(a.S("B")->BUE(), a.S("E"));
    // Shift+Ctrl with the right button: receiving water and rain gauge of
    // the selected catchment.
    a.Klick(a.Mitte("A"));
    a.Klick(a.Mitte("E"), Qt::ShiftModifier | Qt::ControlModifier, Qt::RightButton);
    a.Klick(a.Mitte("R"), Qt::ShiftModifier | Qt::ControlModifier, Qt::RightButton);
    QCOMPARE(a.S("A")->GEW(), a.S("E"));
    QCOMPARE(a.S("A")->REG(), a.S("R"));
    QVERIFY(a.menues.empty());  // the modifier clicks open no menu
    // The link modes of "Verbinden": the wrong target gives its message.
    a.Klick(a.Mitte("A"));
    a.Objekt("Verbinden_Gewässer")->trigger();
    QCOMPARE(a.editor.VerbindeModus(), TVerbindeModus::GEW);
    a.Klick(a.Mitte("B"));
    QCOMPARE(a.dlg.Meldungen.back(), QString::fromUtf8(kMeldungNurEinleitung));
    QCOMPARE(a.editor.VerbindeModus(), TVerbindeModus::Keiner);
    QCOMPARE(a.S("A")->GEW(), a.S("E"));
    a.Klick(a.Mitte("A"));
    a.Objekt("Verbinden_Regenschreiber")->trigger();
    a.Klick(a.Mitte("E"));
    QCOMPARE(a.dlg.Meldungen.back(), QString::fromUtf8(kMeldungNurRegenschreiber));
    QCOMPARE(a.S("A")->REG(), a.S("R"));
    // A link to itself.
    a.Klick(a.Mitte("B"));
    a.Klick(a.Mitte("B"), Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(a.dlg.Meldungen.back(),
             QStringLiteral("Element B kann nicht mit sich selbst verbunden werden."));
  }

  void ZiehenVerschiebtInEinemSchritt() {
    Aufbau a;
    a.Neu("KEM", "A", a.P(100, 300));
    a.Neu("RUB", "B", a.P(300, 300));
    a.Klick(a.Mitte("A"));
    a.Klick(a.Mitte("B"), Qt::ShiftModifier | Qt::ControlModifier);
    const double ax = a.S("A")->X1, bx = a.S("B")->X1;
    const uint64_t rev = a.dok.Revision();
    // Plain drag: the shape alone.
    a.Ziehen(a.Mitte("B"), a.Mitte("B") + QPoint(40, 0));
    QCOMPARE(a.S("B")->X1, bx + 40);
    QCOMPARE(a.S("A")->X1, ax);
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Verschieben"));
    // With Shift on an unselected shape: it is selected and moves with
    // everything upstream.
    a.Klick({700, 50});
    a.Ziehen(a.Mitte("B"), a.Mitte("B") + QPoint(0, -30), Qt::ShiftModifier);
    QCOMPARE(a.S("A")->Y1, 330.0);
    QCOMPARE(a.S("B")->Y1, 330.0);
    a.dok.Rueckgaengig();
    a.dok.Rueckgaengig();
    QCOMPARE(a.S("B")->X1, bx);
    QCOMPARE(a.dok.Revision(), rev);
    // Keys of the element list move by one pixel, with Ctrl they resize.
    a.Klick(a.Mitte("A"));
    QKeyEvent rechts(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QVERIFY(a.editor.Taste(&rechts));
    QCOMPARE(a.S("A")->X1, ax + 1);
    QKeyEvent andere(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QVERIFY(!a.editor.Taste(&andere));
  }

  void GriffUeberDieKanteKlapptDenKasten() {
    Aufbau a;
    a.editor.SetzeWerkzeug("REC");
    a.dlg.Dateien = {"R"};
    a.Ziehen({100, 300}, {200, 200});  // 100 x 100 from x 100 to 200
    const TCadShape* r = a.S("R");
    QVERIFY(r);
    a.Klick({150, 250});
    // The right grab dragged 150 pixels to the left: the box flips.
    const QPoint griff = a.P(r->X2, r->VMiddle());
    QTest::mousePress(&a.ansicht, Qt::LeftButton, {}, griff);
    QCOMPARE(a.editor.Griff(), 3);
    QTest::mouseMove(&a.ansicht, griff - QPoint(100, 0));
    QTest::mouseMove(&a.ansicht, griff - QPoint(150, 0));
    QTest::mouseRelease(&a.ansicht, Qt::LeftButton, {}, griff - QPoint(150, 0));
    QCOMPARE(r->X1, 50.0);
    QCOMPARE(r->X2, 100.0);
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Größe ändern"));
    a.dok.Rueckgaengig();
    QCOMPARE(a.S("R")->X2, 200.0);
  }

  void PolylinieUndPunktEinfuegen() {
    Aufbau a;
    a.editor.SetzeWerkzeug("POL");
    a.Klick({100, 100});
    QVERIFY(a.editor.PolylinieInArbeit());
    QTest::mouseMove(&a.ansicht, {200, 100});
    a.Klick({200, 100});
    a.Klick({200, 300});
    a.Klick({250, 300}, {}, Qt::RightButton);  // ends it; no menu
    QVERIFY(!a.editor.PolylinieInArbeit());
    QVERIFY(a.menues.empty());
    QCOMPARE(a.editor.Werkzeug(), QString::fromUtf8(kEinzelauswahl));
    const TCadShape* p = a.S("POL.1");
    QVERIFY(p);
    QCOMPARE(p->Koordinaten.size(), size_t(3));
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Neues Element POL.1"));
    // Shift+Ctrl on the vertical segment inserts a vertex there.
    a.Klick({201, 200}, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(p->Koordinaten.size(), size_t(4));
    QCOMPARE(a.P(p->Koordinaten[2].X, p->Koordinaten[2].Y), QPoint(201, 200));
    // A polyline of one click only is no polyline.
    a.editor.SetzeWerkzeug("POL");
    a.Klick({500, 500});
    a.editor.SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
    QVERIFY(!a.S("POL.2"));
  }

  void KopierenEinfuegenUndLoeschen() {
    Aufbau a;
    a.Neu("KEM", "A", a.P(100, 300));
    a.Klick(a.Mitte("A"));
    a.editor.Kopieren();
    const int laeufe = a.M().Rechenlaeufe;
    a.editor.Einfuegen();
    a.editor.Einfuegen();
    QVERIFY(a.S("A.1"));
    QVERIFY(a.S("A.2"));
    QCOMPARE(a.S("A.2")->X1, a.S("A")->X1);
    QCOMPARE(a.S("A.2")->Parent(), a.M().Root());
    QVERIFY(a.M().Rechenlaeufe > laeufe);  // pasting recomputes
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Einfügen"));
    // The editor forgets a shape it holds once it is deleted.
    a.Klick(a.Mitte("A"));
    QVERIFY(a.editor.AktuellerShape() != 0);
    const uint64_t id = a.editor.AktuellerShape();
    {
      TCommit c = a.dok.Beginne("weg");
      c.Entferne(id);
      a.dok.Push(c);
    }
    QCOMPARE(a.editor.AktuellerShape(), uint64_t(0));
    // "alle löschen" asks first.
    a.dlg.JaNeinAntworten = {false};
    a.editor.ZeichnungsMenue()->findChild<QAction*>("Zeichnung_AlleLoeschen")->trigger();
    QCOMPARE(a.dlg.Fragen.back(), QString::fromUtf8(kFrageAlleLoeschen));
    QCOMPARE(a.M().Count(), 3);
    a.dlg.JaNeinAntworten = {true};
    a.editor.AlleLoeschen();
    QCOMPARE(a.M().Count(), 1);
    // Another project: nothing is held.
    a.Klick({10, 10});
    TDokument anderes;
    a.editor.SetzeDokument(&anderes);
    QCOMPARE(a.editor.AktuellerShape(), uint64_t(0));
    a.editor.SetzeDokument(&a.dok);
  }

  void KontextmenuesUndIhreFreigaben() {
    Aufbau a;
    a.Neu("KEM", "A", a.P(100, 300));
    a.Neu("RUB", "B", a.P(300, 300));
    a.Klick({700, 500}, {}, Qt::RightButton);
    QCOMPARE(a.menues.back(), QStringLiteral("Zeichnungsmenue"));
    a.Klick(a.Mitte("A"), {}, Qt::RightButton);
    QCOMPARE(a.menues.back(), QStringLiteral("Objektmenue"));
    QVERIFY(a.M().IsSelected(a.S("A")));
    QVERIFY(a.Objekt("Objekt_Editieren")->isEnabled());
    QVERIFY(a.Objekt("Verbinden_Regenschreiber")->isEnabled());
    QVERIFY(a.Objekt("Verbinden_Gewässer")->isEnabled());
    QVERIFY(!a.Objekt("Verbinden_Klärüberlauf")->isEnabled());
    QVERIFY(!a.Objekt("Teilen_Regenschreiber")->isEnabled());  // never split
    QVERIFY(a.Objekt("Richtung_links")->isChecked());          // network shapes point left
    // With Shift the structure joins the selection.
    a.Klick(a.Mitte("B"), Qt::ShiftModifier, Qt::RightButton);
    QVERIFY(a.M().IsSelected(a.S("A")) && a.M().IsSelected(a.S("B")));
    QVERIFY(!a.Objekt("Objekt_Editieren")->isEnabled());
    QVERIFY(a.Objekt("Verbinden_Klärüberlauf")->isEnabled());
    QVERIFY(a.Objekt("Verbinden_Beckenüberlauf")->isEnabled());
    // Mirroring is checked when all are mirrored.
    a.Objekt("Spiegeln_horizontal")->trigger();
    a.editor.ObjektMenueAktualisieren();
    QVERIFY(a.Objekt("Spiegeln_horizontal")->isChecked());
    QVERIFY(a.S("A")->HGespiegelt && a.S("B")->HGespiegelt);
    // Splitting the link by the menu.
    a.Klick(a.Mitte("A"));
    a.Klick(a.Mitte("B"), Qt::ShiftModifier | Qt::ControlModifier);
    a.Objekt("Teilen_Folgekomponente")->trigger();
    QVERIFY(a.S("CON.1"));
    QCOMPARE(a.S("A")->Parent(), a.S("CON.1"));
  }

  void AusrichtenSuchenUmbenennenGrafik() {
    Aufbau a;
    a.Neu("KEM", "A", a.P(100, 300));
    a.Neu("RUB", "B", a.P(300, 200));
    a.Klick(a.Mitte("A"));
    a.editor.AusrichtenDialog();
    QCOMPARE(a.dlg.Meldungen.back(), QString::fromUtf8(kMeldungZweiMarkieren));
    a.Klick(a.Mitte("B"), Qt::ShiftModifier);
    a.editor.DialogAusfuehren = [](QDialog& d) {
      auto& dlg = dynamic_cast<TAusrichtenDialog&>(d);
      dlg.Horizontal()->setCurrentIndex(3);  // "unten"
      return int(QDialog::Accepted);
    };
    a.editor.AusrichtenDialog();
    QCOMPARE(a.S("B")->Y1, 300.0);
    QCOMPARE(a.S("B")->X1, 300.0);
    // Search: the filter and the chosen hit.
    a.editor.DialogAusfuehren = [](QDialog& d) {
      auto& dlg = dynamic_cast<TSuchenDialog&>(d);
      dlg.Begriff()->setText("b");
      return int(QDialog::Accepted);
    };
    a.editor.Suchen();
    QCOMPARE(a.M().CurrentNode(), a.S("B"));
    QCOMPARE(a.M().Selection().size(), size_t(1));
    // Renaming: a taken name is asked again.
    a.dlg.Dateien = {"a", "C"};
    a.editor.Umbenennen();
    QCOMPARE(a.dlg.Meldungen.back(),
             QStringLiteral("Ein Element mit diesem Namen existiert bereits!"));
    QVERIFY(a.S("C"));
    QVERIFY(a.M().Liste.Find("C"));
    // Graphic settings: only what was changed, the graphic values only on
    // graphic shapes.
    a.editor.SetzeWerkzeug("REC");
    a.dlg.Dateien = {"R"};
    a.Ziehen({500, 500}, {560, 450});
    a.Klick(a.Mitte("C"), Qt::ShiftModifier);
    const int stift = a.S("C")->Pen.Width;
    a.editor.DialogAusfuehren = [](QDialog& d) {
      auto& dlg = dynamic_cast<TGrafikDialog&>(d);
      if (dlg.Seiten()->isTabVisible(0)) return int(QDialog::Rejected);  // one shape only
      dlg.LinienBreite()->setValue(3);
      dlg.Text()->setText("Hallo");
      return int(QDialog::Accepted);
    };
    a.editor.Grafikeinstellungen();
    QCOMPARE(a.S("R")->Pen.Width, 3);
    QCOMPARE(a.S("R")->Val, std::string("Hallo"));
    QCOMPARE(a.S("C")->Pen.Width, stift);
    // One shape: its coordinates; a text that is no number keeps the value.
    a.editor.DialogAusfuehren = [](QDialog& d) {
      auto& dlg = dynamic_cast<TGrafikDialog&>(d);
      dlg.Koordinate(0)->setText("12,5");
      dlg.Koordinate(1)->setText("abc");
      return int(QDialog::Accepted);
    };
    const double y1 = a.S("R")->Y1;
    a.editor.Grafikeinstellungen(a.S("R")->Id);
    QCOMPARE(a.S("R")->X1, 12.5);
    QCOMPARE(a.S("R")->Y1, y1);
  }

  void CursorFolgtDemWerkzeug() {
    Aufbau a;
    // Pan, zoom and the creation tools have cursors of our own (a picture
    // with its hot spot), the others the system's.
    struct Fall {
      const char* werkzeug;
      Qt::CursorShape form;
      QPoint heiss;  // of our own cursors
    };
    const Fall faelle[] = {
        {kVerschieben, Qt::BitmapCursor, {16, 16}}, {kZoomen, Qt::BitmapCursor, {12, 12}},
        {"KEM", Qt::BitmapCursor, {1, 1}},          {"REC", Qt::BitmapCursor, {1, 1}},
        {"POL", Qt::BitmapCursor, {1, 1}},          {kSchnittAuswahl, Qt::CrossCursor, {}},
        {kFensterAuswahl, Qt::ArrowCursor, {}},     {kEinzelauswahl, Qt::ArrowCursor, {}},
    };
    std::map<QString, QImage> bilder;
    for (const Fall& f : faelle) {
      const QString w = QString::fromUtf8(f.werkzeug);
      a.editor.SetzeWerkzeug(w);
      const QCursor c = a.ansicht.cursor();
      QCOMPARE(c.shape(), f.form);
      if (f.form != Qt::BitmapCursor) continue;
      QCOMPARE(c.hotSpot(), f.heiss);
      const QImage bild = c.pixmap().toImage();
      QVERIFY2(!bild.isNull() && bild.pixelColor(bild.width() / 2, bild.height() / 2).alpha() +
                                         bild.pixelColor(2, 2).alpha() >
                                     0,
               f.werkzeug);
      bilder[QString::number(f.heiss.x())] = bild;
    }
    // Three pictures, each its own.
    QCOMPARE(bilder.size(), size_t(3));
    QVERIFY(bilder["16"] != bilder["12"] && bilder["12"] != bilder["1"] &&
            bilder["1"] != bilder["16"]);
  }

  void SchriftDerGrafikEinstellungenFuerNeue() {
    Aufbau a;
    const TSchrift vorher = a.M().Root()->Font;
    a.Neu("TEX", "T", a.P(100, 300));
    TSchrift gewaehlt;
    gewaehlt.Name = "Courier New";
    gewaehlt.Size = 14;
    gewaehlt.Kursiv = true;
    QVERIFY(gewaehlt != vorher);
    a.editor.DialogAusfuehren = [&](QDialog& d) {
      dynamic_cast<TGrafikDialog&>(d).SetzeSchrift(gewaehlt);
      return int(QDialog::Accepted);
    };
    a.editor.Grafikeinstellungen(a.S("T")->Id);
    QCOMPARE(a.S("T")->Font, gewaehlt);
    // New texts and the captions of new elements take the font chosen.
    QCOMPARE(a.Neu("TEX", "U", a.P(300, 300))->Font, gewaehlt);
    QCOMPARE(a.Neu("KEM", "K", a.P(500, 300))->Font, gewaehlt);
    QCOMPARE(a.M().Font, gewaehlt);
    // Settings without a new font leave the default alone.
    a.editor.DialogAusfuehren = [](QDialog& d) {
      dynamic_cast<TGrafikDialog&>(d).LinienBreite()->setValue(3);
      return int(QDialog::Accepted);
    };
    a.Klick(a.Mitte("U"));
    a.editor.Grafikeinstellungen();
    QCOMPARE(a.M().Root()->Font, gewaehlt);
    // Saved with the project.
    QTemporaryDir ablage;
    std::string fehler;
    QVERIFY(a.dok.SpeichernUnter(ablage.filePath("Netz").toStdString(), fehler));
    TLadeErgebnis le;
    const auto wieder = TDokument::Oeffnen(ablage.filePath("Netz").toStdString(), le);
    QVERIFY(wieder);
    QCOMPARE(wieder->Model().Root()->Font, gewaehlt);
    // Undone with the settings: the font before is the default again.
    for (int i = 0; i < 4; ++i) a.dok.Rueckgaengig();
    QCOMPARE(a.dok.RueckgaengigTitel(), std::string("Neues Element T"));
    QCOMPARE(a.S("T")->Font, vorher);
    QCOMPARE(a.M().Root()->Font, vorher);
    QCOMPARE(a.M().Font, vorher);
    QCOMPARE(a.Neu("TEX", "V", a.P(100, 500))->Font, vorher);
  }

  void VerschiebenZoomenUndAuswahlRechtecke() {
    Aufbau a;
    a.Neu("KEM", "A", a.P(100, 300));
    a.Neu("KEM", "B", a.P(300, 300));
    // Pan: the drawing follows the mouse.
    a.editor.SetzeWerkzeug(QString::fromUtf8(kVerschieben));
    a.Ziehen({400, 300}, {440, 280});
    QCOMPARE(a.ansicht.View().OrgX(), -40.0);
    QCOMPARE(a.ansicht.View().OrgY(), -20.0);
    a.ansicht.View().SetOrgZoom(0, 0, 1);
    // Zoom: by the ratio of the last to the new y.
    a.editor.SetzeWerkzeug(QString::fromUtf8(kZoomen));
    QTest::mousePress(&a.ansicht, Qt::LeftButton, {}, {400, 300});
    a.Bewege({400, 150});
    QTest::mouseRelease(&a.ansicht, Qt::LeftButton, {}, {400, 150});
    QCOMPARE(a.ansicht.View().Zoom(), 2.0);
    a.ansicht.View().SetOrgZoom(0, 0, 1);
    // Window selection: only what lies wholly inside; then single selection.
    a.editor.SetzeWerkzeug(QString::fromUtf8(kFensterAuswahl));
    const QPoint mb = a.Mitte("B");
    a.Ziehen(a.Mitte("A") - QPoint(40, 40), mb + QPoint(0, 40));
    QVERIFY(a.M().IsSelected(a.S("A")));
    QVERIFY(!a.M().IsSelected(a.S("B")));
    QCOMPARE(a.editor.Werkzeug(), QString::fromUtf8(kEinzelauswahl));
    QCOMPARE(a.editor.AktuellerShape(), a.S("A")->Id);
    // Crossing selection with Shift adds what the band touches.
    a.editor.SetzeWerkzeug(QString::fromUtf8(kSchnittAuswahl));
    a.Ziehen(mb - QPoint(5, 5), mb + QPoint(5, 5), Qt::ShiftModifier);
    QVERIFY(a.M().IsSelected(a.S("A")) && a.M().IsSelected(a.S("B")));
  }

  void AutomatischOeffnenUndDoppelklick() {
    Aufbau a;
    {
      TCommit c = a.dok.Beginne("Auto");
      c.AendereModell();
      c.Model().AutoOeffnen = true;
      a.dok.Push(c);
    }
    std::vector<uint64_t> geoeffnet;
    QObject::connect(&a.editor, &TEditor::EditorOeffnen,
                     [&](uint64_t id) { geoeffnet.push_back(id); });
    a.Neu("KEM", "A", a.P(100, 300));
    QCOMPARE(geoeffnet, std::vector<uint64_t>{a.S("A")->Id});
    // A double click (press, release, double click) opens the shape under
    // the mouse, elsewhere the root.
    a.Klick(a.Mitte("A"));
    QTest::mouseDClick(&a.ansicht, Qt::LeftButton, {}, a.Mitte("A"));
    QCOMPARE(geoeffnet.back(), a.S("A")->Id);
    a.Klick({700, 50});
    QTest::mouseDClick(&a.ansicht, Qt::LeftButton, {}, {700, 50});
    QCOMPARE(geoeffnet.back(), a.M().Root()->Id);
  }

  void SuchfilterNachGrossKleinUndWortanfang() {
    TSuchenDialog d({"Altstadt", "Neubaugebiet", "stadtrand", "RÜB Stadt"});
    d.Begriff()->setText("Stadt");
    QCOMPARE(d.Gefiltert(), QStringList({"Altstadt", "stadtrand", "RÜB Stadt"}));
    QCOMPARE(d.Gewaehlt(), QStringLiteral("Altstadt"));  // the first hit
    d.GrossKlein()->setChecked(true);
    QCOMPARE(d.Gefiltert(), QStringList({"RÜB Stadt"}));
    d.GrossKlein()->setChecked(false);
    d.Wortanfang()->setChecked(true);
    QCOMPARE(d.Gefiltert(), QStringList({"stadtrand"}));
    d.GrossKlein()->setChecked(true);
    QCOMPARE(d.Gefiltert(), QStringList());
    QCOMPARE(d.Gewaehlt(), QString());
  }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
