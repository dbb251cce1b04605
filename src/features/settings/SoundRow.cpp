#include "features/settings/SoundRow.h"

#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal kPadX = 10, kPadY = 7, kSpacing = 10, kRadio = 16, kSpeaker = 11;
constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont labelFont()
{
    return Fonts::rounded(13, QFont::Bold);
}

QFont subtitleFont()
{
    return Fonts::rounded(11, QFont::Medium);
}

// Where the texts go in a row of `width`: between the radio mark and the speaker symbol.
qreal textLeft()
{
    return kPadX + kRadio + kSpacing;
}

qreal textWidth(SoundChoice choice, qreal width)
{
    const qreal right = kPadX + (choice == SoundChoice::off ? 0 : kSpeaker + kSpacing);
    return std::max<qreal>(1, width - textLeft() - right);
}

qreal wrappedHeight(const QFont &font, const QString &text, qreal width)
{
    return QFontMetricsF(font).boundingRect(QRectF(0, 0, width, 1e6), kWrap, text).height();
}

} // namespace

qreal soundRowHeight(SoundChoice choice, qreal width)
{
    const qreal w = textWidth(choice, width);
    return kPadY + wrappedHeight(labelFont(), label(choice), w) + 1 +
           wrappedHeight(subtitleFont(), subtitle(choice), w) + kPadY;
}

void paintSoundRow(QPainter &p, const QRectF &row, SoundChoice choice, bool selected)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (selected)
        Paint::roundedBox(p, row, 9, Theme::well, Qt::transparent, 0);

    const qreal midY = row.center().y();
    Icons::paint(p, QRectF(row.left() + kPadX, midY - kRadio / 2, kRadio, kRadio),
                 selected ? QStringLiteral("largecircle.fill.circle") : QStringLiteral("circle"),
                 selected ? QColor(Theme::red) : QColor(Theme::faint));
    if (choice != SoundChoice::off) {
        Icons::paint(p, QRectF(row.right() - kPadX - kSpeaker, midY - kSpeaker / 2, kSpeaker, kSpeaker),
                     QStringLiteral("speaker.wave.2.fill"), Theme::faint);
    }

    const qreal x = row.left() + textLeft();
    const qreal width = textWidth(choice, row.width());
    const qreal labelHeight = wrappedHeight(labelFont(), label(choice), width);
    const qreal subtitleHeight = wrappedHeight(subtitleFont(), subtitle(choice), width);
    // The text block sits in the middle, level with the radio mark.
    qreal y = midY - (labelHeight + 1 + subtitleHeight) / 2;
    p.setFont(labelFont());
    p.setPen(QColor(Theme::ink));
    p.drawText(QRectF(x, y, width, labelHeight), kWrap, label(choice));
    y += labelHeight + 1;
    p.setFont(subtitleFont());
    p.setPen(QColor(Theme::dim));
    p.drawText(QRectF(x, y, width, subtitleHeight), kWrap, subtitle(choice));
    p.restore();
}

SoundRow::SoundRow(SoundChoice choice, bool selected, QWidget *parent)
    : HoverButton(parent), m_choice(choice), m_selected(selected)
{
    setAccessibleName(label(choice));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFocusPolicy(Qt::TabFocus);
}

void SoundRow::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

int SoundRow::heightForWidth(int width) const
{
    return qCeil(soundRowHeight(m_choice, width));
}

QSize SoundRow::sizeHint() const
{
    const qreal text = std::max(QFontMetricsF(labelFont()).horizontalAdvance(label(m_choice)),
                                QFontMetricsF(subtitleFont()).horizontalAdvance(subtitle(m_choice)));
    const int width = qCeil(textLeft() + text + kSpacing + kSpeaker + kPadX);
    return {width, heightForWidth(width)};
}

QSize SoundRow::minimumSizeHint() const
{
    const int width = qCeil(textLeft() + 80 + kSpacing + kSpeaker + kPadX);
    return {width, qCeil(soundRowHeight(m_choice, 1e4))};
}

void SoundRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintSoundRow(p, QRectF(rect()), m_choice, m_selected);
    if (hasFocus())
        Paint::focusRing(p, QRectF(rect()), 9);
}
