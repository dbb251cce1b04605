#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

// What the reaper reported on one run.
struct Reaped
{
    int status = -1;
    QString errors;
    QSet<int> listed;
    QSet<int> endedByTerm;
    QSet<int> killed;
    QStringList users;
    QStringList commands;
};

QSet<int> pidsAfter(const QString &errors, const QRegularExpression &line)
{
    QSet<int> pids;
    const QRegularExpressionMatch match = line.match(errors);
    if (match.hasMatch()) {
        for (const QString &pid : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            pids.insert(pid.toInt());
    }
    return pids;
}

Reaped reapedFrom(QProcess &reaper)
{
    Reaped result;
    result.status = reaper.exitStatus() == QProcess::NormalExit ? reaper.exitCode() : -1;
    result.errors = QString::fromLocal8Bit(reaper.readAllStandardError());
    static const QRegularExpression listing(QStringLiteral("^ *(\\d+) (\\S+) +(.+)$"),
                                            QRegularExpression::MultilineOption);
    for (auto it = listing.globalMatch(result.errors); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result.listed.insert(match.captured(1).toInt());
        result.users << match.captured(2);
        result.commands << match.captured(3);
    }
    result.endedByTerm =
        pidsAfter(result.errors, QRegularExpression(QStringLiteral("^Ended by SIGTERM: (.*)$"),
                                                    QRegularExpression::MultilineOption));
    result.killed = pidsAfter(result.errors, QRegularExpression(QStringLiteral("^Killed, [^:]*: (.*)$"),
                                                                QRegularExpression::MultilineOption));
    return result;
}

void startReaper(QProcess &reaper, const QString &script, const QString &folder)
{
    QString body = script;
    body.replace(QStringLiteral("@DIR@"), folder);
    reaper.start(QStringLiteral(GRUMBLIX_SUITE_REAPER),
                 {QStringLiteral("--settle"), QStringLiteral("1"), QStringLiteral("--grace"),
                  QStringLiteral("1"), QStringLiteral("--"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                  body});
    QVERIFY2(reaper.waitForStarted(), qPrintable(reaper.errorString()));
}

// Runs a shell script under the reaper; @DIR@ in it names `folder`.
Reaped reap(const QString &script, const QString &folder)
{
    QProcess reaper;
    startReaper(reaper, script, folder);
    if (!reaper.waitForFinished(30000))
        reaper.kill();
    return reapedFrom(reaper);
}

int pidIn(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll().trimmed().toInt() : 0;
}

QByteArray statusLine(int pid, const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed();
    }
    return {};
}

bool exists(int pid)
{
    return pid > 0 && QFile::exists(QStringLiteral("/proc/%1").arg(pid));
}

// Still stopped and no signal waiting: a process that was stopped keeps every signal sent to it
// but SIGKILL (which ends it) and SIGCONT (which wakes it) pending, so this shows that nothing at
// all was sent.
bool untouchedWhileStopped(int pid)
{
    return statusLine(pid, "State").startsWith('T') &&
           statusLine(pid, "SigPnd").toULongLong(nullptr, 16) == 0 &&
           statusLine(pid, "ShdPnd").toULongLong(nullptr, 16) == 0;
}

bool waitForFile(const QString &path, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!QFile::exists(path) || QFile(path).size() == 0) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

QString thisUser()
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::geteuid());
}

QSet<int> pidsIn(const QString &folder, const QStringList &names)
{
    QSet<int> pids;
    for (const QString &name : names)
        pids.insert(pidIn(folder + QLatin1Char('/') + name));
    return pids;
}

} // namespace

// scripts/run-tests.sh runs ctest under the reaper: what the tests leave running is theirs however
// it detached, and is ended; what anyone else runs on the machine is never touched.
class SuiteReaperTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    int m_rows = 0;

    QString newFolder()
    {
        const QString folder = m_root.filePath(QString::number(++m_rows));
        QDir().mkpath(folder);
        return folder;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_root.isValid()); }

    // Each script leaves processes behind; a pid file names each of them. `ended` are those that
    // SIGTERM ends, `killed` those that only SIGKILL does.
    void whatTheCommandLeavesIsEnded_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("ended");
        QTest::addColumn<QStringList>("killed");
        const QString waitForA = QStringLiteral("; until [ -s @DIR@/a ]; do sleep 0.01; done");
        const QString waitForB = QStringLiteral("; until [ -s @DIR@/b ]; do sleep 0.01; done");
        QTest::newRow("a session of its own and a cleared environment")
            << "setsid -f env -i /bin/sh -c 'echo $$ > @DIR@/a; exec sleep 600'" + waitForA
            << QStringList{"a"} << QStringList{};
        QTest::newRow("a double fork")
            << QStringLiteral("(sleep 600 & echo $! > @DIR@/a)") << QStringList{"a"} << QStringList{};
        QTest::newRow("a leftover's own child")
            << "setsid -f /bin/sh -c 'sleep 600 & echo $! > @DIR@/b; echo $$ > @DIR@/a; wait'" + waitForA
            << QStringList{"a", "b"} << QStringList{};
        // Its child has exited and is never reaped by it: a zombie, which runs nothing.
        QTest::newRow("a leftover's zombie is not counted")
            << "setsid -f /bin/sh -c 'sleep 0 & echo $$ > @DIR@/a; exec sleep 600'" + waitForA
            << QStringList{"a"} << QStringList{};
        QTest::newRow("one that ignores SIGTERM")
            << "setsid -f /bin/sh -c 'trap \"\" TERM; echo $$ > @DIR@/a; exec sleep 600'" + waitForA
            << QStringList{} << QStringList{"a"};
        // Stopped, it would keep SIGTERM pending until SIGKILL: woken, it quits the way it means to.
        QTest::newRow("a stopped one that quits on SIGTERM")
            << "setsid -f /bin/sh -c 'trap \"exit 0\" TERM; echo $$ > @DIR@/a; sleep 600 & echo $! > "
               "@DIR@/b; wait'" +
                   waitForB + "; kill -STOP $(cat @DIR@/a)"
            << QStringList{"a", "b"} << QStringList{};
        QTest::newRow("one that starts another as it quits")
            << "setsid -f /bin/sh -c 'trap \"sleep 600 & echo \\$! > @DIR@/c; exit 0\" TERM; echo $$ > "
               "@DIR@/a; sleep 600 & echo $! > @DIR@/b; wait'" +
                   waitForB
            << QStringList{"a", "b", "c"} << QStringList{};
    }
    void whatTheCommandLeavesIsEnded()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, ended);
        QFETCH(QStringList, killed);
        const QString folder = newFolder();
        const Reaped reaped = reap(script, folder);
        const QSet<int> endedPids = pidsIn(folder, ended), killedPids = pidsIn(folder, killed);
        QVERIFY(!endedPids.contains(0) && !killedPids.contains(0));

        QCOMPARE(reaped.status, 1); // the command itself succeeded
        QVERIFY2(reaped.errors.startsWith(QStringLiteral("Processes left running when sh ended:\n")),
                 qPrintable(reaped.errors));
        QCOMPARE(reaped.listed, endedPids + killedPids);
        QCOMPARE(reaped.users, QStringList(reaped.listed.size(), thisUser()));
        QCOMPARE(reaped.endedByTerm, endedPids);
        QCOMPARE(reaped.killed, killedPids);
        if (!killed.isEmpty())
            QVERIFY2(reaped.errors.contains(QStringLiteral("still running 1 s after SIGTERM")),
                     qPrintable(reaped.errors));
        for (int pid : reaped.listed)
            QVERIFY2(!exists(pid), qPrintable(QStringLiteral("%1 is still there").arg(pid)));
    }

    // The run's status is the command's; leftovers turn a success into a failure. What ends within
    // the settle time, and a zombie the reaper collects, do not count.
    void theStatusIsTheCommands_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("leftovers");
        QTest::newRow("success") << QStringLiteral("true") << 0 << 0;
        QTest::newRow("failure") << QStringLiteral("exit 3") << 3 << 0;
        QTest::newRow("ended by a signal") << QStringLiteral("kill -TERM $$") << 128 + SIGTERM << 0;
        QTest::newRow("failure with a leftover") << QStringLiteral("setsid -f sleep 600; exit 4") << 4 << 1;
        QTest::newRow("a leftover on its way out") << QStringLiteral("setsid -f sleep 0.1") << 0 << 0;
        QTest::newRow("the command's zombie") << QStringLiteral("sleep 0 & exec sleep 0.3") << 0 << 0;
    }
    void theStatusIsTheCommands()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(int, leftovers);
        const Reaped reaped = reap(script, newFolder());
        QCOMPARE(reaped.status, status);
        QCOMPARE(reaped.listed.size(), leftovers);
        if (leftovers == 0)
            QVERIFY2(reaped.errors.isEmpty(), qPrintable(reaped.errors));
        for (int pid : reaped.listed)
            QVERIFY(!exists(pid));
    }

    void aCommandThatCannotRunIsNamed()
    {
        QProcess reaper;
        reaper.start(QStringLiteral(GRUMBLIX_SUITE_REAPER),
                     {QStringLiteral("--"), QStringLiteral("/nonexistent/ctest")});
        QVERIFY(reaper.waitForFinished(10000));
        QCOMPARE(reaper.exitCode(), 125);
        QCOMPARE(reaper.readAllStandardError(),
                 QByteArray("suite-reaper: cannot run /nonexistent/ctest: No such file or directory\n"));
    }

    // Processes of the same name started by someone else, before the run and while it runs, in a
    // session of their own or not, an X server among them: none is ended, none is even signalled.
    void processesStartedOutsideAreLeftAlone()
    {
        const QString folder = newFolder();
        QProcess before;
        before.start(QStringLiteral("setsid"), {QStringLiteral("sleep"), QStringLiteral("600")});
        QVERIFY(before.waitForStarted());
        QVERIFY(::kill(pid_t(before.processId()), SIGSTOP) == 0);

        QProcess reaper;
        startReaper(reaper,
                    QStringLiteral("setsid -f env -i /bin/sh -c 'echo $$ > @DIR@/a; exec sleep 600';"
                                   "until [ -e @DIR@/go ]; do sleep 0.01; done"),
                    folder);
        QVERIFY(waitForFile(folder + QStringLiteral("/a")));
        const int inside = pidIn(folder + QStringLiteral("/a"));

        QProcess during;
        during.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        QVERIFY(during.waitForStarted());
        QProcess duringStopped;
        duringStopped.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        QVERIFY(duringStopped.waitForStarted());
        QVERIFY(::kill(pid_t(duringStopped.processId()), SIGSTOP) == 0);
        QProcess xserver;
        xserver.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("64x64x24")});
        QVERIFY2(xserver.waitForReadyRead(20000),
                 "Xvfb did not start"); // it writes its display once it serves
        QFile go(folder + QStringLiteral("/go"));
        QVERIFY(go.open(QIODevice::WriteOnly));
        go.close();

        QVERIFY(reaper.waitForFinished(30000));
        const Reaped reaped = reapedFrom(reaper);
        QCOMPARE(reaped.status, 1);
        QCOMPARE(reaped.listed, QSet<int>{inside});
        QCOMPARE(reaped.commands, QStringList{QStringLiteral("sleep 600")});
        QVERIFY(!exists(inside));

        QCOMPARE(during.state(), QProcess::Running);
        QCOMPARE(xserver.state(), QProcess::Running);
        QVERIFY(untouchedWhileStopped(int(before.processId())));
        QVERIFY(untouchedWhileStopped(int(duringStopped.processId())));
        for (QProcess *process : {&before, &during, &duringStopped, &xserver}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    // A run that is interrupted (SIGTERM to the reaper, as a timeout sends it) ends its command
    // the same way, and still ends what the command left.
    void anInterruptedRunStillEndsWhatItLeft()
    {
        const QString folder = newFolder();
        QProcess reaper;
        startReaper(reaper,
                    QStringLiteral("setsid -f /bin/sh -c 'echo $$ > @DIR@/a; exec sleep 600';"
                                   "trap 'exit 7' TERM; until [ -s @DIR@/a ]; do sleep 0.01; done;"
                                   "echo > @DIR@/ready; while :; do sleep 0.02; done"),
                    folder);
        QVERIFY(waitForFile(folder + QStringLiteral("/ready")));
        reaper.terminate();
        QVERIFY(reaper.waitForFinished(30000));
        const Reaped reaped = reapedFrom(reaper);
        QCOMPARE(reaped.status, 7);
        const int leftover = pidIn(folder + QStringLiteral("/a"));
        QCOMPARE(reaped.listed, QSet<int>{leftover});
        QVERIFY(!exists(leftover));
    }
};

QTEST_GUILESS_MAIN(SuiteReaperTest)
#include "tst_suitereaper.moc"
