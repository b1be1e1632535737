#include "cli/ausgabe.h"

#include <cmath>
#include <cstdio>
#include <iomanip>

#include "cli/nachweis.h"
#include "model/format.h"

namespace t21 {

bool FormatAusText(const std::string& s, Format& f) {
  if (s == "text")
    f = Format::Text;
  else if (s == "tsv")
    f = Format::Tsv;
  else if (s == "json")
    f = Format::Json;
  else
    return false;
  return true;
}

namespace {

// Length of the well-formed UTF-8 sequence at s[i] (1 to 4), or 0.
size_t Utf8Laenge(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  size_t n;
  unsigned min, max = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, min = c == 0xE0 ? 0xA0 : 0x80, max = c == 0xED ? 0x9F : 0xBF;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, min = c == 0xF0 ? 0x90 : 0x80, max = c == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + n > s.size() || b(i + 1) < min || b(i + 1) > max) return 0;
  for (size_t k = 2; k < n; ++k)
    if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
  return n;
}

}  // namespace

// JSON text is UTF-8: a byte that begins no well-formed sequence (a text of
// an older, Latin-1 file) is taken as the Latin-1 character it stands for.
std::string JsonText(const std::string& s) {
  std::string r = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const size_t n = Utf8Laenge(s, i);
      if (n == 0) {
        r += static_cast<char>(0xC0 | (c >> 6));
        r += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        r.append(s, i, n);
        i += n - 1;
      }
      continue;
    }
    switch (c) {
      case '"':
        r += "\\\"";
        break;
      case '\\':
        r += "\\\\";
        break;
      case '\n':
        r += "\\n";
        break;
      case '\r':
        r += "\\r";
        break;
      case '\t':
        r += "\\t";
        break;
      default:
        if (c < 0x20) {
          char b[8];
          std::snprintf(b, sizeof b, "\\u%04x", c);
          r += b;
        } else {
          r += static_cast<char>(c);
        }
    }
  }
  return r + "\"";
}

std::string JsonZahl(double v) {
  if (!std::isfinite(v)) return "null";
  char b[32];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

namespace {

struct Spalte {
  const char* name;
  const char* einheit;
  int nachkomma;
  double (*wert)(const TParameter&);
};

const Spalte kSpalten[] = {
    {"Q", "l/s", 1, [](const TParameter& p) { return p.Q; }},
    {"BSB5", "mg/l", 2, [](const TParameter& p) { return p.cBSB(); }},
    {"NH4-N", "mg/l", 2, [](const TParameter& p) { return p.cNH4(); }},
    {"AFS63", "mg/l", 0, [](const TParameter& p) { return p.cAFS(); }},
    {"CSB", "mg/l", 0, [](const TParameter& p) { return p.cCSB(); }},
    {"pH", "-", 2, [](const TParameter& p) { return p.cPH(); }},
    {"ALK", "mmol/l", 2, [](const TParameter& p) { return p.cALK(); }},
    {"DO2", "mg/l", 2, [](const TParameter& p) { return p.cDO2(); }},
};

std::string QrText(int i) {
  return ZahlText(kQr[static_cast<size_t>(i)], i == 1 ? 1 : 0);
}

}  // namespace

namespace {

// s padded with blanks to `breite` characters (UTF-8 counted by code point).
std::string Links(const std::string& s, size_t breite) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n >= breite ? s + ' ' : s + std::string(breite - n, ' ');
}

void TextTabelle(const char* titel, const TParameterArray& a, std::ostream& out) {
  out << "  " << titel << '\n';
  out << "  " << std::setw(6) << "qr";
  for (const auto& s : kSpalten) out << std::setw(11) << s.name;
  out << "\n  " << std::setw(6) << "l/s*ha";
  for (const auto& s : kSpalten) out << std::setw(11) << s.einheit;
  out << '\n';
  for (int i = 0; i < kAnzahlQr; ++i) {
    out << "  " << std::setw(6) << QrText(i);
    for (const auto& s : kSpalten) out << std::setw(11) << ZahlText(s.wert(a[i]), s.nachkomma);
    out << '\n';
  }
}

// A row "  meaning  symbol  value unit" with the value right-aligned.
void TextWert(const TNachweisWert& w, std::ostream& out) {
  out << "    " << Links(w.Bezeichnung, 44) << Links(w.Name, 12) << std::setw(16)
      << ZahlText(w.Wert, w.Nachkomma) << ' ' << w.Einheit << '\n';
}

void SchreibeText(const TElementNachweis& n, std::ostream& out) {
  out << n.Name << " (" << n.Typ << ")\n";
  TextTabelle("Zufluss", n.Zufluss, out);
  TextTabelle("Abfluss", n.Abfluss, out);
  out << "  Summen" << std::setw(64) << "Zulauf" << std::setw(16) << "Ablauf" << '\n';
  for (const auto& z : n.Summen)
    out << "    " << Links(z.Bezeichnung, 44) << Links(z.Name, 12) << std::setw(16)
        << ZahlText(z.Zulauf, z.Nachkomma) << std::setw(16) << ZahlText(z.Ablauf, z.Nachkomma)
        << ' ' << z.Einheit << '\n';
  if (!n.Bemessung.empty()) {
    out << "  Bemessung\n";
    for (const auto& w : n.Bemessung) TextWert(w, out);
  }
  if (!n.Bemessungsliste.empty()) {
    out << "  Bemessungsliste\n";
    for (const auto& z : n.Bemessungsliste) {
      if (z.Groesse.empty() && z.Wert.empty()) {
        out << "    " << z.Bezeichner << '\n';
        continue;
      }
      out << "    " << Links(z.Bezeichner, 56) << Links(z.Groesse, 16) << std::setw(14) << z.Wert
          << ' ' << z.Dimension << '\n';
    }
  }
  if (n.MitUeberlauf) {
    out << "  Überläufe\n  " << std::setw(6) << "qr" << std::setw(13) << "Q KÜ" << std::setw(13)
        << "Q BÜ" << '\n';
    for (int i = 0; i < kAnzahlQr; ++i)
      out << "  " << std::setw(6) << QrText(i) << std::setw(12)
          << ZahlText(n.QKUE[static_cast<size_t>(i)], 2) << std::setw(12)
          << ZahlText(n.QBUE[static_cast<size_t>(i)], 2) << '\n';
  }
  for (const auto& p : n.Pruefungen) {
    out << "  " << p.Bezeichnung << ": " << (p.Erfuellt ? "erfüllt" : "nicht erfüllt") << '\n';
    for (const auto& w : p.Werte) TextWert(w, out);
  }
  if (!n.Gewaesser.empty()) {
    out << "  Gewässer\n  " << std::setw(6) << "qr";
    for (const auto& w : n.Gewaesser.front()) out << std::setw(10) << w.Name;
    out << "\n  " << std::setw(6) << "l/s*ha";
    for (const auto& w : n.Gewaesser.front()) out << std::setw(10) << w.Einheit;
    out << '\n';
    for (int i = 0; i < kAnzahlQr; ++i) {
      out << "  " << std::setw(6) << QrText(i);
      for (const auto& w : n.Gewaesser[static_cast<size_t>(i)])
        out << std::setw(10) << ZahlText(w.Wert, w.Nachkomma);
      out << '\n';
    }
  }
  for (const auto& h : n.Hinweise) out << "  Hinweis: " << h << '\n';
  out << '\n';
}

void JsonTabelle(const TParameterArray& a, std::ostream& out) {
  out << '[';
  for (int i = 0; i < kAnzahlQr; ++i) {
    out << (i ? "," : "") << "{\"qr\":" << JsonZahl(kQr[static_cast<size_t>(i)]);
    for (const auto& s : kSpalten) out << ",\"" << s.name << "\":" << JsonZahl(s.wert(a[i]));
    out << '}';
  }
  out << ']';
}

void JsonWerte(const std::vector<TNachweisWert>& werte, std::ostream& out) {
  for (size_t k = 0; k < werte.size(); ++k)
    out << (k ? "," : "") << JsonText(werte[k].Name) << ':' << JsonZahl(werte[k].Wert);
}

void SchreibeJson(const TElementNachweis& n, std::ostream& out) {
  out << "{\"name\":" << JsonText(n.Name) << ",\"typ\":" << JsonText(n.Typ) << ",\"zufluss\":";
  JsonTabelle(n.Zufluss, out);
  out << ",\"abfluss\":";
  JsonTabelle(n.Abfluss, out);
  for (const bool zulauf : {true, false}) {
    out << (zulauf ? ",\"summen\":{\"zulauf\":{" : ",\"ablauf\":{");
    for (size_t k = 0; k < n.Summen.size(); ++k)
      out << (k ? "," : "") << JsonText(n.Summen[k].Name) << ':'
          << JsonZahl(zulauf ? n.Summen[k].Zulauf : n.Summen[k].Ablauf);
    out << (zulauf ? "}" : "}}");
  }
  if (!n.Bemessung.empty()) {
    out << ",\"bemessung\":{";
    JsonWerte(n.Bemessung, out);
    out << '}';
  }
  if (!n.Bemessungsliste.empty()) {
    out << ",\"bemessungsliste\":[";
    for (size_t k = 0; k < n.Bemessungsliste.size(); ++k) {
      const auto& z = n.Bemessungsliste[k];
      out << (k ? "," : "") << "{\"bezeichner\":" << JsonText(z.Bezeichner)
          << ",\"groesse\":" << JsonText(z.Groesse) << ",\"wert\":" << JsonText(z.Wert)
          << ",\"dimension\":" << JsonText(z.Dimension) << '}';
    }
    out << ']';
  }
  if (n.MitUeberlauf) {
    out << ",\"ueberlauf\":[";
    for (int i = 0; i < kAnzahlQr; ++i)
      out << (i ? "," : "") << "{\"qr\":" << JsonZahl(kQr[static_cast<size_t>(i)])
          << ",\"QKUE\":" << JsonZahl(n.QKUE[static_cast<size_t>(i)])
          << ",\"QBUE\":" << JsonZahl(n.QBUE[static_cast<size_t>(i)]) << '}';
    out << ']';
  }
  if (!n.Pruefungen.empty()) {
    out << ",\"pruefungen\":{";
    for (size_t k = 0; k < n.Pruefungen.size(); ++k) {
      const auto& p = n.Pruefungen[k];
      out << (k ? "," : "") << JsonText(p.Name)
          << ":{\"erfuellt\":" << (p.Erfuellt ? "true" : "false") << ',';
      JsonWerte(p.Werte, out);
      out << '}';
    }
    out << '}';
  }
  if (!n.Gewaesser.empty()) {
    out << ",\"gewaesser\":[";
    for (int i = 0; i < kAnzahlQr; ++i) {
      out << (i ? "," : "") << "{\"qr\":" << JsonZahl(kQr[static_cast<size_t>(i)]) << ',';
      const auto& g = n.Gewaesser[static_cast<size_t>(i)];
      JsonWerte(std::vector<TNachweisWert>(g.begin(), g.end()), out);
      out << '}';
    }
    out << ']';
  }
  out << ",\"hinweise\":[";
  for (size_t k = 0; k < n.Hinweise.size(); ++k) out << (k ? "," : "") << JsonText(n.Hinweise[k]);
  out << "]}";
}

// Long form: one value a row.
void SchreibeTsv(const TElementNachweis& n, std::ostream& out) {
  auto zeile = [&](const char* block, const std::string& groesse, const std::string& qr,
                   const std::string& wert) {
    out << n.Name << '\t' << n.Typ << '\t' << block << '\t' << groesse << '\t' << qr << '\t' << wert
        << '\n';
  };
  auto qr = [](int i) { return JsonZahl(kQr[static_cast<size_t>(i)]); };
  for (const bool zu : {true, false})
    for (int i = 0; i < kAnzahlQr; ++i)
      for (const auto& s : kSpalten)
        zeile(zu ? "zufluss" : "abfluss", s.name, qr(i),
              JsonZahl(s.wert(zu ? n.Zufluss[i] : n.Abfluss[i])));
  for (const auto& z : n.Summen) zeile("summen.zulauf", z.Name, "", JsonZahl(z.Zulauf));
  for (const auto& z : n.Summen) zeile("summen.ablauf", z.Name, "", JsonZahl(z.Ablauf));
  for (const auto& w : n.Bemessung) zeile("bemessung", w.Name, "", JsonZahl(w.Wert));
  for (const auto& z : n.Bemessungsliste)
    if (!z.Groesse.empty()) zeile("bemessungsliste", z.Groesse, "", z.Wert);
  if (n.MitUeberlauf)
    for (int i = 0; i < kAnzahlQr; ++i) {
      zeile("ueberlauf", "QKUE", qr(i), JsonZahl(n.QKUE[static_cast<size_t>(i)]));
      zeile("ueberlauf", "QBUE", qr(i), JsonZahl(n.QBUE[static_cast<size_t>(i)]));
    }
  for (const auto& p : n.Pruefungen) {
    const std::string block = "pruefungen." + p.Name;
    zeile(block.c_str(), "erfuellt", "", p.Erfuellt ? "1" : "0");
    for (const auto& w : p.Werte) zeile(block.c_str(), w.Name, "", JsonZahl(w.Wert));
  }
  for (size_t i = 0; i < n.Gewaesser.size(); ++i)
    for (const auto& w : n.Gewaesser[i])
      zeile("gewaesser", w.Name, qr(static_cast<int>(i)), JsonZahl(w.Wert));
  for (const auto& h : n.Hinweise) zeile("hinweise", "", "", h);
}

}  // namespace

int SchreibeVerifikation(TM3Model& m, Format f, std::ostream& out) {
  const auto reihe = m.Fliessreihenfolge();
  int mitMeldungen = 0;
  if (f == Format::Json) out << "{\"elemente\":[";
  if (f == Format::Tsv) out << "ELEMENT\tTYP\tBLOCK\tGROESSE\tQR\tWERT\n";
  bool erstes = true;
  for (TCadShape* shape : reihe) {
    const TElementNachweis n = Nachweis(m, shape);
    if (!n.Hinweise.empty()) ++mitMeldungen;
    switch (f) {
      case Format::Text:
        SchreibeText(n, out);
        break;
      case Format::Tsv:
        SchreibeTsv(n, out);
        break;
      case Format::Json:
        out << (erstes ? "" : ",") << '\n';
        SchreibeJson(n, out);
        break;
    }
    erstes = false;
  }
  if (f == Format::Json) out << "\n]}\n";
  return mitMeldungen;
}

}  // namespace t21
