// The result data module: its tables, saving and loading the results of a run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "simulation/ergebnisse.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

TDateTime D(int j, int m, int t, int h = 0, int mi = 0, int s = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, s, 0);
}

std::string Lies(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> Spalten(const TTabelle& t) {
  std::vector<std::string> r;
  for (const TFeld& f : t.Schema().Felder) r.push_back(f.Name);
  return r;
}

// Every cell the same, value and kind.
void ExpectGleich(const TDataModule2& a, const TDataModule2& b) {
  const auto ta = a.Tabellen(), tb = b.Tabellen();
  ASSERT_EQ(ta.size(), tb.size());
  for (size_t i = 0; i < ta.size(); ++i) {
    const TTabelle& x = *ta[i];
    const TTabelle& y = *tb[i];
    ASSERT_EQ(x.Anzahl(), y.Anzahl()) << x.Schema().Name;
    for (int z = 0; z < x.Anzahl(); ++z)
      for (int s = 0; s < x.Spalten(); ++s) {
        const TWert& u = x.Wert(z, s);
        const TWert& v = y.Wert(z, s);
        EXPECT_EQ(u.index(), v.index()) << x.Schema().Name << " " << z << " " << s;
        if (std::holds_alternative<double>(u) && std::holds_alternative<double>(v) &&
            std::isnan(std::get<double>(u)))
          EXPECT_TRUE(std::isnan(std::get<double>(v)));
        else
          EXPECT_TRUE(u == v) << x.Schema().Name << " row " << z << " column "
                              << x.Schema().Felder[static_cast<size_t>(s)].Name;
      }
  }
}

class Ergebnisse : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("t21_erg_" + std::to_string(::getpid()));
  TDataModule2 dm;

  void SetUp() override {
    fs::create_directories(dir);
    TDataModule2::Uebernehmen(dm.CDSReport,
                              {{"Bilanzierungsbeginn", "01.01.01 00:00:00", ""},
                               {},
                               {"Einleitung Mühlbach", "O2", "Anforderungen verletzt"}});
    TDataModule2::Uebernehmen(dm.CDSFehler,
                              {{"Fehler!", "E", "kein Gefälle oder Gegengefälle. Abbruch!"}});
    TNeueZeile{dm.CDSEreignisse}("Nr.", 1)("Beginn", D(2001, 3, 1, 10, 5))(
        "Ende", D(2001, 3, 1, 16, 0, 15))("Dauer", "5,92")("Entlastung", true);
    TNeueZeile{dm.CDSEreignisseBauwerke}("Nr", 1)("Name", "RÜB Nord")("Typ", "RUB")("Jahr", "2001")(
        "Start", D(2001, 3, 1, 10, 5))("Dauer", 0.1 + 0.2)("Q_KUE", 1e-300)("CSB_ges", -2.5e17)(
        "T", std::nan(""));
    TNeueZeile{dm.CDSHDAbfluss}("Element", "E")("OK", true)("OKS", "*");
    TNeueZeile{dm.CDSAnimation}("Zeit", D(2001, 3, 1, 23, 59, 45))("Q", 1.0 / 3);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Pfad(const std::string& name) const { return (dir / name).string(); }
};

}  // namespace

TEST(ErgebnisTabellen, NamesAndColumnsInTheModulesOrder) {
  TDataModule2 dm;
  std::vector<std::string> namen;
  for (const TTabelle* t : dm.Tabellen()) namen.push_back(t->Schema().Name);
  EXPECT_EQ(namen,
            (std::vector<std::string>{
                "CDSReport", "CDSEreignisse", "CDSEreignisseGewaesser", "CDSESTEreignisse",
                "CDSEreignisseBauwerke", "CDSFrachtenGewaesser", "CDSFrachtenBauwerke", "CDSSumKEZ",
                "CDSSumA128", "CDSSumOMA", "CDSSUMKLG", "CDSSumEST", "CDSSumREG", "CDSFehler",
                "CDSHDAuswertung", "CDSHDAbfluss", "CDSAnimation", "CDSREG1"}));
  EXPECT_EQ(Spalten(dm.CDSEreignisse),
            (std::vector<std::string>{"Nr.", "Beginn", "Ende", "Dauer", "Entlastung"}));
  EXPECT_EQ(Spalten(dm.CDSSumA128),
            (std::vector<std::string>{"Jahr", "Element", "Typ", "AU", "QZU", "QS", "QF", "QR", "QD",
                                      "QKUE", "TKUE", "QBUE", "TBUE", "n", "E0"}));
  auto oma = Spalten(dm.CDSSumA128);
  oma.erase(oma.begin() + 2);
  EXPECT_EQ(Spalten(dm.CDSSumOMA), oma);
  const auto ev = Spalten(dm.CDSEreignisseBauwerke);
  ASSERT_EQ(ev.size(), 7u + 24u);
  EXPECT_EQ(ev[6], "Dauer");
  EXPECT_EQ(ev[7], "Q");
  EXPECT_EQ(ev[12], "T");
  EXPECT_EQ(ev[13], "Q_KUE");
  EXPECT_EQ(ev[30], "T_ges");
  const auto fr = Spalten(dm.CDSFrachtenGewaesser);
  EXPECT_EQ(fr[3], "Jahr");
  EXPECT_EQ(fr.back(), "AFS_Vorbelastung");
  const auto hd = Spalten(dm.CDSHDAuswertung);
  ASSERT_EQ(hd.size(), 2u + 9 + 9 + 12 + 21 + 12 + 1);
  EXPECT_EQ(hd[2], "G1");
  EXPECT_EQ(hd[31], "M12");
  EXPECT_EQ(hd[32], "OK1");
  EXPECT_EQ(hd[53], "EA0");
  EXPECT_EQ(hd.back(), "OK");
  EXPECT_EQ(dm.Tabelle("cdssumkez"), &dm.CDSSumKEZ);
  EXPECT_EQ(dm.Tabelle("CDSWBP"), nullptr);
}

TEST(ErgebnisTabellen, MessagesKeepTheirWholeText) {
  TDataModule2 dm;
  const std::vector<TMeldungZeile> z{
      {"Fehler!", "E", "kein Gefälle oder Gegengefälle. Abbruch!"},
      {"Fehler!", "R", "Ungültiger Datensatz in Zeile 123456: Datum nicht lesbar"}};
  TDataModule2::Uebernehmen(dm.CDSFehler, z);
  EXPECT_EQ(TDataModule2::Meldungen(dm.CDSFehler), z);
}

TEST(ErgebnisTabellen, FileNames) {
  struct Fall {
    const char* gewaehlt;
    const char* basis;
  };
  for (const Fall& f :
       {Fall{"/tmp/x.s21", "/tmp/x"}, Fall{"/tmp/x_CDSReport.s21", "/tmp/x"},
        Fall{"/tmp/x.S21", "/tmp/x"}, Fall{"/tmp/lauf_CDSReport_2.s21", "/tmp/lauf"},
        Fall{"/tmp/_CDSReport.s21", "/tmp/_CDSReport"},
        Fall{"/a_CDSReport/x.s21", "/a_CDSReport/x"}})
    EXPECT_EQ(TDataModule2::SpeicherBasis(f.gewaehlt), f.basis) << f.gewaehlt;
  for (const Fall& f :
       {Fall{"/tmp/x_CDSReport.s21", "/tmp/x"},
        Fall{"/tmp/mein_lauf_CDSReport.s21", "/tmp/mein_lauf"}, Fall{"/t_1/x.s21", "/t_1/x"}})
    EXPECT_EQ(TDataModule2::LadeBasis(f.gewaehlt), f.basis) << f.gewaehlt;
  EXPECT_EQ(TDataModule2::Dateiname("b", "CDSReport"), "b_CDSReport.s21");
  EXPECT_EQ(TDataModule2::Dateiname("b", "CDSSumKEZ"), "b_CDSSumKEZ.xml");
}

TEST_F(Ergebnisse, SaveLoadSaveGivesIdenticalFiles) {
  std::string fehler;
  ASSERT_TRUE(dm.Speichern(Pfad("lauf.s21"), fehler)) << fehler;
  for (const TTabelle* t : dm.Tabellen())
    EXPECT_TRUE(fs::exists(TDataModule2::Dateiname(Pfad("lauf"), t->Schema().Name)))
        << t->Schema().Name;
  EXPECT_TRUE(fs::exists(Pfad("lauf_CDSReport.s21")));
  EXPECT_TRUE(fs::exists(Pfad("lauf_CDSEreignisse.xml")));

  TDataModule2 geladen;
  std::vector<std::string> meldungen;
  ASSERT_TRUE(geladen.Laden(Pfad("lauf_CDSReport.s21"), meldungen));
  EXPECT_TRUE(meldungen.empty());
  ExpectGleich(dm, geladen);
  // times of day, full precision and text survive
  EXPECT_EQ(AlsZahl(geladen.CDSEreignisse.Wert(0, "Ende")), D(2001, 3, 1, 16, 0, 15));
  EXPECT_EQ(AlsZahl(geladen.CDSEreignisseBauwerke.Wert(0, "Dauer")), 0.1 + 0.2);
  EXPECT_EQ(AlsText(geladen.CDSEreignisseBauwerke.Wert(0, "Name")), "RÜB Nord");
  EXPECT_TRUE(IstNull(geladen.CDSEreignisseBauwerke.Wert(0, "Q")));

  // saving under the entry's own name writes the same files
  ASSERT_TRUE(geladen.Speichern(Pfad("zwei_CDSReport.s21"), fehler)) << fehler;
  for (const TTabelle* t : dm.Tabellen())
    EXPECT_EQ(Lies(TDataModule2::Dateiname(Pfad("lauf"), t->Schema().Name)),
              Lies(TDataModule2::Dateiname(Pfad("zwei"), t->Schema().Name)))
        << t->Schema().Name;
  EXPECT_FALSE(fs::exists(Pfad("zwei_CDSReport_CDSReport.s21")));
}

TEST_F(Ergebnisse, WrongExtensionsAreRefused) {
  std::string fehler;
  EXPECT_FALSE(dm.Speichern(Pfad("lauf.xml"), fehler));
  EXPECT_EQ(fehler, "Ungültige Datei-Extension");
  EXPECT_TRUE(fs::is_empty(dir));

  const TDataModule2 vorher = dm;
  std::vector<std::string> meldungen;
  EXPECT_FALSE(dm.Laden(Pfad("lauf_CDSReport.xml"), meldungen));
  EXPECT_EQ(meldungen,
            std::vector<std::string>{Pfad("lauf_CDSReport.xml") +
                                     "\nist keine gültige TamKor21 - Simulations - Datei"});
  ExpectGleich(dm, vorher);
}

TEST_F(Ergebnisse, DamagedFilesLeaveTheCurrentResults) {
  std::string fehler;
  ASSERT_TRUE(dm.Speichern(Pfad("lauf.s21"), fehler)) << fehler;
  // another run's results are current when the damaged files are loaded
  TDataModule2 aktuell;
  TDataModule2::Uebernehmen(aktuell.CDSReport, {{"Bilanzierungsbeginn", "01.01.05 00:00:00", ""}});
  TNeueZeile{aktuell.CDSSumKEZ}("Jahr", "2005")("Element", "K")("AU", 3.0);
  const TDataModule2 vorher = aktuell;

  std::ofstream(Pfad("lauf_CDSSumKEZ.xml"), std::ios::binary) << "<DATAPACKET><ROWDATA>";
  std::ofstream(Pfad("lauf_CDSSumREG.xml"), std::ios::binary) << "\x96\x19\xE0\xBD binär";
  fs::remove(Pfad("lauf_CDSAnimation.xml"));
  std::vector<std::string> meldungen;
  EXPECT_FALSE(aktuell.Laden(Pfad("lauf_CDSReport.s21"), meldungen));
  EXPECT_EQ(meldungen,
            (std::vector<std::string>{
                "Datei " + Pfad("lauf_CDSSumKEZ.xml") + "konnte nicht geladen werden",
                "Datei " + Pfad("lauf_CDSSumREG.xml") + "konnte nicht geladen werden",
                "Datei " + Pfad("lauf_CDSAnimation.xml") + "konnte nicht geladen werden"}));
  ExpectGleich(aktuell, vorher);
}

TEST_F(Ergebnisse, LoadingTakesTheColumnsOfTheSameName) {
  std::string fehler;
  TDataModule2 leer;
  ASSERT_TRUE(leer.Speichern(Pfad("alt.s21"), fehler));
  // a file of an older writer: a column less, one more, another case
  std::ofstream(Pfad("alt_CDSHDAbfluss.xml"), std::ios::binary)
      << "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"element\" fieldtype=\"string\" WIDTH=\"32\"/>"
         "<FIELD attrname=\"HQ1vorh\" fieldtype=\"r8\"/>"
         "<FIELD attrname=\"Extra\" fieldtype=\"r8\"/></FIELDS><PARAMS/></METADATA>"
         "<ROWDATA><ROW element=\"E\" HQ1vorh=\"12.5\" Extra=\"1\"/></ROWDATA></DATAPACKET>";
  std::vector<std::string> meldungen;
  ASSERT_TRUE(dm.Laden(Pfad("alt_CDSReport.s21"), meldungen));
  ASSERT_EQ(dm.CDSHDAbfluss.Anzahl(), 1);
  EXPECT_EQ(AlsText(dm.CDSHDAbfluss.Wert(0, "Element")), "E");
  EXPECT_EQ(AlsZahl(dm.CDSHDAbfluss.Wert(0, "HQ1vorh")), 12.5);
  EXPECT_TRUE(IstNull(dm.CDSHDAbfluss.Wert(0, "OK")));
  EXPECT_EQ(dm.CDSReport.Anzahl(), 0);  // the other tables were those of the empty run
}
