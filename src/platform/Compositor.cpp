#include "platform/Compositor.h"

#include "platform/X11Connection.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>
#include <cstring>

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

Watch::Watch(QObject *parent) : QObject(parent), m_running(Compositor::isRunning())
{
    const std::optional<X11Connection> x11 = X11Connection::fromApplication();
    if (!x11)
        return;
    static const char name[] = "XFIXES";
    xcb_query_extension_reply_t *reply = xcb_query_extension_reply(
        x11->connection, xcb_query_extension(x11->connection, std::strlen(name), name), nullptr);
    if (!reply)
        return;
    // Selection notify is the extension's first event.
    if (reply->present)
        m_selectionNotify = reply->first_event;
    std::free(reply);
    if (m_selectionNotify)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

Watch::~Watch()
{
    if (m_selectionNotify && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool Watch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    // Any selection's owner may have changed; the answer is asked for once the event is handled.
    if ((event->response_type & 0x7f) == m_selectionNotify && !m_recheckQueued) {
        m_recheckQueued = true;
        QTimer::singleShot(0, this, &Watch::recheck);
    }
    return false;
}

void Watch::recheck()
{
    m_recheckQueued = false;
    const bool running = Compositor::isRunning();
    if (running == m_running)
        return;
    m_running = running;
    Q_EMIT runningChanged(running);
}

} // namespace Compositor
