#include "models/Trigger.h"
#include "models/VorpEvent.h"

#include <QtTest>

class TestRecords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sourceFromRaw_data();
    void sourceFromRaw();
    void newRecordsAreDistinctAndKeepAbsentTexts();
    void triggerLookup_data();
    void triggerLookup();
};

void TestRecords::sourceFromRaw_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("known");
    QTest::newRow("physical") << "physical" << true;
    QTest::newRow("menuBar") << "menuBar" << true;
    QTest::newRow("case differs") << "MenuBar" << false;
    QTest::newRow("leading blank") << " demo" << false;
    QTest::newRow("trailing blank") << "url " << false;
    QTest::newRow("empty") << "" << false;
}

void TestRecords::sourceFromRaw()
{
    QFETCH(QString, raw);
    QFETCH(bool, known);
    const auto source = eventSourceFromRaw(raw);
    QCOMPARE(source.has_value(), known);
    if (known)
        QCOMPARE(rawValue(*source), raw);
}

void TestRecords::newRecordsAreDistinctAndKeepAbsentTexts()
{
    const QDateTime now = QDateTime::currentDateTime();
    const VorpEvent a = VorpEvent::make(now, {}, {}, {}, {}, EventSource::shortcut);
    const VorpEvent b = VorpEvent::make(now, {}, {}, {}, {}, EventSource::shortcut);
    QVERIFY(a.uuid != b.uuid);
    QVERIFY(!a.appName && !a.bundleIdentifier && !a.triggerKey && !a.note);
    QCOMPARE(a.sourceRaw, QStringLiteral("shortcut"));
    QVERIFY(!a.sameRecord(b));
}

void TestRecords::triggerLookup_data()
{
    QTest::addColumn<QList<Trigger>>("triggers");
    QTest::addColumn<std::optional<QString>>("key");
    QTest::addColumn<QString>("name");

    Trigger hidden = Trigger::make("bug", "Bug", "B", 0, true);
    hidden.isHidden = true;
    const QList<Trigger> list{Trigger::make("meeting", "Meeting", "M", 0, true),
                              Trigger::make("meeting", "Second", "S", 1, false), hidden};
    QTest::newRow("no key") << list << std::optional<QString>() << "Uncategorized";
    QTest::newRow("first of duplicates wins") << list << std::optional<QString>("meeting") << "Meeting";
    QTest::newRow("hidden still found") << list << std::optional<QString>("bug") << "Bug";
    QTest::newRow("empty key is a key") << list << std::optional<QString>("") << "Deleted trigger";
    QTest::newRow("case-sensitive") << list << std::optional<QString>("Meeting") << "Deleted trigger";
    QTest::newRow("empty list") << QList<Trigger>() << std::optional<QString>("x") << "Deleted trigger";
}

void TestRecords::triggerLookup()
{
    QFETCH(QList<Trigger>, triggers);
    QFETCH(std::optional<QString>, key);
    QFETCH(QString, name);
    const TriggerInfo found = info(triggers, key);
    QCOMPARE(found.name, name);
    QCOMPARE(found.key, key);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
