#pragma once

#include "models/Shortcut.h"

#include <QString>
#include <Qt>
#include <optional>

// What the shortcut recorder does with one key press while it records.
struct RecorderDecision
{
    enum class Kind
    {
        Cancel, // Escape: stop and keep the old shortcut
        Ignore, // a modifier or lock key on its own: keep waiting for the rest of the combination
        Beep,   // no Ctrl, Alt or Super, or a key that cannot be grabbed: beep and keep recording
        Accept, // `shortcut` is the new one
    };

    Kind kind = Kind::Ignore;
    Shortcut shortcut;

    bool operator==(const RecorderDecision &) const = default;

    // `key` and `modifiers` as the key event has them; `text` the characters it typed (control
    // characters among them are never used for the label). Keypad, AltGr, Caps Lock and every
    // flag but Shift, Ctrl, Alt and Super stay out of the shortcut.
    static RecorderDecision decide(int key, Qt::KeyboardModifiers modifiers, const QString &text);
};

// The label a recorded key shows on its cap: the fixed names of the special keys, the key's own
// character, the typed text, the key's name, and "?" only when nothing is known.
QString recordedKeyLabel(int key, const QString &text);
