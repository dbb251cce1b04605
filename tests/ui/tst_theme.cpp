#include "models/Prefs.h"
#include "platform/Appearance.h"
#include "platform/ColorSchemeSource.h"
#include "platform/PortalColorScheme.h"
#include "support/FakeColorScheme.h"
#include "support/TestSupport.h"
#include "ui/BrutalCard.h"
#include "ui/HazardStripes.h"
#include "ui/PageScroll.h"
#include "ui/Theme.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QImage canvas(int w, int h, QColor fill = Qt::white)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

} // namespace

class TestTheme : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }

    void palette_data();
    void palette();
    void strokeAndShadowDifferOnlyInDark();
    void opacityMultiplies();
    void scopedSchemeNests();
    void appearanceModes_data();
    void appearanceModes();
    void systemFollowsSource();
    void paletteDecidesWithoutDesktopPreference();
    void portalValues();
    void appearanceChangeRecoloursShownWidgets();
    void platformWidgetsFollowTheLook();

    void cardSlabFollowsLift();
    void cardBorderIsInsideEdge();
    void cardDarkBorderLighterThanSlab();
    void hazardBands();
    void hazardDegenerateStripe_data();
    void hazardDegenerateStripe();
};

void TestTheme::palette_data()
{
    QTest::addColumn<ThemeColor>("color");
    QTest::addColumn<QString>("light");
    QTest::addColumn<QString>("dark");
    QTest::newRow("paper") << Theme::paper << "#f3ece2"
                           << "#161413";
    QTest::newRow("card") << Theme::card << "#fffbf5"
                          << "#201d1b";
    QTest::newRow("well") << Theme::well << "#f1e7da"
                          << "#2a2624";
    QTest::newRow("ink") << Theme::ink << "#171412"
                         << "#f2ebe1";
    QTest::newRow("dim") << Theme::dim << "#6f655e"
                         << "#a69c92";
    QTest::newRow("faint") << Theme::faint << "#b6aaa0"
                           << "#5c544e";
    QTest::newRow("grid") << Theme::grid << "#e6dccf"
                          << "#2e2a27";
    QTest::newRow("stroke") << Theme::stroke << "#171412"
                            << "#45403b";
    QTest::newRow("shadow") << Theme::shadow << "#171412"
                            << "#050404";
    QTest::newRow("tape") << Theme::tape << "#1b1917"
                          << "#3b3531";
    QTest::newRow("red") << Theme::red << "#e8322b"
                         << "#e8322b";
    QTest::newRow("redDark") << Theme::redDark << "#9e1612"
                             << "#9e1612";
    QTest::newRow("hazard") << Theme::hazard << "#ffc21a"
                            << "#ffc21a";
    QTest::newRow("sticky") << Theme::sticky << "#ffcfc6"
                            << "#ffcfc6";
    QTest::newRow("stickyInk") << Theme::stickyInk << "#2b1d1a"
                               << "#2b1d1a";
    QTest::newRow("calm") << Theme::calm << "#2fa36b"
                          << "#2fa36b";
    QTest::newRow("flap") << Theme::flap << "#1e1c1b"
                          << "#1e1c1b";
}

void TestTheme::palette()
{
    QFETCH(ThemeColor, color);
    QFETCH(QString, light);
    QFETCH(QString, dark);
    {
        Theme::ScopedScheme s(ColorScheme::Light);
        QCOMPARE(QColor(color).name(), light);
        QCOMPARE(QColor(color).alpha(), 255);
    }
    {
        Theme::ScopedScheme s(ColorScheme::Dark);
        QCOMPARE(QColor(color).name(), dark);
    }
}

void TestTheme::strokeAndShadowDifferOnlyInDark()
{
    QCOMPARE(Theme::stroke.resolve(ColorScheme::Light), Theme::ink.resolve(ColorScheme::Light));
    QCOMPARE(Theme::shadow.resolve(ColorScheme::Light), Theme::ink.resolve(ColorScheme::Light));
    const QColor s = Theme::stroke.resolve(ColorScheme::Dark), sh = Theme::shadow.resolve(ColorScheme::Dark),
                 i = Theme::ink.resolve(ColorScheme::Dark);
    QVERIFY(s != sh && s != i && sh != i);
    QVERIFY(s.lightness() > sh.lightness());
}

void TestTheme::opacityMultiplies()
{
    const QColor c = Theme::ink.opacity(0.5).opacity(0.5).resolve(ColorScheme::Light);
    QCOMPARE(c.rgb() & 0xFFFFFF, 0x171412u);
    QVERIFY(qAbs(c.alphaF() - 0.25) < 0.01);
    QCOMPARE(QColor(Theme::clear).alpha(), 0);
}

void TestTheme::scopedSchemeNests()
{
    Theme::setApplicationScheme(ColorScheme::Light);
    QCOMPARE(Theme::scheme(), ColorScheme::Light);
    {
        Theme::ScopedScheme dark(ColorScheme::Dark);
        QCOMPARE(QColor(Theme::paper).name(), QStringLiteral("#161413"));
        {
            Theme::ScopedScheme light(ColorScheme::Light);
            QCOMPARE(Theme::scheme(), ColorScheme::Light);
        }
        QCOMPARE(Theme::scheme(), ColorScheme::Dark);
    }
    QCOMPARE(Theme::scheme(), ColorScheme::Light);
    Theme::setApplicationScheme(ColorScheme::Dark);
    QCOMPARE(QColor(Theme::paper).name(), QStringLiteral("#161413"));
    Theme::setApplicationScheme(ColorScheme::Light);
}

void TestTheme::appearanceModes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::newRow("light") << "light" << int(Appearance::Mode::Light);
    QTest::newRow("dark") << "dark" << int(Appearance::Mode::Dark);
    QTest::newRow("system") << "system" << int(Appearance::Mode::System);
    QTest::newRow("Dark is not dark") << "Dark" << int(Appearance::Mode::System);
    QTest::newRow("LIGHT") << "LIGHT" << int(Appearance::Mode::System);
    QTest::newRow("empty") << "" << int(Appearance::Mode::System);
    QTest::newRow("other word") << "sepia" << int(Appearance::Mode::System);
}

void TestTheme::appearanceModes()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QCOMPARE(int(Appearance::modeFromString(text)), mode);
}

void TestTheme::systemFollowsSource()
{
    Appearance a;
    FakeColorScheme source;
    a.setSystemSource(&source);
    QSignalSpy spy(&a, &Appearance::isDarkChanged);
    source.set(ColorSchemeSource::Scheme::Dark);
    QVERIFY(a.isDark());
    QCOMPARE(spy.count(), 1);
    source.set(ColorSchemeSource::Scheme::Light);
    QVERIFY(!a.isDark());
    // Forced modes ignore the desktop.
    a.setMode(Appearance::Mode::Dark);
    source.set(ColorSchemeSource::Scheme::Light);
    QVERIFY(a.isDark());
    a.setMode(Appearance::Mode::Light);
    source.set(ColorSchemeSource::Scheme::Dark);
    QVERIFY(!a.isDark());
    a.setMode(Appearance::Mode::System);
    QVERIFY(a.isDark());
    // No preference: the palette's window lightness decides (the offscreen palette is light).
    source.set(ColorSchemeSource::Scheme::NoPreference);
    QCOMPARE(a.isDark(), QGuiApplication::palette().color(QPalette::Window).lightness() < 128);
}

void TestTheme::paletteDecidesWithoutDesktopPreference()
{
    const QPalette original = QGuiApplication::palette();
    Appearance a;
    QSignalSpy spy(&a, &Appearance::isDarkChanged);
    QPalette night = original;
    night.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    QApplication::setPalette(night);
    a.paletteChanged();
    QVERIFY(a.isDark());
    // A forced mode ignores the palette.
    a.setMode(Appearance::Mode::Light);
    QVERIFY(!a.isDark());
    a.paletteChanged();
    QVERIFY(!a.isDark());
    QApplication::setPalette(original);
    a.setMode(Appearance::Mode::System);
    a.paletteChanged();
    QVERIFY(!a.isDark());
    QCOMPARE(spy.count(), 2); // dark, then forced light
}

void TestTheme::portalValues()
{
    QCOMPARE(PortalColorScheme::fromPortalValue(0), ColorSchemeSource::Scheme::NoPreference);
    QCOMPARE(PortalColorScheme::fromPortalValue(1), ColorSchemeSource::Scheme::Dark);
    QCOMPARE(PortalColorScheme::fromPortalValue(2), ColorSchemeSource::Scheme::Light);
    QCOMPARE(PortalColorScheme::fromPortalValue(7), ColorSchemeSource::Scheme::NoPreference);
}

void TestTheme::appearanceChangeRecoloursShownWidgets()
{
    Theme::setApplicationScheme(ColorScheme::Light);
    BrutalCard card(10, Theme::card, 8, 4);
    card.resize(80, 60);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QCOMPARE(card.grab().toImage().pixelColor(30, 30).name(), QStringLiteral("#fffbf5"));
    // The same widget, not rebuilt, paints the dark values after the switch.
    Theme::setApplicationScheme(ColorScheme::Dark);
    QCOMPARE(card.grab().toImage().pixelColor(30, 30).name(), QStringLiteral("#201d1b"));
    Theme::setApplicationScheme(ColorScheme::Light);
}

void TestTheme::platformWidgetsFollowTheLook()
{
    // A page's scroll bar, the window's menu bar and the tooltips, in each look.
    QWidget page;
    page.resize(300, 200);
    QVBoxLayout *column = nullptr;
    QScrollArea *scroll = makePageScroll(&page, &column, 8);
    auto *tall = new QWidget;
    tall->setMinimumHeight(2000);
    column->addWidget(tall);
    QMenuBar bar;
    bar.addMenu(QStringLiteral("&File"));
    page.show();
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    // As the shell does: the look's scheme becomes the application's, then the menus follow.
    Appearance appearance;
    QObject::connect(&appearance, &Appearance::isDarkChanged, &appearance, [](bool dark) {
        Theme::setApplicationScheme(dark ? ColorScheme::Dark : ColorScheme::Light);
    });
    WindowLook::follow(&bar, &appearance);
    QScrollBar *vertical = scroll->verticalScrollBar();
    QTRY_VERIFY(vertical->isVisible());
    for (const Appearance::Mode mode : {Appearance::Mode::Dark, Appearance::Mode::Light}) {
        appearance.setMode(mode);
        const bool dark = mode == Appearance::Mode::Dark;
        const QColor paper = Theme::paper.resolve(dark ? ColorScheme::Dark : ColorScheme::Light);
        // The bar's groove shows the page beneath; its handle is no lighter than the faint ink.
        QImage image(vertical->size(), QImage::Format_ARGB32);
        image.fill(paper);
        vertical->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        int lightest = 0, darkest = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                lightest = std::max(lightest, qGray(image.pixel(x, y)));
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
            }
        if (dark)
            QVERIFY2(lightest < 128, qPrintable(QString::number(lightest)));
        else
            QVERIFY2(darkest > 128, qPrintable(QString::number(darkest)));
        QCOMPARE(bar.palette().color(QPalette::Window).lightness() < 128, dark);
        QCOMPARE(bar.palette().color(QPalette::WindowText).lightness() < 128, !dark);
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase).lightness() < 128, dark);
    }
    Theme::setApplicationScheme(ColorScheme::Light);
}

void TestTheme::cardSlabFollowsLift()
{
    Theme::ScopedScheme light(ColorScheme::Light);
    for (qreal lift : {0.0, 4.0}) {
        QImage img = canvas(120, 80);
        QPainter p(&img);
        paintBrutalCard(p, QRectF(10, 10, 80, 50), Theme::card, 16, lift);
        p.end();
        // Just right of the card's right edge, mid height: slab only when lifted.
        const QColor outside = img.pixelColor(92, 35);
        const QColor below = img.pixelColor(50, 62);
        if (lift == 0) {
            QCOMPARE(outside, QColor(Qt::white));
            QCOMPARE(below, QColor(Qt::white));
        } else {
            QCOMPARE(outside.name(), QStringLiteral("#171412"));
            QCOMPARE(below.name(), QStringLiteral("#171412"));
            // The slab does not show to the left or above.
            QCOMPARE(img.pixelColor(8, 35), QColor(Qt::white));
            QCOMPARE(img.pixelColor(50, 8), QColor(Qt::white));
        }
        QCOMPARE(img.pixelColor(50, 35).name(), QStringLiteral("#fffbf5"));
    }
}

void TestTheme::cardBorderIsInsideEdge()
{
    Theme::ScopedScheme light(ColorScheme::Light);
    QImage img = canvas(100, 100);
    QPainter p(&img);
    paintBrutalCard(p, QRectF(10, 10, 60, 60), Theme::card, 8, 4);
    p.end();
    // The 1.5 border covers pixel column 10 fully, column 11 half, column 12 not at all.
    QCOMPARE(img.pixelColor(10, 40).name(), QStringLiteral("#171412"));
    const QColor half = img.pixelColor(11, 40);
    QVERIFY(half.lightness() > 0x30 && half.lightness() < 0xE0);
    QCOMPARE(img.pixelColor(12, 40).name(), QStringLiteral("#fffbf5"));
    QCOMPARE(img.pixelColor(9, 40), QColor(Qt::white));

    // At device-pixel ratio 2 the border is three device pixels wide.
    QImage hi = canvas(200, 200);
    hi.setDevicePixelRatio(2);
    QPainter hp(&hi);
    paintBrutalCard(hp, QRectF(10, 10, 60, 60), Theme::card, 8, 4);
    hp.end();
    QCOMPARE(hi.pixelColor(20, 80).name(), QStringLiteral("#171412"));
    QCOMPARE(hi.pixelColor(22, 80).name(), QStringLiteral("#171412"));
    QCOMPARE(hi.pixelColor(23, 80).name(), QStringLiteral("#fffbf5"));
}

void TestTheme::cardDarkBorderLighterThanSlab()
{
    Theme::ScopedScheme dark(ColorScheme::Dark);
    QImage img = canvas(120, 80, Qt::black);
    QPainter p(&img);
    paintBrutalCard(p, QRectF(10, 10, 80, 50), Theme::card, 16, 4);
    p.end();
    QCOMPARE(img.pixelColor(10, 35).name(), QStringLiteral("#45403b"));
    QCOMPARE(img.pixelColor(92, 35).name(), QStringLiteral("#050404"));
    QCOMPARE(img.pixelColor(50, 35).name(), QStringLiteral("#201d1b"));
}

void TestTheme::hazardBands()
{
    // 100 × 10, stripe 10: along the top edge stripe colour from 0 to 9, background to 19.
    QImage img = canvas(100, 10);
    QPainter p(&img);
    paintHazardStripes(p, QRectF(0, 0, 100, 10), 10, Qt::yellow, Qt::black);
    p.end();
    QCOMPARE(img.pixelColor(4, 0), QColor(Qt::black));
    QCOMPARE(img.pixelColor(14, 0), QColor(Qt::yellow));
    QCOMPARE(img.pixelColor(24, 0), QColor(Qt::black));
    // Along the bottom edge the band stands between x and x + stripe: 10..20 stripe.
    QCOMPARE(img.pixelColor(15, 9).red(), 0);
    QCOMPARE(img.pixelColor(5, 9), QColor(Qt::yellow));
    QCOMPARE(img.pixelColor(95, 9).red(), 0);

    // Offset rect: the drawing is clipped and anchored to it.
    QImage off = canvas(60, 30);
    QPainter op(&off);
    paintHazardStripes(op, QRectF(20, 10, 20, 10), 10, Qt::yellow, Qt::black);
    op.end();
    QCOMPARE(off.pixelColor(24, 10), QColor(Qt::black));
    QCOMPARE(off.pixelColor(34, 10), QColor(Qt::yellow));
    QCOMPARE(off.pixelColor(10, 15), QColor(Qt::white));
    QCOMPARE(off.pixelColor(45, 15), QColor(Qt::white));
}

void TestTheme::hazardDegenerateStripe_data()
{
    QTest::addColumn<qreal>("stripe");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -3.0;
}

void TestTheme::hazardDegenerateStripe()
{
    QFETCH(qreal, stripe);
    QImage img = canvas(40, 10);
    QPainter p(&img);
    paintHazardStripes(p, QRectF(0, 0, 40, 10), stripe, Qt::yellow, Qt::black);
    p.end();
    for (int x = 0; x < 40; x += 3)
        QCOMPARE(img.pixelColor(x, 5), QColor(Qt::yellow));
    // Empty canvases are fine too.
    QImage tiny = canvas(4, 4);
    QPainter tp(&tiny);
    paintHazardStripes(tp, QRectF(0, 0, 0, 0), 9, Qt::yellow, Qt::black);
    paintHazardStripes(tp, QRectF(0, 0, 4, 0), 9, Qt::yellow, Qt::black);
    tp.end();
    QCOMPARE(tiny.pixelColor(1, 1), QColor(Qt::white));
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
