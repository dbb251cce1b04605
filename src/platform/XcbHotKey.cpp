#include "XcbHotKey.h"

#include "KeySyms.h"

#include <QCoreApplication>
#include <cstdlib>

namespace {
constexpr quint32 numLockKeysym = 0xff7f;
} // namespace

XcbHotKey::XcbHotKey(const X11Connection &x11, QObject *parent) : HotKeyBackend(parent), m_x11(x11)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbHotKey::~XcbHotKey()
{
    ungrab();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

uint16_t XcbHotKey::xModifiers(quint32 modifiers)
{
    uint16_t mask = 0;
    if (modifiers & controlBit)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & optionBit)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & shiftBit)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & commandBit)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

QList<xcb_keycode_t> XcbHotKey::keycodesFor(quint32 keysym) const
{
    QList<xcb_keycode_t> found;
    const xcb_setup_t *setup = xcb_get_setup(m_x11.connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto cookie = xcb_get_keyboard_mapping(m_x11.connection, setup->min_keycode, uint8_t(count));
    xcb_get_keyboard_mapping_reply_t *reply =
        xcb_get_keyboard_mapping_reply(m_x11.connection, cookie, nullptr);
    if (!reply)
        return found;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    // The first two levels of the first group: the key as printed, with and without Shift.
    for (int i = 0; i < count; ++i) {
        for (int level = 0; level < qMin(perCode, 2); ++level) {
            if (syms[i * perCode + level] == keysym) {
                found.append(xcb_keycode_t(setup->min_keycode + i));
                break;
            }
        }
    }
    std::free(reply);
    return found;
}

uint16_t XcbHotKey::numLockMask() const
{
    const QList<xcb_keycode_t> numLock = keycodesFor(numLockKeysym);
    auto cookie = xcb_get_modifier_mapping(m_x11.connection);
    xcb_get_modifier_mapping_reply_t *reply =
        xcb_get_modifier_mapping_reply(m_x11.connection, cookie, nullptr);
    uint16_t mask = XCB_MOD_MASK_2; // where nearly every keymap puts it
    if (!reply)
        return mask;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int mod = 0; mod < 8; ++mod) {
        for (int j = 0; j < perModifier; ++j) {
            const xcb_keycode_t code = codes[mod * perModifier + j];
            if (code != 0 && numLock.contains(code)) {
                mask = uint16_t(1u << mod);
                std::free(reply);
                return mask;
            }
        }
    }
    std::free(reply);
    return mask;
}

bool XcbHotKey::grab(quint32 keyCode, quint32 modifiers)
{
    ungrab();
    const quint32 keysym = keysymForQtKey(int(keyCode));
    if (!m_x11.connection || keysym == 0)
        return false;
    const QList<xcb_keycode_t> keycodes = keycodesFor(keysym);
    if (keycodes.isEmpty())
        return false;

    const uint16_t mods = xModifiers(modifiers);
    const uint16_t numLock = numLockMask();
    const QList<uint16_t> variants = {0, numLock, XCB_MOD_MASK_LOCK, uint16_t(numLock | XCB_MOD_MASK_LOCK)};

    // Issue every grab first, then collect the answers: one round trip instead of one per grab.
    QList<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t code : keycodes) {
        for (uint16_t variant : variants) {
            // owner_events off: while the grab is active, the release goes to the root window too
            // and not to a focused window of ours, where it would slip past the filter and leave
            // the key looking held (every later press taken for auto-repeat).
            cookies.append(xcb_grab_key_checked(m_x11.connection, 0, m_x11.root, uint16_t(mods | variant),
                                                code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t &cookie : cookies) {
        // BadAccess: another client holds this combination already.
        if (xcb_generic_error_t *error = xcb_request_check(m_x11.connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    m_keycodes = keycodes;
    m_modifiers = mods;
    m_lockMasks = uint16_t(numLock | XCB_MOD_MASK_LOCK);
    m_grabbedMasks = {};
    for (uint16_t variant : variants)
        m_grabbedMasks.append(uint16_t(mods | variant));
    if (refused) {
        // Grabs that did succeed must not linger: a half-registered shortcut would fire only with
        // some lock states.
        ungrab();
        return false;
    }
    m_held = false;
    return true;
}

void XcbHotKey::ungrab()
{
    if (m_x11.connection && !m_keycodes.isEmpty()) {
        for (xcb_keycode_t code : std::as_const(m_keycodes)) {
            for (uint16_t mask : std::as_const(m_grabbedMasks))
                xcb_ungrab_key(m_x11.connection, code, m_x11.root, mask);
        }
        xcb_flush(m_x11.connection);
    }
    m_keycodes.clear();
    m_grabbedMasks.clear();
    m_held = false;
}

bool XcbHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_keycodes.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (!m_keycodes.contains(key->detail))
        return false;
    if (type == XCB_KEY_RELEASE) {
        // A release ends the hold wherever it is reported; only the grab's own is ours to eat.
        m_held = false;
        m_lastRelease = key->time;
        return key->event == m_x11.root;
    }
    if (key->event != m_x11.root)
        return false;
    const uint16_t state = key->state & 0xff & ~m_lockMasks;
    if (state != m_modifiers)
        return false;
    // Auto-repeat arrives either as presses without releases (detectable auto-repeat) or as
    // release/press pairs stamped with the same time; neither is a new press.
    if (m_held || (m_lastRelease != 0 && key->time == m_lastRelease)) {
        m_held = true;
        return true;
    }
    m_held = true;
    Q_EMIT activated();
    return true;
}
