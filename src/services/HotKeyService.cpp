#include "HotKeyService.h"

#include "platform/HotKeyBackend.h"

HotKeyService::HotKeyService(std::unique_ptr<HotKeyBackend> backend, QObject *parent)
    : QObject(parent), m_backend(std::move(backend))
{
    if (!m_backend)
        return;
    connect(m_backend.get(), &HotKeyBackend::activated, this, [this] {
        // The handler is read when the queued call runs, so a handler set in between is the one used.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_handler && !m_suspended)
                    m_handler();
            },
            Qt::QueuedConnection);
    });
    connect(m_backend.get(), &HotKeyBackend::lost, this, [this] {
        if (!m_registered || m_suspended)
            return;
        m_keptByDesktop.clear();
        m_registered = false;
        Q_EMIT registrationLost();
    });
    connect(m_backend.get(), &HotKeyBackend::confirmed, this, [this](const QString &description) {
        // A late answer about the session the recorder just closed confirms nothing.
        if (m_suspended)
            return;
        m_registered = true;
        m_keptByDesktop.clear();
        Q_EMIT registrationConfirmed(description);
    });
    connect(m_backend.get(), &HotKeyBackend::kept, this, [this](const QString &description) {
        if (m_suspended)
            return;
        m_registered = true;
        m_keptByDesktop = description;
        Q_EMIT registrationKept(description);
    });
}

HotKeyService::~HotKeyService() = default;

bool HotKeyService::registerKey(quint32 keyCode, quint32 modifiers)
{
    m_registered = false;
    m_suspended = false;
    m_keptByDesktop.clear();
    if (!m_backend)
        return false;
    m_registered = m_backend->grab(keyCode, modifiers);
    return m_registered;
}

bool HotKeyService::bindsThroughDesktop() const
{
    return m_backend && m_backend->bindsThroughDesktop();
}

void HotKeyService::unregister()
{
    if (m_backend)
        m_backend->ungrab();
    m_registered = false;
    m_keptByDesktop.clear();
}

void HotKeyService::suspend()
{
    unregister();
    m_suspended = true;
}
