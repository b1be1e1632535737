#include "storage/export_csv.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "model/datum.h"
#include "model/elements.h"
#include "storage/felder.h"
#include "storage/tabelle.h"

namespace t21 {

const std::array<const char*, kCSVAbschnitte> kCSVTitel = {
    "Elemente",
    "geschlossenes Siedlungsgebiet",
    "Netze",
    "Regenüberlaufbecken",
    "Regenüberläufe",
    "Regenklärbecken",
    "Kläranlagen",
    "ortspez. Maßnahme",
    "Einleitungen",
    "Connectoren",
    "Frachten und Konzentrationen",
    "Regenspenden",
    "Teilflächen",
};

namespace {

// A line of values joined by the separator.
class Zeile {
 public:
  explicit Zeile(std::string_view z, const TZahlenformat& f = TZahlenformat::Dezimalpunkt())
      : FZ(z), FF(f) {}
  Zeile& Text(std::string_view t) {
    if (!FErster) FText += FZ;
    FErster = false;
    FText += t;
    return *this;
  }
  Zeile& Zahl(double v) { return Text(CSVZahl(v, FF)); }
  Zeile& Zahlen(std::initializer_list<double> l) {
    for (double v : l) Zahl(v);
    return *this;
  }
  Zeile& Ganz(long long v) { return Text(std::to_string(v)); }
  // A value of an element's description: numbers, integers, switches, texts.
  Zeile& Wert(const TWert& w) {
    if (const auto* d = std::get_if<double>(&w)) return Zahl(*d);
    if (const auto* i = std::get_if<int32_t>(&w)) return Ganz(*i);
    if (const auto* b = std::get_if<bool>(&w)) return Bool(*b);
    return Text(AlsText(w));
  }
  Zeile& Bool(bool b) { return Text(CSVBool(b)); }
  Zeile& Texte(std::initializer_list<const char*> l) {
    for (const char* t : l) Text(t);
    return *this;
  }
  const std::string& Str() const { return FText; }

 private:
  std::string_view FZ;
  TZahlenformat FF;
  std::string FText;
  bool FErster = true;
};

std::string Kopf(std::string_view z, std::initializer_list<const char*> namen) {
  return Zeile(z).Texte(namen).Str();
}

constexpr const char* kDauerstufenText[18] = {
    "5 min", "10 min", "15 min", "20 min", "30 min", "45 min", "60 min", "90 min", "120 min",
    "3 h",   "4 h",    "6 h",    "9 h",    "12 h",   "18 h",   "24 h",   "48 h",   "72 h"};

}  // namespace

std::string CSVZahl(double v) {
  return CSVZahl(v, TZahlenformat::Dezimalpunkt());
}

std::string CSVZahl(double v, const TZahlenformat& f) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";  // also -0
  char b[64];
  const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::general, 15);
  std::string s(b, r.ptr);
  // Exponent as "E-5" / "E20": upper case, no plus sign, no leading zeros.
  const auto e = s.find('e');
  if (e != std::string::npos) {
    std::string mantisse = s.substr(0, e);
    std::string exp = s.substr(e + 1);
    std::string vorzeichen;
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
      if (exp[0] == '-') vorzeichen = "-";
      exp.erase(0, 1);
    }
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    s = mantisse + "E" + vorzeichen + exp;
  }
  if (const auto p = s.find('.'); p != std::string::npos) s.replace(p, 1, f.Dezimal);
  return s;
}

std::string CSVBool(bool b) {
  return b ? "-1" : "0";
}

std::string CSVDatum(double d) {
  return CSVDatum(d, TZahlenformat::Dezimalpunkt());
}

std::string CSVDatum(double d, const TZahlenformat& f) {
  const TDatumTeile t = DecodeDateTime(d);
  auto zwei = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  std::string r;
  const std::string& m = f.Datum;
  for (size_t i = 0; i < m.size();) {
    size_t n = 1;
    while (i + n < m.size() && m[i + n] == m[i]) ++n;
    const char c = m[i];
    if (c == 'd')
      r += n >= 2 ? zwei(t.Tag) : std::to_string(t.Tag);
    else if (c == 'M')
      r += n >= 2 ? zwei(t.Monat) : std::to_string(t.Monat);
    else if (c == 'y')
      r += n >= 4 ? std::to_string(t.Jahr) : zwei(t.Jahr % 100);
    else
      r.append(n, c);
    i += n;
  }
  return r;
}

namespace {

// A locale's short date pattern from the C library's date format
// ("%d.%m.%Y" → "dd.MM.yyyy"); empty for a conversion it does not know.
std::string DatumsmusterAus(const std::string& d) {
  std::string r;
  for (size_t i = 0; i < d.size(); ++i) {
    if (d[i] != '%') {
      r += d[i];
      continue;
    }
    if (++i == d.size()) return {};
    switch (d[i]) {
      case 'd':
        r += "dd";
        break;
      case 'e':
        r += "d";
        break;
      case 'm':
        r += "MM";
        break;
      case 'Y':
        r += "yyyy";
        break;
      case 'y':
        r += "yy";
        break;
      default:
        return {};
    }
  }
  return r;
}

bool Gesetzt(const char* v) {
  return v && *v;
}

// The locale named for a category: LC_ALL, then the category, then LANG.
std::string Gebietsschema(const char* lcAll, const char* kategorie, const char* lang) {
  if (Gesetzt(lcAll)) return lcAll;
  if (Gesetzt(kategorie)) return kategorie;
  if (Gesetzt(lang)) return lang;
  return {};
}

bool IstC(const std::string& n) {
  return n.empty() || n == "C" || n == "POSIX" || n.rfind("C.", 0) == 0;
}

}  // namespace

TZahlenformat ZahlenformatAus(const char* lcAll, const char* lcNumeric, const char* lcTime,
                              const char* lang) {
  TZahlenformat f = TZahlenformat::Deutsch();
  const std::string zahlen = Gebietsschema(lcAll, lcNumeric, lang);
  if (!IstC(zahlen)) {
    if (locale_t l = newlocale(LC_NUMERIC_MASK, zahlen.c_str(), locale_t(0))) {
      const char* p = nl_langinfo_l(RADIXCHAR, l);
      if (p && *p) f.Dezimal = p;
      freelocale(l);
    }
  }
  const std::string zeit = Gebietsschema(lcAll, lcTime, lang);
  if (!IstC(zeit)) {
    if (locale_t l = newlocale(LC_TIME_MASK, zeit.c_str(), locale_t(0))) {
      const char* d = nl_langinfo_l(D_FMT, l);
      if (d) {
        if (const std::string m = DatumsmusterAus(d); !m.empty()) f.Datum = m;
      }
      freelocale(l);
    }
  }
  return f;
}

TZahlenformat ZahlenformatAusUmgebung() {
  return ZahlenformatAus(std::getenv("LC_ALL"), std::getenv("LC_NUMERIC"), std::getenv("LC_TIME"),
                         std::getenv("LANG"));
}

int CSVAbschnitt(const TElement& e) {
  if (dynamic_cast<const TNET*>(&e)) return 1;
  if (dynamic_cast<const TKEM*>(&e) || dynamic_cast<const TKES*>(&e) ||
      dynamic_cast<const TKER*>(&e))
    return 2;
  if (dynamic_cast<const TRUB*>(&e)) return 3;
  if (dynamic_cast<const TRU*>(&e)) return 4;
  if (dynamic_cast<const TRKB*>(&e)) return 5;
  if (dynamic_cast<const TKLG*>(&e)) return 6;
  if (dynamic_cast<const TOMA*>(&e)) return 7;
  if (dynamic_cast<const TEST*>(&e)) return 8;
  if (dynamic_cast<const TCON*>(&e)) return 9;
  return 0;
}

std::string CSVKlasse(const TElement& e) {
  if (dynamic_cast<const TNET*>(&e)) return "Siedlungsgebiet";
  if (dynamic_cast<const TKEM*>(&e)) return "MW-Netz";
  if (dynamic_cast<const TKES*>(&e)) return "SW-Netz";
  if (dynamic_cast<const TKER*>(&e)) return "RW-Netz";
  if (dynamic_cast<const TRUB*>(&e)) return "Regenüberlaufbecken";
  if (dynamic_cast<const TRU*>(&e)) return "Regenüberlauf";
  if (dynamic_cast<const TRKB*>(&e)) return "Regenklärbecken";
  if (dynamic_cast<const TKLG*>(&e)) return "Kläranlage";
  if (dynamic_cast<const TOMA*>(&e)) return "ortspez. Maßnahme";
  if (dynamic_cast<const TEST*>(&e)) return "Einleitungsstelle";
  if (dynamic_cast<const TCON*>(&e)) return "Connector";
  return {};
}

std::string CSVHeader(const TElement& e, std::string_view z) {
  switch (CSVAbschnitt(e)) {
    case 1:
      return Kopf(z, {"ELEMENT", "Nummer", "Name", "Variante", "Auftraggeber", "Datum", "HNA",
                      "PSIa", "ZEBEV"});
    case 2: {
      // The project's rain water, then the catchment's own values.
      Zeile r(z);
      r.Texte({"ELEMENT", "CR BSB5", "CR NH4-N", "CR AFS", "CR CSB", "CR pH", "CR ALK",
               "CR BSB5 (dN)", "CR NH4-N (dN)", "CR AFS (dN)"});
      for (const std::string& k : FelderCSVKopf("CDSKEZ")) r.Text(k);
      return r.Str();
    }
    case 3:
      return Kopf(z,
                  {"Element", "QD",    "QKRIT", "maxQKÜ", "VOLUMEN", "NEBENSCHLUSS", "E0",  "ct",
                   "cb",      "ce",    "ac",    "ah",     "n",       "Qr24",         "_qr", "_qt",
                   "af",      "QRE",   "QRMIN", "m",      "m_erf",   "xa",           "VS",  "V",
                   "QRKRIT",  "Rkrit", "VSMIN"});
    case 4:
      return Kopf(z, {"ELEMENT", "QD", "QKRIT", "ct", "m", "m_erf", "QRKRIT", "Rkrit", "QD_erf"});
    case 5:
      return Kopf(z, {"ELEMENT", "QD", "Qkrit", "maxQKÜ", "VOLUMEN", "NEBENSCHLUSS"});
    case 6:
    case 7:
    case 8: {
      const int s = CSVAbschnitt(e);
      Zeile r(z);
      r.Text("ELEMENT");
      for (const std::string& k : FelderCSVKopf(s == 6 ? "CDSKlg" : s == 7 ? "CDSOma" : "CDSEst"))
        r.Text(k);
      return r.Str();
    }
    case 9:
    default: {
      const char* tabelle = dynamic_cast<const TCON*>(&e)   ? "CDSCON"
                            : dynamic_cast<const TREG*>(&e) ? "CDSREG"
                                                            : "";
      Zeile r(z);
      r.Text("ELEMENT");
      for (const std::string& k : FelderCSVKopf(tabelle)) r.Text(k);
      return r.Str();
    }
  }
}

std::string CSVString(const TElement& e, const TNET& netz, std::string_view z,
                      const TZahlenformat& f) {
  Zeile r(z, f);
  if (const auto* n = dynamic_cast<const TNET*>(&e)) {
    r.Text(n->Nummer).Text(n->Name()).Text(n->Variante).Text(n->Auftraggeber);
    r.Text(CSVDatum(n->Datum, f)).Zahl(n->HNA).Zahl(n->PSIa).Ganz(n->ZEBEV);
  } else if (CSVAbschnitt(e) == 2) {
    const auto& k = dynamic_cast<const TKEZ&>(e);
    const TParameter& cr = netz.CR;
    const TParameter& dn = netz.cDN;
    r.Zahlen({cr.BSB, cr.NH4, cr.AFS, cr.CSB, cr.PH, cr.ALK, dn.BSB, dn.NH4, dn.AFS});
    for (const TWert& w : FelderCSVWerte(k, "CDSKEZ", netz)) r.Wert(w);
  } else if (const auto* b = dynamic_cast<const TRUB*>(&e)) {
    // ac, QRMIN, Rkrit and VSMIN are set by no computation.
    r.Zahlen({b->QD, b->QKRIT, b->MaxQKUE}).Ganz(b->Volumen).Bool(b->Nebenschluss);
    r.Zahlen({b->e0,    b->ctCSB, b->cbAFS, b->ceAFS, 0,         b->ah, b->n,
              b->QR,    b->_qr,   b->_qt24, b->af,    b->QRE,    0,     b->m,
              b->m_erf, b->xa,    b->VS,    b->Verf,  b->QRKRIT, 0,     0});
  } else if (const auto* u = dynamic_cast<const TRU*>(&e)) {
    r.Zahlen({u->QD, u->QKRIT, u->ct, u->m, u->m_erf, u->QRKRIT, u->Rkrit, u->QD_erf});
  } else if (const auto* k = dynamic_cast<const TRKB*>(&e)) {
    r.Zahlen({k->QD, k->QKRIT, k->MaxQKUE}).Ganz(k->Volumen).Bool(k->Nebenschluss);
  } else if (dynamic_cast<const TKLG*>(&e) || dynamic_cast<const TOMA*>(&e)) {
    for (const TWert& w :
         FelderCSVWerte(e, dynamic_cast<const TKLG*>(&e) ? "CDSKlg" : "CDSOma", netz))
      r.Wert(w);
  } else if (dynamic_cast<const TEST*>(&e)) {
    for (const TWert& w : FelderCSVWerte(e, "CDSEst", netz)) r.Wert(w);
  } else if (dynamic_cast<const TCON*>(&e) || dynamic_cast<const TREG*>(&e)) {
    for (const TWert& w :
         FelderCSVWerte(e, dynamic_cast<const TCON*>(&e) ? "CDSCON" : "CDSREG", netz))
      r.Wert(w);
  }
  return r.Str();
}

std::string CSVHeader(const TSUM&, std::string_view z) {
  return Kopf(z,
              {"ELEMENT",  "FOLGEELEMENT", "KLASSE", "E",      "QHx",     "QGx",       "QSx",
               "QF",       "QTx",          "QH24",   "QG24",   "QS24",    "QT24",      "UQR",
               "QR",       "AE",           "AEb",    "Sum AE", "Sum AEb", "Sum AE M3", "Sum AEb M3",
               "NGm",      "Sum TF",       "l TF",   "QRT24",  "Sum QD",  "Sum V",     "CSB",
               "BSCSB",    "QT24 direkt",  "RW",     "HW",     "STRASSE", "fD",        "SUM AEb1",
               "SUM AEb2", "SUM AEb3",     "AU",     "AFS63r", "AFS63e"});
}

std::string CSVString(const TSUM& s, std::string_view z, const TZahlenformat& f) {
  Zeile r(z, f);
  r.Zahlen({s.E,
            s.QH,
            s.QG,
            s.QS(),
            s.QF,
            s.QT(),
            s.QH24,
            s.QG24,
            s.QS24(),
            s.QT24(),
            s.UQR,
            s.QR,
            s.AE,
            s.AEB,
            s.SUMAE,
            s.SUMAEB,
            s.SUMAEM3,
            s.SUMAEBM3,
            Kehrwert(s.SUMAE) * s.AExNG,
            s.SUMTF,
            s.LTF,
            s.QRT24,
            s.SUMQD,
            s.SUMVerf,
            s.CSB,
            s.BSCSB,
            s.QT24DIREKT,
            s.RW,
            s.HW});
  r.Text(s.Strasse);
  r.Zahlen({Kehrwert(s.SUMAEB) * s.SumAEbxfD, s.SumAEb1, s.SumAEb2, s.SumAEb3, s.AU, s.AFS63r,
            s.AFS63e});
  return r.Str();
}

std::string CSVHeader(const TParameter&, std::string_view z) {
  return Kopf(z, {"ELEMENT", "qrab", "Q", "BSB5", "NH4-N", "AFS63", "pH-WERT", "ALKALINITÄT", "CSB",
                  "c BSB5", "c NH4-N", "c AFS63", "c CSB"});
}

std::string CSVString(const TParameter& p, std::string_view z, const TZahlenformat& f) {
  return Zeile(z, f)
      .Zahlen({p.Q, p.BSB, p.NH4, p.AFS, p.cPH(), p.cALK(), p.CSB, p.cBSB(), p.cNH4(), p.cAFS(),
               p.cCSB()})
      .Str();
}

std::string CSVHeader(const TSpenden&, std::string_view z) {
  return Kopf(z, {"Dauerstufe", "Regenspende"});
}

std::string CreateCSVFile(const TM3Model& m, const TZahlenformat& f) {
  const std::string_view z = "\t";
  std::array<std::vector<std::string>, kCSVAbschnitte> teil;
  std::array<bool, kCSVAbschnitte> kopf;
  kopf.fill(true);
  for (int s = 0; s < kCSVAbschnitte; ++s)
    teil[static_cast<size_t>(s)] = {" ", kCSVTitel[static_cast<size_t>(s)]};
  auto& elemente = teil[0];
  auto& frachten = teil[10];
  auto& flaechen = teil[12];
  const TNET& netz = m.Netz();

  for (int i = 0; i < m.Count(); ++i) {
    const TCadShape* shape = m.GetNode(i);
    const TElement* e = TM3Model::ElementOf(shape);
    if (!e) continue;
    const std::string& name = shape->Name;
    const int s = CSVAbschnitt(*e);
    auto& ziel = teil[static_cast<size_t>(s)];
    if (kopf[static_cast<size_t>(s)]) {
      ziel.push_back(CSVHeader(*e, z));
      kopf[static_cast<size_t>(s)] = false;
    }
    ziel.push_back(name + std::string(z) + CSVString(*e, netz, z, f));

    if (kopf[0]) {
      elemente.push_back(CSVHeader(e->SUM, z));
      kopf[0] = false;
    }
    const std::string folge = shape->Parent() ? shape->Parent()->Name : "-";
    elemente.push_back(name + std::string(z) + folge + std::string(z) + CSVKlasse(*e) +
                       std::string(z) + CSVString(e->SUM, z, f));

    if (kopf[10]) {
      frachten.push_back(CSVHeader(e->AB[0], z));
      kopf[10] = false;
    }
    for (int q = 0; q < kAnzahlQr; ++q)
      frachten.push_back(name + std::string(z) + CSVZahl(kQr[static_cast<size_t>(q)], f) +
                         std::string(z) + CSVString(e->AB[q], z, f));

    if (const auto* k = dynamic_cast<const TKEZ*>(e)) {
      if (kopf[12]) {
        flaechen.push_back(
            Kopf(z, {"Element", "Bezeichnung", "AE", "B", "fD", "AEb", "Kategorie"}));
        kopf[12] = false;
      }
      for (const TAE& a : k->AEs.Liste)
        flaechen.push_back(Zeile(z, f)
                               .Text(name)
                               .Text(a.Bezeichnung)
                               .Zahl(a.AE)
                               .Ganz(a.B)
                               .Zahl(a.fD)
                               .Zahl(a.AEb)
                               .Ganz(a.Kategorie)
                               .Str());
    }
  }

  auto& spenden = teil[11];
  spenden.push_back(CSVHeader(netz.Spenden, z));
  for (size_t d = 0; d < 18; ++d)
    spenden.push_back(std::string(kDauerstufenText[d]) + std::string(z) +
                      CSVZahl(netz.Spenden.values[d + 1], f));

  std::string text;
  bool erste = true;
  for (const auto& a : teil)
    for (const auto& zeile : a) {
      if (!erste) text += "\r\n";
      erste = false;
      text += zeile;
    }
  return text;
}

bool SaveToCSV(const TM3Model& m, const std::string& datei, std::string& fehler,
               const TZahlenformat& f) {
  const std::string text = CreateCSVFile(m, f) + "\r\n";
  return SchreibeDateiAtomar(datei, text, fehler);
}

std::string TabellenText(const TTabelle& t, const TZahlenformat& f) {
  const auto& felder = t.Schema().Felder;
  auto wert = [&](const TFeld& feld, const TWert& w) -> std::string {
    switch (feld.Typ) {
      case TFeldTyp::Float:
        return CSVZahl(AlsZahl(w), f);
      case TFeldTyp::Date:
        return CSVDatum(AlsZahl(w), f);
      case TFeldTyp::Integer:
        return std::to_string(AlsGanzzahl(w));
      case TFeldTyp::Boolean:
        return AlsBool(w) ? "True" : "False";
      default:
        return AlsText(w);
    }
  };
  std::string r;
  for (size_t s = 0; s < felder.size(); ++s)
    r += (s ? "\t" : "") + (felder[s].Label.empty() ? felder[s].Name : felder[s].Label);
  for (int z = 0; z < t.Anzahl(); ++z) {
    r += "\r\n";
    for (int s = 0; s < t.Spalten(); ++s) {
      const TFeld& feld = felder[static_cast<size_t>(s)];
      const TWert& w = t.Wert(z, s);
      if (IstNull(w) || feld.Typ == TFeldTyp::Nested) continue;
      r += wert(feld, w);
      if (s + 1 < t.Spalten()) r += '\t';
    }
  }
  return r;
}

}  // namespace t21
