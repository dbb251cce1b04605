#pragma once

#include <QList>
#include <QString>
#include <optional>

// The dashboard pages in sidebar order; the raw value is the case name.
enum class DashboardTab
{
    overview,
    history,
    report,
    achievements,
    triggers,
    settings
};

QString rawValue(DashboardTab tab);
// Exact, case-sensitive match of a raw value; anything else names no page.
std::optional<DashboardTab> dashboardTabFromRaw(const QString &raw);
const QList<DashboardTab> &allDashboardTabs();
