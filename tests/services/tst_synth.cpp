#include "services/Synth.h"

#include <QCryptographicHash>
#include <QtTest>
#include <cmath>

Q_DECLARE_METATYPE(SoundChoice)

namespace {
std::uint32_t u32At(const QByteArray &b, int at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

std::int16_t sampleAt(const QByteArray &wav, int index)
{
    const int at = 44 + 2 * index;
    return std::int16_t(std::uint16_t(std::uint8_t(wav[at]) | std::uint8_t(wav[at + 1]) << 8));
}

// The index of the first sample whose time i / 44100 is at or after `seconds`.
int firstIndexAtOrAfter(double seconds)
{
    int i = int(seconds * 44100.0) - 2;
    while (double(i) / 44100.0 < seconds)
        ++i;
    return i;
}
} // namespace

class TestSynth : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noiseGeneratorFirstWords();
    void sizesAndGolden_data();
    void sizesAndGolden();
    void renderIsRepeatable_data();
    void renderIsRepeatable();
    void soundsWithoutRecipeAreEmpty_data();
    void soundsWithoutRecipeAreEmpty();
    void headerBytes();
    void sampleConversionClampsAndTruncates();
    void frameNormalisesAndFades();
    void silentSignalStaysSilent();
    void zeroStretches_data();
    void zeroStretches();
};

void TestSynth::noiseGeneratorFirstWords()
{
    std::uint64_t word = Synth::noiseSeed;
    const std::array<std::uint64_t, 3> words{0xdc1b77ae0bf34dadULL, 0x64f0eeb9026e6076ULL,
                                             0x7b07ce91e5906136ULL};
    const std::array<double, 3> values{-0.7011, 0.9574, 0.503};
    for (std::size_t i = 0; i < words.size(); ++i) {
        const double r = Synth::draw(word);
        QCOMPARE(word, words[i]);
        QVERIFY(std::abs(r - values[i]) < 1e-12);
    }
    // The mapping stays inside [-1, 0.9999] over a long run.
    for (int i = 0; i < 100000; ++i) {
        const double r = Synth::draw(word);
        QVERIFY(r >= -1.0 && r <= 0.9999 + 1e-12);
    }
}

void TestSynth::sizesAndGolden_data()
{
    QTest::addColumn<SoundChoice>("choice");
    QTest::addColumn<int>("samples");
    QTest::addColumn<double>("peak");
    QTest::addColumn<QByteArray>("sha256");
    // Checksums of the WAV bytes: any change to a recipe, the frame or the encoding shows here.
    QTest::newRow("thunk") << SoundChoice::thunk << 14994 << 0.95 << QByteArray("99712727359a85e0");
    QTest::newRow("bonk") << SoundChoice::bonk << 13230 << 0.8 << QByteArray("3f299f952a3505d8");
    QTest::newRow("buzzer") << SoundChoice::buzzer << 27342 << 0.6 << QByteArray("7e219289d2235394");
    QTest::newRow("beep") << SoundChoice::beep << 16758 << 0.6 << QByteArray("fee237e726cbf094");
    QTest::newRow("scream") << SoundChoice::scream << 30869 << 0.55 << QByteArray("cf90459efae9dbfb");
    QTest::newRow("uhoh") << SoundChoice::uhoh << 41895 << 0.6 << QByteArray("f2ef3c00aab7f6a9");
    QTest::newRow("sadTrombone") << SoundChoice::sadTrombone << 103635 << 0.33
                                 << QByteArray("e17e23cab9758b06");
    QTest::newRow("slowClap") << SoundChoice::slowClap << 101429 << 0.8 << QByteArray("0f82bc50a4415927");
    QTest::newRow("smash") << SoundChoice::smash << 61739 << 0.75 << QByteArray("0b5ae4202fbd05f1");
    QTest::newRow("gong") << SoundChoice::gong << 158760 << 0.7 << QByteArray("87e563db9656d7a0");
    QTest::newRow("airHorn") << SoundChoice::airHorn << 48510 << 0.3 << QByteArray("da80f64c8874d59f");
    QTest::newRow("squeak") << SoundChoice::squeak << 44100 << 0.32 << QByteArray("5fc42b9c7e971385");
    QTest::newRow("boom") << SoundChoice::boom << 74970 << 0.95 << QByteArray("b15a89c059324cb6");
    QTest::newRow("kaching") << SoundChoice::kaching << 57330 << 0.7 << QByteArray("95ec2712de3e9de4");
}

void TestSynth::sizesAndGolden()
{
    QFETCH(SoundChoice, choice);
    QFETCH(int, samples);
    QFETCH(double, peak);
    QFETCH(QByteArray, sha256);

    const std::vector<float> rendered = Synth::render(choice);
    QCOMPARE(int(rendered.size()), samples);
    QVERIFY(rendered.front() == 0.0f);

    // The loudest sample is the peak, reached exactly unless it falls inside a fade.
    float loudest = 0.0f;
    for (float s : rendered)
        loudest = std::max(loudest, std::abs(s));
    QVERIFY(loudest <= float(peak) * 1.000001f);
    QVERIFY(loudest > float(peak) * 0.5f);

    const QByteArray bytes = Synth::wav(rendered);
    QCOMPARE(bytes.size(), 44 + 2 * samples);
    QCOMPARE(u32At(bytes, 4), std::uint32_t(36 + 2 * samples));
    QCOMPARE(u32At(bytes, 40), std::uint32_t(2 * samples));
    QCOMPARE(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16), sha256);
}

void TestSynth::renderIsRepeatable_data()
{
    QTest::addColumn<SoundChoice>("choice");
    for (SoundChoice choice : playableSoundChoices()) {
        if (choice != SoundChoice::narrator)
            QTest::newRow(qPrintable(rawValue(choice))) << choice;
    }
}

void TestSynth::renderIsRepeatable()
{
    QFETCH(SoundChoice, choice);
    const std::vector<float> first = Synth::render(choice);
    const std::vector<float> second = Synth::render(choice);
    QVERIFY(first == second);
    QCOMPARE(Synth::wav(first), Synth::wav(second));
}

void TestSynth::soundsWithoutRecipeAreEmpty_data()
{
    QTest::addColumn<SoundChoice>("choice");
    QTest::newRow("off") << SoundChoice::off;
    QTest::newRow("narrator") << SoundChoice::narrator;
    QTest::newRow("chaos") << SoundChoice::chaos;
}

void TestSynth::soundsWithoutRecipeAreEmpty()
{
    QFETCH(SoundChoice, choice);
    const std::vector<float> samples = Synth::render(choice);
    QVERIFY(samples.empty());
    const QByteArray bytes = Synth::wav(samples);
    QCOMPARE(bytes.size(), 44);
    QCOMPARE(u32At(bytes, 4), 36u);
    QCOMPARE(u32At(bytes, 40), 0u);
}

void TestSynth::headerBytes()
{
    const QByteArray bytes = Synth::wav(std::vector<float>(3, 0.0f));
    const QByteArray expected = QByteArray::fromHex("52494646" // RIFF
                                                    "2a000000" // 36 + 6
                                                    "57415645" // WAVE
                                                    "666d7420" // "fmt "
                                                    "10000000" // 16
                                                    "0100"     // PCM
                                                    "0100"     // mono
                                                    "44ac0000" // 44100
                                                    "88580100" // 88200
                                                    "0200"     // frame bytes
                                                    "1000"     // bits
                                                    "64617461" // data
                                                    "06000000" // 6
                                                    "000000000000");
    QCOMPARE(bytes, expected);
}

void TestSynth::sampleConversionClampsAndTruncates()
{
    const QByteArray bytes = Synth::wav({1.0f, -1.0f, 0.5f, -0.5f, 2.0f, -7.0f, 0.00002f, -0.00002f, 0.25f});
    const std::array<std::int16_t, 9> expected{32767, -32767, 16383, -16383, 32767, -32767, 0, 0, 8191};
    for (int i = 0; i < int(expected.size()); ++i)
        QCOMPARE(sampleAt(bytes, i), expected[std::size_t(i)]);
    // Little-endian, low byte first: 32767 = ff 7f, -32767 = 01 80.
    QCOMPARE(bytes.mid(44, 4), QByteArray::fromHex("ff7f0180"));
}

void TestSynth::frameNormalisesAndFades()
{
    // A constant signal: after normalisation every sample is the peak, so only the fades show.
    const double duration = 0.1; // 4410 samples
    const std::vector<float> s = Synth::synth(duration, 0.5, [](double, Synth::State &) { return 3.0; });
    const int n = 4410;
    QCOMPARE(int(s.size()), n);
    QVERIFY(s[0] == 0.0f);
    QCOMPARE(s[1], float(1.0 / 88.0 * 0.5));
    QCOMPARE(s[87], float(87.0 / 88.0 * 0.5));
    QCOMPARE(s[88], 0.5f);
    QCOMPARE(s[n - 529], 0.5f);
    QCOMPARE(s[n - 528], float(528.0 / 529.0 * 0.5));
    QCOMPARE(s[n - 1], float(1.0 / 529.0 * 0.5));

    // The loudest raw value reaches the peak; smaller ones are softly saturated above their share.
    const std::vector<float> ramp =
        Synth::synth(duration, 0.8, [](double t, Synth::State &) { return t < 0.05 ? -2.0 : 1.0; });
    QCOMPARE(ramp[1000], -0.8f);
    QCOMPARE(ramp[3000], float(0.8 * std::tanh(0.6) / std::tanh(1.2)));
    QVERIFY(ramp[3000] > 0.4f);

    // Each render starts from a fresh state.
    const auto counter = [](double, Synth::State &st) { return st.a += 1.0; };
    QVERIFY(Synth::synth(duration, 0.5, counter) == Synth::synth(duration, 0.5, counter));
}

void TestSynth::silentSignalStaysSilent()
{
    const std::vector<float> s = Synth::synth(0.05, 0.9, [](double, Synth::State &) { return 0.0; });
    QCOMPARE(int(s.size()), 2205);
    for (float v : s)
        QVERIFY(v == 0.0f);
    QVERIFY(Synth::synth(0.0, 0.9, [](double, Synth::State &) { return 1.0; }).empty());
}

void TestSynth::zeroStretches_data()
{
    QTest::addColumn<SoundChoice>("choice");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("beep gap") << SoundChoice::beep << 0.11 << 0.15;
    QTest::newRow("beep tail") << SoundChoice::beep << 0.36 << 1.0;
    QTest::newRow("trombone gap 1") << SoundChoice::sadTrombone << 0.38 << 0.42;
    QTest::newRow("trombone gap 2") << SoundChoice::sadTrombone << 0.80 << 0.84;
    QTest::newRow("trombone gap 3") << SoundChoice::sadTrombone << 1.22 << 1.26;
    QTest::newRow("trombone tail") << SoundChoice::sadTrombone << 2.31 << 10.0;
}

void TestSynth::zeroStretches()
{
    QFETCH(SoundChoice, choice);
    QFETCH(double, from);
    QFETCH(double, to);
    const std::vector<float> s = Synth::render(choice);
    const int begin = firstIndexAtOrAfter(from);
    const int end = std::min(firstIndexAtOrAfter(to), int(s.size()));
    QVERIFY(end - begin > 100);
    for (int i = begin; i < end; ++i)
        QVERIFY2(s[std::size_t(i)] == 0.0f, qPrintable(QString::number(i)));
    // The stretch is bounded by sound on the side where a tone ends.
    QVERIFY(s[std::size_t(begin - 20)] != 0.0f);
}

QTEST_GUILESS_MAIN(TestSynth)
#include "tst_synth.moc"
