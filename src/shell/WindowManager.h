#pragma once

#include "MainMenu.h"
#include "app/DashboardWindow.h"
#include "features/dashboard/DashboardPages.h"

#include <QMainWindow>
#include <QObject>
#include <QPointer>

class Appearance;

class AppModel;

// The dashboard's window: its frame is kept across runs, and closing it only hides it.
class DashboardMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DashboardMainWindow(const QString &stateFile);
    void saveFrame();
    // False when no frame was saved by an earlier run.
    bool restoreFrame();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_stateFile;
};

// Builds the dashboard window on first use and brings it forward on every request. The window is
// kept for the life of the process; the page follows AppModel::dashboardTab().
class WindowManager : public QObject, public DashboardWindow
{
    Q_OBJECT
public:
    WindowManager(AppModel &model, MainMenuActions actions, QObject *parent = nullptr);
    ~WindowManager() override;

    void showDashboard() override;
    // Null until the first showDashboard().
    DashboardMainWindow *window() const { return m_window; }

    static QString defaultStateFile();
    void setStateFile(const QString &path) { m_stateFile = path; }
    // What the pages work through; takes effect when the window is first built.
    void setPageServices(PageServices services) { m_pageServices = std::move(services); }
    // The menus follow its light or dark look; without one they keep the look they start with.
    void setAppearance(const Appearance *appearance) { m_appearance = appearance; }

private:
    AppModel &m_model;
    MainMenuActions m_actions;
    QString m_stateFile;
    PageServices m_pageServices;
    QPointer<DashboardMainWindow> m_window;
    const Appearance *m_appearance = nullptr;
};
