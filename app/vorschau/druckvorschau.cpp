#include "app/vorschau/druckvorschau.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>
#include <array>

#include "app/basis/dialoge.h"
#include "app/basis/hilfe.h"

namespace t21 {

namespace {

// The zoom steps of a click into the page.
constexpr std::array<int, 5> kZoomStufen{50, 75, 100, 150, 200};

const char* const kRptFilter = "Tamkor-Berichte (*.rpt)";

// The box the page is painted in.
class TSeitenBox : public QWidget {
 public:
  TSeitenBox(const std::function<void(QPainter&)>& male, QWidget* eltern)
      : QWidget(eltern), FMale(male) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    FMale(p);
  }

 private:
  std::function<void(QPainter&)> FMale;
};

}  // namespace

// ------------------------------------------------------------------ TPreview

TPreview::TPreview(QWidget* eltern) : QScrollArea(eltern) {
  FBox = new TSeitenBox([this](QPainter& p) { Male(p); }, this);
  FBox->installEventFilter(this);
  setWidget(FBox);
  setWidgetResizable(false);
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setBackgroundRole(QPalette::Dark);
  Aktualisieren();
}

QSize TPreview::SeitenGroesse() const {
  const TDrawMetaFile* s = FPages.GetPage(FPage - 1);
  const int w = s ? s->Width() : 794, h = s ? s->Height() : 1123;
  const int rand = FShadow ? 5 : 0;
  return {w * FZoom / 100 + rand, h * FZoom / 100 + rand};
}

void TPreview::Aktualisieren() {
  FBox->resize(SeitenGroesse());
  FBox->update();
  emit Geblaettert();
}

void TPreview::SetPageNumber(int n) {
  if (n < 1 || n > PageCount() || n == FPage) return;
  FPage = n;
  Aktualisieren();
}

void TPreview::SetZoom(int z) {
  if (z == FZoom || z < 25 || z > 200) return;
  FZoom = z;
  Aktualisieren();
}

void TPreview::SetShadow(bool s) {
  FShadow = s;
  Aktualisieren();
}

void TPreview::FirstPage() {
  FPage = 1;
  Aktualisieren();
}
void TPreview::LastPage() {
  if (PageCount() > 0) FPage = PageCount();
  Aktualisieren();
}
void TPreview::NextPage() {
  if (FPage < PageCount()) ++FPage;
  Aktualisieren();
}
void TPreview::PrevPage() {
  if (FPage > 1) --FPage;
  Aktualisieren();
}

void TPreview::Male(QPainter& p) const {
  const QRect box = FBox->rect();
  const TDrawMetaFile* s = FPages.GetPage(FPage - 1);
  if (!FShadow) {
    p.fillRect(box, Qt::white);
    if (s) s->Zeichne(p, box);
    return;
  }
  const QRect seite(0, 0, box.width() - 4, box.height() - 4);
  p.fillRect(seite.translated(4, 4), Qt::black);  // the shadow
  p.fillRect(seite, Qt::white);
  p.setPen(Qt::black);
  p.drawLine(seite.topLeft(), seite.topRight());
  p.drawLine(seite.topLeft(), seite.bottomLeft());
  if (s) s->Zeichne(p, QRectF(1, 1, seite.width() - 1, seite.height() - 1));
}

bool TPreview::eventFilter(QObject* o, QEvent* e) {
  if (o == FBox && e->type() == QEvent::MouseButtonPress) {
    const auto* m = static_cast<QMouseEvent*>(e);
    int z = FZoom;
    if (m->button() == Qt::LeftButton) {
      for (int stufe : kZoomStufen)
        if (stufe == FZoom && stufe != kZoomStufen.back()) {
          z = *(std::find(kZoomStufen.begin(), kZoomStufen.end(), stufe) + 1);
          break;
        }
    } else if (m->button() == Qt::RightButton) {
      for (size_t i = 1; i < kZoomStufen.size(); ++i)
        if (kZoomStufen[i] == FZoom) z = kZoomStufen[i - 1];
    }
    SetZoom(z);
    emit Geklickt();
    return true;
  }
  return QScrollArea::eventFilter(o, e);
}

bool TPreview::Print(QPrinter& drucker, int pfrom, int pto) {
  if (PageCount() == 0) return false;
  // A range outside the list is clamped to it; an empty one prints nothing.
  pfrom = std::max(1, pfrom);
  pto = pto <= 0 ? PageCount() : std::min(pto, PageCount());
  if (pfrom > pto) return false;
  FBusy = true;
  drucker.setPageOrientation(Orientation == TAusrichtung::Querformat ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
  drucker.setDocName(Title);
  QPainter p;
  const bool ok = p.begin(&drucker);
  if (ok) {
    const QRect druckbar(QPoint(0, 0),
                         drucker.pageLayout().paintRectPixels(drucker.resolution()).size());
    for (int i = pfrom; i <= pto; ++i) {
      if (i > pfrom) drucker.newPage();
      FPages.GetPage(i - 1)->Zeichne(p, druckbar);
    }
    p.end();
  }
  FBusy = false;
  return ok;
}

// --------------------------------------------------------------- TfrmPreview

TfrmPreview::TfrmPreview(TDialoge& dialoge, QWidget* eltern) : QDialog(eltern), FDialoge(dialoge) {
  setWindowTitle(QStringLiteral("Druckvorschau"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  auto* spalte = new QVBoxLayout(this);
  auto* leiste = new QHBoxLayout;
  spalte->addLayout(leiste);
  FViewer = new TPreview(this);
  spalte->addWidget(FViewer, 1);

  auto knopf = [&](const char* text, auto aktion) {
    auto* k = new QPushButton(QString::fromUtf8(text), this);
    k->setAutoDefault(false);
    k->setFocusPolicy(Qt::NoFocus);
    connect(k, &QPushButton::clicked, this, aktion);
    leiste->addWidget(k);
    return k;
  };
  knopf("erste Seite", [this] {
    FErsterSchritt = true;
    FViewer->FirstPage();
  });
  knopf("vorherige Seite", [this] {
    FErsterSchritt = false;
    FViewer->PrevPage();
  });
  knopf("nächste Seite", [this] {
    FErsterSchritt = false;
    FViewer->NextPage();
  });
  knopf("letzte Seite", [this] {
    FErsterSchritt = false;
    FViewer->LastPage();
  });
  FSeite = new QLabel(this);
  FSeite->setMinimumWidth(80);
  leiste->addWidget(FSeite);
  FZoom = new QComboBox(this);
  FZoom->setObjectName(QStringLiteral("cbxScale"));
  FZoom->setEditable(true);
  for (int z : {25, 50, 75, 100, 150, 200}) FZoom->addItem(QString::number(z));
  FZoom->setCurrentText(QStringLiteral("100"));
  auto zoomUebernehmen = [this](const QString& text) {
    bool ok = false;
    const int z = text.trimmed().toInt(&ok);
    FViewer->SetZoom(ok ? z : 100);
  };
  connect(FZoom, &QComboBox::textActivated, this, zoomUebernehmen);
  connect(FZoom->lineEdit(), &QLineEdit::editingFinished, this,
          [this, zoomUebernehmen] { zoomUebernehmen(FZoom->currentText()); });
  connect(FViewer, &TPreview::Geklickt, this,
          [this] { FZoom->setCurrentText(QString::number(FViewer->Zoom())); });
  leiste->addWidget(FZoom);
  leiste->addWidget(new QLabel(QStringLiteral("%"), this));
  knopf("drucken..", [this] { Drucken(); });
  knopf("speichern ...", [this] { Speichern(); });
  knopf("laden ...", [this] { Laden(); });
  knopf("PDF speichern ...", [this] { PdfSpeichern(); });
  knopf("&Hilfe", [this] { ZeigeHilfe(this, QStringLiteral("druckvorschau")); });
  leiste->addStretch(1);
  knopf("&Schließen", [this] { close(); });
  resize(1000, 800);
  // The page indicator follows the viewer, whoever turns its pages.
  connect(FViewer, &TPreview::Geblaettert, this, &TfrmPreview::Anzeigen);
  Anzeigen();
}

QString TfrmPreview::Seitenanzeige() const {
  return FSeite->text();
}

void TfrmPreview::Anzeigen() {
  FSeite->setText(QStringLiteral("%1%2%3")
                      .arg(FViewer->PageNumber())
                      .arg(FErsterSchritt ? QStringLiteral(" / ") : QStringLiteral("/"))
                      .arg(FViewer->PageCount()));
}

void TfrmPreview::Drucken() {
  const int n = FViewer->PageCount();
  if (n == 0) {
    FDialoge.Beep();
    return;
  }
  QPrinter drucker(QPrinter::HighResolution);
  if (!FDialoge.DruckDialog(this, drucker, 1, n)) return;
  int von = drucker.fromPage(), bis = drucker.toPage();
  if (von == 0 && bis == 0) {  // all pages
    von = 1;
    bis = n;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int kopien = drucker.supportsMultipleCopies() ? 1 : std::max(1, drucker.copyCount());
  FViewer->Title = windowTitle();
  bool ok = true;
  for (int k = 0; k < kopien && ok; ++k) ok = FViewer->Print(drucker, von, bis);
  QApplication::restoreOverrideCursor();
  if (!ok) FDialoge.Meldung(this, QStringLiteral("Der Bericht konnte nicht gedruckt werden."));
}

bool TfrmPreview::Speichern() {
  QString datei = FDialoge.DateiSpeichern(this, QStringLiteral("Bericht speichern"),
                                          QString::fromUtf8(kRptFilter));
  if (datei.isEmpty()) return false;
  if (!datei.endsWith(QStringLiteral(".rpt"), Qt::CaseInsensitive)) datei += QStringLiteral(".rpt");
  std::string fehler;
  if (!FViewer->Pages().SaveToStream(datei.toStdString(), fehler)) {
    FDialoge.Meldung(this, QString::fromStdString(fehler));
    return false;
  }
  return true;
}

bool TfrmPreview::Laden() {
  const QString datei =
      FDialoge.DateiOeffnen(this, QStringLiteral("Bericht laden"), QString::fromUtf8(kRptFilter));
  if (datei.isEmpty()) return false;
  std::string fehler;
  // A file that cannot be read leaves the pages shown as they were.
  if (!FViewer->Pages().LoadFromStream(datei.toStdString(), fehler)) {
    FDialoge.Meldung(this, QString::fromUtf8(kReportNichtLadbar));
    return false;
  }
  FErsterSchritt = true;
  FViewer->FirstPage();
  return true;
}

bool TfrmPreview::AlsPdf(const TPages& seiten, const QString& datei, const QString& titel,
                         QString& fehler) {
  if (seiten.Count() == 0) {
    fehler = QStringLiteral("Der Bericht hat keine Seiten.");
    return false;
  }
  // Written beside the target and renamed when complete.
  QSaveFile ziel(datei);
  const QString nicht =
      QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(datei);
  if (!ziel.open(QIODevice::WriteOnly)) {
    fehler = nicht;
    return false;
  }
  {
    QPdfWriter pdf(&ziel);
    pdf.setTitle(titel);
    pdf.setCreator(QStringLiteral("Tamkor21"));
    pdf.setResolution(kBildschirmPpi);
    auto groesse = [](const TDrawMetaFile* s) {
      return QPageSize(
          QSizeF(s->Width() * 25.4 / kBildschirmPpi, s->Height() * 25.4 / kBildschirmPpi),
          QPageSize::Millimeter);
    };
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(groesse(seiten.GetPage(0)));
    QPainter p;
    if (!p.begin(&pdf)) {
      fehler = nicht;
      return false;
    }
    for (int i = 0; i < seiten.Count(); ++i) {
      const TDrawMetaFile* s = seiten.GetPage(i);
      if (i > 0) {
        pdf.setPageSize(groesse(s));
        pdf.newPage();
      }
      s->Zeichne(p, QRectF(0, 0, s->Width(), s->Height()));
    }
    p.end();
  }
  if (!ziel.commit()) {
    fehler = nicht;
    return false;
  }
  return true;
}

bool TfrmPreview::PdfSpeichern() {
  QString datei = FDialoge.DateiSpeichern(this, QStringLiteral("PDF speichern"),
                                          QStringLiteral("PDF-Dateien (*.pdf)"));
  if (datei.isEmpty()) return false;
  if (!datei.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) datei += QStringLiteral(".pdf");
  QString fehler;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = AlsPdf(FViewer->Pages(), datei, windowTitle(), fehler);
  QApplication::restoreOverrideCursor();
  if (!ok) FDialoge.Meldung(this, fehler);
  return ok;
}

bool BlaetterTaste(int taste, QScrollArea& flaeche, const TBlaettern& b) {
  QScrollBar* h = flaeche.horizontalScrollBar();
  QScrollBar* v = flaeche.verticalScrollBar();
  switch (taste) {
    case Qt::Key_PageUp:
      b.Vorherige();
      return true;
    case Qt::Key_PageDown:
      b.Naechste();
      return true;
    case Qt::Key_Home:
      b.Erste();
      return true;
    case Qt::Key_End:
      b.Letzte();
      return true;
    case Qt::Key_Left:
      h->setValue(h->value() - 10);
      return true;
    case Qt::Key_Right:
      h->setValue(h->value() + 10);
      return true;
    case Qt::Key_Up:
      v->setValue(v->value() - 10);
      return true;
    case Qt::Key_Down:
      v->setValue(v->value() + 10);
      return true;
    default:
      return false;
  }
}

void TfrmPreview::keyPressEvent(QKeyEvent* e) {
  auto schritt = [this](void (TPreview::*f)()) {
    return [this, f] {
      FErsterSchritt = f == &TPreview::FirstPage;
      (FViewer->*f)();
    };
  };
  if (!BlaetterTaste(e->key(), *FViewer,
                     {schritt(&TPreview::FirstPage), schritt(&TPreview::PrevPage),
                      schritt(&TPreview::NextPage), schritt(&TPreview::LastPage)}))
    QDialog::keyPressEvent(e);  // Esc closes
}

void TfrmPreview::closeEvent(QCloseEvent* e) {
  if (FViewer->Busy()) {  // printing: the window stays
    FDialoge.Beep();
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}

void TfrmPreview::reject() {
  if (FViewer->Busy()) {
    FDialoge.Beep();
    return;
  }
  QDialog::reject();
}

}  // namespace t21
