#include "models/Prefs.h"
#include "platform/FreedesktopNotifier.h"
#include "services/NotificationService.h"
#include "support/FakeNotificationHost.h"
#include "support/FakeNotificationServer.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The real D-Bus adapter against our own notification daemon on the private session bus.
class TestFreedesktopNotifier : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void noticeArrivesWithTitleAndBody();
    void bodyIsPlainTextForMarkupDaemons_data();
    void bodyIsPlainTextForMarkupDaemons();
    void defaultActionRoutesTheClick_data();
    void defaultActionRoutesTheClick();
    void otherProgramsNoticesAreIgnored();
    void activationTokenIsHandedToTheWindow();
    void clickReportedAfterCloseStillRoutes();
    void withoutDaemonNothingIsShownAndNothingWaits();
    void hungDaemonNeverFreezesTheCaller();
    void serviceNoticesRouteThroughTheDaemon();
};

namespace {

// The answer of queryAuthorized, once it has come.
struct Answer
{
    bool arrived = false;
    bool authorized = false;
};

void ask(Notifier &notifier, std::shared_ptr<Answer> answer)
{
    notifier.queryAuthorized([answer](bool ok) {
        answer->arrived = true;
        answer->authorized = ok;
    });
}

// One more round trip to the daemon: its answers come back in order, so afterwards the notifier
// has taken in every earlier reply (the ids of the notices it posted).
bool settle(Notifier &notifier)
{
    auto answer = std::make_shared<Answer>();
    ask(notifier, answer);
    return QTest::qWaitFor([answer] { return answer->arrived; }, 5000);
}

} // namespace

void TestFreedesktopNotifier::initTestCase()
{
    TestSupport::isolateFolders();
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus (dbus-run-session)");
}

void TestFreedesktopNotifier::noticeArrivesWithTitleAndBody()
{
    FakeNotificationServer server;
    QVERIFY(server.start());
    FreedesktopNotifier notifier;

    auto answer = std::make_shared<Answer>();
    ask(notifier, answer);
    QVERIFY(!answer->arrived); // never answered inside the call
    QTRY_VERIFY(answer->arrived);
    QVERIFY(answer->authorized);

    notifier.post({QStringLiteral("Your weekly Grumblix report"), QStringLiteral("2 vorps were given."),
                   QStringLiteral("report")});
    notifier.post({QStringLiteral("Unusually calm day"), QStringLiteral("Zero today."), QString()});
    QCOMPARE(server.received().size(), 0); // posting does not wait for the daemon
    QTRY_COMPARE(server.received().size(), 2);

    const auto &first = server.received().at(0);
    QCOMPARE(first.summary, QStringLiteral("Your weekly Grumblix report"));
    QCOMPARE(first.body, QStringLiteral("2 vorps were given."));
    QCOMPARE(first.appName, QStringLiteral("Grumblix"));
    QCOMPARE(first.replacesId, 0u);
    QVERIFY(first.actions.contains(QStringLiteral("default")));
    QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("grumblix"));
    QVERIFY(first.hints.contains(QStringLiteral("sound-name"))); // the daemon can play sounds
    QVERIFY(server.received().at(1).id != first.id);
}

void TestFreedesktopNotifier::bodyIsPlainTextForMarkupDaemons_data()
{
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QString>("received");
    QTest::newRow("markup") << QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
                            << QStringLiteral("Build &lt;main&gt; &amp; tests broke");
    QTest::newRow("plain") << QStringList{QStringLiteral("body")}
                           << QStringLiteral("Build <main> & tests broke");
}

void TestFreedesktopNotifier::bodyIsPlainTextForMarkupDaemons()
{
    QFETCH(QStringList, capabilities);
    QFETCH(QString, received);
    FakeNotificationServer server;
    server.setCapabilities(capabilities);
    QVERIFY(server.start());
    FreedesktopNotifier notifier;
    auto answer = std::make_shared<Answer>();
    ask(notifier, answer);
    QTRY_VERIFY(answer->arrived);
    notifier.post({QStringLiteral("title"), QStringLiteral("Build <main> & tests broke"), QString()});
    QTRY_COMPARE(server.received().size(), 1);
    QCOMPARE(server.received().at(0).body, received);
    QVERIFY(!server.received().at(0).hints.contains(QStringLiteral("sound-name"))); // no sound capability
}

void TestFreedesktopNotifier::defaultActionRoutesTheClick_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("report notice") << QStringLiteral("report");
    QTest::newRow("no route") << QString();
}

void TestFreedesktopNotifier::defaultActionRoutesTheClick()
{
    QFETCH(QString, route);
    FakeNotificationServer server;
    QVERIFY(server.start());
    FreedesktopNotifier notifier;
    QSignalSpy clicks(&notifier, &Notifier::clicked);

    auto answer = std::make_shared<Answer>();
    ask(notifier, answer);
    QTRY_VERIFY(answer->arrived);
    notifier.post({QStringLiteral("title"), QStringLiteral("body"), route});
    QTRY_COMPARE(server.received().size(), 1);
    QVERIFY(settle(notifier));

    server.invokeAction(server.received().at(0).id, QStringLiteral("default"));
    QTRY_COMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).toString(), route);
    QCOMPARE(clicks.at(0).at(0).toString().isNull(), route.isNull());

    // A notice is clicked once; a repeated signal for it is not a second click.
    server.invokeAction(server.received().at(0).id, QStringLiteral("default"));
    QTest::qWait(100);
    QCOMPARE(clicks.size(), 1);
}

void TestFreedesktopNotifier::otherProgramsNoticesAreIgnored()
{
    FakeNotificationServer server;
    QVERIFY(server.start());
    FreedesktopNotifier notifier;
    QSignalSpy clicks(&notifier, &Notifier::clicked);
    server.invokeAction(4711, QStringLiteral("default"));
    QTest::qWait(100);
    QCOMPARE(clicks.size(), 0);
}

void TestFreedesktopNotifier::activationTokenIsHandedToTheWindow()
{
    FakeNotificationServer server;
    QVERIFY(server.start());
    FreedesktopNotifier notifier;
    QString tokenAtClick;
    connect(&notifier, &Notifier::clicked, this,
            [&tokenAtClick] { tokenAtClick = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); });
    notifier.post({QStringLiteral("title"), QStringLiteral("body"), QString()});
    QTRY_COMPARE(server.received().size(), 1);
    QVERIFY(settle(notifier));
    const uint id = server.received().at(0).id;

    // Tokens for other programs' notices are not taken.
    server.sendActivationToken(id + 100, QStringLiteral("not-ours"));
    server.sendActivationToken(id, QStringLiteral("focus-token-1"));
    server.invokeAction(id, QStringLiteral("default"));
    QTRY_COMPARE(tokenAtClick, QStringLiteral("focus-token-1"));
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

void TestFreedesktopNotifier::clickReportedAfterCloseStillRoutes()
{
    FakeNotificationServer server;
    QVERIFY(server.start());
    FreedesktopNotifier notifier;
    QSignalSpy clicks(&notifier, &Notifier::clicked);
    notifier.post({QStringLiteral("title"), QStringLiteral("body"), QStringLiteral("report")});
    QTRY_COMPARE(server.received().size(), 1);
    QVERIFY(settle(notifier));
    const uint id = server.received().at(0).id;

    // A daemon that reports the close just before the click still gets the click routed.
    server.close(id);
    server.invokeAction(id, QStringLiteral("default"));
    QTRY_COMPARE(clicks.size(), 1);
}

void TestFreedesktopNotifier::withoutDaemonNothingIsShownAndNothingWaits()
{
    FreedesktopNotifier notifier;
    QSignalSpy clicks(&notifier, &Notifier::clicked);
    auto answer = std::make_shared<Answer>();
    ask(notifier, answer);
    notifier.post({QStringLiteral("title"), QStringLiteral("body"), QString()});
    notifier.requestAuthorization();
    QVERIFY(!answer->arrived);
    QTRY_VERIFY(answer->arrived);
    QVERIFY(!answer->authorized);
    QCOMPARE(clicks.size(), 0);

    // No bus at all behaves the same way.
    FreedesktopNotifier offline(QDBusConnection(QStringLiteral("no-such-connection")));
    auto offlineAnswer = std::make_shared<Answer>();
    ask(offline, offlineAnswer);
    offline.post({QStringLiteral("title"), QStringLiteral("body"), QString()});
    QVERIFY(!offlineAnswer->arrived);
    QTRY_VERIFY(offlineAnswer->arrived);
    QVERIFY(!offlineAnswer->authorized);
}

void TestFreedesktopNotifier::hungDaemonNeverFreezesTheCaller()
{
    FakeNotificationServer server;
    server.setHung(true);
    QVERIFY(server.start());
    FreedesktopNotifier notifier;

    auto answer = std::make_shared<Answer>();
    ask(notifier, answer);
    notifier.post({QStringLiteral("title"), QStringLiteral("body"), QString()});

    // The event loop keeps turning while the daemon sits on both calls.
    int turns = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&turns] { ++turns; });
    ticker.start(10);
    QTRY_VERIFY(turns >= 10);
    QTRY_COMPARE(server.capabilityQueries(), 1);
    QVERIFY(!answer->arrived);

    // When the daemon goes away, the pending question is answered "not authorised".
    server.stop();
    QTRY_VERIFY(answer->arrived);
    QVERIFY(!answer->authorized);
}

void TestFreedesktopNotifier::serviceNoticesRouteThroughTheDaemon()
{
    FakeNotificationServer server;
    QVERIFY(server.start());
    QTemporaryDir dir;
    Prefs prefs(dir.filePath(QStringLiteral("Grumblix.conf")));
    FreedesktopNotifier notifier;
    NotificationService service(notifier, prefs);
    FakeNotificationHost host;
    service.setHost(&host);
    const QTimeZone zone(QByteArrayLiteral("Europe/Berlin"));
    service.setTimeZone(zone);
    service.setClock([&zone] { return QDateTime(QDate(2026, 12, 11), QTime(16, 0), zone); });

    // Friday 16:00: the weekly report notice, then a notice without a route.
    service.tick();
    QTRY_COMPARE(server.received().size(), 1);
    service.send(QStringLiteral("New personal record"),
                 QStringLiteral("Congratulations? You just broke your daily record: 6 today."));
    QTRY_COMPARE(server.received().size(), 2);
    QCOMPARE(server.received().at(0).summary, QStringLiteral("Your weekly Grumblix report"));
    QCOMPARE(server.received().at(0).body,
             QStringLiteral("0 vorps were given this week. Suspicious. Your report is ready anyway."));
    QCOMPARE(server.received().at(1).summary, QStringLiteral("New personal record"));
    QVERIFY(settle(notifier));

    server.invokeAction(server.received().at(1).id, QStringLiteral("default"));
    QTRY_COMPARE(host.openedPages, QStringList{QStringLiteral("overview")});
    server.invokeAction(server.received().at(0).id, QStringLiteral("default"));
    QTRY_COMPARE(host.openedPages, (QStringList{QStringLiteral("overview"), QStringLiteral("report")}));
}

QTEST_MAIN(TestFreedesktopNotifier)
#include "tst_freedesktopnotifier.moc"
