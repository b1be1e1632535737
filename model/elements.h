// The element kinds of the network and their creation by type code. Kinds
// whose own computations are not built yet pass water on unchanged.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/catchments.h"
#include "model/discharge.h"
#include "model/element.h"
#include "model/net.h"
#include "model/plant.h"
#include "model/regen.h"
#include "model/structures.h"

namespace t21 {

// Rewrites the older codes KEZ, RUE and EBW to KEM, RU and RUB.
std::string NeuerTypcode(std::string_view typ);
// A new element of the class for the type code (older codes mapped), or
// nullptr for a code without an element.
std::unique_ptr<TElement> CreateHydElement(std::string_view typ);
// The toolbar hint of a type code ("MW-Netz", "RÜ", ...), or "".
std::string Typbezeichnung(std::string_view typ);

}  // namespace t21
