#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Whether there is a display for the platform Qt is going to open, asked before any application
// object exists and once no running Grumblix took the launch: without a display, Qt prints its
// plugin error and aborts. A platform that needs no display (offscreen, minimal …) always passes.
namespace DisplayCheck {

// What the check reads: the command line's -platform and -display, else the environment.
struct Environment
{
    QByteArray platform;       // Qt's platform list ("xcb", "wayland;xcb"); empty for the default
    QByteArray platformSource; // where it came from: "QT_QPA_PLATFORM" or "-platform"
    QByteArray display;        // the X display
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray waylandSocket;  // WAYLAND_SOCKET: a connection handed down by the compositor
    QByteArray runtimeFolder;  // XDG_RUNTIME_DIR, where a relative WAYLAND_DISPLAY lives

    // This process's, with its arguments (the program path first).
    static Environment current(const QStringList &arguments);
};

// How a display is tried: an X display name, the path of a Wayland socket.
struct Probes
{
    std::function<bool(const QByteArray &display)> x;
    std::function<bool(const QByteArray &socketPath)> wayland;

    // An X connection and a connect to the socket, both closed at once.
    static Probes real();
};

// One line for the user when none of the platforms asked for can have its display; none when one can.
std::optional<QString> problem(const Environment &environment, const Probes &probes);

} // namespace DisplayCheck
