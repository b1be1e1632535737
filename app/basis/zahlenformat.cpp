#include "app/basis/zahlenformat.h"

namespace t21 {

TZahlenformat ZahlenformatAus(const QLocale& l) {
  TZahlenformat f;
  f.Dezimal = l.decimalPoint().toStdString();
  // Qt's short format may carry a two-digit year ("dd.MM.yy"); the tabular
  // text keeps the full year so that a spreadsheet reads the date
  // unambiguously.
  QString datum = l.dateFormat(QLocale::ShortFormat);
  if (!datum.contains(QStringLiteral("yyyy")))
    datum.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  f.Datum = datum.toStdString();
  return f;
}

}  // namespace t21
