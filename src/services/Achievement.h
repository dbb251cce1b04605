#pragma once

#include <QHash>
#include <QString>

// One entry of the achievement catalogue. Unlocked when progress >= target; progress is the raw
// measure and may exceed the target. `id` is stored (announced achievements) and never changes.
struct Achievement
{
    QString id;
    QString emoji;
    QString title;
    QString detail;
    int target = 1;
    int progress = 0;

    bool operator==(const Achievement &) const = default;
};

inline size_t qHash(const Achievement &a, size_t seed = 0)
{
    return qHashMulti(seed, a.id, a.emoji, a.title, a.detail, a.target, a.progress);
}
