#include "app/AppModel.h"
#include "platform/Compositor.h"
#include "shell/FloatingPanel.h"
#include "shell/HUDController.h"
#include "shell/OpaqueSurface.h"
#include "shell/StatusItemController.h"
#include "support/DesktopTools.h"
#include "support/FirstFrame.h"
#include "support/ShellFixture.h"
#include "support/TestSupport.h"
#include "ui/BrutalCard.h"
#include "ui/FadeEffect.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using DesktopTools::waitFor;

namespace {

constexpr int cardWidth = 200;
constexpr int cardHeight = 120;
constexpr int cardRadius = 16;
constexpr int cardLift = 4;

// Content shaped like the panel's: a card inside soft outer margins.
QWidget *cardWithMargins()
{
    auto *content = new QWidget;
    auto *outer = new QVBoxLayout(content);
    outer->setContentsMargins(8, 6, 8, 8);
    auto *card = new BrutalCard(16, Theme::card, cardRadius, cardLift);
    card->setObjectName(QStringLiteral("card"));
    card->setFixedSize(cardWidth, cardHeight);
    outer->addWidget(card);
    return content;
}

// A plain window of one colour, for what lies behind the panel.
class Backdrop : public QWidget
{
public:
    static constexpr QRgb colour = 0xff20c040;
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) { setGeometry(40, 40, 400, 300); }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(colour)); }
};

// What the screen shows at a point of the window.
QColor onScreen(QWidget *window, QPoint at)
{
    const QPoint global = window->mapToGlobal(at);
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, global.x(), global.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

// The points of a card at (0, 0) of the given size that its rounded outline, slab included, leaves
// out and takes in.
struct Probe
{
    QPoint at;
    bool inside;
};
QList<Probe> probes(QPoint card)
{
    const int w = cardWidth, h = cardHeight, r = cardRadius, lift = cardLift;
    return {
        {card + QPoint(0, 0), false},         // top left, outside the card's round
        {card + QPoint(w - 1, 0), false},     // top right: the card ends, the slab starts lower
        {card + QPoint(0, h - 1), false},     // bottom left: likewise
        {card + QPoint(w - 1, h - 1), false}, // the slab's own rounded corner
        {card + QPoint(r / 4, r / 4), false}, // well inside the round
        {card + QPoint(w / 2, h / 2), true},  // the middle
        {card + QPoint(w / 2, 0), true},      // top edge
        {card + QPoint(0, h / 2), true},      // left edge
        {card + QPoint(w - 2, h / 2), true},  // the slab to the right
        {card + QPoint(w / 2, h - 2), true},  // the slab below
        {card + QPoint(r, r), true},          // inside the round
        {card + QPoint(w - lift - r, h - lift - r), true},
    };
}

void verifyShapedToTheCard(FloatingPanel &panel, QPoint card)
{
    QVERIFY(panel.surface()->isShaped());
    const QRegion mask = panel.mask();
    for (const Probe &probe : probes(card))
        QVERIFY2(mask.contains(probe.at) == probe.inside,
                 qPrintable(QStringLiteral("(%1, %2) %3 the shape")
                                .arg(probe.at.x())
                                .arg(probe.at.y())
                                .arg(probe.inside ? QStringLiteral("inside") : QStringLiteral("outside"))));
}

// A window's opacity as the X server holds it, read on a connection of our own, so that reading
// it does not send what Qt still holds back on its own connection.
class ServerView
{
public:
    ServerView() : m_connection(xcb_connect(nullptr, nullptr))
    {
        static const char name[] = "_NET_WM_WINDOW_OPACITY";
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
        if (reply) {
            m_opacity = reply->atom;
            std::free(reply);
        }
    }
    ~ServerView() { xcb_disconnect(m_connection); }

    // 0 … 0xffffffff, or -1 while the window has none.
    qint64 opacity(WId window) const
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, xcb_window_t(window), m_opacity, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        qint64 value = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            value = *static_cast<const quint32 *>(xcb_get_property_value(reply));
        std::free(reply);
        return value;
    }

private:
    xcb_connection_t *m_connection;
    xcb_atom_t m_opacity = XCB_ATOM_NONE;
};

// A frameless window of one colour over the whole screen, for what lies behind the windows.
class ScreenBackdrop : public QWidget
{
public:
    static constexpr QRgb colour = 0xff3070b0;
    ScreenBackdrop() : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        setGeometry(QGuiApplication::primaryScreen()->geometry());
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(colour)); }
};

int channelGap(QRgb a, QRgb b)
{
    return qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))), qAbs(qBlue(a) - qBlue(b)));
}

// What the screen showed at one point of a window that faded in over `behind`, read as how far the
// window had come: each frame must lie between what was behind and the window's last look, and
// never step back. A block of another colour, or the window shown and then gone again before its
// fade, fails.
void verifyFadesIn(const QList<TestSupport::ScreenWatch::Sample> &samples, int point, const QString &what)
{
    const QRgb behind = samples.first().colours.at(point);
    const QRgb shown = samples.last().colours.at(point);
    const double dr = qRed(shown) - qRed(behind), dg = qGreen(shown) - qGreen(behind),
                 db = qBlue(shown) - qBlue(behind);
    const double span = dr * dr + dg * dg + db * db;
    QVERIFY2(span > 60 * 60, qPrintable(what + QStringLiteral(": the point never showed the window")));
    // The whole sequence goes with a failure: which frames came before and after the wrong one.
    QStringList seenAll;
    for (const TestSupport::ScreenWatch::Sample &sample : samples)
        seenAll << QStringLiteral("%1:%2").arg(sample.ms).arg(QColor(sample.colours.at(point)).name());
    const QString sequence = QStringLiteral("; seen ") + seenAll.join(QLatin1Char(' '));
    double reached = 0;
    for (const TestSupport::ScreenWatch::Sample &sample : samples) {
        const QRgb seen = sample.colours.at(point);
        const double come = ((qRed(seen) - qRed(behind)) * dr + (qGreen(seen) - qGreen(behind)) * dg +
                             (qBlue(seen) - qBlue(behind)) * db) /
                            span;
        const QRgb onTheWay = qRgb(qRound(qRed(behind) + come * dr), qRound(qGreen(behind) + come * dg),
                                   qRound(qBlue(behind) + come * db));
        const QString frame = QStringLiteral("%1 at %2 ms: %3 (from %4 to %5)")
                                  .arg(what)
                                  .arg(sample.ms)
                                  .arg(QColor(seen).name(), QColor(behind).name(), QColor(shown).name());
        QVERIFY2(channelGap(seen, onTheWay) <= 12,
                 qPrintable(frame + QStringLiteral(", off the fade") + sequence));
        QVERIFY2(come >= reached - 0.08,
                 qPrintable(frame + QStringLiteral(", back from %1").arg(reached) + sequence));
        reached = qMax(reached, come);
    }
}

} // namespace

// The panel and toast windows without and with a compositing manager: never black corners, never
// square ones, and a fade that the compositor can follow.
class CompositorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("xcompmgr")), "xcompmgr is missing");
    }

    void opaqueWithoutAndTranslucentWithCompositor()
    {
        Theme::ScopedScheme light(ColorScheme::Light);
        QVERIFY(!Compositor::isRunning());
        Compositor::Watch watch;
        QSignalSpy changes(&watch, &Compositor::Watch::runningChanged);
        Backdrop backdrop;
        backdrop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&backdrop));

        auto opaque = std::make_unique<FloatingPanel>(cardWithMargins());
        QVERIFY(!opaque->isTranslucent());
        QVERIFY(!opaque->testAttribute(Qt::WA_TranslucentBackground));
        opaque->present(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(opaque.get()));
        // The content's margins are gone; the window takes the card's rounded outline, so its corner
        // shows what lies behind, in neither black nor the card's colour, and the card its colour.
        QCOMPARE(opaque->layout()->itemAt(0)->widget()->layout()->contentsMargins(), QMargins());
        verifyShapedToTheCard(*opaque, QPoint(0, 0));
        if (QTest::currentTestFailed())
            return;
        QTRY_COMPARE(onScreen(opaque.get(), QPoint(0, 0)).rgb(), Backdrop::colour);
        QCOMPARE(onScreen(opaque.get(), QPoint(cardWidth / 2, 12)).name(),
                 Theme::card.resolve(ColorScheme::Light).name());

        // The toast's window follows its content (a pick swaps the grid for a chip, a banner
        // comes and goes), and its shape follows the card.
        {
            ToastWindow toast;
            toast.setContent(cardWithMargins());
            toast.move(500, 100);
            toast.show();
            QVERIFY(QTest::qWaitForWindowExposed(&toast));
            QVERIFY(toast.surface()->isShaped());
            QVERIFY(!toast.mask().contains(QPoint(0, cardHeight - 1)));
            auto *card = toast.findChild<BrutalCard *>(QStringLiteral("card"));
            card->setFixedHeight(cardHeight + 40);
            QTRY_COMPARE(toast.height(), cardHeight + 40);
            QVERIFY(toast.mask().contains(QPoint(cardWidth / 2, cardHeight + 30)));
            QVERIFY(!toast.mask().contains(QPoint(0, cardHeight + 39)));
            card->setFixedHeight(cardHeight - 40);
            QTRY_COMPARE(toast.height(), cardHeight - 40);
            QVERIFY(!toast.mask().contains(QPoint(cardWidth / 2, cardHeight - 30)));
            QVERIFY(toast.mask().contains(QPoint(cardWidth / 2, cardHeight - 50)));
        }

        QProcess *compositor = DesktopTools::startDetachedChild(QStringLiteral("xcompmgr"), {}, this);
        QVERIFY(waitFor([] { return Compositor::isRunning(); }));
        QVERIFY(waitFor([&] { return watch.isRunning(); }));
        QCOMPARE(changes.count(), 1);
        // A window made opaque stays so, and keeps its shape: cleared, its square corners would show.
        QTest::qWait(100); // the panel's own watch has seen the change too
        QVERIFY(!opaque->isTranslucent());
        verifyShapedToTheCard(*opaque, QPoint(0, 0));
        if (QTest::currentTestFailed())
            return;
        opaque.reset();

        auto translucent = std::make_unique<FloatingPanel>(cardWithMargins());
        QVERIFY(translucent->isTranslucent());
        QVERIFY(translucent->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(translucent->layout()->itemAt(0)->widget()->layout()->contentsMargins(),
                 QMargins(8, 6, 8, 8));
        translucent->present(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(translucent.get()));
        QVERIFY(!translucent->surface()->isShaped());
        QVERIFY(translucent->mask().isEmpty());

        // Stopping it is followed too: the translucent window is cut to its card, whose margins
        // would otherwise show black, and painted as the opaque one is.
        compositor->kill();
        compositor->waitForFinished();
        QVERIFY(waitFor([] { return !Compositor::isRunning(); }));
        QVERIFY(waitFor([&] { return !watch.isRunning(); }));
        QCOMPARE(changes.count(), 2);
        QVERIFY(waitFor([&] { return translucent->surface()->isShaped(); }));
        verifyShapedToTheCard(*translucent, QPoint(8, 6));
        if (QTest::currentTestFailed())
            return;
        QTRY_COMPARE(onScreen(translucent.get(), QPoint(1, 1)).rgb(), Backdrop::colour);
        QTRY_COMPARE(onScreen(translucent.get(), QPoint(8, 6)).rgb(), Backdrop::colour);
        QCOMPARE(onScreen(translucent.get(), QPoint(8 + cardWidth / 2, 6 + 12)).name(),
                 Theme::card.resolve(ColorScheme::Light).name());
    }

    void firstFrameOnScreenIsTheFadesFirstStep_data()
    {
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("composited");
        QTest::addColumn<int>("scheme");
        for (const bool panel : {true, false})
            for (const bool composited : {true, false})
                for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark})
                    QTest::addRow("%s, %s, %s", panel ? "panel" : "toast",
                                  composited ? "composited" : "opaque",
                                  scheme == ColorScheme::Light ? "light" : "dark")
                        << panel << composited << int(scheme);
    }

    void firstFrameOnScreenIsTheFadesFirstStep()
    {
        // Every opening, from the first frame on: nothing where the window's soft margin is, and
        // its card only ever on its way in. Each start is a fresh shell over an empty store, so
        // each first toast is a new window whose first log unlocks an achievement.
        QFETCH(bool, panel);
        QFETCH(bool, composited);
        QFETCH(int, scheme);
        TestSupport::isolateFolders();
        ScreenBackdrop backdrop;
        backdrop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&backdrop));
        QProcess *compositor = nullptr;
        if (composited) {
            compositor = DesktopTools::startDetachedChild(QStringLiteral("xcompmgr"), {}, this);
            QVERIFY(waitFor([] { return Compositor::isRunning(); }));
        }
        const auto stopCompositor = qScopeGuard([&] {
            if (compositor) {
                compositor->kill();
                compositor->waitForFinished();
                delete compositor;
                waitFor([] { return !Compositor::isRunning(); });
            }
        });
        QTest::qWait(200); // the compositor's first picture of the screen is out

        for (int start = 0; start < 3; ++start) {
            TestSupport::ShellFixture shell;
            Theme::ScopedScheme look{ColorScheme(scheme)};
            for (int opening = 0; opening < (panel ? 3 : 2); ++opening) {
                QWidget *window = nullptr;
                OpaqueSurface *surface = nullptr;
                WindowFade *fade = nullptr;
                if (panel) {
                    shell.statusItem()->openPanel();
                    FloatingPanel *opened = shell.statusItem()->panel();
                    QVERIFY(opened);
                    window = opened;
                    surface = opened->surface();
                    fade = opened->fade();
                } else {
                    shell.hud()->show(shell.model->log(EventSource::shortcut));
                    ToastWindow *toast = shell.hud()->window();
                    window = toast;
                    surface = toast->surface();
                    fade = toast->fade();
                }
                QCOMPARE(surface->isTranslucent(), composited);
                // The map has not gone out yet: the watch's first samples show what lies behind.
                const QRect card = surface->outline().boundingRect();
                QList<QPoint> points{window->mapToGlobal(QPoint(1, 1))};
                for (int k = 1; k <= 4; ++k)
                    points << window->mapToGlobal(QPoint(card.x() + card.width() * k / 5, card.y() + 3));
                TestSupport::ScreenWatch watch(points);
                // Without handling events, which would send the map.
                QDeadlineTimer sampled(1000);
                while (watch.samples().size() < 2 && !sampled.hasExpired())
                    QThread::msleep(2);
                QVERIFY(watch.samples().size() >= 2);
                Compositor::flush();
                QVERIFY(waitFor([&] { return !fade->isActive(); }, 3000));
                // A loaded compositor may show the last step late: the screen is read until it
                // has stood still for a while.
                waitFor(
                    [&] {
                        const QList<TestSupport::ScreenWatch::Sample> seen = watch.samples();
                        if (seen.size() < 2 || seen.last().ms - seen.first().ms < 150)
                            return false;
                        for (auto it = seen.rbegin(); it != seen.rend() && seen.last().ms - it->ms < 150;
                             ++it)
                            if (it->colours != seen.last().colours)
                                return false;
                        return true;
                    },
                    2000);
                watch.stop();
                const QList<TestSupport::ScreenWatch::Sample> samples = watch.samples();
                const QString what = QStringLiteral("start %1, opening %2").arg(start).arg(opening);
                for (const TestSupport::ScreenWatch::Sample &sample : samples)
                    QVERIFY2(channelGap(sample.colours.first(), ScreenBackdrop::colour) <= 8,
                             qPrintable(QStringLiteral("%1 at %2 ms: %3 over the margin")
                                            .arg(what)
                                            .arg(sample.ms)
                                            .arg(QColor(sample.colours.first()).name())));
                // The card's brightest change from what lay behind is the point to read.
                int point = 1;
                for (int i = 2; i < points.size(); ++i)
                    if (channelGap(samples.last().colours.at(i), ScreenBackdrop::colour) >
                        channelGap(samples.last().colours.at(point), ScreenBackdrop::colour))
                        point = i;
                verifyFadesIn(samples, point, what);
                if (QTest::currentTestFailed())
                    return;

                if (panel) {
                    QPointer<FloatingPanel> closing = shell.statusItem()->panel();
                    shell.statusItem()->closePanel();
                    QVERIFY(waitFor([&] { return !closing; }));
                } else {
                    shell.hud()->scheduleHide(0);
                    QVERIFY(waitFor([&] { return !window->isVisible(); }));
                }
                QTest::qWait(100);
            }
        }
    }

    void fadeReachesTheServerStepByStep_data()
    {
        QTest::addColumn<bool>("in");
        QTest::newRow("in") << true;
        QTest::newRow("out") << false;
    }

    void fadeReachesTheServerStepByStep()
    {
        // The opacity is a property that Qt sends only when its connection is emptied; a fade that
        // left it there would reach the compositor in one jump at its end.
        QFETCH(bool, in);
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setGeometry(60, 60, 120, 80);
        window.setWindowOpacity(in ? 0.0 : 1.0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const ServerView server;
        WindowFade fade(&window);
        bool done = false;
        if (in)
            fade.fadeIn(600);
        else
            fade.fadeOut(600, [&] { done = true; });

        QList<qint64> seen;
        QVERIFY(waitFor(
            [&] {
                const qint64 value = server.opacity(window.winId());
                if (seen.isEmpty() || seen.last() != value)
                    seen << value;
                return !fade.isActive();
            },
            5000));
        QCOMPARE(done, !in);
        int between = 0;
        for (qint64 value : std::as_const(seen))
            between += value > 0 && value < 0xffffffffLL;
        QVERIFY2(between >= 3, qPrintable(QStringLiteral("%1 steps on the way").arg(between)));
    }
};

QTEST_MAIN(CompositorTest)
#include "tst_compositor.moc"
