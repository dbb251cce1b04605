#pragma once

#include "features/dashboard/DashboardPages.h"

#include <functional>

class AppModel;
class QWidget;
struct VorpEvent;

// The content each shell window hosts. The windows ask only this factory, so the feature views
// take their place here without touching the windows.
namespace Views {

// The quick-log panel under the tray icon; `close` asks the panel to close.
QWidget *panel(AppModel &model, std::function<void()> close);
// The toast for the incident just logged. `onChosen` after a trigger was picked; `onHover` when
// the pointer enters (true) or leaves (false).
QWidget *toast(AppModel &model, const VorpEvent &event, std::function<void()> onChosen,
               std::function<void(bool)> onHover);
// The dashboard window's root.
QWidget *dashboard(AppModel &model, const PageServices &services = {});

} // namespace Views
