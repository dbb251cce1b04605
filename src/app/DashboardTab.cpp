#include "DashboardTab.h"

namespace {
struct Entry
{
    DashboardTab tab;
    const char *raw;
};
constexpr Entry kTabs[] = {
    {DashboardTab::overview, "overview"}, {DashboardTab::history, "history"},
    {DashboardTab::report, "report"},     {DashboardTab::achievements, "achievements"},
    {DashboardTab::triggers, "triggers"}, {DashboardTab::settings, "settings"},
};
} // namespace

QString rawValue(DashboardTab tab)
{
    for (const Entry &entry : kTabs) {
        if (entry.tab == tab)
            return QString::fromLatin1(entry.raw);
    }
    return {};
}

std::optional<DashboardTab> dashboardTabFromRaw(const QString &raw)
{
    for (const Entry &entry : kTabs) {
        if (raw == QLatin1String(entry.raw))
            return entry.tab;
    }
    return std::nullopt;
}

const QList<DashboardTab> &allDashboardTabs()
{
    static const QList<DashboardTab> tabs = [] {
        QList<DashboardTab> list;
        for (const Entry &entry : kTabs)
            list << entry.tab;
        return list;
    }();
    return tabs;
}
