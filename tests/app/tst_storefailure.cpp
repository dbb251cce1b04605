#include "models/Store.h"
#include "shell/Shell.h"
#include "support/FakePlatform.h"
#include "support/MountNamespace.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

// A program whose store cannot be opened stops with a message and leaves the file alone.
class TestStoreFailure : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unusableStoreStopsWithMessage_data();
    void unusableStoreStopsWithMessage();
    void missingFolderIsCreated();
    void aFullDiskStopsOnlyAStoreItCannotMake_data();
    void aFullDiskStopsOnlyAStoreItCannotMake();
};

namespace {

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QProcess *startChild(const QString &dataHome, QObject *parent)
{
    auto *child = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GRUMBLIX_SHARED_MODEL_CHILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dataHome + QStringLiteral("/config"));
    // A private runtime folder, so the only thing on stderr is the program's own message.
    const QString runtime = dataHome + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    child->setProcessEnvironment(env);
    child->start(QCoreApplication::applicationFilePath(), {});
    return child;
}

} // namespace

void TestStoreFailure::unusableStoreStopsWithMessage_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("detail");
    QTest::newRow("text file") << QByteArray("these are my notes, not a database\n") << "not a database";
    QByteArray header("SQLite format 3\0", 16);
    QTest::newRow("truncated database") << header + QByteArray(84, '\x01') << "";
}

void TestStoreFailure::unusableStoreStopsWithMessage()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, detail);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Grumblix"));
    QDir().mkpath(folder);
    const QString store = folder + QStringLiteral("/Grumblix.store");
    QFile file(store);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const QByteArray before = hashOf(store);

    QProcess *child = startChild(dir.path(), this);
    QVERIFY(child->waitForFinished(10000));
    QCOMPARE(child->exitStatus(), QProcess::NormalExit);
    QVERIFY(child->exitCode() != 0);
    const QString stderrText = QString::fromUtf8(child->readAllStandardError());
    QVERIFY2(stderrText.startsWith(QStringLiteral("Could not open the Grumblix store: ")),
             qPrintable(stderrText));
    QVERIFY2(stderrText.contains(detail, Qt::CaseInsensitive), qPrintable(stderrText));
    QCOMPARE(hashOf(store), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Grumblix.store")});
}

void TestStoreFailure::missingFolderIsCreated()
{
    QTemporaryDir dir;
    QProcess *child = startChild(dir.filePath(QStringLiteral("fresh/share")), this);
    QVERIFY(child->waitForFinished(10000));
    QCOMPARE(child->exitCode(), 0);
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("fresh/share/Grumblix/Grumblix.store"))));
}

void TestStoreFailure::aFullDiskStopsOnlyAStoreItCannotMake_data()
{
    QTest::addColumn<bool>("stored");
    QTest::newRow("no room to make the store") << false;
    // Reading it needs a new -shm, for which there is no room either.
    QTest::newRow("a store closed before the disk filled") << true;
}

void TestStoreFailure::aFullDiskStopsOnlyAStoreItCannotMake()
{
    QFETCH(bool, stored);
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
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data));
    const MountNamespace::Tmpfs disk(data, 256 * 1024);
    QVERIFY(disk.isMounted());
    QVERIFY(QDir().mkpath(data + QStringLiteral("/Grumblix")));
    if (stored) {
        auto store = Store::open(data + QStringLiteral("/Grumblix/Grumblix.store"));
        QVERIFY(store);
        VorpEvent event = VorpEvent::make(QDateTime::currentDateTimeUtc(), {}, {}, {}, {}, EventSource::url);
        store->insert(event);
        QVERIFY(store->save());
    }
    QVERIFY(MountNamespace::fill(data + QStringLiteral("/filler")));

    QProcess *child = startChild(data, this);
    QVERIFY(child->waitForFinished(10000));
    const QString stderrText = QString::fromUtf8(child->readAllStandardError());
    if (stored) {
        QVERIFY2(!stderrText.contains(QLatin1String("Could not open")), qPrintable(stderrText));
        QCOMPARE(child->exitCode(), 0);
        return;
    }
    // SQLite's words for it may say no more than "disk I/O error".
    QVERIFY(child->exitCode() != 0);
    QVERIFY2(stderrText.startsWith(QStringLiteral("Could not open the Grumblix store: the disk is full (")) ||
                 stderrText.startsWith(
                     QStringLiteral("Could not open the Grumblix store: database or disk is full")),
             qPrintable(stderrText));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("GRUMBLIX_SHARED_MODEL_CHILD")) {
        QApplication app(argc, argv);
        Shell shell;
        return shell.build(Shell::standardLocations(), TestSupport::fakePlatform()) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestStoreFailure test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storefailure.moc"
