// The result tables on screen: a read-only table model over one result
// table with the German number format, and the filters of the result pages,
// which compare values (so names with quotes need no escaping) and show the
// filter as text.
#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <string>
#include <vector>

#include "model/datum.h"
#include "storage/tabelle.h"

namespace t21 {

// Days since 1899-12-30 and back.
QDateTime AlsQDateTime(TDateTime t);
TDateTime AusQDateTime(const QDateTime& d);

// A value as the result pages show it: numbers with the decimal comma and
// thousands grouping, dates "dd.MM.yyyy hh:mm:ss", Booleans "Ja"/"Nein".
QString AnzeigeText(const TFeld& f, const TWert& w);

// The choice of a result page's lists: an element (by name) or a group (by
// type code, "" and "***" for the whole system), a period ("Jahr"), an event
// number, a value comparison and the verdict of the assessment pages.
struct TErgebnisFilter {
  enum class TAuswahl { Alle, Element, Gruppe };
  TAuswahl Art = TAuswahl::Alle;
  std::string Element;                 // for Element
  std::vector<std::string> Typen;      // for Gruppe: any of these type codes
  std::string Jahr;                    // empty: every period
  std::string Nr;                      // empty: every event
  std::string Spalte, Operator, Wert;  // empty Spalte: no comparison
  int OK = -1;                         // -1 any, 0 FALSE (met), 1 TRUE (requirement violated)
  std::string Parameter;               // assessment tables: "O2", "NH3", "AFS"; empty: any

  bool Leer() const {
    return Art == TAuswahl::Alle && Jahr.empty() && Nr.empty() && Spalte.empty() && OK < 0 &&
           Parameter.empty();
  }
  // Whether row z of the table passes. The element is looked for in the
  // column "Name", "Element" or "Regenschreiber", whichever the table has.
  bool Passt(const TTabelle& t, int z) const;
  // The filter as text: "Name = 'RÜB ''Mitte'''", " and Nr = '3'" ...
  std::string Text(const TTabelle& t) const;
};

// The name column of a result table ("Name", "Element", "Regenschreiber"),
// or -1.
int NamensSpalte(const TTabelle& t);
// A copy of the table with the rows that pass.
TTabelle Gefiltert(const TTabelle& t, const TErgebnisFilter& f);

class TErgebnisModell : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TErgebnisModell(QObject* eltern = nullptr) : QAbstractTableModel(eltern) {}
  // The table shown (not owned; null: none) and its filter.
  void Zeige(const TTabelle* t);
  void SetzeFilter(const TErgebnisFilter& f);
  const TErgebnisFilter& Filter() const { return FFilter; }
  const TTabelle* Tabelle() const { return FTabelle; }
  // Row of the table behind a row of the model.
  int Tabellenzeile(int zeile) const;
  // Call when the table's rows changed.
  void Neu();

  int rowCount(const QModelIndex& p = {}) const override;
  int columnCount(const QModelIndex& p = {}) const override;
  QVariant data(const QModelIndex& i, int rolle) const override;
  QVariant headerData(int s, Qt::Orientation o, int rolle) const override;

 private:
  const TTabelle* FTabelle = nullptr;
  TErgebnisFilter FFilter;
  std::vector<int> FZeilen;
};

}  // namespace t21
