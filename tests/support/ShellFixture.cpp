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
    prefs->setValue(QStringLiteral("hasOnboarded"), true);
    model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("data/Grumblix.store")), *prefs);
    AppServices services;
    services.makeStatusItem = [](AppModel &m) -> std::unique_ptr<StatusItem> {
        return std::make_unique<StatusItemController>(m);
    };
    services.toast = std::make_unique<HUDController>(*model);
    auto windows = std::make_unique<WindowManager>(*model, MainMenuActions{});
    windows->setStateFile(dir.filePath(QStringLiteral("config/WindowState.conf")));
    services.dashboardWindow = std::move(windows);
    model->setServices(std::move(services));
    model->bootstrap({QStringLiteral("grumblix")});
}

ShellFixture::~ShellFixture() = default;

StatusItemController *ShellFixture::statusItem() const
{
    return static_cast<StatusItemController *>(model->statusItem());
}

HUDController *ShellFixture::hud() const
{
    return static_cast<HUDController *>(model->hud());
}

WindowManager *ShellFixture::windows() const
{
    return static_cast<WindowManager *>(model->windows());
}

} // namespace TestSupport
