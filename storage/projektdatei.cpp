#include "storage/projektdatei.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "model/elements.h"
#include "storage/datenpaket.h"
#include "storage/felder.h"
#include "storage/projekttabellen.h"

namespace t21 {

namespace {

using S = std::shared_ptr<TSchema>;

TFeld F(const char* name, TFeldTyp t, int breite = 0) {
  TFeld f;
  f.Name = name;
  f.Typ = t;
  f.Breite = breite;
  return f;
}
TFeld Str(const char* n, int b) {
  return F(n, TFeldTyp::String, b);
}
TFeld Int(const char* n) {
  return F(n, TFeldTyp::Integer);
}
TFeld Flt(const char* n) {
  return F(n, TFeldTyp::Float);
}
TFeld Bool(const char* n) {
  return F(n, TFeldTyp::Boolean);
}
TFeld Nest(const char* n, S s) {
  TFeld f = F(n, TFeldTyp::Nested);
  f.Nested = std::move(s);
  return f;
}

S Schema(const char* name, std::vector<TFeld> felder) {
  auto s = std::make_shared<TSchema>();
  s->Name = name;
  s->Felder = std::move(felder);
  return s;
}

// Characters of the shape's value text Val (its column's width).
constexpr size_t kValBreite = 512;

constexpr const char* kKosSpalten[18] = {"R5m",  "R10m", "R15m", "R20m", "R30m", "R45m",
                                         "R60m", "R90m", "R2h",  "R3h",  "R4h",  "R6h",
                                         "R9h",  "R12h", "R18h", "R24h", "R48h", "R72h"};

// valLang: the shape table has the column ValLang, the whole vertex list of a
// polyline too long for Val. Only a packet that needs it carries it, so the
// file of a drawing without such a polyline keeps its columns.
S BaueSchema(bool valLang) {
  std::vector<TFeld> kos{Str("Name", 32)};
  for (const char* c : kKosSpalten) kos.push_back(Flt(c));
  kos.push_back(Flt("R4320"));  // the 72-hour intensity, which R72h does not hold
  // Hydrograph names are wider than 32 characters already in the program's
  // own list; readers take the width from the packet.
  std::vector<TFeld> swgl{Int("Nr"), Str("Name", 64)};
  for (int h = 0; h < 24; ++h) swgl.push_back(Flt(("H" + std::to_string(h)).c_str()));
  std::vector<TFeld> fwgl{Int("Nr"), Str("Name", 64)};
  for (int h = 1; h <= 12; ++h) fwgl.push_back(Flt(("H" + std::to_string(h)).c_str()));
  auto par =
      Schema("PAR", {Str("Name", 32), Str("Art", 3), Flt("Q"), Flt("BSB"), Flt("NH4"), Flt("AFS"),
                     Flt("CSB"), Flt("PH"), Flt("ALK"), Flt("DO2"), Flt("xxx"), Flt("T")});
  auto net = Schema("NET", {Str("NUMMER", 20),
                            Str("PROJEKTNAME", 40),
                            Str("AUFTRAGGEBER", 40),
                            Str("VARIANTE", 40),
                            F("DATUM", TFeldTyp::Date),
                            Flt("R15"),
                            Flt("HNA"),
                            Flt("PSIA"),
                            Int("ZEBEV"),
                            Bool("NAM"),
                            Flt("cS"),
                            Flt("cI"),
                            Flt("cM"),
                            Int("crCSB"),
                            Int("ckCSB"),
                            Int("ctAFS63"),
                            Int("ckAFS63"),
                            Flt("Temperatur"),
                            Flt("mNN"),
                            Nest("KOS", Schema("KOS", kos)),
                            Nest("SWGL", Schema("SWGL", swgl)),
                            Nest("FWGL", Schema("FWGL", fwgl))});
  auto est = Schema(
      "EST", {Flt("KST"),         Flt("BSO"),        Flt("BWSP"),      Flt("HB"),
              Flt("HMNQ"),        Flt("VMNQ"),       Flt("AEO"),       Flt("_MNQ"),
              Flt("_HQ1"),        Flt("LQUELL"),     Bool("QUELLE"),   Bool("QUELLLAUF"),
              Bool("TEMPORAER"),  Bool("ORGANISCH"), Bool("STAU"),     Str("GUETE", 6),
              Str("STRUKTUR", 1), Str("EUTROPH", 1), Flt("SOLO"),      Flt("SOLU"),
              Flt("LEN"),         Int("SO"),         Int("SU"),        Int("LO"),
              Int("StrukturO"),   Int("StrukturU"),  Bool("ZuflussO"), Bool("ZuflussU"),
              Int("AufUndAb"),    Int("Aufwander"),  Flt("X"),         Bool("Abflussdrosselung"),
              Flt("QD"),          Int("Volumen"),    Int("Lage"),      Bool("Salmoniden")});
  auto oma = Schema("OMA", {Flt("N"), Str("ART", 60)});
  auto bau = Schema("BAU", {Flt("QD"), Int("V"), Bool("Nebenschluss"), Flt("MaxQKUE"),
                            Flt("O2DefizitBUE"), Flt("O2DefizitKUE"), Flt("Ased"), Flt("rkrit"),
                            Flt("xDI"), Nest("EST", est), Nest("OMA", oma)});
  auto aes = Schema("AES", {Str("Name", 32), Flt("AE"), Int("B"), Flt("fD"), Int("Kategorie")});
  auto kez = Schema(
      "KEZ", {Flt("AEK"), Int("B"),    Flt("NGM"),  Flt("Q1"),   Flt("WS"),       Flt("ED"),
              Flt("X"),   Flt("QG"),   Flt("AG"),   Flt("BG"),   Flt("QF"),       Flt("PQRT24"),
              Flt("PSI"), Flt("TF"),   Flt("PSIe"), Int("SWGL"), Int("FWGL"),     Flt("K"),
              Int("N"),   Flt("PSIa"), Flt("MV"),   Flt("BV"),   Nest("AES", aes)});
  auto hyd = Schema(
      "HYD", {Str("VON", 32), Str("BIS", 32), Str("TYP", 3), Flt("RW"), Flt("HW"), Flt("GELAENDE"),
              Str("MEMO", 512), Str("STRASSE", 32), F("Script", TFeldTyp::Memo),
              Bool("ScriptAktiv"), F("MEMOLANG", TFeldTyp::Memo), Nest("NET", net),
              Nest("REG", Schema("REG", {Str("FileName", 256)})), Nest("BAU", bau),
              Nest("CON", Schema("CON", {Flt("TF")})), Nest("KEZ", kez), Nest("PAR", par),
              // sub-areas of a sub-area element or an infiltration facility and
              // named input values of the kinds older files had no place for
              Nest("AEKF", Schema("AEKF", {Str("Name", 32), Flt("AE"), Int("B"), Flt("fD"),
                                           Flt("AEb"), Int("Kategorie")})),
              Nest("WERTE", Schema("WERTE", {Str("Name", 32), Flt("Wert"), Str("Text", 64)}))});
  std::vector<TFeld> shpFelder{
      Str("Name", 32),     Str("Typ", 3),       Str("Parent", 32), Str("KUE", 32),
      Str("GEW", 32),      Flt("X1"),           Flt("Y1"),         Flt("X2"),
      Flt("Y2"),           Int("FontCharSet"),  Int("FontColor"),  Int("FontSize"),
      Str("FontName", 32), Str("FontStyle", 4), Int("PenColor"),   Int("PenMode"),
      Int("PenWidth"),     Int("BrushColor"),   Int("BrushStyle"), Bool("HGespiegelt"),
      Bool("VGespiegelt"), Bool("Solid"),       Bool("Selected"),  Bool("Visible"),
      Int("Ausrichtung"),  Str("Val", 512),     Int("TextPos"),    Str("Alignment", 3),
      Str("Format", 3),    Int("ShapeID")};
  if (valLang) shpFelder.push_back(F("ValLang", TFeldTyp::Memo));
  shpFelder.push_back(Nest("HYD", hyd));
  auto shp = Schema("SHP", std::move(shpFelder));
  return Schema(
      "MOD", {Str("ProgVersion", 255), Flt("OrgX"),         Flt("OrgY"),         Flt("Zoom"),
              Flt("GridMinor"),        Flt("GridMajor"),    Int("GridColor"),    Bool("ShowParent"),
              Bool("ShowKUE"),         Bool("ShowGEW"),     Int("FontCharSet"),  Int("FontColor"),
              Int("FontSize"),         Str("FontName", 32), Str("FontStyle", 4), Int("SelPenColor"),
              Int("SelPenMode"),       Int("SelPenWidth"),  Bool("AutoOeffnen"), Bool("AmRaster"),
              Bool("ShowBUE"),         Bool("ShowREG"),     Bool("ShowGrid"),    Nest("SHP", shp)});
}

void Par(TTabelle& par, const char* art, const TParameter& p, bool mitQ, bool mitDO2,
         std::optional<double> t = std::nullopt) {
  const int z = par.Anhaengen();
  par.Setze(z, "Art", std::string(art));
  if (mitQ) par.Setze(z, "Q", p.Q);
  par.Setze(z, "BSB", p.BSB);
  par.Setze(z, "NH4", p.NH4);
  par.Setze(z, "AFS", p.AFS);
  par.Setze(z, "CSB", p.CSB);
  par.Setze(z, "PH", p.PH);
  par.Setze(z, "ALK", p.ALK);
  if (mitDO2) par.Setze(z, "DO2", p.DO2);
  par.Setze(z, "xxx", 0.0);
  if (t) par.Setze(z, "T", *t);
}

// The input values of the kinds without a type record of their own.
struct TWerte {
  std::vector<std::pair<const char*, double*>> Zahlen;
  std::vector<std::pair<const char*, std::string*>> Texte;
  std::vector<std::pair<const char*, bool*>> Schalter;
  TAEs* Flaechen = nullptr;
};

TWerte WerteVon(TElement& e) {
  TWerte w;
  if (auto* a = dynamic_cast<TAEO*>(&e)) {
    w.Zahlen = {{"kB", &a->kB}, {"kD", &a->kD}};
  } else if (auto* v = dynamic_cast<TVersickerung*>(&e)) {
    w.Zahlen = {{"Kf", &v->Kf}, {"FZ", &v->FZ}, {"N", &v->N}, {"RD", &v->RD}, {"RDN", &v->RDN}};
    w.Texte = {{"Reihe", &v->Reihe}};
    w.Flaechen = &v->AEs;
    auto dazu = [&w](std::initializer_list<std::pair<const char*, double*>> l) {
      w.Zahlen.insert(w.Zahlen.end(), l.begin(), l.end());
    };
    if (auto* b = dynamic_cast<TVBE*>(&e)) {
      dazu({{"Ls", &b->Ls},
            {"Bs", &b->Bs},
            {"KFb", &b->KFb},
            {"Fa", &b->Fa},
            {"m", &b->m},
            {"h", &b->h}});
      w.Schalter = {{"Vorreinigung", &b->Vorreinigung}};
    }
    if (auto* c = dynamic_cast<TVSC*>(&e))
      dazu({{"KFF", &c->KFF},
            {"HR", &c->HR},
            {"DI", &c->DI},
            {"DA", &c->DA},
            {"HF", &c->HF},
            {"HS", &c->HS}});
    if (auto* m = dynamic_cast<TVMU*>(&e))
      dazu({{"BM", &m->BM}, {"LM", &m->LM}, {"ZM", &m->ZM}, {"M", &m->M}});
    if (auto* r = dynamic_cast<TVRI*>(&e))
      dazu({{"LR", &r->LR},
            {"BR", &r->BR},
            {"HR", &r->HR},
            {"SR", &r->SR},
            {"AAus", &r->AAus},
            {"DI", &r->DI},
            {"DA", &r->DA}});
  }
  return w;
}

void SchreibeFlaechen(const TAEs& aes, TTabelle& t) {
  for (const TAE& f : aes.Liste) {
    const int r = t.Anhaengen();
    t.Setze(r, "Name", f.Bezeichnung);
    t.Setze(r, "AE", f.AE);
    t.Setze(r, "B", f.B);
    t.Setze(r, "fD", f.fD);
    t.Setze(r, "AEb", f.AEb);
    t.Setze(r, "Kategorie", f.Kategorie);
  }
}

void SchreibeElement(const TElement& e, TTabelle& hyd, int h) {
  hyd.Setze(h, "RW", e.SUM.RW);
  hyd.Setze(h, "HW", e.SUM.HW);
  hyd.Setze(h, "GELAENDE", e.SUM.Gelaende);
  const std::string memo = Zeilen(e.Memo);
  hyd.Setze(h, "MEMO", memo);
  if (memo.size() > 512) hyd.Setze(h, "MEMOLANG", memo);
  hyd.Setze(h, "STRASSE", e.SUM.Strasse);
  hyd.Setze(h, "Script", Zeilen(e.Script));
  hyd.Setze(h, "ScriptAktiv", e.ScriptActive);
  TTabelle& par = hyd.Kind(h, "PAR");

  if (const auto* n = dynamic_cast<const TNET*>(&e)) {
    TTabelle& t = hyd.Kind(h, "NET");
    const int z = t.Anhaengen();
    FelderInDatei(*n, "CDSNet", t, z);
    TTabelle& kos = t.Kind(z, "KOS");
    const int k = kos.Anhaengen();
    kos.Setze(k, "Name", n->Spenden.name);
    for (int i = 0; i < 18; ++i)
      kos.Setze(k, kKosSpalten[i], n->Spenden.values[static_cast<size_t>(i)]);
    kos.Setze(k, "R4320", n->Spenden.values[18]);
    const TM3Model* m = e.Owner ? dynamic_cast<const TM3Model*>(e.Owner->Model) : nullptr;
    const TReferenzListen& ref = m ? m->Referenz : StandardReferenzListen();
    TTabelle& sw = t.Kind(z, "SWGL");
    for (int i = 0; i < ref.SWGanglinien.Count(); ++i) {
      const auto& g = ref.SWGanglinien.Eintraege[static_cast<size_t>(i)];
      const int r = sw.Anhaengen();
      sw.Setze(r, "Nr", i);
      sw.Setze(r, "Name", g.name);
      for (int s = 0; s < 24; ++s)
        sw.Setze(r, "H" + std::to_string(s), g.werte[static_cast<size_t>(s)]);
    }
    TTabelle& fw = t.Kind(z, "FWGL");
    for (int i = 0; i < ref.FWGanglinien.Count(); ++i) {
      const auto& g = ref.FWGanglinien.Eintraege[static_cast<size_t>(i)];
      const int r = fw.Anhaengen();
      fw.Setze(r, "Nr", i);
      fw.Setze(r, "Name", g.name);
      for (int s = 1; s <= 12; ++s)
        fw.Setze(r, "H" + std::to_string(s), g.werte[static_cast<size_t>(s - 1)]);
    }
    Par(par, "CR", n->CR, false, true, n->Temperatur);
    Par(par, "CDN", n->cDN, false, false);
  } else if (dynamic_cast<const TREG*>(&e) || dynamic_cast<const TCON*>(&e)) {
    const bool reg = dynamic_cast<const TREG*>(&e);
    TTabelle& t = hyd.Kind(h, reg ? "REG" : "CON");
    FelderInDatei(e, reg ? "CDSREG" : "CDSCON", t, t.Anhaengen());
  } else if (const auto* k = dynamic_cast<const TKEZ*>(&e)) {
    TTabelle& t = hyd.Kind(h, "KEZ");
    const int z = t.Anhaengen();
    FelderInDatei(*k, "CDSKEZ", t, z);
    Par(par, "CH", k->CH, false, false);
    Par(par, "CG", k->CG, false, false);
    TTabelle& aes = t.Kind(z, "AES");
    for (const TAE& a : k->AEs.Liste) {
      const int r = aes.Anhaengen();
      aes.Setze(r, "Name", a.Bezeichnung);
      aes.Setze(r, "AE", a.AE);
      aes.Setze(r, "B", static_cast<double>(a.B));
      aes.Setze(r, "fD", a.fD);
      aes.Setze(r, "Kategorie", a.Kategorie);
    }
  } else if (const auto* b = dynamic_cast<const TBauwerk*>(&e)) {
    TTabelle& t = hyd.Kind(h, "BAU");
    const int z = t.Anhaengen();
    FelderInDatei(*b, "CDSEbw", t, z);
    if (const auto* est = dynamic_cast<const TEST*>(&e)) {
      TTabelle& d = t.Kind(z, "EST");
      FelderInDatei(*est, "CDSEst", d, d.Anhaengen());
      // The background as it was entered: concentrations, the pH without
      // the eutrophication surcharge; the oxygen deficit follows from it.
      const THintergrund& hg = est->Hintergrund;
      const int v = par.Anhaengen();
      par.Setze(v, "Art", std::string("VB"));
      par.Setze(v, "BSB", hg.BSB);
      par.Setze(v, "NH4", hg.NH4);
      par.Setze(v, "AFS", hg.AFS);
      par.Setze(v, "CSB", hg.CSB);
      par.Setze(v, "ALK", hg.ALK);
      par.Setze(v, "DO2", est->CV.cDO2());
      par.Setze(v, "PH", hg.PH);
      par.Setze(v, "xxx", 0.0);
    } else if (const auto* oma = dynamic_cast<const TOMA*>(&e)) {
      TTabelle& d = t.Kind(z, "OMA");
      FelderInDatei(*oma, "CDSOma", d, d.Anhaengen());
      Par(par, "ETA", oma->ETA, true, true);
    }
  } else if (const auto* klg = dynamic_cast<const TKLG*>(&e)) {
    Par(par, "ETA", klg->ETA, false, true);
  } else if (const auto* a = dynamic_cast<const TAEK*>(&e)) {
    SchreibeFlaechen(a->AEs, hyd.Kind(h, "AEKF"));
  } else {
    TWerte w = WerteVon(const_cast<TElement&>(e));
    TTabelle& t = hyd.Kind(h, "WERTE");
    for (const auto& [name, wert] : w.Zahlen) {
      const int r = t.Anhaengen();
      t.Setze(r, "Name", std::string(name));
      t.Setze(r, "Wert", *wert);
    }
    for (const auto& [name, text] : w.Texte) {
      const int r = t.Anhaengen();
      t.Setze(r, "Name", std::string(name));
      t.Setze(r, "Text", *text);
    }
    for (const auto& [name, schalter] : w.Schalter) {
      const int r = t.Anhaengen();
      t.Setze(r, "Name", std::string(name));
      t.Setze(r, "Wert", *schalter ? 1.0 : 0.0);
    }
    if (w.Flaechen) SchreibeFlaechen(*w.Flaechen, hyd.Kind(h, "AEKF"));
  }
}

double Z(const TTabelle& t, int z, const char* s, double ersatz = 0) {
  return AlsZahl(t.Wert(z, s), ersatz);
}
int32_t I(const TTabelle& t, int z, const char* s, int32_t ersatz = 0) {
  return AlsGanzzahl(t.Wert(z, s), ersatz);
}
bool B(const TTabelle& t, int z, const char* s) {
  return AlsBool(t.Wert(z, s));
}
std::string T(const TTabelle& t, int z, const char* s) {
  return AlsText(t.Wert(z, s));
}
bool Hat(const TTabelle& t, int z, const char* s) {
  return t.Schema().Index(s) >= 0 && !IstNull(t.Wert(z, s));
}
const TTabelle* Erste(const TTabelle& t, int z, const char* kind) {
  const TTabelle* k = t.Kind(z, kind);
  return k && k->Anzahl() > 0 ? k : nullptr;
}

void LiesParameter(const TTabelle& p, int z, TParameter& ziel) {
  ziel.BSB = Z(p, z, "BSB");
  ziel.NH4 = Z(p, z, "NH4");
  ziel.AFS = Z(p, z, "AFS");
  ziel.CSB = Z(p, z, "CSB");
  ziel.PH = Z(p, z, "PH");
  ziel.ALK = Z(p, z, "ALK");
}

void LiesElement(TElement& e, const std::string& typ, const TTabelle& hyd, int h, TM3Model& m) {
  e.SUM.RW = Z(hyd, h, "RW");
  e.SUM.HW = Z(hyd, h, "HW");
  e.SUM.Gelaende = Z(hyd, h, "GELAENDE");
  e.SUM.Strasse = T(hyd, h, "STRASSE");
  e.Memo = ZeilenAus(Hat(hyd, h, "MEMOLANG") ? T(hyd, h, "MEMOLANG") : T(hyd, h, "MEMO"));
  e.Script = ZeilenAus(T(hyd, h, "Script"));
  e.ScriptActive = B(hyd, h, "ScriptAktiv");

  if (auto* n = dynamic_cast<TNET*>(&e); n && typ == "NET") {
    const TTabelle* t = Erste(hyd, h, "NET");
    if (!t) return;
    FelderAusDatei(*n, "CDSNet", *t, 0);
    // Temperature and altitude decide saturation, pKs and the rain water's
    // oxygen deficit.
    n->cO2sat = O2Saettigung(n->Temperatur, n->mNN);
    n->pks = PKsWert(n->Temperatur);
    n->CR.DO2 = n->crDO2 / 100 * n->cO2sat;
    // The rain water as the project keeps it (the deficit as a
    // concentration, its share of the saturation follows) and the rain
    // water load of the simulation.
    if (const TTabelle* par = Erste(hyd, h, "PAR"))
      for (int z = 0; z < par->Anzahl(); ++z) {
        const std::string art = T(*par, z, "Art");
        if (art == "CDN") LiesParameter(*par, z, n->cDN);
        if (art != "CR") continue;
        LiesParameter(*par, z, n->CR);
        if (!Hat(*par, z, "DO2")) continue;
        n->CR.DO2 = Z(*par, z, "DO2");
        if (n->cO2sat > 0) n->crDO2 = std::round(n->CR.DO2 / n->cO2sat * 100 * 1e9) / 1e9;
      }
    if (const TTabelle* fw = Erste(*t, 0, "FWGL")) {
      m.Referenz.FWGanglinien.Eintraege.clear();
      for (int r = 0; r < fw->Anzahl(); ++r) {
        std::array<double, 12> w{};
        for (int s = 1; s <= 12; ++s)
          w[static_cast<size_t>(s - 1)] = Z(*fw, r, ("H" + std::to_string(s)).c_str());
        m.Referenz.FWGanglinien.AddGL(T(*fw, r, "Name"), w);
      }
    }
    if (const TTabelle* sw = Erste(*t, 0, "SWGL")) {
      m.Referenz.SWGanglinien.Eintraege.clear();
      for (int r = 0; r < sw->Anzahl(); ++r) {
        std::array<double, 24> w{};
        for (int s = 0; s < 24; ++s)
          w[static_cast<size_t>(s)] = Z(*sw, r, ("H" + std::to_string(s)).c_str());
        m.Referenz.SWGanglinien.AddGL(T(*sw, r, "Name"), w);
      }
    }
    if (const TTabelle* kos = Erste(*t, 0, "KOS")) {
      TSpenden s;
      s.name = T(*kos, 0, "Name");
      for (int i = 0; i < 18; ++i) s.values[static_cast<size_t>(i)] = Z(*kos, 0, kKosSpalten[i]);
      s.values[18] = Hat(*kos, 0, "R4320") ? Z(*kos, 0, "R4320") : 0;
      n->Spenden = s;
    }
  } else if (dynamic_cast<TREG*>(&e) || dynamic_cast<TCON*>(&e)) {
    const bool reg = dynamic_cast<TREG*>(&e);
    if (const TTabelle* t = Erste(hyd, h, reg ? "REG" : "CON"))
      FelderAusDatei(e, reg ? "CDSREG" : "CDSCON", *t, 0);
  } else if (auto* k = dynamic_cast<TKEZ*>(&e)) {
    const TTabelle* t = Erste(hyd, h, "KEZ");
    if (!t) return;
    FelderAusDatei(*k, "CDSKEZ", *t, 0);
    if (const TTabelle* par = Erste(hyd, h, "PAR"))
      for (int z = 0; z < par->Anzahl(); ++z)
        LiesParameter(*par, z, T(*par, z, "Art") == "CH" ? k->CH : k->CG);
    k->AEs.Liste.clear();
    if (const TTabelle* aes = Erste(*t, 0, "AES")) {
      const bool psim = aes->Schema().Index("PSIm") >= 0;
      for (int z = 0; z < aes->Anzahl(); ++z) {
        TAE a;
        a.Bezeichnung = T(*aes, z, "Name");
        a.AE = Z(*aes, z, "AE");
        a.B = I(*aes, z, "B");
        a.fD = Z(*aes, z, psim ? "PSIm" : "fD");
        a.Kategorie = I(*aes, z, "Kategorie");
        a.AEb = a.B * a.AE / 100;
        k->AEs.Liste.push_back(a);
      }
    }
  } else if (auto* b = dynamic_cast<TBauwerk*>(&e)) {
    const TTabelle* t = Erste(hyd, h, "BAU");
    if (!t) return;
    FelderAusDatei(*b, "CDSEbw", *t, 0);
    b->QDaktiv = b->QD;
    if (typ == "RU") b->MaxQKUE = 999999;
    const TTabelle* par = Erste(hyd, h, "PAR");
    if (auto* est = dynamic_cast<TEST*>(&e)) {
      const TTabelle* d = Erste(*t, 0, "EST");
      if (!d) return;
      FelderAusDatei(*est, "CDSEst", *d, 0);
      est->Profil.PKZ = 41;
      if (par) {
        // The background set from its concentrations at the low flow.
        const TNET& net = m.Netz();
        est->Hintergrund = {Z(*par, 0, "BSB"), Z(*par, 0, "NH4"), Z(*par, 0, "AFS"),
                            Z(*par, 0, "CSB"), Z(*par, 0, "ALK"), Z(*par, 0, "PH")};
        est->SetzeHintergrund(O2Saettigung(net.Temperatur, net.mNN));
      }
    } else if (auto* oma = dynamic_cast<TOMA*>(&e)) {
      if (const TTabelle* d = Erste(*t, 0, "OMA")) FelderAusDatei(*oma, "CDSOma", *d, 0);
      if (par) {
        TParameter& eta = oma->ETA;
        eta.Q = Z(*par, 0, "Q");
        LiesParameter(*par, 0, eta);
        eta.DO2 = Z(*par, 0, "DO2");
      }
    }
  } else if (auto* klg = dynamic_cast<TKLG*>(&e)) {
    if (const TTabelle* par = Erste(hyd, h, "PAR")) {
      LiesParameter(*par, 0, klg->ETA);
      klg->ETA.DO2 = Z(*par, 0, "DO2");
    }
  } else {
    TAEs* flaechen = nullptr;
    if (auto* a = dynamic_cast<TAEK*>(&e)) flaechen = &a->AEs;
    TWerte w = WerteVon(e);
    if (w.Flaechen) flaechen = w.Flaechen;
    if (const TTabelle* t = Erste(hyd, h, "WERTE"))
      for (int z = 0; z < t->Anzahl(); ++z) {
        const std::string name = T(*t, z, "Name");
        for (auto& [n, wert] : w.Zahlen)
          if (name == n) *wert = Z(*t, z, "Wert");
        for (auto& [n, text] : w.Texte)
          if (name == n) *text = T(*t, z, "Text");
        for (auto& [n, schalter] : w.Schalter)
          if (name == n) *schalter = Z(*t, z, "Wert") != 0;
      }
    if (const TTabelle* t = Erste(hyd, h, "AEKF"); t && flaechen) {
      flaechen->Liste.clear();
      for (int z = 0; z < t->Anzahl(); ++z) {
        TAE f;
        f.Bezeichnung = T(*t, z, "Name");
        f.AE = Z(*t, z, "AE");
        f.B = I(*t, z, "B");
        f.fD = Z(*t, z, "fD");
        f.AEb = Z(*t, z, "AEb");
        f.Kategorie = I(*t, z, "Kategorie");
        flaechen->Liste.push_back(f);
      }
    }
  }
}

// Shapes made the way the drawing makes them, but outside any model, so that
// a shape read from a row enters its model with the id it was stored with.
class TFormVorlage : public TCadModel {
 public:
  std::unique_ptr<TCadShape> Neu(std::string_view typ, std::string_view name, double x, double y) {
    TCadShape* s = CreateShape(typ, name, x, y);
    return s ? Remove(s) : nullptr;
  }
};

bool LiesText(const std::string& datei, std::string& text) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) return false;
  std::stringstream s;
  s << ein.rdbuf();
  text = s.str();
  return true;
}

// A project file of an older version, which opening read with its decimal
// commas repaired, is kept as it is in datei + "~" before it is replaced for
// the first time; a copy kept before stays. False with fehler set when the
// copy cannot be written.
bool AlteFassungAufbewahren(const std::string& datei, std::string& fehler) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(datei, ec) || std::filesystem::exists(datei + "~", ec))
    return true;
  std::string text;
  if (!LiesText(datei, text)) return true;
  const std::optional<std::string> version = ErsterWert(text, "ProgVersion");
  if (!version || *version == kProgVersion) return true;
  return SchreibeDateiAtomar(datei + "~", text, fehler);
}

}  // namespace

std::string SchriftstilText(const TSchrift& f) {
  std::string s;
  if (f.Fett) s += 'b';
  if (f.Kursiv) s += 'i';
  if (f.Unterstrichen) s += 'u';
  if (f.Durchgestrichen) s += 's';
  return s;
}

void SchriftstilLesen(const std::string& t, TSchrift& f) {
  f.Fett = t.find('b') != std::string::npos;
  f.Kursiv = t.find('i') != std::string::npos;
  f.Unterstrichen = t.find('u') != std::string::npos;
  f.Durchgestrichen = t.find('s') != std::string::npos;
}

std::string PunkteAlsText(const std::vector<TPunkt>& p) {
  std::string r;
  char b[64];
  for (const TPunkt& q : p) {
    for (double v : {q.X, q.Y}) {
      std::snprintf(b, sizeof b, "%.6f;", v);
      for (char* c = b; *c; ++c)
        if (*c == '.') *c = ',';
      r += b;
    }
  }
  return r;
}

std::vector<TPunkt> PunkteAusText(const std::string& text) {
  std::vector<TPunkt> r;
  size_t i = 0;
  auto teil = [&]() {
    const size_t e = text.find(';', i);
    const std::string s = text.substr(i, e == std::string::npos ? std::string::npos : e - i);
    i = e == std::string::npos ? text.size() : e + 1;
    return TextZuZahl(s, 0);
  };
  while (text.size() - i > 1) {
    TPunkt p;
    p.X = teil();
    p.Y = teil();
    r.push_back(p);
  }
  return r;
}

namespace {

std::shared_ptr<TTabelle> Paket(bool valLang) {
  static const S mit = BaueSchema(true);
  static const S ohne = BaueSchema(false);
  return std::make_shared<TTabelle>(valLang ? mit : ohne);
}

bool IstPolylinie(const TCadShape& s) {
  return s.Typ() == "POL" || s.Typ() == "POG";
}

// The leading vertices of a vertex text that fit into Val, whole vertices
// only (x and y each end with ";"), so that a reader of Val alone gets the
// start of the polyline.
std::string ValAnfang(const std::string& punkte) {
  if (punkte.size() <= kValBreite) return punkte;
  size_t ende = 0;
  int trenner = 0;
  for (size_t i = 0; i < kValBreite; ++i)
    if (punkte[i] == ';' && ++trenner % 2 == 0) ende = i + 1;
  return punkte.substr(0, ende);
}

}  // namespace

std::shared_ptr<TTabelle> NeuesProjektPaket() {
  return Paket(true);
}

void ShapeInZeile(const TCadShape& s, TTabelle& shp, int r) {
  shp.Setze(r, "Name", s.Name);
  shp.Setze(r, "Typ", s.Typ());
  if (s.Parent()) shp.Setze(r, "Parent", s.Parent()->Name);
  if (s.KUE()) shp.Setze(r, "KUE", s.KUE()->Name);
  if (s.GEW()) shp.Setze(r, "GEW", s.GEW()->Name);
  shp.Setze(r, "X1", s.X1);
  shp.Setze(r, "Y1", s.Y1);
  shp.Setze(r, "X2", s.X2);
  shp.Setze(r, "Y2", s.Y2);
  shp.Setze(r, "FontCharSet", s.Font.CharSet);
  shp.Setze(r, "FontColor", s.Font.Color);
  shp.Setze(r, "FontSize", s.Font.Size);
  shp.Setze(r, "FontName", s.Font.Name);
  shp.Setze(r, "FontStyle", SchriftstilText(s.Font));
  shp.Setze(r, "PenColor", s.Pen.Color);
  shp.Setze(r, "PenMode", s.Pen.Mode);
  shp.Setze(r, "PenWidth", s.Pen.Width);
  shp.Setze(r, "BrushColor", s.Brush.Color);
  shp.Setze(r, "BrushStyle", s.Brush.Style);
  shp.Setze(r, "HGespiegelt", s.HGespiegelt);
  shp.Setze(r, "VGespiegelt", s.VGespiegelt);
  shp.Setze(r, "Solid", s.Solid);
  shp.Setze(r, "Visible", s.Visible);
  shp.Setze(r, "Ausrichtung", s.Ausrichtung);
  if (IstPolylinie(s)) {
    // Val holds the vertices as far as they fit; the whole list of a longer
    // polyline goes into ValLang.
    const std::string punkte = PunkteAlsText(s.Koordinaten);
    shp.Setze(r, "Val", ValAnfang(punkte));
    if (punkte.size() > kValBreite) shp.Setze(r, "ValLang", punkte);
  } else {
    shp.Setze(r, "Val", s.Val);
  }
  shp.Setze(r, "TextPos", s.TextPos);
  shp.Setze(r, "Alignment", s.Al);
  shp.Setze(r, "Format", s.Fmt);
  // Ids beyond the 32 bits of an Integer column are not stored: such a
  // shape gets a new one when it is read.
  if (s.Id > 0 && s.Id <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
    shp.Setze(r, "ShapeID", static_cast<int32_t>(s.Id));
  if (const TElement* e = TM3Model::ElementOf(&s)) {
    TTabelle& hyd = shp.Kind(r, "HYD");
    SchreibeElement(*e, hyd, hyd.Anhaengen());
  }
}

std::shared_ptr<TTabelle> ModellAlsPaket(const TM3Model& m) {
  bool valLang = false;
  for (int i = 0; i < m.Count() && !valLang; ++i) {
    const TCadShape* s = m.GetNode(i);
    valLang = IstPolylinie(*s) && PunkteAlsText(s->Koordinaten).size() > kValBreite;
  }
  auto mod = Paket(valLang);
  const int z = mod->Anhaengen();
  const TAnsichtEinstellungen& v = m.ParViewSettings;
  mod->Setze(z, "ProgVersion", std::string(kProgVersion));
  mod->Setze(z, "OrgX", v.OrgX);
  mod->Setze(z, "OrgY", v.OrgY);
  mod->Setze(z, "Zoom", v.Zoom);
  mod->Setze(z, "GridMinor", v.GridMinor);
  mod->Setze(z, "GridMajor", v.GridMajor);
  mod->Setze(z, "GridColor", v.GridColor);
  mod->Setze(z, "ShowParent", v.ShowParent);
  mod->Setze(z, "ShowKUE", v.ShowKUE);
  mod->Setze(z, "ShowGEW", v.ShowGEW);
  mod->Setze(z, "FontCharSet", m.Font.CharSet);
  mod->Setze(z, "FontColor", m.Font.Color);
  mod->Setze(z, "FontSize", m.Font.Size);
  mod->Setze(z, "FontName", m.Font.Name);
  mod->Setze(z, "FontStyle", SchriftstilText(m.Font));
  mod->Setze(z, "SelPenColor", v.SelPen.Color);
  mod->Setze(z, "SelPenMode", v.SelPen.Mode);
  mod->Setze(z, "SelPenWidth", v.SelPen.Width);
  mod->Setze(z, "AutoOeffnen", m.AutoOeffnen);
  mod->Setze(z, "AmRaster", m.AmRasterAusrichten);
  mod->Setze(z, "ShowBUE", v.ShowBUE);
  mod->Setze(z, "ShowREG", v.ShowREG);
  mod->Setze(z, "ShowGrid", v.ShowGrid);
  TTabelle& shp = mod->Kind(z, "SHP");
  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    const int r = shp.Anhaengen();
    ShapeInZeile(*s, shp, r);
    // The selection is the views' state, kept by the project file only.
    shp.Setze(r, "Selected", m.IsSelected(s));
  }
  return mod;
}

bool A3_SaveAs(const TM3Model& m, const std::string& dateiname, std::string& fehler) {
  const std::string datei = dateiname + ".T21";
  if (!AlteFassungAufbewahren(datei, fehler)) return false;
  return SchreibePaket(*ModellAlsPaket(m), datei, fehler);
}

namespace {

// The shape of row r with the id given (0: the model's next).
TCadShape* FormAusZeile(TM3Model& m, const TTabelle& shp, int r, uint64_t id,
                        std::vector<std::string>& hinweise) {
  const std::string name = T(shp, r, "Name");
  const std::string typ = NeuerTypcode(T(shp, r, "Typ"));
  std::unique_ptr<TCadShape> neu = TFormVorlage().Neu(typ, name, Z(shp, r, "X1"), Z(shp, r, "Y1"));
  if (!neu) {
    hinweise.push_back("Form " + name + " mit unbekanntem Typ \"" + typ + "\" übergangen");
    return nullptr;
  }
  // The id enters the model with the shape; one taken already is replaced
  // by the model's next.
  neu->Id = id;
  TCadShape* s = neu.get();
  m.Add(std::move(neu));
  s->X2 = Z(shp, r, "X2", s->X2);
  s->Y2 = Z(shp, r, "Y2", s->Y2);
  s->Font.CharSet = I(shp, r, "FontCharSet", s->Font.CharSet);
  s->Font.Color = I(shp, r, "FontColor", s->Font.Color);
  s->Font.Size = I(shp, r, "FontSize", s->Font.Size);
  if (Hat(shp, r, "FontName")) s->Font.Name = T(shp, r, "FontName");
  SchriftstilLesen(T(shp, r, "FontStyle"), s->Font);
  s->Pen.Color = I(shp, r, "PenColor", s->Pen.Color);
  s->Pen.Mode = I(shp, r, "PenMode", s->Pen.Mode);
  s->Pen.Width = I(shp, r, "PenWidth", s->Pen.Width);
  s->Brush.Color = I(shp, r, "BrushColor", s->Brush.Color);
  s->Brush.Style = I(shp, r, "BrushStyle", s->Brush.Style);
  s->HGespiegelt = B(shp, r, "HGespiegelt");
  s->VGespiegelt = B(shp, r, "VGespiegelt");
  s->Solid = B(shp, r, "Solid");
  s->Visible = Hat(shp, r, "Visible") ? B(shp, r, "Visible") : true;
  s->Ausrichtung = I(shp, r, "Ausrichtung", s->Ausrichtung);
  s->Val = T(shp, r, "Val");
  if (typ == "POL" || typ == "POG")
    s->Koordinaten = PunkteAusText(Hat(shp, r, "ValLang") ? T(shp, r, "ValLang") : s->Val);
  s->TextPos = I(shp, r, "TextPos", s->TextPos);
  s->Al = T(shp, r, "Alignment");
  s->Fmt = T(shp, r, "Format");
  if (s->IsM3Shape()) {
    if (auto element = CreateHydElement(typ)) {
      if (const TTabelle* hyd = Erste(shp, r, "HYD")) LiesElement(*element, typ, *hyd, 0, m);
      m.SetElement(s, std::move(element));
      if (!m.Liste.Add(s->Name, s))
        hinweise.push_back("Element " + s->Name + " ist doppelt vorhanden");
    }
  }
  return s;
}

uint64_t GespeicherteId(const TTabelle& shp, int r) {
  const int32_t id = I(shp, r, "ShapeID");
  return id > 0 ? static_cast<uint64_t>(id) : 0;
}

}  // namespace

TCadShape* ShapeAusZeile(TM3Model& m, const TTabelle& shp, int r,
                         std::vector<std::string>& hinweise) {
  return FormAusZeile(m, shp, r, GespeicherteId(shp, r), hinweise);
}

TLadeErgebnis ModellAusPaket(TM3Model& m, const TTabelle& mod, const std::string& dateiname,
                             TDataModule1*) {
  TLadeErgebnis e;
  if (mod.Anzahl() < 1) {
    e.Fehler = "Das Projekt " + dateiname + " enthält kein Modell.";
    return e;
  }
  const std::string version = AlsText(mod.Wert(0, "ProgVersion"));

  m.DeleteAll();
  m.PrintList.clear();
  m.FileName = dateiname;
  m.Drawing = true;
  m.Referenz = StandardReferenzListen();

  TAnsichtEinstellungen& v = m.ParViewSettings;
  const TTabelle& t = mod;
  v.OrgX = Z(t, 0, "OrgX", v.OrgX);
  v.OrgY = Z(t, 0, "OrgY", v.OrgY);
  v.Zoom = Z(t, 0, "Zoom", v.Zoom);
  v.GridMinor = Z(t, 0, "GridMinor", v.GridMinor);
  v.GridMajor = Z(t, 0, "GridMajor", v.GridMajor);
  v.GridColor = I(t, 0, "GridColor", v.GridColor);
  v.ShowParent = B(t, 0, "ShowParent");
  v.ShowKUE = B(t, 0, "ShowKUE");
  v.ShowGEW = B(t, 0, "ShowGEW");
  v.ShowBUE = B(t, 0, "ShowBUE");
  v.ShowREG = B(t, 0, "ShowREG");
  v.ShowGrid = B(t, 0, "ShowGrid");
  v.SelPen.Color = I(t, 0, "SelPenColor", v.SelPen.Color);
  v.SelPen.Mode = I(t, 0, "SelPenMode", v.SelPen.Mode);
  v.SelPen.Width = I(t, 0, "SelPenWidth", v.SelPen.Width);
  m.Font.CharSet = I(t, 0, "FontCharSet", m.Font.CharSet);
  m.Font.Color = I(t, 0, "FontColor", m.Font.Color);
  m.Font.Size = I(t, 0, "FontSize", m.Font.Size);
  if (Hat(t, 0, "FontName")) m.Font.Name = T(t, 0, "FontName");
  SchriftstilLesen(T(t, 0, "FontStyle"), m.Font);
  m.AutoOeffnen = B(t, 0, "AutoOeffnen");
  m.AmRasterAusrichten = B(t, 0, "AmRaster");

  const TTabelle* shp = t.Kind(0, "SHP");
  // The stored ids as they are. Rows without one (files of older versions)
  // or with one an earlier row has get ids after the highest stored one, in
  // row order, so that they take no stored id away.
  const int zeilen = shp ? shp->Anzahl() : 0;
  std::vector<uint64_t> ids(static_cast<size_t>(zeilen));
  std::unordered_set<uint64_t> vergeben;
  uint64_t frei = m.NaechsteId();
  for (int r = 0; r < zeilen; ++r) {
    const uint64_t id = GespeicherteId(*shp, r);
    if (id > 0 && vergeben.insert(id).second) ids[static_cast<size_t>(r)] = id;
    frei = std::max(frei, id + 1);
  }
  for (uint64_t& id : ids)
    if (id == 0) id = frei++;
  std::vector<TCadShape*> erzeugt;
  bool scriptInEntlastung = false;
  for (int r = 0; r < zeilen; ++r) {
    TCadShape* s = FormAusZeile(m, *shp, r, ids[static_cast<size_t>(r)], e.Hinweise);
    erzeugt.push_back(s);
    if (const TElement* el = s && s->IsBauwerk() ? TM3Model::ElementOf(s) : nullptr)
      scriptInEntlastung = scriptInEntlastung || !el->Script.empty();
  }
  // Second pass: the links, by name.
  for (int r = 0; shp && r < shp->Anzahl(); ++r) {
    TCadShape* s = erzeugt[static_cast<size_t>(r)];
    if (!s) continue;
    auto ziel = [&](const char* spalte) -> TCadShape* {
      const std::string n = T(*shp, r, spalte);
      if (n.empty()) return nullptr;
      TCadShape* z = m.Liste.Find(n);
      if (!z || z->Name != n) z = m.GetNode(n);
      if (!z)
        e.Hinweise.push_back("Verbindung von " + s->Name + " zu unbekanntem Element " + n +
                             " übergangen");
      return z;
    };
    if (TCadShape* p = ziel("Parent")) s->SetParent(p);
    if (TCadShape* k = ziel("KUE")) s->SetKUE(k);
    if (TCadShape* g = ziel("GEW")) s->SetGEW(g);
  }

  if (version != kProgVersion) {
    e.Meldung =
        "In der Datei mit den Eingangsdaten wurden alle Kommata\n\rdurch einen Punkt "
        "ersetzt.\n\r\n\rDie Originaldatei wird beim Speichern in " +
        m.FileName + ".T21~ umbenannt." + "\n\r\n\r";
    if (scriptInEntlastung)
      e.Meldung += std::string("Bitte korrigieren sie ihre Bewirtschaftungs-Scripts, wenn") +
                   "\n\r" + "sie hierin eine der Funktionen MIN, MAX, FormatFloat," + "\n\r" +
                   "FormatDateTime, Copy, DKI oder DKZ verwenden.";
  }

  // Selection to the tail, the root to index 0.
  for (int r = 0; shp && r < shp->Anzahl(); ++r)
    if (TCadShape* s = erzeugt[static_cast<size_t>(r)]; s && B(*shp, r, "Selected"))
      m.SetSelected(s);
  TCadShape* wurzel = m.GetNode(kWurzelName);
  if (!wurzel || !dynamic_cast<TNET*>(TM3Model::ElementOf(wurzel))) {
    e.Hinweise.push_back(std::string("Projektdatensatz \"") + kWurzelName +
                         "\" fehlte und wurde neu angelegt");
    wurzel = m.TCadModel::CreateShape("NET", kWurzelName, 0, 0);
    m.SetElement(wurzel, std::make_unique<TNET>());
    m.Liste.Add(wurzel->Name, wurzel);
  }
  m.Move(m.IndexOf(wurzel), 0);
  wurzel->Visible = false;
  m.Deselect(wurzel);
  wurzel->SetParent(nullptr);
  // A ring of successors never reaches the root, and its elements would be
  // left out of every computation: it is broken as the older folders' loader
  // breaks it, and reported.
  for (const TCadShape* s : ParentRingeLoesen(m))
    e.Hinweise.push_back(s->Name + ":: Name der Zielkomponente korrigiert.");
  // Every element shape without a successor hangs on the root.
  for (int i = 1; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (s->IsM3Shape() && !s->Parent() && s->Typ() != "NET") s->SetParent(wurzel);
  }
  m.SetzeAktuell(wurzel);
  m.Modified = 0;
  m.Drawing = false;

  TNET& net = m.Netz();
  net.SetzePsiTafel(net.Spenden.GetR15());
  m.AllesRechnen();
  e.Ok = true;
  return e;
}

std::vector<TCadShape*> ParentRingeLoesen(TM3Model& m) {
  std::vector<TCadShape*> geloest;
  TCadShape* wurzel = m.Root();
  // 0: not seen, 1: on the path being followed, 2: done.
  std::unordered_map<const TCadShape*, char> zustand;
  std::vector<TCadShape*> pfad;
  for (int i = 1; i < m.Count(); ++i) {
    pfad.clear();
    TCadShape* p = m.GetNode(i);
    for (; p && p != wurzel && p->IsM3Shape(); p = p->Parent()) {
      char& z = zustand[p];
      if (z == 2) break;
      if (z == 1) {
        TCadShape* c = pfad.back();
        c->SetParent(wurzel);
        geloest.push_back(c);
        break;
      }
      z = 1;
      pfad.push_back(p);
    }
    for (TCadShape* q : pfad) zustand[q] = 2;
  }
  return geloest;
}

TLadeErgebnis A3_Laden(TM3Model& m, const std::string& dateiname, TDataModule1* dm) {
  TLadeErgebnis e;
  std::string datei = dateiname + ".T21";
  if (!std::filesystem::exists(datei) && std::filesystem::exists(dateiname + ".t21"))
    datei = dateiname + ".t21";  // the extension in any case
  std::string text;
  if (!LiesText(datei, text)) {
    e.Fehler = "Die Datei " + datei + " wurde nicht gefunden.";
    return e;
  }
  std::string fehler;
  auto mod = LiesPaketText(text, fehler);
  if (mod && mod->Anzahl() > 0 && AlsText(mod->Wert(0, "ProgVersion")) != kProgVersion) {
    // An older version wrote decimal commas into number fields: read again
    // with them. The file stays as it is; saving keeps it as datei + "~".
    TPaketLesen lesen;
    lesen.Dezimalkomma = true;
    mod = LiesPaketText(text, fehler, &lesen);
  }
  if (!mod) {
    e.Fehler = fehler;
    return e;
  }
  // A packet without the drawing's table is no project file, whatever it
  // holds: building a model from it would make up everything but the root.
  const int shp = mod->Schema().Index("SHP");
  if (mod->Anzahl() < 1 || shp < 0 ||
      mod->Schema().Felder[static_cast<size_t>(shp)].Typ != TFeldTyp::Nested) {
    e.Fehler = "Die Projektdatei " + datei + " enthält kein Modell.";
    return e;
  }
  e = ModellAusPaket(m, *mod, dateiname, dm);
  if (!e.Ok) return e;

  // Side files, each on its own: a failure skips only that file.
  if (dm && std::filesystem::exists(dateiname + ".DEF")) dm->LoadUserDefaults(dateiname + ".DEF");
  std::ifstream prl(dateiname + ".PRL");
  for (std::string z; prl && std::getline(prl, z);) {
    if (!z.empty() && z.back() == '\r') z.pop_back();
    if (!z.empty()) m.PrintList.push_back(z);
  }
  return e;
}

bool Speichern(TM3Model& m, std::string& fehler, const TDataModule1* dm) {
  if (!A3_SaveAs(m, m.FileName, fehler)) return false;
  // The side files, each written whole or not at all. A failure is
  // reported and the project stays modified, so that saving can be tried
  // again.
  bool ok = !dm || dm->SaveUserDefaults(m.FileName, &fehler);
  std::string prl;
  for (const auto& z : m.PrintList) prl += z + "\r\n";
  ok = SchreibeDateiAtomar(m.FileName + ".PRL", prl, fehler) && ok;
  ok = SchreibeGanglinien(m.Referenz, m.FileName, fehler) && ok;
  if (!ok) return false;
  m.Modified = 0;
  return true;
}

}  // namespace t21
