// The program as it answers a press: the model over 100,000 stored incidents with the real tray
// controller, toast and dashboard window (offscreen, no audio device), started in this process,
// one log end to end, and the resident memory once started. Whole-process start-up is in
// bench_process.
#include "BenchSupport.h"
#include "app/AppModel.h"
#include "app/DashboardWindow.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "shell/HUDController.h"
#include "shell/StatusItemController.h"
#include "shell/WindowManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString largeStorePath()
{
    static const QString path = [] {
        QDir().mkpath(folder().filePath(QStringLiteral("data")));
        const QString file = folder().filePath(QStringLiteral("data/Grumblix.store"));
        BenchFloor::writeLargeStore(file);
        return file;
    }();
    return path;
}

Prefs &prefs()
{
    static Prefs prefs(folder().filePath(QStringLiteral("config/Grumblix.conf")));
    prefs.setValue(QStringLiteral("hasOnboarded"), true);
    prefs.setValue(QStringLiteral("seenAchievements"), QStringList());
    return prefs;
}

std::unique_ptr<AppModel> startedModel()
{
    auto model = std::make_unique<AppModel>(largeStorePath(), prefs());
    AppServices services;
    services.makeStatusItem = [](AppModel &m) -> std::unique_ptr<StatusItem> {
        return std::make_unique<StatusItemController>(m);
    };
    services.toast = std::make_unique<HUDController>(*model);
    services.dashboardWindow = std::make_unique<WindowManager>(*model, MainMenuActions{});
    model->setServices(std::move(services));
    model->bootstrap({QStringLiteral("grumblix")});
    return model;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

void BM_StartInProcess100k(benchmark::State &state)
{
    largeStorePath();
    for (auto _ : state) {
        auto model = startedModel();
        benchmark::DoNotOptimize(model.get());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    BenchFloor::reportInsertCommit(state);
}

// A press with the dashboard open on the overview: insert and fsync, tray title, toast, the
// follow-up checks of the next turn, the overview's refresh, layout and paint, and the old toast
// content deleted.
void BM_LogEndToEnd(benchmark::State &state)
{
    auto model = startedModel();
    model->setDashboardTab(DashboardTab::overview);
    model->showDashboard();
    settleEvents();
    PaintCounter painted;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const VorpEvent event = model->log(EventSource::shortcut);
        model->hud()->show(event);
        settleEvents();
    }
    const double loopMs = BenchFloor::elapsedMs(start);
    if (painted.paints == 0)
        state.SkipWithError("nothing painted");
    painted.report(state);
    BenchFloor::reportInsertCommit(state, loopMs);
}

// The press alone, without the follow-up checks that wait for the next turn of the event loop
// (run between iterations, untimed) and without a dashboard.
void BM_LogAnswerOnly(benchmark::State &state)
{
    auto model = startedModel();
    settleEvents();
    for (auto _ : state) {
        const VorpEvent event = model->log(EventSource::shortcut);
        model->hud()->show(event);
        state.PauseTiming();
        settleEvents();
        state.ResumeTiming();
    }
    BenchFloor::reportInsertCommit(state);
}

void BM_ResidentMemoryAfterStart(benchmark::State &state)
{
    auto model = startedModel();
    QCoreApplication::processEvents();
    for (auto _ : state)
        benchmark::DoNotOptimize(model.get());
    state.counters["RSS_MiB"] = double(residentKiB()) / 1024.0;
}

} // namespace

// Memory first, so no earlier benchmark's allocations count.
BENCHMARK(BM_ResidentMemoryAfterStart)->Iterations(1);
BENCHMARK(BM_StartInProcess100k)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LogAnswerOnly)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LogEndToEnd)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
