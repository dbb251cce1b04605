// The history page over 100,000 incidents: one keystroke in the search (filter and group, then the
// page's whole update), opening the page up to its first painted frame, and painting one scrolled
// frame of the list. Each prints the raw SQLite floor beside its figure: a bare insert + commit
// (what a log costs at least) and a bare read of every row (what opening costs at least).
#include "BenchMain.h"
#include "BenchSupport.h"
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/history/HistoryDays.h"
#include "features/history/HistoryFilter.h"
#include "features/history/HistoryList.h"
#include "features/history/HistoryView.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QTimeZone &zone = LargeModel::zone;

// The large model, with notes to search, and the page in a window.
struct Fixture : LargeModel
{
    std::unique_ptr<QWidget> window;
    HistoryView *page = nullptr;
    double readAllMs = 0;

    Fixture() : LargeModel(true)
    {
        readAllMs = BenchFloor::measureReadAllMs(storePath());
        window = std::make_unique<QWidget>();
        window->resize(1066, 700);
        page = open(window.get());
        window->show();
        QApplication::processEvents();
    }

    HistoryView *open(QWidget *parent)
    {
        auto *view = new HistoryView(*model, parent);
        view->setGeometry(parent->rect());
        return view;
    }

    // A bare insert + commit (what a log costs at least) and a bare read of every row (what opening
    // costs at least).
    void addFloor(benchmark::State &state) const
    {
        BenchFloor::reportInsertCommit(state);
        state.counters["read_all_floor_ms"] = readAllMs;
    }
};

// Made on first use and destroyed before the application object, which its widgets need.
std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

// The rules alone: filter and group every incident for a search text.
void BM_HistoryFilterAndGroup(benchmark::State &state)
{
    Fixture &f = fixture();
    const HistoryEvents events = f.model->allEvents().toList();
    const QList<Trigger> triggers = f.model->allTriggers();
    const Calendar calendar(zone);
    const QString searches[] = {QStringLiteral("s"), QStringLiteral("sl"), QStringLiteral("sla")};
    int i = 0;
    for (auto _ : state) {
        const QList<qsizetype> passed =
            HistoryFilter::filter(spanOf(events), triggers, HistoryFilter::all, searches[i++ % 3]);
        benchmark::DoNotOptimize(HistoryDays::group(spanOf(events), passed, calendar));
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryFilterAndGroup)->Unit(benchmark::kMillisecond);

// A search across two fields (a blank in the text) builds every haystack.
void BM_HistoryFilterAndGroupAcrossFields(benchmark::State &state)
{
    Fixture &f = fixture();
    const HistoryEvents events = f.model->allEvents().toList();
    const QList<Trigger> triggers = f.model->allTriggers();
    const Calendar calendar(zone);
    for (auto _ : state) {
        const QList<qsizetype> passed =
            HistoryFilter::filter(spanOf(events), triggers, HistoryFilter::all, QStringLiteral("slack b"));
        benchmark::DoNotOptimize(HistoryDays::group(spanOf(events), passed, calendar));
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryFilterAndGroupAcrossFields)->Unit(benchmark::kMillisecond);

// One keystroke on the page: filter, group, lay the list out and update the editor.
void BM_HistorySearchKeystroke(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString searches[] = {QStringLiteral("s"), QStringLiteral("sl"), QStringLiteral("sla")};
    int i = 0;
    for (auto _ : state)
        f.page->setSearch(searches[i++ % 3]);
    f.page->setSearch(QString());
    f.addFloor(state);
}
BENCHMARK(BM_HistorySearchKeystroke)->Unit(benchmark::kMillisecond);

// Opening the page: build it over every incident, lay it out and paint the first frame.
void BM_HistoryOpenFirstFrame(benchmark::State &state)
{
    Fixture &f = fixture();
    QWidget host;
    host.resize(1066, 700);
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        HistoryView *view = f.open(&host);
        QPainter p(&image);
        view->render(&p);
        p.end();
        state.PauseTiming();
        delete view;
        state.ResumeTiming();
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryOpenFirstFrame)->Unit(benchmark::kMillisecond);

// Scrolling: move the list by a wheel step and paint the list's new frame.
void BM_HistoryPaintScrolledFrame(benchmark::State &state)
{
    Fixture &f = fixture();
    HistoryList *list = f.page->list();
    QWidget *viewport = list->viewport();
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar *bar = list->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    for (auto _ : state) {
        bar->setValue(bar->value() + 60);
        QPainter p(&image);
        viewport->render(&p);
    }
    f.addFloor(state);
}
BENCHMARK(BM_HistoryPaintScrolledFrame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets, {.after = [] { g_fixture.reset(); }});
}
