#include "models/CalendarKeys.h"

#include <QtTest>

class TestCalendarKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keys_data();
    void keys();
    void sameLocalDayAcrossUtcMidnight();
};

void TestCalendarKeys::keys_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("local"); // wall-clock time in `zone`
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("week");
    const auto at = [](int y, int m, int d, int h = 12, int min = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min));
    };
    QTest::newRow("no zero padding") << QByteArray("Europe/Berlin") << at(2027, 1, 9) << "2027-1-9"
                                     << "2027-W1";
    QTest::newRow("december") << QByteArray("Europe/Berlin") << at(2026, 12, 5) << "2026-12-5"
                              << "2026-W49";
    QTest::newRow("new year friday") << QByteArray("Europe/Berlin") << at(2027, 1, 1) << "2027-1-1"
                                     << "2026-W53";
    QTest::newRow("sunday before") << QByteArray("Europe/Berlin") << at(2027, 1, 3, 23, 59) << "2027-1-3"
                                   << "2026-W53";
    QTest::newRow("monday starts W1") << QByteArray("Europe/Berlin") << at(2027, 1, 4, 0, 0) << "2027-1-4"
                                      << "2027-W1";
    QTest::newRow("wednesday W53") << QByteArray("America/New_York") << at(2026, 12, 30) << "2026-12-30"
                                   << "2026-W53";
    QTest::newRow("dec 29 is next year's W1") << QByteArray("UTC") << at(2025, 12, 29) << "2025-12-29"
                                              << "2026-W1";
    // Spring forward: 02:00 does not exist in Berlin on 28 March 2027; 01:59 and 03:00 share a day.
    QTest::newRow("dst spring") << QByteArray("Europe/Berlin") << at(2027, 3, 28, 3, 0) << "2027-3-28"
                                << "2027-W12";
    QTest::newRow("dst autumn late") << QByteArray("America/Sao_Paulo") << at(2018, 11, 4, 23, 30)
                                     << "2018-11-4"
                                     << "2018-W44";
    // Sao Paulo's midnight did not exist on 4 November 2018; the day still has a key.
    QTest::newRow("missing midnight")
        << QByteArray("America/Sao_Paulo") << at(2018, 11, 4, 1, 30) << "2018-11-4"
        << "2018-W44";
}

void TestCalendarKeys::keys()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, local);
    QFETCH(QString, day);
    QFETCH(QString, week);
    const QTimeZone tz(zone);
    QVERIFY(tz.isValid());
    const QDateTime moment(local.date(), local.time(), tz);
    QCOMPARE(dayKey(moment.toUTC(), tz), day);
    QCOMPARE(weekKey(moment.toUTC(), tz), week);
}

void TestCalendarKeys::sameLocalDayAcrossUtcMidnight()
{
    const QTimeZone tokyo("Asia/Tokyo");
    // 08:30 and 09:30 in Tokyo lie on either side of UTC midnight.
    const QDateTime early(QDate(2026, 12, 5), QTime(8, 30), tokyo);
    const QDateTime late(QDate(2026, 12, 5), QTime(9, 30), tokyo);
    QVERIFY(early.toUTC().date() != late.toUTC().date());
    QCOMPARE(dayKey(early, tokyo), dayKey(late, tokyo));
    QCOMPARE(dayKey(early, tokyo), QStringLiteral("2026-12-5"));
}

QTEST_GUILESS_MAIN(TestCalendarKeys)
#include "tst_calendarkeys.moc"
