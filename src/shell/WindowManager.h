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
    // Moves and shrinks the window into the available area of its screen (of the primary screen
    // when `keepPosition` is false: then it is centred there). Where even the root's own minimum does
    // not fit, the root's minimum is lowered to what fits and its pages scroll.
    void fitIntoScreen(bool keepPosition);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    QMargins decoration() const;
    int menuBarHeight() const;

    QString m_stateFile;
    QSize m_rootMinimum;
    // Until the window manager has told the real frame, the fit used a guessed title bar.
    bool m_fitGuessed = false;
    // The size asked for before the guessed fit, for the fit with the real frame.
    QSize m_wantedSize;
    QSize m_fittedSize;
    bool m_fitting = false;
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
