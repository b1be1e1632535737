#include "report/textlauf.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QTextLayout>
#include <unordered_map>
#include <vector>

namespace t21 {

namespace {

struct TEintrag {
  QList<QGlyphRun> Laeufe;
  qreal Aufstieg = 0;  // the runs' baseline lies this far below their origin
  qreal Breite = 0;
  bool Gelegt = false, Gemessen = false;
};

struct TSchrift {
  QFont Schrift;
  std::unordered_map<std::string, TEintrag> Texte;
};

thread_local TTextCache* tAktuell = nullptr;

// Above this many strings the cache starts again: a report of numbers that
// all differ must not grow without end.
constexpr size_t kHoechstens = 100000;

}  // namespace

struct TTextCache::TDaten {
  std::vector<std::unique_ptr<TSchrift>> Schriften;
  TSchrift* Zuletzt = nullptr;
  size_t Anzahl = 0;
  long Gelegt = 0, Treffer = 0;

  TEintrag& Eintrag(const QFont& f, const std::string& s) {
    if (!Zuletzt || !(Zuletzt->Schrift == f)) {
      Zuletzt = nullptr;
      for (auto& sc : Schriften)
        if (sc->Schrift == f) {
          Zuletzt = sc.get();
          break;
        }
      if (!Zuletzt) {
        Schriften.push_back(std::make_unique<TSchrift>());
        Schriften.back()->Schrift = f;
        Zuletzt = Schriften.back().get();
      }
    }
    if (Anzahl >= kHoechstens) {
      for (auto& sc : Schriften) sc->Texte.clear();
      Anzahl = 0;
    }
    auto [it, neu] = Zuletzt->Texte.try_emplace(s);
    if (neu) ++Anzahl;
    return it->second;
  }
};

TTextCache::TTextCache() : FDaten(std::make_unique<TDaten>()), FVorher(tAktuell) {
  tAktuell = this;
}

TTextCache::~TTextCache() {
  tAktuell = FVorher;
}

long TTextCache::Gelegt() const {
  return FDaten->Gelegt;
}

long TTextCache::Treffer() const {
  return FDaten->Treffer;
}

void ZeichneText(QPainter& p, const QPointF& grundlinie, const std::string& s) {
  if (s.empty()) return;
  if (!tAktuell) {
    p.drawText(grundlinie, QString::fromStdString(s));
    return;
  }
  TTextCache::TDaten& d = *tAktuell->FDaten;
  TEintrag& e = d.Eintrag(p.font(), s);
  if (!e.Gelegt) {
    // One line, never wrapped, trailing spaces kept: the glyphs drawText
    // shapes for the string.
    QTextLayout layout(QString::fromStdString(s), p.font(), p.device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine zeile = layout.createLine();
    if (zeile.isValid()) zeile.setPosition(QPointF(0, 0));
    layout.endLayout();
    e.Laeufe = layout.glyphRuns();
    e.Aufstieg = zeile.isValid() ? zeile.ascent() : 0;
    e.Gelegt = true;
    ++d.Gelegt;
  } else {
    ++d.Treffer;
  }
  const QPointF ursprung(grundlinie.x(), grundlinie.y() - e.Aufstieg);
  for (const QGlyphRun& lauf : e.Laeufe) p.drawGlyphRun(ursprung, lauf);
}

qreal TextBreite(const QFont& f, const std::string& s) {
  if (!tAktuell) return QFontMetricsF(f).horizontalAdvance(QString::fromStdString(s));
  TTextCache::TDaten& d = *tAktuell->FDaten;
  TEintrag& e = d.Eintrag(f, s);
  if (!e.Gemessen) {
    e.Breite = QFontMetricsF(f).horizontalAdvance(QString::fromStdString(s));
    e.Gemessen = true;
  } else {
    ++d.Treffer;
  }
  return e.Breite;
}

}  // namespace t21
