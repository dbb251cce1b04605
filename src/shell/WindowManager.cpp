#include "WindowManager.h"

#include "Views.h"
#include "WindowPlacement.h"
#include "app/AppModel.h"
#include "ui/WindowLook.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>

namespace {
// The root's first size; the window adds its menu bar.
const QSize initialSize(1120, 780);
const QString frameKey = QStringLiteral("Dashboard/frame");
} // namespace

DashboardMainWindow::DashboardMainWindow(const QString &stateFile) : m_stateFile(stateFile)
{
    setObjectName(QStringLiteral("dashboard"));
    setWindowTitle(QStringLiteral("Grumblix"));
}

void DashboardMainWindow::saveFrame()
{
    if (m_stateFile.isEmpty())
        return;
    QSettings state(m_stateFile, QSettings::IniFormat);
    state.setValue(frameKey, saveGeometry());
}

bool DashboardMainWindow::restoreFrame()
{
    if (m_stateFile.isEmpty())
        return false;
    const QSettings state(m_stateFile, QSettings::IniFormat);
    const QByteArray frame = state.value(frameKey).toByteArray();
    return !frame.isEmpty() && restoreGeometry(frame);
}

void DashboardMainWindow::closeEvent(QCloseEvent *event)
{
    saveFrame();
    event->accept(); // the window only hides; the program keeps running in the tray
}

int DashboardMainWindow::menuBarHeight() const
{
    const QWidget *bar = menuWidget();
    return bar && !bar->isHidden() ? bar->sizeHint().height() : 0;
}

QMargins DashboardMainWindow::decoration() const
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    if (frame != client)
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    // Not framed yet: a title bar of the style's height is the best guess.
    return {0, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this), 0, 0};
}

void DashboardMainWindow::fitIntoScreen(bool keepPosition)
{
    if (isMaximized() || isFullScreen())
        return;
    QWidget *root = centralWidget();
    if (root && !m_rootMinimum.isValid())
        m_rootMinimum = root->minimumSize();
    const QScreen *screen = keepPosition ? QGuiApplication::screenAt(geometry().center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const int chrome = menuBarHeight();
    const QSize least = m_rootMinimum.isValid() ? m_rootMinimum + QSize(0, chrome) : minimumSize();
    if (!m_fitGuessed)
        m_wantedSize = size();
    const QScopedValueRollback fitting(m_fitting, true);
    const WindowPlacement::Fit fit = WindowPlacement::fitDashboard(
        m_wantedSize, keepPosition ? std::optional(geometry().topLeft()) : std::nullopt, least, decoration(),
        screen->availableGeometry());
    if (root)
        root->setMinimumSize(fit.minimum - QSize(0, chrome));
    // The window's own minimum follows the root's before the new geometry is checked against it.
    if (layout())
        layout()->activate();
    setGeometry(fit.geometry);
    m_fittedSize = fit.geometry.size();
    m_fitGuessed = frameGeometry() == geometry();
}

bool DashboardMainWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    // Once the window manager has framed the window, a fit made with a guessed title bar is made
    // again with the real one, so the frame's bottom is not left below the screen's edge.
    const QEvent::Type type = event->type();
    const bool framingNews = type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize ||
                             type == QEvent::WindowActivate;
    if (m_fitGuessed && !m_fitting && isVisible() && framingNews && frameGeometry() != geometry()) {
        // A size the user (or the window manager) has chosen since is left alone.
        if (size() == m_fittedSize)
            fitIntoScreen(true);
        else
            m_fitGuessed = false;
    }
    return handled;
}

WindowManager::WindowManager(AppModel &model, MainMenuActions actions, QObject *parent)
    : QObject(parent), m_model(model), m_actions(std::move(actions)), m_stateFile(defaultStateFile())
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_window && m_window->isVisible())
            m_window->saveFrame();
    });
}

WindowManager::~WindowManager()
{
    delete m_window;
}

QString WindowManager::defaultStateFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Grumblix/WindowState.conf");
}

void WindowManager::showDashboard()
{
    if (!m_window) {
        m_window = new DashboardMainWindow(m_stateFile);
        m_window->setCentralWidget(Views::dashboard(m_model, m_pageServices));
        MainMenu::install(m_window->menuBar(), m_window, m_actions);
        WindowLook::follow(m_window, m_appearance);
        // No minimum of the window's own: its layout takes the root's minimum and adds the menu bar.
        m_window->resize(initialSize + QSize(0, m_window->menuWidget()->sizeHint().height()));
        m_window->fitIntoScreen(m_window->restoreFrame());
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
