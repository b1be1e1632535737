#include "app/formulare/zahlfeld.h"

#include <QLocale>
#include <cmath>

namespace t21 {

std::optional<double> LiesZahl(const QString& text, bool ganzzahl) {
  QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  // One decimal separator, comma or point; nothing else but digits, sign
  // and exponent.
  if (t.count(QLatin1Char(',')) + t.count(QLatin1Char('.')) > 1) return std::nullopt;
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  if (ganzzahl && v != std::floor(v)) return std::nullopt;
  return v;
}

QString ZahlAlsText(double v) {
  if (!std::isfinite(v)) return QStringLiteral("0");
  QString t = QString::number(v, 'f', std::fabs(v) >= 1e6 ? 2 : 8);
  if (t.contains(QLatin1Char('.'))) {
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
  }
  if (t == QLatin1String("-0")) t = QStringLiteral("0");
  t.replace(QLatin1Char('.'), QLatin1Char(','));
  return t;
}

TZahlFeld::TZahlFeld(bool ganzzahl, QWidget* parent) : QLineEdit(parent), FGanzzahl(ganzzahl) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::textEdited, this, [this] {
    FBearbeitet = true;
    Markieren(!Wert());
  });
}

void TZahlFeld::SetzeWert(double v) {
  setText(ZahlAlsText(v));
  Markieren(false);
}

void TZahlFeld::Markieren(bool fehler) {
  if (fehler == FMarkiert) return;
  FMarkiert = fehler;
  setStyleSheet(fehler ? QStringLiteral("background-color: #ffc8c8;") : QString());
  setProperty("ungueltig", fehler);
}

}  // namespace t21
