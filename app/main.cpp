// Tamkor21, the application: Qt in German, the main window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QTranslator>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamkor21"));

  // Numbers, dates and Qt's own dialogs in German, whatever the system says.
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTranslator qtTexte;
  if (qtTexte.load(QStringLiteral("qtbase_de"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexte);
  }

  QMainWindow fenster;
  fenster.setWindowTitle(QStringLiteral("QTZ Tamkor21"));
  fenster.resize(1024, 768);
  fenster.show();
  return app.exec();
}
