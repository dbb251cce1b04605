#pragma once

#include "models/Trigger.h"
#include "services/Analytics.h"

class AppModel;

// What the quick-log views read from the store at every refresh.
namespace LiveQueries {

// Every trigger that is not hidden, by sort order.
QList<Trigger> visibleTriggers(AppModel &model);
// Whether a grid showing `shown` needs the list `current` (keys, names, emoji or order differ).
bool triggersDiffer(const QList<Trigger> &shown, const QList<Trigger> &current);
// Statistics over every incident, in the model's time zone, as of the model's now.
Analytics analytics(AppModel &model);
// Incidents on the model's current day, as Analytics::todayCount() counts them, found by binary
// search in the time-ordered store so a refresh does not walk every incident.
int todayCount(AppModel &model);

} // namespace LiveQueries
