#include "platform/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

// Start at login through $XDG_CONFIG_HOME/autostart/grumblix.desktop, in a temporary folder.
class TestXdgAutostart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writtenReportedAndRemoved();
    void stateIsReadFromTheFile_data();
    void stateIsReadFromTheFile();
    void execQuotesTheRealPath_data();
    void execQuotesTheRealPath();
    void unwritableFolderReportsWhy_data();
    void unwritableFolderReportsWhy();
    void entryNamesThePublicLauncher_data();
    void entryNamesThePublicLauncher();
    void launcherOfThisBuild();
};

void TestXdgAutostart::writtenReportedAndRemoved()
{
    QTemporaryDir config;
    XdgAutostart autostart(config.path(), QStringLiteral("/opt/grumblix/bin/grumblix"));
    QCOMPARE(autostart.filePath(), config.path() + QStringLiteral("/autostart/grumblix.desktop"));
    QVERIFY(!autostart.isEnabled());

    QString error;
    QVERIFY(autostart.setEnabled(true, &error)); // creates the autostart folder too
    QVERIFY(error.isEmpty());
    QVERIFY(autostart.isEnabled());
    const QByteArray entry = read(autostart.filePath());
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    QVERIFY(entry.contains("\nType=Application\n"));
    QVERIFY(entry.contains("\nExec=/opt/grumblix/bin/grumblix\n"));
    // Skipped at login once the program is uninstalled.
    QVERIFY(entry.contains("\nTryExec=/opt/grumblix/bin/grumblix\n"));

    QVERIFY(autostart.setEnabled(false, &error));
    QVERIFY(!QFile::exists(autostart.filePath()));
    QVERIFY(!autostart.isEnabled());
    // Turning off what is already off is no failure.
    QVERIFY(autostart.setEnabled(false, &error));
}

void TestXdgAutostart::stateIsReadFromTheFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("plain entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=grumblix\n") << true;
    QTest::newRow("hidden by the desktop")
        << QByteArray("[Desktop Entry]\nExec=grumblix\nHidden=true\n") << false;
    QTest::newRow("turned off in GNOME")
        << QByteArray("[Desktop Entry]\nExec=grumblix\nX-GNOME-Autostart-enabled=false\n") << false;
    QTest::newRow("Hidden in another group does not count")
        << QByteArray("[Desktop Entry]\nExec=grumblix\n[Desktop Action x]\nHidden=true\n") << true;
    QTest::newRow("empty file") << QByteArray() << true;
}

void TestXdgAutostart::stateIsReadFromTheFile()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, enabled);
    QTemporaryDir config;
    XdgAutostart autostart(config.path(), QStringLiteral("/usr/bin/grumblix"));
    write(autostart.filePath(), text);
    QCOMPARE(autostart.isEnabled(), enabled);
    // Turning it on again replaces the desktop's "off" with a working entry.
    QString error;
    QVERIFY(autostart.setEnabled(true, &error));
    QVERIFY(autostart.isEnabled());
}

void TestXdgAutostart::execQuotesTheRealPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << QStringLiteral("/usr/bin/grumblix") << QStringLiteral("/usr/bin/grumblix");
    QTest::newRow("space") << QStringLiteral("/home/a b/grumblix")
                           << QStringLiteral("\"/home/a b/grumblix\"");
    QTest::newRow("dollar and quote") << QStringLiteral("/x/$y\"z") << QStringLiteral("\"/x/\\\\$y\\\\\"z\"");
    QTest::newRow("backslash") << QStringLiteral("/x\\y") << QStringLiteral("\"/x\\\\\\\\y\"");
    QTest::newRow("percent") << QStringLiteral("/opt/100%/grumblix") << QStringLiteral("/opt/100%%/grumblix");
}

void TestXdgAutostart::execQuotesTheRealPath()
{
    QFETCH(QString, path);
    QFETCH(QString, exec);
    QCOMPARE(XdgAutostart::execValue(path), exec);
}

void TestXdgAutostart::unwritableFolderReportsWhy_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    // A read-only folder stops a normal user; a file where the folder should be stops root as well.
    QTest::newRow("read-only autostart folder") << true;
    QTest::newRow("a file in the folder's place") << false;
}

void TestXdgAutostart::unwritableFolderReportsWhy()
{
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("root writes into read-only folders; the other row covers root");
    QTemporaryDir config;
    const QString folder = config.filePath(QStringLiteral("autostart"));
    XdgAutostart autostart(config.path(), QStringLiteral("/usr/bin/grumblix"));
    QString error;
    if (readOnlyFolder) {
        // An entry that is on stays on when it cannot be removed, and says why.
        QVERIFY(autostart.setEnabled(true, &error));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!autostart.setEnabled(false, &error));
        QVERIFY2(error.contains(QLatin1String("autostart")), qPrintable(error));
        QVERIFY(autostart.isEnabled());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::remove(autostart.filePath()));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    } else {
        write(folder, "not a folder");
    }
    error.clear();
    QVERIFY(!autostart.setEnabled(true, &error));
    QVERIFY2(error.contains(QLatin1String("autostart")), qPrintable(error));
    QVERIFY(!autostart.isEnabled());
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestXdgAutostart::entryNamesThePublicLauncher_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("executables");
    QTest::addColumn<QStringList>("plainFiles");
    QTest::addColumn<QString>("launcher");
    const QString userProgram = QStringLiteral(".local/libexec/grumblix/grumblix-app");
    QTest::newRow("build folder") << QStringLiteral("build/src/shell/grumblix-app")
                                  << QStringList{QStringLiteral("build/src/shell/grumblix")} << QStringList()
                                  << QStringLiteral("build/src/shell/grumblix");
    QTest::newRow("user install") << userProgram << QStringList{QStringLiteral(".local/bin/grumblix")}
                                  << QStringList() << QStringLiteral(".local/bin/grumblix");
    QTest::newRow("package") << QStringLiteral("usr/libexec/grumblix/grumblix-app")
                             << QStringList{QStringLiteral("usr/bin/grumblix")} << QStringList()
                             << QStringLiteral("usr/bin/grumblix");
    // Without a launcher to name, the entry still starts this program.
    QTest::newRow("launcher missing") << userProgram << QStringList() << QStringList() << userProgram;
    QTest::newRow("launcher not executable")
        << userProgram << QStringList() << QStringList{QStringLiteral(".local/bin/grumblix")} << userProgram;
    QTest::newRow("a folder in the launcher's place")
        << userProgram << QStringList() << QStringList{QStringLiteral(".local/bin/grumblix/x")}
        << userProgram;
    // Only the libexec/grumblix layout has its launcher two folders up.
    QTest::newRow("another grumblix two folders up")
        << QStringLiteral("opt/tools/grumblix-app") << QStringList{QStringLiteral("bin/grumblix")}
        << QStringList() << QStringLiteral("opt/tools/grumblix-app");
}

void TestXdgAutostart::entryNamesThePublicLauncher()
{
    QFETCH(QString, program);
    QFETCH(QStringList, executables);
    QFETCH(QStringList, plainFiles);
    QFETCH(QString, launcher);
    QTemporaryDir root;
    const auto place = [&root](const QString &path, bool executable) {
        write(root.filePath(path), "#!/bin/sh\n");
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(root.filePath(path), permissions));
    };
    place(program, true);
    for (const QString &path : executables)
        place(path, true);
    for (const QString &path : plainFiles)
        place(path, false);

    const QString expected = root.filePath(launcher);
    QCOMPARE(XdgAutostart::launcherFor(root.filePath(program)), expected);
    const QByteArray entry = XdgAutostart::entryText(XdgAutostart::launcherFor(root.filePath(program)));
    QVERIFY2(entry.contains("\nExec=" + expected.toUtf8() + '\n'), entry.constData());
    QVERIFY2(entry.contains("\nTryExec=" + expected.toUtf8() + '\n'), entry.constData());
}

void TestXdgAutostart::launcherOfThisBuild()
{
    const QString program = QStringLiteral(GRUMBLIX_BINARY_DIR "/src/shell/grumblix-app");
    if (!QFile::exists(program))
        QSKIP("the program is not built in this build folder");
    QCOMPARE(XdgAutostart::launcherFor(program), QStringLiteral(GRUMBLIX_BINARY_DIR "/src/shell/grumblix"));
}

QTEST_APPLESS_MAIN(TestXdgAutostart)
#include "tst_xdgautostart.moc"
