// The example network drawn from an empty project with mouse and key events
// only in the main window: every element created with its name typed into
// the prompt, every link made with the modifier clicks; the example's data
// given through the document. Saved, the file verifies with the outflows of
// beispiel/Beispiel.T21. Undone step by step it is a new project's file
// again, redone the drawn file.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "app/editor/editor.h"
#include "app/hauptfenster.h"
#include "document/dokument.h"
#include "model/net.h"
#include "painting/zeichenansicht.h"
#include "qtsupport/falsche_dialoge.h"
#include "storage/tabelle.h"

using namespace t21;

namespace {

QString Beispiel() {
  return QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21");
}

// The verification of a project file by the command-line program, by
// element name.
std::map<QString, QJsonObject> Nachweis(const QString& datei) {
  QProcess p;
  p.start(QStringLiteral(T21_VERIFY), {"verify", datei, "--format", "json"});
  p.waitForFinished(60000);
  std::map<QString, QJsonObject> r;
  for (const QJsonValue& v :
       QJsonDocument::fromJson(p.readAllStandardOutput()).object()["elemente"].toArray())
    r[v.toObject()["name"].toString()] = v.toObject();
  return r;
}

QByteArray Inhalt(const QString& datei) {
  QFile f(datei);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The project record's values (the record has no copy of its own).
void NetzWerte(TNET& n, const TNET& q) {
  n.TElement::AssignValues(q);
  n.Nummer = q.Nummer;
  n.ProjektName = q.ProjektName;
  n.Variante = q.Variante;
  n.Auftraggeber = q.Auftraggeber;
  n.Datum = q.Datum;
  n.PSIa = q.PSIa;
  n.HNA = q.HNA;
  n.ZEBEV = q.ZEBEV;
  n.Spenden = q.Spenden;
  n.CR = q.CR;
  n.cDN = q.cDN;
  n.crDO2 = q.crDO2;
  n.crCSB = q.crCSB;
  n.ckCSB = q.ckCSB;
  n.ctAFS63 = q.ctAFS63;
  n.ckAFS63 = q.ckAFS63;
  n.Temperatur = q.Temperatur;
  n.mNN = q.mNN;
  n.cO2sat = q.cO2sat;
  n.pks = q.pks;
  n.cM = q.cM;
  n.cI = q.cI;
  n.cS = q.cS;
  n.NAM = q.NAM;
  n.PsiTafel = q.PsiTafel;
}

}  // namespace

class TestEditorBeispiel : public QObject {
  Q_OBJECT

  QTemporaryDir FProgramm, FAblage;

  TFalscheDialoge d;
  std::unique_ptr<TMainFrm> f;

  const TM3Model& M() const { return f->Aktuell()->Model(); }
  QPoint Mitte(const std::string& name) const {
    const TCadShape* s = M().GetNode(std::string_view(name));
    const TAnsicht& a = f->Zeichnung()->View().Ansicht();
    return {a.ViewX(s->HMiddle()), a.ViewY(s->VMiddle())};
  }
  void Klick(QPoint p, Qt::KeyboardModifiers mod = {}, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseClick(f->Zeichnung(), b, mod, p);
  }
  bool SpeichernUnter(const QString& datei) {
    d.Dateien = {datei};
    return f->Datei_SpeichernUnterClick();
  }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void GezeichnetWieDasBeispiel() {
    TLadeErgebnis le;
    auto vorlage = TDokument::Oeffnen(OhneEndung(Beispiel().toStdString()), le);
    QVERIFY(vorlage);
    const TM3Model& ref = vorlage->Model();

    f = std::make_unique<TMainFrm>(d, FProgramm.path());
    f->Starte(false);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    f->Zeichnung()->View().SetOrgZoom(0, 0, 1);
    f->Zeichnung()->View().SetShowGrid(false);
    TEditor* ed = f->Editor();
    ed->MenueZeigen = [](QMenu&, QPoint) {};  // no context menu may block

    // Every element: its palette button, a click, its name typed.
    std::vector<const TCadShape*> elemente;
    for (int i = 1; i < ref.Count(); ++i)
      if (ref.GetNode(i)->IsM3Shape()) elemente.push_back(ref.GetNode(i));
    QVERIFY(elemente.size() >= 7);
    for (size_t i = 0; i < elemente.size(); ++i) {
      const TCadShape* q = elemente[i];
      QAction* knopf = f->Aktion(QStringLiteral("Knopf_") + QString::fromStdString(q->Typ()));
      QVERIFY2(knopf && knopf->isEnabled(), q->Typ().c_str());
      knopf->trigger();
      QCOMPARE(ed->Werkzeug(), QString::fromStdString(q->Typ()));
      d.Dateien = {QString::fromStdString(q->Name)};
      const QPoint p(60 + static_cast<int>(i % 5) * 140, 80 + static_cast<int>(i / 5) * 160);
      Klick(p);
      QVERIFY2(M().GetNode(std::string_view(q->Name)), q->Name.c_str());
    }
    QVERIFY(d.Meldungen.isEmpty());

    // Every link, in the order of each target's upstream list, so that the
    // network is computed in the example's order.
    for (int i = 1; i < ref.Count(); ++i) {
      const TCadShape* t = ref.GetNode(i);
      std::map<const TCadShape*, int> schon;
      for (const TCadShape* u : t->Zufluesse()) {
        std::vector<int> arten;  // 1 Parent, 2 KUE, 3 GEW
        if (u->Parent() == t) arten.push_back(1);
        if (u->KUE() == t) arten.push_back(2);
        if (u->GEW() == t) arten.push_back(3);
        const int art = arten.at(static_cast<size_t>(schon[u]++));
        Klick(Mitte(u->Name));
        const uint64_t revision = f->Aktuell()->Revision();
        QVERIFY(M().IsSelected(M().GetNode(std::string_view(u->Name))));
        const bool gebiet = u->IsEinzugsgebiet();
        const auto sc = Qt::ShiftModifier | Qt::ControlModifier;
        if (art == 1)
          Klick(Mitte(t->Name), sc);
        else if (art == 2 && gebiet)
          Klick(Mitte(t->Name), sc, Qt::RightButton);  // the rain gauge
        else if (art == 2)
          Klick(Mitte(t->Name), Qt::ControlModifier);
        else if (gebiet)
          Klick(Mitte(t->Name), sc, Qt::RightButton);  // the receiving water
        else
          Klick(Mitte(t->Name), Qt::ControlModifier, Qt::RightButton);
        const TCadShape* du = M().GetNode(std::string_view(u->Name));
        const TCadShape* dt = M().GetNode(std::string_view(t->Name));
        const TCadShape* link = art == 1 ? du->Parent() : art == 2 ? du->KUE() : du->GEW();
        if (art == 1 && u->Typ() == "RUB" && t->Typ() == "EST") {
          // The example drains the tank's throttle straight into the
          // discharge point. The connection rules refuse that (a discharge
          // point takes no tank's throttle outflow: the throttle leads to
          // the plant), silently: no link, no message, no undo step.
          QVERIFY(link != dt);
          QVERIFY(link == M().Root());
          QVERIFY(d.Meldungen.isEmpty());
          QCOMPARE(f->Aktuell()->Revision(), revision);
          // To compare with the example, the link is made as the example's
          // file holds it (a loaded file is not checked against the rules).
          TCommit c = f->Aktuell()->Beginne("Drosselabfluss wie im Beispiel");
          c.Model().GetNodeById(du->Id)->SetParent(c.Model().GetNodeById(dt->Id));
          f->Aktuell()->Push(c);
          link = du->Parent();
        }
        QVERIFY2(link == dt, (u->Name + " -> " + t->Name).c_str());
      }
    }
    QVERIFY2(d.Meldungen.isEmpty(), qPrintable(d.Meldungen.join('\n')));
    Klick({860, 20});  // nothing selected when saved
    QVERIFY(f->Aktuell()->KannRueckgaengig());

    // The data through the document, as the element dialogs give it.
    TDokument& dok = *f->Aktuell();
    {
      TCommit c = dok.Beginne("Daten des Beispiels");
      c.AendereModell();
      c.Model().Referenz = ref.Referenz;
      for (int i = 0; i < ref.Count(); ++i) {
        const TCadShape* q = ref.GetNode(i);
        if (!q->IsM3Shape()) continue;
        TCadShape* s = c.Aendern(c.Model().GetNode(std::string_view(q->Name)));
        QVERIFY(s);
        if (q->Typ() == "NET")
          NetzWerte(dynamic_cast<TNET&>(*TM3Model::ElementOf(s)),
                    dynamic_cast<const TNET&>(*TM3Model::ElementOf(q)));
        else
          TM3Model::ElementOf(s)->AssignValues(*TM3Model::ElementOf(q));
      }
      dok.Push(c);
    }

    const QString gez = FAblage.filePath("gezeichnet/Netz.T21");
    QDir().mkpath(FAblage.filePath("gezeichnet"));
    QVERIFY(SpeichernUnter(gez));
    const auto soll = Nachweis(Beispiel());
    const auto ist = Nachweis(gez);
    QCOMPARE(ist.size(), soll.size());
    for (const auto& [name, e] : soll) {
      QVERIFY2(ist.count(name), qPrintable(name));
      QCOMPARE(ist.at(name)["abfluss"], e["abfluss"]);
      QCOMPARE(ist.at(name)["zufluss"], e["zufluss"]);
    }

    // Undone with Ctrl+Z step by step: a new project's file.
    int schritte = 0;
    f->Zeichnung()->setFocus();
    while (f->Aktuell()->KannRueckgaengig()) {
      QTest::keyClick(f.get(), Qt::Key_Z, Qt::ControlModifier);
      QVERIFY(++schritte < 1000);
    }
    QCOMPARE(M().Count(), 1);
    QVERIFY(f->Aktuell()->Modified());  // against the file saved
    QDir().mkpath(FAblage.filePath("leer"));
    QDir().mkpath(FAblage.filePath("neu"));
    QVERIFY(SpeichernUnter(FAblage.filePath("leer/Netz.T21")));
    f->Datei_NeuClick();
    QVERIFY(SpeichernUnter(FAblage.filePath("neu/Netz.T21")));
    QCOMPARE(Inhalt(FAblage.filePath("leer/Netz.T21")), Inhalt(FAblage.filePath("neu/Netz.T21")));

    // Redone with Ctrl+Y: the drawn file.
    f->Umschalten(0);
    while (f->Aktuell()->KannWiederholen())
      QTest::keyClick(f.get(), Qt::Key_Y, Qt::ControlModifier);
    QDir().mkpath(FAblage.filePath("wieder"));
    QVERIFY(SpeichernUnter(FAblage.filePath("wieder/Netz.T21")));
    QCOMPARE(Inhalt(FAblage.filePath("wieder/Netz.T21")), Inhalt(gez));
  }
};

QTEST_MAIN(TestEditorBeispiel)
#include "test_editor_beispiel.moc"
