// The network model: the drawing model with the element objects, the element
// list, element naming and the compute pass of the verification.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "cad/shape.h"
#include "model/elements.h"
#include "model/project.h"

namespace t21 {

inline constexpr const char* kWurzelName = "geschlossenes Siedlungsgebiet";

// Compares names without regard to case (ASCII and the Latin-1 letters of
// UTF-8 text, umlauts included).
struct NameLess {
  bool operator()(std::string_view a, std::string_view b) const;
};
bool NamenGleich(std::string_view a, std::string_view b);

// The element list: element names in order with their shapes. Names are
// unique without regard to case. Its selected entry, the current element, is
// kept by the selection (TAuswahl::Aktuell).
class TElementListe {
 public:
  bool Add(const std::string& name, TCadShape* shape);
  void Remove(std::string_view name);
  TCadShape* Find(std::string_view name) const;
  bool Contains(std::string_view name) const { return Find(name) != nullptr; }
  int Count() const { return static_cast<int>(FEintraege.size()); }
  std::vector<std::string> Names() const;
  void Clear();

 private:
  std::map<std::string, TCadShape*, NameLess> FEintraege;
};

class TM3Model : public TCadModel {
 public:
  // Creates the model with its root "geschlossenes Siedlungsgebiet" and
  // computes it once.
  explicit TM3Model(std::string name = {});
  ~TM3Model() override;

  TElementListe Liste;
  std::string FileName;
  int Modified = 0;
  bool AltesDateiformat = false;
  TReferenzListen Referenz;  // rain series and hydrographs of this project

  // The inflow gathered last (for the element being computed).
  const TElement& Zufluss() const { return FZufluss; }
  // The project record carried by the root (a default one without a root).
  TNET& Netz();
  const TNET& Netz() const;

  TCadShape* CreateShape(std::string_view typ, std::string_view von, double x, double y) override;
  TCadShape* CreateNewShape(std::string_view typ, std::string_view von, double x, double y);
  // Attaches an element object to an existing shape (both ways).
  void SetElement(TCadShape* shape, std::unique_ptr<TElement> e);

  std::string CheckName(std::string_view s) const;
  void RenameNode(const std::string& s, TCadShape* node);
  bool FindNode(std::string_view sText);
  // The current element's shape (the selected entry of the element list).
  TCadShape* CurrentNode() const { return GetNodeById(Auswahl.Aktuell); }
  void SetzeAktuell(const TCadShape* s) { Auswahl.Aktuell = s ? s->Id : 0; }
  TElement* CurrentElement() const;
  static TElement* ElementOf(const TCadShape* s);

  void DeleteShape(TCadShape* p) override;
  void SelectedDelete() override;
  void StrangLoeschen(TCadShape* p);
  void DeleteAll();
  void CopyShape(const TCadShape* fromShape, TCadShape* toShape);
  void SelectedGeoReferenzierung();
  void KonfigurierteElementeAusblenden();

  // The compute pass.
  void HoleZufluss(TCadShape* p);
  void Rechnen(TCadShape* t);
  void GeheZu(TCadShape* p);
  void RechneFolgeElemente(TCadShape* p);
  void RechneAb(TCadShape* p = nullptr);
  // The whole network twice, as after every change.
  void AllesRechnen();
  // While set, RechneAb and AllesRechnen do nothing: an edit that is still
  // being staged computes once, when it is complete.
  bool RechnenAufgeschoben = false;
  // Whole-network passes (AllesRechnen) done so far.
  int Rechenlaeufe = 0;
  // The element shapes in the order of the compute pass (upstream first).
  std::vector<TCadShape*> Fliessreihenfolge() const;
  // Visits p and everything upstream of it in post-order (each upstream
  // subtree before its shape), each shape once.
  template <class F>
  void NachVorgaengern(TCadShape* p, F&& besuche) const;

 private:
  TRechnung Rechnung() const { return {FZufluss, Netz()}; }

  void RechneFolgeElemente(TCadShape* p, int tiefe);

  TElement FZufluss;
  TNET FErsatzNetz;
};

template <class F>
void TM3Model::NachVorgaengern(TCadShape* p, F&& besuche) const {
  if (!p) return;
  // Post-order without recursion, so that long chains cannot exhaust the
  // stack. A shape is entered once: shapes done or on the current path are
  // skipped, so loops of graphic shapes end.
  struct Rahmen {
    TCadShape* s;
    size_t naechster;
  };
  std::vector<Rahmen> stapel{{p, 0}};
  std::unordered_set<const TCadShape*> gesehen{p};
  while (!stapel.empty()) {
    Rahmen& f = stapel.back();
    const auto& zu = f.s->Zufluesse();
    if (f.naechster < zu.size()) {
      TCadShape* u = zu[f.naechster++];
      if (gesehen.insert(u).second) stapel.push_back({u, 0});
      continue;
    }
    TCadShape* s = f.s;
    stapel.pop_back();
    besuche(s);
  }
}

}  // namespace t21
