#include "report/report.h"

#include <QDateTime>
#include <QFontMetrics>
#include <cmath>
#include <sstream>

#include "model/format.h"

namespace t21 {

int TDatenmenge::Feld(const std::string& name) const {
  for (size_t i = 0; i < Felder.size(); ++i)
    if (Felder[i] == name) return static_cast<int>(i);
  return -1;
}

std::string FormatiereBild(double v, const std::string& bild) {
  if (!std::isfinite(v)) return "-";
  const auto punkt = bild.find('.');
  int nachkomma = 0;
  if (punkt != std::string::npos)
    for (size_t i = punkt + 1; i < bild.size() && (bild[i] == '0' || bild[i] == '#'); ++i)
      ++nachkomma;
  const bool tausender = bild.substr(0, punkt).find(',') != std::string::npos;
  return ZahlText(v, nachkomma, tausender);
}

std::string TDatenmenge::Text(int zeile, const std::string& name) const {
  const int f = Feld(name);
  if (f < 0 || zeile < 0 || zeile >= static_cast<int>(Zeilen.size())) return {};
  const auto& zeilenwerte = Zeilen[static_cast<size_t>(zeile)];
  if (static_cast<size_t>(f) >= zeilenwerte.size()) return {};
  const TFeld& w = zeilenwerte[static_cast<size_t>(f)];
  if (const auto* s = std::get_if<std::string>(&w)) return *s;
  const double v = std::get<double>(w);
  const std::string format =
      static_cast<size_t>(f) < Formate.size() ? Formate[static_cast<size_t>(f)] : "";
  if (!format.empty()) return FormatiereBild(v, format);
  if (!std::isfinite(v)) return "-";
  std::ostringstream s;
  s << v;
  std::string t = s.str();
  for (char& c : t)
    if (c == '.') c = ',';
  return t;
}

TSingleReport* TReport::AddBand(const std::string& STAT, const std::string& TIT, TBand* RH,
                                TBand* RF, TBand* PH, TBand* PF, TBand* DH, TBand* DF, TBand* DB,
                                int aTag) {
  auto s = std::make_unique<TSingleReport>();
  s->Status = STAT;
  s->Title = TIT;
  s->ReportHeader = RH;
  s->ReportFooter = RF;
  s->PageHeader = PH;
  s->PageFooter = PF;
  s->DetailHeader = DH;
  s->DetailFooter = DF;
  s->DetailBand = DB;
  s->Tag = aTag;
  ReportList.push_back(std::move(s));
  return ReportList.back().get();
}

void TReport::Print() {
  TRepPrinter& d = Drucker();
  d.Previewing = false;
  d.SetOrientation(Orientation);
  d.SetTitle("Tamkor21");
  d.BeginDoc();
  d.Messen();
  Lauf();
  d.EndDoc();
}

void TReport::Preview(TPages& ListOfPages) {
  TRepPrinter& d = Drucker();
  d.Previewing = true;
  d.SetOrientation(Orientation);
  d.Messen();
  d.Pages = &ListOfPages;
  d.BeginDoc();
  Lauf();
  d.EndDoc();
}

int TReport::Mm(double mm, bool vertikal) {
  return MmZuPixel(mm, vertikal ? Drucker().ppiV() : Drucker().ppiH());
}

void TReport::Lauf() {
  TRepPrinter& d = Drucker();
  Datum = QDateTime::currentDateTime().toString("dd.MM.yyyy hh:mm:ss").toStdString();
  PageNumber = 0;
  Fehler.clear();
  FSeiteOffen = false;
  FErsteSeite = true;
  FCanvas = nullptr;
  for (auto& s : ReportList) {
    if (!s->Selected) continue;
    if (!Fehler.empty()) break;
    Bands = s.get();
    FZeile = -1;
    const int f = Bands->PageFooter ? Skaliere(Bands->PageFooter->Height, d.ppiV()) : 0;
    MaxYPos = d.PhyPageHeight - d.TopWaist - Mm(MarginBottom, true) - f;
    YPos = d.PhyPageHeight + 10;
    more = false;
    col = 0;
    FErsteSeiteAbschnitt = true;
    if (Bands->DetailBand) {
      const TDatenmenge* daten = Bands->DetailBand->Daten;
      const int n = daten ? static_cast<int>(daten->Zeilen.size()) : 0;
      for (FZeile = 0; FZeile < n; ++FZeile) Platziere(Bands->DetailBand);
      FZeile = -1;
    }
    col = 0;
    if (Bands->DetailFooter) {
      // The footer under every column of the block, at the same height.
      TBand* df = Bands->DetailFooter;
      Platziere(df);
      const int hoehe = Skaliere(df->Height, d.ppiV()) + 1;
      const int y = YPos - hoehe;
      for (int c = 1; c < std::max(df->Tag, 1); ++c) {
        YPos = y;
        DruckeBand(df, c);
      }
      YPos = y + hoehe;
      col = 0;
    }
    if (Bands->ReportFooter) Platziere(Bands->ReportFooter);
    if (FSeiteOffen) SeiteSchliessen();
  }
  Bands = nullptr;
}

void TReport::Platziere(TBand* b) {
  TRepPrinter& d = Drucker();
  const int h = Skaliere(b->Height, d.ppiV());
  if (YPos + h > MaxYPos) {
    const int spalten = std::max(b->Tag, 1);
    if (more && b == Bands->DetailBand && col < spalten - 1) {
      ++col;
      YPos = YP;
      more = col < spalten - 1;
    } else {
      col = 0;
      if (FSeiteOffen) SeiteSchliessen();
      SeiteOeffnen();
      if (b == Bands->DetailBand && Bands->DetailHeader) {
        const int y = YPos;
        const int kopfSpalten = std::max(Bands->DetailHeader->Tag, 1);
        for (int c = 0; c < kopfSpalten; ++c) {
          YPos = y;
          DruckeBand(Bands->DetailHeader, c);
        }
        col = 0;
      }
      YP = YPos;
      more = b == Bands->DetailBand && b->Tag > 0 && spalten > 1;
    }
  }
  DruckeBand(b, col);
}

void TReport::SeiteOeffnen() {
  TRepPrinter& d = Drucker();
  if (!FErsteSeite) d.NewPage();
  FErsteSeite = false;
  FCanvas = d.Canvas();
  if (!FCanvas && Fehler.empty()) Fehler = kKeineZeichenflaeche;
  FSeiteOffen = true;
  ++PageNumber;
  YPos = Mm(MarginTop, true);
  if (Bands->PageHeader) DruckeBand(Bands->PageHeader, 0);
  if (FErsteSeiteAbschnitt && Bands->ReportHeader) DruckeBand(Bands->ReportHeader, 0);
  FErsteSeiteAbschnitt = false;
}

void TReport::SeiteSchliessen() {
  TRepPrinter& d = Drucker();
  YPos = MaxYPos;
  if (Bands->PageFooter) DruckeBand(Bands->PageFooter, 0);
  if (FCanvas) {
    FCanvas->save();
    FCanvas->setPen(QPen(Qt::black, 0, Qt::SolidLine));
    FCanvas->setBrush(Qt::NoBrush);
    FCanvas->drawRect(QRect(
        QPoint(Mm(MarginLeft, false), Mm(MarginTop, true)),
        QPoint(d.PhyPageWidth - Mm(MarginRight, false), d.PhyPageHeight - Mm(MarginBottom, true))));
    FCanvas->restore();
  }
  FSeiteOffen = false;
}

std::string TReport::LabelText(const TBandControl& c) const {
  switch (c.Tag) {
    case 0:
      return c.Caption;
    case 1:
      return Datum;
    case 2:
      return std::to_string(PageNumber);
    case 3:
      return Kopf.Benutzer;
    case 5:
      return Kopf.Projektname;
    case 6:
      return Kopf.Projektnummer;
    case 7:
      return Kopf.Variante;
    case 8:
      return Kopf.Auftraggeber;
    case 9:
      return Kopf.Strasse;
    case 10:
      return Kopf.PLZ + " " + Kopf.Ort;
    case 11:
      return Kopf.Telefon;
    case 12:
      return Kopf.Fax;
    case 13:
      return Bands ? Bands->Title : std::string();
    case 14:
      return Bands ? Bands->Status : std::string();
    default:
      return c.Caption;
  }
}

namespace {

// Pure green and pure red print black.
QColor Druckfarbe(const QColor& f) {
  if (f == QColor(0, 0x80, 0) || f == QColor(0xFF, 0, 0)) return Qt::black;
  return f;
}

void Text(QPainter& p, const QRect& r, const std::string& s, Qt::Alignment a) {
  const QString t = QString::fromStdString(s);
  const QFontMetrics fm(p.font());
  int x = r.left();
  if (a & Qt::AlignRight)
    x = r.right() + 1 - fm.horizontalAdvance(t);
  else if (a & Qt::AlignHCenter)
    x = r.left() + (r.width() - fm.horizontalAdvance(t)) / 2;
  p.save();
  p.setClipRect(r);
  p.drawText(QPoint(x, r.top() + fm.ascent()), t);
  p.restore();
}

}  // namespace

void TReport::DruckeBand(TBand* b, int c) {
  TRepPrinter& d = Drucker();
  QPainter* p = FCanvas;
  const int h = Skaliere(b->Height, d.ppiV());
  const QRect R(QPoint(Mm(MarginLeft, false), YPos),
                QPoint(d.PhyPageWidth - Mm(MarginRight, false), YPos + h - 1));
  const int n = std::max(b->Tag, 1);
  const int w = (R.right() - R.left()) / n;
  const int x0 = R.left() + c * w;
  const bool detail = Bands && b == Bands->DetailBand;
  const TDatenmenge* daten = b->Daten;
  const int zeile = detail ? FZeile : -1;
  if (BeforePrintBand) BeforePrintBand(*b, daten, zeile);
  if (!p) return;
  p->setBrush(Qt::NoBrush);
  bool memoEnde = false;
  for (const TBandControl& k : b->Controls) {
    const int ppiV = d.ppiV(), ppiH = d.ppiH();
    QRect r(QPoint(x0 + Skaliere(k.Left, ppiH), YPos + Skaliere(k.Top, ppiV)),
            QPoint(x0 + Skaliere(k.Left + k.Width, ppiH), YPos + Skaliere(k.Top + k.Height, ppiV)));
    switch (k.Art) {
      case TControlArt::Label:
      case TControlArt::DBText: {
        if (!k.Visible) break;
        p->setFont(Schrift(k.Schriftart, k.Punkte, ppiV, k.Fett, k.Kursiv));
        p->setPen(Druckfarbe(k.Farbe));
        const std::string s = k.Art == TControlArt::Label
                                  ? LabelText(k)
                                  : (daten ? daten->Text(zeile < 0 ? 0 : zeile, k.DataField) : "");
        Text(*p, r, s, k.Ausrichtung);
        break;
      }
      case TControlArt::DBMemo: {
        const QFont f = Schrift(k.Schriftart, k.Punkte, ppiV, k.Fett, k.Kursiv);
        p->setFont(f);
        p->setPen(Druckfarbe(k.Farbe));
        const int zh = QFontMetrics(f).height();
        std::string text = daten ? daten->Text(zeile < 0 ? 0 : zeile, k.DataField) : "";
        std::vector<std::string> zeilen;
        std::istringstream ein(text);
        for (std::string z; std::getline(ein, z);) zeilen.push_back(z);
        int y = r.top();
        int yStart = r.top();  // where lines start on the current page
        for (const std::string& z : zeilen) {
          // A line that does not fit even right below the top of a fresh
          // page prints there all the same instead of opening pages for ever.
          if (y + zh > MaxYPos && y > yStart) {
            p->setPen(QPen(Qt::black, 0));
            p->drawLine(R.left(), y, R.right() - 1, y);
            SeiteSchliessen();
            SeiteOeffnen();
            if (detail && Bands->DetailHeader) DruckeBand(Bands->DetailHeader, 0);
            p = FCanvas;
            if (!p) return;
            p->setFont(f);
            p->setPen(Druckfarbe(k.Farbe));
            y = YPos + Skaliere(k.Top, ppiV);
            yStart = y;
          }
          QRect zr(r.left(), y, r.width(), zh);
          Text(*p, zr, z, k.Ausrichtung);
          y += zh;
        }
        p->setPen(QPen(Qt::black, 0));
        p->drawLine(R.left(), y, R.right() - 1, y);
        YPos = y + 1;
        memoEnde = true;
        break;
      }
      case TControlArt::Chart: {
        const TBandControl* chart = &k;
        if (BeforePrintChart) BeforePrintChart(k, chart);
        if (chart && chart->Zeichnen) {
          p->save();
          if (!d.Previewing) {
            // Printing: the chart as a picture of the control's size, stretched.
            const QRect gross(0, 0, Skaliere(k.Width, ppiH), Skaliere(k.Height, ppiV));
            QPicture bild;
            {
              QPainter bp(&bild);
              chart->Zeichnen(bp, gross);
            }
            p->translate(r.topLeft());
            p->scale(static_cast<double>(r.width()) / std::max(1, gross.width()),
                     static_cast<double>(r.height()) / std::max(1, gross.height()));
            p->drawPicture(0, 0, bild);
          } else {
            chart->Zeichnen(*p, r);
          }
          p->restore();
        }
        break;
      }
      case TControlArt::Shape: {
        p->save();
        p->setPen(k.Stift);
        p->setBrush(k.Pinsel);
        if (r.right() > R.right() - 1) r.setRight(R.right() - 1);
        const int sh = Skaliere(k.Height, ppiV), sw = Skaliere(k.Width, ppiH);
        switch (k.Form) {
          case TFormArt::Rechteck:
          case TFormArt::Quadrat:
            if (k.Height <= 1 || sh <= 1)
              p->drawLine(r.left(), r.top(), r.right(), r.top());
            else if (k.Width <= 1 || sw <= 1)
              p->drawLine(r.left(), r.top(), r.left(), r.bottom());
            else
              p->drawRect(r);
            break;
          case TFormArt::RundRechteck:
          case TFormArt::RundQuadrat:
            p->drawRoundedRect(r, 5, 5);
            break;
          case TFormArt::Ellipse:
            p->drawEllipse(r);
            break;
          case TFormArt::Kreis:
            break;  // circles are not printed
        }
        p->restore();
        break;
      }
    }
  }
  if (!memoEnde) {
    p->setPen(QPen(Qt::black, 0));
    p->drawLine(R.left(), R.bottom(), R.right() - 1, R.bottom());
    YPos += h + 1;
  }
}

}  // namespace t21
