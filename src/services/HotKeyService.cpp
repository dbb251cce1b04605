#include "HotKeyService.h"

#include "platform/HotKeyBackend.h"
#include "platform/PortalHotKey.h"
#include "platform/XcbHotKey.h"

#include <QGuiApplication>

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
                if (m_handler)
                    m_handler();
            },
            Qt::QueuedConnection);
    });
    connect(m_backend.get(), &HotKeyBackend::lost, this, [this] {
        if (!m_registered)
            return;
        m_registered = false;
        Q_EMIT registrationLost();
    });
    connect(m_backend.get(), &HotKeyBackend::confirmed, this, [this](const QString &description) {
        m_registered = true;
        Q_EMIT registrationConfirmed(description);
    });
}

HotKeyService::~HotKeyService() = default;

HotKeyService &HotKeyService::shared()
{
    static HotKeyService *service = new HotKeyService(backendForPlatform(), qApp);
    return *service;
}

std::unique_ptr<HotKeyBackend> HotKeyService::backendForPlatform()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        if (auto x11 = X11Connection::fromApplication())
            return std::make_unique<XcbHotKey>(*x11);
    }
    if (platform.startsWith(QLatin1String("wayland")))
        return std::make_unique<PortalHotKey>();
    return nullptr;
}

bool HotKeyService::registerKey(quint32 keyCode, quint32 modifiers)
{
    m_registered = false;
    if (!m_backend)
        return false;
    m_registered = m_backend->grab(keyCode, modifiers);
    return m_registered;
}

void HotKeyService::unregister()
{
    if (m_backend)
        m_backend->ungrab();
    m_registered = false;
}
