#pragma once

#include <QColor>
#include <optional>

// The fifteen colours of one poster palette. An absent optional colour removes what it draws.
struct PosterStyle
{
    QColor bg;
    std::optional<QColor> glow; // radial glow from the top centre
    QColor fg;
    QColor muted;
    QColor tileBg;
    QColor tileFg;
    QColor tileMuted;
    std::optional<QColor> tileBorder;
    QColor accent; // product name, rising chip, worst day
    QColor good;   // falling chip
    QColor barIdle;
    QColor stripeA;
    QColor stripeB;
    QColor border;
    std::optional<QColor> grid; // lines every 20 points over the background

    // Built once on first use and shared.
    static const PosterStyle &midnight();
    static const PosterStyle &paper();
    static const PosterStyle &hazard();
    static const PosterStyle &synthwave();
    static const PosterStyle &blueprint();

    bool operator==(const PosterStyle &) const = default;
};
