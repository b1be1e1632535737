// The variables of the management scripts: a table of names with values,
// sorted, names compared without regard to case (ASCII letters). The
// interpreter keeps one table for the script variables; the project record
// keeps one for the project-wide variables (names beginning with "_").
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/net.h"
#include "script/variant.h"

namespace t21::script {

struct TbbVariable {
  explicit TbbVariable(TVariant val) : value(std::move(val)) {}
  TVariant value;
};

class TbbVariables : public TScriptVariablen {
 public:
  TbbVariables();

  // The value; a name not yet present is created with the whole number 0.
  const TVariant& GetVariable(std::string_view myName);
  // Overwrites the value, or creates the entry under myName.
  void SetVariable(std::string_view myName, const TVariant& myValue);
  void ClearVariables() override;
  // An index outside the table or an unknown name does nothing.
  void DeleteVariable(int Index);
  void DeleteVariable(std::string_view myName);
  // The value of entry Index; the whole number 0 outside the table.
  const TVariant& GetValue(int Index) const;
  // Nothing outside the table.
  void SetValue(int Index, const TVariant& myValue);
  // The name of entry Index; empty outside the table.
  const std::string& GetName(int Index) const;
  int Count() const { return static_cast<int>(FEintraege.size()); }
  // The index of the name, or -1.
  int IndexOf(std::string_view myName) const;

  // The value of the name, created with 0 under myName when missing. The
  // reference stays valid until the entry is deleted or the table cleared,
  // that is while Stand() stays the same.
  TVariant& Eintrag(std::string_view myName);
  // A number that changes whenever entries are deleted; no two tables ever
  // have the same number, so a reference kept together with it can be
  // checked with one comparison.
  std::uint64_t Stand() const { return FStand; }

 private:
  struct TEintrag {
    std::string Name;
    std::unique_ptr<TbbVariable> Variable;
  };
  // The first entry whose name is not less than myName.
  std::vector<TEintrag>::iterator Suche(std::string_view myName);
  std::vector<TEintrag>::const_iterator Suche(std::string_view myName) const;
  void NeuerStand();

  std::vector<TEintrag> FEintraege;
  std::uint64_t FStand = 0;
};

// Compares names as the table does: ASCII letters without regard to case,
// other bytes by their value.
int NamenVergleich(std::string_view a, std::string_view b);

}  // namespace t21::script
