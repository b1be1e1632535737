// The catchment dialog: combined, foul and storm sewer nets.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <cmath>

#include "app/basis/dialoge.h"
#include "app/formulare/formen.h"
#include "app/formulare/zahlfeld.h"
#include "app/werkzeuge/werkzeuge.h"
#include "document/dokument.h"
#include "model/network.h"

namespace t21 {

namespace {

QString F2(double v) {
  return QLocale().toString(v, 'f', 2);
}

}  // namespace

void TFormKEZ::SeitenAufbauen() {
  const bool kes = FTyp == "KES", ker = FTyp == "KER";
  setWindowTitle(kes   ? QStringLiteral("Schmutzwassernetz")
                 : ker ? QStringLiteral("Regenwassernetz")
                       : QStringLiteral("Mischwassernetz"));
  FHilfeKontext = kes ? 13000 : ker ? 14000 : 12000;
  FHilfeSeite = QStringLiteral("einzugsgebiet");
  if (const auto* k = dynamic_cast<const TKEZ*>(FKopie.get())) FAEs = k->AEs.Liste;
  SeiteZeigen(QStringLiteral("Hydraulik"), false);

  // Sub-areas.
  TRaster fl = NeueSeite(QStringLiteral("Flächen"), 1);
  FFlaechen = new QTreeWidget;
  FFlaechen->setObjectName(QStringLiteral("Teilflaechen"));
  FFlaechen->setHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("AE [ha]"),
                              QStringLiteral("B [%]"), QStringLiteral("fD"),
                              QStringLiteral("Kategorie"), QStringLiteral("AEb [ha]")});
  FFlaechen->setRootIsDecorated(false);
  FFlaechen->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  FFlaechen->setMinimumHeight(110);
  fl.Gitter->addWidget(FFlaechen, fl.Zeile++, 0, 1, 3);
  FFlaechenKnoepfe = new QWidget;
  auto* kl = new QHBoxLayout(FFlaechenKnoepfe);
  kl->setContentsMargins(0, 0, 0, 0);
  auto knopf = [&](const QString& t, const char* name, void (TFormKEZ::*f)()) {
    auto* b = new QPushButton(t);
    b->setObjectName(QString::fromUtf8(name));
    kl->addWidget(b);
    connect(b, &QPushButton::clicked, this, f);
  };
  knopf(QStringLiteral("Neu"), "FlaecheNeu", &TFormKEZ::FlaecheNeu);
  knopf(QStringLiteral("Ändern"), "FlaecheAendern", &TFormKEZ::FlaecheAendern);
  knopf(QStringLiteral("Löschen"), "FlaecheLoeschen", &TFormKEZ::FlaecheLoeschen);
  kl->addStretch(1);
  fl.Gitter->addWidget(FFlaechenKnoepfe, fl.Zeile++, 0, 1, 3);
  // The editor panel.
  FEditor = new QGroupBox(QStringLiteral("Teilfläche"));
  FEditor->setObjectName(QStringLiteral("Flaecheneditor"));
  auto* eg = new QGridLayout(FEditor);
  const char* namen[] = {"Bezeichnung", "AE", "B", "PSI", "Kategorie"};
  for (int i = 0; i < 5; ++i) {
    const auto f = t21::Feld("CDSAEK", namen[i]);
    QWidget* w = nullptr;
    if (i == 0)
      w = new QLineEdit;
    else if (i == 4) {
      auto* c = new QComboBox;
      c->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
      w = c;
    } else {
      w = new TZahlFeld(i == 2);
    }
    w->setObjectName(QStringLiteral("Teilflaeche.") + QString::fromUtf8(namen[i]));
    eg->addWidget(new QLabel(QString::fromStdString(f ? f->Label : namen[i])), i / 3 * 2, i % 3);
    eg->addWidget(w, i / 3 * 2 + 1, i % 3);
    FEditorFelder.push_back(w);
  }
  auto* ue = new QPushButton(QStringLiteral("Übernehmen"));
  ue->setObjectName(QStringLiteral("FlaecheUebernehmen"));
  auto* ve = new QPushButton(QStringLiteral("Verwerfen"));
  ve->setObjectName(QStringLiteral("FlaecheVerwerfen"));
  eg->addWidget(ue, 3, 2);
  eg->addWidget(ve, 4, 2);
  connect(ue, &QPushButton::clicked, this, &TFormKEZ::FlaecheUebernehmen);
  connect(ve, &QPushButton::clicked, this, &TFormKEZ::FlaecheVerwerfen);
  FEditor->hide();
  fl.Gitter->addWidget(FEditor, fl.Zeile++, 0, 1, 3);
  FSummen = new QTreeWidget;
  FSummen->setObjectName(QStringLiteral("Flaechensummen"));
  FSummen->setHeaderLabels(
      {QStringLiteral("Größe"), QStringLiteral("Wert"), QStringLiteral("Dimension")});
  FSummen->setRootIsDecorated(false);
  FSummen->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  FSummen->setMinimumHeight(150);
  fl.Gitter->addWidget(FSummen, fl.Zeile++, 0, 1, 3);
  FlaechenZeigen();

  // Hydrology.
  TRaster hy = NeueSeite(QStringLiteral("Hydrologie"), 2);
  Feld(hy, "CDSKEZ", "NGM");
  Feld(hy, "CDSKEZ", "TF");
  Feld(hy, "CDSKEZ", "PSIb");
  TRaster q1 = Gruppe(hy, QStringLiteral("Direkteingabe Niederschlagsabfluss"));
  Feld(q1, "CDSKEZ", "Q1");
  if (!(Netz().ZEBEV == 1 && !kes)) q1.Gitter->parentWidget()->hide();
  if (ker) Feld(hy, "CDSKEZ", "QF", QStringLiteral("Fremdwasser QF"), QStringLiteral("l/s"));

  // Dry weather.
  TRaster tw = NeueSeite(QStringLiteral("Trockenwetter"), 3);
  Feld(tw, "CDSKEZ", "ED");
  Feld(tw, "CDSKEZ", "WS");
  Feld(tw, "CDSKEZ", "X");
  Feld(tw, "CDSKEZ", "QG");
  Feld(tw, "CDSKEZ", "AG");
  Feld(tw, "CDSKEZ", "BG");
  if (!ker) Feld(tw, "CDSKEZ", "QF");
  TRaster trenn = Gruppe(tw, QStringLiteral("Regenwasser aus Trennsystemen"));
  Feld(trenn, "CDSKEZ", "PQRT24", QStringLiteral("Anteil PQRT24"));
  if (!kes) trenn.Gitter->parentWidget()->hide();

  // Concentrations.
  TRaster ko = NeueSeite(QStringLiteral("Konzentrationen"), 4);
  TRaster ch = Gruppe(ko, QStringLiteral("häusliches Schmutzwasser ch"));
  for (const char* s : {"CHBSB", "CHNH4", "CHPH", "CHCSB"}) Feld(ch, "CDSKEZ", s);
  QPushButton* ws = Knopf(ch, QStringLiteral("aus Wasserverbrauch berechnen"));
  ws->setObjectName(QStringLiteral("AusWasserverbrauch"));
  connect(ws, &QPushButton::clicked, this, [this] {
    FDM->KEZ_ch_Standard();
    ZeigeWerte();
    Rechnen();
  });
  TRaster cg = Gruppe(ko, QStringLiteral("gewerbliches. Schmutzwasser cg"));
  for (const char* s : {"CGBSB", "CGNH4", "CGPH", "CGCSB"}) Feld(cg, "CDSKEZ", s);
  QPushButton* sv = Knopf(cg, QStringLiteral("Standardvorgaben >>"));
  sv->setObjectName(QStringLiteral("Standardvorgaben"));
  connect(sv, &QPushButton::clicked, this, [this] {
    FDM->KEZ_cg_Standard();
    ZeigeWerte();
    Rechnen();
  });
  if (ker) {
    ch.Gitter->parentWidget()->hide();
    cg.Gitter->parentWidget()->hide();
  }

  // Hydrographs.
  TRaster gl = NeueSeite(QStringLiteral("Ganglinien"), 5);
  const TReferenzListen& ref = FDok.Model().Referenz;
  QStringList sw, fw;
  for (const auto& g : ref.SWGanglinien.Eintraege) sw << QString::fromStdString(g.name);
  for (const auto& g : ref.FWGanglinien.Eintraege) fw << QString::fromStdString(g.name);
  Auswahl(gl, "CDSKEZ", "SWGL", sw, {});
  NeueGanglinie(gl, "SWGL", TGanglinienArt::Schmutzwasser);
  FSWGrafik = NeuesDiagramm(QStringLiteral("Trockenwetterganglinie"), QStringLiteral("Stunde"),
                            QStringLiteral("Faktor"));
  FSWGrafik->setMinimumHeight(220);
  gl.Gitter->addWidget(FSWGrafik, gl.Zeile++, 0, 1, 3);
  Auswahl(gl, "CDSKEZ", "FWGL", fw, {});
  NeueGanglinie(gl, "FWGL", TGanglinienArt::Fremdwasser);
  FFWGrafik = NeuesDiagramm(QStringLiteral("Fremdwasserganglinie"), QStringLiteral("Monat"),
                            QStringLiteral("Faktor"));
  FFWGrafik->setMinimumHeight(220);
  gl.Gitter->addWidget(FFWGrafik, gl.Zeile++, 0, 1, 3);
  FPunkt = new QLabel;
  FPunkt->setObjectName(QStringLiteral("Punkt"));
  gl.Gitter->addWidget(FPunkt, gl.Zeile++, 0, 1, 3);
  for (QWidget* d : {FSWGrafik, FFWGrafik})
    BeiPunktklick(d, this, [this](double x, double y) {
      FPunkt->setText(QStringLiteral("x=%1 : y=%2")
                          .arg(QLocale().toString(x, 'f', 0), QLocale().toString(y, 'f', 3)));
    });

  // Detailed verification.
  TRaster det = NeueSeite(QStringLiteral("det. Nachweis"), 6);
  for (const char* s : {"N", "K", "PSIa", "MV", "BV"}) Feld(det, "CDSKEZ", s);

  TRaster fd = NeueSeite(QStringLiteral("Abminderungswerte fD"), 7);
  Hinweistext(fd,
              QStringLiteral("Abminderungswerte fD der Teilflächen: 1,0 für Flächen, deren Abfluss "
                             "vollständig in das Netz gelangt; kleinere Werte für Flächen mit "
                             "Versickerung, Gründach oder Regenwassernutzung."));

  // Kinds.
  if (kes) {
    for (const char* s : {"Abminderungswerte fD", "Flächen", "Hydrologie", "det. Nachweis"})
      SeiteZeigen(QString::fromUtf8(s), false);
    SetzeLabel("CDSKEZ.ED", QStringLiteral("Einwohner EZ"), QStringLiteral("E"));
    SetzeLabel("CDSKEZ.QF", QStringLiteral("Fremdwasser QF"), QStringLiteral("l/s"));
    SetzeLabel("CDSKEZ.QG", QStringLiteral("Abfluss QG"), QStringLiteral("l/s"));
    SetzeGrenzen("CDSKEZ.ED", std::nullopt, 1000000);
    SetzeGrenzen("CDSKEZ.QF", std::nullopt, 10000);
    SetzeGrenzen("CDSKEZ.QG", std::nullopt, 100000);
    FSeiten->setCurrentWidget(Seite(QStringLiteral("Trockenwetter")));
  } else if (ker) {
    for (const char* s : {"Konzentrationen", "Ganglinien", "Trockenwetter"})
      SeiteZeigen(QString::fromUtf8(s), false);
    SetzeGrenzen("CDSKEZ.QF", std::nullopt, 10000);
    FSeiten->setCurrentWidget(Seite(QStringLiteral("Flächen")));
  } else {
    SetzeGrenzen("CDSKEZ.ED", std::nullopt, 300);
    SetzeGrenzen("CDSKEZ.QF", std::nullopt, 1.0);
    SetzeGrenzen("CDSKEZ.QG", std::nullopt, 1000);
    FSeiten->setCurrentWidget(Seite(QStringLiteral("Flächen")));
  }
}

void TFormKEZ::NeueGanglinie(TRaster& r, const char* spalte, TGanglinienArt art) {
  // "neu >>" beside the list: the hydrograph editor; a hydrograph made there
  // joins the project's list and is chosen.
  auto* k = new QPushButton(QStringLiteral("neu >>"));
  k->setObjectName(QStringLiteral("Neu") + QString::fromUtf8(spalte));
  r.Gitter->addWidget(k, r.Zeile - 1, 2);
  const std::string schluessel = std::string("CDSKEZ.") + spalte;
  connect(k, &QPushButton::clicked, this, [this, art, schluessel] {
    if (!GanglinieNeu(this, FDok, art, FDialoge)) return;
    auto* c = qobject_cast<QComboBox*>(Steuerung(schluessel));
    if (!c) return;
    const TReferenzListen& ref = FDok.Model().Referenz;
    QStringList namen;
    if (art == TGanglinienArt::Schmutzwasser)
      for (const auto& g : ref.SWGanglinien.Eintraege) namen << QString::fromStdString(g.name);
    else
      for (const auto& g : ref.FWGanglinien.Eintraege) namen << QString::fromStdString(g.name);
    FLaedt = true;
    c->clear();
    c->addItems(namen);
    FLaedt = false;
    SetzeWert(schluessel, static_cast<int32_t>(namen.size() - 1));
    Rechnen();
  });
}

void TFormKEZ::Uebernehmen(TElement& e) {
  if (auto* k = dynamic_cast<TKEZ*>(&e)) k->AEs.Liste = FAEs;
}

void TFormKEZ::ErgebnisseZeigen() {
  const auto* k = dynamic_cast<const TKEZ*>(FKopie.get());
  if (!k || !FSummen) return;
  const std::pair<const char*, std::pair<double, const char*>> zeilen[] = {
      {"A_E", {k->AE, "ha"}},         {"A_b,a", {k->AEb, "ha"}},
      {"A_b,a,I", {k->AEb1, "ha"}},   {"A_b,a,II", {k->AEb2, "ha"}},
      {"A_b,a,III", {k->AEb3, "ha"}}, {"B", {k->B, "%"}},
      {"f_D", {k->fD, "-"}},          {"A_b,a * f_D", {k->AEbxfD, "ha"}},
  };
  FSummen->clear();
  for (const auto& [g, w] : zeilen) {
    auto* it = new QTreeWidgetItem(FSummen);
    it->setText(0, QString::fromUtf8(g));
    it->setText(1, F2(w.first));
    it->setTextAlignment(1, Qt::AlignRight);
    it->setText(2, QString::fromUtf8(w.second));
  }
  const TReferenzListen& ref = FDok.Model().Referenz;
  const auto& sw = ref.SWGanglinien.Eintraege;
  const auto& fw = ref.FWGanglinien.Eintraege;
  std::vector<double> x, y;
  if (k->SWGL >= 0 && k->SWGL < static_cast<int>(sw.size())) {
    for (int h = 0; h < 24; ++h) x.push_back(h);
    y.assign(sw[static_cast<size_t>(k->SWGL)].werte.begin(),
             sw[static_cast<size_t>(k->SWGL)].werte.end());
    SetzeKurve(FSWGrafik, x, y);
  }
  if (k->FWGL >= 0 && k->FWGL < static_cast<int>(fw.size())) {
    x.clear();
    for (int m = 1; m <= 12; ++m) x.push_back(m);
    y.assign(fw[static_cast<size_t>(k->FWGL)].werte.begin(),
             fw[static_cast<size_t>(k->FWGL)].werte.end());
    SetzeKurve(FFWGrafik, x, y);
  }
}

void TFormKEZ::FlaechenZeigen() {
  FFlaechen->clear();
  for (const TAE& a : FAEs) {
    auto* it = new QTreeWidgetItem(FFlaechen);
    it->setText(0, QString::fromStdString(a.Bezeichnung));
    it->setText(1, F2(a.AE));
    it->setText(2, QString::number(a.B));
    it->setText(3, F2(a.fD));
    it->setText(4, QString::number(a.Kategorie));
    it->setText(5, F2(a.AEb));
    for (int c = 1; c < 6; ++c) it->setTextAlignment(c, Qt::AlignRight);
  }
  if (!FAEs.empty()) FFlaechen->setCurrentItem(FFlaechen->topLevelItem(0));
}

void TFormKEZ::EditorOeffnen(bool neu) {
  const int z =
      FFlaechen->currentItem() ? FFlaechen->indexOfTopLevelItem(FFlaechen->currentItem()) : -1;
  if (!neu && (z < 0 || z >= static_cast<int>(FAEs.size()))) return;
  FEditorZeile = neu ? -1 : z;
  TAE a;
  a.fD = 1;
  a.Kategorie = 2;
  if (!neu) a = FAEs[static_cast<size_t>(z)];
  static_cast<QLineEdit*>(FEditorFelder[0])->setText(QString::fromStdString(a.Bezeichnung));
  static_cast<TZahlFeld*>(FEditorFelder[1])->SetzeWert(a.AE);
  static_cast<TZahlFeld*>(FEditorFelder[2])->SetzeWert(a.B);
  static_cast<TZahlFeld*>(FEditorFelder[3])->SetzeWert(a.fD);
  static_cast<QComboBox*>(FEditorFelder[4])->setCurrentIndex(std::clamp(a.Kategorie, 1, 3) - 1);
  FEditor->show();
  FFlaechen->setEnabled(false);
  FFlaechenKnoepfe->setEnabled(false);
  for (const char* n : {"OKButton", "CancelButton"})
    if (auto* b = findChild<QPushButton*>(QString::fromUtf8(n))) b->setEnabled(false);
  FEditorFelder[0]->setFocus();
}

void TFormKEZ::FlaecheNeu() {
  EditorOeffnen(true);
}
void TFormKEZ::FlaecheAendern() {
  EditorOeffnen(false);
}

void TFormKEZ::FlaecheUebernehmen() {
  const auto ae = static_cast<TZahlFeld*>(FEditorFelder[1])->Wert();
  const auto b = static_cast<TZahlFeld*>(FEditorFelder[2])->Wert();
  const auto fd = static_cast<TZahlFeld*>(FEditorFelder[3])->Wert();
  if (!ae || !b || !fd) {
    FDialoge.Beep();
    FDialoge.Meldung(this, QStringLiteral("Bitte gültige Zahlen für AE, B und fD eingeben."));
    return;
  }
  const auto grenze = [](const char* s, double v) {
    const auto f = t21::Feld("CDSAEK", s);
    return !f || f->ImBereich(v);
  };
  if (!grenze("AE", *ae) || !grenze("B", *b) || !grenze("PSI", *fd) || *ae < 0 || *b < 0 ||
      *fd < 0) {
    FDialoge.Beep();
    FDialoge.Meldung(this, QStringLiteral("AE: 0 ..... 1000, B: 0 ..... 100, fD: 0 ..... 1"));
    return;
  }
  TAE a;
  a.Bezeichnung = static_cast<QLineEdit*>(FEditorFelder[0])->text().toStdString();
  a.AE = *ae;
  a.B = static_cast<int>(std::lround(*b));
  a.fD = *fd;
  a.Kategorie = static_cast<QComboBox*>(FEditorFelder[4])->currentIndex() + 1;
  a.AEb = a.AE * a.B / 100;
  if (FEditorZeile >= 0 && FEditorZeile < static_cast<int>(FAEs.size()))
    FAEs[static_cast<size_t>(FEditorZeile)] = a;
  else
    FAEs.push_back(a);
  const int zeile = FEditorZeile >= 0 ? FEditorZeile : static_cast<int>(FAEs.size()) - 1;
  FlaecheVerwerfen();
  if (QTreeWidgetItem* it = FFlaechen->topLevelItem(zeile)) FFlaechen->setCurrentItem(it);
}

void TFormKEZ::FlaecheVerwerfen() {
  FEditor->hide();
  FFlaechen->setEnabled(true);
  FFlaechenKnoepfe->setEnabled(true);
  for (const char* n : {"OKButton", "CancelButton"})
    if (auto* b = findChild<QPushButton*>(QString::fromUtf8(n))) b->setEnabled(true);
  FlaechenZeigen();
  Rechnen();
}

void TFormKEZ::FlaecheLoeschen() {
  const int z =
      FFlaechen->currentItem() ? FFlaechen->indexOfTopLevelItem(FFlaechen->currentItem()) : -1;
  if (z < 0 || z >= static_cast<int>(FAEs.size())) return;
  FAEs.erase(FAEs.begin() + z);
  FlaechenZeigen();
  Rechnen();
}

}  // namespace t21
