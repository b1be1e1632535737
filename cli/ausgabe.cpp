#include "cli/ausgabe.h"

#include <cmath>
#include <cstdio>
#include <iomanip>

#include "model/format.h"

namespace t21 {

bool FormatAusText(const std::string& s, Format& f) {
  if (s == "text") f = Format::Text;
  else if (s == "tsv") f = Format::Tsv;
  else if (s == "json") f = Format::Json;
  else return false;
  return true;
}

std::string JsonText(const std::string& s) {
  std::string r = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': r += "\\\""; break;
      case '\\': r += "\\\\"; break;
      case '\n': r += "\\n"; break;
      case '\r': r += "\\r"; break;
      case '\t': r += "\\t"; break;
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

std::string QrText(int i) { return ZahlText(kQr[static_cast<size_t>(i)], i == 1 ? 1 : 0); }

}  // namespace

int SchreibeVerifikation(const TM3Model& m, Format f, std::ostream& out) {
  const auto reihe = m.Fliessreihenfolge();
  int mitMeldungen = 0;
  if (f == Format::Json) out << "{\"elemente\":[";
  if (f == Format::Tsv) {
    out << "ELEMENT\tTYP\tQR";
    for (const auto& s : kSpalten) out << '\t' << s.name;
    out << "\tHINWEISE\n";
  }
  bool erstes = true;
  for (const TCadShape* shape : reihe) {
    const TElement& e = *TM3Model::ElementOf(shape);
    if (!e.FEHLER.empty()) ++mitMeldungen;
    std::string hinweise;
    for (const auto& h : e.FEHLER) hinweise += (hinweise.empty() ? "" : "; ") + h;
    switch (f) {
      case Format::Text: {
        out << e.Name() << " (" << shape->Typ() << ")\n";
        out << "  " << std::setw(6) << "qr";
        for (const auto& s : kSpalten) out << std::setw(11) << s.name;
        out << "\n  " << std::setw(6) << "l/s*ha";
        for (const auto& s : kSpalten) out << std::setw(11) << s.einheit;
        out << '\n';
        for (int i = 0; i < kAnzahlQr; ++i) {
          out << "  " << std::setw(6) << QrText(i);
          for (const auto& s : kSpalten) out << std::setw(11) << ZahlText(s.wert(e.AB[i]), s.nachkomma);
          out << '\n';
        }
        for (const auto& h : e.FEHLER) out << "  Hinweis: " << h << '\n';
        out << '\n';
        break;
      }
      case Format::Tsv:
        for (int i = 0; i < kAnzahlQr; ++i) {
          out << e.Name() << '\t' << shape->Typ() << '\t' << kQr[static_cast<size_t>(i)];
          for (const auto& s : kSpalten) out << '\t' << JsonZahl(s.wert(e.AB[i]));
          out << '\t' << hinweise << '\n';
        }
        break;
      case Format::Json: {
        out << (erstes ? "" : ",") << "\n{\"name\":" << JsonText(e.Name())
            << ",\"typ\":" << JsonText(shape->Typ()) << ",\"abfluss\":[";
        for (int i = 0; i < kAnzahlQr; ++i) {
          out << (i ? "," : "") << "{\"qr\":" << JsonZahl(kQr[static_cast<size_t>(i)]);
          for (const auto& s : kSpalten)
            out << ",\"" << s.name << "\":" << JsonZahl(s.wert(e.AB[i]));
          out << '}';
        }
        out << "],\"hinweise\":[";
        for (size_t k = 0; k < e.FEHLER.size(); ++k)
          out << (k ? "," : "") << JsonText(e.FEHLER[k]);
        out << "]}";
        break;
      }
    }
    erstes = false;
  }
  if (f == Format::Json) out << "\n]}\n";
  return mitMeldungen;
}

}  // namespace t21
