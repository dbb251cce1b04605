#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What `cmake --install` puts in place, and that the desktop's own validators accept it.
class PackagingTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

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
        QVERIFY2(lines.contains(QStringLiteral("Exec=%1 %u").arg(m_prefix.filePath(QStringLiteral("bin/grumblix")))),
                 qPrintable(lines.filter(QStringLiteral("Exec=")).join(QLatin1Char(' '))));
        QVERIFY(lines.contains(QStringLiteral("MimeType=x-scheme-handler/grumblix;")));
        QVERIFY(lines.contains(QStringLiteral("Icon=grumblix")));
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
