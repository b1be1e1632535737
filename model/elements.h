// The element kinds of the network and their creation by type code. Kinds
// whose own computations are not built yet pass water on unchanged.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/catchments.h"
#include "model/element.h"
#include "model/net.h"
#include "model/structures.h"
#include "model/regen.h"

namespace t21 {

class TEST : public TBauwerk {
 public:
  std::string Typ() const override { return "EST"; }
};

class TOMA : public TBauwerk {
 public:
  std::string Typ() const override { return "OMA"; }
};

class TKLG : public TElement {
 public:
  std::string Typ() const override { return "KLG"; }
};

class TVersickerung : public TElement {};

class TVFL : public TVersickerung {
 public:
  std::string Typ() const override { return "VFL"; }
};
class TVBE : public TVersickerung {
 public:
  std::string Typ() const override { return "VBE"; }
};
class TVMU : public TVersickerung {
 public:
  std::string Typ() const override { return "VMU"; }
};
class TVRI : public TVersickerung {
 public:
  std::string Typ() const override { return "VRI"; }
};
class TVSC : public TVersickerung {
 public:
  std::string Typ() const override { return "VSC"; }
};

class TAEO : public TElement {
 public:
  std::string Typ() const override { return "AEO"; }
};

// Rewrites the older codes KEZ, RUE and EBW to KEM, RU and RUB.
std::string NeuerTypcode(std::string_view typ);
// A new element of the class for the type code (older codes mapped), or
// nullptr for a code without an element.
std::unique_ptr<TElement> CreateHydElement(std::string_view typ);
// The toolbar hint of a type code ("MW-Netz", "RÜ", ...), or "".
std::string Typbezeichnung(std::string_view typ);

}  // namespace t21
