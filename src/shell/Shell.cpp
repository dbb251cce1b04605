#include "Shell.h"

#include "HUDController.h"
#include "MainMenu.h"
#include "PlatformAdapters.h"
#include "QuitQuestion.h"
#include "StatusItemController.h"
#include "WindowManager.h"
#include "app/AppModel.h"
#include "app/AppNotifications.h"
#include "app/AppSound.h"
#include "app/LaunchArguments.h"
#include "features/update/UpdateWindow.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "platform/ActiveWindowSource.h"
#include "platform/Appearance.h"
#include "platform/AudioOutput.h"
#include "platform/ColorSchemeSource.h"
#include "platform/DesktopEntries.h"
#include "platform/HotKeyBackend.h"
#include "platform/Notifier.h"
#include "platform/EmojiPickerProgram.h"
#include "platform/XdgAutostart.h"
#include "services/ActiveAppService.h"
#include "services/HotKeyService.h"
#include "services/NotificationService.h"
#include "services/SoundService.h"
#include "services/UpdateService.h"
#include "shell/Application.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QMessageBox>
#include <QRandomGenerator>
#include <cstdio>

namespace {

void showAbout()
{
    QMessageBox::about(nullptr, QStringLiteral("About Grumblix"),
                       QStringLiteral("<b>Grumblix</b><br>Version %1 (%2)<br><br>"
                                      "A big red button for every frustrating moment at work.")
                           .arg(QStringLiteral(GRUMBLIX_VERSION), QStringLiteral(GRUMBLIX_BUILD_NUMBER)));
}

void reportFatal(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) &&
        platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(nullptr, QStringLiteral("Grumblix"), message);
    }
}

} // namespace

Shell::Shell(QObject *parent) : QObject(parent)
{
}

Shell::~Shell()
{
    // The members go in the reverse order of build(); the model lets go of the windows first.
    if (m_model)
        m_model->setServices({});
}

Shell::Locations Shell::standardLocations()
{
    return {Prefs::defaultFilePath(), AppModel::defaultStorePath(), WindowManager::defaultStateFile()};
}

void Shell::tellStoreUnwritable(const QString &path, const QString &error)
{
    auto *box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Grumblix"),
                        QStringLiteral("Grumblix cannot save to its store at %1: %2\n\nWhat you log now "
                                       "is kept only while Grumblix runs: the store does not take it.")
                            .arg(path, error));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

QStringList Shell::urlsIn(const QStringList &arguments)
{
    QStringList urls;
    for (const QString &argument : arguments) {
        if (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-')))
            urls << argument;
    }
    return urls;
}

bool Shell::build(const Locations &locations, Platform platform, StoreLock storeLock)
{
    m_prefs = std::make_unique<Prefs>(locations.preferences);

    QString error;
    std::unique_ptr<Store> store = AppModel::openStore(locations.store, &error, std::move(storeLock));
    if (!store) {
        const QString message = QStringLiteral("Could not open the Grumblix store: ") + error;
        if (m_fatalReport)
            m_fatalReport(message);
        reportFatal(message);
        return false;
    }

    m_platform = std::move(platform);
    buildServices();
    m_model = std::make_unique<AppModel>(std::move(store), *m_prefs);
    m_quitQuestion = std::make_unique<QuitQuestion>(*m_model, [] { QCoreApplication::quit(); });
    m_frontmost = std::make_unique<FrontmostAppAdapter>(*m_activeApp);
    m_hotKey = std::make_unique<GlobalHotKeyAdapter>(*m_hotKeys);
    m_pressSound = std::make_unique<AppSound>(*m_sounds);
    m_notices = std::make_unique<AppNotifications>(*m_model, *m_notifications);
    connect(m_hotKeys.get(), &HotKeyService::registrationLost, this, [this] {
        m_model->setBoundShortcutDescription({});
        m_model->setHotKeyRegistered(false);
    });
    connect(m_hotKeys.get(), &HotKeyService::registrationConfirmed, this, [this](const QString &description) {
        m_model->setBoundShortcutDescription(description);
        m_model->setHotKeyRegistered(true);
    });
    // Bound, on the desktop's earlier key: the settings page says how to change it.
    connect(m_hotKeys.get(), &HotKeyService::registrationKept, this, [this](const QString &description) {
        m_model->setBoundShortcutDescription(description);
        m_model->setHotKeyRegistered(true);
    });
    buildWindows(locations);

    AppServices services;
    services.frontmostApp = m_frontmost.get();
    services.hotKey = m_hotKey.get();
    services.sound = m_pressSound.get();
    services.notices = m_notices.get();
    services.statusItem = m_statusItem.get();
    services.toast = m_toast.get();
    services.dashboardWindow = m_windows.get();
    m_model->setServices(services);
    return true;
}

void Shell::setFatalReport(std::function<void(const QString &)> report)
{
    m_fatalReport = std::move(report);
}

void Shell::buildServices()
{
    m_appearance = std::make_unique<Appearance>();
    m_appearance->setSystemSource(m_platform.colorScheme.get());
    auto followPreference = [this] {
        m_appearance->setMode(Appearance::modeFromString(m_prefs->appearance()));
    };
    followPreference();
    applyScheme(m_appearance->isDark());
    connect(m_prefs.get(), &Prefs::changed, this, [followPreference](const QString &key) {
        if (key == PrefKey::appearance)
            followPreference();
    });
    connect(m_appearance.get(), &Appearance::isDarkChanged, this, &Shell::applyScheme);
    if (auto *application = qobject_cast<Application *>(QCoreApplication::instance()))
        connect(application, &Application::paletteChanged, m_appearance.get(), &Appearance::paletteChanged);

    m_hotKeys = std::make_unique<HotKeyService>(std::move(m_platform.hotKey));
    m_activeApp = std::make_unique<ActiveAppService>(
        std::move(m_platform.activeWindow), *m_platform.desktopEntries, QCoreApplication::applicationPid());
    m_notifications = std::make_unique<NotificationService>(*m_platform.notifier, *m_prefs);
    m_sounds = std::make_unique<SoundService>(
        *m_platform.audio, *m_prefs, SoundService::defaultNarratorFolders(), QRandomGenerator::global());
    m_updates = std::make_unique<UpdateService>(UpdateService::builtInConfig(), *m_prefs);
    m_updates->start();
    UpdateWindow::attach(*m_updates);
}

void Shell::buildWindows(const Locations &locations)
{
    // Without a feed in this build the update entries stay disabled.
    std::function<void()> checkForUpdates;
    if (m_updates->isConfigured())
        checkForUpdates = [updates = m_updates.get()] { updates->checkForUpdates(); };

    MainMenuActions menu;
    menu.checkForUpdates = checkForUpdates;
    menu.about = showAbout;
    menu.openSettings = [this] {
        m_model->setDashboardTab(DashboardTab::settings);
        m_model->showDashboard();
    };
    menu.hide = [this] {
        if (m_statusItem)
            m_statusItem->closePanel();
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
    };
    // Both Quit entries ask first while changes wait to be saved.
    menu.quit = [this] { m_quitQuestion->request(); };
    menu.emojiPicker = EmojiPickerProgram::launcher();

    m_statusItem = std::make_unique<StatusItemController>(*m_model, m_appearance.get());
    m_statusItem->setUpdateCheck(checkForUpdates);
    m_statusItem->setQuit(menu.quit);
    // Without a tray the program would be invisible: the dashboard stands in for the icon.
    connect(m_statusItem.get(), &StatusItemController::trayUnavailable, m_model.get(),
            [model = m_model.get()] { model->showDashboard(); });
    m_toast = std::make_unique<HUDController>(*m_model);
    m_autostart = std::make_unique<XdgAutostart>(XdgAutostart::forCurrentUser());
    PageServices pages;
    pages.settings.hotKeys = m_hotKeys.get();
    pages.settings.sound = m_sounds.get();
    pages.settings.updates = m_updates.get();
    pages.settings.notifications = m_notifications.get();
    pages.settings.autostart = m_autostart.get();
    // The appearance follows the preference (Prefs::changed), so the page needs no hook for it.
    m_windows = std::make_unique<WindowManager>(*m_model, menu);
    m_windows->setPageServices(std::move(pages));
    m_windows->setAppearance(m_appearance.get());
    m_windows->setStateFile(locations.windowState);
}

void Shell::applyScheme(bool dark)
{
    Theme::setApplicationScheme(dark ? ColorScheme::Dark : ColorScheme::Light);
    for (QWidget *window : QApplication::topLevelWidgets())
        window->update();
    if (m_statusItem)
        m_statusItem->refreshLook();
}

HandOver::Reply Shell::start(const QStringList &arguments, const std::function<void()> &takingUrls)
{
    connect(qApp, &QCoreApplication::aboutToQuit, m_model.get(), [this] {
        m_model->closeStore();
        // What is still unsaved goes with the process; a logout's messages are read in the
        // session's log, where stderr goes.
        if (m_model->unsavedChanges() > 0)
            std::fprintf(stderr, "%s\n", qPrintable(lostAtQuit()));
    });
    connect(m_model.get(), &AppModel::storeUnwritable, this, &Shell::tellStoreUnwritable);
    m_model->bootstrap(arguments);
    const QStringList urls = urlsIn(arguments.mid(1));
    if (urls.isEmpty())
        return {};
    if (takingUrls)
        takingUrls();
    const int tick = m_model->logTick();
    for (const QString &url : urls)
        m_model->handle(url);
    return savedSince(tick);
}

HandOver::Reply Shell::handOver(const QStringList &arguments)
{
    // The options in the order the start-up sequence takes them, then the URLs: a later launch does
    // what the same arguments do at start-up. One that asks for neither the panel nor a URL is the
    // user opening the program again, so the dashboard comes forward.
    const LaunchArguments launch = LaunchArguments::parse(QStringList{QString()} + arguments);
    const QStringList urls = urlsIn(arguments);
    const int tick = m_model->logTick();
    if (launch.demo && m_model->allEvents().isEmpty())
        m_model->addDemoData();
    if (launch.tab)
        m_model->setDashboardTab(*launch.tab);
    if (launch.dashboard || (!launch.panel && urls.isEmpty()))
        m_model->showDashboard();
    // A panel already open stays as it is rather than being made again under the pointer.
    if (launch.panel && m_statusItem && !m_statusItem->isPanelVisible())
        m_statusItem->openPanel();
    for (const QString &url : urls)
        m_model->handle(url);
    return savedSince(tick);
}

HandOver::Reply Shell::savedSince(int tickBefore)
{
    // A launch that stored nothing is done, whatever earlier changes may still wait for the disk.
    if (m_model->logTick() == tickBefore)
        return {};
    QString error;
    if (m_model->flushPendingChanges(&error))
        return {};
    // The store keeps what it could not write and writes it with its next save: the launch must
    // not be repeated, or it would be logged twice.
    const QString until = m_model->unsavedUntil();
    return {
        HandOver::Reply::Status::kept,
        QStringLiteral("Grumblix could not save to its store yet: %1. What this launch logged is kept while "
                       "Grumblix runs%2; do not log it again.")
            .arg(error, until.isEmpty() ? QString() : QStringLiteral(" and saved ") + until)};
}

QString Shell::lostAtQuit() const
{
    return QStringLiteral("Grumblix quit and lost %1 it could not save: %2.")
        .arg(m_model->unsavedAmount(), m_model->unsavedReason());
}
