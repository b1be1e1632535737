// The hydrograph editor: spin steps from the loaded base, the table with its
// sum row, the checks with their messages, and a new hydrograph in the
// project that survives saving and opening it again.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/dokument.h"
#include "tools/ganglinieneditor.h"

using namespace t21;

TEST(Ganglinien, SchritteTabelleUndSumme) {
  TGanglinienEditor e(TGanglinienArt::Schmutzwasser, StandardReferenzListen());
  EXPECT_STREQ(e.Titel(), "Schmutzwasser-Tagesgang");
  EXPECT_STREQ(e.Achse(), "QSx / QS24");
  ASSERT_EQ(e.Anzahl(), 24);
  EXPECT_EQ(e.Namen().front(), "ausgeglichen");
  EXPECT_EQ(e.Basis(), 0);
  EXPECT_EQ(e.Position(7), 10);
  auto t = e.Tabelle();
  ASSERT_EQ(t.size(), 25u);
  EXPECT_EQ(t[0].Zeit, "0");
  EXPECT_EQ(t[0].Wert, "1,0");
  EXPECT_EQ(t[0].x, "24,000");
  EXPECT_EQ(t[24].Zeit, "Summe");
  EXPECT_EQ(t[24].Wert, "24,0");
  EXPECT_EQ(t[24].x, "1,000");

  // Hour 7 up and hour 8 down keeps the sum.
  e.Klick(7, true);
  e.Klick(8, false);
  EXPECT_DOUBLE_EQ(e.Wert(7), 1.1);
  EXPECT_DOUBLE_EQ(e.Wert(8), 0.9);
  e.Name = "Neu";
  EXPECT_EQ(e.Pruefen(), "");
  e.Klick(8, true);
  EXPECT_EQ(e.Pruefen(), "Die Gangliniensumme (24,1) ist ungleich 24");

  // A value of 0 shows x as 0,000; the range ends at 0 and 3,0.
  for (int i = 0; i < 15; ++i) e.Klick(3, false);
  EXPECT_EQ(e.Position(3), 0);
  EXPECT_EQ(e.Tabelle()[3].Wert, "0,0");
  EXPECT_EQ(e.Tabelle()[3].x, "0,000");
  for (int i = 0; i < 40; ++i) e.Klick(3, true);
  EXPECT_DOUBLE_EQ(e.Wert(3), 3.0);
  e.Klick(-1, true);  // out of range: nothing
  e.Klick(24, true);

  // Loading another base: the values and the spin positions follow it.
  e.LadeBasis(1);  // "Dorf", hour 12 = 3,0
  EXPECT_EQ(e.Basis(), 1);
  EXPECT_DOUBLE_EQ(e.Wert(12), 3.0);
  EXPECT_EQ(e.Position(12), 30);
  e.Klick(12, false);
  EXPECT_DOUBLE_EQ(e.Wert(12), 2.9);
  e.LadeBasis(99);  // unknown: unchanged
  EXPECT_EQ(e.Basis(), 1);

  TGanglinienEditor f(TGanglinienArt::Fremdwasser, StandardReferenzListen());
  EXPECT_STREQ(f.Titel(), "Fremdwasser-Jahresgang");
  EXPECT_STREQ(f.Achse(), "QF (Monat) / QF (Jahr)");
  ASSERT_EQ(f.Anzahl(), 12);
  t = f.Tabelle();
  ASSERT_EQ(t.size(), 13u);
  EXPECT_EQ(t[0].Zeit, "1");
  EXPECT_EQ(t[0].x, "12,000");
  EXPECT_EQ(t[12].Wert, "12,0");
  f.Klick(0, true);
  f.Name = "x";
  EXPECT_EQ(f.Pruefen(), "Die Gangliniensumme (12,1) ist ungleich 12");
}

TEST(Ganglinien, PruefungenInIhrerReihenfolge) {
  TGanglinienEditor e(TGanglinienArt::Schmutzwasser, StandardReferenzListen());
  e.Klick(0, true);
  EXPECT_EQ(e.Pruefen(), "Die Gangliniensumme (24,1) ist ungleich 24");  // before the name
  e.Klick(0, false);
  EXPECT_EQ(e.Pruefen(), "Sie müssen der Ganglinie einen Namen geben.");
  e.Name = "   ";
  EXPECT_EQ(e.Pruefen(), "Sie müssen der Ganglinie einen Namen geben.");
  for (const char* n : {"AUSGEGLICHEN", "Ausgeglichen", "dorf,  BIS 5.000 e", " ausgeglichen "}) {
    e.Name = n;
    EXPECT_EQ(e.Pruefen(), "Eine Ganglinie mit diesem Namen existiert bereits.") << n;
  }
  e.Name = std::string(65, 'x');
  EXPECT_EQ(e.Pruefen(), "Der Name der Ganglinie darf höchstens 64 Zeichen lang sein.");
  e.Name = std::string(64, 'x');
  EXPECT_EQ(e.Pruefen(), "");
  EXPECT_TRUE(GleicherName("Überlauf", "üBERLAUF"));
  EXPECT_FALSE(GleicherName("Uberlauf", "Überlauf"));

  // Appending: only what passes; the list keeps its old entries unchanged.
  TReferenzListen l = StandardReferenzListen();
  e.Name = "ausgeglichen";
  EXPECT_FALSE(e.Anhaengen(l).empty());
  EXPECT_EQ(l.SWGanglinien.Count(), StandardReferenzListen().SWGanglinien.Count());
  e.Name = " Gewerbe ";
  e.Klick(7, true);
  e.Klick(8, false);
  EXPECT_EQ(e.Anhaengen(l), "");
  ASSERT_EQ(l.SWGanglinien.Count(), StandardReferenzListen().SWGanglinien.Count() + 1);
  EXPECT_EQ(l.SWGanglinien.Eintraege.back().name, "Gewerbe");
  EXPECT_DOUBLE_EQ(l.SWGanglinien.value(l.SWGanglinien.Count() - 1, 7), 1.1);
  EXPECT_EQ(l.FWGanglinien.Count(), 1);
  // A second append of the same editor finds the name now in the list.
  EXPECT_EQ(e.Anhaengen(l), "Eine Ganglinie mit diesem Namen existiert bereits.");
}

TEST(Ganglinien, NeueGanglinieImProjekt) {
  const auto ordner = std::filesystem::temp_directory_path() / "t21_ganglinien_test";
  std::filesystem::remove_all(ordner);
  std::filesystem::create_directories(ordner);
  const std::string datei = (ordner / "Projekt").string();
  {
    TDokument d;
    TGanglinienEditor sw(TGanglinienArt::Schmutzwasser, d.Model().Referenz);
    sw.LadeBasis(2);
    sw.Klick(12, true);
    sw.Klick(13, false);
    sw.Name = "Kleinstadt geändert";
    const uint64_t rev = d.Revision();
    EXPECT_EQ(sw.Anhaengen(d), "");
    EXPECT_NE(d.Revision(), rev);
    EXPECT_TRUE(d.KannRueckgaengig());
    TGanglinienEditor fw(TGanglinienArt::Fremdwasser, d.Model().Referenz);
    for (int m = 0; m < 6; ++m) fw.Klick(m, true);
    for (int m = 6; m < 12; ++m) fw.Klick(m, false);
    fw.Name = "Winter nass";
    EXPECT_EQ(fw.Anhaengen(d), "");
    // A refused one is no edit.
    const uint64_t vorher = d.Revision();
    EXPECT_FALSE(fw.Anhaengen(d).empty());
    EXPECT_EQ(d.Revision(), vorher);
    std::string fehler;
    ASSERT_TRUE(d.SpeichernUnter(datei, fehler)) << fehler;
  }
  TLadeErgebnis e;
  auto d = TDokument::Oeffnen(datei, e);
  ASSERT_TRUE(d) << e.Fehler;
  const TReferenzListen& r = d->Model().Referenz;
  ASSERT_EQ(r.SWGanglinien.Count(), StandardReferenzListen().SWGanglinien.Count() + 1);
  const auto& g = r.SWGanglinien.Eintraege.back();
  EXPECT_EQ(g.name, "Kleinstadt geändert");
  EXPECT_DOUBLE_EQ(g.werte[12], 2.5);
  EXPECT_DOUBLE_EQ(g.werte[13], 2.1);
  EXPECT_DOUBLE_EQ(g.werte[0], 0.0);
  ASSERT_EQ(r.FWGanglinien.Count(), 2);
  EXPECT_EQ(r.FWGanglinien.Eintraege[1].name, "Winter nass");
  EXPECT_DOUBLE_EQ(r.FWGanglinien.value(1, 1), 1.1);
  EXPECT_DOUBLE_EQ(r.FWGanglinien.value(1, 12), 0.9);
  std::filesystem::remove_all(ordner);

  // Undo takes a new hydrograph away again, redo brings it back.
  TDokument n;
  TGanglinienEditor neu(TGanglinienArt::Fremdwasser, n.Model().Referenz);
  neu.Name = "Kopie";
  ASSERT_EQ(neu.Anhaengen(n), "");
  EXPECT_EQ(n.Model().Referenz.FWGanglinien.Count(), 2);
  n.Rueckgaengig();
  EXPECT_EQ(n.Model().Referenz.FWGanglinien.Count(), 1);
  n.Wiederholen();
  EXPECT_EQ(n.Model().Referenz.FWGanglinien.Count(), 2);
}
