// The overview page over 100,000 incidents, shown as a window: its figures alone, one log with the
// refresh, layout and paint it sets off, and painting the whole page into an image.
#include "BenchSupport.h"
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

const QTimeZone zone("Europe/Berlin");
const QDateTime now(QDate(2025, 3, 5), QTime(15, 0), zone);

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<OverviewView> page;

    Fixture()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs->setHasOnboarded(true);
        const QString storePath = dir.filePath(QStringLiteral("Grumblix.store"));
        {
            // Written first and loaded by the model, as a user's store is at start-up.
            auto store = Store::open(storePath);
            const QStringList apps{
                "Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Outlook", "Zoom", "Figma"};
            const QStringList keys{"meeting", "email", "build",      "code",
                                   "people",  "bug",   "management", "production"};
            // About two years of incidents, a few minutes apart, ending now, oldest first.
            for (int i = 100'000 - 1; i >= 0; --i) {
                VorpEvent e = VorpEvent::make(now.toUTC().addSecs(-qint64(i) * 631), apps[i % apps.size()],
                                              apps[i % apps.size()].toLower(),
                                              i % 5 ? std::optional(keys[i % keys.size()]) : std::nullopt,
                                              std::nullopt, EventSource::menuBar);
                store->insert(e);
            }
            store->save();
        }
        model = std::make_unique<AppModel>(storePath, *prefs);
        model->setClock([] { return now; });
        model->setTimeZone(zone);
        model->bootstrap({QStringLiteral("grumblix")});
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixtureHolder().reset(); // its widgets go before the application
    return 0;
}
