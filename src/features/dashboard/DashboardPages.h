#pragma once

#include "app/DashboardTab.h"

#include <QString>

class AppModel;
class QWidget;

// How each dashboard page is named and drawn in the sidebar, and the page itself.
namespace DashboardPages {

QString title(DashboardTab tab);
QString symbol(DashboardTab tab);

// A fresh page for the tab; pages keep no state across visits.
QWidget *makePage(DashboardTab tab, AppModel &model);

} // namespace DashboardPages
