// Printing the verification report: the element selection
// "Druck-Auswahldialog", the page preview "Vorschau" and the section choice
// "Report-Erstellung" of the simulation's result reports.
#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QScrollArea;
class QPrinter;

namespace t21 {

class TDialoge;
class TDokument;
class TM3Model;

// "Druck-Auswahldialog": the available network shapes and the elements to
// print ("zu druckende Elemente"), each entry the name with its shape id;
// rain gauges are never listed. Closing makes the chosen names the
// project's print list, as one edit of the document when they changed.
class TDualListDlg : public QDialog {
  Q_OBJECT

 public:
  TDualListDlg(TDokument& dok, TDialoge& dialoge, QWidget* eltern = nullptr);

  QListWidget* SrcList() const { return FSrc; }
  QListWidget* DstList() const { return FDst; }
  // The ids of the elements to print, in order.
  std::vector<uint64_t> Gewaehlt() const;

  // The buttons' commands.
  void Hin();          // ">"
  void Zurueck();      // "<"
  void AlleHin();      // ">>"
  void AlleZurueck();  // "<<"
  void Hoch();
  void Runter();
  void Vorschau();
  // Prints the chosen elements (the print dialog's range of entries).
  void Drucken();
  // Prints the entries von..bis (1-based, clamped) onto drucker; the pages
  // printed, -1 when the printer could not start.
  int DruckeSeiten(QPrinter& drucker, int von, int bis);

 protected:
  void done(int r) override;

 private:
  void Knoepfe();
  QListWidget* FAktiveListe = nullptr;

  TDokument& FDok;
  TDialoge& FDialoge;
  QListWidget *FSrc, *FDst;
  QPushButton *FHin, *FZurueck, *FAlleHin, *FAlleZurueck, *FHoch, *FRunter;
};

// "Vorschau": the element pages of the chosen entries, one part at a time,
// drawn into an off-screen picture. Closes with Accepted for "Drucken".
class TPreviewForm : public QDialog {
  Q_OBJECT

 public:
  TPreviewForm(TDokument& dok, TDialoge& dialoge, std::vector<uint64_t> ids,
               QWidget* eltern = nullptr);

  int Seite() const { return FSeite; }  // 1-based entry
  int Teil() const { return FTeil; }    // 1 or 2
  const QImage& Bild() const { return FBild; }
  void ErsteSeite();
  void VorherigeSeite();
  void NaechsteSeite();
  void LetzteSeite();
  // "ganze Seite" (0) or "Seitenbreite" (1).
  void SetzeGroesse(int art);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  int Teile(int seite) const;
  void Zeichnen();

  TDokument& FDok;
  TDialoge& FDialoge;
  std::vector<uint64_t> FIds;
  int FSeite = 1, FTeil = 1, FGroesse = 0;
  QImage FBild;
  QLabel* FAnzeige;
  QScrollArea* FFlaeche;
  QComboBox* FGroesseBox;
  QPushButton *FErste, *FVorherige, *FNaechste, *FLetzte;
};

// "Report-Erstellung": which sections of the result report to print. The
// 40 entries' indices are the sections' keys; the group headings cannot be
// ticked. Closes with "&Vorschau" (Accepted), "&Drucken" (Drucken) or
// "&Abbruch" (Rejected).
class TFormReportErstellung : public QDialog {
  Q_OBJECT

 public:
  enum { Drucken = 2 };
  explicit TFormReportErstellung(QWidget* eltern = nullptr);

  static const std::vector<const char*>& Eintraege();
  static bool IstUeberschrift(int i);
  // Whether the section with this key is ticked (key 100: never).
  bool Gewaehlt(int schluessel) const;
  void SetzeGewaehlt(int schluessel, bool an);
  void AlleMarkieren();
  void MarkierungenAufheben();
  QListWidget* Liste() const { return FListe; }

 private:
  QListWidget* FListe;
};

}  // namespace t21
