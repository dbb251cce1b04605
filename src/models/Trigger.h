#pragma once

#include <QList>
#include <QString>
#include <optional>

// A trigger category. A plain value; `id` (the row id) is the identity, 0 = never inserted.
struct Trigger
{
    qint64 id = 0;
    QString key;
    QString name;
    QString emoji;
    int sortOrder = 0;
    bool isBuiltIn = false;
    bool isHidden = false;

    struct Builtin
    {
        const char *key;
        const char *name;
        const char *emoji; // UTF-8
    };
    // The ten built-in triggers; the position is the sort order given at seeding.
    static const QList<Builtin> &defaults();

    static Trigger make(const QString &key, const QString &name, const QString &emoji, int sortOrder,
                        bool isBuiltIn);
};

// How an incident's trigger is shown.
struct TriggerInfo
{
    std::optional<QString> key;
    QString name;
    QString emoji;
    bool operator==(const TriggerInfo &) const = default;
};

// Looks a key up in a trigger list (normally all triggers by sort order): no key is
// "Uncategorized", a key that matches no trigger is "Deleted trigger"; the first match wins.
TriggerInfo info(const QList<Trigger> &triggers, const std::optional<QString> &key);
