#include "platform/XcbHotKey.h"
#include "services/HotKeyService.h"
#include "shell/Platform.h"
#include "support/DesktopTools.h"

#include <QApplication>
#include <QTest>
#include <X11/Xlib.h>

using DesktopTools::run;
using DesktopTools::waitFor;

namespace {
constexpr quint32 altShift = HotKeyBackend::optionBit | HotKeyBackend::shiftBit;
}

class HotKeyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("xdotool")), "xdotool is missing");
    }

    void cleanup()
    {
        // Leave no lock key on for the next case.
        const QString state = run(QStringLiteral("xset"), {QStringLiteral("q")});
        if (state.contains(QLatin1String("Num Lock:    on")))
            run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Num_Lock")});
        if (state.contains(QLatin1String("Caps Lock:   on")))
            run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Caps_Lock")});
    }

    void pressLogsOnceOnALaterTurn_data()
    {
        QTest::addColumn<QStringList>("locks");
        QTest::newRow("no lock") << QStringList{};
        QTest::newRow("NumLock") << QStringList{QStringLiteral("Num_Lock")};
        QTest::newRow("CapsLock") << QStringList{QStringLiteral("Caps_Lock")};
        QTest::newRow("both") << QStringList{QStringLiteral("Num_Lock"), QStringLiteral("Caps_Lock")};
    }

    void pressLogsOnceOnALaterTurn()
    {
        QFETCH(QStringList, locks);
        HotKeyService service(Platform::hotKeyBackend(QGuiApplication::platformName()));
        int presses = 0;
        service.setHandler([&] { ++presses; });
        QVERIFY(service.registerKey(Qt::Key_F, altShift));
        for (const QString &lock : locks)
            run(QStringLiteral("xdotool"), {QStringLiteral("key"), lock});

        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return presses == 1; }));
        QTest::qWait(300);
        QCOMPARE(presses, 1);

        // Other combinations of the same key are not the shortcut.
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+shift+f")});
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift+f")});
        QTest::qWait(300);
        QCOMPARE(presses, 1);
    }

    void handlerRunsAfterTheFilterReturns()
    {
        auto backend = Platform::hotKeyBackend(QGuiApplication::platformName());
        HotKeyBackend *raw = backend.get();
        HotKeyService service(std::move(backend));
        int calls = 0;
        service.setHandler([&] { ++calls; });
        Q_EMIT raw->activated(); // as the event filter would
        QCOMPARE(calls, 0);
        // A handler installed after the press was queued is the one that runs.
        int later = 0;
        service.setHandler([&] { ++later; });
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);
        QCOMPARE(later, 1);
    }

    void autoRepeatDoesNotLogTwice()
    {
        HotKeyService service(Platform::hotKeyBackend(QGuiApplication::platformName()));
        int presses = 0;
        service.setHandler([&] { ++presses; });
        QVERIFY(service.registerKey(Qt::Key_F, altShift));
        run(QStringLiteral("xset"),
            {QStringLiteral("r"), QStringLiteral("rate"), QStringLiteral("100"), QStringLiteral("50")});
        run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("alt+shift+f")});
        QTest::qWait(900);
        run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("f")});
        run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("alt+shift")});
        QVERIFY(waitFor([&] { return presses >= 1; }));
        QTest::qWait(300);
        QCOMPARE(presses, 1);

        // A real second press after the release counts again.
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return presses == 2; }));
    }

    void reRegisteringKeepsOneGrab()
    {
        HotKeyService service(Platform::hotKeyBackend(QGuiApplication::platformName()));
        int presses = 0;
        service.setHandler([&] { ++presses; });
        QVERIFY(service.registerKey(Qt::Key_F, altShift));
        QVERIFY(service.registerKey(Qt::Key_F, altShift));
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return presses == 1; }));

        // Moving to another combination releases the old one.
        QVERIFY(service.registerKey(Qt::Key_F9, HotKeyBackend::controlBit));
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QTest::qWait(300);
        QCOMPARE(presses, 1);
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+F9")});
        QVERIFY(waitFor([&] { return presses == 2; }));

        service.unregister();
        QVERIFY(!service.isRegistered());
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+F9")});
        QTest::qWait(300);
        QCOMPARE(presses, 2);
    }

    void combinationHeldByAnotherClientIsRefused()
    {
        // A second X client takes the combination first, as another program would.
        Display *other = XOpenDisplay(nullptr);
        QVERIFY(other);
        const KeyCode f = XKeysymToKeycode(other, 'f');
        XGrabKey(other, f, ShiftMask | Mod1Mask, DefaultRootWindow(other), True, GrabModeAsync,
                 GrabModeAsync);
        XSync(other, False);

        HotKeyService service(Platform::hotKeyBackend(QGuiApplication::platformName()));
        int presses = 0;
        service.setHandler([&] { ++presses; });
        QVERIFY(!service.registerKey(Qt::Key_F, altShift));
        QVERIFY(!service.isRegistered());

        // What was grabbed before the refusal was released again: the other client can take the
        // lock variants, which would fail if our grabs lingered.
        static int errors = 0;
        XSetErrorHandler([](Display *, XErrorEvent *) -> int {
            ++errors;
            return 0;
        });
        XGrabKey(other, f, ShiftMask | Mod1Mask | Mod2Mask, DefaultRootWindow(other), True, GrabModeAsync,
                 GrabModeAsync);
        XSync(other, False);
        QCOMPARE(errors, 0);
        XCloseDisplay(other);

        // Once the other client is gone the combination is free.
        QVERIFY(service.registerKey(Qt::Key_F, altShift));
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return presses == 1; }));
    }

    void keyWithoutKeysymIsRefused()
    {
        HotKeyService service(Platform::hotKeyBackend(QGuiApplication::platformName()));
        QVERIFY(!service.registerKey(Qt::Key_unknown, altShift));
    }
};

QTEST_MAIN(HotKeyTest)
#include "tst_hotkey.moc"
