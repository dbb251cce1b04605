#include "features/panel/MenuPanelView.h"
#include "platform/Appearance.h"
#include "shell/FloatingPanel.h"
#include "shell/HUDController.h"
#include "shell/StatusItemController.h"
#include "shell/WindowManager.h"
#include "support/FakeColorScheme.h"
#include "support/FullDisk.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/ButtonSkin.h"
#include "ui/TriggerGrid.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

using TestSupport::ShellFixture;

class StatusItemTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> f;

    QStringList menuTitles()
    {
        std::unique_ptr<QMenu> menu(f->statusItem()->buildMenu());
        QStringList titles;
        for (QAction *action : menu->actions())
            titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return titles;
    }

    static QAction *menuAction(QMenu *menu, const QString &title)
    {
        return TestSupport::findAction(menu, title);
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void init() { f = std::make_unique<ShellFixture>(); }
    void cleanup() { f.reset(); }

    void countInTheIcon_data()
    {
        QTest::addColumn<bool>("showCount");
        QTest::addColumn<int>("logs");
        QTest::addColumn<int>("shown");
        QTest::newRow("off") << false << 7 << 0;
        QTest::newRow("on, none today") << true << 0 << 0;
        QTest::newRow("on, seven") << true << 7 << 7;
    }

    void countInTheIcon()
    {
        QFETCH(bool, showCount);
        QFETCH(int, logs);
        QFETCH(int, shown);
        f->prefs->setValue(PrefKey::showCountInMenuBar, showCount);
        f->statusItem()->updateTitle(logs);
        QCOMPARE(f->statusItem()->currentLook().count, shown);
        QVERIFY(!f->statusItem()->currentLook().filled);
    }

    void iconFollowsTheDesktopNotTheAppLook_data()
    {
        QTest::addColumn<int>("desktop");
        QTest::addColumn<int>("app");
        QTest::addColumn<QColor>("ink");
        using S = ColorSchemeSource::Scheme;
        using M = Appearance::Mode;
        QTest::newRow("dark app on a light panel") << int(S::Light) << int(M::Dark) << QColor(Qt::black);
        QTest::newRow("light app on a dark panel") << int(S::Dark) << int(M::Light) << QColor(Qt::white);
        QTest::newRow("both following a dark desktop") << int(S::Dark) << int(M::System) << QColor(Qt::white);
    }

    void iconFollowsTheDesktopNotTheAppLook()
    {
        QFETCH(int, desktop);
        QFETCH(int, app);
        QFETCH(QColor, ink);
        FakeColorScheme source;
        f->appearance->setSystemSource(&source);
        f->appearance->setMode(Appearance::Mode(app));
        f->statusItem()->updateTitle(0);
        // The panel changes its scheme while the icon is up: the icon is redrawn.
        source.set(ColorSchemeSource::Scheme(desktop));
        QCOMPARE(f->statusItem()->currentLook().ink, ink);
        f->appearance->setSystemSource(nullptr);
        f->appearance->setMode(Appearance::Mode::System);
    }

    void flashShowsSkinThenNewCount_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<QString>("expectedSkin");
        QTest::newRow("stored") << QStringLiteral("toxic") << QStringLiteral("toxic");
        QTest::newRow("unknown name") << QStringLiteral("Toxic") << QStringLiteral("classic");
    }

    void flashShowsSkinThenNewCount()
    {
        QFETCH(QString, skin);
        QFETCH(QString, expectedSkin);
        f->prefs->setValue(PrefKey::showCountInMenuBar, true);
        f->prefs->setValue(PrefKey::buttonSkin, skin);
        f->model->log(EventSource::menuBar);
        QTRY_VERIFY_WITH_TIMEOUT(!f->statusItem()->isFlashing(), 1000);
        QCOMPARE(f->statusItem()->currentLook().count, 1);

        f->model->log(EventSource::menuBar);
        const BadgeLook flashing = f->statusItem()->currentLook();
        const ButtonSkin::Palette palette = ButtonSkin::fromRawValue(expectedSkin)->palette();
        QVERIFY(f->statusItem()->isFlashing());
        QVERIFY(flashing.filled);
        QCOMPARE(flashing.fill, palette.cap);
        QCOMPARE(flashing.label, palette.label);
        QCOMPARE(flashing.count, 1); // the old count until the flash ends

        QTRY_VERIFY_WITH_TIMEOUT(!f->statusItem()->isFlashing(), 1000);
        QVERIFY(!f->statusItem()->currentLook().filled);
        QCOMPARE(f->statusItem()->currentLook().count, 2);
    }

    void overlappingFlashesEndWithTheFirst()
    {
        QElapsedTimer clock;
        clock.start();
        f->model->log(EventSource::menuBar);
        QTest::qWait(300);
        f->model->log(EventSource::menuBar);
        QTRY_VERIFY_WITH_TIMEOUT(!f->statusItem()->isFlashing(), 1000);
        QVERIFY2(clock.elapsed() < 950, "the first flash's end clears the flash");
    }

    void menuEntries()
    {
        QCOMPARE(menuTitles(), (QStringList{QStringLiteral("GRUMBLIX  (Alt+Shift+F)"), QStringLiteral("-"),
                                            QStringLiteral("Open Dashboard"), QStringLiteral("Friday Report"),
                                            QStringLiteral("Settings…"), QStringLiteral("Check for Updates…"),
                                            QStringLiteral("-"), QStringLiteral("Quit Grumblix")}));
        std::unique_ptr<QMenu> menu(f->statusItem()->buildMenu());
        QCOMPARE(menuAction(menu.get(), QStringLiteral("Settings…"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+,")));
        QCOMPARE(menuAction(menu.get(), QStringLiteral("Quit Grumblix"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Q")));
        // Without an update service the entry cannot be chosen.
        QVERIFY(!menuAction(menu.get(), QStringLiteral("Check for Updates…"))->isEnabled());

        // A new shortcut shows the next time the menu opens.
        Shortcut shortcut;
        shortcut.keyCode = Qt::Key_F9;
        shortcut.carbonModifiers = Shortcut::controlBit;
        shortcut.keyLabel = QStringLiteral("F9");
        f->model->setShortcut(shortcut);
        QCOMPARE(menuTitles().first(), QStringLiteral("GRUMBLIX  (Ctrl+F9)"));
    }

    void unsavedChangesShowInToolTipAndMenu()
    {
        f.reset();
        FullDisk disk;
        f = std::make_unique<ShellFixture>();
        f->model->setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
        const QString rest = StatusItemController::toolTip();
        const QString entry = QStringLiteral("GRUMBLIX  (Alt+Shift+F)");
        QCOMPARE(f->statusItem()->trayIcon()->toolTip(), rest);

        disk.setFull(true);
        f->model->log(EventSource::menuBar);
        f->model->log(EventSource::menuBar);
        const QString summary = QStringLiteral("2 incidents aren't saved yet: the disk is full.");
        QCOMPARE(f->statusItem()->trayIcon()->toolTip(),
                 rest + QStringLiteral("\n") + summary +
                     QStringLiteral(" Grumblix keeps them while it runs and saves them once there is room."));
        // One line at the head of the menu that cannot be chosen; the entries follow as always.
        QCOMPARE(menuTitles().mid(0, 3), (QStringList{summary, QStringLiteral("-"), entry}));
        std::unique_ptr<QMenu> menu(f->statusItem()->buildMenu());
        QVERIFY(!menu->actions().first()->isEnabled());
        // The menu attached to the icon, which a StatusNotifier host exports, follows as well.
        QCOMPARE(f->statusItem()->menu()->actions().first()->text(), summary);

        disk.setFull(false);
        QVERIFY(f->model->flushPendingChanges());
        QCOMPARE(f->statusItem()->trayIcon()->toolTip(), rest);
        QCOMPARE(menuTitles().first(), entry);
        QCOMPARE(f->statusItem()->menu()->actions().first()->text(), entry);
        f.reset();
    }

    void menuLogAndQuickLog_data()
    {
        QTest::addColumn<bool>("showHUD");
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("alt-click, toast") << true << false;
        QTest::newRow("alt-click, no toast") << false << false;
        QTest::newRow("menu entry, toast") << true << true;
        QTest::newRow("menu entry, no toast") << false << true;
    }

    void menuLogAndQuickLog()
    {
        QFETCH(bool, showHUD);
        QFETCH(bool, fromMenu);
        f->prefs->setValue(PrefKey::showHUD, showHUD);
        if (fromMenu) {
            std::unique_ptr<QMenu> menu(f->statusItem()->buildMenu());
            menu->actions().first()->trigger();
        } else {
            f->statusItem()->perform(TrayAction::QuickLog);
        }
        QCOMPARE(f->storedCount(), 1);
        QCOMPARE(f->model->allEvents().first().sourceRaw, QStringLiteral("menuBar"));
        QCOMPARE(f->hud()->window() && f->hud()->window()->isVisible(), showHUD);
        QVERIFY(!f->statusItem()->panel()); // the quick log never opens the panel
    }

    void clickTogglesPanel()
    {
        StatusItemController *item = f->statusItem();
        item->perform(TrayAction::TogglePanel);
        QPointer<FloatingPanel> first = item->panel();
        QVERIFY(first && first->isVisible());
        item->perform(TrayAction::TogglePanel);
        QVERIFY(!item->panel());
        // Clicking again while the old panel still fades out opens a new one.
        item->perform(TrayAction::TogglePanel);
        QVERIFY(item->panel() && item->panel() != first);
        QTRY_VERIFY(!first);
    }

    void escapeClosesPanelAndIsSwallowed()
    {
        StatusItemController *item = f->statusItem();
        item->openPanel();
        QPointer<FloatingPanel> panel = item->panel();
        QWidget *button = panel->findChild<QWidget *>(QStringLiteral("logButton"));
        QVERIFY(button);
        QTest::keyClick(button, Qt::Key_A); // other keys pass
        QVERIFY(item->panel());
        QTest::keyClick(button, Qt::Key_Escape);
        QVERIFY(!item->panel());
        QTRY_VERIFY(!panel);
    }

    void panelButtonLogsWithoutToast()
    {
        f->statusItem()->openPanel();
        QWidget *button = f->statusItem()->panel()->findChild<QWidget *>(QStringLiteral("logButton"));
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(f->storedCount(), 1);
        QCOMPARE(f->model->allEvents().first().sourceRaw, QStringLiteral("menuBar"));
        QVERIFY(!f->hud()->window());
        // The panel stays for the trigger picker; a pick files the incident and closes it soon
        // ("autoClosePanel" is on by default).
        auto *view = f->statusItem()->panel()->findChild<MenuPanelView *>();
        QVERIFY(view && view->showsPicker());
        view->triggerGrid()->tiles().at(0)->click();
        QVERIFY(f->model->allEvents().first().triggerKey);
        QTRY_VERIFY_WITH_TIMEOUT(!f->statusItem()->panel(), 2000);
    }

    void dashboardEntriesPickTheirPage_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<DashboardTab>("tab");
        QTest::newRow("dashboard") << QStringLiteral("Open Dashboard") << DashboardTab::overview;
        QTest::newRow("report") << QStringLiteral("Friday Report") << DashboardTab::report;
        QTest::newRow("settings") << QStringLiteral("Settings…") << DashboardTab::settings;
    }

    void dashboardEntriesPickTheirPage()
    {
        QFETCH(QString, entry);
        QFETCH(DashboardTab, tab);
        f->model->setDashboardTab(DashboardTab::history);
        f->statusItem()->openPanel();
        std::unique_ptr<QMenu> menu(f->statusItem()->buildMenu());
        menuAction(menu.get(), entry)->trigger();
        QCOMPARE(f->model->dashboardTab(), tab);
        QVERIFY(f->windows()->window()->isVisible());
        QVERIFY(!f->statusItem()->panel());
    }

    void menuClosesThePanelFirst()
    {
        f->statusItem()->openPanel();
        f->statusItem()->perform(TrayAction::ShowMenu);
        QVERIFY(!f->statusItem()->panel());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
    }
};

QTEST_MAIN(StatusItemTest)
#include "tst_statusitem.moc"
