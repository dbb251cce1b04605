#include "support/TestSupport.h"
#include "ui/AppIconCache.h"
#include "ui/BarRow.h"
#include "ui/ChunkyButton.h"
#include "ui/ChunkySegmented.h"
#include "ui/DialogCard.h"
#include "ui/DotGrid.h"
#include "ui/FieldChrome.h"
#include "ui/FlapCounter.h"
#include "ui/Fonts.h"
#include "ui/GXToggles.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/SpringAnimator.h"
#include "ui/StickyNote.h"
#include "ui/Theme.h"
#include "ui/ThemedLabel.h"
#include "ui/TriggerGrid.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QRawFont>
#include <QVBoxLayout>
#include <QtMath>
#include <QtTest>

namespace {

QImage canvas(int w, int h, QColor fill = Qt::white)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

QImage render(QWidget &w)
{
    w.ensurePolished();
    if (!w.testAttribute(Qt::WA_Resized))
        w.resize(w.sizeHint());
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestKitDrawing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::isolateFolders();
        SpringAnimator::setAnimationsEnabled(false);
    }

    void flapText_data();
    void flapText();
    void flapGeometry();
    void flapTiles();
    void flapRollsOnChange();
    void flapShowsAValueAtOnceWhenAsked();
    void dotGrid();
    void dotGridDegenerate();
    void dotGridAtRatioAndOffset_data();
    void dotGridAtRatioAndOffset();
    void rankBar_data();
    void rankBar();
    void barRowKeepsCountApart();
    void tapeLabel();
    void keyCaps();
    void stickyNoteGrows();
    void everyFaceReachesHangul_data();
    void everyFaceReachesHangul();
    void wrappedLabelTakesItsLines();
    void switchDrawing();
    void checkboxDrawing();
    void fieldChrome();
    void segmentedInverted();
    void tileColours();
    void springMotion();
    void dialogLooks_data();
    void dialogLooks();
    void popoverSlab();
    void symbols();
    void appIcons();
};

void TestKitDrawing::flapText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("minDigits");
    QTest::addColumn<QString>("text");
    QTest::newRow("padded") << 7 << 3 << "007";
    QTest::newRow("longer than min") << 1234 << 2 << "1234";
    QTest::newRow("min 0") << 42 << 0 << "42";
    QTest::newRow("min 1") << 42 << 1 << "42";
    QTest::newRow("negative keeps sign") << -7 << 3 << "-07";
    QTest::newRow("negative short") << -5 << 1 << "-5";
    QTest::newRow("negative min digits") << 5 << -3 << "5";
}

void TestKitDrawing::flapText()
{
    QFETCH(int, value);
    QFETCH(int, minDigits);
    QFETCH(QString, text);
    QCOMPARE(flapCounterText(value, minDigits), text);
}

void TestKitDrawing::flapGeometry()
{
    const QSizeF tile = flapTileSize(20);
    QCOMPARE(tile.width(), 15.6);
    QCOMPARE(tile.height(), 26.0);
    // Three tiles 2 apart.
    QCOMPARE(flapCounterSize(QStringLiteral("007"), 20), QSizeF(3 * 15.6 + 2 * 2, 26));
    FlapCounter counter(7, 20, 3);
    QCOMPARE(counter.sizeHint(), QSize(51, 26));
    counter.setValue(12345);
    QCOMPARE(counter.text(), QStringLiteral("12345"));
}

void TestKitDrawing::flapTiles()
{
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme s(scheme);
        QImage img = canvas(60, 40);
        QPainter p(&img);
        paintFlapCounter(p, QPointF(0, 0), QStringLiteral("1"), 30, Qt::white);
        p.end();
        // The tile is dark in both appearances: top shade 2C2A28 towards flap 1E1C1B at the bottom.
        QVERIFY(near(img.pixelColor(3, 4), QColor(0x2C, 0x2A, 0x28), 8));
        QVERIFY(near(img.pixelColor(3, 34), QColor(0x1E, 0x1C, 0x1B), 8));
        // The split line across the middle is darker than the tile just above it.
        QVERIFY(img.pixelColor(2, 19).lightness() < img.pixelColor(2, 16).lightness());
        // Outside the 23.4-wide tile nothing is drawn.
        QCOMPARE(img.pixelColor(26, 10), QColor(Qt::white));
        // The digit is drawn in the tint somewhere in the tile's middle column.
        bool digit = false;
        for (int y = 5; y < 35; ++y)
            digit = digit || img.pixelColor(12, y).lightness() > 200;
        QVERIFY(digit);
    }
}

void TestKitDrawing::flapRollsOnChange()
{
    Theme::ScopedScheme s(ColorScheme::Light);
    // What 10 looks like at rest.
    FlapCounter reference(10, 24, 2, Theme::white);
    reference.resize(reference.sizeHint());
    const QImage settled = render(reference);

    SpringAnimator::setAnimationsEnabled(true);
    FlapCounter counter(9, 24, 2, Theme::white);
    counter.resize(counter.sizeHint());
    const QImage before = render(counter);
    counter.setValue(10);
    // Right after the change both tiles are mid-roll: the picture differs from the settled one,
    // until the roll has come to rest on it.
    const QImage rolling = render(counter);
    QVERIFY(rolling != settled);
    QTRY_COMPARE(render(counter), settled);
    QVERIFY(before != settled);
    QCOMPARE(counter.text(), QStringLiteral("10"));
    SpringAnimator::setAnimationsEnabled(false);
}

void TestKitDrawing::flapShowsAValueAtOnceWhenAsked()
{
    // A counter filled before it is first shown draws its value from the first frame, no roll.
    Theme::ScopedScheme s(ColorScheme::Light);
    FlapCounter reference(10, 24, 2, Theme::white);
    reference.resize(reference.sizeHint());
    const QImage settled = render(reference);

    SpringAnimator::setAnimationsEnabled(true);
    FlapCounter counter(9, 24, 2, Theme::white);
    counter.resize(counter.sizeHint());
    counter.setValue(10, false);
    QCOMPARE(render(counter), settled);
    QCOMPARE(counter.text(), QStringLiteral("10"));
    SpringAnimator::setAnimationsEnabled(false);
}

void TestKitDrawing::dotGrid()
{
    Theme::ScopedScheme s(ColorScheme::Light);
    QImage img = canvas(40, 40);
    QPainter p(&img);
    paintDotGrid(p, QRectF(0, 0, 40, 40), 20);
    p.end();
    // Dots at 10 and 30 on both axes; nothing between them.
    QVERIFY(img.pixelColor(10, 10).lightness() < 255);
    QVERIFY(img.pixelColor(30, 30).lightness() < 255);
    QCOMPARE(img.pixelColor(20, 20), QColor(Qt::white));
    QCOMPARE(img.pixelColor(0, 0), QColor(Qt::white));
    // Faint: ink at 9 %.
    QVERIFY(img.pixelColor(10, 10).lightness() > 200);
}

void TestKitDrawing::dotGridAtRatioAndOffset_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("scaled"); // a painter transform: every dot drawn, no tile
    QTest::newRow("1x tiled") << qreal(1) << false;
    QTest::newRow("2x tiled") << qreal(2) << false;
    QTest::newRow("1x drawn") << qreal(1) << true;
}

// The grid stays anchored to its rectangle, also when a repaint exposes only part of it and at a
// pixel ratio of 2; nothing outside the exposed part changes.
void TestKitDrawing::dotGridAtRatioAndOffset()
{
    QFETCH(qreal, ratio);
    QFETCH(bool, scaled);
    Theme::ScopedScheme s(ColorScheme::Light);
    QImage img = canvas(int(100 * ratio), int(80 * ratio));
    img.setDevicePixelRatio(ratio);
    QPainter p(&img);
    if (scaled) {
        p.scale(0.5, 0.5);
        p.scale(2, 2);
        p.rotate(0.0001);
    }
    const QRectF grid(5, 7, 90, 70);
    const QRectF exposed(40, 0, 60, 80); // the right part only
    paintDotGrid(p, grid, 20, exposed);
    p.end();
    const auto at = [&](qreal x, qreal y) { return img.pixelColor(int(x * ratio), int(y * ratio)); };
    // Dots at 5 + 10 + 20k across and 7 + 10 + 20k down.
    QVERIFY(at(55, 37).lightness() < 255);
    QVERIFY(at(75, 57).lightness() < 255);
    QVERIFY(at(55, 37).lightness() > 200);
    QCOMPARE(at(65, 47), QColor(Qt::white));
    QCOMPARE(at(55, 27), QColor(Qt::white));
    // Left of the exposed part: untouched, though a dot would sit at (15, 17).
    QCOMPARE(at(15, 17), QColor(Qt::white));
}

void TestKitDrawing::dotGridDegenerate()
{
    QImage img = canvas(8, 8);
    QPainter p(&img);
    paintDotGrid(p, QRectF(0, 0, 8, 8), 20); // smaller than half a pitch: no dot
    paintDotGrid(p, QRectF(0, 0, 8, 8), 0);  // would never end: nothing
    paintDotGrid(p, QRectF(0, 0, 8, 8), -4);
    p.end();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            QCOMPARE(img.pixelColor(x, y), QColor(Qt::white));
}

void TestKitDrawing::rankBar_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<bool>("highlight");
    QTest::addColumn<int>("filledTo"); // last x (of 200) that shows the fill
    QTest::newRow("zero is a 4 point stub") << 0.0 << true << 2;
    QTest::newRow("half") << 0.5 << false << 98;
    QTest::newRow("full") << 1.0 << true << 197;
}

void TestKitDrawing::rankBar()
{
    QFETCH(double, fraction);
    QFETCH(bool, highlight);
    QFETCH(int, filledTo);
    Theme::ScopedScheme s(ColorScheme::Light);
    QImage img = canvas(220, 5);
    QPainter p(&img);
    paintRankBar(p, QRectF(0, 0, 200, 5), fraction, highlight);
    p.end();
    const QColor fill = img.pixelColor(filledTo, 2);
    if (highlight)
        QVERIFY(near(fill, Theme::red.resolve()));
    else
        QVERIFY(fill.lightness() < 120); // ink at 0.75 over the track
    if (filledTo + 6 < 198)
        QVERIFY(near(img.pixelColor(filledTo + 6, 2), Theme::grid.resolve()));
    QCOMPARE(img.pixelColor(210, 2), QColor(Qt::white));
}

void TestKitDrawing::barRowKeepsCountApart()
{
    auto *leading = new QWidget;
    leading->setFixedSize(16, 16);
    BarRow row(std::nullopt, leading, QString(300, QLatin1Char('W')), 42, 0.5, false, QStringLiteral("12%"));
    row.resize(300, row.sizeHint().height());
    // No rank column: the glyph starts at the left edge.
    QCOMPARE(leading->geometry().left(), 0);
    QVERIFY(row.countRect().left() - row.nameRect().right() >= 20);
    QCOMPARE(row.barRect().width(), 300.0);
    QCOMPARE(row.barRect().height(), 5.0);
    BarRow ranked(3, nullptr, QStringLiteral("Email"), 1, 0.1, true);
    ranked.resize(300, ranked.sizeHint().height());
    QCOMPARE(ranked.nameRect().left(), 28.0); // 20 rank column + 8
}

void TestKitDrawing::tapeLabel()
{
    QCOMPARE(tapeLabelSize(QString()).width(), 18.0);
    // Captions and tape labels measure the upper-cased text, so case makes no difference.
    QCOMPARE(Caption(QStringLiteral("Danger zone")).sizeHint(),
             Caption(QStringLiteral("DANGER ZONE")).sizeHint());
    TapeLabel label(QStringLiteral("grumblix"), 0);
    TapeLabel upper(QStringLiteral("GRUMBLIX"), 0);
    QCOMPARE(label.sizeHint(), upper.sizeHint());
    // Tilted labels need more room than level ones.
    TapeLabel tilted(QStringLiteral("grumblix"), -8);
    QVERIFY(tilted.sizeHint().height() > label.sizeHint().height());
    Theme::ScopedScheme s(ColorScheme::Light);
    const QImage img = render(label);
    // Tape colour at the left padding, mid height.
    QVERIFY(near(img.pixelColor(4, img.height() / 2), Theme::tape.resolve(), 14));
}

void TestKitDrawing::keyCaps()
{
    const QSizeF three = keyCapsSize({QStringLiteral("⌃"), QStringLiteral("⇧"), QStringLiteral("F")}, 10);
    QCOMPARE(three.width(), 3 * 17.0 + 2 * 3);
    QCOMPARE(three.height(), 17.0 + 2);
    const QSizeF one = keyCapsSize({QStringLiteral("Space")}, 10);
    QVERIFY(one.width() > 17.0 + 8);
}

void TestKitDrawing::everyFaceReachesHangul_data()
{
    QTest::addColumn<int>("design");
    QTest::newRow("default") << int(Fonts::Design::Default);
    QTest::newRow("rounded") << int(Fonts::Design::Rounded);
    QTest::newRow("monospaced") << int(Fonts::Design::Monospaced);
    QTest::newRow("marker") << int(Fonts::Design::Marker);
}

void TestKitDrawing::everyFaceReachesHangul()
{
    QFETCH(int, design);
    // The sticky note signs with conjoining and compatibility jamo; some face in the list must
    // draw each, or the signature shows boxes.
    const QFont font = Fonts::font(12, QFont::Normal, Fonts::Design(design));
    for (const char32_t c : {U'\u3147', U'\u11BD'}) {
        bool drawn = false;
        for (const QString &family : font.families()) {
            QFont face(family);
            face.setPixelSize(12);
            const QRawFont raw = QRawFont::fromFont(face);
            if (raw.familyName().compare(family, Qt::CaseInsensitive) == 0 && raw.supportsCharacter(c))
                drawn = true;
        }
        QVERIFY2(drawn, qPrintable(QStringLiteral("U+%1").arg(quint32(c), 4, 16, QLatin1Char('0'))));
    }
}

void TestKitDrawing::stickyNoteGrows()
{
    const QSizeF shortNote = stickyNoteSize(QStringLiteral("Hi"), 200);
    const QSizeF longNote =
        stickyNoteSize(QString(40, QLatin1Char(' ')).replace(QLatin1Char(' '), QStringLiteral("word ")), 200);
    QCOMPARE(shortNote.width(), 200.0);
    QVERIFY(longNote.height() > shortNote.height() + 40);
    QVERIFY(stickyNoteSize(QStringLiteral("a\nb\nc"), 200).height() > shortNote.height());
}

void TestKitDrawing::wrappedLabelTakesItsLines()
{
    // A tile's text column beside an icon, squeezed narrow: the wrapped label must be as tall as
    // its lines at the width it gets, and the text below it must start after them.
    const QString text = QStringLiteral("Pressed the button on seven separate days in one single week");
    const QFont font = Fonts::rounded(12, QFont::Medium);
    QWidget window;
    auto *outer = new QVBoxLayout(&window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *tile = new QWidget;
    tile->setFixedWidth(160);
    auto *row = new QHBoxLayout(tile);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    auto *icon = new QWidget;
    icon->setFixedSize(40, 40);
    row->addWidget(icon, 0, Qt::AlignTop);
    auto *column = new QVBoxLayout;
    column->setSpacing(0);
    auto *label = new ThemedLabel(text, font, Theme::dim, true);
    auto *below = new ThemedLabel(QStringLiteral("3 / 7"), font, Theme::ink);
    column->addWidget(label);
    column->addWidget(below);
    row->addLayout(column, 1);
    outer->addWidget(tile);
    outer->addStretch();
    window.resize(400, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QFontMetricsF fm(font);
    QCOMPARE(label->width(), 110);
    const QRectF lines =
        fm.boundingRect(QRectF(0, 0, label->width(), 1e6), Qt::AlignLeft | Qt::TextWordWrap, text);
    QVERIFY2(lines.height() >= 3 * fm.height(), "the text must wrap onto several lines at this width");
    QVERIFY(label->height() >= lines.height());
    QVERIFY(label->height() < lines.height() + fm.height()); // no spare line either
    QVERIFY(below->y() >= label->geometry().bottom());
    QVERIFY(tile->height() >= label->height() + below->height());

    // Never narrower than its widest word, so no word is cut at the edge.
    QVERIFY(label->minimumSizeHint().width() >= fm.horizontalAdvance(QStringLiteral("separate")));
    QCOMPARE(label->minimumSizeHint().height(), qCeil(fm.height()));
}

void TestKitDrawing::switchDrawing()
{
    Theme::ScopedScheme s(ColorScheme::Light);
    QImage off = canvas(50, 30);
    QPainter p(&off);
    paintGXSwitch(p, QPointF(0, 0), 0);
    p.end();
    // Off: the knob (faint) at the left, the well track at the right.
    QVERIFY(near(off.pixelColor(12, 12), Theme::faint.resolve()));
    QVERIFY(near(off.pixelColor(33, 12), Theme::well.resolve()));
    QImage on = canvas(50, 30);
    QPainter q(&on);
    paintGXSwitch(q, QPointF(0, 0), 1);
    q.end();
    // On: red track at the left, white knob at the right with a red tick at its centre.
    QVERIFY(near(on.pixelColor(8, 12), Theme::red.resolve()));
    QVERIFY(near(on.pixelColor(27, 12), Qt::white));
    QVERIFY(on.pixelColor(30, 12).red() > on.pixelColor(30, 12).green() + 100);
    // The shadow shows below the track.
    QVERIFY(on.pixelColor(21, 25).lightness() < 60);
}

void TestKitDrawing::checkboxDrawing()
{
    Theme::ScopedScheme s(ColorScheme::Dark);
    QImage img = canvas(22, 22);
    QPainter p(&img);
    paintGXCheckbox(p, QPointF(0, 0), 0);
    p.end();
    QVERIFY(near(img.pixelColor(4, 9), Theme::well.resolve()));
    QImage on = canvas(22, 22);
    QPainter q(&on);
    paintGXCheckbox(q, QPointF(0, 0), 1);
    q.end();
    QVERIFY(near(on.pixelColor(3, 3), Theme::red.resolve()));
}

void TestKitDrawing::fieldChrome()
{
    Theme::ScopedScheme s(ColorScheme::Light);
    QImage rest = canvas(100, 32);
    QPainter p(&rest);
    paintFieldChrome(p, QRectF(0, 0, 100, 32), 0);
    p.end();
    QImage focused = canvas(100, 32);
    QPainter q(&focused);
    paintFieldChrome(q, QRectF(0, 0, 100, 32), 1);
    q.end();
    QVERIFY(near(rest.pixelColor(50, 16), Theme::well.resolve()));
    QVERIFY(near(focused.pixelColor(50, 0), Theme::red.resolve(), 20));
    QVERIFY(!near(rest.pixelColor(50, 0), Theme::red.resolve(), 60));
    // Focused, the border is 1.8 wide: the second pixel row is still mostly red.
    QVERIFY(focused.pixelColor(50, 1).red() > focused.pixelColor(50, 1).green() + 60);
}

void TestKitDrawing::segmentedInverted()
{
    Theme::ScopedScheme s(ColorScheme::Dark);
    ChunkySegmented none({QStringLiteral("Week"), QStringLiteral("Month")}, -1);
    const QImage plain = render(none);
    QVERIFY(near(plain.pixelColor(4, plain.height() / 2), Theme::card.resolve()));
    ChunkySegmented first({QStringLiteral("Week"), QStringLiteral("Month")}, 0);
    const QImage chosen = render(first);
    // The ink block fills the chosen segment up to the border, in dark mode too.
    QVERIFY(near(chosen.pixelColor(4, chosen.height() / 2), Theme::ink.resolve()));
    const QRectF second = first.segmentRects().at(1);
    QVERIFY(near(chosen.pixelColor(int(second.left()) + 4, chosen.height() / 2), Theme::card.resolve()));
    // Long labels make wider segments.
    ChunkySegmented wide({QStringLiteral("A rather long option"), QStringLiteral("B")}, 0);
    QVERIFY(wide.segmentRects().at(0).width() > wide.segmentRects().at(1).width() + 60);
}

void TestKitDrawing::tileColours()
{
    Trigger t = Trigger::make(QStringLiteral("bug"), QStringLiteral("Bug"), QStringLiteral("🐛"), 0, true);
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme s(scheme);
        TriggerTile tile(t);
        tile.resize(60, 46);
        QVERIFY(near(render(tile).pixelColor(5, 22), Theme::well.resolve()));
        // At rest no slab shows beside the tile.
        QCOMPARE(render(tile).pixelColor(59, 22), QColor(Qt::white));
        tile.setSelected(true);
        QVERIFY(near(render(tile).pixelColor(5, 22), Theme::red.resolve()));
    }
}

void TestKitDrawing::springMotion()
{
    SpringAnimator::setAnimationsEnabled(true);
    SpringAnimator bouncy(0.3, 0.5), damped(0.3, 1.0);
    bouncy.setTarget(1.0);
    damped.setTarget(1.0);
    qreal bouncyMax = 0, dampedMax = 0;
    for (int i = 0; i < 200; ++i) {
        bouncy.advance(0.01);
        damped.advance(0.01);
        bouncyMax = qMax(bouncyMax, bouncy.value());
        dampedMax = qMax(dampedMax, damped.value());
    }
    QVERIFY(bouncyMax > 1.05); // under-damped springs overshoot
    QVERIFY(dampedMax <= 1.0 + 1e-9);
    QCOMPARE(bouncy.value(), 1.0);
    QVERIFY(!bouncy.isRunning());
    // Response: a critically damped spring is most of the way there after one response time.
    SpringAnimator quick(0.3, 1.0);
    quick.setTarget(1.0);
    quick.advance(0.3);
    QVERIFY(quick.value() > 0.9 && quick.value() < 1.0);
    // The timer drives it to rest by itself.
    SpringAnimator timed(0.1, 0.8);
    QSignalSpy settled(&timed, &SpringAnimator::settled);
    timed.setTarget(5.0);
    QVERIFY(settled.wait(2000));
    QCOMPARE(timed.value(), 5.0);
    SpringAnimator::setAnimationsEnabled(false);
    SpringAnimator off(0.3, 0.5);
    off.setTarget(3.0);
    QCOMPARE(off.value(), 3.0);
}

void TestKitDrawing::appIcons()
{
    AppIconCache::clear();
    int asked = 0;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    const QIcon installed(red);
    AppIconCache::setResolver([&](const QString &id) {
        ++asked;
        return id == QLatin1String("org.gnome.Terminal") ? installed : QIcon();
    });
    QVERIFY(AppIconCache::isPlaceholder(AppIconCache::icon(std::nullopt)));
    QCOMPARE(asked, 0);
    const QIcon first = AppIconCache::icon(QStringLiteral("org.gnome.Terminal"));
    QVERIFY(!AppIconCache::isPlaceholder(first));
    const QIcon second = AppIconCache::icon(QStringLiteral("org.gnome.Terminal"));
    QCOMPARE(second.cacheKey(), first.cacheKey());
    QCOMPARE(asked, 1);
    // Case matters, and unknown identifiers are asked again every time, never cached.
    QVERIFY(AppIconCache::isPlaceholder(AppIconCache::icon(QStringLiteral("org.gnome.terminal"))));
    QVERIFY(AppIconCache::isPlaceholder(AppIconCache::icon(QStringLiteral("missing"))));
    QVERIFY(AppIconCache::isPlaceholder(AppIconCache::icon(QStringLiteral("missing"))));
    QVERIFY(AppIconCache::isPlaceholder(AppIconCache::icon(QString())));
    QCOMPARE(asked, 5);
    QCOMPARE(AppIconCache::cachedCount(), 1);

    Theme::ScopedScheme s(ColorScheme::Light);
    AppIconView view(QStringLiteral("org.gnome.Terminal"), 16);
    QCOMPARE(view.sizeHint(), QSize(16, 16));
    QCOMPARE(render(view).pixelColor(8, 8), QColor(Qt::red));
    AppIconView placeholder(std::nullopt, 16);
    const QImage img = render(placeholder);
    // The dashed placeholder is drawn in Theme::dim, never in another colour.
    bool dimSeen = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c != QColor(Qt::white) && c.lightness() < 140)
                dimSeen = dimSeen || near(c, Theme::dim.resolve(), 30);
        }
    QVERIFY(dimSeen);
    AppIconCache::setResolver({});
}

void TestKitDrawing::dialogLooks_data()
{
    QTest::addColumn<bool>("destructive");
    QTest::addColumn<int>("scheme");
    QTest::newRow("destructive light") << true << int(ColorScheme::Light);
    QTest::newRow("plain light") << false << int(ColorScheme::Light);
    QTest::newRow("destructive dark") << true << int(ColorScheme::Dark);
    QTest::newRow("plain dark") << false << int(ColorScheme::Dark);
}

void TestKitDrawing::dialogLooks()
{
    QFETCH(bool, destructive);
    QFETCH(int, scheme);
    Theme::ScopedScheme s{ColorScheme(scheme)};
    OverlayCenter::Dialog d{
        QStringLiteral("A title that is long enough to wrap onto a second line of the card"),
        QStringLiteral("Message"), QStringLiteral("Go"), destructive, [] {}};
    DialogCard card(d, [] {});
    card.resize(card.sizeHint());
    QCOMPARE(card.width(), 385);
    DialogCard shortCard(
        {QStringLiteral("Short"), QStringLiteral("Message"), QStringLiteral("Go"), destructive, [] {}},
        [] {});
    QVERIFY(card.sizeHint().height() > shortCard.sizeHint().height()); // wrapped, not cut
    const QImage img = render(card);
    // The striped header: the first colour at the top edge where no band falls, the tape in the bands.
    bool first = false, band = false;
    for (int x = 20; x < 60; ++x) {
        const QColor c = img.pixelColor(x, 2);
        first = first || near(c, (destructive ? Theme::red : Theme::hazard).resolve(), 10);
        band = band || near(c, Theme::tape.resolve(), 10);
    }
    QVERIFY(first);
    QVERIFY(band);
    // Below the header the card fill; the slab 5 down-right.
    QVERIFY(near(img.pixelColor(10, 40), Theme::card.resolve()));
    QVERIFY(near(img.pixelColor(card.width() - 2, card.height() / 2), Theme::shadow.resolve()));
    const QImage confirm = render(*card.confirmButton());
    const QColor face = confirm.pixelColor(4, confirm.height() / 2);
    QVERIFY(near(face, (destructive ? Theme::red : Theme::ink).resolve()));
    const QImage cancel = render(*card.cancelButton());
    QVERIFY(near(cancel.pixelColor(4, cancel.height() / 2), Theme::card.resolve()));
}

void TestKitDrawing::popoverSlab()
{
    Theme::ScopedScheme s(ColorScheme::Light);
    auto *content = new QWidget;
    content->setFixedSize(100, 60);
    PopoverSurface surface(content);
    surface.resize(surface.sizeHint());
    const QRect card = surface.cardRect();
    QCOMPARE(card.size(), QSize(100, 60));
    const QImage img = render(surface);
    // The hard slab shows 3 below and to the right of the card, not above or left of it.
    QVERIFY(near(img.pixelColor(card.right() + 2, card.center().y()), Theme::shadow.resolve(), 12));
    QVERIFY(near(img.pixelColor(card.center().x(), card.bottom() + 2), Theme::shadow.resolve(), 12));
    QVERIFY(img.pixelColor(card.left() - 2, card.center().y()).lightness() > 200);
}

void TestKitDrawing::symbols()
{
    // Every symbol the views name is one of our SVGs.
    const QStringList names{"app.dashed",
                            "chevron.down",
                            "chevron.left",
                            "chevron.right",
                            "checkmark",
                            "xmark.circle.fill",
                            "magnifyingglass",
                            "plus",
                            "trash",
                            "gearshape.fill",
                            "lock.fill",
                            "arrow.up.right",
                            "arrow.up",
                            "arrow.down",
                            "doc.on.doc",
                            "square.and.arrow.up",
                            "square.and.arrow.down",
                            "hand.point.up.left.fill",
                            "pencil.circle.fill",
                            "largecircle.fill.circle",
                            "circle",
                            "speaker.wave.2.fill",
                            "flame.fill",
                            "list.bullet.rectangle.portrait.fill",
                            "doc.richtext.fill",
                            "trophy.fill",
                            "tag.fill",
                            "menubar.rectangle",
                            "keyboard",
                            "macwindow",
                            "link",
                            "button.programmable",
                            "wand.and.stars",
                            "eye",
                            "eye.slash"};
    for (const QString &name : names)
        QVERIFY2(Icons::has(name), qPrintable(name));
    QVERIFY(!Icons::has(QStringLiteral("no.such.symbol")));
    // Tinted as asked, at the device-pixel ratio asked.
    const QPixmap pm = Icons::pixmap(QStringLiteral("plus"), 12, Qt::red, 2.0);
    QCOMPARE(pm.size(), QSize(24, 24));
    QCOMPARE(pm.toImage().pixelColor(12, 12), QColor(Qt::red));
    QCOMPARE(pm.toImage().pixelColor(1, 1).alpha(), 0);
}

QTEST_MAIN(TestKitDrawing)
#include "tst_kit_drawing.moc"
