#include "features/overview/WeekChartValues.h"

#include <QtTest>

using namespace WeekChartValues;

namespace {
QList<bool> futureFrom(int firstFuture)
{
    QList<bool> flags;
    for (int i = 0; i < 7; ++i)
        flags << (i >= firstFuture);
    return flags;
}
} // namespace

class TestWeekChartValues : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void summary_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<int>("firstFuture"); // 7: a past week
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("activeDays");
        QTest::addColumn<double>("average");
        QTest::addColumn<int>("worst");
        QTest::newRow("Wednesday of this week") << QList<int>{6, 0, 3, 0, 0, 0, 0} << 3 << 9 << 3 << 3.0 << 0;
        QTest::newRow("past week divides by seven")
            << QList<int>{1, 2, 3, 4, 5, 6, 7} << 7 << 28 << 7 << 4.0 << 6;
        QTest::newRow("tie keeps the earlier day")
            << QList<int>{2, 5, 1, 5, 0, 0, 0} << 7 << 13 << 7 << 13 / 7.0 << 1;
        QTest::newRow("empty week's worst day is Monday") << QList<int>(7, 0) << 7 << 0 << 7 << 0.0 << 0;
        QTest::newRow("a week wholly ahead still divides by one")
            << QList<int>(7, 0) << 0 << 0 << 1 << 0.0 << 0;
        QTest::newRow("no days") << QList<int>{} << 0 << 0 << 1 << 0.0 << -1;
    }
    void summary()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, firstFuture);
        const Summary s = summarize(counts, futureFrom(firstFuture).mid(0, counts.size()));
        QTEST(s.total, "total");
        QTEST(s.activeDays, "activeDays");
        QTEST(s.average, "average");
        QTEST(s.worstIndex, "worst");
    }

    void barTones_data()
    {
        QTest::addColumn<bool>("future");
        QTest::addColumn<bool>("today");
        QTest::addColumn<bool>("hoveredDay");
        QTest::addColumn<bool>("anyHovered");
        QTest::addColumn<int>("tone");
        QTest::addColumn<double>("labelOpacity");
        QTest::newRow("future beats hover") << true << false << true << true << int(BarTone::future) << 0.8;
        QTest::newRow("future stays grid unhovered")
            << true << false << false << false << int(BarTone::future) << 0.8;
        QTest::newRow("hovered day") << false << false << true << true << int(BarTone::hovered) << 0.8;
        QTest::newRow("today dims while another is hovered")
            << false << true << false << true << int(BarTone::dimmed) << 0.3;
        QTest::newRow("today unhovered") << false << true << false << false << int(BarTone::today) << 0.8;
        QTest::newRow("other day unhovered")
            << false << false << false << false << int(BarTone::normal) << 0.8;
    }
    void barTones()
    {
        QFETCH(bool, future);
        QFETCH(bool, today);
        QFETCH(bool, hoveredDay);
        QFETCH(bool, anyHovered);
        QTEST(int(barTone(future, today, hoveredDay, anyHovered)), "tone");
        QTEST(countLabelOpacity(hoveredDay, anyHovered), "labelOpacity");
    }

    void facts_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("peak");
        QTest::addColumn<QString>("trigger"); // empty: none
        QTest::addColumn<QString>("text");
        QTest::newRow("zero, nothing else") << 0 << QString() << QString() << "0 Grumblix moments";
        QTest::newRow("one with everything")
            << 1 << "09:41"
            << "Meetings"
            << "1 Grumblix moment  ·  Peak: 09:41  ·  Top trigger: 📅 Meetings";
        QTest::newRow("no trigger fact") << 4 << "14:05" << QString() << "4 Grumblix moments  ·  Peak: 14:05";
    }
    void facts()
    {
        QFETCH(int, count);
        QFETCH(QString, peak);
        QFETCH(QString, trigger);
        std::optional<QString> p = peak.isNull() ? std::nullopt : std::optional(peak);
        std::optional<TopTrigger> t;
        if (!trigger.isEmpty())
            t = TopTrigger{QStringLiteral("📅"), trigger};
        QTEST(dayFacts(count, p, t), "text");
    }

    void paging()
    {
        int offset = 0;
        QVERIFY(!canPageForward(offset));
        QCOMPARE(pageForward(offset), 0);
        QCOMPARE(weekTitle(offset, "Mar 3 – Mar 9"), QStringLiteral("This week"));
        offset = pageBack(offset);
        QCOMPARE(weekTitle(offset, "Mar 3 – Mar 9"), QStringLiteral("Last week"));
        offset = pageBack(offset);
        QCOMPARE(weekTitle(offset, "Mar 3 – Mar 9"), QStringLiteral("Mar 3 – Mar 9"));
        for (int i = 0; i < 1000; ++i)
            offset = pageBack(offset);
        QCOMPARE(offset, -1002);
        QVERIFY(canPageForward(offset));
        QCOMPARE(pageForward(-1), 0);
    }

    void bands_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("band");
        QTest::newRow("left edge") << 0.0 << 0;
        QTest::newRow("inside Monday") << 99.9 << 0;
        QTest::newRow("Tuesday starts") << 100.0 << 1;
        QTest::newRow("last pixel") << 699.9 << 6;
        QTest::newRow("right of the plot") << 700.0 << -1;
        QTest::newRow("left of the plot") << -1.0 << -1;
    }
    void bands()
    {
        QFETCH(double, x);
        QTEST(bandAt(x, 700, 7), "band");
    }

    void axis_data()
    {
        QTest::addColumn<int>("largest");
        QTest::addColumn<QList<int>>("marks");
        QTest::newRow("empty week") << 0 << QList<int>{0, 1};
        QTest::newRow("small") << 4 << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("six") << 6 << QList<int>{0, 2, 4, 6};
        QTest::newRow("thirteen") << 13 << QList<int>{0, 5, 10, 15};
        QTest::newRow("big") << 230 << QList<int>{0, 50, 100, 150, 200, 250};
    }
    void axis()
    {
        QFETCH(int, largest);
        QTEST(axisMarks(largest), "marks");
    }
};

QTEST_GUILESS_MAIN(TestWeekChartValues)
#include "tst_weekchartvalues.moc"
