#include "services/Copy.h"
#include "support/IncidentFixtures.h"

#include <QtTest>

using Fixtures::at;

namespace {

const QTimeZone berlin("Europe/Berlin");

// The week of Monday 24 March 2025; buckets after `today` are in the future.
QList<DayBucket> week(const QList<int> &counts, int today = 6)
{
    QList<DayBucket> days;
    for (int i = 0; i < counts.size(); ++i)
        days << DayBucket{at(berlin, 2025, 3, 24 + i), counts[i], i == today, i > today};
    return days;
}

DayBucket day(int index, int count, bool isFuture = false)
{
    return {at(berlin, 2025, 3, 24 + index), count, false, isFuture};
}

// A report with only the fields the headline texts read.
WeeklyReport report(int total, int previousTotal, std::optional<DayBucket> worst)
{
    WeeklyReport r;
    r.total = total;
    r.previousTotal = previousTotal;
    r.worstDay = worst;
    return r;
}

CountItem item(const QString &name, int count)
{
    return {name, name, std::nullopt, std::nullopt, count};
}

constexpr int monday = 0;
constexpr int wednesday = 2;
constexpr int friday = 4;

} // namespace

class TestCopy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void afterPress_data();
    void afterPress();
    void dangerLine_data();
    void dangerLine();
    void relative_data();
    void relative();
    void dayLine_data();
    void dayLine();
    void weekdayNamesFollowTheLocale();
    void verdictAndHeadline_data();
    void verdictAndHeadline();
    void subhead_data();
    void subhead();
    void observations_data();
    void observations();
    void idleTexts();
};

void TestCopy::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestCopy::afterPress_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    const QString okay = "Are you okay?\nBlink twice.";
    QTest::newRow("0") << 0 << okay;
    QTest::newRow("negative") << -1 << okay;
    QTest::newRow("1") << 1 << "First one of the day.\nPace yourself.";
    QTest::newRow("2") << 2 << "Logged.\nBack to pretending you're fine.";
    QTest::newRow("4") << 4 << "Logged.\nBack to pretending you're fine.";
    QTest::newRow("5") << 5 << "Noted.\nThe universe has been informed.";
    QTest::newRow("9") << 9 << "Noted.\nThe universe has been informed.";
    QTest::newRow("10") << 10 << "Double digits.\nImpressive, honestly.";
    QTest::newRow("14") << 14 << "Double digits.\nImpressive, honestly.";
    QTest::newRow("15") << 15 << "Maybe go for\na little walk?";
    QTest::newRow("19") << 19 << "Maybe go for\na little walk?";
    QTest::newRow("20") << 20 << "The button is\nstarting to worry.";
    QTest::newRow("29") << 29 << "The button is\nstarting to worry.";
    QTest::newRow("30") << 30 << okay;
}

void TestCopy::afterPress()
{
    QFETCH(int, count);
    QFETCH(QString, text);
    QCOMPARE(Copy::afterPress(count), text);
}

void TestCopy::dangerLine_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("text");
    const QString evening = "Evenings too? Log off.";
    QTest::newRow("0") << 0 << "Why are you even awake?";
    QTest::newRow("5") << 5 << "Why are you even awake?";
    QTest::newRow("6") << 6 << "Rough mornings. Coffee isn't working.";
    QTest::newRow("8") << 8 << "Rough mornings. Coffee isn't working.";
    QTest::newRow("9") << 9 << "The day goes wrong early and commits to it.";
    QTest::newRow("10") << 10 << "The day goes wrong early and commits to it.";
    QTest::newRow("11") << 11 << "Pre-lunch hangry hour.";
    QTest::newRow("12") << 12 << "Apparently nothing good happens after lunch.";
    QTest::newRow("15") << 15 << "Apparently nothing good happens after lunch.";
    QTest::newRow("16") << 16 << "The 4pm \"quick call\" strikes again.";
    QTest::newRow("17") << 17 << "The 4pm \"quick call\" strikes again.";
    QTest::newRow("18") << 18 << evening;
    QTest::newRow("23") << 23 << evening;
    QTest::newRow("negative") << -1 << evening;
    QTest::newRow("24") << 24 << evening;
}

void TestCopy::dangerLine()
{
    QFETCH(int, hour);
    QFETCH(QString, text);
    QCOMPARE(Copy::dangerLine(hour), text);
}

void TestCopy::relative_data()
{
    QTest::addColumn<std::optional<QDateTime>>("last");
    QTest::addColumn<QString>("text");
    const QDateTime now = at(berlin, 2025, 3, 26, 14);
    const auto ago = [&now](qint64 secs) { return std::optional<QDateTime>(now.addSecs(-secs)); };
    QTest::newRow("none") << std::optional<QDateTime>() << "No incidents yet. Suspicious.";
    QTest::newRow("59 s") << ago(59) << "Last incident: just now";
    QTest::newRow("60 s") << ago(60) << "Last incident: 1m ago";
    QTest::newRow("59 min 59 s") << ago(3599) << "Last incident: 59m ago";
    QTest::newRow("1 h") << ago(3600) << "Last incident: 1h 0m ago";
    QTest::newRow("a second short of a day") << ago(86399) << "Last incident: 23h 59m ago";
    QTest::newRow("1 day") << ago(86400) << "Last incident: 1d ago. Peaceful.";
    QTest::newRow("3 days") << ago(3 * 86400 + 7000) << "Last incident: 3d ago. Peaceful.";
    QTest::newRow("in the future") << ago(-7200) << "Last incident: just now";
}

void TestCopy::relative()
{
    QFETCH(std::optional<QDateTime>, last);
    QFETCH(QString, text);
    QCOMPARE(Copy::relative(last, at(berlin, 2025, 3, 26, 14)), text);
}

void TestCopy::dayLine_data()
{
    QTest::addColumn<DayBucket>("day");
    QTest::addColumn<double>("average");
    QTest::addColumn<bool>("isWorst");
    QTest::addColumn<QString>("text");
    QTest::newRow("future, however busy")
        << day(friday, 40, true) << 5.0 << true << "Friday hasn't happened yet. Brace.";
    QTest::newRow("30") << day(friday, 30) << 40.0 << false << "Friday. Are you okay?";
    QTest::newRow("0, even as worst") << day(friday, 0) << 0.0 << true << "Suspiciously peaceful Friday.";
    QTest::newRow("worst at 1.4 x") << day(friday, 7) << 5.0 << true << "Friday was catastrophic.";
    QTest::newRow("7 not the worst") << day(friday, 7) << 5.0 << false << "Friday really tested you.";
    QTest::newRow("worst below 1.4 x") << day(friday, 6) << 4.5 << true << "Friday really tested you.";
    QTest::newRow("at 0.6 x") << day(friday, 3) << 5.0 << false << "Surprisingly calm Friday.";
    QTest::newRow("4 of 5") << day(friday, 4) << 5.0 << false << "A perfectly normal amount of Friday.";
    QTest::newRow("no average") << day(wednesday, 4) << qQNaN() << true
                                << "A perfectly normal amount of Wednesday.";
}

void TestCopy::dayLine()
{
    QFETCH(DayBucket, day);
    QFETCH(double, average);
    QFETCH(bool, isWorst);
    QFETCH(QString, text);
    QCOMPARE(Copy::dayLine(day, average, isWorst), text);
}

void TestCopy::weekdayNamesFollowTheLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString line = Copy::dayLine(day(friday, 0), 3.0, false);
    const QString headline = Copy::headline(report(40, 0, day(wednesday, 31)));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(line, QStringLiteral("Suspiciously peaceful Freitag."));
    QCOMPARE(headline, QStringLiteral("MITTWOCH MELTDOWN"));
}

void TestCopy::verdictAndHeadline_data()
{
    QTest::addColumn<WeeklyReport>("report");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("headline");
    QTest::newRow("empty week") << report(0, 5, std::nullopt) << "0 Grumblix moments. Suspicious."
                                << "NOTHING HAPPENED. SUSPICIOUS.";
    QTest::newRow("Friday of 12, down 25 %")
        << report(30, 40, day(friday, 12)) << "25% less bullshit than last week.\nGrowth."
        << "SO CLOSE: FRIDAY COLLAPSES";
    QTest::newRow("Friday of 31, down 25 %")
        << report(30, 40, day(friday, 31)) << "Friday happened.\nWe don't talk about Friday."
        << "FRIDAY MELTDOWN";
    QTest::newRow("incidents, no worst day")
        << report(3, 0, std::nullopt) << "You survived.\nThat's the whole report."
        << "NOTHING HAPPENED. SUSPICIOUS.";
    QTest::newRow("Friday, up 50 %") << report(6, 4, day(friday, 3)) << "Friday. You were\nso close."
                                     << "SO CLOSE: FRIDAY COLLAPSES";
    QTest::newRow("Monday, nothing before")
        << report(6, 0, day(monday, 3)) << "Case of the Mondays\nconfirmed."
        << "MONDAY STRIKES AGAIN";
    QTest::newRow("Wednesday, down 20 %")
        << report(8, 10, day(wednesday, 3)) << "20% less bullshit than last week.\nGrowth."
        << "BULLSHIT DOWN 20%";
    QTest::newRow("Wednesday, down 19 %")
        << report(81, 100, day(wednesday, 20)) << "Wednesday was catastrophic,\nbut somehow you survived."
        << "WEDNESDAY CATASTROPHIC";
    QTest::newRow("Wednesday, up 25 %")
        << report(5, 4, day(wednesday, 2)) << "25% more chaos than last week.\nBold strategy."
        << "CHAOS UP 25%";
    QTest::newRow("Wednesday, up 24 %")
        << report(31, 25, day(wednesday, 9)) << "Wednesday was catastrophic,\nbut somehow you survived."
        << "WEDNESDAY CATASTROPHIC";
    QTest::newRow("Wednesday, nothing before")
        << report(31, 0, day(wednesday, 9)) << "Wednesday was catastrophic,\nbut somehow you survived."
        << "WEDNESDAY CATASTROPHIC";
}

void TestCopy::verdictAndHeadline()
{
    QFETCH(WeeklyReport, report);
    QFETCH(QString, verdict);
    QFETCH(QString, headline);
    QCOMPARE(Copy::verdict(report), verdict);
    QCOMPARE(Copy::headline(report), headline);
}

void TestCopy::subhead_data()
{
    QTest::addColumn<WeeklyReport>("report");
    QTest::addColumn<QString>("text");
    WeeklyReport none = report(0, 0, std::nullopt);
    none.topTrigger = item("Build", 3);
    QTest::newRow("empty") << none << "Zero incidents reported. Experts baffled. Vacation suspected.";
    QTest::newRow("one vorp") << report(1, 0, std::nullopt) << "Local Linux user gives 1 vorp in one week.";
    WeeklyReport both = report(12, 0, std::nullopt);
    both.topTrigger = item("Build", 5);
    both.topApp = item("iTerm2", 4);
    QTest::newRow("trigger and app")
        << both
        << "Local Linux user gives 12 vorps in one week; builds blamed, iTerm2 declines "
           "to comment.";
    WeeklyReport plural = report(2, 0, std::nullopt);
    plural.topTrigger = item("Meetings", 2);
    QTest::newRow("name ending in s")
        << plural << "Local Linux user gives 2 vorps in one week; meetingss blamed.";
    WeeklyReport app = report(0 + 7, 0, std::nullopt);
    app.topApp = item("Zoom", 7);
    QTest::newRow("app only") << app
                              << "Local Linux user gives 7 vorps in one week, Zoom declines to comment.";
}

void TestCopy::subhead()
{
    QFETCH(WeeklyReport, report);
    QFETCH(QString, text);
    QCOMPARE(Copy::subhead(report), text);
}

void TestCopy::observations_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<CountItem>>("triggers");
    QTest::addColumn<QList<CountItem>>("apps");
    QTest::addColumn<QList<int>>("hours");
    QTest::addColumn<QList<DayBucket>>("days");
    QTest::addColumn<int>("previous");
    QTest::addColumn<QStringList>("lines");
    const QList<int> quietHours(24, 0);
    QList<int> fourPm(24, 0);
    fourPm[16] = 5;
    fourPm[9] = 5; // the tie goes to the earlier hour
    const QList<DayBucket> busyWeek = week({1, 3, 2, 2, 3, 0, 0});
    const QString frame = "A perfect %1. Frame it.";

    QTest::newRow("empty week, whatever else")
        << 0 << QList<CountItem>{item("Build", 3)} << QList<CountItem>{item("Zoom", 9)} << fourPm << busyWeek
        << 10
        << QStringList{"0 Grumblix moments. Suspicious.", "Either you're on vacation, or you're lying."};
    QTest::newRow("share of 3 in 15")
        << 15 << QList<CountItem>{item("Build", 3)} << QList<CountItem>{} << quietHours << busyWeek << 0
        << QStringList{"Builds accounted for 20% of this week's suffering."};
    QTest::newRow("share of 3 in 16") << 16 << QList<CountItem>{item("Build", 3)} << QList<CountItem>{}
                                      << quietHours << busyWeek << 0 << QStringList{};
    QTest::newRow("app of 3") << 5 << QList<CountItem>{} << QList<CountItem>{item("Zoom", 3)} << quietHours
                              << busyWeek << 0 << QStringList{"Zoom was involved in 3 of them. Just saying."};
    QTest::newRow("app of 2") << 5 << QList<CountItem>{} << QList<CountItem>{item("Zoom", 2)} << quietHours
                              << busyWeek << 0 << QStringList{};
    QTest::newRow("danger hour") << 5 << QList<CountItem>{} << QList<CountItem>{} << fourPm << busyWeek << 0
                                 << QStringList{"The day goes wrong early and commits to it."};
    QTest::newRow("9 after 10") << 9 << QList<CountItem>{} << QList<CountItem>{} << quietHours << busyWeek
                                << 10 << QStringList{"10% less bullshit than last week."};
    QTest::newRow("11 after 10") << 11 << QList<CountItem>{} << QList<CountItem>{} << quietHours << busyWeek
                                 << 10 << QStringList{"10% more bullshit than last week."};
    QTest::newRow("10 after 10") << 10 << QList<CountItem>{} << QList<CountItem>{} << quietHours << busyWeek
                                 << 10 << QStringList{};
    // Tuesday is the first quiet past workday; Thursday is today and Friday lies ahead.
    QTest::newRow("perfect day") << 4 << QList<CountItem>{} << QList<CountItem>{} << quietHours
                                 << week({2, 0, 2, 0, 0, 0, 0}, 3) << 0
                                 << QStringList{frame.arg("Tuesday"), "Case of the Mondays confirmed."};
    QTest::newRow("no perfect day on today, weekends or ahead")
        << 4 << QList<CountItem>{} << QList<CountItem>{} << quietHours << week({1, 1, 1, 1, 0, 0, 0}, 4) << 0
        << QStringList{"Case of the Mondays confirmed."};
    QTest::newRow("Monday with 0 is no case")
        << 4 << QList<CountItem>{} << QList<CountItem>{} << quietHours << week({0, 1, 1, 1, 1, 0, 0}) << 0
        << QStringList{frame.arg("Monday")};
    QTest::newRow("Monday below the most") << 5 << QList<CountItem>{} << QList<CountItem>{} << quietHours
                                           << week({1, 2, 1, 1, 0, 0, 0}, 3) << 0 << QStringList{};
    QTest::newRow("every line, in order")
        << 20 << QList<CountItem>{item("Meeting", 8), item("Bug", 2)} << QList<CountItem>{item("Slack", 5)}
        << fourPm << week({6, 0, 6, 4, 4, 0, 0}) << 40
        << QStringList{"Meetings accounted for 40% of this week's suffering.",
                       "Slack was involved in 5 of them. Just saying.",
                       "The day goes wrong early and commits to it.",
                       "50% less bullshit than last week.",
                       frame.arg("Tuesday"),
                       "Case of the Mondays confirmed."};
}

void TestCopy::observations()
{
    QFETCH(int, total);
    QFETCH(QList<CountItem>, triggers);
    QFETCH(QList<CountItem>, apps);
    QFETCH(QList<int>, hours);
    QFETCH(QList<DayBucket>, days);
    QFETCH(int, previous);
    QFETCH(QStringList, lines);
    QCOMPARE(Copy::observations(total, triggers, apps, hours, days, previous), lines);
}

void TestCopy::idleTexts()
{
    QCOMPARE(Copy::slogans().size(), 4);
    QCOMPARE(Copy::slogans().at(3), QStringLiteral("Emergency stop for your patience."));
    QCOMPARE(Copy::taglines().size(), 10);
    QCOMPARE(Copy::taglines().at(0), QStringLiteral("Deep breath.\nYou've got this (probably)."));
    QCOMPARE(Copy::taglines().at(9), QStringLiteral("Your therapist\nwould be proud."));
    QCOMPARE(Copy::stickyNote(0), Copy::taglines().at(3));
    QCOMPARE(Copy::stickyNote(11), QStringLiteral("Could've been\nan email."));
    QCOMPARE(Copy::stickyNote(-7), QStringLiteral("It's fine.\nEverything's fine."));
    QCOMPARE(Copy::stickyNote(std::numeric_limits<int>::min()), QStringLiteral("Hydrate.\nThen rage."));
}

QTEST_GUILESS_MAIN(TestCopy)
#include "tst_copy.moc"
