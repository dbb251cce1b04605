#include "StoredRecords.h"

#include "models/Sqlite.h"
#include "models/VorpEventRow.h"

#include <algorithm>

namespace StoredRecords {

QList<VorpEvent> events(const QString &storePath)
{
    SqliteDatabase db;
    QList<VorpEvent> loaded;
    if (!db.openUntouched(storePath, nullptr))
        return loaded;
    VorpEventRow::Reader reader;
    SqliteStatement rows(db, VorpEventRow::Reader::selectAll);
    while (rows.step())
        loaded.append(reader.read(rows));
    std::stable_sort(loaded.begin(), loaded.end(),
                     [](const VorpEvent &a, const VorpEvent &b) { return a.timestamp < b.timestamp; });
    return loaded;
}

std::optional<VorpEvent> event(const QString &storePath, qint64 id)
{
    for (const VorpEvent &stored : events(storePath)) {
        if (stored.id == id)
            return stored;
    }
    return std::nullopt;
}

QList<Trigger> triggers(const QString &storePath)
{
    SqliteDatabase db;
    QList<Trigger> loaded;
    if (!db.openUntouched(storePath, nullptr))
        return loaded;
    SqliteStatement rows(db, "SELECT rowid, key, name, emoji, sortOrder, isBuiltIn, isHidden "
                             "FROM Trigger ORDER BY sortOrder, rowid");
    while (rows.step()) {
        Trigger trigger;
        trigger.id = rows.columnInt(0);
        trigger.key = rows.columnText(1);
        trigger.name = rows.columnText(2);
        trigger.emoji = rows.columnText(3);
        trigger.sortOrder = int(rows.columnInt(4));
        trigger.isBuiltIn = rows.columnInt(5) != 0;
        trigger.isHidden = rows.columnInt(6) != 0;
        loaded.append(trigger);
    }
    return loaded;
}

} // namespace StoredRecords
