#include "ui/GlideBox.h"

#include <QEvent>

GlideBox::GlideBox(QWidget *content, QWidget *parent) : QWidget(parent), m_content(content)
{
    m_content->setParent(this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int GlideBox::contentHeight(int width) const
{
    const int h = m_content->hasHeightForWidth() ? m_content->heightForWidth(width) : -1;
    return qMax(h >= 0 ? h : m_content->sizeHint().height(), m_content->minimumHeight());
}

int GlideBox::heightForWidth(int width) const
{
    if (!m_gliding)
        return contentHeight(width);
    const int to = contentHeight(width) + m_lag;
    return qRound(m_from + (to - m_from) * m_progress);
}

QSize GlideBox::sizeHint() const
{
    const int w = m_content->sizeHint().width();
    return QSize(w, heightForWidth(w));
}

QSize GlideBox::minimumSizeHint() const
{
    const int w = m_content->minimumSizeHint().width();
    // Mid-glide the box may stand lower than its content needs; the layout around must let it.
    return QSize(w, m_gliding ? 0 : m_content->minimumSizeHint().height());
}

void GlideBox::hold()
{
    m_from = m_gliding ? heightForWidth(width()) : height();
    m_gliding = true;
    m_progress = 0;
    m_lag = 0;
    updateGeometry();
}

void GlideBox::glide(qreal progress, int lag)
{
    progress = qBound<qreal>(0, progress, 1);
    if (!m_gliding || (progress == m_progress && lag == m_lag))
        return;
    m_progress = progress;
    m_lag = lag;
    updateGeometry();
}

void GlideBox::release()
{
    if (!m_gliding)
        return;
    m_gliding = false;
    updateGeometry();
}

bool GlideBox::event(QEvent *event)
{
    // The content's layout asks again after a change inside it: its new height reaches the box's
    // own layout through this box.
    if (event->type() == QEvent::LayoutRequest) {
        placeContent();
        updateGeometry();
    }
    return QWidget::event(event);
}

void GlideBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeContent();
}

void GlideBox::placeContent()
{
    m_content->setGeometry(0, 0, width(), qMax(height(), contentHeight(width())));
}
