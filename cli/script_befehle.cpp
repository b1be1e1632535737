#include "cli/script_befehle.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "model/network.h"
#include "script/interpreter.h"
#include "storage/projektdatei.h"
#include "storage/tabelle.h"

namespace t21 {

namespace {

bool GueltigesUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int folge = c < 0x80           ? 0
                      : (c >> 5) == 0x6  ? 1
                      : (c >> 4) == 0xE  ? 2
                      : (c >> 3) == 0x1E ? 3
                                         : -1;
    if (folge < 0 || i + static_cast<size_t>(folge) >= s.size()) return false;
    for (int k = 1; k <= folge; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) return false;
    i += static_cast<size_t>(folge) + 1;
  }
  return true;
}

std::string Latin1NachUtf8(const std::string& s) {
  std::string r;
  r.reserve(s.size() + s.size() / 8);
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      r += ch;
    } else {
      r += static_cast<char>(0xC0 | (c >> 6));
      r += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return r;
}

bool ProjektLesen(TM3Model& m, const std::string& datei, std::ostream& err) {
  std::string endung = std::filesystem::path(datei).extension().string();
  for (char& c : endung) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (endung != ".T21") {
    err << "t21: " << datei << ": unbekannte Dateiendung (erwartet .T21)\n";
    return false;
  }
  const TLadeErgebnis e = A3_Laden(m, OhneEndung(datei));
  if (!e.Ok) {
    err << "t21: " << e.Fehler << "\n";
    return false;
  }
  for (const auto& h : e.Hinweise) err << "t21: " << h << "\n";
  return true;
}

}  // namespace

bool ScriptDateiLesen(const std::string& datei, std::vector<std::string>& zeilen,
                      std::string& fehler) {
  std::ifstream in(datei, std::ios::binary);
  if (!in) {
    fehler = datei + ": Datei nicht gefunden";
    return false;
  }
  std::ostringstream puffer;
  puffer << in.rdbuf();
  std::string text = puffer.str();
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  if (!GueltigesUtf8(text)) text = Latin1NachUtf8(text);
  zeilen.clear();
  std::istringstream z(text);
  for (std::string zeile; std::getline(z, zeile);) {
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    zeilen.push_back(std::move(zeile));
  }
  return true;
}

int ScriptPruefenBefehl(const std::string& datei, std::ostream& out, std::ostream& err) {
  std::vector<std::string> zeilen, liste, meldungen;
  std::string fehler;
  if (!ScriptDateiLesen(datei, zeilen, fehler)) {
    err << "t21: " << fehler << "\n";
    return 2;
  }
  script::TbbInterpreter ip;
  ip.PrepareScript(zeilen, liste, meldungen);
  for (const auto& m : meldungen) out << m << "\n";
  if (!meldungen.empty()) return 1;
  for (const auto& h : ip.Hinweise()) out << h << "\n";
  err << "t21: Script fehlerfrei, " << liste.size() << " Anweisungen\n";
  return 0;
}

int ScriptAusfuehrenBefehl(const std::string& datei, const std::string& projekt,
                           const std::string& element, std::ostream& out, std::ostream& err) {
  std::vector<std::string> zeilen, liste, meldungen;
  std::string fehler;
  if (!ScriptDateiLesen(datei, zeilen, fehler)) {
    err << "t21: " << fehler << "\n";
    return 2;
  }
  TM3Model m;
  if (!ProjektLesen(m, projekt, err)) return 2;
  TElement* e = TM3Model::ElementOf(m.GetNode(element));
  if (!e) {
    err << "t21: kein Element \"" << element << "\" im Projekt\n";
    return 2;
  }
  TSimulation sim;
  sim.Netz = &m.Netz();
  sim.Referenz = &m.Referenz;
  script::TbbInterpreter ip(m);
  ip.SetSimulation(&sim);
  ip.Parser().OnShow = [&out](const std::string& text) { out << text << "\n"; };
  auto* bauwerk = dynamic_cast<TBauwerk*>(e);
  if (bauwerk) bauwerk->QDaktiv = bauwerk->QD;

  script::TScriptCode code = ip.PrepareScript(zeilen, liste, meldungen);
  if (!meldungen.empty()) {
    for (const auto& z : meldungen) out << z << "\n";
    return 1;
  }
  try {
    ip.DoScript(*e, code);
  } catch (const script::TScriptFehler& f) {
    out << "Funktions-Name oder -Argument ungültig \n";
    err << "t21: " << f.what() << "\n";
    return 1;
  }
  for (const auto& z : ip.VariablenZeilen(ip.Variables())) out << z << "\n";
  const auto oeffentlich = ip.VariablenZeilen(ip.PublicVars());
  if (!oeffentlich.empty()) {
    out << "\n";
    for (const auto& z : oeffentlich) out << z << "\n";
  }
  if (bauwerk)
    err << "t21: QD in Kraft " << script::GleitText(bauwerk->QDaktiv, ip.Parser().Format)
        << " l/s (Drossel " << script::GleitText(bauwerk->QD, ip.Parser().Format) << " l/s)\n";
  return 0;
}

TScriptBefehle::TScriptBefehle(CLI::App& app) {
  CLI::App* script = app.add_subcommand("script", "Steuerungs-Scripte (.T3s) prüfen und ausführen");
  script->require_subcommand(1);
  FCheck = script->add_subcommand(
      "check", "Prüft ein Script und gibt seine Fehlermeldungen aus (Exit-Code 1 bei Fehlern)");
  FCheck->add_option("datei", FDatei, "Script-Datei (.T3s)")->required();
  FRun = script->add_subcommand(
      "run",
      "Führt ein Script einmal für ein Element eines Projekts aus und gibt die Variablen aus");
  FRun->add_option("datei", FDatei, "Script-Datei (.T3s)")->required();
  FRun->add_option("--project", FProjekt, "Projektdatei (.T21)")->required();
  FRun->add_option("--element", FElement, "Name des Elements")->required();
}

bool TScriptBefehle::Gewaehlt() const {
  return FCheck->parsed() || FRun->parsed();
}

int TScriptBefehle::Ausfuehren(std::ostream& out, std::ostream& err) const {
  if (FCheck->parsed()) return ScriptPruefenBefehl(FDatei, out, err);
  return ScriptAusfuehrenBefehl(FDatei, FProjekt, FElement, out, err);
}

}  // namespace t21
