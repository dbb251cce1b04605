#include "models/PrivateFiles.h"
#include "models/Store.h"
#include "support/FullDisk.h"
#include "support/MountNamespace.h"
#include "support/OddStore.h"
#include "support/StoredRecords.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

VorpEvent sampleEvent(const QDateTime &when, std::optional<QString> note = std::nullopt)
{
    return VorpEvent::make(when, QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal"),
                           QStringLiteral("build"), std::move(note), EventSource::shortcut);
}

// The child half of the crash test: log one incident, report, then wait to be killed.
int childLogAndWait(const QString &path)
{
    auto store = Store::open(path);
    if (!store)
        return 2;
    VorpEvent event = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'000), QStringLiteral("crash"));
    store->insert(event);
    if (!store->save())
        return 3;
    std::fputs("saved\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

// The rows a query gives, each column as text ("null" for NULL); empty when it cannot run. `uri`
// opens the file through a URI, read-only.
QList<QStringList> queryRows(const QString &path, const char *sql, const char *uri = nullptr)
{
    sqlite3 *db = nullptr;
    const auto closeDb = qScopeGuard([&] { sqlite3_close(db); });
    const QByteArray name = uri ? "file:" + QFile::encodeName(path) + uri : QFile::encodeName(path);
    const int flags = uri ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READWRITE;
    QList<QStringList> rows;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
            row << (text ? QString::fromUtf8(text) : QStringLiteral("null"));
        }
        rows << row;
    }
    sqlite3_finalize(st);
    return rows;
}

bool execute(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

constexpr int kFolded = 200;
constexpr int kLogged = 300;

QString noteOf(int incident)
{
    return QStringLiteral("incident %1 ").arg(incident).repeated(4);
}

// Logs incidents `from` to `to` (excluded) and saves them.
bool logIncidents(Store &store, int from, int to)
{
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    for (int i = from; i < to; ++i) {
        VorpEvent event = sampleEvent(base.addSecs(i), noteOf(i));
        store.insert(event);
    }
    return store.save();
}

// Saves kFolded incidents into the file and kLogged more into the -wal only, takes up the rest of
// the disk, then lets a checkpoint fail: the -wal now holds rows the torn file alone lacks.
bool fillDiskBehindTheWal(Store &store, const QString &filler)
{
    store.setCheckpointDelay(3'600'000);
    return logIncidents(store, 0, kFolded) && store.checkpoint() &&
           logIncidents(store, kFolded, kFolded + kLogged) && MountNamespace::fill(filler) &&
           !store.checkpoint();
}

// The child half of the full-disk kill: holds the store the disk filled up behind, then waits.
int childFillAndWait(const QString &path)
{
    auto store = Store::open(path);
    if (!store || !fillDiskBehindTheWal(*store, path + QStringLiteral(".filler")))
        return 2;
    std::fputs("full\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

} // namespace

class TestStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void recordsRoundTripThroughReopen();
    void changesAreVisibleBeforeSave();
    void savedIncidentSurvivesKill();
    void unusableFilesAreLeftUntouched_data();
    void unusableFilesAreLeftUntouched();
    void failedSaveKeepsChangesPending();
    void readOnlyFileSavesOnceWritable();
    void storeFileAloneHoldsEverySavedRecord_data();
    void storeFileAloneHoldsEverySavedRecord();
    void rowsTheTableRefusesStayPending();
    void removalsAndTriggerEditsPersist();
    void replacingATriggerKeyIsOneChange();
    void oddRowsLoadWithFallbacks();
    void editsWriteOnlyTheChangedColumn_data();
    void editsWriteOnlyTheChangedColumn();
    void storeFilesAreMadePrivate();
    void fullDiskKeepsChangesUntilThereIsRoom();
    void saveFailuresNameTheirCause_data();
    void saveFailuresNameTheirCause();
    void openingOnAFullDiskSaysSo();
    void fullDiskAtTheEndLeavesAReadableStore_data();
    void fullDiskAtTheEndLeavesAReadableStore();
    void newRowsNeverReplaceRowsTheStoreDidNotRead_data();
    void newRowsNeverReplaceRowsTheStoreDidNotRead();
    void triggerEditsKeepColumnsTheStoreDoesNotKnow();
    void removalsOfManyTakeWhatWasThereThen_data();
    void removalsOfManyTakeWhatWasThereThen();
    void pendingChangesCountEachRecordOnce_data();
    void pendingChangesCountEachRecordOnce();

private:
    QString storePath() const { return m_dir->filePath(QStringLiteral("Grumblix.store")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestStore::recordsRoundTripThroughReopen()
{
    const QDateTime when = QDateTime(QDate(2026, 12, 5), QTime(9, 30, 15, 250), Qt::UTC);
    VorpEvent full = sampleEvent(when, QStringLiteral("line one,\n\"two\" \u2014 \U0001F525"));
    VorpEvent bare = VorpEvent::make(when.addSecs(-60), std::nullopt, std::nullopt, std::nullopt,
                                     std::nullopt, EventSource::url);
    VorpEvent empty = VorpEvent::make(when.addSecs(60), QString(""), QString(""), QString(""), QString(""),
                                      EventSource::demo);
    Trigger trigger = Trigger::make(QStringLiteral("custom-abcdef12"), QStringLiteral("Printer"),
                                    QStringLiteral("\U0001F5A8\uFE0F"), 10, false);
    trigger.isHidden = true;
    {
        auto store = Store::open(storePath());
        QVERIFY(store);
        store->insert(full);
        store->insert(bare);
        store->insert(empty);
        store->insert(trigger);
        QVERIFY(store->save());
    }
    QString error;
    auto store = Store::open(storePath(), &error);
    QVERIFY2(store, qPrintable(error));
    const EventSnapshot events = store->events();
    QCOMPARE(events.size(), 3);
    // Oldest first.
    QCOMPARE(events[0].id, bare.id);
    QCOMPARE(events[1].id, full.id);
    QCOMPARE(events[2].id, empty.id);

    const VorpEvent &f = events[1];
    QCOMPARE(f.uuid, full.uuid);
    QCOMPARE(f.timestamp, when);
    QCOMPARE(f.appName, full.appName);
    QCOMPARE(f.bundleIdentifier, full.bundleIdentifier);
    QCOMPARE(f.triggerKey, full.triggerKey);
    QCOMPARE(f.note, full.note);
    QCOMPARE(f.sourceRaw, QStringLiteral("shortcut"));

    // Absent stays absent and empty stays empty.
    QVERIFY(!events[0].appName && !events[0].bundleIdentifier && !events[0].triggerKey && !events[0].note);
    QCOMPARE(events[2].appName, std::optional<QString>(QString()));
    QCOMPARE(events[2].note, std::optional<QString>(QString()));
    QVERIFY(events[2].note.has_value());

    QCOMPARE(store->triggers().size(), 1);
    const Trigger &t = store->triggers().first();
    QCOMPARE(t.id, trigger.id);
    QCOMPARE(t.key, trigger.key);
    QCOMPARE(t.emoji, trigger.emoji);
    QCOMPARE(t.sortOrder, 10);
    QVERIFY(t.isHidden && !t.isBuiltIn);

    // Absent texts are NULL in the file, never empty text; the pragmas hold.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(storePath().toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM VorpEvent WHERE note IS NULL", -1, &st, nullptr);
    QCOMPARE(sqlite3_step(st), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(st, 0), 1);
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr);
    QCOMPARE(sqlite3_step(st), SQLITE_ROW);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))), QByteArray("wal"));
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr);
    QCOMPARE(sqlite3_step(st), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(st, 0), Store::schemaVersion);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void TestStore::changesAreVisibleBeforeSave()
{
    auto store = Store::open(storePath());
    QVERIFY(store);
    QSignalSpy changed(store.get(), &Store::changed);
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    VorpEvent later = sampleEvent(base.addSecs(10));
    VorpEvent earlier = sampleEvent(base);
    store->insert(later);
    store->insert(earlier);
    QVERIFY(later.id != 0 && earlier.id != 0 && later.id != earlier.id);
    QCOMPARE(store->events().first().id, earlier.id);
    QVERIFY(store->hasPendingChanges());

    earlier.note = QStringLiteral("edited");
    QVERIFY(store->update(earlier));
    QCOMPARE(store->event(earlier.id)->note, earlier.note);
    QVERIFY(store->removeEvent(later.id));
    QVERIFY(!store->event(later.id));
    QCOMPARE(changed.count(), 4);
    QVERIFY(!store->update(later)); // gone

    QVERIFY(store->save());
    QVERIFY(!store->hasPendingChanges());
    store.reset();
    store = Store::open(storePath());
    QCOMPARE(store->events().size(), 1);
    QCOMPARE(store->events().first().note, std::optional<QString>(QStringLiteral("edited")));
}

void TestStore::savedIncidentSurvivesKill()
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GRUMBLIX_STORE_CHILD"), storePath());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("saved"));
    child.kill(); // SIGKILL: no destructor, no close
    QVERIFY(child.waitForFinished());

    auto store = Store::open(storePath());
    QVERIFY(store);
    QCOMPARE(store->events().size(), 1);
    QCOMPARE(store->events().first().note, std::optional<QString>(QStringLiteral("crash")));
}

void TestStore::unusableFilesAreLeftUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("garbage") << "garbage"
                             << "not a database";
    QTest::newRow("newer schema") << "newer"
                                  << "newer";
    QTest::newRow("missing table") << "foreign"
                                   << "no such table";
    QTest::newRow("another program's, no version") << "unversioned"
                                                   << "another program";
    QTest::newRow("another program's, in WAL use") << "unversioned-wal"
                                                   << "another program";
}

void TestStore::unusableFilesAreLeftUntouched()
{
    QFETCH(QString, kind);
    QFETCH(QString, errorPart);
    if (kind == QLatin1String("garbage")) {
        QFile file(storePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(8192, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131 + 7) & 0xff);
        file.write(bytes);
    }
    sqlite3 *db = nullptr;
    const auto closeDb = qScopeGuard([&] { sqlite3_close(db); });
    if (kind != QLatin1String("garbage")) {
        QCOMPARE(sqlite3_open(storePath().toUtf8(), &db), SQLITE_OK);
        const char *sql =
            kind == QLatin1String("newer")
                ? "CREATE TABLE VorpEvent (uuid TEXT); CREATE TABLE Trigger (key TEXT); PRAGMA user_version "
                  "= 7;"
            : kind == QLatin1String("foreign")
                ? "CREATE TABLE Other (x INTEGER); INSERT INTO Other VALUES (1); PRAGMA user_version = 1;"
            : kind == QLatin1String("unversioned")
                ? "CREATE TABLE Notes (x TEXT); INSERT INTO Notes VALUES ('mine');"
                // The other program is still running: its last rows are in the -wal only.
                : "PRAGMA journal_mode = WAL; CREATE TABLE Notes (x TEXT); INSERT INTO Notes VALUES "
                  "('mine');";
        QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        if (!kind.endsWith(QLatin1String("-wal"))) {
            sqlite3_close(db);
            db = nullptr;
        }
    }
    const QStringList sides = {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                               QStringLiteral("-journal")};
    QStringList before;
    for (const QString &side : sides)
        before << fileHash(storePath() + side);
    const QStringList filesBefore = QDir(m_dir->path()).entryList(QDir::Files);

    QString error;
    auto store = Store::open(storePath(), &error);
    QVERIFY(!store);
    QVERIFY2(error.contains(errorPart, Qt::CaseInsensitive), qPrintable(error));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), filesBefore);
    for (int i = 0; i < sides.size(); ++i) {
        // A live -shm is shared memory that every reader marks; only its presence is ours to keep.
        if (sides[i] == QLatin1String("-shm") && db)
            continue;
        QVERIFY2(fileHash(storePath() + sides[i]) == before[i], qPrintable(sides[i]));
    }
}

void TestStore::failedSaveKeepsChangesPending()
{
    auto store = Store::open(storePath());
    QVERIFY(store);
    store->setBusyTimeout(20);
    VorpEvent event = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC));

    // Another connection holds the write lock, so the save cannot write.
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(storePath().toUtf8(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    store->insert(event);
    QString error;
    QVERIFY(!store->save(&error));
    QVERIFY(!error.isEmpty());
    QVERIFY(store->hasPendingChanges());
    QCOMPARE(store->events().size(), 1); // still visible

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(store->save());
    QVERIFY(!store->hasPendingChanges());
    store.reset();
    QCOMPARE(Store::open(storePath())->events().size(), 1);
}

void TestStore::readOnlyFileSavesOnceWritable()
{
    // Root writes through any permission: the case is run as an ordinary user.
    if (const auto passed = Unprivileged::runTestFunction(QStringLiteral("readOnlyFileSavesOnceWritable"))) {
        QVERIFY(*passed);
        return;
    }
    Store::open(storePath()).reset();
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::ReadUser);
    if (QFileInfo(storePath()).isWritable())
        QSKIP("running with privileges that ignore file permissions");
    auto store = Store::open(storePath());
    QVERIFY(store);
    VorpEvent event = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC));
    store->insert(event);
    QVERIFY(!store->save());
    QCOMPARE(store->events().size(), 1);
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::transient);

    // SQLite made the -wal and -shm with the file's read-only mode; they must not keep the store
    // read-only once the file is writable again.
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    QVERIFY2(store->save(&error), qPrintable(error));
    // Later saves keep working on the fresh connection.
    VorpEvent second = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'100, Qt::UTC));
    store->insert(second);
    QVERIFY2(store->save(&error), qPrintable(error));
    store.reset();
    QCOMPARE(Store::open(storePath())->events().size(), 2);
}

void TestStore::storeFileAloneHoldsEverySavedRecord_data()
{
    QTest::addColumn<bool>("closed");
    QTest::newRow("closed at quit") << true;
    QTest::newRow("idle after a burst") << false;
}

void TestStore::storeFileAloneHoldsEverySavedRecord()
{
    QFETCH(bool, closed);
    auto store = Store::open(storePath());
    QVERIFY(store);
    store->setCheckpointDelay(50);
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    for (int i = 0; i < 20; ++i) {
        VorpEvent event = sampleEvent(base.addSecs(i));
        store->insert(event);
        QVERIFY(store->save());
    }
    if (closed)
        store->close();
    else
        QTRY_COMPARE(QFileInfo(storePath() + QStringLiteral("-wal")).size(), 0);

    // A backup that copies only the store file, while the program still has it open.
    const QString copy = m_dir->filePath(QStringLiteral("backup.store"));
    QVERIFY(QFile::copy(storePath(), copy));
    auto restored = Store::open(copy);
    QVERIFY(restored);
    QCOMPARE(restored->events().size(), 20);
    restored.reset();

    if (closed) {
        // A save after the close opens the store again.
        VorpEvent late = sampleEvent(base.addSecs(100));
        store->insert(late);
        QVERIFY(store->save());
        store.reset();
        QCOMPARE(Store::open(storePath())->events().size(), 21);
    }
}

void TestStore::rowsTheTableRefusesStayPending()
{
    // Our schema version, but the incident table gained a column that every insert leaves empty.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(storePath().toUtf8(), &db), SQLITE_OK);
    const char *sql = "CREATE TABLE VorpEvent (uuid TEXT NOT NULL, timestamp REAL NOT NULL, appName TEXT, "
                      "bundleIdentifier TEXT, triggerKey TEXT, note TEXT, sourceRaw TEXT NOT NULL, "
                      "mood TEXT NOT NULL);"
                      "CREATE TABLE Trigger (key TEXT NOT NULL, name TEXT NOT NULL, emoji TEXT NOT NULL, "
                      "sortOrder INTEGER NOT NULL, isBuiltIn INTEGER NOT NULL, isHidden INTEGER NOT NULL);"
                      "PRAGMA user_version = 1;";
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    auto store = Store::open(storePath());
    QVERIFY(store);
    QSignalSpy failed(store.get(), &Store::saveFailed);
    VorpEvent event = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC));
    store->insert(event);
    QString error;
    QVERIFY(!store->save(&error));
    QVERIFY2(error.contains(QStringLiteral("NOT NULL")), qPrintable(error));
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::permanent);
    QVERIFY(store->hasPendingChanges());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), error);
}

void TestStore::removalsAndTriggerEditsPersist()
{
    auto store = Store::open(storePath());
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    for (int i = 0; i < 6; ++i) {
        VorpEvent event = sampleEvent(base.addSecs(i));
        event.sourceRaw = i % 2 ? QStringLiteral("demo") : QStringLiteral("menuBar");
        store->insert(event);
    }
    Trigger a = Trigger::make(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("x"), 0, true);
    Trigger b = Trigger::make(QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("y"), 1, true);
    store->insert(a);
    store->insert(b);
    QVERIFY(store->save());

    QCOMPARE(store->removeEventsIf([](const VorpEvent &e) { return e.sourceRaw == QLatin1String("demo"); }),
             3);
    a.sortOrder = 5;
    QVERIFY(store->update(a));
    QCOMPARE(store->triggers().first().key, QStringLiteral("b")); // re-sorted at once
    QVERIFY(store->removeTrigger(b.id));
    QVERIFY(store->save());

    store.reset();
    store = Store::open(storePath());
    QCOMPARE(store->events().size(), 3);
    for (const VorpEvent &e : store->events())
        QCOMPARE(e.sourceRaw, QStringLiteral("menuBar"));
    QCOMPARE(store->triggers().size(), 1);
    QCOMPARE(store->triggers().first().sortOrder, 5);

    // New ids never collide with stored ones.
    VorpEvent fresh = sampleEvent(base);
    store->insert(fresh);
    for (const VorpEvent &e : store->events())
        QVERIFY(e.id != fresh.id || e.uuid == fresh.uuid);
}

void TestStore::replacingATriggerKeyIsOneChange()
{
    auto store = Store::open(storePath());
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const QList<std::optional<QString>> keys{QStringLiteral("gone"), std::nullopt, QStringLiteral("kept"),
                                             QStringLiteral("gone"), QStringLiteral("gone")};
    for (int i = 0; i < keys.size(); ++i) {
        VorpEvent event = sampleEvent(base.addSecs(i));
        event.triggerKey = keys[i];
        store->insert(event);
    }
    QVERIFY(store->save());
    const EventSnapshot before = store->events(); // a reader's snapshot stays as it was
    const quint64 rewrites = store->rewrites();

    QSignalSpy changes(store.get(), &Store::changed);
    QCOMPARE(store->replaceTriggerKey(QStringLiteral("gone"), std::nullopt), 3);
    QCOMPARE(changes.count(), 1);
    QVERIFY(store->rewrites() > rewrites);
    QCOMPARE(before.at(0).triggerKey, std::optional<QString>(QStringLiteral("gone")));
    QCOMPARE(store->replaceTriggerKey(QStringLiteral("gone"), std::nullopt), 0);
    QCOMPARE(changes.count(), 1); // nothing left to change, nothing announced
    QVERIFY(store->save());

    store.reset();
    store = Store::open(storePath());
    QList<std::optional<QString>> stored;
    for (const VorpEvent &e : store->events())
        stored << e.triggerKey;
    QCOMPARE(stored, (QList<std::optional<QString>>{std::nullopt, std::nullopt, QStringLiteral("kept"),
                                                    std::nullopt, std::nullopt}));
}

void TestStore::oddRowsLoadWithFallbacks()
{
    QVERIFY(OddStore::create(storePath(), OddStore::rows()));
    const QByteArray before = OddStore::dump(storePath());
    auto store = Store::open(storePath());
    QVERIFY(store);
    const auto row = [&](qint64 id) { return *store->event(id); };
    const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    // Times that name no moment show as the epoch; the stored bytes stay with the record.
    for (qint64 id : {2, 3, 4, 5}) {
        QCOMPARE(row(id).timestamp, epoch);
        QVERIFY(row(id).unreadableColumn(EventField::timestamp));
    }
    QCOMPARE(*row(4).unreadableColumn(EventField::timestamp), QByteArray("1.0e+20"));
    QCOMPARE(*row(5).unreadableColumn(EventField::timestamp), QByteArray("yesterday"));
    QCOMPARE(row(6).timestamp.date(), QDate(11476, 8, 15));
    QCOMPARE(row(1).timestamp, QDateTime::fromMSecsSinceEpoch(1'800'000'000'250, Qt::UTC));
    QVERIFY(!row(1).unreadable);
    QCOMPARE(*row(8).unreadableColumn(EventField::uuid), QByteArray("not-a-uuid"));
    QCOMPARE(*row(9).unreadableColumn(EventField::uuid), QByteArray());
    QCOMPARE(row(10).note, std::optional<QString>(QString()));
    QVERIFY(!row(10).unreadable);
    QCOMPARE(*row(11).unreadableColumn(EventField::note), QByteArray("A\xC3(B\"\xFF"));
    QVERIFY(!row(12).source());

    // Loading, an update that changes nothing and a save leave every byte as it was.
    for (const VorpEvent &event : store->events())
        QVERIFY(store->update(event));
    QVERIFY(!store->hasPendingChanges());
    QVERIFY(store->save());
    store->close();
    QCOMPARE(OddStore::dump(storePath()), before);
}

void TestStore::editsWriteOnlyTheChangedColumn_data()
{
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QByteArray>("sql"); // the same edit made by hand
    const QList<OddStore::Row> &rows = OddStore::rows();
    for (int i = 0; i < rows.size(); ++i) {
        const qint64 id = i + 1;
        QTest::addRow("note of %s", rows[i].label)
            << id
            << QByteArray("UPDATE VorpEvent SET note = 'edited' WHERE rowid = ") + QByteArray::number(id);
        QTest::addRow("trigger of %s", rows[i].label)
            << id
            << QByteArray("UPDATE VorpEvent SET triggerKey = 'work' WHERE rowid = ") + QByteArray::number(id);
    }
}

void TestStore::editsWriteOnlyTheChangedColumn()
{
    QFETCH(qint64, id);
    QFETCH(QByteArray, sql);
    const QString expectedPath = m_dir->filePath(QStringLiteral("expected.store"));
    QVERIFY(OddStore::create(storePath(), OddStore::rows()));
    QVERIFY(OddStore::create(expectedPath, OddStore::rows()));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(expectedPath.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    auto store = Store::open(storePath());
    QVERIFY(store);
    VorpEvent event = *store->event(id);
    const auto keptBefore = event.unreadable;
    if (sql.contains("note"))
        event.note = QStringLiteral("edited");
    else
        event.triggerKey = QStringLiteral("work");
    QVERIFY(store->update(event));
    QVERIFY(store->save());
    // What the program could not read is still there to show and export.
    const VorpEvent after = *store->event(id);
    for (int field = 0; field < eventFieldCount; ++field) {
        const auto f = EventField(field);
        if (f == EventField::note || f == EventField::triggerKey)
            continue;
        QCOMPARE(bool(after.unreadableColumn(f)), bool(keptBefore && (*keptBefore)[f]));
    }
    store->close();
    QCOMPARE(OddStore::dump(storePath()), OddStore::dump(expectedPath));
}

void TestStore::storeFilesAreMadePrivate()
{
    const QString folder = m_dir->filePath(QStringLiteral("data/Grumblix"));
    const QString path = folder + QStringLiteral("/Grumblix.store");
    // The usual umask, under which new files would be readable by everyone.
    const mode_t umaskBefore = ::umask(022);
    const auto restoreUmask = qScopeGuard([&] { ::umask(umaskBefore); });
    QString error;
    QVERIFY(PrivateFiles::makeFolder(folder));
    auto store = Store::open(path, &error);
    QVERIFY2(store, qPrintable(error));
    VorpEvent event = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'000));
    store->insert(event);
    QVERIFY(store->save());
    const auto mode = [](const QString &file) { return QFileInfo(file).permissions() & 0x7777; };
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QCOMPARE(mode(folder), owner | QFile::ExeOwner | QFile::ExeUser);
    QCOMPARE(mode(QFileInfo(folder).path()), owner | QFile::ExeOwner | QFile::ExeUser);
    for (const char *suffix : {"", "-wal", "-shm"}) {
        QVERIFY2(QFileInfo::exists(path + QLatin1String(suffix)), suffix);
        QCOMPARE(mode(path + QLatin1String(suffix)), owner);
    }
    store->close();

    // A store that already exists keeps the mode its owner gave it.
    const QString shared = m_dir->filePath(QStringLiteral("shared.store"));
    QVERIFY(QFile(shared).open(QIODevice::WriteOnly));
    const auto readable = owner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(shared, readable));
    QVERIFY(Store::open(shared));
    QCOMPARE(mode(shared), readable);
}

void TestStore::fullDiskKeepsChangesUntilThereIsRoom()
{
    FullDisk disk;
    auto store = Store::open(storePath());
    QVERIFY(store);
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    VorpEvent saved = sampleEvent(base);
    store->insert(saved);
    QVERIFY(store->save());
    QSignalSpy failed(store.get(), &Store::saveFailed);
    QSignalSpy written(store.get(), &Store::saved);

    disk.setFull(true);
    VorpEvent first = sampleEvent(base.addSecs(60), QStringLiteral("kept in memory"));
    store->insert(first);
    QString error;
    QVERIFY(!store->save(&error));
    QVERIFY(disk.refusedWrites() > 0);
    QCOMPARE(error, QStringLiteral("database or disk is full"));
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::transient);
    QCOMPARE(store->lastSaveCause(), Store::SaveCause::diskFull);
    QCOMPARE(store->lastSaveError(), error);
    // An edit made meanwhile waits with it; later tries fail the same way and lose nothing.
    VorpEvent edited = *store->event(saved.id);
    edited.triggerKey = QStringLiteral("email");
    QVERIFY(store->update(edited));
    QVERIFY(!store->save());
    QVERIFY(!store->save());
    QCOMPARE(failed.count(), 3);
    QCOMPARE(written.count(), 0);
    QCOMPARE(store->events().size(), 2);
    QCOMPARE(store->pendingChanges(), (Store::PendingChanges{1, 1}));

    disk.setFull(false);
    QVERIFY2(store->save(&error), qPrintable(error));
    QCOMPARE(written.count(), 1);
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::none);
    QCOMPARE(store->lastSaveCause(), Store::SaveCause::none);
    QVERIFY(store->lastSaveError().isEmpty());
    QCOMPARE(store->pendingChanges(), Store::PendingChanges{});
    store.reset();

    store = Store::open(storePath());
    QVERIFY(store);
    QCOMPARE(store->events().size(), 2);
    QCOMPARE(store->events().at(0).triggerKey, std::optional<QString>(QStringLiteral("email")));
    QCOMPARE(store->events().at(1).note, std::optional<QString>(QStringLiteral("kept in memory")));
}

void TestStore::saveFailuresNameTheirCause_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<Store::SaveCause>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("full disk") << "disk" << Store::SaveCause::diskFull << "database or disk is full";
    // SQLite's own words for it say nothing of the disk.
    QTest::newRow("full disk met while syncing")
        << "sync" << Store::SaveCause::diskFull << "the disk is full (disk I/O error)";
    QTest::newRow("another connection holds the lock")
        << "lock" << Store::SaveCause::locked << "database is locked";
}

void TestStore::saveFailuresNameTheirCause()
{
    QFETCH(QString, obstacle);
    QFETCH(Store::SaveCause, cause);
    QFETCH(QString, message);
    FullDisk disk;
    auto store = Store::open(storePath());
    QVERIFY(store);
    store->setBusyTimeout(10);
    sqlite3 *other = nullptr;
    const auto closeOther = qScopeGuard([&] { sqlite3_close(other); });
    if (obstacle == QLatin1String("lock")) {
        QCOMPARE(sqlite3_open(storePath().toUtf8(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    disk.setFull(obstacle != QLatin1String("lock"),
                 obstacle == QLatin1String("sync") ? FullDisk::Failing::syncs : FullDisk::Failing::writes);

    VorpEvent event = sampleEvent(QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC));
    store->insert(event);
    QString error;
    QVERIFY(!store->save(&error));
    QCOMPARE(store->lastSaveCause(), cause);
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::transient);
    QCOMPARE(store->lastSaveError(), error);
    QCOMPARE(error, message);

    // Undoing the change leaves nothing to write: the next save has nothing left to fail on.
    QVERIFY(store->removeEvent(event.id));
    QVERIFY(!store->hasPendingChanges());
    QVERIFY(store->save());
    QCOMPARE(store->lastSaveCause(), Store::SaveCause::none);
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::none);
}

void TestStore::pendingChangesCountEachRecordOnce_data()
{
    // Steps on a store holding one saved incident ("saved") and one saved trigger, while the disk
    // is full: n new incident, e edit it, d delete it (of the last new one, else of the saved
    // one), t new trigger, r delete it, u trigger edit.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("newIncidents");
    QTest::addColumn<int>("otherChanges");
    QTest::newRow("three new incidents") << "nnn" << 3 << 0;
    QTest::newRow("new incident filed and noted") << "nee" << 1 << 0;
    QTest::newRow("new incident deleted") << "nd" << 0 << 0;
    QTest::newRow("saved incident edited twice") << "ee" << 0 << 1;
    QTest::newRow("saved incident edited and deleted") << "ed" << 0 << 1;
    QTest::newRow("new incident, saved trigger edited, new trigger") << "nut" << 1 << 2;
    QTest::newRow("new trigger deleted") << "tr" << 0 << 0;
}

void TestStore::pendingChangesCountEachRecordOnce()
{
    QFETCH(QString, steps);
    QFETCH(int, newIncidents);
    QFETCH(int, otherChanges);
    FullDisk disk;
    auto store = Store::open(storePath());
    QVERIFY(store);
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    VorpEvent saved = sampleEvent(base);
    store->insert(saved);
    Trigger trigger = Trigger::make(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("x"), 0, true);
    store->insert(trigger);
    QVERIFY(store->save());

    disk.setFull(true);
    qint64 current = saved.id;
    qint64 newTrigger = 0;
    int edits = 0;
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'n': {
            VorpEvent event = sampleEvent(base.addSecs(60 + current));
            current = store->insert(event);
            break;
        }
        case 'e': {
            VorpEvent event = *store->event(current);
            event.note = QStringLiteral("edit %1").arg(++edits);
            QVERIFY(store->update(event));
            break;
        }
        case 'd':
            QVERIFY(store->removeEvent(current));
            break;
        case 't': {
            Trigger added =
                Trigger::make(QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("y"), 1, false);
            added.id = store->insert(added);
            newTrigger = added.id;
            break;
        }
        case 'r':
            QVERIFY(store->removeTrigger(newTrigger));
            break;
        case 'u': {
            Trigger edited = *store->trigger(trigger.id);
            edited.isHidden = true;
            QVERIFY(store->update(edited));
            break;
        }
        }
        store->save();
    }
    QCOMPARE(store->pendingChanges(), (Store::PendingChanges{newIncidents, otherChanges}));
    QCOMPARE(store->hasPendingChanges(), newIncidents + otherChanges > 0);

    // What was counted is what reaches the file once there is room.
    const qsizetype shown = store->events().size();
    disk.setFull(false);
    QVERIFY(store->save());
    QCOMPARE(store->pendingChanges(), Store::PendingChanges{});
    const QByteArray written = OddStore::dump(storePath());
    store.reset();
    QCOMPARE(Store::open(storePath())->events().size(), shown);
    QCOMPARE(written.count('\n'), shown);
}

void TestStore::openingOnAFullDiskSaysSo()
{
    // A store made on a disk with no room left: SQLite meets it growing the -shm or syncing, and
    // calls it an I/O error. (The program's own message on a real full disk: tst_storefailure.)
    FullDisk disk;
    disk.setFull(true, FullDisk::Failing::syncs);
    QString error;
    QVERIFY(!Store::open(storePath(), &error));
    QCOMPARE(error, QStringLiteral("the disk is full (disk I/O error)"));
}

void TestStore::fullDiskAtTheEndLeavesAReadableStore_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("closed at quit") << "close";
    QTest::newRow("killed") << "kill";
    // Nothing lets the -shm grow back while the disk is full.
    QTest::newRow("closed at quit, the -shm lost") << "close, -shm lost";
    // Folded whole and its side files gone: reading it needs a new -shm.
    QTest::newRow("closed with room, then the disk filled") << "clean";
}

void TestStore::fullDiskAtTheEndLeavesAReadableStore()
{
    QFETCH(QString, end);
    if (!MountNamespace::isInside()) {
        QString why;
        const std::optional<bool> passed = MountNamespace::runTestFunction(
            QStringLiteral("%1:%2").arg(QTest::currentTestFunction(), QTest::currentDataTag()), &why);
        if (!passed && ::geteuid() == 0)
            QFAIL(qPrintable(why));
        if (!passed)
            QSKIP(qPrintable(why));
        QVERIFY(*passed);
        return;
    }
    const QString folder = m_dir->filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(folder));
    const MountNamespace::Tmpfs tmpfs(folder, 1024 * 1024);
    QVERIFY(tmpfs.isMounted());
    const QString path = folder + QStringLiteral("/Grumblix.store");
    const QString filler = path + QStringLiteral(".filler");

    if (end == QLatin1String("kill")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GRUMBLIX_FULL_DISK_CHILD"), path);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("full"));
        child.kill();
        QVERIFY(child.waitForFinished());
    } else if (end == QLatin1String("clean")) {
        auto store = Store::open(path);
        QVERIFY(store);
        QVERIFY(logIncidents(*store, 0, kFolded + kLogged));
        store.reset();
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-shm")));
        QVERIFY(MountNamespace::fill(filler));
    } else {
        auto store = Store::open(path);
        QVERIFY(store);
        QVERIFY(fillDiskBehindTheWal(*store, filler));
        store->close();
        if (end.endsWith(QLatin1String("-shm lost"))) {
            QVERIFY(QFile::remove(path + QStringLiteral("-shm")));
            // Its pages go to the filler too.
            QVERIFY(MountNamespace::fill(filler));
        }
    }
    if (end != QLatin1String("clean")) {
        // The file alone is torn: the fault was to judge the store by it.
        QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 0);
        QVERIFY(queryRows(path, "SELECT count(*) FROM VorpEvent", "?immutable=1") !=
                QList<QStringList>{{QString::number(kFolded + kLogged)}});
    }

    const QList<QStringList> whole{{QStringLiteral("ok"), QString::number(kFolded + kLogged)}};
    const char *check = "SELECT (SELECT group_concat(integrity_check) FROM pragma_integrity_check), "
                        "(SELECT count(*) FROM VorpEvent)";
    for (const bool full : {true, false}) {
        if (!full)
            QVERIFY(QFile::remove(filler));
        QString error;
        auto store = Store::open(path, &error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->events().size(), kFolded + kLogged);
        QCOMPARE(store->events().last().note, std::optional(noteOf(kFolded + kLogged - 1)));
        store->close();
        store.reset();
        // Read as another program would, through the -wal; on the full disk without writing.
        QCOMPARE(queryRows(path, check, full ? "?mode=ro&readonly_shm=1" : nullptr), whole);
    }
    // With room, closing folded everything into the file.
    QCOMPARE(QFileInfo(path + QStringLiteral("-wal")).size(), 0);
    QCOMPARE(queryRows(path, check, "?immutable=1"), whole);
}

void TestStore::newRowsNeverReplaceRowsTheStoreDidNotRead_data()
{
    QTest::addColumn<QString>("record");
    QTest::newRow("incident") << "incident";
    QTest::newRow("trigger") << "trigger";
}

void TestStore::newRowsNeverReplaceRowsTheStoreDidNotRead()
{
    QFETCH(QString, record);
    const bool incident = record == QLatin1String("incident");
    auto store = Store::open(storePath());
    QVERIFY(store);
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    VorpEvent event = sampleEvent(base);
    store->insert(event);
    Trigger trigger = Trigger::make(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("x"), 0, true);
    store->insert(trigger);
    QVERIFY(store->save());

    // Another program writes behind the store's back (the writer lock is only advisory), at the
    // id the store gives its next record.
    const QByteArray sql =
        incident ? "INSERT INTO VorpEvent (rowid, uuid, timestamp, note, sourceRaw) VALUES (" +
                       QByteArray::number(event.id + 1) +
                       ", 'c0ffee00-0000-4000-8000-0000000000ff', 1, 'theirs', 'url')"
                 : "INSERT INTO Trigger (rowid, key, name, emoji, sortOrder, isBuiltIn, isHidden) VALUES (" +
                       QByteArray::number(trigger.id + 1) + ", 'theirs', 'Theirs', 'y', 5, 0, 0)";
    QVERIFY(execute(storePath(), sql.constData()));
    const char *table = incident ? "SELECT rowid, uuid, note FROM VorpEvent ORDER BY rowid"
                                 : "SELECT rowid, key, name FROM Trigger ORDER BY rowid";
    const QList<QStringList> before = queryRows(storePath(), table);
    QCOMPARE(before.size(), 2);

    QSignalSpy failed(store.get(), &Store::saveFailed);
    if (incident) {
        VorpEvent mine = sampleEvent(base.addSecs(60), QStringLiteral("mine"));
        QCOMPARE(store->insert(mine), event.id + 1);
    } else {
        Trigger mine = Trigger::make(QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("z"), 1, false);
        QCOMPARE(store->insert(mine), trigger.id + 1);
    }
    QString error;
    QVERIFY(!store->save(&error));
    QVERIFY2(error.contains(QLatin1String("UNIQUE constraint failed")), qPrintable(error));
    // Trying again cannot mend it: told as a failure of the file, the change kept.
    QCOMPARE(store->lastSaveFailure(), Store::SaveFailure::permanent);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(store->pendingChanges().total(), 1);
    QCOMPARE(queryRows(storePath(), table), before);
}

void TestStore::triggerEditsKeepColumnsTheStoreDoesNotKnow()
{
    // A later version's column, or another tool's: an edit writes only the trigger's own columns.
    QVERIFY(execute(storePath(),
                    "CREATE TABLE VorpEvent (uuid TEXT NOT NULL, timestamp REAL NOT NULL, appName TEXT, "
                    "bundleIdentifier TEXT, triggerKey TEXT, note TEXT, sourceRaw TEXT NOT NULL);"
                    "CREATE TABLE Trigger (key TEXT NOT NULL, name TEXT NOT NULL, emoji TEXT NOT NULL, "
                    "sortOrder INTEGER NOT NULL, isBuiltIn INTEGER NOT NULL, isHidden INTEGER NOT NULL, "
                    "colour TEXT);"
                    "INSERT INTO Trigger VALUES ('build', 'Build', 'b', 2, 1, 0, 'red');"
                    "PRAGMA user_version = 1;"));
    auto store = Store::open(storePath());
    QVERIFY(store);
    Trigger build = store->triggers().first();
    build.isHidden = true;
    build.sortOrder = 7;
    QVERIFY(store->update(build));
    QVERIFY(store->save());
    store->close();
    QCOMPARE(queryRows(storePath(), "SELECT rowid, key, sortOrder, isHidden, colour FROM Trigger"),
             (QList<QStringList>{{"1", "build", "7", "1", "red"}}));
}

void TestStore::removalsOfManyTakeWhatWasThereThen_data()
{
    // Steps on a store holding the saved incidents h1 and h2 (logged by hand) and d1 and d2
    // (demo), while the disk is full: E erases everything, R removes the demo incidents, h and d
    // log one of each kind ("h+", "d+"), x deletes h1, s makes h1 a demo incident, S makes d1 a
    // hand-logged one. Then there is room, and the file must hold what the store showed.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("newIncidents");
    QTest::addColumn<int>("otherChanges");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("erase") << "E" << 0 << 4 << QStringList{};
    QTest::newRow("log, then erase") << "hE" << 0 << 4 << QStringList{};
    QTest::newRow("erase, then log") << "Eh" << 1 << 4 << QStringList{"h+"};
    QTest::newRow("a deletion, then erase") << "xE" << 0 << 4 << QStringList{};
    QTest::newRow("remove demo") << "R" << 0 << 2 << QStringList{"h1", "h2"};
    QTest::newRow("remove demo twice") << "RR" << 0 << 2 << QStringList{"h1", "h2"};
    QTest::newRow("demo logged, then removed") << "dR" << 0 << 2 << QStringList{"h1", "h2"};
    QTest::newRow("remove demo, then demo and hand logged")
        << "Rdh" << 2 << 2 << QStringList{"h1", "h2", "d+", "h+"};
    QTest::newRow("remove demo, then erase, then demo logged") << "REd" << 1 << 4 << QStringList{"d+"};
    QTest::newRow("erase, then demo logged and removed") << "EdR" << 0 << 4 << QStringList{};
    // The file still holds the sources as saved, which a removal by source must not go by.
    QTest::newRow("a hand incident turned demo, then remove demo") << "sR" << 0 << 3 << QStringList{"h2"};
    QTest::newRow("a demo incident turned hand, then remove demo")
        << "SR" << 0 << 2 << QStringList{"d1", "h1", "h2"};
}

void TestStore::removalsOfManyTakeWhatWasThereThen()
{
    QFETCH(QString, steps);
    QFETCH(int, newIncidents);
    QFETCH(int, otherChanges);
    QFETCH(QStringList, kept);
    FullDisk disk;
    auto store = Store::open(storePath());
    QVERIFY(store);
    const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    QHash<QString, qint64> ids;
    int at = 0;
    const auto log = [&](const QString &note, EventSource source) {
        VorpEvent event = sampleEvent(base.addSecs(60 * at++), note);
        event.sourceRaw = rawValue(source);
        ids[note] = store->insert(event);
    };
    log(QStringLiteral("d1"), EventSource::demo);
    log(QStringLiteral("h1"), EventSource::shortcut);
    log(QStringLiteral("d2"), EventSource::demo);
    log(QStringLiteral("h2"), EventSource::shortcut);
    QVERIFY(store->save());
    const auto turn = [&](const QString &note, EventSource source) {
        VorpEvent event = *store->event(ids[note]);
        event.sourceRaw = rawValue(source);
        QVERIFY(store->update(event));
    };

    disk.setFull(true);
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'E':
            store->removeAllEvents();
            break;
        case 'R':
            store->removeEventsFrom(QStringLiteral("demo"));
            break;
        case 'h':
            log(QStringLiteral("h+"), EventSource::shortcut);
            break;
        case 'd':
            log(QStringLiteral("d+"), EventSource::demo);
            break;
        case 'x':
            QVERIFY(store->removeEvent(ids[QStringLiteral("h1")]));
            break;
        case 's':
            turn(QStringLiteral("h1"), EventSource::demo);
            break;
        case 'S':
            turn(QStringLiteral("d1"), EventSource::shortcut);
            break;
        }
        // Each change tried and failed, as the model saves after each.
        QVERIFY(!store->hasPendingChanges() || !store->save());
    }
    const auto described = [](const QList<VorpEvent> &events) {
        QStringList lines;
        for (const VorpEvent &event : events)
            lines << QStringLiteral("%1 %2 %3")
                         .arg(event.id)
                         .arg(event.note.value_or(QString()), event.sourceRaw);
        return lines;
    };
    const QList<VorpEvent> shown = store->events().toList();
    QStringList notes;
    for (const VorpEvent &event : shown)
        notes << *event.note;
    QCOMPARE(notes, kept);
    QCOMPARE(store->pendingChanges(), (Store::PendingChanges{newIncidents, otherChanges}));

    disk.setFull(false);
    QVERIFY(store->save());
    QVERIFY(!store->hasPendingChanges());
    QCOMPARE(described(StoredRecords::events(storePath())), described(shown));
}

int main(int argc, char **argv)
{
    const QString child = qEnvironmentVariable("GRUMBLIX_STORE_CHILD");
    if (!child.isEmpty()) {
        QCoreApplication app(argc, argv);
        return childLogAndWait(child);
    }
    const QString fullDiskChild = qEnvironmentVariable("GRUMBLIX_FULL_DISK_CHILD");
    if (!fullDiskChild.isEmpty()) {
        QCoreApplication app(argc, argv);
        return childFillAndWait(fullDiskChild);
    }
    QCoreApplication app(argc, argv);
    TestStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store.moc"
