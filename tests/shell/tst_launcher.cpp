#include "models/StoreLock.h"
#include "platform/HandOver.h"
#include "support/FakeInstance.h"
#include "support/OneShotDisplay.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString launcher = QStringLiteral(GRUMBLIX_BINARY_DIR "/src/shell/grumblix");

struct Run
{
    int exitCode = -1; // -1: did not end in time, or crashed
    QString errors;
};

} // namespace

// The `grumblix` command as a script meets it: one exit status and one message that say what became
// of its launch, whatever the running Grumblix did with it, or when there is none and no display.
class LauncherTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;

    QString runtime() const { return m_root->filePath(QStringLiteral("runtime")); }
    QString socketPath() const { return runtime() + QStringLiteral("/grumblix.socket"); }
    QString storePath() const { return m_root->filePath(QStringLiteral("data/Grumblix/Grumblix.store")); }
    std::string nativeStorePath() const { return QFile::encodeName(storePath()).toStdString(); }

    // Without a display or a Qt platform: a cron job, ssh.
    QProcessEnvironment withoutDisplay() const
    {
        QProcessEnvironment env = environment();
        for (const char *name :
             {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "XAUTHORITY"})
            env.remove(QLatin1String(name));
        return env;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root->filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_root->filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_root->filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_STATE_HOME"), m_root->filePath(QStringLiteral("state")));
        return env;
    }

    static Run run(const QProcessEnvironment &env, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(launcher, arguments);
        Run result;
        if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        else
            process.kill();
        result.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

    // Every file under `folder`, relative to it.
    static QStringList filesUnder(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(folder).relativeFilePath(it.next());
        return files;
    }

private Q_SLOTS:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        for (const char *folder : {"runtime", "config", "data", "cache", "state"})
            QVERIFY(QDir().mkpath(m_root->filePath(QLatin1String(folder))));
        QVERIFY(QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void theExitStatusSaysWhatBecameOfTheLaunch_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("urls"); // each with a note of 100,000 characters
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // what stderr starts with
        const int reply = int(FakeInstance::Behaviour::reply);
        QTest::newRow("done") << reply << QByteArray("k") << 0 << 0 << QString();
        QTest::newRow("kept, not on disk")
            << reply << QByteArray("pGrumblix could not save to its store yet: database or disk is full.")
            << 0 << 2 << "Grumblix could not save to its store yet: database or disk is full.";
        QTest::newRow("an earlier version's failed save")
            << reply << QByteArray("eGrumblix could not save to its store: disk I/O error") << 0 << 2
            << "Grumblix could not save to its store: disk I/O error";
        QTest::newRow("refused") << reply << QByteArray("rnot yet") << 0 << 1 << "not yet";
        // Killed between storing the URL and answering: a retry could log it twice.
        QTest::newRow("dies once it has the launch")
            << int(FakeInstance::Behaviour::hangUpAfterRequest) << QByteArray() << 0 << 3
            << "The running Grumblix stopped answering after it was handed this launch, so what the launch "
               "asks may already be done (a URL already logged): check the history before you try again.";
        // Notes too long for the socket's buffers: most of the request never left.
        QTest::newRow("hangs up before it has the launch")
            << int(FakeInstance::Behaviour::hangUpAfterLength) << QByteArray() << 4 << 1
            << "The running Grumblix did not take this launch";
    }
    void theExitStatusSaysWhatBecameOfTheLaunch()
    {
        QFETCH(int, behaviour);
        QFETCH(QByteArray, reply);
        QFETCH(int, urls);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        FakeInstance instance(socketPath(), FakeInstance::Behaviour(behaviour), reply);
        QVERIFY(instance.isListening());
        QStringList arguments{QStringLiteral("grumblix://log?note=x")};
        for (int i = 0; i < urls; ++i)
            arguments << QStringLiteral("grumblix://log?note=") + QString(100 * 1000, QLatin1Char('n'));
        const Run result = run(environment(), arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.errors.startsWith(message), qPrintable(result.errors));
        QCOMPARE(result.errors.count(QLatin1Char('\n')), message.isEmpty() ? 0 : 1);
        QVERIFY(instance.requests() <= 1); // handed over once at most, never again
    }

    // Over ssh to a desktop where Grumblix runs: the hand-over needs no display, whichever side
    // makes it (the launcher for URLs alone, the program proper with options).
    void aHandOverNeedsNoDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("a URL") << QStringList{QStringLiteral("grumblix://log")};
        QTest::newRow("an option and a URL")
            << QStringList{QStringLiteral("--tab=history"), QStringLiteral("grumblix://log")};
    }
    void aHandOverNeedsNoDisplay()
    {
        QFETCH(QStringList, arguments);
        FakeInstance instance(socketPath(), FakeInstance::Behaviour::reply, "k");
        QVERIFY(instance.isListening());
        QProcessEnvironment env = environment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        const Run result = run(env, arguments);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.errors, QString());
        QCOMPARE(instance.requests(), 1);
    }

    // Over ssh: one line, exit status 1, no core, and nothing written, whichever way the launch goes
    // (URLs alone start Grumblix in the background, anything else in the foreground).
    void withoutADisplayALaunchSaysSoAndTouchesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("message");
        const QString unset =
            QStringLiteral("Grumblix is not running and cannot start without a desktop session: no display "
                           "here (DISPLAY and WAYLAND_DISPLAY are unset); nothing was logged.\n");
        const QString url = QStringLiteral("grumblix://log?note=x");
        QTest::newRow("a URL") << QStringList{url} << QString() << unset;
        QTest::newRow("an option and a URL")
            << QStringList{QStringLiteral("--tab=history"), url} << QString() << unset;
        QTest::newRow("nothing, as the menu entry") << QStringList{} << QString() << unset;
        QTest::newRow("a display nobody serves")
            << QStringList{url} << QStringLiteral(":4711")
            << QStringLiteral(
                   "Grumblix is not running and cannot start without a desktop session: no display "
                   "here (the X display :4711 cannot be opened; WAYLAND_DISPLAY is unset); nothing "
                   "was logged.\n");
    }
    void withoutADisplayALaunchSaysSoAndTouchesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(QString, message);
        if (!display.isEmpty() && QFile::exists(QStringLiteral("/tmp/.X11-unix/X4711")))
            QSKIP("an X server serves :4711 here");
        QProcessEnvironment env = environment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        const Run result = run(env, arguments);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.errors, message);
        QCOMPARE(filesUnder(m_root->path()), QStringList{});
    }

    // Another Grumblix writes the store and noted where it listens, in a folder that another user
    // could have made or may write: the launch is not handed to whatever listens there.
    void aWriterThatListensInAFolderOthersMayUseGetsNoLaunch_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reason");
        const QString open = QStringLiteral("other users may use it (mode 0755; it must be 0700)");
        QTest::newRow("open to others, a URL") << "open" << QStringList{} << open;
        QTest::newRow("open to others, an option and a URL")
            << "open" << QStringList{QStringLiteral("--tab=history")} << open;
        QTest::newRow("a symbolic link") << "link" << QStringList{} << "it is a symbolic link";
        QTest::newRow("another user's")
            << "foreign" << QStringList{} << "it belongs to another user (uid 65534)";
    }
    void aWriterThatListensInAFolderOthersMayUseGetsNoLaunch()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, options);
        QFETCH(QString, reason);
        if (folder == QLatin1String("foreign") && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        const QString writer = m_root->filePath(QStringLiteral("writer"));
        const QString real = m_root->filePath(QStringLiteral("real"));
        QVERIFY(QDir().mkdir(real));
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), folder == QLatin1String("open") ? 0755 : 0700),
                 0);
        if (folder == QLatin1String("link"))
            QVERIFY(QFile::link(real, writer));
        else
            QVERIFY(QFile::rename(real, writer));
        FakeInstance instance(writer + QStringLiteral("/grumblix.socket"), FakeInstance::Behaviour::reply,
                              "k");
        QVERIFY(instance.isListening());
        if (folder == QLatin1String("foreign"))
            QCOMPARE(::chown(QFile::encodeName(writer).constData(), 65534, 65534), 0);
        QVERIFY(QDir().mkpath(m_root->filePath(QStringLiteral("data/Grumblix"))));
        StoreLock lock = StoreLock::acquire(nativeStorePath());
        QVERIFY(lock.isHeld());
        QVERIFY(lock.note(QFile::encodeName(writer + QStringLiteral("/grumblix.socket")).toStdString()));

        const Run result =
            run(withoutDisplay(), options + QStringList{QStringLiteral("grumblix://log?note=x")});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.errors,
                 QStringLiteral("Grumblix runs elsewhere (process %1), but it listens in %2, which "
                                "this launch will not use: %3. Nothing was logged.\n")
                     .arg(::getpid())
                     .arg(writer, reason));
        QCOMPARE(instance.requests(), 0);
        QCOMPARE(QDir(runtime()).entryList(QDir::Files | QDir::System), QStringList{});
        if (folder == QLatin1String("foreign"))
            QCOMPARE(::chown(QFile::encodeName(writer).constData(), 0, 0), 0);
    }

    // Another Grumblix holds the store but has not noted where it listens: it is starting. The
    // launch waits for it, a bounded while, in a runtime folder of its own and without a display.
    void aWriterThatIsStartingIsWaitedFor_data()
    {
        QTest::addColumn<QString>("then"); // what the holder does a moment into the launch
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("requests");
        QTest::newRow("listens and notes it") << "listens" << 0 << QString() << 1;
        // The launch becomes the writer, and finds that it cannot start here.
        QTest::newRow("ends")
            << "ends" << 1
            << "Grumblix is not running and cannot start without a desktop session: no display "
               "here (DISPLAY and WAYLAND_DISPLAY are unset); nothing was logged.\n"
            << 0;
        QTest::newRow("stays silent")
            << "silent" << 1
            << "Grumblix runs elsewhere and cannot be reached from here yet; nothing was "
               "logged. Try again in a moment.\n"
            << 0;
        QTest::newRow("notes a socket nobody listens on")
            << "gone" << 1
            << QStringLiteral(
                   "Grumblix runs elsewhere (process %1) and cannot be reached from here yet; nothing "
                   "was logged. Try again in a moment.\n")
                   .arg(::getpid())
            << 0;
    }
    void aWriterThatIsStartingIsWaitedFor()
    {
        QFETCH(QString, then);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(int, requests);
        const QString writer = m_root->filePath(QStringLiteral("writer"));
        QVERIFY(QDir().mkdir(writer));
        QVERIFY(QFile::setPermissions(writer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString address = writer + QStringLiteral("/grumblix.socket");
        QVERIFY(QDir().mkpath(m_root->filePath(QStringLiteral("data/Grumblix"))));
        StoreLock lock = StoreLock::acquire(nativeStorePath());
        QVERIFY(lock.isHeld());

        QProcess launch;
        launch.setProcessEnvironment(withoutDisplay());
        launch.start(launcher, {QStringLiteral("grumblix://log?note=x")});
        QVERIFY(launch.waitForStarted());
        QThread::msleep(700);
        QCOMPARE(launch.state(), QProcess::Running);
        std::unique_ptr<FakeInstance> instance;
        if (then == QLatin1String("listens")) {
            instance = std::make_unique<FakeInstance>(address, FakeInstance::Behaviour::reply, "k");
            QVERIFY(instance->isListening());
        }
        if (then == QLatin1String("listens") || then == QLatin1String("gone"))
            QVERIFY(lock.note(QFile::encodeName(address).toStdString()));
        if (then == QLatin1String("ends"))
            lock = StoreLock();

        QVERIFY(launch.waitForFinished(20000));
        QCOMPARE(launch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(launch.exitCode(), exitCode);
        QCOMPARE(QString::fromLocal8Bit(launch.readAllStandardError()), message);
        if (instance)
            QCOMPARE(instance->requests(), requests);
        QCOMPARE(QDir(runtime()).entryList(QDir::Files | QDir::System), QStringList{});
    }

    // The platform fails while Qt starts it, after the display check: a platform plugin that is
    // not there, an X server that is killed just then. One line, exit status 1, no core, no lock or
    // socket left, and no store made, whether the program runs in the background (its line goes
    // through the start report) or in the foreground.
    void aPlatformThatFailsToStartEndsInOneLine_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("arguments");
        const QStringList background{QStringLiteral("grumblix://log?note=x")};
        QTest::newRow("no such platform, in the background") << "bogus" << background;
        QTest::newRow("no such platform, in the foreground") << "bogus" << QStringList{};
        QTest::newRow("the X server goes away, in the background") << "xcb" << background;
        QTest::newRow("the X server goes away, in the foreground") << "xcb" << QStringList{};
    }
    void aPlatformThatFailsToStartEndsInOneLine()
    {
        QFETCH(QString, platform);
        QFETCH(QStringList, arguments);
        QProcessEnvironment env = withoutDisplay();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        OneShotDisplay display;
        QString reason = QStringLiteral("there is no Qt platform plugin \"bogus\"");
        if (platform == QLatin1String("xcb")) {
            QVERIFY(display.isListening());
            env.insert(QStringLiteral("DISPLAY"), display.name());
            reason = QStringLiteral("the X display %1 cannot be opened any more").arg(display.name());
        }
        const Run result = run(env, arguments);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.errors,
                 QStringLiteral("Grumblix could not start: %1; nothing was logged.\n").arg(reason));
        if (platform == QLatin1String("xcb"))
            QVERIFY(display.wasServed()); // the display check found it
        QCOMPARE(QDir(runtime()).entryList(QDir::Files | QDir::System), QStringList{});
        QVERIFY(!QFile::exists(storePath()));
    }
};

QTEST_GUILESS_MAIN(LauncherTest)
#include "tst_launcher.moc"
