// The overview page over 100,000 incidents, shown as a window: its figures alone, one log with the
// refresh, layout and paint it sets off, and painting the whole page into an image.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/overview/OverviewData.h"
#include "features/overview/OverviewView.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QTimeZone &zone = LargeModel::zone;
const QDateTime &now = LargeModel::now;

// The large model with the page shown as a window.
struct Fixture : LargeModel
{
    std::unique_ptr<OverviewView> page;

    Fixture()
    {
        page = std::make_unique<OverviewView>(*model);
        page->resize(1066, 1500);
        page->show();
        QApplication::processEvents();
    }
};

std::unique_ptr<Fixture> &fixtureHolder()
{
    static std::unique_ptr<Fixture> f;
    return f;
}

Fixture &fixture()
{
    if (!fixtureHolder())
        fixtureHolder() = std::make_unique<Fixture>();
    return *fixtureHolder();
}

// The figures of one refresh, without widgets.
void BM_OverviewData(benchmark::State &state)
{
    Fixture &f = fixture();
    const Analytics analytics{f.model->allEvents(), Calendar(zone), now};
    const QList<Trigger> triggers = f.model->allTriggers();
    const Scope scope = allScopes().value(state.range(0));
    state.SetLabel(rawValue(scope).toStdString());
    for (auto _ : state)
        benchmark::DoNotOptimize(OverviewData::compute(analytics, triggers, scope));
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_OverviewData)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1)->Arg(2);

// One log (insert and fsync) and everything the page does about it: the coalesced refresh, the
// layout pass and the paint of what changed into the window's backing store.
void BM_OverviewRefreshAfterLog(benchmark::State &state)
{
    Fixture &f = fixture();
    settleEvents();
    PaintCounter painted;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        f.model->log(EventSource::dashboard);
        settleEvents();
    }
    const double loopMs = BenchFloor::elapsedMs(start);
    if (painted.paints == 0)
        state.SkipWithError("the page painted nothing");
    painted.report(state);
    BenchFloor::reportInsertCommit(state, loopMs);
}
BENCHMARK(BM_OverviewRefreshAfterLog)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_OverviewRefreshAndPaint(benchmark::State &state)
{
    Fixture &f = fixture();
    QImage image(f.page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        f.page->refresh();
        QApplication::processEvents(); // the layout pass the refresh asked for
        QPainter p(&image);
        f.page->render(&p);
    }
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_OverviewRefreshAndPaint)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_OverviewPaintOnly(benchmark::State &state)
{
    Fixture &f = fixture();
    QImage image(f.page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        f.page->render(&p);
    }
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_OverviewPaintOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The fixture's widgets go before the application.
    return runBenches(argc, argv, BenchApp::widgets, {.after = [] { fixtureHolder().reset(); }});
}
