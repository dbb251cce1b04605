#include "Shell.h"

#include "HUDController.h"
#include "MainMenu.h"
#include "PlatformAdapters.h"
#include "StatusItemController.h"
#include "WindowManager.h"
#include "app/AppModel.h"
#include "app/AppNotifications.h"
#include "app/AppSound.h"
#include "app/LaunchArguments.h"
#include "features/update/UpdateWindow.h"
#include "platform/Appearance.h"
#include "platform/EmojiPickerProgram.h"
#include "services/ActiveAppService.h"
#include "services/HotKeyService.h"
#include "services/NotificationService.h"
#include "services/SoundService.h"
#include "services/UpdateService.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void showAbout()
{
    QMessageBox::about(nullptr, QStringLiteral("About Grumblix"),
                       QStringLiteral("<b>Grumblix</b><br>Version %1 (%2)<br><br>"
                                      "A big red button for every frustrating moment at work.")
                           .arg(QStringLiteral(GRUMBLIX_VERSION), QStringLiteral(GRUMBLIX_BUILD_NUMBER)));
}

} // namespace

Shell::Shell(AppModel &model, QObject *parent) : QObject(parent), m_model(model)
{
}

Shell::~Shell() = default;

QStringList Shell::urlsIn(const QStringList &arguments)
{
    QStringList urls;
    for (const QString &argument : arguments) {
        if (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-')))
            urls << argument;
    }
    return urls;
}

void Shell::start(const QStringList &arguments)
{
    m_frontmost = std::make_unique<FrontmostAppAdapter>(ActiveAppService::shared());
    m_hotKey = std::make_unique<GlobalHotKeyAdapter>(HotKeyService::shared());
    m_sound = std::make_unique<AppSound>(SoundService::shared());
    m_notices = std::make_unique<AppNotifications>(m_model, NotificationService::shared());
    connect(&HotKeyService::shared(), &HotKeyService::registrationLost, this,
            [this] {
                m_model.setBoundShortcutDescription({});
                m_model.setHotKeyRegistered(false);
            });
    connect(&HotKeyService::shared(), &HotKeyService::registrationConfirmed, this,
            [this](const QString &description) {
                m_model.setBoundShortcutDescription(description);
                m_model.setHotKeyRegistered(true);
            });

    // The update service exists before the menus are built, so they know whether this build has a
    // feed; without one the update entries stay disabled.
    UpdateService &updates = UpdateService::shared();
    UpdateWindow::attach(updates);
    std::function<void()> checkForUpdates;
    if (updates.isConfigured())
        checkForUpdates = [&updates] { updates.checkForUpdates(); };

    MainMenuActions menu;
    menu.checkForUpdates = checkForUpdates;
    menu.about = showAbout;
    menu.openSettings = [this] {
        m_model.setDashboardTab(DashboardTab::settings);
        m_model.showDashboard();
    };
    menu.hide = [this] {
        if (m_model.statusItem())
            m_model.statusItem()->closePanel();
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
    };
    menu.quit = [] { QCoreApplication::quit(); };
    menu.emojiPicker = EmojiPickerProgram::launcher();

    AppServices services;
    services.applyAppearance = [] { Pref::applyAppearance(); };
    services.frontmostApp = m_frontmost.get();
    services.hotKey = m_hotKey.get();
    services.sound = m_sound.get();
    services.notices = m_notices.get();
    services.makeStatusItem = [checkForUpdates](AppModel &model) -> std::unique_ptr<StatusItem> {
        auto controller = std::make_unique<StatusItemController>(model);
        controller->setUpdateCheck(checkForUpdates);
        // Without a tray the program would be invisible: the dashboard stands in for the icon.
        QObject::connect(controller.get(), &StatusItemController::trayUnavailable, &model,
                         [&model] { model.showDashboard(); });
        return controller;
    };
    services.toast = std::make_unique<HUDController>(m_model);
    services.dashboardWindow = std::make_unique<WindowManager>(m_model, menu);
    m_model.setServices(std::move(services));

    connect(qApp, &QCoreApplication::aboutToQuit, &m_model, [this] { m_model.flushPendingChanges(); });

    m_model.bootstrap(arguments);
    for (const QString &url : urlsIn(arguments.mid(1)))
        m_model.handle(url);
}

void Shell::handOver(const QStringList &arguments)
{
    const QStringList urls = urlsIn(arguments);
    for (const QString &url : urls)
        m_model.handle(url);
    if (!urls.isEmpty())
        return;
    const LaunchArguments launch = LaunchArguments::parse(QStringList{QString()} + arguments);
    if (launch.tab)
        m_model.setDashboardTab(*launch.tab);
    if (launch.panel && !launch.dashboard && m_model.statusItem()) {
        m_model.statusItem()->openPanel();
        return;
    }
    m_model.showDashboard();
}
