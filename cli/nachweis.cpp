#include "cli/nachweis.h"

#include <algorithm>

#include "model/discharge.h"
#include "model/net.h"
#include "model/plant.h"
#include "model/structures.h"

namespace t21 {

std::vector<TSummenzeile> Summenzeilen(const TSUM& I, const TSUM& S, const TSpenden& spenden) {
  auto z = [](const char* name, const char* bez, const char* einheit, double zu, double ab,
              int nachkomma = 2) { return TSummenzeile{name, bez, einheit, zu, ab, nachkomma}; };
  return {
      z("E", "Einwohnerzahl", "E", I.E, S.E, 0),
      z("QH24", "häuslicher Schmutzwasserabfluss", "l/s", I.QH24, S.QH24),
      z("QG24", "gewerblicher Schmutzwasserabfluss", "l/s", I.QG24, S.QG24),
      z("QS24", "Schmutzwasserabfluss", "l/s", I.QS24(), S.QS24()),
      z("QF", "Fremdwasserabfluss", "l/s", I.QF, S.QF),
      z("QT24", "Trockenwetterabfluss", "l/s", I.QT24(), S.QT24()),
      z("QH", "häuslicher Schmutzwasserabfluss", "l/s", I.QH, S.QH),
      z("QG", "gewerblicher Schmutzwasserabfluss", "l/s", I.QG, S.QG),
      z("QS", "Schmutzwasserabfluss", "l/s", I.QS(), S.QS()),
      z("QT", "Trockenwetterabfluss", "l/s", I.QT(), S.QT()),
      z("QR", "abgeminderter Regenabfluss", "l/s", I.QR, S.QR),
      z("UQR", "unabminderbarar Regenabfluss", "l/s", I.UQR, S.UQR),
      z("LTF", "längste Fliesszeit", "min", I.LTF, S.LTF),
      z("SUMTF", "maßgebliche Fliesszeit", "min", I.SUMTF, S.SUMTF),
      z("r", "Regenspende", "l/(s*ha)", spenden.GetR(I.SUMTF), spenden.GetR(S.SUMTF)),
      z("QRT24", "Regenabfluss aus Trennsystem", "l/s", I.QRT24, S.QRT24),
      z("AE", "Einzugsgebietsfläche", "ha", I.AE, S.AE),
      z("SUMAE", "", "ha", I.SUMAE, S.SUMAE),
      z("AEB", "befestigte Fläche", "ha", I.AEB, S.AEB),
      z("SUMAEB", "", "ha", I.SUMAEB, S.SUMAEB),
      z("AU", "undurchlässige Fläche", "ha", I.AU, S.AU),
      z("NGm", "mittlere Geländeneigungsgruppe", "-", I.NGm(), S.NGm()),
      z("B", "mittlerer Befestigungsgrad", "%", I.SUMAEB * Kehrwert(I.SUMAE) * 100,
        S.SUMAEB * Kehrwert(S.SUMAE) * 100),
      // Beyond the report's table: the sums the engine carries on.
      z("QBEM", "gesamter Abfluss", "l/s", I.QBEM(), S.QBEM()),
      z("QT24DIREKT", "Trockenwetterabfluss der Einzugsgebiete", "l/s", I.QT24DIREKT, S.QT24DIREKT),
      z("SUMQD", "Summe der Drosselabflüsse", "l/s", I.SUMQD, S.SUMQD),
      z("SUMVerf", "Summe erforderl. Speichervolumen", "m^3", I.SUMVerf, S.SUMVerf),
      z("SumVolumen", "Summe Speichervolumen", "m^3", static_cast<double>(I.SumVolumen),
        static_cast<double>(S.SumVolumen), 0),
      z("SumAEb1", "befestigte Fläche Kategorie I", "ha", I.SumAEb1, S.SumAEb1),
      z("SumAEb2", "befestigte Fläche Kategorie II", "ha", I.SumAEb2, S.SumAEb2),
      z("SumAEb3", "befestigte Fläche Kategorie III", "ha", I.SumAEb3, S.SumAEb3),
      z("SUMAEM3", "Einzugsgebietsfläche zum Gewässer", "ha", I.SUMAEM3, S.SUMAEM3),
      z("SUMAEBM3", "befestigte Fläche zum Gewässer", "ha", I.SUMAEBM3, S.SUMAEBM3),
      z("AFS63r", "AFS63-Regenwasserfracht", "kg/a", I.AFS63r, S.AFS63r),
      z("AFS63e", "AFS63-Entlastungsfracht", "kg/a", I.AFS63e, S.AFS63e),
  };
}

namespace {

TNachweisWert W(const char* name, const char* bez, const char* einheit, double v,
                int nachkomma = 2) {
  return {name, bez, einheit, v, nachkomma};
}

void Bauwerk(TElementNachweis& n, const TBauwerk& b) {
  n.MitUeberlauf = true;
  for (int i = 0; i < kAnzahlQr; ++i) {
    n.QKUE[static_cast<size_t>(i)] = b.KUE.AB[i].Q;
    n.QBUE[static_cast<size_t>(i)] = b.BUE.AB[i].Q;
  }
  n.Bemessung.push_back(W("QD", "Drosselabfluß", "l/s", b.QD));
  n.Bemessung.push_back(W("MaxQKUE", "max. Klärüberlauf", "l/s", b.MaxQKUE));
  n.Bemessung.push_back(W("Volumen", "Speichervolumen", "m^3", b.Volumen, 0));
  n.Bemessung.push_back(W("SUMVerf", "Summe erforderl. Speichervolumen", "m^3", b.SUM.SUMVerf));
}

void Ebw(TElementNachweis& n, const TEBW& b, const TRechnung& r) {
  n.Bemessung.push_back(W("QKRIT", "kritischer Abfluss", "l/s", b.QKRIT));
  n.Bemessung.push_back(W("BE", "lokale AFS63-Entlastungsfracht", "kg/a", b.BE));
  if (auto* rub = dynamic_cast<const TRUB*>(&b)) {
    for (const auto& w : {
             W("e0", "zulässige Entlastungsrate", "%", rub->e0),
             W("VS", "spezifisches Speichervolumen", "cbm/ha", rub->VS),
             W("Vges", "erforderliches Gesamtspeichervolumen", "cbm", rub->Vges),
             W("Vvor", "Speichervolumen Vorentlastungen", "cbm", rub->Vvor),
             W("Verf", "erforderliches lokales Speichervolumen", "cbm", rub->Verf),
             W("QRKRIT", "kritischer Regenabfluss", "l/s", rub->QRKRIT),
             W("m", "mittleres Mischverhältnis", "-", rub->m),
             W("m_erf", "Mindest-Mischverhältnis", "-", rub->m_erf),
             W("_qr", "Regenabflussspende, Drosselabfluss zur Kläranlage", "l/(s*ha)", rub->_qr),
             W("ceCSB", "rechnerische CSB-Entlastungskonzentration", "mg/l", rub->ceCSB),
             W("FgesAFS", "gesamter spez. AFS63-Frachtaustrag", "kg/ha", rub->FgesAFS),
             W("FgesCSB", "gesamter spez. CSB-Frachtaustrag", "kg/ha", rub->FgesCSB),
         })
      n.Bemessung.push_back(w);
  } else if (auto* ru = dynamic_cast<const TRU*>(&b)) {
    for (const auto& w : {
             W("Rkrit", "kritische Regenspende", "l/(s*ha)", ru->Rkrit),
             W("QRKRIT", "kritischer Regenabfluss", "l/s", ru->QRKRIT),
             W("ct", "Trockenwetter-Konzentration", "mg/l", ru->ct),
             W("m", "Mischverhältnis", "-", ru->m),
             W("m_erf", "Mindest-Mischverhältnis", "-", ru->m_erf),
             W("QD_erf", "erforderlicher Drosselabfluss", "l/s", ru->QD_erf),
         })
      n.Bemessung.push_back(w);
  } else if (auto* rkb = dynamic_cast<const TRKB*>(&b)) {
    for (const auto& w : {
             W("rkrit", "kritische Regenspende", "l/(s*ha)", rkb->rkrit),
             W("QRkrit", "kritischer Regenabfluss", "l/s", rkb->QRkrit),
             W("qAb", "maximale Oberflächenbeschickung", "m/h", rkb->qAb),
             W("Qbem", "Bemessungszufluss", "m^3/h", rkb->Qbem),
             W("Aerf", "erforderliche Beckenoberfläche", "m^2", rkb->Aerf),
             W("ETAges", "erforderlicher Gesamtwirkungsgrad", "%", rkb->ETAges * 100),
             W("e0", "relative Entlastungsrate", "%", rkb->e0),
             W("beges", "spez. AFS-Einleitungsfracht gesamt", "kg/(ha*a)", rkb->beges),
         })
      n.Bemessung.push_back(w);
  }
  n.Bemessungsliste = b.Bemessungsliste(r);
}

void Einleitung(TElementNachweis& n, const TEST& e, const TElement& zufluss) {
  const TSUM& S = e.SUM;
  double omin = 10, nmax = 0;
  for (int i = 0; i < kAnzahlQr; ++i) {
    omin = std::min(omin, e.AP[i].cO2);
    nmax = std::max(nmax, e.AP[i].cNH3);
  }
  const bool konfiguriert = e.Profil.HTW > 0;
  // The flood check as the discharge point computes it.
  const double hochwasser =
      (e.HQ1pnat() + S.QBEM() - e._HQ1pnat * S.SUMAEBM3 / 100) * Kehrwert(e.HQ1pnat());
  n.Pruefungen.push_back({"hydraulik",
                          "Hydraulische Belastung",
                          {W("X", "HQ2pnat / HQ1pnat - 1", "-", e.X),
                           W("HQ1pnat", "pot. nat. Hochwasserabfluß", "l/s", e.HQ1pnat()),
                           W("QE1zul", "Summe zul. Einleitungsabflüsse", "l/s", e.QE1zul()),
                           W("QBEM", "Summe vorh. Einleitungsabflüsse", "l/s", zufluss.SUM.QBEM()),
                           W("QVOLL", "Abflußleistung", "l/s", e.Profil.QVOLL),
                           W("QGew", "Gewässerabfluß / HQ1pnat", "-", hochwasser)},
                          konfiguriert && hochwasser <= 1 + e.X && e.HQ1pnat() <= e.Profil.QVOLL});
  n.Pruefungen.push_back({"ammoniak",
                          "Ammoniak",
                          {W("cNH3max", "größte NH3-N-Konzentration", "mg/l", nmax, 3),
                           W("grenze", "zulässige NH3-N-Konzentration", "mg/l", 0.1, 3)},
                          konfiguriert && nmax <= 0.1});
  n.Pruefungen.push_back({"sauerstoff",
                          "Sauerstoff",
                          {W("cO2min", "kleinster Sauerstoffgehalt", "mg/l", omin),
                           W("grenze", "Mindest-Sauerstoffgehalt", "mg/l", 5)},
                          konfiguriert && omin >= 5});
  n.Pruefungen.push_back({"afs63",
                          "Jahresfrachten AFS63",
                          {W("AFSzulaessig", "zulässige Abflussfracht", "kg/a", e.AFSzulaessig),
                           W("AFSLast", "vorhandene Abflussfracht", "kg/a", e.AFSLast),
                           W("AFSezul", "zulässige Einleitungsfracht", "kg/a", e.AFSezul),
                           W("AFS63r", "vorhandene Einleitungsfracht", "kg/a", zufluss.SUM.AFS63r)},
                          konfiguriert && zufluss.SUM.AFS63r <= e.AFSezul});
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TParameter& C = e.CG[i];
    const TAbflussParameter& A = e.AP[i];
    n.Gewaesser.push_back({
        W("Q", "Gewässerabfluß", "l/s", C.Q),
        W("cBSB", "Gewässerkonzentr. BSB5", "mg/l", C.cBSB()),
        W("cNH4", "Gewässerkonzentr. NH4-N", "mg/l", C.cNH4()),
        W("cAFS", "Gewässerkonzentr. AFS63", "mg/l", C.cAFS()),
        W("H", "Fließtiefe", "m", A.H),
        W("A", "Durchflußquerschnitt", "m^2", A.A),
        W("V", "Fließgeschwindigkeit", "m/s", A.V),
        W("HM", "mittlere Fließtiefe", "m", A.HM),
        W("K2", "Wiederbelüftungsrate", "h^-1", A.K2 / 24),
        W("Tc", "kritische Fließzeit", "h", A.Tc * 24),
        W("Dc", "kritisches Defizit", "mg/l", A.Dc),
        W("cO2", "min. Sauerstoffgehalt", "mg/l", A.cO2),
        W("cNH3", "NH3-N-Konzentration", "mg/l", A.cNH3, 3),
        W("Dtf", "Defizit am Ende der Strecke", "mg/l", A.Dtf),
    });
  }
}

}  // namespace

TElementNachweis Nachweis(TM3Model& m, TCadShape* s) {
  TElementNachweis n;
  const TElement& e = *TM3Model::ElementOf(s);
  m.HoleZufluss(s);
  const TElement& z = m.Zufluss();
  n.Name = e.Name();
  n.Typ = s->Typ();
  n.Hinweise = e.FEHLER;
  n.Zufluss = z.AB;
  n.Abfluss = e.AB;
  n.Summen = Summenzeilen(z.SUM, e.SUM, m.Netz().Spenden);
  const TRechnung r{z, m.Netz()};
  if (auto* b = dynamic_cast<const TBauwerk*>(&e)) {
    if (!dynamic_cast<const TEST*>(&e)) Bauwerk(n, *b);
    if (auto* ebw = dynamic_cast<const TEBW*>(&e)) Ebw(n, *ebw, r);
    if (auto* est = dynamic_cast<const TEST*>(&e)) {
      n.Bemessung.push_back(W("QD", "Drosselabfluss", "l/s", est->QD));
      Einleitung(n, *est, z);
    }
  }
  return n;
}

}  // namespace t21
