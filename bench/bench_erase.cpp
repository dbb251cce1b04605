// "Erase everything" and "Remove demo data": what the main thread spends from the call to the end
// of the model's follow-up (the save with its fsync, the achievements and today's count the views
// read next, the records freed), on stores of 100,000 and 1,000,000 incidents, every other one
// demo data. Beside it: the floor (a bare insert + commit) and the same statement run by bare
// SQLite on the same file.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "app/AppModel.h"
#include "models/Prefs.h"
#include "models/Store.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

const QTimeZone &zone()
{
    static const QTimeZone berlin("Europe/Berlin");
    return berlin;
}

QDateTime now()
{
    return QDateTime(QDate(2025, 3, 5), QTime(15, 0), zone());
}

// Written once per size and share: `count` incidents about ten minutes apart up to now, a few
// applications and triggers; the ones logged by hand first, then `demoPercent` of them added as
// demo data in one go (so in the file they follow the others, as added demo data does), their
// times spread among the others'.
QString templateStore(int count, int demoPercent)
{
    static QTemporaryDir dir;
    static std::map<std::pair<int, int>, QString> made;
    if (const auto found = made.find({count, demoPercent}); found != made.end())
        return found->second;
    const QString path = dir.filePath(QStringLiteral("template-%1-%2.store").arg(count).arg(demoPercent));
    auto store = Store::open(path);
    const QStringList apps{"Visual Studio Code", "Slack", "Google Chrome", "Terminal", "Zoom"};
    const QStringList keys{"meeting", "email", "build", "code", "bug"};
    const int every = 100 / demoPercent;
    for (const bool demo : {false, true}) {
        for (int i = count - 1; i >= 0; --i) {
            if ((i % every == 0) != demo)
                continue;
            VorpEvent event = VorpEvent::make(now().toUTC().addSecs(-qint64(i) * 631), apps[i % apps.size()],
                                              apps[i % apps.size()].toLower(),
                                              i % 5 ? std::optional(keys[i % keys.size()]) : std::nullopt,
                                              std::nullopt, demo ? EventSource::demo : EventSource::shortcut);
            store->insert(event);
        }
    }
    store->save();
    store->close();
    made.emplace(std::pair{count, demoPercent}, path);
    return path;
}

// A bootstrapped model over a fresh copy of the template, as a user's store is at start-up.
struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;

    Fixture(int count, int demoPercent)
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        QFile::copy(templateStore(count, demoPercent), storePath());
        prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs->setHasOnboarded(true);
        model = std::make_unique<AppModel>(storePath(), *prefs);
        model->setClock([] { return now(); });
        model->setTimeZone(zone());
        model->bootstrap({QStringLiteral("grumblix")});
        // What the views computed before the press.
        benchmark::DoNotOptimize(model->achievements());
        settleEvents();
    }
    QString storePath() const { return dir.filePath(QStringLiteral("Grumblix.store")); }
};

// Bare SQLite: the statement and its commit on a copy of the template, in milliseconds. Bound
// ?1 and ?2 to the first and last row id of the demo incidents, as the store does.
double bareStatementMs(int count, int demoPercent, const char *sql)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("floor.store"));
    QFile::copy(templateStore(count, demoPercent), copy);
    sqlite3 *db = nullptr;
    if (sqlite3_open(copy.toUtf8().constData(), &db) != SQLITE_OK)
        return 0;
    sqlite3_exec(db,
                 "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA secure_delete = FAST; "
                 "SELECT count(*) FROM VorpEvent",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *bounds = nullptr;
    sqlite3_prepare_v2(db, "SELECT min(rowid), max(rowid) FROM VorpEvent WHERE sourceRaw = 'demo'", -1,
                       &bounds, nullptr);
    sqlite3_step(bounds);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (sqlite3_bind_parameter_count(statement) == 2) {
        sqlite3_bind_int64(statement, 1, sqlite3_column_int64(bounds, 0));
        sqlite3_bind_int64(statement, 2, sqlite3_column_int64(bounds, 1));
    }
    sqlite3_finalize(bounds);
    const auto start = std::chrono::steady_clock::now();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_step(statement);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = BenchFloor::elapsedMs(start);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return ms;
}

// `keptPercent`: the share of the incidents that must be left.
template<typename Action>
void measure(benchmark::State &state, Action action, const char *sql, int keptPercent)
{
    const int count = int(state.range(0));
    const int demoPercent = int(state.range(1));
    const qsizetype kept = qsizetype(count) * keptPercent / 100;
    templateStore(count, demoPercent);
    double total = 0;
    for (auto _ : state) {
        auto fixture = std::make_unique<Fixture>(count, demoPercent);
        AppModel &model = *fixture->model;
        if (model.allEvents().size() != count) {
            state.SkipWithError("the store did not load");
            break;
        }
        const auto start = std::chrono::steady_clock::now();
        action(model);
        settleEvents();
        benchmark::DoNotOptimize(model.achievements());
        benchmark::DoNotOptimize(model.todayCount());
        const double ms = BenchFloor::elapsedMs(start);
        state.SetIterationTime(ms / 1000.0);
        total += ms;
        if (model.store().hasPendingChanges() || model.allEvents().size() != kept) {
            state.SkipWithError("the change was not saved");
            break;
        }
        fixture.reset();
    }
    BenchFloor::reportInsertCommit(state, total);
    state.counters["sqlite_ms"] = bareStatementMs(count, demoPercent, sql);
}

// Arguments: incidents, and the percent of them that are demo data.
void BM_EraseEverything(benchmark::State &state)
{
    measure(
        state, [](AppModel &model) { model.eraseEverything(); }, "DELETE FROM VorpEvent", 0);
}
BENCHMARK(BM_EraseEverything)
    ->Args({100'000, 1})
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EraseEverything)
    ->Args({1'000'000, 1})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A demo batch or two among a user's own incidents, and a store that is half demo data.
void BM_RemoveDemoData(benchmark::State &state)
{
    measure(
        state, [](AppModel &model) { model.removeDemoData(); },
        "DELETE FROM VorpEvent WHERE rowid BETWEEN ?1 AND ?2 AND sourceRaw = 'demo'",
        100 - int(state.range(1)));
}
BENCHMARK(BM_RemoveDemoData)
    ->Args({100'000, 1})
    ->Args({100'000, 50})
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveDemoData)
    ->Args({1'000'000, 1})
    ->Args({1'000'000, 50})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::core);
}
