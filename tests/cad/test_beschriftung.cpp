// Label formats and the layout of texts with a fixed-width fake font.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "cad/beschriftung.h"

using namespace t21;

namespace {

// Every character half the point size wide, lines as high as the size.
class TFesteBreite : public TTextMetrik {
 public:
  int Breite(const TSchrift&, int groesse, std::string_view text) const override {
    int zeichen = 0;
    for (unsigned char c : text)
      if ((c & 0xC0) != 0x80) ++zeichen;
    return zeichen * groesse / 2;
  }
  int Hoehe(const TSchrift&, int groesse) const override { return groesse; }
};

TAnsicht Einfach(double zoom = 1) {
  TAnsicht v;
  v.OrgX = v.OrgY = 0;
  v.Zoom = zoom;
  v.Width = 400;
  v.Height = 300;
  return v;
}

}  // namespace

TEST(Format, NurEineKonversion) {
  const std::optional<std::string> roh;  // the caller shows the raw text
  const struct {
    const char* fmt;
    std::optional<std::string> text, zahl;  // with "Wert", with 12.345
  } faelle[] = {
      {"%s", "Wert", roh},
      {"Becken %s!", "Becken Wert!", roh},
      {"%6s", "  Wert", roh},
      {"%f", roh, "12,35"},
      {"%.1f m", roh, "12,3 m"},
      {"L = %8.3f", roh, "L =   12,345"},
      {"%.0f%%", roh, "12%"},
      {"100%% %s", "100% Wert", roh},
      {"", roh, roh},
      {"ohne", roh, roh},
      {"%s %s", roh, roh},
      {"%d", roh, roh},
      {"%n", roh, roh},
      {"%x", roh, roh},
      {"%100f", roh, roh},
      {"%.123f", roh, roh},
      {"%*f", roh, roh},
      {"%-5s", roh, roh},
      {"%.2s", roh, roh},
      {"%", roh, roh},
      {"%s%", roh, roh},
  };
  for (const auto& f : faelle) {
    EXPECT_EQ(FormatiereText(f.fmt, "Wert"), f.text) << f.fmt;
    EXPECT_EQ(FormatiereZahl(f.fmt, 12.345), f.zahl) << f.fmt;
  }
  EXPECT_EQ(FormatiereZahl("%f", std::nan("")), std::nullopt);
  EXPECT_EQ(FormatiereZahl("%.2f", -1e300).value().size(), 305u);  // fits, however long
}

TEST(Format, TexteUndBemassungen) {
  TCadModel m;
  auto* t = m.CreateShape("TEX", "Titel", 0, 0);
  EXPECT_EQ(TextDesTextes(*t), "Titel");
  t->Fmt = "Becken: %s";
  EXPECT_EQ(TextDesTextes(*t), "Becken: Titel");
  t->Fmt = "%n%n%n%s";  // from a file: shown raw, never formatted
  EXPECT_EQ(TextDesTextes(*t), "Titel");

  auto* d = m.CreateShape("Dim", "Mass", 0, 0);
  d->X2 = 30;
  d->Y2 = 40;
  EXPECT_EQ(TextDerBemassung(*d), "50,00");
  d->A = "h";
  EXPECT_EQ(TextDerBemassung(*d), "30,00");
  d->A = "v";
  d->Fmt = "%.1f m";
  EXPECT_EQ(TextDerBemassung(*d), "40,0 m");
  d->Fmt = "%s";
  EXPECT_EQ(TextDerBemassung(*d), "%s");
  d->Val = "+ frei";
  EXPECT_EQ(TextDerBemassung(*d), "+ frei");
}

TEST(Layout, BeschriftungNachTextPos) {
  TCadModel m;
  auto* s = m.CreateShape("KEM", "Gebiet", 100, 100);  // x 100..150, y 100..150
  const TAnsicht v = Einfach();                        // screen y = 300 - y: 150..200
  const TFesteBreite f;
  // "Gebiet": 6 characters of size 8 -> 24 pixels wide, 8 high.
  const struct {
    int pos, x, y;
  } faelle[] = {{3, 154, 171}, {9, 72, 171}, {6, 113, 200}, {12, 113, 140}};
  for (const auto& c : faelle) {
    s->TextPos = c.pos;
    const auto b = Beschriftung(*s, v, f);
    ASSERT_TRUE(b) << c.pos;
    EXPECT_EQ(b->X, c.x) << c.pos;
    EXPECT_EQ(b->Y, c.y) << c.pos;
    EXPECT_EQ(b->Breite, 24);
    EXPECT_EQ(b->Groesse, 8);
  }
  s->TextPos = 0;
  EXPECT_FALSE(Beschriftung(*s, v, f));
  s->TextPos = 3;
  EXPECT_FALSE(Beschriftung(*s, Einfach(0.05), f));  // round(8 * 0.05) = 0: nothing
  EXPECT_EQ(Beschriftung(*s, Einfach(2), f)->Groesse, 16);
}

TEST(Layout, WertZeilenImRechteck) {
  TCadModel m;
  auto* s = m.CreateShape("REC", "r", 0, 0);  // 50 x 50
  s->Val = "abcdefghijklmnopqrstuvwxyz";
  const TFesteBreite f;
  // Usable width 50 - 4 ("W") - 2 = 44: characters are taken while the line
  // is narrower, so eleven of 4 pixels; six lines of 8 fit.
  auto z = WertZeilen(*s, Einfach(), f);
  ASSERT_EQ(z.size(), 3u);
  EXPECT_EQ(z[0].Text, "abcdefghijk");
  EXPECT_EQ(z[1].Text, "lmnopqrstuv");
  EXPECT_EQ(z[2].Text, "wxyz");
  // Centred on the middle x = 25, one line down ((6 - 3) / 2) from the top
  // (screen y 250).
  EXPECT_EQ(z[0].X, 25 - 22);
  EXPECT_EQ(z[0].Y, 250 + 8 + 1);
  EXPECT_EQ(z[2].X, 25 - 8);
  EXPECT_EQ(z[2].Y, 250 + 3 * 8 + 1);

  // At most as many lines as fit; the rest is dropped.
  s->Y2 = 16;
  z = WertZeilen(*s, Einfach(), f);
  ASSERT_EQ(z.size(), 2u);
  EXPECT_EQ(z[1].Text, "lmnopqrstuv");

  // A box narrower than one character still takes one per line, and umlauts
  // stay whole.
  s->X2 = 4;
  s->Val = "äöü";
  z = WertZeilen(*s, Einfach(), f);
  ASSERT_EQ(z.size(), 2u);
  EXPECT_EQ(z[0].Text, "ä");
  EXPECT_EQ(z[1].Text, "ö");
}

TEST(Layout, SchriftfeldUndMessen) {
  TCadModel m;
  auto* s = m.CreateShape("IMP", "Kopf", 0, 0);
  s->Val =
      "Ingenieurbüro#Hauptstr. 1#12345#Musterstadt#0123#0456#a@b.de#P-17#Becken#V1#Stadt#1.2.2026#";
  const TFesteBreite f;
  const auto z = Schriftfeld(*s, Einfach(), f);
  ASSERT_EQ(z.size(), 10u);
  EXPECT_EQ(z[0].Stueck.Text, "Ingenieurbüro");
  EXPECT_EQ(z[0].Stueck.Groesse, 13);  // 1.6 * 8
  EXPECT_EQ(z[1].Stueck.Text, "Hauptstr. 1  12345  Musterstadt");
  EXPECT_EQ(z[2].Stueck.Text, "Tel.: 0123   Fax: 0456   mail: a@b.de");
  EXPECT_TRUE(z[3].Trennlinie);
  EXPECT_EQ(z[4].Stueck.Text, "Becken");
  EXPECT_EQ(z[4].Stueck.Groesse, 11);  // 1.4 * 8
  EXPECT_TRUE(z[7].Trennlinie);
  EXPECT_EQ(z[8].Stueck.Text, "Projekt-Nummer P-17");
  EXPECT_EQ(z[9].Stueck.Text, " Bearbeitungsdatum 1.2.2026");
  // Rows go down; the last two share a row, right-aligned the second.
  EXPECT_LT(z[0].Stueck.Y, z[1].Stueck.Y);
  EXPECT_EQ(z[8].Stueck.Y, z[9].Stueck.Y);
  EXPECT_EQ(z[9].Stueck.X + z[9].Stueck.Breite, 385 - 2);

  // Measuring: as wide as the widest row (the "Tel." row, 37 characters of
  // 4 pixels, plus 4) and 13.5 font heights high.
  SchriftfeldMessen(*s, f);
  EXPECT_EQ(s->X2 - s->X1, 37 * 4 + 4);
  EXPECT_EQ(s->Y2 - s->Y1, 13.5 * 11);
  EXPECT_EQ(SchriftfeldFelder("a#b").size(), 12u);
}

TEST(Layout, MessenGeschiehtBeiFesterGroesse) {
  TCadModel m;
  auto* t = m.CreateShape("TEX", "Hallo", 10, 20);
  const TFesteBreite f;
  TextBoxMessen(*t, f);
  EXPECT_EQ(t->X2, 10 + 20);  // 5 characters of 4 pixels at zoom 1
  EXPECT_EQ(t->Y2, 20 + 8);
  t->Al = "R";
  t->Val = "Hallo Welt";
  TextBoxMessen(*t, f);
  EXPECT_EQ(t->X2, 30);  // anchored at the right
  EXPECT_EQ(t->X1, -10);

  auto* d = m.CreateShape("Dim", "Mass", 0, 0);
  d->X2 = 100;
  Vermessen(*d, f);
  EXPECT_EQ(d->m_dw, 6 * 4 + 8);  // "100,00"
}
