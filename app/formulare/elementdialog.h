// The entry point of the element dialogs for the main window.
#pragma once

#include <cstdint>
#include <memory>

class QWidget;

namespace t21 {

class TDialoge;
class TDokument;
class TMusterForm;

// The dialog of the element of shape id (not yet shown), or null for a
// shape without one (graphic shapes, AEO, AEK and the infiltration kinds).
std::unique_ptr<TMusterForm> ErzeugeElementDialog(TDokument& dok, uint64_t id, TDialoge& dialoge,
                                                  QWidget* eltern);
// Shows the dialog of the element modally; true when it was confirmed with
// OK (and the document has one commit more). False without a dialog.
bool OeffneElementDialog(TDokument& dok, uint64_t id, TDialoge& dialoge, QWidget* eltern);

}  // namespace t21
