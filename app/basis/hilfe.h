// The help window: the German help page of a window's help context, from
// the pages shipped with the program.
#pragma once

#include <QString>

class QWidget;

namespace t21 {

// The page of a help context ("hauptfenster", "adresse", ...); its
// resource path, empty for an unknown context.
QString HilfeSeite(const QString& kontext);
// Opens (or brings up) the help window with the page of kontext.
void ZeigeHilfe(QWidget* eltern, const QString& kontext);

}  // namespace t21
