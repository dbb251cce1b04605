#include "platform/Compositor.h"
#include "shell/FloatingPanel.h"
#include "support/DesktopTools.h"
#include "ui/BrutalCard.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

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

} // namespace

// The panel and toast windows without and with a compositing manager: never black corners.
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
};

QTEST_MAIN(CompositorTest)
#include "tst_compositor.moc"
