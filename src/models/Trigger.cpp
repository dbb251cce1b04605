#include "Trigger.h"

const QList<Trigger::Builtin> &Trigger::defaults()
{
    static const QList<Builtin> list{
        {"meeting", "Meeting", "\U0001F4AC"},
        {"email", "Email", "\u2709\uFE0F"},
        {"build", "Build", "\U0001F528"},
        {"code", "Code", "\U0001F4BB"},
        {"people", "People", "\U0001F464"},
        {"bug", "Bug", "\U0001F41B"},
        {"management", "Management", "\U0001F4CB"},
        {"production", "Production", "\U0001F525"},
        {"wtf", "WTF", "\u2753"},
        {"other", "Other", "\U0001F937"},
    };
    return list;
}

Trigger Trigger::make(const QString &key, const QString &name, const QString &emoji, int sortOrder,
                      bool isBuiltIn)
{
    Trigger trigger;
    trigger.key = key;
    trigger.name = name;
    trigger.emoji = emoji;
    trigger.sortOrder = sortOrder;
    trigger.isBuiltIn = isBuiltIn;
    return trigger;
}

TriggerInfo info(const QList<Trigger> &triggers, const std::optional<QString> &key)
{
    if (!key)
        return {std::nullopt, QStringLiteral("Uncategorized"), QStringLiteral("\U0001FAE5")};
    for (const Trigger &trigger : triggers) {
        if (trigger.key == *key)
            return {key, trigger.name, trigger.emoji};
    }
    return {key, QStringLiteral("Deleted trigger"), QStringLiteral("\U0001F5D1\uFE0F")};
}
