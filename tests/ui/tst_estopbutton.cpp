#include "models/Prefs.h"
#include "support/TestSupport.h"
#include "ui/EStopButton.h"
#include "ui/EffectsLayer.h"
#include "ui/SpringAnimator.h"

#include <QPainter>
#include <QVBoxLayout>
#include <QtTest>

// The button's input, press sequence and animations, on a fake clock.
class TestEStopButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void clickInsideTheEllipsePresses_data();
    void clickInsideTheEllipsePresses();
    void actionRunsBeforeRingAndShake();
    void ringsLiveEightTenthsOfASecond();
    void shakeComesBackToRest();
    void pressSpringsDownAndBouncesBack();
    void hoverOnlyChangesGlowAndBrightness();
    void shortcutPressesLikeAClick();
    void drawsTheSkinItIsGiven();
    void ringsDrawOnTheEffectsLayerBeyondTheButton();
    void groundShadowFallsPastTheBoxOnce();

private:
    std::unique_ptr<QWidget> m_window;
    EStopButton *m_button = nullptr;
    qint64 m_now = 0;
    QStringList m_journal;
};

void TestEStopButton::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestEStopButton::init()
{
    m_now = 1000;
    m_journal.clear();
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(60, 60, 60, 60);
    m_button = new EStopButton(200, ButtonSkin::classic, [this] {
        m_journal << QStringLiteral("action waves=%1 shake=%2")
                         .arg(m_button->waveCount())
                         .arg(m_button->shakeTarget());
    });
    m_button->setClock([this] { return m_now; });
    layout->addWidget(m_button);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestEStopButton::cleanup()
{
    m_window.reset();
}

void TestEStopButton::clickInsideTheEllipsePresses_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("presses");
    QTest::newRow("cap") << QPoint(100, 50) << true;
    QTest::newRow("base, left edge") << QPoint(3, 78) << true;
    QTest::newRow("top-left corner") << QPoint(4, 4) << false;
    QTest::newRow("top-right corner") << QPoint(196, 4) << false;
    QTest::newRow("bottom-left corner") << QPoint(4, 152) << false;
    QTest::newRow("just above the squashed top") << QPoint(100, 5) << false;
}

void TestEStopButton::clickInsideTheEllipsePresses()
{
    QFETCH(QPoint, pos);
    QFETCH(bool, presses);
    QCOMPARE(m_button->size(), QSize(200, 156));
    QTest::mouseClick(m_button, Qt::LeftButton, {}, pos);
    QCOMPARE(m_journal.size(), presses ? 1 : 0);
    QCOMPARE(m_button->waveCount(), presses ? 1 : 0);
    QVERIFY(!m_button->isDown());
}

void TestEStopButton::actionRunsBeforeRingAndShake()
{
    m_button->press();
    QCOMPARE(m_journal, QStringList{QStringLiteral("action waves=0 shake=0")});
    QCOMPARE(m_button->waveCount(), 1);
    QCOMPARE(m_button->shakeTarget(), 1.0);
    // A button with an empty action still gives its feedback.
    EStopButton silent(200, ButtonSkin::classic, {});
    silent.setClock([this] { return m_now; });
    silent.press();
    QCOMPARE(silent.waveCount(), 1);
}

void TestEStopButton::ringsLiveEightTenthsOfASecond()
{
    m_button->press();
    m_now += 300;
    m_button->press();
    m_button->advance();
    QCOMPARE(m_button->waveCount(), 2);
    m_now = 1000 + 799;
    m_button->advance();
    QCOMPARE(m_button->waveCount(), 2);
    m_now = 1000 + 800;
    m_button->advance();
    QCOMPARE(m_button->waveCount(), 1);
    m_now = 1000 + 1100;
    m_button->advance();
    QCOMPARE(m_button->waveCount(), 0);
    QVERIFY(!m_button->hasEffects());
}

void TestEStopButton::shakeComesBackToRest()
{
    m_button->press();
    m_now += 40; // an eighth of the way: sin(π/2) — the first swing's peak
    QVERIFY(qAbs(m_button->shakeOffset() - 5.0) < 1e-6);
    m_now += 120; // half way: crossing the rest position
    QVERIFY(qAbs(m_button->shakeOffset()) < 1e-6);
    // A second press mid-shake runs on towards 2 from where the shake stands.
    m_button->press();
    QCOMPARE(m_button->shakeTarget(), 2.0);
    QVERIFY(qAbs(m_button->shake() - 0.5) < 1e-6);
    m_now += 320;
    QCOMPARE(m_button->shake(), 2.0);
    QCOMPARE(m_button->shakeOffset(), 0.0);
}

void TestEStopButton::pressSpringsDownAndBouncesBack()
{
    SpringAnimator *spring = m_button->pressSpring();
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(100, 50));
    QVERIFY(m_button->isDown());
    QCOMPARE(m_journal.size(), 0); // the action waits for the release
    // Going down: critically damped, never past the bottom.
    qreal deepest = 0;
    for (int i = 0; i < 60; ++i) {
        spring->advance(1.0 / 120);
        deepest = qMax(deepest, spring->value());
    }
    QVERIFY(deepest <= 1.0 + 1e-9);
    QVERIFY(qAbs(spring->value() - 1.0) < 1e-3);
    QVERIFY(qAbs(m_button->currentLook().travel - 0.035) < 1e-3);

    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(100, 50));
    QCOMPARE(m_journal.size(), 1);
    // Coming up: the cap overshoots its rest height, then settles there.
    qreal highest = 0.15;
    for (int i = 0; i < 240; ++i) {
        spring->advance(1.0 / 120);
        highest = qMax(highest, m_button->currentLook().travel);
    }
    QVERIFY2(highest > 0.16, qPrintable(QString::number(highest)));
    QVERIFY(qAbs(m_button->currentLook().travel - 0.15) < 1e-3);
    QVERIFY(qAbs(m_button->currentLook().glow - 0.2) < 1e-2 || m_button->isHovering());
}

void TestEStopButton::hoverOnlyChangesGlowAndBrightness()
{
    QEnterEvent enter(QPointF(100, 50), QPointF(100, 50), QPointF(100, 50));
    QApplication::sendEvent(m_button, &enter);
    QVERIFY(m_button->isHovering());
    m_now += 75;
    const EStopLook half = m_button->currentLook();
    QVERIFY(half.glow > 0.2 && half.glow < 0.4);
    QCOMPARE(half.travel, 0.15);
    m_now += 75;
    QCOMPARE(m_button->currentLook().glow, 0.4);
    QCOMPARE(m_button->currentLook().brightness, 0.05);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_button, &leave);
    m_now += 150;
    QCOMPARE(m_button->currentLook().glow, 0.2);
}

void TestEStopButton::shortcutPressesLikeAClick()
{
    m_button->addShortcut(QKeySequence(Qt::Key_Return));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    QCOMPARE(m_journal.size(), 1);
    QCOMPARE(m_button->waveCount(), 1);
    QCOMPARE(m_button->shakeTarget(), 1.0);
}

void TestEStopButton::drawsTheSkinItIsGiven()
{
    // The cap's centre shows the skin's cap colour family; a new skin repaints with its own.
    const QPoint cap(100, 45);
    const QColor classic = m_button->grab().toImage().pixelColor(cap);
    m_button->setSkin(ButtonSkin::frost);
    QCOMPARE(m_button->skin(), ButtonSkin(ButtonSkin::frost));
    const QColor frost = m_button->grab().toImage().pixelColor(cap);
    QVERIFY2(classic != frost, qPrintable(classic.name() + QLatin1Char(' ') + frost.name()));
    QVERIFY(classic.red() > classic.blue());
    QVERIFY(frost.blue() > frost.red());
}

void TestEStopButton::ringsDrawOnTheEffectsLayerBeyondTheButton()
{
    auto *layer = m_window->findChild<EffectsLayer *>();
    QVERIFY(layer);
    QVERIFY(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
    m_button->press();
    m_now += 300; // the ring has grown past the button's left edge
    m_button->advance();
    const QImage shot = m_window->grab().toImage();
    // Ring centre (60 + 100, 60 + 66); at 300 ms it is about 1.9 times its size, 114 to each side.
    bool ringOutside = false;
    for (int x = 30; x < 60; ++x)
        ringOutside |= qRed(shot.pixel(x, 126)) > qGreen(shot.pixel(x, 126)) + 40;
    QVERIFY(ringOutside);
    // Clicks there still reach whatever is below: the layer takes none.
    QCOMPARE(m_window->childAt(40, 126), nullptr);
}

void TestEStopButton::groundShadowFallsPastTheBoxOnce()
{
    // The ground reaches about a tenth of the width past the box on the right and below. What the
    // window shows there must be the drawing itself: not cut off by the box, and not laid twice while
    // the effects layer draws the shaking button.
    const QRect box = m_button->geometry();
    const QColor background = m_window->palette().color(QPalette::Window);
    QImage reference(m_window->size(), QImage::Format_ARGB32_Premultiplied);
    reference.fill(background);
    {
        QPainter p(&reference);
        paintEStopBody(p, box.topLeft(), 200, EStopLook::of(false, false),
                       ButtonSkin(ButtonSkin::classic).palette());
    }
    const QList<QPoint> probes = {box.topLeft() + QPoint(203, 116), box.topLeft() + QPoint(208, 116),
                                  box.topLeft() + QPoint(104, 157)};
    auto check = [&](const char *when) {
        const QImage shot = m_window->grab().toImage();
        for (const QPoint &at : probes) {
            const QColor seen = shot.pixelColor(at), drawn = reference.pixelColor(at);
            QVERIFY2(drawn.lightness() < background.lightness() - 6, "the probe lies in the shadow");
            QVERIFY2(qAbs(seen.lightness() - drawn.lightness()) <= 3,
                     qPrintable(QStringLiteral("%1 at %2,%3: %4, drawn %5")
                                    .arg(QLatin1String(when))
                                    .arg(at.x())
                                    .arg(at.y())
                                    .arg(seen.name(), drawn.name())));
        }
    };
    check("at rest");
    m_button->press();
    m_now += 80; // a quarter shake: the button is back in place for an instant, the ring still small
    m_button->advance();
    QVERIFY(m_button->hasEffects());
    QVERIFY(qAbs(m_button->shakeOffset()) < 0.01);
    check("while shaking");
}

QTEST_MAIN(TestEStopButton)
#include "tst_estopbutton.moc"
