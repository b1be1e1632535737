// Numbers and date-times as text in the user's (German) format.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/datum.h"
#include "script/benutzerformat.h"

using namespace t21::script;

namespace {
const TBenutzerFormat kDeutsch;

double Zeitpunkt(int j, int m, int t, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  double d = 0;
  EXPECT_TRUE(t21::EncodeDate(j, m, t, d));
  return d + t21::EncodeTime(h, mi, s, ms);
}
}  // namespace

TEST(Benutzerformat, ZahlLesen) {
  struct Fall {
    const char* text;
    bool gut;
    double wert;
  };
  const Fall faelle[] = {
      {"2,5", true, 2.5},
      {" -3 ", true, -3},
      {"+1", true, 1},
      {",5", true, 0.5},
      {"1,", true, 1},
      {"1e3", true, 1000},
      {"1,5E-2", true, 0.015},
      {"1e400", true, HUGE_VAL},
      {"0,001e-400", true, 0},
      {"123e308", true, HUGE_VAL},
      {"0,0001e313", true, HUGE_VAL},
      {"0,00001e-99999999999999999999", true, 0},
      {"INF", true, HUGE_VAL},
      {"-inf", true, -HUGE_VAL},
      {"1.5", false, 0},
      {"1.000", false, 0},
      {"", false, 0},
      {"abc", false, 0},
      {"NULL", false, 0},
      {"1e", false, 0},
      {"1 2", false, 0},
      {"-", false, 0},
  };
  for (const auto& f : faelle) {
    double v = -1;
    EXPECT_EQ(ZahlLesen(f.text, kDeutsch, v), f.gut) << f.text;
    if (f.gut) {
      EXPECT_EQ(v, f.wert) << f.text;
    }
  }
  double v;
  EXPECT_TRUE(ZahlLesen("nan", kDeutsch, v));
  EXPECT_TRUE(std::isnan(v));
}

TEST(Benutzerformat, GleitText) {
  struct Fall {
    double wert;
    const char* text;
  };
  const Fall faelle[] = {
      {0, "0"},           {-0.0, "0"},
      {2.5, "2,5"},       {-1234.5, "-1234,5"},
      {0.1 + 0.2, "0,3"}, {1.0 / 3, "0,333333333333333"},
      {0.0001, "0,0001"}, {0.00001, "1E-5"},
      {1.5e-7, "1,5E-7"}, {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},     {1e20, "1E20"},
      {HUGE_VAL, "INF"},  {-HUGE_VAL, "-INF"},
      {NAN, "NAN"},
  };
  for (const auto& f : faelle) EXPECT_EQ(GleitText(f.wert, kDeutsch), f.text) << f.wert;
  EXPECT_EQ(WaehrungText(196200, kDeutsch), "19,62");
  EXPECT_EQ(WaehrungText(-50000, kDeutsch), "-5");
  EXPECT_EQ(WaehrungText(1, kDeutsch), "0,0001");
}

TEST(Benutzerformat, FormatFloat) {
  struct Fall {
    const char* muster;
    double wert;
    const char* text;
  };
  const Fall faelle[] = {
      {"0.00", 2, "2,00"},
      {"0.00", 2.005, "2,00"},  // 2.005 lies below the half as a double
      {"0.00", 0.125, "0,13"},  // an exact half rounds away from zero
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", 9.5, "10"},
      {"0", -0.4, "0"},
      {"#,##0.00", 1234567.891, "1.234.567,89"},
      {"#,##0", -999.5, "-1.000"},
      {"#.##", 0.5, ",5"},
      {"#", 0, ""},
      {"0.##", 1, "1"},
      {"0.0#", 1.5, "1,5"},
      {"000", 7, "007"},
      {"0", 12345, "12345"},
      {"0.00E+00", 12345, "1,23E+04"},
      {"0.0E-0", 0.000123, "1,2E-4"},
      {"0.0E+0", 9.96, "1,0E+1"},
      {"0;(0);'null'", -5, "(5)"},
      {"0;(0);'null'", 0, "null"},
      {"0;;", -5, "-5"},
      {"0 'l/s'", 12.4, "12 l/s"},
      {"\"ca. \"0", 3, "ca. 3"},
      {"", 2.5, "2,5"},
      {"0.00", NAN, "NAN"},
      {"0", 1e20, "100000000000000000000"},
  };
  for (const auto& f : faelle)
    EXPECT_EQ(FormatFloat(f.muster, f.wert, kDeutsch), f.text) << f.muster << " " << f.wert;
}

TEST(Benutzerformat, DatumZeitLesen) {
  struct Fall {
    const char* text;
    TDatumArt art;
    bool gut;
    double wert;
  };
  const Fall faelle[] = {
      {"01.05.2001", TDatumArt::Datum, true, Zeitpunkt(2001, 5, 1)},
      {" 1.5.01 ", TDatumArt::Datum, true, Zeitpunkt(2001, 5, 1)},
      {"1.5.50", TDatumArt::Datum, true, Zeitpunkt(1950, 5, 1)},
      {"06:30", TDatumArt::Zeit, true, Zeitpunkt(1899, 12, 30, 6, 30)},
      {"06:30:15.5", TDatumArt::Zeit, true, Zeitpunkt(1899, 12, 30, 6, 30, 15, 500)},
      {"01.05.2001 06:30", TDatumArt::DatumZeit, true, Zeitpunkt(2001, 5, 1, 6, 30)},
      {"01.05.2001", TDatumArt::DatumZeit, true, Zeitpunkt(2001, 5, 1)},
      {"06:30", TDatumArt::DatumZeit, true, Zeitpunkt(1899, 12, 30, 6, 30)},
      {"29.12.1899 06:00", TDatumArt::DatumZeit, true, -1.25},
      {"31.02.2001", TDatumArt::Datum, false, 0},
      {"01.05.2001 06:30", TDatumArt::Datum, false, 0},
      {"25:00", TDatumArt::Zeit, false, 0},
      {"2001-05-01", TDatumArt::DatumZeit, false, 0},
      {"gestern", TDatumArt::DatumZeit, false, 0},
      {"", TDatumArt::DatumZeit, false, 0},
  };
  for (const auto& f : faelle) {
    double t = -99;
    EXPECT_EQ(DatumZeitLesen(f.text, f.art, kDeutsch, t), f.gut) << f.text;
    if (f.gut) {
      EXPECT_EQ(t, f.wert) << f.text;
    }
  }
}

TEST(Benutzerformat, FormatDateTime) {
  const double t = Zeitpunkt(2001, 5, 1, 6, 7, 8, 9);  // a Tuesday
  struct Fall {
    const char* muster;
    const char* text;
  };
  const Fall faelle[] = {
      {"dd.mm.yyyy hh:nn:ss.zzz", "01.05.2001 06:07:08.009"},
      {"d/m/yy h:n:s", "1.5.01 6:7:8"},
      {"ddd dddd mmm mmmm", "Di Dienstag Mai Mai"},
      {"hh:mm", "06:07"},  // minutes after an hour
      {"mm/yyyy", "05.2001"},
      {"c", "01.05.2001 06:07:08"},
      {"", "01.05.2001 06:07:08"},
      {"t tt", "06:07 06:07:08"},
      {"ddddd", "01.05.2001"},
      {"dddddd", "Dienstag, 1. Mai 2001"},
      {"'Tag' d", "Tag 1"},
      {"YYYY-MM-DD", "2001-05-01"},
  };
  for (const auto& f : faelle) {
    std::string r;
    EXPECT_TRUE(FormatDateTime(f.muster, t, kDeutsch, r)) << f.muster;
    EXPECT_EQ(r, f.text) << f.muster;
  }
  std::string r;
  EXPECT_TRUE(FormatDateTime("c", Zeitpunkt(2004, 3, 1), kDeutsch, r));
  EXPECT_EQ(r, "01.03.2004");
  EXPECT_EQ(DatumZeitWertText(0.25, kDeutsch), "06:00:00");
  for (double falsch : {1e300, -1e7, double(NAN), HUGE_VAL})
    EXPECT_FALSE(FormatDateTime("c", falsch, kDeutsch, r)) << falsch;
}
