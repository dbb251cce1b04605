#include "support/DesktopTools.h"
#include "support/MountNamespace.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <unistd.h>

using DesktopTools::run;
using DesktopTools::waitFor;

// The real program on a small disk that fills up, ended by a signal as a logout ends it: the quit
// path tries one last save, and what it still cannot save is said on stderr, where a session's
// messages go, also while the question a Quit asks is open.
class QuitSaveTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_program;
    std::unique_ptr<QProcess> m_grumblix;
    std::unique_ptr<MountNamespace::Tmpfs> m_disk;
    QString m_filler;

    QString storePath() const { return m_program->storePath(); }

    qint64 rowCount() const
    {
        const QList<QVariantList> rows = StoreRows::read(storePath(), "SELECT count(*) FROM VorpEvent");
        return rows.isEmpty() || rows.first().isEmpty() ? -1 : rows.first().first().toLongLong();
    }

    QStringList notes() const
    {
        QStringList notes;
        for (const QVariantList &row :
             StoreRows::read(storePath(), "SELECT note FROM VorpEvent ORDER BY timestamp"))
            notes << row.value(0).toString();
        return notes;
    }

    // The instance, its stderr kept for the test to read.
    void startGrumblix(const QStringList &arguments = {})
    {
        m_grumblix = std::make_unique<QProcess>();
        m_grumblix->setProcessEnvironment(m_program->environment());
        m_grumblix->setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_grumblix->start(ProgramFixture::programPath(), arguments);
        QVERIFY(m_grumblix->waitForStarted());
        QVERIFY(waitFor([&] { return QFile::exists(m_program->socketPath()); }, 10000));
    }

    // Ends the instance with `signal`; its stderr.
    QString endGrumblix(int signal)
    {
        ::kill(pid_t(m_grumblix->processId()), signal);
        if (!m_grumblix->waitForFinished(10000))
            return QStringLiteral("(still running)");
        const QString errors = QString::fromLocal8Bit(m_grumblix->readAllStandardError());
        if (m_grumblix->exitStatus() != QProcess::NormalExit || m_grumblix->exitCode() != 0)
            return QStringLiteral("(ended abnormally) ") + errors;
        return errors;
    }

    // A disk of 1 MiB for the data folder.
    void mountTheDisk()
    {
        const QString data = m_program->filePath(QStringLiteral("data"));
        m_disk = std::make_unique<MountNamespace::Tmpfs>(data, 1024 * 1024);
        QVERIFY(m_disk->isMounted());
        QVERIFY(QDir().mkpath(data + QStringLiteral("/Grumblix")));
    }

    // One incident saved, then the disk filled up and one logged that it cannot take.
    void logOnAFullDisk(const QStringList &extraArguments = {})
    {
        mountTheDisk();
        startGrumblix(extraArguments);
        QCOMPARE(m_program->launch({QStringLiteral("grumblix://log?note=before")}).exitCode, 0);
        // Once what was saved is folded into the store file the journal is empty, and the next
        // incident needs new room on the disk.
        QVERIFY(waitFor([&] { return QFileInfo(storePath() + QStringLiteral("-wal")).size() == 0; }, 10000));
        m_filler = m_program->filePath(QStringLiteral("data/filler"));
        QVERIFY(MountNamespace::fill(m_filler));
        QCOMPARE(m_program->launch({QStringLiteral("grumblix://log?note=full")}).exitCode, 2);
    }

    // Runs this test function (this row of it) again where it may mount a disk of its own.
    static void runInNamespace()
    {
        QString function = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag())
            function += QLatin1Char(':') + QString::fromLatin1(QTest::currentDataTag());
        QString why;
        const std::optional<bool> passed = MountNamespace::runTestFunction(function, &why);
        if (!passed && ::geteuid() == 0)
            QFAIL(qPrintable(why));
        if (!passed)
            QSKIP(qPrintable(why));
        QVERIFY(*passed);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
    }

    void init()
    {
        m_program = std::make_unique<ProgramFixture>();
        QVERIFY(m_program->isReady());
    }

    void cleanup()
    {
        if (m_grumblix && m_grumblix->state() != QProcess::NotRunning) {
            m_grumblix->kill();
            m_grumblix->waitForFinished();
        }
        m_grumblix.reset();
        m_disk.reset();
        m_program.reset();
    }

    void aSignalTriesALastSave_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("room");
        QTest::newRow("SIGTERM, the disk still full") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP, the disk still full") << int(SIGHUP) << false;
        QTest::newRow("SIGTERM, room again") << int(SIGTERM) << true;
        QTest::newRow("SIGINT, room again") << int(SIGINT) << true;
    }

    void aSignalTriesALastSave()
    {
        if (!MountNamespace::isInside())
            return runInNamespace();
        QFETCH(int, signal);
        QFETCH(bool, room);
        logOnAFullDisk();
        QCOMPARE(m_program->launch({QStringLiteral("grumblix://log?note=fuller")}).exitCode, 2);
        if (room)
            QVERIFY(QFile::remove(m_filler));
        const QString errors = endGrumblix(signal);
        if (!room) {
            QVERIFY2(!errors.startsWith(QLatin1Char('(')), qPrintable(errors));
            QVERIFY2(errors.contains(QLatin1String(
                         "Grumblix quit and lost 2 incidents it could not save: the disk is full.\n")),
                     qPrintable(errors));
            QCOMPARE(notes(), QStringList{QStringLiteral("before")});
            return;
        }
        QVERIFY2(!errors.contains(QLatin1String("lost")) && !errors.startsWith(QLatin1Char('(')),
                 qPrintable(errors));
        // All of it in the store file itself, the journal folded in.
        QCOMPARE(QFileInfo(storePath() + QStringLiteral("-wal")).size(), 0);
        QCOMPARE(notes(), (QStringList{"before", "full", "fuller"}));

        // The next start finds them: demo data goes only into a store without incidents.
        startGrumblix({QStringLiteral("--demo")});
        QCOMPARE(m_program->launch({QStringLiteral("grumblix://log?note=after")}).exitCode, 0);
        QCOMPARE(notes(), (QStringList{"before", "full", "fuller", "after"}));
        const QString later = endGrumblix(SIGTERM);
        QVERIFY2(!later.contains(QLatin1String("lost")) && !later.startsWith(QLatin1Char('(')),
                 qPrintable(later));
    }

    // The question that Ctrl+Q asks while an incident waits is open when the logout comes.
    void aSignalUnderTheQuitQuestionTriesALastSave()
    {
        if (!MountNamespace::isInside())
            return runInNamespace();
        if (!DesktopTools::hasProgram(QStringLiteral("openbox")) ||
            !DesktopTools::hasProgram(QStringLiteral("xdotool")))
            QSKIP("needs openbox and xdotool");
        DesktopTools::startDetachedChild(QStringLiteral("openbox"), {}, this);
        QVERIFY(waitFor([] {
            return !run(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                        .contains(QLatin1String("not found"));
        }));
        logOnAFullDisk({QStringLiteral("--dashboard")});

        const auto windows = [] {
            return run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                   QStringLiteral("--name"), QStringLiteral("^Grumblix$")})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        QVERIFY(waitFor([&] { return windows().size() == 1; }, 10000));
        const QString dashboard = windows().constFirst();
        QVERIFY(waitFor([&] {
            run(QStringLiteral("xdotool"),
                {QStringLiteral("windowactivate"), QStringLiteral("--sync"), dashboard});
            return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed() == dashboard;
        }));
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+q")});
        // The question shows, and Grumblix waits for its answer.
        QVERIFY(waitFor([&] { return windows().size() == 2; }, 10000));
        QCOMPARE(m_grumblix->state(), QProcess::Running);

        const QString errors = endGrumblix(SIGTERM);
        QVERIFY2(!errors.startsWith(QLatin1Char('(')), qPrintable(errors));
        QVERIFY2(errors.contains(QLatin1String(
                     "Grumblix quit and lost 1 incident it could not save: the disk is full.\n")),
                 qPrintable(errors));
        QCOMPARE(notes(), QStringList{QStringLiteral("before")});
    }
};

QTEST_MAIN(QuitSaveTest)
#include "tst_quitsave.moc"
