// The user's number and date settings for the tabular text (clipboard and
// ".CSV"), from the application's locale.
#pragma once

#include <QLocale>

#include "storage/export_csv.h"

namespace t21 {

// The decimal separator and the short date format of the locale (by
// default the application's, German unless the user chose otherwise).
TZahlenformat ZahlenformatAus(const QLocale& l = QLocale());

}  // namespace t21
