#include "models/FileWriter.h"
#include "support/Unprivileged.h"
#include "support/WriteStandIns.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

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

} // namespace

// The atomic file writer every export uses: the target is replaced whole or not at all, and a
// failure says the system's own reason.
class TestFileWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replacesWhole();
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
