#pragma once

#include <QString>
#include <memory>

class ActiveWindowSource;
class AudioOutput;
class ColorSchemeSource;
class DesktopEntries;
class HotKeyBackend;
class Notifier;

// The Linux adapters of this session, chosen once by the platform's name ("xcb", "wayland", …).
// A missing adapter means the platform has none: the service over it then does nothing.
struct Platform
{
    Platform();
    Platform(Platform &&) noexcept;
    Platform &operator=(Platform &&) noexcept;
    ~Platform();

    // The adapters of the running application's platform; call after the QApplication exists.
    static Platform forApplication();

    // The X11 grab under xcb, the global-shortcuts portal under Wayland, none elsewhere.
    static std::unique_ptr<HotKeyBackend> hotKeyBackend(const QString &platformName);

    std::unique_ptr<HotKeyBackend> hotKey;
    std::unique_ptr<ActiveWindowSource> activeWindow; // null off X11
    std::unique_ptr<DesktopEntries> desktopEntries;
    std::unique_ptr<Notifier> notifier;
    std::unique_ptr<AudioOutput> audio;
    std::unique_ptr<ColorSchemeSource> colorScheme; // null without a session bus
};
