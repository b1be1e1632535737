// The run step by step: the same results to the bit in steps of any size,
// the reports at the chosen interval with copies of the chosen elements,
// cancel within the simulated hour, and the result handed back as one value.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <limits>
#include <thread>

#include "script/variablen.h"
#include "simulation/lauf.h"
#include "storage/projektdatei.h"
#include "support/ergebnisabbild.h"

using namespace t21;
using t21::test::Abbild;
namespace fs = std::filesystem;

namespace {

TDateTime D(int j, int m, int t, int h = 0, int mi = 0) {
  TDateTime d = 0;
  EncodeDate(j, m, t, d);
  return d + EncodeTime(h, mi, 0, 0);
}

const fs::path kBeispiel =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "beispiel";

// The shipped example with its rain series, and the CSO tank steered by a
// script that counts its steps in a project variable (the interpreter's
// state must go on across the calls as in one).
void Beispiel(TM3Model& m, bool mitScript = true) {
  const TLadeErgebnis g = A3_Laden(m, (kBeispiel / "Beispiel").string());
  ASSERT_TRUE(g.Ok) << g.Fehler;
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / r->FileName).string());
  if (!mitScript) return;
  auto& b = dynamic_cast<TRUB&>(*TM3Model::ElementOf(m.Liste.Find("RÜB Mitte")));
  b.Script = {
      "BEGIN _n := _n + 1; IF INHALT(SELF) > VOLUMEN(SELF) / 2 "
      "THEN QD := 2 * DROSSEL(SELF) ELSE QD := DROSSEL(SELF) END"};
  b.ScriptActive = true;
}

uint64_t Bits(double d) {
  return std::bit_cast<uint64_t>(d);
}

// What a run leaves: its result and the state of the model and clock.
struct TAusgang {
  TLaufErgebnis Ergebnis;
  std::string Tabellen;
  std::vector<int> Jahre;
  std::map<std::string, TStartzustaende> Startzustaende;
  int32_t Schritte = 0;
  uint64_t Zeit = 0, SummeQ = 0, Drossel = 0;
  double Zaehler = 0;  // the script's count
  size_t Ereignisse = 0;
};

TAusgang Ausgang(TSimulationsLauf& lauf, TM3Model& m) {
  const TLaufErgebnis e = lauf.Abschliessen();
  TLaufResultat r = lauf.Resultat();
  TAusgang a{e, Abbild(r.Tabellen), r.Jahre, r.Startzustaende};
  EXPECT_EQ(r.Ergebnis, e);
  const TSimulation& sim = lauf.Simulation();
  a.Schritte = sim.step;
  a.Zeit = Bits(sim.Zeit);
  a.SummeQ = Bits(m.Netz().Zustand.Summe.Q);
  a.Drossel = Bits(
      dynamic_cast<const TRUB&>(*TM3Model::ElementOf(m.Liste.Find("RÜB Mitte"))).Drossel.Summe.Q);
  a.Zaehler = script::AlsZahl(
      dynamic_cast<script::TbbVariables&>(*m.Netz().PublicVars).GetVariable("_N"), {});
  a.Ereignisse = sim.SystemEreignisse.size();
  return a;
}

const TDateTime kStart = D(2001, 1, 1), kEnde = D(2002, 2, 1);

}  // namespace

TEST(LaufSchritte, ChunksOfAnySizeGiveTheResultsOfOneCall) {
  struct Fall {
    const char* name;
    std::function<void(TSimulationsLauf&)> laufen;  // after Vorbereiten
  };
  auto bisEnde = [](TSimulationsLauf& l, const std::function<bool(TSimulationsLauf&)>& schritt) {
    for (int n = 0; !schritt(l); ++n) ASSERT_LT(n, 2000000);
  };
  const Fall faelle[] = {
      {"1 Schritt",
       [&](TSimulationsLauf& l) { bisEnde(l, [](auto& x) { return x.Schritte(1); }); }},
      {"7 Schritte",
       [&](TSimulationsLauf& l) { bisEnde(l, [](auto& x) { return x.Schritte(7); }); }},
      {"12345 Schritte",
       [&](TSimulationsLauf& l) { bisEnde(l, [](auto& x) { return x.Schritte(12345); }); }},
      {"BisZeit je Tag",
       [&](TSimulationsLauf& l) {
         TDateTime t = std::trunc(kStart) - 1;
         bisEnde(l, [&t](auto& x) { return x.BisZeit(t += 1); });
       }},
      {"abwechselnd",
       [&](TSimulationsLauf& l) {
         // 13 steps, then 0.29 days, then nothing, then one step again.
         int n = 0;
         bisEnde(l, [&n](auto& x) {
           switch (n++ % 4) {
             case 0:
               return x.Schritte(13);
             case 1:
               return x.BisZeit(x.Simulation().Zeit + 0.29);
             case 2:
               return x.Schritte(0);
             default:
               return x.Schritte(1);
           }
         });
       }},
      {"beobachtet, 7 Schritte",
       [&](TSimulationsLauf& l) {
         l.SetzeBeobachtungsintervall(1.0 / 24);
         l.BeobachteElemente({"RÜB Mitte", "Altstadt"});
         bisEnde(l, [](auto& x) { return x.Schritte(7); });
       }},
  };

  struct Zaehler : TLaufBeobachter {
    int tage = 0, staende = 0;
    void NeuerTag(const TSimulation&, int) override { ++tage; }
    void Stand(const TLaufStand&) override { ++staende; }
  };
  TM3Model m0;
  Beispiel(m0);
  TSimulationsLauf einmal(m0);
  Zaehler z0;
  ASSERT_EQ(einmal.Starte(kStart, kEnde, &z0), TLaufErgebnis::Abgeschlossen);
  const TAusgang soll = Ausgang(einmal, m0);
  ASSERT_GT(soll.Ereignisse, 20u);
  ASSERT_EQ(soll.Jahre, (std::vector<int>{2001, 2002}));
  ASSERT_EQ(soll.Zaehler, soll.Schritte + 1);
  ASSERT_FALSE(soll.Startzustaende.at("Altstadt").Element.empty());
  ASSERT_GE(z0.tage, 397);

  for (const Fall& f : faelle) {
    TM3Model m;
    Beispiel(m);
    TSimulationsLauf lauf(m);
    Zaehler z;
    ASSERT_TRUE(lauf.Vorbereiten(kStart, kEnde, &z)) << f.name;
    f.laufen(lauf);
    const TAusgang ist = Ausgang(lauf, m);
    EXPECT_EQ(ist.Ergebnis, TLaufErgebnis::Abgeschlossen) << f.name;
    EXPECT_TRUE(ist.Tabellen == soll.Tabellen) << f.name;  // no dump of a megabyte
    EXPECT_EQ(ist.Jahre, soll.Jahre) << f.name;
    EXPECT_EQ(ist.Startzustaende, soll.Startzustaende) << f.name;
    EXPECT_EQ(ist.Schritte, soll.Schritte) << f.name;
    EXPECT_EQ(ist.Zeit, soll.Zeit) << f.name;
    EXPECT_EQ(ist.SummeQ, soll.SummeQ) << f.name;
    EXPECT_EQ(ist.Drossel, soll.Drossel) << f.name;
    EXPECT_EQ(ist.Zaehler, soll.Zaehler) << f.name;
    EXPECT_EQ(ist.Ereignisse, soll.Ereignisse) << f.name;
    // One day change per simulated day, whatever the steps.
    EXPECT_EQ(z.tage, z0.tage) << f.name;
    // An ended run stays ended.
    EXPECT_TRUE(lauf.Schritte(1)) << f.name;
    EXPECT_EQ(lauf.Simulation().step, soll.Schritte) << f.name;
  }
}

TEST(LaufSchritte, ReportsAtTheChosenIntervalWithCopies) {
  struct Fall {
    double intervall;  // days; NaN: not set
    int proTag;        // reports per simulated day
  };
  const Fall faelle[] = {
      {NAN, 1}, {1.0, 1}, {2.0, 1}, {0.25, 4}, {1.0 / 24, 24}, {0.1, 10}, {0, 288},
  };
  for (const Fall& f : faelle) {
    TM3Model m;
    Beispiel(m, false);
    const TElement* rub = TM3Model::ElementOf(m.Liste.Find("RÜB Mitte"));
    const TElement* reg = TM3Model::ElementOf(m.Liste.Find("Regenschreiber 1"));
    struct Beobachter : TLaufBeobachter {
      const TElement *rub = nullptr, *reg = nullptr;
      std::vector<TLaufStand> staende;
      std::vector<std::pair<TDateTime, int>> tage;
      bool gleich = true;  // the copies held the live states at the report
      const TSimulation* sim = nullptr;
      void NeuerTag(const TSimulation& s, int p) override {
        sim = &s;
        tage.push_back({s.Zeit, p});
      }
      void Stand(const TLaufStand& s) override {
        staende.push_back(s);
        gleich = gleich && s.Elemente.size() == 2 && s.Schritt == sim->step &&
                 s.Zeit == sim->Zeit &&
                 Bits(s.Elemente[0].Zustand.Jahr.Q) == Bits(rub->Zustand.Jahr.Q) &&
                 Bits(s.Elemente[0].Zustand.OldQZu) == Bits(rub->Zustand.OldQZu) &&
                 Bits(s.Elemente[1].Zustand.Jahr.Regen()) == Bits(reg->Zustand.Jahr.Regen());
      }
    } b;
    b.rub = rub;
    b.reg = reg;
    TSimulationsLauf lauf(m);
    if (!std::isnan(f.intervall)) lauf.SetzeBeobachtungsintervall(f.intervall);
    lauf.BeobachteElemente({"RÜB Mitte", "gibt es nicht", "Regenschreiber 1"});
    ASSERT_EQ(lauf.Starte(D(2001, 6, 1), D(2001, 6, 11), &b), TLaufErgebnis::Abgeschlossen);
    const std::string fall = "Intervall " + std::to_string(f.intervall);
    EXPECT_TRUE(b.gleich) << fall;

    // Every day change reports, with the percentage NeuerTag gave; in
    // between the reports fall on the first block start after the interval.
    size_t tag = 0;
    std::vector<int> proTag;
    for (size_t k = 0; k < b.staende.size(); ++k) {
      const TLaufStand& s = b.staende[k];
      if (tag < b.tage.size() && s.Zeit == b.tage[tag].first) {
        EXPECT_EQ(s.Prozent, b.tage[tag].second) << fall;
        proTag.push_back(0);
        ++tag;
      } else {
        ASSERT_GT(k, 0u) << fall;
        const double abstand = s.Zeit - b.staende[k - 1].Zeit;
        const double soll = std::max(f.intervall, 5.0 / 1440);
        EXPECT_GE(abstand, soll - 1e-7) << fall << " " << k;
        EXPECT_LT(abstand, soll + 5.0 / 1440) << fall << " " << k;
      }
      ++proTag.back();
      if (k > 0) {
        EXPECT_GT(s.Schritt, b.staende[k - 1].Schritt) << fall;
      }
      ASSERT_EQ(s.Elemente.size(), 2u) << fall;
      EXPECT_EQ(s.Elemente[0].Name, "RÜB Mitte");
      EXPECT_EQ(s.Elemente[1].Name, "Regenschreiber 1");
    }
    EXPECT_EQ(tag, b.tage.size()) << fall;
    ASSERT_GE(proTag.size(), 11u) << fall;
    proTag.pop_back();  // the last day may be cut short
    EXPECT_EQ(proTag, std::vector<int>(proTag.size(), f.proTag)) << fall;
    // Copies: what the first reports held stays as it was while the run
    // went on.
    EXPECT_EQ(b.staende.front().Elemente[0].Zustand.Jahr.Q, 0) << fall;
    EXPECT_GT(rub->Zustand.Summe.Q, 0) << fall;
    double vorher = 0;
    for (const TLaufStand& s : b.staende) {
      EXPECT_GE(s.Elemente[1].Zustand.Jahr.Regen(), vorher) << fall;
      vorher = s.Elemente[1].Zustand.Jahr.Regen();
    }
    EXPECT_GT(vorher, 0) << fall;
  }
}

TEST(LaufSchritte, CancelEndsTheRunWithinTheHour) {
  const TDateTime abbruchUm = D(2001, 3, 10, 7, 2);
  struct Beobachter : TLaufBeobachter {
    TSimulationsLauf* lauf = nullptr;
    int art = 0;  // 0: in NeuerTag, 1: in Stand, 2: in Stand from another thread
    TDateTime um = 0, abgebrochen = 0;
    int32_t schritt = 0;
    void NeuerTag(const TSimulation& s, int) override {
      if (art == 0 && !abgebrochen && s.Zeit >= um) Abbrechen(s.Zeit, s.step);
    }
    void Stand(const TLaufStand& s) override {
      if (art > 0 && !abgebrochen && s.Zeit >= um)
        Abbrechen(s.Zeit, static_cast<int32_t>(s.Schritt));
    }
    void Abbrechen(TDateTime t, int32_t n) {
      abgebrochen = t;
      schritt = n;
      if (art == 2)
        std::thread([this] { lauf->Abbrechen(); }).join();
      else
        lauf->Abbrechen();
    }
  };
  struct Fall {
    const char* name;
    int art;
    double intervall;
  };
  for (const Fall& f : {Fall{"im Tageswechsel", 0, 1.0}, Fall{"im Stand", 1, 1.0 / 96},
                        Fall{"aus einem anderen Faden", 2, 0}}) {
    TM3Model m;
    Beispiel(m);
    Beobachter b;
    TSimulationsLauf lauf(m);
    b.lauf = &lauf;
    b.art = f.art;
    b.um = abbruchUm;
    lauf.SetzeBeobachtungsintervall(f.intervall);
    ASSERT_TRUE(lauf.Vorbereiten(kStart, kEnde, &b));
    EXPECT_TRUE(lauf.Schritte(std::numeric_limits<int64_t>::max())) << f.name;
    const TLaufErgebnis e = lauf.Abschliessen();
    EXPECT_EQ(e, TLaufErgebnis::Abgebrochen) << f.name;
    ASSERT_GT(b.abgebrochen, 0) << f.name;
    const TSimulation& sim = lauf.Simulation();
    EXPECT_LE(sim.Zeit - b.abgebrochen, 1.0 / 24 + 1e-7) << f.name;
    EXPECT_LE(sim.step - b.schritt, 12) << f.name;
    EXPECT_LT(b.abgebrochen - abbruchUm, f.art == 0 ? 1 : 1.0 / 48) << f.name;
    // The "Abbruch!" rows, none of the closing steps.
    EXPECT_EQ(lauf.CDSReport.back(), (TMeldungZeile{"Abbruch!", "Simulation abgebrochen", ""}));
    const TLaufResultat r = lauf.Resultat();
    EXPECT_EQ(r.Ergebnis, TLaufErgebnis::Abgebrochen);
    EXPECT_EQ(r.Tabellen.CDSHDAuswertung.Anzahl(), 0) << f.name;
    EXPECT_EQ(r.Tabellen.CDSHDAbfluss.Anzahl(), 0) << f.name;
    // not even the closing year change
    EXPECT_TRUE(r.Jahre.empty() || r.Jahre == std::vector<int>{2000}) << f.name;
  }
}

TEST(LaufSchritte, CancelBetweenCallsBeforeTheRunAndByClosingEarly) {
  TM3Model m;
  Beispiel(m);
  TSimulationsLauf lauf(m);

  // Between two calls: at the next block start.
  ASSERT_TRUE(lauf.Vorbereiten(kStart, kEnde));
  EXPECT_FALSE(lauf.Schritte(5000));
  lauf.Abbrechen();
  EXPECT_TRUE(lauf.Schritte(1000000));
  EXPECT_LE(lauf.Simulation().step, 5000 + 12);
  EXPECT_EQ(lauf.Abschliessen(), TLaufErgebnis::Abgebrochen);
  EXPECT_EQ(lauf.CDSReport.back(), (TMeldungZeile{"Abbruch!", "Simulation abgebrochen", ""}));

  // Before the run: it stops at its first block start, before any step.
  lauf.Abbrechen();
  ASSERT_TRUE(lauf.Vorbereiten(kStart, kEnde));
  EXPECT_TRUE(lauf.Schritte(10));
  EXPECT_EQ(lauf.Simulation().step, 0);
  EXPECT_EQ(lauf.Abschliessen(), TLaufErgebnis::Abgebrochen);

  // Closed before its end: it ends as cancelled there and then.
  ASSERT_TRUE(lauf.Vorbereiten(kStart, kEnde));
  EXPECT_FALSE(lauf.BisZeit(D(2001, 2, 1)));
  EXPECT_NEAR(lauf.Simulation().Zeit, D(2001, 2, 1), 1e-7);
  EXPECT_EQ(lauf.Abschliessen(), TLaufErgebnis::Abgebrochen);
  EXPECT_EQ(lauf.Abschliessen(), TLaufErgebnis::Abgebrochen);
  EXPECT_EQ(lauf.CDSReport.back(), (TMeldungZeile{"Abbruch!", "Simulation abgebrochen", ""}));
  EXPECT_EQ(lauf.Simulation().Script, nullptr);

  // The cancel belonged to those runs: the next one completes.
  EXPECT_EQ(lauf.Starte(kStart, D(2001, 3, 1)), TLaufErgebnis::Abgeschlossen);
}

TEST(LaufSchritte, TheResultIsOneValueForAnotherThread) {
  // The run on a worker thread, its result moved out of it.
  TM3Model m;
  Beispiel(m);
  std::future<TLaufResultat> f = std::async(std::launch::async, [&m] {
    TSimulationsLauf lauf(m);
    if (lauf.Vorbereiten(kStart, kEnde))
      while (!lauf.BisZeit(lauf.Simulation().Zeit + 7)) {
      }
    lauf.Abschliessen();
    TLaufResultat r = lauf.Resultat();
    // The run keeps empty tables it can fill again.
    for (const TTabelle* t : lauf.Ergebnisse().Tabellen()) {
      const std::string& name = t->Schema().Name;
      if (name != "CDSFehler" && name != "CDSReport" && name != "CDSREG1") {
        EXPECT_EQ(t->Anzahl(), 0) << name;
      }
    }
    return r;
  });
  const TLaufResultat r = f.get();

  TM3Model m2;
  Beispiel(m2);
  TSimulationsLauf lauf(m2);
  ASSERT_EQ(lauf.Starte(kStart, kEnde), TLaufErgebnis::Abgeschlossen);
  EXPECT_EQ(r.Ergebnis, TLaufErgebnis::Abgeschlossen);
  EXPECT_TRUE(Abbild(r.Tabellen) == Abbild(lauf.Ergebnisse()));
  EXPECT_EQ(r.Jahre, lauf.Jahre);
  EXPECT_GT(r.Tabellen.CDSREG1.Anzahl(), 0);
  EXPECT_GT(r.Tabellen.CDSFehler.Anzahl(), 0);

  // The start conditions of every catchment, one entry per recorded system
  // event (and one of an event begun and not recorded).
  const size_t ereignisse = lauf.Simulation().SystemEreignisse.size();
  EXPECT_EQ(r.Tabellen.CDSEreignisse.Anzahl(), static_cast<int>(ereignisse));
  ASSERT_EQ(r.Startzustaende.size(), 3u);
  for (const char* name : {"Altstadt", "Neubaugebiet", "Gewerbe"}) {
    const TStartzustaende& z = r.Startzustaende.at(name);
    const auto& k = dynamic_cast<const TKEZ&>(*TM3Model::ElementOf(m2.Liste.Find(name)));
    EXPECT_EQ(z.Element.size(), k.ABs.size()) << name;
    for (size_t i = 0; i < z.Element.size(); ++i)
      EXPECT_EQ(Bits(z.Element[i].FV1), Bits(k.ABs[i].FV1)) << name << " " << i;
    EXPECT_TRUE(z.Einheiten.empty()) << name;
  }
  // The foul catchment has no rain runoff and keeps no start conditions.
  EXPECT_TRUE(r.Startzustaende.at("Gewerbe").Element.empty());
  const std::vector<TStartCondition>& alt = r.Startzustaende.at("Altstadt").Element;
  EXPECT_GE(alt.size(), ereignisse);
  EXPECT_LE(alt.size(), ereignisse + 1);

  // A refused run: its messages, no start conditions.
  TM3Model leer;
  TSimulationsLauf abgewiesen(leer);
  EXPECT_FALSE(abgewiesen.Vorbereiten(kStart, kEnde));
  EXPECT_TRUE(abgewiesen.Schritte(1));
  EXPECT_EQ(abgewiesen.Abschliessen(), TLaufErgebnis::Abgewiesen);
  const TLaufResultat a = abgewiesen.Resultat();
  EXPECT_EQ(a.Ergebnis, TLaufErgebnis::Abgewiesen);
  EXPECT_GT(a.Tabellen.CDSFehler.Anzahl(), 0);
  EXPECT_TRUE(a.Startzustaende.empty());
}

// The same run started again on the same model and run object gives every
// result table bit for bit: nothing of the first run leaks into the second.
TEST(LaufSchritte, RepeatedRunOfTheExampleGivesTheSameTables) {
  TM3Model m;
  Beispiel(m);
  TSimulationsLauf lauf(m);
  ASSERT_EQ(lauf.Starte(kStart, kEnde), TLaufErgebnis::Abgeschlossen);
  const TAusgang erster = Ausgang(lauf, m);
  ASSERT_EQ(lauf.Starte(kStart, kEnde), TLaufErgebnis::Abgeschlossen);
  const TAusgang zweiter = Ausgang(lauf, m);
  EXPECT_TRUE(zweiter.Tabellen == erster.Tabellen);
  EXPECT_EQ(zweiter.Schritte, erster.Schritte);
  EXPECT_EQ(zweiter.SummeQ, erster.SummeQ);
  EXPECT_EQ(zweiter.Drossel, erster.Drossel);
  EXPECT_EQ(zweiter.Ereignisse, erster.Ereignisse);
  // The script's project variable starts again from nothing.
  EXPECT_EQ(zweiter.Zaehler, erster.Zaehler);
}
