#include "app/simulation/simulationsfenster.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"
#include "app/basis/zahlenformat.h"
#include "app/vorschau/auswahldialog.h"
#include "app/vorschau/druckvorschau.h"
#include "document/dokument.h"
#include "document/lauf_auftrag.h"
#include "model/regen.h"
#include "report/ergebnisbericht.h"
#include "simulation/ereignis.h"
#include "storage/export_csv.h"
#include "storage/export_xlsx.h"

namespace t21 {

namespace {

namespace fs = std::filesystem;

const char* const kGeaendert = "Simulation,  Modell wurde geändert!";

// Which selection list a page has.
enum class TListe {
  Keine,
  Elemente,
  Bauwerke,
  Netze,
  Einleitungsstellen,
  Klaeranlagen,
  Regenschreiber
};

struct TSeitenArt {
  int Schluessel;  // of its report section; 0: none
  const char* Titel;
  const char* Tabelle;  // a result table or a table of the input echo
  TListe Liste;
  bool Zeitraum, Ereignis, Bewertung;
};

const TSeitenArt kSeiten[] = {
    {1, "Fehler, Warnungen und Hinweise", "CDSFehler", TListe::Keine, false, false, false},
    {2, "Report der Simulation", "CDSReport", TListe::Keine, false, false, false},
    {3, "Niederschlags-Abfluss-Ereignisse", "CDSEreignisse", TListe::Keine, false, false, false},
    {5, "System", "CDSBilSystem", TListe::Elemente, false, false, false},
    {6, "Netze Trockenwetter", "CDSKEZTW", TListe::Netze, false, false, false},
    {7, "Netze Regenwasser", "CDSKEZRW", TListe::Netze, false, false, false},
    {8, "Netze Konzentrationen", "CDSKEZC", TListe::Netze, false, false, false},
    {9, "Netze Schmutzwasser-Ganglinien", "TWGanglinien", TListe::Keine, false, false, false},
    {10, "Netze Fremdwasser-Ganglinien", "FWGanglinien", TListe::Keine, false, false, false},
    {11, "Einzugsgebiete", "CDSBilFlaechen", TListe::Elemente, false, false, false},
    {12, "Bauwerke", "CDSBilBauwerke", TListe::Bauwerke, false, false, false},
    {13, "Maßnahmen Abbauleistung", "CDSOMAETA", TListe::Bauwerke, false, false, false},
    {14, "Kläranlagen Abbauleistung", "CDSKLGETA", TListe::Klaeranlagen, false, false, false},
    {15, "Gewässer Hydrologie", "CDSESTHydrologie", TListe::Einleitungsstellen, false, false,
     false},
    {16, "Gewässer Hydraulik", "CDSESTHydraulik", TListe::Einleitungsstellen, false, false, false},
    {17, "Gewässer Güte", "cdsEstGuete", TListe::Einleitungsstellen, false, false, false},
    {18, "Wiederbesiedlunspotential Verf. 2", "CDSWBP", TListe::Einleitungsstellen, false, false,
     false},
    {19, "Wiederbesiedlunspotential Verf. 1", "CDSWBP1", TListe::Einleitungsstellen, false, false,
     false},
    {20, "Regenschreiber", "CDSREG1", TListe::Regenschreiber, false, false, false},
    {0, "Natürliche Flächen", "CDSBilAEO", TListe::Elemente, false, false, false},
    {0, "Hydrologische Einheiten", "CDSBilHRU", TListe::Elemente, false, false, false},
    {39, "Bewirtschaftungs-Scripts", "CDSScripts", TListe::Elemente, false, false, false},
    {22, "Hydrologie Einzugsgebiete", "CDSSumKEZ", TListe::Netze, true, false, false},
    {23, "Hydrologie QTZ-A 3-2", "CDSSumA128", TListe::Bauwerke, true, false, false},
    {24, "Hydrologie Maßnahmen", "CDSSumOMA", TListe::Bauwerke, true, false, false},
    {25, "Hydrologie Gewässer", "CDSSumEST", TListe::Einleitungsstellen, true, false, false},
    {26, "Hydrologie Kläranlagen", "CDSSUMKLG", TListe::Klaeranlagen, true, false, false},
    {27, "Hydrologie Regenschreiber", "CDSSumREG", TListe::Regenschreiber, true, false, false},
    {29, "Frachten Bauwerke", "CDSFrachtenBauwerke", TListe::Bauwerke, true, false, false},
    {30, "Frachten Gewässer", "CDSFrachtenGewaesser", TListe::Einleitungsstellen, true, false,
     false},
    {31, "Ereignisse Bauwerke", "CDSEreignisseBauwerke", TListe::Bauwerke, true, true, false},
    {32, "Ereignisse Gewässer", "CDSEreignisseGewaesser", TListe::Einleitungsstellen, true, true,
     false},
    {34, "Extrem- und Mittelwerte", "CDSESTEreignisse", TListe::Einleitungsstellen, false, true,
     false},
    {36, "Auswertung Hydrologie", "CDSHDAbfluss", TListe::Einleitungsstellen, false, false, true},
    {37, "Auswertung Stoffe", "CDSHDAuswertung", TListe::Einleitungsstellen, false, false, true},
};

bool Ist(const TSeitenArt* a, const char* tabelle) {
  return std::string_view(a->Tabelle) == tabelle;
}

QString AlleText(TListe l) {
  switch (l) {
    case TListe::Bauwerke:
      return QStringLiteral("<alle Bauwerke>");
    case TListe::Netze:
      return QStringLiteral("<alle Netze>");
    case TListe::Einleitungsstellen:
      return QStringLiteral("<alle Einleitungsstellen>");
    case TListe::Klaeranlagen:
      return QStringLiteral("<alle Kläranlagen>");
    case TListe::Regenschreiber:
      return QStringLiteral("<alle Regenschreiber>");
    default:
      return QStringLiteral("<alle Elemente>");
  }
}

// The group entries and their type codes.
struct TGruppe {
  const char* Text;
  std::vector<std::string> Typen;
};
const std::vector<TGruppe>& Gruppen() {
  static const std::vector<TGruppe> g{
      {"Gesamtsystem", {"***"}}, {"alle Netze", {"KEM", "KES", "KER"}},
      {"SW-Netze", {"KES"}},     {"RW-Netze", {"KER"}},
      {"MW-Netze", {"KEM"}},     {"alle Entlastungsbauwerke", {"RUB", "RU", "RKB"}},
      {"RÜB", {"RUB"}},          {"RÜ", {"RU"}},
      {"RKB", {"RKB"}},          {"Maßnahmen", {"OMA"}},
      {"Kläranlagen", {"KLG"}},  {"Einleitungsstellen", {"EST"}},
      {"Connectoren", {"CON"}}};
  return g;
}

// The type codes a results file may name for its animation element.
bool BekannterTyp(const std::string& t) {
  static const std::set<std::string> k{"REG", "KES", "KEM", "KER", "RU",  "RUB",
                                       "RKB", "OMA", "CON", "KLG", "EST", "AEO"};
  return k.count(t) > 0;
}

QString Endung(const QString& datei) {
  return QFileInfo(datei).suffix().toUpper();
}

}  // namespace

struct TSimulationForm::TSeite {
  const TSeitenArt* Art = nullptr;
  QWidget* Widget = nullptr;
  TErgebnisModell* Modell = nullptr;
  QTableView* Ansicht = nullptr;
  QComboBox* Elemente = nullptr;
  QComboBox* Zeitraeume = nullptr;
  QComboBox* Ereignisse = nullptr;
  QComboBox* Parameter = nullptr;
  QComboBox* OK = nullptr;
  QComboBox* Spalte = nullptr;
  QComboBox* Operator = nullptr;
  QLineEdit* Wert = nullptr;
  QLabel* FilterText = nullptr;
  QPushButton* Report = nullptr;
  TErgebnisFilter Wertfilter;   // the comparison set with the filter button
  bool Spaltenbreiten = false;  // set for the rows shown (when the page was shown)
};

TSimulationForm::TSimulationForm(TDokument& dok, TDialoge& dialoge, QWidget* eltern)
    : QDialog(eltern),
      FDok(dok),
      FDialoge(dialoge),
      FPruefungen(TDataModule2().CDSFehler.SchemaPtr()) {
  setObjectName(QStringLiteral("SimulationForm"));
  setWindowTitle(QStringLiteral("Simulation"));
  BaueOberflaeche();
  FBeobachter = FDok.Beobachte([this](const TAenderung&) { AktualisiereTitel(); });
  // The balance period proposed: what the rain series cover.
  TDateTime von = 0, bis = 0;
  bool gefunden = false;
  const TM3Model& m = FDok.Model();
  for (int i = 0; i < m.Count(); ++i) {
    TREG reg;
    const auto* r = dynamic_cast<const TREG*>(TM3Model::ElementOf(m.GetNode(i)));
    if (!r) continue;
    // The header is read by a copy of the gauge's file settings, so the
    // project's own element is left as it is.
    reg.FileName = Regendatei(m, r->FileName);
    if (!reg.ReadHeader()) continue;
    reg.Schliessen();
    von = gefunden ? std::max(von, reg.AnfangsDatum) : reg.AnfangsDatum;
    bis = gefunden ? std::min(bis, reg.EndDatum) : reg.EndDatum;
    gefunden = true;
  }
  if (!gefunden) {
    von = AusQDateTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC));
    bis = von + 365;
  }
  const QDateTime a = AlsQDateTime(von), e = AlsQDateTime(bis);
  DateTimePickerBeginnTag->setDate(a.date());
  DateTimePickerBeginnZeit->setTime(a.time());
  DateTimePickerEndeTag->setDate(e.date());
  DateTimePickerEndeZeit->setTime(e.time());
  // The animation choice: the elements of the project.
  AnimationAuswahl->addItem(QStringLiteral("     [kein Element]"));
  for (int i = 0; i < m.Count(); ++i)
    if (const TElement* el = TM3Model::ElementOf(m.GetNode(i)))
      if (!el->Name().empty() && el->Typ() != "NET")
        AnimationAuswahl->addItem(QString::fromStdString(el->Name()));
  SetzeKnoepfe(false);
  FillBoxes();
}

TSimulationForm::~TSimulationForm() {
  FAuftrag.reset();  // cancels a run still going and waits for it
  FDok.Abmelden(FBeobachter);
  // The controls go after the pages and tables they show: nothing they
  // signal may reach this window any more.
  for (QObject* o : findChildren<QObject*>()) QObject::disconnect(o, nullptr, this, nullptr);
  for (const auto& s : FSeiten) s->Modell->Zeige(nullptr);
  FPruefModell->Zeige(nullptr);
  hide();
}

void TSimulationForm::BaueOberflaeche() {
  auto* haupt = new QVBoxLayout(this);
  auto* oben = new QHBoxLayout;
  haupt->addLayout(oben);

  auto* zeitraum = new QGroupBox(QStringLiteral("Simulationszeitraum"));
  auto* zf = new QFormLayout(zeitraum);
  auto datum = [](const char* name) {
    auto* d = new QDateEdit;
    d->setObjectName(QString::fromLatin1(name));
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setCalendarPopup(true);
    return d;
  };
  auto zeit = [](const char* name) {
    auto* t = new QTimeEdit;
    t->setObjectName(QString::fromLatin1(name));
    t->setDisplayFormat(QStringLiteral("HH:mm"));
    return t;
  };
  DateTimePickerBeginnTag = datum("DateTimePickerBeginnTag");
  DateTimePickerBeginnZeit = zeit("DateTimePickerBeginnZeit");
  DateTimePickerEndeTag = datum("DateTimePickerEndeTag");
  DateTimePickerEndeZeit = zeit("DateTimePickerEndeZeit");
  auto* beginn = new QHBoxLayout;
  beginn->addWidget(DateTimePickerBeginnTag);
  beginn->addWidget(DateTimePickerBeginnZeit);
  auto* ende = new QHBoxLayout;
  ende->addWidget(DateTimePickerEndeTag);
  ende->addWidget(DateTimePickerEndeZeit);
  zf->addRow(QStringLiteral("Bilanzierungsbeginn:"), beginn);
  zf->addRow(QStringLiteral("Bilanzierungsende:"), ende);
  AnimationAuswahl = new QComboBox;
  AnimationAuswahl->setObjectName(QStringLiteral("AnimationAuswahl"));
  ButtonAnimation = new QPushButton(QStringLiteral("Animations-Objekt ..."));
  ButtonAnimation->setObjectName(QStringLiteral("ButtonAnimation"));
  auto* anim = new QHBoxLayout;
  anim->addWidget(ButtonAnimation);
  anim->addWidget(AnimationAuswahl, 1);
  zf->addRow(anim);
  oben->addWidget(zeitraum);

  auto* lauf = new QGroupBox(QStringLiteral("Berechnung"));
  auto* lf = new QFormLayout(lauf);
  Datum = new QLineEdit;
  Datum->setObjectName(QStringLiteral("Datum"));
  Datum->setReadOnly(true);
  Zeitschritt = new QLineEdit;
  Zeitschritt->setObjectName(QStringLiteral("Zeitschritt"));
  Zeitschritt->setReadOnly(true);
  ProgressBar1 = new QProgressBar;
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ProzentLabel = new QLabel(QStringLiteral("0%"));
  ProzentLabel->setObjectName(QStringLiteral("ProzentLabel"));
  ProzentLabel->setMinimumWidth(ProzentLabel->fontMetrics().horizontalAdvance("100%") + 4);
  auto* balken = new QHBoxLayout;
  balken->addWidget(ProgressBar1, 1);
  balken->addWidget(ProzentLabel);
  lf->addRow(QStringLiteral("Datum:"), Datum);
  lf->addRow(QStringLiteral("Zeitschritt:"), Zeitschritt);
  lf->addRow(QStringLiteral("Fortschritt:"), balken);
  oben->addWidget(lauf, 1);

  auto* knoepfe = new QVBoxLayout;
  auto knopf = [&knoepfe](const char* text, const char* name) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(QString::fromLatin1(name));
    knoepfe->addWidget(b);
    return b;
  };
  ButtonStart = knopf("Berechnung starten", "ButtonStart");
  ButtonAbbruch = knopf("Berechnung abbrechen", "ButtonAbbruch");
  ButtonDrucken = knopf("Ergebnisse drucken", "ButtonDrucken");
  ButtonSpeichern = knopf("Ergebnisse speichern ...", "ButtonSpeichern");
  ButtonLaden = knopf("Ergebnisse laden ...", "ButtonLaden");
  ButtonOK = knopf("Schließen", "ButtonOK");
  knoepfe->addStretch();
  oben->addLayout(knoepfe);

  FReiter = new QTabWidget;
  FReiter->setObjectName(QStringLiteral("Reiter"));
  haupt->addWidget(FReiter, 1);

  // The pre-run checks.
  PruefTabelle = new QTableView;
  PruefTabelle->setObjectName(QStringLiteral("PruefTabelle"));
  FPruefModell = new TErgebnisModell(this);
  FPruefModell->Zeige(&FPruefungen);
  PruefTabelle->setModel(FPruefModell);
  PruefTabelle->horizontalHeader()->setStretchLastSection(true);
  FReiter->addTab(PruefTabelle, QStringLiteral("Systemprüfung"));

  // The result pages with their tree.
  auto* ergebnisse = new QSplitter;
  FBaum = new QTreeWidget;
  FBaum->setObjectName(QStringLiteral("ErgebnisBaum"));
  FBaum->setHeaderHidden(true);
  FStapel = new QStackedWidget;
  FLeereSeite = new QLabel(QStringLiteral("Wählen Sie einen Unter-Eintrag ..."));
  static_cast<QLabel*>(FLeereSeite)->setAlignment(Qt::AlignCenter);
  FStapel->addWidget(FLeereSeite);
  std::map<std::string, QTreeWidgetItem*> gruppen;
  auto gruppe = [&](const char* name) {
    auto& g = gruppen[name];
    if (!g) {
      g = new QTreeWidgetItem(FBaum, {QString::fromUtf8(name)});
      g->setExpanded(true);
    }
    return g;
  };
  for (const TSeitenArt& a : kSeiten) {
    const char* g = a.Schluessel >= 1 && a.Schluessel <= 3     ? "Protokoll"
                    : a.Schluessel <= 20 || a.Schluessel == 39 ? "Eingabedaten"
                                                               : "Ergebnisse";
    auto s = std::make_unique<TSeite>();
    s->Art = &a;
    s->Widget = BaueSeite(*s);
    FStapel->addWidget(s->Widget);
    auto* eintrag = new QTreeWidgetItem(gruppe(g), {QString::fromUtf8(a.Titel)});
    eintrag->setData(0, Qt::UserRole, FStapel->indexOf(s->Widget));
    FSeiten.push_back(std::move(s));
  }
  connect(FBaum, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* i) {
    const QVariant v = i ? i->data(0, Qt::UserRole) : QVariant();
    FStapel->setCurrentIndex(v.isValid() ? v.toInt() : 0);
    // Column widths when a page is first shown with its rows, so that the
    // end of a run does not measure every page at once.
    for (const auto& s : FSeiten)
      if (s->Widget == FStapel->currentWidget() && !s->Spaltenbreiten) {
        s->Ansicht->resizeColumnsToContents();
        s->Spaltenbreiten = true;
      }
  });
  ergebnisse->addWidget(FBaum);
  ergebnisse->addWidget(FStapel);
  ergebnisse->setStretchFactor(1, 1);
  int baumbreite = 0;
  for (const TSeitenArt& a : kSeiten)
    baumbreite =
        std::max(baumbreite, FBaum->fontMetrics().horizontalAdvance(QString::fromUtf8(a.Titel)));
  FBaum->setMinimumWidth(baumbreite + 100);  // two levels of indentation and the scroll bar
  FReiter->addTab(ergebnisse, QStringLiteral("Ergebnisse"));

  Animation = BaueAnimation();
  FReiter->addTab(Animation, QStringLiteral("Animation"));
  FReiter->setTabVisible(FReiter->indexOf(Animation), false);

  FStandUhr = new QTimer(this);
  FStandUhr->setInterval(50);
  connect(FStandUhr, &QTimer::timeout, this, [this] { ZeigeStand(); });

  connect(ButtonStart, &QPushButton::clicked, this, &TSimulationForm::ButtonStartClick);
  connect(ButtonAbbruch, &QPushButton::clicked, this, &TSimulationForm::ButtonAbbruchClick);
  connect(ButtonSpeichern, &QPushButton::clicked, this, &TSimulationForm::ButtonSpeichernClick);
  connect(ButtonLaden, &QPushButton::clicked, this, &TSimulationForm::ButtonLadenClick);
  connect(ButtonDrucken, &QPushButton::clicked, this, &TSimulationForm::ButtonDruckenClick);
  connect(ButtonAnimation, &QPushButton::clicked, this, &TSimulationForm::ButtonAnimationClick);
  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::close);
  auto* hilfe = new QShortcut(QKeySequence::HelpContents, this);
  connect(hilfe, &QShortcut::activated, this,
          [this] { ZeigeHilfe(this, QStringLiteral("simulation")); });
  resize(1200, 700);
}

QWidget* TSimulationForm::BaueSeite(TSeite& s) {
  auto* w = new QWidget;
  auto* l = new QVBoxLayout(w);
  auto* titel = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromUtf8(s.Art->Titel)));
  l->addWidget(titel);
  auto* filter = new QHBoxLayout;
  l->addLayout(filter);
  auto liste = [&](QComboBox*& c, const char* name) {
    c = new QComboBox;
    c->setObjectName(QString::fromLatin1(name));
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    c->setMinimumContentsLength(14);
    filter->addWidget(c);
    connect(c, &QComboBox::currentIndexChanged, this, [this, &s] { SeiteAnwenden(s); });
  };
  if (s.Art->Liste != TListe::Keine) liste(s.Elemente, "Elemente");
  if (s.Art->Zeitraum) liste(s.Zeitraeume, "Zeitraeume");
  if (s.Art->Ereignis) liste(s.Ereignisse, "Ereignisse");
  if (Ist(s.Art, "CDSHDAuswertung")) {
    liste(s.Parameter, "Parameter");
    for (const char* p : {"<alle Parameter>", "O2", "NH3", "AFS"})
      s.Parameter->addItem(QString::fromUtf8(p));
  }
  if (Ist(s.Art, "CDSHDAbfluss")) {
    liste(s.OK, "OK");
    for (const char* p : {"<alle>", "eingehalten", "verletzt"}) s.OK->addItem(QString::fromUtf8(p));
  }
  s.Spalte = new QComboBox;
  s.Spalte->setObjectName(QStringLiteral("Spalte"));
  s.Spalte->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  s.Spalte->addItem(QStringLiteral("<keine Spalte>"));
  for (const TFeld& f : Tab(s).Schema().Felder) s.Spalte->addItem(QString::fromStdString(f.Name));
  s.Operator = new QComboBox;
  s.Operator->setObjectName(QStringLiteral("Operator"));
  for (const char* o : {"=", "<>", "<", "<=", ">", ">="}) s.Operator->addItem(o);
  s.Wert = new QLineEdit;
  s.Wert->setObjectName(QStringLiteral("Wert"));
  s.Wert->setPlaceholderText(QStringLiteral("0"));
  auto* filtern = new QPushButton(QStringLiteral("Filtern"));
  filtern->setObjectName(QStringLiteral("ButtonFilter"));
  filter->addWidget(s.Spalte);
  filter->addWidget(s.Operator);
  filter->addWidget(s.Wert, 1);
  filter->addWidget(filtern);
  connect(filtern, &QPushButton::clicked, this,
          [this, &s] { SeiteFiltern(QString::fromUtf8(s.Art->Titel)); });
  connect(s.Wert, &QLineEdit::returnPressed, filtern, &QPushButton::click);
  s.FilterText = new QLabel;
  s.FilterText->setObjectName(QStringLiteral("FilterText"));
  s.FilterText->setWordWrap(true);
  l->addWidget(s.FilterText);

  s.Modell = new TErgebnisModell(this);
  s.Modell->Zeige(&Tab(s));
  s.Ansicht = new QTableView;
  s.Ansicht->setObjectName(QStringLiteral("Tabelle"));
  s.Ansicht->setModel(s.Modell);
  s.Ansicht->setSelectionBehavior(QAbstractItemView::SelectRows);
  s.Ansicht->setSelectionMode(QAbstractItemView::SingleSelection);
  s.Ansicht->verticalHeader()->setDefaultSectionSize(s.Ansicht->fontMetrics().height() + 6);
  // Column widths from the first rows only: long tables would keep the
  // window busy.
  s.Ansicht->horizontalHeader()->setResizeContentsPrecision(60);
  if (s.Art->Bewertung) {
    auto* teil = new QSplitter(Qt::Vertical);
    teil->addWidget(s.Ansicht);
    auto* diagramme = new QWidget;
    auto* dl = new QHBoxLayout(diagramme);
    dl->setContentsMargins(0, 0, 0, 0);
    const bool hydro = Ist(s.Art, "CDSHDAbfluss");
    const int erstes = hydro ? 0 : 1, anzahl = hydro ? 1 : 2;
    for (int i = erstes; i < erstes + anzahl; ++i) {
      auto* box = new QVBoxLayout;
      auto* v = new QChartView(new QChart);
      v->setObjectName(QStringLiteral("Diagramm%1").arg(i));
      v->setRenderHint(QPainter::Antialiasing);
      v->setMinimumSize(380, 260);
      v->chart()->legend()->setAlignment(Qt::AlignBottom);
      FDiagramme[i] = v;
      box->addWidget(v, 1);
      auto* k = new QHBoxLayout;
      auto* kop = new QPushButton(QStringLiteral("Diagramm kopieren"));
      auto* sp = new QPushButton(QStringLiteral("Speichern..."));
      k->addWidget(kop);
      k->addWidget(sp);
      if (hydro) {
        FLogarithmisch = new QCheckBox(QStringLiteral("Zeitachse logarithmisch"));
        k->addWidget(FLogarithmisch);
        connect(FLogarithmisch, &QCheckBox::toggled, this, [this, &s] { Diagrammzeile(s); });
      }
      k->addStretch();
      box->addLayout(k);
      dl->addLayout(box, 1);
      connect(kop, &QPushButton::clicked, this, [this, i] { DiagrammKopieren(i); });
      connect(sp, &QPushButton::clicked, this, [this, i] {
        const QString d =
            FDialoge.DateiSpeichern(this, QStringLiteral("Diagramm speichern"),
                                    QStringLiteral("SVG-Grafik (*.svg);;PNG-Bild (*.png)"));
        if (!d.isEmpty()) DiagrammSpeichern(i, d);
      });
    }
    auto* unterTeil = new QWidget;
    auto* ul = new QVBoxLayout(unterTeil);
    ul->setContentsMargins(0, 0, 0, 0);
    ul->addWidget(diagramme, 1);
    if (!hydro) {
      FLegende = new QLabel;
      FLegende->setObjectName(QStringLiteral("Legende"));
      FLegende->setWordWrap(true);
      FLegende->setTextFormat(Qt::RichText);
      ul->addWidget(FLegende);
    }
    teil->addWidget(unterTeil);
    teil->setStretchFactor(1, 1);
    teil->setSizes({110, 600});
    l->addWidget(teil, 1);
    connect(s.Ansicht->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &s] { Diagrammzeile(s); });
  } else {
    l->addWidget(s.Ansicht, 1);
  }
  auto* unten = new QHBoxLayout;
  auto* kopieren = new QPushButton(QStringLiteral("Kopieren"));
  kopieren->setObjectName(QStringLiteral("ButtonKopieren"));
  auto* export_ = new QPushButton(QStringLiteral("Daten exportieren ..."));
  export_->setObjectName(QStringLiteral("ButtonExport"));
  s.Report = new QPushButton(QStringLiteral("Report erzeugen"));
  s.Report->setObjectName(QStringLiteral("ButtonSingleReport"));
  s.Report->setProperty("tag", s.Art->Schluessel);
  unten->addWidget(kopieren);
  unten->addWidget(export_);
  unten->addWidget(s.Report);
  unten->addStretch();
  l->addLayout(unten);
  const QString t = QString::fromUtf8(s.Art->Titel);
  connect(kopieren, &QPushButton::clicked, this, [this, t] { SeiteKopieren(t); });
  connect(export_, &QPushButton::clicked, this, [this, t] { SeiteExportieren(t); });
  connect(s.Report, &QPushButton::clicked, this, [this, t] { SeiteReport(t); });
  return w;
}

QWidget* TSimulationForm::BaueAnimation() {
  auto* w = new QWidget;
  w->setObjectName(QStringLiteral("Animation"));
  auto* l = new QVBoxLayout(w);
  AnimationDiagramm = new QChartView(new QChart);
  AnimationDiagramm->setObjectName(QStringLiteral("AnimationDiagramm"));
  AnimationDiagramm->setRenderHint(QPainter::Antialiasing);
  AnimationDiagramm->chart()->legend()->setAlignment(Qt::AlignBottom);
  l->addWidget(AnimationDiagramm, 1);
  AnimationPosition = new QScrollBar(Qt::Horizontal);
  AnimationPosition->setObjectName(QStringLiteral("AnimationPosition"));
  l->addWidget(AnimationPosition);
  auto* z = new QHBoxLayout;
  AnimationLaeuft = new QCheckBox(QStringLiteral("&Animation"));
  AnimationRueckwaerts = new QCheckBox(QStringLiteral("rückwärts"));
  AnimationTempo = new QSlider(Qt::Horizontal);
  AnimationTempo->setRange(1, 1000);
  AnimationTempo->setValue(900);
  AnimationSkala = new QSlider(Qt::Horizontal);
  AnimationSkala->setRange(0, 100);
  AnimationSkala->setValue(0);
  AnimationZeit = new QLabel;
  AnimationZeit->setObjectName(QStringLiteral("AnimationZeit"));
  AnimationQ = new QLabel;
  AnimationQ->setObjectName(QStringLiteral("AnimationQ"));
  AnimationKopieren = new QPushButton(QStringLiteral("Kopieren"));
  AnimationExport = new QPushButton(QStringLiteral("Daten exportieren ..."));
  AnimationBild = new QPushButton(QStringLiteral("Speichern..."));
  z->addWidget(AnimationLaeuft);
  z->addWidget(AnimationRueckwaerts);
  z->addWidget(new QLabel(QStringLiteral("Geschwindigkeit:")));
  z->addWidget(AnimationTempo);
  z->addWidget(new QLabel(QStringLiteral("Skalierung:")));
  z->addWidget(AnimationSkala);
  z->addWidget(AnimationZeit);
  z->addWidget(AnimationQ);
  z->addStretch();
  z->addWidget(AnimationKopieren);
  z->addWidget(AnimationExport);
  z->addWidget(AnimationBild);
  l->addLayout(z);
  FAnimationUhr = new QTimer(this);
  connect(FAnimationUhr, &QTimer::timeout, this, [this] { AnimationSchritt(); });
  connect(AnimationPosition, &QScrollBar::valueChanged, this, [this] { AnimationZeichnen(); });
  connect(AnimationSkala, &QSlider::valueChanged, this, [this] { AnimationZeichnen(); });
  connect(AnimationTempo, &QSlider::valueChanged, this, [this] {
    FAnimationUhr->setInterval(AnimationTempo->maximum() - AnimationTempo->value() + 1);
  });
  connect(AnimationLaeuft, &QCheckBox::toggled, this, [this](bool an) {
    FAnimationUhr->setInterval(AnimationTempo->maximum() - AnimationTempo->value() + 1);
    if (an)
      FAnimationUhr->start();
    else
      FAnimationUhr->stop();
    for (QPushButton* b : {AnimationKopieren, AnimationExport, AnimationBild}) b->setEnabled(!an);
  });
  connect(AnimationKopieren, &QPushButton::clicked, this, [this] {
    QApplication::clipboard()->setText(
        QString::fromStdString(TabellenText(FErgebnisse.CDSAnimation, ZahlenformatAus())));
  });
  connect(AnimationExport, &QPushButton::clicked, this, [this] {
    const QString d = FDialoge.DateiSpeichern(this, QStringLiteral("Daten exportieren"),
                                              QStringLiteral("Excel-Arbeitsmappe (*.xlsx *.XLS)"));
    if (d.isEmpty()) return;
    std::string fehler;
    if (!SaveDataSetToEXCEL(FErgebnisse.CDSAnimation, d.toStdString(), "Animation", fehler))
      FDialoge.Meldung(this, QString::fromStdString(fehler));
  });
  connect(AnimationBild, &QPushButton::clicked, this, [this] {
    const QString d =
        FDialoge.DateiSpeichern(this, QStringLiteral("Diagramm speichern"),
                                QStringLiteral("SVG-Grafik (*.svg);;PNG-Bild (*.png)"));
    if (!d.isEmpty()) DiagrammSpeichern(3, d);
  });
  return w;
}

TSimulationForm::TSeite* TSimulationForm::Seite(const QString& titel) const {
  for (const auto& s : FSeiten)
    if (QString::fromUtf8(s->Art->Titel) == titel) return s.get();
  return nullptr;
}

QStringList TSimulationForm::Seitentitel() const {
  QStringList r;
  for (const auto& s : FSeiten) r << QString::fromUtf8(s->Art->Titel);
  return r;
}

bool TSimulationForm::ZeigeSeite(const QString& titel) {
  FReiter->setCurrentIndex(1);
  const auto treffer = FBaum->findItems(titel, Qt::MatchExactly | Qt::MatchRecursive);
  if (treffer.isEmpty()) return false;
  FBaum->setCurrentItem(treffer.front());
  return true;
}

QTableView* TSimulationForm::SeitenTabelle(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? s->Ansicht : nullptr;
}
QComboBox* TSimulationForm::SeitenElemente(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? s->Elemente : nullptr;
}
QComboBox* TSimulationForm::SeitenZeitraeume(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? s->Zeitraeume : nullptr;
}
QComboBox* TSimulationForm::SeitenSpalte(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? s->Spalte : nullptr;
}
QComboBox* TSimulationForm::SeitenOperator(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? s->Operator : nullptr;
}
QLineEdit* TSimulationForm::SeitenWert(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? s->Wert : nullptr;
}
QString TSimulationForm::SeitenFilterText(const QString& t) const {
  TSeite* s = Seite(t);
  return s ? QString::fromStdString(s->Modell->Filter().Text(*s->Modell->Tabelle())) : QString();
}
QChartView* TSimulationForm::DiagrammAnsicht(int i) const {
  if (i == 3) return AnimationDiagramm;
  return i >= 0 && i < 3 ? FDiagramme[i] : nullptr;
}

const TTabelle& TSimulationForm::Tab(const TSeite& s) const {
  if (const TTabelle* t = const_cast<TDataModule2&>(FErgebnisse).Tabelle(s.Art->Tabelle)) return *t;
  if (const TTabelle* t = FEingabe.Tabelle(s.Art->Tabelle)) return *t;
  // An echo table that the results shown do not hold: empty.
  return *FEingabe.Leer(s.Art->Tabelle);
}

bool TSimulationForm::Gehalten(const TSeite& s) const {
  return const_cast<TDataModule2&>(FErgebnisse).Tabelle(s.Art->Tabelle) ||
         FEingabe.Gehalten(s.Art->Tabelle);
}

void TSimulationForm::ZeigeTabellen() {
  for (const auto& s : FSeiten) {
    s->Modell->Zeige(&Tab(*s));
    // "Report erzeugen" of a table the results do not hold prints nothing.
    s->Report->setEnabled(s->Art->Schluessel > 0 && Gehalten(*s));
  }
}

void TSimulationForm::SeiteAnwenden(TSeite& s) {
  if (!s.Modell || !s.FilterText) return;  // still being built
  const TTabelle& t = Tab(s);
  TErgebnisFilter f = s.Wertfilter;
  if (s.Elemente && s.Elemente->currentIndex() > 0) {
    const QString e = s.Elemente->currentText();
    const QVariant gruppe = s.Elemente->currentData();
    if (gruppe.isValid()) {
      f.Art = TErgebnisFilter::TAuswahl::Gruppe;
      for (const QString& typ : gruppe.toStringList()) f.Typen.push_back(typ.toStdString());
    } else {
      f.Art = TErgebnisFilter::TAuswahl::Element;
      f.Element = e.toStdString();
    }
  }
  if (s.Zeitraeume && s.Zeitraeume->currentIndex() > 0)
    f.Jahr = s.Zeitraeume->currentText().toStdString();
  if (s.Ereignisse && s.Ereignisse->currentIndex() > 0)
    f.Nr = s.Ereignisse->currentData().toString().toStdString();
  if (s.Parameter && s.Parameter->currentIndex() > 0)
    f.Parameter = s.Parameter->currentText().toStdString();
  // "verletzt": the flood peak exceeds the permitted one (OK = 'TRUE').
  if (s.OK && s.OK->currentIndex() > 0) f.OK = s.OK->currentIndex() == 2 ? 1 : 0;
  s.Modell->SetzeFilter(f);
  s.FilterText->setText(QString::fromStdString(f.Text(t)));
  if (s.Art->Bewertung) Diagrammzeile(s);
}

void TSimulationForm::SeiteFiltern(const QString& titel) {
  TSeite* s = Seite(titel);
  if (!s) return;
  s->Wertfilter = {};
  if (s->Spalte->currentIndex() > 0) {
    s->Wertfilter.Spalte = s->Spalte->currentText().toStdString();
    s->Wertfilter.Operator = s->Operator->currentText().toStdString();
    s->Wertfilter.Wert = s->Wert->text().toStdString();
  }
  SeiteAnwenden(*s);
}

void TSimulationForm::FillBoxes() {
  for (const auto& sp : FSeiten) {
    TSeite& s = *sp;
    const TTabelle& t = Tab(s);
    auto neu = [](QComboBox* c, auto fuellen) {
      if (!c) return;
      const QSignalBlocker b(c);
      c->clear();
      fuellen(*c);
      c->setCurrentIndex(0);
    };
    const int name = NamensSpalte(t);
    const int typ = t.Schema().Index("Typ");
    neu(s.Elemente, [&](QComboBox& c) {
      c.addItem(AlleText(s.Art->Liste));
      if (typ >= 0) {
        std::set<std::string> typen;
        for (int z = 0; z < t.Anzahl(); ++z) typen.insert(AlsText(t.Wert(z, typ)));
        for (const TGruppe& g : Gruppen()) {
          bool da = false;
          for (const std::string& x : g.Typen) da = da || typen.count(x);
          if (!da) continue;
          QStringList l;
          for (const std::string& x : g.Typen) l << QString::fromStdString(x);
          c.addItem(QString::fromUtf8(g.Text), l);
        }
      }
      std::vector<std::string> namen;
      if (name >= 0)
        for (int z = 0; z < t.Anzahl(); ++z) {
          const std::string n = AlsText(t.Wert(z, name));
          if (n.empty() || n.rfind("Gesamtsystem", 0) == 0) continue;
          if (std::find(namen.begin(), namen.end(), n) == namen.end()) namen.push_back(n);
        }
      for (const std::string& n : namen) c.addItem(QString::fromStdString(n));
    });
    neu(s.Zeitraeume, [&](QComboBox& c) {
      c.addItem(QStringLiteral("<alle Zeiträume>"));
      const int j = t.Schema().Index("Jahr");
      std::vector<std::string> jahre;
      if (j >= 0)
        for (int z = 0; z < t.Anzahl(); ++z) {
          const std::string y = AlsText(t.Wert(z, j));
          if (std::find(jahre.begin(), jahre.end(), y) == jahre.end()) jahre.push_back(y);
        }
      for (const std::string& y : jahre) c.addItem(QString::fromStdString(y));
    });
    neu(s.Ereignisse, [&](QComboBox& c) {
      c.addItem(QStringLiteral("<alle Ereignisse>"));
      const TTabelle& ev = FErgebnisse.CDSEreignisse;
      for (int z = 0; z < ev.Anzahl(); ++z) {
        const QString nr = QString::number(AlsGanzzahl(ev.Wert(z, "Nr.")));
        c.addItem(AlsQDateTime(AlsZahl(ev.Wert(z, "Beginn"))).toString("dd.MM.yyyy hh:mm"), nr);
      }
    });
    if (s.Parameter) s.Parameter->setCurrentIndex(0);
    if (s.OK) s.OK->setCurrentIndex(0);
    SeiteAnwenden(s);
    s.Spaltenbreiten = s.Widget == FStapel->currentWidget();
    if (s.Spaltenbreiten) s.Ansicht->resizeColumnsToContents();
  }
  FPruefModell->Neu();
  PruefTabelle->resizeColumnsToContents();
}

void TSimulationForm::SeiteKopieren(const QString& titel) {
  TSeite* s = Seite(titel);
  if (!s) return;
  const TTabelle t = Gefiltert(Tab(*s), s->Modell->Filter());
  QApplication::clipboard()->setText(QString::fromStdString(TabellenText(t, ZahlenformatAus())));
}

void TSimulationForm::SeiteExportieren(const QString& titel) {
  TSeite* s = Seite(titel);
  if (!s) return;
  const QString d = FDialoge.DateiSpeichern(this, QStringLiteral("Daten exportieren"),
                                            QStringLiteral("Excel-Arbeitsmappe (*.xlsx)"));
  if (d.isEmpty()) return;
  const TTabelle t = Gefiltert(Tab(*s), s->Modell->Filter());
  std::string fehler;
  if (!SaveDataSetToEXCEL(t, d.toStdString(), t.Schema().Name, fehler))
    FDialoge.Meldung(this, QString::fromStdString(fehler));
}

void TSimulationForm::SeiteReport(const QString& titel) {
  // "Report erzeugen" of a page: its section alone, in the preview.
  if (TSeite* s = Seite(titel)) ReportVorschau({s->Art->Schluessel}, titel);
}

void TSimulationForm::ButtonDruckenClick() {
  // The section choice with every entry ticked; "Vorschau" shows the chosen
  // sections, "Drucken" prints them.
  TFormReportErstellung dlg(this);
  dlg.AlleMarkieren();
  // Sections whose table the results shown do not hold (loaded results of an
  // older version without the input echo) cannot be chosen.
  for (const TErgebnisAbschnitt& a : ErgebnisAbschnitte()) {
    if (const_cast<TDataModule2&>(FErgebnisse).Tabelle(a.Tabelle) || FEingabe.Gehalten(a.Tabelle))
      continue;
    dlg.SetzeGewaehlt(a.Schluessel, false);
    if (QListWidgetItem* i = dlg.Liste()->item(a.Schluessel))
      i->setFlags(i->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
  }
  const int r = AbschnitteWaehlen ? AbschnitteWaehlen(dlg) : dlg.exec();
  if (r != QDialog::Accepted && r != TFormReportErstellung::Drucken) return;
  std::vector<int> gewaehlt;
  for (const TErgebnisAbschnitt& a : ErgebnisAbschnitte())
    if (dlg.Gewaehlt(a.Schluessel)) gewaehlt.push_back(a.Schluessel);
  if (r == QDialog::Accepted)
    ReportVorschau(gewaehlt, QStringLiteral("Ergebnisse"));
  else
    ReportDrucken(gewaehlt);
}

TErgebnisberichtOptionen TSimulationForm::BerichtOptionen(
    const std::vector<int>& abschnitte) const {
  TErgebnisberichtOptionen o;
  // An empty choice prints nothing (the report's own empty list means all).
  o.Abschnitte = abschnitte.empty() ? std::vector<int>{-1} : abschnitte;
  o.Projekt = QFileInfo(QString::fromStdString(FDok.DateiName())).fileName().toStdString();
  o.Weitere = FEingabe.Gehaltene();
  o.Logarithmisch = FLogarithmisch && FLogarithmisch->isChecked();
  for (const auto& s : FSeiten) {
    const TErgebnisFilter f = s->Modell->Filter();
    if (f.Leer()) continue;
    o.Filter[Tab(*s).Schema().Name] = [f](const TTabelle& t, int z) { return f.Passt(t, z); };
  }
  return o;
}

TfrmPreview* TSimulationForm::ReportVorschau(const std::vector<int>& abschnitte,
                                             const QString& titel) {
  auto* vorschau = new TfrmPreview(FDialoge, this);
  vorschau->Viewer().Orientation = TAusrichtung::Querformat;
  vorschau->Viewer().Title = QStringLiteral("Tamkor21 – ") + titel;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string fehler;
  const bool ok = ErgebnisberichtVorschau(FErgebnisse, BerichtOptionen(abschnitte),
                                          vorschau->Viewer().Pages(), fehler);
  QApplication::restoreOverrideCursor();
  if (!ok) {
    FDialoge.Meldung(this, QString::fromStdString(fehler));
    delete vorschau;
    return nullptr;
  }
  vorschau->Viewer().FirstPage();
  vorschau->show();
  LetzteVorschau = vorschau;
  return vorschau;
}

bool TSimulationForm::ReportDrucken(const std::vector<int>& abschnitte) {
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setPageOrientation(QPageLayout::Landscape);
  drucker.setDocName(QStringLiteral("Tamkor21"));
  if (!FDialoge.DruckDialog(this, drucker, 0, 0)) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string fehler;
  const int seiten =
      ErgebnisberichtDrucken(FErgebnisse, BerichtOptionen(abschnitte), drucker, fehler);
  QApplication::restoreOverrideCursor();
  if (seiten < 0) {
    FDialoge.Meldung(this, QString::fromStdString(fehler));
    return false;
  }
  return true;
}

bool TSimulationForm::ReportAlsPdf(const std::vector<int>& abschnitte, const QString& titel) {
  const QString d = FDialoge.DateiSpeichern(this, QStringLiteral("Report-Erstellung: ") + titel,
                                            QStringLiteral("PDF-Datei (*.pdf)"));
  if (d.isEmpty()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string fehler;
  const int seiten =
      ErgebnisberichtAlsPdf(FErgebnisse, BerichtOptionen(abschnitte), d.toStdString(), fehler);
  QApplication::restoreOverrideCursor();
  if (seiten < 0) {
    FDialoge.Meldung(this, QString::fromStdString(fehler));
    return false;
  }
  return true;
}

void TSimulationForm::Diagrammzeile(TSeite& s) {
  const int z = s.Modell->Tabellenzeile(s.Ansicht->currentIndex().row());
  const TTabelle& t = Tab(s);
  std::string element;
  std::string parameter;
  if (z >= 0) {
    element = AlsText(t.Wert(z, "Element"));
    if (t.Schema().Index("Parameter") >= 0) parameter = AlsText(t.Wert(z, "Parameter"));
  } else if (s.Modell->rowCount() > 0) {
    const int erste = s.Modell->Tabellenzeile(0);
    element = AlsText(t.Wert(erste, "Element"));
    if (t.Schema().Index("Parameter") >= 0) parameter = AlsText(t.Wert(erste, "Parameter"));
  }
  if (Ist(s.Art, "CDSHDAbfluss")) {
    Fuelle(*FDiagramme[0]->chart(), HochwasserDaten(FErgebnisse, element),
           FLogarithmisch && FLogarithmisch->isChecked());
  } else {
    TDiagrammDaten a, b;
    const int p = ParameterNummer(parameter);
    if (p > 0) DosisDaten(FErgebnisse, element, p, a, b);
    Fuelle(*FDiagramme[1]->chart(), a);
    Fuelle(*FDiagramme[2]->chart(), b);
    FLegende->setVisible(a.EigeneLegende);
    FLegende->setText(a.EigeneLegende ? Legendentext(a) : QString());
  }
}

void TSimulationForm::DiagrammKopieren(int i) {
  QChartView* v = DiagrammAnsicht(i);
  if (v) QApplication::clipboard()->setPixmap(v->grab());
}

bool TSimulationForm::DiagrammSpeichern(int i, const QString& datei) {
  QChartView* v = DiagrammAnsicht(i);
  if (!v) return false;
  const QString e = Endung(datei);
  if (e == "SVG") {
    QSvgGenerator svg;
    svg.setFileName(datei);
    svg.setSize(v->size());
    svg.setViewBox(QRect(QPoint(0, 0), v->size()));
    svg.setTitle(v->chart()->title());
    QPainter p;
    if (!p.begin(&svg)) {
      FDialoge.Meldung(this,
                       QStringLiteral("Die Datei %1 kann nicht geschrieben werden").arg(datei));
      return false;
    }
    v->render(&p);
    p.end();
    return true;
  }
  if (e == "PNG" || e == "BMP") {
    if (!v->grab().save(datei, e.toLatin1().constData())) {
      FDialoge.Meldung(this,
                       QStringLiteral("Die Datei %1 kann nicht geschrieben werden").arg(datei));
      return false;
    }
    return true;
  }
  FDialoge.Meldung(this, QStringLiteral("Ungültiges Dateiformat"));
  return false;
}

void TSimulationForm::SetzeKnoepfe(bool laeuft) {
  ButtonStart->setEnabled(!laeuft);
  ButtonAbbruch->setEnabled(laeuft);
  ButtonOK->setEnabled(!laeuft);
  ButtonLaden->setEnabled(!laeuft);
  ButtonAnimation->setEnabled(!laeuft);
  AnimationAuswahl->setEnabled(!laeuft);
  ButtonDrucken->setEnabled(!laeuft && FHatErgebnisse);
  ButtonSpeichern->setEnabled(!laeuft && FHatErgebnisse);
  for (QWidget* w : {static_cast<QWidget*>(DateTimePickerBeginnTag),
                     static_cast<QWidget*>(DateTimePickerBeginnZeit),
                     static_cast<QWidget*>(DateTimePickerEndeTag),
                     static_cast<QWidget*>(DateTimePickerEndeZeit)})
    w->setEnabled(!laeuft);
}

void TSimulationForm::AktualisiereTitel() {
  if (FAuftrag) return;  // "Simulation" while running
  if (FHatErgebnisse && (FGeladen || FDok.Revision() != FErgebnisRevision))
    setWindowTitle(QString::fromUtf8(kGeaendert));
  else if (FAbgebrochen)
    setWindowTitle(QStringLiteral("Simulation abgebrochen"));
  else
    setWindowTitle(QStringLiteral("Simulation"));
}

void TSimulationForm::showEvent(QShowEvent* e) {
  AktualisiereTitel();
  QDialog::showEvent(e);
}

void TSimulationForm::closeEvent(QCloseEvent* e) {
  if (FAuftrag) {
    e->ignore();  // "Berechnung abbrechen" first
    return;
  }
  QDialog::closeEvent(e);
}

void TSimulationForm::reject() {
  if (!FAuftrag) QDialog::reject();
}

void TSimulationForm::ButtonStartClick() {
  if (FAuftrag) return;
  const TDateTime start = AusQDateTime(
      QDateTime(DateTimePickerBeginnTag->date(), DateTimePickerBeginnZeit->time(), Qt::UTC));
  const TDateTime ende = AusQDateTime(
      QDateTime(DateTimePickerEndeTag->date(), DateTimePickerEndeZeit->time(), Qt::UTC));
  FAbgebrochen = false;
  FAuftrag = std::make_unique<TLaufAuftrag>(FDok, start, ende);
  // The input echo of this start, taken from the project the run copies.
  FEingabeLauf.Fuellen(FDok.Model());
  if (AnimationAuswahl->currentIndex() > 0)
    FAuftrag->SetzeAnimationselement(AnimationAuswahl->currentText().toStdString());
  QPointer<TSimulationForm> ich(this);
  FAuftrag->BeiEnde = [ich] {
    // On the worker thread: the window takes the result on its own.
    if (ich)
      QMetaObject::invokeMethod(
          ich.data(),
          [ich] {
            if (ich) ich->LaufEnde();
          },
          Qt::QueuedConnection);
  };
  setWindowTitle(QStringLiteral("Simulation"));
  SetzeKnoepfe(true);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProzentLabel->setText(QStringLiteral("0%"));
  Datum->clear();
  Zeitschritt->clear();
  FAuftrag->Starte();
  FStandUhr->start();
}

void TSimulationForm::ZeigeStand() {
  if (!FAuftrag) return;
  const auto stand = FAuftrag->LetzterStand();
  if (!stand) return;
  Datum->setText(AlsQDateTime(stand->Zeit).toString(QStringLiteral("dd.MM.yyyy hh:mm")));
  Zeitschritt->setText(
      QLocale(QLocale::German).toString(static_cast<qlonglong>(stand->Schritt + 1)));
  const int p = std::clamp(stand->Prozent, 0, 100);
  if (ProgressBar1->value() < ProgressBar1->maximum()) ProgressBar1->setValue(p);
  ProzentLabel->setText(QString::number(p) + "%");
}

void TSimulationForm::ButtonAbbruchClick() {
  if (!FAuftrag) return;
  FAuftrag->Abbrechen();
  ButtonAbbruch->setEnabled(false);
}

void TSimulationForm::LaufEnde() {
  if (!FAuftrag || !FAuftrag->Fertig()) return;
  FStandUhr->stop();
  ZeigeStand();
  TLaufAuftragsErgebnis e = FAuftrag->Warte();
  FAuftrag.reset();
  TDataModule2& neu = e.Resultat.Tabellen;
  // The checks of this start, whatever became of it.
  FPruefungen = neu.CDSFehler;
  FPruefModell->Zeige(&FPruefungen);
  PruefTabelle->resizeColumnsToContents();
  QStringList meldungen;
  switch (e.Resultat.Ergebnis) {
    case TLaufErgebnis::Abgeschlossen: {
      FErgebnisse = std::move(neu);
      FHatErgebnisse = true;
      FGeladen = false;
      FStartzustaende = std::move(e.Resultat.Startzustaende);
      FEingabe = FEingabeLauf;
      FErgebnisRevision = e.Revision;
      FAnimationName.clear();
      FAnimationTyp.clear();
      const TTabelle& r = FErgebnisse.CDSReport;
      if (r.Anzahl() > 0 && AlsText(r.Wert(r.Anzahl() - 1, "S3")) == "Animationsobjekt") {
        FAnimationName = AlsText(r.Wert(r.Anzahl() - 1, "S1"));
        FAnimationTyp = AlsText(r.Wert(r.Anzahl() - 1, "S2"));
      }
      for (int z = 0; z < r.Anzahl(); ++z)
        if (AlsText(r.Wert(z, "S1")) == "Zeitschrittweite dt")
          FDtMin = TextZuZahl(AlsText(r.Wert(z, "S2")), 5);
      ProgressBar1->setValue(ProgressBar1->maximum());
      ProzentLabel->setText(QStringLiteral("100%"));
      // The clock and the step count where the run ended.
      for (int z = 0; z < r.Anzahl(); ++z) {
        const std::string s1 = AlsText(r.Wert(z, "S1"));
        TDateTime t = 0;
        if (s1 == "letztes Intervall" && LaufZeitraumText(AlsText(r.Wert(z, "S2")), t))
          Datum->setText(AlsQDateTime(t).toString(QStringLiteral("dd.MM.yyyy hh:mm")));
        if (s1 == "Zeitschritte")
          Zeitschritt->setText(
              QLocale(QLocale::German)
                  .toString(QString::fromStdString(AlsText(r.Wert(z, "S2"))).toLongLong()));
      }
      // Every table was replaced: the models show the new ones.
      ZeigeTabellen();
      FillBoxes();
      InitAnimation();
      meldungen << QStringLiteral("Simulation abgeschlossen");
      break;
    }
    case TLaufErgebnis::Abgebrochen:
      // The results of the run before stay as they were.
      FAbgebrochen = true;
      break;
    case TLaufErgebnis::Abgewiesen:
      meldungen << QStringLiteral(
          "Der Systemaufbau ist fehlerhaft\nDer Simulationslauf wird abgebrochen");
      FReiter->setCurrentIndex(0);
      break;
    case TLaufErgebnis::Fehlerhaft:
      meldungen << QStringLiteral(
          "Die Simulation wurde wegen einer fehlerhaften Regendatei beendet");
      FReiter->setCurrentIndex(0);
      break;
  }
  SetzeKnoepfe(false);
  AktualisiereTitel();
  for (const QString& m : meldungen) FDialoge.Meldung(this, m);
  emit LaufBeendet();
}

bool TSimulationForm::Speichern(const QString& datei, QString& fehler) {
  // Every file goes first into a folder of its own beside the target; only
  // when all are written they are moved into place, so a failed save leaves
  // no partial set.
  const QFileInfo ziel(datei);
  QTemporaryDir tmp(ziel.absolutePath() + "/.t21-ergebnisse-XXXXXX");
  if (!tmp.isValid()) {
    fehler = QStringLiteral("Im Ordner %1 kann nicht geschrieben werden").arg(ziel.absolutePath());
    return false;
  }
  const std::string tmpDatei =
      (fs::path(tmp.path().toStdString()) / ziel.fileName().toStdString()).string();
  std::string f;
  if (!FErgebnisse.Speichern(tmpDatei, f)) {
    fehler = QString::fromStdString(f);
    return false;
  }
  const std::string tmpBasis = TDataModule2::SpeicherBasis(tmpDatei);
  const std::string basis = TDataModule2::SpeicherBasis(ziel.absoluteFilePath().toStdString());
  // The start states of the run's events, so that an event can be
  // simulated again from the saved results.
  std::vector<std::pair<std::string, std::string>> dateien;
  if (!FStartzustaende.empty()) {
    if (!SpeichereStartzustaende(FStartzustaende, tmpDatei, f)) {
      fehler = QString::fromStdString(f);
      return false;
    }
    dateien.emplace_back(StartzustandsDatei(tmpDatei),
                         StartzustandsDatei(ziel.absoluteFilePath().toStdString()));
  }
  for (const TTabelle* t : FErgebnisse.Tabellen())
    dateien.emplace_back(TDataModule2::Dateiname(tmpBasis, t->Schema().Name),
                         TDataModule2::Dateiname(basis, t->Schema().Name));
  // The input echo of the run beside them.
  if (!FEingabe.Speichern(tmpBasis, f)) {
    fehler = QString::fromStdString(f);
    return false;
  }
  {
    const auto von = FEingabe.Dateien(tmpBasis), nach = FEingabe.Dateien(basis);
    for (size_t i = 0; i < von.size(); ++i) dateien.emplace_back(von[i], nach[i]);
  }
  for (const auto& [von, nach] : dateien) {
    std::error_code ec;
    fs::rename(von, nach, ec);
    if (ec) {
      fehler = QString::fromStdString(nach + ": " + ec.message());
      return false;
    }
  }
  return true;
}

void TSimulationForm::ButtonSpeichernClick() {
  if (FAuftrag || !FHatErgebnisse) return;
  const QString d = FDialoge.DateiSpeichern(this, QStringLiteral("Ergebnisse speichern"),
                                            QStringLiteral("TamKor21-Simulation (*.s21)"));
  if (d.isEmpty()) return;
  if (Endung(d) != "S21") {
    FDialoge.Meldung(this, QStringLiteral("Ungültige Datei-Extension"));
    return;
  }
  QString fehler;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = Speichern(d, fehler);
  QApplication::restoreOverrideCursor();
  if (!ok)
    FDialoge.Meldung(this, QStringLiteral("Die Ergebnisse wurden nicht gespeichert:\n") + fehler);
}

void TSimulationForm::ButtonLadenClick() {
  if (FAuftrag) return;
  const QString d = FDialoge.DateiOeffnen(this, QStringLiteral("Ergebnisse laden"),
                                          QStringLiteral("TamKor21-Simulation (*.s21)"));
  if (d.isEmpty()) return;
  if (Endung(d) != "S21") {
    FDialoge.Meldung(this,
                     d + QStringLiteral("\nist keine gültige TamKor21 - Simulations - Datei"));
    return;
  }
  TDataModule2 neu;
  TEingabedaten eingabe;
  std::vector<std::string> meldungen;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The input echo where the results hold it (older results do not).
  bool ok = neu.Laden(d.toStdString(), meldungen);
  ok = eingabe.Laden(TDataModule2::LadeBasis(d.toStdString()), meldungen) && ok;
  QApplication::restoreOverrideCursor();
  if (!ok) {
    QStringList l;
    for (const std::string& m : meldungen) l << QString::fromStdString(m);
    l << QStringLiteral("Die bisherigen Ergebnisse bleiben erhalten.");
    FDialoge.Meldung(this, l.join('\n'));
    return;
  }
  FErgebnisse = std::move(neu);
  FHatErgebnisse = true;
  FGeladen = true;
  // Older saved runs hold no start states; their results load all the same.
  std::string ohne;
  FStartzustaende.clear();
  LadeStartzustaende(d.toStdString(), FStartzustaende, ohne);
  FEingabe = std::move(eingabe);
  FErgebnisRevision = 0;
  FAnimationName.clear();
  FAnimationTyp.clear();
  const TTabelle& r = FErgebnisse.CDSReport;
  // Only a known type code names the animation element.
  if (r.Anzahl() > 0 && AlsText(r.Wert(r.Anzahl() - 1, "S3")) == "Animationsobjekt" &&
      BekannterTyp(AlsText(r.Wert(r.Anzahl() - 1, "S2")))) {
    FAnimationName = AlsText(r.Wert(r.Anzahl() - 1, "S1"));
    FAnimationTyp = AlsText(r.Wert(r.Anzahl() - 1, "S2"));
  }
  FDtMin = 5;
  for (int z = 0; z < r.Anzahl(); ++z)
    if (AlsText(r.Wert(z, "S1")) == "Zeitschrittweite dt")
      FDtMin = TextZuZahl(AlsText(r.Wert(z, "S2")), 5);
  ZeigeTabellen();
  FillBoxes();
  InitAnimation();
  SetzeKnoepfe(false);
  AktualisiereTitel();
}

void TSimulationForm::ButtonAnimationClick() {
  AnimationAuswahl->setFocus();
  AnimationAuswahl->showPopup();
}

void TSimulationForm::InitAnimation() {
  FAnimationUhr->stop();
  AnimationLaeuft->setChecked(false);
  const int n = FErgebnisse.CDSAnimation.Anzahl();
  const bool da = !FAnimationName.empty() && n > 0;
  FReiter->setTabVisible(FReiter->indexOf(Animation), da);
  if (!da) return;
  FAnimationMaxQ = 0;
  for (int z = 0; z < n; ++z)
    FAnimationMaxQ = std::max(FAnimationMaxQ, AlsZahl(FErgebnisse.CDSAnimation.Wert(z, "Q")));
  const QSignalBlocker b(AnimationPosition);
  AnimationPosition->setRange(1, n);
  AnimationPosition->setValue(1);
  AnimationZeichnen();
}

void TSimulationForm::AnimationZeichnen() {
  const TTabelle& t = FErgebnisse.CDSAnimation;
  QChart& c = *AnimationDiagramm->chart();
  QDateTimeAxis* x = nullptr;
  QValueAxis* y = nullptr;
  for (QAbstractAxis* a : c.axes(Qt::Horizontal)) x = qobject_cast<QDateTimeAxis*>(a);
  for (QAbstractAxis* a : c.axes(Qt::Vertical)) y = qobject_cast<QValueAxis*>(a);
  c.removeAllSeries();
  c.setLocalizeNumbers(true);
  c.setLocale(QLocale(QLocale::German, QLocale::Germany));
  if (!x) {
    x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("dd.MM.yy hh:mm"));
    c.addAxis(x, Qt::AlignBottom);
  }
  if (!y) {
    y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%.4g"));
    c.addAxis(y, Qt::AlignLeft);
  }
  c.setTitle(QString::fromStdString(FAnimationName));
  const bool bauwerk = FAnimationTyp == "RUB" || FAnimationTyp == "RU" || FAnimationTyp == "RKB" ||
                       FAnimationTyp == "OMA" || FAnimationTyp == "EST";
  QStringList titel;
  if (bauwerk)
    titel << "Zufluss [l/s]"
          << "Drossel [l/s]"
          << "BÜ [l/s]" << (FAnimationTyp == "EST" ? "HQ1 + QE [l/s]" : "KÜ [l/s]")
          << "Speicher [cbm]";
  else if (FAnimationTyp == "REG")
    titel << "N [mm/min]"
          << "Verdunstung [mm/min]";
  else
    titel << "Abfluss [l/s]"
          << "QT [l/s]";
  const char* spalten[] = {"Q", "P1", "P2", "P3", "P4"};
  std::vector<QLineSeries*> reihen;
  for (int i = 0; i < titel.size(); ++i) {
    auto* s = new QLineSeries;
    s->setName(titel[i]);
    reihen.push_back(s);
  }
  const int W = std::max(1, static_cast<int>(std::lround(120 / std::max(FDtMin, 0.25))));
  const int von = AnimationPosition->value() - 1;
  const int bis = std::min(t.Anzahl(), von + W);
  for (int z = std::max(0, von); z < bis; ++z) {
    // The axis shows local time: the clock's date and time taken as such.
    const QDateTime d = AlsQDateTime(AlsZahl(t.Wert(z, "Zeit")));
    const double x =
        static_cast<double>(QDateTime(d.date(), d.time(), Qt::LocalTime).toMSecsSinceEpoch());
    for (size_t i = 0; i < reihen.size(); ++i) reihen[i]->append(x, AlsZahl(t.Wert(z, spalten[i])));
  }
  double ymax = 0;
  for (QLineSeries* s : reihen) {
    c.addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    for (const QPointF& p : s->points()) ymax = std::max(ymax, p.y());
  }
  if (!reihen.empty() && !reihen.front()->points().isEmpty()) {
    x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(reihen.front()->points().front().x())),
                QDateTime::fromMSecsSinceEpoch(qint64(reihen.front()->points().back().x()) + 1));
  }
  if (AnimationSkala->value() > 0)
    y->setRange(0, std::lround(AnimationSkala->value() * FAnimationMaxQ / 100) + 1);
  else
    y->setRange(0, ymax > 0 ? ymax * 1.05 : 1);
  if (von >= 0 && von < t.Anzahl()) {
    AnimationZeit->setText(AlsQDateTime(AlsZahl(t.Wert(von, "Zeit"))).toString("dd.MM.yyyy hh:mm"));
    AnimationQ->setText(QLocale(QLocale::German).toString(AlsZahl(t.Wert(von, "Q")), 'f', 2));
  }
}

void TSimulationForm::AnimationSchritt() {
  const int W = std::max(1, static_cast<int>(std::lround(120 / std::max(FDtMin, 0.25))));
  if (AnimationRueckwaerts->isChecked()) {
    AnimationPosition->setValue(
        std::max(AnimationPosition->minimum(), AnimationPosition->value() - W - 1));
    if (AnimationPosition->value() == AnimationPosition->minimum())
      AnimationLaeuft->setChecked(false);
  } else {
    if (AnimationPosition->value() >= AnimationPosition->maximum()) {
      AnimationLaeuft->setChecked(false);
      return;
    }
    AnimationPosition->setValue(AnimationPosition->value() + 1);
  }
}

}  // namespace t21
