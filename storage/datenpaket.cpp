#include "storage/datenpaket.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <unordered_set>

#include "model/datum.h"

namespace t21 {

namespace {

const char* TypName(TFeldTyp t) {
  switch (t) {
    case TFeldTyp::Integer:
      return "i4";
    case TFeldTyp::Float:
      return "r8";
    case TFeldTyp::String:
      return "string";
    case TFeldTyp::Boolean:
      return "boolean";
    case TFeldTyp::Memo:
      return "bin.hex";
    case TFeldTyp::Date:
      return "date";
    case TFeldTyp::Nested:
      return "nested";
  }
  return "string";
}

void Felder(pugi::xml_node knoten, const TSchema& s) {
  auto felder = knoten.append_child("FIELDS");
  for (const TFeld& f : s.Felder) {
    auto e = felder.append_child("FIELD");
    e.append_attribute("attrname") = f.Name.c_str();
    e.append_attribute("fieldtype") = TypName(f.Typ);
    if (f.Typ == TFeldTyp::String) e.append_attribute("WIDTH") = f.Breite > 0 ? f.Breite : 255;
    if (f.Typ == TFeldTyp::Memo) e.append_attribute("SUBTYPE") = "Text";
    if (f.Typ == TFeldTyp::Nested && f.Nested) {
      Felder(e, *f.Nested);
      e.append_child("PARAMS");
    }
  }
}

std::string ZahlText(double v) {
  char b[40];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

void Zeilen(pugi::xml_node ziel, const TTabelle& t, const std::string& zeilenName) {
  const TSchema& s = t.Schema();
  for (int z = 0; z < t.Anzahl(); ++z) {
    auto row = ziel.append_child(zeilenName.c_str());
    for (int i = 0; i < t.Spalten(); ++i) {
      const TFeld& f = s.Felder[static_cast<size_t>(i)];
      const TWert& w = t.Wert(z, i);
      if (f.Typ == TFeldTyp::Nested || IstNull(w)) continue;
      std::string text;
      switch (f.Typ) {
        case TFeldTyp::Integer:
          text = std::to_string(AlsGanzzahl(w));
          break;
        case TFeldTyp::Float:
          text = ZahlText(AlsZahl(w));
          break;
        case TFeldTyp::Boolean:
          text = AlsBool(w) ? "TRUE" : "FALSE";
          break;
        case TFeldTyp::Date: {
          const auto d = DecodeDateTime(AlsZahl(w));
          char b[16];
          std::snprintf(b, sizeof b, "%04d%02d%02d", d.Jahr, d.Monat, d.Tag);
          text = b;
          break;
        }
        default:
          text = AlsText(w);
          break;
      }
      row.append_attribute(f.Name.c_str()) = text.c_str();
    }
    for (int i = 0; i < t.Spalten(); ++i) {
      const TFeld& f = s.Felder[static_cast<size_t>(i)];
      if (f.Typ != TFeldTyp::Nested) continue;
      const TTabelle* k = t.Kind(z, f.Name);
      if (!k || k->Anzahl() == 0) continue;
      Zeilen(row.append_child(f.Name.c_str()), *k, "ROW" + f.Name);
    }
  }
}

// Writer that escapes line breaks and tabs in attribute values, which XML
// would otherwise turn into blanks on reading.
struct TextSchreiber : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

TFeldTyp TypAus(const std::string& s) {
  if (s == "i4" || s == "i2" || s == "i8" || s == "ui4" || s == "ui2") return TFeldTyp::Integer;
  if (s == "r8" || s == "r4" || s == "fixed" || s == "fixedFMT") return TFeldTyp::Float;
  if (s == "boolean") return TFeldTyp::Boolean;
  if (s == "date" || s == "dateTime" || s == "date:time") return TFeldTyp::Date;
  if (s == "bin.hex") return TFeldTyp::Memo;
  if (s == "nested") return TFeldTyp::Nested;
  return TFeldTyp::String;
}

bool GleichOhneCase(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] && i < b.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return !a[i] && i == b.size();
}

// Nested tables deeper than this are refused: the program's own packets nest
// three levels, and the reader follows the nesting by recursion.
constexpr int kMaxTiefe = 32;

// The columns of a FIELDS element; null when the nesting is deeper than
// kMaxTiefe.
std::shared_ptr<TSchema> SchemaAus(pugi::xml_node felder, const std::string& name, int tiefe = 0) {
  if (tiefe > kMaxTiefe) return nullptr;
  auto s = std::make_shared<TSchema>();
  s->Name = name;
  std::unordered_set<std::string> namen;
  for (auto f : felder.children()) {
    if (std::string(f.name()) != "FIELD") continue;
    TFeld feld;
    feld.Name = f.attribute("attrname").as_string();
    if (feld.Name.empty()) feld.Name = f.attribute("fieldname").as_string();
    // A second column of a name already taken (in any case) is left out:
    // values and nested tables are found by name.
    std::string klein = feld.Name;
    for (char& c : klein)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (!namen.insert(std::move(klein)).second) continue;
    feld.Typ = TypAus(f.attribute("fieldtype").as_string());
    feld.Breite = f.attribute("WIDTH").as_int(0);
    if (feld.Typ == TFeldTyp::Nested) {
      feld.Nested = SchemaAus(f.child("FIELDS"), feld.Name, tiefe + 1);
      if (!feld.Nested) return nullptr;
    }
    s->Felder.push_back(std::move(feld));
  }
  return s;
}

TWert WertAus(const TFeld& f, const char* roh, TPaketLesen* lesen) {
  const std::string t = roh;
  const bool zahl = f.Typ == TFeldTyp::Integer || f.Typ == TFeldTyp::Float;
  if (zahl && t.find(',') != std::string::npos) {
    // A decimal comma: a number only when the reader asks for it (files of
    // older versions); otherwise no number, like any other text.
    const double v = lesen && lesen->Dezimalkomma ? TextZuZahl(t, std::nan("")) : std::nan("");
    if (std::isnan(v)) return f.Typ == TFeldTyp::Integer ? TWert(int32_t{0}) : TWert(0.0);
    ++lesen->Kommata;
    if (f.Typ == TFeldTyp::Integer) return AlsGanzzahl(TWert(v), 0);
    return v;
  }
  switch (f.Typ) {
    case TFeldTyp::Integer: {
      TWert w = t;
      const int32_t v = AlsGanzzahl(w, 0);
      return v;
    }
    case TFeldTyp::Float:
      return TextZuZahl(t, 0);
    case TFeldTyp::Boolean:
      return t == "TRUE" || t == "true" || t == "1";
    case TFeldTyp::Date: {
      int j = 0, m = 0, d = 0;
      TDateTime dt = 0;
      if (t.size() >= 8 && std::sscanf(t.c_str(), "%4d%2d%2d", &j, &m, &d) == 3 &&
          EncodeDate(j, m, d, dt))
        return dt;
      return TWert{};
    }
    default:
      return t;
  }
}

// What reading the rows of one packet may still allocate: a record takes a
// value for every column, so a short file of many empty records in a table
// of many columns could claim memory out of all proportion to its size.
struct TZellenGrenze {
  size_t Frei = 0;
  bool Ueberschritten = false;
};

void LiesZeilen(pugi::xml_node quelle, TTabelle& t, TPaketLesen* lesen, TZellenGrenze& grenze) {
  const TSchema& s = t.Schema();
  const size_t spalten = s.Felder.size() + 1;
  for (auto row : quelle.children()) {
    if (row.type() != pugi::node_element) continue;
    if (grenze.Frei < spalten) {
      grenze.Ueberschritten = true;
      return;
    }
    grenze.Frei -= spalten;
    const int z = t.Anhaengen();
    for (auto a : row.attributes()) {
      for (int i = 0; i < t.Spalten(); ++i) {
        const TFeld& f = s.Felder[static_cast<size_t>(i)];
        if (f.Typ == TFeldTyp::Nested || !GleichOhneCase(a.name(), f.Name)) continue;
        t.Setze(z, i, WertAus(f, a.value(), lesen));
        break;
      }
    }
    for (auto kind : row.children()) {
      if (kind.type() != pugi::node_element) continue;
      for (const TFeld& f : s.Felder)
        if (f.Typ == TFeldTyp::Nested && GleichOhneCase(kind.name(), f.Name)) {
          LiesZeilen(kind, t.Kind(z, f.Name), lesen, grenze);
          if (grenze.Ueberschritten) return;
          break;
        }
    }
  }
}

// The XML parser's findings in German.
const char* XmlFehler(pugi::xml_parse_status s) {
  switch (s) {
    case pugi::status_out_of_memory:
      return "zu wenig Speicher";
    case pugi::status_unrecognized_tag:
      return "unbekannte Markierung";
    case pugi::status_bad_pi:
      return "fehlerhafte Verarbeitungsanweisung";
    case pugi::status_bad_comment:
      return "fehlerhafter Kommentar";
    case pugi::status_bad_cdata:
      return "fehlerhafter CDATA-Abschnitt";
    case pugi::status_bad_doctype:
      return "fehlerhafte Dokumenttyp-Deklaration";
    case pugi::status_bad_pcdata:
      return "fehlerhafter Text";
    case pugi::status_bad_start_element:
      return "fehlerhaftes Anfangs-Tag";
    case pugi::status_bad_attribute:
      return "fehlerhaftes Attribut";
    case pugi::status_bad_end_element:
      return "fehlerhaftes End-Tag";
    case pugi::status_end_element_mismatch:
      return "Anfangs- und End-Tag passen nicht zueinander";
    case pugi::status_no_document_element:
      return "kein Wurzelelement";
    default:
      return "nicht lesbar";
  }
}

// The packet's document; false with fehler set when the text is empty,
// binary or no XML.
bool Dokument(const std::string& text, pugi::xml_document& doc, std::string& fehler) {
  size_t i = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\r' || text[i] == '\n' || text[i] == '\t'))
    ++i;
  if (i >= text.size()) {
    fehler = "Die Datei ist leer.";
    return false;
  }
  if (text[i] != '<') {
    fehler = "Die Datei ist ein Datenpaket in binärer Form; diese Form kann nicht gelesen werden.";
    return false;
  }
  const auto ok = doc.load_buffer(text.data(), text.size(), pugi::parse_default);
  if (!ok) {
    fehler = std::string("Die Datei ist kein lesbares XML-Datenpaket: ") + XmlFehler(ok.status) +
             " (bei Zeichen " + std::to_string(ok.offset) + ")";
    return false;
  }
  return true;
}

}  // namespace

std::string PaketAlsText(const TTabelle& t) {
  pugi::xml_document doc;
  auto dp = doc.append_child("DATAPACKET");
  dp.append_attribute("Version") = "2.0";
  auto meta = dp.append_child("METADATA");
  Felder(meta, t.Schema());
  meta.append_child("PARAMS");
  Zeilen(dp.append_child("ROWDATA"), t, "ROW");
  TextSchreiber w;
  doc.save(w, "", pugi::format_raw | pugi::format_no_declaration);
  // Line breaks and tabs inside attribute values as character references.
  std::string r = "<?xml version=\"1.0\" standalone=\"yes\"?>";
  r.reserve(w.text.size() + 64);
  for (char c : w.text) {
    if (c == '\n')
      r += "&#10;";
    else if (c == '\r')
      r += "&#13;";
    else if (c == '\t')
      r += "&#9;";
    else
      r += c;
  }
  return r;
}

bool SchreibePaket(const TTabelle& t, const std::string& datei, std::string& fehler) {
  const std::string text = PaketAlsText(t);
  return SchreibeDateiAtomar(datei, text, fehler);
}

std::shared_ptr<TTabelle> LiesPaketText(const std::string& text, std::string& fehler,
                                        TPaketLesen* lesen) {
  pugi::xml_document doc;
  if (!Dokument(text, doc, fehler)) return nullptr;
  auto dp = doc.child("DATAPACKET");
  auto felder = dp.child("METADATA").child("FIELDS");
  if (!dp || !felder) {
    fehler = "Die Datei ist kein XML-Datenpaket.";
    return nullptr;
  }
  auto schema = SchemaAus(felder, "");
  if (!schema) {
    fehler = "Die Datei ist kein lesbares XML-Datenpaket: die Tabellen sind tiefer als " +
             std::to_string(kMaxTiefe) + " Ebenen geschachtelt.";
    return nullptr;
  }
  auto t = std::make_shared<TTabelle>(schema);
  // A million values and eight for every byte of the file: far beyond what
  // the program's packets hold (a value takes at least a few bytes there).
  TZellenGrenze grenze{(size_t{1} << 20) + 8 * text.size(), false};
  LiesZeilen(dp.child("ROWDATA"), *t, lesen, grenze);
  if (grenze.Ueberschritten) {
    fehler =
        "Die Datei ist kein lesbares XML-Datenpaket: sie beschreibt mehr Datensätze, als eine "
        "Datei "
        "dieser Größe enthalten kann.";
    return nullptr;
  }
  return t;
}

std::optional<std::string> ErsterWert(const std::string& text, std::string_view spalte) {
  pugi::xml_document doc;
  std::string fehler;
  if (!Dokument(text, doc, fehler)) return std::nullopt;
  const std::string name(spalte);
  for (auto row : doc.child("DATAPACKET").child("ROWDATA").children()) {
    if (row.type() != pugi::node_element) continue;
    for (auto a : row.attributes())
      if (GleichOhneCase(a.name(), name)) return std::string(a.value());
    return std::string();
  }
  return std::nullopt;
}

std::shared_ptr<TTabelle> LiesPaket(const std::string& datei, std::string& fehler,
                                    TPaketLesen* lesen) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) {
    fehler = "Die Datei " + datei + " wurde nicht gefunden.";
    return nullptr;
  }
  std::stringstream s;
  s << ein.rdbuf();
  return LiesPaketText(s.str(), fehler, lesen);
}

}  // namespace t21
