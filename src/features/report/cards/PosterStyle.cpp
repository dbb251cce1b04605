#include "features/report/cards/PosterStyle.h"

#include "ui/Theme.h"

namespace {

QColor rgb(int r, int g, int b, qreal alpha = 1.0)
{
    QColor c(r, g, b);
    c.setAlphaF(alpha);
    return c;
}

QColor at(const ThemeColor &color, qreal alpha)
{
    return color.opacity(alpha).resolve(ColorScheme::Light);
}

QColor fixed(const ThemeColor &color)
{
    return at(color, 1.0);
}

} // namespace

const PosterStyle &PosterStyle::midnight()
{
    static const PosterStyle style{
        .bg = rgb(20, 18, 17),
        .glow = at(Theme::red, 0.28),
        .fg = rgb(245, 238, 228),
        .muted = rgb(156, 146, 137),
        .tileBg = rgb(34, 31, 29),
        .tileFg = rgb(245, 238, 228),
        .tileMuted = rgb(156, 146, 137),
        .tileBorder = std::nullopt,
        .accent = fixed(Theme::red),
        .good = fixed(Theme::calm),
        .barIdle = rgb(245, 238, 228, 0.35),
        .stripeA = fixed(Theme::hazard),
        .stripeB = rgb(20, 18, 17),
        .border = rgb(0, 0, 0),
        .grid = std::nullopt,
    };
    return style;
}

const PosterStyle &PosterStyle::paper()
{
    static const PosterStyle style{
        .bg = rgb(243, 236, 226),
        .glow = std::nullopt,
        .fg = rgb(23, 20, 18),
        .muted = rgb(111, 101, 94),
        .tileBg = rgb(255, 251, 245),
        .tileFg = rgb(23, 20, 18),
        .tileMuted = rgb(111, 101, 94),
        .tileBorder = rgb(23, 20, 18),
        .accent = fixed(Theme::red),
        .good = fixed(Theme::calm),
        .barIdle = rgb(23, 20, 18, 0.75),
        .stripeA = fixed(Theme::red),
        .stripeB = rgb(243, 236, 226),
        .border = rgb(23, 20, 18),
        .grid = std::nullopt,
    };
    return style;
}

const PosterStyle &PosterStyle::hazard()
{
    static const PosterStyle style{
        .bg = rgb(255, 194, 26),
        .glow = std::nullopt,
        .fg = rgb(20, 18, 17),
        .muted = rgb(94, 69, 0),
        .tileBg = rgb(20, 18, 17),
        .tileFg = rgb(255, 194, 26),
        .tileMuted = rgb(201, 162, 74),
        .tileBorder = std::nullopt,
        .accent = rgb(211, 22, 15),
        .good = rgb(14, 107, 58),
        .barIdle = rgb(20, 18, 17, 0.8),
        .stripeA = rgb(20, 18, 17),
        .stripeB = rgb(255, 194, 26),
        .border = rgb(20, 18, 17),
        .grid = std::nullopt,
    };
    return style;
}

const PosterStyle &PosterStyle::synthwave()
{
    static const PosterStyle style{
        .bg = rgb(26, 7, 51),
        .glow = rgb(255, 45, 180, 0.35),
        .fg = rgb(253, 231, 255),
        .muted = rgb(181, 155, 214),
        .tileBg = rgb(42, 15, 77),
        .tileFg = rgb(35, 230, 255),
        .tileMuted = rgb(181, 155, 214),
        .tileBorder = rgb(255, 45, 180, 0.6),
        .accent = rgb(255, 45, 180),
        .good = rgb(35, 230, 255),
        .barIdle = rgb(35, 230, 255, 0.55),
        .stripeA = rgb(255, 45, 180),
        .stripeB = rgb(35, 230, 255),
        .border = rgb(13, 3, 29),
        .grid = std::nullopt,
    };
    return style;
}

const PosterStyle &PosterStyle::blueprint()
{
    static const PosterStyle style{
        .bg = rgb(29, 78, 137),
        .glow = std::nullopt,
        .fg = rgb(242, 247, 255),
        .muted = rgb(169, 196, 230),
        .tileBg = rgb(35, 89, 154),
        .tileFg = rgb(242, 247, 255),
        .tileMuted = rgb(169, 196, 230),
        .tileBorder = rgb(242, 247, 255, 0.7),
        .accent = rgb(255, 212, 71),
        .good = rgb(156, 240, 197),
        .barIdle = rgb(242, 247, 255, 0.7),
        .stripeA = rgb(242, 247, 255),
        .stripeB = rgb(29, 78, 137),
        .border = rgb(15, 45, 82),
        .grid = rgb(242, 247, 255, 0.08),
    };
    return style;
}
