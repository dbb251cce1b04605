#include "FakeNotificationServer.h"

#include <QDBusConnectionInterface>

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FakeNotificationServer::FakeNotificationServer(QObject *parent) : QObject(parent)
{
    static int serial = 0;
    m_connectionName = QStringLiteral("fake-notification-server-%1").arg(++serial);
}

FakeNotificationServer::~FakeNotificationServer()
{
    stop();
}

bool FakeNotificationServer::start()
{
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!m_bus.isConnected())
        return false;
    if (!m_bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableContents))
        return false;
    return m_bus.registerService(serviceName);
}

void FakeNotificationServer::stop()
{
    if (!m_bus.isConnected())
        return;
    m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(objectPath);
    QDBusConnection::disconnectFromBus(m_connectionName);
    m_bus = QDBusConnection(QString());
}

void FakeNotificationServer::invokeAction(uint id, const QString &actionKey)
{
    Q_EMIT ActionInvoked(id, actionKey);
}

void FakeNotificationServer::sendActivationToken(uint id, const QString &token)
{
    Q_EMIT ActivationToken(id, token);
}

void FakeNotificationServer::close(uint id, uint reason)
{
    Q_EMIT NotificationClosed(id, reason);
}

QStringList FakeNotificationServer::GetCapabilities()
{
    ++m_capabilityQueries;
    if (m_hung) {
        setDelayedReply(true);
        m_unanswered.append(message());
        return {};
    }
    return m_capabilities;
}

uint FakeNotificationServer::Notify(const QString &appName, uint replacesId, const QString &appIcon,
                                    const QString &summary, const QString &body, const QStringList &actions,
                                    const QVariantMap &hints, int expireTimeout)
{
    if (m_hung) {
        setDelayedReply(true);
        m_unanswered.append(message());
        return 0;
    }
    const uint id = replacesId != 0 ? replacesId : m_nextId++;
    m_received.append({id, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return id;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    Q_EMIT NotificationClosed(id, 3);
}

QString FakeNotificationServer::GetServerInformation(QString &vendor, QString &version, QString &specVersion)
{
    vendor = QStringLiteral("Grumblix tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake-notification-server");
}
