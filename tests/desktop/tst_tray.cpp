#include "shell/FloatingPanel.h"
#include "shell/StatusItemController.h"
#include "support/DesktopTools.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

using DesktopTools::run;
using DesktopTools::waitFor;
using TestSupport::ShellFixture;

// The real tray icon, hosted by trayer, clicked with xdotool.
class TrayTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> f;

    void click(const QString &button)
    {
        const QRect icon = f->statusItem()->trayIcon()->geometry();
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(icon.center().x()),
                                        QString::number(icon.center().y()), QStringLiteral("click"), button});
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("trayer")), "trayer is missing");
        TestSupport::isolateFolders();
        DesktopTools::startDetachedChild(QStringLiteral("trayer"),
                                         {QStringLiteral("--edge"), QStringLiteral("top"),
                                          QStringLiteral("--align"), QStringLiteral("right"),
                                          QStringLiteral("--widthtype"), QStringLiteral("request"),
                                          QStringLiteral("--height"), QStringLiteral("24")},
                                         this);
        QVERIFY(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }));
        f = std::make_unique<ShellFixture>();
        QVERIFY(waitFor([this] {
            const QRect icon = f->statusItem()->trayIcon()->geometry();
            return icon.isValid() && !icon.isEmpty();
        }));
        // The tray maps the embedded icon a moment after placing it.
        QTest::qWait(500);
    }

    void cleanupTestCase() { f.reset(); }

    void iconSitsInTheTray()
    {
        const QRect icon = f->statusItem()->trayIcon()->geometry();
        QVERIFY(icon.top() < 24);
        QVERIFY(f->statusItem()->trayIcon()->isVisible());
        QCOMPARE(f->statusItem()->trayIcon()->toolTip(), StatusItemController::toolTip());
    }

    void leftClickTogglesThePanel()
    {
        click(QStringLiteral("1"));
        QVERIFY(waitFor([this] { return f->statusItem()->isPanelVisible(); }));
        // Under the icon, inside the screen.
        const QRect panel = f->statusItem()->panel()->geometry();
        const QRect icon = f->statusItem()->trayIcon()->geometry();
        QVERIFY(panel.top() >= icon.bottom());
        QVERIFY(panel.right() <= 1280 - 8);
        QTest::qWait(300);
        click(QStringLiteral("1"));
        QVERIFY(waitFor([this] { return !f->statusItem()->panel(); }));
    }

    void middleClickLogs()
    {
        const int before = f->storedCount();
        click(QStringLiteral("2"));
        QVERIFY(waitFor([&] { return f->storedCount() == before + 1; }));
        QCOMPARE(f->model->allEvents().last().sourceRaw, QStringLiteral("menuBar"));
        QVERIFY(!f->statusItem()->panel());
    }

    void rightClickShowsTheMenu()
    {
        click(QStringLiteral("3"));
        QVERIFY(waitFor([] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            return menu && menu->objectName() == QLatin1String("statusMenu");
        }));
        QApplication::activePopupWidget()->close();
        const int before = f->storedCount();
        QCOMPARE(f->storedCount(), before);
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
