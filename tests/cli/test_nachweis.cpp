// The whole verification of `t21 verify`: inflow, sums, design values and
// the checks of discharge points, in text, json and tsv.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/ausgabe.h"
#include "cli/nachweis.h"
#include "model/discharge.h"
#include "model/format.h"
#include "model/structures.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

struct Beispiel {
  TM3Model m;
  Beispiel() {
    const auto e = A3_Laden(m, (fs::path(T21_QUELLE) / "beispiel" / "Beispiel").string());
    EXPECT_TRUE(e.Ok) << e.Fehler;
  }
  TCadShape* Shape(const char* name) { return m.Liste.Find(name); }
  std::string Ausgabe(Format f) {
    std::ostringstream out;
    SchreibeVerifikation(m, f, out);
    return out.str();
  }
};

const TNachweisWert* Wert(const std::vector<TNachweisWert>& w, const std::string& name) {
  for (const auto& x : w)
    if (x.Name == name) return &x;
  return nullptr;
}

const TSummenzeile* Summe(const TElementNachweis& n, const std::string& name) {
  for (const auto& z : n.Summen)
    if (z.Name == name) return &z;
  return nullptr;
}

}  // namespace

// The inflow of an element is what its upstream elements hand on, and its
// sums are the inflow's and its own.
TEST(Nachweis, InflowAndSumsOfTheTank) {
  Beispiel b;
  TCadShape* rub = b.Shape("RÜB Mitte");
  ASSERT_NE(rub, nullptr);
  double zuflussQ[kAnzahlQr];
  for (int i = 0; i < kAnzahlQr; ++i) zuflussQ[i] = 0;
  for (TCadShape* u : rub->Zufluesse())
    if (u->Parent() == rub)
      for (int i = 0; i < kAnzahlQr; ++i) zuflussQ[i] += TM3Model::ElementOf(u)->AB[i].Q;
  const TElementNachweis n = Nachweis(b.m, rub);
  EXPECT_EQ(n.Typ, "RUB");
  for (int i = 0; i < kAnzahlQr; ++i) {
    EXPECT_NEAR(n.Zufluss[i].Q, zuflussQ[i], 1e-9) << i;
    // the throttle takes at most QD; the rest leaves over the overflows
    EXPECT_NEAR(n.Abfluss[i].Q + n.QKUE[static_cast<size_t>(i)] + n.QBUE[static_cast<size_t>(i)],
                n.Zufluss[i].Q, 1e-9)
        << i;
  }
  const auto& tank = dynamic_cast<const TRUB&>(*TM3Model::ElementOf(rub));
  ASSERT_NE(Summe(n, "E"), nullptr);
  EXPECT_EQ(Summe(n, "E")->Ablauf, tank.SUM.E);
  EXPECT_EQ(Summe(n, "SUMVerf")->Ablauf, tank.SUM.SUMVerf);
  EXPECT_EQ(Summe(n, "QBEM")->Zulauf, b.m.Zufluss().SUM.QBEM());
  for (const char* name : {"e0", "VS", "Vges", "Verf", "QKRIT", "QD", "Volumen"})
    EXPECT_NE(Wert(n.Bemessung, name), nullptr) << name;
  EXPECT_EQ(Wert(n.Bemessung, "e0")->Wert, tank.e0);
  EXPECT_EQ(Wert(n.Bemessung, "Verf")->Wert, tank.Verf);
  ASSERT_FALSE(n.Bemessungsliste.empty());
  EXPECT_EQ(n.Bemessungsliste.front().Bezeichner, "----- Ergebnisse -----");
}

// The verdicts of the discharge point agree with its messages.
TEST(Nachweis, ChecksOfTheDischargePoint) {
  Beispiel b;
  TCadShape* s = b.Shape("Einleitung Mühlbach");
  ASSERT_NE(s, nullptr);
  const auto& e = dynamic_cast<const TEST&>(*TM3Model::ElementOf(s));
  const TElementNachweis n = Nachweis(b.m, s);
  auto hat = [&](const char* text) {
    for (const auto& h : e.FEHLER)
      if (h == text) return true;
    return false;
  };
  struct Fall {
    const char* pruefung;
    bool erfuellt;
  };
  const Fall faelle[] = {
      {"hydraulik", !hat("Q Gew > (1 + x) * HQ1 pnat") && !hat("Qvoll < HQ1pnat")},
      {"ammoniak", !hat("NH3-N > 0.1 mg/l")},
      {"sauerstoff", !hat("O2-Gehalt < 5 mg/l")},
      {"afs63", e.SUM.AFS63r <= e.AFSezul},
  };
  ASSERT_EQ(n.Pruefungen.size(), std::size(faelle));
  for (size_t k = 0; k < std::size(faelle); ++k) {
    EXPECT_EQ(n.Pruefungen[k].Name, faelle[k].pruefung);
    EXPECT_EQ(n.Pruefungen[k].Erfuellt, faelle[k].erfuellt) << faelle[k].pruefung;
  }
  EXPECT_FALSE(n.Pruefungen[0].Erfuellt);  // the example's flood check fails
  ASSERT_EQ(n.Gewaesser.size(), static_cast<size_t>(kAnzahlQr));
  EXPECT_EQ(Wert({n.Gewaesser[3].begin(), n.Gewaesser[3].end()}, "cO2")->Wert, e.AP[3].cO2);
  EXPECT_EQ(Wert({n.Gewaesser[3].begin(), n.Gewaesser[3].end()}, "Q")->Wert, e.CG[3].Q);
}

// The three formats carry the same things: German labels with decimal comma
// in text, the engine's names in json and tsv.
TEST(Nachweis, ThreeFormats) {
  Beispiel b;
  const auto& tank = dynamic_cast<const TRUB&>(*TM3Model::ElementOf(b.Shape("RÜB Mitte")));
  const std::string text = b.Ausgabe(Format::Text);
  const std::string json = b.Ausgabe(Format::Json);
  const std::string tsv = b.Ausgabe(Format::Tsv);
  for (const std::string& s : {std::string("RÜB Mitte (RUB)\n  Zufluss\n"), std::string("  Summen"),
                               std::string("zulässige Entlastungsrate"), ZahlText(tank.e0, 2),
                               std::string("Hydraulische Belastung: nicht erfüllt"),
                               std::string("Sauerstoff: erfüllt"), std::string("  Überläufe\n")})
    EXPECT_NE(text.find(s), std::string::npos) << s;
  EXPECT_EQ(text.find("NAN"), std::string::npos);
  for (const std::string& s :
       {std::string("\"name\":\"RÜB Mitte\",\"typ\":\"RUB\",\"zufluss\":[{\"qr\":0,\"Q\":"),
        std::string(",\"summen\":{\"zulauf\":{\"E\":"), std::string("\"e0\":" + JsonZahl(tank.e0)),
        std::string("\"pruefungen\":{\"hydraulik\":{\"erfuellt\":false,"),
        std::string("\"gewaesser\":[{\"qr\":0,\"Q\":"), std::string("\"ueberlauf\":[{\"qr\":0,")})
    EXPECT_NE(json.find(s), std::string::npos) << s;
  EXPECT_EQ(tsv.rfind("ELEMENT\tTYP\tBLOCK\tGROESSE\tQR\tWERT\n", 0), 0u);
  EXPECT_NE(tsv.find("RÜB Mitte\tRUB\tbemessung\te0\t\t" + JsonZahl(tank.e0) + "\n"),
            std::string::npos);
  EXPECT_NE(tsv.find("Einleitung Mühlbach\tEST\tpruefungen.sauerstoff\terfuellt\t\t1\n"),
            std::string::npos);
  std::istringstream zeilen(tsv);
  for (std::string z; std::getline(zeilen, z);)
    ASSERT_EQ(std::count(z.begin(), z.end(), '\t'), 5) << z;
}

// JSON text is always valid UTF-8: bytes of no well-formed sequence (Latin-1
// texts of older files, cut sequences) become the Latin-1 characters.
TEST(Nachweis, JsonTextIsValidUtf8) {
  struct Fall {
    std::string roh, json;
  };
  const Fall faelle[] = {
      {"Mühlbach", "\"Mühlbach\""},
      {"M\xFChlbach", "\"Mühlbach\""},
      {"\xC3", "\"\xC3\x83\""},
      {"\xE2\x82", "\"\xC3\xA2\xC2\x82\""},
      {"\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xC2\x80\""},  // a surrogate
      {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
      {"a\"b\\\x01", "\"a\\\"b\\\\\\u0001\""},
  };
  for (const Fall& f : faelle) EXPECT_EQ(JsonText(f.roh), f.json) << f.roh;
}

// The verification of the example, as text and as tsv, byte for byte as
// checked in (tests/cli/daten): concentrations where concentrations belong,
// every unit, rounding and layout. After a deliberate change of the output,
// write the files again with t21 verify and review the difference.
TEST(Nachweis, ExampleAsCheckedIn) {
  const std::string quelle = T21_QUELLE;
  for (const auto& [format, datei] : {std::pair{Format::Text, "verify_beispiel.txt"},
                                      std::pair{Format::Tsv, "verify_beispiel.tsv"}}) {
    TM3Model m;
    const TLadeErgebnis e = A3_Laden(m, quelle + "/beispiel/Beispiel");
    ASSERT_TRUE(e.Ok) << e.Fehler;
    std::ostringstream out;
    SchreibeVerifikation(m, format, out);
    std::ifstream f(quelle + "/tests/cli/daten/" + datei, std::ios::binary);
    std::stringstream soll;
    soll << f.rdbuf();
    EXPECT_TRUE(out.str() == soll.str()) << datei;
  }
}
