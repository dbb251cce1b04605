#include "StatusItemController.h"

#include "FloatingPanel.h"
#include "Views.h"
#include "WindowPlacement.h"
#include "app/AppModel.h"
#include "app/Toast.h"
#include "models/Prefs.h"
#include "platform/Appearance.h"
#include "platform/TrayRequestPoint.h"
#include "ui/ChosenSkin.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QScreen>

namespace {
// How often and how long to look for a tray that is not there yet (a panel still starting).
constexpr int trayCheckIntervalMs = 500;
constexpr int trayChecks = 20;
// A click on the icon that arrives this soon after the panel closed for losing focus is the same
// click that took the focus away: it closes, it does not reopen.
constexpr qint64 dismissalClickWindowMs = 300;
// How long a panel asked for at start waits for the tray to place the icon.
constexpr qint64 trayPlacementWaitMs = 1500;
constexpr int trayPlacementPollMs = 50;
} // namespace

StatusItemController::StatusItemController(AppModel &model, const Appearance *appearance, QObject *parent)
    : QObject(parent), m_model(model), m_appearance(appearance), m_tray(new QSystemTrayIcon(this))
{
    TrayRequestPoint::install();
    // Attached, so a StatusNotifier host gets it as an exported D-Bus menu and shows it itself.
    m_menu.reset(buildMenu());
    m_tray->setContextMenu(m_menu.get());
    refreshToolTip();
    connect(&m_model, &AppModel::shortcutChanged, this, &StatusItemController::refreshMenu);
    connect(&m_model, &AppModel::unsavedChangesChanged, this, [this] {
        refreshToolTip();
        refreshMenu();
    });
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        const std::optional<QPoint> hostPoint = TrayRequestPoint::take();
        const TrayAction action = trayActionFor(reason, QGuiApplication::queryKeyboardModifiers());
        if (action == TrayAction::ShowMenu) {
            // An XEmbed tray has shown the attached menu already.
            if (!m_menu->isVisible())
                showMenu(hostPoint);
            return;
        }
        perform(action);
    });
    if (m_appearance) {
        connect(m_appearance, &Appearance::isDesktopDarkChanged, this, [this] {
            if (!m_flashing)
                updateTitle(m_model.todayCount());
        });
    }
    connect(&m_model.prefs(), &Prefs::changed, this, [this](const QString &key) {
        if (key == PrefKey::showCountInMenuBar)
            refreshLook();
    });
    updateTitle(m_model.todayCount());
    m_tray->show();
    m_sinceShown.start();
    watchForTray();
}

StatusItemController::~StatusItemController()
{
    if (m_panel)
        delete m_panel;
}

void StatusItemController::setUpdateCheck(std::function<void()> check)
{
    m_checkForUpdates = std::move(check);
    refreshMenu();
}

void StatusItemController::setQuit(std::function<void()> quit)
{
    m_quit = std::move(quit);
}

void StatusItemController::refreshMenu()
{
    // The attached menu is exported as it is; it is filled anew, never replaced.
    m_menu->clear();
    std::unique_ptr<QMenu> fresh(buildMenu());
    for (QAction *action : fresh->actions()) {
        action->setParent(m_menu.get());
        m_menu->addAction(action);
    }
}

void StatusItemController::refreshToolTip()
{
    // Changes waiting to be saved are told under the usual line, for as long as they wait.
    const QString unsaved = m_model.unsavedNotice();
    m_tray->setToolTip(unsaved.isEmpty() ? toolTip() : toolTip() + QLatin1Char('\n') + unsaved);
}

void StatusItemController::watchForTray()
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_trayWatch.setInterval(trayCheckIntervalMs);
    connect(&m_trayWatch, &QTimer::timeout, this, [this] {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            m_trayWatch.stop();
            m_tray->show();
            return;
        }
        if (++m_trayChecks >= trayChecks) {
            m_trayWatch.stop();
            Q_EMIT trayUnavailable();
        }
    });
    m_trayWatch.start();
}

BadgeLook StatusItemController::restingLook(int todayCount) const
{
    BadgeLook look;
    // The icon sits on the desktop's panel, so it follows the desktop's scheme, not the app's look.
    const bool dark = m_appearance ? m_appearance->isDesktopDark()
                                   : Theme::applicationScheme() == ColorScheme::Dark;
    look.ink = dark ? Qt::white : Qt::black;
    const bool showCount = m_model.prefs().showCountInMenuBar();
    look.count = showCount && todayCount >= 1 ? todayCount : 0;
    return look;
}

void StatusItemController::setLook(const BadgeLook &look)
{
    m_look = look;
    // A press swaps between two or three looks; drawing each once keeps the answer quick.
    const QString key = QStringLiteral("%1|%2|%3|%4|%5")
                            .arg(look.filled)
                            .arg(look.ink.rgba())
                            .arg(look.fill.rgba())
                            .arg(look.label.rgba())
                            .arg(look.count);
    auto cached = m_icons.constFind(key);
    if (cached == m_icons.constEnd()) {
        if (m_icons.size() >= 8)
            m_icons.clear();
        cached = m_icons.insert(key, StatusBadge::icon(look));
    }
    m_tray->setIcon(*cached);
}

void StatusItemController::updateTitle(int todayCount)
{
    // The end of a flash calls this again.
    if (m_flashing)
        return;
    setLook(restingLook(todayCount));
}

void StatusItemController::refreshLook()
{
    updateTitle(m_model.todayCount());
}

void StatusItemController::flash()
{
    m_flashing = true;
    const ButtonSkin::Palette palette = chosenSkin(m_model.prefs()).palette();
    BadgeLook look = m_look;
    look.filled = true;
    look.fill = palette.cap;
    look.label = palette.label;
    setLook(look);
    // Each flash schedules its own end; the first end clears the flash, later ones refresh again.
    QTimer::singleShot(700, this, [this] {
        m_flashing = false;
        updateTitle(m_model.todayCount());
    });
}

bool StatusItemController::isPanelVisible() const
{
    return m_panel && m_panel->isVisible() && !m_panel->isDismissing();
}

void StatusItemController::perform(TrayAction action)
{
    switch (action) {
    case TrayAction::None:
        return;
    case TrayAction::ShowMenu:
        showMenu(std::nullopt);
        return;
    case TrayAction::QuickLog:
        quickLog();
        return;
    case TrayAction::TogglePanel:
        if (isPanelVisible()) {
            closePanel();
        } else if (m_sinceDismissal.isValid() && m_sinceDismissal.elapsed() < dismissalClickWindowMs) {
            m_sinceDismissal.invalidate();
        } else {
            openPanel();
        }
        return;
    }
}

void StatusItemController::quickLog()
{
    const VorpEvent event = m_model.log(EventSource::menuBar);
    if (m_model.prefs().showHUD() && m_model.hud())
        m_model.hud()->show(event);
}

void StatusItemController::openDashboard(DashboardTab tab)
{
    m_model.setDashboardTab(tab);
    m_model.showDashboard();
}

QMenu *StatusItemController::buildMenu()
{
    auto *menu = new QMenu;
    menu->setObjectName(QStringLiteral("statusMenu"));
    if (const QString unsaved = m_model.unsavedSummary(); !unsaved.isEmpty()) {
        menu->addAction(unsaved)->setEnabled(false);
        menu->addSeparator();
    }
    menu->addAction(QStringLiteral("GRUMBLIX  (%1)").arg(m_model.shortcutKeyCaps().join(QLatin1Char('+'))), this,
                    &StatusItemController::quickLog);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Open Dashboard"), this,
                    [this] { openDashboard(DashboardTab::overview); });
    menu->addAction(QStringLiteral("Friday Report"), this, [this] { openDashboard(DashboardTab::report); });
    QAction *settings =
        menu->addAction(QStringLiteral("Settings…"), this, [this] { openDashboard(DashboardTab::settings); });
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QAction *updates = menu->addAction(QStringLiteral("Check for Updates…"), this, [this] {
        if (m_checkForUpdates)
            m_checkForUpdates();
    });
    updates->setEnabled(bool(m_checkForUpdates));
    menu->addSeparator();
    QAction *quit = menu->addAction(QStringLiteral("Quit Grumblix"), this, [this] {
        if (m_quit)
            m_quit();
        else
            QCoreApplication::quit();
    });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    return menu;
}

void StatusItemController::showMenu(std::optional<QPoint> at)
{
    closePanel();
    const QRect icon = m_tray->geometry();
    if (!at)
        at = icon.isValid() && !icon.isEmpty() ? icon.bottomLeft() + QPoint(0, 5) : QCursor::pos();
    m_menu->popup(*at);
}

void StatusItemController::openPanel()
{
    // Right after start (--panel) a tray may not have embedded the icon yet: wait a moment for its
    // place rather than open at the pointer, then fall back to the pointer.
    const QRect icon = m_tray->geometry();
    const bool placed = icon.isValid() && !icon.isEmpty() && icon.topLeft() != QPoint(0, 0);
    if (!placed && QSystemTrayIcon::isSystemTrayAvailable() && m_sinceShown.isValid() &&
        m_sinceShown.elapsed() < trayPlacementWaitMs) {
        if (!m_waitingForTray) {
            m_waitingForTray = true;
            QTimer::singleShot(trayPlacementPollMs, this, [this] {
                m_waitingForTray = false;
                openPanel();
            });
        }
        return;
    }
    if (m_panel)
        closePanel();
    QPointer<StatusItemController> self(this);
    QWidget *content = Views::panel(m_model, [self] {
        if (self)
            self->closePanel();
    });
    auto *panel = new FloatingPanel(content);
    connect(panel, &FloatingPanel::dismissRequested, this, [this] {
        m_sinceDismissal.start();
        closePanel();
    });

    const std::optional<QRect> anchor =
        icon.isValid() && !icon.isEmpty() ? std::optional(icon) : std::nullopt;
    const QPoint pointer = QCursor::pos();
    const QScreen *screen = QGuiApplication::screenAt(anchor ? anchor->center() : pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    panel->present(WindowPlacement::panelPosition(panel->size(), anchor, pointer, available));
    m_panel = panel;
}

void StatusItemController::closePanel()
{
    if (!m_panel)
        return;
    FloatingPanel *panel = m_panel;
    m_panel = nullptr;
    panel->disconnect(this);
    panel->dismiss();
}
