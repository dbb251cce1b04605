#include "services/DayWatcher.h"

#include <QSignalSpy>
#include <QtTest>

// The one day-change source, driven by a clock the test moves by hand.
class TestDayWatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void noticesAChangedDate_data();
    void noticesAChangedDate();
    void nothingBeforeStart();
    void timeZoneChangeCanTurnTheDay();
    void periodicCheckNoticesAResume();
    void midnightTimerFiresTheChange();
    void msecsToNextDay_data();
    void msecsToNextDay();

private:
    std::unique_ptr<DayWatcher> watcher(const QTimeZone &zone);

    const QTimeZone m_berlin{"Europe/Berlin"};
    QDateTime m_now;
};

void TestDayWatcher::init()
{
    m_now = QDateTime(QDate(2026, 12, 9), QTime(15, 0), m_berlin);
}

std::unique_ptr<DayWatcher> TestDayWatcher::watcher(const QTimeZone &zone)
{
    return std::make_unique<DayWatcher>([this] { return m_now; }, zone);
}

void TestDayWatcher::noticesAChangedDate_data()
{
    QTest::addColumn<QDateTime>("moved");
    QTest::addColumn<QDate>("newDay"); // invalid: no change
    const QTimeZone berlin("Europe/Berlin");
    QTest::newRow("later the same day")
        << QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59), berlin) << QDate();
    QTest::newRow("just past midnight")
        << QDateTime(QDate(2026, 12, 10), QTime(0, 0), berlin) << QDate(2026, 12, 10);
    QTest::newRow("resumed three days later")
        << QDateTime(QDate(2026, 12, 12), QTime(8, 30), berlin) << QDate(2026, 12, 12);
    QTest::newRow("clock set back a day")
        << QDateTime(QDate(2026, 12, 8), QTime(15, 0), berlin) << QDate(2026, 12, 8);
    // 23:30 UTC is already the next day in Berlin.
    QTest::newRow("same instant seen in UTC")
        << QDateTime(QDate(2026, 12, 9), QTime(23, 30), QTimeZone::utc()) << QDate(2026, 12, 10);
}

void TestDayWatcher::noticesAChangedDate()
{
    QFETCH(QDateTime, moved);
    QFETCH(QDate, newDay);
    auto days = watcher(m_berlin);
    QSignalSpy spy(days.get(), &DayWatcher::dayChanged);
    days->start();
    QCOMPARE(days->today(), QDate(2026, 12, 9));
    QCOMPARE(spy.count(), 0);

    m_now = moved;
    days->check();
    days->check(); // a second look at the same date says nothing more
    QCOMPARE(spy.count(), newDay.isValid() ? 1 : 0);
    if (newDay.isValid()) {
        QCOMPARE(spy.at(0).at(0).toDate(), newDay);
        QCOMPARE(days->today(), newDay);
    }
}

void TestDayWatcher::nothingBeforeStart()
{
    auto days = watcher(m_berlin);
    QSignalSpy spy(days.get(), &DayWatcher::dayChanged);
    m_now = m_now.addDays(1);
    days->check();
    QCOMPARE(spy.count(), 0);
    QVERIFY(!days->isStarted());
    // Starting takes the date as it is then; it is no change.
    days->start();
    QCOMPARE(days->today(), QDate(2026, 12, 10));
    QCOMPARE(spy.count(), 0);
}

void TestDayWatcher::timeZoneChangeCanTurnTheDay()
{
    m_now = QDateTime(QDate(2026, 12, 9), QTime(23, 30), m_berlin);
    auto days = watcher(m_berlin);
    QSignalSpy spy(days.get(), &DayWatcher::dayChanged);
    days->start();
    // Travelling west: in New York it is still the afternoon of the 9th.
    days->setTimeZone(QTimeZone("America/New_York"));
    QCOMPARE(spy.count(), 0);
    // Travelling east: in Tokyo it is the morning of the 10th.
    days->setTimeZone(QTimeZone("Asia/Tokyo"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(days->today(), QDate(2026, 12, 10));
}

void TestDayWatcher::periodicCheckNoticesAResume()
{
    auto days = watcher(m_berlin);
    days->setCheckInterval(std::chrono::milliseconds(20));
    QSignalSpy spy(days.get(), &DayWatcher::dayChanged);
    days->start();
    // The machine slept through midnight: no timer fired at it, the clock simply jumped.
    m_now = m_now.addSecs(20 * 3600);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(days->today(), QDate(2026, 12, 10));
}

void TestDayWatcher::midnightTimerFiresTheChange()
{
    // Real time for once: a second before midnight in this zone.
    const QTimeZone zone = QTimeZone::utc();
    QDateTime start = QDateTime::currentDateTimeUtc();
    const qint64 offset = start.msecsTo(start.date().addDays(1).startOfDay(zone)) - 1000;
    DayWatcher days([offset] { return QDateTime::currentDateTimeUtc().addMSecs(offset); }, zone);
    days.setCheckInterval(std::chrono::hours(1)); // only the midnight timer can see it
    QSignalSpy spy(&days, &DayWatcher::dayChanged);
    days.start();
    QVERIFY(days.msecsToNextDay() <= 1000 + 500);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
}

void TestDayWatcher::msecsToNextDay_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<qint64>("expected");
    const QTimeZone berlin("Europe/Berlin");
    const qint64 hour = 3600 * 1000;
    QTest::newRow("afternoon") << QDateTime(QDate(2026, 12, 9), QTime(15, 0), berlin) << 9 * hour + 500;
    // The night the clocks go forward has an hour less until midnight after it.
    QTest::newRow("spring forward") << QDateTime(QDate(2026, 3, 29), QTime(0, 0), berlin) << 23 * hour + 500;
    QTest::newRow("fall back") << QDateTime(QDate(2026, 10, 25), QTime(0, 0), berlin) << 25 * hour + 500;
    QTest::newRow("a moment before midnight, never under a second")
        << QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59, 900), berlin) << qint64(1000);
}

void TestDayWatcher::msecsToNextDay()
{
    QFETCH(QDateTime, now);
    QFETCH(qint64, expected);
    m_now = now;
    QCOMPARE(watcher(m_berlin)->msecsToNextDay(), expected);
}

QTEST_GUILESS_MAIN(TestDayWatcher)
#include "tst_daywatcher.moc"
