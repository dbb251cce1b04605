#pragma once

#include "HotKeyBackend.h"
#include "X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QList>

// The global shortcut on X11: passive key grabs on the root window, one for the combination and one
// for each NumLock/CapsLock variant, so the shortcut works whatever lock is on. A combination that
// another client already grabbed is refused by the server with BadAccess.
class XcbHotKey : public HotKeyBackend, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit XcbHotKey(const X11Connection &x11, QObject *parent = nullptr);
    ~XcbHotKey() override;

    bool grab(quint32 keyCode, quint32 modifiers) override;
    void ungrab() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The X modifier mask for the stored shortcut's four bits.
    static uint16_t xModifiers(quint32 modifiers);

private:
    QList<xcb_keycode_t> keycodesFor(quint32 keysym) const;
    uint16_t numLockMask() const;

    X11Connection m_x11;
    QList<xcb_keycode_t> m_keycodes;
    QList<uint16_t> m_grabbedMasks;
    uint16_t m_modifiers = 0;
    uint16_t m_lockMasks = 0;
    bool m_held = false;
    xcb_timestamp_t m_lastRelease = 0;
};
