#include "storage/altprojekt.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_set>

#include "model/elements.h"
#include "storage/datenpaket.h"
#include "storage/projektdatei.h"

namespace t21 {

namespace fs = std::filesystem;

namespace {

// Table codes a folder of the version may lack.
bool OhneDatei(const std::string& code, int v) {
  static const std::set<std::string> v1{"CON", "REG", "PAR", "ETA", "AEO", "HRU", "KOS", "VFL"};
  static const std::set<std::string> v2{"REG", "PAR", "ETA", "AEO", "HRU", "KOS",
                                        "VFL", "VBE", "VMU", "VRI", "VSC", "AEK"};
  return (v == 1 ? v1 : v2).count(code) > 0;
}

std::string Gross(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Getrimmt(const std::string& s) {
  size_t a = 0, e = s.size();
  while (a < e && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r' || s[a] == '\n')) ++a;
  while (e > a && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
    --e;
  return s.substr(a, e - a);
}

std::string LiesDatei(const std::string& datei, bool& ok) {
  std::ifstream ein(datei, std::ios::binary);
  ok = static_cast<bool>(ein);
  std::stringstream s;
  s << ein.rdbuf();
  return s.str();
}

bool IstUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    // Number of continuation bytes; 9 for a byte that cannot start a character.
    const size_t n = c < 0x80           ? 0
                     : c < 0xC2         ? 9
                     : (c >> 5) == 0x6  ? 1
                     : (c >> 4) == 0xE  ? 2
                     : (c >> 3) == 0x1E ? 3
                                        : 9;
    if (n == 9 || (n > 0 && i + n >= s.size())) return false;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

// Text of the Windows code page 1252 as UTF-8.
std::string Cp1252ZuUtf8(const std::string& s) {
  static const char16_t k80[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  std::string r;
  r.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    const char32_t u = c < 0x80 ? c : c < 0xA0 ? k80[c - 0x80] : c;
    if (u < 0x80) {
      r += static_cast<char>(u);
    } else if (u < 0x800) {
      r += static_cast<char>(0xC0 | (u >> 6));
      r += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      r += static_cast<char>(0xE0 | (u >> 12));
      r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return r;
}

// True when the XML declaration names an encoding.
bool MitKodierung(const std::string& s) {
  const auto a = s.find("<?xml");
  if (a == std::string::npos || a > 8) return false;
  const auto e = s.find("?>", a);
  return s.substr(a, e == std::string::npos ? std::string::npos : e - a).find("encoding") !=
         std::string::npos;
}

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

bool IstBauwerk(const TCadShape* s) {
  return s && (s->Typ() == "RU" || s->Typ() == "RUB" || s->Typ() == "RKB");
}

// Lays a tree out from the root: each shape 200 units right of its Parent,
// one row of 100 units per branch, a shape on the row of its last upstream
// descendant.
void BaumAnordnen(TCadShape* wurzel) {
  struct Rahmen {
    TCadShape* s;
    size_t naechster;
    double breite, hoehe;
  };
  int zeile = 0;
  std::unordered_set<const TCadShape*> gesehen{wurzel};
  auto beginne = [](TCadShape* s) {
    const Rahmen r{s, 0, s->X2 - s->X1, s->Y2 - s->Y1};
    s->X1 = s->Parent() ? s->Parent()->X1 + 200 : 0;
    return r;
  };
  std::vector<Rahmen> stapel{beginne(wurzel)};
  while (!stapel.empty()) {
    Rahmen& f = stapel.back();
    const auto& zu = f.s->Zufluesse();
    if (f.naechster < zu.size()) {
      if (f.naechster > 0) ++zeile;
      TCadShape* u = zu[f.naechster++];
      if (gesehen.insert(u).second) stapel.push_back(beginne(u));
      continue;
    }
    TCadShape* s = f.s;
    s->Y1 = 100.0 * zeile;
    s->X2 = s->X1 + f.breite;
    s->Y2 = s->Y1 + f.hoehe;
    stapel.pop_back();
  }
}

}  // namespace

int ProjektVersion(const std::string& datei) {
  const std::string e = Gross(fs::path(datei).extension().string());
  if (e == ".TRE") return 1;
  if (e == ".MOD") return 2;
  if (e == ".T21") return 3;
  return 0;
}

std::string DateiSuchen(const std::string& datei) {
  std::error_code ec;
  if (fs::is_regular_file(datei, ec)) return datei;
  const fs::path p(datei);
  const fs::path ordner = p.has_parent_path() ? p.parent_path() : fs::path(".");
  const std::string gesucht = Gross(p.filename().string());
  for (fs::directory_iterator it(ordner, ec), ende; !ec && it != ende; it.increment(ec))
    if (it->is_regular_file(ec) && Gross(it->path().filename().string()) == gesucht)
      return p.has_parent_path() ? it->path().string() : it->path().filename().string();
  return {};
}

// ------------------------------------------------------------- the loader

TAltprojekt::TAltprojekt(TDataModule1& dm, std::string programmordner)
    : FDM(dm), FProgrammordner(std::move(programmordner)) {}

void TAltprojekt::Protokoll(const std::string& name, const std::string& grund) {
  Fehlerprotokoll.push_back("\t" + name + grund);
}

std::string TAltprojekt::FehlendeDatei(const std::string& s, int v) const {
  if (v == 1 || v == 2)
    for (const auto& [code, t] : FDM.Dateien) {
      if (OhneDatei(code, v)) continue;
      const std::string f = v == 1 ? s + "." + code : s + "_" + code + ".xml";
      if (DateiSuchen(f).empty()) return f;
    }
  std::vector<std::string> haupt;
  if (v == 1) haupt = {s + ".TRE"};
  if (v == 2) haupt = {s + ".MOD", s + "_SHP.xml"};
  if (v == 3) haupt = {s + ".T21"};
  for (const auto& f : haupt)
    if (DateiSuchen(f).empty()) return f;
  return {};
}

namespace {

// The note on decimal commas read from a file of an older version.
std::string KommaHinweis(const std::string& datei, int n) {
  return "In der Datei " + datei + " wurden " + std::to_string(n) + (n == 1 ? " Zahl" : " Zahlen") +
         " mit Dezimalkomma gelesen; die Datei bleibt unverändert.";
}

// Reads a data packet of an older folder: text without a declared encoding
// that is not UTF-8 is taken as Windows-1252; number fields may hold a
// decimal comma. The file is only read.
std::shared_ptr<TTabelle> LiesAltesPaket(const std::string& datei, std::string& fehler,
                                         std::vector<std::string>& hinweise) {
  bool ok = false;
  std::string text = LiesDatei(datei, ok);
  if (!ok) {
    fehler = "Die Datei " + datei + " kann nicht gelesen werden.";
    return nullptr;
  }
  if (!IstUtf8(text) && !MitKodierung(text)) {
    text = Cp1252ZuUtf8(text);
    hinweise.push_back("Die Datei " + datei +
                       " enthält Zeichen des Windows-Zeichensatzes; sie wurden umgesetzt.");
  }
  std::string f;
  TPaketLesen lesen;
  lesen.Dezimalkomma = true;
  auto t = LiesPaketText(text, f, &lesen);
  if (!t) fehler = "Die Datei " + datei + " kann nicht gelesen werden: " + f;
  if (t && lesen.Kommata > 0) hinweise.push_back(KommaHinweis(datei, lesen.Kommata));
  return t;
}

}  // namespace

bool TAltprojekt::CopyDataSet(TTabelle& ziel, const std::string& quelle, int v) {
  ziel.Leeren();
  const std::string datei = DateiSuchen(quelle);
  if (datei.empty()) return true;
  auto q = LiesAltesPaket(datei, Fehler, Hinweise);
  if (!q) return false;

  TTabelle& hyd = FDM.T("CDSHyd");
  const bool master = &ziel == &hyd;
  std::set<std::string> vergeben;
  std::vector<int> quellspalte;
  for (const TFeld& f : ziel.Schema().Felder) quellspalte.push_back(q->Schema().Index(f.Name));

  for (int r = 0; r < q->Anzahl(); ++r) {
    std::string n;
    int32_t masterId = 0;
    if (v == 1) n = Getrimmt(AlsText(q->Wert(r, 0)));
    if (v == 1 && !master) {
      const int m = hyd.Finde("VON", n);
      if (m < 0 || (!n.empty() && n[0] == '~')) {
        Protokoll(n, ":: wird gelöscht (kein Master-Datensatz)");
        continue;
      }
      if (vergeben.count(n)) {
        Protokoll(n, ":: wird gelöscht (doppelter Name)");
        continue;
      }
      if (FDM.GetTable(S(hyd, m, "TYP")) != &ziel) {
        Protokoll(n, ":: wird gelöscht (kein Master-Datensatz)");
        continue;
      }
      masterId = I(hyd, m, "ID");
      vergeben.insert(n);
    }
    // A new record receives its defaults; no master record is current, so
    // that no other element's record is touched.
    if (!master) FDM.Aktuell = -1;
    const int z = FDM.NewRecord(ziel);
    for (int s = 0; s < ziel.Spalten(); ++s) {
      const int qs = quellspalte[static_cast<size_t>(s)];
      if (qs < 0) continue;
      TWert w = q->Wert(r, qs);
      if (IstNull(w)) continue;
      const std::string& spalte = ziel.Schema().Felder[static_cast<size_t>(s)].Name;
      if (v == 1 && qs == 0) w = n;
      if (v == 1 && master && (spalte == "BIS" || spalte == "TYP")) w = Getrimmt(AlsText(w));
      if (!ziel.Setze(z, s, w))
        Hinweise.push_back(ziel.Schema().Name + "." + spalte + " = " + AlsText(w) +
                           (n.empty() ? std::string() : " (" + n + ")") +
                           " liegt außerhalb des zulässigen Bereichs; der Standardwert gilt.");
    }
    if (v == 1 && !master) ziel.Setze(z, 0, masterId);
    if (master) FDM.IDCounter = std::max(FDM.IDCounter, I(hyd, z, "ID"));
  }
  return true;
}

void TAltprojekt::DoppelteIDs() {
  TTabelle& hyd = FDM.T("CDSHyd");
  const size_t n = Fehlerprotokoll.size();
  // Name, ID and record of every master record; records are addressed
  // directly, so that two elements of the same name cannot be mixed up.
  struct TEintrag {
    std::string name;
    int32_t id;
    int zeile;
  };
  std::vector<TEintrag> liste;
  for (int z = 0; z < hyd.Anzahl(); ++z) liste.push_back({S(hyd, z, "VON"), I(hyd, z, "ID"), z});
  while (!liste.empty()) {
    const TEintrag e = liste.front();
    liste.erase(liste.begin());
    const auto b =
        std::find_if(liste.begin(), liste.end(), [&e](const TEintrag& x) { return x.id == e.id; });
    if (b == liste.end()) continue;
    ++FDM.IDCounter;
    if (TTabelle* t = FDM.GetTable(S(hyd, e.zeile, "TYP"))) {
      if (const int d = t->Finde("ID", e.id); d >= 0) t->Setze(d, "ID", FDM.IDCounter);
      if (FDM.GetTable(S(hyd, b->zeile, "TYP")) == t) {
        Fehlerprotokoll.push_back("\t" + b->name);
        Fehlerprotokoll.push_back("\t" + e.name);
      }
    }
    hyd.Setze(e.zeile, "ID", FDM.IDCounter);
  }
  if (Fehlerprotokoll.size() > n)
    Fehlerprotokoll.insert(
        Fehlerprotokoll.begin() + static_cast<std::ptrdiff_t>(n),
        {"TamKor hat beim Öffnen des Projektes Verletzungen der referentiellen Integrität "
         "festgestellt und behoben.",
         "Bitte Überprüfen Sie unbedingt die Eingabedaten folgender Komponenten und korrigieren "
         "Sie diese erforderlichenfalls.",
         ""});
}

void TAltprojekt::Seitendateien(const std::string& s, TM3Model* m) {
  if (const std::string def = DateiSuchen(s + ".DEF"); !def.empty()) {
    int kommata = 0;
    FDM.LoadUserDefaults(def, &kommata);
    if (kommata > 0) Hinweise.push_back(KommaHinweis(def, kommata));
  }
  if (!m) return;
  if (const std::string prl = DateiSuchen(s + ".PRL"); !prl.empty()) {
    std::ifstream ein(prl, std::ios::binary);
    std::vector<std::string> liste;
    for (std::string z; std::getline(ein, z);) {
      if (!z.empty() && z.back() == '\r') z.pop_back();
      if (!z.empty()) liste.push_back(z);
    }
    if (ein.eof()) m->PrintList = liste;
  }
  // Hydrographs: the project's own files, else those of the program folder.
  auto ganglinien = [&](const char* eigen, const char* programm, const char* tabelle,
                        auto&& uebernehmen) {
    std::string datei = DateiSuchen(s + eigen);
    if (datei.empty() && !FProgrammordner.empty())
      datei = DateiSuchen((fs::path(FProgrammordner) / programm).string());
    if (datei.empty()) return;
    std::string fehler;
    auto p = LiesAltesPaket(datei, fehler, Hinweise);
    if (!p) {
      Hinweise.push_back(fehler + " Die Ganglinien bleiben unverändert.");
      return;
    }
    TTabelle& t = FDM.T(tabelle);
    t.Leeren();
    std::vector<int> quellspalte;
    for (const TFeld& f : t.Schema().Felder) quellspalte.push_back(p->Schema().Index(f.Name));
    for (int r = 0; r < p->Anzahl(); ++r) {
      const int z = t.Anhaengen();
      for (int c = 0; c < t.Spalten(); ++c)
        if (quellspalte[static_cast<size_t>(c)] >= 0)
          t.Setze(z, c, p->Wert(r, quellspalte[static_cast<size_t>(c)]));
    }
    uebernehmen(t);
  };
  ganglinien("_TWGanglinien.XML", "TWGanglinien.XML", "CDSTWGanglinie", [m](const TTabelle& t) {
    m->Referenz.SWGanglinien.Eintraege.clear();
    for (int r = 0; r < t.Anzahl(); ++r) {
      std::array<double, 24> w{};
      for (int h = 0; h < 24; ++h)
        w[static_cast<size_t>(h)] = AlsZahl(t.Wert(r, "H" + std::to_string(h)));
      m->Referenz.SWGanglinien.AddGL(S(t, r, "NAME"), w);
    }
  });
  ganglinien("_FWGanglinien.XML", "FWGanglinien.XML", "CDSFWGanglinie", [m](const TTabelle& t) {
    m->Referenz.FWGanglinien.Eintraege.clear();
    for (int r = 0; r < t.Anzahl(); ++r) {
      std::array<double, 12> w{};
      for (int h = 1; h <= 12; ++h)
        w[static_cast<size_t>(h - 1)] = AlsZahl(t.Wert(r, "H" + std::to_string(h)));
      m->Referenz.FWGanglinien.AddGL(S(t, r, "NAME"), w);
    }
  });
}

bool TAltprojekt::Laden(const std::string& s, int v, TM3Model* m) {
  FDM.CreateDatabase();
  for (const auto& [code, t] : FDM.Dateien) {
    bool ok = true;
    if (v == 1) {
      if (std::string_view("CON REG PAR ETA").find(code) != std::string_view::npos) continue;
      ok = CopyDataSet(*t, s + "." + code, 1);
    } else {
      ok = CopyDataSet(*t, s + "_" + code + ".xml", 2);
    }
    if (!ok) return false;
  }
  if (!Fehlerprotokoll.empty())
    Fehlerprotokoll.insert(
        Fehlerprotokoll.begin(),
        "TamKor hat beim Laden des mit der Version 1 erstellten Projekts folgende Fehler behoben:");
  DoppelteIDs();
  Seitendateien(s, m);
  return true;
}

// ------------------------------------------------------ building the model

void TAltprojekt::ElementLesen(TElement& e, int masterZeile, const TNET& netz) {
  FDM.Aktuell = masterZeile;
  FDM.GetData(e, &netz);
}

TCadShape* TAltprojekt::Wurzel(TM3Model& m) {
  TCadShape* w = m.GetNode(kWurzelName);
  if (!w || !dynamic_cast<TNET*>(TM3Model::ElementOf(w))) {
    w = nullptr;
    for (int i = 0; i < m.Count() && !w; ++i)
      if (dynamic_cast<TNET*>(TM3Model::ElementOf(m.GetNode(i)))) w = m.GetNode(i);
  }
  if (!w) {
    Fehlerprotokoll.push_back("\tDas System hat kein geschlossenes Siedlungsgebiet");
    Fehlerprotokoll.push_back("\tTamKor hat ein neues geschlossenes Siedlungsgebiet angelegt");
    w = m.TCadModel::CreateShape("NET", kWurzelName, 0, 0);
    m.SetElement(w, std::make_unique<TNET>());
    m.Liste.Add(w->Name, w);
  }
  m.Move(m.IndexOf(w), 0);
  w->SetParent(nullptr);
  return w;
}

// Successor chains that run in a circle never reach the root: the link that
// closes the circle is replaced by one to the root.
void TAltprojekt::Schleifen(TM3Model& m) {
  for (const TCadShape* c : ParentRingeLoesen(m))
    Protokoll(c->Name, ":: Name der Zielkomponente korrigiert.");
}

void TAltprojekt::Version1(TM3Model& m) {
  TTabelle& hyd = FDM.T("CDSHyd");
  auto loeschen = [&](int z) {
    FDM.Aktuell = z;
    FDM.DeleteRecord(S(hyd, z, "VON"));
  };
  auto hatDetail = [&](int z) {
    const TTabelle* t = FDM.GetTable(S(hyd, z, "TYP"));
    return !t || t->Finde("ID", I(hyd, z, "ID")) >= 0;
  };

  // 1. Each master record on its own.
  std::vector<std::string> liste;
  for (int z = 0; z < hyd.Anzahl();) {
    const std::string typ = S(hyd, z, "TYP"), von = S(hyd, z, "VON");
    std::string bis = S(hyd, z, "BIS");
    if (typ == "NET" && !bis.empty()) {
      hyd.Setze(z, "BIS", std::string());
      bis.clear();
      Protokoll(von, ":: Name der Zielkomponente korrigiert.");
    }
    if (bis == von) {
      if (typ == "NET") {
        hyd.Setze(z, "BIS", std::string());
        Protokoll(von, ":: Name der Zielkomponente korrigiert.");
      } else {
        loeschen(z);
        continue;
      }
    }
    if (typ != "NET" && bis.empty()) {
      loeschen(z);
      Protokoll(von, ":: gelöscht (Zielkomponente ist nicht definiert)");
      continue;
    }
    if (typ != "ABS" && !hatDetail(z)) {
      loeschen(z);
      Protokoll(von, ":: gelöscht (kein Detail-Datensatz)");
      continue;
    }
    if (typ != "NET") liste.push_back(von);
    ++z;
  }

  // 2. Successors that do not exist, until a whole pass finds none.
  for (bool weiter = true; weiter;) {
    weiter = false;
    for (size_t i = 0; i < liste.size(); ++i) {
      const std::string name = liste[i];
      const int z = hyd.Finde("VON", name);
      if (z < 0) {
        liste.erase(liste.begin() + static_cast<std::ptrdiff_t>(i));
        weiter = true;
        break;
      }
      if (hyd.Finde("VON", S(hyd, z, "BIS")) >= 0) continue;
      loeschen(z);
      Protokoll(name, ":: gelöscht (ungültige Zielkomponente)");
      liste.erase(liste.begin() + static_cast<std::ptrdiff_t>(i));
      if (const int t = hyd.Finde("VON", "~" + name); t >= 0) {
        loeschen(t);
        liste.erase(std::remove(liste.begin(), liste.end(), "~" + name), liste.end());
      }
      weiter = true;
      break;
    }
  }

  // 3. One shape per element record; the elements read their records.
  std::vector<std::pair<TCadShape*, int>> neu;
  for (int z = 0; z < hyd.Anzahl(); ++z) {
    const std::string typ = NeuerTypcode(S(hyd, z, "TYP"));
    if (typ == "ABS") continue;
    TCadShape* s = m.CreateNewShape(typ, S(hyd, z, "VON"), 0, 0);
    if (!s || !TM3Model::ElementOf(s)) {
      Hinweise.push_back("Element " + S(hyd, z, "VON") + " mit unbekanntem Typ \"" + typ +
                         "\" übergangen.");
      if (s) m.DeleteShape(s);
      continue;
    }
    neu.emplace_back(s, z);
  }
  if (m.Count() == 0) return;
  TCadShape* wurzel = Wurzel(m);
  const TNET& netz = m.Netz();
  std::stable_partition(neu.begin(), neu.end(), [](const auto& p) {
    return dynamic_cast<TNET*>(TM3Model::ElementOf(p.first)) != nullptr;
  });
  for (const auto& [s, z] : neu)
    ElementLesen(*TM3Model::ElementOf(s), hyd.Finde("VON", s->Name), netz);

  // 4. Successors by name.
  for (int i = 0; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (s == wurzel) continue;
    const int z = hyd.Finde("VON", s->Name);
    const std::string bis = z >= 0 ? S(hyd, z, "BIS") : std::string();
    TCadShape* p = bis.empty() ? nullptr : m.GetNode(bis);
    if (!bis.empty() && !p) Protokoll(s->Name, ":: Name der Zielkomponente korrigiert.");
    s->SetParent(p ? p : wurzel);
  }
  Schleifen(m);

  // 5. Layout as a tree.
  BaumAnordnen(wurzel);

  // 6. Overflows after the tank (KUE) from the "~" records.
  for (int i = 0; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (!IstBauwerk(s)) continue;
    const int z = hyd.Finde("VON", "~" + s->Name);
    if (z < 0) {
      s->LoeseKUE();
      continue;
    }
    const std::string bis = S(hyd, z, "BIS");
    loeschen(z);
    TCadShape* k = bis != s->Name ? m.GetNode(bis) : nullptr;
    if (k && k != s)
      s->SetKUE(k);
    else
      s->LoeseKUE();
  }

  // 7. Receiving water of combined and storm sewer nets: the first discharge
  // point or root downstream, following a structure's overflow.
  for (int i = 0; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (s->Typ() != "KEM" && s->Typ() != "KER") continue;
    std::unordered_set<const TCadShape*> gesehen{s};
    for (TCadShape* p = s->Parent(); p && gesehen.insert(p).second;) {
      if (p->Typ() == "NET" || p->Typ() == "EST") {
        s->SetGEW(p);
        break;
      }
      p = IstBauwerk(p) && p->KUE() ? p->KUE() : p->Parent();
    }
  }
}

bool TAltprojekt::Zeichnung(TM3Model& m, const std::string& datei) {
  const std::string modDatei = DateiSuchen(datei + ".MOD");
  const std::string shpDatei = DateiSuchen(datei + "_SHP.xml");
  if (modDatei.empty() || shpDatei.empty()) {
    Fehler = "Die Datei " + (modDatei.empty() ? datei + ".MOD" : datei + "_SHP.xml") +
             " wurde nicht gefunden.";
    return false;
  }
  auto mod = LiesAltesPaket(modDatei, Fehler, Hinweise);
  if (!mod) return false;
  auto shp = LiesAltesPaket(shpDatei, Fehler, Hinweise);
  if (!shp) return false;

  // The settings record.
  if (mod->Anzahl() > 0) {
    const TTabelle& t = *mod;
    TAnsichtEinstellungen& v = m.ParViewSettings;
    auto zahl = [&](const char* s, double alt) { return IstNull(t.Wert(0, s)) ? alt : Z(t, 0, s); };
    auto ganz = [&](const char* s, int alt) { return AlsGanzzahl(t.Wert(0, s), alt); };
    auto schalter = [&](const char* s, bool alt) { return AlsBool(t.Wert(0, s), alt); };
    v.OrgX = zahl("OrgX", v.OrgX);
    v.OrgY = zahl("OrgY", v.OrgY);
    v.Zoom = zahl("Zoom", v.Zoom);
    v.GridMinor = zahl("GridMinor", v.GridMinor);
    v.GridMajor = zahl("GridMajor", v.GridMajor);
    v.GridColor = ganz("GridColor", v.GridColor);
    v.ShowParent = schalter("ShowParent", v.ShowParent);
    v.ShowKUE = schalter("ShowKUE", v.ShowKUE);
    v.ShowGEW = schalter("ShowGEW", v.ShowGEW);
    m.Font.CharSet = ganz("FontCharSet", m.Font.CharSet);
    m.Font.Color = ganz("FontColor", m.Font.Color);
    m.Font.Size = ganz("FontSize", m.Font.Size);
    if (!IstNull(t.Wert(0, "FontName"))) m.Font.Name = S(t, 0, "FontName");
    SchriftstilLesen(S(t, 0, "FontStyle"), m.Font);
    v.SelPen.Color = ganz("SelPenColor", v.SelPen.Color);
    v.SelPen.Mode = ganz("SelPenMode", v.SelPen.Mode);
    v.SelPen.Width = ganz("SelPenWidth", v.SelPen.Width);
    m.AutoOeffnen = schalter("AutoOeffnen", m.AutoOeffnen);
    m.AmRasterAusrichten = schalter("AmRaster", m.AmRasterAusrichten);
    if (t.Spalten() > 20) {
      v.ShowBUE = schalter("ShowBUE", v.ShowBUE);
      v.ShowREG = schalter("ShowREG", v.ShowREG);
      v.ShowGrid = schalter("ShowGrid", v.ShowGrid);
    }
  }

  // The shapes; a name taken already gets a free one.
  const TTabelle& t = *shp;
  std::vector<TCadShape*> erzeugt;
  std::set<const TCadShape*> ausgewaehlt;
  std::set<std::string, NameLess> namen;
  // Per name taken, the number its next free name is searched from, so that
  // many shapes of one name do not search from "_2" every time.
  std::map<std::string, int, NameLess> naechste;
  for (int r = 0; r < t.Anzahl(); ++r) {
    const std::string name = S(t, r, "Name");
    const std::string typ = NeuerTypcode(S(t, r, "Typ"));
    std::string frei = name;
    if (namen.count(frei)) {
      int& k = naechste.try_emplace(name, 2).first->second;
      for (;; ++k) {
        const std::string anhang = "_" + std::to_string(k);
        frei = name.substr(0, std::min(name.size(), size_t{31} - anhang.size())) + anhang;
        if (!namen.count(frei)) break;
      }
      ++k;
    }
    TCadShape* s = m.TCadModel::CreateShape(typ, frei, Z(t, r, "X1"), Z(t, r, "Y1"));
    erzeugt.push_back(s);
    if (!s) {
      Hinweise.push_back("Form " + name + " mit unbekanntem Typ \"" + typ + "\" übergangen.");
      continue;
    }
    namen.insert(frei);
    if (frei != name) {
      Protokoll(name, ":: doppelter Name, umbenannt in " + frei);
      FOriginal[s] = name;
    }
    auto ganz = [&](const char* c, int alt) { return AlsGanzzahl(t.Wert(r, c), alt); };
    if (!IstNull(t.Wert(r, "X2"))) s->X2 = Z(t, r, "X2");
    if (!IstNull(t.Wert(r, "Y2"))) s->Y2 = Z(t, r, "Y2");
    s->Font.CharSet = ganz("FontCharSet", s->Font.CharSet);
    s->Font.Color = ganz("FontColor", s->Font.Color);
    s->Font.Size = ganz("FontSize", s->Font.Size);
    if (!IstNull(t.Wert(r, "FontName"))) s->Font.Name = S(t, r, "FontName");
    SchriftstilLesen(S(t, r, "FontStyle"), s->Font);
    s->Pen.Color = ganz("PenColor", s->Pen.Color);
    s->Pen.Mode = ganz("PenMode", s->Pen.Mode);
    s->Pen.Width = ganz("PenWidth", s->Pen.Width);
    s->Brush.Color = ganz("BrushColor", s->Brush.Color);
    s->Brush.Style = ganz("BrushStyle", s->Brush.Style);
    s->HGespiegelt = B(t, r, "HGespiegelt");
    s->VGespiegelt = B(t, r, "VGespiegelt");
    s->Solid = B(t, r, "Solid");
    if (B(t, r, "Selected")) ausgewaehlt.insert(s);
    s->Visible = AlsBool(t.Wert(r, "Visible"), true);
    s->Ausrichtung = ganz("Ausrichtung", s->Ausrichtung);
    s->Val = S(t, r, "Val");
    if (typ == "POL" || typ == "POG") {
      s->Koordinaten = PunkteAusText(s->Val);
      s->Val.clear();
    }
    if (t.Spalten() > 26) s->TextPos = ganz("TextPos", s->TextPos);
    if (t.Spalten() > 27 && !IstNull(t.Wert(r, "Alignment"))) s->Al = S(t, r, "Alignment");
    if (t.Spalten() > 28) s->Fmt = S(t, r, "Format");
  }

  // Second pass: the links by name; a NET shape moves to the front.
  for (int r = 0; r < t.Anzahl(); ++r) {
    TCadShape* s = erzeugt[static_cast<size_t>(r)];
    if (!s) continue;
    auto ziel = [&](const char* spalte) -> TCadShape* {
      const std::string n = S(t, r, spalte);
      if (n.empty()) return nullptr;
      TCadShape* z = m.GetNode(n);
      if (!z && std::string(spalte) == "Parent")
        Protokoll(s->Name, ":: Name der Zielkomponente korrigiert.");
      else if (!z)
        Hinweise.push_back("Verbindung von " + s->Name + " zu unbekanntem Element " + n +
                           " übergangen.");
      return z;
    };
    if (TCadShape* p = ziel("Parent")) s->SetParent(p);
    if (TCadShape* k = ziel("KUE")) s->SetKUE(k);
    if (TCadShape* g = ziel("GEW")) s->SetGEW(g);
    if (s->Typ() == "NET") m.Move(m.IndexOf(s), 0);
  }
  for (TCadShape* s : erzeugt)
    if (s && ausgewaehlt.count(s)) m.SetSelected(s);
  return true;
}

void TAltprojekt::Version2(TM3Model& m) {
  TTabelle& hyd = FDM.T("CDSHyd");
  // The k-th shape of a name reads the k-th master record of that name.
  std::map<std::string, int> vorkommen;
  std::vector<std::pair<TCadShape*, int>> neu;
  for (int i = 0; i < m.Count(); ++i) {
    TCadShape* s = m.GetNode(i);
    if (!s->IsM3Shape()) continue;
    const std::string name = s->Name;
    const auto umbenannt = FOriginal.find(s);
    const std::string original = umbenannt != FOriginal.end() ? umbenannt->second : name;
    const int k = vorkommen[original]++;
    int z = -1;
    for (int r = hyd.Finde("VON", original), n = 0; r >= 0;
         r = hyd.Finde("VON", original, r + 1), ++n)
      if (n == k) {
        z = r;
        break;
      }
    std::string typ = z >= 0 ? NeuerTypcode(S(hyd, z, "TYP")) : s->Typ();
    auto e = CreateHydElement(typ);
    if (!e) e = CreateHydElement(s->Typ());
    if (!e) continue;
    if (z < 0) {
      // No record of its own: the element gets the standard values.
      Protokoll(name, ":: kein Master-Datensatz, Standardwerte eingesetzt");
      FDM.CreateRecords(name, "", e->Typ(), "");
      z = FDM.Aktuell;
    } else if (original != name) {
      hyd.Setze(z, "VON", name);
    }
    m.SetElement(s, std::move(e));
    m.Liste.Add(s->Name, s);
    neu.emplace_back(s, z);
  }
  if (m.Count() == 0) return;

  TCadShape* wurzel = Wurzel(m);
  const TNET& netz = m.Netz();
  std::stable_partition(neu.begin(), neu.end(), [](const auto& p) {
    return dynamic_cast<TNET*>(TM3Model::ElementOf(p.first)) != nullptr;
  });
  for (const auto& [s, z] : neu) ElementLesen(*TM3Model::ElementOf(s), z, netz);
  // Element shapes without a successor hang on the root.
  for (int j = 1; j < m.Count(); ++j) {
    TCadShape* s = m.GetNode(j);
    if (s->IsM3Shape() && !s->Parent() && s != wurzel) s->SetParent(wurzel);
  }
  Schleifen(m);
}

bool TAltprojekt::ModellLaden(TM3Model& m, const std::string& datei, int version) {
  m.DeleteAll();
  m.PrintList.clear();
  m.FileName = datei;
  if (!Laden(datei, version, &m)) {
    FDM.CreateDatabase();
    return false;
  }
  m.Drawing = true;
  if (version == 1) {
    Version1(m);
  } else {
    if (!Zeichnung(m, datei)) {
      FDM.CreateDatabase();
      m.Drawing = false;
      return false;
    }
    Version2(m);
  }
  if (m.Count() == 0) {
    m.Drawing = false;
    FDM.CreateDatabase();
    return true;
  }
  TCadShape* wurzel = m.Root();
  wurzel->Visible = false;
  m.Deselect(wurzel);
  m.SetzeAktuell(wurzel);
  m.Modified = 0;
  auto meldung = FDM.Meldung;
  FDM.Meldung = [this](const std::string& t) { Hinweise.push_back(t); };
  FDM.CheckDatabase(m);
  FDM.Meldung = meldung;
  m.Drawing = false;
  FDM.CreateDatabase();
  TNET& netz = m.Netz();
  netz.SetzePsiTafel(netz.Spenden.GetR15());
  m.AllesRechnen();
  return true;
}

// ------------------------------------------------------------ opening

bool TOeffnenErgebnis::Repariert() const {
  return std::any_of(Fehlerprotokoll.begin(), Fehlerprotokoll.end(),
                     [](const std::string& z) { return !z.empty() && z[0] == '\t'; });
}

TOeffnenErgebnis ProjektOeffnen(TM3Model& m, TDataModule1& dm, const std::string& datei,
                                const TOeffnenOptionen& o) {
  TOeffnenErgebnis e;
  e.Version = ProjektVersion(datei);
  if (e.Version == 0) {
    e.Meldung = kUngueltigeDateibezeichnung;
    return e;
  }
  const std::string basis = OhneEndung(datei);
  for (const auto& offen : o.OffeneModelle)
    if (offen == basis) {
      e.Meldung = kModellBereitsGeladen;
      return e;
    }
  TAltprojekt lader(dm, o.Programmordner);
  if (e.Version < 3 && !lader.AlleDateienDa(basis, e.Version)) {
    e.Meldung = kProjektUnvollstaendig;
    e.Hinweise.push_back("Es fehlt die Datei " + lader.FehlendeDatei(basis, e.Version) + ".");
    return e;
  }

  m.Name = fs::path(basis).filename().string();
  m.AltesDateiformat = dm.AltesDateiformat = true;
  if (e.Version == 3) {
    const std::string t21 = DateiSuchen(basis + ".T21");
    const TLadeErgebnis l = A3_Laden(m, t21.empty() ? basis : OhneEndung(t21), &dm);
    e.Ok = l.Ok;
    e.Meldung = l.Fehler;
    e.Hinweise = l.Hinweise;
    e.Hinweisfenster = l.Meldung;
  } else {
    e.Ok = lader.ModellLaden(m, basis, e.Version);
    e.Meldung = lader.Fehler;
    if (e.Ok && m.Count() == 0) {
      // Nothing to build from: a new empty project.
      m.CreateNewShape("NET", kWurzelName, 0, 0);
      m.Root()->Visible = false;
      m.SetzeAktuell(m.Root());
      m.Modified = 0;
      m.AllesRechnen();
      lader.Fehlerprotokoll.push_back("\tDas System hat kein geschlossenes Siedlungsgebiet");
      lader.Fehlerprotokoll.push_back("\tTamKor hat ein neues leeres Projekt angelegt");
    }
    if (e.Ok)
      lader.Fehlerprotokoll.insert(
          lader.Fehlerprotokoll.end(),
          {"Tamkor21 hat wunschgemäß die Daten eines mit dem Programm Tamkor.M7 erstellten "
           "Projekts geladen.",
           "", "ToDo:", "Die Eingabedaten bedürfen einer händischen Überprüfung und Ergänzung.",
           "Dies betrifft in besonderem Maße die Kostra-Regenspenden der Komponente "
           "`geschlossenes Siedlungsgebiet` sowie die Teilflächeninformationen aller Misch- und "
           "Regenwassernetze.",
           "", "Hinweis:",
           "Beim Laden wurden alle Regenwasserkonzentrationen von Misch- und Regenwassernetzen "
           "entfernt.",
           "Diese gelten nun systemweit und sind als Konstanten im geschlossenen Siedlungsgebiet "
           "definiert.",
           "",
           "Einzelheiten enthält der Abschnitt `Neuerungen gegenüber QTZ TamKor.M7` im Kapitel 1 "
           "des Handbuchs."});
    e.Fehlerprotokoll = std::move(lader.Fehlerprotokoll);
    e.Hinweise = std::move(lader.Hinweise);
  }
  // The flag serves the load only: catchments created later get no legacy
  // sub-area.
  m.AltesDateiformat = dm.AltesDateiformat = false;
  if (e.Ok && m.Count() > 0) {
    TCadShape* letzte = m.LetzteSelektion();
    m.SetzeAktuell(letzte ? letzte : m.Root());
  }
  return e;
}

}  // namespace t21
