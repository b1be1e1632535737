#include "script/variablen.h"

#include <algorithm>
#include <atomic>

namespace t21::script {

namespace {

// The numbers of Stand() come from one counter for all tables.
std::atomic<std::uint64_t> gStaende{0};

unsigned char GrossByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 32) : u;
}

const TVariant& Null() {
  static const TVariant kNull = TVariant::Ganzzahl(0);
  return kNull;
}

}  // namespace

int NamenVergleich(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = GrossByte(a[i]), y = GrossByte(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

TbbVariables::TbbVariables() {
  NeuerStand();
}

void TbbVariables::NeuerStand() {
  FStand = ++gStaende;
}

std::vector<TbbVariables::TEintrag>::iterator TbbVariables::Suche(std::string_view myName) {
  return std::lower_bound(
      FEintraege.begin(), FEintraege.end(), myName,
      [](const TEintrag& e, std::string_view n) { return NamenVergleich(e.Name, n) < 0; });
}

std::vector<TbbVariables::TEintrag>::const_iterator TbbVariables::Suche(
    std::string_view myName) const {
  return std::lower_bound(
      FEintraege.begin(), FEintraege.end(), myName,
      [](const TEintrag& e, std::string_view n) { return NamenVergleich(e.Name, n) < 0; });
}

int TbbVariables::IndexOf(std::string_view myName) const {
  const auto it = Suche(myName);
  if (it == FEintraege.end() || NamenVergleich(it->Name, myName) != 0) return -1;
  return static_cast<int>(it - FEintraege.begin());
}

TVariant& TbbVariables::Eintrag(std::string_view myName) {
  auto it = Suche(myName);
  if (it == FEintraege.end() || NamenVergleich(it->Name, myName) != 0)
    it = FEintraege.insert(
        it, TEintrag{std::string(myName), std::make_unique<TbbVariable>(TVariant::Ganzzahl(0))});
  return it->Variable->value;
}

const TVariant& TbbVariables::GetVariable(std::string_view myName) {
  return Eintrag(myName);
}

void TbbVariables::SetVariable(std::string_view myName, const TVariant& myValue) {
  Eintrag(myName) = myValue;
}

void TbbVariables::ClearVariables() {
  FEintraege.clear();
  NeuerStand();
}

void TbbVariables::DeleteVariable(int Index) {
  if (Index < 0 || Index >= Count()) return;
  FEintraege.erase(FEintraege.begin() + Index);
  NeuerStand();
}

void TbbVariables::DeleteVariable(std::string_view myName) {
  DeleteVariable(IndexOf(myName));
}

const TVariant& TbbVariables::GetValue(int Index) const {
  if (Index < 0 || Index >= Count()) return Null();
  return FEintraege[static_cast<size_t>(Index)].Variable->value;
}

void TbbVariables::SetValue(int Index, const TVariant& myValue) {
  if (Index < 0 || Index >= Count()) return;
  FEintraege[static_cast<size_t>(Index)].Variable->value = myValue;
}

const std::string& TbbVariables::GetName(int Index) const {
  static const std::string kLeer;
  if (Index < 0 || Index >= Count()) return kLeer;
  return FEintraege[static_cast<size_t>(Index)].Name;
}

}  // namespace t21::script
