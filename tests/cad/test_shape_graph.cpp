#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "cad/shape.h"

using namespace t21;

namespace {

class Graph : public ::testing::Test {
 protected:
  TCadModel m;
  TCadShape* root = m.CreateShape("NET", "geschlossenes Siedlungsgebiet", 0, 0);

  TCadShape* Neu(const char* typ, const char* name) {
    TCadShape* s = m.CreateShape(typ, name, 0, 0);
    if (s->IsM3Shape()) s->SetParent(root);
    return s;
  }
  int Vorkommen(const TCadShape* ziel, const TCadShape* s) {
    return static_cast<int>(std::count(ziel->Zufluesse().begin(), ziel->Zufluesse().end(), s));
  }
  std::vector<TCadShape*> Reihenfolge() const {
    std::vector<TCadShape*> r;
    for (int i = 0; i < m.Count(); ++i) r.push_back(m.GetNode(i));
    return r;
  }
  // The selection names each selected shape once, never the root, and
  // agrees with IsSelected.
  bool SelektionStimmig() {
    const auto sel = m.Selection();
    if (std::set<TCadShape*>(sel.begin(), sel.end()).size() != sel.size()) return false;
    int n = 0;
    for (int i = 0; i < m.Count(); ++i) n += m.IsSelected(m.GetNode(i));
    return n == static_cast<int>(sel.size()) && !m.IsSelected(root);
  }
};

}  // namespace

TEST_F(Graph, RegistryAndDefaults) {
  EXPECT_EQ(m.CreateShape("xyz", "x", 0, 0), nullptr);
  TCadShape* a = m.CreateShape("arc", "a", 10, 20);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Typ(), "Arc");
  EXPECT_FALSE(a->IsM3Shape());
  EXPECT_EQ(a->Ausrichtung, 6);
  EXPECT_EQ(a->Al, "LTA_00000000");
  TCadShape* rub = m.CreateShape("RUB", "b", 10, 20);
  EXPECT_TRUE(rub->IsM3Shape() && rub->IsBauwerk());
  EXPECT_EQ(rub->Width(), 70);
  EXPECT_EQ(rub->Height(), 50);
  EXPECT_EQ(rub->Ausrichtung, 9);
  EXPECT_EQ(rub->TextPos, 12);
  EXPECT_FALSE(root->Visible);
  EXPECT_EQ(m.CreateShape("CON", "c", 0, 0)->TextPos, 0);
}

TEST_F(Graph, SelfLinksThroughShapeOperationsDoNothing) {
  TCadShape* s = Neu("RUB", "S");
  s->SetKUE(s);
  s->SetGEW(s);
  EXPECT_EQ(s->KUE(), nullptr);
  EXPECT_EQ(s->GEW(), nullptr);
  EXPECT_EQ(s->Count(), 0);
}

TEST_F(Graph, DoubleLinkOccursTwiceAndLoeseKueRemovesOne) {
  TCadShape* s = Neu("RUB", "S");
  TCadShape* e = Neu("EST", "E");
  s->SetParent(e);
  s->SetKUE(e);
  EXPECT_EQ(Vorkommen(e, s), 2);
  s->LoeseKUE();
  EXPECT_EQ(Vorkommen(e, s), 1);
  EXPECT_EQ(s->Parent(), e);
  EXPECT_EQ(s->KUE(), nullptr);
  // relinking Parent moves the single entry
  s->SetParent(root);
  EXPECT_EQ(Vorkommen(e, s), 0);
}

TEST_F(Graph, LoeseZufluesseKeepsOverflowLinks) {
  TCadShape* k = Neu("KEM", "K");
  TCadShape* b = Neu("RUB", "B");
  TCadShape* s = Neu("RUB", "S");
  k->SetParent(s);
  b->SetKUE(s);
  s->LoeseZufluesse();
  EXPECT_EQ(k->Parent(), root);
  EXPECT_EQ(b->KUE(), s);
  EXPECT_EQ(Vorkommen(s, b), 1);
  EXPECT_EQ(Vorkommen(s, k), 0);
}

TEST_F(Graph, DeleteShapeDissolvesEveryLink) {
  TCadShape* k = Neu("KEM", "K");
  TCadShape* b = Neu("RUB", "B");
  TCadShape* e = Neu("EST", "E");
  k->SetParent(e);
  b->SetKUE(e);
  b->SetGEW(e);
  e->SetKUE(b);  // not sensible, but a link in both directions must go too
  m.DeleteShape(e);
  EXPECT_EQ(m.GetNode("E"), nullptr);
  EXPECT_EQ(k->Parent(), root);
  EXPECT_EQ(b->KUE(), nullptr);
  EXPECT_EQ(b->GEW(), nullptr);
  EXPECT_EQ(Vorkommen(b, e), 0);
  for (int i = 0; i < m.Count(); ++i)
    for (TCadShape* u : m.GetNode(i)->Zufluesse()) EXPECT_NE(u, e);
  m.DeleteShape(root);  // never
  EXPECT_EQ(m.GetNode(0), root);
}

TEST_F(Graph, IsParentOfAndTargetIsChildNode) {
  TCadShape* a = Neu("KEM", "A");
  TCadShape* b = Neu("RUB", "B");
  TCadShape* e = Neu("EST", "E");
  a->SetParent(b);
  b->SetKUE(e);
  EXPECT_EQ(e->IsParentOf(a), a);
  EXPECT_EQ(e->IsParentOf(e), e);
  EXPECT_EQ(a->IsParentOf(e), nullptr);
  EXPECT_TRUE(b->TargetIsChildNode(a));
  EXPECT_FALSE(e->TargetIsChildNode(a));  // only along Parent
  // graphic flowcharts may loop; the walk still ends
  TCadShape* r1 = m.CreateShape("REC", "r1", 0, 0);
  TCadShape* r2 = m.CreateShape("YON", "r2", 0, 0);
  r1->SetParent(r2);
  r2->SetParent(r1);
  EXPECT_EQ(r1->IsParentOf(a), nullptr);
  EXPECT_FALSE(r1->TargetIsChildNode(a));
}

TEST_F(Graph, SelectionLeavesTheDrawingOrder) {
  EXPECT_FALSE(m.AnySelected());
  m.SelectAll(true);  // model of the root alone
  EXPECT_FALSE(m.IsSelected(root));
  std::vector<TCadShape*> s;
  for (int i = 0; i < 8; ++i) s.push_back(Neu("KEM", ("K" + std::to_string(i)).c_str()));
  m.SetSelected(root);
  EXPECT_FALSE(m.IsSelected(root));
  std::mt19937 zufall(42);
  for (int schritt = 0; schritt < 300; ++schritt) {
    TCadShape* x = s[zufall() % s.size()];
    const auto vorher = Reihenfolge();
    const int art = static_cast<int>(zufall() % 5);
    switch (art) {
      case 0:
        m.SetSelected(x);
        break;
      case 1:
        m.Deselect(x);
        break;
      case 2:
        m.ChangeSelection(x);
        break;
      case 3:
        m.SelectAll(zufall() % 2);
        break;
      case 4:
        m.SelectedNachHintenSetzen();
        break;
    }
    ASSERT_TRUE(SelektionStimmig()) << "Schritt " << schritt;
    ASSERT_EQ(m.GetNode(0), root);
    // Only moving the selection to the back reorders the drawing.
    if (art != 4) {
      ASSERT_EQ(Reihenfolge(), vorher) << "Schritt " << schritt;
    }
  }
  m.SelectAll(false);
  m.SetSelected(s[5]);
  m.SetSelected(s[2]);
  m.SetSelected(s[5]);  // selected already: keeps its place
  EXPECT_EQ(m.Selection(), (std::vector<TCadShape*>{s[2], s[5]}));
  EXPECT_EQ(m.LetzteSelektion(), s[2]);
  m.SelectAll(true);
  EXPECT_EQ(static_cast<int>(m.Selection().size()), 8);
  m.DeleteShape(s[3]);  // a deleted shape leaves the selection
  EXPECT_EQ(static_cast<int>(m.Selection().size()), 7);
  EXPECT_TRUE(SelektionStimmig());
}

TEST_F(Graph, NachHintenSetzenPutsSelectionFirst) {
  TCadShape* a = Neu("KEM", "A");
  TCadShape* b = Neu("KEM", "B");
  TCadShape* c = Neu("KEM", "C");
  m.SetSelected(a);
  m.SetSelected(b);
  m.SelectedNachHintenSetzen();
  EXPECT_FALSE(m.AnySelected());
  EXPECT_EQ(m.GetNode(1), a);
  EXPECT_EQ(m.GetNode(2), b);
  EXPECT_EQ(m.GetNode(3), c);
}

TEST_F(Graph, ConnectionRules) {
  struct Fall {
    const char* ziel;
    const char* quelle;
    bool parent;
    bool abschlag;
  };
  const Fall faelle[] = {
      {"EST", "KER", true, false},  {"EST", "KEM", false, false}, {"EST", "RKB", true, true},
      {"EST", "EST", true, true},   {"RKB", "KER", true, false},  {"RKB", "KEM", false, false},
      {"RUB", "KEM", true, false},  {"RUB", "KLG", false, false}, {"OMA", "KLG", true, false},
      {"KLG", "RU", true, true},    {"VFL", "AEK", true, false},  {"VFL", "KEM", false, false},
      {"NET", "KEM", true, false},  {"NET", "REC", false, false}, {"AEO", "KEM", false, false},
      {"REG", "KEM", false, false}, {"REC", "YON", true, true},   {"REC", "RRE", true, false},
      {"KEM", "OMA", true, true},   {"KES", "RU", true, true},    {"KER", "AEO", true, false},
  };
  for (const auto& f : faelle) {
    TCadShape* p = m.CreateShape(f.ziel, "p", 0, 0);
    TCadShape* n = m.CreateShape(f.quelle, "n", 0, 0);
    EXPECT_EQ(m.IsNodeAllowed(p, n), f.parent) << f.quelle << " -> " << f.ziel;
    EXPECT_EQ(m.IsAbsAllowed(p, n), f.abschlag) << f.quelle << " -> " << f.ziel;
    m.DeleteShape(n);
    m.DeleteShape(p);
  }
  TCadShape* n = m.CreateShape("KEM", "n", 0, 0);
  EXPECT_TRUE(m.IsNodeAllowed(nullptr, n));
  EXPECT_TRUE(m.IsAbsAllowed(nullptr, n));
}

TEST_F(Graph, ConnectorsAreTransparent) {
  TCadShape* e = Neu("EST", "E");
  TCadShape* c = Neu("CON", "C");
  c->SetParent(e);
  TCadShape* ker = Neu("KER", "R");
  TCadShape* kem = Neu("KEM", "M");
  EXPECT_TRUE(m.IsNodeAllowed(c, ker));
  EXPECT_FALSE(m.IsNodeAllowed(c, kem));
  // a connector that already drains a KEM may not go below the EST
  TCadShape* c2 = Neu("CON", "C2");
  kem->SetParent(c2);
  EXPECT_FALSE(m.IsNodeAllowed(e, c2));
  EXPECT_TRUE(m.IsNodeAllowed(Neu("RUB", "B"), c2));
  ker->SetParent(c2);
  EXPECT_FALSE(m.IsNodeAllowed(e, c2));
  kem->SetParent(root);
  EXPECT_TRUE(m.IsNodeAllowed(e, c2));
}

TEST_F(Graph, SelectedLinkingMessages) {
  TCadShape* a = Neu("RUB", "A");
  TCadShape* b = Neu("RUB", "B");
  a->SetParent(b);
  m.SetSelected(a);
  m.SelectedSetParent(a);
  EXPECT_EQ(m.LetzteMeldung, "Element A kann nicht mit sich selbst verbunden werden.");
  m.LetzteMeldung.clear();
  m.SelectedSetKUE(a, true);
  EXPECT_EQ(m.LetzteMeldung, "Element A kann nicht mit sich selbst verbunden werden.");
  m.SelectAll(false);
  m.SetSelected(b);
  m.SelectedSetParent(a);  // a lies upstream of b
  EXPECT_EQ(m.LetzteMeldung,
            "Element B kann nicht mit eigenem Vorgänger Element A verbunden werden.");
  EXPECT_EQ(b->Parent(), root);
  m.LetzteMeldung.clear();
  m.SelectedSetBUE(a, true);
  EXPECT_EQ(m.LetzteMeldung,
            "Element B kann nicht mit eigenem Vorgänger Element A verbunden werden.");
  EXPECT_EQ(b->GEW(), nullptr);
}

TEST_F(Graph, SelectedLinkingFollowsTheRules) {
  TCadShape* k1 = Neu("KEM", "K1");
  TCadShape* k2 = Neu("KEM", "K2");
  TCadShape* s = Neu("RUB", "S");
  TCadShape* e = Neu("EST", "E");
  TCadShape* reg = Neu("REG", "R");
  m.SetSelected(k1);
  m.SetSelected(k2);
  m.SelectedSetParent(e);  // KEM may not drain into a discharge point
  EXPECT_EQ(k1->Parent(), root);
  m.SelectedSetParent(s);
  EXPECT_EQ(k1->Parent(), s);
  EXPECT_EQ(k2->Parent(), s);
  m.SelectedSetREG(reg, false);  // only the last selected shape
  EXPECT_EQ(k2->REG(), reg);
  EXPECT_EQ(k1->REG(), nullptr);
  m.SelectedSetKUE(e, true);  // catchments have no overflow
  EXPECT_EQ(k1->KUE(), nullptr);
  m.SelectAll(false);
  m.SetSelected(s);
  m.SelectedSetKUE(reg, true);  // never onto a rain gauge
  EXPECT_EQ(s->KUE(), nullptr);
  m.SelectedSetKUE(e, true);
  m.SelectedSetBUE(e, true);
  EXPECT_EQ(s->KUE(), e);
  EXPECT_EQ(s->BUE(), e);
  m.SelectedDeleteAllEdges();
  EXPECT_EQ(s->KUE(), nullptr);
  EXPECT_EQ(s->Parent(), root);
  EXPECT_EQ(k1->Parent(), root);
  m.SelectedDelete();
  EXPECT_EQ(m.GetNode("S"), nullptr);
  EXPECT_FALSE(m.AnySelected());
}
