#pragma once

#include <QFont>

// The faces of the design, all from Debian font packages. Every family list ends with Noto Color
// Emoji so that emoji always draw in colour (never from a monochrome fallback such as DejaVu).
namespace Fonts {

enum class Design
{
    Default,    // Inter
    Rounded,    // Quicksand
    Monospaced, // JetBrains Mono
    Marker,     // Comic Neue: the handwriting face
    Condensed,  // Bebas Neue: condensed display capitals (report headlines and the product mark)
    Serif,      // Vollkorn: regular to black, with italics (the report's newspaper and form)
};

// Sizes are points at device-pixel ratio 1, i.e. logical pixels.
QFont font(qreal size, QFont::Weight weight = QFont::Normal, Design design = Design::Default);
inline QFont rounded(qreal size, QFont::Weight weight = QFont::Normal)
{
    return font(size, weight, Design::Rounded);
}
inline QFont mono(qreal size, QFont::Weight weight = QFont::Normal)
{
    return font(size, weight, Design::Monospaced);
}
inline QFont marker(qreal size, QFont::Weight weight = QFont::Normal)
{
    return font(size, weight, Design::Marker);
}

inline QFont condensed(qreal size, QFont::Weight weight = QFont::Black)
{
    return font(size, weight, Design::Condensed);
}
inline QFont serif(qreal size, QFont::Weight weight = QFont::Normal)
{
    return font(size, weight, Design::Serif);
}

// The same font with extra space between letters (kerning in points).
QFont tracked(QFont font, qreal spacing);

// Quicksand stops at bold. An extra-bold or black request it answers with its bold is drawn heavier
// by outlining the letters: this is the outline's width in pixels (a fortieth of the size per weight
// step missing), 0 where the face has the weight asked for.
qreal syntheticStroke(const QFont &font);
// The same font asking only for the weight its face has: the letters the outline thickens. A fallback
// face that has the heavier weight (Inter, for letters Quicksand lacks) would otherwise get it twice.
QFont faceWeight(QFont font);

} // namespace Fonts
