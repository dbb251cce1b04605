#include "platform/DesktopEntries.h"
#include "platform/XcbActiveWindow.h"
#include "services/ActiveAppService.h"
#include "support/DesktopTools.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using DesktopTools::waitFor;

namespace {

// Child mode: one window with the given WM_CLASS, until killed.
int runWindow(const QByteArray &instance, const QByteArray &cls, int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromLatin1(cls));
    window.resize(300, 200);
    window.winId();
    auto x11 = X11Connection::fromApplication();
    const QByteArray value = instance + '\0' + cls + '\0';
    xcb_change_property(x11->connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, uint32_t(value.size()), value.constData());
    window.show();
    return app.exec();
}

bool sameContext(const std::optional<AppContext> &context, const QString &name, const QString &id)
{
    return context && context->name == name && context->bundleID == id;
}

} // namespace

class ActiveAppTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_apps;
    std::unique_ptr<DesktopEntries> m_entries;

    QProcess *startWindow(const QString &instance, const QString &cls)
    {
        return DesktopTools::startDetachedChild(QCoreApplication::applicationFilePath(),
                                                {QStringLiteral("--window"), instance, cls}, this);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("openbox")), "openbox is missing");
        QFile entry(m_apps.filePath(QStringLiteral("org.example.Grumpy.desktop")));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Grumpy Editor\nIcon=grumpy\n"
                    "StartupWMClass=GrumpyClass\nExec=grumpy %F\n");
        entry.close();
        m_entries = std::make_unique<DesktopEntries>(QStringList{m_apps.path()});

        DesktopTools::startDetachedChild(QStringLiteral("openbox"), {}, this);
        QVERIFY(waitFor([&] {
            return !DesktopTools::run(QStringLiteral("xprop"),
                                      {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                        .contains(QLatin1String("not found"));
        }));
    }

    void chargesTheWindowInFrontAndSkipsOurOwn()
    {
        auto x11 = X11Connection::fromApplication();
        ActiveAppService service(std::make_unique<XcbActiveWindow>(*x11), *m_entries,
                                 QCoreApplication::applicationPid());

        // This program in front at start-up: nothing external is known yet.
        QWidget own;
        own.resize(200, 100);
        own.show();
        QVERIFY(DesktopTools::activate(own));
        service.start();
        QVERIFY(!service.lastExternal());
        QVERIFY(!service.currentContext());

        startWindow(QStringLiteral("grumpy"), QStringLiteral("GrumpyClass"));
        QVERIFY(waitFor([&] { return service.lastExternal().has_value(); }));
        QVERIFY(sameContext(service.lastExternal(), QStringLiteral("Grumpy Editor"),
                            QStringLiteral("org.example.Grumpy")));

        // Back to our own window (as a pager would ask): still charged to the other application.
        QVERIFY(DesktopTools::activate(own));
        QTest::qWait(200);
        QVERIFY(sameContext(service.currentContext(), QStringLiteral("Grumpy Editor"),
                            QStringLiteral("org.example.Grumpy")));

        // An application without a desktop entry is named by its WM_CLASS.
        startWindow(QStringLiteral("mystery"), QStringLiteral("Mystery"));
        QVERIFY(waitFor([&] {
            return sameContext(service.lastExternal(), QStringLiteral("Mystery"), QStringLiteral("Mystery"));
        }));
        QVERIFY(sameContext(service.currentContext(), QStringLiteral("Mystery"), QStringLiteral("Mystery")));
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--window") == 0)
        return runWindow(argv[2], argv[3], 1, argv);
    TestSupport::isolateFolders();
    QApplication app(argc, argv);
    ActiveAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_activeapp.moc"
