// The rows of the result bar for elements built in the test: which lists a
// kind shows, the marks of the discharge list, the switch of "r" at a flow
// time of 15 minutes, the rows without label of the clarifier.
#include <QLocale>
#include <QTest>

#include "app/ergebnisleiste.h"
#include "model/catchments.h"
#include "model/discharge.h"
#include "model/net.h"
#include "model/structures.h"

using namespace t21;
using L = TErgebnisListe;

namespace {

QString Wert(const TErgebnisInhalt& in, L l, const QString& groesse, int nr = 0) {
  for (const TErgebnisZeile& z : in.Liste(l))
    if (z.Groesse == groesse && nr-- == 0) return z.Wert;
  return QStringLiteral("<fehlt>");
}

}  // namespace

class TestErgebnisinhalt : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void SichtbareListenJeArt() {
    TNET n;
    TElement zu;
    TKEM kem;
    TRU ru;
    TRUB rub;
    TRKB rkb;
    TEST est;
    TElement con;
    struct {
      const char* Name;
      const TElement* S;
      bool Zufluss;
      std::vector<L> Sichtbar;
    } faelle[] = {
        {"keins", nullptr, false, {}},
        {"Projekt", &n, false, {L::TW, L::RW, L::NET}},
        {"Netz", &kem, false, {L::TW, L::RW, L::KEZ}},
        {"Regenüberlauf", &ru, false, {L::TW, L::RW, L::RUE}},
        {"Becken", &rub, false, {L::RUEB}},
        {"Klärbecken", &rkb, false, {L::RKB}},
        {"Einleitung", &est, false, {L::EST}},
        {"anderes", &con, false, {L::TW, L::RW}},
        {"Zufluss", &zu, true, {L::TW, L::RW}},
    };
    for (auto& f : faelle) {
      const TErgebnisInhalt in = ErgebnisInhalt(f.S, f.Zufluss, zu, n);
      for (int k = 0; k < kErgebnisListen; ++k) {
        const bool soll =
            std::find(f.Sichtbar.begin(), f.Sichtbar.end(), static_cast<L>(k)) != f.Sichtbar.end();
        QVERIFY2(in.Sichtbar[static_cast<size_t>(k)] == soll,
                 qPrintable(QStringLiteral("%1: Liste %2").arg(f.Name).arg(k)));
        QCOMPARE(in.Zeilen[static_cast<size_t>(k)].empty(), !soll);
      }
    }
    // Row counts of the element lists.
    QCOMPARE(ErgebnisInhalt(&rub, false, zu, n).Liste(L::RUEB).size(), size_t(53));
    QCOMPARE(ErgebnisInhalt(&est, false, zu, n).Liste(L::EST).size(), size_t(27));
    QCOMPARE(ErgebnisInhalt(&ru, false, zu, n).Liste(L::RUE).size(), size_t(6));
    QCOMPARE(ErgebnisInhalt(&kem, false, zu, n).Liste(L::TW).size(), size_t(11));
    QCOMPARE(ErgebnisInhalt(&kem, false, zu, n).Liste(L::RW).size(), size_t(19));
  }

  void WiederbesiedlungUndDrossel_data() {
    QTest::addColumn<double>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("0,5") << 0.5 << "gering";
    QTest::newRow("1") << 1.0 << "mittel";
    QTest::newRow("0") << 0.0 << "hoch";
    QTest::newRow("2") << 2.0 << "hoch";
  }
  void WiederbesiedlungUndDrossel() {
    QFETCH(double, n);
    QFETCH(QString, text);
    TNET netz;
    TElement zu;
    TEST e;
    e.WBP.WBP1N = n;
    TErgebnisInhalt in = ErgebnisInhalt(&e, false, zu, netz);
    QCOMPARE(Wert(in, L::EST, "WBP", 0), text);
    QCOMPARE(Wert(in, L::EST, "WBP", 1), Zahl(n));
    QCOMPARE(Wert(in, L::EST, "QD"), QStringLiteral("--"));
    e.Drosselung = true;
    e.QD = 12.5;
    in = ErgebnisInhalt(&e, false, zu, netz);
    QCOMPARE(Wert(in, L::EST, "QD"), QStringLiteral("12,50"));
  }

  void EinleitungOhneDrosselRechnetAufEinerKopie() {
    TNET netz;
    TElement zu;
    zu.SUM.SUMTF = 20;
    zu.SUM.AU = 10;
    zu.SUM.QR = 1;  // whatever the accumulator holds
    TEST e;
    const TErgebnisInhalt in = ErgebnisInhalt(&e, false, zu, netz);
    // QE1 is the inflow's QBEM with QR := r(SUMTF) * AU.
    QCOMPARE(Wert(in, L::EST, "QE1"), Zahl(netz.Spenden.GetR(20) * 10));
    QCOMPARE(zu.SUM.QR, 1.0);  // the inflow is not written
  }

  void RegenspendeAbFuenfzehnMinuten_data() {
    QTest::addColumn<double>("tf");
    QTest::addColumn<bool>("ausAbfluss");
    QTest::newRow("14,99") << 14.99 << false;
    QTest::newRow("15") << 15.0 << true;
    QTest::newRow("30") << 30.0 << true;
  }
  void RegenspendeAbFuenfzehnMinuten() {
    QFETCH(double, tf);
    QFETCH(bool, ausAbfluss);
    TNET n;
    TElement zu;
    TElement con;
    con.SUM.SUMTF = tf;
    con.SUM.QR = 500;
    con.SUM.AU = 4;
    const TErgebnisInhalt in = ErgebnisInhalt(&con, false, zu, n);
    QCOMPARE(Wert(in, L::RW, "r"), ausAbfluss ? Zahl(125) : Zahl(n.Spenden.GetR15()));
  }

  void KlaerbeckenZeilenOhneBezeichnung() {
    TNET n;
    TElement zu;
    zu.SUM.SumAEb1 = 10;  // BAFS63 = 2800 kg/a
    zu.SUM.AEB = 10;
    TRKB rkb;
    const TErgebnisInhalt in = ErgebnisInhalt(&rkb, false, zu, n);
    int ohne = 0;
    for (const TErgebnisZeile& z : in.Liste(L::RKB))
      if (z.Groesse.isEmpty()) ++ohne;
    QCOMPARE(ohne, 2);
    QCOMPARE(Wert(in, L::RKB, "AFS63_zu"), QStringLiteral("2.800"));
    QCOMPARE(Wert(in, L::RKB, ""), QStringLiteral("280"));
  }
};

QTEST_MAIN(TestErgebnisinhalt)
#include "test_ergebnisinhalt.moc"
