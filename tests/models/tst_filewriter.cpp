#include "models/FileWriter.h"
#include "support/Unprivileged.h"
#include "support/WriteStandIns.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef __NR_cachestat
#define __NR_cachestat 451
#endif

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QByteArray payload(qsizetype size)
{
    QByteArray bytes(size, 'x');
    for (qsizetype i = 0; i < size; i += 61)
        bytes[i] = '\n';
    return bytes;
}

// What of a file the writer holds open waits for the disk: the pages, as the kernel counts them
// (cachestat(2), Linux 6.5 on), or the bytes after those the writer waited for.
std::atomic_bool g_countPages{false};
std::atomic<qint64> g_written{0};
std::atomic<qint64> g_settled{0};
std::atomic<qint64> g_mostUnsettled{0};

struct CachestatRange
{
    quint64 offset;
    quint64 length;
};
struct Cachestat
{
    quint64 cached, dirty, writeback, evicted, recentlyEvicted;
};

std::optional<qint64> unsettledPageBytes(int fd)
{
    CachestatRange whole{0, 0};
    Cachestat stat{};
    if (::syscall(__NR_cachestat, fd, &whole, &stat, 0) != 0)
        return std::nullopt;
    return qint64(stat.dirty + stat.writeback) * ::sysconf(_SC_PAGESIZE);
}

ssize_t countingWrite(int fd, const void *data, size_t size)
{
    const ssize_t written = ::write(fd, data, size);
    if (written > 0)
        g_written += written;
    const qint64 unsettled = g_countPages ? unsettledPageBytes(fd).value_or(0) : g_written - g_settled;
    g_mostUnsettled = std::max<qint64>(g_mostUnsettled, unsettled);
    return written;
}

int recordingSyncRange(int fd, off_t offset, off_t count, unsigned int flags)
{
    // Waited for from the start on: what is settled grows without a gap.
    if (flags & SYNC_FILE_RANGE_WAIT_AFTER && offset <= g_settled)
        g_settled = std::max<qint64>(g_settled, offset + count);
    return ::sync_file_range(fd, offset, count, flags);
}

std::atomic<int> g_syncCalls{0};
std::atomic<int> g_syncError{0};

int failingSyncRange(int, off_t, off_t, unsigned int)
{
    ++g_syncCalls;
    errno = g_syncError;
    return -1;
}

// A folder on a disk, where written pages wait for write-back; none when there is only tmpfs.
std::unique_ptr<QTemporaryDir> diskFolder()
{
    for (const QString &base : {QDir::tempPath(), QCoreApplication::applicationDirPath()}) {
        struct statfs info
        {
        };
        if (::statfs(QFile::encodeName(base).constData(), &info) != 0 || info.f_type == TMPFS_MAGIC)
            continue;
        auto dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/filewriter-XXXXXX"));
        if (dir->isValid())
            return dir;
    }
    return nullptr;
}

} // namespace

// The atomic file writer every export uses: the target is replaced whole or not at all, and a
// failure says the system's own reason.
class TestFileWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replacesWhole();
    void sendsALargeFileToTheDiskAsItGoes_data();
    void sendsALargeFileToTheDiskAsItGoes();
    void writeBehindFailures_data();
    void writeBehindFailures();
    void fullDiskKeepsTheOldFileAndSaysWhy_data();
    void fullDiskKeepsTheOldFileAndSaysWhy();
    void unwritablePlacesSayWhy_data();
    void unwritablePlacesSayWhy();
    void fileWeMayNotWriteSaysWhy();
    void failureTexts_data();
    void failureTexts();
};

void TestFileWriter::replacesWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QVERIFY(FileWriter::writeAll(path, "old, longer than what replaces it"));
    FileWriter writer(path);
    QVERIFY(writer.open());
    QVERIFY(writer.write("new "));
    QVERIFY(writer.write(payload(300'000)));
    // Nothing shows before the commit.
    QCOMPARE(fileBytes(path), QByteArray("old, longer than what replaces it"));
    QVERIFY(writer.commit());
    QCOMPARE(fileBytes(path), "new " + payload(300'000));
    QVERIFY(writer.errorString().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.csv")});
}

void TestFileWriter::sendsALargeFileToTheDiskAsItGoes_data()
{
    QTest::addColumn<bool>("countPages");
    QTest::addColumn<qint64>("batch");
    QTest::newRow("page cache, CSV batches") << true << qint64(256 * 1024);
    QTest::newRow("page cache, one write") << true << qint64(0);
    QTest::newRow("recorded, CSV batches") << false << qint64(256 * 1024);
    QTest::newRow("recorded, odd batches") << false << qint64(1'000'003);
    QTest::newRow("recorded, one write") << false << qint64(0);
}

void TestFileWriter::sendsALargeFileToTheDiskAsItGoes()
{
    QFETCH(bool, countPages);
    QFETCH(qint64, batch);
    const std::unique_ptr<QTemporaryDir> dir = diskFolder();
    if (!dir)
        QSKIP("no folder on a disk: tmpfs has nothing to write back");
    const QString path = dir->filePath(QStringLiteral("out.csv"));
    if (countPages) {
        QFile probe(path);
        QVERIFY(probe.open(QIODevice::WriteOnly));
        if (!unsettledPageBytes(probe.handle()))
            QSKIP("the kernel cannot count a file's pages waiting for the disk (cachestat)");
    }
    g_countPages = countPages;
    g_written = g_settled = g_mostUnsettled = 0;
    FileWriter::setSystemWrite(&countingWrite);
    FileWriter::setSystemSyncRange(&recordingSyncRange);
    const auto restore = qScopeGuard([] {
        FileWriter::setSystemWrite(nullptr);
        FileWriter::setSystemSyncRange(nullptr);
    });

    // Left to the final sync, all 24 MB would wait for the disk at once.
    const QByteArray bytes = payload(24 * 1024 * 1024);
    FileWriter writer(path);
    QVERIFY(writer.open());
    for (qsizetype at = 0; at < bytes.size(); at += batch ? batch : bytes.size())
        QVERIFY(writer.write(QByteArrayView(bytes).sliced(at).first(
            std::min<qsizetype>(batch ? batch : bytes.size(), bytes.size() - at))));
    // Two steps, each overshot by up to a write.
    const qint64 bound = 2 * (FileWriter::writeBehindStep + std::max<qint64>(batch, 4096));
    QVERIFY2(g_mostUnsettled <= bound, QByteArray::number(g_mostUnsettled.load()));
    if (!countPages)
        QVERIFY(g_settled > 0);
    QVERIFY(writer.commit());
    QVERIFY(fileBytes(path) == bytes);
}

void TestFileWriter::writeBehindFailures_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("succeeds");
    // Where write-back cannot be asked for, the final sync does it all.
    QTest::newRow("not on this file system") << EINVAL << true;
    QTest::newRow("not in this kernel") << ENOSYS << true;
    QTest::newRow("disk fails") << EIO << false;
    QTest::newRow("disk full") << ENOSPC << false;
}

void TestFileWriter::writeBehindFailures()
{
    QFETCH(int, error);
    QFETCH(bool, succeeds);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QVERIFY(FileWriter::writeAll(path, "old"));
    g_syncCalls = 0;
    g_syncError = error;
    FileWriter::setSystemSyncRange(&failingSyncRange);
    const auto restore = qScopeGuard([] { FileWriter::setSystemSyncRange(nullptr); });

    const QByteArray bytes = payload(5 * FileWriter::writeBehindStep);
    FileWriter writer(path);
    QVERIFY(writer.open());
    bool wrote = true;
    for (qsizetype at = 0; at < bytes.size() && wrote; at += 256 * 1024)
        wrote = writer.write(QByteArrayView(bytes).sliced(at, 256 * 1024));
    QCOMPARE(wrote && writer.commit(), succeeds);
    // Asked once: a writer that cannot write behind does not ask at every step.
    QCOMPARE(g_syncCalls.load(), 1);
    if (succeeds) {
        QVERIFY(writer.errorString().isEmpty());
        QVERIFY(fileBytes(path) == bytes);
    } else {
        QCOMPARE(writer.errorString(), qt_error_string(error));
        QCOMPARE(fileBytes(path), QByteArray("old"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.csv")});
}

void TestFileWriter::fullDiskKeepsTheOldFileAndSaysWhy_data()
{
    QTest::addColumn<bool>("standIn");
    QTest::addColumn<qint64>("room");
    // Part of the file fitting is what lost the reason: the disk takes a short write without a
    // complaint, and only the next write meets the full disk.
    QTest::newRow("no room") << false << qint64(0);
    QTest::newRow("part of the file fits") << false << qint64(3 * 4096);
    QTest::newRow("stand-in, part fits") << true << qint64(10'000);
}

void TestFileWriter::fullDiskKeepsTheOldFileAndSaysWhy()
{
    QFETCH(bool, standIn);
    QFETCH(qint64, room);
    FullFolder disk(standIn ? FullFolder::Kind::standIn : FullFolder::Kind::realWhenPossible);
    QVERIFY(disk.isReady());
    QVERIFY(disk.place(QStringLiteral("out.csv"), "the old export"));
    QVERIFY(disk.fill(room));
    const QString path = disk.filePath(QStringLiteral("out.csv"));
    const QString noSpace = qt_error_string(ENOSPC);

    // In one go, as the image export writes.
    QString reason;
    QVERIFY(!FileWriter::writeAll(path, payload(200'000), &reason));
    QCOMPARE(reason, noSpace);
    QCOMPARE(fileBytes(path), QByteArray("the old export"));
    QCOMPARE(disk.entries(), QStringList{QStringLiteral("out.csv")});

    // Batch by batch, as the CSV export writes: the first failure's reason stays, whatever follows.
    FileWriter writer(path);
    QVERIFY(writer.open());
    bool wrote = true;
    for (int batch = 0; batch < 10 && wrote; ++batch)
        wrote = writer.write(payload(8000));
    QVERIFY(!wrote);
    QVERIFY(!writer.write("more"));
    QVERIFY(!writer.commit());
    QCOMPARE(writer.errorString(), noSpace);
    QCOMPARE(fileBytes(path), QByteArray("the old export"));
    QCOMPARE(disk.entries(), QStringList{QStringLiteral("out.csv")});
}

void TestFileWriter::unwritablePlacesSayWhy_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("error");
    // Each of these refuses root as well.
    QTest::newRow("folder missing") << QString() << QStringLiteral("missing/out.csv") << ENOENT;
    QTest::newRow("folder is a file") << QStringLiteral("file") << QStringLiteral("file/out.csv") << ENOTDIR;
    QTest::newRow("target is a folder") << QStringLiteral("folder/") << QStringLiteral("folder") << EISDIR;
}

void TestFileWriter::unwritablePlacesSayWhy()
{
    QFETCH(QString, setUp);
    QFETCH(QString, target);
    QFETCH(int, error);
    QTemporaryDir dir;
    if (setUp.endsWith(QLatin1Char('/')))
        QVERIFY(QDir(dir.path()).mkdir(setUp));
    else if (!setUp.isEmpty())
        QVERIFY(FileWriter::writeAll(dir.filePath(setUp), "old"));
    QString reason;
    QVERIFY(!FileWriter::writeAll(dir.filePath(target), "bytes", &reason));
    QCOMPARE(reason, qt_error_string(error));
    if (!setUp.isEmpty() && !setUp.endsWith(QLatin1Char('/')))
        QCOMPARE(fileBytes(dir.filePath(setUp)), QByteArray("old"));
}

void TestFileWriter::fileWeMayNotWriteSaysWhy()
{
    // Root may replace any file: this runs as nobody.
    if (const std::optional<bool> passed = Unprivileged::runTestFunction(QTest::currentTestFunction())) {
        QVERIFY(*passed);
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QVERIFY(FileWriter::writeAll(path, "old"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QString reason;
    QVERIFY(!FileWriter::writeAll(path, "bytes", &reason));
    QCOMPARE(reason, qt_error_string(EACCES));
    QCOMPARE(fileBytes(path), QByteArray("old"));
}

void TestFileWriter::failureTexts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const QString noSpace = QStringLiteral("No space left on device");
    QTest::newRow("reason") << FileWriter::failureText(QStringLiteral("out.png"), noSpace)
                            << QStringLiteral("Could not save out.png: No space left on device.");
    QTest::newRow("reason with its own stop")
        << FileWriter::failureText(QStringLiteral("out.png"), QStringLiteral("Disk quota exceeded."))
        << QStringLiteral("Could not save out.png: Disk quota exceeded.");
    QTest::newRow("no reason") << FileWriter::failureText(QStringLiteral("out.png"), QString())
                               << QStringLiteral("Could not save out.png.");
    QTest::newRow("chosen file")
        << FileWriter::exportFailureText(QStringLiteral("out.csv"), noSpace)
        << QStringLiteral(
               "Could not save out.csv: No space left on device. Nothing was changed; pick another "
               "folder.");
}

void TestFileWriter::failureTexts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_filewriter.moc"
