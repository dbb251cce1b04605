// Everything the overview page derives from the incidents on one refresh, over a large history.
#include "BenchSupport.h"
#include "services/AchievementService.h"
#include "services/Analytics.h"
#include "services/WeeklyReport.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

const QTimeZone zone("Europe/Berlin");

QDateTime now()
{
    return QDateTime(QDate(2025, 3, 26), QTime(14, 0), zone);
}

QList<Trigger> triggers()
{
    QList<Trigger> list;
    int order = 0;
    for (const Trigger::Builtin &b : Trigger::defaults())
        list << Trigger::make(b.key, b.name, QString::fromUtf8(b.emoji), order++, true);
    return list;
}

// A copy with its own buffer. The store shares one buffer per distinct application name, bundle
// identifier and trigger key, but every note has its own.
QString own(const QString &text)
{
    return QString(text.constData(), text.size());
}

// `count` incidents spread over the last two years, oldest first, as the store hands them out.
QList<VorpEvent> history(qsizetype count, bool newestFirst = false)
{
    QRandomGenerator random(1234);
    const QList<Trigger> keys = triggers();
    QStringList apps;
    QStringList bundles;
    for (int i = 0; i < 30; ++i) {
        apps << QStringLiteral("App %1").arg(i);
        bundles << QStringLiteral("org.example.app%1").arg(i);
    }
    const qint64 end = now().toMSecsSinceEpoch();
    const qint64 start = end - 2LL * 365 * 24 * 3600 * 1000;
    QList<qint64> times;
    for (qsizetype i = 0; i < count; ++i)
        times << start + qint64(random.bounded(1.0) * double(end - start));
    std::sort(times.begin(), times.end());
    if (newestFirst)
        std::reverse(times.begin(), times.end());
    QList<VorpEvent> events;
    events.reserve(count);
    for (qint64 t : std::as_const(times)) {
        VorpEvent e;
        e.timestamp = QDateTime::fromMSecsSinceEpoch(t, Qt::UTC);
        const int k = int(random.bounded(12));
        if (k < keys.size())
            e.triggerKey = keys[k].key;
        const int a = int(random.bounded(31));
        if (a < apps.size()) {
            e.appName = apps[a];
            if (a % 3)
                e.bundleIdentifier = bundles[a];
        }
        if (random.bounded(10) == 0)
            e.note = own(QStringLiteral("again"));
        events << e;
    }
    return events;
}

void overviewRefresh(benchmark::State &state, bool newestFirst)
{
    const QList<VorpEvent> events = history(state.range(0), newestFirst);
    const QList<Trigger> list = triggers();
    for (auto _ : state) {
        const Analytics a{events, Calendar(zone), now()};
        const EventSnapshot scoped = a.eventsFor(Scope::all);
        benchmark::DoNotOptimize(a.todayCount());
        benchmark::DoNotOptimize(a.eventsFor(Scope::week).size());
        benchmark::DoNotOptimize(a.eventsFor(Scope::month).size());
        benchmark::DoNotOptimize(scoped.size());
        benchmark::DoNotOptimize(a.days(a.week(0)));
        benchmark::DoNotOptimize(Analytics::hourHistogram(scoped, a.cal));
        benchmark::DoNotOptimize(Analytics::peakTime(scoped, a.cal));
        benchmark::DoNotOptimize(Analytics::topWithRest(Analytics::triggerCounts(scoped, list), 6));
        benchmark::DoNotOptimize(Analytics::appCounts(scoped));
        benchmark::DoNotOptimize(WeeklyReport::build(events, list, 0, now(), a.cal));
        benchmark::DoNotOptimize(AchievementService::evaluate(events, now(), a.cal));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    BenchFloor::reportInsertCommit(state);
}

void BM_OverviewRefresh(benchmark::State &state)
{
    overviewRefresh(state, false);
}

void BM_OverviewRefreshNewestFirst(benchmark::State &state)
{
    overviewRefresh(state, true);
}

void BM_Achievements(benchmark::State &state)
{
    const QList<VorpEvent> events = history(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(AchievementService::evaluate(events, now(), zone));
    BenchFloor::reportInsertCommit(state);
}

void BM_WeeklyReport(benchmark::State &state)
{
    const QList<VorpEvent> events = history(state.range(0));
    const QList<Trigger> list = triggers();
    for (auto _ : state)
        benchmark::DoNotOptimize(WeeklyReport::build(events, list, 0, now(), zone));
    BenchFloor::reportInsertCommit(state);
}

void BM_Rankings(benchmark::State &state)
{
    const QList<VorpEvent> events = history(state.range(0));
    const QList<Trigger> list = triggers();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Analytics::triggerCounts(events, list));
        benchmark::DoNotOptimize(Analytics::appCounts(events));
    }
    BenchFloor::reportInsertCommit(state);
}

} // namespace

BENCHMARK(BM_OverviewRefresh)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverviewRefreshNewestFirst)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Achievements)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeeklyReport)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rankings)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
