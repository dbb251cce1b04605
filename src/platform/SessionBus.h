#pragma once

#include <QString>

// Settles, before anything touches D-Bus, which session bus this process will use, so that no
// later call can block on it or start one. libdbus connects synchronously: a bus that accepts
// connections but never answers would freeze whoever asks first, and without an address libdbus
// launches a bus of its own that outlives the program.
namespace SessionBus {

// Whether a bus at `address` completes the start of a D-Bus handshake within `timeoutMs`.
// Addresses of transports other than Unix sockets are trusted as they are.
bool answers(const QString &address, int timeoutMs);

// Checks $DBUS_SESSION_BUS_ADDRESS (or the bus in $XDG_RUNTIME_DIR when it is unset). When there
// is no bus that answers, the variable is pointed at an address that fails at once, so D-Bus
// users get a disconnected bus without waiting and no bus is launched. Returns whether a bus is
// usable.
bool settle(int timeoutMs = 1000);

} // namespace SessionBus
