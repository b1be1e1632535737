#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "model/elements.h"
#include "storage/felder.h"

using namespace t21;

TEST(Felder, DescriptionsCarryTheColumnsLimitsDefaultsAndTheDialogsLabels) {
  const auto ed = Feld("CDSKEZ", "ED");
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->Schluessel(), "CDSKEZ.ED");
  EXPECT_EQ(ed->Label, "Einwohnerdichte ED");
  EXPECT_EQ(ed->Einheit, "E/ha");
  EXPECT_EQ(ed->Typ, TFeldTyp::Float);
  EXPECT_FALSE(ed->Min);
  EXPECT_EQ(ed->Max, 1000000.0);
  EXPECT_EQ(ed->Vorgabe, "0,0");
  EXPECT_TRUE(ed->ImBereich(300));
  EXPECT_FALSE(ed->ImBereich(1000001));
  const auto ngm = Feld("CDSKEZ", "NGM");
  EXPECT_FALSE(ngm->ImBereich(0.5));
  EXPECT_TRUE(ngm->ImBereich(1));
  EXPECT_FALSE(ngm->ImBereich(std::nan("")));
  // A column without a label is named by itself; unknown ones are none.
  EXPECT_EQ(Feld("CDSKEZ", "O2Defizit")->Label, "O2Defizit");
  EXPECT_FALSE(Feld("CDSKEZ", "GIBTSNICHT"));
  EXPECT_FALSE(Feld("CDSNIX", "ED"));
}

TEST(Felder, EveryKindWithADialogHasItsTableAndTheCommonRecord) {
  for (const char* typ : {"NET", "KEM", "KES", "KER", "RU", "RUB", "RKB", "KLG", "OMA", "EST",
                          "CON", "REG", "KEZ", "EBW", "RUE"}) {
    const auto f = FelderVon(typ);
    ASSERT_FALSE(f.empty()) << typ;
    EXPECT_EQ(f.front().Tabelle, TabelleVon(typ)) << typ;
    std::set<std::string> schluessel;
    for (const auto& x : f) EXPECT_TRUE(schluessel.insert(x.Schluessel()).second) << x.Schluessel();
    EXPECT_TRUE(schluessel.count("CDSHyd.GELAENDE")) << typ;
    EXPECT_FALSE(schluessel.count(TabelleVon(typ) + ".ID")) << typ;
  }
  EXPECT_TRUE(FelderVon("XYZ").empty());
  EXPECT_EQ(TabelleVon("KES"), "CDSKEZ");
}

TEST(Felder, WorkingTablesKeepAStoredValueOutsideTheLimits) {
  // The project tables refuse a value beyond a column's limit, so a stored
  // value would be lost on its way to a dialog; the working tables keep it.
  TKEM k;
  k.ED = 2000000;  // above the column's 1000000
  k.NGM = 0.5;     // below its minimum
  auto dm = Arbeitstabellen();
  dm->SaveData(k);
  const TTabelle& t = dm->T("CDSKEZ");
  const int z = dm->DetailZeile(t);
  ASSERT_GE(z, 0);
  EXPECT_EQ(AlsZahl(t.Wert(z, "ED")), 2000000);
  TKEM zurueck;
  dm->GetData(zurueck);
  EXPECT_EQ(zurueck.ED, 2000000);
  // Same defaults as the project tables.
  TDataModule1 normal;
  EXPECT_EQ(dm->T("CDSKEZ").Vorgabe(t.Schema().Index("WS")),
            normal.T("CDSKEZ").Vorgabe(t.Schema().Index("WS")));
  EXPECT_EQ(dm->GetTable("KEM"), &dm->T("CDSKEZ"));
  EXPECT_EQ(FeldZeile(*dm, *Feld("CDSKEZ", "ED")), z);
  EXPECT_EQ(FeldZeile(*dm, *Feld("CDSHyd", "RW")), dm->Aktuell);
}
