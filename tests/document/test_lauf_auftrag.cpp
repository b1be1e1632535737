// Simulation runs as jobs on worker threads: the same tables as a run in
// one call, untouched by edits made meanwhile, cancel, and two projects at
// once.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "document/dokument.h"
#include "document/lauf_auftrag.h"
#include "model/elements.h"
#include "support/bench_netz.h"
#include "support/ergebnisabbild.h"

using namespace t21;
using t21::test::Abbild;

namespace {

const std::string kOrdner = std::string(T21_QUELLE) + "/beispiel/";

TDateTime D(int j, int m, int t) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d;
}

std::unique_ptr<TDokument> Beispiel() {
  TLadeErgebnis e;
  auto d = TDokument::Oeffnen(kOrdner + "Beispiel", e);
  EXPECT_TRUE(d) << e.Fehler;
  if (!d) return nullptr;
  // The rain gauges read the example's series wherever the test runs: an
  // edit like any other.
  TCommit c = d->Beginne("Regendatei");
  for (int i = 0; i < d->Model().Count(); ++i)
    if (dynamic_cast<const TREG*>(TM3Model::ElementOf(d->Model().GetNode(i))))
      dynamic_cast<TREG&>(*TM3Model::ElementOf(c.Aendern(d->Model().GetNode(i))))
          .SetData(kOrdner + "Beispiel_Regen.REG");
  d->Push(c);
  return d;
}

// The run in one call on the model itself, not on a copy.
std::string EinAufruf(TM3Model& m, TDateTime von, TDateTime bis) {
  TSimulationsLauf lauf(m);
  EXPECT_EQ(lauf.Starte(von, bis), TLaufErgebnis::Abgeschlossen);
  return Abbild(lauf.Ergebnisse());
}

}  // namespace

TEST(LaufAuftrag, GivesTheTablesOfARunInOneCallWhileTheProjectIsEdited) {
  auto d = Beispiel();
  ASSERT_TRUE(d);
  const TDateTime von = D(2001, 1, 1), bis = D(2004, 1, 1);
  TM3Model geladen;
  ASSERT_TRUE(A3_Laden(geladen, kOrdner + "Beispiel").Ok);
  for (int i = 0; i < geladen.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(geladen.GetNode(i))))
      r->SetData(kOrdner + "Beispiel_Regen.REG");
  const std::string erwartet = EinAufruf(geladen, von, bis);
  const uint64_t revision = d->Revision();

  std::atomic<int> staende{0};
  TLaufAuftrag auftrag(*d, von, bis);
  auftrag.BeobachteElemente({"RÜB Mitte"});
  auftrag.BeiStand = [&](const TLaufStand& s) {
    if (s.Elemente.size() == 1 && s.Elemente[0].Name == "RÜB Mitte") ++staende;
  };
  auftrag.Starte();
  // Meanwhile the throttle of the tank is changed and the tank deleted.
  {
    TCommit c = d->Beginne("Drossel");
    dynamic_cast<TRUB&>(*TM3Model::ElementOf(c.Aendern(d->Model().Liste.Find("RÜB Mitte")))).QD = 1;
    d->Push(c);
  }
  {
    TCommit c = d->Beginne("Löschen");
    c.Model().DeleteShape(c.Model().Liste.Find("RÜB Mitte"));
    d->Push(c);
  }
  TLaufAuftragsErgebnis e = auftrag.Warte();
  EXPECT_TRUE(auftrag.Fertig());
  EXPECT_EQ(e.Resultat.Ergebnis, TLaufErgebnis::Abgeschlossen);
  EXPECT_EQ(Abbild(e.Resultat.Tabellen), erwartet);
  EXPECT_EQ(e.Revision, revision);
  EXPECT_NE(d->Revision(), e.Revision);  // the window can tell the results are older
  EXPECT_GE(staende.load(), 3 * 365);    // at least once per simulated day
  EXPECT_FALSE(e.Resultat.Startzustaende.empty());
}

TEST(LaufAuftrag, TwoProjectsRunAtOnceAsOneAtATime) {
  auto a = Beispiel();
  ASSERT_TRUE(a);
  TM3Model netz, netzEinzeln;
  test::BaueBenchNetz(netz, kOrdner + "Beispiel_Regen.REG");
  test::BaueBenchNetz(netzEinzeln, kOrdner + "Beispiel_Regen.REG");
  const TDateTime von = D(2001, 1, 1), bis = D(2001, 4, 1);
  TM3Model beispiel;
  ModellAusPaket(beispiel, *ModellAlsPaket(a->Model()), a->DateiName());
  const std::string erwartetA = EinAufruf(beispiel, von, bis);
  const std::string erwartetB = EinAufruf(netzEinzeln, von, bis);

  TLaufAuftrag ja(*a, von, bis), jb(netz, 7, von, bis);
  ja.Starte();
  jb.Starte();
  const TLaufAuftragsErgebnis ea = ja.Warte(), eb = jb.Warte();
  EXPECT_EQ(Abbild(ea.Resultat.Tabellen), erwartetA);
  EXPECT_EQ(Abbild(eb.Resultat.Tabellen), erwartetB);
  EXPECT_EQ(eb.Revision, 7u);
}

TEST(LaufAuftrag, CancelEndsTheRunWithinASimulatedHour) {
  TM3Model netz;
  test::BaueBenchNetz(netz, kOrdner + "Beispiel_Regen.REG");
  TLaufAuftrag auftrag(netz, 1, D(2001, 1, 1), D(2011, 1, 1));
  auftrag.SetzeBeobachtungsintervall(1.0 / 24);
  std::atomic<double> abgebrochenBei{0};
  auftrag.BeiStand = [&](const TLaufStand& s) {
    // Cancelled from the worker's own report, a month into the run.
    if (s.Zeit > D(2001, 2, 1) && abgebrochenBei == 0) {
      abgebrochenBei = s.Zeit;
      auftrag.Abbrechen();
    }
  };
  auftrag.Starte();
  const TLaufAuftragsErgebnis e = auftrag.Warte();
  EXPECT_EQ(e.Resultat.Ergebnis, TLaufErgebnis::Abgebrochen);
  ASSERT_TRUE(auftrag.LetzterStand());
  EXPECT_LE(auftrag.LetzterStand()->Zeit - abgebrochenBei, 1.0 / 24 + 1e-8);
  // Cancelled before it starts: it ends at once, refused or cancelled.
  TLaufAuftrag frueh(netz, 1, D(2001, 1, 1), D(2011, 1, 1));
  frueh.Abbrechen();
  frueh.Starte();
  EXPECT_NE(frueh.Warte().Resultat.Ergebnis, TLaufErgebnis::Abgeschlossen);
}
