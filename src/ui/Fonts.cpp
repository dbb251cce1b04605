#include "ui/Fonts.h"

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

} // namespace Fonts
