#include "platform/SessionBus.h"
#include "support/UnixSockets.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

// A session bus as a hostile or broken desktop offers it.
class SessionBusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void busThatAnswersIsTold_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("answers");
        QTest::newRow("answers the handshake") << "ok" << true;
        QTest::newRow("accepts, never answers") << "silent" << false;
        QTest::newRow("accepts, hangs up") << "hangup" << false;
        QTest::newRow("nothing there") << "none" << false;
    }
    void busThatAnswersIsTold()
    {
        QFETCH(QString, server);
        QFETCH(bool, answers);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bus"));
        const int fd = server == QLatin1String("none") ? -1 : UnixSockets::listenAt(path);
        std::thread peer([&] {
            if (fd < 0 || server == QLatin1String("silent"))
                return;
            const int client = ::accept(fd, nullptr, nullptr);
            char buffer[256];
            if (server == QLatin1String("ok") && ::recv(client, buffer, sizeof buffer, 0) > 0)
                ::send(client, "OK 0123456789abcdef\r\n", 21, MSG_NOSIGNAL);
            ::close(client);
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SessionBus::answers(QStringLiteral("unix:path=") + path, 300), answers);
        QVERIFY(clock.elapsed() < 2000);
        peer.join();
        if (fd >= 0)
            ::close(fd);
    }

    void otherTransportsAndAlternatives()
    {
        QVERIFY(SessionBus::answers(QStringLiteral("tcp:host=localhost,port=1"), 100));
        QVERIFY(!SessionBus::answers(QStringLiteral("unix:path=/dev/null/x;unix:abstract=grumblix-none-%00"),
                                     100));
        QVERIFY(!SessionBus::answers(QStringLiteral("garbage"), 100));
    }

    void withoutAnAddressNoBusIsLaunched()
    {
        QTemporaryDir runtime;
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QVERIFY(!SessionBus::settle(200));
        // libdbus would otherwise fall back to launching a bus of its own.
        QVERIFY(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
        QVERIFY(!SessionBus::answers(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), 200));
    }

    void aBusThatNeverAnswersDoesNotFreezeItsUsers()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bus"));
        const int fd = UnixSockets::listenAt(path);
        QVERIFY(fd >= 0);
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(path));
        qputenv("DISPLAY", ":0");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!SessionBus::settle(300));
        // The first D-Bus user of the process now fails at once instead of waiting forever.
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        ::close(fd);
    }
};

QTEST_GUILESS_MAIN(SessionBusTest)
#include "tst_sessionbus.moc"
