#include "tools/ganglinieneditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "document/dokument.h"
#include "model/format.h"
#include "model/records.h"

namespace t21 {

std::string FloatText(double v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  char b[40];
  std::snprintf(b, sizeof b, "%.15G", v);
  std::string s = b;
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

namespace {

// The code points of a UTF-8 text with ASCII and Latin-1 capitals lowered.
std::u32string Gefaltet(const std::string& s) {
  std::u32string r;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t z = c;
    int n = 1;
    if (c >= 0xF0)
      z = c & 0x07, n = 4;
    else if (c >= 0xE0)
      z = c & 0x0F, n = 3;
    else if (c >= 0xC0)
      z = c & 0x1F, n = 2;
    for (int k = 1; k < n && i + static_cast<size_t>(k) < s.size(); ++k)
      z = (z << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
    i += static_cast<size_t>(n);
    if ((z >= U'A' && z <= U'Z') || (z >= 0xC0 && z <= 0xDE && z != 0xD7)) z += 0x20;
    r += z;
  }
  return r;
}

std::string Getrimmt(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

size_t Zeichen(const std::string& s) {
  return static_cast<size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

bool GleicherName(const std::string& a, const std::string& b) {
  return Gefaltet(a) == Gefaltet(b);
}

TGanglinienEditor::TGanglinienEditor(TGanglinienArt art, const TReferenzListen& listen)
    : FArt(art) {
  if (art == TGanglinienArt::Schmutzwasser)
    for (const auto& g : listen.SWGanglinien.Eintraege) {
      FNamen.push_back(g.name);
      FBasisWerte.emplace_back(g.werte.begin(), g.werte.end());
    }
  else
    for (const auto& g : listen.FWGanglinien.Eintraege) {
      FNamen.push_back(g.name);
      FBasisWerte.emplace_back(g.werte.begin(), g.werte.end());
    }
  FWerte.assign(static_cast<size_t>(Anzahl()), 1.0);
  FPositionen.assign(static_cast<size_t>(Anzahl()), 10);
  LadeBasis(0);
}

const char* TGanglinienEditor::Titel() const {
  return FArt == TGanglinienArt::Schmutzwasser ? "Schmutzwasser-Tagesgang"
                                               : "Fremdwasser-Jahresgang";
}

const char* TGanglinienEditor::Achse() const {
  return FArt == TGanglinienArt::Schmutzwasser ? "QSx / QS24" : "QF (Monat) / QF (Jahr)";
}

void TGanglinienEditor::LadeBasis(int index) {
  if (index < 0 || index >= static_cast<int>(FBasisWerte.size())) return;
  FBasis = index;
  FWerte = FBasisWerte[static_cast<size_t>(index)];
  for (size_t i = 0; i < FWerte.size(); ++i) {
    const double p = std::isfinite(FWerte[i]) ? std::round(FWerte[i] * 10) : 10;
    FPositionen[i] = static_cast<int>(std::clamp(p, 0.0, double(kMaxPosition)));
  }
}

void TGanglinienEditor::Klick(int i, bool hoch) {
  if (i < 0 || i >= Anzahl()) return;
  const int p = Position(i) + (hoch ? 1 : -1);
  if (p < 0 || p > kMaxPosition) return;
  SetzePosition(i, p);
}

void TGanglinienEditor::SetzePosition(int i, int position) {
  if (i < 0 || i >= Anzahl()) return;
  position = std::clamp(position, 0, kMaxPosition);
  FPositionen[static_cast<size_t>(i)] = position;
  FWerte[static_cast<size_t>(i)] = position / 10.0;
}

double TGanglinienEditor::Summe() const {
  double s = 0;
  for (double v : FWerte) s += v;
  return s;
}

std::vector<TGanglinienZeile> TGanglinienEditor::Tabelle() const {
  const double n = Anzahl();
  std::vector<TGanglinienZeile> t;
  for (int i = 0; i < Anzahl(); ++i) {
    const double v = Wert(i);
    const int zeit = FArt == TGanglinienArt::Schmutzwasser ? i : i + 1;
    t.push_back({std::to_string(zeit), ZahlText(v, 1, false), ZahlText(Kehrwert(v) * n, 3, false)});
  }
  const double s = Summe();
  t.push_back({"Summe", ZahlText(s, 1, false), ZahlText(Kehrwert(s) * n, 3, false)});
  return t;
}

std::string TGanglinienEditor::Pruefen() const {
  const double s = Summe();
  if (!(std::fabs(s - Anzahl()) <= 0.01))
    return "Die Gangliniensumme (" + FloatText(s) + ") ist ungleich " + std::to_string(Anzahl());
  const std::string name = Getrimmt(Name);
  if (name.empty()) return "Sie müssen der Ganglinie einen Namen geben.";
  if (Zeichen(name) > kMaxName)
    return "Der Name der Ganglinie darf höchstens " + std::to_string(kMaxName) +
           " Zeichen lang sein.";
  for (const std::string& n : FNamen)
    if (GleicherName(n, name)) return "Eine Ganglinie mit diesem Namen existiert bereits.";
  return {};
}

std::string TGanglinienEditor::Anhaengen(TReferenzListen& listen) const {
  std::string m = Pruefen();
  if (!m.empty()) return m;
  // The list may have grown since the editor opened.
  const auto schon = [&](const auto& eintraege) {
    for (const auto& g : eintraege)
      if (GleicherName(g.name, Getrimmt(Name))) return true;
    return false;
  };
  if (FArt == TGanglinienArt::Schmutzwasser) {
    if (schon(listen.SWGanglinien.Eintraege))
      return "Eine Ganglinie mit diesem Namen existiert bereits.";
    std::array<double, 24> w{};
    std::copy(FWerte.begin(), FWerte.end(), w.begin());
    listen.SWGanglinien.AddGL(Getrimmt(Name), w);
  } else {
    if (schon(listen.FWGanglinien.Eintraege))
      return "Eine Ganglinie mit diesem Namen existiert bereits.";
    std::array<double, 12> w{};
    std::copy(FWerte.begin(), FWerte.end(), w.begin());
    listen.FWGanglinien.AddGL(Getrimmt(Name), w);
  }
  return {};
}

std::string TGanglinienEditor::Anhaengen(TDokument& dok) const {
  std::string m = Pruefen();
  if (!m.empty()) return m;
  TReferenzListen probe = dok.Model().Referenz;
  m = Anhaengen(probe);
  if (!m.empty()) return m;
  TCommit c = dok.Beginne("Neue Ganglinie");
  c.AendereModell();
  c.Model().Referenz = std::move(probe);
  dok.Push(c);
  return {};
}

}  // namespace t21
