#pragma once

#include <QAnimationDriver>
#include <QElapsedTimer>
#include <QObject>
#include <functional>

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
