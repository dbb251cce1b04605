// The program as a user meets it, with the built binary in its own process over a store of 100,000
// incidents (offscreen, a private runtime folder and no session bus): a cold start up to its first
// log written, and a grumblix://log handed over by a second launch to a running instance.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "models/Store.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

const QString binary = QStringLiteral(GRUMBLIX_BINARY);

// A home of its own: configuration, data and runtime folders, with the large store in place.
struct Home
{
    QTemporaryDir dir;
    QString storePath;

    Home()
    {
        for (const char *sub : {"config/Grumblix", "data/Grumblix", "runtime", "cache"})
            QDir().mkpath(dir.filePath(QString::fromLatin1(sub)));
        QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile conf(dir.filePath(QStringLiteral("config/Grumblix/Grumblix.conf")));
        if (conf.open(QIODevice::WriteOnly))
            conf.write("[General]\nhasOnboarded=true\nshowHUD=true\n");
        storePath = dir.filePath(QStringLiteral("data/Grumblix/Grumblix.store"));
        BenchFloor::writeLargeStore(storePath);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }
};

Home &home()
{
    static Home h;
    return h;
}

// The newest row id in the store as another process sees it once committed (a b-tree lookup, so
// polling does not read the table).
class RowWatch
{
public:
    explicit RowWatch(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(m_db, "SELECT max(rowid) FROM VorpEvent", -1, &m_query, nullptr);
    }
    ~RowWatch()
    {
        sqlite3_finalize(m_query);
        sqlite3_close(m_db);
    }
    qint64 newest()
    {
        qint64 id = -1;
        if (sqlite3_step(m_query) == SQLITE_ROW)
            id = sqlite3_column_int64(m_query, 0);
        sqlite3_reset(m_query);
        return id;
    }
    // Polls until the newest row is past `known`; false after `timeoutMs`.
    bool waitPast(qint64 known, int timeoutMs = 10'000)
    {
        const auto start = std::chrono::steady_clock::now();
        while (newest() <= known) {
            if (BenchFloor::elapsedMs(start) > timeoutMs)
                return false;
            QThread::usleep(100);
        }
        return true;
    }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_query = nullptr;
};

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

// Process start, the store loaded, the shell built (tray, toast, dashboard window shown) and the
// log its URL asks for written with its fsync.
void BM_StartWith100k(benchmark::State &state)
{
    Home &h = home();
    RowWatch rows(h.storePath);
    for (auto _ : state) {
        const qint64 known = rows.newest();
        QProcess process;
        process.setProcessEnvironment(h.environment());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto start = std::chrono::steady_clock::now();
        process.start(binary, {QStringLiteral("--dashboard"), QStringLiteral("grumblix://log?source=url")});
        const bool logged = rows.waitPast(known);
        state.SetIterationTime(BenchFloor::elapsedMs(start) / 1000.0);
        stop(process);
        if (!logged) {
            state.SkipWithError("the started program wrote no row");
            break;
        }
    }
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_StartWith100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A second launch with a grumblix://log URL, from its process start until the running instance
// has the row durable in the store.
void BM_UrlLogFromLauncher(benchmark::State &state)
{
    Home &h = home();
    RowWatch rows(h.storePath);
    QProcess running;
    running.setProcessEnvironment(h.environment());
    running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    qint64 known = rows.newest();
    // With an option the program runs in this process rather than in the background, where
    // stop() reaches it.
    running.start(binary, {QStringLiteral("--tab=overview"), QStringLiteral("grumblix://log?source=url")});
    if (!rows.waitPast(known)) {
        state.SkipWithError("the running instance did not start");
        stop(running);
        return;
    }
    for (auto _ : state) {
        known = rows.newest();
        QProcess launcher;
        launcher.setProcessEnvironment(h.environment());
        launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto start = std::chrono::steady_clock::now();
        launcher.start(binary, {QStringLiteral("grumblix://log?source=url")});
        const bool logged = rows.waitPast(known);
        state.SetIterationTime(BenchFloor::elapsedMs(start) / 1000.0);
        launcher.waitForFinished(5000);
        if (!logged) {
            state.SkipWithError("the hand-over wrote no row");
            break;
        }
    }
    stop(running);
    BenchFloor::reportInsertCommit(state);
}
BENCHMARK(BM_UrlLogFromLauncher)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::core);
}
