// The re-simulation of one system event of a long run of the example
// project: what it reproduces of the long run, that it repeats itself and
// leaves the long run's saved start states alone, its lists, titles and
// columns, the dose rule and the refusals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "model/elements.h"
#include "model/regen.h"
#include "simulation/auswertung.h"
#include "simulation/ereignis.h"
#include "simulation/lauf.h"
#include "storage/projektdatei.h"

using namespace t21;
namespace fs = std::filesystem;

namespace {

const fs::path kBeispiel = fs::path(T21_QUELLE) / "beispiel";

void Beispiel(TM3Model& m) {
  const TLadeErgebnis g = A3_Laden(m, (kBeispiel / "Beispiel").string());
  ASSERT_TRUE(g.Ok) << g.Fehler;
  for (int i = 0; i < m.Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(m.GetNode(i))))
      r->SetData((kBeispiel / r->FileName).string());
}

TDateTime Tag(int j, int mo, int t) {
  TDateTime d = 0;
  EncodeDate(j, mo, t, d);
  return d;
}

// Per step (by the clock in milliseconds): the flows of every catchment and
// structure after the step, by element name: what came in (OldQZu), a
// catchment's own runoff, a structure's throttle flow and content.
using TSchritte = std::map<int64_t, std::map<std::string, std::vector<double>>>;

void Aufnehmen(const TSimulation& sim, TDateTime zeit, TSchritte& s) {
  auto& z = s[Millisekunden(zeit)];
  for (const TElement* e : sim.Reihenfolge) {
    std::vector<double>& v = z[e->Name()];
    v.push_back(e->Zustand.OldQZu);
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) v.push_back(k->TWZustand.Aktuell.Q);
    if (const auto* b = dynamic_cast<const TBauwerk*>(e)) {
      v.push_back(b->Drossel.Aktuell.Q);
      v.push_back(b->Speicher.Aktuell.Q);
    }
    // The river at a discharge point: the mixed water and its O2 and NH3.
    if (const auto* est = dynamic_cast<const TEST*>(e)) {
      v.push_back(est->Mischreaktor_oben.Q);
      v.push_back(est->Mischreaktor_oben.NH4);
      v.push_back(est->eO2);
      v.push_back(est->eNH3);
    }
  }
}

// One long run of January and February 2001, step by step with every step's
// flows, shared by the tests (a few seconds).
struct TLangerLauf {
  TM3Model m;
  TLaufResultat r;
  TSchritte schritte;
};

TLangerLauf& Lang() {
  static TLangerLauf* l = [] {
    auto* x = new TLangerLauf;
    Beispiel(x->m);
    TSimulationsLauf lauf(x->m);
    EXPECT_TRUE(lauf.Vorbereiten(Tag(2001, 1, 1), Tag(2001, 2, 28)));
    for (;;) {
      const TDateTime t = lauf.Simulation().Zeit;
      if (lauf.Schritte(1)) break;
      Aufnehmen(lauf.Simulation(), t, x->schritte);
    }
    EXPECT_EQ(lauf.Abschliessen(), TLaufErgebnis::Abgeschlossen);
    x->r = lauf.Resultat();
    return x;
  }();
  return *l;
}

std::vector<TEreignis> Ereignisse(const TLaufResultat& r) {
  return EreignisseAus(r.Tabellen);
}

// The first event after more than a day and a half without one (so that
// the re-simulation's day before runs dry as well).
int NachTrockenzeit(const std::vector<TEreignis>& ev) {
  for (size_t k = 1; k < ev.size(); ++k)
    if (std::trunc(ev[k].Start - 1.0 / 24) - 1 > ev[k - 1].Ende + 0.5) return static_cast<int>(k);
  return -1;
}

std::map<std::string, TStartzustaende> StartzustaendeDerElemente(const TM3Model& m) {
  std::map<std::string, TStartzustaende> s;
  for (int i = 0; i < m.Count(); ++i) {
    const TElement* e = TM3Model::ElementOf(m.GetNode(i));
    if (const auto* k = dynamic_cast<const TKEZ*>(e)) s[e->Name()].Element = k->ABs;
    if (const auto* a = dynamic_cast<const TAEO*>(e)) {
      s[e->Name()].Element = a->ABs;
      for (const THRU& u : a->HRUs) s[e->Name()].Einheiten.push_back(u.ABs);
    }
  }
  return s;
}

}  // namespace

TEST(Ereignis, EreignisseDesLangenLaufsPassenZuDenStartzustaenden) {
  TLangerLauf& l = Lang();
  const auto ev = Ereignisse(l.r);
  ASSERT_GE(ev.size(), 5u);
  // Entry k belongs to event k, the element's list is no longer than the
  // events plus the one open at the end.
  EXPECT_GE(l.r.Startzustaende.at("Altstadt").Element.size(), ev.size());
  EXPECT_LE(l.r.Startzustaende.at("Altstadt").Element.size(), ev.size() + 1);
  EXPECT_GE(NachTrockenzeit(ev), 1);
}

// Between the event's start and end the re-simulation gives every
// catchment and structure the long run's flows of each step; at the
// discharge point the reach starts from its base flow, not from the long
// run's state, so it is compared apart.
TEST(Ereignis, WiederholtDieSchritteDesLangenLaufs) {
  TLangerLauf& l = Lang();
  const auto ev = Ereignisse(l.r);
  // Of the events after a dry spell the one that fills the tank most.
  int k = -1;
  double inhalt = 0;
  for (size_t j = 1; j < ev.size(); ++j) {
    if (!(std::trunc(ev[j].Start - 1.0 / 24) - 1 > ev[j - 1].Ende + 0.5)) continue;
    const auto a = l.schritte.lower_bound(Millisekunden(ev[j].Start));
    const auto b = l.schritte.upper_bound(Millisekunden(ev[j].Ende));
    for (auto it = a; it != b; ++it)
      if (it->second.at("RÜB Mitte")[2] > inhalt) {
        inhalt = it->second.at("RÜB Mitte")[2];
        k = static_cast<int>(j);
      }
  }
  ASSERT_GE(k, 1);
  TEreignisLauf lauf(l.m, ev, l.r.Startzustaende);
  TSchritte neu;
  lauf.BeiSchritt = [&neu](const TSimulation& sim) { Aufnehmen(sim, sim.Zeit, neu); };
  TEreignisAuftrag a;
  a.Nr = k;
  a.Element = "RÜB Mitte";
  const TEreignisErgebnis e = lauf.Rechne(a);
  ASSERT_TRUE(e.Ok) << (e.Meldungen.empty() ? "" : e.Meldungen[0]);

  const int64_t von = Millisekunden(ev[k].Start), bis = Millisekunden(ev[k].Ende);
  int verglichen = 0;
  double groessteAbweichungEST = 0, groessteDrossel = 0, groessterInhalt = 0;
  for (const auto& [zeit, elemente] : l.schritte) {
    if (zeit < von || zeit > bis) continue;
    ASSERT_TRUE(neu.count(zeit)) << zeit;
    for (const auto& [name, soll] : elemente) {
      const std::vector<double>& ist = neu.at(zeit).at(name);
      ASSERT_EQ(ist.size(), soll.size());
      if (name == "RÜB Mitte") {
        groessteDrossel = std::max(groessteDrossel, soll[1]);
        groessterInhalt = std::max(groessterInhalt, soll[2]);
      }
      for (size_t i = 0; i < soll.size(); ++i) {
        const double d = std::fabs(ist[i] - soll[i]);
        const double rel = d / std::max({std::fabs(soll[i]), std::fabs(ist[i]), 1e-9});
        if (name == "Einleitung Mühlbach") {
          groessteAbweichungEST = std::max(groessteAbweichungEST, rel);
          continue;
        }
        EXPECT_LE(rel, 1e-9) << name << " Wert " << i << " bei " << DatumZeitText(zeit / 86400000.0)
                             << ": " << soll[i] << " / " << ist[i];
        ++verglichen;
      }
    }
  }
  EXPECT_GT(verglichen, 100);
  // The event fills the tank: there is something to compare.
  EXPECT_GT(groessteDrossel, 0);
  EXPECT_GT(groessterInhalt, 0);
  RecordProperty("AbweichungEinleitung", std::to_string(groessteAbweichungEST));
  std::cout << "Ereignis " << k + 1 << ": größte relative Abweichung an der Einleitungsstelle "
            << groessteAbweichungEST << ", " << verglichen << " Werte, Inhalt bis "
            << groessterInhalt << " m3\n";
}

TEST(Ereignis, ZweimalGleichUndStartzustaendeUnveraendert) {
  TLangerLauf& l = Lang();
  const auto ev = Ereignisse(l.r);
  const auto vorher = StartzustaendeDerElemente(l.m);
  EXPECT_EQ(vorher, l.r.Startzustaende);
  TEreignisLauf lauf(l.m, ev, l.r.Startzustaende);
  struct Fall {
    std::string element, parameter;
    bool grafik;
  };
  for (const Fall& f :
       {Fall{"RÜB Mitte", "Abfluss", true}, Fall{"Altstadt", "Mulden", true},
        Fall{"Einleitung Mühlbach", "Dosis NH3", true},
        Fall{"Einleitung Mühlbach", "Gewässer", false}, Fall{"Regenschreiber 1", "", true}}) {
    TEreignisAuftrag a;
    a.Nr = 2;
    a.Element = f.element;
    a.Parameter = f.parameter;
    a.Grafik = f.grafik;
    a.Nachlauftage = 1;
    const TEreignisErgebnis e1 = lauf.Rechne(a);
    const TEreignisErgebnis e2 = lauf.Rechne(a);
    ASSERT_TRUE(e1.Ok && e2.Ok) << f.element;
    size_t punkte = 0;
    for (size_t i = 0; i < kEreignisReihen; ++i) {
      ASSERT_EQ(e1.Reihen[i].Wert.size(), e2.Reihen[i].Wert.size());
      for (size_t j = 0; j < e1.Reihen[i].Wert.size(); ++j) {
        EXPECT_EQ(std::bit_cast<uint64_t>(e1.Reihen[i].Wert[j]),
                  std::bit_cast<uint64_t>(e2.Reihen[i].Wert[j]))
            << f.element << " " << i << " " << j;
        EXPECT_EQ(e1.Reihen[i].Zeit[j], e2.Reihen[i].Zeit[j]);
      }
      punkte += e1.Reihen[i].Wert.size();
    }
    ASSERT_EQ(e1.Tabelle.Werte.size(), e2.Tabelle.Werte.size());
    for (size_t j = 0; j < e1.Tabelle.Werte.size(); ++j)
      for (size_t i = 0; i < e1.Tabelle.Werte[j].size(); ++i)
        EXPECT_EQ(std::bit_cast<uint64_t>(e1.Tabelle.Werte[j][i]),
                  std::bit_cast<uint64_t>(e2.Tabelle.Werte[j][i]));
    EXPECT_GT(punkte + e1.Tabelle.Werte.size(), 0u) << f.element;
    // The event plus a day of follow-up, the points from the event's start
    // (the gauge from an hour before the re-simulation's start).
    const double tage = e1.Ende - e1.Start;
    EXPECT_NEAR(tage, ev[2].Ende - ev[2].Start + 1 + 1.0 / 24, 1e-8);
  }
  EXPECT_EQ(StartzustaendeDerElemente(l.m), vorher);
}

TEST(Ereignis, PunkteUndSpalten) {
  TLangerLauf& l = Lang();
  const auto ev = Ereignisse(l.r);
  TEreignisLauf lauf(l.m, ev, l.r.Startzustaende);
  TEreignisAuftrag a;
  a.Nr = 1;
  a.Element = "Einleitung Mühlbach";
  a.Parameter = "Sauerstoff";
  const TEreignisErgebnis chart = lauf.Rechne(a);
  ASSERT_TRUE(chart.Ok);
  EXPECT_EQ(chart.Reihen[2].Titel, "O2-Konzentration [mg/l]");
  EXPECT_EQ(chart.Reihen[4].Titel, "");
  EXPECT_TRUE(chart.Reihen[4].Wert.empty());
  // From the event's start to the end of the re-simulation, one per step.
  ASSERT_FALSE(chart.Reihen[2].Zeit.empty());
  EXPECT_NEAR(chart.Reihen[2].Zeit.front(), ev[1].Start, 1e-8);
  const double n = (chart.Ende - ev[1].Start) * 1440 / chart.dt_min;
  EXPECT_NEAR(static_cast<double>(chart.Reihen[2].Zeit.size()), n + 1, 1.01);

  a.Grafik = false;
  a.Parameter = "Gewässer";
  const TEreignisErgebnis tab = lauf.Rechne(a);
  ASSERT_TRUE(tab.Ok);
  ASSERT_EQ(tab.Tabelle.Spalten.size(), 10u);
  EXPECT_EQ(tab.Tabelle.Spalten[1].Label, "O2 [mg/l]");
  EXPECT_EQ(tab.Tabelle.Spalten[2].Format, "###,##0.000");
  EXPECT_EQ(tab.Tabelle.Spalten[9].Label, "TWasser [°C]");
  ASSERT_EQ(tab.Tabelle.Zeilen(), static_cast<int>(chart.Reihen[2].Wert.size()));
  // The "O2" column holds the oxygen concentration the chart shows.
  for (size_t j = 0; j < chart.Reihen[2].Wert.size(); ++j)
    EXPECT_EQ(tab.Tabelle.Werte[j][1], chart.Reihen[2].Wert[j]) << j;

  // The marked elements: at most six series, in the order of the run.
  a.Grafik = true;
  a.Element.clear();
  a.Parameter.clear();
  a.Markiert = {"RÜB Mitte", "Altstadt", "Sammler"};
  const TEreignisErgebnis m = lauf.Rechne(a);
  ASSERT_TRUE(m.Ok);
  EXPECT_EQ(m.Titel.rfind("< markierte Komponenten >: Ereignis 2 - ", 0), 0u) << m.Titel;
  EXPECT_EQ(m.Reihen[0].Titel, "Altstadt");
  EXPECT_EQ(m.Reihen[1].Titel, "Sammler");
  EXPECT_EQ(m.Reihen[2].Titel, "RÜB Mitte");
  EXPECT_TRUE(m.Reihen[3].Wert.empty());
  // From an hour before the re-simulation's start.
  ASSERT_FALSE(m.Reihen[0].Zeit.empty());
  EXPECT_NEAR(m.Reihen[0].Zeit.front(), ev[1].Start - 2.0 / 24, 1e-8);

  // More than six marked: the first six of the run's order (upstream
  // first, the project record last; rain gauges are not in it).
  a.Markiert = {"geschlossenes Siedlungsgebiet",
                "Einleitung Mühlbach",
                "RÜB Mitte",
                "Sammler",
                "Gewerbe",
                "Neubaugebiet",
                "Altstadt",
                "Regenschreiber 1"};
  const TEreignisErgebnis sechs = lauf.Rechne(a);
  ASSERT_TRUE(sechs.Ok);
  std::vector<std::string> titel;
  for (const TEreignisReihe& r : sechs.Reihen) {
    titel.push_back(r.Titel);
    EXPECT_FALSE(r.Wert.empty()) << r.Titel;
  }
  EXPECT_EQ(std::count(titel.begin(), titel.end(), "geschlossenes Siedlungsgebiet"), 0);
  EXPECT_EQ(std::count(titel.begin(), titel.end(), "Regenschreiber 1"), 0);
  EXPECT_EQ(titel.back(), "Einleitung Mühlbach");
}

TEST(Ereignis, Abweisungen) {
  TLangerLauf& l = Lang();
  auto ev = Ereignisse(l.r);
  const auto vorher = StartzustaendeDerElemente(l.m);
  struct Fall {
    int nr;
    std::string element, parameter;
    std::vector<std::string> markiert;
    std::string meldung;
  };
  const Fall faelle[] = {
      {999, "Altstadt", "", {}, "Es gibt kein Ereignis 1000"},
      {0, "Gibt es nicht", "", {}, "Die Komponente Gibt es nicht gibt es nicht (mehr)"},
      {0, "", "", {}, "Es sind keine Komponenten markiert!"},
      {0, "Altstadt", "Dosis NH3", {}, "Den Parameter \"Dosis NH3\" gibt es hier nicht"},
  };
  TEreignisLauf lauf(l.m, ev, l.r.Startzustaende);
  for (const Fall& f : faelle) {
    TEreignisAuftrag a;
    a.Nr = f.nr;
    a.Element = f.element;
    a.Parameter = f.parameter;
    a.Markiert = f.markiert;
    const TEreignisErgebnis e = lauf.Rechne(a);
    EXPECT_FALSE(e.Ok) << f.meldung;
    ASSERT_FALSE(e.Meldungen.empty()) << f.meldung;
    EXPECT_EQ(e.Meldungen[0].rfind(f.meldung, 0), 0u) << e.Meldungen[0];
  }
  // An event the rain series does not reach gives a message, not a dry chart.
  ev.push_back({Tag(1990, 6, 1), Tag(1990, 6, 2), false, 0, 0});
  TEreignisLauf frueh(l.m, ev, l.r.Startzustaende);
  TEreignisAuftrag a;
  a.Nr = static_cast<int>(ev.size()) - 1;
  a.Element = "Altstadt";
  const TEreignisErgebnis e = frueh.Rechne(a);
  EXPECT_FALSE(e.Ok);
  ASSERT_FALSE(e.Meldungen.empty());
  EXPECT_NE(e.Meldungen.back().find("Regenreihe"), std::string::npos) << e.Meldungen.back();
  EXPECT_EQ(StartzustaendeDerElemente(l.m), vorher);
}

TEST(Ereignis, Dosisregel) {
  // 5-minute steps, step 144: 720 minutes since the re-simulation began.
  EXPECT_DOUBLE_EQ(EreignisGrenzkonzentration(144 * 5.0), 0.025 + 1.5 / 720);
  EXPECT_NEAR(EreignisGrenzkonzentration(144 * 5.0), 0.025 + 0.0021, 0.00005);
  EXPECT_EQ(EreignisGrenzkonzentration(0), 0.025);

  TLangerLauf& l = Lang();
  TEreignisLauf lauf(l.m, Ereignisse(l.r), l.r.Startzustaende);
  TEreignisAuftrag a;
  a.Nr = 0;
  a.Element = "Einleitung Mühlbach";
  a.Parameter = "Dosis NH3";
  a.Nachlauftage = 1;
  const TEreignisErgebnis e = lauf.Rechne(a);
  ASSERT_TRUE(e.Ok);
  const auto& g = e.Reihen[0].Wert;
  const auto& d = e.Reihen[2].Wert;
  ASSERT_FALSE(g.empty());
  for (size_t i = 1; i < g.size(); ++i) {
    EXPECT_GE(g[i], g[i - 1]);
    EXPECT_GE(d[i], d[i - 1]);
  }
  EXPECT_GT(g.back(), 0);
  EXPECT_EQ(g.back(), e.Grenzwert);
  EXPECT_EQ(d.back(), e.Dosis);
}

TEST(Ereignis, ListenTitelUndSpalten) {
  using A = TEreignisArt;
  struct Fall {
    A art;
    bool grafik;
    size_t anzahl;
    const char* erster;
    const char* letzter;
  };
  const Fall faelle[] = {
      {A::Markierte, true, 1, "Abfluss", "Abfluss"},
      {A::Einleitung, true, 13, "Abfluss HQ1", "Temperatur"},
      {A::Bauwerk, true, 8, "Abfluss", "Speicher"},
      {A::Einzugsgebiet, true, 9, "Abfluss", "Summe Q"},
      {A::Klaeranlage, true, 7, "Abfluss", "Alkalinität"},
      {A::Oberflaeche, true, 1, "Abfluss", "Abfluss"},
      {A::Regenschreiber, true, 1, "Regen/pot. Verdunstung", "Regen/pot. Verdunstung"},
      {A::Einleitung, false, 4, "Gewässer", "Abflüsse"},
      {A::Bauwerk, false, 5, "Zufluss", "Speicher"},
      {A::Netz, false, 2, "Abfluss", "globale Variablen"},
      {A::Verbinder, false, 1, "Abfluss", "Abfluss"},
  };
  for (const Fall& f : faelle) {
    const auto l = EreignisParameter(f.art, f.grafik);
    ASSERT_EQ(l.size(), f.anzahl) << f.erster;
    EXPECT_EQ(l.front(), f.erster);
    EXPECT_EQ(l.back(), f.letzter);
  }
  EXPECT_TRUE(EreignisParameter(A::Sonstiges, true).empty());

  EXPECT_EQ(EreignisReihenTitel(A::Bauwerk, "ph-Wert")[3], "BÜ [-]");
  EXPECT_EQ(EreignisReihenTitel(A::Klaeranlage, "NH4")[0], "Ablauf");
  EXPECT_EQ(EreignisReihenTitel(A::Klaeranlage, "NH4")[2], "NH4 + Norg [mg/l]");
  EXPECT_EQ(EreignisReihenTitel(A::Einleitung, "Ammoniak")[1], "");

  const std::pair<const char*, const char*> labels[] = {
      {"N", "N [mm]"},         {"pot. V", "pot. V [mm]"}, {"HQ1 ist + QE", "HQ1 ist + QE [l/s]"},
      {"Alk", "Alk [mmol/l]"}, {"pH", "pH [-]"},          {"Inhalt", "Inhalt [cbm]"},
      {"tc", "tc [h]"},        {"k2", "k2 [1/h]"},        {"TLuft", "TLuft [°C]"},
      {"BSB5", "BSB5 [mg/l]"}};
  for (const auto& [n, soll] : labels) EXPECT_EQ(EreignisSpaltenLabel(n), soll);
  for (const char* n : {"v", "h", "hm", "k2", "tc", "NH3", "N"})
    EXPECT_EQ(EreignisSpaltenFormat(n), "###,##0.000") << n;
  EXPECT_EQ(EreignisSpaltenFormat("Q"), "###,##0.00");
  const auto v = EreignisSpalten(A::Netz, "globale Variablen", {"_a", "_b"});
  ASSERT_EQ(v.size(), 2u);
  EXPECT_TRUE(v[0].Text);

  // A proposed name stays in the folder it is proposed for.
  const std::string n = EreignisDateiname("/tmp/Projekt", "RÜB 1/2", "Abfluss\\Q");
  EXPECT_EQ(n, "Projekt_RÜB 1_2_Abfluss_Q_GL.xls");
  EXPECT_EQ(EreignisDateiname("", "..", "x").find('/'), std::string::npos);
}

// A saved run keeps its events and start states; re-simulated from the
// files the event is the same as from the run in memory. A run saved
// without them still loads, and says what is missing.
TEST(Ereignis, AusGespeichertenErgebnissen) {
  TLangerLauf& l = Lang();
  const fs::path dir = fs::temp_directory_path() / ("t21_ereignis_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string eintrag = (dir / "Lauf_CDSReport.s21").string();
  std::string fehler;
  ASSERT_TRUE(l.r.Tabellen.Speichern(eintrag, fehler)) << fehler;
  std::map<std::string, TStartzustaende> geladen;
  std::string meldung;
  EXPECT_FALSE(LadeStartzustaende(eintrag, geladen, meldung));
  EXPECT_NE(meldung.find("keine Anfangszustände"), std::string::npos) << meldung;
  EXPECT_TRUE(geladen.empty());

  EXPECT_EQ(StartzustaendeAus(l.m), l.r.Startzustaende);
  ASSERT_TRUE(SpeichereStartzustaende(l.r.Startzustaende, eintrag, fehler)) << fehler;
  EXPECT_TRUE(fs::exists(dir / "Lauf_Startzustaende.xml"));
  ASSERT_TRUE(LadeStartzustaende(eintrag, geladen, meldung)) << meldung;
  // An element without entries (the foul-water catchment) has no rows.
  auto mitEintraegen = l.r.Startzustaende;
  std::erase_if(mitEintraegen, [](const auto& e) { return e.second.Element.empty(); });
  EXPECT_EQ(mitEintraegen.size(), 2u);
  EXPECT_EQ(geladen, mitEintraegen);

  TDataModule2 dm;
  std::vector<std::string> meldungen;
  ASSERT_TRUE(dm.Laden(eintrag, meldungen));
  const auto ev = EreignisseAus(dm);
  ASSERT_EQ(ev.size(), Ereignisse(l.r).size());
  TEreignisAuftrag a;
  a.Nr = 3;
  a.Element = "Altstadt";
  a.Parameter = "Summe Q";
  TEreignisLauf ausDatei(l.m, ev, geladen);
  TEreignisLauf ausLauf(l.m, Ereignisse(l.r), l.r.Startzustaende);
  const TEreignisErgebnis e1 = ausDatei.Rechne(a), e2 = ausLauf.Rechne(a);
  ASSERT_TRUE(e1.Ok && e2.Ok);
  ASSERT_FALSE(e1.Reihen[0].Wert.empty());
  EXPECT_EQ(e1.Reihen[0].Wert, e2.Reihen[0].Wert);
  EXPECT_EQ(e1.Reihen[0].Zeit, e2.Reihen[0].Zeit);

  // A damaged file is refused and leaves the states as they were.
  std::ofstream(dir / "Lauf_Startzustaende.xml") << "<DATAPACKET>";
  EXPECT_FALSE(LadeStartzustaende(eintrag, geladen, meldung));
  EXPECT_EQ(geladen, mitEintraegen);
  fs::remove_all(dir);
}

// The re-simulation runs the management scripts in an interpreter of its
// own: the project variable a script counts up starts again at every
// re-simulation and shows in the project record's table.
TEST(Ereignis, ScriptsUndGlobaleVariablen) {
  TM3Model m;
  Beispiel(m);
  auto& b = dynamic_cast<TRUB&>(*TM3Model::ElementOf(m.Liste.Find("RÜB Mitte")));
  b.Script = {"BEGIN _n := _n + 1 END"};
  b.ScriptActive = true;
  TSimulationsLauf lang(m);
  ASSERT_EQ(lang.Starte(Tag(2001, 1, 1), Tag(2001, 1, 31)), TLaufErgebnis::Abgeschlossen);
  const TLaufResultat r = lang.Resultat();
  TEreignisLauf lauf(m, EreignisseAus(r.Tabellen), r.Startzustaende);
  TEreignisAuftrag a;
  a.Nr = 1;
  a.Element = "geschlossenes Siedlungsgebiet";
  a.Parameter = "globale Variablen";
  a.Grafik = false;
  for (int mal = 0; mal < 2; ++mal) {
    const TEreignisErgebnis e = lauf.Rechne(a);
    ASSERT_TRUE(e.Ok) << (e.Meldungen.empty() ? "" : e.Meldungen[0]);
    ASSERT_EQ(e.Tabelle.Spalten.size(), 1u);
    EXPECT_EQ(e.Tabelle.Spalten[0].Name, "_N");  // names as the scanner reads them
    EXPECT_TRUE(e.Tabelle.Spalten[0].Text);
    ASSERT_GT(e.Tabelle.Zeilen(), 2);
    // The trial run of the checks counts once, then every step: the first
    // row drawn is the step at the event's start, counted from midnight of
    // the day before the re-simulation's start.
    const auto schritte = static_cast<long>(
        std::llround((e.Ereignis.Start - (std::trunc(e.Start) - 1)) * 1440 / e.dt_min));
    EXPECT_EQ(e.Tabelle.Texte[0][0], std::to_string(schritte + 2)) << mal;
    EXPECT_EQ(e.Tabelle.Texte[1][0], std::to_string(schritte + 3)) << mal;
  }
  // A script that does not parse refuses the run.
  b.Script = {"BEGIN _n := END"};
  const TEreignisErgebnis e = lauf.Rechne(a);
  EXPECT_FALSE(e.Ok);
  ASSERT_FALSE(e.Meldungen.empty());
  EXPECT_EQ(e.Meldungen[0], "RÜB Mitte: Script fehlerhaft! Abbruch");
}
