#include "report/ergebnisbericht.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPageSize>
#include <QPdfWriter>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "report/ergebnisdiagramme.h"

namespace t21 {

namespace {

const std::vector<TErgebnisAbschnitt> kAbschnitte{
    {1, "Protokoll", "Fehler, Warnungen und Hinweise", "CDSFehler"},
    {2, "Protokoll", "Report der Simulation", "CDSReport"},
    {3, "Protokoll", "Niederschlags-Abfluss-Ereignisse", "CDSEreignisse"},
    {5, "Eingabedaten", "System", "CDSBilSystem"},
    {6, "Eingabedaten", "Netze Trockenwetter", "CDSKEZTW"},
    {7, "Eingabedaten", "Netze Regenwasser", "CDSKEZRW"},
    {8, "Eingabedaten", "Netze Konzentrationen", "CDSKEZC"},
    {9, "Eingabedaten", "Netze Schmutzwasser-Ganglinien", "TWGanglinien"},
    {10, "Eingabedaten", "Netze Fremdwasser-Ganglinien", "FWGanglinien"},
    {11, "Eingabedaten", "Einzugsgebiete", "CDSBilFlaechen"},
    {12, "Eingabedaten", "Bauwerke", "CDSBilBauwerke"},
    {13, "Eingabedaten", "Maßnahmen Abbauleistung", "CDSOMAETA"},
    {14, "Eingabedaten", "Kläranlagen Abbauleistung", "CDSKLGETA"},
    {15, "Eingabedaten", "Gewässer Hydrologie", "CDSESTHydrologie"},
    {16, "Eingabedaten", "Gewässer Hydraulik", "CDSESTHydraulik"},
    {17, "Eingabedaten", "Gewässer Güte", "cdsEstGuete"},
    {18, "Eingabedaten", "Wiederbesiedlunspotential Verf. 2", "CDSWBP"},
    {19, "Eingabedaten", "Wiederbesiedlunspotential Verf. 1", "CDSWBP1"},
    {20, "Eingabedaten", "Regenschreiber", "CDSREG1"},
    {22, "Ergebnisse", "Hydrologie Einzugsgebiete", "CDSSumKEZ"},
    {23, "Ergebnisse", "Hydrologie QTZ-A 3-2", "CDSSumA128"},
    {24, "Ergebnisse", "Hydrologie Maßnahmen", "CDSSumOMA"},
    {25, "Ergebnisse", "Hydrologie Gewässer", "CDSSumEST"},
    {26, "Ergebnisse", "Hydrologie Kläranlagen", "CDSSUMKLG"},
    {27, "Ergebnisse", "Hydrologie Regenschreiber", "CDSSumREG"},
    {29, "Ergebnisse", "Frachten Bauwerke", "CDSFrachtenBauwerke"},
    {30, "Ergebnisse", "Frachten Gewässer", "CDSFrachtenGewaesser"},
    {31, "Ergebnisse", "Ereignisse Bauwerke", "CDSEreignisseBauwerke"},
    {32, "Ergebnisse", "Ereignisse Gewässer", "CDSEreignisseGewaesser"},
    {34, "Ergebnisse", "Extrem- und Mittelwerte", "CDSESTEreignisse"},
    {36, "Ergebnisse", "Auswertung Hydrologie", "CDSHDAbfluss"},
    {37, "Ergebnisse", "Auswertung Stoffe", "CDSHDAuswertung"},
    {39, "Eingabedaten", "Bewirtschaftungs-Scripts", "CDSScripts"},
};

// Landscape A4 less the margins (20 mm left, 10 mm right) in screen pixels.
constexpr int kBreite = static_cast<int>((297 - 30) / 25.4 * kBildschirmPpi);
constexpr double kPunkte = 7;

std::string DatumZeit(double t) {
  const QDateTime d = QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)
                          .addMSecs(static_cast<qint64>(std::llround(t * 86400000.0)));
  return d.toString("dd.MM.yyyy hh:mm:ss").toStdString();
}

// A value as the report prints it.
std::string Feldtext(const TFeld& feld, const TWert& w) {
  if (IstNull(w)) return {};
  if (feld.Typ == TFeldTyp::Date) return DatumZeit(AlsZahl(w));
  if (feld.Typ == TFeldTyp::Float)
    return std::isfinite(AlsZahl(w)) ? FormatiereBild(AlsZahl(w), "###,##0.000") : "-";
  if (feld.Typ == TFeldTyp::Boolean) return AlsBool(w) ? "Ja" : "Nein";
  return AlsText(w);
}

TBandControl Text(int left, int top, int width, const std::string& caption, bool fett = false,
                  Qt::Alignment a = Qt::AlignLeft) {
  TBandControl k;
  k.Caption = caption;
  k.Left = left;
  k.Top = top;
  k.Width = width;
  k.Height = 12;
  k.Punkte = kPunkte;
  k.Fett = fett;
  k.Ausrichtung = a;
  return k;
}

TBandControl Feld(int left, int top, int width, const std::string& feld, bool fett = false,
                  Qt::Alignment a = Qt::AlignRight) {
  TBandControl k = Text(left, top, width, {}, fett, a);
  k.Art = TControlArt::DBText;
  k.DataField = feld;
  return k;
}

// The labels of "Auswertung Stoffe" whose caption or visibility depends on
// the row's parameter; their tags name them (a label with another tag than
// those of the page header prints its caption).
enum : int {
  kTagTitelExtrem = 101,  // "Verletzungen Extremgrenzwert" / AFS
  kTagEG,                 // "EG" / "kg/a"
  kTagAnzahl,             // "Anzahl" / "mg/l"
  kTagKlassen,            // shown for O2 and NH3 only
  kTagAFS                 // shown for AFS only
};

}  // namespace

const std::vector<TErgebnisAbschnitt>& ErgebnisAbschnitte() {
  return kAbschnitte;
}

std::vector<int> AbschnitteAus(const std::string& text, std::vector<std::string>& unbekannt) {
  std::vector<int> r;
  std::string t = text;
  std::replace(t.begin(), t.end(), ',', ';');
  std::istringstream ein(t);
  for (std::string s; std::getline(ein, s, ';');) {
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    if (s.empty()) continue;
    bool gefunden = false;
    for (const TErgebnisAbschnitt& a : kAbschnitte)
      if (std::to_string(a.Schluessel) == s) {
        r.push_back(a.Schluessel);
        gefunden = true;
      }
    if (!gefunden) unbekannt.push_back(s);
  }
  return r;
}

// One column block of a section: its bands and data.
struct TErgebnisbericht::TTeil {
  TDatenmenge Daten;
  TBand Kopf, Spaltenkopf, Zeile, Fuss;
  std::string Titel, Gruppe;
  int Schluessel = 0;
  bool MitSpaltenkopf = true;
  // Assessment sections: the element and parameter of each printed row, the
  // charts of the row being printed, and what sets them for a row.
  std::vector<std::string> Elemente, Parameter;
  TDiagrammDaten Diagramme[2];
  std::function<void(int)> VorZeile;
};

namespace {

// The page header of a section: title, group, project, page number, a rule.
void Seitenkopf(TBand& kopf, const std::string& projekt) {
  kopf.Name = "Seitenkopf";
  kopf.Height = 44;
  TBandControl titel;
  titel.Tag = 13;
  titel.Left = 0;
  titel.Top = 0;
  titel.Width = kBreite / 2;
  titel.Height = 20;
  titel.Punkte = 11;
  titel.Fett = true;
  kopf.Controls.push_back(titel);
  TBandControl gruppe;
  gruppe.Tag = 14;
  gruppe.Left = 0;
  gruppe.Top = 22;
  gruppe.Width = kBreite / 2;
  gruppe.Height = 14;
  kopf.Controls.push_back(gruppe);
  TBandControl name;
  name.Caption = "Tamkor21 – Langzeitsimulation" + (projekt.empty() ? "" : " – " + projekt);
  name.Left = kBreite / 2;
  name.Top = 0;
  name.Width = kBreite / 2;
  name.Height = 14;
  name.Ausrichtung = Qt::AlignRight;
  kopf.Controls.push_back(name);
  TBandControl seite;
  seite.Tag = 2;
  seite.Left = kBreite - 80;
  seite.Top = 22;
  seite.Width = 80;
  seite.Height = 14;
  seite.Ausrichtung = Qt::AlignRight;
  kopf.Controls.push_back(seite);
  TBandControl linie;
  linie.Art = TControlArt::Shape;
  linie.Left = 0;
  linie.Top = 40;
  linie.Width = kBreite;
  linie.Height = 1;
  kopf.Controls.push_back(linie);
}

}  // namespace

TErgebnisbericht::TErgebnisbericht(const TDataModule2& dm, const TErgebnisberichtOptionen& o)
    : FProjekt(o.Projekt), FDm(dm), FLogarithmisch(o.Logarithmisch) {
  TDataModule2& ergebnisse = const_cast<TDataModule2&>(dm);
  const QFont schrift = Schrift(Schriftfamilie("Arial"), kPunkte, kBildschirmPpi);
  const QFont fett = Schrift(Schriftfamilie("Arial"), kPunkte, kBildschirmPpi, true);
  const QFontMetrics m(schrift), mf(fett);
  for (const TErgebnisAbschnitt& a : kAbschnitte) {
    if (!o.Abschnitte.empty() &&
        std::find(o.Abschnitte.begin(), o.Abschnitte.end(), a.Schluessel) == o.Abschnitte.end())
      continue;
    const TTabelle* t = ergebnisse.Tabelle(a.Tabelle);
    for (const TTabelle* w : o.Weitere)
      if (!t && w && w->Schema().Name == a.Tabelle) t = w;
    if (!t) continue;  // a table the results do not hold: nothing to print
    const auto f = o.Filter.find(t->Schema().Name);
    std::vector<int> zeilen;
    for (int z = 0; z < t->Anzahl(); ++z)
      if (f == o.Filter.end() || f->second(*t, z)) zeilen.push_back(z);
    if (a.Schluessel == 36 || a.Schluessel == 37) {
      Bewertungsteil(a, *t, zeilen);
      continue;
    }
    const TSchema& s = t->Schema();
    // Column widths from the label and the texts.
    const int n = t->Spalten();
    std::vector<std::vector<std::string>> texte(zeilen.size(), std::vector<std::string>(n));
    std::vector<int> breite(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      const TFeld& feld = s.Felder[size_t(i)];
      int b = mf.horizontalAdvance(QString::fromStdString(feld.Name));
      for (size_t k = 0; k < zeilen.size(); ++k) {
        const std::string x = Feldtext(feld, t->Wert(zeilen[k], i));
        texte[k][size_t(i)] = x;
        b = std::max(b, m.horizontalAdvance(QString::fromStdString(x)));
      }
      breite[size_t(i)] = std::clamp(b + 8, 24, kBreite / 2);
    }
    // Column blocks that fit the page; a block after the first repeats the
    // name column.
    const int name = [&] {
      for (const char* k : {"Name", "Element", "Regenschreiber"})
        if (s.Index(k) >= 0) return s.Index(k);
      return -1;
    }();
    std::vector<std::vector<int>> bloecke;
    std::vector<int> block;
    int x = 0;
    for (int i = 0; i < n; ++i) {
      if (!block.empty() && x + breite[size_t(i)] > kBreite) {
        bloecke.push_back(block);
        block.clear();
        x = 0;
        if (name >= 0 && name != i) {
          block.push_back(name);
          x = breite[size_t(name)];
        }
      }
      block.push_back(i);
      x += breite[size_t(i)];
    }
    if (!block.empty()) bloecke.push_back(block);
    for (size_t bi = 0; bi < bloecke.size(); ++bi) {
      auto teil = std::make_unique<TTeil>();
      teil->Schluessel = a.Schluessel;
      teil->Gruppe = a.Gruppe;
      teil->Titel = std::string(a.Titel) + (bi > 0 ? " (Fortsetzung)" : "");
      TDatenmenge& d = teil->Daten;
      for (int i : bloecke[bi]) {
        d.Felder.push_back(s.Felder[size_t(i)].Name);
        d.Formate.emplace_back();
      }
      for (size_t k = 0; k < zeilen.size(); ++k) {
        std::vector<TDatenmenge::TFeld> z;
        for (int i : bloecke[bi]) z.emplace_back(texte[k][size_t(i)]);
        d.Zeilen.push_back(std::move(z));
      }
      Seitenkopf(teil->Kopf, FProjekt);

      teil->Spaltenkopf.Name = "Spaltenkopf";
      teil->Spaltenkopf.Height = 16;
      teil->Zeile.Name = "Zeile";
      teil->Zeile.Height = 13;
      teil->Zeile.Daten = &teil->Daten;
      int left = 0;
      for (int i : bloecke[bi]) {
        const TFeld& feld = s.Felder[size_t(i)];
        const bool zahl = feld.Typ == TFeldTyp::Float || feld.Typ == TFeldTyp::Integer;
        TBandControl k;
        k.Caption = feld.Name;
        k.Left = left;
        k.Top = 0;
        k.Width = breite[size_t(i)] - 4;
        k.Height = 14;
        k.Punkte = kPunkte;
        k.Fett = true;
        k.Ausrichtung = zahl ? Qt::AlignRight : Qt::AlignLeft;
        teil->Spaltenkopf.Controls.push_back(k);
        TBandControl w = k;
        w.Art = TControlArt::DBText;
        w.Caption.clear();
        w.DataField = feld.Name;
        w.Fett = false;
        w.Height = 12;
        teil->Zeile.Controls.push_back(w);
        left += breite[size_t(i)];
      }
      FTeile.push_back(std::move(teil));
    }
  }
}

void TErgebnisbericht::Bewertungsteil(const TErgebnisAbschnitt& a, const TTabelle& t,
                                      const std::vector<int>& zeilen) {
  auto teil = std::make_unique<TTeil>();
  TTeil& tl = *teil;
  tl.Schluessel = a.Schluessel;
  tl.Gruppe = a.Gruppe;
  tl.Titel = a.Titel;
  Seitenkopf(tl.Kopf, FProjekt);
  tl.Spaltenkopf.Name = "Spaltenkopf";
  tl.Zeile.Name = "Zeile";
  tl.Zeile.Daten = &tl.Daten;
  const TSchema& s = t.Schema();
  for (int z : zeilen) {
    tl.Elemente.push_back(AlsText(t.Wert(z, "Element")));
    tl.Parameter.push_back(s.Index("Parameter") >= 0 ? AlsText(t.Wert(z, "Parameter")) : "");
  }
  TTeil* p = &tl;
  TBandControl chart;
  chart.Art = TControlArt::Chart;
  if (a.Schluessel == 36) {
    // The table row, its flood statistics below.
    const int n = t.Spalten();
    const int breite = kBreite / std::max(n, 1);
    tl.Spaltenkopf.Height = 16;
    for (int i = 0; i < n; ++i) {
      const TFeld& feld = s.Felder[size_t(i)];
      tl.Daten.Felder.push_back(feld.Name);
      tl.Daten.Formate.emplace_back();
      const bool links = feld.Typ == TFeldTyp::String;
      const Qt::Alignment al = links ? Qt::AlignLeft : Qt::AlignRight;
      const int w = i == 0 ? breite * 2 : breite;
      const int x = i == 0 ? 0 : breite * (i + 1);
      if (x + w > kBreite) break;
      tl.Spaltenkopf.Controls.push_back(Text(x, 0, w - 4, feld.Name, true, al));
      tl.Zeile.Controls.push_back(Feld(x, 0, w - 4, feld.Name, false, al));
    }
    for (int z : zeilen) {
      std::vector<TDatenmenge::TFeld> r;
      for (int i = 0; i < n; ++i) r.emplace_back(Feldtext(s.Felder[size_t(i)], t.Wert(z, i)));
      tl.Daten.Zeilen.push_back(std::move(r));
    }
    chart.Left = 0;
    chart.Top = 18;
    chart.Width = kBreite / 2;
    chart.Height = 270;
    const bool log = FLogarithmisch;
    chart.Zeichnen = [this, p, log, w = chart.Width, h = chart.Height](QPainter& q,
                                                                       const QRect& r) {
      ZeichneDiagramm(q, Flaeche(r, w, h), p->Diagramme[0], log);
    };
    tl.Zeile.Controls.push_back(chart);
    tl.Zeile.Height = 18 + 270 + 14;
    tl.VorZeile = [this, p](int z) {
      p->Diagramme[0] = z >= 0 && z < int(p->Elemente.size())
                            ? HochwasserDaten(FDm, p->Elemente[size_t(z)])
                            : TDiagrammDaten{};
    };
    FTeile.push_back(std::move(teil));
    return;
  }
  // "Auswertung Stoffe": per row the element and parameter, the class table
  // (O2, NH3) or the long-term loads and concentrations (AFS), and the two
  // charts of the parameter.
  tl.MitSpaltenkopf = false;
  std::vector<std::string> felder{"Element", "Parameter"};
  for (const char* g : {"G", "E", "M"})
    for (int i = 1; i <= 9; ++i) felder.push_back(g + std::to_string(i));
  for (const std::string& f : felder) {
    tl.Daten.Felder.push_back(f);
    tl.Daten.Formate.emplace_back();
  }
  for (int z : zeilen) {
    std::vector<TDatenmenge::TFeld> r;
    for (const std::string& f : felder) {
      const int i = s.Index(f);
      if (i < 0) {
        r.emplace_back(std::string());
        continue;
      }
      const TWert& w = t.Wert(z, i);
      if (s.Felder[size_t(i)].Typ == TFeldTyp::Float)
        r.emplace_back(IstNull(w)                  ? std::string()
                       : std::isfinite(AlsZahl(w)) ? FormatiereBild(AlsZahl(w), "###,##0.00")
                                                   : std::string("-"));
      else
        r.emplace_back(AlsText(w));
    }
    tl.Daten.Zeilen.push_back(std::move(r));
  }
  std::vector<TBandControl>& c = tl.Zeile.Controls;
  c.push_back(Feld(0, 0, 260, "Element", true, Qt::AlignLeft));
  c.push_back(Feld(264, 0, 80, "Parameter", true, Qt::AlignLeft));
  auto markiert = [](TBandControl k, int tag) {
    k.Tag = tag;
    return k;
  };
  // Column positions of the class table.
  const int x0 = 0, x1 = 96, w = 52;
  auto spalte = [&](int i) { return x1 + i * w; };
  c.push_back(markiert(Text(x0, 20, 360, "Verletzungen Extremgrenzwert", true), kTagTitelExtrem));
  c.push_back(markiert(Text(x0, 34, 92, "Häufigkeitsklasse", true), kTagKlassen));
  c.push_back(markiert(Text(spalte(0), 34, w - 4, "EG", true, Qt::AlignRight), kTagEG));
  c.push_back(markiert(Text(spalte(1), 34, w - 4, "Anzahl", true, Qt::AlignRight), kTagAnzahl));
  c.push_back(markiert(Text(spalte(2), 34, w - 4, "n", true, Qt::AlignRight), kTagKlassen));
  c.push_back(markiert(Text(spalte(3), 34, w - 4, "n_zul", true, Qt::AlignRight), kTagKlassen));
  const char* klassen[3] = {"selten", "mittel", "häufig"};
  for (int k = 0; k < 3; ++k) {
    const int y = 48 + k * 14;
    c.push_back(markiert(Text(x0, y, 92, klassen[k]), kTagKlassen));
    const std::string g = "G" + std::to_string(1 + 3 * k);
    c.push_back(markiert(Feld(spalte(0), y, w - 4, g), kTagKlassen));
    for (int j = 0; j < 3; ++j)
      c.push_back(markiert(Feld(spalte(1 + j), y, w - 4, "E" + std::to_string(1 + 3 * k + j)),
                           kTagKlassen));
  }
  c.push_back(markiert(Text(x0, 96, 360, "Verletzungen Mittelwert", true), kTagKlassen));
  c.push_back(markiert(Text(x0, 110, 92, "Häufigkeitsklasse", true), kTagKlassen));
  const char* mittel[5] = {"BG", "m", "Anzahl", "n", "n_zul"};
  for (int j = 0; j < 5; ++j)
    c.push_back(
        markiert(Text(spalte(j), 110, w - 4, mittel[j], true, Qt::AlignRight), kTagKlassen));
  for (int k = 0; k < 3; ++k) {
    const int y = 124 + k * 14;
    c.push_back(markiert(Text(x0, y, 92, klassen[k]), kTagKlassen));
    c.push_back(markiert(Feld(spalte(0), y, w - 4, "G" + std::to_string(2 + 3 * k)), kTagKlassen));
    c.push_back(markiert(Feld(spalte(1), y, w - 4, "G" + std::to_string(3 + 3 * k)), kTagKlassen));
    for (int j = 0; j < 3; ++j)
      c.push_back(markiert(Feld(spalte(2 + j), y, w - 4, "M" + std::to_string(1 + 3 * k + j)),
                           kTagKlassen));
  }
  // AFS: the mean of the period and the limit, as load and concentration.
  c.push_back(markiert(Text(x0, 48, 92, "Jahresmittelwert"), kTagAFS));
  c.push_back(markiert(Feld(spalte(0), 48, w - 4, "E1"), kTagAFS));
  c.push_back(markiert(Feld(spalte(1), 48, w - 4, "E3"), kTagAFS));
  c.push_back(markiert(Text(x0, 62, 92, "Grenzwert"), kTagAFS));
  c.push_back(markiert(Feld(spalte(0), 62, w - 4, "G1"), kTagAFS));
  c.push_back(markiert(Feld(spalte(1), 62, w - 4, "G3"), kTagAFS));
  const int cx = 372, cb = (kBreite - cx) / 2 - 4, ch = 250;
  for (int i = 0; i < 2; ++i) {
    chart.Left = cx + i * (cb + 8);
    chart.Top = 18;
    chart.Width = cb;
    chart.Height = ch;
    chart.Zeichnen = [this, p, i, w = chart.Width, h = chart.Height](QPainter& q, const QRect& r) {
      ZeichneDiagramm(q, Flaeche(r, w, h), p->Diagramme[i]);
    };
    c.push_back(chart);
  }
  TBandControl linie;
  linie.Art = TControlArt::Shape;
  linie.Left = 0;
  linie.Top = 18 + ch + 8;
  linie.Width = kBreite;
  linie.Height = 1;
  linie.Stift = QPen(QColor(0x80, 0x80, 0x80), 0);
  c.push_back(linie);
  tl.Zeile.Height = 18 + ch + 14;
  tl.VorZeile = [this, p](int z) {
    const bool da = z >= 0 && z < int(p->Elemente.size());
    const int parameter = da ? ParameterNummer(p->Parameter[size_t(z)]) : 0;
    p->Diagramme[0] = p->Diagramme[1] = TDiagrammDaten{};
    if (parameter > 0)
      DosisDaten(FDm, p->Elemente[size_t(z)], parameter, p->Diagramme[0], p->Diagramme[1]);
    // The captions of this row's parameter, whatever the row before showed.
    const bool afs = parameter == 3;
    for (TBandControl& k : p->Zeile.Controls) switch (k.Tag) {
        case kTagTitelExtrem:
          k.Caption =
              afs ? "Gewässerbelastung im langjährigen Mittel" : "Verletzungen Extremgrenzwert";
          break;
        case kTagEG:
          k.Caption = afs ? "kg/a" : "EG";
          break;
        case kTagAnzahl:
          k.Caption = afs ? "mg/l" : "Anzahl";
          break;
        case kTagKlassen:
          k.Visible = !afs;
          break;
        case kTagAFS:
          k.Visible = afs;
          break;
        default:
          break;
      }
  };
  FTeile.push_back(std::move(teil));
}

TErgebnisbericht::~TErgebnisbericht() = default;

QRectF TErgebnisbericht::Flaeche(const QRect& r, int breite, int hoehe) const {
  // Printing replays the chart's picture scaled from screen pixels to the
  // device: the chart is drawn in the control's own size then.
  if (FDruck) return QRectF(0, 0, breite, hoehe);
  return QRectF(r);
}

void TErgebnisbericht::Fuelle(TReport& r) {
  r.Orientation = TAusrichtung::Querformat;
  r.MarginTop = 20;
  r.MarginLeft = 20;
  for (const auto& t : FTeile) {
    TSingleReport* s =
        r.AddBand(t->Gruppe, t->Titel, nullptr, nullptr, &t->Kopf, nullptr,
                  t->MitSpaltenkopf ? &t->Spaltenkopf : nullptr, nullptr, &t->Zeile, t->Schluessel);
    s->Selected = true;
  }
  // Each row of an assessment section prepares its own charts and captions.
  std::vector<TTeil*> teile;
  for (const auto& t : FTeile)
    if (t->VorZeile) teile.push_back(t.get());
  if (teile.empty()) return;
  auto vorher = r.BeforePrintBand;
  r.BeforePrintBand = [teile, vorher](const TBand& b, const TDatenmenge* d, int zeile) {
    for (TTeil* t : teile)
      if (&b == &t->Zeile) t->VorZeile(zeile);
    if (vorher) vorher(b, d, zeile);
  };
}

int ErgebnisberichtDrucken(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                           QPagedPaintDevice& geraet, std::string& fehler) {
  TErgebnisbericht bericht(dm, o);
  bericht.FDruck = true;
  TRepPrinter drucker;
  drucker.Previewing = false;
  drucker.SetzeDrucker(&geraet);
  TReport r(drucker);
  bericht.Fuelle(r);
  r.Print();
  if (!r.Fehler.empty()) {
    fehler = r.Fehler;
    return -1;
  }
  return r.PageNumber;
}

bool ErgebnisberichtVorschau(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                             TPages& seiten, std::string& fehler) {
  TErgebnisbericht bericht(dm, o);
  TRepPrinter drucker;
  TReport r(drucker);
  bericht.Fuelle(r);
  r.Preview(seiten);
  fehler = r.Fehler;
  return fehler.empty();
}

int ErgebnisberichtAlsPdf(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                          const std::string& datei, std::string& fehler) {
  QPdfWriter pdf(QString::fromStdString(datei));
  pdf.setResolution(300);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageOrientation(QPageLayout::Landscape);
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setTitle("Tamkor21 – Langzeitsimulation");
  pdf.setCreator("Tamkor21");
  const int seiten = ErgebnisberichtDrucken(dm, o, pdf, fehler);
  if (seiten < 0) {
    fehler = datei + ": " + fehler;
    return -1;
  }
  if (!QFileInfo::exists(QString::fromStdString(datei))) {
    fehler = datei + ": kann nicht geschrieben werden";
    return -1;
  }
  return seiten;
}

}  // namespace t21
