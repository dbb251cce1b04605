#include "features/settings/SkinTile.h"
#include "features/settings/SoundRow.h"
#include "ui/Theme.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

const QColor card(0xFF, 0xFF, 0xFF);

bool isRed(QRgb pixel)
{
    const QColor c(pixel);
    return c.red() > 200 && c.green() < 90 && c.blue() < 90;
}

// Pixels in `area` that differ from the background.
int marked(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) != card.rgb();
    return n;
}

int redPixels(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += isRed(image.pixel(x, y));
    return n;
}

QImage tile(ButtonSkin skin, bool selected, bool hovering)
{
    QImage image(140, qCeil(skinTileHeight()), QImage::Format_RGB32);
    image.fill(card);
    QPainter p(&image);
    paintSkinTile(p, QRectF(image.rect()), skin, selected, hovering);
    return image;
}

QImage row(SoundChoice choice, bool selected)
{
    QImage image(320, qCeil(soundRowHeight(choice, 320)), QImage::Format_RGB32);
    image.fill(card);
    QPainter p(&image);
    paintSoundRow(p, QRectF(image.rect()), choice, selected);
    return image;
}

} // namespace

// The skin tile and the sound row drawn into images and probed where their marks must be.
class TestSettingsPickers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_light.emplace(ColorScheme::Light); }
    void cleanup() { m_light.reset(); }
    void tileBorderFollowsSelectionThenHover();
    void everySoundButOffShowsTheSpeaker();
    void onlyTheSelectedRowFillsItsRadio();

private:
    std::optional<Theme::ScopedScheme> m_light;
};

void TestSettingsPickers::tileBorderFollowsSelectionThenHover()
{
    // Halfway down the left edge, on the border line (2.5 wide when selected, 1 otherwise).
    auto edge = [](const QImage &image) { return image.pixel(0, image.height() / 2); };
    for (ButtonSkin skin : {ButtonSkin::classic, ButtonSkin::frost}) {
        QVERIFY(isRed(edge(tile(skin, true, false))));
        QVERIFY(isRed(edge(tile(skin, true, true)))); // hovering keeps the selection's border
        const QColor rest(edge(tile(skin, false, false)));
        const QColor hover(edge(tile(skin, false, true)));
        QVERIFY(!isRed(rest.rgb()) && !isRed(hover.rgb()));
        QVERIFY2(hover.lightness() < rest.lightness() && rest.lightness() < 255,
                 qPrintable(QStringLiteral("%1 %2").arg(hover.name(), rest.name())));
    }
}

void TestSettingsPickers::everySoundButOffShowsTheSpeaker()
{
    for (SoundChoice choice : allSoundChoices()) {
        for (bool selected : {false, true}) {
            const QImage image = row(choice, selected);
            // The speaker's place: 10 in from the right, 11 wide, centred vertically.
            const QRect speaker(image.width() - 21, image.height() / 2 - 5, 11, 11);
            const QColor plate = selected ? QColor(Theme::well) : card;
            int ink = 0;
            for (int y = speaker.top(); y <= speaker.bottom(); ++y)
                for (int x = speaker.left(); x <= speaker.right(); ++x)
                    ink += image.pixel(x, y) != plate.rgb();
            QCOMPARE(ink > 0, choice != SoundChoice::off);
        }
    }
}

void TestSettingsPickers::onlyTheSelectedRowFillsItsRadio()
{
    for (SoundChoice choice : {SoundChoice::off, SoundChoice::gong, SoundChoice::narrator}) {
        const QImage on = row(choice, true);
        const QImage off = row(choice, false);
        const QRect radio(10, on.height() / 2 - 8, 16, 16);
        QVERIFY(redPixels(on, radio) > 20);
        QCOMPARE(redPixels(off, radio), 0);
        QVERIFY(marked(off, radio) > 0); // the empty circle is still drawn
    }
}

QTEST_MAIN(TestSettingsPickers)
#include "tst_settingspickers.moc"
