// Tables as XML data packets: DATAPACKET with METADATA (the columns) and
// ROWDATA (the records, nested tables inside their parent record).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "storage/tabelle.h"

namespace t21 {

// The packet as text, in one line after the declaration.
std::string PaketAlsText(const TTabelle& t);
// Writes the packet to a temporary file beside datei and renames it, so a
// failed save leaves an existing file intact. False with fehler set.
bool SchreibePaket(const TTabelle& t, const std::string& datei, std::string& fehler);

// How a packet's numbers are read. Packets hold numbers with a decimal
// point; files of older versions may hold a decimal comma in number fields.
// Texts are read as they are in either case.
struct TPaketLesen {
  bool Dezimalkomma = false;  // number fields may hold a decimal comma
  int Kommata = 0;            // the number fields read with a decimal comma
};

// Reads a packet; the table's columns are those the packet declares. Null
// with fehler set when the file is missing, binary or not a packet. Without
// lesen (or with Dezimalkomma false), a number with a comma is no number.
std::shared_ptr<TTabelle> LiesPaket(const std::string& datei, std::string& fehler,
                                    TPaketLesen* lesen = nullptr);
std::shared_ptr<TTabelle> LiesPaketText(const std::string& text, std::string& fehler,
                                        TPaketLesen* lesen = nullptr);

// The text of a column (name without regard to case) in the packet's first
// record, without reading the packet into a table: empty when the record has
// no such value, nullopt when the text is no packet with a record.
std::optional<std::string> ErsterWert(const std::string& text, std::string_view spalte);

}  // namespace t21
