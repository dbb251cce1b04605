// The program as it answers a press: the model over 100,000 stored incidents with the real tray
// controller, toast and dashboard window (offscreen, no audio device), started in this process,
// one log end to end, and the resident memory once started. Whole-process start-up is in
// bench_process.
#include "BenchMain.h"
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
    prefs.setValue(PrefKey::hasOnboarded, true);
    prefs.setValue(PrefKey::seenAchievements, QStringList());
    return prefs;
}

// The model over the large store with the real tray item, toast and dashboard window, started.
// The windows go before the model.
struct StartedModel
{
    std::unique_ptr<AppModel> model;
    std::unique_ptr<StatusItemController> tray;
    std::unique_ptr<HUDController> toast;
    std::unique_ptr<WindowManager> windows;

    ~StartedModel() { model->setServices({}); }
};

std::unique_ptr<StartedModel> startedModel()
{
    auto started = std::make_unique<StartedModel>();
    started->model = std::make_unique<AppModel>(largeStorePath(), prefs());
    AppModel &model = *started->model;
    started->tray = std::make_unique<StatusItemController>(model);
    started->toast = std::make_unique<HUDController>(model);
    started->windows = std::make_unique<WindowManager>(model, MainMenuActions{});
    AppServices services;
    services.statusItem = started->tray.get();
    services.toast = started->toast.get();
    services.dashboardWindow = started->windows.get();
    model.setServices(services);
    model.bootstrap({QStringLiteral("grumblix")});
    return started;
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
        auto started = startedModel();
        AppModel *model = started->model.get();
        benchmark::DoNotOptimize(model);
        state.PauseTiming();
        started.reset();
        state.ResumeTiming();
    }
    BenchFloor::reportInsertCommit(state);
}

// A press with the dashboard open on the overview: insert and fsync, tray title, toast, the
// follow-up checks of the next turn, the overview's refresh, layout and paint, and the old toast
// content deleted.
void BM_LogEndToEnd(benchmark::State &state)
{
    auto started = startedModel();
    AppModel *model = started->model.get();
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
    auto started = startedModel();
    AppModel *model = started->model.get();
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
    auto started = startedModel();
    AppModel *model = started->model.get();
    QCoreApplication::processEvents();
    for (auto _ : state)
        benchmark::DoNotOptimize(model);
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
    return runBenches(argc, argv, BenchApp::widgets);
}
