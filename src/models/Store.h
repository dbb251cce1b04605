#pragma once

#include "EventSnapshot.h"
#include "StoreLock.h"
#include "Trigger.h"
#include "VorpEvent.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>
#include <memory>

class SqliteDatabase;

// The SQLite file of incidents and triggers, held in memory as a unit of work: inserts, edits and
// deletes are visible to every query at once and written by save() in one transaction. A failed
// save keeps them pending and a later save retries them. WAL journal, synchronous=FULL, so a save
// that returned true survives a crash or a power cut.
class Store : public QObject
{
    Q_OBJECT
public:
    static constexpr int schemaVersion = 1;

    // Opens the file, creating it (not its folder) when missing. Returns null with *error set when
    // the file is not a store this program can use, or another program writes to it; such a file
    // is left byte for byte as it was. The store is this process's to write for as long as it
    // lives: it holds the file's writer lock (see StoreLock), `lock` when that is held already.
    static std::unique_ptr<Store> open(const QString &path, QString *error = nullptr, StoreLock lock = {});
    // The writer lock of the store at `path` (its folder must exist), taken only when the file is
    // missing or one open() would use, so nothing is made beside a file it refuses. Not held
    // otherwise: busy when another program writes the store.
    static StoreLock lockFor(const QString &path);
    ~Store() override;

    QString path() const;

    // Incidents by timestamp ascending (ties in insertion order), as a snapshot that later changes
    // leave as it is (see EventSnapshot); triggers by sortOrder ascending.
    EventSnapshot events() const { return m_events.snapshot(); }
    const QList<Trigger> &triggers() const { return m_triggers; }
    std::optional<VorpEvent> event(qint64 id) const;
    std::optional<Trigger> trigger(qint64 id) const;

    // Changes. Inserting assigns the record's id; update and remove of an unknown id do nothing
    // and return false.
    qint64 insert(VorpEvent &event);
    qint64 insert(Trigger &trigger);
    bool update(const VorpEvent &event);
    bool update(const Trigger &trigger);
    bool removeEvent(qint64 id);
    bool removeTrigger(qint64 id);
    // Removes every incident the predicate accepts; returns how many.
    int removeEventsIf(const std::function<bool(const VorpEvent &)> &predicate);
    // Removes every incident, or every one whose sourceRaw is `source`, at once in memory and with
    // one statement at the next save, ahead of the changes made since, so what is logged after it
    // stays. The statement takes every such row of the file (of a source: among the ids of those
    // removed), ones put there by another program too. Returns how many were removed.
    int removeAllEvents();
    int removeEventsFrom(const QString &source);
    // Files every incident whose triggerKey is `key` under `replacement` (none: uncategorized) in
    // one pass with one change notice; returns how many changed.
    int replaceTriggerKey(const QString &key, const std::optional<QString> &replacement);

    // Counts the changes that touched incidents already in the list: edits, removals and inserts
    // that did not land at the end. While it stays the same, events() only grew at its end, so a
    // caller may keep figures over a prefix and add the rest.
    quint64 rewrites() const { return m_rewrites; }

    bool hasPendingChanges() const;
    // What waits to be written, each record once: incidents not yet in the file, and every other
    // change (an incident edited or removed, a trigger added, changed or removed; each incident of
    // the file a removal of many takes away). A record removed before it was ever written leaves
    // nothing to write.
    struct PendingChanges
    {
        int newIncidents = 0;
        int otherChanges = 0;
        int total() const { return newIncidents + otherChanges; }
        bool operator==(const PendingChanges &) const = default;
    };
    PendingChanges pendingChanges() const;
    // Writes every pending change in one transaction; false (and *error) leaves them pending.
    bool save(QString *error = nullptr);

    // How long a save waits for another connection's lock before it fails.
    void setBusyTimeout(int milliseconds);

    // Why the last save failed: a transient failure (a lock, a full disk, a write-protected
    // file) may pass on a later try; a permanent one (a constraint or schema the rows do not
    // fit) comes from the file itself and repeats on every try.
    enum class SaveFailure
    {
        none,
        transient,
        permanent,
    };
    SaveFailure lastSaveFailure() const;
    // What stopped the last save, as far as the file system or SQLite says.
    enum class SaveCause
    {
        none,
        diskFull, // no room left, or the quota used up
        locked,   // another connection holds the write lock
        readOnly, // the file, its folder or a side file may not be written
        other,
    };
    SaveCause lastSaveCause() const;
    // SQLite's message for the last failed save, led by "the disk is full" where that is the cause
    // and SQLite's words do not say so; empty after a save that succeeded.
    QString lastSaveError() const;

    // Moves everything saved from the -wal into the file, so the file alone is a full copy.
    // Runs by itself this long after the last save of a burst (2 s).
    bool checkpoint();
    void setCheckpointDelay(int milliseconds);
    // Checkpoints and closes the connection (at quit); a later save opens it again.
    void close();

Q_SIGNALS:
    // Any change of the records, saved or not.
    void changed();
    // A save failed; its changes stay pending (see lastSaveFailure()).
    void saveFailed(const QString &error);
    // A save succeeded: nothing is pending any more.
    void saved();

private:
    explicit Store(const QString &path);
    bool load(QString *error);
    static bool validate(const QString &path, QString *error);
    static bool acceptable(SqliteDatabase &db, qint64 version, QString *error);
    void configure(SqliteDatabase &db) const;
    bool reopenIfReadOnly();
    void takeBackSideFiles() const;
    void placeEvent(const VorpEvent &event);
    // Drops what waits to be written for a removed incident; whether it was in the file.
    bool forgetRemoved(const VorpEvent &event);
    qsizetype indexOfEvent(qint64 id) const;
    void sortTriggers();

    QString m_path;
    StoreLock m_lock;
    std::unique_ptr<SqliteDatabase> m_db;
    int m_busyTimeout = 2000;
    QTimer m_checkpointTimer;
    SaveFailure m_lastFailure = SaveFailure::none;
    SaveCause m_lastCause = SaveCause::none;
    QString m_lastError;
    bool m_needsReopen = false;
    // Opened without a -shm (no room for one): every connection keeps its wal-index in memory.
    bool m_ownIndex = false;
    EventChunks m_events;
    QList<Trigger> m_triggers;
    quint64 m_rewrites = 0;
    qint64 m_nextEventId = 1;
    qint64 m_nextTriggerId = 1;
    // Per pending incident, the fields to write, or the whole new record (VorpEventRow::Fields).
    QHash<qint64, quint8> m_dirtyEvents;
    QSet<qint64> m_deletedEvents;
    // Removals of many incidents, each one statement run first at the next save: none deletes
    // every row, a source the rows of that sourceRaw with ids from `first` to `last`. `rows`: the
    // incidents of the file it takes.
    struct Sweep
    {
        std::optional<QString> source;
        int rows = 0;
        qint64 first = 0;
        qint64 last = 0;
    };
    QList<Sweep> m_sweeps;
    QSet<qint64> m_newTriggers;
    QSet<qint64> m_dirtyTriggers;
    QSet<qint64> m_deletedTriggers;
};
