#pragma once

// The physical floors every figure is printed beside: what SQLite alone costs for the same work,
// with no Qt and none of our code in between, on the same file system and the same machine.
#include "models/Store.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <QPaintEvent>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace BenchFloor {

inline double elapsedMs(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

inline double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::nth_element(samples.begin(), samples.begin() + qsizetype(samples.size() / 2), samples.end());
    return samples[samples.size() / 2];
}

// One row of the incident table's shape inserted and committed in WAL mode with synchronous=FULL,
// as a log writes it; the median of `rounds` commits, in milliseconds.
inline double measureInsertCommitMs(int rounds = 150)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/grumblix-floor-XXXXXX"));
    const QByteArray path = dir.filePath(QStringLiteral("floor.db")).toUtf8();
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.constData(), &db) != SQLITE_OK)
        return 0;
    sqlite3_exec(db,
                 "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
                 "CREATE TABLE t (uuid TEXT NOT NULL, timestamp REAL NOT NULL, appName TEXT, "
                 "bundleIdentifier TEXT, triggerKey TEXT, note TEXT, sourceRaw TEXT NOT NULL);",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO t VALUES ('0b6b1f3e-8a55-4c1e-9d7e-2f1f1c7e0a11', ?, "
                       "'Terminal', 'org.gnome.Terminal', 'build', NULL, 'shortcut')",
                       -1, &insert, nullptr);
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_double(insert, 1, 1.7e9 + i);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        samples.push_back(elapsedMs(start));
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return median(std::move(samples));
}

// Measured once per process, the first time a bench asks.
inline double insertCommitMs()
{
    static const double floor = measureInsertCommitMs();
    return floor;
}

// Reading every row of an incident table with `rows` rows and touching each column, in
// milliseconds (the median of a few reads).
inline double measureReadAllMs(const QString &storePath, int rounds = 5)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(storePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 0;
    std::vector<double> samples;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        sqlite3_stmt *select = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT rowid, uuid, timestamp, appName, bundleIdentifier, triggerKey, note, "
                           "sourceRaw FROM VorpEvent ORDER BY rowid",
                           -1, &select, nullptr);
        qint64 bytes = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            for (int c = 0; c < 8; ++c)
                bytes += sqlite3_column_bytes(select, c);
        }
        benchmark::DoNotOptimize(bytes);
        sqlite3_finalize(select);
        samples.push_back(elapsedMs(start));
    }
    sqlite3_close(db);
    return median(std::move(samples));
}

// A store of 100,000 incidents a minute and a half apart up to now, one application, two thirds
// filed under one trigger, written in one transaction and closed, so the file alone holds them.
inline void writeLargeStore(const QString &path)
{
    auto store = Store::open(path);
    const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-100'000LL * 97);
    for (int i = 0; i < 100'000; ++i) {
        VorpEvent event = VorpEvent::make(start.addSecs(i * 97LL), QStringLiteral("Terminal"),
                                          QStringLiteral("org.gnome.Terminal"),
                                          i % 3 ? std::optional(QStringLiteral("build")) : std::nullopt,
                                          std::nullopt, EventSource::shortcut);
        store->insert(event);
    }
    store->save();
    store->close();
}

// Puts the insert + commit floor beside a figure and, given the wall time the timed loop took,
// how many floors one iteration costs.
inline void reportInsertCommit(benchmark::State &state, double loopMs = -1)
{
    state.counters["floor_ms"] = insertCommitMs();
    if (loopMs >= 0 && state.iterations() > 0 && insertCommitMs() > 0)
        state.counters["x_floor"] = loopMs / double(state.iterations()) / insertCommitMs();
}

} // namespace BenchFloor

// Runs what a turn of the event loop would: queued calls, zero timers, layout and update requests
// (a shown widget paints into its backing store) and deleteLater(), which processEvents() alone
// leaves pending when no event loop runs.
inline void settleEvents()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Counts the paint events the whole application delivers and the area they cover, to show that a
// bench really painted and how much of the window an update touched.
class PaintCounter : public QObject
{
public:
    PaintCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~PaintCounter() override { QCoreApplication::instance()->removeEventFilter(this); }

    qint64 paints = 0;
    qint64 pixels = 0;
    QHash<QByteArray, qint64> byClass;

    // Per iteration, beside the timing; with GRUMBLIX_BENCH_PAINTS set, also which classes painted
    // how much, on stderr.
    void report(benchmark::State &state) const
    {
        if (qEnvironmentVariableIsSet("GRUMBLIX_BENCH_PAINTS")) {
            for (auto it = byClass.cbegin(); it != byClass.cend(); ++it)
                std::fprintf(stderr, "%10lld px  %s\n", it.value(), it.key().constData());
        }
        const double n = double(std::max<qint64>(1, state.iterations()));
        state.counters["paints"] = double(paints) / n;
        state.counters["painted_kpx"] = double(pixels) / n / 1000.0;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            // The region, not its bounding rectangle: two small changes far apart are not the page.
            qint64 area = 0;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
                area += qint64(r.width()) * r.height();
            pixels += area;
            byClass[watched->metaObject()->className()] += area;
        }
        return QObject::eventFilter(watched, event);
    }
};
