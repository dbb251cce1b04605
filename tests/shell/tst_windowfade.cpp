#include "shell/HUDController.h"
#include "shell/StatusItemController.h"
#include "support/FirstFrame.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/FadeEffect.h"

#include <QTest>

using TestSupport::ShellFixture;
using TestSupport::SlowFirstFrame;
using TestSupport::SteppedClock;

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
        SlowFirstFrame frame(shown, [shown] { return shown->windowOpacity(); });
        // Whatever the change queued runs before its first frame is painted: a clock started with
        // the change (it takes a few queued hops) is running by then.
        for (int hop = 0; hop < 4; ++hop)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);

        QVERIFY(QTest::qWaitFor([&] { return frame.isPainted(); }));
        QCOMPARE(frame.lookAtFirstFrame(), 0.0);
        // The slow frame is out and the whole fade is still to come.
        clock->step();
        QVERIFY2(shown->windowOpacity() < 0.5, qPrintable(QString::number(shown->windowOpacity())));
        for (int i = 0; i < 100 && fade->isActive(); ++i) {
            QTest::qWait(10);
            clock->step();
        }
        QCOMPARE(shown->windowOpacity(), 1.0);
    }
};

QTEST_MAIN(TestWindowFade)
#include "tst_windowfade.moc"
