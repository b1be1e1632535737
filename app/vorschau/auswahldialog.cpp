#include "app/vorschau/auswahldialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"
#include "app/vorschau/druckvorschau.h"
#include "document/dokument.h"
#include "report/nachweisseiten.h"

namespace t21 {

namespace {

constexpr int kIdRolle = Qt::UserRole;

QListWidgetItem* Eintrag(const TCadShape& s) {
  auto* e = new QListWidgetItem(QString::fromStdString(s.Name));
  e->setData(kIdRolle, QVariant::fromValue<qulonglong>(s.Id));
  return e;
}

uint64_t IdVon(const QListWidgetItem* e) {
  return e->data(kIdRolle).toULongLong();
}

// The report pages draw from the model; gathering an element's inflow on
// the way fills the model's accumulator only and changes nothing stored.
TM3Model& Zeichenmodell(TDokument& d) {
  return const_cast<TM3Model&>(d.Model());
}

std::vector<TCadShape*> Shapes(TDokument& d, const std::vector<uint64_t>& ids) {
  std::vector<TCadShape*> s;
  for (uint64_t id : ids)
    if (TCadShape* x = d.Model().GetNodeById(id)) s.push_back(x);
  return s;
}

}  // namespace

// -------------------------------------------------------------- TDualListDlg

TDualListDlg::TDualListDlg(TDokument& dok, TDialoge& dialoge, QWidget* eltern)
    : QDialog(eltern), FDok(dok), FDialoge(dialoge) {
  setWindowTitle(QStringLiteral("Druck-Auswahldialog"));
  auto* raster = new QGridLayout(this);
  raster->addWidget(new QLabel(QStringLiteral("verfügbare Elemente"), this), 0, 0);
  raster->addWidget(new QLabel(QStringLiteral("zu druckende Elemente"), this), 0, 2);
  FSrc = new QListWidget(this);
  FDst = new QListWidget(this);
  for (QListWidget* l : {FSrc, FDst}) {
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setMinimumSize(220, 320);
    connect(l, &QListWidget::itemSelectionChanged, this, [this, l] {
      FAktiveListe = l;
      Knoepfe();
    });
    connect(l, &QListWidget::currentRowChanged, this, [this, l] {
      FAktiveListe = l;
      Knoepfe();
    });
  }
  raster->addWidget(FSrc, 1, 0);
  raster->addWidget(FDst, 1, 2);
  auto* mitte = new QVBoxLayout;
  auto knopf = [&](const QString& text, void (TDualListDlg::*aktion)()) {
    auto* k = new QPushButton(text, this);
    k->setAutoDefault(false);
    connect(k, &QPushButton::clicked, this, aktion);
    mitte->addWidget(k);
    return k;
  };
  mitte->addStretch(1);
  FHin = knopf(QStringLiteral(">"), &TDualListDlg::Hin);
  FAlleHin = knopf(QStringLiteral(">>"), &TDualListDlg::AlleHin);
  FZurueck = knopf(QStringLiteral("<"), &TDualListDlg::Zurueck);
  FAlleZurueck = knopf(QStringLiteral("<<"), &TDualListDlg::AlleZurueck);
  mitte->addSpacing(12);
  FHoch = knopf(QStringLiteral("▲"), &TDualListDlg::Hoch);
  FRunter = knopf(QStringLiteral("▼"), &TDualListDlg::Runter);
  FHoch->setToolTip(QStringLiteral("Eintrag nach oben"));
  FRunter->setToolTip(QStringLiteral("Eintrag nach unten"));
  mitte->addStretch(1);
  raster->addLayout(mitte, 1, 1);

  auto* unten = new QHBoxLayout;
  auto befehl = [&](const char* text, auto aktion) {
    auto* k = new QPushButton(QString::fromUtf8(text), this);
    k->setAutoDefault(false);
    connect(k, &QPushButton::clicked, this, aktion);
    unten->addWidget(k);
    return k;
  };
  befehl("&Vorschau...", [this] { Vorschau(); });
  befehl("&Drucken...", [this] { Drucken(); });
  befehl("&Einrichten...", [this] {
    QPrinter drucker(QPrinter::HighResolution);
    FDialoge.DruckerEinrichten(this, drucker);
  });
  befehl("&Hilfe", [this] { ZeigeHilfe(this, QStringLiteral("druckauswahl")); });
  unten->addStretch(1);
  befehl("&Schließen", [this] { accept(); });
  raster->addLayout(unten, 2, 0, 1, 3);

  // The print list decides when it names elements; else the selection.
  const TM3Model& m = dok.Model();
  std::vector<const TCadShape*> ziel;
  for (const std::string& n : m.PrintList) {
    const TCadShape* s = m.GetNode(n);
    if (s && s->IsM3Shape() && s->Typ() != "REG" &&
        std::find(ziel.begin(), ziel.end(), s) == ziel.end())
      ziel.push_back(s);
  }
  const bool ausListe = !ziel.empty();
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (!s->IsM3Shape() || s->Typ() == "REG") continue;
    const bool gewaehlt =
        ausListe ? std::find(ziel.begin(), ziel.end(), s) != ziel.end() : m.IsSelected(s);
    if (!ausListe && gewaehlt) ziel.push_back(s);
    if (!gewaehlt) FSrc->addItem(Eintrag(*s));
  }
  for (const TCadShape* s : ziel) FDst->addItem(Eintrag(*s));
  Knoepfe();
}

std::vector<uint64_t> TDualListDlg::Gewaehlt() const {
  std::vector<uint64_t> ids;
  for (int i = 0; i < FDst->count(); ++i) ids.push_back(IdVon(FDst->item(i)));
  return ids;
}

void TDualListDlg::Knoepfe() {
  FHin->setEnabled(!FSrc->selectedItems().isEmpty());
  FZurueck->setEnabled(!FDst->selectedItems().isEmpty());
  FAlleHin->setEnabled(FSrc->count() > 0);
  FAlleZurueck->setEnabled(FDst->count() > 0);
  const QListWidget* l = FAktiveListe;
  const int r = l ? l->currentRow() : -1;
  FHoch->setEnabled(l && r > 0);
  FRunter->setEnabled(l && r >= 0 && r < l->count() - 1);
}

namespace {

// Moves the selected entries of von to the end of nach; several arrive in
// reverse order, as they always have.
void Verschiebe(QListWidget* von, QListWidget* nach) {
  for (int i = von->count() - 1; i >= 0; --i)
    if (von->item(i)->isSelected()) {
      QListWidgetItem* e = von->takeItem(i);
      e->setSelected(false);
      nach->addItem(e);
    }
}

}  // namespace

void TDualListDlg::Hin() {
  Verschiebe(FSrc, FDst);
  Knoepfe();
}
void TDualListDlg::Zurueck() {
  Verschiebe(FDst, FSrc);
  Knoepfe();
}
void TDualListDlg::AlleHin() {
  while (FSrc->count() > 0) FDst->addItem(FSrc->takeItem(0));
  Knoepfe();
}
void TDualListDlg::AlleZurueck() {
  while (FDst->count() > 0) FSrc->addItem(FDst->takeItem(0));
  Knoepfe();
}

void TDualListDlg::Hoch() {
  QListWidget* l = FAktiveListe;
  const int r = l ? l->currentRow() : -1;
  if (r <= 0) return;
  l->insertItem(r - 1, l->takeItem(r));
  l->setCurrentRow(r - 1);
  Knoepfe();
}

void TDualListDlg::Runter() {
  QListWidget* l = FAktiveListe;
  const int r = l ? l->currentRow() : -1;
  if (r < 0 || r >= l->count() - 1) return;
  l->insertItem(r + 1, l->takeItem(r));
  l->setCurrentRow(r + 1);
  Knoepfe();
}

void TDualListDlg::Vorschau() {
  if (FDst->count() == 0) {
    FDialoge.Beep();
    return;
  }
  TPreviewForm vorschau(FDok, FDialoge, Gewaehlt(), this);
  if (vorschau.exec() == QDialog::Accepted) Drucken();
}

int TDualListDlg::DruckeSeiten(QPrinter& drucker, int von, int bis) {
  const std::vector<TCadShape*> liste = Shapes(FDok, Gewaehlt());
  const int n = static_cast<int>(liste.size());
  von = std::max(1, von);
  bis = bis <= 0 ? n : std::min(bis, n);
  if (von > bis) return 0;
  QPainter p;
  if (!p.begin(&drucker)) return -1;
  // The page drawing is laid out on a letter-size page of 8.5 x 11 inches.
  const QRect druckbar = drucker.pageLayout().paintRectPixels(drucker.resolution());
  const double ppiX = druckbar.width() / 8.5, ppiY = druckbar.height() / 11.0;
  int seiten = 0;
  for (int i = von; i <= bis; ++i) {
    const int teile = ZweiSeiten(liste[size_t(i - 1)]->Typ()) ? 2 : 1;
    for (int teil = 1; teil <= teile; ++teil) {
      if (seiten > 0) drucker.newPage();
      ZeichneNachweisseite(p, Zeichenmodell(FDok), liste, i, ppiY, ppiX, teil);
      ++seiten;
    }
  }
  p.end();
  return seiten;
}

void TDualListDlg::Drucken() {
  const int n = FDst->count();
  if (n == 0) {
    FDialoge.Beep();
    return;
  }
  QPrinter drucker(QPrinter::HighResolution);
  if (!FDialoge.DruckDialog(this, drucker, 1, n)) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int seiten = DruckeSeiten(drucker, drucker.fromPage(), drucker.toPage());
  QApplication::restoreOverrideCursor();
  if (seiten < 0)
    FDialoge.Meldung(this, QStringLiteral("Der Bericht konnte nicht gedruckt werden."));
}

void TDualListDlg::done(int r) {
  // The chosen names become the project's print list: one edit, and only
  // when the list changed.
  std::vector<std::string> namen;
  for (int i = 0; i < FDst->count(); ++i) namen.push_back(FDst->item(i)->text().toStdString());
  if (namen != FDok.Model().PrintList) {
    TCommit c = FDok.Beginne("Druckliste");
    c.AendereModell();
    c.Model().PrintList = namen;
    FDok.Push(c);
  }
  QDialog::done(r);
}

// -------------------------------------------------------------- TPreviewForm

TPreviewForm::TPreviewForm(TDokument& dok, TDialoge& dialoge, std::vector<uint64_t> ids,
                           QWidget* eltern)
    : QDialog(eltern), FDok(dok), FDialoge(dialoge), FIds(std::move(ids)) {
  setWindowTitle(QStringLiteral("Vorschau"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  auto* spalte = new QVBoxLayout(this);
  auto* leiste = new QHBoxLayout;
  spalte->addLayout(leiste);
  auto knopf = [&](const char* text, auto aktion) {
    auto* k = new QPushButton(QString::fromUtf8(text), this);
    k->setAutoDefault(false);
    k->setFocusPolicy(Qt::NoFocus);
    connect(k, &QPushButton::clicked, this, aktion);
    leiste->addWidget(k);
    return k;
  };
  FErste = knopf("Erste Seite", [this] { ErsteSeite(); });
  FVorherige = knopf("Vorherige Seite", [this] { VorherigeSeite(); });
  FNaechste = knopf("nächste Seite", [this] { NaechsteSeite(); });
  FLetzte = knopf("letzte Seite", [this] { LetzteSeite(); });
  FGroesseBox = new QComboBox(this);
  FGroesseBox->addItems({QStringLiteral("ganze Seite"), QStringLiteral("Seitenbreite")});
  FGroesseBox->setFocusPolicy(Qt::NoFocus);
  connect(FGroesseBox, &QComboBox::currentIndexChanged, this, [this](int i) { SetzeGroesse(i); });
  leiste->addWidget(FGroesseBox);
  leiste->addStretch(1);
  knopf("Drucken", [this] { accept(); });
  knopf("Schließen", [this] { reject(); });
  FFlaeche = new QScrollArea(this);
  FFlaeche->setBackgroundRole(QPalette::Dark);
  FFlaeche->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  FAnzeige = new QLabel;
  FFlaeche->setWidget(FAnzeige);
  spalte->addWidget(FFlaeche, 1);
  resize(1000, 800);
  Zeichnen();
}

int TPreviewForm::Teile(int seite) const {
  if (seite < 1 || seite > static_cast<int>(FIds.size())) return 1;
  const TCadShape* s = FDok.Model().GetNodeById(FIds[size_t(seite - 1)]);
  return s && ZweiSeiten(s->Typ()) ? 2 : 1;
}

void TPreviewForm::ErsteSeite() {
  FSeite = 1;
  FTeil = 1;
  Zeichnen();
}

void TPreviewForm::VorherigeSeite() {
  if (FTeil == 2) {
    FTeil = 1;
  } else if (FSeite > 1) {
    --FSeite;
    FTeil = Teile(FSeite);
  } else {
    FDialoge.Beep();
    return;
  }
  Zeichnen();
}

void TPreviewForm::NaechsteSeite() {
  if (FTeil == 1 && Teile(FSeite) == 2) {
    FTeil = 2;
  } else if (FSeite < static_cast<int>(FIds.size())) {
    ++FSeite;
    FTeil = 1;
  } else {
    FDialoge.Beep();
    return;
  }
  Zeichnen();
}

void TPreviewForm::LetzteSeite() {
  FSeite = std::max<int>(1, static_cast<int>(FIds.size()));
  FTeil = Teile(FSeite);
  Zeichnen();
}

void TPreviewForm::SetzeGroesse(int art) {
  FGroesse = art;
  if (FGroesseBox->currentIndex() != art) FGroesseBox->setCurrentIndex(art);
  Zeichnen();
}

void TPreviewForm::Zeichnen() {
  const int n = static_cast<int>(FIds.size());
  const int breite = std::max(200, FGroesse == 0 ? static_cast<int>(width() / 1.8) : width() + 40);
  const int hoehe = static_cast<int>(breite * 1.3);
  FBild = QImage(breite, hoehe, QImage::Format_RGB32);
  FBild.fill(Qt::white);
  {
    QPainter p(&FBild);
    p.setRenderHint(QPainter::TextAntialiasing);
    const std::vector<TCadShape*> liste = Shapes(FDok, FIds);
    if (static_cast<int>(liste.size()) == n)
      ZeichneNachweisseite(p, Zeichenmodell(FDok), liste, FSeite, hoehe / 11.0, breite / 8.5,
                           FTeil);
  }
  FAnzeige->setPixmap(QPixmap::fromImage(FBild));
  FAnzeige->resize(FBild.size());
  const bool vorn = FSeite == 1 && FTeil == 1;
  const bool hinten = FSeite >= n && FTeil == Teile(FSeite);
  FErste->setEnabled(!vorn);
  FVorherige->setEnabled(!vorn);
  FNaechste->setEnabled(!hinten);
  FLetzte->setEnabled(!hinten);
}

void TPreviewForm::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  Zeichnen();
}

void TPreviewForm::keyPressEvent(QKeyEvent* e) {
  if (!BlaetterTaste(e->key(), *FFlaeche,
                     {[this] { ErsteSeite(); }, [this] { VorherigeSeite(); },
                      [this] { NaechsteSeite(); }, [this] { LetzteSeite(); }}))
    QDialog::keyPressEvent(e);  // Esc closes
}

// ----------------------------------------------------- TFormReportErstellung

const std::vector<const char*>& TFormReportErstellung::Eintraege() {
  static const std::vector<const char*> e{"Dokumentation der Berechnung",
                                          "Fehler, Warnungen und Hinweise",
                                          "Report des Rechenlaufs ",
                                          "Übersicht der Niederschlags-Abfluss-Ereignisse",
                                          "Eingangsdaten der Simulation",
                                          "System-Verknüpfung",
                                          "Netze: Schmutzwasseranfall",
                                          "Netze: Regenwasseranfall",
                                          "Netze: Konzentrationen",
                                          "Netze: Trockenwetterganglinien",
                                          "Netze: Fremdwasserganglinien",
                                          "Einzugsgebiete",
                                          "Bauwerke",
                                          "Maßnahmen: Wirkungsgrade",
                                          "Kläranlagen: Ablaufkonzentrationen",
                                          "Gewässer: Hydrologie",
                                          "Gewässer: Hydraulik",
                                          "Gewässe: Güte",
                                          "Gewässer: Wiederbesiedlung (Verfahren 2)",
                                          "Gewässer: Wiederbesiedlung (Verfahren 1)",
                                          "Regenschreiber",
                                          "Ergebnisse Hydrologie",
                                          "Hydrologie Flächen",
                                          "Hydrologie Entlastungsbauwerke (A128)",
                                          "Hydrologie ortsspezifische Maßnahmen (RBF, RRB)",
                                          "Hydrologie Einleitungsstellen und Gewässer",
                                          "Hydroloie Kläranlagen",
                                          "Hydrologie Regenschreiber",
                                          "Frachten",
                                          "Jahresfrachten Bauwerke",
                                          "Jahresfrachten Gewässer",
                                          "Ereignisfrachten Bauwerke",
                                          "Ereignisfrachten Gewässer",
                                          "Konzentrationen",
                                          "Extremwerte der Gewässerbelastung",
                                          "Häufigkeits-Dauer-Auswertungen",
                                          "Auswertung Abfluss",
                                          "Auswertung Stoffe",
                                          "Bewirtschaftung",
                                          "Scripts"};
  return e;
}

bool TFormReportErstellung::IstUeberschrift(int i) {
  return i == 0 || i == 4 || i == 21 || i == 28 || i == 33 || i == 35 || i == 38;
}

TFormReportErstellung::TFormReportErstellung(QWidget* eltern) : QDialog(eltern) {
  setWindowTitle(QStringLiteral("Report-Erstellung"));
  auto* spalte = new QVBoxLayout(this);
  auto* kopf = new QLabel(QStringLiteral("zu druckende Reports (bitte ankreuzen)"), this);
  QFont f = kopf->font();
  f.setBold(true);
  kopf->setFont(f);
  spalte->addWidget(kopf);
  FListe = new QListWidget(this);
  const auto& e = Eintraege();
  for (int i = 0; i < static_cast<int>(e.size()); ++i) {
    auto* z = new QListWidgetItem(QString::fromUtf8(e[size_t(i)]), FListe);
    if (IstUeberschrift(i)) {
      z->setFlags(Qt::ItemIsEnabled);
      QFont g = z->font();
      g.setBold(true);
      z->setFont(g);
    } else {
      z->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
      z->setCheckState(Qt::Unchecked);
    }
  }
  // Every entry in sight, without scrolling.
  FListe->setMinimumSize(380,
                         FListe->sizeHintForRow(0) * FListe->count() + 2 * FListe->frameWidth());
  spalte->addWidget(FListe, 1);
  auto* achtung = new QLabel(QStringLiteral("Achtung!"), this);
  achtung->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
  spalte->addWidget(achtung);
  spalte->addWidget(new QLabel(
      QStringLiteral("Die Reports  verwenden die Filter der Ergebnisdarstellung!"), this));
  auto* marken = new QHBoxLayout;
  auto* alle = new QPushButton(QStringLiteral("alle markieren"), this);
  auto* keine = new QPushButton(QStringLiteral("Markierungen aufheben"), this);
  connect(alle, &QPushButton::clicked, this, &TFormReportErstellung::AlleMarkieren);
  connect(keine, &QPushButton::clicked, this, &TFormReportErstellung::MarkierungenAufheben);
  marken->addWidget(alle);
  marken->addWidget(keine);
  marken->addStretch(1);
  spalte->addLayout(marken);
  auto* unten = new QHBoxLayout;
  auto* vorschau = new QPushButton(QStringLiteral("&Vorschau"), this);
  auto* drucken = new QPushButton(QStringLiteral("&Drucken"), this);
  auto* abbruch = new QPushButton(QStringLiteral("&Abbruch"), this);
  connect(vorschau, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  connect(drucken, &QPushButton::clicked, this, [this] { done(Drucken); });
  connect(abbruch, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
  vorschau->setDefault(true);
  unten->addStretch(1);
  unten->addWidget(vorschau);
  unten->addWidget(drucken);
  unten->addWidget(abbruch);
  spalte->addLayout(unten);
}

bool TFormReportErstellung::Gewaehlt(int schluessel) const {
  if (schluessel < 0 || schluessel >= FListe->count() || IstUeberschrift(schluessel)) return false;
  return FListe->item(schluessel)->checkState() == Qt::Checked;
}

void TFormReportErstellung::SetzeGewaehlt(int schluessel, bool an) {
  if (schluessel < 0 || schluessel >= FListe->count() || IstUeberschrift(schluessel)) return;
  FListe->item(schluessel)->setCheckState(an ? Qt::Checked : Qt::Unchecked);
}

void TFormReportErstellung::AlleMarkieren() {
  for (int i = 0; i < FListe->count(); ++i) SetzeGewaehlt(i, true);
}

void TFormReportErstellung::MarkierungenAufheben() {
  for (int i = 0; i < FListe->count(); ++i) SetzeGewaehlt(i, false);
}

}  // namespace t21
