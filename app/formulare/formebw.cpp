// The structure dialog: CSO tank, CSO overflow, stormwater clarifier.
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/formulare/formen.h"
#include "model/structures.h"

namespace t21 {

void TFormEBW::SeitenAufbauen() {
  const bool ru = FTyp == "RU", rkb = FTyp == "RKB", rub = FTyp == "RUB";
  setWindowTitle(ru    ? QStringLiteral("Regenüberlauf")
                 : rkb ? QStringLiteral("Regenklärbecken")
                       : QStringLiteral("Regenüberlaufbecken"));
  FHilfeKontext = ru ? 19000 : rkb ? 20000 : 18000;
  FHilfeSeite = QStringLiteral("bauwerk");
  Feld(FHydraulik, "CDSEbw", "QM");
  TRaster speicher = Gruppe(FHydraulik, QStringLiteral("Speicher"));
  Feld(speicher, "CDSEbw", "V");
  Feld(speicher, "CDSEbw", "MaxQKUE");
  Feld(speicher, "CDSEbw", "Nebenschluss");
  if (ru) speicher.Gitter->parentWidget()->hide();
  Feld(FHydraulik, "CDSEbw", "Ased");
  FeldZeigen("CDSEbw.Ased", rkb);
  Feld(FHydraulik, "CDSEbw", "xDI");
  FeldZeigen("CDSEbw.xDI", rub);
  TRaster o2 = Gruppe(FHydraulik, QStringLiteral("Sauerstoffdefizit"));
  Feld(o2, "CDSEbw", "O2DefizitKUE");
  Feld(o2, "CDSEbw", "O2DefizitBUE");
  if (ru) {
    SetzeLabel("CDSEbw.O2DefizitKUE", QStringLiteral("Überlauf"));
    FeldZeigen("CDSEbw.O2DefizitBUE", false);
  }

  FBemessung = new QTreeWidget;
  FBemessung->setHeaderLabels({QStringLiteral("Bezeichner"), QStringLiteral("Größe"),
                               QStringLiteral("Wert"), QStringLiteral("Dimension")});
  FBemessung->setRootIsDecorated(false);
  FBemessung->setUniformRowHeights(true);
  FBemessung->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  NeueErgebnisseite(QStringLiteral("Bemessung"), FBemessung);
  FErgebnisse->setCurrentWidget(ru ? static_cast<QWidget*>(FListeAblauf) : FBemessung);
}

void TFormEBW::ErgebnisseZeigen() {
  const auto* b = dynamic_cast<const TEBW*>(FKopie.get());
  if (!b || !FBemessung) return;
  const auto zeilen = b->Bemessungsliste(TRechnung{*FZulauf, Netz()});
  // Filled from the first row on, rows added as needed.
  while (FBemessung->topLevelItemCount() > static_cast<int>(zeilen.size()))
    delete FBemessung->takeTopLevelItem(FBemessung->topLevelItemCount() - 1);
  for (size_t i = 0; i < zeilen.size(); ++i) {
    QTreeWidgetItem* it = FBemessung->topLevelItem(static_cast<int>(i));
    if (!it) {
      it = new QTreeWidgetItem(FBemessung);
      it->setTextAlignment(2, Qt::AlignRight);
    }
    const TBemessungszeile& z = zeilen[i];
    it->setText(0, QString::fromStdString(z.Bezeichner));
    it->setText(1, QString::fromStdString(z.Groesse));
    it->setText(2, QString::fromStdString(z.Wert));
    it->setText(3, QString::fromStdString(z.Dimension));
  }
}

}  // namespace t21
