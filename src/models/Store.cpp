#include "Store.h"

#include "PrivateFiles.h"
#include "Sqlite.h"
#include "VorpEventRow.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <sqlite3.h>

namespace {

const char kCreateSchema[] = R"(
BEGIN;
CREATE TABLE IF NOT EXISTS VorpEvent (
    uuid TEXT NOT NULL,
    timestamp REAL NOT NULL,
    appName TEXT,
    bundleIdentifier TEXT,
    triggerKey TEXT,
    note TEXT,
    sourceRaw TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS Trigger (
    key TEXT NOT NULL,
    name TEXT NOT NULL,
    emoji TEXT NOT NULL,
    sortOrder INTEGER NOT NULL,
    isBuiltIn INTEGER NOT NULL,
    isHidden INTEGER NOT NULL
);
PRAGMA user_version = 1;
COMMIT;
)";

// Failures that a later attempt may get past (a lock, a full disk, permissions) against those
// that come from the file itself and repeat on every try.
Store::SaveFailure failureKind(int code)
{
    switch (code & 0xff) {
    case SQLITE_ERROR:
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
    case SQLITE_FORMAT:
        return Store::SaveFailure::permanent;
    default:
        return Store::SaveFailure::transient;
    }
}

Store::SaveCause causeOf(int code, int systemError)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return Store::SaveCause::diskFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Store::SaveCause::locked;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Store::SaveCause::readOnly;
    case SQLITE_IOERR:
        // SQLite says SQLITE_FULL for ENOSPC on a write only; a quota, or a full disk met while
        // syncing, comes as an I/O error.
        if (systemError == ENOSPC || systemError == EDQUOT)
            return Store::SaveCause::diskFull;
        return Store::SaveCause::other;
    default:
        return Store::SaveCause::other;
    }
}

// SQLite's own words name a full disk only for a write that met ENOSPC ("database or disk is
// full"); met while syncing or growing the -shm, or as a quota, they say "disk I/O error".
QString failureText(const QString &message, int code, int systemError)
{
    if ((code & 0xff) != SQLITE_FULL && causeOf(code, systemError) == Store::SaveCause::diskFull)
        return QStringLiteral("the disk is full (%1)").arg(message);
    return message;
}

QString failureText(const SqliteDatabase &db, const QString &message)
{
    return failureText(message, db.lastErrorCode(), db.lastSystemError());
}

// The wal-index could not get the room it needs in the -shm.
bool noRoomForShm(const SqliteDatabase &db)
{
    const int code = db.lastErrorCode();
    const bool shm =
        code == SQLITE_IOERR_SHMOPEN || code == SQLITE_IOERR_SHMSIZE || code == SQLITE_IOERR_SHMMAP;
    return shm && (db.lastSystemError() == ENOSPC || db.lastSystemError() == EDQUOT);
}

bool eventBefore(const VorpEvent &a, const VorpEvent &b)
{
    return a.timestamp < b.timestamp;
}

} // namespace

Store::Store(const QString &path) : m_path(path), m_db(std::make_unique<SqliteDatabase>())
{
    // A burst of saves is followed by one checkpoint once they stop.
    m_checkpointTimer.setSingleShot(true);
    m_checkpointTimer.setInterval(2000);
    connect(&m_checkpointTimer, &QTimer::timeout, this, &Store::checkpoint);
}

Store::~Store() = default;

std::unique_ptr<Store> Store::open(const QString &path, QString *error, StoreLock lock)
{
    std::unique_ptr<Store> store(new Store(path));
    QString message;
    const auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return nullptr;
    };
    const auto failed = [&](const QString &text) { return fail(failureText(*store->m_db, text)); };

    const bool exists = QFileInfo::exists(path);
    if (exists && !QFileInfo(path).isFile())
        return fail(QStringLiteral("%1 is not a file").arg(path));
    // What the file is gets decided before anything may write to it, its -wal and -shm included.
    if (exists && !validate(path, &message))
        return fail(message);
    // Before anything writes to the file or its -wal: rows numbered by two writers would replace
    // each other's.
    if (!lock.isHeld())
        lock = StoreLock::acquire(QFile::encodeName(path).toStdString());
    if (!lock.isHeld())
        return fail(QString::fromStdString(lock.error()));
    store->m_lock = std::move(lock);
    // Made private before SQLite writes to it; its -wal and -shm take the file's mode.
    if (!exists)
        PrivateFiles::createFile(path);
    if (!store->m_db->open(path, !exists, &message))
        return failed(message);

    // A -wal left by a crash may hold what the file alone did not show: read again, still only
    // reading, before the first write.
    auto version = store->m_db->queryInt("PRAGMA user_version", &message);
    if (!version && exists && noRoomForShm(*store->m_db)) {
        // The first connection rebuilds the -shm, which a full disk may not have room for: the
        // wal-index then lives in this connection's memory, and the file is ours alone while open.
        store->m_ownIndex = true;
        if (!store->m_db->open(path, false, &message))
            return failed(message);
        store->m_db->exec("PRAGMA locking_mode = EXCLUSIVE");
        version = store->m_db->queryInt("PRAGMA user_version", &message);
    }
    if (!version)
        return failed(message);
    if (!acceptable(*store->m_db, *version, &message))
        return failed(message);
    if (*version == schemaVersion && !store->load(&message))
        return failed(message);

    store->configure(*store->m_db);
    if (*version < schemaVersion) {
        if (!store->m_db->exec(kCreateSchema, &message)) {
            const QString text = failureText(*store->m_db, message);
            store->m_db->exec("ROLLBACK");
            return fail(text);
        }
        if (!store->load(&message))
            return failed(message);
    }
    return store;
}

StoreLock Store::lockFor(const QString &path)
{
    const std::string name = QFile::encodeName(path).toStdString();
    QString unusable;
    if (QFileInfo::exists(path) && (!QFileInfo(path).isFile() || !validate(path, &unusable))) {
        // A writer that keeps the file to itself (a full disk, see open()) makes it read as locked:
        // busy then, not unusable. A lock file is looked at only where one lies already.
        if (QFileInfo::exists(QString::fromStdString(StoreLock::pathFor(name)))) {
            StoreLock held = StoreLock::acquire(name);
            if (held.isBusy())
                return held;
        }
        return {};
    }
    return StoreLock::acquire(name);
}

bool Store::validate(const QString &path, QString *error)
{
    SqliteDatabase probe;
    const bool ok = probe.openUntouched(path, error) && [&] {
        const auto version = probe.queryInt("PRAGMA user_version", error);
        return version && acceptable(probe, *version, error);
    }();
    if (!ok && error)
        *error = failureText(probe, *error);
    return ok;
}

bool Store::acceptable(SqliteDatabase &db, qint64 version, QString *error)
{
    if (version > schemaVersion) {
        *error =
            QStringLiteral("the store has schema version %1, newer than this version of Grumblix knows (%2)")
                .arg(version)
                .arg(schemaVersion);
        return false;
    }
    if (version == schemaVersion) {
        // A current store has both tables; without them it is not one this program can load.
        for (const char *table : {"VorpEvent", "Trigger"}) {
            SqliteStatement lookup(db,
                                   "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
            lookup.bind(1, QString::fromLatin1(table));
            if (!lookup.step()) {
                *error = db.lastError();
                return false;
            }
            if (lookup.columnInt(0) == 0) {
                *error = QStringLiteral("no such table: %1").arg(QLatin1String(table));
                return false;
            }
        }
    }
    if (version == 0) {
        // Our schema and its version are written in one transaction: a file without a version
        // but with tables belongs to some other program.
        const auto objects = db.queryInt("SELECT count(*) FROM sqlite_master", error);
        if (!objects)
            return false;
        if (*objects > 0) {
            *error = QStringLiteral("the file is a database of another program, not a Grumblix store");
            return false;
        }
    }
    return true;
}

void Store::configure(SqliteDatabase &db) const
{
    // Ahead of the first read, or it keeps the -shm.
    if (m_ownIndex)
        db.exec("PRAGMA locking_mode = EXCLUSIVE");
    db.setBusyTimeout(m_busyTimeout);
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = FULL");
    // Debian's SQLite zeroes every page a delete frees, so erasing 100,000 incidents would write
    // the whole table once more; FAST still clears a deleted row from every page kept in use.
    db.exec("PRAGMA secure_delete = FAST");
}

bool Store::load(QString *error)
{
    ++m_rewrites;
    m_events.clear();
    m_triggers.clear();

    QList<VorpEvent> loaded;
    if (const auto count = m_db->queryInt("SELECT count(*) FROM VorpEvent"))
        loaded.reserve(*count);
    VorpEventRow::Reader reader;
    SqliteStatement events(*m_db, VorpEventRow::Reader::selectAll);
    while (events.step()) {
        VorpEvent event = reader.read(events);
        m_nextEventId = std::max(m_nextEventId, event.id + 1);
        loaded.append(std::move(event));
    }
    if (events.failed()) {
        if (error)
            *error = m_db->lastError();
        return false;
    }
    // Rows are mostly stored in time order already; sorting here is cheaper than in SQL.
    if (!std::is_sorted(loaded.cbegin(), loaded.cend(), eventBefore))
        std::stable_sort(loaded.begin(), loaded.end(), eventBefore);
    m_events.assign(loaded);

    SqliteStatement triggers(*m_db, "SELECT rowid, key, name, emoji, sortOrder, isBuiltIn, isHidden "
                                    "FROM Trigger ORDER BY sortOrder, rowid");
    while (triggers.step()) {
        Trigger trigger;
        trigger.id = triggers.columnInt(0);
        trigger.key = triggers.columnText(1);
        trigger.name = triggers.columnText(2);
        trigger.emoji = triggers.columnText(3);
        trigger.sortOrder = int(triggers.columnInt(4));
        trigger.isBuiltIn = triggers.columnInt(5) != 0;
        trigger.isHidden = triggers.columnInt(6) != 0;
        m_nextTriggerId = std::max(m_nextTriggerId, trigger.id + 1);
        m_triggers.append(std::move(trigger));
    }
    if (triggers.failed()) {
        if (error)
            *error = m_db->lastError();
        return false;
    }
    return true;
}

QString Store::path() const
{
    return m_path;
}

qsizetype Store::indexOfEvent(qint64 id) const
{
    // From the end, where the incidents a user just logged and edits are.
    const EventSnapshot all = m_events.snapshot();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (it->id == id)
            return all.size() - 1 - (it - all.crbegin());
    }
    return -1;
}

std::optional<VorpEvent> Store::event(qint64 id) const
{
    const qsizetype at = indexOfEvent(id);
    if (at < 0)
        return std::nullopt;
    return m_events[at];
}

std::optional<Trigger> Store::trigger(qint64 id) const
{
    for (const Trigger &trigger : m_triggers) {
        if (trigger.id == id)
            return trigger;
    }
    return std::nullopt;
}

void Store::placeEvent(const VorpEvent &event)
{
    // Binary search for the first later incident; a new one usually lands at the end.
    qsizetype lo = 0;
    qsizetype hi = m_events.size();
    if (hi > 0 && !eventBefore(event, m_events[hi - 1])) {
        lo = hi;
    } else {
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (eventBefore(event, m_events[mid]))
                hi = mid;
            else
                lo = mid + 1;
        }
    }
    if (lo != m_events.size())
        ++m_rewrites;
    m_events.insert(lo, event);
}

void Store::sortTriggers()
{
    std::stable_sort(m_triggers.begin(), m_triggers.end(), [](const Trigger &a, const Trigger &b) {
        return a.sortOrder != b.sortOrder ? a.sortOrder < b.sortOrder : a.id < b.id;
    });
}

qint64 Store::insert(VorpEvent &event)
{
    event.id = m_nextEventId++;
    event.unreadable = nullptr;
    placeEvent(event);
    m_dirtyEvents.insert(event.id, VorpEventRow::inserted);
    Q_EMIT changed();
    return event.id;
}

qint64 Store::insert(Trigger &trigger)
{
    trigger.id = m_nextTriggerId++;
    m_triggers.append(trigger);
    sortTriggers();
    m_newTriggers.insert(trigger.id);
    Q_EMIT changed();
    return trigger.id;
}

bool Store::update(const VorpEvent &event)
{
    const qsizetype at = event.id == 0 ? -1 : indexOfEvent(event.id);
    if (at < 0)
        return false;
    // Only what changed is written, so a column the program could not read stays as it was.
    const VorpEvent &stored = m_events[at];
    const VorpEventRow::Fields fields = VorpEventRow::changedFields(stored, event);
    if (fields == 0)
        return true;
    VorpEvent edited = event;
    edited.unreadable = VorpEventRow::keptUnreadable(stored.unreadable, fields);
    ++m_rewrites;
    if (stored.timestamp == edited.timestamp) {
        m_events.replace(at, edited);
    } else {
        m_events.removeAt(at);
        placeEvent(edited);
    }
    m_dirtyEvents[event.id] |= fields;
    Q_EMIT changed();
    return true;
}

bool Store::update(const Trigger &trigger)
{
    const auto it = std::find_if(m_triggers.begin(), m_triggers.end(),
                                 [&](const Trigger &stored) { return stored.id == trigger.id; });
    if (trigger.id == 0 || it == m_triggers.end())
        return false;
    *it = trigger;
    sortTriggers();
    // A new one is written whole with what it holds by then.
    if (!m_newTriggers.contains(trigger.id))
        m_dirtyTriggers.insert(trigger.id);
    Q_EMIT changed();
    return true;
}

bool Store::removeEvent(qint64 id)
{
    return removeEventsIf([id](const VorpEvent &event) { return event.id == id; }) > 0;
}

bool Store::removeTrigger(qint64 id)
{
    const auto removed = m_triggers.removeIf([id](const Trigger &trigger) { return trigger.id == id; });
    if (removed == 0)
        return false;
    // One that never reached the file has no row to delete.
    if (!m_newTriggers.remove(id)) {
        m_dirtyTriggers.remove(id);
        m_deletedTriggers.insert(id);
    }
    Q_EMIT changed();
    return true;
}

bool Store::forgetRemoved(const VorpEvent &event)
{
    // One that never reached the file has no row to delete.
    const auto dirty = m_dirtyEvents.constFind(event.id);
    if (dirty == m_dirtyEvents.cend())
        return true;
    const bool written = !(*dirty & VorpEventRow::inserted);
    m_dirtyEvents.erase(dirty);
    return written;
}

int Store::removeEventsIf(const std::function<bool(const VorpEvent &)> &predicate)
{
    const auto removed = m_events.removeIf([&](const VorpEvent &event) {
        if (!predicate(event))
            return false;
        if (forgetRemoved(event))
            m_deletedEvents.insert(event.id);
        return true;
    });
    if (removed > 0) {
        ++m_rewrites;
        Q_EMIT changed();
    }
    return int(removed);
}

int Store::removeAllEvents()
{
    const qsizetype removed = m_events.size();
    if (removed == 0)
        return 0;
    // Every incident of the file that the save would have deleted one way or another.
    qsizetype rows = removed + m_deletedEvents.size();
    for (const quint8 fields : std::as_const(m_dirtyEvents)) {
        if (fields & VorpEventRow::inserted)
            --rows;
    }
    for (const Sweep &sweep : std::as_const(m_sweeps))
        rows += sweep.rows;
    // Deleting every row takes what any earlier removal would have.
    m_sweeps.clear();
    if (rows > 0)
        m_sweeps.append(Sweep{std::nullopt, int(rows), 0, 0});
    m_dirtyEvents.clear();
    m_deletedEvents.clear();
    m_events.clear();
    ++m_rewrites;
    Q_EMIT changed();
    return int(removed);
}

int Store::removeEventsFrom(const QString &source)
{
    // An unsaved edit of a row's source leaves the file's row another source than the one shown,
    // which a statement by source would misjudge: such a removal goes row by row.
    for (const quint8 fields : std::as_const(m_dirtyEvents)) {
        if (!(fields & VorpEventRow::inserted) && (fields & VorpEventRow::fieldBit(EventField::sourceRaw)))
            return removeEventsIf([&](const VorpEvent &event) { return event.sourceRaw == source; });
    }
    Sweep taken{source, 0, std::numeric_limits<qint64>::max(), 0};
    const auto removed = m_events.removeIf([&](const VorpEvent &event) {
        if (event.sourceRaw != source)
            return false;
        if (m_dirtyEvents.isEmpty() || forgetRemoved(event)) {
            ++taken.rows;
            taken.first = std::min(taken.first, event.id);
            taken.last = std::max(taken.last, event.id);
        }
        return true;
    });
    if (removed == 0)
        return 0;
    if (taken.rows > 0) {
        // Removals run together ahead of everything else, so one of a source counts for all.
        const auto same = std::find_if(m_sweeps.begin(), m_sweeps.end(), [&](const Sweep &sweep) {
            return !sweep.source || *sweep.source == source;
        });
        if (same == m_sweeps.end()) {
            m_sweeps.append(taken);
        } else {
            same->rows += taken.rows;
            same->first = std::min(same->first, taken.first);
            same->last = std::max(same->last, taken.last);
        }
    }
    ++m_rewrites;
    Q_EMIT changed();
    return int(removed);
}

int Store::replaceTriggerKey(const QString &key, const std::optional<QString> &replacement)
{
    const auto affected = [&](const VorpEvent &event) {
        return event.triggerKey == key && event.triggerKey != replacement;
    };
    // Only the chunks holding such an incident are written (copied first if a snapshot reads them).
    const int changed = int(m_events.editIf(affected, [&](VorpEvent &event) {
        event.triggerKey = replacement;
        const VorpEventRow::Fields field = VorpEventRow::fieldBit(EventField::triggerKey);
        event.unreadable = VorpEventRow::keptUnreadable(event.unreadable, field);
        m_dirtyEvents[event.id] |= field;
    }));
    if (changed > 0) {
        ++m_rewrites;
        Q_EMIT this->changed();
    }
    return changed;
}

bool Store::hasPendingChanges() const
{
    return !m_dirtyEvents.isEmpty() || !m_deletedEvents.isEmpty() || !m_sweeps.isEmpty() ||
           !m_newTriggers.isEmpty() || !m_dirtyTriggers.isEmpty() || !m_deletedTriggers.isEmpty();
}

Store::PendingChanges Store::pendingChanges() const
{
    PendingChanges pending;
    for (const quint8 fields : m_dirtyEvents) {
        if (fields & VorpEventRow::inserted)
            ++pending.newIncidents;
        else
            ++pending.otherChanges;
    }
    pending.otherChanges += int(m_deletedEvents.size() + m_newTriggers.size() + m_dirtyTriggers.size() +
                                m_deletedTriggers.size());
    for (const Sweep &sweep : m_sweeps)
        pending.otherChanges += sweep.rows;
    return pending;
}

void Store::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    m_db->setBusyTimeout(milliseconds);
}

bool Store::reopenIfReadOnly()
{
    // A connection made while the file or its folder was write-protected stays read-only, and one
    // that met a read-only -wal or -shm keeps failing: after the protection is lifted only a
    // fresh connection can write.
    if (m_db->isOpen() && !m_db->isReadOnly() && !m_needsReopen)
        return true;
    m_db->close();
    takeBackSideFiles();
    auto fresh = std::make_unique<SqliteDatabase>();
    if (!fresh->open(m_path, false, nullptr) || fresh->isReadOnly())
        return false;
    configure(*fresh);
    m_db = std::move(fresh);
    m_needsReopen = false;
    return true;
}

void Store::takeBackSideFiles() const
{
    // SQLite makes -wal and -shm with the file's mode of the moment; made while the file was
    // read-only they would keep every later connection read-only. Ours, they follow the file.
    const QFileInfo file(m_path);
    if (!file.isWritable())
        return;
    const QFileDevice::Permissions mode = QFile::permissions(m_path);
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = m_path + QLatin1String(suffix);
        const QFileInfo info(side);
        if (info.exists() && !info.isSymLink() && info.ownerId() == file.ownerId() && !info.isWritable())
            QFile::setPermissions(side, mode);
    }
}

bool Store::checkpoint()
{
    if (!m_db->isOpen() || m_db->isReadOnly())
        return false;
    // TRUNCATE empties the -wal, so the store file alone holds every saved record.
    return m_db->exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

void Store::close()
{
    m_checkpointTimer.stop();
    checkpoint();
    m_db->close();
}

void Store::setCheckpointDelay(int milliseconds)
{
    m_checkpointTimer.setInterval(milliseconds);
}

Store::SaveFailure Store::lastSaveFailure() const
{
    return m_lastFailure;
}

Store::SaveCause Store::lastSaveCause() const
{
    return m_lastCause;
}

QString Store::lastSaveError() const
{
    return m_lastError;
}

bool Store::save(QString *error)
{
    const auto succeed = [&] {
        m_lastFailure = SaveFailure::none;
        m_lastCause = SaveCause::none;
        m_lastError.clear();
        Q_EMIT saved();
        return true;
    };
    // Nothing to write (what failed may have been undone since): nothing is left unsaved.
    if (!hasPendingChanges())
        return succeed();
    const auto fail = [&](const QString &message, int code, int systemError) {
        const QString text = failureText(message, code, systemError);
        m_lastFailure = failureKind(code);
        m_lastCause = causeOf(code, systemError);
        m_lastError = text;
        // A read-only -wal or -shm fails the write, not the open: the next save starts afresh.
        if ((code & 0xff) == SQLITE_READONLY)
            m_needsReopen = true;
        if (error)
            *error = text;
        Q_EMIT saveFailed(text);
        return false;
    };
    if (!reopenIfReadOnly())
        return fail(QStringLiteral("the store file is read-only"), SQLITE_READONLY, 0);
    QString message;
    if (!m_db->exec("BEGIN IMMEDIATE", &message))
        return fail(message, m_db->lastErrorCode(), m_db->lastSystemError());

    bool ok = true;
    {
        VorpEventRow::Writer rows(*m_db);
        // A new trigger is a new row: one already at its id was never read here and stays.
        SqliteStatement addTrigger(*m_db, "INSERT INTO Trigger (key, name, emoji, sortOrder, isBuiltIn, "
                                          "isHidden, rowid) VALUES (?, ?, ?, ?, ?, ?, ?)");
        SqliteStatement editTrigger(*m_db, "UPDATE Trigger SET key = ?, name = ?, emoji = ?, sortOrder = ?, "
                                           "isBuiltIn = ?, isHidden = ? WHERE rowid = ?");
        SqliteStatement dropTrigger(*m_db, "DELETE FROM Trigger WHERE rowid = ?");
        ok = rows.isValid() && addTrigger.isValid() && editTrigger.isValid() && dropTrigger.isValid();

        // Before the changes made after them: what was logged since a removal of many stays.
        for (auto it = m_sweeps.cbegin(); ok && it != m_sweeps.cend(); ++it) {
            // By its ids too, so the table is read only where the incidents it took lie (demo
            // data added in one go lies together).
            SqliteStatement sweep(
                *m_db, it->source ? "DELETE FROM VorpEvent WHERE rowid BETWEEN ? AND ? AND sourceRaw = ?"
                                  : "DELETE FROM VorpEvent");
            if (it->source) {
                sweep.bind(1, it->first);
                sweep.bind(2, it->last);
                sweep.bind(3, *it->source);
            }
            ok = sweep.run();
        }
        for (auto it = m_deletedEvents.cbegin(); ok && it != m_deletedEvents.cend(); ++it)
            ok = rows.remove(*it);
        if (ok && !m_dirtyEvents.isEmpty()) {
            // From the end, where new incidents are, stopping once every changed one is written.
            qsizetype left = m_dirtyEvents.size();
            const EventSnapshot all = m_events.snapshot();
            for (auto it = all.crbegin(); left > 0 && it != all.crend(); ++it) {
                const VorpEvent &event = *it;
                const auto dirty = m_dirtyEvents.constFind(event.id);
                if (dirty == m_dirtyEvents.cend())
                    continue;
                --left;
                // An edit writes its own columns alone.
                const VorpEventRow::Fields fields = *dirty;
                ok = fields & VorpEventRow::inserted ? rows.put(event) : rows.edit(event, fields);
                if (!ok)
                    break;
            }
        }
        for (auto it = m_deletedTriggers.cbegin(); ok && it != m_deletedTriggers.cend(); ++it) {
            dropTrigger.bind(1, *it);
            ok = dropTrigger.run();
        }
        for (const Trigger &trigger : std::as_const(m_triggers)) {
            if (!ok)
                break;
            const bool added = m_newTriggers.contains(trigger.id);
            if (!added && !m_dirtyTriggers.contains(trigger.id))
                continue;
            SqliteStatement &put = added ? addTrigger : editTrigger;
            put.bind(1, trigger.key);
            put.bind(2, trigger.name);
            put.bind(3, trigger.emoji);
            put.bind(4, qint64(trigger.sortOrder));
            put.bind(5, qint64(trigger.isBuiltIn));
            put.bind(6, qint64(trigger.isHidden));
            put.bind(7, trigger.id);
            ok = put.run();
        }
        if (!ok)
            message = m_db->lastError();
    }
    if (ok && !m_db->exec("COMMIT", &message))
        ok = false;
    if (!ok) {
        const int code = m_db->lastErrorCode();
        const int systemError = m_db->lastSystemError();
        m_db->exec("ROLLBACK");
        return fail(message, code, systemError);
    }
    m_checkpointTimer.start();
    m_dirtyEvents.clear();
    m_deletedEvents.clear();
    m_sweeps.clear();
    m_newTriggers.clear();
    m_dirtyTriggers.clear();
    m_deletedTriggers.clear();
    return succeed();
}
