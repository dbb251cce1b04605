#include "support/TestSupport.h"
#include "ui/FixedDigits.h"
#include "ui/Fonts.h"
#include "ui/HeavyText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtTest>

namespace {

// The horizontal centre of the ink in columns [from, to) of `image`, or -1 without ink.
qreal inkCentre(const QImage &image, int from, int to)
{
    qreal sum = 0, weight = 0;
    for (int x = from; x < to; ++x)
        for (int y = 0; y < image.height(); ++y) {
            const qreal a = qAlpha(image.pixel(x, y)) / 255.0;
            sum += a * (x + 0.5);
            weight += a;
        }
    return weight > 0 ? sum / weight : -1;
}

} // namespace

// Numbers whose digits stand on one fixed advance in faces with proportional figures.
class TestFixedDigits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }

    void numbersOfEqualLengthAreEquallyWide_data();
    void numbersOfEqualLengthAreEquallyWide();
    void eachDigitIsCentredInItsCell();
    void otherCharactersKeepTheirAdvance();
    void textWithoutDigitsLandsWhereDrawTextPutsIt_data();
    void textWithoutDigitsLandsWhereDrawTextPutsIt();
};

void TestFixedDigits::numbersOfEqualLengthAreEquallyWide_data()
{
    QTest::addColumn<QFont>("font");
    QTest::newRow("rounded black 96") << Fonts::rounded(96, QFont::Black);
    QTest::newRow("default 13") << Fonts::font(13);
    QTest::newRow("serif bold 40") << Fonts::serif(40, QFont::Bold);
}

void TestFixedDigits::numbersOfEqualLengthAreEquallyWide()
{
    QFETCH(QFont, font);
    const QFontMetricsF metrics(font);
    qreal widest = 0, narrowest = 1e9;
    for (char d = '0'; d <= '9'; ++d) {
        widest = qMax(widest, metrics.horizontalAdvance(QLatin1Char(d)));
        narrowest = qMin(narrowest, metrics.horizontalAdvance(QLatin1Char(d)));
    }
    QCOMPARE(FixedDigits::advance(font), widest);
    for (const QString &number : {QStringLiteral("111"), QStringLiteral("888"), QStringLiteral("407")})
        QCOMPARE(FixedDigits::layout(font, number).width, 3 * widest);
    QCOMPARE(FixedDigits::layout(font, QString()).width, 0.0);
    QVERIFY(FixedDigits::layout(font, QStringLiteral("1")).runs.size() == 1);
}

void TestFixedDigits::eachDigitIsCentredInItsCell()
{
    // Quicksand's one is much narrower than its four: drawn proportionally, "141" would not sit
    // in three equal cells.
    const QFont font = Fonts::rounded(60, QFont::Bold);
    const qreal cell = FixedDigits::advance(font);
    const QFontMetricsF metrics(font);
    QVERIFY(metrics.horizontalAdvance(QLatin1Char('1')) < cell - 10);
    const int width = qCeil(3 * cell);
    QImage image(width, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setPen(Qt::black);
        FixedDigits::draw(p, QPointF(0, 75), font, QStringLiteral("141"));
    }
    // The ink of each digit centres on its cell (up to the glyph's own side bearings).
    for (int i = 0; i < 3; ++i) {
        const qreal centre = inkCentre(image, qFloor(i * cell), qFloor((i + 1) * cell));
        QVERIFY2(qAbs(centre - (i + 0.5) * cell) < 0.08 * cell,
                 qPrintable(QStringLiteral("digit %1 at %2 in a cell of %3").arg(i).arg(centre).arg(cell)));
    }
}

void TestFixedDigits::otherCharactersKeepTheirAdvance()
{
    const QFont font = Fonts::rounded(40, QFont::Bold);
    const QFontMetricsF metrics(font);
    const qreal cell = FixedDigits::advance(font);
    const FixedDigits::Line line = FixedDigits::layout(font, QStringLiteral("12 % +3"));
    QVERIFY(qAbs(line.width - (3 * cell + metrics.horizontalAdvance(QStringLiteral(" % +")))) < 0.5);
    // A space before a digit keeps its width too.
    const qreal spaced = FixedDigits::layout(font, QStringLiteral("1 \u2013 2")).width;
    QVERIFY2(qAbs(spaced - (2 * cell + metrics.horizontalAdvance(QStringLiteral(" \u2013 ")))) < 0.5,
             qPrintable(QStringLiteral("%1 wide").arg(spaced)));
    // Glyphs after the text follow on, left to right.
    qreal last = -1;
    for (const QGlyphRun &run : line.runs)
        for (const QPointF &at : run.positions()) {
            QVERIFY(at.x() > last);
            QCOMPARE(at.y(), 0.0);
            last = at.x();
        }
}

void TestFixedDigits::textWithoutDigitsLandsWhereDrawTextPutsIt_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QColor>("pen");
    const QColor ink(20, 20, 20);
    const QColor faded(20, 20, 20, 140);
    QTest::newRow("rounded black, centred")
        << Fonts::rounded(24, QFont::Black) << int(Qt::AlignCenter) << ink;
    QTest::newRow("rounded black, right, translucent")
        << Fonts::rounded(24, QFont::Black) << int(Qt::AlignRight | Qt::AlignVCenter) << faded;
    QTest::newRow("rounded extra-bold, top left")
        << Fonts::rounded(14, QFont::ExtraBold) << int(Qt::AlignLeft | Qt::AlignTop) << ink;
    QTest::newRow("default black, centred") << Fonts::font(38, QFont::Black) << int(Qt::AlignCenter) << ink;
    QTest::newRow("rounded bold, centred") << Fonts::rounded(24, QFont::Bold) << int(Qt::AlignCenter) << ink;
    QTest::newRow("default black, bottom right")
        << Fonts::font(38, QFont::Black) << int(Qt::AlignRight | Qt::AlignBottom) << ink;
}

void TestFixedDigits::textWithoutDigitsLandsWhereDrawTextPutsIt()
{
    // Without digits there is nothing to move: the line, its band included, lands where HeavyText
    // draws it, so switching a label to fixed digits shifts none of its other texts.
    QFETCH(QFont, font);
    QFETCH(int, alignment);
    QFETCH(QColor, pen);
    const QString text = QStringLiteral("Ok: \u2013 Wow");
    const QRectF box(3.25, 2.5, 200, 70);
    auto draw = [&](bool fixed) {
        QImage image(210, 80, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(pen);
        if (fixed)
            FixedDigits::draw(p, box, Qt::Alignment(alignment), text);
        else
            HeavyText::draw(p, box, alignment, text);
        p.end();
        return image;
    };
    const QImage fixed = draw(true);
    const QImage plain = draw(false);
    // The outlining may settle a stray edge pixel differently; the letters may not move.
    int inked = 0, differing = 0;
    QPointF sumFixed, sumPlain;
    qreal weightFixed = 0, weightPlain = 0;
    for (int y = 0; y < fixed.height(); ++y)
        for (int x = 0; x < fixed.width(); ++x) {
            const int a = qAlpha(fixed.pixel(x, y)), b = qAlpha(plain.pixel(x, y));
            inked += b > 0;
            differing += qAbs(a - b) > 8;
            sumFixed += a * QPointF(x, y);
            sumPlain += b * QPointF(x, y);
            weightFixed += a;
            weightPlain += b;
        }
    QVERIFY(inked > 100);
    QVERIFY2(differing * 30 < inked,
             qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differing).arg(inked)));
    const QPointF shift = sumFixed / weightFixed - sumPlain / weightPlain;
    QVERIFY2(qAbs(shift.x()) < 0.1 && qAbs(shift.y()) < 0.1,
             qPrintable(QStringLiteral("moved by %1, %2").arg(shift.x()).arg(shift.y())));
}

QTEST_MAIN(TestFixedDigits)
#include "tst_fixeddigits.moc"
