// The open project: its model, its project tables, its file name and its
// revision. Every edit goes through a commit on the document: one undo step,
// one double compute pass, one change notice.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/network.h"
#include "storage/projektdatei.h"
#include "storage/projekttabellen.h"

namespace t21 {

class TTabelle;

// What a push, an undo or a redo changed, by shape id. Links that changed
// count as a change of the shape whose link it is and of the shapes whose
// upstream lists changed.
struct TAenderung {
  enum class TArt { Bearbeitet, Rueckgaengig, Wiederholt, Neu };
  TArt Art = TArt::Bearbeitet;
  std::string Titel;  // of the step ("Verschieben")
  uint64_t Revision = 0;
  std::vector<uint64_t> Hinzugefuegt, Entfernt, Geaendert;
  bool Modell = false;  // the model-wide settings changed
};

// The model-wide settings stored with a project.
struct TModellWerte {
  TSchrift Font;
  std::vector<std::string> PrintList;
  TAnsichtEinstellungen ParViewSettings;
  bool AutoOeffnen = false;
  bool AmRasterAusrichten = false;
  TReferenzListen Referenz;
};

class TDokument;

// One edit being staged. Edits apply to the model at once; what was there
// before each touched shape is kept. Push on the document completes it; a
// commit that is dropped without a push is rolled back.
class TCommit {
 public:
  TCommit(TCommit&& c) noexcept;
  TCommit& operator=(TCommit&&) = delete;
  ~TCommit();

  // The model being edited. Links, the order of shapes, creating and
  // deleting may go freely through it; a change of a shape's own data
  // (position, name, attributes, element values) must be announced with
  // Aendern first.
  TM3Model& Model();
  // Keeps the state of the shape before the edit; returns it for editing.
  TCadShape* Aendern(uint64_t id);
  TCadShape* Aendern(const TCadShape* s) { return s ? Aendern(s->Id) : nullptr; }
  // A new element or graphic shape, as the editor creates it.
  TCadShape* Erzeuge(std::string_view typ, std::string_view name, double x, double y);
  // Removes a shape: its inflows go to the root, overflows onto it are
  // dropped.
  void Entferne(uint64_t id);
  // Renames an element shape (the caller has checked the name).
  void Umbenennen(uint64_t id, const std::string& name);
  // Keeps the model-wide settings before the edit.
  void AendereModell();

  const std::string& Titel() const { return FTitel; }

 private:
  friend class TDokument;
  TCommit(TDokument& d, std::string titel);
  void Vormerken(const TCadShape& s);

  TDokument* FDok;
  std::string FTitel;
  std::vector<TStrukturEintrag> FStrukturVorher;
  std::shared_ptr<TTabelle> FVorher;     // rows of the shapes before
  std::map<uint64_t, int> FZeileVorher;  // id -> row in FVorher
  std::vector<uint64_t> FAngesagt;       // Aendern, in order
  std::optional<TModellWerte> FModellVorher;
  bool FOffen = true;
};

class TDokument {
 public:
  // A new project: the root alone, computed once.
  TDokument();
  ~TDokument();
  TDokument(const TDokument&) = delete;
  TDokument& operator=(const TDokument&) = delete;

  // Opens a project file (base name without ".T21"). Null with e.Fehler set
  // when it cannot be read; the file is never written.
  static std::unique_ptr<TDokument> Oeffnen(const std::string& dateiname, TLadeErgebnis& e);

  // Saves under the file name (SpeichernUnter: a new one). A failed save
  // leaves the project as modified as it was.
  bool Speichern(std::string& fehler);
  bool SpeichernUnter(const std::string& dateiname, std::string& fehler);

  const TM3Model& Model() const { return *FModel; }
  const TDataModule1& Tabellen() const { return FTabellen; }
  // The tables whose column defaults new elements receive, for the defaults
  // editor (defaults are settings of the program, not an edit of the
  // project; they are written into the ".DEF" file when it is saved).
  TDataModule1& VorgabenTabellen() { return FTabellen; }
  const std::string& DateiName() const { return FModel->FileName; }
  void SetzeDateiName(const std::string& name) { FModel->FileName = name; }

  // The revision of the current state. Undo and redo return to the
  // revisions they left, so a project undone to its saved state is
  // unchanged again.
  uint64_t Revision() const { return FRevision; }
  bool Modified() const { return FRevision != FGespeichert; }

  // View state: the selection and the current element. Not an edit.
  TAuswahl& Auswahl() { return FModel->Auswahl; }
  const TAuswahl& Auswahl() const { return FModel->Auswahl; }
  // The inflow of an element as the compute pass gathers it (for the result
  // bar and the dialogs); nothing of the project changes.
  const TElement& Zufluss(uint64_t id) const;

  // Edits.
  TCommit Beginne(std::string titel);
  void Push(TCommit& c);
  bool KannRueckgaengig() const { return FSchritt > 0; }
  bool KannWiederholen() const { return FSchritt < FSchritte.size(); }
  std::string RueckgaengigTitel() const;
  std::string WiederholenTitel() const;
  void Rueckgaengig();
  void Wiederholen();

  // Change notices, after every push, undo and redo.
  using TBeobachter = std::function<void(const TAenderung&)>;
  int Beobachte(TBeobachter b);
  void Abmelden(int nummer);

  // At most this many undo steps are kept.
  size_t MaxSchritte = 200;

 private:
  friend class TCommit;
  // One undo step: both sides of an edit.
  struct TSchritt {
    std::string Titel;
    uint64_t RevVorher = 0, RevNachher = 0;
    std::vector<TStrukturEintrag> StrukturVorher, StrukturNachher;
    std::shared_ptr<TTabelle> Vorher, Nachher;  // shape rows
    std::map<uint64_t, int> ZeileVorher, ZeileNachher;
    std::vector<uint64_t> Hinzu, Weg, Geaendert;  // Geaendert: own data
    std::vector<uint64_t> Verbunden;              // links or upstream lists only
    std::optional<TModellWerte> ModellVorher, ModellNachher;
  };

  // Brings the model to one side of a step.
  void Anwenden(const TSchritt& s, bool vorwaerts);
  // Undo (vorwaerts false) or redo of a step: apply, compute, tell.
  void Gehe(const TSchritt& s, bool vorwaerts);
  // The change notice of a step, for the current revision.
  TAenderung Notiz(const TSchritt& s, TAenderung::TArt art) const;
  TSchritt Abschluss(TCommit& c);
  void Melden(const TAenderung& a);
  uint64_t NeueRevision() { return ++FLetzteRevision; }

  std::unique_ptr<TM3Model> FModel;
  TDataModule1 FTabellen;
  uint64_t FRevision = 0, FGespeichert = 0, FLetzteRevision = 0;
  std::vector<TSchritt> FSchritte;
  size_t FSchritt = 0;  // steps up to here are done; the rest can be redone
  bool FCommitOffen = false;
  std::map<int, TBeobachter> FBeobachter;
  int FNaechsterBeobachter = 1;
};

}  // namespace t21
