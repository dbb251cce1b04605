#include "FloatingPanel.h"

#include "shell/OpaqueSurface.h"
#include "ui/EStopButton.h"
#include "ui/FadeEffect.h"
#include "ui/HoverButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

FloatingPanel::FloatingPanel(QWidget *content, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("floatingPanel"));
    setWindowTitle(QStringLiteral("Grumblix"));
    // The panel's card draws its own rounded shape and shadow slab where a compositor shows them.
    m_surface = new OpaqueSurface(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    m_surface->setContent(content);
    setFixedSize(content->sizeHint().expandedTo(content->minimumSize()));
    // Every move over the panel reaches the filter below, even where no child tracks the mouse.
    setMouseTracking(true);
    qApp->installEventFilter(this);
    m_fade = new WindowFade(this);
}

FloatingPanel::~FloatingPanel()
{
    qApp->removeEventFilter(this);
}

void FloatingPanel::present(const QPoint &position)
{
    move(position);
    setWindowOpacity(0.0);
    show();
    raise();
    activateWindow();
    m_fade->fadeIn(120);
}

void FloatingPanel::dismiss()
{
    if (m_dismissing)
        return;
    m_dismissing = true;
    qApp->removeEventFilter(this);
    const auto gone = [this] {
        hide();
        deleteLater();
    };
    // Not on screen yet: nothing to fade.
    if (m_fade->isWaitingForFrame()) {
        m_fade->stop();
        gone();
        return;
    }
    m_fade->fadeOut(100, gone);
}

bool FloatingPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (m_dismissing || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        // Escape closes the panel and never reaches its content.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && widget->window() == this) {
            Q_EMIT dismissRequested();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (widget->window() != this)
            Q_EMIT dismissRequested();
        break;
    case QEvent::MouseMove:
        if (widget->window() == this)
            followPointer(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        break;
    default:
        break;
    }
    return false;
}

void FloatingPanel::followPointer(const QPoint &globalPos)
{
    // A panel mapped under a still pointer may get no enter event (and so its buttons no enter or
    // leave) until the pointer leaves and comes back; the buttons take their hover from each move.
    QWidget *under = childAt(mapFromGlobal(globalPos));
    auto over = [under](QWidget *button) {
        return under && (under == button || button->isAncestorOf(under));
    };
    for (HoverButton *button : findChildren<HoverButton *>())
        button->setPointerOver(over(button));
    for (EStopButton *button : findChildren<EStopButton *>())
        button->setPointerOver(over(button));
}

void FloatingPanel::paintEvent(QPaintEvent *)
{
    m_surface->paint();
}

bool FloatingPanel::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        m_wasActive = true;
    // Losing the keyboard to any other window, ours or another program's, closes the panel.
    if (event->type() == QEvent::WindowDeactivate && m_wasActive && !m_dismissing)
        Q_EMIT dismissRequested();
    return QWidget::event(event);
}

bool FloatingPanel::isTranslucent() const
{
    return m_surface->isTranslucent();
}
