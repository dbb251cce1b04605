#include "Shortcut.h"

#include "Prefs.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

namespace {

const QString kPrefKey = QStringLiteral("shortcut");

const QHash<quint32, QString> &keyLabels()
{
    static const QHash<quint32, QString> labels{
        {Qt::Key_Space, QStringLiteral("Space")},
        {Qt::Key_Return, QStringLiteral("\u21A9")},
        {Qt::Key_Enter, QStringLiteral("\u21A9")},
        {Qt::Key_Tab, QStringLiteral("\u21E5")},
        {Qt::Key_Backspace, QStringLiteral("\u232B")},
        {Qt::Key_Delete, QStringLiteral("\u2326")},
        {Qt::Key_Left, QStringLiteral("\u2190")},
        {Qt::Key_Right, QStringLiteral("\u2192")},
        {Qt::Key_Up, QStringLiteral("\u2191")},
        {Qt::Key_Down, QStringLiteral("\u2193")},
        {Qt::Key_Home, QStringLiteral("\u2196")},
        {Qt::Key_End, QStringLiteral("\u2198")},
        {Qt::Key_PageUp, QStringLiteral("\u21DE")},
        {Qt::Key_PageDown, QStringLiteral("\u21DF")},
        {Qt::Key_F1, QStringLiteral("F1")},
        {Qt::Key_F2, QStringLiteral("F2")},
        {Qt::Key_F3, QStringLiteral("F3")},
        {Qt::Key_F4, QStringLiteral("F4")},
        {Qt::Key_F5, QStringLiteral("F5")},
        {Qt::Key_F6, QStringLiteral("F6")},
        {Qt::Key_F7, QStringLiteral("F7")},
        {Qt::Key_F8, QStringLiteral("F8")},
        {Qt::Key_F9, QStringLiteral("F9")},
        {Qt::Key_F10, QStringLiteral("F10")},
        {Qt::Key_F11, QStringLiteral("F11")},
        {Qt::Key_F12, QStringLiteral("F12")},
        {Qt::Key_F13, QStringLiteral("F13")},
        {Qt::Key_F14, QStringLiteral("F14")},
        {Qt::Key_F15, QStringLiteral("F15")},
    };
    return labels;
}

struct ModifierName
{
    quint32 bit;
    const char *name;
};
constexpr ModifierName kModifierNames[] = {
    {Shortcut::controlBit, "Ctrl"},
    {Shortcut::optionBit, "Alt"},
    {Shortcut::shiftBit, "Shift"},
    {Shortcut::commandBit, "Super"},
};

// A JSON number that is a whole value within 32 unsigned bits.
std::optional<quint32> unsigned32(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number < 0 || number > std::numeric_limits<quint32>::max() ||
        number != static_cast<double>(static_cast<qint64>(number)))
        return std::nullopt;
    return static_cast<quint32>(number);
}

} // namespace

Shortcut Shortcut::load(const Prefs &prefs)
{
    const QVariant stored = prefs.value(kPrefKey);
    if (stored.typeId() != QMetaType::QByteArray)
        return defaultShortcut();
    return fromJson(stored.toByteArray()).value_or(defaultShortcut());
}

void Shortcut::save(Prefs &prefs) const
{
    prefs.setValue(kPrefKey, toJson());
}

QByteArray Shortcut::toJson() const
{
    const QJsonObject object{
        {QStringLiteral("keyCode"), static_cast<qint64>(keyCode)},
        {QStringLiteral("carbonModifiers"), static_cast<qint64>(carbonModifiers)},
        {QStringLiteral("keyLabel"), keyLabel},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Shortcut> Shortcut::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const auto keyCode = unsigned32(object.value(QStringLiteral("keyCode")));
    const auto modifiers = unsigned32(object.value(QStringLiteral("carbonModifiers")));
    const QJsonValue label = object.value(QStringLiteral("keyLabel"));
    if (!keyCode || !modifiers || !label.isString())
        return std::nullopt;
    return Shortcut{*keyCode, *modifiers, label.toString()};
}

quint32 Shortcut::carbonModifiersFrom(Qt::KeyboardModifiers modifiers)
{
    quint32 mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= controlBit;
    if (modifiers & Qt::AltModifier)
        mask |= optionBit;
    if (modifiers & Qt::ShiftModifier)
        mask |= shiftBit;
    if (modifiers & Qt::MetaModifier)
        mask |= commandBit;
    return mask;
}

QString Shortcut::label(quint32 keyCode, const std::optional<QString> &characters)
{
    const auto found = keyLabels().constFind(keyCode);
    if (found != keyLabels().constEnd())
        return *found;
    if (characters)
        return characters->toUpper();
    return QStringLiteral("?");
}

QStringList Shortcut::modifierSymbols() const
{
    QStringList names;
    for (const ModifierName &modifier : kModifierNames) {
        if (carbonModifiers & modifier.bit)
            names << QString::fromLatin1(modifier.name);
    }
    return names;
}

QString Shortcut::displayText() const
{
    return (modifierSymbols() << keyLabel).join(QLatin1Char('+'));
}

QStringList Shortcut::capsFromDescription(const QString &description)
{
    static const QList<std::pair<QString, QString>> modifierNames{
        {QStringLiteral("ctrl"), QStringLiteral("Ctrl")},     {QStringLiteral("control"), QStringLiteral("Ctrl")},
        {QStringLiteral("alt"), QStringLiteral("Alt")},       {QStringLiteral("shift"), QStringLiteral("Shift")},
        {QStringLiteral("meta"), QStringLiteral("Super")},    {QStringLiteral("super"), QStringLiteral("Super")},
        {QStringLiteral("logo"), QStringLiteral("Super")},    {QStringLiteral("win"), QStringLiteral("Super")}};
    QString text = description.trimmed();
    // "+" as the key itself: "+" alone or "Ctrl++".
    const bool plusKey = text == QLatin1String("+") || text.endsWith(QLatin1String("++"));
    if (plusKey)
        text.chop(text.size() == 1 ? 1 : 2);
    QStringList caps;
    for (const QString &raw : text.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        const QString part = raw.trimmed();
        QString name = part.size() == 1 ? part.toUpper() : part;
        for (const auto &[lower, shown] : modifierNames) {
            if (part.compare(lower, Qt::CaseInsensitive) == 0)
                name = shown;
        }
        if (!name.isEmpty())
            caps << name;
    }
    if (plusKey)
        caps << QStringLiteral("+");
    return caps;
}
