#include "app/AppModel.h"
#include "app/DashboardWindow.h"
#include "app/Toast.h"
#include "features/settings/SettingsView.h"
#include "features/settings/ShortcutRecorder.h"
#include "models/Prefs.h"
#include "platform/HotKeyBackend.h"
#include "services/HotKeyService.h"
#include "shell/Platform.h"
#include "shell/PlatformAdapters.h"
#include "support/DesktopTools.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <X11/Xlib.h>

using DesktopTools::run;
using DesktopTools::waitFor;

namespace {

// Child mode: a plain window of another program, until killed.
int runWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Elsewhere"));
    window.resize(300, 200);
    window.show();
    return app.exec();
}

// Whether another X client can take Alt+Shift+F: only when no one holds it any more.
bool altShiftFIsFree()
{
    Display *other = XOpenDisplay(nullptr);
    if (!other)
        return false;
    static int errors;
    errors = 0;
    XErrorHandler previous = XSetErrorHandler([](Display *, XErrorEvent *) -> int {
        ++errors;
        return 0;
    });
    XGrabKey(other, XKeysymToKeycode(other, 'f'), ShiftMask | Mod1Mask, DefaultRootWindow(other), True,
             GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    XSetErrorHandler(previous);
    XCloseDisplay(other);
    return errors == 0;
}

QString activeWindowName()
{
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")})
        .trimmed();
}

} // namespace

// The recorder on a real X server: keys typed with xdotool reach the page while it records, and
// the recorded combination then logs from any window while the old one no longer does.
class TestShortcutRecorderDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("xdotool")), "xdotool is missing");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("openbox")), "openbox is missing");
        TestSupport::isolateFolders();
        DesktopTools::startDetachedChild(QStringLiteral("openbox"), {}, this);
        QVERIFY(waitFor([] {
            return !run(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                        .contains(QLatin1String("not found"));
        }));
    }

    void recordedShortcutLogsFromAnotherWindow()
    {
        QTemporaryDir dir;
        Prefs prefs(dir.filePath(QStringLiteral("Grumblix.conf")));
        prefs.setHasOnboarded(true);
        AppModel model(dir.filePath(QStringLiteral("Grumblix.store")), prefs);
        QVERIFY(model.isValid());
        HotKeyService hotKeys(Platform::hotKeyBackend(QGuiApplication::platformName()));
        GlobalHotKeyAdapter adapter(hotKeys);
        AppServices services;
        services.hotKey = &adapter;
        model.setServices(std::move(services));
        model.bootstrap({QStringLiteral("grumblix")});
        QVERIFY(model.hotKeyRegistered());

        auto shortcutLogs = [&] {
            int n = 0;
            for (const VorpEvent &event : model.allEvents())
                n += event.sourceRaw == QLatin1String("shortcut");
            return n;
        };

        SettingsServices settings;
        settings.hotKeys = &hotKeys;
        SettingsView page(model, settings);
        page.setWindowTitle(QStringLiteral("Grumblix Settings"));
        page.resize(1100, 800);
        page.show();
        QVERIFY(DesktopTools::activate(page));
        QVERIFY(waitFor([] { return activeWindowName() == QLatin1String("Grumblix Settings"); }));

        // The default combination logs before anything is recorded.
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return shortcutLogs() == 1; }));
        QVERIFY(!altShiftFIsFree());

        ShortcutRecorder *recorder = page.recorder();
        QVERIFY(waitFor([&] { return recorder->button()->isVisible(); }));
        const QPoint centre = recorder->button()->mapToGlobal(recorder->button()->rect().center());
        auto startRecording = [&] {
            run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
                 QStringLiteral("click"), QStringLiteral("1")});
            return waitFor([&] { return recorder->isRecording(); });
        };
        QVERIFY(startRecording());

        // While recording the old combination is released: it reaches the page (which takes it as
        // the new shortcut) instead of logging.
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+shift+f")});
        QVERIFY(waitFor([&] { return !recorder->isRecording(); }));
        QCOMPARE(model.shortcut(), Shortcut::defaultShortcut());
        QCOMPARE(shortcutLogs(), 1);

        QVERIFY(startRecording());

        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
        QVERIFY(waitFor([&] { return !recorder->isRecording(); }));
        QCOMPARE(model.shortcut(),
                 (Shortcut{Qt::Key_K, Shortcut::controlBit | Shortcut::optionBit, QStringLiteral("K")}));
        QVERIFY(model.hotKeyRegistered());
        QCOMPARE(Shortcut::load(prefs), model.shortcut());
        QCOMPARE(shortcutLogs(), 1); // typed into the recorder, not logged

        QProcess *other = DesktopTools::startDetachedChild(QCoreApplication::applicationFilePath(),
                                                           {QStringLiteral("--window")}, this);
        QVERIFY(waitFor([] { return activeWindowName() == QLatin1String("Elsewhere"); }));
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+k")});
        QVERIFY(waitFor([&] { return shortcutLogs() == 2; }));
        QCOMPARE(model.allEvents().last().sourceRaw, QStringLiteral("shortcut"));

        // The old combination is no longer ours: another program can take it.
        QVERIFY(altShiftFIsFree());

        other->kill();
        other->waitForFinished();
    }
};

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--window") == 0)
        return runWindow(argc, argv);
    QApplication app(argc, argv);
    TestShortcutRecorderDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shortcutrecorder.moc"
