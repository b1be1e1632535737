#include "app/basis/hilfe.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace t21 {

QString HilfeSeite(const QString& kontext) {
  const QString pfad = QStringLiteral(":/t21/hilfe/%1.html").arg(kontext);
  return QFile::exists(pfad) ? pfad : QString();
}

void ZeigeHilfe(QWidget* eltern, const QString& kontext) {
  static QPointer<QTextBrowser> fenster;
  if (!fenster) {
    fenster = new QTextBrowser;
    fenster->setAttribute(Qt::WA_DeleteOnClose);
    fenster->setWindowTitle(QStringLiteral("Hilfe"));
    fenster->resize(620, 520);
  }
  (void)eltern;
  QString seite = HilfeSeite(kontext);
  if (seite.isEmpty()) seite = HilfeSeite(QStringLiteral("hauptfenster"));
  fenster->setSource(QUrl(QStringLiteral("qrc") + seite));
  fenster->show();
  fenster->raise();
}

}  // namespace t21
