// Laid-out text for the report pages. A report draws the same captions,
// units and numbers thousands of times in a handful of fonts; shaping them
// again for every page is much of the cost of a page. While a text cache is
// in use on a thread, a string is shaped once per font and kept as glyph
// runs that every later drawing replays: the same glyphs at the same places
// as QPainter::drawText. Without one, the functions draw and measure as Qt
// does.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <memory>
#include <string>

namespace t21 {

// The text cache of the calling thread while the object lives (for one
// report run: its glyph runs belong to the fonts of that run). Nested caches
// take over and hand back.
class TTextCache {
 public:
  TTextCache();
  ~TTextCache();
  TTextCache(const TTextCache&) = delete;
  TTextCache& operator=(const TTextCache&) = delete;

  // Strings shaped so far, and drawings or measurements served from the
  // cache.
  long Gelegt() const;
  long Treffer() const;

  struct TDaten;

 private:
  friend void ZeichneText(QPainter& p, const QPointF& grundlinie, const std::string& s);
  friend qreal TextBreite(const QFont& f, const std::string& s);

  std::unique_ptr<TDaten> FDaten;
  TTextCache* FVorher;
};

// Draws the UTF-8 text s in the painter's font and pen with its baseline
// starting at p, as p.drawText(grundlinie, QString::fromStdString(s)).
void ZeichneText(QPainter& p, const QPointF& grundlinie, const std::string& s);

// The advance width of s in font f, as QFontMetricsF(f).horizontalAdvance(s).
qreal TextBreite(const QFont& f, const std::string& s);

}  // namespace t21
