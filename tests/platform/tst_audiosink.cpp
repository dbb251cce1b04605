// Plays through the real QAudioSink adapter into a private PulseAudio server with a null sink, and
// records the sink's monitor to show that the sound actually leaves the program.
#include "platform/QtAudioOutput.h"
#include "services/Synth.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kSink = QStringLiteral("grumblix_test");

int loudest(const QByteArray &s16)
{
    int peak = 0;
    for (qsizetype i = 0; i + 1 < s16.size(); i += 2) {
        const auto v = std::int16_t(std::uint16_t(std::uint8_t(s16[i]) | std::uint8_t(s16[i + 1]) << 8));
        peak = std::max(peak, std::abs(int(v)));
    }
    return peak;
}
} // namespace

class TestAudioSink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void synthesizedSoundReachesTheSink();
    void soundsOverlap();
    void playsVoiceLineFile();
    void rejectsWhatItCannotPlay();

private:
    bool startRecording();
    int recordPeak(const QByteArray &wav, double volume);
    QByteArray stopRecording();

    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_recorder;
    QtAudioOutput m_output;
};

void TestAudioSink::initTestCase()
{
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
    if (pulseaudio.isEmpty() || parec.isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty())
        QSKIP("pulseaudio, parec and pactl are needed (scripts/packages-test.txt lists them)");
    QVERIFY(m_dir.isValid());

    // A server of our own: its own runtime folder and socket, nothing of the user's session.
    const QString socket = m_dir.filePath(QStringLiteral("native"));
    QDir(m_dir.path()).mkpath(QStringLiteral("home"));
    QDir(m_dir.path()).mkpath(QStringLiteral("run"));
    qputenv("HOME", m_dir.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("PULSE_RUNTIME_PATH", m_dir.filePath(QStringLiteral("run")).toLocal8Bit());
    qputenv("PULSE_STATE_PATH", m_dir.filePath(QStringLiteral("run")).toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
    qunsetenv("PULSE_SINK");

    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(pulseaudio,
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                    QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                    QStringLiteral("--load=module-null-sink sink_name=") + kSink});
    QVERIFY(m_server.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 10000);
}

void TestAudioSink::cleanupTestCase()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
    }
}

bool TestAudioSink::startRecording()
{
    m_recorder.start(QStringLiteral("parec"),
                     {QStringLiteral("--device=") + kSink + QStringLiteral(".monitor"),
                      QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                      QStringLiteral("--rate=44100"), QStringLiteral("--channels=1"),
                      QStringLiteral("--latency-msec=20")});
    if (!m_recorder.waitForStarted(5000))
        return false;
    // Nothing may play before the server has the recording stream, or the start would be lost.
    return QTest::qWaitFor(
        [] {
            QProcess pactl;
            pactl.start(QStringLiteral("pactl"),
                        {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("source-outputs")});
            return pactl.waitForFinished(3000) && !pactl.readAllStandardOutput().trimmed().isEmpty();
        },
        10000);
}

QByteArray TestAudioSink::stopRecording()
{
    QTest::qWait(300);
    m_recorder.terminate();
    m_recorder.waitForFinished(3000);
    return m_recorder.readAllStandardOutput();
}

int TestAudioSink::recordPeak(const QByteArray &wav, double volume)
{
    if (!startRecording())
        return -1;
    std::unique_ptr<AudioPlayer> player = m_output.createPlayer(wav);
    if (!player)
        return -2;
    player->setVolume(volume);
    player->play();
    if (!player->isPlaying())
        return -3;
    if (!QTest::qWaitFor([&] { return !player->isPlaying(); }, 5000))
        return -4;
    const QByteArray recorded = stopRecording();
    // The whole sound and the silence around it were captured.
    if (recorded.size() < 44100)
        return -5;
    return loudest(recorded);
}

void TestAudioSink::synthesizedSoundReachesTheSink()
{
    const QByteArray thunk = Synth::wav(Synth::render(SoundChoice::thunk));
    const int full = recordPeak(thunk, 1.0);
    const int reduced = recordPeak(thunk, 0.85);
    // Well above silence and below clipping, and the volume scales the samples linearly.
    QVERIFY2(full > 12000 && full < 32767, qPrintable(QString::number(full)));
    const double ratio = double(reduced) / double(full);
    QVERIFY2(ratio > 0.83 && ratio < 0.87, qPrintable(QString::number(ratio)));
}

void TestAudioSink::soundsOverlap()
{
    QVERIFY(startRecording());
    const QByteArray horn = Synth::wav(Synth::render(SoundChoice::airHorn));
    std::unique_ptr<AudioPlayer> first = m_output.createPlayer(horn);
    std::unique_ptr<AudioPlayer> second = m_output.createPlayer(horn);
    QVERIFY(first && second);
    first->setVolume(0.85);
    second->setVolume(0.85);
    first->play();
    QTest::qWait(100);
    second->play();
    QTest::qWait(200);
    // Starting the second did not stop the first.
    QVERIFY(first->isPlaying());
    QVERIFY(second->isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(!first->isPlaying() && !second->isPlaying(), 8000);
    const QByteArray recorded = stopRecording();
    QVERIFY(loudest(recorded) > 4000);
}

void TestAudioSink::playsVoiceLineFile()
{
    QVERIFY(startRecording());
    std::unique_ptr<AudioPlayer> player = m_output.createPlayer(
        QStringLiteral(GRUMBLIX_BINARY_DIR "/share/grumblix/sounds/narrator-02-classic.wav"));
    QVERIFY(player);
    player->setVolume(1.0);
    player->play();
    QTRY_VERIFY_WITH_TIMEOUT(!player->isPlaying(), 8000);
    QVERIFY(loudest(stopRecording()) > 2000);
}

void TestAudioSink::rejectsWhatItCannotPlay()
{
    QVERIFY(!m_output.createPlayer(QByteArray("not a sound")));
    QVERIFY(!m_output.createPlayer(Synth::wav({})));
    QVERIFY(!m_output.createPlayer(QStringLiteral("/nonexistent/narrator-a.wav")));
    QVERIFY(!m_output.createPlayer(QStringLiteral(GRUMBLIX_SOURCE_DIR "/CMakeLists.txt")));
}

QTEST_GUILESS_MAIN(TestAudioSink)
#include "tst_audiosink.moc"
