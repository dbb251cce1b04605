#include "platform/DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class DesktopEntriesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString folder(const QString &name)
    {
        const QString path = m_root.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    void write(const QString &path, const QByteArray &text)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString user = folder(QStringLiteral("user"));
        const QString system = folder(QStringLiteral("system"));
        write(user + QStringLiteral("/org.gnome.Terminal.desktop"),
              "[Desktop Entry]\nType=Application\nName=My Terminal\nName[de]=Mein Terminal\n"
              "Icon=utilities-terminal\nStartupWMClass=Gnome-terminal\nExec=gnome-terminal\n"
              "[Desktop Action new]\nName=New Window\nIcon=wrong\n");
        write(system + QStringLiteral("/org.gnome.Terminal.desktop"),
              "[Desktop Entry]\nType=Application\nName=Terminal\nIcon=old\n");
        write(system + QStringLiteral("/kde/org.kde.kate.desktop"),
              "[Desktop Entry]\nType=Application\nName=Kate\nName[de_CH]=Kate CH\nName[de]=Kate DE\n"
              "Exec=env FOO=1 /usr/bin/kate -b %U\nIcon=kate\n");
        write(
            system + QStringLiteral("/firefox-esr.desktop"),
            "[Desktop Entry]\nType=Application\nName=Firefox ESR\nExec=/usr/lib/firefox-esr/firefox-esr %u\n"
            "Icon=firefox-esr\n");
        write(user + QStringLiteral("/secret.desktop"),
              "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n");
        write(system + QStringLiteral("/secret.desktop"), "[Desktop Entry]\nType=Application\nName=Secret\n");
        write(system + QStringLiteral("/link.desktop"), "[Desktop Entry]\nType=Link\nName=Web\nURL=x\n");
        write(system + QStringLiteral("/broken.desktop"), "garbage without a group\n=\n[");
    }

    void indexesByIdFirstFolderWinning()
    {
        DesktopEntries entries({folder(QStringLiteral("user")), folder(QStringLiteral("system"))});
        const auto terminal = entries.byId(QStringLiteral("org.gnome.Terminal"));
        QVERIFY(terminal);
        QCOMPARE(terminal->name, QStringLiteral("My Terminal"));
        QCOMPARE(terminal->icon, QStringLiteral("utilities-terminal")); // not the action's
        // Sub-folders join the id with '-'.
        QVERIFY(entries.byId(QStringLiteral("kde-org.kde.kate")));
        // A hidden user entry removes the system one; links and broken files are no applications.
        QVERIFY(!entries.byId(QStringLiteral("secret")));
        QVERIFY(!entries.byId(QStringLiteral("link")));
        QVERIFY(!entries.byId(QStringLiteral("broken")));
    }

    void localisedName_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("name");
        QTest::newRow("none") << QString() << QStringLiteral("Kate");
        QTest::newRow("language") << QStringLiteral("de_DE") << QStringLiteral("Kate DE");
        QTest::newRow("country") << QStringLiteral("de_CH.UTF-8") << QStringLiteral("Kate CH");
        QTest::newRow("other") << QStringLiteral("fr_FR") << QStringLiteral("Kate");
    }

    void localisedName()
    {
        QFETCH(QString, locale);
        QFETCH(QString, name);
        DesktopEntries entries({folder(QStringLiteral("system"))}, locale);
        QCOMPARE(entries.byId(QStringLiteral("kde-org.kde.kate"))->name, name);
    }

    void windowClassLookup_data()
    {
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("id");
        QTest::newRow("StartupWMClass")
            << QStringLiteral("gnome-terminal-server") << QStringLiteral("Gnome-terminal")
            << QStringLiteral("org.gnome.Terminal");
        QTest::newRow("id tail") << QStringLiteral("kate") << QStringLiteral("kate")
                                 << QStringLiteral("kde-org.kde.kate");
        QTest::newRow("id, any case")
            << QStringLiteral("Navigator") << QStringLiteral("Firefox-esr") << QStringLiteral("firefox-esr");
        QTest::newRow("unknown") << QStringLiteral("xterm") << QStringLiteral("XTerm") << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }

    void windowClassLookup()
    {
        QFETCH(QString, instance);
        QFETCH(QString, cls);
        QFETCH(QString, id);
        DesktopEntries entries({folder(QStringLiteral("user")), folder(QStringLiteral("system"))});
        const auto entry = entries.forWindowClass(instance, cls);
        QCOMPARE(entry ? entry->id : QString(), id);
    }

    void executableNameFromExec()
    {
        DesktopEntries entries({folder(QStringLiteral("system"))});
        QCOMPARE(entries.byId(QStringLiteral("kde-org.kde.kate"))->executable, QStringLiteral("kate"));
        QCOMPARE(entries.forWindowClass(QString(), QStringLiteral("firefox-esr"))->name,
                 QStringLiteral("Firefox ESR"));
    }
};

QTEST_GUILESS_MAIN(DesktopEntriesTest)
#include "tst_desktopentries.moc"
