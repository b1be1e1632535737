#include "support/netzbau.h"

#include <stdexcept>

namespace t21::test {

TCadShape* Netzbau::Neu(const std::string& typ, const std::string& name) {
  TCadShape* s = m.CreateNewShape(typ, name, 0, 0);
  if (!s) throw std::runtime_error("unbekannter Typ " + typ);
  return s;
}

TCadShape* Netzbau::Shape(const std::string& name) const {
  TCadShape* s = m.Liste.Find(name);
  if (!s) s = m.GetNode(name);
  if (!s) throw std::runtime_error("kein Element " + name);
  return s;
}

TElement& Netzbau::Element(const std::string& name) const {
  TElement* e = TM3Model::ElementOf(Shape(name));
  if (!e) throw std::runtime_error("kein Element an " + name);
  return *e;
}

Netzbau& Netzbau::Parent(const std::string& von, const std::string& nach) {
  Shape(von)->SetParent(Shape(nach));
  return *this;
}

Netzbau& Netzbau::KUE(const std::string& von, const std::string& nach) {
  Shape(von)->SetKUE(Shape(nach));
  return *this;
}

Netzbau& Netzbau::GEW(const std::string& von, const std::string& nach) {
  Shape(von)->SetGEW(Shape(nach));
  return *this;
}

TAE Flaeche(double ae, int b, int kategorie, double fD) {
  TAE a;
  a.AE = ae;
  a.B = b;
  a.Kategorie = kategorie;
  a.fD = fD;
  a.AEb = ae * b / 100;
  return a;
}

void StandardKEM(TKEZ& k) {
  k.SetData(300, 50, 0, 7.5, 600, 0, 0, 0, 7, 0, 60, 150, 10, 0, 0, 0, 0, 1, 0, 10, 0, 0, 0, 0,
            3, 5, 0.3, 2, 0.5);
}

void Bauwerksstrang(Netzbau& n, const std::string& quelle, const std::string& bauwerk,
                    const std::string& ziel) {
  n.Parent(quelle, bauwerk);
  n.Parent(bauwerk, ziel).KUE(bauwerk, ziel).GEW(bauwerk, ziel);
}

}  // namespace t21::test
