#include "ShellFixture.h"

#include "shell/HUDController.h"
#include "shell/StatusItemController.h"
#include "shell/WindowManager.h"

#include <QMenu>

namespace TestSupport {

QAction *findAction(const QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

ShellFixture::ShellFixture()
{
    prefs = std::make_unique<Prefs>(dir.filePath(QStringLiteral("config/Grumblix.conf")));
    prefs->setValue(PrefKey::hasOnboarded, true);
    model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("data/Grumblix.store")), *prefs);
    appearance = std::make_unique<Appearance>();
    tray = std::make_unique<StatusItemController>(*model, appearance.get());
    toast = std::make_unique<HUDController>(*model);
    dashboard = std::make_unique<WindowManager>(*model, MainMenuActions{});
    dashboard->setAppearance(appearance.get());
    dashboard->setStateFile(dir.filePath(QStringLiteral("config/WindowState.conf")));
    AppServices services;
    services.statusItem = tray.get();
    services.toast = toast.get();
    services.dashboardWindow = dashboard.get();
    model->setServices(services);
    model->bootstrap({QStringLiteral("grumblix")});
}

ShellFixture::~ShellFixture()
{
    model->setServices({});
    dashboard.reset();
    toast.reset();
    tray.reset();
}

} // namespace TestSupport
