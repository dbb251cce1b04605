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
// options and lists them in its answer, the final form binds in BindShortcuts. A shortcut the
// session already lists with its key is bound: BindShortcuts is then left out, since that form
// answers it by opening the desktop's shortcut settings. Otherwise the shortcut goes in
// BindShortcuts too, and when neither answer lists it, ListShortcuts has the last word.
//
// A desktop that binds from the session keeps the key it holds for the shortcut, so a newly
// recorded combination may not take: the session then lists the same key as before, and `kept()`
// tells so instead of `confirmed()`.
class PortalHotKey : public HotKeyBackend
{
    Q_OBJECT
public:
    explicit PortalHotKey(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                          QObject *parent = nullptr);
    ~PortalHotKey() override;

    bool grab(quint32 keyCode, quint32 modifiers) override;
    void ungrab() override;
    bool bindsThroughDesktop() const override { return true; }

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
    // The key the portal names for our shortcut in a results map, if the map lists it bound (empty
    // when the desktop did not say which key).
    std::optional<QString> listedTrigger(const QVariantMap &results) const;
    void send(const QDBusMessage &call);
    // The desktop holds our shortcut on `description`: confirmed, or kept when we asked for
    // another key and the desktop answered with the one it held before.
    void settle(const QString &description);

    QDBusConnection m_bus;
    QString m_session;
    QString m_trigger;
    QString m_pendingRequest;
    const char *m_pendingSlot = nullptr;
    std::optional<QString> m_listedAtSession;
    // The key the desktop last bound for us, and the trigger we had asked for then.
    QString m_heldDescription;
    QString m_heldForTrigger;
    quint64 m_generation = 0;
    int m_tokenCounter = 0;
};
