// Tables as XML data packets: DATAPACKET with METADATA (the columns) and
// ROWDATA (the records, nested tables inside their parent record).
#pragma once

#include <memory>
#include <string>

#include "storage/tabelle.h"

namespace t21 {

// The packet as text, in one line after the declaration.
std::string PaketAlsText(const TTabelle& t);
// Writes the packet to a temporary file beside datei and renames it, so a
// failed save leaves an existing file intact. False with fehler set.
bool SchreibePaket(const TTabelle& t, const std::string& datei, std::string& fehler);

// Reads a packet; the table's columns are those the packet declares. Null
// with fehler set when the file is missing, binary or not a packet.
std::shared_ptr<TTabelle> LiesPaket(const std::string& datei, std::string& fehler);
std::shared_ptr<TTabelle> LiesPaketText(const std::string& text, std::string& fehler);

}  // namespace t21
