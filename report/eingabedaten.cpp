#include "report/eingabedaten.h"

#include <cmath>
#include <filesystem>
#include <memory>

#include "model/catchments.h"
#include "model/discharge.h"
#include "model/plant.h"
#include "model/structures.h"
#include "storage/datenpaket.h"
#include "storage/projekttabellen.h"

namespace t21 {

namespace {

enum : int {
  kSystem,
  kKEZTW,
  kKEZRW,
  kKEZC,
  kTWGL,
  kFWGL,
  kFlaechen,
  kBauwerke,
  kOMAETA,
  kKLGETA,
  kESTHydrologie,
  kESTHydraulik,
  kESTGuete,
  kWBP,
  kWBP1,
  kScripts,
  kAEO,
  kHRU,
  kAnzahl
};

struct TSpaltenDef {
  const char* Name;
  TFeldTyp Typ;
};
struct TTabellenDef {
  const char* Name;
  std::vector<TSpaltenDef> Spalten;
};

constexpr TFeldTyp S = TFeldTyp::String, F = TFeldTyp::Float, I = TFeldTyp::Integer,
                   B = TFeldTyp::Boolean, M = TFeldTyp::Memo;

// Columns after "Element" (and "Typ" where the kinds differ); the names of
// the values are those of the project tables, so they read as in the
// element dialogs' tables.
const std::vector<TTabellenDef>& Definitionen() {
  static const std::vector<TTabellenDef> d{
      {"CDSBilSystem",
       {{"Element", S},
        {"Typ", S},
        {"Folgeelement", S},
        {"Klaerueberlauf", S},
        {"Beckenueberlauf", S},
        {"Gewaesserzuordnung", S},
        {"Regenschreiber", S}}},
      {"CDSKEZTW",
       {{"Element", S},
        {"Typ", S},
        {"AEK", F},
        {"ED", F},
        {"WS", F},
        {"X", F},
        {"QG", F},
        {"AG", F},
        {"BG", F},
        {"QF", F},
        {"PQRT24", F},
        {"SWGL", I},
        {"FWGL", I}}},
      {"CDSKEZRW",
       {{"Element", S},
        {"Typ", S},
        {"AEK", F},
        {"B", I},
        {"AEb", F},
        {"NGM", F},
        {"PSI", F},
        {"PSIb", F},
        {"PSIa", F},
        {"TF", F},
        {"K", F},
        {"N", I},
        {"MV", F},
        {"BV", F},
        {"Q1", F}}},
      {"CDSKEZC",
       {{"Element", S},
        {"Typ", S},
        {"CHBSB", F},
        {"CHNH4", F},
        {"CHCSB", F},
        {"CHAFS", F},
        {"CHALK", F},
        {"CHPH", F},
        {"CGBSB", F},
        {"CGNH4", F},
        {"CGCSB", F},
        {"CGAFS", F},
        {"CGALK", F},
        {"CGPH", F}}},
      {"TWGanglinien", {}},  // the columns of the project's hydrograph table
      {"FWGanglinien", {}},
      {"CDSBilFlaechen",
       {{"Element", S},
        {"Typ", S},
        {"AE", F},
        {"AEB", F},
        {"AU", F},
        {"SUMAE", F},
        {"SUMAEB", F},
        {"E", F}}},
      {"CDSBilBauwerke",
       {{"Element", S},
        {"Typ", S},
        {"QD", F},
        {"V", I},
        {"Nebenschluss", B},
        {"MaxQKUE", F},
        {"Ased", F},
        {"rkrit", F},
        {"xDI", F},
        {"O2DefizitBUE", F},
        {"O2DefizitKUE", F}}},
      {"CDSOMAETA",
       {{"Element", S},
        {"ART", S},
        {"N", F},
        {"BSB", F},
        {"NH4", F},
        {"AFS", F},
        {"CSB", F},
        {"PH", F},
        {"ALK", F},
        {"DO2", F}}},
      {"CDSKLGETA",
       {{"Element", S},
        {"BSB", F},
        {"NH4", F},
        {"AFS", F},
        {"CSB", F},
        {"PH", F},
        {"ALK", F},
        {"O2Defizit", F}}},
      {"CDSESTHydrologie",
       {{"Element", S},
        {"AE0", F},
        {"_MNQ", F},
        {"_HQ1", F},
        {"MNQ", F},
        {"MQ", F},
        {"HQ1pnat", F},
        {"HQ1ist", F},
        {"X", F},
        {"Lage", S},
        {"Salmoniden", B},
        {"Abflussdrosselung", B},
        {"QD", F},
        {"Volumen", I}}},
      {"CDSESTHydraulik",
       {{"Element", S},
        {"KST", F},
        {"BSO", F},
        {"BWSP", F},
        {"HB", F},
        {"HMNQ", F},
        {"VMNQ", F},
        {"SOLO", F},
        {"SOLU", F},
        {"LEN", F},
        {"LQUELL", F}}},
      {"cdsEstGuete",
       {{"Element", S},
        {"GUETE", S},
        {"STRUKTUR", S},
        {"EUTROPH", S},
        {"T", F},
        {"BSB", F},
        {"NH4", F},
        {"AFS", F},
        {"CSB", F},
        {"PH", F},
        {"ALK", F},
        {"QUELLE", B},
        {"QUELLLAUF", B},
        {"TEMPORAER", B},
        {"ORGANISCH", B},
        {"STAU", B}}},
      {"CDSWBP",
       {{"Element", S},
        {"WBP_ERHOBEN", S},
        {"SO", I},
        {"SU", I},
        {"LO", I},
        {"DIVERSITAETO", S},
        {"DIVERSITAETU", S},
        {"STRUKTURENO", S},
        {"STRUKTURENU", S},
        {"MAKROPHYTENO", S},
        {"MAKROPHYTENU", S},
        {"AUFUNDABO", S},
        {"AUFUNDABU", S},
        {"AUFWANDER", S},
        {"SOEH", I},
        {"SUEH", I},
        {"SUEH2", I},
        {"ZUSAMMENFLUESSEO", S},
        {"ZUSAMMENFLUESSEU", S},
        {"SUBSTRATO", S},
        {"SUBSTRATU", S}}},
      {"CDSWBP1",
       {{"Element", S},
        {"WBP1StrukturO", S},
        {"WBP1StrukturU", S},
        {"WBP1ZuflussO", B},
        {"WBP1ZuflussU", B},
        {"WBP1AufUndAb", S},
        {"WBP1Aufwander", S}}},
      {"CDSScripts", {{"Element", S}, {"Script", M}, {"Aktiv", B}}},
      {"CDSBilAEO", {{"Element", S}, {"AE", F}, {"kB", F}, {"kD", F}}},
      {"CDSBilHRU", {{"Element", S}, {"Bezeichnung", S}, {"AE", F}, {"CN", F}}},
  };
  return d;
}

std::shared_ptr<const TSchema> SchemaVon(const TTabellenDef& d) {
  if (d.Spalten.empty()) {
    auto s = std::make_shared<TSchema>(*ProjektSchema(
        std::string(d.Name) == "TWGanglinien" ? "CDSTWGanglinie" : "CDSFWGanglinie"));
    s->Name = d.Name;
    return s;
  }
  auto s = std::make_shared<TSchema>();
  s->Name = d.Name;
  for (const TSpaltenDef& c : d.Spalten) {
    TFeld f;
    f.Name = c.Name;
    f.Typ = c.Typ;
    f.Breite = c.Typ == S ? 64 : 0;
    s->Felder.push_back(std::move(f));
  }
  return s;
}

bool GleichOhneCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string NameVon(const TCadShape* s) {
  return s ? s->Name : std::string();
}

// A new row of t with the element's name, and the columns that the record
// `quelle` of a project table holds under the same names.
int Zeile(TTabelle& t, const std::string& element, const TTabelle* quelle = nullptr, int qz = -1) {
  const int z = t.Anhaengen();
  t.Setze(z, "Element", element);
  if (quelle && qz >= 0)
    for (int i = 0; i < t.Spalten(); ++i) {
      const int q = quelle->Schema().Index(t.Schema().Felder[static_cast<size_t>(i)].Name);
      if (q >= 0 && !IstNull(quelle->Wert(qz, q))) t.Setze(z, i, quelle->Wert(qz, q));
    }
  return z;
}

}  // namespace

TEingabedaten::TEingabedaten() {
  for (const TTabellenDef& d : Definitionen()) FTabellen.emplace_back(SchemaVon(d));
  FGehalten.assign(FTabellen.size(), false);
}

const std::vector<std::string>& TEingabedaten::Namen() {
  static const std::vector<std::string> n = [] {
    std::vector<std::string> r;
    for (const TTabellenDef& d : Definitionen()) r.push_back(d.Name);
    return r;
  }();
  return n;
}

int TEingabedaten::Index(std::string_view name) const {
  for (size_t i = 0; i < FTabellen.size(); ++i)
    if (GleichOhneCase(FTabellen[i].Schema().Name, name)) return static_cast<int>(i);
  return -1;
}

const TTabelle* TEingabedaten::Tabelle(std::string_view name) const {
  const int i = Index(name);
  return i >= 0 && FGehalten[size_t(i)] ? &FTabellen[size_t(i)] : nullptr;
}

const TTabelle* TEingabedaten::Leer(std::string_view name) const {
  static const TEingabedaten leer;
  const int i = leer.Index(name);
  return i >= 0 ? &leer.FTabellen[size_t(i)] : nullptr;
}

std::vector<const TTabelle*> TEingabedaten::Gehaltene() const {
  std::vector<const TTabelle*> r;
  for (size_t i = 0; i < FTabellen.size(); ++i)
    if (FGehalten[i]) r.push_back(&FTabellen[i]);
  return r;
}

void TEingabedaten::Leeren() {
  for (TTabelle& t : FTabellen) t.Leeren();
  FGehalten.assign(FTabellen.size(), false);
}

void TEingabedaten::Fuellen(const TM3Model& m) {
  Leeren();
  FGehalten.assign(FTabellen.size(), true);
  auto T = [this](int i) -> TTabelle& { return FTabellen[size_t(i)]; };
  // The elements' entered values as their project-table records hold them.
  TDataModule1 dm;
  auto letzte = [&dm](const char* tabelle) {
    const TTabelle& t = dm.T(tabelle);
    return std::make_pair(&t, t.Anzahl() - 1);
  };
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    const TElement* e = TM3Model::ElementOf(s);
    if (!e || e->Typ() == "NET") continue;
    const std::string typ = e->Typ();
    const std::string& name = s->Name;
    dm.SaveData(*e);
    {
      TTabelle& t = T(kSystem);
      const int z = Zeile(t, name);
      t.Setze(z, "Typ", typ);
      t.Setze(z, "Folgeelement", NameVon(s->Parent()));
      if (dynamic_cast<const TKEZ*>(e)) {
        t.Setze(z, "Gewaesserzuordnung", NameVon(s->GEW()));
        t.Setze(z, "Regenschreiber", NameVon(s->KUE()));
      } else {
        t.Setze(z, "Klaerueberlauf", NameVon(s->KUE()));
        t.Setze(z, "Beckenueberlauf", NameVon(s->GEW()));
      }
    }
    if (!e->Script.empty()) {
      TTabelle& t = T(kScripts);
      const int z = Zeile(t, name);
      t.Setze(z, "Script", Zeilen(e->Script));
      t.Setze(z, "Aktiv", e->ScriptActive);
    }
    auto flaechen = [&] {
      TTabelle& t = T(kFlaechen);
      const int z = Zeile(t, name);
      t.Setze(z, "Typ", typ);
      const TSUM& u = e->SUM;
      t.Setze(z, "AE", u.AE);
      t.Setze(z, "AEB", u.AEB);
      t.Setze(z, "AU", u.AU);
      t.Setze(z, "SUMAE", u.SUMAE);
      t.Setze(z, "SUMAEB", u.SUMAEB);
      t.Setze(z, "E", u.E);
    };
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      const auto [q, qz] = letzte("CDSKEZ");
      for (int n : {kKEZTW, kKEZRW, kKEZC}) T(n).Setze(Zeile(T(n), name, q, qz), "Typ", typ);
      T(kKEZRW).Setze(T(kKEZRW).Anzahl() - 1, "AEb", k->AEb);
      flaechen();
    } else if (dynamic_cast<const TOMA*>(e)) {
      const auto [q, qz] = letzte("CDSOma");
      Zeile(T(kOMAETA), name, q, qz);
      flaechen();
    }
    if (const auto* b = dynamic_cast<const TBauwerk*>(e); b && !dynamic_cast<const TEST*>(e)) {
      TTabelle& t = T(kBauwerke);
      const int z = Zeile(t, name);
      t.Setze(z, "Typ", typ);
      t.Setze(z, "QD", b->QD);
      t.Setze(z, "V", b->Volumen);
      t.Setze(z, "Nebenschluss", b->Nebenschluss);
      t.Setze(z, "MaxQKUE", b->MaxQKUE);
      t.Setze(z, "Ased", b->Ased);
      t.Setze(z, "rkrit", b->rkrit);
      t.Setze(z, "xDI", b->xDI);
      t.Setze(z, "O2DefizitBUE", b->DO2BUE);
      t.Setze(z, "O2DefizitKUE", b->Do2KUE);
      if (dynamic_cast<const TEBW*>(e)) flaechen();
    }
    if (dynamic_cast<const TKLG*>(e)) {
      const auto [q, qz] = letzte("CDSKlg");
      Zeile(T(kKLGETA), name, q, qz);
    }
    if (const auto* est = dynamic_cast<const TEST*>(e)) {
      const auto [q, qz] = letzte("CDSEst");
      flaechen();
      const int h = Zeile(T(kESTHydrologie), name, q, qz);
      TTabelle& hy = T(kESTHydrologie);
      hy.Setze(h, "MNQ", est->MNQ());
      hy.Setze(h, "MQ", est->MQ());
      hy.Setze(h, "HQ1pnat", est->HQ1pnat());
      hy.Setze(h, "HQ1ist", est->HQ1ist());
      hy.Setze(h, "Lage", est->Lage == 1 ? "Mittelgebirge" : "Tiefland");
      for (int n : {kESTHydraulik, kESTGuete, kWBP, kWBP1}) Zeile(T(n), name, q, qz);
    }
    if (const auto* aeo = dynamic_cast<const TAEO*>(e)) {
      TTabelle& t = T(kAEO);
      const int z = Zeile(t, name);
      t.Setze(z, "AE", aeo->HRU.AE);
      t.Setze(z, "kB", aeo->kB);
      t.Setze(z, "kD", aeo->kD);
      for (const THRU& u : aeo->HRUs) {
        TTabelle& h = T(kHRU);
        const int r = Zeile(h, name);
        h.Setze(r, "Bezeichnung", u.Bezeichnung);
        h.Setze(r, "AE", u.AE);
        h.Setze(r, "CN", u.CN2);
      }
    }
  }
  // The project's hydrographs.
  const TReferenzListen& r = m.Referenz;
  for (int i = 0; i < r.SWGanglinien.Count(); ++i) {
    const auto& g = r.SWGanglinien.Eintraege[static_cast<size_t>(i)];
    TTabelle& t = T(kTWGL);
    const int z = t.Anhaengen();
    t.Setze(z, "NR", i);
    t.Setze(z, "NAME", g.name);
    for (int h = 0; h < 24; ++h) t.Setze(z, "H" + std::to_string(h), g.werte[size_t(h)]);
  }
  for (int i = 0; i < r.FWGanglinien.Count(); ++i) {
    const auto& g = r.FWGanglinien.Eintraege[static_cast<size_t>(i)];
    TTabelle& t = T(kFWGL);
    const int z = t.Anhaengen();
    t.Setze(z, "NR", i);
    t.Setze(z, "NAME", g.name);
    for (int h = 1; h <= 12; ++h) t.Setze(z, "H" + std::to_string(h), g.werte[size_t(h - 1)]);
  }
}

std::vector<std::string> TEingabedaten::Dateien(const std::string& basis) const {
  std::vector<std::string> r;
  for (const TTabelle* t : Gehaltene()) r.push_back(basis + "_" + t->Schema().Name + ".xml");
  return r;
}

bool TEingabedaten::Speichern(const std::string& basis, std::string& fehler) const {
  for (const TTabelle* t : Gehaltene())
    if (!SchreibePaket(*t, basis + "_" + t->Schema().Name + ".xml", fehler)) return false;
  return true;
}

bool TEingabedaten::Laden(const std::string& basis, std::vector<std::string>& meldungen) {
  TEingabedaten neu;
  bool alle = true;
  for (size_t i = 0; i < neu.FTabellen.size(); ++i) {
    TTabelle& t = neu.FTabellen[i];
    const std::string name = basis + "_" + t.Schema().Name + ".xml";
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) continue;  // saved before the echo was kept
    std::string fehler;
    const auto gelesen = LiesPaket(name, fehler);
    if (!gelesen) {
      meldungen.push_back("Datei " + name + "konnte nicht geladen werden");
      alle = false;
      continue;
    }
    // Every column that the file holds under the same name.
    std::vector<std::pair<int, int>> spalten;
    for (int k = 0; k < t.Spalten(); ++k) {
      const int q = gelesen->Schema().Index(t.Schema().Felder[size_t(k)].Name);
      if (q >= 0) spalten.emplace_back(k, q);
    }
    for (int z = 0; z < gelesen->Anzahl(); ++z) {
      const int n = t.Anhaengen();
      for (const auto& [k, q] : spalten)
        if (!IstNull(gelesen->Wert(z, q))) t.Setze(n, k, gelesen->Wert(z, q));
    }
    neu.FGehalten[i] = true;
  }
  if (alle) *this = std::move(neu);
  return alle;
}

}  // namespace t21
