#pragma once

#include "app/DashboardTab.h"
#include "features/settings/SettingsServices.h"

#include <QString>

class AppModel;
class QWidget;

// What the pages need besides the model; the composition root fills it in.
struct PageServices
{
    SettingsServices settings;
};

// How each dashboard page is named and drawn in the sidebar, and the page itself.
namespace DashboardPages {

QString title(DashboardTab tab);
QString symbol(DashboardTab tab);

// A fresh page for the tab; pages keep no state across visits.
QWidget *makePage(DashboardTab tab, AppModel &model, const PageServices &services = {});

} // namespace DashboardPages
