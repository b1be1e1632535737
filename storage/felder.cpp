#include "storage/felder.h"

#include <cmath>
#include <type_traits>

#include "model/elements.h"

namespace t21 {

namespace {

struct TText {
  const char* Tabelle;
  const char* Spalte;
  const char* Label;
  const char* Einheit;
};

// Labels and units of the input fields, in the order of the dialogs.
const TText kTexte[] = {
    // common element record
    {"CDSHyd", "GELAENDE", "Gelände / Deckel oben", "m + NN"},
    {"CDSHyd", "RW", "Rechtswert", "m"},
    {"CDSHyd", "HW", "Hochwert", "m"},
    {"CDSHyd", "STRASSE", "Straße", ""},
    {"CDSHyd", "MEMO", "Notiz", ""},
    {"CDSHyd", "Script", "Script", ""},
    {"CDSHyd", "ScriptAktiv", "aktiv", ""},
    // project record
    {"CDSNet", "NUMMER", "Projektnummer", ""},
    {"CDSNet", "PROJEKTNAME", "Projektname", ""},
    {"CDSNet", "DATUM", "Datum der Projekt-Erstellung", ""},
    {"CDSNet", "VARIANTE", "Variante", ""},
    {"CDSNet", "AUFTRAGGEBER", "Auftraggeber", ""},
    {"CDSNet", "HNA", "mittlere Jahresniederschlagshöhe hNa", "mm"},
    {"CDSNet", "PSIA", "Jahresabflussbeiwert PSIa", "-"},
    {"CDSNet", "mNN", "mittlere Geländehöhe", "mNN"},
    {"CDSNet", "ZEBEV", "Berechnung Niederschlagsabfluß", ""},
    {"CDSNet", "CrBSB", "BSB5", "mg/l"},
    {"CDSNet", "CRNH4", "N ges", "mg/l"},
    {"CDSNet", "crT", "Wassertemperatur", "°C"},
    {"CDSNet", "dnBSB", "BSB5", "mg/l"},
    {"CDSNet", "dnNH4", "N ges", "mg/l"},
    {"CDSNet", "crDO2", "O2-Defizit", "%"},
    {"CDSNet", "CRPH", "pH-Wert", "-"},
    {"CDSNet", "CRALK", "Alkalinität", "mmol/l"},
    {"CDSNet", "NAM", "Wasserhaushaltsmodell anwenden", ""},
    {"CDSNet", "cS", "Anpassung Bodenspeicher cS", "-"},
    {"CDSNet", "cM", "Schmelzfaktor Schnee cM", "mm/d"},
    {"CDSNet", "cI", "Größe Interzeptionsspeicher cI", "mm"},
    {"CDSKOS", "R5", "5 min", "l/(s*ha)"},
    {"CDSKOS", "R10", "10 min", "l/(s*ha)"},
    {"CDSKOS", "R15", "15 min", "l/(s*ha)"},
    {"CDSKOS", "R20", "20 min", "l/(s*ha)"},
    {"CDSKOS", "R30", "30 min", "l/(s*ha)"},
    {"CDSKOS", "R45", "45 min", "l/(s*ha)"},
    {"CDSKOS", "R60", "60 min", "l/(s*ha)"},
    {"CDSKOS", "R90", "90 min", "l/(s*ha)"},
    {"CDSKOS", "R120", "2 h", "l/(s*ha)"},
    {"CDSKOS", "R180", "3 h", "l/(s*ha)"},
    {"CDSKOS", "R240", "4 h", "l/(s*ha)"},
    {"CDSKOS", "R360", "6 h", "l/(s*ha)"},
    {"CDSKOS", "R540", "9 h", "l/(s*ha)"},
    {"CDSKOS", "R720", "12 h", "l/(s*ha)"},
    {"CDSKOS", "R1080", "18 h", "l/(s*ha)"},
    {"CDSKOS", "R1440", "24 h", "l/(s*ha)"},
    {"CDSKOS", "R2880", "48 h", "l/(s*ha)"},
    {"CDSKOS", "R4320", "72 h", "l/(s*ha)"},
    // catchments
    {"CDSKEZ", "ED", "Einwohnerdichte ED", "E/ha"},
    {"CDSKEZ", "WS", "Wasserverbrauch ws", "l/(E*d)"},
    {"CDSKEZ", "X", "Stundenmittel x", "h/d"},
    {"CDSKEZ", "QG", "gewerbliche Abflussspende qg", "l/(s*ha)"},
    {"CDSKEZ", "AG", "Arbeitsstunden ag", "h/d"},
    {"CDSKEZ", "BG", "Arbeitstage bg", "d/a"},
    {"CDSKEZ", "QF", "Fremdwasserspende qf", "l/(s*ha)"},
    {"CDSKEZ", "PQRT24", "Regenwasser aus Trennsystemen", "%"},
    {"CDSKEZ", "CHBSB", "BSB5", "mg/l"},
    {"CDSKEZ", "CHNH4", "NH4-N", "mg/l"},
    {"CDSKEZ", "CHPH", "pH-Wert", "-"},
    {"CDSKEZ", "CHCSB", "CSB", "mg/l"},
    {"CDSKEZ", "CGBSB", "BSB5", "mg/l"},
    {"CDSKEZ", "CGNH4", "NH4-N", "mg/l"},
    {"CDSKEZ", "CGPH", "pH-Wert", "-"},
    {"CDSKEZ", "CGCSB", "CSB", "mg/l"},
    {"CDSKEZ", "NGM", "mittlere Geländeneigungsgruppe NGm", "-"},
    {"CDSKEZ", "Q1", "Niederschlagsabfluss Q1", "l/s"},
    {"CDSKEZ", "TF", "Fließzeit TF", "min"},
    {"CDSKEZ", "PSIb", "Abflussbeiwert befestigter Flächen PSIb", "-"},
    {"CDSKEZ", "PSIa", "Abflussbeiwert unbefestigter Flächen PSIa", "-"},
    {"CDSKEZ", "N", "Anzahl Speicher N", "-"},
    {"CDSKEZ", "K", "Speicherkonstante K", "min"},
    {"CDSKEZ", "MV", "Muldenverlust MV", "mm"},
    {"CDSKEZ", "BV", "Benetzungsverlust BV", "mm"},
    {"CDSKEZ", "SWGL", "Trockenwetterganglinie", ""},
    {"CDSKEZ", "FWGL", "Fremdwasserganglinie", ""},
    {"CDSAEK", "Bezeichnung", "Bezeichnung", ""},
    {"CDSAEK", "AE", "AE", "ha"},
    {"CDSAEK", "B", "B", "%"},
    {"CDSAEK", "PSI", "fD", "-"},
    {"CDSAEK", "Kategorie", "Kategorie", ""},
    // structures
    {"CDSEbw", "QM", "Drosselabfluss Qm", "l/s"},
    {"CDSEbw", "V", "Speichervolumen V", "cbm"},
    {"CDSEbw", "MaxQKUE", "max QKUE", "l/s"},
    {"CDSEbw", "Nebenschluss", "Nebenschluss", ""},
    {"CDSEbw", "Ased", "Absetzfläche Ased", "m²"},
    {"CDSEbw", "O2DefizitKUE", "Klärüberlauf", "%"},
    {"CDSEbw", "O2DefizitBUE", "Beckenüberlauf", "%"},
    {"CDSEbw", "xDI", "längengewichtetes Produkt dI", "m"},
    // treatment plant
    {"CDSKlg", "BSB", "BSB5", "mg/l"},
    {"CDSKlg", "NH4", "NH4-N", "mg/l"},
    {"CDSKlg", "PH", "pH-Wert", "-"},
    {"CDSKlg", "ALK", "Alkalinität", "mmol/l"},
    {"CDSKlg", "O2Defizit", "O2-Defizit", "%"},
    // site-specific measure
    {"CDSOma", "ART", "Art der Maßnahme", ""},
    {"CDSOma", "QD", "Drosselabfluss QD", "l/s"},
    {"CDSOma", "N", "Überlaufhäufigkeit n", "1/a"},
    {"CDSOma", "Volumen", "Speichervolumen", "cbm"},
    {"CDSOma", "MaxQKUE", "max QKUE", "l/s"},
    {"CDSOma", "Nebenschluss", "Nebenschluss", ""},
    {"CDSOma", "BSB", "BSB5", "%"},
    {"CDSOma", "NH4", "N anorg ges", "%"},
    {"CDSOma", "AFS", "AFS63", "%"},
    {"CDSOma", "CSB", "CSB", "%"},
    {"CDSOma", "PH", "pH-Wert", "-"},
    {"CDSOma", "ALK", "Alkalinität", "mmol/l"},
    {"CDSOma", "DO2", "O2-Defizit Drossel", "%"},
    {"CDSOma", "DO2KUE", "O2-Defizit KÜ / FÜ", "%"},
    {"CDSOma", "DO2BUE", "O2-Defizit BÜ", "%"},
    // discharge point
    {"CDSEst", "SOLO", "Sohle oben", "mNN"},
    {"CDSEst", "SOLU", "Sohle unten", "mNN"},
    {"CDSEst", "LEN", "Länge", "m"},
    {"CDSEst", "BSO", "Sohlbreite", "m"},
    {"CDSEst", "HB", "Böschungshöhe", "m"},
    {"CDSEst", "BWSP", "Wasserspiegelbreite bei Böschungshöhe", "m"},
    {"CDSEst", "KST", "Strickler-Beiwert kst", "m^(1/3)/s"},
    {"CDSEst", "HMNQ", "Fließtiefe bei MNQ", "m"},
    {"CDSEst", "VMNQ", "Fließgeschwindigkeit bei MNQ", "m/s"},
    {"CDSEst", "QD", "Drosselabfluss", "l/s"},
    {"CDSEst", "Volumen", "Volumen", "cbm"},
    {"CDSEst", "Abflussdrosselung", "Abflussdrosselung", ""},
    {"CDSEst", "QUELLE", "Quellbereich", ""},
    {"CDSEst", "QUELLLAUF", "Quelllauf", ""},
    {"CDSEst", "TEMPORAER", "temporäres Gewässer", ""},
    {"CDSEst", "ORGANISCH", "organisch geprägtes Gewässer", ""},
    {"CDSEst", "STAU", "staureguliert", ""},
    {"CDSEst", "Salmoniden", "Salmonidengewässer", ""},
    {"CDSEst", "AE0", "AEo", "km^2"},
    {"CDSEst", "_MNQ", "MNq", "l/(s * km^2)"},
    {"CDSEst", "_HQ1", "Hq1 p nat", "l/(s * km^2)"},
    {"CDSEst", "LQUELL", "Quellabstand", "m"},
    {"CDSEst", "LAGE", "Lage", ""},
    {"CDSEst", "X", "x", "-"},
    {"CDSEst", "BSB", "BSB5", "mg/l"},
    {"CDSEst", "NH4", "NH4-N", "mg/l"},
    {"CDSEst", "AFS", "AFS63", "mg/l"},
    {"CDSEst", "CSB", "CSB", "mg/l"},
    {"CDSEst", "PH", "pH-Wert bei MNQ", "-"},
    {"CDSEst", "ALK", "Alkalinität bei MNQ", "mmol/l"},
    {"CDSEst", "EUTROPH", "Eutrophierung", ""},
    {"CDSEst", "GUETE", "Gewässergüteklasse", ""},
    {"CDSEst", "STRUKTUR", "Strukturgüteklasse", ""},
    {"CDSEst", "WBP1StrukturO", "Strukturen oberhalb", ""},
    {"CDSEst", "WBP1StrukturU", "Strukturen unterhalb", ""},
    {"CDSEst", "WBP1ZuflussO", "Zuflüsse oberhalb", ""},
    {"CDSEst", "WBP1ZuflussU", "Zuflüsse unterhalb", ""},
    {"CDSEst", "WBP1AufUndAb", "Auf- und Abwanderungshindernisse", ""},
    {"CDSEst", "WBP1Aufwander", "Aufwanderungshindernisse", ""},
    // connector, rain gauge
    {"CDSCON", "TF", "Fließzeit TF", "min"},
    {"CDSREG", "FileName", "Regendatei", ""},
};

const TText* Text(std::string_view tabelle, std::string_view spalte) {
  for (const TText& t : kTexte)
    if (tabelle == t.Tabelle && spalte == t.Spalte) return &t;
  return nullptr;
}

}  // namespace

bool TFeldBeschreibung::ImBereich(double v) const {
  if (!std::isfinite(v)) return false;
  if (Min && v < *Min) return false;
  if (Max && v > *Max) return false;
  return true;
}

std::optional<TFeldBeschreibung> Feld(std::string_view tabelle, std::string_view spalte) {
  const auto schema = ProjektSchema(tabelle);
  if (!schema) return std::nullopt;
  const int i = schema->Index(spalte);
  if (i < 0) return std::nullopt;
  const TFeld& c = schema->Felder[static_cast<size_t>(i)];
  TFeldBeschreibung f;
  f.Tabelle = std::string(tabelle);
  f.Spalte = c.Name;
  f.Typ = c.Typ;
  f.Min = c.Min;
  f.Max = c.Max;
  f.Vorgabe = c.Vorgabe;
  f.Label = c.Name;
  if (const TText* t = Text(tabelle, c.Name)) {
    f.Label = t->Label;
    f.Einheit = t->Einheit;
  }
  return f;
}

std::string TabelleVon(std::string_view typ) {
  const std::string code = NeuerTypcode(typ);
  if (code == "NET") return "CDSNet";
  if (code == "KEM" || code == "KES" || code == "KER") return "CDSKEZ";
  if (code == "RU" || code == "RUB" || code == "RKB") return "CDSEbw";
  if (code == "KLG") return "CDSKlg";
  if (code == "OMA") return "CDSOma";
  if (code == "EST") return "CDSEst";
  if (code == "CON") return "CDSCON";
  if (code == "REG") return "CDSREG";
  if (code == "AEO") return "CDSAEO";
  if (code == "VBE") return "CDSVBE";
  return {};
}

std::vector<TFeldBeschreibung> FelderVon(std::string_view typ) {
  std::vector<TFeldBeschreibung> r;
  if (!CreateHydElement(typ)) return r;
  const std::string tabelle = TabelleVon(typ);
  auto alle = [&](const std::string& name) {
    const auto schema = ProjektSchema(name);
    if (!schema) return;
    // The fields with a label first, in the dialog's order; then the rest.
    for (const TText& t : kTexte)
      if (name == t.Tabelle)
        if (auto f = Feld(name, t.Spalte)) r.push_back(*f);
    for (const TFeld& c : schema->Felder)
      if (c.Name != "ID" && !Text(name, c.Name))
        if (auto f = Feld(name, c.Name)) r.push_back(*f);
  };
  if (!tabelle.empty()) alle(tabelle);
  if (tabelle == "CDSNet") alle("CDSKOS");
  if (tabelle == "CDSKEZ") alle("CDSAEK");
  for (const char* s : {"GELAENDE", "RW", "HW", "STRASSE", "MEMO", "Script", "ScriptAktiv"})
    r.push_back(*Feld("CDSHyd", s));
  return r;
}

namespace {

template <class T>
struct TMitglied;
template <class K, class W>
struct TMitglied<W K::*> {
  using Klasse = K;
  using Wert = W;
};

// A member as a value: switches, whole numbers, texts; everything else
// that is a number (a pH field among them) as a double.
template <class W>
TWert AlsWert(const W& v) {
  if constexpr (std::is_same_v<W, bool> || std::is_same_v<W, std::string>)
    return TWert(v);
  else if constexpr (std::is_integral_v<W>)
    return TWert(static_cast<int32_t>(v));
  else
    return TWert(static_cast<double>(v));
}

template <class W>
void Zuweisen(W& ziel, const TWert& w) {
  if constexpr (std::is_same_v<W, bool>)
    ziel = AlsBool(w);
  else if constexpr (std::is_same_v<W, std::string>)
    ziel = AlsText(w);
  else if constexpr (std::is_integral_v<W>)
    ziel = AlsGanzzahl(w);
  else
    ziel = AlsZahl(w);
}

// A member F of the element.
template <auto F>
TWert Lies(const TElement& e) {
  using K = typename TMitglied<decltype(F)>::Klasse;
  return AlsWert(static_cast<const K&>(e).*F);
}
template <auto F>
void Schreib(TElement& e, const TWert& w) {
  using K = typename TMitglied<decltype(F)>::Klasse;
  Zuweisen(static_cast<K&>(e).*F, w);
}
template <auto F>
TElementFeld Wert(const char* spalte, const char* datei, const char* csv, bool eingabe = true) {
  return {spalte, datei, csv, &Lies<F>, &Schreib<F>, eingabe};
}

// A value F of the element's quality record P.
template <auto P, auto F>
TWert LiesSatz(const TElement& e) {
  using K = typename TMitglied<decltype(P)>::Klasse;
  return AlsWert((static_cast<const K&>(e).*P).*F);
}
template <auto P, auto F>
void SchreibSatz(TElement& e, const TWert& w) {
  using K = typename TMitglied<decltype(P)>::Klasse;
  Zuweisen((static_cast<K&>(e).*P).*F, w);
}
template <auto P, auto F>
TElementFeld Satz(const char* spalte, const char* csv, bool eingabe = true) {
  return {spalte, nullptr, csv, &LiesSatz<P, F>, &SchreibSatz<P, F>, eingabe};
}

// A member F of the element kept as it is when the file has no value.
template <auto F>
void SchreibWennDa(TElement& e, const TWert& w) {
  if (!IstNull(w)) Schreib<F>(e, w);
}
template <auto F>
TElementFeld WertWennDa(const char* spalte, const char* datei, const char* csv) {
  return {spalte, datei, csv, &Lies<F>, &SchreibWennDa<F>, true};
}
// A value F of the element's part P (a quality record, a profile).
template <auto P, auto F>
TElementFeld Teil(const char* spalte, const char* datei, const char* csv = nullptr,
                  bool eingabe = true) {
  return {spalte, datei, csv, &LiesSatz<P, F>, &SchreibSatz<P, F>, eingabe};
}

// The project record. Its GetData hands the table to SetData, which derives
// the saturation and the rain water's oxygen from temperature and altitude
// and takes the rain series; values that older files lack stay as they are.
const std::vector<TElementFeld> kNET = {
    Wert<&TNET::Nummer>("NUMMER", "NUMMER", nullptr),
    Wert<&TNET::ProjektName>("PROJEKTNAME", "PROJEKTNAME", nullptr),
    Wert<&TNET::Auftraggeber>("AUFTRAGGEBER", "AUFTRAGGEBER", nullptr),
    Wert<&TNET::Variante>("VARIANTE", "VARIANTE", nullptr),
    WertWennDa<&TNET::Datum>("DATUM", "DATUM", nullptr),
    WertWennDa<&TNET::HNA>("HNA", "HNA", nullptr),
    WertWennDa<&TNET::PSIa>("PSIA", "PSIA", nullptr),
    Wert<&TNET::ZEBEV>("ZEBEV", "ZEBEV", nullptr),
    Wert<&TNET::NAM>("NAM", "NAM", nullptr),
    WertWennDa<&TNET::cS>("cS", "cS", nullptr),
    WertWennDa<&TNET::cI>("cI", "cI", nullptr),
    WertWennDa<&TNET::cM>("cM", "cM", nullptr),
    WertWennDa<&TNET::crCSB>(nullptr, "crCSB", nullptr),
    WertWennDa<&TNET::ckCSB>(nullptr, "ckCSB", nullptr),
    WertWennDa<&TNET::ctAFS63>(nullptr, "ctAFS63", nullptr),
    WertWennDa<&TNET::ckAFS63>(nullptr, "ckAFS63", nullptr),
    WertWennDa<&TNET::Temperatur>("crT", "Temperatur", nullptr),
    WertWennDa<&TNET::mNN>("mNN", "mNN", nullptr),
    {"R15", nullptr, nullptr,
     [](const TElement& e) { return TWert(static_cast<const TNET&>(e).Spenden.GetR15()); }, nullptr,
     false},
    {"Regenreihe", nullptr, nullptr,
     [](const TElement& e) { return TWert(static_cast<const TNET&>(e).Spenden.name); }, nullptr,
     false},
    Satz<&TNET::CR, &TParameter::BSB>("CrBSB", nullptr),
    Satz<&TNET::CR, &TParameter::NH4>("CRNH4", nullptr),
    Satz<&TNET::CR, &TParameter::PH>("CRPH", nullptr),
    Satz<&TNET::CR, &TParameter::ALK>("CRALK", nullptr),
    Satz<&TNET::cDN, &TParameter::BSB>("dnBSB", nullptr),
    Satz<&TNET::cDN, &TParameter::NH4>("dnNH4", nullptr),
    Wert<&TNET::crDO2>("crDO2", nullptr, nullptr),
};

// Catchments. The concentrations go into the file as quality records of
// their own; the alkalinity follows from the pH when the element takes its
// inputs, so the table only shows it.
const std::vector<TElementFeld> kKEZ = {
    Satz<&TKEZ::CH, &TParameter::BSB>("CHBSB", "CH BSB5"),
    Satz<&TKEZ::CH, &TParameter::NH4>("CHNH4", "CH NH4-N"),
    Satz<&TKEZ::CH, &TParameter::AFS>("CHAFS", "CH AFS"),
    Satz<&TKEZ::CH, &TParameter::CSB>("CHCSB", "CH CSB"),
    Satz<&TKEZ::CH, &TParameter::PH>("CHPH", "CH pH"),
    Satz<&TKEZ::CH, &TParameter::ALK>("CHALK", "CH ALK", false),
    Satz<&TKEZ::CG, &TParameter::BSB>("CGBSB", "CG BSB5"),
    Satz<&TKEZ::CG, &TParameter::NH4>("CGNH4", "CG NH4-N"),
    Satz<&TKEZ::CG, &TParameter::AFS>("CGAFS", "CG AFS"),
    Satz<&TKEZ::CG, &TParameter::CSB>("CGCSB", "CG CSB"),
    Satz<&TKEZ::CG, &TParameter::PH>("CGPH", "CG pH"),
    Satz<&TKEZ::CG, &TParameter::ALK>("CGALK", "CG ALK", false),
    Wert<&TKEZ::NGM>("NGM", "NGM", "NGM"),
    Wert<&TKEZ::ED>("ED", "ED", "ED"),
    Wert<&TKEZ::WS>("WS", "WS", "WS"),
    Wert<&TKEZ::QG>("QG", "QG", "QG"),
    Wert<&TKEZ::AG>("AG", "AG", "AG"),
    Wert<&TKEZ::BG>("BG", "BG", "BG"),
    Wert<&TKEZ::QF>("QF", "QF", "QF"),
    Wert<&TKEZ::PQRT24>("PQRT24", "PQRT24", "PQRT24"),
    Wert<&TKEZ::X>("X", "X", "X"),
    Wert<&TKEZ::PSIa>("PSIa", "PSIa", "PSIa"),
    // the computed runoff coefficient, headed PSIe in the text
    Wert<&TKEZ::PSIs>("PSI", "PSI", "PSIe", false),
    Wert<&TKEZ::AE>("AEK", "AEK", "AE", false),
    Wert<&TKEZ::TF>("TF", "TF", "TF"),
    // the computed degree of sealing: rounded in the table, 0 in the file
    {"B", nullptr, nullptr,
     [](const TElement& e) {
       return TWert(static_cast<int32_t>(std::lround(static_cast<const TKEZ&>(e).B)));
     },
     nullptr, false},
    {nullptr, "B", nullptr, [](const TElement&) { return TWert(int32_t{0}); },
     [](TElement& e, const TWert& w) { static_cast<TKEZ&>(e).B = AlsGanzzahl(w); }, false},
    {nullptr, nullptr, "B", &Lies<&TKEZ::B>, nullptr, false},
    Wert<&TKEZ::QR1>("Q1", "Q1", "QR1"),
    Wert<&TKEZ::SWGL>("SWGL", "SWGL", "SW-GANGL."),
    Wert<&TKEZ::FWGL>("FWGL", "FWGL", "FW-GANGL."),
    // a whole number of reservoirs in every place
    {"N", "N", "n", &Lies<&TKEZ::N>,
     [](TElement& e, const TWert& w) { static_cast<TKEZ&>(e).N = AlsGanzzahl(w); }, true},
    Wert<&TKEZ::K>("K", "K", "k"),
    Wert<&TKEZ::MV>("MV", "MV", "MV"),
    Wert<&TKEZ::BV>("BV", "BV", "BV"),
    Wert<&TKEZ::PSIe>("PSIb", "PSIe", nullptr),
};

// Structures: the tanks' table, and in the project file the record of
// every structure (discharge points and measures too). Older files may lack
// Ased; it then stays as it is.
const std::vector<TElementFeld> kEBW = {
    Wert<&TBauwerk::QD>("QM", "QD", nullptr),
    Wert<&TBauwerk::Volumen>("V", "V", nullptr),
    Wert<&TBauwerk::Nebenschluss>("Nebenschluss", "Nebenschluss", nullptr),
    Wert<&TBauwerk::MaxQKUE>("MaxQKUE", "MaxQKUE", nullptr),
    Wert<&TBauwerk::DO2BUE>("O2DefizitBUE", "O2DefizitBUE", nullptr),
    Wert<&TBauwerk::Do2KUE>("O2DefizitKUE", "O2DefizitKUE", nullptr),
    {"Ased", "Ased", nullptr, &Lies<&TBauwerk::Ased>,
     [](TElement& e, const TWert& w) {
       if (!IstNull(w)) static_cast<TBauwerk&>(e).Ased = AlsZahl(w);
     },
     true},
    Wert<&TBauwerk::rkrit>("rkrit", "rkrit", nullptr),
    Wert<&TBauwerk::xDI>("xDI", "xDI", nullptr),
};

// Treatment plant: the effluent. The element takes its inputs together with
// the project's COD and AFS63 effluent (SetData), so they are read back by
// the plant's GetData.
const std::vector<TElementFeld> kKLG = {
    Satz<&TKLG::ETA, &TParameter::BSB>("BSB", "eta BSB5"),
    Satz<&TKLG::ETA, &TParameter::NH4>("NH4", "eta NH4-N"),
    Satz<&TKLG::ETA, &TParameter::AFS>("AFS", "eta AFS", false),
    Satz<&TKLG::ETA, &TParameter::CSB>("CSB", "eta CSB", false),
    Satz<&TKLG::ETA, &TParameter::PH>("PH", "eta pH"),
    Satz<&TKLG::ETA, &TParameter::ALK>("ALK", "eta ALK"),
    Satz<&TKLG::ETA, &TParameter::DO2>("O2Defizit", nullptr),
};

// A removal rate of a measure: a fraction on the element, in % in the table.
template <double TParameter::*F>
TElementFeld Prozent(const char* spalte) {
  return {spalte,
          nullptr,
          nullptr,
          [](const TElement& e) { return TWert(static_cast<const TOMA&>(e).ETA.*F * 100); },
          [](TElement& e, const TWert& w) { static_cast<TOMA&>(e).ETA.*F = AlsZahl(w) / 100; },
          true};
}

// Site-specific measure. Its structure values go into the file's structure
// record (above); the removal rates, effluent values and deficits into a
// quality record of their own. Its GetData passes the table to SetData,
// which also sets the structure values it has no column for.
const std::vector<TElementFeld> kOMA = {
    Wert<&TOMA::Art>("ART", "ART", "ART"),
    {"N", "N", "n", &Lies<&TOMA::N>,
     [](TElement& e, const TWert& w) {
       if (!IstNull(w)) static_cast<TOMA&>(e).N = AlsZahl(w);
     },
     true},
    Satz<&TOMA::ETA, &TParameter::BSB>(nullptr, "eta BSB5"),
    Satz<&TOMA::ETA, &TParameter::NH4>(nullptr, "eta NH4-N"),
    Satz<&TOMA::ETA, &TParameter::AFS>(nullptr, "eta AFS"),
    Satz<&TOMA::ETA, &TParameter::CSB>(nullptr, "eta CSB"),
    Satz<&TOMA::ETA, &TParameter::PH>("PH", "eta pH"),
    Satz<&TOMA::ETA, &TParameter::ALK>("ALK", "eta ALK"),
    Wert<&TOMA::QD>("QD", nullptr, "QD"),
    Wert<&TOMA::MaxQKUE>("MaxQKUE", nullptr, "maxQKÜ"),
    Wert<&TOMA::Volumen>("Volumen", nullptr, "VOLUMEN"),
    Wert<&TOMA::Nebenschluss>("Nebenschluss", nullptr, "Nebenschluss"),
    Prozent<&TParameter::BSB>("BSB"),
    Prozent<&TParameter::NH4>("NH4"),
    Prozent<&TParameter::AFS>("AFS"),
    Prozent<&TParameter::CSB>("CSB"),
    Satz<&TOMA::ETA, &TParameter::DO2>("DO2", nullptr),
    Wert<&TOMA::DO2BUE>("DO2BUE", nullptr, nullptr),
    Wert<&TOMA::Do2KUE>("DO2KUE", nullptr, nullptr),
};

// Surface areas and swales (their values in the project file: the named
// values of the kinds without a record of their own).
const std::vector<TElementFeld> kAEO = {
    Wert<&TAEO::kB>("kB", nullptr, nullptr),
    Wert<&TAEO::kD>("kD", nullptr, nullptr),
};
const std::vector<TElementFeld> kVBE = {
    Wert<&TVBE::Reihe>("Regen", nullptr, nullptr),
    Wert<&TVBE::FZ>("FZ", nullptr, nullptr),
    Wert<&TVBE::Fa>("FA", nullptr, nullptr),
    Wert<&TVBE::Ls>("LS", nullptr, nullptr),
    Wert<&TVBE::Bs>("BS", nullptr, nullptr),
    Wert<&TVBE::m>("M", nullptr, nullptr),
    Wert<&TVBE::h>("Z", nullptr, nullptr),
    Wert<&TVBE::Kf>("KFS", nullptr, nullptr),
    Wert<&TVBE::KFb>("KFB", nullptr, nullptr),
    Wert<&TVBE::Vorreinigung>("Vorreinigung", nullptr, nullptr),
};

// The entered background of a discharge point: its set CV holds loads, the
// table concentrations, the pH without the surcharge of a eutrophic river.
double EingabePH(const TEST& est) {
  const double ph = est.CV.cPH();
  if (est.EUTROPH == "1" || est.EUTROPH == "2") return ph - 0.5;
  if (est.EUTROPH == "3") return ph - 1.0;
  return ph;
}
template <double (TParameter::*F)() const>
TElementFeld Hintergrund(const char* spalte) {
  return {spalte,  nullptr,
          nullptr, [](const TElement& e) { return TWert((static_cast<const TEST&>(e).CV.*F)()); },
          nullptr, false};
}

// Discharge point: its profile, river, protection and recolonisation values.
// Its GetData hands the table to SetData, which builds the background set
// with the project's oxygen saturation; the file keeps the background as a
// quality record of its own.
const std::vector<TElementFeld> kEST = {
    Teil<&TEST::Profil, &TProfil::SOLO>("SOLO", "SOLO", "Sohle oben"),
    Teil<&TEST::Profil, &TProfil::SOLU>("SOLU", "SOLU", "Sohle unten"),
    Teil<&TEST::Profil, &TProfil::LEN>("LEN", "LEN", "Länge"),
    Wert<&TEST::Drosselung>("Abflussdrosselung", "Abflussdrosselung", "Abflussdrosselung"),
    // the throttle of the point; the file keeps it in the structure record
    Wert<&TEST::QD>("QD", nullptr, "QD"),
    Wert<&TEST::MaxQKUE>(nullptr, nullptr, "maxQKUE"),
    Wert<&TEST::Volumen>("Volumen", nullptr, "Volumen"),
    Teil<&TEST::Profil, &TProfil::PB>("BSO", "BSO", "Sohlbreite"),
    Teil<&TEST::Profil, &TProfil::PH>("HB", "HB", "Böschungshöhe"),
    Teil<&TEST::Profil, &TProfil::BWSP>("BWSP", "BWSP", "Spiegelbreite"),
    {"KST", "KST", "Stricklerwert", &LiesSatz<&TEST::Profil, &TProfil::KB>,
     [](TElement& e, const TWert& w) {
       if (!IstNull(w)) static_cast<TEST&>(e).Profil.KB = AlsZahl(w);
     },
     true},
    Wert<&TEST::HMNQ>("HMNQ", "HMNQ", "Fließtiefe bei MNQ"),
    Wert<&TEST::VMNQ>("VMNQ", "VMNQ", "Fließgeschwindigkeit bei MNQ"),
    Wert<&TEST::AE0>("AE0", "AEO", "AEo"),
    Wert<&TEST::_mnq>("_MNQ", "_MNQ", "MNq"),
    Wert<&TEST::_HQ1pnat>("_HQ1", "_HQ1", "Hq1"),
    Wert<&TEST::LQuell>("LQUELL", "LQUELL", "Quellabstand"),
    WertWennDa<&TEST::X>("X", "X", "x"),
    {nullptr, nullptr, "Lage",
     [](const TElement& e) { return TWert(static_cast<double>(static_cast<const TEST&>(e).Lage)); },
     nullptr, false},
    // the background set as the element holds it (loads)
    Satz<&TEST::CV, &TParameter::BSB>(nullptr, "cv BSB5", false),
    Satz<&TEST::CV, &TParameter::NH4>(nullptr, "cv NH4-N", false),
    Satz<&TEST::CV, &TParameter::AFS>(nullptr, "cv AFS 63", false),
    Satz<&TEST::CV, &TParameter::PH>(nullptr, "cv pH", false),
    Satz<&TEST::CV, &TParameter::ALK>(nullptr, "cv ALK", false),
    Wert<&TEST::QUELL>("QUELLE", "QUELLE", "QUELLE"),
    Wert<&TEST::QUELLLAUF>("QUELLLAUF", "QUELLLAUF", "QUELLLAUF"),
    Wert<&TEST::TEMPORAER>("TEMPORAER", "TEMPORAER", "TEMPORAER"),
    Wert<&TEST::ORGANISCH>("ORGANISCH", "ORGANISCH", "ORGANISCH"),
    Wert<&TEST::STAU>("STAU", "STAU", "STAU"),
    Wert<&TEST::Salmoniden>("Salmoniden", "Salmoniden", "SALMONIDEN"),
    Wert<&TEST::GUETE>("GUETE", "GUETE", "GUETE"),
    Wert<&TEST::STRUKTUR>("STRUKTUR", "STRUKTUR", "STRUKTURGUETE"),
    // a file without the code: "0"
    {"EUTROPH", "EUTROPH", "EUTROPH", &Lies<&TEST::EUTROPH>,
     [](TElement& e, const TWert& w) {
       static_cast<TEST&>(e).EUTROPH = IstNull(w) ? std::string("0") : AlsText(w);
     },
     true},
    WertWennDa<&TEST::Lage>("LAGE", "Lage", "LAGE"),
    {nullptr, nullptr, "D0", nullptr, nullptr, false,
     [](const TElement& e, const TNET& n) {
       return TWert(static_cast<const TEST&>(e).D0(n.cO2sat));
     }},
    // the recolonisation potential; codes as texts in the table
    Teil<&TEST::WBP, &TWBP::WBP1StrukturO>("WBP1StrukturO", "StrukturO", "WBP: Struktur O"),
    Teil<&TEST::WBP, &TWBP::WBP1StrukturU>("WBP1StrukturU", "StrukturU", "WBP: Struktur U"),
    Teil<&TEST::WBP, &TWBP::WBP1Aufwander>("WBP1Aufwander", "Aufwander", "WBP: Aufwander"),
    Teil<&TEST::WBP, &TWBP::WBP1AufUndAb>("WBP1AufUndAb", "AufUndAb", "WBP: AufUndAb"),
    Teil<&TEST::WBP, &TWBP::WBP1ZuflussO>("WBP1ZuflussO", "ZuflussO", nullptr),
    Teil<&TEST::WBP, &TWBP::WBP1ZuflussU>("WBP1ZuflussU", "ZuflussU", nullptr),
    // the inflow flags read True or False in the text
    {nullptr, nullptr, "WBP: Zufluss O",
     [](const TElement& e) {
       return TWert(std::string(static_cast<const TEST&>(e).WBP.WBP1ZuflussO ? "True" : "False"));
     },
     nullptr, false},
    {nullptr, nullptr, "WBP: Zufluss U",
     [](const TElement& e) {
       return TWert(std::string(static_cast<const TEST&>(e).WBP.WBP1ZuflussU ? "True" : "False"));
     },
     nullptr, false},
    Teil<&TEST::WBP, &TWBP::WBP1Punkte>(nullptr, nullptr, "WBP: Punkte", false),
    Teil<&TEST::WBP, &TWBP::WBP1N>(nullptr, nullptr, "WBP: N", false),
    {nullptr, nullptr, "MNQ",
     [](const TElement& e) { return TWert(static_cast<const TEST&>(e).MNQ()); }, nullptr, false},
    {nullptr, nullptr, "HQ1",
     [](const TElement& e) { return TWert(static_cast<const TEST&>(e).HQ1pnat()); }, nullptr,
     false},
    // the background as entered
    Hintergrund<&TParameter::cBSB>("BSB"),
    Hintergrund<&TParameter::cNH4>("NH4"),
    Wert<&TEST::AFSgrenzwert>("AFS", nullptr, nullptr),
    Hintergrund<&TParameter::cCSB>("CSB"),
    {"PH", nullptr, nullptr,
     [](const TElement& e) { return TWert(EingabePH(static_cast<const TEST&>(e))); }, nullptr,
     false},
    Hintergrund<&TParameter::cALK>("ALK"),
};

// Connectors and rain gauges.
const std::vector<TElementFeld> kCON = {Wert<&TCON::TF>("TF", "TF", "TF")};
const std::vector<TElementFeld> kREG = {Wert<&TREG::FileName>("FileName", "FileName", "Datei")};

const std::vector<TElementFeld> kKeine;

}  // namespace

const std::vector<TElementFeld>& ElementFelder(std::string_view tabelle) {
  if (tabelle == "CDSNet") return kNET;
  if (tabelle == "CDSKEZ") return kKEZ;
  if (tabelle == "CDSEbw") return kEBW;
  if (tabelle == "CDSKlg") return kKLG;
  if (tabelle == "CDSOma") return kOMA;
  if (tabelle == "CDSAEO") return kAEO;
  if (tabelle == "CDSVBE") return kVBE;
  if (tabelle == "CDSEst") return kEST;
  if (tabelle == "CDSCON") return kCON;
  if (tabelle == "CDSREG") return kREG;
  return kKeine;
}

void FelderInTabelle(const TElement& e, std::string_view tabelle, TTabelle& t, int z) {
  for (const TElementFeld& f : ElementFelder(tabelle))
    if (f.Spalte && f.Lesen) t.Setze(z, f.Spalte, f.Lesen(e));
}

void FelderAusTabelle(TElement& e, std::string_view tabelle, const TTabelle& t, int z) {
  for (const TElementFeld& f : ElementFelder(tabelle))
    if (f.Spalte && f.Eingabe && f.Schreiben) f.Schreiben(e, t.Wert(z, f.Spalte));
}

void FelderInDatei(const TElement& e, std::string_view tabelle, TTabelle& t, int z) {
  for (const TElementFeld& f : ElementFelder(tabelle))
    if (f.Datei && f.Lesen) t.Setze(z, f.Datei, f.Lesen(e));
}

void FelderAusDatei(TElement& e, std::string_view tabelle, const TTabelle& t, int z) {
  for (const TElementFeld& f : ElementFelder(tabelle))
    if (f.Datei && f.Schreiben) f.Schreiben(e, t.Wert(z, f.Datei));
}

std::vector<std::string> FelderCSVKopf(std::string_view tabelle) {
  std::vector<std::string> r;
  for (const TElementFeld& f : ElementFelder(tabelle))
    if (f.CSV) r.emplace_back(f.CSV);
  return r;
}

std::vector<TWert> FelderCSVWerte(const TElement& e, std::string_view tabelle, const TNET& netz) {
  std::vector<TWert> r;
  for (const TElementFeld& f : ElementFelder(tabelle))
    if (f.CSV) r.push_back(f.Lesen ? f.Lesen(e) : f.LesenImNetz(e, netz));
  return r;
}

std::unique_ptr<TDataModule1> Arbeitstabellen() {
  auto dm = std::make_unique<TDataModule1>();
  for (auto& [name, t] : dm->Tabellen) {
    auto schema = std::make_shared<TSchema>(t->Schema());
    for (TFeld& f : schema->Felder) {
      f.Min.reset();
      f.Max.reset();
    }
    auto neu = std::make_unique<TTabelle>(schema);
    for (int i = 0; i < neu->Spalten(); ++i) neu->SetzeVorgabe(i, t->Vorgabe(i));
    for (auto& [code, zeiger] : dm->Dateien)
      if (zeiger == t.get()) zeiger = neu.get();
    t = std::move(neu);
  }
  return dm;
}

int FeldZeile(const TDataModule1& dm, const TFeldBeschreibung& f) {
  if (dm.Aktuell < 0) return -1;
  if (f.Tabelle == "CDSHyd") return dm.Aktuell;
  const auto it = dm.Tabellen.find(f.Tabelle);
  if (it == dm.Tabellen.end()) return -1;
  return dm.DetailZeile(*it->second);
}

}  // namespace t21
