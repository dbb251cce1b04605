#include "app/AppModel.h"
#include "models/Prefs.h"
#include "platform/Appearance.h"
#include "platform/ColorSchemeSource.h"
#include "services/DayWatcher.h"
#include "shell/FloatingPanel.h"
#include "shell/MainMenu.h"
#include "shell/QuitQuestion.h"
#include "shell/Shell.h"
#include "shell/StatusItemController.h"
#include "shell/WindowManager.h"
#include "support/FakeColorScheme.h"
#include "support/FakeNotifier.h"
#include "support/FakePlatform.h"
#include "support/FullDisk.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The composition root built over fake platform adapters, as the program builds it over real ones.
class TestShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void init();
    void cleanup();

    void buildsTheProgramOverTheGivenFiles();
    void appearancePreferenceDrivesTheTheme();
    void newDayMovesTheBadgeAndTheViewsTogether();
    void modelReachesTheNotifierItWasHanded();
    void secondLaunchDoesWhatAFirstLaunchDoes_data();
    void secondLaunchDoesWhatAFirstLaunchDoes();
    void secondLaunchAskingForNothingToShowReopens_data();
    void secondLaunchAskingForNothingToShowReopens();
    void secondLaunchKeepsAnOpenPanel();
    void aLaunchTheDiskCannotTakeIsToldWhatBecomesOfIt();
    void quitEntriesAskWhileChangesWait_data();
    void quitEntriesAskWhileChangesWait();
    void quitEntriesQuitAtOnceWithNothingWaiting_data();
    void quitEntriesQuitAtOnceWithNothingWaiting();

private:
    // The store is opened over it, so a test can fill the disk.
    std::unique_ptr<FullDisk> m_disk;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Shell> m_shell;
    FakeColorScheme *m_scheme = nullptr;
    FakeNotifier *m_notifier = nullptr;

    bool dashboardShown() const
    {
        return m_shell->windows()->window() && m_shell->windows()->window()->isVisible();
    }
    static void addQuitEntries();
    // Chooses "Quit Grumblix" from `entry`: the tray menu, the dashboard's menu or its Ctrl+Q.
    void chooseQuit(const QString &entry);
};

void TestShell::init()
{
    m_disk = std::make_unique<FullDisk>();
    m_dir = std::make_unique<QTemporaryDir>();
    Platform platform = TestSupport::fakePlatform();
    auto scheme = std::make_unique<FakeColorScheme>();
    m_scheme = scheme.get();
    platform.colorScheme = std::move(scheme);
    m_notifier = &TestSupport::notifierOf(platform);
    m_shell = std::make_unique<Shell>();
    const Shell::Locations files{m_dir->filePath(QStringLiteral("config/Grumblix.conf")),
                                 m_dir->filePath(QStringLiteral("data/Grumblix.store")),
                                 m_dir->filePath(QStringLiteral("config/WindowState.conf"))};
    QVERIFY(m_shell->build(files, std::move(platform)));
    m_shell->prefs()->setHasOnboarded(true);
}

void TestShell::cleanup()
{
    m_shell.reset();
    m_dir.reset();
    m_disk.reset();
    Theme::setApplicationScheme(ColorScheme::Light);
}

void TestShell::buildsTheProgramOverTheGivenFiles()
{
    AppModel &model = *m_shell->model();
    QCOMPARE(m_shell->prefs()->filePath(), m_dir->filePath(QStringLiteral("config/Grumblix.conf")));
    QCOMPARE(model.statusItem(), static_cast<StatusItem *>(m_shell->statusItem()));
    QVERIFY(model.hud());
    QVERIFY(model.windows());
    m_shell->start({QStringLiteral("grumblix"), QStringLiteral("grumblix://log?note=hello")});
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("data/Grumblix.store"))));
    QCOMPARE(model.allTriggers().size(), 10);
    QCOMPARE(model.allEvents().size(), 1);
    QCOMPARE(model.allEvents().first().note, std::optional(QStringLiteral("hello")));
    // No hot-key backend on this platform: the model knows the shortcut is not registered.
    QVERIFY(!model.hotKeyRegistered());
}

void TestShell::appearancePreferenceDrivesTheTheme()
{
    Prefs &prefs = *m_shell->prefs();
    QCOMPARE(Theme::applicationScheme(), ColorScheme::Light);
    prefs.setAppearance(QStringLiteral("dark"));
    QCOMPARE(m_shell->appearance()->mode(), Appearance::Mode::Dark);
    QCOMPARE(Theme::applicationScheme(), ColorScheme::Dark);
    // The tray icon sits on the desktop's panel: it keeps the desktop's (light) scheme.
    QCOMPARE(m_shell->statusItem()->currentLook().ink, QColor(Qt::black));
    prefs.setAppearance(QStringLiteral("light"));
    QCOMPARE(Theme::applicationScheme(), ColorScheme::Light);
    QCOMPARE(m_shell->statusItem()->currentLook().ink, QColor(Qt::black));
    // "system" follows the desktop's preference.
    prefs.setAppearance(QStringLiteral("system"));
    m_scheme->set(ColorSchemeSource::Scheme::Dark);
    QCOMPARE(Theme::applicationScheme(), ColorScheme::Dark);
    m_scheme->set(ColorSchemeSource::Scheme::Light);
    QCOMPARE(Theme::applicationScheme(), ColorScheme::Light);
}

void TestShell::newDayMovesTheBadgeAndTheViewsTogether()
{
    AppModel &model = *m_shell->model();
    const QTimeZone zone("Europe/Berlin");
    QDateTime now(QDate(2026, 12, 9), QTime(23, 0), zone);
    model.setClock([&now] { return now; });
    model.setTimeZone(zone);
    m_shell->prefs()->setShowCountInMenuBar(true);
    m_shell->start({QStringLiteral("grumblix")});
    for (int i = 0; i < 3; ++i)
        model.log(EventSource::menuBar);
    QTRY_VERIFY(!m_shell->statusItem()->isFlashing());
    QCOMPARE(m_shell->statusItem()->currentLook().count, 3);

    // The views hear of the new day after the badge already shows it.
    QSignalSpy views(&model, &AppModel::dayChanged);
    int countSeenByViews = -1;
    connect(&model, &AppModel::dayChanged, this,
            [&] { countSeenByViews = m_shell->statusItem()->currentLook().count; });
    now = now.addSecs(2 * 3600);
    model.days().check();
    QCOMPARE(views.count(), 1);
    QCOMPARE(countSeenByViews, 0);
    QCOMPARE(model.todayCount(), 0);
}

void TestShell::modelReachesTheNotifierItWasHanded()
{
    m_shell->model()->requestNotificationPermission();
    QCOMPARE(m_notifier->authorizationRequests, 1);
}

void TestShell::secondLaunchDoesWhatAFirstLaunchDoes_data()
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("dashboard");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<int>("events"); // -1: the demo weeks
    QTest::addColumn<QString>("tab");
    const QString log = QStringLiteral("grumblix://log?note=x");
    struct Case
    {
        const char *name;
        QStringList arguments;
        bool dashboard, panel;
        int events;
        const char *tab;
    };
    const QList<Case> cases{
        {"dashboard and a URL", {QStringLiteral("--dashboard"), log}, true, false, 1, "overview"},
        {"dashboard and panel",
         {QStringLiteral("--dashboard"), QStringLiteral("--panel")},
         true,
         true,
         0,
         "overview"},
        {"panel and a URL", {QStringLiteral("--panel"), log}, false, true, 1, "overview"},
        {"a URL alone", {log, log}, false, false, 2, "overview"},
        {"page and dashboard",
         {QStringLiteral("--tab=history"), QStringLiteral("--dashboard")},
         true,
         false,
         0,
         "history"},
        {"page and a URL", {QStringLiteral("--tab=report"), log}, false, false, 1, "report"},
        // The URL comes after the options: the dashboard it opens closes the panel.
        {"panel, then a URL for the dashboard",
         {QStringLiteral("--panel"), QStringLiteral("grumblix://")},
         true,
         false,
         0,
         "overview"},
        {"demo and a URL", {QStringLiteral("--demo"), log}, false, false, -1, "overview"},
    };
    for (const bool second : {false, true}) {
        for (const Case &c : cases) {
            QTest::addRow("%s: %s", second ? "second launch" : "first launch", c.name)
                << second << c.arguments << c.dashboard << c.panel << c.events << QString::fromLatin1(c.tab);
        }
    }
}

void TestShell::secondLaunchDoesWhatAFirstLaunchDoes()
{
    QFETCH(bool, second);
    QFETCH(QStringList, arguments);
    QFETCH(bool, dashboard);
    QFETCH(bool, panel);
    QFETCH(int, events);
    QFETCH(QString, tab);
    AppModel &model = *m_shell->model();
    if (second) {
        m_shell->start({QStringLiteral("grumblix")});
        QVERIFY(!dashboardShown());
        const HandOver::Reply reply = m_shell->handOver(arguments);
        QCOMPARE(int(reply.status), int(HandOver::Reply::Status::done));
    } else {
        m_shell->start(QStringList{QStringLiteral("grumblix")} + arguments);
    }
    QCOMPARE(dashboardShown(), dashboard);
    QCOMPARE(m_shell->statusItem()->isPanelVisible(), panel);
    if (events < 0)
        QVERIFY(model.allEvents().size() > 1);
    else
        QCOMPARE(model.allEvents().size(), events);
    QCOMPARE(rawValue(model.dashboardTab()), tab);
}

void TestShell::secondLaunchAskingForNothingToShowReopens_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("tab");
    QTest::newRow("no arguments") << QStringList{} << "overview";
    QTest::newRow("a page") << QStringList{QStringLiteral("--tab=report")} << "report";
    QTest::newRow("demo data") << QStringList{QStringLiteral("--demo")} << "overview";
}

void TestShell::secondLaunchAskingForNothingToShowReopens()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, tab);
    m_shell->start({QStringLiteral("grumblix")});
    QCOMPARE(int(m_shell->handOver(arguments).status), int(HandOver::Reply::Status::done));
    QVERIFY(dashboardShown());
    QVERIFY(!m_shell->statusItem()->isPanelVisible());
    QCOMPARE(rawValue(m_shell->model()->dashboardTab()), tab);
    QCOMPARE(m_shell->model()->allEvents().isEmpty(), !arguments.contains(QStringLiteral("--demo")));
}

void TestShell::secondLaunchKeepsAnOpenPanel()
{
    m_shell->start({QStringLiteral("grumblix"), QStringLiteral("--panel")});
    const FloatingPanel *panel = m_shell->statusItem()->panel();
    QVERIFY(panel && m_shell->statusItem()->isPanelVisible());
    m_shell->handOver({QStringLiteral("--panel")});
    QCOMPARE(m_shell->statusItem()->panel(), panel);
    QVERIFY(m_shell->statusItem()->isPanelVisible());
}

// The launch must not be repeated, and is told what becomes of what it logged: kept while Grumblix
// runs, saved once there is room.
void TestShell::aLaunchTheDiskCannotTakeIsToldWhatBecomesOfIt()
{
    m_shell->start({QStringLiteral("grumblix")});
    m_shell->model()->setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
    m_disk->setFull(true);
    const HandOver::Reply reply = m_shell->handOver({QStringLiteral("grumblix://log?note=full")});
    QCOMPARE(int(reply.status), int(HandOver::Reply::Status::kept));
    QCOMPARE(reply.message,
             QStringLiteral("Grumblix could not save to its store yet: database or disk is full. "
                            "What this launch logged is kept while Grumblix runs and saved once "
                            "there is room; do not log it again."));
    m_disk->setFull(false);
    QCOMPARE(int(m_shell->handOver({QStringLiteral("grumblix://log?note=room")}).status),
             int(HandOver::Reply::Status::done));
}

void TestShell::addQuitEntries()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("tray menu") << "tray";
    QTest::newRow("dashboard menu") << "menu";
    QTest::newRow("Ctrl+Q") << "keys";
}

void TestShell::chooseQuit(const QString &entry)
{
    const QString title = QStringLiteral("Quit Grumblix");
    if (entry == QLatin1String("tray")) {
        QAction *quit = TestSupport::findAction(m_shell->statusItem()->menu(), title);
        QVERIFY(quit);
        quit->trigger();
        return;
    }
    m_shell->model()->showDashboard();
    QMainWindow *window = m_shell->windows()->window();
    if (entry == QLatin1String("keys")) {
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        return;
    }
    const QList<QAction *> menus = window->menuBar()->actions();
    QVERIFY(!menus.isEmpty() && menus.first()->menu());
    QAction *quit = TestSupport::findAction(menus.first()->menu(), title);
    QVERIFY(quit);
    quit->trigger();
}

void TestShell::quitEntriesAskWhileChangesWait_data()
{
    addQuitEntries();
}

void TestShell::quitEntriesAskWhileChangesWait()
{
    QFETCH(QString, entry);
    AppModel &model = *m_shell->model();
    m_shell->start({QStringLiteral("grumblix")});
    model.setSaveRetryDelays(std::chrono::hours(1), std::chrono::hours(1));
    m_disk->setFull(true);
    model.log(EventSource::menuBar);
    model.log(EventSource::menuBar);
    chooseQuit(entry);
    QMessageBox *box = m_shell->quitQuestion()->box();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("Quit Grumblix and lose 2 incidents?"));
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!m_shell->quitQuestion()->box());
    QCOMPARE(model.unsavedChanges(), 2);
}

void TestShell::quitEntriesQuitAtOnceWithNothingWaiting_data()
{
    addQuitEntries();
}

void TestShell::quitEntriesQuitAtOnceWithNothingWaiting()
{
    QFETCH(QString, entry);
    m_shell->start({QStringLiteral("grumblix")});
    m_shell->model()->log(EventSource::menuBar);
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QTimer::singleShot(0, this, [this, entry] { chooseQuit(entry); });
    // Only a quit that went unheard waits this long.
    QTimer unheard;
    unheard.setSingleShot(true);
    connect(&unheard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    unheard.start(20000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(quitting.count(), 1);
    QVERIFY(!m_shell->quitQuestion()->box());
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
