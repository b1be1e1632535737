// The project record "geschlossenes Siedlungsgebiet".
#include <QPushButton>
#include <QTabWidget>
#include <cmath>

#include "app/formulare/formen.h"
#include "model/net.h"

namespace t21 {

namespace {
constexpr const char* kDauern[18] = {"R5",   "R10",  "R15",   "R20",   "R30",   "R45",
                                     "R60",  "R90",  "R120",  "R180",  "R240",  "R360",
                                     "R540", "R720", "R1080", "R1440", "R2880", "R4320"};
constexpr double kMinuten[18] = {5,   10,  15,  20,  30,  45,   60,   90,   120,
                                 180, 240, 360, 540, 720, 1080, 1440, 2880, 4320};
}  // namespace

void TFormNET::SeitenAufbauen() {
  setWindowTitle(QStringLiteral("geschlossenes Siedlungsgebiet"));
  FHilfeKontext = 11000;
  FHilfeSeite = QStringLiteral("projekt");
  SeiteZeigen(QStringLiteral("Hydraulik"), false);
  TRaster p = NeueSeite(QStringLiteral("Projekt"), 1);
  for (const char* s : {"NUMMER", "PROJEKTNAME", "DATUM", "VARIANTE", "AUFTRAGGEBER"})
    Feld(p, "CDSNet", s);
  TRaster h = NeueSeite(QStringLiteral("Hydrologie"), 2);
  Feld(h, "CDSNet", "HNA");
  Feld(h, "CDSNet", "PSIA");
  Feld(h, "CDSNet", "mNN");
  Auswahl(h, "CDSNet", "ZEBEV",
          {QStringLiteral("Fließzeitverfahren anwenden"),
           QStringLiteral("Direkteingabe Niederschlagsabfluss")},
          {QStringLiteral("0"), QStringLiteral("1")}, true);
  TRaster k = NeueSeite(QStringLiteral("Regenwasserkonzentrationen"), 3);
  Hinweistext(k, QStringLiteral("Die Regenwasserkonzentrationen sind Verfahrenskonstanten und "
                                "können nicht ditiert werden."));
  TRaster v = Gruppe(k, QStringLiteral("vereinfachter Nachweis"));
  for (const char* s : {"CrBSB", "CRNH4", "crT"}) Feld(v, "CDSNet", s);
  TRaster d = Gruppe(k, QStringLiteral("detaillierter Nachweis"));
  for (const char* s : {"dnBSB", "dnNH4", "crDO2", "CRPH", "CRALK"}) Feld(d, "CDSNet", s);
  QPushButton* st = Knopf(k, QStringLiteral("Standardwerte"));
  st->setObjectName(QStringLiteral("Standardwerte"));
  connect(st, &QPushButton::clicked, this, [this] {
    FDM->NET_cr_Standard();
    ZeigeWerte();
    Rechnen();
  });
  TRaster r = NeueSeite(QStringLiteral("Regen"), 4);
  for (const char* s : kDauern) Feld(r, "CDSKOS", s);
  TRaster w = NeueSeite(QStringLiteral("Wasserhaushaltsmodell"), 5);
  for (const char* s : {"NAM", "cS", "cM", "cI"}) Feld(w, "CDSNet", s);
  FGrafik = NeuesDiagramm(QStringLiteral("Regenspenden"), QStringLiteral("D [min]"),
                          QStringLiteral("r [l/(s*ha)]"));
  FSeiten->insertTab(6, FGrafik, QStringLiteral("Grafik Regenspenden"));
  FSeiten->setCurrentIndex(1);
}

std::vector<double> TFormNET::Regenspenden() const {
  std::vector<double> r;
  if (const auto* n = dynamic_cast<const TNET*>(FKopie.get()))
    for (int i = 1; i <= 18; ++i) r.push_back(n->Spenden.values[static_cast<size_t>(i)]);
  return r;
}

void TFormNET::ErgebnisseZeigen() {
  if (!FGrafik) return;
  SetzeKurve(FGrafik, std::vector<double>(std::begin(kMinuten), std::end(kMinuten)),
             Regenspenden());
}

}  // namespace t21
