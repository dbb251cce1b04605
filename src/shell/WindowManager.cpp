#include "WindowManager.h"

#include "Views.h"
#include "WindowPlacement.h"
#include "app/AppModel.h"
#include "ui/WindowLook.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QSize minimumSize(960, 660);
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
        m_window->setMinimumSize(minimumSize);
        m_window->resize(initialSize);
        if (!m_window->restoreFrame()) {
            if (const QScreen *screen = QGuiApplication::primaryScreen())
                m_window->move(
                    WindowPlacement::centred(m_window->frameSize(), screen->availableGeometry()).topLeft());
        }
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
