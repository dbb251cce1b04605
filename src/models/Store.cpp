#include "Store.h"

#include "Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <deque>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>

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

// Timestamps are stored as seconds since the Unix epoch, with millisecond precision.
double toStored(const QDateTime &timestamp)
{
    return double(timestamp.toMSecsSinceEpoch()) / 1000.0;
}

QDateTime fromStored(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0), Qt::UTC);
}

// Application names, bundle identifiers, trigger keys and sources repeat across thousands of
// incidents; decoding each once and sharing the QString keeps loading fast and memory small.
class TextInterner
{
public:
    QString text(QByteArrayView bytes)
    {
        const std::string_view key(bytes.data(), size_t(bytes.size()));
        if (const auto found = m_texts.find(key); found != m_texts.end())
            return found->second;
        const std::string &stored = m_keys.emplace_back(key);
        const QString decoded = QString::fromUtf8(bytes);
        m_texts.emplace(std::string_view(stored), decoded);
        return decoded;
    }
    std::optional<QString> optionalText(const SqliteStatement &row, int column)
    {
        if (row.columnIsNull(column))
            return std::nullopt;
        return text(row.columnBytes(column));
    }

private:
    std::deque<std::string> m_keys;
    std::unordered_map<std::string_view, QString> m_texts;
};

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

std::unique_ptr<Store> Store::open(const QString &path, QString *error)
{
    std::unique_ptr<Store> store(new Store(path));
    QString message;
    const auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return nullptr;
    };

    const bool exists = QFileInfo::exists(path);
    if (exists && !QFileInfo(path).isFile())
        return fail(QStringLiteral("%1 is not a file").arg(path));
    // What the file is gets decided before anything may write to it, its -wal and -shm included.
    if (exists && !validate(path, &message))
        return fail(message);
    if (!store->m_db->open(path, !exists, &message))
        return fail(message);

    // A -wal left by a crash may hold what the file alone did not show: read again, still only
    // reading, before the first write.
    const auto version = store->m_db->queryInt("PRAGMA user_version", &message);
    if (!version)
        return fail(message);
    if (!acceptable(*store->m_db, *version, &message))
        return fail(message);
    if (*version == schemaVersion && !store->load(&message))
        return fail(message);

    store->configure(*store->m_db);
    if (*version < schemaVersion) {
        if (!store->m_db->exec(kCreateSchema, &message)) {
            store->m_db->exec("ROLLBACK");
            return fail(message);
        }
        if (!store->load(&message))
            return fail(message);
    }
    return store;
}

bool Store::validate(const QString &path, QString *error)
{
    SqliteDatabase probe;
    if (!probe.openUntouched(path, error))
        return false;
    const auto version = probe.queryInt("PRAGMA user_version", error);
    return version && acceptable(probe, *version, error);
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
    db.setBusyTimeout(m_busyTimeout);
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = FULL");
}

bool Store::load(QString *error)
{
    ++m_rewrites;
    m_events.clear();
    m_triggers.clear();

    QList<VorpEvent> loaded;
    if (const auto count = m_db->queryInt("SELECT count(*) FROM VorpEvent"))
        loaded.reserve(*count);
    TextInterner interner;
    SqliteStatement events(*m_db, "SELECT rowid, uuid, timestamp, appName, bundleIdentifier, triggerKey, "
                                  "note, sourceRaw FROM VorpEvent ORDER BY rowid");
    while (events.step()) {
        VorpEvent event;
        event.id = events.columnInt(0);
        event.uuid = QUuid::fromString(QAnyStringView(QUtf8StringView(events.columnBytes(1))));
        event.timestamp = fromStored(events.columnDouble(2));
        event.appName = interner.optionalText(events, 3);
        event.bundleIdentifier = interner.optionalText(events, 4);
        event.triggerKey = interner.optionalText(events, 5);
        event.note = events.columnOptionalText(6);
        event.sourceRaw = interner.text(events.columnBytes(7));
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
    placeEvent(event);
    m_dirtyEvents.insert(event.id);
    Q_EMIT changed();
    return event.id;
}

qint64 Store::insert(Trigger &trigger)
{
    trigger.id = m_nextTriggerId++;
    m_triggers.append(trigger);
    sortTriggers();
    m_dirtyTriggers.insert(trigger.id);
    Q_EMIT changed();
    return trigger.id;
}

bool Store::update(const VorpEvent &event)
{
    const qsizetype at = event.id == 0 ? -1 : indexOfEvent(event.id);
    if (at < 0)
        return false;
    ++m_rewrites;
    if (m_events[at].timestamp == event.timestamp) {
        m_events.replace(at, event);
    } else {
        m_events.removeAt(at);
        placeEvent(event);
    }
    m_dirtyEvents.insert(event.id);
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
    m_dirtyTriggers.remove(id);
    m_deletedTriggers.insert(id);
    Q_EMIT changed();
    return true;
}

int Store::removeEventsIf(const std::function<bool(const VorpEvent &)> &predicate)
{
    const auto removed = m_events.removeIf([&](const VorpEvent &event) {
        if (!predicate(event))
            return false;
        m_dirtyEvents.remove(event.id);
        m_deletedEvents.insert(event.id);
        return true;
    });
    if (removed > 0) {
        ++m_rewrites;
        Q_EMIT changed();
    }
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
        m_dirtyEvents.insert(event.id);
    }));
    if (changed > 0) {
        ++m_rewrites;
        Q_EMIT this->changed();
    }
    return changed;
}

bool Store::hasPendingChanges() const
{
    return !m_dirtyEvents.isEmpty() || !m_deletedEvents.isEmpty() || !m_dirtyTriggers.isEmpty() ||
           !m_deletedTriggers.isEmpty();
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

bool Store::save(QString *error)
{
    if (!hasPendingChanges())
        return true;
    const auto fail = [&](const QString &text, int code) {
        m_lastFailure = failureKind(code);
        // A read-only -wal or -shm fails the write, not the open: the next save starts afresh.
        if ((code & 0xff) == SQLITE_READONLY)
            m_needsReopen = true;
        if (error)
            *error = text;
        Q_EMIT saveFailed(text);
        return false;
    };
    if (!reopenIfReadOnly())
        return fail(QStringLiteral("the store file is read-only"), SQLITE_READONLY);
    QString message;
    if (!m_db->exec("BEGIN IMMEDIATE", &message))
        return fail(message, m_db->lastErrorCode());

    bool ok = true;
    {
        SqliteStatement putEvent(*m_db, "INSERT OR REPLACE INTO VorpEvent (rowid, uuid, timestamp, appName, "
                                        "bundleIdentifier, triggerKey, note, sourceRaw) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        SqliteStatement dropEvent(*m_db, "DELETE FROM VorpEvent WHERE rowid = ?");
        SqliteStatement putTrigger(*m_db,
                                   "INSERT OR REPLACE INTO Trigger (rowid, key, name, emoji, sortOrder, "
                                   "isBuiltIn, isHidden) VALUES (?, ?, ?, ?, ?, ?, ?)");
        SqliteStatement dropTrigger(*m_db, "DELETE FROM Trigger WHERE rowid = ?");
        ok = putEvent.isValid() && dropEvent.isValid() && putTrigger.isValid() && dropTrigger.isValid();

        for (auto it = m_deletedEvents.cbegin(); ok && it != m_deletedEvents.cend(); ++it) {
            dropEvent.bind(1, *it);
            ok = dropEvent.run();
        }
        if (ok && !m_dirtyEvents.isEmpty()) {
            // From the end, where new incidents are, stopping once every changed one is written.
            qsizetype left = m_dirtyEvents.size();
            const EventSnapshot all = m_events.snapshot();
            for (auto it = all.crbegin(); left > 0 && it != all.crend(); ++it) {
                const VorpEvent &event = *it;
                if (!m_dirtyEvents.contains(event.id))
                    continue;
                --left;
                putEvent.bind(1, event.id);
                putEvent.bind(2, event.uuid.toString(QUuid::WithoutBraces));
                putEvent.bind(3, toStored(event.timestamp));
                putEvent.bind(4, event.appName);
                putEvent.bind(5, event.bundleIdentifier);
                putEvent.bind(6, event.triggerKey);
                putEvent.bind(7, event.note);
                putEvent.bind(8, event.sourceRaw);
                if (!(ok = putEvent.run()))
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
            if (!m_dirtyTriggers.contains(trigger.id))
                continue;
            putTrigger.bind(1, trigger.id);
            putTrigger.bind(2, trigger.key);
            putTrigger.bind(3, trigger.name);
            putTrigger.bind(4, trigger.emoji);
            putTrigger.bind(5, qint64(trigger.sortOrder));
            putTrigger.bind(6, qint64(trigger.isBuiltIn));
            putTrigger.bind(7, qint64(trigger.isHidden));
            ok = putTrigger.run();
        }
        if (!ok)
            message = m_db->lastError();
    }
    if (ok && !m_db->exec("COMMIT", &message))
        ok = false;
    if (!ok) {
        const int code = m_db->lastErrorCode();
        m_db->exec("ROLLBACK");
        return fail(message, code);
    }
    m_lastFailure = SaveFailure::none;
    m_checkpointTimer.start();
    m_dirtyEvents.clear();
    m_deletedEvents.clear();
    m_dirtyTriggers.clear();
    m_deletedTriggers.clear();
    return true;
}
