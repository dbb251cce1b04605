#include "features/LocalDates.h"

#include <QtTest>

class TestLocalDates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formats_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("longDay");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QString>("monthDay");
        const QDateTime utcEvening(QDate(2025, 3, 3), QTime(23, 30), Qt::UTC);
        QTest::newRow("en_US") << "en_US"
                               << "UTC" << utcEvening << "Monday, March 3"
                               << "Mon"
                               << "Mar 3";
        // The wall-clock day is that of the given zone, not of UTC.
        QTest::newRow("zone moves the day") << "en_US"
                                            << "Europe/Berlin" << utcEvening << "Tuesday, March 4"
                                            << "Tue"
                                            << "Mar 4";
        QTest::newRow("de_DE orders day first") << "de_DE"
                                                << "UTC" << utcEvening << "Montag, 3. März"
                                                << "Mo"
                                                << "3. März";
    }
    void formats()
    {
        QFETCH(QString, locale);
        QFETCH(QString, zone);
        QFETCH(QDateTime, moment);
        const QLocale loc(locale);
        const QTimeZone tz(zone.toLatin1());
        QTEST(LocalDates::longDay(moment, tz, loc), "longDay");
        QTEST(LocalDates::shortWeekday(moment, tz, loc), "weekday");
        QTEST(LocalDates::monthDay(moment, tz, loc), "monthDay");
    }

    void invalidDateGivesEmptyText()
    {
        QVERIFY(LocalDates::longDay({}, QTimeZone::utc(), QLocale(QLocale::English)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLocalDates)
#include "tst_localdates.moc"
