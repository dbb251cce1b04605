#include "support/ProgramFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// A freshly installed Grumblix answers grumblix:// URLs through xdg-open at once: the install
// folder is not on PATH yet and nothing runs, so the URL must start the installed program by its
// absolute path, and that program logs it.
class TestXdgOpen : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;
    QTemporaryDir m_home;
    QProcessEnvironment m_env;

    std::pair<int, QString> run(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool finished = process.waitForFinished(60000);
        return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAll())};
    }

    static QStringList notesIn(const QString &storePath)
    {
        QStringList notes;
        for (const QVariantList &row : StoreRows::read(storePath, "SELECT note FROM VorpEvent"))
            notes << row.value(0).toString();
        return notes;
    }

    static QList<int> pidsOf(const QString &program)
    {
        QList<int> pids;
        QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
        while (processes.hasNext()) {
            const QString folder = processes.next();
            bool isPid = false;
            const int pid = QFileInfo(folder).fileName().toInt(&isPid);
            if (isPid && QFileInfo(folder + QStringLiteral("/exe")).symLinkTarget() == program)
                pids << pid;
        }
        return pids;
    }
    static qsizetype processesOf(const QString &program) { return pidsOf(program).size(); }
    static void signalProcessesOf(const QString &program, int signal)
    {
        for (int pid : pidsOf(program))
            ::kill(pid, signal);
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *tool : {"xdg-open", "xdg-mime"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("xdg-utils is not installed");
        }
        QVERIFY(m_prefix.isValid() && m_home.isValid());
        const QString runtime = m_home.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QFile(runtime).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("HOME"), m_home.path());
        m_env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
        m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        m_env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        m_env.insert(QStringLiteral("XDG_DATA_DIRS"), m_prefix.filePath(QStringLiteral("share")));
        m_env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        // A desktop without an environment of its own: xdg-open takes its generic path.
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "BROWSER"})
            m_env.remove(QLatin1String(name));
        // Seen the first-run card already, so the program only logs.
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("config/Grumblix"))));
        QFile conf(m_home.filePath(QStringLiteral("config/Grumblix/Grumblix.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[General]\nhasOnboarded=true\n");
        conf.close();

        const auto [code, output] = run(QStringLiteral("cmake"), {QStringLiteral("--install"), QStringLiteral(GRUMBLIX_BINARY_DIR),
                                                                  QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(code == 0, qPrintable(output));
    }

    void urlStartsTheInstalledProgram()
    {
        const auto [mimeCode, mimeOutput] =
            run(QStringLiteral("xdg-mime"),
                {QStringLiteral("default"), QStringLiteral("grumblix.desktop"), QStringLiteral("x-scheme-handler/grumblix")});
        QVERIFY2(mimeCode == 0, qPrintable(mimeOutput));

        // Without a desktop environment xdg-open runs the handler in the foreground and waits for
        // it: the command returns once the URL is stored, and the program goes on in the background.
        const QString program =
            QFileInfo(m_prefix.filePath(QStringLiteral("libexec/grumblix/grumblix-app"))).canonicalFilePath();
        const auto stop = qScopeGuard([&] { signalProcessesOf(program, SIGTERM); });
        QProcess open;
        open.setProcessEnvironment(m_env);
        open.setProcessChannelMode(QProcess::MergedChannels);
        open.start(QStringLiteral("xdg-open"), {QStringLiteral("grumblix://log?trigger=meeting&note=from%20xdg-open")});
        QVERIFY2(open.waitForFinished(20000), "xdg-open did not return");
        QVERIFY2(open.exitStatus() == QProcess::NormalExit && open.exitCode() == 0,
                 open.readAll().constData());

        const QString store = m_home.filePath(QStringLiteral("data/Grumblix/Grumblix.store"));
        QCOMPARE(notesIn(store), QStringList{QStringLiteral("from xdg-open")});
        QVERIFY2(processesOf(program) == 1, "the program does not run on");
    }
};

QTEST_GUILESS_MAIN(TestXdgOpen)
#include "tst_xdgopen.moc"
