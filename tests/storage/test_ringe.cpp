// A project file whose successor links (Parent) form a ring: the ring is
// broken on loading, reported, and every element is computed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "model/network.h"
#include "storage/datenpaket.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

TEST(ParentRinge, RingInAProjectFileIsBrokenAndReported) {
  const fs::path dir = fs::temp_directory_path() / ("t21_ringe_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::string fehler;
  auto paket = LiesPaket(std::string(T21_QUELLE) + "/beispiel/Beispiel.T21", fehler);
  ASSERT_NE(paket, nullptr) << fehler;
  TTabelle& shp = paket->Kind(0, "SHP");
  const int est = shp.Finde("Name", "Einleitung Mühlbach");
  ASSERT_GE(est, 0);
  // Sammler -> RÜB Mitte -> Einleitung Mühlbach -> Sammler
  ASSERT_TRUE(shp.Setze(est, "Parent", std::string("Sammler")));
  ASSERT_TRUE(SchreibePaket(*paket, (dir / "Ring.T21").string(), fehler)) << fehler;

  TM3Model m;
  const TLadeErgebnis e = A3_Laden(m, (dir / "Ring").string());
  ASSERT_TRUE(e.Ok) << e.Fehler;
  ASSERT_EQ(e.Hinweise.size(), 1u);
  EXPECT_EQ(e.Hinweise[0], "Einleitung Mühlbach:: Name der Zielkomponente korrigiert.");
  // Every element shape reaches the root through its successors.
  for (int i = 1; i < m.Count(); ++i) {
    const TCadShape* s = m.GetNode(i);
    if (!s->IsM3Shape()) continue;
    int schritte = 0;
    const TCadShape* p = s;
    while (p && p != m.Root() && schritte < m.Count()) p = p->Parent(), ++schritte;
    EXPECT_EQ(p, m.Root()) << s->Name;
  }
  EXPECT_EQ(m.GetNode("Einleitung Mühlbach")->Parent(), m.Root());
  fs::remove_all(dir);
}

// A chain of 20,000 shapes closed into a ring is broken in linear time.
TEST(ParentRinge, LongChain) {
  TM3Model m;
  if (m.Count() == 0) m.CreateShape("NET", "geschlossenes Siedlungsgebiet", 0, 0);
  std::vector<TCadShape*> kette;
  for (int i = 0; i < 20000; ++i)
    kette.push_back(m.CreateShape("CON", "V" + std::to_string(i), i, 0));
  for (size_t i = 0; i + 1 < kette.size(); ++i) kette[i]->SetParent(kette[i + 1]);
  kette.back()->SetParent(kette.front());
  const auto geloest = ParentRingeLoesen(m);
  ASSERT_EQ(geloest.size(), 1u);
  EXPECT_EQ(geloest[0], kette.back());
  EXPECT_EQ(kette.back()->Parent(), m.Root());
}
