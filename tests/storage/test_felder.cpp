#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <tuple>

#include "model/elements.h"
#include "storage/felder.h"
#include "storage/projektdatei.h"

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

namespace {

// The nested table of that name below a schema (depth first), or null.
const TSchema* Unter(const TSchema& s, std::string_view name) {
  for (const TFeld& f : s.Felder)
    if (f.Typ == TFeldTyp::Nested && f.Nested) {
      if (f.Name == name) return f.Nested.get();
      if (const TSchema* t = Unter(*f.Nested, name)) return t;
    }
  return nullptr;
}

}  // namespace

static const TNET& StandardNetz() {
  static const TNET n;
  return n;
}

TEST(Felder, EveryDescribedValueHasItsColumnInTheTableAndTheFile) {
  // table, the kind's record in the project file, an element of the kind
  const std::tuple<const char*, const char*, std::unique_ptr<TElement>> arten[] = {
      {"CDSNet", "NET", std::make_unique<TNET>()},   {"CDSKEZ", "KEZ", std::make_unique<TKEM>()},
      {"CDSEbw", "BAU", std::make_unique<TRUB>()},   {"CDSEst", "EST", std::make_unique<TEST>()},
      {"CDSKlg", nullptr, std::make_unique<TKLG>()}, {"CDSOma", "OMA", std::make_unique<TOMA>()},
      {"CDSAEO", nullptr, std::make_unique<TAEO>()}, {"CDSVBE", nullptr, std::make_unique<TVBE>()},
      {"CDSCON", "CON", std::make_unique<TCON>()},   {"CDSREG", "REG", std::make_unique<TREG>()},
  };
  const auto paket = NeuesProjektPaket();
  for (const auto& [tabelle, satz, element] : arten) {
    const auto& felder = ElementFelder(tabelle);
    ASSERT_FALSE(felder.empty()) << tabelle;
    const auto schema = ProjektSchema(tabelle);
    // (a plant, surface areas and swales have no record of their own there)
    const TSchema* datei = satz ? Unter(paket->Schema(), satz) : nullptr;
    ASSERT_TRUE(schema && (datei || !satz)) << tabelle;
    std::set<std::string> spalten, dateispalten;
    for (const TElementFeld& f : felder) {
      EXPECT_TRUE(f.Spalte || f.Datei || f.CSV) << tabelle;
      ASSERT_TRUE(f.Lesen || (f.LesenImNetz && f.CSV && !f.Spalte && !f.Datei)) << tabelle;
      // Named once: no column twice, every column in its schema.
      if (f.Spalte) {
        EXPECT_GE(schema->Index(f.Spalte), 0) << tabelle << "." << f.Spalte;
        EXPECT_TRUE(spalten.insert(f.Spalte).second) << tabelle << "." << f.Spalte;
        EXPECT_TRUE(Feld(tabelle, f.Spalte)) << f.Spalte;
      }
      if (f.Datei) {
        ASSERT_TRUE(datei) << tabelle << ": " << f.Datei;
        EXPECT_GE(datei->Index(f.Datei), 0) << satz << "." << f.Datei;
        EXPECT_TRUE(dateispalten.insert(f.Datei).second) << satz << "." << f.Datei;
      }
      EXPECT_TRUE(!f.Eingabe || f.Schreiben) << tabelle << "." << (f.Spalte ? f.Spalte : "");
      if (f.Lesen) {
        EXPECT_FALSE(IstNull(f.Lesen(*element)));
      }
    }
    EXPECT_EQ(FelderCSVKopf(tabelle).size(),
              FelderCSVWerte(*element, tabelle, StandardNetz()).size());
  }
  EXPECT_TRUE(ElementFelder("CDSGIBTSNICHT").empty());
}

TEST(Felder, ACatchmentThroughTheTablesTakesItsInputsAndTheRulesOfItsKind) {
  TKEM k;
  k.ED = 45.5;
  k.NGM = 0.5;  // at or below 1: 1
  k.N = 0;      // likewise
  k.SWGL = 2;
  k.CH.BSB = 400;
  k.CH.PH = 7.5;
  k.CH.ALK = 99;  // follows from the pH: 3
  k.CH.Q = 5;     // no input: cleared
  k.AE = 12;      // computed: not taken back
  k.PSIe = 0.85;
  // The dialogs' tables, which keep what the element holds.
  auto arbeit = Arbeitstabellen();
  TDataModule1& dm = *arbeit;
  dm.SaveData(k);
  const TTabelle& t = dm.T("CDSKEZ");
  const int z = dm.DetailZeile(t);
  EXPECT_EQ(AlsZahl(t.Wert(z, "AEK")), 12);
  EXPECT_EQ(AlsZahl(t.Wert(z, "CHALK")), 99);
  EXPECT_EQ(AlsZahl(t.Wert(z, "PSIb")), 0.85);
  TKEM w;
  dm.GetData(w);
  EXPECT_EQ(w.ED, 45.5);
  EXPECT_EQ(w.NGM, 1);
  EXPECT_EQ(w.N, 1);
  EXPECT_EQ(w.SWGL, 2);
  EXPECT_EQ(w.CH.BSB, 400);
  EXPECT_EQ(double(w.CH.PH), 7.5);
  EXPECT_EQ(w.CH.ALK, 3);
  EXPECT_EQ(w.CH.Q, 0);
  EXPECT_EQ(w.AE, 0);
  EXPECT_EQ(w.PSIe, 0.85);
}
