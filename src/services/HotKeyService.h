#pragma once

#include <QObject>
#include <functional>
#include <memory>

class HotKeyBackend;

// Owns the one global panic shortcut: replaces the grabbed combination whenever the shortcut
// changes and turns every press into a call of `handler` on a later turn of the event loop, never
// inside the window system's event dispatch.
class HotKeyService : public QObject
{
    Q_OBJECT
public:
    // `backend` may be null: the desktop cannot grab keys and every registration fails.
    explicit HotKeyService(std::unique_ptr<HotKeyBackend> backend, QObject *parent = nullptr);
    ~HotKeyService() override;

    // The service for this desktop (X11 grabs, the GlobalShortcuts portal, or nothing), created on
    // first use.
    static HotKeyService &shared();
    static std::unique_ptr<HotKeyBackend> backendForPlatform();

    std::function<void()> handler() const { return m_handler; }
    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }

    // Drops the earlier registration first, so after a refusal no shortcut is active at all.
    // `keyCode` is a Qt::Key; `modifiers` the shortcut's four modifier bits.
    bool registerKey(quint32 keyCode, quint32 modifiers);
    void unregister();
    bool isRegistered() const { return m_registered; }

Q_SIGNALS:
    // The desktop refused or withdrew the shortcut after registerKey() had answered true.
    void registrationLost();
    // A desktop that binds later (the portal) confirmed the shortcut; `description` is the key it
    // really assigned in its own words, empty when it did not say.
    void registrationConfirmed(const QString &description);

private:
    std::unique_ptr<HotKeyBackend> m_backend;
    std::function<void()> m_handler;
    bool m_registered = false;
};
