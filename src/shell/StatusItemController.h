#pragma once

#include "FloatingPanel.h"
#include "StatusBadge.h"
#include "TrayClick.h"
#include "app/DashboardTab.h"
#include "app/StatusItem.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class AppModel;
class Appearance;
class QMenu;

// The tray icon: the "V!" badge with today's count, the flash after a log, the quick gestures of
// its clicks, its menu, and the quick-log panel under it.
class StatusItemController : public QObject, public StatusItem
{
    Q_OBJECT
public:
    // The icon's ink follows `appearance`'s desktop scheme; without one, the application's scheme.
    explicit StatusItemController(AppModel &model, const Appearance *appearance = nullptr,
                                  QObject *parent = nullptr);
    ~StatusItemController() override;

    // The icon's tool tip at rest; while changes wait to be saved, their notice follows below.
    static QString toolTip() { return QStringLiteral("Grumblix — click to vent, right-click for more"); }

    void updateTitle(int todayCount) override;
    void flash() override;
    void openPanel() override;
    void closePanel() override;
    // Redraws the resting badge after the appearance or a badge preference changed (not while a
    // flash runs).
    void refreshLook();

    // "Check for Updates…": the action, or none to show the entry disabled.
    void setUpdateCheck(std::function<void()> check);
    // "Quit Grumblix": what quits (the shell asks first while changes wait); QCoreApplication::quit
    // until set.
    void setQuit(std::function<void()> quit);

    // Runs what a click asks for (the tray's own clicks come through here too).
    void perform(TrayAction action);
    // A new menu with the entries in their order; the caller owns it.
    QMenu *buildMenu();
    // The menu attached to the tray icon (a StatusNotifier host shows it itself, over D-Bus).
    QMenu *menu() const { return m_menu.get(); }

    QSystemTrayIcon *trayIcon() const { return m_tray; }
    FloatingPanel *panel() const { return m_panel; }
    bool isPanelVisible() const;
    bool isFlashing() const { return m_flashing; }
    // What the icon shows now.
    BadgeLook currentLook() const { return m_look; }

Q_SIGNALS:
    // No tray appeared in time; the program must show itself some other way.
    void trayUnavailable();

private:
    void quickLog();
    void openDashboard(DashboardTab tab);
    void showMenu(std::optional<QPoint> at);
    void refreshMenu();
    void refreshToolTip();
    void setLook(const BadgeLook &look);
    BadgeLook restingLook(int todayCount) const;
    void watchForTray();

    AppModel &m_model;
    const Appearance *m_appearance;
    QSystemTrayIcon *m_tray;
    QPointer<FloatingPanel> m_panel;
    std::unique_ptr<QMenu> m_menu;
    std::function<void()> m_checkForUpdates;
    std::function<void()> m_quit;
    BadgeLook m_look;
    QHash<QString, QIcon> m_icons;
    bool m_flashing = false;
    QElapsedTimer m_sinceDismissal;
    QElapsedTimer m_sinceShown;
    bool m_waitingForTray = false;
    QTimer m_trayWatch;
    int m_trayChecks = 0;
};
