#include "app/formulare/musterform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/basis/dialoge.h"
#include "app/formulare/zahlfeld.h"
#include "document/dokument.h"
#include "model/elements.h"
#include "model/network.h"
#include "script/interpreter.h"

namespace t21 {

namespace {

QString U(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

constexpr const char* kZeilen[8][2] = {
    {"BSB5", "mg/l"}, {"NH4-N", "mg/l"},         {"AFS63", "mg/l"}, {"Q", "l/s"},
    {"ph-Wert", "-"}, {"Alkalinität", "mmol/l"}, {"DO2", "mg/l"},   {"O2", "mg/l"}};

// Rounded to zero, a value shows no sign ("0,00", never "-0,00").
QString Zahl(double v, int stellen) {
  QString t = QLocale().toString(v, 'f', stellen);
  if (t.startsWith(QLatin1Char('-')) && std::fabs(v) < 0.5 * std::pow(10.0, -stellen))
    t.remove(0, 1);
  return t;
}

// A date value (days since 1899-12-30) and back.
QDate AlsQDate(double tage) {
  return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(tage)));
}
double AlsTage(const QDate& d) {
  return static_cast<double>(QDate(1899, 12, 30).daysTo(d));
}

}  // namespace

QTreeWidget* NeueParameterliste(QWidget* eltern) {
  auto* l = new QTreeWidget(eltern);
  QStringList kopf{QStringLiteral("Parameter"), QStringLiteral("qrab =")};
  for (double q : kQr) kopf << QLocale().toString(q);
  l->setHeaderLabels(kopf);
  l->setRootIsDecorated(false);
  l->setUniformRowHeights(true);
  for (const auto& z : kZeilen) {
    auto* it = new QTreeWidgetItem(l);
    it->setText(0, QString::fromUtf8(z[0]));
    it->setText(1, QString::fromUtf8(z[1]));
    for (int i = 2; i < l->columnCount(); ++i) it->setTextAlignment(i, Qt::AlignRight);
  }
  l->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  l->header()->setStretchLastSection(false);
  return l;
}

void ZeigeDaten(QTreeWidget* liste, const TParameterArray& a, double o2sat) {
  if (!liste) return;
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& p = a[i];
    const double werte[8] = {p.cBSB(), p.cNH4(), p.cAFS(), p.Q,
                             p.cPH(),  p.cALK(), p.cDO2(), o2sat - p.cDO2()};
    const int stellen[8] = {2, 2, 0, 0, 2, 2, 2, 2};
    for (int z = 0; z < 8 && z < liste->topLevelItemCount(); ++z)
      liste->topLevelItem(z)->setText(i + 2, Zahl(werte[z], stellen[z]));
  }
}

// ------------------------------------------------------------------ form

TMusterForm::TMusterForm(TDokument& dok, uint64_t id, TDialoge& dialoge, QWidget* eltern)
    : QDialog(eltern), FDok(dok), FId(id), FDialoge(dialoge), FDM(t21::Arbeitstabellen()) {
  setObjectName(QStringLiteral("TMusterForm"));
  FDM->Meldung = [this](const std::string& t) {
    FDialoge.Beep();
    FDialoge.Meldung(this, U(t));
  };
  // The project's own column defaults (its ".DEF" file) hold here too.
  for (const auto& [name, t] : dok.Tabellen().Tabellen)
    if (const auto it = FDM->Tabellen.find(name); it != FDM->Tabellen.end())
      for (int i = 0; i < t->Spalten() && i < it->second->Spalten(); ++i)
        it->second->SetzeVorgabe(i, t->Vorgabe(i));
  const TCadShape* s = dok.Model().GetNodeById(id);
  const TElement* e = TM3Model::ElementOf(s);
  FTyp = e ? e->Typ() : std::string();
  FTableName = FTyp;
  FKopie = e ? CreateHydElement(FTyp) : nullptr;
  if (!FKopie) FKopie = std::make_unique<TElement>();
  FZulauf = std::make_unique<TElement>();
  if (e) {
    FKopie->AssignValues(*e);
    FKopie->Owner = const_cast<TCadShape*>(s);  // for its name; never registered there
    // The element's data into the working records, so the controls show
    // what it holds now.
    FDM->SaveData(*e);
    const TElement& z = dok.Zufluss(id);
    FZulauf->AB = z.AB;
    FZulauf->SUM = z.SUM;
  }

  auto* haupt = new QVBoxLayout(this);
  haupt->setContentsMargins(4, 4, 4, 0);
  haupt->setSpacing(4);
  FSeiten = new QTabWidget(this);
  FSeiten->setObjectName(QStringLiteral("Seiten"));
  // Every page caption in sight: the dialog widens instead of scrolling tabs.
  FSeiten->setUsesScrollButtons(false);
  haupt->addWidget(FSeiten, 1);
  FErgebnisse = new QTabWidget(this);
  FErgebnisse->setObjectName(QStringLiteral("Ergebnisse"));
  FErgebnisse->setFixedHeight(197);
  haupt->addWidget(FErgebnisse);

  auto* knoepfe = FKnoepfe = new QHBoxLayout;
  knoepfe->addStretch(1);
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  auto* abbrechen = new QPushButton(QStringLiteral("&Abbrechen"), this);
  abbrechen->setObjectName(QStringLiteral("CancelButton"));
  auto* hilfe = new QPushButton(QStringLiteral("&Hilfe"), this);
  hilfe->setObjectName(QStringLiteral("HilfeButton"));
  knoepfe->addWidget(ok);
  knoepfe->addWidget(abbrechen);
  knoepfe->addWidget(hilfe);
  haupt->addLayout(knoepfe);
  connect(ok, &QPushButton::clicked, this, &TMusterForm::accept);
  connect(abbrechen, &QPushButton::clicked, this, &TMusterForm::reject);
  connect(hilfe, &QPushButton::clicked, this, [this] { emit HilfeVerlangt(FHilfeSeite); });

  FStatus = new QStatusBar(this);
  FStatus->setSizeGripEnabled(false);
  haupt->addWidget(FStatus);

  FListeZulauf = NeueParameterliste(this);
  FListeAblauf = NeueParameterliste(this);
  FListeAbschlag = NeueParameterliste(this);
  NeueErgebnisseite(QStringLiteral("Zulauf"), FListeZulauf);
  NeueErgebnisseite(QStringLiteral("Ablauf"), FListeAblauf);
  NeueErgebnisseite(QStringLiteral("Abschlag"), FListeAbschlag);
  FErgebnisse->setCurrentIndex(1);
  resize(630, 530);
}

TMusterForm::~TMusterForm() = default;

namespace {
TTabelle* gStrassen = nullptr;
}  // namespace

void TMusterForm::SetzeStrassentabelle(TTabelle* t) {
  gStrassen = t;
}

void TMusterForm::KnopfVorne(QWidget* w) {
  FKnoepfe->insertWidget(0, w);
}

void TMusterForm::Aufbauen() {
  FLaedt = true;
  FHydraulik = NeueSeite(QStringLiteral("Hydraulik"));
  FSeiten->setCurrentIndex(0);
  SeitenAufbauen();
  BasisSeitenAufbauen();
  ZeigeWerte();
  FLaedt = false;
  // The kind chose its first page; a hidden one gives way to the first shown.
  if (!FSeiten->isTabVisible(FSeiten->currentIndex()))
    for (int i = 0; i < FSeiten->count(); ++i)
      if (FSeiten->isTabVisible(i)) {
        FSeiten->setCurrentIndex(i);
        break;
      }
  Rechnen();
}

const TNET& TMusterForm::Netz() const {
  if (const auto* n = dynamic_cast<const TNET*>(FKopie.get())) return *n;
  return FDok.Model().Netz();
}

// ------------------------------------------------------------ building

TRaster TMusterForm::NeueSeite(const QString& titel, int index) {
  auto* bereich = new QScrollArea;
  bereich->setObjectName(titel);
  bereich->setWidgetResizable(true);
  bereich->setFrameShape(QFrame::NoFrame);
  auto* innen = new QWidget;
  auto* aussen = new QVBoxLayout(innen);
  auto* g = new QGridLayout;
  g->setColumnStretch(1, 1);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(3);
  aussen->addLayout(g);
  aussen->addStretch(1);
  bereich->setWidget(innen);
  if (index < 0)
    FSeiten->addTab(bereich, titel);
  else
    FSeiten->insertTab(index, bereich, titel);
  return {g, 0};
}

TRaster TMusterForm::Gruppe(TRaster& r, const QString& titel) {
  auto* box = new QGroupBox(titel);
  auto* g = new QGridLayout(box);
  g->setColumnStretch(1, 1);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(3);
  r.Gitter->addWidget(box, r.Zeile++, 0, 1, 3);
  return {g, 0};
}

void TMusterForm::Hinweistext(TRaster& r, const QString& text) {
  auto* l = new QLabel(text);
  l->setWordWrap(true);
  r.Gitter->addWidget(l, r.Zeile++, 0, 1, 3);
}

QPushButton* TMusterForm::Knopf(TRaster& r, const QString& text) {
  auto* k = new QPushButton(text);
  r.Gitter->addWidget(k, r.Zeile++, 0, 1, 1, Qt::AlignLeft);
  return k;
}

TMusterForm::TBindung* TMusterForm::Feld(TRaster& r, const std::string& tabelle,
                                         const std::string& spalte, const QString& label,
                                         const QString& einheit) {
  auto f = t21::Feld(tabelle, spalte);
  if (!f) return nullptr;
  auto b = std::make_unique<TBindung>();
  b->F = *f;
  b->Min = f->Min;
  b->Max = f->Max;
  b->Label = new QLabel(label.isEmpty() ? U(f->Label) : label);
  QWidget* w = nullptr;
  switch (f->Typ) {
    case TFeldTyp::Float:
    case TFeldTyp::Integer:
      b->Art = TBindung::TArt::Zahl;
      w = new TZahlFeld(f->Typ == TFeldTyp::Integer);
      connect(static_cast<TZahlFeld*>(w), &QLineEdit::textEdited, this,
              [this, p = b.get()] { Geaendert(*p); });
      break;
    case TFeldTyp::Boolean: {
      b->Art = TBindung::TArt::Haken;
      auto* c = new QCheckBox(b->Label->text());
      b->Label->setText(QString());
      connect(c, &QCheckBox::toggled, this, [this, p = b.get()] { Geaendert(*p); });
      w = c;
      break;
    }
    case TFeldTyp::Memo: {
      b->Art = TBindung::TArt::Memo;
      auto* m = new QPlainTextEdit;
      connect(m, &QPlainTextEdit::textChanged, this, [this, p = b.get()] { Geaendert(*p); });
      w = m;
      break;
    }
    case TFeldTyp::Date: {
      b->Art = TBindung::TArt::Datum;
      auto* d = new QDateEdit;
      d->setCalendarPopup(true);
      d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
      connect(d, &QDateEdit::dateChanged, this, [this, p = b.get()] { Geaendert(*p); });
      w = d;
      break;
    }
    default: {
      b->Art = TBindung::TArt::Text;
      auto* t = new QLineEdit;
      if (f->Spalte == "MEMO") {
        b->Art = TBindung::TArt::Memo;
        auto* m = new QPlainTextEdit;
        connect(m, &QPlainTextEdit::textChanged, this, [this, p = b.get()] { Geaendert(*p); });
        delete t;
        w = m;
        break;
      }
      connect(t, &QLineEdit::textEdited, this, [this, p = b.get()] { Geaendert(*p); });
      w = t;
    }
  }
  w->setObjectName(U(f->Schluessel()));
  b->W = w;
  b->Einheit = new QLabel(einheit.isEmpty() ? U(f->Einheit) : einheit);
  w->installEventFilter(this);
  if (b->Art == TBindung::TArt::Memo) {
    r.Gitter->addWidget(w, r.Zeile++, 0, 1, 3);
    delete b->Label;
    b->Label = nullptr;
  } else {
    r.Gitter->addWidget(b->Label, r.Zeile, 0);
    r.Gitter->addWidget(w, r.Zeile, 1);
    r.Gitter->addWidget(b->Einheit, r.Zeile, 2);
    ++r.Zeile;
  }
  FBindungen.push_back(std::move(b));
  return FBindungen.back().get();
}

TMusterForm::TBindung* TMusterForm::Auswahl(TRaster& r, const std::string& tabelle,
                                            const std::string& spalte, const QStringList& texte,
                                            const QStringList& werte, bool optionen) {
  auto f = t21::Feld(tabelle, spalte);
  if (!f) return nullptr;
  auto b = std::make_unique<TBindung>();
  b->F = *f;
  b->Werte = werte;
  QWidget* w = nullptr;
  if (optionen) {
    b->Art = TBindung::TArt::Optionen;
    auto* box = new QGroupBox(U(f->Label));
    auto* l = new QVBoxLayout(box);
    b->Gruppe = new QButtonGroup(box);
    for (int i = 0; i < texte.size(); ++i) {
      auto* rb = new QRadioButton(texte[i]);
      rb->installEventFilter(this);
      b->Gruppe->addButton(rb, i);
      l->addWidget(rb);
    }
    connect(b->Gruppe, &QButtonGroup::idClicked, this, [this, p = b.get()] { Geaendert(*p); });
    w = box;
    r.Gitter->addWidget(box, r.Zeile++, 0, 1, 3);
  } else {
    b->Art = TBindung::TArt::Auswahl;
    auto* c = new QComboBox;
    c->addItems(texte);
    connect(c, &QComboBox::currentIndexChanged, this, [this, p = b.get()] { Geaendert(*p); });
    w = c;
    b->Label = new QLabel(U(f->Label));
    r.Gitter->addWidget(b->Label, r.Zeile, 0);
    r.Gitter->addWidget(c, r.Zeile, 1);
    ++r.Zeile;
  }
  w->setObjectName(U(f->Schluessel()));
  w->installEventFilter(this);
  b->W = w;
  FBindungen.push_back(std::move(b));
  return FBindungen.back().get();
}

QWidget* TMusterForm::NeueErgebnisseite(const QString& titel, QWidget* inhalt, int index) {
  inhalt->setObjectName(titel);
  if (index < 0)
    FErgebnisse->addTab(inhalt, titel);
  else
    FErgebnisse->insertTab(index, inhalt, titel);
  return inhalt;
}

void TMusterForm::SeiteZeigen(const QString& titel, bool sichtbar) {
  for (int i = 0; i < FSeiten->count(); ++i)
    if (FSeiten->tabText(i) == titel) FSeiten->setTabVisible(i, sichtbar);
}

void TMusterForm::ErgebnisseiteZeigen(const QString& titel, bool sichtbar) {
  for (int i = 0; i < FErgebnisse->count(); ++i)
    if (FErgebnisse->tabText(i) == titel) FErgebnisse->setTabVisible(i, sichtbar);
}

QWidget* TMusterForm::Seite(const QString& titel) const {
  for (int i = 0; i < FSeiten->count(); ++i)
    if (FSeiten->tabText(i) == titel && FSeiten->isTabVisible(i)) return FSeiten->widget(i);
  return nullptr;
}

QStringList TMusterForm::SichtbareSeiten() const {
  QStringList r;
  for (int i = 0; i < FSeiten->count(); ++i)
    if (FSeiten->isTabVisible(i)) r << FSeiten->tabText(i);
  return r;
}

QStringList TMusterForm::SichtbareErgebnisse() const {
  QStringList r;
  for (int i = 0; i < FErgebnisse->count(); ++i)
    if (FErgebnisse->isTabVisible(i)) r << FErgebnisse->tabText(i);
  return r;
}

QTreeWidget* TMusterForm::Liste(const QString& ergebnisseite) const {
  for (int i = 0; i < FErgebnisse->count(); ++i)
    if (FErgebnisse->tabText(i) == ergebnisseite) {
      QWidget* w = FErgebnisse->widget(i);
      if (auto* t = qobject_cast<QTreeWidget*>(w)) return t;
      return w->findChild<QTreeWidget*>();
    }
  return nullptr;
}

TMusterForm::TBindung* TMusterForm::Bindung(const std::string& schluessel) {
  for (auto& b : FBindungen)
    if (b->F.Schluessel() == schluessel) return b.get();
  return nullptr;
}

const TMusterForm::TBindung* TMusterForm::Bindung(const std::string& schluessel) const {
  for (const auto& b : FBindungen)
    if (b->F.Schluessel() == schluessel) return b.get();
  return nullptr;
}

const TMusterForm::TBindung* TMusterForm::BindungVon(const QWidget* w) const {
  for (const auto& b : FBindungen) {
    if (b->W == w) return b.get();
    if (b->Gruppe)
      for (QAbstractButton* k : b->Gruppe->buttons())
        if (k == w) return b.get();
  }
  return nullptr;
}

QWidget* TMusterForm::Steuerung(const std::string& schluessel) const {
  const TBindung* b = Bindung(schluessel);
  return b ? b->W : nullptr;
}

QString TMusterForm::Beschriftung(const std::string& schluessel) const {
  const TBindung* b = Bindung(schluessel);
  if (!b) return {};
  if (b->Label) return b->Label->text();
  if (auto* c = qobject_cast<QCheckBox*>(b->W)) return c->text();
  if (auto* g = qobject_cast<QGroupBox*>(b->W)) return g->title();
  return {};
}

void TMusterForm::FeldZeigen(const std::string& schluessel, bool sichtbar) {
  TBindung* b = Bindung(schluessel);
  if (!b) return;
  b->Verborgen = !sichtbar;
  for (QWidget* w : {b->W, static_cast<QWidget*>(b->Label), static_cast<QWidget*>(b->Einheit)})
    if (w) w->setVisible(sichtbar);
}

bool TMusterForm::Aktiv(const TBindung& b) const {
  if (b.Verborgen) return false;
  for (QWidget* p = b.W; p; p = p->parentWidget()) {
    if (p != b.W && p->isHidden() && FSeiten->indexOf(p) < 0) return false;
    if (const int i = FSeiten->indexOf(p); i >= 0) return FSeiten->isTabVisible(i);
  }
  return true;
}

void TMusterForm::SetzeLabel(const std::string& schluessel, const QString& label,
                             const QString& einheit) {
  TBindung* b = Bindung(schluessel);
  if (!b) return;
  if (b->Label)
    b->Label->setText(label);
  else if (auto* c = qobject_cast<QCheckBox*>(b->W))
    c->setText(label);
  if (b->Einheit && !einheit.isNull()) b->Einheit->setText(einheit);
}

void TMusterForm::SetzeGrenzen(const std::string& schluessel, std::optional<double> min,
                               std::optional<double> max) {
  if (TBindung* b = Bindung(schluessel)) {
    b->Min = min;
    b->Max = max;
  }
}

QString TMusterForm::Hinweis(const std::string& schluessel) const {
  const TBindung* b = Bindung(schluessel);
  if (!b) return {};
  switch (b->Art) {
    case TBindung::TArt::Zahl:
      return ZahlAlsText(b->Min.value_or(0)) + QStringLiteral(" ..... ") +
             ZahlAlsText(b->Max.value_or(0));
    case TBindung::TArt::Text:
    case TBindung::TArt::Memo:
      return QStringLiteral("TextFeld");
    case TBindung::TArt::Datum:
      return QStringLiteral("Wählen Sie ein Datum.");
    case TBindung::TArt::Auswahl:
    case TBindung::TArt::Optionen:
      return QStringLiteral("Wählen Sie eine Option.");
    case TBindung::TArt::Haken:
      return {};
  }
  return {};
}

// The common pages: location, memo, drawing, script.
void TMusterForm::BasisSeitenAufbauen() {
  TRaster lage = NeueSeite(QStringLiteral("Lage"));
  {
    auto* l = new QLabel(QStringLiteral("Straße"));
    FStrasse = new QComboBox;
    FStrasse->setEditable(true);
    FStrasse->setObjectName(QStringLiteral("CDSHyd.STRASSE"));
    // The streets offered: the program's street list, then every street an
    // element of the project lies on. A street made with "neu..." joins the
    // list, and becomes the element's street with OK (undone with that step,
    // saved with the project).
    QStringList strassen;
    const TTabelle& st = gStrassen ? *gStrassen : FDok.Tabellen().T("CDSStrassen");
    for (int z = 0; z < st.Anzahl(); ++z) strassen << U(AlsText(st.Wert(z, "STRASSE")));
    const TM3Model& m = FDok.Model();
    for (int i = 0; i < m.Count(); ++i)
      if (const TElement* e = TM3Model::ElementOf(m.GetNode(i))) strassen << U(e->SUM.Strasse);
    strassen.removeAll(QString());
    strassen.removeDuplicates();
    FStrasse->addItems(strassen);
    auto* neu = new QPushButton(QStringLiteral("neu..."));
    neu->setObjectName(QStringLiteral("NeueStrasse"));
    connect(neu, &QPushButton::clicked, this, &TMusterForm::NeueStrasse);
    lage.Gitter->addWidget(l, lage.Zeile, 0);
    lage.Gitter->addWidget(FStrasse, lage.Zeile, 1);
    lage.Gitter->addWidget(neu, lage.Zeile, 2);
    ++lage.Zeile;
    auto b = std::make_unique<TBindung>();
    b->F = *t21::Feld("CDSHyd", "STRASSE");
    b->Art = TBindung::TArt::Text;
    b->W = FStrasse;
    b->Label = l;
    FStrasse->installEventFilter(this);
    connect(FStrasse, &QComboBox::currentTextChanged, this, [this, p = b.get()] { Geaendert(*p); });
    FBindungen.push_back(std::move(b));
  }
  Feld(lage, "CDSHyd", "GELAENDE");
  Feld(lage, "CDSHyd", "RW");
  Feld(lage, "CDSHyd", "HW");

  TRaster notiz = NeueSeite(QStringLiteral("Notiz"));
  Feld(notiz, "CDSHyd", "MEMO");

  TRaster grafik = NeueSeite(QStringLiteral("Grafik"));
  const TCadShape* s = FDok.Model().GetNodeById(FId);
  FX1 = new TZahlFeld(false);
  FX1->setObjectName(QStringLiteral("X1"));
  FY1 = new TZahlFeld(false);
  FY1->setObjectName(QStringLiteral("Y1"));
  if (s) {
    FX1->SetzeWert(s->X1);
    FY1->SetzeWert(s->Y1);
  }
  grafik.Gitter->addWidget(new QLabel(QStringLiteral("X1")), grafik.Zeile, 0);
  grafik.Gitter->addWidget(FX1, grafik.Zeile++, 1);
  grafik.Gitter->addWidget(new QLabel(QStringLiteral("Y1")), grafik.Zeile, 0);
  grafik.Gitter->addWidget(FY1, grafik.Zeile++, 1);
  auto* box = new QGroupBox(QStringLiteral("Textposition"));
  box->setObjectName(QStringLiteral("Textposition"));
  auto* bl = new QVBoxLayout(box);
  FTextPos = new QButtonGroup(box);
  const char* pos[] = {"keine (Text ausblenden)", "rechts", "unten", "links", "oben"};
  for (int i = 0; i < 5; ++i) {
    auto* rb = new QRadioButton(QString::fromUtf8(pos[i]));
    FTextPos->addButton(rb, i);
    bl->addWidget(rb);
  }
  const int tp = s ? s->TextPos / 3 : 0;
  if (QAbstractButton* k = FTextPos->button(tp >= 0 && tp < 5 ? tp : 0)) k->setChecked(true);
  grafik.Gitter->addWidget(box, grafik.Zeile++, 0, 1, 3);
  auto* schrift = new QPushButton(QStringLiteral("Schriftart ..."));
  schrift->setObjectName(QStringLiteral("Schriftart"));
  grafik.Gitter->addWidget(schrift, grafik.Zeile++, 0, 1, 1, Qt::AlignLeft);
  connect(schrift, &QPushButton::clicked, this, [this] {
    const TCadShape* s = FDok.Model().GetNodeById(FId);
    TSchrift alt = FSchrift ? *FSchrift : (s ? s->Font : TSchrift{});
    QFont f(QString::fromStdString(alt.Name), alt.Size);
    f.setBold(alt.Fett);
    f.setItalic(alt.Kursiv);
    bool ok = false;
    const QFont neu = QFontDialog::getFont(&ok, f, this);
    if (!ok) return;
    alt.Name = neu.family().toStdString();
    alt.Size = std::max(6, neu.pointSize());
    alt.Fett = neu.bold();
    alt.Kursiv = neu.italic();
    alt.Unterstrichen = neu.underline();
    alt.Durchgestrichen = neu.strikeOut();
    FSchrift = alt;
  });

  TRaster script = NeueSeite(QStringLiteral("Script"));
  Feld(script, "CDSHyd", "ScriptAktiv");
  auto* zeile = new QHBoxLayout;
  for (const char* k : {"speichern", "laden", "löschen", "prüfen"}) {
    auto* b = new QPushButton(QString::fromUtf8(k));
    b->setObjectName(QString::fromUtf8(k));
    zeile->addWidget(b);
    const QString t = QString::fromUtf8(k);
    connect(b, &QPushButton::clicked, this, [this, t] {
      if (t == QLatin1String("speichern"))
        ScriptSpeichern();
      else if (t == QLatin1String("laden"))
        ScriptLaden();
      else if (t == QStringLiteral("löschen")) {
        if (auto* m = qobject_cast<QPlainTextEdit*>(Steuerung("CDSHyd.Script"))) m->clear();
        FScriptMeldungen->clear();
      } else {
        ScriptPruefen();
      }
    });
  }
  zeile->addStretch(1);
  script.Gitter->addLayout(zeile, script.Zeile++, 0, 1, 3);
  TBindung* text = Feld(script, "CDSHyd", "Script");
  if (text) {
    text->W->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->W->setMinimumHeight(120);
  }
  FScriptMeldungen = new QPlainTextEdit;
  FScriptMeldungen->setObjectName(QStringLiteral("ScriptMeldungen"));
  FScriptMeldungen->setReadOnly(true);
  FScriptMeldungen->setMinimumHeight(80);
  script.Gitter->addWidget(FScriptMeldungen, script.Zeile++, 0, 1, 3);
}

// ------------------------------------------------------------ values

TWert TMusterForm::Wert(const std::string& schluessel) const {
  const TBindung* b = Bindung(schluessel);
  std::optional<TFeldBeschreibung> f = b ? std::optional(b->F) : std::nullopt;
  if (!f) {
    const auto p = schluessel.find('.');
    if (p == std::string::npos) return {};
    f = t21::Feld(schluessel.substr(0, p), schluessel.substr(p + 1));
    if (!f) return {};
  }
  const int z = FeldZeile(*FDM, *f);
  if (z < 0) return {};
  return FDM->T(f->Tabelle).Wert(z, f->Spalte);
}

void TMusterForm::SetzeWert(const std::string& schluessel, const TWert& w) {
  const auto p = schluessel.find('.');
  if (p == std::string::npos) return;
  const auto f = t21::Feld(schluessel.substr(0, p), schluessel.substr(p + 1));
  if (!f) return;
  const int z = FeldZeile(*FDM, *f);
  if (z < 0) return;
  FDM->T(f->Tabelle).Setze(z, f->Spalte, w);
  if (TBindung* b = Bindung(schluessel)) {
    const bool alt = FLaedt;
    FLaedt = true;
    InSteuerung(*b);
    FLaedt = alt;
  }
}

void TMusterForm::ZeigeWerte() {
  const bool alt = FLaedt;
  FLaedt = true;
  for (auto& b : FBindungen) InSteuerung(*b);
  FLaedt = alt;
}

void TMusterForm::InSteuerung(TBindung& b) {
  const int z = FeldZeile(*FDM, b.F);
  const TWert w = z >= 0 ? FDM->T(b.F.Tabelle).Wert(z, b.F.Spalte) : TWert{};
  switch (b.Art) {
    case TBindung::TArt::Zahl:
      static_cast<TZahlFeld*>(b.W)->SetzeWert(AlsZahl(w));
      break;
    case TBindung::TArt::Text:
      if (auto* c = qobject_cast<QComboBox*>(b.W))
        c->setCurrentText(U(AlsText(w)));
      else
        static_cast<QLineEdit*>(b.W)->setText(U(AlsText(w)));
      break;
    case TBindung::TArt::Memo: {
      QStringList zeilen;
      for (const std::string& s : ZeilenAus(AlsText(w))) zeilen << U(s);
      static_cast<QPlainTextEdit*>(b.W)->setPlainText(zeilen.join(QLatin1Char('\n')));
      break;
    }
    case TBindung::TArt::Haken:
      static_cast<QCheckBox*>(b.W)->setChecked(AlsBool(w));
      break;
    case TBindung::TArt::Datum:
      static_cast<QDateEdit*>(b.W)->setDate(AlsQDate(AlsZahl(w)));
      break;
    case TBindung::TArt::Auswahl: {
      auto* c = static_cast<QComboBox*>(b.W);
      int i = b.Werte.isEmpty() ? AlsGanzzahl(w) : static_cast<int>(b.Werte.indexOf(U(AlsText(w))));
      c->setCurrentIndex(i >= 0 && i < c->count() ? i : -1);
      break;
    }
    case TBindung::TArt::Optionen: {
      const int i = static_cast<int>(b.Werte.indexOf(U(AlsText(w))));
      if (QAbstractButton* k = b.Gruppe->button(i)) {
        k->setChecked(true);
      } else if (QAbstractButton* c = b.Gruppe->checkedButton()) {
        b.Gruppe->setExclusive(false);
        c->setChecked(false);
        b.Gruppe->setExclusive(true);
      }
      break;
    }
  }
}

void TMusterForm::AusSteuerung(TBindung& b) {
  const int z = FeldZeile(*FDM, b.F);
  if (z < 0) return;
  TTabelle& t = FDM->T(b.F.Tabelle);
  switch (b.Art) {
    case TBindung::TArt::Zahl: {
      auto* f = static_cast<TZahlFeld*>(b.W);
      if (const auto v = f->Wert()) {
        if (b.F.Typ == TFeldTyp::Integer)
          t.Setze(z, b.F.Spalte, static_cast<int32_t>(std::llround(*v)));
        else
          t.Setze(z, b.F.Spalte, *v);
      }
      break;
    }
    case TBindung::TArt::Text:
      if (auto* c = qobject_cast<QComboBox*>(b.W))
        t.Setze(z, b.F.Spalte, S(c->currentText()));
      else
        t.Setze(z, b.F.Spalte, S(static_cast<QLineEdit*>(b.W)->text()));
      break;
    case TBindung::TArt::Memo:
      t.Setze(z, b.F.Spalte,
              Zeilen(ZeilenAus(S(static_cast<QPlainTextEdit*>(b.W)->toPlainText()))));
      break;
    case TBindung::TArt::Haken:
      t.Setze(z, b.F.Spalte, static_cast<QCheckBox*>(b.W)->isChecked());
      break;
    case TBindung::TArt::Datum:
      t.Setze(z, b.F.Spalte, AlsTage(static_cast<QDateEdit*>(b.W)->date()));
      break;
    case TBindung::TArt::Auswahl: {
      const int i = static_cast<QComboBox*>(b.W)->currentIndex();
      if (i < 0) break;
      if (b.Werte.isEmpty())
        t.Setze(z, b.F.Spalte, static_cast<int32_t>(i));
      else
        t.Setze(z, b.F.Spalte, S(b.Werte[i]));
      break;
    }
    case TBindung::TArt::Optionen: {
      const int i = b.Gruppe->checkedId();
      if (i >= 0 && i < b.Werte.size()) t.Setze(z, b.F.Spalte, S(b.Werte[i]));
      break;
    }
  }
}

void TMusterForm::Geaendert(TBindung& b) {
  if (FLaedt) return;
  AusSteuerung(b);
  // A changed script must be checked again before its tokens count.
  if (b.F.Spalte == "Script") FGeprueft = false;
  Rechnen();
}

void TMusterForm::AufVorgaben(const std::string& tabelle, const std::vector<std::string>& spalten) {
  TTabelle& t = FDM->T(tabelle);
  auto f = t21::Feld(tabelle, "ID");
  if (!f) return;
  const int z = FeldZeile(*FDM, *f);
  if (z < 0) return;
  for (const std::string& s : spalten) {
    const int i = t.Schema().Index(s);
    if (i < 0) continue;
    const TWert w = t.Vorgabewert(i);
    t.Setze(z, i, w);
    if (TBindung* b = Bindung(tabelle + "." + s)) {
      FLaedt = true;
      InSteuerung(*b);
      FLaedt = false;
    }
  }
  Rechnen();
}

// ------------------------------------------------------------ computing

void TMusterForm::Rechnen() {
  if (FLaedt || FTyp.empty()) return;
  TElement& e = *FKopie;
  FDM->GetData(e, &FDok.Model().Netz());
  // The script and its flag of every kind (the tables read them for
  // structures only).
  const int z = FDM->Aktuell;
  if (z >= 0) {
    const TTabelle& hyd = FDM->T("CDSHyd");
    e.Script = ZeilenAus(AlsText(hyd.Wert(z, "Script")));
    e.ScriptActive = AlsBool(hyd.Wert(z, "ScriptAktiv"));
  }
  Uebernehmen(e);
  const TNET& netz = Netz();
  if (auto* n = dynamic_cast<TNET*>(&e)) n->SetzePsiTafel(n->Spenden.GetR15());
  e.Calc(TRechnung{*FZulauf, netz});
  const double o2 = netz.cO2sat;
  ZeigeDaten(FListeZulauf, FZulauf->AB, o2);
  ZeigeDaten(FListeAblauf, e.AB, o2);
  if (const auto* b = dynamic_cast<const TBauwerk*>(&e)) {
    TParameterArray summe;
    b->KUE.AB.AddTo(summe);
    b->BUE.AB.AddTo(summe);
    ZeigeDaten(FListeAbschlag, summe, o2);
  } else {
    ZeigeDaten(FListeAbschlag, TParameterArray{}, o2);
  }
  ErgebnisseZeigen();
}

QString TMusterForm::Eingabefehler(QWidget** feld) const {
  for (const auto& b : FBindungen) {
    if (b->Art != TBindung::TArt::Zahl || !Aktiv(*b)) continue;
    auto* f = static_cast<TZahlFeld*>(b->W);
    const QString name = b->Label ? b->Label->text() : U(b->F.Label);
    const auto v = f->Wert();
    if (!v) {
      if (feld) *feld = f;
      return QStringLiteral("'%1' ist keine gültige Zahl.").arg(f->text().trimmed());
    }
    // A stored value outside the limits stays as long as it is not edited.
    if (!f->Bearbeitet()) continue;
    if ((b->Min && *v < *b->Min) || (b->Max && *v > *b->Max)) {
      if (feld) *feld = f;
      return QStringLiteral("%1: Der Wert muss zwischen %2 und %3 liegen.")
          .arg(name, ZahlAlsText(b->Min.value_or(0)), ZahlAlsText(b->Max.value_or(0)));
    }
  }
  for (TZahlFeld* f : {FX1, FY1})
    if (f && !f->text().trimmed().isEmpty() && !f->Wert()) {
      if (feld) *feld = f;
      return QStringLiteral("'%1' ist keine gültige Zahl.").arg(f->text().trimmed());
    }
  return {};
}

void TMusterForm::accept() {
  QWidget* feld = nullptr;
  const QString fehler = Eingabefehler(&feld);
  if (!fehler.isEmpty()) {
    FDialoge.Beep();
    FDialoge.Meldung(this, fehler);
    if (feld) {
      for (QWidget* p = feld->parentWidget(); p; p = p->parentWidget())
        if (const int i = FSeiten->indexOf(p); i >= 0) FSeiten->setCurrentIndex(i);
      feld->setFocus();
    }
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  {
    TCommit c = FDok.Beginne(S(windowTitle()) + " bearbeiten");
    TCadShape* s = c.Aendern(FId);
    if (TElement* e = TM3Model::ElementOf(s)) {
      FDM->GetData(*e, &c.Model().Netz());
      Uebernehmen(*e);
      const TTabelle& hyd = FDM->T("CDSHyd");
      const int z = FDM->Aktuell;
      if (z >= 0) {
        e->Script = ZeilenAus(AlsText(hyd.Wert(z, "Script")));
        e->ScriptActive = AlsBool(hyd.Wert(z, "ScriptAktiv"));
      }
      if (FGeprueft) e->Tokens = FTokens;
      if (auto* n = dynamic_cast<TNET*>(e)) n->SetzePsiTafel(n->Spenden.GetR15());
      // Position and caption of the shape.
      if (const auto x = FX1->Wert(); x && *x != s->X1) {
        const double d = *x - s->X1;
        s->X1 += d;
        s->X2 += d;
      }
      if (const auto y = FY1->Wert(); y && *y != s->Y1) {
        const double d = *y - s->Y1;
        s->Y1 += d;
        s->Y2 += d;
      }
      if (FTextPos->checkedId() >= 0) s->TextPos = FTextPos->checkedId() * 3;
      if (FSchrift) s->Font = *FSchrift;
    }
    FDok.Push(c);
  }
  QApplication::restoreOverrideCursor();
  QDialog::accept();
}

// ------------------------------------------------------------ keys, hints

bool TMusterForm::eventFilter(QObject* o, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(o);
  if (w && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_F4) {
      VorgabeSetzen(w);
      return true;
    }
    if (k->key() == Qt::Key_F5) {
      StandardSetzen(w);
      return true;
    }
  } else if (w && e->type() == QEvent::FocusIn) {
    if (const TBindung* b = BindungVon(w)) FStatus->showMessage(Hinweis(b->F.Schluessel()));
  } else if (w && e->type() == QEvent::FocusOut) {
    FStatus->clearMessage();
  }
  return QDialog::eventFilter(o, e);
}

void TMusterForm::VorgabeSetzen(QWidget* w) {
  const TBindung* b = BindungVon(w);
  if (!b) return;
  TTabelle& t = FDM->T(b->F.Tabelle);
  const int i = t.Schema().Index(b->F.Spalte);
  if (i < 0) return;
  QString a;
  switch (b->Art) {
    case TBindung::TArt::Text:
      if (auto* c = qobject_cast<QComboBox*>(b->W))
        a = QLatin1Char('\'') + c->currentText() + QLatin1Char('\'');
      else
        a = QLatin1Char('\'') + static_cast<QLineEdit*>(b->W)->text() + QLatin1Char('\'');
      break;
    case TBindung::TArt::Auswahl: {
      auto* c = static_cast<QComboBox*>(b->W);
      a = b->Werte.isEmpty()
              ? QString::number(c->currentIndex())
              : QLatin1Char('\'') + b->Werte.value(c->currentIndex()) + QLatin1Char('\'');
      break;
    }
    case TBindung::TArt::Haken:
      a = static_cast<QCheckBox*>(b->W)->isChecked() ? QStringLiteral("TRUE")
                                                     : QStringLiteral("FALSE");
      break;
    case TBindung::TArt::Optionen:
      a = QLatin1Char('\'') + b->Werte.value(b->Gruppe->checkedId()) + QLatin1Char('\'');
      break;
    case TBindung::TArt::Zahl:
      a = static_cast<QLineEdit*>(b->W)->text();
      break;
    default:
      return;
  }
  t.SetzeVorgabe(i, S(a));
  // The default holds for new elements of the project (and its ".DEF").
  ProjektVorgabe(b->F.Tabelle, i, S(a));
}

void TMusterForm::ProjektVorgabe(const std::string& tabelle, int spalte, const std::string& a) {
  TDataModule1& p = FDok.VorgabenTabellen();
  if (const auto it = p.Tabellen.find(tabelle);
      it != p.Tabellen.end() && spalte < it->second->Spalten())
    it->second->SetzeVorgabe(spalte, a);
}

void TMusterForm::StandardSetzen(QWidget* w) {
  const TBindung* b = BindungVon(w);
  if (!b) return;
  TTabelle& t = FDM->T(b->F.Tabelle);
  const int i = t.Schema().Index(b->F.Spalte);
  if (i < 0) return;
  for (const auto& v : FDM->StandardVorgaben)
    if (v.Tabelle == b->F.Tabelle && v.Spalte == i) {
      t.SetzeVorgabe(i, v.Ausdruck);
      ProjektVorgabe(b->F.Tabelle, i, v.Ausdruck);
      const TWert wert = t.Vorgabewert(i);
      if (IstNull(wert)) return;
      SetzeWert(b->F.Schluessel(), wert);
      Rechnen();
      return;
    }
}

// ------------------------------------------------------------ street, script

void TMusterForm::NeueStrasse() {
  QString name;
  if (!FDialoge.Eingabe(this, QStringLiteral("neue Straße"), QStringLiteral("Name ?"), name))
    return;
  name = name.trimmed();
  if (name.isEmpty()) return;
  if (gStrassen && gStrassen->Finde("STRASSE", name.toStdString()) < 0)
    gStrassen->Setze(gStrassen->Anhaengen(), "STRASSE", name.toStdString());
  if (FStrasse->findText(name) < 0) FStrasse->addItem(name);
  FStrasse->setCurrentText(name);
  FStrasse->setFocus();
}

void TMusterForm::ScriptLaden() {
  const QString datei = FDialoge.DateiOeffnen(this, QStringLiteral("Script laden"),
                                              QStringLiteral("TamKor3-Script (*.T3s)"));
  if (datei.isEmpty()) return;
  QFile f(datei);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    FDialoge.Meldung(this, QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(datei));
    return;
  }
  auto* m = qobject_cast<QPlainTextEdit*>(Steuerung("CDSHyd.Script"));
  FScriptMeldungen->clear();
  if (m) {
    m->clear();
    m->setPlainText(QString::fromUtf8(f.readAll()));
  }
}

void TMusterForm::ScriptSpeichern() {
  const QString datei = FDialoge.DateiSpeichern(this, QStringLiteral("Script speichern"),
                                                QStringLiteral("TamKor3-Script (*.T3s)"));
  if (datei.isEmpty()) return;
  auto* m = qobject_cast<QPlainTextEdit*>(Steuerung("CDSHyd.Script"));
  std::string fehler;
  if (!SchreibeDateiAtomar(S(datei), m ? S(m->toPlainText()) : std::string(), fehler))
    FDialoge.Meldung(this, U(fehler));
}

void TMusterForm::ScriptPruefen() {
  auto* m = qobject_cast<QPlainTextEdit*>(Steuerung("CDSHyd.Script"));
  if (!m) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  FScriptMeldungen->clear();
  const std::vector<std::string> zeilen = ZeilenAus(S(m->toPlainText()));
  QStringList aus;
  try {
    script::TbbInterpreter ip;
    std::vector<std::string> tokens, fehler;
    script::TScriptCode code = ip.PrepareScript(zeilen, tokens, fehler);
    if (!fehler.empty()) {
      for (const std::string& f : fehler) aus << U(f);
    } else {
      bool ok = true;
      try {
        ip.DoScript(*FKopie, code);
      } catch (const std::exception&) {
        ok = false;
      }
      if (!ok) {
        aus << QStringLiteral("Funktions-Name oder -Argument ungültig ");
      } else {
        QElapsedTimer uhr;
        uhr.start();
        std::vector<std::string> t2, f2;
        for (int i = 0; i < 1000; ++i) {
          t2.clear();
          f2.clear();
          code = ip.PrepareScript(zeilen, t2, f2);
        }
        const qint64 vorbereiten = uhr.restart();
        try {
          for (int i = 0; i < 1000; ++i) ip.DoScript(*FKopie, code);
        } catch (const std::exception&) {
        }
        const qint64 ausfuehren = uhr.elapsed();
        for (const std::string& z : ip.VariablenZeilen(ip.Variables())) aus << U(z);
        aus << QString();
        aus << QStringLiteral("1000 * PrepareScript: %1 ms;").arg(vorbereiten);
        aus << QStringLiteral("1000 * DoScript: %1 ms").arg(ausfuehren);
        aus << QStringLiteral("Ausführungszeit bei dt = 5 min etwa %1 s pro Jahr")
                   .arg(QLocale().toString(ausfuehren * 0.1, 'f', 1));
        FTokens = tokens;
        FGeprueft = true;
      }
    }
  } catch (const std::exception& e) {
    aus << QStringLiteral("Funktions-Name oder -Argument ungültig ") << U(e.what());
  }
  FScriptMeldungen->setPlainText(aus.join(QLatin1Char('\n')));
  QApplication::restoreOverrideCursor();
  // The script ran on the copy: compute it again from the records.
  Rechnen();
}

}  // namespace t21
