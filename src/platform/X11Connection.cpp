#include "X11Connection.h"

#include <QGuiApplication>
#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>

std::optional<X11Connection> X11Connection::fromApplication()
{
    auto *app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app || !app->connection() || !app->display())
        return std::nullopt;
    return X11Connection{app->connection(), static_cast<xcb_window_t>(DefaultRootWindow(app->display()))};
}

xcb_atom_t X11Connection::atom(const char *name) const
{
    auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}
