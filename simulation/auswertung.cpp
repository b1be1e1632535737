#include "simulation/auswertung.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <tuple>

#include "model/format.h"
#include "model/network.h"

namespace t21 {

namespace {

constexpr long long kMsProTag = 86400000;
constexpr const char* kGesamtsystem = "Gesamtsystem";
constexpr const char* kGesamtsystem365 = "Gesamtsystem (365 Tage)";

uint32_t Ticks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The rain-water part of a set: all water less the dry-weather water.
double Regenwasser(const TFrachten& f) {
  return f.Q - f.QS - f.QF;
}

// The year divisor of annual means: years of the period, 1/365 for none.
double Jahresteiler(const TSimulation& sim) {
  const double a = sim.Tage / 365.0;
  return a == 0 ? 1.0 / 365 : a;
}

// The gauge a catchment's shape is linked to.
const TREG* Regenschreiber(const TElement& e) {
  return e.Owner ? dynamic_cast<const TREG*>(TM3Model::ElementOf(e.Owner->KUE())) : nullptr;
}

// Shortest decimal form with the decimal comma ("5", "2,5", "0,25").
std::string ZahlKurz(double v) {
  std::string s = AlsText(TWert(v));
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

// Round half to even, as an integer text.
std::string Ganzzahl(double v) {
  const double r = std::nearbyint(v);
  if (!std::isfinite(r)) return ZahlKurz(r);
  return std::to_string(static_cast<long long>(r));
}

}  // namespace

long long Millisekunden(TDateTime t) {
  return std::llround(t * kMsProTag);
}

double StundenZwischen(TDateTime a, TDateTime b) {
  return static_cast<double>(Millisekunden(b) - Millisekunden(a)) / 3600000.0;
}

std::string Zahlformat(double v, int nachkomma) {
  return ZahlText(v, nachkomma, true);
}

TAuswertung::TAuswertung(TSimulation& sim, TDataModule2& dm, std::vector<TMeldungZeile>& report)
    : Uhr(Ticks), FSim(sim), FDM(dm), FReport(report), FLetzterWechsel(Millisekunden(sim.Zeit)) {
  for (TElement* e : sim.Reihenfolge) {
    TGlied g{e, TArt::Sonstiges, dynamic_cast<TBauwerk*>(e)};
    if (dynamic_cast<TEBW*>(e))
      g.art = TArt::Speicherbauwerk;
    else if (dynamic_cast<TOMA*>(e))
      g.art = TArt::Massnahme;
    else if (dynamic_cast<TEST*>(e))
      g.art = TArt::Einleitung;
    else if (dynamic_cast<TKEZ*>(e))
      g.art = TArt::Einzugsgebiet;
    else if (dynamic_cast<TKLG*>(e))
      g.art = TArt::Klaeranlage;
    else if (dynamic_cast<TNET*>(e))
      g.art = TArt::Wurzel;
    else if (dynamic_cast<TAEO*>(e))
      g.art = TArt::Oberflaeche;
    FGlieder.push_back(g);
    if (g.bauwerk) FBauwerke.push_back(g.bauwerk);
    if (g.bauwerk && g.art != TArt::Einleitung && !dynamic_cast<TRU*>(e))
      FSpeicherbauwerke.push_back(g.bauwerk);
  }
}

// ------------------------------------------------------------------ events

void TAuswertung::WriteEreignis(TEreignis& ev) {
  const int nr = static_cast<int>(FSim.SystemEreignisse.size());
  ev.Dauer = StundenZwischen(ev.Start, ev.Ende);
  TNeueZeile{FDM.CDSEreignisse}("Nr.", nr)("Beginn", ev.Start)("Ende", ev.Ende)(
      "Dauer", Zahlformat(ev.Dauer, 2))("Entlastung", ev.Entlastung);
  for (const TGlied& g : FGlieder) {
    TBauwerk* b = g.bauwerk;
    if (!b) continue;
    if (g.art == TArt::Einleitung) {
      WriteBauwerk(*b, ev);
    } else if (b->Drossel.Ereignis.Stunden > 0) {
      if (b->KUE.Zustand.Ereignis.Q + b->BUE.Zustand.Ereignis.Q > 0.0001)
        b->Zustand.Jahr.Anzahl += 1;
      WriteBauwerk(*b, ev);
    }
  }
  for (TBauwerk* b : FBauwerke) {
    b->KUE.Zustand.Ereignis.Clear();
    b->BUE.Zustand.Ereignis.Clear();
    b->Drossel.Ereignis.Clear();
    b->Zustand.Ereignis.Clear();
  }
}

void TAuswertung::WriteBauwerk(TBauwerk& e, const TEreignis& ev) {
  TTabelle& t = dynamic_cast<TEST*>(&e) ? FDM.CDSEreignisseGewaesser : FDM.CDSEreignisseBauwerke;
  TNeueZeile z(t);
  z("Nr", static_cast<int32_t>(FSim.SystemEreignisse.size()))("Name", e.Name())("Typ", e.Typ())(
      "Jahr", std::to_string(YearOf(ev.Start)))("Start", ev.Start)("Ende", ev.Ende)(
      "Dauer", StundenZwischen(ev.Start, ev.Ende));
  const std::pair<const char*, const TFrachten*> gruppen[] = {{"", &e.Zustand.Ereignis},
                                                              {"_KUE", &e.KUE.Zustand.Ereignis},
                                                              {"_BUE", &e.BUE.Zustand.Ereignis},
                                                              {"_ges", &e.Drossel.Ereignis}};
  for (const auto& [suffix, f] : gruppen) {
    const std::string s = suffix;
    z("Q" + s, f->Q)("BSB" + s, f->BSB / 1000)("NH4" + s, f->NH4 / 1000)("AFS" + s, f->AFS / 1000)(
        "CSB" + s, f->CSB / 1000)("T" + s, f->Stunden);
  }
}

void TAuswertung::EreignisBeginn() {
  for (TBauwerk* b : FSpeicherbauwerke) {
    TState& d = b->Drossel;
    // The hours count only in event steps: they stay.
    const double stunden = d.Ereignis.Stunden;
    d.Ereignis = FSim.IsBilanzZeit && d.Aktuell.Q > 0 ? d.Aktuell : TFrachten{};
    d.Ereignis.Stunden = stunden;
  }
}

// ------------------------------------------------------------- year change

void TAuswertung::Kette(TBauwerk& b, bool ueberall) {
  const double regen = Regenwasser(b.Zustand.Jahr);
  const double ueberlauf = b.KUE.Zustand.Jahr.Q + b.BUE.Zustand.Jahr.Q;
  const size_t grenze = FSim.Reihenfolge.size() + FSim.Regenschreiber.size() + 1;
  size_t n = 0;
  for (const TCadShape* s = b.Owner ? b.Owner->Parent() : nullptr; s && n < grenze;
       s = s->Parent(), ++n) {
    TElement* d = TM3Model::ElementOf(s);
    if (!d) continue;
    const bool klaeranlage = dynamic_cast<TKLG*>(d) != nullptr;
    if (klaeranlage) d->Zustand.Jahr.QRe += ueberlauf;
    if (klaeranlage || ueberall) d->Zustand.Jahr.Rain += regen;
  }
}

void TAuswertung::Extremwechsel(TEST& e) {
  TFrachten& mj = e.MinMax.Jahr;
  TFrachten& ms = e.MinMax.Summe;
  TFrachten& ej = e.EKrit.Jahr;
  TFrachten& es = e.EKrit.Summe;
  if (mj.Q > ms.Q) {
    ms.Q = mj.Q;
    es.Q = ej.Q;
  }
  if (mj.BSB < ms.BSB) {
    ms.BSB = mj.BSB;
    es.BSB = ej.BSB;
  }
  if (mj.NH4 > ms.NH4) {
    ms.NH4 = mj.NH4;
    es.NH4 = ej.NH4;
  }
  if (mj.AFS > ms.AFS) {
    ms.AFS = mj.AFS;
    es.AFS = ej.AFS;
  }
  mj.Clear();
  ej.Clear();
  mj.BSB = kO2Startwert;
}

int TAuswertung::NeuesJahr() {
  // The steps since the last year change began at letzter and ended before
  // jetzt; the balance period holds the steps from Start to Ende.
  const long long letzter = FLetzterWechsel;
  const long long jetzt = Millisekunden(FSim.Zeit);
  const long long ende = Millisekunden(FSim.Ende);
  FLetzterWechsel = jetzt;
  if (!(jetzt > letzter && letzter <= ende && jetzt > Millisekunden(FSim.Start))) return 0;
  // The year of the last step in the balance period.
  const long long letzterSchritt = std::min(jetzt - 1, ende);
  const int jahr = YearOf(static_cast<double>(letzterSchritt) / kMsProTag);
  const std::string y = std::to_string(jahr);

  TFrachten kez, tw, ebw, ebwD, ebwK, ebwB, oma, omaD, omaK, omaB, klg, net, aeo, reg;
  for (const TGlied& g : FGlieder) {
    TElement& e = *g.e;
    TBauwerk* b = g.bauwerk;
    if (b) {
      WriteFrachtenBauwerkeJahr(*b, y);
      b->KUE.Zustand.Summe.AddAll(1.0, b->KUE.Zustand.Jahr);
      b->BUE.Zustand.Summe.AddAll(1.0, b->BUE.Zustand.Jahr);
      b->Drossel.Summe.AddAll(1.0, b->Drossel.Jahr);
    }
    switch (g.art) {
      case TArt::Speicherbauwerk:
      case TArt::Massnahme: {
        const bool ebwArt = g.art == TArt::Speicherbauwerk;
        Kette(*b, ebwArt);
        const TFrachten& z = b->Zustand.Jahr;
        const TFrachten& d = b->Drossel.Jahr;
        const TFrachten& k = b->KUE.Zustand.Jahr;
        const TFrachten& u = b->BUE.Zustand.Jahr;
        if (ebwArt)
          WriteA128Bilanz(z, d, 1, e.Typ(), e.Name(), y, b, u, k);
        else
          WriteOMABilanz(z, d, 1, e.Typ(), e.Name(), y, b, u, k);
        (ebwArt ? ebw : oma).AddAll(1.0, z);
        (ebwArt ? ebwD : omaD).AddAll(1.0, d);
        (ebwArt ? ebwK : omaK).AddAll(1.0, k);
        (ebwArt ? ebwB : omaB).AddAll(1.0, u);
        break;
      }
      case TArt::Einzugsgebiet: {
        auto& kz = static_cast<TKEZ&>(e);
        TState& eigen = kz.TWZustand;
        if (const TREG* r = Regenschreiber(e)) eigen.Jahr.Rain = r->Zustand.Jahr.Q;
        WriteKEZBilanz(e.Zustand.Jahr, eigen.Jahr, 1, e.Typ(), e.Name(), y, &kz);
        kez.AddAll(1.0, e.Zustand.Jahr);
        tw.AddAll(1.0, eigen.Jahr);
        eigen.Summe.AddAll(1.0, eigen.Jahr);
        eigen.Jahr.Clear();
        break;
      }
      case TArt::Einleitung: {
        auto& est = static_cast<TEST&>(e);
        WriteESTBilanz(est.MinMax.Jahr, est.EKrit.Jahr, 1, e.Typ(), e.Name(), y, est);
        Extremwechsel(est);
        break;
      }
      case TArt::Klaeranlage:
        WriteKLGBilanz(e.Zustand.Jahr, static_cast<TKLG*>(&e), 1, e.Typ(), e.Name(), y);
        klg.AddAll(1.0, e.Zustand.Jahr);
        break;
      case TArt::Wurzel:
        net.AddAll(1.0, e.Zustand.Jahr);
        break;
      case TArt::Oberflaeche:
        aeo.AddAll(1.0, e.Zustand.Jahr);
        break;
      case TArt::Sonstiges:
        break;
    }
    if (b) {
      b->BUE.Zustand.Jahr.Clear();
      b->KUE.Zustand.Jahr.Clear();
      b->Drossel.Jahr.Clear();
      b->Speicher.Jahr.Clear();
    }
    e.Zustand.Summe.AddAll(1.0, e.Zustand.Jahr);
    e.Zustand.Jahr.Clear();
  }
  for (TREG* r : FSim.Regenschreiber) {
    WriteREGBilanz(r->Zustand.Jahr, y, 1, r->Name());
    reg.AddAll(1.0, r->Zustand.Jahr);
    r->Zustand.Summe.AddAll(1.0, r->Zustand.Jahr);
    r->Zustand.Jahr.Clear();
  }

  WriteKEZBilanz(kez, tw, 1, "***", kGesamtsystem, y, nullptr);
  WriteA128Bilanz(ebw, ebwD, 1, "***", kGesamtsystem, y, nullptr, ebwB, ebwK);
  WriteOMABilanz(oma, omaD, 1, "***", kGesamtsystem, y, nullptr, omaB, omaK);
  WriteKLGBilanz(klg, nullptr, 1, "***", kGesamtsystem, y);

  TSimulation& s = FSim;
  const std::pair<TState*, const TFrachten*> gruppen[] = {
      {&s.BilanzNET, &net},         {&s.BilanzREG, &reg},
      {&s.BilanzKLG, &klg},         {&s.BilanzOMA, &oma},
      {&s.BilanzEBW, &ebw},         {&s.BilanzKEZ, &kez},
      {&s.BilanzAEO, &aeo},         {&s.BilanzOMADrossel, &omaD},
      {&s.BilanzOmaKUE, &omaK},     {&s.BilanzOmaBUE, &omaB},
      {&s.BilanzEBWDrossel, &ebwD}, {&s.BilanzEBWKUE, &ebwK},
      {&s.BilanzEBWBUE, &ebwB},     {&s.BilanzTW, &tw}};
  for (const auto& [ziel, summe] : gruppen) ziel->Summe.AddAll(1.0, *summe);
  return jahr;
}

// ------------------------------------------------------------ balance rows

void TAuswertung::WriteKEZBilanz(const TFrachten& b, const TFrachten& b1, double h,
                                 const std::string& typ, const std::string& aName,
                                 const std::string& BilanzJahr, const TKEZ* e) {
  const double AU = e ? e->AEb : FSim.AEBges;
  TNeueZeile z(FDM.CDSSumKEZ);
  z("Jahr", BilanzJahr)("Element", aName)("Typ", typ)("AU", AU);
  if (aName.rfind(kGesamtsystem, 0) != 0) {
    const double qr = Regenwasser(b1) / h;
    z("N", b1.Rain / h)("NEFF", b1.Neff / h)("PSI", b1.Neff * Kehrwert(b1.Rain))("QGES", b1.Q / h)(
        "QS", b1.QS / h)("QF", b1.QF / h)("QR", qr)("_QR", qr * Kehrwert(AU));
    z("SUMQGES", b.Q / h)("SUMQS", b.QS / h)("SUMQF", b.QF / h)("SUMQR", Regenwasser(b) / h);
  } else {
    const double sumqr = Regenwasser(b1) / h;
    z("SUMQGES", b1.Q / h)("SUMQS", b1.QS / h)("SUMQF", b1.QF / h)("SUMQR", sumqr)(
        "_SUMQR", sumqr * Kehrwert(AU));
  }
}

void TAuswertung::A128Zeile(TTabelle& t, bool mitTyp, const TFrachten& b, const TFrachten& d,
                            double h, const std::string& typ, const std::string& aName,
                            const std::string& BilanzJahr, const TBauwerk* e, const TFrachten& sBUE,
                            const TFrachten& sKUE) {
  // The sealed area upstream of the structure.
  const double AU = e ? e->SUM.SUMAEB : FSim.AEBges;
  const double qr = Regenwasser(b);
  TNeueZeile z(t);
  z("Jahr", BilanzJahr)("Element", aName);
  if (mitTyp) z("Typ", typ);
  z("AU", AU)("QZU", b.Q / h)("QS", b.QS / h)("QF", b.QF / h)("QR", qr / h)("QD", d.Q / h)(
      "QKUE", sKUE.Q / h)("TKUE", sKUE.Stunden / h)("QBUE", sBUE.Q / h)("TBUE", sBUE.Stunden / h)(
      "n", b.Anzahl / h)("E0", (sKUE.Q + sBUE.Q) * Kehrwert(qr) * 100);
}

void TAuswertung::WriteA128Bilanz(const TFrachten& b, const TFrachten& d, double h,
                                  const std::string& typ, const std::string& aName,
                                  const std::string& BilanzJahr, const TBauwerk* e,
                                  const TFrachten& sBUE, const TFrachten& sKUE) {
  A128Zeile(FDM.CDSSumA128, true, b, d, h, typ, aName, BilanzJahr, e, sBUE, sKUE);
}

void TAuswertung::WriteOMABilanz(const TFrachten& b, const TFrachten& d, double h,
                                 const std::string& typ, const std::string& aName,
                                 const std::string& BilanzJahr, const TBauwerk* e,
                                 const TFrachten& sBUE, const TFrachten& sKUE) {
  A128Zeile(FDM.CDSSumOMA, false, b, d, h, typ, aName, BilanzJahr, e, sBUE, sKUE);
}

void TAuswertung::WriteKLGBilanz(const TFrachten& b, const TKLG* plant, double h,
                                 const std::string& typ, const std::string& aName,
                                 const std::string& BilanzJahr) {
  (void)plant;
  (void)typ;
  TNeueZeile{FDM.CDSSUMKLG}("Jahr", BilanzJahr)("Element", aName)("JAM", b.Q / h)(
      "JSM", (b.QS + b.QF) / h)("QRbehandelt", Regenwasser(b) / h)("QRentlastet", b.QRe / h)(
      "E0", b.QRe * Kehrwert(b.Rain) * 100);
}

void TAuswertung::WriteREGBilanz(const TFrachten& b, const std::string& BilanzJahr, double h,
                                 const std::string& aName) {
  TNeueZeile{FDM.CDSSumREG}("Jahr", BilanzJahr)("Regenschreiber", aName)("N", b.Q / h)(
      "V", std::fabs(b.BSB) / h)("Stunden", b.Stunden / h);
}

void TAuswertung::WriteESTBilanz(const TFrachten& b, const TFrachten& c, double h,
                                 const std::string& typ, const std::string& aName,
                                 const std::string& BilanzJahr, const TEST& e) {
  (void)h;  // extremes are not divided
  (void)typ;
  TNeueZeile{FDM.CDSSumEST}("Jahr", BilanzJahr)("Element", aName)("HQ1", e.HQ1pnat())(
      "QE1zul", e.HQ1pnat() * (e.X + 1) - e.HQ1ist())("maxQE", b.Q)("eQ", c.Q)("MNQ", e.MNQ())(
      "minO2", b.BSB)("eO2", c.BSB)("maxNH3", b.NH4)("eNH3", c.NH4)("maxAFS", b.AFS)("eAFS", c.AFS);
}

void TAuswertung::WriteFrachtenBauwerkeJahr(TBauwerk& e, const std::string& Zeitraum) {
  const std::string& name = e.Name();
  if (name == kGesamtsystem || name == kGesamtsystem365) return;
  const bool summe = Zeitraum == "Simulation" || Zeitraum == "i.M.";
  auto satz = [summe](const TState& s) { return summe ? s.Summe : s.Jahr; };
  const TFrachten gruppen[] = {satz(e.Zustand), satz(e.KUE.Zustand), satz(e.BUE.Zustand),
                               satz(e.Drossel)};
  // Annual means: volumes and hours scaled to 365 days, loads to kg per year.
  double fq = 1, fl = 0.001;
  if (Zeitraum == "i.M.") {
    fq = FSim.Tage == 0 ? 365.0 : 365.0 / FSim.Tage;
    fl = fq / 1000;
  }
  const auto* est = dynamic_cast<const TEST*>(&e);
  TTabelle& t = est ? FDM.CDSFrachtenGewaesser : FDM.CDSFrachtenBauwerke;
  const int32_t nr = t.Anzahl();
  TNeueZeile z(t);
  z("Nr", nr)("Name", name)("Typ", e.Typ())("Jahr", Zeitraum);
  const char* suffixe[] = {"", "_KUE", "_BUE", "_ges"};
  for (int i = 0; i < 4; ++i) {
    const std::string s = suffixe[i];
    const TFrachten& f = gruppen[i];
    z("Q" + s, f.Q * fq)("BSB" + s, f.BSB * fl)("NH4" + s, f.NH4 * fl)("AFS" + s, f.AFS * fl)(
        "CSB" + s, f.CSB * fl)("T" + s, f.Stunden * fq);
  }
  z("AFS_Vorbelastung", est ? est->MQ() * Kehrwert(est->MNQ()) : 0.0);
}

// ------------------------------------------------------------- end of run

void TAuswertung::BilanzSimulationszeitraum() {
  const TSimulation& s = FSim;
  const double a = Jahresteiler(s);
  for (const auto& [h, name, jahr] : {std::tuple{1.0, kGesamtsystem, "Simulation"},
                                      std::tuple{a, kGesamtsystem365, "Jahresmittel"}}) {
    WriteKEZBilanz(s.BilanzKEZ.Summe, s.BilanzTW.Summe, h, "***", name, jahr, nullptr);
    WriteA128Bilanz(s.BilanzEBW.Summe, s.BilanzEBWDrossel.Summe, h, "***", name, jahr, nullptr,
                    s.BilanzEBWBUE.Summe, s.BilanzEBWKUE.Summe);
  }
  CSBgesamt = s.BilanzEBWKUE.Summe.CSB + s.BilanzEBWBUE.Summe.CSB;
  AFSgesamt = s.BilanzEBWKUE.Summe.AFS + s.BilanzEBWBUE.Summe.AFS;
  CSBmittel = CSBgesamt / a;
  AFSmittel = AFSgesamt / a;
  for (const auto& [h, name, jahr] : {std::tuple{1.0, kGesamtsystem, "Simulation"},
                                      std::tuple{a, kGesamtsystem365, "Jahresmittel"}})
    WriteOMABilanz(s.BilanzOMA.Summe, s.BilanzOMADrossel.Summe, h, "***", name, jahr, nullptr,
                   s.BilanzOmaBUE.Summe, s.BilanzOmaKUE.Summe);
  for (const auto& [h, name, jahr] : {std::tuple{1.0, kGesamtsystem, "Simulation"},
                                      std::tuple{a, kGesamtsystem365, "Jahresmittel"}})
    WriteKLGBilanz(s.BilanzKLG.Summe, nullptr, h, "***", name, jahr);
}

void TAuswertung::Ausfuhr(const TBauwerk& b) {
  // Overflows without a link leave the system; the rain water in them
  // belongs to the volume balance of the sealed areas.
  if (!b.Owner) return;
  if (!b.Owner->KUE()) FSim.QExport += Regenwasser(b.KUE.Zustand.Summe);
  if (!b.Owner->GEW()) FSim.QExport += Regenwasser(b.BUE.Zustand.Summe);
}

void TAuswertung::MittelwerteBilanz() {
  const double x = Jahresteiler(FSim);
  for (const TGlied& g : FGlieder) {
    TElement& e = *g.e;
    const std::string typ = e.Typ();
    const std::string& name = e.Name();
    switch (g.art) {
      case TArt::Speicherbauwerk:
      case TArt::Massnahme: {
        const TBauwerk& b = *g.bauwerk;
        for (const auto& [h, jahr] : {std::pair{1.0, "Simulation"}, std::pair{x, "i.M."}}) {
          if (g.art == TArt::Speicherbauwerk)
            WriteA128Bilanz(b.Zustand.Summe, b.Drossel.Summe, h, typ, name, jahr, &b,
                            b.BUE.Zustand.Summe, b.KUE.Zustand.Summe);
          else
            WriteOMABilanz(b.Zustand.Summe, b.Drossel.Summe, h, typ, name, jahr, &b,
                           b.BUE.Zustand.Summe, b.KUE.Zustand.Summe);
        }
        Ausfuhr(b);
        break;
      }
      case TArt::Einzugsgebiet: {
        auto& k = static_cast<TKEZ&>(e);
        const TState& eigen = k.TWZustand;
        WriteKEZBilanz(e.Zustand.Summe, eigen.Summe, 1, typ, name, "Simulation", &k);
        WriteKEZBilanz(e.Zustand.Summe, eigen.Summe, x, typ, name, "i.M.", &k);
        break;
      }
      case TArt::Klaeranlage:
        WriteKLGBilanz(e.Zustand.Summe, static_cast<TKLG*>(&e), 1, typ, name, "Simulation");
        WriteKLGBilanz(e.Zustand.Summe, static_cast<TKLG*>(&e), x, typ, name, "i.M.");
        break;
      case TArt::Einleitung: {
        auto& est = static_cast<TEST&>(e);
        WriteESTBilanz(est.MinMax.Summe, est.EKrit.Summe, 1, typ, name, "Simulation", est);
        break;
      }
      default:
        break;
    }
  }
  for (TREG* r : FSim.Regenschreiber) {
    WriteREGBilanz(r->Zustand.Summe, "Simulation", 1, r->Name());
    WriteREGBilanz(r->Zustand.Summe, "i.M.", x, r->Name());
  }
  for (TBauwerk* b : FBauwerke) {
    WriteFrachtenBauwerkeJahr(*b, "Simulation");
    WriteFrachtenBauwerkeJahr(*b, "i.M.");
  }
}

void TAuswertung::WriteSimReport() {
  const TSimulation& s = FSim;
  auto zahl = [](double v) { return Zahlformat(v, 9); };
  double P = 0;
  for (const TREG* r : s.Regenschreiber) P += r->AEB * r->Zustand.Summe.Q * 10;
  auto pct = [P](double v) { return v * 100 * Kehrwert(P); };
  auto& R = FReport;

  const long long tage = (Millisekunden(s.Ende) - Millisekunden(s.Start)) / kMsProTag;
  R.push_back({"Bilanzierungsdauer", std::to_string(tage) + " Tage", ""});
  R.push_back({"letzte Regenstunde", DatumZeitKurz(s.LetzterRegen), ""});
  R.push_back({"letztes Intervall", DatumZeitKurz(s.Zeit), ""});
  R.push_back({"Zeitschrittweite dt", ZahlKurz(s.dt_min) + " min", ""});
  R.push_back({"Zeitschritte", std::to_string(s.step), ""});
  const uint32_t jetzt = Uhr ? Uhr() : s.Dauer;
  R.push_back({"Rechenzeit", std::to_string((jetzt - s.Dauer) / 1000) + " sec", ""});
  R.push_back({" ", "", ""});
  R.push_back({"Volumenbilanz befestigte Flächen", "", ""});

  const double QR = s.BilanzNET.Summe.QR;
  const double Qnat = s.BilanzNET.Summe.Qnat;
  R.push_back({"Regenwasserabfluss QR", zahl(QR) + " cbm", ""});
  R.push_back({"- Abfluss natürlicher Flächen", zahl(Qnat) + " cbm", ""});
  const std::pair<const char*, double> posten[] = {
      {"= QR befestigter Flächen", QR - Qnat},
      {"+ Verdunstung und Versickerung", s.BilanzTW.Summe.QRe * 10},
      {"+ Restinhalt Mulden", s.MuldenInhalt * 10},  // mm * ha -> m3
      {"+ Restinhalt Speicher", s.SystemInhalt},
      {"+ Überleitung extern", s.QExport}};
  double belastung = 0;
  auto zeile = [&](const char* text, double v) {
    R.push_back({text, zahl(v) + " cbm", zahl(pct(v)) + " %"});
  };
  for (const auto& [text, v] : posten) {
    zeile(text, v);
    belastung += v;
  }
  zeile("= Niederschlagsbelastung", belastung);
  R.push_back({"Brutto-Niederschlag", zahl(P) + " cbm", zahl(100) + " %"});
  zeile("Volumenfehler/Systeminhalt", P - belastung);

  R.push_back({});
  const char* kA = "(QTZ-A 3-2)";
  R.push_back({"gesamte CSB-Entlastungsfracht", Ganzzahl(CSBgesamt / 1000) + "   kg", kA});
  R.push_back({"mittlere CSB-Entlastungsfracht", Ganzzahl(CSBmittel / 1000) + " kg/a", kA});
  R.push_back({"gesamte AFS63-Entlastungsfracht", Ganzzahl(AFSgesamt / 1000) + "   kg", kA});
  R.push_back({"mittlere AFS63-Entlastungsfracht", Ganzzahl(AFSmittel / 1000) + " kg/a", kA});
}

}  // namespace t21
