#include "models/Store.h"
#include "models/StoreLock.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string encoded(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// The child half: holds the store's lock with a note, reports, then waits to be killed.
int childHoldAndWait(const QString &storePath)
{
    StoreLock lock = StoreLock::acquire(encoded(storePath));
    if (!lock.isHeld() || !lock.note("/child/grumblix.socket"))
        return 2;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

} // namespace

class TestStoreLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void oneWriterPerStoreInOneProcess();
    void noteIsReadOnlyWhileHeld();
    void anotherProcessHoldsItUntilItDies();
    void startedProgramsDoNotInheritIt();
    void aWriterThatKeepsTheFileToItselfIsBusy();
    void untrustedLockFilesAreNotUsed_data();
    void untrustedLockFilesAreNotUsed();

private:
    QString storePath() const { return m_dir->filePath(QStringLiteral("Grumblix.store")); }
    QProcess *startHolder();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_holder;
};

void TestStoreLock::init()
{
    if (m_holder) {
        m_holder->kill();
        m_holder->waitForFinished();
        m_holder.reset();
    }
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QProcess *TestStoreLock::startHolder()
{
    m_holder = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GRUMBLIX_LOCK_CHILD"), storePath());
    m_holder->setProcessEnvironment(env);
    m_holder->start(QCoreApplication::applicationFilePath(), {});
    if (!m_holder->waitForStarted() || !m_holder->waitForReadyRead(10000) ||
        m_holder->readLine().trimmed() != "held")
        return nullptr;
    return m_holder.get();
}

void TestStoreLock::oneWriterPerStoreInOneProcess()
{
    // Two stores over one file in one process are two writers too.
    QString error;
    std::unique_ptr<Store> first = Store::open(storePath(), &error);
    QVERIFY2(first, qPrintable(error));
    std::unique_ptr<Store> second = Store::open(storePath(), &error);
    QVERIFY(!second);
    QCOMPARE(error, QStringLiteral("another Grumblix writes to it"));

    StoreLock third = StoreLock::acquire(encoded(storePath()));
    QVERIFY(!third.isHeld());
    QVERIFY(third.isBusy());

    // Gone with the store that held it.
    first.reset();
    second = Store::open(storePath(), &error);
    QVERIFY2(second, qPrintable(error));
}

void TestStoreLock::noteIsReadOnlyWhileHeld()
{
    QCOMPARE(StoreLock::readNote(encoded(storePath())), std::nullopt);
    {
        StoreLock lock = StoreLock::acquire(encoded(storePath()));
        QVERIFY(lock.isHeld());
        // Held, but nothing noted yet: the holder is starting.
        QCOMPARE(StoreLock::readNote(encoded(storePath())), std::nullopt);
        QVERIFY(lock.note("/run/user/1000/grumblix.socket"));
        QCOMPARE(StoreLock::readNote(encoded(storePath())),
                 (StoreLock::Note{::getpid(), "/run/user/1000/grumblix.socket"}));
        QVERIFY(!lock.note("two\nlines"));

        StoreLock other = StoreLock::acquire(encoded(storePath()));
        QVERIFY(other.isBusy());
        QCOMPARE(other.error(), "another Grumblix (process " + std::to_string(::getpid()) + ") writes to it");
    }
    // A note left behind by a writer that is gone says nothing.
    QFile file(QString::fromStdString(StoreLock::pathFor(encoded(storePath()))));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("4242\n/stale/grumblix.socket\n");
    file.close();
    QCOMPARE(StoreLock::readNote(encoded(storePath())), std::nullopt);
    // Taking the lock clears it.
    StoreLock lock = StoreLock::acquire(encoded(storePath()));
    QVERIFY(lock.isHeld());
    QCOMPARE(QFileInfo(file.fileName()).size(), 0);
}

void TestStoreLock::anotherProcessHoldsItUntilItDies()
{
    QProcess *holder = startHolder();
    QVERIFY(holder);
    QString error;
    QVERIFY(!Store::open(storePath(), &error));
    QCOMPARE(error, QStringLiteral("another Grumblix (process %1) writes to it").arg(holder->processId()));
    QCOMPARE(StoreLock::readNote(encoded(storePath()))->address, "/child/grumblix.socket");

    // SIGKILL: no destructor ran, yet the kernel let go of the lock.
    holder->kill();
    QVERIFY(holder->waitForFinished());
    QCOMPARE(StoreLock::readNote(encoded(storePath())), std::nullopt);
    QVERIFY2(Store::open(storePath(), &error), qPrintable(error));
}

void TestStoreLock::startedProgramsDoNotInheritIt()
{
    std::optional<StoreLock> lock = StoreLock::acquire(encoded(storePath()));
    QVERIFY(lock->isHeld());
    // A program this one starts (an emoji picker, a browser) outlives it without its lock.
    QProcess sleeper;
    sleeper.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(sleeper.waitForStarted());
    lock.reset();
    StoreLock next = StoreLock::acquire(encoded(storePath()));
    sleeper.kill();
    sleeper.waitForFinished();
    QVERIFY(next.isHeld());
}

void TestStoreLock::aWriterThatKeepsTheFileToItselfIsBusy()
{
    QVERIFY(Store::open(storePath()));
    StoreLock writer = StoreLock::acquire(encoded(storePath()));
    QVERIFY(writer.isHeld());
    // As a writer on a full disk holds it: the file's own lock, kept, so no reader gets in.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
    const auto closeDb = qScopeGuard([&] { sqlite3_close(db); });
    QCOMPARE(
        sqlite3_exec(db,
                     "PRAGMA locking_mode = EXCLUSIVE; INSERT INTO VorpEvent (uuid, timestamp, sourceRaw) "
                     "VALUES ('a', 0, 'demo');",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    const StoreLock second = Store::lockFor(storePath());
    QVERIFY(!second.isHeld());
    QVERIFY(second.isBusy());

    // With nobody holding the writer lock, a file that cannot be read is refused, not busy.
    writer = StoreLock();
    const StoreLock third = Store::lockFor(storePath());
    QVERIFY(!third.isHeld());
    QVERIFY(!third.isBusy());
}

void TestStoreLock::untrustedLockFilesAreNotUsed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("symbolic link") << QStringLiteral("link");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("writable by others") << QStringLiteral("writable");
}

void TestStoreLock::untrustedLockFilesAreNotUsed()
{
    QFETCH(QString, kind);
    const QString lockPath = QString::fromStdString(StoreLock::pathFor(encoded(storePath())));
    const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere"));
    if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, lockPath));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(lockPath));
    } else {
        StoreLock holder = StoreLock::acquire(encoded(storePath()));
        QVERIFY(holder.note("/run/user/1000/grumblix.socket"));
        QVERIFY(::chmod(QFile::encodeName(lockPath).constData(), 0666) == 0);
        // Anyone could have written that note.
        QCOMPARE(StoreLock::readNote(encoded(storePath())), std::nullopt);
        return;
    }
    StoreLock lock = StoreLock::acquire(encoded(storePath()));
    QVERIFY(!lock.isHeld());
    QVERIFY(!lock.isBusy());
    QVERIFY2(QString::fromStdString(lock.error()).startsWith(QStringLiteral("its lock file ")),
             lock.error().c_str());
    QVERIFY(!QFile::exists(elsewhere));
    QCOMPARE(StoreLock::readNote(encoded(storePath())), std::nullopt);
}

int main(int argc, char **argv)
{
    const QString child = qEnvironmentVariable("GRUMBLIX_LOCK_CHILD");
    QCoreApplication app(argc, argv);
    if (!child.isEmpty())
        return childHoldAndWait(child);
    TestStoreLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storelock.moc"
