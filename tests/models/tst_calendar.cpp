#include "models/Calendar.h"
#include "support/IncidentFixtures.h"

#include <QRandomGenerator>
#include <QtTest>

using Fixtures::at;

class TestCalendar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void weekdayNumbers_data();
    void weekdayNumbers();
    void weekIntervals_data();
    void weekIntervals();
    void missingMidnightStartsTheDayAtItsFirstMoment();
    void repeatedMidnightStartsTheDayAtItsFirstMoment_data();
    void repeatedMidnightStartsTheDayAtItsFirstMoment();
    void addingDaysKeepsStartsOfDayAcrossChanges_data();
    void addingDaysKeepsStartsOfDayAcrossChanges();
    void monthInterval();
    void fastLocalTimeMatchesTheZone_data();
    void fastLocalTimeMatchesTheZone();
};

void TestCalendar::weekdayNumbers_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<int>("weekday");
    const QTimeZone berlin("Europe/Berlin");
    QTest::newRow("Sunday is 1") << at(berlin, 2025, 3, 23, 12) << "Europe/Berlin" << 1;
    QTest::newRow("Monday is 2") << at(berlin, 2025, 3, 24, 0) << "Europe/Berlin" << 2;
    QTest::newRow("Friday is 6") << at(berlin, 2025, 3, 28, 23, 59) << "Europe/Berlin" << 6;
    QTest::newRow("Saturday is 7") << at(berlin, 2025, 3, 29) << "Europe/Berlin" << 7;
    // Still Sunday in UTC, already Monday in Tokyo: the calendar's zone decides.
    QTest::newRow("local day, not UTC day")
        << QDateTime(QDate(2025, 3, 23), QTime(23, 30), Qt::UTC) << "Asia/Tokyo" << 2;
    QTest::newRow("before 1970") << QDateTime(QDate(1969, 12, 31), QTime(23, 0), Qt::UTC) << "UTC" << 4;
}

void TestCalendar::weekdayNumbers()
{
    QFETCH(QDateTime, instant);
    QFETCH(QString, zone);
    QFETCH(int, weekday);
    const Calendar cal(QTimeZone(zone.toLatin1()));
    QCOMPARE(cal.weekday(instant), weekday);
    QCOMPARE(Calendar::weekday(cal.date(instant)), weekday);
    QCOMPARE(Calendar::isWorkday(weekday), weekday >= 2 && weekday <= 6);
}

void TestCalendar::weekIntervals_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QDate>("monday");
    QTest::addColumn<qint64>("hours");
    const QTimeZone berlin("Europe/Berlin");
    const QTimeZone saoPaulo("America/Sao_Paulo");
    QTest::newRow("midweek") << "Europe/Berlin" << at(berlin, 2025, 3, 12, 15) << QDate(2025, 3, 10) << 168LL;
    QTest::newRow("Monday midnight opens the week")
        << "Europe/Berlin" << at(berlin, 2025, 3, 10) << QDate(2025, 3, 10) << 168LL;
    QTest::newRow("last millisecond of Sunday")
        << "Europe/Berlin" << at(berlin, 2025, 3, 9, 23, 59, 59, 999) << QDate(2025, 3, 3) << 168LL;
    QTest::newRow("spring forward inside the week")
        << "Europe/Berlin" << at(berlin, 2025, 3, 26, 9) << QDate(2025, 3, 24) << 167LL;
    QTest::newRow("fall back inside the week")
        << "Europe/Berlin" << at(berlin, 2025, 10, 26, 12) << QDate(2025, 10, 20) << 169LL;
    QTest::newRow("across the year end")
        << "Europe/Berlin" << at(berlin, 2026, 1, 1, 10) << QDate(2025, 12, 29) << 168LL;
    QTest::newRow("Sunday without midnight")
        << "America/Sao_Paulo" << at(saoPaulo, 2018, 11, 4, 12) << QDate(2018, 10, 29) << 167LL;
}

void TestCalendar::weekIntervals()
{
    QFETCH(QString, zone);
    QFETCH(QDateTime, instant);
    QFETCH(QDate, monday);
    QFETCH(qint64, hours);
    const Calendar cal(QTimeZone(zone.toLatin1()));
    const DateInterval week = cal.weekInterval(instant);
    QCOMPARE(week.start, cal.startOfDay(monday));
    QCOMPARE(week.end, cal.startOfDay(monday.addDays(7)));
    QCOMPARE(week.durationSecs(), hours * 3600);
    QVERIFY(week.contains(instant));
    QVERIFY(week.contains(week.start));
    QVERIFY(!week.contains(week.end));
    QCOMPARE(cal.weekInterval(cal.date(instant)), week);
}

void TestCalendar::missingMidnightStartsTheDayAtItsFirstMoment()
{
    // Clocks in São Paulo went from 00:00 straight to 01:00 on 4 November 2018.
    const QTimeZone zone("America/Sao_Paulo");
    const Calendar cal(zone);
    const QDateTime start = cal.startOfDay(QDate(2018, 11, 4));
    QCOMPARE(start, QDateTime(QDate(2018, 11, 4), QTime(3, 0), Qt::UTC));
    QCOMPARE(cal.date(start), QDate(2018, 11, 4));
    QCOMPARE(cal.date(start.addMSecs(-1)), QDate(2018, 11, 3));
    QCOMPARE(cal.hour(start), 1);
    QCOMPARE(cal.startOfDay(at(zone, 2018, 11, 4, 18)), start);
    QCOMPARE(cal.dayInterval(QDate(2018, 11, 4)).durationSecs(), 23 * 3600);
    QVERIFY(cal.isSameDay(start, at(zone, 2018, 11, 4, 23, 59)));
    QVERIFY(!cal.isSameDay(start, start.addMSecs(-1)));
}

void TestCalendar::repeatedMidnightStartsTheDayAtItsFirstMoment_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QDateTime>("firstMoment");
    QTest::addColumn<int>("hours");
    // In each, the clocks went back from 01:00 to 00:00, so the day began an hour before the
    // second midnight and lasted 25 hours.
    QTest::newRow("Havana") << "America/Havana" << QDate(2025, 11, 2)
                            << QDateTime(QDate(2025, 11, 2), QTime(4, 0), Qt::UTC) << 25;
    QTest::newRow("Amman") << "Asia/Amman" << QDate(2021, 10, 29)
                           << QDateTime(QDate(2021, 10, 28), QTime(21, 0), Qt::UTC) << 25;
    QTest::newRow("Gaza") << "Asia/Gaza" << QDate(2021, 10, 29)
                          << QDateTime(QDate(2021, 10, 28), QTime(21, 0), Qt::UTC) << 25;
    QTest::newRow("ordinary fall back after midnight")
        << "Europe/Berlin" << QDate(2025, 10, 26) << QDateTime(QDate(2025, 10, 25), QTime(22, 0), Qt::UTC)
        << 25;
}

void TestCalendar::repeatedMidnightStartsTheDayAtItsFirstMoment()
{
    QFETCH(QString, zone);
    QFETCH(QDate, day);
    QFETCH(QDateTime, firstMoment);
    QFETCH(int, hours);
    const QTimeZone tz(zone.toLatin1());
    if (!tz.isValid())
        QSKIP("time zone data missing");
    const Calendar cal(tz);
    const QDateTime start = cal.startOfDay(day);
    QCOMPARE(start, firstMoment);
    QCOMPARE(cal.date(start), day);
    QCOMPARE(cal.date(start.addMSecs(-1)), day.addDays(-1));
    // "Today" and the day's bucket must agree for an incident in the first hour.
    QCOMPARE(cal.startOfDay(start.addSecs(1800)), start);
    QCOMPARE(cal.dayInterval(day).durationSecs(), qint64(hours) * 3600);
    QCOMPARE(cal.dayInterval(day.addDays(-1)).end, start);
}

void TestCalendar::addingDaysKeepsStartsOfDayAcrossChanges_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<int>("days");
    QTest::addColumn<QDateTime>("expected");
    const QTimeZone berlin("Europe/Berlin");
    const QTimeZone saoPaulo("America/Sao_Paulo");
    QTest::newRow("into a missing midnight") << "America/Sao_Paulo" << QDate(2018, 11, 3).startOfDay(saoPaulo)
                                             << 1 << QDateTime(QDate(2018, 11, 4), QTime(3, 0), Qt::UTC);
    QTest::newRow("out of a missing midnight")
        << "America/Sao_Paulo" << QDate(2018, 11, 4).startOfDay(saoPaulo) << 1 << at(saoPaulo, 2018, 11, 5);
    QTest::newRow("over spring forward")
        << "Europe/Berlin" << at(berlin, 2025, 3, 29) << 2 << at(berlin, 2025, 3, 31);
    QTest::newRow("backwards over fall back")
        << "Europe/Berlin" << at(berlin, 2025, 10, 27) << -2 << at(berlin, 2025, 10, 25);
    QTest::newRow("into the skipped hour") << "Europe/Berlin" << at(berlin, 2025, 3, 29, 2, 30) << 1
                                           << QDateTime(QDate(2025, 3, 30), QTime(1, 30), Qt::UTC);
    QTest::newRow("noon stays noon") << "Europe/Berlin" << at(berlin, 2025, 3, 29, 12) << 1
                                     << at(berlin, 2025, 3, 30, 12);
}

void TestCalendar::addingDaysKeepsStartsOfDayAcrossChanges()
{
    QFETCH(QString, zone);
    QFETCH(QDateTime, from);
    QFETCH(int, days);
    QFETCH(QDateTime, expected);
    const Calendar cal(QTimeZone(zone.toLatin1()));
    QCOMPARE(cal.addDays(from, days), expected);
}

void TestCalendar::monthInterval()
{
    const QTimeZone berlin("Europe/Berlin");
    const DateInterval march = Calendar(berlin).monthInterval(at(berlin, 2025, 3, 31, 23, 30));
    QCOMPARE(march.start, at(berlin, 2025, 3, 1));
    QCOMPARE(march.end, at(berlin, 2025, 4, 1));
    QCOMPARE(march.durationSecs(), (31 * 24 - 1) * 3600);
}

void TestCalendar::fastLocalTimeMatchesTheZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    for (const char *id : {"Europe/Berlin", "America/Sao_Paulo", "Australia/Lord_Howe", "Asia/Kathmandu",
                           "America/St_Johns", "Pacific/Chatham", "UTC", "UTC-03:30"})
        QTest::newRow(id) << QByteArray(id);
}

void TestCalendar::fastLocalTimeMatchesTheZone()
{
    // The offset table must agree with the zone everywhere: around every change of offset, far
    // in the past, and beyond the end of the zone's explicit transitions.
    QFETCH(QByteArray, zone);
    const QTimeZone tz(zone);
    QVERIFY(tz.isValid());
    const Calendar cal(tz);
    QList<qint64> instants;
    const QDateTime from(QDate(1965, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(2070, 1, 1), QTime(0, 0), Qt::UTC);
    for (const auto &t : tz.transitions(from, to)) {
        for (qint64 delta : {-3600001LL, -1LL, 0LL, 1LL, 3599999LL})
            instants << t.atUtc.toMSecsSinceEpoch() + delta;
    }
    QRandomGenerator random(42);
    for (int i = 0; i < 2000; ++i)
        instants << from.toMSecsSinceEpoch() + qint64(random.bounded(1.0) * double(to.toMSecsSinceEpoch() -
                                                                                   from.toMSecsSinceEpoch()));
    for (qint64 ms : std::as_const(instants)) {
        const QDateTime utc = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
        const QDateTime local = utc.toTimeZone(tz);
        const qint64 fast = cal.localMSecs(ms);
        QCOMPARE(fast, ms + qint64(tz.offsetFromUtc(utc)) * 1000);
        QCOMPARE(Calendar::dateOfLocalDay(Calendar::localDay(fast)), local.date());
        QCOMPARE(Calendar::localHour(fast), local.time().hour());
        QCOMPARE(Calendar::localMinute(fast), local.time().minute());
        QCOMPARE(Calendar::weekdayOfLocalDay(Calendar::localDay(fast)), Calendar::weekday(local.date()));
    }
}

QTEST_GUILESS_MAIN(TestCalendar)
#include "tst_calendar.moc"
