#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QStringList>

// Notices through org.freedesktop.Notifications. Only asynchronous calls are made, so a missing or
// hung notification daemon can never freeze the program: the service counts as "authorised" when it
// answers GetCapabilities, and the "default" action of a notice is its click.
class FreedesktopNotifier : public Notifier
{
    Q_OBJECT
public:
    explicit FreedesktopNotifier(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                 QObject *parent = nullptr);

    void queryAuthorized(std::function<void(bool authorized)> done) override;
    void post(const Notice &notice) override;
    void requestAuthorization() override;

    // How long a call may stay unanswered before it counts as failed.
    static constexpr int callTimeoutMs = 10000;

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onActivationToken(uint id, const QString &token);
    void onNotificationClosed(uint id, uint reason);

private:
    void remember(uint id, const QString &route);

    QDBusConnection m_bus;
    QStringList m_capabilities;
    // Routes of the notices still on screen, by the id the daemon gave them; oldest first.
    QHash<uint, QString> m_routes;
    QList<uint> m_order;
    // Tokens that let the window opened by a click take focus under Wayland, by notice id.
    QHash<uint, QString> m_tokens;
};
