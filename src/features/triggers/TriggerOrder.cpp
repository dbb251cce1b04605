#include "features/triggers/TriggerOrder.h"

std::optional<QList<Trigger>> movedTriggers(QList<Trigger> triggers, int position, int offset)
{
    const qsizetype count = triggers.size();
    const qint64 target = qint64(position) + offset;
    if (position < 0 || position >= count || target < 0 || target >= count)
        return std::nullopt;
    triggers.swapItemsAt(position, qsizetype(target));
    for (qsizetype i = 0; i < count; ++i)
        triggers[i].sortOrder = int(i);
    return triggers;
}
