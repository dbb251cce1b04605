#include "support/OddStore.h"

#include "models/Store.h"

#include <QDebug>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace OddStore {

const QList<Row> &rows()
{
    static const QList<Row> all{
        {"ordinary",
         "'c0ffee00-0000-4000-8000-000000000001', 1800000000.25, 'Terminal', 'org.gnome.Terminal', "
         "'meetings', 'a \"note\"', 'shortcut'",
         "C0FFEE00-0000-4000-8000-000000000001,2027-01-15T08:00:00Z,\"Terminal\",\"org.gnome.Terminal\","
         "\"Deleted trigger\",\"a \"\"note\"\"\",shortcut",
         1800000000.25},
        {"infinite time", "'c0ffee00-0000-4000-8000-000000000002', 9e999, NULL, NULL, NULL, NULL, 'menuBar'",
         "C0FFEE00-0000-4000-8000-000000000002,Inf,\"\",\"\",\"\",\"\",menuBar", 0},
        {"minus infinite time",
         "'c0ffee00-0000-4000-8000-000000000003', -9e999, NULL, NULL, NULL, 'kept', 'url'",
         "C0FFEE00-0000-4000-8000-000000000003,-Inf,\"\",\"\",\"\",\"kept\",url", 0},
        {"time past any date",
         "'c0ffee00-0000-4000-8000-000000000004', 1e20, NULL, NULL, NULL, NULL, 'menuBar'",
         "C0FFEE00-0000-4000-8000-000000000004,1.0e+20,\"\",\"\",\"\",\"\",menuBar", 0},
        {"time as text",
         "'c0ffee00-0000-4000-8000-000000000005', 'yesterday', NULL, NULL, NULL, NULL, 'menuBar'",
         "C0FFEE00-0000-4000-8000-000000000005,yesterday,\"\",\"\",\"\",\"\",menuBar", 0},
        {"five-digit year",
         "'c0ffee00-0000-4000-8000-000000000006', 300000000000.0, NULL, NULL, NULL, NULL, 'demo'",
         "C0FFEE00-0000-4000-8000-000000000006,11476-08-15T05:20:00Z,\"\",\"\",\"\",\"\",demo",
         300000000000.0},
        {"year zero",
         "'c0ffee00-0000-4000-8000-000000000007', -62167219200, NULL, NULL, NULL, NULL, 'menuBar'",
         "C0FFEE00-0000-4000-8000-000000000007,0000-01-01T00:00:00Z,\"\",\"\",\"\",\"\",menuBar",
         -62167219200.0},
        {"uuid that is none", "'not-a-uuid', 1700000000, NULL, NULL, NULL, NULL, 'menuBar'",
         "not-a-uuid,2023-11-14T22:13:20Z,\"\",\"\",\"\",\"\",menuBar", 1700000000.0},
        {"empty uuid", "'', 1700000060, NULL, NULL, NULL, NULL, 'menuBar'",
         ",2023-11-14T22:14:20Z,\"\",\"\",\"\",\"\",menuBar", 1700000060.0},
        {"empty note", "'c0ffee00-0000-4000-8000-00000000000a', 1700000120, NULL, NULL, NULL, '', 'menuBar'",
         "C0FFEE00-0000-4000-8000-00000000000A,2023-11-14T22:15:20Z,\"\",\"\",\"\",\"\",menuBar",
         1700000120.0},
        {"note not UTF-8",
         "'c0ffee00-0000-4000-8000-00000000000b', 1700000180, NULL, NULL, NULL, X'41C3284222FF', 'menuBar'",
         QByteArray(
             "C0FFEE00-0000-4000-8000-00000000000B,2023-11-14T22:16:20Z,\"\",\"\",\"\",\"A\xC3(B\"\"\xFF\","
             "menuBar"),
         1700000180.0},
        {"source of no case",
         "'c0ffee00-0000-4000-8000-00000000000c', 1700000240, 'Files', NULL, 'gone', NULL, 'Menubar '",
         "C0FFEE00-0000-4000-8000-00000000000C,2023-11-14T22:17:20Z,\"Files\",\"\",\"Deleted "
         "trigger\",\"\",Menubar ",
         1700000240.0},
        {"time past the range",
         "'c0ffee00-0000-4000-8000-00000000000d', 9.1e15, NULL, NULL, NULL, NULL, 'menuBar'",
         "C0FFEE00-0000-4000-8000-00000000000D,9.1e+15,\"\",\"\",\"\",\"\",menuBar", 0},
    };
    return all;
}

bool create(const QString &path, const QList<Row> &rows)
{
    {
        // The schema exactly as the program makes it.
        QString error;
        auto store = Store::open(path, &error);
        if (!store) {
            qWarning() << "store:" << error;
            return false;
        }
        store->close();
    }
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK;
    qint64 rowid = 1;
    for (const Row &row : rows) {
        if (!ok)
            break;
        const QByteArray sql = "INSERT INTO VorpEvent (rowid, uuid, timestamp, appName, bundleIdentifier, "
                               "triggerKey, note, sourceRaw) VALUES (" +
                               QByteArray::number(rowid++) + ", " + row.values + ")";
        char *message = nullptr;
        ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
        if (!ok)
            qWarning() << row.label << message;
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return ok;
}

QByteArray dump(const QString &path)
{
    sqlite3 *db = nullptr;
    QByteArray out;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open";
    }
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(
        db,
        "SELECT rowid, uuid, timestamp, appName, bundleIdentifier, triggerKey, note, sourceRaw "
        "FROM VorpEvent ORDER BY rowid",
        -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        out += QByteArray::number(sqlite3_column_int64(st, 0));
        for (int column = 1; column < 8; ++column) {
            out += " | ";
            switch (sqlite3_column_type(st, column)) {
            case SQLITE_NULL:
                out += "null";
                break;
            case SQLITE_INTEGER:
                out += "int " + QByteArray::number(sqlite3_column_int64(st, column));
                break;
            case SQLITE_FLOAT: {
                const double value = sqlite3_column_double(st, column);
                quint64 bits = 0;
                std::memcpy(&bits, &value, sizeof bits);
                out += "real " + QByteArray::number(bits, 16);
                break;
            }
            case SQLITE_TEXT:
            case SQLITE_BLOB: {
                const bool blob = sqlite3_column_type(st, column) == SQLITE_BLOB;
                const auto *bytes = static_cast<const char *>(sqlite3_column_blob(st, column));
                out +=
                    (blob ? "blob " : "text ") + QByteArray(bytes, sqlite3_column_bytes(st, column)).toHex();
                break;
            }
            }
        }
        out += '\n';
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

QByteArray csvDocument(const QList<Row> &rows)
{
    QList<Row> ordered = rows;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Row &a, const Row &b) { return a.sortSeconds < b.sortSeconds; });
    QByteArray out("id,timestamp,app,bundle_id,trigger,note,source");
    for (const Row &row : ordered)
        out += '\n' + row.csv;
    return out;
}

} // namespace OddStore
