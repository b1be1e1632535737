#include "report/nachweisseiten.h"

#include <QFontMetricsF>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "cli/nachweis.h"
#include "model/catchments.h"
#include "model/datum.h"
#include "model/discharge.h"
#include "model/net.h"
#include "model/plant.h"
#include "model/structures.h"
#include "report/report.h"
#include "report/textlauf.h"

namespace t21 {

bool ZweiSeiten(const std::string& typ) {
  return typ == "EST" || typ == "RUB" || typ == "RKB" || typ == "KEM" || typ == "KES" ||
         typ == "KER";
}

std::vector<TCadShape*> Druckliste(const TM3Model& m, const std::vector<std::string>& namen,
                                   std::vector<std::string>* unbekannt) {
  std::vector<TCadShape*> liste;
  auto nimm = [&](const std::string& name) {
    TCadShape* s = m.Liste.Find(name);
    if (s && NamenGleich(m.Root()->Name, name)) s = m.Root();
    if (!s) s = NamenGleich(name, kWurzelName) ? m.Root() : nullptr;
    if (!s || !TM3Model::ElementOf(s) || s->Typ() == "REG") {
      if (unbekannt) unbekannt->push_back(name);
      return;
    }
    liste.push_back(s);
  };
  const std::vector<std::string>& wahl = namen.empty() ? m.PrintList : namen;
  for (const auto& n : wahl) nimm(n);
  if (!wahl.empty()) return liste;
  for (int i = 0; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (TM3Model::ElementOf(s) && s->Typ() != "REG") liste.push_back(s);
  }
  return liste;
}

namespace {

std::string F2(double v) {
  return FormatiereBild(v, "###,##0.00");
}
std::string F0(double v) {
  return FormatiereBild(v, "###,###,##0");
}
std::string QrKopf(int i) {
  return i == 1 ? FormatiereBild(kQr[1], "0.0") : FormatiereBild(kQr[size_t(i)], "##0");
}

// The page being drawn: canvas, scale, current line and column set.
class TSeite {
 public:
  TSeite(QPainter& p, double ppiY, double ppiX) : P(p), FPpiY(ppiY), FPpiX(ppiX) {
    P.setPen(QPen(Qt::black, 0));
    SetA();
  }

  QPainter& P;
  double y = 0.4;
  std::array<double, 16> sp{};
  std::array<bool, 16> rechts{};
  double Abstand = 0.1;  // between a right-aligned value and the next column

  void Setze(std::initializer_list<double> werte) {
    Abstand = 0.1;
    sp.fill(0);
    size_t i = 0;
    for (double w : werte) sp[i++] = w;
  }
  void SetA() { Setze({0.7, 2.8, 3.5, 4.2, 4.9, 5.6, 6.6, 7.0, 7.6}); }
  void SetB() { Setze({0.7, 1.7, 2.2, 7.7, 8.0, 10.5}); }
  // The ten rate columns share the width from 2.75 to the right margin 8.0
  // evenly (0.525 each), so that the last value has room as the others do;
  // values end 0.05 before the next column.
  void SetC() {
    Setze({0.7, 1.7, 2.2, 2.75, 3.275, 3.8, 4.325, 4.85, 5.375, 5.9, 6.425, 6.95, 7.475, 8.0, 8.7,
           8.7});
    Abstand = 0.05;
  }
  void Rechts(std::initializer_list<int> spalten) {
    rechts.fill(false);
    for (int s : spalten) rechts[size_t(s)] = true;
  }
  void RechtsAus() { rechts.fill(false); }

  void Schrift(int art) {
    QString familie = "Arial";
    double pt = 8;
    bool fett = false, kursiv = false, unter = false;
    switch (art) {
      case 1:
      case 2:
      case 3:
        fett = kursiv = true;
        break;
      case 5:
        familie = "Arial Narrow";
        break;
      case 6:
        fett = unter = true;
        break;
      case 7:
        pt = 6;
        break;
      case 8:
        fett = true;
        break;
      case 9:
      case 10:
        familie = "Courier New";
        break;
      case 11:
        kursiv = true;
        break;
      default:
        break;
    }
    P.setFont(t21::Schrift(familie, pt, static_cast<int>(std::lround(FPpiY)), fett, kursiv, unter));
  }
  double Breite(const std::string& s) const {
    return TextBreite(P.font(), s) / FPpiX;
  }
  double HoeheM() const { return QFontMetricsF(P.font()).height() / FPpiY; }
  void Text(double x, double yy, const std::string& s) {
    if (s.empty()) return;
    ZeichneText(P, QPointF(x * FPpiX, yy * FPpiY + QFontMetricsF(P.font()).ascent()), s);
  }
  void Linie(double x1, double y1, double x2, double y2) {
    P.drawLine(QPointF(x1 * FPpiX, y1 * FPpiY), QPointF(x2 * FPpiX, y2 * FPpiY));
  }
  void Box(double x, double yy, bool an) {
    P.save();
    P.setBrush(an ? QColor(192, 192, 192) : QColor(Qt::white));
    P.drawRect(QRectF((x - 0.05) * FPpiX, (yy - 0.05) * FPpiY, 0.1 * FPpiX, 0.1 * FPpiY));
    P.restore();
  }
  void FuelleRechteck(double x1, double y1, double x2, double y2) {
    P.drawRect(QRectF(QPointF(x1 * FPpiX, y1 * FPpiY), QPointF(x2 * FPpiX, y2 * FPpiY)));
  }
  void Naechste() { y += HoeheM(); }

  // The row writer: string i in column i (right-aligned columns end 0.1
  // before the next column), a rule under the row from column r to 8.0.
  void Zeile(const std::vector<std::string>& s, int art, int regel = -1) {
    Schrift(art);
    for (size_t i = 0; i < s.size() && i < sp.size(); ++i) {
      double x = sp[i];
      if (rechts[i] && i + 1 < sp.size()) x = sp[i + 1] - Breite(s[i]) - Abstand;
      Text(x, y, s[i]);
    }
    if (regel >= 0) Linie(sp[size_t(regel)], y + HoeheM(), 8.0, y + HoeheM());
    Naechste();
  }
  // A title row in font kind 1 with a rule.
  void Titel(const std::string& t) { Zeile({t}, 1, 0); }
  // A row of meaning, symbol, value and unit, the value right-aligned.
  void Wert(const std::string& bez, const std::string& sym, const std::string& wert,
            const std::string& einheit) {
    Rechts({2});
    Zeile({bez, sym, wert, einheit}, 4);
    RechtsAus();
  }

 private:
  double FPpiY, FPpiX;
};

// The context of one page.
struct TKontext {
  TSeite& S;
  TM3Model& M;
  const TElement& E;
  const TElement& Zufluss;
  const TNachweisOptionen& O;
};

std::string Gepolstert(std::string s, size_t breite) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  if (n < breite) s += std::string(breite - n, ' ');
  return s;
}

void Kopf(TKontext& k, const std::string& titel, const std::string& unter) {
  TSeite& S = k.S;
  const TNET& N = k.M.Netz();
  S.SetA();
  S.RechtsAus();
  S.y = 0.4;
  S.Schrift(4);
  S.Text(0.7, S.y, N.ProjektName);
  S.Text(4, S.y, "Projekt-Nummer:");
  S.Text(5.3, S.y, N.Nummer);
  S.Linie(0.7, S.y + S.HoeheM(), 8, S.y + S.HoeheM());
  S.Naechste();
  S.Text(0.7, S.y, N.Variante);
  S.Text(4, S.y, "Auftraggeber:");
  S.Text(5.3, S.y, N.Auftraggeber);
  S.Naechste();
  S.sp[0] = 0.95;
  S.Zeile({titel, unter}, 8);
  S.sp[0] = 0.7;
  S.Zeile({""}, 8, 0);
}

void Fuss(TSeite& S, const TM3Model& m, int n, int anzahl) {
  S.SetA();
  const double y = 10.5;
  S.Schrift(11);
  S.Text(S.sp[0], y, "QTZ TamKor21   Vereinfachter Nachweis");
  S.Schrift(4);
  S.Text(5, y, DatumText(m.Netz().Datum));
  const std::string t = "Element  " + std::to_string(n) + "  von  " + std::to_string(anzahl);
  S.Text(8 - S.Breite(t), y, t);
  S.Linie(S.sp[0], y, 8, y);
}

// The messages, wrapped within the page from column 1 to the right margin.
void Hinweise(TKontext& k) {
  TSeite& S = k.S;
  std::string text;
  for (const auto& h : k.E.FEHLER) text += h + "; ";
  if (text.empty()) text = "keine";
  S.Schrift(1);
  S.Text(S.sp[0], S.y, "Hinweise");
  S.Schrift(4);
  const double breite = 8.0 - S.sp[1] - 0.1;
  std::string zeile, wort;
  std::vector<std::string> zeilen;
  auto wortDazu = [&]() {
    if (wort.empty()) return;
    const std::string probe = zeile.empty() ? wort : zeile + " " + wort;
    if (!zeile.empty() && S.Breite(probe) > breite) {
      zeilen.push_back(zeile);
      zeile = wort;
    } else {
      zeile = probe;
    }
    wort.clear();
  };
  for (char c : text) {
    if (c == ' ')
      wortDazu();
    else
      wort += c;
  }
  wortDazu();
  if (!zeile.empty()) zeilen.push_back(zeile);
  for (const auto& z : zeilen) {
    S.Text(S.sp[1], S.y, z);
    S.Naechste();
  }
  S.Linie(S.sp[0], S.y, 8, S.y);
}

void Lage(TKontext& k) {
  TSeite& S = k.S;
  const TSUM& s = k.E.SUM;
  S.SetA();
  S.Titel("Lage");
  S.Rechts({2, 6});
  S.Zeile({"Rechtswert", "RW", F2(s.RW), "-", "Hochwert", "HW", F2(s.HW), "-"}, 4);
  S.Zeile({"Gelände", "Gel", F2(s.Gelaende), "mNN", "Strasse", s.Strasse}, 4);
  S.RechtsAus();
}

// The flow balance of inflow and element: the 23 rows of the network sums in
// four groups, with a third column for structures (the overflows) and
// catchments (the element's own share).
void Bilanz(TKontext& k) {
  TSeite& S = k.S;
  const TSUM& I = k.Zufluss.SUM;
  const TSUM& A = k.E.SUM;
  const std::string typ = k.E.Typ();
  const bool ueberlauf = typ == "RUB" || typ == "RU" || typ == "RKB";
  const bool gebiet = typ == "KEM" || typ == "KES" || typ == "KER";
  TSUM abschlag;
  if (ueberlauf) {
    const auto& b = dynamic_cast<const TBauwerk&>(k.E);
    const TSpenden& r = k.M.Netz().Spenden;
    b.KUE.SUM.AddTo(abschlag, r);
    b.BUE.SUM.AddTo(abschlag, r);
  }
  const auto zeilen = Summenzeilen(I, A, k.M.Netz().Spenden);
  const auto dritte = ueberlauf ? Summenzeilen(abschlag, abschlag, k.M.Netz().Spenden)
                                : std::vector<TSummenzeile>{};
  S.SetA();
  S.Rechts({3, 4, 5});
  std::vector<std::string> kopf{"Abflussbilanz", "", "", "Zulauf", "Ablauf"};
  if (ueberlauf) kopf.push_back("Abschlag");
  if (gebiet) kopf.push_back("Element");
  S.Zeile(kopf, 1, 0);
  const char* gruppen[4] = {"Trockenwetterabfluss", "Tagesspitze", "Regenwetterabfluss",
                            "Einzugsgebiet"};
  const int beginn[4] = {0, 6, 10, 16};
  for (int z = 0; z <= 22; ++z) {
    for (int g = 0; g < 4; ++g)
      if (z == beginn[g]) {
        S.RechtsAus();
        if (g == 0)
          S.Zeile({gruppen[0], "Tagesmittel"}, 1, 0);
        else if (g == 1)
          S.Zeile({"", "Tagesspitze"}, 1, 0);
        else
          S.Zeile({gruppen[g]}, 1, 0);
        S.Rechts({3, 4, 5});
      }
    if (z == 21) continue;  // the mean slope group is computed, not printed
    const TSummenzeile& r = zeilen[size_t(z)];
    const int nk = z == 0 ? 0 : 2;
    auto f = [&](double v) { return nk == 0 ? FormatiereBild(v, "#,###,##0") : F2(v); };
    std::string sym = r.Name;
    static const char* symbole[23] = {"EZ",  "Qh24",    "Qg24", "Qs24",  "Qf24", "Qt24",
                                      "Qhx", "Qgx",     "Qsx",  "Qtx",   "Qr",   "uQr",
                                      "LTf", "Tf",      "r",    "QrT24", "AE",   "Sum AE",
                                      "AEb", "Sum AEb", "Au",   "NGm",   "B"};
    sym = symbole[z];
    std::vector<std::string> s{r.Bezeichnung, sym, r.Einheit, f(r.Zulauf), f(r.Ablauf)};
    if (ueberlauf) s.push_back(f(dritte[size_t(z)].Zulauf));
    if (gebiet) s.push_back(f(r.Ablauf - r.Zulauf));
    S.Zeile(s, 4);
  }
  if (gebiet) {
    const auto& kez = dynamic_cast<const TKEZ&>(k.E);
    S.Zeile({"Abflußbeiwert", "PSI", "-", F2(I.AU * Kehrwert(I.AE)), F2(A.AU * Kehrwert(A.AE)),
             F2(kez.PSIs)},
            4);
    S.Zeile({"Ablagerungsbeiwert", "aa", "-", F2(I.aa()), F2(A.aa()), F2(A.aa())}, 4);
  }
  S.RechtsAus();
}

// The loads and concentrations of inflow and outflow for the ten rates.
void Frachten(TKontext& k) {
  TSeite& S = k.S;
  S.SetC();
  S.Titel("Frachten und Konzentrationen");
  S.RechtsAus();
  std::vector<std::string> kopf{"Regenabflußspende", "qrab", "l/(s*ha)"};
  for (int i = 0; i < kAnzahlQr; ++i) kopf.push_back(QrKopf(i));
  S.Rechts({3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  S.Zeile(kopf, 5, 0);
  auto reihe = [&](const std::string& bez, const std::string& sym, const std::string& einheit,
                   auto wert, bool erste) {
    std::vector<std::string> s{bez, sym, einheit};
    for (int i = 0; i < kAnzahlQr; ++i) s.push_back(wert(i));
    S.Zeile(s, 5, erste ? 0 : 1);
  };
  auto block = [&](const TParameterArray& a, const char* q, const char* fracht, const char* konz) {
    reihe(
        q, "QM", "l/s", [&](int i) { return F2(a[i].Q); }, true);
    reihe(
        fracht, "BSB5", "mg/s", [&](int i) { return F0(a[i].BSB); }, true);
    reihe(
        "", "NH4-N", "mg/s", [&](int i) { return F0(a[i].NH4); }, false);
    reihe(
        "", "AFS63", "mg/s", [&](int i) { return F0(a[i].AFS); }, false);
    reihe(
        konz, "BSB5", "mg/l", [&](int i) { return F2(a[i].cBSB()); }, true);
    reihe(
        "", "NH4-N", "mg/l", [&](int i) { return F2(a[i].cNH4()); }, false);
    reihe(
        "", "AFS63", "mg/l", [&](int i) { return F2(a[i].cAFS()); }, false);
    reihe(
        "", "pH-Wert", "-", [&](int i) { return F2(a[i].cPH()); }, false);
    reihe(
        "", "Alkalinität", "mmol/l", [&](int i) { return F2(a[i].cALK()); }, false);
  };
  block(k.Zufluss.AB, "Mischwasserzufluß", "Zuflußfracht", "Zuflußkonzentration");
  reihe(
      "Regenabfluß", "QR", "l/s", [&](int i) { return F2(k.E.AB[i].Q - k.E.SUM.QT24()); }, true);
  block(k.E.AB, "Mischwasserabfluß", "Abflußfracht", "Abflußkonzentration");
  S.RechtsAus();
  S.SetB();
}

// ----------------------------------------------------------------- pages

void Projektseite(TKontext& k) {
  TSeite& S = k.S;
  const TNET& N = k.M.Netz();
  Kopf(k, "geschlossenes Siedlungsgebiet", "");
  Hinweise(k);
  S.Titel("Entwurfsverfasser");
  for (const char* f : {"Name", "Strasse", "PLZ", "Ort", "Telefon", "Fax", "e-mail"})
    S.Zeile({f, std::string(f) == "Name" ? k.O.Benutzer : ""}, 4);
  S.Rechts({2, 3, 4});
  S.Zeile({"Abflussbelastung", "", "cR", "cT", "cK"}, 1, 0);
  S.Zeile({"BSB5", "mg/l", F2(N.CR.BSB)}, 4);
  S.Zeile({"Nges", "mg/l", F2(N.CR.NH4)}, 4);
  S.Zeile({"AFS63", "mg/l", "", F2(N.ctAFS63), F2(N.ckAFS63)}, 4);
  S.Zeile({"CSB", "mg/l", F2(N.crCSB), "", F2(N.ckCSB)}, 4);
  S.Zeile({"pH-Wert", "-", F2(N.CR.PH)}, 4);
  S.Zeile({"Alkalinität", "mmol/l", F2(N.CR.ALK)}, 4);
  S.RechtsAus();
  S.Titel("Hydrologie und Hydraulik");
  S.Wert("mittlere Jahresniederschlagshöhe", "HNa", FormatiereBild(N.HNA, "#,##0"), "mm/a");
  S.Wert("Jahresabflußbeiwert", "PSIa", F2(N.PSIa), "-");
  S.Wert("Wassertemperatur, sommerl.Maximum", "T", F2(N.Temperatur), "°C");
  S.Wert("Summe erforderl. Speichervolumen", "Sum V", F2(k.E.SUM.SUMVerf), "m^3");
  S.Schrift(4);
  S.Box(4.05, S.y + S.HoeheM() / 2, N.NAM);
  S.Zeile({"Abflussberechnung nach Zeitbeiwertverfahren", "", "", N.NAM ? "ja" : "nein"}, 4);
  S.SetC();
  S.Titel("Regenspenden");
  static const char* dauer[18] = {"5 min",  "10 min", "15 min",  "20 min", "30 min", "45 min",
                                  "60 min", "90 min", "120 min", "3 h",    "4 h",    "6 h",
                                  "9 h",    "12 h",   "18 h",    "24 h",   "48 h",   "72 h"};
  S.Rechts({3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  for (int paar = 0; paar < 2; ++paar) {
    std::vector<std::string> d{"Dauerstufe", "D", ""}, r{"Spende", "r", "l/(s*ha)"};
    for (int i = 0; i < 9; ++i) {
      d.push_back(dauer[paar * 9 + i]);
      r.push_back(F2(N.Spenden.values[size_t(1 + paar * 9 + i)]));
    }
    S.Zeile(d, 5, 0);
    S.Zeile(r, 5, 1);
  }
  S.RechtsAus();
  S.SetA();
  Lage(k);
  // Statistics over the shapes of the model.
  int anzahl[12] = {};
  const char* arten[11] = {"", "KEM", "KER", "KES", "RU", "RUB", "RKB", "KLG", "OMA", "EST", "CON"};
  int gesamt = 1, unkonfiguriert = 0, entlastungen = 0, einleitungen = 0;
  for (int i = 0; i < k.M.Count(); ++i) {
    const TCadShape* s = k.M.GetNode(i);
    const TElement* e = TM3Model::ElementOf(s);
    if (!e || s == k.M.Root()) continue;
    const std::string t = s->Typ();
    for (int a = 1; a < 11; ++a)
      if (t == arten[a]) ++anzahl[a];
    const bool gezaehlt = t == "KES" || t == "KER" || t == "KEM" || t == "RU" || t == "RUB" ||
                          t == "RKB" || t == "KLG" || t == "OMA" || t == "EST" || t == "CON" ||
                          t == "REG";
    if (!gezaehlt) continue;
    ++gesamt;
    if (t == "EST") {
      const auto& est = dynamic_cast<const TEST&>(*e);
      if (!e->FEHLER.empty() && est.Profil.HTW == 0) ++unkonfiguriert;
      if (!e->FEHLER.empty() && est.Profil.HTW != 0) ++einleitungen;
    } else if (e->SUM.QBEM() == 0) {
      ++unkonfiguriert;
    }
    if ((t == "RU" || t == "RUB" || t == "RKB") && !e->FEHLER.empty()) ++entlastungen;
  }
  S.Titel("Statistik");
  S.Rechts({2});
  const char* namen[11] = {"- Geschlossenes Siedlungsgebiet",
                           "- Mischwassernetze",
                           "- Regenwassernetze",
                           "- Schmutzwassernetze",
                           "- Regenüberläufe",
                           "- Regenüberlaufbecken und Stauraumkanäle",
                           "- Regenklärbecken",
                           "- Kläranlagen",
                           "- Ortspezifische Maßnahmen",
                           "- Einleitungsstellen",
                           "- Verbindungen"};
  S.Zeile({"Gesamtzahl der hydrologischen Elemente", "", std::to_string(gesamt)}, 4);
  for (int a = 0; a < 11; ++a) S.Zeile({namen[a], "", std::to_string(a == 0 ? 1 : anzahl[a])}, 4);
  S.Zeile({"Anzahl nicht konfigurierter Elemente", "", std::to_string(unkonfiguriert)}, 4);
  S.Zeile({"Regenentlastungen mit Verletzung der Anforderungen", "", std::to_string(entlastungen)},
          4);
  S.Zeile({"Einleitungsstellen mit Verletzung der Anforderungen", "", std::to_string(einleitungen)},
          4);
  S.RechtsAus();
}

std::string GebietTitel(const std::string& typ) {
  const char* t = typ == "KES"   ? "Schmutzwassernetz"
                  : typ == "KER" ? "Regenwassernetz"
                                 : "Mischwassernetz";
  return Gepolstert(t, 22);
}

void Gebietsseite(TKontext& k) {
  TSeite& S = k.S;
  const std::string typ = k.E.Typ();
  Kopf(k, GebietTitel(typ), k.E.Name());
  Hinweise(k);
  const auto* kez = dynamic_cast<const TKEZ*>(&k.E);
  if (!kez) {  // other kinds on this layout: balance, location, loads
    Bilanz(k);
    Lage(k);
    Frachten(k);
    return;
  }
  Bilanz(k);
  if (typ == "KEM" || typ == "KES") {
    S.SetA();
    S.Titel("Trockenwetteranfall");
    if (typ == "KEM") S.Wert("Einwohnerdichte", "ED", F2(kez->ED), "E/ha");
    S.Wert("spezifischer Wasserverbrauch", "ws", F2(kez->WS), "l/(E*d)");
    S.Wert("Stundenansatz", "x", F2(kez->X), "h");
    if (typ == "KEM") S.Wert("gewerbliche Schmutzwasserspende", "qg", F2(kez->QG), "l/(s*ha)");
    S.Wert("Arbeitsstunden / Tag", "ag", F2(kez->AG), "h/d");
    S.Wert("Produktionstage / Jahr", "bg", F2(kez->BG), "d/a");
    if (typ == "KEM")
      S.Wert("Fremdwasserspende", "qf", F2(kez->QF), "l/(s*ha)");
    else
      S.Wert("Fremdwasseranfall", "qf", F2(kez->QF * Kehrwert(kez->SUM.QS()) * 100), "% von QSx");
    S.Wert("Schmutzwasser-Ganglinie", "SWGL", F0(kez->SWGL), "-");
    S.Wert("Fremdwasser-Ganglinie", "FWGL", F0(kez->FWGL), "-");
    const TNET& N = k.M.Netz();
    S.Rechts({2, 3});
    S.Zeile({"Abfluss-Belastung", "", "ch", "cg"}, 1, 0);
    S.Zeile({"BSB5", "mg/l", F2(kez->CH.BSB), F2(kez->CG.BSB)}, 4);
    S.Zeile({"Nges", "mg/l", F2(kez->CH.NH4), F2(kez->CG.NH4)}, 4);
    S.Zeile({"AFS63", "mg/l", F2(N.ctAFS63), F2(N.ctAFS63)}, 4);
    S.Zeile({"CSB", "mg/", F2(kez->CH.CSB), F2(kez->CG.CSB)}, 4);
    S.Zeile({"pH-Wert", "-", F2(kez->CH.PH), F2(kez->CG.PH)}, 4);
    S.Zeile({"Alkalinität", "mmol/l", F2(kez->CH.ALK), F2(kez->CG.ALK)}, 4);
    S.RechtsAus();
  }
  Lage(k);
  Frachten(k);
}

void Flaechenseite(TKontext& k) {
  TSeite& S = k.S;
  Kopf(k, GebietTitel(k.E.Typ()), k.E.Name());
  S.Rechts({2, 3, 4, 6});
  S.Zeile({"Einzugsgebietsflächen", "", "", "", "", "", "", ""}, 1, 0);
  S.Zeile({"Name", "", "AE [ha]", "B [%]", "fD [-]", "Kategorie", "AEb [ha]"}, 1, 0);
  if (const auto* kez = dynamic_cast<const TKEZ*>(&k.E))
    for (const TAE& a : kez->AEs.Liste)
      S.Zeile(
          {a.Bezeichnung, "", F2(a.AE), F0(a.B), F2(a.fD), std::to_string(a.Kategorie), F2(a.AEb)},
          4);
  S.RechtsAus();
}

void Ueberlaufseite(TKontext& k) {
  TSeite& S = k.S;
  const auto& ru = dynamic_cast<const TRU&>(k.E);
  Kopf(k, "Regenüberlauf", k.E.Name());
  Hinweise(k);
  Bilanz(k);
  S.SetA();
  if (k.O.A128Ausblenden) {
    S.Titel("Weiterleitung");
    S.Wert("Drosselabfluß", "QD", F2(ru.QD), "l/s");
  } else {
    S.Titel("QTZ A 3-2");
    S.Wert("Drosselabfluß", "QD", F2(ru.QD), "l/s");
    S.Wert("kritische Regenspende", "r krit", F2(ru.Rkrit), "l/(s*ha)");
    S.Wert("kritischer Regenabfluss", "Qr krit", F2(ru.QRKRIT), "l/s");
    S.Wert("kritischer Mischwasserabfluss", "Q krit", F2(ru.QKRIT), "l/s");
    S.Wert("Mischverhältnis", "m", F2(ru.m), "-");
    S.Wert("Mindest-Mischverhältnis", "erf. m", F2(ru.m_erf), "-");
    S.Wert("Trockenwetter-Konzentration", "ct CSB", F2(ru.ct), "mg/l");
    S.Wert("AFS63-Entlastungsfracht", "AFS63_e", F2(ru.SUM.AFS63e), "kg/a");
    S.Wert("AFS63-Regenwasserfracht", "AFS53_R", F2(ru.SUM.AFS63r), "kg/a");
  }
  Lage(k);
  Frachten(k);
}

void Beckenseite(TKontext& k) {
  TSeite& S = k.S;
  const auto& b = dynamic_cast<const TBauwerk&>(k.E);
  Kopf(k, "Regenüberlaufbecken", k.E.Name());
  Hinweise(k);
  Bilanz(k);
  S.SetA();
  S.Titel("Weiterleitung");
  S.Wert("Drosselabfluß", "QD", F2(b.QD), "l/s");
  Lage(k);
  Frachten(k);
}

void Beckenemission(TKontext& k) {
  TSeite& S = k.S;
  const auto& b = dynamic_cast<const TRUB&>(k.E);
  const TNET& N = k.M.Netz();
  Kopf(k, "RÜB", k.E.Name());
  // The meanings of the design quantities are long: a wide first column.
  S.Setze({0.7, 3.9, 4.9, 5.6, 6.3, 7.0});
  S.Zeile({""}, 1, 0);
  S.Titel("Emissionsnachweis");
  auto w = [&](const char* bez, const char* sym, const char* einheit, double v, int nk = 2,
               int art = 4) {
    S.Rechts({2});
    S.Zeile({bez, sym, nk == 4 ? FormatiereBild(v, "###,##0.0000") : F2(v), einheit}, art);
    S.RechtsAus();
  };
  auto anteil = [&](const char* bez, const char* sym, double v) {
    S.Rechts({2, 4});
    S.Zeile({bez, sym, F2(v), "ha", F2(v * Kehrwert(b.AEb) * 100), "%"}, 4);
    S.RechtsAus();
  };
  w("mittlere Jahresniederschlagshöhe", "h_N,aM", "mm", N.HNA);
  w("angeschlossene befestigte Gesamtfläche", "A_b,a", "ha", b.AEb);
  anteil("Fläche der Belastungskategorie I (gering belastet)", "A_b,a,I", b.AEB1);
  anteil("Fläche der Belastungskategorie II (mäßig belastet)", "A_b,a,II", b.AEB2);
  anteil("Fläche der Belastungskategorie III (stark belastet)", "A_b,a,III", b.AEb3);
  w("Abminderungsfaktor durchlässige Teilflächen in A_b,a", "f_D", "-", b.fD);
  w("längste Ffließzeit im Gesamtgebiet", "t_f", "min", b.TF);
  w("mittlere Geländeneigungsgruppe", "NG_m", "-", b.NGM);
  w("längengewichtetes Produkt dI", "dI", "-", b.dI, 4);
  w("Mischwasserabfluss zur Kläranlage", "Q_M", "l/s", b.QD);
  w("Trockenwetterabfluss, 24-h-Mittel", "Q_T,aM", "l/s", b.QT24);
  w("Trockenwetterabfluss, Tagesspitze", "Q_T", "l/s", b.QTx);
  w("Regenabfluss aus Trenngebieten", "Q_R,Tr", "l/s", b.QRT24);
  w("mittlere CSB-Konzentration im Trockenwetterabfluss", "C_T,aM,CSB", "mg/l", b.ctCSB);
  S.Titel("Konstanten");
  w("CSB-Konzentration im Regenwasserabfluss", "C_R,CSB", "mg/l", N.crCSB);
  w("CSB-Konzentration im Kläranlagenablauf", "C_K,CSB", "mg/l", N.ckCSB);
  w("mittlere AFS63-Konzentration im TW-Abfluss", "C_T,AFS63", "mg/l", N.ctAFS63);
  w("AFS63-Konzentration im Kläranlagenablauf", "C_K,AFS63", "mg/l", N.ckAFS63);
  S.Titel("Bemessung");
  w("RW-Abfluss, Drosselabfluss zur Kläranlage, 24-h-Mittel", "Q_R,Dr", "l/s", b.QR);
  w("Regenabflussspende, Drosselabfluss zur Kläranlage", "q_R,Dr", "l/(s*ha)", b._qr);
  w("TW-Abflussspende aus Gesamtgebiet", "q_T,aM", "l/(s*ha)", b._qt24);
  w("Fließzeitabminderung", "a_f", "-", b.af);
  w("mittlerer Regenabfluss bei Entlastung", "Q_R,e", "l/s", b.QRE);
  w("mittleres Mischverhältnis", "m", "-", b.m);
  w("Einflusswert CSB-TW-Konzentration", "a_C", "-", b.acCSB);
  w("Einflusswert Jahresniederschlag", "a_h", "-", b.ah, 4);
  w("x_a-Wert für Kanalablagerungen", "x_a", "-", b.xa, 4);
  w("dI-Wert für Kanalablagerungen", "dI", "m", b.dI, 4);
  w("tau-Wert für Kanalablagerungen", "tau", "-", b.tau, 4);
  w("Einflusswert Kanalablagerungen", "a_a", "-", b.aa, 4);
  w("Bemessungskonzentration CSB", "C_b,CSB", "mg/l", b.cbCSB);
  w("Flächenspezifischer Stoffabtrag AFS63", "b_R,AFS63", "kg/(ha*a)", b.brAFS);
  w("Konzentration AFS63 im Regenwasserabfluss", "C_R,AFS63", "mg/l", b.crAFS);
  w("Einflusswert AFS63-Fracht im Regenwasserabfluss", "a_R,AFS63", "-", b.arAFS);
  w("Angepasste Konzentration C_R,a im RW-Abfluss", "C_R,a,CSB", "mg/l", b.craCSB);
  w("rechnerische CSB-Entlastungskonzentration", "C_e,CSB", "mg/l", b.ceCSB);
  w("zulässige Entlastungsrate e_0,CSB", "e_0,CSB", "%", b.e0, 2, 1);
  w("Hilfsgröße 1", "H1", "-", b.H1);
  w("Hilfsgröße 2", "H2", "-", b.H2);
  w("spezifisches Speichervolumen", "V_s", "cbm/ha", b.VS);
  w("erforderliches Gesamtspeichervolumen", "V_ges", "cbm", b.Vges);
  w("Speichervolumen Vorentlastungen", "V_vor", "cbm", b.Vvor);
  w("erforderliches Speichervolumen", "V_erf", "cbm", b.Verf);
  S.Titel("Frachtbilanz");
  w("AFS63-Bemessungskonzentration", "C_b,AFS63", "mg/l", b.cbAFS);
  w("AFS63-Konzentration im Regenwasserabfluss", "C_R,AFS63", "mg/l", b.crAFS);
  w("AFS63-Entlastungskonzentration", "C_e,AFS63", "mg/l", b.ceAFS);
  w("spez. Entlastungsvolumen", "V_e", "cbm/ha", b.Ve);
  w("spez. RW-Volumen im KA-Ablauf", "V_R,K", "cbm/ha", b.Vrk);
  w("spez. AFS63-Stoffaustrag Regenwasser Kläranlage", "F_R,K,AFS63", "kg/ha", b.FrkAFS);
  w("spez. AFS63-Stoffaustrag Regenentlastungen", "F_e,AFS63", "kg/ha", b.FeAFS);
  w("gesamter spez. AFS63-Frachtaustrag", "F_R,aus,AFS63", "kg/ha", b.FgesAFS);
  w("spez. CSB-Stoffaustrag Regenwasser Kläranlage", "F_R,K,CSB", "kg/ha", b.FrkCSB);
  w("spez. CSB-Stoffaustrag Regenentlastungen", "F_e,CSB", "kg/ha", b.FeCSB);
  w("gesamter spez. CSB-Frachtaustrag", "F_R,aus,CSB", "kg/ha", b.FgesCSB);
}

void Klaerbeckenseite(TKontext& k) {
  TSeite& S = k.S;
  const auto& b = dynamic_cast<const TRKB&>(k.E);
  Kopf(k, "Regenklärbecken", k.E.Name());
  Hinweise(k);
  Bilanz(k);
  S.SetA();
  S.Titel("Drosselabfluß");
  S.Wert("Drosselabfluß", "QD", F2(b.QD), "l/s");
  S.Wert("Speichervolumen", "VOL", F2(b.Volumen), "m^3");
  S.Wert("max. Klärüberlauf", "maxQKÜ", F2(b.MaxQKUE), "l/s");
  Lage(k);
  Frachten(k);
}

void Klaerbeckenemission(TKontext& k) {
  TSeite& S = k.S;
  const auto& b = dynamic_cast<const TRKB&>(k.E);
  const TNET& N = k.M.Netz();
  const TSUM& I = k.Zufluss.SUM;
  Kopf(k, "RKB", k.E.Name());
  // The meanings of the design quantities are long: a wide first column.
  S.Setze({0.7, 3.9, 4.9, 5.6, 6.3, 7.0});
  S.Zeile({""}, 1, 0);
  S.Titel("Emissionsnachweis");
  auto anteil = [&](const char* bez, const char* sym, double v) {
    S.Rechts({2, 4});
    S.Zeile({bez, sym, F2(v), "ha", F2(v * Kehrwert(I.AEB) * 100), "%"}, 4);
    S.RechtsAus();
  };
  anteil("befestigte Einzugsgebietsfläche Kategorie I", "A_b,a,I", I.AEb1);
  anteil("befestigte Einzugsgebietsfläche Kategorie II", "A_b,a,II", I.AEb2);
  anteil("befestigte Einzugsgebietsfläche Kategorie III", "A_b,a,III", I.AEb3);
  S.Wert("Fremdwasserabfluss", "Q_F", F2(I.QF), "l/s");
  S.Titel("Konstanten");
  S.Wert("kritische Regenspende", "r_krit", F2(15), "l/(s*ha)");
  S.Wert("AFS63-Konzentration im Kläranlagenablauf", "C_K,AFS63", F2(N.ckAFS63), "mg/l");
  S.Wert("Abflussanteil Beckenüberlauf", "a_BÜ", F2(10), "%");
  S.Titel("Bemessung");
  S.Wert("gesamte befestigte Einzugsgebietsfläche", "A_b,a", F2(I.AEB), "ha");
  S.Wert("AFS63-Zulauffracht", "B_AFS63,zu", F2(I.BAFS63()), "kg/a");
  S.Wert("spezifische AFS63-Zulauffracht", "b_AFS63", F2(b.bAFS63), "kg/ha");
  S.Wert("Abflussanteil Beckenüberlauf", "a_BÜ", F2(b.aBUE * 100), "%");
  S.Wert("spez. AFS63-Einleitungsfracht Beckenüberlauf", "b_BÜ,AFS63", F2(b.bBUE), "kg/(ha*a)");
  S.Wert("erforderlicher AFS63-Gesamtwirkungsgrad", "ETA_ges,erf", F2(b.ETAges * 100), "%");
  S.Wert("maximale zulässige Oberflächenbeschickung", "q_A,zul", F2(b.qAb), "m/h");
  S.Wert("kritischer Abfluss", "Q_krit", F2(b.QKRIT), "l/s");
  S.Wert("kritischer Regenabfluss", "Q_R,krit", F2(b.QRkrit), "l/s");
  S.Wert("Bemessungszufluss", "Q_bem", F2(b.Qbem), "m³/h");
  S.Wert("erforderliche Beckenoberfläche", "A_erf", F2(b.Aerf), "m2");
  S.Wert("erforderliches Beckenvolumen", "V_erf", F2(b.SUM.SUMVerf), "m3");
  S.Titel("Frachtbilanz");
  S.Wert("AFS63-Regenwasserkonzentration", "C_R,AFS63", F2(b.cR), "mg/l");
  S.Wert("Sedimentationswirkungsgrad", "ETA_sed", F2(b.ETAsed * 100), "%");
  S.Wert("AFS63-Entlastungskonzentration Klärüberlauf", "C_e,KÜ", F2(b.cKUE), "mg/l");
  S.Wert("zulässige relative Entlastunsrate Klärüberlauf", "e0_KÜ", F2(b.e0), "%");
  S.Wert("spez. AFS63-Ablauffracht Kläranlage", "b_e,K", F2(b.bK), "kg/(ha*a)");
  S.Wert("spez. AFS63-Entlastungsfracht Klärüberlauf", "b_e,KÜ", F2(b.bKUE), "kg/(ha*a)");
  S.Wert("spez. AFS63-Einleitungsfracht gesamt", "b_e,ges", F2(b.beges), "kg/(ha*a)");
  S.Wert("AFS63-Einleitungsfracht gesamt", "B_e,ges", F2(b.SUM.AFS63e), "kg/a");
}

void Klaeranlagenseite(TKontext& k) {
  TSeite& S = k.S;
  const auto& kl = dynamic_cast<const TKLG&>(k.E);
  Kopf(k, "Kläranlage", k.E.Name());
  Hinweise(k);
  Bilanz(k);
  S.SetA();
  S.Wert("Summe erforderl. Speichervolumen", "Sum V", F2(kl.SUM.SUMVerf), "m^3");
  S.Titel("Ablauf-Konzentrationen bei Regenwetter");
  S.Wert("", "c BSB5", F2(kl.ETA.BSB), "mg/l");
  S.Wert("", "c NH4-N", F2(kl.ETA.NH4), "mg/l");
  S.Wert("", "c AFS63", F2(kl.ETA.AFS), "mg/l");
  S.Wert("", "c CSB", F2(kl.ETA.CSB), "mg/l");
  S.Wert("pH-Wert", "", F2(kl.ETA.PH), "-");
  S.Wert("Alkalinität", "", F2(kl.ETA.ALK), "mmol/l");
  Lage(k);
  Frachten(k);
}

void Massnahmenseite(TKontext& k) {
  TSeite& S = k.S;
  const auto& o = dynamic_cast<const TOMA&>(k.E);
  Kopf(k, "ortspezifische Maßnahme", k.E.Name());
  Hinweise(k);
  Bilanz(k);
  S.SetA();
  S.Titel("Bauwerksdadaten");
  S.Zeile({"Bauwerksart", "", o.Art}, 4);
  S.Wert("Drosselabfluß", "QD", F2(o.QD), "l/s");
  S.Wert("Speichervolumen", "VOL", F2(o.Volumen), "m^3");
  S.Wert("max. Klärüberlauf", "maxQKÜ", F2(o.MaxQKUE), "l/s");
  S.Wert("Überlaufhäufigkeit (Eingabe)", "n", F2(o.N), "1/a");
  S.Titel("Abbauleistung und Ablaufkonzentrationen");
  S.Wert("BSB5", "", F2(o.ETA.BSB * 100), "%");
  S.Wert("NH4-N", "", F2(o.ETA.NH4 * 100), "%");
  S.Wert("AFS63", "", F2(o.ETA.AFS * 100), "%");
  S.Wert("CSB", "", F2(o.ETA.CSB * 100), "%");
  S.Wert("pH-Wert", "", F2(o.ETA.PH), "-");
  S.Wert("Alkalinität", "", F2(o.ETA.ALK), "mmol/l");
  Lage(k);
  Frachten(k);
}

void Verbindungsseite(TKontext& k) {
  Kopf(k, "Connector", k.E.Name());
  Hinweise(k);
  Bilanz(k);
  Lage(k);
  Frachten(k);
}

// A bar chart of one quantity over the ten rates: a frame of 2.35 x 1.5
// inches at (x, y), one horizontal bar per rate, eleven scale marks from the
// largest value down to 0 and a grey band over the range that violates the
// requirement. A largest value of 0 draws the empty frame.
void Balken(TSeite& S, double x, double y, const std::string& titel, const double (&werte)[10],
            const char* format, double grenze, bool grenzeUnten) {
  const double b = 2.35, h = 1.5;
  S.Schrift(7);
  const std::string t = titel + "  [mg/l]";
  S.Text(x + (b - S.Breite(t)) / 2, y - S.HoeheM(), t);
  double max = 0;
  for (double v : werte)
    if (std::isfinite(v)) max = std::max(max, v);
  const double links = x + 0.3, breite = b - 0.4;  // the bars' area inside the frame
  const double oben = y + 0.05, hoehe = h - 0.3;
  S.P.save();
  S.P.setBrush(Qt::NoBrush);
  S.Linie(x, y, x + b, y);
  S.Linie(x + b, y, x + b, y + h);
  S.Linie(x + b, y + h, x, y + h);
  S.Linie(x, y + h, x, y);
  if (max > 0) {
    auto xw = [&](double v) { return links + breite * std::clamp(v / max, 0.0, 1.0); };
    // the range that violates the requirement
    const double g0 = grenzeUnten ? xw(0) : xw(grenze), g1 = grenzeUnten ? xw(grenze) : xw(max);
    // the grey band, the bars and the marks
    const double zeilenHoehe = hoehe / kAnzahlQr;
    if (g1 > g0) {
      S.P.setPen(Qt::NoPen);
      S.P.setBrush(QColor(220, 220, 220));
      S.FuelleRechteck(g0, oben, g1, oben + hoehe);
    }
    S.P.setPen(QPen(Qt::black, 0));
    S.Schrift(7);
    for (int i = 0; i < kAnzahlQr; ++i) {
      const double yy = oben + i * zeilenHoehe;
      char l[16];
      std::snprintf(l, sizeof l, i == 1 ? "%3.1f" : "%3.0f", kQr[size_t(i)]);
      std::string ls(l);
      for (char& c : ls)
        if (c == '.') c = ',';
      S.Text(x + 0.25 - S.Breite(ls), yy, ls);
      S.P.setBrush(QColor(96, 96, 96));
      if (std::isfinite(werte[i]) && werte[i] > 0)
        S.FuelleRechteck(links, yy + zeilenHoehe * 0.2, xw(werte[i]), yy + zeilenHoehe * 0.8);
    }
    // Marks from the largest value down to 0; a label that would run into
    // the one before it is left out.
    double frei = 1e9;
    for (int m = 0; m <= 10; ++m) {
      const double v = max * (10 - m) / 10;
      const double xx = xw(v);
      S.Linie(xx, oben + hoehe, xx, oben + hoehe + 0.04);
      {
        char l[24];
        std::snprintf(l, sizeof l, format, v);
        std::string ls(l);
        for (char& c : ls)
          if (c == '.') c = ',';
        while (!ls.empty() && ls.front() == ' ') ls.erase(ls.begin());
        const double w = S.Breite(ls);
        if (xx + w / 2 + 0.03 < frei) {
          S.Text(xx - w / 2, oben + hoehe + 0.05, ls);
          frei = xx - w / 2;
        }
      }
    }
  }
  S.P.restore();
}

std::string JaNein(bool b) {
  return b ? "ja" : "nein";
}

void Einleitungsseite(TKontext& k) {
  TSeite& S = k.S;
  const auto& e = dynamic_cast<const TEST&>(k.E);
  const TNET& N = k.M.Netz();
  const TParameterArray& P = k.Zufluss.AB;
  Kopf(k, "Einleitung", k.E.Name());
  Hinweise(k);
  S.SetA();
  // Rows of a quantity on the left and a flag or a second quantity on the right.
  // The right half starts at 4.85 with its meaning, its symbol at 6.25, its
  // value ending at 7.4 and its unit (or the flag's "ja"/"nein") at 7.5, so
  // that the long meanings of the right half keep clear of their symbols.
  auto paar = [&](const std::string& b1, const std::string& s1, const std::string& w1,
                  const std::string& e1, const std::string& b2, const std::string& s2,
                  const std::string& w2, const std::string& e2) {
    S.Setze({0.7, 2.8, 3.5, 4.2, 4.85, 6.25, 6.85, 7.5});
    S.Rechts({2, 6});
    S.Zeile({b1, s1, w1, e1, b2, s2, w2, e2}, 4);
    S.RechtsAus();
    S.SetA();
  };
  auto flagge = [&](const std::string& b1, const std::string& s1, const std::string& w1,
                    const std::string& e1, const std::string& b2, bool an) {
    S.Schrift(4);
    S.Box(7.3, S.y + S.HoeheM() / 2, an);
    paar(b1, s1, w1, e1, b2, "", "", "");
    S.Schrift(4);
    S.Text(7.5, S.y - S.HoeheM(), JaNein(an));
  };
  S.Titel("Hydrologische Kenndaten");
  flagge("natürliches Einzugsgebiet", "AEo", F2(e.AE0), "km^2", "Quelle", e.QUELL);
  flagge("Niedrigwasserspende", "MNq", F2(e._mnq), "l/(s*km^2)", "Quellauf", e.QUELLLAUF);
  flagge("pot. nat. Hochwasserspende", "Hq1 pnat", F2(e._HQ1pnat), "l/(s*km^2)",
         "naturnahes Temporärgewässer", e.TEMPORAER);
  flagge("mittl. Niedrigwasserabfluß", "MNQ", F2(e.MNQ()), "l/s", "organisches Gewässer",
         e.ORGANISCH);
  flagge("pot. nat. Hochwasserabfluß", "HQ1 pnat", F2(e.HQ1pnat()), "l/s",
         "im Einflussbereich staugeregelt", e.STAU);
  flagge("Quellabstand", "LQuell", F2(e.LQuell), "m", "Laichgewässer für Großsalmoniden",
         e.Salmoniden);
  S.Schrift(4);
  S.Box(S.sp[0] + 0.05, S.y + S.HoeheM() / 2, e.Lage == 1);
  S.Box(4.9, S.y + S.HoeheM() / 2, e.Lage == 0);
  paar("   Mittelgebirgsgewässer", "", "", "", "   Tieflandgewässer", "", "", "");
  S.Titel("Hydraulische Kenndaten");
  const TProfil& pr = e.Profil;
  paar("Sohle oben", "SOLO", F2(pr.SOLO), "mNN", "Abflußquerschnitt", "A voll", F2(pr.FVOLL),
       "m^2");
  paar("Sohle unten", "SOLU", F2(pr.SOLU), "mNN", "Abflußleistung", "Q voll", F0(pr.QVOLL), "l/s");
  paar("Länge", "L", F2(pr.LEN), "m", "Fließgeschwindigkeit", "v voll", F2(pr.VVOLL), "m/s");
  paar("Sohlgefälle", "IS", F2(pr.IS1() * 1000), "o/oo", "Fließtiefe (Begehung)", "hMNQ",
       F2(e.HMNQ), "m");
  paar("Sohlrauhigkeit", "kst", F2(pr.KB), "m^(1/3)/s", "Fließgeschw. (Begehung)", "vMNQ",
       F2(e.VMNQ), "m/s");
  paar("Sohlbreite", "bS", F2(pr.PB), "m", "Böschungsneigung", "n", F2(e.Neigung()), "1:");
  paar("mittl. Böschungshöhe", "hB", F2(pr.PH), "m", "", "", "", "");
  if (e.Drosselung)
    paar("Spiegelbreite bei hB", "BWSP", F2(pr.BWSP), "m", "Drosselabfluss", "QD", F2(e.QD), "l/s");
  else
    paar("Spiegelbreite bei hB", "BWSP", F2(pr.BWSP), "m", "ungedrosselter Abfluss", "", "", "");
  paar("Speichervolumen", "VOL", F2(e.Volumen), "m^3", "max. Abfluss Klärüberlauf", "QKÜ",
       F2(e.MaxQKUE), "l/s");
  S.Titel("Belastungsgrößen und Güte");
  const TParameter& cv = e.CV;
  paar("Summe der undurchlässigen Flächen", "Sum Au M3", F2(e.SUM.SUMAEBM3), "ha",
       "Gewässer-Güteklasse", "", e.GUETE, "");
  paar("Summe der Einleitungsabflüsse", "Sum QE1", F2(k.Zufluss.SUM.QBEM()), "l/s",
       "Struktur-Güteklasse", "", e.STRUKTUR, "");
  paar("Sauerstoff-Anfangsdefizit", "Do", F2(e.D0(N.cO2sat)), "%", "Eutrophierung", "", "", "");
  const int eu = std::atoi(e.EUTROPH.c_str());
  const char* eutroph[4] = {"keine", "zu vermuten", "in Abschnitten", "deutlich erkennbar"};
  const char* wbp[3] = {"nicht erhoben", "Verfahren 1", "Verfahren 2"};
  const std::string vor[5][3] = {{"Vorbelastung BSB5", F2(cv.cBSB()), "mg/l"},
                                 {"Vorbelastung NH4-N", F2(cv.cNH4()), "mg/l"},
                                 {"Vorbelastung AFS63", F2(cv.cAFS()), "mg/l"},
                                 {"pH-Wert", F2(cv.cPH()), "-"},
                                 {"Alkalinität", F2(cv.cALK()), "mmol/l"}};
  for (int i = 0; i < 5; ++i) {
    S.Schrift(4);
    std::string rechtsText;
    if (i < 4) {
      S.Box(4.9, S.y + S.HoeheM() / 2, eu == i);
      rechtsText = std::string("   ") + eutroph[i];
    }
    paar(vor[i][0], "", vor[i][1], vor[i][2], rechtsText, "", "", "");
  }
  paar("", "", "", "", "Wiederbesiedlungspotenzial", "", "", "");
  for (int i = 0; i < 3; ++i) {
    S.Schrift(4);
    S.Box(4.9, S.y + S.HoeheM() / 2, e.WBP_ERHOBEN == i);
    paar("", "", "", "", std::string("   ") + wbp[i], "", "", "");
  }
  Lage(k);
  // The river per rate.
  S.SetC();
  S.Titel("Abfluß im Gewässer");
  S.Rechts({3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  std::vector<std::string> kopf{"Regenabflußspende", "qrab", "l/(s*ha)"};
  for (int i = 0; i < kAnzahlQr; ++i) kopf.push_back(QrKopf(i));
  S.Zeile(kopf, 5, 0);
  auto reihe = [&](const std::string& bez, const std::string& sym, const std::string& einheit,
                   auto wert, bool erste) {
    std::vector<std::string> s{bez, sym, einheit};
    for (int i = 0; i < kAnzahlQr; ++i) s.push_back(wert(i));
    S.Zeile(s, 5, erste ? 0 : 1);
  };
  const double mnq = e.MNQ();
  // BOD and ammonium in the river: the point's outflow plus the background.
  auto gewBSB = [&](int i) { return e.AB[i].BSB + cv.cBSB() * mnq; };
  auto gewNH4 = [&](int i) { return e.AB[i].NH4 + cv.cNH4() * mnq; };
  reihe(
      "Einleitungsabfluß", "QE", "l/s", [&](int i) { return F2(P[i].Q); }, true);
  reihe(
      "Einleitungsfrachten", "BSB5", "mg/s", [&](int i) { return F0(P[i].BSB); }, true);
  reihe(
      "", "NH4-N", "mg/s", [&](int i) { return F0(P[i].NH4); }, false);
  reihe(
      "", "AFS", "mg/s", [&](int i) { return F0(P[i].AFS); }, false);
  reihe(
      "Gewässerabfluß", "Q", "l/s", [&](int i) { return F2(e.CG[i].Q); }, true);
  reihe(
      "Gewässerfracht", "BSB5", "mg/s", [&](int i) { return F0(gewBSB(i)); }, true);
  reihe(
      "", "NH4-N", "mg/s", [&](int i) { return F0(gewNH4(i)); }, false);
  reihe(
      "", "AFS63", "mg/s", [&](int i) { return F0(e.CG[i].AFS); }, false);
  reihe(
      "Gewässerkonzentr.", "BSB5", "mg/l",
      [&](int i) { return F2(gewBSB(i) * Kehrwert(e.CG[i].Q)); }, true);
  reihe(
      "", "NH4-N", "mg/l", [&](int i) { return F2(gewNH4(i) * Kehrwert(e.CG[i].Q)); }, false);
  reihe(
      "", "AFS", "mg/l", [&](int i) { return F2(e.CG[i].cAFS()); }, false);
  reihe(
      "pH-Wert", "", "-", [&](int i) { return F2(e.CG[i].cPH()); }, true);
  reihe(
      "Alkalinität", "", "mmol/l", [&](int i) { return F2(e.CG[i].cALK()); }, true);
  const TAbflussArray& A = e.AP;
  reihe(
      "Fließtiefe", "hG", "m", [&](int i) { return F2(A[i].H); }, true);
  reihe(
      "Durchflußquerschnitt", "AG", "m^2", [&](int i) { return F2(A[i].A); }, true);
  reihe(
      "Fließgeschwindigkeit", "vG", "m/s", [&](int i) { return F2(A[i].V); }, true);
  reihe(
      "mittlere Fließtiefe", "hm", "m", [&](int i) { return F2(A[i].HM); }, true);
  reihe(
      "Wiederbelüftungsrate", "K2", "h^-1", [&](int i) { return F2(A[i].K2 / 24); }, true);
  reihe(
      "kritische Fließzeit", "tkrit", "h", [&](int i) { return F2(A[i].Tc * 24); }, true);
  reihe(
      "kritisches Defizit", "Dkrit", "mg/l", [&](int i) { return F2(A[i].Dc); }, true);
  reihe(
      "min. Sauerstoffgehalt", "ckrit", "mg/l", [&](int i) { return F2(A[i].cO2); }, true);
  reihe(
      "NH3-N-Konzentration", "cNH3-N", "mg/l",
      [&](int i) { return FormatiereBild(A[i].cNH3, "###,##0.000"); }, true);
  S.RechtsAus();
  // The three bar charts side by side.
  double o2[10], nh3[10], afs[10];
  for (int i = 0; i < kAnzahlQr; ++i) {
    o2[i] = A[i].cO2;
    nh3[i] = A[i].cNH3;
    afs[i] = e.CG[i].cAFS();
  }
  const double y = S.y + 0.3;
  const double x0 = S.sp[0] + 0.05;
  Balken(S, x0, y, "O2", o2, "%4.1f", 5, true);
  Balken(S, x0 + 2.5, y, "NH3-N", nh3, "%4.2f", 0.1, false);
  Balken(S, x0 + 4.95, y, "AFS", afs, "%4.0f", std::numeric_limits<double>::infinity(), false);
  S.y = y + 1.5 + 0.3;
  S.SetB();
}

void Einleitungsfrachten(TKontext& k) {
  TSeite& S = k.S;
  const auto& e = dynamic_cast<const TEST&>(k.E);
  Kopf(k, "Einleitung", k.E.Name());
  S.SetA();
  S.Titel("Jahresfrachten AFS63");
  S.Wert("zulässige Abflussfracht", "AFS63_zul", F2(e.AFSzulaessig), "kg/a");
  S.Wert("vorhandene Abflussfracht", "AFS63_vorh", F2(e.AFSLast), "kg/a");
  S.Wert("zulässige Einleitungsfracht", "AFS63_E_zul", F2(e.AFSezul), "kg/a");
  S.Wert("vorhandene Einleitungsfracht", "AFS63_E_vorh", F2(k.Zufluss.SUM.AFS63r), "kg/a");
  S.Titel("Hydraulische Belastung");
  S.Wert("HQ2pnat / HQ1pnat - 1", "x", F2(e.X), "-");
  S.Wert("Summe zul. Einleitungsabflüsse", "QE zul", F2(e.QE1zul()), "l/s");
  S.Wert("Summe vorh. Einleitungsabflüsse", "Sum QE1", F2(k.Zufluss.SUM.QBEM()), "l/s");
  S.Rechts({2});
  S.Zeile({"Gewässerabfluß", "Q Gew", F2(e.HQ1pnat() * (1 + e.X)), "l/s",
           "= " + F2(1 + e.X) + " * HQ1 p nat"},
          4);
  S.RechtsAus();
  S.Wert("Summe vorh. Einleitungsabflüsse unten", "Sum QE1_u", F2(e.SUM.QBEM()), "l/s");
  S.Titel("Wiederbesiedlungspotenzial");
  const double n = e.WBP.WBP1N;
  S.Zeile({n == 2   ? "hoch "
           : n == 1 ? "mittel "
                    : "gering ",
           "Überlaufhäufigkeit", "n = " + F2(n) + " /a"},
          4);
  auto klasse = [](int s) { return s <= 0 ? std::string("?") : std::to_string(s); };
  S.Titel("Verhältnisse oberhalb der Einleitung");
  S.Zeile({"Strukturgüte", "(nurKriterien Querprofil und Sohlstruktur)", "",
           klasse(e.WBP.WBP1StrukturO)},
          4);
  S.Zeile({"Zufluß Gewässer mit Strukturgüte 1,2,3,4 oder 5:", "", "", JaNein(e.WBP.WBP1ZuflussO)},
          4);
  S.Titel("Verhältnisse unterhalb der Einleitung");
  S.Zeile({"Strukturgüte", "(nurKriterien Querprofil und Sohlstruktur)", "",
           klasse(e.WBP.WBP1StrukturU)},
          4);
  S.Zeile({"Zufluß Gewässer mit Strukturgüte 1,2 oder 3:", "", "", JaNein(e.WBP.WBP1ZuflussU)}, 4);
  const char* intensitaet[4] = {"keine", "gering", "mittel", "hoch"};
  auto in = [&](int i) { return std::string(intensitaet[std::clamp(i, 0, 3)]); };
  S.Titel("Hindernisse");
  S.Zeile({"Auf- und Abwanderhindernisse", "", "", in(e.WBP.WBP1AufUndAb)}, 4);
  S.Zeile({"Aufwanderhindernisse", "", "", in(e.WBP.WBP1Aufwander)}, 4);
}

}  // namespace

void ZeichneNachweisseite(QPainter& p, TM3Model& m, const std::vector<TCadShape*>& liste, int n,
                          double ppiY, double ppiX, int teil, const TNachweisOptionen& o) {
  if (n < 1 || n > static_cast<int>(liste.size())) return;
  TCadShape* shape = liste[size_t(n - 1)];
  TElement* e = TM3Model::ElementOf(shape);
  if (!e) return;
  const std::string typ = shape->Typ();
  if (typ == "REG") return;  // a rain gauge: an empty page without footer
  p.save();
  p.setClipping(false);
  TSeite S(p, ppiY, ppiX);
  m.HoleZufluss(shape);
  TKontext k{S, m, *e, m.Zufluss(), o};
  const bool zweite = teil == 2 && ZweiSeiten(typ);
  if (typ == "NET")
    Projektseite(k);
  else if (typ == "KEM" || typ == "KES" || typ == "KER")
    zweite ? Flaechenseite(k) : Gebietsseite(k);
  else if (typ == "RU")
    Ueberlaufseite(k);
  else if (typ == "RUB")
    zweite ? Beckenemission(k) : Beckenseite(k);
  else if (typ == "RKB")
    zweite ? Klaerbeckenemission(k) : Klaerbeckenseite(k);
  else if (typ == "KLG")
    Klaeranlagenseite(k);
  else if (typ == "OMA")
    Massnahmenseite(k);
  else if (typ == "EST")
    zweite ? Einleitungsfrachten(k) : Einleitungsseite(k);
  else if (typ == "CON")
    Verbindungsseite(k);
  else
    Gebietsseite(k);
  Fuss(S, m, n, static_cast<int>(liste.size()));
  p.restore();
}

}  // namespace t21
