#include "cli/beispiel.h"

namespace t21 {

namespace {
TAE Flaeche(const char* name, double ae, int b, int kategorie, double fD) {
  TAE a;
  a.Bezeichnung = name;
  a.AE = ae;
  a.B = b;
  a.fD = fD;
  a.AEb = ae * b / 100;
  a.Kategorie = kategorie;
  return a;
}
}  // namespace

void BaueBeispielnetz(TM3Model& m) {
  TNET& net = m.Netz();
  net.ProjektName = "Beispiel Tamkor21";
  net.Nummer = "2026-001";
  EncodeDate(2026, 1, 15, net.Datum);

  auto* altstadt = m.CreateNewShape("KEM", "Altstadt", 0, 200);
  auto& a = dynamic_cast<TKEM&>(*TM3Model::ElementOf(altstadt));
  a.SetData(400, 60, 0, 7.5, 800, 300, 40, 0, 7.2, 600, 60, 150, 10, 0.2, 10, 250, 0.05, 2, 0,
            15, 0, 0.9, 2, 0, 3, 5, 0.3, 2, 0.5);
  a.AEs.Liste = {Flaeche("Dachflächen", 20, 50, 2, 1.0), Flaeche("Höfe", 10, 30, 1, 0.8)};

  auto* neubau = m.CreateNewShape("KEM", "Neubaugebiet", 0, 100);
  auto& b = dynamic_cast<TKEM&>(*TM3Model::ElementOf(neubau));
  b.SetData(400, 60, 0, 7.5, 800, 0, 0, 0, 7, 0, 45, 130, 12, 0, 0, 0, 0.03, 1.5, 0, 10, 0, 0.9,
            1, 0, 3, 5, 0.3, 2, 0.5);
  b.AEs.Liste = {Flaeche("Wohnstraßen", 15, 45, 2, 1.0)};

  auto* gewerbe = m.CreateNewShape("KES", "Gewerbe", 0, 0);
  auto& g = dynamic_cast<TKES&>(*TM3Model::ElementOf(gewerbe));
  g.SetData(400, 60, 0, 7.5, 800, 500, 30, 0, 7.0, 1000, 500, 150, 10, 2, 10, 250, 0.5, 1, 0, 0,
            10, 0.9, 0, 0, 3, 5, 0.3, 2, 0.5);

  auto* sammler = m.CreateNewShape("CON", "Sammler", 100, 150);
  dynamic_cast<TCON&>(*TM3Model::ElementOf(sammler)).SetData(5);
  auto* rueb = m.CreateNewShape("RUB", "RÜB Mitte", 200, 150);
  dynamic_cast<TRUB&>(*TM3Model::ElementOf(rueb))
      .SetData(40, 999999, 900, false, 0, 10, 10, 15, 0);
  auto* est = m.CreateNewShape("EST", "Einleitung Mühlbach", 300, 150);
  // Mühlbach: trapezoid 2 m wide at the bottom, 1,2 m deep, 5 m wide at the
  // top, 1 500 m reach with 5 m fall; 12 km2 natural catchment.
  dynamic_cast<TEST&>(*TM3Model::ElementOf(est))
      .SetData(4, 0.2, 12, 7.4, 2.5, 310, 305, 1500, 2, 1.2, 5, 30, 0.3, 0.4, 12, 4, 120, 2500,
               false, false, false, false, false, "0", "II", "3", 9, 0, false, false, 0, 0, 0, 0,
               0.1, false, 0, 0, false, net);
  auto* reg = m.CreateNewShape("REG", "Regenschreiber 1", 0, 300);

  altstadt->SetParent(sammler);
  neubau->SetParent(sammler);
  gewerbe->SetParent(rueb);
  sammler->SetParent(rueb);
  rueb->SetParent(est);
  rueb->SetKUE(est);
  rueb->SetGEW(est);
  for (auto* k : {altstadt, neubau}) {
    k->SetREG(reg);
    k->SetGEW(est);
  }
  gewerbe->SetREG(reg);
  m.AllesRechnen();
}

}  // namespace t21
