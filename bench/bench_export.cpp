// Exporting every incident as CSV from the settings page's Data card, over 100,000 and 1,000,000
// incidents. Per export, the main thread's share apart from the whole: the click (snapshot, trigger
// list, the worker's start; the file dialog answered at once), the main thread's CPU time over the
// whole export (the click, each progress step on the button with its repaint, the end) and the
// longest any call posted to the main thread waited meanwhile (what a repaint or a second launch's
// hand-over waits for); then the wall time until the file is synced, in place and the button back.
// Then what a change costs while an export writes: logs, edits and deletes through the model, each
// saved with its sync, timed one by one until the file is in place, beside the same changes with
// no export, and how much of the export's file waited for the disk at most (what those syncs may
// wait behind). The raw SQLite floor (a bare insert + commit) is printed beside them.
#include "BenchMain.h"
#include "BenchSupport.h"
#include "LargeModel.h"
#include "app/AppModel.h"
#include "features/settings/SettingsDataCard.h"
#include "models/CsvExport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The card in a shown window over a model of `count` incidents, exporting into a folder of its own.
struct Fixture : LargeModel
{
    explicit Fixture(int count) : LargeModel(false, count)
    {
        target = out.filePath(QStringLiteral("incidents.csv"));
        window = std::make_unique<QWidget>();
        card = new SettingsDataCard(
            *model, [this](QWidget *, const QString &) { return target; }, window.get());
        window->resize(560, 320);
        card->setGeometry(window->rect());
        window->show();
        settleEvents();
    }

    QTemporaryDir out;
    QString target;
    std::unique_ptr<QWidget> window;
    SettingsDataCard *card = nullptr;
};

// One fixture at a time: a million incidents take their share of memory.
std::unique_ptr<Fixture> g_fixture;

Fixture &fixture(int count)
{
    if (!g_fixture || g_fixture->model->allEvents().size() != count) {
        g_fixture.reset();
        g_fixture = std::make_unique<Fixture>(count);
    }
    return *g_fixture;
}

// How long the main thread keeps others waiting: every 2 ms a thread of its own posts a call to
// the main thread and the call notes how late it runs, as a launch's hand-over or a repaint would.
class AnswerProbe
{
public:
    AnswerProbe()
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                const auto posted = std::chrono::steady_clock::now();
                QMetaObject::invokeMethod(
                    &m_receiver,
                    [this, posted] { m_longest = std::max(m_longest, BenchFloor::elapsedMs(posted)); },
                    Qt::QueuedConnection);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~AnswerProbe() { stop(); }

    // The longest wait seen; the calls still queued are answered first.
    double stop()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
            QCoreApplication::sendPostedEvents(&m_receiver);
        }
        return m_longest;
    }

private:
    QObject m_receiver;
    std::atomic_bool m_stop{false};
    double m_longest = 0;
    std::thread m_thread;
};

// The most of the export's file that waited for the disk at any one moment: its dirty pages and
// those on their way, as the kernel counts them (cachestat(2), Linux 6.5 on; -1 without). Any
// sync on the same file system meanwhile, the store's with each change, may wait for all of it.
class UnwrittenProbe
{
public:
    explicit UnwrittenProbe(const QString &target)
    {
        const QString folder = QDir(QFileInfo(target).absolutePath()).canonicalPath();
        m_thread = std::thread([this, folder] {
            int fd = -1;
            while (!m_stop) {
                if (fd < 0)
                    fd = openWritersFile(folder);
                if (fd >= 0) {
                    struct
                    {
                        quint64 offset = 0, length = 0;
                    } whole;
                    quint64 stat[5] = {};
                    if (::syscall(451 /* cachestat */, fd, &whole, stat, 0) != 0) {
                        m_bytes = -1;
                        break;
                    }
                    m_bytes = std::max<qint64>(m_bytes, qint64(stat[1] + stat[2]) * ::sysconf(_SC_PAGESIZE));
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (fd >= 0)
                ::close(fd);
        });
    }
    ~UnwrittenProbe() { stop(); }

    // The file the writer has open in `folder`: nameless until it is in place (O_TMPFILE), so found
    // among this process's descriptors.
    static int openWritersFile(const QString &folder)
    {
        const QByteArray prefix = QFile::encodeName(folder) + "/#";
        for (const QString &fd :
             QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System)) {
            const QByteArray link = "/proc/self/fd/" + fd.toLatin1();
            char target[4096];
            const ssize_t size = ::readlink(link.constData(), target, sizeof target);
            if (size > 0 && QByteArrayView(target, size).startsWith(prefix))
                return ::open(link.constData(), O_RDONLY);
        }
        return -1;
    }

    qint64 stop()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
        }
        return m_bytes;
    }

private:
    std::atomic_bool m_stop{false};
    std::atomic<qint64> m_bytes{0};
    std::thread m_thread;
};

// Exports as often as the state asks; with `probe`, also how long posted calls waited meanwhile
// (the probe's own calls cost the main thread time too, so the CPU figure is taken without it).
void exportRepeatedly(benchmark::State &state, bool probe)
{
    Fixture &f = fixture(int(state.range(0)));
    double clickMs = 0, mainCpuMs = 0, longestWaitMs = 0, wallMs = 0, steps = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        QFile::remove(f.target);
        std::optional<AnswerProbe> answers;
        if (probe)
            answers.emplace();
        const double cpuBefore = threadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        f.card->exportCsv();
        clickMs += BenchFloor::elapsedMs(start);
        CsvExport *job = f.model->csvExport();
        if (!job) {
            state.SkipWithError("the export did not start");
            return;
        }
        QObject::connect(job, &CsvExport::percentChanged, [&steps] { ++steps; });
        QEventLoop loop;
        // Queued, so the card's own end (button back, message) has run first.
        QObject::connect(job, &CsvExport::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        loop.exec();
        wallMs += BenchFloor::elapsedMs(start);
        mainCpuMs += threadCpuMs() - cpuBefore;
        if (answers)
            longestWaitMs = std::max(longestWaitMs, answers->stop());
        bytes = QFile(f.target).size();
        settleEvents();
    }
    const double n = double(std::max<qint64>(1, state.iterations()));
    if (probe) {
        state.counters["longest_wait_ms"] = longestWaitMs;
    } else {
        state.counters["click_ms"] = clickMs / n;
        state.counters["main_cpu_ms"] = mainCpuMs / n;
        state.counters["steps"] = steps / n;
    }
    state.counters["total_ms"] = wallMs / n;
    state.counters["file_mb"] = double(bytes) / 1e6;
    BenchFloor::reportInsertCommit(state);
}

// The main thread's share of one export, and the whole.
void BM_ExportCsv(benchmark::State &state)
{
    exportRepeatedly(state, false);
}
BENCHMARK(BM_ExportCsv)->Arg(100'000)->Iterations(10)->Unit(benchmark::kMillisecond);

// The longest the main thread kept a posted call waiting during an export.
void BM_ExportCsvAnswering(benchmark::State &state)
{
    exportRepeatedly(state, true);
}
BENCHMARK(BM_ExportCsvAnswering)->Arg(100'000)->Iterations(10)->Unit(benchmark::kMillisecond);

// The same probe with the main thread idle: the machine's own delay in running a woken thread,
// which the figure above includes.
void BM_IdleAnswering(benchmark::State &state)
{
    fixture(int(state.range(0)));
    double longestWaitMs = 0;
    for (auto _ : state) {
        AnswerProbe answers;
        QEventLoop loop;
        QTimer::singleShot(250, &loop, &QEventLoop::quit);
        loop.exec();
        longestWaitMs = std::max(longestWaitMs, answers.stop());
    }
    state.counters["longest_wait_ms"] = longestWaitMs;
}
BENCHMARK(BM_IdleAnswering)->Arg(100'000)->Iterations(10)->Unit(benchmark::kMillisecond);

// Logs, edits and deletes in turn through the model, each timed on the main thread with its save,
// a few milliseconds of the event loop (progress, repaints) between them. With `exporting`, for as
// long as an export runs, its final sync and the file's replacement included; without, as many.
void changeRepeatedly(benchmark::State &state, bool exporting)
{
    Fixture &f = fixture(int(state.range(0)));
    // Without an export: as many changes as one export of this size lasted, so both see as many.
    static QHash<qint64, int> changesPerExport;
    const int quietChanges = std::max(30, changesPerExport.value(state.range(0)));
    std::vector<double> all;
    std::vector<double> byKind[3];
    // The worst change of each export: its median keeps the odd stall of a busy disk out.
    std::vector<double> worst;
    double cpuMs = 0, exportMs = 0;
    qint64 unwritten = 0;
    for (auto _ : state) {
        QFile::remove(f.target);
        CsvExport *job = nullptr;
        std::optional<UnwrittenProbe> probe;
        if (exporting)
            probe.emplace(f.target);
        const auto start = std::chrono::steady_clock::now();
        if (exporting) {
            f.card->exportCsv();
            job = f.model->csvExport();
            if (!job) {
                state.SkipWithError("the export did not start");
                return;
            }
        }
        int changes = 0;
        double worstMs = 0;
        VorpEvent latest;
        while (exporting ? !job->isFinished() : changes < quietChanges) {
            const int kind = changes % 3;
            const double cpuBefore = threadCpuMs();
            const auto before = std::chrono::steady_clock::now();
            if (kind == 0)
                latest = f.model->log(EventSource::dashboard);
            else if (kind == 1)
                f.model->setTrigger(QStringLiteral("meeting"), latest);
            else
                f.model->deleteEvent(latest);
            const double ms = BenchFloor::elapsedMs(before);
            cpuMs += threadCpuMs() - cpuBefore;
            worstMs = std::max(worstMs, ms);
            all.push_back(ms);
            byKind[kind].push_back(ms);
            ++changes;
            QEventLoop pause;
            QTimer::singleShot(5, &pause, &QEventLoop::quit);
            pause.exec();
        }
        worst.push_back(worstMs);
        // A log left standing would grow the store from one iteration to the next.
        if (changes % 3 != 0)
            f.model->deleteEvent(latest);
        if (exporting) {
            exportMs += BenchFloor::elapsedMs(start);
            const qint64 bytes = probe->stop();
            unwritten = bytes < 0 || unwritten < 0 ? -1 : std::max(unwritten, bytes);
            changesPerExport[state.range(0)] = changes;
            if (!job->succeeded()) {
                state.SkipWithError("the export failed");
                return;
            }
        }
        settleEvents();
    }
    const double n = double(std::max<qint64>(1, state.iterations()));
    const auto percentile = [](std::vector<double> samples, double share) {
        if (samples.empty())
            return 0.0;
        std::sort(samples.begin(), samples.end());
        return samples[std::min(samples.size() - 1, size_t(share * double(samples.size())))];
    };
    state.counters["changes"] = double(all.size()) / n;
    state.counters["median_ms"] = BenchFloor::median(all);
    state.counters["p95_ms"] = percentile(all, 0.95);
    state.counters["max_ms"] = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    state.counters["worst_ms"] = BenchFloor::median(worst);
    // The main thread's own work in a change, apart from its waits.
    state.counters["cpu_ms"] = all.empty() ? 0 : cpuMs / double(all.size());
    const char *names[] = {"log", "edit", "delete"};
    for (int kind = 0; kind < 3; ++kind) {
        const std::vector<double> &samples = byKind[kind];
        state.counters[std::string(names[kind]) + "_ms"] = BenchFloor::median(samples);
        state.counters[std::string(names[kind]) + "_max_ms"] =
            samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
    }
    if (exporting) {
        state.counters["export_ms"] = exportMs / n;
        state.counters["unwritten_mb"] = unwritten < 0 ? -1 : double(unwritten) / 1e6;
    }
    BenchFloor::reportInsertCommit(state);
}

// Each change while an export writes, from its click until its file is in place.
void BM_ChangesDuringExport(benchmark::State &state)
{
    changeRepeatedly(state, true);
}
BENCHMARK(BM_ChangesDuringExport)->Arg(100'000)->Iterations(10)->Unit(benchmark::kMillisecond);

// The same changes with no export, for comparison.
void BM_ChangesWithoutExport(benchmark::State &state)
{
    changeRepeatedly(state, false);
}
BENCHMARK(BM_ChangesWithoutExport)->Arg(100'000)->Iterations(10)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ExportCsv)->Arg(1'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsvAnswering)->Arg(1'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangesDuringExport)->Arg(1'000'000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangesWithoutExport)->Arg(1'000'000)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenches(argc, argv, BenchApp::widgets, {.after = [] { g_fixture.reset(); }});
}
