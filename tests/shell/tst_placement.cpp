#include "shell/TrayClick.h"
#include "shell/WindowPlacement.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<QRect>)
Q_DECLARE_METATYPE(std::optional<QPoint>)
Q_DECLARE_METATYPE(TrayAction)

class PlacementTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelPosition_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<std::optional<QRect>>("icon");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");

        const QRect screen(0, 24, 1280, 776); // a 24 px top panel
        const QSize panel(320, 360);
        // Centred under the icon, 2 px below it.
        QTest::newRow("under icon") << panel << std::optional(QRect(600, 0, 24, 24)) << QPoint(5, 5) << screen
                                    << QPoint(452, 26);
        // Near the edges: 8 px inside the available area.
        QTest::newRow("left edge") << panel << std::optional(QRect(10, 0, 24, 24)) << QPoint() << screen
                                   << QPoint(8, 26);
        QTest::newRow("right edge") << panel << std::optional(QRect(1250, 0, 24, 24)) << QPoint() << screen
                                    << QPoint(1280 - 320 - 8, 26);
        // Wider than the area: the right-hand rule wins.
        QTest::newRow("too wide") << QSize(1300, 100) << std::optional(QRect(600, 0, 24, 24)) << QPoint()
                                  << screen << QPoint(1280 - 1300 - 8, 26);
        // An icon in a bottom panel opens the panel above it.
        QTest::newRow("bottom panel") << panel << std::optional(QRect(1200, 776, 24, 24)) << QPoint()
                                      << QRect(0, 0, 1280, 776) << QPoint(1280 - 320 - 8, 776 - 360 - 2);
        // The tray does not say where its icon is: under the pointer.
        QTest::newRow("pointer") << panel << std::optional<QRect>() << QPoint(640, 300) << screen
                                 << QPoint(480, 302);
        QTest::newRow("invalid icon rect")
            << panel << std::optional(QRect()) << QPoint(640, 300) << screen << QPoint(480, 302);
        // On a first start the icon is not embedded yet and reports its frame at the origin.
        QTest::newRow("icon not placed yet")
            << panel << std::optional(QRect(0, 0, 22, 22)) << QPoint(640, 300) << screen << QPoint(480, 302);
        // Pointer low on the screen: pulled up so the whole panel shows.
        QTest::newRow("pointer low") << panel << std::optional<QRect>() << QPoint(640, 700) << screen
                                     << QPoint(480, 700 - 360 - 2);
        // No screen at all: unclamped.
        QTest::newRow("no screen") << panel << std::optional(QRect(0, 0, 24, 24)) << QPoint() << QRect()
                                   << QPoint(-148, 26);
    }

    void panelPosition()
    {
        QFETCH(QSize, size);
        QFETCH(std::optional<QRect>, icon);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        QCOMPARE(WindowPlacement::panelPosition(size, icon, pointer, available), expected);
    }

    void toastAtTopCentre()
    {
        QCOMPARE(WindowPlacement::toastPosition(QSize(360, 96), QRect(0, 24, 1280, 776)), QPoint(460, 34));
        // The second screen of two side by side.
        QCOMPARE(WindowPlacement::toastPosition(QSize(360, 96), QRect(1280, 0, 1920, 1080)),
                 QPoint(1280 + 780, 10));
    }

    void dashboardCentred()
    {
        QCOMPARE(WindowPlacement::centred(QSize(1120, 780), QRect(0, 0, 1920, 1080)),
                 QRect(400, 150, 1120, 780));
    }

    void dashboardFitsItsScreen_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<std::optional<QPoint>>("position");
        QTest::addColumn<QMargins>("decoration");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QSize>("minimum");

        // The root's 1120 x 780 and 960 x 660 with a 22 px menu bar.
        const QSize first(1120, 802);
        const QSize least(960, 682);
        const QMargins titleBar(0, 30, 0, 0);
        const QMargins framed(1, 30, 1, 1);
        const QRect laptop(0, 0, 1366, 736); // 1366 x 768 less a 32 px bottom panel
        QTest::newRow("large screen: centred at full size")
            << first << std::optional<QPoint>() << titleBar << QRect(0, 0, 1920, 1080)
            << QRect(400, 154, 1120, 802) << least;
        QTest::newRow("laptop: as tall as the area, title bar included")
            << first << std::optional<QPoint>() << framed << laptop << QRect(123, 30, 1120, 705) << least;
        QTest::newRow("restored below and right of the area: shrunk and moved in")
            << first << std::optional(QPoint(300, 400)) << framed << laptop << QRect(245, 30, 1120, 705)
            << least;
        QTest::newRow("restored smaller than the minimum, left of the area")
            << QSize(1000, 600) << std::optional(QPoint(-500, 100)) << framed << laptop
            << QRect(1, 53, 1000, 682) << least;
        QTest::newRow("restored on a second screen, where it fits: unchanged")
            << QSize(1200, 700) << std::optional(QPoint(2000, 50)) << titleBar << QRect(1920, 0, 1366, 768)
            << QRect(2000, 50, 1200, 700) << least;
        // Not even the minimum fits: the window fills the area and may shrink to it.
        QTest::newRow("netbook: smaller than the minimum")
            << first << std::optional<QPoint>() << framed << QRect(0, 0, 1024, 568) << QRect(1, 30, 1022, 537)
            << QSize(960, 537);
        QTest::newRow("no screen: unchanged")
            << first << std::optional<QPoint>() << titleBar << QRect() << QRect(QPoint(0, 0), first) << least;
    }

    void dashboardFitsItsScreen()
    {
        QFETCH(QSize, size);
        QFETCH(std::optional<QPoint>, position);
        QFETCH(QMargins, decoration);
        QFETCH(QRect, available);
        QFETCH(QRect, geometry);
        QFETCH(QSize, minimum);
        const WindowPlacement::Fit fit =
            WindowPlacement::fitDashboard(size, position, QSize(960, 682), decoration, available);
        QCOMPARE(fit.geometry, geometry);
        QCOMPARE(fit.minimum, minimum);
        if (available.isValid()) {
            QVERIFY(available.contains(fit.geometry.marginsAdded(decoration)));
            QVERIFY(fit.geometry.width() >= fit.minimum.width() &&
                    fit.geometry.height() >= fit.minimum.height());
        }
    }

    void clickToAction_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<TrayAction>("action");
        const Qt::KeyboardModifiers none;
        QTest::newRow("left") << QSystemTrayIcon::Trigger << none << TrayAction::TogglePanel;
        QTest::newRow("left+shift") << QSystemTrayIcon::Trigger << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                    << TrayAction::TogglePanel;
        QTest::newRow("left+meta") << QSystemTrayIcon::Trigger << Qt::KeyboardModifiers(Qt::MetaModifier)
                                   << TrayAction::TogglePanel;
        QTest::newRow("alt+left") << QSystemTrayIcon::Trigger << Qt::KeyboardModifiers(Qt::AltModifier)
                                  << TrayAction::QuickLog;
        QTest::newRow("ctrl+left") << QSystemTrayIcon::Trigger << Qt::KeyboardModifiers(Qt::ControlModifier)
                                   << TrayAction::ShowMenu;
        QTest::newRow("ctrl+alt+left")
            << QSystemTrayIcon::Trigger << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)
            << TrayAction::ShowMenu;
        QTest::newRow("middle") << QSystemTrayIcon::MiddleClick << none << TrayAction::QuickLog;
        QTest::newRow("right") << QSystemTrayIcon::Context << none << TrayAction::ShowMenu;
        QTest::newRow("alt+right") << QSystemTrayIcon::Context << Qt::KeyboardModifiers(Qt::AltModifier)
                                   << TrayAction::ShowMenu;
        QTest::newRow("double") << QSystemTrayIcon::DoubleClick << none << TrayAction::None;
    }

    void clickToAction()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(TrayAction, action);
        QCOMPARE(trayActionFor(reason, modifiers), action);
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
