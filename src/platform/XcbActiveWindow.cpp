#include "XcbActiveWindow.h"

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>

namespace {

// One property of a window as raw bytes; empty when absent.
QByteArray windowProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t atom, xcb_atom_t type)
{
    auto cookie = xcb_get_property(c, 0, window, atom, type, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr);
    if (!reply)
        return {};
    QByteArray bytes;
    if (reply->type != XCB_ATOM_NONE) {
        const int length = xcb_get_property_value_length(reply);
        bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)), length);
    }
    std::free(reply);
    return bytes;
}

quint32 firstCardinal(const QByteArray &bytes)
{
    quint32 value = 0;
    if (bytes.size() >= int(sizeof value))
        std::memcpy(&value, bytes.constData(), sizeof value);
    return value;
}

} // namespace

XcbActiveWindow::XcbActiveWindow(const X11Connection &x11, QObject *parent)
    : ActiveWindowSource(parent), m_x11(x11)
{
}

XcbActiveWindow::~XcbActiveWindow()
{
    if (m_started && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool XcbActiveWindow::start()
{
    if (m_started)
        return true;
    if (!m_x11.connection)
        return false;
    m_activeAtom = m_x11.atom("_NET_ACTIVE_WINDOW");
    m_pidAtom = m_x11.atom("_NET_WM_PID");

    // Add PropertyChange to the mask this connection already selects on the root window, so the
    // toolkit's own root events keep arriving.
    auto cookie = xcb_get_window_attributes(m_x11.connection, m_x11.root);
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(m_x11.connection, cookie, nullptr);
    uint32_t mask = attributes ? attributes->your_event_mask : 0;
    std::free(attributes);
    mask |= XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_x11.connection, m_x11.root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_x11.connection);

    QCoreApplication::instance()->installNativeEventFilter(this);
    m_started = true;
    return true;
}

std::optional<ActiveWindowInfo> XcbActiveWindow::activeWindow()
{
    if (!m_x11.connection)
        return std::nullopt;
    if (m_activeAtom == XCB_ATOM_NONE)
        m_activeAtom = m_x11.atom("_NET_ACTIVE_WINDOW");
    if (m_pidAtom == XCB_ATOM_NONE)
        m_pidAtom = m_x11.atom("_NET_WM_PID");
    const xcb_window_t window =
        firstCardinal(windowProperty(m_x11.connection, m_x11.root, m_activeAtom, XCB_ATOM_WINDOW));
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    // Both properties are asked for before either answer is read.
    auto pidCookie = xcb_get_property(m_x11.connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    auto classCookie =
        xcb_get_property(m_x11.connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 512);
    ActiveWindowInfo info;
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(m_x11.connection, pidCookie, nullptr)) {
        if (reply->type == XCB_ATOM_CARDINAL && xcb_get_property_value_length(reply) >= 4)
            info.pid = *static_cast<const quint32 *>(xcb_get_property_value(reply));
        std::free(reply);
    }
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(m_x11.connection, classCookie, nullptr)) {
        const QByteArray bytes(static_cast<const char *>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        const QList<QByteArray> parts = bytes.split('\0');
        if (!parts.isEmpty())
            info.wmInstance = QString::fromLocal8Bit(parts.value(0));
        info.wmClass = QString::fromLocal8Bit(parts.value(1));
        std::free(reply);
    }
    return info;
}

bool XcbActiveWindow::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
    if (notify->window == m_x11.root && notify->atom == m_activeAtom)
        Q_EMIT activeWindowChanged();
    return false;
}
