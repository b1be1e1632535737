// The element dialogs on the example project: captions, pages, labels and
// hints per kind, live results, OK as one commit, Cancel/Esc/closing without
// a trace, F4/F5, the design list, the rain-gauge header, faulty numbers,
// and a small network entered through the dialogs alone.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/formulare/elementdialog.h"
#include "app/formulare/formen.h"
#include "app/formulare/zahlfeld.h"
#include "document/dokument.h"
#include "model/elements.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

const std::string kBeispiel = std::string(T21_QUELLE) + "/beispiel/Beispiel";

std::string Inhalt(const std::string& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::stringstream s;
  s << ein.rdbuf();
  return s.str();
}

std::unique_ptr<TDokument> Beispiel() {
  TLadeErgebnis e;
  auto d = TDokument::Oeffnen(kBeispiel, e);
  if (!d) qWarning("%s", e.Fehler.c_str());
  return d;
}

uint64_t Id(const TDokument& d, const char* name) {
  const TCadShape* s = d.Model().Liste.Find(name);
  return s ? s->Id : 0;
}

const TElement* Element(const TDokument& d, const char* name) {
  return TM3Model::ElementOf(d.Model().Liste.Find(name));
}

// Types into a field as a user does: everything selected, the new text.
void Tippe(QWidget* w, const QString& text) {
  auto* e = qobject_cast<QLineEdit*>(w);
  QVERIFY(e);
  e->setFocus();
  e->selectAll();
  if (text.isEmpty())
    QTest::keyClick(e, Qt::Key_Delete);
  else
    for (const QChar c : text) {
      if (c.unicode() < 128)
        QTest::keyClick(e, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QString Zelle(QTreeWidget* l, int zeile, int spalte) {
  return l && zeile < l->topLevelItemCount() ? l->topLevelItem(zeile)->text(spalte) : QString();
}

// The outflow of the element as the compute pass left it.
void VergleicheAB(const TElement& a, const TElement& b, const char* was) {
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& p = a.AB[i];
    const TParameter& q = b.AB[i];
    const double x[] = {p.Q, p.BSB, p.NH4, p.AFS, p.CSB, p.DO2};
    const double y[] = {q.Q, q.BSB, q.NH4, q.AFS, q.CSB, q.DO2};
    for (int k = 0; k < 6; ++k)
      QVERIFY2(std::fabs(x[k] - y[k]) <= 1e-9 * std::max(1.0, std::fabs(x[k])),
               qPrintable(QStringLiteral("%1: Fall %2 Größe %3: %4 != %5")
                              .arg(QString::fromUtf8(was))
                              .arg(i)
                              .arg(k)
                              .arg(x[k], 0, 'g', 17)
                              .arg(y[k], 0, 'g', 17)));
  }
}

// Whether the user can reach the control: it and its groups are not hidden
// and its page is shown.
bool Erreichbar(QWidget* w, TMusterForm& f) {
  for (QWidget* p = w; p && p != &f; p = p->parentWidget()) {
    if (auto* stapel = qobject_cast<QStackedWidget*>(p->parentWidget())) {
      auto* tabs = qobject_cast<QTabWidget*>(stapel->parentWidget());
      return !tabs || tabs->isTabVisible(tabs->indexOf(p));
    }
    if (p->isHidden()) return false;
  }
  return true;
}

// Enters into dialog `ziel` what dialog `quelle` shows, control by control,
// as a user would: typing into the number and text fields, clicking boxes,
// choosing entries.
void Abschreiben(TMusterForm& quelle, TMusterForm& ziel) {
  const auto felder = quelle.findChildren<QWidget*>();
  for (QWidget* q : felder) {
    const QString name = q->objectName();
    if (!name.startsWith(QLatin1String("CDS")) || !name.contains(QLatin1Char('.'))) continue;
    QWidget* z = ziel.findChild<QWidget*>(name);
    if (!z || !Erreichbar(z, ziel)) continue;
    for (int i = 0; i < ziel.Seiten()->count(); ++i)
      if (ziel.Seiten()->widget(i)->isAncestorOf(z)) ziel.Seiten()->setCurrentIndex(i);
    if (auto* c = qobject_cast<QComboBox*>(q)) {
      auto* zc = static_cast<QComboBox*>(z);
      if (zc->isEditable())
        zc->setCurrentText(c->currentText());
      else if (zc->currentIndex() != c->currentIndex())
        zc->setCurrentIndex(c->currentIndex());
    } else if (auto* e = qobject_cast<QLineEdit*>(q)) {
      if (static_cast<QLineEdit*>(z)->text() != e->text()) Tippe(z, e->text());
    } else if (auto* k = qobject_cast<QCheckBox*>(q)) {
      if (static_cast<QCheckBox*>(z)->isChecked() != k->isChecked())
        QTest::mouseClick(z, Qt::LeftButton);
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(q)) {
      static_cast<QPlainTextEdit*>(z)->setPlainText(m->toPlainText());
    } else if (auto* d = qobject_cast<QDateEdit*>(q)) {
      static_cast<QDateEdit*>(z)->setDate(d->date());
    } else if (auto* g = qobject_cast<QGroupBox*>(q)) {
      const auto a = g->findChildren<QRadioButton*>();
      const auto b = z->findChildren<QRadioButton*>();
      for (int i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i]->isChecked() && !b[i]->isChecked())
          QTest::mouseClick(b[i], Qt::LeftButton, {}, QPoint(6, b[i]->height() / 2));
    }
  }
}

// The outflow Q at qr = 128 of an element as `t21 verify` prints it for a
// project file.
QString VerifyQ128(const std::string& basis, const QString& element) {
  QProcess p;
  p.start(QStringLiteral(T21_VERIFY), {QStringLiteral("verify"), QString::fromStdString(basis)});
  if (!p.waitForFinished(60000)) return QStringLiteral("(kein Ende)");
  const QStringList zeilen = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
  bool drin = false, abfluss = false;
  for (const QString& z : zeilen) {
    if (!z.startsWith(QLatin1Char(' '))) drin = z.startsWith(element + QLatin1String(" ("));
    if (!drin) continue;
    if (z.trimmed() == QLatin1String("Abfluss")) abfluss = true;
    if (abfluss && z.trimmed().startsWith(QLatin1String("128 ")))
      return z.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts).value(1);
  }
  return {};
}

}  // namespace

class TestElementdialoge : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  // Caption, visible pages, a label and a hint with its limits per kind.
  void SeitenUndHinweise_data();
  void SeitenUndHinweise();
  void KindOhneDialogOeffnetNichts();
  void TippenAendertDieErgebnisseite();
  void OKIstEinCommitUndAendertDieUnterlieger();
  void AbbrechenEscUndSchliessenLassenDasProjekt();
  void F4UndF5();
  void BemessungGleichDerDesRechenkerns();
  void UngueltigeRegendatei();
  void RegendateiZeigtDenKopf();
  void UnlesbareZahlSperrtOK();
  void GrenzenNurAmEingabefeld();
  void TeilflaechenUndAbbrechen();
  void ScriptPruefen();
  void NetzAusDenDialogenGleichDemBeispiel();
  void ProjektdialogRegenspenden();
  void StandardKnoepfe();
  void LageUndGrafik();
  void StrassenDesProgramms();
  void VorgabenDesProjekts();
  void GanglinieNeuAbgebrochen();
};

void TestElementdialoge::SeitenUndHinweise_data() {
  QTest::addColumn<QString>("typ");
  QTest::addColumn<QString>("titel");
  QTest::addColumn<QStringList>("seiten");
  QTest::addColumn<QString>("feld");
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("hinweis");
  QTest::addColumn<int>("kontext");
  const QStringList basis{QStringLiteral("Lage"), QStringLiteral("Notiz"), QStringLiteral("Grafik"),
                          QStringLiteral("Script")};
  QTest::newRow("KEM") << "KEM"
                       << "Mischwassernetz"
                       << (QStringList{"Flächen", "Hydrologie", "Trockenwetter", "Konzentrationen",
                                       "Ganglinien", "det. Nachweis", "Abminderungswerte fD"} +
                           basis)
                       << "CDSKEZ.ED"
                       << "Einwohnerdichte ED"
                       << "0 ..... 300" << 12000;
  QTest::newRow("KES") << "KES"
                       << "Schmutzwassernetz"
                       << (QStringList{"Trockenwetter", "Konzentrationen", "Ganglinien"} + basis)
                       << "CDSKEZ.ED"
                       << "Einwohner EZ"
                       << "0 ..... 1000000" << 13000;
  QTest::newRow("KER")
      << "KER"
      << "Regenwassernetz"
      << (QStringList{"Flächen", "Hydrologie", "det. Nachweis", "Abminderungswerte fD"} + basis)
      << "CDSKEZ.QF"
      << "Fremdwasser QF"
      << "0 ..... 10000" << 14000;
  QTest::newRow("RUB") << "RUB"
                       << "Regenüberlaufbecken" << (QStringList{"Hydraulik"} + basis) << "CDSEbw.QM"
                       << "Drosselabfluss Qm"
                       << "0 ..... 100000000" << 18000;
  QTest::newRow("RU") << "RU"
                      << "Regenüberlauf" << (QStringList{"Hydraulik"} + basis)
                      << "CDSEbw.O2DefizitKUE"
                      << "Überlauf"
                      << "0 ..... 100" << 19000;
  QTest::newRow("RKB") << "RKB"
                       << "Regenklärbecken" << (QStringList{"Hydraulik"} + basis) << "CDSEbw.Ased"
                       << "Absetzfläche Ased"
                       << "0 ..... 10000" << 20000;
  QTest::newRow("EST")
      << "EST"
      << "Einleitungsstelle"
      << (QStringList{"Hydraulik", "Hydrologie", "Güte", "Wiederbesiedlungspotenzial"} + basis)
      << "CDSEst.PH"
      << "pH-Wert bei MNQ"
      << "0 ..... 9,5" << 16000;
  QTest::newRow("KLG") << "KLG"
                       << "Kläranlage" << (QStringList{"Kenndaten"} + basis) << "CDSKlg.NH4"
                       << "NH4-N"
                       << "0 ..... 300" << 15000;
  QTest::newRow("OMA") << "OMA"
                       << "ortsspezifische Massnahme"
                       << (QStringList{"Massnahme", "Abbauleistung"} + basis) << "CDSOma.ART"
                       << "Art der Maßnahme"
                       << "TextFeld" << 17000;
  QTest::newRow("CON") << "CON"
                       << "Connector" << (QStringList{"Hydraulik"} + basis) << "CDSCON.TF"
                       << "Fließzeit TF"
                       << "0 ..... 1000" << 21000;
  QTest::newRow("REG") << "REG"
                       << "Regenschreiber" << (QStringList{"Hydraulik"} + basis)
                       << "CDSREG.FileName"
                       << "Regendatei"
                       << "TextFeld" << 22000;
  QTest::newRow("NET") << "NET"
                       << "geschlossenes Siedlungsgebiet"
                       << (QStringList{"Projekt", "Hydrologie", "Regenwasserkonzentrationen",
                                       "Regen", "Wasserhaushaltsmodell", "Grafik Regenspenden"} +
                           basis)
                       << "CDSNet.HNA"
                       << "mittlere Jahresniederschlagshöhe hNa"
                       << "0 ..... 2000" << 11000;
}

void TestElementdialoge::SeitenUndHinweise() {
  QFETCH(QString, typ);
  QFETCH(QString, titel);
  QFETCH(QStringList, seiten);
  QFETCH(QString, feld);
  QFETCH(QString, label);
  QFETCH(QString, hinweis);
  QFETCH(int, kontext);
  auto d = Beispiel();
  QVERIFY(d);
  uint64_t id = d->Model().Root()->Id;
  if (typ != QLatin1String("NET")) {
    TCommit c = d->Beginne("Neu");
    id = c.Erzeuge(typ.toStdString(), "Neu 1", 100, 100)->Id;
    d->Push(c);
  }
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, id, dialoge, nullptr);
  QVERIFY(f);
  QCOMPARE(f->windowTitle(), titel);
  QCOMPARE(f->SichtbareSeiten(), seiten);
  QCOMPARE(f->HilfeKontext(), kontext);
  QVERIFY(!f->HilfeSeite().isEmpty());
  QVERIFY(QFile::exists(QStringLiteral(":/t21/hilfe/%1.html").arg(f->HilfeSeite())));
  QCOMPARE(f->Beschriftung(feld.toStdString()), label);
  QCOMPARE(f->Hinweis(feld.toStdString()), hinweis);
  QStringList ergebnisse = f->SichtbareErgebnisse();
  if (typ == QLatin1String("EST"))
    QCOMPARE(ergebnisse, (QStringList{"Diagramme", "Einleitungen", "Ablauf", "Gewässerabschnitt",
                                      "Hydraulik"}));
  else
    QCOMPARE(ergebnisse.mid(0, 3), (QStringList{"Zulauf", "Ablauf", "Abschlag"}));
  // The status bar shows the hint while the control has the focus.
  f->show();
  QVERIFY(QTest::qWaitForWindowExposed(f.get()));
  QWidget* w = f->Steuerung(feld.toStdString());
  QVERIFY(w);
  for (int i = 0; i < f->Seiten()->count(); ++i)
    if (f->Seiten()->widget(i)->isAncestorOf(w)) f->Seiten()->setCurrentIndex(i);
  w->setFocus();
  QApplication::processEvents();
  QCOMPARE(f->Statusleiste()->currentMessage(), hinweis);
  f->reject();
}

void TestElementdialoge::KindOhneDialogOeffnetNichts() {
  auto d = Beispiel();
  for (const char* typ : {"AEO", "AEK", "VFL", "VBE"}) {
    TCommit c = d->Beginne("Neu");
    const uint64_t id = c.Erzeuge(typ, std::string("X ") + typ, 10, 10)->Id;
    d->Push(c);
    TFalscheDialoge dialoge;
    QVERIFY(!ErzeugeElementDialog(*d, id, dialoge, nullptr));
    QVERIFY(!OeffneElementDialog(*d, id, dialoge, nullptr));
  }
}

void TestElementdialoge::TippenAendertDieErgebnisseite() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "RÜB Mitte"), dialoge, nullptr);
  QVERIFY(f);
  f->show();
  QTreeWidget* ablauf = f->Liste(QStringLiteral("Ablauf"));
  QVERIFY(ablauf);
  const QString vorher = Zelle(ablauf, 3, 11);  // Q at qr = 128
  auto* qm = qobject_cast<TZahlFeld*>(f->Steuerung("CDSEbw.QM"));
  QVERIFY(qm);
  qm->setFocus();
  qm->end(false);
  QTest::keyClick(qm, Qt::Key_1);  // one more digit: the throttle flow grows tenfold
  QVERIFY(Zelle(ablauf, 3, 11) != vorher);
  QCOMPARE(Zelle(ablauf, 3, 11), QLocale().toString(f->Kopie().AB[9].Q, 'f', 0));
  // A decimal comma is read as such.
  Tippe(qm, QStringLiteral("12,5"));
  QCOMPARE(dynamic_cast<const TBauwerk&>(f->Kopie()).QD, 12.5);
  Tippe(qm, QStringLiteral("12.25"));
  QCOMPARE(dynamic_cast<const TBauwerk&>(f->Kopie()).QD, 12.25);
  // No "-0,00" where a value rounds to zero: the foul-sewer net's O2 at qr = 0.
  {
    auto g = ErzeugeElementDialog(*d, Id(*d, "Gewerbe"), dialoge, nullptr);
    QCOMPARE(Zelle(g->Liste(QStringLiteral("Ablauf")), 7, 2), QStringLiteral("0,00"));
  }
  // Nothing of it reached the project.
  QVERIFY(!d->Modified());
  f->reject();
}

void TestElementdialoge::OKIstEinCommitUndAendertDieUnterlieger() {
  auto d = Beispiel();
  QTemporaryDir ordner;
  const TElement* est = Element(*d, "Einleitung Mühlbach");
  const double vorher = est->AB[5].Q;
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
  QVERIFY(f);
  f->show();
  auto* ed = f->Steuerung("CDSKEZ.ED");
  for (int i = 0; i < f->Seiten()->count(); ++i)
    if (f->Seiten()->widget(i)->isAncestorOf(ed)) f->Seiten()->setCurrentIndex(i);
  Tippe(ed, QStringLiteral("120,5"));
  const uint64_t rev = d->Revision();
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  QCOMPARE(f->result(), int(QDialog::Accepted));
  QVERIFY(d->Modified());
  QVERIFY(d->Revision() != rev);
  QVERIFY(d->KannRueckgaengig());
  QCOMPARE(QString::fromStdString(d->RueckgaengigTitel()),
           QStringLiteral("Mischwassernetz bearbeiten"));
  QCOMPARE(dynamic_cast<const TKEZ*>(Element(*d, "Altstadt"))->ED, 120.5);
  // The downstream discharge point follows: more inhabitants, more dry-weather flow.
  est = Element(*d, "Einleitung Mühlbach");
  QVERIFY(est->AB[0].Q != 0);
  QVERIFY(std::fabs(est->AB[5].Q - vorher) > 1e-9);
  // The saved project, opened and computed again, gives the same outflows.
  std::string fehler;
  const std::string basis = QDir(ordner.path()).filePath(QStringLiteral("ok")).toStdString();
  QVERIFY2(d->SpeichernUnter(basis, fehler), fehler.c_str());
  TLadeErgebnis e;
  auto wieder = TDokument::Oeffnen(basis, e);
  QVERIFY(wieder);
  for (const char* n : {"Altstadt", "Sammler", "RÜB Mitte", "Einleitung Mühlbach"})
    VergleicheAB(*Element(*d, n), *Element(*wieder, n), n);
  // And t21 verify on the saved file prints what the window computed.
  const QString q = VerifyQ128(basis, QStringLiteral("Einleitung Mühlbach"));
  QCOMPARE(q, QLocale().toString(Element(*d, "Einleitung Mühlbach")->AB[9].Q, 'f', 1));
  QVERIFY(q != VerifyQ128(kBeispiel, QStringLiteral("Einleitung Mühlbach")));
  // One undo brings the example back.
  d->Rueckgaengig();
  QCOMPARE(Element(*d, "Einleitung Mühlbach")->AB[5].Q, vorher);
}

void TestElementdialoge::AbbrechenEscUndSchliessenLassenDasProjekt() {
  QTemporaryDir ordner;
  for (int art = 0; art < 3; ++art) {
    auto d = Beispiel();
    std::string fehler;
    const std::string a =
        QDir(ordner.path()).filePath(QStringLiteral("vorher%1").arg(art)).toStdString();
    const std::string b =
        QDir(ordner.path()).filePath(QStringLiteral("nachher%1").arg(art)).toStdString();
    QVERIFY(d->SpeichernUnter(a, fehler));
    for (const char* name : {"RÜB Mitte", "Altstadt", "Einleitung Mühlbach", "Sammler"}) {
      TFalscheDialoge dialoge;
      auto f = ErzeugeElementDialog(*d, Id(*d, name), dialoge, nullptr);
      QVERIFY(f);
      f->show();
      QVERIFY(QTest::qWaitForWindowExposed(f.get()));
      // Change every number field the user can reach.
      for (TZahlFeld* z : f->findChildren<TZahlFeld*>())
        if (Erreichbar(z, *f) && z->objectName().startsWith(QLatin1String("CDS"))) {
          for (int i = 0; i < f->Seiten()->count(); ++i)
            if (f->Seiten()->widget(i)->isAncestorOf(z)) f->Seiten()->setCurrentIndex(i);
          Tippe(z, QStringLiteral("3"));
        }
      if (art == 0)
        QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                          Qt::LeftButton);
      else if (art == 1)
        QTest::keyClick(f.get(), Qt::Key_Escape);
      else
        f->close();
      QCOMPARE(f->result(), int(QDialog::Rejected));
      QVERIFY(!d->Modified());
    }
    QVERIFY(d->SpeichernUnter(b, fehler));
    QVERIFY(Inhalt(a + ".T21") == Inhalt(b + ".T21"));
  }
}

void TestElementdialoge::F4UndF5() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "RÜB Mitte"), dialoge, nullptr);
  f->show();
  QVERIFY(QTest::qWaitForWindowExposed(f.get()));
  TTabelle& ebw = f->Arbeitstabellen().T("CDSEbw");
  const int qm = ebw.Schema().Index("QM"), neben = ebw.Schema().Index("Nebenschluss");
  auto* feld = qobject_cast<TZahlFeld*>(f->Steuerung("CDSEbw.QM"));
  Tippe(feld, QStringLiteral("77,5"));
  QTest::keyClick(feld, Qt::Key_F4);
  QCOMPARE(QString::fromStdString(ebw.Vorgabe(qm)), QStringLiteral("77,5"));
  // ... in the project's tables too, for new elements and its defaults file.
  QCOMPARE(QString::fromStdString(d->Tabellen().T("CDSEbw").Vorgabe(qm)), QStringLiteral("77,5"));
  // F5: the design-time default back, in the record, the control and the result.
  QTest::keyClick(feld, Qt::Key_F5);
  QCOMPARE(QString::fromStdString(ebw.Vorgabe(qm)), QStringLiteral("0,0"));
  QCOMPARE(QString::fromStdString(d->Tabellen().T("CDSEbw").Vorgabe(qm)), QStringLiteral("0,0"));
  QCOMPARE(feld->text(), QStringLiteral("0"));
  QCOMPARE(dynamic_cast<const TBauwerk&>(f->Kopie()).QD, 0.0);
  // A check box: TRUE / FALSE.
  auto* box = qobject_cast<QCheckBox*>(f->Steuerung("CDSEbw.Nebenschluss"));
  QVERIFY(box);
  box->setChecked(true);
  QTest::keyClick(box, Qt::Key_F4);
  QCOMPARE(QString::fromStdString(ebw.Vorgabe(neben)), QStringLiteral("TRUE"));
  QTest::keyClick(box, Qt::Key_F5);
  QCOMPARE(QString::fromStdString(ebw.Vorgabe(neben)), QStringLiteral("FALSE"));
  QVERIFY(!box->isChecked());
  // A text: quoted.
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Lage")));
  auto* strasse = qobject_cast<QComboBox*>(f->Steuerung("CDSHyd.STRASSE"));
  strasse->setCurrentText(QStringLiteral("Hauptstraße"));
  QTest::keyClick(strasse, Qt::Key_F4);
  TTabelle& hyd = f->Arbeitstabellen().T("CDSHyd");
  QCOMPARE(QString::fromStdString(hyd.Vorgabe(hyd.Schema().Index("STRASSE"))),
           QStringLiteral("'Hauptstraße'"));
  f->reject();
  QVERIFY(!d->Modified());
}

void TestElementdialoge::BemessungGleichDerDesRechenkerns() {
  auto d = Beispiel();
  // A clarifier and an overflow beside the example's tank.
  {
    TCommit c = d->Beginne("Neu");
    TCadShape* rkb = c.Erzeuge("RKB", "RKB 1", 10, 10);
    TCadShape* ru = c.Erzeuge("RU", "RU 1", 20, 10);
    TCadShape* alt = c.Model().Liste.Find("Neubaugebiet");
    c.Aendern(alt);
    alt->SetParent(rkb);
    rkb->SetParent(ru);
    ru->SetParent(c.Model().Liste.Find("Einleitung Mühlbach"));
    d->Push(c);
  }
  for (const char* name : {"RÜB Mitte", "RKB 1", "RU 1"}) {
    TFalscheDialoge dialoge;
    auto f = ErzeugeElementDialog(*d, Id(*d, name), dialoge, nullptr);
    QVERIFY(f);
    auto* ebw = dynamic_cast<TFormEBW*>(f.get());
    QVERIFY(ebw);
    const auto* e = dynamic_cast<const TEBW*>(Element(*d, name));
    const auto soll = e->Bemessungsliste(TRechnung{d->Zufluss(Id(*d, name)), d->Model().Netz()});
    QVERIFY(!soll.empty());
    QTreeWidget* l = ebw->Bemessung();
    QCOMPARE(l->topLevelItemCount(), static_cast<int>(soll.size()));
    for (size_t i = 0; i < soll.size(); ++i) {
      QCOMPARE(Zelle(l, int(i), 0), QString::fromStdString(soll[i].Bezeichner));
      QCOMPARE(Zelle(l, int(i), 1), QString::fromStdString(soll[i].Groesse));
      QCOMPARE(Zelle(l, int(i), 2), QString::fromStdString(soll[i].Wert));
      QCOMPARE(Zelle(l, int(i), 3), QString::fromStdString(soll[i].Dimension));
    }
    // The result page opens on the design list for tanks and clarifiers.
    const bool ru = std::string(name) == "RU 1";
    QCOMPARE(f->Ergebnisse()->tabText(f->Ergebnisse()->currentIndex()),
             ru ? QStringLiteral("Ablauf") : QStringLiteral("Bemessung"));
  }
}

void TestElementdialoge::UngueltigeRegendatei() {
  auto d = Beispiel();
  QTemporaryDir ordner;
  const QString datei = QDir(ordner.path()).filePath(QStringLiteral("kaputt.REG"));
  {
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("abc def\nxyz\n");
  }
  TFalscheDialoge dialoge;
  dialoge.Dateien.push_back(datei);
  auto f = ErzeugeElementDialog(*d, Id(*d, "Regenschreiber 1"), dialoge, nullptr);
  auto* reg = dynamic_cast<TFormREG*>(f.get());
  QVERIFY(reg);
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("DateiWaehlen")), Qt::LeftButton);
  QCOMPARE(reg->Kopf()->toPlainText(),
           QStringLiteral("Ungültige Regendatei kann nicht geöffnet werden."));
  // A file that does not exist: the same, and nothing ends.
  dialoge.Dateien.push_back(QDir(ordner.path()).filePath(QStringLiteral("fehlt.REG")));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("DateiWaehlen")), Qt::LeftButton);
  QCOMPARE(reg->Kopf()->toPlainText(),
           QStringLiteral("Ungültige Regendatei kann nicht geöffnet werden."));
}

void TestElementdialoge::RegendateiZeigtDenKopf() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  dialoge.Dateien.push_back(
      QString::fromStdString(std::string(T21_QUELLE) + "/beispiel/Beispiel_Regen.REG"));
  auto f = ErzeugeElementDialog(*d, Id(*d, "Regenschreiber 1"), dialoge, nullptr);
  auto* reg = dynamic_cast<TFormREG*>(f.get());
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("DateiWaehlen")), Qt::LeftButton);
  const QStringList z = reg->Kopf()->toPlainText().split(QLatin1Char('\n'));
  QCOMPARE(z.size(), 5);
  QVERIFY(z[0].startsWith(QStringLiteral("Nummer des Regenschreibers: ")));
  QVERIFY(z[2].startsWith(QStringLiteral("Intervallbreite:            ")));
  QVERIFY(z[2].endsWith(QStringLiteral(" min")));
  QVERIFY(z[3].startsWith(QStringLiteral("Anfangsdatum:               ")));
}

void TestElementdialoge::UnlesbareZahlSperrtOK() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "Sammler"), dialoge, nullptr);
  f->show();
  auto* tf = qobject_cast<TZahlFeld*>(f->Steuerung("CDSCON.TF"));
  const double vorher = dynamic_cast<const TCON*>(Element(*d, "Sammler"))->TF;
  Tippe(tf, QStringLiteral("1,2,3"));
  QVERIFY(tf->Markiert());
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  QVERIFY(f->isVisible());
  QCOMPARE(dialoge.Meldungen.size(), 1);
  QCOMPARE(dialoge.Meldungen[0], QStringLiteral("'1,2,3' ist keine gültige Zahl."));
  QVERIFY(!d->Modified());
  // The copy still computes with the last readable value ("1,2").
  QVERIFY(vorher != 1.2);
  QCOMPARE(dynamic_cast<const TCON&>(f->Kopie()).TF, 1.2);
  Tippe(tf, QStringLiteral("abc"));
  QVERIFY(tf->Markiert());
  Tippe(tf, QStringLiteral("7,5"));
  QVERIFY(!tf->Markiert());
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  QCOMPARE(f->result(), int(QDialog::Accepted));
  QCOMPARE(dynamic_cast<const TCON*>(Element(*d, "Sammler"))->TF, 7.5);
}

void TestElementdialoge::GrenzenNurAmEingabefeld() {
  auto d = Beispiel();
  // A stored inhabitant density above the dialog's limit of 300.
  {
    TCommit c = d->Beginne("ED");
    TCadShape* s = c.Aendern(Id(*d, "Altstadt"));
    dynamic_cast<TKEZ*>(TM3Model::ElementOf(s))->ED = 450;
    d->Push(c);
  }
  TFalscheDialoge dialoge;
  {
    auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
    f->show();
    QCOMPARE(qobject_cast<TZahlFeld*>(f->Steuerung("CDSKEZ.ED"))->text(), QStringLiteral("450"));
    // OK without touching it keeps it.
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    QCOMPARE(f->result(), int(QDialog::Accepted));
    QCOMPARE(dynamic_cast<const TKEZ*>(Element(*d, "Altstadt"))->ED, 450.0);
  }
  {
    // Typed: the limit holds.
    auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
    f->show();
    QWidget* ed = f->Steuerung("CDSKEZ.ED");
    for (int i = 0; i < f->Seiten()->count(); ++i)
      if (f->Seiten()->widget(i)->isAncestorOf(ed)) f->Seiten()->setCurrentIndex(i);
    Tippe(ed, QStringLiteral("301"));
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    QVERIFY(f->isVisible());
    QCOMPARE(dialoge.Meldungen.size(), 1);
    QCOMPARE(dialoge.Meldungen[0],
             QStringLiteral("Einwohnerdichte ED: Der Wert muss zwischen 0 und 300 liegen."));
    f->reject();
  }
}

void TestElementdialoge::TeilflaechenUndAbbrechen() {
  auto d = Beispiel();
  const auto vorher = dynamic_cast<const TKEZ*>(Element(*d, "Altstadt"))->AEs.Liste;
  QVERIFY(!vorher.empty());
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
  auto* k = dynamic_cast<TFormKEZ*>(f.get());
  f->show();
  const double aeb = dynamic_cast<const TKEZ&>(f->Kopie()).AEb;
  QCOMPARE(k->Teilflaechen()->topLevelItemCount(), int(vorher.size()));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("FlaecheNeu")), Qt::LeftButton);
  QVERIFY(k->Flaecheneditor()->isVisible());
  QVERIFY(!f->findChild<QPushButton*>(QStringLiteral("OKButton"))->isEnabled());
  Tippe(f->findChild<QWidget*>(QStringLiteral("Teilflaeche.Bezeichnung")), QStringLiteral("Dach"));
  Tippe(f->findChild<QWidget*>(QStringLiteral("Teilflaeche.AE")), QStringLiteral("2,5"));
  Tippe(f->findChild<QWidget*>(QStringLiteral("Teilflaeche.B")), QStringLiteral("80"));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("FlaecheUebernehmen")),
                    Qt::LeftButton);
  QVERIFY(!k->Flaecheneditor()->isVisible());
  QCOMPARE(k->Teilflaechen()->topLevelItemCount(), int(vorher.size()) + 1);
  QCOMPARE(Zelle(k->Teilflaechen(), int(vorher.size()), 5), QStringLiteral("2,00"));
  QCOMPARE(dynamic_cast<const TKEZ&>(f->Kopie()).AEb, aeb + 2.0);
  // Delete the first one.
  k->Teilflaechen()->setCurrentItem(k->Teilflaechen()->topLevelItem(0));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("FlaecheLoeschen")), Qt::LeftButton);
  QCOMPARE(k->Teilflaechen()->topLevelItemCount(), int(vorher.size()));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
  const auto nachher = dynamic_cast<const TKEZ*>(Element(*d, "Altstadt"))->AEs.Liste;
  QCOMPARE(nachher.size(), vorher.size());
  for (size_t i = 0; i < vorher.size(); ++i) {
    QCOMPARE(nachher[i].Bezeichnung, vorher[i].Bezeichnung);
    QCOMPARE(nachher[i].AE, vorher[i].AE);
  }
  // Opened again, the list is the one of the project.
  auto g = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
  QCOMPARE(dynamic_cast<TFormKEZ*>(g.get())->Teilflaechen()->topLevelItemCount(),
           int(vorher.size()));
}

void TestElementdialoge::ScriptPruefen() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "RÜB Mitte"), dialoge, nullptr);
  auto* text = qobject_cast<QPlainTextEdit*>(f->Steuerung("CDSHyd.Script"));
  QVERIFY(text);
  text->setPlainText(QStringLiteral("a := 1 +;"));
  QTest::mouseClick(f->findChild<QPushButton*>(QString::fromUtf8("prüfen")), Qt::LeftButton);
  QString m = f->Scriptmeldungen()->toPlainText();
  QVERIFY2(m.contains(QStringLiteral("Fehler")), qPrintable(m));
  QVERIFY(!m.contains(QStringLiteral("PrepareScript")));
  text->setPlainText(QStringLiteral("a := 2 * 3;"));
  QTest::mouseClick(f->findChild<QPushButton*>(QString::fromUtf8("prüfen")), Qt::LeftButton);
  m = f->Scriptmeldungen()->toPlainText();
  QVERIFY2(m.contains(QStringLiteral("=6")) || m.contains(QStringLiteral("= 6")), qPrintable(m));
  QVERIFY(m.contains(QStringLiteral("1000 * PrepareScript: ")));
  QVERIFY(m.contains(QStringLiteral("1000 * DoScript: ")));
  QVERIFY(m.contains(QStringLiteral("Ausführungszeit bei dt = 5 min etwa ")));
  // "löschen" clears both memos; OK takes the script and its flag.
  auto* aktiv = qobject_cast<QCheckBox*>(f->Steuerung("CDSHyd.ScriptAktiv"));
  aktiv->setChecked(true);
  f->accept();
  const TElement* e = Element(*d, "RÜB Mitte");
  QVERIFY(e->ScriptActive);
  QCOMPARE(e->Script.size(), size_t(1));
  QCOMPARE(QString::fromStdString(e->Script[0]), QStringLiteral("a := 2 * 3;"));
  QVERIFY(!e->Tokens.empty());
  auto g = ErzeugeElementDialog(*d, Id(*d, "RÜB Mitte"), dialoge, nullptr);
  QTest::mouseClick(g->findChild<QPushButton*>(QString::fromUtf8("löschen")), Qt::LeftButton);
  QVERIFY(qobject_cast<QPlainTextEdit*>(g->Steuerung("CDSHyd.Script"))->toPlainText().isEmpty());
  QVERIFY(g->Scriptmeldungen()->toPlainText().isEmpty());
}

void TestElementdialoge::NetzAusDenDialogenGleichDemBeispiel() {
  // The example reduced to one catchment, the tank and the discharge point.
  auto b = Beispiel();
  {
    TCommit c = b->Beginne("Kleiner");
    for (const char* n : {"Neubaugebiet", "Gewerbe"}) c.Entferne(Id(*b, n));
    TCadShape* alt = c.Aendern(Id(*b, "Altstadt"));
    alt->SetParent(c.Model().Liste.Find("RÜB Mitte"));
    c.Entferne(Id(*b, "Sammler"));
    b->Push(c);
  }
  // The same network from new elements; their data only through the dialogs.
  TDokument n;
  {
    TCommit c = n.Beginne("Neu");
    TCadShape* kem = c.Erzeuge("KEM", "Altstadt", 0, 0);
    TCadShape* rub = c.Erzeuge("RUB", "RÜB Mitte", 50, 0);
    TCadShape* est = c.Erzeuge("EST", "Einleitung Mühlbach", 100, 0);
    kem->SetParent(rub);
    kem->SetGEW(est);
    rub->SetParent(est);
    rub->SetKUE(est);
    rub->SetGEW(est);
    n.Push(c);
  }
  TFalscheDialoge dialoge;
  for (const char* name :
       {"geschlossenes Siedlungsgebiet", "Altstadt", "RÜB Mitte", "Einleitung Mühlbach"}) {
    const bool wurzel = std::string(name) == kWurzelName;
    auto quelle =
        ErzeugeElementDialog(*b, wurzel ? b->Model().Root()->Id : Id(*b, name), dialoge, nullptr);
    auto ziel =
        ErzeugeElementDialog(n, wurzel ? n.Model().Root()->Id : Id(n, name), dialoge, nullptr);
    QVERIFY(quelle && ziel);
    ziel->show();
    QVERIFY(QTest::qWaitForWindowExposed(ziel.get()));
    if (auto* k = dynamic_cast<TFormKEZ*>(quelle.get())) {
      auto* kz = dynamic_cast<TFormKEZ*>(ziel.get());
      ziel->Seiten()->setCurrentWidget(ziel->Seite(QStringLiteral("Flächen")));
      for (const TAE& a : k->Flaechen()) {
        QTest::mouseClick(ziel->findChild<QPushButton*>(QStringLiteral("FlaecheNeu")),
                          Qt::LeftButton);
        Tippe(ziel->findChild<QWidget*>(QStringLiteral("Teilflaeche.Bezeichnung")),
              QString::fromStdString(a.Bezeichnung));
        Tippe(ziel->findChild<QWidget*>(QStringLiteral("Teilflaeche.AE")), ZahlAlsText(a.AE));
        Tippe(ziel->findChild<QWidget*>(QStringLiteral("Teilflaeche.B")), ZahlAlsText(a.B));
        Tippe(ziel->findChild<QWidget*>(QStringLiteral("Teilflaeche.PSI")), ZahlAlsText(a.fD));
        ziel->findChild<QComboBox*>(QStringLiteral("Teilflaeche.Kategorie"))
            ->setCurrentIndex(a.Kategorie - 1);
        QTest::mouseClick(ziel->findChild<QPushButton*>(QStringLiteral("FlaecheUebernehmen")),
                          Qt::LeftButton);
      }
      QCOMPARE(kz->Flaechen().size(), k->Flaechen().size());
    }
    Abschreiben(*quelle, *ziel);
    QVERIFY2(ziel->Eingabefehler().isEmpty(), qPrintable(ziel->Eingabefehler()));
    QTest::mouseClick(ziel->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    QCOMPARE(ziel->result(), int(QDialog::Accepted));
  }
  for (const char* name : {"Altstadt", "RÜB Mitte", "Einleitung Mühlbach"})
    VergleicheAB(*Element(*b, name), *Element(n, name), name);
  const auto* r1 = dynamic_cast<const TRUB*>(Element(*b, "RÜB Mitte"));
  const auto* r2 = dynamic_cast<const TRUB*>(Element(n, "RÜB Mitte"));
  QCOMPARE(r2->Verf, r1->Verf);
  VergleicheAB(r1->KUE, r2->KUE, "KÜ");
  VergleicheAB(r1->BUE, r2->BUE, "BÜ");
}

void TestElementdialoge::ProjektdialogRegenspenden() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, d->Model().Root()->Id, dialoge, nullptr);
  auto* net = dynamic_cast<TFormNET*>(f.get());
  QVERIFY(net);
  f->show();
  const auto r = net->Regenspenden();
  QCOMPARE(r.size(), size_t(18));
  QCOMPARE(r[2], d->Model().Netz().Spenden.values[3]);
  QWidget* grafik = f->Seite(QStringLiteral("Grafik Regenspenden"));
  QCOMPARE(Kurvenpunkte(grafik).size(), size_t(18));
  // Typing an intensity redraws the chart.
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Regen")));
  Tippe(f->Steuerung("CDSKOS.R15"), QStringLiteral("111,5"));
  QCOMPARE(Kurvenpunkte(grafik)[2].second, 111.5);
  // The choice of the rain-runoff method recomputes and is stored.
  auto* direkt = f->Steuerung("CDSNet.ZEBEV")->findChildren<QRadioButton*>().value(1);
  QVERIFY(direkt);
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Hydrologie")));
  QVERIFY(QTest::qWaitForWindowExposed(f.get()));
  // On its indicator: the button is as wide as the page, its text is not.
  QTest::mouseClick(direkt, Qt::LeftButton, {}, QPoint(6, direkt->height() / 2));
  QCOMPARE(dynamic_cast<const TNET&>(f->Kopie()).ZEBEV, 1);
  f->accept();
  QCOMPARE(d->Model().Netz().ZEBEV, 1);
  QCOMPARE(d->Model().Netz().Spenden.GetR15(), 111.5);
}

void TestElementdialoge::StandardKnoepfe() {
  auto d = Beispiel();
  uint64_t oma = 0, klg = 0;
  {
    TCommit c = d->Beginne("Neu");
    oma = c.Erzeuge("OMA", "M 1", 0, 0)->Id;
    klg = c.Erzeuge("KLG", "K 1", 0, 0)->Id;
    d->Push(c);
  }
  TFalscheDialoge dialoge;
  {
    auto f = ErzeugeElementDialog(*d, oma, dialoge, nullptr);
    auto wert = [&](const char* s) { return qobject_cast<QLineEdit*>(f->Steuerung(s))->text(); };
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("BodenfilterStandard")),
                      Qt::LeftButton);
    QCOMPARE(wert("CDSOma.BSB"), QStringLiteral("80"));
    QCOMPARE(wert("CDSOma.NH4"), QStringLiteral("60"));
    QCOMPARE(wert("CDSOma.AFS"), QStringLiteral("90"));
    QCOMPARE(wert("CDSOma.CSB"), QStringLiteral("80"));
    QCOMPARE(dynamic_cast<const TOMA&>(f->Kopie()).ETA.BSB, 0.8);
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("RetentionStandard")),
                      Qt::LeftButton);
    for (const char* s :
         {"CDSOma.BSB", "CDSOma.NH4", "CDSOma.AFS", "CDSOma.CSB", "CDSOma.PH", "CDSOma.ALK"})
      QCOMPARE(wert(s), QStringLiteral("0"));
    for (const char* s : {"CDSOma.DO2", "CDSOma.DO2KUE", "CDSOma.DO2BUE"})
      QCOMPARE(wert(s), QStringLiteral("10"));
    QCOMPARE(dynamic_cast<const TOMA&>(f->Kopie()).ETA.BSB, 0.0);
  }
  {
    auto f = ErzeugeElementDialog(*d, klg, dialoge, nullptr);
    f->show();
    f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Kenndaten")));
    Tippe(f->Steuerung("CDSKlg.NH4"), QStringLiteral("33"));
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("Standardvorgaben")),
                      Qt::LeftButton);
    QCOMPARE(qobject_cast<QLineEdit*>(f->Steuerung("CDSKlg.NH4"))->text(), QStringLiteral("10"));
  }
  {
    // The household concentrations from the water consumption.
    auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
    f->show();
    f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Trockenwetter")));
    Tippe(f->Steuerung("CDSKEZ.WS"), QStringLiteral("150"));
    f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Konzentrationen")));
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("AusWasserverbrauch")),
                      Qt::LeftButton);
    QCOMPARE(qobject_cast<QLineEdit*>(f->Steuerung("CDSKEZ.CHBSB"))->text(), QStringLiteral("400"));
    QCOMPARE(dynamic_cast<const TKEZ&>(f->Kopie()).CH.BSB, 400.0);
    // Too little water: the message, the standard values.
    f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Trockenwetter")));
    Tippe(f->Steuerung("CDSKEZ.WS"), QStringLiteral("10"));
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("AusWasserverbrauch")),
                      Qt::LeftButton);
    QCOMPARE(dialoge.Meldungen.value(0),
             QStringLiteral("Der spezifische Wasserverbrauch ws muss größer als 20 l/(E*d) sein"));
    QCOMPARE(qobject_cast<QLineEdit*>(f->Steuerung("CDSKEZ.CHBSB"))->text(), QStringLiteral("500"));
    f->reject();
  }
  QVERIFY(d->Revision() > 0);
}

void TestElementdialoge::LageUndGrafik() {
  auto d = Beispiel();
  const TCadShape* s = d->Model().Liste.Find("RÜB Mitte");
  const double x1 = s->X1, y1 = s->Y1, breite = s->X2 - s->X1;
  TFalscheDialoge dialoge;
  dialoge.Dateien.push_back(QStringLiteral("Am Bach"));  // the answer to "Name ?"
  auto f = ErzeugeElementDialog(*d, s->Id, dialoge, nullptr);
  f->show();
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Lage")));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("NeueStrasse")), Qt::LeftButton);
  QCOMPARE(qobject_cast<QComboBox*>(f->Steuerung("CDSHyd.STRASSE"))->currentText(),
           QStringLiteral("Am Bach"));
  Tippe(f->Steuerung("CDSHyd.RW"), QStringLiteral("3500123,5"));
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Grafik")));
  Tippe(f->findChild<QWidget*>(QStringLiteral("X1")), ZahlAlsText(x1 + 10));
  f->findChild<QGroupBox*>(QStringLiteral("Textposition"))
      ->findChildren<QRadioButton*>()
      .value(4)
      ->setChecked(true);
  TSchrift schrift = s->Font;
  schrift.Size = 14;
  schrift.Fett = true;
  f->SetzeSchrift(schrift);
  f->accept();
  s = d->Model().Liste.Find("RÜB Mitte");
  QCOMPARE(s->X1, x1 + 10);
  QCOMPARE(s->Y1, y1);
  QCOMPARE(s->X2 - s->X1, breite);
  QCOMPARE(s->TextPos, 12);
  QCOMPARE(s->Font, schrift);
  const TElement* e = Element(*d, "RÜB Mitte");
  QCOMPARE(QString::fromStdString(e->SUM.Strasse), QStringLiteral("Am Bach"));
  QCOMPARE(e->SUM.RW, 3500123.5);
  // The new street is the project's: every dialog offers it, also after
  // saving and opening.
  auto angeboten = [&](TDokument& dok) {
    auto g = ErzeugeElementDialog(dok, Id(dok, "Altstadt"), dialoge, nullptr);
    auto* box = qobject_cast<QComboBox*>(g->Steuerung("CDSHyd.STRASSE"));
    // Offered to the other element, which keeps its own street.
    return box->findText(QStringLiteral("Am Bach")) >= 0 &&
           box->currentText() != QStringLiteral("Am Bach");
  };
  QVERIFY(angeboten(*d));
  QTemporaryDir ablage;
  std::string fehler;
  const std::string datei = QDir(ablage.path()).filePath(QStringLiteral("strasse")).toStdString();
  QVERIFY(d->SpeichernUnter(datei, fehler));
  TLadeErgebnis le;
  auto wieder = TDokument::Oeffnen(datei, le);
  QVERIFY(wieder);
  QVERIFY(angeboten(*wieder));
  // One step back: all of it, the street too.
  d->Rueckgaengig();
  s = d->Model().Liste.Find("RÜB Mitte");
  QCOMPARE(s->X1, x1);
  QVERIFY(Element(*d, "RÜB Mitte")->SUM.Strasse != "Am Bach");
  QVERIFY(!angeboten(*d));
}

void TestElementdialoge::StrassenDesProgramms() {
  // The program's street list: every dialog offers it, "neu..." extends it
  // by a name it does not hold yet.
  auto d = Beispiel();
  TTabelle strassen(std::make_shared<TSchema>(d->Tabellen().T("CDSStrassen").Schema()));
  strassen.Setze(strassen.Anhaengen(), "STRASSE", std::string("Mühlweg"));
  TMusterForm::SetzeStrassentabelle(&strassen);
  TFalscheDialoge dialoge;
  dialoge.Dateien = {QStringLiteral("Lindenallee"), QStringLiteral("Mühlweg")};
  auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
  auto* box = qobject_cast<QComboBox*>(f->Steuerung("CDSHyd.STRASSE"));
  QVERIFY(box->findText(QStringLiteral("Mühlweg")) >= 0);
  auto* neu = f->findChild<QPushButton*>(QStringLiteral("NeueStrasse"));
  QTest::mouseClick(neu, Qt::LeftButton);
  QTest::mouseClick(neu, Qt::LeftButton);
  QCOMPARE(strassen.Anzahl(), 2);
  QCOMPARE(AlsText(strassen.Wert(1, "STRASSE")), std::string("Lindenallee"));
  f->reject();
  auto g = ErzeugeElementDialog(*d, Id(*d, "RÜB Mitte"), dialoge, nullptr);
  QVERIFY(qobject_cast<QComboBox*>(g->Steuerung("CDSHyd.STRASSE"))
              ->findText(QStringLiteral("Lindenallee")) >= 0);
  TMusterForm::SetzeStrassentabelle(nullptr);
}

void TestElementdialoge::VorgabenDesProjekts() {
  // A project whose defaults file gives the plant another NH4 effluent.
  QTemporaryDir ordner;
  auto d = Beispiel();
  std::string fehler;
  const std::string basis = QDir(ordner.path()).filePath(QStringLiteral("def")).toStdString();
  QVERIFY(d->SpeichernUnter(basis, fehler));
  {
    std::ofstream def(basis + ".DEF", std::ios::binary);
    def << "CDSKlgNH4=4,5\r\n";
  }
  TLadeErgebnis e;
  d = TDokument::Oeffnen(basis, e);
  QVERIFY(d);
  uint64_t klg = 0;
  {
    TCommit c = d->Beginne("Neu");
    klg = c.Erzeuge("KLG", "K 1", 0, 0)->Id;
    d->Push(c);
  }
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, klg, dialoge, nullptr);
  f->show();
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Kenndaten")));
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("Standardvorgaben")), Qt::LeftButton);
  QCOMPARE(qobject_cast<QLineEdit*>(f->Steuerung("CDSKlg.NH4"))->text(), QStringLiteral("4,5"));
  // F5 is the design-time value, whatever the project says.
  QWidget* nh4 = f->Steuerung("CDSKlg.NH4");
  nh4->setFocus();
  QTest::keyClick(nh4, Qt::Key_F5);
  QCOMPARE(qobject_cast<QLineEdit*>(nh4)->text(), QStringLiteral("10"));
}

void TestElementdialoge::GanglinieNeuAbgebrochen() {
  auto d = Beispiel();
  TFalscheDialoge dialoge;
  auto f = ErzeugeElementDialog(*d, Id(*d, "Altstadt"), dialoge, nullptr);
  f->show();
  f->Seiten()->setCurrentWidget(f->Seite(QStringLiteral("Ganglinien")));
  auto* liste = qobject_cast<QComboBox*>(f->Steuerung("CDSKEZ.SWGL"));
  const int anzahl = liste->count(), gewaehlt = liste->currentIndex();
  bool offen = false;
  QTimer::singleShot(200, [&] {
    if (QWidget* w = QApplication::activeModalWidget(); w && w != f.get()) {
      offen = true;
      static_cast<QDialog*>(w)->reject();
    }
  });
  QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("NeuSWGL")), Qt::LeftButton);
  QVERIFY(offen);
  QCOMPARE(liste->count(), anzahl);
  QCOMPARE(liste->currentIndex(), gewaehlt);
  f->reject();
  QVERIFY(!d->Modified());
}

QTEST_MAIN(TestElementdialoge)
#include "test_elementdialoge.moc"
