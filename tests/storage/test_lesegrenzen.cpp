// What a data packet can make the reader do: nesting and records beyond any
// packet the program writes are refused with a message, never a crash or an
// allocation out of proportion to the file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "storage/datenpaket.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const char* kKopf =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>";

// A packet whose table nests `tiefe` levels below the top one.
std::string Verschachtelt(int tiefe) {
  std::string t = kKopf;
  t += "<FIELDS><FIELD attrname=\"A\" fieldtype=\"i4\"/>";
  for (int i = 0; i < tiefe; ++i) t += "<FIELD attrname=\"N\" fieldtype=\"nested\"><FIELDS>";
  t += "<FIELD attrname=\"B\" fieldtype=\"string\" WIDTH=\"8\"/>";
  for (int i = 0; i < tiefe; ++i) t += "</FIELDS></FIELD>";
  t += "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW A=\"1\"/></ROWDATA></DATAPACKET>";
  return t;
}

// A table of `felder` empty nested columns with `zeilen` empty records.
std::string VieleLeereZeilen(int felder, int zeilen) {
  std::string t = kKopf;
  t += "<FIELDS>";
  for (int i = 0; i < felder; ++i)
    t += "<FIELD attrname=\"N" + std::to_string(i) + "\" fieldtype=\"nested\"><FIELDS/></FIELD>";
  t += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
  for (int i = 0; i < zeilen; ++i) t += "<ROW/>";
  t += "</ROWDATA></DATAPACKET>";
  return t;
}

class Lesegrenzen : public ::testing::Test {
 protected:
  fs::path datei = fs::temp_directory_path() / ("t21_grenzen_" + std::to_string(getpid()) + ".xml");
  void TearDown() override { fs::remove(datei); }
  std::shared_ptr<TTabelle> Lies(const std::string& text, std::string& fehler) {
    std::ofstream(datei, std::ios::binary) << text;
    return LiesPaket(datei.string(), fehler);
  }
};

}  // namespace

// 20,000 levels overflowed the stack of the schema reader.
TEST_F(Lesegrenzen, NestingBeyondTheBoundIsRefused) {
  std::string fehler;
  EXPECT_EQ(Lies(Verschachtelt(20000), fehler), nullptr);
  EXPECT_NE(fehler.find("geschachtelt"), std::string::npos) << fehler;
  fehler.clear();
  auto t = Lies(Verschachtelt(5), fehler);
  ASSERT_NE(t, nullptr) << fehler;
  EXPECT_EQ(t->Anzahl(), 1);
}

// 139 KB of 1,000 empty nested columns and 20,000 empty records made the
// reader allocate 2.4 GB (a nested table for every record and column).
TEST_F(Lesegrenzen, ManyEmptyRecordsOfManyColumnsAreRefused) {
  const std::string text = VieleLeereZeilen(1000, 20000);
  ASSERT_GT(text.size(), 130000u);
  std::string fehler;
  EXPECT_EQ(Lies(text, fehler), nullptr);
  EXPECT_NE(fehler.find("mehr Datensätze"), std::string::npos) << fehler;
}

// Within the bound, nested tables exist only where a record has rows.
TEST_F(Lesegrenzen, NestedTablesAreMadeWhenNeeded) {
  std::string text = VieleLeereZeilen(50, 2000);
  const std::string ende = "</ROWDATA>";
  text.insert(text.find(ende), "<ROW><N7><ROWN7/><ROWN7/></N7></ROW>");
  std::string fehler;
  auto t = Lies(text, fehler);
  ASSERT_NE(t, nullptr) << fehler;
  ASSERT_EQ(t->Anzahl(), 2001);
  EXPECT_EQ(static_cast<const TTabelle&>(*t).Kind(0, "N7"), nullptr);
  const TTabelle* kind = static_cast<const TTabelle&>(*t).Kind(2000, "N7");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->Anzahl(), 2);
  // Written again, the empty nested tables stay out of the packet.
  EXPECT_EQ(PaketAlsText(*t).find("<N0"), std::string::npos);
}

// Found by fuzzing: a text column and a nested column of the same name; the
// nested rows were put into the text column's (missing) table.
TEST_F(Lesegrenzen, SecondColumnOfTheSameNameIsLeftOut) {
  const std::string text = std::string(kKopf) +
                           "<FIELDS><FIELD attrname=\"N\" fieldtype=\"string\" WIDTH=\"8\"/>"
                           "<FIELD attrname=\"n\" fieldtype=\"nested\"><FIELDS>"
                           "<FIELD attrname=\"B\" fieldtype=\"i4\"/></FIELDS></FIELD></FIELDS>"
                           "<PARAMS/></METADATA><ROWDATA><ROW N=\"x\"><n><ROWn B=\"1\"/></n></ROW>"
                           "</ROWDATA></DATAPACKET>";
  std::string fehler;
  auto t = Lies(text, fehler);
  ASSERT_NE(t, nullptr) << fehler;
  ASSERT_EQ(t->Spalten(), 1);
  EXPECT_EQ(AlsText(t->Wert(0, "N")), "x");
}

// The files the fuzzers found, each read without a fault (tests/storage/daten/fuzz).
TEST(Fuzzfunde, PacketsAreReadOrRefused) {
  for (const auto& e : fs::directory_iterator(fs::path(T21_QUELLE) / "tests/storage/daten/fuzz")) {
    std::string fehler;
    auto t = LiesPaket(e.path().string(), fehler);
    if (!t) {
      EXPECT_FALSE(fehler.empty()) << e.path();
    }
  }
}

// The XML parser's findings are given in German, with the place.
TEST_F(Lesegrenzen, XmlFaultsInGerman) {
  std::string fehler;
  EXPECT_EQ(Lies("<DATAPACKET><METADATA></DATAPACKET>", fehler), nullptr);
  EXPECT_EQ(fehler,
            "Die Datei ist kein lesbares XML-Datenpaket: Anfangs- und End-Tag passen nicht "
            "zueinander (bei Zeichen 24)");
}
