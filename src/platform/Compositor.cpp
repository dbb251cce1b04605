#include "platform/Compositor.h"

#include "platform/X11Connection.h"

#include <QByteArray>
#include <cstdlib>

namespace Compositor {

bool isRunning()
{
    const std::optional<X11Connection> x11 = X11Connection::fromApplication();
    if (!x11)
        return true;
    // The selection is named after the screen whose root window we use.
    int screen = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(x11->connection)); it.rem;
         xcb_screen_next(&it), ++screen)
        if (it.data->root == x11->root)
            break;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    const xcb_atom_t selection = x11->atom(name.constData());
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(
        x11->connection, xcb_get_selection_owner(x11->connection, selection), nullptr);
    if (!reply)
        return false;
    const bool owned = reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

void flush()
{
    if (const std::optional<X11Connection> x11 = X11Connection::fromApplication())
        xcb_flush(x11->connection);
}

} // namespace Compositor
