// Network sums carried down the network with every element.
#pragma once

#include <string>

namespace t21 {

class TSpenden;

class TSUM {
 public:
  double E = 0;           // inhabitants
  double QH = 0;          // peak domestic flow QHx, l/s
  double QH24 = 0;        // daily mean domestic flow, l/s
  double QG = 0;          // peak commercial flow QGx, l/s
  double QG24 = 0;        // daily mean commercial flow, l/s
  double QF = 0;          // infiltration water, l/s
  double QT24DIREKT = 0;  // daily mean dry-weather flow of the catchments themselves
  double UQR = 0;         // rain runoff passed on by structures (no longer reducible)
  double QR = 0;          // reduced rain runoff r(SUMTF) * AU
  double QRT24 = 0;       // rain runoff entering foul-sewer nets
  double AExNG = 0;       // area times slope group, ha
  double SUMTF = 0;       // governing flow time, min
  double LTF = 0;         // longest flow time, min
  double SUMQD = 0;       // sum of throttle flows, l/s
  double SUMVerf = 0;     // sum of required volumes, m3
  double CSB = 0;
  double BSCSB = 0;
  double RW = 0, HW = 0, Gelaende = 0;  // own location, never summed
  double AE = 0, AEB = 0;
  double AEb1 = 0, AEb2 = 0, AEb3 = 0;
  double AEbxfD = 0;
  double SUMAE = 0, SUMAEB = 0;
  double SumAEb1 = 0, SumAEb2 = 0, SumAEb3 = 0;
  double SumAEbxfD = 0;
  double AU = 0;        // impermeable area, ha
  double SUMAEM3 = 0;   // catchment area reaching a receiving water
  double SUMAEBM3 = 0;  // impervious area reaching a receiving water
  double AFS63r = 0;    // annual AFS63 load of rain runoff, kg/a
  double AFS63e = 0;    // annual AFS63 load discharged after treatment, kg/a
  long long SumVolumen = 0;  // storage volumes, m3
  std::string Strasse;

  double NGm() const;
  double QS() const { return QH + QG; }
  double QT() const { return QS() + QF; }
  double QS24() const { return QH24 + QG24; }
  double QT24() const { return QS24() + QF; }
  double QBEM() const { return QT24() + UQR + QR + QRT24; }
  double csCSB() const;
  double ctCSB() const;
  double BAFS63() const { return 280 * SumAEb1 + 530 * SumAEb2 + 760 * SumAEb3; }
  int TM() const;
  double aa() const;

  // Everything to 0 except the location (RW, HW, Gelaende, Strasse).
  void Clear();
  void SetLage(double myRW, double myHW, double myGelaende, const std::string& myStrasse);
  // Takes over sums: every field except CSB, the location, AU, SUMAEM3 and
  // SUMAEBM3.
  void AssignTo(TSUM& dest) const;
  // Adds this record to dest at a junction; r gives the rain intensities.
  void AddTo(TSUM& dest, const TSpenden& r) const;
  void GibAbfluss(TSUM& dest, const TSpenden& r) const { AddTo(dest, r); }
  void MassgeblicheFliesszeit(TSUM& dest, const TSpenden& r) const;
  void ZufluesseUebernehmen(const TSUM& zufluss) { zufluss.AssignTo(*this); }
};

}  // namespace t21
