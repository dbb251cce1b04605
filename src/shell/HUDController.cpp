#include "HUDController.h"

#include "Views.h"
#include "WindowPlacement.h"
#include "app/AppModel.h"
#include "platform/Compositor.h"
#include "shell/OpaqueSurface.h"
#include "ui/FadeEffect.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <optional>
#include <utility>

ToastWindow::ToastWindow()
    : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("toast"));
    setWindowTitle(QStringLiteral("Grumblix"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The toast's card draws its own rounded shape and shadow slab where a compositor shows them.
    m_surface = new OpaqueSurface(this);
    m_fade = new WindowFade(this);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    // Follows its content when filing swaps the picker for the chip or a banner arrives.
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ToastWindow::setContent(QWidget *content)
{
    // The old content leaves the window at once: its deletion waits for the event loop, and until
    // then it would still be laid out, painted and refreshed by every store change.
    if (m_content) {
        m_content->hide();
        m_layout->removeWidget(m_content);
        m_content->deleteLater();
    }
    m_content = content;
    m_layout->addWidget(content);
    m_surface->setContent(content);
    setFixedSize(content->sizeHint().expandedTo(content->minimumSize()));
}

void ToastWindow::enterEvent(QEnterEvent *event)
{
    Q_EMIT hovered(true);
    QWidget::enterEvent(event);
}

void ToastWindow::leaveEvent(QEvent *event)
{
    Q_EMIT hovered(false);
    QWidget::leaveEvent(event);
}

bool ToastWindow::isTranslucent() const
{
    return m_surface->isTranslucent();
}

void ToastWindow::paintEvent(QPaintEvent *)
{
    m_surface->paint();
}

HUDController::HUDController(AppModel &model, QObject *parent) : QObject(parent), m_model(model)
{
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &HUDController::hide);
}

HUDController::~HUDController()
{
    delete m_window;
}

void HUDController::show(const VorpEvent &event)
{
    QPointer<HUDController> self(this);
    QWidget *content = Views::toast(
        m_model, event,
        [self] {
            if (self)
                self->chosen();
        },
        [self](bool inside) {
            if (self)
                self->hover(inside);
        });
    // A compositor started or stopped since the last toast: the window is made again to match.
    if (m_window && m_window->isTranslucent() != Compositor::isRunning())
        delete std::exchange(m_window, nullptr);
    if (!m_window) {
        m_window = new ToastWindow;
        connect(m_window, &ToastWindow::hovered, this, &HUDController::hover);
    }
    m_window->setContent(content);

    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    std::optional<QPoint> at;
    if (screen) {
        at = WindowPlacement::toastPosition(m_window->size(), screen->availableGeometry());
        m_window->move(*at);
    }

    // A toast still up (or fading out) keeps its opacity and fades back in from there.
    m_window->fade()->stop();
    if (!m_window->isVisible())
        m_window->setWindowOpacity(0.0);
    m_window->show();
    // A window manager may place a window it maps for the first time as it likes; once mapped,
    // the toast is put where it belongs.
    if (at)
        QTimer::singleShot(0, m_window, [window = QPointer<ToastWindow>(m_window), at = *at] {
            if (window && window->pos() != at)
                window->move(at);
        });
    m_window->raise();
    m_window->fade()->fadeIn(120);
    m_leaveAfterPickIgnored = false;
    scheduleHide(4000);
}

void HUDController::scheduleHide(int ms)
{
    m_hideTimer.start(ms);
}

void HUDController::chosen()
{
    m_leaveAfterPickIgnored = true;
    scheduleHide(900);
}

void HUDController::hover(bool inside)
{
    if (inside) {
        m_leaveAfterPickIgnored = false;
        m_hideTimer.stop();
    } else if (!m_leaveAfterPickIgnored) {
        scheduleHide(1600);
    }
}

void HUDController::hide()
{
    if (!m_window)
        return;
    // Not on screen yet: nothing to fade.
    if (m_window->fade()->isWaitingForFrame()) {
        m_window->fade()->stop();
        m_window->hide();
        return;
    }
    m_window->fade()->fadeOut(200, [window = m_window] {
        if (window->windowOpacity() <= 0.0)
            window->hide();
    });
}
