#include "features/achievements/AchievementGrid.h"

#include <QtTest>

class TestAchievementGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void columns_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("columns");
        QTest::newRow("narrower than one column still has one") << 180.0 << 1;
        QTest::newRow("exactly one") << 230.0 << 1;
        QTest::newRow("one short of two") << 479.0 << 1;
        QTest::newRow("exactly two") << 480.0 << 2;
        QTest::newRow("smallest window's page") << 682.0 << 2; // 960 - 212 - 1.5 - 64
        QTest::newRow("exactly three") << 730.0 << 3;
        QTest::newRow("exactly four") << 980.0 << 4;
        QTest::newRow("wide") << 1500.0 << 6;
    }
    void columns()
    {
        QFETCH(double, width);
        QFETCH(int, columns);
        QCOMPARE(AchievementGrid::columns(width), columns);
        // The tiles stretch: the columns and gaps fill the width exactly (a single narrow column
        // too), each at least the minimum once there is room for it.
        const double w = AchievementGrid::columnWidth(width, columns);
        QCOMPARE(w * columns + AchievementGrid::spacing * (columns - 1), width);
        if (width >= 230)
            QVERIFY(w >= AchievementGrid::minColumnWidth);
    }

    void progress_data()
    {
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("target");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing yet") << 0 << 10 << 0.0 << "0 / 10";
        QTest::newRow("one short") << 9 << 10 << 0.9 << "9 / 10";
        QTest::newRow("past the target caps") << 140 << 100 << 1.0 << "100 / 100";
    }
    void progress()
    {
        QFETCH(int, progress);
        QFETCH(int, target);
        QFETCH(double, fraction);
        QFETCH(QString, text);
        QCOMPARE(AchievementGrid::progressFraction(progress, target), fraction);
        QCOMPARE(AchievementGrid::progressText(progress, target), text);
    }
};

QTEST_GUILESS_MAIN(TestAchievementGrid)
#include "tst_achievementgrid.moc"
