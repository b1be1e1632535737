#include "app/ereignis/ereignisfenster.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <algorithm>

#include "app/basis/dialoge.h"
#include "app/basis/zahlenformat.h"
#include "document/dokument.h"
#include "report/report.h"
#include "report/repprinter.h"
#include "storage/datenpaket.h"
#include "storage/export_xlsx.h"

namespace t21 {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString Zusammen(const std::vector<std::string>& l) {
  QStringList r;
  for (const std::string& s : l) r << Q(s);
  return r.join('\n');
}

}  // namespace

// The rows of table mode, in the columns' display formats.
class TEreignisTabellenModell : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  void Setze(const TEreignisTabelle& t) {
    beginResetModel();
    FTabelle = t;
    endResetModel();
  }
  void Leeren() { Setze(TEreignisTabelle{}); }
  int rowCount(const QModelIndex& p = {}) const override {
    return p.isValid() ? 0 : FTabelle.Zeilen();
  }
  int columnCount(const QModelIndex& p = {}) const override {
    return p.isValid() || FTabelle.Spalten.empty() ? 0
                                                   : static_cast<int>(FTabelle.Spalten.size()) + 1;
  }
  QVariant headerData(int s, Qt::Orientation o, int rolle) const override {
    if (rolle != Qt::DisplayRole || o != Qt::Horizontal) return {};
    if (s == 0) return QStringLiteral("Zeit");
    return Q(FTabelle.Spalten[static_cast<size_t>(s - 1)].Label);
  }
  QVariant data(const QModelIndex& i, int rolle) const override {
    if (!i.isValid()) return {};
    const auto z = static_cast<size_t>(i.row());
    if (rolle == Qt::TextAlignmentRole)
      return i.column() == 0 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (rolle != Qt::DisplayRole) return {};
    if (i.column() == 0) return ZeitText(FTabelle.Zeit[z], false);
    // Number and text columns keep their own counts.
    size_t zahl = 0, text = 0;
    for (int k = 0; k < i.column() - 1; ++k)
      (FTabelle.Spalten[static_cast<size_t>(k)].Text ? text : zahl)++;
    const TEreignisSpalte& s = FTabelle.Spalten[static_cast<size_t>(i.column() - 1)];
    if (s.Text) return text < FTabelle.Texte[z].size() ? Q(FTabelle.Texte[z][text]) : QString();
    if (zahl >= FTabelle.Werte[z].size()) return {};
    return Q(FormatiereBild(FTabelle.Werte[z][zahl], s.Format));
  }

 private:
  TEreignisTabelle FTabelle;
};

TFormEreignisChart* TFormEreignisChart::Oeffnen(TDokument& dok, TDialoge& dialoge,
                                                TLaufQuelle quelle, uint64_t id, bool grafik,
                                                QWidget* eltern) {
  const auto lauf = quelle ? quelle() : nullptr;
  const char* grund = !lauf                          ? kKeinLangzeitlauf
                      : lauf->Ereignisse.empty()     ? kKeineEreignisse
                      : lauf->Startzustaende.empty() ? kKeineStartzustaende
                                                     : nullptr;
  if (grund) {
    dialoge.Meldung(eltern, QString::fromUtf8(grund));
    return nullptr;
  }
  const TCadShape* s = dok.Model().GetNodeById(id);
  if (!s || !s->IsM3Shape()) {
    dialoge.Meldung(eltern, QStringLiteral("Es ist keine Komponente gewählt"));
    return nullptr;
  }
  auto* w = new TFormEreignisChart(dok, dialoge, std::move(quelle), eltern);
  w->Init(id, grafik);
  return w;
}

void TFormEreignisChart::SchliesseAlle(QWidget* eltern, const TDokument* dok) {
  if (!eltern) return;
  for (TFormEreignisChart* w :
       eltern->findChildren<TFormEreignisChart*>(QString(), Qt::FindDirectChildrenOnly))
    if (!dok || &w->FDok == dok) delete w;
}

TFormEreignisChart::TFormEreignisChart(TDokument& dok, TDialoge& dialoge, TLaufQuelle quelle,
                                       QWidget* eltern)
    : QWidget(eltern, Qt::Window), FDok(dok), FDialoge(dialoge), FQuelle(std::move(quelle)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("FormEreignisChart"));
  setWindowTitle(QStringLiteral("Ereignis-Diagramm"));
  BaueOberflaeche();
  FBeobachter = FDok.Beobachte([this](const TAenderung& a) { Geaendert(a); });
  resize(1000, 620);
}

TFormEreignisChart::~TFormEreignisChart() {
  FDok.Abmelden(FBeobachter);
}

void TFormEreignisChart::BaueOberflaeche() {
  auto* l = new QVBoxLayout(this);
  auto* leiste = new QHBoxLayout;
  auto kombi = [this, leiste](const char* name, int breite) {
    auto* c = new QComboBox(this);
    c->setObjectName(QString::fromUtf8(name));
    c->setMinimumWidth(breite);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    leiste->addWidget(c);
    return c;
  };
  ElementListe = kombi("ElementListe", 180);
  ElementListe->setToolTip(QStringLiteral("Komponente"));
  EreignisListe = kombi("EreignisListe", 280);
  EreignisListe->setToolTip(QStringLiteral("Systemereignis"));
  ParameterListe = kombi("ParameterListe", 150);
  ParameterListe->setToolTip(QStringLiteral("Parameter"));
  leiste->addWidget(new QLabel(QStringLiteral("  Nachlauftage  "), this));
  ComboBox1 = kombi("ComboBox1", 50);
  for (int t : {0, 1, 2, 3, 4, 5, 6, 7, 14, 30}) ComboBox1->addItem(QString::number(t));
  leiste->addStretch(1);
  auto knopf = [this, leiste](const char* name, const char* text) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromUtf8(name));
    b->setText(QString::fromUtf8(text));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    leiste->addWidget(b);
    return b;
  };
  ToolButton1 = knopf("ToolButton1", "Drucken");
  ToolButton2 = knopf("ToolButton2", "Speichern");
  ToolButton3 = knopf("ToolButton3", "Kopieren");
  l->addLayout(leiste);

  FStapel = new QStackedWidget(this);
  Chart1 = new QChartView(new QChart, this);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->setRenderHint(QPainter::Antialiasing);
  ZeitreihenZeigen(*Chart1->chart(), QString(), {});
  KontextMenue = DiagrammKontextmenue(*Chart1, FDialoge, this);
  FStapel->addWidget(Chart1);
  DBGrid1 = new QTableView(this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  FModell = new TEreignisTabellenModell(this);
  DBGrid1->setModel(FModell);
  DBGrid1->verticalHeader()->setDefaultSectionSize(20);
  DBGrid1->horizontalHeader()->setResizeContentsPrecision(50);
  FStapel->addWidget(DBGrid1);
  l->addWidget(FStapel, 1);
  FStatus = new QLabel(this);
  FStatus->setObjectName(QStringLiteral("Hinweis"));
  FStatus->setWordWrap(true);
  l->addWidget(FStatus);

  connect(ElementListe, &QComboBox::activated, this, [this] { ElementGewaehlt(); });
  for (QComboBox* c : {EreignisListe, ParameterListe, ComboBox1})
    connect(c, &QComboBox::currentIndexChanged, this, [this] {
      if (FFuelle) return;
      SetCaption();
      DoCalc();
    });
  connect(ToolButton1, &QToolButton::clicked, this, &TFormEreignisChart::Drucken);
  connect(ToolButton2, &QToolButton::clicked, this, &TFormEreignisChart::Speichern);
  connect(ToolButton3, &QToolButton::clicked, this, &TFormEreignisChart::Kopieren);
}

const TElement* TFormEreignisChart::Element() const {
  const TCadShape* s = FDok.Model().GetNodeById(FElementId);
  return s && s->IsM3Shape() ? TM3Model::ElementOf(s) : nullptr;
}

bool TFormEreignisChart::Rechnet() const {
  return FAuftrag.Laeuft();
}

QString TFormEreignisChart::Hinweis() const {
  return FHinweis;
}

void TFormEreignisChart::Init(uint64_t id, bool grafik) {
  FGrafik = grafik;
  FMore = false;
  FElementId = id;
  const TElement* e = Element();
  FElementName = e ? e->Name() : std::string();
  FLauf = FQuelle ? FQuelle() : nullptr;
  ElementeFuellen();
  EreignisseFuellen();
  // Chart mode has no printing or saving of the table; table mode no chart.
  ToolButton1->setVisible(!grafik);
  ToolButton2->setVisible(!grafik);
  FStapel->setCurrentWidget(grafik ? static_cast<QWidget*>(Chart1) : DBGrid1);
  SetCaption();
  SelectParameters();
  if (!isVisible()) show();
  DoCalc();
}

void TFormEreignisChart::ElementeFuellen() {
  FFuelle = true;
  ElementListe->clear();
  if (FGrafik)
    ElementListe->addItem(QString::fromUtf8(kMarkierteKomponenten),
                          QVariant::fromValue<qulonglong>(0));
  const TM3Model& m = FDok.Model();
  std::vector<std::pair<QString, uint64_t>> eintraege;
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (s && s->IsM3Shape()) eintraege.emplace_back(Q(s->Name), s->Id);
  }
  std::sort(eintraege.begin(), eintraege.end(), [](const auto& a, const auto& b) {
    return QString::localeAwareCompare(a.first, b.first) < 0;
  });
  for (const auto& [name, id] : eintraege)
    ElementListe->addItem(name, QVariant::fromValue<qulonglong>(id));
  ElementListe->setCurrentIndex(
      FMore ? 0 : ElementListe->findData(QVariant::fromValue<qulonglong>(FElementId)));
  FFuelle = false;
}

void TFormEreignisChart::EreignisseFuellen() {
  FFuelle = true;
  const int vorher = EreignisListe->currentIndex();
  EreignisListe->clear();
  if (FLauf)
    for (size_t i = 0; i < FLauf->Ereignisse.size(); ++i)
      EreignisListe->addItem(Q(EreignisText(static_cast<int>(i) + 1, FLauf->Ereignisse[i])));
  EreignisListe->setCurrentIndex(vorher >= 0 && vorher < EreignisListe->count() ? vorher : 0);
  FFuelle = false;
}

void TFormEreignisChart::SetCaption() {
  setWindowTitle(ElementListe->currentText() + QStringLiteral(": Ereignis ") +
                 EreignisListe->currentText());
}

void TFormEreignisChart::SelectParameters() {
  const TEreignisArt art = FMore ? TEreignisArt::Markierte : EreignisArt(Element());
  if (!FMore && !Element()) return;
  const std::vector<std::string> liste = EreignisParameter(art, FGrafik);
  if (liste.empty()) return;  // the list stays as it was; nothing is drawn
  const int vorher = ParameterListe->currentIndex();
  const QString text = ParameterListe->currentText();
  FFuelle = true;
  ParameterListe->clear();
  for (const std::string& p : liste) ParameterListe->addItem(Q(p));
  const int neu = ParameterListe->findText(text);
  ParameterListe->setCurrentIndex(vorher > 0 && neu >= 0 ? neu : 0);
  FFuelle = false;
}

void TFormEreignisChart::ElementGewaehlt() {
  const uint64_t id = ElementListe->currentData().toULongLong();
  if (FGrafik && ElementListe->currentIndex() == 0) {
    FMore = true;
    FElementId = 0;
    FElementName.clear();
  } else {
    FMore = false;
    FElementId = id;
    const TElement* e = Element();
    FElementName = e ? e->Name() : std::string();
  }
  SetCaption();
  SelectParameters();
  DoCalc();
}

void TFormEreignisChart::Leeren(const QString& grund) {
  FErgebnis = TEreignisErgebnis{};
  ZeitreihenZeigen(*Chart1->chart(), QString(), {});
  FModell->Leeren();
  FHinweis = grund;
  FStatus->setText(grund);
}

void TFormEreignisChart::DoCalc() {
  if (FAuftrag.Laeuft()) {
    // The choice changed while a run was going: run again when it is done.
    FNochmal = true;
    return;
  }
  auto fertig = [this](const QString& grund) {
    Leeren(grund);
    FDialoge.Meldung(this, grund);
    emit Gerechnet();
  };
  const auto lauf = FQuelle ? FQuelle() : nullptr;
  if (!lauf) return fertig(QString::fromUtf8(kKeinLangzeitlauf));
  QStringList hinweise;
  if (lauf != FLauf) {
    // A new long run replaced the one the list was made from.
    FLauf = lauf;
    EreignisseFuellen();
    SetCaption();
    hinweise << QStringLiteral("Die Ereignisliste stammt aus der neuen Langzeitsimulation.");
  }
  if (FLauf->Ereignisse.empty()) return fertig(QString::fromUtf8(kKeineEreignisse));
  if (FLauf->Startzustaende.empty()) return fertig(QString::fromUtf8(kKeineStartzustaende));

  TEreignisAuftrag a;
  a.Nr = std::max(EreignisListe->currentIndex(), 0);
  a.Grafik = FGrafik;
  a.Nachlauftage = ComboBox1->currentText().toInt();
  a.Parameter = ParameterListe->currentText().toStdString();
  const TM3Model& m = FDok.Model();
  if (FMore) {
    for (const TCadShape* s : m.Selection())
      if (s->IsM3Shape()) a.Markiert.push_back(s->Name);
    if (a.Markiert.empty()) return fertig(QStringLiteral("Es sind keine Komponenten markiert!"));
  } else {
    const TElement* e = Element();
    if (!e)
      return fertig(QStringLiteral("Die Komponente %1 gibt es nicht (mehr)").arg(Q(FElementName)));
    a.Element = e->Name();
  }
  if (FLauf->Revision != 0 && FLauf->Revision != FDok.Revision())
    hinweise << QStringLiteral(
        "Das Modell wurde nach der Langzeitsimulation geändert; die Anfangszustände stammen aus "
        "dem Stand der Simulation.");
  auto ergebnis = std::make_shared<TEreignisErgebnis>();
  const auto quelle = FLauf;
  setCursor(Qt::WaitCursor);
  FAuftrag.Starte(
      m,
      [ergebnis, quelle, a](TM3Model& kopie) {
        TEreignisLauf lauf(kopie, quelle->Ereignisse, quelle->Startzustaende);
        *ergebnis = lauf.Rechne(a);
      },
      [this, ergebnis, hinweise] {
        unsetCursor();
        if (FNochmal) {
          FNochmal = false;
          DoCalc();
          return;
        }
        QStringList h = hinweise;
        Zeigen(std::move(*ergebnis));
        if (FErgebnis.Ok) {
          for (const std::string& s : FErgebnis.Meldungen) h << Q(s);
          FHinweis = h.join('\n');
          FStatus->setText(FHinweis);
        }
        emit Gerechnet();
      });
}

void TFormEreignisChart::Zeigen(TEreignisErgebnis e) {
  if (!e.Ok) {
    const QString grund = Zusammen(e.Meldungen);
    Leeren(grund);
    FDialoge.Meldung(this, grund);
    return;
  }
  FErgebnis = std::move(e);
  if (FGrafik) {
    std::vector<TZeitreihe> reihen;
    for (const TEreignisReihe& r : FErgebnis.Reihen) reihen.push_back({Q(r.Titel), r.Zeit, r.Wert});
    ZeitreihenZeigen(*Chart1->chart(), Q(FErgebnis.Parameter), reihen);
  } else {
    FModell->Setze(FErgebnis.Tabelle);
    DBGrid1->resizeColumnsToContents();
  }
  setWindowTitle(Q(FErgebnis.Titel));
  FDialoge.Beep();
}

void TFormEreignisChart::Geaendert(const TAenderung&) {
  // Names may have changed or elements gone: the list follows the project,
  // the window its element by id.
  const TCadShape* s = FDok.Model().GetNodeById(FElementId);
  const bool weg = !FMore && (!s || !s->IsM3Shape());
  if (!FMore && !weg && s->Name != FElementName) FElementName = s->Name;
  ElementeFuellen();
  if (weg) {
    if (FErgebnis.Ok || FHinweis.isEmpty())
      Leeren(QStringLiteral("Die Komponente %1 gibt es nicht (mehr)").arg(Q(FElementName)));
    return;
  }
  SetCaption();
}

QString TFormEreignisChart::VorgeschlagenerName() const {
  return Q(EreignisDateiname(
      FDok.DateiName(), FMore ? std::string("markierte Komponenten") : FElementName,
      FErgebnis.Parameter.empty() ? ParameterListe->currentText().toStdString()
                                  : FErgebnis.Parameter));
}

QString TFormEreignisChart::KopierText() const {
  if (!FErgebnis.Ok) return {};
  return Q(TabellenTextMitZeit(EreignisAlsTabelle(FErgebnis), ZahlenformatAus()));
}

void TFormEreignisChart::Kopieren() {
  if (!FErgebnis.Ok) {
    FDialoge.Meldung(this, QStringLiteral("Es liegen keine Werte vor"));
    return;
  }
  if (FGrafik) {
    // The picture, and the series as text for a spreadsheet.
    QMimeData* m = DiagrammMimeDaten(*Chart1);
    m->setText(KopierText());
    QApplication::clipboard()->setMimeData(m);
  } else {
    QApplication::clipboard()->setText(KopierText());
  }
}

void TFormEreignisChart::Speichern() {
  if (!FErgebnis.Ok) {
    FDialoge.Meldung(this, QStringLiteral("Es liegen keine Werte vor"));
    return;
  }
  const QString d = FDialoge.DateiSpeichernVorschlag(
      this, QStringLiteral("Ganglinie speichern"),
      QStringLiteral("Ganglinien-Dateien  (*.GL);;MS-EXCEL-Dateien (*.xls)"),
      VorgeschlagenerName());
  if (d.isEmpty()) return;
  const TTabelle t = EreignisAlsTabelle(FErgebnis);
  const QFileInfo f(d);
  std::string fehler;
  bool ok;
  if (f.suffix().toUpper() == QLatin1String("XLS")) {
    ok = SaveDataSetToEXCEL(t, d.toStdString(), "Ganglinie", fehler);
  } else {
    const QString xml = f.dir().filePath(f.completeBaseName() + QStringLiteral(".xml"));
    ok = SchreibePaket(t, xml.toStdString(), fehler);
  }
  if (!ok) FDialoge.Meldung(this, Q(fehler));
}

void TFormEreignisChart::Drucken() {
  if (!FErgebnis.Ok || FErgebnis.Tabelle.Zeilen() == 0) {
    FDialoge.Meldung(this, QStringLiteral("Es liegen keine Werte vor"));
    return;
  }
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setPageOrientation(QPageLayout::Portrait);
  drucker.setDocName(windowTitle());
  if (!FDialoge.DruckDialog(this, drucker, 0, 0)) return;

  // The table as one report section: the three header texts, the column
  // labels, one band per row.
  const TEreignisTabelle& t = FErgebnis.Tabelle;
  TDatenmenge daten;
  daten.Felder.push_back("Zeit");
  daten.Formate.emplace_back();
  for (const TEreignisSpalte& s : t.Spalten) {
    daten.Felder.push_back(s.Name);
    daten.Formate.push_back(s.Text ? std::string() : s.Format);
  }
  for (int z = 0; z < t.Zeilen(); ++z) {
    std::vector<TDatenmenge::TFeld> zeile;
    zeile.emplace_back(ZeitText(t.Zeit[static_cast<size_t>(z)], false).toStdString());
    size_t zahl = 0, text = 0;
    for (const TEreignisSpalte& s : t.Spalten) {
      const auto& w = t.Werte[static_cast<size_t>(z)];
      const auto& x = t.Texte[static_cast<size_t>(z)];
      if (s.Text) {
        zeile.emplace_back(text < x.size() ? x[text] : std::string());
        ++text;
      } else {
        zeile.emplace_back(zahl < w.size() ? w[zahl] : 0.0);
        ++zahl;
      }
    }
    daten.Zeilen.push_back(std::move(zeile));
  }
  // Portrait A4 less the margins (25 mm left, 10 mm right) in screen pixels.
  constexpr int breite = static_cast<int>((210 - 35) / 25.4 * kBildschirmPpi);
  TBand kopf, spalten, zeile;
  kopf.Name = "Seitenkopf";
  kopf.Height = 62;
  const std::string texte[3] = {
      FErgebnis.Parameter, FElementName,
      EreignisText(EreignisListe->currentIndex() + 1, FErgebnis.Ereignis)};
  for (int i = 0; i < 3; ++i) {
    TBandControl c;
    c.Caption = texte[i];
    c.Top = i * 18;
    c.Width = breite - 90;
    c.Height = 16;
    c.Punkte = i == 0 ? 11 : 9;
    c.Fett = i == 0;
    kopf.Controls.push_back(c);
  }
  TBandControl seite;
  seite.Tag = 2;
  seite.Left = breite - 80;
  seite.Width = 80;
  seite.Height = 14;
  seite.Ausrichtung = Qt::AlignRight;
  kopf.Controls.push_back(seite);
  TBandControl linie;
  linie.Art = TControlArt::Shape;
  linie.Top = 58;
  linie.Width = breite;
  linie.Height = 1;
  kopf.Controls.push_back(linie);
  spalten.Name = "Spaltenkopf";
  spalten.Height = 16;
  zeile.Name = "Zeile";
  zeile.Height = 13;
  zeile.Daten = &daten;
  const int zeit = 96;
  const int n = static_cast<int>(t.Spalten.size());
  const int rest = n > 0 ? std::max((breite - zeit) / n, 30) : 0;
  int left = 0;
  for (int i = 0; i <= n; ++i) {
    TBandControl k;
    k.Caption = i == 0 ? std::string("Zeit") : t.Spalten[static_cast<size_t>(i - 1)].Label;
    k.Left = left;
    k.Width = (i == 0 ? zeit : rest) - 4;
    k.Height = 14;
    k.Punkte = 7;
    k.Fett = true;
    k.Ausrichtung = i == 0 ? Qt::AlignLeft : Qt::AlignRight;
    spalten.Controls.push_back(k);
    TBandControl w = k;
    w.Art = TControlArt::DBText;
    w.Caption.clear();
    w.DataField = daten.Felder[static_cast<size_t>(i)];
    w.Fett = false;
    w.Height = 12;
    zeile.Controls.push_back(w);
    left += i == 0 ? zeit : rest;
  }
  TRepPrinter rp;
  rp.Previewing = false;
  rp.SetzeDrucker(&drucker);
  TReport r(rp);
  r.Orientation = TAusrichtung::Hochformat;
  r.MarginTop = 20;
  r.MarginLeft = 25;
  r.AddBand("Ereignis-Tabelle", windowTitle().toStdString(), nullptr, nullptr, &kopf, nullptr,
            &spalten, nullptr, &zeile, 0)
      ->Selected = true;
  hide();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  r.Print();
  QApplication::restoreOverrideCursor();
  show();
  if (!r.Fehler.empty()) FDialoge.Meldung(this, Q(r.Fehler));
}

}  // namespace t21
