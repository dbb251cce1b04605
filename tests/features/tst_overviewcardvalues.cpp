#include "features/overview/OverviewCardValues.h"

#include <QtTest>

using namespace OverviewCardValues;

class TestOverviewCardValues : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void percentages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("two of three truncates") << 2 << 3 << "66%";
        QTest::newRow("all") << 5 << 5 << "100%";
        QTest::newRow("one of three") << 1 << 3 << "33%";
        QTest::newRow("no total never divides by zero") << 0 << 0 << "0%";
    }
    void percentages()
    {
        QFETCH(int, count);
        QFETCH(int, total);
        QFETCH(QString, text);
        QCOMPARE(percentText(count, total), text);
    }

    void sixAppsShareOfAllSix()
    {
        // Only five rows are shown but they are shares of all six apps, so they add to less than 100.
        const QList<int> counts{3, 3, 2, 1, 1, 1};
        int sum = 0;
        for (int i = 0; i < 5; ++i)
            sum += percentText(counts[i], 11).chopped(1).toInt();
        QVERIFY(sum < 100);
        QCOMPARE(percentText(counts[0], 11), QStringLiteral("27%"));
    }

    void largestIsAtLeastOne()
    {
        QCOMPARE(largest({}), 1);
        QCOMPARE(largest({0, 0}), 1);
        QCOMPARE(largest({4, 9, 2}), 9);
    }

    void peak_data()
    {
        QTest::addColumn<QList<int>>("hours");
        QTest::addColumn<int>("peak"); // -1: none
        QTest::addColumn<QString>("range");
        QList<int> empty(24, 0);
        QList<int> tie(24, 0);
        tie[14] = 5;
        tie[9] = 5;
        QList<int> late(24, 0);
        late[23] = 2;
        late[0] = 1;
        QTest::newRow("no incidents") << empty << -1 << QString();
        QTest::newRow("tie goes to the earlier hour") << tie << 9 << QStringLiteral("09:00 – 10:00");
        QTest::newRow("hour 23 wraps to 00") << late << 23 << QStringLiteral("23:00 – 00:00");
    }
    void peak()
    {
        QFETCH(QList<int>, hours);
        QFETCH(int, peak);
        QFETCH(QString, range);
        const auto found = peakHour(hours);
        QCOMPARE(found.value_or(-1), peak);
        if (found)
            QCOMPARE(peakRange(*found), range);
    }

    void barHeights_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("scale");
        QTest::addColumn<double>("height");
        QTest::newRow("empty stub") << 0 << 40 << 3.0;
        QTest::newRow("one of forty raised to the minimum") << 1 << 40 << 8.0;
        QTest::newRow("the largest is full height") << 40 << 40 << 62.0;
        QTest::newRow("half") << 20 << 40 << 31.0;
        QTest::newRow("scale of zero treated as one") << 1 << 0 << 62.0;
    }
    void barHeights()
    {
        QFETCH(int, count);
        QFETCH(int, scale);
        QFETCH(double, height);
        QCOMPARE(hourBarHeight(count, scale), height);
    }

    void tones_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("peak");
        QTest::addColumn<int>("hovered");
        QTest::addColumn<int>("tone");
        QTest::newRow("hovered peak stays red") << 9 << 5 << 9 << 9 << int(HourTone::peak);
        QTest::newRow("hovered") << 10 << 2 << 9 << 10 << int(HourTone::hovered);
        QTest::newRow("hovered empty hour") << 3 << 0 << 9 << 3 << int(HourTone::hovered);
        QTest::newRow("empty") << 3 << 0 << 9 << -1 << int(HourTone::empty);
        QTest::newRow("filled") << 11 << 1 << 9 << -1 << int(HourTone::filled);
        QTest::newRow("no peak, all empty") << 0 << 0 << -1 << -1 << int(HourTone::empty);
    }
    void tones()
    {
        QFETCH(int, hour);
        QFETCH(int, count);
        QFETCH(int, peak);
        QFETCH(int, hovered);
        QFETCH(int, tone);
        const auto opt = [](int v) { return v < 0 ? std::optional<int>() : std::optional<int>(v); };
        QCOMPARE(int(hourTone(hour, count, opt(peak), opt(hovered))), tone);
    }

    void tooltips_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 9 << 1 << "09:00 · 1 incident";
        QTest::newRow("zero is plural") << 14 << 0 << "14:00 · 0 incidents";
        QTest::newRow("many") << 23 << 12 << "23:00 · 12 incidents";
    }
    void tooltips()
    {
        QFETCH(int, hour);
        QFETCH(int, count);
        QFETCH(QString, text);
        QCOMPARE(hourTooltip(hour, count), text);
    }
};

QTEST_GUILESS_MAIN(TestOverviewCardValues)
#include "tst_overviewcardvalues.moc"
