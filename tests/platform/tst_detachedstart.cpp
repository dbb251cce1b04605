#include "platform/DetachedStart.h"
#include "platform/HandOverWire.h"
#include "platform/StartReport.h"

#include <QElapsedTimer>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Runs a shell script as the program proper, the way the launcher starts grumblix-app.
DetachedStart startScript(const QByteArray &script, int timeoutMs = 10000)
{
    char sh[] = "sh", dashC[] = "-c";
    QByteArray body = script;
    char *argv[] = {sh, dashC, body.data(), nullptr};
    return DetachedStart::run("/bin/sh", argv, timeoutMs);
}

bool isRunning(pid_t pid)
{
    return pid > 0 && ::kill(pid, 0) == 0;
}

void stop(pid_t pid)
{
    if (isRunning(pid))
        ::kill(pid, SIGKILL);
}

} // namespace

// A first launch of URLs alone starts the program in the background and waits for its report: the
// launcher returns with the program's answer, or says truthfully why there is none.
class DetachedStartTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theReportDecidesTheExitStatus_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QString>("words");
        QTest::newRow("done") << QByteArray("printf k >&$GRUMBLIX_START_REPORT_FD") << 0 << QString();
        QTest::newRow("kept, not on disk")
            << QByteArray("printf '+pdisk is full' >&$GRUMBLIX_START_REPORT_FD") << 2 << "disk is full";
        QTest::newRow("refused") << QByteArray("printf 'rno display' >&3") << 1 << "no display";
        QTest::newRow("handed over, no answer") << QByteArray("printf 'ugone' >&3") << 3 << "gone";
        QTest::newRow("ends while taking the URLs")
            << QByteArray("printf + >&3; exit 0") << 3 << "(with exit status 0) while it was taking the URLs";
        QTest::newRow("ends before taking them")
            << QByteArray("exit 4") << 1 << "(with exit status 4) before it took the URLs; nothing was done";
        QTest::newRow("killed before taking them")
            << QByteArray("kill -9 $$") << 1 << "(killed by signal 9, SIGKILL) before it took the URLs";
        QTest::newRow("killed while taking them") << QByteArray("printf + >&3; kill -6 $$") << 3
                                                  << "(killed by signal 6, SIGABRT) while it was taking";
    }
    void theReportDecidesTheExitStatus()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, exitStatus);
        QFETCH(QString, words);
        const DetachedStart started = startScript(script);
        QCOMPARE(started.exitStatus, exitStatus);
        QVERIFY2(QString::fromStdString(started.message).contains(words), started.message.c_str());
        if (words.isEmpty())
            QVERIFY2(started.message.empty(), started.message.c_str());
    }

    // The launcher returns as soon as the program has answered; the program goes on.
    void theProgramRunsOnAfterItsReply()
    {
        QElapsedTimer clock;
        clock.start();
        const DetachedStart started = startScript("printf k >&3; exec 3>&-; sleep 30");
        QCOMPARE(started.exitStatus, 0);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(isRunning(started.pid));
        stop(started.pid);
    }

    void theWaitIsBounded()
    {
        QElapsedTimer clock;
        clock.start();
        const DetachedStart started = startScript("sleep 30", 300);
        QVERIFY(clock.elapsed() < 3000);
        QCOMPARE(started.exitStatus, 3);
        QVERIFY2(started.message.find("did not finish starting within 1 second;") != std::string::npos,
                 started.message.c_str());
        QVERIFY2(started.message.find("check the history") != std::string::npos, started.message.c_str());
        QVERIFY(isRunning(started.pid)); // left to go on starting
        stop(started.pid);
    }

    void aProgramThatCannotStartIsNamed()
    {
        char name[] = "grumblix-app";
        char *argv[] = {name, nullptr};
        const DetachedStart started = DetachedStart::run("/nonexistent/grumblix-app", argv, 5000);
        QCOMPARE(started.exitStatus, 1);
        QCOMPARE(
            started.message,
            std::string("Grumblix could not start /nonexistent/grumblix-app: No such file or directory."));
    }

    // In a session of its own, on /dev/null, in the root folder, with none of the caller's other
    // descriptors and none of its ignored signals: a terminal closing, a pipe a script reads until
    // its end, a mount being taken away, none of them concern it.
    void theProgramIsDetachedFromItsCaller()
    {
        const int stray = ::open("/dev/null", O_RDONLY); // inheritable, as a careless caller leaves one
        QVERIFY(stray > 3);
        struct sigaction ignore = {}, saved = {};
        ignore.sa_handler = SIG_IGN;
        QCOMPARE(::sigaction(SIGINT, &ignore, &saved), 0);
        const DetachedStart started = startScript(
            "in=$(readlink /proc/$$/fd/0); out=$(readlink /proc/$$/fd/1); err=$(readlink /proc/$$/fd/2);"
            "stray=no; [ -e /proc/$$/fd/" +
            QByteArray::number(stray) +
            " ] && stray=yes;"
            "ignored=$(sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status);"
            "printf 'k%s %s %s %s %s %s %s %s' \"$in\" \"$out\" \"$err\" \"$(readlink /proc/$$/cwd)\" "
            "\"$(cut -d' ' -f6 /proc/$$/stat)\" \"$$\" \"$stray\" \"$ignored\" >&3");
        ::sigaction(SIGINT, &saved, nullptr);
        ::close(stray);
        QCOMPARE(started.exitStatus, 0);
        const QStringList seen = QString::fromStdString(started.message).split(QLatin1Char(' '));
        QCOMPARE(seen.size(), 8);
        QCOMPARE(seen.mid(0, 4), (QStringList{"/dev/null", "/dev/null", "/dev/null", "/"}));
        QCOMPARE(seen.at(4), QString::number(started.pid)); // leads a session of its own
        QCOMPARE(seen.at(5), QString::number(started.pid));
        QVERIFY(::getsid(0) != started.pid);
        QCOMPARE(seen.at(6), QStringLiteral("no"));
        QCOMPARE(seen.at(7).toULongLong(nullptr, 16), 0ull);
    }

    // The program's side: it takes the descriptor out of its environment and writes only to the
    // socket the launcher made.
    void theReportIsTakenFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<bool>("open");
        QTest::newRow("the launcher's socket") << QByteArray("socket") << true;
        QTest::newRow("a pipe") << QByteArray("pipe") << false;
        QTest::newRow("a file") << QByteArray("file") << false;
        QTest::newRow("a standard stream") << QByteArray("2") << false;
        QTest::newRow("not a number") << QByteArray("3x") << false;
        QTest::newRow("empty") << QByteArray("") << false;
    }
    void theReportIsTakenFromTheEnvironment()
    {
        QFETCH(QByteArray, kind);
        QFETCH(bool, open);
        int ends[2] = {-1, -1};
        QByteArray value = kind;
        if (kind == "socket")
            QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        else if (kind == "pipe")
            QCOMPARE(::pipe(ends), 0);
        else if (kind == "file")
            ends[1] = ::open("/dev/null", O_WRONLY);
        if (ends[1] >= 0)
            value = QByteArray::number(ends[1]);
        qputenv(StartReport::variable, value);
        {
            StartReport report = StartReport::fromEnvironment();
            QVERIFY(!qEnvironmentVariableIsSet(StartReport::variable));
            QCOMPARE(report.isOpen(), open);
            if (open) // nothing the program starts later inherits it
                QVERIFY(::fcntl(ends[1], F_GETFD) & FD_CLOEXEC);
            report.markTakingUrls();
            report.send("k");
            if (open) {
                ::close(ends[1]);
                ends[1] = -1;
            }
        }
        if (ends[0] >= 0) {
            char buffer[16];
            const ssize_t n = open ? ::recv(ends[0], buffer, sizeof buffer, 0) : 0;
            QCOMPARE(QByteArray(buffer, int(qMax<ssize_t>(n, 0))), open ? QByteArray("+k") : QByteArray());
        }
        if (!open && ends[1] >= 0) // someone else's descriptor: left open
            QVERIFY(::fcntl(ends[1], F_GETFD) >= 0);
        for (int fd : ends) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    // A launcher that is gone (killed, or its wait ran out) costs the program nothing.
    void aLauncherThatIsGoneCostsNothing()
    {
        int ends[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        ::close(ends[0]);
        StartReport report(ends[1]);
        report.markTakingUrls();
        report.send("k"); // no SIGPIPE: the test would die of it
        QVERIFY(!report.isOpen());
    }
};

QTEST_GUILESS_MAIN(DetachedStartTest)
#include "tst_detachedstart.moc"
