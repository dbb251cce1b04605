#pragma once

#include <QHash>
#include <QString>
#include <optional>

// One row of a ranking: a trigger (id = key, "_none" without one), an application (id = name) or
// the folded tail "_rest".
struct CountItem
{
    QString id;
    QString name;
    std::optional<QString> emoji;
    std::optional<QString> bundleID;
    int count = 0;

    bool operator==(const CountItem &) const = default;
};

inline size_t qHash(const CountItem &item, size_t seed = 0)
{
    return qHashMulti(seed, item.id, item.name, item.emoji.value_or(QString()), item.emoji.has_value(),
                      item.bundleID.value_or(QString()), item.bundleID.has_value(), item.count);
}
