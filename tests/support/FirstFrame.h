#pragma once

#include <QAnimationDriver>
#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPoint>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class QWidget;

namespace TestSupport {

// Animations keep real time but take a step only when the test asks, so what a step finds does not
// hang on when the event loop happens to run the animation timer. Installed while it lives.
class SteppedClock : public QAnimationDriver
{
public:
    SteppedClock();
    qint64 elapsed() const override { return m_clock.elapsed(); }
    void step() { advance(); }

private:
    QElapsedTimer m_clock;
};

// A widget's first frame as a loaded machine may draw it: as slow as a whole fade. `look` reads how
// far the fade has gone (0 to 1); the frame notes it as it begins.
class SlowFirstFrame : public QObject
{
public:
    SlowFirstFrame(QWidget *widget, std::function<qreal()> look, int ms = 250);

    bool isPainted() const { return m_painted; }
    qreal lookAtFirstFrame() const { return m_look; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<qreal()> m_read;
    int m_ms;
    bool m_painted = false;
    qreal m_look = -1;
};

} // namespace TestSupport

namespace TestSupport {

// What the screen shows at a few points while a window maps and fades, sampled every `intervalMs`
// from a thread and an X connection of its own: what a compositor put on screen, whatever the
// test's own event loop is doing. Samples from construction until stop().
class ScreenWatch
{
public:
    struct Sample
    {
        qint64 ms;
        QList<QRgb> colours; // one for each point, in order
    };

    explicit ScreenWatch(QList<QPoint> points, int intervalMs = 4);
    ~ScreenWatch();
    void stop();
    // Copies of what has been sampled so far.
    QList<Sample> samples() const;

private:
    void run();

    QList<QPoint> m_points;
    int m_intervalMs;
    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    QList<Sample> m_samples;
    std::thread m_thread;
};

} // namespace TestSupport
