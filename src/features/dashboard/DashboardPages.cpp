#include "features/dashboard/DashboardPages.h"

#include "app/AppModel.h"
#include "features/achievements/AchievementsView.h"
#include "features/history/HistoryView.h"
#include "features/overview/OverviewView.h"
#include "features/report/ReportView.h"
#include "features/settings/SettingsView.h"
#include "features/triggers/TriggersView.h"
#include "platform/EmojiPickerProgram.h"

namespace DashboardPages {

QString title(DashboardTab tab)
{
    switch (tab) {
    case DashboardTab::overview:
        return QStringLiteral("Overview");
    case DashboardTab::history:
        return QStringLiteral("History");
    case DashboardTab::report:
        return QStringLiteral("Friday Report");
    case DashboardTab::achievements:
        return QStringLiteral("Achievements");
    case DashboardTab::triggers:
        return QStringLiteral("Triggers");
    case DashboardTab::settings:
        return QStringLiteral("Settings");
    }
    return {};
}

QString symbol(DashboardTab tab)
{
    switch (tab) {
    case DashboardTab::overview:
        return QStringLiteral("flame.fill");
    case DashboardTab::history:
        return QStringLiteral("list.bullet.rectangle.portrait.fill");
    case DashboardTab::report:
        return QStringLiteral("doc.richtext.fill");
    case DashboardTab::achievements:
        return QStringLiteral("trophy.fill");
    case DashboardTab::triggers:
        return QStringLiteral("tag.fill");
    case DashboardTab::settings:
        return QStringLiteral("gearshape.fill");
    }
    return {};
}

QWidget *makePage(DashboardTab tab, AppModel &model, const PageServices &services)
{
    switch (tab) {
    case DashboardTab::overview:
        return new OverviewView(model);
    case DashboardTab::achievements:
        return new AchievementsView(model);
    case DashboardTab::history:
        return new HistoryView(model);
    case DashboardTab::report:
        return new ReportView(model);
    case DashboardTab::triggers:
        return new TriggersView(model, EmojiPickerProgram::launcher());
    case DashboardTab::settings:
        return new SettingsView(model, services.settings);
    }
    return new QWidget;
}

} // namespace DashboardPages
