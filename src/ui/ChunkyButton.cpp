#include "ui/ChunkyButton.h"

#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"

#include <QPainter>
#include <QtMath>

namespace {

// Symbol (if any) and text side by side, centred in `rect`.
void paintLabel(QPainter &p, const QRectF &rect, const QString &symbol, const QString &text,
                const QFont &font, const QColor &color)
{
    const QFontMetricsF fm(font);
    const qreal iconSide = symbol.isEmpty() ? 0 : font.pixelSize();
    const qreal gap = (symbol.isEmpty() || text.isEmpty()) ? 0 : 6;
    const qreal textWidth = text.isEmpty() ? 0 : fm.horizontalAdvance(text);
    const qreal total = iconSide + gap + textWidth;
    qreal x = rect.center().x() - total / 2;
    if (!symbol.isEmpty()) {
        Icons::paint(p, QRectF(x, rect.center().y() - iconSide / 2, iconSide, iconSide), symbol, color);
        x += iconSide + gap;
    }
    if (!text.isEmpty()) {
        p.setFont(font);
        p.setPen(color);
        p.drawText(QRectF(x, rect.top(), textWidth + 1, rect.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
    }
}

QSizeF labelSize(const QString &symbol, const QString &text, const QFont &font)
{
    const QFontMetricsF fm(font);
    const qreal iconSide = symbol.isEmpty() ? 0 : font.pixelSize();
    const qreal gap = (symbol.isEmpty() || text.isEmpty()) ? 0 : 6;
    const qreal textWidth = text.isEmpty() ? 0 : fm.horizontalAdvance(text);
    return {iconSide + gap + textWidth, qMax<qreal>(fm.height(), iconSide)};
}

} // namespace

ChunkyButton::ChunkyButton(const QString &text, ThemeColor fill, ThemeColor foreground, bool compact,
                           QWidget *parent)
    : HoverButton(parent), m_fill(fill), m_foreground(foreground), m_compact(compact),
      m_press(new SpringAnimator(0.15, 0.6, this))
{
    setText(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_press, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::pressed, this, [this] { m_press->setTarget(kLift); });
    connect(this, &QAbstractButton::released, this, [this] { m_press->setTarget(0); });
}

void ChunkyButton::setFill(ThemeColor fill)
{
    m_fill = fill;
    update();
}

void ChunkyButton::setForeground(ThemeColor foreground)
{
    m_foreground = foreground;
    update();
}

void ChunkyButton::setCompact(bool compact)
{
    m_compact = compact;
    updateGeometry();
    update();
}

void ChunkyButton::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    updateGeometry();
    update();
}

qreal ChunkyButton::sink() const
{
    return m_press->value();
}

QFont ChunkyButton::labelFont() const
{
    return Fonts::rounded(m_compact ? 12 : 13, QFont::Bold);
}

QSize ChunkyButton::sizeHint() const
{
    const QSizeF label = labelSize(m_symbol, text(), labelFont());
    const qreal padX = m_compact ? 10 : 14, padY = m_compact ? 6 : 8;
    return QSize(qCeil(label.width() + 2 * padX + kLift), qCeil(label.height() + 2 * padY + kLift));
}

void ChunkyButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    const QRectF base = QRectF(rect()).adjusted(0, 0, -kLift, -kLift);
    const qreal s = sink();
    // The slab stays put on screen while the face sinks onto it.
    Paint::slab(p, base, 10, QPointF(kLift, kLift), Theme::shadow);
    const QRectF face = base.translated(s, s);
    Paint::roundedBox(p, face, 10, m_fill, Theme::stroke, 1.5);
    paintLabel(p, face, m_symbol, text(), labelFont(), m_foreground);
    if (hasFocus())
        Paint::focusRing(p, face.adjusted(-0.5, -0.5, 0.5, 0.5), 10);
}

GhostButton::GhostButton(const QString &text, QWidget *parent) : HoverButton(parent)
{
    setText(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

void GhostButton::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    updateGeometry();
    update();
}

QSize GhostButton::sizeHint() const
{
    const QSizeF label = labelSize(m_symbol, text(), Fonts::rounded(12, QFont::DemiBold));
    return QSize(qCeil(label.width() + 16), qCeil(label.height() + 10));
}

void GhostButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.3);
    const bool hover = isEnabled() && isHovering();
    const qreal tint = isDown() ? 0.14 : (hover ? 0.07 : 0.0);
    if (tint > 0)
        Paint::roundedBox(p, rect(), 7, Theme::ink.opacity(tint), Qt::transparent, 0);
    paintLabel(p, rect(), m_symbol, text(), Fonts::rounded(12, QFont::DemiBold),
               Theme::ink.opacity(hover ? 1.0 : 0.75));
    if (hasFocus())
        Paint::focusRing(p, rect(), 7);
}
