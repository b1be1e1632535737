#include "app/werkzeuge/upnfenster.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"

namespace t21 {

namespace {

QString U(const std::string& s) {
  return QString::fromStdString(s);
}

char Dezimaltrenner() {
  const QString d = QLocale().decimalPoint();
  return d == QStringLiteral(".") ? '.' : ',';
}

}  // namespace

TCalculator& TCalculator::Instanz(TDialoge& dialoge) {
  static QPointer<TCalculator> rechner;
  if (!rechner) {
    rechner = new TCalculator(dialoge);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, rechner, &QObject::deleteLater);
  }
  return *rechner;
}

TCalculator::TCalculator(TDialoge& dialoge, QWidget* eltern)
    : QDialog(eltern), FDialoge(dialoge), FR(Dezimaltrenner()) {
  setWindowTitle(QStringLiteral("UPN-Rechner"));
  auto* haupt = new QVBoxLayout(this);

  auto* stapel = new QGroupBox(QStringLiteral("Stack"), this);
  auto* sr = new QGridLayout(stapel);
  auto feld = [&](const char* name, int zeile, bool lesen) {
    sr->addWidget(new QLabel(QString::fromUtf8(name), stapel), zeile, 0);
    auto* e = new QLineEdit(stapel);
    e->setReadOnly(lesen);
    e->setAlignment(Qt::AlignRight);
    e->setMinimumWidth(260);
    if (lesen) e->setFocusPolicy(Qt::NoFocus);
    sr->addWidget(e, zeile, 1);
    return e;
  };
  FT = feld("T", 0, true);
  FZ = feld("Z", 1, true);
  FY = feld("Y", 2, true);
  FX = feld("X", 3, false);
  FX->installEventFilter(this);
  connect(FX, &QLineEdit::textEdited, this, [this](const QString& t) {
    FR.SetzeX(t.toStdString());
    FHex->setText(U(FR.Hex()));
    FBin->setText(U(FR.Bin()));
  });
  haupt->addWidget(stapel);

  auto* zweite = new QHBoxLayout;
  auto* winkel = new QGroupBox(QStringLiteral("Winkel"), this);
  auto* wl = new QHBoxLayout(winkel);
  FDeg = new QRadioButton(QStringLiteral("DEG"), winkel);
  FRad = new QRadioButton(QStringLiteral("RAD"), winkel);
  FGrad = new QRadioButton(QStringLiteral("GRAD"), winkel);
  FDeg->setChecked(true);
  for (QRadioButton* r : {FDeg, FRad, FGrad}) {
    r->setFocusPolicy(Qt::NoFocus);
    wl->addWidget(r);
    connect(r, &QRadioButton::toggled, this, [this] {
      FR.Winkel = FRad->isChecked()    ? TWinkel::RAD
                  : FGrad->isChecked() ? TWinkel::GRAD
                                       : TWinkel::DEG;
    });
  }
  zweite->addWidget(winkel);
  auto* basen = new QGridLayout;
  basen->addWidget(new QLabel(QStringLiteral("Hex"), this), 0, 0);
  basen->addWidget(new QLabel(QStringLiteral("Bin"), this), 1, 0);
  FHex = new QLineEdit(this);
  FBin = new QLineEdit(this);
  for (QLineEdit* e : {FHex, FBin}) {
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
  }
  FBin->setMinimumWidth(260);
  basen->addWidget(FHex, 0, 1);
  basen->addWidget(FBin, 1, 1);
  zweite->addLayout(basen, 1);
  haupt->addLayout(zweite);

  using F = TUpnFunktion;
  auto* tasten = new QGridLayout;
  tasten->setSpacing(3);
  auto knopf = [&](const QString& text, int zeile, int spalte, auto aktion, int breite = 1) {
    auto* k = new QPushButton(text, this);
    k->setAutoDefault(false);
    k->setFocusPolicy(Qt::NoFocus);
    k->setMinimumWidth(52);
    connect(k, &QPushButton::clicked, this, [this, aktion] {
      aktion();
      Anzeigen();
      XWaehlen();
    });
    tasten->addWidget(k, zeile, spalte, 1, breite);
    FKnoepfe[text] = k;
    return k;
  };
  auto funktion = [&](const char* text, int zeile, int spalte, F f) {
    knopf(QString::fromUtf8(text), zeile, spalte, [this, f] { FR.Funktion(f); });
  };
  // Functions on the left, digits and operations on the right.
  const struct {
    const char* text;
    F f;
  } fn[6][4] = {
      {{"sin", F::Sin}, {"cos", F::Cos}, {"tan", F::Tan}, {"cot", F::Cot}},
      {{"ASin", F::ASin}, {"ACcos", F::ACos}, {"ATan", F::ATan}, {"ACot", F::ACot}},
      {{"sinH", F::SinH}, {"CosH", F::CosH}, {"tanH", F::TanH}, {"cotH", F::CotH}},
      {{"AsinH", F::ASinH}, {"AcosH", F::ACosH}, {"AtanH", F::ATanH}, {"AcotH", F::ACotH}},
      {{"log", F::Log}, {"10 ^ X", F::ZehnHochX}, {"ln", F::Ln}, {"exp", F::Exp}},
      {{"1 / x", F::Kehrwert}, {"W", F::Wurzel}, {"x ²", F::Quadrat}, {"Y ^ X", F::YHochX}},
  };
  for (int z = 0; z < 6; ++z)
    for (int s = 0; s < 4; ++s) funktion(fn[z][s].text, z, s, fn[z][s].f);
  tasten->setColumnMinimumWidth(4, 10);
  const char* ziffern[4][3] = {{"7", "8", "9"}, {"4", "5", "6"}, {"1", "2", "3"}, {"0", ",", ""}};
  for (int z = 0; z < 4; ++z)
    for (int s = 0; s < 3; ++s) {
      QString t = QString::fromUtf8(ziffern[z][s]);
      if (t.isEmpty()) continue;
      if (t == QStringLiteral(",")) t = QString(QChar(Dezimaltrenner()));
      const char c = t.at(0).toLatin1();
      knopf(t, z, 5 + s, [this, c] { FR.Ziffer(c); });
    }
  funktion("±", 3, 7, F::Vorzeichen);
  funktion("/", 0, 8, F::Durch);
  funktion("x", 1, 8, F::Mal);
  funktion("-", 2, 8, F::Minus);
  funktion("+", 3, 8, F::Plus);
  knopf(
      QStringLiteral("Enter "), 4, 5, [this] { FR.Enter(); }, 4);
  knopf(QStringLiteral("g"), 5, 5, [this] { FR.Taste('g'); });
  knopf(QStringLiteral("π"), 5, 6, [this] {
    FR.Taste('p');
  })->setToolTip(QStringLiteral("Kreiszahl Pi (Taste p)"));
  FKnoepfe[QStringLiteral("g")]->setToolTip(QStringLiteral("Erdbeschleunigung 9,81 (Taste g)"));
  haupt->addLayout(tasten);

  auto* unten = new QHBoxLayout;
  auto befehl = [&](const char* text, auto aktion) {
    auto* k = new QPushButton(QString::fromUtf8(text), this);
    k->setAutoDefault(false);
    k->setFocusPolicy(Qt::NoFocus);
    connect(k, &QPushButton::clicked, this, aktion);
    unten->addWidget(k);
    FKnoepfe[k->text()] = k;
  };
  befehl("&Kopieren", [this] { Kopieren(); });
  befehl("&Einfügen", [this] { Einfuegen(); });
  unten->addStretch(1);
  befehl("&Hilfe", [this] { ZeigeHilfe(this, QStringLiteral("upn")); });
  befehl("&Schließen", [this] { hide(); });
  haupt->addLayout(unten);
  FStatus = new QLabel(this);
  FStatus->setFrameShape(QFrame::StyledPanel);
  FStatus->setFrameShadow(QFrame::Sunken);
  FStatus->setMinimumHeight(fontMetrics().height() + 6);
  haupt->addWidget(FStatus);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { ZeigeHilfe(this, QStringLiteral("upn")); });
  Anzeigen();
}

QLineEdit* TCalculator::Register(char name) const {
  switch (name) {
    case 'T':
      return FT;
    case 'Z':
      return FZ;
    case 'Y':
      return FY;
    default:
      return FX;
  }
}

QPushButton* TCalculator::Knopf(const QString& text) const {
  const auto it = FKnoepfe.find(text);
  return it == FKnoepfe.end() ? nullptr : it->second;
}

void TCalculator::Zeigen() {
  exec();
}

void TCalculator::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  Anzeigen();
  XWaehlen();
}

void TCalculator::Anzeigen() {
  FT->setText(U(FR.T));
  FZ->setText(U(FR.Z));
  FY->setText(U(FR.Y));
  if (FX->text() != U(FR.X)) FX->setText(U(FR.X));
  FHex->setText(U(FR.Hex()));
  FBin->setText(U(FR.Bin()));
  FStatus->setText(U(FR.Status));
}

void TCalculator::XWaehlen() {
  FX->setFocus();
  FX->selectAll();
}

void TCalculator::Kopieren() {
  XWaehlen();
  QApplication::clipboard()->setText(FX->text());
}

void TCalculator::Einfuegen() {
  FX->setFocus();
  FX->insert(QApplication::clipboard()->text().trimmed());
  FR.SetzeX(FX->text().toStdString());
  Anzeigen();
}

bool TCalculator::eventFilter(QObject* o, QEvent* e) {
  if (o != FX || (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease))
    return QDialog::eventFilter(o, e);
  auto* k = static_cast<QKeyEvent*>(e);
  const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
  if (e->type() == QEvent::KeyRelease) {
    if (k->isAutoRepeat()) return false;
    if (enter) {
      FR.Enter();
    } else if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
      FR.Pfeil(k->key() == Qt::Key_Up);
    } else {
      return false;
    }
    Anzeigen();
    XWaehlen();
    return true;
  }
  // Key presses: Enter and the arrows act on their release.
  if (enter || k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) return true;
  // Shortcuts (copy, paste, select) and keys without text to the field.
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString t = k->text();
  if (t.isEmpty() || k->key() == Qt::Key_Delete || k->key() == Qt::Key_Escape) return false;
  const QChar c = t.at(0);
  const char z = c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\0';
  const bool ziffer = (z >= '0' && z <= '9') || z == Dezimaltrenner();
  if (ziffer) {
    // Typed where the cursor is.
    if (FR.VorTippen()) FX->clear();
    FX->insert(t.left(1));
    FR.SetzeX(FX->text().toStdString());
    FT->setText(U(FR.T));
    FZ->setText(U(FR.Z));
    FY->setText(U(FR.Y));
    FHex->setText(U(FR.Hex()));
    FBin->setText(U(FR.Bin()));
    return true;
  }
  // X as the field holds it: the cursor may have edited it.
  FR.SetzeX(FX->text().toStdString());
  if (z == '\0' || FR.Taste(z) == TUpnRechner::TTaste::Verschluckt) {
    FDialoge.Beep();
    return true;
  }
  Anzeigen();
  XWaehlen();
  return true;
}

}  // namespace t21
