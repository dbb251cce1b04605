#include "shell/TrayClick.h"
#include "shell/WindowPlacement.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<QRect>)
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
