#include "app/werkzeuge/vorgabenfenster.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"

namespace t21 {

namespace {

QString U(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TFormDefaultValues::TFormDefaultValues(TDataModule1& dm, TDialoge& dialoge, QWidget* eltern)
    : QDialog(eltern), FDM(dm), FEditor(dm) {
  (void)dialoge;
  setWindowTitle(QStringLiteral("Anwender- und Standard-Vorgaben"));
  auto* haupt = new QHBoxLayout(this);

  FListe = new QTableWidget(FEditor.Anzahl(), 2, this);
  FListe->setToolTip(QStringLiteral("Anwender-Vorgaben"));
  FListe->setHorizontalHeaderLabels({QStringLiteral("Feld"), QStringLiteral("Vorgabe-Wert")});
  FListe->verticalHeader()->hide();
  FListe->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FListe->setSelectionBehavior(QAbstractItemView::SelectRows);
  FListe->setSelectionMode(QAbstractItemView::SingleSelection);
  FListe->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  FListe->setColumnWidth(0, 200);
  FListe->setColumnWidth(1, 253);
  FListe->horizontalHeader()->setStretchLastSection(true);
  for (int k = 0; k < FEditor.Anzahl(); ++k) {
    auto* f = new QTableWidgetItem(U(FEditor.Zeilen()[static_cast<size_t>(k)].Feld));
    f->setToolTip(f->text());
    FListe->setItem(k, 0, f);
    FListe->setItem(k, 1, new QTableWidgetItem);
  }
  Werte();
  // The field names in full: at least 200 wide.
  FListe->resizeColumnToContents(0);
  FListe->setColumnWidth(0, std::max(200, FListe->columnWidth(0)));
  FListe->setMinimumSize(FListe->columnWidth(0) + 253 + 2 * FListe->frameWidth() +
                             FListe->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4,
                         480);
  connect(FListe, &QTableWidget::currentCellChanged, this,
          [this](int zeile, int, int, int) { Zeile(zeile); });
  haupt->addWidget(FListe, 1);

  auto* rechts = new QVBoxLayout;
  auto* felder = new QGridLayout;
  auto feld = [&](const char* label, const char* hinweis, int zeile) {
    felder->addWidget(new QLabel(QString::fromUtf8(label), this), zeile * 2, 0);
    auto* e = new QLineEdit(this);
    e->setReadOnly(true);
    e->setToolTip(QString::fromUtf8(hinweis));
    e->setMinimumWidth(190);
    felder->addWidget(e, zeile * 2 + 1, 0);
    return e;
  };
  FMin = feld("Minimal-Wert", "Minimal-Wert des markierten Feldes", 0);
  FMax = feld("Maximal-Wert", "Maximal-Wert des markierten Feldes", 1);
  FStandard = feld("Standard-Vorgabe", "Standard-Vorgabewert des markierten Feldes", 2);
  FTyp = feld("Feld-Typ", "Typ des markierten Feldes", 3);
  rechts->addLayout(felder);
  rechts->addSpacing(12);
  auto knopf = [&](const char* text, const char* hinweis, auto aktion) {
    auto* k = new QPushButton(QString::fromUtf8(text), this);
    k->setToolTip(QString::fromUtf8(hinweis));
    k->setAutoDefault(false);
    connect(k, &QPushButton::clicked, this, aktion);
    rechts->addWidget(k);
    return k;
  };
  knopf("&Feld zurücksetzen", "Standardvorgaben aktuelles Feld zurücksetzen",
        [this] { FeldZuruecksetzen(); });
  knopf("alle Felder &zurücksetzen", "Standardvorgaben für alle Felder zurücksetzen",
        [this] { AlleZuruecksetzen(); });
  rechts->addStretch(1);
  knopf("&OK", "Änderungen akzeptieren und schließen", [this] { accept(); })->setDefault(true);
  knopf("&Abbrechen", "Änderungen verwerfen und schließen", [this] { reject(); });
  knopf("&Hilfe", "Hilfe zu diesem Dialog",
        [this] { ZeigeHilfe(this, QStringLiteral("vorgaben")); });
  haupt->addLayout(rechts);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this,
          [this] { ZeigeHilfe(this, QStringLiteral("vorgaben")); });
  if (FEditor.Anzahl() > 0) FListe->setCurrentCell(0, 0);
  resize(sizeHint().expandedTo(QSize(760, 560)));
}

void TFormDefaultValues::Werte() {
  for (int k = 0; k < FEditor.Anzahl(); ++k) {
    auto* w = FListe->item(k, 1);
    w->setText(U(FEditor.Zeilen()[static_cast<size_t>(k)].Wert));
    w->setToolTip(w->text());
  }
}

void TFormDefaultValues::Zeile(int k) {
  if (k < 0 || k >= FEditor.Anzahl()) return;
  FMin->setText(U(FEditor.MinText(k)));
  FMax->setText(U(FEditor.MaxText(k)));
  FTyp->setText(U(FEditor.TypText(k)));
  FStandard->setText(U(FEditor.Zeilen()[static_cast<size_t>(k)].Standard));
}

void TFormDefaultValues::FeldZuruecksetzen() {
  const int k = FListe->currentRow();
  if (k < 0) return;
  FEditor.Zuruecksetzen(k);
  Werte();
}

void TFormDefaultValues::AlleZuruecksetzen() {
  FEditor.AlleZuruecksetzen();
  Werte();
}

void TFormDefaultValues::accept() {
  FEditor.Uebernehmen(FDM);
  QDialog::accept();
}

}  // namespace t21
