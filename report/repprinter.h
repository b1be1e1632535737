// The report printer: the one page target of all printed output. Pages go
// either straight to a paged paint device (a PDF writer or a printer) or,
// while previewing, into page pictures kept in a page list that a preview
// shows, prints, saves and reloads.
#pragma once

#include <QPainter>
#include <QPicture>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace t21 {

// Pixels per inch of the screen the band geometry is given in. Fixed, so
// that reports come out the same with and without a display.
inline constexpr int kBildschirmPpi = 96;

// The paper table (width x height in mm), indexed by TRepPrinter::PaperSize.
struct TPapier {
  int Breite, Hoehe;
};
inline constexpr TPapier kPapier[] = {{210, 297}, {148, 210}, {215, 355}, {215, 279},
                                      {104, 241}, {110, 220}, {114, 162}};

// Band geometry in screen pixels to target pixels: round(v * ppi / screen
// ppi + 0.5), rounding to the nearest integer with ties to even.
int Skaliere(double v, int ppi);
// Millimetres to target pixels: round(ppi * mm / 25.4 + 0.5), ties to even.
int MmZuPixel(double mm, int ppi);
// A font of `punkte` points whose size follows the page's own resolution
// (pixel size), so that pictures replay the same on any device.
QFont Schrift(const QString& familie, double punkte, int ppi, bool fett = false,
              bool kursiv = false, bool unterstrichen = false);
// The families of the report fonts: Arial, Arial Narrow and Courier New are
// drawn with the metric-compatible Liberation fonts.
QString Schriftfamilie(const QString& name);

enum class TAusrichtung { Hochformat, Querformat };

// A page picture of a given size (target pixels) that carries a painter while
// it is open. Only a closed picture is complete.
class TDrawMetaFile {
 public:
  TDrawMetaFile(int aWidth, int aHeight, bool oeffnen = true);
  ~TDrawMetaFile();
  TDrawMetaFile(const TDrawMetaFile&) = delete;
  TDrawMetaFile& operator=(const TDrawMetaFile&) = delete;

  void Open();
  void Close();
  bool IsOpen() const { return FPainter != nullptr; }
  QPainter* Canvas() { return FPainter.get(); }
  const QPicture& Picture() const { return FPicture; }
  QPicture& Picture() { return FPicture; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Replays the page scaled into the rectangle r of p.
  void Zeichne(QPainter& p, const QRectF& r) const;

 private:
  int FWidth, FHeight;
  QPicture FPicture;
  std::unique_ptr<QPainter> FPainter;
};

// The page list; owns its pages.
class TPages {
 public:
  TDrawMetaFile* GetPage(int i) const;
  int Count() const { return static_cast<int>(FSeiten.size()); }
  void Clear() { FSeiten.clear(); }
  TDrawMetaFile* Add(int w, int h);

  // Report files (".rpt"): our own versioned container, every page with its
  // own size, written atomically. A file that cannot be read leaves the list
  // as it was and gives "Report kann nicht geladen werden.".
  bool SaveToStream(const std::string& datei, std::string& fehler) const;
  bool LoadFromStream(const std::string& datei, std::string& fehler);

 private:
  std::vector<std::unique_ptr<TDrawMetaFile>> FSeiten;
};

inline constexpr const char* kReportNichtLadbar = "Report kann nicht geladen werden.";
inline constexpr const char* kKeineZeichenflaeche = "Zeichenfläche konnte nicht zugeordnet werden";

class TRepPrinter {
 public:
  TRepPrinter();
  ~TRepPrinter();

  bool Previewing = true;
  TPages* Pages = nullptr;
  TDrawMetaFile* CurrentMetafile = nullptr;
  TAusrichtung Orientation = TAusrichtung::Hochformat;
  int LeftWaist = 0, TopWaist = 0, RightWaist = 0, BottomWaist = 0;
  int PhyPageWidth = 0, PhyPageHeight = 0;
  int PixelsPerInchVertical = kBildschirmPpi, PixelsPerInchHorizontal = kBildschirmPpi;
  int PaperSize = 0;
  std::string Title;

  // The device pages go to when not previewing (a QPdfWriter or a QPrinter;
  // not owned). Without one, printing draws nothing.
  void SetzeDrucker(QPagedPaintDevice* d);
  QPagedPaintDevice* Drucker() const { return FDrucker; }

  void BeginDoc();
  void EndDoc();
  void NewPage();
  // The current drawing surface; null only when no page picture can be made.
  QPainter* Canvas();
  void SetOrientation(TAusrichtung o);
  void SetTitle(const std::string& t);
  // Takes the page size, resolution and borders of the target.
  void Messen();

  int PageNumber() const;
  int PageCount() const { return Previewing && Pages ? Pages->Count() : 0; }
  int PageWidth() const { return PhyPageWidth; }
  int PageHeight() const { return PhyPageHeight; }
  int ppiV() const { return PixelsPerInchVertical; }
  int ppiH() const { return PixelsPerInchHorizontal; }

 private:
  QPagedPaintDevice* FDrucker = nullptr;
  std::unique_ptr<QPainter> FDruckPainter;
  int FDruckSeite = 0;
  TPages FEigeneSeiten;
};

// The one report printer of the program, created on first use.
TRepPrinter& RepPrinter();

}  // namespace t21
