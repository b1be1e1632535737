// t21 regio: the flood yield in the three formats and an input error.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/regio.h"

using namespace t21;

TEST(RegioCli, ErtragUndEingabefehler) {
  std::ostringstream out, err;
  EXPECT_EQ(Regio("10", "5000", "50", "75", Format::Text, out, err), 0);
  EXPECT_EQ(out.str().rfind("Hq1,pnat = 175,98 l/(s*km2)\n", 0), 0u) << out.str();
  EXPECT_EQ(err.str(), "");
  std::ostringstream tsv, json;
  EXPECT_EQ(Regio("2", "800", "40", "80", Format::Tsv, tsv, err), 0);
  EXPECT_NE(tsv.str().find("\n258,79\t"), std::string::npos) << tsv.str();
  EXPECT_EQ(Regio("15", "5000", "50", "75", Format::Json, json, err), 0);
  EXPECT_EQ(json.str().rfind("{\"Hq1pnat\": 213.45", 0), 0u) << json.str();

  std::ostringstream o2, e2;
  EXPECT_EQ(Regio("10", "5000", "0", "75", Format::Text, o2, e2), 2);
  EXPECT_EQ(o2.str(), "");
  EXPECT_EQ(e2.str(), "t21: Eingabefehler: Höhendifferenz\n");
}
