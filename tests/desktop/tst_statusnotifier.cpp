#include "shell/StatusItemController.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QDeadlineTimer>
#include <QDBusConnectionInterface>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using TestSupport::ShellFixture;

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString serveArgument = QStringLiteral("--serve-watcher");

// A StatusNotifierWatcher with a host registered, as a desktop panel (Xfce, KDE, GNOME with the
// AppIndicator extension) provides it. It runs in a process of its own: the toolkit asks it,
// blocking, whether a host exists before it decides how to show the tray icon.
class FakeWatcher : public QDBusVirtualObject
{
public:
    explicit FakeWatcher(QDBusConnection bus) : m_bus(bus) {}

    // The toolkit reads the watcher's properties through an introspected proxy.
    QString introspect(const QString &) const override
    {
        return QStringLiteral(
            "<interface name=\"org.kde.StatusNotifierWatcher\">"
            "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
            "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
            "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
            "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
            "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
            "<signal name=\"StatusNotifierItemRegistered\"><arg type=\"s\"/></signal>"
            "<signal name=\"StatusNotifierItemUnregistered\"><arg type=\"s\"/></signal>"
            "<signal name=\"StatusNotifierHostRegistered\"/>"
            "</interface>");
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        const QString member = message.member();
        if (member == QLatin1String("Introspect")) {
            m_bus.send(message.createReply(QStringLiteral("<node>%1</node>").arg(introspect(watcherPath))));
            return true;
        }
        if (member == QLatin1String("RegisterStatusNotifierItem")) {
            QString item = message.arguments().value(0).toString();
            if (item.startsWith(QLatin1Char('/')))
                item = message.service() + item;
            m_items << item;
            m_bus.send(message.createReply());
            QDBusMessage signal = QDBusMessage::createSignal(watcherPath, watcherService,
                                                             QStringLiteral("StatusNotifierItemRegistered"));
            signal << item;
            m_bus.send(signal);
            return true;
        }
        if (member == QLatin1String("RegisterStatusNotifierHost")) {
            m_bus.send(message.createReply());
            return true;
        }
        if (member == QLatin1String("Get") || member == QLatin1String("GetAll")) {
            const QString property = message.arguments().value(1).toString();
            QVariantMap all{{QStringLiteral("IsStatusNotifierHostRegistered"), true},
                            {QStringLiteral("ProtocolVersion"), 0},
                            {QStringLiteral("RegisteredStatusNotifierItems"), m_items}};
            if (member == QLatin1String("GetAll"))
                m_bus.send(message.createReply(all));
            else
                m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(all.value(property)))));
            return true;
        }
        return false;
    }

private:
    QDBusConnection m_bus;
    QStringList m_items;
};

int serveWatcher()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeWatcher watcher(bus);
    if (!bus.registerVirtualObject(watcherPath, &watcher) || !bus.registerService(watcherService))
        return 1;
    // Ends with the test that started it, or with the bus.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&bus] {
        if (!bus.isConnected() || ::getppid() == 1)
            QCoreApplication::quit();
    });
    poll.start(100);
    return QCoreApplication::exec();
}

// One D-Bus call from a connection of its own, answered while the event loop runs (the item
// lives in this process, so a blocking call could never be answered).
QDBusMessage callAsync(QDBusConnection &bus, const QDBusMessage &call)
{
    QDBusPendingCall pending = bus.asyncCall(call, 5000);
    QDeadlineTimer deadline(6000);
    while (!pending.isFinished() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pending.reply();
}

QStringList labelsOf(const QDBusArgument &layout)
{
    // (ia{sv}av): id, properties, children
    QStringList labels;
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    if (properties.contains(QStringLiteral("label")))
        labels << properties.value(QStringLiteral("label")).toString();
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        labels << labelsOf(child.variant().value<QDBusArgument>());
    }
    layout.endArray();
    layout.endStructure();
    return labels;
}

} // namespace

class StatusNotifierTest : public QObject
{
    Q_OBJECT

    QProcess m_watcher;
    std::unique_ptr<ShellFixture> f;
    QString m_itemService;
    QString m_itemPath;

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus");
        m_watcher.start(QCoreApplication::applicationFilePath(), {serveArgument});
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(watcherService), 10000);
        TestSupport::isolateFolders();
        f = std::make_unique<ShellFixture>();

        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("host"));
        QStringList items;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QDBusMessage reply = callAsync(
                    bus, QDBusMessage::createMethodCall(watcherService, watcherPath,
                                                        QStringLiteral("org.freedesktop.DBus.Properties"),
                                                        QStringLiteral("Get"))
                             << watcherService << QStringLiteral("RegisteredStatusNotifierItems"));
                items = reply.arguments().value(0).value<QDBusVariant>().variant().toStringList();
                return !items.isEmpty();
            }(),
            10000);
        const QString item = items.first();
        const int slash = item.indexOf(QLatin1Char('/'));
        m_itemService = slash < 0 ? item : item.left(slash);
        m_itemPath = slash < 0 ? QStringLiteral("/StatusNotifierItem") : item.mid(slash);
    }

    void cleanupTestCase()
    {
        f.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("host"));
        if (m_watcher.state() != QProcess::NotRunning) {
            m_watcher.terminate();
            if (!m_watcher.waitForFinished(3000))
                m_watcher.kill();
            m_watcher.waitForFinished(3000);
        }
    }

    void itemExportsTheMenu()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("host"));
        const QDBusMessage menuPath = callAsync(
            bus, QDBusMessage::createMethodCall(m_itemService, m_itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                QStringLiteral("Get"))
                     << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu"));
        const QString path =
            qvariant_cast<QDBusObjectPath>(menuPath.arguments().value(0).value<QDBusVariant>().variant()).path();
        QVERIFY2(!path.isEmpty() && path != QLatin1String("/NO_DBUSMENU"), qPrintable(path));

        const QDBusMessage layout = callAsync(
            bus, QDBusMessage::createMethodCall(m_itemService, path, QStringLiteral("com.canonical.dbusmenu"),
                                                QStringLiteral("GetLayout"))
                     << 0 << -1 << QStringList{});
        QCOMPARE(layout.type(), QDBusMessage::ReplyMessage);
        const QStringList labels = labelsOf(layout.arguments().value(1).value<QDBusArgument>());
        for (const QString &entry : {QStringLiteral("GRUMBLIX  (Alt+Shift+F)"), QStringLiteral("Open Dashboard"),
                                     QStringLiteral("Friday Report"), QStringLiteral("Settings…"),
                                     QStringLiteral("Check for Updates…"), QStringLiteral("Quit Grumblix")})
            QVERIFY2(labels.contains(entry), qPrintable(labels.join(QLatin1String(" | "))));
    }

    void contextMenuOpensAtTheHostsPoint()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("host"));
        const QPoint at(300, 200);
        callAsync(bus, QDBusMessage::createMethodCall(m_itemService, m_itemPath, QStringLiteral("org.kde.StatusNotifierItem"),
                                                      QStringLiteral("ContextMenu"))
                           << at.x() << at.y());
        QTRY_VERIFY(f->statusItem()->menu()->isVisible());
        QCOMPARE(f->statusItem()->menu()->geometry().topLeft(), at);
        f->statusItem()->menu()->close();
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == serveArgument) {
        QCoreApplication app(argc, argv);
        return serveWatcher();
    }
    QApplication app(argc, argv);
    StatusNotifierTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_statusnotifier.moc"
