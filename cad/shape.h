// The shape graph: shapes as nodes of the drainage network and of annotating
// flowcharts, linked downstream by Parent, KUE and GEW; each shape keeps the
// list of its upstream shapes. Free of any GUI toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace t21 {

class TCadModel;

// A shape's place in the topology and the order of its model, as ids:
// its downstream links and its upstream list (0: none).
struct TStrukturEintrag {
  uint64_t Id = 0, Parent = 0, KUE = 0, GEW = 0;
  std::vector<uint64_t> Zufluesse;
  bool operator==(const TStrukturEintrag&) const = default;
};

// Drawing attributes, stored as the drawing keeps them (colours as
// 0x00BBGGRR values).
struct TSchrift {
  int CharSet = 1;  // default character set
  int Color = 0;
  int Size = 8;
  std::string Name = "Arial";
  bool Fett = false, Kursiv = false, Unterstrichen = false, Durchgestrichen = false;
  bool operator==(const TSchrift&) const = default;
};

struct TStift {
  int Color = 0;
  int Mode = 4;  // copy
  int Width = 1;
  int Style = 6;  // inside frame
  bool operator==(const TStift&) const = default;
};

struct TPinsel {
  int Color = 0xFFFFFF;
  int Style = 1;  // clear
  bool operator==(const TPinsel&) const = default;
};

struct TPunkt {
  double X = 0, Y = 0;
  bool operator==(const TPunkt&) const = default;
};

// The view settings a model keeps with itself.
struct TAnsichtEinstellungen {
  double OrgX = 0, OrgY = 0, Zoom = 1;
  double GridMinor = 10, GridMajor = 100;
  int GridColor = 0xC0C0C0;
  bool ShowParent = true, ShowKUE = true, ShowGEW = true, ShowBUE = true, ShowREG = true;
  bool ShowGrid = false;
  TStift SelPen{0x0000FF, 4, 1, 0};
  bool operator==(const TAnsichtEinstellungen&) const = default;
};

// What a network shape carries: its element object. The shape owns it.
class TCadData {
 public:
  virtual ~TCadData() = default;
};

class TCadShape {
 public:
  explicit TCadShape(std::string typ);
  virtual ~TCadShape();
  TCadShape(const TCadShape&) = delete;
  TCadShape& operator=(const TCadShape&) = delete;

  // Type code of the shape ("KEM", "RU", "Arc", ...).
  const std::string& Typ() const { return FTyp; }

  // Kinds the compute pass and the connection rules ask for.
  bool IsM3Shape() const { return FM3; }  // a network (element) shape
  bool IsRegenschreiber() const { return FTyp == "REG"; }
  bool IsBauwerk() const;  // RU, RUB, RKB (structure shapes)
  bool IsOMA() const { return FTyp == "OMA"; }
  bool IsConnector() const { return FTyp == "CON"; }
  bool IsEinleitung() const { return FTyp == "EST"; }
  bool IsEinzugsgebiet() const;  // KEM, KES, KER, AEO, AEK
  bool IsRoot() const;

  // The upstream list: every shape that links here, in link order; a shape
  // linked twice occurs twice.
  const std::vector<TCadShape*>& Zufluesse() const { return FZufluesse; }
  int Count() const { return static_cast<int>(FZufluesse.size()); }
  TCadShape* GetFirstChild() const;
  TCadShape* GetNextChild(const TCadShape* n) const;

  TCadShape* Parent() const { return FParent; }
  TCadShape* KUE() const { return FKUE; }
  TCadShape* REG() const { return FKUE; }
  TCadShape* GEW() const { return FGEW; }
  TCadShape* BUE() const { return FGEW; }

  void SetParent(TCadShape* p);
  void SetKUE(TCadShape* p);
  void SetREG(TCadShape* p) { SetKUE(p); }
  void SetGEW(TCadShape* p);
  void SetBUE(TCadShape* p) { SetGEW(p); }
  void LoeseKUE();
  void LoeseGEW();
  void LoeseZufluesse();
  void DeleteAllEdges();

  // p if p is this shape or lies anywhere upstream of it, else nullptr.
  TCadShape* IsParentOf(const TCadShape* p) const;
  // True if this shape is t or lies on t's chain of Parent links.
  bool TargetIsChildNode(const TCadShape* t) const;

  TCadData* Data() const { return FData.get(); }
  void SetData(std::unique_ptr<TCadData> d) { FData = std::move(d); }
  std::unique_ptr<TCadData> TakeData() { return std::move(FData); }

  TCadModel* Model = nullptr;
  // Stable identity within its model: kept through renaming, saving and
  // loading, undo and redo. 0 until the model takes the shape.
  uint64_t Id = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  // Arcs, chords and pies: the points whose rays from the centre bound the
  // arc (X3, Y3) to (X4, Y4). Rounded rectangles: the corner radii X3, Y3.
  double X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
  std::string Name;
  TSchrift Font;
  TStift Pen;
  TPinsel Brush;
  std::vector<TPunkt> Koordinaten;  // vertices of polylines and polygons
  bool Solid = false;
  bool HGespiegelt = false, VGespiegelt = false;
  bool Visible = true;
  bool ShowArrows = true;
  int Ausrichtung = 6;
  int TextPos = 0;
  std::string Val;
  std::string Al = "LTA_00000000";
  std::string Fmt;
  // Dimensions: the kind ("a" aligned, "h" horizontal, "v" vertical, "r"
  // leader), the length of the extension lines in drawing units, and the
  // label width plus 8 pixels in drawing units, kept for the extent.
  std::string A = "a";
  double GL = 10;
  double m_dw = 0;
  // Pictures: stretched into the box, or drawn unscaled at its corner.
  bool Stretch = true, Center = false;
  // Infiltration facilities: the index of their picture in the main
  // window's image list (-1 for other shapes).
  int bmp = -1;

  double HMiddle() const { return X1 + (X2 - X1) / 2; }
  double VMiddle() const { return Y1 + (Y2 - Y1) / 2; }
  double Width() const;
  double Height() const;

 private:
  friend class TCadModel;
  void RemoveZufluss(const TCadShape* s);  // one occurrence
  void Grafikwerte();                      // construction values of graphic shapes

  std::string FTyp;
  bool FM3 = false;
  std::unique_ptr<TCadData> FData;
  TCadShape* FParent = nullptr;
  TCadShape* FKUE = nullptr;
  TCadShape* FGEW = nullptr;
  std::vector<TCadShape*> FZufluesse;
};

// True if the type code is registered (case-insensitive).
bool IsRegisteredShapeType(std::string_view typ);
// The registered spelling of a type code ("arc" -> "Arc"), or "" when unknown.
std::string RegisteredShapeType(std::string_view typ);
// True for the type codes of network (element) shapes.
bool IsM3ShapeType(std::string_view typ);

// The selection of a model's views: the selected shapes in the order they
// were selected, and the current element (the entry of the element list).
// It is view state beside the shape list: selecting neither reorders the
// list nor counts as an edit of the project.
class TAuswahl {
 public:
  bool Enthaelt(uint64_t id) const { return FMenge.count(id) != 0; }
  void Hinzufuegen(uint64_t id);  // at the end; a selected id stays where it is
  void Entfernen(uint64_t id);
  void Leeren();
  bool Leer() const { return FIds.empty(); }
  // In the order of selecting, the most recent last.
  const std::vector<uint64_t>& Ids() const { return FIds; }
  // The shape id of the current element; 0 for none.
  uint64_t Aktuell = 0;

 private:
  std::vector<uint64_t> FIds;
  std::unordered_set<uint64_t> FMenge;
};

// The drawing model: an ordered list of shapes (drawing and storage order)
// with the root at index 0, and the selection of its views.
class TCadModel {
 public:
  explicit TCadModel(std::string name = {});
  virtual ~TCadModel();
  TCadModel(const TCadModel&) = delete;
  TCadModel& operator=(const TCadModel&) = delete;

  std::string Name;
  TSchrift Font;
  std::vector<std::string> PrintList;
  TAnsichtEinstellungen ParViewSettings;
  bool Drawing = false;
  bool AutoOeffnen = false;
  bool AmRasterAusrichten = false;

  int Count() const { return static_cast<int>(FShapes.size()); }
  TCadShape* GetNode(int index) const;
  TCadShape* GetNode(std::string_view name) const;  // exact comparison
  TCadShape* Root() const { return FShapes.empty() ? nullptr : FShapes.front().get(); }
  TCadShape* GetNodeById(uint64_t id) const;
  // The id the next shape without one receives.
  uint64_t NaechsteId() const { return FNaechsteId; }
  int IndexOf(const TCadShape* s) const;

  // New shape of the registered class for typ (case-insensitive) at (x, y)
  // in drawing units, appended to the list; nullptr for an unknown type.
  virtual TCadShape* CreateShape(std::string_view typ, std::string_view name, double x, double y);
  int Add(std::unique_ptr<TCadShape> s);
  // Moves the shape at index from to index to.
  void Move(int from, int to);

  // Order and links of every shape, in list order.
  std::vector<TStrukturEintrag> Struktur() const;
  // Brings order, links and upstream lists back to a state taken by
  // Struktur(). False (and nothing changed) unless s names exactly the
  // shapes of the model.
  bool SetzeStruktur(const std::vector<TStrukturEintrag>& s);

  // Selection. The root is never selected.
  TAuswahl Auswahl;
  bool IsSelected(const TCadShape* s) const { return s && Auswahl.Enthaelt(s->Id); }
  void SetSelected(TCadShape* sh);
  void Deselect(TCadShape* sh);
  void ChangeSelection(TCadShape* sh);
  void SelectAll(bool flag);
  bool AnySelected() const { return !Auswahl.Leer(); }
  // The most recently selected shape, or nullptr.
  TCadShape* LetzteSelektion() const;
  // The selected shapes, the most recently selected first.
  std::vector<TCadShape*> Selection() const;
  // Moves the selection to the front of the drawing order (just after the
  // root, in the order of selecting) and deselects it.
  void SelectedNachHintenSetzen();

  // Connection rules
  bool IsNodeAllowed(const TCadShape* p, const TCadShape* n) const;
  bool IsAbsAllowed(const TCadShape* p, const TCadShape* n) const;

  // Linking the selection; refusals with a message go to Meldung.
  void SelectedSetParent(TCadShape* p);
  void SelectedSetKUE(TCadShape* p, bool flag);
  void SelectedSetBUE(TCadShape* p, bool flag);
  void SelectedSetGEW(TCadShape* p, bool flag);
  void SelectedSetREG(TCadShape* p, bool flag);
  void SelectedLoeseAbfluss();
  void SelectedLoeseZufluesse();
  void SelectedLoeseKUE();
  void SelectedLoeseGEW();
  void SelectedDeleteAllEdges();

  virtual void DeleteShape(TCadShape* p);
  virtual void SelectedDelete();
  void FreeAll();
  // Told about every shape DeleteShape is about to remove, while the shape
  // is still whole (an edit being staged keeps its state for undo).
  std::function<void(const TCadShape&)> VorDemLoeschen;

  // Receives the messages of refused links (beep and message box in the
  // program). Without a handler, messages are kept in LetzteMeldung only.
  std::string LetzteMeldung;
  virtual void Meldung(const std::string& text) { LetzteMeldung = text; }

 protected:
  std::unique_ptr<TCadShape> Remove(TCadShape* p);

 private:
  template <class F>
  void ForSelection(bool flag, F&& f);
  std::vector<std::unique_ptr<TCadShape>> FShapes;
  std::unordered_map<uint64_t, TCadShape*> FNachId;
  uint64_t FNaechsteId = 1;
};

}  // namespace t21
