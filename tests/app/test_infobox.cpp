// The information box: at start it closes itself after 30 s and plays
// "Intro.WAV" only where the file and a sound device exist; from the menu it
// stays and is silent.
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/infobox.h"

using namespace t21;

class TestInfobox : public QObject {
  Q_OBJECT

 private slots:
  void StartUndMenue() {
    QTemporaryDir ordner;
    const QString wav = ordner.filePath(QStringLiteral("Intro.WAV"));
    {
      TInfoBox ohneDatei(nullptr, true, wav);
      QCOMPARE(ohneDatei.Knopf()->text(), QStringLiteral("&Start"));
      QVERIFY(ohneDatei.Zeitgeber() && ohneDatei.Zeitgeber()->isActive());
      QCOMPARE(ohneDatei.Zeitgeber()->interval(), kInfoSchliessenNachMs);
      QVERIFY(!ohneDatei.Klingt());
    }
    // A short silent WAV file: it plays where there is a sound device.
    QFile f(wav);
    QVERIFY(f.open(QIODevice::WriteOnly));
    const char kopf[] =
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0"
        "\x02\0\x10\0data\0\0\0\0";
    f.write(kopf, sizeof kopf - 1);
    f.close();
    TInfoBox start(nullptr, true, wav);
    QCOMPARE(start.Klingt(), !QMediaDevices::audioOutputs().isEmpty());
    TInfoBox menue(nullptr, false, wav);
    QVERIFY(!menue.Klingt());
    QVERIFY(!menue.Zeitgeber());
    QCOMPARE(menue.Knopf()->text(), QStringLiteral("OK"));
  }
};

QTEST_MAIN(TestInfobox)
#include "test_infobox.moc"
