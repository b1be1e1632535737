// The verification report of the example as the user gets it from
// `t21 report`: its text read back with pdftotext, every computed figure of
// the element pages (the flow balance, the loads and concentrations) equal
// to what `t21 verify --format json` gives for that element.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <map>

namespace {

QByteArray Starte(const QString& programm, const QStringList& argumente, int* rc = nullptr) {
  QProcess p;
  p.start(programm, argumente);
  if (!p.waitForFinished(60000)) return {};
  if (rc) *rc = p.exitCode();
  return p.readAllStandardOutput();
}

// The numbers of a line as printed: "1.392,00", "0,5", "-3"; thousands
// with ".", decimals with ",". Each with its count of decimals.
struct TZahl {
  double Wert;
  int Stellen;
};
std::vector<TZahl> Zahlen(const QString& zeile) {
  static const QRegularExpression re(
      QStringLiteral("(?<![\\w.,-])-?\\d{1,3}(?:\\.\\d{3})*(?:,\\d+)?(?![\\w.,])"));
  std::vector<TZahl> z;
  for (auto it = re.globalMatch(zeile); it.hasNext();) {
    QString t = it.next().captured(0);
    const int komma = t.indexOf(QLatin1Char(','));
    const int stellen = komma < 0 ? 0 : int(t.size()) - komma - 1;
    t.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    z.push_back({t.toDouble(), stellen});
  }
  return z;
}

bool Gleich(const TZahl& gedruckt, double wert) {
  return std::abs(gedruckt.Wert - wert) <= 0.5 * std::pow(10.0, -gedruckt.Stellen) * 1.000001;
}

// The flow balance's symbols and the json names of the network sums.
const std::map<QString, QString> kBilanz{
    {"EZ", "E"},         {"Qh24", "QH24"},     {"Qg24", "QG24"}, {"Qs24", "QS24"}, {"Qf24", "QF"},
    {"Qt24", "QT24"},    {"Qhx", "QH"},        {"Qgx", "QG"},    {"Qsx", "QS"},    {"Qtx", "QT"},
    {"Qr", "QR"},        {"uQr", "UQR"},       {"LTf", "LTF"},   {"Tf", "SUMTF"},  {"r", "r"},
    {"QrT24", "QRT24"},  {"AE", "AE"},         {"AEb", "AEB"},   {"Au", "AU"},     {"B", "B"},
    {"Sum AE", "SUMAE"}, {"Sum AEb", "SUMAEB"}};

// The parameters of the loads block and their json names.
const std::map<QString, QString> kParameter{{"BSB5", "BSB5"},
                                            {"NH4-N", "NH4-N"},
                                            {"AFS63", "AFS63"},
                                            {"pH-Wert", "pH"},
                                            {"Alkalinität", "ALK"}};

}  // namespace

class TestBerichtPdf : public QObject {
  Q_OBJECT

 private slots:
  void ZahlenDerElementseitenWieVerify() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext fehlt (poppler-utils)");
    QTemporaryDir ordner;
    const QString projekt = QStringLiteral(T21_QUELLE "/beispiel/Beispiel.T21");
    const QString pdf = ordner.filePath(QStringLiteral("Bericht.pdf"));
    int rc = -1;
    Starte(QStringLiteral(T21_VERIFY), {"report", projekt, "-o", pdf}, &rc);
    QCOMPARE(rc, 0);
    const QByteArray json =
        Starte(QStringLiteral(T21_VERIFY), {"verify", projekt, "--format", "json"});
    const QJsonArray elemente = QJsonDocument::fromJson(json).object()["elemente"].toArray();
    QVERIFY(!elemente.isEmpty());
    Starte(pdftotext, {"-layout", pdf, ordner.filePath("Bericht.txt")});
    QFile datei(ordner.filePath(QStringLiteral("Bericht.txt")));
    QVERIFY(datei.open(QIODevice::ReadOnly));
    const QStringList seiten = QString::fromUtf8(datei.readAll()).split(QLatin1Char('\f'));
    QCOMPARE(seiten.size() - 1, 12);  // the last piece follows the last page break

    int geprueft = 0, elementseiten = 0;
    for (const QString& seite : seiten) {
      const QStringList zeilen = seite.split(QLatin1Char('\n'));
      if (!seite.contains(QStringLiteral("Abflussbilanz"))) continue;
      // The element: the name in the page head (line 4), as in the json.
      QJsonObject e;
      for (const auto& w : elemente) {
        const QString name = w.toObject()["name"].toString();
        for (int i = 0; i < 5 && i < zeilen.size(); ++i)
          if (zeilen[i].trimmed().endsWith(QStringLiteral("  ") + name)) e = w.toObject();
      }
      QVERIFY2(!e.isEmpty(), qPrintable(zeilen.mid(0, 5).join('\n')));
      ++elementseiten;
      const QJsonObject zulauf = e["summen"].toObject()["zulauf"].toObject();
      const QJsonObject ablauf = e["summen"].toObject()["ablauf"].toObject();
      const QJsonArray zu = e["zufluss"].toArray(), ab = e["abfluss"].toArray();
      QString gruppe;  // the block of the loads table a row belongs to
      bool frachten = false;
      for (const QString& zeile : zeilen) {
        const QStringList w = zeile.simplified().split(QLatin1Char(' '));
        if (zeile.startsWith(QStringLiteral("Frachten und Konzentrationen"))) frachten = true;
        if (!frachten) {
          // Flow balance: label, symbol, unit, inflow, outflow, element.
          const auto z = Zahlen(zeile);
          if (z.size() != 3 || w.size() < 5) continue;
          for (qsizetype i = 0; i < w.size(); ++i) {
            QString sym = w[i];
            if (sym == QStringLiteral("Sum") && i + 1 < w.size())
              sym += QLatin1Char(' ') + w[i + 1];
            const auto it = kBilanz.find(sym);
            if (it == kBilanz.end()) continue;
            const QString ort = e["name"].toString() + " " + sym;
            QVERIFY2(Gleich(z[0], zulauf[it->second].toDouble()), qPrintable(ort + " Zulauf"));
            QVERIFY2(Gleich(z[1], ablauf[it->second].toDouble()), qPrintable(ort + " Ablauf"));
            geprueft += 2;
            break;
          }
          continue;
        }
        for (const char* g :
             {"Mischwasserzufluß", "Zuflußfracht", "Zuflußkonzentration", "Regenabfluß",
              "Mischwasserabfluß", "Abflußfracht", "Abflußkonzentration"})
          if (zeile.startsWith(QString::fromUtf8(g))) gruppe = QString::fromUtf8(g);
        const auto z = Zahlen(zeile);
        if (z.size() < 10 || gruppe.isEmpty() || gruppe == QStringLiteral("Regenabfluß")) continue;
        const std::vector<TZahl> werte(z.end() - 10, z.end());
        const bool zuflussSeite = gruppe.startsWith(QStringLiteral("Misch"))
                                      ? gruppe == QStringLiteral("Mischwasserzufluß")
                                      : gruppe.startsWith(QStringLiteral("Zu"));
        const QJsonArray& reihe = zuflussSeite ? zu : ab;
        QString par;
        for (const auto& [bez, name] : kParameter)
          if (w.contains(bez)) par = name;
        for (int i = 0; i < 10; ++i) {
          const QJsonObject r = reihe[i].toObject();
          double soll = r["Q"].toDouble();
          if (gruppe.endsWith(QStringLiteral("fracht")))
            soll *= r[par].toDouble();
          else if (gruppe.endsWith(QStringLiteral("konzentration")))
            soll = r[par].toDouble();
          QVERIFY2(Gleich(werte[i], soll),
                   qPrintable(QStringLiteral("%1 %2 %3 Spalte %4: gedruckt %5, verify %6")
                                  .arg(e["name"].toString(), gruppe, par)
                                  .arg(i)
                                  .arg(werte[i].Wert)
                                  .arg(soll)));
          ++geprueft;
        }
      }
    }
    QVERIFY(elementseiten >= 5);
    QVERIFY2(geprueft > 500, qPrintable(QString::number(geprueft)));
  }
};

QTEST_MAIN(TestBerichtPdf)
#include "test_bericht_pdf.moc"
