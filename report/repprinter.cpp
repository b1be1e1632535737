#include "report/repprinter.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

namespace t21 {

int Skaliere(double v, int ppi) {
  return static_cast<int>(std::nearbyint(v * ppi / kBildschirmPpi + 0.5));
}

int MmZuPixel(double mm, int ppi) {
  return static_cast<int>(std::nearbyint(ppi * mm / 25.4 + 0.5));
}

QString Schriftfamilie(const QString& name) {
  if (name.compare("Arial Narrow", Qt::CaseInsensitive) == 0) return "Liberation Sans Narrow";
  if (name.compare("Arial", Qt::CaseInsensitive) == 0) return "Liberation Sans";
  if (name.compare("Courier New", Qt::CaseInsensitive) == 0) return "Liberation Mono";
  if (name.compare("Times New Roman", Qt::CaseInsensitive) == 0) return "Liberation Serif";
  return name;
}

QFont Schrift(const QString& familie, double punkte, int ppi, bool fett, bool kursiv,
              bool unterstrichen) {
  QFont f(Schriftfamilie(familie));
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(punkte * ppi / 72.0))));
  f.setBold(fett);
  f.setItalic(kursiv);
  f.setUnderline(unterstrichen);
  f.setStyleStrategy(QFont::PreferOutline);
  return f;
}

// ------------------------------------------------------------ TDrawMetaFile

TDrawMetaFile::TDrawMetaFile(int aWidth, int aHeight, bool oeffnen)
    : FWidth(aWidth), FHeight(aHeight) {
  FPicture.setBoundingRect(QRect(0, 0, aWidth, aHeight));
  if (oeffnen) Open();
}

TDrawMetaFile::~TDrawMetaFile() {
  Close();
}

void TDrawMetaFile::Open() {
  if (FPainter) return;
  FPicture = QPicture();
  FPainter = std::make_unique<QPainter>();
  if (!FPainter->begin(&FPicture)) {
    FPainter.reset();
    return;
  }
  FPainter->setRenderHint(QPainter::TextAntialiasing);
}

void TDrawMetaFile::Close() {
  if (!FPainter) return;
  FPainter->end();
  FPainter.reset();
  // The page keeps its size, however little is drawn on it.
  FPicture.setBoundingRect(QRect(0, 0, FWidth, FHeight));
}

void TDrawMetaFile::Zeichne(QPainter& p, const QRectF& r) const {
  if (FWidth <= 0 || FHeight <= 0) return;
  p.save();
  p.translate(r.topLeft());
  p.scale(r.width() / FWidth, r.height() / FHeight);
  p.drawPicture(0, 0, FPicture);
  p.restore();
}

// ------------------------------------------------------------------- TPages

TDrawMetaFile* TPages::GetPage(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return FSeiten[static_cast<size_t>(i)].get();
}

TDrawMetaFile* TPages::Add(int w, int h) {
  FSeiten.push_back(std::make_unique<TDrawMetaFile>(w, h));
  return FSeiten.back().get();
}

namespace {
constexpr quint32 kRptKennung = 0x54323152;  // "T21R"
constexpr quint16 kRptVersion = 1;
}  // namespace

bool TPages::SaveToStream(const std::string& datei, std::string& fehler) const {
  QSaveFile f(QString::fromStdString(datei));
  if (!f.open(QIODevice::WriteOnly)) {
    fehler = datei + ": " + f.errorString().toStdString();
    return false;
  }
  QDataStream s(&f);
  s.setVersion(QDataStream::Qt_6_0);
  s << kRptKennung << kRptVersion << static_cast<quint32>(FSeiten.size());
  for (const auto& seite : FSeiten) {
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    // An open page is written as far as it is drawn.
    QPicture bild = seite->Picture();
    bild.save(&puffer);
    s << static_cast<qint32>(seite->Width()) << static_cast<qint32>(seite->Height())
      << puffer.data();
  }
  if (s.status() != QDataStream::Ok || !f.commit()) {
    fehler = datei + ": " + f.errorString().toStdString();
    return false;
  }
  return true;
}

bool TPages::LoadFromStream(const std::string& datei, std::string& fehler) {
  fehler = kReportNichtLadbar;
  QFile f(QString::fromStdString(datei));
  if (!f.open(QIODevice::ReadOnly)) return false;
  QDataStream s(&f);
  s.setVersion(QDataStream::Qt_6_0);
  quint32 kennung = 0, anzahl = 0;
  quint16 version = 0;
  s >> kennung >> version >> anzahl;
  if (s.status() != QDataStream::Ok || kennung != kRptKennung || version != kRptVersion)
    return false;
  std::vector<std::unique_ptr<TDrawMetaFile>> neu;
  for (quint32 i = 0; i < anzahl; ++i) {
    qint32 w = 0, h = 0;
    QByteArray daten;
    s >> w >> h >> daten;
    if (s.status() != QDataStream::Ok || w <= 0 || h <= 0 || w > 100000 || h > 100000) return false;
    auto seite = std::make_unique<TDrawMetaFile>(w, h, false);
    QBuffer puffer(&daten);
    puffer.open(QIODevice::ReadOnly);
    if (!seite->Picture().load(&puffer)) return false;
    seite->Picture().setBoundingRect(QRect(0, 0, w, h));
    neu.push_back(std::move(seite));
  }
  if (!s.atEnd()) return false;
  FSeiten = std::move(neu);
  fehler.clear();
  return true;
}

// -------------------------------------------------------------- TRepPrinter

TRepPrinter::TRepPrinter() {
  Pages = &FEigeneSeiten;
  Messen();
}

TRepPrinter::~TRepPrinter() {
  if (CurrentMetafile) CurrentMetafile->Close();
  if (FDruckPainter) FDruckPainter->end();
}

void TRepPrinter::SetzeDrucker(QPagedPaintDevice* d) {
  if (FDruckPainter) FDruckPainter->end();
  FDruckPainter.reset();
  FDrucker = d;
  Messen();
}

void TRepPrinter::Messen() {
  if (Previewing || !FDrucker) {
    PixelsPerInchVertical = PixelsPerInchHorizontal = kBildschirmPpi;
    const TPapier p = kPapier[PaperSize >= 0 && PaperSize < 7 ? PaperSize : 0];
    int w = static_cast<int>(std::nearbyint(kBildschirmPpi / 25.4 * p.Breite));
    int h = static_cast<int>(std::nearbyint(kBildschirmPpi / 25.4 * p.Hoehe));
    if (Orientation == TAusrichtung::Querformat) std::swap(w, h);
    PhyPageWidth = w;
    PhyPageHeight = h;
    LeftWaist = TopWaist = RightWaist = BottomWaist = 0;
    return;
  }
  FDrucker->setPageOrientation(Orientation == TAusrichtung::Querformat ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
  PixelsPerInchHorizontal = FDrucker->logicalDpiX();
  PixelsPerInchVertical = FDrucker->logicalDpiY();
  const QPageLayout l = FDrucker->pageLayout();
  const int aufl = PixelsPerInchVertical;
  const QRect voll = l.fullRectPixels(aufl);
  const QRect druckbar = l.paintRectPixels(aufl);
  PhyPageWidth = voll.width();
  PhyPageHeight = voll.height();
  LeftWaist = druckbar.left();
  TopWaist = druckbar.top();
  RightWaist = PhyPageWidth - LeftWaist - druckbar.width();
  BottomWaist = PhyPageHeight - TopWaist - druckbar.height();
}

void TRepPrinter::BeginDoc() {
  if (Previewing) {
    if (CurrentMetafile) CurrentMetafile->Close();
    CurrentMetafile = nullptr;
    if (Pages) Pages->Clear();
    return;
  }
  FDruckSeite = 0;
  if (!FDrucker) return;
  if (auto* pdf = dynamic_cast<QPdfWriter*>(FDrucker)) pdf->setTitle(QString::fromStdString(Title));
  FDruckPainter = std::make_unique<QPainter>();
  if (!FDruckPainter->begin(FDrucker)) {
    FDruckPainter.reset();
    return;
  }
  // Page coordinates start at the physical corner: the printable area's
  // offset is taken back.
  FDruckPainter->translate(-LeftWaist, -TopWaist);
  FDruckSeite = 1;
}

void TRepPrinter::EndDoc() {
  if (Previewing) {
    if (CurrentMetafile) CurrentMetafile->Close();
    CurrentMetafile = nullptr;
    return;
  }
  if (FDruckPainter) FDruckPainter->end();
  FDruckPainter.reset();
}

void TRepPrinter::NewPage() {
  if (Previewing) {
    if (CurrentMetafile) CurrentMetafile->Close();
    CurrentMetafile = Pages ? Pages->Add(PhyPageWidth, PhyPageHeight) : nullptr;
    return;
  }
  if (FDrucker && FDruckPainter) {
    FDrucker->newPage();
    ++FDruckSeite;
  }
}

QPainter* TRepPrinter::Canvas() {
  if (!Previewing) return FDruckPainter.get();
  if (!CurrentMetafile && Pages) CurrentMetafile = Pages->Add(PhyPageWidth, PhyPageHeight);
  return CurrentMetafile ? CurrentMetafile->Canvas() : nullptr;
}

void TRepPrinter::SetOrientation(TAusrichtung o) {
  Orientation = o;
  Messen();
}

void TRepPrinter::SetTitle(const std::string& t) {
  Title = t;
  if (!Previewing)
    if (auto* pdf = dynamic_cast<QPdfWriter*>(FDrucker)) pdf->setTitle(QString::fromStdString(t));
}

int TRepPrinter::PageNumber() const {
  if (Previewing) return Pages ? Pages->Count() : 0;
  return FDruckSeite;
}

TRepPrinter& RepPrinter() {
  static TRepPrinter drucker;
  return drucker;
}

}  // namespace t21
