// Excel workbooks of the project tables, written as .xlsx files without a
// spreadsheet program; and a table as tab-separated text.
#pragma once

#include <string>

#include "model/network.h"
#include "storage/projekttabellen.h"
#include "storage/tabelle.h"

namespace t21 {

// The cell address: column letters A..Z, then AA..AZ, BA.. (two letters at
// most), followed by the row number; rows and columns count from 1.
std::string ExcelCellName(int zeile, int spalte);

// The column's display label: its label, else its name.
std::string Anzeigename(const TFeld& f);

// The model as a workbook: every element is written into the project tables
// and each registered table becomes one worksheet named after the table, in
// registry order. Row 1 holds the display labels (PSIm headed "fD") in bold
// on yellow; then one row per master record for which the table holds a
// record. Numbers are stored as numbers, every cell has the text number
// format "@". The project tables are empty afterwards, also after an error.
// False with fehler set when the file cannot be written.
bool SaveModelToEXCEL(TDataModule1& dm, const TM3Model& m, const std::string& datei,
                      std::string& fehler);

// One table as a workbook of one sheet named blatt.
bool SaveDataSetToEXCEL(const TTabelle& t, const std::string& datei, const std::string& blatt,
                        std::string& fehler);

// A table as text for the clipboard is TabellenText (storage/export_csv.h),
// in the user's number settings.

}  // namespace t21
