#include "models/Calendar.h"
#include "models/Store.h"
#include "services/AchievementService.h"
#include "services/AchievementTracker.h"
#include "services/Analytics.h"
#include "support/IncidentFixtures.h"

#include <QTemporaryDir>
#include <QtTest>

using Fixtures::at;
using Fixtures::incident;

// The kept tally and best day must always equal a count from scratch, whatever happened to the
// store in between: appends, inserts in the past, edits, removals, another zone, another day.
class TestAchievementTracker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void followsEveryKindOfChange();
    void bestDayLeavesOutToday();

private:
    void add(const QDateTime &when, std::optional<QString> key = std::nullopt);
    void compareWithScratch(const char *step);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<AchievementTracker> m_tracker;
    QTimeZone m_zone{"Europe/Berlin"};
    QDateTime m_now;
};

void TestAchievementTracker::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = Store::open(m_dir->filePath(QStringLiteral("Grumblix.store")));
    QVERIFY(m_store);
    m_tracker = std::make_unique<AchievementTracker>(*m_store);
    m_now = at(m_zone, 2026, 12, 9, 15);
}

void TestAchievementTracker::cleanup()
{
    m_tracker.reset();
    m_store.reset();
    m_dir.reset();
}

void TestAchievementTracker::add(const QDateTime &when, std::optional<QString> key)
{
    VorpEvent event = incident(when, std::move(key));
    m_store->insert(event);
    QVERIFY(m_store->save());
}

void TestAchievementTracker::compareWithScratch(const char *step)
{
    const Calendar cal(m_zone);
    QStringList expected;
    for (const Achievement &a : AchievementService::evaluate(m_store->events(), m_now, cal)) {
        if (a.progress >= a.target)
            expected << a.id;
    }
    QStringList unlocked;
    for (const Achievement &a : m_tracker->unlocked(m_zone, m_now))
        unlocked << a.id;
    QVERIFY2(
        unlocked == expected,
        qPrintable(
            QStringLiteral("%1: %2 vs %3").arg(QLatin1String(step), unlocked.join(','), expected.join(','))));
    const int best = Analytics{m_store->events(), cal, m_now}.maxDailyCount(m_now);
    QVERIFY2(m_tracker->previousDailyBest(m_zone, m_now) == best, step);
}

void TestAchievementTracker::followsEveryKindOfChange()
{
    compareWithScratch("empty store");
    for (int i = 0; i < 6; ++i)
        add(at(m_zone, 2026, 12, 7, 10, i));
    compareWithScratch("a busy Monday");
    for (int i = 0; i < 4; ++i) {
        add(m_now.addSecs(-60 * (4 - i)), QStringLiteral("meetings"));
        compareWithScratch("logging today");
    }

    // An incident put in the past is not an append: the counts start over.
    add(at(m_zone, 2026, 12, 7, 23, 30));
    compareWithScratch("backdated insert");
    add(at(m_zone, 2026, 11, 1, 3, 0));
    compareWithScratch("a night long ago");

    VorpEvent edited = m_store->events().first();
    edited.triggerKey = QStringLiteral("email");
    m_store->update(edited);
    QVERIFY(m_store->save());
    compareWithScratch("edited trigger");

    // The busiest day shrinks.
    for (int i = 0; i < 3; ++i) {
        m_store->removeEvent(m_store->events().at(1).id);
        QVERIFY(m_store->save());
    }
    compareWithScratch("removed from the best day");

    m_zone = QTimeZone("America/Los_Angeles");
    compareWithScratch("another zone");
    m_zone = QTimeZone("Europe/Berlin");
    m_now = m_now.addDays(1);
    compareWithScratch("the next day");
    add(m_now);
    compareWithScratch("first log of the next day");

    m_store->removeEventsIf([](const VorpEvent &) { return true; });
    QVERIFY(m_store->save());
    compareWithScratch("erased");
}

void TestAchievementTracker::bestDayLeavesOutToday()
{
    for (int i = 0; i < 3; ++i)
        add(at(m_zone, 2026, 12, 8, 9, i));
    for (int i = 0; i < 7; ++i) {
        add(m_now.addSecs(-i));
        QCOMPARE(m_tracker->previousDailyBest(m_zone, m_now), 3);
    }
    // A day later, that busy day counts.
    QCOMPARE(m_tracker->previousDailyBest(m_zone, m_now.addDays(1)), 7);
}

QTEST_GUILESS_MAIN(TestAchievementTracker)
#include "tst_achievementtracker.moc"
