#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

// The single-instance folder as another local user could prepare it before Grumblix starts.
class RuntimeFolderTest : public QObject
{
    Q_OBJECT

    // The variables a test changes, as the run had them: a TMPDIR left pointing into a removed
    // folder would keep the next test from making its own.
    QByteArray m_tmpdir = qgetenv("TMPDIR");
    QByteArray m_runtime = qgetenv("XDG_RUNTIME_DIR");

private Q_SLOTS:
    void cleanup()
    {
        for (const auto &[name, value] :
             {std::pair{"TMPDIR", m_tmpdir}, std::pair{"XDG_RUNTIME_DIR", m_runtime}}) {
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    void onlyAPrivateFolderOfOursIsUsed_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("refusal"); // empty: usable
        QTest::newRow("missing, made") << "missing"
                                       << "";
        QTest::newRow("ours, 0700") << "private"
                                    << "";
        QTest::newRow("open to all") << "0777"
                                     << "mode 0777";
        QTest::newRow("readable by group") << "0750"
                                           << "mode 0750";
        QTest::newRow("symbolic link") << "link"
                                       << "symbolic link";
        QTest::newRow("dangling link") << "dangling"
                                       << "symbolic link";
        QTest::newRow("a file") << "file"
                                << "not a folder";
        QTest::newRow("another user's") << "foreign"
                                        << "another user";
    }
    void onlyAPrivateFolderOfOursIsUsed()
    {
        QFETCH(QString, setup);
        QFETCH(QString, refusal);
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("grumblix-runtime"));
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(elsewhere));
        ::chmod(QFile::encodeName(elsewhere).constData(), 0700);
        uid_t owner = geteuid();
        const QByteArray native = QFile::encodeName(path);
        if (setup == QLatin1String("private") || setup == QLatin1String("0777") ||
            setup == QLatin1String("0750") || setup == QLatin1String("foreign")) {
            QCOMPARE(::mkdir(native.constData(), 0700), 0);
            const mode_t mode = setup == QLatin1String("0777")   ? 0777
                                : setup == QLatin1String("0750") ? 0750
                                                                 : 0700;
            QCOMPARE(::chmod(native.constData(), mode), 0);
        } else if (setup == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, path));
        } else if (setup == QLatin1String("dangling")) {
            QVERIFY(QFile::link(root.filePath(QStringLiteral("nowhere")), path));
        } else if (setup == QLatin1String("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (setup == QLatin1String("foreign")) {
            // As root the folder really changes hands; otherwise it is judged for another uid.
            if (geteuid() == 0)
                QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
            else
                owner = geteuid() + 1;
        }

        const RuntimeFolder result = RuntimeFolder::check(path.toStdString(), owner, true);
        const QString usable = QString::fromStdString(result.path);
        const QString error = QString::fromStdString(result.error);
        if (refusal.isEmpty()) {
            QVERIFY2(result.isUsable(), qPrintable(error));
            QCOMPARE(usable, path);
            struct stat info = {};
            QCOMPARE(::lstat(native.constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0700));
        } else {
            QVERIFY(!result.isUsable());
            QVERIFY(usable.isEmpty());
            QVERIFY2(error.contains(refusal), qPrintable(error));
            QVERIFY2(error.contains(path), qPrintable(error));
        }
        // Nothing is followed or repaired: a link still points where it did.
        if (setup == QLatin1String("link"))
            QCOMPARE(QFileInfo(path).symLinkTarget(), elsewhere);
    }

    void runtimeVariableIsCheckedToo()
    {
        QTemporaryDir root;
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path()));
        QVERIFY(!RuntimeFolder::resolve().isUsable());
        ::chmod(QFile::encodeName(root.path()).constData(), 0700);
        QCOMPARE(QString::fromStdString(RuntimeFolder::resolve().path), root.path());
    }

    // Without the variable (cron, su -, ssh) the login's own runtime folder is the desktop's, when
    // it is fit; one that is not is neither used nor changed, and none is made.
    void withoutTheVariableTheLoginsFolderIsTried_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("used");
        QTest::newRow("ours, 0700") << "private" << true;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("open to others") << "0755" << false;
        QTest::newRow("a symbolic link to ours") << "link" << false;
        QTest::newRow("another user's") << "foreign" << false;
    }
    void withoutTheVariableTheLoginsFolderIsTried()
    {
        QFETCH(QString, setup);
        QFETCH(bool, used);
        if (setup == QLatin1String("foreign") && geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QTemporaryDir root;
        const QString logins = root.filePath(QStringLiteral("user"));
        const QString login = logins + QStringLiteral("/%1").arg(geteuid());
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        const QString tmp = root.filePath(QStringLiteral("tmp"));
        for (const QString &folder : {logins, elsewhere, tmp})
            QVERIFY(QDir().mkdir(folder));
        ::chmod(QFile::encodeName(elsewhere).constData(), 0700);
        const QByteArray native = QFile::encodeName(login);
        if (setup == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, login));
        } else if (setup != QLatin1String("missing")) {
            QCOMPARE(::mkdir(native.constData(), 0700), 0);
            QCOMPARE(::chmod(native.constData(), setup == QLatin1String("0755") ? 0755 : 0700), 0);
            if (setup == QLatin1String("foreign"))
                QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
        }
        struct stat before = {};
        const bool existed = ::lstat(native.constData(), &before) == 0;
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(tmp));

        const RuntimeFolder folder = RuntimeFolder::resolve(QFile::encodeName(logins).toStdString());
        QVERIFY2(folder.isUsable(), folder.error.c_str());
        QCOMPARE(QString::fromStdString(folder.path),
                 used ? login : tmp + QStringLiteral("/grumblix-%1").arg(geteuid()));
        struct stat after = {};
        QCOMPARE(::lstat(native.constData(), &after) == 0, existed);
        if (existed)
            QCOMPARE(after.st_mode, before.st_mode);
    }

    void withoutTheVariableAPrivateTemporaryFolderIsUsed()
    {
        QTemporaryDir tmp;
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        // No login folders there.
        const RuntimeFolder folder =
            RuntimeFolder::resolve(QFile::encodeName(tmp.filePath("user")).toStdString());
        QVERIFY2(folder.isUsable(), folder.error.c_str());
        QCOMPARE(QString::fromStdString(folder.path),
                 tmp.filePath(QStringLiteral("grumblix-%1").arg(geteuid())));
    }
};

QTEST_GUILESS_MAIN(RuntimeFolderTest)
#include "tst_runtimefolder.moc"
