#include "app/werkzeuge/regiofenster.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"
#include "tools/regio.h"

namespace t21 {

namespace {

QString U(const std::string& s) {
  return QString::fromStdString(s);
}
QString U(const char* s) {
  return QString::fromUtf8(s);
}

}  // namespace

TFormRegio::TFormRegio(const TSpenden& reihe, TDialoge& dialoge, QWidget* eltern)
    : QDialog(eltern), FReihe(reihe), FDialoge(dialoge) {
  setWindowTitle(QStringLiteral("Regionalisierungs-Rechner"));
  auto* haupt = new QVBoxLayout(this);

  auto* hinweis = new QLabel(
      QStringLiteral("alle Angaben sind bezogen auf das Gesamteinzugsgebiet von der Quelle bis "
                     "zur betrachteten Einleitungsstelle"),
      this);
  hinweis->setWordWrap(true);
  haupt->addWidget(hinweis);

  auto* oben = new QHBoxLayout;
  auto* raster = new QGridLayout;
  const char* symbole[4] = {"AEo", "L", "dH", "CN"};
  const char* einheiten[4] = {"km2", "m", "m", "-"};
  for (int i = 0; i < 4; ++i) {
    raster->addWidget(new QLabel(U(RegioLabel(static_cast<TRegioFeld>(i))), this), i, 0);
    raster->addWidget(new QLabel(U(symbole[i]), this), i, 1);
    auto* e = new QLineEdit(this);
    e->setAlignment(Qt::AlignRight);
    e->setMinimumWidth(90);
    FEingaben[static_cast<size_t>(i)] = e;
    raster->addWidget(e, i, 2);
    raster->addWidget(new QLabel(U(einheiten[i]), this), i, 3);
  }
  raster->addWidget(new QLabel(QStringLiteral("Hq1,pnat"), this), 4, 0, 1, 2);
  FAusgabe = new QLineEdit(this);
  FAusgabe->setReadOnly(true);
  FAusgabe->setAlignment(Qt::AlignRight);
  raster->addWidget(FAusgabe, 4, 2);
  raster->addWidget(new QLabel(QStringLiteral("l/(s*km2)"), this), 4, 3);
  oben->addLayout(raster);
  oben->addStretch(1);
  haupt->addLayout(oben);

  auto* gruppe =
      new QGroupBox(QStringLiteral("CN-Werte in Abhängigkeit von Bodentyp und Bodennutzung für "
                                   "Bodenfeuchteklasse II"),
                    this);
  auto* g = new QVBoxLayout(gruppe);
  const auto& tabelle = CNTabelle();
  FCN = new QTableWidget(static_cast<int>(tabelle.size()), 5, gruppe);
  FCN->setHorizontalHeaderLabels({QStringLiteral("Bodennutzung"), QStringLiteral("A"),
                                  QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
  FCN->verticalHeader()->hide();
  FCN->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FCN->setSelectionMode(QAbstractItemView::SingleSelection);
  FCN->setToolTip(QStringLiteral("Doppelklick übernimmt den CN-Wert"));
  for (int r = 0; r < static_cast<int>(tabelle.size()); ++r) {
    const auto& z = tabelle[static_cast<size_t>(r)];
    FCN->setItem(r, 0, new QTableWidgetItem(U(z.Bodennutzung)));
    for (int s = 0; s < 4; ++s) {
      auto* it = new QTableWidgetItem(QString::number(z.Werte[static_cast<size_t>(s)]));
      it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      FCN->setItem(r, s + 1, it);
    }
  }
  FCN->resizeColumnsToContents();
  for (int s = 1; s <= 4; ++s) FCN->setColumnWidth(s, 48);
  FCN->resizeRowsToContents();
  int hoehe = FCN->horizontalHeader()->height() + 2 * FCN->frameWidth();
  for (int r = 0; r < FCN->rowCount(); ++r) hoehe += FCN->rowHeight(r);
  FCN->setMinimumHeight(hoehe);
  int breite = 2 * FCN->frameWidth();
  for (int s = 0; s < 5; ++s) breite += FCN->columnWidth(s);
  FCN->setMinimumWidth(breite);
  connect(FCN, &QTableWidget::cellDoubleClicked, this, [this](int r, int s) {
    if (s < 1) return;
    FEingaben[3]->setText(FCN->item(r, s)->text());
  });
  g->addWidget(FCN);
  for (const char* t : BodentypTexte()) {
    auto* l = new QLabel(U(t), gruppe);
    l->setWordWrap(true);
    g->addWidget(l);
  }
  haupt->addWidget(gruppe);

  auto* knoepfe = new QHBoxLayout;
  auto* rechnen = new QPushButton(QStringLiteral("Rechnen"), this);
  rechnen->setDefault(true);
  connect(rechnen, &QPushButton::clicked, this, &TFormRegio::Rechnen);
  knoepfe->addWidget(rechnen);
  knoepfe->addStretch(1);
  auto* hilfe = new QPushButton(QStringLiteral("&Hilfe"), this);
  hilfe->setAutoDefault(false);
  connect(hilfe, &QPushButton::clicked, this,
          [this] { ZeigeHilfe(this, QStringLiteral("regio")); });
  knoepfe->addWidget(hilfe);
  auto* schliessen = new QPushButton(QStringLiteral("&Schließen"), this);
  schliessen->setAutoDefault(false);
  connect(schliessen, &QPushButton::clicked, this, &QDialog::accept);
  knoepfe->addWidget(schliessen);
  haupt->addLayout(knoepfe);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { ZeigeHilfe(this, QStringLiteral("regio")); });
}

void TFormRegio::Rechnen() {
  std::array<std::string, 4> texte;
  for (int i = 0; i < 4; ++i)
    texte[static_cast<size_t>(i)] = FEingaben[static_cast<size_t>(i)]->text().toStdString();
  const TRegioErgebnis e = Regionalisierung(texte, FReihe);
  FAusgabe->setText(U(RegioText(e)));
  if (!e.Ok) FDialoge.Meldung(this, U(e.Meldung));
}

}  // namespace t21
