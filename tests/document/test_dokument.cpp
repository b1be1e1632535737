#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/dokument.h"
#include "model/elements.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const std::string kBeispiel = std::string(T21_QUELLE) + "/beispiel/Beispiel";

std::string Inhalt(const std::string& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::stringstream s;
  s << ein.rdbuf();
  return s.str();
}

class Dokument : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner = fs::temp_directory_path() /
             ("t21_dokument_" +
              std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(ordner);
    fs::create_directories(ordner);
    TLadeErgebnis e;
    d = TDokument::Oeffnen(kBeispiel, e);
    ASSERT_TRUE(d) << e.Fehler;
  }
  void TearDown() override { fs::remove_all(ordner); }

  // The project file as a save under `name` writes it.
  std::string Gespeichert(const std::string& name) {
    std::string fehler;
    const std::string basis = (ordner / name).string();
    EXPECT_TRUE(d->SpeichernUnter(basis, fehler)) << fehler;
    return Inhalt(basis + ".T21");
  }
  uint64_t Id(const char* name) const {
    const TCadShape* s = d->Model().Liste.Find(name);
    return s ? s->Id : 0;
  }

  fs::path ordner;
  std::unique_ptr<TDokument> d;
};

}  // namespace

TEST_F(Dokument, UndoAndRedoOfEveryKindOfEditGiveTheSavedFilesAgain) {
  EXPECT_FALSE(d->Modified());
  const std::string anfang = Gespeichert("anfang");
  const uint64_t sammler = Id("Sammler"), rueb = Id("RÜB Mitte"), est = Id("Einleitung Mühlbach"),
                 altstadt = Id("Altstadt");
  ASSERT_TRUE(sammler && rueb && est && altstadt);

  uint64_t neu = 0;
  {
    TCommit c = d->Beginne("Neues Element");
    neu = c.Erzeuge("KEM", "Neubau Süd", 40, 260)->Id;
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Verbinden");
    c.Model().GetNodeById(neu)->SetParent(c.Model().GetNodeById(rueb));
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Verschieben");
    TCadShape* s = c.Aendern(est);
    s->X1 += 20;
    s->X2 += 20;
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Umbenennen");
    c.Umbenennen(rueb, "RÜB Nord");
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Fließzeit");
    dynamic_cast<TCON&>(*TM3Model::ElementOf(c.Aendern(sammler))).SetData(12);
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Einfügen");
    TCadShape* kopie = c.Erzeuge("KEM", "Altstadt 2", 0, 0);
    c.Model().CopyShape(c.Model().GetNodeById(altstadt), kopie);
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Löschen");
    c.Entferne(sammler);  // its catchments fall back to the root
    d->Push(c);
  }
  EXPECT_TRUE(d->Modified());
  EXPECT_EQ(d->Model().GetNodeById(altstadt)->Parent(), d->Model().Root());
  EXPECT_EQ(d->Model().GetNodeById(rueb)->Name, "RÜB Nord");
  const std::string ende = Gespeichert("ende");
  EXPECT_NE(ende, anfang);
  EXPECT_FALSE(d->Modified());

  int schritte = 0;
  while (d->KannRueckgaengig()) {
    d->Rueckgaengig();
    ++schritte;
  }
  EXPECT_EQ(schritte, 7);
  EXPECT_TRUE(d->Modified());
  EXPECT_EQ(d->Model().Liste.Find("RÜB Mitte")->Id, rueb);
  EXPECT_EQ(d->Model().GetNodeById(altstadt)->Parent()->Id, sammler);
  EXPECT_EQ(Gespeichert("zurueck"), anfang);

  while (d->KannWiederholen()) d->Wiederholen();
  EXPECT_EQ(Gespeichert("wieder"), ende);
  EXPECT_EQ(d->Model().GetNodeById(neu)->Name, "Neubau Süd");  // ids survive both ways
}

TEST_F(Dokument, OnePushComputesOnceAndNotifiesOnce) {
  std::vector<TAenderung> notizen;
  d->Beobachte([&](const TAenderung& a) { notizen.push_back(a); });
  const int laeufe = d->Model().Rechenlaeufe;
  const uint64_t vorher = d->Revision();
  const uint64_t est = Id("Einleitung Mühlbach"), sammler = Id("Sammler");
  {
    TCommit c = d->Beginne("Löschen");
    // Deleting recomputes in the model; inside a commit it waits for the push.
    c.Model().StrangLoeschen(c.Model().GetNodeById(sammler));
    EXPECT_EQ(d->Model().Rechenlaeufe, laeufe);
    c.Aendern(est)->Y1 += 5;
    d->Push(c);
  }
  EXPECT_EQ(d->Model().Rechenlaeufe, laeufe + 1);
  ASSERT_EQ(notizen.size(), 1u);
  EXPECT_EQ(notizen[0].Revision, d->Revision());
  EXPECT_NE(d->Revision(), vorher);
  EXPECT_EQ(notizen[0].Geaendert.front(), est);
  EXPECT_EQ(notizen[0].Titel, "Löschen");

  d->Rueckgaengig();
  EXPECT_EQ(d->Model().Rechenlaeufe, laeufe + 2);
  ASSERT_EQ(notizen.size(), 2u);
  EXPECT_EQ(notizen[1].Art, TAenderung::TArt::Rueckgaengig);
  EXPECT_EQ(d->Revision(), vorher);
  EXPECT_FALSE(d->Modified());  // back at the state that was loaded
  EXPECT_TRUE(d->Model().GetNodeById(sammler));
}

TEST_F(Dokument, ACommitDroppedWithoutPushLeavesNothingBehind) {
  const std::string anfang = Gespeichert("anfang");
  const uint64_t rev = d->Revision();
  {
    TCommit c = d->Beginne("Abgebrochen");
    c.Erzeuge("RKB", "RKB 1", 10, 10);
    c.Entferne(Id("RÜB Mitte"));
    c.Umbenennen(Id("Altstadt"), "Altstadt Nord");
  }
  EXPECT_EQ(d->Revision(), rev);
  EXPECT_FALSE(d->KannRueckgaengig());
  EXPECT_EQ(Gespeichert("danach"), anfang);
}

TEST_F(Dokument, ANewEditDropsTheRedoSteps) {
  {
    TCommit c = d->Beginne("A");
    c.Aendern(Id("Altstadt"))->X1 = 5;
    d->Push(c);
  }
  d->Rueckgaengig();
  EXPECT_TRUE(d->KannWiederholen());
  EXPECT_EQ(d->WiederholenTitel(), "A");
  {
    TCommit c = d->Beginne("B");
    c.Aendern(Id("Altstadt"))->X1 = 7;
    d->Push(c);
  }
  EXPECT_FALSE(d->KannWiederholen());
  EXPECT_EQ(d->RueckgaengigTitel(), "B");
  // A commit that changes nothing is no step.
  {
    TCommit c = d->Beginne("Nichts");
    d->Push(c);
  }
  EXPECT_EQ(d->RueckgaengigTitel(), "B");
}

TEST_F(Dokument, SelectionIsNoEdit) {
  const uint64_t rev = d->Revision();
  d->Auswahl().Hinzufuegen(Id("Altstadt"));
  d->Auswahl().Aktuell = Id("Altstadt");
  EXPECT_EQ(d->Revision(), rev);
  EXPECT_FALSE(d->Modified());
  // Gathering an inflow for the result bar changes nothing either.
  EXPECT_GT(d->Zufluss(Id("RÜB Mitte")).AB[5].Q, 0);
  EXPECT_EQ(d->Revision(), rev);
}
