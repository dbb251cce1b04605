#include "platform/Compositor.h"
#include "shell/FloatingPanel.h"
#include "shell/HUDController.h"
#include "shell/OpaqueSurface.h"
#include "support/DesktopTools.h"
#include "ui/BrutalCard.h"
#include "ui/FadeEffect.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QProcess>
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
