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

    std::function<void()> handler() const { return m_handler; }
    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }

    // Drops the earlier registration first, so after a refusal no shortcut is active at all.
    // `keyCode` is a Qt::Key; `modifiers` the shortcut's four modifier bits. Ends a suspension.
    bool registerKey(quint32 keyCode, quint32 modifiers);
    void unregister();
    bool isRegistered() const { return m_registered; }
    // The desktop binds the key itself (the portal) and may refuse it: the workaround then is a
    // desktop shortcut that opens a grumblix:// URL.
    bool bindsThroughDesktop() const;
    // The key the desktop went on binding when it did not take the combination last registered
    // (in its own words); empty otherwise. Only the desktop's own settings change that key.
    QString keptByDesktop() const { return m_keptByDesktop; }

    // Releases the grab (or closes the portal session) so the keys reach our own windows, as the
    // shortcut recorder needs; presses that were already on their way are dropped too. The next
    // registerKey() ends it.
    void suspend();
    bool isSuspended() const { return m_suspended; }

Q_SIGNALS:
    // The desktop refused or withdrew the shortcut after registerKey() had answered true.
    void registrationLost();
    // A desktop that binds later (the portal) confirmed the shortcut; `description` is the key it
    // really assigned in its own words, empty when it did not say.
    void registrationConfirmed(const QString &description);
    // The desktop kept its earlier key (`description`) instead of the combination registered: the
    // shortcut works, on that key.
    void registrationKept(const QString &description);

private:
    std::unique_ptr<HotKeyBackend> m_backend;
    std::function<void()> m_handler;
    bool m_registered = false;
    bool m_suspended = false;
    QString m_keptByDesktop;
};
