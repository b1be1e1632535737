#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/netzbau.h"

using namespace t21;
using t21::test::Netzbau;

namespace {

std::vector<std::string>* gProtokoll = nullptr;

// A source standing in for a catchment: adds q * (i + 1) l/s of water at pH
// 7.4 to its inflow for rate i and logs when it is computed.
class Quelle : public TElement {
 public:
  explicit Quelle(double q) : q_(q) {}
  void Calc(const TRechnung& r) override {
    TElement::Calc(r);
    for (int i = 0; i < kAnzahlQr; ++i) {
      TParameter w;
      const double q = q_ * (i + 1);
      w.SetData(q, 10 * q, 0, 0, 7.4 * q, 2.8 * q, 0, TParameter::cGK(2.8, 7.4) * q, 0);
      w.AddTo(AB[i]);
    }
    SUM.AE += q_;
    SUM.SUMAEM3 = SUM.AE;
    if (gProtokoll) gProtokoll->push_back(Name());
  }

 private:
  double q_;
};

// A structure stand-in: half of the inflow stays on the throttle, a quarter
// each goes to the overflow and the tank overflow.
class Teiler : public TRUB {
 public:
  void Calc(const TRechnung& r) override {
    TElement::Calc(r);
    r.Zufluss.AB.AssignTo(KUE.AB);
    r.Zufluss.AB.AssignTo(BUE.AB);
    for (int i = 0; i < kAnzahlQr; ++i) {
      AB[i].Mul(0.5);
      KUE.AB[i].Mul(0.25);
      BUE.AB[i].Mul(0.25);
    }
    if (gProtokoll) gProtokoll->push_back(Name());
  }
};

// A discharge point stand-in: takes over its inflow and the areas that reach
// the river.
class Protokolliert : public TEST {
 public:
  void Calc(const TRechnung& r) override {
    TElement::Calc(r);
    SUM.SUMAEM3 = r.Zufluss.SUM.SUMAEM3;
    SUM.SUMAEBM3 = r.Zufluss.SUM.SUMAEBM3;
    if (gProtokoll) gProtokoll->push_back(Name());
  }
};

class Netz : public ::testing::Test {
 protected:
  Netzbau n;
  std::vector<std::string> protokoll;
  void SetUp() override { gProtokoll = &protokoll; }
  void TearDown() override { gProtokoll = nullptr; }

  TCadShape* MitElement(const std::string& typ, const std::string& name,
                        std::unique_ptr<TElement> e) {
    TCadShape* s = n.Neu(typ, name);
    n.m.SetElement(s, std::move(e));
    return s;
  }
};

}  // namespace

TEST_F(Netz, RootAloneComputesToZero) {
  n.Rechnen();
  const TElement& root = n.Element(kWurzelName);
  EXPECT_EQ(n.m.GetNode(0)->Name, kWurzelName);
  EXPECT_TRUE(root.FEHLER.empty());
  for (int i = 0; i < kAnzahlQr; ++i) EXPECT_EQ(root.AB[i].Q, 0);
}

TEST_F(Netz, StructureLinksReachDownstreamOnceEach) {
  MitElement("KEM", "K1", std::make_unique<Quelle>(1));
  MitElement("KEM", "K2", std::make_unique<Quelle>(3));
  MitElement("RUB", "S", std::make_unique<Teiler>());
  n.Neu("CON", "C");
  MitElement("EST", "E", std::make_unique<Protokolliert>());
  n.Neu("REG", "R");
  n.Parent("K1", "S").Parent("K2", "C").Parent("C", "S");
  n.Parent("S", "E").KUE("S", "E").GEW("S", "E");
  n.KUE("K1", "R").KUE("K2", "R");  // rain gauge links
  n.El<TCON>("C").TF = 5;
  n.Rechnen();

  // upstream first, each once per pass, twice in all
  ASSERT_EQ(protokoll.size(), 8u);
  const std::vector<std::string> pass(protokoll.begin(), protokoll.begin() + 4);
  EXPECT_EQ(pass, (std::vector<std::string>{"K1", "K2", "S", "E"}));

  const auto& s = n.El<Teiler>("S");
  const auto& e = n.Element("E");
  for (int i = 0; i < kAnzahlQr; ++i) {
    const double zu = 4.0 * (i + 1);
    EXPECT_DOUBLE_EQ(s.AB[i].Q, zu / 2);
    EXPECT_DOUBLE_EQ(s.KUE.AB[i].Q, zu / 4);
    // throttle + overflow + tank overflow, each gathered exactly once
    EXPECT_DOUBLE_EQ(e.AB[i].Q, zu) << "qr " << kQr[static_cast<size_t>(i)];
    EXPECT_NEAR(e.AB[i].cPH(), 7.4, 1e-12);
    EXPECT_DOUBLE_EQ(e.AB[i].cBSB(), 10);
  }
  // the connector added its flow time on the way
  EXPECT_EQ(n.Element("C").SUM.SUMTF, 5);
  // the inflow of the discharge point after gathering it again
  n.m.HoleZufluss(n.Shape("E"));
  EXPECT_DOUBLE_EQ(n.m.Zufluss().AB[9].Q, 40);
}

TEST_F(Netz, RainGaugeContributesNothing) {
  MitElement("KEM", "K", std::make_unique<Quelle>(2));
  n.Neu("REG", "R");
  MitElement("EST", "E", std::make_unique<Protokolliert>());
  n.KUE("K", "R");
  n.Parent("R", "E");  // even a rain gauge hung below an element gives nothing
  n.Parent("K", "E");
  n.Rechnen();
  EXPECT_DOUBLE_EQ(n.Element("E").AB[1].Q, 4);
  n.m.HoleZufluss(n.Shape("K"));
  const double vorher = n.m.Zufluss().AB[0].Q;
  n.m.HoleZufluss(n.Shape("E"));
  const double zuE = n.m.Zufluss().AB[0].Q;
  n.m.HoleZufluss(n.Shape("R"));  // leaves the accumulator alone
  EXPECT_EQ(n.m.Zufluss().AB[0].Q, zuE);
  EXPECT_NE(vorher, zuE);
}

TEST_F(Netz, DischargePointLinkCarriesAreasNotFlow) {
  MitElement("KEM", "K", std::make_unique<Quelle>(2));
  MitElement("EST", "E1", std::make_unique<Protokolliert>());
  MitElement("EST", "E2", std::make_unique<Protokolliert>());
  n.Parent("K", "E1").GEW("K", "E1").KUE("E1", "E2");
  n.Rechnen();
  n.m.HoleZufluss(n.Shape("E2"));
  EXPECT_EQ(n.m.Zufluss().AB[3].Q, 0);
  EXPECT_EQ(n.m.Zufluss().SUM.SUMAEM3, 2);
}

TEST_F(Netz, DeleteReconnectsMainInflowsAndDropsOverflows) {
  n.Neu("KEM", "K");
  n.Neu("RUB", "S");
  n.Neu("RUB", "Z");
  n.Parent("K", "Z").KUE("S", "Z").Parent("S", "Z");
  n.m.DeleteShape(n.Shape("Z"));
  EXPECT_EQ(n.Shape("K")->Parent(), n.m.Root());
  EXPECT_EQ(n.Shape("S")->Parent(), n.m.Root());
  EXPECT_EQ(n.Shape("S")->KUE(), nullptr);
  EXPECT_FALSE(n.m.Liste.Contains("Z"));
  EXPECT_EQ(n.m.GetNode("Z"), nullptr);
}

TEST_F(Netz, StrangLoeschenRemovesEverythingUpstream) {
  n.Neu("KEM", "A");
  n.Neu("KEM", "B");
  n.Neu("RUB", "S");
  n.Neu("EST", "E");
  n.Neu("KEM", "X");
  n.Parent("A", "S").Parent("B", "S").Parent("S", "E").KUE("S", "E");
  n.m.StrangLoeschen(n.Shape("E"));
  for (const char* weg : {"A", "B", "S", "E"}) EXPECT_EQ(n.m.GetNode(weg), nullptr) << weg;
  EXPECT_NE(n.m.GetNode("X"), nullptr);
  EXPECT_EQ(n.m.Liste.Count(), 2);  // root and X
}

TEST_F(Netz, Names) {
  n.Neu("KEM", "Süd");
  struct Fall {
    std::string name;
    std::string meldung;
  };
  const Fall faelle[] = {
      {"", "Sie müssen eine Elementbezeichnung eingeben!"},
      {"   ", "Sie müssen eine Elementbezeichnung eingeben!"},
      {"  Nord  ", ""},
      {std::string(31, 'x'), ""},
      {std::string(32, 'x'), "Die Länge des Element-Namens ist auf 31 Zeichen begrenzt!"},
      {std::string(31, 'x') + "  ", ""},
      {"~x", "Der Element-Name darf nicht mit dem Zeichen \"~\" beginnen!"},
      {"SÜD", "Ein Element mit diesem Namen existiert bereits!"},
      {" süd", "Ein Element mit diesem Namen existiert bereits!"},
      {"GESCHLOSSENES Siedlungsgebiet", "Ein Element mit diesem Namen existiert bereits!"},
  };
  for (const auto& f : faelle) EXPECT_EQ(n.m.CheckName(f.name), f.meldung) << f.name;
  // 31 characters with umlauts are 31 characters, not their bytes
  std::string umlaute;
  for (int i = 0; i < 31; ++i) umlaute += "ä";
  EXPECT_EQ(n.m.CheckName(umlaute), "");
}

TEST_F(Netz, RenameAndFind) {
  TCadShape* k = n.Neu("KEM", "A");
  n.m.RenameNode("B", k);
  EXPECT_EQ(k->Name, "B");
  EXPECT_EQ(n.m.Liste.Find("b"), k);
  EXPECT_FALSE(n.m.Liste.Contains("A"));
  EXPECT_FALSE(n.m.FindNode("Q"));
  EXPECT_EQ(n.m.LetzteMeldung, "Element Q nicht gefunden!");
  EXPECT_TRUE(n.m.FindNode("B"));
  EXPECT_EQ(n.m.CurrentNode(), k);
  EXPECT_TRUE(n.m.IsSelected(k));
  EXPECT_GT(n.m.Modified, 0);
}

TEST_F(Netz, CreateByTypeCode) {
  TCadShape* a = n.m.CreateShape("KEZ", "alt", 0, 0);
  EXPECT_EQ(a->Typ(), "KEM");
  EXPECT_NE(dynamic_cast<TKEM*>(TM3Model::ElementOf(a)), nullptr);
  EXPECT_EQ(n.m.CurrentNode(), a);
  EXPECT_EQ(a->Parent(), n.m.Root());
  EXPECT_EQ(n.m.CreateNewShape("RUE", "r", 0, 0)->Typ(), "RU");
  EXPECT_EQ(n.m.CreateNewShape("EBW", "e", 0, 0)->Typ(), "RUB");
  for (const char* t : {"NET", "KEM", "KES", "KER", "AEO", "AEK", "RU", "RUB", "RKB", "OMA", "KLG",
                        "EST", "CON", "REG", "VFL", "VBE", "VMU", "VRI", "VSC"}) {
    auto e = CreateHydElement(t);
    ASSERT_NE(e, nullptr) << t;
    EXPECT_EQ(e->Typ(), t);
    EXPECT_FALSE(Typbezeichnung(t).empty());
  }
  EXPECT_EQ(CreateHydElement("REC"), nullptr);
  EXPECT_EQ(Typbezeichnung("RU"), "RÜ");
  // a graphic shape carries no element and is not in the element list
  TCadShape* r = n.m.CreateNewShape("REC", "Kasten", 0, 0);
  EXPECT_EQ(r->Data(), nullptr);
  EXPECT_FALSE(n.m.Liste.Contains("Kasten"));
}

TEST_F(Netz, RechneAbBelowLeavesUpstreamAlone) {
  MitElement("KEM", "K", std::make_unique<Quelle>(1));
  MitElement("RUB", "S", std::make_unique<Teiler>());
  MitElement("EST", "E", std::make_unique<Protokolliert>());
  MitElement("EST", "F", std::make_unique<Protokolliert>());
  MitElement("EST", "G", std::make_unique<Protokolliert>());
  n.Parent("K", "S").Parent("S", "E").KUE("S", "F").GEW("S", "G");
  n.Rechnen();
  protokoll.clear();
  n.m.RechneAb(n.Shape("S"));
  EXPECT_EQ(protokoll, (std::vector<std::string>{"S", "F", "G", "E"}));
}

TEST_F(Netz, SelectedDeleteSelectsRoot) {
  n.Neu("KEM", "A");
  n.Neu("KEM", "B");
  n.m.SetSelected(n.Shape("A"));
  n.m.SelectedDelete();
  EXPECT_EQ(n.m.GetNode("A"), nullptr);
  EXPECT_NE(n.m.GetNode("B"), nullptr);
  EXPECT_EQ(n.m.CurrentNode(), n.m.Root());
}

TEST_F(Netz, LongChainComputes) {
  // deep networks must not exhaust the stack of the pass
  std::string oben;
  for (int i = 0; i < 20000; ++i) {
    std::string name = "C";
    name += std::to_string(i);
    n.Neu("CON", name);
    n.El<TCON>(name).TF = 1;
    if (!oben.empty()) n.Parent(oben, name);
    oben = name;
  }
  n.m.RechneAb();
  EXPECT_EQ(n.Element("C19999").SUM.SUMTF, 20000);
}
