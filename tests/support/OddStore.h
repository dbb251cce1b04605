#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A store as only damage or a hand edit leaves it: rows whose columns hold values the program
// cannot read as what they should be, made with the sqlite3 library itself.
namespace OddStore {

struct Row
{
    const char *label;
    // The SQL values of (uuid, timestamp, appName, bundleIdentifier, triggerKey, note, sourceRaw).
    const char *values;
    // Its line in the CSV export.
    QByteArray csv;
    // Where the store lists it: its timestamp in seconds, the epoch for one that names no time.
    double sortSeconds;
};

// One row of every odd kind, and an ordinary one.
const QList<Row> &rows();

// A store of this program's schema at `path` holding the rows, with row ids 1, 2, … in order.
// False (and a warning) when it cannot be made.
bool create(const QString &path, const QList<Row> &rows);
// Every incident row as stored: each column's type and bytes (a real by its bits), for a
// byte-for-byte comparison.
QByteArray dump(const QString &path);
// The CSV document the rows export as, in the store's order.
QByteArray csvDocument(const QList<Row> &rows);

} // namespace OddStore
