#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/format.h"

using t21::ZahlText;

namespace {

struct Fall {
  double wert;
  int nachkomma;
  bool tausender;
  const char* text;
};

// Picture formats round halves away from zero on the decimal value; printf
// would give "1,62" and "0,12" for the first two.
const Fall kFaelle[] = {
    {1.625, 2, true, "1,63"},
    {0.125, 2, true, "0,13"},
    {-1.625, 2, true, "-1,63"},
    {2.5, 0, true, "3"},
    {0.5, 0, true, "1"},
    {-0.5, 0, true, "-1"},
    {1.005, 2, true, "1,00"},  // 1.00499999999999989... as a double
    {0.994, 2, true, "0,99"},
    {0.995, 2, true, "1,00"},  // 0.99500000000000000 to 17 digits
    {9.995, 2, true, "9,99"},  // 9.9949999999999992
    {999.5, 0, true, "1.000"},
    {999999.996, 2, true, "1.000.000,00"},
    {0.0, 2, true, "0,00"},
    {-0.0, 2, true, "0,00"},
    {-0.004, 2, true, "0,00"},
    {-0.005, 2, true, "-0,01"},
    {1234567.891, 2, true, "1.234.567,89"},
    {1234567.891, 2, false, "1234567,89"},
    {-1234.5, 1, true, "-1.234,5"},
    {123.0, 0, true, "123"},
    {1234.0, 0, true, "1.234"},
    {0.000123, 5, true, "0,00012"},
    {0.00001, 2, true, "0,00"},
    {5e-324, 2, true, "0,00"},
    {3.0, -1, true, "3"},
    {1e20, 0, false, "100000000000000000000"},
    {0.1, 20, true, "0,10000000000000001000"},  // 17 significant digits
};

}  // namespace

TEST(ZahlText, Table) {
  for (const Fall& f : kFaelle)
    EXPECT_EQ(ZahlText(f.wert, f.nachkomma, f.tausender), f.text) << f.wert << " / " << f.nachkomma;
}

TEST(ZahlText, InfinityAndNan) {
  EXPECT_EQ(ZahlText(std::numeric_limits<double>::infinity(), 2), "INF");
  EXPECT_EQ(ZahlText(-std::numeric_limits<double>::infinity(), 2), "-INF");
  EXPECT_EQ(ZahlText(std::nan(""), 2), "NAN");
}

// Numbers of 64 digits and more are printed whole, not cut at a buffer.
TEST(ZahlText, LongNumbersArePrintedWhole) {
  const std::string t = ZahlText(1e100, 0, false);
  ASSERT_EQ(t.size(), 101u);
  EXPECT_EQ(t.substr(0, 17), "10000000000000000");
  EXPECT_EQ(t.find_first_not_of('0', 1), std::string::npos);
  const std::string g = ZahlText(-1.7976931348623157e308, 2, true);
  EXPECT_EQ(g.substr(0, 7), "-179.76");
  EXPECT_EQ(g.size(), 1 + 309 + 102 + 3u);
}
