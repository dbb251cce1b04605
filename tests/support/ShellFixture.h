#pragma once

#include "app/AppModel.h"
#include "models/Prefs.h"
#include "platform/Appearance.h"

#include <QTemporaryDir>
#include <memory>

class HUDController;
class QAction;
class QMenu;
class StatusItemController;
class WindowManager;

namespace TestSupport {

// The entry of a menu with that text, or null.
QAction *findAction(const QMenu *menu, const QString &title);

// A model over a temporary store, driving the real tray controller, toast and dashboard window.
struct ShellFixture
{
    ShellFixture();
    ~ShellFixture();

    QTemporaryDir dir;
    std::unique_ptr<Prefs> prefs;
    std::unique_ptr<AppModel> model;
    // What the tray icon and the dashboard's menus follow.
    std::unique_ptr<Appearance> appearance;
    std::unique_ptr<StatusItemController> tray;
    std::unique_ptr<HUDController> toast;
    std::unique_ptr<WindowManager> dashboard;

    StatusItemController *statusItem() const { return tray.get(); }
    HUDController *hud() const { return toast.get(); }
    WindowManager *windows() const { return dashboard.get(); }
    int storedCount() const { return int(model->allEvents().size()); }
};

} // namespace TestSupport
