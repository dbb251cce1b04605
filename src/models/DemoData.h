#pragma once

#include "Trigger.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTimeZone>

class Store;

// Believable demo incidents: busy workdays (Mondays and Tuesdays most), quiet weekends, office
// hours, built-in trigger keys with matching applications, now and then a note. Every one has
// the source demo.
namespace DemoData {

struct App
{
    const char *name;
    const char *bundleID;
};

// Inserts `weeks` weeks of incidents ending at `now` (none later than `now`) and saves the store
// once. The trigger list is not consulted: keys come from a fixed pool. Returns the number inserted.
int generate(Store &store, const QList<Trigger> &triggers, int weeks, const QDateTime &now,
             const QTimeZone &zone, QRandomGenerator &random);

// The fixed tables, for tests.
const QList<int> &hourPool();
const QList<std::optional<QString>> &triggerKeyPool();
const QList<App> &appsFor(const std::optional<QString> &key);
const QStringList &notes();

} // namespace DemoData
