#include "platform/WavData.h"

#include <QtTest>

namespace {
QByteArray u32(quint32 v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

QByteArray u16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

QByteArray fmtChunk(quint16 format, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 frame = quint16(channels * bits / 8);
    return "fmt " + u32(16) + u16(format) + u16(channels) + u32(rate) + u32(rate * frame) + u16(frame) +
           u16(bits);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + u32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}
} // namespace

class TestWavData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parsesPcm();
    void skipsOtherChunks();
    void shortDataChunkKeepsWhatIsThere();
    void rejects_data();
    void rejects();
    void readsSpokenLine();
};

void TestWavData::parsesPcm()
{
    const QByteArray pcm = QByteArray::fromHex("0100feff7f00");
    const auto wav = WavData::parse(riff(fmtChunk(1, 1, 44100, 16) + "data" + u32(6) + pcm));
    QVERIFY(wav);
    QCOMPARE(wav->sampleRate, 44100);
    QCOMPARE(wav->channels, 1);
    QCOMPARE(wav->bitsPerSample, 16);
    QCOMPARE(wav->pcm, pcm);
}

void TestWavData::skipsOtherChunks()
{
    // An odd-sized chunk is padded to an even length before the next one.
    const QByteArray list = "LIST" + u32(3) + "abc" + QByteArray(1, '\0');
    const QByteArray pcm = QByteArray::fromHex("10203040");
    const auto wav = WavData::parse(riff(fmtChunk(1, 2, 22050, 16) + list + "data" + u32(4) + pcm + "junk"));
    QVERIFY(wav);
    QCOMPARE(wav->channels, 2);
    QCOMPARE(wav->sampleRate, 22050);
    QCOMPARE(wav->pcm, pcm);
}

void TestWavData::shortDataChunkKeepsWhatIsThere()
{
    // A header written before the length was known claims more than follows; half a frame is dropped.
    const auto wav = WavData::parse(riff(fmtChunk(1, 1, 8000, 16) + "data" + u32(0x7FFFFFFF) + "abcde"));
    QVERIFY(wav);
    QCOMPARE(wav->pcm, QByteArray("abcd"));
}

void TestWavData::rejects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray data = "data" + u32(2) + "zz";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not riff") << QByteArray("RIFX") + u32(4) + "WAVE";
    QTest::newRow("not wave") << riff(QByteArray()).replace("WAVE", "AVI ");
    QTest::newRow("no format") << riff(data);
    QTest::newRow("no data") << riff(fmtChunk(1, 1, 44100, 16));
    QTest::newRow("float samples") << riff(fmtChunk(3, 1, 44100, 32) + data);
    QTest::newRow("24 bits") << riff(fmtChunk(1, 1, 44100, 24) + data);
    QTest::newRow("no channels") << riff(fmtChunk(1, 0, 44100, 16) + data);
    QTest::newRow("absurd rate") << riff(fmtChunk(1, 1, 7, 16) + data);
    QTest::newRow("format cut short") << riff(fmtChunk(1, 1, 44100, 16).left(14));
    QTest::newRow("huge chunk") << riff("LIST" + u32(0xFFFFFFFF) + "x");
}

void TestWavData::rejects()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!WavData::parse(bytes));
}

void TestWavData::readsSpokenLine()
{
    QFile file(QStringLiteral(GRUMBLIX_BINARY_DIR "/share/grumblix/sounds/narrator-01-noted.wav"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto wav = WavData::parse(file.readAll());
    QVERIFY(wav);
    QCOMPARE(wav->channels, 1);
    QCOMPARE(wav->bitsPerSample, 16);
    QVERIFY(wav->sampleRate >= 8000);
    QVERIFY(wav->pcm.size() > 4000);
}

QTEST_GUILESS_MAIN(TestWavData)
#include "tst_wavdata.moc"
