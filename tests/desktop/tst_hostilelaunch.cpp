#include "support/DesktopTools.h"
#include "support/MountNamespace.h"
#include "support/ProgramFixture.h"
#include "support/UnixSockets.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

using DesktopTools::waitFor;
using Launch = ProgramFixture::Launch;

namespace {

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

bool exec(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

// The program started and launched again in an environment that works against it: a broken store,
// a full disk, a session bus that never answers, a launcher that trusts an exit status of 0.
class HostileLaunchTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_program;
    QProcess *m_grumblix = nullptr;

    QString storePath() const { return m_program->storePath(); }
    QString socketPath() const { return m_program->socketPath(); }

    // The one number `sql` selects from the store; -1 when it cannot be read.
    qint64 query(const QString &path, const char *sql) const
    {
        const QList<QVariantList> rows = StoreRows::read(path, sql);
        return rows.isEmpty() || rows.first().isEmpty() ? -1 : rows.first().first().toLongLong();
    }
    qint64 rowCount(const QString &path) const { return query(path, "SELECT count(*) FROM VorpEvent"); }

    void startGrumblix(const QStringList &arguments = {}) { m_grumblix = m_program->start(arguments); }

    // Ten URLs that each fit a launch but together make a request of about 2 MiB.
    static QStringList oversizedUrls()
    {
        QStringList urls;
        for (int i = 0; i < 10; ++i)
            urls << QStringLiteral("grumblix://log?note=") + QString(100 * 1000, QLatin1Char('a' + i));
        return urls;
    }

    Launch launch(const QStringList &arguments) { return m_program->launch(arguments); }

    void terminateGrumblix() { QVERIFY2(m_program->terminate(), "SIGTERM did not end the program"); }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<ProgramFixture>();
        QVERIFY(m_program->isReady());
    }

    void cleanup()
    {
        m_grumblix = nullptr;
        m_program.reset();
    }

    void launchesAreRefusedWhileTheStoreCannotOpen()
    {
        // Another program's database where the store should be.
        QVERIFY(exec(storePath(), "CREATE TABLE Notes (x TEXT); INSERT INTO Notes VALUES ('mine');"));
        const QByteArray before = hashOf(storePath());
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        const Launch refused = launch({QStringLiteral("grumblix://log?note=lost")});
        QVERIFY2(refused.errors.contains(QLatin1String("cannot take this yet")), qPrintable(refused.errors));
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(m_grumblix->state(), QProcess::Running); // the message box is up
        terminateGrumblix();
        QCOMPARE(hashOf(storePath()), before);
        QCOMPARE(QDir(m_program->filePath(QStringLiteral("data/Grumblix"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("Grumblix.store")});
    }

    void exitStatusZeroMeansTheIncidentIsOnDisk()
    {
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        for (int i = 1; i <= 10; ++i) {
            const Launch result = launch({QStringLiteral("grumblix://log?note=%1").arg(i)});
            QCOMPARE(result.exitCode, 0);
            // No waiting: the row is there the moment the launcher returns.
            QCOMPARE(rowCount(storePath()), qint64(i));
        }
        m_grumblix->kill(); // no chance to save anything more
        m_grumblix->waitForFinished();
        QCOMPARE(rowCount(storePath()), qint64(10));
    }

    void afterQuitTheStoreFileAloneIsABackup()
    {
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(launch({QStringLiteral("grumblix://log")}).exitCode, 0);
        terminateGrumblix();
        const QString backup = m_program->filePath(QStringLiteral("backup.store"));
        QVERIFY(QFile::copy(storePath(), backup));
        QCOMPARE(rowCount(backup), qint64(5));
    }

    void aSaveTheStoreRefusesKeepsTheIncident_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("handed over") << true;
        // The program it starts in the background reports the same.
        QTest::newRow("a first launch") << false;
    }
    void aSaveTheStoreRefusesKeepsTheIncident()
    {
        QFETCH(bool, running);
        // The incident table gained a column that no insert fills.
        QVERIFY(exec(storePath(),
                     "CREATE TABLE VorpEvent (uuid TEXT NOT NULL, timestamp REAL NOT NULL, appName TEXT, "
                     "bundleIdentifier TEXT, triggerKey TEXT, note TEXT, sourceRaw TEXT NOT NULL, "
                     "mood TEXT NOT NULL); CREATE TABLE Trigger (key TEXT NOT NULL, name TEXT NOT NULL, "
                     "emoji TEXT NOT NULL, sortOrder INTEGER NOT NULL, isBuiltIn INTEGER NOT NULL, "
                     "isHidden INTEGER NOT NULL); PRAGMA user_version = 1;"));
        if (running) {
            startGrumblix();
            QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        }
        // Logged and kept by the running program, not on disk: a script must not log it again.
        const Launch result = launch({QStringLiteral("grumblix://log")});
        QCOMPARE(result.exitCode, 2);
        for (const char *words : {"could not save", "NOT NULL", "is kept", "do not log it again"})
            QVERIFY2(result.errors.contains(QLatin1String(words)), qPrintable(result.errors));
        QCOMPARE(rowCount(storePath()), qint64(0));
        QVERIFY(m_program->instancePid() > 0);
        // A launch that logs nothing is done, whatever still waits for the disk.
        QCOMPARE(launch({QStringLiteral("grumblix://report")}).exitCode, 0);
        QVERIFY(m_program->stopInstance());
    }

    // The disk fills up under a running Grumblix: the incident is logged and kept, the launch says
    // so with a status of its own, and once there is room again it is written, once.
    void aFullDiskKeepsTheIncidentUntilThereIsRoom()
    {
        if (!MountNamespace::isInside()) {
            QString why;
            const std::optional<bool> passed =
                MountNamespace::runTestFunction(QTest::currentTestFunction(), &why);
            if (!passed && ::geteuid() == 0)
                QFAIL(qPrintable(why));
            if (!passed)
                QSKIP(qPrintable(why));
            QVERIFY(*passed);
            return;
        }
        const QString data = m_program->filePath(QStringLiteral("data"));
        const MountNamespace::Tmpfs disk(data, 1024 * 1024);
        QVERIFY(disk.isMounted());
        QVERIFY(QDir().mkpath(data + QStringLiteral("/Grumblix")));
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=before")}).exitCode, 0);
        // Once what was saved is folded into the store file the journal is empty, and the next
        // incident needs new room on the disk.
        QVERIFY(waitFor([&] { return QFileInfo(storePath() + QStringLiteral("-wal")).size() == 0; }, 10000));

        const QString filler = data + QStringLiteral("/filler");
        QVERIFY(MountNamespace::fill(filler));
        const Launch full = launch({QStringLiteral("grumblix://log?note=full")});
        QCOMPARE(full.exitCode, 2);
        QVERIFY2(
            full.errors.startsWith(QLatin1String("Grumblix could not save to its store yet: database or disk "
                                                 "is full. What this launch logged is kept")),
            qPrintable(full.errors));
        QVERIFY2(full.errors.contains(QLatin1String("do not log it again")), qPrintable(full.errors));
        QCOMPARE(rowCount(storePath()), qint64(1));

        QVERIFY(QFile::remove(filler));
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=after")}).exitCode, 0);
        QStringList notes;
        for (const QVariantList &row :
             StoreRows::read(storePath(), "SELECT note FROM VorpEvent ORDER BY timestamp"))
            notes << row.value(0).toString();
        QCOMPARE(notes, (QStringList{"before", "full", "after"}));
        terminateGrumblix();
    }

    // A first launch of URLs alone returns once they are stored, and Grumblix runs on without it:
    // a script that reads the launch's output to its end is not kept waiting for Grumblix to quit.
    void aFirstLaunchReturnsWithItsUrlsStored()
    {
        QProcess script;
        script.setProcessEnvironment(m_program->environment());
        script.start(QStringLiteral("sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("out=$(\"$0\" \"$1\" 2>&1); printf '%s|%s' $? \"$out\""),
                      ProgramFixture::programPath(), QStringLiteral("grumblix://log?note=first")});
        QVERIFY2(script.waitForFinished(20000), "the launch did not return");
        QCOMPARE(QString::fromLocal8Bit(script.readAllStandardOutput()), QStringLiteral("0|"));
        QCOMPARE(rowCount(storePath()), qint64(1)); // there the moment the launcher returned

        const qint64 pid = m_program->instancePid();
        QVERIFY(pid > 0);
        QCOMPARE(qint64(::getsid(pid_t(pid))), pid); // a session of its own: no terminal's hang-up reaches it
        // It is the instance now: the next launch is handed over.
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=second")}).exitCode, 0);
        QCOMPARE(rowCount(storePath()), qint64(2));
        QCOMPARE(m_program->instancePid(), pid);
        QVERIFY(m_program->stopInstance());
    }

    // The store cannot open: the launch says so at once and logs nothing; the message box waits in
    // the background for the user, as for any start.
    void aFirstLaunchThatCannotStartSaysSoAtOnce()
    {
        QVERIFY(exec(storePath(), "CREATE TABLE Notes (x TEXT); INSERT INTO Notes VALUES ('mine');"));
        const QByteArray before = hashOf(storePath());
        QElapsedTimer clock;
        clock.start();
        const Launch refused = launch({QStringLiteral("grumblix://log?note=lost")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY2(refused.errors.startsWith(QLatin1String("Could not open the Grumblix store: ")),
                 qPrintable(refused.errors));
        QVERIFY(m_program->stopInstance());
        QCOMPARE(hashOf(storePath()), before);
    }

    void anOversizedLaunchIsRefusedAndLogsNothing_data()
    {
        QTest::addColumn<QStringList>("options");
        // URLs alone go the launcher's short way; with an option the program proper hands them over.
        QTest::newRow("URLs alone") << QStringList{};
        QTest::newRow("URLs and an option") << QStringList{QStringLiteral("--tab=history")};
    }
    void anOversizedLaunchIsRefusedAndLogsNothing()
    {
        QFETCH(QStringList, options);
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=before")}).exitCode, 0);

        const Launch refused = launch(options + oversizedUrls());
        QCOMPARE(refused.exitCode, 1);
        for (const char *words : {"request is 1,954 KiB", "at most 1,024 KiB", "Nothing was done"})
            QVERIFY2(refused.errors.contains(QLatin1String(words)), qPrintable(refused.errors));
        QVERIFY2(!refused.errors.contains(QLatin1String("try again")), qPrintable(refused.errors));
        // All or nothing: not even the URLs that would fit alone were logged.
        QCOMPARE(rowCount(storePath()), qint64(1));

        // The instance is unharmed and takes a launch that fits, however long its one note.
        QCOMPARE(launch(options + oversizedUrls().mid(0, 1)).exitCode, 0);
        QCOMPARE(rowCount(storePath()), qint64(2));
        QCOMPARE(query(storePath(), "SELECT max(length(note)) FROM VorpEvent"), qint64(100 * 1000));
        QCOMPARE(m_grumblix->state(), QProcess::Running);
    }

    void anOversizedFirstLaunchLogsEveryUrl()
    {
        // Nothing runs, so nothing has to be handed over: the launch starts the instance, which
        // takes every URL from its command line before the launcher returns.
        QCOMPARE(launch(oversizedUrls()).exitCode, 0);
        QCOMPARE(rowCount(storePath()), qint64(10));
        QCOMPARE(query(storePath(), "SELECT sum(length(note)) FROM VorpEvent"), qint64(10 * 100 * 1000));
        QVERIFY(m_program->instancePid() > 0);
        QVERIFY(QFile::exists(socketPath()));
        QCOMPARE(launch({QStringLiteral("grumblix://log")}).exitCode, 0);
        QCOMPARE(rowCount(storePath()), qint64(11));
        QVERIFY(m_program->stopInstance());
    }

    void aSecondLaunchDoesAllItAsks_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("windows");
        QTest::addColumn<qint64>("rows");
        QTest::newRow("dashboard and a URL")
            << QStringList{QStringLiteral("--dashboard"), QStringLiteral("grumblix://log?note=x")} << 1
            << qint64(1);
        QTest::newRow("dashboard and panel")
            << QStringList{QStringLiteral("--dashboard"), QStringLiteral("--panel")} << 2 << qint64(0);
    }
    void aSecondLaunchDoesAllItAsks()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, windows);
        QFETCH(qint64, rows);
        if (!DesktopTools::hasProgram(QStringLiteral("xdotool")))
            QSKIP("xdotool is needed (scripts/packages-test.txt lists it)");
        const auto shown = [] {
            return DesktopTools::run(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--name"), QStringLiteral("^Grumblix$")})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                .size();
        };
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        QCOMPARE(shown(), 0);
        QCOMPARE(launch(arguments).exitCode, 0);
        QCOMPARE(rowCount(storePath()), rows);
        QVERIFY2(waitFor([&] { return shown() == windows; }), qPrintable(QString::number(shown())));
        terminateGrumblix();
    }

    void aSessionBusThatNeverAnswersDoesNotStopTheProgram()
    {
        const QString bus = m_program->filePath(QStringLiteral("bus"));
        // Takes connections into its queue and never answers.
        const int server = UnixSockets::listenAt(bus);
        QVERIFY(server >= 0);
        m_program->environment().insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                                        QStringLiteral("unix:path=") + bus);

        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        const Launch result = launch({QStringLiteral("grumblix://log?note=bus")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(rowCount(storePath()), qint64(1));
        terminateGrumblix();
        ::close(server);
    }
};

QTEST_MAIN(HostileLaunchTest)
#include "tst_hostilelaunch.moc"
