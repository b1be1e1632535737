#include "app/simulation/ergebnismodell.h"

#include <cmath>

namespace t21 {

namespace {

const QDateTime kNullpunkt(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);

const QLocale& Deutsch() {
  static const QLocale l(QLocale::German, QLocale::Germany);
  return l;
}

std::string Gross(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// "Name" = 'x' with quotes in x doubled.
std::string Zitat(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r + "'";
}

bool Vergleiche(double a, const std::string& op, double b) {
  if (op == "=") return a == b;
  if (op == "<>") return a != b;
  if (op == "<") return a < b;
  if (op == "<=") return a <= b;
  if (op == ">") return a > b;
  if (op == ">=") return a >= b;
  return true;
}

bool VergleicheText(const std::string& a, const std::string& op, const std::string& b) {
  if (op == "=") return a == b;
  if (op == "<>") return a != b;
  if (op == "<") return a < b;
  if (op == "<=") return a <= b;
  if (op == ">") return a > b;
  if (op == ">=") return a >= b;
  return true;
}

}  // namespace

QDateTime AlsQDateTime(TDateTime t) {
  return kNullpunkt.addMSecs(static_cast<qint64>(std::llround(t * 86400000.0)));
}

TDateTime AusQDateTime(const QDateTime& d) {
  QDateTime u(d.date(), d.time(), Qt::UTC);
  return static_cast<double>(kNullpunkt.msecsTo(u)) / 86400000.0;
}

QString AnzeigeText(const TFeld& f, const TWert& w) {
  if (IstNull(w)) return {};
  switch (f.Typ) {
    case TFeldTyp::Date:
      return AlsQDateTime(AlsZahl(w)).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case TFeldTyp::Boolean:
      return AlsBool(w) ? QStringLiteral("Ja") : QStringLiteral("Nein");
    case TFeldTyp::Integer:
      return Deutsch().toString(AlsGanzzahl(w));
    case TFeldTyp::Float: {
      const double v = AlsZahl(w);
      if (!std::isfinite(v)) return QStringLiteral("-");
      return Deutsch().toString(v, 'f', 3);
    }
    default:
      return QString::fromStdString(AlsText(w));
  }
}

int NamensSpalte(const TTabelle& t) {
  for (const char* n : {"Name", "Element", "Regenschreiber"}) {
    const int i = t.Schema().Index(n);
    if (i >= 0) return i;
  }
  return -1;
}

bool TErgebnisFilter::Passt(const TTabelle& t, int z) const {
  const TSchema& s = t.Schema();
  if (Art == TAuswahl::Element) {
    const int i = NamensSpalte(t);
    if (i >= 0 && AlsText(t.Wert(z, i)) != Element) return false;
  } else if (Art == TAuswahl::Gruppe) {
    const int i = s.Index("Typ");
    if (i >= 0) {
      const std::string typ = AlsText(t.Wert(z, i));
      bool drin = false;
      for (const std::string& g : Typen) drin = drin || typ == g;
      if (!drin) return false;
    }
  }
  if (!Jahr.empty()) {
    const int i = s.Index("Jahr");
    if (i >= 0 && AlsText(t.Wert(z, i)) != Jahr) return false;
  }
  if (!Nr.empty()) {
    int i = s.Index("Nr");
    if (i < 0) i = s.Index("Nr.");
    if (i >= 0 && AlsText(t.Wert(z, i)) != Nr) return false;
  }
  if (!Parameter.empty()) {
    const int i = s.Index("Parameter");
    if (i >= 0 && AlsText(t.Wert(z, i)) != Parameter) return false;
  }
  if (OK >= 0) {
    // OK 'TRUE' is a violated requirement; the mark "*" in OKS says the
    // same and decides where the table has it.
    const int m = s.Index("OKS");
    const int i = s.Index("OK");
    if (m >= 0) {
      if ((AlsText(t.Wert(z, m)) == "*") != (OK == 1)) return false;
    } else if (i >= 0 && AlsBool(t.Wert(z, i)) != (OK == 1)) {
      return false;
    }
  }
  if (!Spalte.empty()) {
    const int i = s.Index(Spalte);
    if (i >= 0) {
      const TFeld& f = s.Felder[static_cast<size_t>(i)];
      const TWert& w = t.Wert(z, i);
      const std::string wert = Wert.empty() ? "0" : Wert;
      if (f.Typ == TFeldTyp::Float || f.Typ == TFeldTyp::Integer || f.Typ == TFeldTyp::Date) {
        if (IstNull(w)) return false;
        if (!Vergleiche(AlsZahl(w), Operator, TextZuZahl(wert, 0))) return false;
      } else if (f.Typ == TFeldTyp::Boolean) {
        const bool b = Gross(wert) == "TRUE" || wert == "1" || Gross(wert) == "JA";
        if (!Vergleiche(AlsBool(w), Operator, b)) return false;
      } else if (!VergleicheText(AlsText(w), Operator, wert)) {
        return false;
      }
    }
  }
  return true;
}

std::string TErgebnisFilter::Text(const TTabelle& t) const {
  std::string r;
  auto und = [&r](const std::string& s) { r += (r.empty() ? "" : " and ") + s; };
  if (Art == TAuswahl::Element) {
    const int i = NamensSpalte(t);
    und((i >= 0 ? t.Schema().Felder[static_cast<size_t>(i)].Name : "Name") + " = " +
        Zitat(Element));
  } else if (Art == TAuswahl::Gruppe) {
    std::string g;
    for (const std::string& typ : Typen) g += (g.empty() ? "" : " or ") + ("Typ = " + Zitat(typ));
    und(Typen.size() > 1 ? "(" + g + ")" : g);
  }
  if (!Jahr.empty()) und("Jahr = " + Zitat(Jahr));
  if (!Nr.empty()) und("Nr = " + Zitat(Nr));
  if (!Parameter.empty()) und("Parameter = " + Zitat(Parameter));
  if (OK >= 0) und(std::string("OK = ") + (OK ? "'TRUE'" : "'FALSE'"));
  if (!Spalte.empty()) und(Spalte + " " + Operator + " " + Zitat(Wert.empty() ? "0" : Wert));
  return r;
}

TTabelle Gefiltert(const TTabelle& t, const TErgebnisFilter& f) {
  TTabelle r(t.SchemaPtr());
  for (int z = 0; z < t.Anzahl(); ++z) {
    if (!f.Passt(t, z)) continue;
    const int n = r.Anhaengen();
    for (int i = 0; i < t.Spalten(); ++i) r.Setze(n, i, t.Wert(z, i));
  }
  return r;
}

void TErgebnisModell::Zeige(const TTabelle* t) {
  FTabelle = t;
  Neu();
}

void TErgebnisModell::SetzeFilter(const TErgebnisFilter& f) {
  FFilter = f;
  Neu();
}

void TErgebnisModell::Neu() {
  beginResetModel();
  FZeilen.clear();
  if (FTabelle)
    for (int z = 0; z < FTabelle->Anzahl(); ++z)
      if (FFilter.Passt(*FTabelle, z)) FZeilen.push_back(z);
  endResetModel();
}

int TErgebnisModell::Tabellenzeile(int zeile) const {
  return zeile >= 0 && zeile < static_cast<int>(FZeilen.size()) ? FZeilen[size_t(zeile)] : -1;
}

int TErgebnisModell::rowCount(const QModelIndex& p) const {
  return p.isValid() ? 0 : static_cast<int>(FZeilen.size());
}

int TErgebnisModell::columnCount(const QModelIndex& p) const {
  return p.isValid() || !FTabelle ? 0 : FTabelle->Spalten();
}

QVariant TErgebnisModell::data(const QModelIndex& i, int rolle) const {
  if (!FTabelle || !i.isValid()) return {};
  const int z = Tabellenzeile(i.row());
  if (z < 0) return {};
  const TFeld& f = FTabelle->Schema().Felder[static_cast<size_t>(i.column())];
  if (rolle == Qt::DisplayRole) return AnzeigeText(f, FTabelle->Wert(z, i.column()));
  if (rolle == Qt::TextAlignmentRole)
    return f.Typ == TFeldTyp::Float || f.Typ == TFeldTyp::Integer
               ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
               : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QVariant TErgebnisModell::headerData(int s, Qt::Orientation o, int rolle) const {
  if (rolle != Qt::DisplayRole) return {};
  if (o == Qt::Vertical) return s + 1;
  if (!FTabelle || s < 0 || s >= FTabelle->Spalten()) return {};
  const TFeld& f = FTabelle->Schema().Felder[static_cast<size_t>(s)];
  return QString::fromStdString(f.Label.empty() ? f.Name : f.Label);
}

}  // namespace t21
