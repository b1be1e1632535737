#include "document/dokument.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "storage/tabelle.h"

namespace t21 {

namespace {

// An empty packet whose SHP table takes shape rows.
std::shared_ptr<TTabelle> NeueZeilen() {
  auto paket = NeuesProjektPaket();
  paket->Kind(paket->Anhaengen(), "SHP");
  return paket;
}
TTabelle& Zeilen(TTabelle& paket) {
  return paket.Kind(0, "SHP");
}

TModellWerte WerteVon(const TM3Model& m) {
  return {m.Font, m.PrintList, m.ParViewSettings, m.AutoOeffnen, m.AmRasterAusrichten, m.Referenz};
}

void Setze(TM3Model& m, const TModellWerte& w) {
  m.Font = w.Font;
  m.PrintList = w.PrintList;
  m.ParViewSettings = w.ParViewSettings;
  m.AutoOeffnen = w.AutoOeffnen;
  m.AmRasterAusrichten = w.AmRasterAusrichten;
  m.Referenz = w.Referenz;
}

void AttributeUebernehmen(TCadShape& ziel, const TCadShape& q) {
  ziel.X1 = q.X1;
  ziel.Y1 = q.Y1;
  ziel.X2 = q.X2;
  ziel.Y2 = q.Y2;
  ziel.X3 = q.X3;
  ziel.Y3 = q.Y3;
  ziel.X4 = q.X4;
  ziel.Y4 = q.Y4;
  ziel.Font = q.Font;
  ziel.Pen = q.Pen;
  ziel.Brush = q.Brush;
  ziel.Koordinaten = q.Koordinaten;
  ziel.Solid = q.Solid;
  ziel.HGespiegelt = q.HGespiegelt;
  ziel.VGespiegelt = q.VGespiegelt;
  ziel.Visible = q.Visible;
  ziel.ShowArrows = q.ShowArrows;
  ziel.Ausrichtung = q.Ausrichtung;
  ziel.TextPos = q.TextPos;
  ziel.Val = q.Val;
  ziel.Al = q.Al;
  ziel.Fmt = q.Fmt;
}

// Brings an existing shape back to a stored row: its attributes, its name
// and its element. The shape object stays, so do its links and its place.
// The row is read in the model itself, so that an element reads the
// project record as it does when loading (the project record's row brings
// the project's hydrographs back with it).
void ZeileZurueck(TM3Model& m, TCadShape& ziel, const TTabelle& shp, int r) {
  std::vector<std::string> hinweise;
  TCadShape* q = ShapeAusZeile(m, shp, r, hinweise);
  if (!q) return;
  AttributeUebernehmen(ziel, *q);
  const std::string name = q->Name;
  std::unique_ptr<TCadData> d = q->TakeData();
  m.DeleteShape(q);  // its list entry, if the name was free, goes with it
  if (name != ziel.Name) {
    if (m.Liste.Find(ziel.Name) == &ziel) m.Liste.Remove(ziel.Name);
    ziel.Name = name;
    if (ziel.IsM3Shape()) m.Liste.Add(ziel.Name, &ziel);
  }
  if (d) m.SetElement(&ziel, std::unique_ptr<TElement>(static_cast<TElement*>(d.release())));
}

}  // namespace

// ------------------------------------------------------------------ commit

TCommit::TCommit(TDokument& d, std::string titel)
    : FDok(&d), FTitel(std::move(titel)), FVorher(NeueZeilen()) {
  FStrukturVorher = d.FModel->Struktur();
  // Whatever the edit deletes, also through the model's own operations, is
  // kept as it was.
  d.FModel->VorDemLoeschen = [this](const TCadShape& s) { Vormerken(s); };
}

TCommit::TCommit(TCommit&& c) noexcept
    : FDok(c.FDok),
      FTitel(std::move(c.FTitel)),
      FStrukturVorher(std::move(c.FStrukturVorher)),
      FVorher(std::move(c.FVorher)),
      FZeileVorher(std::move(c.FZeileVorher)),
      FAngesagt(std::move(c.FAngesagt)),
      FModellVorher(std::move(c.FModellVorher)),
      FOffen(c.FOffen) {
  c.FOffen = false;
  if (FOffen) FDok->FModel->VorDemLoeschen = [this](const TCadShape& s) { Vormerken(s); };
}

TCommit::~TCommit() {
  if (!FOffen) return;
  // Dropped without a push: back to where it started.
  TDokument& d = *FDok;
  TDokument::TSchritt s = d.Abschluss(*this);
  d.Anwenden(s, false);
  d.FModel->RechnenAufgeschoben = false;
  d.FModel->AllesRechnen();
}

TM3Model& TCommit::Model() {
  return *FDok->FModel;
}

void TCommit::Vormerken(const TCadShape& s) {
  if (FZeileVorher.count(s.Id)) return;
  TTabelle& shp = Zeilen(*FVorher);
  const int r = shp.Anhaengen();
  ShapeInZeile(s, shp, r);
  FZeileVorher[s.Id] = r;
}

TCadShape* TCommit::Aendern(uint64_t id) {
  TCadShape* s = Model().GetNodeById(id);
  if (!s) return nullptr;
  Vormerken(*s);
  if (std::find(FAngesagt.begin(), FAngesagt.end(), id) == FAngesagt.end()) FAngesagt.push_back(id);
  return s;
}

TCadShape* TCommit::Erzeuge(std::string_view typ, std::string_view name, double x, double y) {
  return Model().CreateShape(typ, name, x, y);
}

void TCommit::Entferne(uint64_t id) {
  TCadShape* s = Model().GetNodeById(id);
  if (!s || s == Model().Root()) return;
  Model().DeleteShape(s);
}

void TCommit::Umbenennen(uint64_t id, const std::string& name) {
  if (TCadShape* s = Aendern(id)) Model().RenameNode(name, s);
}

void TCommit::AendereModell() {
  if (!FModellVorher) FModellVorher = WerteVon(Model());
}

// ---------------------------------------------------------------- document

TDokument::TDokument() : FModel(std::make_unique<TM3Model>()) {
  FModel->SetzeAktuell(FModel->Root());
  FRevision = FGespeichert = NeueRevision();
}

TDokument::~TDokument() = default;

std::unique_ptr<TDokument> TDokument::Oeffnen(const std::string& dateiname, TLadeErgebnis& e) {
  auto d = std::make_unique<TDokument>();
  e = A3_Laden(*d->FModel, dateiname, &d->FTabellen);
  if (!e.Ok) return nullptr;
  d->FRevision = d->FGespeichert = d->NeueRevision();
  return d;
}

bool TDokument::Speichern(std::string& fehler) {
  if (!t21::Speichern(*FModel, fehler, &FTabellen)) return false;
  FGespeichert = FRevision;
  return true;
}

bool TDokument::SpeichernUnter(const std::string& dateiname, std::string& fehler) {
  const std::string alt = FModel->FileName;
  FModel->FileName = dateiname;
  if (Speichern(fehler)) return true;
  FModel->FileName = alt;
  return false;
}

const TElement& TDokument::Zufluss(uint64_t id) const {
  // Gathering the inflow fills the model's accumulator only.
  FModel->HoleZufluss(FModel->GetNodeById(id));
  return FModel->Zufluss();
}

TCommit TDokument::Beginne(std::string titel) {
  // One edit at a time: an open commit is completed first.
  FCommitOffen = true;
  FModel->RechnenAufgeschoben = true;
  return TCommit(*this, std::move(titel));
}

TDokument::TSchritt TDokument::Abschluss(TCommit& c) {
  c.FOffen = false;
  FModel->VorDemLoeschen = nullptr;
  TSchritt s;
  s.Titel = c.FTitel;
  s.StrukturVorher = std::move(c.FStrukturVorher);
  s.StrukturNachher = FModel->Struktur();
  s.Vorher = std::move(c.FVorher);
  s.ZeileVorher = std::move(c.FZeileVorher);
  s.ModellVorher = std::move(c.FModellVorher);
  if (s.ModellVorher) s.ModellNachher = WerteVon(*FModel);

  std::unordered_map<uint64_t, const TStrukturEintrag*> vorher;
  for (const auto& e : s.StrukturVorher) vorher[e.Id] = &e;
  std::unordered_set<uint64_t> nachher;
  for (const auto& e : s.StrukturNachher) nachher.insert(e.Id);
  const std::unordered_set<uint64_t> angesagt(c.FAngesagt.begin(), c.FAngesagt.end());

  s.Nachher = NeueZeilen();
  TTabelle& zeilen = Zeilen(*s.Nachher);
  auto nachherZeile = [&](uint64_t id) {
    const int r = zeilen.Anhaengen();
    ShapeInZeile(*FModel->GetNodeById(id), zeilen, r);
    s.ZeileNachher[id] = r;
  };
  for (const auto& e : s.StrukturNachher) {
    const auto v = vorher.find(e.Id);
    if (v == vorher.end()) {
      s.Hinzu.push_back(e.Id);
      nachherZeile(e.Id);
    } else if (angesagt.count(e.Id)) {
      s.Geaendert.push_back(e.Id);
      nachherZeile(e.Id);
    } else if (!(*v->second == e)) {
      s.Verbunden.push_back(e.Id);
    }
  }
  for (const auto& e : s.StrukturVorher)
    if (!nachher.count(e.Id)) s.Weg.push_back(e.Id);
  FModel->RechnenAufgeschoben = false;
  FCommitOffen = false;
  return s;
}

void TDokument::Anwenden(const TSchritt& s, bool vorwaerts) {
  TM3Model& m = *FModel;
  const auto& weg = vorwaerts ? s.Weg : s.Hinzu;
  const auto& neu = vorwaerts ? s.Hinzu : s.Weg;
  const TTabelle& zeilen = Zeilen(vorwaerts ? *s.Nachher : *s.Vorher);
  const auto& zeile = vorwaerts ? s.ZeileNachher : s.ZeileVorher;
  const std::vector<uint64_t> auswahl = m.Auswahl.Ids();
  const uint64_t aktuell = m.Auswahl.Aktuell;

  m.RechnenAufgeschoben = true;
  for (uint64_t id : weg)
    if (TCadShape* p = m.GetNodeById(id)) m.DeleteShape(p);
  for (uint64_t id : s.Geaendert)
    if (TCadShape* p = m.GetNodeById(id); p && zeile.count(id))
      ZeileZurueck(m, *p, zeilen, zeile.at(id));
  std::vector<std::string> hinweise;
  for (uint64_t id : neu)
    if (zeile.count(id)) ShapeAusZeile(m, zeilen, zeile.at(id), hinweise);
  m.SetzeStruktur(vorwaerts ? s.StrukturNachher : s.StrukturVorher);
  if (const auto& w = vorwaerts ? s.ModellNachher : s.ModellVorher) Setze(m, *w);
  m.RechnenAufgeschoben = false;

  m.Auswahl.Leeren();
  for (uint64_t id : auswahl) m.SetSelected(m.GetNodeById(id));
  m.SetzeAktuell(m.GetNodeById(aktuell) ? m.GetNodeById(aktuell) : m.Root());
}

void TDokument::Push(TCommit& c) {
  if (!c.FOffen || c.FDok != this) return;
  TSchritt s = Abschluss(c);
  if (s.Hinzu.empty() && s.Weg.empty() && s.Geaendert.empty() && s.Verbunden.empty() &&
      !s.ModellVorher)
    return;  // nothing changed: no step, no pass, no notice
  FModel->AllesRechnen();
  s.RevVorher = FRevision;
  s.RevNachher = FRevision = NeueRevision();

  const TAenderung a = Notiz(s, TAenderung::TArt::Bearbeitet);
  FSchritte.resize(FSchritt);
  FSchritte.push_back(std::move(s));
  if (FSchritte.size() > MaxSchritte) FSchritte.erase(FSchritte.begin());
  FSchritt = FSchritte.size();
  Melden(a);
}

std::string TDokument::RueckgaengigTitel() const {
  return KannRueckgaengig() ? FSchritte[FSchritt - 1].Titel : std::string();
}

std::string TDokument::WiederholenTitel() const {
  return KannWiederholen() ? FSchritte[FSchritt].Titel : std::string();
}

void TDokument::Rueckgaengig() {
  if (KannRueckgaengig() && !FCommitOffen) Gehe(FSchritte[--FSchritt], false);
}

void TDokument::Wiederholen() {
  if (KannWiederholen() && !FCommitOffen) Gehe(FSchritte[FSchritt++], true);
}

void TDokument::Gehe(const TSchritt& s, bool vorwaerts) {
  Anwenden(s, vorwaerts);
  FModel->AllesRechnen();
  FRevision = vorwaerts ? s.RevNachher : s.RevVorher;
  Melden(Notiz(s, vorwaerts ? TAenderung::TArt::Wiederholt : TAenderung::TArt::Rueckgaengig));
}

TAenderung TDokument::Notiz(const TSchritt& s, TAenderung::TArt art) const {
  const bool rueckwaerts = art == TAenderung::TArt::Rueckgaengig;
  TAenderung a;
  a.Art = art;
  a.Titel = s.Titel;
  a.Revision = FRevision;
  a.Hinzugefuegt = rueckwaerts ? s.Weg : s.Hinzu;
  a.Entfernt = rueckwaerts ? s.Hinzu : s.Weg;
  a.Geaendert = s.Geaendert;
  a.Geaendert.insert(a.Geaendert.end(), s.Verbunden.begin(), s.Verbunden.end());
  a.Modell = s.ModellVorher.has_value();
  return a;
}

int TDokument::Beobachte(TBeobachter b) {
  FBeobachter[FNaechsterBeobachter] = std::move(b);
  return FNaechsterBeobachter++;
}

void TDokument::Abmelden(int nummer) {
  FBeobachter.erase(nummer);
}

void TDokument::Melden(const TAenderung& a) {
  // A copy: an observer may unsubscribe while being told.
  const auto beobachter = FBeobachter;
  for (const auto& [n, b] : beobachter) b(a);
}

}  // namespace t21
