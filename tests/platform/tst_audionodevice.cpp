// A machine without a sound server: nothing plays, nothing waits, nothing crashes.
#include "models/Prefs.h"
#include "platform/QtAudioOutput.h"
#include "services/SoundService.h"
#include "services/Synth.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestAudioNoDevice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void playsNothingWithoutWaiting();

private:
    QTemporaryDir m_dir;
};

void TestAudioNoDevice::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Point the client at a server that does not exist and forbid it from starting one.
    const QString config = m_dir.filePath(QStringLiteral("client.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("autospawn = no\n");
    file.close();
    qputenv("PULSE_CLIENTCONFIG", config.toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + m_dir.filePath(QStringLiteral("missing"))).toLocal8Bit());
    qputenv("HOME", m_dir.path().toLocal8Bit());
    qputenv("PULSE_RUNTIME_PATH", m_dir.path().toLocal8Bit());
}

void TestAudioNoDevice::playsNothingWithoutWaiting()
{
    QtAudioOutput output;
    Prefs prefs(m_dir.filePath(QStringLiteral("Grumblix.conf")));
    QRandomGenerator random(7);
    SoundService service(output, prefs, {QStringLiteral(GRUMBLIX_BINARY_DIR "/share/grumblix/sounds")},
                         &random);
    service.warmUp();

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!output.createPlayer(Synth::wav(Synth::render(SoundChoice::beep))));
    service.play();
    service.play(SoundChoice::narrator);
    service.play(SoundChoice::chaos);
    QCOMPARE(service.playerCount(), 0);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestAudioNoDevice)
#include "tst_audionodevice.moc"
