#include "platform/DetachedStart.h"
#include "platform/HandOverWire.h"
#include "platform/StartReport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
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
        // The variable names the descriptor first.
        QTest::newRow("done") << QByteArray("printf k >&${GRUMBLIX_START_REPORT_FD%%:*}") << 0 << QString();
        QTest::newRow("kept, not on disk")
            << QByteArray("printf '+pdisk is full' >&${GRUMBLIX_START_REPORT_FD%%:*}") << 2 << "disk is full";
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
    // socket the launcher made, never to one the caller's environment happens to name.
    void theReportIsTakenFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QByteArray>("naming"); // how the variable names it
        QTest::addColumn<bool>("open");
        QTest::newRow("the launcher's socket") << QByteArray("socket") << QByteArray("channel") << true;
        // What a caller's environment may hold: a socket of the caller's under the variable.
        QTest::newRow("a socket named by its number alone")
            << QByteArray("socket") << QByteArray("number") << false;
        QTest::newRow("the other end's inode") << QByteArray("socket") << QByteArray("other inode") << false;
        QTest::newRow("a pair another process made") << QByteArray("socket") << QByteArray("parent") << false;
        QTest::newRow("no launcher") << QByteArray("socket") << QByteArray("pid 0") << false;
        QTest::newRow("a pipe") << QByteArray("pipe") << QByteArray("channel") << false;
        QTest::newRow("a file") << QByteArray("file") << QByteArray("channel") << false;
        QTest::newRow("a standard stream") << QByteArray("2") << QByteArray("channel") << false;
        QTest::newRow("not a number") << QByteArray("3x") << QByteArray() << false;
        QTest::newRow("trailing text") << QByteArray("socket") << QByteArray("trailing") << false;
        QTest::newRow("empty") << QByteArray("") << QByteArray() << false;
    }
    void theReportIsTakenFromTheEnvironment()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QByteArray, naming);
        QFETCH(bool, open);
        int ends[2] = {-1, -1};
        QByteArray value = kind;
        if (kind == "socket")
            QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        else if (kind == "pipe")
            QCOMPARE(::pipe(ends), 0);
        else if (kind == "file")
            ends[1] = ::open("/dev/null", O_WRONLY);
        const int named = ends[1] >= 0 ? ends[1] : kind == "2" ? 2 : -1;
        if (named >= 0) {
            struct stat info = {};
            QCOMPARE(::fstat(named, &info), 0);
            ino_t inode = info.st_ino;
            if (naming == "other inode") {
                QCOMPARE(::fstat(ends[0], &info), 0);
                inode = info.st_ino;
            }
            const pid_t launcher = naming == "parent" ? ::getppid() : naming == "pid 0" ? 0 : ::getpid();
            value = QByteArray::fromStdString(StartReport::channel(named, inode, launcher));
            if (naming == "number")
                value = QByteArray::number(named);
            else if (naming == "trailing")
                value += " ";
        }
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
            // Not a byte for a channel that is not the launcher's.
            QByteArray received;
            char buffer[16];
            pollfd entry{ends[0], POLLIN, 0};
            if (::poll(&entry, 1, 0) > 0) {
                const ssize_t n = ::read(ends[0], buffer, sizeof buffer);
                received = QByteArray(buffer, int(qMax<ssize_t>(n, 0)));
            }
            QCOMPARE(received, open ? QByteArray("+k") : QByteArray());
        }
        if (!open && ends[1] >= 0) // someone else's descriptor: left open
            QVERIFY(::fcntl(ends[1], F_GETFD) >= 0);
        for (int fd : ends) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    // What the launcher names, the program it starts accepts.
    void theStartedProgramFindsItsReport()
    {
        char self[] = "self", mode[] = "--report-child";
        char *argv[] = {self, mode, nullptr};
        const DetachedStart started = DetachedStart::run(
            QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(), argv, 10000);
        QCOMPARE(started.exitStatus, 0);
        QCOMPARE(started.message, std::string("from the child"));
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

int main(int argc, char **argv)
{
    // Started by the launcher's side as its program proper: reports through what it was handed.
    if (argc == 2 && qstrcmp(argv[1], "--report-child") == 0) {
        StartReport report = StartReport::fromEnvironment();
        if (!report.isOpen())
            return 7;
        report.send("kfrom the child");
        return 0;
    }
    QCoreApplication app(argc, argv);
    DetachedStartTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_detachedstart.moc"
