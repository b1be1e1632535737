#include "cad/shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <unordered_set>

namespace t21 {

namespace {

struct ShapeTypeInfo {
  std::string_view code;
  bool m3;
  double width, height;
};

// Brush colours of the network shapes (0x00BBGGRR).
int Pinselfarbe(std::string_view typ) {
  if (typ == "KEM" || typ == "RU" || typ == "RUB") return 0x00FFFF;   // yellow
  if (typ == "KES") return 0x0000FF;                                  // red
  if (typ == "KER" || typ == "RKB" || typ == "EST") return 0xF0CAA6;  // sky blue
  if (typ == "AEO" || typ == "OMA" || typ == "KLG") return 0x008000;  // green
  if (typ == "AEK" || typ == "VFL" || typ == "VMU" || typ == "VRI" || typ == "VBE" || typ == "VSC")
    return 0xFFFF00;  // aqua
  if (typ == "REG" || typ == "YON") return 0xFFFFFF;
  return -1;
}

// Registered shape classes with the construction size of their box.
constexpr std::array<ShapeTypeInfo, 35> kShapeTypes{{
    {"CIR", false, 50, 50},   {"Arc", false, 50, 50}, {"Chord", false, 50, 50},
    {"PIE", false, 100, 100}, {"POG", false, 0, 0},   {"POL", false, 0, 0},
    {"Dim", false, 0, 0},     {"LIN", false, 0, 0},   {"TEX", false, 0, 0},
    {"REC", false, 50, 50},   {"RRE", false, 50, 50}, {"DOT", false, 12, 12},
    {"IMP", false, 0, 0},     {"BMP", false, 50, 50}, {"RAU", false, 50, 50},
    {"YON", false, 50, 50},   {"RU", true, 50, 50},   {"RUB", true, 70, 50},
    {"RKB", true, 70, 50},    {"OMA", true, 70, 50},  {"KLG", true, 50, 50},
    {"EST", true, 50, 20},    {"KEM", true, 50, 50},  {"KES", true, 50, 50},
    {"KER", true, 50, 50},    {"CON", true, 12, 12},  {"NET", true, 0, 0},
    {"REG", true, 50, 50},    {"AEO", true, 50, 50},  {"VFL", true, 50, 50},
    {"VMU", true, 50, 50},    {"VRI", true, 50, 50},  {"VBE", true, 50, 50},
    {"VSC", true, 50, 50},    {"AEK", true, 50, 50},
}};

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lo = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return lo(x) == lo(y);
         });
}

const ShapeTypeInfo* FindType(std::string_view typ) {
  for (const auto& t : kShapeTypes)
    if (EqualNoCase(t.code, typ)) return &t;
  return nullptr;
}

bool In(std::string_view typ, std::initializer_list<std::string_view> codes) {
  return std::find(codes.begin(), codes.end(), typ) != codes.end();
}

}  // namespace

bool IsRegisteredShapeType(std::string_view typ) {
  return FindType(typ) != nullptr;
}

std::string RegisteredShapeType(std::string_view typ) {
  const auto* t = FindType(typ);
  return t ? std::string(t->code) : std::string();
}

bool IsM3ShapeType(std::string_view typ) {
  const auto* t = FindType(typ);
  return t && t->m3;
}

// ---------------------------------------------------------------- TCadShape

TCadShape::TCadShape(std::string typ) : FTyp(std::move(typ)) {
  const auto* info = FindType(FTyp);
  FM3 = info && info->m3;
  if (info) {
    X2 = info->width;
    Y2 = info->height;
  }
  if (const int farbe = Pinselfarbe(FTyp); farbe >= 0 && FTyp != "CON") {
    Brush.Color = farbe;
    Brush.Style = 0;  // solid
  }
  if (FTyp == "RRE") X3 = Y3 = 15;
  Grafikwerte();
  if (FM3) {
    Ausrichtung = 9;
    TextPos = FTyp == "CON" ? 0 : 12;
    Visible = FTyp != "NET";
  }
}

TCadShape::~TCadShape() = default;

void TCadShape::Grafikwerte() {
  if (FTyp == "DOT") {
    Pen.Color = 0x808080;  // grey
    Val = "+";
  } else if (FTyp == "IMP") {
    const double f = std::max(1.0, std::round(std::abs(Font.Size) * 96.0 / 72.0));
    X2 = 35 * f;
    Y2 = 14 * f;
    Brush.Style = 0;  // solid
    Val = "Name#Straße#PLZ#Ort#Telefon#Fax#Mail#Nummer#Name#Variante#Auftraggeber#Datum#";
  } else if (FTyp == "BMP") {
    Pen.Style = 3;  // dash-dot
    Pen.Color = 0;
  } else if (FTyp == "TEX") {
    Fmt = "%s";
    Ausrichtung = 9;
  } else if (FTyp == "Dim") {
    Fmt = "%f";
  } else if (FTyp == "VFL") {
    bmp = 70;
  } else if (FTyp == "VBE") {
    bmp = 71;
  } else if (FTyp == "VMU") {
    bmp = 72;
  } else if (FTyp == "VRI") {
    bmp = 73;
  } else if (FTyp == "VSC") {
    bmp = 74;
  }
}

bool TCadShape::IsBauwerk() const {
  return In(FTyp, {"RU", "RUB", "RKB"});
}

bool TCadShape::IsEinzugsgebiet() const {
  return In(FTyp, {"KEM", "KES", "KER", "AEO", "AEK"});
}

bool TCadShape::IsRoot() const {
  return Model && Model->Root() == this;
}

double TCadShape::Width() const {
  return std::fabs(X1 - X2);
}
double TCadShape::Height() const {
  return std::fabs(Y2 - Y1);
}

TCadShape* TCadShape::GetFirstChild() const {
  return FZufluesse.empty() ? nullptr : FZufluesse.front();
}

TCadShape* TCadShape::GetNextChild(const TCadShape* n) const {
  auto it = std::find(FZufluesse.begin(), FZufluesse.end(), n);
  if (it == FZufluesse.end() || ++it == FZufluesse.end()) return nullptr;
  return *it;
}

void TCadShape::RemoveZufluss(const TCadShape* s) {
  auto it = std::find(FZufluesse.begin(), FZufluesse.end(), s);
  if (it != FZufluesse.end()) FZufluesse.erase(it);
}

void TCadShape::SetParent(TCadShape* p) {
  if (FParent) FParent->RemoveZufluss(this);
  if (p) p->FZufluesse.push_back(this);
  FParent = p;
}

void TCadShape::SetKUE(TCadShape* p) {
  if (p == this) return;
  LoeseKUE();
  if (p) p->FZufluesse.push_back(this);
  FKUE = p;
}

void TCadShape::SetGEW(TCadShape* p) {
  if (p == this) return;
  LoeseGEW();
  if (p) p->FZufluesse.push_back(this);
  FGEW = p;
}

void TCadShape::LoeseKUE() {
  if (FKUE) FKUE->RemoveZufluss(this);
  FKUE = nullptr;
}

void TCadShape::LoeseGEW() {
  if (FGEW) FGEW->RemoveZufluss(this);
  FGEW = nullptr;
}

void TCadShape::LoeseZufluesse() {
  TCadShape* root = Model ? Model->Root() : nullptr;
  const auto upstream = FZufluesse;  // SetParent changes the list
  for (TCadShape* s : upstream) {
    if (s->FParent != this) continue;
    if (s->IsM3Shape() && root == this) continue;  // already on the root
    s->SetParent(s->IsM3Shape() ? root : nullptr);
  }
}

void TCadShape::DeleteAllEdges() {
  LoeseZufluesse();
  TCadShape* root = Model ? Model->Root() : nullptr;
  SetParent(root != this ? root : nullptr);
  LoeseKUE();
  LoeseGEW();
  const auto upstream = FZufluesse;
  for (TCadShape* s : upstream) {
    if (s->FGEW == this) s->LoeseGEW();
    if (s->FKUE == this) s->LoeseKUE();
  }
}

TCadShape* TCadShape::IsParentOf(const TCadShape* p) const {
  if (!p) return nullptr;
  // Flowcharts of graphic shapes may loop: walk with a visited set.
  std::vector<const TCadShape*> stack{this};
  std::unordered_set<const TCadShape*> seen{this};
  while (!stack.empty()) {
    const TCadShape* s = stack.back();
    stack.pop_back();
    if (s == p) return const_cast<TCadShape*>(p);
    for (const TCadShape* u : s->FZufluesse)
      if (seen.insert(u).second) stack.push_back(u);
  }
  return nullptr;
}

bool TCadShape::TargetIsChildNode(const TCadShape* t) const {
  std::unordered_set<const TCadShape*> seen;
  for (const TCadShape* s = t; s && seen.insert(s).second; s = s->FParent)
    if (s == this) return true;
  return false;
}

// ---------------------------------------------------------------- TCadModel

TCadModel::TCadModel(std::string name) : Name(std::move(name)) {}

TCadModel::~TCadModel() {
  FreeAll();
}

void TCadModel::FreeAll() {
  // Links point between shapes of this model only; drop them all at once.
  FShapes.clear();
  FNachId.clear();
  Auswahl.Leeren();
}

TCadShape* TCadModel::GetNode(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FShapes[static_cast<size_t>(index)].get();
}

TCadShape* TCadModel::GetNode(std::string_view name) const {
  for (const auto& s : FShapes)
    if (s->Name == name) return s.get();
  return nullptr;
}

TCadShape* TCadModel::GetNodeById(uint64_t id) const {
  const auto it = FNachId.find(id);
  return it == FNachId.end() ? nullptr : it->second;
}

int TCadModel::IndexOf(const TCadShape* s) const {
  for (int i = Count() - 1; i >= 0; --i)
    if (FShapes[static_cast<size_t>(i)].get() == s) return i;
  return -1;
}

TCadShape* TCadModel::CreateShape(std::string_view typ, std::string_view name, double x, double y) {
  const auto* info = FindType(typ);
  if (!info) return nullptr;
  auto s = std::make_unique<TCadShape>(std::string(info->code));
  s->Name = std::string(name);
  // The box keeps the size the shape was constructed with.
  const double w = s->X2 - s->X1, h = s->Y2 - s->Y1;
  s->X1 = x;
  s->Y1 = y;
  s->X2 = x + w;
  s->Y2 = y + h;
  if (s->Typ() == "TEX") s->Val = s->Name;
  TCadShape* raw = s.get();
  Add(std::move(s));
  return raw;
}

int TCadModel::Add(std::unique_ptr<TCadShape> s) {
  s->Model = this;
  // A shape that brings its id (loading, undo) keeps it; ids are never
  // handed out twice.
  if (s->Id == 0 || GetNodeById(s->Id)) s->Id = FNaechsteId;
  FNaechsteId = std::max(FNaechsteId, s->Id + 1);
  FNachId[s->Id] = s.get();
  FShapes.push_back(std::move(s));
  return Count() - 1;
}

void TCadModel::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  auto s = std::move(FShapes[static_cast<size_t>(from)]);
  FShapes.erase(FShapes.begin() + from);
  FShapes.insert(FShapes.begin() + to, std::move(s));
}

std::unique_ptr<TCadShape> TCadModel::Remove(TCadShape* p) {
  const int i = IndexOf(p);
  if (i < 0) return nullptr;
  auto s = std::move(FShapes[static_cast<size_t>(i)]);
  FShapes.erase(FShapes.begin() + i);
  FNachId.erase(s->Id);
  Auswahl.Entfernen(s->Id);
  if (Auswahl.Aktuell == s->Id) Auswahl.Aktuell = 0;
  return s;
}

std::vector<TStrukturEintrag> TCadModel::Struktur() const {
  std::vector<TStrukturEintrag> r;
  r.reserve(FShapes.size());
  auto id = [](const TCadShape* s) { return s ? s->Id : uint64_t{0}; };
  for (const auto& s : FShapes) {
    TStrukturEintrag e{s->Id, id(s->FParent), id(s->FKUE), id(s->FGEW), {}};
    e.Zufluesse.reserve(s->FZufluesse.size());
    for (const TCadShape* u : s->FZufluesse) e.Zufluesse.push_back(u->Id);
    r.push_back(std::move(e));
  }
  return r;
}

bool TCadModel::SetzeStruktur(const std::vector<TStrukturEintrag>& st) {
  if (st.size() != FShapes.size()) return false;
  std::vector<TCadShape*> shapes;
  shapes.reserve(st.size());
  std::unordered_set<uint64_t> ids;
  for (const auto& e : st) {
    TCadShape* s = GetNodeById(e.Id);
    if (!s || !ids.insert(e.Id).second) return false;
    shapes.push_back(s);
    for (uint64_t u : e.Zufluesse)
      if (!GetNodeById(u)) return false;
    for (uint64_t z : {e.Parent, e.KUE, e.GEW})
      if (z && !GetNodeById(z)) return false;
  }
  // Reorder: every shape is held by its unique_ptr in FShapes.
  std::unordered_map<const TCadShape*, std::unique_ptr<TCadShape>> besitz;
  for (auto& s : FShapes) besitz[s.get()] = std::move(s);
  FShapes.clear();
  for (TCadShape* s : shapes) FShapes.push_back(std::move(besitz[s]));
  for (size_t i = 0; i < st.size(); ++i) {
    TCadShape* s = shapes[i];
    const auto& e = st[i];
    s->FParent = GetNodeById(e.Parent);
    s->FKUE = GetNodeById(e.KUE);
    s->FGEW = GetNodeById(e.GEW);
    s->FZufluesse.clear();
    for (uint64_t u : e.Zufluesse) s->FZufluesse.push_back(GetNodeById(u));
  }
  return true;
}

// ---------------------------------------------------------------- selection

void TAuswahl::Hinzufuegen(uint64_t id) {
  if (FMenge.insert(id).second) FIds.push_back(id);
}

void TAuswahl::Entfernen(uint64_t id) {
  if (FMenge.erase(id)) FIds.erase(std::find(FIds.begin(), FIds.end(), id));
}

void TAuswahl::Leeren() {
  FIds.clear();
  FMenge.clear();
}

void TCadModel::SetSelected(TCadShape* sh) {
  if (!sh || sh == Root() || sh->Model != this) return;
  Auswahl.Hinzufuegen(sh->Id);
}

void TCadModel::Deselect(TCadShape* sh) {
  if (sh) Auswahl.Entfernen(sh->Id);
}

void TCadModel::ChangeSelection(TCadShape* sh) {
  if (!sh) return;
  if (IsSelected(sh))
    Deselect(sh);
  else
    SetSelected(sh);
}

void TCadModel::SelectAll(bool flag) {
  if (!flag) {
    Auswahl.Leeren();
    return;
  }
  for (int i = 1; i < Count(); ++i) SetSelected(FShapes[static_cast<size_t>(i)].get());
}

TCadShape* TCadModel::LetzteSelektion() const {
  const auto& ids = Auswahl.Ids();
  for (auto it = ids.rbegin(); it != ids.rend(); ++it)
    if (TCadShape* s = GetNodeById(*it)) return s;
  return nullptr;
}

std::vector<TCadShape*> TCadModel::Selection() const {
  std::vector<TCadShape*> r;
  const auto& ids = Auswahl.Ids();
  for (auto it = ids.rbegin(); it != ids.rend(); ++it)
    if (TCadShape* s = GetNodeById(*it)) r.push_back(s);
  return r;
}

void TCadModel::SelectedNachHintenSetzen() {
  std::vector<TCadShape*> sel = Selection();
  // Taken from the most recent: each goes to index 1, so the first selected
  // ends up first after the root.
  for (TCadShape* s : sel) Move(IndexOf(s), 1);
  Auswahl.Leeren();
}

template <class F>
void TCadModel::ForSelection(bool flag, F&& f) {
  // Linking does not change the selection, so a snapshot of it is safe.
  for (TCadShape* n : Selection()) {
    f(n);
    if (!flag) break;
  }
}

// ---------------------------------------------------------- connection rules

namespace {

constexpr int kMaxRuleDepth = 10000;  // guards the connector recursion

bool NodeRule(const TCadShape* p, const TCadShape* n, int depth);

// The connector rule: a connector that already has upstream shapes may only
// go where everything flowing into it may go.
template <class Rule>
bool WithConnectorRule(const TCadShape* p, const TCadShape* n, int depth, Rule rule) {
  if (depth > kMaxRuleDepth) return false;
  if (n->IsConnector() && n->Count() > 0) {
    for (const TCadShape* u : n->Zufluesse())
      if (!WithConnectorRule(p, u, depth + 1, rule)) return false;
    return true;
  }
  return rule(p, n, depth);
}

bool NodeBase(const TCadShape* p, const TCadShape* n, int depth) {
  if (!p) return true;
  if (depth > kMaxRuleDepth) return false;
  const std::string& t = p->Typ();
  const std::string& s = n->Typ();
  if (t == "CON") return NodeRule(p->Parent(), n, depth + 1);
  if (t == "EST") return In(s, {"KLG", "KER", "OMA", "CON", "RKB", "EST", "AEO"});
  if (In(t, {"VFL", "VBE", "VMU", "VRI", "VSC"})) return s == "AEK";
  if (t == "KER") return In(s, {"KLG", "KER", "OMA", "CON", "RKB", "AEO"});
  if (t == "RKB") return In(s, {"KER", "OMA", "CON", "RKB"});
  if (t == "OMA")
    return In(s, {"KEM", "KER", "KES", "OMA", "RU", "RKB", "RUB", "CON", "AEO", "KLG"});
  if (In(t, {"RU", "RUB", "KLG", "KES", "KEM"}))
    return In(s, {"KEM", "KER", "KES", "OMA", "RU", "RKB", "RUB", "CON", "AEO"});
  if (In(t, {"REC", "RRE", "CIR", "YON", "RAU", "DOT"}))
    return In(s, {"REC", "RRE", "CIR", "YON", "RAU", "DOT"});
  if (t == "NET") return n->IsM3Shape();
  return false;
}

bool NodeRule(const TCadShape* p, const TCadShape* n, int depth) {
  return WithConnectorRule(p, n, depth, NodeBase);
}

bool AbsRule(const TCadShape* p, const TCadShape* n, int depth);

bool AbsBase(const TCadShape* p, const TCadShape* n, int depth) {
  if (!p) return true;
  if (depth > kMaxRuleDepth) return false;
  const std::string& t = p->Typ();
  if (t == "CON") return AbsRule(p->Parent(), n, depth + 1);
  if (In(t, {"KEM", "KER", "KES", "OMA", "RU", "RKB", "RUB", "EST", "KLG"}))
    return In(n->Typ(), {"RUB", "RKB", "OMA", "RU", "EST"});
  if (In(t, {"REC", "RRE", "CIR", "YON", "RAU", "DOT"})) return n->Typ() == "YON";
  return false;
}

bool AbsRule(const TCadShape* p, const TCadShape* n, int depth) {
  return WithConnectorRule(p, n, depth, AbsBase);
}

}  // namespace

bool TCadModel::IsNodeAllowed(const TCadShape* p, const TCadShape* n) const {
  return n && NodeRule(p, n, 0);
}

bool TCadModel::IsAbsAllowed(const TCadShape* p, const TCadShape* n) const {
  return n && AbsRule(p, n, 0);
}

// ------------------------------------------------------- linking the selection

namespace {
std::string SelbstMeldung(const TCadShape* n) {
  return "Element " + n->Name + " kann nicht mit sich selbst verbunden werden.";
}
std::string VorgaengerMeldung(const TCadShape* n, const TCadShape* p) {
  return "Element " + n->Name + " kann nicht mit eigenem Vorgänger Element " + p->Name +
         " verbunden werden.";
}
}  // namespace

void TCadModel::SelectedSetParent(TCadShape* p) {
  ForSelection(true, [&](TCadShape* n) {
    if (n == p) {
      Meldung(SelbstMeldung(n));
    } else if (n->IsParentOf(p)) {
      if (n->IsM3Shape())
        Meldung(VorgaengerMeldung(n, p));
      else if (IsNodeAllowed(p, n))
        n->SetParent(p);  // flowcharts may loop
    } else if (IsNodeAllowed(p, n)) {
      n->SetParent(p);
    }
  });
}

void TCadModel::SelectedSetKUE(TCadShape* p, bool flag) {
  if (p && p->IsRegenschreiber()) return;
  ForSelection(flag, [&](TCadShape* n) {
    if (!In(n->Typ(), {"RUB", "RKB", "RU", "OMA", "EST", "YON"})) return;
    if (n == p) {
      Meldung(SelbstMeldung(n));
    } else if (n->IsParentOf(p)) {
      if (n->IsM3Shape())
        Meldung(VorgaengerMeldung(n, p));
      else if (IsNodeAllowed(p, n))
        n->SetParent(p);  // the "nein" exit of a decision may loop back
    } else if (IsAbsAllowed(p, n)) {
      n->SetKUE(p);
    }
  });
}

void TCadModel::SelectedSetBUE(TCadShape* p, bool flag) {
  ForSelection(flag, [&](TCadShape* n) {
    if (!In(n->Typ(), {"RUB", "RKB", "OMA"})) return;
    if (n == p)
      Meldung(SelbstMeldung(n));
    else if (n->IsParentOf(p))
      Meldung(VorgaengerMeldung(n, p));
    else if (IsAbsAllowed(p, n))
      n->SetGEW(p);
  });
}

void TCadModel::SelectedSetGEW(TCadShape* p, bool flag) {
  ForSelection(flag, [&](TCadShape* n) {
    if (n->IsEinzugsgebiet()) n->SetGEW(p);
  });
}

void TCadModel::SelectedSetREG(TCadShape* p, bool flag) {
  ForSelection(flag, [&](TCadShape* n) {
    if (n->IsEinzugsgebiet()) n->SetKUE(p);
  });
}

void TCadModel::SelectedLoeseAbfluss() {
  TCadShape* root = Root();
  ForSelection(true, [&](TCadShape* n) {
    if (n->Parent() != root) n->SetParent(root);
  });
}

void TCadModel::SelectedLoeseZufluesse() {
  ForSelection(true, [](TCadShape* n) { n->LoeseZufluesse(); });
}
void TCadModel::SelectedLoeseKUE() {
  ForSelection(true, [](TCadShape* n) { n->LoeseKUE(); });
}
void TCadModel::SelectedLoeseGEW() {
  ForSelection(true, [](TCadShape* n) { n->LoeseGEW(); });
}
void TCadModel::SelectedDeleteAllEdges() {
  ForSelection(true, [](TCadShape* n) { n->DeleteAllEdges(); });
}

// ------------------------------------------------------------------ deleting

void TCadModel::DeleteShape(TCadShape* p) {
  if (!p || p == Root()) return;
  if (VorDemLoeschen) VorDemLoeschen(*p);
  p->DeleteAllEdges();
  p->SetParent(nullptr);  // off the root's upstream list
  Remove(p);
}

void TCadModel::SelectedDelete() {
  for (TCadShape* s : Selection()) DeleteShape(s);
}

}  // namespace t21
