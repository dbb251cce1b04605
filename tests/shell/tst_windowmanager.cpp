#include "features/dashboard/DashboardView.h"
#include "shell/StatusItemController.h"
#include "shell/WindowManager.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/PageHeader.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::ShellFixture;

class WindowManagerTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> f;

    static QAction *find(QMenuBar *bar, const QString &menu, const QString &title)
    {
        for (QAction *top : bar->actions()) {
            if (top->text() != menu)
                continue;
            return TestSupport::findAction(top->menu(), title);
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void init() { f = std::make_unique<ShellFixture>(); }
    void cleanup() { f.reset(); }

    void firstShowBuildsOneWindow()
    {
        QVERIFY(!f->windows()->window());
        f->model->showDashboard();
        DashboardMainWindow *window = f->windows()->window();
        QVERIFY(window && window->isVisible());
        // The root gets the whole 1120 x 780 and at least 960 x 660; the menu bar comes on top.
        const int bar = window->menuBar()->height();
        QVERIFY(bar > 0);
        QCOMPARE(window->centralWidget()->size(), QSize(1120, 780));
        QCOMPARE(window->size(), QSize(1120, 780 + bar));
        QCOMPARE(window->minimumSize(), QSize(960, 660 + bar));
        // Centred on the primary screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(window->frameGeometry().center().x() - screen.center().x()) <= 1);
        QCOMPARE(window->windowTitle(), QStringLiteral("Grumblix"));

        f->model->showDashboard();
        QCOMPARE(f->windows()->window(), window);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget *w) { return w->objectName() == QLatin1String("dashboard"); }),
                 1);
    }

    void closingHidesAndReopensTheSameWindow()
    {
        f->model->showDashboard();
        DashboardMainWindow *window = f->windows()->window();
        window->resize(1000, 700);
        window->close();
        QVERIFY(!window->isVisible());
        f->model->showDashboard();
        QCOMPARE(f->windows()->window(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->size(), QSize(1000, 700));
    }

    void smallestWindowLeavesTheRootItsMinimum()
    {
        f->model->showDashboard();
        DashboardMainWindow *window = f->windows()->window();
        window->resize(400, 300);
        QTRY_COMPARE(window->size(), window->minimumSize());
        QCOMPARE(window->centralWidget()->size(), QSize(960, 660));
        QCOMPARE(window->centralWidget()->mapTo(window, QPoint(0, 0)).y(), window->menuBar()->height());
    }

    void restoredFrameFitsItsScreen_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QSize>("rootMinimum");
        // Saved at 1300 x 900 on each of the screens main() sets up.
        QTest::newRow("large screen: kept") << 0 << QSize(960, 660);
        QTest::newRow("1366 x 768 laptop: shrunk into it") << 1 << QSize(960, 660);
        QTest::newRow("800 x 600: smaller than the minimum, the pages scroll") << 2 << QSize(800, 0);
    }

    void restoredFrameFitsItsScreen()
    {
        QFETCH(int, screen);
        QFETCH(QSize, rootMinimum);
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 3);
        const QRect area = screens[screen]->availableGeometry();
        f->model->showDashboard();
        f->windows()->window()->setGeometry(QRect(area.topLeft() + QPoint(40, 60), QSize(1300, 900)));
        f->windows()->window()->close();

        WindowManager next(*f->model, {});
        next.setStateFile(f->dir.filePath(QStringLiteral("config/WindowState.conf")));
        next.showDashboard();
        DashboardMainWindow *window = next.window();
        QWidget *root = window->centralWidget();
        QVERIFY2(area.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())));
        if (screen == 0) {
            QCOMPARE(window->size(), QSize(1300, 900));
        } else {
            // As large as the screen allows.
            QCOMPARE(window->frameGeometry().height(), area.height());
        }
        if (rootMinimum.height() > 0) {
            QCOMPARE(root->minimumSize(), rootMinimum);
        } else {
            // Below the minimum: the root is as small as the screen leaves it, and so may be its window.
            QVERIFY(root->minimumHeight() < 660);
            QCOMPARE(root->height(), root->minimumHeight());
            QCOMPARE(root->width(),
                     rootMinimum.width() - (window->frameGeometry().width() - window->width()));
        }
    }

    void frameIsRestoredOnTheNextRun()
    {
        f->model->showDashboard();
        f->windows()->window()->setGeometry(100, 80, 1000, 700);
        f->windows()->window()->close();

        WindowManager next(*f->model, {});
        next.setStateFile(f->dir.filePath(QStringLiteral("config/WindowState.conf")));
        next.showDashboard();
        QCOMPARE(next.window()->size(), QSize(1000, 700));
    }

    void pageFollowsTheModel()
    {
        f->model->setDashboardTab(DashboardTab::report);
        f->model->showDashboard();
        auto *root = qobject_cast<DashboardView *>(f->windows()->window()->centralWidget());
        QVERIFY(root);
        QCOMPARE(root->page()->objectName(), QStringLiteral("report"));
        QCOMPARE(root->page()->findChild<PageHeader *>()->title(), QStringLiteral("Your week, in review."));
        f->model->setDashboardTab(DashboardTab::settings);
        QCOMPARE(root->page()->objectName(), QStringLiteral("settings"));
        QCOMPARE(root->page()->findChild<PageHeader *>()->title(), QStringLiteral("Adjust the chaos."));
    }

    void mainMenu_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("keys");
        QTest::newRow("about") << "Grumblix"
                               << "About Grumblix"
                               << "";
        QTest::newRow("updates") << "Grumblix"
                                 << "Check for Updates…"
                                 << "";
        QTest::newRow("settings") << "Grumblix"
                                  << "Settings…"
                                  << "Ctrl+,";
        QTest::newRow("hide") << "Grumblix"
                              << "Hide Grumblix"
                              << "Ctrl+H";
        QTest::newRow("quit") << "Grumblix"
                              << "Quit Grumblix"
                              << "Ctrl+Q";
        QTest::newRow("undo") << "Edit"
                              << "Undo"
                              << "Ctrl+Z";
        QTest::newRow("redo") << "Edit"
                              << "Redo"
                              << "Ctrl+Shift+Z";
        QTest::newRow("cut") << "Edit"
                             << "Cut"
                             << "Ctrl+X";
        QTest::newRow("copy") << "Edit"
                              << "Copy"
                              << "Ctrl+C";
        QTest::newRow("paste") << "Edit"
                               << "Paste"
                               << "Ctrl+V";
        QTest::newRow("select all") << "Edit"
                                    << "Select All"
                                    << "Ctrl+A";
        QTest::newRow("close") << "Window"
                               << "Close"
                               << "Ctrl+W";
        QTest::newRow("minimize") << "Window"
                                  << "Minimize"
                                  << "Ctrl+M";
    }

    void mainMenu()
    {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        QFETCH(QString, keys);
        f->model->showDashboard();
        QAction *action = find(f->windows()->window()->menuBar(), menu, title);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), QKeySequence(keys));
    }

    void editCommandsReachTheFocusedField()
    {
        f->model->showDashboard();
        DashboardMainWindow *window = f->windows()->window();
        auto *field = new QLineEdit(window->centralWidget());
        field->show();
        field->setText(QStringLiteral("grr"));
        field->setFocus();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::focusWidget(), field);
        find(window->menuBar(), QStringLiteral("Edit"), QStringLiteral("Select All"))->trigger();
        QCOMPARE(field->selectedText(), QStringLiteral("grr"));
        find(window->menuBar(), QStringLiteral("Edit"), QStringLiteral("Cut"))->trigger();
        QCOMPARE(field->text(), QString());
        find(window->menuBar(), QStringLiteral("Edit"), QStringLiteral("Undo"))->trigger();
        QCOMPARE(field->text(), QStringLiteral("grr"));
    }

    void closeCommandLeavesTheProgramRunning()
    {
        f->model->showDashboard();
        DashboardMainWindow *window = f->windows()->window();
        find(window->menuBar(), QStringLiteral("Window"), QStringLiteral("Close"))->trigger();
        QVERIFY(!window->isVisible());
        QVERIFY(!QApplication::quitOnLastWindowClosed());
    }
};

int main(int argc, char **argv)
{
    // Three screens side by side: a large one (the primary), a 1366 x 768 laptop and one smaller than
    // the dashboard's minimum.
    QTemporaryDir screens;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform.startsWith("offscreen")) {
        QFile config(screens.filePath(QStringLiteral("screens.json")));
        if (!config.open(QIODevice::WriteOnly))
            return 1;
        config.write(R"({"screens": [
            {"name": "a-large", "x": 0, "y": 0, "width": 1920, "height": 1200, "logicalDpi": 96, "dpr": 1},
            {"name": "c-small", "x": 3286, "y": 0, "width": 800, "height": 600, "logicalDpi": 96, "dpr": 1},
            {"name": "b-laptop", "x": 1920, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    WindowManagerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowmanager.moc"
