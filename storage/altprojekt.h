// Opening projects by their extension: the project file ".T21" and the two
// older project folders, ".TRE" (version 1: one table file per project
// table, no drawing) and ".MOD" (version 2: the drawing in "_SHP.xml" and
// one XML table file per project table). An older project is read into the
// project tables, repaired there and the model is built from the repaired
// tables; every repair is reported in the load's Fehlerprotokoll. Opening
// reads the project's files and writes none of them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/network.h"
#include "storage/projekttabellen.h"

namespace t21 {

inline constexpr const char* kUngueltigeDateibezeichnung = "Ungültige Dateibezeichnung";
inline constexpr const char* kModellBereitsGeladen = "Das Modell ist bereits geladen";
inline constexpr const char* kProjektUnvollstaendig =
    "Die Projektdateien sind nicht vollständig.\rDas Projekt kann nicht geladen werden.";

// The format of a picked file by its extension (any case): ".TRE" 1,
// ".MOD" 2, ".T21" 3; 0 for any other.
int ProjektVersion(const std::string& datei);

// The name of an existing file: the name itself, else a file of the same
// folder whose name differs only in case (older folders come from systems
// that ignore case); empty when there is none.
std::string DateiSuchen(const std::string& datei);

// The loader of older project folders. It works on the project tables of
// the data module and leaves them empty.
class TAltprojekt {
 public:
  explicit TAltprojekt(TDataModule1& dm, std::string programmordner = {});

  // The repairs of the load, each line as the user sees it.
  std::vector<std::string> Fehlerprotokoll;
  // What the protocol does not report: decimal commas read from the files
  // (which the load never writes), skipped side files and values, messages
  // of the table check.
  std::vector<std::string> Hinweise;
  // Why the load failed (a file that is no readable data packet).
  std::string Fehler;

  // Every table file of the version (except those it may lack) and the main
  // files exist; FehlendeDatei names the first missing one.
  bool AlleDateienDa(const std::string& s, int v) const { return FehlendeDatei(s, v).empty(); }
  std::string FehlendeDatei(const std::string& s, int v) const;

  // Fills the project tables from the folder s (version 1 or 2), repairs
  // duplicate element IDs and reads the side files (defaults, print list and
  // hydrographs into m). False when a table file cannot be read.
  bool Laden(const std::string& s, int v, TM3Model* m = nullptr);
  // Copies one table file into a project table (emptied first); a missing
  // file leaves the table empty. False when the file cannot be read.
  bool CopyDataSet(TTabelle& ziel, const std::string& quelle, int v);
  // Builds the model from the folder datei (version 1 or 2) and computes it.
  // False when a file cannot be read; the model may then be incomplete.
  bool ModellLaden(TM3Model& m, const std::string& datei, int version);

 private:
  void Protokoll(const std::string& name, const std::string& grund);
  void DoppelteIDs();
  void Seitendateien(const std::string& s, TM3Model* m);
  bool Zeichnung(TM3Model& m, const std::string& datei);
  void ElementLesen(TElement& e, int masterZeile, const TNET& netz);
  void Version1(TM3Model& m);
  void Version2(TM3Model& m);
  TCadShape* Wurzel(TM3Model& m);
  void Schleifen(TM3Model& m);

  TDataModule1& FDM;
  std::string FProgrammordner;
  std::map<const TCadShape*, std::string> FOriginal;  // renamed shapes: their names in the file
};

struct TOeffnenOptionen {
  // Base names of the models already open.
  std::vector<std::string> OffeneModelle;
  // Folder of the program's own hydrograph files (TWGanglinien.XML,
  // FWGanglinien.XML); empty: none.
  std::string Programmordner;
};

struct TOeffnenErgebnis {
  bool Ok = false;
  int Version = 0;
  // Why the project was not opened: one of the three messages above, or a
  // file that cannot be read.
  std::string Meldung;
  std::vector<std::string> Fehlerprotokoll;
  std::vector<std::string> Hinweise;
  // The message after a comma repair of a project file (".T21").
  std::string Hinweisfenster;
  // True when the protocol reports repairs of the data (lines beginning
  // with a tab).
  bool Repariert() const;
};

// Opens the picked file into m (replacing its content): ".T21" as project
// file, ".TRE" and ".MOD" as older project folders. A refused file leaves m
// unchanged.
TOeffnenErgebnis ProjektOeffnen(TM3Model& m, TDataModule1& dm, const std::string& datei,
                                const TOeffnenOptionen& o = {});

}  // namespace t21
