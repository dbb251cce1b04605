#pragma once

#include "ActiveWindowSource.h"
#include "X11Connection.h"

#include <QAbstractNativeEventFilter>

// The active window on an EWMH window manager: `_NET_ACTIVE_WINDOW` on the root window, watched
// through PropertyNotify, and that window's `_NET_WM_PID` and `WM_CLASS`.
class XcbActiveWindow : public ActiveWindowSource, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit XcbActiveWindow(const X11Connection &x11, QObject *parent = nullptr);
    ~XcbActiveWindow() override;

    bool start() override;
    std::optional<ActiveWindowInfo> activeWindow() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    X11Connection m_x11;
    xcb_atom_t m_activeAtom = XCB_ATOM_NONE;
    xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
    bool m_started = false;
};
