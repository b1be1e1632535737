// The RPN calculator window: buttons and typed keys on X, the beep for a
// swallowed key, Hex and Bin, the clipboard, and the one instance that
// keeps its stack between showings.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/werkzeuge/upnfenster.h"
#include "qtsupport/falsche_dialoge.h"

using namespace t21;

namespace {

void Klick(TCalculator& c, const char* text) {
  QPushButton* k = c.Knopf(QString::fromUtf8(text));
  QVERIFY2(k, text);
  k->click();
}

QString X(TCalculator& c) {
  return c.XFeld()->text();
}

}  // namespace

class TestUpn : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void Knoepfe() {
    TFalscheDialoge d;
    TCalculator c(d);
    QCOMPARE(c.windowTitle(), QStringLiteral("UPN-Rechner"));
    for (const char* k : {"2", "Enter ", "3", "+"}) Klick(c, k);
    QCOMPARE(X(c), QStringLiteral("5,000000"));
    QCOMPARE(c.Register('Y')->text(), QStringLiteral("0"));
    Klick(c, "4");
    QCOMPARE(c.Register('Y')->text(), QStringLiteral("5,000000"));
    QCOMPARE(X(c), QStringLiteral("4"));
    Klick(c, "Y ^ X");
    QCOMPARE(X(c), QStringLiteral("625,000000"));
    Klick(c, "9");
    Klick(c, "0");
    Klick(c, "sin");
    QCOMPARE(X(c), QStringLiteral("1,000000"));
    Klick(c, "2");
    Klick(c, "5");
    Klick(c, "5");
    QCOMPARE(c.HexFeld()->text(), QStringLiteral("000000FF"));
    QCOMPARE(c.BinFeld()->text(), QStringLiteral("11111111"));
    Klick(c, "±");
    QCOMPARE(X(c), QStringLiteral("-255"));
    for (const char* k :
         {"ACcos", "cotH", "AcotH", "x ²", "W", "1 / x", "10 ^ X", "log", "ln", "exp", "&Kopieren",
          "&Einfügen", "&Hilfe", "&Schließen", "Enter ", "π", "g"})
      QVERIFY2(c.Knopf(QString::fromUtf8(k)), k);
  }

  void TastenInX() {
    TFalscheDialoge d;
    TCalculator c(d);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QLineEdit* x = c.XFeld();
    x->setFocus();
    QTest::keyClicks(x, "2");
    QTest::keyClick(x, Qt::Key_Return);
    QTest::keyClicks(x, "3,5");
    QCOMPARE(x->text(), QStringLiteral("3,5"));
    QTest::keyClicks(x, "*");
    QCOMPARE(x->text(), QStringLiteral("7,000000"));
    QCOMPARE(d.Beeps, 0);
    QTest::keyClicks(x, ".");
    QCOMPARE(d.Beeps, 1);
    QCOMPARE(x->text(), QStringLiteral("7,000000"));
    QTest::keyClick(x, Qt::Key_Up);
    QCOMPARE(x->text(), QStringLiteral("8,000000"));
    QTest::keyClicks(x, "p");
    QCOMPARE(x->text(), QStringLiteral("3,141593"));
    QCOMPARE(c.Register('Y')->text(), QStringLiteral("8,000000"));
    QTest::keyClicks(x, "10");
    QCOMPARE(c.HexFeld()->text(), QStringLiteral("0000000A"));
    QCOMPARE(c.BinFeld()->text(), QStringLiteral("1010"));

    // Clipboard: copy X, paste into X.
    c.Knopf(QStringLiteral("&Kopieren"))->click();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("10"));
    QApplication::clipboard()->setText(QStringLiteral("1e30"));
    c.Knopf(QStringLiteral("&Einfügen"))->click();
    QCOMPARE(x->text(), QStringLiteral("1e30"));
    QCOMPARE(c.HexFeld()->text(), QStringLiteral("\u2013"));
    QCOMPARE(c.BinFeld()->text(), QStringLiteral("\u2013"));
  }

  void EineInstanzBehaeltIhrenStapel() {
    TFalscheDialoge d;
    TCalculator& a = TCalculator::Instanz(d);
    QCOMPARE(&TCalculator::Instanz(d), &a);
    bool fokus1 = false, fokus2 = false;
    QString x, y;
    QTimer::singleShot(0, &a, [&] {
      for (const char* k : {"7", "Enter ", "6"}) a.Knopf(QString::fromUtf8(k))->click();
      fokus1 = a.focusWidget() == a.XFeld();
      a.Knopf(QStringLiteral("&Schließen"))->click();
    });
    a.Zeigen();
    QVERIFY(!a.isVisible());
    QVERIFY(fokus1);
    QTimer::singleShot(0, &a, [&] {
      x = a.XFeld()->text();
      y = a.Register('Y')->text();
      fokus2 = a.focusWidget() == a.XFeld() && a.XFeld()->selectedText() == x;
      a.Knopf(QStringLiteral("x"))->click();
      a.reject();  // Esc
    });
    a.Zeigen();
    QCOMPARE(x, QStringLiteral("6"));
    QCOMPARE(y, QStringLiteral("7"));
    QVERIFY(fokus2);
    QCOMPARE(a.Rechner().X, std::string("42,000000"));
  }
};

QTEST_MAIN(TestUpn)
#include "test_upn.moc"
