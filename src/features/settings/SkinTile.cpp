#include "features/settings/SkinTile.h"

#include "features/achievements/AchievementGrid.h"
#include "ui/EStopDrawing.h"
#include "ui/Fonts.h"
#include "ui/HeavyText.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QResizeEvent>
#include <QtMath>

namespace {

constexpr qreal kPadding = 8;
constexpr qreal kButtonWidth = 104;
constexpr qreal kButtonTop = 6;
constexpr qreal kGap = 6;
constexpr qreal kRadius = 14;

QFont nameFont()
{
    return Fonts::rounded(12, QFont::ExtraBold);
}

QFont taglineFont()
{
    return Fonts::rounded(10, QFont::Medium);
}

qreal nameHeight()
{
    return QFontMetricsF(nameFont()).height();
}

qreal taglineHeight()
{
    return 2 * QFontMetricsF(taglineFont()).lineSpacing();
}

} // namespace

qreal skinTileHeight()
{
    return kPadding + kButtonTop + eStopHeight(kButtonWidth) + kGap + nameHeight() + kGap + taglineHeight() +
           kPadding;
}

void paintSkinTile(QPainter &p, const QRectF &tile, ButtonSkin skin, bool selected, bool hovering)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath plate = Paint::roundedRect(tile, kRadius);
    if (selected) {
        p.fillPath(plate, QColor(Theme::well));
        const qreal inset = 2.5 / 2;
        p.setPen(QPen(QColor(Theme::red), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(Paint::roundedRect(tile.adjusted(inset, inset, -inset, -inset), kRadius - inset));
    } else {
        p.setPen(QPen(QColor(Theme::ink.opacity(hovering ? 0.3 : 0.1)), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(Paint::roundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5));
    }

    qreal y = tile.top() + kPadding + kButtonTop;
    const qreal left = tile.center().x() - kButtonWidth / 2;
    paintEStopBody(p, QPointF(left, y), kButtonWidth, EStopLook::of(false, hovering), skin.palette());
    y += eStopHeight(kButtonWidth) + kGap;

    const QRectF text(tile.left() + kPadding, y, tile.width() - 2 * kPadding, nameHeight());
    p.setPen(QColor(Theme::ink));
    p.setFont(nameFont());
    HeavyText::draw(p, text, Qt::AlignHCenter | Qt::AlignTop,
                    QFontMetricsF(nameFont()).elidedText(skin.name(), Qt::ElideRight, text.width()));
    y += nameHeight() + kGap;

    p.setPen(QColor(Theme::dim));
    p.setFont(taglineFont());
    const QRectF tagline(text.left(), y, text.width(), taglineHeight());
    p.setClipRect(tagline);
    p.drawText(tagline, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, skin.tagline());
    p.restore();
}

SkinTile::SkinTile(ButtonSkin skin, bool selected, QWidget *parent)
    : HoverButton(parent), m_skin(skin), m_selected(selected)
{
    setAccessibleName(skin.name());
    setToolTip(skin.tagline());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &HoverButton::hoveringChanged, this, qOverload<>(&QWidget::update));
}

void SkinTile::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

QSize SkinTile::sizeHint() const
{
    return {int(SkinGrid::minColumnWidth), qCeil(skinTileHeight())};
}

QSize SkinTile::minimumSizeHint() const
{
    return sizeHint();
}

void SkinTile::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintSkinTile(p, QRectF(rect()), m_skin, m_selected, isHovering());
    if (hasFocus())
        Paint::focusRing(p, QRectF(rect()).adjusted(1, 1, -1, -1), kRadius);
}

SkinGrid::SkinGrid(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void SkinGrid::addTile(SkinTile *tile)
{
    tile->setParent(this);
    m_tiles << tile;
    updateGeometry();
    place();
}

int SkinGrid::columnCount() const
{
    return AchievementGrid::columns(width(), minColumnWidth, spacing);
}

int SkinGrid::heightForWidth(int width) const
{
    const int columns = AchievementGrid::columns(width, minColumnWidth, spacing);
    const int rows = int((m_tiles.size() + columns - 1) / columns);
    return rows == 0 ? 0 : qCeil(rows * skinTileHeight() + (rows - 1) * spacing);
}

QSize SkinGrid::sizeHint() const
{
    const int width = int(3 * minColumnWidth + 2 * spacing);
    return {width, heightForWidth(width)};
}

QSize SkinGrid::minimumSizeHint() const
{
    // The real height comes from heightForWidth(); a minimum of all tiles in one column would keep
    // the page that tall at every width.
    return {int(minColumnWidth), qCeil(skinTileHeight())};
}

void SkinGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void SkinGrid::place()
{
    const int columns = AchievementGrid::columns(width(), minColumnWidth, spacing);
    const double cell = AchievementGrid::columnWidth(width(), columns, spacing);
    const double height = skinTileHeight();
    for (int i = 0; i < m_tiles.size(); ++i) {
        const double x = (i % columns) * (cell + spacing);
        const double y = (i / columns) * (height + spacing);
        m_tiles[i]->setGeometry(QRectF(x, y, cell, height).toAlignedRect());
    }
}
