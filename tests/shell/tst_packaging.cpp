#include "platform/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// What `cmake --install` puts in place, that the desktop's own validators accept it, and what
// `setup.sh uninstall` takes away again.
class PackagingTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

    static void writeFile(const QString &path, const QByteArray &text, bool executable = false)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
        file.write(text);
        file.close();
        if (executable)
            QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                                        QFile::ExeOther));
    }

    // A process standing in for Grumblix: a copy of `sleep` at `path`, so the kernel names that file
    // as its program, as it does for the real one.
    static std::unique_ptr<QProcess> standIn(const QString &path)
    {
        auto process = std::make_unique<QProcess>();
        const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (sleep.isEmpty() || !QFile::copy(sleep, path))
            return process;
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        process->start(path, {QStringLiteral("300")});
        process->waitForStarted();
        return process;
    }

    static QString exec(const QString &program, const QStringList &arguments, int *exitCode)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        process.waitForFinished(60000);
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromLocal8Bit(process.readAll());
    }

private Q_SLOTS:
    void initTestCase()
    {
        int code = 0;
        const QString output = exec(QStringLiteral("cmake"),
                                    {QStringLiteral("--install"), QStringLiteral(GRUMBLIX_BINARY_DIR),
                                     QStringLiteral("--prefix"), m_prefix.path()},
                                    &code);
        QVERIFY2(code == 0, qPrintable(output));
    }

    void installsEverything_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("program") << "bin/grumblix";
        QTest::newRow("program proper") << "libexec/grumblix/grumblix-app";
        QTest::newRow("desktop entry") << "share/applications/grumblix.desktop";
        QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/grumblix.svg";
        QTest::newRow("metainfo") << "share/metainfo/app.grumblix.Grumblix.metainfo.xml";
    }

    void installsEverything()
    {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(m_prefix.filePath(path)), qPrintable(path));
    }

    void desktopEntryHandlesTheUrlScheme()
    {
        QFile file(m_prefix.filePath(QStringLiteral("share/applications/grumblix.desktop")));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        // The absolute path: ~/.local/bin is not on PATH until the next login.
        QVERIFY2(lines.contains(
                     QStringLiteral("Exec=%1 %u").arg(m_prefix.filePath(QStringLiteral("bin/grumblix")))),
                 qPrintable(lines.filter(QStringLiteral("Exec=")).join(QLatin1Char(' '))));
        QVERIFY(lines.contains(QStringLiteral("MimeType=x-scheme-handler/grumblix;")));
        QVERIFY(lines.contains(QStringLiteral("Icon=grumblix")));
    }

    void autostartNamesTheInstalledLauncher()
    {
        QCOMPARE(
            XdgAutostart::launcherFor(m_prefix.filePath(QStringLiteral("libexec/grumblix/grumblix-app"))),
            m_prefix.filePath(QStringLiteral("bin/grumblix")));
    }

    void uninstallTakesOnlyTheUserInstall_data()
    {
        QTest::addColumn<bool>("userInstall"); // what `run` installs, its program running
        QTest::addColumn<QString>("entry");    // the autostart entry's program lines; {prefix} is ~/.local
        QTest::addColumn<bool>("entryRemoved");
        QTest::addColumn<QString>("says");
        const QString removed = QStringLiteral("Grumblix is removed.");
        const QString nothing = QStringLiteral("Nothing to remove: Grumblix is not installed for this user");
        QTest::newRow("only the package") << false << "Exec=/usr/bin/grumblix\nTryExec=/usr/bin/grumblix\n"
                                          << false << nothing;
        QTest::newRow("user install and its entry")
            << true << "Exec={prefix}/bin/grumblix\nTryExec={prefix}/bin/grumblix\n"
            << true << removed;
        QTest::newRow("user install, the entry an older package wrote")
            << true << "Exec=/usr/libexec/grumblix/grumblix-app\nTryExec=/usr/libexec/grumblix/grumblix-app\n"
            << false << removed;
        QTest::newRow("only the entry of an older user install")
            << false << "Exec={prefix}/libexec/grumblix/grumblix-app\n"
            << true << removed;
        QTest::newRow("nothing at all") << false << QString() << false << nothing;
    }

    void uninstallTakesOnlyTheUserInstall()
    {
        QFETCH(bool, userInstall);
        QFETCH(QString, entry);
        QFETCH(bool, entryRemoved);
        QFETCH(QString, says);
        QTemporaryDir root;
        const QString home = root.filePath(QStringLiteral("home"));
        const QString prefix = home + QStringLiteral("/.local");
        const QString autostart = home + QStringLiteral("/.config/autostart/grumblix.desktop");
        if (!entry.isEmpty())
            writeFile(autostart, "[Desktop Entry]\nType=Application\nName=Grumblix\n" +
                                     QString(entry).replace(QStringLiteral("{prefix}"), prefix).toUtf8());
        // What is not the program's stays: the incidents, and other programs in ~/.local.
        const QStringList kept{QStringLiteral("/share/Grumblix/Grumblix.store"), QStringLiteral("/bin/other"),
                               QStringLiteral("/share/applications/other.desktop")};
        for (const QString &file : kept)
            writeFile(prefix + file, "kept");
        const QStringList installed{QStringLiteral("/bin/grumblix"),
                                    QStringLiteral("/share/applications/grumblix.desktop"),
                                    QStringLiteral("/share/grumblix/sounds/narrator-01-noted.wav"),
                                    QStringLiteral("/share/icons/hicolor/scalable/apps/grumblix.svg"),
                                    QStringLiteral("/share/metainfo/app.grumblix.Grumblix.metainfo.xml")};
        std::unique_ptr<QProcess> user;
        if (userInstall) {
            for (const QString &file : installed)
                writeFile(prefix + file, "installed", file.startsWith(QLatin1String("/bin/")));
            user = standIn(prefix + QStringLiteral("/libexec/grumblix/grumblix-app"));
            QCOMPARE(user->state(), QProcess::Running);
        }
        // A packaged Grumblix of this user, running from outside ~/.local.
        const std::unique_ptr<QProcess> packaged =
            standIn(root.filePath(QStringLiteral("usr/libexec/grumblix/grumblix-app")));
        QCOMPARE(packaged->state(), QProcess::Running);

        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        script.setProcessEnvironment(environment);
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start(QStringLiteral(GRUMBLIX_SOURCE_DIR "/scripts/setup.sh"), {QStringLiteral("uninstall")});
        QVERIFY(script.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(script.readAll());
        QVERIFY2(script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0, qPrintable(output));
        QVERIFY2(output.startsWith(says), qPrintable(output));

        // Still running half a second later: it was not sent a signal that ends it.
        QVERIFY2(!packaged->waitForFinished(500) && packaged->state() == QProcess::Running,
                 "the packaged Grumblix was ended");
        if (user) {
            QVERIFY2(user->state() == QProcess::NotRunning || user->waitForFinished(5000),
                     "the Grumblix of the user install still runs");
        }
        QCOMPARE(QFile::exists(autostart), !entry.isEmpty() && !entryRemoved);
        for (const QString &file : installed)
            QVERIFY2(!QFile::exists(prefix + file), qPrintable(file));
        QVERIFY(!QFileInfo::exists(prefix + QStringLiteral("/libexec/grumblix")));
        for (const QString &file : kept)
            QVERIFY2(QFile::exists(prefix + file), qPrintable(file));
    }

    void validatorsAccept_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop-file-validate")
            << "desktop-file-validate"
            << QStringList{m_prefix.filePath("share/applications/grumblix.desktop")};
        QTest::newRow("appstreamcli")
            << "appstreamcli"
            << QStringList{"validate", "--no-net",
                           m_prefix.filePath("share/metainfo/app.grumblix.Grumblix.metainfo.xml")};
    }

    void validatorsAccept()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        if (QStandardPaths::findExecutable(program).isEmpty())
            QSKIP("validator not installed");
        int code = 0;
        const QString output = exec(program, arguments, &code);
        QVERIFY2(code == 0, qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(PackagingTest)
#include "tst_packaging.moc"
