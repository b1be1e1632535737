#include "storage/export_xlsx.h"

#include <xlsxwriter.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "model/datum.h"
#include "model/elements.h"
#include "storage/export_csv.h"

namespace t21 {

namespace {

constexpr size_t kMaxZellText = 32767;  // longest text of an Excel cell

bool IstZahlSpalte(TFeldTyp t) {
  return t == TFeldTyp::Integer || t == TFeldTyp::Float;
}

// A non-numeric value as the table shows it.
std::string WertText(const TFeld& f, const TWert& w) {
  switch (f.Typ) {
    case TFeldTyp::Boolean:
      return AlsBool(w) ? "True" : "False";
    case TFeldTyp::Date:
      return DatumText(AlsZahl(w));
    case TFeldTyp::Integer:
      return std::to_string(AlsGanzzahl(w));
    case TFeldTyp::Float:
      return CSVZahl(AlsZahl(w));
    default:
      return AlsText(w);
  }
}

// Text cut to what a cell holds, at a character boundary.
std::string Zelltext(std::string s) {
  if (s.size() <= kMaxZellText) return s;
  size_t n = kMaxZellText;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  s.resize(n);
  return s;
}

// A workbook being written to a temporary file beside its target.
class TMappe {
 public:
  explicit TMappe(const std::string& datei) : FDatei(datei), FTemp(datei + ".tmp") {
    lxw_workbook_options o{};
    o.constant_memory = LXW_FALSE;
    FMappe = workbook_new_opt(FTemp.c_str(), &o);
    if (!FMappe) return;
    FText = workbook_add_format(FMappe);
    format_set_num_format_index(FText, 49);  // "@", text
    FKopf = workbook_add_format(FMappe);
    format_set_num_format_index(FKopf, 49);
    format_set_bold(FKopf);
    format_set_bg_color(FKopf, 0xFFFF00);  // Excel's colour value 65535 (yellow)
  }
  ~TMappe() {
    if (FMappe) workbook_close(FMappe);
    std::error_code ec;
    if (!FFertig) std::filesystem::remove(FTemp, ec);
  }
  TMappe(const TMappe&) = delete;
  TMappe& operator=(const TMappe&) = delete;

  bool Ok() const { return FMappe != nullptr; }

  lxw_worksheet* Blatt(const std::string& name, std::string& fehler) {
    if (const lxw_error e = workbook_validate_sheet_name(FMappe, name.c_str()); e != LXW_NO_ERROR) {
      fehler = "Ungültiger Blattname \"" + name + "\": " + lxw_strerror(e);
      return nullptr;
    }
    return workbook_add_worksheet(FMappe, name.c_str());
  }

  // The header row of labels, then the rows; every cell of the range from
  // A1 to the last row and column carries the text format.
  void Fuellen(lxw_worksheet* ws, const TTabelle& t, const std::vector<std::string>& kopf,
               const std::vector<int>& zeilen, int zeilenImBereich) {
    const int spalten = t.Spalten();
    for (int s = 0; s < spalten; ++s)
      worksheet_write_string(ws, 0, static_cast<lxw_col_t>(s),
                             Zelltext(kopf[static_cast<size_t>(s)]).c_str(), FKopf);
    for (int r = 0; r < zeilenImBereich; ++r) {
      const auto zeile = static_cast<lxw_row_t>(r + 1);
      for (int s = 0; s < spalten; ++s) {
        const auto spalte = static_cast<lxw_col_t>(s);
        if (r >= static_cast<int>(zeilen.size())) {
          worksheet_write_blank(ws, zeile, spalte, FText);
          continue;
        }
        const TFeld& f = t.Schema().Felder[static_cast<size_t>(s)];
        const TWert& w = t.Wert(zeilen[static_cast<size_t>(r)], s);
        if (IstNull(w) || f.Typ == TFeldTyp::Nested) {
          worksheet_write_blank(ws, zeile, spalte, FText);
        } else if (IstZahlSpalte(f.Typ) && std::isfinite(AlsZahl(w))) {
          worksheet_write_number(ws, zeile, spalte, AlsZahl(w), FText);
        } else if (IstZahlSpalte(f.Typ)) {
          // A cell cannot hold an infinity or NaN as a number.
          worksheet_write_string(ws, zeile, spalte, CSVZahl(AlsZahl(w)).c_str(), FText);
        } else {
          worksheet_write_string(ws, zeile, spalte, Zelltext(WertText(f, w)).c_str(), FText);
        }
      }
    }
  }

  bool Schliessen(std::string& fehler) {
    const lxw_error e = workbook_close(FMappe);
    FMappe = nullptr;
    if (e != LXW_NO_ERROR) {
      fehler = "Die Datei " + FDatei + " kann nicht geschrieben werden: " + lxw_strerror(e);
      return false;
    }
    std::error_code ec;
    std::filesystem::rename(FTemp, FDatei, ec);
    if (ec) {
      fehler = "Die Datei " + FDatei + " kann nicht geschrieben werden: " + ec.message();
      return false;
    }
    FFertig = true;
    return true;
  }

 private:
  std::string FDatei, FTemp;
  lxw_workbook* FMappe = nullptr;
  lxw_format* FText = nullptr;
  lxw_format* FKopf = nullptr;
  bool FFertig = false;
};

std::vector<std::string> Beschriftungen(const TTabelle& t, bool psimAlsFD) {
  std::vector<std::string> r;
  for (const TFeld& f : t.Schema().Felder)
    r.push_back(psimAlsFD && f.Name == "PSIm" ? std::string("fD") : Anzeigename(f));
  return r;
}

}  // namespace

std::string ExcelCellName(int zeile, int spalte) {
  if (spalte < 1 || spalte > 26 * 27) return {};
  std::string r;
  if (spalte > 26) r += static_cast<char>('A' + (spalte - 1) / 26 - 1);
  r += static_cast<char>('A' + (spalte - 1) % 26);
  return r + std::to_string(zeile);
}

std::string Anzeigename(const TFeld& f) {
  return f.Label.empty() ? f.Name : f.Label;
}


bool SaveModelToEXCEL(TDataModule1& dm, const TM3Model& m, const std::string& datei,
                      std::string& fehler) {
  struct Leeren {
    TDataModule1& dm;
    ~Leeren() { dm.CreateDatabase(); }
  } leeren{dm};
  TMappe mappe(datei);
  if (!mappe.Ok()) {
    fehler = "Die Datei " + datei + " kann nicht angelegt werden.";
    return false;
  }
  dm.CreateDatabase();
  dm.SaveComponents(m);

  const TTabelle& hyd = dm.T("CDSHyd");
  for (const auto& [code, t] : dm.Dateien) {
    lxw_worksheet* ws = mappe.Blatt(t->Schema().Name, fehler);
    if (!ws) return false;
    // One row per master record for which the table holds a record: the
    // first such record.
    std::vector<int> zeilen;
    for (int h = 0; h < hyd.Anzahl(); ++h) {
      if (t == &hyd) {
        zeilen.push_back(h);
        continue;
      }
      const int32_t id = AlsGanzzahl(hyd.Wert(h, "ID"), -1);
      if (const int d = t->Finde("ID", id); d >= 0) zeilen.push_back(d);
    }
    mappe.Fuellen(ws, *t, Beschriftungen(*t, true), zeilen, hyd.Anzahl());
  }
  return mappe.Schliessen(fehler);
}

bool SaveDataSetToEXCEL(const TTabelle& t, const std::string& datei, const std::string& blatt,
                        std::string& fehler) {
  TMappe mappe(datei);
  if (!mappe.Ok()) {
    fehler = "Die Datei " + datei + " kann nicht angelegt werden.";
    return false;
  }
  lxw_worksheet* ws = mappe.Blatt(blatt, fehler);
  if (!ws) return false;
  std::vector<int> zeilen;
  for (int r = 0; r < t.Anzahl(); ++r) zeilen.push_back(r);
  mappe.Fuellen(ws, t, Beschriftungen(t, false), zeilen, t.Anzahl());
  return mappe.Schliessen(fehler);
}

}  // namespace t21
