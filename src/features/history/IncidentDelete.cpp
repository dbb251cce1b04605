#include "features/history/IncidentDelete.h"

#include "ui/OverlayCenter.h"

void askDeleteIncident(OverlayCenter *overlay, std::function<void()> action)
{
    if (!overlay)
        return;
    overlay->setPopup(std::nullopt);
    overlay->setDialog(
        OverlayCenter::Dialog{QStringLiteral("Delete this incident?"),
                              QStringLiteral("It happened. But fine, we'll pretend it didn't."),
                              QStringLiteral("Delete"), true, std::move(action)});
    overlay->watchEscape();
}
