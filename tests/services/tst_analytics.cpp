#include "services/Analytics.h"
#include "support/IncidentFixtures.h"

#include <QtTest>

using Fixtures::at;
using Fixtures::incident;

namespace {

const QTimeZone berlin("Europe/Berlin");
const QTimeZone saoPaulo("America/Sao_Paulo");

// Wednesday of the week in which Berlin springs forward (Sunday 30 March 2025).
QDateTime wednesday()
{
    return at(berlin, 2025, 3, 26, 14);
}

QList<VorpEvent> atTimes(const QList<QDateTime> &times)
{
    QList<VorpEvent> list;
    for (const QDateTime &t : times)
        list << incident(t);
    return list;
}

CountItem row(const QString &name, int count)
{
    return {name, name, std::nullopt, std::nullopt, count};
}

QStringList names(const QList<CountItem> &items)
{
    QStringList list;
    for (const CountItem &item : items)
        list << item.name;
    return list;
}

} // namespace

class TestAnalytics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void intervalBoundaries_data();
    void intervalBoundaries();
    void weeksAroundNow_data();
    void weeksAroundNow();
    void todayCount_data();
    void todayCount();
    void scopes();
    void dayBucketsOfTheCurrentWeek();
    void dayBucketsOfOtherWeeksAndShortIntervals();
    void dayBucketsStartAtLocalMidnights();
    void maxDailyCount();
    void emptyListGivesZeroesAndNothing();
    void hourHistogramUsesLocalHours();
    void peakTime_data();
    void peakTime();
    void triggerCounts();
    void appCounts();
    void groupingIgnoresHowTextsAreStored();
    void ranking_data();
    void ranking();
    void topWithRest_data();
    void topWithRest();
    void percentChange_data();
    void percentChange();
    void scopeRawValues();
};

void TestAnalytics::intervalBoundaries_data()
{
    QTest::addColumn<QDateTime>("timestamp");
    QTest::addColumn<bool>("inside");
    const DateInterval week = Calendar(berlin).weekInterval(wednesday());
    QTest::newRow("at the start") << week.start << true;
    QTest::newRow("just before the start") << week.start.addMSecs(-1) << false;
    QTest::newRow("just before the end") << week.end.addMSecs(-1) << true;
    QTest::newRow("at the end") << week.end << false;
}

void TestAnalytics::intervalBoundaries()
{
    QFETCH(QDateTime, timestamp);
    QFETCH(bool, inside);
    const Analytics a{atTimes({timestamp}), berlin, wednesday()};
    const DateInterval week = a.week(0);
    QCOMPARE(a.eventsIn(week).size(), inside ? 1 : 0);
    QCOMPARE(a.countIn(week), inside ? 1 : 0);
}

void TestAnalytics::weeksAroundNow_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<qint64>("hours");
    QTest::newRow("this week, an hour short") << wednesday() << 0 << at(berlin, 2025, 3, 24) << 167LL;
    QTest::newRow("last week") << wednesday() << -1 << at(berlin, 2025, 3, 17) << 168LL;
    QTest::newRow("next week") << wednesday() << 1 << at(berlin, 2025, 3, 31) << 168LL;
    QTest::newRow("from Sunday night")
        << at(berlin, 2025, 3, 30, 23, 59) << 0 << at(berlin, 2025, 3, 24) << 167LL;
    QTest::newRow("from Monday midnight")
        << at(berlin, 2025, 3, 31) << -1 << at(berlin, 2025, 3, 24) << 167LL;
    QTest::newRow("a year back") << wednesday() << -52 << at(berlin, 2024, 3, 25) << 167LL;
}

void TestAnalytics::weeksAroundNow()
{
    QFETCH(QDateTime, now);
    QFETCH(int, offset);
    QFETCH(QDateTime, start);
    QFETCH(qint64, hours);
    const Analytics a{{}, berlin, now};
    const DateInterval week = a.week(offset);
    QCOMPARE(week.start, start);
    QCOMPARE(week.durationSecs(), hours * 3600);
    QCOMPARE(Calendar::weekday(week.start.toTimeZone(berlin).date()), 2);
}

void TestAnalytics::todayCount_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QList<VorpEvent>>("events");
    QTest::addColumn<int>("count");
    QTest::newRow("midnight to midnight")
        << "Europe/Berlin" << wednesday()
        << atTimes({at(berlin, 2025, 3, 26), at(berlin, 2025, 3, 25, 23, 59, 59, 999),
                    at(berlin, 2025, 3, 26, 23, 59), at(berlin, 2025, 3, 27), at(berlin, 2025, 3, 26, 20)})
        << 3;
    // The day begins at 01:00 local time; 23:30 the evening before is another day.
    QTest::newRow("day without midnight")
        << "America/Sao_Paulo" << at(saoPaulo, 2018, 11, 4, 9)
        << atTimes({at(saoPaulo, 2018, 11, 3, 23, 30), QDate(2018, 11, 4).startOfDay(saoPaulo),
                    at(saoPaulo, 2018, 11, 4, 23, 59)})
        << 2;
}

void TestAnalytics::todayCount()
{
    QFETCH(QString, zone);
    QFETCH(QDateTime, now);
    QFETCH(QList<VorpEvent>, events);
    QFETCH(int, count);
    const Analytics a{events, QTimeZone(zone.toLatin1()), now};
    QCOMPARE(a.todayCount(), count);
}

void TestAnalytics::scopes()
{
    const QList<VorpEvent> events =
        atTimes({at(berlin, 2025, 3, 26, 9), at(berlin, 2025, 2, 28, 23), at(berlin, 2025, 3, 1),
                 at(berlin, 2025, 3, 24), at(berlin, 2025, 3, 23, 23, 59)});
    const Analytics a{events, berlin, wednesday()};
    const auto times = [](const EventSnapshot &list) {
        QList<QDateTime> result;
        for (const VorpEvent &e : list)
            result << e.timestamp;
        return result;
    };
    QCOMPARE(times(a.eventsFor(Scope::week)), (QList<QDateTime>{events[0].timestamp, events[3].timestamp}));
    QCOMPARE(times(a.eventsFor(Scope::month)), (QList<QDateTime>{events[0].timestamp, events[2].timestamp,
                                                                 events[3].timestamp, events[4].timestamp}));
    QCOMPARE(times(a.eventsFor(Scope::all)), times(events));
}

void TestAnalytics::dayBucketsOfTheCurrentWeek()
{
    const QList<VorpEvent> events =
        atTimes({at(berlin, 2025, 3, 24, 8), at(berlin, 2025, 3, 26, 0), at(berlin, 2025, 3, 26, 13, 59),
                 at(berlin, 2025, 3, 30, 3, 30), at(berlin, 2025, 3, 31), at(berlin, 2025, 3, 23, 23, 59)});
    const Analytics a{events, berlin, wednesday()};
    const QList<DayBucket> days = a.days(a.week(0));
    QCOMPARE(days.size(), 7);
    const QList<int> counts{1, 0, 2, 0, 0, 0, 1};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(days[i].date, at(berlin, 2025, 3, 24 + i));
        QCOMPARE(days[i].count, counts[i]);
        QCOMPARE(days[i].isToday, i == 2);
        QCOMPARE(days[i].isFuture, i > 2);
    }
}

void TestAnalytics::dayBucketsOfOtherWeeksAndShortIntervals()
{
    const Analytics a{atTimes({at(berlin, 2025, 3, 18, 10), at(berlin, 2025, 3, 19, 10)}), berlin,
                      wednesday()};
    for (const DayBucket &day : a.days(a.week(-1)))
        QVERIFY(!day.isToday && !day.isFuture);

    // Only incidents inside the interval are counted, so later buckets of a one-day span stay 0.
    const QList<DayBucket> days = a.days(Calendar(berlin).dayInterval(QDate(2025, 3, 18)));
    QCOMPARE(days.size(), 7);
    QCOMPARE(days[0].count, 1);
    QCOMPARE(days[1].count, 0);
}

void TestAnalytics::dayBucketsStartAtLocalMidnights()
{
    const Analytics a{atTimes({at(saoPaulo, 2018, 11, 3, 23, 30), at(saoPaulo, 2018, 11, 4, 1, 30)}),
                      saoPaulo, at(saoPaulo, 2018, 11, 4, 12)};
    const QList<DayBucket> days = a.days(a.week(0));
    QCOMPARE(days.size(), 7);
    QCOMPARE(days[0].date, at(saoPaulo, 2018, 10, 29));
    QCOMPARE(days[5].date, at(saoPaulo, 2018, 11, 3));
    QCOMPARE(days[6].date, QDateTime(QDate(2018, 11, 4), QTime(3, 0), Qt::UTC));
    QCOMPARE(days[5].count, 1);
    QCOMPARE(days[6].count, 1);
    QVERIFY(days[6].isToday);
    QVERIFY(!days[5].isToday && !days[5].isFuture);
}

void TestAnalytics::maxDailyCount()
{
    // Monday 23:00 and two on Tuesday after midnight: three within 24 hours, but two per day.
    QList<VorpEvent> events = atTimes({at(berlin, 2025, 3, 17, 23), at(berlin, 2025, 3, 18, 0, 30),
                                       at(berlin, 2025, 3, 18, 1), at(berlin, 2025, 3, 10, 9)});
    for (int i = 0; i < 12; ++i)
        events << incident(at(berlin, 2025, 3, 26, 1 + i));
    const Analytics a{events, berlin, wednesday()};
    QCOMPARE(a.maxDailyCount(wednesday()), 2);
    QCOMPARE(a.maxDailyCount(at(berlin, 2025, 3, 27)), 12);
    QCOMPARE(a.maxDailyCount(at(berlin, 2025, 3, 18, 23)), 1);
    QCOMPARE(a.maxDailyCount(at(berlin, 2025, 3, 10, 23)), 0);

    // A day far from the others still counts on its own.
    for (int i = 0; i < 3; ++i)
        events << incident(at(berlin, 1901, 5, 1, 10 + i));
    QCOMPARE((Analytics{events, berlin, wednesday()}.maxDailyCount(wednesday())), 3);
}

void TestAnalytics::emptyListGivesZeroesAndNothing()
{
    const Analytics a{{}, berlin, wednesday()};
    QCOMPARE(a.todayCount(), 0);
    const QList<DayBucket> days = a.days(a.week(0));
    QCOMPARE(days.size(), 7);
    for (const DayBucket &day : days)
        QCOMPARE(day.count, 0);
    QCOMPARE(a.maxDailyCount(wednesday()), 0);
    QCOMPARE(Analytics::hourHistogram({}, berlin), QList<int>(24, 0));
    QVERIFY(!Analytics::peakTime({}, berlin));
    QVERIFY(Analytics::triggerCounts({}, {}).isEmpty());
    QVERIFY(Analytics::appCounts({}).isEmpty());
}

void TestAnalytics::hourHistogramUsesLocalHours()
{
    // 03:30 exists only in summer time on 30 March; 00:30 UTC is 01:30 in Berlin.
    const QList<int> hours = Analytics::hourHistogram(
        atTimes({at(berlin, 2025, 3, 30, 3, 30), QDateTime(QDate(2025, 3, 30), QTime(0, 30), Qt::UTC),
                 at(berlin, 2025, 3, 30, 23, 59)}),
        berlin);
    QCOMPARE(hours.size(), 24);
    QCOMPARE(hours[3], 1);
    QCOMPARE(hours[1], 1);
    QCOMPARE(hours[23], 1);
    QCOMPARE(std::accumulate(hours.begin(), hours.end(), 0), 3);
}

void TestAnalytics::peakTime_data()
{
    QTest::addColumn<QList<QTime>>("times");
    QTest::addColumn<QString>("peak");
    QTest::newRow("tie to the earlier hour, mean truncated")
        << QList<QTime>{QTime(9, 10), QTime(14, 0), QTime(9, 15), QTime(14, 30)} << "09:12";
    QTest::newRow("half a minute truncated") << QList<QTime>{QTime(9, 0), QTime(9, 59)} << "09:29";
    QTest::newRow("busier later hour wins")
        << QList<QTime>{QTime(8, 5), QTime(17, 1), QTime(17, 2), QTime(17, 6)} << "17:03";
    QTest::newRow("one at 23:59") << QList<QTime>{QTime(23, 59)} << "23:59";
    QTest::newRow("only midnight") << QList<QTime>{QTime(0, 0), QTime(0, 0, 30)} << "00:00";
}

void TestAnalytics::peakTime()
{
    QFETCH(QList<QTime>, times);
    QFETCH(QString, peak);
    QList<VorpEvent> events;
    for (int i = 0; i < times.size(); ++i)
        events << incident(QDateTime(QDate(2025, 3, 20 + i), times[i], berlin));
    const std::optional<QString> found = Analytics::peakTime(events, berlin);
    QVERIFY(found);
    QCOMPARE(*found, peak);
}

void TestAnalytics::triggerCounts()
{
    const QList<Trigger> triggers{Trigger::make("meeting", "Meeting", "M", 0, true),
                                  Trigger::make("bug", "Bug", "B", 1, true)};
    const QDateTime t = wednesday();
    const QList<VorpEvent> events{incident(t),
                                  incident(t, QString("bug")),
                                  incident(t),
                                  incident(t, QString("gone")),
                                  incident(t, QString("meeting")),
                                  incident(t, QString("bug"))};
    const QList<CountItem> rows = Analytics::triggerCounts(events, triggers);
    const TriggerInfo none = info(triggers, std::nullopt);
    const TriggerInfo deleted = info(triggers, QString("gone"));
    const QList<CountItem> expected{
        {"bug", "Bug", QString("B"), std::nullopt, 2},
        {"_none", none.name, none.emoji, std::nullopt, 2},
        {"gone", deleted.name, deleted.emoji, std::nullopt, 1},
        {"meeting", "Meeting", QString("M"), std::nullopt, 1},
    };
    QCOMPARE(rows, expected);
    QCOMPARE(none.name, QStringLiteral("Uncategorized"));
    QCOMPARE(deleted.name, QStringLiteral("Deleted trigger"));
}

void TestAnalytics::appCounts()
{
    const QDateTime t = wednesday();
    const QList<VorpEvent> events{
        incident(t, std::nullopt, QString("Slack")),
        incident(t, std::nullopt, QString("Zoom"), QString("us.zoom.first")),
        incident(t, std::nullopt, QString("Zoom"), QString("us.zoom.second")),
        incident(t),
        incident(t, std::nullopt, QString("Slack"), QString("com.slack")),
    };
    const QList<CountItem> rows = Analytics::appCounts(events);
    const QList<CountItem> expected{
        {"Slack", "Slack", std::nullopt, std::nullopt, 2},
        {"Zoom", "Zoom", std::nullopt, QString("us.zoom.first"), 2},
        {"Unknown", "Unknown", std::nullopt, std::nullopt, 1},
    };
    QCOMPARE(rows, expected);
}

void TestAnalytics::groupingIgnoresHowTextsAreStored()
{
    // The store shares one buffer per distinct text; incidents logged later carry their own.
    const QString shared = QStringLiteral("Zoom");
    QList<VorpEvent> events;
    for (int i = 0; i < 3; ++i) {
        events << incident(wednesday(), shared, shared);
        events << incident(wednesday(), QString::fromUtf8("Zoom"), QString::fromUtf8("Zoom"));
        events << incident(wednesday(), QString::fromUtf8("Zoon"), QString::fromUtf8("Zoon"));
    }
    const QList<CountItem> apps = Analytics::appCounts(events);
    QCOMPARE(apps.size(), 2);
    QCOMPARE(apps[0].name, shared);
    QCOMPARE(apps[0].count, 6);
    const QList<CountItem> triggers = Analytics::triggerCounts(events, {});
    QCOMPARE(triggers.size(), 2);
    QCOMPARE(triggers[0].count, 6);
    QCOMPARE(triggers[1].id, QStringLiteral("Zoon"));
}

void TestAnalytics::ranking_data()
{
    QTest::addColumn<QList<CountItem>>("rows");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("count, then name")
        << QList<CountItem>{row("b", 5), row("c", 7), row("a", 5)} << QStringList{"c", "a", "b"};
    QTest::newRow("upper case before lower case")
        << QList<CountItem>{row("mail", 3), row("Zoom", 3)} << QStringList{"Zoom", "mail"};
    QTest::newRow("Mail before mail")
        << QList<CountItem>{row("mail", 1), row("Mail", 1)} << QStringList{"Mail", "mail"};
    // By code point U+FF21 comes before U+1F600, though its UTF-16 unit is the larger.
    QTest::newRow("beyond the basic plane")
        << QList<CountItem>{row("\U0001F600", 2), row("\uFF21", 2)} << QStringList{"\uFF21", "\U0001F600"};
    // Compared in composed form: e + combining acute is é (U+00E9), after f.
    QTest::newRow("composed form") << QList<CountItem>{row("e\u0301", 4), row("f", 4)}
                                   << QStringList{"f", "e\u0301"};
}

void TestAnalytics::ranking()
{
    QFETCH(QList<CountItem>, rows);
    QFETCH(QStringList, order);
    Analytics::rank(rows);
    QCOMPARE(names(rows), order);
}

void TestAnalytics::topWithRest_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("rest");
    QTest::newRow("6 of limit 6") << 6 << 6 << QStringList{"r0", "r1", "r2", "r3", "r4", "r5"} << -1;
    QTest::newRow("7 of limit 6") << 7 << 6 << QStringList{"r0", "r1", "r2", "r3", "r4", "Everything else"}
                                  << 6 + 7;
    QTest::newRow("9 of limit 6") << 9 << 6 << QStringList{"r0", "r1", "r2", "r3", "r4", "Everything else"}
                                  << 6 + 7 + 8 + 9;
    QTest::newRow("limit 1") << 3 << 1 << QStringList{"Everything else"} << 1 + 2 + 3;
    QTest::newRow("limit 0 folds everything") << 3 << 0 << QStringList{"Everything else"} << 1 + 2 + 3;
    QTest::newRow("fewer than the limit") << 2 << 6 << QStringList{"r0", "r1"} << -1;
}

void TestAnalytics::topWithRest()
{
    QFETCH(int, size);
    QFETCH(int, limit);
    QFETCH(QStringList, order);
    QFETCH(int, rest);
    QList<CountItem> items;
    for (int i = 0; i < size; ++i)
        items << row(QStringLiteral("r%1").arg(i), i + 1);
    const QList<CountItem> result = Analytics::topWithRest(items, limit);
    QCOMPARE(names(result), order);
    if (rest < 0) {
        QCOMPARE(result, items);
        return;
    }
    const CountItem folded{"_rest", "Everything else", QString("\U0001F300"), std::nullopt, rest};
    QCOMPARE(result.last(), folded);
}

void TestAnalytics::percentChange_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("previous");
    QTest::addColumn<std::optional<int>>("percent");
    QTest::newRow("3 vs 2") << 3 << 2 << std::optional<int>(50);
    QTest::newRow("1 vs 8, half away from zero") << 1 << 8 << std::optional<int>(-88);
    QTest::newRow("2 vs 8") << 2 << 8 << std::optional<int>(-75);
    QTest::newRow("11 vs 8, half up") << 11 << 8 << std::optional<int>(38);
    QTest::newRow("5 vs 5") << 5 << 5 << std::optional<int>(0);
    QTest::newRow("nothing before") << 40 << 0 << std::optional<int>();
    QTest::newRow("beyond int") << std::numeric_limits<int>::max() << 1
                                << std::optional<int>(std::numeric_limits<int>::max());
}

void TestAnalytics::percentChange()
{
    QFETCH(int, total);
    QFETCH(int, previous);
    QFETCH(std::optional<int>, percent);
    QCOMPARE(Analytics::percentChange(total, previous), percent);
}

void TestAnalytics::scopeRawValues()
{
    QCOMPARE(allScopes(), (QList<Scope>{Scope::week, Scope::month, Scope::all}));
    QCOMPARE(rawValue(Scope::all), QStringLiteral("All time"));
    for (Scope scope : allScopes())
        QCOMPARE(scopeFromRaw(rawValue(scope)), std::optional<Scope>(scope));
    QVERIFY(!scopeFromRaw(QStringLiteral("all")));
    QVERIFY(!scopeFromRaw(QStringLiteral("week")));
}

QTEST_GUILESS_MAIN(TestAnalytics)
#include "tst_analytics.moc"
