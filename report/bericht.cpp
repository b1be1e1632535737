#include "report/bericht.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "cli/nachweis.h"
#include "report/pdfteile.h"
#include "report/repprinter.h"
#include "report/textlauf.h"
#include "storage/datenpaket.h"
#include "storage/projektdatei.h"

namespace t21 {

namespace {

// Below this many pages per part a report is rendered in one go: a part
// costs a copy of the project and its share of the joining.
constexpr int kSeitenJeTeil = 150;

int Seiten(const TCadShape* s) {
  return ZweiSeiten(s->Typ()) ? 2 : 1;
}

// Renders the entries [von, bis) (0-based) of liste onto the PDF device:
// part 1 and, for the kinds with two, part 2 of each, every page numbered
// in the whole list. The number of pages, -1 without a drawing surface.
int RendereSeiten(QPdfWriter& pdf, TM3Model& m, const std::vector<TCadShape*>& liste, size_t von,
                  size_t bis, const TNachweisOptionen& o, int aufloesung, bool textCache,
                  std::string& fehler) {
  std::optional<TTextCache> texte;
  if (textCache) texte.emplace();
  pdf.setResolution(aufloesung);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setTitle("Tamkor21 – Vereinfachter Nachweis");
  pdf.setCreator("Tamkor21");
  TRepPrinter drucker;
  drucker.Previewing = false;
  drucker.SetzeDrucker(&pdf);
  drucker.SetTitle("Tamkor21");
  drucker.BeginDoc();
  if (!drucker.Canvas()) {
    fehler = kKeineZeichenflaeche;
    drucker.EndDoc();
    return -1;
  }
  // The page drawing is laid out on a letter-size page of 8.5 x 11 inches:
  // its scale comes from the printable area.
  const int breite = drucker.PhyPageWidth - drucker.LeftWaist - drucker.RightWaist;
  const int hoehe = drucker.PhyPageHeight - drucker.TopWaist - drucker.BottomWaist;
  const double ppiX = breite / 8.5, ppiY = hoehe / 11.0;
  int seiten = 0;
  for (size_t i = von; i < bis; ++i) {
    const int teile = Seiten(liste[i]);
    for (int teil = 1; teil <= teile; ++teil) {
      if (seiten > 0) drucker.NewPage();
      ZeichneNachweisseite(*drucker.Canvas(), m, liste, int(i) + 1, ppiY, ppiX, teil, o);
      ++seiten;
    }
  }
  drucker.EndDoc();
  return seiten;
}

// The shapes of liste in the copy of their model: the same ids and names.
bool ListeInKopie(const TM3Model& kopie, const std::vector<TCadShape*>& liste,
                  std::vector<TCadShape*>& ergebnis) {
  ergebnis.clear();
  for (const TCadShape* s : liste) {
    TCadShape* k = kopie.GetNodeById(s->Id);
    if (!k || k->Name != s->Name || k->Typ() != s->Typ()) return false;
    ergebnis.push_back(k);
  }
  return true;
}

// Whether the verification of s is the same in both projects: what the
// pages print of it.
bool GleicherNachweis(TM3Model& a, TCadShape* sa, TM3Model& b, TCadShape* sb) {
  const TElementNachweis x = Nachweis(a, sa), y = Nachweis(b, sb);
  auto gleich = [](const TParameterArray& p, const TParameterArray& q) {
    for (int i = 0; i < kAnzahlQr; ++i) {
      const TParameter &u = p[i], &v = q[i];
      if (u.Q != v.Q || u.BSB != v.BSB || u.NH4 != v.NH4 || u.AFS != v.AFS || u.CSB != v.CSB ||
          u.ALK != v.ALK || u.DO2 != v.DO2)
        return false;
    }
    return true;
  };
  if (x.Hinweise != y.Hinweise || !gleich(x.Zufluss, y.Zufluss) || !gleich(x.Abfluss, y.Abfluss) ||
      x.Summen.size() != y.Summen.size() || x.Bemessung.size() != y.Bemessung.size() ||
      x.Pruefungen.size() != y.Pruefungen.size() || x.QKUE != y.QKUE || x.QBUE != y.QBUE)
    return false;
  for (size_t i = 0; i < x.Summen.size(); ++i)
    if (x.Summen[i].Zulauf != y.Summen[i].Zulauf || x.Summen[i].Ablauf != y.Summen[i].Ablauf)
      return false;
  for (size_t i = 0; i < x.Bemessung.size(); ++i)
    if (x.Bemessung[i].Wert != y.Bemessung[i].Wert) return false;
  for (size_t i = 0; i < x.Pruefungen.size(); ++i) {
    if (x.Pruefungen[i].Erfuellt != y.Pruefungen[i].Erfuellt ||
        x.Pruefungen[i].Werte.size() != y.Pruefungen[i].Werte.size())
      return false;
    for (size_t k = 0; k < x.Pruefungen[i].Werte.size(); ++k)
      if (x.Pruefungen[i].Werte[k].Wert != y.Pruefungen[i].Werte[k].Wert) return false;
  }
  return true;
}

// One part of the report: a range of the list, on a copy of the project
// (the first part on the project itself), and the PDF it gives.
struct TTeilauftrag {
  size_t Von = 0, Bis = 0;
  std::unique_ptr<TM3Model> Kopie;
  std::vector<TCadShape*> Liste;
  QByteArray Pdf;
  int Seiten = -1;
  std::string Fehler;
};

void RendereTeil(TTeilauftrag& a, TM3Model& m, const TNachweisOptionen& o, int aufloesung,
                 bool textCache) {
  QBuffer puffer(&a.Pdf);
  puffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&puffer);
    a.Seiten = RendereSeiten(pdf, a.Kopie ? *a.Kopie : m, a.Liste, a.Von, a.Bis, o, aufloesung,
                             textCache, a.Fehler);
  }
  puffer.close();
}

// The report in parts side by side, joined into pdf. False when a part
// fails (the caller then renders in one go).
bool InTeilen(TM3Model& m, const std::vector<TCadShape*>& liste, int teile,
              const TNachweisOptionen& o, int aufloesung, bool textCache, QByteArray& pdf,
              int& seiten) {
  // Contiguous ranges of about equal page counts.
  int gesamt = 0;
  for (const TCadShape* s : liste) gesamt += Seiten(s);
  std::vector<TTeilauftrag> auftraege(static_cast<size_t>(teile));
  size_t i = 0;
  int bisher = 0;
  for (int k = 0; k < teile; ++k) {
    auftraege[size_t(k)].Von = i;
    const int ziel = static_cast<int>((static_cast<long long>(gesamt) * (k + 1)) / teile);
    // Every part gets one entry at least (an empty part would still give a
    // page), and leaves one for each part after it.
    const size_t rest = static_cast<size_t>(teile - 1 - k);
    while (i + rest < liste.size() && (i == auftraege[size_t(k)].Von || bisher < ziel || rest == 0))
      bisher += Seiten(liste[i++]);
    auftraege[size_t(k)].Bis = i;
  }
  // The copies go through the project file's form, in memory, and are all
  // made here before anything draws: drawing gathers inflows into the
  // project it draws from.
  // A copy must print what the project prints: its data the same, and the
  // verification of every entry the same (a project not computed since its
  // last change, or with data the loading corrects, is rendered in one go).
  auftraege.front().Liste = liste;
  const auto paket = ModellAlsPaket(m);
  const std::string daten = PaketAlsText(*paket);
  for (size_t k = 1; k < auftraege.size(); ++k) {
    TTeilauftrag& a = auftraege[k];
    a.Kopie = std::make_unique<TM3Model>();
    if (!ModellAusPaket(*a.Kopie, *paket, m.FileName).Ok || !ListeInKopie(*a.Kopie, liste, a.Liste))
      return false;
    if (k == 1) {
      if (PaketAlsText(*ModellAlsPaket(*a.Kopie)) != daten) return false;
      for (size_t i = 0; i < liste.size(); ++i)
        if (!GleicherNachweis(m, liste[i], *a.Kopie, a.Liste[i])) return false;
    }
  }
  std::vector<std::thread> arbeiter;
  for (size_t k = 1; k < auftraege.size(); ++k)
    arbeiter.emplace_back(RendereTeil, std::ref(auftraege[k]), std::ref(m), std::cref(o),
                          aufloesung, textCache);
  // The first part on the calling thread.
  RendereTeil(auftraege.front(), m, o, aufloesung, textCache);
  for (auto& t : arbeiter) t.join();
  std::vector<QByteArray> pdfs;
  seiten = 0;
  for (auto& a : auftraege) {
    if (a.Seiten < 0) return false;
    seiten += a.Seiten;
    pdfs.push_back(std::move(a.Pdf));
  }
  std::string fehler;
  return PdfTeileZusammenfuegen(pdfs, pdf, fehler);
}

}  // namespace

int BerichtAlsPdf(TM3Model& m, const std::vector<TCadShape*>& liste, const std::string& datei,
                  std::string& fehler, const TNachweisOptionen& o, int aufloesung,
                  const TBerichtLauf& lauf) {
  if (liste.empty()) {
    fehler = "keine Elemente zu drucken";
    return -1;
  }
  int gesamt = 0;
  for (const TCadShape* s : liste) gesamt += Seiten(s);
  int teile = lauf.Teile;
  if (teile <= 0)
    teile = std::clamp(gesamt / kSeitenJeTeil, 1, std::max(1, QThread::idealThreadCount()));
  teile = std::clamp(teile, 1, static_cast<int>(liste.size()));
  if (teile > 1) {
    QByteArray pdf;
    int seiten = 0;
    if (InTeilen(m, liste, teile, o, aufloesung, lauf.TextCache, pdf, seiten)) {
      QSaveFile f(QString::fromStdString(datei));
      if (!f.open(QIODevice::WriteOnly) || f.write(pdf) != pdf.size() || !f.commit()) {
        fehler = datei + ": kann nicht geschrieben werden";
        return -1;
      }
      return seiten;
    }
    // A part that failed: the report in one go.
  }
  int seiten = 0;
  {
    QPdfWriter pdf(QString::fromStdString(datei));
    seiten = RendereSeiten(pdf, m, liste, 0, liste.size(), o, aufloesung, lauf.TextCache, fehler);
  }
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
