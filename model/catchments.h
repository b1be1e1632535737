// Catchments (combined, foul and storm sewer nets) and sub-area elements.
#pragma once

#include <string>
#include <vector>

#include "model/element.h"

namespace t21 {

// One sub-area of a catchment.
struct TAE {
  std::string Bezeichnung;
  double AE = 0;      // area, ha
  int B = 0;          // degree of imperviousness, %
  double fD = 0;      // reduction factor
  double AEb = 0;     // impervious area AE * B / 100, ha (kept by the editor)
  int Kategorie = 0;  // pollution category 1, 2 or 3
};

class TAEs {
 public:
  std::vector<TAE> Liste;
  // Appends copies of all of e's sub-areas (existing entries stay).
  void AssignValues(const TAEs& e) { Liste.insert(Liste.end(), e.Liste.begin(), e.Liste.end()); }
};

// Annual AFS63 load of rain runoff per ha of impervious area, by category.
inline constexpr double kAFS63Kategorie[3] = {280, 530, 760};

inline constexpr const char* kNichtKonfiguriert = "nicht konfiguriert; kein Abfluss";
inline constexpr const char* kFehlanschluesse = "Fehlanschlüsse!";

class TKEZ : public TElement {
 public:
  TParameter CH;  // domestic wastewater, concentration form
  TParameter CG;  // commercial wastewater, concentration form
  double ED = 0, WS = 0, X = 0, QG = 0, AG = 0, BG = 0, QF = 0, PQRT24 = 0, NGM = 0;
  double QR1 = 0, TF = 0;
  int SWGL = 0, FWGL = 0;
  double N = 0, K = 0, MV = 0, BV = 0, PSIa = 0, PSIe = 0;
  TAEs AEs;

  // Computed
  double AE = 0, AEb = 0, AEb1 = 0, AEb2 = 0, AEb3 = 0, AEbxfD = 0, B = 0, fD = 0;
  double PSIs = 0, crAFS63 = 0;
  double QH24 = 0, QG24 = 0, QF24 = 0, QTx = 0;

  double& PSIb() { return PSIe; }

  void SetData(double myChBSB, double myChNH4, double myChAFS, double myChPH, double myCHCSB,
               double myCgBSB, double myCgNH4, double myCgAFS, double myCgPH, double myCgCSB,
               double myED, double myWS, double myX, double myQG, double myAG, double myBG,
               double myQF, double myNGM, double myQ1, double myTF, double myPQRT24, double myPSIe,
               int mySWGL, int myFWGL, double myN, double myK, double myPSIa, double myMV,
               double myBV);
  void AssignValues(const TElement& e) override;

  void FlaechenAuswerten();
  void vNRegenwasseranfall(const TRechnung& r);
  void vNFrachten(const TRechnung& r);
  void vNAbfluss(const TRechnung& r);

 protected:
  void TrockenwetterKEM();
  void TrockenwetterKES();
  void PruefeKonfiguriert();
};

class TKEM : public TKEZ {
 public:
  std::string Typ() const override { return "KEM"; }
  void Calc(const TRechnung& r) override;
};

class TKES : public TKEZ {
 public:
  std::string Typ() const override { return "KES"; }
  void Calc(const TRechnung& r) override;
};

class TKER : public TKEZ {
 public:
  std::string Typ() const override { return "KER"; }
  void Calc(const TRechnung& r) override;
};

// Sub-area element: hands on areas, no flow.
class TAEK : public TElement {
 public:
  TAEs AEs;
  std::string Typ() const override { return "AEK"; }
  void SetData(TAEs a) { AEs = std::move(a); }
  void Calc(const TRechnung& r) override;
  void AssignValues(const TElement& e) override;
};

}  // namespace t21
