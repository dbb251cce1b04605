#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <Qt>
#include <optional>

class Prefs;

// The global panic shortcut: a Qt key, a modifier mask in the stored four-bit form, and the label
// of the key. Stored as compact JSON under the "shortcut" preference.
struct Shortcut
{
    static constexpr quint32 controlBit = 0x1000;
    static constexpr quint32 optionBit = 0x0800; // Alt
    static constexpr quint32 shiftBit = 0x0200;
    static constexpr quint32 commandBit = 0x0100; // Super

    quint32 keyCode = Qt::Key_F;
    quint32 carbonModifiers = optionBit | shiftBit;
    QString keyLabel = QStringLiteral("F");

    bool operator==(const Shortcut &) const = default;

    // Alt+Shift+F.
    static Shortcut defaultShortcut() { return {}; }

    // The stored shortcut, or the default when nothing readable is stored (nothing is written).
    static Shortcut load(const Prefs &prefs);
    void save(Prefs &prefs) const;

    QByteArray toJson() const;
    // None for malformed JSON, a missing member, a wrong type or a number outside 32 unsigned bits.
    static std::optional<Shortcut> fromJson(const QByteArray &json);

    // The mask of a key event's modifiers: Ctrl, Alt, Shift and Super; all others are ignored.
    static quint32 carbonModifiersFrom(Qt::KeyboardModifiers modifiers);
    // The display label of a key: a fixed name for special keys, else the typed text upper-cased,
    // else "?".
    static QString label(quint32 keyCode, const std::optional<QString> &characters);

    // "Ctrl", "Alt", "Shift", "Super" for the bits set, in that order.
    QStringList modifierSymbols() const;
    // The modifiers and the key label joined with "+": "Alt+Shift+F".
    QString displayText() const;

    // Key caps for a key as a desktop describes it ("Meta+Shift+F", "CTRL+ALT+k"): the parts
    // between "+", modifiers under their Linux names. Empty for an empty description.
    static QStringList capsFromDescription(const QString &description);
};
