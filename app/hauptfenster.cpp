#include "app/hauptfenster.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"
#include "app/basis/zahlenformat.h"
#include "app/editor/editor.h"
#include "app/editor/editordialoge.h"
#include "app/ereignis/ereignisfenster.h"
#include "app/ereignis/kalibrierung.h"
#include "app/ergebnisleiste.h"
#include "app/formulare/elementdialog.h"
#include "app/formulare/musterform.h"
#include "app/infobox.h"
#include "app/simulation/simulationsfenster.h"
#include "app/vorschau/auswahldialog.h"
#include "app/werkzeuge/werkzeuge.h"
#include "cad/geometrie.h"
#include "document/dokument.h"
#include "model/net.h"
#include "painting/bildexport.h"
#include "painting/zeichenansicht.h"
#include "storage/altprojekt.h"
#include "storage/datenpaket.h"
#include "storage/export_csv.h"
#include "storage/export_xlsx.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

namespace t21 {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

// Folders compared as the file system of the older projects did: ignoring case.
bool GleicherOrdner(const QString& a, const QString& b) {
  return QDir::cleanPath(a).compare(QDir::cleanPath(b), Qt::CaseInsensitive) == 0;
}

// Reads the default hydrographs of the program folder into r; false when
// the folder holds neither file (a file that cannot be read is skipped).
bool GanglinienLesen(const QString& ordner, TReferenzListen& r) {
  bool gelesen = false;
  auto lies = [&](const char* name, int von, int bis, auto&& setze) {
    const std::string datei = DateiSuchen(S(QDir(ordner).filePath(QString::fromUtf8(name))));
    if (datei.empty()) return;
    std::string fehler;
    TPaketLesen lesen;
    lesen.Dezimalkomma = true;
    auto t = LiesPaket(datei, fehler, &lesen);
    if (!t) return;
    setze(*t, von, bis);
    gelesen = true;
  };
  lies("TWGanglinien.XML", 0, 23, [&](const TTabelle& t, int von, int bis) {
    r.SWGanglinien.Eintraege.clear();
    for (int z = 0; z < t.Anzahl(); ++z) {
      std::array<double, 24> w{};
      for (int h = von; h <= bis; ++h)
        w[static_cast<size_t>(h - von)] = AlsZahl(t.Wert(z, "H" + std::to_string(h)));
      r.SWGanglinien.AddGL(AlsText(t.Wert(z, "NAME")), w);
    }
  });
  lies("FWGanglinien.XML", 1, 12, [&](const TTabelle& t, int von, int bis) {
    r.FWGanglinien.Eintraege.clear();
    for (int z = 0; z < t.Anzahl(); ++z) {
      std::array<double, 12> w{};
      for (int h = von; h <= bis; ++h)
        w[static_cast<size_t>(h - von)] = AlsZahl(t.Wert(z, "H" + std::to_string(h)));
      r.FWGanglinien.AddGL(AlsText(t.Wert(z, "NAME")), w);
    }
  });
  return gelesen;
}

}  // namespace

TMainFrm::TMainFrm(TDialoge& dialoge, QString programmordner, QWidget* parent)
    : QMainWindow(parent), FDialoge(dialoge), FProgrammordner(std::move(programmordner)) {
  setObjectName(QStringLiteral("TMainFrm"));
  if (FProgrammordner.isEmpty()) FProgrammordner = QCoreApplication::applicationDirPath();
  FProgrammordner = QDir::cleanPath(FProgrammordner);
  // The program's own files are written beside the program where that is
  // allowed, else into the user's data folder.
  FDatenordner = FProgrammordner;
  if (!QFileInfo(FProgrammordner).isWritable()) {
    FDatenordner = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(FDatenordner);
  }
  setWindowTitle(QString::fromUtf8(kTitel));

  // The drawing beside the side panel with element list, result bar and
  // overview.
  auto* teiler = new QSplitter(this);
  FAnsicht = new TZeichenAnsicht(teiler);
  FAnsicht->setObjectName(QStringLiteral("Zeichnung"));
  auto* seite = new QWidget(teiler);
  auto* seitenLayout = new QVBoxLayout(seite);
  seitenLayout->setContentsMargins(2, 2, 2, 2);
  FElementBox = new QComboBox(seite);
  FElementBox->setObjectName(QStringLiteral("ElementBox"));
  FElementBox->setToolTip(QStringLiteral("alphabetisch geordnete Elementliste"));
  seitenLayout->addWidget(FElementBox);
  FErgebnis = new TErgebnisleiste(seite);
  seitenLayout->addWidget(FErgebnis, 1);
  FUebersicht = new TZeichenAnsicht;
  FUebersicht->setObjectName(QStringLiteral("Navigator"));
  FUebersicht->setToolTip(QStringLiteral("Navigator"));
  FUebersicht->setFixedHeight(110);
  FErgebnis->SetzeNavigator(FUebersicht);
  if (TCadShape* r = FUebersichtModell.CreateShape("REC", "Ausschnitt", 0, 0)) {
    r->Brush.Color = 0x0000FF;  // red
    r->Brush.Style = 0;         // solid
  }
  FUebersicht->SetModel(&FUebersichtModell);
  FUebersicht->View().SetOrgZoom(0, 0, 1);
  FUebersicht->installEventFilter(this);
  FUebersicht->setMouseTracking(false);
  FEditor = new TEditor(FAnsicht, FDialoge, this);
  teiler->addWidget(FAnsicht);
  teiler->addWidget(seite);
  teiler->setStretchFactor(0, 1);
  teiler->setStretchFactor(1, 0);
  teiler->setSizes({880, 290});
  setCentralWidget(teiler);

  for (const char* titel : {"Maus", "Element", "X1", "Y1", "X2", "Y2", "Zoom", "Anzahl", "Änd."}) {
    statusBar()->addWidget(new QLabel(QString::fromUtf8(titel), this));
    auto* wert = new QLabel(this);
    wert->setFrameShape(QFrame::Panel);
    wert->setFrameShadow(QFrame::Sunken);
    wert->setObjectName(QStringLiteral("Status_") + QString::fromUtf8(titel));
    statusBar()->addWidget(wert);
    FStatusFelder.push_back(wert);
  }

  MenuesAnlegen();
  WerkzeugleisteAnlegen();

  connect(FElementBox, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (FFuelleListe || i < 0) return;
    KnotenClick(FElementBox->itemData(i).toULongLong());
  });
  connect(FErgebnis, &TErgebnisleiste::ReiterGewechselt, this, &TMainFrm::ShowResults);
  FElementBox->installEventFilter(this);
  FEditor->TitelblockFuellen = [this](TCadShape& s) { s.Val = TitelblockWert(); };
  connect(FEditor, &TEditor::KnotenGewaehlt, this, [this](uint64_t id) { KnotenClick(id); });
  connect(FEditor, &TEditor::EditorOeffnen, this,
          [this](uint64_t id) { ElementDialogOeffnen(id); });
  FEditor->EreignisMoeglich = [this] { return Langzeitlauf(Aktuell()) != nullptr; };
  connect(FEditor, &TEditor::EreignisOeffnen, this,
          [this](uint64_t id, bool grafik) { EreignisOeffnen(id, grafik); });
  connect(FEditor, &TEditor::WerkzeugGewechselt, this, [this](const QString& w) {
    if (QAction* a = Aktion(QStringLiteral("Knopf_") + w)) a->setChecked(true);
  });
  connect(FEditor, &TEditor::Maus, this, [this](double x, double y, uint64_t s) {
    FMausX = x;
    FMausY = y;
    FMausShape = s;
    Statusleiste();
  });
  connect(FEditor, &TEditor::AuswahlGeaendert, this, [this] {
    Statusleiste();
    Befehle();
    UebersichtAktualisieren();
  });
  connect(FAnsicht, &TZeichenAnsicht::AnsichtGeaendert, this, [this] {
    UebersichtAktualisieren();
    Statusleiste();
  });
  FElementBox->setFocus();
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this,
          [this] { ZeigeHilfe(this, QStringLiteral("hauptfenster")); });
  resize(1180, 800);
}

TMainFrm::~TMainFrm() {
  if (FTabellenOffen) TMusterForm::SetzeStrassentabelle(nullptr);
  // The event windows observe their documents: they go first.
  TFormEreignisChart::SchliesseAlle(this);
  delete FKalibrierung;
  for (TOffen& o : FModelle) o.Dok->Abmelden(o.Beobachter);
  // The editor ends what it has in progress while the documents and the
  // drawing view still exist.
  delete FEditor;
  FEditor = nullptr;
  FAnsicht->SetModel(nullptr);
}

TDokument* TMainFrm::Aktuell() const {
  return FAktuell >= 0 && FAktuell < ModellAnzahl()
             ? FModelle[static_cast<size_t>(FAktuell)].Dok.get()
             : nullptr;
}

QAction* TMainFrm::Aktion(const QString& name) const {
  return findChild<QAction*>(name);
}

QAction* TMainFrm::Neu(QMenu* m, const QString& name, const QString& text, const QKeySequence& k,
                       bool aktiv) {
  auto* a = new QAction(text, this);
  a->setObjectName(name);
  if (!k.isEmpty()) a->setShortcut(k);
  a->setEnabled(aktiv);
  if (m) m->addAction(a);
  return a;
}

void TMainFrm::MenuesAnlegen() {
  using K = QKeySequence;
  QMenuBar* mb = menuBar();

  QMenu* datei = mb->addMenu(QStringLiteral("&Datei"));
  connect(Neu(datei, "Datei_NeuClick", "&Neu", K(Qt::CTRL | Qt::Key_N)), &QAction::triggered, this,
          [this] { Datei_NeuClick(); });
  connect(Neu(datei, "Datei_OeffnenClick", "Ö&ffnen...", K(Qt::CTRL | Qt::Key_O)),
          &QAction::triggered, this, [this] { Datei_OeffnenClick(); });
  connect(Neu(datei, "Datei_SchliessenClick", "Schließen..."), &QAction::triggered, this,
          [this] { Datei_SchliessenClick(); });
  connect(Neu(datei, "Datei_SpeichernClick", "&Speichern", K(Qt::CTRL | Qt::Key_S)),
          &QAction::triggered, this, [this] { Datei_SpeichernClick(); });
  connect(Neu(datei, "Datei_SpeichernUnterClick", "Speichern &unter...", K(Qt::CTRL | Qt::Key_U)),
          &QAction::triggered, this, [this] { Datei_SpeichernUnterClick(); });
  connect(Neu(datei, "Datei_DruckenClick", "&Drucken...", K(Qt::CTRL | Qt::Key_P)),
          &QAction::triggered, this, [this] {
            if (TDokument* d = Aktuell()) TDualListDlg(*d, FDialoge, this).exec();
          });
  QMenu* exp = datei->addMenu(QStringLiteral("&Export"));
  exp->menuAction()->setObjectName(QStringLiteral("Datei_Export"));
  connect(Neu(exp, "Datei_Export_CSVClick", "&CSV-File in Zwischenablage", K(Qt::CTRL | Qt::Key_C)),
          &QAction::triggered, this, [this] { ExportCSV(); });
  connect(Neu(exp, "Datei_Export_EXCELClick", "&EXCEL-Mappe", K(Qt::CTRL | Qt::Key_E)),
          &QAction::triggered, this, [this] { ExportExcel(); });
  auto zwischenablage = [this] {
    QString fehler;
    if (TDokument* d = Aktuell(); d && !BildInZwischenablage(d->Model(), FAnsicht->View(), fehler))
      FDialoge.Meldung(this, fehler);
  };
  connect(
      Neu(exp, "Datei_Export_MetaClick", "&Metadatei in Zwischenablage", K(Qt::CTRL | Qt::Key_M)),
      &QAction::triggered, this, zwischenablage);
  connect(
      Neu(exp, "Datei_Export_BitmapClick", "&Bitmap in Zwischenablage", K(Qt::CTRL | Qt::Key_B)),
      &QAction::triggered, this, zwischenablage);
  connect(Neu(exp, "Datei_Export_DateiClick", "In &Datei...", K(Qt::CTRL | Qt::Key_D)),
          &QAction::triggered, this, [this] { ExportBild(); });
  connect(Neu(datei, "Datei_BeendenClick", "&Beenden", K(Qt::Key_F4)), &QAction::triggered, this,
          &QWidget::close);

  QMenu* bearb = mb->addMenu(QStringLiteral("&Bearbeiten"));
  // An edit still in progress in the drawing (a polyline) ends first.
  connect(Neu(bearb, "Bearbeiten_RueckgaengigClick", "&Rückgängig", K(Qt::CTRL | Qt::Key_Z)),
          &QAction::triggered, this, [this] {
            TDokument* d = Aktuell();
            if (!d) return;
            FEditor->SetzeDokument(d);
            if (d->KannRueckgaengig()) d->Rueckgaengig();
          });
  connect(Neu(bearb, "Bearbeiten_WiederholenClick", "&Wiederherstellen", K(Qt::CTRL | Qt::Key_Y)),
          &QAction::triggered, this, [this] {
            TDokument* d = Aktuell();
            if (!d) return;
            FEditor->SetzeDokument(d);
            if (d->KannWiederholen()) d->Wiederholen();
          });
  bearb->addSeparator();
  QAction* auto_ = Neu(bearb, "Bearbeiten_EditorAutomatischClick", "Editor automatisch &öffnen");
  QAction* raster =
      Neu(bearb, "Bearbeiten_AmRasterClick", "&Neue Komponenten am Raster ausrichten");
  for (QAction* a : {auto_, raster}) {
    a->setCheckable(true);
    a->setChecked(true);
    connect(a, &QAction::triggered, this, [this, a, auto_](bool an) {
      TDokument* d = Aktuell();
      if (!d) return;
      const bool istAuto = a == auto_;
      if ((istAuto ? d->Model().AutoOeffnen : d->Model().AmRasterAusrichten) == an) return;
      TCommit c = d->Beginne(a->text().remove(QLatin1Char('&')).toStdString());
      c.AendereModell();
      (istAuto ? c.Model().AutoOeffnen : c.Model().AmRasterAusrichten) = an;
      d->Push(c);
    });
  }
  Neu(bearb, "Bearbeiten_AusschneidenClick", "&Ausschneiden", K(Qt::CTRL | Qt::Key_X), false);
  Neu(bearb, "Bearbeiten_KopierenClick", "&Kopieren", K(Qt::CTRL | Qt::Key_C), false);
  Neu(bearb, "Bearbeiten_EinfuegenClick", "&Einfügen", K(Qt::CTRL | Qt::Key_V), false);
  connect(Neu(bearb, "Bearbeiten_EditierenClick", "&Editieren...", K(Qt::CTRL | Qt::Key_E)),
          &QAction::triggered, this, [this] {
            TDokument* d = Aktuell();
            if (!d) return;
            uint64_t id = FEditor->AktuellerShape();
            if (!id) {
              const TCadShape* l = d->Model().LetzteSelektion();
              id = l ? l->Id : (d->Model().Root() ? d->Model().Root()->Id : 0);
            }
            ElementDialogOeffnen(id);
          });
  Neu(bearb, "Bearbeiten_LoeschenClick", "&Löschen", K(Qt::Key_Delete), false);
  Neu(bearb, "Bearbeiten_UmbenennenClick", "&Umbenennen...", K(Qt::Key_F2), false);
  Neu(bearb, "Bearbeiten_GrafikClick", "&Grafikeigenschaften...", K(Qt::CTRL | Qt::Key_G), false);
  Neu(bearb, "Bearbeiten_GeoClick", "&Rechts- und Hochwerte übernehmen", K(Qt::CTRL | Qt::Key_R),
      false);
  Neu(bearb, "Bearbeiten_AlleClick", "&Alle markieren", K(Qt::CTRL | Qt::Key_A), false);
  Neu(bearb, "Bearbeiten_SuchenClick", "&Suchen...", K(Qt::CTRL | Qt::Key_F));
  Befehl("Bearbeiten_AusschneidenClick", &TEditor::Ausschneiden);
  Befehl("Bearbeiten_KopierenClick", &TEditor::Kopieren);
  Befehl("Bearbeiten_EinfuegenClick", &TEditor::Einfuegen);
  Befehl("Bearbeiten_LoeschenClick", &TEditor::Loeschen);
  Befehl("Bearbeiten_UmbenennenClick", &TEditor::Umbenennen);
  Befehl("Bearbeiten_GeoClick", &TEditor::GeoReferenzierung);
  Befehl("Bearbeiten_AlleClick", &TEditor::AlleMarkieren);
  Befehl("Bearbeiten_SuchenClick", &TEditor::Suchen);
  connect(Aktion("Bearbeiten_GrafikClick"), &QAction::triggered, this,
          [this] { FEditor->Grafikeinstellungen(); });
  // Ctrl+C and Ctrl+E belong to two items each: the drawing takes them for
  // copying and editing (the editor), everywhere else they export.
  connect(FEditor, &TEditor::Editieren, Aktion("Bearbeiten_EditierenClick"), &QAction::trigger);
  Neu(bearb, "Bearbeiten_WeitereClick", "weitere Optionen in den lokalen Menus", {}, false);

  QMenu* ansicht = mb->addMenu(QStringLiteral("&Ansicht"));
  const char* schalter[][2] = {{"Ansicht_AbflussClick", "&Abfluss"},
                               {"Ansicht_KUEClick", "&KÜ-Zuordnung"},
                               {"Ansicht_BUEClick", "&BÜ-Zuordnung"},
                               {"Ansicht_GEWClick", "&Gewässer-Zuordnung"},
                               {"Ansicht_REGClick", "&Regenschreiber-Zuordnung"},
                               {"Ansicht_RasterClick", "R&aster"}};
  for (auto& s : schalter) {
    QAction* a = Neu(ansicht, QString::fromUtf8(s[0]), QString::fromUtf8(s[1]));
    a->setCheckable(true);
    a->setChecked(true);
    connect(a, &QAction::triggered, this, [this] { Ansichtsschalter(); });
  }
  QMenu* zoom = ansicht->addMenu(QStringLiteral("&Zoom"));
  zoom->menuAction()->setObjectName(QStringLiteral("Ansicht_Zoom"));
  connect(Neu(zoom, "Ansicht_Zoom_GesamtClick", "&Gesamtprojekt"), &QAction::triggered, this,
          [this] {
            FAnsicht->ZoomAll();
            FEditor->SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
          });
  connect(Neu(zoom, "Ansicht_Zoom_MarkierteClick", "&markierte Komponenten"), &QAction::triggered,
          this, [this] {
            FAnsicht->ZoomSelected();
            FEditor->SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
          });
  for (int i = 0; i < static_cast<int>(kZoomStufen.size()); ++i) {
    const int prozent = static_cast<int>(kZoomStufen[static_cast<size_t>(i)] * 100 + 0.5);
    connect(Neu(zoom, QStringLiteral("Ansicht_Zoom_%1Click").arg(prozent),
                QStringLiteral("%1 %").arg(prozent)),
            &QAction::triggered, this, [this, i] { FAnsicht->ZoomStufe(i); });
  }
  QMenu* aus = ansicht->addMenu(QStringLiteral("&Ausblenden"));
  aus->menuAction()->setObjectName(QStringLiteral("Ansicht_Ausblenden"));
  const std::pair<const char*, const char*> ausblenden[] = {
      {"Ausblenden_GrafikClick", "&Grafik-Komponenten"},
      {"Ausblenden_HydroClick", "&Hydrologische Komponenten"},
      {"Ausblenden_KonfiguriertClick", "&Konfigurierte Komponenten"},
      {"Ausblenden_OhneVerbindungClick", "Komponenten ohne &Verbindung"},
      {"Ausblenden_MarkierteClick", "&Markierte Komponenten"},
      {nullptr, nullptr},
      {"Ausblenden_EinblendenClick", "&Versteckte einblenden"}};
  int art = 1;
  for (const auto& [name, text] : ausblenden) {
    if (!name) {
      aus->addSeparator();
      continue;
    }
    const int a = art++;
    connect(Neu(aus, QString::fromUtf8(name), QString::fromUtf8(text)), &QAction::triggered, this,
            [this, a] { FEditor->Ansicht(a); });
  }
  QMenu* leiste = ansicht->addMenu(QStringLiteral("&Werkzeugleiste"));
  leiste->menuAction()->setObjectName(QStringLiteral("Ansicht_Werkzeugleiste"));
  QAction* hydro = Neu(leiste, "Werkzeugleiste_HydroClick", "&Hydrologische Komponenten");
  QAction* grafik = Neu(leiste, "Werkzeugleiste_GrafikClick", "&Grafik-Komponenten");
  for (QAction* a : {hydro, grafik}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(hydro, &QAction::toggled, this, [this](bool an) {
    for (QAction* a : FHydroKnoepfe) a->setVisible(an);
  });
  connect(grafik, &QAction::toggled, this, [this](bool an) {
    for (QAction* a : FGrafikKnoepfe) a->setVisible(an);
  });
  connect(Neu(ansicht, "Ansicht_StandardvorgabenClick", "&Standardvorgaben"), &QAction::triggered,
          this, [this] {
            TDokument* d = Aktuell();
            if (!d) return;
            std::vector<TDokument*> alle;
            for (const TOffen& o : FModelle) alle.push_back(o.Dok.get());
            StandardvorgabenZeigen(this, *d, alle, FDialoge);
          });

  QMenu* sim = mb->addMenu(QStringLiteral("&Simulation"));
  QAction* langzeit = Neu(sim, "Simulation_LangzeitClick", "&Langzeitsimulation");
  connect(langzeit, &QAction::triggered, this, [this] {
    // Modal, so the project cannot be closed under the window.
    TDokument* d = Aktuell();
    if (!d) return;
    TSimulationForm f(*d, FDialoge, this);
    f.exec();
    // What the event windows re-simulate from: the run or load of this time.
    for (TOffen& o : FModelle)
      if (o.Dok.get() == d && f.HatErgebnisse()) {
        auto l = std::make_shared<TLangzeitlauf>();
        l->Ereignisse = EreignisseAus(f.Ergebnisse());
        l->Startzustaende = f.Startzustaende();
        l->Revision = f.ErgebnisRevision();
        o.Lauf = std::move(l);
      }
  });
  connect(Neu(sim, "Simulation_AbgleichClick", "&Modell-Abgleich"), &QAction::triggered, this,
          [this] {
            // Made once, not modal; it works on the project current at each run.
            if (!FKalibrierung)
              FKalibrierung = new TFormKalibrierHilfe([this] { return Aktuell(); }, FDialoge, this);
            FKalibrierung->show();
            FKalibrierung->raise();
            FKalibrierung->activateWindow();
          });

  FModelleMenue = mb->addMenu(QStringLiteral("&Modelle"));
  FModelleMenue->menuAction()->setObjectName(QStringLiteral("Modelle"));

  QMenu* einf = mb->addMenu(QStringLiteral("&Einfügen"));
  const char* palette[][2] = {{"KEM", "&Mischwassernetz"},
                              {"KES", "&Schmutzwassernetz"},
                              {"KER", "&Regenwassernetz"},
                              {"RU", "Regen&überlauf"},
                              {"RUB", "Regenüberlauf&becken / Stauraumkanal"},
                              {"RKB", "Regenkl&ärbecken"},
                              {"OMA", "&Ortspezifische Massnahme"},
                              {"KLG", "&Kläranlage"},
                              {"EST", "&Einleitungsstelle"},
                              {"CON", "&Connector"},
                              {"REG", "Rege&nschreiber"},
                              {"AEO", "&oberirdisches Einzugsgebiet"},
                              {nullptr, nullptr},
                              {"LIN", "&Linie"},
                              {"REC", "Rec&hteck"},
                              {"CIR", "Kre&is / Ellipse"},
                              {"RRE", "Rechteck mit &gerundeten Kanten"},
                              {"RAU", "Rau&te"},
                              {"POL", "Pol&y-Linie"},
                              {"POG", "Polygo&n"},
                              {"TEX", "&Textfeld"},
                              {"DIM", "&Vermaßung"},
                              {"DOT", "&Punkt"},
                              {"IMP", "Schrift&feld"},
                              {"BMP", "&Bild"},
                              {"YON", "&Ja/Nein-Abfrage"}};
  // Each entry presses the tool button of its type.
  for (auto& p : palette) {
    if (!p[0]) {
      einf->addSeparator();
      continue;
    }
    const QString typ = QString::fromUtf8(p[0]);
    connect(Neu(einf, QStringLiteral("Einfuegen_%1Click").arg(typ), QString::fromUtf8(p[1])),
            &QAction::triggered, this, [this, typ] {
              if (QAction* k = Aktion(QStringLiteral("Knopf_") + typ)) k->trigger();
            });
  }

  QMenu* zus = mb->addMenu(QStringLiteral("&Zusätzlich"));
  connect(Neu(zus, "Zusaetzlich_FensterDruckenClick", "&Fenster drucken"), &QAction::triggered,
          this, [this] { FensterDrucken(); });
  connect(Neu(zus, "Zusaetzlich_RegioClick", "&Regionalisierungs-Rechner"), &QAction::triggered,
          this, [this] {
            if (const TDokument* d = Aktuell()) RegioRechnerZeigen(this, *d, FDialoge);
          });
  connect(Neu(zus, "Zusaetzlich_UPNClick", "&UPN-Rechner"), &QAction::triggered, this,
          [this] { UpnRechnerZeigen(FDialoge); });

  QMenu* kunde = mb->addMenu(QStringLiteral("Kunde"));
  connect(Neu(kunde, "Kunde_AdresseClick", "&Adresse editieren..."), &QAction::triggered, this,
          [this] { Adresse(); });

  QMenu* hilfe = mb->addMenu(QStringLiteral("&Hilfe"));
  connect(Neu(hilfe, "Hilfe_InfoClick", "In&fo..."), &QAction::triggered, this,
          [this] { Info(false); });
}

void TMainFrm::WerkzeugleisteAnlegen() {
  FWerkzeuge = addToolBar(QStringLiteral("Werkzeugleiste"));
  FWerkzeuge->setObjectName(QStringLiteral("Werkzeugleiste"));
  FWerkzeuge->setMovable(false);
  // A smaller font, so that both rows fit a window of 1100 pixels.
  QFont klein = FWerkzeuge->font();
  klein.setPointSizeF(klein.pointSizeF() * 0.85);
  FWerkzeuge->setFont(klein);
  auto knopf = [this](const char* name, const char* text, const char* hinweis,
                      QAction* wie = nullptr, QToolBar* bar = nullptr) {
    auto* a = new QAction(QString::fromUtf8(text), this);
    a->setObjectName(QStringLiteral("Knopf_%1").arg(QString::fromUtf8(name)));
    a->setToolTip(QString::fromUtf8(hinweis));
    a->setStatusTip(QString::fromUtf8(hinweis));
    if (wie) {
      connect(a, &QAction::triggered, wie, &QAction::trigger);
      a->setEnabled(wie->isEnabled());
    }
    (bar ? bar : FWerkzeuge)->addAction(a);
    return a;
  };
  knopf("Neu", "Neu", "Neu", Aktion("Datei_NeuClick"));
  knopf("Oeffnen", "Öffnen", "Öffnen", Aktion("Datei_OeffnenClick"));
  knopf("Speichern", "Speichern", "Speichern", Aktion("Datei_SpeichernClick"));
  knopf("Drucken", "Drucken", "Drucken", Aktion("Datei_DruckenClick"));
  FWerkzeuge->addSeparator();
  // The tools and the palette form one exclusive group.
  auto* gruppe = new QActionGroup(this);
  gruppe->setExclusive(true);
  auto werkzeug = [&](const char* name, const char* text, const char* hinweis, bool aktiv,
                      QToolBar* bar = nullptr) {
    QAction* a = knopf(name, text, hinweis, nullptr, bar);
    a->setCheckable(true);
    a->setEnabled(aktiv);
    gruppe->addAction(a);
    const QString w = QString::fromUtf8(name);
    connect(a, &QAction::triggered, this, [this, w] { FEditor->SetzeWerkzeug(w); });
    return a;
  };
  werkzeug("Einzelauswahl", "Auswahl", "Einzelauswahl", true)->setChecked(true);
  werkzeug("SchnittAuswahl", "Schnitt", "Schnitt-Auswahl", true);
  werkzeug("FensterAuswahl", "Fenster", "Fenster-Auswahl", true);
  werkzeug("Verschieben", "Verschieben", "verschieben", true);
  werkzeug("Zoomen", "Zoomen", "zoomen", true);
  FWerkzeuge->addSeparator();
  knopf("AllesZoomen", "Alles", "alles zoomen", Aktion("Ansicht_Zoom_GesamtClick"));
  knopf("MarkierteZoomen", "Markierte", "markierte zoomen", Aktion("Ansicht_Zoom_MarkierteClick"));
  FWerkzeuge->addSeparator();
  QAction* net = knopf("NET", "NET", "geschlossenes Siedlungsgebiet");
  connect(net, &QAction::triggered, this, [this] {
    FEditor->SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
    TDokument* d = Aktuell();
    if (!d || !d->Model().Root()) return;
    KnotenClick(d->Model().Root()->Id);
    ElementDialogOeffnen(d->Model().Root()->Id);
  });
  FHydroKnoepfe.push_back(net);
  const char* netzPalette[][2] = {{"KEM", "MW-Netz"},
                                  {"KES", "SW-Netz"},
                                  {"KER", "RW-Netz"},
                                  {"AEO", "natürliches Einzugsgebiet"},
                                  {"RU", "RÜ"},
                                  {"RUB", "RÜB /SK"},
                                  {"RKB", "RKB"},
                                  {"OMA", "ortspezifische Maßnahme"},
                                  {"KLG", "KLG"},
                                  {"EST", "Einleitung"},
                                  {"CON", "Connector"},
                                  {"REG", "Regenschreiber"},
                                  {"AEK", "AEV"},
                                  {"VFL", "Versickerungsfläche"},
                                  {"VBE", "Versickerungsbecken"},
                                  {"VMU", "Versickerungsmulde"},
                                  {"VRI", "Versickerungsrigole"},
                                  {"VSC", "Versickerungsschacht"}};
  const QStringList bleiben = {"AEO", "AEK", "VFL", "VBE", "VMU", "VRI", "VSC"};
  // The bar wraps into two rows, before the sub-area button.
  QToolBar* zweite = nullptr;
  for (auto& p : netzPalette) {
    if (!zweite && QString::fromUtf8(p[0]) == QStringLiteral("AEK")) {
      addToolBarBreak();
      zweite = addToolBar(QStringLiteral("Grafik"));
      zweite->setObjectName(QStringLiteral("Werkzeugleiste2"));
      zweite->setMovable(false);
      zweite->setFont(FWerkzeuge->font());
    }
    QAction* a = werkzeug(p[0], p[0], p[1], true, zweite);
    if (!bleiben.contains(QString::fromUtf8(p[0]))) FHydroKnoepfe.push_back(a);
  }
  zweite->addSeparator();
  const char* grafikPalette[][2] = {{"LIN", "Linie"},
                                    {"REC", "Rechteck"},
                                    {"CIR", "Ellipse / Kreis"},
                                    {"RRE", "abgerundetes Rechteck"},
                                    {"RAU", "Raute"},
                                    {"POL", "Poly-Linie"},
                                    {"POG", "Polygon"},
                                    {"TEX", "Text"},
                                    {"DIM", "Vermaßung"},
                                    {"DOT", "Punkt"},
                                    {"IMP", "Beschriftungsfeld"},
                                    {"BMP", "Bild"},
                                    {"YON", "Entscheidung"}};
  for (auto& p : grafikPalette) FGrafikKnoepfe.push_back(werkzeug(p[0], p[0], p[1], true, zweite));
  zweite->addSeparator();
  connect(knopf("Drehen", "Drehen", "markierte drehen", nullptr, zweite), &QAction::triggered, this,
          [this] { FEditor->Drehen(); });
  connect(knopf("SpiegelnH", "Spiegeln H", "markierte horizontal spiegeln", nullptr, zweite),
          &QAction::triggered, this, [this] { FEditor->Spiegeln(true); });
  connect(knopf("SpiegelnV", "Spiegeln V", "markierte vertikal spiegeln", nullptr, zweite),
          &QAction::triggered, this, [this] { FEditor->Spiegeln(false); });
  zweite->addSeparator();
  knopf("Adresse", "Adresse", "Adresse", Aktion("Kunde_AdresseClick"), zweite);
  knopf("Rechner", "Rechner", "Rechner", Aktion("Zusaetzlich_UPNClick"), zweite);
  knopf("Hilfe", "Hilfe", "Hilfe", Aktion("Hilfe_InfoClick"), zweite);
}

void TMainFrm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!FGestartet) {
    FGestartet = true;
    QMetaObject::invokeMethod(
        this, [this] { Starte(true); }, Qt::QueuedConnection);
  }
}

void TMainFrm::Starte(bool infoBox) {
  FGestartet = true;
  if (ModellAnzahl() > 0) return;
  if (infoBox) Info(true);
  if (!FTabellenOffen) {
    FAdresse.Oeffnen(FProgrammordner, FDatenordner);
    FStrassen.Oeffnen(FProgrammordner, FDatenordner);
    TMusterForm::SetzeStrassentabelle(&FStrassen.Tabelle());
    FTabellenOffen = true;
    TReferenzListen r = StandardReferenzListen();
    if (GanglinienLesen(FProgrammordner, r)) FProgrammReferenz = std::move(r);
  }
  // Screens of more than 96 dpi are scaled by Qt itself (the drawing and
  // the lists in device-independent pixels), so large fonts need no warning.
  if (!FStartdatei.isEmpty() && Oeffne(FStartdatei)) return;
  Datei_NeuClick();
}

TAdresseDialog* TMainFrm::Adresse(bool ausfuehren) {
  auto* dlg = new TAdresseDialog(FAdresse.Tabelle(), this);
  connect(dlg, &TAdresseDialog::HilfeVerlangt, this,
          [this] { ZeigeHilfe(this, QStringLiteral("adresse")); });
  // The address shows in the title blocks of every project: the current
  // one counts as changed.
  connect(dlg, &QDialog::accepted, this, [this] {
    if (TDokument* d = Aktuell()) {
      TCommit c = d->Beginne("Adresse");
      c.AendereModell();
      const std::string wert = TitelblockWert();
      for (int i = 0; i < c.Model().Count(); ++i)
        if (c.Model().GetNode(i)->Typ() == "IMP") c.Aendern(c.Model().GetNode(i))->Val = wert;
      d->Push(c);
    }
  });
  if (!ausfuehren) return dlg;
  dlg->exec();
  delete dlg;
  return nullptr;
}

bool TMainFrm::eventFilter(QObject* o, QEvent* e) {
  // The arrow keys and Delete of the element list edit the drawing.
  if (o == FElementBox && e->type() == QEvent::KeyPress &&
      FEditor->Taste(static_cast<QKeyEvent*>(e)))
    return true;
  if (o == FUebersicht && Navigator(e)) return true;
  return QMainWindow::eventFilter(o, e);
}

std::string TMainFrm::TitelblockWert() const {
  TDokument* d = Aktuell();
  QString benutzer = qEnvironmentVariable("USER");
  if (benutzer.isEmpty()) benutzer = qEnvironmentVariable("USERNAME");
  QStringList f{benutzer};
  const TTabelle& t = const_cast<TProgrammtabelle&>(FAdresse).Tabelle();
  for (const char* spalte : {"STRASSE", "PLZ", "ORT", "TELEFON", "FAX", "EMAIL"})
    f << (t.Anzahl() > 0 ? Q(AlsText(t.Wert(0, spalte))) : QString());
  if (d) {
    const TNET& n = d->Model().Netz();
    f << Q(n.Nummer) << Q(n.ProjektName) << Q(n.Variante) << Q(n.Auftraggeber);
    f << QDate(1899, 12, 30)
             .addDays(static_cast<qint64>(std::floor(n.Datum)))
             .toString(QStringLiteral("dd.MM.yyyy"));
  } else {
    for (int i = 0; i < 5; ++i) f << QString();
  }
  // A "#" inside a field would shift the ones after it.
  for (QString& x : f) x.replace(QLatin1Char('#'), QLatin1Char(' '));
  return S(f.join(QLatin1Char('#')) + QLatin1Char('#'));
}

void TMainFrm::TitelblockeFuellen() {
  TDokument* d = Aktuell();
  if (!d) return;
  const std::string wert = TitelblockWert();
  TCommit c = d->Beginne("Beschriftungsfelder");
  for (int i = 0; i < c.Model().Count(); ++i)
    if (c.Model().GetNode(i)->Typ() == "IMP" && c.Model().GetNode(i)->Val != wert)
      c.Aendern(c.Model().GetNode(i))->Val = wert;
  d->Push(c);
}

void TMainFrm::Befehl(const char* name, void (TEditor::*f)()) {
  connect(Aktion(QString::fromUtf8(name)), &QAction::triggered, this,
          [this, f] { (FEditor->*f)(); });
}

void TMainFrm::ElementDialogOeffnen(uint64_t id) {
  TDokument* d = Aktuell();
  const TCadShape* s = d ? d->Model().GetNodeById(id) : nullptr;
  if (!s) return;
  if (!s->IsM3Shape()) {
    FEditor->Grafikeinstellungen(id);
    return;
  }
  // A kind without a dialog opens nothing; OK is a commit, which this
  // window observes. The dialog carries the switch of the result bar.
  auto f = ErzeugeElementDialog(*d, id, FDialoge, this);
  if (!f) return;
  f->KnopfVorne(new TAnzeigeSchalter(FErgebnis, f.get()));
  f->exec();
}

void TMainFrm::UebersichtAktualisieren() {
  TDokument* d = Aktuell();
  TCadShape* frame = FUebersichtModell.GetNode("Ausschnitt");
  if (!d || !frame) return;
  const TCadView& v = FAnsicht->View();
  const double kz = v.Ansicht().KehrwertZoom();
  const double bx = v.Width() * kz, by = v.Height() * kz;
  TAusdehnung e = GetExt(d->Model(), false);
  if (e.MinX > e.MaxX) e = {v.OrgX(), v.OrgY(), v.OrgX() + bx, v.OrgY() + by};
  e.MinX = std::min(e.MinX, v.OrgX());
  e.MinY = std::min(e.MinY, v.OrgY());
  e.MaxX = std::max(e.MaxX, v.OrgX() + bx);
  e.MaxY = std::max(e.MaxY, v.OrgY() + by);
  const double w = e.MaxX - e.MinX, h = e.MaxY - e.MinY;
  const TCadView& u = FUebersicht->View();
  if (!(w > 0) || !(h > 0) || u.Width() <= 0 || u.Height() <= 0) return;
  const double zo = std::min(u.Width() / w, u.Height() / h);
  // The frame shows exactly the visible part of the drawing.
  frame->X1 = v.OrgX();
  frame->Y1 = v.OrgY();
  frame->X2 = v.OrgX() + bx;
  frame->Y2 = v.OrgY() + by;
  FUebersicht->View().SetOrgZoom(e.MinX, e.MinY, zo);
  FUebersicht->Neuzeichnen();
}

bool TMainFrm::Navigator(QEvent* e) {
  TCadShape* frame = FUebersichtModell.GetNode("Ausschnitt");
  if (!frame || !Aktuell()) return false;
  const TAnsicht& a = FUebersicht->View().Ansicht();
  switch (e->type()) {
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(e);
      if (m->button() != Qt::LeftButton) return false;
      const QPoint p = m->position().toPoint();
      // The frame is picked on its area.
      FNavigatorZug = PointInShape(*frame, a, {p.x(), p.y()});
      FNavigatorLetzter = p;
      return true;
    }
    case QEvent::MouseMove: {
      if (!FNavigatorZug) return false;
      const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
      Bewege(*frame, a, p.x() - FNavigatorLetzter.x(), p.y() - FNavigatorLetzter.y());
      FNavigatorLetzter = p;
      FAnsicht->View().SetOrg(frame->X1, frame->Y1);
      FUebersicht->Neuzeichnen();
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (!FNavigatorZug) return false;
      FNavigatorZug = false;
      FAnsicht->View().SetOrg(frame->X1, frame->Y1);
      UebersichtAktualisieren();
      return true;
    default:
      return false;
  }
}

void TMainFrm::Info(bool start) {
  TInfoBox box(this, start, QDir(FProgrammordner).filePath(QStringLiteral("Intro.WAV")));
  box.exec();
}

// ---------------------------------------------------------------- models

QString TMainFrm::Anzeigename(const TDokument& d) const {
  return Q(d.DateiName());
}

int TMainFrm::IndexVon(const QString& basis) const {
  for (int i = 0; i < ModellAnzahl(); ++i) {
    if (QDir::cleanPath(Q(Modell(i).DateiName()))
            .compare(QDir::cleanPath(basis), Qt::CaseInsensitive) == 0)
      return i;
  }
  return -1;
}

bool TMainFrm::IstProgrammordner(const QString& basis) const {
  return GleicherOrdner(QFileInfo(basis).absolutePath(), FProgrammordner);
}

void TMainFrm::Aufnehmen(std::unique_ptr<TDokument> d) {
  if (Aktuell()) FModelle[static_cast<size_t>(FAktuell)].Ansicht = FAnsicht->View().Einstellungen();
  TOffen o;
  TDokument* p = d.get();
  o.Dok = std::move(d);
  o.Beobachter = p->Beobachte([this, p](const TAenderung& a) {
    if (p == Aktuell()) FEditor->Bemerke(a);
    Geaendert(p);
  });
  o.Eintrag = new QAction(Anzeigename(*p), this);
  o.Eintrag->setCheckable(true);
  connect(o.Eintrag, &QAction::triggered, this, [this, p] {
    for (int i = 0; i < ModellAnzahl(); ++i)
      if (&Modell(i) == p) Umschalten(i);
  });
  FModelleMenue->addAction(o.Eintrag);
  FModelle.push_back(std::move(o));
  FAktuell = ModellAnzahl() - 1;
  Anzeigen();
}

void TMainFrm::Datei_NeuClick() {
  if (Aktuell() && FrageVorDemSchliessen() == static_cast<int>(TDialoge::TAntwort::Abbrechen))
    return;
  int n = 1;
  auto name = [&] { return QDir(FProgrammordner).filePath(QStringLiteral("Unbenannt%1").arg(n)); };
  while (IndexVon(name()) >= 0) ++n;
  std::unique_ptr<TDokument> d;
  if (FProgrammReferenz) {
    // A new project with the program folder's hydrographs: made as a
    // project file of its own and opened, so that it starts unchanged.
    TM3Model m;
    m.Referenz = *FProgrammReferenz;
    QTemporaryDir tmp;
    const std::string zwischen = S(QDir(tmp.path()).filePath(QStringLiteral("Neu")));
    std::string fehler;
    TLadeErgebnis e;
    if (A3_SaveAs(m, zwischen, fehler)) d = TDokument::Oeffnen(zwischen, e);
  }
  if (!d) d = std::make_unique<TDokument>();
  d->SetzeDateiName(S(QDir::toNativeSeparators(name())));
  Aufnehmen(std::move(d));
  FAnsicht->View().Zuruecksetzen();
}

void TMainFrm::Umschalten(int index) {
  if (index < 0 || index >= ModellAnzahl() || index == FAktuell) return;
  // Each project keeps its own view: origin, zoom, grid and link displays.
  if (Aktuell()) FModelle[static_cast<size_t>(FAktuell)].Ansicht = FAnsicht->View().Einstellungen();
  FAktuell = index;
  TOffen& o = FModelle[static_cast<size_t>(FAktuell)];
  if (o.Ansicht) {
    FAnsicht->View().UebernimmEinstellungen(*o.Ansicht);
    const TAnsichtEinstellungen& a = *o.Ansicht;
    Aktion("Ansicht_AbflussClick")->setChecked(a.ShowParent);
    Aktion("Ansicht_KUEClick")->setChecked(a.ShowKUE);
    Aktion("Ansicht_GEWClick")->setChecked(a.ShowGEW);
    Aktion("Ansicht_BUEClick")->setChecked(a.ShowBUE);
    Aktion("Ansicht_REGClick")->setChecked(a.ShowREG);
    Aktion("Ansicht_RasterClick")->setChecked(a.ShowGrid);
  }
  Anzeigen();
}

// Shows the current project: drawing, element list, result bar, caption.
void TMainFrm::Anzeigen() {
  TDokument* d = Aktuell();
  FAnsicht->SetModel(d ? &d->Model() : nullptr);
  FEditor->SetzeDokument(d);
  FAnsicht->Neuzeichnen();
  for (int i = 0; i < ModellAnzahl(); ++i)
    FModelle[static_cast<size_t>(i)].Eintrag->setChecked(i == FAktuell);
  ElementlisteFuellen();
  Beschriftung();
  ShowResults();
  Statusleiste();
  Befehle();
}

void TMainFrm::Geaendert(TDokument* d) {
  if (d != Aktuell()) {
    Befehle();
    return;
  }
  FAnsicht->Neuzeichnen();
  ElementlisteFuellen();
  ShowResults();
  Beschriftung();
  Statusleiste();
  Befehle();
  UebersichtAktualisieren();
}

void TMainFrm::ElementlisteFuellen() {
  FFuelleListe = true;
  FElementBox->clear();
  TDokument* d = Aktuell();
  if (d) {
    const TM3Model& m = d->Model();
    std::vector<std::pair<QString, uint64_t>> eintraege;
    for (int i = 0; i < m.Count(); ++i) {
      const TCadShape* s = m.GetNode(i);
      if (s && s->IsM3Shape()) eintraege.emplace_back(Q(s->Name), s->Id);
    }
    std::sort(eintraege.begin(), eintraege.end(), [](const auto& a, const auto& b) {
      return QString::localeAwareCompare(a.first, b.first) < 0;
    });
    for (auto& [name, id] : eintraege)
      FElementBox->addItem(name, QVariant::fromValue<qulonglong>(id));
    // The current element, else the last shape if it is selected, else the root.
    uint64_t aktuell = d->Auswahl().Aktuell;
    if (!m.GetNodeById(aktuell)) {
      const TCadShape* letzte = m.Count() > 0 ? m.GetNode(m.Count() - 1) : nullptr;
      aktuell = letzte && m.IsSelected(letzte) ? letzte->Id : (m.Root() ? m.Root()->Id : 0);
      d->Auswahl().Aktuell = aktuell;
    }
    FElementBox->setCurrentIndex(FElementBox->findData(QVariant::fromValue<qulonglong>(aktuell)));
  }
  FFuelleListe = false;
}

std::shared_ptr<const TLangzeitlauf> TMainFrm::Langzeitlauf(const TDokument* d) const {
  for (const TOffen& o : FModelle)
    if (d && o.Dok.get() == d) return o.Lauf;
  return nullptr;
}

TFormKalibrierHilfe* TMainFrm::Kalibrierung() const {
  return FKalibrierung;
}

void TMainFrm::EreignisOeffnen(uint64_t id, bool grafik) {
  TDokument* d = Aktuell();
  if (!d) return;
  // Closed with its document (Schliessen), freed with the main window.
  TFormEreignisChart::Oeffnen(
      *d, FDialoge, [this, d] { return Langzeitlauf(d); }, id, grafik, this);
}

void TMainFrm::KnotenClick(uint64_t id) {
  TDokument* d = Aktuell();
  if (!d) return;
  // The element list holds network shapes only: a graphic shape shows the root.
  const TCadShape* s = d->Model().GetNodeById(id);
  if ((!s || !s->IsM3Shape()) && d->Model().Root()) id = d->Model().Root()->Id;
  d->Auswahl().Aktuell = id;
  FFuelleListe = true;
  FElementBox->setCurrentIndex(FElementBox->findData(QVariant::fromValue<qulonglong>(id)));
  FFuelleListe = false;
  ShowResults();
  Statusleiste();
}

void TMainFrm::ShowResults() {
  TDokument* d = Aktuell();
  if (!d) return;
  const TM3Model& m = d->Model();
  const TElement* e = m.CurrentElement();
  if (e) {
    FErgebnis->Zeige(e, d->Zufluss(d->Auswahl().Aktuell), m.Netz());
  } else {
    FErgebnis->Zeige(nullptr, m.Zufluss(), m.Netz());
  }
}

void TMainFrm::Beschriftung() {
  TDokument* d = Aktuell();
  QString t = QString::fromUtf8(kTitel);
  if (d) t += QStringLiteral(" - ") + Anzeigename(*d) + QStringLiteral("[*]");
  setWindowTitle(t);
  setWindowModified(d && d->Modified());
  for (TOffen& o : FModelle) o.Eintrag->setText(Anzeigename(*o.Dok));
}

void TMainFrm::Statusleiste() {
  TDokument* d = Aktuell();
  if (!d) {
    for (QLabel* l : FStatusFelder) l->clear();
    return;
  }
  const TM3Model& m = d->Model();
  const TCadShape* s = m.GetNodeById(FMausShape);
  double k[4] = {0, 0, 0, 0};
  if (s && IstKlasse(*s, "POL") && !s->Koordinaten.empty()) {
    k[0] = s->Koordinaten[0].X;
    k[1] = s->Koordinaten[0].Y;
    if (s->Koordinaten.size() > 1) {
      k[2] = s->Koordinaten[1].X;
      k[3] = s->Koordinaten[1].Y;
    }
  } else if (s) {
    k[0] = s->X1;
    k[1] = s->Y1;
    k[2] = s->X2;
    k[3] = s->Y2;
  }
  const QStringList werte = {ZahlText(FMausX) + QStringLiteral(" / ") + ZahlText(FMausY),
                             s ? Q(s->Name) : QString::fromUtf8(kWurzelName),
                             ZahlText(k[0]),
                             ZahlText(k[1]),
                             ZahlText(k[2]),
                             ZahlText(k[3]),
                             ZahlText(FAnsicht->View().Zoom()),
                             QStringLiteral("%1 / %2")
                                 .arg(static_cast<int>(m.Auswahl.Ids().size()))
                                 .arg(std::max(0, m.Count() - 1)),
                             QString::number(m.Modified)};
  for (size_t i = 0; i < FStatusFelder.size() && i < static_cast<size_t>(werte.size()); ++i)
    FStatusFelder[i]->setText(werte[static_cast<int>(i)]);
}

QString TMainFrm::Statusfeld(int i) const {
  return i >= 0 && i < static_cast<int>(FStatusFelder.size())
             ? FStatusFelder[static_cast<size_t>(i)]->text()
             : QString();
}

void TMainFrm::Befehle() {
  TDokument* d = Aktuell();
  // The two check items show the current project's settings.
  if (d) {
    Aktion("Bearbeiten_EditorAutomatischClick")->setChecked(d->Model().AutoOeffnen);
    Aktion("Bearbeiten_AmRasterClick")->setChecked(d->Model().AmRasterAusrichten);
  }
  QAction* rueck = Aktion("Bearbeiten_RueckgaengigClick");
  QAction* wieder = Aktion("Bearbeiten_WiederholenClick");
  rueck->setEnabled(d && d->KannRueckgaengig());
  wieder->setEnabled(d && d->KannWiederholen());
  rueck->setText(d && d->KannRueckgaengig()
                     ? QStringLiteral("&Rückgängig: ") + Q(d->RueckgaengigTitel())
                     : QStringLiteral("&Rückgängig"));
  wieder->setText(d && d->KannWiederholen()
                      ? QStringLiteral("&Wiederherstellen: ") + Q(d->WiederholenTitel())
                      : QStringLiteral("&Wiederherstellen"));
  // The editing commands by the selection and the clipboard.
  const bool auswahl = d && d->Model().AnySelected();
  for (const char* n :
       {"Bearbeiten_KopierenClick", "Bearbeiten_AusschneidenClick", "Bearbeiten_LoeschenClick",
        "Bearbeiten_UmbenennenClick", "Bearbeiten_GrafikClick", "Bearbeiten_GeoClick"})
    Aktion(QString::fromUtf8(n))->setEnabled(auswahl);
  Aktion("Bearbeiten_EinfuegenClick")->setEnabled(d && FEditor->Clipboard());
  Aktion("Bearbeiten_AlleClick")->setEnabled(d && d->Model().Count() > 1);
  for (const char* n : {"Knopf_Drehen", "Knopf_SpiegelnH", "Knopf_SpiegelnV"})
    Aktion(QString::fromUtf8(n))->setEnabled(auswahl);
}

void TMainFrm::Ansichtsschalter() {
  TCadView& v = FAnsicht->View();
  v.SetShowParent(Aktion("Ansicht_AbflussClick")->isChecked());
  v.SetShowKUE(Aktion("Ansicht_KUEClick")->isChecked());
  v.SetShowBUE(Aktion("Ansicht_BUEClick")->isChecked());
  v.SetShowGEW(Aktion("Ansicht_GEWClick")->isChecked());
  v.SetShowREG(Aktion("Ansicht_REGClick")->isChecked());
  v.SetShowGrid(Aktion("Ansicht_RasterClick")->isChecked());
}

// --------------------------------------------------------- closing, saving

int TMainFrm::FrageVorDemSchliessen() {
  TDokument* d = Aktuell();
  if (!d || !d->Modified()) return static_cast<int>(TDialoge::TAntwort::Nein);
  TDialoge::TAntwort a = FDialoge.JaNeinAbbrechen(this, QString::fromUtf8(kFrageSpeichern));
  if (a == TDialoge::TAntwort::Ja && !Datei_SpeichernUnterClick())
    a = TDialoge::TAntwort::Abbrechen;  // not saved: the project stays
  return static_cast<int>(a);
}

bool TMainFrm::Datei_SchliessenClick() {
  return Schliessen(FAktuell, true);
}

bool TMainFrm::Schliessen(int index, bool vomMenue) {
  if (index < 0 || index >= ModellAnzahl()) return false;
  Umschalten(index);
  FEditor->SetzeDokument(nullptr);  // an edit in progress ends, nothing is held
  if (FrageVorDemSchliessen() == static_cast<int>(TDialoge::TAntwort::Abbrechen)) {
    FEditor->SetzeDokument(Aktuell());
    return false;
  }
  TOffen o = std::move(FModelle[static_cast<size_t>(index)]);
  FModelle.erase(FModelle.begin() + index);
  o.Dok->Abmelden(o.Beobachter);
  TFormEreignisChart::SchliesseAlle(this, o.Dok.get());
  FModelleMenue->removeAction(o.Eintrag);
  delete o.Eintrag;
  FAnsicht->SetModel(nullptr);
  FAktuell = -1;
  o.Dok.reset();
  if (ModellAnzahl() == 0 && vomMenue) {
    Datei_NeuClick();
  } else if (ModellAnzahl() > 0) {
    Umschalten(0);  // without keeping the closed project's view
  } else {
    Anzeigen();
  }
  return true;
}

void TMainFrm::closeEvent(QCloseEvent* e) {
  while (ModellAnzahl() > 0) {
    if (!Schliessen(FAktuell, false)) {
      e->ignore();
      return;
    }
  }
  if (FTabellenOffen) {
    QString fehler;
    TMusterForm::SetzeStrassentabelle(nullptr);
    if (!FAdresse.Schliessen(fehler) || !FStrassen.Schliessen(fehler))
      FDialoge.Meldung(this, fehler);
    FTabellenOffen = false;
  }
  e->accept();
}

bool TMainFrm::Datei_SpeichernClick() {
  TDokument* d = Aktuell();
  if (!d) return false;
  if (IstProgrammordner(Q(d->DateiName()))) {
    FDialoge.Meldung(this, QString::fromUtf8(kKeinProjektOrdner));
    return false;
  }
  return SpeichernAls(Q(d->DateiName()));
}

bool TMainFrm::SpeichernAls(const QString& basis) {
  TDokument* d = Aktuell();
  FEditor->SetzeDokument(d);  // a polyline in progress is saved as drawn
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string fehler;
  const bool gleich = Q(d->DateiName()) == basis;
  const bool ok = gleich ? d->Speichern(fehler) : d->SpeichernUnter(S(basis), fehler);
  QApplication::restoreOverrideCursor();
  if (!ok) {
    FDialoge.Meldung(this,
                     QStringLiteral("Das Projekt konnte nicht gespeichert werden.\r") + Q(fehler));
  }
  Beschriftung();
  Statusleiste();
  return ok;
}

bool TMainFrm::Datei_SpeichernUnterClick() {
  TDokument* d = Aktuell();
  if (!d) return false;
  const QString datei = FDialoge.DateiSpeichern(this, QStringLiteral("Projekt speichern als ..."),
                                                QStringLiteral("TamKor21 - Dateien  (*.T21)"));
  if (datei.isEmpty()) return false;
  const QString basis = QDir::cleanPath(Q(OhneEndung(S(QFileInfo(datei).absoluteFilePath()))));
  if (IstProgrammordner(basis)) {
    FDialoge.Meldung(this, QString::fromUtf8(kKeinProjektOrdner));
    return false;
  }
  const int anderes = IndexVon(basis);
  if (anderes >= 0 && anderes != FAktuell) {
    FDialoge.Meldung(this, QString::fromUtf8(kAnderesModellOffen));
    return false;
  }
  const bool selbe = QDir::cleanPath(Q(d->DateiName())).compare(basis, Qt::CaseInsensitive) == 0;
  if (!selbe) {
    const QString t21 = basis + QStringLiteral(".T21");
    if (QFileInfo::exists(t21) &&
        !FDialoge.JaNein(this, QStringLiteral("Die Datei \"%1\" existiert bereits.\nSoll sie "
                                              "überschrieben werden?")
                                   .arg(QDir::toNativeSeparators(t21)))) {
      return false;
    }
    for (const char* alt : {".MOD", ".TRE"}) {
      const QString a = basis + QString::fromUtf8(alt);
      if (QFileInfo::exists(a) &&
          !FDialoge.JaNein(this, QStringLiteral("Unter diesem Namen gibt es ein Projekt älteren "
                                                "Formats (\"%1\").\nTrotzdem speichern?")
                                     .arg(QDir::toNativeSeparators(a)))) {
        return false;
      }
    }
  }
  return SpeichernAls(selbe ? Q(d->DateiName()) : basis);
}

// ----------------------------------------------------------------- opening

bool TMainFrm::Datei_OeffnenClick() {
  const QString datei = FDialoge.DateiOeffnen(
      this, QStringLiteral("Projekt öffnen"),
      QStringLiteral("TamKor21-Datei  (*.T21);;TamKor 2 - Datei     (*.MOD);;TamKor 1 - Datei     "
                     "(*.TRE)"));
  if (datei.isEmpty()) return false;
  return Oeffne(datei);
}

bool TMainFrm::Oeffne(const QString& dateiQ) {
  const std::string datei = S(QFileInfo(dateiQ).absoluteFilePath());
  const int version = ProjektVersion(datei);
  if (version == 0) {
    FDialoge.Meldung(this, QString::fromUtf8(kUngueltigeDateibezeichnung));
    return false;
  }
  const QString basis = QDir::cleanPath(Q(OhneEndung(datei)));
  if (IndexVon(basis) >= 0) {
    FDialoge.Meldung(this, QString::fromUtf8(kModellBereitsGeladen));
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::unique_ptr<TDokument> d;
  QStringList protokoll;
  QString meldung, fehler;
  if (version == 3) {
    TLadeErgebnis e;
    d = TDokument::Oeffnen(S(basis), e);
    if (!d) fehler = Q(e.Fehler);
    meldung = Q(e.Meldung);
    for (auto& h : e.Hinweise) protokoll << Q(h);
  } else {
    // An older project folder: read by the loader of older projects, then
    // taken into a document through a project file of its own in a
    // temporary folder. The project is new in this form, so it counts as
    // changed until it is saved.
    TM3Model m;
    TDataModule1 dm;
    TOeffnenOptionen opt;
    opt.Programmordner = S(FProgrammordner);
    TOeffnenErgebnis e = ProjektOeffnen(m, dm, datei, opt);
    for (auto& z : e.Fehlerprotokoll) protokoll << Q(z);
    if (!e.Ok) {
      fehler = Q(e.Meldung);
    } else {
      QTemporaryDir tmp;
      const std::string zwischen = S(QDir(tmp.path()).filePath(QStringLiteral("Projekt")));
      std::string f;
      TLadeErgebnis le;
      if (A3_SaveAs(m, zwischen, f)) d = TDokument::Oeffnen(zwischen, le);
      if (!d) {
        fehler = Q(f.empty() ? le.Fehler : f);
      } else {
        d->SetzeDateiName(S(QDir::toNativeSeparators(basis)));
        TCommit c = d->Beginne("Öffnen");
        c.AendereModell();
        d->Push(c);
      }
    }
  }
  QApplication::restoreOverrideCursor();
  if (!d) {
    FDialoge.Meldung(
        this, fehler.isEmpty() ? QStringLiteral("Das Projekt kann nicht geladen werden.") : fehler);
    return false;
  }
  if (d->Model().Root()) d->Auswahl().Aktuell = 0;
  Aufnehmen(std::move(d));
  FAnsicht->View().Zuruecksetzen();
  const TAnsichtEinstellungen& a = Aktuell()->Model().ParViewSettings;
  Aktion("Ansicht_AbflussClick")->setChecked(a.ShowParent);
  Aktion("Ansicht_KUEClick")->setChecked(a.ShowKUE);
  Aktion("Ansicht_GEWClick")->setChecked(a.ShowGEW);
  Aktion("Ansicht_BUEClick")->setChecked(a.ShowBUE);
  Aktion("Ansicht_REGClick")->setChecked(a.ShowREG);
  Aktion("Ansicht_RasterClick")->setChecked(a.ShowGrid);
  Ansichtsschalter();
  // The whole drawing, once the view has its size.
  QMetaObject::invokeMethod(
      this, [this] { FAnsicht->ZoomAll(); }, Qt::QueuedConnection);
  if (!protokoll.isEmpty()) FDialoge.Protokoll(this, QStringLiteral("Fehlermeldung"), protokoll);
  if (!meldung.isEmpty()) FDialoge.Meldung(this, meldung);
  return true;
}

// ----------------------------------------------------------------- exports

void TMainFrm::ExportCSV() {
  TDokument* d = Aktuell();
  if (!d) return;
  // In the user's number settings, as a spreadsheet pasting it reads them.
  QApplication::clipboard()->setText(Q(CreateCSVFile(d->Model(), ZahlenformatAus())));
}

void TMainFrm::ExportExcel() {
  TDokument* d = Aktuell();
  if (!d) return;
  const QString datei = FDialoge.DateiSpeichern(this, QStringLiteral("EXCEL-Mappe speichern"),
                                                QStringLiteral("EXCEL-Mappe (*.xlsx)"));
  if (datei.isEmpty()) return;
  QString ziel = datei;
  if (!ziel.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) ziel += QStringLiteral(".xlsx");
  TDataModule1 dm;
  std::string fehler;
  if (!SaveModelToEXCEL(dm, d->Model(), S(ziel), fehler))
    FDialoge.Meldung(
        this, QStringLiteral("Die EXCEL-Mappe konnte nicht geschrieben werden.\r") + Q(fehler));
}

void TMainFrm::ExportBild() {
  TDokument* d = Aktuell();
  if (!d) return;
  const QString datei = FDialoge.DateiSpeichern(this, QStringLiteral("Bild speichern"),
                                                QStringLiteral("Bild (*.svg *.pdf *.png *.bmp)"));
  if (datei.isEmpty()) return;
  QString fehler;
  if (!SpeichereBild(d->Model(), FAnsicht->View(), datei, fehler)) FDialoge.Meldung(this, fehler);
}

void TMainFrm::FensterDrucken() {
  QPrinter drucker;
  QPrintDialog dlg(&drucker, this);
  dlg.setWindowTitle(QStringLiteral("Fenster drucken"));
  if (dlg.exec() != QDialog::Accepted) return;
  const QPixmap bild = grab();
  QPainter p(&drucker);
  const QRect r = p.viewport();
  QSize s = bild.size();
  s.scale(r.size(), Qt::KeepAspectRatio);
  p.drawPixmap(QRect(r.topLeft(), s), bild);
}

}  // namespace t21
