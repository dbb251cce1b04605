#pragma once

// The dashboard window (the shell's WindowManager). It shows the page named by
// AppModel::dashboardTab() and follows dashboardTabChanged().
class DashboardWindow
{
public:
    virtual ~DashboardWindow() = default;

    // Builds the window on first use, then raises and activates it.
    virtual void showDashboard() = 0;
};
