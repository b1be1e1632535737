#include "painting/maler.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QStaticText>
#include <QSvgRenderer>
#include <cmath>
#include <cstring>
#include <deque>
#include <numbers>
#include <unordered_map>

#include "painting/farben.h"
#include "painting/linie.h"

namespace t21 {

// ------------------------------------------------------------ attributes

QPen StiftAus(const TStift& s) {
  QPen pen(FarbeAusRGB(s.Color));
  pen.setWidth(std::max(1, s.Width));
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  switch (s.Style) {
    case 1:
      pen.setStyle(Qt::DashLine);
      break;
    case 2:
      pen.setStyle(Qt::DotLine);
      break;
    case 3:
      pen.setStyle(Qt::DashDotLine);
      break;
    case 4:
      pen.setStyle(Qt::DashDotDotLine);
      break;
    case 5:
      pen.setStyle(Qt::NoPen);
      break;
    default:
      pen.setStyle(Qt::SolidLine);
      break;
  }
  return pen;
}

QBrush PinselAus(const TPinsel& b) {
  static constexpr Qt::BrushStyle kStile[] = {
      Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
      Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
  const Qt::BrushStyle stil = b.Style >= 0 && b.Style < 8 ? kStile[b.Style] : Qt::SolidPattern;
  return QBrush(FarbeAusRGB(b.Color), stil);
}

QFont SchriftAus(const TSchrift& f, int groesse) {
  QFont q(QString::fromStdString(f.Name));
  q.setPointSize(std::max(1, groesse));
  q.setBold(f.Fett);
  q.setItalic(f.Kursiv);
  q.setUnderline(f.Unterstrichen);
  q.setStrikeOut(f.Durchgestrichen);
  return q;
}

namespace {

// A font with its metrics, and the widths and laid-out texts of the strings
// painted in it: a drawing repaints the same captions again and again, and
// measuring and shaping them costs more than drawing the symbols.
constexpr size_t kTexteJeSchrift = 8192;

// Lookup by string_view without making a string.
struct TTextHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct TSchriftEintrag {
  TSchriftEintrag(std::string schluessel, const QFont& f)
      : Schluessel(std::move(schluessel)), Font(f), Metrik(f) {}
  std::string Schluessel;
  QFont Font;
  QFontMetrics Metrik;
  // A text's width, its layout (made when first painted) and the picture it
  // was last copied from (valid while the store of pictures is in the
  // generation noted).
  struct TText {
    int Breite = 0;
    bool Vorbereitet = false;
    QStaticText St;
    const struct TBildEintrag* Bild = nullptr;
    quint64 Generation = 0;
    QRgb Farbe = 0;
  };
  std::unordered_map<std::string, TText, TTextHash, std::equal_to<>> Texte;
  // The text found last: a caption is measured and then painted.
  TText* Letzter = nullptr;
  std::string LetzterText;

  TText& Text(std::string_view text) {
    if (Letzter && LetzterText == text) return *Letzter;
    auto it = Texte.find(text);
    if (it == Texte.end()) {
      if (Texte.size() >= kTexteJeSchrift) Texte.clear();
      TText t;
      t.Breite = Metrik.horizontalAdvance(
          QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
      it = Texte.emplace(std::string(text), std::move(t)).first;
    }
    Letzter = &it->second;
    LetzterText = text;
    return *Letzter;
  }
};

// Texts up to this size (points, zoomed) are copied from pictures of their
// own when painting onto an image; a drawing shows many small captions.
constexpr int kKopierteSchrift = 12;

// Fonts and their metrics by family, style and size: painting asks for the
// same few again and again.
TSchriftEintrag& SchriftEintrag(const TSchrift& f, int groesse) {
  static std::unordered_map<std::string, std::unique_ptr<TSchriftEintrag>> cache;
  // Painting asks for the font of the shape before again and again.
  static TSchrift letzteSchrift;
  static int letzteGroesse = -1;
  static TSchriftEintrag* letzter = nullptr;
  if (letzter && groesse == letzteGroesse && f.Fett == letzteSchrift.Fett &&
      f.Kursiv == letzteSchrift.Kursiv && f.Unterstrichen == letzteSchrift.Unterstrichen &&
      f.Durchgestrichen == letzteSchrift.Durchgestrichen && f.Name == letzteSchrift.Name)
    return *letzter;
  std::string key = f.Name;
  key += '|';
  key += std::to_string(groesse);
  key += f.Fett ? 'b' : '-';
  key += f.Kursiv ? 'i' : '-';
  key += f.Unterstrichen ? 'u' : '-';
  key += f.Durchgestrichen ? 's' : '-';
  auto it = cache.find(key);
  if (it == cache.end()) {
    if (cache.size() > 256) {
      cache.clear();
      letzter = nullptr;
    }
    QFont q = SchriftAus(f, groesse);
    it = cache.emplace(key, std::make_unique<TSchriftEintrag>(key, q)).first;
  }
  letzteSchrift = f;
  letzteGroesse = groesse;
  letzter = it->second.get();
  return *letzter;
}

}  // namespace

int TQtTextMetrik::Breite(const TSchrift& f, int groesse, std::string_view text) const {
  return SchriftEintrag(f, groesse).Text(text).Breite;
}

int TQtTextMetrik::Hoehe(const TSchrift& f, int groesse) const {
  return SchriftEintrag(f, groesse).Metrik.height();
}

// --------------------------------------------------------------- artwork

QString VersickerungsBild(int bmp) {
  switch (bmp) {
    case 70:
      return QStringLiteral("VFL");
    case 71:
      return QStringLiteral("VBE");
    case 72:
      return QStringLiteral("VMU");
    case 73:
      return QStringLiteral("VRI");
    case 74:
      return QStringLiteral("VSC");
    default:
      return QStringLiteral("Bild1");
  }
}

namespace {

QSvgRenderer* Renderer(const QString& name) {
  static QHash<QString, QSvgRenderer*> renderer;
  auto it = renderer.find(name);
  if (it == renderer.end()) {
    // Kept to the end of the program, like the resources they read.
    auto* r =
        new QSvgRenderer(QStringLiteral(":/t21/bilder/") + name.toLower() + QStringLiteral(".svg"));
    it = renderer.insert(name, r);
  }
  return it.value()->isValid() ? it.value() : nullptr;
}

bool RasterZiel(const QPainter& p) {
  const int art = p.device() ? p.device()->devType() : 0;
  return art == QInternal::Image || art == QInternal::Pixmap || art == QInternal::Widget;
}

}  // namespace

void MaleBild(QPainter& p, const QString& name, const QRect& r) {
  if (r.width() < 1 || r.height() < 1) return;
  QSvgRenderer* svg = Renderer(name);
  if (!svg) return;
  if (!RasterZiel(p)) {
    svg->render(&p, QRectF(r));
    return;
  }
  static QHash<QString, QImage> raster;
  const QString key = name + QLatin1Char('|') + QString::number(r.width()) + QLatin1Char('x') +
                      QString::number(r.height());
  auto it = raster.find(key);
  if (it == raster.end()) {
    if (raster.size() > 128) raster.clear();
    QImage bild(r.size(), QImage::Format_ARGB32_Premultiplied);
    bild.fill(Qt::transparent);
    QPainter bp(&bild);
    svg->render(&bp, QRectF(0, 0, r.width(), r.height()));
    bp.end();
    it = raster.insert(key, bild);
  }
  p.drawImage(r.topLeft(), it.value());
}

// ------------------------------------------------------------- painting

namespace {

QPoint Q(TPixel p) {
  return {p.X, p.Y};
}

// The rectangle of a stroke from q.left() to q.right() inclusive: QPainter
// strokes a QRect one pixel beyond its right and bottom edge.
QRect Strich(const QRect& q) {
  return QRect(q.left(), q.top(), q.width() - 1, q.height() - 1);
}

// Corners included: right() and bottom() are the view rectangle's edges.
QRect QRechteck(const TPixelRect& r) {
  const auto n = Normalisiert(r);
  return QRect(QPoint(n.Left, n.Top), QPoint(n.Right, n.Bottom));
}

// Type codes are compared many times per shape on every repaint: the
// length first, then the few characters, without a library call.
bool Ist(std::string_view typ, std::string_view code) {
  if (typ.size() != code.size()) return false;
  for (size_t i = 0; i < typ.size(); ++i)
    if (typ[i] != code[i]) return false;
  return true;
}

bool IstGebiet(const std::string& t) {
  return Ist(t, "KEM") || Ist(t, "KES") || Ist(t, "KER") || Ist(t, "AEO") || Ist(t, "AEK");
}

bool IstVersickerung(const std::string& t) {
  return Ist(t, "VFL") || Ist(t, "VBE") || Ist(t, "VMU") || Ist(t, "VRI") || Ist(t, "VSC");
}

bool HatWertText(const std::string& t) {
  return Ist(t, "REC") || Ist(t, "RRE") || Ist(t, "CIR") || Ist(t, "RAU") || Ist(t, "YON");
}

// A filled arrowhead at tip, pointing away from the point from.
QPolygon Pfeilspitze(QPointF von, QPointF spitze, double laenge = 8) {
  const double w = std::atan2(von.y() - spitze.y(), von.x() - spitze.x());
  auto punkt = [&](double a) {
    return QPoint(RundeGerade(spitze.x() + laenge * std::cos(a)),
                  RundeGerade(spitze.y() + laenge * std::sin(a)));
  };
  return QPolygon(
      {QPoint(RundeGerade(spitze.x()), RundeGerade(spitze.y())), punkt(w + 0.4), punkt(w - 0.4)});
}

// The angle of the ray from the centre through (x, y) in degrees,
// counter-clockwise from the positive x axis in drawing units, which is
// counter-clockwise on the screen as well.
double Winkel(double xc, double yc, double x, double y) {
  return std::atan2(y - yc, x - xc) * 180 / std::numbers::pi;
}

}  // namespace

namespace {

// Network symbols painted onto a raster surface come from small pictures of
// their own, one per appearance: the same symbol at the same size, in the
// same orientation and attributes, with its docks at the same places
// relative to its box, looks the same everywhere, and copying the picture
// is much cheaper than painting its outline, fill and connectors again.
// Aliased painting at whole pixels does not depend on where it happens, so
// the copied pixels are the ones painting would have made.
class TSchluessel {
 public:
  void Zahl(int v) { Bytes(&v, sizeof v); }
  void Text(std::string_view t) {
    Zahl(static_cast<int>(t.size()));
    Bytes(t.data(), t.size());
  }
  void Punkt(TPixel q, int ox, int oy) {
    Zahl(q.X - ox);
    Zahl(q.Y - oy);
  }
  // Bytes as they are (the short keys of arrowheads).
  void Bytes(const void* p, size_t n) {
    if (FLang.empty() && FN + n <= sizeof FKurz) {
      std::memcpy(FKurz + FN, p, n);
      FN += n;
      return;
    }
    if (FLang.empty()) FLang.assign(FKurz, FN);
    FLang.append(static_cast<const char*>(p), n);
  }
  // Built on the stack while it is short: a repaint builds thousands.
  std::string_view Wert() const { return FLang.empty() ? std::string_view(FKurz, FN) : FLang; }

 private:
  char FKurz[192];
  size_t FN = 0;
  std::string FLang;
};

// A small picture as the runs of its pixels: fully covered pixels are
// copied row by row, partly covered ones (the edges of glyphs) blended the
// way QPainter blends a premultiplied picture over an image. Runs and
// pixels lie in one block, read front to back: a repaint copies thousands
// of pictures, and the image it paints leaves little of them in the cache.
struct TBildEintrag {
  QPoint Versatz;  // of the picture's corner from the reference point
  int Breite = 0, Hoehe = 0;
  // The key (Laenge bytes in the words before Anfang), so that finding the
  // picture reads the block it copies; then each run of covered pixels as
  // row, column, length and its pixels; then each partly covered pixel as
  // row, column and colour (premultiplied), from Teile on.
  std::vector<quint32> Daten;
  size_t Laenge = 0, Anfang = 0, Teile = 0;

  bool HatSchluessel(std::string_view k) const {
    return k.size() == Laenge && std::memcmp(Daten.data(), k.data(), Laenge) == 0;
  }

  void Zerlegen(const QImage& bild, std::string_view schluessel) {
    Breite = bild.width();
    Hoehe = bild.height();
    Laenge = schluessel.size();
    Anfang = (Laenge + sizeof(quint32) - 1) / sizeof(quint32);
    Daten.assign(Anfang, 0);
    if (Laenge) std::memcpy(Daten.data(), schluessel.data(), Laenge);
    std::vector<quint32> teil;
    for (int y = 0; y < Hoehe; ++y) {
      const auto* z = reinterpret_cast<const QRgb*>(bild.constScanLine(y));
      for (int x = 0; x < Breite;) {
        const int a = qAlpha(z[x]);
        if (a == 255) {
          int e = x;
          while (e < Breite && qAlpha(z[e]) == 255) ++e;
          Daten.insert(Daten.end(), {quint32(y), quint32(x), quint32(e - x)});
          Daten.insert(Daten.end(), z + x, z + e);
          x = e;
          continue;
        }
        if (a != 0) teil.insert(teil.end(), {quint32(y), quint32(x), z[x]});
        ++x;
      }
    }
    Teile = Daten.size();
    Daten.insert(Daten.end(), teil.begin(), teil.end());
    Daten.shrink_to_fit();
  }
};

// s + d * (255 - alpha(s)) / 255 per channel, rounded as QPainter's raster
// engine rounds when it draws a premultiplied picture.
inline QRgb UeberBlenden(QRgb s, QRgb d) {
  const uint a = 255 - qAlpha(s);
  quint64 t = ((quint64(d)) | ((quint64(d)) << 24)) & 0x00ff00ff00ff00ffull;
  t *= a;
  t = (t + ((t >> 8) & 0x00ff00ff00ff00ffull) + 0x0080008000800080ull) >> 8;
  t &= 0x00ff00ff00ff00ffull;
  return s + (uint(t) | uint(t >> 24));
}

// Copies the picture with its corner at ort into the image, cut at the
// image's edges.
void Stempeln(QImage& ziel, const TBildEintrag& e, QPoint ort) {
  const int w = ziel.width(), h = ziel.height();
  const int ox = ort.x(), oy = ort.y();
  if (ox >= w || oy >= h || ox + e.Breite <= 0 || oy + e.Hoehe <= 0) return;
  // The buffer the painter draws into (bits() could detach a shared copy).
  auto* bits = reinterpret_cast<QRgb*>(const_cast<uchar*>(ziel.constBits()));
  const qsizetype zeile = ziel.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  const quint32* d = e.Daten.data() + e.Anfang;
  const quint32* const teile = e.Daten.data() + e.Teile;
  const quint32* const ende = e.Daten.data() + e.Daten.size();
  if (ox >= 0 && oy >= 0 && ox + e.Breite <= w && oy + e.Hoehe <= h) {
    // Wholly inside: no edges to look at.
    QRgb* const basis = bits + oy * zeile + ox;
    while (d < teile) {
      QRgb* z = basis + qsizetype(d[0]) * zeile + d[1];
      const quint32 n = d[2];
      d += 3;
      // Runs are short: a loop of our own, no call.
      for (quint32 i = 0; i < n; ++i) z[i] = d[i];
      d += n;
    }
    for (; d < ende; d += 3) {
      QRgb& p = basis[qsizetype(d[0]) * zeile + d[1]];
      p = UeberBlenden(d[2], p);
    }
    return;
  }
  while (d < teile) {
    const int y = oy + static_cast<int>(d[0]);
    int x0 = ox + static_cast<int>(d[1]);
    const int n = static_cast<int>(d[2]);
    const quint32* quelle = d + 3;
    d += 3 + n;
    if (y < 0 || y >= h) continue;
    int x1 = x0 + n;
    const int vor = x0 < 0 ? -x0 : 0;
    x0 += vor;
    x1 = std::min(x1, w);
    if (x1 <= x0) continue;
    std::memcpy(bits + y * zeile + x0, quelle + vor, static_cast<size_t>(x1 - x0) * sizeof(QRgb));
  }
  for (; d < ende; d += 3) {
    const int x = ox + static_cast<int>(d[1]), y = oy + static_cast<int>(d[0]);
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(w) ||
        static_cast<unsigned>(y) >= static_cast<unsigned>(h))
      continue;
    QRgb& p = bits[y * zeile + x];
    p = UeberBlenden(d[2], p);
  }
}

// At most so many pictures and so many bytes of them; then they are made
// anew.
constexpr size_t kSymbolBilder = 16384;
constexpr qsizetype kBildBytes = 64 << 20;

// The pictures by key: open addressing over the key's hash (a power of two
// of places, at most half of them taken), so that finding one mostly reads
// one place and the picture's own block.
class TBildSpeicher {
 public:
  qsizetype Bytes = 0;
  quint64 Generation = 1;  // counts the times the pictures were made anew

  size_t size() const { return FBilder.size(); }

  const TBildEintrag* Finde(std::string_view k, size_t hash) const {
    if (FPlaetze.empty()) return nullptr;
    const size_t maske = FPlaetze.size() - 1;
    for (size_t i = hash & maske;; i = (i + 1) & maske) {
      const TPlatz& p = FPlaetze[i];
      if (!p.Bild) return nullptr;
      if (p.Hash == hash && p.Bild->HatSchluessel(k)) return p.Bild;
    }
  }

  const TBildEintrag& Neu(size_t hash, TBildEintrag&& e) {
    if ((FBilder.size() + 1) * 2 > FPlaetze.size()) Wachsen();
    FBilder.push_back(std::move(e));
    Setze(hash, &FBilder.back());
    return FBilder.back();
  }

  // Every picture made anew from here on.
  void Leeren() {
    FPlaetze.clear();
    FBilder.clear();
    Bytes = 0;
    ++Generation;
  }

 private:
  struct TPlatz {
    size_t Hash = 0;
    const TBildEintrag* Bild = nullptr;
  };
  std::vector<TPlatz> FPlaetze;
  std::deque<TBildEintrag> FBilder;  // in place while the store lives

  void Setze(size_t hash, const TBildEintrag* e) {
    const size_t maske = FPlaetze.size() - 1;
    size_t i = hash & maske;
    while (FPlaetze[i].Bild) i = (i + 1) & maske;
    FPlaetze[i] = {hash, e};
  }
  void Wachsen() {
    const std::vector<TPlatz> alt = std::move(FPlaetze);
    FPlaetze.assign(std::max<size_t>(1024, alt.size() * 2), TPlatz{});
    for (const TPlatz& p : alt)
      if (p.Bild) Setze(p.Hash, p.Bild);
  }
};

TBildSpeicher& SymbolBilder() {
  thread_local TBildSpeicher bilder;
  return bilder;
}

// The image a painter draws into when pictures may be copied straight
// into its pixels: a raster image of 32-bit pixels without clipping,
// transform, opacity or another composition; otherwise nullptr.
QImage* DirektesBild(const QPainter& p) {
  if (!p.paintEngine() || p.paintEngine()->type() != QPaintEngine::Raster || !p.device() ||
      p.device()->devType() != QInternal::Image || p.hasClipping() || !p.transform().isIdentity() ||
      p.opacity() != 1.0 || p.compositionMode() != QPainter::CompositionMode_SourceOver ||
      p.renderHints().testFlag(QPainter::Antialiasing))
    return nullptr;
  auto* bild = static_cast<QImage*>(p.device());
  if (bild->format() != QImage::Format_RGB32 &&
      bild->format() != QImage::Format_ARGB32_Premultiplied)
    return nullptr;
  return bild;
}

// The symbols whose outline follows from their box and docks alone.
bool SymbolAusBox(const std::string& t) {
  return Ist(t, "KEM") || Ist(t, "KES") || Ist(t, "KER") || Ist(t, "RU") || Ist(t, "RUB") ||
         Ist(t, "RKB") || Ist(t, "OMA") || Ist(t, "KLG") || Ist(t, "CON");
}

// True if the pixel rectangle r, widened by rand on every side, lies wholly
// outside the image.
bool Draussen(const TPixelRect& r, int rand, const QImage& bild) {
  const TPixelRect n = Normalisiert(r);
  return n.Right + rand < 0 || n.Bottom + rand < 0 || n.Left - rand >= bild.width() ||
         n.Top - rand >= bild.height();
}

// A thin solid line straight into the pixels of an image (SetzeLinie).
// False (nothing drawn) for a dashed or wide pen or a colour that is not
// opaque; bild is one of DirektesBild.
bool SchnelleLinie(QImage& bild, QPoint a, QPoint b, const QPen& pen, QColor c) {
  if (pen.style() != Qt::SolidLine || pen.width() > 1 || c.alpha() != 255 ||
      pen.brush().style() != Qt::SolidPattern)
    return false;
  SetzeLinie(bild, a, b, c.rgba());
  return true;
}

}  // namespace

struct TMaler::TZustand {
  QPainter& p;
  const TAnsicht& v;
  TStift SelPen;
  TQtTextMetrik Metrik;
  QPen Pen;
  QBrush Brush;
  QColor SchriftFarbe;
  bool Selektiert = false;
  // The image pictures are copied into (while TMaler::Bildkopien) and thin
  // lines written into, or nullptr (DirektesBild).
  QImage* Ziel = nullptr;
  QImage* LinienZiel = nullptr;

  TZustand(QPainter& painter, const TAnsicht& ansicht, const TStift& sel)
      : p(painter), v(ansicht), SelPen(sel) {}

  void Setze() {
    p.setPen(Pen);
    p.setBrush(Brush);
  }

  void Text(const TSchrift& f, const TTextStueck& t) {
    if (t.Groesse < 1 || t.Text.empty()) return;
    // Glyphs reach at most half a line beyond the text's box.
    if (LinienZiel &&
        Draussen({t.X, t.Y + t.Hoehe, t.X + t.Breite, t.Y}, t.Hoehe / 2 + 2, *LinienZiel))
      return;
    TSchriftEintrag& e = SchriftEintrag(f, t.Groesse);
    TSchriftEintrag::TText& text = e.Text(t.Text);
    if (!text.Vorbereitet) {
      text.St.setText(QString::fromStdString(t.Text));
      text.St.setTextFormat(Qt::PlainText);
      text.St.prepare(QTransform(), e.Font);
      text.Vorbereitet = true;
    }
    const QStaticText& st = text.St;
    const QPoint ort(t.X, t.Y);
    if (Ziel && t.Groesse <= kKopierteSchrift) {
      const QRgb farbe = SchriftFarbe.rgba();
      if (text.Bild && text.Generation == SymbolBilder().Generation && text.Farbe == farbe) {
        Stempeln(*Ziel, *text.Bild, ort + text.Bild->Versatz);
        return;
      }
      // The same text in the same font and colour is the same picture.
      TSchluessel k;
      k.Zahl(4);
      k.Text(e.Schluessel);
      k.Zahl(static_cast<int>(SchriftFarbe.rgba()));
      k.Text(t.Text);
      const int rand = e.Metrik.height() / 2;
      const QRect box = QRect(ort, st.size().toSize()).adjusted(-rand, -rand, rand, rand);
      text.Bild = &Bild(k.Wert(), ort, box, [&](TZustand& z) {
        z.p.setFont(e.Font);
        z.p.setPen(SchriftFarbe);
        z.p.drawStaticText(ort, st);
      });
      text.Generation = SymbolBilder().Generation;
      text.Farbe = farbe;
      return;
    }
    p.setFont(e.Font);
    p.setPen(SchriftFarbe);
    p.drawStaticText(ort, st);
    p.setPen(Pen);
  }

  void Connector(TPixel c) {
    Setze();
    p.drawEllipse(QRect(QPoint(c.X - 2, c.Y - 2), QPoint(c.X + 2, c.Y + 2)));
  }

  void Rechteck(const TPixelRect& r) { p.drawRect(Strich(QRechteck(r))); }

  // The shape's own symbol in its view rectangle.
  void DrawIt(const TCadShape& s, const TPixelRect& r) {
    const std::string& t = s.Typ();
    Setze();
    if (IstGebiet(t)) {
      if (const auto d = SymbolDreieck(s, v))
        p.drawPolygon(QPolygon({Q((*d)[0]), Q((*d)[1]), Q((*d)[2])}));
    } else if (Ist(t, "RU")) {
      Rechteck(r);
      p.drawLine(r.Left, r.Top, r.Right, r.Bottom);
      Connector(DockKUE(s, v));
    } else if (Ist(t, "RUB") || Ist(t, "RKB") || Ist(t, "OMA")) {
      Rechteck(r);
      const QRect q = QRechteck(r);
      const int a = s.Ausrichtung == 6 || s.Ausrichtung == 12 ? q.height() / 4 : q.width() / 4;
      if (s.Ausrichtung == 6 || s.Ausrichtung == 12) {
        p.drawRect(Strich(QRect(q.topLeft(), QPoint(q.right(), q.top() + a))));
        p.drawRect(Strich(QRect(QPoint(q.left(), q.bottom() - a), q.bottomRight())));
      } else {
        p.drawRect(Strich(QRect(q.topLeft(), QPoint(q.left() + a, q.bottom()))));
        p.drawRect(Strich(QRect(QPoint(q.right() - a, q.top()), q.bottomRight())));
      }
      Connector(DockKUE(s, v));
      Connector(DockBUE(s, v));
    } else if (Ist(t, "EST")) {
      EST(s, r);
    } else if (Ist(t, "KLG") || Ist(t, "CON") || Ist(t, "CIR")) {
      p.drawEllipse(Strich(QRechteck(r)));
    } else if (IstVersickerung(t)) {
      Rechteck(r);
      MaleBild(p, VersickerungsBild(s.bmp), QRechteck(r).adjusted(1, 1, -1, -1));
    } else if (Ist(t, "LIN")) {
      LIN(s);
    } else if (Ist(t, "Arc") || Ist(t, "Chord") || Ist(t, "PIE")) {
      Bogen(s, r);
    } else if (Ist(t, "REC")) {
      Rechteck(r);
    } else if (Ist(t, "RRE")) {
      p.drawRoundedRect(Strich(QRechteck(r)), s.X3 * v.Zoom, s.Y3 * v.Zoom);
    } else if (Ist(t, "RAU")) {
      const QRect q = QRechteck(r);
      const QPoint m = q.center();
      p.drawPolygon(QPolygon({QPoint(m.x(), q.top()), QPoint(q.right(), m.y()),
                              QPoint(m.x(), q.bottom()), QPoint(q.left(), m.y())}));
    } else if (Ist(t, "YON")) {
      YON(s, r);
    } else if (Ist(t, "DOT")) {
      DOT(s, r);
    } else if (Ist(t, "IMP")) {
      IMP(s, r);
    } else if (Ist(t, "BMP")) {
      BMP(s, r);
    } else if (Ist(t, "POL") || Ist(t, "POG")) {
      QPolygon pol;
      for (const auto& k : s.Koordinaten) pol << Q(v.View(k.X, k.Y));
      if (Ist(t, "POG"))
        p.drawPolygon(pol);
      else
        p.drawPolyline(pol);
    } else if (Ist(t, "Dim")) {
      Dim(s);
    }
  }

  void EST(const TCadShape& s, const TPixelRect& r) {
    if (!Selektiert) Pen.setColor(FarbeAusRGB(0xFF0000));
    Setze();
    Rechteck(r);
    const QRect q = QRechteck(r);
    QPen breit = Pen;
    breit.setWidth(4);
    p.setPen(breit);
    if (s.Ausrichtung == 6 || s.Ausrichtung == 12) {
      p.drawLine(q.left() + 2, q.top(), q.left() + 2, q.bottom());
      p.drawLine(q.right() - 2, q.top(), q.right() - 2, q.bottom());
    } else {
      p.drawLine(q.left(), q.top() + 2, q.right(), q.top() + 2);
      p.drawLine(q.left(), q.bottom() - 2, q.right(), q.bottom() - 2);
    }
    Pen.setWidth(1);
    if (!Selektiert) Pen.setColor(Qt::black);
    Connector(DockKUE(s, v));
  }

  void LIN(const TCadShape& s) {
    const TPixel a = v.View(s.X1, s.Y1), b = v.View(s.X2, s.Y2);
    p.drawLine(Q(a), Q(b));
    if (s.Val.empty()) return;
    const int g = ZoomSchrift(s.Font, v.Zoom);
    if (g < 1) return;
    // The value at the midpoint, along the line and upright.
    double w = std::atan2(b.Y - a.Y, b.X - a.X) * 180 / std::numbers::pi;
    if (w > 90) w -= 180;
    if (w < -90) w += 180;
    const auto& e = SchriftEintrag(s.Font, g);
    const QString text = QString::fromStdString(s.Val);
    p.save();
    p.translate((a.X + b.X) / 2, (a.Y + b.Y) / 2);
    p.rotate(w);
    p.setFont(e.Font);
    p.setPen(SchriftFarbe);
    p.drawText(QPoint(-e.Metrik.horizontalAdvance(text) / 2, -e.Metrik.descent() - 1), text);
    p.restore();
  }

  void Bogen(const TCadShape& s, const TPixelRect& r) {
    const QRect q = QRechteck(r);
    const double xc = s.HMiddle(), yc = s.VMiddle();
    const double w3 = Winkel(xc, yc, s.X3, s.Y3), w4 = Winkel(xc, yc, s.X4, s.Y4);
    double spanne = w4 - w3;
    while (spanne <= 0) spanne += 360;
    const int a = RundeGerade(w3 * 16), l = RundeGerade(spanne * 16);
    if (Ist(s.Typ(), "Arc"))
      p.drawArc(Strich(q), a, l);
    else if (Ist(s.Typ(), "Chord"))
      p.drawChord(Strich(q), a, l);
    else
      p.drawPie(Strich(q), a, l);
  }

  void YON(const TCadShape& s, const TPixelRect& r) {
    Rechteck(r);
    const QRect q = QRechteck(r);
    const int g = ZoomSchrift(s.Font, v.Zoom);
    if (g < 1) return;
    const auto& e = SchriftEintrag(s.Font, g);
    const int h = e.Metrik.height() + 2;
    const int mitte = q.center().x();
    const QRect links(QPoint(q.left(), q.bottom() - h), QPoint(mitte, q.bottom()));
    const QRect rechts(QPoint(mitte, q.bottom() - h), q.bottomRight());
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(Strich(links));
    p.drawRect(Strich(rechts));
    p.setBrush(Brush);
    p.setFont(e.Font);
    p.setPen(SchriftFarbe);
    const bool tausch = s.HGespiegelt;
    p.drawText(links, Qt::AlignCenter, tausch ? QStringLiteral("nein") : QStringLiteral("ja"));
    p.drawText(rechts, Qt::AlignCenter, tausch ? QStringLiteral("ja") : QStringLiteral("nein"));
    p.setPen(Pen);
  }

  void DOT(const TCadShape& s, const TPixelRect& r) {
    QPen schmal = Pen;
    schmal.setWidth(1);
    p.setPen(schmal);
    const QRect q = QRechteck(r);
    const QPoint m = q.center();
    const bool plus = s.Val == "+" || s.Val == "*";
    const bool kreuz = s.Val == "x" || s.Val == "*";
    if (plus) {
      p.drawLine(q.left(), m.y(), q.right(), m.y());
      p.drawLine(m.x(), q.top(), m.x(), q.bottom());
    }
    if (kreuz) {
      p.drawLine(q.topLeft(), q.bottomRight());
      p.drawLine(q.bottomLeft(), q.topRight());
    }
    if (s.Val == "o") p.drawEllipse(Strich(q));
    p.setPen(Pen);
  }

  void IMP(const TCadShape& s, const TPixelRect& r) {
    Rechteck(r);
    const QRect q = QRechteck(r);
    for (const auto& z : Schriftfeld(s, v, Metrik)) {
      if (z.Trennlinie)
        p.drawLine(q.left(), z.Stueck.Y, q.right(), z.Stueck.Y);
      else
        Text(s.Font, z.Stueck);
    }
  }

  void BMP(const TCadShape& s, const TPixelRect& r) {
    Rechteck(r);
    const QRect q = QRechteck(r).adjusted(1, 1, -1, -1);
    if (q.width() < 1 || q.height() < 1) return;
    // A picture file is read for this painting only.
    QImage bild;
    if (!s.Val.empty()) bild.load(QString::fromStdString(s.Val));
    if (bild.isNull()) {
      MaleBild(p, QStringLiteral("Bild1"), q);
      return;
    }
    if (s.Stretch) {
      p.drawImage(q, bild);
    } else {
      p.save();
      p.setClipRect(q);
      p.drawImage(q.topLeft(), bild);
      p.restore();
    }
  }

  void Dim(const TCadShape& s) {
    const std::string label = TextDerBemassung(s);
    QPointF a(v.ViewX(s.X1), v.ViewY(s.Y1)), b(v.ViewX(s.X2), v.ViewY(s.Y2));
    const double gl = s.GL * v.Zoom;
    const int g = ZoomSchrift(s.Font, v.Zoom);
    QBrush voll(Pen.color());
    if (s.A == "r") {
      // Leader: arrow at the first point, a shoulder at the second.
      p.drawLine(a, b);
      const double richtung = b.x() >= a.x() ? 1 : -1;
      const QPointF schulter(b.x() + richtung * gl, b.y());
      p.drawLine(b, schulter);
      p.setBrush(voll);
      p.drawPolygon(Pfeilspitze(b, a));
      p.setBrush(Brush);
      if (g >= 1 && !label.empty()) {
        const auto& e = SchriftEintrag(s.Font, g);
        const QString text = QString::fromStdString(label);
        const double x = richtung > 0 ? b.x() : schulter.x();
        p.setFont(e.Font);
        p.setPen(SchriftFarbe);
        p.drawText(QPointF(x, b.y() - e.Metrik.descent() - 1), text);
        p.setPen(Pen);
      }
      return;
    }
    if (s.A == "h") b.setY(a.y());
    if (s.A == "v") b.setX(a.x());
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len = std::hypot(dx, dy);
    if (len < 1) return;
    // The normal to the measured distance, to the screen-upper side.
    QPointF n(dy / len, -dx / len);
    if (n.y() > 0 || (n.y() == 0 && n.x() < 0)) n = -n;
    const QPointF a2 = a + n * gl, b2 = b + n * gl;
    const QPointF aus = n * (gl + 2);
    p.drawLine(a, a + aus);
    p.drawLine(b, b + aus);
    p.drawLine(a2, b2);
    p.setBrush(voll);
    p.drawPolygon(Pfeilspitze(b2, a2));
    p.drawPolygon(Pfeilspitze(a2, b2));
    p.setBrush(Brush);
    if (g < 1 || label.empty()) return;
    const auto& e = SchriftEintrag(s.Font, g);
    const QString text = QString::fromStdString(label);
    const int breite = e.Metrik.horizontalAdvance(text);
    double wl = std::atan2(dy, dx) * 180 / std::numbers::pi;
    QPointF u(dx / len, dy / len);
    if (wl > 90 || wl < -90) {
      wl += wl > 0 ? -180 : 180;
      u = -u;
    }
    const QPointF mitte = (a2 + b2) / 2;
    QPointF ort = mitte - u * (breite / 2.0);
    const QPointF anfang = u.x() * (b2 - a2).x() + u.y() * (b2 - a2).y() >= 0 ? a2 : b2;
    const QPointF ende = anfang == a2 ? b2 : a2;
    if (label[0] == '-') ort = anfang - u * (breite + 4.0);
    if (label[0] == '+') ort = ende + u * 4.0;
    p.save();
    p.translate(ort);
    p.rotate(wl);
    p.setFont(e.Font);
    p.setPen(SchriftFarbe);
    p.drawText(QPoint(0, -e.Metrik.descent() - 1), text);
    p.restore();
  }

  void TEX(const TCadShape& s) {
    const std::string text = TextDesTextes(s);
    const int g = ZoomSchrift(s.Font, v.Zoom);
    if (g < 1 || text.empty()) return;
    const auto& e = SchriftEintrag(s.Font, g);
    const QRect q = QRechteck(GetViewRect(s, v));
    const int winkel = TextWinkel(s);
    QPoint anker = q.topLeft();
    if (winkel == 90) anker = q.bottomLeft();
    if (winkel == 180) anker = q.bottomRight();
    if (winkel == 270) anker = q.topRight();
    p.save();
    p.translate(anker);
    p.rotate(-winkel);
    p.setFont(e.Font);
    p.setPen(SchriftFarbe);
    p.drawText(QPoint(0, e.Metrik.ascent()), QString::fromStdString(text));
    p.restore();
  }

  void REG(const TCadShape& s, const TPixelRect& r) {
    Setze();
    Rechteck(r);
    if (const auto b = Beschriftung(s, v, Metrik)) Text(s.Font, *b);
    MaleBild(p, QStringLiteral("REGEN"), QRechteck(r).adjusted(1, 1, -1, -1));
    Connector(DockAb(s, v));
  }

  void Links(const TCadShape& s) {
    bool gemalt = false;  // through the painter, in other pens
    for (const auto& l : LinkLinien(s, v)) {
      const int farbe = LinkFarbe(l.Art);
      const QColor c = farbe >= 0 ? FarbeAusRGB(farbe) : Pen.color();
      const QPoint von = Q(l.Von), bis = Q(l.Bis);
      if (!LinienZiel || !SchnelleLinie(*LinienZiel, von, bis, Pen, c)) {
        QPen pen = Pen;
        pen.setColor(c);
        p.setPen(pen);
        p.drawLine(von, bis);
        gemalt = true;
      }
      if (!l.Pfeil) continue;
      const std::array<TPixel, 3>& spitze = *l.Pfeil;
      const auto polygon = [&] { return QPolygon({Q(spitze[0]), Q(spitze[1]), Q(spitze[2])}); };
      const auto rand = [&] {
        QPen r = Pen;
        r.setColor(c);
        r.setStyle(Qt::SolidLine);
        return r;
      };
      if (Ziel) {
        // Arrowheads of one colour and shape are the same picture.
        TSchluessel k;
        PfeilSchluessel(k, spitze, c, Pen.width());
        const int x0 = std::min({spitze[0].X, spitze[1].X, spitze[2].X});
        const int y0 = std::min({spitze[0].Y, spitze[1].Y, spitze[2].Y});
        const int x1 = std::max({spitze[0].X, spitze[1].X, spitze[2].X});
        const int y1 = std::max({spitze[0].Y, spitze[1].Y, spitze[2].Y});
        Bild(k.Wert(), Q(spitze[0]), QRect(QPoint(x0, y0), QPoint(x1, y1)), [&](TZustand& z) {
          z.p.setPen(rand());
          z.p.setBrush(c);
          z.p.drawPolygon(polygon());
        });
      } else {
        p.setBrush(c);
        p.setPen(rand());
        p.drawPolygon(polygon());
        gemalt = true;
      }
    }
    if (gemalt) Setze();
  }

  // The key of an arrowhead's picture: eight bytes (no other key is that
  // short) for the usual small ones.
  static void PfeilSchluessel(TSchluessel& s, const std::array<TPixel, 3>& pol, QColor c,
                              int breite) {
    quint64 k = 3 | quint64(std::min(breite, 15)) << 4 | quint64(c.rgb() & 0xFFFFFF) << 8;
    bool klein = breite <= 15;
    for (int i = 1; i < 3; ++i) {
      const int dx = pol[i].X - pol[0].X, dy = pol[i].Y - pol[0].Y;
      klein = klein && dx >= -16 && dx < 16 && dy >= -16 && dy < 16;
      k |= quint64((dx + 16) | (dy + 16) << 5) << (32 + 10 * (i - 1));
    }
    if (klein) {
      s.Bytes(&k, sizeof k);
      return;
    }
    s.Zahl(3);
    s.Zahl(static_cast<int>(c.rgba()));
    s.Zahl(breite);
    for (const TPixel q : pol) s.Punkt(q, pol[0].X, pol[0].Y);
  }

  void Grabs(const TCadShape& s) {
    const auto punkte = GrabPunkte(s, v);
    if (punkte.empty()) return;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (const TPixel g : punkte) {
      const auto q = GrabRect(g, v);
      p.drawRect(QRect(q.Left, q.Top, q.Right - q.Left - 1, q.Bottom - q.Top - 1));
    }
    Setze();
  }

  void Shape(const TCadShape& s, bool sel) {
    Selektiert = sel;
    Pen = StiftAus(s.Pen);
    Brush = PinselAus(s.Brush);
    SchriftFarbe = FarbeAusRGB(s.Pen.Color);
    if (sel) {
      Pen = StiftAus(SelPen);
      const QColor c = FarbeAusRGB(SelPen.Color);
      if (Brush.style() == Qt::SolidPattern) Brush.setStyle(Qt::NoBrush);
      Brush.setColor(c);
      SchriftFarbe = c;
    }
    LinienZiel = DirektesBild(p);
    Ziel = TMaler::Bildkopien ? LinienZiel : nullptr;
    const std::string& t = s.Typ();
    const TPixelRect r = GetViewRect(s, v);
    if (Ist(t, "REG")) {
      REG(s, r);
      return;
    }
    if (Ist(t, "TEX")) {
      TEX(s);
      if (sel) Grabs(s);
      return;
    }
    // A dashed outline's pattern starts anew with every stroke, so copies
    // are only for solid and clear pens.
    const bool bilder =
        SymbolAusBox(t) && Ziel && (Pen.style() == Qt::SolidLine || Pen.style() == Qt::NoPen);
    // A network symbol with its connectors stays within a few pixels of its
    // view rectangle: one wholly outside the image leaves only its caption
    // and links to be looked at.
    const bool draussen = LinienZiel && s.IsM3Shape() && Draussen(r, 6 + Pen.width(), *LinienZiel);
    if (draussen) {
      // nothing of the symbol shows
    } else if (bilder) {
      SymbolAlsBild(s, r);
    } else {
      DrawIt(s, r);
    }
    Setze();
    if (const auto b = Beschriftung(s, v, Metrik)) Text(s.Font, *b);
    if (HatWertText(t))
      for (const auto& z : WertZeilen(s, v, Metrik)) Text(s.Font, z);
    Links(s);
    if (!draussen && s.IsM3Shape() && s.Width() > 13) {
      if (bilder)
        DocksAlsBild(s);
      else
        Docks(s);
    }
    if (sel) Grabs(s);
  }

  // The inlet and outlet connectors and the flow arrow.
  void Docks(const TCadShape& s) {
    Connector(DockZu(s, v));
    Connector(DockAb(s, v));
    if (const auto f = FliessPfeil(s, v)) {
      p.setBrush(Qt::black);
      QPolygon pol;
      for (const TPixel q : *f) pol << Q(q);
      p.drawPolygon(pol);
      p.setBrush(Brush);
    }
  }

  // The attributes a picture depends on.
  void Attribute(TSchluessel& k) const {
    k.Zahl(static_cast<int>(Pen.color().rgba()));
    k.Zahl(Pen.width());
    k.Zahl(static_cast<int>(Pen.style()));
    k.Zahl(static_cast<int>(Brush.color().rgba()));
    k.Zahl(static_cast<int>(Brush.style()));
  }

  // Copies the picture of key k to the reference point ref, painting it
  // first with male (in the coordinates of the surface) over the area box
  // when there is none yet. The key holds everything the picture depends on
  // relative to ref.
  template <class F>
  const TBildEintrag& Bild(std::string_view k, QPoint ref, QRect box, F&& male) {
    auto& speicher = SymbolBilder();
    const size_t hash = std::hash<std::string_view>{}(k);
    const TBildEintrag* gefunden = speicher.Finde(k, hash);
    if (!gefunden) {
      if (speicher.size() >= kSymbolBilder || speicher.Bytes >= kBildBytes) speicher.Leeren();
      const int rand = 6 + std::max(1, Pen.width());
      box.adjust(-rand, -rand, rand, rand);
      TBildEintrag e;
      QImage bild(box.size(), QImage::Format_ARGB32_Premultiplied);
      bild.fill(Qt::transparent);
      e.Versatz = box.topLeft() - ref;
      {
        QPainter q(&bild);
        q.setRenderHints(p.renderHints());
        q.translate(-box.left(), -box.top());
        TZustand z(q, v, SelPen);
        z.Pen = Pen;
        z.Brush = Brush;
        z.SchriftFarbe = SchriftFarbe;
        z.Selektiert = Selektiert;
        male(z);
      }
      e.Zerlegen(bild, k);
      speicher.Bytes +=
          static_cast<qsizetype>(sizeof(TBildEintrag) + e.Daten.size() * sizeof(quint32));
      gefunden = &speicher.Neu(hash, std::move(e));
    }
    Stempeln(*Ziel, *gefunden, ref + gefunden->Versatz);
    return *gefunden;
  }

  void SymbolAlsBild(const TCadShape& s, const TPixelRect& r) {
    const TPixelRect n = Normalisiert(r);
    TSchluessel k;
    k.Zahl(1);
    k.Text(s.Typ());
    k.Zahl(n.Right - n.Left);
    k.Zahl(n.Bottom - n.Top);
    k.Zahl(s.Ausrichtung);
    k.Zahl(s.HGespiegelt * 2 + s.VGespiegelt);
    Attribute(k);
    if (IstGebiet(s.Typ())) {
      if (const auto d = SymbolDreieck(s, v))
        for (const TPixel q : *d) k.Punkt(q, n.Left, n.Top);
    } else if (Ist(s.Typ(), "RU") || Ist(s.Typ(), "RUB") || Ist(s.Typ(), "RKB") ||
               Ist(s.Typ(), "OMA")) {
      k.Punkt(DockKUE(s, v), n.Left, n.Top);
      k.Punkt(DockBUE(s, v), n.Left, n.Top);
    }
    const QPoint ref(n.Left, n.Top);
    Bild(k.Wert(), ref, QRect(ref, QPoint(n.Right, n.Bottom)),
         [&](TZustand& z) { z.DrawIt(s, r); });
  }

  void DocksAlsBild(const TCadShape& s) {
    const TPixel zu = DockZu(s, v), ab = DockAb(s, v);
    const auto pfeil = FliessPfeil(s, v);
    TSchluessel k;
    k.Zahl(2);
    Attribute(k);
    k.Punkt(ab, zu.X, zu.Y);
    int x0 = std::min(zu.X, ab.X), y0 = std::min(zu.Y, ab.Y);
    int x1 = std::max(zu.X, ab.X), y1 = std::max(zu.Y, ab.Y);
    k.Zahl(pfeil.has_value());
    if (pfeil)
      for (const TPixel q : *pfeil) {
        k.Punkt(q, zu.X, zu.Y);
        x0 = std::min(x0, q.X);
        y0 = std::min(y0, q.Y);
        x1 = std::max(x1, q.X);
        y1 = std::max(y1, q.Y);
      }
    Bild(k.Wert(), QPoint(zu.X, zu.Y), QRect(QPoint(x0, y0), QPoint(x1, y1)),
         [&](TZustand& z) { z.Docks(s); });
  }
};

TMaler::TMaler(QPainter& p, const TAnsicht& v, const TStift& selPen)
    : Z(std::make_unique<TZustand>(p, v, selPen)) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
}

TMaler::~TMaler() = default;

void TMaler::Modell(const TCadModel& m) {
  if (m.Drawing) return;
  for (const TCadShape* s : Zeichenfolge(m)) Z->Shape(*s, m.IsSelected(s));
}

void TMaler::Shape(const TCadShape& s, bool selektiert) {
  if (s.Visible) Z->Shape(s, selektiert);
}

void TMaler::Hintergrund(int farbe, bool raster, double gridMinor, double gridMajor,
                         int gridFarbe) {
  QPainter& p = Z->p;
  const TAnsicht& v = Z->v;
  p.fillRect(QRect(0, 0, v.Width, v.Height), FarbeAusRGB(farbe));
  if (!raster) return;
  const QColor farbeRaster = FarbeAusRGB(gridFarbe);
  p.setPen(QPen(farbeRaster, 1));
  // Dots from 11 pixels of spacing, lines from 3: bounded work at any zoom.
  if (gridMinor > 0 && RundeGerade(gridMinor * v.Zoom) > 10) {
    const long long i0 = RundeGerade(v.PaperX(0) / gridMinor);
    const long long j0 = RundeGerade(v.PaperY(v.Height) / gridMinor);
    const long long nx = static_cast<long long>(v.Width / (gridMinor * v.Zoom)) + 2;
    const long long ny = static_cast<long long>(v.Height / (gridMinor * v.Zoom)) + 2;
    QPolygon punkte;
    punkte.reserve(static_cast<qsizetype>(nx * ny));
    for (long long i = i0; i < i0 + nx; ++i)
      for (long long j = j0; j < j0 + ny; ++j)
        punkte << QPoint(v.ViewX(static_cast<double>(i) * gridMinor),
                         v.ViewY(static_cast<double>(j) * gridMinor));
    p.drawPoints(punkte);
  }
  if (gridMajor > 0 && RundeGerade(gridMajor * v.Zoom) >= 3) {
    const long long i0 = RundeGerade(v.PaperX(0) / gridMajor);
    const long long j0 = RundeGerade(v.PaperY(v.Height) / gridMajor);
    const long long nx = static_cast<long long>(v.Width / (gridMajor * v.Zoom)) + 2;
    const long long ny = static_cast<long long>(v.Height / (gridMajor * v.Zoom)) + 2;
    // Axis-parallel lines, where Bresenham's pixels are the painter's, go
    // straight into an image's pixels (with the copies, so that tests can
    // compare them).
    QImage* bild = Bildkopien ? DirektesBild(p) : nullptr;
    const QPen stift(farbeRaster, 1);
    const auto linie = [&](QPoint a, QPoint b) {
      if (!bild || !SchnelleLinie(*bild, a, b, stift, farbeRaster)) p.drawLine(a, b);
    };
    for (long long i = i0; i < i0 + nx; ++i) {
      const int x = v.ViewX(static_cast<double>(i) * gridMajor);
      linie({x, 0}, {x, v.Height});
    }
    for (long long j = j0; j < j0 + ny; ++j) {
      const int y = v.ViewY(static_cast<double>(j) * gridMajor);
      linie({0, y}, {v.Width, y});
    }
  }
}

void TMaler::Ursprung() {
  QPainter& p = Z->p;
  const TPixel o = Z->v.View(0, 0);
  const int a = o.X, b = o.Y;
  p.setPen(QPen(Qt::red, 1));
  p.drawLine(a, b, a + 10, b);
  p.drawLine(a + 10, b, a + 5, b + 2);
  p.drawLine(a + 10, b, a + 5, b - 2);
  p.drawLine(a, b, a, b - 10);
  p.drawLine(a, b - 10, a - 2, b - 5);
  p.drawLine(a, b - 10, a + 2, b - 5);
}

void MaleAnsicht(QPainter& p, const TCadModel* m, const TCadView& view, const TAnsicht& a) {
  TMaler maler(p, a, view.SelPen());
  maler.Hintergrund(view.Color, view.ShowGrid(), view.GridMinor(), view.GridMajor(),
                    view.GridColor());
  if (m) maler.Modell(*m);
  if (view.ShowGrid()) maler.Ursprung();
}

}  // namespace t21
