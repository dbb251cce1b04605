#include "shell/HUDController.h"
#include "shell/StatusItemController.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/FadeEffect.h"

#include <QAnimationDriver>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

using TestSupport::ShellFixture;

namespace {

// Animations keep real time but take a step only when the test asks, so what a step finds does
// not hang on when the event loop happens to run the animation timer.
class SteppedClock : public QAnimationDriver
{
public:
    SteppedClock() { m_clock.start(); }
    qint64 elapsed() const override { return m_clock.elapsed(); }
    void step() { advance(); }

private:
    QElapsedTimer m_clock;
};

// The window's first frame as a loaded machine may draw it: as slow as the whole fade. Notes what
// the window looked like when that frame began.
class SlowFirstFrame : public QObject
{
public:
    SlowFirstFrame(QWidget *window, WindowFade *fade) : m_fade(fade) { window->installEventFilter(this); }

    bool painted = false;
    qreal opacityAtFirstFrame = -1;
    bool fadeWaitedForIt = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            opacityAtFirstFrame = static_cast<QWidget *>(watched)->windowOpacity();
            fadeWaitedForIt = m_fade->isWaitingForFrame();
            QThread::msleep(250);
        }
        return false;
    }

private:
    WindowFade *m_fade;
};

} // namespace

// The tray panel and the toast fade in from their first frame on screen: a fade whose clock ran
// while that frame was built would be over before anything was seen.
class TestWindowFade : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> f;
    std::unique_ptr<SteppedClock> clock;

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void init()
    {
        f = std::make_unique<ShellFixture>();
        clock = std::make_unique<SteppedClock>();
        clock->install();
    }
    void cleanup()
    {
        f.reset();
        clock.reset();
    }

    void fadeInStartsAtTheFirstFrame_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("panel") << QStringLiteral("panel");
        QTest::newRow("toast") << QStringLiteral("toast");
    }

    void fadeInStartsAtTheFirstFrame()
    {
        QFETCH(QString, window);
        QWidget *shown = nullptr;
        WindowFade *fade = nullptr;
        if (window == QLatin1String("panel")) {
            f->statusItem()->openPanel();
            shown = f->statusItem()->panel();
            fade = f->statusItem()->panel()->fade();
        } else {
            f->hud()->show(f->model->log(EventSource::shortcut));
            shown = f->hud()->window();
            fade = f->hud()->window()->fade();
        }
        QVERIFY(shown && shown->isVisible());
        QCOMPARE(shown->windowOpacity(), 0.0);
        SlowFirstFrame frame(shown, fade);
        // What the show posted runs before the window system's expose arrives, as it may on X11: a
        // clock started by the show is running by then.
        QCoreApplication::sendPostedEvents();

        QVERIFY(QTest::qWaitFor([&] { return frame.painted; }));
        QCOMPARE(frame.opacityAtFirstFrame, 0.0);
        // The slow frame is out and the whole fade is still to come.
        clock->step();
        QVERIFY2(shown->windowOpacity() < 0.5, qPrintable(QString::number(shown->windowOpacity())));
        QVERIFY(frame.fadeWaitedForIt);
        for (int i = 0; i < 100 && fade->isActive(); ++i) {
            QTest::qWait(10);
            clock->step();
        }
        QCOMPARE(shown->windowOpacity(), 1.0);
    }
};

QTEST_MAIN(TestWindowFade)
#include "tst_windowfade.moc"
