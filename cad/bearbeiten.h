// Editing the drawing without a toolkit: names for new, split and pasted
// shapes, linking the selection in the link modes of the editor with the
// rules for rain-gauge and receiving-water links, splitting links, moving
// whole figures, snapping to the grid, aligning, inserting polyline
// vertices, the rubber band, dragging the grabs of a box, and the internal
// clipboard. The editor of the application calls these on the model of a
// commit; nothing here shows a window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cad/geometrie.h"
#include "cad/shape.h"

namespace t21 {

// The longest name a shape may carry.
inline constexpr size_t kMaxNamenLaenge = 31;

inline constexpr const char* kMeldungNurRegenschreiber =
    "Die Regenschreiber-Zuordnung ist nur zu einem Regenschreiber möglich.";
inline constexpr const char* kMeldungNurEinleitung =
    "Die Gewässer-Zuordnung ist nur zu einer Einleitungsstelle möglich.";
inline constexpr const char* kMeldungKeinRegenschreiberTeilen =
    "Eine Regenschreiber-Zuordnung kann nicht geteilt werden.";
inline constexpr const char* kMeldungKeinGewaesserTeilen =
    "Eine Gewässer-Zuordnung kann nicht geteilt werden.";
inline constexpr const char* kMeldungZweiteWurzel =
    "Das geschlossene Siedlungsgebiet gibt es in jedem Projekt nur einmal.";

// ------------------------------------------------------------------ names

// Names compared without regard to case (ASCII and the Latin-1 letters of
// UTF-8 text), as the element list compares them.
bool NamenGleichOhneFall(std::string_view a, std::string_view b);
// Number of characters (not bytes) of a UTF-8 text.
size_t Zeichenzahl(std::string_view s);
// s without leading and trailing blanks.
std::string Getrimmt(std::string_view s);

// A shape other than ausser carries this name (ignoring case).
bool NameBelegt(const TCadModel& m, std::string_view name, const TCadShape* ausser = nullptr);
// The check of a name for a new or renamed shape: "" when acceptable, else
// the message. The same rules as the element list's, over every shape of
// the drawing, graphic shapes included.
std::string PruefeName(const TCadModel& m, std::string_view name,
                       const TCadShape* ausser = nullptr);
// basis + "." + n with the smallest n >= 1 that no shape carries, shortened
// at the end of basis so that the whole name has at most 31 characters.
std::string NamensVorschlag(const TCadModel& m, std::string_view basis);
// The name itself if it is free, else NamensVorschlag (name).
std::string FreierName(const TCadModel& m, std::string_view name);

// --------------------------------------------------------------- creating

// Whether a shape of this type may be created in m; the root type NET only
// in a model that has no root yet. meldung receives the reason.
bool KannErzeugen(const TCadModel& m, std::string_view typ, std::string* meldung = nullptr);
// Rounds the anchor of a new shape to the grid (the whole figure moves).
void AmRaster(TCadShape& s, double gridMinor);

// ---------------------------------------------------------------- linking

// The link modes of the editor ("Verbinden" and the modifier clicks).
enum class TVerbindeModus { Keiner = 0, Parent = 1, KUE = 2, GEW = 3, BUE = 4, REG = 5 };

// The receiving water of the selected catchments: only a discharge point
// (EST) is taken; anything else gives kMeldungNurEinleitung through the
// model's Meldung and links nothing. False when refused.
bool SetzeGewaesser(TCadModel& m, TCadShape* p, bool alle = true);
// The rain gauge of the selected catchments: only a rain gauge (REG);
// anything else gives kMeldungNurRegenschreiber. False when refused.
bool SetzeRegenschreiber(TCadModel& m, TCadShape* p, bool alle = true);
// Links the selection to p in the given mode, by the connection rules.
void Verbinde(TCadModel& m, TVerbindeModus modus, TCadShape* p);

// Splits the link of s chosen by sender (1 Parent, 2 KUE, 3 GEW, 4 BUE, 5
// REG) by a new connector (a dot for dots) on the middle of its line, named
// by NamensVorschlag. Rain-gauge links and receiving-water assignments of
// catchments are never split: a connector there would be neither a rain
// gauge nor a discharge point. Returns the connector, selected, or nullptr
// (meldung says why when the link exists but may not be split). A link to
// the root is no line in the drawing and is not split.
TCadShape* TeileLink(TCadShape& s, int sender, const TAnsicht& v, std::string* meldung = nullptr);

// ----------------------------------------------------------------- moving

// Moves the whole figure by (dx, dy) drawing units: box, the points of
// arcs, chords and pies, the vertices of polylines and polygons.
void Verschiebe(TCadShape& s, double dx, double dy);
// Moves by (dx, dy) pixels so that the anchor lands on a pixel of the view;
// the rest of the figure follows by the same displacement.
void Bewege(TCadShape& s, const TAnsicht& v, int dx, int dy);
// Bewege for every selected shape. vorher, if given, is told about each
// shape just before it moves (an edit keeps its state).
using TVorDerAenderung = std::function<void(TCadShape&)>;
void BewegeAuswahl(TCadModel& m, const TAnsicht& v, int dx, int dy,
                   const TVorDerAenderung& vorher = {});
// Every selected shape with everything upstream that is not selected, each
// shape once.
void BewegeAuswahlMitZufluessen(TCadModel& m, const TAnsicht& v, int dx, int dy,
                                const TVorDerAenderung& vorher = {});

// ---------------------------------------------------------------- aligning

enum class THorizontal { Keine, Oben, Zentriert, Unten, AmRaster };
enum class TVertikal { Keine, Links, Mittig, Rechts, AmRaster };
// Aligns the selection in the order of selecting: the first one is the
// reference (snapped itself with "am Raster"); height and width are kept
// and the whole figure moves. Fewer than two selected shapes: false.
bool Ausrichten(TCadModel& m, THorizontal h, TVertikal v, double gridMinor,
                const TVorDerAenderung& vorher = {});

// --------------------------------------------------------------- polylines

// Inserts p (drawing units) into the polyline: after the first vertex S of
// the first segment S-D that p lies on within toleranz drawing units
// (vertical and horizontal segments included); appended at the end when no
// segment is near. Returns the index of the new vertex.
int PunktEinfuegen(TCadShape& s, TPunkt p, double toleranz);

// ------------------------------------------------------------- rubber band

// The rectangle of a rubber band from the press point to the release point,
// normalised; at least 20 x 20 pixels when mindestens is set.
struct TGummiband {
  TPixelRect Rect;
  bool NachLinks = false, NachOben = false;
};
TGummiband Gummiband(TPixel von, TPixel bis, bool mindestens);
inline constexpr int kGummibandMinimum = 20;
// Creation types drawn with a rubber band (REC, LIN, CIR, RRE, DIM, BMP,
// RAU, YON).
bool IstGummibandTyp(std::string_view typ);

// --------------------------------------------------------------- grabs

// Drags a grab of a box by (dx, dy) drawing units: 3 moves X2, 6 Y2, 9 X1,
// 12 Y1. When the box turns inside out the two edges are exchanged and the
// returned grab is the one now held (3 <-> 9, 6 <-> 12).
int ZieheGriff(TCadShape& s, int griff, double dx, double dy);
// Shapes whose box edges have grabs that resize (rectangles, ellipses,
// rounded rectangles, diamonds, decisions, pictures).
bool HatKastenGriffe(const TCadShape& s);

// ------------------------------------------------------------ clipboard

// The internal clipboard: a model of its own with copies of the copied
// shapes and the links among them.
class TZwischenablage {
 public:
  // neuesModell makes the clipboard's model (a network model, so that
  // elements come with their shapes); datenKopieren copies what a shape
  // carries beyond its drawing values (the element's data).
  using TModellFabrik = std::function<std::unique_ptr<TCadModel>()>;
  using TDatenKopieren = std::function<void(const TCadShape& von, TCadShape& nach)>;
  TZwischenablage(TModellFabrik neuesModell, TDatenKopieren datenKopieren);

  bool Leer() const { return !FModell; }
  const TCadModel* Modell() const { return FModell.get(); }

  // Copies every selected shape but the root, with the links among them.
  // Returns the number of shapes copied (none: the clipboard stays as it
  // was).
  int Kopieren(const TCadModel& quelle);
  // Creates copies of the clipboard's shapes in ziel where their sources
  // lay, under free names (the name, else name.1, name.2, ...), network
  // shapes below the root, with the links among them, and selects them.
  std::vector<TCadShape*> Einfuegen(TCadModel& ziel) const;

 private:
  TModellFabrik FFabrik;
  TDatenKopieren FDaten;
  std::unique_ptr<TCadModel> FModell;
};

}  // namespace t21
