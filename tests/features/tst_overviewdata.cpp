#include "features/overview/OverviewData.h"
#include "features/overview/WeekChartData.h"
#include "support/TriggerFixtures.h"

#include <QtTest>

namespace {

const QTimeZone zone("Europe/Berlin");
// Wednesday afternoon.
const QDateTime now(QDate(2025, 3, 5), QTime(15, 0), zone);

QDateTime at(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2025, 3, day), QTime(hour, minute), zone);
}

VorpEvent incident(const QDateTime &when, std::optional<QString> trigger = std::nullopt,
                   std::optional<QString> app = std::nullopt)
{
    return VorpEvent::make(when, app, app ? std::optional(app->toLower()) : std::nullopt, trigger,
                           std::nullopt, EventSource::menuBar);
}

// This week: Monday 6 (3 uncategorised, 3 meetings), Tuesday none, Wednesday 3 (one a bug at 10:20);
// last week 20 on its Thursday; one incident in February.
QList<VorpEvent> fixture()
{
    QList<VorpEvent> events;
    for (int i = 0; i < 3; ++i)
        events << incident(at(3, 9, 10 + i));
    for (int i = 0; i < 3; ++i)
        events << incident(at(3, 14, 10 * i), QStringLiteral("meeting"), QStringLiteral("Slack"));
    events << incident(at(5, 10, 20), QStringLiteral("bug"), QStringLiteral("Terminal"));
    events << incident(at(5, 11), QStringLiteral("gone"), QStringLiteral("Terminal"));
    events << incident(at(5, 11, 30), std::nullopt, QStringLiteral("Terminal"));
    for (int i = 0; i < 20; ++i)
        events << incident(QDateTime(QDate(2025, 2, 27), QTime(12, i), zone), QStringLiteral("email"));
    events << incident(QDateTime(QDate(2025, 2, 3), QTime(8, 0), zone));
    std::sort(events.begin(), events.end(),
              [](const VorpEvent &a, const VorpEvent &b) { return a.timestamp > b.timestamp; });
    return events;
}

Analytics analytics(const QList<VorpEvent> &events = fixture())
{
    return Analytics{events, Calendar(zone), now};
}

} // namespace

class TestOverviewData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void countersIgnoreTheScope()
    {
        for (Scope scope : allScopes()) {
            const OverviewData d = OverviewData::compute(analytics(), Fixtures::builtInTriggers(), scope);
            QCOMPARE(d.today, 3);
            QCOMPARE(d.thisWeek, 9);
            QCOMPARE(d.allTime, 30);
            QCOMPARE(d.newest, at(5, 11, 30));
        }
    }

    void rankingsOfTheWeek()
    {
        const OverviewData d = OverviewData::compute(analytics(), Fixtures::builtInTriggers(), Scope::week);
        // Incidents without a trigger are ranked in the card, a missing key under "Deleted trigger".
        QStringList ids;
        for (const CountItem &item : d.triggers)
            ids << item.id;
        QCOMPARE(ids, (QStringList{"_none", "meeting", "bug", "gone"}));
        QCOMPARE(d.triggers.last().name, QStringLiteral("Deleted trigger"));
        // Only incidents with an application count: 3 + 3 of 9.
        QCOMPARE(OverviewRows::totalCount(d.apps), 6);
        QCOMPARE(d.hours[9], 3);
        QCOMPARE(d.hours[14], 3);
    }

    void fieldNotesRankOnlyFiledIncidents()
    {
        const OverviewData d = OverviewData::compute(analytics(), Fixtures::builtInTriggers(), Scope::week);
        // 4 of 9 are uncategorised, yet the notes name the top filed trigger.
        QVERIFY2(d.notes.contains(QStringLiteral("Meetings accounted for 33% of this week's suffering.")),
                 qPrintable(d.notes.join(" | ")));
        QVERIFY(!d.notes.join(' ').contains(QStringLiteral("Uncategorized")));
    }

    void previousWeekOnlyForTheWeekScope()
    {
        const auto lessThanLastWeek = [](const QStringList &notes) {
            return std::any_of(notes.begin(), notes.end(), [](const QString &n) {
                return n.endsWith(QStringLiteral("less bullshit than last week."));
            });
        };
        QVERIFY(lessThanLastWeek(
            OverviewData::compute(analytics(), Fixtures::builtInTriggers(), Scope::week).notes));
        QVERIFY(!lessThanLastWeek(
            OverviewData::compute(analytics(), Fixtures::builtInTriggers(), Scope::month).notes));
        QVERIFY(!lessThanLastWeek(
            OverviewData::compute(analytics(), Fixtures::builtInTriggers(), Scope::all).notes));
    }

    void emptyScopeGivesTheTwoFixedNotes()
    {
        const OverviewData d = OverviewData::compute(analytics({}), Fixtures::builtInTriggers(), Scope::week);
        QCOMPARE(d.notes, (QStringList{"0 Grumblix moments. Suspicious.",
                                       "Either you're on vacation, or you're lying."}));
        QCOMPARE(d.allTime, 0);
        QVERIFY(!d.newest);
        QCOMPARE(d.hours, QList<int>(24, 0));
    }

    // The store hands out time-ordered snapshots, which take the binary-search path; any other
    // list is walked whole. Both must give the same figures, whatever the scope and the moment.
    void storeOrderGivesTheSameFigures_data()
    {
        QTest::addColumn<Scope>("scope");
        QTest::addColumn<QDateTime>("moment");
        for (Scope scope : allScopes()) {
            const QString name = rawValue(scope);
            QTest::newRow(qPrintable(name + " Wednesday")) << scope << now;
            QTest::newRow(qPrintable(name + " Monday midnight")) << scope << at(3, 0);
            QTest::newRow(qPrintable(name + " before all"))
                << scope << QDateTime(QDate(2025, 1, 1), QTime(9, 0), zone);
        }
    }
    void storeOrderGivesTheSameFigures()
    {
        QFETCH(Scope, scope);
        QFETCH(QDateTime, moment);
        QList<VorpEvent> events = fixture();
        // An older incident of the same application under another bundle identifier: a row
        // carries the latest one.
        events << VorpEvent::make(QDateTime(QDate(2025, 2, 28), QTime(9, 0), zone),
                                  QStringLiteral("Terminal"), QStringLiteral("org.old.terminal"),
                                  std::nullopt, std::nullopt, EventSource::menuBar);
        QList<VorpEvent> ordered = events;
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const VorpEvent &a, const VorpEvent &b) { return a.timestamp < b.timestamp; });
        EventChunks chunks;
        chunks.assign(ordered);
        QVERIFY(chunks.snapshot().isTimeOrdered());

        const QList<Trigger> triggers = Fixtures::builtInTriggers();
        // The same oldest-first list as a plain list, walked whole.
        const OverviewData walked =
            OverviewData::compute(Analytics{ordered, Calendar(zone), moment}, triggers, scope);
        const OverviewData searched =
            OverviewData::compute(Analytics{chunks.snapshot(), Calendar(zone), moment}, triggers, scope);
        QCOMPARE(searched.today, walked.today);
        QCOMPARE(searched.thisWeek, walked.thisWeek);
        QCOMPARE(searched.allTime, walked.allTime);
        QCOMPARE(searched.newest, walked.newest);
        QCOMPARE(searched.triggers, walked.triggers);
        QCOMPARE(searched.apps, walked.apps);
        QCOMPARE(searched.hours, walked.hours);
        QCOMPARE(searched.notes, walked.notes);
        for (const CountItem &app : searched.apps) {
            if (app.id == QLatin1String("Terminal"))
                QCOMPARE(app.bundleID, std::optional<QString>(QStringLiteral("terminal")));
        }
    }

    void rankingRows()
    {
        QList<CountItem> items;
        for (int i = 0; i < 8; ++i)
            items << CountItem{QString::number(i), QStringLiteral("T%1").arg(i), QStringLiteral("x"),
                               std::nullopt, 8 - i};
        const QList<CountItem> rows = OverviewRows::topTriggers(items);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows.last().name, QStringLiteral("Everything else"));
        QCOMPARE(rows.last().count, 3 + 2 + 1);
        QCOMPARE(OverviewRows::topTriggers(items.mid(0, 6)), items.mid(0, 6));
        QCOMPARE(OverviewRows::topApps(items).size(), 5);
    }

    void weekOfWednesday()
    {
        const WeekChartData w = WeekChartData::compute(analytics(), 0);
        QCOMPARE(w.dayNames, (QStringList{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}));
        QCOMPARE(w.summary.total, 9);
        QCOMPARE(w.summary.activeDays, 3);
        QCOMPARE(w.summary.average, 3.0);
        QCOMPARE(w.summary.worstIndex, 0);
        QCOMPARE(w.title(), QStringLiteral("This week"));
        QCOMPARE(w.totalText(), QStringLiteral("⚡ Total: 9"));
        QCOMPARE(w.hint(), QStringLiteral("Hover a day for the gory details."));
        QCOMPARE(w.indexOf(QStringLiteral("Wed")), 2);
        QCOMPARE(w.indexOf(QString()), -1);
        QVERIFY(w.days[2].isToday);
        QVERIFY(w.days[3].isFuture);
    }

    void dayDetails_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("facts");
        // Hours 9 and 14 tie; the earlier one is the peak.
        QTest::newRow("worst Monday") << 0 << 0 << "Monday was catastrophic."
                                      << "6 Grumblix moments  ·  Peak: 09:11  ·  Top trigger: 💬 Meeting";
        QTest::newRow("calm Tuesday") << 0 << 1 << "Suspiciously peaceful Tuesday."
                                      << "0 Grumblix moments";
        // Three filed under three keys; the deleted key ranks by its stand-in name after Bug.
        QTest::newRow("today") << 0 << 2 << "A perfectly normal amount of Wednesday."
                               << "3 Grumblix moments  ·  Peak: 11:15  ·  Top trigger: 🐛 Bug";
        QTest::newRow("future") << 0 << 3 << "Thursday hasn't happened yet. Brace."
                                << "0 Grumblix moments";
        QTest::newRow("empty week's first day") << -3 << 0 << "Suspiciously peaceful Monday."
                                                << "0 Grumblix moments";
        QTest::newRow("one unfiled incident") << -4 << 0 << "Monday was catastrophic."
                                              << "1 Grumblix moment  ·  Peak: 08:00";
    }
    void dayDetails()
    {
        QFETCH(int, offset);
        QFETCH(int, day);
        const Analytics a = analytics();
        const WeekChartData w = WeekChartData::compute(a, offset);
        const WeekChartData::DayDetail d = w.detail(day, a, Fixtures::builtInTriggers());
        QTEST(d.line, "line");
        QTEST(d.facts, "facts");
    }

    void pagingTitles()
    {
        const Analytics a = analytics();
        QCOMPARE(WeekChartData::compute(a, -1).title(), QStringLiteral("Last week"));
        QCOMPARE(WeekChartData::compute(a, -2).title(), QStringLiteral("Feb 17 – Feb 23"));
        QCOMPARE(WeekChartData::compute(a, -52).title(), QStringLiteral("Mar 4 – Mar 10"));
        const WeekChartData empty = WeekChartData::compute(a, -3);
        QCOMPARE(empty.summary.total, 0);
        QCOMPARE(empty.hint(), QStringLiteral("Nothing logged this week. Suspicious."));
        QCOMPARE(empty.totalText(), QStringLiteral("⚡ Total: 0"));
    }
};

QTEST_GUILESS_MAIN(TestOverviewData)
#include "tst_overviewdata.moc"
