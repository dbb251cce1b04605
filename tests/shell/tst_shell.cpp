#include "app/AppModel.h"
#include "models/Prefs.h"
#include "platform/Appearance.h"
#include "platform/ColorSchemeSource.h"
#include "services/DayWatcher.h"
#include "shell/Shell.h"
#include "shell/StatusItemController.h"
#include "support/FakeColorScheme.h"
#include "support/FakeNotifier.h"
#include "support/FakePlatform.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"

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

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Shell> m_shell;
    FakeColorScheme *m_scheme = nullptr;
    FakeNotifier *m_notifier = nullptr;
};

void TestShell::init()
{
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

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
