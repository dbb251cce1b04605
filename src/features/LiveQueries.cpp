#include "features/LiveQueries.h"

#include "app/AppModel.h"
#include "models/Store.h"

namespace LiveQueries {

QList<Trigger> visibleTriggers(AppModel &model)
{
    QList<Trigger> visible;
    for (const Trigger &t : model.store().triggers()) {
        if (!t.isHidden)
            visible.append(t);
    }
    return visible;
}

bool triggersDiffer(const QList<Trigger> &shown, const QList<Trigger> &current)
{
    if (shown.size() != current.size())
        return true;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const Trigger &a = shown[i];
        const Trigger &b = current[i];
        if (a.key != b.key || a.name != b.name || a.emoji != b.emoji)
            return true;
    }
    return false;
}

Analytics analytics(AppModel &model)
{
    return Analytics{model.store().events(), Calendar(model.timeZone()), model.now()};
}

} // namespace LiveQueries
