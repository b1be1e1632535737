// The result bar with the example project: every element made current in
// turn through the element list shows the figures that `t21 verify
// --format json` gives for it, under both tabs; the lists shown per kind of
// element; the marks of the discharge list; the switch "Anzeige Zu-/Abfluss"
// of the element dialogs.
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <map>

#include "app/ergebnisleiste.h"
#include "app/hauptfenster.h"
#include "qtsupport/falsche_dialoge.h"

using t21::TErgebnisListe;
using t21::TMainFrm;
using t21::Zahl;
using L = TErgebnisListe;

namespace {

struct TSoll {
  const char* Groesse;
  const char* Schluessel;
  int Stellen;
};

// The dry-weather and rain lists against a record of sums of the json.
const std::vector<TSoll> kSummen = {
    {"E", "E", 0},
    {"Q_H", "QH", 2},
    {"Q_G", "QG", 2},
    {"Q_S", "QS", 2},
    {"Q_F", "QF", 2},
    {"Q_T", "QT", 2},
    {"Q_H,24", "QH24", 2},
    {"Q_G,24", "QG24", 2},
    {"Q_S,24", "QS24", 2},
    {"Q_T,24", "QT24", 2},
    {"Q_R,Tr", "QRT24", 2},
    {"uQ_R", "UQR", 2},
    {"Q_R", "QR", 2},
    {"Q_Bem", "QBEM", 2},
    {"Sum T_F", "SUMTF", 2},
    {"LTF", "LTF", 2},
    {"NG_m", "NGm", 2},
    {"A_E", "AE", 2},
    {"A_b,a", "AEB", 2},
    {"SUM A_E", "SUMAE", 2},
    {"SUM A_b,a,I", "SumAEb1", 2},
    {"SUM A_b,a,II", "SumAEb2", 2},
    {"SUM A_b,a,III", "SumAEb3", 2},
    {"SUM A_b,a", "SUMAEB", 2},
    {"A_u", "AU", 2},
    {"AFS63_R", "AFS63r", 0},
    {"SUM V_erf", "SUMVerf", 2},
    {"SUM Q_Dr", "SUMQD", 2},
};

// The first eleven are the dry-weather list, the rest the rain list.
std::vector<TSoll> Trocken() {
  return {kSummen.begin(), kSummen.begin() + 11};
}
std::vector<TSoll> Regen() {
  return {kSummen.begin() + 11, kSummen.end()};
}

// The design values of a CSO tank.
const std::vector<TSoll> kBecken = {
    {"Q_M", "QD", 2},
    {"e_0,CSB", "e0", 2},
    {"V_s", "VS", 2},
    {"V_gesamt", "Vges", 2},
    {"V*", "Vvor", 2},
    {"V_erf", "Verf", 2},
    {"Q_R,krit", "QRKRIT", 2},
    {"m", "m", 2},
    {"q_R,Dr", "_qr", 2},
    {"C_e,CSB", "ceCSB", 2},
    {"F_ges,AFS63", "FgesAFS", 2},
    {"F_ges,CSB", "FgesCSB", 2},
    {"Q_krit", "QKRIT", 2},
};

// The checks of a discharge point.
const std::vector<std::pair<const char*, TSoll>> kEinleitung = {
    {"hydraulik", {"x_zul", "X", 2}},         {"hydraulik", {"HQ1_pnat", "HQ1pnat", 2}},
    {"hydraulik", {"QE1_zul", "QE1zul", 2}},  {"hydraulik", {"QE1", "QBEM", 2}},
    {"hydraulik", {"Q_voll", "QVOLL", 0}},    {"afs63", {"AFS63_zul", "AFSzulaessig", 0}},
    {"afs63", {"AFS63_vorh", "AFSLast", 0}},  {"afs63", {"AFS63_E,zul", "AFSezul", 0}},
    {"afs63", {"AFS63_E.vorh", "AFS63r", 0}},
};

// A picture of w in the folder T21_BILDER names (none without it).
void Ablegen(QWidget& w, const char* name) {
  const QString ordner = qEnvironmentVariable("T21_BILDER");
  if (ordner.isEmpty()) return;
  QDir().mkpath(ordner);
  w.adjustSize();
  QVERIFY(w.grab().save(QDir(ordner).filePath(QString::fromUtf8(name) + ".png")));
}

// Label -> value of a list (the first row of a label).
std::map<QString, QString> Werte(QTreeWidget* l) {
  std::map<QString, QString> w;
  for (int i = 0; i < l->topLevelItemCount(); ++i)
    w.emplace(l->topLevelItem(i)->text(0), l->topLevelItem(i)->text(1));
  return w;
}

void Vergleiche(QTreeWidget* l, const QJsonObject& o, const std::vector<TSoll>& soll,
                const QString& wo) {
  const auto w = Werte(l);
  for (const TSoll& s : soll) {
    const QString g = QString::fromUtf8(s.Groesse);
    QVERIFY2(w.count(g), qPrintable(wo + ": " + g + " fehlt"));
    QVERIFY2(o.contains(QString::fromUtf8(s.Schluessel)), qPrintable(wo + ": " + s.Schluessel));
    const QString erwartet = Zahl(o.value(QString::fromUtf8(s.Schluessel)).toDouble(), s.Stellen);
    QVERIFY2(w.at(g) == erwartet, qPrintable(wo + ": " + g + " " + w.at(g) + " statt " + erwartet));
  }
}

}  // namespace

class TestErgebnisleiste : public QObject {
  Q_OBJECT

  QTemporaryDir FProgramm;
  QJsonArray FElemente;

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QProcess p;
    p.start(QStringLiteral(T21_VERIFY),
            {"verify", QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21"), "--format", "json"});
    QVERIFY(p.waitForFinished(60000));
    FElemente = QJsonDocument::fromJson(p.readAllStandardOutput()).object()["elemente"].toArray();
    QVERIFY(FElemente.size() >= 8);
  }

  void JedesElementWieDerNachweis() {
    TFalscheDialoge d;
    TMainFrm f(d, FProgramm.path());
    f.Starte(false);
    QVERIFY(f.Oeffne(QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21")));
    t21::TErgebnisleiste* leiste = f.Ergebnisleiste();
    QComboBox* box = f.ElementBox();
    QCOMPARE(box->count(), FElemente.size());
    int becken = 0, einleitungen = 0;
    for (const QJsonValue& v : FElemente) {
      const QJsonObject e = v.toObject();
      const QString name = e["name"].toString(), typ = e["typ"].toString();
      const int i = box->findText(name);
      QVERIFY2(i >= 0, qPrintable(name));
      leiste->SetzeReiter(0);
      box->setCurrentIndex(i);
      QCOMPARE(box->currentText(), name);
      const QJsonObject summen = e["summen"].toObject();
      // The memo: the element's own messages.
      QStringList hinweise;
      for (const QJsonValue& h : e["hinweise"].toArray()) hinweise << h.toString();
      QCOMPARE(leiste->Fehlerhinweise()->toPlainText(), hinweise.join('\n'));
      auto sichtbar = [&](L l) { return !leiste->Liste(l)->isHidden(); };
      if (typ == "RUB") {
        ++becken;
        QVERIFY(sichtbar(L::RUEB) && !sichtbar(L::TW) && !sichtbar(L::RW) && !sichtbar(L::EST));
        QCOMPARE(leiste->Liste(L::RUEB)->topLevelItemCount(), 53);
        Vergleiche(leiste->Liste(L::RUEB), e["bemessung"].toObject(), kBecken, name);
      } else if (typ == "EST") {
        ++einleitungen;
        QVERIFY(sichtbar(L::EST) && !sichtbar(L::TW) && !sichtbar(L::RUEB));
        const QJsonObject pr = e["pruefungen"].toObject();
        for (auto& [block, s] : kEinleitung)
          Vergleiche(leiste->Liste(L::EST), pr[block].toObject(), {s}, name);
        // No throttle in the example: "--".
        QCOMPARE(Werte(leiste->Liste(L::EST)).at("QD"), QStringLiteral("--"));
      } else {
        QVERIFY2(sichtbar(L::TW) && sichtbar(L::RW), qPrintable(name));
        Vergleiche(leiste->Liste(L::TW), summen["ablauf"].toObject(), Trocken(), name);
        Vergleiche(leiste->Liste(L::RW), summen["ablauf"].toObject(), Regen(), name);
        QCOMPARE(sichtbar(L::KEZ), typ == "KEM" || typ == "KES" || typ == "KER");
        QCOMPARE(sichtbar(L::NET), typ == "NET");
      }
      // Under "Zufluss" the sums of the inflow, for every kind; the memo
      // stays the element's.
      leiste->SetzeReiter(1);
      QVERIFY(sichtbar(L::TW) && sichtbar(L::RW));
      for (L l : {L::KEZ, L::NET, L::RUE, L::RKB, L::RUEB, L::EST}) QVERIFY(!sichtbar(l));
      Vergleiche(leiste->Liste(L::TW), summen["zulauf"].toObject(), Trocken(), name + " Zufluss");
      Vergleiche(leiste->Liste(L::RW), summen["zulauf"].toObject(), Regen(), name + " Zufluss");
      QCOMPARE(leiste->Fehlerhinweise()->toPlainText(), hinweise.join('\n'));
    }
    QCOMPARE(becken, 1);
    QCOMPARE(einleitungen, 1);
    leiste->SetzeReiter(0);
  }

  void AnzeigeZuUndAbfluss() {
    TFalscheDialoge d;
    TMainFrm f(d, FProgramm.path());
    f.Starte(false);
    QVERIFY(f.Oeffne(QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21")));
    t21::TErgebnisleiste* leiste = f.Ergebnisleiste();
    leiste->SetzeReiter(0);
    f.ElementBox()->setCurrentIndex(f.ElementBox()->findText(QStringLiteral("RÜB Mitte")));
    auto sichtbar = [&](L l) { return !leiste->Liste(l)->isHidden(); };
    QVERIFY(sichtbar(L::RUEB) && !sichtbar(L::TW));
    t21::TAnzeigeSchalter schalter(leiste);
    QCOMPARE(schalter.text(), QStringLiteral("Anzeige Zufluss"));
    Ablegen(schalter, "ergebnisleiste_anzeige_zufluss");
    // A click shows the inflow, refreshed, and names the way back.
    QTest::mouseClick(&schalter, Qt::LeftButton);
    QCOMPARE(leiste->Reiter(), 1);
    QVERIFY(sichtbar(L::TW) && sichtbar(L::RW) && !sichtbar(L::RUEB));
    QCOMPARE(schalter.text(), QStringLiteral("Anzeige Abfluss"));
    Ablegen(schalter, "ergebnisleiste_anzeige_abfluss");
    QTest::mouseClick(&schalter, Qt::LeftButton);
    QCOMPARE(leiste->Reiter(), 0);
    QVERIFY(sichtbar(L::RUEB) && !sichtbar(L::TW));
    QCOMPARE(schalter.text(), QStringLiteral("Anzeige Zufluss"));
    // The tab changed on the bar itself: the switch follows.
    leiste->SetzeReiter(1);
    QCOMPARE(schalter.text(), QStringLiteral("Anzeige Abfluss"));
    leiste->SetzeReiter(0);
    // A bar that is gone: the switch does nothing.
    auto* allein = new t21::TErgebnisleiste;
    t21::TAnzeigeSchalter ohne(allein);
    delete allein;
    QVERIFY(!ohne.isEnabled());
    ohne.click();
    QCOMPARE(ohne.text(), QStringLiteral("Anzeige Zufluss"));
  }

  void ZahlenMitDezimalkomma_data() {
    QTest::addColumn<double>("wert");
    QTest::addColumn<int>("stellen");
    QTest::addColumn<QString>("text");
    QTest::newRow("zwei Stellen") << 1234.5678 << 2 << "1.234,57";
    QTest::newRow("keine Stelle") << 9717.5 << 0 << "9.718";
    QTest::newRow("fünf Stellen") << 0.000123456 << 5 << "0,00012";
    QTest::newRow("negativ") << -2.5 << 2 << "-2,50";
    QTest::newRow("null") << 0.0 << 2 << "0,00";
  }
  void ZahlenMitDezimalkomma() {
    QFETCH(double, wert);
    QFETCH(int, stellen);
    QFETCH(QString, text);
    QCOMPARE(Zahl(wert, stellen), text);
  }
};

QTEST_MAIN(TestErgebnisleiste)
#include "test_ergebnisleiste.moc"
