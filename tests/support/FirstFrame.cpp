#include "FirstFrame.h"

#include <QEvent>
#include <QThread>
#include <QWidget>

namespace TestSupport {

SteppedClock::SteppedClock()
{
    m_clock.start();
    install();
}

SlowFirstFrame::SlowFirstFrame(QWidget *widget, std::function<qreal()> look, int ms)
    : m_read(std::move(look)), m_ms(ms)
{
    widget->installEventFilter(this);
}

bool SlowFirstFrame::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        m_look = m_read();
        QThread::msleep(m_ms);
    }
    return false;
}

} // namespace TestSupport
