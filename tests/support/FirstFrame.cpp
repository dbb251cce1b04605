#include "FirstFrame.h"

#include <QEvent>
#include <QThread>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <xcb/xcb.h>

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

namespace TestSupport {

ScreenWatch::ScreenWatch(QList<QPoint> points, int intervalMs)
    : m_points(std::move(points)), m_intervalMs(intervalMs), m_thread([this] { run(); })
{
}

ScreenWatch::~ScreenWatch()
{
    stop();
}

void ScreenWatch::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

QList<ScreenWatch::Sample> ScreenWatch::samples() const
{
    std::lock_guard lock(m_mutex);
    return m_samples;
}

void ScreenWatch::run()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    QElapsedTimer clock;
    clock.start();
    while (!m_stop) {
        const qint64 at = clock.elapsed();
        // All points asked for before any answer is read: one round trip a sample.
        QList<xcb_get_image_cookie_t> cookies;
        for (const QPoint &point : std::as_const(m_points))
            cookies << xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(point.x()),
                                     int16_t(point.y()), 1, 1, ~0u);
        Sample sample{at, {}};
        for (const xcb_get_image_cookie_t &cookie : std::as_const(cookies)) {
            xcb_get_image_reply_t *reply = xcb_get_image_reply(connection, cookie, nullptr);
            QRgb colour = 0;
            if (reply && xcb_get_image_data_length(reply) >= 4) {
                const uint8_t *bgrx = xcb_get_image_data(reply);
                colour = qRgb(bgrx[2], bgrx[1], bgrx[0]);
            }
            std::free(reply);
            sample.colours << colour;
        }
        {
            std::lock_guard lock(m_mutex);
            m_samples << sample;
        }
        std::this_thread::sleep_until(
            std::chrono::steady_clock::now() +
            std::chrono::milliseconds(qMax<qint64>(0, at + m_intervalMs - clock.elapsed())));
    }
    xcb_disconnect(connection);
}

} // namespace TestSupport
