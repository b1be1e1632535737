// The discharge-point dialog "Einleitungsstelle".
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "app/formulare/formen.h"
#include "model/discharge.h"

namespace t21 {

void TFormEST::SeitenAufbauen() {
  setWindowTitle(QStringLiteral("Einleitungsstelle"));
  FHilfeKontext = 16000;
  FHilfeSeite = QStringLiteral("einleitungsstelle");
  TRaster& h = FHydraulik;
  TRaster ein = Gruppe(h, QStringLiteral("Einflussbereich"));
  for (const char* s : {"SOLO", "SOLU", "LEN"}) Feld(ein, "CDSEst", s);
  TRaster mit = Gruppe(h, QStringLiteral("Mittelwerte des Einflussbereichs"));
  for (const char* s : {"BSO", "HB", "BWSP", "KST", "HMNQ", "VMNQ"}) Feld(mit, "CDSEst", s);
  TRaster hrb = Gruppe(h, QStringLiteral("Gewässerprofilaufweitung / HRB"));
  for (const char* s : {"QD", "Volumen", "Abflussdrosselung"}) Feld(hrb, "CDSEst", s);

  TRaster hy = NeueSeite(QStringLiteral("Hydrologie"), 1);
  TRaster schutz = Gruppe(hy, QStringLiteral("Schutzbedürftigkeit"));
  for (const char* s : {"QUELLE", "QUELLLAUF", "TEMPORAER", "ORGANISCH", "STAU", "Salmoniden"})
    Feld(schutz, "CDSEst", s);
  for (const char* s : {"AE0", "_MNQ", "_HQ1", "LQUELL"}) Feld(hy, "CDSEst", s);
  Auswahl(hy, "CDSEst", "LAGE", {QStringLiteral("Flachland"), QStringLiteral("Mittelgebirge")},
          {QStringLiteral("0"), QStringLiteral("1")}, true);
  Feld(hy, "CDSEst", "X");

  TRaster g = NeueSeite(QStringLiteral("Güte"), 2);
  TRaster vb = Gruppe(g, QStringLiteral("Hintergrundkonzentrationen bei MNQ"));
  for (const char* s : {"BSB", "NH4", "AFS", "CSB", "PH", "ALK"}) Feld(vb, "CDSEst", s);
  Auswahl(g, "CDSEst", "EUTROPH",
          {QStringLiteral("keine"), QStringLiteral("gering"), QStringLiteral("mittel"),
           QStringLiteral("hoch")},
          {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
  const QStringList guete{QStringLiteral("?"),      QStringLiteral("I"),
                          QStringLiteral("I-II"),   QStringLiteral("II"),
                          QStringLiteral("II-III"), QStringLiteral("III"),
                          QStringLiteral("III-IV"), QStringLiteral("IV")};
  Auswahl(g, "CDSEst", "GUETE", guete, guete);
  const QStringList struktur{QStringLiteral("?"), QStringLiteral("1"), QStringLiteral("2"),
                             QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                             QStringLiteral("6"), QStringLiteral("7")};
  Auswahl(g, "CDSEst", "STRUKTUR", struktur, struktur);
  QPushButton* gk2 = Knopf(g, QStringLiteral("Standardwerte Güteklasse II"));
  gk2->setObjectName(QStringLiteral("GK2Standard"));
  connect(gk2, &QPushButton::clicked, this, [this] {
    FDM->EST_GK2_Standard();
    ZeigeWerte();
    Rechnen();
  });

  TRaster w = NeueSeite(QStringLiteral("Wiederbesiedlungspotenzial"), 3);
  const QStringList klassen{QStringLiteral("?"), QStringLiteral("1"), QStringLiteral("2"),
                            QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                            QStringLiteral("6"), QStringLiteral("7")};
  const QStringList klassenWerte{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                 QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                 QStringLiteral("6"), QStringLiteral("7")};
  Auswahl(w, "CDSEst", "WBP1StrukturO", klassen, klassenWerte);
  Auswahl(w, "CDSEst", "WBP1StrukturU", klassen, klassenWerte);
  Feld(w, "CDSEst", "WBP1ZuflussO");
  Feld(w, "CDSEst", "WBP1ZuflussU");
  const QStringList hindernis{QStringLiteral("keine Angabe"), QStringLiteral("keine"),
                              QStringLiteral("einzelne"), QStringLiteral("viele")};
  const QStringList hWerte{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                           QStringLiteral("3")};
  Auswahl(w, "CDSEst", "WBP1AufUndAb", hindernis, hWerte);
  Auswahl(w, "CDSEst", "WBP1Aufwander", hindernis, hWerte);

  // Result pages: the charts, the river section and the hydraulics.
  ErgebnisseiteZeigen(QStringLiteral("Abschlag"), false);
  for (int i = 0; i < FErgebnisse->count(); ++i)
    if (FErgebnisse->tabText(i) == QLatin1String("Zulauf"))
      FErgebnisse->setTabText(i, QStringLiteral("Einleitungen"));
  FGewaesser = NeueParameterliste(this);
  NeueErgebnisseite(QStringLiteral("Gewässerabschnitt"), FGewaesser);
  FHydraulikListe = new QTreeWidget;
  QStringList kopf{QStringLiteral("Größe"), QStringLiteral("Einheit")};
  for (double q : kQr) kopf << QLocale().toString(q);
  FHydraulikListe->setHeaderLabels(kopf);
  FHydraulikListe->setRootIsDecorated(false);
  FHydraulikListe->setUniformRowHeights(true);
  FHydraulikListe->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  const char* zeilen[13][2] = {
      {"Q", "l/s"},      {"h", "m"},      {"v", "m/s"},       {"hm", "m"}, {"A", "m^2"},
      {"K2", "h^-1"},    {"T krit", "h"}, {"D krit", "mg/l"}, {"TF", "h"}, {"D (tf)", "mg/l"},
      {"D (A)", "mg/l"}, {"O2", "mg/l"},  {"NH3-N", "mg/l"}};
  for (const auto& z : zeilen) {
    auto* it = new QTreeWidgetItem(FHydraulikListe);
    it->setText(0, QString::fromUtf8(z[0]));
    it->setText(1, QString::fromUtf8(z[1]));
    for (int c = 2; c < FHydraulikListe->columnCount(); ++c)
      it->setTextAlignment(c, Qt::AlignRight);
  }
  NeueErgebnisseite(QStringLiteral("Hydraulik"), FHydraulikListe);
  auto* charts = new QWidget;
  auto* cl = new QHBoxLayout(charts);
  cl->setContentsMargins(0, 0, 0, 0);
  const QString x = QStringLiteral("qrab [l/(s*ha)]");
  FO2 = NeuesDiagramm(QStringLiteral("O2 [mg/l]"), x, QStringLiteral("mg/l"));
  FNH3 = NeuesDiagramm(QStringLiteral("NH3-N [mg/l]"), x, QStringLiteral("mg/l"));
  FAFS = NeuesDiagramm(QStringLiteral("AFS63 [mg/l]"), x, QStringLiteral("mg/l"));
  for (QWidget* d : {FO2, FNH3, FAFS}) cl->addWidget(d);
  NeueErgebnisseite(QStringLiteral("Diagramme"), charts, 0);
  FErgebnisse->setCurrentIndex(0);
}

void TFormEST::ErgebnisseZeigen() {
  const auto* e = dynamic_cast<const TEST*>(FKopie.get());
  if (!e) return;
  const double o2 = Netz().cO2sat;
  ZeigeDaten(FGewaesser, e->CG, o2);
  std::vector<double> x(kQr.begin(), kQr.end()), yo2, ynh3, yafs;
  for (int i = 0; i < kAnzahlQr; ++i) {
    const TAbflussParameter& a = e->AP[i];
    const TParameter& c = e->CG[i];
    const double werte[13] = {c.Q,  a.H,       a.V,   a.HM, a.A,   a.K2 / 24, a.Tc * 24,
                              a.Dc, a.TF * 24, a.Dtf, a.Da, a.cO2, a.cNH3};
    for (int z = 0; z < 13; ++z)
      FHydraulikListe->topLevelItem(z)->setText(i + 2, QLocale().toString(werte[z], 'f', 2));
    yo2.push_back(a.cO2);
    ynh3.push_back(a.cNH3);
    yafs.push_back(c.cAFS());
  }
  const double nh3 = *std::max_element(ynh3.begin(), ynh3.end());
  const double afs = *std::max_element(yafs.begin(), yafs.end());
  SetzeKurve(FO2, x, yo2, 5.0);
  SetzeKurve(FNH3, x, ynh3, 0.1, std::max(nh3 + 0.01, 0.12));
  SetzeKurve(FAFS, x, yafs, std::nullopt, std::max(std::floor(afs / 100) * 100 + 100, 200.0));
}

}  // namespace t21
