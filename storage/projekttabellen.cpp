#include "storage/projekttabellen.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "model/elements.h"
#include "storage/datenpaket.h"
#include "storage/felder.h"

namespace t21 {

namespace {

constexpr std::pair<const char*, const char*> kRegister[] = {
    {"HYD", "CDSHyd"}, {"NET", "CDSNet"}, {"KEZ", "CDSKEZ"}, {"EBW", "CDSEbw"},
    {"KLG", "CDSKlg"}, {"OMA", "CDSOma"}, {"EST", "CDSEst"}, {"CON", "CDSCON"},
    {"REG", "CDSREG"}, {"AEO", "CDSAEO"}, {"PAR", "CDSPAR"}, {"ETA", "CDSETA"},
};

constexpr const char* kUebrige[] = {
    "CDSHRU", "CDSAEK", "CDSKOS",         "CDSVFL",         "CDSVBE",      "CDSVMU",
    "CDSVRI", "CDSVSC", "CDSTWGanglinie", "CDSFWGanglinie", "CDSStrassen", "CDSAdresse"};

// Tables whose new records receive the column defaults.
bool MitVorgaben(const std::string& name) {
  for (const char* n :
       {"CDSHyd", "CDSNet", "CDSKEZ", "CDSEbw", "CDSKlg", "CDSOma", "CDSEst", "CDSCON", "CDSVBE"})
    if (name == n) return true;
  return false;
}

constexpr const char* kKosSpalten[18] = {"R5",   "R10",  "R15",   "R20",   "R30",   "R45",
                                         "R60",  "R90",  "R120",  "R180",  "R240",  "R360",
                                         "R540", "R720", "R1080", "R1440", "R2880", "R4320"};

double Z(const TTabelle& t, int z, const char* s) {
  return AlsZahl(t.Wert(z, s));
}
int32_t I(const TTabelle& t, int z, const char* s) {
  return AlsGanzzahl(t.Wert(z, s));
}
bool B(const TTabelle& t, int z, const char* s) {
  return AlsBool(t.Wert(z, s));
}
std::string S(const TTabelle& t, int z, const char* s) {
  return AlsText(t.Wert(z, s));
}

}  // namespace

TDataModule1::TDataModule1() {
  for (const auto& [code, name] : kRegister) {
    auto t = std::make_unique<TTabelle>(ProjektSchema(name));
    Dateien.emplace_back(code, t.get());
    Tabellen.emplace(name, std::move(t));
  }
  for (const char* name : kUebrige)
    Tabellen.emplace(name, std::make_unique<TTabelle>(ProjektSchema(name)));
  for (const auto& [code, t] : Dateien)
    for (int i = 0; i < t->Spalten(); ++i)
      StandardVorgaben.push_back({t->Schema().Name, i, t->Vorgabe(i)});
}

TTabelle& TDataModule1::T(std::string_view name) const {
  return *Tabellen.find(name)->second;
}

TTabelle* TDataModule1::GetTable(std::string_view typ) const {
  if (typ.empty()) return nullptr;
  std::string code(typ);
  if (std::string_view("KEZ,KEM,KES,KER").find(typ) != std::string_view::npos)
    code = "KEZ";
  else if (std::string_view("RUE,RU,RUB,RKB").find(typ) != std::string_view::npos)
    code = "EBW";
  for (const auto& [c, t] : Dateien)
    if (c == code) return t;
  return nullptr;
}

void TDataModule1::SetDefaultExpression(TTabelle& t, int zeile, int spalte) {
  if (t.Vorgabe(spalte).empty())
    for (const TVorgabe& v : StandardVorgaben)
      if (v.Tabelle == t.Schema().Name && v.Spalte == spalte) t.SetzeVorgabe(spalte, v.Ausdruck);
  const TWert w = t.Vorgabewert(spalte);
  if (!IstNull(w)) t.Setze(zeile, spalte, w);
}

void TDataModule1::SetDefaultExpressions(TTabelle& t, int zeile,
                                         std::initializer_list<const char*> spalten) {
  for (const char* s : spalten) SetDefaultExpression(t, zeile, t.Schema().Index(s));
}

int TDataModule1::NewRecord(TTabelle& t) {
  const int z = t.Anhaengen();
  const std::string& name = t.Schema().Name;
  if (MitVorgaben(name))
    for (int i = 0; i < t.Spalten(); ++i) SetDefaultExpression(t, z, i);
  if (t.Schema().Index("ID") == 0) {
    if (&t == &T("CDSHyd"))
      t.Setze(z, 0, ++IDCounter);
    else if (Aktuell >= 0)
      t.Setze(z, 0, T("CDSHyd").Wert(Aktuell, "ID"));
  }
  if (name == "CDSOma") {
    const int alt = Aktuell;
    OMA_RRB_Standard();
    Aktuell = alt;
  } else if (name == "CDSVBE") {
    t.Setze(z, "Regen", std::string("Reinhold (n=0,1)"));
  } else if (name == "CDSNet") {
    t.Setze(z, "Regenreihe", std::string("Reinhold (n=1,0)"));
    t.Setze(z, "DATUM", std::floor(JetztAlsDatum()));
  }
  return z;
}

int TDataModule1::DetailZeile(const TTabelle& t) const {
  if (Aktuell < 0) return -1;
  return t.Finde("ID", AlsGanzzahl(T("CDSHyd").Wert(Aktuell, "ID"), -1));
}

void TDataModule1::KEZ_ch_Standard() {
  TTabelle& t = T("CDSKEZ");
  const int z = DetailZeile(t);
  if (z < 0) return;
  const double ws = Z(t, z, "WS");
  if (ws >= 20) {
    t.Setze(z, "CHBSB", 60 * 1000 * Kehrwert(ws));
    t.Setze(z, "CHNH4", 11 * 1000 * Kehrwert(ws) - 2);
    t.Setze(z, "CHAFS", 150.0);
    t.Setze(z, "CHCSB", 120 * 1000 * Kehrwert(ws));
    t.Setze(z, "CHPH", 7.4);
    t.Setze(z, "CHALK", 3.0);
  } else {
    SetDefaultExpressions(t, z, {"CHBSB", "CHNH4", "CHAFS", "CHCSB", "CHPH", "CHALK", "chT"});
    MeldungZeigen("Der spezifische Wasserverbrauch ws muss größer als 20 l/(E*d) sein");
  }
}

void TDataModule1::KEZ_cg_Standard() {
  TTabelle& t = T("CDSKEZ");
  if (const int z = DetailZeile(t); z >= 0)
    SetDefaultExpressions(t, z, {"CGBSB", "CGNH4", "CGAFS", "CGCSB", "CGPH", "CGALK", "cgT"});
}

void TDataModule1::NET_cr_Standard() {
  TTabelle& t = T("CDSNet");
  if (const int z = DetailZeile(t); z >= 0)
    SetDefaultExpressions(t, z,
                          {"CrBSB", "CRNH4", "CRPH", "CRALK", "dnBSB", "dnNH4", "crDO2", "crT"});
}

void TDataModule1::OMA_RRB_Standard() {
  TTabelle& t = T("CDSOma");
  // The record just appended is the current one of its table.
  int z = DetailZeile(t);
  if (z < 0) z = t.Anzahl() - 1;
  if (z < 0) return;
  for (const char* s : {"BSB", "NH4", "AFS", "PH", "ALK", "CSB"}) t.Setze(z, s, 0.0);
  for (const char* s : {"DO2", "DO2KUE", "DO2BUE"}) t.Setze(z, s, 10.0);
  TTabelle& eta = T("CDSETA");
  const int32_t id = AlsGanzzahl(t.Wert(z, "ID"), -1);
  for (int r = 0; r < eta.Anzahl(); ++r)
    if (AlsGanzzahl(eta.Wert(r, "ID"), -2) == id) eta.Setze(r, "Wert", 0.0);
}

void TDataModule1::OMA_RBF_Standard() {
  TTabelle& t = T("CDSOma");
  if (const int z = DetailZeile(t); z >= 0)
    SetDefaultExpressions(t, z,
                          {"BSB", "NH4", "AFS", "PH", "ALK", "CSB", "DO2", "DO2KUE", "DO2BUE"});
}

void TDataModule1::KLG_eta() {
  TTabelle& t = T("CDSKlg");
  if (const int z = DetailZeile(t); z >= 0)
    SetDefaultExpressions(t, z, {"BSB", "NH4", "AFS", "CSB", "PH", "ALK", "T"});
}

void TDataModule1::EST_GK2_Standard() {
  TTabelle& t = T("CDSEst");
  const int z = DetailZeile(t);
  if (z < 0) return;
  SetDefaultExpressions(t, z, {"BSB", "NH4", "AFS", "CSB"});
  TTabelle& eta = T("CDSETA");
  const int32_t id = AlsGanzzahl(t.Wert(z, "ID"), -1);
  const double werte[4] = {5.0, 0.3, 15.0, 10.0};
  int k = 0;
  for (int r = 0; r < eta.Anzahl() && k < 4; ++r)
    if (AlsGanzzahl(eta.Wert(r, "ID"), -2) == id) eta.Setze(r, "Wert", werte[k++]);
}

bool TDataModule1::SaveUserDefaults(const std::string& s, std::string* fehler) const {
  std::string text;
  for (const auto& [code, t] : Dateien)
    for (int i = 0; i < t->Spalten(); ++i)
      text += t->Schema().Name + t->Schema().Felder[static_cast<size_t>(i)].Name + "=" +
              t->Vorgabe(i) + "\r\n";
  std::string f;
  if (SchreibeDateiAtomar(s + ".DEF", text, f)) return true;
  if (fehler) *fehler = f;
  return false;
}

bool TDataModule1::LoadUserDefaults(const std::string& datei, int* kommata) {
  if (kommata) *kommata = 0;
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) return false;
  std::map<std::string, std::string> werte;
  for (std::string z; std::getline(ein, z);) {
    if (!z.empty() && z.back() == '\r') z.pop_back();
    const auto p = z.find('=');
    if (p != std::string::npos) werte[z.substr(0, p)] = z.substr(p + 1);
  }
  for (const auto& [code, t] : Dateien)
    for (int i = 0; i < t->Spalten(); ++i) {
      const TFeld& f = t->Schema().Felder[static_cast<size_t>(i)];
      const auto it = werte.find(t->Schema().Name + f.Name);
      if (it == werte.end()) continue;
      std::string ausdruck = it->second;
      // Files of older versions hold decimal commas; numbers get the point,
      // texts keep what they hold.
      const bool zahl =
          f.Typ == TFeldTyp::Integer || f.Typ == TFeldTyp::Float || f.Typ == TFeldTyp::Date;
      if (zahl && ausdruck.find(',') != std::string::npos) {
        std::replace(ausdruck.begin(), ausdruck.end(), ',', '.');
        if (kommata) ++*kommata;
      }
      t->SetzeVorgabe(i, std::move(ausdruck));
    }
  return true;
}

void TDataModule1::CreateRecords(const std::string& von, const std::string&, const std::string& typ,
                                 const std::string&) {
  TTabelle& hyd = T("CDSHyd");
  const int z = NewRecord(hyd);
  hyd.Setze(z, "VON", von);
  hyd.Setze(z, "TYP", typ);
  Aktuell = z;
  if (TTabelle* d = GetTable(typ)) NewRecord(*d);
}

void TDataModule1::CreateDatabase() {
  for (auto& [name, t] : Tabellen)
    if (name != "CDSStrassen" && name != "CDSAdresse") t->Leeren();
  IDCounter = 0;
  Aktuell = -1;
}

void TDataModule1::SetCursor(std::string_view name) {
  const int z = T("CDSHyd").Finde("VON", name);
  if (z >= 0) Aktuell = z;
}

void TDataModule1::DeleteRecord(std::string_view name) {
  TTabelle& hyd = T("CDSHyd");
  if (Aktuell < 0 || S(hyd, Aktuell, "VON") != name) SetCursor(name);
  if (Aktuell < 0 || S(hyd, Aktuell, "VON") != name) return;
  if (TTabelle* d = GetTable(S(hyd, Aktuell, "TYP")))
    if (const int z = DetailZeile(*d); z >= 0) d->Loeschen(z);
  hyd.Loeschen(Aktuell);
  Aktuell = hyd.Anzahl() > 0 ? 0 : -1;
}

void TDataModule1::ChangeElementName(std::string_view alt, std::string_view neu) {
  TTabelle& hyd = T("CDSHyd");
  if (Aktuell >= 0 && S(hyd, Aktuell, "VON") == alt) hyd.Setze(Aktuell, "VON", std::string(neu));
}

void TDataModule1::SaveData(const TElement& e) {
  TTabelle& hyd = T("CDSHyd");
  const int z = NewRecord(hyd);
  Aktuell = z;
  hyd.Setze(z, "VON", e.Name());
  if (e.Owner && e.Owner->Parent()) hyd.Setze(z, "BIS", e.Owner->Parent()->Name);
  hyd.Setze(z, "TYP", e.Typ());
  hyd.Setze(z, "RW", e.SUM.RW);
  hyd.Setze(z, "HW", e.SUM.HW);
  hyd.Setze(z, "GELAENDE", e.SUM.Gelaende);
  hyd.Setze(z, "STRASSE", e.SUM.Strasse);
  hyd.Setze(z, "MEMO", Zeilen(e.Memo));
  hyd.Setze(z, "Script", Zeilen(e.Script));
  hyd.Setze(z, "ScriptAktiv", e.ScriptActive);

  if (const auto* n = dynamic_cast<const TNET*>(&e)) {
    TTabelle& t = T("CDSNet");
    const int r = NewRecord(t);
    FelderInTabelle(*n, "CDSNet", t, r);
    TTabelle& kos = T("CDSKOS");
    const int k = NewRecord(kos);
    kos.Setze(k, "Name", n->Spenden.name);
    kos.Setze(k, "T", n->Spenden.values[0]);
    for (int i = 0; i < 18; ++i)
      kos.Setze(k, kKosSpalten[i], n->Spenden.values[static_cast<size_t>(i + 1)]);
  } else if (const auto* k = dynamic_cast<const TKEZ*>(&e)) {
    TTabelle& t = T("CDSKEZ");
    FelderInTabelle(*k, "CDSKEZ", t, NewRecord(t));
    TTabelle& aek = T("CDSAEK");
    for (const TAE& a : k->AEs.Liste) {
      const int f = NewRecord(aek);
      aek.Setze(f, "Bezeichnung", a.Bezeichnung);
      aek.Setze(f, "AE", a.AE);
      aek.Setze(f, "PSI", a.fD);
      aek.Setze(f, "B", a.B);
      aek.Setze(f, "Kategorie", a.Kategorie);
    }
  } else if (const auto* b = dynamic_cast<const TEBW*>(&e)) {
    TTabelle& t = T("CDSEbw");
    FelderInTabelle(*b, "CDSEbw", t, NewRecord(t));
  } else if (const auto* est = dynamic_cast<const TEST*>(&e)) {
    TTabelle& t = T("CDSEst");
    FelderInTabelle(*est, "CDSEst", t, NewRecord(t));
  } else if (const auto* oma = dynamic_cast<const TOMA*>(&e)) {
    TTabelle& t = T("CDSOma");
    FelderInTabelle(*oma, "CDSOma", t, NewRecord(t));
  } else if (const auto* klg = dynamic_cast<const TKLG*>(&e)) {
    TTabelle& t = T("CDSKlg");
    FelderInTabelle(*klg, "CDSKlg", t, NewRecord(t));
  } else if (const auto* aeo = dynamic_cast<const TAEO*>(&e)) {
    TTabelle& t = T("CDSAEO");
    FelderInTabelle(*aeo, "CDSAEO", t, NewRecord(t));
  } else if (const auto* vbe = dynamic_cast<const TVBE*>(&e)) {
    TTabelle& t = T("CDSVBE");
    FelderInTabelle(*vbe, "CDSVBE", t, NewRecord(t));
  } else if (dynamic_cast<const TCON*>(&e) || dynamic_cast<const TREG*>(&e)) {
    const char* tabelle = dynamic_cast<const TCON*>(&e) ? "CDSCON" : "CDSREG";
    TTabelle& t = T(tabelle);
    FelderInTabelle(e, tabelle, t, NewRecord(t));
  }
}

void TDataModule1::GetData(TElement& e, const TNET* netz) {
  if (!netz && e.Owner && e.Owner->Model)
    if (auto* m = dynamic_cast<TM3Model*>(e.Owner->Model)) netz = &m->Netz();
  static const TNET ersatz;
  const TNET& net = netz ? *netz : ersatz;
  const TTabelle& hyd = T("CDSHyd");
  if (Aktuell < 0) return;
  if (auto* n = dynamic_cast<TNET*>(&e)) {
    const TTabelle& t = T("CDSNet");
    if (const int r = DetailZeile(t); r >= 0) {
      // The series the record names, from the series table when it holds
      // one, else from the reference list; none: the first of the list.
      const TSpenden* reihe = StandardReferenzListen().Kostra.Find(S(t, r, "Regenreihe"));
      TSpenden eigene;
      const TTabelle& kos = T("CDSKOS");
      if (const int k = DetailZeile(kos); k >= 0) {
        eigene.name = S(kos, k, "Name");
        eigene.values[0] = Z(kos, k, "T");
        for (int i = 0; i < 18; ++i)
          eigene.values[static_cast<size_t>(i + 1)] = Z(kos, k, kKosSpalten[i]);
        reihe = &eigene;
      }
      n->SetData(Z(t, r, "HNA"), Z(t, r, "PSIA"), S(t, r, "NUMMER"), S(t, r, "PROJEKTNAME"),
                 S(t, r, "VARIANTE"), S(t, r, "AUFTRAGGEBER"), Z(t, r, "DATUM"), I(t, r, "ZEBEV"),
                 B(t, r, "NAM"), Z(t, r, "cS"), Z(t, r, "cI"), Z(t, r, "cM"), Z(t, r, "CrBSB"),
                 Z(t, r, "CRNH4"), Z(t, r, "CRPH"), Z(t, r, "CRALK"), Z(t, r, "dnBSB"),
                 Z(t, r, "dnNH4"), Z(t, r, "crDO2"), Z(t, r, "crT"), reihe, Z(t, r, "mNN"));
    }
  } else if (auto* k = dynamic_cast<TKEZ*>(&e)) {
    const TTabelle& t = T("CDSKEZ");
    if (const int r = DetailZeile(t); r >= 0) {
      FelderAusTabelle(*k, "CDSKEZ", t, r);
      if (k->NGM <= 1) k->NGM = 1;
      if (k->N <= 1) k->N = 1;
      k->KonzentrationenSetzen();
      if (AltesDateiformat) {
        TAE a;
        a.Bezeichnung = " ";
        a.AE = Z(t, r, "AEK");
        a.B = I(t, r, "B");
        a.fD = 1.0;
        a.AEb = a.B * a.AE / 100;
        a.Kategorie = 2;
        k->AEs.Liste.push_back(a);
      }
    }
  } else if (auto* b = dynamic_cast<TEBW*>(&e)) {
    const TTabelle& t = T("CDSEbw");
    if (const int r = DetailZeile(t); r >= 0) {
      FelderAusTabelle(*b, "CDSEbw", t, r);
      b->QDaktiv = b->QD;
    }
  } else if (auto* est = dynamic_cast<TEST*>(&e)) {
    const TTabelle& t = T("CDSEst");
    if (const int r = DetailZeile(t); r >= 0) {
      auto zahl = [&](const char* c) { return AlsGanzzahl(TWert(S(t, r, c)), 0); };
      est->SetData(Z(t, r, "BSB"), Z(t, r, "NH4"), Z(t, r, "AFS"), Z(t, r, "PH"), Z(t, r, "ALK"),
                   Z(t, r, "SOLO"), Z(t, r, "SOLU"), Z(t, r, "LEN"), Z(t, r, "BSO"), Z(t, r, "HB"),
                   Z(t, r, "BWSP"), Z(t, r, "KST"), Z(t, r, "HMNQ"), Z(t, r, "VMNQ"),
                   Z(t, r, "AE0"), Z(t, r, "_MNQ"), Z(t, r, "_HQ1"), Z(t, r, "LQUELL"),
                   B(t, r, "QUELLE"), B(t, r, "QUELLLAUF"), B(t, r, "TEMPORAER"),
                   B(t, r, "ORGANISCH"), B(t, r, "STAU"), S(t, r, "EUTROPH"), S(t, r, "GUETE"),
                   S(t, r, "STRUKTUR"), Z(t, r, "CSB"), zahl("LAGE"), B(t, r, "WBP1ZuflussO"),
                   B(t, r, "WBP1ZuflussU"), zahl("WBP1StrukturO"), zahl("WBP1StrukturU"),
                   zahl("WBP1AufUndAb"), zahl("WBP1Aufwander"), Z(t, r, "X"),
                   B(t, r, "Abflussdrosselung"), Z(t, r, "QD"), I(t, r, "Volumen"),
                   B(t, r, "Salmoniden"), net);
    }
  } else if (auto* oma = dynamic_cast<TOMA*>(&e)) {
    const TTabelle& t = T("CDSOma");
    if (const int r = DetailZeile(t); r >= 0)
      oma->SetData(Z(t, r, "QD"), Z(t, r, "BSB"), Z(t, r, "NH4"), Z(t, r, "AFS"), Z(t, r, "PH"),
                   Z(t, r, "ALK"), Z(t, r, "CSB"), Z(t, r, "N"), S(t, r, "ART"), I(t, r, "Volumen"),
                   Z(t, r, "MaxQKUE"), B(t, r, "Nebenschluss"), Z(t, r, "DO2"), Z(t, r, "DO2KUE"),
                   Z(t, r, "DO2BUE"));
  } else if (auto* klg = dynamic_cast<TKLG*>(&e)) {
    const TTabelle& t = T("CDSKlg");
    if (const int r = DetailZeile(t); r >= 0)
      klg->SetData(Z(t, r, "BSB"), Z(t, r, "NH4"), Z(t, r, "PH"), Z(t, r, "ALK"),
                   Z(t, r, "O2Defizit"), net);
  } else if (auto* aeo = dynamic_cast<TAEO*>(&e)) {
    const TTabelle& t = T("CDSAEO");
    if (const int r = DetailZeile(t); r >= 0) FelderAusTabelle(*aeo, "CDSAEO", t, r);
  } else if (auto* vbe = dynamic_cast<TVBE*>(&e)) {
    const TTabelle& t = T("CDSVBE");
    const int32_t id = AlsGanzzahl(T("CDSHyd").Wert(Aktuell, "ID"), -1);
    if (const int r = t.Finde("ID", id); r >= 0) FelderAusTabelle(*vbe, "CDSVBE", t, r);
  } else if (dynamic_cast<TREG*>(&e) || dynamic_cast<TCON*>(&e)) {
    const char* tabelle = dynamic_cast<TREG*>(&e) ? "CDSREG" : "CDSCON";
    const TTabelle& t = T(tabelle);
    if (const int r = DetailZeile(t); r >= 0) FelderAusTabelle(e, tabelle, t, r);
  }
  e.SUM.SetLage(Z(hyd, Aktuell, "RW"), Z(hyd, Aktuell, "HW"), Z(hyd, Aktuell, "GELAENDE"),
                S(hyd, Aktuell, "STRASSE"));
  e.Memo = ZeilenAus(S(hyd, Aktuell, "MEMO"));
  if (dynamic_cast<TBauwerk*>(&e)) {
    e.ScriptActive = B(hyd, Aktuell, "ScriptAktiv");
    e.Script = ZeilenAus(S(hyd, Aktuell, "Script"));
  }
}

void TDataModule1::CheckDatabase(const TM3Model& m) {
  TTabelle& hyd = T("CDSHyd");
  for (const std::string& name : m.Liste.Names())
    if (hyd.Finde("VON", name) < 0) MeldungZeigen(name + " nicht in Datenbank gefunden");
  for (int z = hyd.Anzahl() - 1; z >= 0; --z) {
    const std::string name = S(hyd, z, "VON");
    if (S(hyd, z, "TYP") != "ABS" && !m.Liste.Contains(name)) {
      Aktuell = z;
      DeleteRecord(name);
    }
  }
}

void TDataModule1::SaveComponents(const TM3Model& m) {
  TTabelle& hyd = T("CDSHyd");
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (const TElement* e = TM3Model::ElementOf(s)) {
      SaveData(*e);
    } else if (s->Parent()) {
      const int z = NewRecord(hyd);
      hyd.Setze(z, "VON", s->Name);
      hyd.Setze(z, "BIS", s->Parent()->Name);
      hyd.Setze(z, "TYP", s->Typ());
    }
  }
}

TCadShape* ElementAnlegen(TDataModule1& dm, TM3Model& m, const std::string& typ,
                          const std::string& name, double x, double y) {
  const std::string code = NeuerTypcode(typ);
  dm.CreateRecords(name, "", code, "");
  TCadShape* s = m.CreateShape(code, name, x, y);
  if (TElement* e = TM3Model::ElementOf(s)) dm.GetData(*e);
  return s;
}

bool SchreibeGanglinien(const TReferenzListen& r, const std::string& basis, std::string& fehler) {
  TTabelle tw(ProjektSchema("CDSTWGanglinie"));
  for (int i = 0; i < r.SWGanglinien.Count(); ++i) {
    const auto& g = r.SWGanglinien.Eintraege[static_cast<size_t>(i)];
    const int z = tw.Anhaengen();
    tw.Setze(z, "NR", i);
    tw.Setze(z, "NAME", g.name);
    for (int h = 0; h < 24; ++h)
      tw.Setze(z, "H" + std::to_string(h), g.werte[static_cast<size_t>(h)]);
  }
  TTabelle fw(ProjektSchema("CDSFWGanglinie"));
  for (int i = 0; i < r.FWGanglinien.Count(); ++i) {
    const auto& g = r.FWGanglinien.Eintraege[static_cast<size_t>(i)];
    const int z = fw.Anhaengen();
    fw.Setze(z, "NR", i);
    fw.Setze(z, "NAME", g.name);
    for (int h = 1; h <= 12; ++h)
      fw.Setze(z, "H" + std::to_string(h), g.werte[static_cast<size_t>(h - 1)]);
  }
  return SchreibePaket(tw, basis + "_TWGanglinien.XML", fehler) &&
         SchreibePaket(fw, basis + "_FWGanglinien.XML", fehler);
}

}  // namespace t21
