#include "app/ergebnisleiste.h"

#include <QHeaderView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/catchments.h"
#include "model/discharge.h"
#include "model/net.h"
#include "model/records.h"
#include "model/structures.h"

namespace t21 {

QString Zahl(double v, int stellen) {
  return QLocale().toString(v, 'f', stellen);
}

namespace {

using L = TErgebnisListe;

struct TListenArt {
  const char* Name;
  const char* Hinweis;
  int Hoehe;
};

// Hint and height when shown, in the order of TErgebnisListe.
constexpr TListenArt kArten[kErgebnisListen] = {
    {"ListViewTW", "Trockenwetter", 190},
    {"ListViewRW", "Regenwasser", 280},
    {"ListViewKEZ", "Netz", 48},
    {"ListViewNET", "Netz", 35},
    {"ListViewRUE", "Regenüberlauf", 80},
    {"ListViewRKB", "Regenklärbecken", 280},
    {"ListViewRUEB", "Regenüberlaufbecken", 480},
    {"ListViewEST", "Einleitung", 475},
};

// A result list that asks for its height as shown and gives way down to a
// few rows when the window is lower.
class TListe : public QTreeWidget {
 public:
  explicit TListe(QWidget* parent) : QTreeWidget(parent) {}
  int Hoehe = 0;
  QSize sizeHint() const override { return {QTreeWidget::sizeHint().width(), Hoehe}; }
  QSize minimumSizeHint() const override {
    return {QTreeWidget::minimumSizeHint().width(), std::min(Hoehe, 60)};
  }
};

class TZeilen {
 public:
  explicit TZeilen(std::vector<TErgebnisZeile>& z) : FZ(z) {}
  TZeilen& operator()(const char* groesse, double wert, const char* dim, int stellen = 2) {
    FZ.push_back({QString::fromUtf8(groesse), Zahl(wert, stellen), QString::fromUtf8(dim)});
    return *this;
  }
  TZeilen& Text(const char* groesse, const QString& wert, const char* dim) {
    FZ.push_back({QString::fromUtf8(groesse), wert, QString::fromUtf8(dim)});
    return *this;
  }

 private:
  std::vector<TErgebnisZeile>& FZ;
};

void Trockenwetter(TZeilen z, const TSUM& t) {
  z("E", t.E, "-", 0)("Q_H", t.QH, "l/s")("Q_G", t.QG, "l/s")("Q_S", t.QS(), "l/s");
  z("Q_F", t.QF, "l/s")("Q_T", t.QT(), "l/s")("Q_H,24", t.QH24, "l/s")("Q_G,24", t.QG24, "l/s");
  z("Q_S,24", t.QS24(), "l/s")("Q_T,24", t.QT24(), "l/s")("Q_R,Tr", t.QRT24, "l/s");
}

void Regenwasser(TZeilen z, const TSUM& t, const TNET& n) {
  const double r = t.SUMTF >= 15 ? t.QR * Kehrwert(t.AU) : n.Spenden.GetR15();
  z("uQ_R", t.UQR, "l/s")("Q_R", t.QR, "l/s")("Q_Bem", t.QBEM(), "l/s")("r", r, "l/(s*ha)");
  z("Sum T_F", t.SUMTF, "min")("LTF", t.LTF, "min")("NG_m", t.NGm(), "-")("A_E", t.AE, "ha");
  z("A_b,a", t.AEB, "ha")("SUM A_E", t.SUMAE, "ha")("SUM A_b,a,I", t.SumAEb1, "ha");
  z("SUM A_b,a,II", t.SumAEb2, "ha")("SUM A_b,a,III", t.SumAEb3, "ha");
  z("SUM A_b,a", t.SUMAEB, "ha")("A_u", t.AU, "ha")("AFS63_R", t.AFS63r, "kg/a", 0);
  z("SUM V_erf", t.SUMVerf, "cbm")("SUM Q_Dr", t.SUMQD, "l/s");
  z("f_D", t.SumAEbxfD * Kehrwert(t.SUMAEB), "-");
}

void Netz(TZeilen z, const TSUM& t, const TKEZ& k, const TNET& n) {
  z("f_R", 800 * 0.7 * Kehrwert(n.HNA) * Kehrwert(n.PSIa), "-")("aa", t.aa(), "-");
  z("PSI-s", k.PSIs, "-");
}

void Ueberlauf(TZeilen z, const TRU& u) {
  z("C_T", u.ct, "mg/l")("r_krit", u.Rkrit, "l/(s*ha)")("Q_R,krit", u.QRKRIT, "l/s");
  z("Q_krit", u.QKRIT, "l/s")("m", u.m, "-")("AFS63_e", u.SUM.AFS63e, "kg/a", 0);
}

void Klaerbecken(TZeilen z, const TRKB& k, const TSUM& i) {
  const TSUM& t = k.SUM;
  const double b = i.BAFS63() * Kehrwert(i.AEB);
  z("AFS63_zu", i.BAFS63(), "kg/a", 0)("", b, "kg/(ha*a)", 0)("AFS63_e", t.AFS63e, "kg/a", 0);
  z("", t.AFS63e * Kehrwert(i.AEB), "kg/(ha*a)", 0)("q_A,b", k.qAb, "m/h");
  z("ETA_sed", k.ETAsed * 100, "%")("ETA_ges", k.ETAges * 100, "%");
  z("ETA_erf", (1 - (280 - 0.1 * b) * Kehrwert(b - 0.1 * b)) * 100, "%");
  z("Q_krit", k.QKRIT, "l/s")("Q_r,krit", k.QKRIT - i.QF, "l/s")("r_krit", k.rkrit, "l/(s*ha)");
  z("fD", t.SumAEbxfD * Kehrwert(t.SUMAEB), "-");
}

void Ueberlaufbecken(TZeilen z, const TRUB& u, const TElement& zu, const TNET& n) {
  const TSUM& i = zu.SUM;
  z("h_N,aM", n.HNA, "mm")("A_b,a1", i.SumAEb1, "ha")("A_b,a2", i.SumAEb2, "ha");
  z("A_b,a3", i.SumAEb3, "ha")("f_D", u.fD, "-")("t_f", i.LTF, "min")("NG_m", i.NGm(), "-");
  z("dI", u.dI, "m", 5)("Q_M", u.QD, "l/s")("Q_T,aM", i.QT24(), "l/s");
  z("Q_T,h,max", i.QT(), "l/s")("Q_R,Tr", i.QRT24, "l/s");
  z("C_T,aM,CSB", zu.AB[0].cCSB(), "mg/l");
  z("C_R,CSB", 107, "mg/l")("C_K,CSB", 70, "mg/l")("C_T,aM,AFS63", 150, "mg/l");
  z("C_K,AFS63", 15, "mg/l");
  z("Q_R,Dr", u.QR, "l/s")("q_R,Dr", u._qr, "l/(s*ha)")("q_T,aM", u._qt24, "l/(s*ha)");
  z("a_f", u.af, "-")("Q_R,e", u.QRE, "l/s")("m", u.m, "-")("a_c", u.acCSB, "-", 5);
  z("a_h", u.ah, "-", 5)("x_a", u.xa, "-")("dI", u.dI, "-", 5)("TAU", u.tau, "-");
  z("a_a", u.aa, "-", 5)("C_b,CSB", u.cbCSB, "mg/l")("b_R,AFS63", u.brAFS, "kg/(ha*a)");
  z("a_R,AFS63", u.arAFS, "-")("C_e,CSB", u.ceCSB, "mg/l")("e_0,CSB", u.e0, "%");
  z("H1", u.H1, "-")("H2", u.H2, "-")("V_s", u.VS, "cbm/ha")("V_gesamt", u.Vges, "cbm");
  z("V*", u.Vvor, "cbm")("V_erf", u.Verf, "cbm")("C_b,AFS63", u.cbAFS, "mg/l");
  z("C_R,AFS63", u.crAFS, "mg/l")("C_e,AFS63", u.ceAFS, "mg/l")("V_e", u.Ve, "cbm/a");
  z("V_R,K", u.Vrk, "cbm/a")("F_e,AFS63", u.FeAFS, "kg/(ha*a)");
  z("F_R,K,AFS63", u.FrkAFS, "kg/(ha*a)")("F_ges,AFS63", u.FgesAFS, "kg/(ha*a)");
  z("F_e,CSB", u.FeCSB, "kg/(ha*a)")("F_R,K,CSB", u.FrkCSB, "kg/(ha*a)");
  z("F_ges,CSB", u.FgesCSB, "kg/(ha*a)")("Q_R,krit", u.QRKRIT, "l/s");
  z("Q_krit", u.QKRIT, "l/s");
}

void Einleitung(TZeilen z, const TEST& e, const TSUM& zufluss, const TNET& n) {
  const TSUM& t = e.SUM;
  // The inflow as shown: without a throttle its rain runoff is that of the
  // rain for its flow time (on a copy; the model keeps its own).
  TSUM i = zufluss;
  double qe1;
  if (e.Drosselung) {
    qe1 = std::max(0.0, std::min(e.QD - e.HQ1ist(), t.QBEM()));
  } else {
    i.QR = n.Spenden.GetR(i.SUMTF) * i.AU;
    qe1 = i.QBEM();
  }
  const double q = e.Drosselung ? std::min(e.HQ1ist() + qe1, e.QD) : e.HQ1ist() + qe1;
  const TProfil& p = e.Profil;
  const TWBP& w = e.WBP;
  z("MNQ", e.MNQ(), "l/s")("HQ1_pnat", e.HQ1pnat(), "l/s")("HQ1_ist", e.HQ1ist(), "l/s");
  z("QE1", qe1, "l/s")("QE1_zul", e.QE1zul(), "l/s");
  z("QE1/QE1_zul", qe1 * Kehrwert(e.QE1zul()), "-")("QE1_u", t.QBEM(), "l/s");
  z("SumTF_u", t.SUMTF, "min")("r_u", n.Spenden.GetR(t.SUMTF), "l/(s*ha)")("Q", q, "l/s");
  z("Q/HQ1_pnat", q * Kehrwert(e.HQ1pnat()), "-")("x_zul", e.X, "-");
  z("x", Kehrwert(e.HQ1pnat()) * (q - e._HQ1pnat * t.SUMAEB / 100) - 1, "-");
  z("I_S", p.IS1() * 1000, "o/oo")("I_S", p.IS2(), "1:")("A_voll", p.FVOLL, "m**2");
  z("Q_voll", p.QVOLL, "l/s", 0)("v_voll", p.VVOLL, "m/s");
  if (e.Drosselung) {
    z("QD", e.QD, "l/s");
  } else {
    z.Text("QD", QStringLiteral("--"), "l/s");
  }
  z("Punkte WBP", w.WBP1Punkte, "-");
  z.Text("WBP",
         w.WBP1N == 0.5 ? QStringLiteral("gering")
         : w.WBP1N == 1 ? QStringLiteral("mittel")
                        : QStringLiteral("hoch"),
         "-");
  z("WBP", w.WBP1N, "-")("SUM AEBM3", t.SUMAEBM3, "ha");
  z("AFS63_zul", e.AFSzulaessig, "kg/a", 0)("AFS63_vorh", e.AFSLast, "kg/a", 0);
  z("AFS63_E,zul", e.AFSezul, "kg/a", 0)("AFS63_E.vorh", i.AFS63r, "kg/a", 0);
}

}  // namespace

TErgebnisInhalt ErgebnisInhalt(const TElement* s, bool istZufluss, const TElement& i,
                               const TNET& n) {
  TErgebnisInhalt r;
  if (!s) return r;
  auto zeilen = [&](L l) {
    r.Sichtbar[static_cast<size_t>(l)] = true;
    return TZeilen(r.Zeilen[static_cast<size_t>(l)]);
  };
  auto tw_rw = [&] {
    Trockenwetter(zeilen(L::TW), s->SUM);
    Regenwasser(zeilen(L::RW), s->SUM, n);
  };
  if (istZufluss) {
    tw_rw();
  } else if (auto* e = dynamic_cast<const TEST*>(s)) {
    Einleitung(zeilen(L::EST), *e, i.SUM, n);
  } else if (auto* net = dynamic_cast<const TNET*>(s)) {
    tw_rw();
    zeilen(L::NET).Text("T_m", QString::number(static_cast<unsigned>(net->SUM.TM())), "min");
  } else if (auto* k = dynamic_cast<const TKEZ*>(s)) {
    tw_rw();
    Netz(zeilen(L::KEZ), k->SUM, *k, n);
  } else if (auto* b = dynamic_cast<const TRKB*>(s)) {
    Klaerbecken(zeilen(L::RKB), *b, i.SUM);
  } else if (auto* u = dynamic_cast<const TRU*>(s)) {
    tw_rw();
    Ueberlauf(zeilen(L::RUE), *u);
  } else if (auto* rub = dynamic_cast<const TRUB*>(s)) {
    Ueberlaufbecken(zeilen(L::RUEB), *rub, i, n);
  } else {
    tw_rw();
  }
  return r;
}

TErgebnisleiste::TErgebnisleiste(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabControl1"));
  setToolTip(QStringLiteral("Ergebnisleiste"));
  FLayout = new QVBoxLayout(this);
  FLayout->setContentsMargins(0, 0, 0, 0);
  FLayout->setSpacing(0);
  FTabs = new QTabBar(this);
  FTabs->addTab(QStringLiteral("Abfluss"));
  FTabs->addTab(QStringLiteral("Zufluss"));
  FLayout->addWidget(FTabs);
  for (int k = 0; k < kErgebnisListen; ++k) {
    auto* l = new TListe(this);
    l->setObjectName(QString::fromUtf8(kArten[k].Name));
    l->setToolTip(QString::fromUtf8(kArten[k].Hinweis));
    l->setColumnCount(3);
    l->setHeaderLabels({QStringLiteral("Größe"), QStringLiteral("Wert"), QStringLiteral("Dim.")});
    l->setRootIsDecorated(false);
    l->setUniformRowHeights(true);
    l->header()->setStretchLastSection(false);
    l->setColumnWidth(0, 100);  // "SUM A_b,a,III" in full
    l->setColumnWidth(1, 70);
    l->setColumnWidth(2, 72);  // "kg/(ha*a)" in full
    l->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    l->Hoehe = kArten[k].Hoehe;
    l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    l->setVisible(false);
    FListen[static_cast<size_t>(k)] = l;
    FLayout->addWidget(l);
  }
  FMemo = new QPlainTextEdit(this);
  FMemo->setObjectName(QStringLiteral("Fehlerhinweise"));
  FMemo->setPlaceholderText(QStringLiteral("Fehlerhinweise"));
  FMemo->setReadOnly(true);
  FMemo->setMinimumHeight(36);
  FLayout->addWidget(FMemo, 1);
  setMinimumWidth(100 + 70 + 72 + 24);
  connect(FTabs, &QTabBar::currentChanged, this, [this] { emit ReiterGewechselt(); });
}

void TErgebnisleiste::SetzeNavigator(QWidget* w) {
  if (FNavigator) {
    FLayout->removeWidget(FNavigator);
    FNavigator->deleteLater();
  }
  FNavigator = w;
  if (w) FLayout->addWidget(w);
}

int TErgebnisleiste::Reiter() const {
  return FTabs->currentIndex();
}
void TErgebnisleiste::SetzeReiter(int index) {
  FTabs->setCurrentIndex(index);
}

void TErgebnisleiste::Zeige(const TElement* e, const TElement& i, const TNET& n) {
  const bool zufluss = Reiter() == 1;
  const TElement* s = zufluss ? (e ? &i : nullptr) : e;
  const TErgebnisInhalt inhalt = ErgebnisInhalt(s, zufluss, i, n);
  for (int k = 0; k < kErgebnisListen; ++k) {
    QTreeWidget* l = FListen[static_cast<size_t>(k)];
    const bool elementListe = k >= static_cast<int>(L::KEZ);
    // Without an element the dry-weather and rain lists keep their state.
    if (!s && !elementListe) continue;
    const bool sichtbar = inhalt.Sichtbar[static_cast<size_t>(k)];
    l->setVisible(sichtbar);
    if (!sichtbar) continue;
    l->clear();
    const auto& zeilen = inhalt.Zeilen[static_cast<size_t>(k)];
    for (const TErgebnisZeile& z : zeilen) {
      auto* item = new QTreeWidgetItem(l, {z.Groesse, z.Wert, z.Dim});
      item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    // The short lists show every row, whatever the font's height; the long
    // ones scroll within their height.
    int hoehe = kArten[k].Hoehe;
    if (!zeilen.empty() && zeilen.size() <= 12) {
      const int zeile = l->sizeHintForRow(0);
      const int noetig = l->header()->sizeHint().height() +
                         zeile * static_cast<int>(zeilen.size()) + 2 * l->frameWidth() + 2;
      hoehe = std::max(hoehe, noetig);
    }
    static_cast<TListe*>(l)->Hoehe = hoehe;
    l->updateGeometry();
  }
  if (e) {
    QStringList zeilen;
    for (const std::string& f : e->FEHLER) zeilen << QString::fromStdString(f);
    FMemo->setPlainText(zeilen.join(QLatin1Char('\n')));
  } else {
    FMemo->clear();
  }
}

// ------------------------------------------------------ display switch

TAnzeigeSchalter::TAnzeigeSchalter(TErgebnisleiste* leiste, QWidget* parent)
    : QPushButton(parent), FLeiste(leiste) {
  setObjectName(QStringLiteral("AnzeigeZuAbfluss"));
  setToolTip(QStringLiteral("Ergebnisleiste: Abfluss oder Zufluss des Elements zeigen"));
  Beschriften();
  connect(this, &QPushButton::clicked, this, &TAnzeigeSchalter::Umschalten);
  if (leiste) {
    connect(leiste, &TErgebnisleiste::ReiterGewechselt, this, &TAnzeigeSchalter::Beschriften);
    connect(leiste, &QObject::destroyed, this, [this] { setEnabled(false); });
  }
  setEnabled(leiste != nullptr);
}

QString TAnzeigeSchalter::Beschriftung(int reiter) {
  return QStringLiteral("Anzeige ") + (reiter == 1 ? QStringLiteral("Ab") : QStringLiteral("Zu")) +
         QStringLiteral("fluss");
}

void TAnzeigeSchalter::Beschriften() {
  setText(Beschriftung(FLeiste ? FLeiste->Reiter() : 0));
}

void TAnzeigeSchalter::Umschalten() {
  if (!FLeiste) return;
  // The bar's tab change tells its owner, who refreshes it, and this button.
  FLeiste->SetzeReiter(FLeiste->Reiter() == 1 ? 0 : 1);
}

}  // namespace t21
