// The common element dialog: the pages "Hydraulik", "Lage", "Notiz",
// "Grafik" and "Script", the result area "Zulauf", "Ablauf", "Abschlag" and
// the status bar with the input hints. The dialog edits a working copy of
// the element's records and computes a copy of the element after every
// change; the document is touched only by OK, as one commit. Cancel, Esc
// and closing the window leave the project as it was.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/shape.h"
#include "storage/felder.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QHBoxLayout;
class QTabWidget;
class QTreeWidget;

namespace t21 {

class TDialoge;
class TDokument;
class TElement;
class TNET;
class TParameterArray;
class TZahlFeld;

// A page (or a group on it) whose rows are label, control and unit.
struct TRaster {
  QGridLayout* Gitter = nullptr;
  int Zeile = 0;
};

// Writes the set of each rain-runoff rate into its column of a result list
// ("Parameter", "qrab =", "0" ... "128"; eight rows).
void ZeigeDaten(QTreeWidget* liste, const TParameterArray& a, double o2sat);
// A result list with the columns and rows that ZeigeDaten fills.
QTreeWidget* NeueParameterliste(QWidget* eltern);

class TMusterForm : public QDialog {
  Q_OBJECT

 public:
  // The dialog of the element of shape id in dok.
  TMusterForm(TDokument& dok, uint64_t id, TDialoge& dialoge, QWidget* eltern = nullptr);
  ~TMusterForm() override;

  // Builds the kind's pages and computes once; called by OeffneElementDialog
  // and by tests after construction.
  void Aufbauen();

  // The program's street list ("Strassen.CDS"), which every dialog offers
  // and "neu..." extends; without it the project's street table is used.
  // Not owned; set by the main window once the list is open.
  static void SetzeStrassentabelle(TTabelle* t);
  // A control of the caller at the left of the OK button row (the main
  // window's result bar switch).
  void KnopfVorne(QWidget* w);

  uint64_t Id() const { return FId; }
  const std::string& TableName() const { return FTableName; }
  int HilfeKontext() const { return FHilfeKontext; }
  QTabWidget* Seiten() const { return FSeiten; }
  QTabWidget* Ergebnisse() const { return FErgebnisse; }
  QStatusBar* Statusleiste() const { return FStatus; }
  // The page of that caption (null when it does not exist or is hidden).
  QWidget* Seite(const QString& titel) const;
  QStringList SichtbareSeiten() const;
  QStringList SichtbareErgebnisse() const;
  // The control of a field ("CDSKEZ.ED"), null when the dialog has none.
  QWidget* Steuerung(const std::string& schluessel) const;
  // The label shown for a field.
  QString Beschriftung(const std::string& schluessel) const;
  // The limits and the hint of a field as the status bar shows them.
  QString Hinweis(const std::string& schluessel) const;
  // The element as the dialog computed it last, with the inflow gathered for it.
  const TElement& Kopie() const { return *FKopie; }
  const TElement& Zulauf() const { return *FZulauf; }
  TDataModule1& Arbeitstabellen() { return *FDM; }
  QTreeWidget* Liste(const QString& ergebnisseite) const;
  QPlainTextEdit* Scriptmeldungen() const { return FScriptMeldungen; }

  // The live computation: controls into the records, the records into the
  // copy, the copy computed, the result pages filled.
  void Rechnen();
  // The script check of the page "Script".
  void ScriptPruefen();
  // A default for the focused control (F4) or back to the standard (F5).
  void VorgabeSetzen(QWidget* w);
  void StandardSetzen(QWidget* w);

  // A faulty field blocks OK; this is its message, empty when all is well.
  QString Eingabefehler(QWidget** feld = nullptr) const;

 public slots:
  void accept() override;

 signals:
  void HilfeVerlangt(const QString& kontext);

 protected:
  struct TBindung {
    enum class TArt { Zahl, Text, Memo, Haken, Auswahl, Optionen, Datum };
    TFeldBeschreibung F;
    TArt Art = TArt::Zahl;
    QWidget* W = nullptr;
    QLabel* Label = nullptr;
    QLabel* Einheit = nullptr;
    QStringList Werte;  // Auswahl and Optionen: the stored value per entry
    QButtonGroup* Gruppe = nullptr;
    std::optional<double> Min, Max;  // the limits in force for this dialog
    bool Verborgen = false;          // hidden for this kind
  };

  // The kind's pages; the base builds none of its own.
  virtual void SeitenAufbauen() {}
  // What the copy takes besides its records (sub-areas).
  virtual void Uebernehmen(TElement& e) { (void)e; }
  // The kind's result pages, after the base filled "Zulauf", "Ablauf" and
  // "Abschlag".
  virtual void ErgebnisseZeigen() {}
  // The project record the element computes with.
  const TNET& Netz() const;

  // Building.
  TRaster NeueSeite(const QString& titel, int index = -1);
  TRaster Gruppe(TRaster& r, const QString& titel);
  void Hinweistext(TRaster& r, const QString& text);
  TBindung* Feld(TRaster& r, const std::string& tabelle, const std::string& spalte,
                 const QString& label = {}, const QString& einheit = {});
  TBindung* Auswahl(TRaster& r, const std::string& tabelle, const std::string& spalte,
                    const QStringList& texte, const QStringList& werte, bool optionen = false);
  QPushButton* Knopf(TRaster& r, const QString& text);
  QWidget* NeueErgebnisseite(const QString& titel, QWidget* inhalt, int index = -1);
  void SeiteZeigen(const QString& titel, bool sichtbar);
  void ErgebnisseiteZeigen(const QString& titel, bool sichtbar);
  TBindung* Bindung(const std::string& schluessel);
  const TBindung* Bindung(const std::string& schluessel) const;
  const TBindung* BindungVon(const QWidget* w) const;
  // Shows or hides a field with its label and unit.
  void FeldZeigen(const std::string& schluessel, bool sichtbar);
  // Whether a field takes part (not hidden, its page shown).
  bool Aktiv(const TBindung& b) const;
  void SetzeLabel(const std::string& schluessel, const QString& label, const QString& einheit = {});
  void SetzeGrenzen(const std::string& schluessel, std::optional<double> min,
                    std::optional<double> max);
  // A value into a record and its control.
  void SetzeWert(const std::string& schluessel, const TWert& w);
  TWert Wert(const std::string& schluessel) const;
  // The records of the element's table to their design defaults
  // (the columns given), shown in the controls.
  void AufVorgaben(const std::string& tabelle, const std::vector<std::string>& spalten);
  // All controls from the records.
  void ZeigeWerte();

  bool eventFilter(QObject* o, QEvent* e) override;

  TDokument& FDok;
  uint64_t FId;
  TDialoge& FDialoge;
  std::string FTyp;
  std::string FTableName;
  int FHilfeKontext = 0;
  QString FHilfeSeite;

 public:
  const QString& HilfeSeite() const { return FHilfeSeite; }

 protected:
  std::unique_ptr<TDataModule1> FDM;
  std::unique_ptr<TElement> FKopie;
  std::unique_ptr<TElement> FZulauf;
  std::vector<std::unique_ptr<TBindung>> FBindungen;

  QTabWidget* FSeiten = nullptr;
  QTabWidget* FErgebnisse = nullptr;
  QHBoxLayout* FKnoepfe = nullptr;
  QStatusBar* FStatus = nullptr;
  QTreeWidget* FListeZulauf = nullptr;
  QTreeWidget* FListeAblauf = nullptr;
  QTreeWidget* FListeAbschlag = nullptr;
  TRaster FHydraulik;
  // Grafik
  TZahlFeld* FX1 = nullptr;
  TZahlFeld* FY1 = nullptr;
  QButtonGroup* FTextPos = nullptr;
  std::optional<TSchrift> FSchrift;  // chosen with the font button (FontChanged)

 public:
  // A font for the shape's caption, taken over by OK.
  void SetzeSchrift(const TSchrift& s) { FSchrift = s; }

 protected:
  // Script
  QPlainTextEdit* FScriptMeldungen = nullptr;
  std::vector<std::string> FTokens;
  bool FGeprueft = false;
  bool FLaedt = false;  // while controls are being filled

 private:
  void BasisSeitenAufbauen();
  void AusSteuerung(TBindung& b);
  void InSteuerung(TBindung& b);
  void Geaendert(TBindung& b);
  void NeueStrasse();
  void ProjektVorgabe(const std::string& tabelle, int spalte, const std::string& ausdruck);
  void ScriptLaden();
  void ScriptSpeichern();
  QComboBox* FStrasse = nullptr;
};

}  // namespace t21
