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
};

TErgebnisbericht::TErgebnisbericht(const TDataModule2& dm, const TErgebnisberichtOptionen& o)
    : FProjekt(o.Projekt) {
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
    const TSchema& s = t->Schema();
    // Column widths from the label and the texts.
    const int n = t->Spalten();
    std::vector<std::vector<std::string>> texte(zeilen.size(), std::vector<std::string>(n));
    std::vector<int> breite(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      const TFeld& feld = s.Felder[size_t(i)];
      int b = mf.horizontalAdvance(QString::fromStdString(feld.Name));
      for (size_t k = 0; k < zeilen.size(); ++k) {
        const TWert& w = t->Wert(zeilen[k], i);
        std::string x;
        if (!IstNull(w)) {
          if (feld.Typ == TFeldTyp::Date)
            x = DatumZeit(AlsZahl(w));
          else if (feld.Typ == TFeldTyp::Float)
            x = std::isfinite(AlsZahl(w)) ? FormatiereBild(AlsZahl(w), "###,##0.000") : "-";
          else if (feld.Typ == TFeldTyp::Boolean)
            x = AlsBool(w) ? "Ja" : "Nein";
          else
            x = AlsText(w);
        }
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
      teil->Kopf.Name = "Seitenkopf";
      teil->Kopf.Height = 44;
      TBandControl titel;
      titel.Tag = 13;
      titel.Left = 0;
      titel.Top = 0;
      titel.Width = kBreite / 2;
      titel.Height = 20;
      titel.Punkte = 11;
      titel.Fett = true;
      teil->Kopf.Controls.push_back(titel);
      TBandControl gruppe;
      gruppe.Tag = 14;
      gruppe.Left = 0;
      gruppe.Top = 22;
      gruppe.Width = kBreite / 2;
      gruppe.Height = 14;
      teil->Kopf.Controls.push_back(gruppe);
      TBandControl projekt;
      projekt.Caption =
          "Tamkor21 – Langzeitsimulation" + (FProjekt.empty() ? "" : " – " + FProjekt);
      projekt.Left = kBreite / 2;
      projekt.Top = 0;
      projekt.Width = kBreite / 2;
      projekt.Height = 14;
      projekt.Ausrichtung = Qt::AlignRight;
      teil->Kopf.Controls.push_back(projekt);
      TBandControl seite;
      seite.Tag = 2;
      seite.Left = kBreite - 80;
      seite.Top = 22;
      seite.Width = 80;
      seite.Height = 14;
      seite.Ausrichtung = Qt::AlignRight;
      teil->Kopf.Controls.push_back(seite);
      TBandControl linie;
      linie.Art = TControlArt::Shape;
      linie.Left = 0;
      linie.Top = 40;
      linie.Width = kBreite;
      linie.Height = 1;
      teil->Kopf.Controls.push_back(linie);

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

TErgebnisbericht::~TErgebnisbericht() = default;

void TErgebnisbericht::Fuelle(TReport& r) {
  r.Orientation = TAusrichtung::Querformat;
  r.MarginTop = 20;
  r.MarginLeft = 20;
  for (const auto& t : FTeile) {
    TSingleReport* s = r.AddBand(t->Gruppe, t->Titel, nullptr, nullptr, &t->Kopf, nullptr,
                                 &t->Spaltenkopf, nullptr, &t->Zeile, t->Schluessel);
    s->Selected = true;
  }
}

int ErgebnisberichtDrucken(const TDataModule2& dm, const TErgebnisberichtOptionen& o,
                           QPagedPaintDevice& geraet, std::string& fehler) {
  TErgebnisbericht bericht(dm, o);
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
