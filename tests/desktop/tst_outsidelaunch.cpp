#include "platform/RuntimeFolder.h"
#include "support/DesktopTools.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using DesktopTools::waitFor;
using Launch = ProgramFixture::Launch;

// Grumblix runs in the desktop session; a launch comes from an environment that does not share its
// runtime folder (a cron job, su -, sudo -u, ssh without a login of its own). It must reach the
// running program, or say why not, and never start a second writer of the same store.
class OutsideLaunchTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_program;
    QProcess *m_first = nullptr;

    QStringList notes() const
    {
        QStringList notes;
        for (const QVariantList &row :
             StoreRows::read(m_program->storePath(), "SELECT note FROM VorpEvent ORDER BY rowid"))
            notes << row.value(0).toString();
        return notes;
    }
    qsizetype distinctIds() const
    {
        QSet<QString> ids;
        for (const QVariantList &row : StoreRows::read(m_program->storePath(), "SELECT uuid FROM VorpEvent"))
            ids << row.value(0).toString();
        return ids.size();
    }

    // The environment a row names, and the runtime folder a launch from it uses.
    std::pair<QProcessEnvironment, QString> environmentFor(const QString &kind) const
    {
        if (kind == QLatin1String("another runtime folder")) {
            const QString runtime = m_program->filePath(QStringLiteral("runtime2"));
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QProcessEnvironment env = m_program->environment();
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
            return {env, runtime};
        }
        if (kind == QLatin1String("no runtime folder")) {
            QProcessEnvironment env = m_program->environment();
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            env.insert(QStringLiteral("TMPDIR"), m_program->filePath(QStringLiteral("tmp")));
            return {env, m_program->outsideRuntimeFolder()};
        }
        return {m_program->outsideEnvironment(kind == QLatin1String("cron")),
                m_program->outsideRuntimeFolder()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Without XDG_RUNTIME_DIR a launch takes this login's own runtime folder, where this user's
        // real Grumblix would answer.
        const std::string login = "/run/user/" + std::to_string(::geteuid());
        if (RuntimeFolder::check(login, ::geteuid(), false).isUsable())
            QSKIP(qPrintable(QStringLiteral("launches without XDG_RUNTIME_DIR would use this login's %1")
                                 .arg(QString::fromStdString(login))));
        m_program = std::make_unique<ProgramFixture>();
        QVERIFY(m_program->isReady());
        m_first = m_program->start();
        QVERIFY(waitFor([&] { return QFile::exists(m_program->socketPath()); }, 10000));
        QVERIFY(waitFor([&] { return QFile::exists(m_program->storePath()); }));
    }

    void cleanupTestCase()
    {
        if (m_program)
            QVERIFY(m_program->terminate());
        m_program.reset();
    }

    void aLaunchFromElsewhereReachesTheRunningProgram_data()
    {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QStringList>("options");
        for (const char *environment :
             {"another runtime folder", "no runtime folder", "cron", "cron without a display"}) {
            // URLs alone are handed over by the launcher, with an option by the program proper.
            QTest::addRow("%s, a URL", environment) << QString::fromLatin1(environment) << QStringList{};
            QTest::addRow("%s, an option and a URL", environment)
                << QString::fromLatin1(environment) << QStringList{QStringLiteral("--tab=history")};
        }
    }
    void aLaunchFromElsewhereReachesTheRunningProgram()
    {
        QFETCH(QString, environment);
        QFETCH(QStringList, options);
        const auto [env, runtime] = environmentFor(environment);
        const QStringList before = notes();
        const qint64 first = m_program->instancePid();
        QVERIFY(first > 0);

        QCOMPARE(m_program->launch({QStringLiteral("grumblix://log?note=inside")}).exitCode, 0);
        const Launch outside =
            m_program->launch(options + QStringList{QStringLiteral("grumblix://log?note=outside")}, env);
        QVERIFY2(outside.errors.isEmpty(), qPrintable(outside.errors));
        QCOMPARE(outside.exitCode, 0);
        QCOMPARE(m_program->launch({QStringLiteral("grumblix://log?note=again")}).exitCode, 0);

        // Each stored once, none in place of another.
        QCOMPARE(notes(), before + QStringList({"inside", "outside", "again"}));
        QCOMPARE(distinctIds(), notes().size());
        QCOMPARE(m_first->state(), QProcess::Running);
        QCOMPARE(m_program->instancePid(), first);
        // The program proper a launch may have started there is gone, and its files with it.
        QVERIFY(waitFor([&, runtime = runtime] { return ProgramFixture::instancePidIn(runtime) == 0; }));
        QVERIFY(waitFor([&, runtime = runtime] {
            return QDir(runtime).entryList(QDir::Files | QDir::System).isEmpty();
        }));
    }

    void aWriterWhoseFolderOthersMayUseIsNotHandedTheLaunch_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("a URL") << QStringList{};
        QTest::newRow("an option and a URL") << QStringList{QStringLiteral("--tab=history")};
    }
    void aWriterWhoseFolderOthersMayUseIsNotHandedTheLaunch()
    {
        QFETCH(QStringList, options);
        const QString folder = m_program->filePath(QStringLiteral("runtime"));
        const QByteArray native = QFile::encodeName(folder);
        QCOMPARE(::chmod(native.constData(), 0755), 0);
        const QStringList before = notes();
        const Launch refused =
            m_program->launch(options + QStringList{QStringLiteral("grumblix://log?note=lost")},
                              m_program->outsideEnvironment(true));
        ::chmod(native.constData(), 0700);
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(
            refused.errors,
            QStringLiteral("Grumblix runs elsewhere (process %1), but it listens in %2, which this launch "
                           "will not use: other users may use it (mode 0755; it must be 0700). Nothing was "
                           "logged.\n")
                .arg(m_program->instancePid())
                .arg(folder));
        QCOMPARE(notes(), before);
        QCOMPARE(m_first->state(), QProcess::Running);
        // The folder mended, the same launch goes through.
        QCOMPARE(m_program
                     ->launch(options + QStringList{QStringLiteral("grumblix://log?note=found")},
                              m_program->outsideEnvironment(true))
                     .exitCode,
                 0);
        QCOMPARE(notes(), before + QStringList({"found"}));
    }
};

QTEST_GUILESS_MAIN(OutsideLaunchTest)
#include "tst_outsidelaunch.moc"
