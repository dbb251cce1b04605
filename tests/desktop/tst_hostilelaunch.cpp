#include "support/DesktopTools.h"
#include "support/ProgramFixture.h"
#include "support/UnixSockets.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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
// a session bus that never answers, a launcher that trusts an exit status of 0.
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

    void aFailedSaveFailsTheLaunch()
    {
        // The incident table gained a column that no insert fills.
        QVERIFY(exec(storePath(),
                     "CREATE TABLE VorpEvent (uuid TEXT NOT NULL, timestamp REAL NOT NULL, appName TEXT, "
                     "bundleIdentifier TEXT, triggerKey TEXT, note TEXT, sourceRaw TEXT NOT NULL, "
                     "mood TEXT NOT NULL); CREATE TABLE Trigger (key TEXT NOT NULL, name TEXT NOT NULL, "
                     "emoji TEXT NOT NULL, sortOrder INTEGER NOT NULL, isBuiltIn INTEGER NOT NULL, "
                     "isHidden INTEGER NOT NULL); PRAGMA user_version = 1;"));
        startGrumblix();
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        const Launch result = launch({QStringLiteral("grumblix://log")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.errors.contains(QLatin1String("could not save")), qPrintable(result.errors));
        QVERIFY2(result.errors.contains(QLatin1String("NOT NULL")), qPrintable(result.errors));
        QCOMPARE(m_grumblix->state(), QProcess::Running);
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
        // Nothing runs, so nothing has to be handed over: the launch becomes the instance.
        startGrumblix(oversizedUrls());
        QVERIFY(waitFor([&] { return rowCount(storePath()) == 10; }, 20000));
        QCOMPARE(query(storePath(), "SELECT sum(length(note)) FROM VorpEvent"), qint64(10 * 100 * 1000));
        QCOMPARE(m_grumblix->state(), QProcess::Running);
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        QCOMPARE(launch({QStringLiteral("grumblix://log")}).exitCode, 0);
        QCOMPARE(rowCount(storePath()), qint64(11));
        terminateGrumblix();
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
