#include "features/settings/RecorderDecision.h"

#include <QKeySequence>

namespace {

// Keys that only modify or lock: pressed alone they begin a combination, never end one.
bool isModifierOrLock(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

// Text without control characters, so Ctrl+K's U+000B never becomes a label.
QString printable(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if (c.isPrint())
            kept += c;
    }
    return kept.trimmed();
}

} // namespace

QString recordedKeyLabel(int key, const QString &text)
{
    // The fixed table first ("Space", "F1", arrows …).
    const QString fixed = Shortcut::label(quint32(key), std::nullopt);
    if (fixed != QLatin1String("?"))
        return fixed;
    // Below U+0100 a Qt key is the upper-case character of the key itself.
    if (key > 0x20 && key < 0x100 && QChar(key).isPrint())
        return QString(QChar(key)).toUpper();
    if (const QString typed = printable(text); !typed.isEmpty())
        return typed.toUpper();
    if (const QString name = QKeySequence(key).toString(QKeySequence::PortableText);
        !name.isEmpty() && printable(name) == name)
        return name;
    return QStringLiteral("?");
}

RecorderDecision RecorderDecision::decide(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (key == Qt::Key_Escape)
        return {Kind::Cancel, {}};
    if (isModifierOrLock(key))
        return {Kind::Ignore, {}};
    const Qt::KeyboardModifiers required = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!(modifiers & required) || key == 0 || key == Qt::Key_unknown)
        return {Kind::Beep, {}};
    const Qt::KeyboardModifiers kept = modifiers & (required | Qt::ShiftModifier);
    return {Kind::Accept,
            Shortcut{quint32(key), Shortcut::carbonModifiersFrom(kept), recordedKeyLabel(key, text)}};
}
