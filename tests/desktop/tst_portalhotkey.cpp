#include "platform/PortalHotKey.h"
#include "services/HotKeyService.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString serveArgument = QStringLiteral("--serve-fake-portal");

struct Bound
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const Bound &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Bound &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(Bound)

namespace {

// A GlobalShortcuts portal of our own. It answers requests the way xdg-desktop-portal does (a
// request object, then its Response signal) and binds in one of the ways real backends do.
class FakePortal : public QDBusVirtualObject
{
public:
    enum class Binds
    {
        inBindShortcuts, // the final interface: BindShortcuts binds and lists what it bound
        fromSessionOnly, // the first form: only CreateSession's "shortcuts" bind; BindShortcuts lists nothing
        nothing,         // answers success and binds nothing
        refuses,         // answers BindShortcuts with "cancelled"
        // Plasma 5.27: CreateSession binds and lists, keeping a key it already holds for the
        // shortcut; BindShortcuts binds nothing and opens the desktop's shortcut settings instead.
        atSessionKeepingKeys,
        atSession, // CreateSession binds what it is asked for and lists it
    };

    FakePortal(QDBusConnection bus, Binds binds) : m_bus(bus), m_binds(binds)
    {
        qDBusRegisterMetaType<Bound>();
        qDBusRegisterMetaType<QList<Bound>>();
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        if (message.interface() != QLatin1String("org.freedesktop.portal.GlobalShortcuts"))
            return false;
        const QString member = message.member();
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') +
                                options.value(QStringLiteral("handle_token")).toString();
        QVariantMap results;
        uint response = 0;
        if (member == QLatin1String("CreateSession")) {
            sessionToken = options.value(QStringLiteral("session_handle_token")).toString();
            session = portalPath + QStringLiteral("/session/") + sender + QLatin1Char('/') + sessionToken;
            results.insert(QStringLiteral("session_handle"), session);
            ++sessions;
            const QList<Bound> asked = qdbus_cast<QList<Bound>>(options.value(QStringLiteral("shortcuts")));
            if (m_binds == Binds::atSessionKeepingKeys) {
                for (const Bound &shortcut : asked) {
                    if (!held(shortcut.id))
                        take({shortcut});
                }
                results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
            } else {
                bound.clear();
                if (m_binds == Binds::fromSessionOnly || m_binds == Binds::atSession)
                    take(asked);
                if (m_binds == Binds::atSession)
                    results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
            }
        } else if (member == QLatin1String("BindShortcuts")) {
            const QList<Bound> asked = qdbus_cast<QList<Bound>>(message.arguments().at(1));
            if (m_binds == Binds::inBindShortcuts)
                take(asked);
            if (m_binds == Binds::refuses)
                response = 1;
            else
                results.insert(
                    QStringLiteral("shortcuts"),
                    QVariant::fromValue(m_binds == Binds::inBindShortcuts ? bound : QList<Bound>{}));
        } else if (member == QLatin1String("ListShortcuts")) {
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
        } else {
            return false;
        }
        calls << member;
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QTimer::singleShot(10, [this, request, response, results] {
            QDBusMessage signal = QDBusMessage::createSignal(
                request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            signal << response << results;
            m_bus.send(signal);
        });
        return true;
    }

    void press(const QString &id)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(portalPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                       QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1) << QVariantMap();
        m_bus.send(signal);
    }

    QString session;
    QString sessionToken;
    QList<Bound> bound;
    QStringList calls;
    int sessions = 0;
    // Triggers another program holds: the desktop binds our shortcut to no key at all for them.
    QStringList taken;

private:
    bool held(const QString &id) const
    {
        return std::any_of(bound.cbegin(), bound.cend(), [&id](const Bound &b) { return b.id == id; });
    }

    // The desktop shows the key it assigned in its own words, and nothing for a key it could not give.
    void take(const QList<Bound> &asked)
    {
        for (const Bound &shortcut : asked) {
            QVariantMap properties = shortcut.properties;
            const QString trigger = properties.value(QStringLiteral("preferred_trigger")).toString();
            properties.insert(QStringLiteral("trigger_description"),
                              taken.contains(trigger)
                                  ? QString()
                                  : QString(trigger).replace(QStringLiteral("LOGO"), QStringLiteral("Meta")));
            bound << Bound{shortcut.id, properties};
        }
    }

    QDBusConnection m_bus;
    Binds m_binds;
};

// Serves a fake portal on the bus that activated this process, until it is ended.
int servePortal()
{
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::ActivationBus, QStringLiteral("starter"));
    if (!bus.isConnected())
        return 1;
    FakePortal portal(bus, FakePortal::Binds::inBindShortcuts);
    if (!bus.registerVirtualObject(portalPath, &portal) || !bus.registerService(portalService))
        return 1;
    // Ends with the bus that started it, so no test leaves it behind.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&bus] {
        if (!bus.isConnected())
            QCoreApplication::quit();
    });
    watch.start(100);
    QTimer::singleShot(60000, qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

} // namespace

class PortalHotKeyTest : public QObject
{
    Q_OBJECT

    struct Registration
    {
        QDBusConnection portalBus;
        std::unique_ptr<FakePortal> portal;
        ~Registration()
        {
            portalBus.unregisterService(portalService);
            portalBus.unregisterObject(portalPath);
            QDBusConnection::disconnectFromBus(portalBus.name());
        }
    };

    static std::unique_ptr<Registration> installPortal(FakePortal::Binds binds)
    {
        static int count = 0;
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                            QStringLiteral("portal%1").arg(++count));
        auto registration =
            std::unique_ptr<Registration>(new Registration{bus, std::make_unique<FakePortal>(bus, binds)});
        if (!bus.registerVirtualObject(portalPath, registration->portal.get()) ||
            !bus.registerService(portalService))
            return nullptr;
        return registration;
    }

private Q_SLOTS:
    void triggerText_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<uint>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("default") << int(Qt::Key_F) << uint(0x0A00) << "ALT+SHIFT+f";
        QTest::newRow("all four") << int(Qt::Key_F5) << uint(0x1B00) << "CTRL+ALT+SHIFT+LOGO+F5";
        QTest::newRow("space") << int(Qt::Key_Space) << uint(0x1000) << "CTRL+space";
        QTest::newRow("no keysym") << int(Qt::Key_unknown) << uint(0x1000) << "";
    }

    void triggerText()
    {
        QFETCH(int, key);
        QFETCH(uint, modifiers);
        QFETCH(QString, text);
        QCOMPARE(PortalHotKey::triggerText(quint32(key), modifiers), text);
    }

    // The bus of the tests has no service folders: no portal can be started, the call fails and
    // the registration is lost rather than believed.
    void withoutAPortalTheRegistrationIsLost()
    {
        HotKeyService service(std::make_unique<PortalHotKey>());
        QSignalSpy lost(&service, &HotKeyService::registrationLost);
        QVERIFY(service.registerKey(Qt::Key_F, 0x0A00));
        QVERIFY(lost.wait(5000));
        QVERIFY(!service.isRegistered());
    }

    void bindsAsTheDesktopDoes_data()
    {
        QTest::addColumn<int>("binds");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<QStringList>("calls");
        const QStringList none;
        const QStringList ours{"CTRL+ALT+LOGO+f"};
        QTest::newRow("final interface") << int(FakePortal::Binds::inBindShortcuts) << none << true
                                         << QStringList{"CreateSession", "BindShortcuts"};
        QTest::newRow("first form: bound from the session's options")
            << int(FakePortal::Binds::fromSessionOnly) << none << true
            << QStringList{"CreateSession", "BindShortcuts", "ListShortcuts"};
        // Asking again would open the desktop's shortcut settings at every start.
        QTest::newRow("listed by the session: not asked again")
            << int(FakePortal::Binds::atSessionKeepingKeys) << none << true << QStringList{"CreateSession"};
        QTest::newRow("binds nothing") << int(FakePortal::Binds::nothing) << none << false
                                       << QStringList{"CreateSession", "BindShortcuts", "ListShortcuts"};
        QTest::newRow("refuses") << int(FakePortal::Binds::refuses) << none << false
                                 << QStringList{"CreateSession", "BindShortcuts"};
        // Listed without a key: the desktop is asked, as for a shortcut it does not hold.
        QTest::newRow("listed by the session without a key: the key is taken")
            << int(FakePortal::Binds::atSessionKeepingKeys) << ours << false
            << QStringList{"CreateSession", "BindShortcuts", "ListShortcuts"};
        QTest::newRow("final interface: the key is taken")
            << int(FakePortal::Binds::inBindShortcuts) << ours << false
            << QStringList{"CreateSession", "BindShortcuts", "ListShortcuts"};
    }

    void bindsAsTheDesktopDoes()
    {
        QFETCH(int, binds);
        QFETCH(QStringList, taken);
        QFETCH(bool, registered);
        QFETCH(QStringList, calls);
        const auto registration = installPortal(FakePortal::Binds(binds));
        QVERIFY(registration);
        FakePortal &portal = *registration->portal;
        portal.taken = taken;

        HotKeyService service(std::make_unique<PortalHotKey>());
        int presses = 0;
        service.setHandler([&presses] { ++presses; });
        QSignalSpy confirmed(&service, &HotKeyService::registrationConfirmed);
        QSignalSpy lost(&service, &HotKeyService::registrationLost);
        QVERIFY(service.registerKey(Qt::Key_F, 0x1900)); // Ctrl+Alt+Super+F
        QTRY_COMPARE(confirmed.count() + lost.count(), 1);
        QCOMPARE(service.isRegistered(), registered);
        QCOMPARE(portal.calls, calls);
        QCOMPARE(portal.sessionToken, PortalHotKey::sessionToken());

        portal.press(PortalHotKey::shortcutId());
        if (registered) {
            QCOMPARE(confirmed.first().first().toString(), QStringLiteral("CTRL+ALT+Meta+f"));
            QTRY_COMPARE(presses, 1);
        }
        // Another program's shortcut on the same portal is not ours.
        portal.press(QStringLiteral("someone-else"));
        QCoreApplication::processEvents();
        QTRY_COMPARE(presses, registered ? 1 : 0);
    }

    // The settings recorder releases the shortcut, then registers the combination it recorded.
    void recordedCombination_data()
    {
        QTest::addColumn<int>("binds");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("boundAfterwards");
        QTest::addColumn<QStringList>("callsPerRegistration");
        QTest::newRow("the desktop keeps the key it holds")
            << int(FakePortal::Binds::atSessionKeepingKeys) << true << "ALT+SHIFT+f"
            << QStringList{"CreateSession"};
        QTest::newRow("the desktop takes it from the session")
            << int(FakePortal::Binds::atSession) << false << "CTRL+ALT+k" << QStringList{"CreateSession"};
        QTest::newRow("the desktop takes it in BindShortcuts")
            << int(FakePortal::Binds::inBindShortcuts) << false << "CTRL+ALT+k"
            << QStringList{"CreateSession", "BindShortcuts"};
    }

    void recordedCombination()
    {
        QFETCH(int, binds);
        QFETCH(bool, kept);
        QFETCH(QString, boundAfterwards);
        QFETCH(QStringList, callsPerRegistration);
        const auto registration = installPortal(FakePortal::Binds(binds));
        QVERIFY(registration);
        FakePortal &portal = *registration->portal;
        HotKeyService service(std::make_unique<PortalHotKey>());
        int presses = 0;
        service.setHandler([&presses] { ++presses; });
        QSignalSpy confirmed(&service, &HotKeyService::registrationConfirmed);
        QSignalSpy keptSpy(&service, &HotKeyService::registrationKept);
        QSignalSpy lost(&service, &HotKeyService::registrationLost);
        QVERIFY(service.registerKey(Qt::Key_F, 0x0A00));
        QTRY_COMPARE(confirmed.count(), 1);
        QCOMPARE(confirmed.last().first().toString(), QStringLiteral("ALT+SHIFT+f"));

        // Two recordings in a row: neither makes the desktop ask the user.
        QStringList calls = callsPerRegistration;
        int answers = 1;
        for (const int key : {int(Qt::Key_J), int(Qt::Key_K)}) {
            service.suspend();
            QVERIFY(service.registerKey(quint32(key), 0x1800)); // Ctrl+Alt
            calls << callsPerRegistration;
            ++answers;
            QTRY_COMPARE(confirmed.count() + keptSpy.count(), answers);
            QCOMPARE(portal.calls, calls);
        }
        QCOMPARE(lost.count(), 0);
        QVERIFY(service.isRegistered());
        if (kept) {
            QCOMPARE(confirmed.count(), 1);
            QCOMPARE(keptSpy.last().first().toString(), boundAfterwards);
            QCOMPARE(service.keptByDesktop(), boundAfterwards);
        } else {
            QCOMPARE(keptSpy.count(), 0);
            QCOMPARE(confirmed.last().first().toString(), boundAfterwards);
            QVERIFY(service.keptByDesktop().isEmpty());
        }
        // Whatever key the desktop binds, its presses log.
        portal.press(PortalHotKey::shortcutId());
        QTRY_COMPARE(presses, 1);

        // Back to the combination the desktop holds: bound as asked.
        service.suspend();
        QVERIFY(service.registerKey(Qt::Key_F, 0x0A00));
        QTRY_COMPARE(confirmed.count() + keptSpy.count(), 4);
        QCOMPARE(confirmed.count(), kept ? 2 : 4);
        QVERIFY(service.keptByDesktop().isEmpty());
        QVERIFY(service.isRegistered());
    }

    void newCombinationReplacesTheSession()
    {
        const auto registration = installPortal(FakePortal::Binds::inBindShortcuts);
        QVERIFY(registration);
        FakePortal &portal = *registration->portal;
        HotKeyService service(std::make_unique<PortalHotKey>());
        int presses = 0;
        service.setHandler([&presses] { ++presses; });
        QSignalSpy confirmed(&service, &HotKeyService::registrationConfirmed);
        QVERIFY(service.registerKey(Qt::Key_F, 0x0A00));
        QTRY_COMPARE(confirmed.count(), 1);
        QVERIFY(service.registerKey(Qt::Key_K, 0x1800));
        QTRY_COMPARE(confirmed.count(), 2);
        QCOMPARE(portal.sessions, 2);
        QCOMPARE(confirmed.last().first().toString(), QStringLiteral("CTRL+ALT+k"));

        // After unregistering, the portal's presses do nothing.
        service.unregister();
        portal.press(PortalHotKey::shortcutId());
        QTest::qWait(100);
        QCoreApplication::processEvents();
        QCOMPARE(presses, 0);
    }

    // At login the portal is usually not running yet: the first call starts it.
    void activatablePortalIsStartedByTheCall()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir().mkpath(folder.filePath(QStringLiteral("services"))));
        QFile service(folder.filePath(QStringLiteral("services/org.freedesktop.portal.Desktop.service")));
        QVERIFY(service.open(QIODevice::WriteOnly));
        service.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 %3\n")
                          .arg(portalService, QCoreApplication::applicationFilePath(), serveArgument)
                          .toUtf8());
        service.close();
        QFile config(folder.filePath(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(
            QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=%1</listen>"
                           "<auth>EXTERNAL</auth><servicedir>%2</servicedir>"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                           "</policy></busconfig>")
                .arg(folder.path(), folder.filePath(QStringLiteral("services")))
                .toUtf8());
        config.close();

        QProcess daemon;
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        QVERIFY(daemon.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
        const auto stop = qScopeGuard([&daemon] {
            daemon.terminate();
            daemon.waitForFinished(5000);
        });
        {
            QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("activating"));
            QVERIFY(bus.isConnected());
            HotKeyService hotKeys(std::make_unique<PortalHotKey>(bus));
            QSignalSpy confirmed(&hotKeys, &HotKeyService::registrationConfirmed);
            QVERIFY(hotKeys.registerKey(Qt::Key_F, 0x0A00));
            QVERIFY(confirmed.wait(10000));
            QVERIFY(hotKeys.isRegistered());
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("activating"));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == serveArgument) {
        QCoreApplication app(argc, argv);
        return servePortal();
    }
    QGuiApplication app(argc, argv);
    PortalHotKeyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portalhotkey.moc"
