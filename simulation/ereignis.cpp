#include "simulation/ereignis.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <set>

#include "model/elements.h"
#include "model/regen.h"
#include "script/benutzerformat.h"
#include "script/interpreter.h"
#include "script/variablen.h"
#include "script/variant.h"
#include "storage/datenpaket.h"

namespace t21 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<std::string> kKonzentrationen = {"BSB5", "NH4",     "AFS63",
                                                   "CSB",  "ph-Wert", "Alkalinität"};

bool IstKonzentration(const std::string& p) {
  return std::find(kKonzentrationen.begin(), kKonzentrationen.end(), p) != kKonzentrationen.end();
}

// The concentration of a set for a parameter of the chart lists.
double Konzentration(const TParameter& s, const std::string& p) {
  if (p == "BSB5") return s.cBSB();
  if (p == "NH4") return s.cNH4();
  if (p == "AFS63") return s.cAFS();
  if (p == "CSB") return s.cCSB();
  if (p == "ph-Wert") return s.cPH();
  if (p == "Alkalinität") return s.cALK();
  return kNaN;
}

// The effluent value of a treatment plant for a parameter (concentration form).
double Ablaufwert(const TParameter& eta, const std::string& p) {
  if (p == "BSB5") return eta.BSB;
  if (p == "NH4") return eta.NH4;
  if (p == "AFS63") return eta.AFS;
  if (p == "CSB") return eta.CSB;
  if (p == "ph-Wert") return eta.PH;
  if (p == "Alkalinität") return eta.ALK;
  return kNaN;
}

// Titles of the concentration series of a catchment, a plant, a connector.
std::string KonzentrationsTitel(const std::string& p) {
  if (p == "BSB5") return "BSB5 [mg/l]";
  if (p == "NH4") return "NH4 + Norg [mg/l]";
  if (p == "AFS63") return "AFS63 [mg/l]";
  if (p == "CSB") return "CSB [mg/l]";
  if (p == "ph-Wert") return "pH-Wert [-]";
  return "Alkalinität [mmol/l]";
}

const std::vector<std::string> kSieben = {"Q", "BSB5", "NH4", "AFS63", "CSB", "pH", "Alk"};

}  // namespace

TEreignisArt EreignisArt(const TElement* e) {
  if (!e) return TEreignisArt::Markierte;
  if (dynamic_cast<const TEST*>(e)) return TEreignisArt::Einleitung;
  if (dynamic_cast<const TEBW*>(e) || dynamic_cast<const TOMA*>(e)) return TEreignisArt::Bauwerk;
  if (dynamic_cast<const TKEZ*>(e)) return TEreignisArt::Einzugsgebiet;
  if (dynamic_cast<const TKLG*>(e)) return TEreignisArt::Klaeranlage;
  if (dynamic_cast<const TCON*>(e)) return TEreignisArt::Verbinder;
  if (dynamic_cast<const TNET*>(e)) return TEreignisArt::Netz;
  if (dynamic_cast<const TAEO*>(e)) return TEreignisArt::Oberflaeche;
  if (dynamic_cast<const TREG*>(e)) return TEreignisArt::Regenschreiber;
  return TEreignisArt::Sonstiges;
}

std::vector<std::string> EreignisParameter(TEreignisArt art, bool grafik) {
  using A = TEreignisArt;
  if (grafik) {
    switch (art) {
      case A::Markierte:
        return {"Abfluss"};
      case A::Einleitung:
        return {"Abfluss HQ1", "Abfluss MNQ", "Sauerstoff",  "Ammoniak", "AFS63",
                "CSB",         "ph-Wert",     "Alkalinität", "v",        "h",
                "k2",          "Dosis NH3",   "Temperatur"};
      case A::Bauwerk:
        return {"Abfluss", "BSB5", "NH4", "AFS63", "CSB", "ph-Wert", "Alkalinität", "Speicher"};
      case A::Einzugsgebiet:
        return {"Abfluss", "BSB5",        "NH4",    "AFS63",  "CSB",
                "ph-Wert", "Alkalinität", "Mulden", "Summe Q"};
      case A::Klaeranlage:
      case A::Verbinder:
      case A::Netz:
        return {"Abfluss", "BSB5", "NH4", "AFS63", "CSB", "ph-Wert", "Alkalinität"};
      case A::Oberflaeche:
        return {"Abfluss"};
      case A::Regenschreiber:
        return {"Regen/pot. Verdunstung"};
      case A::Sonstiges:
        return {};
    }
    return {};
  }
  switch (art) {
    case A::Markierte:
      return {};
    case A::Einleitung:
      return {"Gewässer", "Speicher", "Hydraulik", "Abflüsse"};
    case A::Bauwerk:
      return {"Zufluss", "Drossel", "BÜ", "KÜ", "Speicher"};
    case A::Netz:
      return {"Abfluss", "globale Variablen"};
    default:
      return {"Abfluss"};
  }
}

std::array<std::string, kEreignisReihen> EreignisReihenTitel(TEreignisArt art,
                                                             const std::string& p) {
  using A = TEreignisArt;
  std::array<std::string, kEreignisReihen> t;
  auto setze = [&t](std::initializer_list<const char*> l) {
    size_t i = 0;
    for (const char* s : l) t[i++] = s;
  };
  switch (art) {
    case A::Einleitung:
      if (p == "Abfluss HQ1") setze({"Grenzwert [l/s]", "HQ1,ist [l/s]", "HQ1,ist + QE [l/s]"});
      if (p == "Abfluss MNQ") setze({"MNQ + QE [l/s]", "MNQ [l/s]", "QE [l/s]"});
      if (p == "Sauerstoff")
        setze({"O2-Sättigung [mg/l]", "Temperatur [°C]", "O2-Konzentration [mg/l]",
               "O2-Defizit [mg/l]"});
      if (p == "Ammoniak") setze({"Grenzwert [mg/l]", "", "NH3 [mg/l]"});
      if (p == "AFS63") setze({"", "", "AFS63 [mg/l]"});
      if (p == "CSB") setze({"", "", "CSB [mg/l]"});
      if (p == "ph-Wert") setze({"", "", "pH-Wert [-]"});
      if (p == "Alkalinität") setze({"", "", "Alkalinität [mmol/l]"});
      if (p == "v") setze({"", "", "Fließgeschwindigkeit v [m/s]"});
      if (p == "h") setze({"", "", "Fließtiefe h [m]"});
      if (p == "k2") setze({"", "", "Wiederbelüftung k2 [1/h]"});
      if (p == "Dosis NH3") setze({"kumulierter Grenzwert [g]", "", "kumulierte Dosis [g]"});
      if (p == "Temperatur") setze({"Tagesmittel Luft [°C]", "Luft [°C]", "Wasser [°C]"});
      break;
    case A::Bauwerk:
      if (p == "Abfluss")
        setze({"QD [l/s]", "Speicher [m3]", "Zufluss [l/s]", "QBUE [l/s]", "QKUE [l/s]"});
      if (p == "Speicher") setze({"Volumen [cbm]", "Inhalt [cbm]"});
      if (IstKonzentration(p)) {
        const std::string e = p == "ph-Wert"       ? " [-]"
                              : p == "Alkalinität" ? " [mmol/l]"
                                                   : " [mg/l]";
        const char* n[] = {"Drossel", "Speicher", "Zufluss", "BÜ", "KÜ"};
        for (size_t i = 0; i < 5; ++i) t[i] = n[i] + e;
      }
      break;
    case A::Einzugsgebiet:
    case A::Klaeranlage:
    case A::Verbinder:
    case A::Netz:
      if (p == "Abfluss") setze({"Q [l/s]", "", "QT [l/s]"});
      if (IstKonzentration(p)) {
        t[2] = KonzentrationsTitel(p);
        if (art == A::Klaeranlage) t[0] = "Ablauf";
      }
      if (art == A::Einzugsgebiet && p == "Mulden")
        setze({"Muldenvolumen [mm]", "Abfluss [mm]", "Muldenzustand [mm]"});
      if (art == A::Einzugsgebiet && p == "Summe Q") setze({"Summe Q [cbm]"});
      break;
    case A::Oberflaeche:
      setze({"Q [l/s]", "SD [mm]"});
      break;
    case A::Regenschreiber:
      setze({"pot. Verdunstung [mm/min]", "", "N [mm/min]"});
      break;
    default:
      break;
  }
  return t;
}

std::string EreignisSpaltenFormat(const std::string& s) {
  static const std::set<std::string> drei = {"v", "h", "hm", "k2", "tc", "NH3", "N"};
  return drei.count(s) ? "###,##0.000" : "###,##0.00";
}

std::string EreignisSpaltenLabel(const std::string& s) {
  static const std::map<std::string, std::string> einheit = {
      {"N", " [mm]"},         {"pot. V", " [mm]"},    {"Q", " [l/s]"},
      {"MNQ", " [l/s]"},      {"HQ1 pnat", " [l/s]"}, {"HQ2 pnat", " [l/s]"},
      {"MNQ + QE", " [l/s]"}, {"HQ1 ist", " [l/s]"},  {"HQ1 ist + QE", " [l/s]"},
      {"v", " [m/s]"},        {"Alk", " [mmol/l]"},   {"pH", " [-]"},
      {"Inhalt", " [cbm]"},   {"h", " [m]"},          {"hm", " [m]"},
      {"tc", " [h]"},         {"k2", " [1/h]"},       {"TLuftTag", " [°C]"},
      {"TLuft", " [°C]"},     {"TWasser", " [°C]"}};
  const auto it = einheit.find(s);
  return s + (it != einheit.end() ? it->second : std::string(" [mg/l]"));
}

std::vector<TEreignisSpalte> EreignisSpalten(TEreignisArt art, const std::string& p,
                                             const std::vector<std::string>& variablen) {
  using A = TEreignisArt;
  std::vector<std::string> namen;
  if (art == A::Einleitung) {
    if (p == "Gewässer")
      namen = {"Q", "O2", "NH3", "AFS63", "CSB", "pH", "Alk", "TLuftTag", "TLuft", "TWasser"};
    else if (p == "Speicher")
      namen = {"Inhalt", "BSB5", "NH4", "AFS63", "CSB", "pH", "Alk"};
    else if (p == "Hydraulik")
      namen = {"Q", "v", "h", "hm", "k2", "tc"};
    else if (p == "Abflüsse")
      namen = {"MNQ", "HQ1 pnat", "HQ2 pnat", "MNQ + QE", "HQ1 ist", "HQ1 ist + QE"};
  } else if (art == A::Regenschreiber) {
    namen = {"N", "pot. V"};
  } else if (art == A::Bauwerk && p == "Speicher") {
    namen = {"Inhalt", "BSB5", "NH4", "AFS63", "CSB", "pH", "Alk"};
  } else if (art == A::Netz && p == "globale Variablen") {
    std::vector<TEreignisSpalte> s;
    for (const std::string& v : variablen) s.push_back({v, v, "", true});
    return s;
  } else if (art != A::Markierte) {
    namen = kSieben;
  }
  std::vector<TEreignisSpalte> s;
  for (const std::string& n : namen)
    s.push_back({n, EreignisSpaltenLabel(n), EreignisSpaltenFormat(n), false});
  return s;
}

double EreignisGrenzkonzentration(double minuten) {
  return 0.025 + (minuten > 0 ? 1.5 / minuten : 0.0);
}

std::vector<TEreignis> EreignisseAus(const TDataModule2& dm) {
  std::vector<TEreignis> ev;
  const TTabelle& t = dm.CDSEreignisse;
  for (int z = 0; z < t.Anzahl(); ++z) {
    TEreignis e;
    e.Start = AlsZahl(t.Wert(z, "Beginn"));
    e.Ende = AlsZahl(t.Wert(z, "Ende"));
    const TWert w = t.Wert(z, "Entlastung");
    if (const auto* b = std::get_if<bool>(&w)) e.Entlastung = *b;
    ev.push_back(e);
  }
  return ev;
}

std::string StartzustandsDatei(const std::string& eintrag) {
  std::string b = eintrag;
  const std::string ext = std::filesystem::path(b).extension().string();
  if (!ext.empty()) b.resize(b.size() - ext.size());
  const std::string r = "_CDSReport";
  if (b.size() >= r.size() && b.compare(b.size() - r.size(), r.size(), r) == 0)
    b.resize(b.size() - r.size());
  return b + "_Startzustaende.xml";
}

namespace {

std::shared_ptr<TSchema> StartzustandsSchema() {
  auto s = std::make_shared<TSchema>();
  s->Name = "Startzustaende";
  auto feld = [](const char* n, TFeldTyp t, int breite = 0) {
    TFeld f;
    f.Name = f.Label = n;
    f.Typ = t;
    f.Breite = breite;
    return f;
  };
  s->Felder = {feld("Element", TFeldTyp::String, 64), feld("Einheit", TFeldTyp::Integer),
               feld("Nr", TFeldTyp::Integer), feld("FV1", TFeldTyp::Float),
               feld("FV2", TFeldTyp::Float)};
  return s;
}

}  // namespace

bool SpeichereStartzustaende(const std::map<std::string, TStartzustaende>& z,
                             const std::string& eintrag, std::string& fehler) {
  TTabelle t(StartzustandsSchema());
  auto zeilen = [&t](const std::string& name, int einheit, const std::vector<TStartCondition>& l) {
    for (size_t k = 0; k < l.size(); ++k) {
      const int r = t.Anhaengen();
      t.Setze(r, 0, TWert(name));
      t.Setze(r, 1, static_cast<int32_t>(einheit));
      t.Setze(r, 2, static_cast<int32_t>(k));
      t.Setze(r, 3, l[k].FV1);
      t.Setze(r, 4, l[k].FV2);
    }
  };
  for (const auto& [name, s] : z) {
    zeilen(name, -1, s.Element);
    for (size_t u = 0; u < s.Einheiten.size(); ++u)
      zeilen(name, static_cast<int>(u), s.Einheiten[u]);
  }
  return SchreibePaket(t, StartzustandsDatei(eintrag), fehler);
}

bool LadeStartzustaende(const std::string& eintrag, std::map<std::string, TStartzustaende>& z,
                        std::string& meldung) {
  const std::string datei = StartzustandsDatei(eintrag);
  std::error_code ec;
  if (!std::filesystem::exists(datei, ec)) {
    meldung = "Die gespeicherten Ergebnisse enthalten keine Anfangszustände der Ereignisse (" +
              datei + " fehlt)";
    return false;
  }
  std::string fehler;
  const auto t = LiesPaket(datei, fehler);
  if (!t) {
    meldung = datei + ": " + fehler;
    return false;
  }
  const TSchema& s = t->Schema();
  const int ie = s.Index("Element"), iu = s.Index("Einheit"), in = s.Index("Nr"),
            i1 = s.Index("FV1"), i2 = s.Index("FV2");
  if (ie < 0 || iu < 0 || in < 0 || i1 < 0 || i2 < 0) {
    meldung = datei + ": keine Tabelle der Anfangszustände";
    return false;
  }
  std::map<std::string, TStartzustaende> neu;
  for (int r = 0; r < t->Anzahl(); ++r) {
    const int u = AlsGanzzahl(t->Wert(r, iu), -1);
    const int nr = AlsGanzzahl(t->Wert(r, in), -1);
    // Entry k for event k: the rows of a list in their order, with no gap.
    if (nr < 0 || u < -1 || u > 10000) {
      meldung = datei + ": ungültige Zeile " + std::to_string(r + 1);
      return false;
    }
    TStartzustaende& e = neu[AlsText(t->Wert(r, ie))];
    if (u >= 0 && e.Einheiten.size() <= static_cast<size_t>(u))
      e.Einheiten.resize(static_cast<size_t>(u) + 1);
    std::vector<TStartCondition>& l = u < 0 ? e.Element : e.Einheiten[static_cast<size_t>(u)];
    if (static_cast<size_t>(nr) != l.size()) {
      meldung = datei + ": ungültige Zeile " + std::to_string(r + 1);
      return false;
    }
    l.push_back({AlsZahl(t->Wert(r, i1)), AlsZahl(t->Wert(r, i2))});
  }
  z = std::move(neu);
  return true;
}

std::map<std::string, TStartzustaende> StartzustaendeAus(const TM3Model& m) {
  std::map<std::string, TStartzustaende> z;
  for (int i = 0; i < m.Count(); ++i) {
    const TElement* e = TM3Model::ElementOf(m.GetNode(i));
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      z[e->Name()].Element = k->ABs;
    } else if (const auto* a = dynamic_cast<const TAEO*>(e)) {
      TStartzustaende& s = z[e->Name()];
      s.Element = a->ABs;
      for (const THRU& u : a->HRUs) s.Einheiten.push_back(u.ABs);
    }
  }
  return z;
}

std::string EreignisText(int nr, const TEreignis& e) {
  return std::to_string(nr) + " - " + DatumZeitText(e.Start) + " - " + DatumZeitText(e.Ende);
}

std::string EreignisDateiname(const std::string& modell, const std::string& element,
                              const std::string& parameter) {
  // The model's name without its folder; the parts as they are, but no
  // character that a file system reads as a separator or refuses.
  std::string m = std::filesystem::path(modell).filename().string();
  std::string n = m + "_" + element + "_" + parameter + "_GL.xls";
  for (char& c : n) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
        c == '<' || c == '>' || c == '|')
      c = '_';
  }
  // Nothing that starts as "." or "..": a name of its own.
  if (!n.empty() && n[0] == '.') n[0] = '_';
  return n;
}

TTabelle EreignisAlsTabelle(const TEreignisErgebnis& e) {
  auto schema = std::make_shared<TSchema>();
  schema->Name = "Ganglinie";
  TFeld zeit;
  zeit.Name = zeit.Label = "Zeit";
  zeit.Typ = TFeldTyp::Date;
  schema->Felder.push_back(zeit);
  std::vector<size_t> reihen;
  const bool tabelle = !e.Tabelle.Spalten.empty() || !e.Tabelle.Zeit.empty();
  if (tabelle) {
    for (const TEreignisSpalte& s : e.Tabelle.Spalten) {
      TFeld f;
      f.Name = s.Name;
      f.Label = s.Label;
      f.Typ = s.Text ? TFeldTyp::String : TFeldTyp::Float;
      f.Breite = s.Text ? 32 : 0;
      schema->Felder.push_back(f);
    }
  } else {
    for (size_t i = 0; i < kEreignisReihen; ++i) {
      if (e.Reihen[i].Wert.empty()) continue;
      TFeld f;
      f.Name = f.Label =
          e.Reihen[i].Titel.empty() ? "Reihe " + std::to_string(i) : e.Reihen[i].Titel;
      f.Typ = TFeldTyp::Float;
      schema->Felder.push_back(f);
      reihen.push_back(i);
    }
  }
  TTabelle t(schema);
  if (tabelle) {
    for (size_t z = 0; z < e.Tabelle.Zeit.size(); ++z) {
      const int r = t.Anhaengen();
      t.Setze(r, "Zeit", e.Tabelle.Zeit[z]);
      size_t zahl = 0, text = 0;
      for (size_t i = 0; i < e.Tabelle.Spalten.size(); ++i) {
        const TEreignisSpalte& s = e.Tabelle.Spalten[i];
        if (s.Text) {
          if (text < e.Tabelle.Texte[z].size())
            t.Setze(r, static_cast<int>(i) + 1, TWert(e.Tabelle.Texte[z][text]));
          ++text;
        } else {
          if (zahl < e.Tabelle.Werte[z].size())
            t.Setze(r, static_cast<int>(i) + 1, e.Tabelle.Werte[z][zahl]);
          ++zahl;
        }
      }
    }
    return t;
  }
  // The series side by side, one row per time any of them has a point.
  std::map<int64_t, int> zeilen;
  std::vector<TDateTime> zeiten;
  for (size_t i : reihen)
    for (TDateTime x : e.Reihen[i].Zeit) {
      const auto ms = static_cast<int64_t>(std::llround(x * 86400000.0));
      if (zeilen.emplace(ms, 0).second) zeiten.push_back(x);
    }
  std::sort(zeiten.begin(), zeiten.end());
  for (TDateTime x : zeiten) {
    const int r = t.Anhaengen();
    t.Setze(r, "Zeit", x);
    zeilen[static_cast<int64_t>(std::llround(x * 86400000.0))] = r;
  }
  for (size_t k = 0; k < reihen.size(); ++k) {
    const TEreignisReihe& s = e.Reihen[reihen[k]];
    for (size_t j = 0; j < s.Zeit.size(); ++j)
      t.Setze(zeilen[static_cast<int64_t>(std::llround(s.Zeit[j] * 86400000.0))],
              static_cast<int>(k) + 1, s.Wert[j]);
  }
  return t;
}

// ---------------------------------------------------------------------------
// The short run

TKurzlauf::TKurzlauf(TM3Model& model) : FModel(model) {}

TKurzlauf::~TKurzlauf() {
  Beenden();
}

void TKurzlauf::MakeLists() {
  SimulationslistenAufbauen(FModel, *FSim, FModel.Root());
}

bool TKurzlauf::Vorlauf(std::vector<std::string>& meldungen) {
  const TSimulation& sim = *FSim;
  bool ok = true;
  auto fehler = [&](const std::string& m) {
    meldungen.push_back(m);
    ok = false;
  };
  if (sim.Regenschreiber.empty()) fehler("Das System enthält keinen Regenschreiber. Abbruch");
  for (const TREG* r : sim.Regenschreiber) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(r->FileName, ec))
      fehler("Regendatei " + r->FileName + " nicht gefunden. Abbruch");
  }
  if (sim.Reihenfolge.size() < 2) fehler("Das System enthält keine Komponenten. Abbruch");
  const int swgl = FModel.Referenz.SWGanglinien.Count();
  const int fwgl = FModel.Referenz.FWGanglinien.Count();
  auto* ip = FInterpreter.get();
  for (TElement* e : sim.Reihenfolge) {
    const TCadShape* s = e->Owner;
    if (!s || s->IsRoot()) continue;
    const std::string& typ = s->Typ();
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      if (!s->KUE()) fehler(e->Name() + " hat keinen Regenschreiber! Abbruch");
      if (typ == "KEM" || typ == "KES") {
        if (k->SWGL < 0 || k->SWGL > swgl - 1) fehler(e->Name() + ": SW-Ganglinie fehlt! Abbruch");
        if (k->FWGL < 0 || k->FWGL > fwgl - 1) fehler(e->Name() + ": FW-Ganglinie fehlt! Abbruch");
      }
    }
    // The routing of a reach needs its fall, here as in the long run.
    if (const auto* est = dynamic_cast<const TEST*>(e); est && !(est->Sohlgefaelle() > 0))
      fehler(e->Name() + ": Kein Gefälle oder Gegengefälle. Abbruch!");
    if (!e->ScriptActive) continue;
    e->Tokens.clear();
    std::vector<std::string> tokens, gefunden;
    script::TScriptCode code = ip->PrepareScript(e->Script, tokens, gefunden);
    if (!gefunden.empty()) {
      fehler(e->Name() + ": Script fehlerhaft! Abbruch");
      continue;
    }
    try {
      ip->DoScript(*e, code);
    } catch (const script::TScriptFehler&) {
      fehler(e->Name() + " Script: Funktionsname / Argument. Abbruch");
      continue;
    }
    if (auto* b = dynamic_cast<TBauwerk*>(e)) b->QDaktiv = b->QD;
    e->Tokens = std::move(tokens);
    ip->Bereitstellen(*e, std::move(code));
  }
  return ok;
}

bool TKurzlauf::Vorbereiten(TDateTime start, TDateTime ende, TDateTime zeit,
                            std::vector<std::string>& meldungen) {
  Beenden();
  FSim = std::make_unique<TSimulation>();
  TSimulation& sim = *FSim;
  sim.Modified = FModel.Modified;
  sim.Netz = &FModel.Netz();
  sim.Referenz = &FModel.Referenz;
  FInterpreter = std::make_unique<script::TbbInterpreter>(FModel);
  FInterpreter->SetSimulation(&sim);
  sim.Script = FInterpreter.get();
  sim.Start = start;
  sim.Ende = ende;
  sim.Zeit = zeit;
  sim.CalcStart = zeit;
  FOffen = true;

  // The long run's saved start states stay with the elements: they go aside
  // here and come back in Beenden, whatever this run does with the lists.
  for (int i = 0; i < FModel.Count(); ++i) {
    TElement* e = TM3Model::ElementOf(FModel.GetNode(i));
    if (auto* k = dynamic_cast<TKEZ*>(e)) {
      FGesichert[e].Element = std::move(k->ABs);
      k->ABs.clear();
    } else if (auto* a = dynamic_cast<TAEO*>(e)) {
      TStartzustaende& z = FGesichert[e];
      z.Element = std::move(a->ABs);
      a->ABs.clear();
      for (THRU& u : a->HRUs) {
        z.Einheiten.push_back(std::move(u.ABs));
        u.ABs.clear();
      }
    }
  }

  MakeLists();
  if (FModel.Netz().PublicVars) FModel.Netz().PublicVars->ClearVariables();
  if (!Vorlauf(meldungen)) {
    meldungen.push_back("Der Systemaufbau ist fehlerhaft\nDer Simulationslauf wird abgebrochen");
    Beenden();
    return false;
  }
  for (TREG* r : sim.Regenschreiber) {
    std::vector<TRegenMeldung> hinweise;
    if (!r->Positionieren(sim, hinweise)) {
      meldungen.push_back(r->Name() + ": " + r->Fehler);
      Beenden();
      return false;
    }
    // A series that ends before the period or begins after it has no rain
    // for it: that is a refusal here, not a dry chart.
    if (r->EndDatum < start - kZeitEps || r->AnfangsDatum > ende + kZeitEps) {
      meldungen.push_back(r->Name() + ": Die Regenreihe (" + DatumZeitText(r->AnfangsDatum) +
                          " bis " + DatumZeitText(r->EndDatum) + ") reicht nicht in den Zeitraum " +
                          DatumZeitText(start) + " bis " + DatumZeitText(ende));
      Beenden();
      return false;
    }
  }
  std::vector<int> intervalle;
  for (const TREG* r : sim.Regenschreiber) intervalle.push_back(r->DT);
  sim.SetVars(intervalle);
  for (TElement* e : sim.Reihenfolge) e->SimZeitschrittGesetzt(sim);
  for (TElement* e : sim.Reihenfolge) {
    e->SimStart(sim);
    if (auto* k = dynamic_cast<TKEZ*>(e))
      if (e->Owner && e->Owner->KUE())
        if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(e->Owner->KUE()))) r->AEB += k->AEb;
  }
  for (TElement* e : sim.Reihenfolge)
    if (e->Owner && e->Owner->IsConnector()) e->Zustand.Aktuell.Clear();
  sim.RegenEnde = sim.Zeit;
  sim.IsBilanzZeit = false;
  return true;
}

bool TKurzlauf::Laufe(std::vector<std::string>& meldungen) {
  TSimulation& sim = *FSim;
  auto& reihe = sim.Reihenfolge;
  const size_t n = reihe.size();
  std::vector<unsigned char> art(n, 0);  // 1 catchment, 2 surface area
  for (size_t k = 0; k < n; ++k)
    art[k] = dynamic_cast<TKEZ*>(reihe[k]) ? 1 : dynamic_cast<TAEO*>(reihe[k]) ? 2 : 0;
  TDateTime prev = 0;
  try {
    for (;;) {
      for (int j = 1; j <= 12; ++j) {
        if (std::trunc(prev) < std::trunc(sim.Zeit + kZeitEps)) sim.SetTagesTemperatur();
        sim.Block = j;
        for (int i = 1; i <= sim.MaxIntervall; ++i) {
          sim.Intervall = i;
          ++sim.step;
          sim.HasAbfluss = sim.EsRegnet = sim.Muldenfuellung = false;
          sim.IsBilanzZeit = false;
          SchrittBeginn(sim);
          for (TREG* r : sim.Regenschreiber) {
            bool ok;
            r->SendRain(sim, ok);
            if (!ok) {
              meldungen.push_back(r->Name() + ": " + r->Fehler);
              return false;
            }
          }
          for (size_t k = 0; k < n; ++k) {
            reihe[k]->SimCalc(sim);
            NachSimCalc(sim, *reihe[k]);
          }
          for (TREG* r : sim.Regenschreiber) NachRegen(sim, *r);
          // The close of the step without the bookkeeping of the saved
          // start states, which belongs to the long run.
          for (size_t k = 0; k < n; ++k) {
            TElement& e = *reihe[k];
            if (art[k] == 1) {
              e.Zustand.OldQZu = e.Zustand.Aktuell.Q - static_cast<TKEZ&>(e).TWZustand.Aktuell.Q;
              e.Zustand.Aktuell.Clear();
            } else if (art[k] == 2) {
              e.Zustand.OldQZu = e.Zustand.Aktuell.Q;
              e.Zustand.Aktuell.Clear();
            } else {
              e.SimSchrittEnde(sim);
            }
          }
          if (BeiSchritt) BeiSchritt(sim);
          prev = sim.Zeit;
          sim.IncZeit();
          if (sim.Zeit > sim.Ende + kZeitEps) return true;
        }
      }
    }
  } catch (const script::TScriptFehler& f) {
    const TElement* e = FInterpreter->Element();
    meldungen.push_back((e ? e->Name() + ": " : std::string()) + f.what());
    return false;
  }
}

void TKurzlauf::Beenden() {
  if (!FOffen) return;
  FOffen = false;
  if (FSim)
    for (TREG* r : FSim->Regenschreiber) r->Schliessen();
  for (auto& [e, z] : FGesichert) {
    if (auto* k = dynamic_cast<TKEZ*>(e)) {
      k->ABs = std::move(z.Element);
    } else if (auto* a = dynamic_cast<TAEO*>(e)) {
      a->ABs = std::move(z.Element);
      for (size_t i = 0; i < a->HRUs.size() && i < z.Einheiten.size(); ++i)
        a->HRUs[i].ABs = std::move(z.Einheiten[i]);
    }
  }
  FGesichert.clear();
  if (FSim) FSim->Script = nullptr;
  FInterpreter.reset();
}

// ---------------------------------------------------------------------------
// The event

TEreignisLauf::TEreignisLauf(TM3Model& model, std::vector<TEreignis> ereignisse,
                             std::map<std::string, TStartzustaende> startzustaende)
    : TKurzlauf(model),
      FEreignisse(std::move(ereignisse)),
      FStartzustaende(std::move(startzustaende)) {}

TEreignisErgebnis TEreignisLauf::Rechne(const TEreignisAuftrag& a) {
  TEreignisErgebnis erg;
  if (a.Nr < 0 || static_cast<size_t>(a.Nr) >= FEreignisse.size()) {
    erg.Meldungen.push_back(FEreignisse.empty()
                                ? std::string("Der Lauf hat keine Systemereignisse")
                                : "Es gibt kein Ereignis " + std::to_string(a.Nr + 1) + " (" +
                                      std::to_string(FEreignisse.size()) + " Ereignisse)");
    return erg;
  }
  const TEreignis& ev = FEreignisse[static_cast<size_t>(a.Nr)];
  erg.Ereignis = ev;

  // The element by its name: a window may outlive it.
  const TElement* element = nullptr;
  if (!a.Element.empty()) {
    for (int i = 0; i < FModel.Count() && !element; ++i)
      if (const TElement* e = TM3Model::ElementOf(FModel.GetNode(i)); e && e->Name() == a.Element)
        element = e;
    if (!element) {
      erg.Meldungen.push_back("Die Komponente " + a.Element + " gibt es nicht (mehr)");
      return erg;
    }
  } else if (a.Markiert.empty()) {
    erg.Meldungen.push_back("Es sind keine Komponenten markiert!");
    return erg;
  }
  erg.Art = EreignisArt(element);
  const std::vector<std::string> liste = EreignisParameter(erg.Art, a.Grafik);
  if (liste.empty()) {
    erg.Meldungen.push_back("Für " + a.Element + " gibt es keine Ereignis-" +
                            (a.Grafik ? "Grafik" : "Tabelle"));
    return erg;
  }
  erg.Parameter = a.Parameter.empty() ? liste.front() : a.Parameter;
  if (std::find(liste.begin(), liste.end(), erg.Parameter) == liste.end()) {
    std::string m = "Den Parameter \"" + erg.Parameter + "\" gibt es hier nicht; möglich:";
    for (const std::string& p : liste) m += " \"" + p + "\"";
    erg.Meldungen.push_back(m);
    return erg;
  }
  erg.Titel = (element ? a.Element : std::string("< markierte Komponenten >")) + ": Ereignis " +
              EreignisText(a.Nr + 1, ev);

  const int nachlauf = std::max(a.Nachlauftage, 0);
  erg.Start = ev.Start - 1.0 / 24;
  erg.Ende = ev.Ende + nachlauf;
  const TDateTime zeit = std::trunc(erg.Start) - 1;
  if (!Vorbereiten(erg.Start, erg.Ende, zeit, erg.Meldungen)) return erg;
  TSimulation& sim = *FSim;
  erg.dt_min = sim.dt_min;

  FAuftrag = &a;
  FErgebnis = &erg;
  FElement = nullptr;
  FMarkiert.clear();
  if (element) {
    for (const TElement* e : sim.Reihenfolge)
      if (e == element) FElement = e;
    for (const TElement* e : sim.Regenschreiber)
      if (e == element) FElement = e;
  } else {
    const std::set<std::string> namen(a.Markiert.begin(), a.Markiert.end());
    for (const TElement* e : sim.Reihenfolge)
      if (namen.count(e->Name()) && FMarkiert.size() < kEreignisReihen) FMarkiert.push_back(e);
  }
  FFensterVon = erg.Start - 1.0 / 24;
  FFensterBis = erg.Ende + 1.0 / 24;
  FDosisStart = false;
  FSchritte = 0;
  FSummeQ = 0;

  if (a.Grafik) {
    const auto titel = EreignisReihenTitel(erg.Art, erg.Parameter);
    for (int i = 0; i < kEreignisReihen; ++i)
      erg.Reihen[static_cast<size_t>(i)].Titel = titel[static_cast<size_t>(i)];
    for (size_t i = 0; i < FMarkiert.size(); ++i) erg.Reihen[i].Titel = FMarkiert[i]->Name();
  } else {
    std::vector<std::string> variablen;
    if (auto* v = dynamic_cast<script::TbbVariables*>(FModel.Netz().PublicVars.get()))
      for (int i = 0; i < v->Count(); ++i) variablen.push_back(v->GetName(i));
    erg.Tabelle.Spalten = EreignisSpalten(erg.Art, erg.Parameter, variablen);
  }

  StartzustaendeSetzen();
  erg.Ok = Laufe(erg.Meldungen);
  erg.Schritte = sim.step;
  Beenden();
  FAuftrag = nullptr;
  FErgebnis = nullptr;
  FElement = nullptr;
  FMarkiert.clear();
  return erg;
}

void TEreignisLauf::StartzustaendeSetzen() {
  const TSimulation& sim = *FSim;
  const auto k = static_cast<size_t>(FAuftrag->Nr);
  std::vector<std::string> ohne;
  for (TElement* e : sim.Reihenfolge) {
    const bool kez = IstMischOderRegen(e), aeo = dynamic_cast<TAEO*>(e) != nullptr;
    if (!kez && !aeo) continue;
    const auto it = FStartzustaende.find(e->Name());
    if (it == FStartzustaende.end() || it->second.Element.size() <= k) {
      ohne.push_back(e->Name());
      continue;
    }
    if (auto* kz = dynamic_cast<TKEZ*>(e)) {
      kz->ABs = it->second.Element;
    } else if (auto* ao = dynamic_cast<TAEO*>(e)) {
      ao->ABs = it->second.Element;
      for (size_t i = 0; i < ao->HRUs.size() && i < it->second.Einheiten.size(); ++i)
        ao->HRUs[i].ABs = it->second.Einheiten[i];
    }
  }
  if (!ohne.empty()) {
    std::string m = "Ohne gespeicherten Anfangszustand für dieses Ereignis:";
    for (const std::string& n : ohne) m += " " + n;
    FErgebnis->Meldungen.push_back(m);
  }
}

void TEreignisLauf::SchrittBeginn(TSimulation& sim) {
  ++FSchritte;
  const TEreignis& ev = FErgebnis->Ereignis;
  if (std::fabs(sim.Zeit - ev.Start) >= kZeitEps) return;
  const int k = FAuftrag->Nr;
  for (TElement* e : sim.Reihenfolge) {
    if (IstMischOderRegen(e))
      static_cast<TKEZ*>(e)->SetStartConditions(k);
    else if (auto* a = dynamic_cast<TAEO*>(e))
      a->SetStartConditions(k);
    else if (auto* b = dynamic_cast<TBauwerk*>(e))
      b->Speicher.Aktuell.Clear();  // the tanks start empty
  }
}

bool TEreignisLauf::ImFenster(const TSimulation& sim) const {
  return sim.Zeit >= FFensterVon - kZeitEps && sim.Zeit <= FFensterBis + kZeitEps;
}

void TEreignisLauf::NachSimCalc(TSimulation& sim, TElement& e) {
  if (!ImFenster(sim)) return;
  if (!FMarkiert.empty()) {
    for (size_t i = 0; i < FMarkiert.size(); ++i) {
      if (FMarkiert[i] != &e) continue;
      const auto* b = dynamic_cast<const TBauwerk*>(&e);
      const double q =
          (b ? b->Drossel.Aktuell.Q : e.Zustand.Aktuell.Q) * Kehrwert(sim.dt_sec_div_1000);
      FErgebnis->Reihen[i].Zeit.push_back(sim.Zeit);
      FErgebnis->Reihen[i].Wert.push_back(q);
    }
    return;
  }
  if (&e == FElement && sim.Zeit >= FErgebnis->Ereignis.Start - kZeitEps) Punkt(sim, e);
}

void TEreignisLauf::NachRegen(TSimulation& sim, TREG& r) {
  if (FMarkiert.empty() && &r == FElement && ImFenster(sim)) Punkt(sim, r);
}

void TEreignisLauf::Punkt(TSimulation& sim, const TElement& e) {
  if (FAuftrag->Grafik)
    ChartPunkte(sim, e);
  else
    TabellenZeile(sim, e);
}

void TEreignisLauf::ChartPunkte(TSimulation& sim, const TElement& e) {
  using A = TEreignisArt;
  const std::string& p = FErgebnis->Parameter;
  const double f = Kehrwert(sim.dt_sec_div_1000);
  std::array<double, kEreignisReihen> v;
  std::array<bool, kEreignisReihen> hat{};
  auto setze = [&](size_t i, double x) {
    v[i] = x;
    hat[i] = true;
  };
  switch (FErgebnis->Art) {
    case A::Einleitung: {
      const auto& est = static_cast<const TEST&>(e);
      const TFrachten& mo = est.Mischreaktor_oben;
      const bool nam = sim.Netz && sim.Netz->NAM;
      const TAbflussParameter& ap = est.AbflussParameter;
      if (p == "Abfluss HQ1") {
        setze(0, est.HQ1pnat() * (est.X + 1));
        if (nam) {
          setze(1, mo.Q * f);
          setze(2, est.Mischreaktor_unten.Q * f);
        } else {
          setze(1, est.HQ1ist());
          setze(2, est.HQ1ist() + est.Zustand.Aktuell.Qurban * f);
        }
      } else if (p == "Abfluss MNQ") {
        const double q = est.Drossel.Aktuell.Q * f;
        setze(0, q);
        setze(1, est.MNQ());
        setze(2, std::max(q - est.MNQ(), 0.0));
      } else if (p == "Sauerstoff") {
        if (nam) {
          setze(0, 5.0);
          setze(1, 9.1);
          setze(2, mo.cBSB());
          setze(3, est.Mischreaktor_unten.cBSB());
          setze(4, ap.Tc);
        } else {
          setze(0, sim.cO2sat);
          setze(1, sim.TWasser);
          setze(2, est.eO2 * Kehrwert(mo.Q));
          setze(3, mo.cDO2());
        }
      } else if (p == "Ammoniak") {
        setze(0, 0.1);
        setze(2, est.eNH3 * Kehrwert(mo.Q));
      } else if (IstKonzentration(p)) {
        setze(2, Konzentration(mo, p));
      } else if (p == "v") {
        setze(2, ap.V);
      } else if (p == "h") {
        setze(2, ap.H);
      } else if (p == "k2") {
        setze(2, ap.K2);
      } else if (p == "Dosis NH3") {
        // The dose starts with the first step in which more water passes
        // than dry-weather flow and base flow together, and adds up the NH3
        // the "Ammoniak" chart shows; the tolerated load counts the minutes
        // since the re-simulation began, step by step.
        const TFrachten& d = est.Drossel.Aktuell;
        if (d.QT() + est.BUE.Zustand.Aktuell.Q < d.Q) FDosisStart = true;
        if (FDosisStart) {
          FErgebnis->Dosis += est.eNH3;
          FErgebnis->Grenzwert +=
              EreignisGrenzkonzentration(static_cast<double>(FSchritte) * sim.dt_min) * mo.Q;
        }
        setze(0, FErgebnis->Grenzwert);
        setze(2, FErgebnis->Dosis);
      } else if (p == "Temperatur") {
        setze(0, sim.TLuftTag);
        setze(1, sim.TLuft);
        setze(2, sim.TWasser);
      }
      break;
    }
    case A::Bauwerk: {
      const auto& b = static_cast<const TBauwerk&>(e);
      const TFrachten* s[5] = {&b.Drossel.Aktuell, &b.Speicher.Aktuell, &b.Zustand.Aktuell,
                               &b.BUE.Zustand.Aktuell, &b.KUE.Zustand.Aktuell};
      if (p == "Abfluss") {
        for (size_t i = 0; i < 5; ++i) setze(i, i == 1 ? s[i]->Q : s[i]->Q * f);
      } else if (p == "Speicher") {
        setze(0, b.Volumen);
        setze(1, b.Speicher.Aktuell.Q);
      } else if (IstKonzentration(p)) {
        for (size_t i = 0; i < 5; ++i) setze(i, Konzentration(*s[i], p));
      }
      break;
    }
    case A::Einzugsgebiet:
    case A::Klaeranlage:
    case A::Verbinder:
    case A::Netz: {
      const TFrachten& z = e.Zustand.Aktuell;
      if (p == "Abfluss") {
        setze(0, z.Q * f);
        setze(2, z.QT() * f);
      } else if (IstKonzentration(p)) {
        setze(2, Konzentration(z, p));
        if (const auto* k = dynamic_cast<const TKLG*>(&e)) setze(0, Ablaufwert(k->ETA, p));
      } else if (const auto* k = dynamic_cast<const TKEZ*>(&e)) {
        if (p == "Mulden") {
          setze(0, k->MVaktiv);
          setze(1, k->Kaskade1.ZuflussMinus1());
          setze(2, k->cm * k->MVaktiv);
        } else if (p == "Summe Q") {
          FSummeQ += z.Q;
          setze(0, FSummeQ);
        }
      }
      break;
    }
    case A::Oberflaeche: {
      const auto& a = static_cast<const TAEO&>(e);
      setze(0, a.Zustand.Aktuell.Q * f);
      setze(1, a.Sd);
      break;
    }
    case A::Regenschreiber: {
      const TFrachten& z = e.Zustand.Aktuell;
      setze(0, z.Verdunstung() * Kehrwert(sim.dt_min));
      setze(2, z.Regen() * Kehrwert(sim.dt_min));
      break;
    }
    default:
      break;
  }
  for (size_t i = 0; i < kEreignisReihen; ++i) {
    if (!hat[i]) continue;
    FErgebnis->Reihen[i].Zeit.push_back(sim.Zeit);
    FErgebnis->Reihen[i].Wert.push_back(v[i]);
  }
}

void TEreignisLauf::TabellenZeile(TSimulation& sim, const TElement& e) {
  using A = TEreignisArt;
  const std::string& p = FErgebnis->Parameter;
  const double f = Kehrwert(sim.dt_sec_div_1000);
  TEreignisTabelle& t = FErgebnis->Tabelle;
  std::vector<double> w;
  std::vector<std::string> texte;
  auto sieben = [&](const TFrachten& s, double q) {
    w = {q, s.cBSB(), s.cNH4(), s.cAFS(), s.cCSB(), s.cPH(), s.cALK()};
  };
  switch (FErgebnis->Art) {
    case A::Einleitung: {
      const auto& est = static_cast<const TEST&>(e);
      const TFrachten& mo = est.Mischreaktor_oben;
      const TAbflussParameter& ap = est.AbflussParameter;
      if (p == "Gewässer") {
        // "O2" and "NH3" hold the oxygen and ammonia concentrations of the
        // mixed water, as the charts "Sauerstoff" and "Ammoniak" show them.
        w = {mo.Q * f,
             est.eO2 * Kehrwert(mo.Q),
             est.eNH3 * Kehrwert(mo.Q),
             mo.cAFS(),
             mo.cCSB(),
             mo.cPH(),
             mo.cALK(),
             sim.TLuftTag,
             sim.TLuft,
             sim.TWasser};
      } else if (p == "Speicher") {
        sieben(est.Speicher.Aktuell, est.Speicher.Aktuell.Q);
      } else if (p == "Hydraulik") {
        w = {mo.Q * f, ap.V, ap.H, ap.HM, ap.K2, ap.Tc};
      } else if (p == "Abflüsse") {
        w = {est.MNQ(),
             est.HQ1pnat(),
             est.HQ1pnat() * (est.X + 1),
             est.Drossel.Aktuell.Q * f,
             est.HQ1ist(),
             est.HQ1ist() + est.Drossel.Aktuell.Qurban * f};
      }
      break;
    }
    case A::Regenschreiber:
      w = {e.Zustand.Aktuell.Regen(), e.Zustand.Aktuell.Verdunstung()};
      break;
    case A::Bauwerk: {
      const auto& b = static_cast<const TBauwerk&>(e);
      if (p == "Speicher") sieben(b.Speicher.Aktuell, b.Speicher.Aktuell.Q);
      const TFrachten* s = p == "Zufluss"   ? &b.Zustand.Aktuell
                           : p == "Drossel" ? &b.Drossel.Aktuell
                           : p == "BÜ"      ? &b.BUE.Zustand.Aktuell
                           : p == "KÜ"      ? &b.KUE.Zustand.Aktuell
                                            : nullptr;
      if (s) sieben(*s, s->Q * f);
      break;
    }
    case A::Klaeranlage: {
      const auto& k = static_cast<const TKLG&>(e);
      sieben(k.Ablauf, k.Ablauf.Q * f);
      break;
    }
    case A::Netz:
      if (p == "globale Variablen") {
        auto* v = dynamic_cast<script::TbbVariables*>(FModel.Netz().PublicVars.get());
        if (!v || t.Spalten.empty()) return;
        for (const TEreignisSpalte& s : t.Spalten) {
          const int i = v->IndexOf(s.Name);
          std::string x =
              i < 0 ? std::string() : AlsText(v->GetValue(i), script::TBenutzerFormat{});
          if (x.size() > 32) x.resize(32);
          texte.push_back(std::move(x));
        }
        break;
      }
      [[fallthrough]];
    default:
      sieben(e.Zustand.Aktuell, e.Zustand.Aktuell.Q * f);
      break;
  }
  t.Zeit.push_back(sim.Zeit);
  t.Werte.push_back(std::move(w));
  t.Texte.push_back(std::move(texte));
}

}  // namespace t21
