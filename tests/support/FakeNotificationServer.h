#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A small org.freedesktop.Notifications daemon for tests. It claims the name on its own connection
// to the session bus (a private one under dbus-run-session), so the program under test talks to it
// over the bus exactly as it would to a real daemon.
class FakeNotificationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Received
    {
        uint id = 0;
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    explicit FakeNotificationServer(QObject *parent = nullptr);
    ~FakeNotificationServer() override;

    // Claims the service name; false when the bus is missing or the name is taken.
    bool start();
    void stop();

    // While hung, calls are taken but never answered, like a daemon that froze.
    void setHung(bool hung) { m_hung = hung; }
    void setCapabilities(const QStringList &capabilities) { m_capabilities = capabilities; }

    const QList<Received> &received() const { return m_received; }
    int capabilityQueries() const { return m_capabilityQueries; }

    // What a daemon does when the user clicks a notice or it goes away.
    void invokeAction(uint id, const QString &actionKey);
    // What a daemon that hands out focus tokens sends just before ActionInvoked.
    void sendActivationToken(uint id, const QString &token);
    void close(uint id, uint reason = 2);

    Q_SCRIPTABLE QStringList GetCapabilities();
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                             const QString &summary, const QString &body, const QStringList &actions,
                             const QVariantMap &hints, int expireTimeout);
    Q_SCRIPTABLE void CloseNotification(uint id);
    Q_SCRIPTABLE QString GetServerInformation(QString &vendor, QString &version, QString &specVersion);

Q_SIGNALS:
    Q_SCRIPTABLE void NotificationClosed(uint id, uint reason);
    Q_SCRIPTABLE void ActionInvoked(uint id, const QString &actionKey);
    Q_SCRIPTABLE void ActivationToken(uint id, const QString &activationToken);

private:
    QString m_connectionName;
    QDBusConnection m_bus{QString()};
    bool m_hung = false;
    QStringList m_capabilities{QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("sound")};
    QList<Received> m_received;
    QList<QDBusMessage> m_unanswered;
    int m_capabilityQueries = 0;
    uint m_nextId = 1;
};
