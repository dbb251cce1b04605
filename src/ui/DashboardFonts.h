#pragma once

#include "ui/Fonts.h"

// The dashboard's display type: black, condensed titles and numbers.
namespace DashboardFonts {

inline QFont display(qreal size)
{
    QFont f = Fonts::font(size, QFont::Black);
    f.setStretch(82);
    return f;
}

} // namespace DashboardFonts
