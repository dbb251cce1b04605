#include "ui/Blur.h"

#include <QPainter>
#include <QtTest>

// The shared Gaussian blur: its spread, what it keeps, and the layered painting around it.
class TestBlur : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void spreadMatchesSigma_data();
    void spreadMatchesSigma();
    void tinySigmaLeavesPixelsAlone();
    void flatAreaStaysFlat();
    void paintBlurredSoftensEdgesAtEveryRatio_data();
    void paintBlurredSoftensEdgesAtEveryRatio();
    void cachedBlurKeepsToItsRadius();
};

namespace {

// An opaque square of `side` pixels in the middle of a transparent `size` square.
QImage block(int size, int side)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRect((size - side) / 2, (size - side) / 2, side, side), Qt::red);
    return image;
}

struct Moments
{
    double mass = 0;
    double meanX = 0;
    double meanY = 0;
    double varianceX = 0;
    double varianceY = 0;
};

Moments momentsOf(const QImage &image)
{
    Moments m;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double a = qAlpha(image.pixel(x, y));
            m.mass += a;
            m.meanX += a * x;
            m.meanY += a * y;
        }
    }
    m.meanX /= m.mass;
    m.meanY /= m.mass;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double a = qAlpha(image.pixel(x, y));
            m.varianceX += a * (x - m.meanX) * (x - m.meanX);
            m.varianceY += a * (y - m.meanY) * (y - m.meanY);
        }
    }
    m.varianceX /= m.mass;
    m.varianceY /= m.mass;
    return m;
}

} // namespace

void TestBlur::spreadMatchesSigma_data()
{
    QTest::addColumn<qreal>("sigma");
    QTest::newRow("2") << 2.0;
    QTest::newRow("4.5") << 4.5;
    QTest::newRow("8") << 8.0;
}

void TestBlur::spreadMatchesSigma()
{
    // A square blurred far from the edges: its centre stays put, its coverage is kept (up to the
    // rounding of each pass) and it spreads by the sigma asked for: blurring adds sigma² to the
    // variance of what is blurred (whole-pixel boxes fall up to a sixth short at small sigmas).
    QFETCH(qreal, sigma);
    const int size = 161;
    const int side = 21;
    const QImage source = block(size, side);
    const QImage blurred = Blur::gaussian(source, sigma);
    QCOMPARE(blurred.size(), source.size());
    QCOMPARE(blurred.format(), QImage::Format_ARGB32_Premultiplied);

    const Moments before = momentsOf(source);
    const Moments m = momentsOf(blurred);
    QVERIFY2(qAbs(m.mass - before.mass) < before.mass * 0.01, qPrintable(QString::number(m.mass)));
    QVERIFY(qAbs(m.meanX - before.meanX) < 0.1);
    QVERIFY(qAbs(m.meanY - before.meanY) < 0.1);
    const double expected = sigma * sigma;
    const double addedX = m.varianceX - before.varianceX;
    const double addedY = m.varianceY - before.varianceY;
    QVERIFY2(qAbs(addedX - expected) < expected * 0.2, qPrintable(QString::number(addedX)));
    QVERIFY2(qAbs(addedY - expected) < expected * 0.2, qPrintable(QString::number(addedY)));
    // Symmetric both ways.
    const int c = size / 2;
    QCOMPARE(qAlpha(blurred.pixel(c - 12, c)), qAlpha(blurred.pixel(c + 12, c)));
    QCOMPARE(qAlpha(blurred.pixel(c, c - 12)), qAlpha(blurred.pixel(c, c + 12)));
}

void TestBlur::tinySigmaLeavesPixelsAlone()
{
    const QImage source = block(9, 1);
    QCOMPARE(Blur::gaussian(source, 0.1), source);
    QVERIFY(Blur::gaussian(QImage(), 3).isNull());
}

void TestBlur::flatAreaStaysFlat()
{
    // Colour and opacity of a uniform area survive inside it; only its border, next to the
    // transparent outside, fades.
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(40, 120, 200, 255));
    const QImage blurred = Blur::gaussian(image, 3);
    QCOMPARE(blurred.pixelColor(30, 30), QColor(40, 120, 200, 255));
    QVERIFY(qAlpha(blurred.pixel(0, 30)) < 200);
}

void TestBlur::paintBlurredSoftensEdgesAtEveryRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
}

void TestBlur::paintBlurredSoftensEdgesAtEveryRatio()
{
    QFETCH(qreal, ratio);
    QImage canvas(QSize(100, 100) * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    const QRectF square(30, 30, 40, 40);
    Blur::paintBlurred(p, square, 4, [&](QPainter &lp) { lp.fillRect(square, Qt::black); });
    p.end();
    auto alphaAt = [&](qreal x, qreal y) { return qAlpha(canvas.pixel(int(x * ratio), int(y * ratio))); };
    QCOMPARE(alphaAt(50, 50), 255);                         // deep inside
    QVERIFY(alphaAt(30, 50) > 60 && alphaAt(30, 50) < 200); // the edge is soft
    QVERIFY(alphaAt(24, 50) > 0);                           // the blur reaches outside the shape
    QCOMPARE(alphaAt(5, 50), 0);                            // and stops within about 3 sigma
}

void TestBlur::cachedBlurKeepsToItsRadius()
{
    // The same key with another radius is another picture, not the cached one.
    auto render = [](qreal radius) {
        QImage canvas(80, 80, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter p(&canvas);
        const QRectF square(25, 25, 30, 30);
        Blur::paintBlurred(
            p, square, radius, [&](QPainter &lp) { lp.fillRect(square, Qt::black); },
            QStringLiteral("tst-blur"));
        return canvas;
    };
    const QImage soft = render(6);
    QCOMPARE(render(6), soft);
    const QImage softer = render(2);
    QVERIFY(softer != soft);
    // Seven points outside the edge only the wider blur still reaches.
    QVERIFY(qAlpha(soft.pixel(18, 40)) > qAlpha(softer.pixel(18, 40)));
}

QTEST_MAIN(TestBlur)
#include "tst_blur.moc"
