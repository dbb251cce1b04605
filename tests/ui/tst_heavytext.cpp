#include "ui/Fonts.h"
#include "ui/HeavyText.h"

#include <QPainter>
#include <QtTest>

// Texts heavier than their face: how much heavier, and that they sit exactly where drawText puts the
// same text in the face's own weight.
class TestHeavyText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void strokeOnlyWhereTheFaceLacksTheWeight_data();
    void strokeOnlyWhereTheFaceLacksTheWeight();
    void sitsWhereDrawTextPutsIt_data();
    void sitsWhereDrawTextPutsIt();
    void emojiAndTranslucentInk();
};

namespace {

constexpr QSize kCanvas(360, 160);
const QRectF kBox(20, 20, 320, 120);

QImage render(const std::function<void(QPainter &)> &draw, qreal ratio = 1)
{
    QImage image(kCanvas * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::black);
    draw(p);
    return image;
}

// The rectangle of pixels with any ink, and the total ink (sum of alpha).
struct Ink
{
    QRect bounds;
    qint64 amount = 0;
    int strongest = 0;
};

Ink inkOf(const QImage &image)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            if (a < 24)
                continue;
            ink.bounds |= QRect(x, y, 1, 1);
            ink.amount += a;
            ink.strongest = qMax(ink.strongest, a);
        }
    return ink;
}

} // namespace

void TestHeavyText::strokeOnlyWhereTheFaceLacksTheWeight_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<qreal>("stroke");
    // Quicksand's heaviest face is bold: a fortieth of the size per missing weight step.
    QTest::newRow("rounded bold") << Fonts::rounded(24, QFont::Bold) << 0.0;
    QTest::newRow("rounded extra bold") << Fonts::rounded(24, QFont::ExtraBold) << 0.6;
    QTest::newRow("rounded black") << Fonts::rounded(13, QFont::Black) << 0.65;
    // Faces that have the weight, or one weight only by design, are drawn as they are.
    QTest::newRow("sans black") << Fonts::font(24, QFont::Black) << 0.0;
    QTest::newRow("condensed") << Fonts::condensed(24) << 0.0;
    QTest::newRow("serif black") << Fonts::serif(24, QFont::Black) << 0.0;
}

void TestHeavyText::strokeOnlyWhereTheFaceLacksTheWeight()
{
    QFETCH(QFont, font);
    QFETCH(qreal, stroke);
    QVERIFY2(qAbs(Fonts::syntheticStroke(font) - stroke) < 0.01,
             qPrintable(QString::number(Fonts::syntheticStroke(font))));
}

void TestHeavyText::sitsWhereDrawTextPutsIt_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("alpha");
    QTest::newRow("left, middle") << int(Qt::AlignLeft | Qt::AlignVCenter) << u"Your therapist"_qs << 1.0
                                  << 255;
    QTest::newRow("right, bottom") << int(Qt::AlignRight | Qt::AlignBottom) << u"1,234"_qs << 1.0 << 255;
    QTest::newRow("centre, top") << int(Qt::AlignHCenter | Qt::AlignTop) << u"Biohazard"_qs << 1.0 << 255;
    QTest::newRow("centre") << int(Qt::AlignCenter) << u"7"_qs << 1.0 << 255;
    QTest::newRow("wrapped") << int(Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap)
                             << u"Your therapist would be proud of the progress"_qs << 1.0 << 255;
    QTest::newRow("line break") << int(Qt::AlignHCenter | Qt::AlignVCenter) << u"GRUM\nBLIX"_qs << 1.0 << 255;
    // On a high-density screen the band is made at the screen's resolution and still lands on the
    // letters, wherever the rectangle falls between two pixels.
    QTest::newRow("ratio 2") << int(Qt::AlignCenter) << u"Meeting"_qs << 2.0 << 255;
    // A translucent ink is laid down once, through a layer placed on whole pixels.
    QTest::newRow("translucent") << int(Qt::AlignLeft | Qt::AlignVCenter) << u"13 incidents"_qs << 1.0 << 160;
    QTest::newRow("translucent, ratio 2") << int(Qt::AlignCenter) << u"Meeting"_qs << 2.0 << 160;
    QTest::newRow("ratio 1.5") << int(Qt::AlignLeft | Qt::AlignVCenter) << u"Build 42"_qs << 1.5 << 255;
}

void TestHeavyText::sitsWhereDrawTextPutsIt()
{
    QFETCH(int, flags);
    QFETCH(QString, text);
    QFETCH(qreal, ratio);
    QFETCH(int, alpha);
    // Quicksand answers a black request with its bold, so both fonts have the same letters.
    const QFont bold = Fonts::rounded(24, QFont::Bold), black = Fonts::rounded(24, QFont::Black);
    const QRectF box = kBox.translated(0.3, 0.6);
    const Ink plain = inkOf(render(
        [&](QPainter &p) {
            p.setFont(bold);
            p.setPen(QColor(0, 0, 0, alpha));
            p.drawText(box, flags, text);
        },
        ratio));
    const Ink heavy = inkOf(render(
        [&](QPainter &p) {
            p.setFont(black);
            p.setPen(QColor(0, 0, 0, alpha));
            HeavyText::draw(p, box, flags, text);
        },
        ratio));
    // Half the outline (0.6 px) on each side, and the antialiased edge: never more than 2 pixels.
    const QMargins grown(heavy.bounds.left() - plain.bounds.left(), heavy.bounds.top() - plain.bounds.top(),
                         plain.bounds.right() - heavy.bounds.right(),
                         plain.bounds.bottom() - heavy.bounds.bottom());
    for (int side : {grown.left(), grown.top(), grown.right(), grown.bottom()})
        QVERIFY2(side <= 0 && side >= -2, qPrintable(QStringLiteral("plain %1,%2 %3x%4, heavy %5,%6 %7x%8")
                                                         .arg(plain.bounds.x())
                                                         .arg(plain.bounds.y())
                                                         .arg(plain.bounds.width())
                                                         .arg(plain.bounds.height())
                                                         .arg(heavy.bounds.x())
                                                         .arg(heavy.bounds.y())
                                                         .arg(heavy.bounds.width())
                                                         .arg(heavy.bounds.height())));
    // Evenly on both sides: the band sits on the letters, not beside them.
    QVERIFY2(qAbs(grown.left() - grown.right()) <= 1 && qAbs(grown.top() - grown.bottom()) <= 1,
             qPrintable(QStringLiteral("grown %1 %2 %3 %4")
                            .arg(grown.left())
                            .arg(grown.top())
                            .arg(grown.right())
                            .arg(grown.bottom())));
    // Visibly heavier: black letters carry a good deal more ink than bold ones.
    QVERIFY2(heavy.amount > plain.amount * 1.12,
             qPrintable(QStringLiteral("%1 vs %2").arg(heavy.amount).arg(plain.amount)));

    if (alpha < 255) {
        // The same shape as in a solid ink, only fainter: neither moved nor softened by the layer.
        auto heavyIn = [&](int a) {
            return render(
                [&](QPainter &p) {
                    p.setFont(black);
                    p.setPen(QColor(0, 0, 0, a));
                    HeavyText::draw(p, box, flags, text);
                },
                ratio);
        };
        const QImage faint = heavyIn(alpha), solid = heavyIn(255);
        int worst = 0;
        for (int y = 0; y < solid.height(); ++y)
            for (int x = 0; x < solid.width(); ++x)
                worst = qMax(worst, qAbs(qAlpha(faint.pixel(x, y)) - qAlpha(solid.pixel(x, y)) * alpha / 255));
        QVERIFY2(worst <= 4, qPrintable(QString::number(worst)));
    }
}

void TestHeavyText::emojiAndTranslucentInk()
{
    // A colour emoji has no outline to thicken; it is drawn as it is, beside the heavier letters, and
    // keeps its place in texts drawn later.
    const QString bug = u"\U0001F41B Bug"_qs;
    auto plain = [&bug] {
        return render([&bug](QPainter &p) {
            p.setFont(Fonts::rounded(24, QFont::Bold));
            p.drawText(kBox, Qt::AlignLeft | Qt::AlignTop, bug);
        });
    };
    const QImage plainBefore = plain();
    const QImage withEmoji = render([&bug](QPainter &p) {
        p.setFont(Fonts::rounded(24, QFont::Black));
        HeavyText::draw(p, kBox, Qt::AlignLeft | Qt::AlignTop, bug);
    });
    bool coloured = false;
    for (int y = 20; y < 60 && !coloured; ++y)
        for (int x = 20; x < 60 && !coloured; ++x) {
            const QColor c = withEmoji.pixelColor(x, y);
            coloured = c.alpha() > 200 && c.saturation() > 80;
        }
    QVERIFY(coloured);
    QCOMPARE(plain(), plainBefore);

    // Letters and outline overlap: a half-transparent pen never gets darker where they do.
    const Ink faded = inkOf(render([](QPainter &p) {
        p.setFont(Fonts::rounded(24, QFont::Black));
        p.setPen(QColor(0, 0, 0, 128));
        HeavyText::draw(p, kBox, Qt::AlignLeft | Qt::AlignTop, u"Meeting"_qs);
    }));
    QVERIFY2(faded.strongest <= 129, qPrintable(QString::number(faded.strongest)));
}

QTEST_MAIN(TestHeavyText)
#include "tst_heavytext.moc"
