#include "support/TestSupport.h"
#include "ui/EStopDrawing.h"
#include "ui/MiniButton.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QSet>
#include <QtTest>

// Renders the drawings into images and probes pixels whose colour the layout fixes.
class TestEStopDrawing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void capAndWellAtRestAndPressed();
    void glowGrowsWithHoverAndPress();
    void pressedIgnoresHover();
    void everySkinHasItsOwnCap();
    void scalesWithWidthAndRatio();
    void hitAreaIsTheSquashedEllipse_data();
    void hitAreaIsTheSquashedEllipse();
    void ringGrowsThinsAndFades();
    void miniButtonRingAndCap();
    void blendOvershootsPastRest();

private:
    static QImage render(qreal w, const EStopLook &look, ButtonSkin skin = ButtonSkin::classic,
                         qreal ratio = 1);
};

QImage TestEStopDrawing::render(qreal w, const EStopLook &look, ButtonSkin skin, qreal ratio)
{
    QImage img(qCeil(w * ratio), qCeil(eStopHeight(w) * ratio), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintEStopBody(p, QPointF(0, 0), w, look, skin.palette());
    p.end();
    const QString dir = qEnvironmentVariable("GRUMBLIX_GALLERY_DIR");
    if (!dir.isEmpty())
        img.save(QStringLiteral("%1/estop-%2-%3-t%4-g%5.png")
                     .arg(dir, skin.rawValue())
                     .arg(w)
                     .arg(look.travel)
                     .arg(look.glow));
    return img;
}

void TestEStopDrawing::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestEStopDrawing::capAndWellAtRestAndPressed()
{
    const auto palette = ButtonSkin(ButtonSkin::classic).palette();
    const QImage rest = render(200, EStopLook::of(false, false));
    const QImage down = render(200, EStopLook::of(true, false));
    QCOMPARE(rest.size(), QSize(200, 156));

    // At rest the cap's face (centre (100, 51), 120 x 55.2) covers (50, 45); pressed it has moved
    // 23 points down and that spot is outside the button altogether.
    const QColor capRest = rest.pixelColor(50, 45);
    QVERIFY2(capRest.red() > 150 && capRest.green() < 90 && capRest.alpha() == 255,
             qPrintable(capRest.name()));
    QVERIFY(down.pixelColor(50, 45).alpha() < 40); // only the glow's blur reaches it
    // Pressed, the cap (centre (100, 74)) covers (50, 74), where at rest the darker skirt shows.
    const QColor capDown = down.pixelColor(50, 74);
    const QColor skirtRest = rest.pixelColor(50, 74);
    QVERIFY2(capDown.red() > 120 && capDown.green() < 80, qPrintable(capDown.name()));
    QVERIFY2(skirtRest.red() < capDown.red(), qPrintable(skirtRest.name() + capDown.name()));
    QVERIFY(qAbs(skirtRest.red() - palette.skirt[0].red()) < 60);

    // The well shows between the skirt and the collar's stripes at (35, 81): dark at rest.
    const QColor wellRest = rest.pixelColor(35, 81);
    QVERIFY2(wellRest.red() < 110 && wellRest.green() < 50, qPrintable(wellRest.name()));
    // The base and its top never move.
    QCOMPARE(rest.pixelColor(100, 150), down.pixelColor(100, 150));
    QCOMPARE(rest.pixelColor(5, 88), down.pixelColor(5, 88));
    // Frame corners stay empty (the ground shadow reaches only the bottom right).
    QCOMPARE(rest.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(rest.pixelColor(199, 0).alpha(), 0);
}

void TestEStopDrawing::glowGrowsWithHoverAndPress()
{
    const int away = render(200, EStopLook::of(false, false)).pixelColor(35, 81).red();
    const int over = render(200, EStopLook::of(false, true)).pixelColor(35, 81).red();
    const int down = render(200, EStopLook::of(true, false)).pixelColor(35, 81).red();
    QVERIFY2(away < over && over < down,
             qPrintable(QStringLiteral("%1 %2 %3").arg(away).arg(over).arg(down)));
    // Hover leaves everything in place: the cap's outline is where it was.
    const QImage a = render(200, EStopLook::of(false, false));
    const QImage b = render(200, EStopLook::of(false, true));
    QCOMPARE(a.pixelColor(100, 20).alpha(), 0);
    QCOMPARE(b.pixelColor(100, 20).alpha(), 0);
    QVERIFY(b.pixelColor(100, 26).alpha() == 255 && a.pixelColor(100, 26).alpha() == 255);
    // Hover brightens the cap, press darkens it.
    QVERIFY(b.pixelColor(150, 51).green() > a.pixelColor(150, 51).green());
}

void TestEStopDrawing::pressedIgnoresHover()
{
    const EStopLook a = EStopLook::of(true, false);
    const EStopLook b = EStopLook::of(true, true);
    QCOMPARE(a.travel, b.travel);
    QCOMPARE(a.glow, 0.75);
    QCOMPARE(b.brightness, -0.06);
    QCOMPARE(EStopLook::of(false, true).glow, 0.4);
    QCOMPARE(EStopLook::of(false, true).brightness, 0.05);
    QCOMPARE(EStopLook::blend(1, 1).glow, 0.75);
    QCOMPARE(EStopLook::blend(0, 1).glow, 0.4);
    QCOMPARE(EStopLook::blend(0, 0).travel, 0.15);
}

void TestEStopDrawing::everySkinHasItsOwnCap()
{
    QSet<QRgb> caps;
    QSet<QRgb> collars;
    for (ButtonSkin skin : ButtonSkin::allCases()) {
        const QImage img = render(200, EStopLook::of(false, false), skin);
        caps.insert(img.pixel(50, 45));
        collars.insert(img.pixel(16, 82));
    }
    QCOMPARE(caps.size(), 11);
    QVERIFY(collars.size() >= 9);
}

void TestEStopDrawing::scalesWithWidthAndRatio()
{
    // Doubling the width doubles every position: probes at twice the coordinates agree.
    const QImage small = render(200, EStopLook::of(false, false));
    const QImage big = render(400, EStopLook::of(false, false));
    for (const QPoint pt : {QPoint(50, 45), QPoint(35, 81), QPoint(100, 140), QPoint(150, 100)}) {
        const QColor a = small.pixelColor(pt);
        const QColor b = big.pixelColor(pt * 2);
        QVERIFY2(qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
                     qAbs(a.alpha() - b.alpha()) < 24,
                 qPrintable(a.name(QColor::HexArgb) + " " + b.name(QColor::HexArgb)));
    }
    // At device-pixel ratio 2 the same drawing fills twice the pixels.
    const QImage hi = render(200, EStopLook::of(false, false), ButtonSkin::classic, 2);
    QCOMPARE(hi.size(), QSize(400, 312));
    const QColor a = small.pixelColor(50, 45);
    const QColor b = hi.pixelColor(100, 90);
    QVERIFY(qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24);
}

void TestEStopDrawing::hitAreaIsTheSquashedEllipse_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("inside");
    QTest::newRow("centre") << QPointF(100, 78) << true;
    QTest::newRow("left edge") << QPointF(2, 78) << true;
    QTest::newRow("right edge") << QPointF(198, 78) << true;
    QTest::newRow("top inside") << QPointF(100, 9) << true;
    QTest::newRow("above the squashed top") << QPointF(100, 6) << false;
    QTest::newRow("below the squashed bottom") << QPointF(100, 150) << false;
    QTest::newRow("top-left corner") << QPointF(3, 3) << false;
    QTest::newRow("bottom-right corner") << QPointF(197, 153) << false;
    QTest::newRow("outside the frame") << QPointF(-5, 78) << false;
}

void TestEStopDrawing::hitAreaIsTheSquashedEllipse()
{
    QFETCH(QPointF, point);
    QFETCH(bool, inside);
    QCOMPARE(eStopHitArea(200).contains(point), inside);
    const QRectF bounds = eStopHitArea(200).boundingRect();
    QCOMPARE(bounds.width(), 200.0);
    QVERIFY(qAbs(bounds.height() - 140.4) < 1e-9);
}

void TestEStopDrawing::ringGrowsThinsAndFades()
{
    auto draw = [](qreal progress) {
        QImage img(600, 400, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        paintShockwave(p, QPointF(200, 100), 200, QColor(Qt::red), progress);
        return img;
    };
    // Ring centre: (200 + 100, 100 + 78 - 12) = (300, 166); born 120 x 48.
    const QImage born = draw(0);
    QVERIFY(born.pixelColor(240, 166).alpha() > 150); // on the line, opacity 0.8
    QCOMPARE(born.pixelColor(300, 166).alpha(), 0);
    QCOMPARE(born.pixelColor(200, 166).alpha(), 0);
    const QImage half = draw(0.5); // scale 1.55: the line lies 93 to the left of the centre
    QVERIFY(half.pixelColor(207, 166).alpha() > 40);
    QVERIFY(half.pixelColor(207, 166).alpha() < born.pixelColor(240, 166).alpha());
    QCOMPARE(half.pixelColor(240, 166).alpha(), 0);
    const QImage gone = draw(1);
    for (int x = 0; x < 600; x += 7)
        QCOMPARE(gone.pixelColor(x, 166).alpha(), 0);
    // Rings reach beyond the button's frame, which the bounds for repainting cover.
    const QRectF reach = shockwaveBounds(QPointF(200, 100), 200);
    QVERIFY(reach.width() > 252 && reach.left() < 200 + 100 - 126);
}

void TestEStopDrawing::miniButtonRingAndCap()
{
    const auto palette = ButtonSkin(ButtonSkin::toxic).palette();
    QImage img(34, 34, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    {
        Theme::ScopedScheme light(ColorScheme::Light);
        paintMiniButton(p, QRectF(0, 0, 34, 34), palette, Theme::ink);
    }
    p.end();
    // Outside the circle: nothing.
    QCOMPARE(img.pixelColor(1, 1).alpha(), 0);
    // The ring band (between radius 11.2 and 17) shows stripe colours only.
    auto near = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 60;
    };
    int purple = 0, dark = 0;
    for (int x = 4; x <= 30; x += 2) {
        const QColor c = img.pixelColor(x, 3);
        if (QLineF(QPointF(x + 0.5, 3.5), QPointF(17, 17)).length() > 15.5)
            continue; // the outline
        purple += near(c, palette.collarA);
        dark += near(c, palette.collarB);
    }
    QVERIFY2(purple > 0 && dark > 0, qPrintable(QStringLiteral("%1 %2").arg(purple).arg(dark)));
    // The cap's light spot up and to the left, its dark edge down and to the right.
    const QColor light = img.pixelColor(13, 12);
    const QColor edge = img.pixelColor(24, 24);
    QVERIFY2(light.green() > palette.cap.green() - 30 && light.green() > edge.green() + 40,
             qPrintable(light.name() + edge.name()));
}

void TestEStopDrawing::blendOvershootsPastRest()
{
    // A press value below 0 (the release spring overshooting) lifts the cap above its rest height.
    QVERIFY(EStopLook::blend(-0.2, 0).travel > 0.15);
    QVERIFY(EStopLook::blend(1.0, 0).travel == 0.035);
}

QTEST_MAIN(TestEStopDrawing)
#include "tst_estopdrawing.moc"
