#pragma once

#include <QObject>

// One system-wide key combination, grabbed through whatever the desktop offers (an X11 grab or the
// GlobalShortcuts portal). `keyCode` is a Qt::Key value; `modifiers` uses the stored shortcut's four
// bits (control 0x1000, option/Alt 0x0800, shift 0x0200, command/Super 0x0100).
class HotKeyBackend : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    static constexpr quint32 controlBit = 0x1000;
    static constexpr quint32 optionBit = 0x0800;
    static constexpr quint32 shiftBit = 0x0200;
    static constexpr quint32 commandBit = 0x0100;

    // Replaces any earlier grab. False when the desktop refuses the combination or has no way to
    // grab keys at all; no combination is active afterwards in that case.
    virtual bool grab(quint32 keyCode, quint32 modifiers) = 0;
    virtual void ungrab() = 0;
    // True where the desktop binds the key itself and confirms later (the portal).
    virtual bool bindsThroughDesktop() const { return false; }

Q_SIGNALS:
    // One press of the grabbed combination (never for key auto-repeat). Emitted from the event
    // loop, possibly inside a native event filter: receivers must defer real work.
    void activated();
    // The desktop withdrew or refused a grab after grab() had already answered (portal only).
    void lost();
    // The desktop confirmed the grab after grab() had answered (portal only); `description` is the
    // key it really assigned, in its own words ("Alt+Shift+F"), empty when it did not say.
    void confirmed(const QString &description);
    // The desktop went on binding the key it held before (`description`, in its own words) instead
    // of the combination just asked for (portal only): presses of that key still arrive, and only
    // the desktop's own settings change it.
    void kept(const QString &description);
};
