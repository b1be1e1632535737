// A number field in the German way: decimal comma or point, no thousands
// separators needed. A text that is not a number marks the field instead of
// becoming 0 silently.
#pragma once

#include <QLineEdit>
#include <optional>

namespace t21 {

// The text read as a number (comma or point, blanks around ignored), or
// nothing. ganzzahl: only whole numbers.
std::optional<double> LiesZahl(const QString& text, bool ganzzahl = false);
// A value as the field shows it: decimal comma, no grouping, no trailing
// zeros.
QString ZahlAlsText(double v);

class TZahlFeld : public QLineEdit {
  Q_OBJECT

 public:
  explicit TZahlFeld(bool ganzzahl, QWidget* parent = nullptr);

  bool Ganzzahl() const { return FGanzzahl; }
  // The value, or nothing while the text is unreadable.
  std::optional<double> Wert() const { return LiesZahl(text(), FGanzzahl); }
  void SetzeWert(double v);
  // Marks the field as faulty (red) or clears the mark.
  void Markieren(bool fehler);
  bool Markiert() const { return FMarkiert; }
  // Whether the user typed in it since it was filled.
  bool Bearbeitet() const { return FBearbeitet; }

 private:
  bool FGanzzahl;
  bool FMarkiert = false;
  bool FBearbeitet = false;
};

}  // namespace t21
