#include "app/werkzeuge/ganglinienfenster.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"
#include "app/werkzeuge/upnfenster.h"
#include "document/dokument.h"
#include "model/format.h"

namespace t21 {

namespace {

QString U(const std::string& s) {
  return QString::fromStdString(s);
}

// The chart's left margin, so that the spin buttons stand under the bars.
constexpr int kLinks = 46, kRechts = 8;

}  // namespace

// ------------------------------------------------------- TGanglinienDiagramm

TGanglinienDiagramm::TGanglinienDiagramm(const TGanglinienEditor& e, QWidget* eltern)
    : QWidget(eltern), FEditor(e) {
  setMinimumSize(480, 200);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void TGanglinienDiagramm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QFontMetrics fm(font());
  const int oben = fm.height() + 4, unten = fm.height() + 6;
  const QRect flaeche(kLinks, oben, width() - kLinks - kRechts, height() - oben - unten);
  const int n = FEditor.Anzahl();
  double max = 3.0;
  for (double v : FEditor.Werte())
    if (std::isfinite(v)) max = std::max(max, v);
  max = std::ceil(max * 2) / 2;
  // Axis title and grid lines every 0,5.
  p.setPen(Qt::black);
  p.drawText(QRect(kLinks + 6, 0, width() - kLinks - 6, oben), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(FEditor.Achse()));
  for (double y = 0; y <= max + 1e-9; y += 0.5) {
    const int py = flaeche.bottom() - static_cast<int>(std::lround(y / max * flaeche.height()));
    p.setPen(QColor(220, 220, 220));
    p.drawLine(flaeche.left(), py, flaeche.right(), py);
    p.setPen(Qt::black);
    p.drawText(QRect(0, py - fm.height() / 2, kLinks - 4, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, U(ZahlText(y, 1, false)));
  }
  const double b = double(flaeche.width()) / n;
  for (int i = 0; i < n; ++i) {
    const double v = FEditor.Wert(i);
    const int h = std::isfinite(v) ? static_cast<int>(std::lround(v / max * flaeche.height())) : 0;
    const int x = flaeche.left() + static_cast<int>(std::lround(i * b));
    const int w = std::max(1, static_cast<int>(std::lround(b * 0.7)));
    const int dx = static_cast<int>(std::lround((b - w) / 2));
    p.fillRect(QRect(x + dx, flaeche.bottom() - h + 1, w, h), QColor(40, 90, 170));
    const int zeit = FEditor.Art() == TGanglinienArt::Schmutzwasser ? i : i + 1;
    p.drawText(QRect(x, flaeche.bottom() + 3, static_cast<int>(std::lround(b)), fm.height()),
               Qt::AlignCenter, QString::number(zeit));
  }
  p.drawLine(flaeche.bottomLeft(), flaeche.bottomRight());
  p.drawLine(flaeche.bottomLeft(), flaeche.topLeft());
}

// ----------------------------------------------------------- TFormGanglinien

TFormGanglinien::TFormGanglinien(TDokument& dok, TGanglinienArt art, TDialoge& dialoge,
                                 QWidget* eltern)
    : QDialog(eltern), FDok(dok), FDialoge(dialoge), FEditor(art, dok.Model().Referenz) {
  setWindowTitle(QStringLiteral("Ganglinieneditor"));
  RechnerOeffnen = [this] { TCalculator::Instanz(FDialoge).Zeigen(); };
  auto* haupt = new QVBoxLayout(this);

  auto* kopf = new QGridLayout;
  kopf->addWidget(new QLabel(QStringLiteral("ausgehend von Ganglinie"), this), 0, 0);
  FBasis = new QComboBox(this);
  for (const std::string& n : FEditor.Namen()) FBasis->addItem(U(n));
  FBasis->setMinimumContentsLength(30);
  kopf->addWidget(FBasis, 0, 1);
  FIndex = new QLineEdit(this);
  FIndex->setReadOnly(true);
  FIndex->setMaximumWidth(50);
  FIndex->setAlignment(Qt::AlignRight);
  FIndex->setToolTip(QStringLiteral("Nummer der Ganglinie"));
  kopf->addWidget(FIndex, 0, 2);
  kopf->addWidget(new QLabel(QStringLiteral("Name der neuen Ganglinie"), this), 1, 0);
  FName = new QLineEdit(this);
  FName->setMaxLength(static_cast<int>(TGanglinienEditor::kMaxName));
  kopf->addWidget(FName, 1, 1, 1, 2);
  kopf->setColumnStretch(3, 1);
  haupt->addLayout(kopf);

  FSeiten = new QTabWidget(this);
  auto* seite = new QWidget(FSeiten);
  auto* zeile = new QHBoxLayout(seite);
  auto* links = new QVBoxLayout;
  FDiagramm = new TGanglinienDiagramm(FEditor, seite);
  links->addWidget(FDiagramm, 1);
  // One spin control per hour (month), under its bar.
  auto* spins = new QHBoxLayout;
  spins->setContentsMargins(kLinks, 0, kRechts, 0);
  spins->setSpacing(0);
  const bool sw = art == TGanglinienArt::Schmutzwasser;
  for (int i = 0; i < FEditor.Anzahl(); ++i) {
    auto* spalte = new QVBoxLayout;
    spalte->setSpacing(0);
    auto* hoch = new QToolButton(seite);
    auto* runter = new QToolButton(seite);
    hoch->setArrowType(Qt::UpArrow);
    runter->setArrowType(Qt::DownArrow);
    const int zeit = sw ? i : i + 1;
    hoch->setToolTip(QStringLiteral("%1 %2 erhöhen").arg(sw ? "Stunde" : "Monat").arg(zeit));
    runter->setToolTip(QStringLiteral("%1 %2 verringern").arg(sw ? "Stunde" : "Monat").arg(zeit));
    for (QToolButton* k : {hoch, runter}) {
      k->setAutoRepeat(true);
      k->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      k->setMinimumWidth(14);
      spalte->addWidget(k, 0, Qt::AlignHCenter);
    }
    connect(hoch, &QToolButton::clicked, this, [this, i] {
      FEditor.Klick(i, true);
      Aktualisieren();
    });
    connect(runter, &QToolButton::clicked, this, [this, i] {
      FEditor.Klick(i, false);
      Aktualisieren();
    });
    FHoch.push_back(hoch);
    FRunter.push_back(runter);
    spins->addLayout(spalte, 1);
  }
  links->addLayout(spins);
  zeile->addLayout(links, 1);
  FTabelle = new QTableWidget(FEditor.Anzahl() + 1, 3, seite);
  FTabelle->setHorizontalHeaderLabels(
      {QStringLiteral("Zeit"), QStringLiteral("Wert"), QStringLiteral("x")});
  FTabelle->verticalHeader()->hide();
  FTabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FTabelle->setSelectionMode(QAbstractItemView::NoSelection);
  FTabelle->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  for (int s = 0; s < 3; ++s) FTabelle->setColumnWidth(s, s == 0 ? 62 : 58);
  FTabelle->setFixedWidth(62 + 2 * 58 + 2 * FTabelle->frameWidth() +
                          FTabelle->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  // Every row in sight, the sum row too.
  FTabelle->setMinimumHeight(
      FTabelle->verticalHeader()->defaultSectionSize() * FTabelle->rowCount() +
      FTabelle->horizontalHeader()->sizeHint().height() + 2 * FTabelle->frameWidth() + 2);
  zeile->addWidget(FTabelle);
  FSeiten->addTab(seite, QString::fromUtf8(FEditor.Titel()));
  haupt->addWidget(FSeiten, 1);

  auto* knoepfe = new QHBoxLayout;
  auto knopf = [&](const QString& text, auto aktion) {
    auto* k = new QPushButton(text, this);
    k->setAutoDefault(false);
    connect(k, &QPushButton::clicked, this, aktion);
    knoepfe->addWidget(k);
    return k;
  };
  knopf(QStringLiteral("UPN-&Rechner"), [this] {
    if (RechnerOeffnen) RechnerOeffnen();
  });
  knopf(QStringLiteral("&Drucken"), [this] { Drucken(); });
  knopf(QStringLiteral("&Hilfe"), [this] { ZeigeHilfe(this, QStringLiteral("ganglinien")); });
  knoepfe->addStretch(1);
  knopf(QStringLiteral("&OK"), [this] { Ok(); })->setDefault(true);
  knopf(QStringLiteral("&Abbrechen"), [this] { reject(); });
  haupt->addLayout(knoepfe);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this,
          [this] { ZeigeHilfe(this, QStringLiteral("ganglinien")); });

  connect(FBasis, &QComboBox::currentIndexChanged, this, [this](int i) {
    FEditor.LadeBasis(i);
    Aktualisieren();
  });
  connect(FName, &QLineEdit::textChanged, this,
          [this](const QString& t) { FEditor.Name = t.toStdString(); });
  Aktualisieren();
  resize(sizeHint().expandedTo(QSize(940, 600)));
}

void TFormGanglinien::Aktualisieren() {
  FIndex->setText(QString::number(FEditor.Basis()));
  const auto t = FEditor.Tabelle();
  for (int r = 0; r < static_cast<int>(t.size()); ++r) {
    const auto& z = t[static_cast<size_t>(r)];
    const QString texte[3] = {U(z.Zeit), U(z.Wert), U(z.x)};
    for (int s = 0; s < 3; ++s) {
      auto* it = FTabelle->item(r, s);
      if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (r == static_cast<int>(t.size()) - 1) {
          QFont f = it->font();
          f.setBold(true);
          it->setFont(f);
        }
        FTabelle->setItem(r, s, it);
      }
      it->setText(texte[s]);
    }
  }
  FDiagramm->update();
}

void TFormGanglinien::Ok() {
  const std::string m = FEditor.Anhaengen(FDok);
  if (!m.empty()) {
    FDialoge.Meldung(this, U(m));
    return;
  }
  accept();
}

void TFormGanglinien::Drucken() {
  QPrinter drucker(QPrinter::HighResolution);
  if (!FDialoge.DruckDialog(this, drucker, 0, 0)) return;
  const QPixmap bild = grab();
  QPainter p;
  if (!p.begin(&drucker)) return;
  const QRect seite = p.viewport();
  QSize g = bild.size();
  g.scale(seite.size(), Qt::KeepAspectRatio);
  p.setViewport(seite.x(), seite.y(), g.width(), g.height());
  p.setWindow(bild.rect());
  p.drawPixmap(0, 0, bild);
}

}  // namespace t21
