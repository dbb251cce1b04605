// A log from a launcher: `grumblix grumblix://log` started as a second process while Grumblix runs
// over 100,000 stored incidents, timed from the launcher's start to its exit, which comes only
// once the incident is on disk (fsync included). Beside it the floor: a bare SQLite insert and
// commit with the same durability.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "models/Store.h"
#include "platform/HandOverClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/shell/grumblix");
}

QString filledStore(const QString &name)
{
    const QString file = folder().filePath(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    BenchFloor::writeLargeStore(file);
    return file;
}

QProcessEnvironment environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString root = folder().path();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void BM_LaunchLogDurable(benchmark::State &state)
{
    const QString root = folder().path();
    QDir().mkpath(root + QStringLiteral("/runtime"));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(root + QStringLiteral("/config/Grumblix"));
    QFile conf(root + QStringLiteral("/config/Grumblix/Grumblix.conf"));
    conf.open(QIODevice::WriteOnly);
    conf.write("[General]\nhasOnboarded=true\nshowHUD=false\n");
    conf.close();
    static const bool filled = (filledStore(QStringLiteral("data/Grumblix/Grumblix.store")), true);
    Q_UNUSED(filled);

    QProcess running;
    running.setProcessEnvironment(environment());
    running.start(program(), {});
    for (int i = 0; i < 500 && !QFile::exists(root + QStringLiteral("/runtime/grumblix.socket")); ++i)
        QThread::msleep(20);
    // A first hand-over, so the running program has finished starting.
    QProcess first;
    first.setProcessEnvironment(environment());
    first.start(program(), {QStringLiteral("grumblix://log")});
    first.waitForFinished(30000);

    const bool inProcess = state.range(0) == 1;
    const QString socket = root + QStringLiteral("/runtime/grumblix.socket");
    for (auto _ : state) {
        if (inProcess) {
            // The hand-over alone, without starting a process: what the running program costs.
            const HandOverAttempt attempt =
                HandOverAttempt::send(socket, {QStringLiteral("grumblix://log")}, 10000);
            if (attempt.outcome != HandOverAttempt::Outcome::answered ||
                attempt.reply.status != HandOver::Reply::Status::done)
                state.SkipWithError("the hand-over failed");
            continue;
        }
        QProcess launcher;
        launcher.setProcessEnvironment(environment());
        launcher.start(program(), {QStringLiteral("grumblix://log")});
        if (!launcher.waitForFinished(10000) || launcher.exitCode() != 0)
            state.SkipWithError("the launch failed");
    }
    running.terminate();
    running.waitForFinished(10000);
}
// Argument 0: the launcher process from its start; 1: its hand-over alone.
BENCHMARK(BM_LaunchLogDurable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

// Starting and reaping a process that does nothing: what the machine charges any launcher.
void BM_FloorSpawnProcess(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess nothing;
        nothing.start(QStringLiteral("/bin/true"), {});
        nothing.waitForFinished(10000);
    }
}
BENCHMARK(BM_FloorSpawnProcess)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

void BM_FloorSqliteInsertCommit(benchmark::State &state)
{
    const QString file = filledStore(QStringLiteral("floor/Grumblix.store"));
    sqlite3 *db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO VorpEvent (uuid, timestamp, appName, bundleIdentifier, triggerKey, note, "
                       "sourceRaw) VALUES ('00000000-0000-0000-0000-000000000000', 1.0, 'Terminal', "
                       "'org.gnome.Terminal', NULL, NULL, 'url')",
                       -1, &insert, nullptr);
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            state.SkipWithError("commit failed");
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}
BENCHMARK(BM_FloorSqliteInsertCommit)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::core);
}
