#include "models/Prefs.h"
#include "services/SoundService.h"
#include "services/Synth.h"
#include "support/FakeAudioOutput.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

Q_DECLARE_METATYPE(SoundChoice)

namespace {
void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// A service over a fake output, fresh preferences and a seeded random source.
struct Rig
{
    explicit Rig(QStringList narratorFolders = {}, std::optional<QString> sound = std::nullopt)
        : prefs(dir.filePath(QStringLiteral("Grumblix.conf"))),
          service(output, prefs, std::move(narratorFolders), &random)
    {
        if (sound)
            prefs.setValue(PrefKey::sound, *sound);
    }

    QTemporaryDir dir;
    FakeAudioOutput output;
    Prefs prefs;
    QRandomGenerator random{20260412};
    SoundService service;
};
} // namespace

class TestSoundService : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void catalogue();
    void currentFollowsPreference_data();
    void currentFollowsPreference();
    void offPlaysNothing();
    void synthesizedSoundPlaysFromCache();
    void warmUpRendersOnlySynthesized_data();
    void warmUpRendersOnlySynthesized();
    void chaosDrawsFromPlayable();
    void narratorLinesFollowNamingRules();
    void narratorNeverRepeatsImmediately();
    void singleNarratorLineRepeats();
    void noNarratorLinesStaySilent();
    void overlappingPlayersArePrunedWhenFinished();
    void failedPlayerIsSkipped();
    void builtNarratorLinesAreFound();

private:
    QTemporaryDir m_lines;
};

void TestSoundService::initTestCase()
{
    TestSupport::isolateFolders();
    QVERIFY(m_lines.isValid());
    for (const char *name : {"narrator-c.wav", "narrator-a.wav", "narrator-b.wav", "Narrator-x.wav",
                             "narrator-x.mp3", "narrator-y.WAV", "chorus-a.wav"})
        touch(m_lines.filePath(QString::fromLatin1(name)));
    QVERIFY(QDir(m_lines.path()).mkdir(QStringLiteral("deeper")));
    touch(m_lines.filePath(QStringLiteral("deeper/narrator-d.wav")));
}

void TestSoundService::catalogue()
{
    QCOMPARE(allSoundChoices().size(), 17);
    QCOMPARE(playableSoundChoices().size(), 15);
    QVERIFY(!playableSoundChoices().contains(SoundChoice::off));
    QVERIFY(!playableSoundChoices().contains(SoundChoice::chaos));
    QCOMPARE(playableSoundChoices().last(), SoundChoice::narrator);
    for (SoundChoice choice : allSoundChoices())
        QCOMPARE(soundChoiceFromRaw(rawValue(choice)), std::optional<SoundChoice>(choice));
    QCOMPARE(rawValue(SoundChoice::sadTrombone), QStringLiteral("sadTrombone"));
    QCOMPARE(label(SoundChoice::uhoh), QStringLiteral("Legally distinct error"));
    QCOMPARE(subtitle(SoundChoice::narrator),
             QString::fromUtf8("\u201CNoted.\u201D \u201CClassic.\u201D \u201CAgain?\u201D + 7 more"));
    QVERIFY(!soundChoiceFromRaw(QStringLiteral("Thunk")));
    QVERIFY(!soundChoiceFromRaw(QStringLiteral("thunk ")));
    QCOMPARE(rawValue(SoundGroup::drama), QStringLiteral("Office drama"));
    QCOMPARE(allSoundGroups().size(), 4);
}

void TestSoundService::currentFollowsPreference_data()
{
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<SoundChoice>("current");
    QTest::newRow("absent") << std::optional<QString>() << SoundChoice::thunk;
    QTest::newRow("gong") << std::optional<QString>(QStringLiteral("gong")) << SoundChoice::gong;
    QTest::newRow("off") << std::optional<QString>(QStringLiteral("off")) << SoundChoice::off;
    QTest::newRow("chaos") << std::optional<QString>(QStringLiteral("chaos")) << SoundChoice::chaos;
    QTest::newRow("wrong case") << std::optional<QString>(QStringLiteral("Gong")) << SoundChoice::thunk;
    QTest::newRow("empty") << std::optional<QString>(QString()) << SoundChoice::thunk;
    QTest::newRow("garbage") << std::optional<QString>(QStringLiteral("\x01zzz")) << SoundChoice::thunk;
}

void TestSoundService::currentFollowsPreference()
{
    QFETCH(std::optional<QString>, stored);
    QFETCH(SoundChoice, current);
    Rig rig({}, stored);
    QCOMPARE(rig.service.current(), current);
    // Read afresh on every call.
    rig.prefs.setValue(PrefKey::sound, QStringLiteral("boom"));
    QCOMPARE(rig.service.current(), SoundChoice::boom);
}

void TestSoundService::offPlaysNothing()
{
    Rig rig({m_lines.path()}, QStringLiteral("off"));
    rig.service.play();
    rig.service.play(SoundChoice::off);
    rig.service.warmUp();
    QVERIFY(rig.output.records.isEmpty());
    QVERIFY(rig.service.cache().empty());
    QCOMPARE(rig.service.playerCount(), 0);
}

void TestSoundService::synthesizedSoundPlaysFromCache()
{
    Rig rig({}, QStringLiteral("gong"));
    rig.service.warmUp();
    QCOMPARE(rig.service.cache().size(), std::size_t(1));
    const QByteArray cached = rig.service.cache().at(SoundChoice::gong);
    QCOMPARE(cached, Synth::wav(Synth::render(SoundChoice::gong)));

    rig.service.play();
    QCOMPARE(rig.output.records.size(), 1);
    const auto &played = *rig.output.records.first();
    QVERIFY(played.started);
    QCOMPARE(played.volume, 0.85);
    // The very bytes rendered at warm-up: nothing was rendered again.
    QCOMPARE(played.bytes.constData(), cached.constData());
    QCOMPARE(rig.service.cache().size(), std::size_t(1));

    rig.service.play(SoundChoice::bonk);
    rig.service.play(SoundChoice::bonk);
    QCOMPARE(rig.service.cache().size(), std::size_t(2));
    QCOMPARE(rig.output.records[1]->bytes.constData(), rig.output.records[2]->bytes.constData());
}

void TestSoundService::warmUpRendersOnlySynthesized_data()
{
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<std::size_t>("cached");
    QTest::newRow("absent: thunk") << std::optional<QString>() << std::size_t(1);
    QTest::newRow("narrator") << std::optional<QString>(QStringLiteral("narrator")) << std::size_t(0);
    QTest::newRow("chaos") << std::optional<QString>(QStringLiteral("chaos")) << std::size_t(0);
    QTest::newRow("unknown: thunk") << std::optional<QString>(QStringLiteral("kazoo")) << std::size_t(1);
}

void TestSoundService::warmUpRendersOnlySynthesized()
{
    QFETCH(std::optional<QString>, stored);
    QFETCH(std::size_t, cached);
    Rig rig({m_lines.path()}, stored);
    rig.service.warmUp();
    rig.service.warmUp();
    QCOMPARE(rig.service.cache().size(), cached);
    if (cached)
        QVERIFY(rig.service.cache().count(SoundChoice::thunk));
    QVERIFY(rig.output.records.isEmpty());
}

void TestSoundService::chaosDrawsFromPlayable()
{
    Rig rig({m_lines.path()}, QStringLiteral("chaos"));
    std::map<QByteArray, SoundChoice> byBytes;
    for (SoundChoice choice : playableSoundChoices()) {
        if (choice != SoundChoice::narrator)
            byBytes[rig.service.data(choice)] = choice;
    }
    QCOMPARE(byBytes.size(), std::size_t(14));

    std::set<SoundChoice> heard;
    const int plays = 400;
    for (int i = 0; i < plays; ++i) {
        rig.service.play(i % 2 ? std::optional<SoundChoice>(SoundChoice::chaos) : std::nullopt);
        rig.output.finishAll();
    }
    QCOMPARE(rig.output.records.size(), plays);
    for (const auto &record : std::as_const(rig.output.records)) {
        if (!record->filePath.isEmpty()) {
            heard.insert(SoundChoice::narrator);
            QCOMPARE(record->volume, 1.0);
        } else {
            QVERIFY(byBytes.count(record->bytes));
            heard.insert(byBytes.at(record->bytes));
            QCOMPARE(record->volume, 0.85);
        }
    }
    // Every playable sound came up, the narrator included; off and chaos never render to bytes.
    QCOMPARE(heard.size(), std::size_t(15));
    QCOMPARE(rig.service.cache().size(), std::size_t(14));
}

void TestSoundService::narratorLinesFollowNamingRules()
{
    Rig rig({m_lines.path()});
    const QStringList expected{m_lines.filePath(QStringLiteral("narrator-a.wav")),
                               m_lines.filePath(QStringLiteral("narrator-b.wav")),
                               m_lines.filePath(QStringLiteral("narrator-c.wav"))};
    QCOMPARE(rig.service.narratorLines(), expected);

    // The list is found once; a line added later is not seen during the run.
    touch(m_lines.filePath(QStringLiteral("narrator-late.wav")));
    QCOMPARE(rig.service.narratorLines(), expected);
    QFile::remove(m_lines.filePath(QStringLiteral("narrator-late.wav")));

    // The first folder holding lines supplies all of them.
    QTemporaryDir empty;
    QTemporaryDir other;
    touch(other.filePath(QStringLiteral("narrator-z.wav")));
    Rig ordered({empty.path(), QStringLiteral("/nonexistent/grumblix"), other.path(), m_lines.path()});
    QCOMPARE(ordered.service.narratorLines(), QStringList{other.filePath(QStringLiteral("narrator-z.wav"))});
}

void TestSoundService::narratorNeverRepeatsImmediately()
{
    Rig rig({m_lines.path()}, QStringLiteral("narrator"));
    QVERIFY(!rig.service.lastNarratorLine());
    std::set<QString> used;
    for (int i = 0; i < 60; ++i) {
        rig.service.play();
        rig.output.finishAll();
    }
    QCOMPARE(rig.output.records.size(), 60);
    for (int i = 0; i < rig.output.records.size(); ++i) {
        const QString path = rig.output.records[i]->filePath;
        used.insert(path);
        QCOMPARE(rig.output.records[i]->volume, 1.0);
        if (i > 0)
            QVERIFY(path != rig.output.records[i - 1]->filePath);
    }
    QCOMPARE(used.size(), std::size_t(3));
    QCOMPARE(rig.service.lastNarratorLine(), std::optional<QString>(rig.output.records.last()->filePath));
}

void TestSoundService::singleNarratorLineRepeats()
{
    QTemporaryDir single;
    touch(single.filePath(QStringLiteral("narrator-a.wav")));
    Rig rig({single.path()});
    for (int i = 0; i < 5; ++i)
        rig.service.play(SoundChoice::narrator);
    QCOMPARE(rig.output.records.size(), 5);
    for (const auto &record : std::as_const(rig.output.records))
        QCOMPARE(record->filePath, single.filePath(QStringLiteral("narrator-a.wav")));
}

void TestSoundService::noNarratorLinesStaySilent()
{
    QTemporaryDir empty;
    Rig rig({empty.path()}, QStringLiteral("chaos"));
    rig.service.play(SoundChoice::narrator);
    QVERIFY(rig.output.records.isEmpty());
    QVERIFY(!rig.service.nextNarratorLine());
    QVERIFY(!rig.service.lastNarratorLine());

    // Chaos that draws the narrator plays nothing that time.
    const int plays = 150;
    for (int i = 0; i < plays; ++i)
        rig.service.play();
    QVERIFY(rig.output.records.size() < plays);
    QVERIFY(rig.output.records.size() > plays / 2);
    for (const auto &record : std::as_const(rig.output.records))
        QVERIFY(record->filePath.isEmpty());
}

void TestSoundService::overlappingPlayersArePrunedWhenFinished()
{
    Rig rig;
    rig.service.play(SoundChoice::thunk);
    rig.service.play(SoundChoice::thunk);
    // Both still sound: the second did not cut off the first.
    QCOMPARE(rig.service.playerCount(), 2);
    QVERIFY(rig.output.records[0]->started && rig.output.records[1]->started);
    QVERIFY(!rig.output.records[0]->destroyed);

    rig.output.records[0]->finished = true;
    rig.service.play(SoundChoice::beep);
    QCOMPARE(rig.service.playerCount(), 2);
    QVERIFY(rig.output.records[0]->destroyed);
    QVERIFY(!rig.output.records[1]->destroyed);

    rig.output.finishAll();
    rig.service.play(SoundChoice::thunk);
    QCOMPARE(rig.service.playerCount(), 1);
    QVERIFY(rig.output.records[1]->destroyed && rig.output.records[2]->destroyed);
    QVERIFY(!rig.output.records[3]->destroyed);
}

void TestSoundService::failedPlayerIsSkipped()
{
    Rig rig({m_lines.path()});
    rig.output.failCreation = true;
    rig.service.play(SoundChoice::squeak);
    rig.service.play(SoundChoice::narrator);
    QCOMPARE(rig.service.playerCount(), 0);
    // The render is kept even though nothing could play it.
    QVERIFY(rig.service.cache().count(SoundChoice::squeak));
    rig.output.failCreation = false;
    rig.service.play(SoundChoice::squeak);
    QCOMPARE(rig.service.playerCount(), 1);
}

void TestSoundService::builtNarratorLinesAreFound()
{
    // The build speaks ten lines into the build tree; the default search reaches them from a test.
    const QString built = QStringLiteral(GRUMBLIX_BINARY_DIR "/share/grumblix/sounds");
    QVERIFY(SoundService::defaultNarratorFolders().contains(built));
    Rig rig({built});
    const QStringList lines = rig.service.narratorLines();
    QCOMPARE(lines.size(), 10);
    QVERIFY(lines.first().endsWith(QStringLiteral("/narrator-01-noted.wav")));
    for (const QString &line : lines) {
        QFile file(line);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(12);
        QVERIFY(head.startsWith("RIFF") && head.endsWith("WAVE"));
        QVERIFY(file.size() > 8000);
    }
}

QTEST_GUILESS_MAIN(TestSoundService)
#include "tst_soundservice.moc"
