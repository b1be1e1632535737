// Tamkor21, the application: Qt in German, the main window; a project named
// on the command line is opened at start.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/basis/dialoge.h"
#include "app/hauptfenster.h"
#include "cli/weiterreichen.h"

int main(int argc, char* argv[]) {
  t21::LaufzeitordnerVorbereiten();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamkor21"));
  QApplication::setDesktopFileName(QStringLiteral("tamkor21"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/t21/tamkor21.svg")));

  // Numbers, dates and Qt's own dialogs in German, whatever the system says.
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTranslator qtTexte;
  if (qtTexte.load(QStringLiteral("qtbase_de"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexte);
  }

  t21::TQtDialoge dialoge;
  t21::TMainFrm fenster(dialoge);
  const QStringList argumente = QApplication::arguments();
  if (argumente.size() > 1) fenster.SetzeStartdatei(argumente.at(1));
  fenster.show();
  return app.exec();
}
