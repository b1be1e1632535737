// The project tables: the relational image of a project, a staging area
// through which elements get their standard values and are exported.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/network.h"
#include "storage/tabelle.h"

namespace t21 {

inline constexpr double kKein = std::numeric_limits<double>::quiet_NaN();

struct TSpalte {
  const char* Name;
  TFeldTyp Typ;
  int Breite;
  const char* Vorgabe;
  double Min, Max;  // kKein: no bound
  const char* Label;
};

// The schema of a project table by its component name ("CDSKEZ"), or null.
std::shared_ptr<const TSchema> ProjektSchema(std::string_view name);

class TDataModule1 {
 public:
  TDataModule1();

  // Registered tables in registry order: code and table.
  std::vector<std::pair<std::string, TTabelle*>> Dateien;
  std::map<std::string, std::unique_ptr<TTabelle>, std::less<>> Tabellen;  // by component name
  TTabelle& T(std::string_view name) const;  // a table by component name

  // The design default of every column of every registered table, captured
  // at creation: table component name, column, expression.
  struct TVorgabe {
    std::string Tabelle;
    int Spalte;
    std::string Ausdruck;
  };
  std::vector<TVorgabe> StandardVorgaben;
  int IDCounter = 0;
  int Aktuell = -1;  // current CDSHyd record
  // Beep and modal message in the program; here whoever listens.
  std::function<void(const std::string&)> Meldung;
  // Set while a project of an older format is being opened.
  bool AltesDateiformat = false;

  TTabelle* GetTable(std::string_view typ) const;
  // Appends a record and gives it its defaults and its ID.
  int NewRecord(TTabelle& t);
  void SetDefaultExpression(TTabelle& t, int zeile, int spalte);
  void SetDefaultExpressions(TTabelle& t, int zeile, std::initializer_list<const char*> spalten);
  // The detail record of the current master record in t, or -1.
  int DetailZeile(const TTabelle& t) const;

  void KEZ_ch_Standard();
  void KEZ_cg_Standard();
  void NET_cr_Standard();
  void OMA_RRB_Standard();
  void OMA_RBF_Standard();
  void KLG_eta();
  void EST_GK2_Standard();

  // s + ".DEF", written whole or not at all; false with fehler set.
  bool SaveUserDefaults(const std::string& s, std::string* fehler = nullptr) const;
  // The defaults file: lines TABLECOLUMN=expression. A decimal comma in the
  // expression of a number column becomes a point (files of older
  // versions), kommata counts them; texts keep their commas. The file is
  // only read.
  bool LoadUserDefaults(const std::string& datei, int* kommata = nullptr);

  void CreateRecords(const std::string& von, const std::string& bis, const std::string& typ,
                     const std::string& ziel);
  void CreateDatabase();
  void SetCursor(std::string_view name);
  void DeleteRecord(std::string_view name);
  void ChangeElementName(std::string_view alt, std::string_view neu);

  // Element to tables and back (the current records).
  void SaveData(const TElement& e);
  // netz: the project record for the kinds that read it (saturation, plant
  // effluent); without it, the record of the element's model.
  void GetData(TElement& e, const TNET* netz = nullptr);

  // The element list against the tables: unknown names are reported, records
  // without an element deleted.
  void CheckDatabase(const TM3Model& m);
  // Every shape of the model into the tables.
  void SaveComponents(const TM3Model& m);

 private:
  void MeldungZeigen(const std::string& text) const {
    if (Meldung) Meldung(text);
  }
};

// Creates an element the way the editor does: its records receive the
// column defaults and the new element reads them.
TCadShape* ElementAnlegen(TDataModule1& dm, TM3Model& m, const std::string& typ,
                          const std::string& name, double x, double y);

// Hydrograph side files: base + "_TWGanglinien.XML" and
// base + "_FWGanglinien.XML".
bool SchreibeGanglinien(const TReferenzListen& r, const std::string& basis, std::string& fehler);

}  // namespace t21
