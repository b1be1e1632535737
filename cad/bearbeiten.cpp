#include "cad/bearbeiten.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <unordered_set>

namespace t21 {

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

bool In(std::string_view typ, std::initializer_list<std::string_view> codes) {
  return std::find(codes.begin(), codes.end(), typ) != codes.end();
}

// The first n characters of a UTF-8 text.
std::string ErsteZeichen(std::string_view s, size_t n) {
  size_t zeichen = 0, i = 0;
  for (; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (zeichen == n) break;
      ++zeichen;
    }
  }
  return std::string(s.substr(0, i));
}

bool HatEinzugsgebiet(const TCadModel& m) {
  for (const TCadShape* s : m.Selection())
    if (s->IsEinzugsgebiet()) return true;
  return false;
}

}  // namespace

// ------------------------------------------------------------------ names

bool NamenGleichOhneFall(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Gefaltet(a, i) != Gefaltet(b, i)) return false;
  return true;
}

size_t Zeichenzahl(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string Getrimmt(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return std::string(s);
}

bool NameBelegt(const TCadModel& m, std::string_view name, const TCadShape* ausser) {
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (s != ausser && NamenGleichOhneFall(s->Name, name)) return true;
  }
  return false;
}

std::string PruefeName(const TCadModel& m, std::string_view name, const TCadShape* ausser) {
  const std::string s = Getrimmt(name);
  if (s.empty()) return "Sie müssen eine Elementbezeichnung eingeben!";
  if (Zeichenzahl(s) > kMaxNamenLaenge)
    return "Die Länge des Element-Namens ist auf 31 Zeichen begrenzt!";
  if (s.front() == '~') return "Der Element-Name darf nicht mit dem Zeichen \"~\" beginnen!";
  if (NameBelegt(m, s, ausser)) return "Ein Element mit diesem Namen existiert bereits!";
  return {};
}

std::string NamensVorschlag(const TCadModel& m, std::string_view basis) {
  // Every name below this bound is taken at most once, so the search ends.
  for (int n = 1;; ++n) {
    const std::string endung = "." + std::to_string(n);
    const size_t platz = kMaxNamenLaenge > endung.size() ? kMaxNamenLaenge - endung.size() : 0;
    const std::string name = ErsteZeichen(basis, platz) + endung;
    if (!NameBelegt(m, name)) return name;
  }
}

std::string FreierName(const TCadModel& m, std::string_view name) {
  if (!name.empty() && Zeichenzahl(name) <= kMaxNamenLaenge && !NameBelegt(m, name))
    return std::string(name);
  return NamensVorschlag(m, name);
}

// --------------------------------------------------------------- creating

bool KannErzeugen(const TCadModel& m, std::string_view typ, std::string* meldung) {
  const std::string t = RegisteredShapeType(typ);
  if (t.empty()) return false;
  if (t == "NET") {
    for (int i = 0; i < m.Count(); ++i) {
      if (m.GetNode(i)->Typ() == "NET") {
        if (meldung) *meldung = kMeldungZweiteWurzel;
        return false;
      }
    }
  }
  return true;
}

void AmRaster(TCadShape& s, double gridMinor) {
  if (!(gridMinor > 0) || !std::isfinite(gridMinor)) return;
  const double x = gridMinor * std::round(s.X1 / gridMinor);
  const double y = gridMinor * std::round(s.Y1 / gridMinor);
  Verschiebe(s, x - s.X1, y - s.Y1);
}

// ---------------------------------------------------------------- linking

bool SetzeGewaesser(TCadModel& m, TCadShape* p, bool alle) {
  if (!HatEinzugsgebiet(m)) return false;
  if (!p || !p->IsEinleitung()) {
    m.Meldung(kMeldungNurEinleitung);
    return false;
  }
  m.SelectedSetGEW(p, alle);
  return true;
}

bool SetzeRegenschreiber(TCadModel& m, TCadShape* p, bool alle) {
  if (!HatEinzugsgebiet(m)) return false;
  if (!p || !p->IsRegenschreiber()) {
    m.Meldung(kMeldungNurRegenschreiber);
    return false;
  }
  m.SelectedSetREG(p, alle);
  return true;
}

void Verbinde(TCadModel& m, TVerbindeModus modus, TCadShape* p) {
  if (!p) return;
  switch (modus) {
    case TVerbindeModus::Parent:
      m.SelectedSetParent(p);
      break;
    case TVerbindeModus::KUE:
      m.SelectedSetKUE(p, true);
      break;
    case TVerbindeModus::GEW:
      SetzeGewaesser(m, p);
      break;
    case TVerbindeModus::BUE:
      m.SelectedSetBUE(p, true);
      break;
    case TVerbindeModus::REG:
      SetzeRegenschreiber(m, p);
      break;
    case TVerbindeModus::Keiner:
      break;
  }
}

TCadShape* TeileLink(TCadShape& s, int sender, const TAnsicht& v, std::string* meldung) {
  TCadModel* m = s.Model;
  if (!m) return nullptr;
  TCadShape* ziel = nullptr;
  switch (sender) {
    case 1:
      ziel = s.Parent();
      break;
    case 2:
    case 5:
      ziel = s.KUE();
      break;
    case 3:
    case 4:
      ziel = s.GEW();
      break;
    default:
      return nullptr;
  }
  // A shape below the root is not linked: there is no line to split.
  if (!ziel || ziel == m->Root()) return nullptr;
  // The KUE field of a catchment is its rain gauge, its GEW field the
  // receiving water: a connector can be neither.
  if (sender == 5 || (sender == 2 && s.IsEinzugsgebiet())) {
    if (meldung) *meldung = kMeldungKeinRegenschreiberTeilen;
    return nullptr;
  }
  if ((sender == 3 || sender == 4) && s.IsEinzugsgebiet()) {
    if (meldung) *meldung = kMeldungKeinGewaesserTeilen;
    return nullptr;
  }
  TPixel von;
  switch (sender) {
    case 2:
      von = DockKUE(s, v);
      break;
    case 4:
      von = DockBUE(s, v);
      break;
    default:
      von = DockAb(s, v);
      break;
  }
  const TPixel bis = DockZu(*ziel, v);
  const std::string typ = s.Typ() == "DOT" ? "DOT" : "CON";
  const std::string name = NamensVorschlag(*m, typ);
  const int mx = (von.X + bis.X) / 2, my = (von.Y + bis.Y) / 2;
  TCadShape* con = m->CreateShape(typ, name, v.PaperX(mx - 6), v.PaperY(my + 6));
  if (!con) return nullptr;
  switch (sender) {
    case 1:
      s.SetParent(con);
      break;
    case 2:
      s.SetKUE(con);
      break;
    default:
      s.SetGEW(con);
      break;
  }
  con->SetParent(ziel);
  m->SetSelected(con);
  return con;
}

// ----------------------------------------------------------------- moving

void Verschiebe(TCadShape& s, double dx, double dy) {
  s.X1 += dx;
  s.X2 += dx;
  s.Y1 += dy;
  s.Y2 += dy;
  if (IstKlasse(s, "Arc")) {
    s.X3 += dx;
    s.X4 += dx;
    s.Y3 += dy;
    s.Y4 += dy;
  }
  for (TPunkt& k : s.Koordinaten) {
    k.X += dx;
    k.Y += dy;
  }
}

void Bewege(TCadShape& s, const TAnsicht& v, int dx, int dy) {
  const double x = v.PaperX(static_cast<double>(v.ViewX(s.X1)) + dx);
  const double y = v.PaperY(static_cast<double>(v.ViewY(s.Y1)) + dy);
  Verschiebe(s, x - s.X1, y - s.Y1);
}

void BewegeAuswahl(TCadModel& m, const TAnsicht& v, int dx, int dy,
                   const TVorDerAenderung& vorher) {
  for (TCadShape* s : m.Selection()) {
    if (vorher) vorher(*s);
    Bewege(*s, v, dx, dy);
  }
}

void BewegeAuswahlMitZufluessen(TCadModel& m, const TAnsicht& v, int dx, int dy,
                                const TVorDerAenderung& vorher) {
  std::unordered_set<const TCadShape*> bewegt;
  for (TCadShape* start : m.Selection()) {
    std::vector<TCadShape*> offen{start};
    while (!offen.empty()) {
      TCadShape* n = offen.back();
      offen.pop_back();
      if (!bewegt.insert(n).second) continue;
      if (vorher) vorher(*n);
      Bewege(*n, v, dx, dy);
      for (TCadShape* u : n->Zufluesse())
        if (!m.IsSelected(u) && !bewegt.count(u) && u != m.Root()) offen.push_back(u);
    }
  }
}

// ---------------------------------------------------------------- aligning

bool Ausrichten(TCadModel& m, THorizontal h, TVertikal v, double gridMinor,
                const TVorDerAenderung& vorher) {
  std::vector<TCadShape*> reihe;
  for (uint64_t id : m.Auswahl.Ids())
    if (TCadShape* s = m.GetNodeById(id)) reihe.push_back(s);
  if (reihe.size() < 2) return false;
  const bool raster = gridMinor > 0 && std::isfinite(gridMinor);
  auto snap = [&](double w) { return raster ? gridMinor * std::round(w / gridMinor) : w; };
  const TAusdehnung r = GetExt(*reihe.front());
  for (size_t i = 0; i < reihe.size(); ++i) {
    TCadShape& s = *reihe[i];
    const TAusdehnung e = GetExt(s);
    double dx = 0, dy = 0;
    switch (h) {
      case THorizontal::Oben:
        dy = r.MaxY - e.MaxY;
        break;
      case THorizontal::Zentriert:
        dy = (r.MinY + r.MaxY) / 2 - (e.MinY + e.MaxY) / 2;
        break;
      case THorizontal::Unten:
        dy = r.MinY - e.MinY;
        break;
      case THorizontal::AmRaster:
        dy = snap(e.MinY) - e.MinY;
        break;
      case THorizontal::Keine:
        break;
    }
    switch (v) {
      case TVertikal::Links:
        dx = r.MinX - e.MinX;
        break;
      case TVertikal::Mittig:
        dx = (r.MinX + r.MaxX) / 2 - (e.MinX + e.MaxX) / 2;
        break;
      case TVertikal::Rechts:
        dx = r.MaxX - e.MaxX;
        break;
      case TVertikal::AmRaster:
        dx = snap(e.MinX) - e.MinX;
        break;
      case TVertikal::Keine:
        break;
    }
    if (dx == 0 && dy == 0) continue;
    if (vorher) vorher(s);
    Verschiebe(s, dx, dy);
  }
  return true;
}

// --------------------------------------------------------------- polylines

int PunktEinfuegen(TCadShape& s, TPunkt p, double toleranz) {
  auto& k = s.Koordinaten;
  for (size_t i = 0; i + 1 < k.size(); ++i) {
    const TPunkt a = k[i], b = k[i + 1];
    if (p.X < std::min(a.X, b.X) - toleranz || p.X > std::max(a.X, b.X) + toleranz) continue;
    if (p.Y < std::min(a.Y, b.Y) - toleranz || p.Y > std::max(a.Y, b.Y) + toleranz) continue;
    // Distance from the line through a and b; a vertical or horizontal
    // segment is measured like any other.
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double laenge = std::hypot(dx, dy);
    const double abstand = laenge > 0 ? std::fabs(dy * (p.X - a.X) - dx * (p.Y - a.Y)) / laenge
                                      : std::hypot(p.X - a.X, p.Y - a.Y);
    if (abstand < toleranz) {
      k.insert(k.begin() + static_cast<std::ptrdiff_t>(i + 1), p);
      return static_cast<int>(i + 1);
    }
  }
  k.push_back(p);
  return static_cast<int>(k.size() - 1);
}

// ------------------------------------------------------------- rubber band

TGummiband Gummiband(TPixel von, TPixel bis, bool mindestens) {
  TGummiband g;
  g.Rect = {std::min(von.X, bis.X), std::min(von.Y, bis.Y), std::max(von.X, bis.X),
            std::max(von.Y, bis.Y)};
  g.NachLinks = bis.X < von.X;
  g.NachOben = bis.Y < von.Y;
  if (mindestens) {
    g.Rect.Right = std::max(g.Rect.Right, g.Rect.Left + kGummibandMinimum);
    g.Rect.Bottom = std::max(g.Rect.Bottom, g.Rect.Top + kGummibandMinimum);
  }
  return g;
}

bool IstGummibandTyp(std::string_view typ) {
  return In(typ, {"REC", "LIN", "CIR", "RRE", "YON", "DIM", "Dim", "BMP", "RAU"});
}

// ------------------------------------------------------------------ grabs

bool HatKastenGriffe(const TCadShape& s) {
  return !s.IsM3Shape() && IstKlasse(s, "REC") && s.Typ() != "IMP";
}

int ZieheGriff(TCadShape& s, int griff, double dx, double dy) {
  switch (griff) {
    case 3:
      s.X2 += dx;
      break;
    case 6:
      s.Y2 += dy;
      break;
    case 9:
      s.X1 += dx;
      break;
    case 12:
      s.Y1 += dy;
      break;
    default:
      return griff;
  }
  if ((griff == 3 || griff == 9) && s.X1 >= s.X2) {
    std::swap(s.X1, s.X2);
    griff = griff == 3 ? 9 : 3;
  }
  if ((griff == 6 || griff == 12) && s.Y1 >= s.Y2) {
    std::swap(s.Y1, s.Y2);
    griff = griff == 6 ? 12 : 6;
  }
  return griff;
}

// ------------------------------------------------------------- clipboard

TZwischenablage::TZwischenablage(TModellFabrik neuesModell, TDatenKopieren datenKopieren)
    : FFabrik(std::move(neuesModell)), FDaten(std::move(datenKopieren)) {}

int TZwischenablage::Kopieren(const TCadModel& quelle) {
  std::vector<TCadShape*> auswahl;
  for (TCadShape* s : quelle.Selection())
    if (s != quelle.Root()) auswahl.push_back(s);
  if (auswahl.empty()) return 0;
  auto modell = FFabrik ? FFabrik() : std::make_unique<TCadModel>("Zwischenablage");
  modell->Name = "Zwischenablage";
  std::map<const TCadShape*, TCadShape*> kopie;
  for (TCadShape* s : auswahl) {
    TCadShape* k = modell->CreateShape(s->Typ(), s->Name, s->X1, s->Y1);
    if (!k) continue;
    AssignValues(*k, *s);
    if (FDaten) FDaten(*s, *k);
    kopie[s] = k;
  }
  auto abbild = [&](const TCadShape* z) -> TCadShape* {
    const auto it = z ? kopie.find(z) : kopie.end();
    return it == kopie.end() ? nullptr : it->second;
  };
  for (const auto& [s, k] : kopie) {
    k->SetParent(abbild(s->Parent()));
    k->SetKUE(abbild(s->KUE()));
    k->SetGEW(abbild(s->GEW()));
  }
  modell->SelectAll(false);
  FModell = std::move(modell);
  return static_cast<int>(kopie.size());
}

std::vector<TCadShape*> TZwischenablage::Einfuegen(TCadModel& ziel) const {
  std::vector<TCadShape*> neu;
  if (!FModell) return neu;
  ziel.SelectAll(false);
  std::map<const TCadShape*, TCadShape*> abbild;
  for (int i = 0; i < FModell->Count(); ++i) {
    const TCadShape* q = FModell->GetNode(i);
    if (q == FModell->Root() || !KannErzeugen(ziel, q->Typ())) continue;
    const std::string name = FreierName(ziel, q->Name);
    TCadShape* n = ziel.CreateShape(q->Typ(), name, q->X1, q->Y1);
    if (!n) continue;
    AssignValues(*n, *q);
    if (FDaten) FDaten(*q, *n);
    n->SetParent(n->IsM3Shape() ? ziel.Root() : nullptr);
    abbild[q] = n;
    neu.push_back(n);
  }
  auto finde = [&](const TCadShape* z) -> TCadShape* {
    const auto it = z ? abbild.find(z) : abbild.end();
    return it == abbild.end() ? nullptr : it->second;
  };
  for (const auto& [q, n] : abbild) {
    if (TCadShape* p = finde(q->Parent())) n->SetParent(p);
    if (TCadShape* k = finde(q->KUE())) n->SetKUE(k);
    if (TCadShape* g = finde(q->GEW())) n->SetGEW(g);
  }
  return neu;
}

}  // namespace t21
