// Opening the tool windows from the main window's menus and from the
// catchment dialog: one call each.
#pragma once

#include <vector>

#include "tools/ganglinieneditor.h"

class QWidget;

namespace t21 {

class TDialoge;
class TDokument;

// "&Zusätzlich" -> "&Regionalisierungs-Rechner": modal, with the rain
// series of the current project.
void RegioRechnerZeigen(QWidget* eltern, const TDokument& dok, TDialoge& dialoge);
// "&Zusätzlich" -> "&UPN-Rechner" and the speed button "Rechner": the
// program's one calculator, modal.
void UpnRechnerZeigen(TDialoge& dialoge);
// The hydrograph editor for the list of that kind, modal; true when a new
// hydrograph was appended (it is then the last entry of the project's list).
bool GanglinieNeu(QWidget* eltern, TDokument& dok, TGanglinienArt art, TDialoge& dialoge);
// "&Ansicht" -> "&Standardvorgaben": the defaults of the current project's
// tables; with "&OK" they are set there and copied into the other open
// projects' tables, since defaults hold for the whole program. True on OK.
bool StandardvorgabenZeigen(QWidget* eltern, TDokument& dok, const std::vector<TDokument*>& andere,
                            TDialoge& dialoge);

}  // namespace t21
