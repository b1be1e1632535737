// The main window: menus, tool bar, the drawing with the overview, the
// element list, the result bar and the status bar, and the list of open
// projects (one current). Every change of a project goes through its
// document; the window follows the document's change notices and never
// computes the network itself.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "app/adresse.h"
#include "cad/shape.h"
#include "model/project.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QToolBar;

namespace t21 {

class TDialoge;
class TDokument;
class TEditor;
class TErgebnisleiste;
class TFormKalibrierHilfe;
struct TLangzeitlauf;
class TZeichenAnsicht;

inline constexpr const char* kTitel = "QTZ Tamkor21";
inline constexpr const char* kFrageSpeichern = "Änderungen jetzt speichern?";
inline constexpr const char* kKeinProjektOrdner =
    "In diesem Ordner können Sie kein Projekt speichern.\rWählen Sie bitte einen anderen Ordner.";
inline constexpr const char* kAnderesModellOffen =
    "Unter diesem Namen ist bereits ein anderes Modell geöffnet.\rWählen Sie bitte einen anderen "
    "Namen.";

class TMainFrm : public QMainWindow {
  Q_OBJECT

 public:
  // programmordner: where the program's own files are read (empty: the
  // program file's folder).
  explicit TMainFrm(TDialoge& dialoge, QString programmordner = {}, QWidget* parent = nullptr);
  ~TMainFrm() override;

  // What happens when the window is first shown: the information box
  // (closing itself after 30 s) unless infoBox is false, one new project.
  void Starte(bool infoBox = true);
  // The project named on the command line: opened at start instead of a
  // new one (a new one when it cannot be opened).
  void SetzeStartdatei(const QString& datei) { FStartdatei = datei; }

  // The open projects, in the order of the menu "&Modelle".
  int ModellAnzahl() const { return static_cast<int>(FModelle.size()); }
  TDokument& Modell(int i) const { return *FModelle[static_cast<size_t>(i)].Dok; }
  int AktuellerIndex() const { return FAktuell; }
  TDokument* Aktuell() const;
  QMenu* ModelleMenue() const { return FModelleMenue; }
  QComboBox* ElementBox() const { return FElementBox; }
  TErgebnisleiste* Ergebnisleiste() const { return FErgebnis; }
  QToolBar* Werkzeugleiste() const { return FWerkzeuge; }
  // An action by its object name (the handler's name, "Datei_NeuClick").
  QAction* Aktion(const QString& name) const;
  const QString& Programmordner() const { return FProgrammordner; }
  // Where the program writes its own files: the program folder, or the
  // user's data folder when the program folder cannot be written.
  const QString& Datenordner() const { return FDatenordner; }
  // The default hydrographs of the program folder ("TWGanglinien.XML",
  // "FWGanglinien.XML"), read at start; none when the folder has neither.
  const std::optional<TReferenzListen>& ProgrammGanglinien() const { return FProgrammReferenz; }

  // Commands. The bool ones return whether they were carried out.
  void Datei_NeuClick();
  bool Datei_OeffnenClick();
  bool Oeffne(const QString& datei);
  bool Datei_SchliessenClick();
  bool Datei_SpeichernClick();
  bool Datei_SpeichernUnterClick();
  void Umschalten(int index);
  void Info(bool start);
  // The address dialog; modal unless ausfuehren is false (then it is
  // returned open, for a test to fill in).
  TAdresseDialog* Adresse(bool ausfuehren = true);
  TProgrammtabelle& Adresstabelle() { return FAdresse; }
  TProgrammtabelle& Strassentabelle() { return FStrassen; }

  // Makes the shape with this id current (element list, result bar).
  void KnotenClick(uint64_t id);
  // The editor of a shape: the element's dialog for a network shape (the
  // root's project dialog included), "Grafik-Einstellungen" for a graphic
  // shape.
  void ElementDialogOeffnen(uint64_t id);
  // The value of a title block: the user's name, the address record and
  // the project record, twelve fields separated by "#".
  std::string TitelblockWert() const;
  // Refills every title block of the current project (one commit); after
  // the address dialog and the project dialog.
  void TitelblockeFuellen();
  // The drawing, its editor and the overview navigator.
  TZeichenAnsicht* Zeichnung() const { return FAnsicht; }
  TZeichenAnsicht* Uebersicht() const { return FUebersicht; }
  TEditor* Editor() const { return FEditor; }
  const TCadModel& UebersichtModell() const { return FUebersichtModell; }
  // The frame "Ausschnitt" follows the visible part of the drawing.
  void UebersichtAktualisieren();
  // The value fields of the status bar: mouse, element, X1, Y1, X2, Y2,
  // zoom, count, changes.
  QString Statusfeld(int i) const;
  // Refreshes the result bar for the current element.
  void ShowResults();
  // The last finished long run of a project (null: none), which the event
  // windows re-simulate from.
  std::shared_ptr<const TLangzeitlauf> Langzeitlauf(const TDokument* d) const;
  // "Ereignis-Grafik" / "Ereignis-Tabelle" of the object menu for a shape
  // of the current project.
  void EreignisOeffnen(uint64_t id, bool grafik);
  // The calibration window once "&Modell-Abgleich" has opened it.
  TFormKalibrierHilfe* Kalibrierung() const;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // A click on an element in the drawing makes it current.
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  struct TOffen {
    std::unique_ptr<TDokument> Dok;
    int Beobachter = 0;
    QAction* Eintrag = nullptr;
    // The view of the project while another one is current.
    std::optional<TAnsichtEinstellungen> Ansicht;
    // The events and start states of its last finished long run.
    std::shared_ptr<const TLangzeitlauf> Lauf;
  };

  void MenuesAnlegen();
  void WerkzeugleisteAnlegen();
  QAction* Neu(QMenu* m, const QString& name, const QString& text, const QKeySequence& k = {},
               bool aktiv = true);
  // The question before a project is dropped: Nein when unchanged; a Ja
  // whose save does not happen counts as Abbrechen.
  int FrageVorDemSchliessen();
  bool Schliessen(int index, bool vomMenue);
  void Aufnehmen(std::unique_ptr<TDokument> d);
  void Anzeigen();
  void ElementlisteFuellen();
  void Beschriftung();
  void Statusleiste();
  void Befehl(const char* name, void (TEditor::*f)());
  bool Navigator(QEvent* e);
  void Befehle();
  void Geaendert(TDokument* d);
  bool SpeichernAls(const QString& basis);
  bool IstProgrammordner(const QString& basis) const;
  int IndexVon(const QString& basis) const;
  QString Anzeigename(const TDokument& d) const;
  void ExportCSV();
  void ExportExcel();
  void ExportBild();
  void FensterDrucken();
  void Ansichtsschalter();

  TDialoge& FDialoge;
  QString FProgrammordner, FDatenordner;
  std::vector<TOffen> FModelle;
  int FAktuell = -1;
  bool FGestartet = false;
  QString FStartdatei;
  // The hydrographs of the program folder, which new projects take.
  std::optional<TReferenzListen> FProgrammReferenz;
  bool FFuelleListe = false;

  TZeichenAnsicht* FAnsicht = nullptr;
  TZeichenAnsicht* FUebersicht = nullptr;
  TCadModel FUebersichtModell{"Übersicht"};
  QComboBox* FElementBox = nullptr;
  TErgebnisleiste* FErgebnis = nullptr;
  QToolBar* FWerkzeuge = nullptr;
  QMenu* FModelleMenue = nullptr;
  TEditor* FEditor = nullptr;
  std::vector<QLabel*> FStatusFelder;
  double FMausX = 0, FMausY = 0;
  uint64_t FMausShape = 0;
  bool FNavigatorZug = false;
  QPoint FNavigatorLetzter;
  std::vector<QAction*> FGrafikKnoepfe, FHydroKnoepfe;
  TProgrammtabelle FAdresse{QStringLiteral("Adresse.CDS"),
                            {"STRASSE", "PLZ", "ORT", "TELEFON", "FAX", "EMAIL"}};
  TProgrammtabelle FStrassen{QStringLiteral("Strassen.CDS"), {"STRASSE"}};
  bool FTabellenOffen = false;
  QPointer<TFormKalibrierHilfe> FKalibrierung;
};

}  // namespace t21
