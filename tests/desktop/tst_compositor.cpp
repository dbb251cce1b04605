#include "platform/Compositor.h"
#include "shell/FloatingPanel.h"
#include "support/DesktopTools.h"
#include "ui/BrutalCard.h"
#include "ui/FadeEffect.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using DesktopTools::waitFor;

namespace {

// Content shaped like the panel's: a card inside soft outer margins.
QWidget *cardWithMargins()
{
    auto *content = new QWidget;
    auto *outer = new QVBoxLayout(content);
    outer->setContentsMargins(8, 6, 8, 8);
    auto *card = new BrutalCard(16, Theme::card, 16, 4);
    card->setFixedSize(200, 120);
    outer->addWidget(card);
    return content;
}

// The window's corner pixel as the screen shows it.
QColor cornerOnScreen(QWidget *window)
{
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    return shot.pixelColor(window->geometry().topLeft() + QPoint(1, 1));
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

// The panel and toast windows without and with a compositing manager: never black corners, and a
// fade that the compositor can follow.
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
        {
            FloatingPanel panel(cardWithMargins());
            QVERIFY(!panel.isTranslucent());
            QVERIFY(!panel.testAttribute(Qt::WA_TranslucentBackground));
            panel.present(QPoint(100, 100));
            QVERIFY(QTest::qWaitForWindowExposed(&panel));
            // The content's margins are gone and the corner shows the card colour, not black.
            QCOMPARE(panel.layout()->itemAt(0)->widget()->layout()->contentsMargins(), QMargins());
            QTRY_COMPARE(cornerOnScreen(&panel).name(), Theme::card.resolve(ColorScheme::Light).name());
        }

        QProcess *compositor = DesktopTools::startDetachedChild(QStringLiteral("xcompmgr"), {}, this);
        QVERIFY(waitFor([] { return Compositor::isRunning(); }));
        {
            FloatingPanel panel(cardWithMargins());
            QVERIFY(panel.isTranslucent());
            QVERIFY(panel.testAttribute(Qt::WA_TranslucentBackground));
            QCOMPARE(panel.layout()->itemAt(0)->widget()->layout()->contentsMargins(), QMargins(8, 6, 8, 8));
        }

        // Stopping it is followed too.
        compositor->kill();
        compositor->waitForFinished();
        QVERIFY(waitFor([] { return !Compositor::isRunning(); }));
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
