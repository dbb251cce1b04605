#include "Views.h"

#include "app/AppModel.h"
#include "features/dashboard/DashboardView.h"
#include "features/toast/HUDView.h"
#include "features/panel/MenuPanelView.h"
#include "ui/EStopButton.h"

namespace Views {

QWidget *panel(AppModel &model, std::function<void()> close)
{
    auto *view = new MenuPanelView(model, std::move(close));
    view->button()->setObjectName(QStringLiteral("logButton"));
    return view;
}

QWidget *toast(AppModel &model, const VorpEvent &event, std::function<void()> onChosen,
               std::function<void(bool)> onHover)
{
    return new HUDView(model, event, std::move(onChosen), std::move(onHover));
}

QWidget *dashboard(AppModel &model, const PageServices &services)
{
    return new DashboardView(model, services);
}

} // namespace Views
