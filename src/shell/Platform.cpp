#include "Platform.h"

#include "platform/ActiveWindowSource.h"
#include "platform/AudioOutput.h"
#include "platform/DesktopEntries.h"
#include "platform/FreedesktopNotifier.h"
#include "platform/HotKeyBackend.h"
#include "platform/PortalColorScheme.h"
#include "platform/PortalHotKey.h"
#include "platform/QtAudioOutput.h"
#include "platform/XcbActiveWindow.h"
#include "platform/XcbHotKey.h"

#include <QDBusConnection>
#include <QGuiApplication>

Platform::Platform() = default;
Platform::Platform(Platform &&) noexcept = default;
Platform &Platform::operator=(Platform &&) noexcept = default;
Platform::~Platform() = default;

std::unique_ptr<HotKeyBackend> Platform::hotKeyBackend(const QString &platformName)
{
    if (platformName == QLatin1String("xcb")) {
        if (auto x11 = X11Connection::fromApplication())
            return std::make_unique<XcbHotKey>(*x11);
    }
    if (platformName.startsWith(QLatin1String("wayland")))
        return std::make_unique<PortalHotKey>();
    return nullptr;
}

Platform Platform::forApplication()
{
    const QString name = QGuiApplication::platformName();
    Platform platform;
    platform.hotKey = hotKeyBackend(name);
    if (name == QLatin1String("xcb")) {
        if (auto x11 = X11Connection::fromApplication())
            platform.activeWindow = std::make_unique<XcbActiveWindow>(*x11);
    }
    platform.desktopEntries = std::make_unique<DesktopEntries>();
    platform.notifier = std::make_unique<FreedesktopNotifier>(QDBusConnection::sessionBus());
    platform.audio = std::make_unique<QtAudioOutput>();
    if (QDBusConnection::sessionBus().isConnected())
        platform.colorScheme = std::make_unique<PortalColorScheme>(QDBusConnection::sessionBus());
    return platform;
}
