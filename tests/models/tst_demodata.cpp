#include "models/DemoData.h"
#include "models/Store.h"

#include <QtTest>

class TestDemoData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void zeroWeeksInsertsNothingButSaves();
    void generatedIncidentsFollowTheTables_data();
    void generatedIncidentsFollowTheTables();
};

void TestDemoData::zeroWeeksInsertsNothingButSaves()
{
    QTemporaryDir dir;
    auto store = Store::open(dir.filePath(QStringLiteral("s.store")));
    VorpEvent pending = VorpEvent::make(QDateTime::currentDateTimeUtc(), {}, {}, {}, {}, EventSource::url);
    store->insert(pending);
    QRandomGenerator random(1);
    QCOMPARE(
        DemoData::generate(*store, {}, 0, QDateTime::currentDateTime(), QTimeZone::systemTimeZone(), random),
        0);
    QCOMPARE(store->events().size(), 1);
    QVERIFY(!store->hasPendingChanges()); // the save ran
}

void TestDemoData::generatedIncidentsFollowTheTables_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("zone");
    // A Wednesday mid-afternoon, a Tuesday just after midnight, a week across a DST change.
    QTest::newRow("wednesday") << 7u << QDateTime(QDate(2026, 12, 9), QTime(15, 0))
                               << QByteArray("Europe/Berlin");
    QTest::newRow("early tuesday") << 42u << QDateTime(QDate(2026, 12, 8), QTime(0, 5))
                                   << QByteArray("Asia/Tokyo");
    QTest::newRow("over dst") << 99u << QDateTime(QDate(2027, 4, 2), QTime(18, 0))
                              << QByteArray("America/New_York");
}

void TestDemoData::generatedIncidentsFollowTheTables()
{
    QFETCH(quint32, seed);
    QFETCH(QDateTime, now);
    QFETCH(QByteArray, zone);
    const QTimeZone tz(zone);
    const QDateTime nowInZone(now.date(), now.time(), tz);
    QTemporaryDir dir;
    auto store = Store::open(dir.filePath(QStringLiteral("s.store")));
    QRandomGenerator random(seed);
    const int weeks = 5;
    const int inserted = DemoData::generate(*store, {}, weeks, nowInZone, tz, random);
    QCOMPARE(store->events().size(), inserted);
    QVERIFY(inserted > 0);
    QVERIFY(!store->hasPendingChanges());

    const QDateTime earliest = now.date().addDays(-(weeks * 7 - 1)).startOfDay(tz);
    QSet<QString> keys;
    for (const auto &key : DemoData::triggerKeyPool())
        keys.insert(key.value_or(QStringLiteral("<none>")));
    QCOMPARE(keys.size(), 10);
    QVERIFY(!keys.contains(QStringLiteral("other")));

    QHash<QDate, int> perDay;
    for (const VorpEvent &event : store->events()) {
        QVERIFY(event.timestamp >= earliest);
        QVERIFY(event.timestamp < nowInZone);
        QCOMPARE(event.sourceRaw, QStringLiteral("demo"));
        QVERIFY(keys.contains(event.triggerKey.value_or(QStringLiteral("<none>"))));
        QVERIFY(event.appName && event.bundleIdentifier);
        bool known = false;
        for (const DemoData::App &app : DemoData::appsFor(event.triggerKey))
            known |= *event.appName == QLatin1String(app.name) &&
                     *event.bundleIdentifier == QLatin1String(app.bundleID);
        QVERIFY2(known, qPrintable(*event.appName));
        if (event.note)
            QVERIFY(DemoData::notes().contains(*event.note));
        const QDateTime local = event.timestamp.toTimeZone(tz);
        const int hour = local.time().hour();
        QVERIFY2(hour >= 9 && hour <= 21 && hour != 19 && hour != 20, qPrintable(local.toString()));
        ++perDay[local.date()];
    }
    for (auto it = perDay.cbegin(); it != perDay.cend(); ++it) {
        const int weekday = it.key().dayOfWeek();
        if (weekday >= 6)
            QVERIFY(it.value() <= 2);
        else if (weekday == 2 && it.key() != now.date())
            QVERIFY(it.value() >= 5);
        else if (it.key() != now.date())
            QVERIFY(it.value() >= 3 && it.value() <= 16);
    }
    // Every workday before today has incidents.
    for (QDate day = now.date().addDays(-1); day >= earliest.date(); day = day.addDays(-1)) {
        if (day.dayOfWeek() <= 5)
            QVERIFY2(perDay.value(day) >= 3, qPrintable(day.toString()));
    }
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
