#include "ui/LiveQueries.h"

#include "app/AppModel.h"
#include "models/Store.h"

#include <algorithm>

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

int todayCount(AppModel &model)
{
    const Calendar cal(model.timeZone());
    const DateInterval today = cal.dayInterval(model.now());
    const qint64 from = Calendar::msecs(today.start);
    const qint64 to = Calendar::msecs(today.end);
    const EventSnapshot events = model.store().events();
    const auto before = [](const VorpEvent &event, qint64 t) { return Calendar::msecs(event.timestamp) < t; };
    const auto first = std::lower_bound(events.begin(), events.end(), from, before);
    const auto last = std::lower_bound(first, events.end(), to, before);
    return int(last - first);
}

} // namespace LiveQueries
