#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

// How the tray badge looks at one moment.
struct BadgeLook
{
    bool filled = false; // the flash: filled with the skin's cap colour
    QColor ink;          // outline and text at rest: black on a light panel, white on a dark one
    QColor fill;         // the skin's cap colour
    QColor label;        // the skin's label colour
    int count = 0;       // today's count painted in the corner; 0 paints none
};

namespace StatusBadge {

// The "V!" badge on a square canvas of `size` px: a rounded rectangle in the 24 × 16 proportion of
// the mark, outlined (1.6/24 of the width) or filled, with the count in a pill at the lower right.
QImage paint(const BadgeLook &look, int size, qreal devicePixelRatio = 1.0);
// The badge at the sizes trays ask for.
QIcon icon(const BadgeLook &look);

} // namespace StatusBadge
