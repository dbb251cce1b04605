#include "features/triggers/TriggerCounts.h"

QHash<QString, int> incidentCountsByTrigger(const EventSnapshot &events)
{
    QHash<QString, int> counts;
    for (const VorpEvent &event : events) {
        if (event.triggerKey)
            ++counts[*event.triggerKey];
    }
    return counts;
}
