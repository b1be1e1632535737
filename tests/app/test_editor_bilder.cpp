// Pictures of the editor, written when T21_BILDER names a folder: a
// selection with its grabs, the rubber band while it is drawn, the object
// and the drawing context menu, "Grafik-Einstellungen" and the overview
// with its frame. Without the variable everything is still built and the
// captions are checked.
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/editor/editor.h"
#include "app/editor/editordialoge.h"
#include "app/hauptfenster.h"
#include "document/dokument.h"
#include "painting/zeichenansicht.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

void Ablegen(QWidget& w, const QString& name) {
  const QString ordner = qEnvironmentVariable("T21_BILDER");
  if (ordner.isEmpty()) return;
  QDir().mkpath(ordner);
  QCoreApplication::processEvents();
  QVERIFY(w.grab().save(QDir(ordner).filePath(name + ".png")));
}

}  // namespace

class TestEditorBilder : public QObject {
  Q_OBJECT

  QTemporaryDir FProgramm;

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void Editor() {
    TFalscheDialoge d;
    TMainFrm f(d, FProgramm.path());
    f.Starte(false);
    QVERIFY(f.Oeffne(QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21")));
    f.resize(1280, 900);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    TZeichenAnsicht* z = f.Zeichnung();
    z->View().SetOrgZoom(-60, -60, 1.4);
    TEditor* ed = f.Editor();

    // A rectangle drawn with the rubber band, pictured while it is drawn.
    f.Aktion("Knopf_REC")->trigger();
    QTest::mousePress(z, Qt::LeftButton, {}, {620, 420});
    QTest::mouseMove(z, {700, 360});
    QTest::mouseMove(z, {760, 330});
    QVERIFY(ed->GummibandRect().has_value());
    Ablegen(f, "editor_gummiband");
    d.Dateien = {"Hinweis"};
    QTest::mouseRelease(z, Qt::LeftButton, {}, {760, 330});
    const TCadShape* r = f.Aktuell()->Model().GetNode(std::string_view("Hinweis"));
    QVERIFY(r);

    // The rectangle and a catchment selected: grabs on the rectangle, the
    // catchment in the selection colours.
    const TAnsicht& a = z->View().Ansicht();
    QTest::mouseClick(z, Qt::LeftButton, {}, {a.ViewX(r->HMiddle()), a.ViewY(r->Y2)});
    const TCadShape* alt = f.Aktuell()->Model().GetNode(std::string_view("Altstadt"));
    QTest::mouseClick(z, Qt::LeftButton, Qt::ShiftModifier,
                      {a.ViewX(alt->HMiddle()), a.ViewY(alt->VMiddle())});
    QCOMPARE(f.Aktuell()->Model().Selection().size(), size_t(2));
    Ablegen(*z, "editor_auswahl");

    // Both context menus, shown for the picture and closed again.
    QStringList menues;
    ed->MenueZeigen = [&](QMenu& m, QPoint p) {
      m.popup(p);
      (void)QTest::qWaitForWindowExposed(&m);
      Ablegen(m, m.objectName() == QStringLiteral("Objektmenue") ? "editor_objektmenue"
                                                                 : "editor_zeichnungsmenue");
      menues << m.objectName();
      m.close();
    };
    QTest::mouseClick(z, Qt::RightButton, {}, {a.ViewX(alt->HMiddle()), a.ViewY(alt->VMiddle())});
    QTest::mouseClick(z, Qt::RightButton, {}, {40, 700});
    QCOMPARE(menues, QStringList({"Objektmenue", "Zeichnungsmenue"}));

    // "Grafik-Einstellungen" of the rectangle, every page.
    QStringList titel;
    ed->DialogAusfuehren = [&](QDialog& dlg) {
      dlg.show();
      (void)QTest::qWaitForWindowExposed(&dlg);
      titel << dlg.windowTitle();
      auto* g = dynamic_cast<TGrafikDialog*>(&dlg);
      if (g) {
        const char* namen[] = {"koordinaten", "linien", "text", "bild"};
        for (int i = 0; i < g->Seiten()->count(); ++i) {
          if (!g->Seiten()->isTabVisible(i)) continue;
          g->Seiten()->setCurrentIndex(i);
          Ablegen(dlg, QStringLiteral("editor_grafik_") + QString::fromUtf8(namen[i]));
        }
      }
      dlg.close();
      return int(QDialog::Rejected);
    };
    ed->Grafikeinstellungen(r->Id);
    QCOMPARE(titel.back(), QStringLiteral("Grafikeigenschaften Komponente Hinweis"));
    ed->Grafikeinstellungen();
    QCOMPARE(titel.back(), QStringLiteral("Grafikeigenschaften markierte Komponenten"));
    // A picture shape shows the page "Bild" as well.
    f.Aktion("Knopf_BMP")->trigger();
    d.Dateien = {"Foto"};
    QTest::mousePress(z, Qt::LeftButton, {}, {620, 600});
    QTest::mouseMove(z, {700, 540});
    QTest::mouseRelease(z, Qt::LeftButton, {}, {700, 540});
    const TCadShape* foto = f.Aktuell()->Model().GetNode(std::string_view("Foto"));
    QVERIFY(foto);
    ed->Grafikeinstellungen(foto->Id);
    QCOMPARE(titel.back(), QStringLiteral("Grafikeigenschaften Komponente Foto"));

    // The overview: the frame follows the view.
    z->View().SetOrgZoom(100, 50, 2);
    const TCadShape* frame = f.UebersichtModell().GetNode(std::string_view("Ausschnitt"));
    QVERIFY(frame);
    QCOMPARE(frame->X1, 100.0);
    QCOMPARE(frame->Y1, 50.0);
    QCOMPARE(frame->X2, 100.0 + z->width() / 2.0);
    Ablegen(*f.Uebersicht(), "editor_uebersicht");
    Ablegen(f, "editor_hauptfenster");
  }
};

QTEST_MAIN(TestEditorBilder)
#include "test_editor_bilder.moc"
