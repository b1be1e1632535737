// The project file base + ".T21": one XML data packet with the drawing, every
// shape, every element's input data and the project record.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/network.h"
#include "storage/tabelle.h"

namespace t21 {

inline constexpr const char* kProgVersion = "1.2";

// The empty dataset tree of a project file (MOD with its nested tables),
// its shape table with the column ValLang for the vertices of a polyline
// longer than Val holds. A model's packet (ModellAlsPaket) declares ValLang
// only when one of its polylines needs it.
std::shared_ptr<TTabelle> NeuesProjektPaket();

// The model as a packet: the project record with one shape row per shape
// in drawing order, and the selection.
std::shared_ptr<TTabelle> ModellAlsPaket(const TM3Model& m);

// One shape as row r of the packet's shape table (NeuesProjektPaket's SHP):
// its drawing attributes, its id (column ShapeID), its links by name
// (Parent, KUE, GEW) and its element's input data (nested HYD). The
// selection is not the shape's: ModellAlsPaket adds it.
void ShapeInZeile(const TCadShape& s, TTabelle& shp, int r);

// Writes dateiname + ".T21" (atomically: a failed save leaves the old file
// intact). A file of an older version is first kept as dateiname + ".T21~"
// (unless that exists). False with fehler set.
bool A3_SaveAs(const TM3Model& m, const std::string& dateiname, std::string& fehler);

struct TLadeErgebnis {
  bool Ok = false;
  std::string Fehler;                 // why the load failed
  std::vector<std::string> Hinweise;  // what was repaired or skipped
  std::string Meldung;                // the message box after a comma repair
};

class TDataModule1;

// Replaces the model's content by dateiname + ".T21" (ModellAusPaket) and
// reads the side files: the print list, and with dm the project's defaults
// file into the tables' defaults. A file of an older version is read with
// the decimal commas of its numbers; opening writes no file, the first save
// keeps the original as dateiname + ".T21~".
TLadeErgebnis A3_Laden(TM3Model& m, const std::string& dateiname, TDataModule1* dm = nullptr);

// Replaces the model's content by a project packet (as ModellAlsPaket makes
// it, or as read from a project file), its file name by dateiname, and
// computes it twice; no file is read. A packet of the model gives a model
// that computes as the original does and gives the same packet. The print
// list is a side file and stays empty; dm is not needed by the packet.
TLadeErgebnis ModellAusPaket(TM3Model& m, const TTabelle& mod, const std::string& dateiname,
                             TDataModule1* dm = nullptr);

// Creates the shape of row r of a packet's shape table in m, with its
// element (entered in m.Liste) and its stored id when that is free; the
// links stay unset (the caller sets them by the names in the row). Null,
// with a note in hinweise, for an unknown type. With its links set again,
// ShapeInZeile of the new shape gives row r exactly.
TCadShape* ShapeAusZeile(TM3Model& m, const TTabelle& shp, int r,
                         std::vector<std::string>& hinweise);

// Breaks every ring of Parent links among the element shapes of m: the shape
// whose link closes a ring gets the root as successor. Returns those shapes,
// in the order found; linear in the number of shapes.
std::vector<TCadShape*> ParentRingeLoesen(TM3Model& m);

// Saves the project under the model's file name: the project file, then the
// side files (".DEF" with dm, ".PRL", the hydrograph files); sets Modified
// to 0. A failed project file leaves the old one intact and writes nothing
// else.
bool Speichern(TM3Model& m, std::string& fehler, const TDataModule1* dm = nullptr);

// Polyline points as the shape value text ("12,500000;3,000000;") and back.
std::string PunkteAlsText(const std::vector<TPunkt>& p);
std::vector<TPunkt> PunkteAusText(const std::string& text);
// Font style letters "b", "i", "u", "s" and back.
std::string SchriftstilText(const TSchrift& f);
void SchriftstilLesen(const std::string& text, TSchrift& f);

}  // namespace t21
