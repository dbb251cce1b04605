#include "Sqlite.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const QString &path, bool create, QString *error)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    return openWith(path.toUtf8(), flags, error);
}

bool SqliteDatabase::openUntouched(const QString &path, QString *error)
{
    const QByteArray file = QFile::encodeName(path);
    struct stat wal = {};
    const bool logged = ::lstat(file + "-wal", &wal) == 0 && S_ISREG(wal.st_mode) && wal.st_size > 0;
    // Without a -wal the file is all there is, read without a lock or a side file. With one, the
    // file alone may be half of what was saved: a fold of the -wal that ran out of room leaves
    // it torn until the -wal is folded in again.
    const char *mode = "?immutable=1";
    if (logged) {
        // A read-only connection needs a -shm to read a -wal through; it only reads this one.
        struct stat info = {};
        if (::stat(file.constData(), &info) == 0) {
            const int shm = ::open(file + "-shm", O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                   info.st_mode & 0777);
            if (shm >= 0)
                ::close(shm);
        }
        mode = "?mode=ro&readonly_shm=1";
    }
    const QByteArray uri = QByteArrayLiteral("file:") + path.toUtf8().toPercentEncoding("/") + mode;
    return openWith(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, error);
}

bool SqliteDatabase::openWith(const QByteArray &name, int flags, QString *error)
{
    close();
    errno = 0;
    const int rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
    m_failureErrno = errno;
    if (rc != SQLITE_OK) {
        if (error)
            *error = m_db ? lastError() : QString::fromUtf8(sqlite3_errstr(rc));
        // Kept past the close, so the caller can still tell why.
        m_openErrorCode = m_db ? sqlite3_extended_errcode(m_db) : rc;
        if (m_db && sqlite3_system_errno(m_db) != 0)
            m_failureErrno = sqlite3_system_errno(m_db);
        close();
        return false;
    }
    m_openErrorCode = SQLITE_CANTOPEN;
    m_failureErrno = 0;
    sqlite3_extended_result_codes(m_db, 1);
    return true;
}

void SqliteDatabase::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool SqliteDatabase::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

bool SqliteDatabase::exec(const char *sql, QString *error)
{
    char *message = nullptr;
    errno = 0;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK)
        m_failureErrno = errno;
    if (rc != SQLITE_OK && error)
        *error = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_free(message);
    return rc == SQLITE_OK;
}

std::optional<qint64> SqliteDatabase::queryInt(const char *sql, QString *error)
{
    SqliteStatement statement(*this, sql);
    if (statement.isValid() && statement.step())
        return statement.columnInt(0);
    if (error)
        *error = lastError();
    return std::nullopt;
}

void SqliteDatabase::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

int SqliteDatabase::lastErrorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : m_openErrorCode;
}

int SqliteDatabase::lastSystemError() const
{
    if (!m_db)
        return m_failureErrno;
    // SQLite 3.40 keeps no errno for most failures of a statement (a commit, the -shm); the
    // -wal's file keeps the one a write or sync met, and errno still holds it after the call.
    const int code = sqlite3_extended_errcode(m_db);
    if (code == SQLITE_IOERR_WRITE || code == SQLITE_IOERR_FSYNC || code == SQLITE_IOERR_TRUNCATE) {
        sqlite3_file *wal = nullptr;
        int met = 0;
        if (sqlite3_file_control(m_db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &wal) == SQLITE_OK && wal &&
            wal->pMethods && wal->pMethods->xFileControl(wal, SQLITE_FCNTL_LAST_ERRNO, &met) == SQLITE_OK &&
            met != 0)
            return met;
    }
    return m_failureErrno != 0 ? m_failureErrno : sqlite3_system_errno(m_db);
}

QString SqliteDatabase::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no database");
}

SqliteStatement::SqliteStatement(SqliteDatabase &db, const char *sql) : m_db(db)
{
    errno = 0;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        m_db.m_failureErrno = errno;
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_failed = true;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bind(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
}

void SqliteStatement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bind(int index, const std::optional<QString> &value)
{
    if (value)
        bind(index, *value);
    else
        sqlite3_bind_null(m_stmt, index);
}

bool SqliteStatement::step()
{
    if (!m_stmt)
        return false;
    errno = 0;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_db.m_failureErrno = errno;
    }
    return false;
}

bool SqliteStatement::run()
{
    if (!m_stmt)
        return false;
    m_failed = false;
    step();
    const bool ok = !m_failed;
    reset();
    return ok;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

qint64 SqliteStatement::columnInt(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

double SqliteStatement::columnDouble(int index) const
{
    return sqlite3_column_double(m_stmt, index);
}

QString SqliteStatement::columnText(int index) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, index));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, index));
}

std::optional<QString> SqliteStatement::columnOptionalText(int index) const
{
    if (sqlite3_column_type(m_stmt, index) == SQLITE_NULL)
        return std::nullopt;
    return columnText(index);
}

bool SqliteStatement::columnIsNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

int SqliteStatement::columnType(int index) const
{
    return sqlite3_column_type(m_stmt, index);
}

QByteArrayView SqliteStatement::columnBytes(int index) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, index));
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, index));
}
