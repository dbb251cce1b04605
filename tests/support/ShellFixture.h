#pragma once

#include "app/AppModel.h"
#include "models/Prefs.h"

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

    StatusItemController *statusItem() const;
    HUDController *hud() const;
    WindowManager *windows() const;
    int storedCount() const { return int(model->allEvents().size()); }
};

} // namespace TestSupport
