#include "app/ereignis/kalibrierung.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <algorithm>

#include "app/basis/dialoge.h"
#include "app/basis/zahlenformat.h"
#include "document/dokument.h"

namespace t21 {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// A combo box that fills itself before it drops down, so that it shows the
// project's elements of the moment.
class TAktuelleListe : public QComboBox {
 public:
  TAktuelleListe(std::function<void()> fuellen, QWidget* eltern)
      : QComboBox(eltern), FFuellen(std::move(fuellen)) {}
  void showPopup() override {
    FFuellen();
    QComboBox::showPopup();
  }

 private:
  std::function<void()> FFuellen;
};

}  // namespace

TFormKalibrierHilfe::TFormKalibrierHilfe(std::function<TDokument*()> dokument, TDialoge& dialoge,
                                         QWidget* eltern)
    : QWidget(eltern, Qt::Window), FDokument(std::move(dokument)), FDialoge(dialoge) {
  setObjectName(QStringLiteral("FormKalibrierHilfe"));
  setWindowTitle(QStringLiteral("Modell-Abgleich"));
  AbgleichStandardzeitraum(AusDatumZeit(QDateTime::currentDateTime()), FVon, FBis);
  BaueOberflaeche();
  ElementlisteFuellen();
  if (ElementListe->count() > 0) ElementListe->setCurrentIndex(0);
  Zeichnen();
  resize(1000, 620);
}

TFormKalibrierHilfe::~TFormKalibrierHilfe() = default;

void TFormKalibrierHilfe::BaueOberflaeche() {
  auto* l = new QVBoxLayout(this);
  auto* leiste = new QHBoxLayout;
  auto knopf = [this, leiste](const char* name, const char* text) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromUtf8(name));
    b->setText(QString::fromUtf8(text));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    leiste->addWidget(b);
    return b;
  };
  ToolButtonLaden = knopf("ToolButtonLaden", "Laden");
  ToolButtonSpeichern = knopf("ToolButtonSpeichern", "Speichern");
  ButtonRechnen = knopf("ButtonRechnen", "Rechnen");
  ElementListe = new TAktuelleListe([this] { ElementlisteFuellen(); }, this);
  ElementListe->setObjectName(QStringLiteral("ElementListe"));
  ElementListe->setToolTip(QStringLiteral("Komponenten-Liste"));
  ElementListe->setMinimumWidth(200);
  leiste->addWidget(ElementListe);
  auto feld = [this, leiste](const char* name, const char* label, const char* hinweis) {
    leiste->addWidget(new QLabel(QString::fromUtf8(label), this));
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromUtf8(name));
    e->setReadOnly(true);
    e->setToolTip(QString::fromUtf8(hinweis));
    e->setFixedWidth(80);
    e->setAlignment(Qt::AlignRight);
    leiste->addWidget(e);
    return e;
  };
  Edit2 = feld("Edit2", "VOL:", "Volumen-Abweichung");
  Edit1 = feld("Edit1", "REFF:", "Ganglinien-Abweichung");
  Edit3 = feld("Edit3", "SA:", "Scheitelabfluss-Abweichung");
  leiste->addStretch(1);
  ToolButtonKopieren = knopf("ToolButtonKopieren", "Kopieren");
  ToolButtonKopieren->setToolTip(QStringLiteral("Ganglinie in die Zwischenablage kopieren"));
  l->addLayout(leiste);

  Seiten = new QTabWidget(this);
  auto diagramm = [this](const char* name) {
    auto* v = new QChartView(new QChart, this);
    v->setObjectName(QString::fromUtf8(name));
    v->setRenderHint(QPainter::Antialiasing);
    return v;
  };
  Chart1 = diagramm("Chart1");
  Chart2 = diagramm("Chart2");
  Seiten->addTab(Chart1, QStringLiteral("Ganglinie"));
  Seiten->addTab(Chart2, QStringLiteral("Summenlinie"));
  KontextMenue1 = DiagrammKontextmenue(*Chart1, FDialoge, this);
  KontextMenue2 = DiagrammKontextmenue(*Chart2, FDialoge, this);
  l->addWidget(Seiten, 1);

  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  Panel0 = new QLabel(QStringLiteral("Messwerte:"), this);
  Panel1 = new QLabel(this);
  Panel1->setObjectName(QStringLiteral("Messdatei"));
  status->addWidget(Panel0);
  status->addWidget(Panel1, 1);
  l->addWidget(status);

  connect(ToolButtonLaden, &QToolButton::clicked, this, &TFormKalibrierHilfe::ToolButtonLadenClick);
  connect(ToolButtonSpeichern, &QToolButton::clicked, this,
          &TFormKalibrierHilfe::ToolButtonSpeichernClick);
  connect(ButtonRechnen, &QToolButton::clicked, this, &TFormKalibrierHilfe::ButtonRechnenClick);
  connect(ToolButtonKopieren, &QToolButton::clicked, this,
          [this] { DiagrammAlsMetafile(*Chart1); });
}

void TFormKalibrierHilfe::showEvent(QShowEvent* e) {
  ElementlisteFuellen();
  QWidget::showEvent(e);
}

void TFormKalibrierHilfe::ElementlisteFuellen() {
  const QString vorher = ElementListe->currentText();
  ElementListe->clear();
  TDokument* d = FDokument ? FDokument() : nullptr;
  if (!d) return;
  const TM3Model& m = d->Model();
  QStringList namen;
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (s && s->IsM3Shape()) namen << Q(s->Name);
  }
  std::sort(namen.begin(), namen.end(), [](const QString& a, const QString& b) {
    return QString::localeAwareCompare(a, b) < 0;
  });
  ElementListe->addItems(namen);
  const int i = ElementListe->findText(vorher);
  ElementListe->setCurrentIndex(i >= 0 ? i : (namen.isEmpty() ? -1 : 0));
}

void TFormKalibrierHilfe::Zeichnen() {
  std::vector<TZeitreihe> q{
      {QStringLiteral("Messwerte [l/s]"), FMessung.Zeit, FMessung.Q},
      {QStringLiteral("berechnete Werte [l/s]"), FBerechnet.Zeit, FBerechnet.Q}};
  std::vector<TZeitreihe> v{
      {QStringLiteral("Messwerte [cbm]"), FMessung.Zeit, FMessung.Summe},
      {QStringLiteral("berechnete Werte [cbm]"), FBerechnet.Zeit, FBerechnet.Summe}};
  ZeitreihenZeigen(*Chart1->chart(), QStringLiteral("Ganglinie"), q);
  ZeitreihenZeigen(*Chart2->chart(), QStringLiteral("Summenlinie"), v);
  // Both series stay in the legend, so that it reads what each line is.
  for (QChartView* c : {Chart1, Chart2})
    for (QLegendMarker* m : c->chart()->legend()->markers()) m->setVisible(true);
}

void TFormKalibrierHilfe::KennwerteLeeren() {
  FKennwerte = TAbgleichKennwerte{};
  for (QLineEdit* e : {Edit1, Edit2, Edit3}) e->clear();
}

void TFormKalibrierHilfe::KennwerteZeigen() {
  const TZahlenformat f = ZahlenformatAus();
  Edit2->setText(Q(KennwertText(FKennwerte.VOL, FKennwerte.VOLGueltig, f)));
  Edit1->setText(Q(KennwertText(FKennwerte.REFF, FKennwerte.REFFGueltig, f)));
  Edit3->setText(Q(KennwertText(FKennwerte.SA, FKennwerte.SAGueltig, f)));
}

bool TFormKalibrierHilfe::Laden(const QString& datei) {
  KennwerteLeeren();
  std::string meldung;
  // A file that cannot be read leaves the measurement as it was.
  if (!LiesMGL(datei.toStdString(), FMessung, meldung, ZahlenformatAus())) {
    FDialoge.Meldung(this, Q(meldung));
    return false;
  }
  FVon = FMessung.Zeit.front();
  FBis = FMessung.Zeit.back();
  Panel1->setText(QFileInfo(datei).fileName());
  Panel1->setToolTip(datei);
  Zeichnen();
  return true;
}

bool TFormKalibrierHilfe::Speichern(const QString& datei) {
  if (FBerechnet.Leer()) {
    FDialoge.Meldung(this, QStringLiteral("Es liegen keine berechneten Werte vor"));
    return false;
  }
  std::string fehler;
  if (!SchreibeMGL(datei.toStdString(), FBerechnet.Zeit, FBerechnet.Q, fehler, ZahlenformatAus())) {
    FDialoge.Meldung(this, Q(fehler));
    return false;
  }
  return true;
}

void TFormKalibrierHilfe::ToolButtonLadenClick() {
  const QString d = FDialoge.DateiOeffnen(this, QStringLiteral("Messwerte laden"),
                                          QStringLiteral("Messwert-Ganglinien (*.MGL *.mgl)"));
  if (!d.isEmpty()) Laden(d);
}

void TFormKalibrierHilfe::ToolButtonSpeichernClick() {
  if (FBerechnet.Leer()) {
    FDialoge.Meldung(this, QStringLiteral("Es liegen keine berechneten Werte vor"));
    return;
  }
  QString d = FDialoge.DateiSpeichern(this, QStringLiteral("Berechnete Ganglinie speichern"),
                                      QStringLiteral("Messwert-Ganglinien (*.MGL)"));
  if (d.isEmpty()) return;
  if (QFileInfo(d).suffix().isEmpty()) d += QStringLiteral(".MGL");
  Speichern(d);
}

void TFormKalibrierHilfe::ButtonRechnenClick() {
  if (FAuftrag.Laeuft()) return;
  TDokument* d = FDokument ? FDokument() : nullptr;
  if (!d) {
    FDialoge.Meldung(this, QStringLiteral("Es ist kein Modell geöffnet"));
    emit Gerechnet();
    return;
  }
  const std::string element = ElementListe->currentText().toStdString();
  if (element.empty()) {
    FDialoge.Meldung(this, QStringLiteral("Es ist keine Komponente gewählt"));
    emit Gerechnet();
    return;
  }
  FBerechnet.Leeren();
  KennwerteLeeren();
  Zeichnen();
  struct TErgebnis {
    bool Ok = false;
    TGanglinie Berechnet;
    std::vector<std::string> Meldungen;
  };
  auto e = std::make_shared<TErgebnis>();
  const TDateTime von = FVon, bis = FBis;
  setCursor(Qt::WaitCursor);
  ButtonRechnen->setEnabled(false);
  FAuftrag.Starte(
      d->Model(),
      [e, element, von, bis](TM3Model& kopie) {
        TAbgleichLauf lauf(kopie);
        e->Ok = lauf.Rechne(element, von, bis, e->Berechnet, e->Meldungen);
      },
      [this, e] {
        unsetCursor();
        ButtonRechnen->setEnabled(true);
        QStringList meldungen;
        for (const std::string& s : e->Meldungen) meldungen << Q(s);
        if (!e->Ok) {
          Zeichnen();
          FDialoge.Meldung(this, meldungen.join('\n'));
          emit Gerechnet();
          return;
        }
        FBerechnet = std::move(e->Berechnet);
        Zeichnen();
        if (!FMessung.Leer()) {
          FKennwerte = Abgleichkennwerte(FMessung, FBerechnet);
          KennwerteZeigen();
          for (const std::string& s : FKennwerte.Meldungen) meldungen << Q(s);
        }
        FDialoge.Beep();
        if (!meldungen.isEmpty()) FDialoge.Meldung(this, meldungen.join('\n'));
        emit Gerechnet();
      });
}

}  // namespace t21
