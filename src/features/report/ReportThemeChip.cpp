#include "features/report/ReportThemeChip.h"

#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal inset = 6; // between the title and the chip's sides

} // namespace

ReportThemeChip::ReportThemeChip(ReportTheme theme, QWidget *parent) : HoverButton(parent), m_theme(theme)
{
    setText(ReportThemes::title(theme));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    connect(this, &HoverButton::hoveringChanged, this, qOverload<>(&QWidget::update));
}

void ReportThemeChip::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

qreal ReportThemeChip::titleSize(qreal width) const
{
    const qreal natural = QFontMetricsF(Fonts::rounded(kFontSize, QFont::Bold)).horizontalAdvance(text());
    const qreal room = width - 2 * inset;
    if (natural <= room || natural <= 0)
        return kFontSize;
    return kFontSize * qMax(kMinimumScale, room / natural);
}

QSize ReportThemeChip::sizeHint() const
{
    const qreal natural = QFontMetricsF(Fonts::rounded(kFontSize, QFont::Bold)).horizontalAdvance(text());
    return {int(natural + 2 * inset + 1), kHeight};
}

QSize ReportThemeChip::minimumSizeHint() const
{
    return {int(2 * inset), kHeight};
}

void ReportThemeChip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect());
    const bool hover = isHovering() && isEnabled();
    const QColor fill = m_selected ? Theme::ink : hover ? Theme::well : Theme::card;
    const QColor border = Theme::stroke.opacity(m_selected || hover ? 1.0 : 0.5);
    Paint::roundedBox(p, box, 8, fill, border, 1.2);

    // Whole pixel sizes only, rounded down so the shrunk title fits.
    const QFont font = Fonts::rounded(qFloor(titleSize(box.width())), QFont::Bold);
    p.setFont(font);
    p.setPen(m_selected ? QColor(Theme::card) : QColor(Theme::ink));
    const QRectF textBox = box.adjusted(inset, 0, -inset, 0);
    p.drawText(textBox, Qt::AlignCenter,
               QFontMetricsF(font).elidedText(text(), Qt::ElideRight, textBox.width()));
}
