#include "models/Csv.h"
#include "models/CsvExport.h"
#include "support/WriteStandIns.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <thread>

namespace {

// Enough incidents for several batches of the writer.
QList<VorpEvent> incidents(int count)
{
    QList<VorpEvent> events;
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    for (int i = 0; i < count; ++i)
        events << VorpEvent::make(start.addSecs(i * 60), QStringLiteral("App %1").arg(i % 7),
                                  QStringLiteral("org.example.app%1").arg(i % 7),
                                  i % 3 ? std::optional(QStringLiteral("build")) : std::nullopt,
                                  i % 5 ? std::nullopt : std::optional(QStringLiteral("note, \"quoted\"")),
                                  EventSource::shortcut);
    return events;
}

const QList<Trigger> triggers{
    Trigger::make(QStringLiteral("build"), QStringLiteral("Build"), QStringLiteral("x"), 0, true)};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

// The CSV export on its worker thread: progress, outcome, and the ways it can be stopped.
class TestCsvExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesOffTheCallersThreadWithProgress();
    void fullDiskSaysWhyAndKeepsTheOldFile();
    void stoppedMidFileLeavesNothing_data();
    void stoppedMidFileLeavesNothing();
};

void TestCsvExport::writesOffTheCallersThreadWithProgress()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    const EventSnapshot events(incidents(20'000));
    WriteGate gate(1);
    CsvExport job(path, events, triggers);
    QSignalSpy percents(&job, &CsvExport::percentChanged);
    QSignalSpy finished(&job, &CsvExport::finished);
    job.start();
    // The worker waits at its second batch while this thread goes on.
    QVERIFY(gate.waitUntilHeld());
    QVERIFY(job.isRunning());
    QTRY_COMPARE(percents.size(), 1);
    const int early = percents.first().first().toInt();
    QVERIFY2(early > 0 && early < 100, QByteArray::number(early));
    QCOMPARE(job.percent(), early);
    gate.open();

    QTRY_COMPARE(finished.size(), 1);
    QVERIFY(job.succeeded());
    QVERIFY(!job.isRunning());
    QVERIFY(job.errorString().isEmpty());
    QCOMPARE(fileBytes(path), Csv::document(events, triggers));
    QCOMPARE(job.percent(), 100);
    int last = 0;
    for (const QList<QVariant> &signal : percents) {
        QVERIFY(signal.first().toInt() > last);
        last = signal.first().toInt();
    }
    QCOMPARE(last, 100);
    // Once it has ended, cancelling changes nothing.
    job.cancel();
    QVERIFY(job.succeeded());
    QCOMPARE(finished.size(), 1);
}

void TestCsvExport::fullDiskSaysWhyAndKeepsTheOldFile()
{
    FullFolder disk;
    QVERIFY(disk.isReady());
    QVERIFY(disk.place(QStringLiteral("out.csv"), "the old export"));
    QVERIFY(disk.fill(2 * 4096));
    CsvExport job(disk.filePath(QStringLiteral("out.csv")), incidents(5'000), triggers);
    QSignalSpy finished(&job, &CsvExport::finished);
    job.start();
    QTRY_COMPARE(finished.size(), 1);
    QVERIFY(!job.succeeded());
    QVERIFY(!job.wasCancelled());
    QCOMPARE(job.errorString(), qt_error_string(ENOSPC));
    QCOMPARE(fileBytes(disk.filePath(QStringLiteral("out.csv"))), QByteArray("the old export"));
    QCOMPARE(disk.entries(), QStringList{QStringLiteral("out.csv")});
}

void TestCsvExport::stoppedMidFileLeavesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancelled") << QStringLiteral("cancel");
    QTest::newRow("application quits") << QStringLiteral("quit");
    QTest::newRow("owner goes away") << QStringLiteral("destroy");
}

void TestCsvExport::stoppedMidFileLeavesNothing()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old export");
    }
    WriteGate gate(1);
    auto job = std::make_unique<CsvExport>(path, incidents(20'000), triggers);
    QSignalSpy finished(job.get(), &CsvExport::finished);
    job->start();
    QVERIFY(gate.waitUntilHeld());

    // The stop waits for the worker, which is held mid-file until the gate opens.
    std::thread opener([&gate] {
        QThread::msleep(50);
        gate.open();
    });
    if (how == QLatin1String("cancel")) {
        job->cancel();
    } else if (how == QLatin1String("quit")) {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    } else {
        job.reset();
    }
    opener.join();

    if (job) {
        QVERIFY(job->isFinished());
        QVERIFY(job->wasCancelled());
        QVERIFY(!job->succeeded());
        QVERIFY(job->errorString().isEmpty());
        QCOMPARE(finished.size(), 1);
        // The worker's own end, queued before the stop collected it, reports nothing twice.
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
    }
    QCOMPARE(fileBytes(path), QByteArray("the old export"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.csv")});
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
