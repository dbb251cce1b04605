// Store timings: opening a file of 100,000 incidents with everything loaded, and the insert plus
// save that one press costs with synchronous=FULL.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "models/Store.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

VorpEvent incident(int i)
{
    static const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    return VorpEvent::make(
        start.addSecs(i * 97), QStringLiteral("Visual Studio Code"), QStringLiteral("com.microsoft.VSCode"),
        i % 4 ? std::optional<QString>(QStringLiteral("build")) : std::nullopt,
        i % 5 ? std::nullopt : std::optional<QString>(QStringLiteral("Works on my machine")),
        EventSource::shortcut);
}

const QString &largeStorePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("Grumblix.store"));
        auto store = Store::open(file);
        for (int i = 0; i < 100'000; ++i) {
            VorpEvent event = incident(i);
            store->insert(event);
        }
        store->save();
        return file;
    }();
    return path;
}

void BM_OpenAndLoad100k(benchmark::State &state)
{
    const QString path = largeStorePath();
    for (auto _ : state) {
        auto store = Store::open(path);
        if (!store || store->events().size() != 100'000)
            state.SkipWithError("store did not load");
        benchmark::DoNotOptimize(store->events().size());
    }
    state.counters["floor_read_ms"] = BenchFloor::measureReadAllMs(path);
}
BENCHMARK(BM_OpenAndLoad100k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One press's insert and save into a store already holding 100,000 incidents.
void BM_LogInsertAndSave(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("Grumblix.store"));
    QFile::copy(largeStorePath(), copy);
    auto store = Store::open(copy);
    int i = 100'000;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        VorpEvent event = incident(i++);
        store->insert(event);
        if (!store->save())
            state.SkipWithError("save failed");
    }
    BenchFloor::reportInsertCommit(state, BenchFloor::elapsedMs(start));
}
BENCHMARK(BM_LogInsertAndSave)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::core);
}
