// Rain gauges: both file layouts as they are read and the delivery per step.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "model/regen.h"
#include "model/simulation.h"
#include "simulation/regengenerator.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

TDateTime D(int j, int m, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

std::string Werte(const std::vector<int>& w) {
  std::string r;
  char b[8];
  for (size_t i = 0; i < 12; ++i) {
    std::snprintf(b, sizeof b, "%5d", i < w.size() ? w[i] : 0);
    r += b;
  }
  return r;
}

// Layout M: header with interval 5 and the given power of ten.
std::string KopfM(int zehner, const char* anfang = "01012001000000",
                  const char* ende = "31122001235500", int dt = 5) {
  char z[128];
  std::snprintf(z, sizeof z, "%-20s%5d%5d%s%s%5d", "", dt, zehner, anfang, ende, 1);
  return std::string("00042 0 0   0       Teststation                   \n") + z +
         "\nzusaetzliche Kopfzeile\n";
}

std::string SatzM(int t, int m, int j, int h, int mi, const std::vector<int>& w, bool e = false) {
  char z[64];
  std::snprintf(z, sizeof z, "00042%02d%02d%04d%02d%02d  %c", t, m, j, h, mi, e ? 'E' : ' ');
  return z + Werte(w) + "\n";
}

std::string KopfL() {
  char z[128];
  std::snprintf(z, sizeof z, "%-20s%2d%3d%5d%2d%3d%5d", "", 1, 1, 2001, 31, 12, 2001);
  return std::string("00042  5  Station L\n") + z + "\nKopf 3\n";
}

std::string SatzL(int t, int m, int j, int h, const std::vector<int>& w) {
  char z[64];
  std::snprintf(z, sizeof z, "000000042%02d%02d%04d %02d", t, m, j, h);
  return z + Werte(w) + "\n";
}

class Regen : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_regen_" + std::to_string(::getpid()));
  TSimulation sim;
  void SetUp() override {
    fs::create_directories(dir);
    sim.SetTime(D(2001, 1, 1), 0, D(2001, 12, 31), 0);
    sim.SetVars({5});
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Datei(const std::string& name, const std::string& inhalt) {
    const auto p = (dir / name).string();
    std::ofstream(p, std::ios::binary) << inhalt;
    return p;
  }
};

}  // namespace

TEST_F(Regen, LayoutMHeaderAndPowerOfTen) {
  for (int zehner : {-3, -2, 0}) {
    TREG r;
    r.SetData(Datei("m.reg", KopfM(zehner) + SatzM(1, 1, 2001, 0, 0, {125, 0, 7}) +
                                 SatzM(1, 1, 2001, 1, 0, {1}, true)));
    ASSERT_TRUE(r.ReadHeader()) << r.Fehler;
    EXPECT_EQ(r.FFormat, "M");
    EXPECT_EQ(r.Nr, "00042");
    EXPECT_EQ(r.Station, "Teststation                   ");
    EXPECT_EQ(r.DT, 5);
    EXPECT_EQ(r.Zehnerpotenz, zehner);
    EXPECT_EQ(r.AnfangsDatum, D(2001, 1, 1));
    EXPECT_EQ(r.EndDatum, D(2001, 12, 31, 23, 55));
    ASSERT_TRUE(r.ReadRain(sim));
    EXPECT_EQ(r.AktDatum, D(2001, 1, 1));
    EXPECT_DOUBLE_EQ(r.Regen[0], zehner == -3 ? 0.125 : 1.25);
    EXPECT_DOUBLE_EQ(r.Regen[2], zehner == -3 ? 0.007 : 0.07);
    // the closing record is never data
    ASSERT_TRUE(r.ReadRain(sim));
    EXPECT_EQ(r.AktDatum, D(2001, 1, 1, 1));
    EXPECT_EQ(r.Regen[0], 0);
  }
}

TEST_F(Regen, LayoutLAndDetection) {
  TREG r;
  r.SetData(Datei("l.reg", KopfL() + SatzL(2, 1, 2001, 10, {125, 5}) + SatzL(2, 1, 2001, 11, {9})));
  ASSERT_TRUE(r.ReadHeader()) << r.Fehler;
  EXPECT_EQ(r.FFormat, "L");
  EXPECT_EQ(r.DT, 5);
  EXPECT_EQ(r.Station, "Station L");
  EXPECT_EQ(r.AnfangsDatum, D(2001, 1, 1));
  EXPECT_EQ(r.EndDatum, D(2001, 12, 31));
  ASSERT_TRUE(r.ReadRain(sim));
  EXPECT_EQ(r.AktDatum, D(2001, 1, 2, 10));
  EXPECT_DOUBLE_EQ(r.Regen[0], 0.125);
  EXPECT_DOUBLE_EQ(r.Regen[1], 0.005);
  ASSERT_TRUE(r.ReadRain(sim));  // last line of the file: no data
  EXPECT_EQ(r.Regen[0], 0);
}

TEST_F(Regen, HourTwentyFourRollsOverTheYear) {
  TREG r;
  sim.SetTime(D(2001, 1, 1), 0, D(2003, 1, 1), 0);
  r.SetData(Datei("m.reg", KopfM(-3) + SatzM(31, 12, 2001, 24, 0, {10}) +
                               SatzM(1, 1, 2002, 1, 0, {}, true)));
  ASSERT_TRUE(r.ReadHeader());
  ASSERT_TRUE(r.ReadRain(sim));
  EXPECT_EQ(r.AktDatum, D(2002, 1, 1));
}

TEST_F(Regen, EarlierRecordsAreSkippedAndReported) {
  TREG r;
  r.SetData(Datei("m.reg", KopfM(-3) + SatzM(1, 1, 2001, 5, 0, {10}) +
                               SatzM(1, 1, 2001, 3, 0, {20}) + SatzM(1, 1, 2001, 5, 0, {30}) +
                               SatzM(1, 1, 2001, 6, 0, {40}) + SatzM(1, 1, 2001, 7, 0, {}, true)));
  ASSERT_TRUE(r.ReadHeader());
  ASSERT_TRUE(r.ReadRain(sim));
  ASSERT_TRUE(r.ReadRain(sim));
  EXPECT_EQ(r.AktDatum, D(2001, 1, 1, 6));
  EXPECT_DOUBLE_EQ(r.Regen[0], 0.04);
  std::vector<TRegenMeldung> m;
  r.SammleHinweise(m);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Text, "2 Datensätze ohne spätere Zeit übersprungen");
}

TEST_F(Regen, BadValuesCountAsZeroWithAHint) {
  TREG r;
  std::string satz = SatzM(1, 1, 2001, 0, 0, {100, 200, -50});
  satz.replace(25, 5, " 1,25");  // decimal comma in value 2
  r.SetData(Datei("m.reg", KopfM(-3) + satz + SatzM(1, 1, 2001, 1, 0, {}, true)));
  ASSERT_TRUE(r.ReadHeader());
  ASSERT_TRUE(r.ReadRain(sim));
  EXPECT_DOUBLE_EQ(r.Regen[0], 0.1);
  EXPECT_EQ(r.Regen[1], 0);
  EXPECT_EQ(r.Regen[2], 0);
  std::vector<TRegenMeldung> m;
  r.SammleHinweise(m);
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].Text, "1 nicht lesbare Werte als 0 mm gelesen");
  EXPECT_EQ(m[1].Text, "1 negative Werte als 0 mm gelesen");
}

TEST_F(Regen, UnreadableFilesAreRefusedWithAMessage) {
  struct Fall {
    const char* name;
    std::string inhalt;
    std::string fehler;
  };
  std::string schlechterSatz = SatzM(1, 1, 2001, 0, 0, {1});
  schlechterSatz.replace(5, 2, "xx");
  const Fall faelle[] = {
      {"leer", "", "Ungültige Regendatei: Kopfzeilen fehlen"},
      {"kopf", "Regen  5 Station\nkein Kopf\n", "Ungültige Regendatei: Anfangsdatum im Dateikopf ist keine Zahl"},
      {"kopfM", "00042 0 0   0\nnur kurz\n",
       "Ungültige Regendatei: Intervallbreite im Dateikopf ist keine Zahl"},
      {"datum", KopfM(-3) + schlechterSatz + SatzM(1, 1, 2001, 1, 0, {}, true),
       "Ungültiger Datensatz in Zeile 4: Datum nicht lesbar"},
  };
  for (const auto& f : faelle) {
    TREG r;
    r.SetData(Datei(f.name, f.inhalt));
    std::vector<TRegenMeldung> m;
    EXPECT_FALSE(r.Positionieren(sim, m)) << f.name;
    EXPECT_EQ(r.Fehler, f.fehler) << f.name;
  }
  TREG fehlt;
  fehlt.SetData((dir / "gibtsnicht.reg").string());
  EXPECT_FALSE(fehlt.ReadHeader());
  EXPECT_EQ(fehlt.Fehler, "Regendatei nicht gefunden");
}

TEST_F(Regen, PositioningReportsSeriesThatDoNotCoverThePeriod) {
  TREG r;
  // series of 2000, period 2001
  r.SetData(Datei("alt.reg", KopfM(-3, "01012000000000", "31122000235500") +
                                 SatzM(1, 6, 2000, 10, 0, {5}) + SatzM(2, 6, 2000, 10, 0, {}, true)));
  std::vector<TRegenMeldung> m;
  ASSERT_TRUE(r.Positionieren(sim, m));
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].Text, "Regenreihe endet 31.12.2000");
  EXPECT_EQ(m[1].Text, "Regenreihe endet bereits 02.06.2000");
  EXPECT_EQ(m[0].Art, "Warnung");

  TREG spaet;  // first record after the period
  spaet.SetData(Datei("neu.reg", KopfM(-3, "01012003000000", "31122003235500") +
                                     SatzM(1, 6, 2003, 10, 0, {5}) + SatzM(2, 6, 2003, 10, 0, {}, true)));
  m.clear();
  ASSERT_TRUE(spaet.Positionieren(sim, m));
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].Text, "Regenreihe beginnt 01.01.2003");
  EXPECT_EQ(m[1].Text, "Regenreihe beginnt 01.06.2003");
}

TEST_F(Regen, DeliveryPerStep) {
  // dt 2.5 min: two steps per block; 1.0 mm in block 1 gives 0.5 mm twice,
  // a zero value and a gap give evaporation.
  sim.dt_min = 2.5;
  sim.SetVars({5});
  ASSERT_EQ(sim.MaxIntervall, 2);
  TREG r;
  r.SetData(Datei("m.reg", KopfM(-3, "31122000000000", "31122001235500") +
                               SatzM(31, 12, 2000, 0, 0, {1000, 0, 400}) +
                               SatzM(31, 12, 2000, 4, 0, {800}) + SatzM(1, 1, 2001, 0, 0, {}, true)));
  std::vector<TRegenMeldung> m;
  ASSERT_TRUE(r.Positionieren(sim, m));
  std::vector<double> werte;
  for (int stunde = 0; stunde < 5; ++stunde)
    for (int j = 1; j <= 12; ++j) {
      sim.Block = j;
      for (int i = 1; i <= sim.MaxIntervall; ++i) {
        sim.Intervall = i;
        bool ok;
        werte.push_back(r.SendRain(sim, ok));
        ASSERT_TRUE(ok);
        sim.IncZeit();
      }
    }
  EXPECT_DOUBLE_EQ(werte[0], 0.5);
  EXPECT_DOUBLE_EQ(werte[1], 0.5);
  EXPECT_LT(werte[2], 0);  // zero value: evaporation, not zero
  EXPECT_DOUBLE_EQ(werte[4], 0.2);
  for (int k = 24; k < 96; ++k) EXPECT_LE(werte[static_cast<size_t>(k)], 0) << k;  // gap 1-3 h
  EXPECT_DOUBLE_EQ(werte[96], 0.4);  // 04:00
  EXPECT_DOUBLE_EQ(r.Zustand.Aktuell.Regen(), 0);
  EXPECT_GT(r.Zustand.Aktuell.Verdunstung(), 0);
  EXPECT_TRUE(sim.EsRegnet);
}

TEST_F(Regen, OneMinuteSeries) {
  // 12 values of a record on 12 consecutive one-minute steps
  sim.dt_min = 5;
  sim.SetVars({1});
  ASSERT_EQ(sim.MaxIntervall, 1);
  ASSERT_EQ(sim.dt_min, 1);
  TREG r;
  const std::string kopf = KopfM(-3, "31122000000000", "31122001235500", 1);
  r.SetData(Datei("m1.reg", kopf + SatzM(31, 12, 2000, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) +
                                SatzM(31, 12, 2000, 0, 12, {100}) + SatzM(1, 1, 2001, 0, 0, {}, true)));
  std::vector<TRegenMeldung> m;
  ASSERT_TRUE(r.Positionieren(sim, m));
  ASSERT_EQ(r.DT, 1);
  for (int k = 1; k <= 13; ++k) {
    sim.Block = k;  // not used for one-minute series
    bool ok;
    const double v = r.SendRain(sim, ok);
    EXPECT_DOUBLE_EQ(v, k <= 12 ? k / 1000.0 : 0.1) << k;
    sim.IncZeit();
  }
}

TEST_F(Regen, GeneratorWritesBothLayoutsDeterministically) {
  for (const char* layout : {"M", "L"}) {
    TRegenGenerator g;
    g.Jahre = 2;
    g.Layout = layout;
    std::string fehler;
    const auto a = (dir / "a.reg").string(), b = (dir / "b.reg").string();
    ASSERT_TRUE(g.Schreibe(a, fehler)) << fehler;
    ASSERT_TRUE(g.Schreibe(b, fehler));
    std::ifstream fa(a), fb(b);
    const std::string sa((std::istreambuf_iterator<char>(fa)), {}), sb((std::istreambuf_iterator<char>(fb)), {});
    EXPECT_EQ(sa, sb);
    // read it back completely and check the annual depth is plausible
    TSimulation s;
    s.SetTime(D(2001, 1, 1), 0, D(2002, 12, 31), 0);
    s.SetVars({5});
    TREG r;
    r.SetData(a);
    std::vector<TRegenMeldung> m;
    ASSERT_TRUE(r.Positionieren(s, m));
    EXPECT_EQ(r.FFormat, layout);
    double summe = 0;
    int saetze = 0;
    while (r.AktDatum < s.Ende && saetze < 100000) {
      for (double v : r.Regen) summe += v;
      ++saetze;
      s.Zeit = r.AktDatum;
      ASSERT_TRUE(r.ReadRain(s));
    }
    EXPECT_GT(summe / 2, 400) << layout;
    EXPECT_LT(summe / 2, 1600) << layout;
  }
}
