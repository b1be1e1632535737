// The editor of the drawing: the exclusive tools, the mouse protocol in the
// drawing view, creating shapes from the palette with the name prompt,
// the link modes, the context menus of a shape and of the drawing, the keys
// of the element list, the internal clipboard, aligning, searching,
// renaming and the graphic settings. Every edit is one commit on the
// current project's document; the editor holds shapes by id only and
// forgets them when they are deleted or another project becomes current.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "cad/bearbeiten.h"
#include "document/dokument.h"

class QAction;
class QDialog;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPainter;
class QWidget;

namespace t21 {

class TDialoge;
class TZeichenAnsicht;

// The tools that are not creation tools, by the name of their button.
inline constexpr const char* kEinzelauswahl = "Einzelauswahl";
inline constexpr const char* kSchnittAuswahl = "SchnittAuswahl";
inline constexpr const char* kFensterAuswahl = "FensterAuswahl";
inline constexpr const char* kVerschieben = "Verschieben";
inline constexpr const char* kZoomen = "Zoomen";

inline constexpr const char* kMeldungZweiMarkieren = "Sie müssen mindestens 2 Elemente markieren";
inline constexpr const char* kMeldungNichtsMarkiert = "Es ist kein Element markiert!";
inline constexpr const char* kFrageAlleLoeschen =
    "Sollen wirklich alle Komponenten gelöscht werden?";

class TEditor : public QObject {
  Q_OBJECT

 public:
  TEditor(TZeichenAnsicht* ansicht, TDialoge& dialoge, QWidget* fenster);
  ~TEditor() override;

  // The project edited; a change forgets every shape held and ends a
  // polyline in progress (as drawn so far).
  void SetzeDokument(TDokument* d);
  TDokument* Dokument() const { return FDok; }
  // Told by the main window about every change notice of the document.
  void Bemerke(const TAenderung& a);

  // The tool: one of the names above or a creation type code ("KEM",
  // "REC", "DIM", ...). Selecting a tool ends a polyline in progress.
  void SetzeWerkzeug(const QString& werkzeug);
  const QString& Werkzeug() const { return FWerkzeug; }
  // The cursor of a tool in the drawing: a hand for "verschieben", the
  // magnifier for "zoomen" (both our own artwork), a cross-hair for the
  // crossing selection, the drag cursor (our own) for every creation tool,
  // otherwise the arrow.
  QCursor WerkzeugCursor(const QString& werkzeug) const;
  bool IstErzeugungsWerkzeug() const;
  TVerbindeModus VerbindeModus() const { return FModus; }
  void SetzeVerbindeModus(TVerbindeModus m) { FModus = m; }
  // The current shape (last picked) and the grab held; 0 / -1 for none.
  uint64_t AktuellerShape() const;
  int Griff() const { return FGriff; }
  bool PolylinieInArbeit() const { return FPolyId != 0; }
  // The rubber band while a button is held (pixels, normalised).
  std::optional<TPixelRect> GummibandRect() const;

  // Creates a shape of the current creation tool at the pixel (x, y) after
  // asking for its name; its id, or 0 when nothing was created.
  uint64_t NeuesElement(int x, int y);

  // Commands of the menus.
  void Kopieren();
  void Ausschneiden();
  void Einfuegen();
  void Loeschen();
  void AlleLoeschen();
  void AlleMarkieren();
  void Umbenennen();
  void Suchen();
  void AusrichtenDialog();
  // "Grafik-Einstellungen" for the selection, or for the shape id alone.
  void Grafikeinstellungen(uint64_t nurShape = 0);
  void Teilen(int sender);
  void Loesen(int art);  // 1 Folgekomponente, 2 Zuflüsse, 3 KUE, 4 GEW, 5 alle
  void Fliessrichtung(int wohin);
  void Spiegeln(bool horizontal);
  void Drehen();
  void NachHintenSetzen();
  void Ausblenden();
  void GeoReferenzierung();
  void Ansicht(int art);  // hide and show: see Ansicht_ of the view menu
  bool Clipboard() const { return !FAblage.Leer(); }

  // Keys of the element list: true when consumed.
  bool Taste(QKeyEvent* e);

  // The context menus (filled and enabled before they are shown).
  QMenu* ObjektMenue() const { return FObjekt; }
  QMenu* ZeichnungsMenue() const { return FZeichnung; }
  void ObjektMenueAktualisieren();

  // How menus and the editor's own dialogs are shown; tests replace these
  // so that nothing blocks.
  std::function<void(QMenu&, QPoint)> MenueZeigen;
  std::function<int(QDialog&)> DialogAusfuehren;
  // Fills a title block's value from the address and the project record.
  std::function<void(TCadShape&)> TitelblockFuellen;
  // Whether "Ereignis-Grafik" and "Ereignis-Tabelle" are enabled (a long
  // run has finished); unset: disabled.
  std::function<bool()> EreignisMoeglich;

 signals:
  // The element list is to follow this shape (0: the root).
  void KnotenGewaehlt(uint64_t id);
  // The editor of this shape is to open (element dialog, graphic settings).
  void EditorOeffnen(uint64_t id);
  void WerkzeugGewechselt(const QString& werkzeug);
  // The mouse is at this drawing point over this shape (0: none).
  void Maus(double x, double y, uint64_t shape);
  // Selection or view changed: status bar, commands and overview follow.
  void AuswahlGeaendert();
  // Ctrl+E in the drawing: the editor of the current shape.
  void Editieren();
  // "Ereignis-Grafik" (grafik) or "Ereignis-Tabelle" for this shape.
  void EreignisOeffnen(uint64_t id, bool grafik);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void Druecken(QMouseEvent* e);
  void Bewegen(QMouseEvent* e);
  void Loslassen(QMouseEvent* e);
  void Doppelklick();
  void Overlay(QPainter& p);

  TM3Model* Modell() const;
  const TAnsicht& Ans() const;
  TCadShape* Shape(uint64_t id) const;
  void AllesAbwaehlen();
  void Waehle(uint64_t id);
  void Gewaehlt(uint64_t id);  // the element list follows
  void Neuzeichnen();
  // One edit as a commit: f edits the commit's model; pushed afterwards.
  void Bearbeite(const std::string& titel, const std::function<void(TCommit&)>& f);
  std::optional<std::string> FrageName(const QString& typ, const QString& vorschlag);
  TCadShape* Erzeuge(TCommit& c, const std::string& typ, const std::string& name, int x, int y);
  void PolylinieBeenden();
  void ZugBeenden();
  void Cursor(const QPoint& p);
  bool IstGummibandWerkzeug() const;
  void MenuesAnlegen();
  int Ausfuehren(QDialog& d);

  TZeichenAnsicht* FAnsicht;
  TDialoge& FDialoge;
  QWidget* FFenster;
  TDokument* FDok = nullptr;
  QString FWerkzeug = QString::fromUtf8(kEinzelauswahl);
  TVerbindeModus FModus = TVerbindeModus::Keiner;
  uint64_t FAktuell = 0;
  int FGriff = -1;
  bool FLBDown = false;
  QPoint FDruck, FLetzter;
  // A drag that moves or resizes: one commit from press to release.
  std::optional<TCommit> FZug;
  // The polyline being drawn: its commit lives until the polyline ends.
  uint64_t FPolyId = 0;
  std::optional<TCommit> FPolyZug;
  TZwischenablage FAblage;
  QMenu* FObjekt = nullptr;
  QMenu* FZeichnung = nullptr;
  QMenu* FVerbinden = nullptr;
  QMenu* FLoesen = nullptr;
  QMenu* FTeilen = nullptr;
  QMenu* FRichtung = nullptr;
  QMenu* FSpiegeln = nullptr;
  // The cursors of our own, made once with the editor.
  QCursor FCursorPan, FCursorZoom, FCursorNeu;
};

}  // namespace t21
