#include "services/Copy.h"
#include "services/WeeklyReport.h"
#include "support/IncidentFixtures.h"

#include <QtTest>

using Fixtures::at;
using Fixtures::incident;

namespace {

const QTimeZone berlin("Europe/Berlin");

// counts[i] incidents on day i of the week of Monday 24 March 2025 (Berlin springs forward on its
// Sunday), spread over the morning.
QList<VorpEvent> weekOf(const QList<int> &counts)
{
    QList<VorpEvent> events;
    for (int i = 0; i < counts.size(); ++i) {
        for (int n = 0; n < counts[i]; ++n)
            events << incident(at(berlin, 2025, 3, 24 + i, 9, n));
    }
    return events;
}

QDate dateOf(const std::optional<DayBucket> &bucket)
{
    return bucket ? bucket->date.toTimeZone(berlin).date() : QDate();
}

} // namespace

class TestWeeklyReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void emptyPastWeek();
    void worstAndCalmestDays_data();
    void worstAndCalmestDays();
    void rankingsLeaveOutMissingTriggersAndApps();
    void changeAgainstThePreviousWeek();
    void rangeText_data();
    void rangeText();
    void weekWithoutMidnight();
};

void TestWeeklyReport::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestWeeklyReport::emptyPastWeek()
{
    const QList<VorpEvent> events{incident(at(berlin, 2025, 3, 24, 9)),
                                  incident(at(berlin, 2025, 3, 16, 22))};
    const WeeklyReport r = WeeklyReport::build(events, {}, -1, at(berlin, 2025, 3, 26, 14), berlin);
    QCOMPARE(r.interval.start, at(berlin, 2025, 3, 17));
    QCOMPARE(r.interval.end, at(berlin, 2025, 3, 24));
    QCOMPARE(r.total, 0);
    QCOMPARE(r.previousTotal, 1);
    QCOMPARE(r.days.size(), 7);
    QVERIFY(!r.worstDay);
    QCOMPARE(dateOf(r.calmestDay), QDate(2025, 3, 17));
    QVERIFY(!r.peakTime);
    QVERIFY(r.triggers.isEmpty() && r.apps.isEmpty());
    QVERIFY(!r.topTrigger && !r.topApp);
    QCOMPARE(r.verdict, QStringLiteral("0 Grumblix moments. Suspicious."));
    QCOMPARE(r.observations,
             (QStringList{"0 Grumblix moments. Suspicious.", "Either you're on vacation, or you're lying."}));
    QCOMPARE(r.changePercent(), std::optional<int>(-100));
}

void TestWeeklyReport::worstAndCalmestDays_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("weekOffset");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QDate>("worst");
    QTest::addColumn<QDate>("calmest");
    const QDateTime monday = at(berlin, 2025, 3, 24, 18);
    const QDateTime wednesday = at(berlin, 2025, 3, 26, 18);
    const QDateTime thursday = at(berlin, 2025, 3, 27, 18);
    const QDateTime sunday = at(berlin, 2025, 3, 30, 18);
    const auto d = [](int day) { return QDate(2025, 3, day); };
    QTest::newRow("Monday: only today") << monday << 0 << QList<int>{3} << d(24) << QDate();
    QTest::newRow("Monday, nothing yet") << monday << 0 << QList<int>{} << QDate() << QDate();
    QTest::newRow("today is the worst") << thursday << 0 << QList<int>{4, 0, 4, 9} << d(27) << d(25);
    QTest::newRow("tie to the earlier day") << thursday << 0 << QList<int>{4, 6, 6, 0} << d(25) << d(24);
    QTest::newRow("Saturday worst, never calmest")
        << sunday << 0 << QList<int>{1, 1, 1, 1, 1, 5, 0} << d(29) << d(24);
    QTest::newRow("calmest past workday") << sunday << 0 << QList<int>{2, 3, 1, 3, 4, 0, 0} << d(28) << d(26);
    QTest::newRow("only days ahead (clock set back)")
        << wednesday << 0 << QList<int>{0, 0, 0, 2, 1} << QDate() << d(24);
    QTest::newRow("a week ahead") << at(berlin, 2025, 3, 19, 12) << 1 << QList<int>{1, 2, 3} << QDate()
                                  << QDate();
}

void TestWeeklyReport::worstAndCalmestDays()
{
    QFETCH(QDateTime, now);
    QFETCH(int, weekOffset);
    QFETCH(QList<int>, counts);
    QFETCH(QDate, worst);
    QFETCH(QDate, calmest);
    const WeeklyReport r = WeeklyReport::build(weekOf(counts), {}, weekOffset, now, berlin);
    QCOMPARE(r.total, std::accumulate(counts.begin(), counts.end(), 0));
    QCOMPARE(dateOf(r.worstDay), worst);
    QCOMPARE(dateOf(r.calmestDay), calmest);
    QCOMPARE(r.days.size(), 7);
    QCOMPARE(r.days.first().date, at(berlin, 2025, 3, 24));
}

void TestWeeklyReport::rankingsLeaveOutMissingTriggersAndApps()
{
    const QList<Trigger> triggers{Trigger::make("build", "Build", "B", 0, true)};
    const QList<VorpEvent> events{
        incident(at(berlin, 2025, 3, 24, 16, 10), QString("build"), QString("Terminal")),
        incident(at(berlin, 2025, 3, 24, 16, 20)),
        incident(at(berlin, 2025, 3, 25, 16, 30), QString(""), std::nullopt, QString("org.example.term")),
        incident(at(berlin, 2025, 3, 25, 11, 0), QString("build"), QString("Terminal")),
        incident(at(berlin, 2025, 3, 12, 16, 0), QString("build"), QString("Elsewhere")),
    };
    const WeeklyReport r = WeeklyReport::build(events, triggers, 0, at(berlin, 2025, 3, 26, 14), berlin);
    QCOMPARE(r.total, 4);
    QCOMPARE(r.previousTotal, 0);
    QVERIFY(!r.changePercent());
    QCOMPARE(r.triggers.size(), 2);
    QCOMPARE(r.triggers[0].id, QStringLiteral("build"));
    QCOMPARE(r.triggers[0].count, 2);
    QCOMPARE(r.triggers[1].id, QString(""));
    QCOMPARE(r.triggers[1].name, QStringLiteral("Deleted trigger"));
    QCOMPARE(r.apps, (QList<CountItem>{{"Terminal", "Terminal", std::nullopt, std::nullopt, 2}}));
    QCOMPARE(r.topTrigger, std::optional<CountItem>(r.triggers[0]));
    QCOMPARE(r.topApp, std::optional<CountItem>(r.apps[0]));
    // Incidents without a trigger or app still make the peak and the days.
    QCOMPARE(r.peakTime, std::optional<QString>("16:20"));
    QCOMPARE(r.days[0].count, 2);
    QCOMPARE(r.verdict, Copy::verdict(r));
    QCOMPARE(r.verdict, QStringLiteral("Case of the Mondays\nconfirmed."));
    QCOMPARE(r.observations,
             (QStringList{"Builds accounted for 50% of this week's suffering.",
                          "The 4pm \"quick call\" strikes again.", "Case of the Mondays confirmed."}));
}

void TestWeeklyReport::changeAgainstThePreviousWeek()
{
    QList<VorpEvent> events = weekOf({1});
    for (int i = 0; i < 8; ++i)
        events << incident(at(berlin, 2025, 3, 17 + i % 7, 10)); // the previous week, up to its Sunday
    events << incident(at(berlin, 2025, 3, 24).addMSecs(-1));
    const WeeklyReport r = WeeklyReport::build(events, {}, 0, at(berlin, 2025, 3, 26, 14), berlin);
    QCOMPARE(r.total, 1);
    QCOMPARE(r.previousTotal, 9);
    QCOMPARE(r.changePercent(), std::optional<int>(-89));
}

void TestWeeklyReport::rangeText_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("two months, two years") << at(berlin, 2026, 1, 2, 12) << english << "DEC 29 \u2013 JAN 4"
                                           << "Dec 29 \u2013 Jan 4";
    QTest::newRow("clocks change on the Sunday")
        << at(berlin, 2025, 3, 26, 12) << english << "MAR 24 \u2013 MAR 30"
        << "Mar 24 \u2013 Mar 30";
    // The script must reach the formatter: Serbian in Latin letters, not Cyrillic.
    QTest::newRow("script of the locale")
        << at(berlin, 2026, 1, 2, 12) << QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia)
        << "29. DEC \u2013 4. JAN"
        << "29. dec \u2013 4. jan";
    QTest::newRow("German order") << at(berlin, 2025, 3, 26, 12) << QLocale(QLocale::German, QLocale::Germany)
                                  << "24. M\u00C4RZ \u2013 30. M\u00C4RZ"
                                  << "24. M\u00E4rz \u2013 30. M\u00E4rz";
}

void TestWeeklyReport::rangeText()
{
    QFETCH(QDateTime, now);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(QString, label);
    QLocale::setDefault(locale);
    const WeeklyReport r = WeeklyReport::build({}, {}, 0, now, berlin);
    const QString rangeText = r.rangeText();
    const QString rangeLabel = WeeklyReport::rangeLabel(r.interval);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(rangeText, text);
    QCOMPARE(rangeLabel, label);
}

void TestWeeklyReport::weekWithoutMidnight()
{
    // São Paulo skipped from 00:00 to 01:00 on Sunday 4 November 2018.
    const QTimeZone zone("America/Sao_Paulo");
    const QList<VorpEvent> events{
        incident(at(zone, 2018, 11, 3, 23, 30)), incident(at(zone, 2018, 11, 4, 1, 5)),
        incident(at(zone, 2018, 11, 4, 1, 15)), incident(at(zone, 2018, 11, 5, 0, 0))};
    const WeeklyReport r = WeeklyReport::build(events, {}, 0, at(zone, 2018, 11, 4, 20), zone);
    QCOMPARE(r.interval.start, at(zone, 2018, 10, 29));
    QCOMPARE(r.interval.durationSecs(), 167 * 3600);
    QCOMPARE(r.total, 3);
    QCOMPARE(r.days[6].date, QDateTime(QDate(2018, 11, 4), QTime(3, 0), Qt::UTC));
    QCOMPARE(r.days[5].count, 1);
    QCOMPARE(r.days[6].count, 2);
    QVERIFY(r.days[6].isToday);
    QCOMPARE(r.worstDay, std::optional<DayBucket>(r.days[6]));
    QCOMPARE(r.peakTime, std::optional<QString>("01:10"));
    QCOMPARE(r.rangeText(), QStringLiteral("OCT 29 \u2013 NOV 4"));
}

QTEST_GUILESS_MAIN(TestWeeklyReport)
#include "tst_weeklyreport.moc"
