// The history page over 100,000 incidents: one keystroke in the search (filter and group, then the
// page's whole update), opening the page up to its first painted frame, and painting one scrolled
// frame of the list. Each prints the raw SQLite floor beside its figure: a bare insert + commit
// (what a log costs at least) and a bare read of every row (what opening costs at least).
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

const QTimeZone zone("Europe/Berlin");
const QDateTime now(QDate(2025, 3, 5), QTime(15, 0), zone);
constexpr int kIncidents = 100'000;

// Milliseconds of a bare SQLite insert + commit of one row into a table of kIncidents rows (WAL,
// synchronous FULL, as the store writes), and of reading every row back.
struct Floor
{
    double insertCommitMs = 0;
    double readAllMs = 0;
};

Floor measureFloor(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                 "CREATE TABLE t(uuid TEXT, timestamp REAL, appName TEXT, bundleIdentifier TEXT,"
                 " triggerKey TEXT, note TEXT, sourceRaw TEXT); BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?, 'Slack', 'slack', 'build', NULL, 'menuBar')", -1,
                       &insert, nullptr);
    for (int i = 0; i < kIncidents; ++i) {
        sqlite3_bind_text(insert, 1, "00000000-0000-0000-0000-000000000000", -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 2, 1.7e9 + i);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

    Floor floor;
    QElapsedTimer timer;
    constexpr int rounds = 20;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_bind_text(insert, 1, "00000000-0000-0000-0000-000000000001", -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 2, 1.8e9 + i);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    floor.insertCommitMs = timer.nsecsElapsed() / 1e6 / rounds;
    sqlite3_finalize(insert);

    sqlite3_stmt *read = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM t", -1, &read, nullptr);
    timer.restart();
    qint64 bytes = 0;
    while (sqlite3_step(read) == SQLITE_ROW)
        for (int c = 0; c < 7; ++c)
            bytes += sqlite3_column_bytes(read, c);
    floor.readAllMs = timer.nsecsElapsed() / 1e6;
    benchmark::DoNotOptimize(bytes);
    sqlite3_finalize(read);
    sqlite3_close(db);
    return floor;
}

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<QWidget> window;
    HistoryView *page = nullptr;
    Floor floor;

    Fixture()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        floor = measureFloor(dir.filePath(QStringLiteral("floor.db")));
        prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs->setValue(QStringLiteral("hasOnboarded"), true);
        model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("Grumblix.store")), *prefs);
        model->setClock([] { return now; });
        model->setTimeZone(zone);
        model->bootstrap({QStringLiteral("grumblix")});
        const QStringList apps{
            "Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Outlook", "Zoom", "Figma"};
        const QStringList keys{"meeting", "email", "build",      "code",
                               "people",  "bug",   "management", "production"};
        const QStringList notes{"standup ran long", "the build again", "who scheduled this",
                                "prod is on fire"};
        // About two years of incidents, a few minutes apart, ending now; every seventh has a note.
        for (int i = 0; i < kIncidents; ++i) {
            VorpEvent e = VorpEvent::make(
                now.toUTC().addSecs(-qint64(i) * 631), apps[i % apps.size()], apps[i % apps.size()].toLower(),
                i % 5 ? std::optional(keys[i % keys.size()]) : std::nullopt,
                i % 7 ? std::nullopt : std::optional(notes[i % notes.size()]), EventSource::menuBar);
            model->store().insert(e);
        }
        model->store().save();
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

    void addFloor(benchmark::State &state) const
    {
        state.counters["sqlite_insert_commit_ms"] = floor.insertCommitMs;
        state.counters["sqlite_read_all_ms"] = floor.readAllMs;
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
    const HistoryEvents events = f.model->allEvents();
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
    const HistoryEvents events = f.model->allEvents();
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture.reset();
    return 0;
}
