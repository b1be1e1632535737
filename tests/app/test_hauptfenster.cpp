// The main window without a display: its menus and tool bar, the open
// projects in "&Modelle", the questions before a changed project is
// dropped, saving and its refusals, undo and redo through the menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/hauptfenster.h"
#include "app/basis/hilfe.h"
#include "cad/geometrie.h"
#include "document/dokument.h"
#include "qtsupport/falsche_dialoge.h"
#include "model/network.h"
#include "painting/zeichenansicht.h"
#include "storage/projekttabellen.h"

using t21::TDialoge;
using t21::TMainFrm;
using A = TDialoge::TAntwort;

namespace {

QString Beispiel() {
  return QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21");
}

// A change of the current project (one undo step).
void Aendern(TMainFrm& f) {
  f.Aktion("Bearbeiten_EditorAutomatischClick")->trigger();
}

QStringList Modelle(const TMainFrm& f) {
  QStringList l;
  for (QAction* a : f.ModelleMenue()->actions()) l << QFileInfo(a->text()).fileName();
  return l;
}

QString Name(const TMainFrm& f) {
  return QFileInfo(QString::fromStdString(f.Aktuell()->DateiName())).fileName();
}

struct TEintrag {
  QString Menue, Text, Taste;
  bool Aktiv;
};

}  // namespace

class TestHauptfenster : public QObject {
  Q_OBJECT

  QTemporaryDir FProgramm;

  std::unique_ptr<TMainFrm> Fenster(TFalscheDialoge& d) {
    auto f = std::make_unique<TMainFrm>(d, FProgramm.path());
    f->Starte(false);
    return f;
  }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void TitelUndMenueleiste() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    QVERIFY(f->windowTitle().startsWith(QStringLiteral("QTZ Tamkor21 - ")));
    QStringList titel;
    for (QAction* a : f->menuBar()->actions()) titel << a->text();
    QCOMPARE(titel, QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&Simulation", "&Modelle",
                                 "&Einfügen", "&Zusätzlich", "Kunde", "&Hilfe"}));
  }

  void JederMenueeintrag() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    // Caption, key and whether it works now, in menu order. Commands of
    // windows that are not there yet are disabled.
    const std::vector<TEintrag> soll = {
        {"&Datei", "&Neu", "Ctrl+N", true},
        {"&Datei", "Ö&ffnen...", "Ctrl+O", true},
        {"&Datei", "Schließen...", "", true},
        {"&Datei", "&Speichern", "Ctrl+S", true},
        {"&Datei", "Speichern &unter...", "Ctrl+U", true},
        {"&Datei", "&Drucken...", "Ctrl+P", true},
        {"&Datei", "&Export", "", true},
        {"&Datei", "&Beenden", "F4", true},
        {"&Export", "&CSV-File in Zwischenablage", "Ctrl+C", true},
        {"&Export", "&EXCEL-Mappe", "Ctrl+E", true},
        {"&Export", "&Metadatei in Zwischenablage", "Ctrl+M", true},
        {"&Export", "&Bitmap in Zwischenablage", "Ctrl+B", true},
        {"&Export", "In &Datei...", "Ctrl+D", true},
        {"&Bearbeiten", "&Rückgängig", "Ctrl+Z", false},
        {"&Bearbeiten", "&Wiederherstellen", "Ctrl+Y", false},
        {"&Bearbeiten", "Editor automatisch &öffnen", "", true},
        {"&Bearbeiten", "&Neue Komponenten am Raster ausrichten", "", true},
        {"&Bearbeiten", "&Ausschneiden", "Ctrl+X", false},
        {"&Bearbeiten", "&Kopieren", "Ctrl+C", false},
        {"&Bearbeiten", "&Einfügen", "Ctrl+V", false},
        {"&Bearbeiten", "&Editieren...", "Ctrl+E", true},
        {"&Bearbeiten", "&Löschen", "Del", false},
        {"&Bearbeiten", "&Umbenennen...", "F2", false},
        {"&Bearbeiten", "&Grafikeigenschaften...", "Ctrl+G", false},
        {"&Bearbeiten", "&Rechts- und Hochwerte übernehmen", "Ctrl+R", false},
        {"&Bearbeiten", "&Alle markieren", "Ctrl+A", false},
        {"&Bearbeiten", "&Suchen...", "Ctrl+F", true},
        {"&Bearbeiten", "weitere Optionen in den lokalen Menus", "", false},
        {"&Ansicht", "&Abfluss", "", true},
        {"&Ansicht", "&KÜ-Zuordnung", "", true},
        {"&Ansicht", "&BÜ-Zuordnung", "", true},
        {"&Ansicht", "&Gewässer-Zuordnung", "", true},
        {"&Ansicht", "&Regenschreiber-Zuordnung", "", true},
        {"&Ansicht", "R&aster", "", true},
        {"&Ansicht", "&Zoom", "", true},
        {"&Ansicht", "&Ausblenden", "", true},
        {"&Ansicht", "&Werkzeugleiste", "", true},
        {"&Ansicht", "&Standardvorgaben", "", true},
        {"&Zoom", "&Gesamtprojekt", "", true},
        {"&Zoom", "&markierte Komponenten", "", true},
        {"&Zoom", "1 %", "", true},
        {"&Zoom", "2 %", "", true},
        {"&Zoom", "4 %", "", true},
        {"&Zoom", "8 %", "", true},
        {"&Zoom", "16 %", "", true},
        {"&Zoom", "32 %", "", true},
        {"&Zoom", "64 %", "", true},
        {"&Zoom", "100 %", "", true},
        {"&Zoom", "128 %", "", true},
        {"&Zoom", "256 %", "", true},
        {"&Zoom", "512 %", "", true},
        {"&Zoom", "1024 %", "", true},
        {"&Ausblenden", "&Grafik-Komponenten", "", true},
        {"&Ausblenden", "&Hydrologische Komponenten", "", true},
        {"&Ausblenden", "&Konfigurierte Komponenten", "", true},
        {"&Ausblenden", "Komponenten ohne &Verbindung", "", true},
        {"&Ausblenden", "&Markierte Komponenten", "", true},
        {"&Ausblenden", "&Versteckte einblenden", "", true},
        {"&Werkzeugleiste", "&Hydrologische Komponenten", "", true},
        {"&Werkzeugleiste", "&Grafik-Komponenten", "", true},
        {"&Simulation", "&Langzeitsimulation", "", true},
        {"&Simulation", "&Modell-Abgleich", "", true},
        {"&Einfügen", "&Mischwassernetz", "", true},
        {"&Einfügen", "&Schmutzwassernetz", "", true},
        {"&Einfügen", "&Regenwassernetz", "", true},
        {"&Einfügen", "Regen&überlauf", "", true},
        {"&Einfügen", "Regenüberlauf&becken / Stauraumkanal", "", true},
        {"&Einfügen", "Regenkl&ärbecken", "", true},
        {"&Einfügen", "&Ortspezifische Massnahme", "", true},
        {"&Einfügen", "&Kläranlage", "", true},
        {"&Einfügen", "&Einleitungsstelle", "", true},
        {"&Einfügen", "&Connector", "", true},
        {"&Einfügen", "Rege&nschreiber", "", true},
        {"&Einfügen", "&oberirdisches Einzugsgebiet", "", true},
        {"&Einfügen", "&Linie", "", true},
        {"&Einfügen", "Rec&hteck", "", true},
        {"&Einfügen", "Kre&is / Ellipse", "", true},
        {"&Einfügen", "Rechteck mit &gerundeten Kanten", "", true},
        {"&Einfügen", "Rau&te", "", true},
        {"&Einfügen", "Pol&y-Linie", "", true},
        {"&Einfügen", "Polygo&n", "", true},
        {"&Einfügen", "&Textfeld", "", true},
        {"&Einfügen", "&Vermaßung", "", true},
        {"&Einfügen", "&Punkt", "", true},
        {"&Einfügen", "Schrift&feld", "", true},
        {"&Einfügen", "&Bild", "", true},
        {"&Einfügen", "&Ja/Nein-Abfrage", "", true},
        {"&Zusätzlich", "&Fenster drucken", "", true},
        {"&Zusätzlich", "&Regionalisierungs-Rechner", "", true},
        {"&Zusätzlich", "&UPN-Rechner", "", true},
        {"Kunde", "&Adresse editieren...", "", true},
        {"&Hilfe", "In&fo...", "", true},
    };
    std::vector<TEintrag> ist;
    std::function<void(QMenu*)> sammeln = [&](QMenu* m) {
      for (QAction* a : m->actions()) {
        if (a->isSeparator()) continue;
        ist.push_back({m->title(), a->text(), a->shortcut().toString(), a->isEnabled()});
      }
      for (QAction* a : m->actions())
        if (a->menu()) sammeln(a->menu());
    };
    for (QAction* a : f->menuBar()->actions())
      if (a->menu() != f->ModelleMenue()) sammeln(a->menu());
    QCOMPARE(ist.size(), soll.size());
    for (size_t i = 0; i < soll.size(); ++i) {
      const QString wo = soll[i].Menue + " / " + soll[i].Text;
      QCOMPARE(ist[i].Menue + " / " + ist[i].Text, wo);
      QVERIFY2(ist[i].Taste == soll[i].Taste, qPrintable(wo + ": " + ist[i].Taste));
      QVERIFY2(ist[i].Aktiv == soll[i].Aktiv, qPrintable(wo));
    }
    // The check items of the view start on; the two of "&Bearbeiten" show
    // the settings of the current project (off for a new one).
    for (const char* n : {"Bearbeiten_EditorAutomatischClick", "Bearbeiten_AmRasterClick"}) {
      QVERIFY2(f->Aktion(n)->isCheckable() && !f->Aktion(n)->isChecked(), n);
    }
    for (const char* n : {"Ansicht_AbflussClick", "Ansicht_KUEClick", "Ansicht_BUEClick",
                          "Ansicht_GEWClick", "Ansicht_REGClick", "Ansicht_RasterClick",
                          "Werkzeugleiste_HydroClick", "Werkzeugleiste_GrafikClick"}) {
      QVERIFY2(f->Aktion(n)->isCheckable() && f->Aktion(n)->isChecked(), n);
    }
  }

  void Werkzeugleiste() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    QStringList hinweise;
    for (QToolBar* b : f->findChildren<QToolBar*>())
      for (QAction* a : b->actions())
        if (!a->isSeparator()) hinweise << a->toolTip();
    const QStringList soll = {"Neu",
                              "Öffnen",
                              "Speichern",
                              "Drucken",
                              "Einzelauswahl",
                              "Schnitt-Auswahl",
                              "Fenster-Auswahl",
                              "verschieben",
                              "zoomen",
                              "alles zoomen",
                              "markierte zoomen",
                              "geschlossenes Siedlungsgebiet",
                              "MW-Netz",
                              "SW-Netz",
                              "RW-Netz",
                              "natürliches Einzugsgebiet",
                              "RÜ",
                              "RÜB /SK",
                              "RKB",
                              "ortspezifische Maßnahme",
                              "KLG",
                              "Einleitung",
                              "Connector",
                              "Regenschreiber",
                              "AEV",
                              "Versickerungsfläche",
                              "Versickerungsbecken",
                              "Versickerungsmulde",
                              "Versickerungsrigole",
                              "Versickerungsschacht",
                              "Linie",
                              "Rechteck",
                              "Ellipse / Kreis",
                              "abgerundetes Rechteck",
                              "Raute",
                              "Poly-Linie",
                              "Polygon",
                              "Text",
                              "Vermaßung",
                              "Punkt",
                              "Beschriftungsfeld",
                              "Bild",
                              "Entscheidung",
                              "markierte drehen",
                              "markierte horizontal spiegeln",
                              "markierte vertikal spiegeln",
                              "Adresse",
                              "Rechner",
                              "Hilfe"};
    QCOMPARE(hinweise, soll);
    QVERIFY(f->Aktion("Knopf_Einzelauswahl")->isChecked());
    // "&Grafik-Komponenten" hides the graphic palette, the hydrological one
    // the network buttons except AEO, AEK and the infiltration buttons.
    f->Aktion("Werkzeugleiste_GrafikClick")->trigger();
    QVERIFY(!f->Aktion("Knopf_LIN")->isVisible());
    QVERIFY(!f->Aktion("Knopf_YON")->isVisible());
    QVERIFY(f->Aktion("Knopf_KEM")->isVisible());
    f->Aktion("Werkzeugleiste_HydroClick")->trigger();
    for (const char* weg : {"Knopf_NET", "Knopf_KEM", "Knopf_RUB", "Knopf_EST", "Knopf_REG"})
      QVERIFY2(!f->Aktion(weg)->isVisible(), weg);
    for (const char* bleibt : {"Knopf_AEO", "Knopf_AEK", "Knopf_VFL", "Knopf_VSC"})
      QVERIFY2(f->Aktion(bleibt)->isVisible(), bleibt);
  }

  void NeueModelleUndSchliessen() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    QCOMPARE(Modelle(*f), QStringList({"Unbenannt1"}));
    f->Aktion("Datei_NeuClick")->trigger();
    QCOMPARE(Modelle(*f), QStringList({"Unbenannt1", "Unbenannt2"}));
    QCOMPARE(Name(*f), QStringLiteral("Unbenannt2"));
    QVERIFY(d.Fragen.isEmpty());  // nothing changed: no question
    // Switching through the menu.
    f->ModelleMenue()->actions().at(0)->trigger();
    QCOMPARE(Name(*f), QStringLiteral("Unbenannt1"));
    QVERIFY(f->windowTitle().endsWith(QStringLiteral("Unbenannt1[*]")));
    // Closing the first switches to the first remaining one.
    f->Aktion("Datei_SchliessenClick")->trigger();
    QCOMPARE(Modelle(*f), QStringList({"Unbenannt2"}));
    QCOMPARE(Name(*f), QStringLiteral("Unbenannt2"));
    // The smallest free number is taken again.
    f->Aktion("Datei_NeuClick")->trigger();
    QCOMPARE(Modelle(*f), QStringList({"Unbenannt2", "Unbenannt1"}));
    f->Aktion("Datei_SchliessenClick")->trigger();
    f->Aktion("Datei_SchliessenClick")->trigger();
    // The last one closed from the menu: a new project, number 1 again.
    QCOMPARE(Modelle(*f), QStringList({"Unbenannt1"}));
    QCOMPARE(f->ModellAnzahl(), 1);
  }

  void FrageVorDemSchliessen_data() {
    QTest::addColumn<int>("antwort");
    QTest::addColumn<QString>("datei");  // the save dialog's answer after Ja
    QTest::addColumn<int>("modelleDanach");
    QTest::addColumn<bool>("gespeichert");
    QTest::newRow("Nein schließt") << int(A::Nein) << "" << 0 << false;
    QTest::newRow("Abbrechen bleibt") << int(A::Abbrechen) << "" << 1 << false;
    QTest::newRow("Ja, Dialog abgebrochen, bleibt") << int(A::Ja) << "" << 1 << false;
    QTest::newRow("Ja und gespeichert") << int(A::Ja) << "ordner/Projekt.T21" << 0 << true;
    QTest::newRow("Ja, in den Programmordner, bleibt") << int(A::Ja) << "PROGRAMM" << 1 << false;
    QTest::newRow("Ja, Speichern scheitert, bleibt")
        << int(A::Ja) << "fehlt/nicht/da/Projekt.T21" << 1 << false;
  }

  void FrageVorDemSchliessen() {
    QFETCH(int, antwort);
    QFETCH(QString, datei);
    QFETCH(int, modelleDanach);
    QFETCH(bool, gespeichert);
    QTemporaryDir tmp;
    QDir(tmp.path()).mkdir("ordner");
    TFalscheDialoge d;
    auto f = Fenster(d);
    f->Aktion("Datei_NeuClick")->trigger();  // a second, unchanged project
    f->ModelleMenue()->actions().at(0)->trigger();
    Aendern(*f);
    QVERIFY(f->Aktuell()->Modified());
    d.Antworten.push_back(static_cast<A>(antwort));
    if (datei == "PROGRAMM") {
      d.Dateien.push_back(FProgramm.filePath("X.T21"));
    } else if (!datei.isEmpty()) {
      d.Dateien.push_back(tmp.filePath(datei));
    } else {
      d.Dateien.push_back({});
    }
    f->Aktion("Datei_SchliessenClick")->trigger();
    QCOMPARE(d.Fragen, QStringList({"Änderungen jetzt speichern?"}));
    QCOMPARE(f->ModellAnzahl(), 1 + modelleDanach);
    QCOMPARE(QFile::exists(tmp.filePath("ordner/Projekt.T21")), gespeichert);
    if (modelleDanach == 1) {
      // Kept: still current, still changed, under its old name.
      QCOMPARE(Name(*f), QStringLiteral("Unbenannt1"));
      QVERIFY(f->Aktuell()->Modified());
    }
    // A save that went wrong said why.
    if (antwort == int(A::Ja) && !datei.isEmpty())
      QCOMPARE(d.Meldungen.size(), gespeichert ? 0 : 1);
  }

  void BeendenFragtJedesGeaenderteModell() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    Aendern(*f);
    d.Antworten = {A::Nein};  // "&Neu" asks about Unbenannt1 and keeps it open
    f->Aktion("Datei_NeuClick")->trigger();
    QCOMPARE(d.Fragen, QStringList({"Änderungen jetzt speichern?"}));
    Aendern(*f);
    QCOMPARE(f->ModellAnzahl(), 2);
    // The current one first: Nein closes it, Abbrechen for the other keeps
    // the window open with it.
    d.Fragen.clear();
    d.Antworten = {A::Nein, A::Abbrechen};
    QVERIFY(!f->close());
    QCOMPARE(d.Fragen.size(), 2);
    QCOMPARE(f->ModellAnzahl(), 1);
    QCOMPARE(Name(*f), QStringLiteral("Unbenannt1"));
    d.Antworten = {A::Nein};
    QVERIFY(f->close());
    QCOMPARE(f->ModellAnzahl(), 0);
  }

  void SpeichernUndSeineGrenzen() {
    QTemporaryDir tmp;
    TFalscheDialoge d;
    auto f = Fenster(d);
    // A new project lies in the program folder.
    QVERIFY(!f->Datei_SpeichernClick());
    QCOMPARE(d.Meldungen.value(0),
             QStringLiteral("In diesem Ordner können Sie kein Projekt speichern.\rWählen Sie "
                            "bitte einen anderen Ordner."));
    // Save as into another folder renames model, menu item and caption.
    d.Dateien = {tmp.filePath("Eins.T21")};
    QVERIFY(f->Datei_SpeichernUnterClick());
    QCOMPARE(Name(*f), QStringLiteral("Eins"));
    QCOMPARE(Modelle(*f), QStringList({"Eins"}));
    QVERIFY(f->windowTitle().contains(QStringLiteral("Eins")));
    QVERIFY(QFile::exists(tmp.filePath("Eins.T21")));
    Aendern(*f);
    QVERIFY(f->Datei_SpeichernClick());
    QVERIFY(!f->Aktuell()->Modified());
    // Another project may not be saved onto the file of the first.
    f->Datei_NeuClick();
    d.Meldungen.clear();
    d.Dateien = {tmp.filePath("eins.t21")};
    QVERIFY(!f->Datei_SpeichernUnterClick());
    QCOMPARE(d.Meldungen.size(), 1);
    QCOMPARE(Name(*f), QStringLiteral("Unbenannt1"));
    // An existing file is only overwritten when the answer is Ja.
    QFile fremd(tmp.filePath("Zwei.T21"));
    QVERIFY(fremd.open(QIODevice::WriteOnly));
    fremd.write("fremd");
    fremd.close();
    d.Fragen.clear();
    d.Dateien = {tmp.filePath("Zwei.T21")};
    d.JaNeinAntworten = {false};
    QVERIFY(!f->Datei_SpeichernUnterClick());
    QCOMPARE(d.Fragen.size(), 1);
    QFile gelesen(tmp.filePath("Zwei.T21"));
    QVERIFY(gelesen.open(QIODevice::ReadOnly));
    QCOMPARE(gelesen.readAll(), QByteArray("fremd"));
    d.Dateien = {tmp.filePath("Zwei.T21")};
    d.JaNeinAntworten = {true};
    QVERIFY(f->Datei_SpeichernUnterClick());
    QCOMPARE(Name(*f), QStringLiteral("Zwei"));
  }

  void OeffnenUndSeineGrenzen() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    d.Dateien = {Beispiel()};
    QVERIFY(f->Datei_OeffnenClick());
    QCOMPARE(f->ModellAnzahl(), 2);
    QCOMPARE(Name(*f), QStringLiteral("Beispiel"));
    QVERIFY(!f->Aktuell()->Modified());
    QVERIFY(f->ElementBox()->count() >= 8);
    // Found by its file, not by a caption: a second open is refused.
    d.Dateien = {QString(Beispiel()).toLower().replace("beispiel.t21", "BEISPIEL.T21")};
    QVERIFY(!f->Datei_OeffnenClick());
    QCOMPARE(d.Meldungen.value(0), QStringLiteral("Das Modell ist bereits geladen"));
    QCOMPARE(f->ModellAnzahl(), 2);
    d.Meldungen.clear();
    QVERIFY(!f->Oeffne(QStringLiteral("projekt.txt")));
    QCOMPARE(d.Meldungen.value(0), QStringLiteral("Ungültige Dateibezeichnung"));
    d.Meldungen.clear();
    QVERIFY(!f->Oeffne(FProgramm.filePath("gibtsnicht.T21")));
    QCOMPARE(d.Meldungen.size(), 1);
    QCOMPARE(Name(*f), QStringLiteral("Beispiel"));
  }

  void AdresseBleibtUeberDenProgrammstartHinaus() {
    QTemporaryDir programm;
    {
      TFalscheDialoge d;
      TMainFrm f(d, programm.path());
      f.Starte(false);
      std::unique_ptr<t21::TAdresseDialog> dlg(f.Adresse(false));
      QCOMPARE(dlg->windowTitle(), QStringLiteral("Adresse"));
      const QStringList werte = {"Hauptstraße 1", "12345",     "Musterstadt",
                                 "0123 4567",     "0123 4568", "buero@example.de"};
      const QStringList spalten = {"STRASSE", "PLZ", "ORT", "TELEFON", "FAX", "EMAIL"};
      for (int i = 0; i < spalten.size(); ++i) dlg->Feld(spalten[i])->setText(werte[i]);
      dlg->reject();  // Abbruch: nothing taken
      QVERIFY(!f.Aktuell()->Modified());
      dlg.reset(f.Adresse(false));
      for (int i = 0; i < spalten.size(); ++i) dlg->Feld(spalten[i])->setText(werte[i]);
      dlg->Uebernehmen();  // as "&OK" does
      dlg->accept();
      QVERIFY(f.Aktuell()->Modified());
      d.Antworten = {A::Nein};
      QVERIFY(f.close());
      QVERIFY(QFile::exists(programm.filePath("Adresse.CDS")));
    }
    TFalscheDialoge d;
    TMainFrm f(d, programm.path());
    f.Starte(false);
    std::unique_ptr<t21::TAdresseDialog> dlg(f.Adresse(false));
    QCOMPARE(dlg->Feld("ORT")->text(), QStringLiteral("Musterstadt"));
    QCOMPARE(dlg->Feld("STRASSE")->text(), QStringLiteral("Hauptstraße 1"));
    QCOMPARE(dlg->Feld("EMAIL")->text(), QStringLiteral("buero@example.de"));
  }

  void HilfeseitenDerFenster() {
    for (const char* k : {"hauptfenster", "ergebnisleiste", "adresse", "info"}) {
      const QString seite = t21::HilfeSeite(QString::fromUtf8(k));
      QVERIFY2(!seite.isEmpty(), k);
      QFile f(seite);
      QVERIFY(f.open(QIODevice::ReadOnly));
      QVERIFY2(QString::fromUtf8(f.readAll()).contains(QStringLiteral("<h1>")), k);
    }
    QVERIFY(t21::HilfeSeite(QStringLiteral("gibtsnicht")).isEmpty());
  }

  void ProjektDerBefehlszeile() {
    TFalscheDialoge d;
    TMainFrm f(d, FProgramm.path());
    f.SetzeStartdatei(Beispiel());
    f.Starte(false);
    QCOMPARE(Modelle(f), QStringList({"Beispiel"}));
    // One that cannot be opened: its message, then a new project.
    TMainFrm g(d, FProgramm.path());
    g.SetzeStartdatei(FProgramm.filePath("fehlt.T21"));
    g.Starte(false);
    QCOMPARE(d.Meldungen.size(), 1);
    QCOMPARE(Modelle(g), QStringList({"Unbenannt1"}));
  }

  void KlickInDieZeichnungMachtAktuell() {
    TFalscheDialoge d;
    TMainFrm f(d, FProgramm.path());
    f.Starte(false);
    QVERIFY(f.Oeffne(Beispiel()));
    f.resize(1200, 800);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCoreApplication::processEvents();  // the zoom to the whole drawing
    auto* ansicht = f.findChild<t21::TZeichenAnsicht*>("Zeichnung");
    QVERIFY(ansicht);
    const t21::TM3Model& m = f.Aktuell()->Model();
    for (const char* name : {"RÜB Mitte", "Altstadt", "Einleitung Mühlbach"}) {
      const t21::TCadShape* s = m.GetNode(name);
      QVERIFY(s);
      const t21::TAnsicht& a = ansicht->View().Ansicht();
      const QPoint p(a.ViewX((s->X1 + s->X2) / 2), a.ViewY((s->Y1 + s->Y2) / 2));
      QTest::mouseClick(ansicht, Qt::LeftButton, {}, p);
      QCOMPARE(f.ElementBox()->currentText(), QString::fromUtf8(name));
      QCOMPARE(f.Aktuell()->Auswahl().Aktuell, s->Id);
    }
    QVERIFY(!f.Aktuell()->Modified());  // choosing is no edit
  }

  void JedesModellBehaeltSeineAnsicht() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    QVERIFY(f->Oeffne(Beispiel()));
    auto* ansicht = f->findChild<t21::TZeichenAnsicht*>("Zeichnung");
    ansicht->ZoomStufe(9);  // 256 %
    const bool raster = !ansicht->View().ShowGrid();
    f->Aktion("Ansicht_RasterClick")->trigger();  // the grid switched
    QCOMPARE(ansicht->View().ShowGrid(), raster);
    f->Datei_NeuClick();
    QCOMPARE(ansicht->View().Zoom(), 0.9);  // a new project's view
    f->Umschalten(1);                       // back to the example
    QCOMPARE(ansicht->View().Zoom(), 2.56);
    QCOMPARE(ansicht->View().ShowGrid(), raster);
    QCOMPARE(f->Aktion("Ansicht_RasterClick")->isChecked(), raster);
    f->Umschalten(2);
    QCOMPARE(ansicht->View().Zoom(), 0.9);
  }

  void AeltereProjekte_data() {
    QTest::addColumn<QString>("datei");
    QTest::addColumn<QString>("name");
    QTest::newRow("MOD") << QStringLiteral(T21_QUELLE "/tests/storage/daten/mod/Altnetz.MOD")
                         << "Altnetz";
    QTest::newRow("TRE") << QStringLiteral(T21_QUELLE "/tests/storage/daten/tre/Uralt.TRE")
                         << "Uralt";
  }
  void AeltereProjekte() {
    QFETCH(QString, datei);
    QFETCH(QString, name);
    TFalscheDialoge d;
    auto f = Fenster(d);
    QVERIFY(f->Oeffne(datei));
    QCOMPARE(Name(*f), name);
    QCOMPARE(f->ModellAnzahl(), 2);
    // Not yet a project file: changed until saved.
    QVERIFY(f->Aktuell()->Modified());
    QVERIFY(f->ElementBox()->count() > 1);
    // Both folders needed repairs: the load report shows them.
    QCOMPARE(d.Protokolle.value(0), QStringLiteral("Fehlermeldung"));
    QVERIFY(d.Protokolle.size() > 1);
    // A second open of the same folder is refused.
    QVERIFY(!f->Oeffne(datei));
    QCOMPARE(d.Meldungen.last(), QStringLiteral("Das Modell ist bereits geladen"));
  }

  void GanglinienDesProgrammordners() {
    QTemporaryDir programm;
    t21::TReferenzListen r = t21::StandardReferenzListen();
    r.SWGanglinien.Eintraege.clear();
    std::array<double, 24> tw{};
    tw.fill(1);
    tw[12] = 2.5;
    r.SWGanglinien.AddGL("Mittagsspitze", tw);
    std::string fehler;
    QVERIFY(t21::SchreibeGanglinien(r, programm.filePath("x").toStdString(), fehler));
    QVERIFY(QFile::rename(programm.filePath("x_TWGanglinien.XML"),
                          programm.filePath("TWGanglinien.XML")));
    QFile::remove(programm.filePath("x_FWGanglinien.XML"));
    TFalscheDialoge d;
    TMainFrm f(d, programm.path());
    f.Starte(false);
    QVERIFY(f.ProgrammGanglinien().has_value());
    const auto& gl = f.Aktuell()->Model().Referenz.SWGanglinien;
    QCOMPARE(gl.Count(), 1);
    QCOMPARE(QString::fromStdString(gl.Eintraege[0].name), QStringLiteral("Mittagsspitze"));
    QCOMPARE(gl.value(0, 12), 2.5);
    // The infiltration hydrographs stay the built-in ones.
    QCOMPARE(f.Aktuell()->Model().Referenz.FWGanglinien.Count(),
             t21::StandardReferenzListen().FWGanglinien.Count());
    QVERIFY(!f.Aktuell()->Modified());
    QCOMPARE(Name(f), QStringLiteral("Unbenannt1"));
    // Without the files: the built-in lists.
    TMainFrm g(d, FProgramm.path());
    g.Starte(false);
    QVERIFY(!g.ProgrammGanglinien().has_value());
    QCOMPARE(g.Aktuell()->Model().Referenz.SWGanglinien.Count(),
             t21::StandardReferenzListen().SWGanglinien.Count());
  }

  void Exporte() {
    QTemporaryDir tmp;
    TFalscheDialoge d;
    auto f = Fenster(d);
    QVERIFY(f->Oeffne(Beispiel()));
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    // Outside the drawing Ctrl+C is the CSV export (in it, "&Kopieren").
    QApplication::clipboard()->clear();
    QTest::keyClick(f.get(), Qt::Key_C, Qt::ControlModifier);
    const QString csv = QApplication::clipboard()->text();
    QVERIFY(csv.contains(QStringLiteral("RÜB Mitte")));
    QVERIFY(csv.contains(QStringLiteral("\t")));
    // The workbook, under the chosen name with ".xlsx" added.
    d.Dateien = {tmp.filePath("Mappe")};
    f->Aktion("Datei_Export_EXCELClick")->trigger();
    QVERIFY(QFile::exists(tmp.filePath("Mappe.xlsx")));
    // The picture into a file.
    d.Dateien = {tmp.filePath("Netz.png")};
    f->Aktion("Datei_Export_DateiClick")->trigger();
    QVERIFY(QFile::exists(tmp.filePath("Netz.png")));
    QVERIFY(d.Meldungen.isEmpty());
  }

  void RueckgaengigUndWiederholenUeberDasMenue() {
    TFalscheDialoge d;
    auto f = Fenster(d);
    QAction* rueck = f->Aktion("Bearbeiten_RueckgaengigClick");
    QAction* wieder = f->Aktion("Bearbeiten_WiederholenClick");
    QAction* schalter = f->Aktion("Bearbeiten_EditorAutomatischClick");
    QVERIFY(!rueck->isEnabled());
    const bool vorher = f->Aktuell()->Model().AutoOeffnen;
    schalter->trigger();
    QCOMPARE(f->Aktuell()->Model().AutoOeffnen, !vorher);
    QVERIFY(f->Aktuell()->Modified());
    QVERIFY(f->isWindowModified());
    QVERIFY(rueck->isEnabled());
    QVERIFY(rueck->text().startsWith(QStringLiteral("&Rückgängig: ")));
    rueck->trigger();
    QCOMPARE(f->Aktuell()->Model().AutoOeffnen, vorher);
    QVERIFY(!f->Aktuell()->Modified());
    QVERIFY(!f->isWindowModified());
    QCOMPARE(schalter->isChecked(), vorher);  // the menu follows the document
    QVERIFY(wieder->isEnabled());
    wieder->trigger();
    QCOMPARE(f->Aktuell()->Model().AutoOeffnen, !vorher);
    QVERIFY(f->Aktuell()->Modified());
    QVERIFY(!wieder->isEnabled());
  }
};

QTEST_MAIN(TestHauptfenster)
#include "test_hauptfenster.moc"
