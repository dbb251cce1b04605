#include "features/dashboard/DashboardView.h"
#include "ui/PageHeader.h"
#include "shell/StatusItemController.h"
#include "shell/WindowManager.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
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
        QCOMPARE(window->size(), QSize(1120, 780));
        QCOMPARE(window->minimumSize(), QSize(960, 660));
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
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    WindowManagerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowmanager.moc"
