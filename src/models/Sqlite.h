#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// Minimal RAII wrappers over the SQLite C API: one connection, prepared statements with
// positional binding, and errors as text.
class SqliteDatabase
{
public:
    SqliteDatabase() = default;
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;
    ~SqliteDatabase();

    // create false: the file must already exist.
    bool open(const QString &path, bool create, QString *error);
    // Reads the file as SQLite sees it, what its -wal holds included, writing to neither: without
    // a -wal the file alone, with one through its -shm opened read-only (an empty -shm is made
    // where none lies, as SQLite itself would).
    bool openUntouched(const QString &path, QString *error);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const;

    // Runs one or more statements that return no rows.
    bool exec(const char *sql, QString *error = nullptr);
    // The first column of the first row of a query that returns one integer.
    std::optional<qint64> queryInt(const char *sql, QString *error = nullptr);
    void setBusyTimeout(int milliseconds);

    QString lastError() const;
    // The extended result code of the last failed call (while closed, of the open that failed).
    int lastErrorCode() const;
    // The operating system's errno behind it, 0 when none.
    int lastSystemError() const;
    sqlite3 *handle() const { return m_db; }

private:
    bool openWith(const QByteArray &name, int flags, QString *error);

    friend class SqliteStatement;

    sqlite3 *m_db = nullptr;
    int m_openErrorCode = 14; // SQLITE_CANTOPEN
    // errno as the last failed call left it (cleared before each call).
    int m_failureErrno = 0;
};

class SqliteStatement
{
public:
    SqliteStatement(SqliteDatabase &db, const char *sql);
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;
    ~SqliteStatement();

    bool isValid() const { return m_stmt != nullptr; }

    void bind(int index, qint64 value);
    void bind(int index, double value);
    void bind(int index, const QString &value);
    // None binds NULL.
    void bind(int index, const std::optional<QString> &value);

    // Advances to the next row; false when done or failed (see failed()).
    bool step();
    // Executes a statement without rows and resets it for the next use.
    bool run();
    void reset();
    bool failed() const { return m_failed; }

    qint64 columnInt(int index) const;
    double columnDouble(int index) const;
    QString columnText(int index) const;
    // NULL gives none; an empty text stays an empty text.
    std::optional<QString> columnOptionalText(int index) const;
    bool columnIsNull(int index) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL, as stored.
    int columnType(int index) const;
    // The column's bytes as text (a number in SQLite's own spelling, a blob as it is), valid
    // until the next step.
    QByteArrayView columnBytes(int index) const;

private:
    SqliteDatabase &m_db;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_failed = false;
};
