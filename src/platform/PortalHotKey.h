#pragma once

#include "HotKeyBackend.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <optional>

// The global shortcut on Wayland: one shortcut bound through the xdg-desktop-portal GlobalShortcuts
// interface. Every call is asynchronous; the desktop may show its own confirmation, so grab()
// answers whether the request could be made. The shortcut counts as bound only when the portal
// lists it back (`confirmed()`, with the key the desktop really assigned); anything else ends in
// `lost()`.
//
// Portals differ: the first form of the interface binds the shortcuts passed in CreateSession's
// options and answers BindShortcuts with an empty list, the final form binds in BindShortcuts. The
// shortcut goes in both, and when neither answer lists it, ListShortcuts has the last word.
class PortalHotKey : public HotKeyBackend
{
    Q_OBJECT
public:
    explicit PortalHotKey(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                          QObject *parent = nullptr);
    ~PortalHotKey() override;

    bool grab(quint32 keyCode, quint32 modifiers) override;
    void ungrab() override;

    // Whether there is a session bus to reach a portal on. The portal itself is D-Bus-activated
    // and usually not running yet at login: the first call starts it.
    bool isAvailable() const;

    // The trigger in the portal's shortcut form ("ALT+SHIFT+f"); empty for a key that has
    // no keysym.
    static QString triggerText(quint32 keyCode, quint32 modifiers);

    static QString shortcutId() { return QStringLiteral("panic"); }
    // The same on every start, since desktops name the shortcut's group after it: a key the user
    // assigns in the desktop's settings stays with Grumblix.
    static QString sessionToken() { return QStringLiteral("grumblix"); }

private Q_SLOTS:
    void onActivated(const QDBusMessage &message);
    void onSessionResponse(uint response, const QVariantMap &results);
    void onBindResponse(uint response, const QVariantMap &results);
    void onListResponse(uint response, const QVariantMap &results);

private:
    QString requestPath(const QString &token) const;
    QString newToken();
    void closeSession();
    void bind();
    void list();
    // Starts a request: its Response goes to `slot` (a SLOT() signature).
    QString request(const char *slot);
    void dropRequest();
    // The portal's description of our shortcut in a results map, if the map lists it.
    std::optional<QString> listedTrigger(const QVariantMap &results) const;
    void send(const QDBusMessage &call);

    QDBusConnection m_bus;
    QString m_session;
    QString m_trigger;
    QString m_pendingRequest;
    const char *m_pendingSlot = nullptr;
    std::optional<QString> m_listedAtSession;
    quint64 m_generation = 0;
    int m_tokenCounter = 0;
};
