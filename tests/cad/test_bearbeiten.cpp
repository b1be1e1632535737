#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cad/bearbeiten.h"
#include "model/network.h"

using namespace t21;

namespace {

// A network model with the messages it would show.
class Modell : public TM3Model {
 public:
  std::vector<std::string> Meldungen;
  void Meldung(const std::string& t) override { Meldungen.push_back(t); }
};

class Bearbeiten : public ::testing::Test {
 protected:
  Modell m;
  TAnsicht v;  // zoom 0.9, origin (-10, -10)

  Bearbeiten() {
    v.Zoom = 1;
    v.OrgX = v.OrgY = 0;
    v.Width = 800;
    v.Height = 600;
  }
  TCadShape* Neu(const char* typ, const char* name, double x = 0, double y = 0) {
    return m.CreateShape(typ, name, x, y);
  }
  void Waehle(std::initializer_list<TCadShape*> s) {
    m.SelectAll(false);
    for (TCadShape* x : s) m.SetSelected(x);
  }
};

// ------------------------------------------------------------------ names

TEST_F(Bearbeiten, NamenPruefenUeberAlleShapesOhneGrossKlein) {
  Neu("KEM", "Netz A");
  Neu("REC", "Kasten");  // graphic shapes are not in the element list
  struct Fall {
    const char* name;
    const char* meldung;
  } faelle[] = {
      {"  ", "Sie müssen eine Elementbezeichnung eingeben!"},
      {"netz a", "Ein Element mit diesem Namen existiert bereits!"},
      {"KASTEN", "Ein Element mit diesem Namen existiert bereits!"},
      {"~x", "Der Element-Name darf nicht mit dem Zeichen \"~\" beginnen!"},
      {"0123456789012345678901234567890", ""},
      {"01234567890123456789012345678901",
       "Die Länge des Element-Namens ist auf 31 Zeichen begrenzt!"},
      {"  Neu  ", ""},
      {"ÄÖÜäöüßÄÖÜäöüßÄÖÜäöüßÄÖÜäöüßÄÖÜ", ""},  // 31 characters, 62 bytes
  };
  for (const Fall& f : faelle) EXPECT_EQ(PruefeName(m, f.name), f.meldung) << f.name;
  // Umlauts fold like the element list folds them.
  Neu("KEM", "Über");
  EXPECT_NE(PruefeName(m, "über"), "");
  // Renaming a shape to its own name in another case is fine.
  EXPECT_EQ(PruefeName(m, "NETZ A", m.GetNode("Netz A")), "");
}

TEST_F(Bearbeiten, VorschlaegeSindFreiOhneGrossKleinUndHoechstens31Zeichen) {
  Neu("KEM", "kem.1");
  EXPECT_EQ(NamensVorschlag(m, "KEM"), "KEM.2");
  Neu("REC", "KEM.2");  // a graphic shape takes the name as well
  EXPECT_EQ(NamensVorschlag(m, "KEM"), "KEM.3");
  const std::string lang(31, 'x');
  const std::string v1 = NamensVorschlag(m, lang);
  EXPECT_EQ(v1, std::string(29, 'x') + ".1");
  EXPECT_EQ(PruefeName(m, v1), "");
  EXPECT_EQ(FreierName(m, "frei"), "frei");
  EXPECT_EQ(FreierName(m, "KEM.1"), "KEM.1.1");
  // Multi-byte characters are cut at a character boundary.
  const std::string umlaute = "ÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄ";
  const std::string v2 = NamensVorschlag(m, umlaute);
  EXPECT_EQ(Zeichenzahl(v2), 31u);
  EXPECT_EQ(v2.substr(v2.size() - 2), ".1");
}

TEST_F(Bearbeiten, DieWurzelGibtEsNurEinmal) {
  std::string meldung;
  EXPECT_FALSE(KannErzeugen(m, "NET", &meldung));
  EXPECT_EQ(meldung, kMeldungZweiteWurzel);
  EXPECT_TRUE(KannErzeugen(m, "KEM"));
  EXPECT_TRUE(KannErzeugen(m, "DIM"));
  EXPECT_FALSE(KannErzeugen(m, "XYZ"));
  TCadModel leer;
  EXPECT_TRUE(KannErzeugen(leer, "NET"));
}

// ---------------------------------------------------------------- linking

TEST_F(Bearbeiten, VerbindungsregelnDerModi) {
  struct Fall {
    const char* quelle;
    const char* ziel;
    TVerbindeModus modus;
    bool verbunden;
    const char* meldung;
  } faelle[] = {
      {"KEM", "RUB", TVerbindeModus::Parent, true, ""},
      {"KEM", "EST", TVerbindeModus::Parent, false, ""},  // refused silently
      {"KER", "EST", TVerbindeModus::Parent, true, ""},
      {"AEK", "VFL", TVerbindeModus::Parent, true, ""},
      {"KEM", "VFL", TVerbindeModus::Parent, false, ""},
      {"RUB", "EST", TVerbindeModus::KUE, true, ""},
      {"KEM", "EST", TVerbindeModus::KUE, false, ""},  // catchments have no overflow
      {"RUB", "REG", TVerbindeModus::KUE, false, ""},
      {"RUB", "EST", TVerbindeModus::BUE, true, ""},
      {"RU", "EST", TVerbindeModus::BUE, false, ""},
      {"KEM", "EST", TVerbindeModus::GEW, true, ""},
      {"KEM", "RUB", TVerbindeModus::GEW, false, kMeldungNurEinleitung},
      {"KEM", "CON", TVerbindeModus::GEW, false, kMeldungNurEinleitung},
      {"KEM", "REG", TVerbindeModus::REG, true, ""},
      {"KEM", "EST", TVerbindeModus::REG, false, kMeldungNurRegenschreiber},
      {"KES", "KEM", TVerbindeModus::REG, false, kMeldungNurRegenschreiber},
      {"RUB", "EST", TVerbindeModus::GEW, false, ""},  // no catchment selected
      {"REC", "RAU", TVerbindeModus::Parent, true, ""},
  };
  for (const Fall& f : faelle) {
    Modell mm;
    TCadShape* q = mm.CreateShape(f.quelle, "Q", 0, 0);
    TCadShape* z = mm.CreateShape(f.ziel, "Z", 100, 0);
    mm.SetSelected(q);
    Verbinde(mm, f.modus, z);
    const bool drin = q->Parent() == z || q->KUE() == z || q->GEW() == z;
    EXPECT_EQ(drin, f.verbunden) << f.quelle << " -> " << f.ziel << " " << int(f.modus);
    EXPECT_EQ(mm.Meldungen.empty() ? "" : mm.Meldungen.back(), f.meldung)
        << f.quelle << " -> " << f.ziel;
  }
}

TEST_F(Bearbeiten, SelbstUndVorgaengerGebenIhreMeldung) {
  TCadShape* a = Neu("KEM", "A");
  TCadShape* b = Neu("RUB", "B");
  Waehle({a});
  Verbinde(m, TVerbindeModus::Parent, b);
  ASSERT_EQ(a->Parent(), b);
  Waehle({b});
  Verbinde(m, TVerbindeModus::Parent, b);
  EXPECT_EQ(m.Meldungen.back(), "Element B kann nicht mit sich selbst verbunden werden.");
  Verbinde(m, TVerbindeModus::Parent, a);
  EXPECT_EQ(m.Meldungen.back(),
            "Element B kann nicht mit eigenem Vorgänger Element A verbunden werden.");
  EXPECT_EQ(b->Parent(), m.Root());
}

// -------------------------------------------------------------- splitting

TEST_F(Bearbeiten, TeilenBenenntDenConnectorMitDerErstenFreienNummer) {
  TCadShape* a = Neu("KEM", "A", 0, 0);
  TCadShape* b = Neu("RUB", "B", 200, 0);
  Neu("CON", "CON.1", 500, 500);
  Neu("REC", "con.3", 600, 500);  // any shape, any case
  a->SetParent(b);
  TCadShape* c = TeileLink(*a, 1, v);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Name, "CON.2");
  EXPECT_EQ(a->Parent(), c);
  EXPECT_EQ(c->Parent(), b);
  EXPECT_TRUE(m.IsSelected(c));
  EXPECT_NE(m.Liste.Find("CON.2"), nullptr);  // an element with its connector
  // The connector lies centred on the line between the docks.
  const TPixel von = DockAb(*a, v), bis = DockZu(*b, v);
  EXPECT_NEAR(c->HMiddle(), v.PaperX((von.X + bis.X) / 2.0), 1.01);
  // The next split takes the next free number.
  TCadShape* c2 = TeileLink(*a, 1, v);
  ASSERT_NE(c2, nullptr);
  EXPECT_EQ(c2->Name, "CON.4");
}

TEST_F(Bearbeiten, RegenschreiberUndGewaesserWerdenNieGeteilt) {
  TCadShape* a = Neu("KEM", "A");
  TCadShape* r = Neu("REG", "R", 0, 200);
  TCadShape* e = Neu("EST", "E", 300, 0);
  Waehle({a});
  ASSERT_TRUE(SetzeRegenschreiber(m, r));
  ASSERT_TRUE(SetzeGewaesser(m, e));
  const int vorher = m.Count();
  for (int sender : {5, 2}) {
    std::string meldung;
    EXPECT_EQ(TeileLink(*a, sender, v, &meldung), nullptr);
    EXPECT_EQ(meldung, kMeldungKeinRegenschreiberTeilen);
  }
  for (int sender : {3, 4}) {
    std::string meldung;
    EXPECT_EQ(TeileLink(*a, sender, v, &meldung), nullptr);
    EXPECT_EQ(meldung, kMeldungKeinGewaesserTeilen);
  }
  EXPECT_EQ(m.Count(), vorher);
  EXPECT_EQ(a->REG(), r);
  EXPECT_EQ(a->GEW(), e);
  // A structure's overflows are split as usual.
  TCadShape* b = Neu("RUB", "B");
  b->SetKUE(e);
  b->SetGEW(e);
  ASSERT_NE(TeileLink(*b, 2, v), nullptr);
  ASSERT_NE(TeileLink(*b, 4, v), nullptr);
  EXPECT_TRUE(b->KUE()->IsConnector());
  EXPECT_TRUE(b->BUE()->IsConnector());
  // No link: nothing.
  EXPECT_EQ(TeileLink(*r, 1, v), nullptr);
}

// ----------------------------------------------------------------- moving

TEST_F(Bearbeiten, VerschiebenBewegtDieGanzeFigur) {
  TCadShape* pol = Neu("POL", "P", 10, 10);
  pol->Koordinaten = {{10, 10}, {50, 10}, {50, 80}};
  TCadShape* arc = Neu("Arc", "B", 0, 0);
  arc->X3 = 50;
  arc->Y3 = 25;
  arc->X4 = 25;
  arc->Y4 = 50;
  TCadShape* rre = Neu("RRE", "R", 0, 0);
  Waehle({pol, arc, rre});
  BewegeAuswahl(m, v, 5, -7);  // 5 right, 7 up on screen
  EXPECT_EQ(pol->Koordinaten[0], (TPunkt{15, 17}));
  EXPECT_EQ(pol->Koordinaten[2], (TPunkt{55, 87}));
  EXPECT_EQ(arc->X3, 55);
  EXPECT_EQ(arc->Y4, 57);
  EXPECT_EQ(rre->X3, 15);  // corner radii are no points
  EXPECT_EQ(rre->X1, 5);
  EXPECT_EQ(rre->Y2, 57);
}

TEST_F(Bearbeiten, VerschiebenMitZufluessenBewegtJedenEinmal) {
  TCadShape* a = Neu("KEM", "A");
  TCadShape* b = Neu("RUB", "B", 100, 0);
  TCadShape* e = Neu("EST", "E", 200, 0);
  a->SetParent(b);
  b->SetParent(e);
  b->SetKUE(e);  // B stands twice in E's list
  TCadShape* frei = Neu("KEM", "F", 400, 0);
  Waehle({e});
  BewegeAuswahlMitZufluessen(m, v, 10, 0);
  EXPECT_EQ(a->X1, 10);
  EXPECT_EQ(b->X1, 110);
  EXPECT_EQ(e->X1, 210);
  EXPECT_EQ(frei->X1, 400);
  EXPECT_EQ(m.Root()->X1, 0);
}

TEST_F(Bearbeiten, AmRasterRundetDenAnkerUndBehaeltDieGroesse) {
  TCadShape* s = Neu("RUB", "B", 23, 36);
  AmRaster(*s, 10);
  EXPECT_EQ(s->X1, 20);
  EXPECT_EQ(s->Y1, 40);
  EXPECT_EQ(s->X2, 90);
  EXPECT_EQ(s->Y2, 90);
  AmRaster(*s, 0);  // refused spacing: unchanged
  EXPECT_EQ(s->X1, 20);
}

TEST_F(Bearbeiten, AusrichtenNachDerTabelle) {
  struct Fall {
    THorizontal h;
    TVertikal v;
    double x1, y1;  // of the second shape afterwards
  } faelle[] = {
      {THorizontal::Oben, TVertikal::Keine, 300, 50},       // Y2 = 100, height 50
      {THorizontal::Unten, TVertikal::Keine, 300, 50},      // Y1 = 50
      {THorizontal::Zentriert, TVertikal::Keine, 300, 50},  // both 50 high
      {THorizontal::Keine, TVertikal::Links, 10, 7},
      {THorizontal::Keine, TVertikal::Rechts, 10, 7},  // X2 = 80 = 10 + 70, width 70
      {THorizontal::Keine, TVertikal::Mittig, 10, 7},
      {THorizontal::AmRaster, TVertikal::AmRaster, 300, 0},
  };
  for (const Fall& f : faelle) {
    Modell mm;
    TCadShape* a = mm.CreateShape("RUB", "A", 10, 50);  // 70 x 50
    TCadShape* b = mm.CreateShape("RUB", "B", 300, 7);  // 70 x 50
    mm.SetSelected(a);
    mm.SetSelected(b);
    ASSERT_TRUE(Ausrichten(mm, f.h, f.v, 20));
    EXPECT_EQ(b->X1, f.x1) << int(f.h) << int(f.v);
    EXPECT_EQ(b->Y1, f.y1) << int(f.h) << int(f.v);
    EXPECT_EQ(b->X2 - b->X1, 70);
    EXPECT_EQ(b->Y2 - b->Y1, 50);
  }
  // A polyline moves with all its vertices.
  Modell mm;
  TCadShape* a = mm.CreateShape("REC", "A", 0, 100);
  TCadShape* p = mm.CreateShape("POL", "P", 0, 0);
  p->Koordinaten = {{5, 0}, {25, 30}};
  mm.SetSelected(a);
  mm.SetSelected(p);
  ASSERT_TRUE(Ausrichten(mm, THorizontal::Unten, TVertikal::Keine, 10));
  EXPECT_EQ(p->Koordinaten[0], (TPunkt{5, 100}));
  EXPECT_EQ(p->Koordinaten[1], (TPunkt{25, 130}));
  // Fewer than two: refused.
  mm.Deselect(p);
  EXPECT_FALSE(Ausrichten(mm, THorizontal::Unten, TVertikal::Keine, 10));
}

// --------------------------------------------------------------- polylines

TEST_F(Bearbeiten, PunktEinfuegenTrifftAuchSenkrechteUndWaagerechteStrecken) {
  struct Fall {
    TPunkt p;
    int index;
  } faelle[] = {
      {{50, 2}, 1},     // on the horizontal first segment
      {{98, 50}, 2},    // beside the vertical second segment
      {{150, 150}, 3},  // on the diagonal third segment
      {{500, 500}, 4},  // near none: appended
  };
  for (const Fall& f : faelle) {
    TCadShape* s = Neu("POL", "P");
    s->Koordinaten = {{0, 0}, {100, 0}, {100, 100}, {200, 200}};
    EXPECT_EQ(PunktEinfuegen(*s, f.p, 6), f.index) << f.p.X << "," << f.p.Y;
    EXPECT_EQ(s->Koordinaten[static_cast<size_t>(f.index)], f.p);
    EXPECT_EQ(s->Koordinaten.size(), 5u);
    m.DeleteShape(s);
  }
}

// ------------------------------------------------------------ rubber band

TEST_F(Bearbeiten, GummibandMitMindestgroesse) {
  const TGummiband g = Gummiband({105, 205}, {100, 200}, true);
  EXPECT_EQ(g.Rect, (TPixelRect{100, 200, 120, 220}));
  EXPECT_TRUE(g.NachLinks);
  EXPECT_TRUE(g.NachOben);
  EXPECT_EQ(Gummiband({100, 200}, {105, 205}, false).Rect, (TPixelRect{100, 200, 105, 205}));
  EXPECT_EQ(Gummiband({0, 0}, {50, 60}, true).Rect, (TPixelRect{0, 0, 50, 60}));
  EXPECT_TRUE(IstGummibandTyp("DIM"));
  EXPECT_FALSE(IstGummibandTyp("KEM"));
}

TEST_F(Bearbeiten, RechterGriffUeberDieLinkeKanteKlapptUm) {
  TCadShape* r = Neu("REC", "R", 100, 100);  // 50 x 50
  int griff = ZieheGriff(*r, 3, -70, 0);     // X2 from 150 to 80
  EXPECT_EQ(griff, 9);
  EXPECT_EQ(r->X1, 80);
  EXPECT_EQ(r->X2, 100);
  griff = ZieheGriff(*r, griff, -10, 0);  // continues with the left edge
  EXPECT_EQ(r->X1, 70);
  griff = ZieheGriff(*r, 6, 0, -60);  // upper edge below the lower one
  EXPECT_EQ(griff, 12);
  EXPECT_EQ(r->Y1, 90);
  EXPECT_EQ(r->Y2, 100);
  EXPECT_TRUE(HatKastenGriffe(*r));
  EXPECT_FALSE(HatKastenGriffe(*Neu("LIN", "L")));
  EXPECT_FALSE(HatKastenGriffe(*Neu("IMP", "I")));
}

// ------------------------------------------------------------ clipboard

class Ablage : public Bearbeiten {
 protected:
  TZwischenablage ablage{[] { return std::make_unique<TM3Model>(); },
                         [](const TCadShape& von, TCadShape& nach) {
                           TM3Model* z = dynamic_cast<TM3Model*>(nach.Model);
                           if (z) z->CopyShape(&von, &nach);
                         }};
};

TEST_F(Ablage, ZweimalEinfuegenGibtPunktEinsUndPunktZwei) {
  TCadShape* a = Neu("KEM", "A", 40, 60);
  TM3Model::ElementOf(a)->Memo = {"Notiz"};
  Waehle({a});
  ASSERT_EQ(ablage.Kopieren(m), 1);
  const auto eins = ablage.Einfuegen(m);
  const auto zwei = ablage.Einfuegen(m);
  ASSERT_EQ(eins.size(), 1u);
  ASSERT_EQ(zwei.size(), 1u);
  EXPECT_EQ(eins[0]->Name, "A.1");
  EXPECT_EQ(zwei[0]->Name, "A.2");
  for (TCadShape* s : {eins[0], zwei[0]}) {
    EXPECT_EQ(s->X1, 40);
    EXPECT_EQ(s->Y1, 60);
    EXPECT_EQ(s->Parent(), m.Root());
    EXPECT_EQ(TM3Model::ElementOf(s)->Memo, std::vector<std::string>{"Notiz"});
    EXPECT_NE(m.Liste.Find(s->Name), nullptr);
  }
  EXPECT_TRUE(m.IsSelected(zwei[0]));
  EXPECT_FALSE(m.IsSelected(eins[0]));
}

TEST_F(Ablage, NurVerbindungenInnerhalbDerAuswahlKommenMit) {
  TCadShape* a = Neu("KEM", "A");
  TCadShape* b = Neu("RUB", "B");
  TCadShape* e = Neu("EST", "E");
  TCadShape* r = Neu("REG", "R");
  a->SetParent(b);
  a->SetREG(r);
  b->SetParent(e);
  b->SetKUE(e);
  Waehle({a, b});
  ASSERT_EQ(ablage.Kopieren(m), 2);
  const auto neu = ablage.Einfuegen(m);
  ASSERT_EQ(neu.size(), 2u);
  TCadShape* a1 = m.GetNode("A.1");
  TCadShape* b1 = m.GetNode("B.1");
  ASSERT_TRUE(a1 && b1);
  EXPECT_EQ(a1->Parent(), b1);
  EXPECT_EQ(a1->REG(), nullptr);  // the rain gauge was not copied
  EXPECT_EQ(b1->Parent(), m.Root());
  EXPECT_EQ(b1->KUE(), nullptr);
  EXPECT_EQ(a->Parent(), b);  // the sources keep theirs
  EXPECT_EQ(a->REG(), r);
}

TEST_F(Ablage, LeereAuswahlLaesstDieAblageStehen) {
  EXPECT_EQ(ablage.Kopieren(m), 0);
  EXPECT_TRUE(ablage.Leer());
  Waehle({Neu("REC", "Kasten")});
  ASSERT_EQ(ablage.Kopieren(m), 1);
  m.SelectAll(false);
  EXPECT_EQ(ablage.Kopieren(m), 0);
  EXPECT_FALSE(ablage.Leer());
  const auto neu = ablage.Einfuegen(m);
  ASSERT_EQ(neu.size(), 1u);
  EXPECT_EQ(neu[0]->Name, "Kasten.1");
  EXPECT_EQ(neu[0]->Parent(), nullptr);  // graphic shapes hang below nothing
}

}  // namespace
