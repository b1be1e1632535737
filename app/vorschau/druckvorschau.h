// The page viewer of a report's page list and the print preview window
// "Druckvorschau" around it.
#pragma once

#include <QDialog>
#include <QScrollArea>
#include <functional>

#include "report/repprinter.h"

class QComboBox;
class QLabel;
class QPrinter;

namespace t21 {

class TDialoge;

// The keys of the preview windows: Page Up / Page Down the previous / next
// page, Home / End the first / last, the arrow keys scroll by 10 pixels.
// False for any other key.
struct TBlaettern {
  std::function<void()> Erste, Vorherige, Naechste, Letzte;
};
bool BlaetterTaste(int taste, QScrollArea& flaeche, const TBlaettern& b);

// A scroll box showing one page of its own page list at a zoom in percent.
class TPreview : public QScrollArea {
  Q_OBJECT

 public:
  explicit TPreview(QWidget* eltern = nullptr);

  TPages& Pages() { return FPages; }
  int PageCount() const { return FPages.Count(); }
  int PageNumber() const { return FPage; }
  // Accepts 1 .. PageCount.
  void SetPageNumber(int n);
  int Zoom() const { return FZoom; }
  // Accepts a value that differs and lies in 25 ... 200.
  void SetZoom(int z);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool s);
  bool Busy() const { return FBusy; }
  QString Title;
  // Landscape or portrait for the printer.
  TAusrichtung Orientation = TAusrichtung::Hochformat;

  void FirstPage();
  void LastPage();
  void NextPage();
  void PrevPage();
  // Prints pages pfrom..pto (1-based, clamped to the list) on drucker, each
  // stretched over the printable area. False when there was nothing to
  // print or the printer could not start.
  bool Print(QPrinter& drucker, int pfrom, int pto);
  // Size of the page box at the current zoom (with the shadow).
  QSize SeitenGroesse() const;
  // After the page list changed.
  void Aktualisieren();

 signals:
  void Geklickt();
  // After every change of page, page list or zoom.
  void Geblaettert();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void Male(QPainter& p) const;

  TPages FPages;
  int FPage = 1, FZoom = 100;
  bool FShadow = true, FBusy = false;
  QWidget* FBox;
};

// "Druckvorschau": the viewer with the tool panel (page steps, zoom, print,
// save and load ".rpt", PDF). The caller fills Viewer().Pages() and calls
// Viewer().FirstPage(), then shows it; the window frees itself when closed.
class TfrmPreview : public QDialog {
  Q_OBJECT

 public:
  TfrmPreview(TDialoge& dialoge, QWidget* eltern = nullptr);
  TPreview& Viewer() { return *FViewer; }
  // The page indicator ("1 / 12").
  QString Seitenanzeige() const;
  // The commands of the tool panel, for the keys and the tests.
  void Drucken();
  bool Speichern();
  bool Laden();
  bool PdfSpeichern();
  // Writes the pages into a PDF file, each page at its own size.
  static bool AlsPdf(const TPages& seiten, const QString& datei, const QString& titel,
                     QString& fehler);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void Anzeigen();

  TDialoge& FDialoge;
  TPreview* FViewer;
  QLabel* FSeite;
  QComboBox* FZoom;
  // The indicator reads "n / N" after the first-page step, "n/N" after
  // the others.
  bool FErsterSchritt = true;
};

}  // namespace t21
