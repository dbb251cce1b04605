#pragma once

#include "HotKeyBackend.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

// The global shortcut on Wayland: one shortcut bound through the xdg-desktop-portal GlobalShortcuts
// interface. Every call is asynchronous; the desktop may show its own confirmation, so grab()
// answers whether the request could be made, and `lost()` follows if the desktop refuses it.
class PortalHotKey : public HotKeyBackend
{
    Q_OBJECT
public:
    explicit PortalHotKey(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                          QObject *parent = nullptr);
    ~PortalHotKey() override;

    bool grab(quint32 keyCode, quint32 modifiers) override;
    void ungrab() override;

    // Whether the bus has a portal at all (one quick call to the bus daemon).
    bool isAvailable() const;

    // The trigger in the shortcuts specification's form ("ALT+SHIFT+f"); empty for a key that has
    // no keysym.
    static QString triggerText(quint32 keyCode, quint32 modifiers);

    static QString shortcutId() { return QStringLiteral("panic"); }

private Q_SLOTS:
    void onActivated(const QDBusMessage &message);
    void onSessionResponse(uint response, const QVariantMap &results);
    void onBindResponse(uint response, const QVariantMap &results);

private:
    QString requestPath(const QString &token) const;
    QString newToken();
    void closeSession();
    void bind();
    void send(const QDBusMessage &call);

    QDBusConnection m_bus;
    QString m_session;
    QString m_trigger;
    QString m_pendingRequest;
    quint64 m_generation = 0;
    int m_tokenCounter = 0;
};
