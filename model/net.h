// The project record: the root element of every network with the constants
// all element computations share.
#pragma once

#include <memory>
#include <string>

#include "model/element.h"
#include "model/project.h"

namespace t21 {

// The project-wide variables of the management scripts (the names that begin
// with "_"). The script interpreter fills them; the model keeps them with the
// project record and clears them when a run builds its lists.
class TScriptVariablen {
 public:
  virtual ~TScriptVariablen() = default;
  virtual void ClearVariables() = 0;
};

class TNET : public TElement {
 public:
  TNET();

  std::string Nummer;
  std::string ProjektName;
  std::string Variante;
  std::string Auftraggeber;
  double Datum = 0;  // days since 1899-12-30
  double PSIa = 0.7;
  double HNA = 800;
  int ZEBEV = 0;  // 0 flow-time method, 1 direct input of the rain runoff
  TSpenden Spenden;
  TParameter CR;   // rain water, concentration form
  TParameter cDN;  // rain water of the simulation: BSB and NH4 only
  double crDO2 = 10;  // O2 deficit of rain water, % of saturation
  int crCSB = 107;
  int ckCSB = 70;
  int ctAFS63 = 150;
  int ckAFS63 = 15;
  double Temperatur = 20;
  double mNN = 0;
  double cO2sat = 0;
  double pks = 0;
  double cM = 2.74;
  double cI = 0.05;
  double cS = 0.667;
  bool NAM = false;
  TPsiTafel PsiTafel{};
  // Created by the script interpreter on first use; never stored.
  std::unique_ptr<TScriptVariablen> PublicVars;

  std::string Typ() const override { return "NET"; }

  // myRain null: the first series of the reference list.
  void SetData(double myHNA, double myPSIa, const std::string& myNummer, const std::string& myName,
               const std::string& myVariante, const std::string& myAuftraggeber, double myDatum,
               int myZEBEV, bool myNAM, double mycS, double mycI, double mycM, double myCrBSB,
               double myCrNH4, double myCrPH, double myCrALK, double mydnBSB, double mydnNH4,
               double myDO2, double myT, const TSpenden* myRain, double mymNN);

  void Calc(const TRechnung& r) override;
  void SetzePsiTafel(double R15) { PsiTafel = BerechnePsiTafel(R15); }
  // Peak runoff coefficient for mean slope group myNGM and imperviousness myB %.
  double GetPSIs(double myNGM, double myB) const;
};

// Current date and time as days since 1899-12-30.
double JetztAlsDatum();

}  // namespace t21
