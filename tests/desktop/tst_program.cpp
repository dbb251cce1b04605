#include "platform/X11Connection.h"
#include "support/DesktopTools.h"
#include "support/ProgramFixture.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using DesktopTools::run;
using DesktopTools::waitFor;

namespace {

const QString program = ProgramFixture::programPath();

// Child mode: one window with a fixed WM_CLASS, until killed.
int runWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Grumpy"));
    window.resize(300, 200);
    window.winId();
    auto x11 = X11Connection::fromApplication();
    const QByteArray value("grumpy\0GrumpyClass\0", 19);
    xcb_change_property(x11->connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, uint32_t(value.size()), value.constData());
    window.show();
    return app.exec();
}

struct Row
{
    QString appName, bundle, trigger, note, source;
    bool hasTrigger = false, hasNote = false;
};

} // namespace

// The installed program as a user meets it: one process per user, URLs handed over by a second
// launch, the global shortcut charged to the window in front.
class ProgramTest : public QObject
{
    Q_OBJECT

    QString m_root;
    QProcess *m_grumblix = nullptr;

    QString storePath() const { return m_root + QStringLiteral("/xdg_data_home/Grumblix/Grumblix.store"); }

    QList<Row> rows() const
    {
        QList<Row> result;
        const char *sql =
            "SELECT appName, bundleIdentifier, triggerKey, note, sourceRaw FROM VorpEvent ORDER BY rowid";
        for (const QVariantList &columns : StoreRows::read(storePath(), sql)) {
            auto text = [&](int column) { return columns.value(column).toString(); };
            Row row{text(0), text(1), text(2), text(3), text(4)};
            row.hasTrigger = columns.value(2).isValid();
            row.hasNote = columns.value(3).isValid();
            result << row;
        }
        return result;
    }

    int launch(const QStringList &arguments)
    {
        QProcess second;
        second.start(program, arguments);
        if (!second.waitForFinished(10000))
            return -1;
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -2;
    }

    QStringList visibleDashboards()
    {
        QStringList sizes;
        const QStringList ids =
            run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--name"), QStringLiteral("^Grumblix$")})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &id : ids) {
            const QString geometry =
                run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), id});
            if (geometry.contains(QLatin1String("Geometry: 1120x")))
                sizes << id;
        }
        return sizes;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(QFile::exists(program), qPrintable(program));
        m_root = TestSupport::isolateFolders();
        const QString runtime = m_root + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());

        // Past the first-run card, so nothing but the tray shows at start.
        QDir().mkpath(m_root + QStringLiteral("/xdg_config_home/Grumblix"));
        QFile conf(m_root + QStringLiteral("/xdg_config_home/Grumblix/Grumblix.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[General]\nhasOnboarded=true\n");
        conf.close();
        QDir().mkpath(m_root + QStringLiteral("/xdg_data_home/applications"));
        QFile entry(m_root + QStringLiteral("/xdg_data_home/applications/org.example.Grumpy.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Grumpy "
                    "Editor\nStartupWMClass=GrumpyClass\nExec=grumpy\n");
        entry.close();

        DesktopTools::startDetachedChild(QStringLiteral("openbox"), {}, this);
        QVERIFY(waitFor([] {
            return !run(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                        .contains(QLatin1String("not found"));
        }));
        // A tray, so the program stays in it and shows no window of its own.
        DesktopTools::startDetachedChild(QStringLiteral("trayer"),
                                         {QStringLiteral("--edge"), QStringLiteral("top"),
                                          QStringLiteral("--height"), QStringLiteral("24")},
                                         this);
        QVERIFY(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }));
        m_grumblix = DesktopTools::startDetachedChild(program, {}, this);
        QVERIFY(waitFor([&] { return QFile::exists(runtime + QStringLiteral("/grumblix.socket")); }, 10000));
        QVERIFY(waitFor([&] { return QFile::exists(storePath()); }));
    }

    void secondLaunchHandsOverTheUrl()
    {
        QCOMPARE(launch({QStringLiteral("grumblix://log?trigger=meeting&note=stuck%20again")}), 0);
        QVERIFY(waitFor([&] { return rows().size() == 1; }));
        QTest::qWait(300);
        const QList<Row> stored = rows();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().trigger, QStringLiteral("meeting"));
        QCOMPARE(stored.first().note, QStringLiteral("stuck again"));
        QCOMPARE(stored.first().source, QStringLiteral("url"));
        QCOMPARE(m_grumblix->state(), QProcess::Running);

        // The first toast after start settles at the top centre of the screen, under the tray.
        QString toast;
        const bool centred = waitFor([&] {
            for (const QString &id :
                 run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--name"), QStringLiteral("^Grumblix$")})
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QString geometry = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), id});
                if (geometry.contains(QLatin1String("Geometry: 1120x")))
                    continue;
                toast = geometry;
                const QRegularExpressionMatch where =
                    QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+).*Geometry: (\\d+)x(\\d+)"),
                                       QRegularExpression::DotMatchesEverythingOption)
                        .match(geometry);
                if (where.hasMatch() && qAbs(where.captured(1).toInt() + where.captured(3).toInt() / 2 - 640) <= 2 &&
                    where.captured(2).toInt() <= 60)
                    return true;
            }
            return false;
        });
        QVERIFY2(centred, qPrintable(toast));
    }

    void foreignSchemeLogsNothing()
    {
        const qsizetype before = rows().size();
        QCOMPARE(launch({QStringLiteral("GRUMBLIX://log"), QStringLiteral("https://example.com/log")}), 0);
        QTest::qWait(500);
        QCOMPARE(rows().size(), before);
    }

    void secondLaunchWithoutUrlShowsTheDashboard()
    {
        QVERIFY(visibleDashboards().isEmpty());
        QCOMPARE(launch({}), 0);
        QVERIFY(waitFor([&] { return visibleDashboards().size() == 1; }));
        QCOMPARE(launch({}), 0);
        QTest::qWait(300);
        QCOMPARE(visibleDashboards().size(), 1); // the same window again
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+w")});
        QVERIFY(waitFor([&] { return visibleDashboards().isEmpty(); }));
        QCOMPARE(m_grumblix->state(), QProcess::Running); // closing the window does not quit
    }

    void shortcutLogsEveryPressWhileTheDashboardHasFocus()
    {
        QCOMPARE(launch({}), 0);
        QVERIFY(waitFor([&] { return visibleDashboards().size() == 1; }));
        const QString dashboard = visibleDashboards().constFirst();
        run(QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), dashboard});
        QVERIFY(waitFor([&] {
            return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed() == dashboard;
        }));
        const qsizetype before = rows().size();
        for (int press = 1; press <= 3; ++press) {
            run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
            QVERIFY2(waitFor([&] { return rows().size() == before + press; }),
                     qPrintable(QStringLiteral("press %1 was not logged").arg(press)));
        }
        QCOMPARE(rows().last().source, QStringLiteral("shortcut"));
        run(QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), dashboard});
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+w")});
        QVERIFY(waitFor([&] { return visibleDashboards().isEmpty(); }));
    }

    void shortcutChargesTheWindowInFront_data()
    {
        QTest::addColumn<bool>("numLock");
        QTest::newRow("plain") << false;
        QTest::newRow("NumLock on") << true;
    }

    void shortcutChargesTheWindowInFront()
    {
        QFETCH(bool, numLock);
        QProcess *window = DesktopTools::startDetachedChild(QCoreApplication::applicationFilePath(),
                                                            {QStringLiteral("--window")}, this);
        QVERIFY(waitFor([] {
            return run(QStringLiteral("xdotool"),
                       {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")})
                .contains(QLatin1String("Grumpy"));
        }));
        if (numLock)
            run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Num_Lock")});
        const qsizetype before = rows().size();
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return rows().size() == before + 1; }));
        const Row row = rows().last();
        QCOMPARE(row.source, QStringLiteral("shortcut"));
        QCOMPARE(row.appName, QStringLiteral("Grumpy Editor"));
        QCOMPARE(row.bundle, QStringLiteral("org.example.Grumpy"));
        QVERIFY(!row.hasTrigger);
        if (numLock)
            run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Num_Lock")});
        window->kill();
        window->waitForFinished();
    }

    void terminationQuitsInOrderAndFreesTheInstance()
    {
        m_grumblix->terminate(); // as a logout does
        QVERIFY(m_grumblix->waitForFinished(5000));
        QCOMPARE(m_grumblix->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_grumblix->exitCode(), 0);

        // The next launch runs the program again, in the background, and returns once it has
        // logged the URL on its command line.
        const qsizetype before = rows().size();
        QCOMPARE(launch({QStringLiteral("grumblix://log?source=physical")}), 0);
        QCOMPARE(rows().size(), before + 1);
        QCOMPARE(rows().last().source, QStringLiteral("physical"));
        const QString runtime = m_root + QStringLiteral("/runtime");
        QVERIFY(ProgramFixture::instancePidIn(runtime) > 0);
        QVERIFY(ProgramFixture::stopInstanceIn(runtime));
    }
};

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--window") == 0)
        return runWindow(argc, argv);
    QApplication app(argc, argv);
    ProgramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_program.moc"
