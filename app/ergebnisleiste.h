// The result bar beside the drawing: the key results of the current element
// (tab "Abfluss") or of the inflow gathered for it (tab "Zufluss") as short
// lists of quantity, value and unit, and the element's own messages. It
// reads what it is given and never changes the model.
#pragma once

#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

class QTabBar;
class QTreeWidget;
class QPlainTextEdit;
class QVBoxLayout;

namespace t21 {

class TElement;
class TNET;

// One row of a result list.
struct TErgebnisZeile {
  QString Groesse, Wert, Dim;
};

// The eight result lists, top to bottom.
enum class TErgebnisListe { TW, RW, KEZ, NET, RUE, RKB, RUEB, EST };
inline constexpr int kErgebnisListen = 8;

// What the bar shows for the shown element s: the rows of each list, and
// which lists are visible. s is the inflow itself when istZufluss.
struct TErgebnisInhalt {
  std::array<bool, kErgebnisListen> Sichtbar{};
  std::array<std::vector<TErgebnisZeile>, kErgebnisListen> Zeilen;
  const std::vector<TErgebnisZeile>& Liste(TErgebnisListe l) const {
    return Zeilen[static_cast<size_t>(l)];
  }
  bool IstSichtbar(TErgebnisListe l) const { return Sichtbar[static_cast<size_t>(l)]; }
};

// The lists for s (null: none) with the inflow i gathered for the current
// element and the project record n. The number formats follow the default
// locale (the German decimal comma).
TErgebnisInhalt ErgebnisInhalt(const TElement* s, bool istZufluss, const TElement& i,
                               const TNET& n);

// Numbers as the result bar shows them ("%.2n" is Zahl(v, 2)).
QString Zahl(double v, int stellen = 2);

class TErgebnisleiste : public QWidget {
  Q_OBJECT

 public:
  explicit TErgebnisleiste(QWidget* parent = nullptr);

  // Shows e (the current element, null for none) or, under the tab
  // "Zufluss", its inflow i; the memo shows e's own messages.
  void Zeige(const TElement* e, const TElement& i, const TNET& n);
  // Index 0 "Abfluss", 1 "Zufluss".
  int Reiter() const;
  void SetzeReiter(int index);

  QTreeWidget* Liste(TErgebnisListe l) const { return FListen[static_cast<size_t>(l)]; }
  QPlainTextEdit* Fehlerhinweise() const { return FMemo; }
  QTabBar* Reiterleiste() const { return FTabs; }
  // The widget placed at the bottom ("Navigator").
  void SetzeNavigator(QWidget* w);

 signals:
  // The tab changed: the owner calls Zeige again.
  void ReiterGewechselt();

 private:
  QTabBar* FTabs;
  std::array<QTreeWidget*, kErgebnisListen> FListen{};
  QPlainTextEdit* FMemo;
  QVBoxLayout* FLayout;
  QWidget* FNavigator = nullptr;
};

// The switch "Anzeige Zu-/Abfluss" of the element dialogs: it names the
// tab it leads to ("Anzeige Zufluss" while the bar shows "Abfluss", else
// "Anzeige Abfluss"); a click turns the bar to the other tab, whose owner
// refreshes it (ReiterGewechselt). It follows the bar when the tab is
// changed elsewhere, and does nothing once the bar is gone.
class TAnzeigeSchalter : public QPushButton {
  Q_OBJECT

 public:
  explicit TAnzeigeSchalter(TErgebnisleiste* leiste, QWidget* parent = nullptr);
  // The caption for a bar showing the tab of that index.
  static QString Beschriftung(int reiter);

 private:
  void Umschalten();
  void Beschriften();
  QPointer<TErgebnisleiste> FLeiste;
};

}  // namespace t21
