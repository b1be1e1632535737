// The calibration aid: the figures of fit by hand, their undefined cases and
// the pairing by time; the comparison run of the example and the round trip
// of its computed hydrograph through a measurement file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "model/elements.h"
#include "model/regen.h"
#include "simulation/abgleich.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel = fs::path(T21_QUELLE) / "beispiel";

TDateTime Zeitpunkt(int j, int mo, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, mo, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

// Flows at 5-minute steps from t0 (every schritt steps).
TGanglinie Reihe(std::initializer_list<double> q, TDateTime t0 = Zeitpunkt(2001, 6, 1, 10),
                 int schritt = 1) {
  TGanglinie g;
  int i = 0;
  double summe = 0;
  for (double x : q) {
    g.Anhaengen(t0 + i * schritt * 5.0 / 1440, x);
    summe += x;
    ++i;
  }
  g.Mittel = i ? summe / i : 0;
  return g;
}

struct Texte {
  std::string vol, reff, sa;
};
Texte Als(const TAbgleichKennwerte& k) {
  return {KennwertText(k.VOL, k.VOLGueltig), KennwertText(k.REFF, k.REFFGueltig),
          KennwertText(k.SA, k.SAGueltig)};
}

void Beispiel(TM3Model& m) {
  const TLadeErgebnis g = A3_Laden(m, (kBeispiel / "Beispiel").string());
  ASSERT_TRUE(g.Ok) << g.Fehler;
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / r->FileName).string());
}

}  // namespace

TEST(Abgleich, KennwerteVonHand) {
  struct Fall {
    const char* name;
    TGanglinie m, c;
    std::string vol, reff, sa;
  };
  const TDateTime t0 = Zeitpunkt(2001, 6, 1, 10);
  const Fall faelle[] = {
      {"von Hand", Reihe({1, 3, 5, 3}), Reihe({2, 2, 6, 3}), "0,111", "0,625", "0,200"},
      {"gleich", Reihe({1, 3, 5, 3}), Reihe({1, 3, 5, 3}), "0,000", "1,000", "0,000"},
      {"Mittelwert", Reihe({1, 3, 5, 3}), Reihe({3, 3, 3, 3}), "0,000", "0,000", "-0,400"},
      // Pairs by time: the computed series starts earlier and goes on longer.
      {"länger berechnet", Reihe({1, 3, 5, 3}), Reihe({0, 0, 2, 2, 6, 3, 0}, t0 - 2 * 5.0 / 1440),
       "", "0,625", "0,200"},
      // Every other step measured: paired with the computed steps at those times.
      {"jeder zweite Schritt", Reihe({1, 5}, t0, 2), Reihe({1, 9, 5}), "", "1,000", "0,800"},
  };
  for (const Fall& f : faelle) {
    const TAbgleichKennwerte k = Abgleichkennwerte(f.m, f.c);
    const Texte t = Als(k);
    // (VOL compares the totals of the two curves as they are.)
    if (!f.vol.empty()) {
      EXPECT_EQ(t.vol, f.vol) << f.name;
    }
    EXPECT_EQ(t.reff, f.reff) << f.name;
    EXPECT_EQ(t.sa, f.sa) << f.name;
  }
  const TAbgleichKennwerte k = Abgleichkennwerte(Reihe({1, 3, 5, 3}), Reihe({2, 2, 6, 3}));
  EXPECT_NEAR(k.VOL, 0.3 / 2.7, 1e-9);
  EXPECT_NEAR(k.REFF, 0.625, 1e-12);
  EXPECT_NEAR(k.SA, 0.2, 1e-12);
  EXPECT_EQ(k.Paare, 4);
  EXPECT_TRUE(k.Meldungen.empty());
}

TEST(Abgleich, NichtBestimmteKennwerte) {
  // One data line: a cumulative curve of one point at 0, VOL 0; the
  // efficiency of a single value is not defined.
  TAbgleichKennwerte k = Abgleichkennwerte(Reihe({4}), Reihe({1, 2, 3}));
  EXPECT_EQ(Als(k).vol, "0,000");
  EXPECT_EQ(Als(k).reff, "–");
  EXPECT_FALSE(k.Meldungen.empty());
  // All zero: 0/0 everywhere, no perfect figures.
  k = Abgleichkennwerte(Reihe({0, 0, 0}), Reihe({0, 0, 0}));
  EXPECT_EQ(Als(k).vol, "–");
  EXPECT_EQ(Als(k).reff, "–");
  EXPECT_EQ(Als(k).sa, "–");
  EXPECT_EQ(k.Meldungen.size(), 3u);
  // A constant measurement against a different computed curve: not 1.
  k = Abgleichkennwerte(Reihe({2, 2, 2}), Reihe({1, 5, 0}));
  EXPECT_EQ(Als(k).reff, "–");
  // No computed value at the measured times.
  k = Abgleichkennwerte(Reihe({1, 2}), Reihe({1, 2}, Zeitpunkt(2002, 1, 1)));
  EXPECT_EQ(k.Paare, 0);
  EXPECT_EQ(Als(k).reff, "–");
  // Without a measurement nothing.
  k = Abgleichkennwerte(TGanglinie{}, Reihe({1}));
  EXPECT_FALSE(k.VOLGueltig || k.REFFGueltig || k.SAGueltig);
  EXPECT_EQ(KennwertText(0.1234, true, TZahlenformat::Dezimalpunkt()), "0.123");
}

TEST(Abgleich, VergleichslaufUndRundreiseDerMessdatei) {
  TM3Model m;
  Beispiel(m);
  // Saved start states of an earlier run stay with the catchment.
  auto& alt = dynamic_cast<TKEZ&>(*TM3Model::ElementOf(m.Liste.Find("Altstadt")));
  alt.ABs = {{0.25, 0}, {0.5, 0}};
  const TDateTime von = Zeitpunkt(2001, 1, 13), bis = Zeitpunkt(2001, 1, 15);
  TAbgleichLauf lauf(m);
  TGanglinie c1, c2;
  std::vector<std::string> meldungen;
  ASSERT_TRUE(lauf.Rechne("RÜB Mitte", von, bis, c1, meldungen))
      << (meldungen.empty() ? "" : meldungen[0]);
  ASSERT_TRUE(lauf.Rechne("RÜB Mitte", von, bis, c2, meldungen));
  EXPECT_EQ(c1.Q, c2.Q);
  EXPECT_EQ(alt.ABs.size(), 2u);
  EXPECT_EQ(alt.ABs[1].cm(), 0.5);
  // One point per 5-minute step of the period, both ends included.
  ASSERT_EQ(c1.Zeit.size(), 2u * 288 + 1);
  EXPECT_NEAR(c1.Zeit.front(), von, 1e-8);
  EXPECT_GT(*std::max_element(c1.Q.begin(), c1.Q.end()), 0);
  EXPECT_EQ(c1.Summe.front(), 0);

  const fs::path dir = fs::temp_directory_path() / ("t21_abgleich_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string datei = (dir / "RUEB.MGL").string();
  std::string fehler;
  ASSERT_TRUE(SchreibeMGL(datei, c1.Zeit, c1.Q, fehler)) << fehler;
  TGanglinie messung;
  std::string meldung;
  ASSERT_TRUE(LiesMGL(datei, messung, meldung)) << meldung;
  ASSERT_EQ(messung.Zeit.size(), c1.Zeit.size());
  for (size_t i = 0; i < messung.Summe.size(); ++i)
    EXPECT_NEAR(messung.Summe[i], c1.Summe[i], 1e-9 * std::max(1.0, c1.Summe[i])) << i;
  // The period of the measurement runs the same again.
  TGanglinie c3;
  ASSERT_TRUE(lauf.Rechne("RÜB Mitte", messung.Zeit.front(), messung.Zeit.back(), c3, meldungen));
  const TAbgleichKennwerte k = Abgleichkennwerte(messung, c3);
  EXPECT_EQ(Als(k).vol, "0,000");
  EXPECT_EQ(Als(k).reff, "1,000");
  EXPECT_EQ(Als(k).sa, "0,000");
  EXPECT_EQ(k.Paare, static_cast<int>(messung.Zeit.size()));
  fs::remove_all(dir);
}

TEST(Abgleich, Abweisungen) {
  TM3Model m;
  Beispiel(m);
  TAbgleichLauf lauf(m);
  TGanglinie c;
  std::vector<std::string> meldungen;
  EXPECT_FALSE(lauf.Rechne("fehlt", Zeitpunkt(2001, 1, 13), Zeitpunkt(2001, 1, 14), c, meldungen));
  ASSERT_EQ(meldungen.size(), 1u);
  EXPECT_EQ(meldungen[0], "Die Komponente fehlt gibt es nicht (mehr)");

  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / "gibt_es_nicht.REG").string());
  meldungen.clear();
  EXPECT_FALSE(
      lauf.Rechne("RÜB Mitte", Zeitpunkt(2001, 1, 13), Zeitpunkt(2001, 1, 14), c, meldungen));
  ASSERT_EQ(meldungen.size(), 2u);
  EXPECT_EQ(meldungen[0], "Regendatei " + (kBeispiel / "gibt_es_nicht.REG").string() +
                              " nicht gefunden. Abbruch");
  EXPECT_EQ(meldungen[1], "Der Systemaufbau ist fehlerhaft\nDer Simulationslauf wird abgebrochen");
  EXPECT_TRUE(c.Leer());
}
