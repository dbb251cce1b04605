#include "platform/DisplayCheck.h"
#include "support/UnixSockets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using DisplayCheck::Environment;
using DisplayCheck::Probes;

namespace {

// X displays ":0" and ":1" answer, Wayland sockets under /run/user/1000 answer; nothing else does.
Probes fakeProbes(QByteArrayList *asked = nullptr)
{
    Probes probes;
    probes.x = [asked](const QByteArray &display) {
        if (asked)
            *asked << "x " + display;
        return display == ":0" || display == ":1";
    };
    probes.wayland = [asked](const QByteArray &path) {
        if (asked)
            *asked << "wayland " + path;
        return path.startsWith("/run/user/1000/");
    };
    return probes;
}

} // namespace

// Before Qt aborts for want of a display, the program says in one line that it needs one.
class DisplayCheckTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decides_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QString>("problem"); // empty: the program may go on

        const QByteArray none;
        QTest::newRow("over ssh") << none << none << none
                                  << "Grumblix is not running and cannot start without a desktop session: no "
                                     "display here (DISPLAY and "
                                     "WAYLAND_DISPLAY are unset); nothing was logged.";
        QTest::newRow("X11") << none << QByteArray(":0") << none << QString();
        QTest::newRow("Wayland") << none << none << QByteArray("wayland-0") << QString();
        QTest::newRow("an X display nobody serves")
            << none << QByteArray(":5") << none
            << "Grumblix is not running and cannot start without a desktop session: no display here (the X "
               "display :5 cannot be opened; "
               "WAYLAND_DISPLAY is unset); nothing was logged.";
        QTest::newRow("a dead Wayland socket, a live X display")
            << none << QByteArray(":1") << QByteArray("/tmp/gone") << QString();
        QTest::newRow("offscreen needs no display") << QByteArray("offscreen") << none << none << QString();
        QTest::newRow("nor does minimal") << QByteArray("minimal") << none << none << QString();
        QTest::newRow("Wayland asked for, X there")
            << QByteArray("wayland") << QByteArray(":0") << none
            << "Grumblix is not running and cannot start without a desktop session: no display here for "
               "QT_QPA_PLATFORM=wayland "
               "(WAYLAND_DISPLAY is unset); nothing was logged.";
        QTest::newRow("a list falls back to X")
            << QByteArray("wayland;xcb") << QByteArray(":0") << none << QString();
        QTest::newRow("X11 asked for, none there")
            << QByteArray("xcb") << none << QByteArray("wayland-0")
            << "Grumblix is not running and cannot start without a desktop session: no display here for "
               "QT_QPA_PLATFORM=xcb (DISPLAY is "
               "unset); nothing was logged.";
        QTest::newRow("a plugin's options")
            << QByteArray("xcb:nograb") << QByteArray(":0") << none << QString();
    }
    void decides()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QString, problem);
        Environment environment;
        environment.platform = platform;
        environment.platformSource = "QT_QPA_PLATFORM";
        environment.display = display;
        environment.waylandDisplay = wayland;
        environment.runtimeFolder = "/run/user/1000";
        const std::optional<QString> found = DisplayCheck::problem(environment, fakeProbes());
        QCOMPARE(found.value_or(QString()), problem);
    }

    // Qt reads -platform and -display before the environment; a relative Wayland name lives in
    // the runtime folder.
    void readsWhatQtReads()
    {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", ":9");
        qputenv("WAYLAND_DISPLAY", "wayland-1");
        qputenv("XDG_RUNTIME_DIR", "/run/user/1000");
        qunsetenv("WAYLAND_SOCKET");
        const Environment environment =
            Environment::current({"grumblix", "--platform", "wayland", "-display", ":1", "grumblix://log"});
        QCOMPARE(environment.platform, QByteArray("wayland"));
        QCOMPARE(environment.platformSource, QByteArray("-platform"));
        QCOMPARE(environment.display, QByteArray(":1"));
        QByteArrayList asked;
        QVERIFY(!DisplayCheck::problem(environment, fakeProbes(&asked)));
        QCOMPARE(asked, QByteArrayList{"wayland /run/user/1000/wayland-1"});

        Environment ssh = environment;
        ssh.waylandDisplay.clear();
        QCOMPARE(DisplayCheck::problem(ssh, fakeProbes()).value_or(QString()),
                 QStringLiteral("Grumblix is not running and cannot start without a desktop session: no "
                                "display here for -platform wayland "
                                "(WAYLAND_DISPLAY is unset); nothing was logged."));
        // A connection the compositor handed down needs no name.
        ssh.waylandSocket = "5";
        QVERIFY(!DisplayCheck::problem(ssh, fakeProbes()));
    }

    void realProbes()
    {
        const Probes probes = Probes::real();
        // A display number nobody serves here.
        int unused = 4711;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(unused)))
            ++unused;
        QVERIFY(!probes.x(":" + QByteArray::number(unused)));
        QVERIFY(!probes.x("not a display"));

        QTemporaryDir folder;
        const QString socket = folder.filePath(QStringLiteral("wayland-7"));
        QVERIFY(!probes.wayland(QFile::encodeName(socket)));
        const int server = UnixSockets::listenAt(socket);
        QVERIFY(server >= 0);
        QVERIFY(probes.wayland(QFile::encodeName(socket)));
        ::close(server);
    }
};

QTEST_GUILESS_MAIN(DisplayCheckTest)
#include "tst_displaycheck.moc"
