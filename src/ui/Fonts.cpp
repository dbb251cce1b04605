#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QStringList>

namespace Fonts {

QFont font(qreal size, QFont::Weight weight, Design design)
{
    QStringList families;
    switch (design) {
    case Design::Default:
        families = {QStringLiteral("Inter")};
        break;
    case Design::Rounded:
        // Quicksand has Latin only; Inter covers the rest before the emoji face.
        families = {QStringLiteral("Quicksand"), QStringLiteral("Inter")};
        break;
    case Design::Monospaced:
        families = {QStringLiteral("JetBrains Mono"), QStringLiteral("Inter")};
        break;
    case Design::Marker:
        families = {QStringLiteral("Comic Neue"), QStringLiteral("Inter")};
        break;
    case Design::Condensed:
        // Bebas Neue has Latin and Cyrillic capitals only; Inter covers the rest.
        families = {QStringLiteral("Bebas Neue"), QStringLiteral("Inter")};
        break;
    case Design::Serif:
        families = {QStringLiteral("Vollkorn"), QStringLiteral("Inter")};
        break;
    }
    // Hangul (the sticky note's signature face), then emoji.
    families << QStringLiteral("NanumGothic") << QStringLiteral("Noto Color Emoji");
    QFont f;
    f.setFamilies(families);
    // Pixel sizes keep text the same size on screen, in images and in the report export,
    // whatever DPI the device reports.
    f.setPixelSize(qMax(1, qRound(size)));
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont tracked(QFont font, qreal spacing)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

namespace {

// QFontInfo reports the weight asked for, not the face's: the database knows what is installed.
int heaviestWeight(const QString &family)
{
    static QHash<QString, int> known;
    auto it = known.constFind(family);
    if (it != known.constEnd())
        return *it;
    int heaviest = 0;
    for (const QString &style : QFontDatabase::styles(family))
        heaviest = qMax(heaviest, QFontDatabase::weight(family, style));
    known.insert(family, heaviest);
    return heaviest;
}

} // namespace

qreal syntheticStroke(const QFont &font)
{
    if (font.weight() <= QFont::Bold)
        return 0;
    const QFontInfo face(font);
    // Only the rounded face: Bebas Neue has one weight and is meant to be drawn as it is.
    if (face.family() != QLatin1String("Quicksand"))
        return 0;
    const int missing = font.weight() - heaviestWeight(face.family());
    if (missing <= 0)
        return 0;
    return 0.025 * (missing / 100.0) * face.pixelSize();
}

QFont faceWeight(QFont font)
{
    if (syntheticStroke(font) > 0)
        font.setWeight(QFont::Weight(heaviestWeight(QFontInfo(font).family())));
    return font;
}

} // namespace Fonts
