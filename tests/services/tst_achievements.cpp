#include "services/AchievementService.h"
#include "support/IncidentFixtures.h"

#include <QtTest>
#include <algorithm>
#include <random>

using Fixtures::at;
using Fixtures::incident;

namespace {

const QTimeZone berlin("Europe/Berlin");

int progress(const QList<Achievement> &list, const QString &id)
{
    for (const Achievement &a : list) {
        if (a.id == id)
            return a.progress;
    }
    return -1;
}

QList<VorpEvent> atTimes(const QList<QDateTime> &times)
{
    QList<VorpEvent> events;
    for (const QDateTime &t : times)
        events << incident(t);
    return events;
}

// One incident at noon on each of the given days of a month.
QList<VorpEvent> onDays(int year, int month, const QList<int> &days, const QTimeZone &zone = berlin)
{
    QList<VorpEvent> events;
    for (int day : days)
        events << incident(QDateTime(QDate(year, month, 1).addDays(day - 1), QTime(12, 0), zone));
    return events;
}

QList<VorpEvent> shuffled(QList<VorpEvent> events)
{
    std::shuffle(events.begin(), events.end(), std::mt19937(7));
    return events;
}

} // namespace

class TestAchievements : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void catalogueWithoutIncidents();
    void oneIncidentOnAMondayLunch();
    void speedRun_data();
    void speedRun();
    void hoursOfTheDay_data();
    void hoursOfTheDay();
    void notesTriggersAndApps();
    void busiestSingleDays();
    void streak_data();
    void streak();
    void consistency_data();
    void consistency();
    void quietWorkdays_data();
    void quietWorkdays();
    void progressIsNotCapped();
    void corruptTimestampsStayHarmless();
};

void TestAchievements::catalogueWithoutIncidents()
{
    const QList<Achievement> list = AchievementService::evaluate({}, at(berlin, 2025, 3, 26, 12), berlin);
    const QStringList ids{"first",    "monday", "meetings", "builds",     "prod", "quiet",   "consistency",
                          "speedrun", "night",  "diary",    "organized",  "okay", "hundred", "thousand",
                          "email",    "bugs",   "people",   "management", "wtf",  "friday",  "weekend",
                          "early",    "lunch",  "apps",     "streak"};
    const QList<int> targets{1,    10, 25, 10, 5,  1,  5,  5, 5, 10, 50, 30, 100,
                             1000, 15, 15, 15, 10, 10, 10, 5, 5, 10, 10, 10};
    QCOMPARE(list.size(), 25);
    for (int i = 0; i < 25; ++i) {
        QCOMPARE(list[i].id, ids[i]);
        QCOMPARE(list[i].target, targets[i]);
        QCOMPARE(list[i].progress, 0);
        QVERIFY(!list[i].title.isEmpty() && !list[i].detail.isEmpty() && !list[i].emoji.isEmpty());
    }
    QCOMPARE(list[7].emoji, QStringLiteral("\u26A1\uFE0F"));
    QCOMPARE(list[13].title, QStringLiteral("One Thousand Vorps Given"));
    QCOMPARE(list[13].detail, QStringLiteral("1,000 lifetime incidents."));
    QCOMPARE(list[20].detail, QStringLiteral("5 incidents on a weekend. Why are you working?"));
}

void TestAchievements::oneIncidentOnAMondayLunch()
{
    // Monday 3 March 2025; today is Wednesday 26 March: 16 workdays lie strictly between.
    const QList<Achievement> list = AchievementService::evaluate(atTimes({at(berlin, 2025, 3, 3, 12, 30)}),
                                                                 at(berlin, 2025, 3, 26, 9), berlin);
    for (const char *id : {"first", "monday", "okay", "speedrun", "streak", "consistency", "lunch"})
        QCOMPARE(progress(list, id), 1);
    for (const char *id :
         {"meetings", "builds", "prod", "organized", "friday", "weekend", "night", "early", "apps"})
        QCOMPARE(progress(list, id), 0);
    QCOMPARE(progress(list, "quiet"), 16);
    QVERIFY(list[0].progress >= list[0].target);
}

void TestAchievements::speedRun_data()
{
    QTest::addColumn<QList<qint64>>("offsets"); // milliseconds after a fixed moment
    QTest::addColumn<int>("best");
    QTest::newRow("exactly 60 s apart") << QList<qint64>{0, 60000} << 2;
    QTest::newRow("60.5 s apart") << QList<qint64>{0, 60500} << 1;
    QTest::newRow("sliding window") << QList<qint64>{0, 30000, 60000, 90000} << 3;
    QTest::newRow("five in a minute among others")
        << QList<qint64>{3600000, 10, 500000, 59000, 20000, 7200000, 0, 40000} << 5;
    QTest::newRow("one") << QList<qint64>{0} << 1;
}

void TestAchievements::speedRun()
{
    QFETCH(QList<qint64>, offsets);
    QFETCH(int, best);
    QList<VorpEvent> events;
    const QDateTime base = at(berlin, 2025, 3, 20, 10);
    for (qint64 ms : offsets)
        events << incident(base.addMSecs(ms));
    QCOMPARE(progress(AchievementService::evaluate(events, base, berlin), "speedrun"), best);
    std::reverse(events.begin(), events.end());
    QCOMPARE(progress(AchievementService::evaluate(events, base, berlin), "speedrun"), best);
}

void TestAchievements::hoursOfTheDay_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("night");
    QTest::addColumn<int>("early");
    QTest::addColumn<int>("lunch");
    QTest::newRow("00:00") << QTime(0, 0) << 1 << 0 << 0;
    QTest::newRow("03:59") << QTime(3, 59) << 1 << 0 << 0;
    QTest::newRow("04:00") << QTime(4, 0) << 0 << 1 << 0;
    QTest::newRow("07:59") << QTime(7, 59) << 0 << 1 << 0;
    QTest::newRow("08:00") << QTime(8, 0) << 0 << 0 << 0;
    QTest::newRow("12:00") << QTime(12, 0) << 0 << 0 << 1;
    QTest::newRow("12:59") << QTime(12, 59) << 0 << 0 << 1;
    QTest::newRow("13:00") << QTime(13, 0) << 0 << 0 << 0;
    QTest::newRow("21:59") << QTime(21, 59) << 0 << 0 << 0;
    QTest::newRow("22:00") << QTime(22, 0) << 1 << 0 << 0;
}

void TestAchievements::hoursOfTheDay()
{
    QFETCH(QTime, time);
    QFETCH(int, night);
    QFETCH(int, early);
    QFETCH(int, lunch);
    // The hour is read in the calendar's zone, not in the zone the timestamp was made in.
    const QDateTime local(QDate(2025, 3, 19), time, berlin);
    const QList<Achievement> list =
        AchievementService::evaluate(atTimes({local.toUTC()}), at(berlin, 2025, 3, 26), berlin);
    QCOMPARE(progress(list, "night"), night);
    QCOMPARE(progress(list, "early"), early);
    QCOMPARE(progress(list, "lunch"), lunch);
}

void TestAchievements::notesTriggersAndApps()
{
    const QDateTime t = at(berlin, 2025, 3, 19, 10);
    const QList<VorpEvent> events{
        incident(t, QString("meeting"), QString("Zoom"), QString("us.zoom"), QString(" ")),
        incident(t, QString("meeting"), QString("Zoom"), std::nullopt, QString("")),
        incident(t, QString("Meeting")),
        incident(t, QString("my-custom")),
        incident(t, QString("")),
        incident(t, QString("production")),
        incident(t, QString("bug"), std::nullopt, QString("org.gnome.Terminal")),
        incident(t, std::nullopt, QString("Zoom"), QString("us.zoom")),
        incident(t),
    };
    const QList<Achievement> list = AchievementService::evaluate(events, t, berlin);
    QCOMPARE(progress(list, "diary"), 1);
    QCOMPARE(progress(list, "organized"), 7);
    QCOMPARE(progress(list, "meetings"), 2);
    QCOMPARE(progress(list, "prod"), 1);
    QCOMPARE(progress(list, "bugs"), 1);
    QCOMPARE(progress(list, "builds"), 0);
    // us.zoom (twice), the name Zoom of the incident without bundle, org.gnome.Terminal.
    QCOMPARE(progress(list, "apps"), 3);
}

void TestAchievements::busiestSingleDays()
{
    QList<VorpEvent> events;
    for (int i = 0; i < 6; ++i) {
        events << incident(at(berlin, 2025, 3, 3, 9, i))
               << incident(at(berlin, 2025, 3, 10, 9, i)); // Mondays
        events << incident(at(berlin, 2025, 3, 7, 9, i));  // a Friday
    }
    for (int i = 0; i < 9; ++i)
        events << incident(at(berlin, 2025, 3, 12, 23, i)); // a Wednesday night
    events << incident(at(berlin, 2025, 3, 13, 0, 1));
    const QList<Achievement> list =
        AchievementService::evaluate(shuffled(events), at(berlin, 2025, 3, 26), berlin);
    QCOMPARE(progress(list, "monday"), 6);
    QCOMPARE(progress(list, "friday"), 6);
    QCOMPARE(progress(list, "okay"), 9);
    QCOMPARE(progress(list, "weekend"), 0);
}

void TestAchievements::streak_data()
{
    QTest::addColumn<QList<VorpEvent>>("events");
    QTest::addColumn<int>("streak");
    QTest::newRow("Friday to Sunday") << onDays(2025, 3, {14, 15, 16}) << 3;
    QTest::newRow("a gap restarts") << onDays(2025, 3, {3, 4, 6, 7, 8, 9, 11}) << 4;
    QTest::newRow("across a month end") << onDays(2025, 1, {30, 31, 32, 33}) << 4;
    QTest::newRow("across a year end") << onDays(2025, 12, {30, 31, 32}) << 3;
    QTest::newRow("across spring forward") << onDays(2025, 3, {29, 30, 31}) << 3;
    QTest::newRow("across a missing midnight")
        << onDays(2018, 11, {3, 4, 5}, QTimeZone("America/Sao_Paulo")) << 3;
    QTest::newRow("many on one day") << (onDays(2025, 3, {5}) + onDays(2025, 3, {5})) << 1;
}

void TestAchievements::streak()
{
    QFETCH(QList<VorpEvent>, events);
    QFETCH(int, streak);
    const QTimeZone zone = events.first().timestamp.timeZone();
    const QList<Achievement> list =
        AchievementService::evaluate(shuffled(events), events.last().timestamp.addDays(30), zone);
    QCOMPARE(progress(list, "streak"), streak);
}

void TestAchievements::consistency_data()
{
    QTest::addColumn<QList<VorpEvent>>("events");
    QTest::addColumn<int>("best");
    QTest::newRow("Monday to Friday") << onDays(2025, 3, {24, 25, 26, 27, 28}) << 5;
    QTest::newRow("Tuesday to Saturday") << onDays(2025, 3, {25, 26, 27, 28, 29}) << 4;
    QTest::newRow("split over two weeks") << onDays(2025, 3, {17, 18, 19, 27, 28}) << 3;
    QTest::newRow("weekend only") << onDays(2025, 3, {22, 23, 29, 30}) << 0;
    QTest::newRow("week over the year end") << onDays(2025, 12, {29, 30, 31, 32, 33}) << 5;
}

void TestAchievements::consistency()
{
    QFETCH(QList<VorpEvent>, events);
    QFETCH(int, best);
    const QList<Achievement> list =
        AchievementService::evaluate(shuffled(events), at(berlin, 2026, 6, 1), berlin);
    QCOMPARE(progress(list, "consistency"), best);
}

void TestAchievements::quietWorkdays_data()
{
    QTest::addColumn<QList<VorpEvent>>("events");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("quiet");
    QTest::newRow("only today") << onDays(2025, 3, {26}) << at(berlin, 2025, 3, 26, 18) << 0;
    // Monday and Wednesday logged; Tuesday, Thursday, Friday quiet; the weekend and today don't count.
    QTest::newRow("a week") << onDays(2025, 3, {17, 19}) << at(berlin, 2025, 3, 24, 8) << 3;
    QTest::newRow("first incident ahead of now") << onDays(2025, 3, {28}) << at(berlin, 2025, 3, 26) << 0;
    // 2024 began on a Monday: 262 workdays; the first day and 10 January are logged.
    QTest::newRow("a leap year") << onDays(2024, 1, {1, 6, 10}) << at(berlin, 2025, 1, 1, 9) << 260;
    QTest::newRow("weekend gap") << onDays(2025, 3, {21, 24}) << at(berlin, 2025, 3, 25) << 0;
}

void TestAchievements::quietWorkdays()
{
    QFETCH(QList<VorpEvent>, events);
    QFETCH(QDateTime, now);
    QFETCH(int, quiet);
    QCOMPARE(progress(AchievementService::evaluate(events, now, berlin), "quiet"), quiet);
}

void TestAchievements::progressIsNotCapped()
{
    QList<VorpEvent> events;
    for (int i = 0; i < 250; ++i)
        events << incident(at(berlin, 2025, 3, 3).addSecs(i * 3600));
    const QList<Achievement> list = AchievementService::evaluate(events, at(berlin, 2025, 4, 1), berlin);
    QCOMPARE(progress(list, "first"), 250);
    QCOMPARE(progress(list, "hundred"), 250);
    QCOMPARE(progress(list, "thousand"), 250);
    QVERIFY(list[12].progress >= list[12].target);
    QVERIFY(list[13].progress < list[13].target);
}

void TestAchievements::corruptTimestampsStayHarmless()
{
    // Values no real clock gives, as a damaged store might hold them.
    const QDateTime now = at(berlin, 2025, 3, 26, 12);
    const QList<VorpEvent> events{
        incident(QDateTime()),
        incident(QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::min(), Qt::UTC)),
        incident(QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::max(), Qt::UTC)),
        incident(at(berlin, 2025, 3, 26, 10)),
    };
    const QList<Achievement> list = AchievementService::evaluate(events, now, berlin);
    QCOMPARE(list.size(), 25);
    for (const Achievement &a : list)
        QVERIFY2(a.progress >= 0, qPrintable(a.id));
    QCOMPARE(progress(list, "first"), 4);
    QCOMPARE(progress(list, "speedrun"), 1);
    QCOMPARE(progress(list, "streak"), 1);
}

QTEST_GUILESS_MAIN(TestAchievements)
#include "tst_achievements.moc"
