#pragma once

#include "VorpEvent.h"

#include <QByteArray>
#include <memory>
#include <unordered_map>

class SqliteDatabase;
class SqliteStatement;

// One incident as a row of the VorpEvent table: reading a row back, keeping the bytes of every
// column that holds no readable value, and writing a record whole or only the columns an edit
// changed, so what the program could not read stays as it was.
namespace VorpEventRow {

// A set of EventField bits, plus `inserted` for a record not yet in the file.
using Fields = quint8;

constexpr Fields fieldBit(EventField field)
{
    return Fields(1u << int(field));
}
// A record not yet in the file: written whole.
inline constexpr Fields inserted = 1u << eventFieldCount;

// The fields in which two versions of a record differ.
Fields changedFields(const VorpEvent &a, const VorpEvent &b);

// The stored bytes kept for the columns `changed` did not change.
std::shared_ptr<const StoredBytes> keptUnreadable(const std::shared_ptr<const StoredBytes> &unreadable,
                                                  Fields changed);

// Decodes each distinct text once (defined with the reader).
class TextInterner;

// Reads the rows of `selectAll`, one after another. Texts that repeat across rows are decoded once.
class Reader
{
public:
    // Every incident row: its row id, then the columns in schema order.
    static const char selectAll[];

    Reader();
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // The record the statement's current row holds; an unreadable column reads as its fallback
    // and keeps its bytes in `unreadable`.
    VorpEvent read(const SqliteStatement &row);

private:
    std::unique_ptr<TextInterner> m_interner;
};

// Writes records into the table inside the caller's transaction; false when a statement failed
// (the connection holds the error).
class Writer
{
public:
    explicit Writer(SqliteDatabase &db);
    ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // Whether the statements could be prepared.
    bool isValid() const;
    // The whole record as a new row under its id; fails where a row of that id lies already, one
    // this store never read, which stays as it is.
    bool put(const VorpEvent &event);
    // Only the columns in `fields` (not `inserted`) of the row of the record's id.
    bool edit(const VorpEvent &event, Fields fields);
    bool remove(qint64 id);

private:
    SqliteDatabase &m_db;
    std::unique_ptr<SqliteStatement> m_put;
    std::unique_ptr<SqliteStatement> m_remove;
    // One UPDATE per set of columns, made on first use.
    std::unordered_map<Fields, std::unique_ptr<SqliteStatement>> m_edits;
};

} // namespace VorpEventRow
