#include "platform/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

class SingleInstanceTest : public QObject
{
    Q_OBJECT

    // Claims from another thread while this one runs the event loop of the primary instance.
    static SingleInstance::Role claimElsewhere(const QString &folder, const QStringList &arguments)
    {
        std::atomic<bool> done = false;
        SingleInstance::Role role = SingleInstance::Role::Failed;
        std::thread worker([&] {
            SingleInstance second(folder);
            role = second.claim(arguments, 2000);
            done = true;
        });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        worker.join();
        return role;
    }

private Q_SLOTS:
    void secondLaunchHandsOverItsArguments()
    {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QCOMPARE(first.claim({}), SingleInstance::Role::Primary);
        QSignalSpy received(&first, &SingleInstance::argumentsReceived);

        const QStringList urls = {QStringLiteral("grumblix://log?note=a%20b"),
                                  QStringLiteral("grumblix://report")};
        QCOMPARE(claimElsewhere(folder.path(), urls), SingleInstance::Role::Forwarded);
        QVERIFY(received.count() == 1 || received.wait(1000));
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toStringList(), urls);

        // No arguments is a hand-over too (the running program re-opens).
        QCOMPARE(claimElsewhere(folder.path(), {}), SingleInstance::Role::Forwarded);
        QVERIFY(received.count() == 2 || received.wait(1000));
        QCOMPARE(received.at(1).at(0).toStringList(), QStringList());
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

        SingleInstance first(folder.path());
        QCOMPARE(first.claim({}), SingleInstance::Role::Primary);
    }

    void garbageOnTheSocketIsIgnored()
    {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QCOMPARE(first.claim({}), SingleInstance::Role::Primary);
        QSignalSpy received(&first, &SingleInstance::argumentsReceived);
        QLocalSocket client;
        client.connectToServer(first.socketPath());
        QVERIFY(client.waitForConnected(1000));
        client.write(QByteArray("\x00\x00\x00\x04junk", 8));
        client.flush();
        QTest::qWait(200);
        QCOMPARE(received.count(), 0);
        // The server still serves proper launches afterwards.
        QCOMPARE(claimElsewhere(folder.path(), {QStringLiteral("x")}), SingleInstance::Role::Forwarded);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
