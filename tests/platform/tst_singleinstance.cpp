#include "platform/HandOverClient.h"
#include "platform/SingleInstance.h"
#include "support/FakeInstance.h"
#include "support/UnixSockets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Reply = HandOver::Reply;

} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT

    // Claims from another thread while this one runs the event loop of the primary instance.
    static SingleInstance::Role claimElsewhere(const QString &folder, const QStringList &arguments,
                                               Reply *reply = nullptr, int timeoutMs = 3000)
    {
        std::atomic<bool> done = false;
        SingleInstance::Role role = SingleInstance::Role::Failed;
        std::thread worker([&] {
            SingleInstance second(folder);
            role = second.claim(arguments, timeoutMs);
            if (reply)
                *reply = second.reply();
            done = true;
        });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        worker.join();
        return role;
    }

    // A listening primary instance in `folder`.
    static std::unique_ptr<SingleInstance> primary(const QTemporaryDir &folder)
    {
        auto instance = std::make_unique<SingleInstance>(folder.path());
        if (instance->claim({}) != SingleInstance::Role::Primary || !instance->listen())
            return nullptr;
        return instance;
    }

    static void serveEverything(SingleInstance &instance, QStringList *received = nullptr)
    {
        instance.setHandler([received](const QStringList &arguments) {
            if (received)
                *received << arguments.join(QLatin1Char('|'));
            return Reply{};
        });
    }

private Q_SLOTS:
    void secondLaunchHandsOverItsArguments()
    {
        QTemporaryDir folder;
        const auto instance = primary(folder);
        QVERIFY(instance);
        SingleInstance &first = *instance;
        QStringList received;
        serveEverything(first, &received);

        const QStringList urls = {QStringLiteral("grumblix://log?note=a%20b"),
                                  QStringLiteral("grumblix://report")};
        // The launcher's success means the handler has already run.
        QCOMPARE(claimElsewhere(folder.path(), urls), SingleInstance::Role::Forwarded);
        QCOMPARE(received, QStringList{urls.join(QLatin1Char('|'))});

        // No arguments is a hand-over too (the running program re-opens).
        QCOMPARE(claimElsewhere(folder.path(), {}), SingleInstance::Role::Forwarded);
        QCOMPARE(received.size(), 2);
        QCOMPARE(received.at(1), QString());
    }

    void declinedLaunchCarriesTheMessage_data()
    {
        QTest::addColumn<bool>("withHandler");
        QTest::addColumn<QString>("message");
        QTest::newRow("not ready yet") << false << "cannot take this yet";
        QTest::newRow("save failed") << true << "disk is full";
    }
    void declinedLaunchCarriesTheMessage()
    {
        QFETCH(bool, withHandler);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const auto instance = primary(folder);
        QVERIFY(instance);
        SingleInstance &first = *instance;
        QSignalSpy handed(&first, &SingleInstance::handedOver);
        if (withHandler)
            first.setHandler([](const QStringList &) {
                return Reply{Reply::Status::kept, "the disk is full"};
            });

        Reply reply;
        QCOMPARE(claimElsewhere(folder.path(), {QStringLiteral("grumblix://log")}, &reply),
                 SingleInstance::Role::Declined);
        QVERIFY2(reply.message.contains(message), qPrintable(reply.message));
        QCOMPARE(handed.count(), withHandler ? 1 : 0);
    }

    void leftoversOfACrashedInstanceAreTakenOver()
    {
        QTemporaryDir folder;
        SingleInstance probe(folder.path());
        // A lock naming a process that no longer exists and a dead socket file.
        QFile lock(probe.lockPath());
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999\ngrumblix\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        QFile socket(probe.socketPath());
        QVERIFY(socket.open(QIODevice::WriteOnly));
        socket.close();

        const auto instance = primary(folder);
        QVERIFY(instance);
    }

    void garbageOnTheSocketIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("short payload") << QByteArray("\x00\x00\x00\x04junk", 8);
        QTest::newRow("huge length") << QByteArray("\x7f\xff\xff\xff", 4);
        QTest::newRow("wrong magic") << QByteArray("\x00\x00\x00\x08GRM2\x00\x00\x00\x00", 12);
    }
    void garbageOnTheSocketIsIgnored()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const auto instance = primary(folder);
        QVERIFY(instance);
        SingleInstance &first = *instance;
        QStringList received;
        serveEverything(first, &received);
        const int client = UnixSockets::connectTo(first.socketPath());
        QVERIFY(client >= 0);
        QCOMPARE(::write(client, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        // The server hangs up on bytes that can never become a launch (after a refusal for a frame
        // over the size limit).
        char reply[1024];
        QTRY_COMPARE((QCoreApplication::processEvents(), ::recv(client, reply, sizeof reply, MSG_DONTWAIT)),
                     ssize_t(0));
        ::close(client);
        QVERIFY(received.isEmpty());
        // The server still serves proper launches afterwards.
        QCOMPARE(claimElsewhere(folder.path(), {QStringLiteral("x")}), SingleInstance::Role::Forwarded);
        QCOMPARE(received, QStringList{QStringLiteral("x")});
    }

    void runningOutOfDescriptorsKeepsTheSocket()
    {
        QTemporaryDir folder;
        const auto instance = primary(folder);
        QVERIFY(instance);
        SingleInstance &first = *instance;
        QStringList received;
        serveEverything(first, &received);

        rlimit saved = {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        rlimit low = saved;
        low.rlim_cur = 256;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        std::vector<int> hoard;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            hoard.push_back(fd);
        QCOMPARE(errno, EMFILE);
        // One free descriptor for the launcher's socket; none for the server to accept it with.
        ::close(hoard.back());
        hoard.pop_back();
        const int client = UnixSockets::connectTo(first.socketPath());
        QVERIFY(client >= 0);
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QVERIFY(QFileInfo::exists(first.socketPath()));

        for (int fd : hoard)
            ::close(fd);
        ::close(client);
        ::setrlimit(RLIMIT_NOFILE, &saved);
        QCOMPARE(claimElsewhere(folder.path(), {QStringLiteral("after")}), SingleInstance::Role::Forwarded);
        QCOMPARE(received, QStringList{QStringLiteral("after")});
    }

    void silentClientsAreLimitedAndDropped()
    {
        QTemporaryDir folder;
        const auto instance = primary(folder);
        QVERIFY(instance);
        SingleInstance &first = *instance;
        first.setIdleTimeout(150);
        serveEverything(first);
        std::vector<int> silent;
        for (int i = 0; i < 3 * SingleInstance::maxClients; ++i)
            silent.push_back(UnixSockets::connectTo(first.socketPath()));
        QTRY_COMPARE(first.clientCount(), SingleInstance::maxClients);
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QVERIFY(first.clientCount() <= SingleInstance::maxClients);
        }
        // A real launch behind them still gets through, once the silent ones are dropped.
        QCOMPARE(claimElsewhere(folder.path(), {QStringLiteral("x")}), SingleInstance::Role::Forwarded);
        QTRY_COMPARE(first.clientCount(), 0);
        for (int fd : silent)
            ::close(fd);
    }

    // Qt's X11 plugin ends the program by exit() when the display goes away; no destructor runs.
    void anInstanceThatEndsByExitLeavesNothingBehind()
    {
        QTemporaryDir folder;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--exit-child"), folder.path()});
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 3); // it got as far as listening
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::System), QStringList{});
    }

    void aRemovedSocketIsMadeAgain()
    {
        QTemporaryDir folder;
        const auto instance = primary(folder);
        QVERIFY(instance);
        SingleInstance &first = *instance;
        serveEverything(first);
        QVERIFY(QFile::remove(first.socketPath()));
        QTRY_VERIFY(QFileInfo::exists(first.socketPath()));
        QCOMPARE(claimElsewhere(folder.path(), {}), SingleInstance::Role::Forwarded);
    }

    // Whatever the other side does, a launch ends in time and says whether its arguments may have
    // arrived: after a lock without a socket they cannot have, after a request sent they may.
    void anInstanceThatDoesNotAnswerIsToldInTime_data()
    {
        QTest::addColumn<int>("peer"); // a FakeInstance::Behaviour; -1: nobody listens; -2: nobody accepts
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QString>("words");
        QTest::newRow("holds the lock but does not listen yet")
            << -1 << int(SingleInstance::Role::Failed) << 1 << "already starting";
        // Its connections queue, the request in their buffers: it may still read it.
        QTest::newRow("listens but never accepts")
            << -2 << int(SingleInstance::Role::Unanswered) << 3 << "stopped answering";
        QTest::newRow("keeps the request and never answers")
            << int(FakeInstance::Behaviour::neverAnswer) << int(SingleInstance::Role::Unanswered) << 3
            << "stopped answering";
        QTest::newRow("dies once it has the request")
            << int(FakeInstance::Behaviour::hangUpAfterRequest) << int(SingleInstance::Role::Unanswered) << 3
            << "may already be done";
    }
    void anInstanceThatDoesNotAnswerIsToldInTime()
    {
        QFETCH(int, peer);
        QFETCH(int, role);
        QFETCH(int, exitStatus);
        QFETCH(QString, words);
        QTemporaryDir folder;
        SingleInstance probe(folder.path());
        QLockFile lock(probe.lockPath());
        QVERIFY(lock.tryLock(0));
        std::unique_ptr<FakeInstance> instance;
        const int queue = peer == -2 ? UnixSockets::listenAt(probe.socketPath()) : -1;
        QCOMPARE(queue >= 0, peer == -2);
        const auto closeQueue = qScopeGuard([queue] {
            if (queue >= 0)
                ::close(queue);
        });
        if (peer >= 0) {
            instance = std::make_unique<FakeInstance>(probe.socketPath(), FakeInstance::Behaviour(peer));
            QVERIFY(instance->isListening());
        }

        QElapsedTimer clock;
        clock.start();
        SingleInstance second(folder.path());
        QCOMPARE(int(second.claim({QStringLiteral("grumblix://log")}, 400)), role);
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(second.reply().exitStatus(), exitStatus);
        QVERIFY2(second.reply().message.contains(words), qPrintable(second.reply().message));
        if (instance)
            QCOMPARE(instance->requests(), 1); // sent once, never again
    }
};

int main(int argc, char **argv)
{
    // The primary instance of a folder, ended by exit() once it listens.
    if (argc == 3 && qstrcmp(argv[1], "--exit-child") == 0) {
        QCoreApplication app(argc, argv);
        // Never destroyed, as exit() leaves it.
        auto *instance = new SingleInstance(QString::fromLocal8Bit(argv[2]));
        if (instance->claim({}) != SingleInstance::Role::Primary || !instance->listen())
            return 2;
        std::exit(3);
    }
    QCoreApplication app(argc, argv);
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_singleinstance.moc"
