// Measurement files of the calibration aid: reading in the user's formats,
// the messages, a failed read leaving the loaded series alone, the
// cumulative volume and the round trip of a written hydrograph.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "storage/mgl.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

TDateTime Zeitpunkt(int j, int mo, int t, int h, int mi, int s = 0) {
  TDateTime d = 0;
  EncodeDate(j, mo, t, d);
  return d + EncodeTime(h, mi, s, 0);
}

}  // namespace

TEST(MGL, LiestZeilenMitSummenlinieUndMittel) {
  TGanglinie g;
  std::string m;
  ASSERT_TRUE(
      LiesMGLText("T;Q\r\n01.06.2001 10:00:00;1\r\n01.06.2001 10:05:00;3,5\r\n"
                  "01.06.2001 10:15;2\r\n",
                  g, m))
      << m;
  ASSERT_EQ(g.Zeit.size(), 3u);
  EXPECT_NEAR(g.Zeit[2], Zeitpunkt(2001, 6, 1, 10, 15), 1e-9);
  EXPECT_EQ(g.Q[1], 3.5);
  EXPECT_NEAR(g.Mittel, 6.5 / 3, 1e-12);
  // m3: l/s over the interval in days times 86.4.
  EXPECT_EQ(g.Summe[0], 0);
  EXPECT_NEAR(g.Summe[1], 1 * 300 / 1000.0, 1e-9);
  EXPECT_NEAR(g.Summe[2], 0.3 + 3.5 * 600 / 1000.0, 1e-9);
}

TEST(MGL, MeldungenUndDieGeladeneReiheBleibt) {
  TGanglinie g;
  std::string m;
  ASSERT_TRUE(LiesMGLText("T;Q\n01.06.2001 10:00:00;1\n01.06.2001 10:05:00;2\n", g, m));
  const TGanglinie vorher = g;
  struct Fall {
    const char* text;
    std::string meldung;
  };
  const Fall faelle[] = {
      {"", kMGLLeer},
      {"\n\n", kMGLLeer},
      {"Zeit;Q\n01.06.2001 10:00:00;1\n", kMGLUngueltig},
      {"T;Q \n", kMGLUngueltig},
      {"T;Q\n01.06.2001 10:00:00;1\n01.06.2001 10:05:00\n", MGLZeilenFehler(2)},
      {"T;Q\n32.06.2001 10:00:00;1\n", MGLZeilenFehler(1)},
      {"T;Q\n01.06.2001 25:00:00;1\n", MGLZeilenFehler(1)},
      {"T;Q\n01.06.2001 10:00:00;1\n\n01.06.2001 10:10:00;1\n", MGLZeilenFehler(2)},
      {"T;Q\n01.06.2001 10:00:00;eins\n", MGLZeilenFehler(1)},
      {"T;Q\n01.06.2001 10:00:00;1,2,3\n", MGLZeilenFehler(1)},
      {"T;Q\n01.06.2001 10:00:00;nan\n", MGLZeilenFehler(1)},
  };
  for (const Fall& f : faelle) {
    EXPECT_FALSE(LiesMGLText(f.text, g, m)) << f.text;
    EXPECT_EQ(m, f.meldung) << f.text;
    EXPECT_EQ(g.Zeit, vorher.Zeit) << f.text;
    EXPECT_EQ(g.Q, vorher.Q) << f.text;
  }
  EXPECT_EQ(MGLZeilenFehler(7), "Ungültiger Eintrag in Zeile 7 der Messwert-Datei");

  // Only the header: no points, mean 0.
  ASSERT_TRUE(LiesMGLText("T;Q\r\n", g, m));
  EXPECT_TRUE(g.Leer());
  EXPECT_EQ(g.Mittel, 0);
}

TEST(MGL, ZahlenUndDatumInDenEinstellungenDesBenutzers) {
  const TZahlenformat us{".", "M/d/yyyy"};
  TGanglinie g;
  std::string m;
  ASSERT_TRUE(LiesMGLText("T;Q\n6/1/2001 10:00:00;1.25\n12/31/01 23:59:59;2\n", g, m, us)) << m;
  EXPECT_NEAR(g.Zeit[0], Zeitpunkt(2001, 6, 1, 10, 0), 1e-9);
  EXPECT_NEAR(g.Zeit[1], Zeitpunkt(2001, 12, 31, 23, 59, 59), 1e-9);
  EXPECT_EQ(g.Q[0], 1.25);
  EXPECT_EQ(MGLZeit(Zeitpunkt(2001, 6, 1, 10, 0), us), "6/1/2001 10:00:00");
  EXPECT_EQ(MGLZeit(Zeitpunkt(2001, 6, 1, 10, 0), TZahlenformat::Deutsch()), "01.06.2001 10:00:00");
  // A German file read with the US settings has no valid lines.
  EXPECT_FALSE(LiesMGLText("T;Q\n13.06.2001 10:00:00;1,5\n", g, m, us));
  EXPECT_EQ(m, MGLZeilenFehler(1));
}

TEST(MGL, GeschriebeneGanglinieLaedtAlsMessung) {
  const fs::path dir = fs::temp_directory_path() / ("t21_mgl_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::vector<TDateTime> t;
  std::vector<double> q;
  for (int i = 0; i < 300; ++i) {
    t.push_back(Zeitpunkt(2001, 6, 1, 0, 0) + i * 5.0 / 1440);
    q.push_back(i % 7 == 0 ? 0 : 12.3456789012 * i / 7.0);
  }
  for (const TZahlenformat& f : {TZahlenformat::Deutsch(), TZahlenformat{".", "yyyy-MM-dd"}}) {
    const std::string datei = (dir / "Berechnet.MGL").string();
    std::string fehler;
    ASSERT_TRUE(SchreibeMGL(datei, t, q, fehler, f)) << fehler;
    EXPECT_FALSE(fs::exists(datei + ".tmp"));
    TGanglinie g;
    std::string m;
    ASSERT_TRUE(LiesMGL(datei, g, m, f)) << m;
    EXPECT_EQ(g.Datei, datei);
    ASSERT_EQ(g.Zeit.size(), t.size());
    for (size_t i = 0; i < t.size(); ++i) {
      EXPECT_NEAR(g.Zeit[i], t[i], 1e-9) << i;
      EXPECT_NEAR(g.Q[i], q[i], 1e-12 * std::max(1.0, q[i])) << i;
    }
  }
  std::ifstream in(dir / "Berechnet.MGL");
  std::string kopf;
  std::getline(in, kopf);
  EXPECT_EQ(kopf, "T;Q\r");
  // A folder that is not there: no file, a reason.
  std::string fehler;
  EXPECT_FALSE(SchreibeMGL((dir / "fehlt" / "x.MGL").string(), t, q, fehler));
  EXPECT_FALSE(fehler.empty());
  TGanglinie g;
  std::string m;
  EXPECT_FALSE(LiesMGL((dir / "fehlt.MGL").string(), g, m));
  fs::remove_all(dir);
}
