#include "script/interpreter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numbers>

#include "model/network.h"
#include "script/operatoren.h"
#include "script/pruefung.h"
#include "script/text.h"

namespace t21::script {

namespace {

bool Gleich(std::string_view a, std::string_view b) {
  return NamenVergleich(a, b) == 0;
}

void SetzeZahl(TVariant& v, TVarTyp typ, double d) {
  v.Leeren();
  v.Typ = typ;
  v.Gleit = d;
}

void SetzeText(TVariant& v, const std::string& t) {
  v.Typ = TVarTyp::Text;
  v.Ganz = 0;
  v.Gleit = 0;
  v.Text.assign(t);
}

TNamensArt LeseArt(std::string_view gross) {
  if (gross == "ZEIT") return TNamensArt::Zeit;
  if (gross == "DT") return TNamensArt::DT;
  if (gross == "NOW") return TNamensArt::Now;
  if (gross == "PI") return TNamensArt::Pi;
  if (gross == "G2") return TNamensArt::G2;
  if (gross == "SELF") return TNamensArt::Self;
  if (!gross.empty() && gross[0] == '_') return TNamensArt::Oeffentlich;
  if (gross == "BILANZSTART") return TNamensArt::BilanzStart;
  if (gross == "BILANZENDE") return TNamensArt::BilanzEnde;
  return TNamensArt::Variable;
}

TZielArt ZielArt(std::string_view gross) {
  if (gross == "QD") return TZielArt::QD;
  if (!gross.empty() && gross[0] == '_') return TZielArt::Oeffentlich;
  if (gross == "DKZ") return TZielArt::DKZ;
  if (gross == "DKI" || gross == "DKL") return TZielArt::DKI;
  return TZielArt::Variable;
}

std::uint32_t Slot(TScriptCode& c, TNamensArt art, std::string_view name) {
  for (std::uint32_t i = 0; i < c.Namen.size(); ++i)
    if (c.Namen[i].Art == art && c.Namen[i].Name == name) return i;
  TNamensSlot s;
  s.Art = art;
  s.Name = std::string(name);
  c.Namen.push_back(std::move(s));
  return static_cast<std::uint32_t>(c.Namen.size() - 1);
}

std::string Ziel(std::uint32_t t) {
  return {static_cast<char>(t % 256), static_cast<char>(t / 256)};
}

// The fault that evaluating the code raises wherever and whenever it runs:
// a constant that cannot be converted, more values pending at once than the
// evaluation holds, an operator without its operands; empty when there is
// none. Found at preparation, it is a message there instead of an error in
// some step of a run.
std::string Kompilatfehler(const TPostfixCode& c) {
  int offen = 0;
  for (const TSchritt& s : c.Schritte) {
    switch (s.Art) {
      case TSchrittArt::Fehler:
        return c.Fehler[s.Index];
      case TSchrittArt::Konstante:
      case TSchrittArt::Name:
        if (offen == kStapelGroesse)
          return "Ausdruck zu umfangreich: mehr als " + std::to_string(kStapelGroesse) +
                 " Werte gleichzeitig offen";
        ++offen;
        break;
      case TSchrittArt::Operator: {
        const TOperator* o = OperatorZuCode(s.Code);
        if (!o || offen < o->Stellen) return "Operator ohne Operand";
        if (o->Stellen == 2) --offen;
        break;
      }
    }
  }
  return {};
}

// One instruction while the statements are compiled: its kind, its target
// (or the label it waits for), the assigned name and the expression's source
// text.
struct TRoh {
  TBefehlsArt Art;
  std::uint32_t Ziel = 0;
  std::string Marke;  // GOTO: the label's digits
  std::string Name;
  std::string Text;
};

class TUebersetzer {
 public:
  std::vector<TRoh> Befehle;
  std::vector<std::pair<std::string, std::uint32_t>>& Labels;

  std::uint32_t Anzahl() const { return static_cast<std::uint32_t>(Befehle.size()); }
  std::uint32_t Neu(TBefehlsArt art, std::string text = {}) {
    Befehle.push_back(TRoh{art, 0, {}, {}, std::move(text)});
    return Anzahl() - 1;
  }

  void Anweisung(const TAnweisung& a) {
    for (const auto& m : a.Marken) Labels.emplace_back(m, Anzahl());
    switch (a.Art) {
      case TAnweisungsArt::Leer:
        return;
      case TAnweisungsArt::Block:
        for (const auto& t : a.Teile) Anweisung(t);
        return;
      case TAnweisungsArt::Wenn: {
        const std::uint32_t bedingt = Neu(TBefehlsArt::BedingterSprung, a.Ausdruck);
        Anweisung(a.Teile[0]);
        if (a.Teile.size() < 2) {
          Befehle[bedingt].Ziel = Anzahl();
          return;
        }
        const std::uint32_t sprung = Neu(TBefehlsArt::Sprung);
        Befehle[bedingt].Ziel = Anzahl();
        Anweisung(a.Teile[1]);
        Befehle[sprung].Ziel = Anzahl();
        return;
      }
      case TAnweisungsArt::Solange: {
        const std::uint32_t bedingt = Neu(TBefehlsArt::BedingterSprung, a.Ausdruck);
        Anweisung(a.Teile[0]);
        Befehle[Neu(TBefehlsArt::Sprung)].Ziel = bedingt;
        Befehle[bedingt].Ziel = Anzahl();
        return;
      }
      case TAnweisungsArt::Wiederhole: {
        const std::uint32_t anfang = Anzahl();
        Anweisung(a.Teile[0]);
        Befehle[Neu(TBefehlsArt::BedingterSprung, a.Ausdruck)].Ziel = anfang;
        return;
      }
      case TAnweisungsArt::Sprung:
        Befehle[Neu(TBefehlsArt::Sprung)].Marke = a.Name;
        return;
      case TAnweisungsArt::Zuweisung:
        if (a.HatIndex) {
          Neu(TBefehlsArt::Auswerten,
              "SETARRAY(" + a.Name + "," + a.Index + "," + a.Ausdruck + ")");
        } else {
          Befehle[Neu(TBefehlsArt::Zuweisung, a.Ausdruck)].Name = a.Name;
        }
        return;
      case TAnweisungsArt::Aufruf:
        Neu(TBefehlsArt::Auswerten, a.Name + (a.HatIndex ? "[" + a.Index + "]" : "") + "(0)");
        return;
      case TAnweisungsArt::Ausdruck:
        Neu(TBefehlsArt::Auswerten, a.Ausdruck);
        return;
    }
  }
};

}  // namespace

TbbInterpreter::TbbInterpreter() {
  FParser.OnGetValue = [this](const std::string& n, TVariant& v) { GetValue(n, v); };
  FParser.OnFunction = [this](const std::string& n, const TVariant& p1, const TVariant& p2,
                              const TVariant& p3,
                              std::string& val) { DoFunction(n, p1, p2, p3, val); };
}

TbbInterpreter::TbbInterpreter(TM3Model& model) : TbbInterpreter() {
  SetModel(&model);
}

TbbInterpreter::~TbbInterpreter() = default;

void TbbInterpreter::SetModel(TM3Model* model) {
  FModel = model;
  FIndexGueltig = false;
}

void TbbInterpreter::SetSimulation(TSimulation* sim) {
  if (sim == FSim) return;
  FSim = sim;
  FIndexGueltig = false;
}

TbbVariables& TbbInterpreter::PublicVars() {
  if (FModel) {
    auto& p = FModel->Netz().PublicVars;
    if (!p) p = std::make_unique<TbbVariables>();
    if (auto* v = dynamic_cast<TbbVariables*>(p.get())) return *v;
  } else if (FSim && FSim->Netz) {
    if (auto* v = dynamic_cast<TbbVariables*>(FSim->Netz->PublicVars.get())) return *v;
  }
  return FEigeneOeffentliche;
}

// ---------------------------------------------------------------------------
// The hooks

void TbbInterpreter::GetValue(const std::string& Name, TVariant& Value) {
  const TSimulation& s = Sim();
  switch (LeseArt(Gross(Name))) {
    case TNamensArt::Zeit:
      Value = TVariant::Datum(s.Zeit);
      return;
    case TNamensArt::DT:
      Value = TVariant::Gleitzahl(s.dt_min);
      return;
    case TNamensArt::Now:
      Value = TVariant::Datum(JetztAlsDatum());
      return;
    case TNamensArt::Pi:
      Value = TVariant::Gleitzahl(std::numbers::pi);
      return;
    case TNamensArt::G2:
      Value = TVariant::Waehrung(196200);
      return;
    case TNamensArt::Self:
      Value = TVariant::Txt(FElement ? FElement->Name() : std::string());
      return;
    case TNamensArt::Oeffentlich:
      Value = PublicVars().GetVariable(Name);
      return;
    case TNamensArt::BilanzStart:
      Value = TVariant::Datum(s.Start);
      return;
    case TNamensArt::BilanzEnde:
      Value = TVariant::Datum(s.Ende);
      return;
    case TNamensArt::Variable:
      Value = FVariables.GetVariable(Name);
      return;
  }
}

void TbbInterpreter::SetValue(const std::string& Name, const TVariant& Value) {
  const std::string gross = Gross(Name);
  switch (ZielArt(gross)) {
    case TZielArt::QD:
      if (auto* b = dynamic_cast<TBauwerk*>(FElement)) b->QDaktiv = AlsZahl(Value, FParser.Format);
      return;
    case TZielArt::Oeffentlich:
      PublicVars().SetVariable(gross, Value);
      return;
    case TZielArt::DKZ:
    case TZielArt::DKI:
      FBauwerk = dynamic_cast<TBauwerk*>(FElement);
      Drosselkurve(ZielArt(gross), Value);
      return;
    case TZielArt::Variable:
      FVariables.SetVariable(Name, Value);
      return;
  }
}

void TbbInterpreter::IndexAufbauen() {
  FNamen.clear();
  FPositionen.clear();
  const auto aufnehmen = [this](TElement* e) {
    if (!e || !e->Owner) return;
    TElementInfo i{e, dynamic_cast<TBauwerk*>(e), dynamic_cast<TKEZ*>(e)};
    // The first shape of a name is the one found.
    FNamen.emplace(e->Owner->Name, i);
  };
  if (FModel) {
    for (int i = 0; i < FModel->Count(); ++i) aufnehmen(TM3Model::ElementOf(FModel->GetNode(i)));
  } else {
    if (FSim) {
      for (TElement* e : FSim->Reihenfolge) aufnehmen(e);
      for (TREG* r : FSim->Regenschreiber) aufnehmen(r);
    }
    aufnehmen(FElement);
  }
  if (FSim)
    for (std::size_t i = 0; i < FSim->Reihenfolge.size(); ++i)
      FPositionen.emplace(FSim->Reihenfolge[i], static_cast<long long>(i));
  FIndexGueltig = true;
}

const TbbInterpreter::TElementInfo* TbbInterpreter::Finde(const std::string& name) {
  if (!FIndexGueltig) IndexAufbauen();
  const auto it = FNamen.find(name);
  return it == FNamen.end() ? nullptr : &it->second;
}

bool TbbInterpreter::Spaeter(const TElement* e) {
  if (FLaufPosition < 0) return false;
  const auto it = FPositionen.find(e);
  return it != FPositionen.end() && it->second > FLaufPosition;
}

void TbbInterpreter::DoFunction(const std::string& name, const TVariant& p1, const TVariant&,
                                const TVariant&, std::string& val) {
  val = "NULL";
  std::string umgewandelt;
  const std::string* text = &p1.Text;
  if (p1.Typ != TVarTyp::Text) {
    umgewandelt = AlsText(p1, FParser.Format);
    text = &umgewandelt;
  }
  if (Gleich(*text, "SELF")) {
    if (!FElement) return;
    text = &FElement->Name();
  }
  const TElementInfo* info = Finde(*text);
  if (!info) return;
  const TElement& e = *info->Element;
  const double k = Kehrwert(Sim().dt_sec);
  const bool spaeter = Spaeter(&e);
  const auto zahl = [&](double x) { val = GleitText(x, FParser.Format); };
  const auto fluss = [&]() {
    zahl(spaeter ? e.Zustand.OldQZu * 1000 * k : e.Zustand.Aktuell.Q * 1000 * k);
  };
  const TBauwerk* b = info->Bauwerk;
  if (name == "VOLUMEN") {
    val = b ? std::to_string(b->Volumen) : "0";
  } else if (name == "INHALT") {
    if (b)
      zahl(b->Speicher.Aktuell.Q);
    else
      val = "0";
  } else if (name == "DROSSEL") {
    if (b)
      zahl(b->QD);
    else
      val = "0";
  } else if (name == "QD") {
    if (b)
      zahl(b->QDaktiv);
    else
      val = "0";
  } else if (name == "ZUFLUSS") {
    if (info->Einzugsgebiet && !spaeter)
      zahl((e.Zustand.Aktuell.Q - info->Einzugsgebiet->TWZustand.Aktuell.Q) * 1000 * k);
    else
      fluss();
  } else if (name == "ABFLUSS") {
    if (b)
      zahl(b->Drossel.Aktuell.Q * 1000 * k);
    else
      fluss();
  } else {
    val.clear();
  }
}

// Throttle curves: the text x1,y1,x2,y2,… with "." as decimal point.
void TbbInterpreter::Drosselkurve(TZielArt art, const TVariant& v) {
  if (!FBauwerk) return;
  std::string umgewandelt;
  const std::string* text = &v.Text;
  if (v.Typ != TVarTyp::Text) {
    umgewandelt = AlsText(v, FParser.Format);
    text = &umgewandelt;
  }
  // DKZ reads the inflow of the step in l/s, as ZUFLUSS(SELF) gives it;
  // DKI and DKL the tank content in m3.
  const double x = art == TZielArt::DKZ
                       ? FBauwerk->Zustand.Aktuell.Q * 1000 * Kehrwert(Sim().dt_sec)
                       : FBauwerk->Speicher.Aktuell.Q;
  const std::string_view s = *text;
  std::size_t anfang = 0;
  int n = 0;
  double xp = 0, yp = 0, xi = 0, ergebnis = 0;
  bool entschieden = false;
  for (;;) {
    const std::size_t komma = std::min(s.find(',', anfang), s.size());
    const std::string_view teil = s.substr(anfang, komma - anfang);
    std::array<char, 64> puffer;
    if (teil.size() >= puffer.size()) return;
    std::memcpy(puffer.data(), teil.data(), teil.size());
    for (std::size_t i = 0; i < teil.size(); ++i)
      if (puffer[i] == '.') puffer[i] = FParser.Format.Dezimaltrenner;
    double z;
    if (!ZahlLesen(std::string_view(puffer.data(), teil.size()), FParser.Format, z)) return;
    if (n % 2 == 0) {
      xi = z;
    } else if (!entschieden) {
      const double yi = z;
      if (n == 1) {
        if (x <= xi) ergebnis = yi, entschieden = true;
      } else if (x <= xi) {
        ergebnis = yp + Kehrwert(xi - xp) * (yi - yp) * (x - xp);
        entschieden = true;
      }
      xp = xi;
      yp = yi;
    }
    ++n;
    if (komma >= s.size()) break;
    anfang = komma + 1;
  }
  // A missing y at the end is a number that cannot be read.
  if (n % 2 != 0) return;
  FBauwerk->QDaktiv = entschieden ? ergebnis : yp;
}

// ---------------------------------------------------------------------------
// Preparing

TBefehl TbbInterpreter::NeuerBefehl(TScriptCode& c, TBefehlsArt art, std::uint32_t ziel,
                                    std::string_view name, const std::string& postfix) const {
  TBefehl b;
  b.Art = art;
  b.Sprungziel = ziel;
  if (art == TBefehlsArt::Sprung) return b;
  b.Code = FParser.Compile(postfix);
  for (const std::string& n : b.Code.Namen) b.Slots.push_back(Slot(c, LeseArt(n), n));
  if (c.Werte.size() < b.Slots.size()) c.Werte.resize(b.Slots.size());
  if (art == TBefehlsArt::Zuweisung) {
    const std::string gross = Gross(name);
    b.Ziel = ZielArt(gross);
    if (b.Ziel == TZielArt::Variable) b.Slot = Slot(c, TNamensArt::Variable, name);
    if (b.Ziel == TZielArt::Oeffentlich) b.Slot = Slot(c, TNamensArt::Oeffentlich, gross);
  }
  return b;
}

TScriptCode TbbInterpreter::PrepareScript(const std::vector<std::string>& MemoFrom,
                                          std::vector<std::string>& MemoTo,
                                          std::vector<std::string>& MemoErr) {
  FVariables.ClearVariables();
  FLabels.clear();
  FIndexGueltig = false;
  const std::string vorbereitet = ScriptVorbereiten(MemoFrom);
  MemoTo.clear();
  MemoErr.clear();
  FHinweise.clear();
  TScriptCode code;
  if (vorbereitet.empty()) return code;
  TScriptPruefung p = ScriptPruefen(vorbereitet, MemoFrom);
  FHinweise = std::move(p.Hinweise);
  if (!p.Fehler.empty()) {
    MemoErr = std::move(p.Fehler);
    return code;
  }
  TUebersetzer u{{}, FLabels};
  u.Anweisung(p.Anweisung);
  if (u.Befehle.size() > kMaxAnweisungen) {
    MemoErr.emplace_back(meldung::ZuViele);
    return code;
  }

  std::vector<std::string> liste;
  liste.reserve(u.Befehle.size());
  for (TRoh& r : u.Befehle) {
    std::string postfix;
    if (r.Art != TBefehlsArt::Sprung) {
      // A parse-time form with an argument it cannot use ends the
      // preparation with its message, as a fault of the script.
      try {
        postfix = FParser.Parse(r.Text);
      } catch (const TScriptFehler& f) {
        MemoErr.push_back("Fehler in \"" + r.Text + "\": " + f.what());
        return TScriptCode();
      }
    }
    switch (r.Art) {
      case TBefehlsArt::BedingterSprung:
        liste.push_back(befehl::Bedingt + Ziel(r.Ziel) + postfix);
        break;
      case TBefehlsArt::Sprung:
        if (!r.Marke.empty()) {
          const std::string label = r.Marke + ":";
          bool gefunden = false;
          for (const auto& [l, index] : FLabels)
            if (l == label) {
              r.Ziel = index;
              gefunden = true;
              break;
            }
          if (!gefunden) {
            // Kept as the label's digits; the run ends there.
            r.Ziel = static_cast<std::uint32_t>(u.Befehle.size());
            liste.push_back(befehl::Sprung + r.Marke);
            break;
          }
        }
        liste.push_back(befehl::Sprung + Ziel(r.Ziel));
        break;
      case TBefehlsArt::Auswerten:
        liste.push_back(befehl::Auswerten + postfix);
        break;
      case TBefehlsArt::Zuweisung:
        liste.push_back(r.Name + " " + postfix);
        break;
    }
    code.Befehle.push_back(NeuerBefehl(code, r.Art, r.Ziel, r.Name, postfix));
    if (const std::string f = Kompilatfehler(code.Befehle.back().Code); !f.empty()) {
      MemoErr.push_back("Fehler in \"" + r.Text + "\": " + f);
      return TScriptCode();
    }
  }
  MemoTo = std::move(liste);
  return code;
}

TScriptCode TbbInterpreter::Uebersetzen(const std::vector<std::string>& Memo) const {
  TScriptCode code;
  const auto ende = static_cast<std::uint32_t>(Memo.size());
  const auto ziel = [&](const std::string& s) -> std::uint32_t {
    if (s.size() < 3) return ende;
    return static_cast<unsigned char>(s[1]) + 256u * static_cast<unsigned char>(s[2]);
  };
  for (const std::string& s : Memo) {
    const char art = s.empty() ? befehl::Auswerten : s[0];
    if (art == befehl::Bedingt) {
      code.Befehle.push_back(NeuerBefehl(code, TBefehlsArt::BedingterSprung, ziel(s), {},
                                         s.size() > 3 ? s.substr(3) : std::string()));
    } else if (art == befehl::Sprung) {
      code.Befehle.push_back(
          NeuerBefehl(code, TBefehlsArt::Sprung, s.size() == 3 ? ziel(s) : ende, {}, {}));
    } else if (art == befehl::Auswerten) {
      code.Befehle.push_back(NeuerBefehl(code, TBefehlsArt::Auswerten, 0, {},
                                         s.size() > 1 ? s.substr(1) : std::string()));
    } else {
      const std::size_t blank = std::min(s.find(' '), s.size());
      code.Befehle.push_back(NeuerBefehl(code, TBefehlsArt::Zuweisung, 0, s.substr(0, blank),
                                         blank < s.size() ? s.substr(blank + 1) : std::string()));
    }
  }
  return code;
}

// ---------------------------------------------------------------------------
// Running

void TbbInterpreter::Starten(TElement& e) {
  if (FElement != &e) {
    FElement = &e;
    FBauwerk = dynamic_cast<TBauwerk*>(&e);
  }
  FPublic = &PublicVars();
  if (!FIndexGueltig) IndexAufbauen();
  const auto it = FPositionen.find(&e);
  FLaufPosition = it == FPositionen.end() ? -1 : it->second;
}

TVariant& TbbInterpreter::Variable(TNamensSlot& s) {
  TbbVariables& t = s.Art == TNamensArt::Oeffentlich ? *FPublic : FVariables;
  if (!s.Wert || s.Stand != t.Stand()) {
    s.Wert = &t.Eintrag(s.Name);
    s.Stand = t.Stand();
  }
  return *s.Wert;
}

void TbbInterpreter::Lesen(TNamensSlot& s, TVariant& v) {
  const TSimulation& sim = Sim();
  switch (s.Art) {
    case TNamensArt::Zeit:
      return SetzeZahl(v, TVarTyp::Datum, sim.Zeit);
    case TNamensArt::DT:
      return SetzeZahl(v, TVarTyp::Gleitzahl, sim.dt_min);
    case TNamensArt::Now:
      return SetzeZahl(v, TVarTyp::Datum, JetztAlsDatum());
    case TNamensArt::Pi:
      return SetzeZahl(v, TVarTyp::Gleitzahl, std::numbers::pi);
    case TNamensArt::G2:
      v.Leeren();
      v.Typ = TVarTyp::Waehrung;
      v.Ganz = 196200;
      return;
    case TNamensArt::Self:
      return SetzeText(v, FElement ? FElement->Name() : std::string());
    case TNamensArt::BilanzStart:
      return SetzeZahl(v, TVarTyp::Datum, sim.Start);
    case TNamensArt::BilanzEnde:
      return SetzeZahl(v, TVarTyp::Datum, sim.Ende);
    case TNamensArt::Oeffentlich:
    case TNamensArt::Variable:
      v = Variable(s);
      return;
  }
}

TVariant TbbInterpreter::Auswerten(TScriptCode& c, const TBefehl& b) {
  const std::size_t n = b.Slots.size();
  for (std::size_t i = 0; i < n; ++i) Lesen(c.Namen[b.Slots[i]], c.Werte[i]);
  return FParser.Calc(b.Code, std::span<const TVariant>(c.Werte.data(), n));
}

void TbbInterpreter::Zuweisen(TScriptCode& c, const TBefehl& b, TVariant&& v) {
  switch (b.Ziel) {
    case TZielArt::QD:
      if (FBauwerk) FBauwerk->QDaktiv = AlsZahl(v, FParser.Format);
      return;
    case TZielArt::DKZ:
    case TZielArt::DKI:
      Drosselkurve(b.Ziel, v);
      return;
    case TZielArt::Oeffentlich:
    case TZielArt::Variable:
      Variable(c.Namen[b.Slot]) = std::move(v);
      return;
  }
}

void TbbInterpreter::Ausfuehren(TScriptCode& c) {
  static const TVariant kNull = TVariant::Ganzzahl(0);
  const auto n = static_cast<std::uint32_t>(c.Befehle.size());
  long long arbeit = 0;
  std::uint32_t i = 0;
  while (i < n) {
    if (++arbeit > kMaxAnweisungenProLauf) throw TScriptFehler(kEndlosschleife);
    const TBefehl& b = c.Befehle[i];
    switch (b.Art) {
      case TBefehlsArt::Sprung:
        i = b.Sprungziel;
        continue;
      case TBefehlsArt::BedingterSprung: {
        const TVariant v = Auswerten(c, b);
        i = VarVergleich(v, kNull, FParser.Format) == TVergleich::Gleich ? b.Sprungziel : i + 1;
        continue;
      }
      case TBefehlsArt::Auswerten:
        Auswerten(c, b);
        break;
      case TBefehlsArt::Zuweisung:
        Zuweisen(c, b, Auswerten(c, b));
        break;
    }
    ++i;
  }
}

void TbbInterpreter::DoScript(TElement& e, TScriptCode& code) {
  Starten(e);
  Ausfuehren(code);
}

void TbbInterpreter::DoScript(TElement& e, const std::vector<std::string>& Memo) {
  TScriptCode code = Uebersetzen(Memo);
  DoScript(e, code);
}

void TbbInterpreter::DoScript(TElement& e, TSimulation& sim) {
  SetSimulation(&sim);
  auto it = FCodes.find(&e);
  if (it == FCodes.end() || it->second.Daten != e.Tokens.data() ||
      it->second.Anzahl != e.Tokens.size())
    it = FCodes
             .insert_or_assign(
                 &e, TElementCode{e.Tokens.data(), e.Tokens.size(), Uebersetzen(e.Tokens)})
             .first;
  DoScript(e, it->second.Code);
}

void TbbInterpreter::Bereitstellen(const TElement& e, TScriptCode code) {
  FCodes.insert_or_assign(&e, TElementCode{e.Tokens.data(), e.Tokens.size(), std::move(code)});
}

// ---------------------------------------------------------------------------

std::string TbbInterpreter::WertText(const TVariant& v) const {
  return v.Typ == TVarTyp::Leer ? "NULL" : AlsText(v, FParser.Format);
}

std::vector<std::string> TbbInterpreter::VariablenZeilen(const TbbVariables& v) const {
  std::vector<std::string> r;
  for (int i = 0; i < v.Count(); ++i) r.push_back(v.GetName(i) + "=" + WertText(v.GetValue(i)));
  return r;
}

}  // namespace t21::script
