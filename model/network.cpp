#include "model/network.h"

#include <algorithm>
#include <unordered_set>

namespace t21 {

// ------------------------------------------------------------------- names

namespace {

// Byte i of s folded to lower case: ASCII letters and the two-byte UTF-8
// forms of the Latin-1 capitals (U+00C0..U+00DE without the sign U+00D7).
unsigned char Gefaltet(std::string_view s, size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
  if (i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3 && b >= 0x80 && b <= 0x9E && b != 0x97)
    return static_cast<unsigned char>(b + 0x20);
  return b;
}

int Vergleiche(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = Gefaltet(a, i), y = Gefaltet(b, i);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

size_t Zeichenzahl(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string_view Getrimmt(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

bool NameLess::operator()(std::string_view a, std::string_view b) const {
  return Vergleiche(a, b) < 0;
}

bool NamenGleich(std::string_view a, std::string_view b) {
  return Vergleiche(a, b) == 0;
}

bool TElementListe::Add(const std::string& name, TCadShape* shape) {
  return FEintraege.emplace(name, shape).second;
}

void TElementListe::Remove(std::string_view name) {
  auto it = FEintraege.find(std::string(name));
  if (it == FEintraege.end()) return;
  FEintraege.erase(it);
}

TCadShape* TElementListe::Find(std::string_view name) const {
  auto it = FEintraege.find(std::string(name));
  return it == FEintraege.end() ? nullptr : it->second;
}

std::vector<std::string> TElementListe::Names() const {
  std::vector<std::string> r;
  r.reserve(FEintraege.size());
  for (const auto& [name, shape] : FEintraege) r.push_back(name);
  return r;
}

void TElementListe::Clear() {
  FEintraege.clear();
}

// ------------------------------------------------------------------ model

TM3Model::TM3Model(std::string name)
    : TCadModel(std::move(name)), Referenz(StandardReferenzListen()) {
  CreateNewShape("NET", kWurzelName, 0, 0);
  Modified = 0;
  RechneAb(Root());
}

TM3Model::~TM3Model() {
  DeleteAll();
}

TNET& TM3Model::Netz() {
  if (auto* n = dynamic_cast<TNET*>(ElementOf(Root()))) return *n;
  return FErsatzNetz;
}

const TNET& TM3Model::Netz() const {
  return const_cast<TM3Model*>(this)->Netz();
}

TElement* TM3Model::ElementOf(const TCadShape* s) {
  return s ? dynamic_cast<TElement*>(s->Data()) : nullptr;
}

TElement* TM3Model::CurrentElement() const {
  return ElementOf(CurrentNode());
}

TCadShape* TM3Model::CreateShape(std::string_view typ, std::string_view von, double x, double y) {
  // The project tables receive their records here once they exist.
  TCadShape* s = CreateNewShape(typ, von, x, y);
  if (s) SetzeAktuell(s);
  return s;
}

TCadShape* TM3Model::CreateNewShape(std::string_view typ, std::string_view von, double x,
                                    double y) {
  const std::string t = NeuerTypcode(typ);
  auto element = CreateHydElement(t);
  TCadShape* s = TCadModel::CreateShape(t, von, x, y);
  if (!s) return nullptr;
  if (element) SetElement(s, std::move(element));
  if (s->Typ() != "NET" && s->IsM3Shape() && Root() != s) s->SetParent(Root());
  ++Modified;
  if (s->Data()) Liste.Add(s->Name, s);
  return s;
}

void TM3Model::SetElement(TCadShape* shape, std::unique_ptr<TElement> e) {
  if (!shape) return;
  if (e) e->Owner = shape;
  shape->SetData(std::move(e));
}

std::string TM3Model::CheckName(std::string_view s) const {
  s = Getrimmt(s);
  if (s.empty()) return "Sie müssen eine Elementbezeichnung eingeben!";
  if (Zeichenzahl(s) > 31) return "Die Länge des Element-Namens ist auf 31 Zeichen begrenzt!";
  if (s.front() == '~') return "Der Element-Name darf nicht mit dem Zeichen \"~\" beginnen!";
  if (Liste.Contains(s)) return "Ein Element mit diesem Namen existiert bereits!";
  return {};
}

void TM3Model::RenameNode(const std::string& s, TCadShape* node) {
  if (!node) return;
  ++Modified;
  Liste.Remove(node->Name);
  Liste.Add(s, node);
  SetzeAktuell(node);
  node->Name = s;
}

bool TM3Model::FindNode(std::string_view sText) {
  TCadShape* s = Liste.Find(sText);
  if (!s) {
    Meldung("Element " + std::string(sText) + " nicht gefunden!");
    return false;
  }
  SetzeAktuell(s);
  SelectAll(false);
  SetSelected(s);
  HoleZufluss(s);
  return true;
}

void TM3Model::DeleteShape(TCadShape* p) {
  if (!p || p == Root()) return;
  if (VorDemLoeschen) VorDemLoeschen(*p);
  TCadShape* root = Root();
  // A shape linked twice stands twice in the list; each entry undoes one link.
  const auto upstream = p->Zufluesse();
  for (TCadShape* s : upstream) {
    if (s->KUE() == p)
      s->LoeseKUE();
    else if (s->GEW() == p)
      s->LoeseGEW();
    else if (s->Parent() == p)
      s->SetParent(root);
  }
  // A graphic shape may carry an element's name: only its own entry goes.
  if (Liste.Find(p->Name) == p) Liste.Remove(p->Name);
  p->SetData(nullptr);
  TCadModel::DeleteShape(p);
  ++Modified;
}

void TM3Model::StrangLoeschen(TCadShape* p) {
  if (!p || p == Root()) return;
  // Delete from the sources down: each shape before its own downstream.
  while (p->Count() > 0) {
    std::unordered_set<const TCadShape*> gesehen{p};
    TCadShape* s = p->GetFirstChild();
    while (s->Count() > 0 && gesehen.insert(s).second) s = s->GetFirstChild();
    if (s == Root()) break;
    DeleteShape(s);
  }
  DeleteShape(p);
  AllesRechnen();
}

void TM3Model::SelectedDelete() {
  for (TCadShape* s : Selection()) DeleteShape(s);
  SetzeAktuell(Root());
  AllesRechnen();
  HoleZufluss(Root());
}

void TM3Model::DeleteAll() {
  FreeAll();
  Liste.Clear();
}

void TM3Model::CopyShape(const TCadShape* from, TCadShape* to) {
  if (!from || !to) return;
  to->Solid = from->Solid;
  to->HGespiegelt = from->HGespiegelt;
  to->VGespiegelt = from->VGespiegelt;
  to->ShowArrows = from->ShowArrows;
  to->Ausrichtung = from->Ausrichtung;
  to->TextPos = from->TextPos;
  to->Val = from->Val;
  to->Al = from->Al;
  to->Fmt = from->Fmt;
  TElement* a = ElementOf(from);
  TElement* b = ElementOf(to);
  if (a && b) b->AssignValues(*a);
}

void TM3Model::SelectedGeoReferenzierung() {
  for (TCadShape* s : Selection()) {
    const TElement* e = ElementOf(s);
    if (!e || (e->SUM.RW == 0 && e->SUM.HW == 0)) continue;
    const double dx = e->SUM.RW - s->X1, dy = e->SUM.HW - s->Y1;
    s->X1 += dx;
    s->X2 += dx;
    s->Y1 += dy;
    s->Y2 += dy;
  }
}

void TM3Model::KonfigurierteElementeAusblenden() {
  for (int i = Count() - 1; i >= 1; --i) {
    TCadShape* s = GetNode(i);
    const TElement* e = ElementOf(s);
    if (!e || e->SUM.QBEM() == 0) continue;
    s->Visible = false;
    Deselect(s);
  }
}

// ------------------------------------------------------------ compute pass

void TM3Model::HoleZufluss(TCadShape* p) {
  if (!ElementOf(p) || p->IsRegenschreiber()) return;
  FZufluss.Leeren();
  const TSpenden& spenden = Netz().Spenden;
  // A shape linked here by more than one link occurs more than once in the
  // list; it is gathered at its first occurrence, all its links at once.
  const auto& zu = p->Zufluesse();
  std::unordered_set<const TCadShape*> gesammelt;
  const bool vieleZufluesse = zu.size() > 16;
  for (size_t k = 0; k < zu.size(); ++k) {
    TCadShape* r = zu[k];
    TElement* e = ElementOf(r);
    if (!e) continue;
    if (vieleZufluesse ? !gesammelt.insert(r).second
                       : std::find(zu.begin(), zu.begin() + static_cast<std::ptrdiff_t>(k), r) !=
                             zu.begin() + static_cast<std::ptrdiff_t>(k))
      continue;
    auto* bauwerk = (r->IsBauwerk() || r->IsOMA()) ? dynamic_cast<TBauwerk*>(e) : nullptr;
    if (r->Parent() == p && !r->IsRegenschreiber()) e->GibAbfluss(FZufluss, spenden);
    if (r->KUE() == p) {
      if (bauwerk)
        bauwerk->KUE.GibAbfluss(FZufluss, spenden);
      else if (r->IsConnector())
        e->GibAbfluss(FZufluss, spenden);
    }
    if (r->GEW() == p) {
      if (bauwerk)
        bauwerk->BUE.GibAbfluss(FZufluss, spenden);
      else if (r->IsConnector())
        e->GibAbfluss(FZufluss, spenden);
    }
    // A discharge point chained to another one downstream reaches the river
    // through that one: its areas count there, not a second time below.
    const bool kette = r->IsEinleitung() && r->KUE() && r->KUE()->IsEinleitung();
    if (r->GEW() == p || (r->IsEinleitung() && (!kette || r->KUE() == p)) || r->IsConnector()) {
      FZufluss.SUM.SUMAEM3 += e->SUM.SUMAEM3;
      FZufluss.SUM.SUMAEBM3 += e->SUM.SUMAEBM3;
    }
  }
}

void TM3Model::Rechnen(TCadShape* t) {
  HoleZufluss(t);
  if (TElement* e = ElementOf(t)) e->Calc(Rechnung());
}

void TM3Model::GeheZu(TCadShape* p) {
  NachVorgaengern(p, [this](TCadShape* s) {
    if (ElementOf(s)) Rechnen(s);
  });
}

std::vector<TCadShape*> TM3Model::Fliessreihenfolge() const {
  std::vector<TCadShape*> r;
  NachVorgaengern(Root(), [&r](TCadShape* s) {
    if (ElementOf(s)) r.push_back(s);
  });
  return r;
}

void TM3Model::RechneFolgeElemente(TCadShape* p) {
  RechneFolgeElemente(p, 0);
}

void TM3Model::RechneFolgeElemente(TCadShape* p, int tiefe) {
  // Network shapes cannot form loops; the step budget ends loops of graphic
  // shapes.
  if (tiefe > Count()) return;
  for (int schritte = 0; p && schritte <= Count(); ++schritte) {
    if (ElementOf(p)) Rechnen(p);
    if (p->KUE()) RechneFolgeElemente(p->KUE(), tiefe + 1);
    if (p->GEW()) RechneFolgeElemente(p->GEW(), tiefe + 1);
    p = p->Parent();
  }
}

void TM3Model::RechneAb(TCadShape* p) {
  if (RechnenAufgeschoben) return;
  if (!p) p = Root();
  if (!p) return;
  if (p == Root())
    GeheZu(p);
  else
    RechneFolgeElemente(p);
}

void TM3Model::AllesRechnen() {
  if (RechnenAufgeschoben) return;
  ++Rechenlaeufe;
  RechneAb(Root());
  RechneAb(Root());
}

}  // namespace t21
