#include "model/net.h"

#include <chrono>
#include <cmath>

namespace t21 {

double JetztAlsDatum() {
  using namespace std::chrono;
  const double sek = duration<double>(system_clock::now().time_since_epoch()).count();
  return 25569.0 + sek / 86400.0;  // 1970-01-01 is day 25569
}

TNET::TNET() {
  cO2sat = O2Saettigung(Temperatur, mNN);
  SetData(800, 0.7, "", "", "", "", JetztAlsDatum(), 0, false, 0.667, 0.05, 2.74, 20, 5, 7.4, 2.8,
          10, 2, 10, 20, nullptr, 0);
}

void TNET::SetData(double myHNA, double myPSIa, const std::string& myNummer,
                   const std::string& myName, const std::string& myVariante,
                   const std::string& myAuftraggeber, double myDatum, int myZEBEV, bool myNAM,
                   double mycS, double mycI, double mycM, double myCrBSB, double myCrNH4,
                   double myCrPH, double myCrALK, double mydnBSB, double mydnNH4, double myDO2,
                   double myT, const TSpenden* myRain, double mymNN) {
  Nummer = myNummer;
  ProjektName = myName;
  Variante = myVariante;
  Auftraggeber = myAuftraggeber;
  Datum = myDatum;
  HNA = myHNA;
  PSIa = myPSIa;
  ZEBEV = myZEBEV;
  Temperatur = myT;
  mNN = mymNN;
  // The saturation first: the rain water's deficit is a share of it at the
  // project's temperature and altitude.
  cO2sat = O2Saettigung(myT, mymNN);
  pks = PKsWert(myT);
  crDO2 = myDO2;
  CR.Clear();
  CR.BSB = myCrBSB;
  CR.NH4 = myCrNH4;
  CR.PH = myCrPH;
  CR.ALK = myCrALK;
  CR.CSB = 107;
  CR.DO2 = myDO2 / 100 * cO2sat;
  cDN.BSB = mydnBSB;
  cDN.NH4 = mydnNH4;
  const auto& liste = StandardReferenzListen().Kostra;
  if (myRain)
    Spenden = *myRain;
  else if (liste.Count() > 0)
    Spenden = liste.Eintraege.front();
  SetzePsiTafel(Spenden.GetR15());
  NAM = myNAM;
  cS = mycS;
  cM = mycM;
  cI = mycI;
}

void TNET::Calc(const TRechnung& r) {
  SetzePsiTafel(Spenden.GetR15());
  SUM.ZufluesseUebernehmen(r.Zufluss.SUM);
  r.Zufluss.AB.AssignTo(AB);
  SUM.SUMAEB = r.Zufluss.SUM.SUMAEBM3;
  SUM.SUMAEM3 = r.Zufluss.SUM.SUMAEM3;
}

double TNET::GetPSIs(double myNGM, double myB) const {
  double ng = myNGM;
  if (!(ng > 1)) ng = 1;
  if (ng >= 4) ng = 4;
  const int k = static_cast<int>(ng);
  const double f = ng - k;
  auto psi = [&](int j) {
    return PsiTafel[static_cast<size_t>(j - 1)] + myB * PsiTafel[static_cast<size_t>(4 + j)] / 100;
  };
  const double pk = psi(k), pk1 = psi(k + 1);
  return pk + f * (pk1 - pk);
}

}  // namespace t21
